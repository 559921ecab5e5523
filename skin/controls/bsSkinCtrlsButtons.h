// What the push button and the speed buttons share: the copy of a button record, on-demand timers, the
// hover transition's step, the frame animation's faces and the content (image, glyph, caption) of a face.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/Graphics.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/bsSkinMenuServices.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsEffectBmp.h"
#include "skin/core/bsUtils.h"

// The fields a button copies from its record; the fall-backs live in the copies, never in the record.
class TbsButtonRecordCopy {
public:
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DownFontColor = 0;
    TColor DisabledFontColor = 0;
    TRect ActiveSkinRect, DownSkinRect, DisabledSkinRect, FocusedSkinRect;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 0;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    bool ShowFocus = false;
    TRect MenuMarkerFlatRect, MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect;
    TColor MenuMarkerTransparentColor = 0;
    int GlowLayerPictureIndex = -1;
    int GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetLeft = 0;
    int GlowLayerOffsetRight = 0;
    int GlowLayerOffsetTop = 0;
    int GlowLayerOffsetBottom = 0;
    int GlowLayerShowOffsetX = 0;
    int GlowLayerShowOffsetY = 0;
    int GlowLayerAlphaBlendValue = 0;

protected:
    void CopyButtonRecord(const TbsDataSkinButtonControl& R, const TRect& SkinRect);
};

// Called before a button's content is drawn; DoDefault false skips image and caption.
using TbsButtonPaintEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, bool& DoDefault, bool Active, bool Down, const TRect& Rect)>;

struct TbsButtonContent;

// A timer component of the control, made on first start; Stop only disables it, so a handler may stop the
// timer that called it.
class TbsControlTimer {
public:
    explicit TbsControlTimer(TComponent* AOwner) : FOwner(AOwner) {}
    void Start(Cardinal Interval, std::function<void()> OnTick);
    void SetInterval(Cardinal Interval);
    void Stop();
    bool Running() const { return FTimer && FTimer->Enabled(); }

private:
    TComponent* FOwner;
    TTimer* FTimer = nullptr;
    std::function<void()> FOnTick;
};

// What the push button and the speed button share beyond their record: the down, hover and press state, the
// glyph and its layout, the three timers and the rules of clicks, groups, repetition and frame animation.
class TbsButtonCommon : public TbsButtonRecordCopy {
public:
    explicit TbsButtonCommon(TControl* AControl);
    virtual ~TbsButtonCommon();

    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
    bool RepeatMode() const { return FRepeatMode; }
    void SetRepeatMode(bool Value) { FRepeatMode = Value; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
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
    bool UseImagesMenuImage() const { return FUseImagesMenuImage; }
    void SetUseImagesMenuImage(bool Value) { FUseImagesMenuImage = Value; }
    bool UseImagesMenuCaption() const { return FUseImagesMenuCaption; }
    void SetUseImagesMenuCaption(bool Value) { FUseImagesMenuCaption = Value; }

    virtual void ButtonClick() = 0;
    // Back to the up, unhovered look.
    void RefreshButton();

    // The transition's factor (0 normal face, 1 hot face), and whether a timer runs.
    double MorphKf() const { return FMorphKf; }
    bool MorphRunning() const { return MorphTimer.Running(); }
    bool AnimationRunning() const { return AnimateTimer.Running(); }
    bool RepeatRunning() const { return RepeatTimer.Running(); }
    bool MouseIn() const { return FMouseIn; }

    TbsButtonPaintEvent OnPaint;

    int CurrentFrame = 0;
    bool AnimateInc = false;
    TbsCustomImagesMenu* FSkinImagesMenu = nullptr;
    bool FUseImagesMenuImage = false;
    bool FUseImagesMenuCaption = false;

protected:
    virtual bool EffectsOn() const = 0;
    bool MorphApplies() const { return Morphing && EffectsOn(); }
    // Another button of the same kind, whose group a button going down raises.
    virtual bool SameKind(TbsButtonCommon* Other) const = 0;
    // A face of the button in its state into B, from the skin rectangle R.
    virtual void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) = 0;
    // The transition runs towards the hot face while this holds.
    virtual bool MorphHot() = 0;
    // The transition may run now (a record, effects on, a look that blends).
    virtual bool MorphAllowed() = 0;
    // Starts the transition's 20 ms steps, or repaints where none may run.
    void StartMorph();
    void StopMorph() { MorphTimer.Stop(); }
    // The normal face blended towards the hot one by the transition's factor, onto Canvas.
    void PaintMorph(TCanvas* Canvas, const TRect& NormalRect, const TRect& HotRect);
    // OnPaint first, then (unless it said no) the content in R with a clear brush.
    void PaintContent(TCanvas* Canvas, const TRect& PaintRect, bool AActive, bool ADown, const TRect& R,
                      const TbsButtonContent& Content);
    // The record's font (SkinFont) or the default font, in the state's colour.
    void SetFaceFont(TCanvas* Canvas, bool SkinFont, TFont* DefaultFont, bool AActive, bool ADown) const;
    // The size rules of the record apply (else the button keeps any size).
    bool SkinSized(const TbsSkinFace& Face) const { return FUseSkinSize || Face.ResizeMode == 1; }
    void StartAnimate(bool Forward);
    void StopAnimate();
    // While the animation runs, its frame replaces the hot face (forward) or the normal face (backward).
    void ApplyAnimationFrame(TRect& SkinRect);
    // The first tick, after 500 ms, only sets the pace; every further one clicks.
    void StartRepeat();
    void StopRepeat() { RepeatTimer.Stop(); }
    // The left button went down on the button; StopAnimation says whether a running animation stops.
    void PressButton(bool StopAnimation);
    // The left button came up; Over: over the button. Clicks by the button's rules.
    void ReleaseButton(bool Over);
    // OnClick alone when an action runs other code; else the action; else OnClick.
    void ClickOrExecute(TActionClient& Client, bool Designing);
    // The text colour of a face in the given state.
    TColor FaceFontColor(bool AActive, bool ADown, TColor DefaultColor) const;
    // The face's background in B by the size rules; returns the text rectangle.
    TRect DrawFaceBackground(TBitmap* B, const TRect& R, TbsSkinFace& Face,
                             const std::function<void(TBitmap*, TBitmap*, const TRect&)>& DrawSkinImage) const;
    void FreeSizeClient(TbsSkinFace& Face, int W, int H) const;
    // The button was enabled or disabled: no transition, no hover.
    void EnabledChanged();

