#include "skin/controls/TbsSkinToolBar.h"

#include <algorithm>

#include "platform/ui/Forms.h"
#include "skin/controls/TbsSkinBevel.h"
#include "skin/controls/TbsSkinMenuSpeedButton.h"
#include "skin/controls/TbsSkinSpeedButton.h"
#include "skin/controls/bsSkinCtrlsButtons.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr UINT_PTR ScrollTimerId = 1;

// The record a speed button on a bar of record BarName looks up.
String ToolButtonRecordName(const String& BarName, TbsSkinSpeedButton* Button) {
    auto* Menu = dynamic_cast<TbsSkinMenuSpeedButton*>(Button);
    const bool Track = Menu && Menu->TrackButtonMode();
    if (BarName == u"resizetoolpanel")
        return u"resizetoolbutton";
    if (BarName == u"panel")
        return u"resizebutton";
    if (BarName == u"bigtoolpanel")
        return Track ? u"bigtoolmenutrackbutton" : Menu ? u"bigtoolmenubutton" : u"bigtoolbutton";
    return Track ? u"toolmenutrackbutton" : Menu ? u"toolmenubutton" : u"toolbutton";
}

} // namespace

TbsSkinToolBar::TbsSkinToolBar(TComponent* AOwner) : TbsSkinPanel(AOwner) {
    FForceBackground = false;
    FSkinDataName = u"toolpanel";
    FBorderStyle = TbsSkinBorderStyle::bvNone;
    SetHeight(25);
}

TbsSkinToolBar::~TbsSkinToolBar() {
    if (HandleAllocated())
        KillTimer(Handle(), ScrollTimerId);
}

// ---------------------------------------------------------------------------------------------
// Properties passed to the children

void TbsSkinToolBar::SetScrollOffset(int Value) {
    if (Value >= 0)
        FScrollOffset = Value;
}

void TbsSkinToolBar::SetScrollTimerInterval(int Value) {
    if (Value > 0)
        FScrollTimerInterval = Value;
}

void TbsSkinToolBar::SetShowCaptions(bool Value) {
    if (Value == FShowCaptions)
        return;
    FShowCaptions = Value;
    if (FAutoShowHideCaptions)
        for (int I = 0; I < ControlCount(); ++I)
            if (auto* B = dynamic_cast<TbsSkinSpeedButton*>(Controls(I)))
                B->SetShowCaption(Value);
    if (FWidthWithCaptions != 0 && FWidthWithoutCaptions != 0)
        SetWidth(Value ? FWidthWithCaptions : FWidthWithoutCaptions);
}

void TbsSkinToolBar::SetFlat(bool Value) {
    FFlat = Value;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TbsSkinSpeedButton*>(Controls(I)))
            B->SetFlat(Value);
}

void TbsSkinToolBar::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TbsSkinSpeedButton*>(Controls(I)))
            B->Repaint();
}

void TbsSkinToolBar::SetHotImages(TCustomImageList* Value) {
    FHotImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinToolBar::SetDisabledImages(TCustomImageList* Value) {
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FHotImages)
        FHotImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
}

void TbsSkinToolBar::SetSkinDataName(const String& Value) {
    if (Designing() && !ComponentState().Contains(csLoading))
        for (int I = 0; I < ControlCount(); ++I)
            if (auto* B = dynamic_cast<TbsSkinSpeedButton*>(Controls(I)))
                B->SetSkinDataName(ToolButtonRecordName(Value, B));
    TbsSkinPanel::SetSkinDataName(Value);
}

void TbsSkinToolBar::SetSkinData(TbsSkinData* Value) {
    TbsSkinPanel::SetSkinData(Value);
    for (int I = 0; I < ControlCount(); ++I) {
        if (auto* B = dynamic_cast<TbsSkinSpeedButton*>(Controls(I)))
            B->SetSkinData(Value);
        else if (auto* Bevel = dynamic_cast<TbsSkinBevel*>(Controls(I)))
            Bevel->SetSkinData(Value);
    }
}

void TbsSkinToolBar::GetSkinData() {
    TbsSkinPanel::GetSkinData();
    ButtonData = nullptr;
    if (FIndex != -1)
        ButtonData = ButtonRecordOf(FSD, FSD->GetControlIndex(u"resizebutton"));
}

// ---------------------------------------------------------------------------------------------
// Bounds, centring, client rectangle

void TbsSkinToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const int OldWidth = Width();
    TbsSkinPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FAdjustControls)
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* C = Controls(I);
            C->SetBounds(C->Left(), C->Top(), C->Width(), C->Height());
        }
    if (!FCanScroll)
        return;
    FHSizeOffset = Width() > OldWidth && OldWidth != 0 ? Width() - OldWidth : 0;
    // Every bar follows its new width here, aligned or not: the window's own position change comes before the
    // new width is known.
    UpdateScrollState();
    CentreChildren();
}

void TbsSkinToolBar::CentreChildren() {
    const TRect R = GetSkinClientRect();
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (dynamic_cast<TbsSkinControl*>(C) || dynamic_cast<TbsGraphicSkinControl*>(C) || C->Align() != alNone)
            continue;
        C->SetTop(R.Top + GetRectHeight(R) / 2 - C->Height() / 2);
    }
}

void TbsSkinToolBar::AdjustClientRect(TRect& R) {
    TbsSkinPanel::AdjustClientRect(R);
    if (!FCanScroll || !Buttons[0].Visible)
        return;
    const int CW = ClientWidth();
    const int CH = ClientHeight();
    R = Rect(-SPosition, 0, -SPosition + std::max(SMax, CW), CH);
    if (FIndex == -1) {
        R.Top = 1;
        R.Bottom = CH - 1;
    } else if (!(FBorderStyle == TbsSkinBorderStyle::bvNone && ResizeMode == 1)) {
        R.Top = NewClRect.Top;
        R.Bottom = NewClRect.Bottom;
    }
}

