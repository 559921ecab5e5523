// Adding files as jobs through the real engine (generated clips, an audio-only clip, a text file) and editing
// the job list: rows, tasks, option slots, log lines, notices and the restore of the combo boxes from a row.
#include "AppFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/AVProbe.h"
#include "platform/base/SysUtils.h"
#include "support/MediaFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace qvtest;

// A main window whose dialogs answer as the test says and whose notices are kept.
class TJobsForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::optional<String> File;               // nothing: the open dialog is cancelled
    std::optional<std::vector<String>> Files; // the multi-file dialog's list
    String TypedName;                         // the multi-file dialog's file name
    std::optional<String> Folder;             // nothing: the folder picker is cancelled
    int DialogsShown = 0;
    std::vector<String> Notices;

    bool PickInputFile(String& Result) override {
        ++DialogsShown;
        if (File)
            Result = *File;
        return bool(File);
    }
    bool PickInputFiles(TStrings* List, String& Name) override {
        ++DialogsShown;
        if (!Files)
            return false;
        for (const String& F : *Files)
            List->Add(F);
        Name = TypedName.empty() && !Files->empty() ? Files->front() : TypedName;
        return true;
    }
    bool PickInputFolder(String& Result) override {
        ++DialogsShown;
        if (Folder)
            Result = *Folder;
        return bool(Folder);
    }
    void ShowNotice(const String& Text) override { Notices.push_back(Text); }
};

// A 2 s clip, an audio-only clip and a file no library reads, written once per process.
String TwoSecondClip() {
    ClipOptions O;
    O.FileName = "jobs-clip.avi";
    O.Duration = 2.0;
    O.Streams = {VideoStream("mpeg4"), AudioStream("mp2")};
    return UTF8ToString(WriteClip(O));
}
String AudioClip() {
    return UTF8ToString(FixturePath(Fixture::Wav));
}

std::vector<String> Column(TListItems* Items, int Col) {
    std::vector<String> Result;
    for (int I = 0; I < Items->Count(); ++I)
        Result.push_back(JobColumnText(Items->Item(I), Col));
    return Result;
}

class JobsTest : public AppTest {
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
        Form->FFConv->ClearTasks();
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
        AppTest::TearDown();
    }

    // A copy of Source in Folder under Name.
    String Copy(const String& Source, const TTempDir& Dir, const std::string& Name) {
        fs::copy_file(UTF8Encode(Source), Dir.Folder() / Name, fs::copy_options::overwrite_existing);
        return Dir.File(Name);
    }
    void AddOne(const String& Path) {
        Form->File = Path;
        Form->btnAddClick(nullptr);
    }
    std::vector<String> LogLines() const {
        std::vector<String> Result;
        for (int I = 0; I < Form->mmoLog->Lines()->Count(); ++I)
            if (!StartsStr(u"#", Form->mmoLog->Lines()->Strings(I))) // the engine logger's own lines
                Result.push_back(Form->mmoLog->Lines()->Strings(I));
        return Result;
    }
    int CountLines(const String& Prefix) const {
        int N = 0;
        for (const String& Line : LogLines())
            N += StartsStr(Prefix, Line);
        return N;
    }
    TListItems* Rows() const { return Form->lvFiles->Items(); }
    String Out() const { return Form->FileOutPutPath + u"/"; }

    TJobsForm1* Form = nullptr;
    TTempDir In;
};

} // namespace

