#include "skin/controls/bsSkinCtrlsButtons.h"

#include <cstdint>

#include "skin/core/TbsSkinData.h"

void TbsButtonRecordCopy::CopyButtonRecord(const TbsDataSkinButtonControl& R, const TRect& SkinRect) {
    FontName = R.FontName;
    FontStyle = R.FontStyle;
    FontHeight = R.FontHeight;
    FontColor = R.FontColor;
    ActiveFontColor = R.ActiveFontColor;
    DownFontColor = R.DownFontColor;
    ActiveSkinRect = IsNullRect(R.ActiveSkinRect) ? SkinRect : R.ActiveSkinRect;
    DownSkinRect = IsNullRect(R.DownSkinRect) ? ActiveSkinRect : R.DownSkinRect;
    DisabledSkinRect = R.DisabledSkinRect;
    FocusedSkinRect = R.FocusedSkinRect;
    DisabledFontColor = R.DisabledFontColor == R.FontColor ? TColor(8421504) : R.DisabledFontColor;
    Morphing = R.Morphing;
    MorphKind = R.MorphKind;
    AnimateSkinRect = R.AnimateSkinRect;
    FrameCount = R.FrameCount;
    AnimateInterval = R.AnimateInterval;
    ShowFocus = R.ShowFocus;
    MenuMarkerFlatRect = R.MenuMarkerFlatRect;
    MenuMarkerRect = R.MenuMarkerRect;
    MenuMarkerActiveRect = IsNullRect(R.MenuMarkerActiveRect) ? R.MenuMarkerRect : R.MenuMarkerActiveRect;
    MenuMarkerDownRect = IsNullRect(R.MenuMarkerDownRect) ? MenuMarkerActiveRect : R.MenuMarkerDownRect;
    MenuMarkerTransparentColor = R.MenuMarkerTransparentColor;
    GlowLayerPictureIndex = R.GlowLayerPictureIndex;
    GlowLayerMaskPictureIndex = R.GlowLayerMaskPictureIndex;
    GlowLayerOffsetLeft = R.GlowLayerOffsetLeft;
    GlowLayerOffsetRight = R.GlowLayerOffsetRight;
    GlowLayerOffsetTop = R.GlowLayerOffsetTop;
    GlowLayerOffsetBottom = R.GlowLayerOffsetBottom;
    GlowLayerShowOffsetX = R.GlowLayerShowOffsetX;
    GlowLayerShowOffsetY = R.GlowLayerShowOffsetY;
    GlowLayerAlphaBlendValue = R.GlowLayerAlphaBlendValue;
}

// ---------------------------------------------------------------------------------------------

void TbsControlTimer::Start(Cardinal Interval, std::function<void()> OnTick) {
    if (!FTimer) {
        FTimer = new TTimer(FOwner);
        FTimer->OnTimer = [this](TObject*) {
            // A tick may start the timer again with another handler: run a copy.
            if (std::function<void()> Tick = FOnTick)
                Tick();
        };
    }
    FOnTick = std::move(OnTick);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(Interval);
    FTimer->SetEnabled(true);
}

void TbsControlTimer::SetInterval(Cardinal Interval) {
    if (FTimer)
        FTimer->SetInterval(Interval);
}

void TbsControlTimer::Stop() {
    if (FTimer)
        FTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// TbsButtonCommon

TbsButtonCommon::TbsButtonCommon(TControl* AControl)
    : FControl(AControl), AnimateTimer(AControl), RepeatTimer(AControl), MorphTimer(AControl) {}

TbsButtonCommon::~TbsButtonCommon() {
    RepeatTimer.Stop();
    AnimateTimer.Stop();
    MorphTimer.Stop();
}

void TbsButtonCommon::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    FControl->Repaint();
}

void TbsButtonCommon::SetNumGlyphs(int Value) {
    FNumGlyphs = Value;
    FControl->Repaint();
}

void TbsButtonCommon::SetMargin(int Value) {
    if (Value != FMargin && Value >= -1) {
        FMargin = Value;
        FControl->Repaint();
    }
}

void TbsButtonCommon::SetSpacing(int Value) {
    if (Value != FSpacing) {
        FSpacing = Value;
        FControl->Repaint();
    }
}

void TbsButtonCommon::SetLayout(TbsButtonLayout Value) {
    if (Value != FLayout) {
        FLayout = Value;
        FControl->Repaint();
    }
}

