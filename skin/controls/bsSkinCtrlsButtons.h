// What the push button and the speed buttons share: the copy of a button record, on-demand timers, the
// hover transition's step, the frame animation's faces and the content (image, glyph, caption) of a face.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/Graphics.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/ExtCtrls.h"
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

// A one-pixel frame round the bitmap with a fill inside, as the default look draws its states.
void DrawDefaultFrame(TCanvas* Canvas, const TRect& R, TColor Frame, TColor Fill);
// An empty glyph takes the action's image on a magenta background.
bool TakeActionGlyph(TBitmap* Glyph, TObject* Sender);
