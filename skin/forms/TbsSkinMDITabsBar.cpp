#include "skin/forms/TbsSkinMDITabsBar.h"

#include <algorithm>

#include "platform/gdi/WinText.h"
#include "skin/core/TbsSkinData.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

constexpr int ListButtonWidth = 15;
const String ListSuffix = u"_BSFCHILDITEMBAR";
const String HideListSuffix = u"_BSFCHILDITEMBARHIDE";

bool EndsWith(const String& S, const String& Suffix) {
    return S.size() >= Suffix.size() && S.compare(S.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
}

// The tab's close button holds the bar point.
bool OnCloseButton(const TbsMDITab& T, int X, int Y) {
    const TRect& B = T.ButtonRect;
    const int PX = X - T.ObjectRect.Left, PY = Y - T.ObjectRect.Top;
    return PX >= B.Left && PX < B.Right && PY >= B.Top && PY < B.Bottom;
}

void FillRectWith(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsMDITab

const TRect& TbsMDITab::StateRect(TColor& FontColor) const {
    if (MouseIn && !Active) {
        FontColor = TabsBar->MouseInFontColor;
        return TabsBar->MouseInTabRect;
    }
    if (Active) {
        FontColor = TabsBar->ActiveFontColor;
        return TabsBar->ActiveTabRect;
    }
    FontColor = TabsBar->FontColor;
    return TabsBar->TabRect;
}

void TbsMDITab::DrawTabText(TCanvas* C, const TRect& TextRect) {
    String Text = Child->Caption();
    FitWideTextToWidth(C, Text, GetRectWidth(TextRect));
    TRect R = TextRect;
    C->Brush()->SetStyle(bsClear);
    DrawWideText(C, Text, R, TabsBar->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
}

void TbsMDITab::Draw(TCanvas* Cnvs) {
    const int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    const bool Skinned = TabsBar->FIndex != -1 && TabsBar->FPicture;
    if (TabsBar->FTabKind == bstkButton && TabsBar->FIndex != -1) {
        ButtonDraw(Cnvs);
        return;
    }
    if (Skinned && !TabsBar->FUseSkinSize) {
        ResizeDraw(Cnvs);
        return;
    }
    TBitmap B(W, H);
    TCanvas* C = B.Canvas();
    TRect TextRect;
    if (!Skinned) {
        TColor Fill = MouseIn && !Active ? TColor(0xD2BDB6) : Active ? TColor(0xB59385) : clBtnFace;
        FillRectWith(C, Rect(0, 0, W, H), Fill);
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(TabsBar->FDefaultFont.get());
        C->Font()->SetCharset(TabsBar->TextCharset());
        TextRect = Rect(2, 0, W - 2, H);
        if (TabsBar->FShowCloseButtons) {
            TextRect = Rect(2, 0, W - TabsBar->FCloseSize - 5, H);
            DrawCloseButton(C, Rect(W - TabsBar->FCloseSize - 5, 0, W, H));
        }
        if (TabsBar->OnTabGetDrawParamsEvent)
            TabsBar->OnTabGetDrawParamsEvent(this, C);
    } else {
        TColor Color;
        const TRect& S = StateRect(Color);
        DrawSkinStripH(TabsBar->TabLeftOffset, TabsBar->TabRightOffset, &B, TabsBar->FPicture, S, W, H,
                       TabsBar->TabStretchEffect);
        TabsBar->SetupTabFont(C, Color);
        TextRect = Rect(TabsBar->TabLeftOffset, 0, W - TabsBar->TabRightOffset, H);
        if (TabsBar->FShowCloseButtons) {
            TextRect = Rect(2, 0, W - TabsBar->FCloseSize - 5, H);
            DrawCloseButton(C, Rect(W - TabsBar->FCloseSize - 5, 0, W, H));
        }
    }
    DrawTabText(C, TextRect);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsMDITab::ResizeDraw(TCanvas* Cnvs) {
    const int W = GetRectWidth(ObjectRect);
    const int H = GetRectHeight(ObjectRect) + (Active ? TabsBar->FActiveTabOffset : 0);
    if (W <= 0 || H <= 0)
        return;
    TColor Color;
    const TRect& S = StateRect(Color);
    TBitmap B(W, H);
    const int Quarter = GetRectHeight(TabsBar->TabRect) / 4;
    DrawNinePartSkinImageByClientRect(
        &B, TabsBar->FPicture, S,
        Rect(TabsBar->TabLeftOffset, Quarter, GetRectWidth(S) - TabsBar->TabRightOffset, GetRectHeight(S) - Quarter),
        true);
    TCanvas* C = B.Canvas();
    TabsBar->SetupTabFont(C, Color);
    TRect TextRect = Rect(2, 0, W - 2, H);
    if (TabsBar->FShowCloseButtons) {
        TextRect = Rect(2, 2, W - TabsBar->FCloseSize - 5, H);
        DrawCloseButton(C, Rect(W - TabsBar->FCloseSize - 5, 0, W, H));
    }
    if (TabsBar->OnTabGetDrawParamsEvent)
        TabsBar->OnTabGetDrawParamsEvent(this, C);
    DrawTabText(C, TextRect);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top - (Active ? TabsBar->FActiveTabOffset : 0), &B);
}

void TbsMDITab::ButtonDraw(TCanvas* Cnvs) {
    const int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    TbsSkinData* SD = TabsBar->FSD;
    const int I = SD ? SD->GetControlIndex(u"resizebutton") : -1;
    auto* R = I == -1 ? nullptr : dynamic_cast<TbsDataSkinButtonControl*>(SD->CtrlList.at(std::size_t(I)).get());
    if (W <= 0 || H <= 0 || !R || R->PictureIndex < 0 || R->PictureIndex >= int(SD->FActivePictures.size()))
        return;
    TRect S = R->SkinRect;
    TColor Color = R->FontColor;
    if (Active) {
        S = !IsNullRect(R->DownSkinRect) ? R->DownSkinRect : !IsNullRect(R->ActiveSkinRect) ? R->ActiveSkinRect : S;
        Color = R->DownFontColor;
    } else if (MouseIn) {
        S = !IsNullRect(R->ActiveSkinRect) ? R->ActiveSkinRect : S;
        Color = R->ActiveFontColor;
    }
    const int DW = W - GetRectWidth(R->SkinRect), DH = H - GetRectHeight(R->SkinRect);
    const TRect Cl{R->ClRect.Left, R->ClRect.Top, R->ClRect.Right + DW, R->ClRect.Bottom + DH};
    TBitmap B(W, H);
    DrawNinePartSkinImage(R->LTPoint, R->RTPoint, R->LBPoint, R->RBPoint, R->ClRect, R->LTPoint,
                          TPoint{R->RTPoint.X + DW, R->RTPoint.Y}, TPoint{R->LBPoint.X, R->LBPoint.Y + DH},
                          TPoint{R->RBPoint.X + DW, R->RBPoint.Y + DH}, Cl, &B,
                          SD->FActivePictures[std::size_t(R->PictureIndex)].get(), S, W, H, true, R->LeftStretch,
                          R->TopStretch, R->RightStretch, R->BottomStretch, R->StretchEffect, R->StretchType);
    TCanvas* C = B.Canvas();
    TabsBar->SetupTabFont(C, Color);
    TRect TextRect = Cl;
    if (TabsBar->FShowCloseButtons) {
        TextRect.Right -= TabsBar->FCloseSize + 3;
        DrawCloseButton(C, Rect(TextRect.Right, 0, W, H));
    }
    const int TH = GetWideTextHeight(C, Child->Caption());
    if (GetRectHeight(TextRect) < TH) {
        TextRect.Top = H / 2 - TH / 2;
        TextRect.Bottom = TextRect.Top + TH;
    }
    if (TabsBar->OnTabGetDrawParamsEvent)
        TabsBar->OnTabGetDrawParamsEvent(this, C);
    DrawTabText(C, TextRect);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsMDITab::DrawCloseButton(TCanvas* Cnvs, const TRect& R) {
    TbsSkinMDITabsBar* Bar = TabsBar;
    const int Size = Bar->FCloseSize;
    const int Top = R.Top + GetRectHeight(R) / 2 - Size / 2;
    ButtonRect = Bounds(R.Left, Top, Size, Size);
    if (Bar->FIndex == -1) {
        DrawCloseImage(Cnvs, R.Left + 2, Top + 2, ButtonMouseIn ? clWhite : clBlack);
        return;
    }
    if (!IsNullRect(Bar->CloseButtonRect) && Bar->FPicture) {
        const TRect& S = ButtonMouseDown && ButtonMouseIn ? Bar->CloseButtonDownRect
                         : ButtonMouseIn                  ? Bar->ClosebuttonActiveRect
                                                          : Bar->CloseButtonRect;
        const int W = GetRectWidth(S), H = GetRectHeight(S);
        ButtonRect = Bounds(R.Left, R.Top + GetRectHeight(R) / 2 - H / 2, W, H);
        TBitmap B(W, H);
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Bar->FPicture->Canvas(), S);
        if (Bar->ButtonTransparent) {
            B.SetTransparent(true);
            B.SetTransparentMode(tmFixed);
            B.SetTransparentColor(Bar->ButtonTransparentColor);
        }
        Cnvs->Draw(ButtonRect.Left, ButtonRect.Top, &B);
        return;
    }
    TbsSkinData* SD = Bar->FSD;
    const int I = SD->GetControlIndex(u"resizetoolbutton");
    auto* Rec = I == -1 ? nullptr : dynamic_cast<TbsDataSkinButtonControl*>(SD->CtrlList.at(std::size_t(I)).get());
    if (!Rec || Rec->PictureIndex < 0 || Rec->PictureIndex >= int(SD->FActivePictures.size()))
        return;
    TRect S = Rec->SkinRect;
    TColor Color = Rec->FontColor;
    if (ButtonMouseDown && ButtonMouseIn && !IsNullRect(Rec->DownSkinRect)) {
        S = Rec->DownSkinRect;
        Color = Rec->DownFontColor;
    } else if (ButtonMouseIn && !IsNullRect(Rec->ActiveSkinRect)) {
        S = Rec->ActiveSkinRect;
        Color = Rec->ActiveFontColor;
    }
    TBitmap B(Size, Size);
    DrawNinePartSkinImageByClientRect(&B, SD->FActivePictures[std::size_t(Rec->PictureIndex)].get(), S, Rec->ClRect,
                                      true);
    DrawCloseImage(B.Canvas(), Size / 2 - 5, Size / 2 - 5, Color);
    Cnvs->Draw(ButtonRect.Left, ButtonRect.Top, &B);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinMDITabsBar

TbsSkinMDITabsBar::TbsSkinMDITabsBar(TComponent* AOwner) : TbsSkinControl(AOwner) {
    FSkinDataName = u"tab";
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->SetName(u"Arial");
    FDefaultFont->SetHeight(14);
    FListMenu = new TbsSkinPopupMenu(this);
    FHideListMenu = new TbsSkinPopupMenu(this);
    SetBounds(0, 0, 150, 21);
}

TbsSkinMDITabsBar::~TbsSkinMDITabsBar() {
    ObjectList.clear();
}

void TbsSkinMDITabsBar::SetShowCloseButtons(bool Value) {
    if (FShowCloseButtons == Value)
        return;
    FShowCloseButtons = Value;
    Invalidate();
}

void TbsSkinMDITabsBar::SetTabKind(TbsSkinMDITabKind Value) {
    FTabKind = Value;
    if (FIndex != -1)
        Invalidate();
}

void TbsSkinMDITabsBar::SetSkinForm(TbsSkinForm* Value) {
    if (FSkinForm)
        FSkinForm->RemoveFreeNotification(this);
    FSkinForm = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinMDITabsBar::SetDefaultHeight(int Value) {
    FDefaultHeight = Value;
    if (FIndex == -1 && Value > 0)
        SetHeight(Value);
}

void TbsSkinMDITabsBar::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinForm)
        FSkinForm = nullptr;
    if (AComponent == FListButton)
        FListButton = nullptr;
    if (AComponent == FHideListButton)
        FHideListButton = nullptr;
}

TFontCharset TbsSkinMDITabsBar::TextCharset() const {
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->CharSet();
    return FDefaultFont->Charset();
}

void TbsSkinMDITabsBar::SetupTabFont(TCanvas* C, TColor Color) {
    if (FIndex != -1 && FUseSkinFont) {
        C->Font()->SetName(FontName);
        C->Font()->SetStyle(FontStyle);
        C->Font()->SetHeight(FontHeight);
    } else {
        C->Font()->Assign(FDefaultFont.get());
    }
    C->Font()->SetCharset(TextCharset());
    C->Font()->SetColor(Color);
}

void TbsSkinMDITabsBar::GetSkinData() {
    TbsSkinControl::GetSkinData();
    FPicture = nullptr;
    FBottomOffset = 0;
    FActiveTabOffset = 0;
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinTabControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!R) {
        FIndex = -1;
        return;
    }
    if (R->PictureIndex >= 0 && R->PictureIndex < int(FSD->FActivePictures.size()))
        FPicture = FSD->FActivePictures[std::size_t(R->PictureIndex)].get();
    TabRect = R->TabRect;
    ActiveTabRect = IsNullRect(R->ActiveTabRect) ? R->TabRect : R->ActiveTabRect;
    MouseInTabRect = IsNullRect(R->MouseInTabRect) ? R->TabRect : R->MouseInTabRect;
    TabsBGRect = R->TabsBGRect;
    TabLeftOffset = R->TabLeftOffset;
    TabRightOffset = R->TabRightOffset;
    FontName = R->FontName;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
    FontColor = R->FontColor;
    ActiveFontColor = R->ActiveFontColor;
    MouseInFontColor = R->MouseInFontColor;
    UpDown = R->UpDown;
    TabStretchEffect = R->TabStretchEffect;
    CloseButtonRect = R->CloseButtonRect;
    ClosebuttonActiveRect = IsNullRect(R->CloseButtonActiveRect) ? R->CloseButtonRect : R->CloseButtonActiveRect;
    CloseButtonDownRect = IsNullRect(R->CloseButtonDownRect) ? ClosebuttonActiveRect : R->CloseButtonDownRect;
    ButtonTransparent = R->ButtonTransparent;
    ButtonTransparentColor = R->ButtonTransparentColor;
    LTPoint = R->LTPoint;
    RTPoint = R->RTPoint;
    LBPoint = R->LBPoint;
    RBPoint = R->RBPoint;
    ClRect = R->ClRect;
    SkinRect = R->SkinRect;
    LeftStretch = R->LeftStretch;
    TopStretch = R->TopStretch;
    RightStretch = R->RightStretch;
    BottomStretch = R->BottomStretch;
    StretchEffect = R->StretchEffect;
    StretchType = R->StretchType;
    FBottomOffset = ClRect.Top;
    FActiveTabOffset = GetRectHeight(ActiveTabRect) - GetRectHeight(TabRect);
}

int TbsSkinMDITabsBar::GetCloseSize() {
    if (FIndex == -1 || IsNullRect(CloseButtonRect))
        return 14;
    return GetRectWidth(CloseButtonRect);
}

void TbsSkinMDITabsBar::ChangeSkinData() {
    GetSkinData();
    FCloseSize = GetCloseSize();
    if (FIndex != -1 && FUseSkinSize)
        SetHeight(GetRectHeight(TabRect) + (FTabKind == bstkTab ? FBottomOffset : 0));
    else if (FDefaultHeight > 0)
        SetHeight(FDefaultHeight);
    for (TbsSkinMenuSpeedButton* B : {FListButton, FHideListButton})
        if (B)
            B->SetSkinData(FSD);
    FListMenu->SetSkinData(FSD);
    FHideListMenu->SetSkinData(FSD);
    Realign();
    Invalidate();
}

void TbsSkinMDITabsBar::AdjustClientRect(TRect& Rect) {
    if (FTabKind == bstkTab && FIndex != -1)
        Rect.Bottom -= FBottomOffset;
}

TbsSkinMenuSpeedButton* TbsSkinMDITabsBar::MakeListButton(TAlign Align, int ArrowType, TbsSkinPopupMenu* Menu,
                                                          bool HiddenOnly) {
    auto* B = new TbsSkinMenuSpeedButton(this);
    B->SetSkinDataName(u"resizetoolbutton");
    B->FDrawStandardArrow = true;
    B->FArrowType = ArrowType;
    B->SetAlign(Align);
    B->SetWidth(ListButtonWidth);
    B->SetSkinPopupMenu(Menu);
    B->SetSkinData(FSD);
    B->OnShowTrackMenu = [this, Menu, HiddenOnly](TObject*) {
        FillListMenu(Menu, HiddenOnly, HiddenOnly ? HideListSuffix : ListSuffix);
    };
    B->SetParent(this);
    return B;
}

// One radio item per tab (or per hidden tab), checked for the active one.
void TbsSkinMDITabsBar::FillListMenu(TbsSkinPopupMenu* Menu, bool HiddenOnly, const String& Suffix) {
    Menu->Items()->Clear();
    for (const auto& T : ObjectList) {
        if (HiddenOnly && T->Visible)
            continue;
        auto* Item = new TMenuItem(nullptr);
        Item->SetName(T->Child->Name() + Suffix);
        Item->SetCaption(T->Child->Caption());
        Item->SetRadioItem(true);
        Item->SetGroupIndex(0);
        Item->SetChecked(T->Active);
        Item->OnClick = [this](TObject* Sender) { ListItemClick(Sender); };
        Menu->Items()->Add(Item);
    }
}

// A minimized child is restored first.
void TbsSkinMDITabsBar::ShowChild(TCustomForm* Child) {
    Child->Show();
    if (TbsSkinForm* S = GetSkinForm(Child); S && S->WindowState() == wsMinimized)
        S->SetWindowState(wsNormal);
}

void TbsSkinMDITabsBar::ListItemClick(TObject* Sender) {
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!Item || !FSkinForm)
        return;
    String Name = Item->Name();
    for (const String& Suffix : {HideListSuffix, ListSuffix})
        if (EndsWith(Name, Suffix)) {
            Name.resize(Name.size() - Suffix.size());
            break;
        }
    TCustomForm* Parent = FSkinForm->Form();
    for (int I = 0; I < Parent->MDIChildCount(); ++I)
        if (TCustomForm* C = Parent->MDIChildren(I); C->Name() == Name)
            ShowChild(C);
}

void TbsSkinMDITabsBar::AddTab(TCustomForm* Child) {
    ObjectList.push_back(std::make_unique<TbsMDITab>(this, Child));
    if (!FListButton)
        FListButton = MakeListButton(alLeft, 4, FListMenu, false);
    Invalidate();
}

void TbsSkinMDITabsBar::DeleteTab(TCustomForm* Child) {
    auto It = std::find_if(ObjectList.begin(), ObjectList.end(), [Child](const auto& T) { return T->Child == Child; });
    if (It == ObjectList.end())
        return;
    const int Index = int(It - ObjectList.begin());
    if (ActiveTabIndex == Index) {
        if (OnTabMouseLeave)
            OnTabMouseLeave(It->get());
        ActiveTabIndex = OldTabIndex = -1;
    }
    if (DragIndex == Index) {
        DragIndex = -1;
        IsDrag = false;
        FDown = false;
    }
    ObjectList.erase(It);
    // The indices after the removed tab moved down by one.
    for (int* I : {&ActiveTabIndex, &OldTabIndex, &DragIndex})
        if (*I > Index)
            --*I;
    if (ObjectList.empty()) {
        delete FListButton;
        FListButton = nullptr;
    }
    Invalidate();
}

int TbsSkinMDITabsBar::GetTabIndex(int X, int Y) {
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        const TbsMDITab& T = *ObjectList[I];
        if (T.Visible && PtInRectInclusive(T.ObjectRect, TPoint{X, Y}))
            return int(I);
    }
    return -1;
}

