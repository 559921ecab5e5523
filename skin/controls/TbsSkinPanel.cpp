#include "skin/controls/TbsSkinPanel.h"

#include <algorithm>

#include "platform/gdi/WinText.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/core/TbsSkinData.h"

namespace {

bool HasArea(const TRect& R) {
    return R.Right - R.Left > 0 && R.Bottom - R.Top > 0;
}

// Part Src of Picture into Dest as a picture of its own, its bottom-left pixel transparent.
void DrawKeyed(TCanvas* Dest, int X, int Y, TBitmap* Picture, const TRect& Src) {
    if (!Picture || !HasArea(Src))
        return;
    TBitmap Part(GetRectWidth(Src), GetRectHeight(Src));
    Part.Canvas()->CopyRect(Rect(0, 0, Part.Width(), Part.Height()), Picture->Canvas(), Src);
    Part.SetTransparentMode(tmAuto);
    Part.SetTransparent(true);
    Dest->Draw(X, Y, &Part);
}

// Tile copies of the picture part Tile over (0, 0, W, H) of Dest: stretched over the whole area, stretched to
// strips of tile width (bsstHorz) or height (bsstVert), or repeated at its size. A tile without area draws nothing.
void TileArea(TCanvas* Dest, TCanvas* Src, const TRect& Tile, int W, int H, bool Stretch, TbsStretchType Type,
              const TRect& FullRect) {
    const int TW = GetRectWidth(Tile);
    const int TH = GetRectHeight(Tile);
    if (TW <= 0 || TH <= 0 || W <= 0 || H <= 0)
        return;
    if (!Stretch) {
        for (int Row = 0; Row <= H / TH; ++Row)
            for (int Col = 0; Col <= W / TW; ++Col)
                Dest->CopyRect(Bounds(Col * TW, Row * TH, TW, TH), Src, Tile);
        return;
    }
    switch (Type) {
    case bsstFull:
        Dest->CopyRect(FullRect, Src, Tile);
        break;
    case bsstHorz:
        for (int Col = 0; Col <= W / TW; ++Col)
            Dest->CopyRect(Bounds(Col * TW, 0, TW, H), Src, Tile);
        break;
    case bsstVert:
        for (int Row = 0; Row <= H / TH; ++Row)
            Dest->CopyRect(Bounds(0, Row * TH, W, TH), Src, Tile);
        break;
    }
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

} // namespace

TbsSkinPanel::TbsSkinPanel(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable});
    FForceBackground = true;
    FSkinDataName = u"panel";
    NewClRect = TRect();
    SetBounds(Left(), Top(), 150, 150);
}

TbsSkinPanel::~TbsSkinPanel() = default;

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinPanel::SetRibbonStyle(bool Value) {
    if (Value == FRibbonStyle)
        return;
    FRibbonStyle = Value;
    Repaint();
}

void TbsSkinPanel::SetImagePosition(TbsImagePosition Value) {
    if (Value == FImagePosition)
        return;
    FImagePosition = Value;
    Repaint();
}

void TbsSkinPanel::SetTransparentMode(bool Value) {
    if (Value == FTransparentMode)
        return;
    FTransparentMode = Value;
    Repaint();
    if (!ComponentState().Contains(csLoading))
        SendCheckParentBackground();
}

void TbsSkinPanel::SetCaptionImageList(TCustomImageList* Value) {
    FCaptionImageList = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinPanel::SetCaptionImageIndex(int Value) {
    if (Value == FCaptionImageIndex)
        return;
    FCaptionImageIndex = Value;
    Repaint();
}

void TbsSkinPanel::SetCheckedMode(bool Value) {
    FCheckedMode = Value;
    Repaint();
}

void TbsSkinPanel::SetChecked(bool Value) {
    FChecked = Value;
    if (FCheckedMode)
        Repaint();
    if (FAutoEnabledControls && FCheckedMode)
        for (int I = 0; I < ControlCount(); ++I)
            Controls(I)->SetEnabled(Value);
    if (OnChecked)
        OnChecked(this);
}

void TbsSkinPanel::SetDefaultAlignment(TAlignment Value) {
    FDefaultAlignment = Value;
    if (FIndex == -1 && FCaptionMode)
        Repaint();
}

void TbsSkinPanel::SetDefaultCaptionHeight(int Value) {
    FDefaultCaptionHeight = Value;
    if (FIndex == -1 && FCaptionMode) {
        Repaint();
        Realign();
    }
}

void TbsSkinPanel::SetBorderStyle(TbsSkinBorderStyle Value) {
    FBorderStyle = Value;
    if (FIndex == -1) {
        Repaint();
        Realign();
    }
}

void TbsSkinPanel::SetCaptionMode(bool Value) {
    FCaptionMode = Value;
    Repaint();
    Realign();
}

void TbsSkinPanel::SetRollUpMode(bool Value) {
    FRollUpMode = Value;
    if (FIndex == -1 && FCaptionMode)
        Repaint();
}

void TbsSkinPanel::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    Repaint();
}

