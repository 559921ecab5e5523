// The message queue of the GUI thread: sent, posted, input, paint and timer messages, window
// procedures, the clock and the reset used by tests.
#include "platform/win/WinInternal.h"

#include "platform/base/Threads.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>

namespace winimpl {

// Closures that stand in for window procedures. A procedure value may be held by any code that subclassed a
// window, so calling it must stay safe: a closure is freed only once it is unlinked and its window is gone, at a
// moment when no procedure runs, and its address is remembered so that a late call through it does nothing.
struct TProcInstance {
    TWndProcFunc Fn;
    WNDPROC Prev = nullptr;
    HWND Wnd = nullptr; // the window it subclasses (none for a bare instance)
    bool Removed = false;
};

static std::mutex GInstanceLock;
static std::set<const void*>& Instances() {
    static auto* Set = new std::set<const void*>;
    return *Set;
}
static std::set<const void*>& FreedInstances() {
    static auto* Set = new std::set<const void*>;
    return *Set;
}
static int GUnlinkedInstances = 0; // unlinked closures not yet freed

static TProcInstance* AsInstance(WNDPROC P) {
    std::lock_guard<std::mutex> G(GInstanceLock);
    const void* V = reinterpret_cast<const void*>(P);
    return Instances().count(V) ? const_cast<TProcInstance*>(static_cast<const TProcInstance*>(V)) : nullptr;
}

static bool IsFreedInstance(WNDPROC P) {
    std::lock_guard<std::mutex> G(GInstanceLock);
    return FreedInstances().count(reinterpret_cast<const void*>(P)) != 0;
}

static int GCallDepth = 0;

LRESULT Send(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!W || W->Dead)
        return 0;
    ++GCallDepth;
    LRESULT R = CallWindowProcW(W->Proc, W->Handle, Msg, WParam, LParam);
    --GCallDepth;
    return R;
}

DWORD MessageTime() {
    return DWORD(WinClock().Current());
}

// Frees the closures that are unlinked from windows that are gone.
static void FreeUnlinkedInstances() {
    std::vector<TProcInstance*> Gone;
    {
        std::lock_guard<std::mutex> G(GInstanceLock);
        for (auto It = Instances().begin(); It != Instances().end();) {
            auto* I = const_cast<TProcInstance*>(static_cast<const TProcInstance*>(*It));
            if (I->Removed && I->Wnd && !Alive(I->Wnd)) {
                Gone.push_back(I);
                FreedInstances().insert(*It);
                It = Instances().erase(It);
            } else {
                ++It;
            }
        }
        GUnlinkedInstances -= int(Gone.size());
    }
    for (TProcInstance* I : Gone)
        delete I;
}

// Frees destroyed windows and unlinked closures while no procedure runs.
static void FreeGraveyard() {
    TState& St = S();
    if (GCallDepth != 0 || St.DispatchDepth != 0)
        return;
    if (!St.Graveyard.empty()) {
        std::lock_guard<std::recursive_mutex> G(St.HandleLock);
        St.Graveyard.clear();
    }
    if (GUnlinkedInstances > 0)
        FreeUnlinkedInstances();
}

void ApplyPendingInvalidates();

void PurgeWindow(HWND h) {
    TState& St = S();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.Posted.erase(std::remove_if(St.Posted.begin(), St.Posted.end(), [h](const MSG& M) { return M.hwnd == h; }),
                        St.Posted.end());
    }
    St.Cooked.erase(std::remove_if(St.Cooked.begin(), St.Cooked.end(), [h](const MSG& M) { return M.hwnd == h; }),
                    St.Cooked.end());
    St.Timers.erase(std::remove_if(St.Timers.begin(), St.Timers.end(), [h](const TTimer& T) { return T.Wnd == h; }),
                    St.Timers.end());
}

