// The default window procedure: the platform's answers to the non-client protocol, the move and size
// loop, caption buttons, system commands, keyboard menu keys; system metrics, parameters and monitors.
#include "platform/win/WinInternal.h"

#include <algorithm>
#include <cstring>

namespace winimpl {

void PaintDefaultFrame(TWnd* W, HRGN Clip);
BOOL EraseDefaultBackground(TWnd* W, HDC Dc);
void DefaultPaint(TWnd* W);

static int FrameWidth(DWORD Style, DWORD ExStyle) {
    if (Style & WS_THICKFRAME)
        return GetSystemMetrics(SM_CXFRAME);
    if ((Style & WS_CAPTION) == WS_DLGFRAME || (Style & WS_CAPTION) == WS_CAPTION || (ExStyle & WS_EX_DLGMODALFRAME))
        return GetSystemMetrics(SM_CXDLGFRAME);
    if (Style & WS_BORDER)
        return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

static int CaptionHeight(DWORD Style, DWORD ExStyle) {
    if ((Style & WS_CAPTION) != WS_CAPTION)
        return 0;
    return GetSystemMetrics((ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

RECT DefaultClientRect(DWORD Style, DWORD ExStyle, const RECT& R) {
    int B = FrameWidth(Style, ExStyle);
    RECT C{R.Left + B, R.Top + B, R.Right - B, R.Bottom - B};
    C.Top += CaptionHeight(Style, ExStyle);
    int E = 0;
    if (ExStyle & WS_EX_CLIENTEDGE)
        E += 2;
    if (ExStyle & WS_EX_STATICEDGE)
        E += 1;
    C.Left += E;
    C.Top += E;
    C.Right -= E;
    C.Bottom -= E;
    if (Style & WS_VSCROLL)
        C.Right -= GetSystemMetrics(SM_CXVSCROLL);
    if (Style & WS_HSCROLL)
        C.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
    C.Right = std::max(C.Right, C.Left);
    C.Bottom = std::max(C.Bottom, C.Top);
    return C;
}

LRESULT DefaultHitTest(TWnd* W, POINT Pt) {
    RECT R = ScreenWindowRect(W);
    if (!RectContains(R, Pt))
        return HTNOWHERE;
    if (W->Style & WS_MINIMIZE)
        return HTCAPTION;
    POINT L{Pt.X - R.Left, Pt.Y - R.Top};
    if (RectContains(W->Client, L))
        return HTCLIENT;
    int Wd = R.Right - R.Left, Ht = R.Bottom - R.Top;
    int B = FrameWidth(W->Style, W->ExStyle);
    if ((W->Style & WS_THICKFRAME) && !(W->Style & WS_MAXIMIZE)) {
        bool Left = L.X < B, Right = L.X >= Wd - B, Top = L.Y < B, Bottom = L.Y >= Ht - B;
        if (Left || Right || Top || Bottom) {
            // The corners reach along the edges as far as a caption button is wide.
            int Corner = GetSystemMetrics(SM_CXSIZE) + B;
            bool NearL = L.X < Corner, NearR = L.X >= Wd - Corner, NearT = L.Y < Corner, NearB = L.Y >= Ht - Corner;
            if ((Top && NearL) || (Left && NearT))
                return HTTOPLEFT;
            if ((Top && NearR) || (Right && NearT))
                return HTTOPRIGHT;
            if ((Bottom && NearL) || (Left && NearB))
                return HTBOTTOMLEFT;
            if ((Bottom && NearR) || (Right && NearB))
                return HTBOTTOMRIGHT;
            return Left ? HTLEFT : Right ? HTRIGHT : Top ? HTTOP : HTBOTTOM;
        }
    }
    int Cap = CaptionHeight(W->Style, W->ExStyle);
    if (Cap && L.Y >= B && L.Y < B + Cap && L.X >= B && L.X < Wd - B) {
        bool Tool = W->ExStyle & WS_EX_TOOLWINDOW;
        int Btn = GetSystemMetrics(Tool ? SM_CXSMSIZE : SM_CXSIZE);
        int X = Wd - B - 2;
        if (W->Style & WS_SYSMENU) {
            if (L.X >= X - Btn)
                return HTCLOSE;
            X -= Btn + 2;
            if (!Tool && (W->Style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
                if (L.X >= X - Btn)
                    return HTMAXBUTTON;
                X -= Btn;
                if (L.X >= X - Btn)
                    return HTMINBUTTON;
            }
            if (!Tool && L.X < B + 2 + GetSystemMetrics(SM_CXSMICON))
                return HTSYSMENU;
        }
        return HTCAPTION;
    }
    RECT Cl = W->Client;
    if ((W->NcBars & (1u << SB_VERT)) && (W->Style & WS_VSCROLL) && L.X >= Cl.Right &&
        L.X < Cl.Right + GetSystemMetrics(SM_CXVSCROLL) && L.Y >= Cl.Top && L.Y < Cl.Bottom)
        return HTVSCROLL;
    if ((W->NcBars & (1u << SB_HORZ)) && (W->Style & WS_HSCROLL) && L.Y >= Cl.Bottom &&
        L.Y < Cl.Bottom + GetSystemMetrics(SM_CYHSCROLL) && L.X >= Cl.Left && L.X < Cl.Right)
        return HTHSCROLL;
    return HTBORDER;
}

static MINMAXINFO QueryMinMax(TWnd* W) {
    TState& St = S();
    MINMAXINFO Mmi{};
    int B = FrameWidth(W->Style, W->ExStyle);
    Mmi.ptMaxSize = POINT{St.WorkArea.Right - St.WorkArea.Left + 2 * B, St.WorkArea.Bottom - St.WorkArea.Top + 2 * B};
    Mmi.ptMaxPosition = POINT{St.WorkArea.Left - B, St.WorkArea.Top - B};
    Mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(W, WM_GETMINMAXINFO, 0, LPARAM(&Mmi));
    return Mmi;
}

static bool TakesMinMax(TWnd* W) {
    return (W->Style & WS_THICKFRAME) || !(W->Style & (WS_POPUP | WS_CHILD));
}

// Screen rectangle to the coordinates SetWindowPos takes (the parent's client area).
static RECT ToParent(TWnd* W, RECT R) {
    POINT O = ClientOriginOnScreen(W->Parent);
    return OffsetR(R, -O.X, -O.Y);
}

namespace {

// One move or size of a window by the mouse or the keyboard, from WM_ENTERSIZEMOVE to WM_EXITSIZEMOVE. SC_MOVE or
// SC_SIZE without a hit code comes from the keyboard (the system menu's Move and Size): the arrow keys move the
// window, or pick the edges to size and then move them; Enter or a click ends, Escape puts the window back.
class TMoveSizeRun {
public:
    TMoveSizeRun(TWnd* AW, WPARAM Command, POINT AStart, const MINMAXINFO& AMmi)
        : W(AW), h(AW->Handle), Kind(Command & 0xFFF0), Code(int(Command & 0x0F)), ByKeyboard(Code == 0), Mmi(AMmi),
          Full(S().DragFullWindows), Initial(ScreenWindowRect(AW)), Orig(Initial), Cur(Initial), Start(AStart),
          Last(AStart) {}

    void Run() {
        SetCapture(h);
        Send(W, WM_ENTERSIZEMOVE);
        MSG M;
        while (NextCapturedMessage(h, M) && Step(M)) {
        }
        Finish();
    }

private:
    // Takes one message of the loop; false when the loop ends.
    bool Step(MSG& M) {
        // Until the keys pick an edge to size, the mouse sizes nothing.
        bool NoEdge = Kind == SC_SIZE && !Code;
        if (M.message == WM_MOUSEMOVE || M.message == WM_NCMOUSEMOVE) {
            if (NoEdge)
                Last = M.pt;
            else
                Track(M.pt);
        } else if (M.message == WM_LBUTTONUP || M.message == WM_NCLBUTTONUP) {
            if (!NoEdge)
                Track(M.pt);
            return false;
        } else if (M.message == WM_KEYDOWN && M.wParam == VK_ESCAPE) {
            Cancel = true;
            return false;
        } else if (M.message == WM_KEYDOWN && M.wParam == VK_RETURN) {
            return false;
        } else if (M.message == WM_KEYDOWN && M.wParam >= VK_LEFT && M.wParam <= VK_DOWN) {
            ArrowKey(M.wParam);
        } else if (ByKeyboard && (M.message == WM_LBUTTONDOWN || M.message == WM_NCLBUTTONDOWN)) {
            return false;
        } else if ((M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
                   (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST)) {
            // other input is swallowed by the loop
        } else {
            TranslateMessage(&M);
            DispatchMessageW(&M);
        }
        return true;
    }

    // The rectangle sized by the mouse's offset from the start, within the window's tracking limits.
    RECT SizedRect(int Dx, int Dy) const {
        RECT R = Orig;
        bool Left = Code == WMSZ_LEFT || Code == WMSZ_TOPLEFT || Code == WMSZ_BOTTOMLEFT;
        bool Right = Code == WMSZ_RIGHT || Code == WMSZ_TOPRIGHT || Code == WMSZ_BOTTOMRIGHT;
        bool Top = Code == WMSZ_TOP || Code == WMSZ_TOPLEFT || Code == WMSZ_TOPRIGHT;
        bool Bottom = Code == WMSZ_BOTTOM || Code == WMSZ_BOTTOMLEFT || Code == WMSZ_BOTTOMRIGHT;
        if (Left)
            R.Left += Dx;
        if (Right)
            R.Right += Dx;
        if (Top)
            R.Top += Dy;
        if (Bottom)
            R.Bottom += Dy;
        int Wd =
            std::clamp(R.Right - R.Left, Mmi.ptMinTrackSize.X, std::max(Mmi.ptMinTrackSize.X, Mmi.ptMaxTrackSize.X));
        int Hg =
            std::clamp(R.Bottom - R.Top, Mmi.ptMinTrackSize.Y, std::max(Mmi.ptMinTrackSize.Y, Mmi.ptMaxTrackSize.Y));
        if (Left)
            R.Left = R.Right - Wd;
        else
            R.Right = R.Left + Wd;
        if (Top)
            R.Top = R.Bottom - Hg;
        else
            R.Bottom = R.Top + Hg;
        return R;
    }

    void Track(POINT P, bool Force = false) {
        if (P == Last && !Force)
            return; // only a movement is tracked
        Last = P;
        int Dx = P.X - Start.X, Dy = P.Y - Start.Y;
        RECT R;
        if (Kind == SC_MOVE) {
            R = OffsetR(Orig, Dx, Dy);
            Send(W, WM_MOVING, 0, LPARAM(&R));
        } else {
            R = SizedRect(Dx, Dy);
            Send(W, WM_SIZING, WPARAM(Code), LPARAM(&R));
        }
        if (!Alive(h))
            return;
        Cur = R;
        if (Full) {
            RECT P2 = ToParent(W, R);
            SetWindowPos(h, nullptr, P2.Left, P2.Top, P2.Right - P2.Left, P2.Bottom - P2.Top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    // The arrow moves the anchor the other way, so the mouse and the keys add up.
    void ArrowKey(WPARAM Key) {
        const int Step = 8;
        int Dx = Key == VK_LEFT ? -Step : Key == VK_RIGHT ? Step : 0;
        int Dy = Key == VK_UP ? -Step : Key == VK_DOWN ? Step : 0;
        if (Kind == SC_SIZE) {
            // The first arrow along an axis picks the edge it points to; later ones move it.
            int H = Code == WMSZ_LEFT || Code == WMSZ_TOPLEFT || Code == WMSZ_BOTTOMLEFT      ? int(WMSZ_LEFT)
                    : Code == WMSZ_RIGHT || Code == WMSZ_TOPRIGHT || Code == WMSZ_BOTTOMRIGHT ? int(WMSZ_RIGHT)
                                                                                              : 0;
            int V = Code - H;
            bool Picks = (Dx && !H) || (Dy && !V);
            if (Dx && !H)
                H = Dx < 0 ? int(WMSZ_LEFT) : int(WMSZ_RIGHT);
            if (Dy && !V)
                V = Dy < 0 ? int(WMSZ_TOP) : int(WMSZ_BOTTOM);
            if (Picks) {
                // What was sized so far stays; the new edge starts from here.
                Code = H + V;
                Orig = Cur;
                Start = Last;
                return;
            }
        }
        if (Kind == SC_MOVE || Code) {
            Start.X -= Dx;
            Start.Y -= Dy;
            Track(Last, true);
        }
    }

    // Puts the window where the run left it (or back, when cancelled) and lets the mouse go.
    void Finish() {
        if (!Alive(h))
            return;
        if (Cancel || !Full) {
            RECT R = ToParent(W, Cancel ? Initial : Cur);
            if (!(Cur == Initial) || Cancel)
                SetWindowPos(h, nullptr, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (Alive(h) && GetCapture() == h)
            ReleaseCapture();
        if (Alive(h))
            Send(W, WM_EXITSIZEMOVE);
    }

    TWnd* W;
    HWND h;
    WPARAM Kind;
    int Code;
    bool ByKeyboard;
    MINMAXINFO Mmi;
    bool Full;
    const RECT Initial;
    RECT Orig; // where the tracked deltas start from
    RECT Cur;
    POINT Start;
    POINT Last;
    bool Cancel = false;
};

} // namespace

void MoveSizeLoop(TWnd* W, WPARAM Command, POINT Start) {
    WPARAM Kind = Command & 0xFFF0;
    int Code = int(Command & 0x0F);
    if (W->Style & (WS_MAXIMIZE | WS_MINIMIZE))
        return;
    if (Kind == SC_SIZE && (!(W->Style & WS_THICKFRAME) || Code > int(WMSZ_BOTTOMRIGHT)))
        return;
    MINMAXINFO Mmi{};
    if (Kind == SC_SIZE) {
        Mmi = QueryMinMax(W);
        if (!Alive(W->Handle))
            return;
    }
    TMoveSizeRun(W, Command, Start, Mmi).Run();
}

// A press on a caption button: the command runs when the button is released over the same button.
static void TrackCaptionButton(TWnd* W, LRESULT Ht) {
    HWND h = W->Handle;
    SetCapture(h);
    bool Fire = false;
    POINT At{};
    for (;;) {
        if (!Alive(h) || GetCapture() != h)
            break;
        MSG M;
        if (!GetMessageW(&M, nullptr, 0, 0)) {
            PostQuitMessage(int(M.wParam));
            break;
        }
        if (M.message == WM_LBUTTONUP || M.message == WM_NCLBUTTONUP) {
            At = M.pt;
            Fire = Send(W, WM_NCHITTEST, 0, MAKELPARAM(At.X, At.Y)) == Ht;
            break;
        }
        if ((M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
            (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCMBUTTONDBLCLK))
            continue;
        TranslateMessage(&M);
        DispatchMessageW(&M);
    }
    if (Alive(h) && GetCapture() == h)
        ReleaseCapture();
    if (!Fire || !Alive(h))
        return;
    WPARAM Cmd = Ht == HTCLOSE              ? SC_CLOSE
                 : Ht == HTMINBUTTON        ? SC_MINIMIZE
                 : (W->Style & WS_MAXIMIZE) ? SC_RESTORE
                                            : SC_MAXIMIZE;
    Send(W, WM_SYSCOMMAND, Cmd, MAKELPARAM(At.X, At.Y));
}

static HCURSOR CursorForHit(LRESULT Ht) {
    switch (Ht) {
    case HTLEFT:
    case HTRIGHT:
        return LoadCursorW(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return LoadCursorW(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return LoadCursorW(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return LoadCursorW(nullptr, IDC_SIZENESW);
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

} // namespace winimpl

using namespace winimpl;

namespace {

// The default procedure's handlers, one per message.
LRESULT DefNcCreate(TWnd* W, LPARAM lParam) {
    auto* Cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (Cs && Cs->lpszName && reinterpret_cast<std::uintptr_t>(Cs->lpszName) >= 0x10000)
        W->Text = Cs->lpszName;
    return TRUE;
}

LRESULT DefNcCalcSize(TWnd* W, LPARAM lParam) {
    RECT* R = reinterpret_cast<RECT*>(lParam);
    if (!R)
        return 0;
    if ((W->Style & WS_MINIMIZE) && W->IsMDIChild()) {
        // Only the caption of a minimised MDI child shows, inside its frame.
        RECT C = DefaultClientRect(W->Style & ~(WS_VSCROLL | WS_HSCROLL), W->ExStyle & ~WS_EX_CLIENTEDGE, *R);
        *R = RECT{C.Left, C.Top, C.Left, C.Top};
        W->NcBars = 0;
    } else if (W->Style & WS_MINIMIZE) {
        *R = RECT{R->Left, R->Top, R->Left, R->Top};
        W->NcBars = 0;
    } else {
        *R = DefaultClientRect(W->Style, W->ExStyle, *R);
        W->NcBars = ((W->Style & WS_HSCROLL) ? 1u << SB_HORZ : 0u) | ((W->Style & WS_VSCROLL) ? 1u << SB_VERT : 0u);
    }
    return 0;
}

LRESULT DefNcPaint(TWnd* W, WPARAM wParam) {
    PaintDefaultFrame(W, wParam > 1 ? reinterpret_cast<HRGN>(wParam) : nullptr);
    return 0;
}

LRESULT DefNcActivate(TWnd* W, WPARAM wParam) {
    W->NcActive = wParam != 0;
    if (W->Visible())
        PaintDefaultFrame(W, nullptr);
    return TRUE;
}

LRESULT DefPaintMessage(TWnd* W) {
    DefaultPaint(W);
    return 0;
}

LRESULT DefSyncPaint(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_ERASENOW | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

LRESULT DefSetRedraw(TWnd* W, WPARAM wParam) {
    if (wParam) {
        W->RedrawOff = 0;
    } else {
        W->RedrawOff = 1;
    }
    return 0;
}

LRESULT DefSetText(TWnd* W, LPARAM lParam) {
    W->Text = lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
    if (W->Visible() && (W->Style & WS_CAPTION) == WS_CAPTION)
        PaintDefaultFrame(W, nullptr);
    return TRUE;
}

LRESULT DefGetText(TWnd* W, WPARAM wParam, LPARAM lParam) {
    auto* Buf = reinterpret_cast<LPWSTR>(lParam);
    int Max = int(wParam);
    if (!Buf || Max <= 0)
        return 0;
    int N = std::min<int>(int(W->Text.size()), Max - 1);
    std::memcpy(Buf, W->Text.data(), std::size_t(N) * sizeof(char16_t));
    Buf[N] = 0;
    return N;
}

LRESULT DefClose(HWND hWnd) {
    DestroyWindow(hWnd);
    return 0;
}

LRESULT DefWindowPosChanging(TWnd* W, LPARAM lParam) {
    auto* Wp = reinterpret_cast<WINDOWPOS*>(lParam);
    if (Wp && !(Wp->flags & SWP_NOSIZE) && TakesMinMax(W) && !(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        MINMAXINFO Mmi = QueryMinMax(W);
        Wp->cx = std::clamp(Wp->cx, Mmi.ptMinTrackSize.X, std::max(Mmi.ptMinTrackSize.X, Mmi.ptMaxTrackSize.X));
        Wp->cy = std::clamp(Wp->cy, Mmi.ptMinTrackSize.Y, std::max(Mmi.ptMinTrackSize.Y, Mmi.ptMaxTrackSize.Y));
    }
    return 0;
}

LRESULT DefWindowPosChanged(HWND hWnd, TWnd* W, LPARAM lParam) {
    auto* Wp = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!Wp)
        return 0;
    if (!(Wp->flags & SWP_NOCLIENTMOVE))
        Send(W, WM_MOVE, 0, MAKELPARAM(W->Rect.Left + W->Client.Left, W->Rect.Top + W->Client.Top));
    if (Alive(hWnd) && (!(Wp->flags & SWP_NOCLIENTSIZE) || (Wp->flags & SWP_STATECHANGED))) {
        WPARAM Kind = (W->Style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                      : (W->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                 : SIZE_RESTORED;
        Send(W, WM_SIZE, Kind, MAKELPARAM(W->Client.Right - W->Client.Left, W->Client.Bottom - W->Client.Top));
    }
    return 0;
}

LRESULT DefMouseActivate(TWnd* W, WPARAM wParam, LPARAM lParam) {
    if (W->IsChild()) {
        LRESULT R = Send(W->Parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (R)
            return R;
    }
    return MA_ACTIVATE;
}

LRESULT DefSetCursor(TWnd* W, WPARAM wParam, LPARAM lParam) {
    if (W->IsChild() && Send(W->Parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    LRESULT Ht = short(LOWORD(std::uintptr_t(lParam)));
    if (Ht == HTERROR) {
        UINT M = HIWORD(std::uintptr_t(lParam));
        if (M == WM_LBUTTONDOWN || M == WM_RBUTTONDOWN || M == WM_MBUTTONDOWN)
            MessageBeep(0);
        return FALSE;
    }
    if (Ht == HTCLIENT) {
        if (W->Class && W->Class->Cursor) {
            SetCursor(W->Class->Cursor);
            return TRUE;
        }
        return FALSE;
    }
    SetCursor(CursorForHit(Ht));
    return TRUE;
}

LRESULT DefActivate(HWND hWnd, WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
        SetFocus(hWnd);
    return 0;
}

LRESULT DefCancelMode(HWND hWnd) {
    TState& St = S();
    if (St.Capture == hWnd)
        ReleaseCapture();
    return 0;
}

LRESULT DefNcLButtonDown(TWnd* W, WPARAM wParam, LPARAM lParam) {
    LRESULT Ht = LRESULT(wParam);
    if (Ht == HTCAPTION)
        Send(W, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
    else if (Ht >= HTLEFT && Ht <= HTBOTTOMRIGHT)
        Send(W, WM_SYSCOMMAND, SC_SIZE | WPARAM(Ht - HTLEFT + 1), lParam);
    else if (Ht == HTSYSMENU)
        Send(W, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, lParam);
    else if (Ht == HTCLOSE || Ht == HTMINBUTTON || Ht == HTMAXBUTTON)
        TrackCaptionButton(W, Ht);
    else if (Ht == HTVSCROLL)
        Send(W, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, lParam);
    else if (Ht == HTHSCROLL)
        Send(W, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, lParam);
    return 0;
}

LRESULT DefNcLButtonDblClk(HWND hWnd, TWnd* W, WPARAM wParam, LPARAM lParam) {
    LRESULT Ht = LRESULT(wParam);
    if (Ht == HTCAPTION && (W->Style & WS_MAXIMIZEBOX) && (!W->IsChild() || W->IsMDIChild()))
        Send(W, WM_SYSCOMMAND, (W->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lParam);
    else if (Ht == HTSYSMENU && (W->Style & WS_SYSMENU))
        Send(W, WM_SYSCOMMAND, SC_CLOSE, lParam);
    else if (Ht == HTVSCROLL || Ht == HTHSCROLL)
        // A quick second press on a bar scrolls again, like the first.
        return DefWindowProcW(hWnd, WM_NCLBUTTONDOWN, wParam, lParam);
    return 0;
}

LRESULT DefNcRButtonUp(HWND hWnd, TWnd* W, WPARAM wParam, LPARAM lParam) {
    if (wParam == WPARAM(HTCAPTION) || wParam == WPARAM(HTSYSMENU))
        Send(W, WM_CONTEXTMENU, WPARAM(hWnd), lParam);
    return 0;
}

LRESULT DefRButtonUp(HWND hWnd, TWnd* W, LPARAM lParam) {
    POINT P{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hWnd, &P);
    Send(W, WM_CONTEXTMENU, WPARAM(hWnd), MAKELPARAM(P.X, P.Y));
    return 0;
}

LRESULT DefPassToParent(TWnd* W, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (W->IsChild())
        return Send(W->Parent, Msg, wParam, lParam);
    return 0;
}

LRESULT DefKeyDown() {
    TState& St = S();
    St.AltAlone = false;
    return 0;
}

LRESULT DefKeyUp(HWND hWnd, TWnd* W, WPARAM wParam) {
    if (wParam == VK_APPS)
        Send(W, WM_CONTEXTMENU, WPARAM(hWnd), LPARAM(-1));
    return 0;
}

LRESULT DefSysKeyDown(HWND hWnd, TWnd* W, WPARAM wParam, LPARAM lParam) {
    TState& St = S();
    if (wParam == VK_MENU) {
        if (!(lParam & (LPARAM(1) << 30)))
            St.AltAlone = true;
    } else {
        St.AltAlone = false;
        if (wParam == VK_F4 && (lParam & (LPARAM(1) << 29)))
            Send(TopLevelOf(W), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
            Send(W, WM_CONTEXTMENU, WPARAM(hWnd), LPARAM(-1));
        else if (wParam == VK_F10)
            St.AltAlone = true;
    }
    return 0;
}

LRESULT DefSysKeyUp(TWnd* W, WPARAM wParam) {
    TState& St = S();
    if ((wParam == VK_MENU || wParam == VK_F10) && St.AltAlone) {
        St.AltAlone = false;
        Send(TopLevelOf(W), WM_SYSCOMMAND, SC_KEYMENU, 0);
    }
    return 0;
}

LRESULT DefSysChar(TWnd* W, WPARAM wParam, LPARAM lParam) {
    TState& St = S();
    St.AltAlone = false;
    if (lParam & (LPARAM(1) << 29))
        Send(TopLevelOf(W), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wParam));
    return 0;
}

LRESULT DefSysCommand(HWND hWnd, TWnd* W, WPARAM wParam, LPARAM lParam) {
    TState& St = S();
    switch (wParam & 0xFFF0) {
    case SC_MOVE:
    case SC_SIZE: {
        POINT P{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!lParam)
            P = St.Cursor;
        MoveSizeLoop(W, wParam, P);
        break;
    }
    case SC_VSCROLL:
    case SC_HSCROLL: {
        POINT P{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScrollTrackLoop(W, (wParam & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ, P);
        break;
    }
    case SC_MINIMIZE:
        ShowWindow(hWnd, SW_MINIMIZE);
        break;
    case SC_MAXIMIZE:
        ShowWindow(hWnd, SW_SHOWMAXIMIZED);
        break;
    case SC_RESTORE:
        ShowWindow(hWnd, SW_RESTORE);
        break;
    case SC_CLOSE:
        if (!(W->Class && (W->Class->Style & CS_NOCLOSE)))
            Send(W, WM_CLOSE);
        break;
    }
    return 0;
}

} // namespace

LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return DefNcCreate(W, lParam);
    case WM_NCCALCSIZE:
        return DefNcCalcSize(W, lParam);
    case WM_NCHITTEST:
        return DefaultHitTest(W, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        return DefNcPaint(W, wParam);
    case WM_NCACTIVATE:
        return DefNcActivate(W, wParam);
    case WM_ERASEBKGND:
        return EraseDefaultBackground(W, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        return DefPaintMessage(W);
    case WM_SYNCPAINT:
        return DefSyncPaint(hWnd);
    case WM_SETREDRAW:
        return DefSetRedraw(W, wParam);
    case WM_SETTEXT:
        return DefSetText(W, lParam);
    case WM_GETTEXT:
        return DefGetText(W, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return LRESULT(W->Text.size());
    case WM_CLOSE:
        return DefClose(hWnd);
    case WM_WINDOWPOSCHANGING:
        return DefWindowPosChanging(W, lParam);
    case WM_WINDOWPOSCHANGED:
        return DefWindowPosChanged(hWnd, W, lParam);
    case WM_MOUSEACTIVATE:
        return DefMouseActivate(W, wParam, lParam);
    case WM_SETCURSOR:
        return DefSetCursor(W, wParam, lParam);
    case WM_ACTIVATE:
        return DefActivate(hWnd, wParam);
    case WM_CANCELMODE:
        return DefCancelMode(hWnd);
    case WM_NCLBUTTONDOWN:
        return DefNcLButtonDown(W, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
        return DefNcLButtonDblClk(hWnd, W, wParam, lParam);
    case WM_NCRBUTTONUP:
        return DefNcRButtonUp(hWnd, W, wParam, lParam);
    case WM_RBUTTONUP:
        return DefRButtonUp(hWnd, W, lParam);
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        return DefPassToParent(W, Msg, wParam, lParam);
    case WM_KEYDOWN:
        return DefKeyDown();
    case WM_KEYUP:
        return DefKeyUp(hWnd, W, wParam);
    case WM_SYSKEYDOWN:
        return DefSysKeyDown(hWnd, W, wParam, lParam);
    case WM_SYSKEYUP:
        return DefSysKeyUp(W, wParam);
    case WM_SYSCHAR:
        return DefSysChar(W, wParam, lParam);
    case WM_SYSCOMMAND:
        return DefSysCommand(hWnd, W, wParam, lParam);
    case WM_PRINT:
    case WM_PRINTCLIENT:
        return 0;
    }
    return 0;
}

// ---- System ----

int GetSystemMetrics(int Index) {
    TState& St = S();
    switch (Index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
        return St.Screen.Right - St.Screen.Left;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return St.Screen.Bottom - St.Screen.Top;
    case SM_CYFULLSCREEN:
        return St.WorkArea.Bottom - St.WorkArea.Top - 19;
    case SM_XVIRTUALSCREEN:
        return St.Screen.Left;
    case SM_YVIRTUALSCREEN:
        return St.Screen.Top;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 17;
    case SM_CYCAPTION:
        return 19;
    case SM_CYSMCAPTION:
        return 15;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYMENU:
        return 19;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
        return 12;
    case SM_CXMIN:
        return 112;
    case SM_CYMIN:
        return 27;
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_CXMAXTRACK:
        return St.Screen.Right - St.Screen.Left + 12;
    case SM_CYMAXTRACK:
        return St.Screen.Bottom - St.Screen.Top + 12;
    case SM_CXMAXIMIZED:
        return St.WorkArea.Right - St.WorkArea.Left + 8;
    case SM_CYMAXIMIZED:
        return St.WorkArea.Bottom - St.WorkArea.Top + 8;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
        return 1;
    case SM_SWAPBUTTON:
        return 0;
    }
    return 0;
}

BOOL SystemParametersInfoW(UINT Action, UINT UiParam, LPVOID Pv, UINT) {
    TState& St = S();
    switch (Action) {
    case SPI_GETWORKAREA:
        if (!Pv)
            return 0;
        *static_cast<RECT*>(Pv) = St.WorkArea;
        return 1;
    case SPI_SETWORKAREA:
        if (!Pv)
            return 0;
        St.WorkArea = *static_cast<RECT*>(Pv);
        return 1;
    case SPI_GETDRAGFULLWINDOWS:
        if (!Pv)
            return 0;
        *static_cast<BOOL*>(Pv) = St.DragFullWindows ? 1 : 0;
        return 1;
    case SPI_SETDRAGFULLWINDOWS:
        St.DragFullWindows = UiParam != 0;
        return 1;
    case SPI_GETWHEELSCROLLLINES:
        if (!Pv)
            return 0;
        *static_cast<UINT*>(Pv) = 3;
        return 1;
    case SPI_GETMOUSEHOVERTIME:
        if (!Pv)
            return 0;
        *static_cast<UINT*>(Pv) = 400;
        return 1;
    case SPI_GETDROPSHADOW:
        if (!Pv)
            return 0;
        *static_cast<BOOL*>(Pv) = 1;
        return 1;
    }
    return 0;
}

DWORD GetVersion() {
    return DWORD(6) | (DWORD(1) << 8) | (DWORD(7601) << 16);
}

static HMONITOR PrimaryMonitor() {
    return reinterpret_cast<HMONITOR>(std::uintptr_t(0x10001));
}

HMONITOR MonitorFromRect(const RECT* R, DWORD Flags) {
    if (!R)
        return nullptr;
    if (Flags == MONITOR_DEFAULTTONULL && EmptyR(IntersectR(*R, S().Screen)))
        return nullptr;
    return PrimaryMonitor();
}

HMONITOR MonitorFromWindow(HWND hWnd, DWORD Flags) {
    RECT R;
    if (!GetWindowRect(hWnd, &R))
        return Flags == MONITOR_DEFAULTTONULL ? nullptr : PrimaryMonitor();
    if (R.Right == R.Left || R.Bottom == R.Top)
        R = RECT{R.Left, R.Top, R.Left + 1, R.Top + 1};
    return MonitorFromRect(&R, Flags);
}

HMONITOR MonitorFromPoint(POINT Pt, DWORD Flags) {
    RECT R{Pt.X, Pt.Y, Pt.X + 1, Pt.Y + 1};
    return MonitorFromRect(&R, Flags);
}

BOOL GetMonitorInfoW(HMONITOR M, MONITORINFO* Mi) {
    if (M != PrimaryMonitor() || !Mi || Mi->cbSize < sizeof(MONITORINFO))
        return 0;
    Mi->rcMonitor = S().Screen;
    Mi->rcWork = S().WorkArea;
    Mi->dwFlags = MONITORINFOF_PRIMARY;
    return 1;
}
