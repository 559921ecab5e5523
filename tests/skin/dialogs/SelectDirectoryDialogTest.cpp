#include "platform/shell/ShellTestTree.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/UiFixture.h"

#include "platform/shell/ShellPlaces.h"
#include "resources/StoredSkins.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinEdit.h"
#include "skin/controls/TbsSkinSpeedButton.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsSkinData.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/TbsSkinSelectDirectoryDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace {

// Drives the picker from inside its modal loop: each step runs once the loop is idle, the last one closes it.
class SelectDirectoryDialogTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        TShellTestTree::MakeDir(Tree.Home + "/视频/旅行");
        TShellTestTree::MakeDir(Tree.Home + "/视频/.隐藏");
        TShellTestTree::MakeDir(Tree.Home + "/音乐");
        Dialog = std::make_unique<TbsSkinSelectDirectoryDialog>(nullptr);
    }
    void TearDown() override {
        Dialog.reset();
        uitest::UiTest::TearDown();
    }
    bool Run(std::vector<std::function<void(TbsSelDirDlgForm&)>> Steps) {
        std::size_t Next = 0;
        Application->OnIdle = [&, Steps](TObject*) {
            TbsSelDirDlgForm* F = Dialog->Form();
            if (F && Next < Steps.size())
                Steps[Next++](*F);
        };
        const bool Result = Dialog->Execute();
        Application->OnIdle = nullptr;
        EXPECT_EQ(Next, Steps.size());
        return Result;
    }
    static void Press(UINT Key) { InjectKeyPress(Key); }
    String Home(const std::string& Rest = {}) const { return UTF8ToString(Tree.Home + Rest); }

    TShellTestTree Tree;
    std::unique_ptr<TbsSkinSelectDirectoryDialog> Dialog;
};

} // namespace

TEST_F(SelectDirectoryDialogTest, AnEmptyDirectoryOpensAtComputerAndOkReturnsItsNonPathName) {
    EXPECT_EQ(Dialog->Title(), u"Select folder");
    std::vector<String> Log;
    Dialog->OnShow = [&](TObject*) { Log.push_back(Dialog->Form() ? u"show with form" : u"show"); };
    Dialog->OnClose = [&](TObject*) { Log.push_back(u"close"); };
    const bool Ok = Run({[&](TbsSelDirDlgForm& F) {
        TTreeNode* Sel = F.DirTreeView->Selected();
        ASSERT_NE(Sel, nullptr);
        EXPECT_EQ(Sel->Text(), u"Computer");
        EXPECT_TRUE(Sel->Expanded());
        EXPECT_EQ(F.Caption(), u"Select folder");
        EXPECT_EQ(F.OkButton->Caption(), u"OK");
        EXPECT_EQ(F.DirEdit, nullptr);
        uitest::ClickAt(F.OkButton);
    }});
    EXPECT_TRUE(Ok);
    EXPECT_FALSE(Dialog->Directory().empty());
    EXPECT_NE(Dialog->Directory()[0], u'/');
    EXPECT_EQ(Log, (std::vector<String>{u"show", u"close"}));
    EXPECT_EQ(Dialog->Form(), nullptr);
}

TEST_F(SelectDirectoryDialogTest, CancelKeepsTheDirectoryAndStoresTheClientSize) {
    Dialog->SetDirectory(Home("/视频"));
    Dialog->SetDialogWidth(330);
    const bool Ok = Run({[&](TbsSelDirDlgForm& F) {
        EXPECT_EQ(F.DirTreeView->Path(), Home("/视频"));
        EXPECT_EQ(F.ClientWidth(), 330);
        EXPECT_EQ(F.ClientHeight(), 280);
        // Hidden folders are offered.
        TTreeNode* Sel = F.DirTreeView->Selected();
        std::vector<String> Children;
        for (int I = 0; I < Sel->Count(); ++I)
            Children.push_back(Sel->Item(I)->Text());
        EXPECT_EQ(Children, (std::vector<String>{u".隐藏", u"旅行"}));
        F.SetClientWidth(350);
        uitest::ClickAt(F.CancelButton);
    }});
    EXPECT_FALSE(Ok);
    EXPECT_EQ(Dialog->Directory(), Home("/视频"));
    EXPECT_EQ(Dialog->DialogWidth(), 350);
    EXPECT_EQ(Dialog->DialogHeight(), 280);
}

