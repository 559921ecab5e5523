// The tray icon: its record and the notification area's requests, the icon's window and the click decision,
// the popup menu, the animation, and the hooks in the application's and the owner form's procedure chains.
#include "skin/forms/bsTrayIcon.h"

#include <algorithm>

#include "platform/win/WinExtras.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

constexpr UINT QueryEndSession = 0x0011;
constexpr UINT UserChanged = 0x0054;

UINT GTaskbarCreated = 0;

template <std::size_t N> void CopyText(WCHAR (&Dest)[N], const String& Text, std::size_t Limit) {
    const std::size_t L = std::min({Text.size(), Limit, N - 1});
    std::copy(Text.begin(), Text.begin() + std::ptrdiff_t(L), Dest);
    std::fill(Dest + L, Dest + N, WCHAR(0));
}

TShiftState KeyboardShift() {
    TShiftState S;
    if (GetAsyncKeyState(VK_SHIFT) < 0)
        S += ssShift;
    if (GetAsyncKeyState(VK_CONTROL) < 0)
        S += ssCtrl;
    if (GetAsyncKeyState(VK_MENU) < 0)
        S += ssAlt;
    return S;
}

} // namespace

// The hooks reach the component through these links; the component cuts them when it goes, so a hook
// installed after its own (holding its procedure as the previous one) passes straight through.
struct TbsTrayIcon::TAppLink {
    TbsTrayIcon* Owner = nullptr;
};

struct TbsTrayIcon::TFormLink {
    TbsTrayIcon* Owner = nullptr;
    TWndMethod Old;
};

namespace {

struct TTrayFormHook {
    std::shared_ptr<TbsTrayIcon::TFormLink> Link;
    void operator()(TMessage& M) const;
};

} // namespace

UINT TbsTrayIcon::TaskbarCreatedMessage() {
    if (!GTaskbarCreated)
        GTaskbarCreated = RegisterWindowMessageW(u"TaskbarCreated");
    return GTaskbarCreated;
}

// ---------------------------------------------------------------------------------------------
// Life

TbsTrayIcon::TbsTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
    TaskbarCreatedMessage();
    FIcon = std::make_unique<TIcon>();
    FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
    FIconData.cbSize = 956;
    FIconData.hWnd = FHandle;
    FIconData.uID = 1;
    FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    FIconData.uCallbackMessage = WM_TRAYICONNOTIFY;
    AnimateTimer = std::make_unique<TTimer>(nullptr);
    AnimateTimer->SetEnabled(false);
    AnimateTimer->SetInterval(FAnimateTimerInterval);
    AnimateTimer->OnTimer = [this](TObject*) { AnimateTimerTick(); };
    ClickTimer = std::make_unique<TTimer>(nullptr);
    ClickTimer->SetEnabled(false);
    ClickTimer->SetInterval(GetDoubleClickTime());
    ClickTimer->OnTimer = [this](TObject*) { ClickTimerTick(); };
    if (Designing())
        return;
    if (FIcon->Empty() && UseApplicationIcon() && Application && Application->Icon() && !Application->Icon()->Empty())
        FIcon->Assign(Application->Icon());
    HookApplication();
    HookOwner();
}

TbsTrayIcon::~TbsTrayIcon() {
    SetIconVisible(false);
    SetDesignPreview(false);
    AnimateTimer.reset();
    ClickTimer.reset();
    if (FHandle)
        DeallocateHWnd(FHandle);
    FHandle = nullptr;
    // Out of both chains by identity: a procedure hooked after this one keeps working.
    if (FAppHook) {
        FAppHook->Owner = nullptr;
        if (FAppLink && FAppWnd && IsWindow(FAppWnd))
            RemoveWindowProcLink(FAppWnd, FAppLink);
    }
    if (FFormHook) {
        TWinControl* Form = OwnerControl();
        if (Form && !Form->ComponentState().Contains(csDestroying)) {
            const auto* Hook = Form->WindowProc().target<TTrayFormHook>();
            if (Hook && Hook->Link == FFormHook)
                Form->SetWindowProc(FFormHook->Old);
        }
        FFormHook->Owner = nullptr;
    }
    FIcon.reset();
}

