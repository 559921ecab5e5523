#include "skin/controls/TbsSkinOfficeComboBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr UINT_PTR AutoScrollTimer = 1;

bool PtIn(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

TRect Grown(const TRect& R, int DW, int DH) {
    return Rect(R.Left, R.Top, R.Right + DW, R.Bottom + DH);
}

TBitmap* ActivePicture(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

// A frame filled and outlined in one of the default look's three states.
void FrameAndFill(TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Frame);
    C->FillRect(R);
    C->Brush()->SetColor(Fill);
    C->FillRect(Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1));
}

// A button record's face for a new size: corners copied, sides and client by the record's flags.
void DrawButtonFace(TBitmap* B, TbsDataSkinButtonControl* Rec, TBitmap* Picture, const TRect& Face, int W, int H) {
    if (!Picture || W < 1 || H < 1)
        return;
    const int DW = W - GetRectWidth(Rec->SkinRect);
    const int DH = H - GetRectHeight(Rec->SkinRect);
    const TPoint NewRT{Rec->RTPoint.X + DW, Rec->RTPoint.Y};
    const TPoint NewLB{Rec->LBPoint.X, Rec->LBPoint.Y + DH};
    const TPoint NewRB{Rec->RBPoint.X + DW, Rec->RBPoint.Y + DH};
    DrawNinePartSkinImage(Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect, Rec->LTPoint, NewRT,
                          NewLB, NewRB, Grown(Rec->ClRect, DW, DH), B, Picture, Face, W, H, true, Rec->LeftStretch,
                          Rec->TopStretch, Rec->RightStretch, Rec->BottomStretch, Rec->StretchEffect, Rec->StretchType);
}

} // namespace

TbsSkinCustomOfficeComboBox::TbsSkinCustomOfficeComboBox(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    SetTabStop(true);
    FListBox = new TbsPopupOfficeListBox(this);
    SetBounds(Left(), Top(), 120, 41);
    FListBoxWindowProc = FListBox->WindowProc();
    FListBox->SetWindowProc([this](TMessage& Message) { DropDownListWndProc(Message); });
    FListBox->Hide();
    FListBox->SetMouseMoveChangeIndex(true);
    CalcRects();
    FSkinDataName = u"combobox";
    Font()->SetName(u"Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clWindowText);
    Font()->SetStyle({});
}

TbsSkinCustomOfficeComboBox::~TbsSkinCustomOfficeComboBox() {
    StopTimer();
    delete FListBox;
    FListBox = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinCustomOfficeComboBox::SetItemIndex(int Value) {
    FListBox->SetItemIndex(Value);
    FOldItemIndex = FListBox->ItemIndex();
    Repaint();
    if (Designing() || ComponentState().Contains(csLoading))
        return;
    std::weak_ptr<char> Alive = AliveToken();
    if (OnClick)
        OnClick(this);
    if (!Alive.expired())
        Change();
}

void TbsSkinCustomOfficeComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TbsSkinCustomOfficeComboBox::SetImages(TCustomImageList* Value) {
    FListBox->SetImages(Value);
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinCustomOfficeComboBox::SetDropDownCount(int Value) {
    if (Value >= 0)
        FDropDownCount = Value;
}

void TbsSkinCustomOfficeComboBox::SetToolButtonStyle(bool Value) {
    if (Value)
        FUseSkinSize = false;
    if (FToolButtonStyle == Value)
        return;
    FToolButtonStyle = Value;
    CalcRects();
    Repaint();
}

void TbsSkinCustomOfficeComboBox::SetShowItemTitle(bool Value) {
    if (FShowItemTitle != Value) {
        FShowItemTitle = Value;
        Repaint();
    }
}

void TbsSkinCustomOfficeComboBox::SetShowItemImage(bool Value) {
    if (FShowItemImage != Value) {
        FShowItemImage = Value;
        Repaint();
    }
}

void TbsSkinCustomOfficeComboBox::SetShowItemText(bool Value) {
    if (FShowItemText != Value) {
        FShowItemText = Value;
        Repaint();
    }
}

void TbsSkinCustomOfficeComboBox::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
    if (FIndex == -1)
        Invalidate();
}

void TbsSkinCustomOfficeComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // The drop-down tells of its own end while it is half destroyed.
    if (AComponent == FListBox)
        FListBox = nullptr;
    else if (FListBox && AComponent == FListBox->Images())
        FListBox->SetImages(nullptr);
}

void TbsSkinCustomOfficeComboBox::Invalidate() {
    TWinControl::Invalidate();
}

void TbsSkinCustomOfficeComboBox::DefaultFontChanged() {
    Font()->Assign(DefaultFont());
}

// ---------------------------------------------------------------------------------------------
// Skin

void TbsSkinCustomOfficeComboBox::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinComboBox*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!Rec)
        return;
    ActiveSkinRect = Rec->ActiveSkinRect;
    ActiveFontColor = Rec->ActiveFontColor;
    FontName = Rec->FontName;
    FontStyle = Rec->FontStyle;
    FontHeight = Rec->FontHeight;
    SItemRect = Rec->SItemRect;
    FocusItemRect = IsNullRect(Rec->FocusItemRect) ? Rec->SItemRect : Rec->FocusItemRect;
    ActiveItemRect = Rec->ActiveItemRect;
    ItemLeftOffset = Rec->ItemLeftOffset;
    ItemRightOffset = Rec->ItemRightOffset;
    ItemTextRect = Rec->ItemTextRect;
    FontColor = Rec->FontColor;
    FocusFontColor = Rec->FocusFontColor;
    ButtonRect = Rec->ButtonRect;
    ActiveButtonRect = Rec->ActiveButtonRect;
    DownButtonRect = Rec->DownButtonRect;
    UnEnabledButtonRect = Rec->UnEnabledButtonRect;
    ItemStretchEffect = Rec->ItemStretchEffect;
    FocusItemStretchEffect = Rec->FocusItemStretchEffect;
    ShowFocus = Rec->ShowFocus;
}

void TbsSkinCustomOfficeComboBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    CalcRects();
    Repaint();
    FListBox->SetSkinDataName(FIndex == -1 ? String() : FListBox->SkinDataName());
    FListBox->SetSkinData(FSD);
    CalcRects();
}

void TbsSkinCustomOfficeComboBox::CalcSize(int& W, int& H) {
    if (FUseSkinSize) {
        TbsSkinCustomControl::CalcSize(W, H);
        return;
    }
    if (FIndex == -1)
        return;
    NewLTPoint = LTPt;
    NewRTPoint = {W + RTPt.X - GetRectWidth(SkinRect), RTPt.Y};
    NewClRect = ClRect;
    NewClRect.Right = W + ClRect.Right - GetRectWidth(SkinRect);
}

void TbsSkinCustomOfficeComboBox::SetControlRegion() {
    if (FUseSkinSize)
        TbsSkinCustomControl::SetControlRegion();
}

void TbsSkinCustomOfficeComboBox::CalcRects() {
    if (FIndex == -1 || FToolButtonStyle) {
        Button.R = Rect(Width() - 19, 2, Width() - 2, Height() - 2);
        CBItem.R = Rect(2, 2, Button.R.Left - 1, Height() - 2);
        return;
    }
    const int DW = Width() - GetRectWidth(SkinRect);
    Button.R = ButtonRect;
    if (ButtonRect.Left >= GetRectWidth(SkinRect) - RTPt.X) {
        Button.R.Left += DW;
        Button.R.Right += DW;
    }
    CBItem.R = ClRect;
    CBItem.R.Right += DW;
    if (!FUseSkinSize) {
        const int DH = Height() - GetRectHeight(SkinRect);
        CBItem.R.Bottom += DH;
        Button.R.Bottom += DH;
    }
}

TFontCharset TbsSkinCustomOfficeComboBox::TextCharset() const {
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->CharSet();
    return DefaultFont()->Charset();
}

TColor TbsSkinCustomOfficeComboBox::GetDisabledFontColor() {
    if (FSD && !FSD->Empty) {
        const int I = FSD->GetControlIndex(u"edit");
        if (I >= 0)
            if (auto* Rec = dynamic_cast<TbsDataSkinEditControl*>(FSD->CtrlList.at(std::size_t(I)).get()))
                return Rec->DisabledFontColor;
    }
    return clGrayText;
}

TbsDataSkinButtonControl*
TbsSkinCustomOfficeComboBox::ButtonRecord(std::initializer_list<const char16_t*> Names) const {
    if (!FSD || FSD->Empty)
        return nullptr;
    for (const char16_t* Name : Names) {
        const int I = FSD->GetControlIndex(Name);
        if (I >= 0)
            if (auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(I)).get()))
                return Rec;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

bool TbsSkinCustomOfficeComboBox::IsPopupVisible() const {
    return FListBox && FListBox->Visible();
}

bool TbsSkinCustomOfficeComboBox::CanCancelDropDown() const {
    return IsPopupVisible() && !FMouseIn;
}

