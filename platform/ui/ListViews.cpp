// The list view, its columns and items.
#include "platform/ui/ListViews.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/Edits.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdGlyphs.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

// ---------------------------------------------------------------------------------------------
// TListColumn

void TListColumn::SetCaption(const String& Value) {
    FCaption = Value;
    FOwner->ColumnsChanged();
}

void TListColumn::SetWidth(int Value) {
    FWidth = std::clamp(std::max(0, Value), FMinWidth, std::max(FMinWidth, SectionWidthLimit(FMaxWidth)));
    FOwner->ColumnsChanged();
}

void TListColumn::SetMinWidth(int Value) {
    FMinWidth = std::max(0, Value);
    SetWidth(FWidth);
}

void TListColumn::SetMaxWidth(int Value) {
    FMaxWidth = std::max(0, Value);
    SetWidth(FWidth);
}

void TListColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FOwner->ColumnsChanged();
}

void TListColumn::SetImageIndex(int Value) {
    FImageIndex = Value;
    FOwner->ColumnsChanged();
}

int TListColumn::Index() const {
    for (int I = 0; I < FOwner->ColumnCount(); ++I)
        if (FOwner->Columns(I) == this)
            return I;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// TListItem, TListItems

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {
    // A changed cell is shown at once: the job list writes its progress into sub-items.
    FSubItems->OnChange = [this](TObject*) {
        if (FOwner->FTemp.get() == this)
            return; // an owner-data row being filled in by OnData
        TCustomListView* V = ListView();
        V->Change(this, ctText);
        V->ItemsChanged(false);
    };
}
TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const {
    return FOwner->FOwner;
}

int TListItem::Index() const {
    if (ListView()->FOwnerData)
        return FIndex;
    return FOwner->IndexOf(const_cast<TListItem*>(this));
}

template <class T> bool TListItem::ChangeValue(T& Field, const T& Value, TItemChange Change) {
    if (Value == Field)
        return false;
    if (FOwner->FTemp.get() == this) {
        // An owner-data row being filled in by OnData: nothing changes in the view.
        Field = Value;
        return false;
    }
    TCustomListView* V = ListView();
    if (!V->CanChange(this, Change))
        return false;
    Field = Value;
    V->Change(this, Change);
    V->ItemsChanged(false);
    return true;
}

void TListItem::SetCaption(const String& Value) {
    TCustomListView* V = ListView();
    if (ChangeValue(FCaption, Value, ctText))
        V->SortChanged(V->FSortType == stText || V->FSortType == stBoth);
}

void TListItem::SetData(void* Value) {
    if (Value == FData)
        return;
    FData = Value;
    TCustomListView* V = ListView();
    if (FOwner->FTemp.get() != this)
        V->SortChanged(V->FSortType == stData || V->FSortType == stBoth);
}

void TListItem::SetImageIndex(int Value) {
    ChangeValue(FImageIndex, Value, ctImage);
}
void TListItem::SetStateIndex(int Value) {
    ChangeValue(FStateIndex, Value, ctState);
}

bool TListItem::Checked() const {
    return ListView()->FCheckboxes && FStateIndex == 1;
}
void TListItem::SetChecked(bool Value) {
    SetStateIndex(Value ? 1 : 0);
}

bool TListItem::Selected() const {
    return ListView()->IsSelected(Index());
}
void TListItem::SetSelected(bool Value) {
    ListView()->SetRowSelected(Index(), Value);
}
bool TListItem::Focused() const {
    return ListView()->FFocused == Index() && Index() >= 0;
}

void TListItem::SetFocused(bool Value) {
    if (Value)
        ListView()->SetFocusedIndex(Index());
    else if (Focused())
        ListView()->SetFocusedIndex(-1);
}

void TListItem::Assign(TListItem* Source) {
    if (!Source || Source == this)
        return;
    FCaption = Source->FCaption;
    FSubItems->Assign(Source->FSubItems.get());
    FImageIndex = Source->FImageIndex;
    FStateIndex = Source->FStateIndex;
    FData = Source->FData;
    ListView()->ItemsChanged(false);
    ListView()->SortChanged(ListView()->FSortType != stNone);
}

void TListItem::Delete() {
    FOwner->Delete(Index());
}
TRect TListItem::DisplayRect(TDisplayCode Code) const {
    return ListView()->ItemRect(Index(), Code);
}

TPoint TListItem::Position() const {
    TRect R = ListView()->ItemRect(Index(), drBounds);
    return TPoint{R.Left, R.Top};
}

void TListItem::MakeVisible(bool) {
    ListView()->MakeVisible(Index());
}

bool TListItem::EditCaption() {
    ListView()->BeginEdit(Index());
    return ListView()->IsEditing();
}

void TListItem::Update() {
    ListView()->ItemsChanged(false);
}

TListItems::~TListItems() = default;

int TListItems::Count() const {
    return FOwner->FOwnerData ? FOwnerCount : int(FItems.size());
}

void TListItems::SetCount(int Value) {
    if (!FOwner->FOwnerData || Value < 0)
        return;
    FOwnerCount = Value;
    FOwner->FSel.assign(std::size_t(Value), 0);
    FOwner->FFocused = std::min(FOwner->FFocused, Value - 1);
    FOwner->FAnchor = -1;
    FOwner->ItemsChanged();
}

TListItem* TListItems::Add() {
    return Insert(Count());
}

TListItem* TListItems::Insert(int Index) {
    if (FOwner->FOwnerData)
        throw EListError(u"Items of an owner-data list view come from OnData");
    if (Index < 0 || Index > Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    FItems.insert(FItems.begin() + Index, std::make_unique<TListItem>(this));
    if (FOwner->FCheckboxes)
        FItems[std::size_t(Index)]->FStateIndex = 0;
    FOwner->ItemInserted(Index);
    return FItems[std::size_t(Index)].get();
}

void TListItems::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    if (FOwner->IsEditing() && FOwner->FEditIndex == Index)
        FOwner->EndEdit(false);
    // A selected row loses its selection first, so the events name it while it still exists.
    if (FOwner->IsSelected(Index))
        FOwner->SetRowSelected(Index, false);
    if (FOwner->FOwnerData) {
        --FOwnerCount;
    } else {
        FItems.erase(FItems.begin() + Index);
    }
    FOwner->ItemDeleted(Index);
}

void TListItems::Clear() {
    if (FOwner->IsEditing())
        FOwner->EndEdit(false);
    FOwner->ClearSelection();
    FItems.clear();
    FOwnerCount = 0;
    FOwner->FSel.clear();
    FOwner->FFocused = FOwner->FAnchor = FOwner->FPressedLabel = FOwner->FHot = -1;
    ++FOwner->FItemsVersion;
    FOwner->FTop = 0;
    FOwner->ItemsChanged();
}

void TListItems::BeginUpdate() {
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0)
        return;
    if (FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
    if (FOwner->FSortPending)
        FOwner->AlphaSort();
    FOwner->ItemsChanged();
}

TListItem* TListItems::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    return FOwner->ItemAt(Index);
}

int TListItems::IndexOf(TListItem* Value) const {
    for (std::size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Value)
            return int(I);
    return -1;
}

// ---------------------------------------------------------------------------------------------
// TCustomListView: layout

namespace {

constexpr UINT CM_FREEEDITOR = CM_BASE + 0x7F0; // frees the label editor once its handler is done
constexpr UINT_PTR EditTimerId = 1;             // a press on a chosen row's label waits to edit it
constexpr UINT_PTR HoverTimerId = 2;            // the mouse resting on a hot row
constexpr UINT HoverTimeMs = 400;               // the platform's default hover time
constexpr int IconCellWidth = 76;
constexpr int SmallIconCellWidth = 130;
constexpr int ListColumnWidth = 150;

// Measured on a memory DC: a screen DC would compose the whole screen.
int FontHeight(TFont* Font) {
    HDC Dc = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Dc, Font->Handle());
    TEXTMETRICW Tm{};
    GetTextMetricsW(Dc, &Tm);
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    return std::max<int>(1, Tm.tmHeight);
}

SIZE ImageSize(HIMAGELIST L) {
    int W = 0, H = 0;
    if (L)
        ImageList_GetIconSize(L, &W, &H);
    return SIZE{W, H};
}

} // namespace

struct TCustomListView::TLayout {
    TViewStyle View = vsIcon;
    RECT Client;
    int FontH = 0;
    int HeaderH = 0;
    int RowH = 0;
    int CellW = 0;
    int CellH = 0;
    int PerColumn = 1; // list: rows of a column
    int PerRow = 1;    // icons: cells of a row
    int TotalW = 0;    // report: the columns' width
    SIZE Small{}, Large{}, State{};
};

