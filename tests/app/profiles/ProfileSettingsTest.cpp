#include "app/profiles/ProfileSettings.h"

#include <gtest/gtest.h>

#include <set>

#include "app/profiles/ProfileCatalogue.h"

namespace {

bool In(int Code, std::initializer_list<std::pair<int, int>> Ranges) {
    for (auto [From, To] : Ranges)
        if (Code >= From && Code <= To)
            return true;
    return false;
}

const std::initializer_list<std::pair<int, int>> DiscCodes = {{2500, 2506}, {1408, 1410}, {111, 113}, {2210, 2212}};
const std::initializer_list<std::pair<int, int>> AudioOnlyCodes = {
    {3215, 3215}, {1202, 1203}, {1505, 1506}, {3000, 3003}, {200, 212}};

bool OneOf(std::u16string_view Value, std::initializer_list<std::u16string_view> Allowed) {
    for (auto A : Allowed)
        if (Value == A)
            return true;
    return false;
}

} // namespace

TEST(ProfileSettings, OneEntryPerProfileInListOrder) {
    auto Table = ProfileSettingsTable();
    ASSERT_EQ(Table.size(), ProfileItems().size());
    for (size_t I = 0; I < Table.size(); ++I) {
        EXPECT_EQ(Table[I].ProfileCode, ProfileItems()[I].ProfileCode);
        EXPECT_EQ(FindProfileSettings(Table[I].ProfileCode), &Table[I]);
    }
    EXPECT_EQ(FindProfileSettings(409), nullptr);
}

TEST(ProfileSettings, ExtensionsFollowTheTitlesAndFileExtRules) {
    for (const TProfileSettings& E : ProfileSettingsTable()) {
        // Only 3200 names another extension in its title than its output gets.
        if (E.ProfileCode == 3200) {
            EXPECT_EQ(E.Ext, u".avi");
            EXPECT_EQ(ProfileTitleExtension(FindProfileItem(3200)->Title), u".mp4");
        } else {
            EXPECT_EQ(ProfileTitleExtension(FindProfileItem(E.ProfileCode)->Title), E.Ext) << E.ProfileCode;
        }
        bool NoFileExt = In(E.ProfileCode, DiscCodes) || In(E.ProfileCode, {{114, 114}, {1202, 1203}, {1505, 1506}});
        if (E.ProfileCode == 206)
            EXPECT_EQ(E.FileExt, u".rm");
        else if (NoFileExt)
            EXPECT_EQ(E.FileExt, u"") << E.ProfileCode;
        else
            EXPECT_EQ(E.FileExt, E.Ext) << E.ProfileCode;
        EXPECT_EQ(E.FileFormat, E.ProfileCode == 108 || E.ProfileCode == 3211 ? u"asf" : u"") << E.ProfileCode;
    }
}

TEST(ProfileSettings, ValuesComeFromTheCatalogueVocabulary) {
    for (const TProfileSettings& E : ProfileSettingsTable()) {
        SCOPED_TRACE(E.ProfileCode);
        EXPECT_TRUE(OneOf(E.VideoCodec, {u"mpeg4", u"libx264", u"libxvid", u"wmv2", u"mpeg2video", u"mpeg1video",
                                         u"msmpeg4", u"rv20", u"h263", u""}));
        EXPECT_TRUE(OneOf(E.VideoTag, {u"XVID", u"DX50", u""}));
        EXPECT_TRUE(OneOf(E.FrameRate, {u"25", u"29.97", u"30", u"12", u""}));
        EXPECT_TRUE(OneOf(E.FrameAspectRatio, {u"16:9", u"4:3", u""}));
        EXPECT_TRUE(OneOf(E.AudioCodec, {u"libmp3lame", u"libfaac", u"wmav2", u"libvorbis", u"ac3", u"flac",
                                         u"libopencore_amrnb", u""}));
        EXPECT_TRUE(OneOf(E.AudioChannels, {u"2", u"1", u""}));
        EXPECT_TRUE(OneOf(E.AudioSampleRate, {u"44100", u"48000", u"22050", u"32000", u"24000", u"8000", u""}));
        EXPECT_TRUE(OneOf(E.TargetType, {u"vcd", u"svcd", u"dvd", u""}));
        EXPECT_TRUE(OneOf(E.NormType, {u"PAL", u"NTSC", u""}));
        if (!E.FrameSize.empty()) {
            auto Star = E.FrameSize.find(u'*');
            ASSERT_NE(Star, std::u16string_view::npos);
            EXPECT_GT(Star, 0u);
            EXPECT_LT(Star + 1, E.FrameSize.size());
        }
        EXPECT_TRUE(E.VideoBitrate > 0 || E.VideoBitrate == -1 || E.VideoBitrate == -1000);
        EXPECT_TRUE(E.AudioBitrate > 0 || E.AudioBitrate == -1 || E.AudioBitrate == -1000);
    }
}

TEST(ProfileSettings, DiscAudioOnlyAndPartialEntries) {
    int AudioOnly = 0;
    for (const TProfileSettings& E : ProfileSettingsTable()) {
        SCOPED_TRACE(E.ProfileCode);
        bool Disc = In(E.ProfileCode, DiscCodes);
        bool Audio = In(E.ProfileCode, AudioOnlyCodes);
        EXPECT_EQ(E.DisableVideo, Audio);
        AudioOnly += Audio;
        EXPECT_EQ(!E.TargetType.empty(), Disc);
        EXPECT_EQ(!E.NormType.empty(), Disc);
        EXPECT_EQ(E.VideoBitrate == -1000, Disc);
        EXPECT_EQ(E.AudioBitrate == -1000, Disc);
        if (Disc) {
            for (auto V : {E.VideoCodec, E.VideoTag, E.FrameRate, E.FrameSize, E.FrameAspectRatio, E.AudioCodec,
                           E.AudioChannels, E.AudioSampleRate})
                EXPECT_TRUE(V.empty());
        }
        if (Audio) {
            for (auto V : {E.VideoCodec, E.VideoTag, E.FrameRate, E.FrameSize, E.FrameAspectRatio})
                EXPECT_TRUE(V.empty());
            EXPECT_EQ(E.VideoBitrate, -1);
        }
        EXPECT_EQ(E.AudioBitrate == -1, E.ProfileCode == 114);
    }
    EXPECT_EQ(AudioOnly, 22);
    const TProfileSettings& Rm = *FindProfileSettings(114);
    EXPECT_EQ(Rm.VideoCodec, u"rv20");
    EXPECT_EQ(Rm.FrameSize, u"320*240");
    EXPECT_EQ(Rm.VideoBitrate, -1);
    EXPECT_TRUE(Rm.AudioCodec.empty() && Rm.AudioChannels.empty() && Rm.AudioSampleRate.empty());
}
