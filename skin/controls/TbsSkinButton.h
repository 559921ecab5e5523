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

// Called before a button's content is drawn; DoDefault false skips image and caption.
using TbsButtonPaintEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, bool& DoDefault, bool Active, bool Down, const TRect& Rect)>;

class TbsSkinButton : public TbsSkinCustomControl, public TbsButtonRecordCopy, public TActionClient {
    QV_CLASS_NAME(TbsSkinButton)
public:
    explicit TbsSkinButton(TComponent* AOwner);
    ~TbsSkinButton() override;

    bool AlwaysShowLayeredFrame() const { return FAlwaysShowGlowFrame; }
    void SetAlwaysShowLayeredFrame(bool Value) { FAlwaysShowGlowFrame = Value; }
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
    bool SpaceSupport() const { return FSpaceSupport; }
    void SetSpaceSupport(bool Value) { FSpaceSupport = Value; }
    bool RepeatMode() const { return FRepeatMode; }
    void SetRepeatMode(bool Value) { FRepeatMode = Value; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TbsButtonLayout Layout() const { return FLayout; }
    void SetLayout(TbsButtonLayout Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TbsCustomImagesMenu* SkinImagesMenu() const { return FSkinImagesMenu; }
    void SetSkinImagesMenu(TbsCustomImagesMenu* Value);
    bool UseImagesMenuImage() const { return FUseImagesMenuImage; }
    void SetUseImagesMenuImage(bool Value) { FUseImagesMenuImage = Value; }
    bool UseImagesMenuCaption() const { return FUseImagesMenuCaption; }
    void SetUseImagesMenuCaption(bool Value) { FUseImagesMenuCaption = Value; }

    // Back to the up, unhovered look.
    void RefreshButton();
    void ShowLayer();
    void HideLayer();
    virtual void ButtonClick();

    // The transition's factor (0 normal face, 1 hot face) and whether its timer, the frame animation or the
    // repeat runs.
    double MorphKf() const { return FMorphKf; }
    bool MorphRunning() const { return MorphTimer.Running(); }
    bool AnimationRunning() const { return AnimateTimer.Running(); }
    bool RepeatRunning() const { return RepeatTimer.Running(); }
    bool MouseIn() const { return FMouseIn; }
    bool Active() const { return FActive; }
    TbsLayerManager* LayerManager() const { return FLayerManager; }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void BeforeChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    TbsButtonPaintEvent OnPaint;

    int CurrentFrame = 0;
    bool AnimateInc = false;

protected:
    void CreateWnd() override;
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap*) override {}
    virtual void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown);

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

private:
    bool MorphApplies() const;
    bool EffectsOn() const;
    bool FocusHot();
    bool PressedLook();
    bool AnimationApplies() const;
    void StartMorph();
    void StopMorph() { MorphTimer.Stop(); }
    void MorphTick();
    void StartAnimate(bool Forward);
    void StopAnimate();
    void AnimateTick();
    void StartRepeat();
    void StopRepeat() { RepeatTimer.Stop(); }
    void RepeatTick();
    // Keys the button answers itself: false when the message goes on to the class library.
    bool ButtonKey(TMessage& Message);
    TbsButtonContent Content(bool Pressed, bool ImagePressed, int GlyphNum);
    void PostToSelf(UINT Msg);
    bool GlowApplies() const;

    bool FAlwaysShowGlowFrame = false;
    TbsLayerManager* FLayerManager = nullptr;
    TbsControlTimer AnimateTimer{this};
    TbsCustomImagesMenu* FSkinImagesMenu = nullptr;
    bool FUseImagesMenuImage = false;
    bool FUseImagesMenuCaption = false;
    bool FSpaceSupport = true;
    bool FUseSkinFontColor = true;
    bool FUseSkinSize = true;
    TbsControlTimer RepeatTimer{this};
    bool FRepeatMode = false;
    int FRepeatInterval = 100;
    bool FActive = false;
    bool FAllowAllUp = false;
    bool FAllowAllUpCheck = false;
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FClicksDisabled = false;
    bool FCanFocused = true;
    bool FDown = false;
    bool FMouseIn = false;
    bool FMouseDown = false;
    // Space went down on this button: only its release clicks.
    bool FSpaceDown = false;
    int FGroupIndex = 0;
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    int FNumGlyphs = 1;
    int FMargin = -1;
    int FSpacing = 1;
    TbsButtonLayout FLayout = blGlyphLeft;
    TbsControlTimer MorphTimer{this};
    double FMorphKf = 0;
    TCustomImageList* FImageList = nullptr;
    int FImageIndex = -1;
    bool FGlowShown = false;
};
