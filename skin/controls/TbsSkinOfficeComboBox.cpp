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

} // namespace

TbsSkinCustomOfficeComboBox::TbsSkinCustomOfficeComboBox(TComponent* AOwner) : TbsSkinComboBoxBase(AOwner) {
    // The office box keeps the height it is given unless told to take the skin's.
    FUseSkinSize = false;
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

// ---------------------------------------------------------------------------------------------
// Skin

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

// ---------------------------------------------------------------------------------------------
// Opening and closing

bool TbsSkinCustomOfficeComboBox::IsPopupVisible() const {
    return FListBox && FListBox->Visible();
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
    PressFace(Hit);
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
        DrawButton(B->Canvas());
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

void TbsSkinCustomOfficeComboBox::DrawToolButtonItem(TCanvas* C, const TRect& T, const String* AText) {
    DrawItemContent(C, ShownItemIndex(), T, AText, true);
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
            DrawButton(B.Canvas());
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
