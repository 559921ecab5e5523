#include "skin/controls/TbsSkinButton.h"

#include "platform/gdi/WinGdi.h"

TbsSkinButton::TbsSkinButton(TComponent* AOwner)
    : TbsSkinCustomControl(AOwner), TbsButtonCommon(this), TActionClient(this) {
    FLayerManager = new TbsLayerManager(this);
    // The button clicks by its own rules (ButtonClick); the class library's click on release stays off.
    SetControlStyle(ControlStyle() - csClickEvents);
    SetTabStop(true);
    FSkinDataName = u"button";
    SetBounds(Left(), Top(), 75, 25);
}

TbsSkinButton::~TbsSkinButton() = default;

// ---------------------------------------------------------------------------------------------
// Derived states

bool TbsSkinButton::EffectsOn() const {
    return FSD && !FSD->Empty && FSD->EnableSkinEffects();
}

bool TbsSkinButton::FocusHot() {
    return FCanFocused && HandleAllocated() && Focused();
}

bool TbsSkinButton::PressedLook() {
    if (!FDown)
        return false;
    return FGroupIndex != 0 || FMouseIn || (FocusHot() && !FMouseDown);
}

bool TbsSkinButton::AnimationApplies() const {
    return FIndex != -1 && EffectsOn() && !IsNullRect(AnimateSkinRect);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinButton::SetDefault(bool Value) {
    FDefault = Value;
    if (HandleAllocated() && FCanFocused)
        if (TCustomForm* Form = GetParentForm(this))
            Form->Perform(CM_FOCUSCHANGED, 0, LPARAM(Form->ActiveControl()));
}

void TbsSkinButton::SetCanFocused(bool Value) {
    FCanFocused = Value;
    SetTabStop(Value);
}

void TbsSkinButton::SetGroupIndex(int Value) {
    FGroupIndex = Value;
    if (Value != 0)
        SetCanFocused(false);
}

void TbsSkinButton::SetImageList(TCustomImageList* Value) {
    FImageList = Value;
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinButton::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Repaint();
    }
}

void TbsSkinButton::SetSkinImagesMenu(TbsCustomImagesMenu* Value) {
    FSkinImagesMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinImagesMenu)
        FSkinImagesMenu = nullptr;
    if (AComponent == FImageList)
        FImageList = nullptr;
    if (AComponent == FLayerManager)
        FLayerManager = nullptr;
}

void TbsSkinButton::CreateWnd() {
    TbsSkinCustomControl::CreateWnd();
    FActive = FDefault;
}

// ---------------------------------------------------------------------------------------------
// Clicks

void TbsSkinButton::Click() {
    if (!Action())
        TbsSkinCustomControl::Click();
}

void TbsSkinButton::ButtonClick() {
    if (FCanFocused)
        if (TCustomForm* Form = GetParentForm(this))
            Form->SetModalResult(FModalResult);
    ClickOrExecute(*this, Designing());
}

void TbsSkinButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TActionClient::ActionChange(Sender, CheckDefaults);
    TakeActionGlyph(FGlyph.get(), Sender);
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// Record and size

void TbsSkinButton::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1) {
        AnimateSkinRect = TRect();
        return;
    }
    TbsDataSkinButtonControl* R = ButtonRecordOf(FSD, FIndex);
    if (!R)
        return;
    // A free-size button has no region.
    if (!FUseSkinSize && R->MaskPictureIndex != -1)
        MaskPicture = nullptr;
    CopyButtonRecord(*R, SkinRect);
    ApplyAnimationFrame(SkinRect);
}

void TbsSkinButton::CalcSize(int& W, int& H) {
    if (SkinSized(*this)) {
        TbsSkinCustomControl::CalcSize(W, H);
        return;
    }
    FreeSizeClient(*this, W, H);
}

void TbsSkinButton::BeforeChangeSkinData() {
    TbsSkinCustomControl::BeforeChangeSkinData();
    if (FGlowShown)
        HideLayer();
}

