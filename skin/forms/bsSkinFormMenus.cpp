// The form component's skinned menus: the menu settings it passes to its menu stack, the bracket around every
// open menu (with the application's messages hooked for the keys), the system and tray menus, and the
// messages that close an open menu.
#include "platform/base/SysUtils.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/core/TbsLayerManager.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMainMenuBar.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/TbsSkinPopupWindow.h"
#include "skin/forms/bsSkinHint.h"

// ---------------------------------------------------------------------------------------------
// Settings kept by the menu stack

void TbsSkinForm::SetMaxMenuItemsInWindow(int Value) {
    if (Value < 0)
        return;
    FMaxMenuItemsInWindow = Value;
    FSkinMenu->MaxMenuItemsInWindow = Value;
}

bool TbsSkinForm::UseSkinFontInMenu() const {
    return FSkinMenu->UseSkinFont();
}

void TbsSkinForm::SetUseSkinFontInMenu(bool Value) {
    FSkinMenu->SetUseSkinFont(Value);
}

void TbsSkinForm::SetMenusAlphaBlend(bool Value) {
    FMenusAlphaBlend = Value;
    FSkinMenu->AlphaBlend = Value;
}

void TbsSkinForm::SetMenusAlphaBlendValue(Byte Value) {
    FMenusAlphaBlendValue = Value;
    FSkinMenu->AlphaBlendValue = Value;
}

void TbsSkinForm::SetMenusAlphaBlendAnimation(bool Value) {
    FMenusAlphaBlendAnimation = Value;
    FSkinMenu->AlphaBlendAnimation = Value;
}

int TbsSkinForm::DefMenuItemHeight() const {
    return FSkinMenu->DefaultMenuItemHeight();
}

void TbsSkinForm::SetDefMenuItemHeight(int Value) {
    if (Value > 0)
        FSkinMenu->SetDefaultMenuItemHeight(Value);
}

TFont* TbsSkinForm::DefMenuItemFont() const {
    return FSkinMenu->DefaultMenuItemFont();
}

void TbsSkinForm::SetDefMenuItemFont(TFont* Value) {
    FSkinMenu->SetDefaultMenuItemFont(Value);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TbsSkinForm::SkinMenuOpen() {
    if (!InMainMenu)
        HookAppMessages();
    if (!InMenu) {
        InMenu = true;
        if (OnSkinMenuOpen)
            OnSkinMenuOpen(this);
    }
}

void TbsSkinForm::SkinMenuClose() {
    if (FMenuLayerManager->IsVisible)
        FMenuLayerManager->Hide();
    InMenu = false;
    bool Released = false;
    for (auto& O : ObjectList) {
        if (auto* B = dynamic_cast<TbsSkinButtonObject*>(O.get()); B && B->MenuItem && B->Down()) {
            B->SetDown(false);
            Released = true;
            break;
        }
    }
    if (!Released)
        for (auto& O : ObjectList)
            if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get()); A && A->MenuItem && A->FMenuTracking) {
                A->Active = true;
                A->FFrame = A->CountFrames;
                A->FDown = false;
                A->FMenuTracking = false;
                A->Increment = false;
                AnimateTimer->SetEnabled(true);
                break;
            }
    UnhookAppMessages();
    if (OnSkinMenuClose)
        OnSkinMenuClose(this);
    if (InMainMenu) {
        InMainMenu = false;
        if (FMainMenuBar)
            FMainMenuBar->LeaveMenuMode();
        if (OnMainMenuExit)
            OnMainMenuExit(this);
    }
}

void TbsSkinForm::WMSkinMenuClosed(TMessage& M) {
    CallOld(M);
    SkinMenuClose();
}

void TbsSkinForm::PopupSkinMenu(TMenu* Menu, const TPoint& P) {
    PopupSkinMenu1(Menu, TRect{P.X, P.Y, P.X, P.Y}, false);
}

void TbsSkinForm::PopupSkinMenu1(TMenu* Menu, const TRect& R, bool PopupUp) {
    SkinMenuOpen();
    FSkinMenu->Popup(nullptr, MenuSkin(), 0, R, Menu->Items(), PopupUp);
}

void TbsSkinForm::DoPopupMenu(TPopupMenu* Menu, int X, int Y) {
    if (Menu->OnPopup)
        Menu->OnPopup(this);
    if (FSkinMenu->Visible())
        SkinMenuClose();
    SkinMenuOpen();
    FSkinMenu->Popup(nullptr, FSD, 0, TRect{X, Y, X, Y}, Menu->Items(), false);
}

