// Painting of the skinned page control: the frame, the tab strip, each tab turned or flipped for its side with
// its image, caption and close button, and the page area's background.
#include "skin/controls/TbsSkinPageControl.h"

#include "skin/controls/bsSkinCtrlsButtons.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

TRect MovedBy(TRect R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return R;
}

// The default look's tab and button colours.
const TColor HotFill = TColor(RGB(182, 189, 210));
const TColor DownFill = TColor(RGB(133, 147, 181));

// Lays image and caption side by side, centred in a W x H tab, both moved down by Shift.
void DrawTabImageAndText(TCanvas* C, int W, int H, const String& Caption, TCustomImageList* Images, int Index,
                         bool Enabled, int Shift) {
    const TSize Extent = C->TextExtent(Caption.empty() ? String(u"W") : Caption);
    const int TW = Caption.empty() ? 0 : Extent.cx + 2;
    const int TH = Extent.cy;
    const int X = W / 2 - (TW + Images->Width() + 2) / 2;
    const int Y = H / 2 - Images->Height() / 2 + Shift;
    TRect TR = Bounds(X + Images->Width() + 2, H / 2 - TH / 2 + Shift, TW, TH);
    DrawWideText(C, Caption, TR, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    Images->Draw(C, X, Y, Index, Enabled);
}

} // namespace

void TbsSkinPageControl::PaintWindow(HDC DC) {
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    const int Saved = SaveDC(DC);
    // The class library gives the tab control a canvas on the control itself.
    static_cast<TControlCanvas*>(Canvas())->PaintOn(DC, [this] {
        if (FIndex == -1)
            DrawDefaultFrame(Canvas());
        else
            DrawSkinFrame(Canvas());
        DrawTabs(Canvas());
    });
    RestoreDC(DC, Saved);
}

// ---- frame ----

TRect TbsSkinPageControl::FrameRect() {
    const TRect D = DisplayRect();
    return Rect(D.Left - ClRect.Left, D.Top - ClRect.Top, D.Right + GetRectWidth(SkinRect) - ClRect.Right,
                D.Bottom + GetRectHeight(SkinRect) - ClRect.Bottom);
}

TRect TbsSkinPageControl::GetActiveTabFrameRect() {
    const int Tab = TabIndex();
    if (Tab < 0 || Tab >= int(Perform(TCM_GETITEMCOUNT, 0, 0)) || !ActivePage())
        return TRect();
    TRect R = GetTabRect(Tab);
    const int D = GetRectHeight(ActiveTabRect) - GetRectHeight(TabRect);
    switch (TabPosition()) {
    case tpTop:
        R.Bottom += D;
        break;
    case tpBottom:
        R.Top -= D;
        break;
    case tpLeft:
        R.Right += D;
        break;
    case tpRight:
        R.Left -= D;
        break;
    }
    return R;
}

void TbsSkinPageControl::DrawDefaultFrame(TCanvas* C) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(ClientRect());
    if (FHideBorder)
        return;
    TRect R = DisplayRect();
    R = Rect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(R);
}

void TbsSkinPageControl::DrawSkinFrame(TCanvas* C) {
    if (FHideBorder || !Picture)
        return;
    const TRect FR = FrameRect();
    const int DX = GetRectWidth(FR) - GetRectWidth(SkinRect);
    const int DY = GetRectHeight(FR) - GetRectHeight(SkinRect);
    const TPoint NewRT{RTPoint.X + DX, RTPoint.Y};
    const TPoint NewLB{LBPoint.X, LBPoint.Y + DY};
    const TPoint NewRB{RBPoint.X + DX, RBPoint.Y + DY};
    const TRect NewCl = Rect(ClRect.Left, ClRect.Top, ClRect.Right + DX, ClRect.Bottom + DY);
    TBitmap L, T, R, B;
    CreateSkinBorderImages(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, LTPoint, NewRT, NewLB, NewRB, NewCl, &L, &T, &R,
                           &B, Picture, SkinRect, GetRectWidth(FR), GetRectHeight(FR), LeftStretch, TopStretch,
                           RightStretch, BottomStretch);
    const HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    const TRect A = GetActiveTabFrameRect();
    if (!IsNullRect(A) && !FHideTabs)
        ExcludeClipRect(DC, A.Left, A.Top, A.Right, A.Bottom);
    C->Draw(FR.Left, FR.Top, &T);
    C->Draw(FR.Left, FR.Top + T.Height(), &L);
    C->Draw(FR.Right - R.Width(), FR.Top + T.Height(), &R);
    C->Draw(FR.Left, FR.Bottom - B.Height(), &B);
    RestoreDC(DC, Saved);
}