static bool Matches(const MSG& M, HWND Filter, UINT Min, UINT Max) {
    if (Filter == reinterpret_cast<HWND>(-1)) {
        if (M.hwnd)
            return false;
    } else if (Filter && M.hwnd != Filter && !IsChild(Filter, M.hwnd)) {
        return false;
    }
    if (Min == 0 && Max == 0)
        return true;
    return M.message >= Min && M.message <= Max;
}

// Runs messages that other threads sent to the GUI thread's windows.
static void ProcessSent() {
    TState& St = S();
    for (;;) {
        std::shared_ptr<TSentMessage> Rec;
        {
            std::lock_guard<std::mutex> L(St.QueueLock);
            if (St.Sent.empty())
                return;
            Rec = St.Sent.front();
            St.Sent.pop_front();
        }
        LRESULT R = 0;
        if (TWnd* W = FromHandle(Rec->Wnd)) {
            ++St.InSend;
            R = Send(W, Rec->Msg, Rec->WParam, Rec->LParam);
            --St.InSend;
        }
        std::lock_guard<std::mutex> L(St.QueueLock);
        Rec->Result = R;
        Rec->Done = true;
        St.SentDone.notify_all();
    }
}

// The calls that workers queued for the GUI thread with Synchronize or Queue.
static void RunSynchronizedCalls() {
    TState& St = S();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.SyncWake = false;
    }
    if (IsMainThread())
        CheckSynchronize(0);
}

static std::uint64_t NextDue() {
    TState& St = S();
    std::uint64_t Due = UINT64_MAX;
    for (auto& T : St.Timers)
        Due = std::min(Due, T.Due);
    {
        std::lock_guard<std::recursive_mutex> G(St.HandleLock);
        for (auto& [H, W] : St.Handles)
            if (!W->Dead && (W->TrackFlags & TME_HOVER) && W->HoverDue)
                Due = std::min(Due, W->HoverDue);
    }
    return Due;
}

static void PostHovers(std::uint64_t Now) {
    TState& St = S();
    std::vector<HWND> Due;
    {
        std::lock_guard<std::recursive_mutex> G(St.HandleLock);
        for (auto& [H, W] : St.Handles)
            if (!W->Dead && (W->TrackFlags & TME_HOVER) && W->HoverDue && W->HoverDue <= Now)
                Due.push_back(W->Handle);
    }
    for (HWND h : Due) {
        TWnd* W = FromHandle(h);
        if (!W)
            continue;
        bool Nc = W->TrackFlags & TME_NONCLIENT;
        W->TrackFlags &= ~TME_HOVER;
        W->HoverDue = 0;
        POINT P = St.Cursor;
        if (!Nc)
            ScreenToClient(h, &P);
        WPARAM Keys = 0;
        PostMessageW(h, Nc ? 0x02A0 /*WM_NCMOUSEHOVER*/ : WM_MOUSEHOVER, Nc ? WPARAM(St.LastMouseHit) : Keys,
                     MAKELPARAM(P.X, P.Y));
    }
}

// Brings the back-end's input and pending invalidations in, then delivers what other threads sent or asked to run.
static void TakeSentAndSynchronized() {
    TState& St = S();
    if (St.Backend)
        St.Backend->Poll();
    ApplyPendingInvalidates();
    ProcessSent();
    RunSynchronizedCalls();
    ProcessSent();
}

// The first posted message that passes the filter (messages of destroyed windows are dropped), else the quit
// message once quitting was asked for.
static bool PeekPosted(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove) {
    TState& St = S();
    std::unique_lock<std::mutex> L(St.QueueLock);
    for (auto It = St.Posted.begin(); It != St.Posted.end();) {
        if (It->hwnd && !Alive(It->hwnd)) {
            It = St.Posted.erase(It);
            continue;
        }
        if (Matches(*It, Filter, Min, Max)) {
            *Out = *It;
            if (Remove & PM_REMOVE)
                St.Posted.erase(It);
            L.unlock();
            St.LastMessageTime = Out->time;
            St.LastMessagePos = Out->pt;
            return true;
        }
        ++It;
    }
    if (St.QuitPosted) {
        *Out = MSG{};
        Out->message = WM_QUIT;
        Out->wParam = WPARAM(St.QuitCode);
        Out->time = MessageTime();
        Out->pt = St.Cursor;
        if (Remove & PM_REMOVE)
            St.QuitPosted = false;
        return true;
    }
    return false;
}

