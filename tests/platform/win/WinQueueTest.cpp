// The queue: posted and sent messages, nested loops, cross-thread SendMessage, timers on the tests'
// clock, and window procedure chains.
#include "WinTestSupport.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/base/Threads.h"

namespace {

class WinQueue : public WinTest {};

TEST_F(WinQueue, PostedMessagesComeBeforeInputAndPaintBeforeTimers) {
    HWND A = Log.Create("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    Log.Clear();
    Log.Ignored.insert({WM_NCPAINT, WM_ERASEBKGND, WM_SETCURSOR});
    SetTimer(A, 7, 10, nullptr);
    Sleep(20);
    InvalidateRect(A, nullptr, TRUE);
    InjectMouseMove(10, 10);
    PostMessageW(A, WM_USER + 1, 0, 0);
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"a:0x0401", "a:WM_MOUSEMOVE(10,10)", "a:WM_PAINT", "a:WM_TIMER(7)"}));
}

TEST_F(WinQueue, QuitEndsGetMessageAfterThePostedMessages) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    PostMessageW(A, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG M;
    ASSERT_TRUE(GetMessageW(&M, nullptr, 0, 0));
    EXPECT_EQ(M.message, WM_USER);
    EXPECT_FALSE(GetMessageW(&M, nullptr, 0, 0));
    EXPECT_EQ(M.message, WM_QUIT);
    EXPECT_EQ(M.wParam, 3u);
    // The request stands in the run-time library even though a loop took the message.
    EXPECT_TRUE(QuitPending());
    EXPECT_EQ(QuitExitCode(), 3);
}

// The worker's call can only reach the GUI thread through the queue's wake-up: GetMessage gets its
// message only after the loop has run the call, and a wait without a time limit ends only when woken.
TEST_F(WinQueue, AWorkersSynchronizedCallWakesTheGuiThreadWaitingForMessages) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    std::atomic<bool> RanOnGui = false;
    std::thread Worker([&] {
        TThread::Synchronize(nullptr, [&] {
            RanOnGui = IsGuiThread();
            PostMessageW(A, WM_APP, 0, 0);
        });
    });
    MSG M;
    ASSERT_EQ(GetMessageW(&M, nullptr, 0, 0), 1);
    EXPECT_EQ(M.message, UINT(WM_APP));
    Worker.join();
    EXPECT_TRUE(RanOnGui);

    // A watchdog turns a missing wake-up into a failure instead of a hang.
    std::mutex Lock;
    std::condition_variable Cancel;
    bool Cancelled = false;
    std::atomic<bool> WatchdogFired = false;
    std::thread Watchdog([&] {
        std::unique_lock L(Lock);
        if (!Cancel.wait_for(L, std::chrono::seconds(30), [&] { return Cancelled; })) {
            WatchdogFired = true;
            PostMessageW(A, WM_APP + 1, 0, 0);
        }
    });
    std::atomic<bool> Ran = false;
    std::thread Queuer([&] { TThread::Queue(nullptr, [&] { Ran = true; }); });
    WaitForEvents(INFINITE);
    {
        std::lock_guard L(Lock);
        Cancelled = true;
    }
    Cancel.notify_all();
    Watchdog.join();
    Queuer.join();
    EXPECT_FALSE(WatchdogFired);
    PeekMessageW(&M, nullptr, 0, 0, PM_REMOVE); // looking at the queue runs the queued call
    EXPECT_TRUE(Ran);
}

TEST_F(WinQueue, NestedLoopsRunInsideAHandler) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    std::vector<int> Order;
    Log.Handlers[A] = [&](HWND h, UINT M, WPARAM W, LPARAM, LRESULT&) {
        if (M != WM_USER)
            return false;
        Order.push_back(int(W));
        if (W == 1) {
            // A modal loop: runs what was posted after this message, then returns.
            PostMessageW(h, WM_USER, 3, 0);
            ProcessPendingMessages();
            Order.push_back(10);
        }
        return true;
    };
    PostMessageW(A, WM_USER, 1, 0);
    PostMessageW(A, WM_USER, 2, 0);
    Pump();
    EXPECT_EQ(Order, (std::vector<int>{1, 2, 3, 10}));
}

