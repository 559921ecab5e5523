// Decode-and-present rate of the preview player on a 1080p clip with audio disabled: pictures that
// reached the video surface per second of playback. The clip runs at 100 frames per second, above
// what the refresh cycle shows when the decoder keeps up, so the rate shows where the pipeline stops.
// And a 1080p 29.97 clip with sound played as a user sees it, the process held to two cores:
// pictures shown against the pictures the clip has.
#include <benchmark/benchmark.h>

#include <sched.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "engine/FFPlayer.h"
#include "engine/MyUtils.h"
#include "support/MediaFixtures.h"

namespace {

const std::string& Clip1080p() {
    qvtest::ClipOptions Clip;
    Clip.FileName = "player_bench_1080p.mkv";
    Clip.Duration = 2.0;
    Clip.Streams = {qvtest::VideoStream("mpeg4", 1920, 1080, {100, 1})};
    return qvtest::WriteClip(Clip);
}

// Plays AFile into AScreen until its end is reported (a minute at most); false when it does not open.
// Events are delivered on the player's own thread: the benchmark's loop serves no synchronised calls.
bool PlayToEnd(TCustomPlayer& APlayer, const String& AFile, TMemoryVideoTarget& AScreen) {
    std::atomic<bool> Ended{false};
    APlayer.OnState = [&](TObject*, TPlayState S) {
        if (S == psEnd)
            Ended = true;
    };
    APlayer.SetTriggerEventInMainThread(false);
    auto Start = std::chrono::steady_clock::now();
    if (!APlayer.Open(AFile, &AScreen, false))
        return false;
    while (!Ended && std::chrono::steady_clock::now() - Start < std::chrono::seconds(60))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    APlayer.Stop(true);
    APlayer.OnState = nullptr;
    return true;
}

void BM_PlayerDecodeAndPresent1080p(benchmark::State& State) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    String File = UTF8ToString(Clip1080p());
    TCustomPlayer Player(nullptr);
    if (!Player.LoadAVLib(GetAppPath() + u"LibAV")) {
        State.SkipWithError("media libraries not loaded");
        return;
    }
    Player.SetDisableAudio(true);
    Player.Setav_sync_type(AV_SYNC_VIDEO_MASTER);
    int64_t Presented = 0;
    double Seconds = 0;
    for (auto _ : State) {
        TMemoryVideoTarget Screen(1920, 1080);
        auto Start = std::chrono::steady_clock::now();
        if (!PlayToEnd(Player, File, Screen)) {
            State.SkipWithError("open failed");
            return;
        }
        Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        Presented += Screen.Presents();
    }
    State.counters["presented_fps"] = Seconds > 0 ? Presented / Seconds : 0;
}
BENCHMARK(BM_PlayerDecodeAndPresent1080p)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

const std::string& Clip1080p2997() {
    qvtest::ClipOptions Clip;
    Clip.FileName = "player_bench_1080p2997.mkv";
    Clip.Duration = 10.0;
    Clip.Streams = {qvtest::VideoStream("mpeg4", 1920, 1080, {30000, 1001}), qvtest::AudioStream("aac", 48000, 2)};
    return qvtest::WriteClip(Clip);
}

void BM_PlayerShows1080p2997OnTwoCores(benchmark::State& State) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    String File = UTF8ToString(Clip1080p2997());
    // The player's threads inherit the mask: the whole playback runs on the first two cores allowed.
    cpu_set_t Allowed, Two;
    CPU_ZERO(&Two);
    if (sched_getaffinity(0, sizeof(Allowed), &Allowed) == 0)
        for (int Cpu = 0, Taken = 0; Cpu < CPU_SETSIZE && Taken < 2; ++Cpu)
            if (CPU_ISSET(Cpu, &Allowed)) {
                CPU_SET(Cpu, &Two);
                ++Taken;
            }
    sched_setaffinity(0, sizeof(Two), &Two);
    TCustomPlayer Player(nullptr);
    if (!Player.LoadAVLib(GetAppPath() + u"LibAV")) {
        State.SkipWithError("media libraries not loaded");
        return;
    }
    int64_t Shown = 0, Expected = 0;
    for (auto _ : State) {
        TMemoryVideoTarget Screen(640, 360);
        if (!PlayToEnd(Player, File, Screen)) {
            State.SkipWithError("open failed");
            return;
        }
        Shown += Screen.Presents();
        Expected += std::llround(10.0 * 30000 / 1001);
    }
    State.counters["shown"] = double(Shown) / State.iterations();
    State.counters["expected"] = double(Expected) / State.iterations();
    State.counters["shown_ratio"] = Expected > 0 ? double(Shown) / Expected : 0;
}
BENCHMARK(BM_PlayerShows1080p2997OnTwoCores)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
