#include "platform/ui/ExtCtrls.h"

#include "platform/ui/StdGlyphs.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The running timers by the window layer's timer number.
std::unordered_map<UINT_PTR, TTimer*>& RunningTimers() {
    static std::unordered_map<UINT_PTR, TTimer*> Map;
    return Map;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FTimerId) {
        KillTimer(nullptr, FTimerId);
        RunningTimers().erase(FTimerId);
        FTimerId = 0;
    }
    if (!FEnabled || FInterval == 0)
        return;
    FTimerId = SetTimer(nullptr, 0, FInterval, &TimerProc);
    if (FTimerId)
        RunningTimers()[FTimerId] = this;
}

void TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    auto It = RunningTimers().find(Id);
    if (It != RunningTimers().end())
        It->second->Timer();
}

void TTimer::Timer() {
    // A copy: the handler may free this timer, and with it OnTimer, while it runs.
    TNotifyEvent Handler = OnTimer;
    if (Handler)
        Handler(this);
}

// ---------------------------------------------------------------------------------------------
// Frame3D

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    HDC DC = Canvas->Handle();
    for (int I = 0; I < Width && Rect.Right > Rect.Left && Rect.Bottom > Rect.Top; ++I) {
        FillColor(DC, RECT{Rect.Left, Rect.Top, Rect.Right - 1, Rect.Top + 1}, TopColor);
        FillColor(DC, RECT{Rect.Left, Rect.Top, Rect.Left + 1, Rect.Bottom - 1}, TopColor);
        FillColor(DC, RECT{Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom}, BottomColor);
        FillColor(DC, RECT{Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom}, BottomColor);
        Rect = TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

namespace {

int BevelSize(TPanelBevel Bevel, int Width) {
    return Bevel == bvNone ? 0 : Width;
}

} // namespace

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csOpaque;
    FControlStyle += csSetCaption;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    if (Value == FBevelOuter)
        return;
    FBevelOuter = Value;
    BordersChanged();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    if (Value == FBevelInner)
        return;
    FBevelInner = Value;
    BordersChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
    if (Value == FBevelWidth || Value < 1)
        return;
    FBevelWidth = Value;
    BordersChanged();
}

void TCustomPanel::SetBorderWidth(int Value) {
    if (Value == FBorderWidth || Value < 0)
        return;
    FBorderWidth = Value;
    BordersChanged();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone && Value != bsSingle)
        Value = bsSingle;
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    // The frame lies in the window's non-client area: the client rectangle changes with it.
    SetFrame(Value == bsSingle);
    BordersChanged();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        AddFrameStyle(Params);
}

void TCustomPanel::BordersChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int Inset = BevelSize(FBevelOuter, FBevelWidth) + FBorderWidth + BevelSize(FBevelInner, FBevelWidth);
    Rect = TRect(Rect.Left + Inset, Rect.Top + Inset, Rect.Right - Inset, Rect.Bottom - Inset);
}