TCustomListView::TLayout TCustomListView::Layout() const {
    TLayout L;
    L.View = FViewStyle;
    L.Client = RECT{};
    if (FHandle)
        GetClientRect(FHandle, &L.Client);
    else
        L.Client = RECT{0, 0, FWidth, FHeight};
    L.FontH = FontHeight(Font());
    L.Small = ImageSize(FSmallHandle);
    L.Large = ImageSize(FLargeHandle);
    L.State = FCheckboxes ? SIZE{16, 16} : ImageSize(FStateHandle);
    L.RowH = std::max<int>({L.FontH + 4, L.Small.cy + 1, L.State.cy + 1});
    L.HeaderH = FViewStyle == vsReport && FShowColumnHeaders ? L.FontH + 6 : 0;
    if (FHeader) {
        RECT H{};
        GetWindowRect(FHeader, &H);
        if (IsWindowVisible(FHeader))
            L.HeaderH = H.Bottom - H.Top;
    }
    for (const auto& C : FColumns)
        L.TotalW += C->FWidth;
    int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
    switch (FViewStyle) {
    case vsReport:
        L.CellW = L.TotalW;
        L.CellH = L.RowH;
        break;
    case vsList:
        L.CellW = ListColumnWidth;
        L.CellH = L.RowH;
        L.PerColumn = std::max(1, ClientH / L.RowH);
        break;
    case vsSmallIcon:
        L.CellW = SmallIconCellWidth;
        L.CellH = L.RowH;
        L.PerRow = std::max(1, ClientW / L.CellW);
        break;
    case vsIcon:
        L.CellW = std::max<int>(IconCellWidth, L.Large.cx + 2 * L.State.cx + 12);
        L.CellH = std::max<int>(L.Large.cy, 32) + 6 + 2 * L.FontH + 4;
        L.PerRow = std::max(1, ClientW / L.CellW);
        break;
    }
    return L;
}

int TCustomListView::Count() const {
    return FItems->Count();
}

TListItem* TCustomListView::ItemAt(int Index) const {
    if (!FOwnerData)
        return FItems->FItems[std::size_t(Index)].get();
    return FetchItem(Index);
}

TListItem* TCustomListView::FetchItem(int Index) const {
    auto& T = FItems->FTemp;
    if (!T)
        T = std::make_unique<TListItem>(FItems.get());
    T->FIndex = Index;
    T->FCaption.clear();
    T->FSubItems->Clear();
    T->FImageIndex = -1;
    T->FStateIndex = -1;
    T->FData = nullptr;
    TItemRequest Request{irText, irImage};
    if (FCheckboxes || FStateHandle)
        Request.Include(irState);
    const_cast<TCustomListView*>(this)->OwnerDataFetch(T.get(), Request);
    return T.get();
}

TRect TCustomListView::ItemRect(int Index, TDisplayCode Code) const {
    if (Index < 0 || Index >= Count())
        return TRect{};
    TLayout L = Layout();
    RECT B{};
    switch (FViewStyle) {
    case vsReport: {
        int Y = L.HeaderH + (Index - FTop) * L.RowH;
        B = RECT{-FXOff, Y, -FXOff + L.TotalW, Y + L.RowH};
        // The icon and caption stay with the first column wherever it is shown.
        int Col0 = FColumns.empty() ? 0 : ColumnLeft(0);
        int Col0W = FColumns.empty() ? L.TotalW : FColumns[0]->FWidth;
        int IconX = B.Left + Col0 + 2 + L.State.cx;
        RECT Icon{IconX, B.Top, IconX + L.Small.cx, B.Bottom};
        RECT Label{Icon.Right + (L.Small.cx ? 2 : 0), B.Top, B.Left + Col0 + Col0W, B.Bottom};
        if (Code == drIcon)
            B = Icon;
        else if (Code == drLabel)
            B = Label;
        else if (Code == drSelectBounds)
            B = FRowSelect ? B : RECT{Icon.Left, B.Top, Label.Right, B.Bottom};
        break;
    }
    case vsList: {
        int Col = Index / L.PerColumn - FTop, Row = Index % L.PerColumn;
        B = RECT{Col * L.CellW, Row * L.RowH, (Col + 1) * L.CellW, (Row + 1) * L.RowH};
        RECT Icon{B.Left + 2 + L.State.cx, B.Top, B.Left + 2 + L.State.cx + L.Small.cx, B.Bottom};
        if (Code == drIcon)
            B = Icon;
        else if (Code == drLabel || Code == drSelectBounds)
            B = RECT{Code == drLabel ? Icon.Right + 2 : B.Left, B.Top, B.Right, B.Bottom};
        break;
    }
    case vsSmallIcon:
    case vsIcon: {
        int X = (Index % L.PerRow) * L.CellW, Y = (Index / L.PerRow) * L.CellH - FTop;
        B = RECT{X, Y, X + L.CellW, Y + L.CellH};
        if (FViewStyle == vsSmallIcon) {
            RECT Icon{B.Left + 2 + L.State.cx, B.Top, B.Left + 2 + L.State.cx + L.Small.cx, B.Bottom};
            if (Code == drIcon)
                B = Icon;
            else if (Code == drLabel)
                B = RECT{Icon.Right + 2, B.Top, B.Right, B.Bottom};
        } else {
            int IconH = std::max<int>(L.Large.cy, 32);
            RECT Icon{B.Left, B.Top + 2, B.Right, B.Top + 2 + IconH};
            if (Code == drIcon)
                B = Icon;
            else if (Code == drLabel)
                B = RECT{B.Left + 2, Icon.Bottom + 2, B.Right - 2, B.Bottom - 2};
        }
        break;
    }
    }
    return TRect{B.Left, B.Top, B.Right, B.Bottom};
}

TRect TCustomListView::SubItemRect(int Index, int SubItem) const {
    TRect B = ItemRect(Index, drBounds);
    if (FViewStyle != vsReport || SubItem < 0 || SubItem >= ColumnCount())
        return SubItem == 0 ? B : TRect{};
    int X = B.Left + ColumnLeft(SubItem);
    return TRect{X, B.Top, X + FColumns[std::size_t(SubItem)]->FWidth, B.Bottom};
}

TRect TCustomListView::StateRect(int Index) const {
    TLayout L = Layout();
    if (L.State.cx == 0 || Index < 0 || Index >= Count())
        return TRect{};
    TRect Icon = ItemRect(Index, drIcon);
    if (FViewStyle == vsIcon) {
        // Beside the large picture's lower left corner.
        int X = (Icon.Left + Icon.Right - L.Large.cx) / 2 - L.State.cx;
        return TRect{X, Icon.Bottom - L.State.cy, X + L.State.cx, Icon.Bottom};
    }
    int Y = (Icon.Top + Icon.Bottom - L.State.cy) / 2;
    return TRect{Icon.Left - L.State.cx, Y, Icon.Left, Y + L.State.cy};
}

int TCustomListView::VisibleRowCount() const {
    TLayout L = Layout();
    int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
    switch (FViewStyle) {
    case vsReport:
        return std::max(0, (ClientH - L.HeaderH) / L.RowH);
    case vsList:
        return L.PerColumn * std::max(1, ClientW / L.CellW);
    default:
        return L.PerRow * std::max(1, ClientH / L.CellH);
    }
}

int TCustomListView::IndexAt(int X, int Y) const {
    TLayout L = Layout();
    int N = Count();
    int I = -1;
    switch (FViewStyle) {
    case vsReport:
        if (Y < L.HeaderH || X + FXOff >= L.TotalW || X + FXOff < 0)
            return -1;
        I = FTop + (Y - L.HeaderH) / L.RowH;
        break;
    case vsList: {
        if (X < 0 || Y < 0 || Y >= L.PerColumn * L.RowH)
            return -1;
        I = (FTop + X / L.CellW) * L.PerColumn + Y / L.RowH;
        break;
    }
    default: {
        if (X < 0 || X >= L.PerRow * L.CellW || Y + FTop < 0)
            return -1;
        I = ((Y + FTop) / L.CellH) * L.PerRow + X / L.CellW;
        break;
    }
    }
    return I >= 0 && I < N ? I : -1;
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
    int I = IndexAt(X, Y);
    return I >= 0 ? ItemAt(I) : nullptr;
}

