#include "skin/controls/TbsSkinSpeedButton.h"

TbsSkinSpeedButton::TbsSkinSpeedButton(TComponent* AOwner) : TbsGraphicSkinCustomControl(AOwner), TActionClient(this) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
    FSkinDataName = u"toolbutton";
    SetBounds(Left(), Top(), 25, 25);
}

TbsSkinSpeedButton::~TbsSkinSpeedButton() {
    StopRepeat();
    StopAnimate();
    StopMorph();
}

bool TbsSkinSpeedButton::EffectsOn() const {
    return FSD && !FSD->Empty && FSD->EnableSkinEffects();
}

bool TbsSkinSpeedButton::MorphApplies() const {
    return Morphing && EffectsOn();
}

bool TbsSkinSpeedButton::AnimationApplies() const {
    return FIndex != -1 && EffectsOn() && !IsNullRect(AnimateSkinRect) && !FFlat;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinSpeedButton::SetTransparent(bool Value) {
    SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
    Repaint();
}

void TbsSkinSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    SetTransparent(Value);
}

void TbsSkinSpeedButton::SetShowCaption(bool Value) {
    if (Value == FShowCaption)
        return;
    FShowCaption = Value;
    if (FWidthWithCaption > 0 && FWidthWithoutCaption > 0)
        SetWidth(Value ? FWidthWithCaption : FWidthWithoutCaption);
    else
        Repaint();
}

void TbsSkinSpeedButton::SetImageList(TCustomImageList* Value) {
    FButtonImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinSpeedButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    // Outside a tool bar the new image shows at the next repaint.
    if (ToolBarOf(this))
        Repaint();
}

void TbsSkinSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    Repaint();
}

void TbsSkinSpeedButton::SetNumGlyphs(int Value) {
    FNumGlyphs = Value;
    Repaint();
}

void TbsSkinSpeedButton::SetMargin(int Value) {
    if (Value != FMargin && Value >= -1) {
        FMargin = Value;
        Repaint();
    }
}

void TbsSkinSpeedButton::SetSpacing(int Value) {
    if (Value != FSpacing) {
        FSpacing = Value;
        Repaint();
    }
}

void TbsSkinSpeedButton::SetLayout(TbsButtonLayout Value) {
    if (Value != FLayout) {
        FLayout = Value;
        Repaint();
    }
}

void TbsSkinSpeedButton::SetDown(bool Value) {
    FDown = Value;
    if (MorphApplies()) {
        FMorphKf = 1;
        if (Value)
            StopMorph();
        else
            StartMorph();
    }
    Repaint();
    if (!Value || FGroupIndex == 0 || FAllowAllUp || !Parent())
        return;
    for (int I = 0; I < Parent()->ControlCount(); ++I) {
        auto* Other = dynamic_cast<TbsSkinSpeedButton*>(Parent()->Controls(I));
        if (Other && Other != this && Other->FGroupIndex == FGroupIndex && Other->FDown)
            Other->SetDown(false);
    }
}

void TbsSkinSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TbsGraphicSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinImagesMenu)
        FSkinImagesMenu = nullptr;
    if (AComponent == FButtonImages)
        FButtonImages = nullptr;
}

void TbsSkinSpeedButton::RefreshButton() {
    FMouseIn = false;
    FDown = false;
    if (MorphApplies())
        FMorphKf = 0;
    if (EffectsOn())
        StopAnimate();
    Repaint();
}

void TbsSkinSpeedButton::Click() {
    if (!Action())
        TbsGraphicSkinCustomControl::Click();
}

void TbsSkinSpeedButton::ButtonClick() {
    TBasicAction* A = Action();
    if (OnClick && A && !SameEventCode(A->OnExecute, OnClick)) {
        OnClick(this);
        return;
    }
    if (A && !Designing()) {
        ActionLink()->Execute();
        return;
    }
    if (OnClick)
        OnClick(this);
}

void TbsSkinSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TActionClient::ActionChange(Sender, CheckDefaults);
    TakeActionGlyph(FGlyph.get(), Sender);
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// Record and size

void TbsSkinSpeedButton::GetSkinData() {
    TbsGraphicSkinCustomControl::GetSkinData();
    if (FIndex == -1) {
        ActiveSkinRect = TRect();
        return;
    }
    auto* R = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList[std::size_t(FIndex)].get());
    if (!R)
        return;
    CopyButtonRecord(*R, SkinRect);
    // A transparent button shows no transition.
    if (Transparent())
        Morphing = false;
    if (EffectsOn() && AnimateTimer.Running() && CurrentFrame > 0 && CurrentFrame <= FrameCount) {
        const TRect Frame = AnimationFrameRect(AnimateSkinRect, SkinRect, FrameCount, CurrentFrame);
        if (AnimateInc)
            ActiveSkinRect = Frame;
        else
            SkinRect = Frame;
    }
}

