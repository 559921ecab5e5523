// ListBoxes: the platform's list box window class ("LISTBOX") and the class library's TCustomListBox and
// TListBox over it.
//
// The window holds the strings, their data, the selection (single, multiple or extended), the caret and
// anchor, the top row and the scroll state of its bars; it paints its rows (or asks its parent with
// WM_DRAWITEM when owner-drawn) and turns the user's clicks and keys into selection changes, which it
// tells its parent with LBN_SELCHANGE (LBS_NOTIFY). Changes made with messages are never notified.
// TCustomListBox keeps its strings while it has no window, passes its own messages to the window's
// procedure, and runs Click only for the user's changes. An index outside the list given to ItemIndex
// clears the selection of a single-selection list, as -1 does (in a multiple-selection list ItemIndex is
// the caret row, which such an index leaves where it is); Selected raises EListError for a row that does
// not exist.
#pragma once

#include "platform/ui/Controls.h"

// List box styles.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NOSEL = 0x4000;

// List box messages.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_SELITEMRANGEEX = 0x0183;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_GETSELITEMS = 0x0191;
constexpr UINT LB_SETTABSTOPS = 0x0192;
constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
constexpr UINT LB_SETCOLUMNWIDTH = 0x0195;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SELITEMRANGE = 0x019B;
constexpr UINT LB_SETANCHORINDEX = 0x019C;
constexpr UINT LB_GETANCHORINDEX = 0x019D;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_INITSTORAGE = 0x01A8;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;

// Notifications (WM_COMMAND, high word of wParam).
constexpr WORD LBN_ERRSPACE = WORD(-2);
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;

// The window procedure of the "LISTBOX" class (registered on first use; also the default handler of
// TCustomListBox's windows).
LRESULT ListBoxWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void RegisterListBoxClass();

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault };
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 6>;

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TCustomListBox;

// The strings of a list box: held by the window while it exists, else by the list box.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* AListBox) : FListBox(AListBox) {}
    int Add(const String& S) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const String& S) override;
    int IndexOf(const String& S) const override;
    int Count() const override;

protected:
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    // Between BeginUpdate and EndUpdate the window draws nothing; it is drawn whole at the end.
    void SetUpdateState(bool Updating) override;

private:
    TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
    QV_CLASS_NAME(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void Clear() { FItems->Clear(); }
    int Count() const { return FItems->Count(); }

    // -1 for none; a value outside -1..Count-1 clears the selection (see above for several selected).
    int ItemIndex();
    void SetItemIndex(int Value);
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int SelCount();
    int TopIndex();
    void SetTopIndex(int Value);
    void SelectAll();
    void ClearSelection();

    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }
    TCanvas* Canvas() const { return FCanvas.get(); }

    // The row under a client point; -1 when Existing and the point lies below the last row.
    int ItemAtPos(const TPoint& Pos, bool Existing);
    TRect ItemRect(int Index);

    TDrawItemEvent OnDrawItem;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // The native control's procedure (run from DefaultHandler); true when it took the message.
    bool NativeWndProc(TMessage& Message);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);

private:
    friend class TListBoxStrings;
    struct TSavedItem {
        String Text;
        TObject* Data = nullptr;
    };
    void CNDrawItem(TMessage& Message);
    void SavedRowInserted(int Index);
    void SavedRowDeleted(int Index);

    std::unique_ptr<TListBoxStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<TSavedItem> FSaved; // the strings while there is no window
    std::vector<bool> FSavedSel;
    int FSavedIndex = -1;
    int FSavedTop = 0;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    int FColumns = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    bool FIntegralHeight = false;
};

class TListBox : public TCustomListBox {
    QV_CLASS_NAME(TListBox)
public:
    using TCustomListBox::TCustomListBox;
};