TEST_F(JobsTest, OneFileBecomesARowATaskAnEmptyOutputFileAndASlot) {
    const String Clip = Copy(TwoSecondClip(), In, "clip.avi");
    AddOne(Clip);

    const std::vector<String> Log = LogLines();
    ASSERT_GE(Log.size(), 5u);
    EXPECT_EQ(Log[0], u"");
    EXPECT_EQ(Log[1], u"File Name: " + Clip); // the first line of the probe's report
    const auto Done = std::find(Log.begin(), Log.end(), u"***Can do convert.");
    ASSERT_NE(Done, Log.end());
    EXPECT_EQ(*(Done - 1), u"");
    EXPECT_EQ(*(Done + 1), u"");

    ASSERT_EQ(Rows()->Count(), 1);
    TListItem* Row = Rows()->Item(0);
    EXPECT_EQ(Row->Caption(), Clip);
    EXPECT_EQ(JobColumnText(Row, jcDuration), u"00:00:02");
    EXPECT_EQ(JobColumnText(Row, jcFileSize), FileSizeText(Int64(fs::file_size(UTF8Encode(Clip)))));
    EXPECT_EQ(JobColumnText(Row, jcOutputFile), u"clip.mpg"); // the first profile, VCD
    EXPECT_EQ(JobColumnText(Row, jcTaskNumber), u"1");
    EXPECT_EQ(JobColumnText(Row, jcProfileCode), u"100");
    EXPECT_EQ(JobColumnText(Row, jcComboIndices), u"040210000904");
    // The row was selected at the end, which applied its profile to it.
    EXPECT_EQ(Form->lvFiles->ItemIndex(), 0);
    EXPECT_EQ(JobColumnText(Row, jcTargetType), u"vcd");
    EXPECT_EQ(JobColumnText(Row, jcDisableVideo), u"False");
    EXPECT_EQ(Form->T_Movie_PLayer_FileName, Clip);

    EXPECT_TRUE(FileExists(Out() + u"clip.mpg"));
    EXPECT_EQ(fs::file_size(UTF8Encode(Out() + u"clip.mpg")), 0u);
    EXPECT_EQ(Form->FFConv->TasksCount(), 1);
    EXPECT_EQ(Form->SlotStates[0], SlotUsed);
    EXPECT_EQ(Form->SlotStates[1], SlotFree);
    EXPECT_EQ(Form->OO1[0].FileName, Out() + u"clip.mpg");
    EXPECT_FALSE(Form->bsSkinPanel5->Visible());
    EXPECT_TRUE(Form->CommandEnabled(cmdStart));
    EXPECT_TRUE(Form->CommandEnabled(cmdRemove));

    AddOne(Clip); // its output file now exists
    ASSERT_EQ(Rows()->Count(), 2);
    EXPECT_EQ(JobColumnText(Rows()->Item(1), jcOutputFile), u"clip_1.mpg");
    EXPECT_EQ(JobColumnText(Rows()->Item(1), jcTaskNumber), u"2");
    EXPECT_EQ(Form->SlotStates[1], SlotUsed);
}

TEST_F(JobsTest, SeveralFilesAreAddedLastFirstAndOnlyTheLastRowIsRewritten) {
    const String Clip = TwoSecondClip();
    Form->Files = std::vector<String>{Copy(Clip, In, "a.avi"), Copy(Clip, In, "b.avi"), Copy(Clip, In, "c.avi")};
    Form->Button8Click(nullptr);
    EXPECT_EQ(Column(Rows(), jcOutputFile), (std::vector<String>{u"c.mpg", u"b.mpg", u"a.mpg"}));
    EXPECT_EQ(Column(Rows(), jcTaskNumber), (std::vector<String>{u"1", u"2", u"3"}));
    EXPECT_EQ(Form->lvFiles->ItemIndex(), 2);
    // Rows c and b keep the add's forms: unset integers "-1", the profile-only columns empty.
    EXPECT_EQ(Column(Rows(), jcAudioChannels), (std::vector<String>{u"-1", u"-1", u""}));
    EXPECT_EQ(Column(Rows(), jcDisableVideo), (std::vector<String>{u"", u"", u"False"}));
    // The add's record holds the advanced choice; the rewritten row the profile's own "not set".
    EXPECT_EQ(Column(Rows(), jcVideoBitrate), (std::vector<String>{u"528000", u"528000", u"-1000"}));

    // A name typed without a selection is the one file.
    Form->Files = std::vector<String>{};
    Form->TypedName = Copy(Clip, In, "typed.avi");
    Form->Button8Click(nullptr);
    EXPECT_EQ(JobColumnText(Rows()->Item(3), jcOutputFile), u"typed.mpg");
}