void TbsSkinSpeedButton::CalcSize(int& W, int& H) {
    if (FUseSkinSize || ResizeMode == 1) {
        TbsGraphicSkinCustomControl::CalcSize(W, H);
        return;
    }
    NewClRect = Rect(ClRect.Left, ClRect.Top, ClRect.Right + W - GetRectWidth(SkinRect),
                     ClRect.Bottom + H - GetRectHeight(SkinRect));
}

void TbsSkinSpeedButton::ChangeSkinData() {
    StopAnimate();
    StopMorph();
    TbsGraphicSkinCustomControl::ChangeSkinData();
    FMorphKf = MorphApplies() && FIndex != -1 && FMouseIn && !Transparent() ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Painting

TbsButtonContent TbsSkinSpeedButton::Content(bool Pressed, bool ToolBarHot, int GlyphNum) {
    TbsButtonContent C;
    C.ImagesMenu = FSkinImagesMenu;
    C.UseImagesMenuImage = FUseImagesMenuImage;
    C.UseImagesMenuCaption = FUseImagesMenuCaption;
    C.Enabled = Enabled();
    if (TbsToolBarParent* Bar = ToolBarOf(this); Bar && FGlyph->Empty()) {
        // A tool bar's disabled images are drawn as they are, not greyed.
        if (!Enabled() && Bar->DisabledImages()) {
            C.ToolBarImages = Bar->DisabledImages();
            C.Enabled = true;
        } else if (Bar->HotImages() && ToolBarHot)
            C.ToolBarImages = Bar->HotImages();
        else
            C.ToolBarImages = Bar->Images();
    }
    C.Images = FGlyph->Empty() ? FButtonImages : nullptr;
    C.ImageIndex = FImageIndex;
    C.Glyph = FGlyph.get();
    C.NumGlyphs = FNumGlyphs;
    C.GlyphNum = GlyphNum;
    C.Caption = ShownCaption();
    C.Margin = FMargin;
    C.Spacing = FSpacing;
    C.Layout = FLayout;
    C.Pressed = Pressed;
    C.ImagePressed = Pressed;
    C.DrawColorMarker = FDrawColorMarker;
    C.ColorMarkerValue = FColorMarkerValue;
    return C;
}

void TbsSkinSpeedButton::SetFaceFont(TCanvas* Canvas, bool AActive, bool ADown) {
    if (FUseSkinFont && FIndex != -1) {
        Canvas->Font()->SetName(FontName);
        Canvas->Font()->SetHeight(FontHeight);
        Canvas->Font()->SetStyle(FontStyle);
    } else {
        Canvas->Font()->Assign(FDefaultFont.get());
    }
    if (Enabled() && !FUseSkinFontColor)
        Canvas->Font()->SetColor(FDefaultFont->Color());
    else if (!Enabled())
        Canvas->Font()->SetColor(DisabledFontColor);
    else if (AActive && ADown)
        Canvas->Font()->SetColor(DownFontColor);
    else if (AActive)
        Canvas->Font()->SetColor(ActiveFontColor);
    else
        Canvas->Font()->SetColor(FontColor);
}

void TbsSkinSpeedButton::PaintContentOnly(const TRect& R) {
    TCanvas* C = Canvas();
    if (FIndex != -1 && FUseSkinFont) {
        C->Font()->SetName(FontName);
        C->Font()->SetHeight(FontHeight);
        C->Font()->SetStyle(FontStyle);
    } else {
        C->Font()->Assign(FDefaultFont.get());
    }
    if (!Enabled())
        C->Font()->SetColor(FIndex != -1 ? FSD->SkinColors()->FcBtnShadow : clBtnShadow);
    else if (FIndex != -1 && FUseSkinFontColor)
        C->Font()->SetColor(FSD->SkinColors()->FcBtnText);
    else
        C->Font()->SetColor(FDefaultFont->Color());
    bool DoDefault = true;
    if (OnPaint)
        OnPaint(this, C, DoDefault, FMouseIn, FDown, R);
    if (!DoDefault)
        return;
    C->Brush()->SetStyle(bsClear);
    DrawButtonContent(C, R, Content(false, false, GlyphNumber(FDown, FMouseIn, Enabled(), FNumGlyphs)));
}

void TbsSkinSpeedButton::Paint() {
    GetSkinData();
    if (Width() < 1 || Height() < 1)
        return;
    if (FIndex == -1) {
        if (!PressedLook() && !FMouseIn && Transparent())
            PaintContentOnly(Rect(0, 0, Width(), Height()));
        else
            TbsGraphicSkinControl::Paint();
        return;
    }
    TBitmap B(Width(), Height());
    if (MorphApplies() && FMorphKf != 0 && FMorphKf != 1 && !Transparent()) {
        TBitmap Hot(Width(), Height());
        CreateButtonImage(&B, SkinRect, false, false);
        CreateButtonImage(&Hot, ActiveSkinRect, true, false);
        DrawMorphedFaces(Canvas(), &B, &Hot, MorphKind, FMorphKf);
        return;
    }
    if (PressedLook()) {
        CreateButtonImage(&B, DownSkinRect, true, true);
    } else if (FMouseIn || (MorphApplies() && FMorphKf == 1)) {
        CreateButtonImage(&B, ActiveSkinRect, true, false);
    } else if (Transparent()) {
        PaintContentOnly(NewClRect);
        return;
    } else if (!Enabled() && !IsNullRect(DisabledSkinRect)) {
        CreateButtonImage(&B, DisabledSkinRect, false, false);
    } else {
        CreateButtonImage(&B, SkinRect, false, false);
    }
    Canvas()->Draw(0, 0, &B);
}

void TbsSkinSpeedButton::CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) {
    TRect TextR;
    if (FUseSkinSize || ResizeMode == 1) {
        DrawSkinImage(B, Picture, R);
        TextR = NewClRect;
    } else {
        if (Picture && ResizeMode == 0)
            B->Canvas()->CopyRect(Rect(0, 0, B->Width(), B->Height()), Picture->Canvas(), R);
        else if (Picture && (ResizeMode == 2 || ResizeMode == 3))
            DrawNinePartSkinImageByClientRect(B, Picture, R, ClRect, true);
        TextR = Rect(ClRect.Left, ClRect.Top, ClRect.Right + B->Width() - GetRectWidth(R),
                     ClRect.Bottom + B->Height() - GetRectHeight(R));
    }
    TCanvas* C = B->Canvas();
    SetFaceFont(C, AActive, ADown);
    bool DoDefault = true;
    if (OnPaint)
        OnPaint(this, C, DoDefault, AActive, ADown, TextR);
    if (!DoDefault)
        return;
    C->Brush()->SetStyle(bsClear);
    DrawButtonContent(C, TextR,
                      Content(AActive && ADown, AActive || ADown, GlyphNumber(ADown, AActive, Enabled(), FNumGlyphs)));
}

