// Edits: the platform's edit window and the class library's edit and memo controls.
//
// TCustomEdit is both the native edit window and its wrapper, as TButton is for buttons: the wrapper's
// handlers run in Dispatch, the edit window's own procedure in DefaultHandler, so a wrapper's OnKeyDown
// that clears the key, or a subclass that swallows a message, also stops the edit's action.
//
// Three kinds of window come from the styles:
// - single line (no ES_MULTILINE): one line, scrolled horizontally to keep the caret in view;
// - one line of a multi-line window (ES_MULTILINE without ES_AUTOVSCROLL), the window the skinned edits
//   make: it never wraps and never holds a line break;
// - multi-line (ES_MULTILINE with ES_AUTOVSCROLL), the memo: lines, wrapping unless ES_AUTOHSCROLL is set,
//   vertical scrolling.
// Line breaks given to a window that holds one line become spaces, so none hides inside its text.
//
// Every change of the text sends EN_CHANGE to the parent (WM_COMMAND) and runs the wrapper's Change
// (CN_COMMAND to itself, then OnChange). Cut, copy, paste, clear and undo always travel as WM_CUT,
// WM_COPY, WM_PASTE, WM_CLEAR and WM_UNDO sent to the window, also from the keyboard. The clipboard keys
// act on the key press (not on the control characters they type), so a wrapper that filters typed
// characters keeps copying and selecting working. A read-only window (ES_READONLY) keeps the caret,
// selection, navigation, copying and select-all, and refuses every change the user or a message could
// make; code still sets its text.
//
// Colours come from WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when read-only or disabled) sent to the parent,
// then, when the parent leaves it unanswered, CN_CTLCOLOREDIT (CN_CTLCOLORSTATIC) performed on the control:
// the brush answered fills the background and the DC's text colour draws the text. The stock NULL_BRUSH
// (or WS_EX_TRANSPARENT) makes the window transparent: it paints its parent's background behind the text
// when it erases, and draws only its text when painting.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

#include <algorithm>

#include <memory>
#include <vector>

// Edit styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;

// Edit messages.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;

// EM_SETMARGINS flags.
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// Notifications in WM_COMMAND's high word.
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

// The colour queries as the control receives them from itself.
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---------------------------------------------------------------------------------------------
// TCustomEdit

