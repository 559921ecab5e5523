// Pictures for a person to look at: an open combo box drop-down with Chinese items over its form, and button
// edits with image buttons, in every stored skin and in the default look, saved as
// artifacts/combo_dropdown_<skin>.png and artifacts/button_edits_<skin>.png beside the test programs.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class ComboEditGallery : public GalleryTest {
protected:
    ComboEditGallery() : GalleryTest(360, 260) {}
};

TEST_P(ComboEditGallery, OpenDropDownOverItsForm) {
    auto* Fixed = new TbsSkinComboBox(Form.get());
    Fixed->SetParent(Form.get());
    Fixed->SetBounds(20, 20, 200, 20);
    for (const char16_t* S :
         {u"原始大小", u"320x240 (QVGA)", u"640x480 (VGA)", u"720x576 (PAL 标清)", u"1280x720 (高清 HD)",
          u"1920x1080 (全高清)", u"自定义尺寸", u"Row 8", u"Row 9", u"Row 10"})
        Fixed->Items()->Add(S);
    Fixed->SetSkinData(Skin);
    Fixed->SetItemIndex(2);
    auto* Editable = new TbsSkinComboBox(Form.get());
    Editable->SetParent(Form.get());
    Editable->SetBounds(240, 20, 100, 20);
    Editable->SetStyle(bscbEditStyle);
    Editable->Items()->Add(u"自动");
    Editable->SetSkinData(Skin);
    Editable->SetItemIndex(0);
    auto* Tool = new TbsSkinComboBox(Form.get());
    Tool->SetParent(Form.get());
    Tool->SetBounds(240, 60, 100, 24);
    Tool->SetToolButtonStyle(true);
    Tool->Items()->Add(u"工具按钮");
    Tool->SetSkinData(Skin);
    Tool->SetItemIndex(0);
    Pump();
    Fixed->SetFocus();
    Fixed->DropDown();
    // The hot row moves; the box keeps showing the committed one.
    TbsListBox* Inner = Fixed->ListBox()->ListBox;
    const TRect Row = Inner->ItemRect(4);
    const TPoint P = Inner->ClientToScreen(TPoint{10, (Row.Top + Row.Bottom) / 2});
    InjectMouseMove(P.X, P.Y);
    Pump();
    Form->Repaint();
    Pump();
    ASSERT_TRUE(Fixed->IsPopupVisible());
    EXPECT_EQ(Fixed->ListBox()->ItemIndex(), 4);
    RECT F;
    GetWindowRect(Form->Handle(), &F);
    NewSheet(F.Right - F.Left + 20, F.Bottom - F.Top + 20);
    PasteScreen(TPoint{F.Left, F.Top}, F.Right - F.Left, F.Bottom - F.Top, 10, 10);
    SaveSheet("combo_dropdown");
}

TEST_P(ComboEditGallery, ButtonEditsWithImageButtons) {
    TCustomImageList Images(nullptr);
    Images.SetSize(16, 16);
    const TColor Colours[] = {0x3050D0, 0x30A040, 0xC07020};
    for (TColor C : Colours) {
        TBitmap B(16, 16);
        Fill(B, Rect(0, 0, 16, 16), clWhite);
        Fill(B, Rect(3, 3, 13, 13), C);
        Images.Add(&B, nullptr);
    }
    struct Row {
        const char16_t* Text;
        bool Button;
        int Left, Right;
        bool Enabled;
    } Rows[] = {{u"C:/视频/输出文件夹", true, -1, -1, true},
                {u"搜索 search", true, 0, -1, true},
                {u"左右图像按钮 both images", true, 0, 1, true},
                {u"无按钮 plain edit", false, -1, 2, true},
                {u"禁用 disabled", true, 0, 1, false}};
    int Y = 20;
    for (const Row& R : Rows) {
        auto* E = new TbsSkinEdit(Form.get());
        E->SetParent(Form.get());
        E->SetButtonMode(R.Button);
        E->SetSkinDataName(R.Button ? u"buttonedit" : u"edit");
        E->SetBounds(20, Y, 300, 22);
        E->SetImages(&Images);
        E->SetLeftImageIndex(R.Left);
        E->SetRightImageIndex(R.Right);
        E->SetText(R.Text);
        E->SetSkinData(Skin);
        E->SetEnabled(R.Enabled);
        Y += E->Height() + 12;
    }
    Pump();
    Form->Repaint();
    Pump();
    RECT F;
    GetWindowRect(Form->Handle(), &F);
    NewSheet(F.Right - F.Left + 20, F.Bottom - F.Top + 20);
    PasteScreen(TPoint{F.Left, F.Top}, F.Right - F.Left, F.Bottom - F.Top, 10, 10);
    SaveSheet("button_edits");
}

INSTANTIATE_TEST_SUITE_P(Skins, ComboEditGallery, ::testing::Range(-1, 9));

} // namespace
