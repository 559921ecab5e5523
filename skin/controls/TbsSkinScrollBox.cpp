#include "skin/controls/TbsSkinScrollBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

// Asked from outside: paint the frame into the device context in WParam, answered with a fixed value.
constexpr UINT WM_PAINTFRAMETODC = 0xB1C9;
constexpr LRESULT FramePaintedAnswer = 12851;
// Asked from outside with LParam PaintOnlyParam: paint the frame into the device context in WParam.
constexpr UINT WM_PAINTFRAMEONLY = 0xBC4B;
constexpr LPARAM PaintOnlyParam = 16802;

void Blit(HDC DC, int X, int Y, TBitmap& B) {
    if (B.Width() > 0 && B.Height() > 0)
        BitBlt(DC, X, Y, B.Width(), B.Height(), B.Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace

TbsSkinScrollBox::TbsSkinScrollBox(TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    FSkinDataName = u"scrollbox";
    SetBounds(Left(), Top(), 150, 150);
}

void TbsSkinScrollBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FHScrollBar)
        FHScrollBar = nullptr;
    if (AComponent == FVScrollBar)
        FVScrollBar = nullptr;
}

void TbsSkinScrollBox::SetVScrollBar(TbsSkinScrollBar* Value) {
    if (FVScrollBar && FVScrollBar != Value)
        FVScrollBar->RemoveFreeNotification(this);
    FVScrollBar = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetCanFocused(false);
        Value->OnChange = [this](TObject*) { BarChange(true); };
        Value->OnLastChange = [this](TObject*) { Invalidate(); };
        Value->SetEnabled(true);
        Value->SetVisible(false);
    }
    GetVRange();
}

void TbsSkinScrollBox::SetHScrollBar(TbsSkinScrollBar* Value) {
    if (FHScrollBar && FHScrollBar != Value)
        FHScrollBar->RemoveFreeNotification(this);
    FHScrollBar = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetCanFocused(false);
        Value->OnChange = [this](TObject*) { BarChange(false); };
        Value->OnLastChange = [this](TObject*) { Invalidate(); };
        Value->SetEnabled(true);
        Value->SetVisible(false);
    }
    GetHRange();
}

void TbsSkinScrollBox::SetBorderStyle(TbsSkinBorderStyle Value) {
    FBorderStyle = Value;
    RecreateWnd();
}

void TbsSkinScrollBox::UpDateScrollRange() {
    GetHRange();
    GetVRange();
}

void TbsSkinScrollBox::GetVRange() {
    GetRange(true);
}

void TbsSkinScrollBox::GetHRange() {
    GetRange(false);
}

void TbsSkinScrollBox::VScroll(int APosition) {
    if (!FVScrollBar || FVScrollBar->PageSize() == 0)
        return;
    FVScrollBar->SetPosition(std::min(APosition, FVScrollBar->Max() - FVScrollBar->PageSize()));
}

void TbsSkinScrollBox::HScroll(int APosition) {
    if (!FHScrollBar || FHScrollBar->PageSize() == 0)
        return;
    FHScrollBar->SetPosition(APosition);
}

// ---------------------------------------------------------------------------------------------
// Ranges

void TbsSkinScrollBox::ShiftContent(bool Vertical, int D) {
    if (Vertical)
        ScrollBy(0, -D);
    else
        ScrollBy(-D, 0);
    // A stretched background does not move with the content.
    if (FIndex != -1 && StretchEffect)
        Repaint();
}

void TbsSkinScrollBox::BarChange(bool Vertical) {
    TbsSkinScrollBar* Bar = Vertical ? FVScrollBar : FHScrollBar;
    int& Old = Vertical ? FOldVScrollBarPos : FOldHScrollBarPos;
    if (!Bar)
        return;
    ShiftContent(Vertical, Bar->Position() - Old);
    Old = Bar->Position();
}

