// The list box's caption bar: its drawing in the default and the skinned look, the Up, Down and Check
// buttons with their states and events, and the repeat of a held Up or Down button on window timer 1.
#include "skin/controls/TbsSkinListBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 500;
constexpr UINT RepeatDelay = 100;
constexpr UINT ReentryDelay = 50;

constexpr int UpButton = 0;
constexpr int DownButton = 1;
constexpr int CheckButton = 2;

TRect Moved(TRect R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return R;
}

bool Contains(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinCustomListBox::SetCaptionMode(bool Value) {
    FCaptionMode = Value;
    if (FIndex == -1)
        CalcRects();
    Repaint();
}

void TbsSkinCustomListBox::SetShowCaptionButtons(bool Value) {
    if (Value == FShowCaptionButtons)
        return;
    FShowCaptionButtons = Value;
    Repaint();
}

void TbsSkinCustomListBox::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    if (FCaptionMode)
        Repaint();
}

void TbsSkinCustomListBox::SetDefaultCaptionHeight(int Value) {
    FDefaultCaptionHeight = Value;
    if (FIndex == -1 && FCaptionMode) {
        CalcRects();
        Repaint();
    }
}

void TbsSkinCustomListBox::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    Repaint();
}

void TbsSkinCustomListBox::SetNumGlyphs(TbsSkinPanelNumGlyphs Value) {
    FNumGlyphs = Value;
    Repaint();
}

void TbsSkinCustomListBox::SetSpacing(int Value) {
    FSpacing = Value;
    Repaint();
}

void TbsSkinCustomListBox::CMTextChanged(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FCaptionMode)
        Repaint();
}

// ---------------------------------------------------------------------------------------------
// Drawing

int TbsSkinCustomListBox::CaptionContentWidth(TCanvas* C) {
    int W = C->TextWidth(Caption());
    if (!FGlyph->Empty())
        W += FGlyph->Width() / std::max(1, FNumGlyphs) + FSpacing;
    return W;
}

// The glyph (when there is one) at X, GlyphY, and the caption right of it, clipped to R.
void TbsSkinCustomListBox::DrawCaptionText(TCanvas* C, const TRect& R, int X, int Y, int GlyphY) {
    const int Frames = std::max(1, FNumGlyphs);
    int TextX = X;
    if (!FGlyph->Empty())
        TextX += FGlyph->Width() / Frames + FSpacing;
    C->Brush()->SetStyle(bsClear);
    C->TextRect(R, TextX, Y, Caption());
    if (!FGlyph->Empty()) {
        const int Frame = !Enabled() && Frames == 2 ? 2 : 1;
        DrawGlyphFromStrip(C, X, GlyphY, Frame, Frames, FGlyph.get());
    }
}

void TbsSkinCustomListBox::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlDefaultImage(B);
    const int W = Width();
    const int H = Height();
    const int A = std::min(FDefaultCaptionHeight - 3, 17);
    if (FCaptionMode && FShowCaptionButtons) {
        Buttons[UpButton].R = Rect(W - A - 2, 2, W - 2, A + 1);
        Buttons[DownButton].R = Moved(Buttons[UpButton].R, -A, 0);
        Buttons[CheckButton].R = Moved(Buttons[DownButton].R, -A, 0);
    }
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(Rect(0, 0, W, H));
    if (FCaptionMode)
        DrawDefaultCaption(B);
}

void TbsSkinCustomListBox::DrawDefaultCaption(TBitmap* B) {
    TCanvas* C = B->Canvas();
    const int W = Width();
    const int A = std::min(FDefaultCaptionHeight - 3, 17);
    const TRect R = FShowCaptionButtons ? Rect(3, 2, W - 3 * A - 3, FDefaultCaptionHeight - 2)
                                        : Rect(3, 2, W - 2, FDefaultCaptionHeight - 2);
    C->Font()->Assign(FDefaultCaptionFont.get());
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    const int Content = CaptionContentWidth(C);
    int X = R.Left;
    if (FAlignment == taRightJustify)
        X = R.Right - Content;
    else if (FAlignment == taCenter)
        X = R.Left + GetRectWidth(R) / 2 - Content / 2;
    const int Y = (FDefaultCaptionHeight - 2) / 2 - C->TextHeight(Caption()) / 2;
    const int GlyphY = R.Top + GetRectHeight(R) / 2 - FGlyph->Height() / 2 - 1;
    DrawCaptionText(C, R, X, Y, GlyphY);
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(1, FDefaultCaptionHeight - 1);
    C->LineTo(W - 1, FDefaultCaptionHeight - 1);
    if (FShowCaptionButtons)
        for (int I = 0; I < 3; ++I)
            DrawButton(C, I);
}

