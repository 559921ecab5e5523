// Input routing: WindowFromPoint, capture with mouse leave, double clicks, wheel, keys, focus, z-order
// and styles.
#include "WinTestSupport.h"

namespace {

class WinInput : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        Log.Ignored.insert({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
    }
};

LRESULT TransparentHit(HWND h, UINT M, WPARAM W, LPARAM L) {
    if (M == WM_NCHITTEST)
        return HTTRANSPARENT;
    return DefWindowProcW(h, M, W, L);
}

TEST_F(WinInput, WindowFromPointTable) {
    HWND Back = Log.Create("back", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400);
    HWND Child = Log.Create("child", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, Back);
    HWND Disabled = Log.Create("disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED, 150, 10, 100, 100, Back);
    HWND Hidden = Log.Create("hidden", WS_CHILD, 10, 150, 100, 100, Back);
    WNDCLASSEXW K;
    K.lpszClassName = u"Transparent";
    K.lpfnWndProc = &TransparentHit;
    RegisterClassExW(&K);
    HWND PassHit = CreateWindowExW(0, u"Transparent", u"", WS_CHILD | WS_VISIBLE, 150, 150, 100, 100, Back, nullptr,
                                   nullptr, nullptr);
    HWND ClickThrough =
        Log.Create("through", WS_POPUP | WS_VISIBLE, 300, 0, 100, 100, nullptr, WS_EX_LAYERED | WS_EX_TRANSPARENT);
    HWND TransparentOnly = Log.Create("tonly", WS_POPUP | WS_VISIBLE, 300, 300, 100, 100, nullptr, WS_EX_TRANSPARENT);
    HWND DisabledTop = Log.Create("dtop", WS_POPUP | WS_VISIBLE | WS_DISABLED, 500, 0, 100, 100);
    (void)Hidden;
    struct Case {
        int X, Y;
        HWND Expected;
    } Cases[] = {
        {20, 20, Child},             // the innermost window
        {160, 20, Back},             // a disabled child lets its parent take the point
        {20, 160, Back},             // a hidden child is skipped
        {160, 160, Back},            // a child answering HTTRANSPARENT passes the point on
        {350, 50, Back},             // layered and transparent: clicks pass through
        {350, 350, TransparentOnly}, // transparent alone still takes clicks
        {550, 50, DisabledTop},      // a disabled top-level window holds the point
        {1000, 1000, nullptr},
    };
    (void)PassHit;
    (void)ClickThrough;
    (void)Disabled;
    for (auto& C : Cases)
        EXPECT_EQ(WindowFromPoint(POINT{C.X, C.Y}), C.Expected) << C.X << "," << C.Y;
}

TEST_F(WinInput, DisabledWindowGetsNoInput) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    EnableWindow(A, FALSE);
    Log.Clear();
    InjectClick(50, 50);
    InjectKeyPress('A');
    Pump();
    EXPECT_EQ(Log.Take(), TSeq{});
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WinInput, CaptureKeepsTheMouseAndLeaveFollowsItsRelease) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    (void)B;
    Pump();
    InjectMouseMove(50, 50);
    Pump();
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_LEAVE;
    T.hwndTrack = A;
    EXPECT_TRUE(TrackMouseEvent(&T));
    SetCapture(A);
    Log.Clear();
    InjectMouseMove(250, 50); // over b, but a holds the capture
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_MOUSEMOVE(250,50)"}));
    ReleaseCapture();
    InjectMouseMove(251, 50);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_CAPTURECHANGED", "a:WM_MOUSELEAVE", "b:WM_MOUSEMOVE(51,50)"}));
}

TEST_F(WinInput, TrackingAWindowNotUnderTheMouseLeavesAtOnce) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    Log.Clear();
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_LEAVE;
    T.hwndTrack = A;
    TrackMouseEvent(&T);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_MOUSELEAVE"}));
}

