#include "skin/forms/TbsSkinCaptionObject.h"

#include <algorithm>
#include <memory>

#include "skin/core/TbsEffectBmp.h"
#include "skin/core/bsBlur.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/bsSkinHint.h"

// ---------------------------------------------------------------------------------------------
// Quick buttons

void TbsQuickButtonItem::Assign(TPersistent* Source) {
    if (auto* Q = dynamic_cast<TbsQuickButtonItem*>(Source)) {
        FImageIndex = Q->FImageIndex;
        FHint = Q->FHint;
        FEnabled = Q->FEnabled;
        FVisible = Q->FVisible;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TbsQuickButtonItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed(false);
}

void TbsQuickButtonItem::SetEnabled(bool Value) {
    FEnabled = Value;
    Changed(false);
}

void TbsQuickButtonItem::SetVisible(bool Value) {
    FVisible = Value;
    Changed(false);
}

TbsQuickButtonItems::TbsQuickButtonItems(TbsSkinForm* ABSF)
    : TCollection(ItemClassOf<TbsQuickButtonItem>()), FSkinForm(ABSF) {}

TPersistent* TbsQuickButtonItems::GetOwner() const {
    return FSkinForm;
}

void TbsQuickButtonItems::Update(TCollectionItem*) {
    if (!FSkinForm || FSkinForm->ComponentState().Contains(csLoading) ||
        FSkinForm->ComponentState().Contains(csDesigning))
        return;
    TCustomForm* F = FSkinForm->Form();
    if (F && F->HandleAllocated())
        SendMessageW(F->Handle(), WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// The caption object

TbsSkinCaptionObject::TbsSkinCaptionObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
    auto* C = dynamic_cast<TbsDataSkinCaption*>(AData);
    if (!C)
        return;
    FontName = C->FontName;
    FontStyle = C->FontStyle;
    FontHeight = C->FontHeight;
    FontColor = C->FontColor;
    ActiveFontColor = C->ActiveFontColor;
    ShadowColor = C->ShadowColor;
    ActiveShadowColor = C->ActiveShadowColor;
    Shadow = C->Shadow;
    LightColor = C->LightColor;
    ActiveLightColor = C->ActiveLightColor;
    Light = C->Light;
    Alignment = C->Alignment;
    TextRct = C->TextRct;
    FrameRect = C->FrameRect;
    ActiveFrameRect = C->ActiveFrameRect;
    FrameLeftOffset = C->FrameLeftOffset;
    FrameRightOffset = C->FrameRightOffset;
    FrameTextRect = C->FrameTextRect;
    StretchEffect = C->StretchEffect;
    FullFrame = C->FullFrame;
    AnimateSkinRect = C->AnimateSkinRect;
    FrameCount = C->FrameCount;
    AnimateInterval = C->AnimateInterval;
    InActiveAnimation = C->InActiveAnimation;
    VistaGlowEffect = C->VistaGlowEffect;
    VistaGlowInActiveEffect = C->VistaGlowInActiveEffect;
    GlowEffect = C->GlowEffect;
    GlowInActiveEffect = C->GlowInActiveEffect;
    GlowSize = C->GlowSize;
    GlowColor = C->GlowColor;
    GlowActiveColor = C->GlowActiveColor;
    GlowOffset = C->GlowOffset;
    ReflectionEffect = C->ReflectionEffect;
    ReflectionColor = C->ReflectionColor;
    ReflectionActiveColor = C->ReflectionActiveColor;
    ReflectionOffset = C->ReflectionOffset;
    // Images of the active picture count as empty without one.
    if (!ActivePicture) {
        FrameRect = ActiveFrameRect = AnimateSkinRect = TRect{};
    }
}

bool TbsSkinCaptionObject::EnableAnimation() {
    return SD && !SD->Empty && SD->EnableSkinEffects() && !IsNullRect(AnimateSkinRect) && FrameCount > 0;
}

bool TbsSkinCaptionObject::HasQuickButtons() {
    return Parent->QuickButtons()->Count() > 0 && Parent->QuickImageList();
}

int TbsSkinCaptionObject::QuickButtonsWidth() {
    if (!HasQuickButtons())
        return 0;
    return Parent->QuickButtons()->Count() * (Parent->QuickImageList()->Width() + 8);
}

void TbsSkinCaptionObject::SetupFont(TCanvas* C, TColor Color) {
    TFont* F = C->Font();
    F->SetName(FontName);
    F->SetStyle(FontStyle);
    F->SetHeight(FontHeight);
    F->SetColor(Color);
    if (SD && SD->ResourceStrData())
        F->SetCharset(SD->ResourceStrData()->CharSet());
    else
        F->SetCharset(Parent->DefCaptionFont()->Charset());
}

void TbsSkinCaptionObject::MakeBackground(TBitmap& B, TBitmap* P, const TRect& S) {
    int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    if (!P || IsNullRect(S) || W <= 0 || H <= 0)
        return;
    int L = std::max(0, SD->LTPoint.X - SkinRect.Left);
    int R = std::max(0, SkinRect.Right - SD->RTPoint.X);
    if (L == 0 && R == 0) {
        B.Canvas()->CopyRect(Rect(0, 0, W, H), P->Canvas(), S);
        return;
    }
    DrawSkinStripH(L, R, &B, P, S, W, H, StretchEffect);
}

// Frame N of the animation strip: stacked when the strip is higher than the caption, else side by side.
TRect TbsSkinCaptionObject::AnimationFrame(int N) const {
    const TRect& A = AnimateSkinRect;
    if (GetRectHeight(A) > GetRectHeight(SkinRect)) {
        int H = GetRectHeight(A) / FrameCount;
        return TRect{A.Left, A.Top + H * (N - 1), A.Right, A.Top + H * N};
    }
    int W = GetRectWidth(A) / FrameCount;
    return TRect{A.Left + W * (N - 1), A.Top, A.Left + W * N, A.Bottom};
}

String TbsSkinCaptionObject::CaptionText() {
    TCustomForm* F = Parent->Form();
    String Text = F->Caption();
    if (Parent->MDIChildMaximized())
        if (TForm* Child = Parent->FindMaximizedMDIChild())
            Text += u" - [" + Child->Caption() + u"]";
    return Text;
}

void TbsSkinCaptionObject::DrawEffected(TCanvas* Cnvs, TBitmap& B) {
    if (SD->AutoRenderingInActiveImage && !Active) {
        std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(B.Handle()));
        E->ApplyInActiveEffect(SD->InActiveEffect);
        E->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
        return;
    }
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinCaptionObject::Draw(TCanvas* Cnvs, bool) {
    if (SkinEmpty())
        return;
    FDrawCanvas = Cnvs;
    TR = TextRct;
    if (!IsNullRect(TextRct)) {
        TR.Right = GetRectWidth(ObjectRect) - (GetRectWidth(SkinRect) - TextRct.Right);
        TR.Left += QuickButtonsWidth();
    }
    if (HasQuickButtons())
        DrawQuickButtons(Cnvs);
    if (!IsNullRect(FrameRect)) {
        TR.Top += FrameTextRect.Top;
        TR.Left += FrameTextRect.Left;
        TR.Right -= GetRectWidth(FrameRect) - FrameTextRect.Right;
    }
    SetupFont(Cnvs, Active ? ActiveFontColor : FontColor);
    int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;

    // The animation keeps the look of the state being left.
    if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
        TBitmap B;
        MakeBackground(B, ActivePicture, AnimationFrame(CurrentFrame));
        SetupFont(B.Canvas(), Active ? FontColor : ActiveFontColor);
        DrawCaptionText(B.Canvas(), 0, 0, !Active);
        Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
        return;
    }
    if (EnableMorphing() && ((FMorphKf > 0 && !Active) || (FMorphKf < 1 && Active))) {
        TBitmap In, Act;
        MakeBackground(In, Picture, SkinRect);
        SetupFont(In.Canvas(), FontColor);
        DrawCaptionText(In.Canvas(), 0, 0, false);
        MakeBackground(Act, ActivePicture, ActiveSkinRect);
        SetupFont(Act.Canvas(), ActiveFontColor);
        DrawCaptionText(Act.Canvas(), 0, 0, true);
        std::unique_ptr<TbsEffectBmp> E1(TbsEffectBmp::CreateFromhWnd(In.Handle()));
        std::unique_ptr<TbsEffectBmp> E2(TbsEffectBmp::CreateFromhWnd(Act.Handle()));
        E1->MorphByKind(MorphKind, *E2, FMorphKf);
        if (SD->AutoRenderingInActiveImage && !Active)
            E1->ApplyInActiveEffect(SD->InActiveEffect);
        E1->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
        return;
    }
    if (IsNullRect(ActiveSkinRect) || (!Active && !EnableMorphing() && !StretchEffect && !EnableAnimation())) {
        DrawCaptionText(Cnvs, ObjectRect.Left, ObjectRect.Top, Active);
        return;
    }
    TBitmap B;
    if (!Active) {
        MakeBackground(B, Picture, SkinRect);
        SetupFont(B.Canvas(), FontColor);
        DrawCaptionText(B.Canvas(), 0, 0, false);
        DrawEffected(Cnvs, B);
        return;
    }
    MakeBackground(B, ActivePicture, ActiveSkinRect);
    SetupFont(B.Canvas(), ActiveFontColor);
    DrawCaptionText(B.Canvas(), 0, 0, true);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinCaptionObject::DrawCaptionText(TCanvas* Canvas, int DX, int DY, bool AActive) {
    if (Parent->OnCaptionPaint) {
        Parent->OnCaptionPaint(FDrawCanvas ? FDrawCanvas : Canvas, ObjectRect, AActive);
        return;
    }
    String Text = CaptionText();
    if (Text.empty() || IsNullRect(TextRct))
        return;
    FitWideTextToWidth(Canvas, Text, GetRectWidth(TR));
    int TW = GetWideTextWidth(Canvas, Text), TH = GetWideTextHeight(Canvas, Text);
    int Y = TR.Top + GetRectHeight(TR) / 2 - TH / 2;
    int X;
    if (Parent->QuickButtons()->Count() > 0 || Alignment == taCenter)
        X = TR.Left + GetRectWidth(TR) / 2 - TW / 2;
    else if (Alignment == taRightJustify)
        X = TR.Right - TW;
    else
        X = TR.Left;
    X += DX;
    Y += DY;
    Canvas->Brush()->SetStyle(bsClear);

    if (!IsNullRect(FrameRect) && ActivePicture) {
        const TRect& S = AActive && !IsNullRect(ActiveFrameRect) ? ActiveFrameRect : FrameRect;
        int FH = GetRectHeight(FrameRect);
        int FW = FullFrame ? GetRectWidth(ObjectRect) - 2 * SD->ButtonsOffset
                           : GetRectWidth(FrameRect) + TW - GetRectWidth(FrameTextRect);
        if (FW > 0) {
            TBitmap Strip;
            Strip.SetPixelFormat(pf24bit);
            DrawSkinStripH(FrameLeftOffset, FrameRightOffset, &Strip, ActivePicture, S, FW, FH, false);
            if (FullFrame)
                Canvas->Draw(DX + SD->ButtonsOffset, Y - FrameTextRect.Top, &Strip);
            else
                Canvas->Draw(X - FrameTextRect.Left, Y - FrameTextRect.Top, &Strip);
            Canvas->Brush()->SetStyle(bsClear);
        }
    }
    TColor TextColor = Canvas->Font()->Color();
    auto Copy = [&](TColor C, int OX, int OY) {
        Canvas->Font()->SetColor(C);
        TRect R{X + OX, Y + OY, X + OX + TW, Y + OY + TH};
        DrawWideText(Canvas, Text, R, 0);
        Canvas->Font()->SetColor(TextColor);
    };
    if (Light)
        Copy(AActive ? ActiveLightColor : LightColor, -1, -1);
    if (Shadow)
        Copy(AActive ? ActiveShadowColor : ShadowColor, 1, 1);
    TRect R{X, Y, X, Y};
    DrawWideText(Canvas, Text, R, DT_CALCRECT);
    const UINT Flags = DT_VCENTER;
    if (ReflectionEffect)
        DrawReflectionText(Canvas, R, Text, AActive ? ReflectionActiveColor : ReflectionColor, ReflectionOffset, Flags);
    else if (VistaGlowEffect && (AActive || VistaGlowInActiveEffect))
        DrawVistaGlowText(Canvas, R, Text, AActive ? GlowActiveColor : GlowColor, Flags);
    else if (GlowEffect && (AActive || GlowInActiveEffect))
        DrawGlowText(Canvas, R, Text, GlowSize, AActive ? GlowActiveColor : GlowColor, GlowOffset, Flags);
    else
        DrawWideText(Canvas, Text, R, Flags);
}

// ---- mouse and quick buttons

void TbsSkinCaptionObject::RepaintFrame() {
    TCustomForm* F = Parent->Form();
    if (F->HandleAllocated())
        SendMessageW(F->Handle(), WM_NCPAINT, 0, 0);
}

void TbsSkinCaptionObject::MouseEnter() {
    FMouseIn = true;
    if (Parent->OnMouseEnterEvent)
        Parent->OnMouseEnterEvent(IDName);
}

void TbsSkinCaptionObject::MouseLeave() {
    FMouseIn = false;
    if (Parent->OnMouseLeaveEvent)
        Parent->OnMouseLeaveEvent(IDName);
    if (HasQuickButtons()) {
        ActiveQuickButton = OldActiveQuickButton = -1;
        TrackQuickButtons(-1, -1);
    }
}

void TbsSkinCaptionObject::MouseMove(int X, int Y) {
    TbsActiveSkinObject::MouseMove(X, Y);
    if (HasQuickButtons())
        TrackQuickButtons(X, Y);
}

void TbsSkinCaptionObject::MouseDown(int X, int Y, TMouseButton Button) {
    TbsActiveSkinObject::MouseDown(X, Y, Button);
    if (!HasQuickButtons())
        return;
    TrackQuickButtons(X, Y);
    TbsQuickButtonItems* Q = Parent->QuickButtons();
    if (ActiveQuickButton != -1) {
        for (int I = 0; I < Q->Count(); ++I) {
            Q->Items(I)->Down = I == ActiveQuickButton;
            if (I != ActiveQuickButton)
                Q->Items(I)->Active = false;
        }
        RepaintFrame();
    }
    if (Parent->QuickButtonsShowHint() && Parent->SkinHint())
        Parent->SkinHint()->HideHint();
}

void TbsSkinCaptionObject::MouseUp(int X, int Y, TMouseButton Button) {
    // Reported wherever the pointer is.
    if (Parent->OnMouseUpEvent)
        Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
    if (!HasQuickButtons())
        return;
    TrackQuickButtons(X, Y);
    if (ActiveQuickButton == -1)
        return;
    TbsQuickButtonItems* Q = Parent->QuickButtons();
    for (int I = 0; I < Q->Count(); ++I)
        Q->Items(I)->Down = false;
    RepaintFrame();
    TbsQuickButtonItem* Item = Q->Items(ActiveQuickButton);
    if (Item->OnClick)
        Item->OnClick(this);
}

void TbsSkinCaptionObject::TrackQuickButtons(int X, int Y) {
    TbsQuickButtonItems* Q = Parent->QuickButtons();
    if (Q->Count() == 0)
        return;
    OldActiveQuickButton = ActiveQuickButton;
    ActiveQuickButton = -1;
    for (int I = 0; I < Q->Count(); ++I) {
        TbsQuickButtonItem* It = Q->Items(I);
        const TRect& R = It->ItemRect;
        if (It->Enabled() && It->Visible() && X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) {
            ActiveQuickButton = I;
            break;
        }
    }
    bool FlagChanged = false;
    for (int I = 0; I < Q->Count(); ++I) {
        bool A = I == ActiveQuickButton;
        if (Q->Items(I)->Active != A) {
            Q->Items(I)->Active = A;
            FlagChanged = true;
        }
    }
    bool Moved = ActiveQuickButton != OldActiveQuickButton;
    if (Moved || FlagChanged)
        RepaintFrame();
    TbsSkinHint* Hint = Parent->SkinHint();
    if (Moved && ActiveQuickButton != -1 && Hint && Parent->QuickButtonsShowHint() &&
        !Q->Items(ActiveQuickButton)->Hint().empty())
        Hint->ActivateHint2(Q->Items(ActiveQuickButton)->Hint());
    if (FlagChanged && Parent->QuickButtonsShowHint() && ActiveQuickButton == -1 && Hint)
        Hint->HideHint();
}

void TbsSkinCaptionObject::DrawQuickButtons(TCanvas* Canvas) {
    TbsQuickButtonItems* Q = Parent->QuickButtons();
    TCustomImageList* IL = Parent->QuickImageList();
    if (Q->Count() == 0 || !IL)
        return;
    int IW = IL->Width(), IH = IL->Height();
    int X = ObjectRect.Left;
    int Y = ObjectRect.Top + GetRectHeight(ObjectRect) / 2 - IH / 2 - 2;
    TbsDataSkinButtonControl* Back = nullptr;
    if (SD && !SD->Empty)
        for (const char16_t* Name : {u"officequickbutton", u"resizetoolbutton"}) {
            int I = SD->GetControlIndex(Name);
            if (I >= 0) {
                Back = dynamic_cast<TbsDataSkinButtonControl*>(SD->CtrlList[std::size_t(I)].get());
                break;
            }
        }
    for (int I = 0; I < Q->Count(); ++I) {
        TbsQuickButtonItem* It = Q->Items(I);
        if (!It->Visible())
            continue;
        It->ItemRect = TRect{X, Y, X + IW + 4, Y + IH + 4};
        const TRect& R = It->ItemRect;
        if (It->Active && Back && Back->PictureIndex >= 0 && Back->PictureIndex < int(SD->FActivePictures.size())) {
            const TRect& S = It->Down ? Back->DownSkinRect : Back->ActiveSkinRect;
            if (!IsNullRect(S)) {
                TBitmap B;
                B.SetPixelFormat(pf24bit);
                B.SetSize(GetRectWidth(R), GetRectHeight(R));
                DrawNinePartSkinImageByClientRect(&B, SD->FActivePictures[std::size_t(Back->PictureIndex)].get(), S,
                                                  Back->ClRect, true);
                Canvas->Draw(R.Left, R.Top, &B);
            }
        }
        IL->Draw(Canvas, R.Left + GetRectWidth(R) / 2 - IW / 2, R.Top + GetRectHeight(R) / 2 - IH / 2, It->ImageIndex(),
                 It->Enabled());
        X += IW + 8;
    }
}
