#include "skin/controls/TbsSkinListBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"
#include "skin/core/TbsSkinData.h"

namespace {

// The library's paint-into-DC protocol: paint the frame, or the background of an empty list.
constexpr UINT WM_PAINTFRAMETO = 0xB1C9;
constexpr LRESULT PaintFrameAnswer = 12851;
constexpr UINT WM_PAINTBACKGROUNDTO = 0xBC4A;
constexpr LPARAM PaintBackgroundKey = 16802;

// The integer a tab-width line holds when all its characters are digits, else 0.
int TabWidthValue(const String& S) {
    if (S.empty() || S.size() > 9 || !std::all_of(S.begin(), S.end(), [](Char C) { return C >= u'0' && C <= u'9'; }))
        return 0;
    return StrToInt(S);
}

// The row text at the first ten tab stops of TabWidths, vertically centred in T.
void DrawTabbedItemText(const String& Text, TStrings* TabWidths, int Offset, const TRect& T, TCanvas* C) {
    int Stops[10];
    const int N = std::min(TabWidths->Count(), 10);
    for (int I = 0; I < N; ++I)
        Stops[I] = TabWidthValue(TabWidths->Strings(I));
    const int Y = T.Top + (T.Bottom - T.Top) / 2 - C->TextHeight(Text) / 2;
    TabbedTextOutW(C->Handle(), T.Left + Offset + 2, Y, Text.c_str(), int(Text.size()), N, Stops, 0);
}

TRect Grown(TRect R, int DW, int DH) {
    R.Right += DW;
    R.Bottom += DH;
    return R;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsListBox

TbsListBox::TbsListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetCtl3D(false);
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
}

void TbsListBox::CreateParams(TCreateParams& Params) {
    TListBox::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.Style |= WS_TABSTOP;
    Params.WindowClass.style = CS_DBLCLKS;
}

void TbsListBox::CreateWnd() {
    TListBox::CreateWnd();
    if (SkinListBox)
        SkinListBox->ListBoxCreateWnd();
}

void TbsListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const int OldWidth = Width();
    TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    // A wider list shows more of its rows' left part: the offset gives back what the width gained.
    if (Width() != OldWidth && FHorizontalExtentValue >= 1) {
        FHorizontalExtentValue = std::max(0, FHorizontalExtentValue + OldWidth - Width());
        Invalidate();
    }
}

void TbsListBox::Click() {
    if (SkinListBox)
        SkinListBox->ListBoxClick();
    TListBox::Click();
}

void TbsListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (SkinListBox)
        SkinListBox->ListBoxMouseDown(Button, Shift, X, Y);
    TListBox::MouseDown(Button, Shift, X, Y);
}

void TbsListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (SkinListBox)
        SkinListBox->ListBoxMouseMove(Shift, X, Y);
    TListBox::MouseMove(Shift, X, Y);
}

void TbsListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (SkinListBox)
        SkinListBox->ListBoxMouseUp(Button, Shift, X, Y);
    TListBox::MouseUp(Button, Shift, X, Y);
}

void TbsListBox::KeyDown(Word& Key, TShiftState Shift) {
    if (SkinListBox) {
        SkinListBox->ListBoxKeyDown(Key, Shift);
        // With a horizontal bar Left and Right scroll sideways instead of moving in the list.
        if (TbsSkinScrollBar* Bar = SkinListBox->HScrollBar; Bar && (Key == VK_LEFT || Key == VK_RIGHT)) {
            Bar->SetPosition(Bar->Position() + (Key == VK_LEFT ? -Bar->SmallChange() : Bar->SmallChange()));
            Key = 0;
        }
    }
    if (Key != 0)
        TListBox::KeyDown(Key, Shift);
}

void TbsListBox::KeyUp(Word& Key, TShiftState Shift) {
    if (SkinListBox)
        SkinListBox->ListBoxKeyUp(Key, Shift);
    TListBox::KeyUp(Key, Shift);
}

void TbsListBox::KeyPress(Char& Key) {
    if (SkinListBox)
        SkinListBox->ListBoxKeyPress(Key);
    TListBox::KeyPress(Key);
}

void TbsListBox::WndProc(TMessage& Message) {
    if (SkinListBox) {
        bool Continue = true;
        SkinListBox->ListBoxWndProc(Message, Continue);
        if (!Continue)
            return;
    }
    TListBox::WndProc(Message);
}

