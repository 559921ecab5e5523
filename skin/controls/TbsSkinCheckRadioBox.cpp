#include "skin/controls/TbsSkinCheckRadioBox.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/WinText.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "skin/core/TbsSkinData.h"

namespace {

bool HasArea(const TRect& R) {
    return R.Right - R.Left > 0 && R.Bottom - R.Top > 0;
}

TRect Offset(TRect R, int DX, int DY) {
    return Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

// Each channel of B moved halfway to white: the grayed look of a check mark.
void Lighten(TBitmap& B) {
    TbsEffectBmp E(B.Width(), B.Height());
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X) {
            const COLORREF C = ColorToRGB(B.Canvas()->Pixels(X, Y));
            E.SetPixel(X, Y,
                       std::uint32_t(GetBValue(C)) | std::uint32_t(GetGValue(C)) << 8 |
                           std::uint32_t(GetRValue(C)) << 16);
        }
    E.ChangeBrightness(0.5);
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X) {
            const std::uint32_t P = E.GetPixel(X, Y);
            B.Canvas()->SetPixels(X, Y, TColor(RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF)));
        }
}

} // namespace

TbsSkinCheckRadioBox::TbsSkinCheckRadioBox(TComponent* AOwner) : TbsSkinCustomControl(AOwner), TActionClient(this) {
    // The box raises its click itself, by its own rules.
    SetControlStyle(ControlStyle() - csClickEvents);
    SetTabStop(false);
    FSkinDataName = u"checkbox";
    SetBounds(Left(), Top(), 150, 25);
}

TbsSkinCheckRadioBox::~TbsSkinCheckRadioBox() {
    MorphTimer.Stop();
}

// ---------------------------------------------------------------------------------------------
// State, group, properties

void TbsSkinCheckRadioBox::SetChecked(bool Value) {
    FChecked = Value;
    if (Value)
        FState = cbChecked;
    else if (FState == cbChecked)
        FState = cbUnchecked;
    Repaint();
    std::weak_ptr<char> Alive = AliveToken();
    if (FChecked && FGroupIndex != 0)
        UncheckGroup();
    if (Alive.expired())
        return;
    if (OnClick && (!FRadio || FChecked))
        OnClick(this);
}

void TbsSkinCheckRadioBox::SetState(TCheckBoxState Value) {
    FState = Value;
    FChecked = Value == cbChecked;
    Repaint();
    if (OnClick)
        OnClick(this);
}

void TbsSkinCheckRadioBox::UncheckGroup() {
    TWinControl* P = Parent();
    if (!P)
        return;
    std::vector<TbsSkinCheckRadioBox*> Group;
    for (int I = 0; I < P->ControlCount(); ++I) {
        auto* Other = dynamic_cast<TbsSkinCheckRadioBox*>(P->Controls(I));
        if (Other && Other != this && Other->FGroupIndex == FGroupIndex && Other->FChecked)
            Group.push_back(Other);
    }
    for (TbsSkinCheckRadioBox* Other : Group)
        Other->SetChecked(false);
}

void TbsSkinCheckRadioBox::Toggle() {
    if (!FRadio)
        SetChecked(!FChecked);
    else if (!FChecked)
        SetChecked(true);
}

void TbsSkinCheckRadioBox::SetAllowGrayed(bool Value) {
    FAllowGrayed = Value;
    Repaint();
}

void TbsSkinCheckRadioBox::SetRadio(bool Value) {
    FRadio = Value;
    Repaint();
}

void TbsSkinCheckRadioBox::SetFlat(bool Value) {
    FFLat = Value;
    Repaint();
}

void TbsSkinCheckRadioBox::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    if (FFLat)
        Repaint();
}

void TbsSkinCheckRadioBox::SetCanFocused(bool Value) {
    FCanFocused = Value;
    SetTabStop(Value);
}

void TbsSkinCheckRadioBox::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinCheckRadioBox::SetImageIndex(int Value) {
    FImageIndex = Value;
    Repaint();
}

void TbsSkinCheckRadioBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TbsSkinCheckRadioBox::ActionChange(TObject* Sender, bool CheckDefaults) {
    TActionClient::ActionChange(Sender, CheckDefaults);
    if (auto* A = dynamic_cast<TCustomAction*>(Sender))
        if (!CheckDefaults || !FChecked)
            SetChecked(A->Checked());
}

bool TbsSkinCheckRadioBox::ValidImage() const {
    return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

bool TbsSkinCheckRadioBox::HasFocus() {
    return HandleAllocated() && Focused();
}

// ---------------------------------------------------------------------------------------------
// Record and size

void TbsSkinCheckRadioBox::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinCheckRadioControl*>(FSD->CtrlList[std::size_t(FIndex)].get());
    if (!R)
        return;
    FontName = R->FontName;
    FontColor = R->FontColor;
    ActiveFontColor = R->ActiveFontColor;
    FrameFontColor = R->FrameFontColor;
    UnEnabledFontColor = R->UnEnabledFontColor;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
    ActiveSkinRect = IsNullRect(R->ActiveSkinRect) ? R->SkinRect : R->ActiveSkinRect;
    CheckImageArea = R->CheckImageArea;
    TextArea = R->TextArea;
    CheckImageRect = R->CheckImageRect;
    UnCheckImageRect = R->UnCheckImageRect;
    ActiveCheckImageRect = IsNullRect(R->ActiveCheckImageRect) ? CheckImageRect : R->ActiveCheckImageRect;
    ActiveUnCheckImageRect = IsNullRect(R->ActiveUnCheckImageRect) ? UnCheckImageRect : R->ActiveUnCheckImageRect;
    UnEnabledCheckImageRect = IsNullRect(R->UnEnabledCheckImageRect) ? CheckImageRect : R->UnEnabledCheckImageRect;
    UnEnabledUnCheckImageRect =
        IsNullRect(R->UnEnabledUnCheckImageRect) ? UnCheckImageRect : R->UnEnabledUnCheckImageRect;
    GrayedCheckImageRect = R->GrayedCheckImageRect;
    ActiveGrayedCheckImageRect = R->ActiveGrayedCheckImageRect;
    Morphing = R->Morphing;
    MorphKind = R->MorphKind;
    if (FFLat) {
        // The flat look blends nothing and has no shape of its own.
        Morphing = false;
        MaskPicture = nullptr;
    }
}

void TbsSkinCheckRadioBox::CalcSize(int& W, int& H) {
    if (FFLat)
        return;
    TbsSkinCustomControl::CalcSize(W, H);
    if (FIndex == -1)
        return;
    const int DX = W - GetRectWidth(SkinRect);
    NewTextArea = TextArea;
    NewTextArea.Right += DX;
    TRect Area = CheckImageArea;
    if (Area.Right > TextArea.Right)
        Area = Offset(Area, DX, 0);
    const int IW = GetRectWidth(CheckImageRect);
    const int IH = GetRectHeight(CheckImageRect);
    CIRect = Bounds(Area.Left + GetRectWidth(Area) / 2 - IW / 2, Area.Top + GetRectHeight(Area) / 2 - IH / 2, IW, IH);
}

void TbsSkinCheckRadioBox::ChangeSkinData() {
    if (FFLat) {
        GetSkinData();
        Repaint();
        return;
    }
    TbsSkinCustomControl::ChangeSkinData();
}

void TbsSkinCheckRadioBox::CheckParentBackground() {
    if (FFLat)
        Repaint();
}

// ---------------------------------------------------------------------------------------------
// Hover transition

bool TbsSkinCheckRadioBox::MorphAllowed() const {
    return Morphing && FSD && !FSD->Empty && FSD->EnableSkinEffects() && FIndex != -1;
}

void TbsSkinCheckRadioBox::StartMorph() {
    if (!MorphAllowed()) {
        Repaint();
        return;
    }
    if (!MorphTimer.Running())
        MorphTimer.Start(20, [this] { MorphTick(); });
}

