#include "app/profiles/SettingsProfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"
#include "platform/base/SysUtils.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(SettingsProfiles, CategoriesAndProfileLists) {
    const std::vector<String> Captions(SettingsCategories().begin(), SettingsCategories().end());
    EXPECT_EQ(Captions,
              (std::vector<String>{u"常用视频", u"常用音频", u"HD视频", u"iPod视频", u"iPhone视频", u"PSP视频",
                                   u"3GP视频", u"APPLE视频", u"XboX视频", u"PMP视频", u"MP4视频", u"Flash视频"}));
    EXPECT_EQ(SettingsProfileItems().size(), 109u);
    const int Counts[SettingsCategoryCount] = {15, 13, 10, 14, 6, 5, 14, 5, 10, 8, 5, 4};
    for (int C = 0; C < SettingsCategoryCount; ++C) {
        auto Profiles = SettingsProfilesOfCategory(C);
        ASSERT_EQ(int(Profiles.size()), Counts[C]) << C;
        for (int I = 0; I < int(Profiles.size()); ++I) {
            EXPECT_EQ(Profiles[I].ProfileCode, SettingsProfileCode(C, I));
            EXPECT_NE(String(Profiles[I].Title).find(u"(*."), String::npos) << Profiles[I].ProfileCode;
            EXPECT_NE(String(Profiles[I].Description), u"") << Profiles[I].ProfileCode;
        }
    }
    EXPECT_TRUE(SettingsProfilesOfCategory(-1).empty());
    EXPECT_TRUE(SettingsProfilesOfCategory(12).empty());

    auto ImagesOf = [](int C) {
        std::vector<int> Images;
        for (const TSettingsProfileItem& Item : SettingsProfilesOfCategory(C))
            Images.push_back(Item.ImageIndex);
        return Images;
    };
    EXPECT_EQ(ImagesOf(1), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(ImagesOf(2), (std::vector<int>{20, 21, 21, 21, 21, 21, 21, 21, 21, 21}));
    EXPECT_EQ(ImagesOf(5), (std::vector<int>{20, 21, 20, 21, 20}));
    EXPECT_EQ(ImagesOf(6), (std::vector<int>{20, 20, 21, 21, 20, 21, 20, 21, 21, 21, 21, 21, 21, 21}));
    EXPECT_EQ(ImagesOf(9), (std::vector<int>{22, 23, 24, 25, 26, 21, 21, 21}));
    EXPECT_EQ(ImagesOf(11), (std::vector<int>{22, 23, 24, 25}));

    auto Item = [](int Code) { return SettingsProfilesOfCategory(Code / 100 - 1)[Code % 100]; };
    EXPECT_EQ(String(Item(100).Title), u"AVI - 音频视频交错格式(*.avi)");
    EXPECT_EQ(String(Item(202).Title), u"WAV - 波形音频格式(*.wav) ");
    EXPECT_EQ(String(Item(211).Title), u"ALAC-Apple Lossless无损音频格式(*.alac) ");
    EXPECT_EQ(String(Item(700).Title), u"3GPP -  第三代合作项目-3GP视频+AMR音频(*.3gp)");
    EXPECT_EQ(String(Item(702).Title), u"3GPP2 -  第三代合作项目2-3G2视频+AMR音频(*.3g2))");
    EXPECT_EQ(String(Item(907).Title), String(Item(909).Title));
    const std::pair<int, const char16_t*> Descriptions[] = {
        {100, u"AVI最常用的视频格式,语音和影像同步组合在一起的文件格式"},
        {202, u"WAV为微软公司开发的波形声音文件格式"},
        {303, u"高清MPEG-4视频格式)"},
        {409, u"为iPod touch优化的MPEG-4视频预置方案.(高清晰)"},
        {704, u"为黑莓手机优化的AMR音频预置方案.(AMR音频)"},
        {1005, u"为微软Zune优化的MPEG-4视频预置方案"},
        {1203, u"最常用的FLASH动画视频预置方案，动画格式为SWF文件(音频格式)"},
    };
    for (auto [Code, Text] : Descriptions)
        EXPECT_EQ(String(Item(Code).Description), Text) << Code;
    // The audio variants describe the video profile before them.
    for (int Code : {1202, 1203})
        EXPECT_EQ(String(Item(Code).Description), String(Item(Code - 2).Description) + u"(音频格式)");
}

// The extension of a title's "(*.ext)" pattern.
String TitlePattern(const String& Title) {
    size_t Open = Title.rfind(u"(*.");
    size_t Close = Title.find(u')', Open);
    return Title.substr(Open + 2, Close - Open - 2);
}

