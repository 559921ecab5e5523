#include "skin/controls/TbsSkinScrollBar.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "skin/controls/bsSkinCtrlsViews.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr UINT_PTR RepeatTimerId = 1;
constexpr UINT FirstDelay = 500;
constexpr UINT RepeatDelay = 50;

bool InPart(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

bool Empty(const TRect& R) {
    return R.Right - R.Left <= 0 || R.Bottom - R.Top <= 0;
}

TRect OrIfEmpty(const TRect& R, const TRect& Fallback) {
    return Empty(R) ? Fallback : R;
}

TRect Shifted(TRect R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return R;
}

} // namespace

TbsSkinScrollBar::TbsSkinScrollBar(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    SetBounds(Left(), Top(), 200, 19);
    FDefaultHeight = 19;
    SetTabStop(false);
    FSkinDataName = u"hscrollbar";
}

// ---------------------------------------------------------------------------------------------
// Range and position

int TbsSkinScrollBar::Clamped(int Value) const {
    const int Upper = FPageSize != 0 ? FMax - FPageSize + 1 : FMax;
    if (Value < FMin)
        return FMin;
    if (Value > Upper)
        return Upper;
    return Value;
}

void TbsSkinScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize) {
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    FPosition = Clamped(APosition);
    Repaint();
}

void TbsSkinScrollBar::SimplySetPosition(int AValue) {
    const int V = Clamped(AValue);
    if (V == FPosition)
        return;
    FPosition = V;
    Repaint();
}

void TbsSkinScrollBar::SetPosition(int Value) {
    const int Old = FPosition;
    SimplySetPosition(Value);
    if (FPosition != Old && OnChange)
        OnChange(this);
}

void TbsSkinScrollBar::SetMin(int Value) {
    FMin = Value;
    if (FPosition < FMin)
        FPosition = FMin;
    Repaint();
}

void TbsSkinScrollBar::SetMax(int Value) {
    FMax = Value;
    if (FPageSize == 0) {
        if (FPosition > FMax)
            FPosition = FMax;
    } else if (FPosition - FMin + FPageSize > FMax - FMin) {
        // The page counts from Min, so the last page starts at Max - PageSize + 1 whatever Min is.
        FPosition = FMax - FPageSize + 1;
    }
    if (FPosition < FMin)
        FPosition = FMin;
    Repaint();
}

void TbsSkinScrollBar::SetPageSize(int Value) {
    if (FPosition - FMin + Value <= FMax - FMin + 1)
        FPageSize = Value;
    Repaint();
}

void TbsSkinScrollBar::SetSmallChange(int Value) {
    FSmallChange = Value;
    Repaint();
}

void TbsSkinScrollBar::SetLargeChange(int Value) {
    FLargeChange = Value;
    Repaint();
}

void TbsSkinScrollBar::SetKind(TScrollBarKind Value) {
    if (Value == FKind)
        return;
    FKind = Value;
    if (Designing() && !ComponentState().Contains(csLoading)) {
        const int W = Width();
        const int H = Height();
        if (FKind == sbVertical) {
            FSkinDataName = u"vscrollbar";
            if (H < W)
                SetBounds(Left(), Top(), H, W);
            FDefaultWidth = FDefaultHeight;
            FDefaultHeight = 0;
        } else {
            FSkinDataName = u"hscrollbar";
            if (H > W)
                SetBounds(Left(), Top(), H, W);
            FDefaultHeight = FDefaultWidth;
            FDefaultWidth = 0;
        }
    }
    Repaint();
}

void TbsSkinScrollBar::SetBoth(bool Value) {
    if (Value == FBoth)
        return;
    FBoth = Value;
    if (!Designing()) {
        if (FBoth) {
            FNormalSkinDataName = FSkinDataName;
            FSkinDataName = FBothSkinDataName;
        } else if (!FNormalSkinDataName.empty()) {
            FSkinDataName = FNormalSkinDataName;
        }
    }
    GetSkinData();
    if (FIndex == -1)
        Repaint();
    else
        ChangeSkinData();
}

