// The scroll bars of windows: the state's clamping conventions, showing and hiding by range, the room the
// default non-client calculation reserves, the classic drawing, and presses and drags turned into
// WM_VSCROLL / WM_HSCROLL requests.
#include "WinTestSupport.h"

namespace {

class WinScroll : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        Log.Ignored.insert({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, WM_NCMOUSEMOVE, WM_MOUSEMOVE, WM_CAPTURECHANGED,
                            WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_NCCALCSIZE, WM_TIMER});
    }
    static SCROLLINFO Info(HWND h, int Bar) {
        SCROLLINFO Si;
        Si.fMask = SIF_ALL;
        EXPECT_TRUE(GetScrollInfo(h, Bar, &Si));
        return Si;
    }
    static bool HasStyle(HWND h, DWORD Bit) { return (GetWindowLongPtrW(h, GWL_STYLE) & Bit) != 0; }
};

TEST_F(WinScroll, SetScrollInfoClampsPageAndPositionAndShowsTheBarOnlyWhenItCanScroll) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 117, 217);
    struct Step {
        UINT Mask;
        int Min, Max;
        UINT Page;
        int Pos;
        // expected afterwards
        int Result, EMin, EMax, EPage, EPos;
        bool Shown;
    } Steps[] = {
        {SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0, 0, 99, 10, 0, true},
        {SIF_POS, 0, 0, 0, 95, 90, 0, 99, 10, 90, true}, // the last page ends at the maximum
        {SIF_POS, 0, 0, 0, -5, 0, 0, 99, 10, 0, true},
        {SIF_POS, 0, 0, 0, 99, 90, 0, 99, 10, 90, true},
        {SIF_PAGE, 0, 0, 50, 0, 50, 0, 99, 50, 50, true},          // a larger page pulls the position back
        {SIF_PAGE, 0, 0, 100, 0, 0, 0, 99, 100, 0, false},         // one page holds everything: hidden
        {SIF_PAGE, 0, 0, 500, 0, 0, 0, 99, 100, 0, false},         // the page never exceeds the range
        {SIF_PAGE | SIF_POS, 0, 0, 1, 99, 99, 0, 99, 1, 99, true}, // page 1 reaches the maximum itself
        {SIF_RANGE, 10, 5, 0, 0, 99, 0, 99, 1, 99, true},          // a reversed range is refused whole
        {SIF_RANGE | SIF_POS, -50, 50, 0, -80, -50, -50, 50, 1, -50, true},
        {SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0, 0, 0, 0, 0, false}, // an empty range hides the bar
        {SIF_RANGE | SIF_PAGE | SIF_POS, 0, 20, 5, 16, 16, 0, 20, 5, 16, true},
    };
    int N = 0;
    for (const Step& S : Steps) {
        SCROLLINFO Si;
        Si.fMask = S.Mask;
        Si.nMin = S.Min;
        Si.nMax = S.Max;
        Si.nPage = S.Page;
        Si.nPos = S.Pos;
        EXPECT_EQ(SetScrollInfo(A, SB_VERT, &Si, TRUE), S.Result) << "step " << N;
        SCROLLINFO Got = Info(A, SB_VERT);
        EXPECT_EQ(Got.nMin, S.EMin) << "step " << N;
        EXPECT_EQ(Got.nMax, S.EMax) << "step " << N;
        EXPECT_EQ(int(Got.nPage), S.EPage) << "step " << N;
        EXPECT_EQ(Got.nPos, S.EPos) << "step " << N;
        EXPECT_EQ(Got.nTrackPos, S.EPos) << "step " << N;
        EXPECT_EQ(HasStyle(A, WS_VSCROLL), S.Shown) << "step " << N;
        ++N;
    }
}

