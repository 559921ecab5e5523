#include "platform/ui/Controls.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/win/WinExtras.h"

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
TControl* GMouseControl = nullptr;
TControl* GCaptureControl = nullptr;
// A key the form took (dialog key, short cut): the character it typed is not delivered either.
bool GSwallowChar = false;

bool IsWindowed(const TControl* C) {
    return dynamic_cast<const TWinControl*>(C) != nullptr;
}

} // namespace

HCURSOR StandardCursorHandle(TCursor Cursor) {
    LPCWSTR Id = nullptr;
    switch (Cursor) {
    case crDefault:
    case crArrow:
    case crDrag:
    case crMultiDrag:
        Id = IDC_ARROW;
        break;
    case crCross:
        Id = IDC_CROSS;
        break;
    case crIBeam:
        Id = IDC_IBEAM;
        break;
    case crSizeNESW:
        Id = IDC_SIZENESW;
        break;
    case crSizeNS:
    case crVSplit:
        Id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        Id = IDC_SIZENWSE;
        break;
    case crSizeWE:
    case crHSplit:
        Id = IDC_SIZEWE;
        break;
    case crUpArrow:
        Id = IDC_UPARROW;
        break;
    case crHourGlass:
    case crSQLWait:
        Id = IDC_WAIT;
        break;
    case crNoDrop:
    case crNo:
        Id = IDC_NO;
        break;
    case crAppStart:
        Id = IDC_APPSTARTING;
        break;
    case crHelp:
        Id = IDC_HELP;
        break;
    case crHandPoint:
        Id = IDC_HAND;
        break;
    case crSizeAll:
        Id = IDC_SIZEALL;
        break;
    default:
        return nullptr;
    }
    return LoadCursorW(nullptr, Id);
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift += ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift += ssCtrl;
    if (KeyData & (LPARAM(1) << 29))
        Shift += ssAlt;
    return Shift;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift += ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift += ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        Shift += ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0)
        Shift += ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0)
        Shift += ssRight;
    if (GetKeyState(VK_MBUTTON) < 0)
        Shift += ssMiddle;
    return Shift;
}

String GetShortHint(const String& Hint) {
    auto Bar = Hint.find(u'|');
    return Bar == String::npos ? Hint : Hint.substr(0, Bar);
}

String GetLongHint(const String& Hint) {
    auto Bar = Hint.find(u'|');
    return Bar == String::npos ? Hint : Hint.substr(Bar + 1);
}

// ---------------------------------------------------------------------------------------------
// TTypeAhead

TTypeAhead::TSearch TTypeAhead::Add(Char Key) {
    constexpr DWORD PauseMs = 1000; // characters further apart start a new search
    DWORD Now = GetTickCount();
    if (Now - FTime > PauseMs)
        FTyped.clear();
    FTime = Now;
    FTyped += Key;
    bool Repeated = std::all_of(FTyped.begin(), FTyped.end(), [&](Char C) { return C == FTyped[0]; });
    if (Repeated)
        return TSearch{FTyped.substr(0, 1), false};
    return TSearch{FTyped, true};
}

// ---------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TSizeConstraints*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    FMaxHeight = S->FMaxHeight;
    FMaxWidth = S->FMaxWidth;
    FMinHeight = S->FMinHeight;
    FMinWidth = S->FMinWidth;
    if (OnChange)
        OnChange(this);
}

void TSizeConstraints::SetConstraint(int& Field, int Value) {
    Value = std::max(0, Value);
    if (Field == Value)
        return;
    Field = Value;
    if (OnChange)
        OnChange(this);
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (FMaxWidth > 0 && Width > FMaxWidth)
        Width = FMaxWidth;
    if (FMinWidth > 0 && Width < FMinWidth)
        Width = FMinWidth;
    if (FMaxHeight > 0 && Height > FMaxHeight)
        Height = FMaxHeight;
    if (FMinHeight > 0 && Height < FMinHeight)
        Height = FMinHeight;
}

// ---------------------------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() {
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* AControl) {
    if (FControl == AControl)
        return;
    FreeHandle();
    FControl = AControl;
}

void TControlCanvas::FreeHandle() {
    if (!FDeviceContext)
        return;
    HDC DC = FDeviceContext;
    FDeviceContext = nullptr;
    SetHandle(nullptr);
    if (IsWindow(FWindowHandle))
        ReleaseDC(FWindowHandle, DC);
    FWindowHandle = nullptr;
}

void TControlCanvas::CreateHandle() {
    if (!FControl)
        return;
    FreeHandle();
    if (auto* W = dynamic_cast<TWinControl*>(FControl)) {
        FWindowHandle = W->Handle();
        FDeviceContext = GetDC(FWindowHandle);
    } else if (FControl->Parent()) {
        FWindowHandle = FControl->Parent()->Handle();
        FDeviceContext = GetDC(FWindowHandle);
        if (FDeviceContext) {
            SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
            IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
        }
    }
    if (FDeviceContext)
        SetHandle(FDeviceContext);
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
    Lock();
    FreeHandle();
    SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        SetHandle(nullptr);
        Unlock();
        throw;
    }
    SetHandle(nullptr);
    Unlock();
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>()) {
    FWindowProc = [this](TMessage& Message) { WndProc(Message); };
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
    // A control made while its owner loads (a form being built) loads with it.
    if (AOwner && AOwner->ComponentState().Contains(csLoading))
        SetComponentState(ComponentState() + csLoading);
}

