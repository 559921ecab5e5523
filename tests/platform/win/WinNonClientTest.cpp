// The non-client protocol: default hit codes, a scripted drag on the caption and on an edge, the
// caption double click, caption buttons and system keys.
#include "WinTestSupport.h"

namespace {

class WinNonClient : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        Log.Ignored.insert({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, WM_NCMOUSEMOVE, WM_MOUSEMOVE, WM_GETMINMAXINFO});
    }
};

TEST_F(WinNonClient, DefaultHitCodesOfASizeableWindow) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    struct Case {
        int X, Y;
        LRESULT Hit;
    } Cases[] = {
        {100, 100, HTTOPLEFT},   {101, 150, HTLEFT},        {398, 150, HTRIGHT},      {250, 101, HTTOP},
        {250, 298, HTBOTTOM},    {399, 299, HTBOTTOMRIGHT}, {110, 299, HTBOTTOMLEFT}, {399, 105, HTTOPRIGHT},
        {250, 112, HTCAPTION},   {110, 112, HTSYSMENU},     {385, 112, HTCLOSE},      {365, 112, HTMAXBUTTON},
        {347, 112, HTMINBUTTON}, {250, 200, HTCLIENT},      {99, 150, HTNOWHERE},
    };
    for (auto& C : Cases)
        EXPECT_EQ(SendMessageW(A, WM_NCHITTEST, 0, MAKELPARAM(C.X, C.Y)), C.Hit) << C.X << "," << C.Y;
    ShowWindow(A, SW_MAXIMIZE);
    RECT R;
    GetWindowRect(A, &R);
    // A maximised window offers no sizing edges.
    EXPECT_EQ(SendMessageW(A, WM_NCHITTEST, 0, MAKELPARAM(R.Left + 100, R.Top + 10)), HTCAPTION);
}

TEST_F(WinNonClient, DragOnTheCaptionMovesTheWindow) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Log.Clear();
    InjectMouseMove(200, 110);
    InjectMouseButton(0, true);
    InjectMouseMove(210, 115);
    InjectMouseMove(250, 130);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_NCLBUTTONDOWN(2)", "a:WM_SYSCOMMAND(SC_MOVE)", "a:WM_ENTERSIZEMOVE",
                                "a:WM_MOVING", "a:WM_WINDOWPOSCHANGING", "a:WM_WINDOWPOSCHANGED", "a:WM_MOVE",
                                "a:WM_MOVING", "a:WM_WINDOWPOSCHANGING", "a:WM_WINDOWPOSCHANGED", "a:WM_MOVE",
                                "a:WM_CAPTURECHANGED", "a:WM_EXITSIZEMOVE"}));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{150, 120, 450, 320}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinNonClient, MovingRectangleCanBeChanged) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    // Keeps the window on a 10-pixel grid, as a snapping form would.
    Log.Handlers[A] = [](HWND, UINT M, WPARAM, LPARAM L, LRESULT& R) {
        if (M != WM_MOVING)
            return false;
        auto* Rc = reinterpret_cast<RECT*>(L);
        int W = Rc->Right - Rc->Left, H = Rc->Bottom - Rc->Top;
        Rc->Left = Rc->Left / 10 * 10;
        Rc->Top = Rc->Top / 10 * 10;
        Rc->Right = Rc->Left + W;
        Rc->Bottom = Rc->Top + H;
        R = TRUE;
        return true;
    };
    InjectMouseMove(200, 110);
    InjectMouseButton(0, true);
    InjectMouseMove(237, 144);
    InjectMouseButton(0, false);
    Pump();
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{130, 130, 430, 330}));
}