void TbsButtonCommon::SetDown(bool Value) {
    FDown = Value;
    if (MorphApplies()) {
        FMorphKf = 1;
        if (Value)
            StopMorph();
        else
            StartMorph();
    }
    FControl->Repaint();
    TWinControl* Parent = FControl->Parent();
    if (!Value || FGroupIndex == 0 || FAllowAllUp || !Parent)
        return;
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        auto* Other = dynamic_cast<TbsButtonCommon*>(Parent->Controls(I));
        if (Other && Other != this && SameKind(Other) && Other->FGroupIndex == FGroupIndex && Other->FDown)
            Other->SetDown(false);
    }
}

void TbsButtonCommon::StartMorph() {
    if (!MorphAllowed()) {
        FControl->Repaint();
        return;
    }
    if (MorphTimer.Running())
        return;
    MorphTimer.Start(20, [this] {
        const bool Hot = MorphHot();
        if (!MorphAllowed()) {
            FMorphKf = Hot ? 1 : 0;
            StopMorph();
            return;
        }
        if (!StepMorphFactor(FMorphKf, Hot))
            StopMorph();
        FControl->Repaint();
    });
}

void TbsButtonCommon::PaintMorph(TCanvas* Canvas, const TRect& NormalRect, const TRect& HotRect) {
    TBitmap Normal(FControl->Width(), FControl->Height());
    TBitmap Hot(FControl->Width(), FControl->Height());
    CreateButtonImage(&Normal, NormalRect, false, false);
    CreateButtonImage(&Hot, HotRect, true, false);
    DrawMorphedFaces(Canvas, &Normal, &Hot, MorphKind, FMorphKf);
}

void TbsButtonCommon::PaintContent(TCanvas* Canvas, const TRect& PaintRect, bool AActive, bool ADown, const TRect& R,
                                   const TbsButtonContent& Content) {
    bool DoDefault = true;
    if (OnPaint)
        OnPaint(FControl, Canvas, DoDefault, AActive, ADown, PaintRect);
    if (!DoDefault)
        return;
    Canvas->Brush()->SetStyle(bsClear);
    DrawButtonContent(Canvas, R, Content);
}

void TbsButtonCommon::SetFaceFont(TCanvas* Canvas, bool SkinFont, TFont* DefaultFont, bool AActive, bool ADown) const {
    if (SkinFont) {
        Canvas->Font()->SetName(FontName);
        Canvas->Font()->SetHeight(FontHeight);
        Canvas->Font()->SetStyle(FontStyle);
    } else {
        Canvas->Font()->Assign(DefaultFont);
    }
    Canvas->Font()->SetColor(FaceFontColor(AActive, ADown, DefaultFont->Color()));
}

void TbsButtonCommon::RefreshButton() {
    FMouseIn = false;
    FDown = false;
    if (MorphApplies())
        FMorphKf = 0;
    if (EffectsOn())
        StopAnimate();
    FControl->Repaint();
}

void TbsButtonCommon::EnabledChanged() {
    if (MorphApplies()) {
        StopMorph();
        FMorphKf = 0;
    }
    FMouseIn = false;
    FControl->Repaint();
}

void TbsButtonCommon::StartAnimate(bool Forward) {
    StopAnimate();
    AnimateInc = Forward;
    CurrentFrame = Forward ? 1 : FrameCount;
    AnimateTimer.Start(Cardinal(AnimateInterval), [this] {
        if (AnimateInc) {
            if (CurrentFrame <= FrameCount) {
                ++CurrentFrame;
                FControl->Repaint();
            }
            if (CurrentFrame > FrameCount)
                StopAnimate();
        } else {
            if (CurrentFrame >= 0) {
                --CurrentFrame;
                FControl->Repaint();
            }
            if (CurrentFrame <= 0)
                StopAnimate();
        }
    });
}

void TbsButtonCommon::StopAnimate() {
    CurrentFrame = 0;
    AnimateTimer.Stop();
}

void TbsButtonCommon::ApplyAnimationFrame(TRect& SkinRect) {
    if (!EffectsOn() || !AnimateTimer.Running() || CurrentFrame <= 0 || CurrentFrame > FrameCount)
        return;
    const TRect Frame = AnimationFrameRect(AnimateSkinRect, SkinRect, FrameCount, CurrentFrame);
    if (AnimateInc)
        ActiveSkinRect = Frame;
    else
        SkinRect = Frame;
}

void TbsButtonCommon::StartRepeat() {
    RepeatTimer.Start(500, [this] { RepeatTimer.Start(Cardinal(FRepeatInterval), [this] { ButtonClick(); }); });
}

