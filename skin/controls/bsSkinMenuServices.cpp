#include "skin/controls/bsSkinMenuServices.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The stand-in's bookkeeping for one popup menu, owned by the menu: the control it was opened for, the
// menu's own OnClose and the items' own OnClick, which it wraps while the menu is open so that the control
// hears 1228 when the menu closes and 1229 after a command ran.
class TPopupStandInLink : public TComponent {
public:
    using TComponent::TComponent;

    static TPopupStandInLink* Of(TPopupMenu* Menu) {
        for (int I = 0; I < Menu->ComponentCount(); ++I)
            if (auto* L = dynamic_cast<TPopupStandInLink*>(Menu->Components(I)))
                return L;
        return new TPopupStandInLink(Menu);
    }

    void Open(TPopupMenu* Menu, TControl* Control, int X, int Y) {
        // A menu open for another control closes first (that control hears 1228).
        Menu->CloseMenu();
        RestoreItems();
        FControl = Control;
        FAlive = Control ? Control->AliveToken() : std::weak_ptr<char>();
        FPrevOnClose = Menu->OnClose;
        Menu->OnClose = [this](TObject* Sender) { Closed(static_cast<TPopupMenu*>(Sender)); };
        WrapItems(Menu->Items());
        FOpen = true;
        Menu->SetPopupComponent(Control);
        Menu->Popup(X, Y);
        // A menu without visible items never opens: the control is not left waiting for it.
        if (FOpen && !Menu->PopupWindow())
            Closed(Menu);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove)
            std::erase_if(FWrapped, [AComponent](const auto& W) { return W.first == AComponent; });
    }

private:
    void Closed(TPopupMenu* Menu) {
        if (!FOpen)
            return;
        FOpen = false;
        Menu->OnClose = FPrevOnClose;
        if (FPrevOnClose)
            FPrevOnClose(Menu);
        Notify(WM_POPUPMENUCLOSED);
    }

    void Notify(UINT Msg) {
        if (FControl && !FAlive.expired())
            NotifyPopupControl(FControl, Msg);
    }

    void WrapItems(TMenuItem* Parent) {
        for (int I = 0; I < Parent->Count(); ++I) {
            TMenuItem* Item = Parent->Items(I);
            if (Item->Count() > 0) {
                WrapItems(Item);
                continue;
            }
            Item->FreeNotification(this);
            FWrapped.emplace_back(Item, Item->OnClick);
            Item->OnClick = [this, Item](TObject* Sender) { Command(Item, Sender); };
        }
    }

    void Command(TMenuItem* Item, TObject* Sender) {
        TNotifyEvent Own;
        for (const auto& W : FWrapped)
            if (W.first == Item)
                Own = W.second;
        RestoreItems();
        std::weak_ptr<char> Alive = FAlive;
        TControl* Control = FControl;
        if (Own)
            Own(Sender);
        if (Control && !Alive.expired())
            NotifyPopupControl(Control, WM_POPUPMENUCOMMAND);
    }

    void RestoreItems() {
        std::vector<std::pair<TMenuItem*, TNotifyEvent>> Wrapped;
        Wrapped.swap(FWrapped);
        for (auto& [Item, Own] : Wrapped) {
            Item->OnClick = std::move(Own);
            Item->RemoveFreeNotification(this);
        }
    }

    TControl* FControl = nullptr;
    std::weak_ptr<char> FAlive;
    TNotifyEvent FPrevOnClose;
    std::vector<std::pair<TMenuItem*, TNotifyEvent>> FWrapped;
    bool FOpen = false;
};

int VisibleRows(TPopupMenu* Menu) {
    int Rows = 0;
    for (int I = 0; I < Menu->Items()->Count(); ++I)
        if (Menu->Items()->Items(I)->Visible())
            ++Rows;
    return Rows;
}

class TStandInPopupService : public TbsPopupMenuService {
public:
    void PopupFromRect2(TPopupMenu* Menu, TControl* ACtrl, const TRect& R, bool APopupUp) override {
        const int Y = APopupUp ? R.Top - VisibleRows(Menu) * TMenuPopupWindow::ItemHeight : R.Bottom;
        TPopupStandInLink::Of(Menu)->Open(Menu, ACtrl, R.Left, Y);
    }
    void Popup2(TPopupMenu* Menu, TControl* ACtrl, int X, int Y) override {
        TPopupStandInLink::Of(Menu)->Open(Menu, ACtrl, X, Y);
    }
};

class TStandInFormSkinLookup : public TbsFormSkinLookup {
public:
    TbsSkinData* FormSkinData(TControl*) override { return nullptr; }
};

TbsPopupMenuService* GPopupService = nullptr;
TbsFormSkinLookup* GFormSkinLookup = nullptr;

} // namespace

void SetPopupMenuService(TbsPopupMenuService* Service) {
    GPopupService = Service;
}

TbsPopupMenuService* PopupMenuService() {
    static TStandInPopupService StandIn;
    return GPopupService ? GPopupService : &StandIn;
}

void SetFormSkinLookup(TbsFormSkinLookup* Lookup) {
    GFormSkinLookup = Lookup;
}

TbsFormSkinLookup* FormSkinLookup() {
    static TStandInFormSkinLookup StandIn;
    return GFormSkinLookup ? GFormSkinLookup : &StandIn;
}

void NotifyPopupControl(TControl* Control, UINT Msg) {
    if (auto* W = dynamic_cast<TWinControl*>(Control))
        SendMessageW(W->Handle(), Msg, 0, 0);
    else
        Control->Perform(Msg, 0, 0);
}

void TbsImagesMenuItem::Assign(TPersistent* Source) {
    if (auto* Other = dynamic_cast<TbsImagesMenuItem*>(Source)) {
        ImageIndex = Other->ImageIndex;
        Caption = Other->Caption;
        Button = Other->Button;
        Hint = Other->Hint;
        return;
    }
    TCollectionItem::Assign(Source);
}