// ---- tab strip ----

void TbsSkinPageControl::DrawTabs(TCanvas* Cnvs) {
    if (FHideTabs || PageCount() == 0)
        return;
    const int Selected = TabIndex();
    if (FIndex == -1) {
        int Visible = 0;
        for (int I = 0; I < PageCount(); ++I) {
            if (!Pages(I)->TabVisible())
                continue;
            DrawSkinTab(I, GetTabRect(Visible), Visible == Selected, Visible == FActiveTabIndex, Cnvs);
            ++Visible;
        }
        return;
    }
    GetSkinData();
    const TRect FR = FrameRect();
    const TTabPosition Pos = TabPosition();
    TRect StripR;
    switch (Pos) {
    case tpTop:
        StripR = Rect(0, 0, Width(), FR.Top);
        break;
    case tpBottom:
        StripR = Rect(0, FR.Bottom, Width(), Height());
        break;
    case tpLeft:
        StripR = Rect(0, 0, FR.Left, Height());
        break;
    case tpRight:
        StripR = Rect(FR.Right, 0, Width(), Height());
        break;
    }
    if (IsNullRect(TabsBGRect))
        TabsBGRect = MovedBy(ClRect, SkinRect.Left, SkinRect.Top);
    const int SW = GetRectWidth(StripR), SH = GetRectHeight(StripR);
    int SelectedPage = -1;
    if (SW > 0 && SH > 0) {
        TBitmap Strip(SW, SH);
        if (FTabsBGTransparent) {
            TRect Area = StripR;
            if (Pos == tpLeft)
                Area.Bottom = FR.Bottom;
            PaintParentBackgroundRect(this, Area, Strip.Canvas());
        } else {
            const int TW = GetRectWidth(TabsBGRect), TH = GetRectHeight(TabsBGRect);
            if (Picture && TW > 0 && TH > 0)
                for (int Row = 0; Row <= SH / TH; ++Row)
                    for (int Col = 0; Col <= SW / TW; ++Col)
                        Strip.Canvas()->CopyRect(Bounds(Col * TW, Row * TH, TW, TH), Picture->Canvas(), TabsBGRect);
        }
        int Visible = 0;
        for (int I = 0; I < PageCount(); ++I) {
            if (!Pages(I)->TabVisible())
                continue;
            if (Visible == Selected)
                SelectedPage = I;
            else
                DrawSkinTab(I, MovedBy(GetTabRect(Visible), -StripR.Left, -StripR.Top), false,
                            Visible == FActiveTabIndex, Strip.Canvas());
            ++Visible;
        }
        const HDC DC = Cnvs->Handle();
        const int Saved = SaveDC(DC);
        const TRect A = GetActiveTabFrameRect();
        if (!IsNullRect(A))
            ExcludeClipRect(DC, A.Left, A.Top, A.Right, A.Bottom);
        Cnvs->Draw(StripR.Left, StripR.Top, &Strip);
        RestoreDC(DC, Saved);
    }
    if (SelectedPage < 0)
        return;
    TRect R = GetTabRect(Selected);
    const int D = GetRectHeight(ActiveTabRect) - GetRectHeight(TabRect);
    if (Pos == tpBottom)
        R = MovedBy(R, 0, -D);
    else if (Pos == tpRight)
        R = MovedBy(R, -D, 0);
    DrawSkinTab(SelectedPage, R, true, Selected == FActiveTabIndex, Cnvs);
}

// ---- one tab ----