void TbsSkinButton::ChangeSkinData() {
    StopMorph();
    StopAnimate();
    FMorphKf = 0;
    TbsSkinCustomControl::ChangeSkinData();
    if (MorphApplies() && FIndex != -1 && (FocusHot() || FMouseIn))
        FMorphKf = 1;
    if (FMouseIn)
        PostToSelf(WM_SHOWLAYER);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinButton::Paint() {
    GetSkinData();
    if (FIndex == -1) {
        TbsSkinCustomControl::Paint();
        return;
    }
    if (Width() < 1 || Height() < 1)
        return;
    int W = Width();
    int H = Height();
    CalcSize(W, H);
    if (MorphApplies() && FMorphKf > 0 && FMorphKf < 1 && Enabled()) {
        PaintMorph(Canvas(), SkinRect, ActiveSkinRect);
        return;
    }
    TBitmap B(Width(), Height());
    const bool FocusedLook = FocusHot();
    if (!Enabled() && !IsNullRect(DisabledSkinRect))
        CreateButtonImage(&B, DisabledSkinRect, false, false);
    else if (PressedLook())
        CreateButtonImage(&B, DownSkinRect, true, true);
    else if (FocusedLook && !IsNullRect(FocusedSkinRect) && !AnimateTimer.Running())
        CreateButtonImage(&B, FocusedSkinRect, true, false);
    else if (FocusedLook || FMouseIn || (MorphApplies() && FMorphKf >= 1))
        CreateButtonImage(&B, ActiveSkinRect, true, false);
    else
        CreateButtonImage(&B, SkinRect, false, false);
    Canvas()->Draw(0, 0, &B);
}

TbsButtonContent TbsSkinButton::Content(bool Pressed, bool ImagePressed, int GlyphNum) {
    TbsButtonContent C;
    C.ImagesMenu = FSkinImagesMenu;
    C.UseImagesMenuImage = FUseImagesMenuImage;
    C.UseImagesMenuCaption = FUseImagesMenuCaption;
    C.Images = FImageList;
    C.ImageIndex = FImageIndex;
    C.Glyph = FGlyph.get();
    C.NumGlyphs = FNumGlyphs;
    C.GlyphNum = GlyphNum;
    C.Caption = Caption();
    C.Margin = FMargin;
    C.Spacing = FSpacing;
    C.Layout = FLayout;
    C.Enabled = Enabled();
    C.Pressed = Pressed;
    C.ImagePressed = ImagePressed;
    return C;
}

void TbsSkinButton::CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) {
    const TRect TextR = DrawFaceBackground(
        B, R, *this, [this](TBitmap* Dest, TBitmap* Source, const TRect& Face) { DrawSkinImage(Dest, Source, Face); });
    TCanvas* C = B->Canvas();
    SetFaceFont(C, FUseSkinFont, FDefaultFont.get(), AActive, ADown);
    if (ShowFocus && HandleAllocated() && Focused()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(C, TextR);
        C->Brush()->SetStyle(bsClear);
    }
    PaintContent(C, TextR, AActive, ADown, TextR,
                 Content(AActive && ADown, AActive && ADown, GlyphNumber(FDown, AActive, Enabled(), FNumGlyphs)));
}

void TbsSkinButton::CreateControlDefaultImage(TBitmap* B) {
    const TRect R = Rect(0, 0, B->Width(), B->Height());
    TCanvas* C = B->Canvas();
    bool Pressed = false;
    if (PressedLook()) {
        DrawDefaultFrame(C, R, clNavy, TColor(RGB(133, 147, 181)));
        Pressed = true;
    } else if (FMouseIn || FocusHot()) {
        DrawDefaultFrame(C, R, clNavy, TColor(RGB(182, 189, 210)));
    } else {
        DrawDefaultFrame(C, R, clBtnShadow, clBtnFace);
    }
    C->Font()->Assign(FDefaultFont.get());
    if (!Enabled())
        C->Font()->SetColor(clBtnShadow);
    PaintContent(C, R, FMouseIn, FDown, R,
                 Content(Pressed, FDown && FMouseIn, GlyphNumber(FDown, FMouseIn, Enabled(), FNumGlyphs)));
}

