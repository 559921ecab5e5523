#include "platform/shell/ShellTestTree.h"
#include "tests/support/UiFixture.h"

#include "platform/shell/ShellLauncher.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

class TTestTree : public TbsSkinDirTreeView {
public:
    using TbsCustomShellTreeView::Edit;
    using TbsSkinDirTreeView::TbsSkinDirTreeView;
};

// Records what would be opened.
class TRecordingLauncher : public TShellLauncher {
public:
    explicit TRecordingLauncher(std::vector<std::pair<String, String>>& ALog) : Log(ALog) {}
    bool Open(const String& Target, const String& WorkingDir, String&) override {
        Log.emplace_back(Target, WorkingDir);
        return true;
    }
    std::vector<std::pair<String, String>>& Log;
};

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

class ShellTreeViewTest : public uitest::FormTest {
protected:
    ShellTreeViewTest() : uitest::FormTest(700, 500) {}
    void SetUp() override {
        // A drive mounted at <folder>/media/usb, in a folder of its own wherever the tests run.
        DriveRoot = Tree.MakeDriveFolder();
        ASSERT_FALSE(DriveRoot.empty());
        Usb = DriveRoot + "/media/usb";
        TShellTestTree::MakeDir(Usb + "/电影/新片");
        TShellTestTree::MakeDir(Usb + "/music");
        Tree.SetMounts("/dev/sda1 / ext4 rw 0 0\n/dev/sdd1 " + TShellTestTree::MountField(Usb) + " vfat rw 0 0\n");
        uitest::FormTest::SetUp();
        TreeView = new TTestTree(Form.get());
        TreeView->SetParent(Form.get());
        TreeView->SetBounds(10, 10, 300, 450);
        Pump();
    }
    String UsbPath(const std::string& Rest = {}) const { return UTF8ToString(Usb + Rest); }
    TTreeNode* NodeOf(const String& Path) const {
        for (TTreeNode* N = TreeView->Items()->GetFirstNode(); N; N = N->GetNext())
            if (static_cast<TbsShellFolder*>(N->Data())->PathName() == Path)
                return N;
        return nullptr;
    }
    std::vector<String> ChildTexts(TTreeNode* Node) const {
        std::vector<String> V;
        for (int I = 0; I < Node->Count(); ++I)
            V.push_back(Node->Item(I)->Text());
        return V;
    }

    TShellTestTree Tree;
    std::string DriveRoot, Usb;
    TTestTree* TreeView = nullptr;
};

} // namespace

TEST_F(ShellTreeViewTest, StartsWithTheDesktopExpandedAndSelected) {
    EXPECT_FALSE(TreeView->ShowRoot());
    TTreeNode* Top = TreeView->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->Text(), u"Desktop");
    EXPECT_TRUE(Top->Expanded());
    EXPECT_EQ(TreeView->Selected(), Top);
    EXPECT_EQ(ChildTexts(Top), (std::vector<String>{u"Home", u"Computer"}));
    // Filled only when opened.
    EXPECT_EQ(Top->Item(1)->Count(), 0);
    EXPECT_TRUE(Top->Item(1)->HasChildren());
}

TEST_F(ShellTreeViewTest, APathOnADriveExpandsTheWayAndTheSamePathMovesNothing) {
    int Changes = 0;
    TreeView->OnChange = [&](TObject*, TTreeNode*) { ++Changes; };
    TreeView->SetPath(UsbPath("/电影"));
    EXPECT_EQ(TreeView->Path(), UsbPath("/电影"));
    TTreeNode* Sel = TreeView->Selected();
    ASSERT_NE(Sel, nullptr);
    EXPECT_EQ(Sel->Text(), u"电影");
    EXPECT_TRUE(Sel->Expanded());
    for (TTreeNode* N = Sel->Parent(); N; N = N->Parent())
        EXPECT_TRUE(N->Expanded()) << UTF8Encode(N->Text());
    EXPECT_EQ(Sel->Parent()->Text(), u"usb");
    EXPECT_EQ(Sel->Parent()->Parent()->Text(), u"Computer");
    const int After = Changes;
    TTreeNode* Top = TreeView->TopItem();
    TreeView->SetPath(UsbPath("/电影"));
    EXPECT_EQ(TreeView->Selected(), Sel);
    EXPECT_EQ(TreeView->TopItem(), Top);
    EXPECT_EQ(Changes, After);
    EXPECT_THROW(TreeView->SetPath(u"/no/such"), EInvalidPath);
}

TEST_F(ShellTreeViewTest, RefreshKeepsWhatWasOpenAndDropsAFolderGoneFromDisk) {
    TreeView->SetPath(UsbPath("/电影/新片"));
    TTreeNode* Drive = NodeOf(UsbPath());
    ASSERT_NE(Drive, nullptr);
    EXPECT_EQ(ChildTexts(Drive), (std::vector<String>{u"music", u"电影"}));
    TTreeNode* Top = TreeView->TopItem();
    const String TopPath = static_cast<TbsShellFolder*>(Top->Data())->PathName();
    std::filesystem::remove(Usb + "/music");
    TreeView->Refresh(Drive);
    Drive = NodeOf(UsbPath());
    ASSERT_NE(Drive, nullptr);
    EXPECT_TRUE(Drive->Expanded());
    EXPECT_EQ(ChildTexts(Drive), std::vector<String>{u"电影"});
    EXPECT_TRUE(NodeOf(UsbPath("/电影"))->Expanded());
    EXPECT_EQ(TreeView->Path(), UsbPath("/电影/新片"));
    EXPECT_EQ(static_cast<TbsShellFolder*>(TreeView->TopItem()->Data())->PathName(), TopPath);
}