void TbsButtonCommon::PressButton(bool StopAnimation) {
    if (StopAnimation)
        StopAnimate();
    FMouseDown = true;
    if (!FDown) {
        FMouseIn = true;
        SetDown(true);
        if (FRepeatMode && FGroupIndex == 0)
            StartRepeat();
        else if (FGroupIndex != 0)
            ButtonClick();
        FAllowAllUpCheck = false;
    } else if (FGroupIndex != 0) {
        FAllowAllUpCheck = true;
    }
}

void TbsButtonCommon::ReleaseButton(bool Over) {
    FMouseDown = false;
    if (FGroupIndex == 0) {
        const bool WasDown = FDown;
        StopRepeat();
        if (Over) {
            SetDown(false);
            if (WasDown)
                ButtonClick();
        } else {
            FDown = false;
        }
    } else if (FDown && FAllowAllUp && FAllowAllUpCheck && Over) {
        SetDown(false);
        ButtonClick();
    }
}

void TbsButtonCommon::ClickOrExecute(TActionClient& Client, bool Designing) {
    TBasicAction* A = Client.Action();
    if (FControl->OnClick && A && !SameEventCode(A->OnExecute, FControl->OnClick)) {
        FControl->OnClick(FControl);
        return;
    }
    if (A && !Designing) {
        Client.ActionLink()->Execute();
        return;
    }
    if (FControl->OnClick)
        FControl->OnClick(FControl);
}

TColor TbsButtonCommon::FaceFontColor(bool AActive, bool ADown, TColor DefaultColor) const {
    if (FControl->Enabled() && !FUseSkinFontColor)
        return DefaultColor;
    if (!FControl->Enabled())
        return DisabledFontColor;
    if (AActive && ADown)
        return DownFontColor;
    if (AActive)
        return ActiveFontColor;
    return FontColor;
}

TRect TbsButtonCommon::DrawFaceBackground(
    TBitmap* B, const TRect& R, TbsSkinFace& Face,
    const std::function<void(TBitmap*, TBitmap*, const TRect&)>& DrawSkinImage) const {
    if (FUseSkinSize || Face.ResizeMode == 1) {
        DrawSkinImage(B, Face.Picture, R);
        return Face.NewClRect;
    }
    // Free size: a fixed face is stretched, a strip keeps its client's corners.
    if (Face.Picture && Face.ResizeMode == 0)
        B->Canvas()->CopyRect(Rect(0, 0, B->Width(), B->Height()), Face.Picture->Canvas(), R);
    else if (Face.Picture && (Face.ResizeMode == 2 || Face.ResizeMode == 3))
        DrawNinePartSkinImageByClientRect(B, Face.Picture, R, Face.ClRect, true);
    return Rect(Face.ClRect.Left, Face.ClRect.Top, Face.ClRect.Right + B->Width() - GetRectWidth(R),
                Face.ClRect.Bottom + B->Height() - GetRectHeight(R));
}

void TbsButtonCommon::FreeSizeClient(TbsSkinFace& Face, int W, int H) const {
    Face.NewClRect = Rect(Face.ClRect.Left, Face.ClRect.Top, Face.ClRect.Right + W - GetRectWidth(Face.SkinRect),
                          Face.ClRect.Bottom + H - GetRectHeight(Face.SkinRect));
}

// ---------------------------------------------------------------------------------------------

bool StepMorphFactor(double& Kf, bool Hot) {
    if (Hot && Kf < 1) {
        Kf += 0.2;
        return true;
    }
    if (!Hot && Kf > 0) {
        Kf -= 0.2;
        return true;
    }
    Kf = Hot ? 1 : 0;
    return false;
}

namespace {

std::unique_ptr<TbsEffectBmp> EffectOf(TBitmap* B) {
    auto E = std::make_unique<TbsEffectBmp>(B->Width(), B->Height());
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X) {
            const COLORREF C = ColorToRGB(B->Canvas()->Pixels(X, Y));
            E->SetPixel(X, Y,
                        std::uint32_t(GetBValue(C)) | std::uint32_t(GetGValue(C)) << 8 |
                            std::uint32_t(GetRValue(C)) << 16);
        }
    return E;
}

} // namespace