TbsMDITab* TbsSkinMDITabsBar::GetTab(int X, int Y) {
    int I = GetTabIndex(X, Y);
    return I == -1 ? nullptr : ObjectList[std::size_t(I)].get();
}

void TbsSkinMDITabsBar::UpdateTabsActive() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    TCustomForm* A = Main ? Main->ActiveMDIChild() : nullptr;
    if (!A)
        return;
    for (const auto& T : ObjectList)
        T->Active = T->Child == A;
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Layout and painting

void TbsSkinMDITabsBar::CalcTabRects() {
    FInVisibleCount = 0;
    if (ObjectList.empty())
        return;
    const int Count = int(ObjectList.size());
    const int TH = Height() - (FTabKind == bstkTab ? FBottomOffset : 0);
    int TW = std::min((Width() - ListButtonWidth) / Count, FDefaultTabWidth);
    int Limit = Width();
    if (TW < FMinTabWidth && FMinTabWidth != 0) {
        TW = FMinTabWidth;
        const int Fit = (Width() - 2 * ListButtonWidth) / TW;
        for (int I = 0; I < Count; ++I) {
            TbsMDITab& T = *ObjectList[std::size_t(I)];
            T.Visible = I < Fit;
            T.ObjectRect = T.Visible ? Rect(15 + I * TW, 0, 15 + (I + 1) * TW, TH) : TRect{};
            if (!T.Visible)
                ++FInVisibleCount;
        }
        Limit = Width() - ListButtonWidth;
    } else {
        for (int I = 0; I < Count; ++I) {
            TbsMDITab& T = *ObjectList[std::size_t(I)];
            T.Visible = true;
            T.ObjectRect = Rect(15 + I * TW, 0, 15 + (I + 1) * TW, TH);
        }
        if (TW < FDefaultTabWidth)
            ObjectList.back()->ObjectRect.Right = Width();
    }
    if (IsDrag && DragIndex >= 0 && DragIndex < Count) {
        TRect& R = ObjectList[std::size_t(DragIndex)]->ObjectRect;
        const int W = GetRectWidth(R);
        R.Left += TabDX;
        R.Left = std::max(0, std::min(R.Left, Limit - W));
        R.Right = R.Left + W;
    }
}

