// Window objects: classes, creation and destruction, styles, relations, z-order, geometry and showing.
#include "platform/win/WinInternal.h"

#include "platform/base/Threads.h"

#include <algorithm>
#include <cstring>

namespace winimpl {

TState& S() {
    static TState* State = new TState; // lives for the whole process: windows may outlive static destructors
    return *State;
}

bool QueueHasWork() {
    TState& St = S();
    return !St.Posted.empty() || !St.Sent.empty() || !St.Raw.empty() || St.QuitPosted ||
           !St.PendingInvalidates.empty() || St.SyncWake;
}

// A worker queued a synchronised call: a GUI thread waiting for messages must wake and run it.
static void WakeGuiThread() {
    TState& St = S();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.SyncWake = true;
        St.QueueSignal.notify_all();
    }
    if (St.Backend)
        St.Backend->Wake();
}

void EnsureGuiThread() {
    TState& St = S();
    if (!St.GuiThreadSet) {
        St.GuiThread = std::this_thread::get_id();
        St.GuiThreadSet = true;
        SetWakeMainThread(&WakeGuiThread);
    }
}

static std::u16string UpperName(std::u16string_view N) {
    std::u16string R(N);
    for (auto& C : R)
        if (C >= u'a' && C <= u'z')
            C = char16_t(C - 32);
    return R;
}

static bool IsAtom(LPCWSTR P) {
    return reinterpret_cast<std::uintptr_t>(P) < 0x10000;
}

TWnd* DesktopWnd() {
    TState& St = S();
    if (!St.Desktop) {
        St.Desktop = std::make_unique<TWnd>();
        St.Desktop->Handle = reinterpret_cast<HWND>(std::uintptr_t(0x10000));
        St.Desktop->Style = WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP;
        St.Desktop->Rect = St.Screen;
        St.Desktop->Client = {0, 0, St.Screen.Right - St.Screen.Left, St.Screen.Bottom - St.Screen.Top};
    }
    return St.Desktop.get();
}

TWnd* FromHandle(HWND h) {
    if (!h)
        return nullptr;
    TState& St = S();
    if (St.Desktop && h == St.Desktop->Handle)
        return St.Desktop.get();
    std::lock_guard<std::recursive_mutex> G(St.HandleLock);
    auto It = St.Handles.find(reinterpret_cast<std::uintptr_t>(h));
    if (It == St.Handles.end() || It->second->Dead)
        return nullptr;
    return It->second.get();
}

bool Alive(HWND h) {
    return FromHandle(h) != nullptr;
}

bool NextCapturedMessage(HWND h, MSG& M) {
    if (!Alive(h) || GetCapture() != h)
        return false;
    if (!GetMessageW(&M, nullptr, 0, 0)) {
        PostQuitMessage(int(M.wParam));
        return false;
    }
    return true;
}

TWnd* TopLevelOf(TWnd* W) {
    while (W && W->Parent && W->Parent != DesktopWnd())
        W = W->Parent;
    return W;
}

bool IsDescendant(TWnd* Ancestor, TWnd* W) {
    for (; W; W = W->Parent)
        if (W == Ancestor)
            return true;
    return false;
}

bool RectContains(const RECT& R, POINT P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
bool EmptyR(const RECT& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}
RECT IntersectR(const RECT& A, const RECT& B) {
    RECT R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
    if (EmptyR(R))
        return RECT{};
    return R;
}
RECT UnionR(const RECT& A, const RECT& B) {
    if (EmptyR(A))
        return B;
    if (EmptyR(B))
        return A;
    return RECT{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                std::max(A.Bottom, B.Bottom)};
}
RECT OffsetR(RECT R, int Dx, int Dy) {
    R.Left += Dx;
    R.Right += Dx;
    R.Top += Dy;
    R.Bottom += Dy;
    return R;
}

POINT ClientOriginOnScreen(TWnd* W) {
    if (!W || W == DesktopWnd())
        return POINT{0, 0};
    POINT P = WindowOriginOnScreen(W);
    return POINT{P.X + W->Client.Left, P.Y + W->Client.Top};
}

POINT WindowOriginOnScreen(TWnd* W) {
    if (!W || W == DesktopWnd())
        return POINT{0, 0};
    POINT P = ClientOriginOnScreen(W->Parent);
    return POINT{P.X + W->Rect.Left, P.Y + W->Rect.Top};
}

RECT ScreenWindowRect(TWnd* W) {
    POINT P = WindowOriginOnScreen(W);
    return RECT{P.X, P.Y, P.X + W->Rect.Right - W->Rect.Left, P.Y + W->Rect.Bottom - W->Rect.Top};
}

void TBackendHooks::WaitEvents(std::uint64_t AMs) {
    TState& St = S();
    std::unique_lock<std::mutex> L(St.QueueLock);
    St.QueueSignal.wait_for(L, std::chrono::milliseconds(AMs), QueueHasWork);
}

void TBackendHooks::Wake() {
    S().QueueSignal.notify_all();
}

static void NotifyBackend(TWnd* W) {
    if (S().Backend && W && W->Parent == DesktopWnd())
        S().Backend->TopLevelChanged(W);
}

static void RemoveFromParent(TWnd* W) {
    if (!W->Parent)
        return;
    auto& C = W->Parent->Children;
    C.erase(std::remove(C.begin(), C.end(), W), C.end());
}

static bool IsTopmost(TWnd* W) {
    return (W->ExStyle & WS_EX_TOPMOST) != 0;
}

// Places W among its siblings: After is HWND_TOP, HWND_BOTTOM or a sibling window.
static void PlaceInZOrder(TWnd* W, HWND After) {
    TWnd* P = W->Parent;
    RemoveFromParent(W);
    auto& C = P->Children;
    bool TopLevel = P == DesktopWnd();
    if (After == HWND_BOTTOM) {
        auto It = C.end();
        if (TopLevel && IsTopmost(W))
            It = std::find_if(C.begin(), C.end(), [](TWnd* X) { return !IsTopmost(X); });
        C.insert(It, W);
        return;
    }
    if (After == HWND_TOP || After == HWND_TOPMOST || After == HWND_NOTOPMOST) {
        auto It = C.begin();
        if (TopLevel && !IsTopmost(W))
            It = std::find_if(C.begin(), C.end(), [](TWnd* X) { return !IsTopmost(X); });
        C.insert(It, W);
        return;
    }
    TWnd* A = FromHandle(After);
    auto It = std::find(C.begin(), C.end(), A);
    if (It == C.end()) {
        C.insert(C.begin(), W);
        return;
    }
    ++It;
    // A non-topmost window never goes above a topmost one, nor a topmost one below a non-topmost one.
    if (TopLevel && !IsTopmost(W))
        It = std::max(It, std::find_if(C.begin(), C.end(), [](TWnd* X) { return !IsTopmost(X); }));
    C.insert(It, W);
}

// Owned top-level windows stay above their owners.
static void KeepOwnedAbove(TWnd* Owner) {
    if (Owner->Parent != DesktopWnd())
        return;
    auto& C = DesktopWnd()->Children;
    std::vector<TWnd*> Owned;
    for (TWnd* X : C)
        if (X->Owner == Owner)
            Owned.push_back(X);
    for (auto It = Owned.rbegin(); It != Owned.rend(); ++It) {
        TWnd* X = *It;
        auto OwnerPos = std::find(C.begin(), C.end(), Owner);
        auto XPos = std::find(C.begin(), C.end(), X);
        if (XPos > OwnerPos) {
            C.erase(XPos);
            C.insert(std::find(C.begin(), C.end(), Owner), X);
        }
        KeepOwnedAbove(X);
    }
}

} // namespace winimpl

