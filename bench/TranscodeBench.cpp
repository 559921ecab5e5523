// Frames per second of a 720p, 30-second conversion to H.264: the engine's transcoder against a bare
// decode-scale-encode loop over the same libraries, with the same encoder preset and thread count.
// Both rates and their ratio are printed at the end of the run.
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

using namespace qvtest;

namespace {

constexpr const char* Preset = "veryfast";
constexpr int Threads = 1;
double EngineFps = 0, BareFps = 0;

const std::string& Source() {
    ClipOptions O;
    O.FileName = "bench_720p_30s.avi";
    O.Duration = 30.0;
    O.Streams = {VideoStream("mpeg4", 1280, 720, {25, 1})};
    O.Streams[0].BitRate = 4000000;
    return WriteClip(O);
}

std::string OutputName(const char* AName) {
    return (std::filesystem::path(FixtureFolder()) / AName).string();
}

// The engine: one task, input to MP4 with libx264.
int64_t RunEngine() {
    TCustomFFmpeg T(1);
    T.OptVerbose(-1);
    if (!T.OpenInputFile(UTF8ToString(Source())))
        return -1;
    T.ApplyOption(u"vcodec", u"libx264");
    T.ApplyOption(u"preset", UTF8ToString(Preset));
    T.Fthread_count = Threads;
    if (T.OpenOutputFile(UTF8ToString(OutputName("engine.mp4")), false) < 0)
        return -1;
    int64_t Frames = 0;
    T.ReportInterval = INT64_MAX;
    T.OnProgress = [&](TObject*, int, int AFrame, int, float, float, Int64, Int64, Int64) { Frames = AFrame; };
    T.StartConvert(false);
    return T.FatalException() ? -1 : Frames;
}

// The same work written directly: demux, decode, scale, encode, mux.
int64_t RunBare() {
    AVFormatContext* In = nullptr;
    if (avformat_open_input(&In, Source().c_str(), nullptr, nullptr) < 0)
        return -1;
    InputPtr InGuard(In);
    avformat_find_stream_info(In, nullptr);
    const int S = av_find_best_stream(In, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVStream* Ist = In->streams[S];
    const AVCodec* DecCodec = avcodec_find_decoder(Ist->codecpar->codec_id);
    CodecContextPtr Dec(avcodec_alloc_context3(DecCodec));
    avcodec_parameters_to_context(Dec.get(), Ist->codecpar);
    Dec->thread_count = Threads;
    avcodec_open2(Dec.get(), DecCodec, nullptr);

    AVFormatContext* Out = nullptr;
    const std::string OutName = OutputName("bare.mp4");
    avformat_alloc_output_context2(&Out, nullptr, nullptr, OutName.c_str());
    const AVCodec* EncCodec = avcodec_find_encoder_by_name("libx264");
    CodecContextPtr Enc(avcodec_alloc_context3(EncCodec));
    Enc->width = Dec->width;
    Enc->height = Dec->height;
    Enc->pix_fmt = AV_PIX_FMT_YUV420P;
    Enc->time_base = av_inv_q(Ist->avg_frame_rate);
    Enc->framerate = Ist->avg_frame_rate;
    Enc->thread_count = Threads;
    if (Out->oformat->flags & AVFMT_GLOBALHEADER)
        Enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* Opts = nullptr;
    av_dict_set(&Opts, "preset", Preset, 0);
    avcodec_open2(Enc.get(), EncCodec, &Opts);
    av_dict_free(&Opts);
    AVStream* Ost = avformat_new_stream(Out, nullptr);
    avcodec_parameters_from_context(Ost->codecpar, Enc.get());
    Ost->time_base = Enc->time_base;
    avio_open(&Out->pb, OutName.c_str(), AVIO_FLAG_WRITE);
    avformat_write_header(Out, nullptr);

    SwsPtr Sws(sws_getContext(Dec->width, Dec->height, Dec->pix_fmt, Enc->width, Enc->height, Enc->pix_fmt, SWS_BICUBIC,
                              nullptr, nullptr, nullptr));
    FramePtr Frame(av_frame_alloc()), Scaled(av_frame_alloc());
    Scaled->format = Enc->pix_fmt;
    Scaled->width = Enc->width;
    Scaled->height = Enc->height;
    av_frame_get_buffer(Scaled.get(), 0);
    PacketPtr Pkt(av_packet_alloc()), OutPkt(av_packet_alloc());
    int64_t Frames = 0;
    auto Drain = [&]() {
        while (avcodec_receive_packet(Enc.get(), OutPkt.get()) >= 0) {
            av_packet_rescale_ts(OutPkt.get(), Enc->time_base, Ost->time_base);
            OutPkt->stream_index = 0;
            av_interleaved_write_frame(Out, OutPkt.get());
        }
    };
    auto Decode = [&](AVPacket* P) {
        avcodec_send_packet(Dec.get(), P);
        while (avcodec_receive_frame(Dec.get(), Frame.get()) >= 0) {
            av_frame_make_writable(Scaled.get());
            sws_scale(Sws.get(), Frame->data, Frame->linesize, 0, Dec->height, Scaled->data, Scaled->linesize);
            Scaled->pts = Frames++;
            avcodec_send_frame(Enc.get(), Scaled.get());
            Drain();
        }
    };
    while (av_read_frame(In, Pkt.get()) >= 0) {
        if (Pkt->stream_index == S)
            Decode(Pkt.get());
        av_packet_unref(Pkt.get());
    }
    Decode(nullptr);
    avcodec_send_frame(Enc.get(), nullptr);
    Drain();
    av_write_trailer(Out);
    avio_closep(&Out->pb);
    avformat_free_context(Out);
    return Frames;
}

void Measure(benchmark::State& State, int64_t (*ARun)(), double& AFps) {
    for (auto _ : State) {
        const auto Start = std::chrono::steady_clock::now();
        const int64_t Frames = ARun();
        const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        if (Frames <= 0) {
            State.SkipWithError("conversion failed");
            return;
        }
        AFps = Frames / Seconds;
        State.counters["fps"] = AFps;
        State.counters["frames"] = double(Frames);
    }
}

void BM_EngineTranscode(benchmark::State& State) {
    Measure(State, RunEngine, EngineFps);
}
void BM_BareLoop(benchmark::State& State) {
    Measure(State, RunBare, BareFps);
}

BENCHMARK(BM_BareLoop)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_EngineTranscode)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    if (!FFLoader().Load(ConverterLibraries)) {
        fprintf(stderr, "%s\n", UTF8Encode(FFLoader().LastErrMsg()).c_str());
        return 1;
    }
    av_log_set_level(AV_LOG_ERROR);
    Source(); // written before timing starts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (EngineFps > 0 && BareFps > 0)
        printf("720p 30 s to H.264 (preset %s, %d thread): engine %.1f fps, bare loop %.1f fps, engine/bare %.3f\n",
               Preset, Threads, EngineFps, BareFps, EngineFps / BareFps);
    return 0;
}
