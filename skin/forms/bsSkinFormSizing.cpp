// The form component's answers to the system about the frame: what lies under the mouse, the sizes the form
// may take, where a moved form snaps to and where a form first shows.
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "skin/forms/TbsSkinForm.h"

namespace {

bool PtIn(const TRect& R, const TPoint& P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

} // namespace

bool TbsSkinForm::CanResizeForm() {
    TFormBorderStyle S = FForm->BorderStyle();
    return FAlwaysResize || S == bsSizeable || S == bsSizeToolWin;
}

int TbsSkinForm::HitTestDefault(const TPoint& P) {
    int W = FForm->Width(), H = FForm->Height(), C = GetDefCaptionHeight();
    if (FWindowState == wsNormal && !FRollUpState && CanResizeForm()) {
        if (ActiveObject != -1)
            return HTOBJECT;
        int X = P.X, Y = P.Y;
        bool L = X <= 2, T = Y <= 2, R = X >= W - 2, B = Y >= H - 2;
        if (L && T)
            return HTTOPLEFT;
        if (R && T)
            return HTTOPRIGHT;
        if (L && B)
            return HTBOTTOMLEFT;
        if (R && B)
            return HTBOTTOMRIGHT;
        if (L)
            return HTLEFT;
        if (T)
            return HTTOP;
        if (R)
            return HTRIGHT;
        if (B)
            return HTBOTTOM;
    }
    if (ObjectList.empty())
        CreateDefaultObjects();
    CalcDefRects();
    if (PtIn(NewDefCaptionRect, P))
        return HTCAPTION;
    if (PtIn(TRect{3, C + 3, W - 3, H - 3}, P))
        return HTCLIENT;
    return HTOBJECT;
}

// The caption objects (with the quick buttons at their left end) come with the skinned look of the frame;
// without one, no point lies on the caption.
bool TbsSkinForm::IsPointOnCaption(const TPoint& P) {
    return false;
}

bool TbsSkinForm::IsNearOutside(const TPoint& P) {
    int B = FSD->BorderW;
    const TPoint Probes[] = {{P.X - B, P.Y}, {P.X, P.Y - B}, {P.X + B, P.Y}, {P.X, P.Y + B}};
    TRect Frame{0, 0, FForm->Width(), FForm->Height()};
    if (FSD->FMask->Empty()) {
        for (const TPoint& Q : Probes)
            if (!PtIn(Frame, Q))
                return true;
        return false;
    }
    if (PtIn(NewMaskRectArea, P))
        return false;
    for (const TPoint& Q : Probes)
        if (!IsPointInMask(Q))
            return true;
    return false;
}

int TbsSkinForm::HitTestSkin(const TPoint& P) {
    if (!FRollUpState && FWindowState != wsMinimized) {
        if (ActiveObject != -1 && !IsPointOnCaption(P) && !PtIn(NewClRect, P) && !FSizeMove)
            return HTOBJECT;
        if (FWindowState != wsMaximized && CanResizeForm()) {
            if (!IsNearOutside(P)) {
                if (PtIn(NewClRect, P))
                    return HTCLIENT;
                return IsPointOnCaption(P) ? HTCAPTION : HTOBJECT;
            }
            int X = P.X, Y = P.Y;
            if (X <= NewHitTestLTPoint.X && Y <= NewHitTestLTPoint.Y)
                return HTTOPLEFT;
            if (X >= NewHitTestRTPoint.X && Y <= NewHitTestRTPoint.Y)
                return HTTOPRIGHT;
            if (X <= NewHitTestLBPoint.X && Y >= NewHitTestLBPoint.Y)
                return HTBOTTOMLEFT;
            if (X >= NewHitTestRBPoint.X && Y >= NewHitTestRBPoint.Y)
                return HTBOTTOMRIGHT;
            if (PtIn(TRect{NewHitTestLTPoint.X, 0, NewHitTestRTPoint.X, NewClRect.Top}, P))
                return HTTOP;
            if (PtIn(TRect{NewHitTestLBPoint.X, NewClRect.Bottom, NewHitTestRBPoint.X, FForm->Height()}, P))
                return HTBOTTOM;
            if (PtIn(TRect{0, NewHitTestLTPoint.Y, NewClRect.Left, NewHitTestLBPoint.Y}, P))
                return HTLEFT;
            if (PtIn(TRect{NewClRect.Right, NewHitTestRTPoint.Y, FForm->Width(), NewHitTestRBPoint.Y}, P))
                return HTRIGHT;
        }
        if (PtIn(NewClRect, P))
            return HTCLIENT;
    }
    return IsPointOnCaption(P) ? HTCAPTION : HTOBJECT;
}

// ---------------------------------------------------------------------------------------------
// Sizes

int TbsSkinForm::GetMinWidth() {
    if (!SkinApplied())
        return FMinWidth > 0 ? FMinWidth : 120;
    int PW = FSD->FPicture->Width();
    bool Minimized = FWindowState == wsMinimized;
    if (PW < FMinWidth && !Minimized)
        return FMinWidth;
    if (FSD->FormMinWidth > 0)
        return (FMinWidth > FSD->FormMinWidth && !Minimized) ? FMinWidth : FSD->FormMinWidth;
    return PW;
}

int TbsSkinForm::GetMinHeight() {
    int H0 = SkinApplied() ? FSD->FPicture->Height() - GetRectHeight(FSD->ClRect) : GetDefCaptionHeight() + 6;
    if (H0 >= FMinHeight || FRollUpState || FWindowState == wsMinimized)
        return H0;
    return FMinHeight;
}

int TbsSkinForm::GetMaxWidth() {
    if (FMaxWidth != 0)
        return FMaxWidth;
    TRect R;
    GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : nullptr, !FMaximizeOnFullScreen, R);
    return GetRectWidth(R);
}

