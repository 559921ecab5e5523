// The conversion component run again and again: three tasks of 1 s clips, Start(2), then Pause, Resume and
// Stop(True) at points a fixed-seed generator draws (before any progress, during a task, after the final report),
// then ClearTasks. Every cycle must end with one termination report per task and one final report, and nothing
// may arrive after ClearTasks; at the end the threads and descriptors are back where they started.
#include "SoakFixture.h"

#include "engine/FFConverter.h"
#include "engine/MyUtils.h"
#include "platform/base/Threads.h"
#include "support/MediaFixtures.h"
#include "tests/engine/EngineLibraries.h"
#include "tests/support/TempDir.h"

#include <random>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

using namespace qvtest;

const std::string& OneSecondClip() {
    ClipOptions O;
    O.FileName = "soak-1s-160x120.avi";
    O.Duration = 1.0;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2", 22050, 1)};
    return WriteClip(O);
}

// Runs the GUI thread's synchronised calls until Done holds; false after a minute (a hang, not a slow machine).
template <typename P> bool PumpUntil(P Done) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Limit)
            return false;
        CheckSynchronize(2);
    }
    return true;
}

enum TStopPoint { spBeforeProgress, spDuringATask, spAfterTheEnd };

class ConverterSoak : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ConverterLibraries);
        av_log_set_level(AV_LOG_QUIET);
        Conv.OnProgress = [this](TObject*, PProgressInfo) { ++Progress; };
        Conv.OnTerminate = [this](TObject*, const TTerminateInfo& Info) { Reports.push_back(Info); };
        Conv.SetProgressInterval(100);
    }

    // One cycle: Pause at PausePoint, then either Resume there and Stop(True) at StopPoint, or Stop(True) while
    // paused and Resume after it (which finds nothing to resume).
    void Cycle(int N, TStopPoint PausePoint, TStopPoint StopPoint, bool StopWhilePaused) {
        Reports.clear();
        Progress = 0;
        for (int Task = 0; Task < 3; ++Task) {
            const int Index = Conv.AddTask(UTF8ToString(OneSecondClip()));
            ASSERT_EQ(Index, Task) << UTF8Encode(Conv.LastErrMsg());
            TOutputOptions O;
            InitOutputOptions(O);
            ASSERT_TRUE(Conv.SetOutputFile(Index, Out.File("out" + std::to_string(Task) + ".avi"), &O))
                << UTF8Encode(Conv.LastErrMsg());
        }
        Conv.Start(2);
        for (int Stage = spBeforeProgress; Stage <= StopPoint; ++Stage) {
            if (Stage == spDuringATask)
                ASSERT_TRUE(PumpUntil([&] { return Progress > 0 || Ended(); })) << "cycle " << N;
            if (Stage == spAfterTheEnd)
                ASSERT_TRUE(PumpUntil([&] { return Ended(); })) << "cycle " << N;
            if (Stage == PausePoint) {
                Conv.Pause();
                if (StopWhilePaused)
                    Conv.Stop(true);
                Conv.Resume();
            }
            if (Stage == StopPoint && !StopWhilePaused)
                Conv.Stop(true);
        }
        ASSERT_TRUE(PumpUntil([&] { return Ended(); })) << "cycle " << N << ": no final report";
        Conv.ClearTasks();
        const std::size_t AtClear = Reports.size();
        for (int I = 0; I < 5; ++I)
            CheckSynchronize(2);
        ASSERT_EQ(Reports.size(), AtClear) << "cycle " << N << ": reports after ClearTasks";

        std::vector<int> PerTask(3);
        int Finals = 0;
        for (const TTerminateInfo& R : Reports) {
            if (R.TaskIndex < 0)
                ++Finals;
            else
                ++PerTask.at(std::size_t(R.TaskIndex));
        }
        ASSERT_EQ(PerTask, (std::vector<int>{1, 1, 1})) << "cycle " << N;
        ASSERT_EQ(Finals, 1) << "cycle " << N;
        ASSERT_LT(Reports.back().TaskIndex, 0) << "cycle " << N << ": the final report is not the last";
    }
    bool Ended() const { return !Reports.empty() && Reports.back().TaskIndex < 0; }

    TTempDir Out;
    TFFConverter Conv{nullptr};
    std::vector<TTerminateInfo> Reports;
    int Progress = 0;
};

} // namespace

TEST_F(ConverterSoak, StartPauseResumeStopAndClearAgainAndAgain) {
    std::mt19937 Draw(46);
    Cycle(0, spAfterTheEnd, spAfterTheEnd, false); // loads what lives as long as the process
    soak::TSoakMeter Meter("conversion component");
    const int Count = soak::Cycles(1000, 50);
    for (int N = 1; N <= Count; ++N) {
        const auto PausePoint = TStopPoint(Draw() % 3);
        const bool StopWhilePaused = Draw() % 2 == 0;
        const auto StopPoint = StopWhilePaused ? PausePoint : TStopPoint(PausePoint + Draw() % (3 - PausePoint));
        Cycle(N, PausePoint, StopPoint, StopWhilePaused);
        if (HasFatalFailure())
            return;
    }
    Meter.Finish(Count, [] { CheckSynchronize(0); });
}
