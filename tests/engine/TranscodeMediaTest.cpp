// Outputs that players accept and errors that say why: the pixel format, channel layout and frame
// size the engine chooses when no option names them, the muxer's buffer size, and the texts of
// inputs and encoders that fail.
#include "engine/AVProbe.h"
#include "engine/FFConverter.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
        av_log_set_level(AV_LOG_ERROR);
        Dir = fs::temp_directory_path() / ("qv_media_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code Ec;
        fs::remove_all(Dir, Ec);
    }
    std::string Out(const std::string& Name) const { return (Dir / Name).string(); }

    // Converts AInput to AOutput with the options given; the task's exception text, empty on success.
    std::string Convert(const std::string& AInput, const std::string& AOutput,
                        const std::vector<std::pair<const char16_t*, const char16_t*>>& AOptions) {
        TCustomFFmpeg T(1);
        T.OptVerbose(-1);
        if (!T.OpenInputFile(UTF8ToString(AInput)))
            return "open input: " + UTF8Encode(T.LastErrMsg());
        for (const auto& [Name, Value] : AOptions)
            T.ApplyOption(Name, Value);
        if (T.OpenOutputFile(UTF8ToString(AOutput), false) < 0)
            return "open output: " + UTF8Encode(T.LastErrMsg());
        T.StartConvert(false);
        return T.FatalException() ? UTF8Encode(T.FatalMessage()) : std::string();
    }

    fs::path Dir;
};

// The parameters of the first stream of a kind in a written file.
struct StreamFacts {
    int Format = -1, Width = 0, Height = 0, Channels = 0, Profile = -1;
};

StreamFacts FactsOf(const std::string& APath, AVMediaType AType) {
    StreamFacts R;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, APath.c_str(), nullptr, nullptr) < 0)
        return R;
    InputPtr Guard(Ctx);
    avformat_find_stream_info(Ctx, nullptr);
    const int S = av_find_best_stream(Ctx, AType, -1, -1, nullptr, 0);
    if (S < 0)
        return R;
    const AVCodecParameters* Par = Ctx->streams[S]->codecpar;
    return {Par->format, Par->width, Par->height, Par->ch_layout.nb_channels, Par->profile};
}

bool Is420(int AFormat) {
    const AVPixFmtDescriptor* D = av_pix_fmt_desc_get(AVPixelFormat(AFormat));
    return D && D->log2_chroma_w == 1 && D->log2_chroma_h == 1;
}

TEST_F(MediaTest, H264FromA444SourceIs420) {
    ClipOptions O;
    O.FileName = "media_444.mov";
    O.Duration = 1.0;
    O.Streams = {VideoStream("v308", 160, 120)};
    const std::string& Source = WriteClip(O);
    ASSERT_EQ(FactsOf(Source, AVMEDIA_TYPE_VIDEO).Format, AV_PIX_FMT_YUV444P);

    const std::string H264 = Out("444.mp4");
    ASSERT_EQ(Convert(Source, H264, {{u"vcodec", u"libx264"}, {u"preset", u"ultrafast"}}), "");
    const StreamFacts F = FactsOf(H264, AVMEDIA_TYPE_VIDEO);
    EXPECT_TRUE(Is420(F.Format)) << av_get_pix_fmt_name(AVPixelFormat(F.Format));
    EXPECT_NE(F.Profile, FF_PROFILE_H264_HIGH_444_PREDICTIVE);

    // A pixel format asked for is kept.
    const std::string Asked = Out("444_asked.mp4");
    ASSERT_EQ(Convert(Source, Asked, {{u"vcodec", u"libx264"}, {u"preset", u"ultrafast"}, {u"pix_fmt", u"yuv444p"}}),
              "");
    EXPECT_EQ(FactsOf(Asked, AVMEDIA_TYPE_VIDEO).Format, AV_PIX_FMT_YUV444P);
}

TEST_F(MediaTest, FiveOneAudioKeepsWhatTheEncoderAllows) {
    ClipOptions O;
    O.FileName = "media_51.wav";
    O.Duration = 1.0;
    O.Streams = {AudioStream("pcm_s16le", 48000, 6)};
    const std::string& Source = WriteClip(O);
    ASSERT_EQ(FactsOf(Source, AVMEDIA_TYPE_AUDIO).Channels, 6);
    struct {
        const char* File;
        const char16_t* Codec;
        int Channels;
    } Cases[] = {{"51.mp3", u"libmp3lame", 2}, {"51.ac3", u"ac3", 6}, {"51.m4a", u"aac", 6}};
    for (const auto& C : Cases) {
        const std::string Path = Out(C.File);
        ASSERT_EQ(Convert(Source, Path, {{u"acodec", C.Codec}}), "") << C.File;
        EXPECT_EQ(FactsOf(Path, AVMEDIA_TYPE_AUDIO).Channels, C.Channels) << C.File;
    }
}

