// The form component's frame objects: building the list, which caption buttons show, their hints and places,
// the hover, the mouse routing and the three timers.
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsSkinCaptionObject.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/bsSkinHint.h"

namespace {

struct TCommandHint {
    TbsStdCommand Command;
    const char16_t* Key;
    const char16_t* Text;
};

constexpr TCommandHint CommandHints[] = {
    {cmClose, u"CLOSEBUTTON_HINT", u"Close"},     {cmMaximize, u"MAXBUTTON_HINT", u"Maximize"},
    {cmMinimize, u"MINBUTTON_HINT", u"Minimize"}, {cmSysMenu, u"MENUBUTTON_HINT", u"System menu"},
    {cmRollUp, u"ROLLUPBUTTON_HINT", u"Roll Up"}, {cmMinimizeToTray, u"TRAYBUTTON_HINT", u"Minimize to Tray"},
};

// The order in which the caption buttons are placed from the row's end.
constexpr TbsStdCommand RowCommands[] = {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray};

String ResText(TbsSkinData* SD, const char16_t* Key, const char16_t* Text) {
    if (SD && SD->ResourceStrData())
        return SD->ResourceStrData()->GetResStr(Key);
    return Text;
}

TbsSkinStdButtonObject* AsStdButton(TbsActiveSkinObject* O) {
    return dynamic_cast<TbsSkinStdButtonObject*>(O);
}

TbsSkinAnimateObject* AsAnimate(TbsActiveSkinObject* O) {
    return dynamic_cast<TbsSkinAnimateObject*>(O);
}

TbsSkinCaptionObject* AsCaption(TbsActiveSkinObject* O) {
    return dynamic_cast<TbsSkinCaptionObject*>(O);
}

// The caption buttons: std buttons and animated buttons carry a command.
bool IsCommandButton(TbsActiveSkinObject* O) {
    return AsStdButton(O) || AsAnimate(O);
}

TbsStdCommand CommandOf(TbsActiveSkinObject* O) {
    if (auto* B = AsStdButton(O))
        return B->Command;
    if (auto* A = AsAnimate(O))
        return A->Command;
    return cmDefault;
}

bool PtIn(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The list

void TbsSkinForm::ClearObjects() {
    ObjectList.clear();
    OldActiveObject = ActiveObject = MouseCaptureObject = -1;
}

void TbsSkinForm::CreateSkinObjects() {
    ClearObjects();
    if (!FSD)
        return;
    for (auto& R : FSD->ObjectList) {
        TbsDataSkinObject* D = R.get();
        if (dynamic_cast<TbsDataSkinMainMenuItem*>(D) || dynamic_cast<TbsDataSkinMenuItem*>(D) ||
            dynamic_cast<TbsDataSkinMainMenuBarButton*>(D))
            continue;
        if (dynamic_cast<TbsDataSkinStdButton*>(D))
            ObjectList.push_back(std::make_unique<TbsSkinStdButtonObject>(this, D));
        else if (dynamic_cast<TbsDataSkinButton*>(D))
            ObjectList.push_back(std::make_unique<TbsSkinButtonObject>(this, D));
        else if (dynamic_cast<TbsDataSkinCaption*>(D))
            ObjectList.push_back(std::make_unique<TbsSkinCaptionObject>(this, D));
        else if (dynamic_cast<TbsDataSkinAnimate*>(D))
            ObjectList.push_back(std::make_unique<TbsSkinAnimateObject>(this, D));
        else if (dynamic_cast<TbsDataUserObject*>(D))
            ObjectList.push_back(std::make_unique<TbsUserObject>(this, D));
    }
}

void TbsSkinForm::CreateDefaultObjects() {
    ClearObjects();
    const std::pair<TbsStdCommand, const char16_t*> Buttons[] = {
        {cmClose, u"closebutton"},   {cmMaximize, u"maxbutton"},    {cmMinimize, u"minbutton"},
        {cmRollUp, u"rollupbutton"}, {cmSysMenu, u"sysmenubutton"}, {cmMinimizeToTray, u"traybutton"}};
    for (const auto& [Command, Name] : Buttons) {
        auto B = std::make_unique<TbsSkinStdButtonObject>(this, nullptr);
        B->SkinRectInAPicture = true;
        B->SkinRect = B->ActiveSkinRect = B->DownRect = Rect(0, 0, 1, 1);
        B->Command = Command;
        B->IDName = Name;
        ObjectList.push_back(std::move(B));
    }
    UpdateCaptionButtons();
}

void TbsSkinForm::UpdateCaptionButtons() {
    if (ObjectList.empty())
        return;
    for (auto& O : ObjectList) {
        TbsActiveSkinObject* B = O.get();
        if (!IsCommandButton(B))
            continue;
        if (FHideCaptionButtons) {
            B->Enabled = false;
            B->Visible = !B->SkinRectInAPicture;
            continue;
        }
        if (auto* A = AsAnimate(B); A && !A->ButtonStyle)
            continue;
        switch (CommandOf(B)) {
        case cmMaximize:
            B->Enabled = FBorderIcons.Contains(TbsBorderIcon::biMaximize);
            break;
        case cmMinimize:
            B->Enabled = FBorderIcons.Contains(TbsBorderIcon::biMinimize);
            break;
        case cmSysMenu:
            B->Enabled = FBorderIcons.Contains(TbsBorderIcon::biSystemMenu) && !FDisableSystemMenu;
            break;
        case cmRollUp:
            B->Enabled = FBorderIcons.Contains(TbsBorderIcon::biRollUp);
            break;
        case cmMinimizeToTray:
            B->Enabled = FBorderIcons.Contains(TbsBorderIcon::biMinimizeToTray);
            break;
        case cmDefault: {
            bool ObjectVisible = false;
            if (OnActivateCustomObject)
                OnActivateCustomObject(B->IDName, ObjectVisible);
            B->Visible = ObjectVisible;
            continue;
        }
        case cmClose:
            continue;
        }
        // A button at a fixed place of the frame picture stays, drawn disabled; a separate one leaves the row.
        B->Visible = B->Enabled || !B->SkinRectInAPicture;
    }
    SetDefaultObjectHints();
}

void TbsSkinForm::SetDefaultObjectHints() {
    if (!FUseDefaultObjectHint || !FSD)
        return;
    String Restore = ResText(FSD, u"RESTORE_HINT", u"Restore");
    for (auto& O : ObjectList) {
        TbsActiveSkinObject* B = O.get();
        if (!IsCommandButton(B))
            continue;
        for (const auto& H : CommandHints)
            if (H.Command == CommandOf(B))
                B->Hint = ResText(FSD, H.Key, H.Text);
        if (auto* S = AsStdButton(B)) {
            S->FTempHint = B->Hint;
            S->RestoreHint = Restore;
        } else if (auto* A = AsAnimate(B)) {
            A->FTempHint = B->Hint;
            A->RestoreHint = Restore;
        }
    }
}

int TbsSkinForm::GetIndex(const String& AIDName) const {
    for (std::size_t I = 0; I < ObjectList.size(); ++I)
        if (ObjectList[I]->IDName == AIDName)
            return int(I);
    return -1;
}

void TbsSkinForm::SetEnabled(const String& AIDName, bool Value) {
    if (int I = GetIndex(AIDName); I >= 0)
        ObjectList[std::size_t(I)]->Enabled = Value;
}

void TbsSkinForm::UserObjectDraw(const String& AIDName) {
    int I = GetIndex(AIDName);
    if (I < 0)
        return;
    if (auto* U = dynamic_cast<TbsUserObject*>(ObjectList[std::size_t(I)].get()))
        U->Draw(FForm->Canvas(), true);
}

void TbsSkinForm::LinkMenu(const String& AIDName, TMenu* AMenu, bool APopupUp) {
    int I = GetIndex(AIDName);
    if (I < 0 || !AMenu)
        return;
    if (auto* B = dynamic_cast<TbsSkinButtonObject*>(ObjectList[std::size_t(I)].get())) {
        B->MenuItem = AMenu->Items();
        B->FPopupUp = APopupUp;
    }
}

void TbsSkinForm::DrawSkinObject(TbsActiveSkinObject* AObject) {
    if (IsMaximizedMDIChild() || !HasBorder() || !FForm->HandleAllocated())
        return;
    HWND Wnd = FForm->Handle();
    HDC DC = GetWindowDC(Wnd);
    TCanvas C;
    C.SetHandle(DC);
    AObject->Draw(&C, true);
    C.SetHandle(nullptr);
    ReleaseDC(Wnd, DC);
}

// ---------------------------------------------------------------------------------------------
// Places

TPoint TbsSkinForm::WindowToScreenOffset() {
    if (IsMDIChild()) {
        TPoint P = FSkinSupport ? TPoint{-NewClRect.Left, -NewClRect.Top} : TPoint{-3, -GetDefCaptionHeight() - 3};
        return FForm->ClientToScreen(P);
    }
    return TPoint{FForm->Left(), FForm->Top()};
}

TRect TbsSkinForm::MapSkinRect(const TRect& R) {
    int PW = FSD->FPicture->Width(), PH = FSD->FPicture->Height();
    TRect LT{0, 0, FSD->LTPoint.X, FSD->LTPoint.Y};
    TRect RT{FSD->RTPoint.X, 0, PW, FSD->RTPoint.Y};
    TRect LB{0, FSD->LBPoint.Y, FSD->LBPoint.X, PH};
    TRect RB{FSD->RBPoint.X, FSD->RBPoint.Y, PW, PH};
    int DX = NewRBPoint.X - FSD->RBPoint.X, DY = NewRBPoint.Y - FSD->RBPoint.Y;
    auto Moved = [&R](int X, int Y) { return TRect{R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y}; };
    if (RectInRect(R, LT))
        return R;
    if (RectInRect(R, RT))
        return Moved(DX, 0);
    if (RectInRect(R, LB))
        return Moved(0, DY);
    if (RectInRect(R, RB))
        return Moved(DX, DY);
    auto In = [](int X, int Y, const TRect& Z) { return PtIn(Z, X, Y); };
    bool TLinLT = In(R.Left, R.Top, LT), TLinLB = In(R.Left, R.Top, LB), TLinRT = In(R.Left, R.Top, RT);
    bool BRinRB = In(R.Right, R.Bottom, RB), BRinRT = In(R.Right, R.Bottom, RT), BRinLB = In(R.Right, R.Bottom, LB);
    TRect N = R;
    if (TLinLT && BRinRB) {
        N.Right += DX;
        N.Bottom += DY;
    } else if (TLinLT && BRinRT) {
        N.Right += DX;
    } else if (TLinLB && BRinRB) {
        N = Moved(0, DY);
        N.Right += DX;
    } else if (TLinLT && BRinLB) {
        N.Bottom += DY;
    } else if (TLinRT && BRinRB) {
        N = Moved(DX, 0);
        N.Bottom += DY;
    }
    return N;
}

void TbsSkinForm::CalcObjectRects() {
    if (!SkinApplied())
        return;
    for (auto& O : ObjectList)
        if (!O->SkinRectInAPicture)
            O->ObjectRect = MapSkinRect(O->SkinRect);
    if (!IsNullRect(NewButtonsRect))
        PlaceButtonRow(NewButtonsRect, false);
    else if (!IsNullRect(NewCaptionRect))
        PlaceButtonRow(NewCaptionRect, true);
}

// The caption buttons of the separate pictures side by side from the row's end, the system-menu button at the
// caption's start; the caption object ends before the one and starts after the other.
void TbsSkinForm::PlaceButtonRow(const TRect& Row, bool RowIsCaption) {
    auto Placeable = [](TbsActiveSkinObject* O, TbsStdCommand Command) {
        return IsCommandButton(O) && O->Visible && O->SkinRectInAPicture && CommandOf(O) == Command;
    };
    std::vector<TbsActiveSkinObject*> Order;
    for (TbsStdCommand Command : RowCommands)
        for (auto& O : ObjectList)
            if (Placeable(O.get(), Command)) {
                Order.push_back(O.get());
                break;
            }
    for (auto& O : ObjectList)
        if (Placeable(O.get(), cmDefault))
            Order.push_back(O.get());
    TbsActiveSkinObject* SysMenu = nullptr;
    TbsSkinCaptionObject* Caption = nullptr;
    for (auto& O : ObjectList) {
        if (!SysMenu && Placeable(O.get(), cmSysMenu))
            SysMenu = O.get();
        if (!Caption)
            Caption = AsCaption(O.get());
    }
    auto SysMenuSize = [this](TbsActiveSkinObject* O, int& W, int& H) {
        W = GetRectWidth(O->SkinRect);
        H = GetRectHeight(O->SkinRect);
        if (FShowIcon && AsStdButton(O))
            GetSmallIconSize(W, H);
    };
    int Top = Row.Top;
    if (!NewButtonsInLeft) {
        int X = Row.Right;
        for (TbsActiveSkinObject* O : Order) {
            int W = GetRectWidth(O->SkinRect), H = GetRectHeight(O->SkinRect);
            O->ObjectRect = TRect{X - W, Top, X, Top + H};
            X -= W + NewButtonsOffset;
        }
        if (RowIsCaption && Caption)
            Caption->ObjectRect.Right = X + NewButtonsOffset;
        if (SysMenu) {
            int W, H;
            SysMenuSize(SysMenu, W, H);
            int SX = NewCaptionRect.Left;
            int CY = NewCaptionRect.Top + GetRectHeight(NewCaptionRect) / 2 - H / 2;
            SysMenu->ObjectRect = TRect{SX, CY, SX + W, CY + H};
            SX += W + NewButtonsOffset;
            if (Caption)
                Caption->ObjectRect.Left = SX - NewButtonsOffset;
        }
    } else {
        int X = Row.Left;
        for (TbsActiveSkinObject* O : Order) {
            int W = GetRectWidth(O->SkinRect), H = GetRectHeight(O->SkinRect);
            O->ObjectRect = TRect{X, Top, X + W, Top + H};
            X += W + NewButtonsOffset;
        }
        if (RowIsCaption) {
            if (SysMenu) {
                int W = GetRectWidth(SysMenu->SkinRect), H = GetRectHeight(SysMenu->SkinRect);
                SysMenu->ObjectRect = TRect{X, Top, X + W, Top + H};
                X += W + NewButtonsOffset;
            }
            if (Caption)
                Caption->ObjectRect.Left = X + NewButtonsOffset;
        }
    }
}

void TbsSkinForm::CalcDefRects() {
    if (ObjectList.empty())
        return;
    int S = GetDefButtonSize(), C = GetDefCaptionHeight();
    if (FFormWidth == 0)
        FFormWidth = FForm->Width();
    int X = FFormWidth - 3;
    NewDefCaptionRect = TRect{3, 3, X, C};
    auto StdButton = [this](TbsStdCommand Command) -> TbsSkinStdButtonObject* {
        for (auto& O : ObjectList)
            if (auto* B = AsStdButton(O.get()); B && B->Visible && B->SkinRectInAPicture && B->Command == Command)
                return B;
        return nullptr;
    };
    for (TbsStdCommand Command : RowCommands)
        if (auto* B = StdButton(Command)) {
            B->ObjectRect = TRect{X - S, 4, X, 4 + S};
            X -= S;
        }
    NewDefCaptionRect.Right = X;
    X = NewDefCaptionRect.Left;
    if (auto* B = StdButton(cmSysMenu)) {
        int W = S, H = S;
        if (FShowIcon)
            GetSmallIconSize(W, H);
        B->ObjectRect = TRect{X, 4, X + W, 4 + H};
        NewDefCaptionRect.Left = X + W;
    }
}

// ---------------------------------------------------------------------------------------------
// Hover and mouse routing

void TbsSkinForm::UpdateActiveObject(int X, int Y, bool InFrame) {
    if (ObjectList.empty() || !GetFormActive() || FSizeMove || FBorderLayerChangeSize || PreviewMode ||
        IsMaximizedMDIChild() || !HasBorder())
        return;
    OldActiveObject = ActiveObject;
    int Found = -1;
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        TbsActiveSkinObject* O = ObjectList[I].get();
        if (O->Enabled && O->Visible && PtIn(O->ObjectRect, X, Y) &&
            O->PointInMask(X - O->ObjectRect.Left, Y - O->ObjectRect.Top)) {
            Found = int(I);
            break;
        }
    }
    ActiveObject = InFrame ? Found : -1;
    if (MouseCaptureObject != -1 && MouseCaptureObject != Found)
        ActiveObject = -1;
    int Count = int(ObjectList.size());
    if (OldActiveObject >= Count)
        OldActiveObject = -1;
    if (ActiveObject >= Count)
        ActiveObject = -1;
    if (OldActiveObject == ActiveObject)
        return;
    bool Hints = FShowObjectHint && FSkinHint;
    if (OldActiveObject != -1) {
        TbsActiveSkinObject* O = ObjectList[std::size_t(OldActiveObject)].get();
        if (O->Enabled && O->Visible) {
            O->MouseLeave();
            if (Hints && !O->Hint.empty())
                FSkinHint->HideHint();
        }
    }
    if (ActiveObject != -1) {
        TbsActiveSkinObject* O = ObjectList[std::size_t(ActiveObject)].get();
        if (O->Enabled && O->Visible) {
            // MouseEnter picks the button's hint for the window's state.
            O->MouseEnter();
            if (Hints && !O->Hint.empty())
                FSkinHint->ActivateHint2(O->Hint);
        }
    }
}

void TbsSkinForm::ObjectMouseMove(int X, int Y) {
    int I = MouseCaptureObject != -1 ? MouseCaptureObject : ActiveObject;
    if (I >= 0 && I < int(ObjectList.size()))
        ObjectList[std::size_t(I)]->MouseMove(X, Y);
}

void TbsSkinForm::ObjectMouseDown(int X, int Y, TMouseButton Button) {
    if (ActiveObject < 0 || ActiveObject >= int(ObjectList.size()))
        return;
    // The caption leaves the mouse to the move loop.
    if (!AsCaption(ObjectList[std::size_t(ActiveObject)].get()) && FForm->HandleAllocated())
        SetCapture(FForm->Handle());
    MouseCaptureObject = ActiveObject;
    ObjectList[std::size_t(ActiveObject)]->MouseDown(X, Y, Button);
}

void TbsSkinForm::ObjectMouseUp(int X, int Y, TMouseButton Button) {
    if (MouseCaptureObject < 0 || MouseCaptureObject >= int(ObjectList.size()))
        return;
    TbsActiveSkinObject* O = ObjectList[std::size_t(MouseCaptureObject)].get();
    if (!AsCaption(O) && FForm->HandleAllocated() && GetCapture() == FForm->Handle())
        ReleaseCapture();
    MouseCaptureObject = -1;
    O->MouseUp(X, Y, Button);
}

void TbsSkinForm::ObjectDblClick() {
    if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size()))
        ObjectList[std::size_t(ActiveObject)]->DblClick();
}