TEST_F(WinScroll, DisableNoScrollKeepsTheBarAndDisablesIt) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100);
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    Si.nMax = 9;
    Si.nPage = 10;
    SetScrollInfo(A, SB_HORZ, &Si, TRUE);
    EXPECT_TRUE(HasStyle(A, WS_HSCROLL));
    // Already disabled on both arrows, so asking again changes nothing.
    EXPECT_FALSE(EnableScrollBar(A, SB_HORZ, ESB_DISABLE_BOTH));
    Si.nPage = 5;
    SetScrollInfo(A, SB_HORZ, &Si, TRUE);
    EXPECT_TRUE(EnableScrollBar(A, SB_HORZ, ESB_DISABLE_BOTH)); // it had been enabled again
    EXPECT_TRUE(EnableScrollBar(A, SB_HORZ, ESB_ENABLE_BOTH));
    EXPECT_FALSE(EnableScrollBar(A, SB_HORZ, ESB_ENABLE_BOTH));
}

TEST_F(WinScroll, RangeAndPositionFunctionsFollowTheSameState) {
    HWND Plain = Log.Create("p", WS_POPUP, 0, 0, 100, 100);
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    EXPECT_FALSE(GetScrollInfo(Plain, SB_VERT, &Si)); // no bar, nothing set
    int Min = -1, Max = -1;
    EXPECT_TRUE(GetScrollRange(Plain, SB_VERT, &Min, &Max));
    EXPECT_EQ(Min, 0);
    EXPECT_EQ(Max, 0);
    EXPECT_EQ(GetScrollPos(Plain, SB_VERT), 0);

    HWND A = Log.Create("a", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, 0, 100, 100);
    // A window made with a bar starts with the range 0..100.
    EXPECT_TRUE(GetScrollRange(A, SB_HORZ, &Min, &Max));
    EXPECT_EQ(Min, 0);
    EXPECT_EQ(Max, 100);
    EXPECT_EQ(SetScrollPos(A, SB_HORZ, 40, FALSE), 0); // the previous position
    EXPECT_EQ(SetScrollPos(A, SB_HORZ, 140, FALSE), 40);
    EXPECT_EQ(GetScrollPos(A, SB_HORZ), 100);
    EXPECT_TRUE(SetScrollRange(A, SB_HORZ, 0, 50, FALSE));
    EXPECT_EQ(GetScrollPos(A, SB_HORZ), 50);
    EXPECT_FALSE(SetScrollRange(A, SB_HORZ, 60, 50, FALSE));
    EXPECT_TRUE(SetScrollRange(A, SB_HORZ, 7, 7, FALSE)); // equal ends hide the bar
    EXPECT_FALSE(HasStyle(A, WS_HSCROLL));
    EXPECT_TRUE(GetScrollInfo(A, SB_HORZ, &Si)); // its state stays
    EXPECT_EQ(Si.nPos, 7);
    EXPECT_EQ(SetScrollInfo(A, SB_CTL, &Si, FALSE), 0);
    EXPECT_FALSE(GetScrollInfo(A, SB_CTL, &Si));
}

TEST_F(WinScroll, TheDefaultFrameReservesRoomForShownBars) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 100, 100, 200, 150);
    RECT C;
    GetClientRect(A, &C);
    EXPECT_EQ(C, (RECT{0, 0, 183, 133}));
    struct Case {
        int X, Y;
        LRESULT Hit;
    } Cases[] = {{290, 150, HTVSCROLL}, {150, 240, HTHSCROLL}, {150, 150, HTCLIENT}, {290, 240, HTBORDER}};
    for (const Case& K : Cases)
        EXPECT_EQ(SendMessageW(A, WM_NCHITTEST, 0, MAKELPARAM(K.X, K.Y)), K.Hit) << K.X << "," << K.Y;
    Log.Clear();
    EXPECT_TRUE(ShowScrollBar(A, SB_BOTH, FALSE));
    GetClientRect(A, &C);
    EXPECT_EQ(C, (RECT{0, 0, 200, 150}));
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_SIZE(0)", "a:WM_SIZE(0)"}));
    EXPECT_TRUE(ShowScrollBar(A, SB_VERT, TRUE));
    GetClientRect(A, &C);
    EXPECT_EQ(C, (RECT{0, 0, 183, 150}));
}

