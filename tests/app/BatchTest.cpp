// Running a batch from the main window with the real engine: the tasks rebuilt from the rows, progress and
// termination in the rows, Stop, Pause and Resume with their command states, failures, clashing output names and
// the after-batch actions through recording services.
#include "AppFixture.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "app/profiles/OutputFileName.h"
#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "platform/gdi/Graphics.h"
#include "platform/shell/PowerService.h"
#include "platform/shell/SoundService.h"
#include "platform/win/WinExtras.h"
#include "resources/AppPictures.h"
#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"

using namespace qvtest;

namespace {

String Cell(int Row, int Column) {
    return JobColumnText(Form1->lvFiles->Items()->Item(Row), Column);
}

void SetCell(int Row, int Column, const String& Text) {
    SetJobColumnText(Form1->lvFiles->Items()->Item(Row), Column, Text);
}

// A command's enabled state and the picture its toolbar button shows (-1: it has none).
struct TCommandState {
    bool Enabled;
    int Picture;
    bool operator==(const TCommandState&) const = default;
};

int PictureOf(TCommand Command) {
    switch (Command) {
    case cmdAdd:
        return Form1->bsSkinMenuSpeedButton1->ImageIndex();
    case cmdStart:
        return Form1->bsSkinButton2->ImageIndex();
    case cmdStop:
        return Form1->bsSkinButton10->ImageIndex();
    case cmdPause:
        return Form1->bsSkinButton11->ImageIndex();
    case cmdResume:
        return Form1->bsSkinButton12->ImageIndex();
    default:
        return -1;
    }
}

std::map<TCommand, TCommandState> CommandStates() {
    std::map<TCommand, TCommandState> Result;
    for (TCommand C : {cmdAdd, cmdRemove, cmdRename, cmdClear, cmdStart, cmdStop, cmdPause, cmdResume, cmdSettings})
        Result[C] = {Form1->CommandEnabled(C), PictureOf(C)};
    return Result;
}

// The "batch ended" states.
const std::map<TCommand, TCommandState> BatchEnded = {
    {cmdAdd, {true, ToolbarImages::Add}},
    {cmdRemove, {false, -1}},
    {cmdRename, {false, -1}},
    {cmdClear, {true, -1}},
    {cmdStart, {true, ToolbarImages::Start}},
    {cmdStop, {false, ToolbarImages::StopDisabled}},
    {cmdPause, {false, ToolbarImages::PauseDisabled}},
    {cmdResume, {false, ToolbarImages::ResumeDisabled}},
    {cmdSettings, {true, -1}},
};

struct TStreamFacts {
    std::string Container;
    AVCodecID VideoCodec = AV_CODEC_ID_NONE;
    uint32_t VideoTag = 0;
    AVCodecID AudioCodec = AV_CODEC_ID_NONE;
    int SampleRate = 0;
    int Channels = 0;
};

TStreamFacts Probe(const String& File) {
    TStreamFacts Facts;
    AVFormatContext* Raw = nullptr;
    if (avformat_open_input(&Raw, UTF8Encode(File).c_str(), nullptr, nullptr) < 0)
        return Facts;
    InputPtr Input(Raw);
    if (avformat_find_stream_info(Raw, nullptr) < 0)
        return Facts;
    Facts.Container = Raw->iformat->name;
    for (unsigned I = 0; I < Raw->nb_streams; ++I) {
        const AVCodecParameters* P = Raw->streams[I]->codecpar;
        if (P->codec_type == AVMEDIA_TYPE_VIDEO) {
            Facts.VideoCodec = P->codec_id;
            Facts.VideoTag = P->codec_tag;
        } else if (P->codec_type == AVMEDIA_TYPE_AUDIO) {
            Facts.AudioCodec = P->codec_id;
            Facts.SampleRate = P->sample_rate;
            Facts.Channels = P->ch_layout.nb_channels;
        }
    }
    return Facts;
}

class BatchTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FOldLauncher = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
        auto Sound = std::make_unique<TRecordingSoundService>();
        Sounds = Sound.get();
        FOldSound = SetSoundService(std::move(Sound));
        auto Power = std::make_unique<TRecordingPowerService>();
        Powers = Power.get();
        FOldPower = SetPowerService(std::move(Power));
        StartProgram();
        Form1->Show();
        // Every report passes the test's log on its way to the window.
        Form1->FFConv->OnProgress = [this](TObject* S, PProgressInfo Info) {
            ProgressLog.push_back(*Info);
            Form1->FFConvProgress(S, Info);
        };
        Form1->FFConv->OnTerminate = [this](TObject* S, const TTerminateInfo& Info) {
            Reports.push_back(Info);
            Form1->FFConvTerminate(S, Info);
        };
        // A failed task's message box is read and answered with Enter.
        Screen->OnActiveFormChange = [this](TObject*) {
            TCustomForm* Active = Screen->ActiveForm();
            if (!Active || Active == Form1)
                return;
            if (auto* Text = dynamic_cast<TControl*>(Active->FindComponent(u"Message"))) {
                Boxes.push_back({Active->Caption(), Text->Caption()});
                InjectKeyPress(VK_RETURN);
            }
        };
    }
    void TearDown() override {
        Screen->OnActiveFormChange = nullptr;
        if (Form1 && Form1->FFConv->Working() && !Form1->FFConv->Terminated())
            Form1->FFConv->Stop(true);
        AppTest::TearDown();
        SetShellLauncher(std::move(FOldLauncher));
        SetSoundService(std::move(FOldSound));
        SetPowerService(std::move(FOldPower));
    }

    // A job row as adding the file with the profile ProfileCode writes it, its slot filled the same way; Columns
    // replaces single cells.
    void AddJob(const String& Input, int ProfileCode = 100, const std::map<int, String>& Columns = {}) {
        const TProfileSettings* Settings = FindProfileSettings(ProfileCode);
        ASSERT_NE(Settings, nullptr);
        TOutputParams Params;
        Params.Reset();
        AssignProfileSettings(*Settings, Params);
        String Profile[ProfileRowColumnCount];
        ProfileRowColumns(Params, Profile);
        TListItem* Row = Form1->lvFiles->Items()->Add();
        const int Index = Row->Index();
        Row->SetCaption(Input);
        TStrings* Sub = Row->SubItems();
        Sub->Add(u"00:00:02");
        Sub->Add(u"0.1MB");
        Sub->Add(ChangeFileNameExt(ExtractFileNamePart(Input), Settings->Ext));
        for (int Column = jcProgress; Column <= jcComboIndices; ++Column)
            Sub->Add(Column == jcTaskNumber ? IntToStr(Index) : String());
        for (const String& Text : Profile)
            Sub->Add(Text);
        for (const auto& [Column, Text] : Columns)
            SetCell(Index, Column, Text);
        InitInputOptions(Form1->IO1[std::size_t(Index)]);
        InitOutputOptions(Form1->OO1[std::size_t(Index)]);
        Params.FillOutputOptions(Form1->OO1[std::size_t(Index)]);
        Form1->SlotStates[std::size_t(Index)] = SlotUsed;
        Form1->SetCommandState(cmdRemove, true);
        Form1->SetCommandState(cmdRename, true);
        Form1->SetCommandState(cmdClear, true);
        Form1->SetCommandState(cmdStart, true, ToolbarImages::Start);
        Form1->bsSkinPanel5->SetVisible(false);
    }

    // A clip of Seconds in the test's own folder.
    String Clip(const std::string& Name, double Seconds = 1.0) {
        ClipOptions O;
        O.FileName = "batch-" + std::to_string(int(Seconds * 10)) + ".avi";
        O.Duration = Seconds;
        O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2")};
        const std::filesystem::path Path = Exe.Folder() / Name;
        std::filesystem::copy_file(WriteClip(O), Path);
        return UTF8ToString(Path.string());
    }

    // The main window as the screen shows it, saved as artifacts/Name beside the test programs.
    void SaveMainWindow(const std::string& Name) {
        Pump();
        const RECT Area =
            TRect{Form1->Left(), Form1->Top(), Form1->Left() + Form1->Width(), Form1->Top() + Form1->Height()};
        const std::vector<DWORD> Screen = CaptureScreen(Area);
        std::vector<std::uint32_t> Pixels(Screen.begin(), Screen.end());
        for (std::uint32_t& P : Pixels)
            P |= 0xFF000000u;
        TPngImage Png;
        Png.SetPixels(Area.Right - Area.Left, Area.Bottom - Area.Top, Pixels.data(), false);
        std::filesystem::create_directories("artifacts");
        Png.SaveToFile(UTF8ToString("artifacts/" + Name));
    }

    void UseOutputFolder(const String& Folder) {
        Form1->FileOutPutPath = Folder;
        Form1->Video_OutPut_Folder_Edit->SetText(Folder);
    }

    bool Ended() const { return !Reports.empty() && Reports.back().TaskIndex < 0; }
    bool PumpUntil(const std::function<bool()>& Done, int Seconds = 120) {
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
        while (!Done() && std::chrono::steady_clock::now() < Limit) {
            CheckSynchronize(10);
            Application->ProcessMessages();
        }
        return Done();
    }
    int FinalReports() const {
        int Count = 0;
        for (const TTerminateInfo& R : Reports)
            Count += R.TaskIndex < 0;
        return Count;
    }

    std::vector<String> Opened;
    TRecordingSoundService* Sounds = nullptr;
    TRecordingPowerService* Powers = nullptr;
    std::vector<TProgressInfo> ProgressLog;
    std::vector<TTerminateInfo> Reports;
    struct TBox {
        String Caption, Text;
    };
    std::vector<TBox> Boxes;

