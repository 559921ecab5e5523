// The skinned main menu and the menu bar that shows it: one object per top-level item across the form's top,
// each opening its submenu through the form's skinned menu stack; keyboard menu mode together with the form
// component (Alt or F10, arrows, accelerators), a marker that pops the items that do not fit, merging with the
// active MDI child's main menu, and that child's system buttons while it is maximized.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/forms/TbsMenuBarObject.h"
#include "skin/forms/TbsSkinForm.h"

class TbsSkinForm;

// A main menu carrying the skin its menus open in from the form's caption menu buttons.
class TbsSkinMainMenu : public TMainMenu {
    QV_CLASS_NAME(TbsSkinMainMenu)
public:
    explicit TbsSkinMainMenu(TComponent* AOwner) : TMainMenu(AOwner) {}

    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);

    TbsSkinForm* BSF = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TbsSkinData* FSD = nullptr;
};

using TbsItemEnterEvent = std::function<void(TMenuItem* Item)>;
using TbsItemLeaveEvent = std::function<void(TMenuItem* Item)>;

class TbsSkinMainMenuBar : public TbsSkinControl {
    QV_CLASS_NAME(TbsSkinMainMenuBar)
public:
    explicit TbsSkinMainMenuBar(TComponent* AOwner);
    ~TbsSkinMainMenuBar() override;

    TMainMenu* MainMenu() const { return FMainMenu; }
    void SetMainMenu(TMainMenu* Value);
    TbsSkinForm* SkinForm() const { return BSF; }
    void SetSkinForm(TbsSkinForm* Value);
    bool ScrollMenu() const { return FScrollMenu; }
    void SetScrollMenu(bool Value) { FScrollMenu = Value; }
    bool PopupToUp() const { return FPopupToUp; }
    void SetPopupToUp(bool Value) { FPopupToUp = Value; }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TFont* DefItemFont() const { return FDefItemFont.get(); }
    void SetDefItemFont(TFont* Value) { FDefItemFont->Assign(Value); }
    int DefaultWidth() const { return FDefaultWidth; }
    // Applied at once to a bar without a skin record.
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);

    void CreateMenu();
    void UpDateItems();
    void UpDateEnabledItems();
    void Merge(TMainMenu* Menu);
    void UnMerge();
    TMainMenu* GetChildMainMenu();

    // Keyboard menu mode, driven by the form component.
    void EnterMenuMode();
    void LeaveMenuMode();
    void ReleaseDownItem();
    bool FindAccelItem(Word Key);
    void SelectNextItem();
    void SelectPriorItem();
    bool OpenActiveItem();
    void MDIChildMaximized();
    void MDIChildRestored();

    // Redraws one object (the whole bar when the skin's items are transparent).
    void DrawObject(TbsMenuBarObject* Obj);
    void CalcItemsRect();
    void TestActive(int X, int Y);
    TRect GetMarkerRect() const;
    void PopupHiddenItems();
    int ObjectCount() const { return int(ObjectList.size()); }
    TbsMenuBarObject* Objects(int Index) const { return ObjectList.at(std::size_t(Index)).get(); }
    // The item of a top-level menu item, or null.
    TbsSkinMainMenuBarItem* ItemOf(const TMenuItem* MenuItem) const;

    void GetSkinData() override;
    void ChangeSkinData() override;
    void BeforeChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;

    TbsItemEnterEvent OnItemMouseEnter;
    TbsItemLeaveEvent OnItemMouseLeave;

    bool FSkinSupport = false;
    int ButtonsCount = 0;
    bool FMDIChildMax = false;
    bool MenuActive = false;
    bool Scroll = false;
    bool MarkerActive = false;
    std::unique_ptr<TTimer> MouseTimer;
    std::unique_ptr<TTimer> MorphTimer;
    std::unique_ptr<TTimer> AnimateTimer;
    int ActiveObject = -1;
    int OldActiveObject = -1;
    int MouseCaptureObject = -1;
    TRect NewItemsRect;
    TMainMenu* FMergeMenu = nullptr;
    TRect SkinRect;
    TRect ItemsRect;
    String MenuBarItem;
    String MaxButton;
    String MinButton;
    String SysMenuButton;
    String CloseButton;
    TColor TrackMarkColor = 0;
    TColor TrackMarkActiveColor = 0;
    TBitmap* Picture = nullptr;
    bool StretchEffect = false;
    bool ItemTransparent = false;
    std::vector<std::unique_ptr<TbsMenuBarObject>> ObjectList;
    bool ChildMenuIn = false;

protected:
    void Paint() override {}
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    void WMEraseBkgnd(TMessage& Message);
    void WMMove(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMCheckParentBackground(TMessage& Message);
    void WMReleaseSysMenuButton(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    void PaintBar(HDC DC);
    void DrawMarker(TCanvas* C);
    void ClearObjects();
    void CreateSystemButtons();
    void SetButtonsEnabled(const TbsBorderIcons& Icons);
    void ReleaseSysMenuButton();
    void MouseTimerTick();
    void MorphTimerTick();
    void AnimateTimerTick();
    // Items that are enabled and fit, in bar order.
    std::vector<TbsSkinMainMenuBarItem*> SelectableItems() const;
    TForm* MaximizedChild() const;
    bool TransparentBar() const;

    bool FScrollMenu = true;
    std::unique_ptr<TFont> FDefItemFont;
    bool FUseSkinFont = true;
    bool FPopupToUp = false;
    TbsSkinForm* BSF = nullptr;
    TMainMenu* FMainMenu = nullptr;
    int FDefaultWidth = 0;
    int FDefaultHeight = 22;
    // Objects are rebuilt from their own handlers (a command may change the menu): the old ones go at the
    // next rebuild or with the bar.
    std::vector<std::unique_ptr<TbsMenuBarObject>> FRetired;
};