// Every entry's output extension is the one its title names, except where the table and the title disagree.
TEST(SettingsProfiles, TableCoversTheListedCodesAndItsExtensionsMatchTheTitles) {
    auto Table = SettingsProfileTable();
    EXPECT_EQ(Table.size(), 110u);
    std::set<int> Codes, Listed;
    int Audio = 0;
    for (const TSettingsProfileEntry& E : Table) {
        EXPECT_TRUE(Codes.insert(E.ProfileCode).second) << E.ProfileCode;
        Audio += E.DisableVideo;
    }
    EXPECT_EQ(Audio, 16);
    std::set<int> Mismatched;
    for (const TSettingsProfileItem& Item : SettingsProfileItems()) {
        Listed.insert(Item.ProfileCode);
        const TSettingsProfileEntry* E = FindSettingsProfileEntry(Item.ProfileCode);
        if (E && TitlePattern(Item.Title) != E->Ext)
            Mismatched.insert(Item.ProfileCode);
    }
    EXPECT_EQ(Mismatched, (std::set<int>{211, 702, 901, 906, 909}));
    std::set<int> OnlyListed, OnlyInTable;
    for (int C : Listed)
        if (!Codes.count(C))
            OnlyListed.insert(C);
    for (int C : Codes)
        if (!Listed.count(C))
            OnlyInTable.insert(C);
    EXPECT_EQ(OnlyListed, std::set<int>{409});
    EXPECT_EQ(OnlyInTable, (std::set<int>{414, 506}));
    // The audio-only entries are exactly the dialog's audio-only advanced rows.
    for (const TSettingsProfileEntry& E : Table) {
        const TAdvancedComboRow* Row = FindAdvancedComboRow(SettingsAdvancedComboDefaults(), E.ProfileCode);
        if (Row) {
            EXPECT_EQ(Row->AudioOnly, E.DisableVideo) << E.ProfileCode;
        }
    }
}

bool SameFields(const TOutputParams& A, const TOutputParams& B) {
    auto Tie = [](const TOutputParams& P) {
        return std::tie(P.Video_FileExt, P.Video_AudioChannels, P.Video_AudioSampleRate, P.Video_FrameSize,
                        P.Video_FrameRate, P.Video_NormType, P.Video_AudioVolume, P.Video_FrameAspectRatio,
                        P.Video_VideoCodec, P.Video_AudioCodec, P.Video_FileFormat, P.Video_TargetType,
                        P.Video_VideoTag, P.Video_VideoBitrate, P.Video_AudioBitrate, P.Video_DisableVideo);
    };
    return Tie(A) == Tie(B);
}

// Over reset fields, an entry of the dialog gives what the main window's entry of the same code gives,
// except for the codes whose entries are the dialog's own, and 108, since the dialog never forces a
// container ("asf" in the main window).
TEST(SettingsProfiles, CataloguesDifferOnlyOnTheDialogsOwnEntries) {
    std::set<int> Differing, Common;
    for (const TSettingsProfileEntry& E : SettingsProfileTable()) {
        const TProfileSettings* Main = FindProfileSettings(E.ProfileCode);
        if (!Main)
            continue;
        Common.insert(E.ProfileCode);
        TOutputParams A, B;
        A.ResetAll();
        B.ResetAll();
        AssignSettingsProfileEntry(E, A);
        AssignProfileSettings(*Main, B);
        if (!SameFields(A, B) || E.Ext != Main->Ext)
            Differing.insert(E.ProfileCode);
    }
    EXPECT_EQ(Common.size(), 44u); // 100-114, 200-212, 500-506, 1100-1104, 1200-1203
    EXPECT_EQ(Differing, (std::set<int>{108, 211, 500, 501, 502, 503, 504, 505, 506}));
}

struct SettingsProfilesApply : ::testing::Test {
    TTempDir Temp;
    fs::path Dir;
    String Out;
    TOutputParams P;

    SettingsProfilesApply() {
        Dir = Temp.Folder();
        fs::create_directories(Dir / "out");
        Out = UTF8ToString((Dir / "out").string());
        P.ResetAll();
        P.Video_AddFileName = u"/in/clip.mkv";
    }

    void Touch(const char* Name) { std::ofstream(Dir / "out" / Name) << "x"; }
    // Category and profile index of a code.
    const TSettingsProfileEntry* Apply(int Code, bool Overwrite = false) {
        return ApplySettingsProfile(P, Code / 100 - 1, Code % 100, Out, Overwrite);
    }
};

