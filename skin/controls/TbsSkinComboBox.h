// The skinned combo box: the selected item (or, in edit style, an inner edit) and a drop-down button,
// painted from the skin's "combobox" record or in the default look, over a drop-down that is a skinned
// list box in a popup window. The combo box keeps no list of its own: Items and ItemIndex are the
// drop-down's.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "skin/controls/TbsCustomEdit.h"
#include "skin/controls/TbsSkinComboBoxBase.h"
#include "skin/controls/TbsSkinListBox.h"

enum TbsSkinCustomComboBoxStyle { bscbEditStyle, bscbFixedStyle };

// The drop-down: a skinned list box in a popup window that never takes activation or focus; it may
// fade in as a layered window.
class TbsPopupListBox : public TbsSkinListBox {
    QV_CLASS_NAME(TbsPopupListBox)
public:
    explicit TbsPopupListBox(TComponent* AOwner);

    // Shows the window at Origin (screen coordinates) without activating it.
    void Show(TPoint Origin);
    void Hide();

    bool FOldAlphaBlend = false;
    BYTE FOldAlphaBlendValue = 0;
    // Steps applied by the last fade-in (the number of times the alpha rose).
    int FadeSteps = 0;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void ApplyAlphaBlend();
    void FadeIn();
};

class TbsSkinCustomComboBox : public TbsSkinComboBoxBase {
    QV_CLASS_NAME(TbsSkinCustomComboBox)
public:
    explicit TbsSkinCustomComboBox(TComponent* AOwner);
    ~TbsSkinCustomComboBox() override;

    TStrings* Items() const { return FListBox->Items(); }
    void SetItems(TStrings* Value) { FListBox->SetItems(Value); }
    int ItemIndex() const { return FListBox->ItemIndex(); }
    void SetItemIndex(int Value);
    TbsSkinCustomComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TbsSkinCustomComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    // Values of 0 or less are ignored.
    void SetDropDownCount(int Value);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    void SetDefaultColor(TColor Value);
    // Turning it on also forces the fixed style and UseSkinSize off.
    void SetToolButtonStyle(bool Value);