void TbsListBox::Dispatch(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        // No non-client area: the native bars keep their state but never show.
        Message.Result = 0;
        return;
    case WM_PAINT:
        // The rows are drawn here, not by the window.
        TWinControl::Dispatch(Message);
        return;
    case WM_ERASEBKGND:
        PaintBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
        Message.Result = 1;
        if (SkinListBox)
            SkinListBox->UpDateScrollBar();
        return;
    case CN_DRAWITEM: {
        const auto* Di = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        TOwnerDrawState State;
        if (Di->itemState & ODS_SELECTED)
            State += odSelected;
        if (Di->itemState & ODS_FOCUS)
            State += odFocused;
        if (SkinListBox && Di->itemID != UINT(-1))
            SkinListBox->DrawRow(Di->hDC, int(Di->itemID),
                                 Rect(Di->rcItem.Left, Di->rcItem.Top, Di->rcItem.Right, Di->rcItem.Bottom), State);
        Message.Result = 1;
        return;
    }
    case WM_PAINTFRAMETO:
        Message.Result = PaintFrameAnswer;
        return;
    case WM_PAINTBACKGROUNDTO:
        if (Count() == 0 && Message.LParam == PaintBackgroundKey) {
            if (Message.WParam)
                PaintBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
            Message.Result = PaintBackgroundKey;
            return;
        }
        break;
    case CM_ENTER:
        if (SkinListBox)
            SkinListBox->ListBoxEnter();
        break;
    case CM_EXIT:
        if (SkinListBox)
            SkinListBox->ListBoxExit();
        break;
    case WM_MOUSEWHEEL:
        TListBox::Dispatch(Message);
        if (!Alive.expired())
            WMMouseWheel(Message);
        return;
    case WM_LBUTTONDBLCLK:
        TListBox::Dispatch(Message);
        // Also below the last row.
        if (!Alive.expired() && SkinListBox)
            SkinListBox->ListBoxDblClick();
        return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
        TListBox::Dispatch(Message);
        if (!Alive.expired() && SkinListBox)
            SkinListBox->UpDateScrollBar();
        return;
    }
    TListBox::Dispatch(Message);
}

void TbsListBox::WMMouseWheel(TMessage& Message) {
    if (!SkinListBox)
        return;
    const bool Up = GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0;
    if (SkinListBox->ScrollBar) {
        SendMessageW(Handle(), WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN, 0);
        SkinListBox->UpDateScrollBar();
    } else if (TbsSkinScrollBar* Bar = SkinListBox->HScrollBar) {
        Bar->SetPosition(Bar->Position() + (Up ? -Bar->SmallChange() : Bar->SmallChange()));
    }
}

TOwnerDrawState TbsListBox::RowState(int Index) {
    TOwnerDrawState State;
    if (Index == ItemIndex()) {
        State += odSelected;
        if (Focused())
            State += odFocused;
    } else if (SelCount() > 0 && Selected(Index)) {
        State += odSelected;
    }
    return State;
}

void TbsListBox::PaintBackground(HDC DC, const TRect& R) {
    if (!DC)
        return;
    if (SkinListBox) {
        SkinListBox->PaintListBackground(DC, R);
        return;
    }
    RECT F = R;
    FillRect(DC, &F, GetSysColorBrush(COLOR_WINDOW));
}

void TbsListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (SkinListBox)
        SkinListBox->DrawRow(Canvas()->Handle(), Index, Rect, State);
    else
        TListBox::DrawItem(Index, Rect, State);
}

