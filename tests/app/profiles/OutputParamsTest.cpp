#include "app/profiles/OutputParams.h"

#include <gtest/gtest.h>

namespace {

// Every field holding something other than its reset value.
TOutputParams Filled() {
    TOutputParams P;
    P.Video_AddFileName = u"/in/clip.avi";
    P.Video_OutPutFileName = u"/out/clip.mp4";
    for (std::u16string* S : {&P.Video_FileExt, &P.Video_AudioChannels, &P.Video_AudioSampleRate, &P.Video_FrameSize,
                              &P.Video_FrameRate, &P.Video_NormType, &P.Video_VideoFilters, &P.Video_AudioVolume,
                              &P.Video_FrameAspectRatio, &P.Video_VideoCodec, &P.Video_AudioCodec,
                              &P.Video_CopyTimestamp, &P.Video_FileFormat, &P.Video_TargetType, &P.Video_VideoTag})
        *S = u"x";
    P.Video_VideoBitrate = -1000;
    P.Video_AudioBitrate = 128000;
    P.Video_TimeStart = 5;
    P.Video_TimeLength = 7;
    P.Video_DisableVideo = true;
    P.All_Trant_Number = 2500;
    return P;
}

void ExpectCommonReset(const TOutputParams& P) {
    EXPECT_EQ(P.Video_AddFileName, u"/in/clip.avi");
    EXPECT_EQ(P.All_Trant_Number, 2500);
    for (const std::u16string* S :
         {&P.Video_OutPutFileName, &P.Video_FileExt, &P.Video_AudioChannels, &P.Video_AudioSampleRate,
          &P.Video_FrameSize, &P.Video_FrameRate, &P.Video_NormType, &P.Video_FrameAspectRatio, &P.Video_VideoCodec,
          &P.Video_AudioCodec, &P.Video_FileFormat, &P.Video_TargetType, &P.Video_VideoTag})
        EXPECT_TRUE(S->empty());
    EXPECT_EQ(P.Video_AudioVolume, u"256");
    EXPECT_EQ(P.Video_VideoBitrate, -1);
    EXPECT_EQ(P.Video_AudioBitrate, -1);
    EXPECT_FALSE(P.Video_DisableVideo);
}

} // namespace

TEST(OutputParams, MainWindowResetLeavesInputPathAndDialogOnlyFields) {
    TOutputParams P = Filled();
    P.Reset();
    ExpectCommonReset(P);
    EXPECT_EQ(P.Video_VideoFilters, u"x");
    EXPECT_EQ(P.Video_CopyTimestamp, u"x");
    EXPECT_EQ(P.Video_TimeStart, 5);
    EXPECT_EQ(P.Video_TimeLength, 7);
}

TEST(OutputParams, SettingsDialogResetAlsoClearsFiltersTimestampAndTimes) {
    TOutputParams P = Filled();
    P.ResetAll();
    ExpectCommonReset(P);
    EXPECT_TRUE(P.Video_VideoFilters.empty());
    EXPECT_TRUE(P.Video_CopyTimestamp.empty());
    EXPECT_EQ(P.Video_TimeStart, -1);
    EXPECT_EQ(P.Video_TimeLength, -1);
}
