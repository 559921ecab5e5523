// Actions: a command object whose OnExecute several controls share, with the state they show (caption,
// enabled, checked, image). A control takes an action through a link; the link tells the control when the
// action's state changed (ActionChange) and runs the action for it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/gdi/ImgList.h"

class TBasicAction;
class TControl;

// Whether two handlers run the same code: the same callable type and, for plain functions, the same
// function. The data a handler carries (the object it was made for) does not count.
bool SameEventCode(const TNotifyEvent& A, const TNotifyEvent& B);

class TBasicActionLink : public TObject {
public:
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action; false without one or when nothing handled it.
    virtual bool Execute();
    virtual bool Update();

protected:
    friend class TBasicAction;
    // The action's state changed.
    virtual void Change() {}

private:
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
    QV_CLASS_NAME(TBasicAction)
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // OnExecute with the action as Sender; false when it is not set.
    virtual bool Execute();
    // OnUpdate with the action as Sender; false when it is not set.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    friend class TBasicActionLink;
    // Tells every link that the state changed.
    void Change();

private:
    std::vector<TBasicActionLink*> FClients;
};

class TCustomActionList : public TComponent {
    QV_CLASS_NAME(TCustomActionList)
public:
    using TComponent::TComponent;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
};

class TCustomAction : public TBasicAction {
    QV_CLASS_NAME(TCustomAction)
public:
    using TBasicAction::TBasicAction;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    // The images of the action's list, or null.
    TCustomImageList* Images() const { return FActionList ? FActionList->Images() : nullptr; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    String FCaption;
    String FHint;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    int FImageIndex = -1;
    TCustomActionList* FActionList = nullptr;
};

class TAction : public TCustomAction {
    QV_CLASS_NAME(TAction)
public:
    using TCustomAction::TCustomAction;
};

// A control that takes an action. The control's ActionChange copies the action's state; at assignment
// (CheckDefaults) it keeps what the control already has: a caption, an OnClick.
class TActionClient {
public:
    explicit TActionClient(TControl* AControl);
    virtual ~TActionClient();

    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TBasicActionLink* ActionLink() const { return FActionLink.get(); }

    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

private:
    TControl* FControl;
    std::unique_ptr<TBasicActionLink> FActionLink;
};

// The link between a control and its action: state changes reach the control's ActionChange.
class TControlActionLink : public TBasicActionLink {
public:
    explicit TControlActionLink(TActionClient* AClient) : FClient(AClient) {}

protected:
    void Change() override { FClient->ActionChange(Action(), false); }

private:
    TActionClient* FClient;
};
