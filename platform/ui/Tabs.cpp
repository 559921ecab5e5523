#include "platform/ui/Tabs.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdGlyphs.h"

#include <algorithm>

namespace {

// The platform's measurements of a tab: room round the caption along the strip and across it, the gap
// between image and caption, the strip's margin, and the margin inside the frame round the page.
constexpr int TabPaddingX = 6;
constexpr int TabPaddingY = 3;
constexpr int ImageGap = 3;
constexpr int StripMargin = 2;
constexpr int PageMargin = 4;

TSize MeasureText(TFont* Font, const String& Text) {
    HDC DC = CreateCompatibleDC(GetScreenDC());
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    SIZE S{0, 0};
    String Probe = Text.empty() ? String(u"Wy") : Text;
    GetTextExtentPoint32W(DC, Probe.c_str(), int(Probe.size()), &S);
    SelectObject(DC, Old);
    DeleteDC(DC);
    if (Text.empty())
        S.cx = 0;
    return TSize{S.cx, S.cy};
}

// Turns a 32-bit picture a quarter: counter-clockwise (text then reads bottom to top) or clockwise.
std::unique_ptr<TBitmap> Rotated(TBitmap& Source, bool Clockwise) {
    int W = Source.Width(), H = Source.Height();
    auto Result = std::make_unique<TBitmap>();
    Result->SetPixelFormat(pf32bit);
    Result->SetSize(H, W);
    for (int Y = 0; Y < H; ++Y) {
        auto* From = static_cast<std::uint32_t*>(Source.ScanLine(Y));
        for (int X = 0; X < W; ++X) {
            int DX = Clockwise ? H - 1 - Y : Y;
            int DY = Clockwise ? X : W - 1 - X;
            static_cast<std::uint32_t*>(Result->ScanLine(DY))[DX] = From[X];
        }
    }
    return Result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TTabStrings: the captions of a tab control as a string list over its tab items.

class TTabStrings : public TStrings {
public:
    explicit TTabStrings(TCustomTabControl* AControl) : FControl(AControl) {}
    void Clear() override {
        FControl->Perform(TCM_DELETEALLITEMS, 0, 0);
        FControl->TabsChanged();
    }
    void Delete(int Index) override {
        if (FControl->Perform(TCM_DELETEITEM, WPARAM(Index), 0) == 0)
            Error(u"List index out of bounds (%d)", Index);
        FControl->TabsChanged();
    }
    void Insert(int Index, const String& S) override {
        if (Index < 0 || Index > Count())
            Error(u"List index out of bounds (%d)", Index);
        TCITEMW Item;
        Item.mask = TCIF_TEXT | TCIF_IMAGE;
        String Text = S;
        Item.pszText = Text.data();
        Item.iImage = FControl->GetImageIndex(Index);
        FControl->Perform(TCM_INSERTITEMW, WPARAM(Index), LPARAM(&Item));
        FControl->TabsChanged();
    }
    int Count() const override { return int(FControl->Perform(TCM_GETITEMCOUNT, 0, 0)); }

protected:
    String Get(int Index) const override {
        CheckIndex(Index);
        return FControl->FItems[std::size_t(Index)].Text;
    }
    void Put(int Index, const String& S) override {
        CheckIndex(Index);
        TCITEMW Item;
        Item.mask = TCIF_TEXT;
        String Text = S;
        Item.pszText = Text.data();
        FControl->Perform(TCM_SETITEMW, WPARAM(Index), LPARAM(&Item));
        FControl->TabsChanged();
    }
    TObject* GetObject(int Index) const override {
        CheckIndex(Index);
        return reinterpret_cast<TObject*>(FControl->FItems[std::size_t(Index)].Param);
    }
    void PutObject(int Index, TObject* AObject) override {
        CheckIndex(Index);
        TCITEMW Item;
        Item.mask = TCIF_PARAM;
        Item.lParam = LPARAM(AObject);
        FControl->Perform(TCM_SETITEMW, WPARAM(Index), LPARAM(&Item));
    }

private:
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= Count())
            Error(u"List index out of bounds (%d)", Index);
    }
    TCustomTabControl* FControl;
};

// ---------------------------------------------------------------------------------------------
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    FTabs = std::make_unique<TTabStrings>(this);
    FImageChangeLink.OnChange = [this](TObject* Sender) { ImagesChanged(Sender); };
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
    FControlStyle += csAcceptsControls;
    FControlStyle -= csSetCaption;
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, 289, 193);
}

TCustomTabControl::~TCustomTabControl() = default;

