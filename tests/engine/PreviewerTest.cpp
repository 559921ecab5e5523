// The preview window: its size, place, caption and picture, dragging it by its picture, closing it,
// and a headless screenshot of it while a conversion runs.
#include "engine/Previewer.h"
#include "engine/FFConverter.h"

#include "EngineLibraries.h"
#include "support/MediaFixtures.h"

#include "platform/gdi/WinGdi.h"
#include "platform/win/Messages.h"
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

std::vector<HWND> PreviewWindows() {
    std::vector<HWND> Found;
    EnumWindows(
        [](HWND H, LPARAM P) -> BOOL {
            WCHAR Name[64] = {};
            GetClassNameW(H, Name, 64);
            if (String(Name) == u"TPreviewer")
                reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Found));
    return Found;
}

String Caption(HWND H) {
    WCHAR Text[64] = {};
    GetWindowTextW(H, Text, 64);
    return Text;
}

// A picture of one colour (0xRRGGBB) with a different colour in its left half.
std::unique_ptr<TBitmap> Picture(int AWidth, int AHeight, DWORD ALeft, DWORD ARight) {
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(pf24bit);
    B->SetSize(AWidth, AHeight);
    for (int Y = 0; Y < AHeight; ++Y) {
        auto* Row = static_cast<uint8_t*>(B->ScanLine(Y));
        for (int X = 0; X < AWidth; ++X) {
            const DWORD C = X < AWidth / 2 ? ALeft : ARight;
            Row[X * 3] = BYTE(C), Row[X * 3 + 1] = BYTE(C >> 8), Row[X * 3 + 2] = BYTE(C >> 16);
        }
    }
    return B;
}

// The screen's colour at a point of a window's client area, as 0xRRGGBB.
DWORD ClientPixel(HWND H, int X, int Y) {
    POINT P{X, Y};
    ClientToScreen(H, &P);
    const COLORREF C = ScreenPixel(P.X, P.Y);
    return DWORD(GetRValue(C)) << 16 | DWORD(GetGValue(C)) << 8 | GetBValue(C);
}

class PreviewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        Dir = Temp.Folder();
    }
    void TearDown() override { ResetWindowManager(); }
    TTempDir Temp;
    fs::path Dir;
};