void TbsListBox::PaintWindow(HDC DC) {
    if (Width() <= 0 || Height() <= 0 || !HandleAllocated())
        return;
    if (!SkinListBox) {
        ListBoxWndProc(FHandle, WM_PAINT, WPARAM(DC), 0);
        return;
    }
    const int Saved = SaveDC(DC);
    SkinListBox->GetSkinData();
    const int RowHeight = std::max(1, ItemHeight());
    const int Rows = ClientHeight() / RowHeight;
    const int Top = TopIndex();
    const int Last = Count() - 1;
    if (Columns() <= 0) {
        int Bottom = 0;
        for (int I = Top; I <= std::min(Top + Rows, Last); ++I) {
            const TRect R = ItemRect(I);
            SkinListBox->DrawRow(DC, I, R, RowState(I));
            Bottom = R.Bottom;
        }
        if (Bottom < ClientHeight())
            PaintBackground(DC, Rect(0, Bottom, ClientWidth(), ClientHeight()));
    } else {
        for (int I = Top; I <= std::min(Top + Rows * Columns(), Last); ++I)
            SkinListBox->DrawRow(DC, I, ItemRect(I), RowState(I));
    }
    RestoreDC(DC, Saved);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinCustomListBox: construction and properties

TbsSkinCustomListBox::TbsSkinCustomListBox(TComponent* AOwner)
    : TbsSkinCustomControl(AOwner), FDefaultCaptionFont(CreateSkinDefaultFont()) {
    FControlStyle =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks, csReplicatable};
    FForceBackground = true;
    FDrawbackground = false;
    Font()->SetName(u"Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clWindowText);
    Font()->SetStyle({});
    SetTabStop(false);
    FDefaultCaptionFont->OnChange = [this](TObject*) {
        if (FIndex == -1 && FCaptionMode)
            Repaint();
    };
    ListBox = new TbsListBox(this);
    ListBox->SkinListBox = this;
    ListBox->SetStyle(lbOwnerDrawFixed);
    ListBox->SetItemHeight(FDefaultItemHeight);
    ListBox->SetParent(this);
    ListBox->SetVisible(true);
    SetBounds(Left(), Top(), 120, 120);
    FSkinDataName = u"listbox";
}

TbsSkinCustomListBox::~TbsSkinCustomListBox() {
    StopRepeat();
    // The inner list and the bars go first, while this control can still answer them.
    ListBox->SkinListBox = nullptr;
    delete ScrollBar;
    ScrollBar = nullptr;
    delete HScrollBar;
    HScrollBar = nullptr;
    delete ListBox;
    ListBox = nullptr;
}

void TbsSkinCustomListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages) {
        FImages = nullptr;
        if (ListBox)
            ListBox->Invalidate();
    }
    if (AComponent == ScrollBar)
        ScrollBar = nullptr;
    if (AComponent == HScrollBar)
        HScrollBar = nullptr;
    if (AComponent == ListBox)
        ListBox = nullptr;
}

void TbsSkinCustomListBox::CreateParams(TCreateParams& Params) {
    TbsSkinCustomControl::CreateParams(Params);
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TbsSkinCustomListBox::SetItems(TStrings* Value) {
    Items()->Assign(Value);
    UpDateScrollBar();
}

void TbsSkinCustomListBox::Clear() {
    ListBox->Clear();
    UpDateScrollBar();
}

void TbsSkinCustomListBox::SetSorted(bool Value) {
    // The inner list's window is made again: the bar follows the new one.
    if (ScrollBar)
        RemoveMainBar();
    ListBox->SetSorted(Value);
    UpDateScrollBar();
}

void TbsSkinCustomListBox::SetColumns(int Value) {
    // A main bar of the other kind goes; the update makes the right one.
    if (ScrollBar && (Value > 0) != (ScrollBar->Kind() == sbHorizontal))
        RemoveMainBar();
    ListBox->SetColumns(Value);
    UpDateScrollBar();
}

void TbsSkinCustomListBox::SetHorizontalExtent(bool Value) {
    FHorizontalExtent = Value;
    UpDateScrollBar();
}

void TbsSkinCustomListBox::SetRowCount(int Value) {
    FRowCount = Value;
    if (Value != 0)
        SetHeight(CalcHeight(Value));
    UpDateScrollBar();
}

void TbsSkinCustomListBox::SetDefaultItemHeight(int Value) {
    if (Value < 1)
        return;
    FDefaultItemHeight = Value;
    if (FIndex == -1 || !FUseSkinItemHeight)
        ListBox->SetItemHeight(Value);
}

void TbsSkinCustomListBox::SetTabWidths(TStrings* Value) {
    FTabWidths->Assign(Value);
    if (FTabWidths->Count() > 0)
        ListBox->Invalidate();
}

void TbsSkinCustomListBox::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    ListBox->Invalidate();
}

void TbsSkinCustomListBox::SetImageIndex(int Value) {
    FImageIndex = Value;
    ListBox->Invalidate();
}

int TbsSkinCustomListBox::CalcHeight(int AItemsCount) {
    GetSkinData();
    const int RowHeight = ListBox->ItemHeight();
    int H;
    if (FIndex == -1)
        H = AItemsCount * RowHeight + 4 + (FCaptionMode ? FDefaultCaptionHeight : 0);
    else
        H = GetRectHeight(SkinRect) - GetRectHeight(ClRect) + AItemsCount * RowHeight;
    if (HScrollBar)
        H += HScrollBar->Height();
    return H;
}