TEST_F(SelectDirectoryDialogTest, TheToolStripFollowsTheTreeTakesTypedFoldersAndMakesNewOnes) {
    Dialog->SetShowToolBar(true);
    Dialog->SetDirectory(Home("/视频"));
    const bool Ok = Run({
        [&](TbsSelDirDlgForm& F) {
            ASSERT_NE(F.DirEdit, nullptr);
            EXPECT_EQ(F.DirEdit->Text(), Home("/视频"));
            F.DirTreeView->SetPath(Home("/视频/旅行"));
            EXPECT_EQ(F.DirEdit->Text(), Home("/视频/旅行"));
            uitest::ClickAt(F.NewFolderToolButton);
        },
        [&](TbsSelDirDlgForm& F) {
            EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(Tree.Home + "/视频/旅行/New Folder")));
            EXPECT_EQ(F.DirTreeView->Selected()->Count(), 1);
            uitest::ClickAt(F.NewFolderToolButton);
        },
        [&](TbsSelDirDlgForm& F) {
            EXPECT_EQ(F.DirTreeView->Selected()->Count(), 1);
            // Under Computer, which is no path, nothing is made.
            F.DirTreeView->ExpandMyComputer();
            uitest::ClickAt(F.NewFolderToolButton);
        },
        [&](TbsSelDirDlgForm& F) {
            EXPECT_EQ(F.DirTreeView->Selected()->Text(), u"Computer");
            // A typed folder and Enter: the tree goes there, and the default button takes it.
            F.DirEdit->SetFocus();
            F.DirEdit->SetText(Home("/音乐"));
            Press(VK_RETURN);
        },
    });
    EXPECT_TRUE(Ok);
    EXPECT_EQ(Dialog->Directory(), Home("/音乐"));
    int Made = 0;
    for (auto& E : std::filesystem::recursive_directory_iterator(Tree.Home))
        Made += E.path().filename() == "New Folder";
    EXPECT_EQ(Made, 1);
}

TEST_F(SelectDirectoryDialogTest, TheSizeIsRaisedToTheSkinsMinimum) {
    TbsCompressedSkinList Skins(nullptr);
    auto* Item = static_cast<TbsSkinListItem*>(Skins.Skins()->Add());
    TMemoryStream Bytes;
    Bytes.WriteBuffer(StoredSkin(0).Data, static_cast<std::int64_t>(StoredSkin(0).Size));
    Item->Skin()->LoadFromCompressStream(&Bytes);
    TbsSkinData Skin(nullptr);
    Skin.SetSkinList(&Skins);
    Skin.SetSkinIndex(0);
    ASSERT_FALSE(Skin.Empty);
    Skin.FormMinWidth = 300;
    Dialog->SetSkinData(&Skin);
    Dialog->SetCtrlSkinData(&Skin);
    Run({[&](TbsSelDirDlgForm& F) {
        EXPECT_EQ(F.ClientWidth(), 300);
        EXPECT_GE(F.ClientHeight(), 280);
        Press(VK_ESCAPE);
    }});
    EXPECT_EQ(Dialog->DialogWidth(), 300);
    Skin.SetSkinList(nullptr);
}

namespace {

// Pictures for a person to look at: the picker with its tool strip over folders of Chinese names, in two of the
// program's stored skins, saved as artifacts/select_directory_skin<n>.png beside the test programs.
class SelectDirectoryGallery : public SelectDirectoryDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(SelectDirectoryGallery, ThePickerInAStoredSkin) {
    for (const char* D : {"/视频/旅行/北京", "/视频/旅行/上海", "/视频/家庭聚会", "/文档/工作报告"})
        TShellTestTree::MakeDir(Tree.Home + D);
    TbsCompressedSkinList Skins(nullptr);
    for (int I = 0; I < StoredSkinCount(); ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(Skins.Skins()->Add());
        TMemoryStream Bytes;
        Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
        Item->Skin()->LoadFromCompressStream(&Bytes);
    }
    TbsSkinData Skin(nullptr);
    Skin.SetSkinList(&Skins);
    Skin.SetSkinIndex(GetParam());
    ASSERT_FALSE(Skin.Empty);
    Dialog->SetSkinData(&Skin);
    Dialog->SetCtrlSkinData(&Skin);
    Dialog->SetShowToolBar(true);
    Dialog->SetTitle(u"选择文件夹");
    Dialog->SetDirectory(Home("/视频/旅行"));
    Dialog->SetDialogWidth(320);
    Dialog->SetDialogHeight(340);
    const std::string File = "artifacts/select_directory_skin" + std::to_string(GetParam()) + ".png";
    Run({[&](TbsSelDirDlgForm& F) {
             F.Repaint();
             Pump();
         },
         [&](TbsSelDirDlgForm& F) {
             std::filesystem::create_directories("artifacts");
             EXPECT_TRUE(SaveWindowToPng(F.Handle(), File));
             Press(VK_ESCAPE);
         }});
    EXPECT_TRUE(std::filesystem::exists(File));
    Skin.SetSkinList(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Skins, SelectDirectoryGallery, ::testing::Values(1, 4));

} // namespace