void TbsSkinPanel::SetNumGlyphs(int Value) {
    FNumGlyphs = std::clamp(Value, 1, 2);
    Repaint();
}

void TbsSkinPanel::SetSpacing(int Value) {
    FSpacing = Value;
    Repaint();
}

void TbsSkinPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FCaptionImageList)
        FCaptionImageList = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Roll-up

void TbsSkinPanel::SetRollUpState(bool Value) {
    if (Value == FRollUpState)
        return;
    TSizeConstraints* C = Constraints();
    if (!FRollUpMode) {
        // Only a panel that is rolled up has constraints of its own put aside.
        if (FRollUpState) {
            C->SetMaxWidth(FCMaxWidth);
            C->SetMinWidth(FCMinWidth);
            C->SetMaxHeight(FCMaxHeight);
            C->SetMinHeight(FCMinHeight);
        }
        FRollUpState = false;
        return;
    }
    if (Value) {
        // The constraints are put aside while rolled up and come back when unrolled.
        FCMaxWidth = C->MaxWidth();
        FCMinWidth = C->MinWidth();
        FCMaxHeight = C->MaxHeight();
        FCMinHeight = C->MinHeight();
        C->SetMaxWidth(0);
        C->SetMinWidth(0);
        C->SetMaxHeight(0);
        C->SetMinHeight(0);
    }
    FRollUpState = Value;
    DoRollUp(Value);
    if (!Value) {
        C->SetMaxWidth(FCMaxWidth);
        C->SetMinWidth(FCMinWidth);
        C->SetMaxHeight(FCMaxHeight);
        C->SetMinHeight(FCMinHeight);
    }
    if (OnChangeRollUpState)
        OnChangeRollUpState(this);
}

void TbsSkinPanel::DoRollUp(bool ARollUp) {
    FInChangingRollUp = true;
    if (ARollUp && FRealHeight == -1) {
        FRealHeight = Height();
        // A skin change rolls a rolled panel up again: aligning stays disabled once.
        if (!FRolledAlignDisabled) {
            DisableAlign();
            FRolledAlignDisabled = true;
        }
        for (int I = 0; I < ControlCount(); ++I)
            Controls(I)->Hide();
        SetHeight(FIndex == -1 ? FDefaultCaptionHeight + 1 : Height() - GetRectHeight(NewClRect));
    } else if (!ARollUp && FRealHeight != -1) {
        SetHeight(FRealHeight);
        FRealHeight = -1;
        for (int I = 0; I < ControlCount(); ++I)
            Controls(I)->Show();
        if (FRolledAlignDisabled) {
            FRolledAlignDisabled = false;
            EnableAlign();
        }
    }
    FInChangingRollUp = false;
}

bool TbsSkinPanel::CanAutoSize(int& NewWidth, int& NewHeight) {
    if (FInChangingRollUp && FRollUpMode && AutoSize())
        return false;
    return TbsSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

// ---------------------------------------------------------------------------------------------
// Record, size, client rectangle

TBitmap* TbsSkinPanel::ActivePicture(int Index) const {
    if (!FSD || Index < 0 || Index >= int(FSD->FActivePictures.size()))
        return nullptr;
    return FSD->FActivePictures[std::size_t(Index)].get();
}

void TbsSkinPanel::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    BGPictureIndex = -1;
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinPanelControl*>(FSD->CtrlList[std::size_t(FIndex)].get());
    if (!R)
        return;
    CaptionRect = R->CaptionRect;
    Alignment = R->Alignment;
    FontName = R->FontName;
    FontColor = R->FontColor;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
    BGPictureIndex = R->BGPictureIndex;
    CheckImageRect = R->CheckImageRect;
    UnCheckImageRect = R->UnCheckImageRect;
    MarkFrameRect = R->MarkFrameRect;
    FrameRect = R->FrameRect;
    FrameTextRect = R->FrameTextRect;
    FrameLeftOffset = R->FrameLeftOffset;
    FrameRightOffset = R->FrameRightOffset;
}