TEST_F(JobsTest, AFoldersFilesAreAddedWithoutItsSubfoldersAndAnEmptyFolderGivesANotice) {
    TTempDir Folder;
    Copy(TwoSecondClip(), Folder, "clip.avi");
    std::ofstream(Folder.Folder() / "notes.txt") << "not a media file\n";
    fs::create_directory(Folder.Folder() / "sub");
    Copy(AudioClip(), Folder, "sub/tone.wav");
    Form->Folder = UTF8ToString(Folder.Folder().string());
    Form->Button12Click(nullptr);
    EXPECT_EQ(Column(Rows(), jcOutputFile), (std::vector<String>{u"clip.mpg"}));
    EXPECT_EQ(CountLines(u"***File load error: "), 1);
    EXPECT_TRUE(Form->Notices.empty());

    TTempDir Empty;
    Form->Folder = UTF8ToString(Empty.Folder().string());
    Form->Button12Click(nullptr);
    EXPECT_EQ(Form->Notices, (std::vector<String>{u"在该目录没有发现可以用的视频或音频文件！"}));
    EXPECT_EQ(Rows()->Count(), 1);
}

TEST_F(JobsTest, AnAudioOnlyFileAndAProfileWithoutVideo) {
    Form->SetCatalogueIndex(Form->bsSkinOfficeComboBox2, 18); // MP3
    AddOne(AudioClip());
    ASSERT_EQ(Rows()->Count(), 1);
    EXPECT_EQ(JobColumnText(Rows()->Item(0), jcDuration), u"00:00:02");
    EXPECT_EQ(JobColumnText(Rows()->Item(0), jcDisableVideo), u"True");
    EXPECT_TRUE(EndsStr(u".mp3", JobColumnText(Rows()->Item(0), jcOutputFile)));
}

TEST_F(JobsTest, CancelledOrFailedAddsAddNothing) {
    Form->btnAddClick(nullptr);
    Form->Button8Click(nullptr);
    Form->Button12Click(nullptr); // cancelled, even after a folder was once chosen
    Form->Folder = In.Path();
    Form->Button12Click(nullptr);
    Form->Folder.reset();
    Form->Button12Click(nullptr);
    EXPECT_EQ(Rows()->Count(), 0);
    EXPECT_EQ(Form->Notices, (std::vector<String>{u"在该目录没有发现可以用的视频或音频文件！"}));

    std::ofstream(In.Folder() / "text.avi") << "not a media file\n";
    AddOne(In.File("text.avi"));
    EXPECT_EQ(Rows()->Count(), 0);
    EXPECT_EQ(CountLines(u"***File load error: "), 1);
    EXPECT_TRUE(Form->bsSkinPanel5->Visible());
    EXPECT_EQ(Form->FFConv->TasksCount(), 0);
}

TEST_F(JobsTest, WithoutUsableLibrariesNoDialogIsShownAndTheLoadErrorIsLogged) {
    // A library missing from the folder would be found on the system: files that are no libraries fail for sure.
    fs::remove(Exe.Folder() / "LibAV");
    fs::create_directory(Exe.Folder() / "LibAV");
    for (const char* Name : {"libavutil.so.57", "libavcodec.so.59", "libavformat.so.59", "libswscale.so.6",
                             "libswresample.so.4", "libavfilter.so.8", "libavdevice.so.59"})
        std::ofstream(Exe.Folder() / "LibAV" / Name) << "not a library";
    Form->FFConv->UnloadAVLib(); // an earlier test of this process may have loaded them
    const int LinesBefore = Form->mmoLog->Lines()->Count();
    Form->File = TwoSecondClip();
    Form->btnAddClick(nullptr);
    EXPECT_EQ(Form->DialogsShown, 0);
    EXPECT_EQ(Rows()->Count(), 0);
    ASSERT_GT(Form->mmoLog->Lines()->Count(), LinesBefore);
    EXPECT_EQ(Form->mmoLog->Lines()->Strings(Form->mmoLog->Lines()->Count() - 1), Form->FFConv->LastErrMsg());
    EXPECT_TRUE(StartsStr(u"Load library " + Exe.Path() + u"LibAV/", Form->FFConv->LastErrMsg()));
}

