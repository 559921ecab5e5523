#include "platform/ui/Hints.h"

#include "platform/gdi/WinText.h"
#include "platform/ui/Forms.h"

#include <algorithm>

THintWindowClass HintWindowClass = [](TComponent* AOwner) { return new THintWindow(AOwner); };

namespace {
constexpr UINT HintTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FColor = clInfoBk;
    SetParentColor(false);
    Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*) {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    RECT R{0, 0, MaxWidth, 0};
    DrawTextW(DC, AHint.c_str(), int(AHint.size()), &R, HintTextFormat | DT_CALCRECT);
    SelectObject(DC, Old);
    DeleteDC(DC);
    // Room for the frame and a margin around the text.
    return Rect(0, 0, R.Right + 6, R.Bottom + 2);
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
    SetCaption(AHint);
    int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
    TRect Work = Screen->DesktopRect();
    if (Rect.Right > Work.Right)
        Rect.Left = std::max(Work.Left, Work.Right - W);
    if (Rect.Bottom > Work.Bottom)
        Rect.Top = std::max(Work.Top, Rect.Top - H - 20);
    Rect.Left = std::max(Rect.Left, Work.Left);
    Rect.Top = std::max(Rect.Top, Work.Top);
    SetBounds(Rect.Left, Rect.Top, W, H);
    FVisible = true;
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
    Update();
}

void THintWindow::ReleaseHandle() {
    FVisible = false;
    DestroyHandle();
}

void THintWindow::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    C->Brush()->SetColor(clWindowFrame);
    C->FrameRect(R);
    C->Font()->Assign(Font());
    RECT Text{R.Left + 2, R.Top + 1, R.Right - 2, R.Bottom - 1};
    SetBkMode(C->Handle(), TRANSPARENT);
    DrawTextW(C->Handle(), Caption().c_str(), int(Caption().size()), &Text, HintTextFormat);
}

void THintWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCHITTEST:
        // The mouse passes through to what lies below.
        Message.Result = HTTRANSPARENT;
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(Message);
}
