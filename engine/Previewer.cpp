#include "engine/Previewer.h"

#include "engine/FFUtils.h"
#include "platform/base/Threads.h"
#include "platform/gdi/WinGdi.h"
#include "platform/win/Messages.h"

namespace {
const char16_t* const PreviewClassName = u"TPreviewer";
}

TPreviewer::~TPreviewer() {
    TThread::Synchronize(nullptr, [this] { ReleasePreviewForm(); });
}

bool TPreviewer::PaintFrame(TBitmap* ABitmap, int AFrameNumber, Int64 APTS) {
    if (!FClosed) {
        FBitmap = ABitmap;
        FFrameNumber = AFrameNumber;
        FPTS = APTS;
        TThread::Synchronize(nullptr, [this] { ShowFrame(); });
        FBitmap = nullptr;
    }
    return !FClosed;
}

void TPreviewer::ShowFrame() {
    if (FClosed || !FBitmap)
        return;
    if (!FShown)
        FShown = std::make_unique<TBitmap>();
    FShown->Assign(FBitmap);
    if (!FFormHandle) {
        CreatePreviewForm();
        if (!FFormHandle)
            return;
        ShowWindow(FFormHandle, SW_SHOW);
    }
    const String Caption = FormatTimestamp(FPTS);
    SetWindowTextW(FFormHandle, Caption.c_str());
    InvalidateRect(FFormHandle, nullptr, FALSE);
    UpdateWindow(FFormHandle);
}

void TPreviewer::CreatePreviewForm() {
    WNDCLASSEXW Class;
    Class.lpfnWndProc = &CALLBACK_WndProc;
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.lpszClassName = PreviewClassName;
    RegisterClassExW(&Class); // fails harmlessly once the class exists

    // The client area takes the first frame's size; the window is centred on the screen.
    const DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const DWORD ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    RECT R{0, 0, FBitmap->Width(), FBitmap->Height()};
    AdjustWindowRectEx(&R, Style, FALSE, ExStyle);
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    const int X = (GetSystemMetrics(SM_CXSCREEN) - W) / 2, Y = (GetSystemMetrics(SM_CYSCREEN) - H) / 2;
    FFormHandle =
        CreateWindowExW(ExStyle, PreviewClassName, u"", Style, X, Y, W, H, nullptr, nullptr, nullptr, nullptr);
    if (FFormHandle)
        SetWindowLongPtrW(FFormHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TPreviewer::ReleasePreviewForm() {
    if (!FFormHandle)
        return;
    HWND Handle = FFormHandle;
    SetWindowLongPtrW(Handle, GWLP_USERDATA, 0);
    FFormHandle = nullptr;
    DestroyWindow(Handle);
}

LRESULT TPreviewer::CALLBACK_WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto* Self = reinterpret_cast<TPreviewer*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    return Self ? Self->WndProc(hWnd, Msg, wParam, lParam) : DefWindowProcW(hWnd, Msg, wParam, lParam);
}

LRESULT TPreviewer::WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_LBUTTONDOWN:
        // A press anywhere in the picture drags the window as its caption would.
        SendMessageW(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, LPARAM(GetMessagePos()));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the picture covers the client area
    case WM_PAINT: {
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(hWnd, &PS);
        if (FShown)
            BitBlt(DC, 0, 0, FShown->Width(), FShown->Height(), FShown->Canvas()->Handle(), 0, 0, SRCCOPY);
        EndPaint(hWnd, &PS);
        return 0;
    }
    case WM_CLOSE:
        FClosed = true; // and the window closes as usual
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        FFormHandle = nullptr;
        break;
    }
    return DefWindowProcW(hWnd, Msg, wParam, lParam);
}
