// The scroll bars of windows with WS_HSCROLL / WS_VSCROLL: their state, the classic drawing in the
// non-client area the default WM_NCCALCSIZE reserved for them, and the mouse loop that turns presses and
// drags on them into WM_HSCROLL / WM_VSCROLL requests.
#include "platform/win/WinInternal.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace winimpl {

namespace {

// The parts of a bar, from the top (or left) end.
enum TScrollPart { spNone, spBackArrow, spBackPage, spThumb, spForwardPage, spForwardArrow };

constexpr UINT_PTR ScrollTimerId = 0xFFF0;
constexpr UINT FirstRepeatDelay = 400;
constexpr UINT RepeatDelay = 50;
constexpr int MinThumbLength = 8;

DWORD StyleBit(int Bar) {
    return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// The bar's state; a window without the bar's style has none until the bar is set or shown.
TScrollBarState* StateOf(TWnd* W, int Bar, bool Create) {
    if (!W || (Bar != SB_HORZ && Bar != SB_VERT))
        return nullptr;
    TScrollBarState& St = W->Scroll[Bar];
    if (!St.Known) {
        if (!Create && !(W->Style & StyleBit(Bar)))
            return nullptr;
        St.Known = true;
    }
    return &St;
}

// The highest position the thumb can reach: the last page ends at the maximum.
int MaxPos(const TScrollBarState& St) {
    std::int64_t Top = std::int64_t(St.Max) - std::max(St.Page - 1, 0);
    return int(std::max<std::int64_t>(Top, St.Min));
}

// The range holds more than one page, so the bar has something to scroll.
bool Needed(const TScrollBarState& St) {
    return std::int64_t(St.Max) - St.Min >= std::max(St.Page, 1);
}

void Clamp(TScrollBarState& St) {
    std::int64_t Span = std::int64_t(St.Max) - St.Min + 1;
    St.Page = int(std::clamp<std::int64_t>(St.Page, 0, std::min<std::int64_t>(Span, INT_MAX)));
    St.Pos = std::clamp(St.Pos, St.Min, MaxPos(St));
}

bool Active(TWnd* W, const TScrollBarState& St) {
    return W->Enabled() && Needed(St) && (St.Arrows & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH;
}

// Where the parts of a bar lie, in window coordinates.
struct TBarGeometry {
    RECT Bar;
    RECT Back, Forward, Thumb; // Thumb is empty when none is shown
    int Arrow = 0;             // arrow length along the bar
    int Track = 0;             // length between the arrows
    bool Vert = false;
};

RECT Piece(const TBarGeometry& G, int From, int To) {
    return G.Vert ? RECT{G.Bar.Left, G.Bar.Top + From, G.Bar.Right, G.Bar.Top + To}
                  : RECT{G.Bar.Left + From, G.Bar.Top, G.Bar.Left + To, G.Bar.Bottom};
}

bool Geometry(TWnd* W, int Bar, TBarGeometry& G) {
    if (!(W->NcBars & (1u << Bar)) || !(W->Style & StyleBit(Bar)))
        return false;
    TScrollBarState* St = StateOf(W, Bar, true);
    const RECT& C = W->Client;
    G.Vert = Bar == SB_VERT;
    int Thick = GetSystemMetrics(G.Vert ? SM_CXVSCROLL : SM_CYHSCROLL);
    G.Bar =
        G.Vert ? RECT{C.Right, C.Top, C.Right + Thick, C.Bottom} : RECT{C.Left, C.Bottom, C.Right, C.Bottom + Thick};
    int Length = G.Vert ? C.Bottom - C.Top : C.Right - C.Left;
    if (Length <= 0)
        return false;
    G.Arrow = std::min(Thick, Length / 2);
    G.Track = Length - 2 * G.Arrow;
    G.Back = Piece(G, 0, G.Arrow);
    G.Forward = Piece(G, Length - G.Arrow, Length);
    G.Thumb = RECT{};
    if (!Active(W, *St))
        return true;
    std::int64_t Span = std::int64_t(St->Max) - St->Min + 1;
    int ThumbLen = St->Page ? int(std::max<std::int64_t>(std::int64_t(G.Track) * St->Page / Span, MinThumbLength))
                            : GetSystemMetrics(G.Vert ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (ThumbLen > G.Track)
        return true;
    int Pos = St->Tracking ? St->TrackPos : St->Pos;
    std::int64_t Positions = std::int64_t(MaxPos(*St)) - St->Min;
    int Start = G.Arrow + (Positions > 0 ? int(std::int64_t(G.Track - ThumbLen) * (Pos - St->Min) / Positions) : 0);
    G.Thumb = Piece(G, Start, Start + ThumbLen);
    return true;
}

int Along(const TBarGeometry& G, POINT P) {
    return G.Vert ? P.Y - G.Bar.Top : P.X - G.Bar.Left;
}

TScrollPart PartAt(const TBarGeometry& G, POINT P) {
    if (!RectContains(G.Bar, P))
        return spNone;
    if (RectContains(G.Back, P))
        return spBackArrow;
    if (RectContains(G.Forward, P))
        return spForwardArrow;
    if (EmptyR(G.Thumb))
        return spNone;
    if (RectContains(G.Thumb, P))
        return spThumb;
    int At = Along(G, P);
    return At < (G.Vert ? G.Thumb.Top - G.Bar.Top : G.Thumb.Left - G.Bar.Left) ? spBackPage : spForwardPage;
}

void Fill(HDC Dc, RECT R, int SysColor) {
    FillRect(Dc, &R, GetSysColorBrush(SysColor));
}

// A small triangle pointing away from the middle of the bar.
void PaintArrowGlyph(HDC Dc, const RECT& B, bool Vert, bool Forward, int SysColor, int Shift) {
    int CX = (B.Left + B.Right) / 2 + Shift, CY = (B.Top + B.Bottom) / 2 + Shift;
    for (int I = 0; I < 4; ++I) {
        int Reach = Forward ? 3 - I : I;
        RECT Line = Vert ? RECT{CX - Reach, CY - 2 + I, CX + Reach + 1, CY - 1 + I}
                         : RECT{CX - 2 + I, CY - Reach, CX - 1 + I, CY + Reach + 1};
        Fill(Dc, Line, SysColor);
    }
}

void PaintButton(HDC Dc, RECT B, bool Pushed) {
    Fill(Dc, B, COLOR_BTNFACE);
    if (Pushed) {
        FrameRect(Dc, &B, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        DrawEdge(Dc, &B, EDGE_RAISED, BF_RECT);
    }
}

void PaintBar(TWnd* W, int Bar, HDC Dc) {
    TBarGeometry G;
    if (!Geometry(W, Bar, G))
        return;
    TScrollBarState& St = W->Scroll[Bar];
    bool On = Active(W, St);
    Fill(Dc, G.Bar, COLOR_BTNHIGHLIGHT);
    if (!EmptyR(G.Thumb) && (St.PressedPart == spBackPage || St.PressedPart == spForwardPage)) {
        RECT Page = St.PressedPart == spBackPage
                        ? (G.Vert ? RECT{G.Bar.Left, G.Back.Bottom, G.Bar.Right, G.Thumb.Top}
                                  : RECT{G.Back.Right, G.Bar.Top, G.Thumb.Left, G.Bar.Bottom})
                        : (G.Vert ? RECT{G.Bar.Left, G.Thumb.Bottom, G.Bar.Right, G.Forward.Top}
                                  : RECT{G.Thumb.Right, G.Bar.Top, G.Forward.Left, G.Bar.Bottom});
        Fill(Dc, Page, COLOR_3DDKSHADOW);
    }
    for (int Side = 0; Side < 2; ++Side) {
        const RECT& B = Side ? G.Forward : G.Back;
        bool Pushed = St.PressedPart == (Side ? spForwardArrow : spBackArrow);
        PaintButton(Dc, B, Pushed);
        bool ArrowOn = On && !(St.Arrows & (Side ? ESB_DISABLE_RTDN : ESB_DISABLE_LTUP));
        if (ArrowOn) {
            PaintArrowGlyph(Dc, B, G.Vert, Side == 1, COLOR_BTNTEXT, Pushed ? 1 : 0);
        } else {
            // Disabled: engraved grey.
            PaintArrowGlyph(Dc, B, G.Vert, Side == 1, COLOR_BTNHIGHLIGHT, 1);
            PaintArrowGlyph(Dc, B, G.Vert, Side == 1, COLOR_BTNSHADOW, 0);
        }
    }
    if (!EmptyR(G.Thumb))
        PaintButton(Dc, G.Thumb, false);
}

// Draws the bars straight away, as the platform does when a bar's state changes.
void RedrawBars(TWnd* W) {
    if (!W->NcBars || !W->Visible())
        return;
    HDC Dc = GetWindowDC(W->Handle);
    if (!Dc)
        return;
    PaintScrollBars(W, Dc);
    ReleaseDC(W->Handle, Dc);
}

// Shows or hides a bar by its style bit; the frame is measured again so the client area follows.
void ShowBar(TWnd* W, int Bar, bool Show) {
    DWORD Bit = StyleBit(Bar);
    if (bool(W->Style & Bit) == Show)
        return;
    W->Style = Show ? (W->Style | Bit) : (W->Style & ~Bit);
    SetWindowPos(W->Handle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int CodeFor(TScrollPart Part) {
    switch (Part) {
    case spBackArrow:
        return SB_LINEUP;
    case spForwardArrow:
        return SB_LINEDOWN;
    case spBackPage:
        return SB_PAGEUP;
    case spForwardPage:
        return SB_PAGEDOWN;
    default:
        return SB_ENDSCROLL;
    }
}

} // namespace

void PaintScrollBars(TWnd* W, HDC Dc) {
    PaintBar(W, SB_HORZ, Dc);
    PaintBar(W, SB_VERT, Dc);
    TBarGeometry H, V;
    if (Geometry(W, SB_HORZ, H) && Geometry(W, SB_VERT, V))
        Fill(Dc, RECT{V.Bar.Left, H.Bar.Top, V.Bar.Right, H.Bar.Bottom}, COLOR_BTNFACE);
}

void ScrollTrackLoop(TWnd* W, int Bar, POINT ScreenPt) {
    TBarGeometry G;
    if (!Geometry(W, Bar, G))
        return;
    HWND h = W->Handle;
    TScrollBarState& St = W->Scroll[Bar];
    POINT Origin = WindowOriginOnScreen(W);
    auto Local = [&](POINT P) { return POINT{P.X - Origin.X, P.Y - Origin.Y}; };
    TScrollPart Part = PartAt(G, Local(ScreenPt));
    if (Part == spNone || (Part == spBackArrow && (St.Arrows & ESB_DISABLE_LTUP)) ||
        (Part == spForwardArrow && (St.Arrows & ESB_DISABLE_RTDN)))
        return;
    UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    auto Request = [&](int Code, int Pos = 0) { SendMessageW(h, Msg, MAKEWPARAM(Code, Pos), 0); };

    SetCapture(h);
    St.PressedPart = Part == spThumb ? spNone : Part;
    int DragOffset = 0;
    if (Part == spThumb) {
        St.Tracking = true;
        St.TrackPos = St.Pos;
        DragOffset = Along(G, Local(ScreenPt)) - (G.Vert ? G.Thumb.Top - G.Bar.Top : G.Thumb.Left - G.Bar.Left);
    }
    RedrawBars(W);
    if (Part != spThumb) {
        Request(CodeFor(Part));
        if (Alive(h))
            SetTimer(h, ScrollTimerId, FirstRepeatDelay, nullptr);
    }
    POINT Mouse = Local(ScreenPt);
    MSG M;
    while (NextCapturedMessage(h, M)) {
        if (M.message == WM_LBUTTONUP || M.message == WM_NCLBUTTONUP)
            break;
        if (M.message == WM_MOUSEMOVE || M.message == WM_NCMOUSEMOVE) {
            Mouse = Local(M.pt);
            if (Part != spThumb || !Geometry(W, Bar, G) || EmptyR(G.Thumb))
                continue;
            int ThumbLen = G.Vert ? G.Thumb.Bottom - G.Thumb.Top : G.Thumb.Right - G.Thumb.Left;
            int Free = G.Track - ThumbLen;
            std::int64_t Positions = std::int64_t(MaxPos(St)) - St.Min;
            int At = std::clamp(Along(G, Mouse) - DragOffset - G.Arrow, 0, std::max(Free, 0));
            int Pos = Free > 0 ? St.Min + int((At * Positions + Free / 2) / Free) : St.Min;
            Pos = std::clamp(Pos, St.Min, MaxPos(St));
            if (Pos != St.TrackPos) {
                St.TrackPos = Pos;
                RedrawBars(W);
                Request(SB_THUMBTRACK, Pos);
            }
            continue;
        }
        if (M.message == WM_TIMER && M.hwnd == h && M.wParam == ScrollTimerId) {
            // Repeats while the mouse stays on the pressed part (a page press stops once the thumb
            // has reached the mouse).
            if (Geometry(W, Bar, G) && PartAt(G, Mouse) == Part) {
                Request(CodeFor(Part));
                if (Alive(h))
                    SetTimer(h, ScrollTimerId, RepeatDelay, nullptr);
            }
            continue;
        }
        if ((M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
            (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) ||
            (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCMBUTTONDBLCLK))
            continue;
        TranslateMessage(&M);
        DispatchMessageW(&M);
    }
    if (!Alive(h))
        return;
    KillTimer(h, ScrollTimerId);
    if (GetCapture() == h)
        ReleaseCapture();
    St.PressedPart = spNone;
    if (Part == spThumb) {
        Request(SB_THUMBPOSITION, St.TrackPos);
        if (!Alive(h))
            return;
        St.Tracking = false;
    }
    RedrawBars(W);
    Request(SB_ENDSCROLL);
}

} // namespace winimpl

using namespace winimpl;

int SetScrollInfo(HWND hwnd, int nBar, const SCROLLINFO* lpsi, BOOL redraw) {
    TWnd* W = FromHandle(hwnd);
    TScrollBarState* St = lpsi ? StateOf(W, nBar, true) : nullptr;
    if (!St)
        return 0;
    UINT Mask = lpsi->fMask;
    // A range that ends before it starts is refused whole, so no half-applied state is left.
    if ((Mask & SIF_RANGE) && lpsi->nMax < lpsi->nMin)
        return St->Pos;
    if (Mask & SIF_RANGE) {
        St->Min = lpsi->nMin;
        St->Max = lpsi->nMax;
    }
    if (Mask & SIF_PAGE)
        St->Page = int(std::min<UINT>(lpsi->nPage, UINT(INT_MAX)));
    if (Mask & SIF_POS)
        St->Pos = lpsi->nPos;
    Clamp(*St);
    int Pos = St->Pos;
    if (Mask & (SIF_RANGE | SIF_PAGE)) {
        bool Need = Needed(*St);
        if (Mask & SIF_DISABLENOSCROLL) {
            St->Arrows = Need ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
            ShowBar(W, nBar, true);
        } else {
            ShowBar(W, nBar, Need);
        }
    }
    if (redraw && Alive(hwnd))
        RedrawBars(W);
    return Pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, SCROLLINFO* lpsi) {
    TScrollBarState* St = lpsi ? StateOf(FromHandle(hwnd), nBar, false) : nullptr;
    if (!St)
        return FALSE;
    UINT Mask = lpsi->fMask;
    if (Mask & SIF_RANGE) {
        lpsi->nMin = St->Min;
        lpsi->nMax = St->Max;
    }
    if (Mask & SIF_PAGE)
        lpsi->nPage = UINT(St->Page);
    if (Mask & SIF_POS)
        lpsi->nPos = St->Pos;
    if (Mask & SIF_TRACKPOS)
        lpsi->nTrackPos = St->Tracking ? St->TrackPos : St->Pos;
    return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    TScrollBarState* St = StateOf(FromHandle(hWnd), nBar, true);
    if (!St)
        return 0;
    int Old = St->Pos;
    SCROLLINFO Si;
    Si.fMask = SIF_POS;
    Si.nPos = nPos;
    SetScrollInfo(hWnd, nBar, &Si, bRedraw);
    return Old;
}

int GetScrollPos(HWND hWnd, int nBar) {
    TScrollBarState* St = StateOf(FromHandle(hWnd), nBar, false);
    return St ? St->Pos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    if (!StateOf(FromHandle(hWnd), nBar, true) || nMaxPos < nMinPos ||
        std::int64_t(nMaxPos) - nMinPos > std::int64_t(INT_MAX))
        return FALSE;
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE;
    Si.nMin = nMinPos;
    Si.nMax = nMaxPos;
    SetScrollInfo(hWnd, nBar, &Si, bRedraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, int* lpMinPos, int* lpMaxPos) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !lpMinPos || !lpMaxPos || (nBar != SB_HORZ && nBar != SB_VERT))
        return FALSE;
    TScrollBarState* St = StateOf(W, nBar, false);
    *lpMinPos = St ? St->Min : 0;
    *lpMaxPos = St ? St->Max : 0;
    return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
    TWnd* W = FromHandle(hWnd);
    if (!W || wBar < SB_HORZ || wBar > SB_BOTH || wBar == SB_CTL)
        return FALSE;
    for (int Bar : {SB_HORZ, SB_VERT}) {
        if (wBar != SB_BOTH && wBar != Bar)
            continue;
        StateOf(W, Bar, true);
        ShowBar(W, Bar, bShow != FALSE);
        if (!Alive(hWnd))
            return FALSE;
    }
    return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
    TWnd* W = FromHandle(hWnd);
    if (!W || wSBflags > UINT(SB_BOTH) || wSBflags == UINT(SB_CTL))
        return FALSE;
    bool Changed = false;
    for (int Bar : {SB_HORZ, SB_VERT}) {
        if (wSBflags != UINT(SB_BOTH) && wSBflags != UINT(Bar))
            continue;
        TScrollBarState* St = StateOf(W, Bar, true);
        UINT Arrows = wArrows & ESB_DISABLE_BOTH;
        if (St->Arrows != Arrows) {
            St->Arrows = Arrows;
            Changed = true;
        }
    }
    if (Changed)
        RedrawBars(W);
    return Changed ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG idObject, SCROLLBARINFO* psbi) {
    TWnd* W = FromHandle(hwnd);
    if (!W || !psbi || (idObject != OBJID_HSCROLL && idObject != OBJID_VSCROLL))
        return FALSE;
    const int Bar = idObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
    *psbi = SCROLLBARINFO{};
    TBarGeometry G;
    if (!Geometry(W, Bar, G)) {
        psbi->rgstate[0] = STATE_SYSTEM_INVISIBLE;
        return TRUE;
    }
    RECT Window;
    GetWindowRect(hwnd, &Window);
    psbi->rcScrollBar = G.Bar;
    OffsetRect(&psbi->rcScrollBar, Window.Left, Window.Top);
    psbi->dxyLineButton = G.Arrow;
    const TScrollBarState& St = *StateOf(W, Bar, true);
    if (!Active(W, St))
        psbi->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
    if (EmptyR(G.Thumb)) {
        // No thumb: the pages and thumb are not shown, the thumb lies at the track's start.
        psbi->xyThumbTop = psbi->xyThumbBottom = G.Arrow;
        psbi->rgstate[2] = psbi->rgstate[3] = psbi->rgstate[4] = STATE_SYSTEM_INVISIBLE;
    } else {
        psbi->xyThumbTop = G.Vert ? G.Thumb.Top - G.Bar.Top : G.Thumb.Left - G.Bar.Left;
        psbi->xyThumbBottom = G.Vert ? G.Thumb.Bottom - G.Bar.Top : G.Thumb.Right - G.Bar.Left;
    }
    const int Parts[] = {0, spBackArrow, spBackPage, spThumb, spForwardPage, spForwardArrow};
    for (int I = 1; I <= CCHILDREN_SCROLLBAR; ++I)
        if (St.PressedPart == Parts[I])
            psbi->rgstate[I] |= STATE_SYSTEM_PRESSED;
    return TRUE;
}