TEST_F(WinNonClient, DragOnAnEdgeResizesWithinTheTrackingLimits) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Log.Handlers[A] = [](HWND, UINT M, WPARAM, LPARAM L, LRESULT&) {
        if (M == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO*>(L)->ptMinTrackSize = POINT{250, 150};
        return false;
    };
    Pump();
    Log.Clear();
    InjectMouseMove(398, 200); // right edge
    InjectMouseButton(0, true);
    InjectMouseMove(448, 200);
    InjectMouseMove(298, 200); // narrower than the minimum
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log.Take(),
              (TSeq{"a:WM_NCLBUTTONDOWN(11)", "a:WM_SYSCOMMAND(SC_SIZE)", "a:WM_ENTERSIZEMOVE", "a:WM_SIZING(2)",
                    "a:WM_WINDOWPOSCHANGING", "a:WM_NCCALCSIZE(1)", "a:WM_WINDOWPOSCHANGED", "a:WM_SIZE(0)",
                    "a:WM_SIZING(2)", "a:WM_WINDOWPOSCHANGING", "a:WM_NCCALCSIZE(1)", "a:WM_WINDOWPOSCHANGED",
                    "a:WM_SIZE(0)", "a:WM_CAPTURECHANGED", "a:WM_EXITSIZEMOVE"}));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{100, 100, 350, 300}));
}

TEST_F(WinNonClient, WithoutFullDragTheWindowMovesOnceAtTheEnd) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    Pump();
    Log.Clear();
    InjectMouseMove(200, 110);
    InjectMouseButton(0, true);
    InjectMouseMove(220, 110);
    InjectMouseMove(240, 110);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_NCLBUTTONDOWN(2)", "a:WM_SYSCOMMAND(SC_MOVE)", "a:WM_ENTERSIZEMOVE",
                                "a:WM_MOVING", "a:WM_MOVING", "a:WM_WINDOWPOSCHANGING", "a:WM_WINDOWPOSCHANGED",
                                "a:WM_MOVE", "a:WM_CAPTURECHANGED", "a:WM_EXITSIZEMOVE"}));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R.Left, 140);
}

TEST_F(WinNonClient, EscapeCancelsTheMove) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    InjectMouseMove(200, 110);
    InjectMouseButton(0, true);
    InjectMouseMove(260, 160);
    InjectKeyPress(VK_ESCAPE);
    InjectMouseButton(0, false);
    Pump();
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{100, 100, 400, 300}));
}

// The system menu's Move: arrow keys move the window by 8 pixels, Enter keeps the place, Escape
// puts the window back.
TEST_F(WinNonClient, MovingByKeyboard) {
    struct Case {
        std::vector<UINT> Keys;
        RECT Expected;
    } Cases[] = {
        {{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}, {116, 108, 416, 308}},
        {{VK_LEFT, VK_UP, VK_UP, VK_RETURN}, {92, 84, 392, 284}},
        {{VK_LEFT, VK_DOWN, VK_ESCAPE}, {100, 100, 400, 300}},
    };
    for (const Case& C : Cases) {
        HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
        Pump();
        Log.Clear();
        for (UINT Key : C.Keys)
            InjectKeyPress(Key);
        SendMessageW(A, WM_SYSCOMMAND, SC_MOVE, 0);
        RECT R;
        GetWindowRect(A, &R);
        EXPECT_EQ(R, C.Expected) << C.Keys.size() << " keys";
        TSeq Got = Log.Take();
        ASSERT_GE(Got.size(), 3u);
        EXPECT_EQ(Got[1], "a:WM_ENTERSIZEMOVE");
        EXPECT_EQ(Got.back(), "a:WM_EXITSIZEMOVE");
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(A);
        Pump();
    }
}

// The system menu's Size: the first arrow along an axis picks the edge it points to, the next ones
// move that edge by 8 pixels within the tracking limits; Enter keeps the size, Escape restores it.
TEST_F(WinNonClient, SizingByKeyboard) {
    struct Case {
        std::vector<UINT> Keys;
        RECT Expected;
    } Cases[] = {
        {{VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RETURN}, {100, 100, 416, 300}},
        {{VK_LEFT, VK_LEFT, VK_LEFT, VK_LEFT, VK_RIGHT, VK_RETURN}, {84, 100, 400, 300}},
        {{VK_DOWN, VK_UP, VK_LEFT, VK_LEFT, VK_RETURN}, {92, 100, 400, 292}},
        {{VK_UP, VK_UP, VK_RIGHT, VK_RIGHT, VK_RETURN}, {100, 92, 408, 300}},
        {{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN, VK_ESCAPE}, {100, 100, 400, 300}},
        // the minimum tracking width (290 here) holds
        {{VK_LEFT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RETURN}, {110, 100, 400, 300}},
        // an edge picked and left alone changes nothing
        {{VK_LEFT, VK_RETURN}, {100, 100, 400, 300}},
    };
    for (const Case& C : Cases) {
        HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
        Log.Handlers[A] = [](HWND, UINT M, WPARAM, LPARAM L, LRESULT& R) {
            if (M != WM_GETMINMAXINFO)
                return false;
            reinterpret_cast<MINMAXINFO*>(L)->ptMinTrackSize = POINT{290, 100};
            R = 0;
            return true;
        };
        Pump();
        Log.Clear();
        for (UINT Key : C.Keys)
            InjectKeyPress(Key);
        SendMessageW(A, WM_SYSCOMMAND, SC_SIZE, 0);
        RECT R;
        GetWindowRect(A, &R);
        EXPECT_EQ(R, C.Expected) << C.Keys.size() << " keys";
        TSeq Got = Log.Take();
        ASSERT_GE(Got.size(), 3u);
        EXPECT_EQ(Got[1], "a:WM_ENTERSIZEMOVE");
        EXPECT_EQ(Got.back(), "a:WM_EXITSIZEMOVE");
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(A);
        Pump();
    }
}

