#include "skin/controls/TbsSkinSlider.h"

#include <algorithm>

#include "platform/gdi/Resources.h"
#include "platform/gdi/WinGdi.h"
#include "skin/controls/bsSliderPictures.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr int Margin = 6;
constexpr UINT_PTR JumpTimerId = 1;
constexpr UINT JumpInterval = 400;

const char16_t* const DefaultImageNames[4] = {u"BS_HTB", u"BS_HRL", u"BS_VTB", u"BS_VRL"};

// Copies Length pixels along the bar from Src (at Along) to Dest (at To), the full size across.
void CopyAlong(TBitmap* Dest, TBitmap* Src, bool Vertical, int Along, int To, int Length) {
    if (Length <= 0)
        return;
    if (Vertical)
        Dest->Canvas()->CopyRect(Rect(0, To, Src->Width(), To + Length), Src->Canvas(),
                                 Rect(0, Along, Src->Width(), Along + Length));
    else
        Dest->Canvas()->CopyRect(Rect(To, 0, To + Length, Src->Height()), Src->Canvas(),
                                 Rect(Along, 0, Along + Length, Src->Height()));
}

// Part Src of Picture as a bitmap of its own, drawn transparent in its bottom-left pixel's colour.
void DrawTransparentPart(TCanvas* Canvas, int X, int Y, TBitmap* Picture, const TRect& Src, bool Transparent) {
    const int W = Src.Right - Src.Left;
    const int H = Src.Bottom - Src.Top;
    if (W <= 0 || H <= 0)
        return;
    TBitmap Part(W, H);
    Part.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), Src);
    Part.SetTransparent(Transparent);
    Canvas->Draw(X, Y, &Part);
}

} // namespace

TbsSkinCustomSlider::TbsSkinCustomSlider(TComponent* AOwner) : TbsSkinControl(AOwner) {
    SetControlState(ControlState() + csCreating);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
    SetTabStop(true);
    SetBounds(Left(), Top(), 150, 40);
    CreateElements();
    FSkinDataName = u"slider";
    Picture = nullptr;
    FUseSkinThumb = true;
    SetControlState(ControlState() - TControlState{csCreating});
}

TbsSkinCustomSlider::~TbsSkinCustomSlider() {
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
    for (auto& Image : FImages)
        if (Image)
            Image->OnChange = nullptr;
}

void TbsSkinCustomSlider::CreateElements() {
    RegisterSliderPictures();
    FRuler = std::make_unique<TBitmap>();
    for (TbsSliderImage I : {siHThumb, siHRuler, siVThumb, siVRuler})
        SetImage(I, nullptr);
    AdjustElements();
}

bool TbsSkinCustomSlider::Reading() const {
    // Forms are built in code: loading stands for reading the form's stored properties.
    return ComponentState().Contains(csReading) || ComponentState().Contains(csLoading);
}

// ---------------------------------------------------------------------------------------------
// Pictures and properties

void TbsSkinCustomSlider::SetImage(TbsSliderImage Index, TBitmap* Value) {
    auto& Image = FImages[Index];
    if (!Image) {
        Image = std::make_unique<TBitmap>();
        Image->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    }
    if (Value) {
        if (Value != Image.get())
            Image->Assign(Value);
        else
            ImageChanged(Image.get());
        FUserImages.Include(Index);
        return;
    }
    Image->LoadFromResourceName(HInstance, DefaultImageNames[Index]);
    FUserImages.Exclude(Index);
    if (!Reading()) {
        if (Index == siHThumb || Index == siVThumb)
            FOptions.Exclude(soThumbOpaque);
        else
            FOptions.Exclude(soRulerOpaque);
        Invalidate();
    }
}

void TbsSkinCustomSlider::ImageChanged(TObject*) {
    if (!ControlState().Contains(csCreating))
        AdjustElements();
}

void TbsSkinCustomSlider::SetEdgeSize(int Value) {
    TBitmap* Image = FImages[Vertical() ? siVRuler : siHRuler].get();
    const int Length = Vertical() ? Image->Height() : Image->Width();
    // A negative edge would copy pieces from outside the picture.
    if (Value < 0 || 2 * Value >= Length || Value == FEdgeSize)
        return;
    FEdgeSize = Value;
    AdjustElements();
}