void TbsSkinCheckRadioBox::MorphTick() {
    const bool Active = FMouseIn || (!FFLat && FCanFocused && HasFocus());
    if (!MorphAllowed()) {
        FMorphKf = Active ? 1 : 0;
        MorphTimer.Stop();
        return;
    }
    if (!StepMorphFactor(FMorphKf, Active))
        MorphTimer.Stop();
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinCheckRadioBox::SetTextFont(TCanvas* C) {
    if (FIndex != -1 && FUseSkinFont) {
        C->Font()->SetName(FontName);
        C->Font()->SetHeight(FontHeight);
        C->Font()->SetStyle(FontStyle);
        C->Font()->SetColor(FDefaultFont->Color());
    } else {
        C->Font()->Assign(FDefaultFont.get());
    }
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        C->Font()->SetCharset(FDefaultFont->Charset());
}

void TbsSkinCheckRadioBox::DrawMark(TCanvas* C, int X, int Y, bool AChecked, bool Grayed, bool Hot) {
    if (!Picture)
        return;
    TRect Src;
    bool Lightened = false;
    auto GrayedFrom = [&](const TRect& CheckImage) {
        if (IsNullRect(GrayedCheckImageRect)) {
            Lightened = true;
            return CheckImage;
        }
        return Hot && !IsNullRect(ActiveGrayedCheckImageRect) ? ActiveGrayedCheckImageRect : GrayedCheckImageRect;
    };
    if (!Enabled())
        Src = Grayed     ? GrayedFrom(UnEnabledCheckImageRect)
              : AChecked ? UnEnabledCheckImageRect
                         : UnEnabledUnCheckImageRect;
    else if (Hot)
        Src = Grayed ? GrayedFrom(ActiveCheckImageRect) : AChecked ? ActiveCheckImageRect : ActiveUnCheckImageRect;
    else
        Src = Grayed ? GrayedFrom(CheckImageRect) : AChecked ? CheckImageRect : UnCheckImageRect;
    if (!HasArea(Src))
        return;
    TBitmap Mark(GetRectWidth(Src), GetRectHeight(Src));
    Mark.Canvas()->CopyRect(Rect(0, 0, Mark.Width(), Mark.Height()), Picture->Canvas(), Src);
    // The key is the mark's own bottom-left pixel, taken before the mark is lightened.
    const TColor Key = Mark.Canvas()->Pixels(0, Mark.Height() - 1);
    if (Lightened)
        Lighten(Mark);
    Mark.SetTransparentMode(tmFixed);
    Mark.SetTransparentColor(Lightened ? Mark.Canvas()->Pixels(0, Mark.Height() - 1) : Key);
    Mark.SetTransparent(true);
    C->Draw(X, Y, &Mark);
}

void TbsSkinCheckRadioBox::DrawDefaultBox(TCanvas* C, bool AChecked, bool Grayed, bool Hot) {
    const int H = Height();
    TRect Box = Rect(3, H / 2 - 7, 17, H / 2 + 7);
    Frame3D(C, Box, Hot ? clNavy : clBtnShadow, Hot ? clNavy : clBtnShadow, 1);
    if (Grayed && !FRadio) {
        DrawCheckImage(C, 7, H / 2 - 4, clGrayText);
        return;
    }
    if (!AChecked)
        return;
    const TColor Mark = Enabled() ? clBlack : clBtnShadow;
    if (FRadio)
        DrawRadioImage(C, 7, H / 2 - 3, Mark);
    else
        DrawCheckImage(C, 7, H / 2 - 4, Mark);
}

// The flat look: the parent's background, the mark, the image and the caption, and the focus rectangle.
void TbsSkinCheckRadioBox::PaintFlat(TCanvas* Target, bool AChecked, bool Hot, bool ShowFocus) {
    const int W = Width();
    const int H = Height();
    TBitmap B(W, H);
    TCanvas* C = B.Canvas();
    PaintParentBackground(this, C);
    const bool Skinned = FIndex != -1;
    const bool Grayed = FState == cbGrayed && !FRadio;
    const int MarkW = Skinned ? GetRectWidth(CheckImageRect) + 7 : 22;
    const int ImageStep = Skinned ? 8 : 5;
    SetTextFont(C);
    C->Brush()->SetStyle(bsClear);
    const String Text = Caption();
    const TRect Client = Rect(0, 0, W, H);
    TRect T;
    TRect WrapR;
    if (FWordWrap) {
        WrapR = Client;
        WrapR.Left = MarkW + (ValidImage() ? FImages->Width() : 0);
        DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &WrapR, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
        WrapR = Offset(WrapR, 0, std::max(0, H / 2 - GetRectHeight(WrapR) / 2) - WrapR.Top);
        T = Client;
    } else {
        T = Rect(0, 0, 0, 0);
        DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &T, DT_CALCRECT);
    }
    T = Offset(T, MarkW, H / 2 - GetRectHeight(T) / 2);
    T.Right = std::min(T.Right, W - 2);
    TRect ImageR;
    if (ValidImage()) {
        ImageR = Bounds(T.Left, H / 2 - FImages->Height() / 2, FImages->Width(), FImages->Height());
        FImages->Draw(C, ImageR.Left, ImageR.Top, FImageIndex, Enabled());
        T = Offset(T, FImages->Width() + ImageStep, 0);
    }
    if (!Enabled())
        C->Font()->SetColor(Skinned ? UnEnabledFontColor : clBtnShadow);
    else if (Skinned && FUseSkinFontColor)
        C->Font()->SetColor(FrameFontColor);
    else
        C->Font()->SetColor(FDefaultFont->Color());
    if (FWordWrap) {
        TRect R = WrapR;
        DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &R, DT_EXPANDTABS | DT_WORDBREAK);
    } else {
        DrawTextVCentered(C, Text, T);
    }
    if (Skinned)
        DrawMark(C, 3, H / 2 - GetRectHeight(CheckImageRect) / 2, AChecked, Grayed, Hot);
    else
        DrawDefaultBox(C, AChecked, Grayed, Hot);
    if (ShowFocus && FCanFocused && HasFocus()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Skinned ? FSD->SkinColors()->FcBtnFace : clBtnFace);
        if (!Text.empty()) {
            const TRect Around = FWordWrap ? WrapR : T;
            DrawSkinFocusRect(C, Rect(Around.Left - 2, Around.Top - 1, Around.Right + 3, Around.Bottom + 1));
        } else if (ValidImage()) {
            DrawSkinFocusRect(C, Rect(ImageR.Left - 1, ImageR.Top - 1, ImageR.Right + 1, ImageR.Bottom + 1));
        }
    }
    Target->Draw(0, 0, &B);
}

