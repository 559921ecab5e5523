// The catalogue on the main window: the handlers that run nested inside the combo boxes' change notifications,
// logged as they are entered, and what they write into the selected job row and the output parameters.
#include "AppFixture.h"

#include <filesystem>
#include <string>
#include <vector>

#include "app/profiles/ProfileCatalogue.h"
#include "platform/gdi/Graphics.h"
#include "platform/win/WinExtras.h"

namespace {

// A main window that logs the entry of every catalogue handler.
class TLoggingForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::vector<std::string> Log;

#define QV_LOGGED(Name)                                                                                                \
    void Name(TObject* Sender) override {                                                                              \
        Log.push_back(#Name);                                                                                          \
        TForm1::Name(Sender);                                                                                          \
    }
    QV_LOGGED(Button2Click)
    QV_LOGGED(Button5Click)
    QV_LOGGED(Button6Click)
    QV_LOGGED(Button13Click)
    QV_LOGGED(Button18Click)
    QV_LOGGED(bsSkinOfficeComboBox2Change)
    QV_LOGGED(bsSkinOfficeComboBox1Change)
    QV_LOGGED(bsSkinComboBox1Change)
    QV_LOGGED(bsSkinComboBox2Change)
    QV_LOGGED(bsSkinComboBox3Change)
    QV_LOGGED(bsSkinComboBox4Change)
    QV_LOGGED(bsSkinComboBox9Change)
    QV_LOGGED(bsSkinComboBox10Change)
#undef QV_LOGGED
};

using Strings = std::vector<std::string>;
// The chain's entries for a profile change, without the advanced handlers.
const Strings ChainWithoutRow = {"bsSkinOfficeComboBox1Change", "Button18Click"};

class CatalogueTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Application->SetTitle(u"Quorvane");
        Application->CreateForm(Form);
        Form1 = Form;
        Application->CreateForm(Form2);
        Application->CreateForm(Form5);
        Application->CreateForm(Form6);
    }
    void TearDown() override {
        // As closing the window does: the handlers leave before the engine and the player stop.
        bool CanClose = true;
        Form->FormCloseQuery(Form, CanClose);
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
        AppTest::TearDown();
    }

    // The user's choice of a category or a profile.
    void PickCategory(int Index) { Form->SetCatalogueIndex(Form->bsSkinOfficeComboBox2, Index); }
    void PickProfile(int Index) { Form->SetCatalogueIndex(Form->bsSkinOfficeComboBox1, Index); }
    void Pick(int CategoryIndex, int ProfileIndex) {
        PickCategory(CategoryIndex);
        PickProfile(ProfileIndex);
    }

    // A selected job row, as adding a file leaves it: every column present, column 3 the output name.
    TListItem* AddSelectedRow(const String& OutputName) {
        TListItem* Row = Form->lvFiles->Items()->Add();
        Row->SetCaption(u"/in/" + OutputName);
        for (int Column = 1; Column < JobColumnCount; ++Column)
            Row->SubItems()->Add(u"");
        SetJobColumnText(Row, jcOutputFile, OutputName);
        Form->lvFiles->SetItemIndex(Row->Index());
        return Row;
    }

    Strings Texts() const {
        Strings Result;
        for (TbsSkinComboBox* Combo : {Form->bsSkinComboBox1, Form->bsSkinComboBox2, Form->bsSkinComboBox9,
                                       Form->bsSkinComboBox3, Form->bsSkinComboBox10, Form->bsSkinComboBox4})
            Result.push_back(UTF8Encode(Combo->Text()));
        return Result;
    }
    std::vector<bool> Enabled() const {
        std::vector<bool> Result;
        for (TbsSkinComboBox* Combo : {Form->bsSkinComboBox1, Form->bsSkinComboBox2, Form->bsSkinComboBox9,
                                       Form->bsSkinComboBox3, Form->bsSkinComboBox10, Form->bsSkinComboBox4})
            Result.push_back(Combo->Enabled());
        return Result;
    }

    TLoggingForm1* Form = nullptr;
};