// A child came, went, moved or changed size: the scroll buttons follow the children's extent.
void TbsSkinToolBar::AlignControl(TControl* AControl) {
    TbsSkinPanel::AlignControl(AControl);
    if (FCanScroll && !FUpdatingScroll)
        UpdateScrollState();
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void TbsSkinToolBar::UpdateScrollState() {
    if (!FCanScroll || Width() == 0 || FUpdatingScroll)
        return;
    FUpdatingScroll = true;
    int A = 0;
    for (int I = 0; I < ControlCount(); ++I)
        if (Controls(I)->Visible())
            A = std::max(A, Controls(I)->Left() + Controls(I)->Width());
    const int CW = ClientWidth();
    const int P = SPosition;
    const int E = P + A;
    if (A == 0) {
        ShowScrollButtons(false);
    } else if (CW < E) {
        ShowScrollButtons(true);
        const int CWNow = ClientWidth();
        if (P > 0 && CWNow > A && FHSizeOffset > 0) {
            FHSizeOffset = std::min(FHSizeOffset, P);
            SMax = E - 1;
            SPosition = P - FHSizeOffset;
            SPage = CWNow;
            MoveChildren(FHSizeOffset);
            SOldPosition = SPosition;
        } else if (FHSizeOffset == 0 && E - 1 < SMax && P > 0 && CWNow > A) {
            SMax = E - 1;
            SPosition = P - (CWNow - A);
            SPage = CWNow;
            MoveChildren(CWNow - A);
            FHSizeOffset = 0;
            SOldPosition = SPosition;
        } else {
            SMax = E - 1;
            SPage = CWNow;
            FHSizeOffset = 0;
            SOldPosition = SPosition;
        }
    } else {
        if (P > 0)
            MoveChildren(P);
        FHSizeOffset = SMax = SPosition = SPage = SOldPosition = 0;
        ShowScrollButtons(false);
    }
    FUpdatingScroll = false;
}

void TbsSkinToolBar::ShowScrollButtons(bool Value) {
    if (Buttons[0].Visible == Value && Buttons[1].Visible == Value)
        return;
    Buttons[0].Visible = Buttons[1].Visible = Value;
    if (!Value) {
        StopScrollTimer();
        Buttons[0].MouseIn = Buttons[1].MouseIn = Buttons[0].Down = Buttons[1].Down = false;
    }
    Buttons[0].R = Rect(0, 0, ScrollButtonWidth, Height());
    Buttons[1].R = Rect(Width() - ScrollButtonWidth, 0, Width(), Height());
    // The non-client area is measured again.
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TbsSkinToolBar::MoveChildren(int DX) {
    const bool Was = FUpdatingScroll;
    FUpdatingScroll = true;
    ScrollBy(DX, 0);
    FUpdatingScroll = Was;
    Repaint();
}

void TbsSkinToolBar::ScrollStep(bool Right) {
    const int S = FScrollOffset != 0 ? FScrollOffset : ClientWidth();
    if (Right)
        SPosition = std::min(SPosition + S, SMax - SPage + 1);
    else
        SPosition = std::max(SPosition - S, 0);
    if (SPosition == SOldPosition) {
        StopScrollTimer();
        return;
    }
    MoveChildren(SOldPosition - SPosition);
    SOldPosition = SPosition;
}

void TbsSkinToolBar::StartScrollTimer(int Mode) {
    TimerMode = Mode;
    KillTimer(Handle(), ScrollTimerId);
    SetTimer(Handle(), ScrollTimerId, UINT(FScrollTimerInterval), nullptr);
}

void TbsSkinToolBar::StopScrollTimer() {
    if (HandleAllocated())
        KillTimer(Handle(), ScrollTimerId);
    TimerMode = 0;
}

// ---------------------------------------------------------------------------------------------
// The scroll buttons in the non-client area

void TbsSkinToolBar::PaintScrollButtons() {
    if (!HandleAllocated())
        return;
    HDC DC = GetWindowDC(Handle());
    for (int I = 0; I < 2; ++I)
        if (Buttons[I].Visible)
            DrawScrollButton(DC, I);
    ReleaseDC(Handle(), DC);
}

void TbsSkinToolBar::DrawScrollButton(HDC DC, int Index) {
    const TScrollButton& Bt = Buttons[Index];
    const int W = GetRectWidth(Bt.R);
    const int H = GetRectHeight(Bt.R);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    TCanvas* C = B.Canvas();
    const bool Pressed = (Bt.Down && Bt.MouseIn) || (Bt.MouseIn && FHotScroll);
    TColor Arrow = clBtnText;
    TBitmap* Source =
        ButtonData && ButtonData->PictureIndex >= 0 && ButtonData->PictureIndex < int(FSD->FActivePictures.size())
            ? FSD->FActivePictures[std::size_t(ButtonData->PictureIndex)].get()
            : nullptr;
    if (ButtonData && Source) {
        const TbsDataSkinButtonControl& R = *ButtonData;
        TRect Face = R.SkinRect;
        Arrow = R.FontColor;
        if (Pressed && !IsNullRect(R.DownSkinRect)) {
            Face = R.DownSkinRect;
            Arrow = R.DownFontColor;
        } else if (Bt.MouseIn && !IsNullRect(R.ActiveSkinRect)) {
            Face = R.ActiveSkinRect;
            Arrow = R.ActiveFontColor;
        }
        const int DW = W - GetRectWidth(R.SkinRect);
        const int DH = H - GetRectHeight(R.SkinRect);
        DrawNinePartSkinImage(
            R.LTPoint, R.RTPoint, R.LBPoint, R.RBPoint, R.ClRect, R.LTPoint, {R.RTPoint.X + DW, R.RTPoint.Y},
            {R.LBPoint.X, R.LBPoint.Y + DH}, {R.RBPoint.X + DW, R.RBPoint.Y + DH},
            Rect(R.ClRect.Left, R.ClRect.Top, R.ClRect.Right + DW, R.ClRect.Bottom + DH), &B, Source, Face, W, H, true,
            R.LeftStretch, R.TopStretch, R.RightStretch, R.BottomStretch, R.StretchEffect, R.StretchType);
    } else if (Pressed) {
        DrawDefaultFrame(C, Rect(0, 0, W, H), clNavy, TColor(RGB(0x85, 0x93, 0xB5)));
    } else if (Bt.MouseIn) {
        DrawDefaultFrame(C, Rect(0, 0, W, H), clNavy, TColor(RGB(0xB6, 0xBD, 0xD2)));
    } else {
        DrawDefaultFrame(C, Rect(0, 0, W, H), clBtnShadow, clBtnFace);
    }
    DrawArrowImage(C, Rect(0, 0, W, H), Arrow, Index == 0 ? 1 : 2);
    BitBlt(DC, Bt.R.Left, Bt.R.Top, W, H, C->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinToolBar::LeaveScrollButtons() {
    bool Changed = false;
    for (TScrollButton& Bt : Buttons)
        if (Bt.Visible && Bt.MouseIn) {
            Bt.MouseIn = false;
            Changed = true;
        }
    if (!Changed)
        return;
    if (TimerMode != 0)
        StopScrollTimer();
    PaintScrollButtons();
}

bool TbsSkinToolBar::ScrollButtonInput(TMessage& Message) {
    if (!FCanScroll)
        return false;
    const int Hit = Message.WParam == WPARAM(HTSCROLLLEFT) ? 0 : Message.WParam == WPARAM(HTSCROLLRIGHT) ? 1 : -1;
    switch (Message.Msg) {
    case WM_NCHITTEST: {
        if (Designing())
            return false;
        const TPoint P = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        if (P.X < 0 && Buttons[0].Visible) {
            Message.Result = HTSCROLLLEFT;
            return true;
        }
        if (P.X > ClientWidth() && Buttons[1].Visible) {
            Message.Result = HTSCROLLRIGHT;
            return true;
        }
        return false;
    }
    case WM_NCMOUSEMOVE:
        if (Hit >= 0 && !Buttons[Hit].MouseIn) {
            Buttons[Hit].MouseIn = true;
            Buttons[1 - Hit].MouseIn = false;
            PaintScrollButtons();
            if (FHotScroll)
                StartScrollTimer(Hit + 1);
        }
        return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Hit < 0)
            return false;
        Buttons[Hit].Down = true;
        PaintScrollButtons();
        StartScrollTimer(Hit + 1);
        return true;
    case WM_NCLBUTTONUP:
        if (Hit < 0)
            return false;
        Buttons[Hit].Down = false;
        PaintScrollButtons();
        StopScrollTimer();
        ScrollStep(Hit == 1);
        return true;
    case WM_MOUSEMOVE:
        LeaveScrollButtons();
        return false;
    }
    return false;
}

void TbsSkinToolBar::WndProc(TMessage& Message) {
    if (ScrollButtonInput(Message))
        return;
    TbsSkinPanel::WndProc(Message);
}

void TbsSkinToolBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETCURSOR:
        WMSetCursor(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_NCCALCSIZE:
        WMNCCalcSize(Message);
        return;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_WINDOWPOSCHANGING:
        WMWindowPosChanging(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    }
    TbsSkinPanel::Dispatch(Message);
}

void TbsSkinToolBar::WMSetCursor(TMessage& Message) {
    const LRESULT Hit = LOWORD(Message.LParam);
    if (Hit == HTSCROLLLEFT || Hit == HTSCROLLRIGHT)
        Message.LParam = MAKELPARAM(HTCLIENT, HIWORD(Message.LParam));
    TbsSkinPanel::Dispatch(Message);
}

void TbsSkinToolBar::WMTimer(TMessage& Message) {
    TbsSkinPanel::Dispatch(Message);
    if (Message.WParam != ScrollTimerId)
        return;
    if (TimerMode == 1)
        ScrollStep(false);
    else if (TimerMode == 2)
        ScrollStep(true);
}

void TbsSkinToolBar::WMNCCalcSize(TMessage& Message) {
    if (!FCanScroll)
        return;
    GetSkinData();
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (Buttons[0].Visible)
        R->Left += ScrollButtonWidth;
    if (Buttons[1].Visible)
        R->Right -= ScrollButtonWidth;
}

void TbsSkinToolBar::WMNCPaint(TMessage&) {
    if (FCanScroll && Buttons[0].Visible)
        PaintScrollButtons();
}

void TbsSkinToolBar::WMSize(TMessage& Message) {
    TbsSkinPanel::Dispatch(Message);
    if (!FCanScroll || !Buttons[0].Visible)
        return;
    Buttons[0].R = Rect(0, 0, ScrollButtonWidth, Height());
    Buttons[1].R = Rect(Width() - ScrollButtonWidth, 0, Width(), Height());
    SendMessageW(Handle(), WM_NCPAINT, 0, 0);
}

void TbsSkinToolBar::WMWindowPosChanging(TMessage& Message) {
    TbsSkinPanel::Dispatch(Message);
    if (HandleAllocated() && FAdjustControls)
        CentreChildren();
}

void TbsSkinToolBar::CMMouseLeave(TMessage& Message) {
    TbsSkinPanel::Dispatch(Message);
    POINT P;
    GetCursorPos(&P);
    if (WindowFromPoint(P) != Handle())
        LeaveScrollButtons();
}

void TbsSkinToolBar::CreateControlSkinImage(TBitmap* B) {
    if (Buttons[0].Visible && ResizeMode == 2) {
        DrawSkinStripHMiddle(LTPt.X, GetRectWidth(SkinRect) - RTPt.X, B, Picture, SkinRect, Width(), Height(),
                             StretchEffect);
        return;
    }
    TbsSkinPanel::CreateControlSkinImage(B);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinStatusBar

TbsSkinStatusBar::TbsSkinStatusBar(TComponent* AOwner) : TbsSkinPanel(AOwner) {
    FSkinDataName = u"statusbar";
    FBorderStyle = TbsSkinBorderStyle::bvNone;
    FForceBackground = false;
    SetAlign(alBottom);
    SetHeight(21);
}

void TbsSkinStatusBar::SetSizeGrip(bool Value) {
    FSizeGrip = Value;
    Repaint();
    Realign();
}

void TbsSkinStatusBar::SetShowGrip(bool Value) {
    FShowGrip = Value;
    Repaint();
    Realign();
}

void TbsSkinStatusBar::GetSkinData() {
    TbsSkinPanel::GetSkinData();
    if (FIndex == -1)
        return;
    if (auto* R = dynamic_cast<TbsDataSkinPanelControl*>(FSD->CtrlList[std::size_t(FIndex)].get())) {
        GripperRect = R->GripperRect;
        GripperTransparent = R->GripperTransparent;
        GripperTransparentColor = R->GripperTransparentColor;
    }
}

void TbsSkinStatusBar::SetSkinData(TbsSkinData* Value) {
    TbsSkinPanel::SetSkinData(Value);
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* C = dynamic_cast<TbsSkinControl*>(Controls(I)))
            C->SetSkinData(Value);
}

void TbsSkinStatusBar::AdjustClientRect(TRect& R) {
    TbsSkinPanel::AdjustClientRect(R);
    if (!GripShown())
        return;
    R.Right -= FIndex != -1 && !IsNullRect(GripperRect) ? GetRectWidth(GripperRect) : GetRectHeight(R);
}

TRect TbsSkinStatusBar::GetGripRect() {
    const TRect C = GetSkinClientRect();
    if (FIndex != -1 && !IsNullRect(GripperRect))
        return Rect(C.Right, C.Bottom - GetRectHeight(GripperRect), C.Right + GetRectWidth(GripperRect), C.Bottom);
    return Rect(C.Right + 2, C.Top, C.Right + GetRectHeight(C), C.Bottom - 2);
}

void TbsSkinStatusBar::DrawGrip(TBitmap* B) {
    if (!GripShown())
        return;
    const TRect G = GetGripRect();
    TCanvas* C = B->Canvas();
    if (FIndex != -1 && !IsNullRect(GripperRect) && Picture) {
        TBitmap Grip(GetRectWidth(GripperRect), GetRectHeight(GripperRect));
        Grip.Canvas()->CopyRect(Rect(0, 0, Grip.Width(), Grip.Height()), Picture->Canvas(), GripperRect);
        if (GripperTransparent) {
            Grip.SetTransparentMode(tmFixed);
            Grip.SetTransparentColor(GripperTransparentColor);
            Grip.SetTransparent(true);
        }
        C->Draw(G.Left, G.Top, &Grip);
        return;
    }
    const TColor Dark = FIndex != -1 ? FSD->SkinColors()->FcBtnShadow : clBtnShadow;
    const TColor Light = FIndex != -1 ? FSD->SkinColors()->FcBtnHighLight : clBtnHighlight;
    C->Pen()->SetWidth(1);
    const int Most = GetRectWidth(G) / 3 + 1;
    for (int I = 0, Step = 3; I < Most && G.Left + Step + 2 <= G.Right; ++I, Step += 3) {
        C->Pen()->SetColor(Dark);
        C->MoveTo(G.Left + Step, G.Bottom);
        C->LineTo(G.Right, G.Top + Step);
        C->Pen()->SetColor(Light);
        C->MoveTo(G.Left + Step + 1, G.Bottom);
        C->LineTo(G.Right, G.Top + Step + 1);
    }
}

void TbsSkinStatusBar::CreateControlDefaultImage(TBitmap* B) {
    TbsSkinPanel::CreateControlDefaultImage(B);
    DrawGrip(B);
}

void TbsSkinStatusBar::CreateControlSkinImage(TBitmap* B) {
    TbsSkinPanel::CreateControlSkinImage(B);
    DrawGrip(B);
}

void TbsSkinStatusBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCHITTEST:
        WMNCHitTest(Message);
        return;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(Message);
        return;
    }
    TbsSkinPanel::Dispatch(Message);
}

void TbsSkinStatusBar::WMNCHitTest(TMessage& Message) {
    if (Designing() || !GripShown()) {
        TbsSkinPanel::Dispatch(Message);
        return;
    }
    const TPoint P = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    Message.Result = PtInRectInclusive(GetGripRect(), P) ? HTBOTTOMRIGHT : HTCLIENT;
}

// The grip sizes the form the bar lies on, not the bar: the press goes on to the form's frame as a press on its
// bottom-right sizing border (a form that cannot be sized keeps its size).
void TbsSkinStatusBar::WMNCLButtonDown(TMessage& Message) {
    TCustomForm* Form = GetParentForm(this);
    if (Message.WParam != WPARAM(HTBOTTOMRIGHT) || !Form || !Form->HandleAllocated()) {
        TbsSkinPanel::Dispatch(Message);
        return;
    }
    if (GetWindowLongW(Form->Handle(), GWL_STYLE) & WS_THICKFRAME)
        SendMessageW(Form->Handle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, Message.LParam);
    Message.Result = 0;
}
