#include "app/profiles/AdvancedLists.h"

#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using std::u16string;

struct ListCount {
    const char16_t* Name;
    int Items;
    int Codes; // how many profile codes use the list
};

// Items and users of every list, as the catalogues state them apart from the lists themselves.
const ListCount MainCounts[] = {
    {u"FS01", 28, 85}, {u"FS02", 11, 2}, {u"FS03", 11, 3},  {u"FS04", 25, 12}, {u"FS05", 13, 3},  {u"FS06", 25, 1},
    {u"FS07", 27, 20}, {u"FS08", 12, 1}, {u"FS09", 14, 7},  {u"FS10", 17, 4},  {u"FS11", 27, 1},  {u"FS12", 28, 7},
    {u"FS13", 1, 22},  {u"FS14", 19, 1}, {u"VB01", 8, 54},  {u"VB02", 9, 2},   {u"VB03", 8, 13},  {u"VB04", 10, 2},
    {u"VB05", 9, 12},  {u"VB06", 9, 9},  {u"VB07", 9, 9},   {u"VB08", 15, 3},  {u"VB09", 9, 8},   {u"VB10", 11, 9},
    {u"VB11", 12, 2},  {u"VB12", 12, 2}, {u"VB13", 12, 2},  {u"VB14", 12, 1},  {u"VB15", 12, 7},  {u"VB16", 12, 1},
    {u"VB17", 13, 2},  {u"VB18", 9, 1},  {u"VB19", 11, 3},  {u"VB20", 1, 22},  {u"VB21", 15, 5},  {u"FR01", 12, 100},
    {u"FR02", 4, 19},  {u"FR03", 7, 3},  {u"FR04", 10, 18}, {u"FR05", 6, 7},   {u"FR06", 1, 22},  {u"AB01", 17, 140},
    {u"AB02", 6, 2},   {u"AB03", 5, 25}, {u"AB04", 8, 1},   {u"AB05", 8, 1},   {u"SR01", 6, 126}, {u"SR02", 1, 3},
    {u"SR03", 4, 18},  {u"SR04", 5, 7},  {u"SR05", 3, 14},  {u"SR06", 7, 1},   {u"SC01", 5, 145}, {u"SC02", 2, 2},
    {u"SC03", 1, 22},
};
const ListCount SettingsCounts[] = {
    {u"SIZE1", 28, 20}, {u"SIZE2", 11, 5},   {u"SIZE3", 1, 16},   {u"SIZE4", 11, 10},  {u"SIZE5", 7, 11},
    {u"SIZE6", 12, 9},  {u"SIZE7", 13, 4},   {u"SIZE8", 5, 5},    {u"SIZE9", 13, 9},   {u"SIZE10", 8, 1},
    {u"SIZE11", 9, 3},  {u"SIZE12", 3, 2},   {u"SIZE13", 16, 1},  {u"SIZE14", 4, 1},   {u"SIZE15", 11, 2},
    {u"SIZE16", 12, 1}, {u"SIZE17", 5, 4},   {u"SIZE18", 2, 4},   {u"SIZE19", 19, 1},  {u"VRATE1", 8, 16},
    {u"VRATE2", 9, 2},  {u"VRATE3", 9, 2},   {u"VRATE4", 15, 8},  {u"VRATE5", 9, 1},   {u"VRATE6", 1, 16},
    {u"VRATE7", 8, 10}, {u"VRATE8", 9, 43},  {u"VRATE9", 7, 5},   {u"VRATE10", 17, 6}, {u"FPS1", 12, 21},
    {u"FPS2", 7, 8},    {u"FPS3", 1, 16},    {u"FPS4", 4, 10},    {u"FPS5", 10, 43},   {u"FPS6", 3, 5},
    {u"FPS7", 8, 6},    {u"ARATE1", 17, 45}, {u"ARATE2", 6, 4},   {u"ARATE3", 8, 2},   {u"ARATE4", 5, 48},
    {u"ARATE5", 8, 5},  {u"ARATE6", 9, 5},   {u"HZ1", 6, 41},     {u"HZ2", 1, 6},      {u"HZ3", 4, 48},
    {u"HZ4", 7, 10},    {u"HZ5", 3, 4},      {u"ASPECT1", 5, 92}, {u"ASPECT2", 2, 1},  {u"ASPECT3", 1, 16},
};

