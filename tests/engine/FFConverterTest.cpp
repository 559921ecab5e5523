// The conversion task component: the task list, runs in thread and inline mode, stop, pause, the
// order and thread of the reports, output files, limits and the stream forms.
#include "engine/FFConverter.h"
#include "engine/AVProbe.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "EngineLibraries.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

// Runs the GUI thread's synchronised calls until ADone holds (or a minute has passed).
template <typename P> bool PumpUntil(P ADone) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!ADone()) {
        if (std::chrono::steady_clock::now() > Limit)
            return false;
        CheckSynchronize(10);
    }
    return true;
}

// What reached the handlers, in order, and on which thread.
struct TEventLog {
    std::vector<String> Lines; // "P<task>" for the first progress of a task, "T<task>" for a report
    std::vector<TTerminateInfo> Reports;
    std::vector<bool> Progressed;
    bool OffMainThread = false;

    bool Ended() const { return !Reports.empty() && Reports.back().TaskIndex < 0; }
    int IndexOf(const String& ALine) const {
        for (size_t I = 0; I < Lines.size(); ++I)
            if (Lines[I] == ALine)
                return int(I);
        return -1;
    }
    int ReportsBefore(int ALine) const {
        int N = 0;
        for (int I = 0; I < ALine; ++I)
            N += Lines[I][0] == u'T';
        return N;
    }
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ConverterLibraries);
        av_log_set_level(AV_LOG_QUIET);
        Dir = Temp.Folder();
        Conv = std::make_unique<TFFConverter>(nullptr);
        Conv->OnTerminate = [this](TObject* Sender, const TTerminateInfo& AInfo) {
            EXPECT_EQ(Sender, Conv.get());
            Log.OffMainThread |= !IsMainThread();
            Log.Reports.push_back(AInfo);
            Log.Lines.push_back(u"T" + IntToStr(AInfo.TaskIndex));
        };
        Conv->OnProgress = [this](TObject*, PProgressInfo AInfo) {
            Log.OffMainThread |= !IsMainThread();
            if (int(Log.Progressed.size()) <= AInfo->TaskIndex)
                Log.Progressed.resize(AInfo->TaskIndex + 1);
            if (!Log.Progressed[AInfo->TaskIndex])
                Log.Lines.push_back(u"P" + IntToStr(AInfo->TaskIndex));
            Log.Progressed[AInfo->TaskIndex] = true;
        };
    }
    void TearDown() override { Conv.reset(); }
    String Out(const std::string& AName) const { return UTF8ToString((Dir / AName).string()); }

    // A task converting the first second of the AVI clip into an AVI file.
    int AddVideoTask(const std::string& AOutName) {
        const int Index = Conv->AddTask(UTF8ToString(FixturePath(Fixture::Avi)));
        EXPECT_GE(Index, 0) << UTF8Encode(Conv->LastErrMsg());
        TOutputOptions O;
        O.TimeLength = 1000000;
        EXPECT_TRUE(Conv->SetOutputFile(Index, Out(AOutName), &O)) << UTF8Encode(Conv->LastErrMsg());
        return Index;
    }

    TTempDir Temp;

    fs::path Dir;
    std::unique_ptr<TFFConverter> Conv;
    TEventLog Log;
};

TEST_F(ConverterTest, PropertiesKeepTheirRules) {
    struct Case {
        int Written, Read;
    } Cases[] = {{50, 100}, {100, 100}, {101, 101}, {250, 250}};
    for (const Case& C : Cases) {
        Conv->SetProgressInterval(C.Written);
        EXPECT_EQ(Conv->ProgressInterval(), C.Read) << C.Written;
    }
    EXPECT_EQ(Conv->Version(), u"3.3");
    EXPECT_EQ(Conv->CustomMaxFiles(), 20);
    EXPECT_EQ(Conv->ThreadPriority(), tpNormal);
    EXPECT_TRUE(Conv->TriggerEventInMainThread());
    EXPECT_FALSE(Conv->Working());
}

