#include "skin/controls/TbsSkinPageControl.h"

#include <algorithm>

#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

// Posted to itself when the tabs changed, so the scroller is checked once the tab list is complete.
constexpr UINT CM_BSCHECKUPDOWN = WM_APP + 0x151;

TRect MovedRect(TRect R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return R;
}

bool SideTabs(TTabPosition P) {
    return P == tpLeft || P == tpRight;
}

} // namespace

TbsSkinPageControl::TbsSkinPageControl(TComponent* AOwner)
    : TPageControl(AOwner), FDefaultFont(std::make_unique<TFont>()) {
    for (TFont* F : {FDefaultFont.get(), Font()}) {
        F->SetName(u"Arial");
        F->SetHeight(14);
        F->SetStyle({});
        F->SetColor(clBtnText);
    }
    FTempImages = new TImageList(this, 1, 1);
    Perform(TCM_SETIMAGELIST, 0, LPARAM(FTempImages->Handle()));
    // Forms are built in code here: what loading does for a control without skin is done at once.
    Loaded();
}

TbsSkinPageControl::~TbsSkinPageControl() = default;

// ---- properties ----

void TbsSkinPageControl::SetTabWidth(int Value) {
    TPageControl::SetTabWidth(Value);
    if (TabHeight() <= 0)
        SetItemSize(TabWidth(), TabExtent());
}

void TbsSkinPageControl::SetTabHeight(int Value) {
    TPageControl::SetTabHeight(Value);
    if (TabHeight() <= 0)
        SetItemSize(TabWidth(), TabExtent());
}

void TbsSkinPageControl::SetTabExtededDraw(bool Value) {
    FTabExtendedDraw = Value;
    Invalidate();
}

void TbsSkinPageControl::SetTabMargin(int Value) {
    if (Value < -1 || Value == FTabMargin)
        return;
    FTabMargin = Value;
    Invalidate();
}

void TbsSkinPageControl::SetTabSpacing(int Value) {
    if (Value == FTabSpacing)
        return;
    FTabSpacing = Value;
    Invalidate();
}

void TbsSkinPageControl::SetTabLayout(TbsButtonLayout Value) {
    if (Value == FTabLayout)
        return;
    FTabLayout = Value;
    Invalidate();
}

void TbsSkinPageControl::SetTextInHorizontal(bool Value) {
    FTextInHorizontal = Value;
    Invalidate();
}

void TbsSkinPageControl::SetTabsBGTransparent(bool Value) {
    if (Value == FTabsBGTransparent)
        return;
    FTabsBGTransparent = Value;
    Invalidate();
}

// A strip at an offset lies on top, in one line, over the parent's background.
void TbsSkinPageControl::ApplyStripOffset() {
    SetTabPosition(tpTop);
    SetMultiLine(false);
    FTabsBGTransparent = true;
}

void TbsSkinPageControl::SetTabsInCenter(bool Value) {
    if (TabWidth() == 0)
        return;
    FTabsInCenter = Value;
    if (Value)
        ApplyStripOffset();
    Invalidate();
}

void TbsSkinPageControl::SetTabsOffset(int Value) {
    FTabsOffset = Value;
    if (Value > 0)
        ApplyStripOffset();
    Invalidate();
}

void TbsSkinPageControl::AddReservedRoom(int Amount, int Sign) {
    if (SideTabs(TabPosition()))
        FTempImages->SetHeight(std::max(1, FTempImages->Height() + Sign * Amount));
    else
        FTempImages->SetWidth(std::max(1, FTempImages->Width() + Sign * Amount));
    // The native control measures its tabs again with the list's new size.
    Perform(TCM_SETIMAGELIST, 0, LPARAM(FTempImages->Handle()));
}

void TbsSkinPageControl::SetShowCloseButtons(bool Value) {
    if (Value != FShowCloseButtons) {
        FShowCloseButtons = Value;
        AddReservedRoom(FCloseSize, Value ? 1 : -1);
    }
    Invalidate();
}

void TbsSkinPageControl::SetImages(TCustomImageList* Value) {
    auto Room = [this](TCustomImageList* L) { return !L ? 0 : SideTabs(TabPosition()) ? L->Height() : L->Width(); };
    if (FImages) {
        AddReservedRoom(Room(FImages), -1);
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->FreeNotification(this);
        AddReservedRoom(Room(FImages), 1);
    }
    Invalidate();
}