int RowCodes(const TAdvancedComboRow& Row) {
    return Row.LastCode - Row.FirstCode + 1;
}

void ExpectCounts(std::span<const TAdvancedValueList* const> Lists, std::span<const TAdvancedComboRow> Rows,
                  std::span<const ListCount> Expected) {
    std::map<u16string, int> Users;
    for (const TAdvancedComboRow& Row : Rows)
        for (const TAdvancedChoice& Choice : Row.Choices)
            Users[Choice.List->Name] += RowCodes(Row);
    ASSERT_EQ(Lists.size(), Expected.size());
    for (size_t I = 0; I < Lists.size(); ++I) {
        EXPECT_EQ(u16string(Lists[I]->Name), Expected[I].Name) << I;
        EXPECT_EQ(Lists[I]->Count(), Expected[I].Items) << I;
        EXPECT_EQ(Users[Lists[I]->Name], Expected[I].Codes) << I;
    }
}

TEST(AdvancedLists, MainListsHaveTheirCountsItemsAndUsers) {
    ExpectCounts(AdvancedValueLists(), AdvancedComboDefaults(), MainCounts);
    int Items = 0;
    std::set<u16string> Distinct;
    int PerKind[AdvancedKindCount] = {};
    for (const TAdvancedValueList* List : AdvancedValueLists()) {
        Items += List->Count();
        ++PerKind[List->Kind];
        for (const char16_t* S : List->Items)
            Distinct.insert(S);
    }
    EXPECT_EQ(Items, 594);
    EXPECT_EQ(Distinct.size(), 131u);
    EXPECT_EQ(std::vector<int>(PerKind, PerKind + 6), (std::vector<int>{14, 21, 6, 5, 6, 3}));
}

TEST(AdvancedLists, SettingsListsHaveTheirCountsItemsAndUsers) {
    ExpectCounts(SettingsAdvancedValueLists(), SettingsAdvancedComboDefaults(), SettingsCounts);
    int PerKind[AdvancedKindCount] = {};
    for (const TAdvancedValueList* List : SettingsAdvancedValueLists()) {
        ++PerKind[List->Kind];
        // The dialog's lists never repeat a text.
        std::set<u16string> Texts(List->Items.begin(), List->Items.end());
        EXPECT_EQ(int(Texts.size()), List->Count()) << List->Count();
    }
    EXPECT_EQ(std::vector<int>(PerKind, PerKind + 6), (std::vector<int>{19, 10, 7, 6, 5, 3}));
}

TEST(AdvancedLists, ListsOfOneKindAreNeverEqualAndChoicesMatchTheirCombo) {
    for (auto Lists : {AdvancedValueLists(), SettingsAdvancedValueLists()})
        for (size_t A = 0; A < Lists.size(); ++A)
            for (size_t B = A + 1; B < Lists.size(); ++B)
                if (Lists[A]->Kind == Lists[B]->Kind) {
                    EXPECT_FALSE(std::equal(Lists[A]->Items.begin(), Lists[A]->Items.end(), Lists[B]->Items.begin(),
                                            Lists[B]->Items.end(),
                                            [](const char16_t* X, const char16_t* Y) { return u16string(X) == Y; }))
                        << A << " " << B;
                }
    for (auto Rows : {AdvancedComboDefaults(), SettingsAdvancedComboDefaults()})
        for (const TAdvancedComboRow& Row : Rows)
            for (int K = 0; K < AdvancedKindCount; ++K) {
                EXPECT_EQ(Row.Choices[K].List->Kind, K) << Row.FirstCode;
                EXPECT_GE(Row.Choices[K].DefaultIndex, 0) << Row.FirstCode;
                EXPECT_LT(Row.Choices[K].DefaultIndex, Row.Choices[K].List->Count()) << Row.FirstCode;
            }
}

