// Frame-hook plug-ins: loading, configuring, the chain, the failures and their log lines, the
// "vhook" option, and the hooks run on every decoded picture of a conversion.
#include "engine/FrameHook.h"
#include "engine/FFConverter.h"
#include "engine/FFmpeg.h"
#include "engine/MyUtils.h"

#include "EngineLibraries.h"
#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

struct HookState {
    int Configures, Processes, Releases;
    int LastArgc;
    char LastArg1[64];
    int PixFmt, Width, Height;
    int64_t FirstPts, LastPts;
};

std::string StubPath(const char* AName) {
    return UTF8Encode(GetAppPath()) + "stubs/lib" + AName + ".so";
}

// The state of the stub plug-in as loaded from APath.
HookState* StateOf(const std::string& APath) {
    void* Handle = dlopen(APath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!Handle)
        return nullptr;
    auto Fn = reinterpret_cast<HookState* (*)()>(dlsym(Handle, "StubFrameHookState"));
    dlclose(Handle);
    return Fn ? Fn() : nullptr;
}

std::vector<std::string> LogLines;
void CaptureLog(void*, int ALevel, const char* AFormat, va_list AArgs) {
    if (ALevel > AV_LOG_ERROR)
        return;
    char Line[1024];
    vsnprintf(Line, sizeof Line, AFormat, AArgs);
    LogLines.push_back(Line);
}

class FrameHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ConverterLibraries);
        av_log_set_level(AV_LOG_ERROR);
        LogLines.clear();
        av_log_set_callback(CaptureLog);
        Dir = Temp.Folder();
    }
    void TearDown() override { av_log_set_callback(av_log_default_callback); }
    TTempDir Temp;
    fs::path Dir;
};

int Add(PFrameHookEntry& AFirst, std::vector<std::string> AArgs) {
    std::vector<char*> Argv;
    for (std::string& A : AArgs)
        Argv.push_back(A.data());
    Argv.push_back(nullptr);
    return FrameHookAdd(AFirst, int(AArgs.size()), Argv.data());
}

TEST_F(FrameHookTest, FailuresAddNothingAndLogTheirReason) {
    const std::string NoProcess = StubPath("qv_stub_framehook_noprocess");
    const std::string ProcessOnly = StubPath("qv_stub_framehook_processonly");
    const std::string Full = StubPath("qv_stub_framehook");
    struct Case {
        std::vector<std::string> Args;
        int Result;
        std::string Log; // empty: none
    } Cases[] = {
        {{}, -2, ""},
        {{(Dir / "absent.so").string()},
         -1,
         (Dir / "absent.so").string() + ": cannot open shared object file: No such file or directory\n"},
        {{NoProcess}, -2, "Failed to find Process entrypoint in " + NoProcess + "\n"},
        {{ProcessOnly, "arg"}, -2, "Failed to find Configure entrypoint in " + ProcessOnly + "\n"},
        {{Full, "refuse"}, -22, "Failed to Configure " + Full + "\n"},
    };
    for (const Case& C : Cases) {
        LogLines.clear();
        PFrameHookEntry Chain = nullptr;
        EXPECT_EQ(Add(Chain, C.Args), C.Result) << (C.Args.empty() ? "" : C.Args[0]);
        EXPECT_EQ(Chain, nullptr);
        if (C.Log.empty())
            EXPECT_TRUE(LogLines.empty());
        else
            EXPECT_EQ(LogLines, std::vector<std::string>{C.Log});
    }
}

TEST_F(FrameHookTest, ALibraryIsLoadedOnceAndEachUseConfiguresItsOwnEntry) {
    // A private copy, deleted after the first use: the second use can only come from the loaded one.
    const fs::path Copy = Dir / "hook.so";
    fs::copy_file(StubPath("qv_stub_framehook"), Copy);
    PFrameHookEntry Chain = nullptr;
    ASSERT_EQ(Add(Chain, {Copy.string(), "first"}), 0);
    HookState* State = StateOf(Copy.string());
    ASSERT_NE(State, nullptr);
    fs::remove(Copy);
    ASSERT_EQ(Add(Chain, {Copy.string(), "second"}), 0);
    EXPECT_EQ(State->Configures, 2);
    EXPECT_STREQ(State->LastArg1, "second");
    ASSERT_NE(Chain, nullptr);
    ASSERT_NE(Chain->next, nullptr);
    EXPECT_NE(Chain->ctx, Chain->next->ctx);

    uint8_t Pixels[16] = {};
    TFrameHookPicture Picture{{Pixels}, {4}};
    FrameHookProcess(Chain, &Picture, AV_PIX_FMT_GRAY8, 4, 4, 1234);
    EXPECT_EQ(State->Processes, 2);
    EXPECT_EQ(State->LastPts, 1234);
    FrameHookRelease(Chain);
    EXPECT_EQ(Chain, nullptr);
    EXPECT_EQ(State->Releases, 2);
}

