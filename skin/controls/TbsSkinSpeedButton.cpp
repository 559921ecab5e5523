#include "skin/controls/TbsSkinSpeedButton.h"

TbsSkinSpeedButton::TbsSkinSpeedButton(TComponent* AOwner)
    : TbsGraphicSkinCustomControl(AOwner), TbsButtonCommon(this), TActionClient(this) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
    FSkinDataName = u"toolbutton";
    SetBounds(Left(), Top(), 25, 25);
}

TbsSkinSpeedButton::~TbsSkinSpeedButton() = default;

bool TbsSkinSpeedButton::EffectsOn() const {
    return FSD && !FSD->Empty && FSD->EnableSkinEffects();
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

void TbsSkinSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TbsGraphicSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinImagesMenu)
        FSkinImagesMenu = nullptr;
    if (AComponent == FButtonImages)
        FButtonImages = nullptr;
}

void TbsSkinSpeedButton::Click() {
    if (!Action())
        TbsGraphicSkinCustomControl::Click();
}

void TbsSkinSpeedButton::ButtonClick() {
    ClickOrExecute(*this, Designing());
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
    TbsDataSkinButtonControl* R = ButtonRecordOf(FSD, FIndex);
    if (!R)
        return;
    CopyButtonRecord(*R, SkinRect);
    // A transparent button shows no transition.
    if (Transparent())
        Morphing = false;
    ApplyAnimationFrame(SkinRect);
}

void TbsSkinSpeedButton::CalcSize(int& W, int& H) {
    if (SkinSized(*this)) {
        TbsGraphicSkinCustomControl::CalcSize(W, H);
        return;
    }
    FreeSizeClient(*this, W, H);
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

void TbsSkinSpeedButton::SetFaceFont(TCanvas* Canvas, bool AActive, bool ADown) const {
    TbsButtonCommon::SetFaceFont(Canvas, FUseSkinFont && FIndex != -1, FDefaultFont.get(), AActive, ADown);
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
    PaintContent(C, R, FMouseIn, FDown, R, Content(false, false, GlyphNumber(FDown, FMouseIn, Enabled(), FNumGlyphs)));
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
    if (MorphApplies() && FMorphKf != 0 && FMorphKf != 1 && !Transparent()) {
        PaintMorph(Canvas(), SkinRect, ActiveSkinRect);
        return;
    }
    TBitmap B(Width(), Height());
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
    const TRect TextR = DrawFaceBackground(
        B, R, *this, [this](TBitmap* Dest, TBitmap* Source, const TRect& Face) { DrawSkinImage(Dest, Source, Face); });
    SetFaceFont(B->Canvas(), AActive, ADown);
    PaintContent(B->Canvas(), TextR, AActive, ADown, TextR,
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
    TbsButtonContent Face = Content(Pressed, FMouseIn || FDown, GlyphNumber(FDown, FMouseIn, Enabled(), FNumGlyphs));
    Face.ImagePressed = FDown && FMouseIn;
    PaintContent(C, R, FMouseIn, FDown, R, Face);
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
// Mouse and messages

void TbsSkinSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        PressButton(AnimationApplies());
}

void TbsSkinSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || Alive.expired())
        return;
    ReleaseButton(FMouseIn && PtInRect(Rect(0, 0, Width(), Height()), TPoint{X, Y}));
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
    EnabledChanged();
}

void TbsSkinSpeedButton::CMTextChanged(TMessage& Message) {
    TbsGraphicSkinCustomControl::Dispatch(Message);
    Repaint();
}