TEST_F(WinScroll, AWindowThatMeasuresItsOwnFrameGetsNoNativeBars) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 100, 100, 60, 60);
    // Like a skinned view: the client area is the whole window whatever the style says.
    Log.Handlers[A] = [](HWND, UINT M, WPARAM, LPARAM, LRESULT& R) {
        R = 0;
        return M == WM_NCCALCSIZE;
    };
    Pump();
    HDC Before = GetWindowDC(A);
    COLORREF Edge = GetPixel(Before, 50, 30);
    ReleaseDC(A, Before);
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE;
    Si.nMax = 99;
    Si.nPage = 10;
    SetScrollInfo(A, SB_VERT, &Si, TRUE);
    Pump();
    RECT C;
    GetClientRect(A, &C);
    EXPECT_EQ(C, (RECT{0, 0, 60, 60}));
    EXPECT_TRUE(HasStyle(A, WS_VSCROLL)); // the state is kept for the window to read
    EXPECT_EQ(SendMessageW(A, WM_NCHITTEST, 0, MAKELPARAM(155, 120)), HTCLIENT);
    HDC Dc = GetWindowDC(A);
    EXPECT_EQ(GetPixel(Dc, 50, 30), Edge); // no bar was drawn at the right edge
    ReleaseDC(A, Dc);
}

// The vertical bar of a 100 x 217 window at (100, 100): arrows of 17 at both ends, a track of 183.
// Range 0..99 with a page of 10 gives an 18-pixel thumb over 90 positions.
TEST_F(WinScroll, ClassicBarIsDrawnFromItsState) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 117, 217);
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Si.nMax = 99;
    Si.nPage = 10;
    Si.nPos = 45;
    SetScrollInfo(A, SB_VERT, &Si, TRUE);
    Pump();
    // Down the middle of the bar: arrow buttons, the track, the thumb at 17 + 165 * 45 / 90 = 99.
    const COLORREF Face = GetSysColor(COLOR_BTNFACE), Light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF Text = GetSysColor(COLOR_BTNTEXT);
    HDC Dc = GetWindowDC(A);
    struct Probe {
        int Y;
        COLORREF Colour;
    } Probes[] = {{8, Text},   {12, Face},   {20, Light},  {98, Light}, {100, Light}, {105, Face},
                  {110, Face}, {118, Light}, {180, Light}, {203, Face}, {208, Text}};
    for (const Probe& P : Probes)
        EXPECT_EQ(GetPixel(Dc, 108, P.Y), P.Colour) << "y " << P.Y;
    ReleaseDC(A, Dc);
    // Disabled: no thumb, engraved arrows.
    EnableScrollBar(A, SB_VERT, ESB_DISABLE_BOTH);
    Dc = GetWindowDC(A);
    EXPECT_EQ(GetPixel(Dc, 108, 105), Light);
    EXPECT_EQ(GetPixel(Dc, 108, 8), GetSysColor(COLOR_BTNSHADOW));
    ReleaseDC(A, Dc);
}