Strings Concat(std::initializer_list<Strings> Parts) {
    Strings Result;
    for (const Strings& Part : Parts)
        Result.insert(Result.end(), Part.begin(), Part.end());
    return Result;
}

} // namespace

TEST_F(CatalogueTest, StartUpFillsTheFirstCategoryAndItsFirstProfilesDefaultsWithoutWritingARow) {
    EXPECT_EQ(Form->Log, (Strings{"Button2Click", "bsSkinOfficeComboBox1Change", "Button18Click",
                                  "bsSkinComboBox1Change", "bsSkinComboBox2Change", "bsSkinComboBox9Change",
                                  "bsSkinComboBox3Change", "bsSkinComboBox10Change", "bsSkinComboBox4Change"}));
    TbsSkinOfficeItems* Profiles = Form->bsSkinOfficeComboBox1->Items();
    ASSERT_EQ(Profiles->Count(), 7);
    for (int I = 0; I < 7; ++I) {
        const TProfileItem& Expected = ProfilesOfCategory(0)[std::size_t(I)];
        EXPECT_EQ(Profiles->Items(I)->Title(), String(Expected.Title));
        EXPECT_EQ(Profiles->Items(I)->Caption(), String(Expected.Description));
        EXPECT_EQ(Profiles->Items(I)->ImageIndex(), 24);
    }
    EXPECT_EQ(Form->bsSkinOfficeComboBox1->ItemIndex(), 0);
    // The main window's fill wrote 2500; the settings dialog, created last, writes its own first code over it.
    EXPECT_EQ(Form->OutputParams.All_Trant_Number, 100);
    EXPECT_EQ(Texts(), (Strings{"320*240", "528 kbps", "25.00", "128 kbps", "44100", "保持原视频模式"}));
    EXPECT_EQ(Enabled(), std::vector<bool>(6, true));
    EXPECT_EQ(Form->lvFiles->Items()->Count(), 0);
}

TEST_F(CatalogueTest, TheLastCategoryListsItsThirteenProfilesWithTheirCodesAndPositions) {
    TListItem* Row = AddSelectedRow(u"clip.avi");
    PickCategory(18);
    ASSERT_EQ(Form->bsSkinOfficeComboBox1->Items()->Count(), 13);
    for (int I = 0; I < 13; ++I) {
        PickProfile(I);
        EXPECT_EQ(Form->OutputParams.All_Trant_Number, 200 + I);
        EXPECT_EQ(JobColumnText(Row, jcProfileCode), IntToStr(1900 + I));
    }
}

TEST_F(CatalogueTest, OnlyTheAdvancedCombosWhoseShownTextChangesRunTheirHandlers) {
    Pick(0, 1);
    Form->Log.clear();
    PickProfile(2); // 2501 to 2502: only the frame size changes, "320*240" to "480*480"
    EXPECT_EQ(Form->Log, Concat({ChainWithoutRow, {"bsSkinComboBox1Change"}}));
    EXPECT_EQ(Form->bsSkinComboBox1->Text(), u"480*480");

    Pick(4, 8);
    Form->Log.clear();
    PickProfile(9); // 508 to 509: "128 kbps" stays, from another list at another index
    EXPECT_EQ(Form->bsSkinComboBox3->Text(), u"128 kbps");
    EXPECT_EQ(Form->bsSkinComboBox3->ItemIndex(), 10);
    for (const std::string& Entry : Form->Log)
        EXPECT_NE(Entry, "bsSkinComboBox3Change");
}

TEST_F(CatalogueTest, AnAudioOnlyProfileDisablesTheVideoCombosUntilTheNextFill) {
    Pick(18, 12);
    EXPECT_EQ(Texts(), (Strings{"该格式无视频", "无视频", "无视频", "7.4 kbps", "8000", "无视频"}));
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, true, true, false}));
    EXPECT_EQ(Form->bsSkinComboBox3->Items()->Count(), 8);
    EXPECT_EQ(Form->bsSkinComboBox10->Items()->Count(), 1);
    EXPECT_FALSE(Form->OutputParams.Video_DisableVideo);

    PickCategory(3);
    EXPECT_EQ(Enabled(), std::vector<bool>(6, true));
}

