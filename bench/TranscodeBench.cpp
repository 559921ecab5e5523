// The standard job: a 720p30, 30-second AVI to MP4 with x264 at 1500 kb/s (its default preset) and
// AAC at 128 kb/s. The engine's transcoder and a bare decode-scale-encode loop over the same libraries
// convert its video with the settings the command-line program uses by default (codec threads
// automatic), alternating, several passes each; the medians and their ratio are printed, and the
// engine's time for the whole job with audio. QV_BENCH_PASSES sets the number of passes (3).
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

using namespace qvtest;

namespace {

constexpr int Threads = 0; // automatic, as the command-line program uses by default
constexpr int64_t VideoBitRate = 1500000;

const std::string& Source() {
    ClipOptions O;
    O.FileName = "bench_720p30_30s.avi";
    O.Duration = 30.0;
    O.Streams = {VideoStream("mpeg4", 1280, 720, {30, 1}), AudioStream("libmp3lame", 44100, 2)};
    O.Streams[0].BitRate = 4000000;
    O.Streams[1].BitRate = 192000;
    return WriteClip(O);
}

std::string OutputName(const char* AName) {
    return (std::filesystem::path(FixtureFolder()) / AName).string();
}

// The engine: one task, input to MP4 with libx264 at the job's rate; with AAudio the job's AAC audio
// too, else no audio (the bare loop's work).
int64_t RunEngine(bool AAudio) {
    TCustomFFmpeg T(1);
    T.OptVerbose(-1);
    if (!T.OpenInputFile(UTF8ToString(Source())))
        return -1;
    T.ApplyOption(u"vcodec", u"libx264");
    T.ApplyOption(u"vb", IntToStr(VideoBitRate));
    if (AAudio) {
        T.ApplyOption(u"acodec", u"aac");
        T.ApplyOption(u"ab", u"128000");
    } else
        T.ApplyOption(u"an", u"1");
    if (T.OpenOutputFile(UTF8ToString(OutputName(AAudio ? "engine_job.mp4" : "engine.mp4")), false) < 0)
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
    Enc->bit_rate = VideoBitRate;
    avcodec_open2(Enc.get(), EncCodec, nullptr);
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

double Seconds(int64_t (*ARun)(bool), bool AArg, int64_t& AFrames) {
    const auto Start = std::chrono::steady_clock::now();
    AFrames = ARun(AArg);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

int64_t RunBareVideo(bool) {
    return RunBare();
}

double Median(std::vector<double> AValues) {
    std::sort(AValues.begin(), AValues.end());
    const size_t N = AValues.size();
    return N % 2 ? AValues[N / 2] : (AValues[N / 2 - 1] + AValues[N / 2]) / 2;
}

double BareSeconds = 0, EngineSeconds = 0, JobSeconds = 0;

// Bare loop, engine, and the engine's whole job in turn, so a change of the machine's load meets
// all three alike.
void BM_Alternating(benchmark::State& State) {
    const char* Env = getenv("QV_BENCH_PASSES");
    const int Passes = std::max(1, Env ? atoi(Env) : 3);
    for (auto _ : State) {
        std::vector<double> Bare, Engine, Job;
        for (int P = 0; P < Passes; ++P) {
            int64_t BareFrames = 0, EngineFrames = 0, JobFrames = 0;
            Bare.push_back(Seconds(RunBareVideo, false, BareFrames));
            Engine.push_back(Seconds(RunEngine, false, EngineFrames));
            Job.push_back(Seconds(RunEngine, true, JobFrames));
            if (BareFrames <= 0 || EngineFrames <= 0 || JobFrames <= 0) {
                State.SkipWithError("conversion failed");
                return;
            }
            printf("pass %d: bare %.2f s, engine %.2f s, engine job with audio %.2f s\n", P + 1, Bare.back(),
                   Engine.back(), Job.back());
        }
        BareSeconds = Median(Bare);
        EngineSeconds = Median(Engine);
        JobSeconds = Median(Job);
        State.counters["bare_s"] = BareSeconds;
        State.counters["engine_s"] = EngineSeconds;
        State.counters["job_s"] = JobSeconds;
    }
}

BENCHMARK(BM_Alternating)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

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
    if (EngineSeconds > 0 && BareSeconds > 0)
        printf("720p30 30 s to H.264 1500 kb/s, threads automatic, medians: bare loop %.2f s, engine %.2f s, "
               "bare/engine %.3f; engine with AAC audio (the whole job) %.2f s\n",
               BareSeconds, EngineSeconds, BareSeconds / EngineSeconds, JobSeconds);
    return 0;
}
