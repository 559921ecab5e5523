// No data is lost through the application: every case hashes the files it must not change before and after.
// Inputs never become outputs, outputs never clash, an existing output lives until its task starts, a stopped
// output is whole, a full disk and unwritable folders fail cleanly, option.ini survives a kill at any moment, a
// snapshot takes a free name, and the shell views' rename and delete keep every file.
#include "PickForm.h"
#include "ReadOnlyFolder.h"

#include "app/profiles/OutputFileName.h"
#include "engine/AVProbe.h"
#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "support/MediaFixtures.h"
#include "tests/app/AppFixture.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace qvtest;

std::string Contents(const fs::path& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}
// FNV-1a over the file's bytes, with its size: enough to tell any change of a test's file.
std::string Hash(const fs::path& File) {
    const std::string Bytes = Contents(File);
    std::uint64_t H = 1469598103934665603ull;
    for (unsigned char C : Bytes)
        H = (H ^ C) * 1099511628211ull;
    return std::to_string(Bytes.size()) + ":" + std::to_string(H);
}
fs::path P(const String& S) {
    return fs::u8path(UTF8Encode(S));
}

const std::string& Clip(double Seconds) {
    ClipOptions O;
    O.FileName = "nodataloss-" + std::to_string(int(Seconds * 10)) + ".avi";
    O.Duration = Seconds;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2", 22050, 1)};
    return WriteClip(O);
}

using soak::TPickForm1;

class NoDataLossTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        FOldLauncher = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
        Application->SetTitle(u"Quorvane");
        Application->CreateForm(Form);
        Form1 = Form;
        Application->CreateForm(Form2);
        Application->CreateForm(Form5);
        Application->CreateForm(Form6);
        Form5->bsSkinCheckRadioBox5->SetChecked(true); // no after-batch action
        Form1->Show();
        Pump();
        Form->FFConv->OnTerminate = [this](TObject* S, const TTerminateInfo& Info) {
            Reports.push_back(Info);
            Form->FFConvTerminate(S, Info);
        };
        Form->FFConv->OnProgress = [this](TObject* S, PProgressInfo Info) {
            Progress.push_back(*Info);
            Form->FFConvProgress(S, Info);
        };
        // A task's failure box is read and answered.
        Screen->OnActiveFormChange = [this](TObject*) {
            TCustomForm* Active = Screen->ActiveForm();
            if (!Active || Active == Form1)
                return;
            if (auto* Text = dynamic_cast<TControl*>(Active->FindComponent(u"Message"))) {
                Boxes.push_back(Text->Caption());
                InjectKeyPress(VK_RETURN);
            }
        };
        Out = Home.Path() + u"out";
        ForceDirectories(Out);
        UseOutputFolder(Out);
    }
    void TearDown() override {
        Screen->OnActiveFormChange = nullptr;
        Application->OnException = nullptr;
        if (Form)
            CloseWindow();
        AppTest::TearDown();
        SetShellLauncher(std::move(FOldLauncher));
    }
    // As closing the window does, then the forms go.
    void CloseWindow() {
        bool CanClose = true;
        Form->FormCloseQuery(Form, CanClose);
        if (!Form->FFConv->Working() || Form->FFConv->Terminated())
            Form->FFConv->ClearTasks();
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
        Form = nullptr;
    }

    void UseOutputFolder(const String& Folder) {
        Form->FileOutPutPath = Folder;
        Form->Video_OutPut_Folder_Edit->SetText(Folder);
    }
    // Source copied to Folder/Name.
    String Place(const std::string& Source, const String& Folder, const String& Name) {
        ForceDirectories(Folder);
        fs::copy_file(Source, P(Folder + u"/" + Name), fs::copy_options::overwrite_existing);
        return Folder + u"/" + Name;
    }
    void Add(const String& File) {
        Form->Picks = {File};
        Form->btnAddClick(nullptr);
    }
    String Cell(int Row, int Column) const { return JobColumnText(Form->lvFiles->Items()->Item(Row), Column); }
    int Rows() const { return Form->lvFiles->Items()->Count(); }
    // The extension the chosen profile gives its outputs.
    String ProfileExt() {
        const String Probe = Place(Clip(1), Home.Path() + u"probe", u"probe.avi");
        Add(Probe);
        const String Ext = ExtractFileNameExt(Cell(0, jcOutputFile));
        Form->btnClearClick(nullptr);
        return Ext;
    }
    bool Ended() const { return !Reports.empty() && Reports.back().TaskIndex < 0; }
    bool PumpUntil(const std::function<bool()>& Done, int Seconds = 120) {
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
        while (!Done() && std::chrono::steady_clock::now() < Limit) {
            CheckSynchronize(5);
            Application->ProcessMessages();
        }
        return Done();
    }
    bool RunBatch() {
        Reports.clear();
        Form->bsSkinButton2Click(nullptr);
        return PumpUntil([&] { return Ended(); });
    }
    bool RenameTo(int Row, const String& Typed) {
        Form->lvFiles->SetItemIndex(Row);
        Form->bsSkinButton21Click(nullptr);
        Form->edt->SetText(Typed);
        Form->edtExit(nullptr);
        return !Form->edt->Visible();
    }

    TPickForm1* Form = nullptr;
    String Out;
    TTempDir In;
    std::vector<String> Opened;
    std::vector<TTerminateInfo> Reports;
    std::vector<TProgressInfo> Progress;
    std::vector<String> Boxes;