using namespace winimpl;

// ---- Classes ----

ATOM RegisterClassExW(const WNDCLASSEXW* c) {
    EnsureGuiThread();
    if (!c || !c->lpszClassName)
        return 0;
    TState& St = S();
    std::u16string Key = IsAtom(c->lpszClassName) ? std::u16string(u"#") + char16_t(std::uintptr_t(c->lpszClassName))
                                                  : UpperName(c->lpszClassName);
    if (St.Classes.count(Key))
        return 0; // already registered
    auto K = std::make_shared<TWndClass>();
    K->Name = IsAtom(c->lpszClassName) ? Key : std::u16string(c->lpszClassName);
    K->Atom = St.NextAtom++;
    K->Style = c->style;
    K->Proc = c->lpfnWndProc ? c->lpfnWndProc : &DefWindowProcW;
    K->ClsExtra = std::max(0, c->cbClsExtra);
    K->WndExtra = std::max(0, c->cbWndExtra);
    K->Instance = c->hInstance;
    K->Icon = c->hIcon;
    K->IconSm = c->hIconSm;
    K->Cursor = c->hCursor;
    K->Background = c->hbrBackground;
    K->Extra.assign(std::size_t(K->ClsExtra), 0);
    St.Classes[Key] = K;
    return K->Atom;
}

static std::shared_ptr<TWndClass> FindClass(LPCWSTR Name) {
    TState& St = S();
    if (!Name)
        return nullptr;
    if (IsAtom(Name)) {
        ATOM A = ATOM(std::uintptr_t(Name));
        for (auto& [K, C] : St.Classes)
            if (C->Atom == A)
                return C;
        return nullptr;
    }
    auto It = St.Classes.find(UpperName(Name));
    return It == St.Classes.end() ? nullptr : It->second;
}

BOOL UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    auto K = FindClass(lpClassName);
    if (!K)
        return 0;
    TState& St = S();
    {
        std::lock_guard<std::recursive_mutex> G(St.HandleLock);
        for (auto& [H, W] : St.Handles)
            if (!W->Dead && W->Class == K)
                return 0; // windows of the class still exist
    }
    for (auto It = St.Classes.begin(); It != St.Classes.end(); ++It)
        if (It->second == K) {
            St.Classes.erase(It);
            break;
        }
    return 1;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR lpszClass, WNDCLASSEXW* c) {
    auto K = FindClass(lpszClass);
    if (!K || !c)
        return 0;
    c->style = K->Style;
    c->lpfnWndProc = K->Proc;
    c->cbClsExtra = K->ClsExtra;
    c->cbWndExtra = K->WndExtra;
    c->hInstance = K->Instance;
    c->hIcon = K->Icon;
    c->hIconSm = K->IconSm;
    c->hCursor = K->Cursor;
    c->hbrBackground = K->Background;
    c->lpszClassName = lpszClass;
    return K->Atom;
}

int GetClassNameW(HWND hWnd, LPWSTR Buf, int Max) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !W->Class || !Buf || Max <= 0)
        return 0;
    int N = std::min<int>(int(W->Class->Name.size()), Max - 1);
    std::memcpy(Buf, W->Class->Name.data(), std::size_t(N) * sizeof(char16_t));
    Buf[N] = 0;
    return N;
}

ULONG_PTR GetClassLongPtrW(HWND hWnd, int Index) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !W->Class)
        return 0;
    TWndClass& K = *W->Class;
    switch (Index) {
    case GCL_STYLE:
        return K.Style;
    case GCLP_WNDPROC:
        return ULONG_PTR(K.Proc);
    case GCLP_HCURSOR:
        return ULONG_PTR(K.Cursor);
    case GCLP_HBRBACKGROUND:
        return ULONG_PTR(K.Background);
    case GCLP_HICON:
        return ULONG_PTR(K.Icon);
    case GCLP_HICONSM:
        return ULONG_PTR(K.IconSm);
    case GCL_CBWNDEXTRA:
        return ULONG_PTR(K.WndExtra);
    case GCL_CBCLSEXTRA:
        return ULONG_PTR(K.ClsExtra);
    case GCW_ATOM:
        return K.Atom;
    case GCLP_HMODULE:
        return ULONG_PTR(K.Instance);
    default:
        if (Index >= 0 && std::size_t(Index) + sizeof(LONG_PTR) <= K.Extra.size()) {
            LONG_PTR V;
            std::memcpy(&V, &K.Extra[std::size_t(Index)], sizeof V);
            return ULONG_PTR(V);
        }
        return 0;
    }
}

ULONG_PTR SetClassLongPtrW(HWND hWnd, int Index, LONG_PTR V) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !W->Class)
        return 0;
    TWndClass& K = *W->Class;
    ULONG_PTR Old = GetClassLongPtrW(hWnd, Index);
    switch (Index) {
    case GCL_STYLE:
        K.Style = UINT(V);
        // The shadow belongs to the class: every top-level window of it is composed again.
        for (auto* T : DesktopWnd()->Children)
            if (T->Class.get() == &K)
                NotifyBackend(T);
        break;
    case GCLP_WNDPROC:
        K.Proc = reinterpret_cast<WNDPROC>(V);
        break;
    case GCLP_HCURSOR:
        K.Cursor = reinterpret_cast<HCURSOR>(V);
        break;
    case GCLP_HBRBACKGROUND:
        K.Background = reinterpret_cast<HBRUSH>(V);
        break;
    case GCLP_HICON:
        K.Icon = reinterpret_cast<HICON>(V);
        break;
    case GCLP_HICONSM:
        K.IconSm = reinterpret_cast<HICON>(V);
        break;
    default:
        if (Index >= 0 && std::size_t(Index) + sizeof(LONG_PTR) <= K.Extra.size())
            std::memcpy(&K.Extra[std::size_t(Index)], &V, sizeof V);
        else
            return 0;
    }
    return Old;
}

// ---- Creation and destruction ----

HWND GetDesktopWindow() {
    EnsureGuiThread();
    return DesktopWnd()->Handle;
}

