// The MDI side of the class library's forms: the client window of an MDI form, which keeps its
// children, knows the active one and activates another when it goes; and the form's part in it.
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

#include <algorithm>

namespace {

const WCHAR MDIClientClass[] = u"MDICLIENT";
const WCHAR ActiveChildProp[] = u"MDIActiveChild";

HWND ActiveChildOf(HWND Client) {
    HWND Child = static_cast<HWND>(GetPropW(Client, ActiveChildProp));
    return Child && IsWindow(Child) ? Child : nullptr;
}

bool IsChildOf(HWND Client, HWND Child) {
    return Child && IsWindow(Child) && GetParent(Child) == Client;
}

// Only in the active frame does a child show an active caption and take the keys.
bool FrameActive(HWND Client) {
    return GetActiveWindow() == GetAncestor(Client, GA_ROOT);
}

// The child that follows when Leaving goes: the next visible one in z-order.
HWND NextChild(HWND Client, HWND Leaving) {
    for (HWND C = GetWindow(Client, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
        if (C != Leaving && IsWindowVisible(C))
            return C;
    return nullptr;
}

// The old child loses its active caption and hears WM_MDIACTIVATE; the new one comes to the top of the
// z-order, takes the caption state of the frame, hears WM_MDIACTIVATE and, in the active frame, the keys.
void ActivateChild(HWND Client, HWND Child) {
    HWND Old = ActiveChildOf(Client);
    if (Old == Child)
        return;
    SetPropW(Client, ActiveChildProp, Child);
    if (Old) {
        SendMessageW(Old, WM_NCACTIVATE, FALSE, 0);
        if (IsWindow(Old))
            SendMessageW(Old, WM_MDIACTIVATE, WPARAM(Old), LPARAM(Child));
    }
    // A handler may have chosen another child meanwhile.
    if (!Child || !IsWindow(Client) || ActiveChildOf(Client) != Child)
        return;
    SetWindowPos(Child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (IsWindow(Child))
        SendMessageW(Child, WM_NCACTIVATE, FrameActive(Client), 0);
    if (IsWindow(Child))
        SendMessageW(Child, WM_MDIACTIVATE, WPARAM(Old), LPARAM(Child));
    HWND Focus = GetFocus();
    if (IsWindow(Child) && FrameActive(Client) && Focus != Child && !IsChild(Child, Focus))
        SetFocus(Child);
}

// A maximized child fills the client area, its sizing border outside it.
void FitMaximizedChildren(HWND Client) {
    RECT Area;
    GetClientRect(Client, &Area);
    for (HWND C = GetWindow(Client, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT)) {
        if (!IsZoomed(C))
            continue;
        RECT Frame{0, 0, 0, 0};
        AdjustWindowRectEx(&Frame, DWORD(GetWindowLongPtrW(C, GWL_STYLE)) & WS_THICKFRAME, FALSE, 0);
        SetWindowPos(C, nullptr, Frame.Left, Frame.Top, Area.Right - Frame.Left + Frame.Right,
                     Area.Bottom - Frame.Top + Frame.Bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT MDIActivate(HWND Client, WPARAM WParam) {
    HWND Child = reinterpret_cast<HWND>(WParam);
    if (IsChildOf(Client, Child))
        ActivateChild(Client, Child);
    return 0;
}

// The active child; LParam, when given, learns whether it is maximized.
LRESULT MDIGetActive(HWND Client, LPARAM LParam) {
    HWND Child = ActiveChildOf(Client);
    if (auto* Maximized = reinterpret_cast<BOOL*>(LParam))
        *Maximized = Child && IsZoomed(Child);
    return LRESULT(Child);
}

LRESULT MDIDestroy(HWND Client, WPARAM WParam) {
    HWND Child = reinterpret_cast<HWND>(WParam);
    if (!IsChildOf(Client, Child))
        return 0;
    if (ActiveChildOf(Client) == Child)
        ActivateChild(Client, NextChild(Client, Child));
    DestroyWindow(Child);
    return 0;
}

// A child destroyed without WM_MDIDESTROY hands the activation on all the same.
LRESULT ChildNotify(HWND Client, WPARAM WParam, LPARAM LParam) {
    HWND Child = reinterpret_cast<HWND>(LParam);
    if (LOWORD(WParam) == WM_DESTROY && Child && Child == ActiveChildOf(Client))
        ActivateChild(Client, NextChild(Client, Child));
    return 0;
}

LRESULT ClientSize(HWND Client, WPARAM WParam, LPARAM LParam) {
    FitMaximizedChildren(Client);
    return DefWindowProcW(Client, WM_SIZE, WParam, LParam);
}

LRESULT ClientNcDestroy(HWND Client, LPARAM LParam) {
    RemovePropW(Client, ActiveChildProp);
    return DefWindowProcW(Client, WM_NCDESTROY, 0, LParam);
}

LRESULT MDIClientProc(HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_MDIACTIVATE:
        return MDIActivate(Client, WParam);
    case WM_MDIGETACTIVE:
        return MDIGetActive(Client, LParam);
    case WM_MDIDESTROY:
        return MDIDestroy(Client, WParam);
    case WM_PARENTNOTIFY:
        return ChildNotify(Client, WParam, LParam);
    case WM_SIZE:
        return ClientSize(Client, WParam, LParam);
    case WM_NCDESTROY:
        return ClientNcDestroy(Client, LParam);
    }
    return DefWindowProcW(Client, Msg, WParam, LParam);
}

void RegisterMDIClientClass() {
    WNDCLASSEXW Existing;
    if (GetClassInfoExW(nullptr, MDIClientClass, &Existing))
        return;
    WNDCLASSEXW Class;
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = &MDIClientProc;
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    Class.lpszClassName = MDIClientClass;
    if (!RegisterClassExW(&Class))
        throw EInvalidOperation(u"Cannot register the window class MDICLIENT");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The form's part

HWND TCustomForm::ClientHandle() const {
    return FClientHandle && IsWindow(FClientHandle) ? FClientHandle : nullptr;
}

HWND TCustomForm::MDIParentClient(bool Required) const {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    HWND Client = nullptr;
    if (Main && Main != this && Main->FormStyle() == fsMDIForm) {
        if (Required)
            Main->HandleNeeded();
        Client = Main->ClientHandle();
    }
    if (!Client && Required)
        throw EInvalidOperation(u"Cannot create form. No MDI forms are currently active");
    return Client;
}

void TCustomForm::CreateMDIClient() {
    RegisterMDIClientClass();
    TRect R = MDIClientArea();
    FClientHandle = CreateWindowExW(WS_EX_CLIENTEDGE, MDIClientClass, u"",
                                    WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE, R.Left, R.Top,
                                    R.Right - R.Left, R.Bottom - R.Top, FHandle, nullptr, nullptr, nullptr);
    if (!FClientHandle)
        throw EInvalidOperation(u"Error creating the MDI client window of " + ClassName());
    // The aligned controls stay above it.
    SetWindowPos(FClientHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The client area less the visible controls aligned to its edges.
TRect TCustomForm::MDIClientArea() {
    TRect Area = ClientRect();
    AdjustClientRect(Area);
    TRect R = Area;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (!C->Visible())
            continue;
        switch (C->Align()) {
        case alTop:
            R.Top = std::max(R.Top, C->Top() + C->Height());
            break;
        case alBottom:
            R.Bottom = std::min(R.Bottom, C->Top());
            break;
        case alLeft:
            R.Left = std::max(R.Left, C->Left() + C->Width());
            break;
        case alRight:
            R.Right = std::min(R.Right, C->Left());
            break;
        default:
            break;
        }
    }
    R.Right = std::max(R.Right, R.Left);
    R.Bottom = std::max(R.Bottom, R.Top);
    return R;
}

void TCustomForm::AlignControls(TControl* AControl) {
    // A control placed by the layout asks for it again: the client window waits for the whole of it.
    if (FAligningMDI) {
        TWinControl::AlignControls(AControl);
        return;
    }
    FAligningMDI = true;
    try {
        TWinControl::AlignControls(AControl);
    } catch (...) {
        FAligningMDI = false;
        throw;
    }
    FAligningMDI = false;
    HWND Client = ClientHandle();
    if (!Client || AlignDisabled() || ComponentState().Contains(csLoading))
        return;
    TRect R = MDIClientArea();
    RECT Now;
    GetWindowRect(Client, &Now);
    POINT TopLeft{Now.Left, Now.Top};
    ::ScreenToClient(FHandle, &TopLeft);
    if (TopLeft.X != R.Left || TopLeft.Y != R.Top || Now.Right - Now.Left != R.Right - R.Left ||
        Now.Bottom - Now.Top != R.Bottom - R.Top)
        SetWindowPos(Client, nullptr, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::DestroyWnd() {
    if (FFormState.Contains(fsCreatedMDIChild)) {
        // The client window destroys the child and hands the activation on.
        FFormState -= fsCreatedMDIChild;
        HWND Client = GetParent(FHandle);
        if (Client && IsWindow(Client))
            SendMessageW(Client, WM_MDIDESTROY, WPARAM(FHandle), 0);
    }
    TWinControl::DestroyWnd();
    if (FFormStyle == fsMDIForm)
        FClientHandle = nullptr;
}

void TCustomForm::ActivateMDIChild() {
    if (HandleAllocated())
        if (HWND Client = GetParent(FHandle))
            SendMessageW(Client, WM_MDIACTIVATE, WPARAM(FHandle), 0);
}

std::vector<TCustomForm*> TCustomForm::MDIChildList() {
    std::vector<TCustomForm*> List;
    HWND Client = FFormStyle == fsMDIForm ? ClientHandle() : nullptr;
    if (!Client)
        return List;
    for (HWND C = GetWindow(Client, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
        if (auto* F = dynamic_cast<TCustomForm*>(TWinControl::FindControl(C)); F && F->IsMDIChild())
            List.push_back(F);
    return List;
}

int TCustomForm::MDIChildCount() {
    return int(MDIChildList().size());
}

TCustomForm* TCustomForm::MDIChildren(int Index) {
    std::vector<TCustomForm*> List = MDIChildList();
    if (Index < 0 || std::size_t(Index) >= List.size())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    return List[std::size_t(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild() {
    HWND Client = FFormStyle == fsMDIForm ? ClientHandle() : nullptr;
    if (!Client)
        return nullptr;
    auto* Child = reinterpret_cast<HWND>(SendMessageW(Client, WM_MDIGETACTIVE, 0, 0));
    auto* F = dynamic_cast<TCustomForm*>(TWinControl::FindControl(Child));
    return F && F->IsMDIChild() ? F : nullptr;
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
    if (Value == FWindowMenu)
        return;
    if (FWindowMenu)
        FWindowMenu->RemoveFreeNotification(this);
    FWindowMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

// The client window's answer: the active child is this one, or another.
void TCustomForm::WMMDIActivate(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired() && IsMDIChild())
        SetActive(reinterpret_cast<HWND>(Message.LParam) == FHandle);
}

// A press in a child that the frame lets activate makes it the active child.
void TCustomForm::WMMouseActivate(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired() || !IsMDIChild())
        return;
    if (Message.Result == MA_ACTIVATE || Message.Result == MA_ACTIVATEANDEAT)
        ActivateMDIChild();
}

// The frame's caption state is its active child's too.
void TCustomForm::WMNCActivate(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired() || FFormStyle != fsMDIForm)
        return;
    if (TCustomForm* Child = ActiveMDIChild())
        SendMessageW(Child->Handle(), WM_NCACTIVATE, Message.WParam, 0);
}
