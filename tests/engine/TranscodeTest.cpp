// Conversions through the transcoder, each output read back with the libraries directly.
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

struct StreamFacts {
    std::string Codec;
    int Width = 0, Height = 0;
    double FrameRate = 0;
    int SampleRate = 0, Channels = 0;
    int64_t Frames = 0; // packets counted
    double Duration = 0;
};

struct FileFacts {
    bool Opened = false;
    std::string Format;
    double Duration = 0;
    std::vector<StreamFacts> Streams;
    const StreamFacts* Find(AVMediaType T, const std::vector<AVMediaType>& Types) const {
        for (size_t I = 0; I < Streams.size(); ++I)
            if (Types[I] == T)
                return &Streams[I];
        return nullptr;
    }
    std::vector<AVMediaType> Types;
    const StreamFacts* Video() const { return Find(AVMEDIA_TYPE_VIDEO, Types); }
    const StreamFacts* Audio() const { return Find(AVMEDIA_TYPE_AUDIO, Types); }
};

// Reads an output back: container, codecs, sizes, rates, packet counts and durations.
FileFacts Probe(const std::string& Path) {
    FileFacts R;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, Path.c_str(), nullptr, nullptr) < 0)
        return R;
    InputPtr Guard(Ctx);
    if (avformat_find_stream_info(Ctx, nullptr) < 0)
        return R;
    R.Opened = true;
    R.Format = Ctx->iformat->name;
    R.Duration = Ctx->duration == AV_NOPTS_VALUE ? 0 : Ctx->duration / 1e6;
    std::vector<int64_t> First(Ctx->nb_streams, AV_NOPTS_VALUE), Last(Ctx->nb_streams, AV_NOPTS_VALUE);
    for (unsigned I = 0; I < Ctx->nb_streams; ++I) {
        AVCodecParameters* P = Ctx->streams[I]->codecpar;
        StreamFacts S;
        S.Codec = avcodec_get_name(P->codec_id);
        S.Width = P->width;
        S.Height = P->height;
        S.FrameRate = av_q2d(Ctx->streams[I]->avg_frame_rate);
        S.SampleRate = P->sample_rate;
        S.Channels = P->ch_layout.nb_channels;
        R.Streams.push_back(S);
        R.Types.push_back(P->codec_type);
    }
    PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        const int I = Pkt->stream_index;
        R.Streams[I].Frames++;
        const int64_t T = Pkt->pts != AV_NOPTS_VALUE ? Pkt->pts : Pkt->dts;
        if (T != AV_NOPTS_VALUE) {
            if (First[I] == AV_NOPTS_VALUE || T < First[I])
                First[I] = T;
            const int64_t End = T + Pkt->duration;
            if (Last[I] == AV_NOPTS_VALUE || End > Last[I])
                Last[I] = End;
        }
        av_packet_unref(Pkt.get());
    }
    for (unsigned I = 0; I < Ctx->nb_streams; ++I)
        if (First[I] != AV_NOPTS_VALUE)
            R.Streams[I].Duration = (Last[I] - First[I]) * av_q2d(Ctx->streams[I]->time_base);
    return R;
}

class TranscodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries)) << UTF8Encode(FFLoader().LastErrMsg());
        Dir = fs::temp_directory_path() / ("qv_transcode_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code Ec;
        fs::remove_all(Dir, Ec);
    }
    std::string Out(const std::string& Name) const { return (Dir / Name).string(); }

    // Opens AInput, applies the options (name, value) in order, opens AOutput and runs to the end.
    // Returns the transcoder's fatal message (empty on success).
    std::string Convert(const std::vector<std::string>& AInputs, const std::string& AOutput,
                        const std::vector<std::pair<std::string, std::string>>& AOptions, bool AJoin = false) {
        TCustomFFmpeg T(20);
        T.OptVerbose(-1);
        for (const std::string& In : AInputs)
            if (!T.OpenInputFile(UTF8ToString(In)))
                return "open input: " + UTF8Encode(T.LastErrMsg());
        for (auto& [N, V] : AOptions)
            T.ApplyOption(UTF8ToString(N), UTF8ToString(V));
        if (T.OpenOutputFile(UTF8ToString(AOutput), AJoin) < 0)
            return "open output: " + UTF8Encode(T.LastErrMsg());
        T.StartConvert(false);
        LastFinished = T.Finished();
        return T.FatalException() ? UTF8Encode(T.FatalMessage()) : std::string();
    }

    fs::path Dir;
    bool LastFinished = false;
};

TEST_F(TranscodeTest, AviToMp4WithH264AndAac) {
    const std::string OutName = Out("out.mp4");
    ASSERT_EQ(Convert({FixturePath(Fixture::Avi)}, OutName,
                      {{"vcodec", "libx264"}, {"vpre", "libx264-default"}, {"acodec", "libfaac"}, {"ab", "128000"}}),
              "");
    EXPECT_TRUE(LastFinished);
    const FileFacts F = Probe(OutName);
    ASSERT_TRUE(F.Opened);
    EXPECT_EQ(F.Format, "mov,mp4,m4a,3gp,3g2,mj2");
    ASSERT_TRUE(F.Video() && F.Audio());
    EXPECT_EQ(F.Video()->Codec, "h264");
    EXPECT_EQ(F.Video()->Width, 320);
    EXPECT_EQ(F.Video()->Height, 240);
    EXPECT_NEAR(F.Video()->FrameRate, 25.0, 0.01);
    EXPECT_EQ(F.Video()->Frames, 75);
    EXPECT_NEAR(F.Video()->Duration, 3.0, 0.04);
    EXPECT_EQ(F.Audio()->Codec, "aac");
    EXPECT_EQ(F.Audio()->SampleRate, 44100);
    EXPECT_EQ(F.Audio()->Channels, 2);
    EXPECT_NEAR(F.Audio()->Duration, 3.0, 0.05);
}

} // namespace
