// The skinned slider: a thumb moving along a ruler with tick marks beside it and an integer Value between
// MinValue and MaxValue. It draws itself from four pictures (a thumb and a ruler per orientation) that the user
// may replace, or from the rectangles of a slider record; the main window's seek bar is one.
#pragma once

#include <memory>

#include "skin/controls/TbsSkinControl.h"

enum TbsSliderImage { siHThumb, siHRuler, siVThumb, siVRuler };
using TbsSliderImages = TSet<TbsSliderImage, 4>;
enum TbsSliderOrientation { soHorizontal, soVertical };
enum TbsSliderOption { soShowFocus, soShowPoints, soSmooth, soRulerOpaque, soThumbOpaque };
using TbsSliderOptions = TSet<TbsSliderOption, 5>;
enum TbsJumpMode { jmNone, jmHome, jmEnd, jmNext, jmPrior };
using TbsNumThumbStates = int; // 1..2

class TbsSkinCustomSlider : public TbsSkinControl {
    QV_CLASS_NAME(TbsSkinCustomSlider)
public:
    explicit TbsSkinCustomSlider(TComponent* AOwner);
    ~TbsSkinCustomSlider() override;

    TBitmap* ImageHThumb() const { return FImages[siHThumb].get(); }
    void SetImageHThumb(TBitmap* Value) { SetImage(siHThumb, Value); }
    TBitmap* ImageHRuler() const { return FImages[siHRuler].get(); }
    void SetImageHRuler(TBitmap* Value) { SetImage(siHRuler, Value); }
    TBitmap* ImageVThumb() const { return FImages[siVThumb].get(); }
    void SetImageVThumb(TBitmap* Value) { SetImage(siVThumb, Value); }
    TBitmap* ImageVRuler() const { return FImages[siVRuler].get(); }
    void SetImageVRuler(TBitmap* Value) { SetImage(siVRuler, Value); }
    void SetImage(TbsSliderImage Index, TBitmap* Value);
    TbsSliderImages UserImages() const { return FUserImages; }

    int EdgeSize() const { return FEdgeSize; }
    void SetEdgeSize(int Value);
    TbsNumThumbStates NumThumbStates() const { return FNumThumbStates; }
    void SetNumThumbStates(TbsNumThumbStates Value);
    TbsSliderOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TbsSliderOrientation Value);
    TbsSliderOptions Options() const { return FOptions; }
    void SetOptions(TbsSliderOptions Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool UseSkinThumb() const { return FUseSkinThumb; }
    void SetUseSkinThumb(bool Value);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    int Value() const { return FValue; }
    void SetValue(int Value);
    void SetValueRange(int AMin, int AMax);

    // The geometry of the current size and pictures.
    const TRect& ThumbRect() const { return FThumbRect; }
    TPoint RulerOrg() const { return FRulerOrg; }
    TBitmap* Ruler() const { return FRuler.get(); }
    const TRect& PointsRect() const { return FPointsRect; }
    int GetRulerLength() const;
    int GetOffsetByValue(int AValue) const;
    int GetValueByOffset(int Offset) const;

    void GetSkinData() override;
    void ChangeSkinData() override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

    virtual bool CanChangeValue() { return true; }
    virtual TRect GetSliderRect() { return Rect(0, 0, Width(), Height()); }
    virtual int GetDisplayValue() { return FValue; }
    virtual void AdjustElements();
    virtual void RangeChanged() {}
    virtual void ThumbMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ThumbMouseMove(TShiftState Shift, int X, int Y);
    virtual void ThumbMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The built-in ticks on the slider's canvas, for an OnDrawPoints handler that wants them with its own step.
    virtual void DefaultDrawPoints(int PointsStep, int PointsHeight, int ExtremePointsHeight);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanged;
    TNotifyEvent OnDrawPoints;

    bool FUseSkinThumb = true;
    bool FTransparent = false;
    TbsSliderImages FUserImages;
    std::unique_ptr<TBitmap> FImages[4];
    int FEdgeSize = 2;
    std::unique_ptr<TBitmap> FRuler;
    TPoint FRulerOrg;
    TRect FThumbRect;
    bool FThumbDown = false;
    TbsNumThumbStates FNumThumbStates = 2;
    TRect FPointsRect;
    TbsSliderOrientation FOrientation = soHorizontal;
    TbsSliderOptions FOptions{soShowFocus, soShowPoints, soSmooth};
    int FBevelWidth = 1;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FIncrement = 10;
    int FValue = 0;
    int FHit = 0;
    bool FFocused = false;
    bool FSliding = false;
    bool FTracking = false;
    bool FTimerActive = false;
    TPoint FMousePos;
    TbsJumpMode FStartJump = jmNone;
    bool FReadOnly = false;
    TRect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
    int SkinEdgeSize = 0;
    TColor BGColor = clBtnFace;
    TColor PointsColor = clBlack;
    TBitmap* Picture = nullptr;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    virtual void Change();
    virtual void Changed();

    void WMSize(TMessage& Message);
    void WMMove(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void WMCheckParentBackground(TMessage& Message);

private:
    bool Reading() const;
    bool Vertical() const { return FOrientation == soVertical; }
    bool HasSkinRecord() const;
    bool SkinThumb() const { return HasSkinRecord() && FUseSkinThumb; }
    TPoint ThumbSize() const;
    void CreateElements();
    void ImageChanged(TObject* Sender);
    void BuildRuler();
    void BuildSkinRuler();
    TPoint AdjustOffset(int& Offset) const;
    void SetThumbOffset(int Offset);
    void InvalidateThumb();
    void Jump(TbsJumpMode Mode);
    TbsJumpMode GetJumpMode(int X, int Y) const;
    void TimerJump();
    void StopTracking();
    void DrawPoints(TCanvas* Canvas, int Step, int Regular, int Extreme);
    void DrawThumb(TCanvas* Canvas, const TPoint& At, bool SecondState);
};

// The slider with its properties published; no behaviour of its own.
class TbsSkinSlider : public TbsSkinCustomSlider {
    QV_CLASS_NAME(TbsSkinSlider)
public:
    using TbsSkinCustomSlider::TbsSkinCustomSlider;
};