void TbsSkinCustomListBox::CreateControlSkinImage(TBitmap* B) {
    const int DW = Width() - GetRectWidth(SkinRect);
    const int DH = Height() - GetRectHeight(SkinRect);
    TbsSkinCustomControl::CreateControlSkinImage(B);
    TCanvas* C = B->Canvas();
    // Buttons the picture shows but the control hides are covered.
    if (!FShowCaptionButtons && !IsNullRect(UpButtonRect) && Picture) {
        if (IsNullRect(DisabledButtonsRect)) {
            const int Bottom = NewClRect.Top - 1;
            C->CopyRect(Rect(NewLTPoint.X, 0, Width() + UpButtonRect.Right - GetRectWidth(SkinRect), Bottom), C,
                        Rect(NewLTPoint.X, 0, NewRTPoint.X, Bottom));
        } else {
            C->CopyRect(Moved(ButtonsArea, DW, 0), Picture->Canvas(), DisabledButtonsRect);
        }
    }
    NewClRect = Rect(ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom + DH);
    if (FCaptionMode) {
        DrawSkinCaption(B);
    } else {
        // Out of caption mode nothing of the bar is drawn or hit.
        NewCaptionRect = TRect{};
        for (TbsCBButtonX& Button : Buttons)
            Button.R = TRect{};
    }
}

void TbsSkinCustomListBox::DrawSkinCaption(TBitmap* B) {
    const int DW = Width() - GetRectWidth(SkinRect);
    const int DH = Height() - GetRectHeight(SkinRect);
    NewCaptionRect = CaptionRect;
    if (FShowCaptionButtons) {
        if (CaptionRect.Right >= RTPt.X)
            NewCaptionRect.Right += DW;
        const TRect* Normal[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
        for (int I = 0; I < 3; ++I) {
            TRect R = *Normal[I];
            int CornerX = RTPt.X;
            if (R.Top > LTPt.Y) {
                R = Moved(R, 0, DH);
                CornerX = RBPt.X;
            }
            if (CornerX < R.Left)
                R = Moved(R, DW, 0);
            Buttons[I].R = R;
        }
    } else {
        NewCaptionRect.Right = Width() - CaptionRect.Left;
        for (TbsCBButtonX& Button : Buttons)
            Button.R = TRect{};
    }
    TCanvas* C = B->Canvas();
    if (!IsNullRect(CaptionRect)) {
        C->Font()->SetName(CaptionFontName);
        C->Font()->SetHeight(CaptionFontHeight);
        C->Font()->SetColor(CaptionFontColor);
        C->Font()->SetStyle(CaptionFontStyle);
        C->Font()->SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet()
                                                            : FDefaultCaptionFont->Charset());
        const TRect& R = NewCaptionRect;
        const int Content = CaptionContentWidth(C);
        const int Y = R.Top + GetRectHeight(R) / 2 - C->TextHeight(Caption()) / 2;
        int X = R.Left + 2;
        if (FAlignment == taRightJustify)
            X = R.Right - Content - 2;
        else if (FAlignment == taCenter)
            X = R.Left + 2 + GetRectWidth(R) / 2 - Content / 2;
        DrawCaptionText(C, R, X, Y, R.Top + GetRectHeight(R) / 2 - FGlyph->Height() / 2);
    }
    if (FShowCaptionButtons)
        for (int I = 0; I < 3; ++I)
            DrawButton(C, I);
}