void TbsTrayIcon::Loaded() {
    TComponent::Loaded();
    if (OwnerControl() && FMinimizedOnStart && !Designing()) {
        FIconVisible = true;
        FMinimizeToTray = true;
        if (Application) {
            Application->SetShowMainForm(false);
            ShowWindow(Application->Handle(), SW_HIDE);
        }
    }
    ModifyIcon();
    if (FIconVisible)
        AddIcon();
    else
        DeleteIcon();
}

void TbsTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FIconList) {
        FIconList = nullptr;
        AnimateTimer->SetEnabled(false);
    }
    if (AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

// ---------------------------------------------------------------------------------------------
// The notification area

bool TbsTrayIcon::PrepareData() {
    if (Designing() && !SettingPreview && !FDesignPreview)
        return false;
    FIconData.hIcon = FIcon ? FIcon->Handle() : nullptr;
    CopyText(FIconData.szTip, FShowHint ? FHint : String(), 127);
    return true;
}

bool TbsTrayIcon::CallShell(DWORD Message) {
    if (!PrepareData())
        return false;
    return Shell_NotifyIconW(Message, &FIconData) != FALSE;
}

bool TbsTrayIcon::AddIcon() {
    if (!SettingPreview)
        FIconVisible = true;
    if (Designing() && !SettingPreview)
        return false;
    return CallShell(NIM_ADD);
}

bool TbsTrayIcon::DeleteIcon() {
    if (!SettingPreview)
        FIconVisible = false;
    if (Designing() && !SettingPreview)
        return false;
    return CallShell(NIM_DELETE);
}

bool TbsTrayIcon::ModifyIcon() {
    return CallShell(NIM_MODIFY);
}

bool TbsTrayIcon::ShowBalloonHint(const String& Title, const String& Text, TbsBalloonHintIcon IconType) {
    HideBalloonHint();
    FIconData.uFlags |= NIF_INFO;
    CopyText(FIconData.szInfo, Text, 255);
    CopyText(FIconData.szInfoTitle, Title, 63);
    const DWORD Flags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
    FIconData.dwInfoFlags = Flags[IconType];
    const bool Result = ModifyIcon();
    FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    return Result;
}

bool TbsTrayIcon::HideBalloonHint() {
    FIconData.uFlags |= NIF_INFO;
    CopyText(FIconData.szInfo, String(), 0);
    return ModifyIcon();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsTrayIcon::SetIcon(TIcon* Value) {
    FIcon->Assign(Value);
    ModifyIcon();
}

void TbsTrayIcon::SetIconVisible(bool Value) {
    if (Value)
        AddIcon();
    else
        DeleteIcon();
}

void TbsTrayIcon::SetHint(const String& Value) {
    FHint = Value;
    ModifyIcon();
}

void TbsTrayIcon::SetShowHint(bool Value) {
    FShowHint = Value;
    ModifyIcon();
}

void TbsTrayIcon::SetPopupMenu(TbsSkinPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsTrayIcon::SetDesignPreview(bool Value) {
    FDesignPreview = Value;
    SettingPreview = true;
    SetIconVisible(Value);
    SettingPreview = false;
}

void TbsTrayIcon::SetIconList(TImageList* Value) {
    FIconList = Value;
    if (Value)
        Value->FreeNotification(this);
    SetIconIndex(0);
}

void TbsTrayIcon::CopyListImage(int Index) {
    if (!FIconList || Index < 0 || Index >= FIconList->Count())
        return;
    const std::vector<std::uint32_t>& Pixels = FIconList->ImagePixels(Index);
    FIcon->SetHandle(CreateIconFromPixels(FIconList->Width(), FIconList->Height(), Pixels.data()));
}

void TbsTrayIcon::SetIconIndex(int Value) {
    if (!FIconList) {
        FIconIndex = 0;
        ModifyIcon();
        return;
    }
    FIconIndex = Value;
    if (FIconIndex >= FIconList->Count())
        FIconIndex = FIconList->Count() - 1;
    CopyListImage(FIconIndex);
    ModifyIcon();
}

void TbsTrayIcon::SetCycleIcons(bool Value) {
    FCycleIcons = Value;
    if (Value)
        SetIconIndex(0);
    AnimateTimer->SetEnabled(Value);
}

void TbsTrayIcon::SetAnimateTimerInterval(Cardinal Value) {
    FAnimateTimerInterval = Value;
    AnimateTimer->SetInterval(Value);
}

bool TbsTrayIcon::BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor) {
    TImageList List(nullptr, 16, 16);
    List.AddMasked(Bitmap, MaskColor);
    if (List.Count() > 0)
        Icon->SetHandle(CreateIconFromPixels(16, 16, List.ImagePixels(0).data()));
    return true;
}

// ---------------------------------------------------------------------------------------------
// The main form

void TbsTrayIcon::ShowMainForm() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (!OwnerControl() || !Main)
        return;
    // The application window itself stays hidden here: it only comes back from its minimized state.
    HWND App = Application->Handle();
    if (IsIconic(App)) {
        ShowWindow(App, SW_RESTORE);
        ShowWindow(App, SW_HIDE);
    }
    Main->SetVisible(true);
    if (Main->WindowState() == wsMinimized)
        Main->SetWindowState(wsNormal);
    Main->SetTag(-10000);
    PostMessageW(Main->Handle(), 1426, 0, 0);
}

void TbsTrayIcon::HideMainForm() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (!OwnerControl() || !Main)
        return;
    Main->SetVisible(false);
    ShowWindow(Application->Handle(), SW_HIDE);
    Main->SetTag(-10000);
}