enum class TInputPeek { Found, PostedMeanwhile, None };

// The first input message that passes the filter, cooking raw input as it is needed. Taking input may post
// messages (a mouse leave): they come before the input, so the caller looks at the queue again.
static TInputPeek PeekInput(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove) {
    TState& St = S();
    for (;;) {
        if (St.Cooked.empty()) {
            if (!CookRawInput())
                return TInputPeek::None;
            std::lock_guard<std::mutex> L(St.QueueLock);
            if (!St.Posted.empty())
                return TInputPeek::PostedMeanwhile;
        }
        auto It = std::find_if(St.Cooked.begin(), St.Cooked.end(),
                               [&](const MSG& M) { return Matches(M, Filter, Min, Max); });
        if (It == St.Cooked.end())
            return TInputPeek::None;
        MSG M = *It;
        if (!(Remove & PM_REMOVE)) {
            *Out = M;
            return TInputPeek::Found;
        }
        St.Cooked.erase(It);
        if (!Alive(M.hwnd))
            continue;
        St.LastMessageTime = M.time;
        St.LastMessagePos = M.pt;
        if (!PrepareButtonMessage(M))
            continue; // eaten by the activation
        *Out = M;
        return TInputPeek::Found;
    }
}

// WM_PAINT for the first window of the filter that needs painting.
static bool PeekPaint(MSG* Out, HWND Filter, UINT Min, UINT Max) {
    if (Filter == reinterpret_cast<HWND>(-1) || !(Min == 0 || Min <= WM_PAINT) || !(Max == 0 || Max >= WM_PAINT))
        return false;
    TWnd* P = FindPaintWindow(DesktopWnd(), Filter);
    if (!P)
        return false;
    *Out = MSG{};
    Out->hwnd = P->Handle;
    Out->message = WM_PAINT;
    Out->time = MessageTime();
    Out->pt = S().Cursor;
    return true;
}

// Posts the hover messages that fell due, then WM_TIMER for the timer of the filter that has been due longest;
// taking it starts its next interval.
static bool PeekTimer(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove) {
    TState& St = S();
    std::uint64_t Now = WinClock().Current();
    PostHovers(Now);
    if (!(Min == 0 || Min <= WM_TIMER) || !(Max == 0 || Max >= WM_TIMER))
        return false;
    TTimer* Best = nullptr;
    for (auto& T : St.Timers) {
        if (T.Due > Now)
            continue;
        MSG Probe{};
        Probe.hwnd = T.Wnd;
        Probe.message = WM_TIMER;
        if (!Matches(Probe, Filter, 0, 0))
            continue;
        if (!Best || T.Due < Best->Due)
            Best = &T;
    }
    if (!Best)
        return false;
    *Out = MSG{};
    Out->hwnd = Best->Wnd;
    Out->message = WM_TIMER;
    Out->wParam = Best->Id;
    Out->lParam = reinterpret_cast<LPARAM>(Best->Proc);
    Out->time = DWORD(Now);
    Out->pt = St.Cursor;
    if (Remove & PM_REMOVE)
        Best->Due = Now + Best->Interval;
    return true;
}

// One look at the queue in the platform's order: sent, posted, quit, input, paint, timers.
static bool PeekOnce(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove) {
    for (;;) {
        TakeSentAndSynchronized();
        if (PeekPosted(Out, Filter, Min, Max, Remove))
            return true;
        switch (PeekInput(Out, Filter, Min, Max, Remove)) {
        case TInputPeek::Found:
            return true;
        case TInputPeek::PostedMeanwhile:
            continue;
        case TInputPeek::None:
            break;
        }
        return PeekPaint(Out, Filter, Min, Max) || PeekTimer(Out, Filter, Min, Max, Remove);
    }
}

