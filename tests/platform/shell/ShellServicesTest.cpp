// The trash, the launcher and the folder change watch.
#include "platform/shell/ShellTestTree.h"

#include "platform/base/SysUtils.h"
#include "platform/shell/ShellChange.h"
#include "platform/shell/ShellLauncher.h"
#include "platform/shell/ShellTrash.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ShellTrashTest, ItemsMoveToTheTrashWithTheirNote) {
    TShellTestTree Tree;
    const std::string Item = Tree.Home + "/视频 clip.mp4";
    TShellTestTree::Write(Item, "data");
    String Error;
    ASSERT_TRUE(MoveToTrash(UTF8ToString(Item), Error)) << UTF8Encode(Error);
    const std::string Trash = Tree.Home + "/.local/share/Trash";
    EXPECT_EQ(TrashFolderFor(UTF8ToString(Tree.Home)), UTF8ToString(Trash));
    EXPECT_FALSE(fs::exists(Item));
    EXPECT_EQ(TShellTestTree::Read(Trash + "/files/视频 clip.mp4"), "data");
    const std::string Note = TShellTestTree::Read(Trash + "/info/视频 clip.mp4.trashinfo");
    const std::string Encoded = std::regex_replace(Tree.Home, std::regex("用户"), "%E7%94%A8%E6%88%B7");
    EXPECT_TRUE(std::regex_match(Note, std::regex("\\[Trash Info\\]\nPath=" + Encoded +
                                                  "/%E8%A7%86%E9%A2%91%20clip\\.mp4\n"
                                                  "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << Note;

    // A second item of the same name gets a name of its own; a folder goes whole.
    TShellTestTree::Write(Item, "again");
    TShellTestTree::Write(Tree.Home + "/dir/inner", "x");
    ASSERT_TRUE(MoveToTrash(UTF8ToString(Item), Error));
    ASSERT_TRUE(MoveToTrash(UTF8ToString(Tree.Home + "/dir"), Error));
    EXPECT_EQ(TShellTestTree::Read(Trash + "/files/视频 clip.mp4.2"), "again");
    EXPECT_TRUE(fs::exists(Trash + "/info/视频 clip.mp4.2.trashinfo"));
    EXPECT_EQ(TShellTestTree::Read(Trash + "/files/dir/inner"), "x");
}

TEST(ShellTrashTest, AFailureLeavesTheItemInPlaceAndNoNote) {
    TShellTestTree Tree;
    const std::string Item = Tree.Home + "/keep.txt";
    TShellTestTree::Write(Item, "data");
    String Error;
    // A trash that cannot be made.
    TShellTestTree::Write(Tree.Home + "/.local/share/Trash", "not a folder");
    EXPECT_FALSE(MoveToTrash(UTF8ToString(Item), Error));
    EXPECT_NE(Error, u"");
    EXPECT_EQ(TShellTestTree::Read(Item), "data");
    fs::remove(Tree.Home + "/.local/share/Trash");
    // An item that is not there, a relative name, the root.
    for (const String& Bad : {UTF8ToString(Tree.Home + "/none"), String(u"keep.txt"), String(u"/")}) {
        Error.clear();
        EXPECT_FALSE(MoveToTrash(Bad, Error)) << UTF8Encode(Bad);
        EXPECT_NE(Error, u"");
    }
    EXPECT_TRUE(!fs::exists(Tree.Home + "/.local/share/Trash/info") ||
                fs::is_empty(Tree.Home + "/.local/share/Trash/info"));
    EXPECT_EQ(TShellTestTree::Read(Item), "data");
}

TEST(ShellLauncherTest, TheChildRunsInTheGivenFolderWithoutAShell) {
    TShellTestTree Tree;
    const String Before = GetCurrentDir();
    String Error;
    // "touch" makes its argument relative to its own current folder; the ";" would split a shell line.
    TProcessLauncher Touch(u"touch");
    ASSERT_TRUE(Touch.Open(u"made; by touch", UTF8ToString(Tree.Home), Error)) << UTF8Encode(Error);
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(Tree.Home + "/made; by touch") && std::chrono::steady_clock::now() < Deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(Tree.Home + "/made; by touch"));
    EXPECT_EQ(GetCurrentDir(), Before);

    EXPECT_FALSE(TProcessLauncher(u"qv-no-such-program").Open(u"x", u"", Error));
    EXPECT_NE(Error.find(u"qv-no-such-program"), String::npos);
}

TEST(ShellLauncherTest, TheLauncherIsReplaceable) {
    struct TRecorder : TShellLauncher {
        std::vector<String>* Log;
        bool Open(const String& Target, const String& Dir, String&) override {
            Log->push_back(Target + u" in " + Dir);
            return true;
        }
    };
    std::vector<String> Log;
    auto R = std::make_unique<TRecorder>();
    R->Log = &Log;
    std::unique_ptr<TShellLauncher> Old = SetShellLauncher(std::move(R));
    String Error;
    EXPECT_TRUE(ShellLauncher().Open(u"/a/b.mp4", u"/a", Error));
    SetShellLauncher(std::move(Old));
    EXPECT_EQ(Log, (std::vector<String>{u"/a/b.mp4 in /a"}));
}

TEST(FolderChangeWatchTest, FilterBitsMapToInotifyEvents) {
    EXPECT_EQ(ChangeFilterToInotifyMask(FILE_NOTIFY_CHANGE_FILE_NAME),
              std::uint32_t(IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO));
    EXPECT_EQ(ChangeFilterToInotifyMask(FILE_NOTIFY_CHANGE_SECURITY), std::uint32_t(IN_ATTRIB));
    EXPECT_EQ(ChangeFilterToInotifyMask(FILE_NOTIFY_CHANGE_SIZE), std::uint32_t(IN_MODIFY));
    EXPECT_EQ(ChangeFilterToInotifyMask(FILE_NOTIFY_CHANGE_LAST_WRITE), std::uint32_t(IN_MODIFY | IN_CLOSE_WRITE));
    EXPECT_EQ(ChangeFilterToInotifyMask(0), 0u);
}

TEST(FolderChangeWatchTest, ChangesBelowAndWakeUps) {
    TShellTestTree Tree;
    TShellTestTree::MakeDir(Tree.Home + "/sub");
    TFolderChangeWatch Watch;
    EXPECT_FALSE(Watch.Open(UTF8ToString(Tree.Home + "/missing"), false, FILE_NOTIFY_CHANGE_FILE_NAME));
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrFailed);
    ASSERT_TRUE(Watch.Open(UTF8ToString(Tree.Home), true, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME));
    TShellTestTree::Write(Tree.Home + "/sub/new.txt", "x");
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrChange);
    // A folder made later is watched from the wait that saw it come.
    TShellTestTree::MakeDir(Tree.Home + "/later");
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrChange);
    TShellTestTree::Write(Tree.Home + "/later/file", "x");
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrChange);
    std::thread Waker([&] { Watch.Wake(); });
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrWake);
    Waker.join();

    // Without the subtree, a change below is not one; the wake-up marks the end of the wait.
    ASSERT_TRUE(Watch.Open(UTF8ToString(Tree.Home), false, FILE_NOTIFY_CHANGE_FILE_NAME));
    TShellTestTree::Write(Tree.Home + "/sub/other.txt", "x");
    Watch.Wake();
    EXPECT_EQ(Watch.Wait(), TFolderChangeWatch::wrWake);
}
