#include "platform/base/Threads.h"

#include <sys/resource.h>
#include <unistd.h>

#include <deque>
#include <memory>

const std::thread::id MainThreadID = std::this_thread::get_id();

bool IsMainThread() {
    return std::this_thread::get_id() == MainThreadID;
}

namespace {
// Constant-initialised, so the window layer may install its wake-up during static initialisation.
std::atomic<TWakeMainThreadProc> WakeMainThreadProc = nullptr;
} // namespace

TWakeMainThreadProc SetWakeMainThread(TWakeMainThreadProc AProc) {
    return WakeMainThreadProc.exchange(AProc);
}

// ---------------------------------------------------------------------------------------------
// The GUI thread's queue of synchronised calls

namespace {

struct TSyncRecord {
    TThread* Thread = nullptr;
    TThreadMethod Method;
    bool Queued = false;
    bool Done = false;
    std::exception_ptr Error;
};

// Never destroyed: threads that free themselves may still touch the queue while the program ends.
struct TSyncQueue {
    std::mutex Lock;
    std::condition_variable Posted; // the GUI thread waits here for calls (and for finished threads)
    std::condition_variable Done;   // workers wait here for their synchronised calls
    std::deque<std::shared_ptr<TSyncRecord>> List;
};
TSyncQueue& Sync = *new TSyncQueue;
std::mutex& SyncLock = Sync.Lock;
std::condition_variable& SyncPosted = Sync.Posted;
std::condition_variable& SyncDone = Sync.Done;
std::deque<std::shared_ptr<TSyncRecord>>& SyncList = Sync.List;

void PostSync(const std::shared_ptr<TSyncRecord>& Record) {
    {
        std::lock_guard Guard(SyncLock);
        SyncList.push_back(Record);
    }
    SyncPosted.notify_all();
    if (TWakeMainThreadProc Wake = WakeMainThreadProc)
        Wake();
}

// Wakes a GUI thread that waits in CheckSynchronize, so it can look at other state again.
void NudgeMainThread() {
    { std::lock_guard Guard(SyncLock); }
    SyncPosted.notify_all();
}

std::atomic<bool> QuitRequested{false};
std::atomic<int> QuitCode{0};

thread_local TThread* RunningThread = nullptr;

} // namespace

bool CheckSynchronize(Cardinal Timeout) {
    if (!IsMainThread())
        throw EThread(Format(u"CheckSynchronize called from thread $%x, which is NOT the main thread",
                             {std::uint64_t(::gettid())}));
    std::deque<std::shared_ptr<TSyncRecord>> Pending;
    {
        std::unique_lock Guard(SyncLock);
        if (SyncList.empty() && Timeout > 0) {
            const auto Ready = [] { return !SyncList.empty(); };
            if (Timeout == INFINITE)
                SyncPosted.wait(Guard, Ready);
            else
                SyncPosted.wait_for(Guard, std::chrono::milliseconds(Timeout), Ready);
        }
        Pending.swap(SyncList);
    }
    const bool Ran = !Pending.empty();
    while (!Pending.empty()) {
        std::shared_ptr<TSyncRecord> Record = Pending.front();
        Pending.pop_front();
        if (Record->Queued) {
            try {
                Record->Method();
            } catch (...) {
                // The calls after it stay queued for the next round.
                std::lock_guard Guard(SyncLock);
                SyncList.insert(SyncList.begin(), Pending.begin(), Pending.end());
                throw;
            }
            continue;
        }
        try {
            Record->Method();
        } catch (...) {
            Record->Error = std::current_exception();
        }
        {
            std::lock_guard Guard(SyncLock);
            Record->Done = true;
        }
        SyncDone.notify_all();
    }
    return Ran;
}

void PostQuit(int ExitCode) {
    QuitCode = ExitCode;
    QuitRequested = true;
}

bool QuitPending() {
    return QuitRequested;
}

int QuitExitCode() {
    return QuitCode;
}

void ClearQuit() {
    QuitRequested = false;
    QuitCode = 0;
}

// ---------------------------------------------------------------------------------------------
// TThread

void TThread::Synchronize(TThread* AThread, const TThreadMethod& AMethod) {
    if (IsMainThread()) {
        AMethod();
        return;
    }
    auto Record = std::make_shared<TSyncRecord>();
    Record->Thread = AThread;
    Record->Method = AMethod;
    PostSync(Record);
    std::exception_ptr Error;
    {
        std::unique_lock Guard(SyncLock);
        SyncDone.wait(Guard, [&] { return Record->Done; });
        Error = std::move(Record->Error); // this thread alone holds the exception from here
    }
    if (Error)
        std::rethrow_exception(Error);
}

void TThread::Queue(TThread* AThread, TThreadMethod AMethod) {
    if (IsMainThread()) {
        AMethod();
        return;
    }
    auto Record = std::make_shared<TSyncRecord>();
    Record->Thread = AThread;
    Record->Method = std::move(AMethod);
    Record->Queued = true;
    PostSync(Record);
}

