// The form component's window procedure: a first dispatch before (or instead of) the form's previous
// procedure, then a second one that routes the non-client mouse to the frame objects.
#include <algorithm>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMainMenuBar.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/bsSkinHint.h"

namespace {

constexpr LRESULT NativeFrameAnswer = 12852;
constexpr LRESULT SkinnedFrameAnswer = 12853;
constexpr LRESULT PaintedToDCAnswer = 12851;
constexpr LPARAM PaintToDCCookie = 16802;

} // namespace

void TbsSkinForm::FormWndProc(TMessage& M) {
    // Some handlers let the queue run; the component may be gone when they return.
    std::weak_ptr<char> Alive = FAlive;
    CloseMenusOnMessage(M);
    switch (M.Msg) {
    case WM_DESTROY:
        WMDestroy(M);
        break;
    case WM_SIZE:
        WMSize(M);
        break;
    case WM_ACTIVATE:
        WMActivate(M);
        break;
    case WM_SETTEXT:
        WMSetText(M);
        break;
    case WM_ERASEBKGND:
        WMEraseBkgnd(M);
        break;
    case WM_SHOWWINDOW:
        WMShowWindow(M);
        break;
    case WM_SETCURSOR:
        WMSetCursor(M);
        break;
    case WM_MOUSEACTIVATE:
        WMMouseActivate(M);
        break;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(M);
        break;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(M);
        break;
    case WM_DISPLAYCHANGE:
        WMDisplayChange(M);
        break;
    case WM_NCCALCSIZE:
        WMNCCalcSize(M);
        break;
    case WM_NCHITTEST:
        WMNCHitTest(M);
        break;
    case WM_NCPAINT:
        WMNCPaint(M);
        break;
    case WM_NCACTIVATE:
        WMNCActivate(M);
        break;
    case WM_SYNCPAINT:
        WMSyncPaint(M);
        break;
    case WM_SYSCOMMAND:
        WMSysCommand(M);
        break;
    case WM_SIZING:
        WMSizing(M);
        break;
    case WM_MOVING:
        WMMoving(M);
        break;
    case WM_ENTERSIZEMOVE:
        WMEnterSizeMove(M);
        break;
    case WM_EXITSIZEMOVE:
        WMExitSizeMove(M);
        break;
    case WM_BEFORECHANGESKINDATA:
        WMBeforeChangeSkinData(M);
        break;
    case WM_CHANGESKINDATA:
        WMChangeSkinData(M);
        break;
    case WM_AFTERCHANGESKINDATA:
        WMAfterChangeSkinData(M);
        break;
    case WM_MDICHILDMOVE:
        WMMDIChildMove(M);
        break;
    case WM_MDICHILDMAX:
        WMMDIChildMax(M);
        break;
    case WM_MDICHILDRESTORE:
        WMMDIChildRestore(M);
        break;
    case WM_CHANGERESSTRDATA:
        WMChangeResStrData(M);
        break;
    case WM_CHANGEFORMSKINNABLE:
        WMChangeFormSkinnable(M);
        break;
    case WM_TRAYSHOWMAINFORM:
        WMTrayShowMainForm(M);
        break;
    case WM_QUERYNATIVEFRAME:
        WMQueryNativeFrame(M);
        break;
    case WM_EFFECTSTART:
        WMEffectStart(M);
        break;
    case WM_EFFECTEND:
        WMEffectEnd(M);
        break;
    case WM_TIMER:
        WMTimer(M);
        break;
    case WM_CHANGELAYEREDBORDER:
        WMChangeLayeredBorder(M);
        break;
    case WM_PAINTFRAMETODC:
        WMPaintFrameToDC(M);
        break;
    case WM_PAINTBGORFRAMETODC:
        WMPaintFrameToDC(M);
        break;
    case WM_SKINMENUCLOSED:
        WMSkinMenuClosed(M);
        break;
    case WM_NCLBUTTONDBLCLK:
        // The skinned frame toggles its own states on a caption double click (after the frame objects).
        if (!(FSkinnableForm && M.WParam == WPARAM(HTCAPTION)))
            CallOld(M);
        break;
    default:
        CallOld(M);
        break;
    }
    if (Alive.expired())
        return;
    AfterOldWindowProc(M);
}

