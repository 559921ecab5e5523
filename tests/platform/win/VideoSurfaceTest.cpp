// The video surface: drawn by a worker, shown in the host's paint within its visible region, following the
// host's size, and safe when the host goes while a worker holds the lock.
#include "WinTestSupport.h"

#include "platform/win/VideoSurface.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class VideoSurface : public WinTest {};

void FillSurface(TVideoSurface& S, DWORD Colour) {
    TVideoSurface::TLockedPixels P;
    ASSERT_TRUE(S.Lock(P));
    for (int Y = 0; Y < P.Height; ++Y)
        for (int X = 0; X < P.Width; ++X)
            P.Bits[Y * P.Pitch + X] = Colour;
    S.Unlock();
    S.Invalidate();
}

TEST_F(VideoSurface, WorkerDrawsAndTheHostShowsItWithinItsVisibleRegion) {
    HWND Host = Log.Create("host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 40, 30);
    HWND Child = Log.Create("child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Host);
    HWND Over = Log.Create("over", WS_POPUP | WS_VISIBLE, 30, 20, 40, 30);
    SetClassLongPtrW(Host, GCLP_HBRBACKGROUND, LONG_PTR(GetStockObject(WHITE_BRUSH)));
    (void)Child;
    (void)Over;
    Pump();
    auto S = TVideoSurface::Create(Host);
    ASSERT_TRUE(S);
    EXPECT_EQ(S->Width(), 40);
    EXPECT_EQ(S->Height(), 30);
    std::thread T([&] { FillSurface(*S, 0x00FF0000); });
    T.join();
    Pump();
    EXPECT_EQ(ScreenPixel(20, 15), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(5, 5), RGB(255, 255, 255));   // the child keeps its place
    EXPECT_EQ(ScreenPixel(35, 25), RGB(255, 255, 255)); // the window above keeps its place
}

TEST_F(VideoSurface, FollowsTheHostSize) {
    HWND Host = Log.Create("host", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    auto S = TVideoSurface::Create(Host);
    std::vector<std::pair<int, int>> Sizes;
    S->OnResize = [&](int W, int H) { Sizes.push_back({W, H}); };
    SetWindowPos(Host, nullptr, 0, 0, 64, 48, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Host, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Sizes, (std::vector<std::pair<int, int>>{{64, 48}}));
    TVideoSurface::TLockedPixels P;
    ASSERT_TRUE(S->Lock(P));
    EXPECT_EQ(P.Width, 64);
    EXPECT_EQ(P.Height, 48);
    S->Unlock();
}

TEST_F(VideoSurface, DestroyingTheHostWhileAWorkerHoldsTheLock) {
    HWND Host = Log.Create("host", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    auto S = TVideoSurface::Create(Host);
    std::atomic<bool> Locked{false}, Destroying{false}, Destroyed{false};
    std::atomic<int> SecondLock{-1};
    std::thread T([&] {
        TVideoSurface::TLockedPixels P;
        ASSERT_TRUE(S->Lock(P));
        Locked = true;
        while (!Destroying)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        P.Bits[0] = 1; // still valid while locked
        S->Unlock();
        S->Invalidate();
        while (!Destroyed)
            std::this_thread::yield();
        SecondLock = S->Lock(P) ? 1 : 0;
        if (SecondLock == 1)
            S->Unlock();
    });
    while (!Locked)
        std::this_thread::yield();
    Destroying = true;
    DestroyWindow(Host);
    Destroyed = true;
    T.join();
    EXPECT_EQ(SecondLock, 0);
    EXPECT_FALSE(S->Alive());
    Pump();
}

TEST_F(VideoSurface, DetachedSurfaceLeavesTheChainAndLaterSubclassesKeepWorking) {
    HWND Host = Log.Create("host", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    auto S = TVideoSurface::Create(Host);
    // Someone subclasses the host above the surface, as the player does, and calls the surface below it.
    static WNDPROC Below = nullptr;
    Below = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Host, GWLP_WNDPROC));
    EXPECT_EQ(Below, S->Proc());
    SetWindowLongPtrW(Host, GWLP_WNDPROC,
                      LONG_PTR(+[](HWND h, UINT M, WPARAM W, LPARAM L) { return CallWindowProcW(Below, h, M, W, L); }));
    S->Detach();
    S.reset();
    Log.Clear();
    SendMessageW(Host, WM_USER, 0, 0);
    EXPECT_EQ(Log.Take(), (TSeq{"host:0x0400"}));
    InvalidateRect(Host, nullptr, TRUE);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"host:WM_PAINT", "host:WM_ERASEBKGND"}));
}

} // namespace

namespace {

TEST_F(VideoSurface, InvalidateRectFromAWorkerIsAppliedByTheGuiThread) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    Pump();
    Log.Clear();
    Log.Ignored.insert({WM_NCPAINT});
    std::thread T([&] {
        RECT R{1, 1, 5, 5};
        EXPECT_TRUE(InvalidateRect(A, &R, TRUE));
    });
    T.join();
    MSG M;
    ASSERT_TRUE(GetMessageW(&M, nullptr, 0, 0));
    EXPECT_EQ(M.message, WM_PAINT);
    DispatchMessageW(&M);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_PAINT", "a:WM_ERASEBKGND"}));
}

} // namespace
