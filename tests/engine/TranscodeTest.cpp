// Conversions through the transcoder, each output read back with the libraries directly.
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <regex>
#include <tuple>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
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
        av_log_set_level(AV_LOG_ERROR);
        Dir = Temp.Folder();
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

    TTempDir Temp;

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

// One conversion of a fixture and what the output must hold; empty codec texts mean "no such stream".
struct ConversionCase {
    const char* Name;
    Fixture Source;
    const char* Output;
    std::vector<std::pair<std::string, std::string>> Options;
    const char* Format;
    const char* VideoCodec;
    int Width, Height;
    double FrameRate;
    int64_t VideoFrames;
    const char* AudioCodec;
    int SampleRate, Channels;
    double Duration;
};

class ConversionTest : public TranscodeTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ConversionTest, OutputHoldsTheExpectedStreams) {
    const ConversionCase& C = GetParam();
    const std::string OutName = Out(C.Output);
    ASSERT_EQ(Convert({FixturePath(C.Source)}, OutName, C.Options), "");
    EXPECT_TRUE(LastFinished);
    const FileFacts F = Probe(OutName);
    ASSERT_TRUE(F.Opened);
    EXPECT_EQ(F.Format, C.Format);
    if (*C.VideoCodec) {
        ASSERT_TRUE(F.Video());
        EXPECT_EQ(F.Video()->Codec, C.VideoCodec);
        EXPECT_EQ(F.Video()->Width, C.Width);
        EXPECT_EQ(F.Video()->Height, C.Height);
        if (C.FrameRate > 0) {
            EXPECT_NEAR(F.Video()->FrameRate, C.FrameRate, 0.01);
        }
        EXPECT_EQ(F.Video()->Frames, C.VideoFrames);
        EXPECT_NEAR(F.Video()->Duration, C.Duration, 1.0 / (C.FrameRate > 0 ? C.FrameRate : 25) + 1e-6);
    } else
        EXPECT_EQ(F.Video(), nullptr);
    if (*C.AudioCodec) {
        ASSERT_TRUE(F.Audio());
        EXPECT_EQ(F.Audio()->Codec, C.AudioCodec);
        EXPECT_EQ(F.Audio()->SampleRate, C.SampleRate);
        EXPECT_EQ(F.Audio()->Channels, C.Channels);
        // Audio ends within one encoder frame (and its padding) of the source.
        EXPECT_NEAR(F.Audio()->Duration, C.Duration, 0.08);
    } else
        EXPECT_EQ(F.Audio(), nullptr);
}

const ConversionCase ConversionCases[] = {
    {"ToFlv", Fixture::Avi, "out.flv", {}, "flv", "flv1", 320, 240, 25, 75, "mp3", 44100, 2, 3.0},
    {"To3gp",
     Fixture::Avi,
     "out.3gp",
     {{"vcodec", "h263"}, {"s", "176x144"}, {"acodec", "libamr_nb"}, {"ar", "8000"}, {"ac", "1"}, {"ab", "12200"}},
     "mov,mp4,m4a,3gp,3g2,mj2",
     "h263",
     176,
     144,
     25,
     75,
     "amr_nb",
     8000,
     1,
     3.0},
    {"ToWmv",
     Fixture::Avi,
     "out.wmv",
     {{"vcodec", "wmv2"}, {"acodec", "wmav2"}},
     "asf",
     "wmv2",
     320,
     240,
     0,
     75,
     "wmav2",
     44100,
     2,
     3.0},
    {"ToDvdTarget",
     Fixture::Avi,
     "out.vob",
     {{"target", "pal-dvd"}},
     "mpeg",
     "mpeg2video",
     720,
     576,
     25,
     75,
     "ac3",
     48000,
     2,
     3.0},
    {"Deinterlaced",
     Fixture::Avi,
     "deint.avi",
     {{"deinterlace", "1"}},
     "avi",
     "mpeg4",
     320,
     240,
     25,
     75,
     "mp3",
     44100,
     2,
     3.0},
    {"AudioOnlyToMp3", Fixture::Wav, "out.mp3", {}, "mp3", "", 0, 0, 0, 0, "mp3", 44100, 1, 2.0},
    {"AudioOnlyToWav", Fixture::Avi, "out.wav", {}, "wav", "", 0, 0, 0, 0, "pcm_s16le", 44100, 2, 3.0},
    {"StreamCopy",
     Fixture::Avi,
     "copy.mkv",
     {{"vcodec", "copy"}, {"acodec", "copy"}},
     "matroska,webm",
     "mpeg4",
     320,
     240,
     25,
     75,
     "mp2",
     44100,
     2,
     3.0},
    {"CropAndScale",
     Fixture::Avi,
     "crop.mp4",
     {{"croptop", "40"}, {"cropbottom", "40"}, {"s", "160x80"}, {"vcodec", "mpeg4"}, {"an", "1"}},
     "mov,mp4,m4a,3gp,3g2,mj2",
     "mpeg4",
     160,
     80,
     25,
     75,
     "",
     0,
     0,
     3.0},
    {"UserFilterChain",
     Fixture::Avi,
     "vf.mkv",
     {{"vcodec", "mpeg4"}, {"vf", "scale=160:120,hflip"}, {"an", "1"}},
     "matroska,webm",
     "mpeg4",
     160,
     120,
     25,
     75,
     "",
     0,
     0,
     3.0},
    // MPEG program streams take no AAC: MP2 is encoded instead.
    {"AacIntoMpegPs",
     Fixture::Avi,
     "out.mpg",
     {{"acodec", "aac"}},
     "mpeg",
     "mpeg1video",
     320,
     240,
     25,
     75,
     "mp2",
     44100,
     2,
     3.0},
    {"Stereo22050ToMono44100",
     Fixture::WavStereo22050,
     "mono.wav",
     {{"ar", "44100"}, {"ac", "1"}},
     "wav",
     "",
     0,
     0,
     0,
     0,
     "pcm_s16le",
     44100,
     1,
     2.0},
};

