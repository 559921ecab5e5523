#include "platform/ui/ExtCtrls.h"

#include <unordered_map>

namespace {

// The running timers by the window layer's timer number.
std::unordered_map<UINT_PTR, TTimer*>& RunningTimers() {
    static std::unordered_map<UINT_PTR, TTimer*> Map;
    return Map;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FTimerId) {
        KillTimer(nullptr, FTimerId);
        RunningTimers().erase(FTimerId);
        FTimerId = 0;
    }
    if (!FEnabled || FInterval == 0)
        return;
    FTimerId = SetTimer(nullptr, 0, FInterval, &TimerProc);
    if (FTimerId)
        RunningTimers()[FTimerId] = this;
}

void TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    auto It = RunningTimers().find(Id);
    if (It != RunningTimers().end())
        It->second->Timer();
}

void TTimer::Timer() {
    // A copy: the handler may free this timer, and with it OnTimer, while it runs.
    TNotifyEvent Handler = OnTimer;
    if (Handler)
        Handler(this);
}
