// The shell change notifier: watches one folder on a worker thread and calls OnChange on the GUI thread
// whenever the folder changes.
#pragma once

#include "platform/base/Classes.h"
#include "platform/base/Threads.h"
#include "platform/shell/ShellChange.h"
#include "skin/dialogs/TbsShellFolder.h"

#include <memory>

enum TNotifyFilter {
    nfFileNameChange,
    nfDirNameChange,
    nfAttributeChange,
    nfSizeChange,
    nfWriteChange,
    nfSecurityChange
};
using TNotifyFilters = TSet<TNotifyFilter, 6>;
Cardinal NotifyFiltersToFlags(TNotifyFilters Filters);

struct TbsShellChangeLink;

class TbsShellChangeThread : public TThread {
public:
    // Created suspended and freeing itself; give it its options, then Start it.
    explicit TbsShellChangeThread(TThreadMethod ChangeEvent);
    ~TbsShellChangeThread() override;

    // Re-targets the worker: it wakes, drops changes not yet delivered, and watches the new folder.
    void SetDirectoryOptions(const String& Directory, bool WatchSubTree, Cardinal NotifyOptionFlags);
    void SetChangeEvent(TThreadMethod ChangeEvent);
    // Tells the worker to end and wakes it; it frees itself.
    void Stop();

    // Workers alive in the program (they end on their own after their notifier went).
    static int RunningCount();

protected:
    void Execute() override;

private:
    friend class TbsCustomShellChangeNotifier;
    bool OpenWatch(unsigned& Generation);
    void Deliver(unsigned Generation);

    TFolderChangeWatch FWatch;
    TThreadMethod FChangeEvent;
    String FDirectory;
    bool FWatchSubTree = false;
    bool FWaitChanged = false;
    Cardinal FNotifyOptionFlags = 0;
    unsigned FGeneration = 0;
    std::shared_ptr<TbsShellChangeLink> FLink;
};

class TbsCustomShellChangeNotifier : public TComponent {
    QV_CLASS_NAME(TbsCustomShellChangeNotifier)
public:
    explicit TbsCustomShellChangeNotifier(TComponent* AOwner);
    // Returns at once: the worker is told to end and ends on its own.
    ~TbsCustomShellChangeNotifier() override;

    TNotifyFilters NotifyFilters() const { return FFilters; }
    void SetNotifyFilters(TNotifyFilters Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    const TRoot& Root() const { return FRoot; }
    // No effect for the same text; another letter case names another folder.
    void SetRoot(const TRoot& Value);
    const TThreadMethod& OnChange() const { return FOnChange; }
    void SetOnChange(TThreadMethod Value);

    // The running worker, nil while none runs.
    TbsShellChangeThread* Thread() const;

private:
    void StartThread();
    void UpdateThreadOptions();

    TNotifyFilters FFilters{nfFileNameChange, nfDirNameChange};
    bool FWatchSubTree = true;
    TRoot FRoot = u"/";
    std::shared_ptr<TbsShellChangeLink> FLink;
    TThreadMethod FOnChange;
};

class TbsShellChangeNotifier : public TbsCustomShellChangeNotifier {
    QV_CLASS_NAME(TbsShellChangeNotifier)
public:
    using TbsCustomShellChangeNotifier::TbsCustomShellChangeNotifier;
};