TControl::~TControl() {
    FAlive.reset();
    FFont->OnChange = nullptr;
    FConstraints->OnChange = nullptr;
    if (GMouseControl == this)
        GMouseControl = nullptr;
    if (GCaptureControl == this) {
        GCaptureControl = nullptr;
        if (FParent && FParent->HandleAllocated() && GetCapture() == FParent->FHandle)
            ReleaseCapture();
    }
    if (Application)
        Application->ForgetControl(this);
    if (Screen)
        Screen->ForgetControl(this);
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FAutoSize && !FAutoSizing) {
        int W = AWidth, H = AHeight;
        FAutoSizing = true;
        bool Sized = CanAutoSize(W, H);
        FAutoSizing = false;
        if (Sized) {
            AWidth = W;
            AHeight = H;
        }
    }
    FConstraints->Apply(AWidth, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    UpdateAnchorRules();
    RequestAlign();
    if (FParent && FParent->AutoSize())
        FParent->AdjustSize();
    if (Resized)
        Resize();
}

void TControl::SetClientSize(int AWidth, int AHeight) {
    TRect C = ClientRect();
    SetBounds(FLeft, FTop, AWidth + FWidth - (C.Right - C.Left), AHeight + FHeight - (C.Bottom - C.Top));
}

TRect TControl::ClientRect() {
    return Rect(0, 0, FWidth, FHeight);
}

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

void TControl::SetAnchors(TAnchors Value) {
    if (Value.ToInt() == FAnchors.ToInt())
        return;
    FAnchors = Value;
    UpdateAnchorRules();
}

// What anchoring keeps when the parent resizes: the distance to the right (bottom) edge, the width
// (height) when both edges hold, or the centre in proportion when neither does.
void TControl::UpdateAnchorRules() {
    if (FAnchorMove || ComponentState().Contains(csLoading))
        return;
    if (FAnchors.Contains(akLeft) && FAnchors.Contains(akTop) && !FAnchors.Contains(akRight) &&
        !FAnchors.Contains(akBottom)) {
        FOriginalParentSize = {0, 0};
        return;
    }
    if (FAnchors.Contains(akRight))
        FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
    else
        FAnchorRules.X = FLeft + FWidth / 2;
    if (FAnchors.Contains(akBottom))
        FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
    else
        FAnchorRules.Y = FTop + FHeight / 2;
    if (FParent) {
        TRect R = FParent->ClientRect();
        FParent->AdjustClientRect(R);
        FOriginalParentSize = {R.Right, R.Bottom};
    }
}

void TControl::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    if (Value)
        AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) {
    return true;
}

void TControl::AdjustSize() {
    if (ComponentState().Contains(csLoading))
        return;
    int W = FWidth, H = FHeight;
    if (FAutoSize && CanAutoSize(W, H))
        SetBounds(FLeft, FTop, W, H);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    for (TWinControl* P = AParent; P; P = P->Parent())
        if (P == this)
            throw EInvalidOperation(u"A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        if (FParentFont) {
            FInheriting = true;
            FFont->Assign(AParent->Font());
            FInheriting = false;
        }
        if (FParentColor && FColor != AParent->Color()) {
            FColor = AParent->Color();
            Perform(CM_COLORCHANGED, 0, 0);
        }
        UpdateAnchorRules();
    }
}

TCustomForm* TControl::ParentForm() const {
    return GetParentForm(this);
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, WPARAM(Value), 0);
    Invalidate();
    if (FParent)
        FParent->AlignControl(this);
    if (FParent && FParent->AutoSize())
        FParent->AdjustSize();
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
    if (FAutoSize)
        AdjustSize();
}

String TControl::GetDisplayText() const {
    String S;
    for (std::size_t I = 0; I < FText.size(); ++I) {
        if (FText[I] == u'&' && I + 1 < FText.size())
            ++I;
        else if (FText[I] == u'&')
            continue;
        S += FText[I];
    }
    return S;
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
    Invalidate();
}

void TControl::SetParentColor(bool Value) {
    if (Value == FParentColor)
        return;
    FParentColor = Value;
    if (Value && FParent && FColor != FParent->Color()) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED, 0, 0);
        Invalidate();
    }
}

void TControl::SetParentFont(bool Value) {
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    if (Value && FParent) {
        FInheriting = true;
        FFont->Assign(FParent->Font());
        FInheriting = false;
    }
}

void TControl::FontChanged(TObject*) {
    // A font set on the control itself stops following the parent's.
    if (!FInheriting)
        FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
    Invalidate();
    if (FAutoSize)
        AdjustSize();
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (Value == FShowHint)
        return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (Value == FParentShowHint)
        return;
    FParentShowHint = Value;
    if (Value && FParent && FParent->ShowHint() != FShowHint) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    UpdateAnchorRules();
    if (FAutoSize)
        AdjustSize();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    // A copy: the procedure may replace WindowProc (or free the control) while it runs.
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

void TControl::Update() {
    if (FParent)
        FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated())
        return;
    Invalidate();
    FParent->Update();
}

void TControl::BringToFront() {
    if (!FParent)
        return;
    auto& List = FParent->FControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end())
        return;
    List.erase(It);
    List.push_back(this);
    if (auto* W = dynamic_cast<TWinControl*>(this); W && W->HandleAllocated())
        SetWindowPos(W->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent)
        return;
    auto& List = FParent->FControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end())
        return;
    List.erase(It);
    List.insert(List.begin(), this);
    if (auto* W = dynamic_cast<TWinControl*>(this); W && W->HandleAllocated())
        SetWindowPos(W->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
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

void TControl::WndProc(TMessage& Message) {
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
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
    case WM_MOUSEMOVE:
        MouseMove(MouseShift(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        break;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        if (Message.Result)
            return;
        break;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        if (Message.Result)
            return;
        break;
    case WM_CANCELMODE:
        WMCancelMode();
        break;
    case CM_HITTEST:
        Message.Result = HTCLIENT;
        return;
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged();
        return;
    case CM_PARENTSHOWHINTCHANGED:
        CMParentShowHintChanged();
        return;
    }
    // A handler may have freed the control.
    if (Alive.expired())
        return;
    DefaultHandler(Message);
}

// The active control hears of the press first (a drop-down closes); it may free this control.
void TControl::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    SendCancelMode(this);
    if (!Alive.expired())
        DoMouseDown(Message, mbLeft);
}

void TControl::WMCancelMode() {
    if (MouseCapture() && GetCaptureControl() == this) {
        SetMouseCapture(false);
        FControlState -= csClicked;
    }
}

void TControl::CMParentFontChanged() {
    if (FParentFont && FParent) {
        FInheriting = true;
        FFont->Assign(FParent->Font());
        FInheriting = false;
    }
}

void TControl::CMParentColorChanged() {
    if (FParentColor && FParent && FColor != FParent->Color()) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED, 0, 0);
        Invalidate();
    }
}

