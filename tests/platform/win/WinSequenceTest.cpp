// Message order of creation, showing, activation, destruction, the non-client protocol and the move and
// size loop, compared with sequence tables.
#include "WinTestSupport.h"

#include <algorithm>

namespace {

class WinSequence : public WinTest {};

TEST_F(WinSequence, CreatingAVisibleOverlappedWindow) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(A);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_GETMINMAXINFO", "a:WM_NCCREATE", "a:WM_NCCALCSIZE(0)", "a:WM_CREATE",
                                "a:WM_SIZE(0)", "a:WM_MOVE", "a:WM_SHOWWINDOW(1)", "a:WM_WINDOWPOSCHANGING",
                                "a:WM_WINDOWPOSCHANGED", "a:WM_NCACTIVATE(1)", "a:WM_ACTIVATE(1)", "a:WM_SETFOCUS"}));
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_PAINT", "a:WM_NCPAINT", "a:WM_ERASEBKGND"}));
    EXPECT_EQ(GetActiveWindow(), A);
    EXPECT_EQ(GetFocus(), A);
    RECT R;
    GetClientRect(A, &R);
    // A sizeable frame of 4 pixels and a caption of 19.
    EXPECT_EQ(R, (RECT{0, 0, 292, 173}));
}

TEST_F(WinSequence, CreatingAChildNotifiesTheParent) {
    HWND P = Log.Create("p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    Log.Clear();
    HWND C = Log.Create("c", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, P);
    ASSERT_TRUE(C);
    EXPECT_EQ(Log.Take(), (TSeq{"c:WM_NCCREATE", "c:WM_NCCALCSIZE(0)", "c:WM_CREATE", "c:WM_SIZE(0)", "c:WM_MOVE",
                                "p:WM_PARENTNOTIFY(WM_CREATE)", "c:WM_SHOWWINDOW(1)", "c:WM_WINDOWPOSCHANGING",
                                "c:WM_WINDOWPOSCHANGED"}));
}

static UINT GFailOn = 0;

static LRESULT FailingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    TMsgLog::Current->Names[h] = "x";
    TMsgLog::Current->Record(h, m, w, l);
    if (m == GFailOn)
        return m == WM_NCCREATE ? FALSE : -1;
    return DefWindowProcW(h, m, w, l);
}

TEST_F(WinSequence, FailingCreationLeavesNoWindow) {
    HWND P = Log.Create("p", WS_POPUP, 0, 0, 200, 200);
    WNDCLASSEXW K;
    K.lpszClassName = u"Failing";
    K.lpfnWndProc = &FailingProc;
    RegisterClassExW(&K);
    struct Case {
        UINT FailOn;
        TSeq Expected;
    };
    // WM_NCCREATE answering FALSE and WM_CREATE answering -1 both end the creation.
    for (auto& C :
         {Case{WM_NCCREATE, {"x:WM_NCCREATE", "x:WM_NCDESTROY"}},
          Case{WM_CREATE, {"x:WM_NCCREATE", "x:WM_NCCALCSIZE(0)", "x:WM_CREATE", "x:WM_DESTROY", "x:WM_NCDESTROY"}}}) {
        GFailOn = C.FailOn;
        Log.Clear();
        HWND Made = CreateWindowExW(0, u"Failing", u"", WS_CHILD, 0, 0, 10, 10, P, nullptr, nullptr, nullptr);
        EXPECT_EQ(Made, nullptr);
        EXPECT_EQ(Log.Take(), C.Expected);
        EXPECT_EQ(GetWindow(P, GW_CHILD), nullptr);
    }
}