// Screen coordinates of a non-client message, relative to the window's top-left corner.
TPoint TbsSkinForm::ScreenToWindowPoint(LPARAM LParam) {
    TPoint P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    if (IsMDIChild()) {
        P = FForm->ScreenToClient(P);
        if (FSkinSupport)
            return {P.X + NewClRect.Left, P.Y + NewClRect.Top};
        return {P.X + 3, P.Y + GetDefCaptionHeight() + 3};
    }
    return {P.X - FForm->Left(), P.Y - FForm->Top()};
}

// ---------------------------------------------------------------------------------------------
// First dispatch

void TbsSkinForm::WMDestroy(TMessage& M) {
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    AnimateTimer->SetEnabled(false);
    // The strips are owned windows of this one and go with it.
    FBorderLayer->Hide();
    if (IsMDIChild()) {
        FWindowState = wsNormal;
        if (TCustomForm* Main = Application ? Application->MainForm() : nullptr; Main && Main->HandleAllocated()) {
            SendMessageW(Main->Handle(), WM_MDICHILDRESTORE, 0, 0);
            if (TbsSkinForm* MainSkin = GetSkinForm(Main); MainSkin && MainSkin->MainMenuBar())
                MainSkin->MainMenuBar()->UpDateItems();
        }
        // A child that goes leaves no tab or menu item pointing at it.
        DeleteChildFromBar(FForm);
        DeleteChildFromMenu(FForm);
        UpdateMDITabsActive();
    }
    CallOld(M);
}

void TbsSkinForm::WMSize(TMessage& M) {
    bool LogoRepaint = !FLogoBitMap->Empty() && !IsMDIForm();
    if (FSizeMove && FFullDrag) {
        if (LogoRepaint)
            FForm->Invalidate();
        CallOld(M);
        return;
    }
    // Sized through its layered border, the form keeps the size that border gave until the frame is laid out.
    const bool ByBorder = FBorderLayerChangeSize;
    if (!ByBorder) {
        CallOld(M);
        FFormWidth = FForm->Width();
        FFormHeight = FForm->Height();
    }
    HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
    if (!FSkinSupport && FSkinnableForm) {
        UpdateFormRegion();
        SendNCPaint();
    } else if (FSkinSupport && FSkinnableForm && FFormWidth >= GetMinWidth() && FFormHeight >= GetMinHeight()) {
        if (UseLayeredBorder()) {
            if (ByBorder)
                FBorderLayer->SetBoundsWithForm3(FFormLeft, FFormTop, FFormWidth, FFormHeight);
            else
                FBorderLayer->SetBoundsWithForm();
        }
        UpdateFrame();
    }
    if (ByBorder)
        CallOld(M);
    if (FAlphaBlend && FAlphaBlendValue < 255 && LayeredAlphaAvailable()) {
        SendNCPaint();
        FForm->Invalidate();
    }
    if (LogoRepaint)
        FForm->Invalidate();
}

void TbsSkinForm::WMActivate(TMessage& M) {
    CallOld(M);
    if (!FSkinnableForm)
        return;
    SendNCPaint();
    if (IsMDIForm() && FMainMenuBar)
        FMainMenuBar->UpDateItems();
    if (IsMaximizedMDIChild()) {
        UpdateCaptionActive(false);
    } else {
        ResetObjectStates();
        UpdateCaptionActive(true);
    }
}

void TbsSkinForm::WMSetText(TMessage& M) {
    CallOld(M);
    if (FSkinnableForm && HasBorder() && !IsMaximizedMDIChild())
        SendNCPaint();
    if (IsMDIChild()) {
        UpDateChildCaptionInMenu(FForm);
        RefreshMDIBarTab(FForm);
    }
}

void TbsSkinForm::WMEraseBkgnd(TMessage& M) {
    if (IsMDIForm() && !FClientInActiveDraw) {
        CallOld(M);
        return;
    }
    HDC DC = reinterpret_cast<HDC>(M.WParam);
    if (!FSkinSupport)
        PaintBGDefault(DC);
    else if (FUseRibbon && FSD->MDIBGPictureIndex != -1)
        PaintBG3(DC);
    else if (FSD->BGPictureIndex == -1)
        PaintBG(DC);
    else
        PaintBG2(DC);
    M.Result = 1;
}

