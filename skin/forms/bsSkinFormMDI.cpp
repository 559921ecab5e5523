// The form component on MDI forms: the parent's client window painted from the skin, a window-menu item and a tab
// per child, a maximized child taking the free client area, and the whole-set commands (tile, cascade, ...).
#include <algorithm>
#include <cmath>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMDITabsBar.h"

namespace {

const String ChildItemSuffix = u"_BSFCHILDITEM";
const WCHAR ClientLinkProp[] = u"bsSkinFormClientLink";

TCustomForm* MainForm() {
    return Application ? Application->MainForm() : nullptr;
}

// The child's name when Item is a child item ("<name>_BSFCHILDITEM"); Found tells whether it is one.
String ChildNameOf(TMenuItem* Item, bool& Found) {
    const String& N = Item->Name();
    std::size_t At = N.find(ChildItemSuffix);
    Found = At != String::npos;
    if (!Found)
        return String();
    String Name = N;
    Name.erase(At, ChildItemSuffix.size());
    return Name;
}

TMenuItem* FindChildItem(TMenuItem* WindowMenu, const String& ChildName) {
    for (int I = 0; I < WindowMenu->Count(); ++I) {
        bool Found = false;
        String Name = ChildNameOf(WindowMenu->Items(I), Found);
        if (Found && Name == ChildName)
            return WindowMenu->Items(I);
    }
    return nullptr;
}

} // namespace

// The client window's procedure chain holds our procedure; it reaches the component through this link, which
// the window keeps in a property. A component that goes while someone subclassed the client after it cannot
// leave the chain: its link then passes every message straight on, and the window frees it when it goes.
struct TbsSkinForm::TClientLink {
    TbsSkinForm* Owner = nullptr;
    HWND Wnd = nullptr;
    WNDPROC Prev = nullptr;

    static LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        auto* Link = static_cast<TClientLink*>(GetPropW(Wnd, ClientLinkProp));
        if (!Link)
            return DefWindowProcW(Wnd, Msg, WParam, LParam);
        WNDPROC Prev = Link->Prev;
        if (Msg == WM_NCDESTROY) {
            RemovePropW(Wnd, ClientLinkProp);
            if (Link->Owner)
                Link->Owner->FClientLink = nullptr;
            delete Link;
            return CallWindowProcW(Prev, Wnd, Msg, WParam, LParam);
        }
        // The client goes with its parent, whose form may be half gone by then: nothing of the form is asked.
        if (!Link->Owner || Msg == WM_DESTROY)
            return CallWindowProcW(Prev, Wnd, Msg, WParam, LParam);
        TMessage M{Msg, WParam, LParam, 0};
        Link->Owner->MDIClientWndProc(M);
        return M.Result;
    }
};

// ---------------------------------------------------------------------------------------------
// The client window

void TbsSkinForm::SubclassMDIClient() {
    HWND Client = IsMDIForm() ? FForm->ClientHandle() : nullptr;
    if (!Client || GetPropW(Client, ClientLinkProp))
        return;
    auto* Link = new TClientLink;
    Link->Owner = this;
    Link->Wnd = Client;
    Link->Prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Client, GWLP_WNDPROC));
    SetPropW(Client, ClientLinkProp, Link);
    SetWindowLongPtrW(Client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TClientLink::Proc));
    FClientLink = Link;
    NudgeWidth();
}

// At the top of the chain the component takes itself out; further down it can only step aside.
void TbsSkinForm::UnsubclassMDIClient() {
    TClientLink* Link = FClientLink;
    if (!Link)
        return;
    FClientLink = nullptr;
    const bool FormAlive = !FForm->ComponentState().Contains(csDestroying);
    HWND Client = FormAlive && FForm->HandleAllocated() ? FForm->ClientHandle() : nullptr;
    if (Client && GetPropW(Client, ClientLinkProp) == Link &&
        GetWindowLongPtrW(Client, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TClientLink::Proc)) {
        SetWindowLongPtrW(Client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Link->Prev));
        RemovePropW(Client, ClientLinkProp);
        delete Link;
        return;
    }
    Link->Owner = nullptr;
}