private:
    std::unique_ptr<TShellLauncher> FOldLauncher;
    std::unique_ptr<TSoundService> FOldSound;
    std::unique_ptr<TPowerService> FOldPower;
};

} // namespace

TEST_F(BatchTest, AFullRunConvertsToAviAndASecondStartConvertsAgain) {
    AddJob(Clip("clip.avi", 2.0), 200);
    UseOutputFolder(Home.Path() + u"out");
    ForceDirectories(Form1->FileOutPutPath);
    // 常用视频 > AVI for the selected row.
    Form1->lvFiles->SetItemIndex(0);
    int Category = 0;
    while (ProfileCategories()[std::size_t(Category)].Caption != u"常用视频")
        ++Category;
    int Profile = 0;
    while (ProfilesOfCategory(Category)[std::size_t(Profile)].ProfileCode != 100)
        ++Profile;
    Form1->SetCatalogueIndex(Form1->bsSkinOfficeComboBox2, Category);
    Form1->SetCatalogueIndex(Form1->bsSkinOfficeComboBox1, Profile);
    ASSERT_EQ(Cell(0, jcVideoCodec), u"mpeg4");
    Form5->bsSkinCheckRadioBox5->SetChecked(true);

    Form1->bsSkinButton2Click(nullptr);
    EXPECT_EQ(CommandStates()[cmdStart], (TCommandState{false, ToolbarImages::StartDisabled}));
    EXPECT_FALSE(Form1->bsSkinOfficeComboBox2->Enabled());
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_EQ(Cell(0, jcProgress), u"100%");
    EXPECT_EQ(Cell(0, jcOutputFile), u"clip.avi");
    EXPECT_EQ(CommandStates(), BatchEnded);
    EXPECT_EQ(Form1->FFConv->TasksCount(), 0);
    EXPECT_TRUE(Boxes.empty());

    const String Output = Form1->FileOutPutPath + u"/clip.avi";
    const TStreamFacts Facts = Probe(Output);
    EXPECT_EQ(Facts.Container, "avi");
    EXPECT_EQ(Facts.VideoCodec, AV_CODEC_ID_MPEG4);
    EXPECT_EQ(Facts.VideoTag, MKTAG('X', 'V', 'I', 'D'));
    EXPECT_EQ(Facts.AudioCodec, AV_CODEC_ID_MP3);
    EXPECT_EQ(Facts.SampleRate, 44100);
    EXPECT_EQ(Facts.Channels, 2);

    // Its own output from the first run is no clash: the second run writes the same file again.
    SetCell(0, jcProgress, u"");
    Reports.clear();
    std::filesystem::remove(UTF8Encode(Output));
    Form1->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_TRUE(Reports[0].Finished);
    EXPECT_EQ(Cell(0, jcProgress), u"100%");
    EXPECT_EQ(Cell(0, jcOutputFile), u"clip.avi");
    EXPECT_EQ(Probe(Output).Container, "avi");
}