TEST_F(WinInput, DoubleClicksNeedTheClassStyleAndTheDoubleClickTime) {
    HWND Plain = Log.Create("plain", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND Dbl = Log.Create("dbl", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr, 0, CS_DBLCLKS);
    (void)Plain;
    (void)Dbl;
    Pump();
    Log.Ignored.insert({WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSEACTIVATE, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                        WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS});
    Log.Clear();
    InjectClick(50, 50);
    InjectClick(50, 50);
    InjectClick(250, 50);
    InjectClick(251, 51);
    Pump();
    Sleep(600);
    InjectClick(250, 50);
    Pump();
    EXPECT_EQ(Log.Take(),
              (TSeq{"plain:WM_LBUTTONDOWN(50,50)", "plain:WM_LBUTTONDOWN(50,50)", "dbl:WM_LBUTTONDOWN(50,50)",
                    "dbl:WM_LBUTTONDBLCLK(51,51)", "dbl:WM_LBUTTONDOWN(50,50)"}));
}

TEST_F(WinInput, KeysGoToTheFocusAndTranslateToCharacters) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND C = Log.Create("c", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, A);
    SetFocus(C);
    Pump();
    Log.Clear();
    InjectKey(VK_SHIFT, true);
    InjectKeyPress('Q');
    InjectKey(VK_SHIFT, false);
    InjectKeyPress('2');
    InjectMouseWheel(-120);
    InjectChar(u'中');
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"c:WM_KEYDOWN(16)", "c:WM_KEYDOWN(81)", "c:WM_CHAR(Q)", "c:WM_KEYUP(81)",
                                "c:WM_KEYUP(16)", "c:WM_KEYDOWN(50)", "c:WM_CHAR(2)", "c:WM_KEYUP(50)",
                                "c:WM_MOUSEWHEEL", "a:WM_MOUSEWHEEL", "c:WM_CHAR(20013)"}));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(WinInput, KeyStateFollowsTheMessagesTaken) {
    Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    InjectKey(VK_CONTROL, true);
    EXPECT_NE(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0); // not taken yet
    Pump();
    EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);
    InjectKeyPress(VK_CAPITAL);
    Pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

TEST_F(WinInput, FocusAndActivationOfSetFocus) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND C = Log.Create("c", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, A);
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    Pump();
    ASSERT_EQ(GetActiveWindow(), B);
    Log.Clear();
    Log.Ignored.insert({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED});
    EXPECT_EQ(SetFocus(C), B);
    EXPECT_EQ(Log.Take(), (TSeq{"b:WM_NCACTIVATE(0)", "b:WM_ACTIVATE(0)", "a:WM_NCACTIVATE(1)", "a:WM_ACTIVATE(1)",
                                "b:WM_KILLFOCUS", "a:WM_SETFOCUS", "a:WM_KILLFOCUS", "c:WM_SETFOCUS"}));
    EXPECT_EQ(GetFocus(), C);
    EXPECT_EQ(GetActiveWindow(), A);
    ShowWindow(C, SW_HIDE);
    EXPECT_EQ(GetFocus(), A);
}

