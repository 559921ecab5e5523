#include "platform/ui/ActnList.h"

#include <algorithm>

#include "platform/ui/Controls.h"

bool SameEventCode(const TNotifyEvent& A, const TNotifyEvent& B) {
    if (!A || !B)
        return !A && !B;
    if (A.target_type() != B.target_type())
        return false;
    using TPlain = void (*)(TObject*);
    if (const TPlain* PA = A.target<TPlain>())
        return *PA == *B.target<TPlain>();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::~TBasicActionLink() {
    SetAction(nullptr);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction)
        return;
    if (FAction)
        std::erase(FAction->FClients, this);
    FAction = Value;
    if (FAction)
        FAction->FClients.push_back(this);
}

bool TBasicActionLink::Execute() {
    return FAction && FAction->Execute();
}

bool TBasicActionLink::Update() {
    return FAction && FAction->Update();
}

// ---------------------------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    // The links stay with their controls; they only forget the action.
    while (!FClients.empty())
        FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::Change() {
    // A client may drop its link while it hears of the change.
    std::vector<TBasicActionLink*> Clients = FClients;
    for (TBasicActionLink* L : Clients)
        if (std::find(FClients.begin(), FClients.end(), L) != FClients.end())
            L->Change();
}

// ---------------------------------------------------------------------------------------------
// TCustomActionList, TCustomAction

void TCustomActionList::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TCustomAction::SetCaption(const String& Value) {
    if (Value != FCaption) {
        FCaption = Value;
        Change();
    }
}

void TCustomAction::SetHint(const String& Value) {
    if (Value != FHint) {
        FHint = Value;
        Change();
    }
}

void TCustomAction::SetChecked(bool Value) {
    if (Value != FChecked) {
        FChecked = Value;
        Change();
    }
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        Change();
    }
}

void TCustomAction::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        Change();
    }
}

void TCustomAction::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Change();
    }
}

void TCustomAction::SetActionList(TCustomActionList* Value) {
    FActionList = Value;
    if (Value)
        Value->FreeNotification(this);
    Change();
}

void TCustomAction::Notification(TComponent* AComponent, TOperation Operation) {
    TBasicAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionList)
        FActionList = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TActionClient

TActionClient::TActionClient(TControl* AControl) : FControl(AControl) {}

TActionClient::~TActionClient() = default;

TBasicAction* TActionClient::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TActionClient::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TControlActionLink>(this);
    FActionLink->SetAction(Value);
    ActionChange(Value, true);
}

void TActionClient::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A)
        return;
    if (!CheckDefaults || FControl->Caption().empty())
        FControl->SetCaption(A->Caption());
    if (!CheckDefaults || FControl->Enabled())
        FControl->SetEnabled(A->Enabled());
    if (!CheckDefaults || FControl->Hint().empty())
        FControl->SetHint(A->Hint());
    if (!CheckDefaults || FControl->Visible())
        FControl->SetVisible(A->Visible());
    if (!CheckDefaults || !FControl->OnClick)
        FControl->OnClick = A->OnExecute;
}
