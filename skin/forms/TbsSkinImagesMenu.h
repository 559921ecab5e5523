// The images menu: a drop-down picker showing the images of an image list as a grid of cells, with full-row
// button items and section headers between them, in a skinned popup window that never takes the focus. The
// user picks a cell with the mouse or the keys; the menu keeps the chosen index and fires its events. Skinned
// buttons own one and show the selected item's image and caption.
#pragma once

#include <memory>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "skin/controls/bsSkinMenuServices.h"
#include "skin/core/bsSkinData.h"

class TbsSkinHint;
class TbsSkinImagesMenu;
class TbsSkinImagesMenuPopupWindow;

class TbsImagesMenuItems : public TOwnedCollection {
public:
    explicit TbsImagesMenuItems(TbsSkinImagesMenu* AImagesMenu);
    TbsImagesMenuItem* Items(int Index) const { return ItemsAs<TbsImagesMenuItem>(Index); }
    TbsImagesMenuItem* Add() { return static_cast<TbsImagesMenuItem*>(TCollection::Add()); }
};

class TbsSkinImagesMenu : public TbsCustomImagesMenu {
    QV_CLASS_NAME(TbsSkinImagesMenu)
public:
    explicit TbsSkinImagesMenu(TComponent* AOwner);
    ~TbsSkinImagesMenu() override;

    // Against the empty rectangle at the screen point; against the screen rectangle R (below it, or above it
    // near the work area's bottom). Nothing opens without images or without items.
    void Popup(int X, int Y);
    void PopupFromRect(const TRect& R) override;
    // Closes an open grid without events.
    void Hide();
    // The grid closed: the window goes, then the close events and, with AProcessEvents, the chosen item's.
    void CloseUp(bool AProcessEvents);

    TbsImagesMenuItem* GetSelectedItem() override;
    TCustomImageList* Images() const override { return FImages; }
    void SetImages(TCustomImageList* Value);
    TbsImagesMenuItems* ImagesItems() const { return FImagesItems.get(); }
    void SetImagesItems(TbsImagesMenuItems* Value) { FImagesItems->Assign(Value); }
    int ItemIndex() const override { return FItemIndex; }
    void SetItemIndex(int Value) { FItemIndex = Value; }
    int ColumnsCount() const { return FColumnsCount; }
    // Only 1 to 50.
    void SetColumnsCount(int Value);
    TbsSkinData* SkinData() const { return FSkinData; }
    void SetSkinData(TbsSkinData* Value);
    bool ShowSelectedItem() const { return FShowSelectedItem; }
    void SetShowSelectedItem(bool Value) { FShowSelectedItem = Value; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte Value) { FAlphaBlendValue = Value; }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TbsSkinHint* SkinHint() const { return FSkinHint; }
    void SetSkinHint(TbsSkinHint* Value);
    bool ShowHints() const { return FShowHints; }
    void SetShowHints(bool Value) { FShowHints = Value; }
    // The open grid, or null.
    TbsSkinImagesMenuPopupWindow* PopupWindow() const { return FPopupWindow.get(); }

    TNotifyEvent OnItemClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnMenuClose;
    TNotifyEvent OnMenuPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TbsImagesMenuItems> FImagesItems;
    int FItemIndex = -1;
    int FColumnsCount = 1;
    TbsSkinData* FSkinData = nullptr;
    std::unique_ptr<TbsSkinImagesMenuPopupWindow> FPopupWindow;
    // A closed grid, kept until its own message handler has returned.
    std::unique_ptr<TbsSkinImagesMenuPopupWindow> FClosedWindow;
    bool FShowSelectedItem = true;
    int FOldItemIndex = -1;
    bool FAlphaBlend = false;
    bool FAlphaBlendAnimation = false;
    Byte FAlphaBlendValue = 200;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    TbsSkinHint* FSkinHint = nullptr;
    bool FShowHints = true;
};

class TbsSkinImagesMenuPopupWindow : public TCustomControl {
    QV_CLASS_NAME(TbsSkinImagesMenuPopupWindow)
public:
    explicit TbsSkinImagesMenuPopupWindow(TbsSkinImagesMenu* AMenu);
    ~TbsSkinImagesMenuPopupWindow() override;

    void Show(const TRect& PopupRect);
    void Hide(bool AProcessEvents);
    void Dispatch(TMessage& Message) override;
    // The keys of the open grid (virtual-key codes).
    void ProcessKey(int KeyCode);
    // The first non-header item whose rectangle holds the point (right and bottom edges included), or -1.
    int GetItemFromPoint(const TPoint& P) const;

    bool FSkinSupport = false;
    TMessageEvent OldAppMessage;
    TbsSkinImagesMenu* ImagesMenu;
    HRGN FRgn = nullptr;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewItemsRect;
    TBitmap* WindowPicture = nullptr;
    TBitmap* MaskPicture = nullptr;
    int MouseInItem = -1;
    int OldMouseInItem = -1;
    bool FDown = false;
    bool FItemDown = false;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    TbsDataSkinPopupWindow* PopupData() const;
    bool CheckSkinSupport() const;
    void CalcItemRects();
    void CalcSize();
    void FadeIn();
    void HookAppMessages();
    void UnhookAppMessages();
    void AppMessage(MSG& Msg, bool& Handled);
    void HideHint();
    void SetMouseInItem(int Index);
    int ItemCount() const;
    TbsImagesMenuItem* Item(int Index) const;
    void DrawHeader(TCanvas* C, TbsImagesMenuItem* I);
    void DrawCellFrame(TCanvas* C, const TRect& R, bool Pressed);
    void DrawButtonCaption(TCanvas* C, TbsImagesMenuItem* I, TRect R, bool Pressed, bool Hover, bool ImageDrawn);

    bool FHooked = false;
    // Cut when the window goes, so that a fade or a pending hint started for it never runs on.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