void TbsSkinPageControl::SetTabFont(TCanvas* C, bool AActive, bool AMouseIn) {
    C->Brush()->SetStyle(bsClear);
    if (FIndex == -1 || !FUseSkinFont) {
        C->Font()->Assign(Font());
    } else {
        C->Font()->SetName(FontName);
        C->Font()->SetStyle(FontStyle);
        C->Font()->SetHeight(FontHeight);
    }
    if (FIndex == -1)
        return;
    const bool Focus = AActive && Focused();
    C->Font()->SetColor(AMouseIn && !AActive ? MouseInFontColor
                        : Focus              ? FocusFontColor
                        : !AActive           ? FontColor
                                             : ActiveFontColor);
}

void TbsSkinPageControl::DrawTabBackground(TBitmap* B, int, bool AActive, bool AMouseIn) {
    const TRect All = Rect(0, 0, B->Width(), B->Height());
    if (FIndex == -1) {
        if (AMouseIn && !AActive)
            ::DrawDefaultFrame(B->Canvas(), All, HotFill, HotFill);
        else if (AActive && Focused())
            ::DrawDefaultFrame(B->Canvas(), All, clNavy, DownFill);
        else if (AActive)
            ::DrawDefaultFrame(B->Canvas(), All, clNavy, HotFill);
        else
            ::DrawDefaultFrame(B->Canvas(), All, clBtnFace, clBtnFace);
        return;
    }
    const bool Focus = AActive && Focused();
    const TRect& S = AMouseIn && !AActive && !IsNullRect(MouseInTabRect) ? MouseInTabRect
                     : Focus                                             ? FocusTabRect
                     : !AActive                                          ? TabRect
                                                                         : ActiveTabRect;
    if (TabHeight() > 0) {
        if (AActive) {
            const int Grow = GetRectHeight(ActiveTabRect) - GetRectHeight(TabRect);
            const int FocusGrow = GetRectHeight(FocusTabRect) - GetRectHeight(TabRect);
            if (Grow > 0)
                B->SetHeight(B->Height() + Grow);
            else if (Focus && FocusGrow > 0)
                B->SetHeight(B->Height() + FocusGrow);
        }
        const int Q = GetRectHeight(TabRect) / 4;
        if (Picture)
            DrawNinePartSkinImageByClientRect(
                B, Picture, S, Rect(TabLeftOffset, Q, GetRectWidth(S) - TabRightOffset, GetRectHeight(S) - Q), true);
    } else if (Picture) {
        DrawSkinStripH(TabLeftOffset, TabRightOffset, B, Picture, S, B->Width(), B->Height(), TabStretchEffect);
    }
    if (TabPosition() == tpBottom)
        FlipVertBitmap(B);
}

void TbsSkinPageControl::DrawSkinTab(int TI, const TRect& Rct, bool AActive, bool AMouseIn, TCanvas* Cnvs) {
    if (FHideTabs || TI < 0 || TI >= PageCount())
        return;
    const TTabPosition Pos = TabPosition();
    const bool Side = Pos == tpLeft || Pos == tpRight;
    const int W = Side ? GetRectHeight(Rct) : GetRectWidth(Rct);
    const int H = Side ? GetRectWidth(Rct) : GetRectHeight(Rct);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    DrawTabBackground(&B, TI, AActive, AMouseIn);
    if (Side && FTextInHorizontal) {
        if (Pos == tpLeft)
            Rotate90_1Bitmap(&B);
        else
            Rotate90_2Bitmap(&B);
    }
    TRect T = Rect(0, 0, B.Width(), B.Height());
    SetTabFont(B.Canvas(), AActive, AMouseIn);
    if (FIndex != -1 && ShowFocus && Focused() && AActive)
        DrawSkinFocusRect(B.Canvas(), Rect(T.Left + FocusOffsetX, T.Top + FocusOffsetY, T.Right - FocusOffsetX,
                                           T.Bottom - FocusOffsetY));
    int Shift = 0;
    if (FIndex != -1 && GetRectHeight(TabRect) != GetRectHeight(ActiveTabRect) && !AActive)
        Shift = Pos == tpTop || Pos == tpLeft ? 2 : -2;
    T.Top += Shift;
    TTabSheet* Page = Pages(TI);
    const bool HasImage = FImages && Page->ImageIndex() >= 0 && Page->ImageIndex() < FImages->Count();
    const int ImageShift = HasImage ? Shift : 0;
    DrawTabContent(&B, T, TI, AActive, AMouseIn, ImageShift);
    if (FShowCloseButtons) {
        if (auto* Sheet = SkinSheet(TI); Sheet && !AMouseIn)
            Sheet->ButtonMouseIn = false;
        DrawCloseButton(B.Canvas(), Rect(T.Right, T.Top + ImageShift, B.Width(), T.Bottom), TI, B.Width(), B.Height());
    }
    if (Pos == tpLeft && !FTextInHorizontal)
        DrawRotated90_1(Cnvs, &B, Rct.Left, Rct.Top);
    else if (Pos == tpRight && !FTextInHorizontal)
        DrawRotated90_2(Cnvs, &B, Rct.Left, Rct.Top);
    else
        Cnvs->Draw(Rct.Left, Rct.Top, &B);
}

