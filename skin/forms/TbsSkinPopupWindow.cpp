#include "skin/forms/TbsSkinPopupWindow.h"

#include <algorithm>

#include "platform/gdi/ImgList.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

constexpr UINT_PTR ScrollTimerID = 1;
constexpr int MarkerHeight = 10;

TbsDataSkinMenuItem* FirstMenuItemRecord(TbsSkinData* SD) {
    if (!SD || SD->Empty)
        return nullptr;
    for (auto& O : SD->ObjectList)
        if (auto* R = dynamic_cast<TbsDataSkinMenuItem*>(O.get()))
            return R;
    return nullptr;
}

TBitmap* ActivePictureAt(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

} // namespace

TbsSkinPopupWindow::TbsSkinPopupWindow(TComponent* AOwner, TbsSkinMenu* AParentMenu, TbsDataSkinPopupWindow* AData)
    : TCustomControl(AOwner), ParentMenu(AParentMenu) {
    SetVisible(false);
    FControlStyle += csAcceptsControls;
    MouseTimer = std::make_unique<TTimer>(nullptr);
    MouseTimer->SetEnabled(false);
    MouseTimer->SetInterval(50);
    MouseTimer->OnTimer = [this](TObject*) { MouseTimerTick(); };
    MorphTimer = std::make_unique<TTimer>(nullptr);
    MorphTimer->SetEnabled(false);
    MorphTimer->SetInterval(20);
    MorphTimer->OnTimer = [this](TObject*) { MorphTimerTick(); };
    SD = ParentMenu->SkinData;
    if (AData && AData->WindowPictureIndex != -1) {
        WindowPicture = ActivePictureAt(SD, AData->WindowPictureIndex);
        if (WindowPicture) {
            PW = AData;
            MaskPicture = ActivePictureAt(SD, AData->MaskPictureIndex);
        }
    }
}

TbsSkinPopupWindow::~TbsSkinPopupWindow() {
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    if (HandleAllocated())
        KillTimer(Handle(), ScrollTimerID);
    ItemList.clear();
    FPaintBuffer.reset();
    DestroyHandle();
    if (FRgn)
        DeleteObject(FRgn);
}

void TbsSkinPopupWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WndParent = nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
}

void TbsSkinPopupWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        PaintMenu(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_PAINT: {
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(Handle(), &PS);
        PaintMenu(DC);
        EndPaint(Handle(), &PS);
        Message.Result = 0;
        return;
    }
    case WM_TIMER:
        TCustomControl::Dispatch(Message);
        if (Message.WParam == ScrollTimerID) {
            if (ScrollCode == 1) {
                if (CanScroll(1))
                    ScrollUp(false);
                else
                    StopScroll();
            } else if (ScrollCode == 2) {
                if (CanScroll(2))
                    ScrollDown(false);
                else
                    StopScroll();
            }
        }
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        TCustomControl::Dispatch(Message);
        MouseUpAt(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)),
                  Message.Msg == WM_LBUTTONUP ? mbLeft : mbRight);
        return; // the row's command may have closed this level: nothing of the window is touched afterwards
    case CM_RELEASE:
        // A closed level is freed by its menu once this, its last message, has arrived.
        ParentMenu->FreeClosedWindow(this);
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Building, sizing, placing

void TbsSkinPopupWindow::SetupFont() {
    HandleNeeded();
    TFont* F = Canvas()->Font();
    TFont* Def = ParentMenu->DefaultMenuItemFont();
    if (Skinned() && DSMI && ParentMenu->UseSkinFont()) {
        F->SetHeight(DSMI->FontHeight);
        F->SetStyle(DSMI->FontStyle);
        F->SetName(DSMI->FontName);
    } else {
        F->Assign(Def);
    }
    TbsSkinData* MSD = ParentMenu->SkinData;
    F->SetCharset(MSD && MSD->ResourceStrData() ? MSD->ResourceStrData()->CharSet() : Def->Charset());
}