void TbsSkinMDITabsBar::DrawDropMarker(TCanvas* C, int X) {
    const int H = Height();
    C->Pen()->SetMode(pmNot);
    C->Brush()->SetStyle(bsClear);
    for (int DXs : {-1, 0, 1}) {
        C->MoveTo(X + DXs, 0);
        C->LineTo(X + DXs, H);
    }
    const int M = H / 2;
    C->Polyline({TPoint{X + 2, M}, TPoint{X + 5, M - 3}, TPoint{X + 5, M + 3}, TPoint{X + 2, M}});
    C->Polyline({TPoint{X - 2, M}, TPoint{X - 5, M - 3}, TPoint{X - 5, M + 3}, TPoint{X - 2, M}});
    C->Pen()->SetMode(pmCopy);
}

void TbsSkinMDITabsBar::DrawTabs(TCanvas* C) {
    CalcTabRects();
    const bool Pressed = FDown && DragIndex != -1;
    for (std::size_t I = 0; I < ObjectList.size(); ++I)
        if (ObjectList[I]->Visible && !(Pressed && int(I) == DragIndex))
            ObjectList[I]->Draw(C);
    if (!Pressed)
        return;
    TbsMDITab& Dragged = *ObjectList[std::size_t(DragIndex)];
    Dragged.Draw(C);
    if (int Target = GetDropIndex(); Target != -1) {
        const TRect& R = ObjectList[std::size_t(Target)]->ObjectRect;
        DrawDropMarker(C, TabDX < 1 ? R.Left : R.Right);
    }
}