TEST_F(MediaTest, OddSourceSizeIsRoundedDownToEvenForH264) {
    ClipOptions O;
    O.FileName = "media_odd.avi";
    O.Duration = 1.0;
    O.Streams = {VideoStream("ffv1", 161, 121)};
    const std::string& Source = WriteClip(O);
    const std::string H264 = Out("odd.mp4");
    ASSERT_EQ(Convert(Source, H264, {{u"vcodec", u"libx264"}, {u"preset", u"ultrafast"}}), "");
    const StreamFacts F = FactsOf(H264, AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(F.Width, 160);
    EXPECT_EQ(F.Height, 120);
}

TEST_F(MediaTest, EncoderThatCannotOpenGivesTheLibrarysReason) {
    ClipOptions O;
    O.FileName = "media_odd.avi";
    O.Duration = 1.0;
    O.Streams = {VideoStream("ffv1", 161, 121)};
    const std::string& Source = WriteClip(O);
    TFFConverter Conv(nullptr);
    ASSERT_EQ(Conv.AddTask(UTF8ToString(Source)), 0);
    // An odd size asked for is kept, and x264 refuses it.
    ASSERT_TRUE(Conv.SetOutputFile(0, UTF8ToString(Out("asked_odd.mp4")), u"vcodec=libx264\ns=161x121"))
        << UTF8Encode(Conv.LastErrMsg());
    std::vector<TTerminateInfo> Reports;
    Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Reports.push_back(I); };
    Conv.Start(0);
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_TRUE(Reports[0].Exception);
    const std::string Msg = UTF8Encode(Reports[0].ExceptionMsg);
    EXPECT_EQ(Msg.rfind("Error while opening encoder for output stream #0.0 (Video)", 0), 0u) << Msg;
    const std::string Reason = "width not divisible by 2 (161x121)";
    ASSERT_GE(Msg.size(), Reason.size());
    EXPECT_EQ(Msg.substr(Msg.size() - Reason.size()), Reason) << Msg;
}

// The MPEG system header's buffer bound of the video stream (stream id 0xE0), in bytes.
int VideoBufferBound(const std::string& APath) {
    std::ifstream F(APath, std::ios::binary);
    const std::vector<unsigned char> D((std::istreambuf_iterator<char>(F)), std::istreambuf_iterator<char>());
    for (size_t I = 0; I + 12 < D.size(); ++I) {
        if (D[I] != 0 || D[I + 1] != 0 || D[I + 2] != 1 || D[I + 3] != 0xBB)
            continue;
        const size_t End = I + 6 + (size_t(D[I + 4]) << 8 | D[I + 5]);
        for (size_t P = I + 12; P + 2 < End && P + 2 < D.size(); P += 3)
            if (D[P] == 0xE0) {
                const int Scale = D[P + 1] & 0x20 ? 1024 : 128;
                return ((D[P + 1] & 0x1F) << 8 | D[P + 2]) * Scale;
            }
    }
    return -1;
}

TEST_F(MediaTest, VcdSystemHeaderCarriesTheVcdBufferSize) {
    const std::string Vcd = Out("disc.mpg");
    ASSERT_EQ(Convert(FixturePath(Fixture::Avi), Vcd, {{u"target", u"pal-vcd"}}), "");
    // The encoder's 327680-bit buffer plus the muxer's 6 KB: 46 KB, not the 230 KB fallback.
    EXPECT_EQ(VideoBufferBound(Vcd), 46 * 1024);
}

TEST_F(MediaTest, EmptyOrTextInputGivesTheProbesText) {
    for (const char* Content : {"", "this is not a sound\n"}) {
        const std::string Path = Out(std::string("broken") + (*Content ? "_text" : "_empty") + ".mp3");
        std::ofstream(Path, std::ios::binary) << Content;
        TAVProbe Probe(nullptr);
        ASSERT_TRUE(Probe.LoadAVLib(GetAppPath() + u"LibAV"));
        ASSERT_FALSE(Probe.LoadFile(UTF8ToString(Path)));
        TFFConverter Conv(nullptr);
        EXPECT_EQ(Conv.AddTask(UTF8ToString(Path)), -1);
        EXPECT_EQ(UTF8Encode(Conv.LastErrMsg()), UTF8Encode(Probe.LastErrMsg()));
        EXPECT_EQ(UTF8Encode(Conv.LastErrMsg()), Path + ": Invalid data found when processing input");
    }
}

} // namespace