static bool HasPostedOrSent() {
    std::lock_guard<std::mutex> L(S().QueueLock);
    return QueueHasWork();
}

// Waits until something might be in the queue; a virtual clock jumps to the next timer instead.
static void WaitForWork() {
    TState& St = S();
    if (HasPostedOrSent() || !St.Cooked.empty())
        return;
    std::uint64_t Due = NextDue();
    TWinClock& C = WinClock();
    std::uint64_t Now = C.Current();
    if (Due != UINT64_MAX && C.IsVirtual()) {
        C.AdvanceTo(Due);
        return;
    }
    std::uint64_t Slice = 100;
    if (Due != UINT64_MAX)
        Slice = Due > Now ? std::min<std::uint64_t>(Due - Now, 100) : 0;
    if (Slice == 0)
        return;
    if (St.Backend)
        St.Backend->WaitEvents(Slice);
    else {
        TBackendHooks Plain;
        Plain.WaitEvents(Slice);
    }
}

} // namespace winimpl

using namespace winimpl;

bool IsGuiThread() {
    EnsureGuiThread();
    return std::this_thread::get_id() == S().GuiThread;
}

// ---- Clock ----

std::unique_ptr<TWinClock> SetWinClock(std::unique_ptr<TWinClock> AClock) {
    return SetClock(std::move(AClock));
}
TWinClock& WinClock() {
    return Clock();
}

// ---- Procedures ----

WNDPROC MakeWndProcInstance(TWndProcFunc AFunc) {
    auto* I = new TProcInstance;
    I->Fn = std::move(AFunc);
    std::lock_guard<std::mutex> G(GInstanceLock);
    Instances().insert(I);
    FreedInstances().erase(I);
    return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(I));
}

WNDPROC SubclassWindowProc(HWND hWnd, TWndProcFunc AFunc) {
    if (!IsWindow(hWnd))
        return nullptr;
    WNDPROC Link = MakeWndProcInstance(std::move(AFunc));
    TProcInstance* I = AsInstance(Link);
    I->Wnd = hWnd;
    I->Prev = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hWnd, GWLP_WNDPROC, LONG_PTR(Link)));
    return Link;
}

LRESULT CallPrevWndProc(WNDPROC ALink, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TProcInstance* I = AsInstance(ALink);
    if (!I || !I->Prev)
        return DefWindowProcW(hWnd, Msg, wParam, lParam);
    return CallWindowProcW(I->Prev, hWnd, Msg, wParam, lParam);
}

void RemoveWindowProcLink(HWND hWnd, WNDPROC ALink) {
    TProcInstance* I = AsInstance(ALink);
    if (!I)
        return;
    if (!I->Removed) {
        std::lock_guard<std::mutex> G(GInstanceLock);
        ++GUnlinkedInstances;
    }
    I->Removed = true;
    if (IsWindow(hWnd) && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == ALink)
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, LONG_PTR(I->Prev));
}

LRESULT CallWindowProcW(WNDPROC Proc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!Proc)
        return 0;
    if (TProcInstance* I = AsInstance(Proc)) {
        if (I->Removed)
            return I->Prev ? CallWindowProcW(I->Prev, hWnd, Msg, wParam, lParam)
                           : DefWindowProcW(hWnd, Msg, wParam, lParam);
        TWndProcFunc Fn = I->Fn; // a copy: the closure may replace itself while it runs
        return Fn(hWnd, Msg, wParam, lParam);
    }
    if (IsFreedInstance(Proc))
        return 0;
    return Proc(hWnd, Msg, wParam, lParam);
}