void TbsTrayIcon::DoMinimizeToTray() {
    HideMainForm();
    SetIconVisible(true);
}

// ---------------------------------------------------------------------------------------------
// Events

void TbsTrayIcon::Click() {
    if (OnClick)
        OnClick(this);
}

void TbsTrayIcon::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TbsTrayIcon::CycleIcon(int NextIndex) {
    if (OnCycle)
        OnCycle(this, NextIndex);
}

void TbsTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TbsTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TbsTrayIcon::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------
// The icon's window

void TbsTrayIcon::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TRAYICONNOTIFY) {
        TrayMessage(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_CLOSE:
    case QueryEndSession:
    case WM_QUIT:
    case UserChanged:
    case WM_NCDESTROY:
        Message.Result = 1;
        return;
    }
    Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TbsTrayIcon::TrayMessage(TMessage& Message) {
    if (!FEnabled)
        return;
    const TShiftState Shift = KeyboardShift();
    POINT P{0, 0};
    GetCursorPos(&P);
    switch (UINT(Message.LParam)) {
    case WM_MOUSEMOVE:
        MouseMove(Shift, P.X, P.Y);
        break;
    case WM_LBUTTONDOWN:
        ClickTimer->SetEnabled(true);
        MouseDown(mbLeft, Shift + ssLeft, P.X, P.Y);
        FClickStart = true;
        if (FPopupByLeftButton)
            PopupAtCursor();
        break;
    case WM_LBUTTONUP:
        if (FClickStart) {
            FClickReady = true;
            // Held past the double-click time: the click fires at once.
            if (!ClickTimer->Enabled()) {
                FClickStart = false;
                FClickReady = false;
                Click();
            }
        }
        FClickStart = false;
        MouseUp(mbLeft, Shift + ssLeft, P.X, P.Y);
        break;
    case WM_LBUTTONDBLCLK:
        FClickReady = false;
        IsDblClick = true;
        DblClick();
        if (FPopupMenu && FPopupMenu->AutoPopup() && !FPopupByLeftButton) {
            TMenuItem* Root = FPopupMenu->Items();
            for (int I = 0; I < Root->Count(); ++I)
                if (Root->Items(I)->Default()) {
                    Root->Items(I)->Click();
                    break;
                }
        }
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, Shift + ssRight, P.X, P.Y);
        PopupAtCursor();
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, Shift + ssRight, P.X, P.Y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, Shift + ssMiddle, P.X, P.Y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, Shift + ssMiddle, P.X, P.Y);
        break;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonHintClick)
            OnBalloonHintClick(this);
        break;
    }
}

void TbsTrayIcon::ClickTimerTick() {
    ClickTimer->SetEnabled(false);
    if (!IsDblClick && FClickReady) {
        FClickReady = false;
        Click();
    }
    IsDblClick = false;
}

