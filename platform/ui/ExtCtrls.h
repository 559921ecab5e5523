// ExtCtrls: the class library's extra controls and its timer.
//
// TTimer runs OnTimer every Interval milliseconds on the GUI thread, through a thread timer of the window
// layer; a timer may free itself (or be stopped or changed) inside its own OnTimer.
#pragma once

#include "platform/base/Classes.h"
#include "platform/ui/Controls.h"

// ---------------------------------------------------------------------------------------------
// TTimer

class TTimer : public TComponent {
    QV_CLASS_NAME(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the timer.
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);

    // Set or not, the timer runs while enabled with an interval: a handler assigned later takes the
    // next tick.
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    static void TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
    void UpdateTimer();

    bool FEnabled = true;
    Cardinal FInterval = 1000;
    UINT_PTR FTimerId = 0;
};
