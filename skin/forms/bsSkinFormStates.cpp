// The form component's window states on a skinned frame: minimize, maximize and restore set the form's bounds
// directly, roll-up shrinks the form to its frame, and a double click on the caption toggles them.
#include <algorithm>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "skin/forms/TbsSkinForm.h"

void TbsSkinForm::SetWindowState(TWindowState Value) {
    if (!FSkinnableForm) {
        FForm->SetWindowState(Value);
        return;
    }
    if (Value == FWindowState)
        return;
    TWindowState Old = FWindowState;
    const bool MainForm = Application && Application->MainForm() == FForm;
    if (!(Value == wsMinimized && (MainForm || FMinimizeDefault)))
        FWindowState = Value;
    switch (Value) {
    case wsNormal:
        if (Old == wsMaximized && FRollUpState && !FRollUpBeforeMaximize) {
            FRollUpState = false;
            MaxRollUpState = false;
        }
        FRollUpBeforeMaximize = false;
        DoRestore();
        break;
    case wsMinimized:
        DoMinimize();
        break;
    case wsMaximized:
        FRollUpBeforeMaximize = FRollUpState;
        DoMaximize();
        break;
    }
}

void TbsSkinForm::DoMinimize() {
    if (Application && Application->MainForm() == FForm) {
        Application->Minimize();
    } else if (FMinimizeDefault) {
        FForm->SetWindowState(wsMinimized);
    } else {
        if (IsNullRect(OldBoundsRect))
            OldBoundsRect = FForm->BoundsRect();
        TPoint P = GetMinimizedPosition();
        FForm->SetBounds(P.X, P.Y, GetMinWidth(), GetMinHeight());
        if (IsMDIChild() && Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
            SendMessageW(Application->MainForm()->Handle(), WM_MDICHILDRESTORE, 0, 0);
    }
    if (OnMinimize)
        OnMinimize(this);
}

TPoint TbsSkinForm::GetMinimizedPosition() {
    const int W = GetMinWidth(), H = GetMinHeight();
    std::vector<TRect> Taken;
    TRect A;
    if (IsMDIChild()) {
        TRect Client = GetMDIClientArea();
        A = TRect{0, 0, GetRectWidth(Client), GetRectHeight(Client)};
        if (TCustomForm* Main = Application ? Application->MainForm() : nullptr)
            for (int I = 0; I < Main->MDIChildCount(); ++I) {
                TCustomForm* C = Main->MDIChildren(I);
                if (C == FForm || !C->Visible())
                    continue;
                for (int J = 0; J < C->ComponentCount(); ++J)
                    if (auto* S = dynamic_cast<TbsSkinForm*>(C->Components(J)); S && S->WindowState() == wsMinimized)
                        Taken.push_back(C->BoundsRect());
            }
    } else {
        GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : nullptr, true, A);
        for (int I = 0; I < Screen->FormCount(); ++I) {
            TCustomForm* F = Screen->Forms(I);
            if (F != FForm && F != (Application ? Application->MainForm() : nullptr) && F->Visible())
                Taken.push_back(F->BoundsRect());
        }
    }
    TPoint P{A.Left, A.Bottom - H};
    for (;;) {
        bool Free =
            std::none_of(Taken.begin(), Taken.end(), [&P](const TRect& R) { return R.Left == P.X && R.Top == P.Y; });
        if (Free)
            return P;
        P.X += W;
        if (P.X + W > A.Right) {
            P.X = A.Left;
            P.Y -= H;
            if (P.Y < A.Top) {
                P.Y = A.Bottom - H;
                return P;
            }
        }
    }
}

