#include "skin/controls/TbsSkinEdit.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/TbsSkinUpDown.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr LRESULT PaintFrameAnswer = 12851;
constexpr LPARAM PaintFrameKey = 16802;

// The unskinned button faces: pressed and hovered inside a navy frame.
constexpr TColor DownFill = TColor(0xB59385);
constexpr TColor HotFill = TColor(0xD2BDB6);

void DrawFramedFace(TCanvas* C, TRect R, TColor Frame, TColor Fill) {
    Frame3D(C, R, Frame, Frame, 1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Fill);
    C->FillRect(R);
}

int ScreenTextHeight(TFont* Font) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    TEXTMETRICW TM{};
    GetTextMetricsW(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return TM.tmHeight;
}

} // namespace

TbsSkinCustomEdit::TbsSkinCustomEdit(TComponent* AOwner) : TbsCustomEdit(AOwner) {
    FControlStyle += csOpaque;
    SetAutoSize(false);
    Font()->SetName(u"Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clBlack);
    Font()->SetStyle({});
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->Assign(Font());
    FDefaultFont->OnChange = [this](TObject*) {
        if (FIndex == -1)
            Font()->Assign(FDefaultFont.get());
    };
    SetBorderStyle(bsNone);
    SetHeight(20);
    SetEditTransparent(true);
}

TbsSkinCustomEdit::~TbsSkinCustomEdit() = default;

// ---------------------------------------------------------------------------------------------
// Skin and geometry

void TbsSkinCustomEdit::GetSkinData() {
    FIndex = (!FSD || FSD->Empty) ? -1 : FSD->GetControlIndex(FSkinDataName);
    Picture = nullptr;
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinEditControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!R)
        return;
    if (R->PictureIndex >= 0 && R->PictureIndex < int(FSD->FActivePictures.size()))
        Picture = FSD->FActivePictures[std::size_t(R->PictureIndex)].get();
    SkinRect = R->SkinRect;
    ClRect = R->ClRect;
    LOffset = R->LTPoint.X;
    ROffset = GetRectWidth(R->SkinRect) - R->RTPoint.X;
    ActiveSkinRect = IsNullRect(R->ActiveSkinRect) ? R->SkinRect : R->ActiveSkinRect;
    FontName = R->FontName;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
    FontColor = R->FontColor;
    DisabledFontColor = R->DisabledFontColor;
    ActiveFontColor = R->ActiveFontColor;
    ButtonRect = R->ButtonRect;
    ActiveButtonRect = R->ActiveButtonRect;
    DownButtonRect = IsNullRect(R->DownButtonRect) ? R->ActiveButtonRect : R->DownButtonRect;
    UnEnabledButtonRect = R->UnEnabledButtonRect;
    StretchEffect = R->StretchEffect;
}

void TbsSkinCustomEdit::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    if (Value && !Value->Empty && !ComponentState().Contains(csDesigning))
        ChangeSkinData();
}

TFontCharset TbsSkinCustomEdit::TextCharset() const {
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->CharSet();
    return FDefaultFont->Charset();
}

void TbsSkinCustomEdit::CalcRects() {
    if (!Skinned()) {
        if (FButtonMode) {
            FButtonRect = Rect(Width() - Height(), 0, Width(), Height());
            FEditRect = Rect(2, 2, FButtonRect.Left - 2, Height() - 2);
        } else {
            FButtonRect = TRect();
            FEditRect = Rect(2, 2, Width() - 2, Height() - 2);
        }
        return;
    }
    const int DW = Width() - GetRectWidth(SkinRect);
    FEditRect = ClRect;
    FEditRect.Right += DW;
    FButtonRect = ButtonRect;
    if (ButtonRect.Left >= GetRectWidth(SkinRect) - ROffset)
        OffsetRect(FButtonRect, DW, 0);
    if (!FUseSkinFont) {
        const int DH = Height() - GetRectHeight(SkinRect);
        FEditRect.Bottom += DH;
        FButtonRect.Bottom += DH;
    }
}

