#include "platform/ui/TrackPopup.h"

#include "platform/base/Threads.h"
#include "platform/ui/Forms.h"

#include <memory>

int MenuItemIdentifier(const TMenuItem* Item) {
    return Item->Tag() ? int(Item->Tag()) : int(Item->Command());
}

int TrackPopupMenu(TPopupMenu* Menu, UINT Flags, int X, int Y, HWND Owner) {
    if (!Menu)
        return 0;
    // The menu's items are moved into a popup of our own whose dispatch records the choice; they go back
    // afterwards, whatever happens.
    // It records the command its window dispatches instead of running it.
    class TTracked : public TPopupMenu {
    public:
        using TPopupMenu::TPopupMenu;
        TMenuItem* Chosen = nullptr;
        bool DispatchCommand(Word ACommand) override {
            Chosen = FindItem(ACommand, fkCommand);
            return Chosen != nullptr;
        }
    };
    auto Tracked = std::make_unique<TTracked>(nullptr);
    Tracked->SetImages(Menu->Images());
    TMenuItem* Source = Menu->Items();
    std::vector<TMenuItem*> Moved;
    while (Source->Count() > 0) {
        TMenuItem* Item = Source->Items(0);
        Source->Delete(0);
        Tracked->Items()->Add(Item);
        Moved.push_back(Item);
    }
    auto Restore = [&] {
        for (TMenuItem* Item : Moved) {
            Tracked->Items()->Remove(Item);
            Source->Add(Item);
        }
    };
    TMenuItem* Chosen = nullptr;
    try {
        if (Menu->OnPopup)
            Menu->OnPopup(Menu);
        Tracked->Popup(X, Y);
        while (Tracked->PopupWindow() && !Application->Terminated() && !QuitPending())
            Application->HandleMessage();
        Tracked->CloseMenu();
        Chosen = Tracked->Chosen;
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
    if (Menu->OnClose)
        Menu->OnClose(Menu);
    if (!Chosen)
        return 0;
    if (Flags & TPM_RETURNCMD)
        return MenuItemIdentifier(Chosen);
    Chosen->Click();
    return 1;
}