void TbsSkinSpeedButton::CreateControlDefaultImage(TBitmap* B) {
    const TRect R = Rect(0, 0, B->Width(), B->Height());
    TCanvas* C = B->Canvas();
    bool Pressed = false;
    if (PressedLook()) {
        DrawDefaultFrame(C, R, clNavy, TColor(RGB(133, 147, 181)));
        Pressed = true;
    } else if (FMouseIn) {
        DrawDefaultFrame(C, R, clNavy, TColor(RGB(182, 189, 210)));
    } else if (Designing() || !FFlat) {
        DrawDefaultFrame(C, R, clBtnShadow, clBtnFace);
    } else if (!Transparent()) {
        DrawDefaultFrame(C, R, clBtnFace, clBtnFace);
    }
    C->Font()->Assign(FDefaultFont.get());
    if (!Enabled())
        C->Font()->SetColor(clBtnShadow);
    bool DoDefault = true;
    if (OnPaint)
        OnPaint(this, C, DoDefault, FMouseIn, FDown, R);
    if (!DoDefault)
        return;
    C->Brush()->SetStyle(bsClear);
    TbsButtonContent Face = Content(Pressed, FMouseIn || FDown, GlyphNumber(FDown, FMouseIn, Enabled(), FNumGlyphs));
    Face.ImagePressed = FDown && FMouseIn;
    DrawButtonContent(C, R, Face);
}