void TbsSkinCustomEdit::ChangeSkinData() {
    GetSkinData();
    if (!Skinned()) {
        Font()->Assign(FDefaultFont.get());
        if (FDefaultWidth > 0)
            SetWidth(FDefaultWidth);
        if (FDefaultHeight > 0)
            SetHeight(FDefaultHeight);
    } else if (FUseSkinFont) {
        Font()->SetName(FontName);
        Font()->SetStyle(FontStyle);
        SetHeight(GetRectHeight(SkinRect));
        Font()->SetHeight(FontHeight);
    } else {
        Font()->Assign(FDefaultFont.get());
    }
    if (Skinned())
        Font()->SetColor(Focused() ? ActiveFontColor : FontColor);
    Font()->SetCharset(TextCharset());
    RecreateWnd();
    Font()->SetColor(!Skinned() ? FDefaultFont->Color() : Focused() ? ActiveFontColor : FontColor);
    if (!FUseSkinFont)
        AdjustHeight();
    RepaintFrame();
    if (FImages) {
        UpdateImageRects();
        Invalidate();
    }
}

int TbsSkinCustomEdit::CalcEditHeight() {
    GetSkinData();
    const int Text = ScreenTextHeight(Font());
    return Skinned() ? Text + GetRectHeight(SkinRect) - GetRectHeight(ClRect) : Text + 4;
}

void TbsSkinCustomEdit::AdjustHeight() {
    SetHeight(CalcEditHeight());
}

void TbsSkinCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    GetSkinData();
    const bool Changed = AWidth != Width() || AHeight != Height();
    if (Changed && !(!Skinned() && FUseSkinFont))
        AHeight = FUseSkinFont ? GetRectHeight(SkinRect) : CalcEditHeight();
    if (TbsToolBarParent* Bar = ToolBarOf(this); Bar && Bar->AdjustControls() && Align() != alNone) {
        const TRect R = Bar->GetSkinClientRect();
        ATop = R.Top + GetRectHeight(R) / 2 - AHeight / 2;
    }
    TbsCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    Invalidate();
    RepaintFrame();
}

void TbsSkinCustomEdit::Invalidate() {
    if (!Parent() || !HandleAllocated()) {
        TbsCustomEdit::Invalidate();
        return;
    }
    FStopDraw = false;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void TbsSkinCustomEdit::RepaintFrame() {
    if (Parent() && HandleAllocated())
        SendMessageW(Handle(), WM_NCPAINT, 0, 0);
}

void TbsSkinCustomEdit::CreateParams(TCreateParams& Params) {
    TbsCustomEdit::CreateParams(Params);
    Params.ExStyle &= ~WS_EX_TRANSPARENT;
    Params.Style &= ~WS_BORDER;
    switch (Alignment()) {
    case taRightJustify:
        Params.Style |= ES_RIGHT;
        break;
    case taCenter:
        Params.Style |= ES_CENTER;
        break;
    default:
        Params.Style |= ES_LEFT;
        break;
    }
}

void TbsSkinCustomEdit::Loaded() {
    TbsCustomEdit::Loaded();
    if (FSD && FSD->ResourceStrData())
        Font()->SetCharset(FSD->ResourceStrData()->CharSet());
}

void TbsSkinCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TbsCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Setters

void TbsSkinCustomEdit::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
    GetSkinData();
    if (!Skinned())
        Invalidate();
}

void TbsSkinCustomEdit::SetDefaultWidth(int Value) {
    FDefaultWidth = Value;
    GetSkinData();
    if (!Skinned() && Value > 0)
        SetWidth(Value);
}

void TbsSkinCustomEdit::SetDefaultHeight(int Value) {
    FDefaultHeight = Value;
    GetSkinData();
    if (Skinned())
        return;
    if (Value > 0 && FUseSkinFont)
        SetHeight(Value);
    else
        AdjustHeight();
}

void TbsSkinCustomEdit::SetButtonMode(bool Value) {
    FButtonMode = Value;
    RecreateWnd();
    if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        FSkinDataName = Value ? u"buttonedit" : u"edit";
}

void TbsSkinCustomEdit::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateImageRects();
    Invalidate();
}

void TbsSkinCustomEdit::SetLeftImageIndex(int Value) {
    FLeftImageIndex = Value;
    UpdateImageRects();
    Invalidate();
}