// The first show places the form on its monitor and lays the frame out for the shown size.
void TbsSkinForm::WMShowWindow(TMessage& M) {
    if (M.WParam) {
        if (FStartShow) {
            if (FPositionInMonitor == bspDefault) {
                FStartShow = false;
            } else if (FWindowState == wsNormal) {
                FStartShow = false;
                ApplyPositionInMonitor();
            }
        }
        PrepareFadeIn();
        if (FSkinnableForm && !IsMDIForm())
            NudgeWidth();
        SubclassMDIClient();
        if (IsMDIChild()) {
            AddChildToMenu(FForm);
            AddChildToBar(FForm);
        }
        if (FForm->Menu())
            FForm->SetMenu(nullptr);
    } else {
        if (FSkinnableForm)
            HideBeforeHide();
        if (IsMDIChild()) {
            DeleteChildFromMenu(FForm);
            DeleteChildFromBar(FForm);
        }
    }
    CallOld(M);
}

void TbsSkinForm::WMSetCursor(TMessage& M) {
    if (FSkinnableForm && FUseFormCursorInNCArea) {
        auto Ht = short(M.LParamLo());
        if (Ht != HTCLIENT && !(Ht >= HTLEFT && Ht <= HTBOTTOMRIGHT))
            M.LParam = MAKELPARAM(HTCLIENT, M.LParamHi());
    }
    CallOld(M);
}

void TbsSkinForm::WMMouseActivate(TMessage& M) {
    if (FSkinnableForm && IsMDIChild() && !FFormActive) {
        TCustomForm* Main = Application ? Application->MainForm() : nullptr;
        if (Main && Main->ActiveMDIChild() == FForm) {
            FFormActive = true;
            UpdateCaptionActive(!IsMaximizedMDIChild());
        }
    }
    CallOld(M);
}

void TbsSkinForm::WMGetMinMaxInfo(TMessage& M) {
    if (FSkinnableForm) {
        auto* Info = reinterpret_cast<MINMAXINFO*>(M.LParam);
        Info->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
        Info->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
    }
    CallOld(M);
}

void TbsSkinForm::WMWindowPosChanged(TMessage& M) {
    auto* Pos = reinterpret_cast<WINDOWPOS*>(M.LParam);
    if (Pos) {
        if ((Pos->flags & SWP_HIDEWINDOW) && FSkinnableForm)
            HideBeforeHide();
        const bool Moved = FForm->Left() != Pos->x || FForm->Top() != Pos->y;
        FFormLeft = Pos->x;
        FFormTop = Pos->y;
        if (FBorderLayerChangeSize && !FSizing && !(Pos->flags & SWP_NOSIZE)) {
            FFormWidth = Pos->cx;
            FFormHeight = Pos->cy;
        }
        if (FSizing) {
            if (Moved && UseLayeredBorder())
                FBorderLayer->SetBoundsWithForm3(FFormLeft, FFormTop, FFormWidth, FFormHeight);
        } else if (!FBorderLayerChangeSize) {
            if (UseLayeredBorder())
                FBorderLayer->MoveWithForm2(FFormLeft, FFormTop);
            FOldFormLeft = FFormLeft;
            FOldFormTop = FFormTop;
        }
    }
    CallOld(M);
}

void TbsSkinForm::WMDisplayChange(TMessage& M) {
    if (HasBorder() && (FForm->Width() > GetMaxWidth() || FForm->Height() > GetMaxHeight()))
        NudgeWidth();
    CallOld(M);
}

void TbsSkinForm::WMNCCalcSize(TMessage& M) {
    if (!FSkinnableForm) {
        CallOld(M);
        return;
    }
    auto* R = reinterpret_cast<RECT*>(M.LParam);
    if (!R || IsMaximizedMDIChild() || !HasBorder())
        return;
    if (FSkinSupport) {
        CalcNewRects();
        const TRect& Cl = FSD->ClRect;
        R->Left += Cl.Left;
        R->Top += Cl.Top;
        R->Right -= FSD->FPicture->Width() - Cl.Right;
        R->Bottom -= FSD->FPicture->Height() - Cl.Bottom;
    } else {
        R->Left += 3;
        R->Top += GetDefCaptionHeight() + 3;
        R->Right -= 3;
        R->Bottom -= 3;
    }
    R->Right = std::max(R->Right, R->Left);
    R->Bottom = std::max(R->Bottom, R->Top);
}

void TbsSkinForm::WMNCHitTest(TMessage& M) {
    if (!FSkinnableForm) {
        CallOld(M);
        return;
    }
    TPoint P = ScreenToWindowPoint(M.LParam);
    M.Result = FSkinSupport ? HitTestSkin(P) : HitTestDefault(P);
    if (!MouseTimer->Enabled() && M.Result == HTOBJECT) {
        UpdateActiveObject(P.X, P.Y, true);
        MouseTimer->SetEnabled(true);
    }
}

