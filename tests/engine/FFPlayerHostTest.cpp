// The player in a host window of the headless screen: pictures reach the screen through the window's
// video surface, the player sits in the window's procedure chain while it plays and leaves it at Stop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "PlayerTestSupport.h"
#include "engine/FFPlayer.h"
#include "engine/MyUtils.h"
#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"
#include "support/MediaFixtures.h"

namespace {

using namespace std::chrono_literals;

struct TRgb {
    int R, G, B;
};
TRgb OnScreen(int X, int Y) {
    COLORREF C = ScreenPixel(X, Y);
    return {GetRValue(C), GetGValue(C), GetBValue(C)};
}
bool IsBlack(TRgb C) {
    return C.R == 0 && C.G == 0 && C.B == 0;
}
// The pattern's bars: one channel high, the other two low (lossy coding moves them a little).
bool IsRed(TRgb C) {
    return C.R > 180 && C.G + C.B < 120;
}
bool IsGreen(TRgb C) {
    return C.G > 180 && C.R + C.B < 120;
}
bool IsBlue(TRgb C) {
    return C.B > 180 && C.R + C.G < 120;
}

class FFPlayerHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        ASSERT_TRUE(qvtest::LoadPlayerLibraries(Player));
        WNDCLASSEXW C{};
        if (!GetClassInfoExW(nullptr, u"QvPlayerHost", &C)) {
            C = WNDCLASSEXW{};
            C.lpfnWndProc = DefWindowProcW;
            C.lpszClassName = u"QvPlayerHost";
            RegisterClassExW(&C);
        }
        Host = CreateWindowExW(0, u"QvPlayerHost", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 145, nullptr, nullptr,
                               nullptr, nullptr);
        ASSERT_TRUE(Host);
        Recorder.Attach(Player);
        ProcessPendingMessages();
    }
    void TearDown() override {
        Player.Stop(true);
        ResetWindowManager();
    }

    // Waits with the GUI thread's messages running, so that the host paints.
    template <typename F> bool WaitUntil(F ACond) {
        return qvtest::WaitUntil(ACond, [] {
            CheckSynchronize(0);
            ProcessPendingMessages();
        });
    }
    bool Has(TPlayState S) { return Recorder.Has(S); }
    std::vector<TPlayState> StatesSoFar() { return Recorder.StatesSoFar(); }

    TCustomPlayer Player{nullptr};
    HWND Host = nullptr;
    qvtest::TPlayerRecorder Recorder;
};

String AviClip() {
    return UTF8ToString(qvtest::FixturePath(qvtest::Fixture::Avi));
}

} // namespace

TEST_F(FFPlayerHostTest, APausedOpenShowsTheFirstPictureInTheHostAndFollowsItsSize) {
    ASSERT_TRUE(Player.Open(AviClip(), Host, true)) << UTF8Encode(Player.LastErrMsg());
    EXPECT_EQ(Player.ScreenHandle(), Host);
    ASSERT_TRUE(WaitUntil([&] { return Has(psPause) && IsGreen(OnScreen(120, 30)); }));
    // The pause follows the shown picture's position, so the two state reports never merge in the event ring.
    EXPECT_EQ(StatesSoFar(), (std::vector<TPlayState>{psPlay, psPause}));
    // 320x240 square pixels in 240x145: a 192x145 picture from x 24, black bars left and right.
    for (int Y : {0, 70, 144})
        for (int X : {0, 23, 216, 239})
            EXPECT_TRUE(IsBlack(OnScreen(X, Y))) << X << "," << Y;
    EXPECT_TRUE(IsRed(OnScreen(24 + 32, 30)));
    EXPECT_TRUE(IsBlue(OnScreen(216 - 32, 30)));

    // While playing, closing the host is not the output's business.
    SendMessageW(Host, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(Host));

    // A wider host: the paused picture is drawn again, 192 wide from x 64.
    SetWindowPos(Host, nullptr, 0, 0, 320, 145, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return IsRed(OnScreen(64 + 32, 30)) && IsBlack(OnScreen(63, 70)); }));
    EXPECT_TRUE(IsBlack(OnScreen(256, 70)));
    EXPECT_TRUE(IsBlue(OnScreen(256 - 32, 30)));

    Player.Stop(true);
    EXPECT_EQ(StatesSoFar().back(), psStop);
    EXPECT_EQ(Player.ScreenHandle(), nullptr);
    // The window's own procedure is back: a close closes it.
    SendMessageW(Host, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Host));
}

TEST_F(FFPlayerHostTest, TheHostGoingAwayWhilePlayingEndsNothingButItsPictures) {
    ASSERT_TRUE(Player.Open(AviClip(), Host, false));
    ASSERT_TRUE(WaitUntil([&] { return IsGreen(OnScreen(120, 30)); }));
    DestroyWindow(Host);
    ProcessPendingMessages();
    // The pipeline keeps running without a surface; the position still moves.
    Int64 Before = Player.CurrentPTS();
    ASSERT_TRUE(WaitUntil([&] { return Player.CurrentPTS() > Before + 200000; }));
    Player.Stop(true);
    EXPECT_EQ(StatesSoFar().back(), psStop);
}

TEST_F(FFPlayerHostTest, AHandleThatIsNoWindowFailsTheOpen) {
    HWND Gone = Host;
    DestroyWindow(Host);
    EXPECT_FALSE(Player.Open(AviClip(), Gone, false));
    EXPECT_EQ(Player.LastErrMsg().rfind(u"Could not initialize SDL with ScreenHandle(", 0), 0u)
        << UTF8Encode(Player.LastErrMsg());
    EXPECT_EQ(Player.PlayState(), psStop);
}