void TbsSkinCustomEdit::SetRightImageIndex(int Value) {
    FRightImageIndex = Value;
    UpdateImageRects();
    Invalidate();
}

void TbsSkinCustomEdit::SetAlignment(TAlignment Value) {
    if (Value == Alignment())
        return;
    TbsCustomEdit::SetAlignment(Value);
    RecreateWnd();
}

// ---------------------------------------------------------------------------------------------
// Image buttons

void TbsSkinCustomEdit::UpdateImageRects(bool SetFormatRect) {
    if (!FImages || !HandleAllocated())
        return;
    LeftButton.R = TRect();
    RightButton.R = TRect();
    TRect R = ClientRect();
    const int IW = FImages->Width();
    if (FLeftImageIndex >= 0) {
        LeftButton.R = Rect(R.Left, R.Top, R.Left + IW, R.Bottom);
        R.Left += IW + 2;
    }
    if (FRightImageIndex >= 0) {
        RightButton.R = Rect(R.Right - IW, R.Top, R.Right, R.Bottom);
        R.Right -= IW + 2;
    }
    if (SetFormatRect) {
        RECT F = R;
        SendMessageW(Handle(), EM_SETRECTNP, 0, LPARAM(&F));
    }
}

void TbsSkinCustomEdit::DrawImages(HDC DC) {
    if (!FImages)
        return;
    TCanvas C;
    C.SetHandle(DC);
    auto Draw = [&](const TbsCBButtonX& B, int Normal, int Hot, int Down) {
        if (Normal < 0 || Normal >= FImages->Count())
            return;
        int I = Normal;
        if (B.Down && B.MouseIn && Down >= 0 && Down < FImages->Count())
            I = Down;
        else if (B.MouseIn && Hot >= 0 && Hot < FImages->Count())
            I = Hot;
        const int Y = std::max(B.R.Top, B.R.Top + GetRectHeight(B.R) / 2 - FImages->Height() / 2);
        FImages->Draw(&C, B.R.Left, Y, I, Enabled());
    };
    Draw(LeftButton, FLeftImageIndex, FLeftImageHotIndex, FLeftImageDownIndex);
    Draw(RightButton, FRightImageIndex, FRightImageHotIndex, FRightImageDownIndex);
    C.SetHandle(nullptr);
}

// ---------------------------------------------------------------------------------------------
// The frame