void TbsSkinPageControl::SetDefaultItemHeight(int Value) {
    FDefaultItemHeight = Value;
    if (FIndex != -1)
        return;
    SetItemSize(TabWidth(), Value);
    UpdateScrollerPosition();
    Invalidate();
    Realign();
}

void TbsSkinPageControl::SetSkinData(TbsSkinData* Value) {
    if (FSD && FSD != Value)
        FSD->RemoveFreeNotification(this);
    FSD = Value;
    if (FSD)
        FSD->FreeNotification(this);
    if (FSD && !FSD->Empty && !Designing())
        ChangeSkinData();
}

void TbsSkinPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TPageControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FSkinUpDown)
        FSkinUpDown = nullptr;
}

// The native control makes room for the image of a tab that has one. Every tab here gets the room reserved
// through the control's own list (close button, image), also a page without an image, whose caption would
// otherwise run under its close button.
int TbsSkinPageControl::GetImageIndex(int TabIndex) {
    return std::max(0, TPageControl::GetImageIndex(TabIndex));
}

void TbsSkinPageControl::Loaded() {
    TPageControl::Loaded();
    if (FIndex != -1)
        return;
    SetItemSize(TabWidth(), TabHeight() > 0 ? TabHeight() : FDefaultItemHeight);
    UpdateScrollerPosition();
    Realign();
}

// ---- skin ----

void TbsSkinPageControl::GetSkinData() {
    BGPictureIndex = -1;
    if (!FSD) {
        FIndex = -1;
        return;
    }
    FIndex = FSD->Empty ? -1 : FSD->GetControlIndex(FSkinDataName);
    if (FIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinTabControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!Rec) {
        FIndex = -1;
        return;
    }
    const int P = Rec->PictureIndex;
    Picture = P >= 0 && P < int(FSD->FActivePictures.size()) ? FSD->FActivePictures[std::size_t(P)].get() : nullptr;
    SkinRect = Rec->SkinRect;
    ClRect = Rec->ClRect;
    TabRect = Rec->TabRect;
    ActiveTabRect = IsNullRect(Rec->ActiveTabRect) ? Rec->TabRect : Rec->ActiveTabRect;
    FocusTabRect = IsNullRect(Rec->FocusTabRect) ? Rec->ActiveTabRect : Rec->FocusTabRect;
    if (IsNullRect(FocusTabRect))
        FocusTabRect = ActiveTabRect;
    MouseInTabRect = Rec->MouseInTabRect;
    TabsBGRect = Rec->TabsBGRect;
    LTPoint = Rec->LTPoint;
    RTPoint = Rec->RTPoint;
    LBPoint = Rec->LBPoint;
    RBPoint = Rec->RBPoint;
    TabLeftOffset = Rec->TabLeftOffset;
    TabRightOffset = Rec->TabRightOffset;
    FontName = Rec->FontName;
    FontStyle = Rec->FontStyle;
    FontHeight = Rec->FontHeight;
    FontColor = Rec->FontColor;
    ActiveFontColor = Rec->ActiveFontColor;
    FocusFontColor = Rec->FocusFontColor;
    MouseInFontColor = Rec->MouseInFontColor;
    UpDown = Rec->UpDown;
    BGPictureIndex = Rec->BGPictureIndex;
    TabStretchEffect = Rec->TabStretchEffect;
    ShowFocus = Rec->ShowFocus;
    FocusOffsetX = Rec->FocusOffsetX;
    FocusOffsetY = Rec->FocusOffsetY;
    LeftStretch = Rec->LeftStretch;
    TopStretch = Rec->TopStretch;
    RightStretch = Rec->RightStretch;
    BottomStretch = Rec->BottomStretch;
    StretchEffect = Rec->StretchEffect;
    StretchType = Rec->StretchType;
    CloseButtonRect = Rec->CloseButtonRect;
    ClosebuttonActiveRect = IsNullRect(Rec->CloseButtonActiveRect) ? CloseButtonRect : Rec->CloseButtonActiveRect;
    CloseButtonDownRect = IsNullRect(Rec->CloseButtonDownRect) ? ClosebuttonActiveRect : Rec->CloseButtonDownRect;
    ButtonTransparent = Rec->ButtonTransparent;
    ButtonTransparentColor = Rec->ButtonTransparentColor;
}

int TbsSkinPageControl::TabExtent() {
    if (TabHeight() > 0)
        return TabHeight();
    return FIndex == -1 ? FDefaultItemHeight : GetRectHeight(TabRect);
}

