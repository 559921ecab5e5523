// The main window's start-up, its settings in option.ini and their repairs, the log lines, the render-target
// names, the job list's layout and time format, the commands' states and the small commands.
#include "AppFixture.h"

#include <vector>

#include "platform/base/SysUtils.h"
#include "resources/AppPictures.h"

namespace {

std::vector<String> Lines(TStrings* S) {
    std::vector<String> Result;
    for (int I = 0; I < S->Count(); ++I)
        Result.push_back(S->Strings(I));
    return Result;
}

// A main window whose folder picker and skin chooser answer as the test says.
class TAnsweringForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::optional<String> Folder; // nothing: the picker is cancelled
    std::optional<int> Skin;      // nothing: the chooser is cancelled
    int PickerShown = 0;
    bool PickOutputFolder(String& Result) override {
        ++PickerShown;
        if (Folder)
            Result = *Folder;
        return bool(Folder);
    }
    bool PickSkin(int& Index) override {
        if (Skin)
            Index = *Skin;
        return bool(Skin);
    }
};

class MainWindowTest : public AppTest {
protected:
    void StopProgram() {
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
    }
};

} // namespace

TEST_F(MainWindowTest, AFirstStartMakesTheOutputFolderAndWritesTheSectionsInTheirOrder) {
    StartProgram();
    EXPECT_TRUE(DirectoryExists(DefaultFolder()));
    EXPECT_EQ(Form1->FileOutPutPath, DefaultFolder());
    EXPECT_EQ(Form1->Video_OutPut_Folder_Edit->Text(), DefaultFolder());

    TIniFile File(OptionIniPath());
    TStringList Names;
    File.ReadSections(&Names);
    EXPECT_EQ(Lines(&Names), (std::vector<String>{u"OutPath", u"Skin", u"Options"}));
    File.ReadSectionValues(u"Options", &Names);
    EXPECT_EQ(Lines(&Names), (std::vector<String>{u"Thread_Count=0", u"After_Done=0", u"Thread_Priority=3",
                                                  u"Overwrite_File=1", u"Show_Preview=0"}));
    EXPECT_EQ(Ini(u"OutPath", u"OutPath"), DefaultFolder());
    EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"0");
    EXPECT_EQ(Form1->bsSkinData1->SkinIndex(), 0);
    EXPECT_EQ(Form1->bsSkinSlider1_down_UP, u"UP");
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_FALSE(Form6->Visible());
}

TEST_F(MainWindowTest, UnusableSettingsAreRepairedAndUsableOnesKept) {
    const String Missing = Home.Path() + u"made/by/start";
    struct Case {
        const char* Name;
        std::string Ini;
        std::function<void()> Check;
    };
    const Case Cases[] = {
        {"After_Done 7", "[Options]\nAfter_Done=7\n",
         [&] {
             EXPECT_EQ(Ini(u"Options", u"After_Done"), u"0");
             EXPECT_TRUE(Form5->bsSkinCheckRadioBox1->Checked());
         }},
        {"Show_Preview Error", "[Options]\nShow_Preview=Error\n",
         [&] {
             EXPECT_EQ(Ini(u"Options", u"Show_Preview"), u"0");
             EXPECT_FALSE(Form5->bsSkinCheckRadioBox8->Checked());
         }},
        {"Thread_Priority 1", "[Options]\nThread_Priority=1\n",
         [&] {
             EXPECT_TRUE(Form5->bsSkinCheckRadioBox10->Checked());
             EXPECT_EQ(Form5->ThreadPriority(), tpLowest);
             EXPECT_EQ(Ini(u"Options", u"Thread_Priority"), u"1");
         }},
        {"Thread_Count 4", "[Options]\nThread_Count=4\n",
         [&] {
             EXPECT_EQ(Form5->bsSkinComboBox2->Text(), u"4");
             EXPECT_EQ(Ini(u"Options", u"Thread_Count"), u"4");
         }},
        {"Thread_Count 20", "[Options]\nThread_Count=20\n",
         [&] {
             EXPECT_EQ(Form5->bsSkinComboBox2->Text(), u"1");
             EXPECT_EQ(Ini(u"Options", u"Thread_Count"), u"0");
         }},
        {"Overwrite_File 0", "[Options]\nOverwrite_File=0\n",
         [&] { EXPECT_TRUE(Form5->bsSkinCheckRadioBox3->Checked()); }},
        {"OutPath Error", "[OutPath]\nOutPath=Error\n",
         [&] {
             EXPECT_EQ(Ini(u"OutPath", u"OutPath"), DefaultFolder());
             EXPECT_EQ(Form1->Video_OutPut_Folder_Edit->Text(), DefaultFolder());
         }},
        {"OutPath empty", "[OutPath]\nOutPath=\n", [&] { EXPECT_EQ(Ini(u"OutPath", u"OutPath"), DefaultFolder()); }},
        {"OutPath not there yet", "[OutPath]\nOutPath=" + UTF8Encode(Missing) + "\n",
         [&] {
             EXPECT_TRUE(DirectoryExists(Missing));
             EXPECT_EQ(Form1->FileOutPutPath, Missing);
             EXPECT_FALSE(DirectoryExists(DefaultFolder()));
         }},
        {"SetSkin 9", "[Skin]\nSetSkin=9\n",
         [&] {
             EXPECT_EQ(Form1->bsSkinData1->SkinIndex(), 1);
             EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"9");
         }},
        {"SetSkin 4", "[Skin]\nSetSkin=4\n", [&] { EXPECT_EQ(Form1->bsSkinData1->SkinIndex(), 4); }},
        {"SetSkin x", "[Skin]\nSetSkin=x\n",
         [&] {
             EXPECT_EQ(Form1->bsSkinData1->SkinIndex(), 0);
             EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"0");
             // The start-up went on after the skin.
             EXPECT_EQ(Form1->cboScreens->Items()->Count(), 15);
         }},
        {"SetSkin Error", "[Skin]\nSetSkin=Error\n",
         [&] {
             EXPECT_EQ(Form1->bsSkinData1->SkinIndex(), 0);
             EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"0");
         }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::filesystem::remove(UTF8Encode(OptionIniPath()));
        std::filesystem::remove_all(Home.Folder() / "Velko视频软件");
        WriteIni(C.Ini);
        StartProgram();
        C.Check();
        StopProgram();
    }
}