TEST_F(FrameHookTest, ALibraryWithoutConfigureRunsWithoutAContext) {
    const std::string Path = StubPath("qv_stub_framehook_processonly");
    PFrameHookEntry Chain = nullptr;
    ASSERT_EQ(Add(Chain, {Path}), 0);
    TFrameHookPicture Picture{};
    FrameHookProcess(Chain, &Picture, 0, 0, 0, 0);
    void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(Handle, nullptr);
    int WithoutContext = 0;
    const int Calls = reinterpret_cast<int (*)(int*)>(dlsym(Handle, "StubProcessOnlyCalls"))(&WithoutContext);
    dlclose(Handle);
    EXPECT_GE(Calls, 1);
    EXPECT_EQ(WithoutContext, Calls);
    FrameHookRelease(Chain);
}

TEST_F(FrameHookTest, VhookOptionSplitsItsValue) {
    const std::string Path = StubPath("qv_stub_framehook");
    struct Case {
        std::string Value;
        int Argc;
        const char* Arg1;
    } Cases[] = {
        {Path + "  one two", 3, "one"},
        {Path + "|one two|three", 3, "one two"},
        {Path, 1, ""},
    };
    for (const Case& C : Cases) {
        TCustomFFmpeg Task(1);
        Task.ApplyOption(u"vhook", UTF8ToString(C.Value));
        HookState* State = StateOf(Path);
        ASSERT_NE(State, nullptr);
        EXPECT_EQ(State->LastArgc, C.Argc) << C.Value;
        EXPECT_STREQ(State->LastArg1, C.Arg1) << C.Value;
    }
    TCustomFFmpeg Task(1);
    const std::string Bad = StubPath("qv_stub_framehook_noprocess") + " x";
    try {
        Task.ApplyOption(u"vhook", UTF8ToString(Bad));
        ADD_FAILURE() << "no exception";
    } catch (const FFmpegException& E) {
        EXPECT_EQ(E.Message(), u"Failed to add video hook function: " + UTF8ToString(Bad));
    }
}

// Mean of the luma plane of the first decoded video frame of a file.
double FirstFrameLuma(const std::string& APath) {
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, APath.c_str(), nullptr, nullptr) < 0)
        return -1;
    InputPtr Guard(Ctx);
    avformat_find_stream_info(Ctx, nullptr);
    const AVCodec* Codec = nullptr;
    const int S = av_find_best_stream(Ctx, AVMEDIA_TYPE_VIDEO, -1, -1, &Codec, 0);
    if (S < 0)
        return -1;
    CodecContextPtr Dec(avcodec_alloc_context3(Codec));
    avcodec_parameters_to_context(Dec.get(), Ctx->streams[S]->codecpar);
    avcodec_open2(Dec.get(), Codec, nullptr);
    PacketPtr Pkt(av_packet_alloc());
    FramePtr Frame(av_frame_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        const bool Mine = Pkt->stream_index == S;
        if (Mine)
            avcodec_send_packet(Dec.get(), Pkt.get());
        av_packet_unref(Pkt.get());
        if (Mine && avcodec_receive_frame(Dec.get(), Frame.get()) >= 0) {
            double Sum = 0;
            for (int Y = 0; Y < Frame->height; ++Y)
                for (int X = 0; X < Frame->width; ++X)
                    Sum += Frame->data[0][Y * Frame->linesize[0] + X];
            return Sum / (Frame->width * Frame->height);
        }
    }
    return -1;
}