// ---- Sending and posting ----

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TState& St = S();
    EnsureGuiThread();
    if (hWnd == HWND_BROADCAST) {
        std::vector<HWND> All;
        for (TWnd* W : DesktopWnd()->Children)
            All.push_back(W->Handle);
        for (HWND h : All)
            SendMessageW(h, Msg, wParam, lParam);
        return 0;
    }
    if (IsGuiThread())
        return Send(FromHandle(hWnd), Msg, wParam, lParam);
    // From another thread: the GUI thread runs the message the next time it looks at its queue, and this
    // thread waits for the answer.
    if (!FromHandle(hWnd))
        return 0;
    auto Rec = std::make_shared<TSentMessage>();
    Rec->Wnd = hWnd;
    Rec->Msg = Msg;
    Rec->WParam = wParam;
    Rec->LParam = lParam;
    std::unique_lock<std::mutex> L(St.QueueLock);
    std::uint64_t Gen = St.ResetGeneration;
    St.Sent.push_back(Rec);
    St.QueueSignal.notify_all();
    L.unlock();
    if (St.Backend)
        St.Backend->Wake();
    L.lock();
    St.SentDone.wait(L, [&] { return Rec->Done || Gen != St.ResetGeneration; });
    return Rec->Result;
}

BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TState& St = S();
    EnsureGuiThread();
    if (hWnd == HWND_BROADCAST) {
        std::vector<HWND> All;
        if (IsGuiThread())
            for (TWnd* W : DesktopWnd()->Children)
                All.push_back(W->Handle);
        for (HWND h : All)
            PostMessageW(h, Msg, wParam, lParam);
        return 1;
    }
    if (hWnd && !FromHandle(hWnd))
        return 0;
    MSG M;
    M.hwnd = hWnd;
    M.message = Msg;
    M.wParam = wParam;
    M.lParam = lParam;
    M.time = MessageTime();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        M.pt = St.Cursor;
        St.Posted.push_back(M);
        St.QueueSignal.notify_all();
    }
    if (St.Backend)
        St.Backend->Wake();
    return 1;
}

BOOL PostThreadMessageW(DWORD, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(nullptr, Msg, wParam, lParam);
}

void PostQuitMessage(int Code) {
    TState& St = S();
    // The request also stands in the run-time library, so a loop inside a wait that takes the
    // WM_QUIT cannot make the main loop miss it.
    PostQuit(Code);
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.QuitPosted = true;
        St.QuitCode = Code;
        St.QueueSignal.notify_all();
    }
    if (St.Backend)
        St.Backend->Wake();
}

BOOL PeekMessageW(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove) {
    if (!Out || !IsGuiThread())
        return 0;
    FreeGraveyard();
    return PeekOnce(Out, Filter, Min, Max, Remove) ? 1 : 0;
}

BOOL GetMessageW(MSG* Out, HWND Filter, UINT Min, UINT Max) {
    if (!Out || !IsGuiThread())
        return -1;
    FreeGraveyard();
    while (!PeekOnce(Out, Filter, Min, Max, PM_REMOVE))
        WaitForWork();
    return Out->message == WM_QUIT ? 0 : 1;
}

BOOL WaitMessage() {
    if (!IsGuiThread())
        return 0;
    MSG M;
    while (!PeekOnce(&M, nullptr, 0, 0, PM_NOREMOVE))
        WaitForWork();
    return 1;
}

LRESULT DispatchMessageW(const MSG* M) {
    if (!M)
        return 0;
    TState& St = S();
    if (M->message == WM_TIMER && M->lParam) {
        auto Proc = reinterpret_cast<TIMERPROC>(M->lParam);
        ++St.DispatchDepth;
        Proc(M->hwnd, WM_TIMER, M->wParam, MessageTime());
        --St.DispatchDepth;
        return 0;
    }
    TWnd* W = FromHandle(M->hwnd);
    if (!W)
        return 0;
    ++St.DispatchDepth;
    LRESULT R = Send(W, M->message, M->wParam, M->lParam);
    --St.DispatchDepth;
    if (M->message == WM_PAINT && (W = FromHandle(M->hwnd)))
        W->InternalPaint = false;
    return R;
}

