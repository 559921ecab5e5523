#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "platform/base/Classes.h"
#include "platform/base/SyncObjs.h"
#include "platform/base/Threads.h"

namespace {

// Serves synchronised calls in slices, as a GUI thread that waits for a worker does, until Done.
template <class F> void ServeUntil(F Done) {
    while (!Done())
        CheckSynchronize(20);
}

class TLambdaThread : public TThread {
public:
    explicit TLambdaThread(std::function<void(TLambdaThread*)> Body) : TThread(true), FBody(std::move(Body)) {}
    using TThread::Queue;
    using TThread::SetReturnValue;
    using TThread::Synchronize;

protected:
    void Execute() override { FBody(this); }

private:
    std::function<void(TLambdaThread*)> FBody;
};

// Threads are deleted, not destroyed on the stack: Execute may use the derived parts until it ends.
std::unique_ptr<TLambdaThread> MakeThread(std::function<void(TLambdaThread*)> Body) {
    return std::make_unique<TLambdaThread>(std::move(Body));
}

TEST(Threads, SynchronizeRunsOnTheGuiThreadWhileItWaitsInSlices) {
    std::atomic<bool> finished = false;
    std::thread::id ranOn;
    int steps = 0;
    auto t = MakeThread([&](TLambdaThread* self) {
        for (int i = 0; i < 3; ++i)
            self->Synchronize([&] {
                ranOn = std::this_thread::get_id();
                ++steps; // no lock needed: the worker waits meanwhile
            });
        finished = true;
    });
    t->Start();
    ServeUntil([&] { return finished.load(); });
    EXPECT_EQ(ranOn, MainThreadID);
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(t->WaitFor(), 0);
    EXPECT_TRUE(IsMainThread());
}

TEST(Threads, SynchronizeRaisesTheCallsExceptionInTheWorker) {
    String caught;
    auto t = MakeThread([&](TLambdaThread* self) {
        try {
            self->Synchronize([] { throw EConvertError(u"bad value"); });
        } catch (const EConvertError& e) {
            caught = e.Message();
        }
    });
    t->Start();
    t->WaitFor(); // serves the call while it waits
    EXPECT_EQ(caught, u"bad value");
}

TEST(Threads, QueueDoesNotWaitAndRunsInOrder) {
    TEvent queued(true, false);
    std::vector<int> order;
    auto t = MakeThread([&](TLambdaThread* self) {
        self->Queue([&] { order.push_back(1); });
        self->Queue([&] { order.push_back(2); });
        queued.SetEvent();
    });
    t->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled); // the GUI thread served nothing meanwhile
    EXPECT_TRUE(order.empty());
    t->WaitFor();
    CheckSynchronize();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Threads, QueuedCallThatRaisesLeavesTheRestQueued) {
    std::vector<int> order;
    TEvent queued(true, false);
    auto t = MakeThread([&](TLambdaThread* self) {
        self->Queue([&] { order.push_back(1); });
        self->Queue([] { throw EAbort(u"stop"); });
        self->Queue([&] { order.push_back(3); });
        queued.SetEvent();
    });
    t->Start();
    ASSERT_EQ(queued.WaitFor(5000), wrSignaled);
    EXPECT_THROW(CheckSynchronize(), EAbort);
    EXPECT_EQ(order, (std::vector<int>{1}));
    CheckSynchronize();
    EXPECT_EQ(order, (std::vector<int>{1, 3}));
    t->WaitFor();
}

TEST(Threads, CheckSynchronizeBelongsToTheGuiThread) {
    String message;
    std::thread other([&] {
        try {
            CheckSynchronize();
        } catch (const EThread& e) {
            message = e.Message();
        }
    });
    other.join();
    EXPECT_TRUE(StartsText(u"CheckSynchronize called from thread $", message));
}

TEST(Threads, OnTerminateRunsOnTheGuiThreadAndAThreadCanFreeItself) {
    static std::atomic<bool> destroyed;
    destroyed = false;
    class TSelfFreeing : public TThread {
    public:
        TSelfFreeing() : TThread(true) { SetFreeOnTerminate(true); }
        ~TSelfFreeing() override { destroyed = true; }

    protected:
        void Execute() override { SetReturnValue(7); }
    };
    auto* t = new TSelfFreeing;
    std::thread::id terminatedOn;
    bool sawFinished = false;
    t->OnTerminate = [&](TObject* Sender) {
        terminatedOn = std::this_thread::get_id();
        sawFinished = static_cast<TThread*>(Sender)->Finished();
    };
    t->Start();
    ServeUntil([&] { return destroyed.load(); });
    EXPECT_EQ(terminatedOn, MainThreadID);
    EXPECT_TRUE(sawFinished);
}

TEST(Threads, ReturnValueAndFatalException) {
    auto ok = MakeThread([](TLambdaThread* self) { self->SetReturnValue(42); });
    ok->Start();
    EXPECT_EQ(ok->WaitFor(), 42);
    EXPECT_FALSE(ok->FatalException());
    auto failing = MakeThread([](TLambdaThread*) { throw EInOutError(u"disk full"); });
    failing->Start();
    failing->WaitFor();
    ASSERT_TRUE(failing->FatalException());
    EXPECT_EQ(failing->FatalMessage(), u"disk full");
    EXPECT_THROW(std::rethrow_exception(failing->FatalException()), EInOutError);
    EXPECT_THROW(failing->Start(), EThread);
}