void TbsSkinForm::DoMaximize() {
    if (IsNullRect(OldBoundsRect))
        OldBoundsRect = FForm->BoundsRect();
    if (IsMDIChild()) {
        MouseTimer->SetEnabled(false);
        UpdateActiveObject(-1, -1, false);
        TRect A = GetMDIClientArea();
        const int OldW = FForm->Width(), OldH = FForm->Height();
        FForm->SetBounds(0, 0, GetRectWidth(A), GetRectHeight(A));
        if (OldW == FForm->Width() && OldH == FForm->Height())
            NudgeWidth();
        if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
            SendMessageW(Application->MainForm()->Handle(), WM_MDICHILDMAX, 0, 0);
    } else {
        TRect A;
        HWND Wnd = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
        GetMonitorWorkArea(Wnd, !FMaximizeOnFullScreen, A);
        if (!FMaximizeOnFullScreen) {
            TRect Whole;
            GetMonitorWorkArea(Wnd, false, Whole);
            // A work area as large as a single whole screen leaves one pixel around, so that a bar set to
            // hide itself can still be reached.
            if (Whole == A && Whole == TRect{0, 0, Screen->Width(), Screen->Height()})
                A = TRect{A.Left + 1, A.Top + 1, A.Right - 1, A.Bottom - 1};
        }
        FForm->SetBounds(A.Left, A.Top, GetRectWidth(A), GetRectHeight(A));
    }
    if (OnMaximize)
        OnMaximize(this);
}

void TbsSkinForm::DoRestore() {
    MaxRollUpState = false;
    const int OldW = FForm->Width(), OldH = FForm->Height();
    if (FStartShow) {
        FStartShow = false;
        TPoint P = GetPositionInMonitor(OldBoundsRect.Left, OldBoundsRect.Top, GetRectWidth(OldBoundsRect),
                                        GetRectHeight(OldBoundsRect));
        FForm->SetBounds(P.X, P.Y, GetRectWidth(OldBoundsRect), GetRectHeight(OldBoundsRect));
    } else if (!IsNullRect(OldBoundsRect)) {
        if (FBorderLayer->Visible())
            FBorderLayer->SetBoundsWithForm3(OldBoundsRect.Left, OldBoundsRect.Top, GetRectWidth(OldBoundsRect),
                                             GetRectHeight(OldBoundsRect));
        FForm->SetBounds(OldBoundsRect.Left, OldBoundsRect.Top, GetRectWidth(OldBoundsRect),
                         GetRectHeight(OldBoundsRect));
    }
    // Rolled up before the maximize: the normal bounds come back at the rolled-up height.
    if (FRollUpState)
        FForm->SetHeight(GetMinHeight());
    MouseTimer->SetEnabled(true);
    if (OldW == FForm->Width() && OldH == FForm->Height())
        NudgeWidth();
    FForm->Invalidate();
    SendNCPaint();
    if (IsMDIChild() && !IsMaximizedMDIChild() && Application && Application->MainForm() &&
        Application->MainForm()->HandleAllocated())
        SendMessageW(Application->MainForm()->Handle(), WM_MDICHILDRESTORE, 0, 0);
    OldBoundsRect = TRect{};
    if (OnRestore)
        OnRestore(this);
}

void TbsSkinForm::SetRollUpState(bool Value) {
    if (!FBorderIcons.Contains(TbsBorderIcon::biRollUp) || FWindowState == wsMinimized)
        return;
    if (FRollUpState && FWindowState == wsMaximized && !MaxRollUpState)
        return;
    if (FWindowState == wsMaximized)
        MaxRollUpState = Value;
    FRollUpState = Value;
    if (Value) {
        OldHeight = FForm->Height();
        FForm->SetHeight(GetMinHeight());
    } else if (FClientHeight != 0) {
        FForm->SetClientHeight(FClientHeight);
    } else {
        FForm->SetHeight(OldHeight);
    }
    if (OnChangeRollUpState)
        OnChangeRollUpState(this);
}

void TbsSkinForm::CaptionDblClick() {
    const bool CanResize = CanResizeForm();
    if (CanResize && FWindowState == wsMinimized)
        SetWindowState(wsNormal);
    else if (CanResize && FWindowState != wsMaximized && !FRollUpState &&
             FBorderIcons.Contains(TbsBorderIcon::biMaximize))
        SetWindowState(wsMaximized);
    else if (CanResize && FWindowState == wsMaximized && !MaxRollUpState)
        SetWindowState(wsNormal);
    else
        SetRollUpState(!FRollUpState);
    MouseCaptureObject = -1;
}