void TbsSkinSpeedButton::DrawMenuMarker(TCanvas* Canvas, const TRect& R, bool AActive, bool ADown, bool AFlat) {
    if (!Picture)
        return;
    const TRect Src = ADown     ? MenuMarkerDownRect
                      : AActive ? MenuMarkerActiveRect
                      : AFlat   ? MenuMarkerFlatRect
                                : MenuMarkerRect;
    if (IsNullRect(Src))
        return;
    TBitmap Marker(GetRectWidth(Src), GetRectHeight(Src));
    Marker.Canvas()->CopyRect(Rect(0, 0, Marker.Width(), Marker.Height()), Picture->Canvas(), Src);
    Marker.SetTransparentMode(tmFixed);
    Marker.SetTransparentColor(MenuMarkerTransparentColor);
    Marker.SetTransparent(true);
    Canvas->Draw(R.Left + GetRectWidth(R) / 2 - Marker.Width() / 2, R.Top + GetRectHeight(R) / 2 - Marker.Height() / 2,
                 &Marker);
}

// ---------------------------------------------------------------------------------------------
// Transition, animation, repetition

void TbsSkinSpeedButton::StartMorph() {
    if (MorphApplies() && FIndex != -1 && !Transparent()) {
        if (!MorphTimer.Running())
            MorphTimer.Start(20, [this] { MorphTick(); });
    } else {
        Repaint();
    }
}

void TbsSkinSpeedButton::MorphTick() {
    if (FIndex == -1 || !MorphApplies()) {
        FMorphKf = FMouseIn ? 1 : 0;
        StopMorph();
        return;
    }
    if (!StepMorphFactor(FMorphKf, FMouseIn))
        StopMorph();
    Repaint();
}

void TbsSkinSpeedButton::StartAnimate(bool Forward) {
    StopAnimate();
    AnimateInc = Forward;
    CurrentFrame = Forward ? 1 : FrameCount;
    AnimateTimer.Start(Cardinal(AnimateInterval), [this] { AnimateTick(); });
}

void TbsSkinSpeedButton::StopAnimate() {
    CurrentFrame = 0;
    AnimateTimer.Stop();
}

void TbsSkinSpeedButton::AnimateTick() {
    if (AnimateInc) {
        if (CurrentFrame <= FrameCount) {
            ++CurrentFrame;
            Repaint();
        }
        if (CurrentFrame > FrameCount)
            StopAnimate();
    } else {
        if (CurrentFrame >= 0) {
            --CurrentFrame;
            Repaint();
        }
        if (CurrentFrame <= 0)
            StopAnimate();
    }
}

void TbsSkinSpeedButton::StartRepeat() {
    // The first tick, after 500 ms, only sets the pace; every further one clicks.
    RepeatTimer.Start(500, [this] { RepeatTimer.Start(Cardinal(FRepeatInterval), [this] { ButtonClick(); }); });
}

// ---------------------------------------------------------------------------------------------
// Mouse and messages

void TbsSkinSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (AnimationApplies())
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

void TbsSkinSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || Alive.expired())
        return;
    FMouseDown = false;
    const bool Over = FMouseIn && PtInRect(Rect(0, 0, Width(), Height()), TPoint{X, Y});
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

void TbsSkinSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    }
    TbsGraphicSkinCustomControl::Dispatch(Message);
}

void TbsSkinSpeedButton::CMMouseEnter(TMessage& Message) {
    TbsGraphicSkinCustomControl::Dispatch(Message);
    if (!Enabled() || Designing())
        return;
    FMouseIn = true;
    if (FGroupIndex == 0 || !FDown) {
        if (FDown) {
            if (MorphApplies())
                FMorphKf = 1;
            Repaint();
        } else {
            if (AnimationApplies())
                StartAnimate(true);
            StartMorph();
        }
    }
    if (FDown && FGroupIndex == 0 && FRepeatMode && FMouseDown)
        StartRepeat();
}

void TbsSkinSpeedButton::CMMouseLeave(TMessage& Message) {
    TbsGraphicSkinCustomControl::Dispatch(Message);
    if (!Enabled() || Designing())
        return;
    FMouseIn = false;
    if (FGroupIndex == 0 || !FDown) {
        if (AnimationApplies())
            StartAnimate(false);
        StartMorph();
    }
    if (FDown && FGroupIndex == 0)
        StopRepeat();
}

void TbsSkinSpeedButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Word(Message.WParam), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
        ButtonClick();
        Message.Result = 1;
        return;
    }
    TbsGraphicSkinCustomControl::Dispatch(Message);
}

void TbsSkinSpeedButton::CMEnabledChanged(TMessage& Message) {
    TbsGraphicSkinCustomControl::Dispatch(Message);
    if (MorphApplies()) {
        StopMorph();
        FMorphKf = 0;
    }
    FMouseIn = false;
    Repaint();
}

void TbsSkinSpeedButton::CMTextChanged(TMessage& Message) {
    TbsGraphicSkinCustomControl::Dispatch(Message);
    Repaint();
}