TEST_F(ConverterTest, ThreeAtATimeStartInListOrderAsTasksEnd) {
    for (int I = 0; I < 5; ++I)
        AddVideoTask("out" + std::to_string(I) + ".avi");
    Conv->Start(3);
    EXPECT_TRUE(Conv->Working());
    ASSERT_TRUE(PumpUntil([&] { return Log.Ended(); }));

    ASSERT_EQ(Log.Reports.size(), 6u);
    std::vector<bool> Seen(5);
    for (int I = 0; I < 5; ++I) {
        const TTerminateInfo& R = Log.Reports[I];
        ASSERT_GE(R.TaskIndex, 0);
        EXPECT_FALSE(Seen[R.TaskIndex]) << "task " << R.TaskIndex << " reported twice";
        Seen[R.TaskIndex] = true;
        EXPECT_TRUE(R.Finished) << UTF8Encode(R.ExceptionMsg);
        EXPECT_FALSE(R.Exception);
    }
    const TTerminateInfo& Final = Log.Reports[5];
    EXPECT_EQ(Final.TaskIndex, -1);
    EXPECT_TRUE(Final.Finished);
    EXPECT_FALSE(Final.Exception);
    EXPECT_EQ(Final.ExceptionMsg, u"");
    EXPECT_FALSE(Log.OffMainThread);
    EXPECT_TRUE(Conv->Terminated());

    // Task 3 shows up only after one task has ended, task 4 only after two, and never more than
    // three tasks are between their first progress and their report.
    const int P3 = Log.IndexOf(u"P3"), P4 = Log.IndexOf(u"P4");
    ASSERT_GE(P3, 0);
    ASSERT_GE(P4, 0);
    EXPECT_GE(Log.ReportsBefore(P3), 1);
    EXPECT_GE(Log.ReportsBefore(P4), 2);
    int Running = 0, MaxRunning = 0;
    for (const String& L : Log.Lines) {
        Running += L[0] == u'P' ? 1 : L == u"T-1" ? 0 : -1;
        MaxRunning = std::max(MaxRunning, Running);
    }
    EXPECT_LE(MaxRunning, 3);
    for (int I = 0; I < 5; ++I)
        EXPECT_GT(FileSizeOf(Out("out" + std::to_string(I) + ".avi")), 10000) << I;
}

TEST_F(ConverterTest, InlineRunReportsEveryTaskThenTheFinalBeforeStartReturns) {
    for (int I = 0; I < 3; ++I)
        AddVideoTask("out" + std::to_string(I) + ".avi");
    Conv->Start(0);
    EXPECT_EQ(Log.Lines, (std::vector<String>{u"P0", u"T0", u"P1", u"T1", u"P2", u"T2", u"T-1"}));
    EXPECT_TRUE(Conv->Terminated());
}

TEST_F(ConverterTest, StopWithWaitingReportsRunningAndPendingTasksThenTheFinal) {
    for (int I = 0; I < 5; ++I)
        AddVideoTask("out" + std::to_string(I) + ".avi");
    Conv->Start(2);
    Conv->Pause(); // the two running tasks cannot end on their own before the stop
    Conv->Stop(true);

    ASSERT_EQ(Log.Reports.size(), 6u);
    std::vector<int> Order;
    for (int I = 0; I < 5; ++I) {
        const TTerminateInfo& R = Log.Reports[I];
        Order.push_back(R.TaskIndex);
        EXPECT_FALSE(R.Finished) << R.TaskIndex;
        EXPECT_FALSE(R.Exception) << R.TaskIndex << " " << UTF8Encode(R.ExceptionMsg);
    }
    EXPECT_EQ(Order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Log.Reports[5].TaskIndex, -1);
    EXPECT_TRUE(Conv->Terminated());
    EXPECT_TRUE(Conv->Working());
    Conv->ClearTasks();
    EXPECT_FALSE(Conv->Working());
    EXPECT_EQ(Conv->TasksCount(), 0);
}

TEST_F(ConverterTest, PausedTasksWaitUntilResumed) {
    AddVideoTask("out.avi");
    Conv->Start(1);
    Conv->Pause();
    // However long the GUI thread serves calls, a paused task does not end.
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < Until)
        CheckSynchronize(10);
    EXPECT_TRUE(Log.Reports.empty());
    Conv->Resume();
    ASSERT_TRUE(PumpUntil([&] { return Log.Ended(); }));
    ASSERT_EQ(Log.Reports.size(), 2u);
    EXPECT_TRUE(Log.Reports[0].Finished);
}