void TbsSkinPageControl::DrawTabContent(TBitmap* B, TRect& T, int TI, bool AActive, bool AMouseIn, int Shift) {
    TTabSheet* Page = Pages(TI);
    TCanvas* C = B->Canvas();
    const int Close = FShowCloseButtons ? FCloseSize + 2 : 0;
    const int Cut = FIndex == -1 ? Close : Close + 3;
    if (OnDrawSkinTab) {
        OnDrawSkinTab(TI, Rect(0, 0, B->Width(), B->Height()), AActive, AMouseIn, C);
        return;
    }
    const bool HasImage = FImages && Page->ImageIndex() >= 0 && Page->ImageIndex() < FImages->Count();
    if (HasImage || FTabExtendedDraw) {
        if (FTabExtendedDraw) {
            TRect T2 = T;
            T2.Right -= Close;
            DrawImageAndText(C, T2, FTabMargin, FTabSpacing, FTabLayout, Page->Caption(), Page->ImageIndex(),
                             HasImage ? FImages : nullptr, false, Page->Enabled(), false, 0);
        } else {
            DrawTabImageAndText(C, B->Width() - Close, B->Height(), Page->Caption(), FImages, Page->ImageIndex(),
                                Page->Enabled(), Shift);
        }
        if (Close > 0)
            T.Right -= Cut;
        return;
    }
    if (Close > 0)
        T.Right -= Cut;
    TRect TextR = T;
    DrawWideText(C, Page->Caption(), TextR, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TbsSkinPageControl::DrawCloseButton(TCanvas* C, const TRect& R, int TI, int BW, int BH) {
    TbsSkinCustomTabSheet* Sheet = SkinSheet(TI);
    const bool In = Sheet && Sheet->ButtonMouseIn;
    const bool Down = Sheet && Sheet->ButtonMouseDown;
    const int MidY = R.Top + GetRectHeight(R) / 2;
    TRect Box;
    if (FIndex == -1) {
        Box = Bounds(R.Left, MidY - 7, 14, 14);
        DrawCloseImage(C, Box.Left + 2, Box.Top + 2, In ? clWhite : clBlack);
    } else if (!IsNullRect(CloseButtonRect)) {
        const TRect& S = Down && In ? CloseButtonDownRect : In ? ClosebuttonActiveRect : CloseButtonRect;
        Box = Bounds(R.Left, MidY - GetRectHeight(S) / 2, GetRectWidth(S), GetRectHeight(S));
        if (Picture) {
            TBitmap Face(GetRectWidth(S), GetRectHeight(S));
            Face.Canvas()->CopyRect(Rect(0, 0, Face.Width(), Face.Height()), Picture->Canvas(), S);
            if (ButtonTransparent) {
                Face.SetTransparentColor(ButtonTransparentColor);
                Face.SetTransparent(true);
            }
            C->Draw(Box.Left, Box.Top, &Face);
        }
    } else {
        const int Index = FSD ? FSD->GetControlIndex(u"resizetoolbutton") : -1;
        auto* Rec =
            Index == -1 ? nullptr : dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(Index)).get());
        if (!Rec) {
            if (Sheet)
                Sheet->ButtonRect = TRect();
            return;
        }
        TBitmap Face(FCloseSize, FCloseSize);
        const TColor Color = DrawResizedButtonFace(FSD, *Rec, In, Down && In, &Face);
        DrawCloseImage(Face.Canvas(), Face.Width() / 2 - 5, Face.Height() / 2 - 5, Color);
        Box = Bounds(R.Left, MidY - FCloseSize / 2, FCloseSize, FCloseSize);
        C->Draw(Box.Left, Box.Top, &Face);
    }
    if (!Sheet)
        return;
    if (TabPosition() == tpLeft && !FTextInHorizontal)
        Sheet->ButtonRect = Rect(Box.Top, BW - Box.Right, Box.Bottom, BW - Box.Left);
    else if (TabPosition() == tpRight && !FTextInHorizontal)
        Sheet->ButtonRect = Rect(BH - Box.Bottom, Box.Left, BH - Box.Top, Box.Right);
    else
        Sheet->ButtonRect = Box;
}

