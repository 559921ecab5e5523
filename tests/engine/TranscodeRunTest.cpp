// The transcoder's run: threads, stop, pause, cancel, join, two passes, volume and progress.
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
        av_log_set_level(AV_LOG_ERROR);
        Dir = Temp.Folder();
    }
    std::string Out(const std::string& Name) const { return (Dir / Name).string(); }
    TTempDir Temp;
    fs::path Dir;
};

// Every packet time of one kind of stream of a file, in seconds, in file order.
std::vector<double> PacketTimes(const std::string& Path, AVMediaType AType, int64_t* ACount = nullptr) {
    std::vector<double> R;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, Path.c_str(), nullptr, nullptr) < 0)
        return R;
    InputPtr Guard(Ctx);
    avformat_find_stream_info(Ctx, nullptr);
    const int S = av_find_best_stream(Ctx, AType, -1, -1, nullptr, 0);
    if (S < 0)
        return R;
    PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        if (Pkt->stream_index == S && Pkt->pts != AV_NOPTS_VALUE)
            R.push_back(Pkt->pts * av_q2d(Ctx->streams[S]->time_base));
        av_packet_unref(Pkt.get());
    }
    std::sort(R.begin(), R.end());
    if (ACount)
        *ACount = int64_t(R.size());
    return R;
}

// Decoded 16-bit samples of the first audio stream.
std::vector<int16_t> Samples(const std::string& Path) {
    std::vector<int16_t> R;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, Path.c_str(), nullptr, nullptr) < 0)
        return R;
    InputPtr Guard(Ctx);
    avformat_find_stream_info(Ctx, nullptr);
    const int S = av_find_best_stream(Ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        if (Pkt->stream_index == S) {
            const int16_t* P = reinterpret_cast<const int16_t*>(Pkt->data);
            R.insert(R.end(), P, P + Pkt->size / 2);
        }
        av_packet_unref(Pkt.get());
    }
    return R;
}

const std::string& LongClip() {
    ClipOptions O;
    O.FileName = "run_long.avi";
    O.Duration = 20.0;
    O.Streams = {VideoStream("mpeg4"), AudioStream("mp2")};
    return WriteClip(O);
}

TEST_F(RunTest, FileLimitIsChecked) {
    for (int N : {0, 513}) {
        try {
            TCustomFFmpeg T(N);
            ADD_FAILURE() << N;
        } catch (const EAssertionFailed& E) {
            EXPECT_EQ(E.Message(), u"Assertion failure");
        }
    }
    TCustomFFmpeg T(512);
    EXPECT_EQ(T.FMaxFiles, 512);
}

TEST_F(RunTest, StartWithoutOutputIsRefusedAndReportedOnce) {
    TCustomFFmpeg T(2);
    int Reports = 0;
    T.OnTerminate = [&](TObject*) { ++Reports; };
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    EXPECT_FALSE(T.StartConvert(true));
    EXPECT_EQ(Reports, 1);
    EXPECT_TRUE(T.FatalException());
    EXPECT_EQ(T.FatalMessage(), u"At least one output file must be specified");
    EXPECT_FALSE(T.StartConvert(false));
    EXPECT_EQ(Reports, 1);
}

TEST_F(RunTest, StopLeavesAPlayableShorterFile) {
    const std::string OutName = Out("stopped.mkv");
    TCustomFFmpeg T(2);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(LongClip())));
    T.ApplyOption(u"vcodec", u"mpeg4");
    ASSERT_GT(T.OpenOutputFile(UTF8ToString(OutName), false), 0);
    std::mutex M;
    std::condition_variable Cv;
    bool Progressed = false, Ended = false;
    T.ReportInterval = 0;
    T.OnProgress = [&](TObject*, int, int AFrame, int, float, float, Int64, Int64, Int64) {
        if (AFrame >= 25) {
            std::lock_guard G(M);
            Progressed = true;
            Cv.notify_all();
        }
    };
    T.OnTerminate = [&](TObject*) {
        std::lock_guard G(M);
        Ended = true;
    };
    ASSERT_TRUE(T.StartConvert(true));
    {
        std::unique_lock L(M);
        Cv.wait(L, [&] { return Progressed; });
    }
    T.Pause();
    T.Stop(true);
    EXPECT_TRUE(Ended);
    EXPECT_FALSE(T.Finished());
    EXPECT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());
    int64_t Count = 0;
    const auto Times = PacketTimes(OutName, AVMEDIA_TYPE_VIDEO, &Count);
    EXPECT_GE(Count, 25);
    EXPECT_LT(Count, 500);
}

