// WinInternal: the window manager's own state, shared by its source files. Not for users of the layer.
#pragma once

#include "platform/gdi/GdiRegion.h"
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace winimpl {

struct TWndClass {
    std::u16string Name;
    ATOM Atom = 0;
    UINT Style = 0;
    WNDPROC Proc = nullptr;
    int ClsExtra = 0;
    int WndExtra = 0;
    HINSTANCE Instance = nullptr;
    HICON Icon = nullptr;
    HICON IconSm = nullptr;
    HCURSOR Cursor = nullptr;
    HBRUSH Background = nullptr;
    std::vector<BYTE> Extra;
};

// How a layered window gives its pixels.
enum class TLayerMode { None, Attributes, PerPixel };

// The state of one of a window's own scroll bars.
struct TScrollBarState {
    bool Known = false; // set once, or given by the creation style (then 0..100)
    int Min = 0;
    int Max = 100;
    int Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Tracking = false;
    UINT Arrows = 0;     // ESB_DISABLE_* bits
    int PressedPart = 0; // the part held down by the mouse (TScrollPart), drawn pushed in
};

struct TWnd {
    HWND Handle = nullptr;
    std::shared_ptr<TWndClass> Class;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    std::u16string Text;
    WNDPROC Proc = nullptr;
    LONG_PTR UserData = 0;
    LONG_PTR Id = 0;
    std::vector<BYTE> Extra;
    std::map<std::u16string, HANDLE> Props;

    TWnd* Parent = nullptr; // the desktop for top-level windows
    TWnd* Owner = nullptr;
    std::vector<TWnd*> Children; // z-order, topmost first

    RECT Rect;       // window rectangle in the parent's client coordinates (screen for top-level)
    RECT Client;     // client rectangle relative to the window's top-left corner
    RECT NormalRect; // restored rectangle while minimised or maximised

    bool Destroying = false;
    bool Dead = false;
    // Hidden because its owner was minimised; shown again when the owner is restored.
    bool HiddenWithOwner = false;

    // Painting state: the update region (client coordinates; empty when nothing is to be painted),
    // whether it needs erasing, whether the frame needs painting, and a pending internal paint.
    GdiRegion Update;
    bool NeedErase = false;
    bool NeedFrame = false;
    bool InternalPaint = false;
    bool Painting = false;
    int RedrawOff = 0; // WM_SETREDRAW(FALSE)

    // Layered windows.
    TLayerMode LayerMode = TLayerMode::None;
    BYTE LayerAlpha = 255;
    COLORREF LayerKey = 0;
    DWORD LayerFlags = 0;

    // Mouse tracking of TrackMouseEvent.
    DWORD TrackFlags = 0;
    DWORD HoverTime = 0;
    std::uint64_t HoverDue = 0;

    // Scroll bars: SB_HORZ and SB_VERT, and which of them the default WM_NCCALCSIZE last reserved room
    // for (bit 1 << bar). A window that answers WM_NCCALCSIZE itself gets no native bars drawn.
    TScrollBarState Scroll[2];
    unsigned NcBars = 0;

    // The caption state of the last WM_NCACTIVATE the default procedure saw; an MDI child's frame shows
    // it, since the child never becomes the active window itself.
    bool NcActive = false;

    // Set by the back-ends and the painting code.
    void* PaintData = nullptr;

    bool IsChild() const { return (Style & WS_CHILD) != 0; }
    bool IsMDIChild() const { return (Style & WS_CHILD) && (ExStyle & WS_EX_MDICHILD); }
    bool Visible() const { return (Style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (Style & WS_DISABLED) == 0; }
};

struct TTimer {
    HWND Wnd = nullptr;
    UINT_PTR Id = 0;
    UINT Interval = 0;
    TIMERPROC Proc = nullptr;
    std::uint64_t Due = 0;
};

struct TSentMessage {
    HWND Wnd = nullptr;
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    bool Done = false;
};

enum class TRawKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Char };

struct TRawInput {
    TRawKind Kind = TRawKind::MouseMove;
    POINT Pt;
    int Button = 0;
    int Delta = 0;
    UINT Key = 0;
    WCHAR Ch = 0;
};

// What a window holds for painting and composing: the back buffer (top-level windows), the per-pixel
// image of a layered window, and the window region (a copy owned by the window).
struct TSurfaceData {
    HBITMAP Buffer = nullptr;
    DWORD* Bits = nullptr; // top-down 0xAARRGGBB
    int Width = 0;
    int Height = 0;
    HBITMAP Layer = nullptr;
    DWORD* LayerBits = nullptr;
    int LayerWidth = 0;
    int LayerHeight = 0;
    bool LayerUsesAlpha = false;
    HRGN Region = nullptr;
};

TSurfaceData& SurfaceOf(TWnd* W);
TSurfaceData& EnsureBuffer(TWnd* Top);
HBITMAP NewSurface(int Width, int Height, DWORD** Bits);
// The screen composed from the visible top-level windows (Compositor.cpp).
HBITMAP ComposedScreen();

// Extra work of the back-end hooked into the window manager.
class TBackendHooks {
public:
    virtual ~TBackendHooks() = default;
    virtual void TopLevelChanged(TWnd* W) {}
    virtual void TopLevelDestroyed(TWnd* W) {}
    virtual void ZOrderChanged() {}
    // Takes what arrived from outside without waiting (input, exposures) and shows what changed.
    virtual void Poll() {}
    // Waits for outside events up to AMs milliseconds (or until woken); returns at once when
    // something arrived.
    virtual void WaitEvents(std::uint64_t AMs);
    virtual void Wake();
};

// The window manager's state in four parts: the window table, the message queue, the input state and the screen.
// TState joins them (and names the GUI thread), so code that works with several parts reaches them all through S().

// Every window and window class, by handle and name.
struct TWindowTable {
    std::recursive_mutex HandleLock; // guards the handle table for other threads
    std::unordered_map<std::uintptr_t, std::unique_ptr<TWnd>> Handles;
    std::vector<std::unique_ptr<TWnd>> Graveyard; // destroyed, freed when no dispatch runs
    std::uintptr_t NextHandle = 0x10010;
    std::unique_ptr<TWnd> Desktop;

    std::map<std::u16string, std::shared_ptr<TWndClass>> Classes; // by upper-case name
    ATOM NextAtom = 0xC000;
    std::map<std::u16string, UINT> RegisteredMessages;
    UINT NextRegisteredMessage = 0xC000;
};

// What waits for the GUI thread: posted and sent messages, raw input, timers. The queue is guarded by QueueLock;
// the GUI thread waits on QueueSignal.
struct TMessageQueue {
    std::mutex QueueLock;
    std::condition_variable QueueSignal;
    std::deque<MSG> Posted;
    std::deque<std::shared_ptr<TSentMessage>> Sent;
    std::condition_variable SentDone;
    std::deque<TRawInput> Raw;
    bool QuitPosted = false;
    bool SyncWake = false; // a worker queued a synchronised call since the GUI thread last ran them
    // Invalidations asked for by other threads, applied by the GUI thread when it looks at its queue.
    struct TPendingInvalidate {
        HWND Wnd;
        GdiRegion Area; // client coordinates
        bool Whole;     // the whole client area (Area unused)
        UINT Flags;
    };
    std::vector<TPendingInvalidate> PendingInvalidates;
    int QuitCode = 0;
    std::uint64_t ResetGeneration = 0;

    std::deque<MSG> Cooked; // input messages made from raw input, not yet taken
    std::vector<TTimer> Timers;
    UINT_PTR NextTimerId = 1;
    int DispatchDepth = 0;
    int InSend = 0;
    DWORD LastMessageTime = 0;
    POINT LastMessagePos;

    // Drops everything queued and timers; whoever waits for a sent message is let go.
    void Clear();
};

// The mouse and keyboard as the input taken so far leaves them, and the windows that hold them.
struct TInputState {
    POINT Cursor;    // where the input taken so far has put the mouse
    POINT RawCursor; // where the input injected so far puts it
    BYTE KeyState[256] = {};
    BYTE AsyncKeyState[256] = {};
    HWND Capture = nullptr;
    HWND Focus = nullptr;
    HWND Active = nullptr;
    HCURSOR CurrentCursor = nullptr;
    UINT DoubleClickTime = 500;
    bool DragFullWindows = true;
    HWND LastClickWnd = nullptr;
    UINT LastClickMsg = 0;
    DWORD LastClickTime = 0;
    POINT LastClickPt;
    bool LastClickWasDouble = false;
    HWND LastMouseWnd = nullptr; // window under the mouse at the last move, for leave tracking
    LRESULT LastMouseHit = HTNOWHERE;
    bool AltAlone = false;

    // No key down, no window holding the mouse or the focus, the mouse at (0, 0), the default settings.
    void Reset();
};

// The screen the windows live on and the back-end that shows them.
struct TScreenState {
    RECT Screen = {0, 0, 1920, 1080};
    RECT WorkArea = {0, 0, 1920, 1040};

    TBackendHooks* Backend = nullptr;
    // What the back-end can show: constant-alpha layered windows, per-pixel layered windows.
    bool LayeredAlpha = true;
    bool LayeredPerPixel = true;
};

struct TState : TWindowTable, TMessageQueue, TInputState, TScreenState {
    std::thread::id GuiThread;
    bool GuiThreadSet = false;
};

TState& S();
inline TWindowTable& WindowTable() {
    return S();
}
inline TMessageQueue& MessageQueue() {
    return S();
}
inline TInputState& InputState() {
    return S();
}
inline TScreenState& ScreenState() {
    return S();
}

// Something waits in the queue for the GUI thread (QueueLock held).
bool QueueHasWork();

// Ensures the calling thread may use window state (sets the GUI thread on first use).
void EnsureGuiThread();

TWnd* FromHandle(HWND h);
TWnd* DesktopWnd();
TWnd* TopLevelOf(TWnd* W);
bool IsDescendant(TWnd* Ancestor, TWnd* W);

// Geometry helpers.
POINT WindowOriginOnScreen(TWnd* W); // screen position of the window's top-left corner
POINT ClientOriginOnScreen(TWnd* W);
RECT ScreenWindowRect(TWnd* W);
bool RectContains(const RECT& R, POINT P);
RECT IntersectR(const RECT& A, const RECT& B);
RECT UnionR(const RECT& A, const RECT& B);
bool EmptyR(const RECT& R);
RECT OffsetR(RECT R, int Dx, int Dy);

// Messages.
LRESULT Send(TWnd* W, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
bool Alive(HWND h);
// The next message of a loop that runs while h holds the mouse (a bar's tracking, a move or size):
// false once h is gone or has lost the capture, or when the application quits (the quit is posted
// again for the outer loop).
bool NextCapturedMessage(HWND h, MSG& M);
void PurgeWindow(HWND h);
DWORD MessageTime();

// Activation and focus, run by input, ShowWindow and destruction.
void ActivateWindow(TWnd* W, WORD How);
void ActivateOtherWindow(TWnd* Leaving);
void WindowGoingAway(TWnd* W);

// Painting bookkeeping (WinPaint.cpp). Areas are in the window's client coordinates; nullptr is the
// whole client area.
void InvalidateArea(TWnd* W, const RECT* R, UINT Flags);
void InvalidateRegion(TWnd* W, const GdiRegion* Rgn, UINT Flags);
void ValidateArea(TWnd* W, const RECT* R);
bool NeedsPaint(TWnd* W);
TWnd* FindPaintWindow(TWnd* Root, HWND Filter);
void FreePaintData(TWnd* W);

// Non-client defaults (WinDefProc.cpp).
RECT DefaultClientRect(DWORD Style, DWORD ExStyle, const RECT& WindowRect);
LRESULT DefaultHitTest(TWnd* W, POINT ScreenPt);

// Scroll bars (WinScroll.cpp): the classic bars drawn into a window DC, and the mouse loop of a press on
// one (WM_SYSCOMMAND SC_HSCROLL / SC_VSCROLL).
void PaintScrollBars(TWnd* W, HDC Dc);
void ScrollTrackLoop(TWnd* W, int Bar, POINT ScreenPt);

// Input (WinInput.cpp): turns one raw event into queued messages; true when one was made.
bool CookRawInput();
// Runs the side effects a mouse button press has when its message is taken from the queue; false when
// the message is to be eaten.
bool PrepareButtonMessage(MSG& M);
void CancelModes(TWnd* W);

// Hit testing: the window that takes input at a screen point, with its hit code.
TWnd* HitTest(POINT Pt, LRESULT* Hit, bool SendNcHitTest);

// The modal move and size loop of DefWindowProc.
void MoveSizeLoop(TWnd* W, WPARAM Command, POINT Start);

// The clipboard (WinClipboard.cpp): emptied and closed.
void ResetClipboard();

} // namespace winimpl