void TbsSkinForm::WMNCPaint(TMessage& M) {
    if (!FSkinnableForm) {
        CallOld(M);
        return;
    }
    if (!HasBorder() || IsMaximizedMDIChild())
        return;
    if (FSkinSupport)
        PaintNCSkin(nullptr, false);
    else if (!FStopPainting)
        PaintNCDefault(nullptr, false);
}

void TbsSkinForm::WMNCActivate(TMessage& M) {
    if (!FSkinnableForm) {
        CallOld(M);
        return;
    }
    FBorderLayerChangeSize = false;
    if (FSkinMenu->Visible())
        FSkinMenu->Hide();
    HideLayers();
    FFormActive = M.WParam != 0;
    if (!FFormActive)
        UpdateActiveObject(-1, -1, false);
    if (IsMDIChild() || (IsMDIForm() && !FIsVistaOs)) {
        CallOld(M);
        if (IsMDIChild())
            FForm->Invalidate();
    } else {
        M.Result = 1;
    }
    if (HasBorder() && !IsMaximizedMDIChild()) {
        SendNCPaint();
        UpdateCaptionActive(true);
    } else {
        UpdateCaptionActive(false);
    }
    if (IsMaximizedMDIChild())
        if (TCustomForm* Main = Application ? Application->MainForm() : nullptr; Main && Main->HandleAllocated())
            SendMessageW(Main->Handle(), WM_NCPAINT, 0, 0);
    if (FormVisible() && FClientInActiveEffect) {
        if (FFormActive)
            HideClientInActiveEffect();
        else
            ShowClientInActiveEffect();
    }
    if (FormVisible()) {
        if (UseLayeredBorder())
            FBorderLayer->SetActive(FFormActive, true);
    } else if (FForm->Tag() != -10000 && FBorderLayer->Visible()) {
        FBorderLayer->Hide();
    }
    if (IsMDIChild()) {
        UpdateMDITabsActive();
        UpDateChildActiveInMenu();
    }
}

void TbsSkinForm::WMSyncPaint(TMessage& M) {
    if (FSkinnableForm && FRollUpState) {
        SendNCPaint();
        M.Result = 0;
        return;
    }
    CallOld(M);
}

void TbsSkinForm::WMSysCommand(TMessage& M) {
    if ((M.WParam & 0xFFF0) == SC_KEYMENU) {
        const bool AfterShortCut = FAltShortCut && M.LParam == 0;
        FAltShortCut = false;
        if (!AfterShortCut)
            KeyMenu();
        return;
    }
    if ((M.WParam & 0xFFF0) == SC_RESTORE && OnRestore)
        OnRestore(this);
    CallOld(M);
}

// Live sizing: the frame follows every step of a full-drag size; the previous procedure sees each step once.
void TbsSkinForm::WMSizing(TMessage& M) {
    if (!(FSizeMove && FFullDrag)) {
        CallOld(M);
        return;
    }
    FSizing = true;
    FBorderLayerChangeSize = false;
    HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
    CallOld(M);
    const auto* R = reinterpret_cast<const RECT*>(M.LParam);
    int OldW = FFormWidth, OldH = FFormHeight;
    FFormWidth = R->Right - R->Left;
    FFormHeight = R->Bottom - R->Top;
    if (!FSD || (FSD->Empty && FSkinnableForm)) {
        UpdateFormRegion();
    } else if (FSkinnableForm && OldW >= GetMinWidth() && OldH >= GetMinHeight() &&
               (OldW != FFormWidth || OldH != FFormHeight)) {
        if (UseLayeredBorder() && FFormLeft == FOldFormLeft && FFormTop == FOldFormTop)
            FBorderLayer->SetBoundsWithForm3(FFormLeft, FFormTop, FFormWidth, FFormHeight);
        FOldFormLeft = FFormLeft;
        FOldFormTop = FFormTop;
        UpdateFrame();
    }
}

void TbsSkinForm::WMMoving(TMessage& M) {
    if (FSkinnableForm) {
        auto* R = reinterpret_cast<RECT*>(M.LParam);
        if (FWindowState == wsMaximized && !IsMDIChild()) {
            *R = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(), FForm->Top() + FForm->Height()};
        } else if (FMagnetic) {
            int L = R->Left, T = R->Top;
            MagneticSnap(L, T, FForm->Width(), FForm->Height());
            *R = RECT{L, T, L + FForm->Width(), T + FForm->Height()};
        }
    }
    CallOld(M);
}

