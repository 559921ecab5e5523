#include "engine/AVProbeTypes.h"

#include <gtest/gtest.h>

// A fresh record is the answer for a missing file or stream: every number -1, every text empty.
TEST(AVProbeTypes, FreshRecordsHoldTheNoStreamValues) {
    TFileStreamInfo F;
    for (Int64 N : {F.StartTime, F.Duration, Int64(F.BitRate), F.TimeStamp, Int64(F.Year), Int64(F.Track)})
        EXPECT_EQ(N, -1);
    EXPECT_TRUE(F.Title.empty() && F.Author.empty() && F.Copyright.empty() && F.Comment.empty() && F.Album.empty() &&
                F.Genre.empty());

    TAudioStreamInfo A;
    for (Int64 N : {A.StartTime, A.StartTimeScaled, A.Duration, A.DurationScaled, Int64(A.BitRate), Int64(A.Channels),
                    Int64(A.SampleRate), Int64(A.SampleFormat)})
        EXPECT_EQ(N, -1);

    TVideoStreamInfo V;
    for (Int64 N : {V.StartTime, V.StartTimeScaled, V.Duration, V.DurationScaled, Int64(V.BitRate), Int64(V.Height),
                    Int64(V.Width), Int64(V.PixFmt), Int64(V.FrameRate.num), Int64(V.FrameRate.den)})
        EXPECT_EQ(N, -1);
    EXPECT_EQ(V.AspectRatio, -1.0f);
    EXPECT_TRUE(V.Language.empty() && V.CodecName.empty());

    TSubtitleStreamInfo S;
    EXPECT_TRUE(S.Language.empty() && S.CodecName.empty());
}
