// The settings dialog after the program's whole start-up, driven through its own controls and buttons: the lists
// it fills, what OK and Cancel leave in the main window's output parameter fields, and an error in OK.
#include "AppFixture.h"

#include <filesystem>
#include <string>
#include <vector>

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/SettingsProfiles.h"
#include "platform/win/WinExtras.h"

namespace {

class SettingsDialogTest : public AppTest {
protected:
    TOutputParams& Params() { return Form1->OutputParams; }

    // A choice in the category or profile combo box: the combo box reports it as it reports a user's.
    void ChooseCategory(int Index) { Form6->bsSkinOfficeComboBox2->SetItemIndex(Index); }
    void ChooseProfile(int Index) { Form6->bsSkinOfficeComboBox1->SetItemIndex(Index); }
    // Selects the item with Text in an advanced combo box, adding it when the list lacks it.
    static void Choose(TbsSkinComboBox* Combo, const String& Text) {
        int Index = Combo->Items()->IndexOf(Text);
        if (Index < 0)
            Index = Combo->Items()->Add(Text);
        Combo->SetItemIndex(Index);
    }
    std::vector<String> ProfileTitles() {
        std::vector<String> Titles;
        for (int I = 0; I < Form6->bsSkinOfficeComboBox1->Items()->Count(); ++I)
            Titles.push_back(Form6->bsSkinOfficeComboBox1->Items()->Items(I)->Title());
        return Titles;
    }
    static std::vector<String> TitlesOf(int Category) {
        std::vector<String> Titles;
        for (const TSettingsProfileItem& Item : SettingsProfilesOfCategory(Category))
            Titles.push_back(Item.Title);
        return Titles;
    }
    std::vector<String> ShownTexts() {
        std::vector<String> Texts;
        for (int K = 0; K < AdvancedKindCount; ++K)
            Texts.push_back(Form6->AdvancedCombo(TAdvancedKind(K))->Text());
        return Texts;
    }
    // A click in the middle of a control of the shown dialog.
    void ClickOn(TControl* Control) {
        Pump();
        Click(Control->ClientToScreen({Control->Width() / 2, Control->Height() / 2}));
    }
};

TEST_F(SettingsDialogTest, AfterTheWholeStartUpTheProfileCodeIs100AndVideoIsOn) {
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form5);
    // Whatever the main window wrote before, the dialog's creation writes over it.
    Params().All_Trant_Number = 1203;
    Params().Video_DisableVideo = true;
    Application->CreateForm(Form6);

    EXPECT_EQ(Params().All_Trant_Number, 100);
    EXPECT_FALSE(Params().Video_DisableVideo);
    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(Form6->bsSkinOfficeComboBox2->ItemIndex(), 0);
    EXPECT_EQ(ProfileTitles(), TitlesOf(0));
    EXPECT_EQ(ProfileTitles().size(), 15u);
    EXPECT_EQ(Form6->bsSkinOfficeComboBox1->ItemIndex(), 0);
    TbsSkinOfficeItem* First = Form6->bsSkinOfficeComboBox1->Items()->Items(0);
    EXPECT_EQ(First->Title(), u"AVI - 音频视频交错格式(*.avi)");
    EXPECT_EQ(First->Caption(), u"AVI最常用的视频格式,语音和影像同步组合在一起的文件格式");
    EXPECT_EQ(ShownTexts(),
              (std::vector<String>{u"保持原分辨率", u"816 kbps", u"25.00", u"128 kbps", u"44100", u"保持原视频模式"}));
    for (int K = 0; K < AdvancedKindCount; ++K)
        EXPECT_TRUE(Form6->AdvancedCombo(TAdvancedKind(K))->Enabled()) << K;
}