// The one-item "no video" lists stand in the four video cells of exactly the audio-only rows.
void ExpectAudioOnlyExactlyOnPlaceholders(std::span<const TAdvancedComboRow> Rows, std::set<u16string> Placeholders,
                                          std::set<int> AudioOnlyCodes) {
    std::set<int> Seen;
    for (const TAdvancedComboRow& Row : Rows) {
        int OnPlaceholder = 0;
        for (TAdvancedKind K : {akFrameSize, akVideoBitrate, akFrameRate, akAspectMode})
            OnPlaceholder += Placeholders.count(Row.Choice(K).List->Name);
        EXPECT_TRUE(OnPlaceholder == 0 || OnPlaceholder == 4) << Row.FirstCode;
        EXPECT_EQ(Row.AudioOnly, OnPlaceholder == 4) << Row.FirstCode;
        if (Row.AudioOnly)
            for (int Code = Row.FirstCode; Code <= Row.LastCode; ++Code)
                Seen.insert(Code);
    }
    EXPECT_EQ(Seen, AudioOnlyCodes);
}

std::set<int> Range(int First, int Last) {
    std::set<int> S;
    for (int C = First; C <= Last; ++C)
        S.insert(C);
    return S;
}

std::set<int> Union(std::initializer_list<std::set<int>> Sets) {
    std::set<int> S;
    for (const auto& Part : Sets)
        S.insert(Part.begin(), Part.end());
    return S;
}

TEST(AdvancedLists, AudioOnlyFlagIsSetExactlyOnTheNoVideoRows) {
    ExpectAudioOnlyExactlyOnPlaceholders(AdvancedComboDefaults(), {u"FS13", u"VB20", u"FR06", u"SC03"},
                                         Union({Range(200, 212), Range(3000, 3003), {1202, 1203, 1505, 1506, 3215}}));
    ExpectAudioOnlyExactlyOnPlaceholders(SettingsAdvancedComboDefaults(), {u"SIZE3", u"VRATE6", u"FPS3", u"ASPECT3"},
                                         Union({Range(200, 212), {708, 1202, 1203}}));
}

TEST(AdvancedLists, MainTableHasOneRowPerOfferedProfileInCatalogueOrder) {
    auto Rows = AdvancedComboDefaults();
    ASSERT_EQ(Rows.size(), 169u);
    const int PerCategory[19] = {7, 6, 11, 15, 15, 11, 16, 5, 4, 7, 7, 7, 7, 12, 13, 4, 5, 4, 13};
    int Expected = 0, Previous = -1, Index = 0;
    std::set<int> Codes;
    for (const TAdvancedComboRow& Row : Rows) {
        EXPECT_EQ(Row.FirstCode, Row.LastCode);
        EXPECT_TRUE(Codes.insert(Row.FirstCode).second) << Row.FirstCode;
        if (Row.CategoryItem != Previous) {
            // Rows of a category follow each other with profile indices 0, 1, 2 ...
            EXPECT_EQ(Row.CategoryItem, Previous + 1);
            if (Previous >= 0) {
                EXPECT_EQ(Index, PerCategory[Previous]) << Previous;
            }
            Previous = Row.CategoryItem;
            Index = 0;
            Expected = Row.FirstCode - Row.FirstCode % 100;
        }
        EXPECT_EQ(Row.FirstCode, Expected + Index) << Row.FirstCode;
        ++Index;
    }
    EXPECT_EQ(Previous, 18);
    EXPECT_EQ(Index, 13);
}

TEST(AdvancedLists, SettingsTableCoversExactlyTheDialogsCodes) {
    std::set<int> Codes;
    for (const TAdvancedComboRow& Row : SettingsAdvancedComboDefaults()) {
        EXPECT_EQ(Row.CategoryItem, Row.FirstCode / 100 - 1);
        for (int Code = Row.FirstCode; Code <= Row.LastCode; ++Code)
            EXPECT_TRUE(Codes.insert(Code).second) << Code;
    }
    EXPECT_EQ(Codes, Union({Range(100, 114), Range(200, 212), Range(300, 309), Range(400, 413), Range(500, 505),
                            Range(600, 604), Range(700, 713), Range(800, 804), Range(900, 909), Range(1000, 1007),
                            Range(1100, 1104), Range(1200, 1203)}));
    auto Table = SettingsAdvancedComboDefaults();
    for (int Code : {-1, 0, 99, 115, 199, 213, 414, 506, 714, 1008, 1105, 1199, 1204})
        EXPECT_EQ(FindAdvancedComboRow(Table, Code), nullptr) << Code;
}

