// The office combo box: shows the selected office row (image, bold title, text) and drops down an office
// list in a popup window. It keeps no rows of its own: Items, ItemIndex and Images are the drop-down's.
// Painted from the skin's "combobox" record, in a default look, or as a tool button (the main window's
// category and profile choosers).
#pragma once

#include "skin/controls/TbsSkinComboBoxBase.h"
#include "skin/controls/TbsSkinListBox.h"
#include "skin/controls/TbsSkinOfficeListBox.h"

class TbsSkinCustomOfficeComboBox : public TbsSkinComboBoxBase, public TbsOfficeDropDownOwner {
    QV_CLASS_NAME(TbsSkinCustomOfficeComboBox)
public:
    explicit TbsSkinCustomOfficeComboBox(TComponent* AOwner);
    ~TbsSkinCustomOfficeComboBox() override;

    TbsSkinOfficeItems* Items() const { return FListBox->Items(); }
    void SetItems(TbsSkinOfficeItems* Value) { FListBox->SetItems(Value); }
    int ItemIndex() const { return FListBox->ItemIndex(); }
    // Selects through the drop-down, then OnClick and OnChange, on every write (not while loading).
    void SetItemIndex(int Value);
    TCustomImageList* Images() const { return FListBox->Images(); }
    void SetImages(TCustomImageList* Value);
    int DropDownCount() const { return FDropDownCount; }
    // Negative values are ignored.
    void SetDropDownCount(int Value);
    int ListBoxHeight() const { return FListBoxHeight; }
    void SetListBoxHeight(int Value) { FListBoxHeight = Value; }
    // Turning it on also turns UseSkinSize off.
    void SetToolButtonStyle(bool Value);
    bool ShowItemTitle() const { return FShowItemTitle; }
    void SetShowItemTitle(bool Value);
    bool ShowItemImage() const { return FShowItemImage; }
    void SetShowItemImage(bool Value);
    bool ShowItemText() const { return FShowItemText; }
    void SetShowItemText(bool Value);
    void SetDefaultColor(TColor Value);

    // Passed through to the drop-down.
    TFont* ListBoxDefaultFont() const { return FListBox->DefaultFont(); }
    void SetListBoxDefaultFont(TFont* Value) { FListBox->DefaultFont()->Assign(Value); }
    bool ListBoxUseSkinFont() const { return FListBox->UseSkinFont(); }
    void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
    bool ListBoxShowItemTitles() const { return FListBox->ShowItemTitles(); }
    void SetListBoxShowItemTitles(bool Value) { FListBox->SetShowItemTitles(Value); }
    const String& ListBoxSkinDataName() const { return FListBox->SkinDataName(); }
    void SetListBoxSkinDataName(const String& Value) { FListBox->SetSkinDataName(Value); }
    bool ListBoxShowLines() const { return FListBox->ShowLines(); }
    void SetListBoxShowLines(bool Value) { FListBox->SetShowLines(Value); }
    int ListBoxItemHeight() const { return FListBox->ItemHeight(); }
    void SetListBoxItemHeight(int Value) { FListBox->SetItemHeight(Value); }
    int ListBoxHeaderHeight() const { return FListBox->HeaderHeight(); }
    void SetListBoxHeaderHeight(int Value) { FListBox->SetHeaderHeight(Value); }

    // Fires OnChange.
    virtual void Change();
    // Opens the drop-down (nothing without rows).
    void DropDown() override;
    // Closes it; Value true accepts the drop-down's selection.
    void CloseUp(bool Value) override;
    bool IsPopupVisible() const override;
    // The combo box as it looks now, showing AText as the item's text, drawn on C at X, Y.
    void PaintSkinTo(TCanvas* C, int X, int Y, const String& AText);

    void Invalidate() override;
    void ChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void SetControlRegion() override;
    void Dispatch(TMessage& Message) override;

    TbsPopupOfficeListBox* ListBox() const { return FListBox; }

    // What the drop-down asks of its owner.
    bool DropDownAlphaBlend() const override { return FAlphaBlend; }
    bool DropDownAlphaBlendAnimation() const override { return FAlphaBlendAnimation; }
    BYTE DropDownAlphaBlendValue() const override { return FAlphaBlendValue; }
    void DropDownFadeStarts() override { FLBDown = false; }

    TbsDrawSkinOfficeItemEvent OnDrawItem;
    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;

    bool FShowItemTitle = true;
    bool FShowItemImage = true;
    bool FShowItemText = true;
    int FDropDownCount = 7;
    int FListBoxHeight = 0;
    TbsPopupOfficeListBox* FListBox = nullptr;
    TWndMethod FListBoxWindowProc;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void DropDownListWndProc(TMessage& Message);
    void DrawToolButtonItem(TCanvas* C, const TRect& T, const String* AText) override;

private:
    void WMEraseBkgnd(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    // The drop-down's selection made the combo box's, unless the rows were cleared under it.
    void CommitListIndex();
    void StartTimer(int Mode);
    void StopTimer();
    void TrackDrag();
    bool Hot();
    int ShownItemIndex() const;

    void PaintImage(TBitmap* B, const String* AText);
    void DrawItemContent(TCanvas* C, int Index, TRect T, const String* AText, bool WithTitle);
    void DrawSkinFrame(TBitmap* B);
    void DrawDefaultItem(TCanvas* C, const String* AText);
    void DrawSkinItem(TCanvas* C, TBitmap* Frame, const String* AText);
    void DrawResizeItem(TCanvas* C, TBitmap* Frame, const String* AText);
};

class TbsSkinOfficeComboBox : public TbsSkinCustomOfficeComboBox {
    QV_CLASS_NAME(TbsSkinOfficeComboBox)
public:
    using TbsSkinCustomOfficeComboBox::TbsSkinCustomOfficeComboBox;
};