void TbsSkinForm::WMEnterSizeMove(TMessage& M) {
    if (FSkinnableForm) {
        POINT C;
        GetCursorPos(&C);
        FOnMouseDownCoord = TPoint{C.X, C.Y};
        ResetObjectStates();
        MouseTimer->SetEnabled(false);
        ActiveObject = MouseCaptureObject = -1;
        FSizeMove = true;
        FFullDrag = GetFullDrag();
    }
    CallOld(M);
}

void TbsSkinForm::WMExitSizeMove(TMessage& M) {
    if (FSkinnableForm) {
        if (FSizing && (FForm->Width() != FFormWidth || FForm->Height() != FFormHeight)) {
            FFormLeft = FForm->Left();
            FFormTop = FForm->Top();
            FFormWidth = FForm->Width();
            FFormHeight = FForm->Height();
            UpdateFrame();
        }
        FSizing = FSizeMove = false;
        MouseTimer->SetEnabled(false);
        ActiveObject = OldActiveObject = MouseCaptureObject = -1;
        if (FSkinSupport)
            SendNCPaint();
        if (UseLayeredBorder())
            FBorderLayer->SetBoundsWithForm();
    }
    CallOld(M);
}

// ---------------------------------------------------------------------------------------------
// Skin changes: WParam is the sending skin data. Every one goes on to the previous procedure afterwards.

void TbsSkinForm::WMBeforeChangeSkinData(TMessage& M) {
    auto* Sender = reinterpret_cast<TbsSkinData*>(M.WParam);
    if (Sender && Sender == FSD) {
        FStopPainting = true;
        FSkinSupport = false;
        MouseTimer->SetEnabled(false);
        MorphTimer->SetEnabled(false);
        AnimateTimer->SetEnabled(false);
        ClearObjects();
        BeforeChangeSkinDataWalk(Sender, FForm);
        if (OnBeforeChangeSkinData)
            OnBeforeChangeSkinData(this);
    }
    CallOld(M);
}

void TbsSkinForm::WMChangeSkinData(TMessage& M) {
    auto* Sender = reinterpret_cast<TbsSkinData*>(M.WParam);
    FStopPainting = false;
    if (Sender && Sender == FSD)
        ApplySkinData();
    ChangeSkinDataWalk(Sender, FForm);
    CallOld(M);
}

void TbsSkinForm::WMAfterChangeSkinData(TMessage& M) {
    auto* Sender = reinterpret_cast<TbsSkinData*>(M.WParam);
    if (Sender && Sender == FSD && IsMDIForm())
        UpdateMDIChildren();
    if (OnAfterChangeSkinData)
        OnAfterChangeSkinData(this);
    CallOld(M);
}

// ---------------------------------------------------------------------------------------------
// MDI

void TbsSkinForm::WMMDIChildMove(TMessage& M) {
    if (IsMaximizedMDIChild()) {
        TRect A = GetMDIClientArea();
        FForm->SetBounds(0, 0, A.Right - A.Left, A.Bottom - A.Top);
    }
    CallOld(M);
}

void TbsSkinForm::WMMDIChildMax(TMessage& M) {
    FMDIChildMaximized = true;
    SendNCPaint();
    if (FMainMenuBar)
        FMainMenuBar->MDIChildMaximized();
    CallOld(M);
}

void TbsSkinForm::WMMDIChildRestore(TMessage& M) {
    FMDIChildMaximized = FindMaximizedMDIChild() != nullptr;
    SendNCPaint();
    if (FMainMenuBar)
        FMainMenuBar->MDIChildRestored();
    CallOld(M);
}

// ---------------------------------------------------------------------------------------------
// The rest of the protocol

void TbsSkinForm::WMChangeResStrData(TMessage& M) {
    SetDefaultObjectHints();
    CallOld(M);
}

void TbsSkinForm::WMChangeFormSkinnable(TMessage& M) {
    auto* Sender = reinterpret_cast<TbsSkinData*>(M.WParam);
    if (!FUseRibbon && Sender && Sender == FSD && !IsMDIChild())
        SetSkinnableForm(FSD->SkinnableForm());
    CallOld(M);
}