void TbsSkinForm::ResetObjectStates() {
    for (auto& O : ObjectList) {
        if (auto* A = AsAnimate(O.get())) {
            A->FMouseIn = false;
            A->Active = false;
            A->FFrame = 1;
        } else if (!AsCaption(O.get())) {
            O->Active = false;
            O->FMouseIn = false;
            O->FMorphKf = 0;
        }
    }
}

void TbsSkinForm::UpdateCaptionActive(bool AAnimate) {
    bool A = GetFormActive();
    for (auto& O : ObjectList) {
        auto* C = AsCaption(O.get());
        if (!C || C->Active == A)
            continue;
        C->Active = A;
        if (AAnimate) {
            if (C->EnableAnimation()) {
                C->FIncTime = 25;
                C->CurrentFrame = A ? 1 : C->InActiveAnimation ? C->FrameCount : 0;
                AnimateTimer->SetEnabled(true);
            }
            SendNCPaint();
            if (C->EnableMorphing())
                MorphTimer->SetEnabled(true);
        } else if (C->EnableMorphing()) {
            C->SetMorphKf(A ? 1 : 0);
        }
        break;
    }
    if (A && OnActivate)
        OnActivate(this);
    else if (!A && OnDeActivate)
        OnDeActivate(this);
}

// ---------------------------------------------------------------------------------------------
// Timers