void TbsSkinPanel::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    if (FRollUpState) {
        const int Saved = FRealHeight;
        FRealHeight = -1;
        DoRollUp(true);
        FRealHeight = Saved;
    } else {
        Realign();
    }
}

void TbsSkinPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FIndex == -1)
        Repaint();
}

void TbsSkinPanel::AdjustClientRect(TRect& R) {
    TbsSkinCustomControl::AdjustClientRect(R);
    if (FIndex == -1) {
        if (FBorderStyle != TbsSkinBorderStyle::bvNone)
            R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
        if (FCaptionMode) {
            if (FRibbonStyle)
                R.Bottom -= FDefaultCaptionHeight;
            else
                R.Top += FDefaultCaptionHeight;
        }
        return;
    }
    if (BGPictureIndex != -1 || (FBorderStyle == TbsSkinBorderStyle::bvNone && !FCaptionMode && ResizeMode == 1))
        return;
    R = NewClRect;
}

TRect TbsSkinPanel::GetSkinClientRect() {
    TRect R = Rect(0, 0, Width(), Height());
    AdjustClientRect(R);
    return R;
}

void TbsSkinPanel::CreateParams(TCreateParams& Params) {
    TbsSkinCustomControl::CreateParams(Params);
    Params.WindowClass.style &= ~UINT(CS_VREDRAW | CS_HREDRAW);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinPanel::Paint() {
    if (Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    if (FTransparentMode && FIndex != -1) {
        if (FCaptionMode)
            PaintTransparentGroupBox();
        else
            PaintTransparentPanel();
        return;
    }
    if (FIndex == -1 || (!FForceBackground && StretchEffect)) {
        TbsSkinCustomControl::Paint();
        return;
    }
    if (FBorderStyle == TbsSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && FForceBackground) {
        PaintClientTile();
        return;
    }
    if (BGPictureIndex != -1 && ActivePicture(BGPictureIndex)) {
        PaintBGPicture();
        return;
    }
    TbsSkinCustomControl::Paint();
}

void TbsSkinPanel::PaintClientTile() {
    if (!Picture)
        return;
    const TRect Tile =
        Bounds(SkinRect.Left + ClRect.Left, SkinRect.Top + ClRect.Top, GetRectWidth(ClRect), GetRectHeight(ClRect));
    TileArea(Canvas(), Picture->Canvas(), Tile, Width(), Height(), StretchEffect, StretchType,
             Rect(0, 0, Width(), Height()));
}

void TbsSkinPanel::PaintBGPicture() {
    TBitmap* P = ActivePicture(BGPictureIndex);
    TileArea(Canvas(), P->Canvas(), Rect(0, 0, P->Width(), P->Height()), Width(), Height(), StretchEffect, StretchType,
             NewClRect);
}

void TbsSkinPanel::PaintskinTo(TCanvas* C, int X, int Y) {
    GetSkinData();
    TBitmap B(Width(), Height());
    if (FIndex == -1)
        CreateControlDefaultImage(&B);
    else
        CreateControlSkinImage(&B);
    C->Draw(X, Y, &B);
}

void TbsSkinPanel::SetCaptionFont(TCanvas* C) {
    if (FUseSkinFont && FIndex != -1) {
        C->Font()->SetName(FontName);
        C->Font()->SetHeight(FontHeight);
        C->Font()->SetStyle(FontStyle);
    } else {
        C->Font()->Assign(FDefaultFont.get());
    }
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        C->Font()->SetCharset(FDefaultFont->Charset());
}

bool TbsSkinPanel::HasListImage() const {
    return FGlyph->Empty() && FCaptionImageList && FCaptionImageIndex >= 0 &&
           FCaptionImageIndex < FCaptionImageList->Count();
}

int TbsSkinPanel::CaptionImageWidth() const {
    if (HasListImage())
        return FCaptionImageList->Width();
    return FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs;
}

int TbsSkinPanel::CaptionImageHeight() const {
    if (HasListImage())
        return FCaptionImageList->Height();
    return FGlyph->Empty() ? 0 : FGlyph->Height();
}

void TbsSkinPanel::DrawCaptionImage(TCanvas* C, int X, int Y) {
    if (HasListImage())
        FCaptionImageList->Draw(C, X, Y, FCaptionImageIndex, Enabled());
    else if (!FGlyph->Empty())
        DrawGlyphFromStrip(C, X, Y, !Enabled() && FNumGlyphs == 2 ? 2 : 1, FNumGlyphs, FGlyph.get());
}

void TbsSkinPanel::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlDefaultImage(B);
    TCanvas* C = B->Canvas();
    const int W = B->Width();
    const int H = B->Height();
    TRect R = Rect(0, 0, W, H);
    switch (FBorderStyle) {
    case TbsSkinBorderStyle::bvFrame:
        Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
        break;
    case TbsSkinBorderStyle::bvRaised:
        Frame3D(C, R, clBtnHighlight, clBtnShadow, 1);
        break;
    case TbsSkinBorderStyle::bvLowered:
        Frame3D(C, R, clBtnShadow, clBtnHighlight, 1);
        break;
    case TbsSkinBorderStyle::bvNone:
        break;
    }
    if (!FCaptionMode)
        return;
    const int CH = FDefaultCaptionHeight;
    if (FBorderStyle == TbsSkinBorderStyle::bvFrame) {
        R = FRibbonStyle ? Rect(0, H - CH, W, H) : Rect(0, 0, W, CH);
        Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
        Frame3D(C, R, clBtnHighlight, clBtnFace, 1);
    } else {
        R = FRibbonStyle ? Rect(1, H - CH - 1, W - 1, H - 1) : Rect(1, 1, W - 1, CH);
        Frame3D(C, R, clBtnShadow, clBtnHighlight, 1);
        Frame3D(C, R, clBtnHighlight, clBtnShadow, 1);
    }
    DrawDefaultCaption(B, R);
}

// The default look's caption inside the bar's inner rectangle R.
void TbsSkinPanel::DrawDefaultCaption(TBitmap* B, TRect R) {
    TCanvas* C = B->Canvas();
    if (FCheckedMode)
        R.Left += 20;
    if (FRollUpMode)
        R.Right -= 10;
    C->Font()->Assign(FDefaultFont.get());
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    const String Text = Caption();
    const int GlyphW = FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs + FSpacing;
    const int W = C->TextWidth(Text) + GlyphW;
    const int Y = R.Top + GetRectHeight(R) / 2 - C->TextHeight(Text) / 2;
    int X = R.Left + 2;
    if (FDefaultAlignment == taRightJustify)
        X = R.Right - W;
    else if (FDefaultAlignment == taCenter)
        X = R.Left + 2 + GetRectWidth(R) / 2 - W / 2;
    const int CY = R.Top + GetRectHeight(R) / 2;
    if (FCheckedMode) {
        TRect Box = Rect(5, CY - 7, 19, CY + 7);
        Frame3D(C, Box, clBtnShadow, clBtnShadow, 1);
        if (FChecked)
            DrawCheckImage(C, 9, CY - 4, clBtnText);
    }
    const int ImageX = X;
    if (CaptionImageWidth() > 0)
        X += CaptionImageWidth() + FSpacing;
    C->Brush()->SetStyle(bsClear);
    C->TextRect(R, X, Y, Text);
    if (CaptionImageWidth() > 0)
        DrawCaptionImage(C, ImageX, CY - CaptionImageHeight() / 2);
    if (FRollUpMode)
        DrawArrowImage(C, Rect(R.Right, R.Top, R.Right + 10, R.Bottom), clBtnText, FRollUpState ? 4 : 3);
}

void TbsSkinPanel::CreateControlSkinImage(TBitmap* B) {
    if (FBorderStyle == TbsSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && !StretchEffect) {
        if (Picture) {
            const TRect Tile = Bounds(SkinRect.Left + ClRect.Left, SkinRect.Top + ClRect.Top, GetRectWidth(ClRect),
                                      GetRectHeight(ClRect));
            TileArea(B->Canvas(), Picture->Canvas(), Tile, B->Width(), B->Height(), false, bsstFull, TRect());
        }
        return;
    }
    TbsSkinCustomControl::CreateControlSkinImage(B);
    if (ResizeMode < 1)
        NewCaptionRect = CaptionRect;
    else if (!FTransparentMode)
        NewCaptionRect = CalcChildRect(CaptionRect);
    if (!Caption().empty() && HasArea(CaptionRect))
        DrawSkinCaption(B);
}

void TbsSkinPanel::DrawSkinCaption(TBitmap* B) {
    TCanvas* C = B->Canvas();
    TRect R = NewCaptionRect;
    if (FRollUpMode)
        R.Right -= 12;
    if (FCheckedMode) {
        DrawKeyed(C, R.Left, R.Top + GetRectHeight(R) / 2 - GetRectHeight(CheckImageRect) / 2, Picture,
                  FChecked ? CheckImageRect : UnCheckImageRect);
        R.Left += GetRectWidth(CheckImageRect) + 2;
    }
    SetCaptionFont(C);
    C->Font()->SetColor(FontColor);
    const String Text = Caption();
    const int TW = C->TextWidth(Text);
    const int Y = R.Top + GetRectHeight(R) / 2 - C->TextHeight(Text) / 2;
    const int ImgW = CaptionImageWidth();
    const int W = TW + (FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs + FSpacing);
    int X = R.Left;
    if (Alignment == taRightJustify)
        X = R.Right - W;
    else if (Alignment == taCenter)
        X = R.Left + GetRectWidth(R) / 2 - W / 2;
    int ImageX = X;
    if (ImgW > 0 && FImagePosition == bsipLeft) {
        ImageX = R.Left + 2;
        const int AfterImage = ImageX + ImgW + FSpacing;
        if (Alignment == taLeftJustify)
            X = AfterImage;
        else if (Alignment == taRightJustify)
            X = R.Right - TW;
        else
            X = R.Left + GetRectWidth(R) / 2 - TW / 2;
        X = std::max(X, AfterImage);
    } else if (ImgW > 0) {
        X += ImgW + FSpacing;
    }
    if (FRollUpMode) {
        const TRect M = Rect(R.Right, R.Top, R.Right + 10, R.Bottom);
        if (HasArea(MarkFrameRect) && Picture)
            C->CopyRect(Rect(M.Left, M.Top, M.Left + GetRectWidth(MarkFrameRect),
                             CaptionRect.Top + GetRectHeight(MarkFrameRect)),
                        Picture->Canvas(), MarkFrameRect);
        DrawArrowImage(C, M, FontColor, FRollUpState ? 4 : 3);
    }
    if (HasArea(FrameRect) && Picture)
        DrawCaptionFrame(C, X, ImageX, TW);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(R, X, Y, Text);
    if (ImgW > 0)
        DrawCaptionImage(C, ImageX, R.Top + GetRectHeight(R) / 2 - CaptionImageHeight() / 2);
}

// The caption frame behind the text, as wide as the text; moves the text (and image) into its text part.
void TbsSkinPanel::DrawCaptionFrame(TCanvas* C, int& TextX, int& ImageX, int TextW) {
    const int F = GetRectWidth(FrameRect) - GetRectWidth(FrameTextRect);
    TBitmap Frame;
    DrawSkinStripH(FrameLeftOffset, FrameRightOffset, &Frame, Picture, FrameRect, TextW + F, GetRectHeight(FrameRect),
                   false);
    int Left = TextX;
    if (Alignment == taLeftJustify) {
        TextX += FrameTextRect.Left;
    } else if (Alignment == taRightJustify) {
        Left = TextX - F;
        TextX = TextX - F + FrameTextRect.Left;
        ImageX -= F;
    } else {
        Left = TextX - FrameTextRect.Left - 2;
        TextX -= 2;
        ImageX -= FrameTextRect.Left;
    }
    C->Draw(Left, CaptionRect.Top, &Frame);
}

void TbsSkinPanel::PaintTransparentPanel() {
    TBitmap B(Width(), Height());
    PaintParentBackground(this, B.Canvas());
    if (FBorderStyle != TbsSkinBorderStyle::bvNone) {
        B.Canvas()->Brush()->SetStyle(bsClear);
        B.Canvas()->Pen()->SetColor(FSD->SkinColors()->FcBtnShadow);
        B.Canvas()->Rectangle(0, 0, Width(), Height());
    }
    PaintPanelContent(B.Canvas());
    Canvas()->Draw(0, 0, &B);
}

void TbsSkinPanel::PaintTransparentGroupBox() {
    TBitmap B(Width(), Height());
    TCanvas* C = B.Canvas();
    PaintParentBackground(this, C);
    C->Pen()->SetColor(FSD->SkinColors()->FcBtnShadow);
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsClear);
    SetCaptionFont(C);
    const String Text = Caption();
    const int TH = C->TextHeight(Text);
    NewCaptionRect = Rect(5, 0, B.Width(), TH + 5);
    const int H = GetRectHeight(NewCaptionRect);
    int A = 5;
    if (FCheckedMode) {
        DrawKeyed(C, 5, H / 2 - GetRectHeight(CheckImageRect) / 2, Picture,
                  FChecked ? CheckImageRect : UnCheckImageRect);
        A = GetRectWidth(CheckImageRect) + 10;
    }
    const int ImageX = A;
    if (CaptionImageWidth() > 0)
        A += CaptionImageWidth() + 2;
    const TRect CR = Rect(A, 0, B.Width(), TH + 5);
    TColor TextColor = FSD->SkinColors()->FcBtnText;
    const int Label = FSD->GetControlIndex(u"stdlabel");
    if (Label != -1)
        if (auto* L = dynamic_cast<TbsDataSkinStdLabelControl*>(FSD->CtrlList[std::size_t(Label)].get()))
            TextColor = L->FontColor;
    C->Font()->SetColor(TextColor);
    DrawTextVCentered(C, Text, CR);
    TRect Measured = Rect(0, 0, 0, 0);
    DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &Measured, DT_CALCRECT);
    const int TW = GetRectWidth(Measured);
    if (CaptionImageWidth() > 0)
        DrawCaptionImage(C, ImageX, H / 2 - CaptionImageHeight() / 2);
    if (FRollUpMode) {
        DrawArrowImage(C, Rect(CR.Left + TW + 3, CR.Top, CR.Left + TW + 10, CR.Bottom), TextColor,
                       FRollUpState ? 4 : 3);
        Line(C, CR.Left + TW + 12, H / 2, Width(), H / 2);
    } else {
        Line(C, CR.Left + TW + 3, H / 2, Width(), H / 2);
    }
    Line(C, 0, H / 2, 4, H / 2);
    C->MoveTo(Width() - 1, H / 2);
    C->LineTo(Width() - 1, Height() - 1);
    C->LineTo(0, Height() - 1);
    C->LineTo(0, H / 2);
    PaintPanelContent(C);
    Canvas()->Draw(0, 0, &B);
}

