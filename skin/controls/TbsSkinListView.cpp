#include "skin/controls/TbsSkinListView.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/win/WinExtras.h"
#include "skin/controls/bsSkinCtrlsViews.h"
#include "skin/core/TbsSkinData.h"

namespace {

bool Empty(const TRect& R) {
    return R.Right - R.Left <= 0 || R.Bottom - R.Top <= 0;
}

bool IsNull(const TPoint& P) {
    return P.X == 0 && P.Y == 0;
}

} // namespace

TbsSkinCustomListView::TbsSkinCustomListView(TComponent* AOwner)
    : TCustomListView(AOwner), FDefaultFont(CreateSkinDefaultFont()) {
    Font()->Assign(FDefaultFont.get());
}

TbsSkinCustomListView::~TbsSkinCustomListView() {
    UnhookHeader();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinCustomListView::SetSkinData(TbsSkinData* Value) {
    StoreViewSkinData(*this, Value);
}

void TbsSkinCustomListView::SetHeaderSkinDataName(const String& Value) {
    FHeaderSkinDataName = Value;
    if (FHeaderHandle)
        InvalidateRect(FHeaderHandle, nullptr, TRUE);
}

void TbsSkinCustomListView::SetDefaultFont(TFont* Value) {
    FDefaultFont->Assign(Value);
    if (FIndex == -1)
        Font()->Assign(Value);
}

void TbsSkinCustomListView::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
    if (FIndex == -1)
        SetColor(Value);
}

void TbsSkinCustomListView::SetVScrollBar(TbsSkinScrollBar* Value) {
    AttachViewBar(*this, FVScrollBar, Value, [this](TObject*) { VScrollBarChange(); });
}

void TbsSkinCustomListView::SetHScrollBar(TbsSkinScrollBar* Value) {
    AttachViewBar(*this, FHScrollBar, Value, [this](TObject*) { HScrollBarChange(); });
}

void TbsSkinCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListView::Notification(AComponent, Operation);
    if (Operation == opRemove)
        ForgetViewPart(*this, AComponent);
}

void TbsSkinCustomListView::Loaded() {
    FInCheckScrollBars = true;
    TCustomListView::Loaded();
    FInCheckScrollBars = false;
    ChangeSkinData();
}