TListItem* TCustomListView::TopItem() {
    if (Count() == 0)
        return nullptr;
    int I = FViewStyle == vsReport ? FTop : FViewStyle == vsList ? FTop * Layout().PerColumn : IndexAt(1, 1);
    return I >= 0 && I < Count() ? ItemAt(I) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void TCustomListView::UpdateScrollBars() {
    if (!FHandle || FInScroll)
        return;
    FInScroll = true;
    for (int Round = 0; Round < 2; ++Round) {
        TLayout L = Layout();
        int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
        SCROLLINFO V, H;
        V.fMask = H.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        switch (FViewStyle) {
        case vsReport:
            V.nMax = std::max(Count() - 1, 0);
            V.nPage = UINT(std::max(0, (ClientH - L.HeaderH) / L.RowH));
            V.nPos = FTop;
            H.nMax = L.TotalW;
            H.nPage = UINT(ClientW + 1);
            H.nPos = FXOff;
            break;
        case vsList: {
            int Cols = (Count() + L.PerColumn - 1) / L.PerColumn;
            H.nMax = std::max(Cols - 1, 0);
            H.nPage = UINT(std::max(1, ClientW / L.CellW));
            H.nPos = FTop;
            break;
        }
        default: {
            int Rows = (Count() + L.PerRow - 1) / L.PerRow;
            V.nMax = Rows * L.CellH;
            V.nPage = UINT(ClientH + 1);
            V.nPos = FTop;
            break;
        }
        }
        SetScrollInfo(FHandle, SB_VERT, &V, TRUE);
        SetScrollInfo(FHandle, SB_HORZ, &H, TRUE);
        RECT After{};
        GetClientRect(FHandle, &After);
        if (After == L.Client)
            break;
    }
    FInScroll = false;
}

void TCustomListView::SetTop(int Top, int XOff) {
    TLayout L = Layout();
    int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
    int MaxTop = 0, MaxX = 0;
    switch (FViewStyle) {
    case vsReport:
        MaxTop = std::max(0, Count() - std::max(1, (ClientH - L.HeaderH) / L.RowH));
        MaxX = std::max(0, L.TotalW - ClientW);
        break;
    case vsList: {
        int Cols = (Count() + L.PerColumn - 1) / L.PerColumn;
        MaxTop = std::max(0, Cols - std::max(1, ClientW / L.CellW));
        break;
    }
    default: {
        int Rows = (Count() + L.PerRow - 1) / L.PerRow;
        MaxTop = std::max(0, Rows * L.CellH - ClientH);
        break;
    }
    }
    Top = std::clamp(Top, 0, MaxTop);
    XOff = std::clamp(XOff, 0, MaxX);
    if (Top == FTop && XOff == FXOff)
        return;
    bool Sideways = XOff != FXOff;
    FTop = Top;
    FXOff = XOff;
    if (FHandle) {
        InvalidateRect(FHandle, nullptr, TRUE);
        if (Sideways)
            SyncHeader();
    }
    UpdateScrollBars();
}

void TCustomListView::Scroll(int DX, int DY) {
    TLayout L = Layout();
    switch (FViewStyle) {
    case vsReport:
        SetTop(FTop + DY / L.RowH, FXOff + DX);
        break;
    case vsList:
        SetTop(FTop + DX / L.CellW, 0);
        break;
    default:
        SetTop(FTop + DY, 0);
        break;
    }
}

void TCustomListView::MakeVisible(int Index) {
    if (Index < 0 || Index >= Count())
        return;
    TLayout L = Layout();
    int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
    switch (FViewStyle) {
    case vsReport: {
        int Page = std::max(1, (ClientH - L.HeaderH) / L.RowH);
        if (Index < FTop)
            SetTop(Index, FXOff);
        else if (Index >= FTop + Page)
            SetTop(Index - Page + 1, FXOff);
        break;
    }
    case vsList: {
        int Col = Index / L.PerColumn, Page = std::max(1, ClientW / L.CellW);
        if (Col < FTop)
            SetTop(Col, 0);
        else if (Col >= FTop + Page)
            SetTop(Col - Page + 1, 0);
        break;
    }
    default: {
        int Y = (Index / L.PerRow) * L.CellH;
        if (Y < FTop)
            SetTop(Y, 0);
        else if (Y + L.CellH > FTop + ClientH)
            SetTop(Y + L.CellH - ClientH, 0);
        break;
    }
    }
}

void TCustomListView::WMScroll(TMessage& Message, bool Vert) {
    TLayout L = Layout();
    int ClientH = L.Client.Bottom - L.Client.Top, ClientW = L.Client.Right - L.Client.Left;
    bool Rows = FViewStyle == vsReport && Vert;
    bool Cols = FViewStyle == vsList && !Vert;
    bool Pixels = !Rows && !Cols;
    if ((FViewStyle == vsList && Vert) || (FViewStyle != vsReport && FViewStyle != vsList && !Vert))
        return;
    int Pos = Vert ? FTop : (FViewStyle == vsReport ? FXOff : FTop);
    int Line = Pixels ? (FViewStyle == vsReport ? 8 : L.CellH / 2) : 1;
    int Page = Rows   ? std::max(1, (ClientH - L.HeaderH) / L.RowH)
               : Cols ? std::max(1, ClientW / L.CellW)
                      : (Vert ? ClientH : ClientW);
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
        Pos -= Line;
        break;
    case SB_LINEDOWN:
        Pos += Line;
        break;
    case SB_PAGEUP:
        Pos -= Page;
        break;
    case SB_PAGEDOWN:
        Pos += Page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO Si;
        Si.fMask = SIF_TRACKPOS;
        Pos = LOWORD(Message.WParam) == SB_THUMBTRACK && GetScrollInfo(FHandle, Vert ? SB_VERT : SB_HORZ, &Si)
                  ? Si.nTrackPos
                  : HIWORD(Message.WParam);
        break;
    }
    case SB_TOP:
        Pos = 0;
        break;
    case SB_BOTTOM:
        Pos = 1 << 30;
        break;
    default:
        return;
    }
    if (FViewStyle == vsReport && !Vert)
        SetTop(FTop, Pos);
    else
        SetTop(Pos, FXOff);
}

// ---------------------------------------------------------------------------------------------
// Selection

bool TCustomListView::IsSelected(int Index) const {
    return Index >= 0 && Index < int(FSel.size()) && FSel[std::size_t(Index)];
}

void TCustomListView::ApplySelection(const std::vector<char>& Wanted) {
    std::vector<int> Lose, Gain;
    for (int I = 0; I < int(FSel.size()); ++I) {
        bool Want = I < int(Wanted.size()) && Wanted[std::size_t(I)];
        if (FSel[std::size_t(I)] && !Want)
            Lose.push_back(I);
        else if (!FSel[std::size_t(I)] && Want)
            Gain.push_back(I);
    }
    std::weak_ptr<char> Alive = AliveToken();
    auto Step = [&](int I, bool On) {
        if (I >= int(FSel.size()))
            return;
        TListItem* It = ItemAt(I);
        if (!CanChange(It, ctState) || Alive.expired())
            return;
        FSel[std::size_t(I)] = On ? 1 : 0;
        if (FHandle) {
            RECT R = ItemRect(I, drBounds);
            InvalidateRect(FHandle, &R, TRUE);
        }
        It = ItemAt(I);
        Change(It, ctState);
        if (Alive.expired() || I >= int(FSel.size()))
            return;
        if (OnSelectItem)
            OnSelectItem(this, FOwnerData ? FetchItem(I) : ItemAt(I), On);
    };
    for (int I : Lose) {
        Step(I, false);
        if (Alive.expired())
            return;
    }
    for (int I : Gain) {
        Step(I, true);
        if (Alive.expired())
            return;
    }
}

void TCustomListView::SetRowSelected(int Index, bool Value) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    std::vector<char> W = Value && !FMultiSelect ? std::vector<char>(FSel.size(), 0) : FSel;
    W[std::size_t(Index)] = Value ? 1 : 0;
    ApplySelection(W);
}

int TCustomListView::ItemIndex() const {
    for (int I = 0; I < int(FSel.size()); ++I)
        if (FSel[std::size_t(I)])
            return I;
    return -1;
}

void TCustomListView::SetItemIndex(int Value) {
    // An index outside the list clears the selection: a stale index must not take the program down.
    if (Value < -1 || Value >= Count())
        Value = -1;
    std::vector<char> W(FSel.size(), 0);
    if (Value >= 0)
        W[std::size_t(Value)] = 1;
    ApplySelection(W);
    if (Value >= 0)
        SetFocusedIndex(Value);
}

TListItem* TCustomListView::Selected() const {
    int I = ItemIndex();
    return I >= 0 ? ItemAt(I) : nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
    if (!Value) {
        ClearSelection();
        return;
    }
    SetItemIndex(Value->Index());
}

int TCustomListView::SelCount() const {
    return int(std::count(FSel.begin(), FSel.end(), 1));
}

TListItem* TCustomListView::ItemFocused() const {
    return FFocused >= 0 && FFocused < Count() ? ItemAt(FFocused) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* Value) {
    SetFocusedIndex(Value ? Value->Index() : -1);
}