int TbsSkinForm::GetMaxHeight() {
    if (FMaxHeight != 0)
        return FMaxHeight;
    TRect R;
    GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : nullptr, !FMaximizeOnFullScreen, R);
    return GetRectHeight(R);
}

// Makes the system lay the frame out again for an unchanged size.
void TbsSkinForm::NudgeWidth() {
    int W = FForm->Width();
    if (W - 1 < GetMinWidth()) {
        FForm->SetWidth(W + 1);
        FForm->SetWidth(W);
    } else {
        FForm->SetWidth(W - 1);
        FForm->SetWidth(W);
    }
}

bool TbsSkinForm::GetFullDrag() {
    BOOL Full = 0;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &Full, 0);
    return Full != 0;
}

// ---------------------------------------------------------------------------------------------
// Snapping to the work area's edges

// One edge: Pos snaps to the edge (Edge - Size) when within the magnetic size, and stays there while the cursor
// has moved no more than that from where it snapped (the snap holds even though the rectangle the system
// proposes has left the edge's reach); then it follows the cursor.
void TbsSkinForm::SnapEdge(int& Pos, int Edge, int Size, int Cursor, int& Start, bool& Flag) {
    int S = FMagneticSize;
    bool Near = Edge - S < Pos + Size && Pos + Size < Edge + S;
    int Target = Edge - Size;
    if (Near && !Flag) {
        Pos = Target;
        Start = Cursor;
        Flag = true;
    } else if (Flag && std::abs(Cursor - Start) > S) {
        Pos = Cursor + Target - Start;
        Flag = Near;
    } else if (Flag) {
        Pos = Target;
    }
}

void TbsSkinForm::MagneticSnap(int& ALeft, int& ATop, int AWidth, int AHeight) {
    TRect A;
    if (IsMDIChild()) {
        A = GetMDIClientArea();
        if (TCustomForm* Main = Application ? Application->MainForm() : nullptr; Main && Main->ClientHandle()) {
            POINT O{0, 0};
            ClientToScreen(Main->ClientHandle(), &O);
            A = TRect{A.Left + O.X, A.Top + O.Y, A.Right + O.X, A.Bottom + O.Y};
        }
    } else {
        GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : nullptr, true, A);
    }
    // The layered border's sizing zone snaps in place of the form's own edges.
    const bool Border = UseLayeredBorder() && FBorderLayer->Visible() && !IsNullRect(FSD->LayerFrame->BorderRect);
    if (Border) {
        ALeft -= FBorderLayer->LeftSize;
        ATop -= FBorderLayer->TopSize;
        AHeight += FBorderLayer->BottomSize;
        AWidth += FBorderLayer->RightSize;
    }
    POINT C;
    GetCursorPos(&C);
    SnapEdge(ALeft, A.Left, 0, C.X, FOnMouseDownCoord.X, HMagnetized);
    SnapEdge(ATop, A.Top, 0, C.Y, FOnMouseDownCoord.Y, VMagnetized);
    SnapEdge(ALeft, A.Right, AWidth, C.X, FOnMouseDownCoord.X, HMagnetized2);
    SnapEdge(ATop, A.Bottom, AHeight, C.Y, FOnMouseDownCoord.Y, VMagnetized2);
    if (Border) {
        if (!HMagnetized2)
            ALeft += FBorderLayer->LeftSize;
        if (!VMagnetized2)
            ATop += FBorderLayer->TopSize;
    }
}

// ---------------------------------------------------------------------------------------------
// Placement on the monitor

TPoint TbsSkinForm::GetPositionInMonitor(int AX, int AY, int AW, int AH) {
    if (FPositionInMonitor == bspDefault)
        return TPoint{AX, AY};
    TRect A;
    GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : nullptr, FPositionInMonitor == bspDesktopCenter, A);
    return TPoint{A.Left + GetRectWidth(A) / 2 - AW / 2, A.Top + GetRectHeight(A) / 2 - AH / 2};
}

void TbsSkinForm::ApplyPositionInMonitor() {
    if (FPositionInMonitor == bspDefault)
        return;
    TPoint P = GetPositionInMonitor(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
    FForm->SetBounds(P.X, P.Y, FForm->Width(), FForm->Height());
}