void TbsSkinPopupWindow::CreateItems(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool Two) {
    DSMI = FirstMenuItemRecord(SD);
    SetupFont();
    TMenu* Menu = AItem->GetParentMenu();
    if (Menu && Menu->AutoLineReduction() == maAutomatic)
        AItem->RethinkLines();
    ImgL = Menu ? Menu->Images() : nullptr;
    GlyphWidth = ImgL ? ImgL->Width() + 5 : 19;
    auto AddChildren = [this](TMenuItem* Parent, int From) {
        for (int I = std::max(0, From); I < Parent->Count(); ++I) {
            TMenuItem* Child = Parent->Items(I);
            if (Child->Visible())
                ItemList.push_back(std::make_unique<TbsSkinMenuItem>(this, Child, DSMI));
        }
    };
    AddChildren(AItem, StartIndex);
    if (Two && AItem2)
        AddChildren(AItem2, StartIndex - AItem->Count());
    CalcSize(Two);
    ArrangeItems();
    if (MaskPicture)
        SetMenuRegion();
}

int TbsSkinPopupWindow::NormalItemHeight() const {
    return DSMI ? RectHeight(DSMI->SkinRect) : ParentMenu->DefaultMenuItemHeight();
}

int TbsSkinPopupWindow::ItemHeight(const TbsSkinMenuItem* Item) const {
    if (DSMI)
        return Item->IsDivider() ? RectHeight(DSMI->DividerRect) : RectHeight(DSMI->SkinRect);
    return Item->IsDivider() ? 4 : ParentMenu->DefaultMenuItemHeight();
}

void TbsSkinPopupWindow::CalcSize(bool Two) {
    VisibleStartIndex = 0;
    VisibleCount = int(ItemList.size());
    Scroll = Scroll2 = false;
    int TextW = 0;
    for (auto& Row : ItemList) {
        String S = Row->MenuItem->Caption();
        if (Row->MenuItem->ShortCut() != scNone)
            S += u"  " + ShortCutToText(Row->MenuItem->ShortCut());
        TRect R{0, 0, 0, 0};
        DrawWideText(Canvas(), S, R, DT_CALCRECT);
        TextW = std::max(TextW, RectWidth(R) + 2);
    }
    int W = TextW + GlyphWidth + 19;
    int Frame = Two ? 6 : 4;
    if (Skinned()) {
        const int PW0 = WindowPicture->Width(), PH0 = WindowPicture->Height();
        W += DSMI ? DSMI->TextRct.Left + (RectWidth(DSMI->SkinRect) - DSMI->TextRct.Right) : 10;
        W += PW0 - RectWidth(PW->ItemsRect);
        Frame = PH0 - RectHeight(PW->ItemsRect);
    } else {
        W += 10;
    }
    int H = Frame;
    for (auto& Row : ItemList)
        H += ItemHeight(Row.get());
    const int Max = ParentMenu->MaxMenuItemsInWindow;
    if (Max > 0 && int(ItemList.size()) > Max) {
        H = NormalItemHeight() * Max + Frame + 2 * MarkerHeight;
        Scroll = Scroll2 = true;
    }
    const int WAH = RectHeight(ParentMenu->WorkArea);
    if (WAH > 0 && H > WAH) {
        H = WAH;
        Scroll = true;
        Scroll2 = false;
    }
    SetBounds(Left(), Top(), W, H);
    if (Skinned()) {
        const int PW0 = WindowPicture->Width(), PH0 = WindowPicture->Height();
        NewLTPoint = PW->LTPoint;
        NewRTPoint = TPoint{W - (PW0 - PW->RTPoint.X), PW->RTPoint.Y};
        NewLBPoint = TPoint{PW->LBPoint.X, H - (PH0 - PW->LBPoint.Y)};
        NewRBPoint = TPoint{W - (PW0 - PW->RBPoint.X), H - (PH0 - PW->RBPoint.Y)};
        NewItemsRect = TRect{PW->ItemsRect.Left, PW->ItemsRect.Top, W - (PW0 - PW->ItemsRect.Right),
                             H - (PH0 - PW->ItemsRect.Bottom)};
    } else {
        NewItemsRect = TRect{2, 2, W - 2, H - 2};
    }
}