// ---------------------------------------------------------------------------------------------
// Glow frame

bool TbsSkinButton::GlowApplies() const {
    return FSD && !FSD->Empty && IsWindows2000OrLater() && (FSD->ShowButtonGlowFrames() || FAlwaysShowGlowFrame) &&
           GlowLayerPictureIndex != -1 && FLayerManager;
}

void TbsSkinButton::ShowLayer() {
    if (!GlowApplies())
        return;
    if (auto* Form = dynamic_cast<TForm*>(GetParentForm(this)))
        FLayerManager->TopMostMode = Form->FormStyle() == fsStayOnTop;
    auto Active = [this](int I) -> TBitmap* {
        return I >= 0 && I < int(FSD->FActivePictures.size()) ? FSD->FActivePictures[std::size_t(I)].get() : nullptr;
    };
    TBitmap* Image = Active(GlowLayerPictureIndex);
    TBitmap* Mask = Active(GlowLayerMaskPictureIndex);
    if (!Image || !Mask)
        return;
    const int DW = Width() - GetRectWidth(SkinRect);
    const int DH = Height() - GetRectHeight(SkinRect);
    TBitmap SizedImage, SizedMask;
    auto Resize = [&](TBitmap* Source, TBitmap& Dest) {
        const TRect All = Rect(0, 0, Source->Width(), Source->Height());
        if (ResizeMode == 2) {
            DrawSkinStripH(GlowLayerOffsetLeft, GlowLayerOffsetRight, &Dest, Source, All, Source->Width() + DW,
                           Source->Height(), true);
        } else {
            Dest.SetSize(Source->Width() + DW, Source->Height() + DH);
            const TRect Client = Rect(GlowLayerOffsetLeft, GlowLayerOffsetTop, Source->Width() - GlowLayerOffsetRight,
                                      Source->Height() - GlowLayerOffsetBottom);
            DrawNinePartSkinImageByClientRect(&Dest, Source, All, Client, true);
        }
    };
    if (ResizeMode == 1 || (ResizeMode == 2 && FUseSkinSize)) {
        Resize(Image, SizedImage);
        Resize(Mask, SizedMask);
        Image = &SizedImage;
        Mask = &SizedMask;
    } else if (ResizeMode != 0) {
        return;
    }
    const TPoint P = ClientToScreen(TPoint{0, 0});
    FLayerManager->Show(P.X - GlowLayerShowOffsetX, P.Y - GlowLayerShowOffsetY, Image, Mask, GlowLayerAlphaBlendValue);
    FGlowShown = true;
}

void TbsSkinButton::HideLayer() {
    if (!GlowApplies())
        return;
    if (ResizeMode == 0 || ResizeMode == 1 || (ResizeMode == 2 && FUseSkinSize)) {
        FLayerManager->Hide();
        FGlowShown = false;
    }
}

void TbsSkinButton::PostToSelf(UINT Msg) {
    if (HandleAllocated())
        PostMessageW(Handle(), Msg, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TbsSkinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        PressButton(AnimationApplies());
}

void TbsSkinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    if (Button == mbLeft) {
        ReleaseButton(FMouseIn && PtInRect(ClientRect(), TPoint{X, Y}));
        if (Alive.expired())
            return;
    }
    if (HandleAllocated() && Visible())
        TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinButton::CMMouseEnter(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Designing())
        return;
    FMouseIn = true;
    if ((FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!FocusHot() || FDown))) {
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
    if (FDown && FRepeatMode && FGroupIndex == 0 && FMouseDown)
        StartRepeat();
    PostToSelf(WM_SHOWLAYER);
}

void TbsSkinButton::CMMouseLeave(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Designing())
        return;
    // A default button that answers Enter while the focus is elsewhere stays hot.
    if (!(FDefault && FActive && FCanFocused && !(HandleAllocated() && Focused())))
        FMouseIn = false;
    if ((FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!FocusHot() || FDown))) {
        if (AnimationApplies())
            StartAnimate(false);
        StartMorph();
    }
    if (FDown && FGroupIndex == 0)
        StopRepeat();
    PostToSelf(WM_HIDELAYER);
}