void TbsSkinCustomOfficeComboBox::DropDown() {
    if (Items()->Count() == 0)
        return;
    WasInLB = false;
    StopTimer();
    std::weak_ptr<char> Alive = AliveToken();
    if (OnDropDown)
        OnDropDown(this);
    if (Alive.expired() || Items()->Count() == 0)
        return;
    const int LBWidth = FListBoxWidth == 0 ? Width() : FListBoxWidth;
    FListBox->OnDrawItem = OnDrawItem;
    FOldItemIndex = FListBox->ItemIndex();
    if (FOldItemIndex == 0 && Items()->Count() > 1) {
        // Brings a leading group header back into view.
        FListBox->SetItemIndex(1);
        FListBox->SetItemIndex(0);
    }
    FDropDown = true;
    if (FToolButtonStyle)
        Repaint();
    FListBox->SetSkinData(FSD);
    int LBHeight = FListBox->Height();
    if (FListBoxHeight > 0)
        LBHeight = FListBoxHeight;
    else if (FDropDownCount > 0)
        LBHeight = FListBox->CalcHeight(FDropDownCount);
    TPoint P = ClientToScreen(TPoint{Width() - LBWidth, Height()});
    TRect Work;
    GetMonitorWorkArea(Handle(), true, Work);
    if (P.Y + LBHeight > Work.Bottom)
        P.Y = P.Y - Height() - LBHeight;
    FListBox->SetBounds(P.X, P.Y, LBWidth, LBHeight);
    FListBox->Show(P);
}

void TbsSkinCustomOfficeComboBox::CloseUp(bool Value) {
    StopTimer();
    if (!IsPopupVisible())
        return;
    FListBox->Hide();
    std::weak_ptr<char> Alive = AliveToken();
    const int I = FListBox->ItemIndex();
    if (I >= 0 && I < Items()->Count() && Value) {
        Repaint();
        if (OnClick)
            OnClick(this);
        if (Alive.expired())
            return;
        Change();
    } else if (FOldItemIndex < Items()->Count()) {
        FListBox->SetItemIndex(FOldItemIndex);
    } else {
        // The remembered index went stale when the rows were cleared: kept as it is, nothing marked.
        FListBox->SetActiveItem(FOldItemIndex);
    }
    if (Alive.expired())
        return;
    FDropDown = false;
    Repaint();
    if (Value && OnCloseUp)
        OnCloseUp(this);
}

void TbsSkinCustomOfficeComboBox::CommitListIndex() {
    const int I = FListBox->ItemIndex();
    if (I < Items()->Count())
        SetItemIndex(I);
}

// ---------------------------------------------------------------------------------------------
// The drop-down's window procedure

void TbsSkinCustomOfficeComboBox::DropDownListWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        break;
    case WM_LBUTTONDOWN:
        FLBDown = true;
        WasInLB = true;
        SetCapture(Handle());
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return;
    }
    FListBoxWindowProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TbsSkinCustomOfficeComboBox::MouseDown(TMouseButton AButton, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseDown(AButton, Shift, X, Y);
    if (Alive.expired())
        return;
    if (!Focused() && CanFocus())
        SetFocus();
    if (AButton != mbLeft)
        return;
    const bool Hit = Button.MouseIn || PtIn(CBItem.R, X, Y) || FToolButtonStyle;
    if (!Hit) {
        if (IsPopupVisible())
            CloseUp(false);
        return;
    }
    Button.Down = true;
    Repaint();
    if (!IsPopupVisible()) {
        WasInLB = false;
        FLBDown = true;
        DropDown();
    } else {
        CloseUp(false);
    }
}

void TbsSkinCustomOfficeComboBox::MouseMove(TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
    if (IsPopupVisible())
        TrackDrag();
    const bool In = PtIn(Button.R, X, Y);
    if (In != Button.MouseIn) {
        Button.MouseIn = In;
        Repaint();
    }
}

void TbsSkinCustomOfficeComboBox::TrackDrag() {
    POINT Cursor;
    GetCursorPos(&Cursor);
    const TPoint P = FListBox->ScreenToClient(TPoint{Cursor.X, Cursor.Y});
    const bool HasBar = FListBox->ScrollBar != nullptr;
    int Wanted = TimerMode;
    if (P.Y < 0 && HasBar && WasInLB) {
        Wanted = 1;
    } else if (P.Y > FListBox->Height() && HasBar && WasInLB) {
        Wanted = 2;
    } else if (P.Y >= 0 && P.Y <= FListBox->Height()) {
        StopTimer();
        Wanted = 0;
        FListBox->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(P.X, P.Y));
        WasInLB = true;
        if (!FLBDown) {
            FLBDown = true;
            WasInLB = false;
        }
    }
    if (Wanted != TimerMode) {
        if (Wanted == 0)
            StopTimer();
        else
            StartTimer(Wanted);
    }
}