TEST_F(SettingsDialogTest, TheFormHoldsEveryControlAtItsPlace) {
    StartProgram();
    EXPECT_EQ(Form6->Caption(), u"设置选项");
    EXPECT_EQ(Form6->ClientRect(), Rect(0, 0, 958, 474));
    // The panel of plain buttons reaches past the client area's right edge.
    EXPECT_EQ(Form6->Panel1->Left() + Form6->Panel1->Width() - Form6->ClientWidth(), 37);
    EXPECT_TRUE(Form6->Panel1->Visible());
    EXPECT_FALSE(Form6->bsSkinButton1->Visible());

    std::vector<String> Sheets;
    for (int I = 0; I < Form6->bsSkinPageControl1->PageCount(); ++I)
        Sheets.push_back(Form6->bsSkinPageControl1->Pages(I)->Caption());
    EXPECT_EQ(Sheets, (std::vector<String>{u"标准参数设置", u"剪辑设置", u"滤镜设置", u"文字水印"}));
    EXPECT_EQ(Form6->bsSkinPageControl1->ActivePage(), Form6->bsSkinTabSheet1);
    for (TWinControl* Empty :
         {static_cast<TWinControl*>(Form6->bsSkinTabSheet2), static_cast<TWinControl*>(Form6->FilterSheet),
          static_cast<TWinControl*>(Form6->bsSkinTabSheet3)}) {
        Form6->bsSkinPageControl1->SetActivePage(static_cast<TTabSheet*>(Empty));
        EXPECT_EQ(Form6->bsSkinPageControl1->ActivePage(), Empty);
        EXPECT_EQ(Empty->ControlCount(), 0);
    }

    // Skinned from the main window's skin data; the twelve category pictures and the folder from the program.
    for (TbsSkinControl* Control :
         std::initializer_list<TbsSkinControl*>{Form6->bsSkinPanel2, Form6->bsSkinButton2, Form6->bsSkinButton3,
                                                Form6->bsSkinComboBox1, Form6->bsSkinComboBox10})
        EXPECT_EQ(Control->SkinData(), Form1->bsSkinData1) << UTF8Encode(Control->Name());
    EXPECT_EQ(Form6->bsSkinForm1->SkinData(), Form1->bsSkinData1);
    EXPECT_EQ(Form6->ImageList1->Count(), 12);
    EXPECT_EQ(Form6->ImageList1->Width(), 32);
    EXPECT_EQ(Form6->ImageList2->Count(), 0);
    EXPECT_EQ(Form6->Image1->Picture()->Width(), 128);
    EXPECT_EQ(Form6->Image1->Picture()->Height(), 128);
    EXPECT_EQ(Form6->FFConv->Owner(), Form6);

    // The two buttons without a handler change nothing.
    const TOutputParams Before = Params();
    Form6->Button7->Click();
    Form6->Button11->Click();
    EXPECT_EQ(Params().All_Trant_Number, Before.All_Trant_Number);
    EXPECT_EQ(ShownTexts()[0], u"保持原分辨率");
}

TEST_F(SettingsDialogTest, TheCategoriesShowTheirPicturesAndTheProfilesTheirTitlesAndTexts) {
    StartProgram();
    TbsSkinOfficeComboBox* Categories = Form6->bsSkinOfficeComboBox2;
    EXPECT_EQ(Categories->Images(), Form6->ImageList1);
    ASSERT_EQ(Categories->Items()->Count(), 12);
    for (int I = 0; I < 12; ++I) {
        EXPECT_EQ(Categories->Items()->Items(I)->Caption(), SettingsCategories()[std::size_t(I)]);
        EXPECT_EQ(Categories->Items()->Items(I)->ImageIndex(), I);
        EXPECT_EQ(Categories->Items()->Items(I)->Title(), u"");
    }
    EXPECT_EQ(Form6->bsSkinOfficeComboBox1->Images(), nullptr);
    // Each profile item as the catalogue has it: "HD视频" shows picture 20, then 21 for the other nine.
    ChooseCategory(2);
    std::vector<int> Pictures;
    for (int I = 0; I < Form6->bsSkinOfficeComboBox1->Items()->Count(); ++I) {
        TbsSkinOfficeItem* Item = Form6->bsSkinOfficeComboBox1->Items()->Items(I);
        const TSettingsProfileItem& Profile = SettingsProfilesOfCategory(2)[std::size_t(I)];
        EXPECT_EQ(Item->Title(), Profile.Title);
        EXPECT_EQ(Item->Caption(), Profile.Description);
        Pictures.push_back(Item->ImageIndex());
    }
    EXPECT_EQ(Pictures, (std::vector<int>{20, 21, 21, 21, 21, 21, 21, 21, 21, 21}));
}