void TbsSkinMDITabsBar::CreateControlDefaultImage(TBitmap* B) {
    FillRectWith(B->Canvas(), Rect(0, 0, B->Width(), B->Height()), clBtnFace);
    DrawTabs(B->Canvas());
}

void TbsSkinMDITabsBar::CreateControlSkinImage(TBitmap* B) {
    TCanvas* C = B->Canvas();
    const int BandH = Height() - (FTabKind == bstkTab ? FBottomOffset : 0);
    if (FSD->MDITabsTransparent) {
        PaintParentBackground(this, C);
    } else if (FPicture && GetRectWidth(TabsBGRect) > 0 && GetRectHeight(TabsBGRect) > 0 && BandH > 0) {
        // A cell of no width would never reach the bar's end: such a background is not drawn.
        const int CellW = GetRectWidth(TabsBGRect);
        TBitmap Cell(CellW, BandH);
        Cell.Canvas()->CopyRect(Rect(0, 0, CellW, BandH), FPicture->Canvas(), TabsBGRect);
        for (int X = 0; X < Width(); X += CellW)
            C->Draw(X, 0, &Cell);
    } else {
        FillRectWith(C, Rect(0, 0, B->Width(), B->Height()), clBtnFace);
    }
    if (FTabKind == bstkTab && !IsNullRect(SkinRect) && FPicture && FBottomOffset > 0) {
        TBitmap Band;
        DrawSkinStripH(LTPoint.X, GetRectWidth(SkinRect) - RTPoint.X, &Band, FPicture,
                       Rect(SkinRect.Left, SkinRect.Top, SkinRect.Right, SkinRect.Top + ClRect.Top), Width(),
                       FBottomOffset, TopStretch);
        C->Draw(0, Height() - FBottomOffset, &Band);
    }
    DrawTabs(C);
}

