// Threads and the GUI thread's queue of synchronised calls.
//
// The thread that runs the program's static initialisation is the GUI (main) thread. Workers hand
// work to it with Synchronize (the worker waits until the GUI thread has run the call; an exception
// the call raises is raised again in the worker) or Queue (the worker goes on). The GUI thread runs
// these calls whenever it calls CheckSynchronize: its message loop does so when woken through
// WakeMainThread, and every wait on the GUI thread that may last (TThread::WaitFor, waits in slices)
// calls it between slices, so a worker blocked in Synchronize can always finish.
//
// There is no thread suspension on Linux: Suspend only marks a thread as paused, and the thread
// itself waits at the points where it calls CheckSuspended (between packets, say) until Resume or
// Terminate.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/base/SyncObjs.h"
#include "platform/base/SysUtils.h"
#include "platform/base/System.h"

using TThreadMethod = std::function<void()>;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The GUI thread.
extern const std::thread::id MainThreadID;
bool IsMainThread();

// Called (on the queuing thread) each time a call is queued for the GUI thread. The window layer
// installs its wake-up at start-up, so that a GUI thread blocked waiting for window messages wakes
// and runs the call. Returns the previous one.
using TWakeMainThreadProc = void (*)();
TWakeMainThreadProc SetWakeMainThread(TWakeMainThreadProc AProc);

// Runs the calls queued for the GUI thread; must be called on the GUI thread (EThread otherwise).
// When none is pending it waits up to Timeout ms for one. True when at least one call ran. A
// queued call that raises passes its exception on to the caller; the calls after it stay queued.
bool CheckSynchronize(Cardinal Timeout = 0);

// Quit requests of the GUI thread. A quit request must not get lost when a loop other than the
// main loop (a wait that pumps messages, a modal loop) takes it from the window queue: the window
// layer's PostQuitMessage records it here with PostQuit, any loop that removes the quit message
// leaves the request standing, and the main loop ends when QuitPending() is true, returning
// QuitExitCode(). ClearQuit is for the main loop once it has honoured the request.
void PostQuit(int ExitCode);
bool QuitPending();
int QuitExitCode();
void ClearQuit();

// A worker thread. Derive, override Execute, create it and start it:
//   auto* t = new TMyThread(true);  t->SetFreeOnTerminate(true);  t->Start();
// C++ cannot run Execute before the derived constructor has finished, so a thread does not run
// before Start() (or Resume()) is called, whatever CreateSuspended says; a thread created with
// CreateSuspended false calls Start() at the end of its most derived constructor.
//
// A thread is created with new (or held by std::unique_ptr) and freed with delete: deleting a
// thread that still runs terminates it and waits for it before any destructor runs (on the GUI
// thread the wait keeps running synchronised calls). A FreeOnTerminate thread deletes itself after
// OnTerminate; nobody may delete or wait for it.
class TThread : public TObject {
public:
    explicit TThread(bool CreateSuspended);
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void operator delete(TThread* Thread, std::destroying_delete_t);
    // The pair used when a constructor raises (the destroying form cannot free a half-built object).
    static void* operator new(std::size_t Size);
    static void operator delete(void* Memory);

    // A thread running Proc, created suspended and freeing itself: call Start().
    static TThread* CreateAnonymousThread(TThreadMethod Proc);
    // The TThread whose Execute runs on the calling thread; nil elsewhere.
    static TThread* CurrentThread();

    // Starts a thread that has not run yet: EThread "Cannot call Start on a running or suspended
    // thread" otherwise.
    void Start();
    // Resume lets a paused thread go on, or starts a thread that has not run yet.
    void Resume();
    void Suspend();
    bool Suspended() const;
    void SetSuspended(bool Value);
    // Called by the thread (or code running on it) where pausing is safe: waits while the thread is
    // suspended and not terminated. True when it had to wait.
    bool CheckSuspended();

    void Terminate();
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    bool Started() const { return FStarted; }
    // Waits until Execute and OnTerminate have finished; gives ReturnValue.
    int WaitFor();

    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }
    // Mapped to the thread's nice value (19, 10, 5, 0, -5, -10, -15); raising above normal needs a
    // privilege the program may not have, and is then left as it is.
    TThreadPriority Priority() const { return FPriority; }
    void SetPriority(TThreadPriority Value);
    int ReturnValue() const { return FReturnValue; }
    // What Execute raised (nil when nothing), and its message.
    std::exception_ptr FatalException() const { return FFatalException; }
    const String& FatalMessage() const { return FFatalMessage; }
    std::thread::id ThreadID() const { return FThreadID; }

    // Runs AMethod on the GUI thread; on the GUI thread itself, at once.
    static void Synchronize(TThread* AThread, const TThreadMethod& AMethod);
    static void Queue(TThread* AThread, TThreadMethod AMethod);
    // Drops calls that AThread queued and the GUI thread has not run yet.
    static void RemoveQueuedEvents(TThread* AThread);

    // Called on the GUI thread (through Synchronize) when the thread has finished.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    // Runs OnTerminate through Synchronize when it is set.
    virtual void DoTerminate();
    virtual void TerminatedSet() {}
    void Synchronize(const TThreadMethod& AMethod) { Synchronize(this, AMethod); }
    void Queue(TThreadMethod AMethod) { Queue(this, std::move(AMethod)); }
    void SetReturnValue(int Value) { FReturnValue = Value; }

private:
    void Run();
    void ApplyPriority();

    std::thread FHandle;
    std::thread::id FThreadID;
    std::atomic<int> FTid{0};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FStarted{false};
    bool FCreateSuspended = false;
    bool FFreeOnTerminate = false;
    std::atomic<TThreadPriority> FPriority{tpNormal};
    int FReturnValue = 0;
    std::exception_ptr FFatalException;
    String FFatalMessage;
    mutable std::mutex FStateLock;
    std::condition_variable FStateChanged;
    std::atomic<bool> FPaused{false};
    TEvent FDone{true, false};
};
