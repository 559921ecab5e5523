// The shell change notifier made, re-targeted and destroyed again and again while its folders change under it.
// No handler may run once its notifier is gone; at the end no worker is left and the threads and descriptors are
// back where they started.
#include "SoakFixture.h"

#include "platform/base/Threads.h"
#include "platform/shell/ShellTestTree.h"
#include "skin/dialogs/TbsShellChangeNotifier.h"

#include <memory>
#include <set>

namespace {

// Serves the GUI thread's synchronised calls until Done holds or Ms have passed.
template <typename P> bool PumpFor(int Ms, P Done) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Done() && std::chrono::steady_clock::now() < Limit)
        CheckSynchronize(1);
    return Done();
}

} // namespace

TEST(ShellNotifierSoak, MadeRetargetedAndDestroyedWithChangesInFlight) {
    TShellTestTree Tree;
    TShellTestTree::MakeDir(Tree.Home + "/first");
    TShellTestTree::MakeDir(Tree.Home + "/second");
    const int Workers = TbsShellChangeThread::RunningCount();
    soak::TSoakMeter Meter("shell change notifier");
    std::set<int> Destroyed;
    int LateCalls = 0, Calls = 0;
    const int Count = soak::Cycles(500, 100);
    for (int N = 0; N < Count; ++N) {
        {
            TbsShellChangeNotifier Notifier(nullptr);
            Notifier.SetWatchSubTree(N % 2 == 0);
            Notifier.SetRoot(UTF8ToString(Tree.Home + "/first"));
            Notifier.SetOnChange([&, N] {
                ++Calls;
                LateCalls += Destroyed.count(N) > 0;
            });
            TShellTestTree::Write(Tree.Home + "/first/a" + std::to_string(N), "x");
            // Every few cycles a change is let through to the handler before the notifier moves on.
            // The worker opens its watch on its own time, so a new file is made every 20 ms until one is seen.
            if (N % 10 == 0) {
                const int Before = Calls;
                int Marker = 0;
                auto Next = std::chrono::steady_clock::now();
                EXPECT_TRUE(PumpFor(5000,
                                    [&] {
                                        if (std::chrono::steady_clock::now() >= Next) {
                                            TShellTestTree::Write(Tree.Home + "/first/b" + std::to_string(N) + "-" +
                                                                      std::to_string(Marker++),
                                                                  "x");
                                            Next += std::chrono::milliseconds(20);
                                        }
                                        return Calls > Before;
                                    }))
                    << "cycle " << N << ": no change reached the handler";
            }
            Notifier.SetRoot(UTF8ToString(Tree.Home + "/second"));
            TShellTestTree::Write(Tree.Home + "/second/c" + std::to_string(N), "x");
            CheckSynchronize(0);
            TShellTestTree::Write(Tree.Home + "/second/d" + std::to_string(N), "x");
        }
        Destroyed.insert(N);
        CheckSynchronize(0);
    }
    // Whatever was still on its way is served now: none of it may reach a handler.
    ASSERT_TRUE(PumpFor(10000, [&] { return TbsShellChangeThread::RunningCount() <= Workers; }));
    PumpFor(200, [] { return false; });
    EXPECT_EQ(LateCalls, 0);
    EXPECT_GT(Calls, 0);
    Meter.Finish(Count, [] { CheckSynchronize(0); });
}