void TbsSkinScrollBar::SetBothMarkerWidth(int Value) {
    if (Value < 0)
        return;
    FBothMarkerWidth = Value;
    if (FIndex == -1)
        Repaint();
}

void TbsSkinScrollBar::SetCanFocused(bool Value) {
    FCanFocused = Value;
    SetTabStop(Value);
}

// ---------------------------------------------------------------------------------------------
// Skin record and geometry

void TbsSkinScrollBar::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinScrollBarControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!Rec)
        return;
    TrackArea = Rec->TrackArea;
    UpButtonRect = Rec->UpButtonRect;
    ActiveUpButtonRect = Rec->ActiveUpButtonRect;
    DownUpButtonRect = OrIfEmpty(Rec->DownUpButtonRect, ActiveUpButtonRect);
    DownButtonRect = Rec->DownButtonRect;
    ActiveDownButtonRect = Rec->ActiveDownButtonRect;
    DownDownButtonRect = OrIfEmpty(Rec->DownDownButtonRect, ActiveDownButtonRect);
    ThumbRect = Rec->ThumbRect;
    ActiveThumbRect = OrIfEmpty(Rec->ActiveThumbRect, ThumbRect);
    DownThumbRect = OrIfEmpty(Rec->DownThumbRect, ActiveThumbRect);
    ThumbOffset1 = Rec->ThumbOffset1;
    ThumbOffset2 = Rec->ThumbOffset2;
    ThumbTransparent = Rec->ThumbTransparent;
    ThumbTransparentColor = Rec->ThumbTransparentColor;
    ThumbStretchEffect = Rec->ThumbStretchEffect;
    ThumbMinSize = Rec->ThumbMinSize;
    ThumbMinPageSize = Rec->ThumbMinPageSize;
    GlyphRect = Rec->GlyphRect;
    ActiveGlyphRect = OrIfEmpty(Rec->ActiveGlyphRect, GlyphRect);
    DownGlyphRect = OrIfEmpty(Rec->DownGlyphRect, ActiveGlyphRect);
    GlyphTransparent = Rec->GlyphTransparent;
    GlyphTransparentColor = Rec->GlyphTransparentColor;
}

void TbsSkinScrollBar::CalcSize(int& W, int& H) {
    TbsSkinCustomControl::CalcSize(W, H);
    CalcRects();
}

void TbsSkinScrollBar::CalcRects() {
    if (FIndex == -1)
        CalcDefaultRects();
    else
        CalcSkinRects();
}

void TbsSkinScrollBar::CalcDefaultRects() {
    if (Horizontal()) {
        const int W = FBoth ? Width() - FBothMarkerWidth : Width();
        Buttons[DownPart].R = Rect(1, 1, 17, Height() - 1);
        Buttons[UpPart].R = Rect(W - 17, 1, W - 1, Height() - 1);
        NewTrackArea = Rect(17, 1, W - 17, Height() - 1);
    } else {
        Buttons[DownPart].R = Rect(1, 1, Width() - 1, 17);
        Buttons[UpPart].R = Rect(1, Height() - 17, Width() - 1, Height() - 1);
        NewTrackArea = Rect(1, 17, Width() - 1, Height() - 17);
    }
    const int L = Horizontal() ? GetRectWidth(NewTrackArea) : GetRectHeight(NewTrackArea);
    int T = 16;
    if (FPageSize != 0) {
        const int Range = FMax - FMin + 1;
        T = Range == 0 ? 0 : int(Round(double(L) * FPageSize / Range));
        if (T < 16)
            T = 16;
    }
    if (Horizontal())
        PlaceThumb(T, NewTrackArea.Top, NewTrackArea.Bottom);
    else
        PlaceThumb(T, NewTrackArea.Left, NewTrackArea.Right);
}