namespace {

// A form half through its destructor still hears its children go, but it is no form any more: its kind and its
// children cannot be asked. It has left the screen's list by then; only pointers are compared here.
bool FormWhole(const TCustomForm* Form) {
    if (!Screen || Form->ComponentState().Contains(csDestroying))
        return false;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (Screen->Forms(I) == Form)
            return true;
    return false;
}

} // namespace

void TbsSkinForm::CloseMenusOnMessage(TMessage& M) {
    if (!IsMenuCloseMessage(M.Msg))
        return;
    if (FShowObjectHint && FSkinHint)
        FSkinHint->HideHint();
    const bool FormGoing = !FormWhole(FForm);
    if (!InMainMenu || InMenu) {
        if (FSkinMenu->Visible())
            FSkinMenu->Hide();
        else if (InMenu)
            SkinMenuClose();
        else if (!FormGoing && IsMDIForm() && FForm->Visible()) {
            // The parent has no menu open: the active child may have one.
            if (TbsSkinForm* Child = GetSkinForm(FForm->ActiveMDIChild()); Child && Child != this)
                Child->CloseMenusOnMessage(M);
        }
    } else {
        LeaveMainMenu();
    }
    if (!FormGoing)
        CancelDropDowns();
}

void TbsSkinForm::CancelDropDowns() {
    if (Loading() || Designing() || !FormWhole(FForm) || !IsMDIForm() || !FForm->Visible())
        return;
    // By index, read again each time: a drop-down's close-up handler may free components of the form.
    for (int I = 0; I < FForm->ComponentCount(); ++I) {
        TComponent* C = FForm->Components(I);
        if (!dynamic_cast<TbsSkinCustomComboBox*>(C) && !dynamic_cast<TbsSkinCustomEdit*>(C))
            continue;
        auto* W = dynamic_cast<TWinControl*>(C);
        if (W && W->Visible() && W->Enabled())
            W->Perform(CM_CANCELMODE, 0, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Keys while a menu is open

void TbsSkinForm::HookAppMessages() {
    if (FInAppHook || !Application)
        return;
    FInAppHook = true;
    OldAppMessage = Application->OnMessage;
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { AppMessageHook(Msg, Handled); };
}

void TbsSkinForm::UnhookAppMessages() {
    if (!FInAppHook)
        return;
    FInAppHook = false;
    if (Application)
        Application->OnMessage = OldAppMessage;
    OldAppMessage = nullptr;
}

void TbsSkinForm::AppMessageHook(MSG& Msg, bool& Handled) {
    if (Msg.message == WM_KEYDOWN) {
        Msg.message = 0;
        Handled = true;
        MenuKeyDown(Msg.wParam);
    } else if (Msg.message == WM_MOUSEWHEEL) {
        Msg.message = 0;
        Handled = true;
    }
}

void TbsSkinForm::MenuKeyDown(WPARAM Key) {
    if (IsMDIChild() && Application && Application->MainForm())
        for (int I = 0; I < Application->MainForm()->ComponentCount(); ++I)
            if (auto* Main = dynamic_cast<TbsSkinForm*>(Application->MainForm()->Components(I))) {
                if (Main != this && (Main->InMenu || Main->InMainMenu || Main->SkinMenu()->Visible())) {
                    Main->MenuKeyDown(Key);
                    return;
                }
                break;
            }
    if (MenuBarKeyDown(Key))
        return;
    if (FSkinMenu->Visible() && FSkinMenu->LevelCount() > 0)
        FSkinMenu->Levels(FSkinMenu->LevelCount() - 1)->PopupKeyDown(int(Key));
    if (Key == VK_ESCAPE && FSkinMenu->LevelCount() == 0) {
        if (InMainMenu)
            CloseMainMenuPopup();
        else if (InMenu)
            SkinMenuClose();
    }
}

bool TbsSkinForm::MenuBarKeyDown(WPARAM Key) {
    TbsSkinMainMenuBar* Bar = FMainMenuBar;
    const int Levels = FSkinMenu->Visible() ? FSkinMenu->LevelCount() : 0;
    if (InMainMenu && Bar) {
        if (Bar->FindAccelItem(Word(Key)))
            return true;
        if (Key == VK_ESCAPE && Levels == 0) {
            LeaveMainMenu();
            return true;
        }
        if (Key == VK_LEFT && Levels <= 1) {
            Bar->SelectPriorItem();
            return true;
        }
        if (Key == VK_RIGHT) {
            bool RowHasSubmenu = false;
            if (Levels > 0) {
                TbsSkinPopupWindow* Last = FSkinMenu->Levels(Levels - 1);
                const int Row = Last->ActiveItem;
                RowHasSubmenu = Row >= 0 && Row < Last->ItemCount() && Last->Items(Row)->MenuItem->Count() > 0;
            }
            if (!RowHasSubmenu) {
                Bar->SelectNextItem();
                return true;
            }
        }
    }
    if (Key == VK_RETURN || Key == VK_DOWN) {
        if (Bar && Bar->OpenActiveItem())
            return true;
        if (Levels > 0)
            FSkinMenu->Levels(Levels - 1)->PopupKeyDown(int(Key));
        return true;
    }
    return false;
}

void TbsSkinForm::LeaveMainMenu() {
    InMainMenu = false;
    if (FSkinMenu->Visible())
        FSkinMenu->Hide();
    if (FMainMenuBar)
        FMainMenuBar->LeaveMenuMode();
    UnhookAppMessages();
    if (OnMainMenuExit)
        OnMainMenuExit(this);
}

void TbsSkinForm::CloseMainMenuPopup() {
    InMenu = false;
    if (FMainMenuBar)
        FMainMenuBar->ReleaseDownItem();
    if (OnSkinMenuClose)
        OnSkinMenuClose(this);
}

// Alt alone or F10: the menu bar's keyboard menu mode starts, or ends when it runs.
void TbsSkinForm::KeyMenu() {
    if (InMainMenu) {
        LeaveMainMenu();
        return;
    }
    if (FSkinMenu->Visible())
        FSkinMenu->Hide();
    else if (InMenu)
        SkinMenuClose();
    if (FMainMenuBar)
        FMainMenuBar->EnterMenuMode();
}

// ---------------------------------------------------------------------------------------------
// System and tray menus

TMenuItem* TbsSkinForm::SystemMenuItem(const String& Name, const String& Key, const String& Caption,
                                       TNotifyEvent Click) {
    auto* Item = new TMenuItem(this);
    Item->SetName(Name);
    TbsResourceStrData* Strings = FSD ? FSD->ResourceStrData() : nullptr;
    Item->SetCaption(Strings ? Strings->GetResStr(Key) : Caption);
    Item->OnClick = std::move(Click);
    return Item;
}

namespace {

void FreeItems(TMenuItem* Parent) {
    while (Parent->Count() > 0) {
        TMenuItem* Item = Parent->Items(Parent->Count() - 1);
        Parent->Delete(Parent->Count() - 1);
        delete Item;
    }
}

} // namespace

void TbsSkinForm::BuildBuiltInSystemMenu() {
    TMenuItem* Root = FSysMenu->Items();
    FreeItems(Root);
    const bool Min = FWindowState == wsMinimized, Max = FWindowState == wsMaximized;
    const bool RolledUp = FRollUpState;
    if (FBorderIcons.Contains(TbsBorderIcon::biMinimize) && !Min)
        Root->Add(SystemMenuItem(u"BSF_MINITEM", u"MI_MINCAPTION", u"Mi&nimize", [this](TObject*) {
            if (FAlwaysMinimizeToTray)
                MinimizeToTray();
            else
                SetWindowState(wsMinimized);
        }));
    if (FBorderIcons.Contains(TbsBorderIcon::biMaximize) && !Max)
        Root->Add(SystemMenuItem(u"BSF_MAXITEM", u"MI_MAXCAPTION", u"Ma&ximize",
                                 [this](TObject*) { SetWindowState(wsMaximized); }));
    if (FWindowState != wsNormal || RolledUp)
        Root->Add(SystemMenuItem(u"BSF_RESTORE", u"MI_RESTORECAPTION", u"&Restore", [this](TObject*) {
            if (MaxRollUpState || (FRollUpState && FWindowState == wsNormal))
                SetRollUpState(false);
            else
                SetWindowState(wsNormal);
        }));
    if (FBorderIcons.Contains(TbsBorderIcon::biRollUp) && !RolledUp && !Min && !IsMaximizedMDIChild())
        Root->Add(
            SystemMenuItem(u"BSF_ROLLUP", u"MI_ROLLUPCAPTION", u"Ro&llUp", [this](TObject*) { SetRollUpState(true); }));
    if (FBorderIcons.Contains(TbsBorderIcon::biMinimizeToTray))
        Root->Add(SystemMenuItem(u"BSF_MINTOTRAY", u"MI_MINTOTRAYCAPTION", u"Minimize to &Tray",
                                 [this](TObject*) { MinimizeToTray(); }));
    if (Root->Count() > 0) {
        auto* Line = new TMenuItem(this);
        Line->SetCaption(u"-");
        Root->Add(Line);
    }
    TMenuItem* Close =
        SystemMenuItem(u"BSF_CLOSE", u"MI_CLOSECAPTION", u"&Close", [this](TObject*) { FForm->Close(); });
    Close->SetShortCut(IsMDIChild() ? TextToShortCut(u"Ctrl+F4") : TextToShortCut(u"Alt+F4"));
    Root->Add(Close);
}

void TbsSkinForm::BuildSystemMenu() {
    if (!FUseDefaultSysMenu || !FSystemMenu)
        return;
    TMenuItem* Root = FSystemMenu->Items();
    for (const char16_t* Name :
         {u"BSF_MINITEM", u"BSF_MAXITEM", u"BSF_CLOSE", u"BSF_MINTOTRAY", u"BSF_ROLLUP", u"BSF_RESTORE"})
        for (int I = Root->Count() - 1; I >= 0; --I)
            if (Root->Items(I)->Name() == Name) {
                TMenuItem* Item = Root->Items(I);
                Root->Delete(I);
                delete Item;
            }
    // The built-in menu's items in the built-in order, the application's items after them, close last.
    BuildBuiltInSystemMenu();
    TMenuItem* Built = FSysMenu->Items();
    std::vector<TMenuItem*> Commands;
    TMenuItem* Close = nullptr;
    while (Built->Count() > 0) {
        TMenuItem* Item = Built->Items(0);
        Built->Delete(0);
        if (Item->Name() == u"BSF_CLOSE")
            Close = Item;
        else if (Item->IsLine())
            delete Item;
        else
            Commands.push_back(Item);
    }
    for (int I = int(Commands.size()) - 1; I >= 0; --I)
        Root->Insert(0, Commands[std::size_t(I)]);
    if (Close)
        Root->Add(Close);
}

TMenuItem* TbsSkinForm::GetSystemMenuItems() {
    if (FSystemMenu) {
        BuildSystemMenu();
        return FSystemMenu->Items();
    }
    BuildBuiltInSystemMenu();
    return FSysMenu->Items();
}

void TbsSkinForm::BuildTrayMenu() {
    TMenuItem* Root = FSysTrayMenu->Items();
    Root->Add(SystemMenuItem(u"TRAY_BSF_RESTORE", u"MI_RESTORECAPTION", u"&Restore",
                             [this](TObject*) { RestoreFromTray(); }));
    auto* Line = new TMenuItem(this);
    Line->SetCaption(u"-");
    Root->Add(Line);
    TMenuItem* Close =
        SystemMenuItem(u"TRAY_BSF_CLOSE", u"MI_CLOSECAPTION", u"&Close", [this](TObject*) { FForm->Close(); });
    Close->SetShortCut(IsMDIChild() ? TextToShortCut(u"Ctrl+F4") : TextToShortCut(u"Alt+F4"));
    Root->Add(Close);
}

void TbsSkinForm::PopupSystemMenu(int X, int Y) {
    PopupSystemMenuAtRect(TRect{X, Y, X, Y});
}

void TbsSkinForm::PopupSystemMenuAtRect(const TRect& R) {
    TbsSkinForm* Target = this;
    if (IsMDIChild()) {
        Target = nullptr;
        if (Application && Application->MainForm())
            for (int I = 0; I < Application->MainForm()->ComponentCount() && !Target; ++I)
                Target = dynamic_cast<TbsSkinForm*>(Application->MainForm()->Components(I));
        if (!Target)
            return;
    }
    TMenuItem* Items = GetSystemMenuItems();
    Target->SkinMenuOpen();
    Target->SkinMenu()->Popup(nullptr, Target->MenuSkin(), 0, R, Items, false);
}

void TbsSkinForm::ShowSystemMenuFromButton() {
    for (auto& O : ObjectList) {
        bool SysMenu = false;
        if (auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get()))
            SysMenu = S->Command == cmSysMenu;
        else if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get()))
            SysMenu = A->Command == cmSysMenu;
        if (!SysMenu || !O->Enabled)
            continue;
        TPoint Off = WindowToScreenOffset();
        TRect R = O->ObjectRect;
        OffsetRect(R, Off.X, Off.Y);
        PopupSystemMenuAtRect(R);
        return;
    }
}