TEST_F(WinScroll, PressesAndDragsBecomeScrollRequests) {
    struct Case {
        const char* Name;
        int Bar;
        POINT Press;
        std::vector<POINT> Moves;
        TSeq Expected;
        int PosAfter; // the window applies nothing itself, so the position stays
    } Cases[] = {
        {"up arrow", SB_VERT, {208, 105}, {}, {"a:WM_VSCROLL(SB_LINEUP)", "a:WM_VSCROLL(SB_ENDSCROLL)"}, 45},
        {"down arrow", SB_VERT, {208, 310}, {}, {"a:WM_VSCROLL(SB_LINEDOWN)", "a:WM_VSCROLL(SB_ENDSCROLL)"}, 45},
        {"above the thumb", SB_VERT, {208, 150}, {}, {"a:WM_VSCROLL(SB_PAGEUP)", "a:WM_VSCROLL(SB_ENDSCROLL)"}, 45},
        {"below the thumb", SB_VERT, {208, 260}, {}, {"a:WM_VSCROLL(SB_PAGEDOWN)", "a:WM_VSCROLL(SB_ENDSCROLL)"}, 45},
        // The thumb lies at 199..217 on the screen; 165 pixels cover 90 positions.
        {"thumb drag",
         SB_VERT,
         {208, 205},
         {{208, 206}, {210, 260}, {208, 500}},
         {"a:WM_VSCROLL(SB_THUMBTRACK,75)", "a:WM_VSCROLL(SB_THUMBTRACK,90)", "a:WM_VSCROLL(SB_THUMBPOSITION,90)",
          "a:WM_VSCROLL(SB_ENDSCROLL)"},
         45},
        {"horizontal right arrow",
         SB_HORZ,
         {195, 325},
         {},
         {"a:WM_HSCROLL(SB_LINEDOWN)", "a:WM_HSCROLL(SB_ENDSCROLL)"},
         0},
    };
    for (const Case& K : Cases) {
        ResetWindowManager();
        HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 100, 100, 117, 234);
        SCROLLINFO Si;
        Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        Si.nMax = 99;
        Si.nPage = 10;
        Si.nPos = 45;
        SetScrollInfo(A, SB_VERT, &Si, TRUE);
        Si.nPos = 0;
        SetScrollInfo(A, SB_HORZ, &Si, TRUE);
        Pump();
        std::vector<int> TrackSeen;
        Log.Handlers[A] = [&](HWND h, UINT M, WPARAM W, LPARAM, LRESULT&) {
            if (M == WM_VSCROLL && LOWORD(W) == SB_THUMBTRACK) {
                SCROLLINFO T;
                T.fMask = SIF_TRACKPOS;
                GetScrollInfo(h, SB_VERT, &T);
                TrackSeen.push_back(T.nTrackPos);
            }
            return false;
        };
        Log.Clear();
        InjectMouseMove(K.Press.X, K.Press.Y);
        InjectMouseButton(0, true);
        for (POINT P : K.Moves)
            InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, false);
        Pump();
        TSeq Got = Log.Take();
        // The press itself comes first.
        ASSERT_GE(Got.size(), 2u) << K.Name;
        EXPECT_EQ(Got[0], K.Bar == SB_VERT ? "a:WM_NCLBUTTONDOWN(7)" : "a:WM_NCLBUTTONDOWN(6)") << K.Name;
        EXPECT_EQ(Got[1], K.Bar == SB_VERT ? "a:WM_SYSCOMMAND(SC_VSCROLL)" : "a:WM_SYSCOMMAND(SC_HSCROLL)") << K.Name;
        EXPECT_EQ(TSeq(Got.begin() + 2, Got.end()), K.Expected) << K.Name;
        EXPECT_EQ(GetScrollPos(A, K.Bar), K.PosAfter) << K.Name;
        EXPECT_EQ(GetCapture(), nullptr) << K.Name;
        if (std::string(K.Name) == "thumb drag") {
            EXPECT_EQ(TrackSeen, (std::vector<int>{75, 90})) << K.Name;
        }
    }
}

TEST_F(WinScroll, ADisabledBarIgnoresPresses) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 117, 217);
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE;
    Si.nMax = 99;
    Si.nPage = 10;
    SetScrollInfo(A, SB_VERT, &Si, TRUE);
    EnableScrollBar(A, SB_VERT, ESB_DISABLE_DOWN);
    Pump();
    Log.Clear();
    InjectClick(208, 310); // the disabled down arrow
    InjectClick(208, 105); // the up arrow still works
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_NCLBUTTONDOWN(7)", "a:WM_SYSCOMMAND(SC_VSCROLL)", "a:WM_NCLBUTTONUP(7)",
                                "a:WM_NCLBUTTONDOWN(7)", "a:WM_SYSCOMMAND(SC_VSCROLL)", "a:WM_VSCROLL(SB_LINEUP)",
                                "a:WM_VSCROLL(SB_ENDSCROLL)"}));
}

} // namespace