TEST_F(ConverterTest, TaskWithoutOutputFailsAndTheNextStillRuns) {
    ASSERT_EQ(Conv->AddTask(UTF8ToString(FixturePath(Fixture::Avi))), 0);
    AddVideoTask("out1.avi");
    Conv->Start(1);
    ASSERT_TRUE(PumpUntil([&] { return Log.Ended(); }));
    ASSERT_EQ(Log.Reports.size(), 3u);
    EXPECT_EQ(Log.Reports[0].TaskIndex, 0);
    EXPECT_TRUE(Log.Reports[0].Exception);
    EXPECT_FALSE(Log.Reports[0].Finished);
    EXPECT_EQ(Log.Reports[0].ExceptionMsg, u"At least one output file must be specified");
    EXPECT_EQ(Log.Reports[1].TaskIndex, 1);
    EXPECT_TRUE(Log.Reports[1].Finished);
    EXPECT_EQ(Log.Reports[2].TaskIndex, -1);
}

TEST_F(ConverterTest, EmptyListStaysIdle) {
    Conv->Start(2);
    Conv->Start(0);
    EXPECT_FALSE(Conv->Working());
    EXPECT_FALSE(Conv->Terminated());
    CheckSynchronize(0);
    EXPECT_TRUE(Log.Reports.empty());
    EXPECT_EQ(AddVideoTask("out.avi"), 0);
}

TEST_F(ConverterTest, ListChangesDuringARunAreRefused) {
    AddVideoTask("out0.avi");
    AddVideoTask("out1.avi");
    Conv->Start(1);
    Conv->Pause();
    const String Input = UTF8ToString(FixturePath(Fixture::Avi));
    struct Case {
        const char16_t* Message;
        std::function<void()> Call;
    } Cases[] = {
        {u"Cannot AddTask while working.", [&] { Conv->AddTask(Input); }},
        {u"Cannot AddInputFile while working.", [&] { Conv->AddInputFile(0, Input); }},
        {u"Cannot SetOutputFile while working.", [&] { Conv->SetOutputFile(0, Out("x.avi")); }},
        {u"Cannot Exchange while working.", [&] { Conv->Exchange(0, 1); }},
        {u"Cannot RemoveTask while working.", [&] { Conv->RemoveTask(1); }},
        {u"Cannot StartTask while working.", [&] { Conv->Start(1); }},
        {u"Cannot ClearTasks while working.", [&] { Conv->ClearTasks(); }},
    };
    for (const Case& C : Cases) {
        try {
            C.Call();
            ADD_FAILURE() << UTF8Encode(String(C.Message)) << " not raised";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
    Conv->Stop(true);
    EXPECT_EQ(Log.Reports.size(), 3u);
}

TEST_F(ConverterTest, FinalReportHandlerMayClearTheTasks) {
    for (int I = 0; I < 3; ++I)
        AddVideoTask("out" + std::to_string(I) + ".avi");
    bool Cleared = false;
    Conv->OnTerminate = [&](TObject*, const TTerminateInfo& AInfo) {
        if (AInfo.TaskIndex < 0) {
            Conv->ClearTasks();
            Cleared = true;
        }
    };
    Conv->Start(2);
    ASSERT_TRUE(PumpUntil([&] { return Cleared; }));
    EXPECT_EQ(Conv->TasksCount(), 0);
    EXPECT_FALSE(Conv->Working());
    // The component is ready for the next list.
    EXPECT_EQ(AddVideoTask("again.avi"), 0);
}

TEST_F(ConverterTest, InputLimitAndBadIndexes) {
    const String Wav = UTF8ToString(FixturePath(Fixture::Wav));
    ASSERT_EQ(Conv->AddTask(Wav), 0);
    for (int I = 1; I < 20; ++I)
        ASSERT_TRUE(Conv->AddInputFile(0, Wav)) << I;
    EXPECT_FALSE(Conv->AddInputFile(0, Wav));
    EXPECT_EQ(Conv->LastErrMsg(), u"max input files 20 reached");
    ASSERT_NE(Conv->GetTaskAVProbe(0, 19), nullptr);
    EXPECT_NE(Conv->GetTaskAVProbe(0, 19)->FileHandle(), nullptr);
    EXPECT_EQ(Conv->GetTaskAVProbe(0, 20), nullptr);

    EXPECT_EQ(Conv->AddTask(Out("missing.avi")), -1);
    EXPECT_NE(Conv->LastErrMsg(), u"");
    EXPECT_EQ(Conv->TasksCount(), 1);
    try {
        Conv->RemoveTask(5);
        ADD_FAILURE() << "no index error";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), u"List index out of bounds (5)");
    }
}

