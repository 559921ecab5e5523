// Pictures for a person to look at: a scroll box scrolled inside larger content with both of its bars, and the
// About form's two link labels, the second one hovered (glowing); in every stored skin and in
// the default look, saved as artifacts/scrollbox_links_<skin>.png beside the test programs.
#include "skin/controls/TbsSkinLinkLabel.h"
#include "skin/controls/TbsSkinPanel.h"
#include "skin/controls/TbsSkinScrollBox.h"
#include "skin/controls/TbsSkinStdLabel.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class ScrollBoxLinkGallery : public GalleryTest {
protected:
    ScrollBoxLinkGallery() : GalleryTest(560, 330) {}

    TbsSkinLinkLabel* Link(const String& Text, int Y) {
        auto* L = new TbsSkinLinkLabel(Form.get());
        L->SetParent(Form.get());
        L->SetAutoSize(false);
        L->SetAlignment(taCenter);
        L->SetBounds(320, Y, 210, 34);
        L->SetGlowEffect(true);
        L->SetGlowSize(6);
        L->SetCaption(Text);
        L->SetURL(u"http://www.example.com/");
        L->SetSkinData(Skin);
        return L;
    }
};

TEST_P(ScrollBoxLinkGallery, ScrollBoxWithBothBarsAndTwoLinksOneHovered) {
    auto* VBar = new TbsSkinScrollBar(Form.get());
    VBar->SetKind(sbVertical);
    VBar->SetSkinDataName(u"vscrollbar");
    VBar->SetParent(Form.get());
    VBar->SetBounds(260, 20, 19, 240);
    auto* HBar = new TbsSkinScrollBar(Form.get());
    HBar->SetSkinDataName(u"hscrollbar");
    HBar->SetParent(Form.get());
    HBar->SetBounds(20, 260, 259, 19); // its right end is the corner under the vertical bar
    auto* Box = new TbsSkinScrollBox(Form.get());
    Box->SetParent(Form.get());
    Box->SetBounds(20, 20, 240, 240);
    Box->SetSkinData(Skin);
    VBar->SetSkinData(Skin);
    HBar->SetSkinData(Skin);
    auto* Content = new TbsSkinPanel(Box);
    Content->SetParent(Box);
    Content->SetBounds(0, 0, 420, 380);
    Content->SetCaptionMode(true);
    Content->SetCaption(u"预览 Preview — 滚动内容");
    Content->SetSkinData(Skin);
    for (int I = 0; I < 9; ++I) {
        auto* Cell = new TbsSkinPanel(Box);
        Cell->SetParent(Content);
        Cell->SetBounds(20 + (I % 3) * 135, 40 + (I / 3) * 110, 120, 95);
        Cell->SetCaptionMode(true);
        Cell->SetCaption(u"区域 " + IntToStr(I + 1));
        Cell->SetSkinData(Skin);
        auto* Text = new TbsSkinStdLabel(Box);
        Text->SetParent(Cell);
        Text->SetBounds(10, 30, 100, 20);
        Text->SetCaption(u"区域 " + IntToStr(I + 1) + u" area");
        Text->SetSkinData(Skin);
    }
    Box->SetVScrollBar(VBar);
    Box->SetHScrollBar(HBar);
    Box->VScroll(60);
    Box->HScroll(40);
    EXPECT_TRUE(VBar->Visible());
    EXPECT_TRUE(HBar->Visible());
    EXPECT_TRUE(HBar->Both());

    Link(u"www.quorvane.example", 60);
    auto* Hovered = Link(u"support@quorvane.example", 120);
    Pump();
    Form->Repaint();
    Pump();
    const TPoint P = Hovered->ClientToScreen(TPoint{100, 16});
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_TRUE(Hovered->MouseIn());

    const TPoint Origin = Form->ClientToScreen(TPoint{0, 0});
    NewSheet(Form->ClientWidth(), Form->ClientHeight());
    PasteScreen(Origin, Form->ClientWidth(), Form->ClientHeight(), 0, 0);
    SaveSheet("scrollbox_links");
}

INSTANTIATE_TEST_SUITE_P(Skins, ScrollBoxLinkGallery, ::testing::Range(-1, 9));

} // namespace
