// Input: hit testing, mouse and keyboard messages made from raw input, capture, focus, activation,
// key state, cursors and mouse tracking.
#include "platform/win/WinInternal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace winimpl {

bool RegionContains(TWnd* W, POINT WindowPt);
bool LayerHit(TWnd* W, POINT WindowPt);

static bool ClickThrough(TWnd* W) {
    return (W->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

static TWnd* HitIn(TWnd* Parent, POINT Pt, LRESULT* Hit, bool SendNc, bool TopLevel) {
    std::vector<HWND> Order;
    for (TWnd* C : Parent->Children)
        Order.push_back(C->Handle);
    for (HWND h : Order) {
        TWnd* C = FromHandle(h);
        if (!C || !C->Visible() || ClickThrough(C))
            continue;
        RECT R = ScreenWindowRect(C);
        if (!RectContains(R, Pt))
            continue;
        POINT Local{Pt.X - R.Left, Pt.Y - R.Top};
        if (!RegionContains(C, Local) || !LayerHit(C, Local))
            continue;
        if (!C->Enabled()) {
            if (!TopLevel)
                continue;   // a disabled child lets its parent take the point
            *Hit = HTERROR; // a disabled top-level window swallows it
            return C;
        }
        POINT Co = ClientOriginOnScreen(C);
        RECT Cl = OffsetR(C->Client, Co.X - C->Client.Left, Co.Y - C->Client.Top);
        if (!(C->Style & WS_MINIMIZE) && RectContains(Cl, Pt)) {
            if (TWnd* D = HitIn(C, Pt, Hit, SendNc, false))
                return D;
        }
        if (!Alive(h))
            continue;
        LRESULT Ht = SendNc ? Send(C, WM_NCHITTEST, 0, MAKELPARAM(Pt.X, Pt.Y)) : DefaultHitTest(C, Pt);
        if (Ht == HTTRANSPARENT || !Alive(h))
            continue;
        *Hit = Ht;
        return C;
    }
    return nullptr;
}

TWnd* HitTest(POINT Pt, LRESULT* Hit, bool SendNc) {
    *Hit = HTNOWHERE;
    return HitIn(DesktopWnd(), Pt, Hit, SendNc, true);
}

static UINT NcOf(UINT ClientMsg) {
    return ClientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
}
static bool IsNcMouse(UINT M) {
    return M >= WM_NCMOUSEMOVE && M <= WM_NCMBUTTONDBLCLK;
}
static UINT ClientOf(UINT M) {
    return IsNcMouse(M) ? M - WM_NCMOUSEMOVE + WM_MOUSEMOVE : M;
}

static WPARAM MouseKeys() {
    TState& St = S();
    WPARAM K = 0;
    if (St.KeyState[VK_LBUTTON] & 0x80)
        K |= MK_LBUTTON;
    if (St.KeyState[VK_RBUTTON] & 0x80)
        K |= MK_RBUTTON;
    if (St.KeyState[VK_MBUTTON] & 0x80)
        K |= MK_MBUTTON;
    if (St.KeyState[VK_SHIFT] & 0x80)
        K |= MK_SHIFT;
    if (St.KeyState[VK_CONTROL] & 0x80)
        K |= MK_CONTROL;
    return K;
}

static void PostLeave(TWnd* W, bool WasClient) {
    bool Nc = W->TrackFlags & TME_NONCLIENT;
    if ((W->TrackFlags & TME_LEAVE) && Nc != WasClient) {
        PostMessageW(W->Handle, Nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        W->TrackFlags = 0;
        W->HoverDue = 0;
    }
}

static void UpdateTracking(TWnd* Target, LRESULT Ht) {
    TState& St = S();
    TWnd* Prev = FromHandle(St.LastMouseWnd);
    bool PrevClient = St.LastMouseHit == HTCLIENT;
    if (Prev && (Prev != Target || PrevClient != (Ht == HTCLIENT)))
        PostLeave(Prev, PrevClient);
    St.LastMouseWnd = Target ? Target->Handle : nullptr;
    St.LastMouseHit = Ht;
    if (Target && (Target->TrackFlags & TME_HOVER))
        Target->HoverDue = WinClock().Current() + Target->HoverTime;
}

static int VkOfButton(int B) {
    return B == 0 ? VK_LBUTTON : B == 1 ? VK_RBUTTON : VK_MBUTTON;
}

static void CookMouse(const TRawInput& R) {
    TState& St = S();
    St.Cursor = R.Pt;
    UINT Base = WM_MOUSEMOVE;
    if (R.Kind == TRawKind::ButtonDown || R.Kind == TRawKind::ButtonUp) {
        bool Down = R.Kind == TRawKind::ButtonDown;
        static const UINT Downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        static const UINT Ups[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
        int B = std::clamp(R.Button, 0, 2);
        Base = Down ? Downs[B] : Ups[B];
        BYTE& K = St.KeyState[VkOfButton(B)];
        K = Down ? BYTE(K | 0x80) : BYTE(K & ~0x80);
    }
    TWnd* Target = nullptr;
    LRESULT Ht = HTCLIENT;
    TWnd* Cap = FromHandle(St.Capture);
    if (Cap) {
        Target = Cap;
    } else {
        Target = HitTest(R.Pt, &Ht, true);
    }
    UpdateTracking(Target, Ht);
    if (!Target)
        return;
    if (!Cap && (!Target->Enabled() || Ht == HTERROR || Ht == HTNOWHERE)) {
        if (Base != WM_MOUSEMOVE && Base != WM_LBUTTONUP && Base != WM_RBUTTONUP && Base != WM_MBUTTONUP)
            MessageBeep(0);
        return;
    }
    DWORD Time = MessageTime();
    bool IsDown = Base == WM_LBUTTONDOWN || Base == WM_RBUTTONDOWN || Base == WM_MBUTTONDOWN;
    UINT Msg = Base;
    if (IsDown) {
        int Cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, Cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        bool Double = !St.LastClickWasDouble && St.LastClickWnd == Target->Handle && St.LastClickMsg == Base &&
                      Time - St.LastClickTime <= St.DoubleClickTime && std::abs(R.Pt.X - St.LastClickPt.X) <= Cx &&
                      std::abs(R.Pt.Y - St.LastClickPt.Y) <= Cy;
        bool Allowed = Ht != HTCLIENT || (Target->Class && (Target->Class->Style & CS_DBLCLKS));
        if (Double && Allowed) {
            Msg = Base + 2; // the double-click message follows the up message in each group
            St.LastClickWasDouble = true;
        } else {
            St.LastClickWasDouble = false;
        }
        St.LastClickWnd = Target->Handle;
        St.LastClickMsg = Base;
        St.LastClickTime = Time;
        St.LastClickPt = R.Pt;
    }
    MSG M;
    M.hwnd = Target->Handle;
    M.time = Time;
    M.pt = R.Pt;
    if (Ht == HTCLIENT) {
        POINT P = R.Pt;
        ScreenToClient(Target->Handle, &P);
        M.message = Msg;
        M.wParam = MouseKeys();
        M.lParam = MAKELPARAM(P.X, P.Y);
    } else {
        M.message = NcOf(Msg);
        M.wParam = WPARAM(Ht);
        M.lParam = MAKELPARAM(R.Pt.X, R.Pt.Y);
    }
    if (!Cap && Msg == WM_MOUSEMOVE) {
        Send(Target, WM_SETCURSOR, WPARAM(Target->Handle), MAKELPARAM(int(Ht), int(Msg)));
        if (!Alive(M.hwnd))
            return;
    }
    St.Cooked.push_back(M);
}

static UINT GenericKey(UINT Vk) {
    switch (Vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    }
    return Vk;
}

static void SetKey(BYTE* Table, UINT Vk, bool Down) {
    BYTE& K = Table[Vk & 0xFF];
    bool WasDown = K & 0x80;
    if (Down && !WasDown)
        K ^= 0x01; // toggled on each press
    K = Down ? BYTE(K | 0x80) : BYTE(K & ~0x80);
}

static void CookKey(const TRawInput& R) {
    TState& St = S();
    bool Down = R.Kind == TRawKind::KeyDown;
    UINT Vk = GenericKey(R.Key);
    bool WasDown = St.KeyState[Vk] & 0x80;
    SetKey(St.KeyState, R.Key, Down);
    if (Vk != R.Key)
        SetKey(St.KeyState, Vk, Down);
    bool Alt = St.KeyState[VK_MENU] & 0x80;
    bool Ctrl = St.KeyState[VK_CONTROL] & 0x80;
    TWnd* Target = FromHandle(St.Focus);
    bool Sys = Vk == VK_MENU || Vk == VK_F10 || (Alt && !Ctrl);
    if (Vk == VK_MENU && !Down)
        Sys = true;
    if (!Target) {
        Target = FromHandle(St.Active);
        Sys = true;
    }
    if (!Target || !TopLevelOf(Target)->Enabled())
        return;
    MSG M;
    M.hwnd = Target->Handle;
    M.message = Sys ? (Down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (Down ? WM_KEYDOWN : WM_KEYUP);
    M.wParam = Vk;
    DWORD Scan = (R.Key & 0xFF) ^ 0x40;
    LPARAM L = LPARAM(1 | (Scan << 16));
    if (Alt)
        L |= LPARAM(1) << 29;
    if (Down ? WasDown : true)
        L |= LPARAM(1) << 30;
    if (!Down)
        L |= LPARAM(DWORD(1) << 31);
    M.lParam = L;
    M.time = MessageTime();
    M.pt = St.Cursor;
    St.Cooked.push_back(M);
}

bool CookRawInput() {
    TState& St = S();
    TRawInput R;
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        if (St.Raw.empty())
            return false;
        R = St.Raw.front();
        St.Raw.pop_front();
    }
    switch (R.Kind) {
    case TRawKind::MouseMove:
    case TRawKind::ButtonDown:
    case TRawKind::ButtonUp:
        CookMouse(R);
        break;
    case TRawKind::Wheel: {
        TWnd* T = FromHandle(St.Focus);
        if (!T)
            T = FromHandle(St.Active);
        if (!T)
            break;
        MSG M;
        M.hwnd = T->Handle;
        M.message = WM_MOUSEWHEEL;
        M.wParam = MAKEWPARAM(int(MouseKeys()), R.Delta);
        M.lParam = MAKELPARAM(St.Cursor.X, St.Cursor.Y);
        M.time = MessageTime();
        M.pt = St.Cursor;
        St.Cooked.push_back(M);
        break;
    }
    case TRawKind::KeyDown:
    case TRawKind::KeyUp:
        CookKey(R);
        break;
    case TRawKind::Char: {
        TWnd* T = FromHandle(St.Focus);
        if (!T)
            break;
        MSG M;
        M.hwnd = T->Handle;
        M.message = WM_CHAR;
        M.wParam = R.Ch;
        M.lParam = 1;
        M.time = MessageTime();
        M.pt = St.Cursor;
        St.Cooked.push_back(M);
        break;
    }
    }
    return true;
}

bool PrepareButtonMessage(MSG& M) {
    TState& St = S();
    UINT Cm = ClientOf(M.message);
    bool Down = Cm == WM_LBUTTONDOWN || Cm == WM_RBUTTONDOWN || Cm == WM_MBUTTONDOWN || Cm == WM_LBUTTONDBLCLK ||
                Cm == WM_RBUTTONDBLCLK || Cm == WM_MBUTTONDBLCLK;
    if (!Down || (M.message < WM_MOUSEFIRST && !IsNcMouse(M.message)))
        return true;
    TWnd* W = FromHandle(M.hwnd);
    if (!W)
        return false;
    HWND h = M.hwnd;
    LRESULT Ht = IsNcMouse(M.message) ? LRESULT(M.wParam) : HTCLIENT;
    bool Eat = false;
    bool Captured = St.Capture != nullptr;
    TWnd* Top = TopLevelOf(W);
    // Inside an MDI child a press asks even when the frame is active: the child may have to become
    // the active one among its siblings.
    bool InMDIChild = false;
    for (TWnd* A = W; A && A->IsChild() && !InMDIChild; A = A->Parent)
        InMDIChild = A->IsMDIChild();
    if (!Captured && (Top->Handle != St.Active || InMDIChild)) {
        LRESULT R = Send(W, WM_MOUSEACTIVATE, WPARAM(Top->Handle), MAKELPARAM(int(Ht), int(Cm)));
        if (!Alive(h))
            return false;
        if ((R == MA_ACTIVATE || R == MA_ACTIVATEANDEAT || R == 0) && Alive(Top->Handle) && Top->Handle != St.Active &&
            !(Top->ExStyle & WS_EX_NOACTIVATE))
            ActivateWindow(Top, WA_CLICKACTIVE);
        Eat = R == MA_ACTIVATEANDEAT || R == MA_NOACTIVATEANDEAT;
        if (!Alive(h))
            return false;
    }
    if (!Captured) {
        Send(W, WM_SETCURSOR, WPARAM(h), MAKELPARAM(int(Ht), int(Cm)));
        if (!Alive(h))
            return false;
    }
    if (W->IsChild() && !(W->ExStyle & WS_EX_NOPARENTNOTIFY) && !Eat) {
        UINT Note = Cm == WM_LBUTTONDBLCLK   ? WM_LBUTTONDOWN
                    : Cm == WM_RBUTTONDBLCLK ? WM_RBUTTONDOWN
                    : Cm == WM_MBUTTONDBLCLK ? WM_MBUTTONDOWN
                                             : Cm;
        for (TWnd* C = W; C->IsChild() && !(C->ExStyle & WS_EX_NOPARENTNOTIFY); C = C->Parent) {
            TWnd* P = C->Parent;
            POINT Pt = M.pt;
            ScreenToClient(P->Handle, &Pt);
            HWND Ph = P->Handle;
            Send(P, WM_PARENTNOTIFY, MAKEWPARAM(int(Note), 0), MAKELPARAM(Pt.X, Pt.Y));
            if (!Alive(h) || !Alive(Ph))
                return false;
        }
    }
    return !Eat;
}

void ActivateWindow(TWnd* W, WORD How) {
    TState& St = S();
    W = TopLevelOf(W);
    if (!W || W == DesktopWnd() || W->Dead)
        return;
    HWND New = W->Handle;
    HWND Old = St.Active;
    if (Old == New)
        return;
    if (W->Visible() && DesktopWnd()->Children.front() != W) {
        SetWindowPos(New, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!Alive(New) || St.Active == New)
            return;
    }
    if (TWnd* O = FromHandle(Old)) {
        Send(O, WM_NCACTIVATE, FALSE, 0);
        if (Alive(Old))
            Send(O, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Old) ? 1 : 0), LPARAM(New));
    }
    if (!Alive(New))
        return;
    St.Active = New;
    Send(W, WM_NCACTIVATE, TRUE, 0);
    if (!Alive(New) || St.Active != New)
        return;
    Send(W, WM_ACTIVATE, MAKEWPARAM(How, IsIconic(New) ? 1 : 0), LPARAM(Old));
    if (!Alive(New) || St.Active != New)
        return;
    if (St.Focus && !IsDescendant(W, FromHandle(St.Focus))) {
        HWND F = St.Focus;
        St.Focus = nullptr;
        if (TWnd* Fw = FromHandle(F))
            Send(Fw, WM_KILLFOCUS, 0, 0);
    }
    if (St.Backend)
        St.Backend->TopLevelChanged(W);
}

static bool CanActivate(TWnd* W, TWnd* Leaving) {
    return W && W != Leaving && !W->Dead && W->Visible() && W->Enabled() && !(W->Style & WS_MINIMIZE) &&
           !(W->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
}

void ActivateOtherWindow(TWnd* Leaving) {
    TState& St = S();
    TWnd* Next = nullptr;
    if (Leaving && CanActivate(Leaving->Owner, Leaving))
        Next = Leaving->Owner;
    if (!Next)
        for (TWnd* C : DesktopWnd()->Children)
            if (CanActivate(C, Leaving)) {
                Next = C;
                break;
            }
    if (Next) {
        ActivateWindow(Next, WA_ACTIVE);
        return;
    }
    HWND Old = St.Active;
    St.Active = nullptr;
    if (TWnd* O = FromHandle(Old)) {
        Send(O, WM_NCACTIVATE, FALSE, 0);
        if (Alive(Old))
            Send(O, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Old) ? 1 : 0), 0);
    }
    if (St.Focus) {
        HWND F = St.Focus;
        St.Focus = nullptr;
        if (TWnd* Fw = FromHandle(F))
            Send(Fw, WM_KILLFOCUS, 0, 0);
    }
}

void CancelModes(TWnd* W) {
    TState& St = S();
    if (St.Focus && IsDescendant(W, FromHandle(St.Focus)))
        SetFocus(nullptr);
    if (St.Capture && IsDescendant(W, FromHandle(St.Capture)))
        ReleaseCapture();
}

static void PushRaw(const TRawInput& R) {
    TState& St = S();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.Raw.push_back(R);
        St.QueueSignal.notify_all();
    }
    if (St.Backend)
        St.Backend->Wake();
}

