// Pictures for a person to look at: the main window's office combo box (tool-button look) with its
// drop-down open over group headers, images, a disabled row and Chinese titles, a closed combo box in the
// normal look, and an office list with lines; in every stored skin and in the default look,
// saved as artifacts/officecombo_<skin>.png beside the test programs.
#include "skin/controls/TbsSkinOfficeComboBox.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class OfficeComboGallery : public GalleryTest {
protected:
    OfficeComboGallery() : GalleryTest(560, 400) {}

    void MakeImages() {
        Images.SetSize(32, 32);
        const TColor Colours[] = {0x3050D0, 0x30A040, 0xC07020, 0x2090C0};
        for (TColor C : Colours) {
            TBitmap B(32, 32);
            Fill(B, Rect(0, 0, 32, 32), clWhite);
            Fill(B, Rect(3, 3, 29, 29), C);
            Fill(B, Rect(10, 10, 22, 22), clWhite);
            Images.Add(&B, nullptr);
        }
    }
    static void Row(TbsSkinOfficeItems* Items, const String& Title, const String& Caption, int Image,
                    bool Header = false, bool Enabled = true) {
        TbsSkinOfficeItem* I = Items->Add();
        I->SetTitle(Title);
        I->SetCaption(Caption);
        I->SetImageIndex(Image);
        I->SetHeader(Header);
        I->SetEnabled(Enabled);
    }
    static void Rows(TbsSkinOfficeItems* Items) {
        Row(Items, u"", u"视频格式 Video", -1, true);
        Row(Items, u"MP4 (*.mp4)", u"MPEG-4 视频，适合手机和网页", 0);
        Row(Items, u"AVI (*.avi)", u"常用的 AVI 视频 (Xvid)", 1);
        Row(Items, u"WMV (*.wmv)", u"暂不可用 not available", 2, false, false);
        Row(Items, u"", u"音频格式 Audio", -1, true);
        Row(Items, u"MP3 (*.mp3)", u"MP3 音频，体积小", 3);
    }

    TCustomImageList Images{nullptr};
};

TEST_P(OfficeComboGallery, OpenDropDownWithHeadersImagesAndChineseTitles) {
    MakeImages();
    auto* Tool = new TbsSkinOfficeComboBox(Form.get());
    Tool->SetParent(Form.get());
    Tool->SetBounds(20, 20, 260, 51); // as tall as the main window's choosers
    Tool->SetToolButtonStyle(true);
    Tool->SetImages(&Images);
    Tool->SetDropDownCount(4);
    Tool->SetListBoxItemHeight(50);
    Tool->SetListBoxHeaderHeight(20);
    Tool->SetListBoxShowLines(true);
    Rows(Tool->Items());
    Tool->SetSkinData(Skin);
    Tool->SetItemIndex(1);

    auto* Normal = new TbsSkinOfficeComboBox(Form.get());
    Normal->SetParent(Form.get());
    Normal->SetBounds(300, 20, 230, 44);
    Normal->SetImages(&Images);
    Normal->SetShowItemTitle(false); // one line, as the normal look's item area is laid out
    Rows(Normal->Items());
    Normal->SetSkinData(Skin);
    Normal->SetItemIndex(2);

    auto* List = new TbsSkinOfficeListBox(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(300, 90, 230, 250);
    List->SetImages(&Images);
    List->SetItemHeight(50);
    List->SetShowLines(true);
    Rows(List->Items());
    List->SetSkinData(Skin);
    List->SetItemIndex(5);
    Pump();
    Form->Repaint();
    Tool->DropDown();
    Pump();
    ASSERT_TRUE(Tool->IsPopupVisible());
    TbsPopupOfficeListBox* Drop = Tool->ListBox();
    EXPECT_NE(Drop->ScrollBar, nullptr); // 6 rows do not fit into the 4 it is sized for

    const TPoint Origin = Form->ClientToScreen(TPoint{0, 0});
    NewSheet(Form->ClientWidth(), Form->ClientHeight());
    PasteScreen(Origin, Form->ClientWidth(), Form->ClientHeight(), 0, 0);
    SaveSheet("officecombo");
    Tool->CloseUp(false);
}

INSTANTIATE_TEST_SUITE_P(Skins, OfficeComboGallery, ::testing::Range(-1, 9));

} // namespace