void TCustomListView::SetFocusedIndex(int Index) {
    if (Index == FFocused)
        return;
    if (FHandle && FFocused >= 0) {
        RECT R = ItemRect(FFocused, drBounds);
        InvalidateRect(FHandle, &R, TRUE);
    }
    FFocused = Index;
    if (FHandle && Index >= 0) {
        RECT R = ItemRect(Index, drBounds);
        InvalidateRect(FHandle, &R, TRUE);
    }
}

void TCustomListView::ClearSelection() {
    ApplySelection(std::vector<char>(FSel.size(), 0));
}

void TCustomListView::SelectAll() {
    if (FMultiSelect)
        ApplySelection(std::vector<char>(FSel.size(), 1));
}

void TCustomListView::SelectRow(int Index, bool Shift, bool Ctrl, bool ByMouse) {
    if (Index < 0 || Index >= Count())
        return;
    std::vector<char> W(FSel.size(), 0);
    if (!FMultiSelect) {
        W[std::size_t(Index)] = 1;
        FAnchor = Index;
    } else if (Shift) {
        if (FAnchor < 0 || FAnchor >= Count())
            FAnchor = Index;
        if (Ctrl)
            W = FSel;
        for (int I = std::min(FAnchor, Index); I <= std::max(FAnchor, Index); ++I)
            W[std::size_t(I)] = 1;
    } else if (Ctrl) {
        W = FSel;
        if (ByMouse) {
            W[std::size_t(Index)] = !W[std::size_t(Index)];
            FAnchor = Index;
        }
    } else {
        W[std::size_t(Index)] = 1;
        FAnchor = Index;
    }
    std::weak_ptr<char> Alive = AliveToken();
    ApplySelection(W);
    if (Alive.expired())
        return;
    SetFocusedIndex(Index);
    MakeVisible(Index);
}

// ---------------------------------------------------------------------------------------------
// Items and columns changing

void TCustomListView::ItemsChanged(bool ScrollToo) {
    if (FItems->FUpdateCount > 0)
        return;
    if (FHandle)
        InvalidateRect(FHandle, nullptr, TRUE);
    if (ScrollToo) {
        SetTop(FTop, FXOff);
        UpdateScrollBars();
    }
}

void TCustomListView::ItemInserted(int Index) {
    ++FItemsVersion;
    FSel.insert(FSel.begin() + Index, 0);
    for (int* P : {&FFocused, &FAnchor, &FPressedLabel, &FEditIndex, &FHot})
        if (*P >= Index)
            ++*P;
    ItemsChanged();
}

void TCustomListView::ItemDeleted(int Index) {
    ++FItemsVersion;
    if (Index < int(FSel.size()))
        FSel.erase(FSel.begin() + Index);
    for (int* P : {&FFocused, &FAnchor, &FPressedLabel, &FEditIndex, &FHot}) {
        if (*P == Index)
            *P = -1;
        else if (*P > Index)
            --*P;
    }
    ItemsChanged();
}

TListColumn* TCustomListView::AddColumn() {
    FColumns.push_back(std::make_unique<TListColumn>(this));
    FColumnOrder.push_back(ColumnCount() - 1);
    ColumnsChanged();
    return FColumns.back().get();
}

void TCustomListView::DeleteColumn(int Index) {
    if (Index < 0 || Index >= ColumnCount())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    FColumns.erase(FColumns.begin() + Index);
    FColumnOrder.erase(std::find(FColumnOrder.begin(), FColumnOrder.end(), Index));
    for (int& C : FColumnOrder)
        if (C > Index)
            --C;
    ColumnsChanged();
}

void TCustomListView::ClearColumns() {
    FColumns.clear();
    FColumnOrder.clear();
    ColumnsChanged();
}

void TCustomListView::SetSortType(TSortType Value) {
    FSortType = Value;
    if (Value != stNone)
        AlphaSort();
}

void TCustomListView::SortChanged(bool Key) {
    if (!Key)
        return;
    if (FEditor || FItems->FUpdateCount > 0)
        FSortPending = true;
    else
        AlphaSort();
}

bool TCustomListView::AlphaSort() {
    // A comparison handler that sorts again, or adds or deletes rows, is not followed.
    if (FOwnerData || FSorting)
        return false;
    if (FEditor)
        EndEdit(false);
    FSortPending = false;
    struct TAborted {};
    auto& Rows = FItems->FItems;
    std::uint64_t Version = FItemsVersion;
    std::vector<int> Order(Rows.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = int(I);
    FSorting = true;
    try {
        std::stable_sort(Order.begin(), Order.end(), [&](int A, int B) {
            if (FItemsVersion != Version)
                throw TAborted{};
            TListItem* First = Rows[std::size_t(A)].get();
            TListItem* Second = Rows[std::size_t(B)].get();
            int Compare = 0;
            if (OnCompare)
                OnCompare(this, First, Second, 0, Compare);
            else
                Compare = AnsiCompareText(First->FCaption, Second->FCaption);
            return Compare < 0;
        });
    } catch (const TAborted&) {
        FSorting = false;
        return false;
    } catch (...) {
        FSorting = false;
        throw;
    }
    FSorting = false;
    if (FItemsVersion != Version) // the last comparison changed the rows
        return false;
    std::vector<std::unique_ptr<TListItem>> Sorted(Rows.size());
    std::vector<char> Sel(FSel.size(), 0);
    std::vector<int> NewIndex(Rows.size());
    for (std::size_t I = 0; I < Order.size(); ++I) {
        std::size_t From = std::size_t(Order[I]);
        Sorted[I] = std::move(Rows[From]);
        Sel[I] = From < FSel.size() ? FSel[From] : 0;
        NewIndex[From] = int(I);
    }
    Rows = std::move(Sorted);
    FSel = std::move(Sel);
    for (int* P : {&FFocused, &FAnchor, &FPressedLabel})
        if (*P >= 0 && *P < int(NewIndex.size()))
            *P = NewIndex[std::size_t(*P)];
    ItemsChanged(false);
    return true;
}

bool TCustomListView::SetColumnOrder(const std::vector<int>& Value) {
    std::vector<int> Sorted = Value;
    std::sort(Sorted.begin(), Sorted.end());
    for (int I = 0; I < int(Sorted.size()); ++I)
        if (Sorted[std::size_t(I)] != I)
            return false;
    if (int(Sorted.size()) != ColumnCount())
        return false;
    if (Value != FColumnOrder) {
        FColumnOrder = Value;
        ColumnsChanged();
    }
    return true;
}

int TCustomListView::ColumnLeft(int Column) const {
    int X = 0;
    for (int C : FColumnOrder) {
        if (C == Column)
            break;
        X += FColumns[std::size_t(C)]->FWidth;
    }
    return X;
}

void TCustomListView::SetFullDrag(bool Value) {
    FFullDrag = Value;
    if (FHeader) {
        LONG_PTR Style = GetWindowLongPtrW(FHeader, GWL_STYLE);
        SetWindowLongPtrW(FHeader, GWL_STYLE, Value ? Style | HDS_DRAGDROP : Style & ~LONG_PTR(HDS_DRAGDROP));
    }
}

void TCustomListView::ColumnsChanged() {
    SyncHeader();
    ItemsChanged();
}

void TCustomListView::SyncHeader() {
    if (!FHeader)
        return;
    int Have = int(SendMessageW(FHeader, HDM_GETITEMCOUNT, 0, 0));
    while (Have > ColumnCount())
        SendMessageW(FHeader, HDM_DELETEITEM, WPARAM(--Have), 0);
    for (int I = 0; I < ColumnCount(); ++I) {
        TListColumn* C = Columns(I);
        PutHeaderSection(FHeader, I, C->FCaption, C->FWidth, C->FAlignment, C->FImageIndex, I >= Have);
    }
    if (!FColumnOrder.empty())
        SendMessageW(FHeader, HDM_SETORDERARRAY, WPARAM(FColumnOrder.size()), LPARAM(FColumnOrder.data()));
    TLayout L = Layout();
    int ClientW = L.Client.Right - L.Client.Left;
    HDLAYOUT Hl;
    RECT Area{-FXOff, 0, std::max(ClientW, L.TotalW - FXOff), L.Client.Bottom};
    WINDOWPOS Wp;
    Hl.prc = &Area;
    Hl.pwpos = &Wp;
    SendMessageW(FHeader, HDM_LAYOUT, 0, LPARAM(&Hl));
    SetWindowPos(FHeader, nullptr, Wp.x, Wp.y, Wp.cx, Wp.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(FHeader, FShowColumnHeaders && FViewStyle == vsReport ? SW_SHOWNA : SW_HIDE);
}

void TCustomListView::CreateHeader() {
    if (FHeader || !FHandle || FViewStyle != vsReport)
        return;
    RegisterHeaderClass();
    // A child of the view from the start, so the view's parent-notify shows it being made.
    DWORD Style = WS_CHILD | (FShowColumnHeaders ? WS_VISIBLE : 0) | (FFullDrag ? HDS_DRAGDROP : 0);
    FHeader = CreateWindowExW(0, u"SysHeader32", u"", Style, 0, 0, 0, 0, FHandle, nullptr, nullptr, nullptr);
    if (!FHeader)
        return;
    SendMessageW(FHeader, WM_SETFONT, WPARAM(Font()->Handle()), 0);
    SendMessageW(FHeader, HDM_SETIMAGELIST, 0, LPARAM(FSmallHandle));
    SyncHeader();
}

// ---------------------------------------------------------------------------------------------
// Properties

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>(this)), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListView::~TCustomListView() {
    if (FEditor) {
        delete FEditor;
        FEditor = nullptr;
    }
}

void TCustomListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    AddFrameStyle(Params);
    Params.WindowClass.style = CS_DBLCLKS;
}