// ---- page area ----

void TbsSkinPageControl::WMEraseBkgnd(TMessage& Message) {
    if (PageCount() > 0 && Perform(TCM_GETITEMCOUNT, 0, 0) > 0) {
        // The pages cover the area.
        Message.Result = 1;
        return;
    }
    GetSkinData();
    if (FIndex == -1) {
        TPageControl::Dispatch(Message);
        return;
    }
    PaintClientBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
}

void TbsSkinPageControl::PaintClientBackground(HDC DC) {
    if (!DC)
        return;
    TBitmap* Source = nullptr;
    TBitmap Part;
    if (BGPictureIndex != -1) {
        if (FSD && BGPictureIndex >= 0 && BGPictureIndex < int(FSD->FActivePictures.size()))
            Source = FSD->FActivePictures[std::size_t(BGPictureIndex)].get();
    } else if (Picture && GetRectWidth(ClRect) > 0 && GetRectHeight(ClRect) > 0) {
        Part.SetSize(GetRectWidth(ClRect), GetRectHeight(ClRect));
        Part.Canvas()->CopyRect(Rect(0, 0, Part.Width(), Part.Height()), Picture->Canvas(),
                                MovedBy(ClRect, SkinRect.Left, SkinRect.Top));
        Source = &Part;
    }
    if (Source)
        DrawPictureOver(DC, Source, Width(), Height(), Width(), Height());
}

// Stretched by the skin's rule over StretchW x StretchH, or tiled over TileW x TileH, from (0, 0).
void TbsSkinPageControl::DrawPictureOver(HDC DC, TBitmap* Source, int StretchW, int StretchH, int TileW, int TileH) {
    const int SW = Source->Width(), SH = Source->Height();
    if (SW <= 0 || SH <= 0)
        return;
    const HDC Src = Source->Canvas()->Handle();
    if (StretchEffect) {
        if (StretchW <= 0 || StretchH <= 0)
            return;
        switch (StretchType) {
        case bsstFull:
            StretchBlt(DC, 0, 0, StretchW, StretchH, Src, 0, 0, SW, SH, SRCCOPY);
            break;
        case bsstHorz:
            for (int X = 0; X < StretchW; X += SW)
                StretchBlt(DC, X, 0, SW, StretchH, Src, 0, 0, SW, SH, SRCCOPY);
            break;
        case bsstVert:
            for (int Y = 0; Y < StretchH; Y += SH)
                StretchBlt(DC, 0, Y, StretchW, SH, Src, 0, 0, SW, SH, SRCCOPY);
            break;
        }
        return;
    }
    for (int Row = 0; Row <= TileH / SH; ++Row)
        for (int Col = 0; Col <= TileW / SW; ++Col)
            BitBlt(DC, Col * SW, Row * SH, SW, SH, Src, 0, 0, SRCCOPY);
}