TEST_F(RunTest, CancelBeforeRunReportsOnceOnAnotherThread) {
    TCustomFFmpeg T(2);
    std::atomic<int> Reports{0};
    std::thread::id ReportThread;
    T.OnTerminate = [&](TObject*) {
        ReportThread = std::this_thread::get_id();
        ++Reports;
    };
    const std::string OutName = Out("never.wav");
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    ASSERT_GT(T.OpenOutputFile(UTF8ToString(OutName), false), 0);
    T.CancelTask(true);
    EXPECT_EQ(Reports, 1);
    EXPECT_NE(ReportThread, std::this_thread::get_id());
    T.CancelTask(true);
    EXPECT_FALSE(T.StartConvert(false));
    EXPECT_EQ(Reports, 1);
    // The empty output stays until the task is released.
    EXPECT_TRUE(fs::exists(OutName));
    T.ReleaseResources();
    EXPECT_FALSE(fs::exists(OutName));
}

TEST_F(RunTest, OutputWithoutStreamsFailsAndIsDeleted) {
    const std::string OutName = Out("nothing.wav");
    TCustomFFmpeg T(2);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    T.ApplyOption(u"an", u"1");
    ASSERT_GT(T.OpenOutputFile(UTF8ToString(OutName), false), 0);
    T.StartConvert(false);
    EXPECT_TRUE(T.FatalException());
    EXPECT_EQ(T.FatalMessage(), u"Output file #0 does not contain any stream");
    EXPECT_FALSE(fs::exists(OutName));
}

TEST_F(RunTest, JoinKeepsTimestampsContinuous) {
    const std::string OutName = Out("joined.mkv");
    TCustomFFmpeg T(4);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    T.ApplyOption(u"vcodec", u"mpeg4");
    T.ApplyOption(u"acodec", u"mp2");
    ASSERT_EQ(T.OpenOutputFile(UTF8ToString(OutName), true), 2);
    EXPECT_EQ(T.TotalOutputDuration(), 2 * T.InputFile(0)->duration);
    EXPECT_EQ(T.OutputFile(0), T.OutputFile(1));
    EXPECT_EQ(T.OpenOutputFile(UTF8ToString(Out("second.mkv")), false), -1);
    EXPECT_EQ(T.LastErrMsg(), u"Cannot join more than one output file.");
    T.StartConvert(false);
    ASSERT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());
    int64_t Count = 0;
    const auto V = PacketTimes(OutName, AVMEDIA_TYPE_VIDEO, &Count);
    EXPECT_EQ(Count, 150);
    for (size_t I = 1; I < V.size(); ++I)
        EXPECT_NEAR(V[I] - V[I - 1], 0.04, 0.002) << I;
    const auto A = PacketTimes(OutName, AVMEDIA_TYPE_AUDIO);
    ASSERT_FALSE(A.empty());
    EXPECT_NEAR(A.back(), 6.0, 0.1);
    for (size_t I = 1; I < A.size(); ++I)
        EXPECT_LT(A[I] - A[I - 1], 0.05) << I;
}

// Decodes every video frame of a file: the count, and whether all had the size given.
int DecodedFrames(const std::string& Path, int AWidth, int AHeight, bool& AAllOfSize) {
    AAllOfSize = true;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, Path.c_str(), nullptr, nullptr) < 0)
        return -1;
    InputPtr Guard(Ctx);
    avformat_find_stream_info(Ctx, nullptr);
    const AVCodec* Codec = nullptr;
    const int S = av_find_best_stream(Ctx, AVMEDIA_TYPE_VIDEO, -1, -1, &Codec, 0);
    if (S < 0)
        return -1;
    CodecContextPtr Dec(avcodec_alloc_context3(Codec));
    avcodec_parameters_to_context(Dec.get(), Ctx->streams[S]->codecpar);
    if (avcodec_open2(Dec.get(), Codec, nullptr) < 0)
        return -1;
    PacketPtr Pkt(av_packet_alloc());
    FramePtr Frame(av_frame_alloc());
    int Count = 0;
    auto Receive = [&] {
        while (avcodec_receive_frame(Dec.get(), Frame.get()) >= 0) {
            ++Count;
            AAllOfSize &= Frame->width == AWidth && Frame->height == AHeight;
        }
    };
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        if (Pkt->stream_index == S && avcodec_send_packet(Dec.get(), Pkt.get()) >= 0)
            Receive();
        av_packet_unref(Pkt.get());
    }
    avcodec_send_packet(Dec.get(), nullptr);
    Receive();
    return Count;
}

// The encoders stay open across the joined inputs (these libraries' encoders take no frames after
// they were drained); every input is scaled to the one size the output was made with (taken, as
// every setting, from the input opened last).
TEST_F(RunTest, JoinOfDifferentFrameSizesGivesOnePlayableOutput) {
    ClipOptions O;
    O.FileName = "run_small.avi";
    O.Duration = 2.0;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2")};
    const std::string& Small = WriteClip(O);
    const std::string OutName = Out("joined_sizes.mkv");
    TCustomFFmpeg T(4);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(Small)));
    T.ApplyOption(u"vcodec", u"mpeg4");
    T.ApplyOption(u"acodec", u"mp2");
    ASSERT_EQ(T.OpenOutputFile(UTF8ToString(OutName), true), 2);
    T.StartConvert(false);
    ASSERT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());
    EXPECT_TRUE(T.Finished());
    bool AllOfSize = false;
    EXPECT_EQ(DecodedFrames(OutName, 160, 120, AllOfSize), 125); // 3 s and 2 s at 25 fps
    EXPECT_TRUE(AllOfSize);
    const auto A = PacketTimes(OutName, AVMEDIA_TYPE_AUDIO);
    ASSERT_FALSE(A.empty());
    EXPECT_NEAR(A.back(), 5.0, 0.1);
}

