#include "platform/ui/Forms.h"

#include "platform/gdi/WinText.h"
#include "platform/ui/Hints.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WinExtras.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

TScreen* Screen = new TScreen(nullptr);
TApplication* Application = new TApplication(nullptr);

namespace {

constexpr UINT HintShowTimer = 1;
constexpr UINT HintHideTimer = 2;

// Is the key down at the moment of the message?
bool IsKeyPressed(int Key) {
    return GetKeyState(Key) < 0;
}

} // namespace

TCustomForm* GetParentForm(const TControl* Control) {
    if (!Control)
        return nullptr;
    while (Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(Control));
}

// ---------------------------------------------------------------------------------------------
// Windows without a control

namespace {

std::unordered_map<HWND, TWndMethod>& UtilMethods() {
    static std::unordered_map<HWND, TWndMethod> Map;
    return Map;
}

LRESULT UtilWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto It = UtilMethods().find(hWnd);
    if (It == UtilMethods().end())
        return DefWindowProcW(hWnd, Msg, wParam, lParam);
    TWndMethod Method = It->second;
    TMessage Message{Msg, wParam, lParam, 0};
    try {
        Method(Message);
    } catch (Exception&) {
        if (Application)
            Application->HandleException(nullptr);
    }
    if (Msg == WM_NCDESTROY)
        UtilMethods().erase(hWnd);
    return Message.Result;
}

const WCHAR UtilWindowClass[] = u"TPUtilWindow";

} // namespace

HWND AllocateHWnd(TWndMethod Method) {
    WNDCLASSEXW Existing;
    if (!GetClassInfoExW(nullptr, UtilWindowClass, &Existing)) {
        WNDCLASSEXW Class;
        Class.lpfnWndProc = &UtilWndProc;
        Class.lpszClassName = UtilWindowClass;
        RegisterClassExW(&Class);
    }
    HWND H = CreateWindowExW(WS_EX_TOOLWINDOW, UtilWindowClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                             nullptr);
    if (H)
        UtilMethods()[H] = std::move(Method);
    return H;
}

void DeallocateHWnd(HWND Wnd) {
    UtilMethods().erase(Wnd);
    if (IsWindow(Wnd))
        DestroyWindow(Wnd);
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIcon(std::make_unique<TIcon>()), FCanvas(std::make_unique<TControlCanvas>()) {
    FVisible = false;
    FWidth = 320;
    FHeight = 240;
    SetColor(clBtnFace);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FCanvas->SetControl(this);
    // Everything the form's constructor writes is written as while loading; AfterConstruction ends it.
    BeginLoading();
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (FConstructed)
        DoDestroy();
    // An MDI child goes through its client window while it is still a form, so the next child becomes
    // active and the form's handlers see its window go.
    if (FFormState.Contains(fsCreatedMDIChild) && FHandle)
        DestroyHandle();
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    if (FWindowMenu)
        FWindowMenu->RemoveFreeNotification(this);
    if (Screen)
        Screen->RemoveForm(this);
    if (Application)
        Application->ForgetControl(this);
    FCanvas->FreeHandle();
}

void TCustomForm::AfterConstruction() {
    if (FConstructed)
        return;
    FConstructed = true;
    std::weak_ptr<char> Alive = AliveToken();
    EndLoading();
    if (Alive.expired())
        return;
    FFormState -= fsCreating;
    DoCreate();
    if (Alive.expired())
        return;
    // Made visible while loading: show now. An MDI child is always visible.
    if (IsMDIChild())
        FVisible = true;
    if (FVisible)
        VisibleChanging();
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (FActiveControl && !FActiveControl->CanFocus())
        FActiveControl = nullptr;
}

void TCustomForm::DoCreate() {
    if (!OnCreate)
        return;
    try {
        OnCreate(this);
    } catch (Exception&) {
        // The form is made all the same; the error is shown.
        if (Application)
            Application->HandleException(this);
    }
}

void TCustomForm::DoDestroy() {
    if (!OnDestroy)
        return;
    try {
        OnDestroy(this);
    } catch (Exception&) {
        if (Application)
            Application->HandleException(this);
    }
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Activate() {
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Paint() {
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
    FCanvas->PaintOn(DC, [this] { Paint(); });
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    // A form shows through ShowWindow, never by being created visible.
    Params.Style &= ~WS_VISIBLE;
    Params.ExStyle = 0;
    DWORD Frame = 0;
    switch (FBorderStyle) {
    case bsNone:
        break;
    case bsSingle:
    case bsToolWindow:
        Frame = WS_CAPTION;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        Frame = WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Frame = WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
        Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        Frame |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons.Contains(biMinimize))
                Frame |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize))
                Frame |= WS_MAXIMIZEBOX;
        }
        if (FBorderIcons.Contains(biHelp))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (IsMDIChild()) {
        Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | Frame;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = MDIParentClient(false);
    } else if (Parent()) {
        Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | Frame;
    } else {
        Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | Frame;
        if (FBorderStyle == bsNone)
            Params.Style |= WS_POPUP;
        if (FFormStyle == fsStayOnTop)
            Params.ExStyle |= WS_EX_TOPMOST;
        Params.ExStyle |= WS_EX_APPWINDOW;
    }
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    Params.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
    if (IsMDIChild())
        MDIParentClient(true);
    TWinControl::CreateWnd();
    if (IsMDIChild())
        FFormState += fsCreatedMDIChild;
    if (FFormStyle == fsMDIForm)
        CreateMDIClient();
    if (!FPlaced && !Parent())
        PlaceForFirstShow();
}