void TbsSkinPopupWindow::ArrangeItems() {
    VisibleCount = 0;
    int Y = NewItemsRect.Top + (Scroll ? MarkerHeight : 0);
    const int Bottom = NewItemsRect.Bottom - (Scroll ? MarkerHeight : 0);
    for (int I = VisibleStartIndex; I < int(ItemList.size()); ++I) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(I)].get();
        int H = ItemHeight(Row);
        Row->ObjectRect = TRect{NewItemsRect.Left, Y, NewItemsRect.Right, Y + H};
        Y += H;
        if (Y > Bottom)
            break;
        Row->FVisible = true;
        ++VisibleCount;
    }
    if (Scroll)
        for (int I = 0; I < int(ItemList.size()); ++I)
            if (I < VisibleStartIndex || I >= VisibleStartIndex + VisibleCount)
                ItemList[std::size_t(I)]->FVisible = false;
}

void TbsSkinPopupWindow::SetMenuRegion() {
    HRGN Old = FRgn;
    FRgn = nullptr;
    CreateSkinRegion(FRgn, PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint, NewRTPoint,
                     NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, Width(), Height());
    // The window keeps a copy; FRgn stays this window's own.
    SetWindowRgn(Handle(), FRgn, true);
    if (Old)
        DeleteObject(Old);
}

void TbsSkinPopupWindow::CalcPopupPoint(const TRect& R, bool PopupByItem, bool PopupUp) {
    const TRect& WA = ParentMenu->WorkArea;
    const int W = Width(), H = Height();
    const int Mid = WA.Top + RectHeight(WA) / 2;
    bool Shifted = false;
    int Y;
    if (Scroll && !Scroll2) {
        Y = WA.Top;
    } else if (PopupByItem) {
        if (R.Top + H - NewItemsRect.Top <= WA.Bottom)
            Y = R.Top - NewItemsRect.Top;
        else if (R.Top < Mid)
            Y = WA.Bottom - H;
        else
            Y = std::max(WA.Top, R.Bottom - H + NewItemsRect.Top);
    } else if (PopupUp) {
        if (R.Top - H >= WA.Top) {
            Y = R.Top - H;
        } else if (R.Top < Mid) {
            if (R.Bottom + H <= WA.Bottom) {
                Y = R.Bottom;
            } else {
                Y = WA.Bottom - H;
                Shifted = true;
            }
        } else {
            Y = WA.Top;
            Shifted = true;
        }
    } else if (R.Bottom + H <= WA.Bottom) {
        Y = R.Bottom;
    } else if (R.Top < Mid) {
        Y = WA.Bottom - H;
        Shifted = true;
    } else if (R.Top - H < WA.Top) {
        Y = WA.Top;
        Shifted = true;
    } else {
        Y = R.Top - H;
    }
    int X;
    if (PopupByItem || (Scroll && !Scroll2) || Shifted)
        X = R.Right + W + 1 <= WA.Right ? R.Right + 1 : R.Left - W - 1;
    else if (R.Left + W > WA.Right)
        X = WA.Right - W;
    else if (R.Left < WA.Left)
        X = WA.Left;
    else
        X = R.Left;
    ShowX = X;
    ShowY = Y;
}

void TbsSkinPopupWindow::Show(const TRect& R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp) {
    ShowWindowAt(false, R, AItem, nullptr, StartIndex, PopupByItem, PopupUp);
}

