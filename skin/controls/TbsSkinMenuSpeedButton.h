// The menu speed button: a speed button with a track part, a 15-pixel strip at its right (or, in the new style,
// its bottom) edge with an arrow, that opens a popup menu and/or an images menu below the button. With
// TrackButtonMode off a press anywhere opens the menu; with it on, only a press on the track part does.
#pragma once

#include "skin/controls/TbsSkinSpeedButton.h"

enum TbsTrackPosition { bstpRight, bstpBottom };

class TbsSkinMenuSpeedButton : public TbsSkinSpeedButton {
    QV_CLASS_NAME(TbsSkinMenuSpeedButton)
public:
    static constexpr int TrackSize = 15;

    explicit TbsSkinMenuSpeedButton(TComponent* AOwner);

    bool NewStyle() const { return FNewStyle; }
    void SetNewStyle(bool Value);
    TbsTrackPosition TrackPosition() const { return FTrackPosition; }
    void SetTrackPosition(TbsTrackPosition Value);
    bool TrackButtonMode() const { return FTrackButtonMode; }
    void SetTrackButtonMode(bool Value);
    TPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu; }
    void SetSkinPopupMenu(TPopupMenu* Value);
    TbsCustomImagesMenu* SkinImagesMenu() const { return FSkinImagesMenu; }
    void SetSkinImagesMenu(TbsCustomImagesMenu* Value);
    bool UseImagesMenuImage() const { return FUseImagesMenuImage; }
    void SetUseImagesMenuImage(bool Value) { FUseImagesMenuImage = Value; }
    bool UseImagesMenuCaption() const { return FUseImagesMenuCaption; }
    void SetUseImagesMenuCaption(bool Value) { FUseImagesMenuCaption = Value; }
    bool MenuTracked() const { return FMenuTracked; }
    // The track part in control coordinates (the hit test's rectangle).
    TRect TrackRect() const;

    void GetSkinData() override;
    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnShowTrackMenu;
    TNotifyEvent OnHideTrackMenu;

    // Set by owners that make such buttons in code: a plain arrow (code 1 left .. 4 down) for the marker.
    bool FDrawStandardArrow = false;
    int FArrowType = 4;
    TRect TrackButtonRect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMPopupMenuClosed(TMessage& Message);

private:
    bool HasOwnRecord() const;
    bool HitsMenu(int X, int Y) const;
    void OpenMenus();
    void ImagesMenuClosed();
    // The client rectangle less the track strip, and the strip.
    TRect ContentRect(const TRect& Client) const;
    TRect StripRect() const;
    void DrawMarker(TCanvas* Canvas, TRect R, bool Pressed, bool Active, TColor Color);
    void DrawTwoPartFace(TBitmap* B, const TRect& Main, const TRect& Track, bool NinePart);
    void DrawFaceContent(TBitmap* B, bool AActive, bool ADown, const TRect& TextR);
    void DrawRecordFace(TBitmap* B, TbsDataSkinButtonControl* Rec, bool Active, bool Down, const TRect& Dest);
    void DrawNewStyleFaces(TBitmap* B, bool AActive, bool Pressed);

    bool FTrackButtonMode = false;
    bool FMenuTracked = false;
    TPopupMenu* FSkinPopupMenu = nullptr;
    bool FNewStyle = false;
    TbsTrackPosition FTrackPosition = bstpRight;
};
