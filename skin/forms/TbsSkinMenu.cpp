#include "skin/forms/TbsSkinMenu.h"

#include <algorithm>

#include "skin/controls/bsSkinMenuServices.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinPopupWindow.h"

bool IsMenuCloseMessage(UINT Msg) {
    switch (Msg) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
    case WM_MOUSEACTIVATE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_PARENTNOTIFY:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// TbsSkinMenu

TbsSkinMenu::TbsSkinMenu(TComponent* AOwner, TCustomForm* AForm) : TComponent(AOwner), FForm(AForm) {
    FDefaultMenuItemFont = std::make_unique<TFont>();
    FDefaultMenuItemFont->SetName(u"Arial");
    FDefaultMenuItemFont->SetHeight(14);
    FDefaultMenuItemFont->SetStyle(TFontStyles{});
    WaitTimer = std::make_unique<TTimer>(nullptr);
    WaitTimer->SetEnabled(false);
    WaitTimer->SetInterval(500);
    WaitTimer->OnTimer = [this](TObject*) { WaitTimerTick(); };
}

TbsSkinMenu::~TbsSkinMenu() {
    WaitTimer->SetEnabled(false);
    // Closing tells the opening control; a menu freed with its form tells nobody.
    PopupCtrl = nullptr;
    OnMenuClose = nullptr;
    CloseLevels(0);
    FClosedList.clear();
}

void TbsSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == PopupCtrl)
        PopupCtrl = nullptr;
    if (AComponent == DCtrl)
        DCtrl = nullptr;
    if (AComponent == SkinData)
        SkinData = nullptr;
}

void TbsSkinMenu::SetPopupCtrl(TControl* Value) {
    PopupCtrl = Value;
    if (Value)
        Value->FreeNotification(this);
}

TRect TbsSkinMenu::GetWorkArea() {
    TRect R;
    GetMonitorWorkArea(FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr, true, R);
    return R;
}

void TbsSkinMenu::Popup(TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* AItem,
                        bool PopupUp) {
    FFirst = !FVisible;
    if (!FPopupList.empty())
        CloseLevels(0);
    SetPopupCtrl(APopupCtrl);
    WorkArea = GetWorkArea();
    SkinData = ASkinData;
    if (SkinData)
        SkinData->FreeNotification(this);
    if (AItem && AItem->Count() > 0 && StartIndex < AItem->Count()) {
        FVisible = true;
        AddPopupWindow(R, AItem, nullptr, StartIndex, false, PopupUp, false);
        FFirst = false;
    }
}

void TbsSkinMenu::Popup2(TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* AItem,
                         TMenuItem* AItem2, bool PopupUp) {
    FFirst = !FVisible;
    if (!FPopupList.empty())
        CloseLevels(0);
    SetPopupCtrl(APopupCtrl);
    WorkArea = GetWorkArea();
    SkinData = ASkinData;
    if (SkinData)
        SkinData->FreeNotification(this);
    const int Total = (AItem ? AItem->Count() : 0) + (AItem2 ? AItem2->Count() : 0);
    if (AItem && AItem->Count() > 0 && StartIndex < Total) {
        FVisible = true;
        AddPopupWindow(R, AItem, AItem2, StartIndex, false, PopupUp, true);
        FFirst = false;
    }
}

