// ListViews: the list view TCustomListView / TListView with its columns and items, over the header control
// of HeaderControl.h.
//
// The list view shows its items in report, list, icon or small-icon view; in report view a header child
// is created with the window, so a parent watching WM_PARENTNOTIFY sees it come. It answers the
// platform's list-view messages that the skinned view reads (count per page, item rectangles, scrolling,
// label editing, image lists), keeps its scroll state in its window's bars, and reports every row that
// gains or loses the selection (from code too), the rows losing it first. It can keep its rows sorted,
// show check boxes or state pictures, hot-track the row under the mouse, and let custom-draw handlers
// colour or draw rows and cells.
#pragma once

#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/HeaderControl.h"

#include <memory>
#include <vector>

// ---------------------------------------------------------------------------------------------
// The list view's messages

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr UINT LVM_GETSUBITEMRECT = LVM_FIRST + 56;
constexpr UINT LVM_SETCOLUMNORDERARRAY = LVM_FIRST + 58;
constexpr UINT LVM_GETCOLUMNORDERARRAY = LVM_FIRST + 59;
constexpr UINT LVM_EDITLABELW = LVM_FIRST + 118;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
constexpr UINT LVHT_ONITEM = 0x000E;

struct LVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

// ---------------------------------------------------------------------------------------------
// TCustomListView

class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TItemChange { ctText, ctImage, ctState };
enum TItemRequestItem { irText, irImage, irParam, irState, irIndent };
using TItemRequest = TSet<TItemRequestItem, 5>;
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
// What keeps the rows sorted: a change of caption (stText), of data (stData) or of either (stBoth).
enum TSortType { stNone, stData, stText, stBoth };

class TListColumn {
public:
    explicit TListColumn(TCustomListView* AOwner) : FOwner(AOwner) {}
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    // 0 sets no limit; the user cannot drag the column wider.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Index() const;

private:
    friend class TCustomListView;
    TCustomListView* FOwner;
    String FCaption;
    int FWidth = 50;
    int FMinWidth = 0;
    int FMaxWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

class TListItem {
public:
    TListItem(TListItems* AOwner);
    ~TListItem();
    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    int Index() const;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TStrings* SubItems() const { return FSubItems.get(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The picture of StateImages shown left of the icon; -1 for none. Check boxes are states 0
    // (clear) and 1 (ticked).
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    bool Checked() const;
    void SetChecked(bool Value);
    void* Data() const { return FData; }
    void SetData(void* Value);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    // Copies caption, sub-items, image and data (not the selection).
    void Assign(TListItem* Source);
    void Delete();
    TRect DisplayRect(TDisplayCode Code) const;
    TPoint Position() const;
    int Top() const { return Position().Y; }
    int Left() const { return Position().X; }
    void MakeVisible(bool PartialOK);
    bool EditCaption();
    void Update();

private:
    friend class TCustomListView;
    friend class TListItems;
    // Field := Value, asked for (OnChanging) and reported (OnChange) as Change; false when refused or
    // the same.
    template <class T> bool ChangeValue(T& Field, const T& Value, TItemChange Change);
    TListItems* FOwner;
    String FCaption;
    std::unique_ptr<TStringList> FSubItems;
    int FImageIndex = -1;
    int FStateIndex = -1;
    void* FData = nullptr;
    int FIndex = 0; // the row it stands for (owner data: the row being fetched)
};

class TListItems {
public:
    explicit TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}
    ~TListItems();
    TCustomListView* Owner() const { return FOwner; }
    int Count() const;
    // Owner data: the number of rows; the items themselves are asked for with OnData.
    void SetCount(int Value);
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TListItem* Item(int Index) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    int IndexOf(TListItem* Value) const;

private:
    friend class TCustomListView;
    friend class TListItem;
    TCustomListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
    mutable std::unique_ptr<TListItem> FTemp; // the owner-data item handed out
    int FOwnerCount = 0;
    int FUpdateCount = 0;
};

using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataFindEvent =
    std::function<void(TObject* Sender, TItemFind Find, const String& FindString, const TPoint& FindPosition,
                       void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, String& S)>;

// How a row is shown when custom drawing is asked about it.
enum TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot };
using TCustomDrawState = TSet<TCustomDrawStateItem, 7>;
// The handlers draw on the view's Canvas. Clearing DefaultDraw leaves the area to them; otherwise the
// font and brush colour they leave on the canvas are the ones the row or cell is drawn with.
using TLVCustomDrawEvent = std::function<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    std::function<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent = std::function<void(TCustomListView* Sender, TListItem* Item, int SubItem,
                                                     TCustomDrawState State, bool& DefaultDraw)>;
// Compare < 0 puts Item1 first.
using TLVCompareEvent =
    std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;

class TCustomListView : public TWinControl {
    QV_CLASS_NAME(TCustomListView)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListItems* Items() const { return FItems.get(); }
    int ColumnCount() const { return int(FColumns.size()); }
    TListColumn* Columns(int Index) const { return FColumns.at(std::size_t(Index)).get(); }
    TListColumn* AddColumn();
    void DeleteColumn(int Index);
    void ClearColumns();

