#include "platform/ui/StdCtrls.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdGlyphs.h"

namespace {

// WM_GETDLGCODE answers of buttons.
constexpr LRESULT DlgcWantArrows = 0x0001, DlgcDefPushButton = 0x0010, DlgcUndefPushButton = 0x0020,
                  DlgcRadioButton = 0x0040, DlgcButton = 0x2000;

constexpr int BoxSize = 13;   // the check box's square and the radio button's circle
constexpr int CaptionGap = 4; // between the box and the caption

// The box of a check box or radio button, vertically centred on the side the alignment leaves it.
RECT BoxRect(const TRect& Client, TLeftRight Alignment, int Size) {
    int X = Alignment == lrRight ? 0 : Client.Right - Size;
    int Y = (Client.Bottom - Size) / 2;
    return RECT{X, Y, X + Size, Y + Size};
}

RECT CaptionRect(const TRect& Client, TLeftRight Alignment) {
    return Alignment == lrRight ? RECT{BoxSize + CaptionGap, 0, Client.Right, Client.Bottom}
                                : RECT{0, 0, Client.Right - BoxSize - CaptionGap, Client.Bottom};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    // The click comes from ButtonReleased, not from the generic press-and-release of TControl.
    FControlStyle -= csClickEvents;
    FControlStyle += csOpaque;
    SetColor(clBtnFace);
}

void TButtonControl::SetPressed(bool Value) {
    if (Value == FPressed)
        return;
    FPressed = Value;
    Invalidate();
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        return;
    case WM_LBUTTONUP:
        WMLButtonUp(Message);
        return;
    case WM_CAPTURECHANGED:
    case CM_CANCELMODE:
        MouseReleased();
        break;
    case WM_KEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_KEYUP:
        WMKeyUp(Message);
        return;
    case WM_CHAR:
        WMChar(Message);
        return;
    case WM_SETFOCUS:
        Invalidate();
        break;
    case WM_KILLFOCUS:
        WMKillFocus();
        break;
    case WM_GETDLGCODE:
        Message.Result = DlgcButton;
        return;
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    }
    TWinControl::Dispatch(Message);
}

void TButtonControl::WMLButtonDown(TMessage& Message) {
    TWinControl::Dispatch(Message);
    FMouseHeld = true;
    SetPressed(true);
}

void TButtonControl::WMMouseMove(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (FMouseHeld)
        SetPressed(PtInRect(ClientRect(), TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}));
}