void TbsSkinPopupWindow::Show2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                               bool PopupUp) {
    ShowWindowAt(true, R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
}

void TbsSkinPopupWindow::ShowWindowAt(bool Two, const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex,
                                      bool PopupByItem, bool PopupUp) {
    const bool Fade =
        IsWindows2000OrLater() && ParentMenu->AlphaBlend && ParentMenu->AlphaBlendAnimation && ParentMenu->First();
    if (Fade)
        Application->ProcessMessages();
    CreateItems(AItem, AItem2, StartIndex, Two);
    CalcPopupPoint(R, PopupByItem, PopupUp);
    SetBounds(ShowX, ShowY, Width(), Height());
    if (IsWindows2000OrLater() && ParentMenu->AlphaBlend) {
        LONG Ex = GetWindowLongW(Handle(), GWL_EXSTYLE);
        SetWindowLongW(Handle(), GWL_EXSTYLE, Ex | WS_EX_LAYERED);
        SetLayeredWindowAlpha(Handle(), Fade ? 0 : ParentMenu->AlphaBlendValue);
    }
    SetWindowPos(Handle(), HWND_TOPMOST, ShowX, ShowY, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FVisible = true;
    if (Fade)
        FadeIn(ParentMenu->AlphaBlendValue);
    MouseTimer->SetEnabled(true);
    HighlightFirstItem();
}

void TbsSkinPopupWindow::FadeIn(Byte Target) {
    const int Step = std::max(1, Target / 15);
    int Alpha = 0;
    DWORD Last = GetTickCount();
    // No messages run meanwhile, so nothing can free the window under the loop.
    while (Alpha < Target) {
        DWORD Now = GetTickCount();
        if (Now - Last > 5) {
            Last = Now;
            Alpha = std::min<int>(Target, Alpha + Step);
            SetLayeredWindowAlpha(Handle(), BYTE(Alpha));
        }
    }
}

void TbsSkinPopupWindow::HighlightFirstItem() {
    ActiveItem = -1;
    for (int I = 0; I < int(ItemList.size()); ++I) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(I)].get();
        if (Row->MenuItem->Enabled() && !Row->IsDivider()) {
            Row->WaitCommand = true;
            ActiveItem = I;
            Row->MouseEnter(true);
            return;
        }
    }
}

void TbsSkinPopupWindow::Hide() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    if (HandleAllocated())
        KillTimer(Handle(), ScrollTimerID);
    FVisible = false;
}

void TbsSkinPopupWindow::CloseSubLevels() {
    for (auto& Row : ItemList)
        if (Row->Down) {
            Row->Down = false;
            Row->RedrawWithEffect();
        }
    int Level = ParentMenu->IndexOfWindow(this);
    if (Level + 1 < ParentMenu->LevelCount())
        ParentMenu->CloseLevels(Level + 1);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinPopupWindow::CreateMenuImage(TBitmap& B, bool FillCentre) {
    const int W = Width(), H = Height();
    if (Skinned()) {
        DrawNinePartSkinImageAlt(PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint,
                                 NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect, &B, WindowPicture,
                                 Rect(0, 0, WindowPicture->Width(), WindowPicture->Height()), W, H, FillCentre,
                                 PW->LeftStretch, PW->TopStretch, PW->RightStretch, PW->BottomStretch,
                                 PW->StretchEffect, PW->StretchType);
        return;
    }
    B.SetSize(W, H);
    TCanvas* C = B.Canvas();
    const int Column = (ImgL ? GlyphWidth : 19) + 2;
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, Column, H));
    C->Brush()->SetColor(clWindow);
    C->FillRect(Rect(Column, 0, W, H));
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clBtnShadow);
    C->Rectangle(0, 0, W, H);
    C->Pen()->SetColor(clWindow);
    C->Rectangle(1, 1, W - 1, H - 1);
    C->Brush()->SetStyle(bsSolid);
}

void TbsSkinPopupWindow::PaintMenu(HDC DC) {
    if (!DC || Width() <= 0 || Height() <= 0)
        return;
    TBitmap B;
    CreateMenuImage(B, Scroll);
    if (Skinned() && DSMI && DSMI->InActiveTransparent) {
        if (!FPaintBuffer)
            FPaintBuffer = std::make_unique<TBitmap>();
        CreateMenuImage(*FPaintBuffer, true);
    }
    for (int I = VisibleStartIndex; I < VisibleStartIndex + VisibleCount && I < int(ItemList.size()); ++I)
        ItemList[std::size_t(I)]->Draw(B.Canvas());
    if (Scroll) {
        DrawMarker(B.Canvas(), true);
        DrawMarker(B.Canvas(), false);
        if (Skinned() && VisibleCount > 0) {
            int Last = ItemList[std::size_t(VisibleStartIndex + VisibleCount - 1)]->ObjectRect.Bottom;
            TRect Lower = MarkerRect(false);
            if (Last < Lower.Top)
                DrawMarkerBackground(B.Canvas(), TRect{Lower.Left, Last, Lower.Right, Lower.Top});
        }
    }
    TCanvas C;
    C.SetHandle(DC);
    C.Draw(0, 0, &B);
    C.SetHandle(nullptr);
}