void TbsSkinCustomSlider::SetNumThumbStates(TbsNumThumbStates Value) {
    Value = std::clamp(Value, 1, 2);
    if (Value == FNumThumbStates)
        return;
    FNumThumbStates = Value;
    AdjustElements();
}

void TbsSkinCustomSlider::SetOrientation(TbsSliderOrientation Value) {
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    AdjustElements();
}

void TbsSkinCustomSlider::SetOptions(TbsSliderOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    Invalidate();
}

void TbsSkinCustomSlider::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TbsSkinCustomSlider::SetUseSkinThumb(bool Value) {
    if (Value == FUseSkinThumb)
        return;
    FUseSkinThumb = Value;
    AdjustElements();
}

void TbsSkinCustomSlider::SetMinValue(int Value) {
    if (Value != FMinValue)
        SetValueRange(Value, FMaxValue);
}

void TbsSkinCustomSlider::SetMaxValue(int Value) {
    if (Value != FMaxValue)
        SetValueRange(FMinValue, Value);
}

void TbsSkinCustomSlider::SetValueRange(int AMin, int AMax) {
    if (AMax <= AMin && !Reading())
        return;
    FMinValue = AMin;
    FMaxValue = AMax;
    if (!Reading() && AMax < AMin + FIncrement)
        FIncrement = AMax - AMin;
    if (FOptions.Contains(soShowPoints))
        Invalidate();
    SetValue(FValue);
    RangeChanged();
}

void TbsSkinCustomSlider::SetIncrement(int Value) {
    if (Value <= 0 || Value == FIncrement)
        return;
    FIncrement = Value;
    SetValue(FValue);
    Invalidate();
}

void TbsSkinCustomSlider::SetValue(int Value) {
    if (Value > FMaxValue)
        Value = FMaxValue;
    if (Value < FMinValue)
        Value = FMinValue;
    const int Old = FValue;
    FValue = Value;
    SetThumbOffset(GetOffsetByValue(Value));
    if (FValue != Old)
        Change();
}

void TbsSkinCustomSlider::Change() {
    if (OnChange)
        OnChange(this);
}

void TbsSkinCustomSlider::Changed() {
    if (OnChanged)
        OnChanged(this);
}

void TbsSkinCustomSlider::Loaded() {
    TbsSkinControl::Loaded();
    for (TbsSliderImage I : {siHThumb, siHRuler, siVThumb, siVRuler})
        if (FUserImages.Contains(I))
            SetImage(I, FImages[I].get());
}

// ---------------------------------------------------------------------------------------------
// Skin record and layout

void TbsSkinCustomSlider::GetSkinData() {
    TbsSkinControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinSlider*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!Rec)
        return;
    const int PI = Rec->PictureIndex;
    Picture = PI >= 0 && PI < int(FSD->FActivePictures.size()) ? FSD->FActivePictures[std::size_t(PI)].get() : nullptr;
    HRulerRect = Rec->HRulerRect;
    HThumbRect = Rec->HThumbRect;
    VRulerRect = Rec->VRulerRect;
    VThumbRect = Rec->VThumbRect;
    SkinEdgeSize = Rec->EdgeSize;
    BGColor = Rec->BGColor;
    PointsColor = Rec->PointsColor;
}

void TbsSkinCustomSlider::ChangeSkinData() {
    AdjustElements();
}

bool TbsSkinCustomSlider::HasSkinRecord() const {
    return FIndex != -1 && FSD && Picture &&
           dynamic_cast<TbsDataSkinSlider*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
}

TPoint TbsSkinCustomSlider::ThumbSize() const {
    if (SkinThumb()) {
        const TRect& R = Vertical() ? VThumbRect : HThumbRect;
        return {GetRectWidth(R) / 2, GetRectHeight(R)};
    }
    TBitmap* Image = FImages[Vertical() ? siVThumb : siHThumb].get();
    if (!Image)
        return {0, 0};
    return {Image->Width() / FNumThumbStates, Image->Height()};
}