TEST_F(WinSequence, ActivatingAnotherWindowByClick) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HWND B = Log.Create("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 0, 300, 200);
    Pump();
    ASSERT_EQ(GetActiveWindow(), B);
    Log.Clear();
    Log.Ignored.insert({WM_MOUSEMOVE, WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
    InjectClick(150, 100);
    Pump();
    EXPECT_EQ(Log.Take(),
              (TSeq{"a:WM_MOUSEACTIVATE(1)", "a:WM_WINDOWPOSCHANGING", "a:WM_WINDOWPOSCHANGED", "b:WM_NCACTIVATE(0)",
                    "b:WM_ACTIVATE(0)", "a:WM_NCACTIVATE(1)", "a:WM_ACTIVATE(2)", "b:WM_KILLFOCUS", "a:WM_SETFOCUS",
                    "a:WM_LBUTTONDOWN(146,77)", "a:WM_LBUTTONUP(146,77)"}));
    EXPECT_EQ(GetActiveWindow(), A);
    EXPECT_EQ(GetTopWindow(nullptr), A);
}

TEST_F(WinSequence, NoActivateAnswerKeepsTheActiveWindow) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HWND Pop = Log.Create("pop", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, A, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    (void)Pop;
    SetActiveWindow(A);
    Pump();
    Log.Handlers[Pop] = [](HWND, UINT M, WPARAM, LPARAM, LRESULT& R) {
        if (M != WM_MOUSEACTIVATE)
            return false;
        R = MA_NOACTIVATE;
        return true;
    };
    Log.Clear();
    Log.Ignored.insert({WM_MOUSEMOVE, WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
    InjectClick(450, 50);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"pop:WM_MOUSEACTIVATE(1)", "pop:WM_LBUTTONDOWN(50,50)", "pop:WM_LBUTTONUP(50,50)"}));
    EXPECT_EQ(GetActiveWindow(), A);
}

TEST_F(WinSequence, ChildPressNotifiesAncestorsAndActivation) {
    HWND P = Log.Create("p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND C = Log.Create("c", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, P);
    HWND G = Log.Create("g", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, C);
    (void)G;
    HWND Other = Log.Create("o", WS_POPUP | WS_VISIBLE, 300, 0, 100, 100);
    Pump();
    ASSERT_EQ(GetActiveWindow(), Other);
    Log.Clear();
    Log.Ignored.insert({WM_MOUSEMOVE, WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                        WM_NCACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_LBUTTONUP});
    InjectClick(25, 25);
    Pump();
    // The press goes to the innermost window; the default procedure asks the parents about activation.
    EXPECT_EQ(Log.Take(), (TSeq{"g:WM_MOUSEACTIVATE(1)", "c:WM_MOUSEACTIVATE(1)", "p:WM_MOUSEACTIVATE(1)",
                                "o:WM_ACTIVATE(0)", "p:WM_ACTIVATE(2)", "c:WM_PARENTNOTIFY(WM_LBUTTONDOWN)",
                                "p:WM_PARENTNOTIFY(WM_LBUTTONDOWN)", "g:WM_LBUTTONDOWN(5,5)"}));
}

TEST_F(WinSequence, DestroyingAParentWithAChild) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    Log.Create("c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, A);
    Pump();
    Log.Clear();
    EXPECT_TRUE(DestroyWindow(A));
    EXPECT_EQ(Log.Take(),
              (TSeq{"a:WM_WINDOWPOSCHANGING", "a:WM_WINDOWPOSCHANGED", "a:WM_NCACTIVATE(0)", "a:WM_ACTIVATE(0)",
                    "a:WM_KILLFOCUS", "a:WM_DESTROY", "c:WM_DESTROY", "c:WM_NCDESTROY", "a:WM_NCDESTROY"}));
    EXPECT_FALSE(IsWindow(A));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WinSequence, ClosingAnOwnedWindowActivatesItsOwner) {
    HWND Owner = Log.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HWND Other = Log.Create("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
    HWND Dlg = Log.Create("dlg", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 200, 100, Owner);
    (void)Other;
    ASSERT_EQ(GetActiveWindow(), Dlg);
    SendMessageW(Dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(Dlg));
    EXPECT_EQ(GetActiveWindow(), Owner);
}

// Minimising a window hides the windows it owns (and theirs), telling each with SW_PARENTCLOSING;
// restoring it shows them again with SW_PARENTOPENING. A window hidden by its program stays hidden.
TEST_F(WinSequence, OwnedWindowsAreMinimisedAndRestoredWithTheirOwner) {
    HWND Owner = Log.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    HWND Tool = Log.Create("tool", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, Owner, WS_EX_TOOLWINDOW);
    HWND Dlg = Log.Create("dlg", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 200, 100, Owner);
    HWND Sub = Log.Create("sub", WS_POPUP | WS_VISIBLE, 120, 120, 50, 50, Dlg);
    HWND Hidden = Log.Create("hidden", WS_POPUP, 20, 20, 50, 50, Owner);
    HWND Other = Log.Create("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 0, 300, 200);
    SetActiveWindow(Dlg);
    std::vector<std::pair<std::string, LPARAM>> Shows;
    for (HWND H : {Tool, Dlg, Sub, Hidden, Other})
        Log.Handlers[H] = [&Shows](HWND h, UINT M, WPARAM W, LPARAM L, LRESULT&) {
            if (M == WM_SHOWWINDOW)
                Shows.push_back({TMsgLog::Current->Names[h] + (W ? "+" : "-"), L});
            return false;
        };
    Pump();
    ShowWindow(Owner, SW_MINIMIZE);
    using TShows = std::vector<std::pair<std::string, LPARAM>>;
    // From the top of the z-order down, each window's own owned windows right after it.
    EXPECT_EQ(Shows, (TShows{{"dlg-", SW_PARENTCLOSING}, {"sub-", SW_PARENTCLOSING}, {"tool-", SW_PARENTCLOSING}}));
    for (HWND H : {Tool, Dlg, Sub, Hidden})
        EXPECT_FALSE(IsWindowVisible(H));
    EXPECT_TRUE(IsWindowVisible(Other));
    // The active dialog went out of sight: a window still shown takes the activation.
    EXPECT_EQ(GetActiveWindow(), Other);
    Shows.clear();
    ShowWindow(Owner, SW_RESTORE);
    EXPECT_EQ(Shows, (TShows{{"tool+", SW_PARENTOPENING}, {"dlg+", SW_PARENTOPENING}, {"sub+", SW_PARENTOPENING}}));
    for (HWND H : {Tool, Dlg, Sub})
        EXPECT_TRUE(IsWindowVisible(H));
    EXPECT_FALSE(IsWindowVisible(Hidden));

    // A window its program hides meanwhile is not brought back.
    ShowWindow(Owner, SW_MINIMIZE);
    ShowWindow(Tool, SW_HIDE);
    ShowWindow(Owner, SW_SHOWMAXIMIZED);
    EXPECT_FALSE(IsWindowVisible(Tool));
    EXPECT_TRUE(IsWindowVisible(Dlg));
    // Maximising a window that was not minimised touches nothing it owns.
    Shows.clear();
    ShowWindow(Owner, SW_RESTORE);
    EXPECT_TRUE(Shows.empty());
}

TEST_F(WinSequence, ShowAndHideOfAChildAndStateChanges) {
    HWND A = Log.Create("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
    Pump();
    Log.Clear();
    ShowWindow(A, SW_MAXIMIZE);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_GETMINMAXINFO", "a:WM_WINDOWPOSCHANGING", "a:WM_NCCALCSIZE(1)",
                                "a:WM_WINDOWPOSCHANGED", "a:WM_MOVE", "a:WM_SIZE(2)"}));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{-4, -4, 1924, 1044})); // the frame lies outside the work area
    EXPECT_TRUE(IsZoomed(A));
    ShowWindow(A, SW_RESTORE);
    GetWindowRect(A, &R);
    EXPECT_EQ(R, (RECT{10, 10, 310, 210}));
    Log.Clear();
    ShowWindow(A, SW_MINIMIZE);
    TSeq Min = Log.Take();
    EXPECT_NE(std::find(Min.begin(), Min.end(), "a:WM_SIZE(1)"), Min.end());
    EXPECT_TRUE(IsIconic(A));
}

TEST_F(WinSequence, SetWindowPosWithFrameChangedRecomputesTheClientArea) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Log.Clear();
    SetWindowLongW(A, GWL_STYLE, LONG(WS_POPUP | WS_VISIBLE | WS_CAPTION));
    RECT R;
    GetClientRect(A, &R);
    EXPECT_EQ(R, (RECT{0, 0, 100, 100})); // not until the frame is recomputed
    SetWindowPos(A, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_STYLECHANGING", "a:WM_STYLECHANGED", "a:WM_WINDOWPOSCHANGING",
                                "a:WM_NCCALCSIZE(1)", "a:WM_WINDOWPOSCHANGED", "a:WM_MOVE", "a:WM_SIZE(0)"}));
    GetClientRect(A, &R);
    EXPECT_EQ(R, (RECT{0, 0, 94, 75}));
}

} // namespace