TEST_F(BatchTest, AProfileChosenAfterTheAddDropsTheDiscTargetTheFileWasAddedWith) {
    // Added under the first profile the window offers (VCD, a disc target), then given 常用音频 > MP3.
    AddJob(Clip("song.avi", 1.0), 2500);
    UseOutputFolder(Home.Path());
    Form5->bsSkinCheckRadioBox5->SetChecked(true);
    Form1->lvFiles->SetItemIndex(0);
    int Category = 0;
    while (ProfileCategories()[std::size_t(Category)].Caption != u"常用音频")
        ++Category;
    Form1->SetCatalogueIndex(Form1->bsSkinOfficeComboBox2, Category);
    ASSERT_EQ(Cell(0, jcOutputFile), u"song.mp3");
    ASSERT_EQ(Cell(0, jcTargetType), u"");

    Form1->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_TRUE(Reports[0].Finished) << UTF8Encode(Reports[0].ExceptionMsg);
    const TStreamFacts Facts = Probe(Home.Path() + u"song.mp3");
    EXPECT_EQ(Facts.Container, "mp3");
    EXPECT_EQ(Facts.AudioCodec, AV_CODEC_ID_MP3);
    EXPECT_EQ(Facts.VideoCodec, AV_CODEC_ID_NONE);
}