TEST_F(MainWindowTest, LogLinesNameTheThreadUnsignedAndTheLevelByItsNumber) {
    StartProgram();
    Form1->FFLoggerLog(nullptr, 4294967295u, llDebug, u"last");
    Form1->FFLoggerLog(nullptr, 2048, llInfo, u"info line");
    Form1->FFLogger->Log(nullptr, llWarning, u"from the logger");
    EXPECT_EQ(Lines(Form1->mmoLog->Lines()),
              (std::vector<String>{u"#4294967295.7: last", u"#2048.5: info line",
                                   u"#" + UIntToStr(CurrentThreadID()) + u".4: from the logger"}));
}

TEST_F(MainWindowTest, TheRenderTargetsAreThePanelThenTheDirectWindowedChildrenInTabOrder) {
    StartProgram();
    EXPECT_EQ(Lines(Form1->cboScreens->Items()),
              (std::vector<String>{u"Panel6", u"bsSkinMainMenuBar1", u"bsSkinToolBar2", u"Panel1", u"bsSkinPanel1",
                                   u"bsSkinPanel3", u"Panel3", u"bsSkinPanel5", u"Button19", u"Button27", u"edt",
                                   u"Panel4", u"Panel5", u"Panel6", u"bsSkinPageControl1"}));
    EXPECT_EQ(Form1->cboScreens->ItemIndex(), 0);
    EXPECT_GE(Form1->Panel5->Left(), Form1->ClientWidth());
}

TEST(JobList, SecondsAndSizesReadAsTheListShowsThem) {
    struct Case {
        int Sec;
        const char16_t* Text;
    } Times[] = {{3725, u"01:02:05"}, {0, u"00:00:00"}, {90061, u"01:01:01"}, {59, u"00:00:59"}, {86399, u"23:59:59"}};
    for (const Case& C : Times)
        EXPECT_EQ(SecToDate(C.Sec), C.Text) << C.Sec;
    struct Size {
        Int64 Bytes;
        const char16_t* Text;
    } Sizes[] = {{1572864, u"1.5MB"}, {3145728, u"3MB"}, {1000000, u"0.95MB"}, {0, u"0MB"}};
    for (const Size& S : Sizes)
        EXPECT_EQ(FileSizeText(S.Bytes), S.Text) << S.Bytes;
}