void TControl::CMParentShowHintChanged() {
    if (FParentShowHint && FParent && FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::SendCancelMode(TControl* Sender) {
    for (TControl* C = this; C; C = C->FParent)
        if (auto* Form = dynamic_cast<TCustomForm*>(C); Form && Form->Active() && Form->ActiveControl())
            Form->ActiveControl()->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button) {
    std::weak_ptr<char> Alive = FAlive;
    if (Application)
        Application->CancelHint();
    if (Button == mbLeft) {
        if (FControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(true);
        if (FControlStyle.Contains(csClickEvents))
            FControlState += csClicked;
    }
    TShiftState Shift = MouseShift(Message.WParam);
    bool Double = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    if (Double)
        Shift += ssDouble;
    int X = GET_X_LPARAM(Message.LParam), Y = GET_Y_LPARAM(Message.LParam);
    if (Double && Button == mbLeft && FControlStyle.Contains(csDoubleClicks)) {
        DblClick();
        if (Alive.expired())
            return;
    }
    MouseDown(Button, Shift, X, Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    std::weak_ptr<char> Alive = FAlive;
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (Button == mbLeft) {
        if (FControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState -= csClicked;
            if (PtInRect(ClientRect(), P))
                Click();
            // The click may have freed the control (a form closed from its button, a page freed).
            if (Alive.expired())
                return;
        }
    }
    MouseUp(Button, MouseShift(Message.WParam), P.X, P.Y);
}

void TControl::WMMouseWheel(TMessage& Message) {
    TPoint Pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (DoMouseWheel(MouseShift(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), Pos))
        Message.Result = 1;
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool Handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
    return Handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    if (Message.Result)
        return;
    // (-1, -1) comes from the keyboard (Shift+F10, the menu key): the menu opens at the control.
    bool FromKeyboard =
        Message.LParam == LPARAM(-1) || (GET_X_LPARAM(Message.LParam) == -1 && GET_Y_LPARAM(Message.LParam) == -1);
    TPoint Screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    TPoint Local = FromKeyboard ? TPoint{-1, -1} : ScreenToClient(Screen);
    bool Handled = false;
    DoContextPopup(Local, Handled);
    if (Alive.expired())
        return;
    if (Handled) {
        Message.Result = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        SendCancelMode(nullptr);
        if (Alive.expired())
            return;
        if (FromKeyboard)
            Screen = ClientToScreen(TPoint{0, 0});
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(Screen.X, Screen.Y);
        Message.Result = 1;
    }
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::RequestAlign() {
    if (FParent)
        FParent->AlignControl(this);
}

// A windowless control captures through its parent's window.
void TControl::SetMouseCapture(bool Value) {
    if (!FParent)
        return;
    if (Value) {
        SetCapture(FParent->Handle());
        GCaptureControl = this;
    } else {
        if (GCaptureControl == this)
            GCaptureControl = nullptr;
        if (FParent->HandleAllocated() && GetCapture() == FParent->Handle())
            ReleaseCapture();
    }
}

bool TControl::MouseCapture() {
    return FParent && FParent->HandleAllocated() && GetCapture() == FParent->Handle() && GCaptureControl == this;
}

// ---------------------------------------------------------------------------------------------
// The control under the mouse

TControl* MouseControl() {
    return GMouseControl;
}
TControl* GetCaptureControl() {
    if (GCaptureControl) {
        TWinControl* Holder = dynamic_cast<TWinControl*>(GCaptureControl);
        if (!Holder)
            Holder = GCaptureControl->Parent();
        if (!Holder || !Holder->HandleAllocated() || GetCapture() != Holder->Handle())
            GCaptureControl = nullptr;
    }
    if (!GCaptureControl)
        return TWinControl::FindControl(GetCapture());
    return GCaptureControl;
}

void SetCaptureControl(TControl* Control) {
    if (!Control) {
        GCaptureControl = nullptr;
        ReleaseCapture();
        return;
    }
    if (auto* W = dynamic_cast<TWinControl*>(Control)) {
        GCaptureControl = nullptr;
        SetCapture(W->Handle());
    } else if (Control->Parent()) {
        SetCapture(Control->Parent()->Handle());
        GCaptureControl = Control;
    }
}

TWinControl* FindControl(HWND Handle) {
    for (HWND H = Handle; H; H = GetParent(H))
        if (TWinControl* W = TWinControl::FindControl(H))
            return W;
    return nullptr;
}

TControl* FindControlAtScreen(const TPoint& ScreenPos) {
    POINT P{ScreenPos.X, ScreenPos.Y};
    HWND H = WindowFromPoint(P);
    if (!H)
        return nullptr;
    // Start at the top-level window: the point may lie on a disabled child, which the window layer skips.
    TWinControl* W = FindControl(GetAncestor(H, GA_ROOT));
    if (!W)
        W = FindControl(H);
    if (!W)
        return nullptr;
    TControl* Result = W;
    while (W) {
        TControl* C = W->ControlAtPos(W->ScreenToClient(ScreenPos), true, true);
        if (!C)
            break;
        Result = C;
        W = dynamic_cast<TWinControl*>(C);
        if (W && !W->HandleAllocated())
            break;
    }
    return Result;
}

void UpdateMouseControl() {
    POINT P;
    GetCursorPos(&P);
    TControl* C = FindControlAtScreen(TPoint{P.X, P.Y});
    if (C) {
        // The window that has the mouse (the one holding the capture, a disabled one too) says when the
        // mouse leaves it.
        TRACKMOUSEEVENT Query;
        Query.dwFlags = TME_QUERY;
        TrackMouseEvent(&Query);
        // Over a window's frame or caption, a new request would report a leave at once, and its handling
        // would ask again without end: the request waits until the mouse is back in a client area.
        POINT InClient = P;
        RECT Client{0, 0, 0, 0};
        if (Query.hwndTrack) {
            ::ScreenToClient(Query.hwndTrack, &InClient);
            GetClientRect(Query.hwndTrack, &Client);
        }
        bool Armable = GetCapture() == Query.hwndTrack || PtInRect(Client, TPoint{InClient.X, InClient.Y});
        if (Query.hwndTrack && Armable && !(Query.dwFlags & TME_LEAVE) && TWinControl::FindControl(Query.hwndTrack)) {
            TRACKMOUSEEVENT T;
            T.dwFlags = TME_LEAVE;
            T.hwndTrack = Query.hwndTrack;
            TrackMouseEvent(&T);
        }
    }
    if (C == GMouseControl)
        return;
    TControl* Old = GMouseControl;
    GMouseControl = C;
    if (Old)
        Old->Perform(CM_MOUSELEAVE, 0, 0);
    // A leave handler may have moved on already (or freed the new control).
    if (C && GMouseControl == C)
        C->Perform(CM_MOUSEENTER, 0, 0);
    if (Application && GMouseControl == C)
        Application->HintMouseMessage(C);
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    if (TCustomForm* Form = GetParentForm(this); Form && Form != this)
        Form->DefocusControl(this, true);
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
    // Leaves the parent while still windowed, so the parent's tab order forgets it too.
    if (Parent())
        Parent()->RemoveControl(this);
}

TWinControl* TWinControl::FindControl(HWND Handle) {
    if (!Handle)
        return nullptr;
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
    // The children first, each through its own DestroyWnd: a control that keeps its state in its window
    // (a list box's items) saves it there, and has it back when the window is made again.
    for (TControl* C : std::vector<TControl*>(FControls))
        if (auto* W = dynamic_cast<TWinControl*>(C))
            W->DestroyHandle();
    DestroyWnd();
    FControlState -= csDestroyingHandle;
}

void TWinControl::DestroyWnd() {
    if (FHandle)
        DestroyWindow(FHandle);
}

void TWinControl::SetCtl3D(bool Value) {
    FParentCtl3D = false;
    FollowCtl3D(Value);
}

void TWinControl::SetParentCtl3D(bool Value) {
    FParentCtl3D = Value;
    if (Value && Parent())
        FollowCtl3D(Parent()->Ctl3D());
}

// Takes the frame kind and hands it on to the children that follow; the window is made again to show it.
void TWinControl::FollowCtl3D(bool Value) {
    if (Value == FCtl3D)
        return;
    FCtl3D = Value;
    for (TControl* C : FControls)
        if (auto* W = dynamic_cast<TWinControl*>(C); W && W->FParentCtl3D)
            W->FollowCtl3D(Value);
    RecreateWnd();
}

void TWinControl::AddFrameStyle(TCreateParams& Params) const {
    if (FCtl3D)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        Params.Style |= WS_BORDER;
}

void TWinControl::SetFrame(bool Framed) {
    if (!HandleAllocated())
        return;
    TCreateParams Frame;
    if (Framed)
        AddFrameStyle(Frame);
    LONG_PTR Style = GetWindowLongPtrW(FHandle, GWL_STYLE) & ~LONG_PTR(WS_BORDER);
    LONG_PTR Ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_CLIENTEDGE);
    SetWindowLongPtrW(FHandle, GWL_STYLE, Style | Frame.Style);
    SetWindowLongPtrW(FHandle, GWL_EXSTYLE, Ex | Frame.ExStyle);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::RecreateWnd() {
    if (!FHandle)
        return;
    DestroyHandle();
    HandleNeeded();
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
    HWND H =
        CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                        Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr, nullptr, Params.Param);
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
    try {
        if (Proc)
            Proc(Message);
        else
            Message.Result = DefWindowProcW(hWnd, Msg, wParam, lParam);
    } catch (Exception&) {
        // An error in a handler is shown and the message loop goes on.
        if (Application)
            Application->HandleException(FindControl(hWnd));
        else
            throw;
    }
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

// The parent routes mouse messages over a windowless child (or held by one) to that child.
bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TControl* Target = nullptr;
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (GetCapture() == FHandle) {
        // Held by a windowless child, or by this window itself (which keeps its messages).
        if (GCaptureControl && GCaptureControl->Parent() == this)
            Target = GCaptureControl;
    } else {
        TControl* C = ControlAtPos(P, false);
        if (C && !IsWindowed(C))
            Target = C;
    }
    if (!Target)
        return false;
    std::weak_ptr<char> Alive = FAlive;
    Message.Result =
        Target->Perform(Message.Msg, Message.WParam, MAKELPARAM(P.X - Target->Left(), P.Y - Target->Top()));
    // What the child left unanswered the window's default procedure still sees (a right button's
    // release becomes WM_CONTEXTMENU there).
    if (Message.Result == 0 && !Alive.expired() && FHandle)
        DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        // Enter and leave follow the mouse, also while a press holds the capture.
        UpdateMouseControl();
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
        if (IsControlMouseMsg(Message))
            return;
        break;
    case WM_MOUSELEAVE:
        UpdateMouseControl();
        break;
    }
    TControl::WndProc(Message);
}

bool TWinControl::ReflectToChild(TMessage& Message) {
    HWND From = nullptr;
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        From = reinterpret_cast<HWND>(Message.LParam);
        break;
    case WM_DRAWITEM:
        if (Message.LParam && reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU)
            From = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem;
        break;
    case WM_DELETEITEM:
        if (Message.LParam)
            From = reinterpret_cast<const DELETEITEMSTRUCT*>(Message.LParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
    case WM_COMPAREITEM: {
        // These carry only the control's identifier: a child window with that (non-zero) identifier.
        UINT Id = Message.LParam ? reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam)->CtlID : 0;
        if (Message.Msg == WM_COMPAREITEM)
            Id = UINT(Message.WParam);
        if (!Id || !FHandle)
            return false;
        for (HWND C = GetWindow(FHandle, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
            if (GetWindowLongPtrW(C, GWLP_ID) == LONG_PTR(Id)) {
                From = C;
                break;
            }
        break;
    }
    default:
        return false;
    }
    TWinControl* Child = From && From != FHandle ? FindControl(From) : nullptr;
    if (!Child)
        return false;
    Message.Result = Child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        WMReflected(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(Message);
        return;
    case WM_CHAR:
        WMChar(Message);
        return;
    case WM_SYSCHAR:
        WMSysChar(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        return;
    case WM_CAPTURECHANGED:
        WMCaptureChanged(Message);
        return;
    case WM_NOTIFY:
        WMNotify(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        return;
    case WM_SETTEXT:
        WMSetText(Message);
        return;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_INVALIDATE:
        CMInvalidate();
        return;
    case CM_FONTCHANGED:
        NotifyControls(CM_PARENTFONTCHANGED);
        break;
    case CM_COLORCHANGED:
        NotifyControls(CM_PARENTCOLORCHANGED);
        break;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
        Broadcast(Message);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    }
    TControl::Dispatch(Message);
}

// A press on the frame (a caption drag, a sizing border) may start a modal move or size loop: the active
// control hears of it first, so that a drop-down does not stay open while its form moves.
void TWinControl::WMNCLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    SendCancelMode(nullptr);
    if (!Alive.expired())
        TControl::Dispatch(Message);
}

void TWinControl::WMReflected(TMessage& Message) {
    if (ReflectToChild(Message))
        return;
    TControl::Dispatch(Message);
}

void TWinControl::WMCaptureChanged(TMessage& Message) {
    if (GCaptureControl && GCaptureControl->Parent() == this && HWND(Message.LParam) != FHandle)
        GCaptureControl = nullptr;
    TControl::Dispatch(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
    // A child control's notification is handed back to that control as CN_NOTIFY.
    if (auto* Header = reinterpret_cast<NMHDR*>(Message.LParam)) {
        TWinControl* From = FindControl(Header->hwndFrom);
        if (From && From != this) {
            Message.Result = From->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
            return;
        }
    }
    TControl::Dispatch(Message);
}

void TWinControl::WMSize(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    TControl::Dispatch(Message);
    if (!Alive.expired() && Message.WParam != SIZE_MINIMIZED)
        Realign();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    TControl::Dispatch(Message);
    if (!Alive.expired() && FHandle)
        UpdateBoundsFromWindow();
}

void TWinControl::WMSetText(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    TControl::Dispatch(Message);
    if (Alive.expired())
        return;
    auto* Text = reinterpret_cast<const WCHAR*>(Message.LParam);
    String New = Text ? String(Text) : String();
    if (New != FText) {
        FText = New;
        Perform(CM_TEXTCHANGED, 0, 0);
    }
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!Visible())
        if (TCustomForm* Form = GetParentForm(this); Form && Form != this)
            Form->DefocusControl(this, false);
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    TControl::Dispatch(Message);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!Enabled())
        if (TCustomForm* Form = GetParentForm(this); Form && Form != this)
            Form->DefocusControl(this, false);
    if (FHandle)
        EnableWindow(FHandle, Enabled());
    TControl::Dispatch(Message);
}

void TWinControl::CMInvalidate() {
    if (FHandle)
        InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::DefaultHandler(TMessage& Message) {
    // The class library's own messages mean nothing to the window layer.
    if (FHandle && Message.Msg < CM_BASE)
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    // The DC may be anyone's (a parent's background painted under a child): draw in its coordinates.
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC) {
        Message.Result = 0;
        return;
    }
    TRect R = ClientRect();
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(FColor));
    RECT Area = R;
    FillRect(DC, &Area, Brush);
    DeleteObject(Brush);
    Message.Result = 1;
}

void TWinControl::WMPaint(TMessage& Message) {
    if (Message.WParam) {
        // Painting into someone's DC: no BeginPaint, the DC keeps its origin and clip.
        PaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    if (!FHandle)
        return;
    PAINTSTRUCT PS;
    HWND H = FHandle;
    HDC DC = BeginPaint(H, &PS);
    try {
        PaintHandler(DC);
    } catch (...) {
        EndPaint(H, &PS);
        throw;
    }
    EndPaint(H, &PS);
}

void TWinControl::PaintHandler(HDC DC) {
    int Saved = SaveDC(DC);
    // Opaque windowless children cover their part: the control does not paint under them.
    for (TControl* C : FControls)
        if (!IsWindowed(C) && C->Visible() && C->ControlStyle().Contains(csOpaque))
            ExcludeClipRect(DC, C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height());
    PaintWindow(DC);
    RestoreDC(DC, Saved);
    PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    std::size_t Start = 0;
    if (First) {
        auto It = std::find(FControls.begin(), FControls.end(), First);
        Start = It == FControls.end() ? 0 : std::size_t(It - FControls.begin());
    }
    RECT Clip;
    GetClipBox(DC, &Clip);
    std::vector<TControl*> List(FControls.begin() + std::ptrdiff_t(std::min(Start, FControls.size())), FControls.end());
    for (TControl* C : List) {
        if (IsWindowed(C) || !C->Visible() || C->Width() <= 0 || C->Height() <= 0)
            continue;
        RECT B = C->BoundsRect(), Both;
        if (!IntersectRect(&Both, &B, &Clip))
            continue;
        if (FControlState.Contains(csPaintCopy))
            C->FControlState += csPaintCopy;
        int Saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, C->Left(), C->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, C->Width(), C->Height());
        C->Perform(WM_PAINT, WPARAM(DC), 0);
        RestoreDC(DC, Saved);
        C->FControlState -= csPaintCopy;
    }
}

// The active control hears of the press before the focus moves, then the press takes the focus.
void TWinControl::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    SendCancelMode(this);
    if (!Alive.expired() && FTabStop && CanFocus() && !Focused())
        SetFocus();
    if (Alive.expired())
        return;
    DoMouseDown(Message, mbLeft);
    if (Alive.expired())
        return;
    DefaultHandler(Message);
}

namespace {

// A key passes the form first when it previews keys, then the control's own handler; true when it was
// eaten (or the control went meanwhile).
template <class TFormStep, class TOwnStep>
bool KeyThroughForm(TWinControl* Self, TMessage& Message, TFormStep FormStep, TOwnStep OwnStep) {
    std::weak_ptr<char> Alive = Self->AliveToken();
    TCustomForm* Form = GetParentForm(Self);
    if (Form && Form != Self && Form->KeyPreview() && FormStep(Form))
        return true;
    if (Alive.expired())
        return true;
    Word Key = Word(Message.WParam);
    OwnStep(Key);
    if (Alive.expired() || Key == 0)
        return true;
    Message.WParam = Key;
    return false;
}

} // namespace

bool TWinControl::DoKeyDown(TMessage& M) {
    auto Own = [&](Word& Key) { KeyDown(Key, KeyDataToShiftState(M.LParam)); };
    return KeyThroughForm(
        this, M, [&](TCustomForm* F) { return F->DoKeyDown(M); }, Own);
}

bool TWinControl::DoKeyUp(TMessage& M) {
    auto Own = [&](Word& Key) { KeyUp(Key, KeyDataToShiftState(M.LParam)); };
    return KeyThroughForm(
        this, M, [&](TCustomForm* F) { return F->DoKeyUp(M); }, Own);
}

bool TWinControl::DoKeyPress(TMessage& M) {
    auto Own = [&](Word& Key) {
        Char C = Char(Key);
        KeyPress(C);
        Key = Word(C);
    };
    return KeyThroughForm(
        this, M, [&](TCustomForm* F) { return F->DoKeyPress(M); }, Own);
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

bool TWinControl::IsMenuKey(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    for (TControl* C = this; C; C = C->Parent())
        if (C->FPopupMenu && C->FPopupMenu->IsShortCut(Message))
            return true;
    if (Alive.expired())
        return true;
    TCustomForm* Form = GetParentForm(this);
    return Form && Form->IsShortCut(Message);
}

WNDPROC DropTypedChar(HWND Window) {
    auto Link = std::make_shared<WNDPROC>(nullptr);
    *Link = SubclassWindowProc(Window, [Link](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        WNDPROC Prev = *Link;
        switch (Msg) {
        case WM_CHAR:
        case WM_SYSCHAR:
            RemoveWindowProcLink(H, Prev);
            return 0;
        // The character comes before the key's release: a key that typed none leaves nothing behind.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_DESTROY:
            RemoveWindowProcLink(H, Prev);
            break;
        }
        return CallPrevWndProc(Prev, H, Msg, W, L);
    });
    return *Link;
}

// A key's way through the chain: the form's short cuts, then the dialog keys the control leaves to its
// form (Tab, arrows, Enter, Escape), then the form's preview and the control's own OnKeyDown.
void TWinControl::WMKeyDown(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    GSwallowChar = false;
    if (Application)
        Application->CancelHint();
    // Set before the short cut's command runs, which may turn the message loop itself.
    HWND Window = HandleAllocated() ? Handle() : nullptr;
    WNDPROC Drop = Window ? DropTypedChar(Window) : nullptr;
    if (IsMenuKey(Message)) {
        Message.Result = 0;
        return;
    }
    if (Drop)
        RemoveWindowProcLink(Window, Drop);
    if (Alive.expired())
        return;
    if (Perform(CM_CHILDKEY, Message.WParam, LPARAM(this)) != 0) {
        GSwallowChar = true;
        return;
    }
    if (Alive.expired())
        return;
    LRESULT Mask = 0;
    switch (Message.WParam) {
    case VK_TAB:
        Mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        Mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
        Mask = DLGC_WANTALLKEYS;
        break;
    }
    if (Mask && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0 && !Alive.expired()) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) {
            GSwallowChar = true;
            Message.Result = 0;
            return;
        }
    }
    if (Alive.expired())
        return;
    if (DoKeyDown(Message)) {
        GSwallowChar = true;
        return;
    }
    TControl::Dispatch(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    if (DoKeyUp(Message))
        return;
    TControl::Dispatch(Message);
}

namespace {

// The character of a key the form already took is dropped (once).
bool TakeSwallowedChar() {
    bool Swallow = GSwallowChar;
    GSwallowChar = false;
    return Swallow;
}

// The form's accelerators (CM_DIALOGCHAR); true when one took the character.
bool FormTakesDialogChar(TWinControl* Control, TMessage& Message) {
    TCustomForm* Form = GetParentForm(Control);
    return Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0;
}

} // namespace

void TWinControl::WMChar(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    if (TakeSwallowedChar())
        return;
    // Characters the control does not take may be a dialog character (an accelerator of a sibling).
    bool Wanted = Perform(WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    if (Alive.expired() || (!Wanted && FormTakesDialogChar(this, Message)) || Alive.expired())
        return;
    if (DoKeyPress(Message))
        return;
    TControl::Dispatch(Message);
}

void TWinControl::WMSysChar(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    // Alt with a letter: the form's accelerators first, then the window layer's menu key.
    if (TakeSwallowedChar() || FormTakesDialogChar(this, Message) || Alive.expired())
        return;
    TControl::Dispatch(Message);
}

void TWinControl::WMSetFocus(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    TCustomForm* Form = GetParentForm(this);
    if (Form && !Form->SetFocusedControl(this))
        return;
    if (Alive.expired())
        return;
    TControl::Dispatch(Message);
}

// In the client area the application's cursor wins, then the cursor of the control under the mouse.
// Sets the cursor of the control under the mouse; where that is the default, the base class answers.
void TWinControl::WMSetCursor(TMessage& Message) {
    if (LOWORD(Message.LParam) != HTCLIENT || HWND(Message.WParam) != FHandle) {
        TControl::Dispatch(Message);
        return;
    }
    TCursor Cursor = Screen ? Screen->Cursor() : crDefault;
    if (Cursor == crDefault) {
        POINT P;
        GetCursorPos(&P);
        TControl* C = ControlAtPos(ScreenToClient(TPoint{P.X, P.Y}), false);
        if (C && !IsWindowed(C))
            Cursor = C->Cursor();
        if (Cursor == crDefault)
            Cursor = this->Cursor();
    }
    if (Cursor == crDefault) {
        TControl::Dispatch(Message);
        return;
    }
    HCURSOR H = Screen ? Screen->Cursors(Cursor) : StandardCursorHandle(Cursor);
    ::SetCursor(H);
    Message.Result = 1;
}

void TWinControl::WMContextMenu(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    bool FromKeyboard =
        Message.LParam == LPARAM(-1) || (GET_X_LPARAM(Message.LParam) == -1 && GET_Y_LPARAM(Message.LParam) == -1);
    if (!FromKeyboard) {
        TPoint P = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        TControl* C = ControlAtPos(P, false);
        if (C && !IsWindowed(C)) {
            Message.Result = C->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
            if (Message.Result || Alive.expired())
                return;
        }
    }
    TControl::Dispatch(Message);
}

void TWinControl::SetMouseCapture(bool Value) {
    if (Value) {
        GCaptureControl = nullptr;
        SetCapture(Handle());
    } else if (FHandle && GetCapture() == FHandle) {
        ReleaseCapture();
    }
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
    // A minimized window keeps the bounds it will come back to.
    if (IsIconic(FHandle))
        return;
    bool Resized = W != FWidth || H != FHeight;
    FLeft = TopLeft.X;
    FTop = TopLeft.Y;
    FWidth = W;
    FHeight = H;
    UpdateAnchorRules();
    RequestAlign();
    if (Resized)
        Resize();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AutoSize() && !FAutoSizing) {
        int W = AWidth, H = AHeight;
        FAutoSizing = true;
        bool Sized = CanAutoSize(W, H);
        FAutoSizing = false;
        if (Sized) {
            AWidth = W;
            AHeight = H;
        }
    }
    Constraints()->Apply(AWidth, AHeight);
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
    UpdateAnchorRules();
    RequestAlign();
    if (Parent() && Parent()->AutoSize())
        Parent()->AdjustSize();
    if (Resized)
        Resize();
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
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(W);
        if (W->FParentCtl3D)
            W->FollowCtl3D(FCtl3D);
        if (FHandle)
            W->HandleNeeded();
    }
    AControl->Invalidate();
    if (AControl->Visible())
        AlignControl(AControl);
    if (AutoSize())
        AdjustSize();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto It = std::find(FControls.begin(), FControls.end(), AControl);
    if (It == FControls.end())
        return;
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        if (TCustomForm* Form = GetParentForm(this))
            Form->DefocusControl(W, true);
        W->DestroyHandle();
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), W), FTabList.end());
    } else {
        AControl->Invalidate();
    }
    It = std::find(FControls.begin(), FControls.end(), AControl);
    if (It != FControls.end())
        FControls.erase(It);
    AControl->FParent = nullptr;
    if (ComponentState().Contains(csDestroying))
        return;
    if (AControl->Visible())
        AlignControl(AControl);
    if (AutoSize())
        AdjustSize();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* C = Control; C; C = C->Parent())
        if (C == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
    auto Hit = [&](TControl* C) {
        if (!C->Visible() || (!AllowDisabled && !C->Enabled()))
            return false;
        TRect B = C->BoundsRect();
        if (!PtInRect(B, Pos))
            return false;
        return C->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.X - C->Left(), Pos.Y - C->Top())) != 0;
    };
    if (AllowWinControls)
        for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
            if (IsWindowed(*It) && Hit(*It))
                return *It;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
        if (!IsWindowed(*It) && Hit(*It))
            return *It;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    std::weak_ptr<char> Alive = FAlive;
    for (TControl* C : std::vector<TControl*>(FControls)) {
        if (Alive.expired())
            return;
        // A child freed by an earlier one's handler is skipped.
        if (std::find(FControls.begin(), FControls.end(), C) == FControls.end())
            continue;
        C->WindowProc()(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage Message{Msg, 0, 0, 0};
    Broadcast(Message);
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
    DisableAlign();
    for (TControl* C : std::vector<TControl*>(FControls)) {
        C->FAnchorMove = true;
        C->SetBounds(C->Left() + DeltaX, C->Top() + DeltaY, C->Width(), C->Height());
        C->FAnchorMove = false;
    }
    FControlState -= csAlignmentNeeded;
    --FAlignLevel;
    Invalidate();
}

void TWinControl::SetTabStop(bool Value) {
    if (Value == FTabStop)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR Style = GetWindowLongPtrW(FHandle, GWL_STYLE);
        SetWindowLongPtrW(FHandle, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~LONG_PTR(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const {
    if (!Parent())
        return -1;
    const auto& List = Parent()->FTabList;
    auto It = std::find(List.begin(), List.end(), this);
    return It == List.end() ? -1 : int(It - List.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent())
        return;
    auto& List = Parent()->FTabList;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end())
        return;
    List.erase(It);
    // Out-of-range places go last.
    std::size_t Place = Value < 0 ? List.size() : std::min(std::size_t(Value), List.size());
    List.insert(List.begin() + std::ptrdiff_t(Place), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty())
        return nullptr;
    int Count = int(List.size());
    auto It = std::find(List.begin(), List.end(), CurControl);
    int Start = It == List.end() ? (GoForward ? Count - 1 : 0) : int(It - List.begin());
    int I = Start;
    for (int Step = 0; Step < Count; ++Step) {
        I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
        TWinControl* C = List[std::size_t(I)];
        if (C == CurControl)
            break;
        if ((!CheckTabStop || C->TabStop()) && (!CheckParent || C->Parent() == this) && C->CanFocus())
            return C;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (Next)
        Next->SetFocus();
}

void TWinControl::SelectFirst() {
    TCustomForm* Form = GetParentForm(this);
    TWinControl* First = FindNextControl(nullptr, true, true, false);
    if (!First)
        First = FindNextControl(nullptr, true, false, false);
    if (First && Form)
        Form->SetActiveControl(First);
    else if (First)
        First->SetFocus();
}

bool TWinControl::CanFocus() {
    // Visible and enabled up to the form (the form itself may still be hidden: it shows with the focus).
    TCustomForm* Form = GetParentForm(this);
    for (TControl* C = this; C && C != Form; C = C->Parent())
        if (!C->Visible() || !C->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() {
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form != this)
        Form->FocusControl(this);
    else if (Showing() || !Parent())
        ::SetFocus(Handle());
}

bool TWinControl::Showing() {
    for (TControl* C = this; C; C = C->Parent())
        if (!C->Visible())
            return false;
    return FHandle && IsWindowVisible(FHandle);
}

void TWinControl::Invalidate() {
    Perform(CM_INVALIDATE, 0, 0);
}

void TWinControl::Update() {
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (!FControls.empty())
        Realign();
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    // The smallest size that shows every visible child, frame included.
    bool Any = false;
    int Right = 0, Bottom = 0;
    for (TControl* C : FControls) {
        if (!C->Visible() || C->Align() != alNone)
            continue;
        Any = true;
        Right = std::max(Right, C->Left() + C->Width());
        Bottom = std::max(Bottom, C->Top() + C->Height());
    }
    if (!Any)
        return false;
    TRect Client = ClientRect();
    NewWidth = Right + (FWidth - (Client.Right - Client.Left));
    NewHeight = Bottom + (FHeight - (Client.Bottom - Client.Top));
    return true;
}

void TWinControl::AnchorControls() {
    TRect R = ClientRect();
    AdjustClientRect(R);
    for (TControl* C : std::vector<TControl*>(FControls)) {
        if (C->Align() != alNone || (C->FOriginalParentSize.X == 0 && C->FOriginalParentSize.Y == 0))
            continue;
        TAnchors A = C->Anchors();
        int L = C->Left(), T = C->Top(), W = C->Width(), H = C->Height();
        int PW = R.Right, PH = R.Bottom;
        if (C->FOriginalParentSize.X > 0) {
            if (A.Contains(akRight)) {
                if (A.Contains(akLeft))
                    W = PW - (C->FOriginalParentSize.X - C->FAnchorRules.X);
                else
                    L = PW - (C->FOriginalParentSize.X - C->FAnchorRules.X);
            } else if (!A.Contains(akLeft)) {
                L = int(std::int64_t(C->FAnchorRules.X) * PW / C->FOriginalParentSize.X) - W / 2;
            }
        }
        if (C->FOriginalParentSize.Y > 0) {
            if (A.Contains(akBottom)) {
                if (A.Contains(akTop))
                    H = PH - (C->FOriginalParentSize.Y - C->FAnchorRules.Y);
                else
                    T = PH - (C->FOriginalParentSize.Y - C->FAnchorRules.Y);
            } else if (!A.Contains(akTop)) {
                T = int(std::int64_t(C->FAnchorRules.Y) * PH / C->FOriginalParentSize.Y) - H / 2;
            }
        }
        C->FAnchorMove = true;
        C->SetBounds(L, T, std::max(0, W), std::max(0, H));
        C->FAnchorMove = false;
    }
}

void TWinControl::AlignControls(TControl* AControl) {
    if (FAlignLevel > 0 || FAligning || ComponentState().Contains(csLoading)) {
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
            C->FAnchorMove = true;
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
            C->FAnchorMove = false;
        }
    }
    AnchorControls();
}

void TWinControl::AlignControl(TControl* AControl) {
    if (AControl->Align() == alNone)
        return;
    // A child that left, or was hidden, frees its place; AlignControls passes over hidden ones.
    AlignControls(AControl->Parent() == this ? AControl : nullptr);
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    FCanvas->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam) {
            WMPaint(Message);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (Message.WParam) {
            WMEraseBkgnd(Message);
            return;
        }
        break;
    }
    TControl::Dispatch(Message);
}

// The parent's DC, moved to this control and clipped to it.
void TGraphicControl::WMPaint(TMessage& Message) {
    FCanvas->PaintOn(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
}

void TGraphicControl::WMEraseBkgnd(TMessage& Message) {
    if (!FControlStyle.Contains(csOpaque))
        return;
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(FColor));
    RECT R = ClientRect();
    FillRect(reinterpret_cast<HDC>(Message.WParam), &R, Brush);
    DeleteObject(Brush);
    Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
    FCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas->PaintOn(DC, [this] { Paint(); });
}

void TCustomControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomControl::WMPaint(TMessage& Message) {
    FControlState += csCustomPaint;
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired())
        FControlState -= csCustomPaint;
}