void TInputState::Reset() {
    Capture = Focus = Active = nullptr;
    std::memset(KeyState, 0, sizeof KeyState);
    std::memset(AsyncKeyState, 0, sizeof AsyncKeyState);
    Cursor = POINT{0, 0};
    CurrentCursor = nullptr;
    DoubleClickTime = 500;
    DragFullWindows = true;
    LastClickWnd = nullptr;
    LastClickMsg = 0;
    LastMouseWnd = nullptr;
    LastMouseHit = HTNOWHERE;
    AltAlone = false;
}

} // namespace winimpl

using namespace winimpl;

// ---- Injection ----

void InjectMouseMove(int X, int Y) {
    EnsureGuiThread();
    TRawInput R;
    R.Kind = TRawKind::MouseMove;
    {
        std::lock_guard<std::mutex> L(S().QueueLock);
        S().RawCursor = POINT{X, Y};
    }
    R.Pt = POINT{X, Y};
    PushRaw(R);
}

void InjectMouseButton(int AButton, bool ADown) {
    EnsureGuiThread();
    TRawInput R;
    R.Kind = ADown ? TRawKind::ButtonDown : TRawKind::ButtonUp;
    R.Button = AButton;
    {
        std::lock_guard<std::mutex> L(S().QueueLock);
        R.Pt = S().RawCursor;
    }
    SetKey(S().AsyncKeyState, VkOfButton(std::clamp(AButton, 0, 2)), ADown);
    PushRaw(R);
}

