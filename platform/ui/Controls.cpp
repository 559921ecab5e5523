#include "platform/ui/Controls.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The window of each control of this library, and the control whose window is being created: its
// first messages arrive before CreateWindowEx returns the handle.
std::unordered_map<HWND, TWinControl*>& ControlOfWindow() {
    static std::unordered_map<HWND, TWinControl*> Map;
    return Map;
}
TWinControl* GCreatingControl = nullptr;

} // namespace

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FWindowProc = [this](TMessage& Message) { WndProc(Message); };
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TControl::~TControl() {
    FFont->OnChange = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    RequestAlign();
}

TRect TControl::ClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign)
        return;
    TAlign Old = FAlign;
    FAlign = Value;
    // A control leaving alignment frees its place; the others close up.
    if (Old != alNone && FParent && Value == alNone)
        FParent->AlignControls(nullptr);
    else
        RequestAlign();
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation(u"A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, WPARAM(Value), 0);
    Invalidate();
    if (FParent && FAlign != alNone)
        FParent->AlignControls(Value ? this : nullptr);
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
    Invalidate();
}

void TControl::SetText(const String& Value) {
    if (Value == FText)
        return;
    auto* Windowed = dynamic_cast<TWinControl*>(this);
    if (Windowed && Windowed->HandleAllocated()) {
        // The window's WM_SETTEXT brings the new text back into FText.
        SetWindowTextW(Windowed->Handle(), Value.c_str());
        return;
    }
    FText = Value;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Perform(CM_COLORCHANGED, 0, 0);
    Invalidate();
}

void TControl::FontChanged(TObject*) {
    Perform(CM_FONTCHANGED, 0, 0);
    Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    // A copy: the procedure may replace WindowProc while it runs.
    TWndMethod Proc = FWindowProc;
    if (Proc)
        Proc(Message);
    return Message.Result;
}

void TControl::Invalidate() {
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    RECT R = BoundsRect();
    InvalidateRect(FParent->Handle(), &R, !FControlStyle.Contains(csOpaque));
}

TPoint TControl::ClientOrigin() {
    if (!FParent)
        return {FLeft, FTop};
    TPoint P = FParent->ClientOrigin();
    return {P.X + FLeft, P.Y + FTop};
}

