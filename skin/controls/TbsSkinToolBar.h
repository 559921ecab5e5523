// The skinned tool bar: a panel that holds speed buttons and other controls in a row. It centres its children
// vertically, passes its skin data, flatness, image lists and caption mode on to its speed buttons and bevels,
// and with CanScroll shows two 12-pixel scroll buttons in its non-client area while its children are wider than
// the bar, scrolling them sideways by page steps (held or hovered: on a timer).
#pragma once

#include "skin/controls/TbsSkinPanel.h"
#include "skin/core/TbsDataSkinControl.h"

// The hit-test codes of the left and the right scroll button.
constexpr LRESULT HTSCROLLLEFT = 119;
constexpr LRESULT HTSCROLLRIGHT = 120;

class TbsSkinToolBar : public TbsSkinPanel, public TbsToolBarParent {
    QV_CLASS_NAME(TbsSkinToolBar)
public:
    static constexpr int ScrollButtonWidth = 12;

    explicit TbsSkinToolBar(TComponent* AOwner);
    ~TbsSkinToolBar() override;

    bool AdjustControls() const override { return FAdjustControls; }
    void SetAdjustControls(bool Value) { FAdjustControls = Value; }
    bool CanScroll() const { return FCanScroll; }
    void SetCanScroll(bool Value) { FCanScroll = Value; }
    bool HotScroll() const { return FHotScroll; }
    void SetHotScroll(bool Value) { FHotScroll = Value; }
    bool AutoShowHideCaptions() const { return FAutoShowHideCaptions; }
    void SetAutoShowHideCaptions(bool Value) { FAutoShowHideCaptions = Value; }
    int WidthWithCaptions() const { return FWidthWithCaptions; }
    void SetWidthWithCaptions(int Value) { FWidthWithCaptions = Value; }
    int WidthWithoutCaptions() const { return FWidthWithoutCaptions; }
    void SetWidthWithoutCaptions(int Value) { FWidthWithoutCaptions = Value; }
    int ScrollOffset() const { return FScrollOffset; }
    void SetScrollOffset(int Value);
    int ScrollTimerInterval() const { return FScrollTimerInterval; }
    void SetScrollTimerInterval(int Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TCustomImageList* Images() const override { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* HotImages() const override { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    TCustomImageList* DisabledImages() const override { return FDisabledImages; }
    void SetDisabledImages(TCustomImageList* Value);
    TRect GetSkinClientRect() override { return TbsSkinPanel::GetSkinClientRect(); }

    // The scroll state: position, range end, page, the position the children are moved to, the timer's mode
    // (0 idle, 1 left, 2 right).
    int ScrollPosition() const { return SPosition; }
    int ScrollMax() const { return SMax; }
    int ScrollPage() const { return SPage; }
    int ScrollTimerMode() const { return TimerMode; }
    bool ScrollButtonsVisible() const { return Buttons[0].Visible; }
    // A scroll button's rectangle in window coordinates (0 left, 1 right).
    TRect ScrollButtonRect(int Index) const { return Buttons[Index].R; }

    void GetSkinData() override;
    void SetSkinDataName(const String& Value) override;
    void SetSkinData(TbsSkinData* Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    bool FAdjustControls = true;
    bool FCanScroll = false;
    bool FHotScroll = false;
    int TimerMode = 0;
    int SMax = 0;
    int SPosition = 0;
    int SPage = 0;
    int SOldPosition = 0;
    int FHSizeOffset = 0;
    int FScrollOffset = 0;
    int FScrollTimerInterval = 50;
    struct TScrollButton {
        TRect R;
        bool MouseIn = false;
        bool Down = false;
        bool Visible = false;
    };
    TScrollButton Buttons[2];
    TbsDataSkinButtonControl* ButtonData = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustClientRect(TRect& Rect) override;
    void AlignControl(TControl* AControl) override;
    void CreateControlSkinImage(TBitmap* B) override;

    void WMSetCursor(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMWindowPosChanging(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

private:
    // Scroll-button input; false when the message goes on to the bar.
    bool ScrollButtonInput(TMessage& Message);
    void CentreChildren();
    void UpdateScrollState();
    void ShowScrollButtons(bool Value);
    void MoveChildren(int DX);
    void ScrollStep(bool Right);
    void StartScrollTimer(int Mode);
    void StopScrollTimer();
    void LeaveScrollButtons();
    void PaintScrollButtons();
    void DrawScrollButton(HDC DC, int Index);

    TCustomImageList* FImages = nullptr;
    TCustomImageList* FDisabledImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    bool FFlat = false;
    bool FAutoShowHideCaptions = false;
    bool FShowCaptions = false;
    int FWidthWithCaptions = 0;
    int FWidthWithoutCaptions = 0;
    bool FUpdatingScroll = false;
};

// The skinned status bar: a bottom-aligned panel with an optional size grip in its lower right corner that
// answers the hit test as the bottom-right sizing border of the form it lies on.
class TbsSkinStatusBar : public TbsSkinPanel {
    QV_CLASS_NAME(TbsSkinStatusBar)
public:
    explicit TbsSkinStatusBar(TComponent* AOwner);

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool ShowGrip() const { return FShowGrip; }
    // Cleared by the form skin while the form is maximized.
    void SetShowGrip(bool Value);
    // The grip in client coordinates.
    TRect GetGripRect();

    void GetSkinData() override;
    void SetSkinData(TbsSkinData* Value) override;
    void Dispatch(TMessage& Message) override;

    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = 0;

protected:
    void AdjustClientRect(TRect& Rect) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;

    void WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);

private:
    bool GripShown() const { return FSizeGrip && FShowGrip; }
    void DrawGrip(TBitmap* B);

    bool FSizeGrip = false;
    bool FShowGrip = true;
};