    // Passed through to the drop-down.
    bool Sorted() const { return FListBox->Sorted(); }
    void SetSorted(bool Value) { FListBox->SetSorted(Value); }
    bool HorizontalExtent() const { return FListBox->HorizontalExtent(); }
    void SetHorizontalExtent(bool Value) { FListBox->SetHorizontalExtent(Value); }
    TCustomImageList* Images() const { return FListBox->Images(); }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FListBox->ImageIndex(); }
    void SetImageIndex(int Value);
    TStrings* TabWidths() const { return FListBox->TabWidths(); }
    void SetTabWidths(TStrings* Value) { FListBox->SetTabWidths(Value); }
    const String& ListBoxCaption() const { return FListBox->Caption(); }
    void SetListBoxCaption(const String& Value) { FListBox->SetCaption(Value); }
    bool ListBoxCaptionMode() const { return FListBox->CaptionMode(); }
    void SetListBoxCaptionMode(bool Value) { FListBox->SetCaptionMode(Value); }
    TAlignment ListBoxCaptionAlignment() const { return FListBox->Alignment(); }
    void SetListBoxCaptionAlignment(TAlignment Value) { FListBox->SetAlignment(Value); }
    TFont* ListBoxDefaultFont() const { return FListBox->DefaultFont(); }
    void SetListBoxDefaultFont(TFont* Value) { FListBox->DefaultFont()->Assign(Value); }
    TFont* ListBoxDefaultCaptionFont() const { return FListBox->DefaultCaptionFont(); }
    void SetListBoxDefaultCaptionFont(TFont* Value) { FListBox->SetDefaultCaptionFont(Value); }
    int ListBoxDefaultItemHeight() const { return FListBox->DefaultItemHeight(); }
    void SetListBoxDefaultItemHeight(int Value) { FListBox->SetDefaultItemHeight(Value); }
    bool ListBoxUseSkinFont() const { return FListBox->UseSkinFont(); }
    void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
    bool ListBoxUseSkinItemHeight() const { return FListBox->UseSkinItemHeight(); }
    void SetListBoxUseSkinItemHeight(bool Value) { FListBox->SetUseSkinItemHeight(Value); }

    // The inner edit's selection; 0 and no effect without an inner edit.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);

    // Opens the drop-down (nothing with no items).
    void DropDown() override;
    // Closes it; Value true accepts the list's selection.
    void CloseUp(bool Value) override;
    bool IsPopupVisible() const override;
    // The combo box as it would look showing AText, drawn on C at X, Y.
    void PaintSkinTo(TCanvas* C, int X, int Y, const String& AText);

    // Installed as the inner edit's window procedure.
    virtual void EditWndProc(TMessage& Message);
    // Makes and wires the inner edit.
    virtual void CreateEditControl();
    // Called after a selection or text change; empty here.
    virtual void Change() {}

    void Invalidate() override;
    void ChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void SetControlRegion() override;

    // The tab stops of TabWidths: at most ten, a line that is not all digits counting as 0.
    static std::vector<int> TabStops(TStrings* TabWidths);

    // The drop-down and the inner edit (null in fixed style).
    TbsPopupListBox* ListBox() const { return FListBox; }
    TbsCustomEdit* Edit() const { return FEdit; }

    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;
    TbsDrawSkinItemEvent OnListBoxDrawItem;
    TbsDrawSkinItemEvent OnComboBoxDrawItem;

    void Dispatch(TMessage& Message) override;

    bool FNumEdit = false;
    TEditCharCase FCharCase = ecNormal;
    DWORD FLastTime = 0;
    String FFilter;
    bool FAutoComplete = true;
    TbsSkinCustomComboBoxStyle FStyle = bscbFixedStyle;
    int FDropDownCount = 8;
    TWndMethod FListBoxWindowProc;
    TWndMethod FEditWindowProc;
    TbsPopupListBox* FListBox = nullptr;
    TbsCustomEdit* FEdit = nullptr;
    bool FromEdit = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void WMEraseBkgnd(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);

    // Places the button, the item area and the inner edit.
    void CalcRects() override;
    void DrawToolButtonItem(TCanvas* C, const TRect& T, const String* AText) override;
    // The drop-down's inner list: its window procedure and hot tracking.
    void DropDownListWndProc(TMessage& Message);
    void DropDownListMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // The text search of the fixed style and the completion of the edit style.
    void FindItemByText(Char C);
    void FindItemByEditText();
    void EditChange(TObject* Sender);
    void EditCancelMode(TControl* C);

private:
    friend class TbsPopupListBox;
    bool IsCJKCharset() const;
    // Whether a released key typed a character (only those complete the edit's text).
    static bool KeyTypesCharacter(WPARAM Key);
    // The tail that the last completion selected: deleted on a key release with a CJK charset only while
    // it is still the selection.
    int FCompletedStart = -1;
    int FCompletedLength = 0;
    // A control of the drop-down (the list, its bars, the inner list) or the combo box itself.
    bool IsOwnControl(const TControl* C) const;
    void ProcessListBox();
    void StartTimer();
    void StopTimer();
    // List-only moves and moves through the setter.
    void ListSelect(int Index);
    void EditMove(bool Next, bool Accept);
    void ApplyEditFont();
    int ShownItemIndex() const;
    // Painting.
    void DrawDefaultItem(TCanvas* C);
    void DrawSkinItem(TCanvas* C);
    void DrawResizeItem(TCanvas* C);
    void DrawItemContent(TCanvas* C, int Index, TRect TxtRect, int W, int H, const String* AText);
    void DrawTabbedItemText(TCanvas* C, const String& S, const TRect& R);
    void DrawItemBitmap(TCanvas* C, TBitmap& Bmp);
    void DrawSkinFrame(TBitmap* B);
    bool FrameHot();
};

class TbsSkinComboBox : public TbsSkinCustomComboBox {
    QV_CLASS_NAME(TbsSkinComboBox)
public:
    using TbsSkinCustomComboBox::TbsSkinCustomComboBox;
};