namespace {

// A child's parent is the given window; a top-level window's is the desktop, and the given window (its top-level
// window) owns it. Overlapped windows always have a caption and clip their siblings. False when the given window
// is not one, or a child has none.
bool PlaceInHierarchy(DWORD& Style, HWND hParent, TWnd*& Parent, TWnd*& Owner) {
    Parent = Owner = nullptr;
    if (Style & WS_CHILD) {
        Parent = FromHandle(hParent);
        return Parent != nullptr;
    }
    Parent = DesktopWnd();
    if (hParent) {
        Owner = FromHandle(hParent);
        if (!Owner)
            return false;
        Owner = TopLevelOf(Owner);
    }
    if (!(Style & WS_POPUP))
        Style |= WS_CAPTION | WS_CLIPSIBLINGS;
    return true;
}

// A new window of class K in the handle table, on top of its siblings, not yet told of its creation.
TWnd* NewWindow(const std::shared_ptr<TWndClass>& K, DWORD Style, DWORD ExStyle, TWnd* Parent, TWnd* Owner, HMENU hMenu,
                int X, int Y, int Width, int Height) {
    TState& St = S();
    auto Own = std::make_unique<TWnd>();
    TWnd* W = Own.get();
    {
        std::lock_guard<std::recursive_mutex> G(St.HandleLock);
        W->Handle = reinterpret_cast<HWND>(St.NextHandle);
        St.NextHandle += 4;
        St.Handles[reinterpret_cast<std::uintptr_t>(W->Handle)] = std::move(Own);
    }
    W->Class = K;
    W->Style = Style & ~WS_VISIBLE;
    W->ExStyle = ExStyle;
    W->Proc = K->Proc;
    W->Extra.assign(std::size_t(K->WndExtra), 0);
    W->Parent = Parent;
    W->Owner = Owner;
    if (Style & WS_CHILD)
        W->Id = reinterpret_cast<LONG_PTR>(hMenu);
    W->Rect = RECT{X, Y, X + std::max(0, Width), Y + std::max(0, Height)};
    W->Client = RECT{0, 0, W->Rect.Right - W->Rect.Left, W->Rect.Bottom - W->Rect.Top};
    PlaceInZOrder(W, HWND_TOP);
    return W;
}

// A sizable or overlapped window hears WM_GETMINMAXINFO first; false when that destroyed it.
bool AskMinMaxAtCreation(TWnd* W, DWORD Style) {
    if (!(Style & WS_THICKFRAME) && (Style & (WS_POPUP | WS_CHILD)))
        return true;
    TState& St = S();
    MINMAXINFO Mmi{};
    Mmi.ptMaxSize = POINT{St.WorkArea.Right - St.WorkArea.Left, St.WorkArea.Bottom - St.WorkArea.Top};
    Mmi.ptMaxPosition = POINT{St.WorkArea.Left, St.WorkArea.Top};
    Mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(W, WM_GETMINMAXINFO, 0, LPARAM(&Mmi));
    return Alive(W->Handle);
}

// WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE in the platform's order; false when the window
// refused to be made or is gone.
bool SendCreation(TWnd* W, CREATESTRUCTW& Cs) {
    HWND h = W->Handle;
    if (!Send(W, WM_NCCREATE, 0, LPARAM(&Cs))) {
        if (Alive(h)) {
            W->Destroying = true;
            Send(W, WM_NCDESTROY);
            WindowGoingAway(W);
        }
        return false;
    }
    if (!Alive(h))
        return false;
    NCCALCSIZE_PARAMS Ncp{};
    Ncp.rgrc[0] = W->Rect;
    W->NcBars = 0; // the default procedure reserves the bars; a window that answers itself has none
    Send(W, WM_NCCALCSIZE, FALSE, LPARAM(&Ncp.rgrc[0]));
    if (!Alive(h))
        return false;
    W->Client = OffsetR(Ncp.rgrc[0], -W->Rect.Left, -W->Rect.Top);
    if (Send(W, WM_CREATE, 0, LPARAM(&Cs)) == -1) {
        // The parent never heard of the window, so it hears nothing of its end either.
        W->ExStyle |= WS_EX_NOPARENTNOTIFY;
        DestroyWindow(h);
        return false;
    }
    if (!Alive(h))
        return false;
    Send(W, WM_SIZE, SIZE_RESTORED, MAKELPARAM(W->Client.Right - W->Client.Left, W->Client.Bottom - W->Client.Top));
    if (!Alive(h))
        return false;
    POINT Co{W->Rect.Left + W->Client.Left, W->Rect.Top + W->Client.Top};
    Send(W, WM_MOVE, 0, MAKELPARAM(Co.X, Co.Y));
    return Alive(h);
}

// A child's parents hear WM_PARENTNOTIFY, up to the first that asks not to pass it on; false when the window is
// gone meanwhile.
bool NotifyParentsOfCreation(TWnd* W, DWORD Style, DWORD ExStyle) {
    HWND h = W->Handle;
    if (!(Style & WS_CHILD) || (ExStyle & WS_EX_NOPARENTNOTIFY))
        return true;
    for (TWnd* P = W->Parent; P && P != DesktopWnd(); P = P->Parent) {
        Send(P, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, int(W->Id)), LPARAM(h));
        if (!Alive(h) || (P->ExStyle & WS_EX_NOPARENTNOTIFY) || !P->IsChild())
            break;
    }
    return Alive(h);
}

} // namespace

HWND CreateWindowExW(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y, int Width,
                     int Height, HWND hParent, HMENU hMenu, HINSTANCE hInstance, LPVOID Param) {
    EnsureGuiThread();
    if (!IsGuiThread())
        return nullptr;
    auto K = FindClass(ClassName);
    if (!K)
        return nullptr;
    TWnd* Parent = nullptr;
    TWnd* Owner = nullptr;
    if (!PlaceInHierarchy(Style, hParent, Parent, Owner))
        return nullptr;
    if (X == CW_USEDEFAULT) {
        X = (Style & WS_CHILD) ? 0 : 32;
        Y = (Style & WS_CHILD) ? 0 : 32;
    }
    if (Width == CW_USEDEFAULT) {
        Width = (Style & WS_CHILD) ? 0 : 640;
        Height = (Style & WS_CHILD) ? 0 : 480;
    }
    TWnd* W = NewWindow(K, Style, ExStyle, Parent, Owner, hMenu, X, Y, Width, Height);
    HWND h = W->Handle;

    CREATESTRUCTW Cs;
    Cs.lpCreateParams = Param;
    Cs.hInstance = hInstance;
    Cs.hMenu = hMenu;
    Cs.hwndParent = hParent;
    Cs.x = X;
    Cs.y = Y;
    Cs.cx = Width;
    Cs.cy = Height;
    Cs.style = LONG(Style);
    Cs.lpszName = WindowName;
    Cs.lpszClass = ClassName;
    Cs.dwExStyle = ExStyle;

    if (!AskMinMaxAtCreation(W, Style) || !SendCreation(W, Cs) || !NotifyParentsOfCreation(W, Style, ExStyle))
        return nullptr;
    if (Style & WS_MAXIMIZE)
        ShowWindow(h, SW_SHOWMAXIMIZED);
    else if (Style & WS_MINIMIZE)
        ShowWindow(h, SW_SHOWMINIMIZED);
    else if (Style & WS_VISIBLE)
        ShowWindow(h, SW_SHOW);
    return Alive(h) ? h : nullptr;
}