// Output files: a missing one is created at once, an existing one is left alone until its task
// starts, and one that received nothing is deleted.
TEST_F(ConverterTest, OutputFilesAreCreatedAtOnceAndEmptiedOnlyWhenTheTaskStarts) {
    const String Input = UTF8ToString(FixturePath(Fixture::Avi));
    const std::string Kept = (Dir / "kept.avi").string();
    std::ofstream(Kept) << "the user's own file";

    ASSERT_EQ(Conv->AddTask(Input), 0);
    ASSERT_TRUE(Conv->SetOutputFile(0, Out("new.avi")));
    EXPECT_TRUE(fs::exists(Dir / "new.avi"));
    ASSERT_EQ(Conv->AddTask(Input), 1);
    ASSERT_TRUE(Conv->SetOutputFile(1, UTF8ToString(Kept)));
    EXPECT_EQ(fs::file_size(Kept), 19u);

    Conv->RemoveTask(1);
    Conv->RemoveTask(0);
    EXPECT_EQ(fs::file_size(Kept), 19u);
    EXPECT_FALSE(fs::exists(Dir / "new.avi"));

    // Run for real: the existing file is replaced by the conversion.
    ASSERT_EQ(Conv->AddTask(Input), 0);
    TOutputOptions O;
    O.TimeLength = 500000;
    ASSERT_TRUE(Conv->SetOutputFile(0, UTF8ToString(Kept), &O));
    Conv->Start(0);
    ASSERT_EQ(Log.Reports.size(), 2u);
    EXPECT_TRUE(Log.Reports[0].Finished);
    std::ifstream In(Kept, std::ios::binary);
    char Riff[4] = {};
    In.read(Riff, 4);
    EXPECT_EQ(std::string(Riff, 4), "RIFF");
}

TEST_F(ConverterTest, StoppedTaskLeavesNoEmptyOutputBehind) {
    AddVideoTask("out0.avi");
    AddVideoTask("out1.avi");
    Conv->Start(1);
    Conv->Stop(true);
    ASSERT_EQ(Log.Reports.size(), 3u);
    EXPECT_FALSE(Log.Reports[1].Finished);
    Conv->ClearTasks();
    EXPECT_FALSE(fs::exists(Dir / "out1.avi")); // never started: its empty file is gone
}

TEST_F(ConverterTest, StreamsInAndOut) {
    TFileStream In(UTF8ToString(FixturePath(Fixture::Wav)), fmOpenRead);
    TMemoryStream Out;
    const int Index = Conv->AddTask(&In, u"in.wav", nullptr);
    ASSERT_EQ(Index, 0) << UTF8Encode(Conv->LastErrMsg());
    TOutputOptions O;
    O.FileFormat = u"wav";
    ASSERT_TRUE(Conv->SetOutputStream(Index, &Out, u"out.wav", &O)) << UTF8Encode(Conv->LastErrMsg());
    Conv->Start(0);
    ASSERT_EQ(Log.Reports.size(), 2u);
    EXPECT_TRUE(Log.Reports[0].Finished) << UTF8Encode(Log.Reports[0].ExceptionMsg);
    ASSERT_GT(Out.Size(), 44);
    EXPECT_EQ(std::string(static_cast<const char*>(Out.Memory()), 4), "RIFF");
    // Two seconds of 16-bit mono at 44100 Hz.
    EXPECT_NEAR(double(Out.Size() - 44), 2.0 * 44100 * 2, 4096);
}

} // namespace
