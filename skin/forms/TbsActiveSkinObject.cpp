#include "skin/forms/TbsActiveSkinObject.h"

#include <algorithm>
#include <memory>

#include "skin/core/TbsEffectBmp.h"
#include "skin/core/TbsLayerManager.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

TBitmap* ActivePictureAt(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

// An image that lies in the active picture counts as empty when the object has none.
TRect InActive(TBitmap* ActivePicture, const TRect& R) {
    return ActivePicture ? R : TRect{};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsActiveSkinObject

TbsActiveSkinObject::TbsActiveSkinObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : Parent(AParent), SD(AParent->SkinData()) {
    if (!AData)
        return;
    IDName = AData->IDName;
    Hint = AData->Hint;
    SkinRectInAPicture = AData->SkinRectInAPicture;
    SkinRect = AData->SkinRect;
    ActiveSkinRect = AData->ActiveSkinRect;
    InActiveSkinRect = AData->InActiveSkinRect;
    Morphing = AData->Morphing;
    MorphKind = AData->MorphKind;
    GlowLayerPictureIndex = AData->GlowLayerPictureIndex;
    GlowLayerMaskPictureIndex = AData->GlowLayerMaskPictureIndex;
    GlowLayerOffsetX = AData->GlowLayerOffsetX;
    GlowLayerOffsetY = AData->GlowLayerOffsetY;
    GlowLayerAlphaBlendValue = AData->GlowLayerAlphaBlendValue;
    ActivePicture = ActivePictureAt(SD, AData->ActivePictureIndex);
    if (!ActivePicture)
        ActiveSkinRect = TRect{};
    ActiveMaskPicture = ActivePictureAt(SD, AData->ActiveMaskPictureIndex);
    InActiveSkinRect = InActive(ActivePicture, InActiveSkinRect);
    if (IsNullRect(ActiveSkinRect))
        Morphing = false;
    ObjectRect = SkinRect;
    if (SD)
        Picture = SD->FPicture.get();
}

bool TbsActiveSkinObject::SkinEmpty() const {
    return !SD || SD->Empty;
}

bool TbsActiveSkinObject::FormActive() {
    return Parent->GetFormActive();
}

bool TbsActiveSkinObject::PointInMask(int X, int Y) {
    if (SkinEmpty() || !ActiveMaskPicture)
        return true;
    if (X < 0 || Y < 0 || X >= ActiveMaskPicture->Width() || Y >= ActiveMaskPicture->Height())
        return false;
    return (ColorToRGB(ActiveMaskPicture->Canvas()->Pixels(X, Y)) & 0xFFFFFF) == 0;
}

bool TbsActiveSkinObject::EnableMorphing() {
    return Morphing && SD && !SD->Empty && SD->EnableSkinEffects();
}

bool TbsActiveSkinObject::CanMorphing() {
    return (Active && FMorphKf < 1) || (!Active && FMorphKf > 0);
}

void TbsActiveSkinObject::SetMorphKf(double Value) {
    FMorphKf = Value < 0 ? 0 : Value > 1 ? 1 : Value;
}

void TbsActiveSkinObject::DoMorphing() {
    SetMorphKf(Active ? FMorphKf + 0.2 : FMorphKf - 0.2);
    Parent->DrawSkinObject(this);
}

void TbsActiveSkinObject::ReDraw() {
    if (EnableMorphing())
        Parent->MorphTimer->SetEnabled(true);
    else
        Parent->DrawSkinObject(this);
}

bool TbsActiveSkinObject::MorphInProgress() {
    return EnableMorphing() && !(Active && FMorphKf == 1) && !(!Active && FMorphKf == 0);
}

void TbsActiveSkinObject::CopyPicture(TCanvas* Cnvs, TBitmap* APicture, const TRect& R) {
    if (!APicture || IsNullRect(R))
        return;
    Cnvs->CopyRect(ObjectRect, APicture->Canvas(), R);
}

void TbsActiveSkinObject::DrawMorph(TCanvas* Cnvs, TBitmap* NormalPicture, const TRect& NormalRect,
                                    const TRect& ActiveRect) {
    int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0 || !NormalPicture || !ActivePicture)
        return;
    TBitmap Normal, Hot;
    for (TBitmap* B : {&Normal, &Hot}) {
        B->SetPixelFormat(pf24bit);
        B->SetSize(W, H);
    }
    Normal.Canvas()->CopyRect(Rect(0, 0, W, H), NormalPicture->Canvas(), NormalRect);
    Hot.Canvas()->CopyRect(Rect(0, 0, W, H), ActivePicture->Canvas(), ActiveRect);
    std::unique_ptr<TbsEffectBmp> E1(TbsEffectBmp::CreateFromhWnd(Normal.Handle()));
    std::unique_ptr<TbsEffectBmp> E2(TbsEffectBmp::CreateFromhWnd(Hot.Handle()));
    E1->MorphByKind(MorphKind, *E2, FMorphKf);
    E1->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
}

void TbsActiveSkinObject::Draw(TCanvas* Cnvs, bool UpDate) {
    if (SkinEmpty())
        return;
    if (Enabled && !FormActive() && !IsNullRect(InActiveSkinRect)) {
        CopyPicture(Cnvs, ActivePicture, InActiveSkinRect);
        return;
    }
    TBitmap* Normal = SkinRectInAPicture ? ActivePicture : Picture;
    if (MorphInProgress()) {
        DrawMorph(Cnvs, Normal, SkinRect, ActiveSkinRect);
        return;
    }
    if (Active && !IsNullRect(ActiveSkinRect))
        CopyPicture(Cnvs, ActivePicture, ActiveSkinRect);
    else if (UpDate || SkinRectInAPicture)
        CopyPicture(Cnvs, Normal, SkinRect);
}

// ---- glow

void TbsActiveSkinObject::ShowLayerIn(TbsLayerManager* Manager) {
    if (!Manager || SkinEmpty() || GlowLayerPictureIndex == -1 || !IsWindows2000OrLater() ||
        !SD->ShowCaptionButtonGlowFrames())
        return;
    // The glow needs both its image and its mask among the skin's pictures.
    TBitmap* Image = ActivePictureAt(SD, GlowLayerPictureIndex);
    TBitmap* Mask = ActivePictureAt(SD, GlowLayerMaskPictureIndex);
    if (!Image || !Mask)
        return;
    TPoint O = Parent->WindowToScreenOffset();
    Manager->Show(ObjectRect.Left + O.X - GlowLayerOffsetX, ObjectRect.Top + O.Y - GlowLayerOffsetY, Image, Mask,
                  GlowLayerAlphaBlendValue);
}

void TbsActiveSkinObject::HideLayerIn(TbsLayerManager* Manager) {
    if (!Manager || SkinEmpty() || GlowLayerPictureIndex == -1 || !IsWindows2000OrLater() ||
        !SD->ShowCaptionButtonGlowFrames())
        return;
    Manager->Hide();
}

void TbsActiveSkinObject::ShowLayer() {
    ShowLayerIn(Parent->FLayerManager.get());
}

void TbsActiveSkinObject::HideLayer() {
    HideLayerIn(Parent->FLayerManager.get());
}

bool TbsActiveSkinObject::CommandStateHolds(TbsStdCommand Command) const {
    switch (Command) {
    case cmMaximize:
        return Parent->WindowState() == wsMaximized;
    case cmMinimize:
        return Parent->WindowState() == wsMinimized;
    case cmRollUp:
        return Parent->RollUpState();
    default:
        return false;
    }
}

String TbsActiveSkinObject::CommandHint(TbsStdCommand Command, const String& ARestoreHint,
                                        const String& ATempHint) const {
    bool Restore = !ARestoreHint.empty() && ((Parent->RollUpState() && Command == cmRollUp) ||
                                             (Parent->WindowState() == wsMinimized && Command == cmMinimize) ||
                                             (Parent->WindowState() == wsMaximized && Command == cmMaximize));
    return Restore ? ARestoreHint : ATempHint;
}

// ---- mouse

void TbsActiveSkinObject::MouseEnter() {
    FMouseIn = true;
    Active = true;
    if (!IsNullRect(ActiveSkinRect))
        ReDraw();
    if (Parent->OnMouseEnterEvent)
        Parent->OnMouseEnterEvent(IDName);
    ShowLayer();
}

void TbsActiveSkinObject::MouseLeave() {
    FMouseIn = false;
    Active = false;
    if (!IsNullRect(ActiveSkinRect))
        ReDraw();
    if (Parent->OnMouseLeaveEvent)
        Parent->OnMouseLeaveEvent(IDName);
    HideLayer();
}

void TbsActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button) {
    if (Parent->OnMouseDownEvent)
        Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TbsActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button) {
    if (FMouseIn && Parent->OnMouseUpEvent)
        Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TbsActiveSkinObject::MouseMove(int X, int Y) {
    if (Parent->OnMouseMoveEvent)
        Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TbsUserObject::Draw(TCanvas* Cnvs, bool UpDate) {
    if (Parent->OnPaintEvent)
        Parent->OnPaintEvent(IDName, Cnvs, ObjectRect);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinButtonObject

TbsSkinButtonObject::TbsSkinButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
    if (auto* B = dynamic_cast<TbsDataSkinButton*>(AData)) {
        DownRect = InActive(ActivePicture, B->DownRect);
        DisableSkinRect = InActive(ActivePicture, B->DisableSkinRect);
    }
}

bool TbsSkinButtonObject::CanMorphing() {
    if (MenuItem && FDown)
        return false;
    return TbsActiveSkinObject::CanMorphing();
}

void TbsSkinButtonObject::SetDown(bool Value) {
    FDown = Value;
    if (EnableMorphing() && Active)
        SetMorphKf(1);
    Parent->DrawSkinObject(this);
    if (EnableMorphing() && !Value)
        ReDraw();
}

void TbsSkinButtonObject::Draw(TCanvas* Cnvs, bool UpDate) {
    if (SkinEmpty())
        return;
    if (!Enabled && !IsNullRect(DisableSkinRect))
        CopyPicture(Cnvs, ActivePicture, DisableSkinRect);
    else if (FDown && !IsNullRect(DownRect) && FMouseIn)
        CopyPicture(Cnvs, ActivePicture, DownRect);
    else
        TbsActiveSkinObject::Draw(Cnvs, UpDate);
}

void TbsSkinButtonObject::MouseDown(int X, int Y, TMouseButton Button) {
    if (!Enabled)
        return;
    if (Button == mbLeft && !FDown) {
        SetDown(true);
        TrackMenu();
    }
    TbsActiveSkinObject::MouseDown(X, Y, Button);
}

void TbsSkinButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
    if (!Enabled)
        return;
    if (Button == mbLeft && !MenuItem && FDown)
        SetDown(false);
    TbsActiveSkinObject::MouseUp(X, Y, Button);
}

void TbsSkinButtonObject::MouseEnter() {
    FMouseIn = true;
    Active = true;
    if (IsNullRect(DownRect) || !FDown) {
        if (!IsNullRect(ActiveSkinRect))
            ReDraw();
        if (MenuItem)
            ShowLayer();
    } else {
        if (EnableMorphing())
            SetMorphKf(1);
        Parent->DrawSkinObject(this);
    }
    if (Parent->OnMouseEnterEvent)
        Parent->OnMouseEnterEvent(IDName);
    if (!MenuItem)
        ShowLayer();
}

void TbsSkinButtonObject::MouseLeave() {
    FMouseIn = false;
    Active = false;
    if (!(MenuItem && FDown)) {
        if (MenuItem)
            HideLayer();
        Parent->DrawSkinObject(this);
        ReDraw();
    }
    if (Parent->OnMouseLeaveEvent)
        Parent->OnMouseLeaveEvent(IDName);
    if (!MenuItem)
        HideLayer();
}

// A button that owns a menu glows in the menu's layer window, so that the glow stays while the menu is open.
void TbsSkinButtonObject::ShowLayer() {
    ShowLayerIn(MenuItem ? Parent->FMenuLayerManager.get() : Parent->FLayerManager.get());
}

void TbsSkinButtonObject::HideLayer() {
    HideLayerIn(MenuItem ? Parent->FMenuLayerManager.get() : Parent->FLayerManager.get());
}

namespace {

// Opens a frame object's menu against its place on the screen: through the popup menu that holds the items,
// or through the form's menu stack.
void OpenObjectMenu(TbsSkinForm* Form, TbsActiveSkinObject* O, TMenuItem* Item, bool PopupUp, bool MouseIn) {
    if (Form->FLayerManager->IsVisible)
        Form->FLayerManager->Hide();
    if (Form->FMenuLayerManager->IsVisible)
        Form->FMenuLayerManager->Hide();
    if (MouseIn)
        O->ShowLayer();
    TRect R = O->ObjectRect;
    TPoint Off = Form->WindowToScreenOffset();
    OffsetRect(R, Off.X, Off.Y);
    if (auto* P = dynamic_cast<TbsSkinPopupMenu*>(Item->GetParentMenu()); P && P->Items() == Item) {
        P->PopupFromRect(R, PopupUp);
        return;
    }
    Form->SkinMenuOpen();
    Form->SkinMenu()->Popup(nullptr, Form->MenusSkinData() ? Form->MenusSkinData() : Form->SkinData(), 0, R, Item,
                            PopupUp);
}

} // namespace

void TbsSkinButtonObject::TrackMenu() {
    if (!MenuItem || MenuItem->Count() == 0)
        return;
    OpenObjectMenu(Parent, this, MenuItem, FPopupUp, FMouseIn);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinStdButtonObject

TbsSkinStdButtonObject::TbsSkinStdButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsSkinButtonObject(AParent, AData) {
    auto* B = dynamic_cast<TbsDataSkinStdButton*>(AData);
    if (!B)
        return;
    Command = B->Command;
    RestoreRect = InActive(ActivePicture, B->RestoreRect);
    RestoreActiveRect = InActive(ActivePicture, B->RestoreActiveRect);
    RestoreInActiveRect = InActive(ActivePicture, B->RestoreInActiveRect);
    RestoreDownRect = InActive(ActivePicture, B->RestoreDownRect);
    RestoreHint = B->RestoreHint;
    FTempHint = B->Hint;
    FSkinSupport = true;
}

bool TbsSkinStdButtonObject::IconButton() const {
    return Command == cmSysMenu && Parent->ShowIcon() && FSkinSupport && SkinRectInAPicture;
}

void TbsSkinStdButtonObject::ShowLayer() {
    if (!IconButton())
        TbsSkinButtonObject::ShowLayer();
}

void TbsSkinStdButtonObject::HideLayer() {
    if (!IconButton())
        TbsSkinButtonObject::HideLayer();
}

bool TbsSkinStdButtonObject::PointInMask(int X, int Y) {
    return IconButton() || TbsSkinButtonObject::PointInMask(X, Y);
}

bool TbsSkinStdButtonObject::CanMorphing() {
    if (Command == cmSysMenu && Parent->ShowIcon() && SkinRectInAPicture)
        return false;
    return TbsSkinButtonObject::CanMorphing();
}

void TbsSkinStdButtonObject::Draw(TCanvas* Cnvs, bool UpDate) {
    if (!FSkinSupport) {
        DefaultDraw(Cnvs);
        return;
    }
    if (SkinEmpty())
        return;
    if (IconButton()) {
        Parent->DrawFormIcon(Cnvs, ObjectRect.Left, ObjectRect.Top);
        SetMorphKf(0);
        return;
    }
    if (!Enabled || IsNullRect(RestoreRect) || !CommandStateHolds(Command)) {
        TbsSkinButtonObject::Draw(Cnvs, UpDate);
        return;
    }
    if (!Parent->FFormActive && !IsNullRect(RestoreInActiveRect))
        CopyPicture(Cnvs, ActivePicture, RestoreInActiveRect);
    else if (FDown && !IsNullRect(RestoreDownRect) && FMouseIn)
        CopyPicture(Cnvs, ActivePicture, RestoreDownRect);
    else if (MorphInProgress())
        DrawMorph(Cnvs, ActivePicture, RestoreRect, RestoreActiveRect);
    else if (Active && !IsNullRect(RestoreActiveRect))
        CopyPicture(Cnvs, ActivePicture, RestoreActiveRect);
    else
        CopyPicture(Cnvs, ActivePicture, RestoreRect);
}

void TbsSkinStdButtonObject::DefaultDraw(TCanvas* Cnvs) {
    if (Command == cmSysMenu && Parent->ShowIcon()) {
        Parent->DrawFormIcon(Cnvs, ObjectRect.Left, ObjectRect.Top);
        return;
    }
    int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B;
    B.SetSize(W, H);
    TCanvas* C = B.Canvas();
    bool Pressed = FDown && FMouseIn;
    if (FMouseIn) {
        C->Brush()->SetColor(TColor(0x800000));
        C->FillRect(Rect(0, 0, W, H));
        C->Brush()->SetColor(TColor(Pressed ? 0xB59385 : 0xD2BDB6));
        C->FillRect(Rect(1, 1, W - 1, H - 1));
    } else {
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(Rect(0, 0, W, H));
    }
    int X = W / 2 - 5 + (Pressed ? 1 : 0);
    int Y = H / 2 - 4 + (Pressed ? 1 : 0);
    TColor Color = Enabled ? clBtnText : clBtnShadow;
    switch (Command) {
    case cmClose:
        DrawCloseImage(C, X, Y, Color);
        break;
    case cmMaximize:
        if (Parent->WindowState() == wsMaximized)
            DrawRestoreImage(C, X, Y, Color);
        else
            DrawMaximizeImage(C, X, Y, Color);
        break;
    case cmMinimize:
        if (Parent->WindowState() == wsMinimized)
            DrawRestoreImage(C, X, Y, Color);
        else
            DrawMinimizeImage(C, X, Y, Color);
        break;
    case cmSysMenu:
        DrawSysMenuImage(C, X, Y, Color);
        break;
    case cmRollUp:
        if (Parent->RollUpState())
            DrawRollDownImage(C, X, Y, Color);
        else
            DrawRollUpImage(C, X, Y, Color);
        break;
    case cmMinimizeToTray:
        DrawMinimizeToTrayImage(C, X, Y, Color);
        break;
    case cmDefault:
        break;
    }
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinStdButtonObject::MouseEnter() {
    if (Command != cmDefault)
        Hint = CommandHint(Command, RestoreHint, FTempHint);
    TbsSkinButtonObject::MouseEnter();
}

void TbsSkinStdButtonObject::MouseDown(int X, int Y, TMouseButton Button) {
    // No OnMouseDownEvent for caption buttons.
    if (Button != mbLeft || !Enabled || FDown)
        return;
    SetDown(true);
    if (Command == cmSysMenu) {
        MenuItem = Parent->GetSystemMenuItems();
        TrackMenu();
    }
}

void TbsSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
    // Active: the pointer is still over the button, so a release elsewhere cancels the command.
    bool Act = Active && Button == mbLeft;
    if (Command == cmClose) {
        TbsSkinButtonObject::MouseUp(X, Y, Button);
        if (Act)
            DoCommand();
    } else {
        if (Act)
            DoCommand();
        TbsSkinButtonObject::MouseUp(X, Y, Button);
    }
}

void TbsSkinStdButtonObject::DblClick() {
    if (Command == cmSysMenu)
        Parent->Form()->Close();
}

namespace {

// The caption-button commands that change the window; the hover is taken off first, except for roll-up.
void RunStateCommand(TbsSkinForm* Form, TbsStdCommand Command) {
    switch (Command) {
    case cmClose:
        Form->UpdateActiveObject(-1, -1, false);
        Form->Form()->Close();
        break;
    case cmMaximize:
        Form->UpdateActiveObject(-1, -1, false);
        Form->SetWindowState(Form->WindowState() == wsMaximized ? wsNormal : wsMaximized);
        break;
    case cmMinimize:
        Form->UpdateActiveObject(-1, -1, false);
        if (Form->AlwaysMinimizeToTray())
            Form->MinimizeToTray();
        else
            Form->SetWindowState(Form->WindowState() == wsMinimized ? wsNormal : wsMinimized);
        break;
    case cmRollUp:
        Form->SetRollUpState(!Form->RollUpState());
        break;
    case cmMinimizeToTray:
        Form->UpdateActiveObject(-1, -1, false);
        Form->MinimizeToTray();
        break;
    default:
        break;
    }
}

} // namespace

void TbsSkinStdButtonObject::DoCommand() {
    RunStateCommand(Parent, Command);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinAnimateObject

TbsSkinAnimateObject::TbsSkinAnimateObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
    auto* A = dynamic_cast<TbsDataSkinAnimate*>(AData);
    if (!A)
        return;
    CountFrames = A->CountFrames;
    Cycle = A->Cycle;
    ButtonStyle = A->ButtonStyle;
    TimerInterval = std::max(25, A->TimerInterval);
    Command = A->Command;
    DownSkinRect = InActive(ActivePicture, A->DownSkinRect);
    RestoreRect = InActive(ActivePicture, A->RestoreRect);
    RestoreActiveRect = InActive(ActivePicture, A->RestoreActiveRect);
    RestoreDownRect = InActive(ActivePicture, A->RestoreDownRect);
    RestoreInActiveRect = InActive(ActivePicture, A->RestoreInActiveRect);
    RestoreHint = A->RestoreHint;
    FTempHint = A->Hint;
}

bool TbsSkinAnimateObject::UseRestore() const {
    return CommandStateHolds(Command) && !IsNullRect(RestoreRect);
}

// Frame N of the strip: frames side by side from the hover image's corner, each of the normal image's size.
TRect TbsSkinAnimateObject::FrameRect(int N) const {
    const TRect& Normal = UseRestore() ? RestoreRect : SkinRect;
    const TRect& A = UseRestore() ? RestoreActiveRect : ActiveSkinRect;
    if (!ActivePicture)
        return TRect{};
    int W = GetRectWidth(Normal), H = GetRectHeight(Normal);
    return TRect{A.Left + (N - 1) * W, A.Top, A.Left + N * W, A.Top + H};
}

void TbsSkinAnimateObject::ShowLayer() {
    ShowLayerIn(MenuItem ? Parent->FMenuLayerManager.get() : Parent->FLayerManager.get());
}

void TbsSkinAnimateObject::HideLayer() {
    HideLayerIn(MenuItem ? Parent->FMenuLayerManager.get() : Parent->FLayerManager.get());
}

void TbsSkinAnimateObject::SetFrame(int Value) {
    if (Increment && Value > CountFrames)
        Value = 1;
    else if (!Increment && Value < 1)
        Value = CountFrames;
    FFrame = Value;
    Parent->DrawSkinObject(this);
}

void TbsSkinAnimateObject::ChangeFrame() {
    if (FInc < TimerInterval) {
        FInc += 25;
        return;
    }
    if (Increment) {
        SetFrame(FFrame + 1);
        if (!Cycle && FFrame == CountFrames)
            Active = false;
    } else {
        SetFrame(FFrame - 1);
        if (FFrame == 1)
            Active = false;
    }
    FInc = 25;
}

void TbsSkinAnimateObject::Start() {
    FInc = 25;
    FFrame = 1;
    Active = true;
    if (!Parent->AnimateTimer->Enabled())
        Parent->AnimateTimer->SetEnabled(true);
}

void TbsSkinAnimateObject::Stop() {
    SetFrame(1);
    Active = false;
    FInc = 25;
}

void TbsSkinAnimateObject::Draw(TCanvas* Cnvs, bool UpDate) {
    if (SkinEmpty())
        return;
    bool R = UseRestore();
    const TRect& Down = R ? RestoreDownRect : DownSkinRect;
    const TRect& InAct = R ? RestoreInActiveRect : InActiveSkinRect;
    if (FMenuTracking) {
        if (!IsNullRect(Down)) {
            CopyPicture(Cnvs, ActivePicture, Down);
            return;
        }
        FFrame = CountFrames;
        CopyPicture(Cnvs, ActivePicture, FrameRect(FFrame));
        return;
    }
    if (!FormActive() && !IsNullRect(InAct))
        CopyPicture(Cnvs, ActivePicture, InAct);
    else if (FDown && FMouseIn && !IsNullRect(Down))
        CopyPicture(Cnvs, ActivePicture, Down);
    else
        CopyPicture(Cnvs, ActivePicture, FrameRect(FFrame));
}

void TbsSkinAnimateObject::MouseEnter() {
    if (Command != cmDefault)
        Hint = CommandHint(Command, RestoreHint, FTempHint);
    FMouseIn = true;
    if (FMenuTracking)
        return;
    if (ButtonStyle) {
        Active = true;
        Increment = true;
        if (FDown && !IsNullRect(DownSkinRect))
            Parent->DrawSkinObject(this);
        else
            Parent->AnimateTimer->SetEnabled(true);
    }
    if (Parent->OnMouseEnterEvent)
        Parent->OnMouseEnterEvent(IDName);
    ShowLayer();
}

void TbsSkinAnimateObject::MouseLeave() {
    if (!FMouseIn)
        return;
    FMouseIn = false;
    if (FMenuTracking)
        return;
    if (ButtonStyle) {
        // Still running, backward, to frame 1.
        Active = true;
        Increment = false;
        if (FDown && !IsNullRect(DownSkinRect))
            Parent->DrawSkinObject(this);
        else
            Parent->AnimateTimer->SetEnabled(true);
    }
    if (Parent->OnMouseLeaveEvent)
        Parent->OnMouseLeaveEvent(IDName);
    HideLayer();
}

void TbsSkinAnimateObject::MouseDown(int X, int Y, TMouseButton Button) {
    TbsActiveSkinObject::MouseDown(X, Y, Button);
    if (Button == mbLeft && !IsNullRect(DownSkinRect)) {
        FFrame = CountFrames;
        FDown = true;
        Parent->DrawSkinObject(this);
    }
    // The system menu opens on the press.
    if (Command == cmSysMenu && ButtonStyle && FMouseIn && Button == mbLeft)
        DoCommand();
}

void TbsSkinAnimateObject::MouseUp(int X, int Y, TMouseButton Button) {
    TbsActiveSkinObject::MouseUp(X, Y, Button);
    if (FMenuTracking)
        return;
    if (Button == mbLeft && !IsNullRect(DownSkinRect)) {
        FDown = false;
        Parent->DrawSkinObject(this);
        Parent->AnimateTimer->SetEnabled(true);
    }
    if (Command != cmSysMenu && ButtonStyle && FMouseIn && Button == mbLeft)
        DoCommand();
}

void TbsSkinAnimateObject::DblClick() {
    if (Command == cmSysMenu)
        Parent->Form()->Close();
}

void TbsSkinAnimateObject::DoCommand() {
    switch (Command) {
    case cmSysMenu:
        MenuItem = Parent->GetSystemMenuItems();
        TrackMenu();
        break;
    case cmDefault:
        if (MenuItem)
            TrackMenu();
        break;
    default:
        RunStateCommand(Parent, Command);
        break;
    }
}

void TbsSkinAnimateObject::TrackMenu() {
    if (!MenuItem || MenuItem->Count() == 0)
        return;
    FMenuTracking = true;
    OpenObjectMenu(Parent, this, MenuItem, FPopupUp, FMouseIn);
}