void TbsSkinScrollBar::CalcSkinRects() {
    const int ThumbAlong = Horizontal() ? GetRectWidth(ThumbRect) : GetRectHeight(ThumbRect);
    const int T0 = ThumbMinSize != 0 ? ThumbMinSize : ThumbAlong;
    const int C0 = Horizontal() ? GetRectHeight(ThumbRect) : GetRectWidth(ThumbRect);
    const int Delta = Horizontal() ? Width() - GetRectWidth(SkinRect) : Height() - GetRectHeight(SkinRect);
    NewTrackArea = TrackArea;
    TRect Up = UpButtonRect;
    TRect Down = DownButtonRect;
    if (Horizontal()) {
        NewTrackArea.Right += Delta;
        if (Up.Left > RTPt.X)
            Up = Shifted(Up, Delta, 0);
        if (Down.Left > RTPt.X)
            Down = Shifted(Down, Delta, 0);
    } else {
        NewTrackArea.Bottom += Delta;
        if (Up.Top > LBPt.Y)
            Up = Shifted(Up, 0, Delta);
        if (Down.Top > LBPt.Y)
            Down = Shifted(Down, 0, Delta);
    }
    Buttons[UpPart].R = Up;
    Buttons[DownPart].R = Down;
    const int L = Horizontal() ? GetRectWidth(NewTrackArea) : GetRectHeight(NewTrackArea);
    int T;
    if (FPageSize == 0) {
        T = ThumbMinPageSize != 0 ? ThumbMinPageSize : T0;
    } else {
        const int Range = FMax - FMin + 1;
        T = Range == 0 ? 0 : int(Round(double(L) * FPageSize / Range));
        if (T < T0)
            T = T0;
    }
    const TRect& A = NewTrackArea;
    const int Near = Horizontal() ? A.Top + GetRectHeight(A) / 2 - C0 / 2 : A.Left + GetRectWidth(A) / 2 - C0 / 2;
    PlaceThumb(T, Near, Near + C0);
}

// Offsets and the thumb's span along the track for a thumb T long; across it spans Across0..Across1.
void TbsSkinScrollBar::PlaceThumb(int ThumbLength, int Across0, int Across1) {
    const int Half = ThumbLength / 2;
    const int Start = Horizontal() ? NewTrackArea.Left : NewTrackArea.Top;
    const int End = Horizontal() ? NewTrackArea.Right : NewTrackArea.Bottom;
    Offset1 = Start + Half;
    Offset2 = End - Half;
    double Fraction;
    if (FPageSize == 0) {
        Fraction = FMax == FMin ? 0.0 : double(FPosition - FMin) / double(FMax - FMin);
    } else {
        const int Last = FMax - FPageSize + 1;
        if (Last > FMin)
            Fraction = double(FPosition - FMin) / double(Last - FMin);
        else
            Fraction = Horizontal() ? 1.0 : 0.0;
    }
    BOffset = int(Round((Offset2 - Offset1) * Fraction));
    const int C = Offset1 + BOffset;
    Buttons[ThumbPart].R =
        Horizontal() ? Rect(C - Half, Across0, C + Half, Across1) : Rect(Across0, C - Half, Across1, C + Half);
}

int TbsSkinScrollBar::CalcPosition(int D) {
    if (FPageSize == 0) {
        double Fraction = Offset2 - Offset1 <= 0 ? 0.0 : double(D) / double(Offset2 - Offset1);
        Fraction = std::clamp(Fraction, 0.0, 1.0);
        return FMin + int(Round((FMax - FMin) * Fraction));
    }
    const TRect& T = Buttons[ThumbPart].R;
    const int Half = (Horizontal() ? GetRectWidth(T) : GetRectHeight(T)) / 2;
    Offset1 = (Horizontal() ? NewTrackArea.Left : NewTrackArea.Top) + Half;
    Offset2 = (Horizontal() ? NewTrackArea.Right : NewTrackArea.Bottom) - Half;
    double Fraction = 0.0;
    if (Offset2 - Offset1 > 0)
        Fraction = std::clamp(double(D + OldBOffset) / double(Offset2 - Offset1), 0.0, 1.0);
    return FMin + int(Round((FMax - FMin - FPageSize + 1) * Fraction));
}

// ---------------------------------------------------------------------------------------------
// Painting

bool TbsSkinScrollBar::ThumbPressedLook() const {
    return Buttons[ThumbPart].Down || (FCanFocused && HandleAllocated() && GetFocus() == FHandle);
}