TRect TCustomForm::ClientRect() {
    if (HandleAllocated())
        return TWinControl::ClientRect();
    // No window yet: the frame its style will give.
    TCreateParams Params;
    CreateParams(Params);
    RECT Frame{0, 0, 0, 0};
    AdjustWindowRectEx(&Frame, Params.Style, FALSE, Params.ExStyle);
    return Rect(0, 0, std::max(0, FWidth - (Frame.Right - Frame.Left)),
                std::max(0, FHeight - (Frame.Bottom - Frame.Top)));
}

namespace {
void ApplyStyles(TWinControl* Control, const TCreateParams& Params) {
    HWND H = Control->Handle();
    DWORD Keep = DWORD(GetWindowLongPtrW(H, GWL_STYLE)) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE | WS_DISABLED);
    SetWindowLongPtrW(H, GWL_STYLE, LONG_PTR((Params.Style & ~(WS_VISIBLE | WS_DISABLED)) | Keep));
    SetWindowLongPtrW(H, GWL_EXSTYLE, LONG_PTR(Params.ExStyle));
    SetWindowPos(H, (Params.ExStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
} // namespace

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated()) {
        TCreateParams Params;
        CreateParams(Params);
        ApplyStyles(this, Params);
    }
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (Value.ToInt() == FBorderIcons.ToInt())
        return;
    FBorderIcons = Value;
    if (HandleAllocated()) {
        TCreateParams Params;
        CreateParams(Params);
        ApplyStyles(this, Params);
    }
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (Value == FFormStyle)
        return;
    bool MDIChanged = Value == fsMDIForm || Value == fsMDIChild || FFormStyle == fsMDIForm || IsMDIChild();
    FFormStyle = Value;
    if (HandleAllocated() && MDIChanged) {
        // A client window, or a place in one, comes only with a new window.
        RecreateWnd();
    } else if (HandleAllocated()) {
        TCreateParams Params;
        CreateParams(Params);
        ApplyStyles(this, Params);
    }
}

void TCustomForm::SetWindowState(TWindowState Value) {
    if (Value == FWindowState)
        return;
    FWindowState = Value;
    if (HandleAllocated() && FVisible && !ComponentState().Contains(csLoading))
        ShowWindow(FHandle, Value == wsMaximized ? SW_SHOWMAXIMIZED : Value == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu)
        return;
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    Perform(CM_MENUCHANGED, 0, 0);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu)
        FMenu = nullptr;
    if (Operation == opRemove && AComponent == FWindowMenu)
        FWindowMenu = nullptr;
}

void TCustomForm::PlaceForFirstShow() {
    FPlaced = true;
    // An MDI child's bounds are already in its client window's coordinates.
    if (Parent() || IsMDIChild())
        return;
    int X = FLeft, Y = FTop;
    auto CenterOn = [&](const TRect& R) {
        X = R.Left + ((R.Right - R.Left) - FWidth) / 2;
        Y = R.Top + ((R.Bottom - R.Top) - FHeight) / 2;
    };
    TCustomForm* Around = nullptr;
    switch (FPosition) {
    case poScreenCenter:
        CenterOn(Rect(0, 0, Screen->Width(), Screen->Height()));
        break;
    case poDesktopCenter:
        CenterOn(Screen->DesktopRect());
        break;
    case poMainFormCenter:
        Around = Application ? Application->MainForm() : nullptr;
        [[fallthrough]];
    case poOwnerFormCenter:
        if (FPosition == poOwnerFormCenter)
            Around = dynamic_cast<TCustomForm*>(Owner());
        if (Around && Around != this)
            CenterOn(Around->BoundsRect());
        else
            CenterOn(Rect(0, 0, Screen->Width(), Screen->Height()));
        break;
    default:
        return;
    }
    SetBounds(X, Y, FWidth, FHeight);
}