TEST_F(WinNonClient, CaptionDoubleClickMaximizesAndRestores) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Log.Clear();
    Log.Ignored.insert({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE, WM_CAPTURECHANGED, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                        WM_NCCALCSIZE, WM_MOVE, WM_NCLBUTTONUP});
    InjectClick(200, 110);
    InjectClick(200, 110);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_NCLBUTTONDOWN(2)", "a:WM_SYSCOMMAND(SC_MOVE)", "a:WM_NCLBUTTONDBLCLK(2)",
                                "a:WM_SYSCOMMAND(SC_MAXIMIZE)", "a:WM_SIZE(2)",
                                // the release now lands in the maximised window's client area
                                "a:WM_LBUTTONUP(200,91)"}));
    EXPECT_TRUE(IsZoomed(A));
    Sleep(1000); // past the double-click time
    InjectClick(200, 10);
    InjectClick(200, 10);
    Pump();
    EXPECT_FALSE(IsZoomed(A));
}

TEST_F(WinNonClient, CloseButtonClosesOnlyWhenReleasedOverIt) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    InjectMouseMove(385, 112);
    InjectMouseButton(0, true);
    InjectMouseMove(300, 200);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_TRUE(IsWindow(A));
    Sleep(1000);
    InjectClick(385, 112);
    Pump();
    EXPECT_FALSE(IsWindow(A));
}

TEST_F(WinNonClient, SystemKeys) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    Pump();
    Log.Clear();
    Log.Ignored.insert({WM_KEYDOWN, WM_KEYUP, WM_CHAR});
    struct Case {
        std::vector<std::pair<UINT, bool>> Keys;
        TSeq Expected;
    } Cases[] = {
        // Alt pressed and released alone opens the keyboard menu.
        {{{VK_MENU, true}, {VK_MENU, false}},
         {"a:WM_SYSKEYDOWN(18)", "a:WM_SYSKEYUP(18)", "a:WM_SYSCOMMAND(SC_KEYMENU)"}},
        // Alt with a letter: a system character instead.
        {{{VK_MENU, true}, {'F', true}, {'F', false}, {VK_MENU, false}},
         {"a:WM_SYSKEYDOWN(18)", "a:WM_SYSKEYDOWN(70)", "a:WM_SYSCHAR(f)", "a:WM_SYSCOMMAND(SC_KEYMENU)",
          "a:WM_SYSKEYUP(70)", "a:WM_SYSKEYUP(18)"}},
        {{{VK_F10, true}, {VK_F10, false}},
         {"a:WM_SYSKEYDOWN(121)", "a:WM_SYSKEYUP(121)", "a:WM_SYSCOMMAND(SC_KEYMENU)"}},
    };
    for (auto& C : Cases) {
        for (auto [Vk, Down] : C.Keys)
            InjectKey(Vk, Down);
        Pump();
        EXPECT_EQ(Log.Take(), C.Expected);
    }
    InjectKey(VK_MENU, true);
    InjectKeyPress(VK_F4);
    InjectKey(VK_MENU, false);
    Pump();
    EXPECT_FALSE(IsWindow(A));
}

} // namespace