void TbsSkinCustomEdit::DrawFrame(HDC DC) {
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    CalcRects();
    TBitmap B(Width(), Height());
    TCanvas* C = B.Canvas();
    if (!Skinned()) {
        const int BW = FButtonMode ? Width() - FButtonRect.Left : 0;
        TRect R = Rect(0, 0, Width() - BW, Height());
        Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
        Frame3D(C, R, clBtnFace, clBtnFace, 1);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FDefaultColor);
        C->FillRect(R);
        if (FButtonMode) {
            if (FButtonDown && FButtonActive)
                DrawFramedFace(C, FButtonRect, clNavy, DownFill);
            else if (FButtonActive)
                DrawFramedFace(C, FButtonRect, clNavy, HotFill);
            else
                DrawFramedFace(C, FButtonRect, clBtnShadow, clBtnFace);
        }
    } else if (Picture) {
        DrawSkinStripH(LOffset, ROffset, &B, Picture, Hot() ? ActiveSkinRect : SkinRect, Width(), Height(),
                       StretchEffect);
        if (FButtonMode) {
            TRect Source;
            if (!Enabled() && !IsNullRect(UnEnabledButtonRect))
                Source = UnEnabledButtonRect;
            else if (FButtonDown && FButtonActive)
                Source = DownButtonRect;
            else if (FButtonActive)
                Source = ActiveButtonRect;
            if (!IsNullRect(Source))
                C->CopyRect(FButtonRect, Picture->Canvas(), Source);
        }
    }
    BitBlt(DC, 0, 0, Width(), Height(), C->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinCustomEdit::DrawResizeFrame(HDC DC) {
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    CalcRects();
    TBitmap B(Width(), Height());
    if (Picture)
        DrawNinePartSkinImageByClientRect(&B, Picture, Hot() ? ActiveSkinRect : SkinRect, ClRect, false);
    if (FButtonMode)
        DrawResizeButton(B.Canvas());
    BitBlt(DC, 0, 0, Width(), Height(), B.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinCustomEdit::DrawResizeButton(TCanvas* C) {
    const int W = GetRectWidth(FButtonRect), H = GetRectHeight(FButtonRect);
    if (!FSD || W <= 0 || H <= 0)
        return;
    TbsDataSkinButtonControl* Rec = nullptr;
    for (const char16_t* Name : {u"editbutton", u"resizebutton"}) {
        const int I = FSD->GetControlIndex(Name);
        if (I != -1 && (Rec = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(I)).get())))
            break;
    }
    if (!Rec)
        return;
    TBitmap Face(W, H);
    DrawResizedButtonFace(FSD, *Rec, FButtonActive, FButtonDown && FButtonActive, &Face);
    C->Draw(FButtonRect.Left, FButtonRect.Top, &Face);
}

void TbsSkinCustomEdit::PaintFrameTo(HDC DC) {
    GetSkinData();
    if (FUseSkinFont || !Skinned())
        DrawFrame(DC);
    else
        DrawResizeFrame(DC);
}

void TbsSkinCustomEdit::WMNCCalcSize(TMessage& Message) {
    GetSkinData();
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (!R)
        return;
    if (!Skinned()) {
        R->Left += 2;
        R->Top += 2;
        R->Bottom -= 2;
        R->Right -= FButtonMode ? Height() + 2 : 2;
    } else {
        R->Left += ClRect.Left;
        R->Top += ClRect.Top;
        R->Right -= GetRectWidth(SkinRect) - ClRect.Right;
        R->Bottom -= GetRectHeight(SkinRect) - ClRect.Bottom;
    }
    Message.Result = 0;
}

void TbsSkinCustomEdit::WMNCPaint(TMessage&) {
    if (!HandleAllocated())
        return;
    HDC DC = GetWindowDC(Handle());
    GetSkinData();
    CalcRects();
    ExcludeClipRect(DC, FEditRect.Left, FEditRect.Top, FEditRect.Right, FEditRect.Bottom);
    PaintFrameTo(DC);
    ReleaseDC(Handle(), DC);
    Invalidate();
}

void TbsSkinCustomEdit::WMPaintFrameTo(TMessage& Message) {
    if (!Message.WParam)
        return;
    PaintFrameTo(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = PaintFrameAnswer;
}

void TbsSkinCustomEdit::WMPaintBgOrFrameTo(TMessage& Message) {
    if (Message.LParam != PaintFrameKey) {
        TbsCustomEdit::Dispatch(Message);
        return;
    }
    if (Message.WParam) {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        GetSkinData();
        CalcRects();
        const int Saved = SaveDC(DC);
        ExcludeClipRect(DC, FEditRect.Left, FEditRect.Top, FEditRect.Right, FEditRect.Bottom);
        PaintFrameTo(DC);
        RestoreDC(DC, Saved);
    }
    Message.Result = PaintFrameKey;
}

// ---------------------------------------------------------------------------------------------
// The text area

void TbsSkinCustomEdit::PaintClientBackground(HDC DC) {
    const int W = GetRectWidth(FEditRect), H = GetRectHeight(FEditRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    if (!Skinned() || !Picture) {
        B.Canvas()->Brush()->SetStyle(bsSolid);
        B.Canvas()->Brush()->SetColor(FDefaultColor);
        B.Canvas()->FillRect(Rect(0, 0, W, H));
    } else {
        const TRect& Source = Hot() ? ActiveSkinRect : SkinRect;
        const TRect Under =
            Bounds(Source.Left + ClRect.Left, Source.Top + ClRect.Top, GetRectWidth(ClRect), GetRectHeight(ClRect));
        const int L = std::max(LOffset - ClRect.Left, 0);
        const int R = std::max(ClRect.Right + ROffset - GetRectWidth(SkinRect), 0);
        TBitmap Strip;
        DrawSkinStripH(L, R, &Strip, Picture, Under, W, H, StretchEffect);
        if (FUseSkinFont)
            B.Canvas()->Draw(0, 0, &Strip);
        else
            B.Canvas()->StretchDraw(Rect(0, 0, W, H), &Strip);
    }
    BitBlt(DC, 0, 0, W, H, B.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinCustomEdit::WMEraseBkgnd(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    Message.Result = 1;
    if (!DC)
        return;
    GetSkinData();
    CalcRects();
    PaintClientBackground(DC);
    UpdateImageRects(false);
    DrawImages(DC);
    Perform(WM_PAINT, WPARAM(DC), 0);
    // The edit draws its own caret over what was painted.
    FStopDraw = true;
}

void TbsSkinCustomEdit::DrawDisabledText(HDC DC) {
    TCanvas C;
    C.SetHandle(DC);
    GetSkinData();
    if (Skinned() && FUseSkinFont) {
        C.Font()->SetName(FontName);
        C.Font()->SetHeight(FontHeight);
        C.Font()->SetStyle(FontStyle);
        C.Font()->SetColor(DisabledFontColor);
    } else {
        C.Font()->Assign(FDefaultFont.get());
        C.Font()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
    }
    C.Font()->SetCharset(TextCharset());
    // The text keeps clear of the image buttons, as the enabled text does.
    TRect R = Rect(0, 0, GetRectWidth(FEditRect), GetRectHeight(FEditRect));
    if (FImages) {
        RECT F;
        SendMessageW(Handle(), EM_GETRECT, 0, LPARAM(&F));
        R.Left = F.Left;
        R.Right = F.Right;
    }
    const String S = Text();
    const int TW = C.TextWidth(S);
    int X = R.Left + 2;
    if (Alignment() == taRightJustify)
        X = R.Right - TW - 1;
    else if (Alignment() == taCenter)
        X = R.Left + GetRectWidth(R) / 2 - TW / 2;
    C.Brush()->SetStyle(bsClear);
    C.TextRect(R, X, 0, S);
    C.SetHandle(nullptr);
}

void TbsSkinCustomEdit::WMPaint(TMessage& Message) {
    if (FStopDraw) {
        if (!Message.WParam) {
            PAINTSTRUCT PS;
            BeginPaint(Handle(), &PS);
            EndPaint(Handle(), &PS);
        }
        FStopDraw = false;
        return;
    }
    if (Enabled()) {
        FStopDraw = true;
        TbsCustomEdit::Dispatch(Message);
        FStopDraw = false;
        return;
    }
    if (Message.WParam) {
        FStopDraw = true;
        DrawDisabledText(reinterpret_cast<HDC>(Message.WParam));
        FStopDraw = false;
        return;
    }
    // The erase that BeginPaint may send paints the background and the text already.
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(Handle(), &PS);
    if (!FStopDraw) {
        GetSkinData();
        CalcRects();
        PaintClientBackground(DC);
        DrawImages(DC);
        DrawDisabledText(DC);
    }
    EndPaint(Handle(), &PS);
    FStopDraw = false;
}

// ---------------------------------------------------------------------------------------------
// Mouse over the buttons

void TbsSkinCustomEdit::WMNCHitTest(TMessage& Message) {
    const bool Designing = ComponentState().Contains(csDesigning);
    POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ScreenToClient(Handle(), &P);
    if (FImages && !Designing) {
        const TPoint Pt{P.X, P.Y};
        auto Track = [this](TbsCBButtonX& B, bool In) {
            if (B.MouseIn != In) {
                B.MouseIn = In;
                Invalidate();
            }
        };
        if (FLeftImageIndex >= 0 && PtInRect(LeftButton.R, Pt)) {
            Track(LeftButton, true);
            Track(RightButton, false);
            Message.Result = HT_EDIT_LEFTIMAGE;
            return;
        }
        if (FRightImageIndex >= 0 && PtInRect(RightButton.R, Pt)) {
            Track(RightButton, true);
            Track(LeftButton, false);
            Message.Result = HT_EDIT_RIGHTIMAGE;
            return;
        }
        Track(LeftButton, false);
        Track(RightButton, false);
    }
    if (FButtonMode && !Designing) {
        GetSkinData();
        const TPoint W = Skinned() ? TPoint{P.X + ClRect.Left, P.Y + ClRect.Top} : TPoint{P.X + 2, P.Y + 2};
        CalcRects();
        if (PtInRect(FButtonRect, W)) {
            Message.Result = HT_EDIT_BUTTON;
            return;
        }
        if (!PtInRect(FEditRect, W)) {
            Message.Result = HT_EDIT_FRAME;
            return;
        }
    }
    TbsCustomEdit::Dispatch(Message);
}

void TbsSkinCustomEdit::WMNCLButtonDown(TMessage& Message) {
    if (Message.WParam == WPARAM(HT_EDIT_LEFTIMAGE) || Message.WParam == WPARAM(HT_EDIT_RIGHTIMAGE)) {
        if (!FImages) {
            TbsCustomEdit::Dispatch(Message);
            return;
        }
        (Message.WParam == WPARAM(HT_EDIT_LEFTIMAGE) ? LeftButton : RightButton).Down = true;
        if (CanFocus() && !Focused())
            SetFocus();
        Invalidate();
        if (Message.Msg == WM_NCLBUTTONDBLCLK)
            Repaint();
        return;
    }
    if (Message.WParam == WPARAM(HT_EDIT_BUTTON) && FButtonMode && !ComponentState().Contains(csDesigning)) {
        FButtonDown = true;
        FButtonPressed = true;
        RepaintFrame();
        return;
    }
    if (Message.Msg == WM_NCLBUTTONDBLCLK)
        DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
    else
        TbsCustomEdit::Dispatch(Message);
}

void TbsSkinCustomEdit::WMNCLButtonUp(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    // Only a press that began on a button clicks it: whatever the release, no press is pending afterwards.
    const bool LeftDown = LeftButton.Down, RightDown = RightButton.Down, ButtonPressed = FButtonPressed;
    LeftButton.Down = RightButton.Down = false;
    FButtonPressed = false;
    if (FImages && (Message.WParam == WPARAM(HT_EDIT_LEFTIMAGE) || Message.WParam == WPARAM(HT_EDIT_RIGHTIMAGE))) {
        const bool Left = Message.WParam == WPARAM(HT_EDIT_LEFTIMAGE);
        if (Left ? LeftDown : RightDown) {
            Invalidate();
            TNotifyEvent& Event = Left ? OnLeftButtonClick : OnRightButtonClick;
            if (Event)
                Event(this);
        }
        return;
    }
    if (Message.WParam == WPARAM(HT_EDIT_BUTTON) && FButtonMode && !ComponentState().Contains(csDesigning)) {
        FButtonDown = false;
        RepaintFrame();
        if (!ButtonPressed)
            return;
        if (CanFocus() && !Focused())
            SetFocus();
        if (!Alive.expired() && OnButtonClick)
            OnButtonClick(this);
        return;
    }
    if (FButtonDown) {
        FButtonDown = false;
        RepaintFrame();
    }
    DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

// A press that began on a button and ends over the text clicks nothing.
void TbsSkinCustomEdit::WMLButtonUp(TMessage& Message) {
    const bool WasDown = FButtonDown || LeftButton.Down || RightButton.Down;
    FButtonDown = FButtonPressed = false;
    LeftButton.Down = RightButton.Down = false;
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (!Alive.expired() && WasDown) {
        RepaintFrame();
        Invalidate();
    }
}

void TbsSkinCustomEdit::WMNCMouseMove(TMessage& Message) {
    if (FButtonMode && !ComponentState().Contains(csDesigning)) {
        const bool In = Message.WParam == WPARAM(HT_EDIT_BUTTON);
        if (In != FButtonActive) {
            FButtonActive = In;
            RepaintFrame();
            Invalidate();
        }
    }
    DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TbsSkinCustomEdit::WMMouseMove(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (!Alive.expired() && FButtonActive) {
        FButtonActive = false;
        RepaintFrame();
    }
}

// ---------------------------------------------------------------------------------------------
// Focus and hover

void TbsSkinCustomEdit::WMFocusChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    RepaintFrame();
    Invalidate();
    GetSkinData();
    if (Skinned() && !FMouseIn)
        Font()->SetColor(Message.Msg == WM_SETFOCUS ? ActiveFontColor : FontColor);
    if (FImages)
        UpdateImageRects();
}

void TbsSkinCustomEdit::CMMouseEnter(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    FMouseIn = true;
    GetSkinData();
    if (!Focused() && Skinned()) {
        Font()->SetColor(ActiveFontColor);
        if (FImages)
            UpdateImageRects();
        RepaintFrame();
        Invalidate();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TbsSkinCustomEdit::CMMouseLeave(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    FMouseIn = false;
    GetSkinData();
    if (!Focused() && Skinned()) {
        Font()->SetColor(FontColor);
        if (FImages)
            UpdateImageRects();
        RepaintFrame();
        Invalidate();
    }
    if (FButtonDown || FButtonActive) {
        FButtonDown = false;
        FButtonActive = false;
        FButtonPressed = false;
        RepaintFrame();
        Invalidate();
    }
    if (LeftButton.MouseIn || RightButton.MouseIn || LeftButton.Down || RightButton.Down) {
        LeftButton.MouseIn = RightButton.MouseIn = false;
        LeftButton.Down = RightButton.Down = false;
        Invalidate();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TbsSkinCustomEdit::CMFontChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    const TComponentState S = ComponentState();
    if (FUseSkinFont || (S.Contains(csDesigning) && S.Contains(csLoading)))
        return;
    AdjustHeight();
    GetSkinData();
    if (!Skinned() && HandleAllocated())
        RecreateWnd();
}

void TbsSkinCustomEdit::WMSize(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsCustomEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    UpdateImageRects();
    RepaintFrame();
}

void TbsSkinCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        WMNCCalcSize(Message);
        return;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return;
    case WM_NCHITTEST:
        WMNCHitTest(Message);
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        WMNCLButtonDown(Message);
        return;
    case WM_NCLBUTTONUP:
        WMNCLButtonUp(Message);
        return;
    case WM_NCMOUSEMOVE:
        WMNCMouseMove(Message);
        return;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        return;
    case WM_LBUTTONUP:
        WMLButtonUp(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        WMFocusChanged(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_FONTCHANGED:
        CMFontChanged(Message);
        return;
    case CM_ENABLEDCHANGED:
        TbsCustomEdit::Dispatch(Message);
        Invalidate();
        return;
    case WM_PAINTFRAMETO:
        WMPaintFrameTo(Message);
        return;
    case WM_PAINTBGORFRAMETO:
        WMPaintBgOrFrameTo(Message);
        return;
    }
    TbsCustomEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Painting elsewhere

void TbsSkinCustomEdit::PaintSkinTo(TCanvas* C, int X, int Y, const String& AText) {
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    CalcRects();
    TBitmap B(Width(), Height());
    TCanvas* BC = B.Canvas();
    if (!Skinned()) {
        DrawFrame(BC->Handle());
        BC->Font()->Assign(Font());
    } else {
        if (Picture) {
            if (FUseSkinFont) {
                DrawSkinStripH(LOffset, ROffset, &B, Picture, SkinRect, Width(), Height(), StretchEffect);
            } else {
                DrawNinePartSkinImageByClientRect(&B, Picture, SkinRect, ClRect, false);
                if (FButtonMode)
                    DrawResizeButton(BC);
            }
        }
        if (FUseSkinFont) {
            BC->Font()->SetName(FontName);
            BC->Font()->SetHeight(FontHeight);
            BC->Font()->SetColor(FontColor);
            BC->Font()->SetStyle(FontStyle);
        } else {
            BC->Font()->Assign(FDefaultFont.get());
        }
    }
    BC->Font()->SetCharset(TextCharset());
    TRect R = FEditRect;
    if (FImages) {
        if (FLeftImageIndex >= 0)
            R.Left += FImages->Width() + 2;
        if (FRightImageIndex >= 0)
            R.Right -= FImages->Width() + 2;
    }
    const int TW = BC->TextWidth(AText);
    int TX = R.Left + 2;
    if (Alignment() == taRightJustify)
        TX = R.Right - TW;
    else if (Alignment() == taCenter)
        TX = R.Left + GetRectWidth(R) / 2 - TW / 2 + 2;
    BC->Brush()->SetStyle(bsClear);
    BC->TextRect(R, TX, R.Top, AText);
    C->Draw(X, Y, &B);
}