UINT RegisterWindowMessageW(LPCWSTR Name) {
    if (!Name || !*Name)
        return 0;
    TState& St = S();
    std::u16string Key(Name);
    for (auto& C : Key)
        if (C >= u'a' && C <= u'z')
            C = char16_t(C - 32);
    auto It = St.RegisteredMessages.find(Key);
    if (It != St.RegisteredMessages.end())
        return It->second;
    UINT Id = St.NextRegisteredMessage++;
    St.RegisteredMessages[Key] = Id;
    return Id;
}

BOOL InSendMessage() {
    return S().InSend > 0;
}
DWORD GetMessageTime() {
    return S().LastMessageTime;
}
DWORD GetMessagePos() {
    return MAKELONG(WORD(S().LastMessagePos.X), WORD(S().LastMessagePos.Y));
}

DWORD GetCurrentThreadId() {
    return DWORD(std::hash<std::thread::id>{}(std::this_thread::get_id()) & 0x7FFFFFFF);
}

DWORD GetWindowThreadProcessId(HWND hWnd, DWORD* Pid) {
    if (Pid)
        *Pid = 1;
    if (!IsWindow(hWnd))
        return 0;
    return DWORD(std::hash<std::thread::id>{}(S().GuiThread) & 0x7FFFFFFF);
}

// ---- Timers ----

UINT_PTR SetTimer(HWND hWnd, UINT_PTR Id, UINT Elapse, TIMERPROC Proc) {
    TState& St = S();
    if (hWnd && !IsWindow(hWnd))
        return 0;
    Elapse = std::clamp(Elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    std::uint64_t Due = WinClock().Current() + Elapse;
    if (!hWnd && Id == 0) {
        Id = St.NextTimerId++;
    }
    for (auto& T : St.Timers)
        if (T.Wnd == hWnd && T.Id == Id) {
            T.Interval = Elapse;
            T.Proc = Proc;
            T.Due = Due;
            return hWnd ? (Id ? Id : 1) : Id;
        }
    St.Timers.push_back(TTimer{hWnd, Id, Elapse, Proc, Due});
    return hWnd ? (Id ? Id : 1) : Id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR Id) {
    TState& St = S();
    auto It =
        std::find_if(St.Timers.begin(), St.Timers.end(), [&](const TTimer& T) { return T.Wnd == hWnd && T.Id == Id; });
    if (It == St.Timers.end())
        return 0;
    St.Timers.erase(It);
    return 1;
}

// ---- Extras ----

void ProcessPendingMessages() {
    MSG M;
    while (PeekMessageW(&M, nullptr, 0, 0, PM_REMOVE)) {
        if (M.message == WM_QUIT) {
            PostQuitMessage(int(M.wParam));
            break;
        }
        TranslateMessage(&M);
        DispatchMessageW(&M);
    }
}

void WaitForEvents(DWORD Ms) {
    if (!IsGuiThread())
        return;
    TState& St = S();
    if (St.Backend)
        St.Backend->WaitEvents(Ms);
    else {
        TBackendHooks Plain;
        Plain.WaitEvents(Ms);
    }
}

void TMessageQueue::Clear() {
    {
        std::lock_guard<std::mutex> L(QueueLock);
        Posted.clear();
        for (auto& R : Sent)
            R->Done = true;
        Sent.clear();
        Raw.clear();
        PendingInvalidates.clear();
        QuitPosted = false;
        SyncWake = false;
        ++ResetGeneration;
        SentDone.notify_all();
    }
    Cooked.clear();
    Timers.clear();
}

void ResetWindowManager() {
    EnsureGuiThread();
    std::vector<TWnd*> Tops(DesktopWnd()->Children.begin(), DesktopWnd()->Children.end());
    for (TWnd* W : Tops)
        WindowGoingAway(W);
    MessageQueue().Clear();
    WindowTable().Classes.clear();
    InputState().Reset();
    ResetClipboard();
    ClearQuit();
    FreeGraveyard();
}