void InjectMouseWheel(int ADelta) {
    TRawInput R;
    R.Kind = TRawKind::Wheel;
    R.Delta = ADelta;
    PushRaw(R);
}

void InjectKey(UINT Vk, bool ADown) {
    EnsureGuiThread();
    SetKey(S().AsyncKeyState, Vk, ADown);
    if (GenericKey(Vk) != Vk)
        SetKey(S().AsyncKeyState, GenericKey(Vk), ADown);
    TRawInput R;
    R.Kind = ADown ? TRawKind::KeyDown : TRawKind::KeyUp;
    R.Key = Vk;
    PushRaw(R);
}

void InjectChar(WCHAR Ch) {
    TRawInput R;
    R.Kind = TRawKind::Char;
    R.Ch = Ch;
    PushRaw(R);
}

void InjectClick(int X, int Y, int AButton) {
    InjectMouseMove(X, Y);
    InjectMouseButton(AButton, true);
    InjectMouseButton(AButton, false);
}

void InjectKeyPress(UINT Vk) {
    InjectKey(Vk, true);
    InjectKey(Vk, false);
}

// ---- Capture, focus, activation ----

HWND SetCapture(HWND hWnd) {
    TState& St = S();
    HWND Old = St.Capture;
    if (!IsWindow(hWnd))
        return Old;
    St.Capture = hWnd;
    if (Old && Old != hWnd)
        if (TWnd* O = FromHandle(Old))
            Send(O, WM_CAPTURECHANGED, 0, LPARAM(hWnd));
    return Old;
}