private:
    std::unique_ptr<TShellLauncher> FOldLauncher;
};

} // namespace

TEST_F(NoDataLossTest, AnInputNeverBecomesItsOwnOutputAtAddStartOrRename) {
    const String Ext = ProfileExt();
    Form5->bsSkinCheckRadioBox3->SetChecked(true); // even with "overwrite the output file"
    // At add: the input lies in the output folder under the output's own name.
    const String Inside = Place(Clip(1), Out, u"inside" + Ext);
    const std::string InsideHash = Hash(P(Inside));
    Add(Inside);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, jcOutputFile), u"inside_1" + Ext);
    EXPECT_EQ(Hash(P(Inside)), InsideHash);

    // At Start: the output folder became the input's folder after the add.
    const String Moved = Place(Clip(1), In.Path() + u"src", u"moved" + Ext);
    const std::string MovedHash = Hash(P(Moved));
    Add(Moved);
    ASSERT_EQ(Rows(), 2);
    ASSERT_EQ(Cell(1, jcOutputFile), u"moved" + Ext);
    UseOutputFolder(In.Path() + u"src");
    ASSERT_TRUE(RunBatch());
    EXPECT_NE(Cell(1, jcOutputFile), u"moved" + Ext);
    EXPECT_EQ(Hash(P(Moved)), MovedHash);
    EXPECT_EQ(Hash(P(Inside)), InsideHash);

    // At rename: the typed name would be the input itself; the edit stays open.
    EXPECT_FALSE(RenameTo(1, u"moved"));
    EXPECT_NE(Cell(1, jcOutputFile), u"moved" + Ext);
    EXPECT_EQ(Hash(P(Moved)), MovedHash);
}

TEST_F(NoDataLossTest, TwoRowsNamingOneOutputAtStartGiveTheSecondAFreeName) {
    const String A = Place(Clip(1), In.Path() + u"x", u"same.avi");
    const String B = Place(Clip(2), In.Path() + u"y", u"same.avi");
    const std::string HashA = Hash(P(A)), HashB = Hash(P(B));
    Add(A);
    Add(B);
    ASSERT_EQ(Rows(), 2);
    const String First = Cell(0, jcOutputFile);
    // The second row is renamed onto the first's output: only Start can tell.
    ASSERT_TRUE(RenameTo(1, StripFileNameExt(First)));
    ASSERT_EQ(Cell(1, jcOutputFile), First);
    ASSERT_TRUE(RunBatch());
    EXPECT_NE(Cell(1, jcOutputFile), First);
    for (const TTerminateInfo& R : Reports)
        EXPECT_TRUE(R.Finished) << R.TaskIndex << " " << UTF8Encode(R.ExceptionMsg);
    TAVProbe Probe(nullptr);
    for (int Row = 0; Row < 2; ++Row)
        EXPECT_TRUE(Probe.LoadFile(Out + u"/" + Cell(Row, jcOutputFile))) << Row;
    EXPECT_EQ(Probe.FileStreamInfo().Duration > 1500000, true) << "the second row's output holds the 2 s clip";
    EXPECT_EQ(Hash(P(A)), HashA);
    EXPECT_EQ(Hash(P(B)), HashB);
}