namespace winimpl {

// Frees what a window holds and takes it out of the tree; the object itself is kept until no message
// is being dispatched, so callers up the stack never touch freed memory.
void WindowGoingAway(TWnd* W) {
    TState& St = S();
    if (W->Dead)
        return;
    for (TWnd* C : std::vector<TWnd*>(W->Children))
        WindowGoingAway(C);
    if (St.Backend && W->Parent == DesktopWnd())
        St.Backend->TopLevelDestroyed(W);
    FreePaintData(W);
    RemoveFromParent(W);
    W->Dead = true;
    PurgeWindow(W->Handle);
    if (St.Focus == W->Handle)
        St.Focus = nullptr;
    if (St.Capture == W->Handle)
        St.Capture = nullptr;
    if (St.Active == W->Handle)
        St.Active = nullptr;
    if (St.LastMouseWnd == W->Handle)
        St.LastMouseWnd = nullptr;
    std::lock_guard<std::recursive_mutex> G(St.HandleLock);
    auto It = St.Handles.find(reinterpret_cast<std::uintptr_t>(W->Handle));
    if (It != St.Handles.end()) {
        St.Graveyard.push_back(std::move(It->second));
        St.Handles.erase(It);
    }
}

static void SendDestroy(TWnd* W) {
    Send(W, WM_DESTROY);
    for (TWnd* C : std::vector<TWnd*>(W->Children))
        if (Alive(C->Handle)) {
            C->Destroying = true;
            SendDestroy(C);
        }
}

static void SendNcDestroy(TWnd* W) {
    for (TWnd* C : std::vector<TWnd*>(W->Children))
        if (Alive(C->Handle))
            SendNcDestroy(C);
    Send(W, WM_NCDESTROY);
}

} // namespace winimpl

BOOL DestroyWindow(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd() || W->Destroying)
        return 0;
    if (!IsGuiThread())
        return 0;
    TState& St = S();
    W->Destroying = true;
    // Owned windows go first.
    if (!W->IsChild()) {
        std::vector<HWND> Owned;
        for (TWnd* X : DesktopWnd()->Children)
            if (X->Owner == W)
                Owned.push_back(X->Handle);
        for (HWND O : Owned)
            DestroyWindow(O);
    }
    if (W->Visible())
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Alive(hWnd))
        return 1;
    if (St.Capture && IsDescendant(W, FromHandle(St.Capture)))
        ReleaseCapture();
    if (W->IsChild() && !(W->ExStyle & WS_EX_NOPARENTNOTIFY)) {
        for (TWnd* P = W->Parent; P && P != DesktopWnd(); P = P->Parent) {
            Send(P, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, int(W->Id)), LPARAM(hWnd));
            if (!Alive(hWnd) || (P->ExStyle & WS_EX_NOPARENTNOTIFY) || !P->IsChild())
                break;
        }
        if (!Alive(hWnd))
            return 1;
    }
    bool WasActive = St.Active == hWnd;
    if (St.Focus && IsDescendant(W, FromHandle(St.Focus)))
        St.Focus = nullptr;
    SendDestroy(W);
    if (Alive(hWnd))
        SendNcDestroy(W);
    if (TWnd* Still = FromHandle(hWnd))
        WindowGoingAway(Still);
    if (WasActive) {
        St.Active = nullptr;
        ActivateOtherWindow(nullptr);
    }
    return 1;
}

BOOL IsWindow(HWND hWnd) {
    return FromHandle(hWnd) != nullptr;
}

BOOL IsWindowVisible(HWND hWnd) {
    for (TWnd* W = FromHandle(hWnd); W && W != DesktopWnd(); W = W->Parent)
        if (!W->Visible())
            return 0;
    return FromHandle(hWnd) != nullptr;
}

BOOL IsWindowEnabled(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    return W && W->Enabled();
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    BOOL WasDisabled = !W->Enabled();
    if (bEnable && WasDisabled) {
        W->Style &= ~WS_DISABLED;
        Send(W, WM_ENABLE, TRUE);
    } else if (!bEnable && !WasDisabled) {
        Send(W, WM_CANCELMODE);
        if (!Alive(hWnd))
            return WasDisabled;
        W->Style |= WS_DISABLED;
        CancelModes(W);
        Send(W, WM_ENABLE, FALSE);
    }
    return WasDisabled;
}

BOOL IsChild(HWND hParent, HWND hWnd) {
    TWnd* P = FromHandle(hParent);
    TWnd* W = FromHandle(hWnd);
    if (!P || !W || P == W)
        return 0;
    for (TWnd* X = W; X->IsChild() && X->Parent; X = X->Parent)
        if (X->Parent == P)
            return 1;
    return 0;
}

BOOL IsIconic(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    return W && (W->Style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    return W && (W->Style & WS_MAXIMIZE);
}

// ---- Window data ----

LONG_PTR GetWindowLongPtrW(HWND hWnd, int Index) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    switch (Index) {
    case GWL_STYLE:
        return LONG_PTR(W->Style);
    case GWL_EXSTYLE:
        return LONG_PTR(W->ExStyle);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(W->Proc);
    case GWLP_USERDATA:
        return W->UserData;
    case GWLP_ID:
        return W->Id;
    case GWLP_HINSTANCE:
        return W->Class ? reinterpret_cast<LONG_PTR>(W->Class->Instance) : 0;
    case GWLP_HWNDPARENT:
        return W->IsChild() ? reinterpret_cast<LONG_PTR>(W->Parent->Handle)
                            : reinterpret_cast<LONG_PTR>(W->Owner ? W->Owner->Handle : nullptr);
    default:
        if (Index >= 0 && std::size_t(Index) + sizeof(LONG_PTR) <= W->Extra.size()) {
            LONG_PTR V;
            std::memcpy(&V, &W->Extra[std::size_t(Index)], sizeof V);
            return V;
        }
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hWnd, int Index, LONG_PTR V) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return 0;
    LONG_PTR Old = GetWindowLongPtrW(hWnd, Index);
    switch (Index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT Ss{DWORD(Old), DWORD(V)};
        Send(W, WM_STYLECHANGING, WPARAM(Index), LPARAM(&Ss));
        if (!Alive(hWnd))
            return Old;
        DWORD New = Ss.styleNew;
        if (Index == GWL_STYLE) {
            W->Style = New;
        } else {
            // Topmost is changed only through SetWindowPos.
            New = (New & ~WS_EX_TOPMOST) | (W->ExStyle & WS_EX_TOPMOST);
            bool WasLayered = W->ExStyle & WS_EX_LAYERED;
            W->ExStyle = New;
            if (WasLayered && !(New & WS_EX_LAYERED)) {
                W->LayerMode = TLayerMode::None;
                W->LayerAlpha = 255;
                W->LayerFlags = 0;
                InvalidateArea(W, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            }
        }
        Send(W, WM_STYLECHANGED, WPARAM(Index), LPARAM(&Ss));
        if (Alive(hWnd))
            NotifyBackend(W);
        return Old;
    }
    case GWLP_WNDPROC:
        W->Proc = reinterpret_cast<WNDPROC>(V);
        return Old;
    case GWLP_USERDATA:
        W->UserData = V;
        return Old;
    case GWLP_ID:
        W->Id = V;
        return Old;
    case GWLP_HWNDPARENT:
        if (!W->IsChild()) {
            TWnd* O = FromHandle(reinterpret_cast<HWND>(V));
            W->Owner = O ? TopLevelOf(O) : nullptr;
            if (W->Owner)
                KeepOwnedAbove(W->Owner);
        }
        return Old;
    default:
        if (Index >= 0 && std::size_t(Index) + sizeof(LONG_PTR) <= W->Extra.size()) {
            std::memcpy(&W->Extra[std::size_t(Index)], &V, sizeof V);
            return Old;
        }
        return 0;
    }
}