TEST_F(JobsTest, WithNoFreeSlotTheAddIsRefusedBeforeATaskOrAnOutputFileExists) {
    Form->SlotStates.fill(SlotUsed);
    AddOne(Copy(TwoSecondClip(), In, "clip.avi"));
    EXPECT_EQ(Form->Notices, (std::vector<String>{u"任务列表已满，请先清空列表再添加文件！"}));
    EXPECT_EQ(Rows()->Count(), 0);
    EXPECT_EQ(Form->FFConv->TasksCount(), 0);
    EXPECT_FALSE(FileExists(Out() + u"clip.mpg"));
}

TEST_F(JobsTest, RemoveMarksTheSlotAtTheRowsPositionAndRenumbersTheTasks) {
    const String Clip = TwoSecondClip();
    for (const char* Name : {"a.avi", "b.avi", "c.avi"})
        AddOne(Copy(Clip, In, Name));
    ASSERT_EQ(Rows()->Count(), 3);

    struct Case {
        const char* Name;
        std::function<void()> Act;
        std::vector<String> Outputs, Numbers;
        std::vector<String> Slots; // states of slots 0..3
        int Tasks;
    };
    const Case Cases[] = {
        {"moving down from the last row does nothing",
         [&] { Form->lvFiles->SetItemIndex(2), Form->bsSkinButton4Click(nullptr); },
         {u"a.mpg", u"b.mpg", u"c.mpg"},
         {u"1", u"2", u"3"},
         {SlotUsed, SlotUsed, SlotUsed, SlotFree},
         3},
        {"moving up from the first row does nothing",
         [&] { Form->lvFiles->SetItemIndex(0), Form->bsSkinButton3Click(nullptr); },
         {u"a.mpg", u"b.mpg", u"c.mpg"},
         {u"1", u"2", u"3"},
         {SlotUsed, SlotUsed, SlotUsed, SlotFree},
         3},
        {"moving the second row up takes its number along",
         [&] { Form->lvFiles->SetItemIndex(1), Form->bsSkinButton3Click(nullptr); },
         {u"b.mpg", u"a.mpg", u"c.mpg"},
         {u"2", u"1", u"3"},
         {SlotUsed, SlotUsed, SlotUsed, SlotFree},
         3},
        {"removing the top row removes its task and marks slot 0",
         [&] { Form->lvFiles->SetItemIndex(0), Form->btnRemoveClick(nullptr); },
         {u"a.mpg", u"c.mpg"},
         {u"1", u"2"},
         {SlotRemoved, SlotUsed, SlotUsed, SlotFree},
         2},
        {"the next add takes the first free slot",
         [&] { AddOne(Copy(Clip, In, "d.avi")); },
         {u"a.mpg", u"c.mpg", u"d.mpg"},
         {u"1", u"2", u"3"},
         {SlotRemoved, SlotUsed, SlotUsed, SlotUsed},
         3},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        C.Act();
        EXPECT_EQ(Column(Rows(), jcOutputFile), C.Outputs);
        EXPECT_EQ(Column(Rows(), jcTaskNumber), C.Numbers);
        EXPECT_EQ(std::vector<String>(Form->SlotStates.begin(), Form->SlotStates.begin() + 4), C.Slots);
        EXPECT_EQ(Form->FFConv->TasksCount(), C.Tasks);
    }
    // The engine's tasks follow the rows' numbers: task 1 is a's, task 2 c's.
    EXPECT_EQ(Form->FFConv->GetTaskAVProbe(0, 0)->FileName(), In.File("a.avi"));
    EXPECT_EQ(Form->FFConv->GetTaskAVProbe(1, 0)->FileName(), In.File("c.avi"));
}