TEST_F(FrameHookTest, AConversionPassesEveryDecodedPictureThroughTheHook) {
    const std::string Path = StubPath("qv_stub_framehook");
    HookState Before{};
    if (HookState* S = StateOf(Path))
        Before = *S;
    TFFConverter Conv(nullptr);
    const int Index = Conv.AddTask(UTF8ToString(FixturePath(Fixture::Avi)));
    ASSERT_EQ(Index, 0);
    const std::string Out = (Dir / "black.avi").string();
    ASSERT_TRUE(
        Conv.SetOutputFile(Index, UTF8ToString(Out), UTF8ToString("TimeLength=1000000\nvhook=" + Path + " black")))
        << UTF8Encode(Conv.LastErrMsg());
    HookState* State = StateOf(Path);
    ASSERT_NE(State, nullptr);
    EXPECT_EQ(State->Configures, Before.Configures + 1);
    std::vector<TTerminateInfo> Reports;
    Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Reports.push_back(I); };
    Conv.Start(0);
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_TRUE(Reports[0].Finished) << UTF8Encode(Reports[0].ExceptionMsg);

    // One call per decoded picture of the first second (25 fps), each in time order.
    const int Calls = State->Processes - Before.Processes;
    EXPECT_GE(Calls, 25);
    EXPECT_LE(Calls, 27);
    EXPECT_EQ(State->Width, 320);
    EXPECT_EQ(State->Height, 240);
    EXPECT_EQ(State->PixFmt, AV_PIX_FMT_YUV420P);
    EXPECT_GT(State->LastPts, State->FirstPts);
    EXPECT_EQ(State->Releases, Before.Releases + 1);
    // The encoder saw the pictures the hook painted black.
    EXPECT_NEAR(FirstFrameLuma(Out), 16.0, 3.0);
}

TEST_F(FrameHookTest, CopiedVideoRefusesHooksThatNeedDecodedPictures) {
    const std::string Path = StubPath("qv_stub_framehook");
    struct {
        std::string Options;
        const char* Error;
    } Cases[] = {{"vhook=" + Path + " black", "-vcodec copy and -vhook are incompatible (frames are not decoded)"},
                 {"CustomHook=1", "-vcodec copy and CustomHook are incompatible (frames are not decoded)"}};
    for (const auto& C : Cases) {
        TFFConverter Conv(nullptr);
        ASSERT_EQ(Conv.AddTask(UTF8ToString(FixturePath(Fixture::Avi))), 0);
        const std::string Out = (Dir / "copied.avi").string();
        ASSERT_TRUE(Conv.SetOutputFile(0, UTF8ToString(Out), UTF8ToString("vcodec=copy\nan=1\n" + C.Options)))
            << UTF8Encode(Conv.LastErrMsg());
        std::vector<TTerminateInfo> Reports;
        Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Reports.push_back(I); };
        Conv.Start(0);
        ASSERT_EQ(Reports.size(), 2u);
        EXPECT_FALSE(Reports[0].Finished);
        EXPECT_EQ(UTF8Encode(Reports[0].ExceptionMsg), C.Error);
    }
}

TEST_F(FrameHookTest, CustomHookSeesEachPictureUntilItStopsItself) {
    TFFConverter Conv(nullptr);
    ASSERT_EQ(Conv.AddTask(UTF8ToString(FixturePath(Fixture::Avi))), 0);
    const std::string Out = (Dir / "hooked.avi").string();
    TOutputOptions O;
    O.TimeLength = 1000000;
    O.CustomHook = true;
    ASSERT_TRUE(Conv.SetOutputFile(0, UTF8ToString(Out), &O)) << UTF8Encode(Conv.LastErrMsg());
    std::vector<int> Frames;
    Conv.OnCustomHook = [&](TObject* Sender, PHookInfo AInfo) {
        EXPECT_EQ(Sender, &Conv);
        EXPECT_EQ(AInfo->TaskIndex, 0);
        ASSERT_NE(AInfo->Bitmap, nullptr);
        EXPECT_EQ(AInfo->Bitmap->Width(), 320);
        EXPECT_EQ(AInfo->Bitmap->Height(), 240);
        EXPECT_TRUE(AInfo->Update);
        EXPECT_FALSE(AInfo->StopHook);
        Frames.push_back(AInfo->FrameNumber);
        // The handler paints the picture black and asks to be called no more after five.
        for (int Y = 0; Y < 240; ++Y)
            memset(AInfo->Bitmap->ScanLine(Y), 0, 320 * 4);
        AInfo->StopHook = Frames.size() == 5;
    };
    std::vector<TTerminateInfo> Reports;
    Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Reports.push_back(I); };
    Conv.Start(0);
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_TRUE(Reports[0].Finished) << UTF8Encode(Reports[0].ExceptionMsg);
    EXPECT_EQ(Frames, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_NEAR(FirstFrameLuma(Out), 16.0, 3.0);
}

} // namespace