int TCustomTabControl::TabIndex() {
    return int(Perform(TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int Value) {
    Perform(TCM_SETCURSEL, WPARAM(Value), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (Value == FTabPosition)
        return;
    FTabPosition = Value;
    if (Vertical())
        FMultiLine = true;
    LayoutChanged();
}

void TCustomTabControl::SetMultiLine(bool Value) {
    // Side tabs have no single-line form.
    if (!Value && Vertical())
        return;
    if (Value == FMultiLine)
        return;
    FMultiLine = Value;
    FFirstVisible = 0;
    LayoutChanged();
}

void TCustomTabControl::SetRaggedRight(bool Value) {
    if (Value == FRaggedRight)
        return;
    FRaggedRight = Value;
    LayoutChanged();
}

void TCustomTabControl::SetHotTrack(bool Value) {
    FHotTrack = Value;
    Invalidate();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
    FOwnerDraw = Value;
    Invalidate();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
    FStyle = Value;
    LayoutChanged();
}

void TCustomTabControl::SetTabWidth(int Value) {
    FTabWidth = std::max(0, Value);
    Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
}

void TCustomTabControl::SetTabHeight(int Value) {
    FTabHeight = std::max(0, Value);
    Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    // A list that is going away has let go of the link already.
    if (TCustomImageList* Old = FImageChangeLink.Sender())
        Old->UnRegisterChanges(&FImageChangeLink);
    FImages = Value;
    if (FImages) {
        FImages->FreeNotification(this);
        FImages->RegisterChanges(&FImageChangeLink);
    }
    Perform(TCM_SETIMAGELIST, 0, LPARAM(FImages ? FImages->Handle() : nullptr));
    UpdateTabImages();
}

void TCustomTabControl::ImagesChanged(TObject*) {
    // The tabs are as wide as caption and image: a new image size measures them again.
    if (FNativeImages == FImages)
        LayoutChanged();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // The list is half gone: let go of it before anything asks it for its handle.
    if (AComponent == FNativeImages) {
        FNativeImages = nullptr;
        LayoutChanged();
    }
    if (AComponent == FImages)
        SetImages(nullptr);
}

TRect TCustomTabControl::DisplayRect() {
    RECT R = ClientRect();
    Perform(TCM_ADJUSTRECT, FALSE, LPARAM(&R));
    return R;
}

TRect TCustomTabControl::TabRect(int Index) {
    RECT R{0, 0, 0, 0};
    Perform(TCM_GETITEMRECT, WPARAM(Index), LPARAM(&R));
    return R;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    TCHITTESTINFO Info;
    Info.pt = POINT{X, Y};
    return int(Perform(TCM_HITTEST, 0, LPARAM(&Info)));
}

int TCustomTabControl::RowCount() {
    return int(Perform(TCM_GETROWCOUNT, 0, 0));
}

void TCustomTabControl::ScrollTabs(int Delta) {
    int Target = std::max(0, FFirstVisible + Delta);
    Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, Target), 0);
}

bool TCustomTabControl::CanChange() {
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Allow);
    return Allow;
}

void TCustomTabControl::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
    if (OnDrawTab)
        OnDrawTab(this, TabIndex, Rect, Active);
    else
        FCanvas->FillRect(Rect);
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
    int Index = TabIndex;
    if (OnGetImageIndex)
        OnGetImageIndex(this, TabIndex, Index);
    return Index;
}

void TCustomTabControl::UpdateTabImages() {
    for (int I = 0; I < int(FItems.size()); ++I) {
        TCITEMW Item;
        Item.mask = TCIF_IMAGE;
        Item.iImage = GetImageIndex(I);
        Perform(TCM_SETITEMW, WPARAM(I), LPARAM(&Item));
    }
}

void TCustomTabControl::TabsChanged() {
    Realign();
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
    RECT R = Rect;
    Perform(TCM_ADJUSTRECT, FALSE, LPARAM(&R));
    Rect = R;
}

void TCustomTabControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY:
        CNNotify(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SIZE:
        FLayoutValid = false;
        Invalidate();
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        LayoutChanged();
        break;
    case CM_MOUSELEAVE:
        CMMouseLeave();
        break;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomTabControl::CNNotify(TMessage& Message) {
    auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (Header->code == TCN_SELCHANGING) {
        Message.Result = CanChange() ? 0 : 1;
        return;
    }
    if (Header->code == TCN_SELCHANGE) {
        Change();
        return;
    }
    TWinControl::Dispatch(Message);
}

// The tab under the press is selected before the class library sees the press, so OnMouseDown finds the new tab
// selected.
void TCustomTabControl::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    int Index = HitTest(P, nullptr);
    if (Index >= 0 && Index != FCurSel)
        UserSelect(Index);
    if (Alive.expired())
        return;
    TWinControl::Dispatch(Message);
}