BOOL ReleaseCapture() {
    TState& St = S();
    HWND Old = St.Capture;
    St.Capture = nullptr;
    if (TWnd* O = FromHandle(Old))
        Send(O, WM_CAPTURECHANGED, 0, 0);
    return 1;
}

HWND GetCapture() {
    TState& St = S();
    return Alive(St.Capture) ? St.Capture : nullptr;
}

HWND SetFocus(HWND hWnd) {
    TState& St = S();
    HWND Old = St.Focus;
    if (!hWnd) {
        St.Focus = nullptr;
        if (TWnd* O = FromHandle(Old))
            Send(O, WM_KILLFOCUS, 0, 0);
        return Old;
    }
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return nullptr;
    if (hWnd == Old)
        return Old;
    TWnd* Top = TopLevelOf(W);
    if (Top->Handle != St.Active) {
        ActivateWindow(Top, WA_ACTIVE);
        if (!Alive(hWnd))
            return nullptr;
        if (St.Focus == hWnd)
            return Old;
    }
    HWND Losing = St.Focus;
    if (TWnd* O = FromHandle(Losing)) {
        Send(O, WM_KILLFOCUS, WPARAM(hWnd), 0);
        if (!Alive(hWnd))
            return nullptr;
    }
    St.Focus = hWnd;
    Send(W, WM_SETFOCUS, WPARAM(Alive(Losing) ? Losing : nullptr), 0);
    return Alive(Old) ? Old : nullptr;
}