TEST_F(WinQueue, SendMessageFromAnotherThreadWaitsForTheGuiThread) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    Log.Clear();
    std::thread::id Ran;
    Log.Handlers[A] = [&](HWND, UINT M, WPARAM W, LPARAM, LRESULT& R) {
        if (M != WM_USER)
            return false;
        Ran = std::this_thread::get_id();
        EXPECT_TRUE(InSendMessage());
        R = LRESULT(W * 2);
        return true;
    };
    std::atomic<LRESULT> Answer{0};
    std::thread T([&] { Answer = SendMessageW(A, WM_USER, 21, 0); });
    MSG M;
    // The sent message runs while the GUI thread waits for a message; the quit follows once it is answered.
    std::thread Q([&] {
        while (Answer == 0)
            std::this_thread::yield();
        PostMessageW(nullptr, WM_USER + 5, 0, 0);
    });
    ASSERT_TRUE(GetMessageW(&M, nullptr, 0, 0));
    EXPECT_EQ(M.message, WM_USER + 5);
    T.join();
    Q.join();
    EXPECT_EQ(Answer, 42);
    EXPECT_EQ(Ran, std::this_thread::get_id());
    EXPECT_EQ(Log.Take(), (TSeq{"a:0x0400"}));
    EXPECT_FALSE(InSendMessage());
}

TEST_F(WinQueue, SendToAWindowDestroyedMeanwhileAnswersZero) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    std::atomic<bool> Queued{false};
    std::atomic<LRESULT> Answer{-1};
    std::thread T([&] {
        Queued = true;
        Answer = SendMessageW(A, WM_USER, 1, 0);
    });
    while (!Queued)
        std::this_thread::yield();
    // Give the sender time to queue its message; then the window goes before the queue is looked at.
    while (true) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (Answer == -1) {
            DestroyWindow(A);
            break;
        }
    }
    MSG M;
    while (Answer == -1)
        PeekMessageW(&M, nullptr, 0, 0, PM_REMOVE);
    T.join();
    EXPECT_EQ(Answer, 0);
}

TEST_F(WinQueue, TimersRepeatAndTheSameIdReplaces) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    Log.Clear();
    EXPECT_EQ(SetTimer(A, 1, 100, nullptr), 1u);
    EXPECT_EQ(SetTimer(A, 1, 300, nullptr), 1u); // replaces the first
    SetTimer(A, 2, 200, nullptr);
    MSG M;
    std::vector<std::pair<UINT_PTR, DWORD>> Got;
    DWORD Start = GetTickCount();
    while (Got.size() < 4 && GetMessageW(&M, nullptr, 0, 0)) {
        if (M.message == WM_TIMER)
            Got.push_back({M.wParam, M.time - Start});
        DispatchMessageW(&M);
    }
    // Waiting jumps the tests' clock straight to the next timer.
    EXPECT_EQ(Got, (std::vector<std::pair<UINT_PTR, DWORD>>{{2, 199}, {1, 299}, {2, 399}, {1, 599}}));
    EXPECT_TRUE(KillTimer(A, 1));
    EXPECT_FALSE(KillTimer(A, 1));
}

TEST_F(WinQueue, TimerCallbackAndThreadTimer) {
    static int Calls = 0;
    Calls = 0;
    UINT_PTR Id = SetTimer(nullptr, 0, 50, [](HWND h, UINT M, UINT_PTR, DWORD) {
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(M, WM_TIMER);
        ++Calls;
    });
    ASSERT_NE(Id, 0u);
    MSG M;
    while (Calls < 3 && GetMessageW(&M, nullptr, 0, 0))
        DispatchMessageW(&M);
    EXPECT_EQ(Calls, 3);
    KillTimer(nullptr, Id);
}

TEST_F(WinQueue, TestClockMovesOnEveryReadAndSleep) {
    DWORD T0 = GetTickCount();
    DWORD T1 = GetTickCount();
    EXPECT_EQ(T1 - T0, 1u);
    Sleep(40);
    EXPECT_EQ(GetTickCount() - T1, 41u);
    // A loop that polls the tick count, as the fades do, ends without real waiting.
    DWORD Start = GetTickCount();
    int Steps = 0;
    while (GetTickCount() - Start < 100)
        ++Steps;
    EXPECT_GE(Steps, 90);
}