int TbsSkinCustomSlider::GetRulerLength() const {
    const TPoint T = ThumbSize();
    return Vertical() ? FRuler->Height() - T.Y : FRuler->Width() - T.X;
}

void TbsSkinCustomSlider::BuildRuler() {
    TBitmap* Image = FImages[Vertical() ? siVRuler : siHRuler].get();
    const TRect Area = const_cast<TbsSkinCustomSlider*>(this)->GetSliderRect();
    if (Vertical())
        FRuler->SetSize(Image->Width(), std::max(0, GetRectHeight(Area) - 2 * Margin));
    else
        FRuler->SetSize(std::max(0, GetRectWidth(Area) - 2 * Margin), Image->Height());
    const int E = FEdgeSize;
    const int m = Vertical() ? Image->Height() : Image->Width();
    const int r = Vertical() ? FRuler->Height() : FRuler->Width();
    const int LP = r - 2 * E;
    const int M = m - 2 * E;
    // A picture without a middle piece gives its start alone.
    const int Count = M > 0 ? LP / M + 1 : 1;
    const int Rest = M > 0 ? LP % M : 0;
    for (int I = 0; I < Count; ++I) {
        if (I == 0)
            CopyAlong(FRuler.get(), Image, Vertical(), 0, 0, std::min(m - E, r));
        else if (I < Count - 1)
            CopyAlong(FRuler.get(), Image, Vertical(), E, E + I * M, M);
        else
            CopyAlong(FRuler.get(), Image, Vertical(), E + M - Rest, E + I * M, E + Rest);
    }
}

void TbsSkinCustomSlider::BuildSkinRuler() {
    const TRect Area = GetSliderRect();
    if (Vertical()) {
        const int H = std::max(0, GetRectHeight(Area) - 2 * Margin);
        DrawSkinStripV(SkinEdgeSize, SkinEdgeSize, FRuler.get(), Picture, VRulerRect, 0, H, false);
    } else {
        const int W = std::max(0, GetRectWidth(Area) - 2 * Margin);
        DrawSkinStripH(SkinEdgeSize, SkinEdgeSize, FRuler.get(), Picture, HRulerRect, W, 0, false);
    }
}

