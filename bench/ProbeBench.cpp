// Probing small files, per file: opening with the stream parameters, the report text, and the
// first picture. 100 clips of half a second in four containers are probed in turn, one file per
// iteration, so the time shown is the time per file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/AVProbe.h"
#include "engine/MyUtils.h"
#include "support/MediaFixtures.h"

using namespace qvtest;

namespace {

const std::vector<String>& SmallFiles() {
    static const std::vector<String> Files = [] {
        struct Kind {
            const char* Extension;
            const char* Video;
            const char* Audio;
        };
        const Kind Kinds[] = {
            {"avi", "mpeg4", "mp2"}, {"mp4", "libx264", "aac"}, {"mkv", "libx264", "aac"}, {"ts", "mpeg2video", "mp2"}};
        std::vector<String> Result;
        for (int I = 0; I < 100; ++I) {
            const Kind& K = Kinds[I % 4];
            ClipOptions O;
            O.FileName = "bench-" + std::to_string(I) + "." + K.Extension;
            O.Duration = 0.5;
            O.Streams = {VideoStream(K.Video, 160, 120), AudioStream(K.Audio, 22050, 1, 300.0 + I)};
            Result.push_back(UTF8ToString(WriteClip(O)));
        }
        return Result;
    }();
    return Files;
}

bool LoadLibraries(benchmark::State& AState) {
    TAVProbe Probe(nullptr);
    if (Probe.AVLibLoaded() || Probe.LoadAVLib(GetAppPath() + u"LibAV"))
        return true;
    AState.SkipWithError(UTF8Encode(Probe.LastErrMsg()).c_str());
    return false;
}

template <class Work> void ProbeEachFile(benchmark::State& AState, Work AWork) {
    if (!LoadLibraries(AState))
        return;
    const std::vector<String>& Files = SmallFiles();
    TAVProbe Probe(nullptr);
    size_t Next = 0;
    for (auto _ : AState) {
        if (!Probe.LoadFile(Files[Next])) {
            AState.SkipWithError(UTF8Encode(Probe.LastErrMsg()).c_str());
            break;
        }
        AWork(Probe);
        Next = (Next + 1) % Files.size();
    }
    Probe.CloseFile();
    AState.SetItemsProcessed(AState.iterations());
}

void BM_LoadFile(benchmark::State& AState) {
    ProbeEachFile(AState, [](TAVProbe&) {});
}

void BM_LoadFileAndReport(benchmark::State& AState) {
    ProbeEachFile(AState, [](TAVProbe& AProbe) {
        benchmark::DoNotOptimize(AProbe.FileStreamInfo());
        benchmark::DoNotOptimize(AProbe.FirstVideoStreamInfo());
        benchmark::DoNotOptimize(AProbe.FirstAudioStreamInfo());
        benchmark::DoNotOptimize(AProbe.FileInfoText());
    });
}

void BM_LoadFileAndFirstPicture(benchmark::State& AState) {
    ProbeEachFile(AState, [](TAVProbe& AProbe) { benchmark::DoNotOptimize(AProbe.Decode()); });
}

BENCHMARK(BM_LoadFile)->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFileAndReport)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFileAndFirstPicture)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
