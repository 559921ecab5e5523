// The skinned speed button: a windowless button for tool bars and panels. It never takes the focus; it can be
// flat or transparent, hide its caption and switch between two widths, toggle in groups, repeat while held,
// morph between its normal and hot faces and play a frame animation. On a skinned tool bar it shows the bar's
// images when it has no glyph of its own.
#pragma once

#include <memory>

#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/bsSkinCtrlsButtons.h"

class TbsSkinSpeedButton : public TbsGraphicSkinCustomControl, public TbsButtonCommon, public TActionClient {
    QV_CLASS_NAME(TbsSkinSpeedButton)
public:
    explicit TbsSkinSpeedButton(TComponent* AOwner);
    ~TbsSkinSpeedButton() override;

    TCustomImageList* ImageList() const { return FButtonImages; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    int WidthWithCaption() const { return FWidthWithCaption; }
    void SetWidthWithCaption(int Value) { FWidthWithCaption = Value; }
    int WidthWithoutCaption() const { return FWidthWithoutCaption; }
    void SetWidthWithoutCaption(int Value) { FWidthWithoutCaption = Value; }

    void ButtonClick() override;
    void DrawMenuMarker(TCanvas* Canvas, const TRect& R, bool AActive, bool ADown, bool AFlat);

    void GetSkinData() override;
    void ChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Dispatch(TMessage& Message) override;

    bool FDrawColorMarker = false;
    TColor FColorMarkerValue = 0;

protected:
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap*) override {}
    void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) override;

    void CMDialogChar(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);

    bool EffectsOn() const override;
    bool SameKind(TbsButtonCommon* Other) const override { return dynamic_cast<TbsSkinSpeedButton*>(Other); }
    bool PressedLook() const { return FDown && (FGroupIndex != 0 || FMouseIn); }
    // The caption the faces show.
    String ShownCaption() const { return FShowCaption ? Caption() : String(); }
    // What a face shows; ToolBarHot picks the bar's hot images.
    TbsButtonContent Content(bool Pressed, bool ToolBarHot, int GlyphNum);
    void SetFaceFont(TCanvas* Canvas, bool AActive, bool ADown) const;
    // Caption and image straight onto the control's canvas (the transparent idle look).
    void PaintContentOnly(const TRect& R);
    bool MorphHot() override { return FMouseIn; }
    // A transparent button shows no transition.
    bool MorphAllowed() override { return MorphApplies() && FIndex != -1 && !Transparent(); }

private:
    bool AnimationApplies() const;

    TCustomImageList* FButtonImages = nullptr;
    int FImageIndex = 0;
    bool FFlat = false;
    bool FShowCaption = true;
    int FWidthWithCaption = 0;
    int FWidthWithoutCaption = 0;
};