TEST_F(BatchTest, FiveJobsAtThreadCountThreeNeverConvertMoreThanThreeAtOnce) {
    for (int I = 0; I < 5; ++I)
        AddJob(Clip("job" + std::to_string(I) + ".avi", 3.0));
    Form5->bsSkinComboBox2->SetItemIndex(2);
    ASSERT_EQ(Form5->bsSkinComboBox2->Text(), u"3");
    Form5->bsSkinCheckRadioBox5->SetChecked(true);
    Form5->bsSkinCheckRadioBox10->SetChecked(true);
    Form1->FFConv->SetProgressInterval(100);

    // A task converts from its first progress report to its termination report.
    std::set<int> Converting;
    std::size_t MostAtOnce = 0;
    std::size_t Seen = 0, SeenReports = 0;
    Form1->bsSkinButton2Click(nullptr);
    EXPECT_EQ(Form1->FFConv->ThreadPriority(), tpLowest);
    ASSERT_TRUE(PumpUntil([&] {
        for (; Seen < ProgressLog.size(); ++Seen)
            Converting.insert(ProgressLog[Seen].TaskIndex);
        MostAtOnce = std::max(MostAtOnce, Converting.size());
        for (; SeenReports < Reports.size(); ++SeenReports)
            Converting.erase(Reports[SeenReports].TaskIndex);
        return Ended();
    }));
    EXPECT_LE(MostAtOnce, 3u);
    EXPECT_GE(MostAtOnce, 1u);
    ASSERT_EQ(Reports.size(), 6u);
    for (int Row = 0; Row < 5; ++Row)
        EXPECT_EQ(Cell(Row, jcProgress), u"100%") << Row;
}