void TbsSkinScrollBar::CreateControlDefaultImage(TBitmap* B) {
    CalcRects();
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, B->Width(), B->Height()));
    if (Enabled())
        DrawButton(C, ThumbPart);
    DrawButton(C, UpPart);
    DrawButton(C, DownPart);
}

void TbsSkinScrollBar::CreateControlSkinImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlSkinImage(B);
    CalcRects();
    TCanvas* C = B->Canvas();
    DrawButton(C, UpPart);
    DrawButton(C, DownPart);
    if (Enabled())
        DrawButton(C, ThumbPart);
}

void TbsSkinScrollBar::DrawButton(TCanvas* C, int I) {
    if (FIndex == -1) {
        DrawDefaultButton(C, I);
        return;
    }
    if (I == ThumbPart) {
        DrawSkinThumb(C);
        return;
    }
    const TbsScrollBarPart& P = Buttons[I];
    TRect Src;
    if (P.Down && P.MouseIn)
        Src = I == UpPart ? DownUpButtonRect : DownDownButtonRect;
    else if (P.MouseIn)
        Src = I == UpPart ? ActiveUpButtonRect : ActiveDownButtonRect;
    // The idle arrow is part of the bar's own image.
    if (Empty(Src) || !Picture)
        return;
    C->CopyRect(P.R, Picture->Canvas(), Src);
}

void TbsSkinScrollBar::DrawDefaultButton(TCanvas* C, int I) {
    const TbsScrollBarPart& P = Buttons[I];
    const bool Pressed = (P.Down && P.MouseIn) || (I == ThumbPart && ThumbPressedLook());
    if (Pressed)
        FrameAndFill(C, P.R, clNavy, RGB(133, 147, 181));
    else if (P.MouseIn)
        FrameAndFill(C, P.R, clNavy, RGB(182, 189, 210));
    else
        FrameAndFill(C, P.R, clBtnShadow, clBtnFace);
    if (I == ThumbPart)
        return;
    const TRect Inner = Rect(P.R.Left + 1, P.R.Top + 1, P.R.Right - 1, P.R.Bottom - 1);
    // Codes of the arrow routine: 1 left, 2 right, 3 up, 4 down.
    int Code;
    if (I == UpPart)
        Code = Horizontal() ? 2 : 4;
    else
        Code = Horizontal() ? 1 : 3;
    DrawArrowImage(C, Inner, clBlack, Code);
}

void TbsSkinScrollBar::DrawSkinThumb(TCanvas* C) {
    const TbsScrollBarPart& P = Buttons[ThumbPart];
    const int W = GetRectWidth(P.R);
    const int H = GetRectHeight(P.R);
    if (W <= 0 || H <= 0 || !Picture)
        return;
    const bool Pressed = ThumbPressedLook();
    const TRect Src = Pressed ? DownThumbRect : P.MouseIn ? ActiveThumbRect : ThumbRect;
    TBitmap Thumb(W, H);
    if (FPageSize != 0 || ThumbMinPageSize != 0) {
        if (Horizontal())
            DrawSkinStripH(ThumbOffset1, ThumbOffset2, &Thumb, Picture, Src, W, H, ThumbStretchEffect);
        else
            DrawSkinStripV(ThumbOffset1, ThumbOffset2, &Thumb, Picture, Src, W, H, ThumbStretchEffect);
    } else {
        Thumb.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), Src);
    }
    const TRect Grip = Pressed ? DownGlyphRect : P.MouseIn ? ActiveGlyphRect : GlyphRect;
    const int GripAlong = Horizontal() ? GetRectWidth(Grip) : GetRectHeight(Grip);
    const int ThumbAlong = Horizontal() ? Thumb.Width() : Thumb.Height();
    if (!Empty(Grip) && GripAlong < ThumbAlong) {
        const int GW = GetRectWidth(Grip);
        const int GH = GetRectHeight(Grip);
        const int GX = Thumb.Width() / 2 - GW / 2;
        const int GY = Thumb.Height() / 2 - GH / 2;
        if (GlyphTransparent) {
            TBitmap G(GW, GH);
            G.Canvas()->CopyRect(Rect(0, 0, GW, GH), Picture->Canvas(), Grip);
            G.SetTransparentMode(tmFixed);
            G.SetTransparentColor(GlyphTransparentColor);
            G.SetTransparent(true);
            Thumb.Canvas()->Draw(GX, GY, &G);
        } else {
            Thumb.Canvas()->CopyRect(Bounds(GX, GY, GW, GH), Picture->Canvas(), Grip);
        }
    }
    if (ThumbTransparent) {
        Thumb.SetTransparentMode(tmFixed);
        Thumb.SetTransparentColor(ThumbTransparentColor);
        Thumb.SetTransparent(true);
    }
    C->Draw(P.R.Left, P.R.Top, &Thumb);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TbsSkinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    MouseD = true;
    MX = X;
    MY = Y;
    CalcRects();
    TimerMode = 0;
    WaitMode = true;
    for (int I : {ThumbPart, UpPart, DownPart}) {
        if (InPart(Buttons[I].R, X, Y)) {
            CaptureButton = I;
            ButtonDown(I);
            return;
        }
    }
    if (!InPart(NewTrackArea, X, Y))
        return;
    const TRect& T = Buttons[ThumbPart].R;
    if (Horizontal() ? X < T.Left : Y < T.Top) {
        SetPosition(FPosition - FLargeChange);
        TimerMode = 3;
        StartTimer(FirstDelay);
        if (OnPageUp)
            OnPageUp(this);
    } else {
        SetPosition(FPosition + FLargeChange);
        TimerMode = 4;
        StartTimer(FirstDelay);
        if (OnPageDown)
            OnPageDown(this);
    }
}

