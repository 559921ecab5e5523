#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "EngineLibraries.h"
#include "engine/AVCodecStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegLogger.h"
#include "platform/base/Threads.h"

namespace {

TEST(FFmpegLoggerLevels, MapToAndFromTheLibrariesNumbers) {
    const int AVLevels[] = {-8, 0, 8, 16, 24, 32, 40, 48};
    for (int L = llQuiet; L <= llDebug; ++L) {
        EXPECT_EQ(LogLevelToAVLevel(TLogLevel(L)), AVLevels[L]);
        EXPECT_EQ(AVLevelToLogLevel(AVLevels[L]), TLogLevel(L));
    }
    struct Case {
        int AVLevel;
        TLogLevel Level;
    } Cases[] = {{-16, llQuiet}, {-7, llPanic}, {20, llError}, {56, llDebug}, {1000, llDebug}};
    for (const Case& C : Cases)
        EXPECT_EQ(AVLevelToLogLevel(C.AVLevel), C.Level) << C.AVLevel;
}

struct TLine {
    Cardinal ThreadID;
    TLogLevel Level;
    String Msg;
    bool operator==(const TLine&) const = default;
};

void PrintTo(const TLine& L, std::ostream* OS) {
    *OS << "{" << L.ThreadID << ", " << L.Level << ", " << UTF8Encode(L.Msg) << "}";
}

class FFmpegLoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ProbeLibraries);
        Logger = GetFFLogger();
        Logger->SetLogLevel(llInfo);
        Logger->SetTriggerEventInMainThread(false);
        Logger->OnLog = [this](TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const String& ALogMsg) {
            std::lock_guard Guard(LinesLock);
            Lines.push_back({AThreadID, ALogLevel, ALogMsg});
            Senders.push_back(Sender);
            OnMainThread.push_back(IsMainThread());
        };
    }
    void TearDown() override {
        Logger->OnLog = nullptr;
        Logger->SetTriggerEventInMainThread(true);
        Logger->SetLogLevel(llInfo);
    }
    std::vector<TLine> Taken() {
        std::lock_guard Guard(LinesLock);
        return Lines;
    }

    TFFLogger* Logger = nullptr;
    std::mutex LinesLock;
    std::vector<TLine> Lines;
    std::vector<TObject*> Senders;
    std::vector<bool> OnMainThread;
};

TEST_F(FFmpegLoggerTest, OptLogLevelTakesNamesAndNumbers) {
    struct Case {
        const char16_t* Text;
        TLogLevel Level;
    } Cases[] = {{u"Warning", llWarning}, {u"DEBUG", llDebug}, {u"20", llError}, {u"-16", llQuiet}, {u"56", llDebug}};
    for (const Case& C : Cases) {
        Logger->OptLogLevel(C.Text);
        EXPECT_EQ(Logger->LogLevel(), C.Level) << UTF8Encode(String(C.Text));
    }
    EXPECT_THROW(Logger->OptLogLevel(u"loud"), EConvertError);
    // The level reaches the libraries.
    Logger->SetLogLevel(llError);
    EXPECT_EQ(av::av_log_get_level(), AV_LOG_ERROR);
}

TEST_F(FFmpegLoggerTest, MessagesPassTheLevelFilter) {
    TObject Sender;
    Logger->Log(&Sender, llVerbose, u"verbose");
    Logger->Log(&Sender, llDebug, u"debug");
    Logger->Log(&Sender, llError, u"error %d in %s", {7, u"a.avi"});
    Logger->SetLogLevel(llQuiet);
    Logger->Log(&Sender, llVerbose, u"verbose when quiet");
    Logger->Log(&Sender, llPanic, u"panic when quiet");
    Logger->Log(&Sender, llQuiet, u"quiet");
    Cardinal Me = CurrentThreadID();
    EXPECT_EQ(Taken(), (std::vector<TLine>{
                           {Me, llVerbose, u"verbose"}, {Me, llError, u"error 7 in a.avi"}, {Me, llQuiet, u"quiet"}}));
    EXPECT_EQ(Senders[0], &Sender);
}

TEST_F(FFmpegLoggerTest, NothingIsFormattedWithoutAHandlerOrBelowTheLevel) {
    EXPECT_NO_THROW(Logger->Log(nullptr, llDebug, u"%d", {u"not a number"}));
    Logger->OnLog = nullptr;
    EXPECT_NO_THROW(Logger->Log(nullptr, llError, u"%d", {u"not a number"}));
}

TEST_F(FFmpegLoggerTest, LibraryFragmentsAreAssembledIntoLines) {
    av::av_log(nullptr, AV_LOG_INFO, "abc");
    av::av_log(nullptr, AV_LOG_WARNING, "def\n");
    av::av_log(nullptr, AV_LOG_ERROR, "one\ntwo\n");
    av::av_log(nullptr, AV_LOG_DEBUG, "filtered by the libraries' level\n");
    Cardinal Me = CurrentThreadID();
    EXPECT_EQ(Taken(), (std::vector<TLine>{{Me, llWarning, u"abcdef"}, {Me, llError, u"one"}, {Me, llError, u"two"}}));
    EXPECT_EQ(Senders[0], Logger);
}

TEST_F(FFmpegLoggerTest, ALineFromAContextStartsWithItsNameAndAddress) {
    AVCodecContext* Context = av::avcodec_alloc_context3(av::avcodec_find_decoder(AV_CODEC_ID_MPEG4));
    av::av_log(Context, AV_LOG_ERROR, "first");
    av::av_log(Context, AV_LOG_ERROR, " part\n");
    char Expected[128];
    std::snprintf(Expected, sizeof Expected, "[mpeg4 @ %p]first part", static_cast<void*>(Context));
    av::avcodec_free_context(&Context);
    ASSERT_EQ(Taken().size(), 1u);
    EXPECT_EQ(Taken()[0].Msg, UTF8ToString(Expected));
}