void TbsSkinForm::CallClientProc(TMessage& M) {
    if (FClientLink)
        M.Result = CallWindowProcW(FClientLink->Prev, FClientLink->Wnd, M.Msg, M.WParam, M.LParam);
}

void TbsSkinForm::MDIClientWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        ClientWMSize(Message);
        return;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // No border of its own.
        return;
    case WM_ERASEBKGND:
        ClientWMEraseBkgnd(Message);
        return;
    case WM_NCACTIVATE:
        Message.Result = 1;
        return;
    }
    CallClientProc(Message);
}

void TbsSkinForm::ClientWMSize(TMessage& M) {
    CallClientProc(M);
    UpdateMDIChildren();
    const bool Stretched = SkinApplied() && ((FSD->StretchEffect && FSD->MDIBGPictureIndex == -1) ||
                                             (FSD->MDIBGStretchEffect && FSD->MDIBGPictureIndex != -1));
    if (!FLogoBitMap->Empty() || Stretched) {
        RECT R{0, 0, FForm->ClientWidth(), FForm->ClientHeight()};
        RedrawWindow(FForm->ClientHandle(), &R, nullptr, RDW_ERASE | RDW_INVALIDATE);
    }
}

void TbsSkinForm::ClientWMEraseBkgnd(TMessage& M) {
    HDC DC = reinterpret_cast<HDC>(M.WParam);
    if (!SkinApplied())
        PaintMDIBGDefault(DC);
    else if (FSD->MDIBGPictureIndex != -1)
        PaintBG3(DC);
    else if (FSD->BGPictureIndex == -1)
        PaintBG(DC);
    else
        PaintBG2(DC);
    M.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// Lookups

TRect TbsSkinForm::GetMDIClientArea() {
    TCustomForm* Main = MainForm();
    if (!Main)
        return TRect{};
    TRect A{0, 0, Main->ClientWidth(), Main->ClientHeight()};
    for (int I = 0; I < Main->ControlCount(); ++I) {
        TControl* C = Main->Controls(I);
        if (!C->Visible())
            continue;
        switch (C->Align()) {
        case alTop:
            A.Top = std::max(A.Top, C->Top() + C->Height());
            break;
        case alBottom:
            A.Bottom = std::min(A.Bottom, C->Top());
            break;
        case alLeft:
            A.Left = std::max(A.Left, C->Left() + C->Width());
            break;
        case alRight:
            A.Right = std::min(A.Right, C->Left());
            break;
        default:
            break;
        }
    }
    return A;
}

TForm* TbsSkinForm::FindMaximizedMDIChild() {
    TCustomForm* Main = MainForm();
    if (!Main)
        return nullptr;
    auto Maximized = [](TCustomForm* F) {
        TbsSkinForm* S = GetSkinForm(F);
        return S && S->WindowState() == wsMaximized;
    };
    if (TCustomForm* A = Main->ActiveMDIChild(); A && Maximized(A))
        return dynamic_cast<TForm*>(A);
    for (int I = 0; I < Main->MDIChildCount(); ++I)
        if (TCustomForm* C = Main->MDIChildren(I); Maximized(C))
            return dynamic_cast<TForm*>(C);
    return nullptr;
}

std::vector<TCustomForm*> TbsSkinForm::MDIChildForms() {
    std::vector<TCustomForm*> List;
    if (IsMDIForm())
        for (int I = 0; I < FForm->MDIChildCount(); ++I)
            List.push_back(FForm->MDIChildren(I));
    return List;
}

void TbsSkinForm::UpdateMDIChildren() {
    if (!IsMDIForm())
        return;
    for (TCustomForm* C : MDIChildForms())
        if (C->HandleAllocated())
            SendMessageW(C->Handle(), WM_MDICHILDMOVE, 0, 0);
    ArrangeMinimizedChildren();
}

void TbsSkinForm::ArrangeMinimizedChildren() {
    for (TCustomForm* C : MDIChildForms())
        if (TbsSkinForm* S = GetSkinForm(C); S && S->WindowState() == wsMinimized) {
            TPoint P = S->GetMinimizedPosition();
            C->SetBounds(P.X, P.Y, C->Width(), C->Height());
        }
}

// ---------------------------------------------------------------------------------------------
// The window menu

void TbsSkinForm::AddChildToMenu(TCustomForm* Child) {
    TCustomForm* Main = MainForm();
    TMenuItem* Menu = Main ? Main->WindowMenu() : nullptr;
    if (!Menu || !GetSkinForm(Main) || FindChildItem(Menu, Child->Name()))
        return;
    auto* Item = new TMenuItem(this);
    Item->SetName(Child->Name() + ChildItemSuffix);
    Item->SetCaption(Child->Caption());
    Item->OnClick = [this](TObject* Sender) { MDIItemClick(Sender); };
    Menu->Add(Item);
}

void TbsSkinForm::DeleteChildFromMenu(TCustomForm* Child) {
    TCustomForm* Main = MainForm();
    TMenuItem* Menu = Main ? Main->WindowMenu() : nullptr;
    if (!Menu)
        return;
    delete FindChildItem(Menu, Child->Name());
    if (Main->MDIChildCount() > 0)
        return;
    for (int I = 0; I < Menu->Count(); ++I)
        if (Menu->Items(I)->Name().find(ChildItemSuffix) != String::npos) {
            delete Menu->Items(I);
            break;
        }
}

void TbsSkinForm::UpDateChildCaptionInMenu(TCustomForm* Child) {
    TCustomForm* Main = MainForm();
    if (TMenuItem* Menu = Main ? Main->WindowMenu() : nullptr)
        if (TMenuItem* Item = FindChildItem(Menu, Child->Name()))
            Item->SetCaption(Child->Caption());
}

void TbsSkinForm::UpDateChildActiveInMenu() {
    TCustomForm* Main = MainForm();
    TMenuItem* Menu = Main ? Main->WindowMenu() : nullptr;
    if (!Menu)
        return;
    TCustomForm* Active = Main->ActiveMDIChild();
    for (int I = 0; I < Menu->Count(); ++I) {
        bool Found = false;
        String Name = ChildNameOf(Menu->Items(I), Found);
        if (Found)
            Menu->Items(I)->SetChecked(Active && Name == Active->Name());
    }
}

void TbsSkinForm::MDIItemClick(TObject* Sender) {
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    TCustomForm* Main = MainForm();
    if (!Item || !Main)
        return;
    bool Found = false;
    String Name = ChildNameOf(Item, Found);
    for (int I = 0; I < Main->MDIChildCount(); ++I) {
        TCustomForm* C = Main->MDIChildren(I);
        if (C->Name() != Name)
            continue;
        if (TbsSkinForm* S = GetSkinForm(C); S && S->WindowState() == wsMinimized)
            S->SetWindowState(wsNormal);
        C->Show();
    }
}

// ---------------------------------------------------------------------------------------------
// The tabs bar of the main form's component

namespace {

TbsSkinMDITabsBar* MainTabsBar() {
    TbsSkinForm* S = GetSkinForm(MainForm());
    return S ? S->MDITabsBar() : nullptr;
}

} // namespace

void TbsSkinForm::AddChildToBar(TCustomForm* Child) {
    bool Accept = true;
    if (OnAcceptToMDITabsBar)
        OnAcceptToMDITabsBar(Accept);
    if (TbsSkinMDITabsBar* Bar = MainTabsBar(); Accept && Bar)
        Bar->AddTab(Child);
}

void TbsSkinForm::DeleteChildFromBar(TCustomForm* Child) {
    if (TbsSkinMDITabsBar* Bar = MainTabsBar())
        Bar->DeleteTab(Child);
}

void TbsSkinForm::RefreshMDIBarTab(TCustomForm* Child) {
    TbsSkinMDITabsBar* Bar = MainTabsBar();
    if (!Bar || !Bar->HandleAllocated())
        return;
    for (int I = 0; I < Bar->TabCount(); ++I)
        if (TbsMDITab* T = Bar->Tabs(I); T->Child == Child && T->Visible)
            T->Draw(Bar->Canvas());
}

void TbsSkinForm::UpdateMDITabsActive() {
    if (TbsSkinMDITabsBar* Bar = MainTabsBar())
        Bar->UpdateTabsActive();
}

void TbsSkinForm::SetMDITabsBar(TbsSkinMDITabsBar* Value) {
    if (FMDITabsBar)
        FMDITabsBar->RemoveFreeNotification(this);
    FMDITabsBar = Value;
    if (Value)
        Value->FreeNotification(this);
}

// ---------------------------------------------------------------------------------------------
// The whole set of children

void TbsSkinForm::MinimizeAll() {
    for (TCustomForm* C : MDIChildForms())
        if (TbsSkinForm* S = GetSkinForm(C))
            S->SetWindowState(wsMinimized);
}

void TbsSkinForm::MaximizeAll() {
    for (TCustomForm* C : MDIChildForms())
        if (TbsSkinForm* S = GetSkinForm(C))
            S->SetWindowState(wsMaximized);
}

void TbsSkinForm::RestoreAll() {
    for (TCustomForm* C : MDIChildForms()) {
        TbsSkinForm* S = GetSkinForm(C);
        if (!S)
            continue;
        if (S->WindowState() != wsNormal)
            S->SetWindowState(wsNormal);
        if (S->RollUpState() && S->WindowState() == wsNormal)
            S->SetRollUpState(false);
    }
}

void TbsSkinForm::CloseAll() {
    std::vector<TCustomForm*> Children = MDIChildForms();
    for (auto It = Children.rbegin(); It != Children.rend(); ++It)
        (*It)->Close();
}

// Columns of equal width from the right; each column split into equal rows, filled from the bottom.
void TbsSkinForm::Tile() {
    if (!IsMDIForm())
        return;
    RestoreAll();
    std::vector<TCustomForm*> Children = MDIChildForms();
    const int N = int(Children.size());
    int K = int(std::trunc(std::sqrt(double(N))));
    if (K < 1)
        return;
    auto RowsFor = [](int Left, int Columns) { return std::max(1, Left / Columns + (Left % Columns ? 1 : 0)); };
    int R = RowsFor(N, K);
    const TRect A = GetMDIClientArea();
    const int AW = GetRectWidth(A), AH = GetRectHeight(A);
    const int CW = AW / K;
    int RH = AH / R;
    int X = AW, Y = AH, Placed = 0;
    for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
        (*It)->SetBounds(std::max(0, X - CW), std::max(0, Y - RH), CW, RH);
        ++Placed;
        Y -= RH;
        if (Y - RH < 0) {
            Y = AH;
            X -= CW;
            K = std::max(1, K - 1);
            R = RowsFor(N - Placed, K);
            RH = AH / R;
        }
    }
}

// Children stepped down and right by the frame's top height, each of the same size.
void TbsSkinForm::Cascade() {
    if (!IsMDIForm())
        return;
    RestoreAll();
    std::vector<TCustomForm*> Children = MDIChildForms();
    const int N = int(Children.size());
    if (N == 0)
        return;
    const TRect A = GetMDIClientArea();
    const int AW = GetRectWidth(A), AH = GetRectHeight(A);
    // A skin whose client part starts at the top would give no step at all.
    const int D = std::max(1, SkinApplied() ? NewClRect.Top : GetDefCaptionHeight() + 3);
    const int K = (AW - int(std::lround(AW * 0.8))) / D;
    const int Steps = K > N ? N - 1 : K;
    const int W = std::max(AW - Steps * D, GetMinWidth());
    const int H = std::max(AH - Steps * D, GetMinHeight());
    int O = 0;
    for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
        TCustomForm* C = *It;
        const bool OwnSize = C->BorderStyle() == bsSingle;
        const int CW = OwnSize ? C->Width() : W, CH = OwnSize ? C->Height() : H;
        if (O + CW > AW || O + CH > AH)
            O = 0;
        C->SetBounds(O, O, CW, CH);
        O += D;
    }
}
