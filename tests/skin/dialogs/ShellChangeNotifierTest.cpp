#include "platform/shell/ShellTestTree.h"

#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

// Runs the GUI thread's synchronised calls until Done holds; false when it never did (a bug: every wait
// here is for a change that was made).
bool PumpUntil(const std::function<bool()>& Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        CheckSynchronize(10);
    }
    return true;
}

// The worker opens its watch on its own time, so a change made at once may come before it watches:
// makes a new marker file in Dir every 100 ms until Done holds.
bool MarkUntil(const std::string& Dir, const std::function<bool()>& Done) {
    int N = 0;
    auto Next = std::chrono::steady_clock::now();
    return PumpUntil([&] {
        if (std::chrono::steady_clock::now() >= Next) {
            TShellTestTree::Write(Dir + "/marker" + std::to_string(N++), "x");
            Next += std::chrono::milliseconds(100);
        }
        return Done();
    });
}

// Waits until no worker is left (they end on their own after their notifier went).
bool WorkersEnded(int Baseline) {
    return PumpUntil([&] { return TbsShellChangeThread::RunningCount() <= Baseline; });
}

} // namespace

TEST(ShellChangeNotifierTest, FiltersBecomeSystemFlags) {
    struct Case {
        TNotifyFilters Filters;
        Cardinal Flags;
    };
    const Case Cases[] = {
        {{nfSecurityChange}, 0x100},
        {{nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange, nfSecurityChange}, 0x11F},
        {{nfFileNameChange, nfDirNameChange}, 0x3},
        {{nfWriteChange}, 0x10},
        {{}, 0},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(NotifyFiltersToFlags(C.Filters), C.Flags) << C.Flags;
}

TEST(ShellChangeNotifierTest, AWorkerRunsOnlyWithAHandlerAndKeepsRunningWhenItIsReplaced) {
    TShellTestTree Tree;
    const int Baseline = TbsShellChangeThread::RunningCount();
    {
        TbsShellChangeNotifier Notifier(nullptr);
        EXPECT_EQ(Notifier.Root(), u"/");
        EXPECT_TRUE(Notifier.WatchSubTree());
        EXPECT_EQ(Notifier.NotifyFilters(), TNotifyFilters({nfFileNameChange, nfDirNameChange}));
        Notifier.SetRoot(UTF8ToString(Tree.Home));
        EXPECT_EQ(Notifier.Thread(), nullptr);
        EXPECT_EQ(TbsShellChangeThread::RunningCount(), Baseline);

        std::vector<std::string> Calls;
        Notifier.SetOnChange([&] { Calls.push_back("first"); });
        TbsShellChangeThread* Worker = Notifier.Thread();
        ASSERT_NE(Worker, nullptr);
        Notifier.SetOnChange([&] {
            EXPECT_TRUE(IsMainThread());
            Calls.push_back("second");
        });
        EXPECT_EQ(Notifier.Thread(), Worker);
        ASSERT_TRUE(MarkUntil(Tree.Home, [&] { return !Calls.empty(); }));
        EXPECT_EQ(Calls.front(), "second");
        EXPECT_EQ(Notifier.Thread(), Worker);
    }
    EXPECT_TRUE(WorkersEnded(Baseline));
}

TEST(ShellChangeNotifierTest, ARootInOtherLettersIsAnotherFolder) {
    TShellTestTree Tree;
    TShellTestTree::MakeDir(Tree.Home + "/Films");
    TShellTestTree::MakeDir(Tree.Home + "/films");
    const int Baseline = TbsShellChangeThread::RunningCount();
    {
        TbsShellChangeNotifier Notifier(nullptr);
        Notifier.SetWatchSubTree(false);
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/Films"));
        std::vector<std::string> Calls;
        Notifier.SetOnChange([&] { Calls.push_back("change"); });
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/films"));
        EXPECT_EQ(Notifier.Root(), UTF8ToString(Tree.Home + "/films"));
        ASSERT_TRUE(MarkUntil(Tree.Home + "/films", [&] { return !Calls.empty(); }));
    }
    EXPECT_TRUE(WorkersEnded(Baseline));
}

TEST(ShellChangeNotifierTest, ARetargetedWorkerWatchesTheNewFolder) {
    TShellTestTree Tree;
    TShellTestTree::MakeDir(Tree.Home + "/first");
    TShellTestTree::MakeDir(Tree.Home + "/second");
    const int Baseline = TbsShellChangeThread::RunningCount();
    {
        TbsShellChangeNotifier Notifier(nullptr);
        Notifier.SetWatchSubTree(false);
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/first"));
        int Calls = 0;
        Notifier.SetOnChange([&] { ++Calls; });
        TbsShellChangeThread* Worker = Notifier.Thread();
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/second"));
        ASSERT_TRUE(MarkUntil(Tree.Home + "/second", [&] { return Calls > 0; }));
        EXPECT_EQ(Notifier.Thread(), Worker);

        // A folder that cannot be watched ends the worker silently; a good one later starts it again.
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/missing"));
        ASSERT_TRUE(PumpUntil([&] { return Notifier.Thread() == nullptr; }));
        Notifier.SetRoot(UTF8ToString(Tree.Home + "/first"));
        ASSERT_NE(Notifier.Thread(), nullptr);
        const int Before = Calls;
        ASSERT_TRUE(MarkUntil(Tree.Home + "/first", [&] { return Calls > Before; }));
    }
    EXPECT_TRUE(WorkersEnded(Baseline));
}

TEST(ShellChangeNotifierTest, ANotifierDestroyedWithAChangeInFlightNeverCallsItsHandler) {
    TShellTestTree Tree;
    TShellTestTree::MakeDir(Tree.Home + "/watched");
    TShellTestTree::MakeDir(Tree.Home + "/marker");
    const int Baseline = TbsShellChangeThread::RunningCount();
    bool Gone = false;
    bool Marker = false;
    {
        auto Doomed = std::make_unique<TbsShellChangeNotifier>(nullptr);
        Doomed->SetRoot(UTF8ToString(Tree.Home + "/watched"));
        Doomed->SetOnChange([&] { Gone = true; });
        // The worker sees the change and asks the GUI thread to run the handler; the notifier goes first.
        TShellTestTree::Write(Tree.Home + "/watched/file", "x");
        // By now the worker is most likely blocked until the GUI thread runs its call: destroying must not
        // wait for it, or this would never return.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Doomed.reset();
    }
    // A second notifier's change, made after, is the point to wait for: the first one's call would have come
    // before it.
    TbsShellChangeNotifier Second(nullptr);
    Second.SetRoot(UTF8ToString(Tree.Home + "/marker"));
    Second.SetOnChange([&] { Marker = true; });
    ASSERT_TRUE(MarkUntil(Tree.Home + "/marker", [&] { return Marker; }));
    EXPECT_FALSE(Gone);
    EXPECT_TRUE(PumpUntil([&] { return TbsShellChangeThread::RunningCount() <= Baseline + 1; }));
}