void TbsSkinCustomSlider::AdjustElements() {
    if (!FRuler)
        return;
    GetSkinData();
    const int Saved = FValue;
    if (HasSkinRecord())
        BuildSkinRuler();
    else
        BuildRuler();
    const TPoint T = ThumbSize();
    const int tw = T.X, th = T.Y;
    const int RW = FRuler->Width(), RH = FRuler->Height();
    if (!Vertical()) {
        if (th > RH) {
            FThumbRect = Bounds(Margin, Margin, tw, th);
            FRulerOrg = {Margin, Margin + (th - RH) / 2};
            FPointsRect = Rect(Margin, Margin + th + 1, Margin + RW, Height() - 1);
        } else {
            FThumbRect = Bounds(Margin, Margin + (RH - th) / 2, tw, th);
            FRulerOrg = {Margin, Margin};
            FPointsRect = Rect(Margin, Margin + RH + 1, Margin + RW, Height() - 1);
        }
    } else {
        if (tw > RW) {
            FThumbRect = Bounds(Margin, Margin, tw, th);
            FRulerOrg = {Margin + (tw - RW) / 2, Margin};
        } else {
            FThumbRect = Bounds(Margin + (RW - tw) / 2, Margin, tw, th);
            FRulerOrg = {Margin, Margin};
        }
        FPointsRect = Rect(Margin + std::max(tw, RW) + 1, FRulerOrg.Y, Width() - 1, FRulerOrg.Y + RH);
    }
    SetValue(Saved);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Value and offset

int TbsSkinCustomSlider::GetOffsetByValue(int AValue) const {
    const int L = GetRulerLength();
    // An empty range (possible only from stored properties) keeps the thumb at the start.
    const double Fraction = FMaxValue > FMinValue ? double(AValue - FMinValue) / double(FMaxValue - FMinValue) : 0.0;
    int O = int(Round(L * Fraction)) + Margin;
    if (Vertical())
        O = Height() - O - ThumbSize().Y;
    return std::max(O, Margin);
}

int TbsSkinCustomSlider::GetValueByOffset(int Offset) const {
    if (Vertical())
        Offset = const_cast<TbsSkinCustomSlider*>(this)->ClientHeight() - Offset - ThumbSize().Y;
    const int L = GetRulerLength();
    // A slider too small for its thumb has no travel: every offset is the start.
    if (L <= 0)
        return FMinValue;
    int V = int(Round(double(Offset - Margin) * double(FMaxValue - FMinValue) / double(L)));
    if (!FOptions.Contains(soSmooth) && FIncrement > 0)
        V = int(Round(double(V) / FIncrement)) * FIncrement;
    return std::min(std::max(V, 0) + FMinValue, FMaxValue);
}

TPoint TbsSkinCustomSlider::AdjustOffset(int& Offset) const {
    const int L = GetRulerLength();
    Offset = std::min(std::max(Offset, Margin), Margin + L);
    Offset = std::min(GetOffsetByValue(GetValueByOffset(Offset)), Margin + L);
    return Vertical() ? TPoint{FThumbRect.Left, Offset} : TPoint{Offset, FThumbRect.Top};
}

void TbsSkinCustomSlider::SetThumbOffset(int Offset) {
    const TPoint P = AdjustOffset(Offset);
    InvalidateThumb();
    FThumbRect = Bounds(P.X, P.Y, GetRectWidth(FThumbRect), GetRectHeight(FThumbRect));
    InvalidateThumb();
    if (!FSliding)
        return;
    const int V = GetValueByOffset(Offset);
    if (V != FValue) {
        FValue = V;
        Change();
    }
}

void TbsSkinCustomSlider::InvalidateThumb() {
    if (HandleAllocated())
        InvalidateRect(FHandle, &FThumbRect, !ControlStyle().Contains(csOpaque));
}

void TbsSkinCustomSlider::Jump(TbsJumpMode Mode) {
    const int Stepped = int(Round(double(FValue) / FIncrement)) * FIncrement;
    int V;
    switch (Mode) {
    case jmHome:
        V = FMinValue;
        break;
    case jmEnd:
        V = FMaxValue;
        break;
    case jmNext:
        V = Stepped + FIncrement;
        break;
    case jmPrior:
        V = Stepped - FIncrement;
        break;
    default:
        return;
    }
    if (V >= FMaxValue)
        V = FMaxValue;
    else if (V <= FMinValue)
        V = FMinValue;
    if (V != FValue)
        SetValue(V);
}

TbsJumpMode TbsSkinCustomSlider::GetJumpMode(int X, int Y) const {
    if (!Vertical()) {
        if (X < FThumbRect.Left)
            return jmPrior;
        if (X > FThumbRect.Right)
            return jmNext;
    } else {
        if (Y < FThumbRect.Top)
            return jmNext;
        if (Y > FThumbRect.Bottom)
            return jmPrior;
    }
    return jmNone;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinCustomSlider::Paint() {
    GetSkinData();
    const bool Copy = ControlState().Contains(csPaintCopy);
    TPoint ThumbAt{FThumbRect.Left, FThumbRect.Top};
    if (Copy) {
        int O = GetOffsetByValue(GetDisplayValue());
        ThumbAt = AdjustOffset(O);
    }
    TCanvas* C = Canvas();
    const bool Record = HasSkinRecord();
    if (FTransparent) {
        TBitmap Back(Width(), Height());
        PaintParentBackground(this, Back.Canvas());
        C->Draw(0, 0, &Back);
    } else {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Record ? BGColor : Color());
        C->FillRect(ClientRect());
    }
    if (FRuler->Width() > 0) {
        FRuler->SetTransparent(!(FOptions.Contains(soRulerOpaque) && !Record));
        C->Draw(FRulerOrg.X, FRulerOrg.Y, FRuler.get());
    }
    if (FOptions.Contains(soShowFocus) && FFocused && !Designing()) {
        if (Record)
            C->Font()->SetColor(FSD->SkinColors()->FcBtnText);
        TRect R = GetSliderRect();
        DrawSkinFocusRect(C, Rect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2));
    }
    if (FOptions.Contains(soShowPoints)) {
        if (OnDrawPoints)
            OnDrawPoints(this);
        else
            DrawPoints(C, FIncrement, 3, 5);
    }
    const bool Second = Copy ? !Enabled() : (FThumbDown || !Enabled());
    DrawThumb(C, ThumbAt, Second);
}