TRect TbsSkinPopupWindow::MarkerRect(bool Upper) const {
    if (Skinned())
        return Upper ? TRect{NewItemsRect.Left, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Top + MarkerHeight}
                     : TRect{NewItemsRect.Left, NewItemsRect.Bottom - MarkerHeight, NewItemsRect.Right,
                             NewItemsRect.Bottom};
    return Upper ? TRect{3, 3, Width() - 3, 13} : TRect{3, Height() - 10, Width() - 3, Height() - 3};
}

void TbsSkinPopupWindow::DrawMarker(TCanvas* C, bool Upper) {
    TRect R = MarkerRect(Upper);
    const bool Scrolling = ScrollCode == (Upper ? 1 : 2);
    TColor Colour;
    if (Skinned()) {
        DrawMarkerBackground(C, R);
        Colour = Scrolling ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor;
    } else {
        Colour = Scrolling ? clBtnText : clBtnShadow;
    }
    DrawArrowImage(C, R, Colour, Upper ? 3 : 4);
}

void TbsSkinPopupWindow::DrawMarkerBackground(TCanvas* C, const TRect& R) {
    if (!SD || RectWidth(R) <= 0 || RectHeight(R) <= 0)
        return;
    int Index = SD->GetIndex(u"menuitem");
    if (Index < 0)
        Index = SD->GetIndex(u"MENUITEM");
    if (Index < 0)
        return;
    auto* MI = dynamic_cast<TbsDataSkinMenuItem*>(SD->ObjectList[std::size_t(Index)].get());
    if (!MI)
        return;
    if (DSMI && DSMI->InActiveTransparent && FPaintBuffer) {
        C->CopyRect(R, FPaintBuffer->Canvas(), R);
        return;
    }
    TBitmap* Picture = ActivePictureAt(SD, MI->ActivePictureIndex);
    if (!Picture || IsNullRect(MI->SkinRect))
        return;
    TBitmap Strip;
    DrawSkinStripH(MI->ItemLO, MI->ItemRO, &Strip, Picture, MI->SkinRect, RectWidth(R), RectHeight(R),
                   MI->InActiveStretchEffect);
    C->StretchDraw(R, &Strip);
}

void TbsSkinPopupWindow::RedrawMarkers() {
    if (!HandleAllocated())
        return;
    DrawMarker(Canvas(), true);
    DrawMarker(Canvas(), false);
}

// ---------------------------------------------------------------------------------------------
// Scrolling

bool TbsSkinPopupWindow::CanScroll(int Code) const {
    if (Code == 1)
        return VisibleStartIndex > 0;
    return VisibleStartIndex + VisibleCount - 1 < int(ItemList.size()) - 1;
}

int TbsSkinPopupWindow::GetLastPageStartIndex() const {
    int Space = NewItemsRect.Bottom - MarkerHeight, Counted = 0;
    for (int I = int(ItemList.size()) - 1; I >= 0; --I) {
        Space -= ItemHeight(ItemList[std::size_t(I)].get());
        if (Space < MarkerHeight)
            break;
        ++Counted;
    }
    return int(ItemList.size()) - Counted;
}

void TbsSkinPopupWindow::ScrollUp(bool Cycle) {
    if (VisibleStartIndex > 0)
        --VisibleStartIndex;
    else if (Cycle)
        VisibleStartIndex = GetLastPageStartIndex();
    else
        return;
    ArrangeItems();
    Invalidate();
}

void TbsSkinPopupWindow::ScrollDown(bool Cycle) {
    if (CanScroll(2))
        ++VisibleStartIndex;
    else if (Cycle)
        VisibleStartIndex = 0;
    else
        return;
    ArrangeItems();
    Invalidate();
}

void TbsSkinPopupWindow::StartScrollTimer() {
    int Level = ParentMenu->IndexOfWindow(this);
    if (Level + 1 < ParentMenu->LevelCount())
        ParentMenu->CloseLevels(Level + 1);
    KillTimer(Handle(), ScrollTimerID);
    SetTimer(Handle(), ScrollTimerID, 100, nullptr);
}

