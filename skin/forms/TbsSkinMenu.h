// The skinned popup menus: the menu stack every skinned menu of a form opens through (one per form-skinning
// component), the popup menu component applications and controls place, and the test of the window messages
// that close an open menu.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"

class TbsSkinPopupWindow;
class TbsSkinMenuItem;

// Sent to the control that opened a menu (and by Hide to the form): the menu closed; after a command ran.
constexpr UINT WM_SKINMENUCLOSED = WM_USER + 204;  // 1228
constexpr UINT WM_SKINMENUCOMMAND = WM_USER + 205; // 1229

// WM_MOVE, WM_SIZE, WM_ACTIVATE, WM_KILLFOCUS, WM_CANCELMODE, WM_MOUSEACTIVATE, the non-client and client
// button presses and WM_PARENTNOTIFY close an open menu of the form.
bool IsMenuCloseMessage(UINT Msg);

class TbsSkinMenu : public TComponent {
    QV_CLASS_NAME(TbsSkinMenu)
public:
    TbsSkinMenu(TComponent* AOwner, TCustomForm* AForm);
    ~TbsSkinMenu() override;

    void Popup(TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* AItem,
               bool PopupUp);
    void Popup2(TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* AItem,
                TMenuItem* AItem2, bool PopupUp);
    void Hide();
    void ActivateMenuItem(TbsSkinPopupWindow* Window, TbsSkinMenuItem* Item, bool Kb, bool Click);
    void CloseLevels(int FromLevel);
    int IndexOfWindow(TbsSkinPopupWindow* Window) const;
    int LevelCount() const { return int(FPopupList.size()); }
    TbsSkinPopupWindow* Levels(int Index) const { return FPopupList.at(std::size_t(Index)).get(); }
    // A closed window asks to be freed once its own message has been handled.
    void FreeClosedWindow(TbsSkinPopupWindow* Window);

    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool First() const { return FFirst; }
    int DefaultMenuItemHeight() const { return FDefaultMenuItemHeight; }
    void SetDefaultMenuItemHeight(int Value) { FDefaultMenuItemHeight = Value; }
    TFont* DefaultMenuItemFont() const { return FDefaultMenuItemFont.get(); }
    void SetDefaultMenuItemFont(TFont* Value) { FDefaultMenuItemFont->Assign(Value); }
    bool Visible() const { return FVisible; }
    TCustomForm* Form() const { return FForm; }

    TControl* PopupCtrl = nullptr;
    TControl* DCtrl = nullptr;
    std::unique_ptr<TTimer> WaitTimer;
    TbsSkinMenuItem* WItem = nullptr;
    TRect WorkArea;
    TbsSkinData* SkinData = nullptr;
    TNotifyEvent OnMenuClose;
    bool AlphaBlend = false;
    Byte AlphaBlendValue = 150;
    bool AlphaBlendAnimation = false;
    int MaxMenuItemsInWindow = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TRect GetWorkArea();
    void AddPopupWindow(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                        bool PopupUp, bool Two);
    void WaitTimerTick();
    void StopWait();
    void RunCommand(TMenuItem* Item);
    // Watches the control told of the menu's end, so that a freed control is never told.
    void SetPopupCtrl(TControl* Value);

    bool FUseSkinFont = true;
    bool FFirst = false;
    int FDefaultMenuItemHeight = 20;
    std::unique_ptr<TFont> FDefaultMenuItemFont;
    TCustomForm* FForm;
    bool FVisible = false;
    std::vector<std::unique_ptr<TbsSkinPopupWindow>> FPopupList;
    // Closed levels, freed once their own messages have run.
    std::vector<std::unique_ptr<TbsSkinPopupWindow>> FClosedList;
};

class TbsSkinPopupMenu : public TPopupMenu {
    QV_CLASS_NAME(TbsSkinPopupMenu)
public:
    explicit TbsSkinPopupMenu(TComponent* AOwner);

    void Popup(int X, int Y) override;
    // For a control that hears when the menu closes; nothing opens without skin data.
    void Popup2(TControl* ACtrl, int X, int Y);
    void PopupFromRect(const TRect& R, bool APopupUp);
    void PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp);

    TPoint PopupPoint() const { return FPopupPoint; }
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    TCustomForm* ComponentForm() const { return FComponentForm; }
    void SetComponentForm(TCustomForm* Value);
    TComponent* SkinComponent() const { return FSkinComponent; }
    void SetSkinComponent(TComponent* Value);

    TNotifyEvent OnMenuClose;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DoPopupEx(TControl* ACtrl, const TRect& R, bool APopupUp, bool NeedSkinData);
    TComponent* FindSkinForm();

    TPoint FPopupPoint{-1, -1};
    TbsSkinData* FSD = nullptr;
    TCustomForm* FComponentForm = nullptr;
    TComponent* FSkinComponent = nullptr;
};

// Opens the skinned popup menu for the skinned controls from now on.
void RegisterSkinPopupMenuService();