TEST_F(TranscodeTest, SubtitlesAreDecodedAndEncoded) {
    const std::string OutName = Out("subs.mkv");
    ASSERT_EQ(Convert({FixturePath(Fixture::Subtitles)}, OutName, {{"vn", "1"}, {"an", "1"}, {"scodec", "ass"}}), "");
    AVFormatContext* Ctx = nullptr;
    ASSERT_GE(avformat_open_input(&Ctx, OutName.c_str(), nullptr, nullptr), 0);
    InputPtr Guard(Ctx);
    ASSERT_EQ(Ctx->nb_streams, 1u);
    EXPECT_EQ(Ctx->streams[0]->codecpar->codec_id, AV_CODEC_ID_ASS);
    int Cues = 0;
    PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        ++Cues;
        av_packet_unref(Pkt.get());
    }
    EXPECT_EQ(Cues, 3);
}

// Collects what the libraries' log receives at AV_LOG_VERBOSE and more urgent, for as long as it lives.
class LogCapture {
public:
    LogCapture() {
        Lines().clear();
        av_log_set_callback(&Collect);
    }
    ~LogCapture() { av_log_set_callback(av_log_default_callback); }
    std::vector<std::string> Take() {
        std::lock_guard Guard(Lock());
        return Lines();
    }

private:
    static std::mutex& Lock() {
        static std::mutex M;
        return M;
    }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> L;
        return L;
    }
    static void Collect(void*, int ALevel, const char* AFormat, va_list AArgs) {
        if (ALevel > AV_LOG_VERBOSE)
            return;
        char Line[4096];
        vsnprintf(Line, sizeof(Line), AFormat, AArgs);
        std::lock_guard Guard(Lock());
        Lines().push_back(Line);
    }
};

TEST_F(TranscodeTest, PsnrAndTheQuantiserHistogramReachTheReportsAndTheVideoStatistics) {
    const std::string Stats = Out("vstats.log");
    LogCapture Log;
    TCustomFFmpeg T(4);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    for (auto [N, V] : std::vector<std::pair<String, String>>{{u"an", u"1"},
                                                              {u"vcodec", u"mpeg4"},
                                                              {u"psnr", u"1"},
                                                              {u"qphist", u"1"},
                                                              {u"vstats_file", UTF8ToString(Stats)}})
        T.ApplyOption(N, V);
    ASSERT_GE(T.OpenOutputFile(UTF8ToString(Out("psnr.avi")), false), 0) << UTF8Encode(T.LastErrMsg());
    T.StartConvert(false);
    ASSERT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());

    std::string Last;
    for (const std::string& L : Log.Take())
        if (L.rfind("frame=", 0) == 0)
            Last = L;
    // "frame=   75 fps=... q=... L" + 32 hex digits of the histogram + "PSNR=Y:.. U:.. V:.. *:.. ".
    std::smatch M;
    ASSERT_TRUE(std::regex_search(
        Last, M, std::regex(R"(q=[0-9.]+ L([0-9A-F]{32})PSNR=Y:([0-9.]+) U:([0-9.]+) V:([0-9.]+) \*:([0-9.]+) )")))
        << Last;
    EXPECT_NE(M[1].str(), std::string(32, '0'));
    for (int I = 2; I <= 5; ++I) {
        EXPECT_GT(std::stod(M[I].str()), 20.0) << Last;
        EXPECT_LT(std::stod(M[I].str()), 99.0) << Last;
    }

    // A picture the encoder codes without loss (flat bars on the block grid) has an infinite ratio.
    std::ifstream In(Stats);
    std::string Line;
    int Frames = 0, Finite = 0;
    while (std::getline(In, Line)) {
        ++Frames;
        ASSERT_TRUE(std::regex_search(Line, M, std::regex(R"(q= *[0-9.]+ PSNR= *([0-9.]+|inf) f_size=)"))) << Line;
        if (M[1] != "inf") {
            ++Finite;
            EXPECT_GT(std::stod(M[1].str()), 20.0) << Line;
        }
    }
    EXPECT_EQ(Frames, 75);
    EXPECT_GT(Finite, 0);
}