// ---------------------------------------------------------------------------------------------
// Mouse and messages

bool TbsSkinPanel::CaptionHit(int X, int Y) {
    const TRect Bar = FIndex != -1 ? NewCaptionRect : Rect(1, 1, Width() - 1, FDefaultCaptionHeight);
    return PtInRectInclusive(Bar, TPoint{X, Y});
}

void TbsSkinPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    if (Button == mbLeft && FCaptionMode && (FRollUpMode || FCheckedMode) && CaptionHit(X, Y)) {
        if (FCheckedMode)
            SetChecked(!FChecked);
        if (Alive.expired())
            return;
        if (FRollUpMode)
            SetRollUpState(!FRollUpState);
        if (Alive.expired())
            return;
    }
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOVE:
        WMMove(Message);
        return;
    case WM_CHECKPARENTBG:
        WMCheckParentBg(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinPanel::WMMove(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FTransparentMode) {
        Repaint();
        SendCheckParentBackground();
    }
}

void TbsSkinPanel::WMCheckParentBg(TMessage&) {
    // Nested transparent controls follow their parent.
    if (FTransparentMode) {
        Repaint();
        SendCheckParentBackground();
    }
}

void TbsSkinPanel::CMEnabledChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinPanel::CMTextChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FCaptionMode)
        Repaint();
}