LONG GetWindowLongW(HWND hWnd, int Index) {
    return LONG(GetWindowLongPtrW(hWnd, Index));
}
LONG SetWindowLongW(HWND hWnd, int Index, LONG V) {
    // Styles are unsigned bit sets: keep the high bit from turning into a sign extension.
    LONG_PTR Wide = (Index == GWL_STYLE || Index == GWL_EXSTYLE) ? LONG_PTR(DWORD(V)) : LONG_PTR(V);
    return LONG(SetWindowLongPtrW(hWnd, Index, Wide));
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR Text) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    return BOOL(Send(W, WM_SETTEXT, 0, LPARAM(Text ? Text : u"")));
}

int GetWindowTextW(HWND hWnd, LPWSTR Buf, int Max) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Buf || Max <= 0)
        return 0;
    Buf[0] = 0;
    return int(Send(W, WM_GETTEXT, WPARAM(Max), LPARAM(Buf)));
}

int GetWindowTextLengthW(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    return W ? int(Send(W, WM_GETTEXTLENGTH)) : 0;
}

BOOL SetPropW(HWND hWnd, LPCWSTR Name, HANDLE Data) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Name)
        return 0;
    W->Props[IsAtom(Name) ? std::u16string(u"#") + char16_t(std::uintptr_t(Name)) : UpperName(Name)] = Data;
    return 1;
}

HANDLE GetPropW(HWND hWnd, LPCWSTR Name) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Name)
        return nullptr;
    auto It = W->Props.find(IsAtom(Name) ? std::u16string(u"#") + char16_t(std::uintptr_t(Name)) : UpperName(Name));
    return It == W->Props.end() ? nullptr : It->second;
}

HANDLE RemovePropW(HWND hWnd, LPCWSTR Name) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Name)
        return nullptr;
    auto It = W->Props.find(IsAtom(Name) ? std::u16string(u"#") + char16_t(std::uintptr_t(Name)) : UpperName(Name));
    if (It == W->Props.end())
        return nullptr;
    HANDLE H = It->second;
    W->Props.erase(It);
    return H;
}

// ---- Relations ----

HWND GetParent(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return nullptr;
    if (W->IsChild())
        return W->Parent->Handle;
    if (W->Style & WS_POPUP)
        return W->Owner ? W->Owner->Handle : nullptr;
    return nullptr;
}

HWND SetParent(HWND hChild, HWND hNewParent) {
    TWnd* W = FromHandle(hChild);
    if (!W || W == DesktopWnd())
        return nullptr;
    TWnd* P = hNewParent ? FromHandle(hNewParent) : DesktopWnd();
    if (!P || IsDescendant(W, P))
        return nullptr;
    TWnd* Old = W->Parent;
    bool WasVisible = W->Visible();
    if (WasVisible)
        ShowWindow(hChild, SW_HIDE);
    if (!Alive(hChild))
        return nullptr;
    // Keep the window's screen position, as the platform does not: it keeps the coordinates, so do that.
    if (Old == DesktopWnd() && S().Backend)
        S().Backend->TopLevelDestroyed(W);
    FreePaintData(W);
    RemoveFromParent(W);
    W->Parent = P;
    if (P == DesktopWnd()) {
        W->Style &= ~WS_CHILD;
        W->Style |= WS_POPUP;
    } else {
        W->Owner = nullptr;
    }
    PlaceInZOrder(W, HWND_TOP);
    if (WasVisible)
        ShowWindow(hChild, SW_SHOWNOACTIVATE);
    return Old ? Old->Handle : nullptr;
}

HWND GetAncestor(HWND hWnd, UINT Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return nullptr;
    switch (Flags) {
    case GA_PARENT:
        return W->Parent ? W->Parent->Handle : nullptr;
    case GA_ROOT:
        return TopLevelOf(W)->Handle;
    case GA_ROOTOWNER: {
        TWnd* R = TopLevelOf(W);
        while (R->Owner)
            R = R->Owner;
        return R->Handle;
    }
    }
    return nullptr;
}

HWND GetWindow(HWND hWnd, UINT Cmd) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return nullptr;
    switch (Cmd) {
    case GW_CHILD:
        return W->Children.empty() ? nullptr : W->Children.front()->Handle;
    case GW_OWNER:
        return W->Owner ? W->Owner->Handle : nullptr;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        if (!W->Parent)
            return nullptr;
        auto& C = W->Parent->Children;
        if (Cmd == GW_HWNDFIRST)
            return C.front()->Handle;
        if (Cmd == GW_HWNDLAST)
            return C.back()->Handle;
        auto It = std::find(C.begin(), C.end(), W);
        if (Cmd == GW_HWNDNEXT)
            return (It + 1) == C.end() ? nullptr : (*(It + 1))->Handle;
        return It == C.begin() ? nullptr : (*(It - 1))->Handle;
    }
    case GW_ENABLEDPOPUP:
        for (TWnd* X : DesktopWnd()->Children)
            if (X->Owner == W && X->Visible() && X->Enabled() && (X->Style & WS_POPUP))
                return X->Handle;
        return nullptr;
    }
    return nullptr;
}

HWND GetTopWindow(HWND hWnd) {
    TWnd* W = hWnd ? FromHandle(hWnd) : DesktopWnd();
    if (!W || W->Children.empty())
        return nullptr;
    return W->Children.front()->Handle;
}

HWND GetNextWindow(HWND hWnd, UINT Cmd) {
    return GetWindow(hWnd, Cmd);
}

static std::vector<HWND> HandlesOf(const std::vector<TWnd*>& V) {
    std::vector<HWND> R;
    for (TWnd* W : V)
        R.push_back(W->Handle);
    return R;
}

BOOL EnumWindows(WNDENUMPROC Fn, LPARAM lParam) {
    EnsureGuiThread();
    for (HWND h : HandlesOf(DesktopWnd()->Children))
        if (Alive(h) && !Fn(h, lParam))
            return 0;
    return 1;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC Fn, LPARAM lParam) {
    return EnumWindows(Fn, lParam);
}

static bool EnumDeep(TWnd* W, WNDENUMPROC Fn, LPARAM lParam) {
    for (HWND h : HandlesOf(W->Children)) {
        TWnd* C = FromHandle(h);
        if (!C)
            continue;
        if (!Fn(h, lParam))
            return false;
        if ((C = FromHandle(h)) && !EnumDeep(C, Fn, lParam))
            return false;
    }
    return true;
}

