#include "app/profiles/ProfileCatalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "app/profiles/OutputFileName.h"

TEST(ProfileCatalogue, CategoriesCoverEveryProfileWithCodesOfTheirGroup) {
    ASSERT_EQ(ProfileCategories().size(), 19u);
    ASSERT_EQ(ProfileItems().size(), 169u);
    std::set<int> Groups, Codes;
    size_t Total = 0;
    for (int Item = 0; Item < ProfileCategoryCount; ++Item) {
        const TProfileCategory& Category = ProfileCategories()[Item];
        EXPECT_TRUE(Groups.insert(Category.ProfileGroup).second);
        EXPECT_GE(Category.ProfileGroup, 0);
        EXPECT_LE(Category.ProfileGroup, 34);
        auto Profiles = ProfilesOfCategory(Item);
        ASSERT_EQ(Profiles.size(), size_t(Category.ProfileCount));
        for (int I = 0; I < int(Profiles.size()); ++I) {
            EXPECT_EQ(Profiles[I].ProfileCode, (Category.ProfileGroup + 1) * 100 + I);
            EXPECT_EQ(Profiles[I].ProfileCode, ProfileCode(Item, I));
            EXPECT_TRUE(Codes.insert(Profiles[I].ProfileCode).second);
            EXPECT_EQ(FindProfileItem(Profiles[I].ProfileCode), &Profiles[I]);
        }
        Total += Profiles.size();
    }
    EXPECT_EQ(Total, 169u);
    EXPECT_EQ(FindProfileItem(300), nullptr);
    EXPECT_TRUE(ProfilesOfCategory(19).empty());
    EXPECT_TRUE(ProfilesOfCategory(-1).empty());
}

TEST(ProfileCatalogue, ItemToGroupTable) {
    const int Expected[19] = {24, 20, 13, 0, 4, 12, 31, 10, 11, 14, 15, 16, 17, 19, 21, 25, 27, 29, 1};
    for (int Item = 0; Item < 19; ++Item)
        EXPECT_EQ(ProfileGroupOf(Item), Expected[Item]) << Item;
    EXPECT_EQ(ProfileGroupOf(19), -1);
    EXPECT_EQ(ProfileCode(19, 0), -1);
}

TEST(ProfileCatalogue, CategorySizesAndOrder) {
    EXPECT_EQ(ProfileCategories()[6].Caption, u"智能手机");
    EXPECT_EQ(ProfilesOfCategory(6).size(), 16u);
    for (int Item : {8, 15, 17})
        EXPECT_EQ(ProfilesOfCategory(Item).size(), 4u) << Item;
    const char16_t* AudioOrder[] = {u"MP3", u"WMA",  u"WAV", u"AAC",  u"M4A", u"OGG", u"RA",
                                    u"AC3", u"AIFF", u"MP2", u"FLAC", u"MP4", u"AMR"};
    auto Audio = ProfilesOfCategory(18);
    ASSERT_EQ(Audio.size(), 13u);
    for (int I = 0; I < 13; ++I)
        EXPECT_EQ(Audio[I].Title.substr(0, std::u16string_view(AudioOrder[I]).size()), AudioOrder[I]) << I;
}

TEST(ProfileCatalogue, CodesAndPositionCodes) {
    struct Case {
        int Item, Index, Code, Position;
    } Cases[] = {{0, 0, 2500, 100}, {0, 6, 2506, 106}, {18, 0, 200, 1900}, {18, 12, 212, 1912},
                 {4, 3, 503, 503},  {3, 14, 114, 414}, {6, 15, 3215, 715}};
    for (const Case& C : Cases) {
        EXPECT_EQ(ProfileCode(C.Item, C.Index), C.Code);
        EXPECT_EQ(ProfilePositionCode(C.Item, C.Index), C.Position);
        int Item = -1, Index = -1;
        SplitProfilePositionCode(C.Position, Item, Index);
        EXPECT_EQ(Item, C.Item);
        EXPECT_EQ(Index, C.Index);
    }
    // Position code and catalogue key coincide only for the iPhone category.
    for (int Item = 0; Item < ProfileCategoryCount; ++Item)
        EXPECT_EQ(ProfileCode(Item, 0) == ProfilePositionCode(Item, 0), Item == 4) << Item;
}

TEST(ProfileCatalogue, TextsAreKeptExactly) {
    EXPECT_EQ(FindProfileItem(2506)->Title, u"VOB  - DVD视频格式(*.vob)");
    EXPECT_EQ(FindProfileItem(200)->Title, u"MP3 - MPEG Layer-3音频格式(*.mp3)");
    // Repeated texts stay distinct profiles.
    for (auto [A, B] : {std::pair{1200, 1504}, {1202, 1506}, {1203, 1505}}) {
        EXPECT_EQ(FindProfileItem(A)->Title, FindProfileItem(B)->Title);
        EXPECT_EQ(FindProfileItem(A)->Description, FindProfileItem(B)->Description);
    }
    EXPECT_EQ(FindProfileItem(2801)->Title, FindProfileItem(2802)->Title);
    EXPECT_NE(FindProfileItem(2801)->Description, FindProfileItem(2802)->Description);
}

TEST(ProfileCatalogue, TitleExtension) {
    struct Case {
        const char16_t* Title;
        const char16_t* Ext;
    } Cases[] = {
        {u"RM - REAL视频格式(*.rm)", u".rm"},
        {u"RA - RealAudio音频格式(*.ra)", u".ra"},
        {u"FLAC-音频格式(*.flac)", u".flac"},
        {u"AIFF - 音频交换文件格式(*.aiff)", u".aiff"},
        {u"手机3GP视频(*.3gp)", u".3gp"},
        {u"VOB  - DVD视频格式(*.vob)", u".vob"},
        {u"(*)", u""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ProfileTitleExtension(C.Title), C.Ext) << std::string(C.Title, C.Title + 3);
    // Every title of the catalogue ends in "(*.ext)" and names that extension.
    for (const TProfileItem& Item : ProfileItems()) {
        auto Open = Item.Title.rfind(u"(*.");
        ASSERT_NE(Open, std::u16string_view::npos) << Item.ProfileCode;
        ASSERT_EQ(Item.Title.back(), u')');
        std::u16string_view Letters = Item.Title.substr(Open + 3, Item.Title.size() - Open - 4);
        EXPECT_EQ(ProfileTitleExtension(Item.Title), u"." + std::u16string(Letters)) << Item.ProfileCode;
    }
}

TEST(ProfileCatalogue, TitleExtensionRenamesARowsOutputName) {
    // The profile change writes the row's output name with the chosen title's extension.
    struct Case {
        const char16_t* Name;
        int Code;
        const char16_t* Expected;
    } Cases[] = {{u"clip.avi", 200, u"clip.mp3"},
                 {u"a.b.avi", 101, u"a.b.mp4"},
                 {u"clip", 101, u"clip.mp4"},
                 {u"clip.avi", 3200, u"clip.mp4"}};
    for (const Case& C : Cases)
        EXPECT_EQ(ChangeFileNameExt(ExtractFileNamePart(C.Name), ProfileTitleExtension(FindProfileItem(C.Code)->Title)),
                  C.Expected);
}