class TCustomEdit : public TWinControl {
    QV_CLASS_NAME(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Focus by Tab or code selects the whole text of a single-line edit (a click places the caret
    // instead); a multi-line window, the one-line kind included, keeps its selection.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // bsSingle: the sunken frame; bsNone: none.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    // Also converts the text there is.
    void SetCharCase(TEditCharCase Value);
    // The selection shows only while the control has the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Characters the user may enter (typing and pasting); 0: no limit. Text set by code is not cut.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Shown instead of every character; 0: the text itself.
    Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(Char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Set by every change the user makes, cleared when code sets the text.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Kept for the forms that set it: text is Unicode here, so there is no OEM code page to pass through.
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { FOEMConvert = Value; }

    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    String SelText();
    // Replaces the selection (code may change a read-only edit).
    void SetSelText(const String& Value);
    void SelectAll();
    void ClearSelection() { SendMessageW(Handle(), WM_CLEAR, 0, 0); }
    void CopyToClipboard() { SendMessageW(Handle(), WM_COPY, 0, 0); }
    void CutToClipboard() { SendMessageW(Handle(), WM_CUT, 0, 0); }
    void PasteFromClipboard() { SendMessageW(Handle(), WM_PASTE, 0, 0); }
    bool CanUndo() { return SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0; }
    void Undo() { SendMessageW(Handle(), WM_UNDO, 0, 0); }
    void ClearUndo() { SendMessageW(Handle(), EM_EMPTYUNDOBUFFER, 0, 0); }
    void Clear() { SetText(String()); }

    // The horizontal scroll offset of the text in pixels, and the first line shown (multi-line).
    int ScrollX() const { return FScrollX; }
    int TopLine() const { return FTopLine; }
    // The caret's place in client coordinates while the control has the focus.
    TPoint CaretPos();
    bool CaretShown() const { return FCaretShown && FCaretOn; }

    TNotifyEvent OnChange;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();
    void DoEnter() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

    // The class library's handlers of Dispatch.
    void WMSetText(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CNCommand(TMessage& Message);
    void CNCtlColor(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    // The native edit's own procedure (run from DefaultHandler); true when it took the message.
    bool NativeWndProc(TMessage& Message);
    // Its handlers, one per message it takes.
    bool EdGetText(TMessage& Message);
    bool EdGetDlgCode(TMessage& Message);
    bool EdKeyDown(TMessage& Message);
    bool EdChar(TMessage& Message);
    bool EdSetFocus();
    bool EdKillFocus();
    bool EdTimer(TMessage& Message);
    bool EdLButtonDown(TMessage& Message);
    bool EdLButtonDblClk(TMessage& Message);
    bool EdMouseMove(TMessage& Message);
    bool EdLButtonUp();
    bool EdMouseWheel(TMessage& Message);
    bool EdVScroll(TMessage& Message);
    bool EdHScroll(TMessage& Message);
    bool EdSize();
    bool EdSetFont(TMessage& Message);
    bool EdCopy();
    bool EdCut();
    bool EdClear();
    bool EdPaste();
    bool EdUndo(TMessage& Message);
    bool EdEmptyUndoBuffer();
    bool EdGetSel(TMessage& Message);
    bool EdSetSel(TMessage& Message);
    bool EdReplaceSel(TMessage& Message);
    bool EdSetReadOnly(TMessage& Message);
    bool EdSetPasswordChar(TMessage& Message);
    bool EdSetMargins(TMessage& Message);
    bool EdSetRect(TMessage& Message);
    bool EdGetRect(TMessage& Message);
    bool EdScrollCaret();
    bool EdLineScroll(TMessage& Message);
    bool EdLineIndex(TMessage& Message);
    bool EdLineLength(TMessage& Message);
    bool EdGetLine(TMessage& Message);
    bool EdPosFromChar(TMessage& Message);
    bool EdCharFromPos(TMessage& Message);

    // Text positions of the window: index of a character in the text (line breaks are "\r\n").
    // One row of the window: a line, or a part of a wrapped line.
    struct TRow {
        int Start = 0;  // first character
        int Length = 0; // characters shown (without the line break)
        int Next = 0;   // first character of the next row
        int Width = 0;  // pixels
    };
    const std::vector<TRow>& Rows();
    int RowOf(int Pos);
    DWORD EditStyle() const;
    bool IsMultiLine() const { return (EditStyle() & ES_MULTILINE) != 0; }
    // One line only: single-line windows and the one-line multi-line mode.
    bool HoldsOneLine() const;
    bool WordWraps() const;
    // Puts Value in place of the selection as the user would (limit, case, line breaks); false when
    // nothing could be inserted.
    // ByUser: the limit applies and the edit becomes modified; Undoable: the change can be undone;
    // Typing: consecutive typed characters are undone together.
    bool ReplaceSelection(String Value, bool ByUser, bool Undoable, bool Typing = false);
    void SetSel(int Anchor, int Caret, bool Scroll = true);
    // Where the caret is: the end of the selection that moves.
    int CaretIndex() const { return FCaret; }
    void NotifyChange();

    String FUndoText;
    bool FCanUndo = false;

private:
    friend class TMemoStrings;
    // Selection and caret.
    int SelMin() const { return std::min(FAnchor, FCaret); }
    int SelMax() const { return std::max(FAnchor, FCaret); }
    void MoveCaret(int Pos, bool Extend);
    int WordLeft(int Pos);
    int WordRight(int Pos);
    void SelectWordAt(int Pos);
    // Text changes.
    String Sanitize(const String& Value) const;
    void SaveUndo(bool Typing);
    void DoUndo();
    void TextChanged(int ChangedFrom);
    // Layout.
    // The layout from the line holding character ChangedFrom on must be made again.
    void InvalidateLayout(int ChangedFrom = 0);
    void Relayout();
    TRect FormatRect();
    int LineHeight();
    HDC MeasureDC();
    String ShownText(int Start, int Length);
    std::vector<int> Extents(int Start, int Length);
    int XOfPos(int Pos);
    int RowOffset(const TRow& R);
    int PrevPos(int Pos);
    int NextPos(int Pos);
    int PosFromPoint(int X, int Y);
    void ScrollCaretIntoView();
    void ClampScroll();
    void ShowScrollState(int AAvail);
    int VisibleLines();
    // Painting.
    bool Transparent();
    HBRUSH QueryColors(HDC DC);
    void PaintParentBackground(HDC DC);
    void PaintText(HDC DC, bool FillBackground);
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    // Input.
    bool EditKeyDown(WPARAM Key);
    bool EditChar(Char C);
    void ShowCaret(bool Show);
    void ResetBlink();

    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    Char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    TAlignment FAlignment = taLeftJustify;
    bool FOEMConvert = false;
    bool FClickFocus = false;
    bool FChangeTold = false;

    int FAnchor = 0;
    int FCaret = 0;
    int FUndoAnchor = 0;
    int FUndoCaret = 0;
    bool FTypingRun = false;
    int FScrollX = 0;
    int FTopLine = 0;
    int FGoalX = -1;
    int FLeftMargin = 1;
    int FRightMargin = 1;
    bool FHasFormatRect = false;
    TRect FFormatRect;
    bool FDragging = false;
    bool FWordDrag = false;
    bool FCaretShown = false;
    bool FCaretOn = true;
    bool FLayoutValid = false;
    int FDirtyFrom = 0;
    std::vector<TRow> FRows;
    HDC FMeasureDC = nullptr;
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = clNone;
};

// The masked edit of the class library without masks, which none of this system's forms uses: the
// skinned edits derive from it.
using TCustomMaskEdit = TCustomEdit;

// ---------------------------------------------------------------------------------------------
// TEdit

class TEdit : public TCustomEdit {
    QV_CLASS_NAME(TEdit)
public:
    using TCustomEdit::TCustomEdit;
};

// ---------------------------------------------------------------------------------------------
// TCustomMemo: the multi-line edit with its text as Lines.

class TCustomMemo : public TCustomEdit {
    QV_CLASS_NAME(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    // The text's lines (not the wrapped rows); changing them changes the text, with OnChange.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Enter types a line break (else it is left to the form's default button).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab types a tab (else it moves the focus).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // The caret as column and line.
    TPoint CaretPosition();

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void WMGetDlgCode(TMessage& Message);

    std::unique_ptr<TStrings> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
    QV_CLASS_NAME(TMemo)
public:
    using TCustomMemo::TCustomMemo;
};
