// The skinned up-down: two arrow buttons that step Position between Min and Max by Increment, repeating
// while a button is held (first step 600 ms after the press, then every 100 ms). Drawn from an up-down record
// ("hupdown", "vupdown") at the skin's size, from the skin's "resizebutton" record at any size, or as two
// flat framed buttons without skin.
#pragma once

#include "skin/controls/TbsSkinControl.h"
#include "skin/core/TbsDataSkinControl.h"

enum TUDOrientation { udHorizontal, udVertical };

class TbsSkinUpDown : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinUpDown)
public:
    // One arrow button: its place in control coordinates, hovered, pressed.
    struct TButton {
        TRect R;
        bool MouseIn = false;
        bool Down = false;
    };
    static constexpr int UpButton = 0;
    static constexpr int DownButton = 1;
    // The repeat runs on the control's own window timer with this identifier.
    static constexpr UINT_PTR RepeatTimerId = 1;

    explicit TbsSkinUpDown(TComponent* AOwner);
    ~TbsSkinUpDown() override;

    int Position() const { return FPosition; }
    // A value outside Min..Max is ignored; any other is stored and OnChange runs, also for the same value.
    void SetPosition(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }

    const TButton& Buttons(int Index) const { return FButtons[Index]; }
    int ActiveButton() const { return FActiveButton; }
    int CaptureButton() const { return FCaptureButton; }
    // 0 no repeat, 1 stepping down, 2 stepping up.
    int TimerMode() const { return FTimerMode; }
    // The first, long period of the repeat is running.
    bool WaitMode() const { return FWaitMode; }

    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;
    TNotifyEvent OnChange;

    void GetSkinData() override;
    void CalcSize(int& W, int& H) override;
    void SetControlRegion() override;
    void Dispatch(TMessage& Message) override;

    // The button images of the up-down record, in skin picture coordinates.
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;

protected:
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    void WMSize(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

private:
    bool HasUpDownRecord() const;
    void CalcButtonRects();
    // Finds the hovered button at (X, Y) and lets the old one leave and the new one enter.
    void TestActive(int X, int Y);
    void ButtonEnter(int I);
    void ButtonLeave(int I);
    void StartTimer(UINT Interval);
    void StopTimer();
    void Step(int Delta);
    void DrawDefaultButton(TCanvas* C, int I);
    void DrawResizeButton(TCanvas* C, int I);
    int ArrowCode(int I) const;

    bool FUseSkinSize = true;
    TUDOrientation FOrientation = udHorizontal;
    TButton FButtons[2];
    int FOldActiveButton = -1;
    int FActiveButton = -1;
    int FCaptureButton = -1;
    int FTimerMode = 0;
    bool FWaitMode = false;
    bool FTimerRunning = false;
    int FIncrement = 1;
    int FPosition = 0;
    int FMin = 0;
    int FMax = 100;
};

// The face of button record Rec (normal, hot or pressed; an empty hot face falls back to the normal one, an
// empty pressed face to the hot one) as a nine-part image at B's size; returns the record's text colour for
// that state.
TColor DrawResizedButtonFace(TbsSkinData* SD, const TbsDataSkinButtonControl& Rec, bool Hot, bool Pressed, TBitmap* B);