TEST_F(NoDataLossTest, AnExistingOutputLivesUntilItsTaskStarts) {
    const String Ext = ProfileExt();
    Form5->bsSkinCheckRadioBox3->SetChecked(true); // the existing output's name is used again
    const String Input = Place(Clip(1), In.Path(), u"kept.avi");
    const fs::path Existing = P(Out + u"/kept" + Ext);
    std::ofstream(Existing, std::ios::binary) << "an earlier output the user still has";
    const std::string Before = Hash(Existing);
    struct Case {
        const char* Ending;
        std::function<void()> End;
    };
    const Case Cases[] = {
        {"removed unrun", [&] { Form->btnRemoveClick(nullptr); }},
        {"list cleared", [&] { Form->btnClearClick(nullptr); }},
        {"window closed before Start", [&] { CloseWindow(); }},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Ending);
        Add(Input);
        ASSERT_EQ(Rows(), 1);
        ASSERT_EQ(Cell(0, jcOutputFile), u"kept" + Ext);
        EXPECT_EQ(Hash(Existing), Before) << "emptied at the add";
        Form->lvFiles->SetItemIndex(0);
        C.End();
        EXPECT_EQ(Hash(Existing), Before);
    }
}

TEST_F(NoDataLossTest, AStoppedJobLeavesAWholeShorterFile) {
    const String Input = Place(Clip(20), In.Path(), u"long.avi");
    const std::string InputHash = Hash(P(Input));
    Add(Input);
    Form->FFConv->SetProgressInterval(100);
    Reports.clear();
    Form->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !Progress.empty() && Progress.back().CurrentDuration > 0; }));
    Form->bsSkinButton10Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ASSERT_FALSE(Reports.front().Finished);
    TAVProbe Probe(nullptr);
    ASSERT_TRUE(Probe.LoadFile(Out + u"/" + Cell(0, jcOutputFile))) << UTF8Encode(Probe.LastErrMsg());
    EXPECT_GT(Probe.FileStreamInfo().Duration, 0);
    EXPECT_LT(Probe.FileStreamInfo().Duration, 20000000);
    EXPECT_EQ(Hash(P(Input)), InputHash);
}