TEST_F(BatchTest, PauseResumeAndStopWithJobsPending) {
    for (int I = 0; I < 3; ++I)
        AddJob(Clip("held" + std::to_string(I) + ".avi", 3.0));
    UseOutputFolder(Home.Path());
    Form1->bsSkinButton2Click(nullptr);
    // Held at once: nothing can end while the checks run.
    Form1->bsSkinButton11Click(nullptr);
    auto States = CommandStates();
    EXPECT_EQ(States[cmdPause], (TCommandState{false, ToolbarImages::PauseDisabled}));
    EXPECT_EQ(States[cmdResume], (TCommandState{true, ToolbarImages::Resume}));
    EXPECT_FALSE(Form1->bsSkinButton11->Visible());
    EXPECT_TRUE(Form1->bsSkinButton12->Visible());
    EXPECT_EQ(States[cmdStop], (TCommandState{true, ToolbarImages::Stop}));
    EXPECT_EQ(States[cmdAdd], (TCommandState{false, ToolbarImages::AddDisabled}));
    EXPECT_FALSE(States[cmdSettings].Enabled);
    EXPECT_TRUE(Reports.empty());

    Form1->bsSkinButton12Click(nullptr);
    States = CommandStates();
    EXPECT_EQ(States[cmdPause], (TCommandState{true, ToolbarImages::Pause}));
    EXPECT_EQ(States[cmdResume], (TCommandState{false, ToolbarImages::ResumeDisabled}));
    EXPECT_TRUE(Form1->bsSkinButton11->Visible());
    EXPECT_FALSE(Form1->bsSkinButton12->Visible());

    Form1->bsSkinButton11Click(nullptr);
    // Stop with two jobs that never started: every task reports, then the final report comes once, and both
    // emptyings of the task list succeed.
    EXPECT_NO_THROW(Form1->bsSkinButton10Click(nullptr));
    ASSERT_EQ(Reports.size(), 4u);
    EXPECT_EQ(FinalReports(), 1);
    EXPECT_EQ(Reports.back().TaskIndex, -1);
    for (int Task = 0; Task < 3; ++Task)
        EXPECT_FALSE(Reports[std::size_t(Task)].Finished) << Task;
    EXPECT_EQ(Form1->FFConv->TasksCount(), 0);
    EXPECT_FALSE(Form1->FFConv->Working());
    EXPECT_EQ(CommandStates(), BatchEnded);
    EXPECT_TRUE(Form1->bsSkinButton11->Visible());
    EXPECT_FALSE(Form1->bsSkinButton12->Visible());
    // The default after-batch choice follows a Stop too.
    EXPECT_EQ(Opened, std::vector<String>{Form1->Video_OutPut_Folder_Edit->Text()});
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(BatchTest, ProgressReportsFillTheirRow) {
    AddJob(u"/nowhere/a.avi");
    Form1->FTaskRows = {0};
    SetCell(0, jcFps, u"17");
    struct Case {
        const char* Name;
        int FPS;
        Int64 Size, Current, Total;
        const char16_t *Progress, *Fps, *Time, *Converted;
    };
    const Case Cases[] = {
        {"no total", 25, 2048, 5000000, 0, u"N/A", u"25", u"00:00:05", u"0MB"},
        {"negative total", 0, 0, 1000000, -1, u"N/A", u"25", u"00:00:01", u"0MB"},
        {"beyond the total", 30, 1572864, 103, 100, u"103%", u"30", u"00:00:00", u"1.5MB"},
        {"fps 0 keeps the column", 0, 10485760, 3723000000, 7446000000, u"50%", u"30", u"01:02:03", u"10MB"},
        {"hundredths", 12, 1600000, 1, 3, u"33%", u"12", u"00:00:00", u"1.53MB"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TProgressInfo Info;
        Info.TaskIndex = 0;
        Info.FPS = C.FPS;
        Info.CurrentSize = C.Size;
        Info.CurrentDuration = C.Current;
        Info.TotalDuration = C.Total;
        Form1->FFConvProgress(nullptr, &Info);
        EXPECT_EQ(Cell(0, jcProgress), C.Progress);
        EXPECT_EQ(Cell(0, jcFps), C.Fps);
        EXPECT_EQ(Cell(0, jcCurrentTime), C.Time);
        EXPECT_EQ(Cell(0, jcConvertedSize), C.Converted);
    }
    // A task that ends without finishing keeps its text; a finished one shows 100%.
    Form1->FFConvTerminate(nullptr, TTerminateInfo{0, false, false, u""});
    EXPECT_EQ(Cell(0, jcProgress), u"33%");
    Form1->FFConvTerminate(nullptr, TTerminateInfo{0, true, false, u""});
    EXPECT_EQ(Cell(0, jcProgress), u"100%");
}

TEST_F(BatchTest, AFailingTaskShowsTheEnginesTextAndTheOthersGoOn) {
    // x264 refuses an odd frame size when its encoder opens, so the task fails while the batch runs.
    AddJob(Clip("odd.avi"), 100, {{jcVideoCodec, u"libx264"}, {jcFrameSize, u"161*121"}, {jcFileExt, u".mp4"}});
    SetCell(0, jcOutputFile, u"odd.mp4");
    AddJob(Clip("good.avi"));
    UseOutputFolder(Home.Path());
    Form5->bsSkinCheckRadioBox5->SetChecked(true);
    Application->SetTitle(u"Quorvane");

    Form1->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ASSERT_EQ(Reports.size(), 3u);
    ASSERT_TRUE(Reports[0].Exception);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, u"Quorvane");
    EXPECT_EQ(Boxes[0].Text, Reports[0].ExceptionMsg);
    EXPECT_NE(UTF8Encode(Boxes[0].Text).find("width not divisible by 2"), std::string::npos)
        << UTF8Encode(Boxes[0].Text);
    EXPECT_NE(Cell(0, jcProgress), u"100%");
    EXPECT_EQ(Cell(1, jcProgress), u"100%");
    EXPECT_EQ(CommandStates(), BatchEnded);
}

TEST_F(BatchTest, ARowWhoseTaskCannotBeMadeShowsWhyAndLaterRowsKeepTheirReports) {
    struct Case {
        const char* Name;
        std::function<void()> AddBadRow;
        const char* Reason; // the start of the row's text
        const char16_t* LogLine;
    };
    const Case Cases[] = {
        {"input gone", [this] { AddJob(Home.Path() + u"gone.avi"); }, "", u"***File open error: "},
        {"no muxer for the name",
         [this] {
             AddJob(Clip("strange.avi"));
             SetCell(0, jcOutputFile, u"strange.qvzz");
         },
         "Unable to find a suitable output format for '", u"***Cannot do convert, error: "},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form1->lvFiles->Items()->Clear();
        Reports.clear();
        std::filesystem::remove_all(Exe.Folder() / "strange.avi");
        std::filesystem::remove_all(Exe.Folder() / "fine.avi");
        C.AddBadRow();
        AddJob(Clip("fine.avi"));
        UseOutputFolder(Home.Path());
        Form5->bsSkinCheckRadioBox5->SetChecked(true);

        Form1->bsSkinButton2Click(nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
        ASSERT_EQ(Reports.size(), 2u);
        EXPECT_EQ(Reports[0].TaskIndex, 0);
        EXPECT_EQ(Cell(1, jcProgress), u"100%");
        const std::string Text = UTF8Encode(Cell(0, jcProgress));
        EXPECT_FALSE(Text.empty());
        EXPECT_EQ(Text.rfind(C.Reason, 0), 0u) << Text;
        // The engine's own lines follow; the application's line stands between empty ones.
        TStrings* Log = Form1->mmoLog->Lines();
        const int Line = Log->IndexOf(C.LogLine + Cell(0, jcProgress));
        ASSERT_GT(Line, 0);
        EXPECT_EQ(Log->Strings(Line - 1), u"");
        EXPECT_EQ(Log->Strings(Line + 1), u"");
    }
}

TEST_F(BatchTest, NoRowWithATaskLeavesTheWindowUnlocked) {
    AddJob(Home.Path() + u"gone.avi");
    Form1->bsSkinButton2Click(nullptr);
    EXPECT_FALSE(Cell(0, jcProgress).empty());
    EXPECT_FALSE(Form1->FFConv->Working());
    EXPECT_TRUE(Form1->CommandEnabled(cmdStart));
    EXPECT_TRUE(Form1->CommandEnabled(cmdAdd));
    EXPECT_TRUE(Form1->CommandEnabled(cmdSettings));
}

TEST_F(BatchTest, OutputsThatWouldOverwriteAnInputOrAnEarlierOutputTakeTheNextFreeName) {
    // The output folder is the inputs' folder: "a.avi" would be written onto its own input, and the second row
    // would write the first row's output as well; "a_1.avi" already lies there.
    const String A = Clip("a.avi");
    const auto InputSize = std::filesystem::file_size(UTF8Encode(A));
    std::ofstream(Exe.Folder() / "a_1.avi") << "someone else's";
    AddJob(A);
    AddJob(A);
    UseOutputFolder(Exe.Path() + u".");
    Form5->bsSkinCheckRadioBox5->SetChecked(true);

    Form1->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_EQ(Cell(0, jcOutputFile), u"a_2.avi");
    EXPECT_EQ(Cell(1, jcOutputFile), u"a_3.avi");
    EXPECT_EQ(Cell(0, jcProgress), u"100%");
    EXPECT_EQ(Cell(1, jcProgress), u"100%");
    EXPECT_EQ(std::filesystem::file_size(UTF8Encode(A)), InputSize);
    EXPECT_EQ(Probe(A).Container, "avi");
    EXPECT_EQ(std::filesystem::file_size(Exe.Folder() / "a_1.avi"), 14u);
    EXPECT_EQ(Probe(Exe.Path() + u"a_2.avi").Container, "avi");
    EXPECT_EQ(Probe(Exe.Path() + u"a_3.avi").Container, "avi");
}

TEST_F(BatchTest, AnIntegerColumnThatIsNoNumberEndsStartBeforeTheWindowLocks) {
    AddJob(u"/nowhere/a.avi", 100, {{jcAudioSampleRate, u"44.1k"}});
    EXPECT_THROW(Form1->bsSkinButton2Click(nullptr), EConvertError);
    EXPECT_TRUE(Form1->CommandEnabled(cmdStart));
    EXPECT_TRUE(Form1->CommandEnabled(cmdSettings));
    EXPECT_FALSE(Form1->FFConv->Working());
}

TEST_F(BatchTest, TheAfterBatchChoiceRunsItsServiceAtTheEndOfTheRun) {
    ForceDirectories(Exe.Path() + u"sounds");
    std::ofstream(Exe.Folder() / "sounds" / "ring001.wav") << "RIFF";
    struct Case {
        const char* Name;
        TbsSkinCheckRadioBox* TForm5::*Box;
        std::vector<String> Opened;
        int PowerOffs;
        std::vector<String> Played;
    };
    const String Folder = Form1->Video_OutPut_Folder_Edit->Text();
    const String Sound = Exe.Path() + u"sounds/ring001.wav";
    const Case Cases[] = {
        {"open the folder", &TForm5::bsSkinCheckRadioBox1, {Folder}, 0, {}},
        {"power off", &TForm5::bsSkinCheckRadioBox2, {}, 1, {}},
        {"play the sound", &TForm5::bsSkinCheckRadioBox4, {}, 0, {Sound}},
        {"nothing", &TForm5::bsSkinCheckRadioBox5, {}, 0, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Opened.clear();
        Powers->Requests = 0;
        Sounds->Played.clear();
        (Form5->*C.Box)->SetChecked(true);
        Form1->FFConvTerminate(nullptr, TTerminateInfo{-1, true, false, u""});
        EXPECT_EQ(Opened, C.Opened);
        EXPECT_EQ(Powers->Requests, C.PowerOffs);
        EXPECT_EQ(Sounds->Played, C.Played);
        EXPECT_EQ(CommandStates(), BatchEnded);
    }

    std::filesystem::remove(Exe.Folder() / "sounds" / "ring001.wav");
    Sounds->Played.clear();
    Form5->bsSkinCheckRadioBox4->SetChecked(true);
    Form1->FFConvTerminate(nullptr, TTerminateInfo{-1, true, false, u""});
    EXPECT_TRUE(Sounds->Played.empty());

    EXPECT_FALSE(Form1->SetPrivilege(u"SeNoSuchPrivilege", true));
    EXPECT_TRUE(Form1->SetPrivilege(u"SeShutdownPrivilege", true));
}

TEST_F(BatchTest, TheOpenButtonOpensTheFolderOfTheEdit) {
    Form1->Video_OutPut_Folder_Edit->SetText(u"/srv/videos");
    Form1->bsSkinButton6Click(nullptr);
    EXPECT_EQ(Opened, std::vector<String>{u"/srv/videos"});
}

TEST_F(BatchTest, ThePreviewBoxSetsTheEnginesLivePreview) {
    Form1->chkPreview->SetChecked(true);
    EXPECT_TRUE(Form1->FFConv->Preview());
    Form1->chkPreview->SetChecked(false);
    EXPECT_FALSE(Form1->FFConv->Preview());
}

TEST_F(BatchTest, APausedBatchAndItsEndAsTheUserSeesThem) {
    for (int I = 0; I < 3; ++I)
        AddJob(Clip("shown" + std::to_string(I) + ".avi", 3.0));
    UseOutputFolder(Home.Path());
    Form5->bsSkinCheckRadioBox5->SetChecked(true);
    Form1->FFConv->SetProgressInterval(100);
    Pump();
    Form1->SetBounds(0, 0, Form1->Width(), Form1->Height());

    Form1->bsSkinButton2Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !ProgressLog.empty() || Ended(); }));
    Form1->bsSkinButton11Click(nullptr);
    ASSERT_FALSE(Ended()) << "the first job ended before the batch was held";
    EXPECT_FALSE(Cell(0, jcProgress).empty());
    EXPECT_FALSE(Cell(0, jcConvertedSize).empty());
    SaveMainWindow("batch_paused.png");

    Form1->bsSkinButton12Click(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    SaveMainWindow("batch_ended.png");
    for (int Row = 0; Row < 3; ++Row)
        EXPECT_EQ(Cell(Row, jcProgress), u"100%") << Row;
}
