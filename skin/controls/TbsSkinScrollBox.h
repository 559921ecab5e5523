// The skinned scroll box: a container whose children may be larger than its client area. It has no bars of
// its own; it drives two skinned scroll bars that the owner places beside it, shows each only while the
// content overflows in its direction, and moves the children when a bar moves. Its frame lies in the
// non-client area, drawn from the skin's "scrollbox" record or as a one-pixel border.
#pragma once

#include "skin/controls/TbsSkinPanel.h"
#include "skin/controls/TbsSkinScrollBar.h"

class TbsSkinScrollBox : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinScrollBox)
public:
    explicit TbsSkinScrollBox(TComponent* AOwner);

    TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TbsSkinScrollBar* Value);
    TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TbsSkinScrollBar* Value);
    TbsSkinBorderStyle BorderStyle() const { return FBorderStyle; }
    // Makes the window again, so that the frame is measured anew.
    void SetBorderStyle(TbsSkinBorderStyle Value);
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value) { FCanFocused = Value; }

    // Measures the children again in both directions (after the caller changed them).
    void UpDateScrollRange();
    void GetVRange();
    void GetHRange();
    // Scrolls the content to a position; the vertical one stops one short of the bar's own limit.
    void VScroll(int APosition);
    void HScroll(int APosition);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void GetSkinData() override;
    void ChangeSkinData() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    bool FClicksDisabled = false;
    bool FCanFocused = false;
    bool FInCheckScrollBars = false;
    TbsSkinScrollBar* FVScrollBar = nullptr;
    TbsSkinScrollBar* FHScrollBar = nullptr;
    int FOldVScrollBarPos = 0;
    int FOldHScrollBarPos = 0;
    int FVSizeOffset = 0;
    int FHSizeOffset = 0;
    TbsSkinBorderStyle FBorderStyle = TbsSkinBorderStyle::bvFrame;
    int BGPictureIndex = -1;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustClientRect(TRect& Rect) override;
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void CreateControlDefaultImage(TBitmap* B) override;

private:
    // One direction's range: the bar, the content's end, the client size, the pending growth and the shift.
    void GetRange(bool Vertical);
    void ShiftContent(bool Vertical, int D);
    void BarChange(bool Vertical);
    // Shows or hides a bar, then lets an aligned box and its parent lay themselves out again.
    void SetBarVisible(TbsSkinScrollBar* Bar, bool Value);
    // True when the frame is drawn at all (the frame of the record or the plain border).
    bool HasFrame() const;
    void PaintFrame(HDC DC);
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
};