// ---------------------------------------------------------------------------------------------
// Skin

int TbsSkinCustomListBox::RowItemHeight() const {
    // A skin without a row picture keeps the default height: rows of no height would divide by zero.
    if (FIndex != -1 && FUseSkinItemHeight && GetRectHeight(SItemRect) >= 1)
        return GetRectHeight(SItemRect);
    return FDefaultItemHeight;
}

void TbsSkinCustomListBox::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* Rec = dynamic_cast<TbsDataSkinListBox*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!Rec)
        return;
    FontName = Rec->FontName;
    FontStyle = Rec->FontStyle;
    FontHeight = Rec->FontHeight;
    SItemRect = Rec->SItemRect;
    ActiveItemRect = IsNullRect(Rec->ActiveItemRect) ? SItemRect : Rec->ActiveItemRect;
    FocusItemRect = IsNullRect(Rec->FocusItemRect) ? SItemRect : Rec->FocusItemRect;
    ItemLeftOffset = Rec->ItemLeftOffset;
    ItemRightOffset = Rec->ItemRightOffset;
    ItemTextRect = Rec->ItemTextRect;
    FontColor = Rec->FontColor;
    ActiveFontColor = Rec->ActiveFontColor;
    FocusFontColor = Rec->FocusFontColor;
    CaptionRect = Rec->CaptionRect;
    CaptionFontName = Rec->CaptionFontName;
    CaptionFontStyle = Rec->CaptionFontStyle;
    CaptionFontHeight = Rec->CaptionFontHeight;
    CaptionFontColor = Rec->CaptionFontColor;
    UpButtonRect = Rec->UpButtonRect;
    ActiveUpButtonRect = Rec->ActiveUpButtonRect;
    DownUpButtonRect = IsNullRect(Rec->DownUpButtonRect) ? ActiveUpButtonRect : Rec->DownUpButtonRect;
    DownButtonRect = Rec->DownButtonRect;
    ActiveDownButtonRect = Rec->ActiveDownButtonRect;
    DownDownButtonRect = IsNullRect(Rec->DownDownButtonRect) ? ActiveDownButtonRect : Rec->DownDownButtonRect;
    CheckButtonRect = Rec->CheckButtonRect;
    ActiveCheckButtonRect = Rec->ActiveCheckButtonRect;
    DownCheckButtonRect = IsNullRect(Rec->DownCheckButtonRect) ? ActiveCheckButtonRect : Rec->DownCheckButtonRect;
    // A record that names no bars (as stored skins may) takes the skin's standard bar records.
    VScrollBarName = Rec->VScrollBarName.empty() ? String(u"vscrollbar") : Rec->VScrollBarName;
    HScrollBarName = Rec->HScrollBarName.empty() ? String(u"hscrollbar") : Rec->HScrollBarName;
    BothScrollBarName = Rec->BothScrollBarName.empty() ? String(u"bothhscrollbar") : Rec->BothScrollBarName;
    ShowFocus = Rec->ShowFocus;
    DisabledButtonsRect = Rec->DisabledButtonsRect;
    ButtonsArea = Rec->ButtonsArea;
}

void TbsSkinCustomListBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    FStopUpDateHScrollBar = true;
    if (FIndex == -1) {
        ListBox->SetItemHeight(FDefaultItemHeight);
        SetFont(DefaultFont());
    } else if (FUseSkinItemHeight) {
        ListBox->SetItemHeight(RowItemHeight());
    }
    if (ScrollBar)
        SkinMainBar();
    if (HScrollBar)
        SkinHorizontalBar();
    if (FRowCount != 0)
        SetHeight(CalcHeight(FRowCount));
    CalcRects();
    FStopUpDateHScrollBar = false;
    UpDateScrollBar();
    ListBox->Invalidate();
}

void TbsSkinCustomListBox::DefaultFontChanged() {
    if (FIndex == -1)
        SetFont(DefaultFont());
}

void TbsSkinCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FIndex == -1)
        Repaint();
}

void TbsSkinCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
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
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinCustomListBox::WMSize(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (!ListBox)
        return;
    CalcRects();
    UpDateScrollBar();
    if (ScrollBar)
        ScrollBar->Repaint();
}