// ---------------------------------------------------------------------------------------------
// TbsSkinPaintPanel

TbsSkinPaintPanel::TbsSkinPaintPanel(TComponent* AOwner) : TbsSkinPanel(AOwner) {
    FForceBackground = false;
}

void TbsSkinPaintPanel::PaintPanelContent(TCanvas* Cnvs) {
    if (!OnPanelPaint)
        return;
    TRect R = GetSkinClientRect();
    OnPanelPaint(Cnvs, R);
}

void TbsSkinPaintPanel::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinPanel::CreateControlDefaultImage(B);
    PaintPanelContent(B->Canvas());
}

void TbsSkinPaintPanel::CreateControlSkinImage(TBitmap* B) {
    TbsSkinPanel::CreateControlSkinImage(B);
    PaintPanelContent(B->Canvas());
}

void TbsSkinPaintPanel::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        if (!FromWMPaint)
            PaintWindow(HDC(Message.WParam));
        Message.Result = 1;
        return;
    }
    TbsSkinPanel::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinGroupBox

TbsSkinGroupBox::TbsSkinGroupBox(TComponent* AOwner) : TbsSkinPanel(AOwner) {
    FSkinDataName = u"groupbox";
    SetCaptionMode(true);
}

void TbsSkinGroupBox::GetSkinData() {
    TbsSkinPanel::GetSkinData();
    // A caption below the client area is drawn with the face, not over a tiled background.
    if (FIndex != -1 && CaptionRect.Top > ClRect.Bottom)
        FForceBackground = false;
}
