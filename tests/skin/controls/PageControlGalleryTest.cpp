// Galleries for a person to look at: the skinned page control with tabs on all four sides, close buttons, a
// hot tab, the tab scroller and Chinese captions, once per stored skin of the program and once in the default
// look, saved as artifacts/tabs_<n>.png beside the test programs.
#include "skin/controls/bsSkinTabs.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace ctltest;

namespace {

constexpr int CellW = 280;
constexpr int CellH = 250;
constexpr int CtlW = 260;
constexpr int CtlH = 220;

class PageControlGallery : public GalleryTest {
protected:
    void SetUp() override {
        GalleryTest::SetUp();
        NewSheet(CellW * 3, CellH * 2);
        Images = new TImageList(Form.get(), 16, 16);
        TBitmap Icon(16, 16);
        Fill(Icon, Rect(0, 0, 16, 16), TColor(0x3080E0));
        Fill(Icon, Rect(4, 4, 12, 12), TColor(0xFFFFFF));
        Images->Add(&Icon, nullptr);
        Pump();
    }
    TbsSkinPageControl* Place(TTabPosition Pos, int W = CtlW) {
        auto* P = new TbsSkinPageControl(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(20, 20, W, CtlH);
        const char16_t* Captions[] = {u"常规", u"视频设置", u"音频", u"Advanced"};
        for (int I = 0; I < 4; ++I) {
            auto* S = new TbsSkinTabSheet(Form.get());
            S->SetPageControl(P);
            S->SetCaption(Captions[I]);
            S->SetImageIndex(I == 0 ? 0 : -1);
        }
        P->SetTabPosition(Pos);
        P->SetImages(Images);
        P->SetShowCloseButtons(true);
        P->SetSkinData(Skin);
        P->SetActivePageIndex(1);
        Pump();
        return P;
    }
    void HoverTab(TbsSkinPageControl* P, int I) {
        const TRect R = P->GetTabRect(I);
        const TPoint S = P->ClientToScreen(TPoint{R.Left + 6, R.Top + 6});
        InjectMouseMove(S.X, S.Y);
        Pump();
    }
    void Shot(TControl* C, int Row, int Col, const String& Label) {
        Pump();
        const TPoint P = C->ClientToScreen(TPoint{0, 0});
        const int W = C->Width(), H = C->Height();
        const int X0 = Col * CellW + 10, Y0 = Row * CellH + 22;
        PasteScreen(P, W, H, X0, Y0);
        Sheet.Canvas()->Font()->SetName(u"Liberation Sans");
        Sheet.Canvas()->Font()->SetHeight(-12);
        Sheet.Canvas()->Font()->SetColor(clBlack);
        Sheet.Canvas()->Brush()->SetStyle(bsClear);
        Sheet.Canvas()->TextOut(X0, Row * CellH + 4, Label);
    }

    TImageList* Images = nullptr;
};

TEST_P(PageControlGallery, TabsOnEverySide) {
    struct Cell {
        TTabPosition Pos;
        const char16_t* Label;
        bool Horizontal;
        int Width;
    };
    const Cell Cells[] = {{tpTop, u"top, tab 3 hot", false, CtlW}, {tpBottom, u"bottom, tab 3 hot", false, CtlW},
                          {tpTop, u"top, scroller", false, 200},   {tpLeft, u"left", false, CtlW},
                          {tpRight, u"right", false, CtlW},        {tpLeft, u"left, text horizontal", true, CtlW}};
    for (int I = 0; I < 6; ++I) {
        TbsSkinPageControl* P = Place(Cells[I].Pos, Cells[I].Width);
        P->SetTextInHorizontal(Cells[I].Horizontal);
        if (Cells[I].Horizontal)
            P->SetTabHeight(84); // level captions need wide tabs

        if (I < 2)
            HoverTab(P, 2);
        if (I == 2)
            EXPECT_NE(P->SkinUpDown(), nullptr);
        Shot(P, I / 3, I % 3, Cells[I].Label);
        InjectMouseMove(2, 2);
        delete P;
        Pump();
    }
    SaveSheet("tabs");
}

INSTANTIATE_TEST_SUITE_P(Skins, PageControlGallery, ::testing::Range(-1, 9));

// Tabs at the bottom hang from the page: their face is the top tab's turned upside down, so a slanted tab narrows
// away from the page on either side. The left end of a tab beside the chosen one holds only its face.
class SlantedTabs : public GalleryTest {
protected:
    std::vector<std::vector<COLORREF>> TabEnd(TTabPosition Pos) {
        auto* P = new TbsSkinPageControl(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(20, 20, 300, 160);
        for (const char16_t* Caption : {u"常规", u"视频", u"音频"}) {
            auto* S = new TbsSkinTabSheet(Form.get());
            S->SetPageControl(P);
            S->SetCaption(Caption);
        }
        P->SetTabPosition(Pos);
        P->SetSkinData(Skin);
        P->SetActivePageIndex(0);
        Pump();
        const TRect R = P->GetTabRect(2);
        std::vector<std::vector<COLORREF>> Rows;
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            Rows.emplace_back();
            for (int X = R.Left; X < R.Left + 8; ++X) {
                const TPoint S = P->ClientToScreen(TPoint{X, Y});
                Rows.back().push_back(ScreenPixel(S.X, S.Y));
            }
        }
        delete P;
        Pump();
        return Rows;
    }
};

TEST_P(SlantedTabs, BottomTabsAreTheTopTabsUpsideDown) {
    std::vector<std::vector<COLORREF>> Top = TabEnd(tpTop);
    const std::vector<std::vector<COLORREF>> Bottom = TabEnd(tpBottom);
    ASSERT_GT(Top.size(), 10u);
    EXPECT_NE(Top.front(), Top.back()); // the end is slanted: its rows differ
    std::reverse(Top.begin(), Top.end());
    EXPECT_EQ(Bottom, Top);
}

// The stored skins whose tabs slant (trapezoids) or have cut corners on one side only.
INSTANTIATE_TEST_SUITE_P(Skins, SlantedTabs, ::testing::Values(1, 3, 6));

} // namespace