TEST_F(WinInput, ZOrderKeepsTopmostWindowsAndOwnedWindowsAbove) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND Owned = Log.Create("owned", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, A);
    HWND B = Log.Create("b", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND T = Log.Create("t", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    SetWindowPos(T, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto Order = [] {
        std::vector<HWND> V;
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
            V.push_back(h);
        return V;
    };
    EXPECT_EQ(Order(), (std::vector<HWND>{T, B, Owned, A}));
    SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(Order(), (std::vector<HWND>{T, Owned, A, B}));
    EXPECT_TRUE(GetWindowLongW(T, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(T, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(GetWindowLongW(T, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The topmost flag changes only through SetWindowPos.
    SetWindowLongW(B, GWL_EXSTYLE, LONG(WS_EX_TOPMOST));
    EXPECT_FALSE(GetWindowLongW(B, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WinInput, ClassStyleChangesAtRunTime) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    ULONG_PTR Old = GetClassLongPtrW(A, GCL_STYLE);
    EXPECT_EQ(SetClassLongPtrW(A, GCL_STYLE, LONG_PTR(Old | CS_DROPSHADOW)), Old);
    EXPECT_EQ(GetClassLongPtrW(A, GCL_STYLE), Old | CS_DROPSHADOW);
    Pump();
    Log.Clear();
    SetClassLongPtrW(A, GCL_STYLE, LONG_PTR(Old | CS_DBLCLKS));
    InjectClick(10, 10);
    InjectClick(10, 10);
    Log.Ignored.insert({WM_MOUSEMOVE, WM_LBUTTONUP});
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_LBUTTONDOWN(10,10)", "a:WM_LBUTTONDBLCLK(10,10)"}));
}

TEST_F(WinInput, MapAndSystemQueries) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 300, 200);
    HWND C = Log.Create("c", WS_CHILD | WS_VISIBLE, 10, 20, 50, 50, A);
    POINT P{0, 0};
    ClientToScreen(C, &P);
    EXPECT_EQ(P, (POINT{114, 93}));
    POINT Q[2] = {{0, 0}, {5, 5}};
    MapWindowPoints(C, A, Q, 2);
    EXPECT_EQ(Q[1], (POINT{15, 25}));
    RECT Work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_EQ(Work, (RECT{0, 0, 1920, 1040}));
    MONITORINFO Mi;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(A, MONITOR_DEFAULTTONEAREST), &Mi));
    EXPECT_EQ(Mi.rcMonitor, (RECT{0, 0, 1920, 1080}));
    EXPECT_EQ(Mi.rcWork, Work);
    EXPECT_EQ(GetVersion() & 0xFFFF, 0x0106u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    BOOL Full = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &Full, 0);
    EXPECT_TRUE(Full);
}

} // namespace

namespace {

class WinCursor : public WinTest {};

TEST_F(WinCursor, SetCursorCarriesTheHitCodeAndSizingEdgesGetSizingCursors) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Log.Ignored.erase(WM_SETCURSOR);
    Log.Ignored.insert({WM_NCMOUSEMOVE, WM_MOUSEMOVE});
    struct Case {
        int X, Y;
        std::string Logged;
        LPCWSTR Cursor;
    } Cases[] = {
        {101, 200, "a:WM_SETCURSOR(10)", IDC_SIZEWE},   {250, 101, "a:WM_SETCURSOR(12)", IDC_SIZENS},
        {399, 299, "a:WM_SETCURSOR(17)", IDC_SIZENWSE}, {100, 299, "a:WM_SETCURSOR(16)", IDC_SIZENESW},
        {250, 112, "a:WM_SETCURSOR(2)", IDC_ARROW},
    };
    for (auto& C : Cases) {
        Log.Clear();
        InjectMouseMove(C.X, C.Y);
        Pump();
        EXPECT_EQ(Log.Take(), TSeq{C.Logged});
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, C.Cursor)) << C.Logged;
    }
    (void)A;
}

TEST_F(WinCursor, HoverComesAfterTheHoverTimeWithoutMovement) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    InjectMouseMove(10, 10);
    Pump();
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_HOVER | TME_LEAVE;
    T.hwndTrack = A;
    T.dwHoverTime = 300;
    ASSERT_TRUE(TrackMouseEvent(&T));
    Log.Clear();
    MSG M;
    // Waiting on the tests' clock jumps to the hover time.
    ASSERT_TRUE(GetMessageW(&M, nullptr, 0, 0));
    DispatchMessageW(&M);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_MOUSEHOVER"}));
    T.dwFlags = TME_QUERY;
    TrackMouseEvent(&T);
    EXPECT_EQ(T.dwFlags, TME_LEAVE);
    InjectMouseMove(200, 200);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_MOUSELEAVE"}));
}

} // namespace
