// The skinned push button: a focusable windowed button with toggle groups, press-and-hold repetition, the
// default and cancel roles, a modal result, an image from a list, a glyph strip or an images menu, a hover
// transition between its normal and hot faces, a frame animation and a glow frame around it on hover.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/bsSkinCtrlsButtons.h"

// Show and hide a push button's glow frame (posted to the button itself).
constexpr UINT WM_SHOWLAYER = 0x590;
constexpr UINT WM_HIDELAYER = 0x591;

class TbsSkinButton : public TbsSkinCustomControl, public TbsButtonCommon, public TActionClient {
    QV_CLASS_NAME(TbsSkinButton)
public:
    explicit TbsSkinButton(TComponent* AOwner);
    ~TbsSkinButton() override;

    bool AlwaysShowLayeredFrame() const { return FAlwaysShowGlowFrame; }
    void SetAlwaysShowLayeredFrame(bool Value) { FAlwaysShowGlowFrame = Value; }
    bool SpaceSupport() const { return FSpaceSupport; }
    void SetSpaceSupport(bool Value) { FSpaceSupport = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    void SetGroupIndex(int Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TbsCustomImagesMenu* SkinImagesMenu() const { return FSkinImagesMenu; }
    void SetSkinImagesMenu(TbsCustomImagesMenu* Value);

    void ShowLayer();
    void HideLayer();
    void ButtonClick() override;

    bool Active() const { return FActive; }
    TbsLayerManager* LayerManager() const { return FLayerManager; }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void BeforeChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap*) override {}
    void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) override;

    void WMEraseBkgnd(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);

protected:
    bool EffectsOn() const override;
    bool SameKind(TbsButtonCommon* Other) const override { return dynamic_cast<TbsSkinButton*>(Other); }
    bool MorphHot() override { return FMouseIn || FocusHot(); }
    bool MorphAllowed() override { return MorphApplies() && FIndex != -1; }

private:
    bool FocusHot();
    bool PressedLook();
    bool AnimationApplies() const;
    // Keys the button answers itself: false when the message goes on to the class library.
    bool ButtonKey(TMessage& Message);
    TbsButtonContent Content(bool Pressed, bool ImagePressed, int GlyphNum);
    void PostToSelf(UINT Msg);
    bool GlowApplies() const;

    bool FAlwaysShowGlowFrame = false;
    TbsLayerManager* FLayerManager = nullptr;
    bool FSpaceSupport = true;
    bool FActive = false;
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FClicksDisabled = false;
    bool FCanFocused = true;
    // Space went down on this button: only its release clicks.
    bool FSpaceDown = false;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = -1;
    bool FGlowShown = false;
};
