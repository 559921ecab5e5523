// Synchronisation objects: recursive critical sections, mutexes and events with timed waits.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/base/System.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };
constexpr Cardinal INFINITE = 0xFFFFFFFF;

class TSynchroObject : public TObject {
public:
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// Recursive: the thread that holds it may enter again and must leave as often.
class TCriticalSection : public TSynchroObject {
public:
    void Enter() { FLock.lock(); }
    void Leave() { FLock.unlock(); }
    bool TryEnter() { return FLock.try_lock(); }
    void Acquire() override { Enter(); }
    void Release() override { Leave(); }

private:
    std::recursive_mutex FLock;
};

// A recursive lock with timed waits, as the platform's mutex.
class TMutex : public TSynchroObject {
public:
    void Acquire() override { FLock.lock(); }
    void Release() override { FLock.unlock(); }
    TWaitResult WaitFor(Cardinal Timeout);

private:
    std::recursive_timed_mutex FLock;
};

// A manual-reset event stays signalled until ResetEvent; an auto-reset event lets one waiter
// through and clears itself.
class TEvent : public TSynchroObject {
public:
    explicit TEvent(bool ManualReset = true, bool InitialState = false)
        : FManualReset(ManualReset), FSignaled(InitialState) {}
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(Cardinal Timeout = INFINITE);
    bool Signaled() const;
    void Acquire() override { WaitFor(INFINITE); }
    void Release() override {}

private:
    const bool FManualReset;
    bool FSignaled;
    mutable std::mutex FLock;
    std::condition_variable FCond;
};

class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};