void TbsSkinScrollBox::GetRange(bool Vertical) {
    TbsSkinScrollBar* Bar = Vertical ? FVScrollBar : FHScrollBar;
    if (!Bar || FInCheckScrollBars || !Parent())
        return;
    int& SizeOffset = Vertical ? FVSizeOffset : FHSizeOffset;
    int& OldPos = Vertical ? FOldVScrollBarPos : FOldHScrollBarPos;
    const int C = Vertical ? ClientHeight() : ClientWidth();
    int E = 0;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* Child = Controls(I);
        if (Child->Visible())
            E = std::max(E, Vertical ? Child->Top() + Child->Height() : Child->Left() + Child->Width());
    }
    const int P = Bar->Position();
    bool Show = false;
    bool Hide = false;
    if (E + P > C) {
        Show = !Bar->Visible();
        if (P > 0 && E < C && SizeOffset > 0) {
            // The box grew while scrolled: the content moves down into the new space.
            SizeOffset = std::min(SizeOffset, P);
            Bar->SetRange(0, E + P - 1, P - SizeOffset, C);
            ShiftContent(Vertical, -SizeOffset);
        } else if (SizeOffset == 0 && E + P - 1 < Bar->Max() && P > 0 && E < C) {
            // The content shrank and left a gap at its end.
            const int Gap = std::min(C - E, P);
            ShiftContent(Vertical, -Gap);
            Bar->SetRange(0, E + P - 1, P - Gap, C);
        } else {
            Bar->SetRange(0, E + P - 1, P, C);
        }
        SizeOffset = 0;
        OldPos = Bar->Position();
    } else {
        if (P > 0)
            ShiftContent(Vertical, -P);
        SizeOffset = 0;
        OldPos = 0;
        Bar->SetRange(0, 0, 0, 0);
        Hide = Bar->Visible();
    }
    if (FVScrollBar && FHScrollBar) {
        const bool VShown = Vertical ? (Show || (Bar->Visible() && !Hide)) : FVScrollBar->Visible();
        if (FHScrollBar->Both() != VShown)
            FHScrollBar->SetBoth(VShown);
    }
    if (Show || Hide)
        SetBarVisible(Bar, Show);
}

void TbsSkinScrollBox::SetBarVisible(TbsSkinScrollBar* Bar, bool Value) {
    FInCheckScrollBars = true;
    Bar->SetVisible(Value);
    FInCheckScrollBars = false;
    if (Align() == alNone)
        return;
    FInCheckScrollBars = true;
    if (Parent())
        Parent()->Realign();
    Realign();
    FInCheckScrollBars = false;
}

void TbsSkinScrollBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const int OldWidth = Width();
    const int OldHeight = Height();
    TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FHSizeOffset = Width() > OldWidth && OldWidth != 0 ? Width() - OldWidth : 0;
    if (Align() != alNone)
        GetHRange();
    FVSizeOffset = Height() > OldHeight && OldHeight != 0 ? Height() - OldHeight : 0;
    if (Align() != alNone)
        GetVRange();
}

void TbsSkinScrollBox::AdjustClientRect(TRect& Rect) {
    // Aligned children are laid out over the whole content, not only its visible part.
    if (FHScrollBar && FHScrollBar->Visible()) {
        Rect.Left = -FHScrollBar->Position();
        Rect.Right = Rect.Left + std::max(FHScrollBar->Max(), ClientWidth());
    } else {
        Rect.Left = 0;
        Rect.Right = ClientWidth();
    }
    if (FVScrollBar && FVScrollBar->Visible()) {
        Rect.Top = -FVScrollBar->Position();
        Rect.Bottom = Rect.Top + std::max(FVScrollBar->Max(), ClientHeight());
    } else {
        Rect.Top = 0;
        Rect.Bottom = ClientHeight();
    }
    TbsSkinCustomControl::AdjustClientRect(Rect);
}

// ---------------------------------------------------------------------------------------------
// Skin

void TbsSkinScrollBox::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    BGPictureIndex = -1;
    if (FIndex == -1)
        return;
    if (auto* Rec = dynamic_cast<TbsDataSkinScrollBoxControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get()))
        BGPictureIndex = Rec->BGPictureIndex;
}

void TbsSkinScrollBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    if (HandleAllocated())
        RecreateWnd();
    for (TbsSkinScrollBar* Bar : {FVScrollBar, FHScrollBar})
        if (Bar && Bar->Parent() && Bar->Align() != alNone)
            Bar->Parent()->Realign();
}

void TbsSkinScrollBox::CreateParams(TCreateParams& Params) {
    TbsSkinCustomControl::CreateParams(Params);
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinScrollBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FCanFocused && !ComponentState().Contains(csDesigning) && !Focused()) {
            FClicksDisabled = true;
            ::SetFocus(Handle());
            FClicksDisabled = false;
            if (!Focused())
                return;
        }
        break;
    case CN_COMMAND:
        if (FClicksDisabled)
            return;
        break;
    }
    TbsSkinCustomControl::WndProc(Message);
}

void TbsSkinScrollBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        TbsSkinCustomControl::Dispatch(Message);
        SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        return;
    case WM_WINDOWPOSCHANGING:
        TbsSkinCustomControl::Dispatch(Message);
        if (HandleAllocated() && Align() == alNone) {
            GetVRange();
            GetHRange();
        }
        return;
    case WM_NCCALCSIZE:
        WMNCCalcSize(Message);
        return;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return;
    case CM_VISIBLECHANGED:
        TbsSkinCustomControl::Dispatch(Message);
        for (TbsSkinScrollBar* Bar : {FVScrollBar, FHScrollBar})
            if (Bar)
                Bar->SetVisible(Visible());
        return;
    case WM_PAINTFRAMETODC:
        GetSkinData();
        if (Message.WParam && HasFrame()) {
            PaintFrame(HDC(Message.WParam));
            Message.Result = FramePaintedAnswer;
        } else {
            Message.Result = 0;
        }
        return;
    case WM_PAINTFRAMEONLY:
        if (Message.LParam != PaintOnlyParam)
            break;
        GetSkinData();
        if (Message.WParam && HasFrame())
            PaintFrame(HDC(Message.WParam));
        Message.Result = PaintOnlyParam;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

bool TbsSkinScrollBox::HasFrame() const {
    return BGPictureIndex == -1 && FBorderStyle != TbsSkinBorderStyle::bvNone;
}

void TbsSkinScrollBox::WMNCCalcSize(TMessage& Message) {
    GetSkinData();
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    if (!R || !HasFrame())
        return;
    if (FIndex == -1) {
        R->Left += 1;
        R->Top += 1;
        R->Right -= 1;
        R->Bottom -= 1;
        return;
    }
    R->Left += ClRect.Left;
    R->Top += ClRect.Top;
    R->Right -= GetRectWidth(SkinRect) - ClRect.Right;
    R->Bottom -= GetRectHeight(SkinRect) - ClRect.Bottom;
}

void TbsSkinScrollBox::WMNCPaint(TMessage&) {
    GetSkinData();
    if (!HasFrame() || !HandleAllocated())
        return;
    HDC DC = GetWindowDC(Handle());
    PaintFrame(DC);
    ReleaseDC(Handle(), DC);
}