void TCustomPanel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    auto Bevel = [&](TPanelBevel B) {
        if (B == bvNone)
            return;
        TColor Top = B == bvLowered ? clBtnShadow : B == bvRaised ? clBtnHighlight : Color();
        TColor Bottom = B == bvLowered ? clBtnHighlight : B == bvRaised ? clBtnShadow : Color();
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    };
    Bevel(FBevelOuter);
    Frame3D(C, R, Color(), Color(), FBorderWidth);
    Bevel(FBevelInner);
    HDC DC = C->Handle();
    FillColor(DC, R, Color());
    if (Caption().empty())
        return;
    UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
                 (FAlignment == taCenter         ? DT_CENTER
                  : FAlignment == taRightJustify ? DT_RIGHT
                                                 : DT_LEFT);
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    int OldMode = SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    RECT T = R;
    DrawTextW(DC, Caption().c_str(), int(Caption().size()), &T, Flags);
    SetBkMode(DC, OldMode);
    SelectObject(DC, OldFont);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    if (Value == FShape)
        return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TColor Dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor Light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    HDC DC = Canvas()->Handle();
    TRect R = ClientRect();
    int W = R.Right, H = R.Bottom;
    switch (FShape) {
    case bsBox:
        Frame3D(Canvas(), R, Dark, Light, 1);
        break;
    case bsFrame: {
        // Two interleaved rectangles: an etched (or bumped) frame.
        TRect Outer = Rect(0, 0, W - 1, H - 1), Inner = Rect(1, 1, W, H);
        Frame3D(Canvas(), Inner, Light, Light, 1);
        Frame3D(Canvas(), Outer, Dark, Dark, 1);
        break;
    }
    case bsTopLine:
        FillColor(DC, RECT{0, 0, W, 1}, Dark);
        FillColor(DC, RECT{0, 1, W, 2}, Light);
        break;
    case bsBottomLine:
        FillColor(DC, RECT{0, H - 2, W, H - 1}, Dark);
        FillColor(DC, RECT{0, H - 1, W, H}, Light);
        break;
    case bsLeftLine:
        FillColor(DC, RECT{0, 0, 1, H}, Dark);
        FillColor(DC, RECT{1, 0, 2, H}, Light);
        break;
    case bsRightLine:
        FillColor(DC, RECT{W - 2, 0, W - 1, H}, Dark);
        FillColor(DC, RECT{W - 1, 0, W, H}, Light);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::PictureChanged(TObject*) {
    AdjustSize();
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    if (Value == FStretch)
        return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    if (Value == FCenter)
        return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (Value == FProportional)
        return;
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (TGraphic* G = FPicture->Graphic())
        G->SetTransparent(Value);
    Invalidate();
}

TRect TImage::DestRect() {
    int W = FPicture->Width(), H = FPicture->Height();
    int CW = ClientWidth(), CH = ClientHeight();
    if (W <= 0 || H <= 0)
        return Rect(0, 0, 0, 0);
    if (FStretch || (FProportional && (W > CW || H > CH))) {
        if (FProportional) {
            // The larger ratio decides, so the whole picture fits.
            if (std::int64_t(W) * CH > std::int64_t(H) * CW) {
                H = int(std::int64_t(H) * CW / W);
                W = CW;
            } else {
                W = int(std::int64_t(W) * CH / H);
                H = CH;
            }
        } else {
            W = CW;
            H = CH;
        }
    }
    int X = 0, Y = 0;
    if (FCenter) {
        X = (CW - W) / 2;
        Y = (CH - H) / 2;
    }
    return Rect(X, Y, X + W, Y + H);
}

TCanvas* TImage::Canvas() {
    if (!FPicture->Graphic()) {
        auto Bitmap = std::make_unique<TBitmap>();
        Bitmap->SetSize(Width(), Height());
        FPicture->SetGraphic(Bitmap.get());
    }
    auto* Bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic());
    if (!Bitmap)
        throw EInvalidOperation(u"Can only modify an image if it contains a bitmap");
    TCanvas* C = Bitmap->Canvas();
    // What is drawn shows at the next paint.
    C->OnChange = [this](TObject*) { Invalidate(); };
    return C;
}

void TImage::Paint() {
    TGraphic* G = FPicture->Graphic();
    if (!G || G->Empty())
        return;
    TRect R = DestRect();
    TCanvas* C = TGraphicControl::Canvas();
    if (R.Right - R.Left == G->Width() && R.Bottom - R.Top == G->Height())
        C->Draw(R.Left, R.Top, G);
    else
        C->StretchDraw(R, G);
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
    if (FPicture->Width() <= 0 || FPicture->Height() <= 0)
        return false;
    NewWidth = FPicture->Width();
    NewHeight = FPicture->Height();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
    SetColor(clBtnFace);
    SetParentColor(true);
}

void TSplitter::SetBeveled(bool Value) {
    if (Value == FBeveled)
        return;
    FBeveled = Value;
    Invalidate();
}