HWND GetFocus() {
    TState& St = S();
    return Alive(St.Focus) ? St.Focus : nullptr;
}

HWND GetActiveWindow() {
    TState& St = S();
    return Alive(St.Active) ? St.Active : nullptr;
}

HWND SetActiveWindow(HWND hWnd) {
    HWND Old = GetActiveWindow();
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return nullptr;
    ActivateWindow(W, WA_ACTIVE);
    return Old;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

BOOL SetForegroundWindow(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    ActivateWindow(W, WA_ACTIVE);
    return 1;
}

// ---- Keys ----

short GetKeyState(int Vk) {
    BYTE K = S().KeyState[Vk & 0xFF];
    return short(((K & 0x80) ? 0x8000 : 0) | (K & 0x01));
}

short GetAsyncKeyState(int Vk) {
    BYTE K = S().AsyncKeyState[Vk & 0xFF];
    return short((K & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* Out) {
    if (!Out)
        return 0;
    std::copy(S().KeyState, S().KeyState + 256, Out);
    return 1;
}

// The character a key makes on a US keyboard, or 0.
static WCHAR CharOfKey(UINT Vk, bool Shift, bool Ctrl, bool Caps) {
    if (Vk >= 'A' && Vk <= 'Z') {
        if (Ctrl)
            return WCHAR(Vk - 'A' + 1);
        bool Upper = Shift != Caps;
        return WCHAR(Upper ? Vk : Vk + 32);
    }
    if (Ctrl) {
        switch (Vk) {
        case VK_RETURN:
            return 10;
        case VK_BACK:
            return 127;
        case VK_ESCAPE:
            return 27;
        case VK_OEM_4:
            return 27;
        case VK_OEM_5:
            return 28;
        case VK_OEM_6:
            return 29;
        }
        return 0;
    }
    if (Vk >= '0' && Vk <= '9')
        return Shift ? WCHAR(u")!@#$%^&*("[Vk - '0']) : WCHAR(Vk);
    if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD0 + 9)
        return WCHAR('0' + (Vk - VK_NUMPAD0));
    switch (Vk) {
    case VK_SPACE:
        return u' ';
    case VK_RETURN:
        return 13;
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    case VK_ESCAPE:
        return 27;
    case VK_MULTIPLY:
        return u'*';
    case VK_ADD:
        return u'+';
    case VK_SUBTRACT:
        return u'-';
    case VK_DECIMAL:
        return u'.';
    case VK_DIVIDE:
        return u'/';
    case VK_OEM_1:
        return Shift ? u':' : u';';
    case VK_OEM_PLUS:
        return Shift ? u'+' : u'=';
    case VK_OEM_COMMA:
        return Shift ? u'<' : u',';
    case VK_OEM_MINUS:
        return Shift ? u'_' : u'-';
    case VK_OEM_PERIOD:
        return Shift ? u'>' : u'.';
    case VK_OEM_2:
        return Shift ? u'?' : u'/';
    case VK_OEM_3:
        return Shift ? u'~' : u'`';
    case VK_OEM_4:
        return Shift ? u'{' : u'[';
    case VK_OEM_5:
        return Shift ? u'|' : u'\\';
    case VK_OEM_6:
        return Shift ? u'}' : u']';
    case VK_OEM_7:
        return Shift ? u'"' : u'\'';
    }
    return 0;
}

BOOL TranslateMessage(const MSG* M) {
    if (!M || (M->message != WM_KEYDOWN && M->message != WM_SYSKEYDOWN))
        return 0;
    TState& St = S();
    bool Shift = St.KeyState[VK_SHIFT] & 0x80;
    bool Ctrl = St.KeyState[VK_CONTROL] & 0x80;
    bool Alt = St.KeyState[VK_MENU] & 0x80;
    bool Caps = St.KeyState[VK_CAPITAL] & 0x01;
    if (Alt && Ctrl)
        return 1;
    WCHAR Ch = CharOfKey(UINT(M->wParam), Shift, Ctrl, Caps);
    if (!Ch)
        return 1;
    MSG C = *M;
    C.message = (M->message == WM_SYSKEYDOWN && Alt) ? WM_SYSCHAR : WM_CHAR;
    C.wParam = Ch;
    std::lock_guard<std::mutex> L(St.QueueLock);
    St.Posted.push_front(C);
    return 1;
}

// ---- Cursor and tracking ----

BOOL GetCursorPos(POINT* P) {
    if (!P)
        return 0;
    *P = S().Cursor;
    return 1;
}

BOOL SetCursorPos(int X, int Y) {
    InjectMouseMove(X, Y);
    return 1;
}

HCURSOR SetCursor(HCURSOR h) {
    HCURSOR Old = S().CurrentCursor;
    S().CurrentCursor = h;
    return Old;
}

HCURSOR GetCursor() {
    return S().CurrentCursor;
}

HCURSOR LoadCursorW(HINSTANCE hInstance, LPCWSTR Name) {
    std::uintptr_t Id = reinterpret_cast<std::uintptr_t>(Name);
    if (hInstance || Id >= 0x10000)
        return nullptr;
    if (Id < 32512 || Id > 32651)
        return nullptr;
    // The standard cursors are known by their numbers.
    return reinterpret_cast<HCURSOR>(Id);
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* T) {
    if (!T)
        return 0;
    TState& St = S();
    TWnd* W = FromHandle(T->hwndTrack);
    if (T->dwFlags & TME_QUERY) {
        TWnd* L = FromHandle(St.LastMouseWnd);
        T->dwFlags = L ? L->TrackFlags : 0;
        T->hwndTrack = L ? L->Handle : nullptr;
        return 1;
    }
    if (!W)
        return 0;
    if (T->dwFlags & TME_CANCEL) {
        W->TrackFlags &= ~(T->dwFlags & (TME_LEAVE | TME_HOVER));
        if (!(W->TrackFlags & (TME_LEAVE | TME_HOVER)))
            W->TrackFlags = 0;
        return 1;
    }
    bool Nc = T->dwFlags & TME_NONCLIENT;
    bool Over = St.LastMouseWnd == W->Handle && ((St.LastMouseHit == HTCLIENT) != Nc);
    if (!Over) {
        // Not over the window (as asked): the leave comes at once.
        if (T->dwFlags & TME_LEAVE)
            PostMessageW(W->Handle, Nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
        return 1;
    }
    W->TrackFlags = (T->dwFlags & (TME_LEAVE | TME_HOVER | TME_NONCLIENT)) | (W->TrackFlags & (TME_LEAVE | TME_HOVER));
    if (T->dwFlags & TME_HOVER) {
        W->HoverTime = T->dwHoverTime == HOVER_DEFAULT ? 400 : T->dwHoverTime;
        W->HoverDue = WinClock().Current() + W->HoverTime;
    }
    return 1;
}

UINT GetDoubleClickTime() {
    return S().DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT Ms) {
    S().DoubleClickTime = Ms ? Ms : 500;
    return 1;
}

BOOL MessageBeep(UINT) {
    return 1;
}