void TbsSkinCheckRadioBox::PaintFramedFace(TBitmap* B, bool Active, bool AChecked, bool Hot) {
    DrawSkinImage(B, Picture, Active ? ActiveSkinRect : SkinRect);
    TCanvas* C = B->Canvas();
    DrawMark(C, CIRect.Left, CIRect.Top + GetRectHeight(CIRect) / 2 - GetRectHeight(CheckImageRect) / 2, AChecked,
             FState == cbGrayed && !FRadio, Hot);
    SetTextFont(C);
    C->Font()->SetColor(!Enabled() ? UnEnabledFontColor : Active ? ActiveFontColor : FontColor);
    C->Brush()->SetStyle(bsClear);
    DrawTextVCentered(C, Caption(), NewTextArea);
}

void TbsSkinCheckRadioBox::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlDefaultImage(B);
    TCanvas* C = B->Canvas();
    if (HasFocus() || FMouseIn) {
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(Rect(0, 0, B->Width(), B->Height()));
    }
    SetTextFont(C);
    if (!Enabled())
        C->Font()->SetColor(clBtnShadow);
    C->Brush()->SetStyle(bsClear);
    DrawTextVCentered(C, Caption(), Rect(19, 0, B->Width(), B->Height()));
    DrawDefaultBox(C, FChecked, FState == cbGrayed, FMouseIn);
}

