// The skinned scroll bar: two arrow buttons and a thumb in a track, drawn from a scroll-bar record or in a
// flat default look. It stands alone on forms and serves as the external bar of the skinned views, list
// boxes and scroll boxes, which keep it in step through SetRange, Position, OnChange, Visible and Both.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "skin/controls/TbsSkinControl.h"

struct TbsScrollBarPart {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

class TbsSkinScrollBar : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinScrollBar)
public:
    explicit TbsSkinScrollBar(TComponent* AOwner);

    // The parts of Buttons, by index.
    static constexpr int ThumbPart = 0;
    static constexpr int UpPart = 1;
    static constexpr int DownPart = 2;

    bool Both() const { return FBoth; }
    void SetBoth(bool Value);
    int BothMarkerWidth() const { return FBothMarkerWidth; }
    void SetBothMarkerWidth(int Value);
    const String& BothSkinDataName() const { return FBothSkinDataName; }
    void SetBothSkinDataName(const String& Value) { FBothSkinDataName = Value; }
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);

    void SetRange(int AMin, int AMax, int APosition, int APageSize);
    void SimplySetPosition(int AValue);

    void GetSkinData() override;
    void CalcSize(int& W, int& H) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    // The part rectangles and thumb offsets for the current size, range and position.
    void CalcRects();
    // The position a thumb offset d along the track stands for.
    int CalcPosition(int D);
    const TbsScrollBarPart& Part(int I) const { return Buttons[I]; }
    const TRect& TrackRect() const { return NewTrackArea; }

    TNotifyEvent OnChange;
    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;
    TNotifyEvent OnLastChange;
    TNotifyEvent OnPageUp;
    TNotifyEvent OnPageDown;

    String FNormalSkinDataName;
    String FBothSkinDataName = u"bothhscrollbar";
    int Offset1 = 0;
    int Offset2 = 0;
    int BOffset = 0;
    TRect NewTrackArea;
    bool FDown = false;
    int OMPos = 0;
    int OldBOffset = 0;
    int MX = 0;
    int MY = 0;
    bool MouseD = false;
    bool WaitMode = false;
    int FBothMarkerWidth = 19;
    bool FClicksDisabled = false;
    bool FCanFocused = false;
    int TimerMode = 0;
    int ActiveButton = -1;
    int OldActiveButton = -1;
    int CaptureButton = -1;
    TbsScrollBarPart Buttons[3];
    int FMin = 0;
    int FMax = 100;
    int FSmallChange = 1;
    int FLargeChange = 1;
    int FPosition = 0;
    TScrollBarKind FKind = sbHorizontal;
    int FPageSize = 0;
    bool FBoth = false;

    TRect TrackArea, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
        DownDownButtonRect, ThumbRect, ActiveThumbRect, DownThumbRect;
    int ThumbOffset1 = 0;
    int ThumbOffset2 = 0;
    bool ThumbTransparent = false;
    TColor ThumbTransparentColor = 0;
    bool ThumbStretchEffect = false;
    int ThumbMinSize = 0;
    int ThumbMinPageSize = 0;
    TRect GlyphRect, ActiveGlyphRect, DownGlyphRect;
    bool GlyphTransparent = false;
    TColor GlyphTransparentColor = 0;

protected:
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);

private:
    int Clamped(int Value) const;
    bool Horizontal() const { return FKind == sbHorizontal; }
    bool ThumbPressedLook() const;
    void CalcDefaultRects();
    void CalcSkinRects();
    void PlaceThumb(int ThumbLength, int Across0, int Across1);
    void DrawButton(TCanvas* C, int I);
    void DrawDefaultButton(TCanvas* C, int I);
    void DrawSkinThumb(TCanvas* C);
    void ButtonDown(int I);
    void ButtonUp(int I);
    void ButtonEnter(int I);
    void ButtonLeave(int I);
    void TestActive(int X, int Y);
    void StepArrow(int I);
    // Pages once towards Min (Up) or Max when the last pointer position still lies beyond the thumb.
    void RepeatPage(bool Up);
    void StartTimer(UINT Ms);
    void StopTimer();
};