void TbsSkinCustomOfficeComboBox::MouseUp(TMouseButton AButton, TShiftState Shift, int X, int Y) {
    if (FLBDown && WasInLB) {
        ReleaseCapture();
        FLBDown = false;
        POINT Cursor;
        GetCursorPos(&Cursor);
        const bool OverList = FListBox->HandleAllocated() && WindowFromPoint(Cursor) == FListBox->Handle();
        std::weak_ptr<char> Alive = AliveToken();
        CloseUp(OverList);
        if (Alive.expired())
            return;
    } else {
        FLBDown = false;
    }
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseUp(AButton, Shift, X, Y);
    if (Alive.expired())
        return;
    if (Button.Down) {
        Button.Down = false;
        Repaint();
    }
}

void TbsSkinCustomOfficeComboBox::StartTimer(int Mode) {
    TimerMode = Mode;
    KillTimer(Handle(), AutoScrollTimer);
    SetTimer(Handle(), AutoScrollTimer, 25, nullptr);
}

void TbsSkinCustomOfficeComboBox::StopTimer() {
    if (HandleAllocated())
        KillTimer(Handle(), AutoScrollTimer);
    TimerMode = 0;
}

// ---------------------------------------------------------------------------------------------
// Keys and messages

void TbsSkinCustomOfficeComboBox::KeyDown(Word& Key, TShiftState Shift) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::KeyDown(Key, Shift);
    if (Alive.expired())
        return;
    const bool Alt = Shift.Contains(ssAlt);
    switch (Key) {
    case VK_RETURN:
        if (IsPopupVisible())
            CloseUp(true);
        break;
    case VK_ESCAPE:
        if (IsPopupVisible())
            CloseUp(false);
        break;
    case VK_PRIOR:
        FListBox->FindPageUp();
        CommitListIndex();
        break;
    case VK_NEXT:
        FListBox->FindPageDown();
        CommitListIndex();
        break;
    case VK_UP:
    case VK_LEFT:
        if (Alt) {
            if (IsPopupVisible())
                CloseUp(false);
        } else {
            FListBox->FindUp();
            CommitListIndex();
        }
        break;
    case VK_DOWN:
    case VK_RIGHT:
        if (Alt) {
            if (!IsPopupVisible())
                DropDown();
        } else {
            FListBox->FindDown();
            CommitListIndex();
        }
        break;
    }
}

void TbsSkinCustomOfficeComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETFOCUS:
    case CM_ENABLEDCHANGED:
        TbsSkinCustomControl::Dispatch(Message);
        Repaint();
        return;
    case WM_KILLFOCUS:
        TbsSkinCustomControl::Dispatch(Message);
        if (IsPopupVisible())
            CloseUp(false);
        Repaint();
        return;
    case WM_SIZE:
        TbsSkinCustomControl::Dispatch(Message);
        CalcRects();
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case CM_CANCELMODE:
        CMCancelMode(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_WANTSPECIALKEY:
        switch (Message.WParam) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
            Message.Result = 1;
            return;
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinCustomOfficeComboBox::WMEraseBkgnd(TMessage& Message) {
    if (!FromWMPaint && Message.WParam && Width() > 0 && Height() > 0) {
        TBitmap B(Width(), Height());
        PaintImage(&B, nullptr);
        BitBlt(HDC(Message.WParam), 0, 0, Width(), Height(), B.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    Message.Result = 1;
}

void TbsSkinCustomOfficeComboBox::WMTimer(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (TimerMode == 1)
        FListBox->FindUp();
    else if (TimerMode == 2)
        FListBox->FindDown();
}

void TbsSkinCustomOfficeComboBox::WMMouseWheel(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (short(HIWORD(Message.WParam)) > 0)
        FListBox->FindUp();
    else
        FListBox->FindDown();
    if (!IsPopupVisible())
        CommitListIndex();
}

void TbsSkinCustomOfficeComboBox::CMCancelMode(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
    if (Sender && (Sender == this || Sender == FListBox || Sender == FListBox->ScrollBar))
        return;
    if (IsPopupVisible())
        CloseUp(false);
}

void TbsSkinCustomOfficeComboBox::CMMouseEnter(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    FMouseIn = true;
    if ((FIndex != -1 && !IsNullRect(ActiveSkinRect)) || FToolButtonStyle)
        Invalidate();
}

void TbsSkinCustomOfficeComboBox::CMMouseLeave(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    FMouseIn = false;
    if (Button.MouseIn) {
        Button.MouseIn = false;
        Repaint();
    }
    if ((FIndex != -1 && !IsNullRect(ActiveSkinRect)) || FToolButtonStyle)
        Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Painting

int TbsSkinCustomOfficeComboBox::ShownItemIndex() const {
    return IsPopupVisible() ? FOldItemIndex : FListBox->ItemIndex();
}

bool TbsSkinCustomOfficeComboBox::Hot() {
    return FMouseIn || Focused();
}

void TbsSkinCustomOfficeComboBox::CreateControlDefaultImage(TBitmap* B) {
    PaintImage(B, nullptr);
}

void TbsSkinCustomOfficeComboBox::CreateControlSkinImage(TBitmap* B) {
    PaintImage(B, nullptr);
}

void TbsSkinCustomOfficeComboBox::PaintImage(TBitmap* B, const String* AText) {
    GetSkinData();
    CalcRects();
    if (FToolButtonStyle) {
        if (FIndex == -1)
            CreateToolButtonDefaultImage(B, AText);
        else
            CreateToolButtonSkinImage(B, AText);
        return;
    }
    if (FIndex == -1) {
        DrawDefaultFrame(B);
        DrawDefaultItem(B->Canvas(), AText);
        return;
    }
    DrawSkinFrame(B);
    TBitmap Frame;
    Frame.Assign(B);
    if (FUseSkinSize)
        DrawSkinItem(B->Canvas(), &Frame, AText);
    else
        DrawResizeItem(B->Canvas(), &Frame, AText);
}

void TbsSkinCustomOfficeComboBox::DrawItemContent(TCanvas* C, int Index, TRect T, const String* AText, bool WithTitle) {
    if (Index < 0 || Index >= Items()->Count())
        return;
    TbsSkinOfficeItem* Item = Items()->Items(Index);
    if (OnDrawItem) {
        C->Brush()->SetStyle(bsClear);
        OnDrawItem(C, Index, T);
        return;
    }
    const String& Text = AText ? *AText : Item->Caption();
    if (WithTitle && FShowItemText && FShowItemTitle && !Item->Title().empty()) {
        const TFontStyles Old = C->Font()->Style();
        C->Font()->SetStyle(Old + fsBold);
        TRect R = T;
        R.Bottom = T.Top + C->TextHeight(Item->Title());
        DrawWideText(C, Item->Title(), R, 0);
        C->Font()->SetStyle(Old);
        T.Top = T.Top + C->TextHeight(Item->Title()) - 2;
    }
    if (FShowItemText && !FShowItemImage)
        TextOutVCentered(C, Text, T);
    if (FShowItemImage)
        DrawImageAndTextLeft(C, T, 0, 2, blGlyphLeft, FShowItemText ? Text : String(), Item->ImageIndex(), Images(),
                             false, Enabled(), false, 0);
}

void TbsSkinCustomOfficeComboBox::CreateToolButtonDefaultImage(TBitmap* B, const String* AText) {
    TCanvas* C = B->Canvas();
    const TRect All = Rect(0, 0, Width(), Height());
    if (FDropDown)
        FrameAndFill(C, All, clNavy, TColor(RGB(133, 147, 181)));
    else if (Hot())
        FrameAndFill(C, All, clNavy, TColor(RGB(182, 189, 210)));
    else
        FrameAndFill(C, All, clBtnShadow, clBtnFace);
    TRect T = Rect(2, 2, Width() - 17, Height() - 2);
    TRect Arrow = Rect(Width() - 15, 0, Width(), Height());
    if (FDropDown) {
        T.Left += 2;
        T.Top += 2;
        Arrow.Left += 2;
        Arrow.Top += 2;
    }
    C->Font()->Assign(DefaultFont());
    C->Font()->SetCharset(TextCharset());
    C->Brush()->SetStyle(bsClear);
    DrawItemContent(C, ShownItemIndex(), T, AText, true);
    DrawDropDownArrowImage(C, Arrow, C->Font()->Color());
}

void TbsSkinCustomOfficeComboBox::CreateToolButtonSkinImage(TBitmap* B, const String* AText) {
    TbsDataSkinButtonControl* Rec = ButtonRecord({u"resizetoolbutton", u"resizebutton"});
    if (!Rec)
        return;
    TRect Face = Rec->SkinRect;
    if (FDropDown)
        Face = Rec->DownSkinRect;
    else if (Hot())
        Face = Rec->ActiveSkinRect;
    if (IsNullRect(Face))
        Face = Rec->SkinRect;
    DrawButtonFace(B, Rec, ActivePicture(FSD, Rec->PictureIndex), Face, Width(), Height());
    TCanvas* C = B->Canvas();
    TRect T = Rect(2, 2, Width() - 17, Height() - 2);
    TRect Arrow = Rect(Width() - 15, 0, Width(), Height());
    if (FDropDown) {
        T.Left += 2;
        T.Top += 2;
        Arrow.Left += 2;
        Arrow.Top += 2;
    }
    if (FUseSkinFont) {
        C->Font()->SetName(Rec->FontName);
        C->Font()->SetStyle(Rec->FontStyle);
        C->Font()->SetHeight(Rec->FontHeight);
    } else {
        C->Font()->Assign(DefaultFont());
    }
    C->Font()->SetCharset(TextCharset());
    if (FDropDown)
        C->Font()->SetColor(Rec->DownFontColor);
    else if (Hot())
        C->Font()->SetColor(Rec->ActiveFontColor);
    else if (Enabled())
        C->Font()->SetColor(Rec->FontColor);
    else
        C->Font()->SetColor(Rec->DisabledFontColor);
    C->Brush()->SetStyle(bsClear);
    DrawItemContent(C, ShownItemIndex(), T, AText, true);
    if (!IsNullRect(Rec->MenuMarkerRect))
        DrawToolButtonMarker(C, Rec, Arrow, FDropDown);
    else
        DrawDropDownArrowImage(C, Arrow, FDropDown ? Rec->DownFontColor : C->Font()->Color());
}

void TbsSkinCustomOfficeComboBox::DrawToolButtonMarker(TCanvas* C, TbsDataSkinButtonControl* Rec, const TRect& R,
                                                       bool Pressed) {
    TRect Mark = Rec->MenuMarkerRect;
    if (Pressed && !IsNullRect(Rec->MenuMarkerDownRect))
        Mark = Rec->MenuMarkerDownRect;
    else if (Pressed && !IsNullRect(Rec->MenuMarkerActiveRect))
        Mark = Rec->MenuMarkerActiveRect;
    else if (!Pressed && FMouseIn && !IsNullRect(Rec->MenuMarkerActiveRect))
        Mark = Rec->MenuMarkerActiveRect;
    // The marker lies in the button record's own picture.
    TBitmap* Picture = ActivePicture(FSD, Rec->PictureIndex);
    if (!Picture)
        return;
    TBitmap M(GetRectWidth(Mark), GetRectHeight(Mark));
    M.Canvas()->CopyRect(Rect(0, 0, M.Width(), M.Height()), Picture->Canvas(), Mark);
    M.SetTransparent(true);
    M.SetTransparentMode(tmFixed);
    M.SetTransparentColor(Rec->MenuMarkerTransparentColor);
    C->Draw(R.Left + (GetRectWidth(R) - M.Width()) / 2, R.Top + (GetRectHeight(R) - M.Height()) / 2, &M);
}

void TbsSkinCustomOfficeComboBox::DrawDefaultFrame(TBitmap* B) {
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, Width(), Height()));
    FrameAndFill(C, Rect(0, 0, Width(), Height()), clBtnShadow, FDefaultColor);
    DrawButton(C);
}

void TbsSkinCustomOfficeComboBox::DrawSkinFrame(TBitmap* B) {
    const bool HotFace = !IsNullRect(ActiveSkinRect) && Hot();
    if (!FUseSkinSize) {
        if (Picture)
            DrawNinePartSkinImageByClientRect(B, Picture, HotFace ? ActiveSkinRect : SkinRect, ClRect, true);
        DrawResizeButton(B->Canvas());
        return;
    }
    if (HotFace && Picture) {
        TBitmap Strip;
        DrawSkinStripH(LTPt.X, GetRectWidth(ActiveSkinRect) - RTPt.X, &Strip, Picture, ActiveSkinRect, Width(),
                       Height(), StretchEffect);
        B->Canvas()->Draw(0, 0, &Strip);
    } else {
        TbsSkinCustomControl::CreateControlSkinImage(B);
        B->SetSize(Width(), Height());
    }
    DrawButton(B->Canvas());
}

void TbsSkinCustomOfficeComboBox::DrawButton(TCanvas* C) {
    if (FIndex == -1) {
        if (Button.Down && Button.MouseIn)
            FrameAndFill(C, Button.R, clNavy, TColor(RGB(133, 147, 181)));
        else if (Button.MouseIn)
            FrameAndFill(C, Button.R, clNavy, TColor(RGB(182, 189, 210)));
        else
            FrameAndFill(C, Button.R, clBtnShadow, clBtnFace);
        DrawArrowImage(C, Button.R, Enabled() ? clBlack : clBtnShadow, 4);
        return;
    }
    TRect Face;
    if (!Enabled() && !IsNullRect(UnEnabledButtonRect))
        Face = UnEnabledButtonRect;
    else if (Button.Down && Button.MouseIn)
        Face = DownButtonRect;
    else if (Button.MouseIn)
        Face = ActiveButtonRect;
    // The normal state is part of the frame picture.
    if (IsNullRect(Face) || !Picture)
        return;
    C->CopyRect(Button.R, Picture->Canvas(), Face);
}

void TbsSkinCustomOfficeComboBox::DrawResizeButton(TCanvas* C) {
    TbsDataSkinButtonControl* Rec = ButtonRecord({u"combobutton", u"editbutton", u"resizebutton"});
    const int W = GetRectWidth(Button.R);
    const int H = GetRectHeight(Button.R);
    if (!Rec || W < 1 || H < 1)
        return;
    const bool Pressed = Button.Down && Button.MouseIn;
    TRect Face = Rec->SkinRect;
    TColor Arrow = Rec->FontColor;
    if (Pressed) {
        Face = !IsNullRect(Rec->DownSkinRect) ? Rec->DownSkinRect : Rec->ActiveSkinRect;
        Arrow = Rec->DownFontColor;
    } else if (Button.MouseIn) {
        Face = Rec->ActiveSkinRect;
        Arrow = Rec->ActiveFontColor;
    }
    if (IsNullRect(Face))
        Face = Rec->SkinRect;
    TBitmap B(W, H);
    TBitmap* Pic = ActivePicture(FSD, Rec->PictureIndex);
    DrawButtonFace(&B, Rec, Pic, Face, W, H);
    if (IsNullRect(Rec->MenuMarkerRect)) {
        if (Enabled())
            DrawArrowImage(B.Canvas(), Pressed ? Rect(0, 2, W, H) : Rect(0, 0, W, H), Arrow, 4);
    } else if (Pic) {
        TRect Mark = Rec->MenuMarkerRect;
        if (Pressed && !IsNullRect(Rec->MenuMarkerDownRect))
            Mark = Rec->MenuMarkerDownRect;
        else if (Button.MouseIn && !IsNullRect(Rec->MenuMarkerActiveRect))
            Mark = Rec->MenuMarkerActiveRect;
        TBitmap M(GetRectWidth(Mark), GetRectHeight(Mark));
        M.Canvas()->CopyRect(Rect(0, 0, M.Width(), M.Height()), Pic->Canvas(), Mark);
        M.SetTransparent(true);
        M.SetTransparentMode(tmFixed);
        M.SetTransparentColor(Rec->MenuMarkerTransparentColor);
        B.Canvas()->Draw((W - M.Width()) / 2, (H - M.Height()) / 2 + (Pressed ? 1 : 0), &M);
    }
    C->Draw(Button.R.Left, Button.R.Top, &B);
}

void TbsSkinCustomOfficeComboBox::DrawDefaultItem(TCanvas* C, const String* AText) {
    const int W = GetRectWidth(CBItem.R);
    const int H = GetRectHeight(CBItem.R);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    TCanvas* BC = B.Canvas();
    BC->Font()->SetName(Font()->Name());
    BC->Font()->SetStyle(Font()->Style());
    BC->Font()->SetHeight(Font()->Height());
    BC->Font()->SetCharset(TextCharset());
    const bool HasFocus = Focused();
    BC->Brush()->SetStyle(bsSolid);
    BC->Brush()->SetColor(HasFocus ? clHighlight : FDefaultColor);
    BC->Font()->SetColor(HasFocus ? clHighlightText : DefaultFont()->Color());
    BC->FillRect(Rect(0, 0, W, H));
    BC->Brush()->SetStyle(bsClear);
    DrawItemContent(BC, ShownItemIndex(), Rect(2, 0, W - 2, H), AText, true);
    if (HasFocus)
        BC->DrawFocusRect(Rect(0, 0, W, H));
    C->Draw(CBItem.R.Left, CBItem.R.Top, &B);
}

void TbsSkinCustomOfficeComboBox::DrawSkinItem(TCanvas* C, TBitmap* Frame, const String* AText) {
    const int W = GetRectWidth(CBItem.R);
    if (W <= 0 || !Picture)
        return;
    const bool HasFocus = Focused();
    const bool HotItem = FMouseIn && !IsNullRect(ActiveItemRect) && !IsNullRect(ActiveSkinRect);
    TRect Face = HasFocus ? FocusItemRect : HotItem ? ActiveItemRect : SItemRect;
    TBitmap B;
    if (IsNullRect(Face)) {
        int H = GetRectHeight(SItemRect);
        if (H <= 0)
            H = GetRectHeight(FocusItemRect);
        if (H <= 0)
            H = W;
        B.SetSize(W, H);
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Frame->Canvas(), Bounds(CBItem.R.Left, CBItem.R.Top, W, H));
    } else {
        DrawSkinStripH(ItemLeftOffset, ItemRightOffset, &B, Picture, Face, W, GetRectHeight(Face),
                       HasFocus ? FocusItemStretchEffect : ItemStretchEffect);
    }
    TCanvas* BC = B.Canvas();
    const int Shortfall = IsNullRect(SItemRect) ? GetRectWidth(ClRect) : GetRectWidth(SItemRect);
    TRect T = ItemTextRect;
    T.Right += W - Shortfall;
    if (FUseSkinFont) {
        BC->Font()->SetName(FontName);
        BC->Font()->SetStyle(FontStyle);
        BC->Font()->SetHeight(FontHeight);
    } else {
        BC->Font()->Assign(DefaultFont());
    }
    BC->Font()->SetCharset(TextCharset());
    if (!Enabled())
        BC->Font()->SetColor(GetDisabledFontColor());
    else if (HasFocus)
        BC->Font()->SetColor(FocusFontColor);
    else if (FMouseIn && !IsNullRect(ActiveSkinRect))
        BC->Font()->SetColor(ActiveFontColor);
    else
        BC->Font()->SetColor(FontColor);
    BC->Brush()->SetStyle(bsClear);
    DrawItemContent(BC, ShownItemIndex(), T, AText, false);
    C->Draw(CBItem.R.Left, CBItem.R.Top, &B);
}

void TbsSkinCustomOfficeComboBox::DrawResizeItem(TCanvas* C, TBitmap* Frame, const String* AText) {
    const int W = GetRectWidth(CBItem.R);
    const int H = GetRectHeight(CBItem.R);
    if (W <= 0 || H <= 0 || !Picture)
        return;
    const bool HasFocus = Focused();
    const bool HotItem = FMouseIn && !IsNullRect(ActiveItemRect) && !IsNullRect(ActiveSkinRect);
    TRect Face = HasFocus ? FocusItemRect : HotItem ? ActiveItemRect : SItemRect;
    TBitmap B(W, H);
    if (IsNullRect(Face)) {
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Frame->Canvas(), CBItem.R);
    } else {
        TRect Client = ItemTextRect;
        if (HasFocus)
            Client = Rect(Client.Left + 1, Client.Top + 1, Client.Right - 1, Client.Bottom - 1);
        if (HasFocus || HotItem) {
            Client.Right -= GetRectWidth(SItemRect) - GetRectWidth(Face);
            Client.Top -= GetRectHeight(SItemRect) - GetRectHeight(Face);
        }
        DrawNinePartSkinImageByClientRect(&B, Picture, Face, Client, true);
    }
    TCanvas* BC = B.Canvas();
    const int Base = IsNullRect(SItemRect) ? GetRectWidth(ClRect) : GetRectWidth(SItemRect);
    TRect T = ItemTextRect;
    T.Right += W - Base;
    T.Bottom += Height() - GetRectHeight(SkinRect);
    T.Left += 1;
    if (FUseSkinFont) {
        BC->Font()->SetName(FontName);
        BC->Font()->SetStyle(FontStyle);
        BC->Font()->SetHeight(FontHeight);
    } else {
        BC->Font()->Assign(DefaultFont());
    }
    BC->Font()->SetCharset(TextCharset());
    if (HasFocus)
        BC->Font()->SetColor(FocusFontColor);
    else if (FMouseIn && !IsNullRect(ActiveSkinRect))
        BC->Font()->SetColor(ActiveFontColor);
    else
        BC->Font()->SetColor(FontColor);
    if (HasFocus && ShowFocus) {
        BC->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(BC, Rect(0, 0, W, H));
    }
    BC->Brush()->SetStyle(bsClear);
    DrawItemContent(BC, ShownItemIndex(), T, AText, true);
    C->Draw(CBItem.R.Left, CBItem.R.Top, &B);
}

void TbsSkinCustomOfficeComboBox::PaintSkinTo(TCanvas* C, int X, int Y, const String& AText) {
    if (Width() < 1 || Height() < 1)
        return;
    TBitmap B(Width(), Height());
    GetSkinData();
    CalcRects();
    if (FToolButtonStyle) {
        PaintImage(&B, &AText);
    } else {
        if (FIndex == -1) {
            DrawDefaultFrame(&B);
            B.Canvas()->Font()->Assign(DefaultFont());
        } else {
            DrawSkinFrame(&B);
            B.Canvas()->Font()->SetName(FontName);
            B.Canvas()->Font()->SetStyle(FontStyle);
            B.Canvas()->Font()->SetHeight(FontHeight);
            B.Canvas()->Font()->SetColor(FontColor);
        }
        B.Canvas()->Font()->SetCharset(TextCharset());
        B.Canvas()->Brush()->SetStyle(bsClear);
        TextOutVCentered(B.Canvas(), AText, CBItem.R);
    }
    C->Draw(X, Y, &B);
}