TEST_F(JobsTest, RemoveAndRenameWithoutARowGiveTheirNoticesAndRemovingTheLastRowShowsTheCover) {
    Form->btnRemoveClick(nullptr);
    Form->bsSkinButton21Click(nullptr);
    Form->lvFilesDblClick(nullptr);
    EXPECT_EQ(Form->Notices, (std::vector<String>{u"请先选择您需要删除的项目！", u"请先选中您需要重命名的项目！"}));

    AddOne(Copy(TwoSecondClip(), In, "clip.avi"));
    Form->btnRemoveClick(nullptr);
    EXPECT_EQ(Rows()->Count(), 0);
    EXPECT_TRUE(Form->bsSkinPanel5->Visible());
    EXPECT_EQ(Form->bsSkinSlider1->Value(), 0);
    for (TCommand Command : {cmdRemove, cmdRename, cmdClear, cmdStart})
        EXPECT_FALSE(Form->CommandEnabled(Command));
}

TEST_F(JobsTest, ARowWhoseTaskIsGoneIsRemovedWithoutTouchingTheEngine) {
    const String Clip = TwoSecondClip();
    AddOne(Copy(Clip, In, "a.avi"));
    AddOne(Copy(Clip, In, "b.avi"));
    Form->FFConv->ClearTasks();      // as the end of a batch leaves it
    AddOne(Copy(Clip, In, "c.avi")); // numbered 1 again, task 0 is c's
    EXPECT_EQ(Column(Rows(), jcTaskNumber), (std::vector<String>{u"1", u"2", u"1"}));

    Form->lvFiles->SetItemIndex(0); // a's number names c's task
    Form->btnRemoveClick(nullptr);
    Form->lvFiles->SetItemIndex(0); // b's number names no task
    Form->btnRemoveClick(nullptr);
    EXPECT_EQ(Column(Rows(), jcOutputFile), (std::vector<String>{u"c.mpg"}));
    EXPECT_EQ(Form->FFConv->TasksCount(), 1);
    EXPECT_EQ(Form->FFConv->GetTaskAVProbe(0, 0)->FileName(), In.File("c.avi"));
}

TEST_F(JobsTest, ClearFreesEveryTaskRowAndSlot) {
    AddOne(Copy(TwoSecondClip(), In, "clip.avi"));
    Form->btnClearClick(nullptr);
    EXPECT_EQ(Rows()->Count(), 0);
    EXPECT_EQ(Form->FFConv->TasksCount(), 0);
    EXPECT_EQ(Form->SlotStates[0], SlotFree);
    EXPECT_TRUE(Form->bsSkinPanel5->Visible());
    EXPECT_TRUE(Form->CommandEnabled(cmdAdd));
    EXPECT_FALSE(Form->CommandEnabled(cmdStart));

    AddOne(In.File("clip.avi"));
    EXPECT_EQ(JobColumnText(Rows()->Item(0), jcTaskNumber), u"1");
    EXPECT_EQ(Form->SlotStates[0], SlotUsed);
}