// The full disk is a file-size limit in a child process of its own (the test program run again for this test);
// the child checks what it sees and its exit code tells.
TEST_F(NoDataLossTest, AFullDiskFailsTheJobWithTheEnginesMessageAndTheOthersGoOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto Child = [&] {
        // Written at the profile's constant rate, 8 s pass the limit and half a second of sound does not.
        const String Big = Place(Clip(8), In.Path(), u"big.avi");
        ClipOptions Tone;
        Tone.FileName = "nodataloss-tone-05.wav";
        Tone.Duration = 0.5;
        Tone.Streams = {AudioStream("pcm_s16le", 22050, 1)};
        const String Small = Place(WriteClip(Tone), In.Path(), u"small.wav");
        const std::string BigHash = Hash(P(Big)), SmallHash = Hash(P(Small));
        Add(Big);
        Add(Small);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit Limit{768 * 1024, 768 * 1024};
        setrlimit(RLIMIT_FSIZE, &Limit);
        int Failures = 0;
        auto Check = [&](bool Ok, const std::string& What) {
            if (!Ok) {
                std::fprintf(stderr, "FAILED: %s\n", What.c_str());
                ++Failures;
            }
        };
        Check(RunBatch(), "the batch ended");
        Check(Reports.size() == 3, "three reports");
        if (Reports.size() == 3) {
            const TTerminateInfo& First = Reports[0].TaskIndex == 0 ? Reports[0] : Reports[1];
            const TTerminateInfo& Second = Reports[0].TaskIndex == 0 ? Reports[1] : Reports[0];
            Check(First.Exception && !First.ExceptionMsg.empty(), "the big job failed with a message");
            Check(Boxes.size() == 1 && Boxes[0] == First.ExceptionMsg,
                  "its box shows the engine's message: " + (Boxes.empty() ? "" : UTF8Encode(Boxes[0])));
            Check(Second.Finished && !Second.Exception, "the small job went on: " + UTF8Encode(Second.ExceptionMsg));
        }
        Check(Hash(P(Big)) == BigHash && Hash(P(Small)) == SmallHash, "the inputs are untouched");
        std::fflush(stderr);
        std::_Exit(Failures == 0 ? 0 : 1);
    };
    EXPECT_EXIT(Child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(NoDataLossTest, AnUnwritableOutputFolderAddsNoRow) {
    const String Input = Place(Clip(1), In.Path(), u"clip.avi");
    const std::string InputHash = Hash(P(Input));
    TReadOnlyFolder Locked(UTF8Encode(Out));
    if (!Locked.Ok())
        GTEST_SKIP() << Locked.Why();
    Add(Input);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Form->FFConv->TasksCount(), 0);
    int Lines = 0;
    for (int I = 0; I < Form->mmoLog->Lines()->Count(); ++I)
        Lines += StartsStr(u"***Cannot do convert, error: ", Form->mmoLog->Lines()->Strings(I));
    EXPECT_EQ(Lines, 1);
    EXPECT_EQ(Hash(P(Input)), InputHash);
}

TEST_F(NoDataLossTest, AReadOnlyExecutableFolderShowsTheWriteErrorAndKeepsOptionIni) {
    const fs::path Ini = P(OptionIniPath());
    ASSERT_TRUE(fs::exists(Ini));
    const std::string Before = Hash(Ini);
    std::vector<String> Shown;
    Application->OnException = [&](TObject*, Exception& E) { Shown.push_back(E.Message()); };
    TReadOnlyFolder Locked(UTF8Encode(Exe.Path()));
    if (!Locked.Ok())
        GTEST_SKIP() << Locked.Why();
    // 选项 > 确定 with another priority: the write is refused.
    Form5->Show();
    Pump();
    Form5->bsSkinCheckRadioBox10->SetChecked(true);
    uitest::ClickAt(Form5->bsSkinButton6);
    Pump();
    EXPECT_EQ(Shown, std::vector<String>{u"Unable to write to " + OptionIniPath()});
    EXPECT_TRUE(Form5->Visible());
    EXPECT_EQ(Hash(Ini), Before);
}

TEST(NoDataLoss, OptionIniWrittenByAChildKilledAtAnyMomentReadsBackWhole) {
    TTempDir Exe;
    SetAppFileName(Exe.File("quorvane"));
    const std::vector<std::pair<String, String>> Keys = {
        {u"Options", u"Thread_Count"},   {u"Options", u"Thread_Priority"},
        {u"Options", u"Overwrite_File"}, {u"Options", u"After_Done"},
        {u"Options", u"Show_Preview"},   {u"OutPath", u"OutPath"},
        {u"Skin", u"SetSkin"},           {u"SnapShot", u"Dir"},
        {u"SnapShot", u"Picture"},
    };
    for (const auto& [Section, Key] : Keys)
        WriteOption(Section, Key, u"start|");
    std::mt19937 Draw(46);
    for (int Kill = 0; Kill < 200; ++Kill) {
        const pid_t Child = fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            // Rewrites the keys for ever, each value long and ending in "|", so a cut value shows.
            for (unsigned N = 0;; ++N) {
                const auto& [Section, Key] = Keys[N % Keys.size()];
                WriteOption(Section, Key, String(std::size_t(20 + N % 200), u'x') + IntToStr(int(N)) + u"|");
            }
        }
        usleep(useconds_t(Draw() % 20000));
        kill(Child, SIGKILL);
        int Status = 0;
        waitpid(Child, &Status, 0);
        for (const auto& [Section, Key] : Keys) {
            const String Value = ReadOption(Section, Key);
            ASSERT_FALSE(Value.empty() || OptionIsMissing(Value) || Value.back() != u'|')
                << "kill " << Kill << ": " << UTF8Encode(Section) << "/" << UTF8Encode(Key) << " = "
                << UTF8Encode(Value);
        }
    }
    SetAppFileName(u"");
}