void TbsSkinForm::MouseTimerTick(TObject*) {
    if (!GetFormActive())
        return;
    POINT C;
    GetCursorPos(&C);
    HWND Under = WindowFromPoint(C);
    if (!FForm->HandleAllocated() || Under != FForm->Handle()) {
        MouseTimer->SetEnabled(false);
        UpdateActiveObject(-1, -1, false);
        return;
    }
    if (FSizeMove || FBorderLayerChangeSize) {
        MouseTimer->SetEnabled(false);
        return;
    }
    TPoint P = ScreenToWindowPoint(MAKELPARAM(C.X, C.Y));
    if (!PtIn(NewClRect, P.X, P.Y))
        UpdateActiveObject(P.X, P.Y, true);
    else if (ActiveObject != -1)
        UpdateActiveObject(-1, -1, true);
}

void TbsSkinForm::MorphTimerTick(TObject*) {
    bool Any = false;
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        TbsActiveSkinObject* O = ObjectList[I].get();
        if (O->EnableMorphing() && O->CanMorphing()) {
            O->DoMorphing();
            Any = true;
        }
    }
    if (!Any)
        MorphTimer->SetEnabled(false);
}

void TbsSkinForm::AnimateTimerTick(TObject*) {
    bool Changed = false;
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        TbsActiveSkinObject* O = ObjectList[I].get();
        if (auto* A = AsAnimate(O)) {
            if (A->Active && (!A->FDown || IsNullRect(A->DownSkinRect))) {
                A->ChangeFrame();
                Changed = true;
            }
        } else if (auto* C = AsCaption(O); C && C->EnableAnimation()) {
            if (C->FIncTime < C->AnimateInterval) {
                C->FIncTime += 25;
                Changed = true;
            } else if (C->Active && C->CurrentFrame <= C->FrameCount) {
                ++C->CurrentFrame;
                DrawSkinObject(C);
                C->FIncTime = 25;
                Changed = true;
            } else if (!C->Active && C->CurrentFrame > 0) {
                --C->CurrentFrame;
                DrawSkinObject(C);
                C->FIncTime = 25;
                Changed = true;
            }
        }
    }
    if (!Changed)
        AnimateTimer->SetEnabled(false);
}