void TButtonControl::WMLButtonUp(TMessage& Message) {
    bool Released =
        FMouseHeld && PtInRect(ClientRect(), TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    FMouseHeld = false;
    SetPressed(FSpaceHeld);
    TWinControl::Dispatch(Message);
    // Last: the action may free the control.
    if (Released)
        ButtonReleased();
}

void TButtonControl::MouseReleased() {
    FMouseHeld = false;
    SetPressed(FSpaceHeld);
}

// A disabled control that still holds the focus takes no key.
void TButtonControl::WMKeyDown(TMessage& Message) {
    if (Message.WParam == VK_SPACE && Enabled()) {
        FSpaceHeld = true;
        SetPressed(true);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TButtonControl::WMKeyUp(TMessage& Message) {
    if (Message.WParam == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        SetPressed(FMouseHeld);
        ButtonReleased();
        return;
    }
    TWinControl::Dispatch(Message);
}

void TButtonControl::WMChar(TMessage& Message) {
    if (Message.WParam == u' ')
        return;
    TWinControl::Dispatch(Message);
}

void TButtonControl::WMKillFocus() {
    FSpaceHeld = false;
    SetPressed(FMouseHeld);
    Invalidate();
}

void TButtonControl::CMDialogChar(TMessage& Message) {
    if (IsAccel(Word(Message.WParam), Caption()) && Visible() && Enabled()) {
        SetFocus();
        Message.Result = 1;
        ButtonReleased();
        return;
    }
    TWinControl::Dispatch(Message);
}

void TButtonControl::WMPaint(TMessage& Message) {
    // A DC in WParam is painted into as it is (origin and clip kept), without BeginPaint.
    if (Message.WParam) {
        PaintButton(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(Handle(), &PS);
    PaintButton(DC);
    EndPaint(Handle(), &PS);
}

void TButtonControl::DrawCaption(HDC DC, RECT R, UINT Format) {
    const String& Text = Caption();
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    int OldMode = SetBkMode(DC, TRANSPARENT);
    DrawStateText(DC, Text, R, Format, Enabled(), Font()->Color());
    SetBkMode(DC, OldMode);
    SelectObject(DC, OldFont);
}

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    // Another button with the focus keeps answering Enter itself.
    auto* Focus = dynamic_cast<TButton*>(FindControl(GetFocus()));
    bool Active = Focus && Focus != this ? false : Value || Focus == this;
    if (Active != FActive) {
        FActive = Active;
        Invalidate();
    }
}

void TButton::Click() {
    // The form takes the button's modal result (0 too) before the handler runs.
    if (TCustomForm* Form = GetParentForm(this))
        Form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DlgcButton | (FActive ? DlgcDefPushButton : DlgcUndefPushButton);
        return;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case CM_FOCUSCHANGED:
        CMFocusChanged(Message);
        break;
    }
    TButtonControl::Dispatch(Message);
}

// Shift, Ctrl or Alt with the key leave it alone.
void TButton::CMDialogKey(TMessage& Message) {
    if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Message.Result = 1;
        Click();
        return;
    }
    TButtonControl::Dispatch(Message);
}

// LParam: the control that took the focus. A button with the focus answers Enter, else the default
// button does.
void TButton::CMFocusChanged(TMessage& Message) {
    auto* Sender = reinterpret_cast<TWinControl*>(Message.LParam);
    bool Active = dynamic_cast<TButton*>(Sender) ? Sender == this : FDefault;
    if (Active != FActive) {
        FActive = Active;
        Invalidate();
    }
}

void TButton::PaintButton(HDC DC) {
    RECT R = ClientRect();
    FillColor(DC, R, Color());
    // The button that answers Enter (and the focused one) wears a dark frame around its edge.
    if (FActive || Focused()) {
        FillColor(DC, RECT{R.Left, R.Top, R.Right, R.Top + 1}, clWindowFrame);
        FillColor(DC, RECT{R.Left, R.Bottom - 1, R.Right, R.Bottom}, clWindowFrame);
        FillColor(DC, RECT{R.Left, R.Top, R.Left + 1, R.Bottom}, clWindowFrame);
        FillColor(DC, RECT{R.Right - 1, R.Top, R.Right, R.Bottom}, clWindowFrame);
        R = RECT{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
    if (Pressed()) {
        HBRUSH Shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FrameRect(DC, &R, Shadow);
        DeleteObject(Shadow);
    } else {
        RECT Edge = R;
        DrawEdge(DC, &Edge, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    RECT Text = ClientRect();
    Text = RECT{Text.Left + 4, Text.Top + 4, Text.Right - 4, Text.Bottom - 4};
    if (Pressed())
        Text = RECT{Text.Left + 1, Text.Top + 1, Text.Right + 1, Text.Bottom + 1};
    DrawCaption(DC, Text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Focused()) {
        RECT Focus = ClientRect();
        Focus = RECT{Focus.Left + 4, Focus.Top + 4, Focus.Right - 4, Focus.Bottom - 4};
        DrawFocusRect(DC, &Focus);
    }
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (Value == FState)
        return;
    FState = Value;
    Invalidate();
    Click();
}

void TCheckBox::SetAlignment(TLeftRight Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCheckBox::Dispatch(TMessage& Message) {
    TButtonControl::Dispatch(Message);
}

void TCheckBox::PaintButton(HDC DC) {
    TRect Client = ClientRect();
    FillColor(DC, Client, Color());
    RECT Box = BoxRect(Client, FAlignment, BoxSize);
    DrawCheckSquare(DC, Box.Left, Box.Top, FState != cbUnchecked, Pressed() || !Enabled() || FState == cbGrayed,
                    FState == cbGrayed || !Enabled());

    RECT Text = CaptionRect(Client, FAlignment);
    DrawCaption(DC, Text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (Focused() && !Caption().empty()) {
        // The focus frame goes around the caption.
        RECT Measure = Text;
        HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
        DrawTextW(DC, Caption().c_str(), int(Caption().size()), &Measure, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
        SelectObject(DC, OldFont);
        int H = Measure.Bottom - Measure.Top;
        int Top = (Text.Top + Text.Bottom - H) / 2;
        RECT Focus{Measure.Left - 1, Top - 1, std::min<int>(Measure.Right + 1, Client.Right), Top + H + 1};
        DrawFocusRect(DC, &Focus);
    }
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    // Only the checked button of a group is a tab stop: Tab enters the group at its check.
    SetTabStop(false);
}

void TRadioButton::SetAlignment(TLeftRight Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TRadioButton::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    SetTabStop(Value);
    Invalidate();
    if (!Value)
        return;
    if (TWinControl* P = Parent())
        for (int I = 0; I < P->ControlCount(); ++I)
            if (auto* Other = dynamic_cast<TRadioButton*>(P->Controls(I)); Other && Other != this)
                Other->SetChecked(false);
    Click();
}

void TRadioButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DlgcButton | DlgcRadioButton | DlgcWantArrows;
        return;
    case WM_KEYDOWN:
        WMKeyDown(Message);
        return;
    }
    TButtonControl::Dispatch(Message);
}

void TRadioButton::WMKeyDown(TMessage& Message) {
    int Dir = Message.WParam == VK_DOWN || Message.WParam == VK_RIGHT ? 1
              : Message.WParam == VK_UP || Message.WParam == VK_LEFT  ? -1
                                                                      : 0;
    TWinControl* P = Parent();
    if (!Dir || !P) {
        TButtonControl::Dispatch(Message);
        return;
    }
    // The next button of the group that can take the focus, round the group.
    std::vector<TRadioButton*> Group;
    for (int I = 0; I < P->ControlCount(); ++I)
        if (auto* R = dynamic_cast<TRadioButton*>(P->Controls(I)); R && (R == this || (R->Visible() && R->Enabled())))
            Group.push_back(R);
    int Me = int(std::find(Group.begin(), Group.end(), this) - Group.begin());
    TRadioButton* Next = Group[std::size_t((Me + Dir + int(Group.size())) % int(Group.size()))];
    Message.Result = 0;
    if (Next != this) {
        Next->SetFocus();
        Next->SetChecked(true);
    }
}

void TRadioButton::PaintButton(HDC DC) {
    TRect Client = ClientRect();
    FillColor(DC, Client, Color());
    RECT Box = BoxRect(Client, FAlignment, BoxSize - 1);
    bool Dim = Pressed() || !Enabled();
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Dim ? clBtnFace : clWindow));
    HPEN Pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow));
    HGDIOBJ OldBrush = SelectObject(DC, Brush);
    HGDIOBJ OldPen = SelectObject(DC, Pen);
    Ellipse(DC, Box.Left, Box.Top, Box.Right, Box.Bottom);
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
    DeleteObject(Pen);
    DeleteObject(Brush);
    if (FChecked)
        DrawRadioDot(DC, Box.Left + 3, Box.Top + 3, Enabled() ? clWindowText : clBtnShadow);

    RECT Text = CaptionRect(Client, FAlignment);
    DrawCaption(DC, Text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (Focused() && !Caption().empty()) {
        RECT Focus{Text.Left - 1, Text.Top, Text.Right, Text.Bottom};
        DrawFocusRect(DC, &Focus);
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += csOpaque;
    FControlStyle += csReplicatable;
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (Value)
        FControlStyle -= csOpaque;
    else
        FControlStyle += csOpaque;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (Value == FShowAccelChar)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (Value == FFocusControl)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl)
        FFocusControl->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

UINT TCustomLabel::DrawFlags() const {
    UINT Flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
    if (FAlignment == taCenter)
        Flags |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        Flags |= DT_RIGHT;
    return Flags;
}

void TCustomLabel::DrawTextOn(HDC DC, TRect& Rect, UINT Flags) {
    String Text = Caption();
    // An empty caption (or a lone accelerator mark) still measures one line high.
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == u"&")))
        Text += u" ";
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    int OldMode = SetBkMode(DC, TRANSPARENT);
    RECT R = Rect;
    if (Flags & DT_CALCRECT) {
        DrawTextW(DC, Text.c_str(), int(Text.size()), &R, Flags);
        Rect = R;
    } else {
        DrawStateText(DC, Text, R, Flags, Enabled(), Font()->Color());
    }
    SetBkMode(DC, OldMode);
    SelectObject(DC, OldFont);
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    DrawTextOn(Canvas()->Handle(), Rect, Flags);
}

void TCustomLabel::Paint() {
    HDC DC = Canvas()->Handle();
    TRect R = ClientRect();
    if (!FTransparent)
        FillColor(DC, R, Color());
    UINT Flags = DrawFlags();
    if (FLayout != tlTop) {
        TRect Measure = R;
        DoDrawText(Measure, Flags | DT_CALCRECT);
        int Spare = R.Bottom - Measure.Bottom;
        R.Top += FLayout == tlBottom ? Spare : Spare / 2;
    }
    DoDrawText(R, Flags);
}

bool TCustomLabel::CanAutoSize(int& NewWidth, int& NewHeight) {
    HDC DC = CreateCompatibleDC(nullptr);
    // A wrapping label keeps its width (the lines break there) and takes the height of its lines.
    TRect R = Rect(0, 0, FWordWrap ? NewWidth : 0, 0);
    DrawTextOn(DC, R, DrawFlags() | DT_CALCRECT);
    DeleteDC(DC);
    if (!FWordWrap)
        NewWidth = R.Right - R.Left;
    NewHeight = R.Bottom - R.Top;
    return true;
}

void TCustomLabel::AdjustBounds() {
    if (!AutoSize() || ComponentState().Contains(csLoading))
        return;
    int W = Width(), H = Height();
    CanAutoSize(W, H);
    int X = FAlignment == taRightJustify ? Left() + Width() - W : Left();
    SetBounds(X, Top(), W, H);
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    }
    TGraphicControl::Dispatch(Message);
}

// The accelerator of a label focuses the control it labels.
void TCustomLabel::CMDialogChar(TMessage& Message) {
    if (FFocusControl && FShowAccelChar && Enabled() && IsAccel(Word(Message.WParam), Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::Dispatch(Message);
}
