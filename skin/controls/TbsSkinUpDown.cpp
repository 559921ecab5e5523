#include "skin/controls/TbsSkinUpDown.h"

#include "skin/controls/bsSkinCtrlsButtons.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

TBitmap* ActivePicture(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

} // namespace

TbsSkinUpDown::TbsSkinUpDown(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    FSkinDataName = u"hupdown";
    SetBounds(Left(), Top(), 50, 25);
    CalcButtonRects();
}

TbsSkinUpDown::~TbsSkinUpDown() {
    StopTimer();
}

void TbsSkinUpDown::SetPosition(int Value) {
    if (Value > FMax || Value < FMin)
        return;
    FPosition = Value;
    if (!Designing() && OnChange)
        OnChange(this);
}

void TbsSkinUpDown::SetMin(int Value) {
    FMin = Value;
    if (FPosition < FMin)
        FPosition = FMin;
}

void TbsSkinUpDown::SetMax(int Value) {
    FMax = Value;
    if (FPosition > FMax)
        FPosition = FMax;
}

void TbsSkinUpDown::SetOrientation(TUDOrientation Value) {
    FOrientation = Value;
    if (Designing() && !ComponentState().Contains(csLoading))
        FSkinDataName = Value == udVertical ? u"vupdown" : u"hupdown";
    CalcButtonRects();
    Repaint();
}

bool TbsSkinUpDown::HasUpDownRecord() const {
    return FIndex != -1 && dynamic_cast<TbsDataSkinUpDownControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
}

void TbsSkinUpDown::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex != -1) {
        if (auto* Rec = dynamic_cast<TbsDataSkinUpDownControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get())) {
            UpButtonRect = Rec->UpButtonRect;
            ActiveUpButtonRect = Rec->ActiveUpButtonRect;
            DownUpButtonRect = IsNullRect(Rec->DownUpButtonRect) ? Rec->ActiveUpButtonRect : Rec->DownUpButtonRect;
            DownButtonRect = Rec->DownButtonRect;
            ActiveDownButtonRect = Rec->ActiveDownButtonRect;
            DownDownButtonRect =
                IsNullRect(Rec->DownDownButtonRect) ? Rec->ActiveDownButtonRect : Rec->DownDownButtonRect;
            // The face is copied unstretched: the control's copies lose their corner points and client part.
            LTPt = RTPt = LBPt = RBPt = TPoint();
            ClRect = TRect();
            ResizeMode = GetResizeMode();
        }
    }
    CalcButtonRects();
}

void TbsSkinUpDown::CalcSize(int& W, int& H) {
    if (FUseSkinSize)
        TbsSkinCustomControl::CalcSize(W, H);
}

void TbsSkinUpDown::SetControlRegion() {
    if (FUseSkinSize)
        TbsSkinCustomControl::SetControlRegion();
}

void TbsSkinUpDown::CalcButtonRects() {
    TRect& Up = FButtons[UpButton].R;
    TRect& Down = FButtons[DownButton].R;
    if (FUseSkinSize && HasUpDownRecord()) {
        Up = UpButtonRect;
        Down = DownButtonRect;
    } else if (FOrientation == udVertical) {
        Up = Rect(0, 0, Width(), Height() / 2);
        Down = Rect(0, Height() / 2, Width(), Height());
    } else {
        Down = Rect(0, 0, Width() / 2, Height());
        Up = Rect(Width() / 2, 0, Width(), Height());
    }
}

void TbsSkinUpDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinUpDown::WMSize(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    CalcButtonRects();
}

void TbsSkinUpDown::WMTimer(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Message.WParam != RepeatTimerId)
        return;
    if (FWaitMode) {
        FWaitMode = false;
        StartTimer(100);
        return;
    }
    if (FTimerMode == 1)
        Step(-FIncrement);
    else if (FTimerMode == 2)
        Step(FIncrement);
}

