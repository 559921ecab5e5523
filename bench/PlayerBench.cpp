// Decode-and-present rate of the preview player on a 1080p clip with audio disabled: pictures that
// reached the video surface per second of playback. The clip runs at 100 frames per second, above
// what the refresh cycle shows when the decoder keeps up, so the rate shows where the pipeline stops.
#include <benchmark/benchmark.h>

#include <chrono>
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

void BM_PlayerDecodeAndPresent1080p(benchmark::State& State) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    String File = UTF8ToString(Clip1080p());
    TCustomPlayer Player(nullptr);
    if (!Player.LoadAVLib(GetAppPath() + u"LibAV")) {
        State.SkipWithError("media libraries not loaded");
        return;
    }
    int64_t Presented = 0;
    double Seconds = 0;
    for (auto _ : State) {
        TMemoryVideoTarget Screen(1920, 1080);
        std::atomic<bool> Ended{false};
        Player.OnState = [&](TObject*, TPlayState S) {
            if (S == psEnd)
                Ended = true;
        };
        Player.Stop(true);
        Player.SetDisableAudio(true);
        Player.SetTriggerEventInMainThread(false); // this loop serves no synchronised calls
        Player.Setav_sync_type(AV_SYNC_VIDEO_MASTER);
        auto Start = std::chrono::steady_clock::now();
        if (!Player.Open(File, &Screen, false)) {
            State.SkipWithError("open failed");
            return;
        }
        while (!Ended && std::chrono::steady_clock::now() - Start < std::chrono::seconds(60))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        Presented += Screen.Presents();
        Player.Stop(true);
    }
    State.counters["presented_fps"] = Seconds > 0 ? Presented / Seconds : 0;
}
BENCHMARK(BM_PlayerDecodeAndPresent1080p)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