TEST_F(PreviewerTest, FirstFrameSizesTheWindowLaterFramesAreDrawnUnscaledAndClosingEndsIt) {
    TPreviewer Previewer;
    EXPECT_TRUE(PreviewWindows().empty());
    auto First = Picture(320, 240, 0xFF0000, 0x0000FF);
    ASSERT_TRUE(Previewer.PaintFrame(First.get(), 1, 1500000));
    ProcessPendingMessages();
    const std::vector<HWND> Windows = PreviewWindows();
    ASSERT_EQ(Windows.size(), 1u);
    HWND H = Windows[0];
    EXPECT_TRUE(IsWindowVisible(H));
    EXPECT_EQ(GetWindowLongPtrW(H, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              LONG_PTR(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    RECT Client, Outer;
    GetClientRect(H, &Client);
    EXPECT_EQ(Client, (RECT{0, 0, 320, 240}));
    GetWindowRect(H, &Outer);
    EXPECT_NEAR((Outer.Left + Outer.Right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((Outer.Top + Outer.Bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(Caption(H), u"00:00:01.500");
    EXPECT_EQ(ClientPixel(H, 5, 5), 0xFF0000u);
    EXPECT_EQ(ClientPixel(H, 315, 235), 0x0000FFu);

    // A bigger frame: the window keeps its size and shows the frame's top-left part.
    auto Second = Picture(640, 480, 0x00FF00, 0xFFFFFF);
    ASSERT_TRUE(Previewer.PaintFrame(Second.get(), 2, AV_NOPTS_VALUE));
    ProcessPendingMessages();
    GetClientRect(H, &Client);
    EXPECT_EQ(Client, (RECT{0, 0, 320, 240}));
    EXPECT_EQ(Caption(H), u"N/A");
    EXPECT_EQ(ClientPixel(H, 315, 235), 0x00FF00u);
    EXPECT_TRUE(SaveWindowToPng(H, (Dir / "preview.png").string()));

    // Dragged by its picture.
    POINT P{160, 120};
    ClientToScreen(H, &P);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(P.X + 20, P.Y + 10);
    InjectMouseMove(P.X + 40, P.Y + 30);
    InjectMouseButton(0, false);
    ProcessPendingMessages();
    RECT Moved;
    GetWindowRect(H, &Moved);
    EXPECT_EQ(Moved, (RECT{Outer.Left + 40, Outer.Top + 30, Outer.Right + 40, Outer.Bottom + 30}));

    // Closed by the user: no window comes back.
    PostMessageW(H, WM_CLOSE, 0, 0);
    ProcessPendingMessages();
    EXPECT_FALSE(IsWindow(H));
    EXPECT_FALSE(Previewer.PaintFrame(First.get(), 3, 0));
    ProcessPendingMessages();
    EXPECT_TRUE(PreviewWindows().empty());
}

TEST_F(PreviewerTest, ConversionShowsItsFramesUntilTheWindowIsClosed) {
    LoadEngineLibraries(ConverterLibraries);
    av_log_set_level(AV_LOG_QUIET);
    TFFConverter Conv(nullptr);
    Conv.SetPreview(true);
    ASSERT_EQ(Conv.AddTask(UTF8ToString(FixturePath(Fixture::Avi))), 0);
    ASSERT_TRUE(Conv.SetOutputFile(0, UTF8ToString((Dir / "out.avi").string())));
    std::vector<TTerminateInfo> Reports;
    int WindowsAfterClose = 0;
    bool Closed = false;
    Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Reports.push_back(I); };
    Conv.OnProgress = [&](TObject*, PProgressInfo) {
        if (Closed)
            WindowsAfterClose += int(PreviewWindows().size());
    };
    auto PumpUntil = [](auto ADone) {
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!ADone() && std::chrono::steady_clock::now() < Limit) {
            CheckSynchronize(5);
            ProcessPendingMessages();
        }
        return ADone();
    };
    Conv.Start(1);
    ASSERT_TRUE(PumpUntil([] { return !PreviewWindows().empty(); }));
    Conv.Pause();
    HWND H = PreviewWindows()[0];
    ProcessPendingMessages();

    // The screenshot (kept beside the test programs for a person to look at) shows the test
    // pattern: red, green and blue bars across the top half.
    fs::create_directories("screenshots");
    const std::string Shot = "screenshots/preview-during-conversion.png";
    EXPECT_TRUE(SaveScreenToPng(Shot));
    EXPECT_GT(fs::file_size(Shot), 1000u);
    RECT Client;
    GetClientRect(H, &Client);
    EXPECT_EQ(Client, (RECT{0, 0, 320, 240}));
    const DWORD Bars[] = {ClientPixel(H, 53, 60), ClientPixel(H, 160, 60), ClientPixel(H, 266, 60)};
    for (int I = 0; I < 3; ++I)
        for (int Channel = 0; Channel < 3; ++Channel) {
            const int V = int(Bars[I] >> (16 - 8 * Channel) & 0xFF);
            if (Channel == I)
                EXPECT_GT(V, 180) << "bar " << I << " channel " << Channel;
            else
                EXPECT_LT(V, 80) << "bar " << I << " channel " << Channel;
        }
    EXPECT_NE(Caption(H), u"");

    PostMessageW(H, WM_CLOSE, 0, 0);
    ProcessPendingMessages();
    Closed = true;
    Conv.Resume();
    ASSERT_TRUE(PumpUntil([&] { return !Reports.empty() && Reports.back().TaskIndex < 0; }));
    EXPECT_TRUE(Reports[0].Finished) << UTF8Encode(Reports[0].ExceptionMsg);
    EXPECT_EQ(WindowsAfterClose, 0);
    EXPECT_TRUE(PreviewWindows().empty());
    EXPECT_TRUE(Conv.Preview());
}

TEST_F(PreviewerTest, PreviewBitmapEventTakesThePlaceOfTheWindow) {
    LoadEngineLibraries(ConverterLibraries);
    av_log_set_level(AV_LOG_QUIET);
    TFFConverter Conv(nullptr);
    Conv.SetPreview(true);
    Conv.SetPreviewBitmap(true);
    ASSERT_EQ(Conv.AddTask(UTF8ToString(FixturePath(Fixture::Avi))), 0);
    ASSERT_TRUE(Conv.SetOutputFile(0, UTF8ToString((Dir / "out.avi").string())));
    std::vector<TPreviewInfo> Pictures;
    bool OnGuiThread = true;
    int Windows = 0;
    Conv.OnPreviewBitmap = [&](TObject*, const TPreviewInfo& I) {
        OnGuiThread &= IsMainThread();
        Windows += int(PreviewWindows().size());
        EXPECT_EQ(I.Bitmap->Width(), 320);
        EXPECT_EQ(I.Bitmap->Height(), 240);
        Pictures.push_back(I);
        // Holding the worker past the preview interval makes the next frame due however fast the machine converts.
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
    };
    bool Ended = false;
    Conv.OnTerminate = [&](TObject*, const TTerminateInfo& I) { Ended |= I.TaskIndex < 0; };
    Conv.Start(1);
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Ended && std::chrono::steady_clock::now() < Limit) {
        CheckSynchronize(5);
        ProcessPendingMessages();
    }
    ASSERT_TRUE(Ended);
    ASSERT_GE(Pictures.size(), 2u);
    EXPECT_TRUE(OnGuiThread);
    EXPECT_EQ(Windows, 0);
    for (size_t I = 1; I < Pictures.size(); ++I) {
        EXPECT_EQ(Pictures[I].TaskIndex, 0);
        EXPECT_GT(Pictures[I].FrameNumber, Pictures[I - 1].FrameNumber);
        EXPECT_GT(Pictures[I].PTS, Pictures[I - 1].PTS);
    }
}

} // namespace
