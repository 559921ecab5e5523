#include "skin/dialogs/TbsSkinDialogComponent.h"

TbsSkinDialogComponent::TbsSkinDialogComponent(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
    InitDialogFont(FDefaultFont.get());
}

TbsSkinDialogComponent::~TbsSkinDialogComponent() = default;

void TbsSkinDialogComponent::InitDialogFont(TFont* F) {
    F->SetName(u"Arial");
    F->SetHeight(14);
    F->SetStyle({});
}

void TbsSkinDialogComponent::Follow(TbsSkinData*& Field, TbsSkinData* Value) {
    TbsSkinData* Old = Field;
    Field = Value;
    // The frame and the controls often share one skin data: keep hearing of it while either field holds it.
    if (Old && Old != FSD && Old != FCtrlFSD)
        Old->RemoveFreeNotification(this);
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinDialogComponent::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FCtrlFSD)
        FCtrlFSD = nullptr;
}