// ---------------------------------------------------------------------------------------------
// The inner list's events

int TbsSkinCustomListBox::GetItemWidth(int Index, TCanvas* Canvas) {
    return Canvas->TextWidth(Items()->Strings(Index));
}

void TbsSkinCustomListBox::ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnListBoxMouseDown)
        OnListBoxMouseDown(this, Button, Shift, X, Y);
}

void TbsSkinCustomListBox::ListBoxMouseMove(TShiftState Shift, int X, int Y) {
    if (OnListBoxMouseMove)
        OnListBoxMouseMove(this, Shift, X, Y);
}

void TbsSkinCustomListBox::ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnListBoxMouseUp)
        OnListBoxMouseUp(this, Button, Shift, X, Y);
}

void TbsSkinCustomListBox::ListBoxClick() {
    if (OnListBoxClick)
        OnListBoxClick(this);
}

void TbsSkinCustomListBox::ListBoxDblClick() {
    if (OnListBoxDblClick)
        OnListBoxDblClick(this);
}

void TbsSkinCustomListBox::ListBoxKeyDown(Word& Key, TShiftState Shift) {
    if (OnListBoxKeyDown)
        OnListBoxKeyDown(this, Key, Shift);
}

void TbsSkinCustomListBox::ListBoxKeyUp(Word& Key, TShiftState Shift) {
    if (OnListBoxKeyUp)
        OnListBoxKeyUp(this, Key, Shift);
}

void TbsSkinCustomListBox::ListBoxKeyPress(Char& Key) {
    if (OnListBoxKeyPress)
        OnListBoxKeyPress(this, Key);
}

// ---------------------------------------------------------------------------------------------
// Rows