void TbsSkinMDITabsBar::Paint() {
    TbsSkinControl::Paint();
    if (FInVisibleCount > 0 && !FHideListButton)
        FHideListButton = MakeListButton(alRight, 2, FHideListMenu, true);
    else if (FInVisibleCount == 0 && FHideListButton) {
        delete FHideListButton;
        FHideListButton = nullptr;
    }
}

void TbsSkinMDITabsBar::RedrawTab(TbsMDITab* Tab) {
    if (HandleAllocated() && Tab->Visible)
        Tab->Draw(Canvas());
}

// ---------------------------------------------------------------------------------------------
// Mouse

int TbsSkinMDITabsBar::GetDropIndex() {
    if (ObjectList.empty() || TabDX == 0 || DragIndex < 0 || DragIndex >= int(ObjectList.size()))
        return -1;
    const TRect& D = ObjectList[std::size_t(DragIndex)]->ObjectRect;
    auto Centre = [](const TRect& R) { return R.Left + GetRectWidth(R) / 2; };
    int Found = -1;
    if (TabDX > 0) {
        for (int I = DragIndex + 1; I < int(ObjectList.size()); ++I)
            if (ObjectList[std::size_t(I)]->Visible && Centre(ObjectList[std::size_t(I)]->ObjectRect) < D.Right)
                Found = I;
    } else {
        for (int I = DragIndex - 1; I >= 0; --I)
            if (ObjectList[std::size_t(I)]->Visible && Centre(ObjectList[std::size_t(I)]->ObjectRect) > D.Left)
                Found = I;
    }
    return Found;
}