void TbsSkinScrollBox::PaintFrame(HDC DC) {
    const int W = Width();
    const int H = Height();
    if (W < 1 || H < 1)
        return;
    if (FIndex == -1) {
        if (FBorderStyle == TbsSkinBorderStyle::bvNone)
            return;
        TBitmap B(W, H);
        TRect R = Rect(0, 0, W, H);
        TCanvas* C = B.Canvas();
        C->Brush()->SetStyle(bsClear);
        switch (FBorderStyle) {
        case TbsSkinBorderStyle::bvRaised:
            Frame3D(C, R, clBtnShadow, clBtnHighlight, 1);
            break;
        case TbsSkinBorderStyle::bvLowered:
            Frame3D(C, R, clBtnHighlight, clBtnShadow, 1);
            break;
        default:
            Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
            break;
        }
        const HDC S = B.Canvas()->Handle();
        BitBlt(DC, 0, 0, W, 1, S, 0, 0, SRCCOPY);
        BitBlt(DC, 0, H - 1, W, 1, S, 0, H - 1, SRCCOPY);
        BitBlt(DC, 0, 0, 1, H, S, 0, 0, SRCCOPY);
        BitBlt(DC, W - 1, 0, 1, H, S, W - 1, 0, SRCCOPY);
        return;
    }
    if (!Picture)
        return;
    const int DW = W - GetRectWidth(SkinRect);
    const int DH = H - GetRectHeight(SkinRect);
    const TPoint NewRT{RTPt.X + DW, RTPt.Y};
    const TPoint NewLB{LBPt.X, LBPt.Y + DH};
    const TPoint NewRB{RBPt.X + DW, RBPt.Y + DH};
    const TRect NewCl = Rect(ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom + DH);
    TBitmap LeftB, TopB, RightB, BottomB;
    CreateSkinBorderImages(LTPt, RTPt, LBPt, RBPt, ClRect, LTPt, NewRT, NewLB, NewRB, NewCl, &LeftB, &TopB, &RightB,
                           &BottomB, Picture, SkinRect, W, H, LeftStretch, TopStretch, RightStretch, BottomStretch);
    Blit(DC, 0, 0, TopB);
    Blit(DC, 0, TopB.Height(), LeftB);
    Blit(DC, W - RightB.Width(), TopB.Height(), RightB);
    Blit(DC, 0, H - BottomB.Height(), BottomB);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinScrollBox::CreateControlDefaultImage(TBitmap* B) {
    B->Canvas()->Brush()->SetStyle(bsSolid);
    B->Canvas()->Brush()->SetColor(Color());
    B->Canvas()->FillRect(Rect(0, 0, B->Width(), B->Height()));
}

void TbsSkinScrollBox::Paint() {
    GetSkinData();
    if (FIndex == -1) {
        TbsSkinCustomControl::Paint();
        return;
    }
    const int CW = ClientWidth();
    const int CH = ClientHeight();
    if (CW < 1 || CH < 1)
        return;
    TBitmap Tile;
    if (BGPictureIndex == -1) {
        if (!Picture)
            return;
        Tile.SetSize(GetRectWidth(ClRect), GetRectHeight(ClRect));
        Tile.Canvas()->CopyRect(Rect(0, 0, Tile.Width(), Tile.Height()), Picture->Canvas(),
                                Rect(SkinRect.Left + ClRect.Left, SkinRect.Top + ClRect.Top,
                                     SkinRect.Left + ClRect.Right, SkinRect.Top + ClRect.Bottom));
    } else if (BGPictureIndex < int(FSD->FActivePictures.size())) {
        Tile.Assign(FSD->FActivePictures[std::size_t(BGPictureIndex)].get());
    }
    const int TW = Tile.Width();
    const int TH = Tile.Height();
    // A picture without area has nothing to lay out.
    if (TW < 1 || TH < 1)
        return;
    TCanvas* C = Canvas();
    const HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, 0, 0, CW, CH);
    const TRect Whole = Rect(0, 0, TW, TH);
    if (!StretchEffect) {
        for (int Row = 0; Row <= CH / TH; ++Row)
            for (int Col = 0; Col <= CW / TW; ++Col)
                C->CopyRect(Bounds(Col * TW, Row * TH, TW, TH), Tile.Canvas(), Whole);
    } else {
        switch (StretchType) {
        case bsstFull:
            C->CopyRect(Rect(0, 0, Width(), Height()), Tile.Canvas(), Whole);
            break;
        case bsstHorz:
            for (int Col = 0; Col <= Width() / TW; ++Col)
                C->CopyRect(Bounds(Col * TW, 0, TW, Height()), Tile.Canvas(), Whole);
            break;
        case bsstVert:
            for (int Row = 0; Row <= Height() / TH; ++Row)
                C->CopyRect(Bounds(0, Row * TH, Width(), TH), Tile.Canvas(), Whole);
            break;
        }
    }
    RestoreDC(DC, Saved);
}
