// Pictures for a person to look at: the shell list view in report view and the look-in combo box dropped down
// over it, browsing a folder of Chinese names, in the default look and one of the program's stored skins, saved
// as artifacts/shell_list_<skin>.png beside the test programs.
#include "platform/shell/ShellTestTree.h"
#include "tests/skin/controls/GalleryFixture.h"

#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class ShellGallery : public GalleryTest {
protected:
    ShellGallery() : GalleryTest(640, 440) {}
    TShellTestTree Tree;
};

TEST_P(ShellGallery, ReportListWithTheLookInBoxDroppedDown) {
    const std::string Dir = Tree.Home + "/视频库";
    for (const char* F : {"会议记录.mp4", "家庭聚会.avi", "音乐会.mkv", "说明.txt", "readme.doc"})
        TShellTestTree::Write(Dir + "/" + F, std::string(5000, 'x'));
    for (const char* D : {"旅行照片", "工作资料"})
        TShellTestTree::MakeDir(Dir + "/" + D);

    auto* Combo = new TbsSkinShellComboBox(Form.get());
    Combo->SetParent(Form.get());
    Combo->SetBounds(310, 10, 300, 22);
    auto* List = new TbsSkinFileListView(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(10, 40, 600, 340);
    Combo->SetSkinData(Skin);
    Combo->ListBox()->SetSkinData(Skin);
    List->SetSkinData(Skin);
    Pump();
    List->SetShellComboBox(Combo);
    List->SetViewStyle(vsReport);
    List->SetPath(UTF8ToString(Dir));
    List->SetItemIndex(3);
    ASSERT_EQ(List->Items()->Count(), 7);
    EXPECT_EQ(Combo->Items()->Strings(Combo->ItemIndex()), u"视频库");

    Combo->ListBox()->SetBounds(0, 0, 300, 20 * 9);
    Combo->ListBox()->Show(Combo->ClientToScreen(TPoint(0, Combo->Height())));
    Pump();
    Form->Repaint();
    Pump();

    NewSheet(Form->Width(), Form->Height());
    PasteScreen(TPoint(Form->Left(), Form->Top()), Form->Width(), Form->Height(), 0, 0);
    SaveSheet("shell_list");
    Combo->ListBox()->Hide();
}

INSTANTIATE_TEST_SUITE_P(Skins, ShellGallery, ::testing::Values(-1, 2));

} // namespace