// ---------------------------------------------------------------------------------------------
// Keyboard and focus

bool TbsSkinButton::ButtonKey(TMessage& Message) {
    if (!FCanFocused)
        return false;
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE && FSpaceSupport) {
            if (AnimationApplies())
                StopAnimate();
            FSpaceDown = true;
            SetDown(true);
            if (FRepeatMode)
                ButtonClick();
        } else if (Message.WParam == VK_RETURN && FSpaceSupport) {
            ButtonClick();
        }
        return false;
    case WM_KEYUP:
        // Only a Space that went down on this button clicks it on release.
        if (Message.WParam == VK_SPACE && FSpaceDown) {
            FSpaceDown = false;
            SetDown(false);
            ButtonClick();
        }
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Designing() && !Focused()) {
            FClicksDisabled = true;
            SetFocus();
            FClicksDisabled = false;
            return !Focused();
        }
        return false;
    case CN_COMMAND:
        return FClicksDisabled;
    }
    return false;
}

void TbsSkinButton::WndProc(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    if (ButtonKey(Message) || Alive.expired())
        return;
    TbsSkinCustomControl::WndProc(Message);
}

void TbsSkinButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        WMKillFocus(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    case CM_FOCUSCHANGED:
        CMFocusChanged(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_WANTSPECIALKEY:
        CMWantSpecialKey(Message);
        return;
    case WM_SHOWLAYER:
        ShowLayer();
        return;
    case WM_HIDELAYER:
        HideLayer();
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinButton::WMEraseBkgnd(TMessage& Message) {
    if (!FromWMPaint)
        PaintWindow(HDC(Message.WParam));
    Message.Result = 1;
}

// The focused button answers Enter itself (ButtonKey), so the form's dialog key does not click it again.
void TbsSkinButton::CMWantSpecialKey(TMessage& Message) {
    if (Message.WParam == VK_RETURN && FSpaceSupport && FCanFocused) {
        Message.Result = 1;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinButton::WMSetFocus(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (!FCanFocused)
        return;
    if (AnimationApplies())
        StartAnimate(true);
    StartMorph();
}

void TbsSkinButton::WMKillFocus(TMessage& Message) {
    StopRepeat();
    FSpaceDown = false;
    if (FGroupIndex == 0 && FDown)
        FDown = false;
    TbsSkinCustomControl::Dispatch(Message);
    if (!FCanFocused)
        return;
    if (AnimationApplies())
        StartAnimate(false);
    if (MorphApplies() && FIndex != -1)
        StartMorph();
    else
        Invalidate();
}

void TbsSkinButton::CMEnabledChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    EnabledChanged();
}

void TbsSkinButton::CMTextChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinButton::CMDialogKey(TMessage& Message) {
    const bool NoShift = KeyDataToShiftState(Message.LParam).Empty();
    if ((Message.WParam == VK_RETURN && FActive && Enabled()) ||
        (Message.WParam == VK_ESCAPE && FCancel && FCanFocused && NoShift && CanFocus())) {
        Message.Result = 1;
        ButtonClick();
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Word(Message.WParam), Caption()) && CanFocus() && FCanFocused) {
        SetFocus();
        Message.Result = 1;
        ButtonClick();
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinButton::CMFocusChanged(TMessage& Message) {
    auto* Sender = reinterpret_cast<TWinControl*>(Message.LParam);
    const bool SenderIsButton = dynamic_cast<TbsSkinButton*>(Sender) != nullptr;
    FActive = SenderIsButton ? Sender == this : FDefault;
    if (FDefault && FCanFocused) {
        if (SenderIsButton && Sender != this && FMouseIn) {
            FMouseIn = false;
            StartMorph();
        } else if (!SenderIsButton && !FMouseIn) {
            if (MorphApplies())
                FMorphKf = 1;
            FMouseIn = true;
            StartMorph();
        }
    }
    TbsSkinCustomControl::Dispatch(Message);
}