void DrawMorphedFaces(TCanvas* Canvas, TBitmap* From, TBitmap* To, TbsMorphKind Kind, double Kf) {
    auto A = EffectOf(From);
    auto B = EffectOf(To);
    A->MorphByKind(Kind, *B, Kf);
    TBitmap Out(A->Width, A->Height);
    for (int Y = 0; Y < A->Height; ++Y)
        for (int X = 0; X < A->Width; ++X) {
            const std::uint32_t P = A->GetPixel(X, Y);
            Out.Canvas()->SetPixels(X, Y, TColor(RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF)));
        }
    Canvas->Draw(0, 0, &Out);
}

TRect AnimationFrameRect(const TRect& AnimateSkinRect, const TRect& SkinRect, int FrameCount, int Frame) {
    if (FrameCount <= 0)
        return AnimateSkinRect;
    TRect R = AnimateSkinRect;
    if (GetRectWidth(AnimateSkinRect) > GetRectWidth(SkinRect)) {
        const int W = GetRectWidth(AnimateSkinRect) / FrameCount;
        R.Left = AnimateSkinRect.Left + (Frame - 1) * W;
        R.Right = AnimateSkinRect.Left + Frame * W;
    } else {
        const int H = GetRectHeight(AnimateSkinRect) / FrameCount;
        R.Top = AnimateSkinRect.Top + (Frame - 1) * H;
        R.Bottom = AnimateSkinRect.Top + Frame * H;
    }
    return R;
}

int GlyphNumber(bool Down, bool Active, bool Enabled, int NumGlyphs) {
    if (Down && Active && NumGlyphs > 2)
        return 3;
    if (Active && NumGlyphs > 3)
        return 4;
    if (Enabled || NumGlyphs < 2)
        return 1;
    return 2;
}

void DrawButtonContent(TCanvas* Canvas, const TRect& R, const TbsButtonContent& C) {
    if (C.ImagesMenu && C.UseImagesMenuImage) {
        if (TbsImagesMenuItem* Item = C.ImagesMenu->SelectedItem()) {
            const String Caption = C.UseImagesMenuCaption ? Item->Caption : C.Caption;
            DrawImageAndText(Canvas, R, C.Margin, C.Spacing, C.Layout, Caption, Item->ImageIndex,
                             C.ImagesMenu->Images(), C.ImagePressed, C.Enabled, C.DrawColorMarker, C.ColorMarkerValue);
            return;
        }
    }
    if (C.ToolBarImages) {
        DrawImageAndText(Canvas, R, C.Margin, C.Spacing, C.Layout, C.Caption, C.ImageIndex, C.ToolBarImages,
                         C.ImagePressed, C.Enabled, C.DrawColorMarker, C.ColorMarkerValue);
        return;
    }
    if (C.Images && C.ImageIndex >= 0 && C.ImageIndex < C.Images->Count()) {
        DrawImageAndText(Canvas, R, C.Margin, C.Spacing, C.Layout, C.Caption, C.ImageIndex, C.Images, C.ImagePressed,
                         C.Enabled, C.DrawColorMarker, C.ColorMarkerValue);
        return;
    }
    DrawGlyphAndText(Canvas, R, C.Margin, C.Spacing, C.Layout, C.Caption, C.Glyph, C.NumGlyphs, C.GlyphNum, C.Pressed,
                     C.DrawColorMarker, C.ColorMarkerValue);
}

TbsDataSkinButtonControl* ButtonRecordOf(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->CtrlList.size()))
        return nullptr;
    return dynamic_cast<TbsDataSkinButtonControl*>(SD->CtrlList[std::size_t(Index)].get());
}

void DrawDefaultFrame(TCanvas* Canvas, const TRect& R, TColor Frame, TColor Fill) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Fill);
    Canvas->FillRect(R);
    Canvas->Brush()->SetColor(Frame);
    Canvas->FrameRect(R);
}

bool TakeActionGlyph(TBitmap* Glyph, TObject* Sender) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A || !Glyph->Empty())
        return false;
    TCustomImageList* Images = A->Images();
    if (!Images || A->ImageIndex() < 0 || A->ImageIndex() >= Images->Count())
        return false;
    Glyph->SetSize(Images->Width(), Images->Height());
    Glyph->Canvas()->Brush()->SetStyle(bsSolid);
    Glyph->Canvas()->Brush()->SetColor(TColor(RGB(255, 0, 255)));
    Glyph->Canvas()->FillRect(Rect(0, 0, Glyph->Width(), Glyph->Height()));
    Images->Draw(Glyph->Canvas(), 0, 0, A->ImageIndex());
    return true;
}
