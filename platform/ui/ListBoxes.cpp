// The list box window class and its class-library wrapper.
#include "platform/ui/ListBoxes.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <map>

// ---------------------------------------------------------------------------------------------
// The native list box

namespace {

struct TLbItem {
    String Text;
    ULONG_PTR Data = 0;
    bool Sel = false;
};

struct TLbData {
    HWND Wnd = nullptr;
    DWORD Style = 0;
    bool WantV = false, WantH = false; // made with the bars' styles
    std::vector<TLbItem> Items;
    int Cur = -1; // the selected row of a single-selection list
    int Caret = -1;
    int Anchor = -1;
    int Top = 0;
    int ItemHeight = 16;
    int ColumnWidth = 120;
    int HExtent = 0;
    HFONT Font = nullptr;
    bool Tracking = false;
    bool InScroll = false;
};

std::map<HWND, std::unique_ptr<TLbData>>& Lists() {
    static std::map<HWND, std::unique_ptr<TLbData>> L;
    return L;
}

TLbData* DataOf(HWND h) {
    auto It = Lists().find(h);
    return It == Lists().end() ? nullptr : It->second.get();
}

bool Multi(const TLbData& D) {
    return D.Style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
}
bool MultiColumn(const TLbData& D) {
    return D.Style & LBS_MULTICOLUMN;
}
int Count(const TLbData& D) {
    return int(D.Items.size());
}
bool Valid(const TLbData& D, int I) {
    return I >= 0 && I < Count(D);
}

RECT ClientOf(const TLbData& D) {
    RECT R{};
    GetClientRect(D.Wnd, &R);
    return R;
}

// Whole rows that fit (at least one), per column for several columns.
int RowsPerPage(const TLbData& D) {
    RECT C = ClientOf(D);
    return std::max(1, (C.Bottom - C.Top) / std::max(1, D.ItemHeight));
}

int ColumnsPerPage(const TLbData& D) {
    RECT C = ClientOf(D);
    return std::max(1, (C.Right - C.Left) / std::max(1, D.ColumnWidth));
}

int PerPage(const TLbData& D) {
    return MultiColumn(D) ? RowsPerPage(D) * ColumnsPerPage(D) : RowsPerPage(D);
}

int MaxTop(const TLbData& D) {
    if (MultiColumn(D)) {
        int Rows = RowsPerPage(D);
        int Cols = (Count(D) + Rows - 1) / Rows;
        return std::max(0, Cols - ColumnsPerPage(D)) * Rows;
    }
    return std::max(0, Count(D) - RowsPerPage(D));
}

RECT ItemRectOf(const TLbData& D, int I) {
    RECT C = ClientOf(D);
    if (MultiColumn(D)) {
        int Rows = RowsPerPage(D);
        int Rel = I - D.Top;
        int Col = Rel >= 0 ? Rel / Rows : -((-Rel + Rows - 1) / Rows);
        int Row = Rel - Col * Rows;
        return RECT{Col * D.ColumnWidth, Row * D.ItemHeight, (Col + 1) * D.ColumnWidth, (Row + 1) * D.ItemHeight};
    }
    int Y = (I - D.Top) * D.ItemHeight;
    return RECT{0, Y, C.Right, Y + D.ItemHeight};
}

void Notify(TLbData& D, WORD Code) {
    if (!(D.Style & LBS_NOTIFY))
        return;
    HWND P = GetParent(D.Wnd);
    if (P)
        SendMessageW(P, WM_COMMAND, MAKEWPARAM(int(GetWindowLongPtrW(D.Wnd, GWLP_ID)), Code), LPARAM(D.Wnd));
}

void UpdateScroll(TLbData& D) {
    if (D.InScroll)
        return;
    D.InScroll = true;
    HWND h = D.Wnd;
    UINT Extra = (D.Style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | Extra;
    if (MultiColumn(D)) {
        if (D.WantH) {
            int Rows = RowsPerPage(D);
            int Cols = (Count(D) + Rows - 1) / Rows;
            Si.nMax = std::max(Cols - 1, 0);
            Si.nPage = UINT(ColumnsPerPage(D));
            Si.nPos = D.Top / Rows;
            SetScrollInfo(h, SB_HORZ, &Si, TRUE);
        }
    } else {
        if (D.WantV && IsWindow(h)) {
            Si.nMax = std::max(Count(D) - 1, 0);
            Si.nPage = UINT(RowsPerPage(D));
            Si.nPos = D.Top;
            SetScrollInfo(h, SB_VERT, &Si, TRUE);
        }
        if (D.WantH && IsWindow(h)) {
            RECT C = ClientOf(D);
            Si.nMax = std::max(D.HExtent - 1, 0);
            Si.nPage = UINT(std::max<LONG>(C.Right - C.Left, 0));
            Si.nPos = 0;
            SetScrollInfo(h, SB_HORZ, &Si, TRUE);
        }
    }
    D.InScroll = false;
}

void SetTop(TLbData& D, int Top) {
    Top = std::clamp(Top, 0, MaxTop(D));
    if (MultiColumn(D))
        Top -= Top % RowsPerPage(D);
    if (Top == D.Top)
        return;
    D.Top = Top;
    InvalidateRect(D.Wnd, nullptr, TRUE);
    UpdateScroll(D);
}

void ShowRow(TLbData& D, int I) {
    if (!Valid(D, I))
        return;
    int Page = MultiColumn(D) ? PerPage(D) : RowsPerPage(D);
    if (MultiColumn(D)) {
        int Rows = RowsPerPage(D);
        if (I < D.Top)
            SetTop(D, I - I % Rows);
        else if (I >= D.Top + Page)
            SetTop(D, (I / Rows - ColumnsPerPage(D) + 1) * Rows);
        return;
    }
    if (I < D.Top)
        SetTop(D, I);
    else if (I >= D.Top + Page)
        SetTop(D, I - Page + 1);
}

void InvalidateRow(TLbData& D, int I) {
    if (!Valid(D, I))
        return;
    RECT R = ItemRectOf(D, I);
    InvalidateRect(D.Wnd, &R, TRUE);
}

bool IsSel(const TLbData& D, int I) {
    return Multi(D) ? (Valid(D, I) && D.Items[std::size_t(I)].Sel) : I == D.Cur;
}

// Changes the selection of one row; true when it changed.
bool SetSel(TLbData& D, int I, bool On) {
    if (!Valid(D, I))
        return false;
    if (Multi(D)) {
        bool& S = D.Items[std::size_t(I)].Sel;
        if (S == On)
            return false;
        S = On;
    } else {
        int New = On ? I : (D.Cur == I ? -1 : D.Cur);
        if (New == D.Cur)
            return false;
        InvalidateRow(D, D.Cur);
        D.Cur = New;
    }
    InvalidateRow(D, I);
    return true;
}

void SetCaret(TLbData& D, int I) {
    if (I == D.Caret)
        return;
    InvalidateRow(D, D.Caret);
    D.Caret = I;
    InvalidateRow(D, I);
}

// Selects exactly the rows From..To (either order), deselecting the rest unless Keep; true on change.
bool SelectRange(TLbData& D, int From, int To, bool Keep) {
    int Lo = std::min(From, To), Hi = std::max(From, To);
    bool Changed = false;
    for (int I = 0; I < Count(D); ++I) {
        bool In = I >= Lo && I <= Hi;
        if (In)
            Changed |= SetSel(D, I, true);
        else if (!Keep)
            Changed |= SetSel(D, I, false);
    }
    return Changed;
}

String Upper(const String& S) {
    return AnsiUpperCase(S);
}

int Find(const TLbData& D, int Start, const String& Text, bool Exact) {
    int N = Count(D);
    if (!N)
        return int(LB_ERR);
    String Key = Upper(Text);
    int From = (Start < 0 || Start >= N) ? 0 : Start + 1;
    for (int K = 0; K < N; ++K) {
        int I = (From + K) % N;
        String T = Upper(D.Items[std::size_t(I)].Text);
        if (Exact ? T == Key : T.compare(0, Key.size(), Key) == 0)
            return I;
    }
    return int(LB_ERR);
}

int InsertAt(TLbData& D, int Index, const String& Text) {
    if (Index < 0)
        Index = Count(D);
    if (Index > Count(D))
        return int(LB_ERR);
    D.Items.insert(D.Items.begin() + Index, TLbItem{Text, 0, false});
    for (int* P : {&D.Cur, &D.Caret, &D.Anchor})
        if (*P >= Index)
            ++*P;
    InvalidateRect(D.Wnd, nullptr, TRUE);
    UpdateScroll(D);
    return Index;
}

int ItemAt(const TLbData& D, POINT P, bool* Outside) {
    RECT C = ClientOf(D);
    int I;
    if (MultiColumn(D)) {
        int Rows = RowsPerPage(D);
        int Col = std::max(0, P.X) / std::max(1, D.ColumnWidth);
        int Row = std::clamp(P.Y / std::max(1, D.ItemHeight), 0, Rows - 1);
        I = D.Top + Col * Rows + Row;
    } else {
        I = D.Top + (P.Y < 0 ? -1 : P.Y / std::max(1, D.ItemHeight));
    }
    bool Out = P.X < C.Left || P.X >= C.Right || P.Y < C.Top || P.Y >= C.Bottom || !Valid(D, I);
    if (Outside)
        *Outside = Out;
    return std::clamp(I, 0, std::max(Count(D) - 1, 0));
}

// Paints into Given (someone's DC, as WM_PAINT may carry) or through BeginPaint.
int RowHeightOf(HWND h, HFONT Font) {
    HDC Dc = GetDC(h);
    HGDIOBJ Old = SelectObject(Dc, Font ? HGDIOBJ(Font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW Tm{};
    GetTextMetricsW(Dc, &Tm);
    SelectObject(Dc, Old);
    ReleaseDC(h, Dc);
    return std::max<int>(1, Tm.tmHeight);
}

void Paint(TLbData& D, HDC Given) {
    PAINTSTRUCT Ps;
    HDC Dc = Given ? Given : BeginPaint(D.Wnd, &Ps);
    if (!Dc)
        return;
    RECT C = ClientOf(D);
    bool Focused = GetFocus() == D.Wnd;
    bool Enabled = IsWindowEnabled(D.Wnd);
    HGDIOBJ OldFont = SelectObject(Dc, D.Font ? HGDIOBJ(D.Font) : GetStockObject(DEFAULT_GUI_FONT));
    int Last = std::min(Count(D), D.Top + PerPage(D) + (MultiColumn(D) ? 0 : 1));
    bool Owner = D.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
    for (int I = D.Top; I < Last; ++I) {
        RECT R = ItemRectOf(D, I);
        if (R.Top >= C.Bottom || R.Left >= C.Right)
            continue;
        bool Sel = IsSel(D, I);
        bool Foc = Focused && I == D.Caret;
        if (Owner) {
            DRAWITEMSTRUCT Di;
            Di.CtlType = ODT_LISTBOX;
            Di.CtlID = UINT(GetWindowLongPtrW(D.Wnd, GWLP_ID));
            Di.itemID = UINT(I);
            Di.itemAction = ODA_DRAWENTIRE;
            Di.itemState = (Sel ? ODS_SELECTED : 0) | (Foc ? ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
            Di.hwndItem = D.Wnd;
            Di.hDC = Dc;
            Di.rcItem = R;
            Di.itemData = D.Items[std::size_t(I)].Data;
            int Saved = SaveDC(Dc);
            SendMessageW(GetParent(D.Wnd), WM_DRAWITEM, WPARAM(Di.CtlID), LPARAM(&Di));
            RestoreDC(Dc, Saved);
            if (!IsWindow(D.Wnd) || DataOf(D.Wnd) != &D)
                return; // gone while its parent drew
            continue;
        }
        FillRect(Dc, &R, GetSysColorBrush(Sel ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(Dc, TRANSPARENT);
        SetTextColor(Dc, GetSysColor(!Enabled ? COLOR_GRAYTEXT : Sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT T{R.Left + 2, R.Top, R.Right - 2, R.Bottom};
        const String& S = D.Items[std::size_t(I)].Text;
        DrawTextW(Dc, S.c_str(), int(S.size()), &T,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((D.Style & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0));
        if (Foc)
            DrawFocusRect(Dc, &R);
    }
    SelectObject(Dc, OldFont);
    if (!Given)
        EndPaint(D.Wnd, &Ps);
}

// The user moved the caret to I by keyboard or mouse: the selection follows by the list's kind.
void UserSelect(TLbData& D, int I, bool Shift, bool Ctrl, bool ByMouse) {
    if (!Valid(D, I) || (D.Style & LBS_NOSEL))
        return;
    bool Changed = false;
    if (!Multi(D)) {
        Changed = SetSel(D, I, true);
    } else if (D.Style & LBS_EXTENDEDSEL) {
        if (Shift) {
            if (!Valid(D, D.Anchor))
                D.Anchor = I;
            Changed = SelectRange(D, D.Anchor, I, Ctrl);
        } else if (Ctrl) {
            if (ByMouse) {
                Changed = SetSel(D, I, !IsSel(D, I));
                D.Anchor = I;
            }
        } else {
            Changed = SelectRange(D, I, I, false);
            D.Anchor = I;
        }
    } else if (ByMouse) {
        Changed = SetSel(D, I, !IsSel(D, I));
        D.Anchor = I;
    }
    SetCaret(D, I);
    ShowRow(D, I);
    if (Changed)
        Notify(D, LBN_SELCHANGE);
}

void KeyDown(TLbData& D, UINT Key) {
    int N = Count(D);
    if (!N)
        return;
    bool Shift = GetKeyState(VK_SHIFT) & 0x8000, Ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    int From = Valid(D, D.Caret) ? D.Caret : (Multi(D) ? 0 : std::max(D.Cur, 0));
    int Page = std::max(1, (MultiColumn(D) ? PerPage(D) : RowsPerPage(D)) - (MultiColumn(D) ? 0 : 1));
    int Rows = MultiColumn(D) ? RowsPerPage(D) : 1;
    int To = From;
    bool Fresh = !Valid(D, D.Caret) && !Multi(D) && D.Cur < 0;
    switch (Key) {
    case VK_UP:
        To = Fresh ? 0 : From - 1;
        break;
    case VK_DOWN:
        To = Fresh ? 0 : From + 1;
        break;
    case VK_LEFT:
        To = From - Rows;
        break;
    case VK_RIGHT:
        To = From + Rows;
        break;
    case VK_PRIOR:
        To = From - Page;
        break;
    case VK_NEXT:
        To = From + Page;
        break;
    case VK_HOME:
        To = 0;
        break;
    case VK_END:
        To = N - 1;
        break;
    case VK_SPACE:
        if (Multi(D) && Valid(D, D.Caret) && (!(D.Style & LBS_EXTENDEDSEL) || Ctrl)) {
            SetSel(D, D.Caret, !IsSel(D, D.Caret));
            D.Anchor = D.Caret;
            Notify(D, LBN_SELCHANGE);
        }
        return;
    default:
        return;
    }
    To = std::clamp(To, 0, N - 1);
    if (Multi(D) && (!(D.Style & LBS_EXTENDEDSEL) || (Ctrl && !Shift))) {
        // Only the caret moves; Space selects.
        SetCaret(D, To);
        ShowRow(D, To);
        return;
    }
    UserSelect(D, To, Shift, Ctrl, false);
}

LRESULT LbNcCreate(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    auto D = std::make_unique<TLbData>();
    D->Wnd = h;
    const auto* Cs = reinterpret_cast<const CREATESTRUCTW*>(l);
    D->Style = Cs ? DWORD(Cs->style) : DWORD(GetWindowLongPtrW(h, GWL_STYLE));
    D->WantV = D->Style & WS_VSCROLL;
    D->WantH = D->Style & WS_HSCROLL;
    if (D->Style & LBS_EXTENDEDSEL)
        D->Style &= ~LBS_MULTIPLESEL;
    D->ItemHeight = RowHeightOf(h, nullptr);
    Lists()[h] = std::move(D);
    return DefWindowProcW(h, Msg, w, l);
}

LRESULT LbCreate(HWND h, TLbData& D) {
    if (D.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) {
        MEASUREITEMSTRUCT Mi;
        Mi.CtlType = ODT_LISTBOX;
        Mi.CtlID = UINT(GetWindowLongPtrW(h, GWLP_ID));
        Mi.itemHeight = UINT(D.ItemHeight);
        RECT C = ClientOf(D);
        Mi.itemWidth = UINT(C.Right);
        SendMessageW(GetParent(h), WM_MEASUREITEM, WPARAM(Mi.CtlID), LPARAM(&Mi));
        if (DataOf(h) == &D && Mi.itemHeight > 0)
            D.ItemHeight = int(Mi.itemHeight);
    }
    UpdateScroll(D);
    return 0;
}

LRESULT LbNcDestroy(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    Lists().erase(h);
    return DefWindowProcW(h, Msg, w, l);
}

LRESULT LbSize(HWND h, TLbData& D) {
    D.Top = std::min(D.Top, MaxTop(D));
    UpdateScroll(D);
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT LbSetFont(HWND h, TLbData& D, WPARAM w, LPARAM l) {
    D.Font = reinterpret_cast<HFONT>(w);
    if (!(D.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) {
        // Rows take the height of the new font.
        D.ItemHeight = RowHeightOf(h, D.Font);
        D.Top = std::min(D.Top, MaxTop(D));
        UpdateScroll(D);
    }
    if (l)
        InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT LbEraseBkgnd(TLbData& D, WPARAM w) {
    RECT C = ClientOf(D);
    FillRect(reinterpret_cast<HDC>(w), &C, GetSysColorBrush(COLOR_WINDOW));
    return 1;
}

LRESULT LbPaint(TLbData& D, WPARAM w) {
    Paint(D, reinterpret_cast<HDC>(w));
    return 0;
}

LRESULT LbFocus(TLbData& D, UINT Msg) {
    InvalidateRow(D, D.Caret);
    Notify(D, Msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
    return 0;
}

LRESULT LbEnable(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT LbAddString(TLbData& D, UINT Msg, WPARAM w, LPARAM l) {
    String S = l ? String(reinterpret_cast<LPCWSTR>(l)) : String();
    int At = int(w);
    if (Msg == LB_ADDSTRING) {
        At = Count(D);
        if (D.Style & LBS_SORT) {
            // After every row that sorts before or equal to it, ignoring case.
            At = 0;
            while (At < Count(D) && AnsiCompareText(D.Items[std::size_t(At)].Text, S) <= 0)
                ++At;
        }
    } else if (w == WPARAM(-1) || int(w) == -1) {
        At = -1;
    }
    return InsertAt(D, At, S);
}

LRESULT LbDeleteString(HWND h, TLbData& D, WPARAM w) {
    int I = int(w);
    if (!Valid(D, I))
        return LB_ERR;
    if (D.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) {
        DELETEITEMSTRUCT Di;
        Di.CtlType = ODT_LISTBOX;
        Di.CtlID = UINT(GetWindowLongPtrW(h, GWLP_ID));
        Di.itemID = UINT(I);
        Di.hwndItem = h;
        Di.itemData = D.Items[std::size_t(I)].Data;
        SendMessageW(GetParent(h), WM_DELETEITEM, WPARAM(Di.CtlID), LPARAM(&Di));
        if (DataOf(h) != &D || !Valid(D, I))
            return LB_ERR;
    }
    D.Items.erase(D.Items.begin() + I);
    for (int* P : {&D.Cur, &D.Caret, &D.Anchor}) {
        if (*P == I)
            *P = -1;
        else if (*P > I)
            --*P;
    }
    D.Top = std::min(D.Top, MaxTop(D));
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll(D);
    return Count(D);
}

LRESULT LbResetContent(HWND h, TLbData& D) {
    D.Items.clear();
    D.Cur = D.Caret = D.Anchor = -1;
    D.Top = 0;
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll(D);
    return 0;
}

LRESULT LbGetText(TLbData& D, WPARAM w, LPARAM l) {
    if (!Valid(D, int(w)))
        return LB_ERR;
    const String& S = D.Items[w].Text;
    if (l) {
        auto* Buf = reinterpret_cast<LPWSTR>(l);
        std::copy(S.begin(), S.end(), Buf);
        Buf[S.size()] = 0;
    }
    return LRESULT(S.size());
}

LRESULT LbSetItemData(TLbData& D, WPARAM w, LPARAM l) {
    if (!Valid(D, int(w)))
        return LB_ERR;
    D.Items[w].Data = ULONG_PTR(l);
    return LB_OKAY;
}

LRESULT LbSetCurSel(TLbData& D, WPARAM w) {
    if (Multi(D))
        return LB_ERR;
    int I = int(w);
    // Any index outside the list clears the selection, as -1 does.
    if (I == -1 || !Valid(D, I)) {
        SetSel(D, D.Cur, false);
        return LB_ERR;
    }
    SetSel(D, I, true);
    SetCaret(D, I);
    D.Anchor = I;
    ShowRow(D, I);
    return I;
}

LRESULT LbSetSel(TLbData& D, WPARAM w, LPARAM l) {
    if (!Multi(D))
        return LB_ERR;
    int I = int(l);
    if (I == -1) {
        for (int K = 0; K < Count(D); ++K)
            SetSel(D, K, w != 0);
        return LB_OKAY;
    }
    if (!Valid(D, I))
        return LB_ERR;
    SetSel(D, I, w != 0);
    if (w) {
        SetCaret(D, I);
        D.Anchor = I;
    }
    return LB_OKAY;
}

LRESULT LbGetSelCount(TLbData& D) {
    if (!Multi(D))
        return LB_ERR;
    return std::count_if(D.Items.begin(), D.Items.end(), [](const TLbItem& It) { return It.Sel; });
}

LRESULT LbGetSelItems(TLbData& D, WPARAM w, LPARAM l) {
    if (!Multi(D))
        return LB_ERR;
    auto* Out = reinterpret_cast<int*>(l);
    int Max = int(w), N = 0;
    for (int I = 0; I < Count(D) && N < Max; ++I)
        if (D.Items[std::size_t(I)].Sel && Out)
            Out[N++] = I;
    return N;
}

LRESULT LbSelItemRange(TLbData& D, UINT Msg, WPARAM w, LPARAM l) {
    if (!Multi(D))
        return LB_ERR;
    int A = Msg == LB_SELITEMRANGE ? LOWORD(std::uintptr_t(l)) : int(w);
    int B = Msg == LB_SELITEMRANGE ? HIWORD(std::uintptr_t(l)) : int(l);
    bool On = Msg == LB_SELITEMRANGE ? w != 0 : A <= B;
    for (int I = std::max(0, std::min(A, B)); I <= std::min(Count(D) - 1, std::max(A, B)); ++I)
        SetSel(D, I, On);
    return LB_OKAY;
}

LRESULT LbSetCaretIndex(TLbData& D, WPARAM w) {
    if (!Valid(D, int(w)))
        return LB_ERR;
    SetCaret(D, int(w));
    ShowRow(D, int(w));
    return LB_OKAY;
}

LRESULT LbSetAnchorIndex(TLbData& D, WPARAM w) {
    if (!Valid(D, int(w)))
        return LB_ERR;
    D.Anchor = int(w);
    return LB_OKAY;
}

LRESULT LbSetTopIndex(TLbData& D, WPARAM w) {
    if (!Valid(D, int(w)) && !(w == 0 && Count(D) == 0))
        return LB_ERR;
    SetTop(D, int(w));
    return LB_OKAY;
}

LRESULT LbSetItemHeight(HWND h, TLbData& D, LPARAM l) {
    if (LOWORD(std::uintptr_t(l)) == 0 || LOWORD(std::uintptr_t(l)) > 255)
        return LB_ERR;
    D.ItemHeight = LOWORD(std::uintptr_t(l));
    D.Top = std::min(D.Top, MaxTop(D));
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll(D);
    return LB_OKAY;
}

LRESULT LbSetColumnWidth(HWND h, TLbData& D, WPARAM w) {
    D.ColumnWidth = std::max(1, int(w));
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll(D);
    return LB_OKAY;
}

LRESULT LbSetHorizontalExtent(TLbData& D, WPARAM w) {
    D.HExtent = std::max(0, int(w));
    UpdateScroll(D);
    return 0;
}

LRESULT LbGetItemRect(TLbData& D, WPARAM w, LPARAM l) {
    if (!Valid(D, int(w)) && !(w == 0 && Count(D) == 0))
        return LB_ERR;
    if (l)
        *reinterpret_cast<RECT*>(l) = ItemRectOf(D, int(w));
    return LB_OKAY;
}

LRESULT LbItemFromPoint(TLbData& D, LPARAM l) {
    bool Out = true;
    int I = ItemAt(D, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &Out);
    return MAKELONG(WORD(I), WORD(Out ? 1 : 0));
}

LRESULT LbSelectString(TLbData& D, WPARAM w, LPARAM l) {
    int I = Find(D, int(w), l ? String(reinterpret_cast<LPCWSTR>(l)) : String(), false);
    if (I < 0 || Multi(D))
        return I < 0 ? LB_ERR : I;
    SetSel(D, I, true);
    SetCaret(D, I);
    ShowRow(D, I);
    return I;
}

LRESULT LbScroll(HWND h, TLbData& D, UINT Msg, WPARAM w) {
    bool Cols = MultiColumn(D);
    if ((Msg == WM_HSCROLL) != Cols)
        return 0;
    int Unit = Cols ? RowsPerPage(D) : 1;
    int Page = Cols ? ColumnsPerPage(D) : RowsPerPage(D);
    int Pos = D.Top / Unit;
    switch (LOWORD(w)) {
    case SB_LINEUP:
        Pos -= 1;
        break;
    case SB_LINEDOWN:
        Pos += 1;
        break;
    case SB_PAGEUP:
        Pos -= std::max(1, Page - (Cols ? 0 : 1));
        break;
    case SB_PAGEDOWN:
        Pos += std::max(1, Page - (Cols ? 0 : 1));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO Si;
        Si.fMask = SIF_TRACKPOS;
        Pos = GetScrollInfo(h, Cols ? SB_HORZ : SB_VERT, &Si) && LOWORD(w) == SB_THUMBTRACK ? Si.nTrackPos : HIWORD(w);
        break;
    }
    case SB_TOP:
        Pos = 0;
        break;
    case SB_BOTTOM:
        Pos = Count(D);
        break;
    default:
        return 0;
    }
    SetTop(D, Pos * Unit);
    return 0;
}

LRESULT LbMouseWheel(TLbData& D, WPARAM w) {
    UINT Lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    int Steps = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
    if (MultiColumn(D))
        SetTop(D, D.Top - Steps * RowsPerPage(D));
    else
        SetTop(D, D.Top - Steps * int(Lines));
    return 0;
}

LRESULT LbLButtonDown(HWND h, TLbData& D, UINT Msg, WPARAM w, LPARAM l) {
    if (GetFocus() != h)
        SetFocus(h);
    if (!IsWindow(h) || DataOf(h) != &D)
        return 0;
    bool Out = true;
    int I = ItemAt(D, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, &Out);
    if (Msg == WM_LBUTTONDBLCLK) {
        Notify(D, LBN_DBLCLK);
        return 0;
    }
    if (Out)
        return 0;
    UserSelect(D, I, (w & MK_SHIFT) != 0, (w & MK_CONTROL) != 0, true);
    if (IsWindow(h) && DataOf(h) == &D) {
        D.Tracking = true;
        SetCapture(h);
    }
    return 0;
}

LRESULT LbMouseMove(TLbData& D, WPARAM w, LPARAM l) {
    if (!D.Tracking || !(w & MK_LBUTTON))
        return 0;
    POINT P{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    RECT C = ClientOf(D);
    // Dragging past an edge scrolls one row further each move.
    int I;
    if (!MultiColumn(D) && P.Y < C.Top)
        I = D.Top - 1;
    else if (!MultiColumn(D) && P.Y >= C.Bottom)
        I = D.Top + RowsPerPage(D);
    else
        I = ItemAt(D, P, nullptr);
    I = std::clamp(I, 0, Count(D) - 1);
    if (I == D.Caret || (D.Style & LBS_MULTIPLESEL))
        return 0;
    UserSelect(D, I, (D.Style & LBS_EXTENDEDSEL) != 0, (w & MK_CONTROL) != 0, false);
    return 0;
}

LRESULT LbEndTracking(HWND h, TLbData& D, UINT Msg) {
    if (D.Tracking) {
        D.Tracking = false;
        if (Msg == WM_LBUTTONUP && GetCapture() == h)
            ReleaseCapture();
    }
    return 0;
}

LRESULT LbKeyDown(TLbData& D, WPARAM w) {
    KeyDown(D, UINT(w));
    return 0;
}

LRESULT LbChar(TLbData& D, WPARAM w) {
    WCHAR Ch = WCHAR(w);
    if (Ch < 0x20 || Count(D) == 0)
        return 0;
    int I = Find(D, Valid(D, D.Caret) ? D.Caret : (Multi(D) ? -1 : D.Cur), String(1, Ch), false);
    if (I >= 0)
        UserSelect(D, I, false, false, false);
    return 0;
}

} // namespace

LRESULT ListBoxWndProc(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    if (Msg == WM_NCCREATE)
        return LbNcCreate(h, Msg, w, l);
    TLbData* Dp = DataOf(h);
    if (!Dp)
        return DefWindowProcW(h, Msg, w, l);
    TLbData& D = *Dp;
    switch (Msg) {
    case WM_CREATE:
        return LbCreate(h, D);
    case WM_NCDESTROY:
        return LbNcDestroy(h, Msg, w, l);
    case WM_SIZE:
        return LbSize(h, D);
    case WM_SETFONT:
        return LbSetFont(h, D, w, l);
    case WM_GETFONT:
        return LRESULT(D.Font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
        return LbEraseBkgnd(D, w);
    case WM_PAINT:
        return LbPaint(D, w);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return LbFocus(D, Msg);
    case WM_ENABLE:
        return LbEnable(h);
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return LbAddString(D, Msg, w, l);
    case LB_DELETESTRING:
        return LbDeleteString(h, D, w);
    case LB_RESETCONTENT:
        return LbResetContent(h, D);
    case LB_GETCOUNT:
        return Count(D);
    case LB_INITSTORAGE:
        return Count(D);
    case LB_GETTEXT:
        return LbGetText(D, w, l);
    case LB_GETTEXTLEN:
        return Valid(D, int(w)) ? LRESULT(D.Items[w].Text.size()) : LB_ERR;
    case LB_GETITEMDATA:
        return Valid(D, int(w)) ? LRESULT(D.Items[w].Data) : LB_ERR;
    case LB_SETITEMDATA:
        return LbSetItemData(D, w, l);
    case LB_GETCURSEL:
        return Multi(D) ? (Valid(D, D.Caret) ? D.Caret : LB_ERR) : (D.Cur >= 0 ? D.Cur : LB_ERR);
    case LB_SETCURSEL:
        return LbSetCurSel(D, w);
    case LB_SETSEL:
        return LbSetSel(D, w, l);
    case LB_GETSEL:
        return Valid(D, int(w)) ? (IsSel(D, int(w)) ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT:
        return LbGetSelCount(D);
    case LB_GETSELITEMS:
        return LbGetSelItems(D, w, l);
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
        return LbSelItemRange(D, Msg, w, l);
    case LB_GETCARETINDEX:
        return Valid(D, D.Caret) ? D.Caret : (Multi(D) ? 0 : LB_ERR);
    case LB_SETCARETINDEX:
        return LbSetCaretIndex(D, w);
    case LB_GETANCHORINDEX:
        return D.Anchor;
    case LB_SETANCHORINDEX:
        return LbSetAnchorIndex(D, w);
    case LB_GETTOPINDEX:
        return D.Top;
    case LB_SETTOPINDEX:
        return LbSetTopIndex(D, w);
    case LB_GETITEMHEIGHT:
        return D.ItemHeight;
    case LB_SETITEMHEIGHT:
        return LbSetItemHeight(h, D, l);
    case LB_SETCOLUMNWIDTH:
        return LbSetColumnWidth(h, D, w);
    case LB_GETHORIZONTALEXTENT:
        return D.HExtent;
    case LB_SETHORIZONTALEXTENT:
        return LbSetHorizontalExtent(D, w);
    case LB_SETTABSTOPS:
        return TRUE;
    case LB_GETITEMRECT:
        return LbGetItemRect(D, w, l);
    case LB_ITEMFROMPOINT:
        return LbItemFromPoint(D, l);
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return Find(D, int(w), l ? String(reinterpret_cast<LPCWSTR>(l)) : String(), Msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING:
        return LbSelectString(D, w, l);
    case WM_VSCROLL:
    case WM_HSCROLL:
        return LbScroll(h, D, Msg, w);
    case WM_MOUSEWHEEL:
        return LbMouseWheel(D, w);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return LbLButtonDown(h, D, Msg, w, l);
    case WM_MOUSEMOVE:
        return LbMouseMove(D, w, l);
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return LbEndTracking(h, D, Msg);
    case WM_KEYDOWN:
        return LbKeyDown(D, w);
    case WM_CHAR:
        return LbChar(D, w);
    }
    return DefWindowProcW(h, Msg, w, l);
}

void RegisterListBoxClass() {
    WNDCLASSEXW C;
    if (GetClassInfoExW(nullptr, u"LISTBOX", &C))
        return;
    C = WNDCLASSEXW{};
    C.style = CS_DBLCLKS | CS_PARENTDC;
    C.lpfnWndProc = &ListBoxWndProc;
    C.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    C.lpszClassName = u"LISTBOX";
    RegisterClassExW(&C);
}

// ---------------------------------------------------------------------------------------------
// TListBoxStrings

int TListBoxStrings::Count() const {
    if (FListBox->HandleAllocated())
        return int(SendMessageW(FListBox->FHandle, LB_GETCOUNT, 0, 0));
    return int(FListBox->FSaved.size());
}

String TListBoxStrings::Get(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
    if (!FListBox->HandleAllocated())
        return FListBox->FSaved[std::size_t(Index)].Text;
    int Len = int(SendMessageW(FListBox->FHandle, LB_GETTEXTLEN, WPARAM(Index), 0));
    String S(std::size_t(std::max(Len, 0)) + 1, u'\0');
    SendMessageW(FListBox->FHandle, LB_GETTEXT, WPARAM(Index), LPARAM(S.data()));
    S.resize(std::size_t(std::max(Len, 0)));
    return S;
}

TObject* TListBoxStrings::GetObject(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
    if (!FListBox->HandleAllocated())
        return FListBox->FSaved[std::size_t(Index)].Data;
    return reinterpret_cast<TObject*>(SendMessageW(FListBox->FHandle, LB_GETITEMDATA, WPARAM(Index), 0));
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
    if (!FListBox->HandleAllocated())
        FListBox->FSaved[std::size_t(Index)].Data = AObject;
    else
        SendMessageW(FListBox->FHandle, LB_SETITEMDATA, WPARAM(Index), LPARAM(AObject));
}

int TListBoxStrings::Add(const String& S) {
    if (!FListBox->HandleAllocated()) {
        auto& V = FListBox->FSaved;
        std::size_t At = V.size();
        if (FListBox->FSorted) {
            At = 0;
            while (At < V.size() && AnsiCompareText(V[At].Text, S) <= 0)
                ++At;
        }
        V.insert(V.begin() + std::ptrdiff_t(At), {S, nullptr});
        FListBox->SavedRowInserted(int(At));
        return int(At);
    }
    int R = int(SendMessageW(FListBox->FHandle, LB_ADDSTRING, 0, LPARAM(S.c_str())));
    if (R < 0)
        throw EListError(u"Insufficient space in the list");
    return R;
}

void TListBoxStrings::Insert(int Index, const String& S) {
    if (Index < 0 || Index > Count())
        Error(u"List index out of bounds (%d)", Index);
    if (!FListBox->HandleAllocated()) {
        FListBox->FSaved.insert(FListBox->FSaved.begin() + Index, {S, nullptr});
        FListBox->SavedRowInserted(Index);
        return;
    }
    SendMessageW(FListBox->FHandle, LB_INSERTSTRING, WPARAM(Index), LPARAM(S.c_str()));
}

void TListBoxStrings::Put(int Index, const String& S) {
    int Sel = FListBox->ItemIndex();
    TObject* Data = GetObject(Index);
    Delete(Index);
    Insert(Index, S);
    PutObject(Index, Data);
    if (Sel == Index && !FListBox->FMultiSelect)
        FListBox->SetItemIndex(Index);
}

void TListBoxStrings::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
    if (!FListBox->HandleAllocated()) {
        FListBox->FSaved.erase(FListBox->FSaved.begin() + Index);
        FListBox->SavedRowDeleted(Index);
        return;
    }
    SendMessageW(FListBox->FHandle, LB_DELETESTRING, WPARAM(Index), 0);
}

void TListBoxStrings::Clear() {
    if (!FListBox->HandleAllocated()) {
        FListBox->FSaved.clear();
        FListBox->FSavedSel.clear();
        FListBox->FSavedIndex = -1;
        FListBox->FSavedTop = 0;
        return;
    }
    SendMessageW(FListBox->FHandle, LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::SetUpdateState(bool Updating) {
    if (!FListBox->HandleAllocated())
        return;
    SendMessageW(FListBox->FHandle, WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
    if (!Updating)
        InvalidateRect(FListBox->FHandle, nullptr, TRUE);
}

int TListBoxStrings::IndexOf(const String& S) const {
    if (FListBox->HandleAllocated())
        return int(SendMessageW(FListBox->FHandle, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(S.c_str())));
    return TStrings::IndexOf(S);
}

// ---------------------------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)), FCanvas(std::make_unique<TCanvas>()) {
    // Click comes from the window's selection change, not from every press.
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

// Without a window the selection is kept by row: it moves with its row as others come and go, as the
// window's does.
void TCustomListBox::SavedRowInserted(int Index) {
    if (FSavedIndex >= Index)
        ++FSavedIndex;
    if (std::size_t(Index) <= FSavedSel.size())
        FSavedSel.insert(FSavedSel.begin() + Index, false);
}

void TCustomListBox::SavedRowDeleted(int Index) {
    if (FSavedIndex == Index)
        FSavedIndex = -1;
    else if (FSavedIndex > Index)
        --FSavedIndex;
    if (std::size_t(Index) < FSavedSel.size())
        FSavedSel.erase(FSavedSel.begin() + Index);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    RegisterListBoxClass();
    Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    if (FSorted)
        Params.Style |= LBS_SORT;
    if (FMultiSelect)
        Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns > 0)
        Params.Style = (Params.Style & ~WS_VSCROLL) | LBS_MULTICOLUMN | WS_HSCROLL;
    if (FStyle == lbOwnerDrawFixed)
        Params.Style |= LBS_OWNERDRAWFIXED;
    else if (FStyle == lbOwnerDrawVariable)
        Params.Style |= LBS_OWNERDRAWVARIABLE;
    AddFrameStyle(Params);
    Params.WindowClass.style = CS_DBLCLKS;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, WM_SETFONT, WPARAM(Font()->Handle()), 0);
    if (FStyle != lbStandard)
        SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(FItemHeight, 0));
    if (FColumns > 0)
        SendMessageW(FHandle, LB_SETCOLUMNWIDTH, WPARAM(std::max(1, ClientWidth() / FColumns)), 0);
    std::vector<TSavedItem> Saved;
    Saved.swap(FSaved);
    for (const TSavedItem& It : Saved) {
        // Added in the stored order, which a sorted list already has.
        int I = int(SendMessageW(FHandle, LB_INSERTSTRING, WPARAM(-1), LPARAM(It.Text.c_str())));
        SendMessageW(FHandle, LB_SETITEMDATA, WPARAM(I), LPARAM(It.Data));
    }
    if (FMultiSelect) {
        for (std::size_t I = 0; I < FSavedSel.size() && I < Saved.size(); ++I)
            if (FSavedSel[I])
                SendMessageW(FHandle, LB_SETSEL, TRUE, LPARAM(I));
    } else if (FSavedIndex >= 0) {
        SendMessageW(FHandle, LB_SETCURSEL, WPARAM(FSavedIndex), 0);
    }
    SendMessageW(FHandle, LB_SETTOPINDEX, WPARAM(FSavedTop), 0);
    FSavedSel.clear();
}

void TCustomListBox::DestroyWnd() {
    if (FHandle) {
        int N = int(SendMessageW(FHandle, LB_GETCOUNT, 0, 0));
        FSaved.clear();
        FSavedSel.clear();
        for (int I = 0; I < N; ++I) {
            FSaved.push_back({FItems->Strings(I), FItems->Objects(I)});
            FSavedSel.push_back(SendMessageW(FHandle, LB_GETSEL, WPARAM(I), 0) > 0);
        }
        FSavedIndex = FMultiSelect ? -1 : int(SendMessageW(FHandle, LB_GETCURSEL, 0, 0));
        FSavedTop = int(SendMessageW(FHandle, LB_GETTOPINDEX, 0, 0));
    }
    TWinControl::DestroyWnd();
}

// The native control is the platform's "LISTBOX" window class, which raw windows use too: its procedure answers.
bool TCustomListBox::NativeWndProc(TMessage& Message) {
    if (!FHandle || Message.Msg >= CM_BASE)
        return false;
    Message.Result = ListBoxWndProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TCustomListBox::DefaultHandler(TMessage& Message) {
    if (!NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated())
        return FSavedIndex;
    if (FMultiSelect)
        return int(SendMessageW(FHandle, LB_GETCARETINDEX, 0, 0));
    return int(SendMessageW(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value) {
    // An index outside the list clears the selection: a stale index must not take the program down.
    if (Value < -1 || Value >= Count())
        Value = -1;
    if (!HandleAllocated()) {
        FSavedIndex = Value;
        return;
    }
    if (ItemIndex() == Value)
        return;
    if (FMultiSelect)
        SendMessageW(FHandle, LB_SETCARETINDEX, WPARAM(Value), 0);
    else
        SendMessageW(FHandle, LB_SETCURSEL, WPARAM(Value), 0);
}

bool TCustomListBox::Selected(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    HandleNeeded();
    return SendMessageW(FHandle, LB_GETSEL, WPARAM(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    HandleNeeded();
    if (FMultiSelect)
        SendMessageW(FHandle, LB_SETSEL, Value ? TRUE : FALSE, LPARAM(Index));
    else if (Value)
        SendMessageW(FHandle, LB_SETCURSEL, WPARAM(Index), 0);
    else if (ItemIndex() == Index)
        SendMessageW(FHandle, LB_SETCURSEL, WPARAM(-1), 0);
}

int TCustomListBox::SelCount() {
    HandleNeeded();
    return FMultiSelect ? int(SendMessageW(FHandle, LB_GETSELCOUNT, 0, 0)) : (ItemIndex() >= 0 ? 1 : 0);
}

void TCustomListBox::SelectAll() {
    if (FMultiSelect && Count() > 0)
        SendMessageW(Handle(), LB_SETSEL, TRUE, -1);
}

void TCustomListBox::ClearSelection() {
    if (FMultiSelect)
        SendMessageW(Handle(), LB_SETSEL, FALSE, -1);
    else
        SetItemIndex(-1);
}

int TCustomListBox::TopIndex() {
    return HandleAllocated() ? int(SendMessageW(FHandle, LB_GETTOPINDEX, 0, 0)) : FSavedTop;
}

void TCustomListBox::SetTopIndex(int Value) {
    if (!HandleAllocated())
        FSavedTop = Value;
    else
        SendMessageW(FHandle, LB_SETTOPINDEX, WPARAM(Value), 0);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight() {
    if (HandleAllocated() && FStyle == lbStandard)
        return int(SendMessageW(FHandle, LB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || Value == FItemHeight)
        return;
    FItemHeight = Value;
    if (HandleAllocated() && FStyle != lbStandard)
        SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(Value, 0));
}

void TCustomListBox::SetColumns(int Value) {
    Value = std::max(0, Value);
    if (Value == FColumns)
        return;
    bool Recreate = (FColumns == 0) != (Value == 0);
    FColumns = Value;
    if (Recreate)
        RecreateWnd();
    else if (HandleAllocated())
        SendMessageW(FHandle, LB_SETCOLUMNWIDTH, WPARAM(std::max(1, ClientWidth() / FColumns)), 0);
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
    if (Value == FExtendedSelect)
        return;
    FExtendedSelect = Value;
    if (FMultiSelect)
        RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
    if (Value == FSorted)
        return;
    FSorted = Value;
    if (FSorted && !HandleAllocated())
        std::stable_sort(FSaved.begin(), FSaved.end(),
                         [](const TSavedItem& A, const TSavedItem& B) { return AnsiCompareText(A.Text, B.Text) < 0; });
    if (HandleAllocated()) {
        // The window sorts only what is added: take the strings out and put them back.
        DestroyWnd();
        if (FSorted)
            std::stable_sort(FSaved.begin(), FSaved.end(), [](const TSavedItem& A, const TSavedItem& B) {
                return AnsiCompareText(A.Text, B.Text) < 0;
            });
        FSavedIndex = -1;
        FSavedSel.clear();
        HandleNeeded();
    }
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
    // Only a point in the client area names a row; below the rows it is the place of the next one,
    // unless an existing row is asked for.
    if (!PtInRect(ClientRect(), Pos))
        return -1;
    HandleNeeded();
    LRESULT R = SendMessageW(FHandle, LB_ITEMFROMPOINT, 0, MAKELPARAM(Pos.X, Pos.Y));
    if (HIWORD(std::uintptr_t(R)) == 0 && Count() > 0)
        return LOWORD(std::uintptr_t(R));
    return Existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int Index) {
    HandleNeeded();
    RECT R{};
    int N = Count();
    if (Index == N && N > 0) {
        // One past the end: where the next row would go.
        SendMessageW(FHandle, LB_GETITEMRECT, WPARAM(N - 1), LPARAM(&R));
        int H = R.Bottom - R.Top;
        return TRect{R.Left, R.Top + H, R.Right, R.Bottom + H};
    }
    if (SendMessageW(FHandle, LB_GETITEMRECT, WPARAM(Index), LPARAM(&R)) == LB_ERR)
        return TRect{};
    return TRect{R.Left, R.Top, R.Right, R.Bottom};
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < Count())
        FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
    auto* Di = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState State;
    if (Di->itemState & ODS_SELECTED)
        State += odSelected;
    if (Di->itemState & ODS_FOCUS)
        State += odFocused;
    if (Di->itemState & ODS_DISABLED)
        State += odDisabled;
    int Saved = SaveDC(Di->hDC);
    FCanvas->SetHandle(Di->hDC);
    FCanvas->SetFont(Font());
    FCanvas->Brush()->SetColor(Color());
    if (State.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    TRect R{Di->rcItem.Left, Di->rcItem.Top, Di->rcItem.Right, Di->rcItem.Bottom};
    try {
        if (Di->itemID != UINT(-1))
            DrawItem(int(Di->itemID), R, State);
        else
            FCanvas->FillRect(R);
        if (State.Contains(odFocused)) {
            RECT F = Di->rcItem;
            DrawFocusRect(Di->hDC, &F);
        }
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        RestoreDC(Di->hDC, Saved);
        throw;
    }
    FCanvas->SetHandle(nullptr);
    RestoreDC(Di->hDC, Saved);
    Message.Result = 1;
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        // The window paints its rows itself.
        DefaultHandler(Message);
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == LBN_SELCHANGE)
            Click();
        else if (HIWORD(Message.WParam) == LBN_DBLCLK)
            DblClick();
        return;
    case CN_DRAWITEM:
        CNDrawItem(Message);
        return;
    case CN_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)->itemHeight = UINT(FItemHeight);
        Message.Result = 1;
        return;
    case WM_LBUTTONDBLCLK:
        // The window reports the double click itself (LBN_DBLCLK); the press goes to the window alone.
        DefaultHandler(Message);
        return;
    case CM_FONTCHANGED:
        TWinControl::Dispatch(Message);
        if (HandleAllocated())
            SendMessageW(FHandle, WM_SETFONT, WPARAM(Font()->Handle()), TRUE);
        return;
    case WM_SIZE:
        TWinControl::Dispatch(Message);
        if (HandleAllocated() && FColumns > 0)
            SendMessageW(FHandle, LB_SETCOLUMNWIDTH, WPARAM(std::max(1, ClientWidth() / FColumns)), 0);
        return;
    }
    TWinControl::Dispatch(Message);
}
