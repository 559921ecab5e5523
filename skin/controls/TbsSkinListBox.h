// The skinned list box: a frame and an optional caption bar (a text, a glyph and the Up, Down and Check
// buttons) drawn from the "listbox" record, around an owner-drawn inner list that holds the strings, the
// selection and the list's keys and mouse. The inner list draws every row from the same record; its own
// scroll bars never show, skinned scroll bars mirror its scroll state instead. The inner list's events reach
// the outer control through virtual operations, which the drop-down list and the file lists override.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/ImgList.h"
#include "platform/ui/ListBoxes.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/TbsSkinScrollBar.h"

// Owner drawing of a row: the row bitmap's canvas, the row, the bitmap's size, the text area and the state.
using TbsDrawSkinItemEvent =
    std::function<void(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State)>;

// A small button of a combo box, edit or list box caption: its rectangle in client coordinates, whether
// the mouse is over it and whether it is pressed.
struct TbsCBButtonX {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

// The item or edit area of a combo box, in client coordinates, and its state (odFocused while the combo
// box has the focus).
struct TbsCBItem {
    TRect R;
    TOwnerDrawState State;
};

// Frames of a caption glyph strip: 1, or 2 with the disabled look second.
using TbsSkinPanelNumGlyphs = int;

class TbsSkinCustomListBox;

// The inner list: a platform list box without frame, native bars or non-client area, drawing its rows
// through the owning skinned list box and telling it of its events.
class TbsListBox : public TListBox {
    QV_CLASS_NAME(TbsListBox)
public:
    explicit TbsListBox(TComponent* AOwner);

    // Pixels by which the rows are drawn shifted left (the horizontal bar's position).
    int HorizontalExtentValue() const { return FHorizontalExtentValue; }
    void SetHorizontalExtentValue(int Value) { FHorizontalExtentValue = Value; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void PaintWindow(HDC DC) override;
    // The selection changed by the user, or the owner's Check button: the owner hears it first.
    void Click() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    int FHorizontalExtentValue = 0;
    TbsSkinCustomListBox* SkinListBox = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;

private:
    void WMMouseWheel(TMessage& Message);
    void PaintBackground(HDC DC, const TRect& R);
    TOwnerDrawState RowState(int Index);
};

class TbsSkinCustomListBox : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinCustomListBox)
public:
    explicit TbsSkinCustomListBox(TComponent* AOwner);
    ~TbsSkinCustomListBox() override;

    // The inner list's.
    TStrings* Items() const { return ListBox->Items(); }
    void SetItems(TStrings* Value);
    int ItemIndex() const { return ListBox->ItemIndex(); }
    void SetItemIndex(int Value) { ListBox->SetItemIndex(Value); }
    int TopIndex() const { return ListBox->TopIndex(); }
    void SetTopIndex(int Value) { ListBox->SetTopIndex(Value); }
    bool Selected(int Index) const { return ListBox->Selected(Index); }
    void SetSelected(int Index, bool Value) { ListBox->SetSelected(Index, Value); }
    int SelCount() const { return ListBox->SelCount(); }
    bool MultiSelect() const { return ListBox->MultiSelect(); }
    void SetMultiSelect(bool Value) { ListBox->SetMultiSelect(Value); }
    bool ExtandedSelect() const { return ListBox->ExtendedSelect(); }
    void SetExtandedSelect(bool Value) { ListBox->SetExtendedSelect(Value); }
    bool Sorted() const { return ListBox->Sorted(); }
    void SetSorted(bool Value);
    int Columns() const { return ListBox->Columns(); }
    void SetColumns(int Value);
    TFont* ListBoxFont() const { return ListBox->Font(); }
    void SetListBoxFont(TFont* Value) { ListBox->SetFont(Value); }
    int ListBoxTabOrder() const { return ListBox->TabOrder(); }
    void SetListBoxTabOrder(int Value) { ListBox->SetTabOrder(Value); }
    bool ListBoxTabStop() const { return ListBox->TabStop(); }
    void SetListBoxTabStop(bool Value) { ListBox->SetTabStop(Value); }
    TPopupMenu* ListBoxPopupMenu() const { return ListBox->PopupMenu(); }
    void SetListBoxPopupMenu(TPopupMenu* Value) { ListBox->SetPopupMenu(Value); }
    TCanvas* ListBoxCanvas() const { return ListBox->Canvas(); }