TEST_F(CatalogueTest, TheUpArrowOnTheFirstProfileRunsTheChainAgain) {
    Form->Show();
    Pump();
    Form->bsSkinOfficeComboBox1->SetFocus();
    Form->Log.clear();
    Key(VK_UP);
    EXPECT_EQ(Form->Log, ChainWithoutRow);
    EXPECT_EQ(Form->bsSkinOfficeComboBox1->ItemIndex(), 0);
}

TEST_F(CatalogueTest, ChoosingTheCategoryAlreadyShownRefillsAndAppliesItsFirstProfileToTheRow) {
    Pick(18, 3); // 203's sample rate combo box shows "48000", 200's "44100"
    TListItem* Row = AddSelectedRow(u"clip.avi");
    Form->Log.clear();
    PickCategory(18);
    EXPECT_EQ(Form->Log, Concat({{"bsSkinOfficeComboBox2Change", "Button2Click"},
                                 ChainWithoutRow,
                                 {"bsSkinComboBox10Change"},
                                 {"Button5Click", "Button6Click", "Button13Click"}}));
    // The handler wrote the combo box's "44100"; applying 200 then wrote its own "48000" over it.
    EXPECT_EQ(JobColumnText(Row, jcAudioSampleRate), u"48000");
    EXPECT_EQ(Form->OutputParams.Video_AudioSampleRate, u"44100");
    EXPECT_EQ(Form->bsSkinOfficeComboBox1->ItemIndex(), 0);
    EXPECT_EQ(JobColumnText(Row, jcOutputFile), u"clip.mp3");
    EXPECT_EQ(JobColumnText(Row, jcProfileCode), u"1900");
}

