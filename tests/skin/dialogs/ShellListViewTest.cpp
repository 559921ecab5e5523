#include "platform/shell/ShellTestTree.h"
#include "tests/support/UiFixture.h"

#include "platform/shell/ShellIcons.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Column clicks and the end of label editing, as the view's own handlers receive them.
class TTestListView : public TbsSkinFileListView {
public:
    using TbsCustomShellListView::ColClick;
    using TbsCustomShellListView::Edit;
    using TbsSkinFileListView::TbsSkinFileListView;
};

// Runs the GUI thread's synchronised calls until Done holds (every wait is for a change that was made).
bool PumpUntil(const std::function<bool()>& Done) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        CheckSynchronize(10);
        ProcessPendingMessages();
    }
    return true;
}

class ShellListViewTest : public uitest::FormTest {
protected:
    ShellListViewTest() : uitest::FormTest(600, 400) {}
    void SetUp() override {
        uitest::FormTest::SetUp();
        Dir = Tree.Home + "/视频";
        for (const char* F : {"clip.avi", "notes.txt", "report.doc", "README", "song.aiff"})
            TShellTestTree::Write(Dir + "/" + F, "x");
        TShellTestTree::Write(Dir + "/small.bin", std::string(3000, 'x'));
        // A sparse file just above 4 GiB.
        const int Fd = open((Dir + "/big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(Fd, 0);
        ASSERT_EQ(ftruncate(Fd, (std::int64_t(1) << 32) + 10), 0);
        close(Fd);
        TShellTestTree::MakeDir(Dir + "/文件夹");
        TShellTestTree::MakeDir(Dir + "/b_dir");
        List = new TTestListView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(10, 10, 560, 340);
        Pump();
    }
    String Path(const std::string& Rest = {}) const { return UTF8ToString(Dir + Rest); }
    std::vector<String> Names() const {
        std::vector<String> V;
        for (int I = 0; I < List->FolderCount(); ++I)
            V.push_back(List->GetFolder(I)->DisplayName());
        return V;
    }

    TShellTestTree Tree;
    std::string Dir;
    TTestListView* List = nullptr;
};

} // namespace

TEST_F(ShellListViewTest, StartsAtTheDesktopAndListsAFolderFoldersFirst) {
    EXPECT_EQ(List->Root(), u"rfDesktop");
    EXPECT_FALSE(Names().empty());
    EXPECT_EQ(List->GetFolder(0)->DisplayName(), u"Home");
    List->SetPath(Path());
    EXPECT_EQ(List->Path(), Path());
    EXPECT_EQ(Names(), (std::vector<String>{u"b_dir", u"文件夹", u"big.bin", u"clip.avi", u"notes.txt", u"README",
                                            u"report.doc", u"small.bin", u"song.aiff"}));
    EXPECT_EQ(List->Items()->Count(), 9);
    try {
        List->SetPath(u"/no/such/folder");
        ADD_FAILURE() << "no error";
    } catch (const EInvalidPath& E) {
        EXPECT_EQ(E.Message(), u"Error setting path: \"/no/such/folder\"");
    }
    EXPECT_EQ(List->Path(), Path());
}

TEST_F(ShellListViewTest, MasksPickTheFilesFoldersAlwaysShow) {
    List->SetPath(Path());
    struct Case {
        const char16_t* Mask;
        std::vector<String> Files;
    };
    const Case Cases[] = {
        {u"*.txt;*.doc", {u"notes.txt", u"report.doc"}},
        {u"README", {}}, // a pattern without a dot hides every file
        {u"*", {u"big.bin", u"clip.avi", u"notes.txt", u"README", u"report.doc", u"small.bin", u"song.aiff"}},
        {u"*.AVI", {u"clip.avi"}},
        {u" *.aiff", {}},
        {u"Video|*.avi|Text|*.txt", {u"clip.avi", u"notes.txt"}},
        {u"", {}},
    };
    for (const Case& C : Cases) {
        List->SetMask(C.Mask);
        std::vector<String> Want = {u"b_dir", u"文件夹"};
        Want.insert(Want.end(), C.Files.begin(), C.Files.end());
        EXPECT_EQ(Names(), Want) << UTF8Encode(String(C.Mask));
    }
}

TEST_F(ShellListViewTest, ReportColumnsStopAtTheFirstColumnNotShownByDefault) {
    List->SetPath(Path());
    List->SetViewStyle(vsReport);
    std::vector<String> Captions;
    for (int I = 0; I < List->ColumnCount(); ++I)
        Captions.push_back(List->Columns(I)->Caption());
    EXPECT_EQ(Captions, (std::vector<String>{u"Name", u"Size", u"Type", u"Modified"}));
    EXPECT_EQ(List->Columns(1)->Alignment(), taRightJustify);
    // A report row asks for its details.
    TListItem* Row = List->Items()->Item(2);
    EXPECT_EQ(Row->Caption(), u"big.bin");
    ASSERT_EQ(Row->SubItems()->Count(), 3);
    EXPECT_EQ(Row->SubItems()->Strings(1), u"BIN File");
}

TEST_F(ShellListViewTest, ColumnSortsAscendingThenDescendingWithFoldersFirst) {
    List->SetPath(Path());
    List->SetViewStyle(vsReport);
    List->ColClick(List->Columns(1));
    EXPECT_EQ(List->SortColumn(), 1);
    EXPECT_FALSE(List->SortDescending());
    const std::vector<String> Ascending = {u"b_dir",      u"文件夹",    u"clip.avi",  u"notes.txt", u"README",
                                           u"report.doc", u"song.aiff", u"small.bin", u"big.bin"};
    EXPECT_EQ(Names(), Ascending);
    List->ColClick(List->Columns(1));
    EXPECT_TRUE(List->SortDescending());
    EXPECT_EQ(Names(), std::vector<String>(Ascending.rbegin(), Ascending.rend()));
    // By name, ignoring case; another column starts ascending again.
    List->ColClick(List->Columns(0));
    EXPECT_FALSE(List->SortDescending());
    EXPECT_EQ(Names(), (std::vector<String>{u"b_dir", u"文件夹", u"big.bin", u"clip.avi", u"notes.txt", u"README",
                                            u"report.doc", u"small.bin", u"song.aiff"}));
    // A new listing sorts in the shell's order again.
    List->Refresh();
    EXPECT_EQ(Names().front(), u"b_dir");
    EXPECT_EQ(Names()[2], u"big.bin");
}

TEST_F(ShellListViewTest, WithFewerThanFourColumnsOnlyTheFirstSorts) {
    List->SetPath(Path());
    List->SetViewStyle(vsReport);
    while (List->ColumnCount() > 2)
        List->DeleteColumn(List->ColumnCount() - 1);
    List->ColClick(List->Columns(1));
    EXPECT_EQ(List->SortColumn(), -1);
    List->ColClick(List->Columns(0));
    EXPECT_EQ(List->SortColumn(), 0);
}

TEST_F(ShellListViewTest, AFileGoneBeforeASortRaisesAndTheListStaysUsable) {
    List->SetPath(Path());
    List->SetViewStyle(vsReport);
    const std::vector<String> Before = Names();
    std::filesystem::remove(Dir + "/clip.avi");
    try {
        List->ColClick(List->Columns(1));
        ADD_FAILURE() << "no error";
    } catch (const EInvalidPath& E) {
        EXPECT_EQ(E.Message().substr(0, 48), u"Unable to retrieve folder details for \"clip.avi\"");
    }
    EXPECT_EQ(Names(), Before);
    EXPECT_EQ(List->SortColumn(), -1);
    List->Refresh();
    List->ColClick(List->Columns(1));
    EXPECT_EQ(Names().back(), u"big.bin");
}

TEST_F(ShellListViewTest, BackStopsAtTheDesktopAndRefreshKeepsTheRow) {
    int Changes = 0;
    List->OnPathChanged = [&](TObject*) { ++Changes; };
    const String Desktop = List->Path();
    List->Back();
    EXPECT_EQ(List->Path(), Desktop);
    EXPECT_EQ(Changes, 0);

    List->SetPath(Path());
    EXPECT_EQ(Changes, 1);
    List->Back();
    EXPECT_EQ(List->Path(), UTF8ToString(Tree.Home));
    List->SetPath(Path());
    const int Last = List->Items()->Count() - 1;
    List->SetItemIndex(Last);
    List->Refresh();
    EXPECT_EQ(List->ItemIndex(), Last);
    // The row gone, nothing is selected.
    std::filesystem::remove(Dir + "/song.aiff");
    List->Refresh();
    EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(ShellListViewTest, TypingSelectsTheNextMatchAndWraps) {
    List->SetPath(Path());
    auto Type = [&](std::u16string Text) {
        for (char16_t C : Text) {
            const WPARAM Vk = WPARAM(C >= u'a' ? C - 32 : C);
            SendMessageW(List->Handle(), WM_KEYDOWN, Vk, 0);
            SendMessageW(List->Handle(), WM_CHAR, WPARAM(C), 0);
            SendMessageW(List->Handle(), WM_KEYUP, Vk, 0);
        }
        Pump();
    };
    List->SetItemIndex(5); // README, which the search starts after
    List->SetItemFocused(List->Items()->Item(5));
    Type(u"r");
    EXPECT_EQ(List->ItemIndex(), 6); // report.doc, after the current row
    Wait(2000);
    Type(u"B");
    EXPECT_EQ(List->ItemIndex(), 0); // wrapped to b_dir
    Wait(2000);
    Type(u"no");
    EXPECT_EQ(List->ItemIndex(), 4);
}

TEST_F(ShellListViewTest, EnterAndDoubleClickOpenFoldersAndBackspaceGoesBack) {
    List->SetPath(Path());
    List->SetFocus();
    List->SetItemIndex(1);
    Key(VK_RETURN);
    EXPECT_EQ(List->Path(), Path("/文件夹"));
    Key(VK_BACK);
    EXPECT_EQ(List->Path(), Path());
    // A file: Enter lists nothing new.
    List->SetItemIndex(3);
    Key(VK_RETURN);
    EXPECT_EQ(List->Path(), Path());

    int DoubleClicks = 0;
    List->OnDblClick = [&](TObject*) { ++DoubleClicks; };
    List->SetItemIndex(0);
    const TRect R = List->ItemRect(0, drLabel);
    const TPoint P = List->ClientToScreen(TPoint(R.Left + 3, R.Top + R.Height() / 2));
    InjectClick(P.X, P.Y);
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_EQ(List->Path(), Path("/b_dir"));
    EXPECT_EQ(DoubleClicks, 1);
}

TEST_F(ShellListViewTest, BackspaceWhileRenamingEditsTheLabel) {
    List->SetPath(Path());
    List->SetItemIndex(3);
    bool Handled = false;
    List->ExecuteCommand(u"rename", Handled);
    EXPECT_TRUE(Handled);
    ASSERT_TRUE(List->IsEditing());
    SendMessageW(List->Handle(), WM_KEYDOWN, VK_BACK, 0);
    Pump();
    EXPECT_EQ(List->Path(), Path());
    Key(VK_ESCAPE);
    EXPECT_FALSE(List->IsEditing());
}

TEST_F(ShellListViewTest, RenamingInPlaceRenamesTheFile) {
    List->SetPath(Path());
    const int Row = 4; // notes.txt
    ASSERT_EQ(List->GetFolder(Row)->DisplayName(), u"notes.txt");
    String Edited;
    List->OnEdited = [&](TObject*, TListItem*, String& S) { Edited = S; };
    List->Edit(Row, u"笔记.txt", false);
    EXPECT_EQ(Edited, u"笔记.txt");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(Dir + "/笔记.txt")));
    EXPECT_FALSE(std::filesystem::exists(Dir + "/notes.txt"));
    EXPECT_EQ(List->GetFolder(Row)->DisplayName(), u"笔记.txt");
    EXPECT_EQ(List->Items()->Item(Row)->Caption(), u"笔记.txt");
    // A refused name raises and keeps the item.
    EXPECT_THROW(List->Edit(Row, u"clip.avi", false), Exception);
    EXPECT_EQ(List->GetFolder(Row)->DisplayName(), u"笔记.txt");
    // Cancelled or empty: nothing.
    List->Edit(Row, u"x.txt", true);
    List->Edit(Row, u"", false);
    EXPECT_EQ(List->GetFolder(Row)->DisplayName(), u"笔记.txt");
}

