// The preview player opened again and again into a window of the headless screen: open paused, play, seek, stop
// with waiting. Every cycle must see its psStop; at the end the threads and descriptors are back.
#include "SoakFixture.h"

#include "engine/FFPlayer.h"
#include "engine/MyUtils.h"
#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"
#include "support/MediaFixtures.h"
#include "tests/engine/PlayerTestSupport.h"

#include <random>

namespace {

using namespace qvtest;

const std::string& PatternClip() {
    ClipOptions O;
    O.FileName = "soak-player-2s-160x120.avi";
    O.Duration = 2.0;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2", 22050, 1)};
    return WriteClip(O);
}

class PlayerSoak : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        ASSERT_TRUE(LoadPlayerLibraries(Player));
        WNDCLASSEXW C{};
        if (!GetClassInfoExW(nullptr, u"QvSoakHost", &C)) {
            C = WNDCLASSEXW{};
            C.lpfnWndProc = DefWindowProcW;
            C.lpszClassName = u"QvSoakHost";
            RegisterClassExW(&C);
        }
        Host = CreateWindowExW(0, u"QvSoakHost", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 145, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_TRUE(Host);
        Recorder.Attach(Player);
        ProcessPendingMessages();
    }
    void TearDown() override {
        Player.Stop(true);
        ResetWindowManager();
    }
    bool WaitFor(TPlayState State, std::size_t After) {
        return WaitUntil(
            [&] {
                std::lock_guard G(Recorder.Lock);
                return std::find(Recorder.States.begin() + std::ptrdiff_t(After), Recorder.States.end(), State) !=
                       Recorder.States.end();
            },
            [] {
                CheckSynchronize(0);
                ProcessPendingMessages();
            });
    }
    std::size_t StatesSoFar() {
        std::lock_guard G(Recorder.Lock);
        return Recorder.States.size();
    }

    void Cycle(int N, Int64 SeekTo) {
        const std::size_t Before = StatesSoFar();
        ASSERT_TRUE(Player.Open(UTF8ToString(PatternClip()), Host, true)) << UTF8Encode(Player.LastErrMsg());
        ASSERT_TRUE(WaitFor(psPause, Before)) << "cycle " << N << ": the paused open showed nothing";
        Player.Resume();
        ASSERT_TRUE(WaitFor(psResume, Before)) << "cycle " << N;
        Player.Seek(SeekTo, {}, false);
        Player.Stop(true);
        ASSERT_TRUE(WaitFor(psStop, Before)) << "cycle " << N << ": no psStop";
    }

    TCustomPlayer Player{nullptr};
    HWND Host = nullptr;
    TPlayerRecorder Recorder;
};

} // namespace

TEST_F(PlayerSoak, OpenPlaySeekAndStopAgainAndAgain) {
    std::mt19937 Draw(46);
    Cycle(0, 0); // the audio device and what lives as long as the process
    soak::TSoakMeter Meter("preview player");
    const int Count = soak::Cycles(500, 30);
    for (int N = 1; N <= Count; ++N) {
        Cycle(N, Int64(Draw() % 2000) * 1000);
        if (HasFatalFailure())
            return;
    }
    Meter.Finish(Count, [] {
        CheckSynchronize(0);
        ProcessPendingMessages();
    });
}
