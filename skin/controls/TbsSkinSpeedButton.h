// The skinned speed button: a windowless button for tool bars and panels. It never takes the focus; it can be
// flat or transparent, hide its caption and switch between two widths, toggle in groups, repeat while held,
// morph between its normal and hot faces and play a frame animation. On a skinned tool bar it shows the bar's
// images when it has no glyph of its own.
#pragma once

#include <memory>

#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/bsSkinCtrlsButtons.h"

class TbsSkinSpeedButton : public TbsGraphicSkinCustomControl, public TbsButtonRecordCopy, public TActionClient {
    QV_CLASS_NAME(TbsSkinSpeedButton)
public:
    explicit TbsSkinSpeedButton(TComponent* AOwner);
    ~TbsSkinSpeedButton() override;

    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
    TCustomImageList* ImageList() const { return FButtonImages; }
    void SetImageList(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool RepeatMode() const { return FRepeatMode; }
    void SetRepeatMode(bool Value) { FRepeatMode = Value; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
    bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
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
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    int WidthWithCaption() const { return FWidthWithCaption; }
    void SetWidthWithCaption(int Value) { FWidthWithCaption = Value; }
    int WidthWithoutCaption() const { return FWidthWithoutCaption; }
    void SetWidthWithoutCaption(int Value) { FWidthWithoutCaption = Value; }

    void RefreshButton();
    virtual void ButtonClick();
    void DrawMenuMarker(TCanvas* Canvas, const TRect& R, bool AActive, bool ADown, bool AFlat);

    double MorphKf() const { return FMorphKf; }
    bool MorphRunning() const { return MorphTimer.Running(); }
    bool RepeatRunning() const { return RepeatTimer.Running(); }
    bool MouseIn() const { return FMouseIn; }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void CalcSize(int& W, int& H) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Dispatch(TMessage& Message) override;

    TbsButtonPaintEvent OnPaint;

    int CurrentFrame = 0;
    bool AnimateInc = false;
    TbsCustomImagesMenu* FSkinImagesMenu = nullptr;
    bool FUseImagesMenuImage = false;
    bool FUseImagesMenuCaption = false;
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
    virtual void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown);

    void CMDialogChar(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);

    bool MorphApplies() const;
    bool EffectsOn() const;
    bool PressedLook() const { return FDown && (FGroupIndex != 0 || FMouseIn); }
    // The caption the faces show.
    String ShownCaption() const { return FShowCaption ? Caption() : String(); }
    // What a face shows; ToolBarHot picks the bar's hot images.
    TbsButtonContent Content(bool Pressed, bool ToolBarHot, int GlyphNum);
    void SetFaceFont(TCanvas* Canvas, bool AActive, bool ADown);
    // Caption and image straight onto the control's canvas (the transparent idle look).
    void PaintContentOnly(const TRect& R);
    void StartMorph();
    void StopMorph() { MorphTimer.Stop(); }
    void StartAnimate(bool Forward);
    void StopAnimate();

    bool FMouseIn = false;
    bool FMouseDown = false;
    bool FDown = false;

private:
    void MorphTick();
    void AnimateTick();
    void StartRepeat();
    void StopRepeat() { RepeatTimer.Stop(); }
    bool AnimationApplies() const;

    TbsControlTimer AnimateTimer{this};
    bool FUseSkinSize = true;
    bool FUseSkinFontColor = true;
    TCustomImageList* FButtonImages = nullptr;
    int FImageIndex = 0;
    TbsControlTimer RepeatTimer{this};
    bool FRepeatMode = false;
    int FRepeatInterval = 100;
    bool FFlat = false;
    bool FAllowAllUp = false;
    bool FAllowAllUpCheck = false;
    int FGroupIndex = 0;
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    int FNumGlyphs = 1;
    int FMargin = -1;
    int FSpacing = 1;
    TbsButtonLayout FLayout = blGlyphLeft;
    TbsControlTimer MorphTimer{this};
    double FMorphKf = 0;
    bool FShowCaption = true;
    int FWidthWithCaption = 0;
    int FWidthWithoutCaption = 0;
};