    TViewStyle ViewStyle() const { return FViewStyle; }
    virtual void SetViewStyle(TViewStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool Value) { FColumnClick = Value; }
    // The user may drag the header's sections into another order; the columns keep their indexes and
    // are shown in that order.
    bool FullDrag() const { return FFullDrag; }
    void SetFullDrag(bool Value);
    // The column shown at each place, left to right.
    const std::vector<int>& ColumnOrder() const { return FColumnOrder; }
    // False, changing nothing, unless Value names every column once.
    bool SetColumnOrder(const std::vector<int>& Value);
    bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool Value);
    TSortType SortType() const { return FSortType; }
    // Any type but stNone sorts the rows at once.
    void SetSortType(TSortType Value);
    // Sorts the rows by OnCompare, or by their captions ignoring case; the selection and focus go with
    // their rows. False, sorting nothing, for an owner-data view (its rows are not its own), when called
    // from its own comparison, or when the comparison added or deleted rows.
    bool AlphaSort();
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    // A check box before every row, ticked and cleared by a click on it or by the space bar; each
    // change is reported as a ctState change.
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);
    // The row under the mouse is shown in the hot colour, and resting on it selects it.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);

    // -1 without a selected row; setting a value outside -1..Count-1 clears the selection.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TListItem* Selected() const;
    void SetSelected(TListItem* Value);
    int SelCount() const;
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* Value);
    void ClearSelection();
    void SelectAll();
    bool IsSelected(int Index) const;
    void SetRowSelected(int Index, bool Value);

    TListItem* TopItem();
    int VisibleRowCount() const;
    TListItem* GetItemAt(int X, int Y);
    int IndexAt(int X, int Y) const;
    // Scrolls by pixels (report and list views by whole rows or columns).
    void Scroll(int DX, int DY);
    TRect ItemRect(int Index, TDisplayCode Code) const;
    TRect SubItemRect(int Index, int SubItem) const;
    // Where a row's check box or state picture goes; empty without either.
    TRect StateRect(int Index) const;
    bool IsEditing() const { return FEditor != nullptr; }
    // The header window in report view, null otherwise.
    HWND HeaderHandle() const { return FHeader; }
    TCanvas* Canvas() const { return FCanvas.get(); }

    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVOwnerDataEvent OnData;
    TLVOwnerDataFindEvent OnDataFind;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVCompareEvent OnCompare;
    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    // Report view: every cell, 0 being the caption's.
    TLVCustomDrawSubItemEvent OnCustomDrawSubItem;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(HDC DC) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    virtual void Change(TListItem* Item, TItemChange Change);
    virtual bool CanChange(TListItem* Item, TItemChange Change);
    virtual void ColClick(TListColumn* Column);
    virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
    virtual int OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                              int StartIndex, TSearchDirection Direction, bool Wrap);
    virtual bool CanEdit(TListItem* Item);
    // The end of label editing: the row and the text, or Cancelled.
    virtual void Edit(int Index, const String& Text, bool Cancelled);