void TCustomForm::Show() {
    AfterConstruction();
    SetVisible(true);
    if (HandleAllocated() && IsMDIChild() && FVisible)
        ActivateMDIChild();
    else if (HandleAllocated() && !Parent() && FVisible)
        SetForegroundWindow(FHandle);
}

// Brings the window in line with Visible: OnShow before it appears, OnHide before it goes.
void TCustomForm::VisibleChanging() {
    std::weak_ptr<char> Alive = AliveToken();
    if (FVisible) {
        HandleNeeded();
        if (!FPlaced)
            PlaceForFirstShow();
        if (!FActiveControl) {
            TWinControl* First = FindNextControl(nullptr, true, true, false);
            if (First)
                FActiveControl = First;
        }
        DoShow();
        if (Alive.expired() || !FVisible)
            return;
        int Cmd = SW_SHOWNORMAL;
        if (FWindowState == wsMaximized)
            Cmd = SW_SHOWMAXIMIZED;
        else if (FWindowState == wsMinimized)
            Cmd = SW_SHOWMINIMIZED;
        if (Parent() || (IsMDIChild() && Cmd == SW_SHOWNORMAL))
            Cmd = SW_SHOW;
        ShowWindow(FHandle, Cmd);
        // A child that appears becomes the active one.
        if (IsMDIChild() && !Alive.expired() && FVisible)
            ActivateMDIChild();
    } else {
        if (IsMDIChild() && !ComponentState().Contains(csDestroying)) {
            FVisible = true;
            throw EInvalidOperation(u"Cannot hide an MDI Child Form");
        }
        DoHide();
        if (Alive.expired() || FVisible)
            return;
        if (HandleAllocated())
            ShowWindow(FHandle, SW_HIDE);
    }
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    std::weak_ptr<char> Alive = AliveToken();
    if (!CloseQuery() || Alive.expired())
        return;
    TCloseAction Action = FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
    DoClose(Action);
    if (Alive.expired() || Action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (Action == caHide)
        Hide();
    else if (Action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

bool TCustomForm::CloseQuery() {
    // An MDI form asks its children first; one that refuses keeps the form open.
    if (FFormStyle == fsMDIForm)
        for (TCustomForm* Child : MDIChildList())
            if (!Child->CloseQuery())
                return false;
    bool CanClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::Release() {
    PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

namespace {

struct TDisabledWindows {
    HWND Keep = nullptr;
    std::vector<HWND> List;
};

BOOL DisableTaskWindow(HWND H, LPARAM Data) {
    auto* D = reinterpret_cast<TDisabledWindows*>(Data);
    if (H != D->Keep && IsWindowVisible(H) && IsWindowEnabled(H)) {
        D->List.push_back(H);
        EnableWindow(H, FALSE);
    }
    return TRUE;
}

} // namespace

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !Enabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation(u"Cannot make a visible window modal");
    AfterConstruction();
    std::weak_ptr<char> Alive = AliveToken();
    if (HWND Held = GetCapture()) {
        SendMessageW(Held, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    FFormState += fsModal;
    HWND Previous = GetActiveWindow();
    TDisabledWindows Disabled;
    Disabled.Keep = Handle();
    EnumWindows(&DisableTaskWindow, LPARAM(&Disabled));
    auto Restore = [&] {
        for (HWND H : Disabled.List)
            if (IsWindow(H))
                EnableWindow(H, TRUE);
        if (Previous && IsWindow(Previous))
            SetActiveWindow(Previous);
    };
    TModalResult Result = mrCancel;
    try {
        Show();
        FModalResult = mrNone;
        while (!Alive.expired()) {
            Application->HandleMessage();
            if (Alive.expired())
                break;
            if (Application->Terminated())
                FModalResult = mrCancel;
            else if (FModalResult != mrNone)
                CloseModal();
            if (Alive.expired() || FModalResult != mrNone)
                break;
        }
        if (!Alive.expired()) {
            Result = FModalResult;
            Hide();
        }
    } catch (...) {
        if (!Alive.expired()) {
            FFormState -= fsModal;
            Hide();
        }
        Restore();
        throw;
    }
    // The other windows come back before the form goes: the activation returns to them.
    Restore();
    if (!Alive.expired())
        FFormState -= fsModal;
    return Result;
}

void TCustomForm::CloseModal() {
    std::weak_ptr<char> Alive = AliveToken();
    try {
        TCloseAction Action = caNone;
        if (CloseQuery()) {
            Action = caHide;
            if (!Alive.expired())
                DoClose(Action);
        }
        if (Alive.expired())
            return;
        if (Action == caNone)
            FModalResult = mrNone;
        else if (Action == caFree)
            Release();
    } catch (Exception&) {
        if (!Alive.expired())
            FModalResult = mrNone;
        Application->HandleException(this);
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl)
        return;
    if (Control && !ComponentState().Contains(csLoading) && (!Control->CanFocus() || GetParentForm(Control) != this))
        throw EInvalidControlOperation(u"Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (!ComponentState().Contains(csLoading) && FActive)
        SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
    // An MDI form's keys go to its active child; a child takes the focus only in the active frame.
    if (FFormStyle == fsMDIForm)
        if (TCustomForm* Child = ActiveMDIChild()) {
            Child->SetWindowFocus();
            return;
        }
    if (IsMDIChild() && !(Application && Application->MainForm() && Application->MainForm()->HandleAllocated() &&
                          GetActiveWindow() == Application->MainForm()->Handle()))
        return;
    if (FActiveControl && FActiveControl->CanFocus())
        ::SetFocus(FActiveControl->Handle());
    else if (HandleAllocated())
        ::SetFocus(FHandle);
}

void TCustomForm::SetFocus() {
    if (!FActive) {
        if (!FVisible || !Enabled())
            throw EInvalidControlOperation(u"Cannot focus a disabled or invisible window");
        if (IsMDIChild() && HandleAllocated()) {
            ActivateMDIChild();
            return;
        }
        SetWindowFocus();
    }
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool WasActive = FActive;
    SetActiveControl(Control);
    if (!WasActive || !Control->Focused())
        SetWindowFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (ComponentState().Contains(csDestroying))
        return false;
    if (Control != this)
        FActiveControl = Control;
    if (Screen) {
        Screen->SetActiveForm(this);
        Screen->SetActiveControl(Control);
    }
    if (Control == FFocusedControl)
        return true;
    TWinControl* Old = FFocusedControl;
    FFocusedControl = Control;
    // Leave the controls that lose the focus from the inside out, enter the new ones from the outside in.
    std::vector<std::weak_ptr<char>> Tokens;
    std::vector<TControl*> Exits;
    for (TControl* C = Old; C && C != this && !static_cast<TWinControl*>(C)->ContainsControl(Control); C = C->Parent())
        Exits.push_back(C);
    for (TControl* C : Exits)
        Tokens.push_back(C->AliveToken());
    for (std::size_t I = 0; I < Exits.size(); ++I) {
        if (Tokens[I].expired())
            continue;
        Exits[I]->Perform(CM_EXIT, 0, 0);
        if (FFocusedControl != Control)
            return false;
    }
    std::vector<TControl*> Enters;
    for (TControl* C = Control; C && C != this && !(Old && static_cast<TWinControl*>(C)->ContainsControl(Old));
         C = C->Parent())
        Enters.push_back(C);
    std::reverse(Enters.begin(), Enters.end());
    Tokens.clear();
    for (TControl* C : Enters)
        Tokens.push_back(C->AliveToken());
    for (std::size_t I = 0; I < Enters.size(); ++I) {
        if (Tokens[I].expired())
            continue;
        Enters[I]->Perform(CM_ENTER, 0, 0);
        if (FFocusedControl != Control)
            return false;
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
    return FFocusedControl == Control;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
}

bool TCustomForm::IsShortCut(TMessage& Message) {
    bool Handled = false;
    if (OnShortCut)
        OnShortCut(Message, Handled);
    if (!Handled && FMenu)
        Handled = FMenu->IsShortCut(Message);
    return Handled;
}

void TCustomForm::SetActive(bool Value) {
    if (Value == FActive)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    FActive = Value;
    if (Value) {
        if (Screen)
            Screen->SetActiveForm(this);
        FFormState += fsActivated;
        Activate();
        if (Alive.expired())
            return;
        SetWindowFocus();
    } else {
        Deactivate();
    }
}

void TCustomForm::WMActivate(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired())
        return;
    SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
}

void TCustomForm::WMClose(TMessage& Message) {
    Close();
    Message.Result = 0;
}

void TCustomForm::WMSize(TMessage& Message) {
    if (Message.WParam == SIZE_MINIMIZED)
        FWindowState = wsMinimized;
    else if (Message.WParam == SIZE_MAXIMIZED)
        FWindowState = wsMaximized;
    else if (Message.WParam == SIZE_RESTORED && FHandle && !IsIconic(FHandle))
        FWindowState = wsNormal;
    TWinControl::Dispatch(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (!IsKeyPressed(VK_MENU)) {
        switch (Message.WParam) {
        case VK_TAB:
            if (!IsKeyPressed(VK_CONTROL)) {
                SelectNext(FActiveControl, !IsKeyPressed(VK_SHIFT), true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        }
    }
    TWinControl::Dispatch(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_VISIBLECHANGED:
        // While loading the form only notes it; it shows once made.
        if (FConstructed && !ComponentState().Contains(csLoading))
            VisibleChanging();
        return;
    case CM_RELEASE:
        delete this;
        return;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case WM_ACTIVATE:
        WMActivate(Message);
        return;
    case WM_CLOSE:
        WMClose(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(Message);
        return;
    case WM_MDIACTIVATE:
        WMMDIActivate(Message);
        return;
    case WM_MOUSEACTIVATE:
        WMMouseActivate(Message);
        return;
    case WM_NCACTIVATE:
        WMNCActivate(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomForm::WMSysCommand(TMessage& Message) {
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        return;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// The message box: a plain modal form with the text, an icon and the buttons of its flags.

namespace {

class TMessageText : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Font()->Assign(Font());
        RECT R = ClientRect();
        SetBkMode(C->Handle(), TRANSPARENT);
        DrawTextW(C->Handle(), Caption().c_str(), int(Caption().size()), &R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
};

// A round sign with the icon's letter: stop, question, warning, information.
class TMessageIcon : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    UINT Kind = 0;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        TColor Fill = Kind == MB_ICONHAND          ? TColor(0x0000C0)
                      : Kind == MB_ICONEXCLAMATION ? TColor(0x00C0FF)
                                                   : TColor(0xC06000);
        const Char* Sign = Kind == MB_ICONHAND          ? u"×"
                           : Kind == MB_ICONQUESTION    ? u"?"
                           : Kind == MB_ICONEXCLAMATION ? u"!"
                                                        : u"i";
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(Fill);
        C->Ellipse(0, 0, Width(), Height());
        C->Font()->SetColor(clWhite);
        C->Font()->SetHeight(-20);
        RECT R = ClientRect();
        SetBkMode(C->Handle(), TRANSPARENT);
        DrawTextW(C->Handle(), Sign, -1, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

struct TButtonSpec {
    const Char* Caption;
    TModalResult Result;
};

std::vector<TButtonSpec> ButtonsOf(UINT Type) {
    switch (Type) {
    case MB_OKCANCEL:
        return {{u"OK", mrOk}, {u"Cancel", mrCancel}};
    case MB_ABORTRETRYIGNORE:
        return {{u"&Abort", mrAbort}, {u"&Retry", mrRetry}, {u"&Ignore", mrIgnore}};
    case MB_YESNOCANCEL:
        return {{u"&Yes", mrYes}, {u"&No", mrNo}, {u"Cancel", mrCancel}};
    case MB_YESNO:
        return {{u"&Yes", mrYes}, {u"&No", mrNo}};
    case MB_RETRYCANCEL:
        return {{u"&Retry", mrRetry}, {u"Cancel", mrCancel}};
    default:
        return {{u"OK", mrOk}};
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TScreen

TRect TMonitor::BoundsRect() const {
    MONITORINFO Info;
    if (!GetMonitorInfoW(FHandle, &Info))
        return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return Info.rcMonitor;
}

TRect TMonitor::WorkareaRect() const {
    MONITORINFO Info;
    if (!GetMonitorInfoW(FHandle, &Info))
        return Screen->WorkAreaRect();
    return Info.rcWork;
}

bool TMonitor::Primary() const {
    MONITORINFO Info;
    return GetMonitorInfoW(FHandle, &Info) && (Info.dwFlags & MONITORINFOF_PRIMARY);
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form)
        SetActiveForm(nullptr);
}

void TScreen::ForgetControl(TControl* Control) {
    if (FActiveControl == Control)
        FActiveControl = nullptr;
    if (FActiveForm == Control)
        FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (Form == FActiveForm)
        return;
    FActiveForm = Form;
    if (OnActiveFormChange)
        OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl)
        return;
    FActiveControl = Control;
    if (OnActiveControlChange)
        OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor)
        return;
    FCursor = Value;
    if (Value == crDefault) {
        // The window under the mouse chooses again.
        POINT P;
        GetCursorPos(&P);
        HWND H = WindowFromPoint(P);
        if (H)
            SendMessageW(H, WM_SETCURSOR, WPARAM(H), MAKELPARAM(int(HTCLIENT), int(WM_MOUSEMOVE)));
    } else {
        ::SetCursor(Cursors(Value));
    }
}

HCURSOR TScreen::Cursors(TCursor Index) const {
    for (const auto& [Id, Handle] : FCursors)
        if (Id == Index)
            return Handle;
    HCURSOR H = StandardCursorHandle(Index);
    return H ? H : StandardCursorHandle(crArrow);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
    for (auto& [Id, Existing] : FCursors)
        if (Id == Index) {
            Existing = Handle;
            return;
        }
    FCursors.emplace_back(Index, Handle);
}

int TScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::DesktopRect() const {
    int X = GetSystemMetrics(SM_XVIRTUALSCREEN), Y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return Bounds(X, Y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const {
    RECT R{0, 0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &R, 0))
        return Rect(0, 0, Width(), Height());
    return R;
}

void TScreen::GetMonitors() {
    FMonitors.clear();
    // The monitors are found by looking at points across the virtual screen.
    TRect D = DesktopRect();
    std::vector<HMONITOR> Found;
    if (HMONITOR Primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY))
        Found.push_back(Primary);
    int StepX = std::max(1, (D.Right - D.Left) / 16), StepY = std::max(1, (D.Bottom - D.Top) / 16);
    for (int Y = D.Top; Y < D.Bottom; Y += StepY)
        for (int X = D.Left; X < D.Right; X += StepX)
            if (HMONITOR M = ::MonitorFromPoint(POINT{X, Y}, MONITOR_DEFAULTTONULL);
                M && std::find(Found.begin(), Found.end(), M) == Found.end())
                Found.push_back(M);
    for (HMONITOR M : Found) {
        auto Monitor = std::make_unique<TMonitor>();
        Monitor->FHandle = M;
        Monitor->FMonitorNum = int(FMonitors.size());
        FMonitors.push_back(std::move(Monitor));
    }
}

int TScreen::MonitorCount() {
    GetMonitors();
    return int(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
    if (FMonitors.empty())
        GetMonitors();
    if (Index < 0 || std::size_t(Index) >= FMonitors.size())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    return FMonitors[std::size_t(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() {
    GetMonitors();
    for (auto& M : FMonitors)
        if (M->Primary())
            return M.get();
    return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point) {
    GetMonitors();
    HMONITOR H = ::MonitorFromPoint(POINT{Point.X, Point.Y}, MONITOR_DEFAULTTONEAREST);
    for (auto& M : FMonitors)
        if (M->Handle() == H)
            return M.get();
    return PrimaryMonitor();
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle) {
    GetMonitors();
    HMONITOR H = ::MonitorFromWindow(Handle, MONITOR_DEFAULTTONEAREST);
    for (auto& M : FMonitors)
        if (M->Handle() == H)
            return M.get();
    return PrimaryMonitor();
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {}

TApplication::~TApplication() {
    // The forms it owns go first (the component model frees them), then its window.
    DestroyComponents();
    if (FHandle && IsWindow(FHandle))
        DeallocateHWnd(FHandle);
}

HWND TApplication::Handle() {
    if (!FHandle || !IsWindow(FHandle)) {
        FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
        SetWindowTextW(FHandle, FTitle.c_str());
    }
    return FHandle;
}

void TApplication::SetTitle(const String& Value) {
    FTitle = Value;
    if (FHandle && IsWindow(FHandle))
        SetWindowTextW(FHandle, Value.c_str());
}

void TApplication::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_CLOSE:
        if (FMainForm)
            FMainForm->Close();
        return;
    }
    Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::WMTimer(TMessage& Message) {
    if (Message.WParam == HintShowTimer) {
        ActivateHint();
    } else if (Message.WParam == HintHideTimer) {
        StopHintTimer(HintHideTimer);
        HideHint();
    }
}

void TApplication::FormCreated(TCustomForm* Form) {
    std::weak_ptr<char> Alive = Form->AliveToken();
    Form->AfterConstruction();
    if (!FMainForm && !Alive.expired()) {
        Form->HandleNeeded();
        FMainForm = Form;
    }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        if (auto* C = dynamic_cast<TControl*>(AComponent))
            ForgetControl(C);
}

void TApplication::ForgetControl(TControl* Control) {
    if (FMainForm == Control)
        FMainForm = nullptr;
    if (FHintControl == Control) {
        FHintControl = nullptr;
        HideHint();
        StopHintTimer(HintShowTimer);
    }
    if (FHintWindow == Control)
        FHintWindow = nullptr;
    FMinimizedForms.erase(std::remove(FMinimizedForms.begin(), FMinimizedForms.end(), Control), FMinimizedForms.end());
}

void TApplication::Run() {
    FTerminated = false;
    if (FMainForm && FShowMainForm) {
        FMainForm->Show();
    }
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (Exception&) {
            HandleException(this);
        }
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool Handled = false;
    if (OnMessage)
        OnMessage(Msg, Handled);
    if (!Handled) {
        TranslateMessage(&Msg);
        DispatchMessageW(&Msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG Msg;
    while (ProcessMessage(Msg)) {
    }
}

void TApplication::HandleMessage() {
    MSG Msg;
    if (!ProcessMessage(Msg))
        Idle();
}

void TApplication::Idle() {
    if (OnIdle)
        OnIdle(this);
    if (!FTerminated)
        WaitMessage();
}

void TApplication::Minimize() {
    HWND H = Handle();
    if (IsIconic(H))
        return;
    // The forms go with the application window and come back with it.
    FMinimizedForms.clear();
    for (int I = 0; Screen && I < Screen->FormCount(); ++I) {
        TCustomForm* F = Screen->Forms(I);
        if (!F->Parent() && F->FormStyle() != fsMDIChild && F->HandleAllocated() && IsWindowVisible(F->Handle())) {
            FMinimizedForms.push_back(F);
            ShowWindow(F->Handle(), SW_HIDE);
        }
    }
    ShowWindow(H, SW_MINIMIZE);
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore() {
    HWND H = Handle();
    if (!IsIconic(H))
        return;
    ShowWindow(H, SW_RESTORE);
    ShowWindow(H, SW_HIDE);
    std::vector<TCustomForm*> Forms;
    Forms.swap(FMinimizedForms);
    for (TCustomForm* F : Forms)
        if (F->HandleAllocated() && F->Visible())
            ShowWindow(F->Handle(), SW_SHOWNA);
    if (FMainForm && FMainForm->HandleAllocated() && FMainForm->Visible())
        SetForegroundWindow(FMainForm->Handle());
    if (OnRestore)
        OnRestore(this);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
    auto Specs = ButtonsOf(Flags & MB_TYPEMASK);
    auto Form = std::unique_ptr<TForm>(new TForm(nullptr));
    Form->SetBorderStyle(bsDialog);
    Form->SetBorderIcons(TBorderIcons{biSystemMenu});
    Form->SetCaption(Caption.empty() ? FTitle : Caption);
    Form->SetPosition(poScreenCenter);
    if ((Flags & MB_TOPMOST) || (Flags & MB_SYSTEMMODAL))
        Form->SetFormStyle(fsStayOnTop);

    constexpr int Margin = 12, ButtonWidth = 75, ButtonHeight = 25, Gap = 8, IconSize = 32;
    UINT IconKind = Flags & MB_ICONMASK;
    int TextLeft = Margin + (IconKind ? IconSize + Margin : 0);
    // The text's size, broken at 400 pixels.
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ OldFont = SelectObject(DC, Form->Font()->Handle());
    RECT TextRect{0, 0, 400, 0};
    DrawTextW(DC, Text.c_str(), int(Text.size()), &TextRect, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, OldFont);
    DeleteDC(DC);
    int TextHeight = std::max(int(TextRect.Bottom), IconKind ? IconSize : 0);
    int ButtonsWidth = int(Specs.size()) * ButtonWidth + (int(Specs.size()) - 1) * Gap;
    int ClientW = std::max(TextLeft + int(TextRect.Right) + Margin, ButtonsWidth + 2 * Margin);
    int ClientH = Margin + TextHeight + Margin + ButtonHeight + Margin;
    Form->SetClientSize(ClientW, ClientH);

    if (IconKind) {
        auto* Icon = new TMessageIcon(Form.get());
        Icon->Kind = IconKind;
        Icon->SetBounds(Margin, Margin, IconSize, IconSize);
        Icon->SetParent(Form.get());
    }
    auto* Label = new TMessageText(Form.get());
    Label->SetName(u"Message");
    Label->SetCaption(Text);
    Label->SetBounds(TextLeft, Margin, int(TextRect.Right), TextHeight);
    Label->SetParent(Form.get());

    std::size_t DefaultIndex = std::min<std::size_t>((Flags & MB_DEFMASK) >> 8, Specs.size() - 1);
    bool HasCancel = false;
    for (const auto& S : Specs)
        HasCancel = HasCancel || S.Result == mrCancel;
    int X = (ClientW - ButtonsWidth) / 2;
    TButton* DefaultButton = nullptr;
    for (std::size_t I = 0; I < Specs.size(); ++I) {
        auto* B = new TButton(Form.get());
        B->SetCaption(Specs[I].Caption);
        B->SetModalResult(Specs[I].Result);
        B->OnClick = [Dialog = Form.get(), Result = Specs[I].Result](TObject*) { Dialog->SetModalResult(Result); };
        // Escape answers Cancel, or OK when OK is all there is.
        B->SetCancel(Specs[I].Result == mrCancel || (!HasCancel && Specs.size() == 1));
        B->SetDefault(I == DefaultIndex);
        B->SetBounds(X, Margin + TextHeight + Margin, ButtonWidth, ButtonHeight);
        B->SetParent(Form.get());
        if (B->Default())
            DefaultButton = B;
        X += ButtonWidth + Gap;
    }
    Form->AfterConstruction();
    if (DefaultButton)
        Form->SetActiveControl(DefaultButton);
    TModalResult Result = Form->ShowModal();
    if (Result == mrCancel && !HasCancel)
        return Specs.size() == 1 ? IDOK : IDCANCEL;
    return Result;
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr Current = std::current_exception();
    if (!Current)
        return;
    try {
        std::rethrow_exception(Current);
    } catch (EAbort&) {
        // A silent exception ends the operation and nothing is shown.
    } catch (Exception& E) {
        if (OnException)
            OnException(Sender, E);
        else
            ShowException(E);
    } catch (...) {
        throw;
    }
}

void TApplication::ShowException(Exception& E) {
    String Msg = E.Message();
    if (!Msg.empty() && Msg.back() != u'.')
        Msg += u'.';
    MessageBox(Msg, FTitle, MB_OK | MB_ICONSTOP);
}

// ---- The hint manager ----

void TApplication::SetShowHint(bool Value) {
    if (Value == FShowHint)
        return;
    FShowHint = Value;
    if (!Value)
        CancelHint();
}

void TApplication::StartHintTimer(UINT Id, int Ms) {
    SetTimer(Handle(), Id, UINT(std::max(Ms, 1)), nullptr);
}

void TApplication::StopHintTimer(UINT Id) {
    if (FHandle && IsWindow(FHandle))
        KillTimer(FHandle, Id);
}

void TApplication::HideHint() {
    if (FHintWindow && FHintWindow->HandleAllocated())
        FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
    StopHintTimer(HintShowTimer);
    StopHintTimer(HintHideTimer);
    HideHint();
    FHintActive = false;
}

void TApplication::HintMouseMessage(TControl* Control) {
    // The control whose hint counts: the first one up the parents that shows hints.
    TControl* HintControl = Control;
    while (HintControl && !HintControl->ShowHint())
        HintControl = HintControl->Parent();
    if (!FShowHint || !HintControl || GetShortHint(HintControl->Hint()).empty()) {
        CancelHint();
        FHintControl = nullptr;
        return;
    }
    if (HintControl == FHintControl)
        return;
    // Right after a hint was up, the next one comes sooner.
    bool WasActive = FHintActive;
    StopHintTimer(HintHideTimer);
    HideHint();
    FHintControl = HintControl;
    StartHintTimer(HintShowTimer, WasActive ? FHintShortPause : FHintPause);
}

void TApplication::ActivateHint() {
    StopHintTimer(HintShowTimer);
    if (!FHintControl)
        return;
    POINT Cursor;
    GetCursorPos(&Cursor);
    THintInfo Info;
    Info.HintControl = FHintControl;
    Info.HintPos = TPoint{Cursor.X, Cursor.Y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3};
    Info.HintMaxWidth = Screen->Width();
    Info.HintColor = FHintColor;
    Info.CursorRect = FHintControl->ClientRect();
    Info.CursorPos = FHintControl->ScreenToClient(TPoint{Cursor.X, Cursor.Y});
    Info.HideTimeout = FHintHidePause;
    Info.HintStr = GetShortHint(FHintControl->Hint());
    std::weak_ptr<char> Alive = FHintControl->AliveToken();
    bool CanShow = FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&Info)) == 0;
    if (CanShow && OnShowHint)
        OnShowHint(Info.HintStr, CanShow, Info);
    if (Alive.expired() || !FHintControl || !CanShow || Info.HintStr.empty()) {
        FHintActive = false;
        return;
    }
    if (!FHintWindow) {
        FHintWindow = HintWindowClass(this);
        if (FHintWindow && FHintWindow->Owner() != this)
            FHintWindow->FreeNotification(this);
    }
    if (!FHintWindow)
        return;
    FHintWindow->SetColor(Info.HintColor);
    TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
    OffsetRect(R, Info.HintPos.X, Info.HintPos.Y);
    FHintWindow->ActivateHintData(R, Info.HintStr, Info.HintData);
    FHintActive = true;
    if (Info.HideTimeout > 0)
        StartHintTimer(HintHideTimer, Info.HideTimeout);
}