std::vector<u16string> DefaultTexts(const TAdvancedComboRow* Row) {
    std::vector<u16string> Texts;
    for (const TAdvancedChoice& Choice : Row->Choices)
        Texts.push_back(Choice.DefaultText());
    return Texts;
}

TEST(AdvancedLists, DefaultsOfTellingProfiles) {
    struct Case {
        bool Settings;
        int Code;
        std::vector<u16string> Texts; // fill order
    };
    const Case Cases[] = {
        {false, 2500, {u"320*240", u"528 kbps", u"25.00", u"128 kbps", u"44100", u"保持原视频模式"}},
        {false, 2502, {u"480*480", u"528 kbps", u"25.00", u"128 kbps", u"44100", u"保持原视频模式"}},
        {false, 3214, {u"640*480", u"768 kbps", u"25.00", u"128 kbps", u"48000", u"保持原视频模式"}},
        {false, 2104, {u"640*480", u"528 kbps", u"保持原帧速率", u"128 kbps", u"44100", u"保持原视频模式"}},
        {false, 1202, {u"该格式无视频", u"无视频", u"无视频", u"128 kbps", u"22050", u"无视频"}},
        {false, 212, {u"该格式无视频", u"无视频", u"无视频", u"7.4 kbps", u"8000", u"无视频"}},
        {true, 100, {u"保持原分辨率", u"816 kbps", u"25.00", u"128 kbps", u"44100", u"保持原视频模式"}},
        {true, 109, {u"176*144", u"128 kbps", u"12", u"12 kbps", u"8000", u"保持原视频模式"}},
        {true, 708, {u"该格式无视频", u"无视频", u"无视频", u"7.4 kbps", u"8000", u"无视频"}},
        {true, 1201, {u"保持原分辨率", u"816 kbps", u"25.00", u"128 kbps", u"22050", u"保持原视频模式"}},
        {true, 802, {u"1280*720", u"1500 kbps", u"29.97", u"128 kbps", u"48000", u"保持原视频模式"}},
    };
    for (const Case& C : Cases) {
        auto Table = C.Settings ? SettingsAdvancedComboDefaults() : AdvancedComboDefaults();
        const TAdvancedComboRow* Row = FindAdvancedComboRow(Table, C.Code);
        ASSERT_NE(Row, nullptr) << C.Code;
        EXPECT_EQ(DefaultTexts(Row), C.Texts) << C.Code;
    }
    // FS12 repeats "1920*1200" where FS01 has "1920*1440".
    const TAdvancedValueList* FS12 = FindAdvancedValueList(AdvancedValueLists(), u"FS12");
    ASSERT_NE(FS12, nullptr);
    EXPECT_EQ(FS12->Item(24), u"1920*1200");
    EXPECT_EQ(FS12->Item(25), u"1920*1200");
    EXPECT_EQ(FindAdvancedValueList(AdvancedValueLists(), u"SIZE1"), nullptr);
}

// The rows follow the catalogue's own codes, and audio-only rows are exactly the profiles without video.
TEST(AdvancedLists, MainRowsAgreeWithTheCatalogue) {
    std::map<int, int> NextIndex;
    for (const TAdvancedComboRow& Row : AdvancedComboDefaults()) {
        int Index = NextIndex[Row.CategoryItem]++;
        EXPECT_EQ(ProfileCode(Row.CategoryItem, Index), Row.FirstCode);
        const TProfileSettings* Settings = FindProfileSettings(Row.FirstCode);
        ASSERT_NE(Settings, nullptr) << Row.FirstCode;
        EXPECT_EQ(Settings->DisableVideo, Row.AudioOnly) << Row.FirstCode;
    }
    for (const TProfileItem& Item : ProfileItems())
        EXPECT_NE(FindAdvancedComboRow(AdvancedComboDefaults(), Item.ProfileCode), nullptr) << Item.ProfileCode;
}