namespace {

// The first visible stay-on-top form of the screen, which must stay above a main form the tray icon brought back.
TCustomForm* FindStayOnTopForm() {
    for (int I = 0; Screen && I < Screen->FormCount(); ++I) {
        TCustomForm* F = Screen->Forms(I);
        if (F->Visible() && F->FormStyle() == fsStayOnTop)
            return F;
    }
    return nullptr;
}

} // namespace

void TbsSkinForm::WMTrayShowMainForm(TMessage& M) {
    if (FForm->Tag() == -10000) {
        // The layer strips come back with the form: bring it forward, then any stay-on-top form above it again.
        if (UseLayeredBorder()) {
            SetForegroundWindow(FForm->Handle());
            if (TCustomForm* OnTop = FindStayOnTopForm(); OnTop && OnTop->HandleAllocated())
                SetForegroundWindow(OnTop->Handle());
        }
        FForm->SetTag(0);
    }
    CallOld(M);
}

void TbsSkinForm::WMQueryNativeFrame(TMessage& M) {
    M.Result = (!FSkinnableForm && FIsVistaOs) ? NativeFrameAnswer : SkinnedFrameAnswer;
}

void TbsSkinForm::WMEffectStart(TMessage& M) {
    FSmartEffectsShow = true;
    CallOld(M);
}

// Paints the frame into someone else's device context (0xB1C9, and 0xBC4B with its cookie).
void TbsSkinForm::WMPaintFrameToDC(TMessage& M) {
    bool Cookie = M.Msg == WM_PAINTBGORFRAMETODC;
    if (!FSkinnableForm || (Cookie && M.LParam != PaintToDCCookie)) {
        CallOld(M);
        return;
    }
    HDC DC = reinterpret_cast<HDC>(M.WParam);
    bool Painted = false;
    if (DC && HasBorder() && !IsMaximizedMDIChild()) {
        if (FSkinSupport)
            PaintNCSkin(DC, true);
        else
            PaintNCDefault(DC, true);
        Painted = true;
    }
    if (Cookie)
        M.Result = PaintToDCCookie;
    else if (Painted)
        M.Result = PaintedToDCAnswer;
}

// ---------------------------------------------------------------------------------------------
// Second dispatch: the non-client mouse goes to the frame objects.

void TbsSkinForm::AfterOldWindowProc(TMessage& M) {
    switch (M.Msg) {
    case WM_SHOWWINDOW:
        if (M.WParam)
            ShowBorderAfterShow();
        else if (FBorderLayer->Visible())
            FBorderLayer->Hide();
        return;
    case WM_LBUTTONUP:
        ObjectMouseUp(-1, -1, mbLeft);
        return;
    case WM_RBUTTONUP:
        ObjectMouseUp(-1, -1, mbRight);
        return;
    }
    if (!FSkinnableForm)
        return;
    bool OnCaption = M.WParam == WPARAM(HTCAPTION);
    TPoint P;
    switch (M.Msg) {
    case WM_NCMOUSEMOVE:
        P = ScreenToWindowPoint(M.LParam);
        ObjectMouseMove(P.X, P.Y);
        break;
    case WM_NCLBUTTONDOWN:
        if (FSizeMove) {
            FSizeMove = false;
            break;
        }
        P = ScreenToWindowPoint(M.LParam);
        UpdateActiveObject(P.X, P.Y, true);
        ObjectMouseDown(P.X, P.Y, mbLeft);
        if (OnCaption)
            MouseCaptureObject = -1;
        break;
    case WM_NCLBUTTONUP:
        P = ScreenToWindowPoint(M.LParam);
        ObjectMouseUp(P.X, P.Y, mbLeft);
        break;
    case WM_NCLBUTTONDBLCLK:
        P = ScreenToWindowPoint(M.LParam);
        UpdateActiveObject(P.X, P.Y, true);
        ObjectMouseDown(P.X, P.Y, mbLeft);
        ObjectDblClick();
        if (OnCaption)
            CaptionDblClick();
        break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        P = ScreenToWindowPoint(M.LParam);
        UpdateActiveObject(P.X, P.Y, true);
        ObjectMouseDown(P.X, P.Y, mbRight);
        if (OnCaption) {
            MouseCaptureObject = -1;
            if (M.Msg == WM_NCRBUTTONDOWN && !FDisableSystemMenu)
                PopupSystemMenu(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
        }
        break;
    case WM_NCRBUTTONUP:
        P = ScreenToWindowPoint(M.LParam);
        ObjectMouseUp(P.X, P.Y, mbRight);
        break;
    }
}