TEST_F(MainWindowTest, TheJobListHas25ColumnsOfWhichSevenShowAndEverySlotStartsFree) {
    StartProgram();
    TCustomListView* List = Form1->lvFiles;
    ASSERT_EQ(List->ColumnCount(), 25);
    std::vector<std::pair<String, int>> Shown;
    for (int I = 0; I < 25; ++I) {
        TListColumn* Column = List->Columns(I);
        if (Column->Width() > 0)
            Shown.emplace_back(Column->Caption(), Column->Width());
        else
            EXPECT_EQ(Column->MaxWidth(), 1) << I;
    }
    EXPECT_EQ(Shown, (std::vector<std::pair<String, int>>{{u"输入文件", 80},
                                                          {u"视频时间", 70},
                                                          {u"文件大小", 70},
                                                          {u"输出文件", 80},
                                                          {u"转换进度", 70},
                                                          {u"当前时间", 80},
                                                          {u"转换大小", 80}}));
    EXPECT_EQ(List->Columns(jcComboIndices)->Caption(), u"视频选项");
    EXPECT_EQ(List->Columns(jcNormType)->Caption(), u"NormType");
    EXPECT_EQ(List->ViewStyle(), vsReport);
    EXPECT_TRUE(List->RowSelect());
    EXPECT_FALSE(List->MultiSelect());

    for (const String& State : Form1->SlotStates)
        ASSERT_EQ(State, SlotFree);
    Form1->SlotStates[3] = SlotUsed;
    Form1->SlotStates[500] = SlotRemoved;
    Form1->Button15Click(nullptr);
    EXPECT_EQ(Form1->SlotStates[3], SlotFree);
    EXPECT_EQ(Form1->SlotStates[500], SlotFree);
    EXPECT_TRUE(Form1->OO1[0].AudioLanguage.empty());
}

TEST_F(MainWindowTest, TheOpenFileFilterHas42PairsEndingInABar) {
    StartProgram();
    const String Filter = Form1->OpenDialogFilter;
    std::vector<String> Parts;
    for (std::size_t Start = 0, Bar; (Bar = Filter.find(u'|', Start)) != String::npos; Start = Bar + 1)
        Parts.push_back(Filter.substr(Start, Bar - Start));
    ASSERT_EQ(Parts.size(), 84u);
    EXPECT_EQ(Filter.back(), u'|');
    EXPECT_EQ(Parts[0], u"所有文件格式 (*.*)");
    EXPECT_EQ(Parts[1], u"*.*");
    EXPECT_EQ(Parts[2 * 26], u"微软数字视频格式( *.dvr-ms)");
    EXPECT_EQ(Parts[2 * 37], u"Flac无损压缩音频格式\u3000(*.flac)");
    EXPECT_EQ(Parts[2 * 41 + 1], u"*.aif; *.aiff");
    EXPECT_NE(Parts[3].find(u"*.SWF;*.FLAC;"), String::npos);
}

TEST_F(MainWindowTest, AtCreationOnlyAddAndTheSettingsAreEnabled) {
    StartProgram();
    using namespace ToolbarImages;
    struct Case {
        TCommand Command;
        bool Enabled;
        int Picture; // -1: no toolbar picture
        TControl* PictureButton;
    };
    const Case Cases[] = {
        {cmdAdd, true, Add, Form1->bsSkinMenuSpeedButton1},
        {cmdRemove, false, -1, nullptr},
        {cmdRename, false, -1, nullptr},
        {cmdClear, false, -1, nullptr},
        {cmdStart, false, StartDisabled, Form1->bsSkinButton2},
        {cmdStop, false, StopDisabled, Form1->bsSkinButton10},
        {cmdPause, false, PauseDisabled, Form1->bsSkinButton11},
        {cmdResume, false, ResumeDisabled, Form1->bsSkinButton12},
        {cmdSettings, true, -1, nullptr},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Command));
        EXPECT_EQ(Form1->CommandEnabled(C.Command), C.Enabled);
        if (auto* Button = dynamic_cast<TbsSkinButton*>(C.PictureButton))
            EXPECT_EQ(Button->ImageIndex(), C.Picture);
        else if (auto* Speed = dynamic_cast<TbsSkinSpeedButton*>(C.PictureButton))
            EXPECT_EQ(Speed->ImageIndex(), C.Picture);
    }
    // Disabled items of the menus, and the always-enabled commands.
    for (TMenuItem* Item : {Form1->N13, Form1->N14, Form1->N26, Form1->N7, Form1->N8, Form1->N10, Form1->N11})
        EXPECT_FALSE(Item->Enabled()) << UTF8Encode(Item->Caption());
    for (TMenuItem* Item : {Form1->Item111, Form1->N111, Form1->N2221, Form1->N24, Form1->N23, Form1->N15, Form1->N19,
                            Form1->N5, Form1->N4})
        EXPECT_TRUE(Item->Enabled()) << UTF8Encode(Item->Caption());
    EXPECT_TRUE(Form1->bsSkinButton19->Enabled());
    EXPECT_TRUE(Form1->bsSkinButton6->Enabled());
    EXPECT_TRUE(Form1->bsSkinButton11->Visible());
    EXPECT_FALSE(Form1->bsSkinButton12->Visible());
    EXPECT_TRUE(Form1->bsSkinPanel5->Visible());
}