void TbsSkinPopupWindow::StopScroll() {
    ScrollCode = 0;
    RedrawMarkers();
    KillTimer(Handle(), ScrollTimerID);
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TbsSkinPopupWindow::MouseTimerTick() {
    POINT P;
    GetCursorPos(&P);
    POINT C = P;
    ::ScreenToClient(Handle(), &C);
    if (C.X == OMX && C.Y == OMY)
        return;
    if (WindowFromPoint(P) == Handle()) {
        TrackMouse(C.X, C.Y);
    } else if (Scroll && ScrollCode != 0) {
        ScrollCode = 0;
        KillTimer(Handle(), ScrollTimerID);
        RedrawMarkers();
    }
    OMX = C.X;
    OMY = C.Y;
}

bool TbsSkinPopupWindow::IsPointOnItem(int X, int Y) const {
    for (auto& Row : ItemList)
        if (Row->FVisible && PtInRect(Row->ObjectRect, TPoint{X, Y}))
            return true;
    return false;
}

void TbsSkinPopupWindow::TrackMouse(int X, int Y) {
    if (Scroll) {
        const TPoint P{X, Y};
        if (PtInRect(MarkerRect(true), P)) {
            if (ScrollCode == 0 && CanScroll(1)) {
                ScrollCode = 1;
                RedrawMarkers();
                StartScrollTimer();
            }
        } else if (PtInRect(MarkerRect(false), P)) {
            if (ScrollCode == 0 && CanScroll(2)) {
                ScrollCode = 2;
                RedrawMarkers();
                StartScrollTimer();
            }
        } else if (ScrollCode != 0) {
            StopScroll();
        }
    }
    if (ItemList.empty())
        return;
    OldActiveItem = ActiveItem;
    for (int I = 0; I < int(ItemList.size()); ++I) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(I)].get();
        if (Row->FVisible && PtInRect(Row->ObjectRect, TPoint{X, Y})) {
            ActiveItem = I;
            break;
        }
    }
    if (ActiveItem >= int(ItemList.size()))
        ActiveItem = -1;
    if (OldActiveItem >= int(ItemList.size()))
        OldActiveItem = -1;
    if (ActiveItem == OldActiveItem) {
        if (ActiveItem >= 0) {
            TbsSkinMenuItem* Row = ItemList[std::size_t(ActiveItem)].get();
            if (Row->WaitCommand) {
                Row->WaitCommand = false;
                if (Row->MenuItem->Count() > 0)
                    Row->MouseEnter(false);
            }
        }
        return;
    }
    auto Usable = [](TbsSkinMenuItem* Row) { return Row->MenuItem->Enabled() && !Row->IsDivider(); };
    if (OldActiveItem >= 0 && Usable(ItemList[std::size_t(OldActiveItem)].get()))
        ItemList[std::size_t(OldActiveItem)]->MouseLeave();
    if (ActiveItem >= 0 && Usable(ItemList[std::size_t(ActiveItem)].get()))
        ItemList[std::size_t(ActiveItem)]->MouseEnter(false);
}

void TbsSkinPopupWindow::MouseUpAt(int X, int Y, TMouseButton Button) {
    TrackMouse(X, Y);
    if (Button != mbLeft || ActiveItem < 0 || ActiveItem >= int(ItemList.size()) || !IsPointOnItem(X, Y))
        return;
    TbsSkinMenuItem* Row = ItemList[std::size_t(ActiveItem)].get();
    if (!Row->IsDivider())
        Row->MouseDown(X, Y);
}

void TbsSkinPopupWindow::MorphTimerTick() {
    bool Changed = false;
    if (Skinned() || SD)
        for (auto& Row : ItemList) {
            if (Row->EnableMorphing() && Row->CanMorphing()) {
                Row->DoMorphing();
                Changed = true;
            } else if (Row->EnableAnimation()) {
                const bool Hot = Row->Active || Row->Down;
                if (Hot && Row->CurrentFrame <= Row->MI->FrameCount) {
                    ++Row->CurrentFrame;
                    Row->Draw(Canvas());
                    Changed = true;
                } else if (!Hot && Row->CurrentFrame > 0) {
                    --Row->CurrentFrame;
                    Row->Draw(Canvas());
                    Changed = true;
                }
            }
        }
    if (!Changed)
        MorphTimer->SetEnabled(false);
}