void TThread::RemoveQueuedEvents(TThread* AThread) {
    std::lock_guard Guard(SyncLock);
    std::erase_if(SyncList, [&](const auto& r) { return r->Queued && r->Thread == AThread; });
}

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {}

void TThread::operator delete(TThread* Thread, std::destroying_delete_t) {
    // Execute may still use the derived parts: end the run before any destructor.
    void* Memory = dynamic_cast<void*>(Thread);
    if (Thread->FStarted && RunningThread != Thread && !Thread->FDone.Signaled()) {
        Thread->Terminate();
        Thread->WaitFor();
    }
    Thread->~TThread();
    ::operator delete(Memory);
}

void* TThread::operator new(std::size_t Size) {
    return ::operator new(Size);
}

void TThread::operator delete(void* Memory) {
    ::operator delete(Memory);
}

TThread::~TThread() {
    std::unique_lock Guard(FStateLock);
    if (!FHandle.joinable())
        return;
    if (RunningThread == this) {
        FHandle.detach(); // a thread freeing itself at its end
        return;
    }
    Guard.unlock();
    if (!FDone.Signaled()) {
        Terminate();
        WaitFor();
    }
    FHandle.join();
}

namespace {

class TAnonymousThread : public TThread {
public:
    explicit TAnonymousThread(TThreadMethod Proc) : TThread(true), FProc(std::move(Proc)) { SetFreeOnTerminate(true); }

protected:
    void Execute() override { FProc(); }

private:
    TThreadMethod FProc;
};

} // namespace

TThread* TThread::CreateAnonymousThread(TThreadMethod Proc) {
    return new TAnonymousThread(std::move(Proc));
}

TThread* TThread::CurrentThread() {
    return RunningThread;
}

void TThread::Start() {
    std::lock_guard Guard(FStateLock);
    if (FStarted || FFinished)
        throw EThread(u"Cannot call Start on a running or suspended thread");
    FStarted = true;
    FHandle = std::thread(&TThread::Run, this);
    FThreadID = FHandle.get_id();
}

void TThread::Resume() {
    if (!FStarted) {
        Start();
        return;
    }
    {
        std::lock_guard Guard(FStateLock);
        FPaused = false;
    }
    FStateChanged.notify_all();
}

void TThread::Suspend() {
    if (!FStarted)
        return;
    std::lock_guard Guard(FStateLock);
    FPaused = true;
}

bool TThread::Suspended() const {
    return !FStarted || FPaused;
}

void TThread::SetSuspended(bool Value) {
    if (Value)
        Suspend();
    else
        Resume();
}

bool TThread::CheckSuspended() {
    if (!FPaused || FTerminated) // the usual case costs no lock
        return false;
    std::unique_lock Guard(FStateLock);
    FStateChanged.wait(Guard, [this] { return !FPaused || FTerminated; });
    return true;
}

void TThread::Terminate() {
    {
        std::lock_guard Guard(FStateLock);
        FTerminated = true;
    }
    FStateChanged.notify_all();
    TerminatedSet();
}

int TThread::WaitFor() {
    if (RunningThread == this)
        throw EThread(u"A thread cannot wait for itself");
    if (!FStarted)
        return FReturnValue;
    if (IsMainThread()) {
        // Keep serving synchronised calls: the thread may be waiting in one (OnTerminate too).
        while (!FDone.Signaled())
            CheckSynchronize(50);
    } else {
        FDone.WaitFor(INFINITE);
    }
    return FReturnValue;
}

void TThread::SetPriority(TThreadPriority Value) {
    FPriority = Value;
    if (FTid != 0 && !FFinished)
        ApplyPriority();
}

void TThread::ApplyPriority() {
    static const int NiceOf[] = {19, 10, 5, 0, -5, -10, -15};
    // Not permitted (raising the priority without privilege): the thread keeps its value.
    ::setpriority(PRIO_PROCESS, id_t(FTid.load()), NiceOf[FPriority.load()]);
}

void TThread::DoTerminate() {
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

void TThread::Run() {
    RunningThread = this;
    FTid = int(::gettid());
    if (FPriority != tpNormal)
        ApplyPriority();
    const auto Record = [this] {
        if (FFatalException)
            return; // the first failure is the one reported
        FFatalException = std::current_exception();
        try {
            throw;
        } catch (const Exception& E) {
            FFatalMessage = E.Message();
        } catch (const std::exception& E) {
            FFatalMessage = UTF8ToString(E.what());
        } catch (...) {
            FFatalMessage = u"Unknown exception";
        }
    };
    try {
        if (!FTerminated)
            Execute();
    } catch (...) {
        Record();
    }
    FFinished = true;
    try {
        DoTerminate();
    } catch (...) {
        Record();
    }
    const bool FreeIt = FFreeOnTerminate;
    FDone.SetEvent();
    NudgeMainThread();
    if (FreeIt)
        delete this;
    RunningThread = nullptr;
}
