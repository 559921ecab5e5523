#include "skin/dialogs/TbsShellChangeNotifier.h"

#include "platform/ui/Forms.h"

#include <atomic>
#include <mutex>

// The notifier and its worker meet here; the worker clears its side when it is freed, so the notifier never
// reaches a worker that has ended on its own.
struct TbsShellChangeLink {
    TbsShellChangeThread* Thread = nullptr;
};

namespace {

// Guards the worker's options, its change event and the links.
std::mutex& ChangeLock() {
    static std::mutex Lock;
    return Lock;
}

std::atomic<int> Running{0};

} // namespace

Cardinal NotifyFiltersToFlags(TNotifyFilters Filters) {
    const Cardinal Bits = Cardinal(Filters.ToInt());
    return (Bits & 0x1F) | ((Bits & 0x20) << 3);
}

// ---------------------------------------------------------------------------------------------
// TbsShellChangeThread

TbsShellChangeThread::TbsShellChangeThread(TThreadMethod ChangeEvent)
    : TThread(true), FChangeEvent(std::move(ChangeEvent)) {
    SetFreeOnTerminate(true);
    ++Running;
}

TbsShellChangeThread::~TbsShellChangeThread() {
    {
        std::lock_guard Guard(ChangeLock());
        if (FLink && FLink->Thread == this)
            FLink->Thread = nullptr;
    }
    FWatch.Close();
    --Running;
}

int TbsShellChangeThread::RunningCount() {
    return Running;
}

void TbsShellChangeThread::SetDirectoryOptions(const String& Directory, bool WatchSubTree, Cardinal NotifyOptionFlags) {
    {
        std::lock_guard Guard(ChangeLock());
        FDirectory = Directory;
        FWatchSubTree = WatchSubTree;
        FNotifyOptionFlags = NotifyOptionFlags;
        FWaitChanged = true;
        ++FGeneration;
    }
    FWatch.Wake();
}

void TbsShellChangeThread::SetChangeEvent(TThreadMethod ChangeEvent) {
    std::lock_guard Guard(ChangeLock());
    FChangeEvent = std::move(ChangeEvent);
}

void TbsShellChangeThread::Stop() {
    Terminate();
    FWatch.Wake();
}

bool TbsShellChangeThread::OpenWatch(unsigned& Generation) {
    String Dir;
    bool SubTree;
    Cardinal Flags;
    {
        std::lock_guard Guard(ChangeLock());
        Dir = FDirectory;
        SubTree = FWatchSubTree;
        Flags = FNotifyOptionFlags;
        FWaitChanged = false;
        Generation = FGeneration;
    }
    return FWatch.Open(Dir, SubTree, Flags);
}

void TbsShellChangeThread::Deliver(unsigned Generation) {
    Synchronize([this, Generation] {
        TThreadMethod Handler;
        {
            std::lock_guard Guard(ChangeLock());
            // A change seen before the notifier went, or before it was pointed elsewhere, is dropped.
            if (Terminated() || Generation != FGeneration)
                return;
            Handler = FChangeEvent;
        }
        if (!Handler)
            return;
        try {
            Handler();
        } catch (...) {
            if (Application)
                Application->HandleException(nullptr);
        }
    });
}

void TbsShellChangeThread::Execute() {
    unsigned Generation = 0;
    if (!OpenWatch(Generation))
        return;
    while (!Terminated()) {
        const TFolderChangeWatch::TWaitResult Result = FWatch.Wait();
        if (Terminated())
            break;
        bool Retarget;
        {
            std::lock_guard Guard(ChangeLock());
            Retarget = FWaitChanged;
        }
        if (Retarget) {
            if (!OpenWatch(Generation))
                return;
            continue;
        }
        if (Result == TFolderChangeWatch::wrFailed)
            return;
        if (Result == TFolderChangeWatch::wrChange)
            Deliver(Generation);
    }
}

// ---------------------------------------------------------------------------------------------
// TbsCustomShellChangeNotifier

TbsCustomShellChangeNotifier::TbsCustomShellChangeNotifier(TComponent* AOwner)
    : TComponent(AOwner), FLink(std::make_shared<TbsShellChangeLink>()) {
    StartThread();
}

TbsCustomShellChangeNotifier::~TbsCustomShellChangeNotifier() {
    std::lock_guard Guard(ChangeLock());
    if (TbsShellChangeThread* T = FLink->Thread) {
        FLink->Thread = nullptr;
        T->FLink.reset();
        T->Stop();
    }
}

TbsShellChangeThread* TbsCustomShellChangeNotifier::Thread() const {
    std::lock_guard Guard(ChangeLock());
    return FLink->Thread;
}

void TbsCustomShellChangeNotifier::SetNotifyFilters(TNotifyFilters Value) {
    FFilters = Value;
    UpdateThreadOptions();
}

void TbsCustomShellChangeNotifier::SetWatchSubTree(bool Value) {
    FWatchSubTree = Value;
    UpdateThreadOptions();
}

void TbsCustomShellChangeNotifier::SetRoot(const TRoot& Value) {
    // Folder names differ by letter case here.
    if (Value == FRoot)
        return;
    FRoot = Value;
    UpdateThreadOptions();
}

void TbsCustomShellChangeNotifier::SetOnChange(TThreadMethod Value) {
    FOnChange = std::move(Value);
    {
        std::lock_guard Guard(ChangeLock());
        if (TbsShellChangeThread* T = FLink->Thread) {
            T->FChangeEvent = FOnChange;
            return;
        }
    }
    StartThread();
}

void TbsCustomShellChangeNotifier::StartThread() {
    if (!FOnChange)
        return;
    auto* T = new TbsShellChangeThread(FOnChange);
    {
        std::lock_guard Guard(ChangeLock());
        T->FLink = FLink;
        FLink->Thread = T;
    }
    T->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FFilters));
    T->Start();
}

void TbsCustomShellChangeNotifier::UpdateThreadOptions() {
    {
        std::lock_guard Guard(ChangeLock());
        if (TbsShellChangeThread* T = FLink->Thread) {
            T->FDirectory = FRoot;
            T->FWatchSubTree = FWatchSubTree;
            T->FNotifyOptionFlags = NotifyFiltersToFlags(FFilters);
            T->FWaitChanged = true;
            ++T->FGeneration;
            T->FWatch.Wake();
            return;
        }
    }
    // A worker that ended (its folder could not be watched) is started again for the new options.
    StartThread();
}