TEST_F(ShellTreeViewTest, RenamingANodeReadsItsParentAgainButTheTopNodeRefreshesNothing) {
    TreeView->SetPath(UsbPath("/电影"));
    TreeView->Edit(TreeView->Selected(), u"影片");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(Usb + "/影片/新片")));
    EXPECT_EQ(ChildTexts(NodeOf(UsbPath())), (std::vector<String>{u"music", u"影片"}));
    // A refused name raises and keeps the text.
    TTreeNode* Music = NodeOf(UsbPath("/music"));
    EXPECT_THROW(TreeView->Edit(Music, u"影片"), Exception);
    EXPECT_EQ(NodeOf(UsbPath("/music"))->Text(), u"music");

    TreeView->SetRoot(UsbPath("/影片"));
    TTreeNode* Top = TreeView->Items()->GetFirstNode();
    ASSERT_NE(Top, nullptr);
    TTreeNode* Child = Top->GetFirstChild();
    ASSERT_NE(Child, nullptr);
    TreeView->Edit(Top, u"电影");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(Usb + "/电影/新片")));
    EXPECT_EQ(TreeView->Items()->GetFirstNode(), Top);
    EXPECT_EQ(Top->GetFirstChild(), Child);
    EXPECT_EQ(Top->Text(), u"电影");
}

TEST_F(ShellTreeViewTest, AnImageListSetFromOutsideIsReplacedAtOnce) {
    const LPARAM Own = LPARAM(TreeView->ShellImages()->Handle());
    EXPECT_EQ(TreeView->Perform(TVM_GETIMAGELIST, TVSIL_NORMAL, 0), Own);
    TCustomImageList Other(nullptr);
    TreeView->Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(Other.Handle()));
    EXPECT_EQ(TreeView->Perform(TVM_GETIMAGELIST, TVSIL_NORMAL, 0), Own);
    TreeView->SetUseShellImages(false);
    EXPECT_EQ(TreeView->Perform(TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    TreeView->SetImages(&Other);
    TreeView->SetUseShellImages(true);
    EXPECT_EQ(TreeView->Perform(TVM_GETIMAGELIST, TVSIL_NORMAL, 0), LPARAM(Other.Handle()));
    TreeView->SetImages(nullptr);
}

TEST_F(ShellTreeViewTest, ExpandingAnArchiveOpensItInsteadOfListingIt) {
    TShellTestTree::MakeDir(Usb + "/x.zip/inner");
    std::vector<std::pair<String, String>> Opened;
    auto Old = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
    TreeView->SetPath(UsbPath());
    TTreeNode* Zip = NodeOf(UsbPath("/x.zip"));
    ASSERT_NE(Zip, nullptr);
    Zip->Expand(false);
    SetShellLauncher(std::move(Old));
    EXPECT_EQ(Opened, (std::vector<std::pair<String, String>>{{UsbPath("/x.zip"), UsbPath()}}));
    EXPECT_EQ(Zip->Count(), 0);
}

TEST_F(ShellTreeViewTest, TreeListAndComboFollowEachOtherWithoutLooping) {
    auto* List = new TbsSkinFileListView(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(320, 40, 360, 420);
    auto* Combo = new TbsSkinShellComboBox(Form.get());
    Combo->SetParent(Form.get());
    Combo->SetBounds(320, 10, 360, 22);
    Pump();
    TreeView->SetShellListView(List);
    TreeView->SetShellComboBox(Combo);
    List->SetShellComboBox(Combo);
    int ListMoves = 0, TreeChanges = 0;
    List->OnPathChanged = [&](TObject*) { ++ListMoves; };
    TreeView->OnChange = [&](TObject*, TTreeNode*) { ++TreeChanges; };

    TreeView->SetPath(UsbPath("/电影"));
    EXPECT_EQ(List->Path(), UsbPath("/电影"));
    EXPECT_EQ(Combo->Path(), UsbPath("/电影"));
    EXPECT_EQ(ListMoves, 1);

    List->SetPath(UsbPath("/music"));
    EXPECT_EQ(TreeView->Path(), UsbPath("/music"));
    EXPECT_EQ(Combo->Path(), UsbPath("/music"));
    EXPECT_EQ(ListMoves, 2);

    const int Home = Combo->Items()->IndexOf(u"Home");
    ASSERT_GE(Home, 0);
    Combo->SetItemIndex(Home);
    EXPECT_EQ(TreeView->Path(), UTF8ToString(Tree.Home));
    EXPECT_EQ(List->Path(), UTF8ToString(Tree.Home));
    EXPECT_EQ(ListMoves, 3);
    EXPECT_LE(TreeChanges, 3);
}

TEST_F(ShellTreeViewTest, WithAutoRefreshANewFolderAppearsUnderItsNode) {
    TreeView->SetAutoRefresh(true);
    TreeView->SetPath(UsbPath("/music"));
    ASSERT_NE(TreeView->Notifier(), nullptr);
    EXPECT_EQ(TreeView->Notifier()->Root(), UsbPath("/music"));
    int N = 0;
    auto Next = std::chrono::steady_clock::now();
    EXPECT_TRUE(PumpUntil([&] {
        if (std::chrono::steady_clock::now() >= Next) {
            TShellTestTree::MakeDir(Usb + "/music/专辑" + std::to_string(N++));
            Next += std::chrono::milliseconds(100);
        }
        TTreeNode* Music = NodeOf(UsbPath("/music"));
        return Music && Music->Count() > 0 && Music->GetFirstChild()->Text().substr(0, 2) == u"专辑";
    }));
    TreeView->SetAutoRefresh(false);
}