TControl* TSplitter::FindControl() const {
    TWinControl* P = Parent();
    if (!P || Align() == alNone || Align() == alClient)
        return nullptr;
    for (int I = 0; I < P->ControlCount(); ++I) {
        TControl* C = P->Controls(I);
        if (C == this || !C->Visible() || C->Align() != Align())
            continue;
        bool Touches = (Align() == alLeft && C->Left() + C->Width() == Left()) ||
                       (Align() == alRight && C->Left() == Left() + Width()) ||
                       (Align() == alTop && C->Top() + C->Height() == Top()) ||
                       (Align() == alBottom && C->Top() == Top() + Height());
        if (Touches)
            return C;
    }
    return nullptr;
}

int TSplitter::FreeSpace() const {
    // The room on the far side: the client-aligned control's size, or the gap up to the next control
    // aligned against the far edge.
    TWinControl* P = Parent();
    int Room = Horizontal() ? P->ClientHeight() : P->ClientWidth();
    for (int I = 0; I < P->ControlCount(); ++I) {
        TControl* C = P->Controls(I);
        if (!C->Visible() || C->Align() == alNone || C->Align() == alClient)
            continue;
        bool SameAxis = Horizontal() ? (C->Align() == alTop || C->Align() == alBottom)
                                     : (C->Align() == alLeft || C->Align() == alRight);
        if (SameAxis)
            Room -= Horizontal() ? C->Height() : C->Width();
    }
    return std::max(0, Room);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = FindControl();
    if (!FControl)
        return;
    TPoint P = ClientToScreen(TPoint{X, Y});
    FDownPos = Horizontal() ? P.Y : P.X;
    FStartSize = Horizontal() ? FControl->Height() : FControl->Width();
    FMaxSize = FStartSize + FreeSpace() - FMinSize;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl)
        return;
    TPoint P = ClientToScreen(TPoint{X, Y});
    int Delta = (Horizontal() ? P.Y : P.X) - FDownPos;
    if (Align() == alRight || Align() == alBottom)
        Delta = -Delta;
    int NewSize = std::clamp(FStartSize + Delta, std::min(FMinSize, FStartSize), std::max(FMaxSize, FMinSize));
    bool Accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, Accept);
    if (!Accept)
        return;
    int Old = Horizontal() ? FControl->Height() : FControl->Width();
    if (NewSize == Old)
        return;
    // Sizing a control aligned to the right or bottom moves its near edge.
    switch (Align()) {
    case alLeft:
        FControl->SetWidth(NewSize);
        break;
    case alTop:
        FControl->SetHeight(NewSize);
        break;
    case alRight:
        FControl->SetBounds(FControl->Left() + FControl->Width() - NewSize, FControl->Top(), NewSize,
                            FControl->Height());
        break;
    case alBottom:
        FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - NewSize, FControl->Width(),
                            NewSize);
        break;
    default:
        break;
    }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool Moved = Button == mbLeft && FControl;
    if (Button == mbLeft)
        FControl = nullptr;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Moved && OnMoved)
        OnMoved(this);
}

void TSplitter::Paint() {
    HDC DC = Canvas()->Handle();
    TRect R = ClientRect();
    FillColor(DC, R, Color());
    if (!FBeveled)
        return;
    if (Horizontal()) {
        FillColor(DC, RECT{0, 0, R.Right, 1}, clBtnHighlight);
        FillColor(DC, RECT{0, R.Bottom - 1, R.Right, R.Bottom}, clBtnShadow);
    } else {
        FillColor(DC, RECT{0, 0, 1, R.Bottom}, clBtnHighlight);
        FillColor(DC, RECT{R.Right - 1, 0, R.Right, R.Bottom}, clBtnShadow);
    }
}

// ---------------------------------------------------------------------------------------------
// TControlScrollBar

void TControlScrollBar::SetPosition(int Value) {
    FControl->ScrollTo(this, Value);
}