TEST_F(SettingsDialogTest, TheUsersKeysOnTheCategoryComboBoxRefillTheProfiles) {
    StartProgram();
    Form6->Show();
    Pump();
    Form6->bsSkinOfficeComboBox2->SetFocus();
    for (int I = 0; I < 11; ++I)
        Key(VK_DOWN);
    EXPECT_EQ(Form6->bsSkinOfficeComboBox2->ItemIndex(), 11);
    EXPECT_EQ(ProfileTitles(), TitlesOf(11));
    EXPECT_EQ(Params().All_Trant_Number, 1200);
    Form6->bsSkinOfficeComboBox1->SetFocus();
    Key(VK_DOWN);
    EXPECT_EQ(Params().All_Trant_Number, 1201);
}

TEST_F(SettingsDialogTest, ChoosingACategoryListsItsProfilesAndSelectsTheFirst) {
    StartProgram();
    ChooseCategory(11);
    EXPECT_EQ(ProfileTitles(), TitlesOf(11));
    ASSERT_EQ(ProfileTitles().size(), 4u);
    EXPECT_EQ(ProfileTitles()[0], u"FLV在线网络视频(*.flv)");
    EXPECT_EQ(Params().All_Trant_Number, 1200);
    for (int Profile = 0; Profile < 4; ++Profile) {
        ChooseProfile(Profile);
        EXPECT_EQ(Params().All_Trant_Number, 1200 + Profile);
    }

    // The category already shown, chosen again: the same list, the first profile selected and its lists again.
    ChooseCategory(0);
    ChooseProfile(5);
    EXPECT_EQ(Params().All_Trant_Number, 105);
    ChooseCategory(0);
    EXPECT_EQ(ProfileTitles(), TitlesOf(0));
    EXPECT_EQ(Form6->bsSkinOfficeComboBox1->ItemIndex(), 0);
    EXPECT_EQ(Params().All_Trant_Number, 100);
    EXPECT_EQ(ShownTexts()[1], u"816 kbps");
}

TEST_F(SettingsDialogTest, EachProfileFillsItsSixListsWithTheirDefaults) {
    StartProgram();
    int Rows = 0;
    for (int Category = 0; Category < SettingsCategoryCount; ++Category) {
        ChooseCategory(Category);
        const int Count = int(SettingsProfilesOfCategory(Category).size());
        for (int Profile = 0; Profile < Count; ++Profile) {
            ChooseProfile(Profile);
            const int Code = (Category + 1) * 100 + Profile;
            const TAdvancedComboRow* Row = FindAdvancedComboRow(SettingsAdvancedComboDefaults(), Code);
            ASSERT_NE(Row, nullptr) << Code;
            ++Rows;
            EXPECT_EQ(Params().All_Trant_Number, Code);
            EXPECT_FALSE(Params().Video_DisableVideo) << Code;
            for (int K = 0; K < AdvancedKindCount; ++K) {
                const TAdvancedKind Kind = TAdvancedKind(K);
                const TAdvancedChoice& Choice = Row->Choice(Kind);
                TbsSkinComboBox* Combo = Form6->AdvancedCombo(Kind);
                std::vector<String> Items;
                for (int I = 0; I < Combo->Items()->Count(); ++I)
                    Items.push_back(Combo->Items()->Strings(I));
                EXPECT_EQ(Items, std::vector<String>(Choice.List->Items.begin(), Choice.List->Items.end()))
                    << Code << " " << K;
                EXPECT_EQ(Combo->ItemIndex(), Choice.DefaultIndex) << Code << " " << K;
                EXPECT_EQ(Combo->Text(), Choice.DefaultText()) << Code << " " << K;
                const bool Audio = Kind == akAudioBitrate || Kind == akSampleRate;
                EXPECT_EQ(Combo->Enabled(), Audio || !Row->AudioOnly) << Code << " " << K;
            }
        }
    }
    EXPECT_EQ(Rows, 109);
}