void TbsSkinMDITabsBar::TrackTabs(int X, int Y) {
    ActiveTabIndex = GetTabIndex(X, Y);
    const bool Changed = ActiveTabIndex != OldTabIndex;
    if (Changed) {
        if (OldTabIndex >= 0 && OldTabIndex < int(ObjectList.size())) {
            TbsMDITab* Old = ObjectList[std::size_t(OldTabIndex)].get();
            if (Old->Visible) {
                Old->MouseIn = false;
                RedrawTab(Old);
                if (OnTabMouseLeave)
                    OnTabMouseLeave(Old);
            }
        }
        if (ActiveTabIndex != -1) {
            TbsMDITab* New = ObjectList[std::size_t(ActiveTabIndex)].get();
            New->MouseIn = true;
            RedrawTab(New);
            if (OnTabMouseEnter)
                OnTabMouseEnter(New);
        }
        OldTabIndex = ActiveTabIndex;
    }
    if (FShowCloseButtons && ActiveTabIndex != -1) {
        TbsMDITab* T = ObjectList[std::size_t(ActiveTabIndex)].get();
        const bool In = OnCloseButton(*T, X, Y);
        if (In != T->ButtonMouseIn) {
            T->ButtonMouseIn = In;
            if (!In)
                T->ButtonMouseDown = false;
            RedrawTab(T);
        }
    }
    if (Changed) {
        bool Any = false;
        for (std::size_t I = 0; I < ObjectList.size(); ++I) {
            TbsMDITab& T = *ObjectList[I];
            if (int(I) != ActiveTabIndex && T.ButtonMouseIn) {
                T.ButtonMouseIn = T.ButtonMouseDown = false;
                Any = true;
            }
        }
        if (Any)
            Invalidate();
    }
}

void TbsSkinMDITabsBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinControl::MouseDown(Button, Shift, X, Y);
    const int Index = GetTabIndex(X, Y);
    if (Index == -1)
        return;
    TbsMDITab* T = ObjectList[std::size_t(Index)].get();
    if (Button == mbLeft) {
        ShowChild(T->Child);
        FDown = true;
        if (FMoveTabs)
            DragIndex = Index;
        DX = X;
        TabDX = 0;
        if (OnTabMouseDown)
            OnTabMouseDown(Button, Shift, T);
        if (FShowCloseButtons) {
            const bool OnButton = OnCloseButton(*T, X, Y);
            if (OnButton)
                FDown = false;
            T->ButtonMouseIn = T->ButtonMouseDown = OnButton;
            RedrawTab(T);
        }
    } else if (Button == mbRight) {
        TbsSkinForm* ChildSkin = GetSkinForm(T->Child);
        if (FSupportChildMenus && ChildSkin && FSkinForm) {
            TPoint P = ClientToScreen(TPoint{X, Y});
            FSkinForm->SkinMenuOpen();
            FSkinForm->SkinMenu()->Popup(
                Parent(), FSkinForm->MenusSkinData() ? FSkinForm->MenusSkinData() : FSkinForm->SkinData(), 0,
                TRect{P.X, P.Y, P.X, P.Y}, ChildSkin->GetSystemMenuItems(), false);
        }
        if (OnTabMouseDown)
            OnTabMouseDown(Button, Shift, T);
    }
}