TShiftState TControl::MouseShift(WPARAM Keys) const {
    TShiftState Shift;
    if (Keys & MK_SHIFT)
        Shift += ssShift;
    if (Keys & MK_CONTROL)
        Shift += ssCtrl;
    if (Keys & MK_LBUTTON)
        Shift += ssLeft;
    if (Keys & MK_RBUTTON)
        Shift += ssRight;
    if (Keys & MK_MBUTTON)
        Shift += ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        Shift += ssAlt;
    return Shift;
}

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        DoMouseDown(Message, mbLeft);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        DoMouseDown(Message, mbRight);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        DoMouseDown(Message, mbMiddle);
        break;
    case WM_LBUTTONUP:
        DoMouseUp(Message, mbLeft);
        break;
    case WM_RBUTTONUP:
        DoMouseUp(Message, mbRight);
        break;
    case WM_MBUTTONUP:
        DoMouseUp(Message, mbMiddle);
        break;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button) {
    if (Button == mbLeft) {
        if (FControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(true);
        if (FControlStyle.Contains(csClickEvents))
            FControlState += csClicked;
    }
    TShiftState Shift = MouseShift(Message.WParam);
    if (Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK)
        Shift += ssDouble;
    MouseDown(Button, Shift, GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (Button == mbLeft) {
        if (FControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState -= csClicked;
            if (PtInRect(ClientRect(), P))
                Click();
        }
    }
    MouseUp(Button, MouseShift(Message.WParam), P.X, P.Y);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::RequestAlign() {
    if (FParent && FAlign != alNone)
        FParent->AlignControls(this);
}

// A windowless control captures through its parent's window.
void TControl::SetMouseCapture(bool Value) {
    if (!FParent || !FParent->HandleAllocated())
        return;
    if (Value)
        SetCapture(FParent->Handle());
    else if (GetCapture() == FParent->Handle())
        ReleaseCapture();
}

bool TControl::MouseCapture() { return FParent && FParent->HandleAllocated() && GetCapture() == FParent->Handle(); }

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Each child leaves the list as it goes.
    while (!FControls.empty())
        delete FControls.back();
    if (FHandle) {
        // The window dies without calling back into a half-destroyed control.
        HWND H = FHandle;
        ControlOfWindow().erase(H);
        FHandle = nullptr;
        DestroyWindow(H);
    }
}

TWinControl* TWinControl::FindControl(HWND Handle) {
    auto It = ControlOfWindow().find(Handle);
    return It == ControlOfWindow().end() ? nullptr : It->second;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle)
        return;
    // Creating the parent's window creates its children's, this one's included.
    if (Parent())
        Parent()->HandleNeeded();
    if (!FHandle)
        CreateHandle();
}

void TWinControl::CreateHandle() {
    if (FHandle)
        return;
    FControlState += csCreating;
    try {
        CreateWnd();
    } catch (...) {
        FControlState -= csCreating;
        throw;
    }
    FControlState -= csCreating;
    for (TControl* C : std::vector<TControl*>(FControls))
        if (auto* W = dynamic_cast<TWinControl*>(C))
            W->HandleNeeded();
    Realign();
}

void TWinControl::DestroyHandle() {
    if (!FHandle)
        return;
    FControlState += csDestroyingHandle;
    DestroyWnd();
    FControlState -= csDestroyingHandle;
}

void TWinControl::DestroyWnd() {
    if (FHandle)
        DestroyWindow(FHandle);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = FText;
    Params.Style = Parent() ? WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN : WS_POPUP | WS_CLIPCHILDREN;
    if (Visible())
        Params.Style |= WS_VISIBLE;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = Parent() ? Parent()->FHandle : nullptr;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = &InitWndProc;
    Params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    WNDCLASSEXW Existing;
    if (!GetClassInfoExW(nullptr, Params.WinClassName.c_str(), &Existing)) {
        Params.WindowClass.lpszClassName = Params.WinClassName.c_str();
        if (!RegisterClassExW(&Params.WindowClass))
            throw EInvalidOperation(u"Cannot register the window class " + Params.WinClassName);
    }
    CreateWindowHandle(Params);
    if (!FHandle)
        throw EInvalidOperation(u"Error creating window of " + ClassName());
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl* Outer = GCreatingControl;
    GCreatingControl = this;
    HWND H = CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr, nullptr,
                             Params.Param);
    GCreatingControl = Outer;
    if (H && !FHandle) {
        FHandle = H;
        ControlOfWindow()[H] = this;
    }
}

LRESULT TWinControl::InitWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* Control = FindControl(hWnd);
    if (!Control && GCreatingControl) {
        // Only a window of this library's classes comes here unknown: the one being created.
        Control = GCreatingControl;
        GCreatingControl = nullptr;
        Control->FHandle = hWnd;
        ControlOfWindow()[hWnd] = Control;
    }
    if (!Control)
        return DefWindowProcW(hWnd, Msg, wParam, lParam);
    TMessage Message{Msg, wParam, lParam, 0};
    TWndMethod Proc = Control->WindowProc();
    if (Proc)
        Proc(Message);
    else
        Message.Result = DefWindowProcW(hWnd, Msg, wParam, lParam);
    if (Msg == WM_NCDESTROY) {
        // The control may have gone meanwhile: look it up again.
        auto It = ControlOfWindow().find(hWnd);
        if (It != ControlOfWindow().end()) {
            if (It->second->FHandle == hWnd)
                It->second->FHandle = nullptr;
            ControlOfWindow().erase(It);
        }
    }
    return Message.Result;
}

void TWinControl::WndProc(TMessage& Message) { TControl::WndProc(Message); }

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    case WM_SIZE:
        TControl::Dispatch(Message);
        if (Message.WParam != SIZE_MINIMIZED)
            Realign();
        return;
    case WM_WINDOWPOSCHANGED:
        TControl::Dispatch(Message);
        UpdateBoundsFromWindow();
        return;
    case WM_SETTEXT: {
        TControl::Dispatch(Message);
        auto* Text = reinterpret_cast<const WCHAR*>(Message.LParam);
        String New = Text ? String(Text) : String();
        if (New != FText) {
            FText = New;
            Perform(CM_TEXTCHANGED, 0, 0);
        }
        return;
    }
    case CM_VISIBLECHANGED:
        if (FHandle)
            SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                             (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        break;
    case CM_ENABLEDCHANGED:
        if (FHandle)
            EnableWindow(FHandle, Enabled());
        break;
    case CM_INVALIDATE:
        if (FHandle)
            InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
        return;
    }
    TControl::Dispatch(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    // The class library's own messages mean nothing to the window layer.
    if (FHandle && Message.Msg < CM_BASE)
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    RECT R;
    GetClientRect(FHandle, &R);
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(FColor));
    FillRect(reinterpret_cast<HDC>(Message.WParam), &R, Brush);
    DeleteObject(Brush);
    Message.Result = 1;
}