// Chapters of a clip at 0-1 s "A", 1-2 s "B", 2-3 s "C", after a start time and a recording time.
struct ChapterCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Options;
    std::vector<std::tuple<std::string, int64_t, int64_t>> Expected; // title, start ms, end ms
};

class ChapterTest : public TranscodeTest, public ::testing::WithParamInterface<ChapterCase> {};

TEST_P(ChapterTest, ChaptersInTheConvertedRangeAreShiftedAndCut) {
    ClipOptions Clip;
    Clip.FileName = "chapters.mkv";
    Clip.Streams = {VideoStream("mpeg4")};
    Clip.Chapters = {{0, 1000, "A"}, {1000, 2000, "B"}, {2000, 3000, "C"}};
    const std::string OutName = Out("chapters.mkv");
    ASSERT_EQ(Convert({WriteClip(Clip)}, OutName, GetParam().Options), "");
    AVFormatContext* Ctx = nullptr;
    ASSERT_GE(avformat_open_input(&Ctx, OutName.c_str(), nullptr, nullptr), 0);
    InputPtr Guard(Ctx);
    std::vector<std::tuple<std::string, int64_t, int64_t>> Got;
    for (unsigned I = 0; I < Ctx->nb_chapters; ++I) {
        const AVChapter* C = Ctx->chapters[I];
        const AVDictionaryEntry* Title = av_dict_get(C->metadata, "title", nullptr, 0);
        Got.emplace_back(Title ? Title->value : "", av_rescale_q(C->start, C->time_base, {1, 1000}),
                         av_rescale_q(C->end, C->time_base, {1, 1000}));
    }
    EXPECT_EQ(Got, GetParam().Expected);
}

const ChapterCase ChapterCases[] = {
    {"Whole", {}, {{"A", 0, 1000}, {"B", 1000, 2000}, {"C", 2000, 3000}}},
    {"StartInsideTheSecond", {{"ss", "1.5"}}, {{"B", 0, 500}, {"C", 500, 1500}}},
    {"RecordingTimeEndsInTheSecond", {{"t", "1.2"}}, {{"A", 0, 1000}, {"B", 1000, 1200}}},
    {"StartAndRecordingTime", {{"ss", "0.5"}, {"t", "1"}}, {{"A", 0, 500}, {"B", 500, 1000}}},
};

INSTANTIATE_TEST_SUITE_P(Ranges, ChapterTest, ::testing::ValuesIn(ChapterCases),
                         [](const ::testing::TestParamInfo<ChapterCase>& I) { return std::string(I.param.Name); });

TEST_F(TranscodeTest, AnRtpOutputLogsItsSessionDescription) {
    // A socket of our own takes the packets, so nothing is sent to a port nobody holds.
    const int Sock = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(Sock, 0);
    sockaddr_in Addr{};
    Addr.sin_family = AF_INET;
    Addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Len = sizeof(Addr);
    ASSERT_EQ(bind(Sock, reinterpret_cast<sockaddr*>(&Addr), sizeof(Addr)), 0);
    ASSERT_EQ(getsockname(Sock, reinterpret_cast<sockaddr*>(&Addr), &Len), 0);
    const int Port = ntohs(Addr.sin_port);
    LogCapture Log;
    TCustomFFmpeg T(4);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    for (auto [N, V] :
         std::vector<std::pair<String, String>>{{u"an", u"1"}, {u"vcodec", u"mpeg4"}, {u"f", u"rtp"}, {u"t", u"0.5"}})
        T.ApplyOption(N, V);
    const std::string Url = "rtp://127.0.0.1:" + std::to_string(Port);
    ASSERT_GE(T.OpenOutputFile(UTF8ToString(Url), false), 0) << UTF8Encode(T.LastErrMsg());
    T.StartConvert(false);
    close(Sock);
    ASSERT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());
    std::string Sdp;
    for (const std::string& L : Log.Take())
        if (L.rfind("SDP:\r\n", 0) == 0)
            Sdp = L;
    EXPECT_NE(Sdp.find("v=0"), std::string::npos) << Sdp;
    EXPECT_NE(Sdp.find("m=video " + std::to_string(Port) + " RTP/AVP 96"), std::string::npos) << Sdp;
    EXPECT_NE(Sdp.find("a=rtpmap:96 MP4V-ES/90000"), std::string::npos) << Sdp;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ConversionTest, ::testing::ValuesIn(ConversionCases),
                         [](const ::testing::TestParamInfo<ConversionCase>& I) { return std::string(I.param.Name); });

} // namespace