TEST(Threads, CooperativePauseWaitsAtTheCheckUntilResumed) {
    TEvent pausedSeen(true, false), resumed(true, false);
    std::atomic<int> passes = 0;
    auto t = MakeThread([&](TLambdaThread* self) {
        while (!self->Terminated()) {
            ++passes;
            if (self->Suspended()) {
                pausedSeen.SetEvent();
                if (self->CheckSuspended())
                    resumed.SetEvent();
            }
        }
        self->SetReturnValue(passes);
    });
    EXPECT_TRUE(t->Suspended()); // not started yet
    t->Resume();                 // starts it
    t->Suspend();
    ASSERT_EQ(pausedSeen.WaitFor(5000), wrSignaled);
    EXPECT_EQ(resumed.WaitFor(0), wrTimeout);
    t->Resume();
    ASSERT_EQ(resumed.WaitFor(5000), wrSignaled);
    // Terminate ends a paused thread too.
    t->Suspend();
    t->Terminate();
    EXPECT_GT(t->WaitFor(), 0);
}

TEST(Threads, DeletingARunningThreadEndsItFirst) {
    std::atomic<bool> running = false;
    auto* t = new TLambdaThread([&](TLambdaThread* self) {
        running = true;
        while (!self->Terminated())
            self->Synchronize([] {}); // also keeps the GUI thread busy while it is deleted
    });
    t->Start();
    while (!running)
        std::this_thread::yield();
    delete t;
    SUCCEED();
}

TEST(Threads, PriorityBecomesTheThreadsNiceValue) {
    int nice = 99;
    auto t = MakeThread([&](TLambdaThread*) { nice = ::getpriority(PRIO_PROCESS, id_t(::gettid())); });
    t->SetPriority(tpLower);
    t->Start();
    t->WaitFor();
    EXPECT_EQ(nice, 5);
    auto high = MakeThread([](TLambdaThread*) {});
    high->SetPriority(tpTimeCritical); // refused without privilege, and that is no error
    high->Start();
    high->WaitFor();
    EXPECT_EQ(high->Priority(), tpTimeCritical);
}

TEST(Threads, AnonymousThreadRunsAndFreesItself) {
    std::atomic<bool> ran = false;
    TThread::CreateAnonymousThread([&] { ran = true; })->Start();
    ServeUntil([&] { return ran.load(); });
}

TEST(Threads, QuitRequestStaysUntilTheMainLoopClearsIt) {
    EXPECT_FALSE(QuitPending());
    PostQuit(3);
    // A loop inside a wait took the quit message: the request still stands for the main loop.
    EXPECT_TRUE(QuitPending());
    EXPECT_EQ(QuitExitCode(), 3);
    ClearQuit();
    EXPECT_FALSE(QuitPending());
}

std::atomic<int> Wakes = 0;

TEST(Threads, WakeMainThreadIsCalledForEachQueuedCall) {
    Wakes = 0;
    TWakeMainThreadProc previous = SetWakeMainThread([] { ++Wakes; });
    auto t = MakeThread([](TLambdaThread* self) {
        self->Queue([] {});
        self->Synchronize([] {});
    });
    t->Start();
    t->WaitFor();
    CheckSynchronize();
    SetWakeMainThread(previous);
    EXPECT_EQ(Wakes, 2);
}

TEST(SyncObjs, EventsWithTimeouts) {
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(10), wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), wrSignaled); // stays signalled
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrTimeout);

    TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), wrSignaled);
    EXPECT_EQ(automatic.WaitFor(10), wrTimeout); // cleared by the first waiter

    // One SetEvent lets exactly one of two waiters through.
    std::atomic<int> through = 0;
    std::thread a([&] { through += automatic.WaitFor(2000) == wrSignaled; });
    std::thread b([&] { through += automatic.WaitFor(2000) == wrSignaled; });
    automatic.SetEvent();
    a.join();
    b.join();
    EXPECT_EQ(through, 1);
}

TEST(SyncObjs, CriticalSectionIsRecursiveAndExcludesOthers) {
    TCriticalSection cs;
    cs.Enter();
    cs.Enter(); // again on the same thread
    bool otherGot = true;
    std::thread([&] { otherGot = cs.TryEnter(); }).join();
    EXPECT_FALSE(otherGot);
    cs.Leave();
    cs.Leave();
    std::thread([&] {
        otherGot = cs.TryEnter();
        if (otherGot)
            cs.Leave();
    }).join();
    EXPECT_TRUE(otherGot);

    TMutex m;
    m.Acquire();
    TWaitResult r = wrSignaled;
    std::thread([&] { r = m.WaitFor(10); }).join();
    EXPECT_EQ(r, wrTimeout);
    m.Release();
}

} // namespace