void TbsSkinCustomListBox::DrawButton(TCanvas* C, int I) {
    const TbsCBButtonX& Button = Buttons[I];
    const TRect& R = Button.R;
    if (FIndex == -1) {
        C->Brush()->SetStyle(bsSolid);
        if (Button.MouseIn) {
            C->Brush()->SetColor(Button.Down ? TColor(0xB59385) : TColor(0xD2BDB6));
            C->FillRect(R);
            C->Brush()->SetColor(clNavy);
            C->FrameRect(R);
        } else {
            C->Brush()->SetColor(clBtnFace);
            C->FillRect(R);
        }
        if (I == CheckButton)
            DrawCheckImage(C, R.Left + 4, R.Top + 4, clBlack);
        else
            DrawArrowImage(C, R, clBlack, I == UpButton ? 3 : 4);
        return;
    }
    if (IsNullRect(R) || !Picture)
        return;
    const TRect* Normal[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
    const TRect* Hot[3] = {&ActiveUpButtonRect, &ActiveDownButtonRect, &ActiveCheckButtonRect};
    const TRect* Pressed[3] = {&DownUpButtonRect, &DownDownButtonRect, &DownCheckButtonRect};
    TRect Source;
    if (Button.MouseIn)
        Source = Button.Down ? *Pressed[I] : *Hot[I];
    if (IsNullRect(Source))
        Source = Moved(*Normal[I], SkinRect.Left, SkinRect.Top);
    C->CopyRect(R, Picture->Canvas(), Source);
}

// At once on the control, outside the paint cycle, as the mouse moves.
void TbsSkinCustomListBox::DrawButtonNow(int I) {
    if (!HandleAllocated() || IsNullRect(Buttons[I].R))
        return;
    InvalidateRect(Handle(), nullptr, FALSE);
    Update();
}

// ---------------------------------------------------------------------------------------------
// Mouse and timer

void TbsSkinCustomListBox::TestActive(int X, int Y) {
    if (FIndex != -1 && IsNullRect(UpButtonRect) && IsNullRect(DownButtonRect))
        return;
    OldActiveButton = ActiveButton;
    ActiveButton = -1;
    for (int I = 0; I < 3; ++I)
        if (Contains(Buttons[I].R, X, Y)) {
            ActiveButton = I;
            break;
        }
    // While a button is held no other one takes the mouse.
    if (CaptureButton != -1 && ActiveButton != CaptureButton && ActiveButton != -1)
        ActiveButton = -1;
    if (ActiveButton == OldActiveButton)
        return;
    if (OldActiveButton != -1) {
        TbsCBButtonX& Old = Buttons[OldActiveButton];
        Old.MouseIn = false;
        DrawButtonNow(OldActiveButton);
        if (TimerMode != 0 && Old.Down)
            KillTimer(Handle(), RepeatTimer);
    }
    if (ActiveButton != -1) {
        TbsCBButtonX& New = Buttons[ActiveButton];
        New.MouseIn = true;
        DrawButtonNow(ActiveButton);
        if (TimerMode != 0 && New.Down)
            SetTimer(Handle(), RepeatTimer, ReentryDelay, nullptr);
    }
}

TNotifyEvent& TbsSkinCustomListBox::ButtonEvent(int I) {
    return I == UpButton ? OnUpButtonClick : I == DownButton ? OnDownButtonClick : OnCheckButtonClick;
}

void TbsSkinCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (ButtonsActive() && Button == mbLeft) {
        TestActive(X, Y);
        if (ActiveButton != -1)
            ButtonPress(ActiveButton);
    }
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinCustomListBox::ButtonPress(int I) {
    CaptureButton = I;
    Buttons[I].MouseIn = true;
    Buttons[I].Down = true;
    DrawButtonNow(I);
    if (ButtonEvent(I))
        return;
    TimerMode = I == UpButton ? 1 : I == DownButton ? 2 : 0;
    if (TimerMode != 0) {
        WaitMode = true;
        StartRepeat(FirstDelay);
    }
}

void TbsSkinCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
    if (ButtonsActive())
        TestActive(X, Y);
}

void TbsSkinCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (ButtonsActive() && Button == mbLeft && CaptureButton != -1) {
        const int I = CaptureButton;
        CaptureButton = -1;
        std::weak_ptr<char> Alive = AliveToken();
        ButtonRelease(I);
        if (Alive.expired())
            return;
    }
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinCustomListBox::ButtonRelease(int I) {
    TbsCBButtonX& B = Buttons[I];
    B.Down = false;
    if (I != ActiveButton)
        B.MouseIn = false;
    DrawButtonNow(I);
    StopRepeat();
    if (B.MouseIn && ButtonEvent(I)) {
        ButtonEvent(I)(this);
        return;
    }
    // Also when the mouse was released away from the button.
    switch (I) {
    case UpButton:
        StepUp();
        break;
    case DownButton:
        StepDown();
        break;
    default:
        ListBox->Click();
        break;
    }
}

void TbsSkinCustomListBox::StepUp() {
    if (ItemIndex() > 0)
        SetItemIndex(ItemIndex() - 1);
}

void TbsSkinCustomListBox::StepDown() {
    if (ItemIndex() < Items()->Count() - 1)
        SetItemIndex(ItemIndex() + 1);
}

void TbsSkinCustomListBox::CMMouseEnter(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (ButtonsActive())
        TestActive(-1, -1);
}

void TbsSkinCustomListBox::CMMouseLeave(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (!ButtonsActive())
        return;
    for (int I = 0; I < 3; ++I)
        if (Buttons[I].MouseIn) {
            Buttons[I].MouseIn = false;
            DrawButtonNow(I);
        }
}

void TbsSkinCustomListBox::StartRepeat(UINT Ms) {
    if (HandleAllocated())
        SetTimer(Handle(), RepeatTimer, Ms, nullptr);
}

void TbsSkinCustomListBox::StopRepeat() {
    if (HandleAllocated())
        KillTimer(Handle(), RepeatTimer);
    TimerMode = 0;
}

void TbsSkinCustomListBox::WMTimer(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (Message.WParam != RepeatTimer)
        return;
    if (WaitMode) {
        WaitMode = false;
        KillTimer(Handle(), RepeatTimer);
        SetTimer(Handle(), RepeatTimer, RepeatDelay, nullptr);
        return;
    }
    if (TimerMode == 1)
        StepUp();
    else if (TimerMode == 2)
        StepDown();
}