void TCustomTabControl::CMMouseLeave() {
    if (FHot >= 0) {
        FHot = -1;
        if (FHotTrack)
            Invalidate();
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the tabs while the focus is in the control.
void TCustomTabControl::CMDialogKey(TMessage& Message) {
    if (Message.WParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) && HandleAllocated() &&
        (Focused() || IsChild(FHandle, GetFocus())) && !FItems.empty()) {
        int Count = int(FItems.size());
        int Step = (GetKeyState(VK_SHIFT) & 0x8000) ? Count - 1 : 1;
        UserSelect(((FCurSel < 0 ? 0 : FCurSel) + Step) % Count);
        Message.Result = 1;
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomTabControl::DefaultHandler(TMessage& Message) {
    if (!NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

// ---- the native tab control ----

int TCustomTabControl::ItemExtent() {
    if (FItemHeight > 0)
        return FItemHeight;
    int Text = MeasureText(Font(), String()).cy;
    int Image = 0;
    if (FNativeImages)
        Image = Vertical() ? FNativeImages->Width() : FNativeImages->Height();
    return std::max(Text, Image) + 2 * TabPaddingY;
}

int TCustomTabControl::ItemLength(const TTabItem& Item) {
    if (FItemWidth > 0)
        return FItemWidth;
    int Length = MeasureText(Font(), Item.Text).cx + 2 * TabPaddingX;
    if (FNativeImages && Item.Image >= 0)
        Length += (Vertical() ? FNativeImages->Height() : FNativeImages->Width()) + ImageGap;
    return Length;
}

int TCustomTabControl::StripSize() {
    Layout();
    return StripMargin + FRows * ItemExtent();
}

int TCustomTabControl::MaxFirstVisible() {
    int End = (Vertical() ? Height() : Width()) - StripMargin;
    int Sum = StripMargin;
    int First = int(FItems.size());
    // The smallest first tab from which the rest fits.
    while (First > 0) {
        int Length = ItemLength(FItems[std::size_t(First - 1)]);
        if (Sum + Length > End)
            break;
        Sum += Length;
        --First;
    }
    return std::min(First, std::max(0, int(FItems.size()) - 1));
}

void TCustomTabControl::LayoutChanged() {
    FLayoutValid = false;
    Invalidate();
    if (!AlignDisabled())
        Realign();
}

void TCustomTabControl::Layout() {
    if (FLayoutValid && FLayoutWidth == Width() && FLayoutHeight == Height())
        return;
    FLayoutValid = true;
    FLayoutWidth = Width();
    FLayoutHeight = Height();
    int Count = int(FItems.size());
    int Extent = ItemExtent();
    int End = (Vertical() ? Height() : Width()) - StripMargin;
    std::vector<int> Length(static_cast<std::size_t>(Count)), Pos(Length), Row(Length);
    for (int I = 0; I < Count; ++I)
        Length[std::size_t(I)] = ItemLength(FItems[std::size_t(I)]);
    bool Multi = FMultiLine || Vertical();
    int Rows = 1;
    int X = StripMargin;
    for (int I = 0; I < Count; ++I) {
        if (Multi && X > StripMargin && X + Length[std::size_t(I)] > End) {
            ++Rows;
            X = StripMargin;
        }
        Pos[std::size_t(I)] = X;
        Row[std::size_t(I)] = Rows - 1;
        X += Length[std::size_t(I)];
    }
    // Several rows fill the whole strip unless RaggedRight.
    if (Multi && Rows > 1 && !FRaggedRight && FItemWidth == 0) {
        for (int R = 0; R < Rows; ++R) {
            std::vector<int> Members;
            for (int I = 0; I < Count; ++I)
                if (Row[std::size_t(I)] == R)
                    Members.push_back(I);
            int Used = 0;
            for (int I : Members)
                Used += Length[std::size_t(I)];
            int Extra = End - StripMargin - Used;
            if (Extra <= 0 || Members.empty())
                continue;
            int Each = Extra / int(Members.size());
            int Start = StripMargin;
            for (std::size_t K = 0; K < Members.size(); ++K) {
                int I = Members[K];
                Length[std::size_t(I)] += Each + (K + 1 == Members.size() ? Extra - Each * int(Members.size()) : 0);
                Pos[std::size_t(I)] = Start;
                Start += Length[std::size_t(I)];
            }
        }
    }
    FRows = Rows;
    int Offset = 0;
    if (!Multi && Count > 0) {
        FFirstVisible = std::clamp(FFirstVisible, 0, MaxFirstVisible());
        Offset = Pos[std::size_t(FFirstVisible)] - StripMargin;
    } else
        FFirstVisible = 0;
    // The selected tab's row lies next to the page; the rows after it go outwards, wrapping round.
    int SelRow = FCurSel >= 0 && FCurSel < Count ? Row[std::size_t(FCurSel)] : 0;
    for (int I = 0; I < Count; ++I) {
        int Distance = (Row[std::size_t(I)] - SelRow + Rows) % Rows;
        int Outer = StripMargin + (Rows - 1 - Distance) * Extent;
        int A = Pos[std::size_t(I)] - Offset, B = A + Length[std::size_t(I)];
        TRect& R = FItems[std::size_t(I)].Rect;
        switch (FTabPosition) {
        case tpTop:
            R = Rect(A, Outer, B, Outer + Extent);
            break;
        case tpBottom:
            R = Rect(A, Height() - Outer - Extent, B, Height() - Outer);
            break;
        case tpLeft:
            R = Rect(Outer, A, Outer + Extent, B);
            break;
        case tpRight:
            R = Rect(Width() - Outer - Extent, A, Width() - Outer, B);
            break;
        }
    }
}

void TCustomTabControl::MakeVisible(int Index) {
    if (FMultiLine || Vertical() || Index < 0 || Index >= int(FItems.size()))
        return;
    if (Index < FFirstVisible) {
        FFirstVisible = Index;
        FLayoutValid = false;
        return;
    }
    // Scroll on until the tab ends inside the strip.
    int End = Width() - StripMargin;
    while (FFirstVisible < Index) {
        int Right = StripMargin;
        for (int I = FFirstVisible; I <= Index; ++I)
            Right += ItemLength(FItems[std::size_t(I)]);
        if (Right <= End)
            break;
        ++FFirstVisible;
    }
    FLayoutValid = false;
}

int TCustomTabControl::HitTest(POINT P, UINT* Flags) {
    Layout();
    if (Flags)
        *Flags = TCHT_NOWHERE;
    int End = (Vertical() ? Height() : Width()) - StripMargin;
    for (int I = 0; I < int(FItems.size()); ++I) {
        const TTabItem& Item = FItems[std::size_t(I)];
        RECT R = Item.Rect;
        // Tabs scrolled out of the strip cannot be hit.
        if (Vertical())
            R.Bottom = std::min<int>(R.Bottom, End);
        else {
            R.Left = std::max<int>(R.Left, 0);
            R.Right = std::min<int>(R.Right, End);
        }
        if (!PtInRect(&R, P))
            continue;
        if (Flags) {
            *Flags = TCHT_ONITEMLABEL;
            if (FNativeImages && Item.Image >= 0 && FItemWidth == 0) {
                int Along = Vertical() ? P.Y - Item.Rect.Top : P.X - Item.Rect.Left;
                int Size = Vertical() ? FNativeImages->Height() : FNativeImages->Width();
                if (Along >= TabPaddingX && Along < TabPaddingX + Size)
                    *Flags = TCHT_ONITEMICON;
            }
        }
        return I;
    }
    return -1;
}

LRESULT TCustomTabControl::Notify(UINT Code) {
    NMHDR Header;
    Header.hwndFrom = FHandle;
    Header.code = Code;
    if (FHandle && GetParent(FHandle)) {
        Header.idFrom = UINT_PTR(GetWindowLongPtrW(FHandle, GWLP_ID));
        return SendMessageW(GetParent(FHandle), WM_NOTIFY, Header.idFrom, LPARAM(&Header));
    }
    // Without a window nobody else can hear it: the control answers itself.
    return Perform(CN_NOTIFY, 0, LPARAM(&Header));
}

void TCustomTabControl::UserSelect(int Index) {
    std::weak_ptr<char> Alive = AliveToken();
    if (Notify(TCN_SELCHANGING) != 0 || Alive.expired())
        return;
    FCurSel = Index;
    MakeVisible(Index);
    LayoutChanged();
    Notify(TCN_SELCHANGE);
}

bool TCustomTabControl::NativeWndProc(TMessage& Message) {
    int Count = int(FItems.size());
    switch (Message.Msg) {
    case TCM_GETITEMCOUNT:
        Message.Result = Count;
        return true;
    case TCM_INSERTITEMW:
        return TcInsertItem(Message);
    case TCM_SETITEMW:
    case TCM_GETITEMW:
        return TcSetGetItem(Message);
    case TCM_DELETEITEM:
        return TcDeleteItem(Message);
    case TCM_DELETEALLITEMS:
        return TcDeleteAllItems(Message);
    case TCM_GETCURSEL:
        Message.Result = FCurSel;
        return true;
    case TCM_SETCURSEL:
        return TcSetCurSel(Message);
    case TCM_GETITEMRECT:
        return TcGetItemRect(Message);
    case TCM_HITTEST:
        return TcHitTest(Message);
    case TCM_ADJUSTRECT:
        return TcAdjustRect(Message);
    case TCM_SETITEMSIZE:
        return TcSetItemSize(Message);
    case TCM_GETROWCOUNT:
        return TcGetRowCount(Message);
    case TCM_SETIMAGELIST:
    case TCM_GETIMAGELIST:
        return TcImageList(Message);
    case WM_HSCROLL:
        return TcHScroll(Message);
    case WM_KEYDOWN:
        return TcKeyDown(Message);
    case WM_MOUSEMOVE:
        return TcMouseMove(Message);
    }
    return false;
}

bool TCustomTabControl::TcInsertItem(TMessage& Message) {
    int Count = int(FItems.size());
    auto* Item = reinterpret_cast<const TCITEMW*>(Message.LParam);
    int Index = std::clamp(int(Message.WParam), 0, Count);
    TTabItem New;
    if (Item->mask & TCIF_TEXT && Item->pszText)
        New.Text = Item->pszText;
    if (Item->mask & TCIF_IMAGE)
        New.Image = Item->iImage;
    if (Item->mask & TCIF_PARAM)
        New.Param = Item->lParam;
    FItems.insert(FItems.begin() + Index, New);
    // The first tab of an empty control is selected; a tab inserted before the selected one moves it on.
    if (Count == 0)
        FCurSel = 0;
    else if (FCurSel >= Index)
        ++FCurSel;
    LayoutChanged();
    Message.Result = Index;
    return true;
}

bool TCustomTabControl::TcSetGetItem(TMessage& Message) {
    int Count = int(FItems.size());
    int Index = int(Message.WParam);
    auto* Item = reinterpret_cast<TCITEMW*>(Message.LParam);
    if (Index < 0 || Index >= Count || !Item) {
        Message.Result = FALSE;
        return true;
    }
    TTabItem& It = FItems[std::size_t(Index)];
    if (Message.Msg == TCM_SETITEMW) {
        if (Item->mask & TCIF_TEXT)
            It.Text = Item->pszText ? String(Item->pszText) : String();
        if (Item->mask & TCIF_IMAGE)
            It.Image = Item->iImage;
        if (Item->mask & TCIF_PARAM)
            It.Param = Item->lParam;
        if (Item->mask & (TCIF_TEXT | TCIF_IMAGE))
            LayoutChanged();
    } else {
        if ((Item->mask & TCIF_TEXT) && Item->pszText && Item->cchTextMax > 0) {
            std::size_t N = std::min(It.Text.size(), std::size_t(Item->cchTextMax - 1));
            std::copy_n(It.Text.begin(), N, Item->pszText);
            Item->pszText[N] = 0;
        }
        if (Item->mask & TCIF_IMAGE)
            Item->iImage = It.Image;
        if (Item->mask & TCIF_PARAM)
            Item->lParam = It.Param;
    }
    Message.Result = TRUE;
    return true;
}

bool TCustomTabControl::TcDeleteItem(TMessage& Message) {
    int Count = int(FItems.size());
    int Index = int(Message.WParam);
    if (Index < 0 || Index >= Count) {
        Message.Result = FALSE;
        return true;
    }
    FItems.erase(FItems.begin() + Index);
    if (FCurSel == Index)
        FCurSel = -1;
    else if (FCurSel > Index)
        --FCurSel;
    if (FHot >= int(FItems.size()))
        FHot = -1;
    LayoutChanged();
    Message.Result = TRUE;
    return true;
}

bool TCustomTabControl::TcDeleteAllItems(TMessage& Message) {
    FItems.clear();
    FCurSel = -1;
    FHot = -1;
    FFirstVisible = 0;
    LayoutChanged();
    Message.Result = TRUE;
    return true;
}

bool TCustomTabControl::TcSetCurSel(TMessage& Message) {
    int Count = int(FItems.size());
    int Index = int(Message.WParam);
    Message.Result = FCurSel;
    if (Index < -1 || Index >= Count) {
        Message.Result = -1;
        return true;
    }
    FCurSel = Index;
    MakeVisible(Index);
    LayoutChanged();
    return true;
}

bool TCustomTabControl::TcGetItemRect(TMessage& Message) {
    int Count = int(FItems.size());
    int Index = int(Message.WParam);
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (Index < 0 || Index >= Count || !R) {
        Message.Result = FALSE;
        return true;
    }
    Layout();
    *R = FItems[std::size_t(Index)].Rect;
    Message.Result = TRUE;
    return true;
}

bool TCustomTabControl::TcHitTest(TMessage& Message) {
    auto* Info = reinterpret_cast<TCHITTESTINFO*>(Message.LParam);
    Message.Result = Info ? HitTest(Info->pt, &Info->flags) : -1;
    return true;
}

bool TCustomTabControl::TcAdjustRect(TMessage& Message) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (!R)
        return true;
    int Strip = StripSize();
    // The frame takes PageMargin on every side; the tabs take the strip on theirs.
    int D = Message.WParam ? -1 : 1;
    R->Left += D * (PageMargin + (FTabPosition == tpLeft ? Strip : 0));
    R->Top += D * (PageMargin + (FTabPosition == tpTop ? Strip : 0));
    R->Right -= D * (PageMargin + (FTabPosition == tpRight ? Strip : 0));
    R->Bottom -= D * (PageMargin + (FTabPosition == tpBottom ? Strip : 0));
    return true;
}

bool TCustomTabControl::TcSetItemSize(TMessage& Message) {
    int Count = int(FItems.size());
    Layout();
    int OldWidth = FItemWidth > 0 ? FItemWidth : (Count > 0 ? ItemLength(FItems[0]) : 0);
    Message.Result = MAKELONG(WORD(OldWidth), WORD(ItemExtent()));
    FItemWidth = std::max(0, int(std::int16_t(LOWORD(std::uintptr_t(Message.LParam)))));
    FItemHeight = std::max(0, int(std::int16_t(HIWORD(std::uintptr_t(Message.LParam)))));
    LayoutChanged();
    return true;
}

bool TCustomTabControl::TcGetRowCount(TMessage& Message) {
    Layout();
    Message.Result = FRows;
    return true;
}

bool TCustomTabControl::TcImageList(TMessage& Message) {
    Message.Result = LRESULT(FNativeImages ? FNativeImages->Handle() : nullptr);
    if (Message.Msg == TCM_SETIMAGELIST) {
        if (FNativeImages && FNativeImages != FImages)
            FNativeImages->RemoveFreeNotification(this);
        FNativeImages = reinterpret_cast<TCustomImageList*>(Message.LParam);
        if (FNativeImages)
            FNativeImages->FreeNotification(this);
        LayoutChanged();
    }
    return true;
}

bool TCustomTabControl::TcHScroll(TMessage& Message) {
    int Count = int(FItems.size());
    if (FMultiLine || Vertical())
        return true;
    int Code = LOWORD(Message.WParam);
    int Old = FFirstVisible;
    if (Code == SB_THUMBPOSITION)
        FFirstVisible = int(HIWORD(Message.WParam));
    else if (Code == SB_LINELEFT)
        FFirstVisible = std::max(0, FFirstVisible - 1);
    else if (Code == SB_LINERIGHT)
        ++FFirstVisible;
    else
        return true;
    FFirstVisible = std::clamp(FFirstVisible, 0, Count > 0 ? MaxFirstVisible() : 0);
    if (FFirstVisible != Old) {
        FLayoutValid = false;
        Invalidate();
    }
    return true;
}

bool TCustomTabControl::TcKeyDown(TMessage& Message) {
    int Count = int(FItems.size());
    if (Count == 0)
        return false;
    int Target = FCurSel;
    switch (Message.WParam) {
    case VK_LEFT:
    case VK_UP:
        Target = std::max(0, FCurSel - 1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        Target = std::min(Count - 1, FCurSel + 1);
        break;
    case VK_HOME:
        Target = 0;
        break;
    case VK_END:
        Target = Count - 1;
        break;
    default:
        break;
    }
    if (Target != FCurSel && Target >= 0)
        UserSelect(Target);
    return true;
}

bool TCustomTabControl::TcMouseMove(TMessage& Message) {
    int Hot = HitTest(POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, nullptr);
    if (Hot != FHot) {
        FHot = Hot;
        if (FHotTrack)
            Invalidate();
    }
    return false;
}

// ---- painting ----

void TCustomTabControl::PaintWindow(HDC DC) {
    Layout();
    RECT Client = ClientRect();
    int Strip = StripSize();
    RECT Frame = Client;
    switch (FTabPosition) {
    case tpTop:
        Frame.Top += Strip;
        break;
    case tpBottom:
        Frame.Bottom -= Strip;
        break;
    case tpLeft:
        Frame.Left += Strip;
        break;
    case tpRight:
        Frame.Right -= Strip;
        break;
    }
    FillColor(DC, Client, Color());
    if (FStyle == tsTabs)
        DrawEdge(DC, &Frame, EDGE_RAISED, BF_RECT);
    int Saved = SaveDC(DC);
    // Tabs scrolled out of a single line are cut at the strip's ends.
    if (Vertical())
        IntersectClipRect(DC, 0, 0, Width(), Height() - StripMargin + 2);
    else
        IntersectClipRect(DC, 0, 0, Width() - StripMargin + 2, Height());
    for (int I = 0; I < int(FItems.size()); ++I)
        if (I != FCurSel)
            PaintTab(DC, I, false);
    if (FCurSel >= 0 && FCurSel < int(FItems.size()))
        PaintTab(DC, FCurSel, true);
    RestoreDC(DC, Saved);
}

void TCustomTabControl::PaintTab(HDC DC, int Index, bool Selected) {
    const TTabItem& Item = FItems[std::size_t(Index)];
    TRect R = Item.Rect;
    if (FStyle == tsTabs && Selected) {
        // The selected tab stands out by two pixels on every side, covering the frame's edge next to it.
        R = Rect(R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom + 2);
    }
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    if (FOwnerDraw) {
        FCanvas->PaintOn(DC, [&] {
            FCanvas->Brush()->SetColor(Color());
            FCanvas->Font()->Assign(Font());
            DrawTab(Index, R, Selected);
        });
        return;
    }
    // The content is laid out across a horizontal picture, turned for side tabs.
    bool Side = Vertical();
    int W = Side ? R.Bottom - R.Top : R.Right - R.Left;
    int H = Side ? R.Right - R.Left : R.Bottom - R.Top;
    TBitmap Picture;
    Picture.SetPixelFormat(pf32bit);
    Picture.SetSize(W, H);
    HDC PDC = Picture.Canvas()->Handle();
    bool Hot = FHotTrack && Index == FHot && !Selected;
    FillColor(PDC, RECT{0, 0, W, H}, Color());
    bool HasImage = FNativeImages && Item.Image >= 0 && Item.Image < FNativeImages->Count();
    int ImageW = HasImage ? (FNativeImages->Width()) : 0;
    TSize Text = MeasureText(Font(), Item.Text);
    int Total = Text.cx + (HasImage ? ImageW + ImageGap : 0);
    int X = (W - Total) / 2;
    if (HasImage) {
        FNativeImages->Draw(Picture.Canvas(), X, (H - FNativeImages->Height()) / 2, Item.Image, Enabled());
        X += ImageW + ImageGap;
    }
    HGDIOBJ OldFont = SelectObject(PDC, Font()->Handle());
    SetBkMode(PDC, TRANSPARENT);
    RECT TextRect{X, (H - Text.cy) / 2, X + Text.cx, (H - Text.cy) / 2 + Text.cy};
    DrawStateText(PDC, Item.Text, TextRect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, Enabled(),
                  Hot ? TColor(clHighlight) : Font()->Color());
    SelectObject(PDC, OldFont);
    if (Selected && Focused()) {
        RECT Focus{std::max(2, TextRect.Left - 2), std::max(2, TextRect.Top - 1), std::min(W - 2, TextRect.Right + 2),
                   std::min(H - 2, TextRect.Bottom + 1)};
        if (HasImage)
            Focus.Left = std::max(2, (W - Total) / 2 - 2);
        ::DrawFocusRect(PDC, &Focus);
    }
    if (Side) {
        auto Turned = Rotated(Picture, FTabPosition == tpRight);
        BitBlt(DC, R.Left, R.Top, Turned->Width(), Turned->Height(), Turned->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else
        BitBlt(DC, R.Left, R.Top, W, H, PDC, 0, 0, SRCCOPY);
    RECT E = R;
    if (FStyle == tsTabs) {
        UINT Sides = FTabPosition == tpTop      ? BF_LEFT | BF_TOP | BF_RIGHT
                     : FTabPosition == tpBottom ? BF_LEFT | BF_BOTTOM | BF_RIGHT
                     : FTabPosition == tpLeft   ? BF_LEFT | BF_TOP | BF_BOTTOM
                                                : BF_TOP | BF_RIGHT | BF_BOTTOM;
        DrawEdge(DC, &E, EDGE_RAISED, Sides | BF_SOFT);
    } else if (FStyle == tsButtons)
        DrawEdge(DC, &E, Selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    else if (Selected)
        DrawEdge(DC, &E, BDR_SUNKENOUTER, BF_RECT);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csNoDesignVisible;
    SetAlign(alClient);
    SetColor(clBtnFace);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl)
        return -1;
    auto& Pages = FPageControl->FPages;
    return int(std::find(Pages.begin(), Pages.end(), this) - Pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (FPageControl)
        FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible)
        return -1;
    int Index = 0;
    for (TTabSheet* Page : FPageControl->FPages) {
        if (Page == this)
            return Index;
        if (Page->FTabVisible)
            ++Index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->UpdateTabImages();
}

void TTabSheet::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        CMTextChanged();
        break;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

// The page control's tab shows the sheet's caption.
void TTabSheet::CMTextChanged() {
    if (!FPageControl || !FTabVisible)
        return;
    TCITEMW Item;
    Item.mask = TCIF_TEXT;
    String Text = Caption();
    Item.pszText = Text.data();
    FPageControl->Perform(TCM_SETITEMW, WPARAM(TabIndex()), LPARAM(&Item));
}

void TTabSheet::CMVisibleChanged(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (Visible() ? OnShow : OnHide)
        (Visible() ? OnShow : OnHide)(this);
}

// ---------------------------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
    FControlStyle -= csAcceptsControls;
}

TPageControl::~TPageControl() {
    // The pages are freed with the control; they no longer report back to it.
    for (TTabSheet* Page : FPages)
        Page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

int TPageControl::ActivePageIndex() const {
    if (!FActivePage)
        return -1;
    return FActivePage->PageIndex();
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[std::size_t(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this)
        return;
    ShowPage(Page);
    Perform(TCM_SETCURSEL, WPARAM(Page ? Page->TabIndex() : -1), 0);
}

void TPageControl::ShowPage(TTabSheet* Page) {
    if (Page == FActivePage)
        return;
    TTabSheet* Old = FActivePage;
    // The focus inside the page going away comes to the page control.
    bool HadFocus = Old && Old->HandleAllocated() && (Old->Focused() || IsChild(Old->Handle(), GetFocus()));
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (Old && Old != Page)
        Old->SetVisible(false);
    if (HadFocus && CanFocus())
        SetFocus();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    int Count = PageCount();
    if (Count == 0)
        return nullptr;
    int Start = CurPage ? CurPage->PageIndex() : -1;
    if (Start < 0)
        Start = GoForward ? Count - 1 : 0;
    int I = Start;
    for (int N = 0; N < Count; ++N) {
        I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
        TTabSheet* Page = FPages[std::size_t(I)];
        if (!CheckTabVisible || Page->FTabVisible)
            return Page;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (!Page || Page == FActivePage || !CanChange())
        return;
    SetActivePage(Page);
    Change();
}

bool TPageControl::CanChange() {
    return TCustomTabControl::CanChange();
}

void TPageControl::Change() {
    int Tab = TabIndex();
    if (Tab >= 0)
        for (TTabSheet* Page : FPages)
            if (Page->TabIndex() == Tab) {
                ShowPage(Page);
                break;
            }
    TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int TabIndex) {
    int Index = -1;
    for (TTabSheet* Page : FPages)
        if (Page->TabIndex() == TabIndex) {
            Index = Page->FImageIndex;
            break;
        }
    if (OnGetImageIndex)
        OnGetImageIndex(this, TabIndex, Index);
    return Index;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    // The first page to come is shown.
    if (!FActivePage && Page->FTabVisible)
        SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end())
        return;
    TTabSheet* Next = Page == FActivePage ? FindNextPage(Page, true, true) : nullptr;
    if (Next == Page)
        Next = nullptr;
    FPages.erase(It);
    Page->FPageControl = nullptr;
    if (Page == FActivePage) {
        FActivePage = nullptr;
        Page->SetVisible(false);
    }
    UpdateTabs();
    if (!FActivePage && Next)
        SetActivePage(Next);
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
    auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end())
        return;
    FPages.erase(It);
    NewIndex = std::clamp(NewIndex, 0, PageCount());
    FPages.insert(FPages.begin() + NewIndex, Page);
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    if (FUpdatingTabs)
        return;
    FUpdatingTabs = true;
    DisableAlign();
    // The strip keeps its scroll: the page whose tab came first stays first while it has a tab.
    int First = FirstVisibleTab();
    TCITEMW Old;
    Old.mask = TCIF_PARAM;
    Old.lParam = 0;
    Perform(TCM_GETITEMW, WPARAM(First), LPARAM(&Old));
    // Only a page still in the control is looked at: the tab may name one that is leaving it.
    auto* FirstPage = reinterpret_cast<TTabSheet*>(Old.lParam);
    if (std::find(FPages.begin(), FPages.end(), FirstPage) == FPages.end())
        FirstPage = nullptr;
    // The native control selects the first tab it gets; the active page's tab is selected below.
    Perform(TCM_DELETEALLITEMS, 0, 0);
    for (TTabSheet* Page : FPages) {
        if (!Page->FTabVisible)
            continue;
        TCITEMW Item;
        Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        String Text = Page->Caption();
        Item.pszText = Text.data();
        Item.iImage = Page->FImageIndex;
        Item.lParam = LPARAM(Page);
        Perform(TCM_INSERTITEMW, WPARAM(Perform(TCM_GETITEMCOUNT, 0, 0)), LPARAM(&Item));
    }
    if (FirstPage && FirstPage->FTabVisible)
        First = FirstPage->TabIndex();
    Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(First, 0)), 0);
    FUpdatingTabs = false;
    // A page whose tab went away gives way to the next page with a tab.
    if (FActivePage && !FActivePage->FTabVisible) {
        TTabSheet* Next = FindNextPage(FActivePage, true, true);
        ShowPage(Next == FActivePage ? nullptr : Next);
    }
    Perform(TCM_SETCURSEL, WPARAM(FActivePage ? FActivePage->TabIndex() : -1), 0);
    UpdateTabImages();
    EnableAlign();
}