    bool UseSkinItemHeight() const { return FUseSkinItemHeight; }
    void SetUseSkinItemHeight(bool Value) { FUseSkinItemHeight = Value; }
    bool HorizontalExtent() const { return FHorizontalExtent; }
    void SetHorizontalExtent(bool Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    // A height below 1 is refused.
    void SetDefaultItemHeight(int Value);
    TStrings* TabWidths() const { return FTabWidths.get(); }
    void SetTabWidths(TStrings* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    // The caption bar.
    bool CaptionMode() const { return FCaptionMode; }
    void SetCaptionMode(bool Value);
    bool ShowCaptionButtons() const { return FShowCaptionButtons; }
    void SetShowCaptionButtons(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    void SetDefaultCaptionHeight(int Value);
    TFont* DefaultCaptionFont() const { return FDefaultCaptionFont.get(); }
    void SetDefaultCaptionFont(TFont* Value) { FDefaultCaptionFont->Assign(Value); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TbsSkinPanelNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TbsSkinPanelNumGlyphs Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void Clear();
    int ItemAtPos(const TPoint& Pos, bool Existing) { return ListBox->ItemAtPos(Pos, Existing); }
    TRect ItemRect(int Item) { return ListBox->ItemRect(Item); }
    // The control's height for that many rows.
    int CalcHeight(int AItemsCount);
    // Which skinned bars exist, and their ranges, from the inner list's state.
    void UpDateScrollBar();

    void GetSkinData() override;
    void ChangeSkinData() override;
    void DefaultFontChanged() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Operations descendants override: the width of a row, and the inner list's events and messages.
    virtual int GetItemWidth(int Index, TCanvas* Canvas);
    virtual void ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ListBoxMouseMove(TShiftState Shift, int X, int Y);
    virtual void ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ListBoxClick();
    virtual void ListBoxDblClick();
    virtual void ListBoxKeyDown(Word& Key, TShiftState Shift);
    virtual void ListBoxKeyUp(Word& Key, TShiftState Shift);
    virtual void ListBoxKeyPress(Char& Key);
    virtual void ListBoxEnter() {}
    virtual void ListBoxExit() {}
    // Runs before the inner list handles any message; Continue false drops the message.
    virtual void ListBoxWndProc(TMessage& Message, bool& Continue) { Continue = true; }
    virtual void ListBoxCreateWnd() {}

    // Draws row Index of the inner list into DC at R.
    void DrawRow(HDC DC, int Index, const TRect& R, TOwnerDrawState State);
    // The inner list's background: clWindow, or the record's client face tiled from R's top-left.
    void PaintListBackground(HDC DC, const TRect& R);

    void Dispatch(TMessage& Message) override;

    TbsDrawSkinItemEvent OnDrawItem;
    TNotifyEvent OnListBoxClick;
    TNotifyEvent OnListBoxDblClick;
    TMouseEvent OnListBoxMouseDown;
    TMouseMoveEvent OnListBoxMouseMove;
    TMouseEvent OnListBoxMouseUp;
    TKeyEvent OnListBoxKeyDown;
    TKeyPressEvent OnListBoxKeyPress;
    TKeyEvent OnListBoxKeyUp;
    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;
    TNotifyEvent OnCheckButtonClick;

    bool FShowCaptionButtons = true;
    std::unique_ptr<TStringList> FTabWidths = std::make_unique<TStringList>();
    bool FUseSkinItemHeight = true;
    bool FHorizontalExtent = false;
    bool FStopUpDateHScrollBar = false;
    int FRowCount = 0;
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    TbsSkinPanelNumGlyphs FNumGlyphs = 1;
    int FSpacing = 2;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    int FDefaultItemHeight = 20;
    int FDefaultCaptionHeight = 20;
    std::unique_ptr<TFont> FDefaultCaptionFont;
    TRect NewClRect; // the record's client rectangle at the control's size
    TRect ListRect;
    bool FCaptionMode = false;
    TAlignment FAlignment = taLeftJustify;
    TbsCBButtonX Buttons[3]; // Up, Down, Check
    int OldActiveButton = -1;
    int ActiveButton = -1;
    int CaptureButton = -1;
    TRect NewCaptionRect;
    int TimerMode = 0; // 0 none, 1 repeating Up, 2 repeating Down
    bool WaitMode = false;
    TbsSkinScrollBar* ScrollBar = nullptr;
    TbsSkinScrollBar* HScrollBar = nullptr;
    TbsListBox* ListBox = nullptr;

    // Copies of the record.
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TRect SItemRect, ActiveItemRect, FocusItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor FocusFontColor = 0;
    TRect CaptionRect;
    String CaptionFontName = u"Arial";
    TFontStyles CaptionFontStyle;
    int CaptionFontHeight = 14;
    TColor CaptionFontColor = 0;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TRect CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect;
    String VScrollBarName = u"vscrollbar";
    String HScrollBarName = u"hscrollbar";
    String BothScrollBarName = u"bothhscrollbar";
    bool ShowFocus = false;
    TRect ButtonsArea, DisabledButtonsRect;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void WMSize(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    // Places the bars and the inner list.
    void CalcRects();

private:
    friend class TbsListBox;
    // Row drawing.
    void DrawDefaultRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State);
    void DrawNinePartRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State);
    void DrawStripRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State);
    void DrawRowContent(TCanvas* C, int Index, const TRect& T);
    void SetRowFont(TCanvas* C, bool Skinned);
    int RowItemHeight() const;
    // Scroll bars.
    void UpdateHorizontalBar();
    void UpdateMainBar();
    void CreateMainBar();
    void CreateHorizontalBar();
    void RemoveMainBar();
    void RemoveHorizontalBar();
    void SkinMainBar();
    void SkinHorizontalBar();
    // The caption bar.
    void DrawDefaultCaption(TBitmap* B);
    void DrawSkinCaption(TBitmap* B);
    void DrawCaptionText(TCanvas* C, const TRect& R, int X, int Y, int GlyphY);
    int CaptionContentWidth(TCanvas* C);
    void DrawButton(TCanvas* C, int I);
    void DrawButtonNow(int I);
    bool ButtonsActive() const { return FCaptionMode && FShowCaptionButtons; }
    void TestActive(int X, int Y);
    void ButtonPress(int I);
    void ButtonRelease(int I);
    TNotifyEvent& ButtonEvent(int I);
    void StepUp();
    void StepDown();
    void StartRepeat(UINT Ms);
    void StopRepeat();
};

class TbsSkinListBox : public TbsSkinCustomListBox {
    QV_CLASS_NAME(TbsSkinListBox)
public:
    using TbsSkinCustomListBox::TbsSkinCustomListBox;
};
