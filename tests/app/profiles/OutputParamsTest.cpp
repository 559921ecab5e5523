#include "app/profiles/OutputParams.h"

#include <gtest/gtest.h>

#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"
#include "platform/base/SysUtils.h"

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

namespace {

TOutputOptions Filled(const TOutputParams& P) {
    TOutputOptions O;
    InitOutputOptions(O);
    P.FillOutputOptions(O);
    return O;
}

TOutputParams ResetParams() {
    TOutputParams P;
    P.Reset();
    return P;
}

} // namespace

TEST(FillOutputOptions, VideoCodecAndPreset) {
    struct Case {
        const char16_t* Codec;
        const char16_t* VideoCodec;
        const char16_t* VideoPreset;
    } Cases[] = {{u"libx264", u"libx264", u"libx264-default"}, {u"mpeg4", u"mpeg4", u""}, {u"", u"", u""}};
    for (const Case& C : Cases) {
        TOutputParams P = ResetParams();
        P.Video_VideoCodec = C.Codec;
        TOutputOptions O = Filled(P);
        EXPECT_EQ(O.VideoCodec, C.VideoCodec);
        EXPECT_EQ(O.VideoPreset, C.VideoPreset);
    }
}

TEST(FillOutputOptions, TargetAndNormAreComparedExactly) {
    struct Case {
        const char16_t* Target;
        const char16_t* Norm;
        TOptionTargetType TargetType;
        TOptionNormType NormType;
    } Cases[] = {
        {u"dvd", u"NTSC", ttDVD, ntNTSC},   {u"vcd", u"PAL", ttVCD, ntPAL}, {u"svcd", u"PAL", ttSVCD, ntPAL},
        {u"DVD", u"pal", ttIgnore, ntAuto}, {u"", u"", ttIgnore, ntAuto},
    };
    for (const Case& C : Cases) {
        TOutputParams P = ResetParams();
        P.Video_TargetType = C.Target;
        P.Video_NormType = C.Norm;
        TOutputOptions O = Filled(P);
        EXPECT_EQ(O.TargetType, C.TargetType) << UTF8Encode(String(C.Target));
        EXPECT_EQ(O.NormType, C.NormType) << UTF8Encode(String(C.Norm));
    }
}

TEST(FillOutputOptions, NumbersAndNotSetValues) {
    struct Case {
        int Field, Record;
    } Rates[] = {{-1000, -1}, {816000, 816000}, {-1, -1}};
    for (const Case& C : Rates) {
        TOutputParams P = ResetParams();
        P.Video_VideoBitrate = C.Field;
        P.Video_AudioBitrate = C.Field;
        TOutputOptions O = Filled(P);
        EXPECT_EQ(O.VideoBitrate, C.Record);
        EXPECT_EQ(O.AudioBitrate, C.Record);
    }

    TOutputParams P = ResetParams();
    P.Video_AddFileName = u"/in/clip.avi";
    P.Video_OutPutFileName = u"/out/clip.mp4";
    P.Video_FileExt = u".mp4";
    TOutputOptions O = Filled(P);
    EXPECT_EQ(O.AudioVolume, 256);
    EXPECT_EQ(O.AudioSampleRate, -1);
    EXPECT_EQ(O.AudioChannels, -1);
    EXPECT_EQ(O.FileName, u"");
    EXPECT_EQ(O.FileExt, u"");
    EXPECT_EQ(O.FrameSize, u"");
    EXPECT_FALSE(O.DisableVideo);

    P.Video_AudioSampleRate = u"44100";
    P.Video_AudioChannels = u"1";
    EXPECT_EQ(Filled(P).AudioSampleRate, 44100);
    EXPECT_EQ(Filled(P).AudioChannels, 1);
    // The engine's own choice.
    P.Video_AudioSampleRate = u"AUTO";
    EXPECT_EQ(Filled(P).AudioSampleRate, -1);
}

TEST(FillOutputOptions, TextsThatAreNoIntegersRaiseTheConversionError) {
    TOutputParams P = ResetParams();
    P.Video_AudioChannels = u"two";
    try {
        Filled(P);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), u"'two' is not a valid integer value");
    }
}

TEST(FillOutputOptions, ProfilesReachTheRecord) {
    TOutputParams P;
    P.Video_AddFileName = u"/in/clip.avi";
    ASSERT_TRUE(ApplyProfile(P, 3, 8, u"/qv-no-such-folder", false)); // 108: ASF
    TOutputOptions O = Filled(P);
    EXPECT_EQ(O.FileFormat, u"asf");
    EXPECT_EQ(O.VideoCodec, u"msmpeg4");
    EXPECT_EQ(O.AudioCodec, u"wmav2");
    EXPECT_EQ(O.FrameRate, u"25");
    EXPECT_EQ(O.VideoBitrate, 816000);
    EXPECT_EQ(O.AudioBitrate, 128000);
    EXPECT_EQ(O.AudioChannels, 2);
    EXPECT_EQ(O.AudioSampleRate, 44100);

    ASSERT_TRUE(ApplyProfile(P, 18, 0, u"/qv-no-such-folder", false)); // 200: MP3, audio only
    O = Filled(P);
    EXPECT_TRUE(O.DisableVideo);
    EXPECT_EQ(O.VideoCodec, u"");
    EXPECT_EQ(O.VideoBitrate, -1);

    // Every profile of the catalogue maps without error.
    for (int Item = 0; Item < ProfileCategoryCount; ++Item)
        for (int Index = 0; Index < int(ProfilesOfCategory(Item).size()); ++Index) {
            ASSERT_TRUE(ApplyProfile(P, Item, Index, u"/qv-no-such-folder", false));
            EXPECT_NO_THROW(Filled(P)) << P.All_Trant_Number;
        }
}