void TbsTrayIcon::PopupAtCursor() {
    POINT P;
    if (!FPopupMenu || !FPopupMenu->AutoPopup() || !GetCursorPos(&P))
        return;
    Application->ProcessMessages();
    SetForegroundWindow(FHandle);
    TWinControl* Form = OwnerControl();
    if (Form && Form->HandleAllocated())
        SetForegroundWindow(Form->Handle());
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(P.X, P.Y);
    if (Form && Form->HandleAllocated())
        PostMessageW(Form->Handle(), WM_NULL, 0, 0);
}

void TbsTrayIcon::AnimateTimerTick() {
    if (!FIconList)
        return;
    CopyListImage(FIconIndex);
    const bool Last = FIconIndex >= FIconList->Count() - 1;
    CycleIcon(Last ? 0 : FIconIndex + 1);
    ModifyIcon();
    FIconIndex = Last ? 0 : FIconIndex + 1;
}

// ---------------------------------------------------------------------------------------------
// The application's and the owner form's procedures

void TbsTrayIcon::HookApplication() {
    if (!Application)
        return;
    FAppWnd = Application->Handle();
    FAppHook = std::make_shared<TAppLink>();
    FAppHook->Owner = this;
    auto Link = std::make_shared<WNDPROC>(nullptr);
    std::shared_ptr<TAppLink> Hook = FAppHook;
    *Link = SubclassWindowProc(FAppWnd, [Hook, Link](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        if (TbsTrayIcon* T = Hook->Owner) {
            TMessage M{Msg, W, L, 0};
            T->AppProc(M);
        }
        return CallPrevWndProc(*Link, H, Msg, W, L);
    });
    FAppLink = *Link;
}

void TbsTrayIcon::AppProc(TMessage& Message) {
    if (Message.Msg == WM_SIZE && Message.WParam == SIZE_MINIMIZED && FMinimizeToTray) {
        DoMinimizeToTray();
    } else if (Message.Msg == WM_WINDOWPOSCHANGED && SettingMDIForm && Application->MainForm()) {
        if (Application->MainForm()->FormStyle() == fsMDIForm && FMinimizedOnStart)
            ShowWindow(FAppWnd, SW_HIDE);
        SettingMDIForm = false;
    } else if (Message.Msg == TaskbarCreatedMessage() && FIconVisible) {
        AddIcon();
    }
}

namespace {

void TTrayFormHook::operator()(TMessage& M) const {
    if (TbsTrayIcon* T = Link->Owner)
        T->OwnerProcFromHook(M);
    else if (Link->Old)
        Link->Old(M);
}

} // namespace

void TbsTrayIcon::HookOwner() {
    TWinControl* Form = OwnerControl();
    if (!Form)
        return;
    FFormHook = std::make_shared<TFormLink>();
    FFormHook->Owner = this;
    FFormHook->Old = Form->WindowProc();
    Form->SetWindowProc(TTrayFormHook{FFormHook});
}

void TbsTrayIcon::OwnerProc(TMessage& Message) {
    TWinControl* Form = OwnerControl();
    // The focus goes back to the form's own active control only.
    if (Message.Msg == WM_ACTIVATE && Screen && Screen->ActiveControl() &&
        GetParentForm(Screen->ActiveControl()) == Form) {
        const UINT State = UINT(Message.WParam & 0xFFFF);
        TWinControl* Active = Screen->ActiveControl();
        TWinControl* Expected = Active->Parent() ? Active->Parent() : Active;
        if ((State == WA_ACTIVE || State == WA_CLICKACTIVE) && Active->HandleAllocated() &&
            (!Expected->HandleAllocated() || HWND(Message.LParam) != Expected->Handle()))
            ::SetFocus(Active->Handle());
    } else if (Message.Msg == WM_SHOWWINDOW && Message.WParam == 1 && Message.LParam == 0 && Application) {
        HWND App = Application->Handle();
        if (IsIconic(App)) {
            ShowWindow(App, SW_RESTORE);
            ShowWindow(App, SW_HIDE);
        }
        if (Form && Form->HandleAllocated())
            SetForegroundWindow(Form->Handle());
    }
    std::shared_ptr<TFormLink> Link = FFormHook;
    if (Link->Old)
        Link->Old(Message);
}