void TbsSkinPageControl::ApplyFont() {
    if (FIndex == -1) {
        Font()->Assign(FDefaultFont.get());
        return;
    }
    if (FUseSkinFont) {
        Font()->SetName(FontName);
        Font()->SetHeight(FontHeight);
        Font()->SetStyle(FontStyle);
    } else {
        Font()->SetName(FDefaultFont->Name());
        Font()->SetHeight(FDefaultFont->Height());
        Font()->SetStyle(FDefaultFont->Style());
    }
    Font()->SetColor(FontColor);
}

void TbsSkinPageControl::ChangeSkinData() {
    GetSkinData();
    if (FShowCloseButtons) {
        AddReservedRoom(FCloseSize, -1);
        FCloseSize = FIndex == -1 || IsNullRect(CloseButtonRect) ? 14 : GetRectWidth(CloseButtonRect);
        AddReservedRoom(FCloseSize, 1);
    }
    ApplyFont();
    SetItemSize(TabWidth(), TabExtent());
    UpdateScrollerPosition();
    Realign();
    // The scroller takes the new skin by being made again.
    FreeUpDown();
    if (!MultiLine())
        CheckUpDown();
    if (ActivePage())
        ActivePage()->Invalidate();
    Invalidate();
}

// ---- tabs shown and hidden ----

void TbsSkinPageControl::HideTabs() {
    if (FOldTabHeight != -1 || Perform(TCM_GETITEMCOUNT, 0, 0) == 0)
        return;
    FHideTabs = true;
    FOLdTabPosition = TabPosition();
    FOldMultiLine = MultiLine();
    if (SideTabs(TabPosition()))
        SetTabPosition(tpTop);
    SetMultiLine(false);
    FOldTabHeight = TabHeight();
    SetTabHeight(1);
    FreeUpDown();
}

void TbsSkinPageControl::ShowTabs() {
    if (FOldTabHeight == -1)
        return;
    SetTabPosition(FOLdTabPosition);
    SetMultiLine(FOldMultiLine);
    FHideTabs = false;
    // A height left to the control comes back as the skin's tab height, or DefaultItemHeight without skin.
    SetTabHeight(FOldTabHeight);
    FOldTabHeight = -1;
    if (!MultiLine())
        CheckUpDown();
}

void TbsSkinPageControl::HideBorderAndTabs() {
    if (TabPosition() != tpTop)
        SetTabPosition(tpTop);
    FHideTabs = true;
    FHideBorder = true;
    FreeUpDown();
    Realign();
}

void TbsSkinPageControl::ShowBorderAndTabs() {
    FHideTabs = false;
    FHideBorder = false;
    ShowTabs();
    Realign();
}

void TbsSkinPageControl::UpDateTabs() {
    SetItemSize(TabWidth(), TabExtent());
    if (MultiLine())
        FreeUpDown();
    Realign();
}

// ---- geometry ----

TRect TbsSkinPageControl::GetTabRect(int Index) {
    RECT R{0, 0, 0, 0};
    Perform(TCM_GETITEMRECT, WPARAM(Index), LPARAM(&R));
    if (!MultiLine() && Index == 0)
        ++R.Left;
    return R;
}

void TbsSkinPageControl::SetItemSize(int AWidth, int AHeight) {
    Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(AWidth, AHeight));
}

int TbsSkinPageControl::CalcTabsOffset() {
    if (FTabsOffset > 0)
        return FTabsOffset;
    if (TabWidth() == 0)
        return 0;
    const int Visible = int(Perform(TCM_GETITEMCOUNT, 0, 0));
    return std::max(0, Width() / 2 - (TabWidth() * Visible) / 2);
}