TEST_F(WinQueue, TickCountWrapsAt32Bits) {
    SetWinClock(std::make_unique<TTestClock>(0xFFFFFFF0ull, 1));
    DWORD A = GetTickCount();
    Sleep(0x20);
    DWORD B = GetTickCount();
    EXPECT_LT(B, A);
    EXPECT_EQ(DWORD(B - A), 0x21u);
}

TEST_F(WinQueue, RegisteredMessagesAreSharedByName) {
    UINT A = RegisterWindowMessageW(u"QvMessage");
    EXPECT_GE(A, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(u"QVMESSAGE"), A);
    EXPECT_NE(RegisterWindowMessageW(u"Other"), A);
}

static WNDPROC GInner, GMiddle, GOuter;
static std::vector<std::string> GChain;

TEST_F(WinQueue, SubclassChainLinkRemovesItselfFromTheMiddle) {
    HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
    GChain.clear();
    GInner = SubclassWindowProc(A, [](HWND h, UINT M, WPARAM W, LPARAM L) {
        if (M == WM_USER)
            GChain.push_back("inner");
        return CallPrevWndProc(GInner, h, M, W, L);
    });
    GMiddle = SubclassWindowProc(A, [](HWND h, UINT M, WPARAM W, LPARAM L) {
        if (M == WM_USER)
            GChain.push_back("middle");
        return CallPrevWndProc(GMiddle, h, M, W, L);
    });
    // The outermost link is a plain procedure that remembers what it replaced, as the platform's code does.
    static WNDPROC Old = nullptr;
    Old =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(A, GWLP_WNDPROC, LONG_PTR(+[](HWND h, UINT M, WPARAM W, LPARAM L) {
                                                        if (M == WM_USER)
                                                            GChain.push_back("outer");
                                                        return CallWindowProcW(Old, h, M, W, L);
                                                    })));
    SendMessageW(A, WM_USER, 0, 0);
    EXPECT_EQ(GChain, (std::vector<std::string>{"outer", "middle", "inner"}));
    EXPECT_EQ(Log.Take().back(), "a:0x0400");
    RemoveWindowProcLink(A, GMiddle);
    GChain.clear();
    SendMessageW(A, WM_USER, 0, 0);
    EXPECT_EQ(GChain, (std::vector<std::string>{"outer", "inner"}));
    EXPECT_EQ(Log.Take().back(), "a:0x0400");
}

// A link's closure lives while its window does or while it is linked; once both are over it is freed, and a late
// call through the link answers 0.
TEST_F(WinQueue, ALinkIsFreedOnceUnlinkedAndItsWindowIsGone) {
    struct Case {
        const char* Name;
        bool UnlinkFirst;
    } Cases[] = {{"unlinked, then window destroyed", true}, {"window destroyed, then unlinked", false}};
    for (const Case& C : Cases) {
        HWND A = Log.Create("a", WS_POPUP, 0, 0, 100, 100);
        auto Held = std::make_shared<int>(0);
        std::weak_ptr<int> Watch = Held;
        WNDPROC Link =
            SubclassWindowProc(A, [Held](HWND h, UINT M, WPARAM W, LPARAM L) { return DefWindowProcW(h, M, W, L); });
        Held.reset();
        if (C.UnlinkFirst) {
            RemoveWindowProcLink(A, Link);
            Pump();
            EXPECT_FALSE(Watch.expired()) << C.Name << ": freed while its window lives";
            DestroyWindow(A);
        } else {
            DestroyWindow(A);
            Pump();
            EXPECT_FALSE(Watch.expired()) << C.Name << ": freed while linked";
            RemoveWindowProcLink(A, Link);
        }
        Pump();
        EXPECT_TRUE(Watch.expired()) << C.Name;
        EXPECT_EQ(CallWindowProcW(Link, A, WM_USER, 0, 0), 0) << C.Name;
    }
}

} // namespace