BOOL EnumChildWindows(HWND hParent, WNDENUMPROC Fn, LPARAM lParam) {
    TWnd* P = hParent ? FromHandle(hParent) : DesktopWnd();
    if (!P)
        return 0;
    return EnumDeep(P, Fn, lParam);
}

// ---- Geometry ----

BOOL GetWindowRect(HWND hWnd, RECT* R) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !R)
        return 0;
    *R = W == DesktopWnd() ? S().Screen : ScreenWindowRect(W);
    return 1;
}

BOOL GetClientRect(HWND hWnd, RECT* R) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !R)
        return 0;
    *R = RECT{0, 0, W->Client.Right - W->Client.Left, W->Client.Bottom - W->Client.Top};
    return 1;
}

BOOL ClientToScreen(HWND hWnd, POINT* P) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !P)
        return 0;
    POINT O = ClientOriginOnScreen(W);
    P->X += O.X;
    P->Y += O.Y;
    return 1;
}

BOOL ScreenToClient(HWND hWnd, POINT* P) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !P)
        return 0;
    POINT O = ClientOriginOnScreen(W);
    P->X -= O.X;
    P->Y -= O.Y;
    return 1;
}

int MapWindowPoints(HWND From, HWND To, POINT* Pts, UINT N) {
    POINT A{0, 0}, B{0, 0};
    if (From) {
        TWnd* F = FromHandle(From);
        if (!F)
            return 0;
        A = ClientOriginOnScreen(F);
    }
    if (To) {
        TWnd* T = FromHandle(To);
        if (!T)
            return 0;
        B = ClientOriginOnScreen(T);
    }
    int Dx = A.X - B.X, Dy = A.Y - B.Y;
    for (UINT I = 0; I < N; ++I) {
        Pts[I].X += Dx;
        Pts[I].Y += Dy;
    }
    return int(MAKELONG(WORD(Dx), WORD(Dy)));
}

HWND ChildWindowFromPointEx(HWND hParent, POINT Pt, UINT Flags) {
    TWnd* P = FromHandle(hParent);
    if (!P)
        return nullptr;
    RECT Cl{0, 0, P->Client.Right - P->Client.Left, P->Client.Bottom - P->Client.Top};
    if (!RectContains(Cl, Pt))
        return nullptr;
    for (TWnd* C : P->Children) {
        if ((Flags & CWP_SKIPINVISIBLE) && !C->Visible())
            continue;
        if ((Flags & CWP_SKIPDISABLED) && !C->Enabled())
            continue;
        if ((Flags & CWP_SKIPTRANSPARENT) && (C->ExStyle & WS_EX_TRANSPARENT))
            continue;
        if (RectContains(C->Rect, Pt))
            return C->Handle;
    }
    return hParent;
}

HWND ChildWindowFromPoint(HWND hParent, POINT Pt) {
    return ChildWindowFromPointEx(hParent, Pt, CWP_ALL);
}

HWND WindowFromPoint(POINT Pt) {
    EnsureGuiThread();
    LRESULT Hit;
    TWnd* W = HitTest(Pt, &Hit, IsGuiThread());
    return W ? W->Handle : nullptr;
}

BOOL AdjustWindowRectEx(RECT* R, DWORD Style, BOOL, DWORD ExStyle) {
    if (!R)
        return 0;
    RECT Probe{0, 0, 1000, 1000};
    RECT C = DefaultClientRect(Style, ExStyle, Probe);
    R->Left -= C.Left;
    R->Top -= C.Top;
    R->Right += 1000 - C.Right;
    R->Bottom += 1000 - C.Bottom;
    return 1;
}

// ---- SetWindowPos ----