TEST_F(JobsTest, RenamingKeepsTheProfilesExtensionAndRefusesUnsafeNames) {
    Form->SetCatalogueIndex(Form->bsSkinOfficeComboBox2, 3); // "AVI - 音频视频交错格式(*.avi)"
    const String Clip = Copy(TwoSecondClip(), In, "clip.avi");
    AddOne(Clip);
    TListItem* Row = Rows()->Item(0);

    Form->bsSkinButton21Click(nullptr);
    EXPECT_TRUE(Form->edt->Visible());
    EXPECT_EQ(Form->edt->Text(), u"clip");
    EXPECT_EQ(Form->edt->Parent(), Form->lvFiles);

    struct Case {
        const char* Name;
        String Typed;
        String Column3;
        bool EditShown;
    };
    const Case Cases[] = {
        {"an emptied box keeps the name", u"", u"clip.avi", true},
        {"a name leaving the output folder", u"../clip", u"clip.avi", true},
        {"the new name", u"renamed", u"renamed.avi", false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->edt->SetVisible(true);
        Form->edt->SetText(C.Typed);
        Form->edtExit(nullptr);
        EXPECT_EQ(JobColumnText(Row, jcOutputFile), C.Column3);
        EXPECT_EQ(Form->edt->Visible(), C.EditShown);
    }
    EXPECT_EQ(Form->OO1[0].FileName, Out() + u"renamed.avi");

    // With the input's own folder as output folder, the input's own name is refused.
    Form->Video_OutPut_Folder_Edit->SetText(In.Path().substr(0, In.Path().size() - 1));
    Form->edt->SetVisible(true);
    Form->edt->SetText(u"clip");
    Form->edtExit(nullptr);
    EXPECT_EQ(JobColumnText(Row, jcOutputFile), u"renamed.avi");

    // Leaving the box with no row selected changes nothing.
    Form->lvFiles->SetItemIndex(-1);
    Form->edt->SetText(u"other");
    Form->edtExit(nullptr);
    EXPECT_EQ(JobColumnText(Row, jcOutputFile), u"renamed.avi");
}

TEST_F(JobsTest, SelectingARowRestoresItsCategoryProfileAndChoices) {
    AddOne(Copy(TwoSecondClip(), In, "clip.avi"));
    TListItem* Row = Rows()->Item(0);
    Form->lvFiles->SetItemIndex(-1);
    SetJobColumnText(Row, jcProfileCode, u"1402");
    SetJobColumnText(Row, jcComboIndices, u"020303010000");
    Form->T_Movie_PLayer_FileName = u"";
    Form->lvFiles->SetItemIndex(0);

    EXPECT_EQ(Form->bsSkinOfficeComboBox2->ItemIndex(), 13);
    EXPECT_EQ(Form->bsSkinOfficeComboBox1->ItemIndex(), 2);
    EXPECT_EQ((std::vector<int>{Form->bsSkinComboBox1->ItemIndex(), Form->bsSkinComboBox2->ItemIndex(),
                                Form->bsSkinComboBox3->ItemIndex(), Form->bsSkinComboBox4->ItemIndex(),
                                Form->bsSkinComboBox9->ItemIndex(), Form->bsSkinComboBox10->ItemIndex()}),
              (std::vector<int>{2, 3, 3, 1, 0, 0}));
    EXPECT_EQ(JobColumnText(Row, jcProfileCode), u"1402");
    EXPECT_EQ(JobColumnText(Row, jcComboIndices), u"020303010000");
    EXPECT_EQ(Form->T_Movie_PLayer_FileName, In.File("clip.avi"));

    // Columns that hold no numbers end the restore before anything is set.
    SetJobColumnText(Row, jcProfileCode, u"x");
    Form->lvFiles->SetItemIndex(-1);
    Form->lvFiles->SetItemIndex(0);
    EXPECT_EQ(Form->bsSkinOfficeComboBox2->ItemIndex(), 13);
}

TEST_F(JobsTest, AFileWithoutADurationShowsNA) {
    AddOne(Copy(UTF8ToString(FixturePath(Fixture::Png)), In, "picture.png"));
    ASSERT_EQ(Rows()->Count(), 1);
    EXPECT_EQ(JobColumnText(Rows()->Item(0), jcDuration), u"N/A");
}

// The cover over the empty list goes with the first row, and what it covered is painted again whole: the
// panel's face and buttons show on screen just as when the whole window is painted afresh.
TEST_F(JobsTest, TheFirstRowLeavesNoTraceOfTheCoverOnScreen) {
    Form->Show();
    Pump();
    AddOne(Copy(TwoSecondClip(), In, "clip.avi"));
    Pump();
    const TPoint Origin = Form->bsSkinPanel1->ClientToScreen({0, 0});
    const RECT Area{Origin.X, Origin.Y, Origin.X + Form->bsSkinPanel1->Width(),
                    Origin.Y + Form->bsSkinPanel1->Height()};
    const std::vector<DWORD> Shown = CaptureScreen(Area);
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Pump();
    EXPECT_TRUE(Shown == CaptureScreen(Area));
}