int TbsSkinPageControl::GetHiddenTabCount() {
    int N = 0;
    const int Count = int(Perform(TCM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        const TRect R = GetTabRect(I);
        if (R.Right > Width() - 3 || R.Right <= 0)
            ++N;
    }
    return N;
}

int TbsSkinPageControl::GetScrolledTabCount() {
    int N = 0;
    const int Count = int(Perform(TCM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I)
        if (GetTabRect(I).Right <= 0)
            ++N;
    return N;
}

// ---- the tab scroller ----

void TbsSkinPageControl::CheckUpDown() {
    // The native control here draws no arrows of its own: there is nothing of its to remove.
    const int N = GetHiddenTabCount();
    if (N == 0 || MultiLine()) {
        FreeUpDown();
        return;
    }
    if (!FSkinUpDown)
        CreateUpDown();
    if (!FSkinUpDown)
        return;
    FSkinUpDown->SetMax(N);
    FSkinUpDown->SetLeft(Width() - FSkinUpDown->Width());
    FSkinUpDown->SetTop(TabPosition() == tpTop ? 0 : Height() - FSkinUpDown->Height());
}

void TbsSkinPageControl::CreateUpDown() {
    if (FHideTabs)
        return;
    auto* U = new TbsSkinUpDown(this);
    const int H = TabExtent();
    U->SetBounds(0, 0, 2 * H, H);
    U->SetMin(0);
    U->SetMax(GetHiddenTabCount());
    U->SetPosition(GetScrolledTabCount());
    U->SetIncrement(1);
    U->SetLeft(Width() - U->Width());
    U->SetTop(TabPosition() == tpTop ? 0 : Height() - U->Height());
    if (FIndex != -1 && !UpDown.empty())
        U->SetSkinDataName(UpDown);
    U->SetParent(this);
    U->SetSkinData(FSD);
    // A skin may have sized it: it keeps to the strip's right end.
    U->SetLeft(Width() - U->Width());
    U->SetTop(TabPosition() == tpTop ? 0 : Height() - U->Height());
    U->SetVisible(true);
    U->BringToFront();
    U->OnChange = [this](TObject* Sender) { UpDownChange(Sender); };
    FSkinUpDown = U;
}

void TbsSkinPageControl::FreeUpDown() {
    TbsSkinUpDown* U = FSkinUpDown;
    FSkinUpDown = nullptr;
    delete U;
}

void TbsSkinPageControl::UpDownChange(TObject*) {
    if (!FSkinUpDown)
        return;
    FSkinUpDown->SetMax(GetHiddenTabCount());
    Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FSkinUpDown->Position()), 0);
}

void TbsSkinPageControl::UpdateScrollerPosition() {
    if (FSkinUpDown)
        FSkinUpDown->SetPosition(GetScrolledTabCount());
}

void TbsSkinPageControl::RequestUpDownCheck() {
    if (FUpDownCheckPosted || !HandleAllocated() || Designing())
        return;
    FUpDownCheckPosted = true;
    PostMessageW(Handle(), CM_BSCHECKUPDOWN, 0, 0);
}

void TbsSkinPageControl::Change() {
    UpdateScrollerPosition();
    TPageControl::Change();
    Invalidate();
    if (ActivePage())
        ActivePage()->Invalidate();
}

// ---- hot tracking and close buttons ----

TbsSkinCustomTabSheet* TbsSkinPageControl::SkinSheet(int PageIndex) const {
    if (PageIndex < 0 || PageIndex >= PageCount())
        return nullptr;
    return dynamic_cast<TbsSkinCustomTabSheet*>(Pages(PageIndex));
}

void TbsSkinPageControl::TestActive(int X, int Y) {
    if (FHideTabs)
        return;
    FOldActiveTab = FActiveTab;
    FOldActiveTabIndex = FActiveTabIndex;
    FActiveTabIndex = -1;
    FActiveTab = PageCount();
    int Visible = 0;
    for (int I = 0; I < PageCount(); ++I) {
        if (!Pages(I)->TabVisible())
            continue;
        if (PtInRect(GetTabRect(Visible), TPoint{X, Y})) {
            FActiveTabIndex = Visible;
            FActiveTab = I;
            break;
        }
        ++Visible;
    }
    if (FActiveTabIndex != FOldActiveTabIndex) {
        if (FOldActiveTabIndex != TabIndex()) {
            if (TbsSkinCustomTabSheet* Old = SkinSheet(FOldActiveTab)) {
                Old->ButtonMouseIn = false;
                Old->ButtonMouseDown = false;
            }
            RedrawTabs();
        }
        if (FActiveTabIndex != TabIndex())
            RedrawTabs();
    }
    TbsSkinCustomTabSheet* Hot = FShowCloseButtons ? SkinSheet(FActiveTab) : nullptr;
    if (!Hot)
        return;
    const TRect TR = GetTabRect(FActiveTabIndex);
    const bool In = PtInRect(MovedRect(Hot->ButtonRect, TR.Left, TR.Top), TPoint{X, Y});
    if (In && !Hot->ButtonMouseIn) {
        Hot->ButtonMouseIn = true;
        RedrawTabs();
    } else if (!In && Hot->ButtonMouseIn) {
        Hot->ButtonMouseIn = false;
        Hot->ButtonMouseDown = false;
        RedrawTabs();
    }
}

void TbsSkinPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    TPageControl::MouseMove(Shift, X, Y);
    if (!FHideTabs && !Designing())
        TestActive(X, Y);
}

void TbsSkinPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TPageControl::MouseDown(Button, Shift, X, Y);
    if (Alive.expired() || FHideTabs)
        return;
    if (Button == mbLeft && !Designing() && !OffsetActive())
        TestActive(X, Y);
    if (Button == mbLeft)
        PressCloseButton(X, Y, false);
}

void TbsSkinPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TPageControl::MouseUp(Button, Shift, X, Y);
    if (Alive.expired() || FHideTabs)
        return;
    if (Button == mbLeft && !Designing() && !OffsetActive())
        TestActive(X, Y);
    if (Button == mbLeft)
        PressCloseButton(X, Y, true);
}

// True when the point hit the hot tab's close button.
bool TbsSkinPageControl::PressCloseButton(int X, int Y, bool Release) {
    TbsSkinCustomTabSheet* Hot = FShowCloseButtons ? SkinSheet(FActiveTab) : nullptr;
    if (!Hot || FActiveTabIndex < 0)
        return false;
    const TRect TR = GetTabRect(FActiveTabIndex);
    // The position came in reduced by the strip offset already.
    const int DX = TR.Left - (OffsetActive() ? CalcTabsOffset() : 0);
    if (!PtInRect(MovedRect(Hot->ButtonRect, DX, TR.Top), TPoint{X, Y})) {
        Hot->ButtonMouseIn = false;
        Hot->ButtonMouseDown = false;
        return false;
    }
    Hot->ButtonMouseIn = true;
    Hot->ButtonMouseDown = !Release;
    RedrawTabs();
    // The page whose button was hit closes, even when the selection stayed on another page.
    if (Release)
        ClosePage(Hot);
    return true;
}

void TbsSkinPageControl::CloseActivePage() {
    if (ActivePage())
        ClosePage(ActivePage());
}

void TbsSkinPageControl::ClosePage(TTabSheet* Page) {
    bool CanClose = true;
    if (OnClose)
        OnClose(Page, CanClose);
    if (CanClose) {
        // Nothing stays hot on a tab that went away.
        FActiveTab = PageCount();
        FActiveTabIndex = -1;
        Page->SetTabVisible(false);
        if (FFreeOnClose)
            delete Page;
        if (OnAfterClose)
            OnAfterClose(this);
        return;
    }
    POINT Cursor;
    GetCursorPos(&Cursor);
    if (WindowFromPoint(Cursor) != Handle()) {
        if (auto* Sheet = dynamic_cast<TbsSkinCustomTabSheet*>(Page)) {
            Sheet->ButtonMouseIn = false;
            Sheet->ButtonMouseDown = false;
        }
        RedrawTabs();
    }
}

// ---- wheel ----

void TbsSkinPageControl::SelectWheelPage(bool Next) {
    const int Current = ActivePageIndex();
    if (Current < 0)
        return;
    if (Next) {
        for (int I = Current + 1; I < PageCount(); ++I)
            if (Pages(I)->TabVisible()) {
                SetActivePage(Pages(I));
                return;
            }
    } else {
        for (int I = Current - 1; I >= 0; --I)
            if (Pages(I)->TabVisible()) {
                SetActivePage(Pages(I));
                return;
            }
    }
}

// ---- messages ----

void TbsSkinPageControl::WndProc(TMessage& Message) {
    if (OffsetActive()) {
        switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: {
            // The native control's hit test sees the strip where it placed it.
            const int X = GET_X_LPARAM(Message.LParam) - CalcTabsOffset();
            Message.LParam = MAKELPARAM(WORD(X), WORD(GET_Y_LPARAM(Message.LParam)));
            break;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        }
    }
    std::weak_ptr<char> Alive = AliveToken();
    TPageControl::WndProc(Message);
    if (Alive.expired())
        return;
    switch (Message.Msg) {
    case TCM_ADJUSTRECT:
        TCMAdjustRect(Message);
        break;
    case TCM_GETITEMRECT:
        TCMGetItemRect(Message);
        break;
    case WM_SIZE:
        if (!MultiLine() && !Designing())
            CheckUpDown();
        break;
    case TCM_INSERTITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETITEMW:
    case TCM_SETITEMSIZE:
    case TCM_SETIMAGELIST:
        RequestUpDownCheck();
        break;
    case CM_BSCHECKUPDOWN:
        FUpDownCheckPosted = false;
        if (!MultiLine() && !FHideTabs)
            CheckUpDown();
        break;
    }
}

void TbsSkinPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_HSCROLL:
        WMHScroll(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case TCM_SETCURSEL:
        TCMSetCurSel(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case WM_CHECKPARENTBG:
        WMCheckParentBg(Message);
        return;
    case WM_BSPAGEQUERY:
        Message.Result = BSPAGEQUERYANSWER;
        return;
    }
    TPageControl::Dispatch(Message);
}

void TbsSkinPageControl::WMSize(TMessage& Message) {
    GetSkinData();
    TPageControl::Dispatch(Message);
}

void TbsSkinPageControl::WMHScroll(TMessage& Message) {
    TPageControl::Dispatch(Message);
    Invalidate();
}

void TbsSkinPageControl::WMMouseWheel(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TPageControl::Dispatch(Message);
    if (!Alive.expired() && FMouseWheelSupport)
        SelectWheelPage(GET_WHEEL_DELTA_WPARAM(Message.WParam) < 0);
}

void TbsSkinPageControl::TCMSetCurSel(TMessage& Message) {
    TPageControl::Dispatch(Message);
    if (!ComponentState().Contains(csLoading))
        Invalidate();
}

void TbsSkinPageControl::CMMouseLeave(TMessage& Message) {
    TPageControl::Dispatch(Message);
    if (!FHideTabs)
        TestActive(-1, -1);
}

void TbsSkinPageControl::WMCheckParentBg(TMessage&) {
    if (FTabsBGTransparent)
        Invalidate();
}

void TbsSkinPageControl::TCMAdjustRect(TMessage& Message) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (!R || Message.WParam)
        return;
    if (FHideBorder) {
        *R = RECT{0, -2, Width(), Height()};
        return;
    }
    const TRect Client = ClientRect();
    const int CW = Client.Right, CH = Client.Bottom;
    const bool Skin = FIndex != -1;
    const int B = GetRectWidth(SkinRect) - ClRect.Right;
    const int A = GetRectHeight(SkinRect) - ClRect.Bottom;
    switch (TabPosition()) {
    case tpTop:
        R->Left = Skin ? ClRect.Left : 1;
        R->Top = Skin ? R->Top - 6 + ClRect.Top : R->Top - 5;
        R->Right = Skin ? CW - B : CW - 1;
        R->Bottom = Skin ? CH - A : CH - 1;
        if (FHideTabs)
            R->Top -= 1;
        break;
    case tpBottom:
        R->Left = Skin ? ClRect.Left : 1;
        R->Top = Skin ? R->Top - 4 + ClRect.Top : 1;
        R->Right = Skin ? CW - B : CW - 1;
        R->Bottom = Skin ? R->Bottom + 4 - A : R->Bottom + 3;
        if (FHideTabs && Skin)
            R->Bottom += 1;
        break;
    case tpLeft:
        R->Left = Skin ? R->Left - 4 + ClRect.Left : R->Left - 3;
        R->Top = Skin ? R->Top - 4 + ClRect.Top : R->Top - 5;
        R->Right = Skin ? CW - B : CW - 1;
        R->Bottom = Skin ? CH - A : CH - 1;
        if (FHideTabs)
            R->Left -= 1;
        break;
    case tpRight:
        R->Left = Skin ? ClRect.Left : R->Left - 3;
        R->Top = Skin ? R->Top - 4 + ClRect.Top : R->Top - 5;
        R->Right = Skin ? R->Right + 4 - B : R->Right + 3;
        R->Bottom = Skin ? CH - A : CH - 1;
        if (FHideTabs)
            R->Right += 1;
        break;
    }
}

void TbsSkinPageControl::TCMGetItemRect(TMessage& Message) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (!R || !Message.Result || Style() != tsTabs)
        return;
    const bool Single = !MultiLine();
    switch (TabPosition()) {
    case tpTop:
        if (Single) {
            R->Left -= 2;
            R->Right -= 2;
        }
        R->Top -= 2;
        R->Bottom -= 2;
        if (OffsetActive()) {
            const int Offset = CalcTabsOffset();
            R->Left += Offset;
            R->Right += Offset;
        }
        break;
    case tpBottom:
        if (Single) {
            R->Left -= 2;
            R->Right -= 2;
        }
        R->Top += 2;
        R->Bottom += 2;
        break;
    case tpLeft:
        R->Left -= 2;
        R->Right -= 2;
        break;
    case tpRight:
        R->Left += 2;
        R->Right += 2;
        break;
    }
}