void TWinControl::WMLButtonDown(TMessage& Message) {
    if (FTabStop && Enabled() && !Focused())
        SetFocus();
    TControl::Dispatch(Message);
}

void TWinControl::SetMouseCapture(bool Value) {
    if (Value)
        SetCapture(Handle());
    else if (FHandle && GetCapture() == FHandle)
        ReleaseCapture();
}

void TWinControl::UpdateBoundsFromWindow() {
    RECT R;
    GetWindowRect(FHandle, &R);
    POINT TopLeft{R.Left, R.Top};
    if ((GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) && GetParent(FHandle))
        ::ScreenToClient(GetParent(FHandle), &TopLeft);
    int W = R.Right - R.Left, H = R.Bottom - R.Top;
    if (TopLeft.X == FLeft && TopLeft.Y == FTop && W == FWidth && H == FHeight)
        return;
    FLeft = TopLeft.X;
    FTop = TopLeft.Y;
    FWidth = W;
    FHeight = H;
    RequestAlign();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle)
        // The window's WM_SIZE aligns the children.
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    else if (Resized)
        Realign();
    RequestAlign();
}

TRect TWinControl::ClientRect() {
    if (!FHandle)
        return TControl::ClientRect();
    RECT R;
    GetClientRect(FHandle, &R);
    return R;
}

TPoint TWinControl::ClientOrigin() {
    POINT P{0, 0};
    ::ClientToScreen(Handle(), &P);
    return P;
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->FParent = this;
    FControls.push_back(AControl);
    if (auto* W = dynamic_cast<TWinControl*>(AControl); W && FHandle)
        W->HandleNeeded();
    AControl->Invalidate();
    if (AControl->Align() != alNone && AControl->Visible())
        AlignControls(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto It = std::find(FControls.begin(), FControls.end(), AControl);
    if (It == FControls.end())
        return;
    if (auto* W = dynamic_cast<TWinControl*>(AControl))
        W->DestroyHandle();
    else
        AControl->Invalidate();
    FControls.erase(It);
    AControl->FParent = nullptr;
    if (AControl->Align() != alNone && AControl->Visible())
        AlignControls(nullptr);
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::AlignControls(TControl* AControl) {
    if (FAlignLevel > 0 || FAligning) {
        FControlState += csAlignmentNeeded;
        return;
    }
    if (ComponentState().Contains(csDestroying))
        return;
    FAligning = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } Reset{FAligning};
    FControlState -= csAlignmentNeeded;

    TRect R = ClientRect();
    AdjustClientRect(R);
    // Controls of one kind stack from the edge inwards in the order of their positions; the control
    // that was just moved goes first among controls at the same place.
    auto Before = [](TAlign A, const TControl* C1, const TControl* C2) {
        switch (A) {
        case alTop:
            return C1->Top() < C2->Top();
        case alBottom:
            return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
        case alLeft:
            return C1->Left() < C2->Left();
        case alRight:
            return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
        default:
            return false;
        }
    };
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> List;
        if (AControl && AControl->Parent() == this && AControl->Align() == A && AControl->Visible())
            List.push_back(AControl);
        for (TControl* C : FControls) {
            if (C == AControl || C->Align() != A || !C->Visible())
                continue;
            std::size_t J = 0;
            while (J < List.size() && !Before(A, C, List[J]))
                ++J;
            List.insert(List.begin() + std::ptrdiff_t(J), C);
        }
        for (TControl* C : List) {
            int W = std::max(0, R.Right - R.Left), H = std::max(0, R.Bottom - R.Top);
            switch (A) {
            case alTop:
                C->SetBounds(R.Left, R.Top, W, C->Height());
                R.Top += C->Height();
                break;
            case alBottom:
                C->SetBounds(R.Left, R.Bottom - C->Height(), W, C->Height());
                R.Bottom -= C->Height();
                break;
            case alLeft:
                C->SetBounds(R.Left, R.Top, C->Width(), H);
                R.Left += C->Width();
                break;
            case alRight:
                C->SetBounds(R.Right - C->Width(), R.Top, C->Width(), H);
                R.Right -= C->Width();
                break;
            default:
                C->SetBounds(R.Left, R.Top, W, H);
                break;
            }
        }
    }
}