TEST_F(SettingsProfilesApply, EntryWritesItsFieldsAndTheOutputName) {
    ASSERT_NE(Apply(100), nullptr);
    EXPECT_EQ(P.All_Trant_Number, 100);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.avi");
    EXPECT_EQ(P.Video_VideoTag, u"XVID");
    EXPECT_EQ(P.Video_VideoCodec, u"mpeg4");
    EXPECT_EQ(P.Video_VideoBitrate, 816000);

    // An audio-only entry leaves the video fields as they were.
    Apply(200);
    EXPECT_TRUE(P.Video_DisableVideo);
    EXPECT_EQ(P.Video_VideoCodec, u"mpeg4");
    EXPECT_EQ(P.Video_FrameRate, u"25");
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.mp3");

    // The next code clears the flag first.
    Apply(110);
    EXPECT_FALSE(P.Video_DisableVideo);
    Apply(1202);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.flv");
    EXPECT_EQ(P.Video_FileExt, u".wmv");

    const std::tuple<int, const char16_t*, const char16_t*> Names[] = {
        {306, u"/clip.wmv", u".asf"}, {206, u"/clip.ra", u".rm"},   {211, u"/clip.m4a", u".alac"},
        {414, u"/clip.mp4", u".mp4"}, {506, u"/clip.mp4", u".mp4"},
    };
    for (auto [Code, Name, FileExt] : Names) {
        ASSERT_NE(Apply(Code), nullptr) << Code;
        EXPECT_EQ(P.Video_OutPutFileName, Out + Name) << Code;
        EXPECT_EQ(P.Video_FileExt, FileExt) << Code;
    }
}

TEST_F(SettingsProfilesApply, PartialEntriesLeaveTheirOtherFields) {
    Apply(111);
    EXPECT_EQ(P.Video_TargetType, u"dvd");
    EXPECT_EQ(P.Video_NormType, u"PAL");
    EXPECT_EQ(P.Video_VideoBitrate, -1000);
    Apply(403);
    EXPECT_EQ(P.Video_NormType, u"");
    EXPECT_EQ(P.Video_TargetType, u"dvd");
    Apply(100);
    Apply(305);
    EXPECT_EQ(P.Video_VideoTag, u"XVID");
    P.ResetAll();
    Apply(114);
    EXPECT_EQ(P.Video_VideoCodec, u"rv20");
    EXPECT_EQ(P.Video_FrameSize, u"320*240");
    EXPECT_EQ(P.Video_AudioBitrate, -1);
    EXPECT_EQ(P.Video_FileExt, u"");
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.rm");
}

TEST_F(SettingsProfilesApply, OutputNames) {
    const std::pair<const char16_t*, const char16_t*> Inputs[] = {
        {u"/in/clip", u"/clip.avi"},
        {u"/in/a.b.mkv", u"/a.b.avi"},
        {u"", u"/.avi"},
        {u"/in.d/clip", u"/clip.avi"},
    };
    for (auto [Input, Name] : Inputs) {
        P.Video_AddFileName = Input;
        Apply(100);
        EXPECT_EQ(P.Video_OutPutFileName, Out + Name);
    }
    P.Video_AddFileName = u"/in/clip.mkv";
    ApplySettingsProfile(P, 0, 0, u"", false);
    EXPECT_EQ(P.Video_OutPutFileName, u"/clip.avi");

    Touch("clip.avi");
    Touch("clip_1.avi");
    Apply(100);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip_2.avi");
    Apply(100, true);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.avi");
    fs::create_directory(Dir / "out" / "clip.mp4"); // a folder does not count
    Apply(101);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip.mp4");
}

TEST_F(SettingsProfilesApply, CodeWithoutEntryOnlyRenamesTheEarlierOutput) {
    P.Video_OutPutFileName = u"/elsewhere/clip_1.avi";
    P.Video_VideoCodec = u"mpeg4";
    EXPECT_EQ(Apply(409), nullptr);
    EXPECT_EQ(P.All_Trant_Number, 409);
    EXPECT_FALSE(P.Video_DisableVideo);
    EXPECT_EQ(P.Video_VideoCodec, u"mpeg4");
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip_1.avi");
    Touch("clip_1.avi");
    EXPECT_EQ(ApplySettingsProfile(P, 0, -1, Out, false), nullptr);
    EXPECT_EQ(P.All_Trant_Number, 99);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip_1_1.avi");

    P.ResetAll();
    ApplySettingsProfile(P, -1, 5, Out, false);
    EXPECT_EQ(P.All_Trant_Number, 5);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/");
}

// Overwriting never reaches the input itself: converting a file onto itself would destroy it.
TEST_F(SettingsProfilesApply, OutputIsNeverTheInputFile) {
    Touch("clip.avi");
    P.Video_AddFileName = Out + u"/clip.avi";
    Apply(100, true);
    EXPECT_EQ(P.Video_OutPutFileName, Out + u"/clip_1.avi");
}

} // namespace