void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    CreateHeader();
    UpdateScrollBars();
}

void TCustomListView::DestroyWnd() {
    if (FEditor)
        EndEdit(false);
    if (FHeader && IsWindow(FHeader))
        DestroyWindow(FHeader);
    FHeader = nullptr;
    TWinControl::DestroyWnd();
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (Value == FViewStyle)
        return;
    if (FEditor)
        EndEdit(false);
    FViewStyle = Value;
    FTop = FXOff = 0;
    if (FHandle) {
        // The header, once made, lives as long as the window: the other views only hide it.
        if (Value == vsReport)
            CreateHeader();
        if (FHeader)
            SyncHeader();
    }
    ItemsChanged();
}

void TCustomListView::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    if (!Value && SelCount() > 1) {
        std::vector<char> W(FSel.size(), 0);
        W[std::size_t(ItemIndex())] = 1;
        ApplySelection(W);
    }
}

void TCustomListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    ItemsChanged(false);
}

void TCustomListView::SetGridLines(bool Value) {
    FGridLines = Value;
    ItemsChanged(false);
}

void TCustomListView::SetHideSelection(bool Value) {
    FHideSelection = Value;
    ItemsChanged(false);
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
    if (Value == FShowColumnHeaders)
        return;
    FShowColumnHeaders = Value;
    // The window is made again, so that its header is made anew with the view's new style, as the
    // parent-notify of its creation tells.
    if (FHandle)
        RecreateWnd();
    ItemsChanged();
}

void TCustomListView::SetOwnerData(bool Value) {
    if (Value == FOwnerData)
        return;
    FItems->Clear();
    FOwnerData = Value;
}

void TCustomListView::SetImageList(TCustomImageList*& List, HIMAGELIST& Handle, TCustomImageList* Value) {
    if (List)
        List->RemoveFreeNotification(this);
    List = Value;
    if (Value)
        Value->FreeNotification(this);
    Handle = Value ? Value->Handle() : nullptr;
    ItemsChanged();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
    SetImageList(FSmallImages, FSmallHandle, Value);
    if (FHeader)
        SendMessageW(FHeader, HDM_SETIMAGELIST, 0, LPARAM(FSmallHandle));
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
    SetImageList(FLargeImages, FLargeHandle, Value);
}
void TCustomListView::SetStateImages(TCustomImageList* Value) {
    SetImageList(FStateImages, FStateHandle, Value);
}

void TCustomListView::SetHotTrack(bool Value) {
    FHotTrack = Value;
    if (!Value)
        SetHot(-1);
}

void TCustomListView::SetHot(int Index) {
    if (Index == FHot)
        return;
    if (FHandle) {
        KillTimer(FHandle, HoverTimerId);
        for (int I : {FHot, Index})
            if (I >= 0 && I < Count()) {
                RECT R = ItemRect(I, drBounds);
                InvalidateRect(FHandle, &R, TRUE);
            }
    }
    FHot = Index;
    if (FHandle && Index >= 0)
        SetTimer(FHandle, HoverTimerId, HoverTimeMs, nullptr);
}

void TCustomListView::MouseMove(TShiftState Shift, int X, int Y) {
    // A held button drags or selects by itself: nothing is hot meanwhile.
    bool Held = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
    if (FHotTrack)
        SetHot(Held ? -1 : IndexAt(X, Y));
    TWinControl::MouseMove(Shift, X, Y);
}

void TCustomListView::SetCheckboxes(bool Value) {
    if (Value == FCheckboxes)
        return;
    FCheckboxes = Value;
    // Every row starts with a clear box; without boxes no row shows a state.
    for (auto& It : FItems->FItems)
        if (Value ? It->FStateIndex < 0 : It->FStateIndex <= 1)
            It->FStateIndex = Value ? 0 : -1;
    ItemsChanged();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSmallImages)
        SetSmallImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
    if (AComponent == FStateImages)
        SetStateImages(nullptr);
    if (AComponent == FEditor)
        FEditor = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Events

bool TCustomListView::CanChange(TListItem* Item, TItemChange Change) {
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Item, Change, Allow);
    return Allow;
}

void TCustomListView::Change(TListItem* Item, TItemChange Change) {
    if (OnChange)
        OnChange(this, Item, Change);
}

void TCustomListView::ColClick(TListColumn* Column) {
    if (OnColumnClick)
        OnColumnClick(this, Column);
}

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest) {
    if (!OnData)
        return false;
    OnData(this, Item);
    return true;
}

int TCustomListView::OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                                   int StartIndex, TSearchDirection Direction, bool Wrap) {
    int Index = -1;
    if (OnDataFind)
        OnDataFind(this, Find, FindString, FindPosition, FindData, StartIndex, Direction, Wrap, Index);
    return Index;
}

bool TCustomListView::CanEdit(TListItem* Item) {
    bool Allow = true;
    if (OnEditing)
        OnEditing(this, Item, Allow);
    return Allow;
}

void TCustomListView::Edit(int Index, const String& Text, bool Cancelled) {
    if (Cancelled || Index < 0 || Index >= Count())
        return;
    String S = Text;
    TListItem* It = ItemAt(Index);
    if (OnEdited)
        OnEdited(this, It, S);
    if (!FOwnerData && Index < Count())
        ItemAt(Index)->SetCaption(S);
}

// ---------------------------------------------------------------------------------------------
// Label editing

namespace {

// Enter and Escape end the editing instead of reaching the form's buttons.
class TLabelEditor : public TEdit {
public:
    using TEdit::TEdit;
    void Dispatch(TMessage& M) override {
        TEdit::Dispatch(M);
        if (M.Msg == WM_GETDLGCODE)
            M.Result |= DLGC_WANTALLKEYS;
    }
};

} // namespace

void TCustomListView::BeginEdit(int Index) {
    if (FReadOnly || Index < 0 || Index >= Count() || !HandleAllocated())
        return;
    if (FEditor)
        EndEdit(true);
    if (!CanEdit(ItemAt(Index)))
        return;
    MakeVisible(Index);
    TRect R = ItemRect(Index, drLabel);
    auto* E = new TLabelEditor(this);
    FEditor = E;
    FEditIndex = Index;
    E->FreeNotification(this);
    E->SetParent(this);
    E->Font()->Assign(Font());
    int H = Layout().FontH + 6;
    E->SetBounds(R.Left, R.Top + (R.Bottom - R.Top - H) / 2, std::max<int>(R.Right - R.Left, 40), H);
    E->SetText(ItemAt(Index)->Caption());
    E->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            bool Commit = Key == VK_RETURN;
            Key = 0;
            EndEdit(Commit);
        }
    };
    E->OnExit = [this](TObject*) { EndEdit(true); };
    E->SetFocus();
    E->SelectAll();
}