void TbsSkinScrollBar::ButtonDown(int I) {
    Buttons[I].Down = true;
    Repaint();
    if (I == ThumbPart) {
        OMPos = Horizontal() ? MX : MY;
        OldBOffset = BOffset;
        FDown = true;
        Repaint();
        return;
    }
    StepArrow(I);
    TimerMode = I == UpPart ? 2 : 1;
    StartTimer(FirstDelay);
}

void TbsSkinScrollBar::StepArrow(int I) {
    if (I == UpPart) {
        if (OnUpButtonClick)
            OnUpButtonClick(this);
        else
            SetPosition(FPosition + FSmallChange);
    } else {
        if (OnDownButtonClick)
            OnDownButtonClick(this);
        else
            SetPosition(FPosition - FSmallChange);
    }
}

void TbsSkinScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
    MX = X;
    MY = Y;
    TestActive(X, Y);
    if (FDown) {
        int D = (Horizontal() ? X : Y) - OMPos;
        if (FPageSize == 0)
            D += OldBOffset;
        SetPosition(CalcPosition(D));
    }
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
}

void TbsSkinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
    MouseD = false;
    if (TimerMode == 3 || TimerMode == 4)
        StopTimer();
    const int Captured = CaptureButton;
    if (Captured != -1)
        ButtonUp(Captured);
    if (Button == mbLeft && Captured == ThumbPart && OnLastChange)
        OnLastChange(this);
    CaptureButton = -1;
}

void TbsSkinScrollBar::ButtonUp(int I) {
    Buttons[I].Down = false;
    if (I != ActiveButton)
        Buttons[I].MouseIn = false;
    Repaint();
    if (I == ThumbPart)
        FDown = false;
    else
        StopTimer();
}

void TbsSkinScrollBar::TestActive(int X, int Y) {
    OldActiveButton = ActiveButton;
    int Hit = -1;
    for (int I : {ThumbPart, UpPart, DownPart})
        if (InPart(Buttons[I].R, X, Y)) {
            Hit = I;
            break;
        }
    if (CaptureButton != -1 && Hit != CaptureButton)
        Hit = -1;
    ActiveButton = Hit;
    if (ActiveButton == OldActiveButton)
        return;
    if (OldActiveButton != -1)
        ButtonLeave(OldActiveButton);
    if (ActiveButton != -1)
        ButtonEnter(ActiveButton);
}