TEST_F(SettingsDialogTest, OkWritesTheProfileThenTheSixChoicesOverItAndCloses) {
    StartProgram();
    const String Folder = Form1->Video_OutPut_Folder_Edit->Text();
    Params().Video_AddFileName = u"/media/in/clip.mkv";
    Form6->Show();
    ChooseCategory(0);
    Choose(Form6->bsSkinComboBox1, u"640*480");
    Choose(Form6->bsSkinComboBox9, u"29.97");
    Choose(Form6->bsSkinComboBox2, u"2000 kbps");
    Choose(Form6->bsSkinComboBox10, u"48000");
    Choose(Form6->bsSkinComboBox3, u"5.9 kbps");
    Choose(Form6->bsSkinComboBox4, u"宽屏视频16:9模式");
    ClickOn(Form6->bsSkinButton2);

    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(Params().Video_FrameSize, u"640*480");
    EXPECT_EQ(Params().Video_FrameRate, u"29.97");
    EXPECT_EQ(Params().Video_VideoBitrate, 2000000);
    EXPECT_EQ(Params().Video_AudioSampleRate, u"48000");
    EXPECT_EQ(Params().Video_AudioBitrate, 5900);
    EXPECT_EQ(Params().Video_FrameAspectRatio, u"16:9");
    // The others hold the profile's own.
    EXPECT_EQ(Params().All_Trant_Number, 100);
    EXPECT_EQ(Params().Video_FileExt, u".avi");
    EXPECT_EQ(Params().Video_VideoCodec, u"mpeg4");
    EXPECT_EQ(Params().Video_AudioCodec, u"libmp3lame");
    EXPECT_EQ(Params().Video_VideoTag, u"XVID");
    EXPECT_EQ(Params().Video_AudioChannels, u"2");
    EXPECT_EQ(Params().Video_AudioVolume, u"256");
    EXPECT_EQ(Params().Video_OutPutFileName, Folder + u"/clip.avi");

    // Shown again, the dialog keeps its choices; the automatic sample rate, given the list, gives "AUTO".
    Form6->Show();
    EXPECT_EQ(Form6->bsSkinComboBox1->Text(), u"640*480");
    Choose(Form6->bsSkinComboBox10, u"自动音频采样率");
    ClickOn(Form6->bsSkinButton2);
    EXPECT_EQ(Params().Video_AudioSampleRate, u"AUTO");
}

TEST_F(SettingsDialogTest, AnAudioProfileAfterAVideoOneKeepsTheFileExtension) {
    StartProgram();
    Params().Video_AddFileName = u"/media/in/clip.mkv";
    Form6->Show();
    ChooseCategory(0);
    ChooseProfile(10);
    ClickOn(Form6->bsSkinButton2);
    EXPECT_EQ(Params().Video_FileExt, u".wmv");
    EXPECT_EQ(Params().Video_VideoCodec, u"wmv2");

    Form6->Show();
    ChooseCategory(11);
    ChooseProfile(2);
    ClickOn(Form6->bsSkinButton2);
    EXPECT_EQ(Params().All_Trant_Number, 1202);
    EXPECT_EQ(Params().Video_FileExt, u".wmv");
    EXPECT_TRUE(Params().Video_DisableVideo);
    EXPECT_EQ(ExtractFileName(Params().Video_OutPutFileName), u"clip.flv");
    // The placeholders of the video boxes say "no video".
    EXPECT_EQ(Params().Video_FrameSize, u"");
    EXPECT_EQ(Params().Video_VideoBitrate, -1000);
}

TEST_F(SettingsDialogTest, CancelKeepsTheCodeTheLastFillWrote) {
    StartProgram();
    Form6->Show();
    const String FileExt = Params().Video_FileExt;
    ChooseCategory(3);
    ChooseProfile(5);
    ClickOn(Form6->bsSkinButton3);
    EXPECT_FALSE(Form6->Visible());
    EXPECT_EQ(Params().All_Trant_Number, 405);
    EXPECT_EQ(Params().Video_FileExt, FileExt);

    // The reset button puts every output parameter field back, the code aside.
    Params().Video_VideoCodec = u"mpeg4";
    Form6->Button6->Click();
    EXPECT_EQ(Params().Video_VideoCodec, u"");
    EXPECT_EQ(Params().Video_VideoBitrate, -1);
    EXPECT_EQ(Params().Video_AudioVolume, u"256");
    EXPECT_EQ(Params().All_Trant_Number, 405);
}

