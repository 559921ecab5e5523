#include "platform/base/SyncObjs.h"

#include <chrono>

TWaitResult TMutex::WaitFor(Cardinal Timeout) {
    if (Timeout == INFINITE) {
        FLock.lock();
        return wrSignaled;
    }
    return FLock.try_lock_for(std::chrono::milliseconds(Timeout)) ? wrSignaled : wrTimeout;
}

void TEvent::SetEvent() {
    // Notify under the lock: a waiter that wakes may free the event at once.
    std::lock_guard Guard(FLock);
    FSignaled = true;
    if (FManualReset)
        FCond.notify_all();
    else
        FCond.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard Guard(FLock);
    FSignaled = false;
}

bool TEvent::Signaled() const {
    std::lock_guard Guard(FLock);
    return FSignaled;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout) {
    std::unique_lock Guard(FLock);
    const auto Ready = [this] { return FSignaled; };
    if (Timeout == INFINITE)
        FCond.wait(Guard, Ready);
    else if (!FCond.wait_for(Guard, std::chrono::milliseconds(Timeout), Ready))
        return wrTimeout;
    if (!FManualReset)
        FSignaled = false;
    return wrSignaled;
}