void TControlScrollBar::SetRange(int Value) {
    FRange = std::max(0, Value);
    FFixedRange = true;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    FControl->UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner)
    : TWinControl(AOwner), FHorz(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVert(std::make_unique<TControlScrollBar>(this, sbVertical)) {
    FControlStyle += csAcceptsControls;
    SetBounds(0, 0, 185, 41);
    SetTabStop(false);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingleBorder)
        AddFrameStyle(Params);
    if (FHorz->FShown)
        Params.Style |= WS_HSCROLL;
    if (FVert->FShown)
        Params.Style |= WS_VSCROLL;
}

void TScrollBox::SetAutoScroll(bool Value) {
    if (Value == FAutoScroll)
        return;
    FAutoScroll = Value;
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TScrollBoxBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    SetFrame(Value == bsSingleBorder);
    UpdateScrollBars();
}

int TScrollBox::ClientExtent(TControlScrollBar* Bar) {
    return Bar->FKind == sbHorizontal ? ClientWidth() : ClientHeight();
}

void TScrollBox::AlignControls(TControl* AControl) {
    TWinControl::AlignControls(AControl);
    UpdateScrollBars();
}

void TScrollBox::AlignControl(TControl* AControl) {
    TWinControl::AlignControl(AControl);
    if (AControl->Align() == alNone)
        UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
    if (FUpdating || ComponentState().Contains(csDestroying))
        return;
    FUpdating = true;
    // The children's extent, measured from the unscrolled origin.
    if (FAutoScroll) {
        int Right = 0, Bottom = 0;
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* C = Controls(I);
            if (!C->Visible() || C->Align() != alNone)
                continue;
            Right = std::max(Right, C->Left() + C->Width() + FHorz->FPosition);
            Bottom = std::max(Bottom, C->Top() + C->Height() + FVert->FPosition);
        }
        if (!FHorz->FFixedRange)
            FHorz->FRange = Right;
        if (!FVert->FFixedRange)
            FVert->FRange = Bottom;
    }
    // Showing one bar narrows the room of the other: settle in two rounds.
    RECT Outer;
    int OuterW = Width(), OuterH = Height();
    if (HandleAllocated()) {
        GetWindowRect(Handle(), &Outer);
        OuterW = Outer.Right - Outer.Left;
        OuterH = Outer.Bottom - Outer.Top;
    }
    int Edge = FBorderStyle == bsSingleBorder ? 4 : 0;
    int Room[2] = {OuterW - Edge, OuterH - Edge};
    bool Show[2] = {false, false};
    for (int Round = 0; Round < 2; ++Round) {
        Show[0] = FHorz->FVisible && FHorz->FRange > Room[0] - (Show[1] ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        Show[1] = FVert->FVisible && FVert->FRange > Room[1] - (Show[0] ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    }
    bool Changed = Show[0] != FHorz->FShown || Show[1] != FVert->FShown;
    FHorz->FShown = Show[0];
    FVert->FShown = Show[1];
    if (Changed && HandleAllocated()) {
        LONG_PTR Style = GetWindowLongPtrW(Handle(), GWL_STYLE) & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL);
        Style |= (Show[0] ? WS_HSCROLL : 0) | (Show[1] ? WS_VSCROLL : 0);
        SetWindowLongPtrW(Handle(), GWL_STYLE, Style);
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    FUpdating = false;
    // Positions stay inside the new ranges (a hidden bar scrolls back to 0).
    ScrollTo(FHorz.get(), FHorz->FPosition);
    ScrollTo(FVert.get(), FVert->FPosition);
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TScrollBox::ScrollTo(TControlScrollBar* Bar, int Position) {
    int Max = Bar->FShown ? std::max(0, Bar->FRange - ClientExtent(Bar)) : 0;
    Position = std::clamp(Position, 0, Max);
    int Delta = Bar->FPosition - Position;
    if (!Delta)
        return;
    Bar->FPosition = Position;
    FUpdating = true;
    if (Bar->FKind == sbHorizontal)
        ScrollBy(Delta, 0);
    else
        ScrollBy(0, Delta);
    FUpdating = false;
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TScrollBox::ScrollInView(TControl* AControl) {
    if (!AControl || AControl->Parent() != this)
        return;
    struct {
        TControlScrollBar* Bar;
        int Start, Size;
    } Axes[] = {{FHorz.get(), AControl->Left(), AControl->Width()}, {FVert.get(), AControl->Top(), AControl->Height()}};
    for (auto& A : Axes) {
        int Extent = ClientExtent(A.Bar);
        if (A.Start < 0)
            ScrollTo(A.Bar, A.Bar->FPosition + A.Start);
        else if (A.Start + A.Size > Extent)
            ScrollTo(A.Bar, A.Bar->FPosition + std::min(A.Start, A.Start + A.Size - Extent));
    }
}

bool TScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    TControlScrollBar* Bar = FVert->FShown || !FHorz->FShown ? FVert.get() : FHorz.get();
    if (!Bar->FShown)
        return false;
    // Three steps of the increment per notch of the wheel.
    ScrollTo(Bar, Bar->FPosition - WheelDelta * 3 * Bar->FIncrement / WHEEL_DELTA);
    return true;
}

bool TScrollBox::BarParts(TControlScrollBar* Bar, TBarParts& Parts) {
    if (!Bar->FShown || !HandleAllocated())
        return false;
    // The client rectangle in window coordinates.
    RECT W, C;
    GetWindowRect(Handle(), &W);
    GetClientRect(Handle(), &C);
    POINT O{0, 0};
    ::ClientToScreen(Handle(), &O);
    OffsetRect(&C, O.X - W.Left, O.Y - W.Top);
    bool Horz = Bar->FKind == sbHorizontal;
    int Thick = GetSystemMetrics(Horz ? SM_CYHSCROLL : SM_CXVSCROLL);
    Parts.Bar =
        Horz ? RECT{C.Left, C.Bottom, C.Right, C.Bottom + Thick} : RECT{C.Right, C.Top, C.Right + Thick, C.Bottom};
    int Length = Horz ? C.Right - C.Left : C.Bottom - C.Top;
    int Arrow = std::min(Thick, Length / 2);
    int Track = Length - 2 * Arrow;
    int Page = ClientExtent(Bar);
    int ThumbLen = Bar->FRange > 0 ? std::max(8, int(std::int64_t(Track) * Page / Bar->FRange)) : Track;
    ThumbLen = std::min(ThumbLen, Track);
    int Span = std::max(1, Bar->FRange - Page);
    int ThumbPos = Arrow + int(std::int64_t(Track - ThumbLen) * Bar->FPosition / Span);
    auto Piece = [&](int From, int To) {
        return Horz ? RECT{Parts.Bar.Left + From, Parts.Bar.Top, Parts.Bar.Left + To, Parts.Bar.Bottom}
                    : RECT{Parts.Bar.Left, Parts.Bar.Top + From, Parts.Bar.Right, Parts.Bar.Top + To};
    };
    Parts.Back = Piece(0, Arrow);
    Parts.Forward = Piece(Length - Arrow, Length);
    Parts.Thumb = Piece(ThumbPos, ThumbPos + ThumbLen);
    return true;
}

void TScrollBox::PaintBars() {
    HDC DC = GetWindowDC(Handle());
    if (!DC)
        return;
    for (TControlScrollBar* Bar : {FHorz.get(), FVert.get()}) {
        TBarParts P;
        if (!BarParts(Bar, P))
            continue;
        bool Horz = Bar->FKind == sbHorizontal;
        FillColor(DC, P.Bar, clBtnHighlight);
        for (RECT* Box : {&P.Back, &P.Forward, &P.Thumb}) {
            FillColor(DC, *Box, clBtnFace);
            RECT E = *Box;
            DrawEdge(DC, &E, EDGE_RAISED, BF_RECT);
        }
        // The arrows: small triangles in the middle of their buttons.
        for (int Side = 0; Side < 2; ++Side) {
            const RECT& B = Side ? P.Forward : P.Back;
            int CX = (B.Left + B.Right) / 2, CY = (B.Top + B.Bottom) / 2;
            for (int I = 0; I < 4; ++I) {
                int Reach = Side ? 3 - I : I;
                RECT Line = Horz ? RECT{CX - 2 + I, CY - Reach, CX - 1 + I, CY + Reach + 1}
                                 : RECT{CX - Reach, CY - 2 + I, CX + Reach + 1, CY - 1 + I};
                FillColor(DC, Line, clBtnText);
            }
        }
        // The corner between two bars.
        if (FHorz->FShown && FVert->FShown && !Horz) {
            RECT Corner{P.Bar.Left, P.Bar.Bottom, P.Bar.Right, P.Bar.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
            FillColor(DC, Corner, clBtnFace);
        }
    }
    ReleaseDC(Handle(), DC);
}

void TScrollBox::NCLButtonDown(TMessage& Message) {
    RECT W;
    GetWindowRect(Handle(), &W);
    POINT Pt{GET_X_LPARAM(Message.LParam) - W.Left, GET_Y_LPARAM(Message.LParam) - W.Top};
    TControlScrollBar* Bar = Message.WParam == WPARAM(HTHSCROLL) ? FHorz.get() : FVert.get();
    TBarParts P;
    if (!BarParts(Bar, P))
        return;
    bool Horz = Bar->FKind == sbHorizontal;
    int At = Horz ? Pt.X : Pt.Y;
    int Page = ClientExtent(Bar);
    if (PtInRect(P.Back, TPoint{Pt.X, Pt.Y}))
        ScrollTo(Bar, Bar->FPosition - Bar->FIncrement);
    else if (PtInRect(P.Forward, TPoint{Pt.X, Pt.Y}))
        ScrollTo(Bar, Bar->FPosition + Bar->FIncrement);
    else if (PtInRect(P.Thumb, TPoint{Pt.X, Pt.Y})) {
        // The thumb follows the mouse until the button comes up.
        FDragBar = Bar;
        FDragOffset = At - (Horz ? P.Thumb.Left : P.Thumb.Top);
        SetCapture(Handle());
    } else if (At < (Horz ? P.Thumb.Left : P.Thumb.Top))
        ScrollTo(Bar, Bar->FPosition - Page);
    else
        ScrollTo(Bar, Bar->FPosition + Page);
}

void TScrollBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        TWinControl::Dispatch(Message);
        PaintBars();
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == WPARAM(HTHSCROLL) || Message.WParam == WPARAM(HTVSCROLL)) {
            NCLButtonDown(Message);
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (FDragBar) {
            DragThumb(Message);
            return;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FDragBar) {
            EndThumbDrag(Message);
            return;
        }
        break;
    case WM_SIZE:
        TWinControl::Dispatch(Message);
        UpdateScrollBars();
        return;
    }
    TWinControl::Dispatch(Message);
}

// The dragged thumb follows the mouse; the position is where the thumb's start lies in the track.
void TScrollBox::DragThumb(TMessage& Message) {
    TBarParts P;
    if (!BarParts(FDragBar, P))
        return;
    bool Horz = FDragBar->FKind == sbHorizontal;
    RECT W;
    GetWindowRect(Handle(), &W);
    POINT Pt{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ClientToScreen(Handle(), &Pt);
    int At = (Horz ? Pt.X - W.Left : Pt.Y - W.Top) - FDragOffset;
    int Start = Horz ? P.Back.Right : P.Back.Bottom;
    int Track = (Horz ? P.Forward.Left : P.Forward.Top) - Start;
    int ThumbLen = Horz ? P.Thumb.Right - P.Thumb.Left : P.Thumb.Bottom - P.Thumb.Top;
    int Span = std::max(0, FDragBar->FRange - ClientExtent(FDragBar));
    int Free = std::max(1, Track - ThumbLen);
    ScrollTo(FDragBar, int(std::int64_t(At - Start) * Span / Free));
}

void TScrollBox::EndThumbDrag(TMessage& Message) {
    FDragBar = nullptr;
    if (Message.Msg == WM_LBUTTONUP && GetCapture() == Handle())
        ReleaseCapture();
}