void TbsSkinScrollBar::ButtonEnter(int I) {
    Buttons[I].MouseIn = true;
    Repaint();
    if (I != ThumbPart && Buttons[I].Down)
        StartTimer(RepeatDelay);
}

void TbsSkinScrollBar::ButtonLeave(int I) {
    Buttons[I].MouseIn = false;
    Repaint();
    if (I != ThumbPart && Buttons[I].Down && HandleAllocated())
        KillTimer(FHandle, RepeatTimerId);
}

void TbsSkinScrollBar::StartTimer(UINT Ms) {
    if (HandleAllocated())
        SetTimer(FHandle, RepeatTimerId, Ms, nullptr);
}

void TbsSkinScrollBar::StopTimer() {
    if (HandleAllocated())
        KillTimer(FHandle, RepeatTimerId);
    TimerMode = 0;
}

void TbsSkinScrollBar::RepeatPage(bool Up) {
    CalcRects();
    const TRect& T = Buttons[ThumbPart].R;
    const bool Beyond = Up ? (Horizontal() ? MX < T.Left : MY < T.Top) : (Horizontal() ? MX > T.Right : MY > T.Bottom);
    if (!Beyond) {
        StopTimer();
        return;
    }
    SetPosition(FPosition + (Up ? -FLargeChange : FLargeChange));
    const TNotifyEvent& Event = Up ? OnPageUp : OnPageDown;
    if (Event)
        Event(this);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinScrollBar::WndProc(TMessage& Message) {
    const bool Press = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
    // Only a focusable bar takes the focus on a press; a press that could not take it goes no further.
    if (Press && FCanFocused && !Designing() && HandleAllocated() && GetFocus() != FHandle) {
        FClicksDisabled = true;
        ::SetFocus(FHandle);
        FClicksDisabled = false;
        if (GetFocus() != FHandle)
            return;
    }
    if (Message.Msg == CN_COMMAND && FClicksDisabled)
        return;
    TbsSkinCustomControl::WndProc(Message);
}

void TbsSkinScrollBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        WMKillFocus(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_WANTSPECIALKEY:
        CMWantSpecialKey(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinScrollBar::WMSetFocus(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinScrollBar::WMKillFocus(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinScrollBar::WMEraseBkgnd(TMessage& Message) {
    if (!FromWMPaint)
        PaintWindow(HDC(Message.WParam));
    Message.Result = 1;
}

void TbsSkinScrollBar::WMTimer(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Message.WParam != RepeatTimerId)
        return;
    if (WaitMode) {
        WaitMode = false;
        StartTimer(RepeatDelay);
        return;
    }
    switch (TimerMode) {
    case 1:
        StepArrow(DownPart);
        break;
    case 2:
        StepArrow(UpPart);
        break;
    case 3:
        RepeatPage(true);
        break;
    case 4:
        RepeatPage(false);
        break;
    }
}

void TbsSkinScrollBar::WMMouseWheel(TMessage& Message) {
    if (!FCanFocused || !HandleAllocated() || GetFocus() != FHandle) {
        TbsSkinCustomControl::Dispatch(Message);
        return;
    }
    if (GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0)
        SetPosition(FPosition - FSmallChange);
    else
        SetPosition(FPosition + FSmallChange);
    Message.Result = 1;
}

void TbsSkinScrollBar::CMEnabledChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    Repaint();
}

void TbsSkinScrollBar::CMMouseLeave(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Designing())
        return;
    if (ActiveButton != -1 && CaptureButton == -1 && !FDown) {
        Buttons[ActiveButton].MouseIn = false;
        Repaint();
        ActiveButton = -1;
    }
    if (MouseD && TimerMode > 3)
        StopTimer();
}

void TbsSkinScrollBar::CMWantSpecialKey(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FCanFocused && Message.WParam >= 37 && Message.WParam <= 40)
        Message.Result = 1;
}

void TbsSkinScrollBar::KeyDown(Word& Key, TShiftState Shift) {
    TbsSkinCustomControl::KeyDown(Key, Shift);
    if (!FCanFocused)
        return;
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        SetPosition(FPosition - FSmallChange);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetPosition(FPosition + FSmallChange);
        break;
    }
}