void TbsSkinUpDown::CMMouseEnter(TMessage& Message) {
    FActiveButton = -1;
    FOldActiveButton = -1;
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinUpDown::CMMouseLeave(TMessage& Message) {
    FActiveButton = -1;
    FOldActiveButton = -1;
    TbsSkinCustomControl::Dispatch(Message);
    for (int I = 0; I < 2; ++I)
        if (FButtons[I].MouseIn) {
            FButtons[I].MouseIn = false;
            // The pointer left the held button with the control: the repeat pauses as it does on the button's
            // own edge, since the hovered index was reset before the next move could see the change.
            if (FButtons[I].Down && FIncrement != 0)
                StopTimer();
            Repaint();
        }
}

void TbsSkinUpDown::TestActive(int X, int Y) {
    FOldActiveButton = FActiveButton;
    FActiveButton = -1;
    for (int I = 0; I < 2; ++I)
        if (PtInRectInclusive(FButtons[I].R, TPoint{X, Y})) {
            FActiveButton = I;
            break;
        }
    if (FCaptureButton != -1 && FActiveButton != FCaptureButton)
        FActiveButton = -1;
    if (FActiveButton == FOldActiveButton)
        return;
    if (FOldActiveButton != -1)
        ButtonLeave(FOldActiveButton);
    if (FActiveButton != -1)
        ButtonEnter(FActiveButton);
}

void TbsSkinUpDown::ButtonEnter(int I) {
    FButtons[1 - I].MouseIn = false;
    FButtons[I].MouseIn = true;
    Repaint();
    if (FIncrement != 0 && FButtons[I].Down)
        StartTimer(50);
}

void TbsSkinUpDown::ButtonLeave(int I) {
    FButtons[I].MouseIn = false;
    Repaint();
    if (FIncrement != 0 && FButtons[I].Down)
        StopTimer();
}

void TbsSkinUpDown::StartTimer(UINT Interval) {
    StopTimer();
    SetTimer(Handle(), RepeatTimerId, Interval, nullptr);
    FTimerRunning = true;
}

void TbsSkinUpDown::StopTimer() {
    if (FTimerRunning && HandleAllocated())
        KillTimer(Handle(), RepeatTimerId);
    FTimerRunning = false;
}

void TbsSkinUpDown::Step(int Delta) {
    SetPosition(FPosition + Delta);
}

void TbsSkinUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TestActive(X, Y);
    FButtons[FActiveButton == UpButton ? DownButton : UpButton].MouseIn = false;
    if (FActiveButton != -1) {
        FCaptureButton = FActiveButton;
        FButtons[FActiveButton].MouseIn = true;
        FButtons[FActiveButton].Down = true;
        Repaint();
        if (FIncrement != 0) {
            FTimerMode = FActiveButton == UpButton ? 2 : 1;
            FWaitMode = true;
            StartTimer(500);
        }
    }
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    if (FCaptureButton != -1) {
        const int I = FCaptureButton;
        if (FIncrement != 0) {
            StopTimer();
            FTimerMode = 0;
        }
        FButtons[I].Down = false;
        if (!PtInRectInclusive(FButtons[I].R, TPoint{X, Y}))
            FButtons[I].MouseIn = false;
        Repaint();
        if (FButtons[I].MouseIn) {
            if (I == UpButton) {
                if (FIncrement != 0)
                    Step(FIncrement);
                if (!Alive.expired() && OnUpButtonClick)
                    OnUpButtonClick(this);
            } else {
                if (FIncrement != 0)
                    Step(-FIncrement);
                if (!Alive.expired() && OnDownButtonClick)
                    OnDownButtonClick(this);
            }
            // A handler may free the control (the page control frees its scroller on a change).
            if (Alive.expired())
                return;
        }
        FCaptureButton = -1;
    }
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinUpDown::MouseMove(TShiftState Shift, int X, int Y) {
    TestActive(X, Y);
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
}

// ---- painting ----

int TbsSkinUpDown::ArrowCode(int I) const {
    if (I == UpButton)
        return FOrientation == udVertical ? 3 : 2;
    return FOrientation == udVertical ? 4 : 1;
}

void TbsSkinUpDown::CreateControlDefaultImage(TBitmap* B) {
    CalcButtonRects();
    for (int I = 0; I < 2; ++I)
        DrawDefaultButton(B->Canvas(), I);
}

void TbsSkinUpDown::DrawDefaultButton(TCanvas* C, int I) {
    const TButton& Btn = FButtons[I];
    if (Btn.Down && Btn.MouseIn)
        DrawDefaultFrame(C, Btn.R, clNavy, TColor(RGB(133, 147, 181)));
    else if (Btn.MouseIn)
        DrawDefaultFrame(C, Btn.R, clNavy, TColor(RGB(182, 189, 210)));
    else
        DrawDefaultFrame(C, Btn.R, clBtnShadow, clBtnFace);
    DrawArrowImage(C, Btn.R, clBlack, ArrowCode(I));
}

void TbsSkinUpDown::CreateControlSkinImage(TBitmap* B) {
    if (!FUseSkinSize) {
        for (int I = 0; I < 2; ++I)
            DrawResizeButton(B->Canvas(), I);
        return;
    }
    TbsSkinCustomControl::CreateControlSkinImage(B);
    if (!Picture)
        return;
    for (int I = 0; I < 2; ++I) {
        const TButton& Btn = FButtons[I];
        const TRect& Down = I == UpButton ? DownUpButtonRect : DownDownButtonRect;
        const TRect& Active = I == UpButton ? ActiveUpButtonRect : ActiveDownButtonRect;
        const TRect* Source = Btn.Down && Btn.MouseIn ? &Down : Btn.MouseIn ? &Active : nullptr;
        if (Source && !IsNullRect(*Source))
            B->Canvas()->CopyRect(Btn.R, Picture->Canvas(), *Source);
    }
}

void TbsSkinUpDown::DrawResizeButton(TCanvas* C, int I) {
    const TButton& Btn = FButtons[I];
    const int W = GetRectWidth(Btn.R), H = GetRectHeight(Btn.R);
    if (W <= 0 || H <= 0)
        return;
    TBitmap Face(W, H);
    const int Index = FSD ? FSD->GetControlIndex(u"resizebutton") : -1;
    auto* Rec =
        Index == -1 ? nullptr : dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(Index)).get());
    if (Rec) {
        const bool Pressed = Btn.Down && Btn.MouseIn;
        const TColor Color = DrawResizedButtonFace(FSD, *Rec, Btn.MouseIn, Pressed, &Face);
        TRect ArrowR = Rect(0, 0, W, H);
        if (Pressed) {
            ArrowR.Left += 2;
            ArrowR.Top += 2;
        }
        DrawArrowImage(Face.Canvas(), ArrowR, Color, ArrowCode(I));
    }
    C->Draw(Btn.R.Left, Btn.R.Top, &Face);
}