void TbsSkinCustomListView::CreateParams(TCreateParams& Params) {
    TCustomListView::CreateParams(Params);
    Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

void TbsSkinCustomListView::CreateWnd() {
    TCustomListView::CreateWnd();
}

void TbsSkinCustomListView::Change(TListItem* Item, TItemChange AChange) {
    TCustomListView::Change(Item, AChange);
    if (!FInCheckScrollBars)
        UpDateScrollBars();
}

void TbsSkinCustomListView::ChangeSkinData() {
    FIndex =
        ApplyViewSkin<TbsDataSkinListView>(this, FSD, FSkinDataName, FUseSkinFont, FDefaultFont.get(), FDefaultColor);
    UpDateScrollBars();
    if (ViewStyle() == vsReport && FHeaderHandle)
        InvalidateRect(FHeaderHandle, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// The external bars

int TbsSkinCustomListView::Item0Height() {
    if (Items()->Count() == 0)
        return 0;
    const TRect R = ItemRect(0, drBounds);
    return R.Bottom - R.Top;
}

void TbsSkinCustomListView::UpDateScrollBars() {
    if (!HandleAllocated() || FromSB || Width() <= 5 || Height() <= 5)
        return;
    bool Changed = false;
    switch (ViewStyle()) {
    case vsReport:
        SyncReport(Changed);
        break;
    case vsList:
        SyncList(Changed);
        break;
    default:
        SyncIcons(Changed);
        break;
    }
    SyncBoth(FVScrollBar, FHScrollBar);
    if (Changed && Align() != alNone && Parent()) {
        FInCheckScrollBars = true;
        Parent()->Realign();
        FInCheckScrollBars = false;
    }
}

// Shows Bar (of the native bar Which) when Show holds for the native maximum, then gives it the native range and
// position with Page, and Small and Large when not 0; the position is remembered as the last synchronised one.
void TbsSkinCustomListView::SyncBar(TbsSkinScrollBar* Bar, int Which, const std::function<bool(int Max)>& Show,
                                    int Page, int Small, int Large, int& Remembered, bool& Changed) {
    if (!Bar)
        return;
    int Min = 0, Max = 0;
    GetScrollRange(FHandle, Which, &Min, &Max);
    const int Pos = GetScrollPos(FHandle, Which);
    FInCheckScrollBars = true;
    Changed |= ShowViewBar(Bar, Show(Max), Visible());
    FInCheckScrollBars = false;
    if (!Bar->Visible())
        return;
    Bar->SetRange(Min, Max, Pos, Page);
    if (Small)
        Bar->SetSmallChange(Small);
    if (Large)
        Bar->SetLargeChange(Large);
    Remembered = Pos;
}

void TbsSkinCustomListView::SyncReport(bool& Changed) {
    if (FInCheckScrollBars)
        return;
    const int PerPage = int(Perform(LVM_GETCOUNTPERPAGE, 0, 0));
    SyncBar(
        FVScrollBar, SB_VERT, [&](int Max) { return PerPage < Max + 1; }, PerPage, 1, std::max(PerPage, 1),
        FOldVScrollBarPos, Changed);
    SyncBar(
        FHScrollBar, SB_HORZ, [&](int Max) { return Max > Width(); }, Width(), 0, 0, FOldHScrollBarPos, Changed);
}

void TbsSkinCustomListView::SyncList(bool& Changed) {
    if (FInCheckScrollBars)
        return;
    if (FVScrollBar && FVScrollBar->Visible()) {
        FInCheckScrollBars = true;
        Changed |= ShowViewBar(FVScrollBar, false, Visible());
        FInCheckScrollBars = false;
    }
    const int PerPage = int(Perform(LVM_GETCOUNTPERPAGE, 0, 0));
    const int Count = int(Perform(LVM_GETITEMCOUNT, 0, 0));
    int ColumnWidth = 1;
    if (Count > 0) {
        const TRect R = ItemRect(0, drBounds);
        ColumnWidth = std::max(1, R.Right - R.Left);
    }
    SyncBar(
        FHScrollBar, SB_HORZ, [&](int) { return PerPage < Count; }, Width() / ColumnWidth, 1, 1, FOldHScrollBarPos,
        Changed);
}

void TbsSkinCustomListView::SyncIcons(bool& Changed) {
    if (FInCheckScrollBars)
        return;
    const int Half = Item0Height() / 2;
    const int Step = Half == 0 ? 1 : Half;
    SyncBar(
        FVScrollBar, SB_VERT, [&](int Max) { return Max > Height(); }, Height(), Step, Step, FOldVScrollBarPos,
        Changed);
    SyncBar(
        FHScrollBar, SB_HORZ, [&](int Max) { return Max > Width(); }, Width(), Step, Step, FOldHScrollBarPos, Changed);
}

// A bar's change scrolls the view; the view's answer must not move the bar back while it is dragged.
void TbsSkinCustomListView::VScrollBarChange() {
    if (!FVScrollBar || !HandleAllocated())
        return;
    FromSB = true;
    const int Delta = FVScrollBar->Position() - FOldVScrollBarPos;
    if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon)
        SendMessageW(FHandle, LVM_SCROLL, 0, LPARAM(Delta));
    else
        SendMessageW(FHandle, LVM_SCROLL, 0, LPARAM(Delta * Item0Height()));
    FOldVScrollBarPos = FVScrollBar->Position();
    FromSB = false;
}

void TbsSkinCustomListView::HScrollBarChange() {
    if (!FHScrollBar || !HandleAllocated())
        return;
    FromSB = true;
    const int Pos = FHScrollBar->Position();
    if (ViewStyle() == vsList) {
        const WPARAM Code = Pos < FOldHScrollBarPos ? SB_LINELEFT : SB_LINERIGHT;
        for (int I = std::abs(Pos - FOldHScrollBarPos); I > 0; --I)
            SendMessageW(FHandle, WM_HSCROLL, Code, 0);
    } else {
        SendMessageW(FHandle, LVM_SCROLL, WPARAM(Pos - FOldHScrollBarPos), 0);
    }
    FOldHScrollBarPos = Pos;
    FromSB = false;
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinCustomListView::WndProc(TMessage& Message) {
    if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE && ShowColumnHeaders()) {
        HWND Child = HWND(Message.LParam);
        char16_t Name[80] = {};
        GetClassNameW(Child, Name, 80);
        if (String(Name) == u"SysHeader32") {
            UnhookHeader();
            HookHeader(Child);
        }
    }
    TCustomListView::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
        if (!FInCheckScrollBars && Items()->Count() > 0) {
            UpDateScrollBars();
            if (ViewStyle() == vsReport && FHeaderHandle)
                InvalidateRect(FHeaderHandle, nullptr, FALSE);
        }
        break;
    case WM_PAINT:
        if (!FInCheckScrollBars)
            UpDateScrollBars();
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
        UpDateScrollBars();
        break;
    }
}

void TbsSkinCustomListView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // No frame and no native bars: the client area is the whole window.
        Message.Result = 0;
        return;
    case CM_VISIBLECHANGED:
        TCustomListView::Dispatch(Message);
        if (FVScrollBar)
            FVScrollBar->SetVisible(Visible());
        if (FHScrollBar)
            FHScrollBar->SetVisible(Visible());
        return;
    case CM_BSCHECK:
        Message.Result = BSCHECK_ANSWER;
        return;
    case CM_BSDRAWHEADER:
        if (FHeaderHandle)
            DrawHeader(HDC(Message.WParam));
        return;
    }
    TCustomListView::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// The header