TEST_F(RunTest, TwoPassReadsThePassOneLog) {
    const std::string Prefix = Out("pass");
    for (int Pass : {1, 2}) {
        const std::string OutName = Out("pass" + std::to_string(Pass) + ".avi");
        TCustomFFmpeg T(2);
        T.OptVerbose(-1);
        ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
        T.ApplyOption(u"vcodec", u"mpeg4");
        T.ApplyOption(u"b", u"200000");
        T.ApplyOption(u"an", u"1");
        T.ApplyOption(u"pass", UTF8ToString(std::to_string(Pass)));
        T.ApplyOption(u"passlogfile", UTF8ToString(Prefix));
        ASSERT_GT(T.OpenOutputFile(UTF8ToString(OutName), false), 0);
        T.StartConvert(false);
        ASSERT_FALSE(T.FatalException()) << Pass << ": " << UTF8Encode(T.FatalMessage());
        if (Pass == 1) {
            EXPECT_GT(fs::file_size(Prefix + "-0.log"), 0u);
        }
        int64_t Count = 0;
        PacketTimes(OutName, AVMEDIA_TYPE_VIDEO, &Count);
        EXPECT_EQ(Count, 75);
    }
    // Without the log the second pass fails with the log's name.
    fs::remove(Prefix + "-0.log");
    TCustomFFmpeg T(2);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    T.ApplyOption(u"vcodec", u"mpeg4");
    T.ApplyOption(u"pass", u"2");
    T.ApplyOption(u"passlogfile", UTF8ToString(Prefix));
    ASSERT_GT(T.OpenOutputFile(UTF8ToString(Out("nolog.avi")), false), 0);
    T.StartConvert(false);
    EXPECT_EQ(T.FatalMessage(),
              UTF8ToString("Cannot read file: Error reading log file \"" + Prefix + "-0.log\" for pass-2 encoding"));
}

TEST_F(RunTest, VolumeDoublesAndClips) {
    // Twice at 512: the first doubles the tone exactly, the second doubles it past the 16-bit range.
    std::string Source = FixturePath(Fixture::Wav);
    for (const char* Name : {"loud.wav", "louder.wav"}) {
        const std::string OutName = Out(Name);
        TCustomFFmpeg T(2);
        T.OptVerbose(-1);
        ASSERT_TRUE(T.OpenInputFile(UTF8ToString(Source)));
        T.ApplyOption(u"vol", u"512");
        ASSERT_GT(T.OpenOutputFile(UTF8ToString(OutName), false), 0);
        T.StartConvert(false);
        ASSERT_FALSE(T.FatalException()) << UTF8Encode(T.FatalMessage());
        const auto In = Samples(Source);
        const auto Loud = Samples(OutName);
        ASSERT_EQ(In.size(), Loud.size());
        int Clipped = 0;
        for (size_t I = 0; I < In.size(); ++I) {
            const int Expected = std::clamp((In[I] * 512 + 128) >> 8, -32768, 32767);
            ASSERT_EQ(Loud[I], Expected) << I;
            Clipped += Expected != (In[I] * 512 + 128) >> 8;
        }
        EXPECT_EQ(Clipped > 0, std::string(Name) == "louder.wav");
        Source = OutName;
    }
}

TEST_F(RunTest, AudioOnlyProgressReports) {
    TCustomFFmpeg T(2);
    T.OptVerbose(-1);
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    ASSERT_GT(T.OpenOutputFile(UTF8ToString(Out("a.mp3")), false), 0);
    struct Report {
        int File, Frame, Fps;
        float Q;
        Int64 Size, Cur, Total;
    };
    std::vector<Report> Reports;
    T.ReportInterval = 0;
    T.OnProgress = [&](TObject*, int F, int N, int Fps, float Q, float, Int64 S, Int64 C, Int64 Tot) {
        Reports.push_back({F, N, Fps, Q, S, C, Tot});
    };
    const Int64 Duration = T.InputFile(0)->duration;
    T.StartConvert(false);
    ASSERT_FALSE(Reports.empty());
    for (const Report& R : Reports) {
        EXPECT_EQ(R.Frame, -1);
        EXPECT_EQ(R.Fps, -1);
        EXPECT_FLOAT_EQ(R.Q, -1.0f);
        EXPECT_GE(R.Cur, 10000);
    }
    EXPECT_EQ(Reports.back().File, -1);
    EXPECT_NEAR(double(Reports.back().Cur), 2000000.0, 60000.0);
    EXPECT_EQ(Reports.back().Total, Duration);
    // The finished task's last report reaches the total.
    EXPECT_EQ(Reports.back().Cur, Duration);
}

} // namespace