TEST_F(MainWindowTest, ACommandsButtonsItemsAndPictureChangeTogether) {
    StartProgram();
    Form1->SetCommandState(cmdStart, true, ToolbarImages::Start);
    EXPECT_TRUE(Form1->bsSkinButton2->Enabled());
    EXPECT_TRUE(Form1->N7->Enabled());
    EXPECT_EQ(Form1->bsSkinButton2->ImageIndex(), ToolbarImages::Start);
    Form1->SetCommandState(cmdAdd, false, ToolbarImages::AddDisabled);
    for (TMenuItem* Item : {Form1->Item111, Form1->Item121, Form1->N21, Form1->N11111, Form1->N2222, Form1->N3331})
        EXPECT_FALSE(Item->Enabled());
    EXPECT_FALSE(Form1->bsSkinMenuSpeedButton1->Enabled());
    EXPECT_EQ(Form1->bsSkinMenuSpeedButton1->ImageIndex(), ToolbarImages::AddDisabled);
    Form1->SetCommandState(cmdSettings, false);
    EXPECT_FALSE(Form1->bsSkinOfficeComboBox2->Enabled());
    EXPECT_FALSE(Form1->bsSkinComboBox10->Enabled());
    EXPECT_FALSE(Form1->bsSkinButton5->Enabled());
}

TEST_F(MainWindowTest, TheSkinChoiceIsKeptInTheSettingsFileEvenWhenCancelled) {
    TAnsweringForm1* Form;
    Application->CreateForm(Form);
    Form1 = Form;
    EXPECT_EQ(Form->bsSkinData1->SkinIndex(), 0);
    Form->Skin = 4;
    Form->N23Click(nullptr);
    EXPECT_EQ(Form->bsSkinData1->SkinIndex(), 4);
    EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"4");
    Form->Skin.reset();
    WriteOption(u"Skin", u"SetSkin", u"7");
    Form->N23Click(nullptr);
    EXPECT_EQ(Form->bsSkinData1->SkinIndex(), 4);
    EXPECT_EQ(Ini(u"Skin", u"SetSkin"), u"4");
}

TEST_F(MainWindowTest, OnlyAFolderChosenWithOkBecomesTheOutputFolder) {
    TAnsweringForm1* Form;
    Application->CreateForm(Form);
    Form1 = Form;
    const String Chosen = Home.Path() + u"chosen";
    ForceDirectories(Chosen);

    Form->bsSkinButton5Click(nullptr); // cancelled the very first time
    EXPECT_EQ(Form->FileOutPutPath, DefaultFolder());
    Form->Folder = Chosen;
    Form->bsSkinButton5Click(nullptr);
    EXPECT_EQ(Form->FileOutPutPath, Chosen);
    EXPECT_EQ(Form->Video_OutPut_Folder_Edit->Text(), Chosen);
    EXPECT_EQ(Ini(u"OutPath", u"OutPath"), Chosen);
    // A later Cancel changes nothing, whatever folder the picker held.
    WriteOption(u"OutPath", u"OutPath", u"elsewhere");
    Form->Folder.reset();
    Form->bsSkinButton5Click(nullptr);
    EXPECT_EQ(Form->FileOutPutPath, Chosen);
    EXPECT_EQ(Ini(u"OutPath", u"OutPath"), u"elsewhere");
    // A folder that does not exist is not taken.
    Form->Folder = Home.Path() + u"gone";
    Form->bsSkinButton5Click(nullptr);
    EXPECT_EQ(Form->FileOutPutPath, Chosen);
    EXPECT_EQ(Form->PickerShown, 4);
}

TEST_F(MainWindowTest, TheHelpItemsOpenTheProjectsPagesAndExitEndsTheProgram) {
    std::vector<String> Opened;
    auto Saved = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
    StartProgram();
    Form1->Show();
    Pump();
    Form1->N15Click(nullptr);
    Form1->N19Click(nullptr);
    Key(VK_F1);
    EXPECT_EQ(Opened, (std::vector<String>{TForm1::HelpPageURL, TForm1::HomePageURL, TForm1::HelpPageURL}));
    Form1->N4Click(nullptr);
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
    SetShellLauncher(std::move(Saved));
}