void TbsSkinCustomListView::HookHeader(HWND Header) {
    FHeaderHandle = Header;
    FDefHeaderProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Header, GWLP_WNDPROC));
    FHeaderInstance = SubclassWindowProc(
        Header, [this](HWND W, UINT M, WPARAM WP, LPARAM LP) { return HeaderWndProc(W, M, WP, LP); });
}

void TbsSkinCustomListView::UnhookHeader() {
    if (FHeaderHandle && FHeaderInstance && IsWindow(FHeaderHandle))
        RemoveWindowProcLink(FHeaderHandle, FHeaderInstance);
    FHeaderHandle = nullptr;
    FHeaderInstance = nullptr;
    FDefHeaderProc = nullptr;
}

LRESULT TbsSkinCustomListView::HeaderWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_WINDOWPOSCHANGING:
        reinterpret_cast<WINDOWPOS*>(LParam)->cx += 25;
        return 0;
    case WM_PAINT:
        DrawHeader(HDC(WParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    const LRESULT Result = CallPrevWndProc(FHeaderInstance, Wnd, Msg, WParam, LParam);
    switch (Msg) {
    case WM_MOUSEMOVE:
        if (FDevDown)
            RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE);
        break;
    case WM_LBUTTONDOWN: {
        const TPoint P{short(LOWORD(LParam)), short(HIWORD(LParam))};
        FActiveSection = -1;
        const int N = ColumnCount();
        for (int I = 0; I < N; ++I)
            if (PtInRect(GetSectionRect(I), P)) {
                FActiveSection = I;
                break;
            }
        HDHITTESTINFO Hit{};
        Hit.pt = {P.X, P.Y};
        SendMessageW(Wnd, HDM_HITTEST, 0, LPARAM(&Hit));
        FDevDown = Hit.flags == HHT_ONDIVIDER;
        FHeaderDown = !FDevDown;
        InvalidateRect(Wnd, nullptr, TRUE);
        break;
    }
    case WM_LBUTTONUP:
        FHeaderDown = false;
        FDevDown = false;
        FActiveSection = -1;
        InvalidateRect(Wnd, nullptr, TRUE);
        break;
    case WM_NCDESTROY:
        // The view made its header anew or went: nothing is left to give back.
        if (Wnd == FHeaderHandle) {
            FHeaderHandle = nullptr;
            FHeaderInstance = nullptr;
            FDefHeaderProc = nullptr;
        }
        break;
    }
    return Result;
}