    TControl* FControl;
    TbsControlTimer AnimateTimer;
    TbsControlTimer RepeatTimer;
    TbsControlTimer MorphTimer;
    double FMorphKf = 0;
    bool FUseSkinSize = true;
    bool FUseSkinFontColor = true;
    bool FRepeatMode = false;
    int FRepeatInterval = 100;
    bool FAllowAllUp = false;
    bool FAllowAllUpCheck = false;
    bool FDown = false;
    bool FMouseIn = false;
    bool FMouseDown = false;
    int FGroupIndex = 0;
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    int FNumGlyphs = 1;
    int FMargin = -1;
    int FSpacing = 1;
    TbsButtonLayout FLayout = blGlyphLeft;
};

// One tick of the hover transition towards the hot face (Hot) or the normal one; false when it is over (the
// factor then snapped to 1 or 0).
bool StepMorphFactor(double& Kf, bool Hot);
// Draws From morphed towards To by Kind and Kf onto Canvas at 0,0.
void DrawMorphedFaces(TCanvas* Canvas, TBitmap* From, TBitmap* To, TbsMorphKind Kind, double Kf);
// Frame Frame (1-based) of an animation strip: side by side when wider than the face, else stacked.
TRect AnimationFrameRect(const TRect& AnimateSkinRect, const TRect& SkinRect, int FrameCount, int Frame);
// The frame of a glyph strip a button state shows: 3 pressed, 4 hot, 2 disabled, else 1.
int GlyphNumber(bool Down, bool Active, bool Enabled, int NumGlyphs);

// What a face shows, first that applies: the images menu's selected item, a tool bar's list, the button's own
// list, the glyph.
struct TbsButtonContent {
    TbsCustomImagesMenu* ImagesMenu = nullptr;
    bool UseImagesMenuImage = false;
    bool UseImagesMenuCaption = false;
    TCustomImageList* ToolBarImages = nullptr;
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    TBitmap* Glyph = nullptr;
    int NumGlyphs = 1;
    int GlyphNum = 1;
    String Caption;
    int Margin = -1;
    int Spacing = 1;
    TbsButtonLayout Layout = blGlyphLeft;
    bool Enabled = true;
    bool Pressed = false;
    bool ImagePressed = false;
    bool DrawColorMarker = false;
    TColor ColorMarkerValue = 0;
};
void DrawButtonContent(TCanvas* Canvas, const TRect& R, const TbsButtonContent& C);
// The record of a button kind at Index of SD, or null for a record of another kind.
TbsDataSkinButtonControl* ButtonRecordOf(TbsSkinData* SD, int Index);

// A one-pixel frame round the bitmap with a fill inside, as the default look draws its states.
void DrawDefaultFrame(TCanvas* Canvas, const TRect& R, TColor Frame, TColor Fill);
// An empty glyph takes the action's image on a magenta background.
bool TakeActionGlyph(TBitmap* Glyph, TObject* Sender);