void TCustomListView::EndEdit(bool Commit) {
    TWinControl* E = FEditor;
    if (!E)
        return;
    FEditor = nullptr;
    int Index = FEditIndex;
    FEditIndex = -1;
    String Text = E->Text();
    static_cast<TEdit*>(E)->OnExit = nullptr;
    static_cast<TEdit*>(E)->OnKeyDown = nullptr;
    bool HadFocus = E->Focused();
    E->Hide();
    // The editor may be running its own handler: it goes once that has returned.
    if (FHandle)
        PostMessageW(FHandle, CM_FREEEDITOR, 0, LPARAM(E));
    else
        delete E;
    if (HadFocus && CanFocus())
        SetFocus();
    Edit(Index, Text, !Commit);
    if (FSortPending && !FEditor && FItems->FUpdateCount == 0)
        AlphaSort();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TCustomListView::PaintState(HDC DC, int Index, TListItem* Item) {
    TRect R = StateRect(Index);
    if (R.Right <= R.Left)
        return;
    if (FCheckboxes)
        DrawCheckSquare(DC, R.Left + 1, (R.Top + R.Bottom - 13) / 2, Item->FStateIndex == 1, false);
    else if (Item->FStateIndex >= 0 && Item->FStateIndex < ImageList_GetImageCount(FStateHandle))
        ImageList_Draw(FStateHandle, Item->FStateIndex, DC, R.Left, R.Top, ILD_TRANSPARENT);
}

bool TCustomListView::CustomDrawStep(HDC DC, TFont& Look, TColor& Back, const std::function<void(bool&)>& Event) {
    bool Default = true;
    FCanvas->PaintOn(DC, [&] {
        FCanvas->Font()->Assign(&Look);
        FCanvas->Brush()->SetColor(Back);
        Event(Default);
        Look.Assign(FCanvas->Font());
        Back = FCanvas->Brush()->Color();
    });
    return Default;
}

// What painting one row knows: where its parts lie, how it is selected, its font and its background.
struct TCustomListView::TRowPaint {
    HDC DC;
    int Index;
    TListItem* It;
    const TLayout& L;
    bool Sel, GreySel, Foc;
    TCustomDrawState State;
    TFont* RowFont;
    TColor RowBack;
    TColor ViewColor;
    RECT B, Label, Icon;

    void FillSel(RECT R) const {
        if (Sel || GreySel)
            FillRect(DC, &R, GetSysColorBrush(Sel ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    }
    // A row drawn selected keeps the selection's colours.
    void FillBack(RECT R, TColor Back) const {
        if (!Sel && !GreySel && Back != ViewColor)
            FillColor(DC, R, Back);
    }
    void Draw(const String& S, RECT R, UINT Align, bool Selected, TFont* Look) const {
        SelectObject(DC, Look->Handle());
        SetTextColor(DC, ColorToRGB(TextColor(Selected, Look->Color())));
        DrawTextW(DC, S.c_str(), int(S.size()), &R, Align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        // A cell's own font is changed for the next cell: it must not stay selected.
        SelectObject(DC, RowFont->Handle());
    }
    // The colour of a text that lies in the row's selection (Selected) or outside it.
    TColor TextColor(bool Selected, TColor Own) const {
        if (Selected && Sel)
            return clHighlightText;
        return Selected && GreySel ? InactiveSelectionTextColor(Own) : Own;
    }
    int CaptionWidth() const {
        SIZE Sz{};
        GetTextExtentPoint32W(DC, It->Caption().c_str(), int(It->Caption().size()), &Sz);
        return Sz.cx;
    }
};

void TCustomListView::PaintItem(HDC DC, int Index, const TLayout& L) {
    TListItem* It = ItemAt(Index);
    bool Sel = IsSelected(Index) && (!FHideSelection || Focused());
    bool GreySel = IsSelected(Index) && !Sel;
    bool Foc = Focused() && Index == FFocused;
    TCustomDrawState State;
    if (IsSelected(Index))
        State.Include(cdsSelected);
    if (Foc)
        State.Include(cdsFocused);
    if (It->Checked())
        State.Include(cdsChecked);
    // The row's font and background: the view's, or what custom drawing chose.
    TFont Custom;
    TFont* RowFont = Font();
    TColor RowBack = Color();
    if (FHotTrack && Index == FHot) {
        State.Include(cdsHot);
        Custom.Assign(Font());
        Custom.SetColor(clHotLight);
        RowFont = &Custom;
    }
    if (OnCustomDrawItem) {
        if (RowFont != &Custom)
            Custom.Assign(Font());
        RowFont = &Custom;
        if (!CustomDrawStep(DC, Custom, RowBack, [&](bool& Default) { OnCustomDrawItem(this, It, State, Default); }))
            return;
        // An owner-data row is one shared item, which the handler may have filled with another row.
        if (FOwnerData)
            It = FetchItem(Index);
    }
    TRowPaint R{DC,
                Index,
                It,
                L,
                Sel,
                GreySel,
                Foc,
                State,
                RowFont,
                RowBack,
                Color(),
                ItemRect(Index, drBounds),
                ItemRect(Index, drLabel),
                ItemRect(Index, drIcon)};
    SetBkMode(DC, TRANSPARENT);
    HGDIOBJ OldFont = SelectObject(DC, RowFont->Handle());
    switch (FViewStyle) {
    case vsReport:
        PaintReportRow(R);
        break;
    case vsList:
    case vsSmallIcon:
        PaintListRow(R);
        break;
    case vsIcon:
        PaintIconRow(R);
        break;
    }
    // Over a highlighted row too.
    PaintState(DC, Index, R.It);
    SelectObject(DC, OldFont);
}

void TCustomListView::PaintReportRow(TRowPaint& R) {
    RECT SelR = FRowSelect ? R.B : R.Label;
    if (!FRowSelect) {
        // Only the caption's text is highlighted.
        SelR.Right = std::min<LONG>(R.Label.Right, R.Label.Left + R.CaptionWidth() + 4);
    }
    R.FillSel(SelR);
    if (FSmallHandle && R.It->ImageIndex() >= 0)
        ImageList_Draw(FSmallHandle, R.It->ImageIndex(), R.DC, R.Icon.Left, (R.B.Top + R.B.Bottom - R.L.Small.cy) / 2,
                       ILD_TRANSPARENT);
    TFont CellFont;
    int X = R.B.Left;
    for (int C : FColumnOrder) {
        TListColumn* Col = Columns(C);
        RECT Cell{X, R.B.Top, X + Col->FWidth, R.B.Bottom};
        X += Col->FWidth;
        if (Col->FWidth <= 0)
            continue;
        TFont* Look = R.RowFont;
        TColor CellBack = R.RowBack;
        if (OnCustomDrawSubItem) {
            CellFont.Assign(R.RowFont);
            Look = &CellFont;
            bool Drawn = !CustomDrawStep(R.DC, CellFont, CellBack,
                                         [&](bool& Default) { OnCustomDrawSubItem(this, R.It, C, R.State, Default); });
            if (FOwnerData)
                R.It = FetchItem(R.Index);
            if (Drawn)
                continue;
        }
        R.FillBack(Cell, CellBack);
        RECT T = C == 0 ? RECT{R.Label.Left + 2, R.B.Top, Cell.Right - 4, R.B.Bottom}
                        : RECT{Cell.Left + 6, R.B.Top, Cell.Right - 6, R.B.Bottom};
        String S = C == 0 ? R.It->Caption()
                          : (C - 1 < R.It->SubItems()->Count() ? R.It->SubItems()->Strings(C - 1) : String());
        UINT A = Col->FAlignment == taRightJustify ? DT_RIGHT : Col->FAlignment == taCenter ? DT_CENTER : DT_LEFT;
        R.Draw(S, T, A, C == 0 || FRowSelect, Look);
    }
    if (R.Foc) {
        RECT F = FRowSelect ? R.B : SelR;
        DrawFocusRect(R.DC, &F);
    }
}

void TCustomListView::PaintListRow(TRowPaint& R) {
    if (FSmallHandle && R.It->ImageIndex() >= 0)
        ImageList_Draw(FSmallHandle, R.It->ImageIndex(), R.DC, R.Icon.Left, (R.B.Top + R.B.Bottom - R.L.Small.cy) / 2,
                       ILD_TRANSPARENT);
    RECT SelR{R.Label.Left, R.Label.Top, std::min<LONG>(R.Label.Right, R.Label.Left + R.CaptionWidth() + 4),
              R.Label.Bottom};
    R.FillSel(SelR);
    R.FillBack(SelR, R.RowBack);
    R.Draw(R.It->Caption(), RECT{SelR.Left + 2, SelR.Top, SelR.Right, SelR.Bottom}, DT_LEFT, true, R.RowFont);
    if (R.Foc)
        DrawFocusRect(R.DC, &SelR);
}

void TCustomListView::PaintIconRow(TRowPaint& R) {
    if (FLargeHandle && R.It->ImageIndex() >= 0)
        ImageList_Draw(FLargeHandle, R.It->ImageIndex(), R.DC, (R.Icon.Left + R.Icon.Right - R.L.Large.cx) / 2,
                       R.Icon.Top, ILD_TRANSPARENT);
    int W = std::min<int>(R.Label.Right - R.Label.Left, R.CaptionWidth() + 4);
    int Mid = (R.Label.Left + R.Label.Right) / 2;
    RECT SelR{Mid - W / 2, R.Label.Top, Mid - W / 2 + W, R.Label.Top + R.L.FontH + 2};
    R.FillSel(SelR);
    R.FillBack(SelR, R.RowBack);
    SetTextColor(R.DC, ColorToRGB(R.TextColor(true, R.RowFont->Color())));
    RECT T = SelR;
    DrawTextW(R.DC, R.It->Caption().c_str(), int(R.It->Caption().size()), &T,
              DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (R.Foc)
        DrawFocusRect(R.DC, &SelR);
}

void TCustomListView::PaintWindow(HDC DC) {
    TLayout L = Layout();
    int N = Count();
    int First = 0, Last = N;
    switch (FViewStyle) {
    case vsReport:
        First = FTop;
        Last = std::min(N, FTop + (L.Client.Bottom - L.HeaderH) / L.RowH + 1);
        break;
    case vsList:
        First = FTop * L.PerColumn;
        Last = std::min(N, First + L.PerColumn * ((L.Client.Right / L.CellW) + 1));
        break;
    default:
        First = (FTop / L.CellH) * L.PerRow;
        Last = std::min(N, First + L.PerRow * (L.Client.Bottom / L.CellH + 2));
        break;
    }
    // The view is opaque: an invalidation without erasing (LVM_REDRAWITEMS, Invalidate) must not leave
    // the old rows' pixels under the new ones.
    FillColor(DC, L.Client, Color());
    bool Default = true;
    if (OnCustomDraw) {
        TRect Client{L.Client.Left, L.Client.Top, L.Client.Right, L.Client.Bottom};
        FCanvas->PaintOn(DC, [&] { OnCustomDraw(this, Client, Default); });
        if (!Default)
            return;
    }
    for (int I = std::max(First, 0); I < Last; ++I)
        PaintItem(DC, I, L);
    if (FGridLines && FViewStyle == vsReport) {
        HBRUSH Line = GetSysColorBrush(COLOR_BTNFACE);
        int X = -FXOff;
        for (int C : FColumnOrder) {
            int W = FColumns[std::size_t(C)]->FWidth;
            X += W;
            RECT V{X - 1, L.HeaderH, X, L.Client.Bottom};
            if (W > 0)
                FillRect(DC, &V, Line);
        }
        for (int Y = L.HeaderH + L.RowH - 1; Y < L.Client.Bottom; Y += L.RowH) {
            RECT H{-FXOff, Y, -FXOff + L.TotalW, Y + 1};
            FillRect(DC, &H, Line);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Input

int TCustomListView::FindCaption(const String& Prefix, int Start) {
    int N = Count();
    if (FOwnerData)
        return OwnerDataFind(ifPartialString, Prefix, TPoint{0, 0}, nullptr, Start, sdAll, true);
    String Key = AnsiUpperCase(Prefix);
    for (int K = 0; K < N; ++K) {
        int I = (std::max(Start, 0) + K) % N;
        if (AnsiUpperCase(ItemAt(I)->Caption()).compare(0, Key.size(), Key) == 0)
            return I;
    }
    return -1;
}

void TCustomListView::KeyPress(Char& Key) {
    TWinControl::KeyPress(Key);
    if (Key < 0x20 || Count() == 0)
        return;
    TTypeAhead::TSearch Search = FTypeAhead.Add(Key);
    int Start = FFocused < 0 ? 0 : Search.FromCurrent ? FFocused : (FFocused + 1) % Count();
    int I = FindCaption(Search.Prefix, Start);
    if (I >= 0 && I < Count())
        SelectRow(I, false, false, false);
}

void TCustomListView::KeyDown(Word& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    int N = Count();
    if (!Key || !N)
        return;
    TLayout L = Layout();
    bool S = Shift.Contains(ssShift), C = Shift.Contains(ssCtrl);
    int From = FFocused >= 0 ? FFocused : 0;
    int To = From;
    int Page = std::max(1, VisibleRowCount() - (FViewStyle == vsReport ? 1 : 0));
    int Across = FViewStyle == vsList ? L.PerColumn : (FViewStyle == vsReport ? 0 : 1);
    int Down = FViewStyle == vsList || FViewStyle == vsReport ? 1 : L.PerRow;
    switch (Key) {
    case VK_UP:
        To = FFocused < 0 ? 0 : From - Down;
        break;
    case VK_DOWN:
        To = FFocused < 0 ? 0 : From + Down;
        break;
    case VK_LEFT:
        if (!Across) {
            Scroll(-8, 0);
            Key = 0;
            return;
        }
        To = From - Across;
        break;
    case VK_RIGHT:
        if (!Across) {
            Scroll(8, 0);
            Key = 0;
            return;
        }
        To = From + Across;
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
        if (!C && FCheckboxes && FFocused >= 0 && !FOwnerData) {
            TListItem* It = ItemAt(FFocused);
            It->SetChecked(!It->Checked());
            Key = 0;
        } else if (C && FFocused >= 0) {
            std::vector<char> W = FMultiSelect ? FSel : std::vector<char>(FSel.size(), 0);
            W[std::size_t(FFocused)] = !FSel[std::size_t(FFocused)];
            FAnchor = FFocused;
            ApplySelection(W);
            Key = 0;
        }
        return;
    case VK_F2:
        if (FFocused >= 0)
            BeginEdit(FFocused);
        Key = 0;
        return;
    default:
        return;
    }
    Key = 0;
    To = std::clamp(To, 0, N - 1);
    if (C && !S && FMultiSelect) {
        // Ctrl moves the focus alone; Ctrl+Space selects.
        SetFocusedIndex(To);
        MakeVisible(To);
        return;
    }
    SelectRow(To, S, C, false);
}

void TCustomListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    if (FEditor)
        EndEdit(true);
    if (Alive.expired())
        return;
    FPressedLabel = -1;
    if (Button == mbLeft || Button == mbRight) {
        int I = IndexAt(X, Y);
        bool S = Shift.Contains(ssShift), C = Shift.Contains(ssCtrl);
        bool Chosen = I >= 0 && I == FFocused && IsSelected(I) && SelCount() == 1;
        if (Button == mbLeft && !S && !C && Chosen && !FReadOnly && !Shift.Contains(ssDouble) &&
            PtInRect(ItemRect(I, drLabel), TPoint{X, Y}))
            FPressedLabel = I;
        if (Button == mbLeft && FCheckboxes && !FOwnerData && I >= 0 && PtInRect(StateRect(I), TPoint{X, Y})) {
            // A press on the box ticks or clears it and leaves the selection alone.
            TListItem* It = ItemAt(I);
            It->SetChecked(!It->Checked());
        } else if (I < 0) {
            // A press on no row clears the selection.
            if (!C && !S)
                ClearSelection();
        } else if (!(Button == mbRight && IsSelected(I))) {
            SelectRow(I, S, C, true);
        }
    }
    if (!Alive.expired())
        TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListView::DblClick() {
    // A double click is no slow second click: the label is not edited.
    FPressedLabel = -1;
    if (FHandle)
        KillTimer(FHandle, EditTimerId);
    TWinControl::DblClick();
}

void TCustomListView::CNNotify(TMessage& Message) {
    auto* N = reinterpret_cast<NMHEADERW*>(Message.LParam);
    if (N->iItem < 0 || N->iItem >= ColumnCount())
        return;
    TListColumn* Col = Columns(N->iItem);
    switch (N->hdr.code) {
    case HDN_TRACKW:
        N->pitem->cxy =
            std::clamp(N->pitem->cxy, Col->FMinWidth, std::max(Col->FMinWidth, SectionWidthLimit(Col->FMaxWidth)));
        return;
    case HDN_ITEMCHANGEDW:
        if (N->pitem && (N->pitem->mask & HDI_WIDTH) && N->pitem->cxy != Col->FWidth) {
            Col->FWidth = N->pitem->cxy;
            ItemsChanged();
            SyncHeader();
        }
        return;
    case HDN_ITEMCLICKW:
        if (FColumnClick)
            ColClick(Col);
        return;
    case HDN_ENDDRAG: {
        // The view orders the header itself, so that its columns and the header never disagree.
        if (!N->pitem || !(N->pitem->mask & HDI_ORDER))
            return;
        std::vector<int> Order = FColumnOrder;
        Order.erase(std::find(Order.begin(), Order.end(), N->iItem));
        Order.insert(Order.begin() + std::clamp(N->pitem->iOrder, 0, int(Order.size())), N->iItem);
        SetColumnOrder(Order);
        Message.Result = 1;
        return;
    }
    }
}

void TCustomListView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NOTIFY:
        WMNotify(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        WMScrollBar(Message);
        return;
    case WM_MOUSEWHEEL:
        WheelScroll(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        WMFocusChange(Message);
        return;
    case WM_LBUTTONUP:
        WMLButtonUp(Message);
        return;
    case CM_MOUSELEAVE:
        SetHot(-1);
        break;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case CM_FONTCHANGED:
        CMFontChanged(Message);
        return;
    case CM_FREEEDITOR:
        CMFreeEditor(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

// The native list view's own procedure (run from DefaultHandler): the list-view messages; true when it took one.
bool TCustomListView::NativeWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case LVM_GETITEMCOUNT:
        Message.Result = Count();
        return true;
    case LVM_GETCOUNTPERPAGE:
        Message.Result = VisibleRowCount();
        return true;
    case LVM_GETTOPINDEX:
        LVMGetTopIndex(Message);
        return true;
    case LVM_GETITEMRECT:
        LVMGetItemRect(Message);
        return true;
    case LVM_GETSUBITEMRECT:
        LVMGetSubItemRect(Message);
        return true;
    case LVM_GETCOLUMNORDERARRAY:
    case LVM_SETCOLUMNORDERARRAY:
        LVMColumnOrderArray(Message);
        return true;
    case LVM_SCROLL:
        LVMScroll(Message);
        return true;
    case LVM_ENSUREVISIBLE:
        LVMEnsureVisible(Message);
        return true;
    case LVM_REDRAWITEMS:
        LVMRedrawItems(Message);
        return true;
    case LVM_GETHEADER:
        Message.Result = LRESULT(FHeader);
        return true;
    case LVM_SETITEMCOUNT:
        LVMSetItemCount(Message);
        return true;
    case LVM_GETSELECTEDCOUNT:
        Message.Result = SelCount();
        return true;
    case LVM_GETNEXTITEM:
        LVMGetNextItem(Message);
        return true;
    case LVM_HITTEST:
        LVMHitTest(Message);
        return true;
    case LVM_EDITLABELW:
        LVMEditLabel(Message);
        return true;
    case LVM_SETIMAGELIST:
        LVMSetImageList(Message);
        return true;
    }
    return false;
}

void TCustomListView::DefaultHandler(TMessage& Message) {
    if (!NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

void TCustomListView::WMNotify(TMessage& Message) {
    if (Message.LParam && FHeader && reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom == FHeader) {
        CNNotify(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomListView::WMScrollBar(TMessage& Message) {
    if (!Message.LParam) {
        WMScroll(Message, Message.Msg == WM_VSCROLL);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomListView::WheelScroll(TMessage& Message) {
    int Steps = GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA;
    TLayout L = Layout();
    if (FViewStyle == vsReport)
        SetTop(FTop - 3 * Steps, FXOff);
    else if (FViewStyle == vsList)
        SetTop(FTop - Steps, 0);
    else
        SetTop(FTop - Steps * L.CellH / 2, 0);
    Message.Result = 1;
}

void TCustomListView::WMSize(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (!FInScroll) {
        SyncHeader();
        SetTop(FTop, FXOff);
        UpdateScrollBars();
        Invalidate();
    }
}

void TCustomListView::WMFocusChange(TMessage& Message) {
    if (Message.Msg == WM_KILLFOCUS && FPressedLabel >= 0) {
        // Gone elsewhere before the press became an edit.
        FPressedLabel = -1;
        KillTimer(FHandle, EditTimerId);
    }
    TWinControl::Dispatch(Message);
    ItemsChanged(false);
}

void TCustomListView::WMLButtonUp(TMessage& Message) {
    // The click's handler may free the view, or take the focus elsewhere (a dialog).
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired() && FPressedLabel >= 0 && FHandle && Focused())
        SetTimer(FHandle, EditTimerId, GetDoubleClickTime(), nullptr);
}

void TCustomListView::WMTimer(TMessage& Message) {
    if (Message.WParam == HoverTimerId) {
        KillTimer(FHandle, HoverTimerId);
        if (FHotTrack && FHot >= 0 && FHot < Count() && !(IsSelected(FHot) && SelCount() == 1))
            SelectRow(FHot, false, false, true);
        return;
    }
    if (Message.WParam == EditTimerId) {
        KillTimer(FHandle, EditTimerId);
        int I = FPressedLabel;
        FPressedLabel = -1;
        // Still the one chosen row of the focused view: the user has not moved on meanwhile.
        if (I >= 0 && I < Count() && I == FFocused && IsSelected(I) && SelCount() == 1 && Focused())
            BeginEdit(I);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomListView::CMFontChanged(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (FHeader)
        SendMessageW(FHeader, WM_SETFONT, WPARAM(Font()->Handle()), TRUE);
    ColumnsChanged();
}

void TCustomListView::CMFreeEditor(TMessage& Message) {
    auto* E = reinterpret_cast<TWinControl*>(Message.LParam);
    if (E && E != FEditor && E->Owner() == this)
        delete E;
}

void TCustomListView::LVMGetTopIndex(TMessage& Message) {
    TListItem* T = TopItem();
    Message.Result = T ? T->Index() : 0;
}

void TCustomListView::LVMGetItemRect(TMessage& Message) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    int I = int(Message.WParam);
    if (!R || I < 0 || I >= Count()) {
        Message.Result = FALSE;
        return;
    }
    int Code = R->Left;
    TRect T = ItemRect(I, Code == LVIR_ICON           ? drIcon
                          : Code == LVIR_LABEL        ? drLabel
                          : Code == LVIR_SELECTBOUNDS ? drSelectBounds
                                                      : drBounds);
    *R = RECT{T.Left, T.Top, T.Right, T.Bottom};
    Message.Result = TRUE;
}

void TCustomListView::LVMGetSubItemRect(TMessage& Message) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    int I = int(Message.WParam);
    if (!R || I < 0 || I >= Count()) {
        Message.Result = FALSE;
        return;
    }
    TRect T = SubItemRect(I, R->Top);
    *R = RECT{T.Left, T.Top, T.Right, T.Bottom};
    Message.Result = TRUE;
}

void TCustomListView::LVMColumnOrderArray(TMessage& Message) {
    auto* Order = reinterpret_cast<int*>(Message.LParam);
    int N = int(Message.WParam);
    if (!Order || N != ColumnCount()) {
        Message.Result = FALSE;
        return;
    }
    if (Message.Msg == LVM_GETCOLUMNORDERARRAY)
        std::copy(FColumnOrder.begin(), FColumnOrder.end(), Order);
    Message.Result = Message.Msg == LVM_GETCOLUMNORDERARRAY || SetColumnOrder(std::vector<int>(Order, Order + N));
}

void TCustomListView::LVMScroll(TMessage& Message) {
    Scroll(int(Message.WParam), int(Message.LParam));
    Message.Result = TRUE;
}

void TCustomListView::LVMEnsureVisible(TMessage& Message) {
    MakeVisible(int(Message.WParam));
    Message.Result = TRUE;
}

void TCustomListView::LVMRedrawItems(TMessage& Message) {
    Invalidate();
    Message.Result = TRUE;
}

void TCustomListView::LVMSetItemCount(TMessage& Message) {
    FItems->SetCount(int(Message.WParam));
    Message.Result = TRUE;
}

void TCustomListView::LVMGetNextItem(TMessage& Message) {
    int Start = int(Message.WParam);
    UINT Flags = UINT(Message.LParam);
    Message.Result = -1;
    for (int I = Start + 1; I < Count(); ++I)
        if ((!(Flags & LVNI_SELECTED) || IsSelected(I)) && (!(Flags & LVNI_FOCUSED) || I == FFocused)) {
            Message.Result = I;
            TWinControl::Dispatch(Message);
            return;
        }
}

void TCustomListView::LVMHitTest(TMessage& Message) {
    auto* Hi = reinterpret_cast<LVHITTESTINFO*>(Message.LParam);
    if (!Hi)
        return;
    Hi->iItem = IndexAt(Hi->pt.X, Hi->pt.Y);
    TPoint P{Hi->pt.X, Hi->pt.Y};
    Hi->flags = Hi->iItem < 0                              ? LVHT_NOWHERE
                : PtInRect(StateRect(Hi->iItem), P)        ? LVHT_ONITEMSTATEICON
                : PtInRect(ItemRect(Hi->iItem, drIcon), P) ? LVHT_ONITEMICON
                                                           : LVHT_ONITEMLABEL;
    Message.Result = Hi->iItem;
}

void TCustomListView::LVMEditLabel(TMessage& Message) {
    BeginEdit(int(Message.WParam));
    Message.Result = LRESULT(FEditor ? FEditor->Handle() : nullptr);
}

void TCustomListView::LVMSetImageList(TMessage& Message) {
    HIMAGELIST New = reinterpret_cast<HIMAGELIST>(Message.LParam);
    HIMAGELIST& Slot = Message.WParam == WPARAM(LVSIL_NORMAL)  ? FLargeHandle
                       : Message.WParam == WPARAM(LVSIL_STATE) ? FStateHandle
                                                               : FSmallHandle;
    Message.Result = LRESULT(Slot);
    Slot = New;
    if (FHeader && &Slot == &FSmallHandle)
        SendMessageW(FHeader, HDM_SETIMAGELIST, 0, LPARAM(New));
    ItemsChanged();
}