void TbsSkinCustomListBox::PaintListBackground(HDC DC, const TRect& R) {
    GetSkinData();
    const int W = R.Right - R.Left;
    const int H = R.Bottom - R.Top;
    if (W <= 0 || H <= 0)
        return;
    if (FIndex == -1) {
        RECT F = R;
        FillRect(DC, &F, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    const int TW = GetRectWidth(ClRect);
    const int TH = GetRectHeight(ClRect);
    if (!Picture || TW <= 0 || TH <= 0)
        return;
    const TRect Tile = Bounds(SkinRect.Left + ClRect.Left, SkinRect.Top + ClRect.Top, TW, TH);
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    HDC Src = Picture->Canvas()->Handle();
    for (int Y = R.Top; Y < R.Bottom; Y += TH)
        for (int X = R.Left; X < R.Right; X += TW)
            BitBlt(DC, X, Y, TW, TH, Src, Tile.Left, Tile.Top, SRCCOPY);
    RestoreDC(DC, Saved);
}

void TbsSkinCustomListBox::DrawRow(HDC DC, int Index, const TRect& R, TOwnerDrawState State) {
    const int W = R.Right - R.Left;
    const int H = R.Bottom - R.Top;
    if (Index < 0 || Index >= Items()->Count() || W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    if (FIndex == -1 || IsNullRect(SItemRect)) {
        DrawDefaultRow(B.Canvas(), Index, W, H, State);
    } else {
        if (!Picture)
            return;
        if (FUseSkinItemHeight)
            DrawStripRow(B.Canvas(), Index, W, H, State);
        else
            DrawNinePartRow(B.Canvas(), Index, W, H, State);
    }
    BitBlt(DC, R.Left, R.Top, std::min(W, B.Width()), std::min(H, B.Height()), B.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinCustomListBox::SetRowFont(TCanvas* C, bool Skinned) {
    TFont* F = C->Font();
    if (Skinned && FUseSkinFont) {
        F->SetName(FontName);
        F->SetStyle(FontStyle);
        F->SetHeight(FontHeight);
    } else if (Skinned) {
        F->Assign(DefaultFont());
    } else {
        F->SetName(Font()->Name());
        F->SetStyle(Font()->Style());
        F->SetHeight(Font()->Height());
    }
    if (FSD && FSD->ResourceStrData())
        F->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        F->SetCharset(DefaultFont()->Charset());
}

void TbsSkinCustomListBox::DrawRowContent(TCanvas* C, int Index, const TRect& T) {
    const int HOffset = ListBox->FHorizontalExtentValue;
    int TextOffset = 0;
    if (FImages) {
        const int Image = FImageIndex < 0 ? Index : FImageIndex;
        if (Image < FImages->Count())
            FImages->Draw(C, T.Left - HOffset, T.Top + (GetRectHeight(T) - FImages->Height()) / 2, Image, Enabled());
        // Rows past the images keep the indent, so their texts line up.
        TextOffset = FImages->Width() + 2;
    }
    const String& Text = Items()->Strings(Index);
    if (FTabWidths->Count() > 0 && Columns() == 0)
        DrawTabbedItemText(Text, FTabWidths.get(), TextOffset, T, C);
    else
        TextOutVCenteredOffset(C, Text, T, TextOffset - HOffset);
}

void TbsSkinCustomListBox::DrawDefaultRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State) {
    SetRowFont(C, false);
    if (State.Contains(odSelected)) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    } else {
        C->Brush()->SetColor(clWindow);
        C->Font()->SetColor(Font()->Color());
    }
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(Rect(0, 0, W, H));
    const TRect T = Rect(2, 0, W - 2, H);
    if (OnDrawItem) {
        OnDrawItem(C, Index, W, H, T, State);
        return;
    }
    DrawRowContent(C, Index, T);
    if (State.Contains(odFocused))
        C->DrawFocusRect(Rect(0, 0, W, H));
}

void TbsSkinCustomListBox::DrawNinePartRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State) {
    const bool Focused = State.Contains(odFocused);
    const bool Sel = State.Contains(odSelected);
    const TRect& Face = Focused ? FocusItemRect : Sel ? ActiveItemRect : SItemRect;
    const TRect Client =
        Rect(ItemTextRect.Left + 1, ItemTextRect.Top + 1, ItemTextRect.Right - 1, ItemTextRect.Bottom - 1);
    TBitmap Row(W, H);
    DrawNinePartSkinImageByClientRect(&Row, Picture, Face, Client, true);
    C->Draw(0, 0, &Row);
    const TRect T = Grown(ItemTextRect, W - GetRectWidth(SItemRect), H - GetRectHeight(SItemRect));
    SetRowFont(C, true);
    C->Font()->SetColor(Focused ? FocusFontColor : Sel ? ActiveFontColor : FontColor);
    C->Brush()->SetStyle(bsClear);
    if (OnDrawItem) {
        OnDrawItem(C, Index, W, GetRectHeight(SItemRect), T, State);
        return;
    }
    if (Focused && ShowFocus) {
        C->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(C, Rect(0, 0, W, H));
        C->Brush()->SetStyle(bsClear);
    }
    DrawRowContent(C, Index, T);
}

void TbsSkinCustomListBox::DrawStripRow(TCanvas* C, int Index, int W, int H, TOwnerDrawState State) {
    const bool Focused = State.Contains(odFocused);
    const bool Sel = State.Contains(odSelected);
    TRect Face = SItemRect;
    bool Stretch = StretchEffect;
    if (Focused && Sel)
        Face = FocusItemRect;
    else if (Sel)
        Face = ActiveItemRect;
    else if (!Focused)
        Stretch = false;
    TBitmap Row;
    DrawSkinStripH(ItemLeftOffset, ItemRightOffset, &Row, Picture, Face, W, GetRectHeight(Face), Stretch);
    C->Draw(0, 0, &Row);
    if (Focused && !Sel)
        DrawSkinFocusRect(C, Rect(0, 0, W, Row.Height()));
    const TRect T = Grown(ItemTextRect, W - GetRectWidth(SItemRect), 0);
    SetRowFont(C, true);
    C->Font()->SetColor(Focused && Sel ? FocusFontColor : Sel ? ActiveFontColor : FontColor);
    C->Brush()->SetStyle(bsClear);
    if (OnDrawItem) {
        OnDrawItem(C, Index, W, GetRectHeight(SItemRect), T, State);
        return;
    }
    if (Focused && ShowFocus) {
        C->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(C, Rect(0, 0, W, Row.Height()));
        C->Brush()->SetStyle(bsClear);
    }
    DrawRowContent(C, Index, T);
}

// ---------------------------------------------------------------------------------------------
// Layout and scroll bars

void TbsSkinCustomListBox::CalcRects() {
    if (!ListBox)
        return;
    const int W = Width();
    const int H = Height();
    int Caption = 1;
    if (FIndex == -1)
        Caption = FCaptionMode ? FDefaultCaptionHeight : 1;
    else
        NewClRect = Grown(ClRect, W - GetRectWidth(SkinRect), H - GetRectHeight(SkinRect));
    int HBar = 0;
    if (Columns() <= 0 && HScrollBar && HScrollBar->Visible()) {
        if (FIndex == -1) {
            HScrollBar->SetBounds(1, H - 20, W - 2, 19);
            HBar = HScrollBar->Height() - 1;
        } else {
            HScrollBar->SetBounds(NewClRect.Left, NewClRect.Bottom - HScrollBar->Height(), GetRectWidth(NewClRect),
                                  HScrollBar->Height());
            HBar = HScrollBar->Height();
        }
    }
    if (ScrollBar && ScrollBar->Visible()) {
        const bool OneColumn = Columns() <= 0;
        if (FIndex == -1 && OneColumn) {
            ScrollBar->SetBounds(W - 20, Caption, 19, H - Caption - HBar - 1);
            ListRect = Rect(2, Caption + 1, ScrollBar->Left(), H - HBar - 2);
        } else if (FIndex == -1) {
            ScrollBar->SetBounds(1, H - 20, W - 2, 19);
            ListRect = Rect(2, Caption + 1, W - 2, ScrollBar->Top());
        } else if (OneColumn) {
            const int BW = ScrollBar->Width();
            ScrollBar->SetBounds(NewClRect.Right - BW, NewClRect.Top, BW, GetRectHeight(NewClRect) - HBar);
            ListRect = Rect(NewClRect.Left, NewClRect.Top, NewClRect.Right - BW, NewClRect.Bottom - HBar);
        } else {
            const int BH = ScrollBar->Height();
            ScrollBar->SetBounds(NewClRect.Left, NewClRect.Bottom - BH, GetRectWidth(NewClRect), BH);
            ListRect = Rect(NewClRect.Left, NewClRect.Top, NewClRect.Right, NewClRect.Bottom - BH);
        }
    } else if (FIndex == -1) {
        ListRect = Rect(2, Caption + 1, W - 2, H - HBar - 2);
    } else {
        ListRect = Rect(NewClRect.Left, NewClRect.Top, NewClRect.Right, NewClRect.Bottom - HBar);
    }
    ListBox->SetBounds(ListRect.Left, ListRect.Top, std::max(0, GetRectWidth(ListRect)),
                       std::max(0, GetRectHeight(ListRect)));
}

void TbsSkinCustomListBox::UpDateScrollBar() {
    if (!ListBox)
        return;
    if (Columns() <= 0)
        UpdateHorizontalBar();
    UpdateMainBar();
}

void TbsSkinCustomListBox::UpdateHorizontalBar() {
    if (!FHorizontalExtent || FStopUpDateHScrollBar) {
        if (HScrollBar && HScrollBar->Visible())
            RemoveHorizontalBar();
        return;
    }
    // Measured on a bitmap of its own: the inner list's canvas has a device context only while it paints.
    TBitmap Measure(1, 1);
    TCanvas* C = Measure.Canvas();
    SetRowFont(C, FIndex != -1);
    if (FIndex == -1 || !FUseSkinFont)
        C->Font()->Assign(ListBox->Font());
    int AMax = 0;
    for (int I = 0; I < Items()->Count(); ++I)
        AMax = std::max(AMax, GetItemWidth(I, C));
    int Page =
        FIndex == -1 ? ListBox->Width() - 4 : ListBox->Width() + GetRectWidth(ItemTextRect) - GetRectWidth(SItemRect);
    if (FImages)
        Page -= FImages->Width() + 4;
    if (Page < AMax) {
        if (!HScrollBar)
            CreateHorizontalBar();
        HScrollBar->SetRange(0, AMax, HScrollBar->Position(), Page);
        HScrollBar->SetSmallChange(C->TextWidth(u"0"));
        HScrollBar->SetLargeChange(C->TextWidth(u"0"));
        // A shorter range may have pulled the position back: the rows follow it.
        if (ListBox->FHorizontalExtentValue != HScrollBar->Position()) {
            ListBox->FHorizontalExtentValue = HScrollBar->Position();
            ListBox->Invalidate();
        }
    } else if (HScrollBar && HScrollBar->Visible()) {
        RemoveHorizontalBar();
    }
}

void TbsSkinCustomListBox::UpdateMainBar() {
    const int Count = Items()->Count();
    const int RowHeight = std::max(1, ListBox->ItemHeight());
    const bool OneColumn = Columns() <= 0;
    if (ListBox->HandleAllocated() && (!OneColumn || FRowCount == 0 || FRowCount != Count)) {
        HWND H = ListBox->Handle();
        const int Bar = OneColumn ? SB_VERT : SB_HORZ;
        int Min = 0, Max = 0;
        GetScrollRange(H, Bar, &Min, &Max);
        const int Pos = GetScrollPos(H, Bar);
        const int Page = ListBox->Height() / RowHeight;
        const bool Needed = OneColumn ? Min < Max && Max >= Pos && Page < Count
                                      : Min < Max && Max >= Pos && Max >= Columns() && Page * Columns() < Count;
        if (Needed) {
            if (!ScrollBar)
                CreateMainBar();
            ScrollBar->SetRange(Min, Max, Pos, OneColumn ? Page : Columns());
            if (OneColumn)
                ScrollBar->SetLargeChange(Page);
            return;
        }
    }
    if (ScrollBar && ScrollBar->Visible())
        RemoveMainBar();
}

void TbsSkinCustomListBox::SkinMainBar() {
    if (FIndex == -1)
        ScrollBar->SetSkinDataName(u"");
    else
        ScrollBar->SetSkinDataName(Columns() > 0 ? HScrollBarName : VScrollBarName);
    ScrollBar->SetSkinData(FSD);
}

void TbsSkinCustomListBox::SkinHorizontalBar() {
    if (FIndex == -1) {
        HScrollBar->SetSkinDataName(u"");
        if (ScrollBar)
            HScrollBar->SetBothMarkerWidth(19);
    } else if (ScrollBar) {
        HScrollBar->SetSkinDataName(BothScrollBarName);
        HScrollBar->SetBothSkinDataName(BothScrollBarName);
    } else {
        HScrollBar->SetSkinDataName(HScrollBarName);
    }
    HScrollBar->SetBoth(ScrollBar != nullptr);
    HScrollBar->SetSkinData(FSD);
}

void TbsSkinCustomListBox::CreateMainBar() {
    ScrollBar = new TbsSkinScrollBar(this);
    ScrollBar->SetVisible(false);
    ScrollBar->SetKind(Columns() > 0 ? sbHorizontal : sbVertical);
    ScrollBar->SetBounds(0, 0, 20, 100);
    ScrollBar->SetPageSize(0);
    ScrollBar->SetMin(0);
    ScrollBar->SetPosition(0);
    ScrollBar->OnChange = [this](TObject*) {
        if (ScrollBar && ListBox)
            SendMessageW(ListBox->Handle(), Columns() > 0 ? WM_HSCROLL : WM_VSCROLL,
                         MAKEWPARAM(SB_THUMBPOSITION, ScrollBar->Position()), 0);
    };
    SkinMainBar();
    if (HScrollBar)
        SkinHorizontalBar();
    ScrollBar->SetParent(this);
    ScrollBar->SetVisible(true);
    CalcRects();
    Repaint();
}

void TbsSkinCustomListBox::CreateHorizontalBar() {
    HScrollBar = new TbsSkinScrollBar(this);
    HScrollBar->SetVisible(false);
    HScrollBar->SetKind(sbHorizontal);
    HScrollBar->SetBounds(0, 0, 20, 100);
    HScrollBar->SetPageSize(0);
    HScrollBar->SetMin(0);
    HScrollBar->SetPosition(0);
    HScrollBar->OnChange = [this](TObject*) {
        if (HScrollBar && ListBox) {
            ListBox->FHorizontalExtentValue = HScrollBar->Position();
            ListBox->Invalidate();
        }
    };
    SkinHorizontalBar();
    HScrollBar->SetParent(this);
    HScrollBar->SetVisible(true);
    CalcRects();
    Repaint();
}

void TbsSkinCustomListBox::RemoveMainBar() {
    TbsSkinScrollBar* Bar = ScrollBar;
    ScrollBar = nullptr;
    Bar->SetVisible(false);
    delete Bar;
    // The horizontal bar no longer meets a vertical one.
    if (HScrollBar)
        SkinHorizontalBar();
    CalcRects();
}

void TbsSkinCustomListBox::RemoveHorizontalBar() {
    TbsSkinScrollBar* Bar = HScrollBar;
    HScrollBar = nullptr;
    Bar->SetVisible(false);
    delete Bar;
    ListBox->FHorizontalExtentValue = 0;
    CalcRects();
    ListBox->Invalidate();
}