private:
    friend class TListItems;
    friend class TListItem;
    friend class TListColumn;
    struct TLayout;
    TLayout Layout() const;
    TListItem* FetchItem(int Index) const;
    int Count() const;
    void ItemsChanged(bool ScrollToo = true);
    void ItemInserted(int Index);
    void ItemDeleted(int Index);
    void UpdateScrollBars();
    void ColumnsChanged();
    // Where a column starts, from the start of a row.
    int ColumnLeft(int Column) const;
    void SyncHeader();
    void CreateHeader();
    void SetTop(int Top, int XOff);
    void MakeVisible(int Index);
    void SetFocusedIndex(int Index);
    void SetHot(int Index);
    // Selects exactly Wanted (or changes one row) with the events in order; false when vetoed.
    void ApplySelection(const std::vector<char>& Wanted);
    void SelectRow(int Index, bool Shift, bool Ctrl, bool ByMouse);
    void BeginEdit(int Index);
    void EndEdit(bool Commit);
    int FindCaption(const String& Prefix, int Start);
    void PaintItem(HDC DC, int Index, const TLayout& L);
    struct TRowPaint;
    void PaintReportRow(TRowPaint& R);
    void PaintListRow(TRowPaint& R);
    void PaintIconRow(TRowPaint& R);
    void CNNotify(TMessage& Message);
    void WMScroll(TMessage& Message, bool Vert);
    bool NativeWndProc(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMScrollBar(TMessage& Message);
    void WheelScroll(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMFocusChange(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMFreeEditor(TMessage& Message);
    void LVMGetTopIndex(TMessage& Message);
    void LVMGetItemRect(TMessage& Message);
    void LVMGetSubItemRect(TMessage& Message);
    void LVMColumnOrderArray(TMessage& Message);
    void LVMScroll(TMessage& Message);
    void LVMEnsureVisible(TMessage& Message);
    void LVMRedrawItems(TMessage& Message);
    void LVMSetItemCount(TMessage& Message);
    void LVMGetNextItem(TMessage& Message);
    void LVMHitTest(TMessage& Message);
    void LVMEditLabel(TMessage& Message);
    void LVMSetImageList(TMessage& Message);
    void SetImageList(TCustomImageList*& List, HIMAGELIST& Handle, TCustomImageList* Value);
    // A row's sort key changed: sorts now, or once the label editing or the items' update has ended.
    void SortChanged(bool Key);
    void PaintState(HDC DC, int Index, TListItem* Item);
    // Runs a custom-draw handler with the canvas on DC in Look and Back, and takes back what it leaves
    // there; false when the handler drew by itself.
    bool CustomDrawStep(HDC DC, TFont& Look, TColor& Back, const std::function<void(bool&)>& Event);
    TListItem* ItemAt(int Index) const;

    std::unique_ptr<TListItems> FItems;
    std::vector<std::unique_ptr<TListColumn>> FColumns;
    std::vector<int> FColumnOrder;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<char> FSel;
    int FFocused = -1;
    int FAnchor = -1;
    int FTop = 0;  // the first row (report, list: first row of the first column) or pixel offset (icons)
    int FXOff = 0; // report: pixels scrolled sideways
    TViewStyle FViewStyle = vsIcon;
    bool FMultiSelect = false;
    bool FRowSelect = false;
    bool FGridLines = false;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FShowColumnHeaders = true;
    bool FColumnClick = true;
    bool FFullDrag = false;
    TSortType FSortType = stNone;
    bool FSorting = false;
    bool FSortPending = false;
    std::uint64_t FItemsVersion = 0; // counts rows inserted and deleted, so a sort sees them change
    bool FOwnerData = false;
    bool FInScroll = false;
    TCustomImageList* FSmallImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    HIMAGELIST FSmallHandle = nullptr;
    HIMAGELIST FLargeHandle = nullptr;
    HIMAGELIST FStateHandle = nullptr;
    bool FCheckboxes = false;
    bool FHotTrack = false;
    int FHot = -1; // the row under the mouse
    HWND FHeader = nullptr;
    TWinControl* FEditor = nullptr;
    int FEditIndex = -1;
    int FPressedLabel =
        -1; // a press on the label of the row already chosen: it is edited unless a double click follows
    TTypeAhead FTypeAhead;
};

class TListView : public TCustomListView {
    QV_CLASS_NAME(TListView)
public:
    using TCustomListView::TCustomListView;
};
