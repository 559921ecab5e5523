// The form component's translucency, its fade-in on showing, the drop shadow, the inactive-client panel and the
// decision when the skin's layered border windows are used.
#include <algorithm>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "skin/forms/TbsSkinForm.h"

namespace {

constexpr UINT_PTR FadeTimer = 1;
constexpr int TrayShownMark = -10000;

} // namespace

// Constant opacity needs the window manager's entry: a layered window without it would show nothing.
bool TbsSkinForm::LayeredAlphaAvailable() const {
    return FIsLayerEnabled && UserEntries().SetLayeredWindowAttributes != nullptr;
}

bool TbsSkinForm::SkinAnimatesAll() const {
    return FSD && FSD->AnimationForAllWindows();
}

bool TbsSkinForm::FormVisible() const {
    return FForm->Visible() || FForm->Tag() == TrayShownMark;
}

bool TbsSkinForm::FormLayered() const {
    return FForm->HandleAllocated() && (GetWindowLongW(FForm->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

void TbsSkinForm::SetFormLayered(bool Value) {
    FLayeredForHide = false;
    HWND H = FForm->Handle();
    LONG Ex = GetWindowLongW(H, GWL_EXSTYLE);
    if (Value && !(Ex & WS_EX_LAYERED))
        SetWindowLongW(H, GWL_EXSTYLE, Ex | LONG(WS_EX_LAYERED));
    else if (!Value && (Ex & WS_EX_LAYERED))
        SetWindowLongW(H, GWL_EXSTYLE, Ex & ~LONG(WS_EX_LAYERED));
}

void TbsSkinForm::SetAlphaBlend(bool Value) {
    if (FAlphaBlend == Value)
        return;
    FAlphaBlend = Value;
    if (Loading() || Designing() || !LayeredAlphaAvailable())
        return;
    SetFormLayered(Value);
    if (Value)
        SetLayeredWindowAlpha(FForm->Handle(), FAlphaBlendValue);
}

void TbsSkinForm::SetAlphaBlendValue(Byte Value) {
    if (FAlphaBlendValue == Value)
        return;
    FAlphaBlendValue = Value;
    if (FAlphaBlend && !Loading() && !Designing() && LayeredAlphaAvailable())
        SetLayeredWindowAlpha(FForm->Handle(), Value);
}

bool TbsSkinForm::UseLayeredBorder() {
    return FSD && !FSD->Empty && FSD->ShowLayeredBorders() && FSD->LayerFrame->PictureIndex != -1 && FIsLayerEnabled &&
           UserEntries().UpdateLayeredWindow != nullptr && FSkinnableForm && !AlwaysDisableLayeredFrames &&
           !PreviewMode && HasBorder() && !IsMDIChild() && !FSmartEffectsShow;
}

bool TbsSkinForm::NeedsLayeredFadeIn() {
    return FIsVistaOs && UseLayeredBorder() && !FAlphaBlend && !FAlphaBlendAnimation && !SkinAnimatesAll();
}

// ---------------------------------------------------------------------------------------------
// Showing and hiding

// Before the form shows: transparent and layered from the start, timer 1 brings the opacity up.
void TbsSkinForm::PrepareFadeIn() {
    if (FSkinnableForm && SkinAnimatesAll() && FAlphaBlendValue == 0)
        FAlphaBlendValue = 255;
    bool Fade = LayeredAlphaAvailable() &&
                (FAlphaBlend || FAlphaBlendAnimation || SkinAnimatesAll() || (FSkinnableForm && NeedsLayeredFadeIn()));
    if (!Fade) {
        // Made layered while it was hidden, and nothing gives it an opacity now: it would not show at all.
        if (FLayeredForHide)
            SetFormLayered(false);
        return;
    }
    HWND H = FForm->Handle();
    SetFormLayered(true);
    SetLayeredWindowAlpha(H, 0);
    if (FSkinnableForm && UseLayeredBorder() && FormVisible()) {
        FBorderLayer->CheckFormAlpha(0, false);
        FBorderLayer->ShowWithForm();
    }
    SetTimer(H, FadeTimer, 1, nullptr);
}

// After the form showed without a fade: its border comes once the queue has run.
void TbsSkinForm::ShowBorderAfterShow() {
    if (!FIsLayerEnabled || FAlphaBlend || FAlphaBlendAnimation || NeedsLayeredFadeIn() || SkinAnimatesAll() ||
        !FormVisible() || !UseLayeredBorder())
        return;
    std::weak_ptr<char> Alive = FAlive;
    if (Application)
        Application->ProcessMessages();
    // Closed or freed meanwhile: nothing more is shown.
    if (Alive.expired() || !FormVisible() || !UseLayeredBorder())
        return;
    FBorderLayer->FActive = true;
    FBorderLayer->ShowWithForm();
}

void TbsSkinForm::HideBeforeHide() {
    HideLayers();
    // The form leaves at once, without the system's own closing effect.
    if (FIsVistaOs && FBorderLayer->Visible() && FForm->HandleAllocated() && !FormLayered()) {
        SetFormLayered(true);
        FLayeredForHide = true;
    }
}

// Timer 1: the form goes from transparent to its opacity (in steps of a fifteenth, more than 5 ms apart, when it
// fades), then opaque and no longer layered when that opacity is full.
void TbsSkinForm::FadeIn() {
    KillTimer(FForm->Handle(), FadeTimer);
    if (NeedsLayeredFadeIn()) {
        SetFormLayered(false);
        if (UseLayeredBorder() && FormVisible()) {
            FBorderLayer->FActive = FForm->Active();
            FBorderLayer->CheckFormAlpha(255, true);
        }
        return;
    }
    const bool Animate = FAlphaBlendAnimation || SkinAnimatesAll();
    if (!LayeredAlphaAvailable() || !(FAlphaBlend || Animate)) {
        // Nothing asks for translucency any more since the show: the form is not left transparent.
        if (FormLayered())
            SetFormLayered(false);
        return;
    }
    bool Border = UseLayeredBorder();
    if (Border)
        FBorderLayer->FActive = FForm->Active();
    const int Target = Animate && !FAlphaBlend ? 255 : FAlphaBlendValue;
    if (Animate) {
        std::weak_ptr<char> Alive = FAlive;
        if (Application)
            Application->ProcessMessages();
        // Closed or freed meanwhile: nothing goes on fading.
        if (Alive.expired() || !FForm->HandleAllocated() || !FormVisible())
            return;
        Border = UseLayeredBorder();
        HWND H = FForm->Handle();
        const int Step = std::max(1, Target / 15);
        int A = 0;
        DWORD Last = GetTickCount();
        while (A < Target) {
            DWORD Now = GetTickCount();
            if (Now - Last > 5) {
                Last = Now;
                A = std::min(A + Step, Target);
                SetLayeredWindowAlpha(H, BYTE(A));
                if (Border)
                    FBorderLayer->CheckFormAlpha(A, true);
            }
        }
    } else if (Target != 255) {
        SetLayeredWindowAlpha(FForm->Handle(), FAlphaBlendValue);
        if (Border)
            FBorderLayer->CheckFormAlpha(FAlphaBlendValue, true);
    }
    if (Target == 255) {
        SetFormLayered(false);
        if (Border)
            FBorderLayer->CheckFormAlpha(255, true);
    }
}

void TbsSkinForm::WMTimer(TMessage& M) {
    std::weak_ptr<char> Alive = FAlive;
    if (M.WParam == FadeTimer)
        FadeIn();
    if (Alive.expired())
        return;
    CallOld(M);
}

// An outside effect ended: the border comes back with its own fade.
void TbsSkinForm::WMEffectEnd(TMessage& M) {
    FSmartEffectsShow = false;
    std::weak_ptr<char> Alive = FAlive;
    if (FormVisible() && UseLayeredBorder()) {
        if (Application)
            Application->ProcessMessages();
        if (Alive.expired())
            return;
        if (FormVisible() && UseLayeredBorder()) {
            FBorderLayer->FActive = true;
            FBorderLayer->ShowWithFormAnimation();
            if (Alive.expired())
                return;
        }
    }
    CallOld(M);
}

// The skin data's ShowLayeredBorders changed.
void TbsSkinForm::WMChangeLayeredBorder(TMessage& M) {
    if (UseLayeredBorder()) {
        if (FormVisible() && !FBorderLayer->Visible()) {
            FBorderLayer->FActive = FFormActive;
            FBorderLayer->ShowWithForm();
        }
    } else if (FBorderLayer->Visible()) {
        FBorderLayer->Hide();
    }
    CallOld(M);
}

// ---------------------------------------------------------------------------------------------
// Shadow and inactive-client panel

void TbsSkinForm::EnableShadow(bool AShowShadow, bool AHideFormBefore) {
    if (!FIsLayerEnabled || AShowShadow == FHaveShadow)
        return;
    FHaveShadow = AShowShadow;
    if (AHideFormBefore)
        FForm->Hide();
    HWND H = FForm->Handle();
    ULONG_PTR Style = GetClassLongPtrW(H, GCL_STYLE);
    Style = AShowShadow ? Style | CS_DROPSHADOW : Style & ~ULONG_PTR(CS_DROPSHADOW);
    SetClassLongPtrW(H, GCL_STYLE, LONG_PTR(Style));
    if (AHideFormBefore)
        FForm->Show();
}

void TbsSkinForm::ShowClientInActiveEffect() {
    HideClientInActiveEffect();
    FInActivePanel = new TbsClientInActivePanel(this);
    // While the panel takes its picture, even an MDI parent paints its client background.
    FClientInActiveDraw = true;
    FInActivePanel->ShowPanel(FForm, FClientInActiveEffectType);
    FClientInActiveDraw = false;
}

void TbsSkinForm::HideClientInActiveEffect() {
    if (!FInActivePanel)
        return;
    TbsClientInActivePanel* P = FInActivePanel;
    FInActivePanel = nullptr;
    P->HidePanel();
    delete P;
}