TRect TbsSkinCustomListView::GetSectionRect(int I) {
    RECT R{};
    if (!FHeaderHandle)
        return R;
    int Item = I;
    if (FullDrag()) {
        const int N = int(SendMessageW(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
        std::vector<int> Order(std::size_t(std::max(N, 0)));
        if (N > 0 && SendMessageW(FHeaderHandle, HDM_GETORDERARRAY, WPARAM(N), LPARAM(Order.data())) && I >= 0 && I < N)
            Item = Order[std::size_t(I)];
    }
    SendMessageW(FHeaderHandle, HDM_GETITEMRECT, WPARAM(Item), LPARAM(&R));
    return R;
}

void TbsSkinCustomListView::LoadHeaderSkin() {
    FHIndex = !FSD || FSD->Empty ? -1 : FSD->GetControlIndex(FHeaderSkinDataName);
    if (FHIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(FHIndex)).get());
    if (!Rec) {
        FHIndex = -1;
        return;
    }
    HLTPt = Rec->LTPoint;
    HRTPt = Rec->RTPoint;
    HLBPt = Rec->LBPoint;
    HRBPt = Rec->RBPoint;
    HSkinRect = Rec->SkinRect;
    HClRect = Rec->ClRect;
    HStretchEffect = Rec->StretchEffect;
    HLeftStretch = Rec->LeftStretch;
    HTopStretch = Rec->TopStretch;
    HRightStretch = Rec->RightStretch;
    HBottomStretch = Rec->BottomStretch;
    HStretchType = Rec->StretchType;
    const int PI = Rec->PictureIndex;
    HPicture = PI >= 0 && PI < int(FSD->FActivePictures.size()) ? FSD->FActivePictures[std::size_t(PI)].get() : nullptr;
    HFontColor = Rec->FontColor;
    HActiveFontColor = Rec->ActiveFontColor;
    HDownFontColor = Rec->DownFontColor;
    HActiveSkinRect = Empty(Rec->ActiveSkinRect) ? HSkinRect : Rec->ActiveSkinRect;
    HDownSkinRect = Empty(Rec->DownSkinRect) ? HActiveSkinRect : Rec->DownSkinRect;
    // A record without a picture has nothing to draw from.
    if (!HPicture)
        FHIndex = -1;
}

void TbsSkinCustomListView::DrawHeader(HDC DC) {
    PAINTSTRUCT PS{};
    const bool Begun = DC == nullptr;
    if (Begun)
        DC = BeginPaint(FHeaderHandle, &PS);
    {
        TCanvas C;
        C.SetHandle(DC);
        LoadHeaderSkin();
        const int N = int(SendMessageW(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
        std::vector<int> Order;
        if (FullDrag() && N > 0) {
            Order.resize(std::size_t(N));
            if (!SendMessageW(FHeaderHandle, HDM_GETORDERARRAY, WPARAM(N), LPARAM(Order.data())))
                Order.clear();
        }
        int MaxRight = 0;
        for (int I = 0; I < N && I < ColumnCount(); ++I) {
            const TRect R = GetSectionRect(I);
            // The rectangle of display position I belongs to the column shown there.
            const int Column = Order.empty() ? I : Order[std::size_t(I)];
            DrawHeaderSection(&C, Columns(Column), R, I == FActiveSection && FHeaderDown);
            MaxRight = std::max(MaxRight, int(R.Right));
        }
        RECT Client{};
        GetClientRect(FHeaderHandle, &Client);
        const TRect Rest = Rect(MaxRight, 0, Client.Right + 1, Client.Bottom);
        if (!Empty(Rest))
            DrawHeaderRest(&C, Rest);
        C.SetHandle(nullptr);
    }
    // Only a paint begun here is ended here; a caller's device context stays the caller's.
    if (Begun)
        EndPaint(FHeaderHandle, &PS);
}

void TbsSkinCustomListView::DrawHeaderRest(TCanvas* C, const TRect& Rest) {
    if (FHIndex == -1) {
        FrameAndFill(C, Rest, clBtnShadow, clBtnFace);
        return;
    }
    const int W = GetRectWidth(Rest);
    const int H = GetRectHeight(Rest);
    TBitmap B(W, H);
    if (!IsNull(HLBPt)) {
        const int DW = W - GetRectWidth(HSkinRect);
        const int DH = H - GetRectHeight(HSkinRect);
        DrawNinePartSkinImageOpenRight(HLTPt, HRTPt, HLBPt, HRBPt, HClRect, HLTPt, {HRTPt.X + DW, HRTPt.Y},
                                       {HLBPt.X, HLBPt.Y + DH}, {HRBPt.X + DW, HRBPt.Y + DH},
                                       Rect(HClRect.Left, HClRect.Top, HClRect.Right + DW, HClRect.Bottom + DH), &B,
                                       HPicture, HSkinRect, W, H, true, HLeftStretch, HTopStretch, HRightStretch,
                                       HBottomStretch, HStretchEffect, HStretchType);
    } else {
        TBitmap Strip;
        DrawSkinStripHOpenRight(HLTPt.X, GetRectWidth(HSkinRect) - HRTPt.X, &Strip, HPicture, HSkinRect, W, 0,
                                HStretchEffect);
        B.Canvas()->StretchDraw(Rect(0, 0, W, H), &Strip);
    }
    C->Draw(Rest.Left, Rest.Top, &B);
}

void TbsSkinCustomListView::DrawHeaderSection(TCanvas* Canvas, TListColumn* Column, const TRect& R, bool Pressed) {
    const int W = GetRectWidth(R);
    const int H = GetRectHeight(R);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    TCanvas* C = B.Canvas();
    if (FHIndex == -1) {
        if (Pressed)
            FrameAndFill(C, Rect(0, 0, W, H), clNavy, RGB(133, 147, 181));
        else
            FrameAndFill(C, Rect(0, 0, W, H), clBtnShadow, clBtnFace);
        C->Font()->Assign(Font());
        C->Font()->SetColor(clBtnText);
    } else {
        C->Font()->Assign(Font());
        const TRect& S = Pressed ? HDownSkinRect : HSkinRect;
        C->Font()->SetColor(Pressed ? HDownFontColor : HFontColor);
        if (!IsNull(HLBPt)) {
            const int DW = W - GetRectWidth(HSkinRect);
            const int DH = H - GetRectHeight(HSkinRect);
            DrawNinePartSkinImage(HLTPt, HRTPt, HLBPt, HRBPt, HClRect, HLTPt, {HRTPt.X + DW, HRTPt.Y},
                                  {HLBPt.X, HLBPt.Y + DH}, {HRBPt.X + DW, HRBPt.Y + DH},
                                  Rect(HClRect.Left, HClRect.Top, HClRect.Right + DW, HClRect.Bottom + DH), &B,
                                  HPicture, S, W, H, true, HLeftStretch, HTopStretch, HRightStretch, HBottomStretch,
                                  HStretchEffect, HStretchType);
        } else {
            TBitmap Strip;
            DrawSkinStripH(HLTPt.X, GetRectWidth(S) - HRTPt.X, &Strip, HPicture, S, W, 0, HStretchEffect);
            C->StretchDraw(Rect(0, 0, W, H), &Strip);
        }
    }
    if (OnDrawHeaderSection)
        OnDrawHeaderSection(C, Column, Pressed, Rect(0, 0, W, H));
    else
        DrawSectionContent(C, Column, W, H);
    Canvas->Draw(R.Left, R.Top, &B);
}

void TbsSkinCustomListView::DrawSectionContent(TCanvas* C, TListColumn* Column, int W, int H) {
    C->Brush()->SetStyle(bsClear);
    const TRect T = Rect(5, 0, W - 5, H);
    const int TW = GetRectWidth(T);
    String Caption = Column->Caption();
    const int Y = T.Top + GetRectHeight(T) / 2 - C->TextHeight(Caption) / 2;
    TCustomImageList* Images = SmallImages();
    const int ImageIndex = Column->ImageIndex();
    int X = T.Left;
    if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) {
        const int IW = Images->Width();
        const String Full = Caption;
        FitTextToWidth(C, Caption, TW - IW - 10);
        const int TextW = C->TextWidth(Caption);
        // A shortened caption stays at the left, whatever the column's alignment.
        if (Caption == Full) {
            if (Column->Alignment() == taRightJustify)
                X = T.Right - TextW - IW - 10;
            else if (Column->Alignment() == taCenter)
                X = T.Left + TW / 2 - (TextW + IW + 10) / 2;
        }
        Images->Draw(C, X, T.Top + GetRectHeight(T) / 2 - Images->Height() / 2, ImageIndex, true);
        X += IW + 10;
    } else {
        FitTextToWidth(C, Caption, TW);
        const int TextW = C->TextWidth(Caption);
        if (Column->Alignment() == taRightJustify)
            X = T.Right - TextW;
        else if (Column->Alignment() == taCenter)
            X = T.Left + TW / 2 - TextW / 2;
    }
    C->TextRect(T, X, Y, Caption);
}