TColor DrawResizedButtonFace(TbsSkinData* SD, const TbsDataSkinButtonControl& Rec, bool Hot, bool Pressed, TBitmap* B) {
    const TRect Active = IsNullRect(Rec.ActiveSkinRect) ? Rec.SkinRect : Rec.ActiveSkinRect;
    const TRect Down = IsNullRect(Rec.DownSkinRect) ? Active : Rec.DownSkinRect;
    const TRect& Source = Pressed ? Down : Hot ? Active : Rec.SkinRect;
    const int W = B->Width(), H = B->Height();
    if (TBitmap* Picture = ActivePicture(SD, Rec.PictureIndex)) {
        const int DW = W - GetRectWidth(Rec.SkinRect), DH = H - GetRectHeight(Rec.SkinRect);
        const TPoint NewRT{Rec.RTPoint.X + DW, Rec.RTPoint.Y};
        const TPoint NewLB{Rec.LBPoint.X, Rec.LBPoint.Y + DH};
        const TPoint NewRB{Rec.RBPoint.X + DW, Rec.RBPoint.Y + DH};
        const TRect NewCl = Rect(Rec.ClRect.Left, Rec.ClRect.Top, Rec.ClRect.Right + DW, Rec.ClRect.Bottom + DH);
        DrawNinePartSkinImage(Rec.LTPoint, Rec.RTPoint, Rec.LBPoint, Rec.RBPoint, Rec.ClRect, Rec.LTPoint, NewRT, NewLB,
                              NewRB, NewCl, B, Picture, Source, W, H, true, Rec.LeftStretch, Rec.TopStretch,
                              Rec.RightStretch, Rec.BottomStretch, Rec.StretchEffect, Rec.StretchType);
    }
    return Pressed ? Rec.DownFontColor : Hot ? Rec.ActiveFontColor : Rec.FontColor;
}