namespace winimpl {

// Invalidates the area a child window leaves in its parent, so the parent paints it again. The child's rectangle
// is kept in its parent's client coordinates, the ones the parent invalidates in.
static void ExposeInParent(TWnd* W, const RECT& OldRect) {
    TWnd* P = W->Parent;
    if (!P || P == DesktopWnd())
        return;
    InvalidateArea(P, &OldRect, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace winimpl

namespace {

// The client area of a window moving from OldRect to NewRect, asked of the window with WM_NCCALCSIZE; false when
// that destroyed it.
bool CalcNewClient(TWnd* W, WINDOWPOS& Wp, const RECT& OldRect, const RECT& NewRect, RECT& NewClient) {
    NCCALCSIZE_PARAMS Ncp{};
    Ncp.rgrc[0] = NewRect;
    Ncp.rgrc[1] = OldRect;
    Ncp.rgrc[2] = OffsetR(W->Client, OldRect.Left, OldRect.Top);
    Ncp.lppos = &Wp;
    W->NcBars = 0;
    Send(W, WM_NCCALCSIZE, TRUE, LPARAM(&Ncp));
    if (!Alive(W->Handle))
        return false;
    NewClient = OffsetR(Ncp.rgrc[0], -NewRect.Left, -NewRect.Top);
    if (NewClient.Right < NewClient.Left)
        NewClient.Right = NewClient.Left;
    if (NewClient.Bottom < NewClient.Top)
        NewClient.Bottom = NewClient.Top;
    return true;
}

// Puts the window after After among its siblings; a top-level window joins or leaves the topmost ones.
void ApplyZOrder(TWnd* W, HWND After, UINT Flags) {
    if (W->Parent == DesktopWnd()) {
        if (After == HWND_TOPMOST)
            W->ExStyle |= WS_EX_TOPMOST;
        else if (After == HWND_NOTOPMOST)
            W->ExStyle &= ~WS_EX_TOPMOST;
        else if (TWnd* A = FromHandle(After);
                 A && A->Parent == W->Parent && After != HWND_TOP && After != HWND_BOTTOM) {
            // Placed behind a topmost window: it becomes topmost; behind a plain one: plain.
            if (IsTopmost(A))
                W->ExStyle |= WS_EX_TOPMOST;
        }
    }
    PlaceInZOrder(W, After);
    if (!(Flags & SWP_NOOWNERZORDER))
        KeepOwnedAbove(W);
    if (TBackendHooks* B = S().Backend)
        B->ZOrderChanged();
}

// A shown or resized window paints itself whole, and so does a moved child, whose old pixels stay behind in the
// top-level window's buffer; a moved, resized or hidden child leaves an area of its parent to paint again.
void RepaintMoved(TWnd* W, UINT Flags, bool Sized, bool Moved, bool WasVisible, const RECT& OldRect) {
    if (Flags & SWP_NOREDRAW)
        return;
    if ((Flags & SWP_SHOWWINDOW) || (W->Visible() && (Sized || (Flags & SWP_FRAMECHANGED) || (Moved && W->IsChild()))))
        InvalidateArea(W, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    else if (W->Visible() && (Flags & SWP_FRAMECHANGED))
        InvalidateArea(W, nullptr, RDW_FRAME | RDW_INVALIDATE);
    if (W->IsChild() && (WasVisible || W->Visible()) &&
        (Moved || Sized || (Flags & (SWP_HIDEWINDOW | SWP_SHOWWINDOW)) || !(Flags & SWP_NOZORDER)))
        ExposeInParent(W, OldRect);
}

// WM_WINDOWPOSCHANGED with where the window now is, marking what of the client did not move or change size.
void SendPosChanged(TWnd* W, WINDOWPOS& Wp, UINT Flags, bool Moved, const RECT& OldClient, const RECT& NewRect,
                    const RECT& NewClient) {
    Wp.flags = Flags;
    if (!Moved && NewClient.Left == OldClient.Left && NewClient.Top == OldClient.Top)
        Wp.flags |= SWP_NOCLIENTMOVE;
    if ((NewClient.Right - NewClient.Left) == (OldClient.Right - OldClient.Left) &&
        (NewClient.Bottom - NewClient.Top) == (OldClient.Bottom - OldClient.Top))
        Wp.flags |= SWP_NOCLIENTSIZE;
    Wp.x = NewRect.Left;
    Wp.y = NewRect.Top;
    Wp.cx = NewRect.Right - NewRect.Left;
    Wp.cy = NewRect.Bottom - NewRect.Top;
    Send(W, WM_WINDOWPOSCHANGED, 0, LPARAM(&Wp));
}

// A shown top-level window becomes active unless asked not to; a hidden one passes activation on, and a hidden
// child gives the focus back to its parent's top-level window.
void ActivateAfterMove(TWnd* W, UINT Flags) {
    TState& St = S();
    if (W->Parent == DesktopWnd()) {
        if (W->Visible() && !(Flags & SWP_NOACTIVATE) && W->Enabled())
            ActivateWindow(W, WA_ACTIVE);
        else if ((Flags & SWP_HIDEWINDOW) && St.Active == W->Handle)
            ActivateOtherWindow(W);
    } else if ((Flags & SWP_HIDEWINDOW) && St.Focus && IsDescendant(W, FromHandle(St.Focus))) {
        SetFocus(TopLevelOf(W)->Handle);
    }
}

} // namespace

BOOL SetWindowPos(HWND hWnd, HWND After, int X, int Y, int Cx, int Cy, UINT Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return 0;
    if (!IsGuiThread())
        return 0;
    TState& St = S();
    if (W->Visible())
        Flags &= ~SWP_SHOWWINDOW;
    else
        Flags &= ~SWP_HIDEWINDOW;
    if (W->IsChild())
        Flags |= SWP_NOACTIVATE;

    WINDOWPOS Wp;
    Wp.hwnd = hWnd;
    Wp.hwndInsertAfter = After;
    Wp.x = (Flags & SWP_NOMOVE) ? W->Rect.Left : X;
    Wp.y = (Flags & SWP_NOMOVE) ? W->Rect.Top : Y;
    Wp.cx = (Flags & SWP_NOSIZE) ? W->Rect.Right - W->Rect.Left : std::max(0, Cx);
    Wp.cy = (Flags & SWP_NOSIZE) ? W->Rect.Bottom - W->Rect.Top : std::max(0, Cy);
    Wp.flags = Flags;
    if (!(Flags & SWP_NOSENDCHANGING)) {
        Send(W, WM_WINDOWPOSCHANGING, 0, LPARAM(&Wp));
        if (!Alive(hWnd))
            return 0;
    }
    Flags = Wp.flags;
    if (Flags & SWP_NOMOVE) {
        Wp.x = W->Rect.Left;
        Wp.y = W->Rect.Top;
    }
    if (Flags & SWP_NOSIZE) {
        Wp.cx = W->Rect.Right - W->Rect.Left;
        Wp.cy = W->Rect.Bottom - W->Rect.Top;
    }
    RECT OldRect = W->Rect;
    RECT OldClient = W->Client;
    RECT NewRect{Wp.x, Wp.y, Wp.x + std::max(0, Wp.cx), Wp.y + std::max(0, Wp.cy)};
    bool Sized = (NewRect.Right - NewRect.Left) != (OldRect.Right - OldRect.Left) ||
                 (NewRect.Bottom - NewRect.Top) != (OldRect.Bottom - OldRect.Top);
    bool Moved = NewRect.Left != OldRect.Left || NewRect.Top != OldRect.Top;

    RECT NewClient = OldClient;
    if ((Sized || (Flags & SWP_FRAMECHANGED)) && !CalcNewClient(W, Wp, OldRect, NewRect, NewClient))
        return 0;

    bool WasVisible = W->Visible();
    W->Rect = NewRect;
    W->Client = NewClient;
    if (!(Flags & SWP_NOZORDER))
        ApplyZOrder(W, After, Flags);
    if (Flags & SWP_SHOWWINDOW)
        W->Style |= WS_VISIBLE;
    if (Flags & SWP_HIDEWINDOW)
        W->Style &= ~WS_VISIBLE;
    RepaintMoved(W, Flags, Sized, Moved, WasVisible, OldRect);
    if ((Flags & SWP_HIDEWINDOW) && St.Capture && IsDescendant(W, FromHandle(St.Capture)))
        ReleaseCapture();
    NotifyBackend(W);

    SendPosChanged(W, Wp, Flags, Moved, OldClient, NewRect, NewClient);
    if (!Alive(hWnd))
        return 1;
    ActivateAfterMove(W, Flags);
    return 1;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int Width, int Height, BOOL Repaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd) {
    return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// ---- ShowWindow ----

static RECT MaximizedRect(TWnd* W) {
    TState& St = S();
    MINMAXINFO Mmi{};
    RECT Work = W->IsChild() ? RECT{0, 0, W->Parent->Client.Right - W->Parent->Client.Left,
                                    W->Parent->Client.Bottom - W->Parent->Client.Top}
                             : St.WorkArea;
    // The frame lies outside the work area, so the client area fills it.
    RECT Frame = DefaultClientRect(W->Style, W->ExStyle, RECT{0, 0, 1000, 1000});
    int Fx = (W->Style & WS_THICKFRAME) ? Frame.Left : 0;
    int Fy = (W->Style & WS_THICKFRAME) ? Frame.Left : 0;
    Mmi.ptMaxSize = POINT{Work.Right - Work.Left + 2 * Fx, Work.Bottom - Work.Top + 2 * Fy};
    Mmi.ptMaxPosition = POINT{Work.Left - Fx, Work.Top - Fy};
    Mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(W, WM_GETMINMAXINFO, 0, LPARAM(&Mmi));
    return RECT{Mmi.ptMaxPosition.X, Mmi.ptMaxPosition.Y, Mmi.ptMaxPosition.X + Mmi.ptMaxSize.X,
                Mmi.ptMaxPosition.Y + Mmi.ptMaxSize.Y};
}

// A minimised child becomes a caption bar at the bottom of its parent's client area, in the first
// place from the left that no minimised sibling holds; a full row goes on in the row above.
static RECT MinimizedChildRect(TWnd* W) {
    const int Wd = 160;
    RECT Frame = DefaultClientRect(W->Style & ~(WS_VSCROLL | WS_HSCROLL), W->ExStyle & ~WS_EX_CLIENTEDGE,
                                   RECT{0, 0, 1000, 1000});
    const int Ht = Frame.Top + (1000 - Frame.Bottom);
    const int Pw = W->Parent->Client.Right - W->Parent->Client.Left;
    const int Ph = W->Parent->Client.Bottom - W->Parent->Client.Top;
    auto Taken = [W](int X, int Y) {
        for (TWnd* C : W->Parent->Children)
            if (C != W && (C->Style & WS_MINIMIZE) && C->Visible() && C->Rect.Left == X && C->Rect.Top == Y)
                return true;
        return false;
    };
    int X = 0, Y = Ph - Ht;
    while (Taken(X, Y) && Y >= 0) {
        X += Wd;
        if (X + Wd > Pw) {
            X = 0;
            Y -= Ht;
        }
    }
    if (Y < 0)
        Y = Ph - Ht;
    return RECT{X, Y, X + Wd, Y + Ht};
}

// A minimised owner takes its owned windows (and theirs) out of sight, each told by WM_SHOWWINDOW with
// SW_PARENTCLOSING; restoring the owner brings back those it hid, with SW_PARENTOPENING.
static void ShowOwnedWithOwner(TWnd* Owner, bool Show) {
    std::vector<HWND> Owned;
    for (TWnd* X : DesktopWnd()->Children)
        if (X->Owner == Owner && (Show ? X->HiddenWithOwner && !X->Visible() : X->Visible()))
            Owned.push_back(X->Handle);
    for (HWND h : Owned) {
        TWnd* X = FromHandle(h);
        if (!X)
            continue;
        if (!Show)
            X->HiddenWithOwner = true;
        Send(X, WM_SHOWWINDOW, Show ? TRUE : FALSE, Show ? SW_PARENTOPENING : SW_PARENTCLOSING);
        if (!Alive(h) || !(X = FromHandle(h)) || X->HiddenWithOwner != true)
            continue;
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     (Show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                         SWP_NOACTIVATE);
        if (Show && (X = FromHandle(h)))
            X->HiddenWithOwner = false;
        if ((X = FromHandle(h)) && !(X->Style & WS_MINIMIZE))
            ShowOwnedWithOwner(X, Show);
    }
}

BOOL ShowWindow(HWND hWnd, int Cmd) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd() || !IsGuiThread())
        return 0;
    // Shown or hidden by its program, the window no longer follows its owner's state.
    W->HiddenWithOwner = false;
    BOOL WasVisible = W->Visible();
    bool WasMinimized = W->Style & WS_MINIMIZE;
    UINT Swp = SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    bool StateChange = false;
    RECT NewRect = W->Rect;
    switch (Cmd) {
    case SW_HIDE:
        if (!WasVisible)
            return 0;
        Swp |= SWP_HIDEWINDOW | SWP_NOACTIVATE;
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        Swp |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
        if (Cmd == SW_SHOWNOACTIVATE && (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
            StateChange = true;
        break;
    case SW_SHOW:
        Swp |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        Swp |= SWP_SHOWWINDOW;
        if (W->Style & (WS_MINIMIZE | WS_MAXIMIZE))
            StateChange = true;
        break;
    case SW_SHOWMAXIMIZED:
        Swp |= SWP_SHOWWINDOW;
        StateChange = !(W->Style & WS_MAXIMIZE);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        Swp |= SWP_SHOWWINDOW;
        if (Cmd != SW_SHOWMINIMIZED)
            Swp |= SWP_NOACTIVATE;
        StateChange = !(W->Style & WS_MINIMIZE);
        break;
    default:
        return WasVisible;
    }
    if (StateChange) {
        bool Restoring = Cmd == SW_RESTORE || Cmd == SW_SHOWNORMAL || Cmd == SW_SHOWDEFAULT || Cmd == SW_SHOWNOACTIVATE;
        if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
            W->NormalRect = W->Rect;
        if (Cmd == SW_SHOWMAXIMIZED) {
            NewRect = MaximizedRect(W);
            if (!Alive(hWnd))
                return WasVisible;
            W->Style = (W->Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
        } else if (Restoring) {
            NewRect = W->NormalRect;
            W->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        } else if (W->IsChild()) {
            NewRect = MinimizedChildRect(W);
            W->Style = (W->Style & ~WS_MAXIMIZE) | WS_MINIMIZE;
        } else {
            NewRect = RECT{-32000, -32000, -32000 + 160, -32000 + 28};
            W->Style = (W->Style & ~WS_MAXIMIZE) | WS_MINIMIZE;
        }
        Swp = (Swp & ~(SWP_NOMOVE | SWP_NOSIZE)) | SWP_FRAMECHANGED | SWP_STATECHANGED;
    }
    if ((Swp & SWP_SHOWWINDOW) && !WasVisible) {
        Send(W, WM_SHOWWINDOW, TRUE, 0);
        if (!Alive(hWnd))
            return WasVisible;
    } else if ((Swp & SWP_HIDEWINDOW) && WasVisible) {
        Send(W, WM_SHOWWINDOW, FALSE, 0);
        if (!Alive(hWnd))
            return WasVisible;
    }
    if (WasVisible && (Swp & SWP_SHOWWINDOW) && !StateChange && !(W->Parent == DesktopWnd() && !(Swp & SWP_NOACTIVATE)))
        return WasVisible;
    if (WasVisible && (Swp & SWP_SHOWWINDOW) && !StateChange) {
        // Already visible: only the activation of SW_SHOW remains.
        ActivateWindow(W, WA_ACTIVE);
        return WasVisible;
    }
    SetWindowPos(hWnd, HWND_TOP, NewRect.Left, NewRect.Top, NewRect.Right - NewRect.Left, NewRect.Bottom - NewRect.Top,
                 Swp);
    if (StateChange && (W = FromHandle(hWnd)) && !W->IsChild() && bool(W->Style & WS_MINIMIZE) != WasMinimized)
        ShowOwnedWithOwner(W, WasMinimized);
    if (StateChange && (W = FromHandle(hWnd)) && (W->Style & WS_MINIMIZE) && S().Active == hWnd)
        ActivateOtherWindow(W);
    return WasVisible;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* P) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !P)
        return 0;
    P->flags = 0;
    P->showCmd = !W->Visible()              ? SW_HIDE
                 : (W->Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                 : (W->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                            : SW_SHOWNORMAL;
    P->ptMinPosition = POINT{-1, -1};
    P->ptMaxPosition = POINT{-1, -1};
    P->rcNormalPosition = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? W->NormalRect : W->Rect;
    return 1;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* P) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !P)
        return 0;
    if (W->Style & (WS_MINIMIZE | WS_MAXIMIZE))
        W->NormalRect = P->rcNormalPosition;
    else
        SetWindowPos(hWnd, nullptr, P->rcNormalPosition.Left, P->rcNormalPosition.Top,
                     P->rcNormalPosition.Right - P->rcNormalPosition.Left,
                     P->rcNormalPosition.Bottom - P->rcNormalPosition.Top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindow(hWnd) && P->showCmd != SW_HIDE)
        ShowWindow(hWnd, int(P->showCmd));
    return 1;
}

// The thread that runs the program's start-up is the GUI thread, as on the platform, even when a worker
// is the first to call into the window manager.
static const bool GGuiThreadKnown = (winimpl::EnsureGuiThread(), true);
