// Closing the main window while a conversion runs: the handlers that would touch the window are detached first,
// the engine is stopped and waited for, and only then the log's handler goes.
#include "AppFixture.h"

#include <chrono>

#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "support/MediaFixtures.h"

using namespace qvtest;

namespace {

class ShutdownTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // The engine waits for its workers in real time.
        SetWinClock(nullptr);
    }
};

} // namespace

TEST_F(ShutdownTest, ClosingDuringAConversionStopsTheEngineAfterDetachingItsHandlers) {
    ClipOptions Clip;
    Clip.FileName = "shutdown-long.avi";
    Clip.Duration = 60;
    Clip.Streams = {VideoStream("mpeg4", 320, 240), AudioStream("mp2")};
    const String Input = UTF8ToString(WriteClip(Clip));

    StartProgram();
    TFFConverter* Conv = Form1->FFConv;
    ASSERT_TRUE(Conv->LoadAVLib(GetAppPath() + u"LibAV")) << UTF8Encode(Conv->LastErrMsg());
    const int Task = Conv->AddTask(Input);
    ASSERT_EQ(Task, 0) << UTF8Encode(Conv->LastErrMsg());
    TOutputOptions Out;
    InitOutputOptions(Out);
    Out.VideoCodec = u"libx264";
    Out.FrameSize = u"1280*720";
    ASSERT_TRUE(Conv->SetOutputFile(Task, Exe.Path() + u"out.mp4", &Out)) << UTF8Encode(Conv->LastErrMsg());

    int Progress = 0, Reports = 0;
    Conv->OnProgress = [&](TObject*, PProgressInfo) { ++Progress; };
    Conv->OnTerminate = [&](TObject*, const TTerminateInfo&) { ++Reports; };
    Form1->Show();
    Conv->Start(1);
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Progress == 0 && Reports == 0 && std::chrono::steady_clock::now() < Limit)
        CheckSynchronize(10);
    ASSERT_GT(Progress, 0);
    ASSERT_EQ(Reports, 0) << "the conversion ended before the window closed";

    Form1->Close();
    EXPECT_TRUE(Conv->Terminated());
    EXPECT_EQ(Reports, 0); // the stopped task's report reached no handler
    EXPECT_FALSE(Conv->OnProgress);
    EXPECT_FALSE(Conv->OnTerminate);
    EXPECT_FALSE(Conv->OnCustomHook);
    EXPECT_FALSE(Form1->RUDezari->OnPosition);
    EXPECT_FALSE(Form1->RUDezari->OnState);
    EXPECT_FALSE(Form1->RUDezari->OnHook);
    EXPECT_TRUE(Form1->RUDezari->OnFileOpen);
    EXPECT_FALSE(Form1->FFLogger->OnLog);
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
}