int TbsSkinPopupWindow::FindAccelItem(int CharCode) const {
    if (!Enabled())
        return -1;
    for (int I = 0; I < int(ItemList.size()); ++I)
        if (IsAccel(Word(CharCode), ItemList[std::size_t(I)]->MenuItem->Caption()))
            return I;
    return -1;
}

void TbsSkinPopupWindow::ChangeActiveItem(int NewItem) {
    if (NewItem == ActiveItem)
        return;
    int Old = ActiveItem;
    ActiveItem = NewItem;
    ItemList[std::size_t(NewItem)]->MouseEnter(true);
    if (Old >= 0 && Old < int(ItemList.size()))
        ItemList[std::size_t(Old)]->MouseLeave();
}

void TbsSkinPopupWindow::SelectPriorItem() {
    const int N = int(ItemList.size());
    if (N == 0)
        return;
    if (ScrollCode == 0 && ActiveItem == VisibleStartIndex && ActiveItem >= 0)
        ScrollUp(true);
    int I = ActiveItem - 1;
    if (ActiveItem < 0 || I < 0)
        I = N - 1;
    for (; I >= 0; --I) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(I)].get();
        if (Row->MenuItem->Enabled() && !Row->IsDivider()) {
            while (Scroll && (I < VisibleStartIndex || I >= VisibleStartIndex + VisibleCount))
                I < VisibleStartIndex ? ScrollUp(true) : ScrollDown(true);
            ChangeActiveItem(I);
            return;
        }
        if (I == VisibleStartIndex && Scroll)
            ScrollUp(true);
    }
}

void TbsSkinPopupWindow::SelectNextItem() {
    const int N = int(ItemList.size());
    if (N == 0)
        return;
    if (ScrollCode == 0 && ActiveItem >= 0 && ActiveItem == VisibleStartIndex + VisibleCount - 1)
        ScrollDown(true);
    int I = ActiveItem + 1;
    if (ActiveItem < 0 || I >= N)
        I = 0;
    for (; I < N; ++I) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(I)].get();
        if (Row->MenuItem->Enabled() && !Row->IsDivider()) {
            while (Scroll && (I < VisibleStartIndex || I >= VisibleStartIndex + VisibleCount))
                I < VisibleStartIndex ? ScrollUp(true) : ScrollDown(true);
            ChangeActiveItem(I);
            return;
        }
        if (I == VisibleStartIndex + VisibleCount - 1 && Scroll)
            ScrollDown(true);
    }
}

void TbsSkinPopupWindow::PopupKeyDown(int CharCode) {
    if (!FVisible)
        return;
    int Accel = FindAccelItem(CharCode);
    if (Accel >= 0) {
        TbsSkinMenuItem* Row = ItemList[std::size_t(Accel)].get();
        int Old = ActiveItem;
        Row->MouseEnter(false);
        ActiveItem = Accel;
        if (Old >= 0 && Old != Accel && Old < int(ItemList.size()))
            ItemList[std::size_t(Old)]->MouseLeave();
        Row->MouseDown(0, 0);
        return;
    }
    const bool Valid = ActiveItem >= 0 && ActiveItem < int(ItemList.size());
    switch (CharCode) {
    case VK_RETURN:
        if (Valid)
            ItemList[std::size_t(ActiveItem)]->MouseDown(0, 0);
        return;
    case VK_ESCAPE:
    case VK_LEFT: {
        const int Level = ParentMenu->IndexOfWindow(this);
        if (ParentMenu->LevelCount() >= 2 && Level >= 1) {
            TbsSkinPopupWindow* Above = ParentMenu->Levels(Level - 1);
            for (auto& Row : Above->ItemList)
                if (Row->Down) {
                    Row->Down = false;
                    Row->RedrawWithEffect();
                }
            ParentMenu->CloseLevels(Level);
        } else if (CharCode == VK_ESCAPE) {
            ParentMenu->CloseLevels(0);
        }
        return;
    }
    case VK_UP:
        SelectPriorItem();
        return;
    case VK_RIGHT:
        if (Valid && ItemList[std::size_t(ActiveItem)]->MenuItem->Count() > 0)
            ItemList[std::size_t(ActiveItem)]->MouseDown(0, 0);
        return;
    case VK_DOWN:
        SelectNextItem();
        return;
    }
}