TEST_F(ShellListViewTest, OpenNeverChangesTheCurrentFolder) {
    List->SetPath(Path());
    List->SetItemIndex(3);
    const String Before = GetCurrentDir();
    bool Handled = false;
    List->ExecuteCommand(u"open", Handled);
    EXPECT_FALSE(Handled);
    List->CommandCompleted(u"open", true);
    EXPECT_EQ(GetCurrentDir(), Before);
}

TEST_F(ShellListViewTest, AutoRefreshShowsAFileCreatedOnDisk) {
    List->SetPath(Path());
    List->SetAutoRefresh(true);
    ASSERT_NE(List->Notifier(), nullptr);
    EXPECT_EQ(List->Notifier()->Root(), Path());
    // The watcher opens its watch on its own time: new files come until one is listed.
    int N = 0;
    auto Next = std::chrono::steady_clock::now();
    EXPECT_TRUE(PumpUntil([&] {
        if (std::chrono::steady_clock::now() >= Next) {
            TShellTestTree::Write(Dir + "/新文件" + std::to_string(N++) + ".txt", "x");
            Next += std::chrono::milliseconds(100);
        }
        for (const String& Name : Names())
            if (Name.substr(0, 3) == u"新文件")
                return true;
        return false;
    }));
    List->SetAutoRefresh(false);
    EXPECT_EQ(List->Notifier(), nullptr);
}
