#include "WinTestSupport.h"

#include <cstdio>

TMsgLog* TMsgLog::Current = nullptr;

std::string MsgName(UINT Msg) {
    static const std::map<UINT, const char*> Names = {
        {WM_NULL, "WM_NULL"},
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
        {WM_CANCELMODE, "WM_CANCELMODE"},
        {WM_SETCURSOR, "WM_SETCURSOR"},
        {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
        {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
        {WM_STYLECHANGING, "WM_STYLECHANGING"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
        {WM_NCHITTEST, "WM_NCHITTEST"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_SYNCPAINT, "WM_SYNCPAINT"},
        {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
        {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
        {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
        {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
        {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
        {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
        {WM_SYSKEYUP, "WM_SYSKEYUP"},
        {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_HSCROLL, "WM_HSCROLL"},
        {WM_VSCROLL, "WM_VSCROLL"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
        {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
        {WM_RBUTTONUP, "WM_RBUTTONUP"},
        {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
        {WM_SIZING, "WM_SIZING"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_MOVING, "WM_MOVING"},
        {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"},
        {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
        {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
        {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
        {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
    };
    auto It = Names.find(Msg);
    if (It != Names.end())
        return It->second;
    char B[32];
    std::snprintf(B, sizeof B, "0x%04X", Msg);
    return B;
}

static std::string SysCommandName(WPARAM W) {
    switch (W & 0xFFF0) {
    case SC_MOVE:
        return "SC_MOVE";
    case SC_SIZE:
        return "SC_SIZE";
    case SC_MINIMIZE:
        return "SC_MINIMIZE";
    case SC_MAXIMIZE:
        return "SC_MAXIMIZE";
    case SC_RESTORE:
        return "SC_RESTORE";
    case SC_CLOSE:
        return "SC_CLOSE";
    case SC_KEYMENU:
        return "SC_KEYMENU";
    case SC_MOUSEMENU:
        return "SC_MOUSEMENU";
    case SC_VSCROLL:
        return "SC_VSCROLL";
    case SC_HSCROLL:
        return "SC_HSCROLL";
    }
    return std::to_string(W);
}

static std::string ScrollRequestName(WPARAM W) {
    static const char* const Names[] = {"SB_LINEUP",     "SB_LINEDOWN", "SB_PAGEUP", "SB_PAGEDOWN", "SB_THUMBPOSITION",
                                        "SB_THUMBTRACK", "SB_TOP",      "SB_BOTTOM", "SB_ENDSCROLL"};
    int Code = LOWORD(W);
    std::string N = Code >= 0 && Code <= SB_ENDSCROLL ? Names[Code] : std::to_string(Code);
    if (Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK)
        N += "," + std::to_string(short(HIWORD(W)));
    return N;
}

// The part of a message worth showing in a sequence.
static std::string Detail(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_ACTIVATE:
        return std::to_string(LOWORD(W));
    case WM_NCACTIVATE:
    case WM_SHOWWINDOW:
    case WM_ENABLE:
    case WM_SIZE:
    case WM_SIZING:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMOUSEMOVE:
    case WM_TIMER:
    case WM_NCCALCSIZE:
        return std::to_string(W);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return std::to_string(W);
    case WM_CHAR:
    case WM_SYSCHAR:
        return W < 128 ? std::string(1, char(W)) : std::to_string(W);
    case WM_SYSCOMMAND:
        return SysCommandName(W);
    case WM_HSCROLL:
    case WM_VSCROLL:
        return ScrollRequestName(W);
    case WM_SETCURSOR:
    case WM_MOUSEACTIVATE:
        return std::to_string(short(LOWORD(std::uintptr_t(L))));
    case WM_PARENTNOTIFY:
        return MsgName(LOWORD(W));
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return std::to_string(GET_X_LPARAM(L)) + "," + std::to_string(GET_Y_LPARAM(L));
    }
    return "";
}

TMsgLog::TMsgLog() {
    Ignored = {WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH, WM_GETICON, 0x02A0};
    Current = this;
}

TMsgLog::~TMsgLog() {
    if (Current == this)
        Current = nullptr;
}

HWND TMsgLog::Create(const std::string& Name, DWORD Style, int X, int Y, int W, int H, HWND Parent, DWORD ExStyle,
                     UINT ClassStyle) {
    WNDCLASSEXW C;
    if (!GetClassInfoExW(nullptr, u"LogWnd", &C)) {
        C = WNDCLASSEXW{};
        C.lpfnWndProc = &CALLBACK_Proc;
        C.lpszClassName = u"LogWnd";
        RegisterClassExW(&C);
        C.style = CS_DBLCLKS;
        C.lpszClassName = u"LogWndDbl";
        RegisterClassExW(&C);
    }
    Current = this;
    FPendingName = Name;
    HWND h = CreateWindowExW(ExStyle, ClassStyle & CS_DBLCLKS ? u"LogWndDbl" : u"LogWnd", u"", Style, X, Y, W, H,
                             Parent, nullptr, nullptr, nullptr);
    FPendingName.clear();
    return h;
}

void TMsgLog::Record(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    if (!FPendingName.empty() && !Names.count(h))
        Names[h] = FPendingName;
    if (Ignored.count(Msg))
        return;
    auto It = Names.find(h);
    std::string N = It == Names.end() ? "?" : It->second;
    std::string D = Detail(Msg, w, l);
    FLog.push_back(N + ":" + MsgName(Msg) + (D.empty() ? "" : "(" + D + ")"));
}

LRESULT TMsgLog::CALLBACK_Proc(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    TMsgLog* Self = Current;
    if (Self) {
        Self->Record(h, Msg, w, l);
        auto It = Self->Handlers.find(h);
        if (It != Self->Handlers.end()) {
            LRESULT R = 0;
            auto Handler = It->second;
            if (Handler(h, Msg, w, l, R))
                return R;
        }
    }
    return DefWindowProcW(h, Msg, w, l);
}

TSeq TMsgLog::Take() {
    TSeq R;
    R.swap(FLog);
    return R;
}

void WinTest::SetUp() {
    ResetWindowManager();
    SetWinClock(std::make_unique<TTestClock>(1000, 1));
    TMsgLog::Current = &Log;
}

void WinTest::TearDown() {
    ResetWindowManager();
    SetWinClock(nullptr);
}