void TbsSkinCheckRadioBox::Paint() {
    if (Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    if (FFLat) {
        PaintFlat(Canvas(), FChecked, FMouseIn, true);
        return;
    }
    if (FIndex == -1) {
        TbsSkinCustomControl::Paint();
        return;
    }
    int W = Width();
    int H = Height();
    CalcSize(W, H);
    TBitmap B(Width(), Height());
    if (MorphAllowed() && FMorphKf > 0 && FMorphKf < 1) {
        TBitmap Hot(Width(), Height());
        PaintFramedFace(&B, false, FChecked, FMouseIn);
        PaintFramedFace(&Hot, true, FChecked, FMouseIn);
        DrawMorphedFaces(Canvas(), &B, &Hot, MorphKind, FMorphKf);
        return;
    }
    PaintFramedFace(&B, FMouseIn || (FCanFocused && HasFocus()), FChecked, FMouseIn);
    Canvas()->Draw(0, 0, &B);
}

void TbsSkinCheckRadioBox::PaintSkinTo(TCanvas* C, int X, int Y, bool AChecked) {
    GetSkinData();
    if (Width() < 1 || Height() < 1)
        return;
    TBitmap B(Width(), Height());
    if (FFLat) {
        PaintFlat(B.Canvas(), AChecked, false, false);
    } else if (FIndex != -1) {
        int W = Width();
        int H = Height();
        CalcSize(W, H);
        PaintFramedFace(&B, false, AChecked, false);
    } else {
        return;
    }
    C->Draw(X, Y, &B);
}

// ---------------------------------------------------------------------------------------------
// Keyboard, mouse, messages

void TbsSkinCheckRadioBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FMouseIn) {
        FMouseIn = true;
        StartMorph();
    }
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinCheckRadioBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (Alive.expired() || Button != mbLeft || !FMouseIn)
        return;
    if (FAllowGrayed && !FRadio && FState == cbUnchecked) {
        FState = cbGrayed;
        Repaint();
        if (OnClick)
            OnClick(this);
        return;
    }
    Toggle();
}

void TbsSkinCheckRadioBox::WndProc(TMessage& Message) {
    if (FCanFocused) {
        switch (Message.Msg) {
        case WM_KEYUP:
            if (Message.WParam == VK_SPACE && HasFocus())
                Toggle();
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Designing() && !HasFocus()) {
                FClicksDisabled = true;
                ::SetFocus(Handle());
                FClicksDisabled = false;
                if (!HasFocus())
                    return;
            }
            break;
        case CN_COMMAND:
            if (FClicksDisabled)
                return;
            break;
        }
    }
    TbsSkinCustomControl::WndProc(Message);
}

void TbsSkinCheckRadioBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOVE:
        WMMove(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        WMFocusChanged(Message);
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
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinCheckRadioBox::WMMove(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FFLat)
        Invalidate();
}

void TbsSkinCheckRadioBox::WMEraseBkgnd(TMessage& Message) {
    if (!FFLat && !FromWMPaint)
        PaintWindow(HDC(Message.WParam));
    Message.Result = 1;
}

void TbsSkinCheckRadioBox::WMFocusChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (!FCanFocused)
        return;
    if (FFLat)
        Invalidate();
    else
        StartMorph();
}

void TbsSkinCheckRadioBox::CMEnabledChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    MorphTimer.Stop();
    FMorphKf = 0;
    FMouseIn = false;
    Repaint();
}

void TbsSkinCheckRadioBox::CMTextChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinCheckRadioBox::CMMouseEnter(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Designing())
        return;
    FMouseIn = true;
    StartMorph();
}

void TbsSkinCheckRadioBox::CMMouseLeave(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Designing())
        return;
    FMouseIn = false;
    StartMorph();
}

void TbsSkinCheckRadioBox::CMDialogChar(TMessage& Message) {
    if (IsAccel(Word(Message.WParam), Caption()) && CanFocus() && FCanFocused) {
        SetFocus();
        Toggle();
        Message.Result = 1;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}