// Where both catalogues offer a code, its six lists and defaults are the same texts, except for the
// iPhone profiles, whose dialog entries are the dialog's own.
TEST(AdvancedLists, CataloguesDifferOnlyOnTheDialogsOwnIphoneRows) {
    std::set<int> Differing;
    for (const TAdvancedComboRow& Main : AdvancedComboDefaults()) {
        const TAdvancedComboRow* Dialog = FindAdvancedComboRow(SettingsAdvancedComboDefaults(), Main.FirstCode);
        if (!Dialog)
            continue;
        bool Same = Main.AudioOnly == Dialog->AudioOnly;
        for (int K = 0; K < AdvancedKindCount; ++K) {
            const TAdvancedChoice& A = Main.Choices[K];
            const TAdvancedChoice& B = Dialog->Choices[K];
            Same = Same && A.DefaultIndex == B.DefaultIndex &&
                   std::vector<u16string>(A.List->Items.begin(), A.List->Items.end()) ==
                       std::vector<u16string>(B.List->Items.begin(), B.List->Items.end());
        }
        if (!Same)
            Differing.insert(Main.FirstCode);
    }
    EXPECT_EQ(Differing, Range(500, 505));
}

// A combo box that logs what the fill does to it, and lets a test act inside its selection.
struct LoggingCombo : TAdvancedComboTarget {
    const char* Name = "";
    std::vector<std::string>* Log = nullptr;
    std::vector<u16string> Items;
    int ItemIndex = -1;
    bool Enabled = false;
    std::function<void()> OnSelect;

    void ClearItems() override {
        Items.clear();
        Log->push_back(std::string("clear ") + Name);
    }
    void AddItem(const u16string& S) override { Items.push_back(S); }
    void SetItemIndex(int Index) override {
        ItemIndex = Index;
        Log->push_back(std::string("select ") + Name + " " + std::to_string(Index) + " of " +
                       std::to_string(Items.size()));
        if (OnSelect)
            OnSelect();
    }
    void SetEnabled(bool Value) override {
        Enabled = Value;
        Log->push_back(std::string(Value ? "enable " : "disable ") + Name);
    }
};

struct FillFixture : ::testing::Test {
    std::vector<std::string> Log;
    LoggingCombo Box[AdvancedKindCount];
    TAdvancedCombos Combos;
    TOutputParams Params;

    FillFixture() {
        const char* Names[] = {"1", "2", "9", "3", "10", "4"};
        for (int K = 0; K < AdvancedKindCount; ++K) {
            Box[K].Name = Names[K];
            Box[K].Log = &Log;
            Combos.Combo[K] = &Box[K];
        }
        Params.Video_DisableVideo = true;
    }
};

TEST_F(FillFixture, AudioOnlyProfileFillsInOrderAndDisablesTheVideoBoxesLast) {
    const TAdvancedComboRow* Row = FillAdvancedCombos(Combos, AdvancedComboDefaults(), 212, Params);
    ASSERT_NE(Row, nullptr);
    const std::vector<std::string> Expected = {
        "clear 1",         "clear 2",          "clear 3",         "clear 4",         "clear 9",
        "clear 10",        "enable 1",         "enable 2",        "enable 3",        "enable 4",
        "enable 9",        "enable 10",        "select 1 0 of 1", "select 2 0 of 1", "select 9 0 of 1",
        "select 3 4 of 8", "select 10 0 of 1", "select 4 0 of 1", "disable 1",       "disable 2",
        "disable 4",       "disable 9",
    };
    EXPECT_EQ(Log, Expected);
    EXPECT_EQ(Params.All_Trant_Number, 212);
    EXPECT_FALSE(Params.Video_DisableVideo);
    EXPECT_EQ(Box[akAudioBitrate].Items[4], u"7.4 kbps");
    EXPECT_TRUE(Box[akAudioBitrate].Enabled);
    EXPECT_TRUE(Box[akSampleRate].Enabled);
    EXPECT_FALSE(Box[akAspectMode].Enabled);

    // A video profile afterwards leaves nothing disabled, and nothing of the old lists.
    FillAdvancedCombos(Combos, AdvancedComboDefaults(), 2500, Params);
    for (const LoggingCombo& B : Box)
        EXPECT_TRUE(B.Enabled) << B.Name;
    EXPECT_EQ(Box[akFrameSize].Items.size(), 28u);
    EXPECT_EQ(Params.All_Trant_Number, 2500);
}

