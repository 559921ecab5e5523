// ComboBoxes: the class library's standard combo box in the classic look.
//
// Three styles: csDropDown (an edit and a drop-down list), csDropDownList (the selected item and a
// drop-down list; typing searches the items) and csSimple (an edit over a list that is always shown).
// The drop-down is a popup window that never takes the focus: it opens below the combo box (above it
// when the work area ends first), hot-tracks the mouse, and closes on a click of an item (accepted), a
// click anywhere else, Escape (not accepted), Enter, F4 or Alt+Up (the highlighted item accepted), and
// when the combo box loses the focus.
//
// Events, in order:
// - the user selects an item (a click in the list, Enter, the arrow keys, typed search, the wheel): the
//   text becomes the item, then OnClick, then OnSelect when assigned, else OnChange; they run only when
//   the selection changed;
// - opening: OnDropDown before the list is sized and shown; closing: OnCloseUp after it is hidden and
//   after the selection events;
// - typing in the edit: OnChange for every change (completion included in the same change);
// - ItemIndex and Text set by code fire nothing.
// The items live in the list, a list box window; so does the selection while the list is closed. An
// index outside the items, given to ItemIndex or CB_SETCURSEL, clears the selection (the message answers
// CB_ERR).
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Edits.h"
#include "platform/ui/ListBoxes.h"

// Combo box messages, results and notifications.
constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_ERR = -1;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TCustomComboBox;

// The combo box's list: a list box window that holds the items. For the drop-down styles it is a popup
// that never takes the focus and whose selection is the highlighted row while it is open; for csSimple a
// child under the edit that shows the selection.
class TComboListBox : public TCustomListBox {
    QV_CLASS_NAME(TComboListBox)
public:
    explicit TComboListBox(TCustomComboBox* ACombo);

    // The highlighted row (-1: none); setting it scrolls it into view.
    int HotIndex() { return ItemIndex(); }
    void SetHotIndex(int Value);
    int VisibleRows();
    // A press on the combo box that may end in the list: the list takes the mouse from here on.
    void StartTracking();

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    friend class TCustomComboBox;
    // Moves the list (with its items) between the popup and the child under the edit.
    void SetPopup(bool Value);
    // Font and row height follow the combo box.
    void FollowCombo();
    bool OnScrollBar(TPoint ClientPt);
    void TrackScrollBar(TPoint ClientPt);
    void PopupMouse(TMessage& Message);
    void LbItemsChanged(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMMouseMove(TMessage& Message);

    TCustomComboBox* FCombo;
    bool FPopup = true;
    bool FTracking = false;
    bool FWasInList = false;
    bool FInScrollBar = false;
};

class TCustomComboBox : public TWinControl {
    QV_CLASS_NAME(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FList->Items(); }
    void SetItems(TStrings* Value) { FList->Items()->Assign(Value); }
    // The chosen item: while the list is open, the one chosen before it opened.
    int ItemIndex();
    // Selects an item (and shows its text); -1, or an index outside the items, clears the selection.
    void SetItemIndex(int Value);
    // The edit's text; in csDropDownList the selected item's, and setting selects the matching item.
    String Text();
    void SetText(const String& Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = std::max(Value, 1); }
    int ItemHeight();
    void SetItemHeight(int Value);
    bool Sorted() const;
    void SetSorted(bool Value);
    // Typing in the edit completes the first item it begins.
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Width of the drop-down; 0: the combo box's.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = std::max(Value, 0); }
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    String SelText();
    void SelectAll();
    // The inner edit (csDropDown and csSimple) and the list.
    TCustomEdit* EditControl() const { return FEdit; }
    TComboListBox* ListControl() const { return FList; }

    // The drop-down styles keep the height of one item field.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void DropDown();
    // Closes the drop-down; Accept takes the highlighted item.
    void CloseUp(bool Accept);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    void Dispatch(TMessage& Message) override;
    // The combo box window's own keys: the list's keys and typed search.
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();
    virtual void Select();
    void PaintWindow(HDC DC) override;

private:
    friend class TComboListBox;
    friend class TComboEdit;
    // The list's items changed by Msg (its index argument and result): the chosen item of an open list
    // stays with its item, as the list's own selection does.
    void ItemsChanged(UINT Msg, int Index, LRESULT Result);
    void SelectIndex(int Value);
    // A selection the user made: the text, then OnClick and OnSelect or OnChange.
    void UserSelect(int Index);
    // The keys the combo box and its edit share; true when taken.
    bool NavigationKey(Word Key, TShiftState Shift);
    void EditChanged();
    void TypedSearch(Char Key);
    void Layout();
    TRect ButtonRect();
    TRect FieldRect();
    int FindPrefix(const String& Prefix, int After);
    void ShowEditText(const String& Value);
    LRESULT ComboMessage(TMessage& Message, bool& Handled);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WheelSelect(TMessage& Message);
    void CMFontOrEnabledChanged(TMessage& Message);
    LRESULT CbInsertString(TMessage& Message);
    LRESULT CbDeleteString(TMessage& Message);
    LRESULT CbResetContent();
    LRESULT CbGetCurSel();
    LRESULT CbSetCurSel(TMessage& Message);
    LRESULT CbGetLbText(TMessage& Message);
    LRESULT CbFindStringExact(TMessage& Message);
    LRESULT CbSelectString(TMessage& Message);
    LRESULT CbShowDropDown(TMessage& Message);
    LRESULT CbSetItemHeight(TMessage& Message);
    LRESULT CbSetItemData(TMessage& Message);
    LRESULT CbLimitText(TMessage& Message);
    LRESULT CbSetEditSel(TMessage& Message);
    LRESULT CbSetDroppedWidth(TMessage& Message);

    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FItemHeight = 0;
    int FFieldHeight = 0;
    bool FAutoComplete = true;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    int FDropDownWidth = 0;
    TCustomEdit* FEdit = nullptr;
    TComboListBox* FList = nullptr;
    bool FDropped = false;
    bool FClosing = false;
    int FDroppedIndex = -1;
    bool FSettingText = false;
    bool FCompleting = false;
    bool FTypedChar = false;
    TTypeAhead FTypeAhead;
};

class TComboBox : public TCustomComboBox {
    QV_CLASS_NAME(TComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};