// UTF-8 is decoded per whole line: a character split between two calls stays whole, and a byte
// that is no UTF-8 shows as its Latin-1 character.
TEST_F(FFmpegLoggerTest, LinesAreDecodedAsUTF8) {
    av::av_log(nullptr, AV_LOG_ERROR, "/media/caf\xc3");
    av::av_log(nullptr, AV_LOG_ERROR, "\xa9 \xe7\x89\x87.avi \xff\n");
    ASSERT_EQ(Taken().size(), 1u);
    EXPECT_EQ(Taken()[0].Msg, u"/media/café 片.avi ÿ");
}

// Fragments as the libraries hand them over, and the lines they make: characters split at any byte,
// empty lines, and bytes that are no UTF-8.
TEST_F(FFmpegLoggerTest, LineAssemblyTable) {
    struct Case {
        std::vector<const char*> Fragments;
        std::vector<String> Lines;
    } Cases[] = {
        {{"\xe7", "\x89", "\x87.mkv\n"}, {u"片.mkv"}},
        {{"clip \xf0\x9f", "\x8e\xac", "\n"}, {u"clip \U0001F3AC"}},
        {{"\n"}, {u""}},
        {{"a\n\nb", "\n"}, {u"a", u"", u"b"}},
        {{"cut \xc3", "(\n"}, {u"cut \u00c3("}},
        {{"\xe7\x89", "x\n"}, {u"\u00e7\u0089x"}},
    };
    for (const Case& C : Cases) {
        Lines.clear();
        for (const char* Fragment : C.Fragments)
            av::av_log(nullptr, AV_LOG_ERROR, "%s", Fragment);
        std::vector<String> Got;
        for (const TLine& L : Taken())
            Got.push_back(L.Msg);
        EXPECT_EQ(Got, C.Lines) << C.Fragments[0];
    }
}

// Library text longer than the 2048-byte buffer is cut, but a line ending in the format still ends
// the line.
TEST_F(FFmpegLoggerTest, ALongLibraryLineIsCutAndStillEnds) {
    std::string Long(3000, 'x');
    av::av_log(nullptr, AV_LOG_ERROR, "%s\n", Long.c_str());
    av::av_log(nullptr, AV_LOG_ERROR, "next\n");
    std::vector<TLine> Got = Taken();
    ASSERT_EQ(Got.size(), 2u);
    EXPECT_EQ(Got[0].Msg, String(2047, u'x'));
    EXPECT_EQ(Got[1].Msg, u"next");
}

TEST_F(FFmpegLoggerTest, EachThreadAssemblesItsOwnLines) {
    std::atomic<int> Step = 0;
    auto Worker = [&](const char* Name, int Turn, std::atomic<Cardinal>& Id) {
        Id = CurrentThreadID();
        for (int Part = 0; Part < 2; ++Part) {
            while (Step != Turn + 2 * Part)
                std::this_thread::yield();
            av::av_log(nullptr, AV_LOG_ERROR, Part == 0 ? "%s-start " : "%s-end\n", Name);
            ++Step;
        }
    };
    std::atomic<Cardinal> IdA = 0, IdB = 0;
    std::thread A(Worker, "a", 0, std::ref(IdA)), B(Worker, "b", 1, std::ref(IdB));
    A.join();
    B.join();
    EXPECT_EQ(Taken(), (std::vector<TLine>{{IdA, llError, u"a-start a-end"}, {IdB, llError, u"b-start b-end"}}));
}

TEST_F(FFmpegLoggerTest, OnLogRunsOnTheMainThreadWhileTheWorkerWaits) {
    Logger->SetTriggerEventInMainThread(true);
    std::atomic<bool> Done = false;
    std::atomic<Cardinal> WorkerID = 0;
    std::thread Worker([&] {
        WorkerID = CurrentThreadID();
        Logger->Log(nullptr, llError, u"from a worker");
        av::av_log(nullptr, AV_LOG_ERROR, "from the library\n");
        Done = true;
    });
    while (!Done)
        CheckSynchronize(10);
    Worker.join();
    Logger->Log(nullptr, llError, u"from the main thread");
    EXPECT_EQ(Taken(), (std::vector<TLine>{{WorkerID, llError, u"from a worker"},
                                           {WorkerID, llError, u"from the library"},
                                           {CurrentThreadID(), llError, u"from the main thread"}}));
    EXPECT_EQ(OnMainThread, (std::vector<bool>{true, true, true}));
}

TEST_F(FFmpegLoggerTest, LoadingTheUtilityLibraryInstallsTheCallbackAgain) {
    av::av_log_set_callback(av::av_log_default_callback);
    FFLoader().SetInstallLogger(false);
    ASSERT_TRUE(FFLoader().Load(avUtil));
    av::av_log(nullptr, AV_LOG_ERROR, "to the default callback\n");
    FFLoader().SetInstallLogger(true);
    ASSERT_TRUE(FFLoader().Load(avUtil));
    av::av_log(nullptr, AV_LOG_ERROR, "to the logger\n");
    EXPECT_EQ(Taken(), (std::vector<TLine>{{CurrentThreadID(), llError, u"to the logger"}}));
}

TEST_F(FFmpegLoggerTest, OnlyOneLoggerMayExist) {
    try {
        TFFLogger Second(nullptr);
        ADD_FAILURE() << "a second logger was created";
    } catch (const EAssertionFailed& E) {
        EXPECT_EQ(E.Message(), u"Allow creating only one instance of TFFLogger.");
    }
    EXPECT_EQ(GetFFLogger(), Logger);
}

} // namespace