TEST_F(FillFixture, SelectionSeesEarlierBoxesCompleteAndLaterOnesEmpty) {
    std::vector<size_t> SeenBySampleRate;
    Box[akSampleRate].OnSelect = [&] {
        for (const LoggingCombo& B : Box)
            SeenBySampleRate.push_back(B.Items.size());
    };
    Box[akFrameSize].Items = {u"old"};
    FillAdvancedCombos(Combos, SettingsAdvancedComboDefaults(), 100, Params);
    EXPECT_EQ(SeenBySampleRate, (std::vector<size_t>{28, 8, 12, 17, 6, 0}));
}

TEST_F(FillFixture, CodeWithoutRowLeavesTheBoxesEmptyAndEnabled) {
    for (int Code : {-1, 99, 506, 1204}) {
        Log.clear();
        Params.Video_DisableVideo = true;
        EXPECT_EQ(FillAdvancedCombos(Combos, SettingsAdvancedComboDefaults(), Code, Params), nullptr);
        EXPECT_EQ(Log.size(), 12u) << Code; // six clears and six enables
        for (const LoggingCombo& B : Box) {
            EXPECT_TRUE(B.Items.empty());
            EXPECT_TRUE(B.Enabled);
        }
        EXPECT_EQ(Params.All_Trant_Number, Code);
        EXPECT_FALSE(Params.Video_DisableVideo);
    }
    EXPECT_EQ(SettingsProfileCode(-1, -1), -1);
    EXPECT_EQ(SettingsProfileCode(0, -1), 99);
    EXPECT_EQ(SettingsProfileCode(11, 3), 1203);
}

TEST_F(FillFixture, EachFormKeysItsTableByItsOwnCode) {
    // Category item 0 of the main window is the group of the VCD profiles; of the dialog, the common videos.
    ASSERT_NE(FillMainAdvancedCombos(Combos, 0, 0, Params), nullptr);
    EXPECT_EQ(Params.All_Trant_Number, 2500);
    EXPECT_EQ(Box[akFrameSize].Items[Box[akFrameSize].ItemIndex], u"320*240");
    ASSERT_NE(FillSettingsAdvancedCombos(Combos, 0, 0, Params), nullptr);
    EXPECT_EQ(Params.All_Trant_Number, 100);
    EXPECT_EQ(Box[akFrameSize].Items[Box[akFrameSize].ItemIndex], u"保持原分辨率");
    FillMainAdvancedCombos(Combos, 18, 12, Params);
    EXPECT_EQ(Params.All_Trant_Number, 212);
    EXPECT_FALSE(Box[akFrameRate].Enabled);
}

// Every text that the advanced choices' rules single out is offered by some list of the main window.
TEST(AdvancedLists, EverySpecialTextIsListed) {
    std::set<u16string> Listed;
    for (const TAdvancedValueList* List : AdvancedValueLists())
        Listed.insert(List->Items.begin(), List->Items.end());
    for (const char16_t* Special :
         {u"保持原分辨率", u"该格式无视频", u"保持原帧速率", u"无视频", u"保持原视频模式", u"普通视频4:3模式",
          u"宽屏视频16:9模式", u"宽屏视频37:20模式", u"宽屏视频47:20模式"})
        EXPECT_TRUE(Listed.count(Special)) << Listed.size();
}

} // namespace