void TbsSkinMenu::AddPopupWindow(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                                 bool PopupUp, bool Two) {
    TbsDataSkinPopupWindow* Data = SkinData && !SkinData->Empty ? SkinData->PopupWindow.get() : nullptr;
    FPopupList.push_back(std::make_unique<TbsSkinPopupWindow>(nullptr, this, Data));
    TbsSkinPopupWindow* W = FPopupList.back().get();
    if (Two)
        W->Show2(R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
    else
        W->Show(R, AItem, StartIndex, PopupByItem, PopupUp);
}

int TbsSkinMenu::IndexOfWindow(TbsSkinPopupWindow* Window) const {
    for (int I = 0; I < int(FPopupList.size()); ++I)
        if (FPopupList[std::size_t(I)].get() == Window)
            return I;
    return int(FPopupList.size());
}

void TbsSkinMenu::CloseLevels(int FromLevel) {
    FromLevel = std::max(0, FromLevel);
    while (int(FPopupList.size()) > FromLevel) {
        std::unique_ptr<TbsSkinPopupWindow> W = std::move(FPopupList.back());
        FPopupList.pop_back();
        if (WItem && WItem->Parent == W.get())
            WItem = nullptr;
        // The level may be the one whose handler runs now: it is hidden at once and freed from the queue.
        W->Hide();
        W->Closed = true;
        if (W->HandleAllocated())
            PostMessageW(W->Handle(), CM_RELEASE, 0, 0);
        FClosedList.push_back(std::move(W));
    }
    if (FromLevel != 0)
        return;
    FVisible = false;
    StopWait();
    DCtrl = PopupCtrl;
    if (PopupCtrl) {
        TControl* C = PopupCtrl;
        PopupCtrl = nullptr;
        NotifyPopupControl(C, WM_SKINMENUCLOSED);
    }
    if (OnMenuClose) {
        TNotifyEvent E = std::move(OnMenuClose);
        OnMenuClose = nullptr;
        E(this);
    }
}

void TbsSkinMenu::FreeClosedWindow(TbsSkinPopupWindow* Window) {
    std::erase_if(FClosedList, [Window](const auto& W) { return W.get() == Window; });
}

void TbsSkinMenu::Hide() {
    CloseLevels(0);
    StopWait();
    if (FForm && FForm->HandleAllocated())
        SendMessageW(FForm->Handle(), WM_SKINMENUCLOSED, 0, 0);
    if (PopupCtrl) {
        TControl* C = PopupCtrl;
        PopupCtrl = nullptr;
        NotifyPopupControl(C, WM_SKINMENUCLOSED);
    }
}

void TbsSkinMenu::StopWait() {
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
}

void TbsSkinMenu::WaitTimerTick() {
    WaitTimer->SetEnabled(false);
    TbsSkinMenuItem* Item = WItem;
    if (Item)
        ActivateMenuItem(Item->Parent, Item, false, true);
}

void TbsSkinMenu::RunCommand(TMenuItem* Item) {
    TMenu* Menu = Item->GetParentMenu();
    if (!Menu || !Menu->DispatchCommand(Item->Command()))
        Item->Click();
}

void TbsSkinMenu::ActivateMenuItem(TbsSkinPopupWindow* Window, TbsSkinMenuItem* Item, bool Kb, bool Click) {
    TMenuItem* MI = Item->MenuItem;
    if (MI->Count() == 0) {
        StopWait();
        if (!Click) {
            if (int Level = IndexOfWindow(Window) + 1; Level < LevelCount())
                CloseLevels(Level);
            return;
        }
        // The menu is gone before the command runs; the row and its window are not touched again.
        Hide();
        RunCommand(MI);
        if (DCtrl) {
            TControl* C = DCtrl;
            DCtrl = nullptr;
            NotifyPopupControl(C, WM_SKINMENUCOMMAND);
        }
        return;
    }
    if (!Click) {
        if (Kb)
            return;
        WaitTimer->SetEnabled(false);
        if (int Level = IndexOfWindow(Window) + 1; Level < LevelCount())
            CloseLevels(Level);
        WItem = Item;
        WaitTimer->SetEnabled(true);
        return;
    }
    RunCommand(MI);
    StopWait();
    if (int Level = IndexOfWindow(Window) + 1; Level < LevelCount())
        CloseLevels(Level);
    Item->Down = true;
    Item->RedrawWithEffect();
    TRect R = Item->ObjectRect;
    TPoint P{0, 0};
    ClientToScreen(Window->Handle(), &P);
    OffsetRect(R, P.X, P.Y);
    AddPopupWindow(R, MI, nullptr, 0, true, false, false);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinPopupMenu

TbsSkinPopupMenu::TbsSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

void TbsSkinPopupMenu::SetSkinData(TbsSkinData* Value) {
    FSD = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinPopupMenu::SetComponentForm(TCustomForm* Value) {
    FComponentForm = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinPopupMenu::SetSkinComponent(TComponent* Value) {
    FSkinComponent = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TPopupMenu::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FComponentForm)
        FComponentForm = nullptr;
    if (AComponent == FSkinComponent)
        FSkinComponent = nullptr;
}

namespace {

TbsSkinForm* FirstSkinForm(TComponent* Owner) {
    if (!Owner)
        return nullptr;
    for (int I = 0; I < Owner->ComponentCount(); ++I)
        if (auto* S = dynamic_cast<TbsSkinForm*>(Owner->Components(I)))
            return S;
    return nullptr;
}

} // namespace

TComponent* TbsSkinPopupMenu::FindSkinForm() {
    if (FSkinComponent)
        return FSkinComponent;
    if (FComponentForm)
        return FirstSkinForm(FComponentForm);
    TForm* F = dynamic_cast<TForm*>(Owner());
    if (F)
        return FirstSkinForm(F);
    F = Owner() ? dynamic_cast<TForm*>(Owner()->Owner()) : nullptr;
    if (!F)
        return nullptr;
    if (F->FormStyle() == fsMDIChild && Application && Application->MainForm())
        return FirstSkinForm(Application->MainForm());
    return FirstSkinForm(F);
}

void TbsSkinPopupMenu::DoPopupEx(TControl* ACtrl, const TRect& R, bool APopupUp, bool NeedSkinData) {
    if (OnPopup)
        OnPopup(this);
    auto* S = dynamic_cast<TbsSkinForm*>(FindSkinForm());
    if (!S)
        return;
    if (!FSD)
        SetSkinData(S->MenusSkinData() ? S->MenusSkinData() : S->SkinData());
    if (NeedSkinData && !FSD)
        return;
    if (S->SkinMenu()->Visible())
        S->SkinMenuClose();
    S->SkinMenuOpen();
    FPopupPoint = TPoint{R.Left, R.Top};
    S->SkinMenu()->Popup(ACtrl, FSD, 0, R, Items(), APopupUp);
    if (OnMenuClose)
        S->SkinMenu()->OnMenuClose = OnMenuClose;
}

void TbsSkinPopupMenu::Popup(int X, int Y) {
    DoPopupEx(nullptr, TRect{X, Y, X, Y}, false, false);
}

void TbsSkinPopupMenu::Popup2(TControl* ACtrl, int X, int Y) {
    DoPopupEx(ACtrl, TRect{X, Y, X, Y}, false, true);
}

void TbsSkinPopupMenu::PopupFromRect(const TRect& R, bool APopupUp) {
    DoPopupEx(nullptr, R, APopupUp, false);
}

void TbsSkinPopupMenu::PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp) {
    DoPopupEx(ACtrl, R, APopupUp, false);
}

// ---------------------------------------------------------------------------------------------
// The service the skinned controls open their menus through

namespace {

class TSkinPopupMenuService : public TbsPopupMenuService {
public:
    explicit TSkinPopupMenuService(TbsPopupMenuService* AStandIn) : FStandIn(AStandIn) {}
    void PopupFromRect2(TPopupMenu* Menu, TControl* ACtrl, const TRect& R, bool APopupUp) override {
        if (auto* S = dynamic_cast<TbsSkinPopupMenu*>(Menu)) {
            S->PopupFromRect2(ACtrl, R, APopupUp);
            return;
        }
        if (!Open(Menu, ACtrl, R, APopupUp))
            FStandIn->PopupFromRect2(Menu, ACtrl, R, APopupUp);
    }
    void Popup2(TPopupMenu* Menu, TControl* ACtrl, int X, int Y) override {
        if (auto* S = dynamic_cast<TbsSkinPopupMenu*>(Menu)) {
            S->Popup2(ACtrl, X, Y);
            return;
        }
        if (!Open(Menu, ACtrl, TRect{X, Y, X, Y}, false))
            FStandIn->Popup2(Menu, ACtrl, X, Y);
    }

private:
    // A plain popup menu of a control opens through the skinning component of the control's form.
    bool Open(TPopupMenu* Menu, TControl* ACtrl, const TRect& R, bool APopupUp) {
        TCustomForm* F = ACtrl ? GetParentForm(ACtrl) : nullptr;
        TbsSkinForm* S = F ? FirstSkinForm(F) : nullptr;
        if (!S)
            return false;
        if (Menu->OnPopup)
            Menu->OnPopup(Menu);
        if (S->SkinMenu()->Visible())
            S->SkinMenuClose();
        S->SkinMenuOpen();
        S->SkinMenu()->Popup(ACtrl, S->MenusSkinData() ? S->MenusSkinData() : S->SkinData(), 0, R, Menu->Items(),
                             APopupUp);
        return true;
    }
    TbsPopupMenuService* FStandIn;
};

} // namespace

void RegisterSkinPopupMenuService() {
    static TSkinPopupMenuService* Service = nullptr;
    if (Service)
        return;
    static TSkinPopupMenuService Instance(PopupMenuService());
    Service = &Instance;
    SetPopupMenuService(Service);
}