TEST_F(SettingsDialogTest, AModalShowingEndsWithTheCancelResultAfterOkToo) {
    StartProgram();
    // Once the dialog is up, the user clicks OK: it writes the fields, and its close ends the showing.
    bool Clicked = false;
    Application->OnIdle = [&](TObject*) {
        if (Clicked || !Form6->Visible())
            return;
        Clicked = true;
        TControl* Ok = Form6->bsSkinButton2;
        const TPoint P = Ok->ClientToScreen({Ok->Width() / 2, Ok->Height() / 2});
        InjectClick(P.X, P.Y);
    };
    Params().Video_FileExt = u"";
    EXPECT_EQ(Form6->ShowModal(), mrCancel);
    Application->OnIdle = nullptr;
    EXPECT_TRUE(Clicked);
    EXPECT_EQ(Params().Video_FileExt, u".avi");
    EXPECT_FALSE(Form6->Visible());
}

TEST_F(SettingsDialogTest, ABitrateThatDoesNotConvertStopsOkAtThatStepAndShowsTheError) {
    StartProgram();
    std::vector<String> Shown;
    Application->OnException = [&](TObject*, Exception& E) { Shown.push_back(E.Message()); };
    Form6->Show();
    Pump();
    Choose(Form6->bsSkinComboBox1, u"320*240");
    Choose(Form6->bsSkinComboBox2, u"1200");
    ClickOn(Form6->bsSkinButton2);

    EXPECT_EQ(Shown, (std::vector<String>{u"'' is not a valid integer value"}));
    EXPECT_TRUE(Form6->Visible());
    // The profile's fields and the two steps before the bitrate are written; the bitrate and later keep theirs.
    EXPECT_EQ(Params().Video_FileExt, u".avi");
    EXPECT_EQ(Params().Video_FrameSize, u"320*240");
    EXPECT_EQ(Params().Video_FrameRate, u"25.00");
    EXPECT_EQ(Params().Video_VideoBitrate, 816000);
    EXPECT_EQ(Params().Video_AudioSampleRate, u"44100");
}

TEST_F(SettingsDialogTest, PictureOfTheDialogWithTheCategoriesDroppedDown) {
    StartProgram();
    Form6->Show();
    Pump();
    // A skinned form centres itself when first shown: placed afterwards.
    Form6->SetBounds(0, 0, Form6->Width(), Form6->Height());
    Pump();
    TbsSkinOfficeComboBox* Categories = Form6->bsSkinOfficeComboBox2;
    Categories->DropDown();
    Pump();
    ASSERT_TRUE(Categories->IsPopupVisible());
    // The dialog with the list's first four rows, then the list scrolled to its other eight beside it.
    const int W = Form6->Width(), H = Form6->Height();
    TbsPopupOfficeListBox* Drop = Categories->ListBox();
    const RECT List{Drop->Left(), Drop->Top(), Drop->Left() + Drop->Width(), Drop->Top() + Drop->Height()};
    const int ListW = Drop->Width(), ListH = Drop->Height(), SheetW = W + 2 * (ListW + 10);
    std::vector<std::uint32_t> Sheet(std::size_t(SheetW) * std::size_t(H), 0xFFFFFFFFu);
    auto Paste = [&](const RECT& Area, int X0) {
        const std::vector<DWORD> Shot = CaptureScreen(Area);
        const int AW = Area.Right - Area.Left;
        for (int Y = 0; Y < Area.Bottom - Area.Top; ++Y)
            for (int X = 0; X < AW; ++X)
                Sheet[std::size_t(Y + Area.Top) * std::size_t(SheetW) + std::size_t(X0 + X)] =
                    Shot[std::size_t(Y) * std::size_t(AW) + std::size_t(X)] | 0xFF000000u;
    };
    Paste(RECT{0, 0, W, H}, 0);
    for (int Page = 1; Page <= 2; ++Page) {
        Drop->ScrollToItem(4 * Page + 3);
        Pump();
        Paste(List, W + 10 + (Page - 1) * (ListW + 10));
    }
    EXPECT_GT(ListH, 0);
    TPngImage Png;
    Png.SetPixels(SheetW, H, Sheet.data(), false);
    std::filesystem::create_directories("artifacts");
    Png.SaveToFile(u"artifacts/settings_dialog.png");
    EXPECT_TRUE(std::filesystem::exists("artifacts/settings_dialog.png"));
    Categories->CloseUp(false);
}

} // namespace