TEST_F(CatalogueTest, AProfileChangeRewritesTheSelectedRowsNameAndSettings) {
    struct Case {
        const char* Name;
        String OutputName;
        int Category, Profile;
        String Column3;
        String Column9;
        std::vector<std::pair<int, String>> Columns; // further columns and their texts
    };
    const Case Cases[] = {
        {"the audio category", u"clip.avi", 18, 0, u"clip.mp3", u"1900", {{jcDisableVideo, u"True"}}},
        {"only the last extension", u"a.b.avi", 7, 0, u"a.b.mp4", u"800", {{jcDisableVideo, u"False"}}},
        {"a name without extension", u"clip", 7, 0, u"clip.mp4", u"800", {}},
        {"the title's extension", u"clip.avi", 6, 0, u"clip.mp4", u"700", {{jcFileExt, u".avi"}}},
        {"a disc profile",
         u"clip.avi",
         0,
         0,
         u"clip.mpg",
         u"100",
         {{jcVideoBitrate, u"-1000"}, {jcAudioBitrate, u"-1000"}, {jcTargetType, u"vcd"}, {jcNormType, u"PAL"}}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->lvFiles->Items()->Clear();
        TListItem* Row = AddSelectedRow(C.OutputName);
        Pick(C.Category, C.Profile);
        EXPECT_EQ(JobColumnText(Row, jcOutputFile), C.Column3);
        EXPECT_EQ(JobColumnText(Row, jcProfileCode), C.Column9);
        for (const auto& [Column, Text] : C.Columns)
            EXPECT_EQ(JobColumnText(Row, Column), Text) << "column " << Column;
    }
}

TEST_F(CatalogueTest, TheRowKeepsTheProfilesOwnValuesWhileTheFieldsTakeTheAdvancedChoices) {
    TListItem* Row = AddSelectedRow(u"clip.avi");
    Pick(0, 0); // 2500: the disc profile sets no bitrates, the combo boxes show "528 kbps" and "128 kbps"
    EXPECT_EQ(JobColumnText(Row, jcVideoBitrate), u"-1000");
    EXPECT_EQ(JobColumnText(Row, jcAudioBitrate), u"-1000");
    EXPECT_EQ(Form->OutputParams.Video_VideoBitrate, 528000);
    EXPECT_EQ(Form->OutputParams.Video_AudioBitrate, 128000);
    EXPECT_EQ(Form->OutputParams.Video_FrameSize, u"320*240");
    EXPECT_EQ(Form->OutputParams.Video_FrameRate, u"25.00");
    EXPECT_EQ(Form->OutputParams.Video_TargetType, u"vcd");
}

TEST_F(CatalogueTest, AnAdvancedChoiceRewritesItsPairItsColumnAndItsField) {
    Pick(3, 0); // 100: the audio bitrate list of 17 items, "128 kbps" chosen
    TListItem* Row = AddSelectedRow(u"clip.avi");
    SetJobColumnText(Row, jcComboIndices, u"000104000302");
    Form->Log.clear();
    Form->bsSkinComboBox3->SetItemIndex(12);
    EXPECT_EQ(Form->Log, Strings{"bsSkinComboBox3Change"});
    EXPECT_EQ(Form->bsSkinComboBox3->Text(), u"160 kbps");
    EXPECT_EQ(JobColumnText(Row, jcComboIndices), u"000112000302");
    EXPECT_EQ(Form->OutputParams.Video_AudioBitrate, 160000);
    EXPECT_EQ(JobColumnText(Row, jcAudioBitrate), u"160000");

    // The item already shown: nothing runs.
    Form->Log.clear();
    Form->bsSkinComboBox3->SetItemIndex(12);
    EXPECT_EQ(Form->Log, Strings{});
    EXPECT_EQ(JobColumnText(Row, jcComboIndices), u"000112000302");
}

TEST_F(CatalogueTest, AnAdvancedChoiceWithoutASelectedRowChangesNothing) {
    Pick(3, 0);
    const int Before = Form->OutputParams.Video_AudioBitrate;
    Form->Log.clear();
    Form->bsSkinComboBox3->SetItemIndex(12);
    EXPECT_EQ(Form->Log, Strings{"bsSkinComboBox3Change"});
    EXPECT_EQ(Form->OutputParams.Video_AudioBitrate, Before);
}

TEST_F(CatalogueTest, BothSettingsPagesArePictured) {
    // The window in a project skin, the pages one above the other, the lower one with its category list open.
    Form->Show();
    Form->bsSkinData1->SetSkinIndex(2);
    Pump();
    Form->SetBounds(0, 0, Form->Width(), Form->Height());
    Pick(3, 0);
    Pump();
    TbsSkinPageControl* Pages = Form->bsSkinPageControl1;
    const TPoint Origin = Pages->ClientToScreen(TPoint(0, 0));
    const int W = Pages->Width(), H = Pages->Height(), Below = 200;
    std::vector<std::uint32_t> Sheet;
    // The second page first; then the first with the category list dropped down below it.
    Pages->SetActivePageIndex(1);
    Pump();
    std::vector<DWORD> Shot = CaptureScreen(TRect{Origin.X, Origin.Y, Origin.X + W, Origin.Y + H});
    Sheet.insert(Sheet.end(), Shot.begin(), Shot.end());
    Pages->SetActivePageIndex(0);
    Pump();
    Form->bsSkinOfficeComboBox2->DropDown();
    Pump();
    EXPECT_TRUE(Form->bsSkinOfficeComboBox2->IsPopupVisible());
    Shot = CaptureScreen(TRect{Origin.X, Origin.Y, Origin.X + W, Origin.Y + H + Below});
    Sheet.insert(Sheet.end(), Shot.begin(), Shot.end());
    Form->bsSkinOfficeComboBox2->CloseUp(false);
    EXPECT_EQ(Form->bsSkinComboBox1->Text(), u"保持原分辨率");
    for (std::uint32_t& P : Sheet)
        P |= 0xFF000000u;
    TPngImage Png;
    Png.SetPixels(W, 2 * H + Below, Sheet.data(), false);
    std::filesystem::create_directories("artifacts");
    Png.SaveToFile(u"artifacts/catalogue_pages.png");
}
