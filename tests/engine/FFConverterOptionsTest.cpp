#include "engine/FFConverterOptions.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(FFConverterOptions, InputOptionsResetToTheirTable) {
    TInputOptions O;
    O.FileName = u"in.avi";
    O.ExtOptions = u"vb=500000";
    O.Tag = 7;
    O.Data = &O;
    O.FileFormat = u"avi";
    O.TimeStart = 5;
    O.ProgramID = 3;
    InitInputOptions(O);

    EXPECT_EQ(O.FileName, u"");
    EXPECT_EQ(O.FileFormat, u"");
    EXPECT_EQ(O.TimeStart, INT64_MIN);
    EXPECT_EQ(O.ProgramID, -1);
    EXPECT_EQ(O.ExtOptions, u"");
    EXPECT_EQ(O.Tag, 0);
    EXPECT_EQ(O.Data, nullptr);
}

TEST(FFConverterOptions, OutputOptionsResetToTheirTable) {
    TOutputOptions O;
    O.FileName = O.ExtOptions = u"x";
    O.Tag = 7;
    O.Data = &O;
    O.FileExt = O.FileFormat = O.AudioCodec = O.AudioPreset = O.AudioLanguage = O.AudioTag = u"x";
    O.VideoCodec = O.VideoPreset = O.FrameRate = O.FrameSize = O.FrameAspectRatio = O.VideoTag = u"x";
    O.VideoFilters = O.VideoLanguage = O.SubtitleCodec = O.SubtitlePreset = O.SubtitleLanguage = u"x";
    O.PacketSize = O.MuxRate = O.AudioVolume = O.AudioChannels = O.AudioSampleRate = O.AudioBitrate = 9;
    O.AudioBitRateTolerance = O.AudioSyncMethod = O.CropTop = O.CropBottom = O.CropLeft = O.CropRight = 9;
    O.GroupPictureSize = O.VideoBitrate = O.VideoMaxRate = O.VideoMinRate = O.VideoBitRateTolerance = 9;
    O.VideoBufSize = O.VideoSyncMethod = 9;
    O.MuxDelay = O.MuxPreload = 0.5f;
    O.DisableAudio = O.DisableVideo = O.DisableSubtitle = O.InputSync = O.CopyTimestamp = true;
    O.CustomHook = O.Join = true;
    O.TimeStart = O.TimeLength = 10;
    O.Info.TimeStamp = 45000.5;
    O.Info.Year = 2001;
    O.Info.Track = 2;
    O.Info.Title = O.Info.Author = O.Info.Copyright = O.Info.Comment = O.Info.Album = O.Info.Genre = "x";
    O.TargetType = ttDVD;
    O.NormType = ntNTSC;
    O.NormDefault = ntNTSC;
    InitOutputOptions(O);

    for (const String* S :
         {&O.FileName, &O.FileExt, &O.FileFormat, &O.AudioCodec, &O.AudioPreset, &O.AudioLanguage, &O.AudioTag,
          &O.VideoCodec, &O.VideoPreset, &O.FrameRate, &O.FrameSize, &O.FrameAspectRatio, &O.VideoTag, &O.VideoFilters,
          &O.VideoLanguage, &O.SubtitleCodec, &O.SubtitlePreset, &O.SubtitleLanguage, &O.ExtOptions})
        EXPECT_EQ(*S, u"");
    for (Integer I :
         {O.PacketSize, O.MuxRate, O.AudioVolume, O.AudioChannels, O.AudioSampleRate, O.AudioBitrate,
          O.AudioBitRateTolerance, O.CropTop, O.CropBottom, O.CropLeft, O.CropRight, O.GroupPictureSize, O.VideoBitrate,
          O.VideoMaxRate, O.VideoMinRate, O.VideoBitRateTolerance, O.VideoBufSize, O.VideoSyncMethod})
        EXPECT_EQ(I, -1);
    // The numbers whose reset is not -1.
    EXPECT_EQ(O.AudioSyncMethod, 0);
    EXPECT_EQ(O.Tag, 0);
    EXPECT_EQ(O.MuxDelay, -1.0f);
    EXPECT_EQ(O.MuxPreload, -1.0f);
    for (bool B :
         {O.DisableAudio, O.DisableVideo, O.DisableSubtitle, O.InputSync, O.CopyTimestamp, O.CustomHook, O.Join})
        EXPECT_FALSE(B);
    EXPECT_EQ(O.TimeStart, INT64_MIN);
    EXPECT_EQ(O.TimeLength, INT64_MIN);
    EXPECT_EQ(O.Data, nullptr);

    EXPECT_EQ(O.Info.TimeStamp, -1.0);
    EXPECT_EQ(O.Info.Year, -1);
    EXPECT_EQ(O.Info.Track, -1);
    for (const std::string* S :
         {&O.Info.Title, &O.Info.Author, &O.Info.Copyright, &O.Info.Comment, &O.Info.Album, &O.Info.Genre})
        EXPECT_EQ(*S, "");

    EXPECT_EQ(O.TargetType, ttIgnore);
    EXPECT_EQ(O.NormType, ntAuto);
    EXPECT_EQ(O.NormDefault, ntPAL);
}