void TbsSkinMDITabsBar::MouseMove(TShiftState Shift, int X, int Y) {
    TbsSkinControl::MouseMove(Shift, X, Y);
    if (FDown && DragIndex != -1 && X != DX)
        IsDrag = true;
    if (IsDrag) {
        TabDX = X - DX;
        Invalidate();
    } else {
        TrackTabs(X, Y);
    }
}

void TbsSkinMDITabsBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinControl::MouseUp(Button, Shift, X, Y);
    FDown = false;
    if (IsDrag) {
        const int Target = GetDropIndex();
        if (Target != -1 && Target != DragIndex) {
            auto Moved = std::move(ObjectList[std::size_t(DragIndex)]);
            ObjectList.erase(ObjectList.begin() + DragIndex);
            ObjectList.insert(ObjectList.begin() + Target, std::move(Moved));
        }
        IsDrag = false;
        DragIndex = -1;
        DX = TabDX = 0;
        ActiveTabIndex = OldTabIndex = -1;
        Invalidate();
        return;
    }
    DragIndex = -1;
    TbsMDITab* T = GetTab(X, Y);
    if (T && OnTabMouseUp)
        OnTabMouseUp(Button, Shift, T);
    // The handler may have closed the child.
    T = GetTab(X, Y);
    if (!T || !FShowCloseButtons || Button != mbLeft)
        return;
    if (OnCloseButton(*T, X, Y)) {
        T->ButtonMouseIn = true;
        T->ButtonMouseDown = false;
        RedrawTab(T);
        T->Child->Close();
    } else {
        T->ButtonMouseIn = T->ButtonMouseDown = false;
        RedrawTab(T);
    }
}

void TbsSkinMDITabsBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSELEAVE:
        TbsSkinControl::Dispatch(Message);
        if (!IsDrag)
            TrackTabs(-1, -1);
        return;
    case WM_CHECKPARENTBG:
    case WM_MOVE:
        TbsSkinControl::Dispatch(Message);
        if (FIndex != -1 && FSD && FSD->MDITabsTransparent && (Message.Msg == WM_CHECKPARENTBG || Align() == alNone))
            Invalidate();
        return;
    }
    TbsSkinControl::Dispatch(Message);
}
