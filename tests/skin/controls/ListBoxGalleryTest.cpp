// Pictures for a person to look at: a list box with caption bar, images, both scroll bars and Chinese rows,
// and a transparent edit over a skinned face, once per stored skin of the program and once in the default
// look, saved as artifacts/listbox_<n>.png beside the test programs.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"
#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ctltest;

namespace {

class ListBoxGallery : public GalleryTest {
protected:
    ListBoxGallery() : GalleryTest(520, 300) {}
};

TEST_P(ListBoxGallery, ListBoxWithCaptionImagesBarsAndATransparentEdit) {
    TCustomImageList Images(nullptr);
    Images.SetSize(16, 16);
    const TColor Colours[] = {0x3050D0, 0x30A040, 0xC07020};
    for (TColor C : Colours) {
        TBitmap B(16, 16);
        Fill(B, Rect(0, 0, 16, 16), clWhite);
        Fill(B, Rect(2, 2, 14, 14), C);
        Images.Add(&B, nullptr);
    }
    auto* L = new TbsSkinListBox(Form.get());
    L->SetParent(Form.get());
    L->SetBounds(20, 20, 230, 200);
    L->SetCaptionMode(true);
    L->SetCaption(u"输出文件 Output");
    L->SetImages(&Images);
    L->SetHorizontalExtent(true);
    const String Rows[] = {u"视频文件 movie.avi",
                           u"音频 song.mp3",
                           u"一个很长很长的文件名称，比列表还宽 — a very long file name.mkv",
                           u"Row 4",
                           u"Row 5",
                           u"Row 6",
                           u"Row 7",
                           u"Row 8",
                           u"Row 9",
                           u"Row 10",
                           u"Row 11"};
    for (const String& R : Rows)
        L->Items()->Add(R);
    L->SetSkinData(Skin);
    L->SetItemIndex(1);

    auto* Panel = new TbsSkinCustomControl(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(280, 20, 200, 80);
    Panel->SetSkinDataName(u"panel");
    Panel->SetSkinData(Skin);
    auto* E = new TbsCustomEdit(Panel);
    E->SetParent(Panel);
    E->SetBounds(12, 30, 170, 20);
    E->SetEditTransparent(true);
    E->SetText(u"透明 transparent edit");
    // A plain edit takes no colour from the skin: it is given the skin's text colour, as a form in the skin would.
    if (GetParam() >= 0)
        E->Font()->SetColor(Skin->SkinColors()->FcBtnText);
    Pump();
    Form->Repaint();
    Pump();
    EXPECT_NE(L->ScrollBar, nullptr);
    EXPECT_NE(L->HScrollBar, nullptr);

    std::filesystem::create_directories("artifacts");
    const std::string Name = GetParam() < 0 ? "default" : "skin" + std::to_string(GetParam());
    const std::string File = "artifacts/listbox_" + Name + ".png";
    ASSERT_TRUE(SaveWindowToPng(Form->Handle(), File));
    EXPECT_TRUE(std::filesystem::exists(File));
}

INSTANTIATE_TEST_SUITE_P(Skins, ListBoxGallery, ::testing::Range(-1, 9));

} // namespace