void TbsSkinCustomSlider::DrawThumb(TCanvas* C, const TPoint& At, bool SecondState) {
    const TPoint T = ThumbSize();
    if (SkinThumb()) {
        const TRect& R = Vertical() ? VThumbRect : HThumbRect;
        const int X = R.Left + (SecondState ? T.X : 0);
        DrawTransparentPart(C, At.X, At.Y, Picture, Rect(X, R.Top, X + T.X, R.Bottom), true);
        return;
    }
    TBitmap* Image = FImages[Vertical() ? siVThumb : siHThumb].get();
    const int X = FNumThumbStates == 2 && SecondState ? T.X : 0;
    DrawTransparentPart(C, At.X, At.Y, Image, Rect(X, 0, X + T.X, T.Y), !FOptions.Contains(soThumbOpaque));
}

void TbsSkinCustomSlider::DefaultDrawPoints(int PointsStep, int PointsHeight, int ExtremePointsHeight) {
    DrawPoints(Canvas(), PointsStep, PointsHeight, ExtremePointsHeight);
}

void TbsSkinCustomSlider::DrawPoints(TCanvas* C, int Step, int Regular, int Extreme) {
    if (Step <= 0)
        return;
    C->Pen()->SetColor(HasSkinRecord() ? PointsColor : clWindowText);
    const int L = GetRulerLength();
    const TPoint T = ThumbSize();
    int K = 1;
    int Count = 1;
    for (;; ++K) {
        Count = int(Round(double(FMaxValue - FMinValue) / (double(Step) * K))) + 1;
        const int Gap = Count > 1 ? L / (Count - 1) : L;
        if (Gap >= 4 || Gap >= L)
            break;
    }
    int V = FMinValue;
    for (int I = 1; I <= Count; ++I) {
        if (I == Count)
            V = FMaxValue;
        const int Length = V == FMinValue || V == FMaxValue ? Extreme : Regular;
        const int O = GetOffsetByValue(V);
        if (!Vertical()) {
            C->MoveTo(O + T.X / 2, FPointsRect.Top);
            C->LineTo(O + T.X / 2, FPointsRect.Top + Length);
        } else {
            C->MoveTo(FPointsRect.Left, O + T.Y / 2);
            C->LineTo(FPointsRect.Left + Length, O + T.Y / 2);
        }
        V += K * Step;
    }
}

// ---------------------------------------------------------------------------------------------
// Keyboard and mouse

void TbsSkinCustomSlider::KeyDown(Word& Key, TShiftState Shift) {
    if (!Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) {
        TbsJumpMode Mode = jmNone;
        switch (Key) {
        case VK_HOME:
            Mode = jmHome;
            break;
        case VK_END:
            Mode = jmEnd;
            break;
        case VK_LEFT:
            Mode = Vertical() ? jmNone : jmPrior;
            break;
        case VK_RIGHT:
            Mode = Vertical() ? jmNone : jmNext;
            break;
        case VK_UP:
            Mode = Vertical() ? jmNext : jmNone;
            break;
        case VK_DOWN:
            Mode = Vertical() ? jmPrior : jmNone;
            break;
        }
        if (Mode != jmNone && CanChangeValue() && !FReadOnly) {
            Key = 0;
            Jump(Mode);
            Changed();
        }
    }
    TbsSkinControl::KeyDown(Key, Shift);
}

void TbsSkinCustomSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinControl::MouseDown(Button, Shift, X, Y);
    if (Alive.expired() || Button != mbLeft || Shift.Contains(ssDouble))
        return;
    if (CanFocus())
        SetFocus();
    const TRect& T = FThumbRect;
    if (X >= T.Left && X < T.Right && Y >= T.Top && Y < T.Bottom) {
        ThumbMouseDown(Button, Shift, X, Y);
        return;
    }
    TRect R = Bounds(FRulerOrg.X, FRulerOrg.Y, FRuler->Width(), FRuler->Height());
    if (Vertical()) {
        R.Left -= 3;
        R.Right += 3;
    } else {
        R.Top -= 3;
        R.Bottom += 3;
    }
    if (!PtInRect(R, TPoint{X, Y}) || !CanChangeValue() || FReadOnly)
        return;
    // csCaptureMouse has captured the mouse for the press; the release gives it back.
    FTracking = true;
    FMousePos = {X, Y};
    FStartJump = GetJumpMode(X, Y);
    TimerJump();
}

void TbsSkinCustomSlider::TimerJump() {
    if (GetJumpMode(FMousePos.X, FMousePos.Y) != FStartJump)
        return;
    Jump(FStartJump);
    if (!FTimerActive && HandleAllocated()) {
        SetTimer(FHandle, JumpTimerId, JumpInterval, nullptr);
        FTimerActive = true;
    }
}

void TbsSkinCustomSlider::MouseMove(TShiftState Shift, int X, int Y) {
    if (Shift.Contains(ssLeft) && FSliding)
        ThumbMouseMove(Shift, X, Y);
    else if (FTracking)
        FMousePos = {X, Y};
    TbsSkinControl::MouseMove(Shift, X, Y);
}

void TbsSkinCustomSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopTracking();
    if (FSliding)
        ThumbMouseUp(Button, Shift, X, Y);
    TbsSkinControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinCustomSlider::StopTracking() {
    if (!FTracking)
        return;
    if (FTimerActive && HandleAllocated())
        KillTimer(FHandle, JumpTimerId);
    FTimerActive = false;
    FTracking = false;
    Changed();
}

void TbsSkinCustomSlider::ThumbMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus())
        SetFocus();
    if (Button != mbLeft || !CanChangeValue() || FReadOnly)
        return;
    FSliding = true;
    FThumbDown = true;
    FHit = Vertical() ? Y - FThumbRect.Top : X - FThumbRect.Left;
    InvalidateThumb();
    Update();
}

void TbsSkinCustomSlider::ThumbMouseMove(TShiftState Shift, int X, int Y) {
    if (!Shift.Contains(ssLeft) || !CanChangeValue() || FReadOnly)
        return;
    SetThumbOffset(Vertical() ? Y - FHit : X - FHit);
}

void TbsSkinCustomSlider::ThumbMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft)
        return;
    FSliding = false;
    FThumbDown = false;
    InvalidateThumb();
    Update();
    if (CanChangeValue() && !FReadOnly)
        Changed();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinCustomSlider::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_MOVE:
        WMMove(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_FOCUSCHANGED:
        CMFocusChanged(Message);
        return;
    case WM_CHECKPARENTBG:
        WMCheckParentBackground(Message);
        return;
    }
    TbsSkinControl::Dispatch(Message);
}

void TbsSkinCustomSlider::WMSize(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (!Reading())
        AdjustElements();
}

void TbsSkinCustomSlider::WMMove(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (FTransparent)
        Invalidate();
}

void TbsSkinCustomSlider::WMTimer(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (Message.WParam == JumpTimerId)
        TimerJump();
}

void TbsSkinCustomSlider::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
}

void TbsSkinCustomSlider::CMEnabledChanged(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    InvalidateThumb();
}

void TbsSkinCustomSlider::CMFocusChanged(TMessage& Message) {
    const bool Now = reinterpret_cast<TControl*>(Message.LParam) == this;
    if (Now != FFocused) {
        FFocused = Now;
        if (FOptions.Contains(soShowFocus))
            Invalidate();
    }
    TbsSkinControl::Dispatch(Message);
}

void TbsSkinCustomSlider::WMCheckParentBackground(TMessage&) {
    if (FTransparent)
        Repaint();
}
