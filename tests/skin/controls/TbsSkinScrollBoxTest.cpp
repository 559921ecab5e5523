// The scroll box: ranges of the two external bars from the extent of the children, growth and shrinking while
// scrolled, the both-bars corner, the frame's widths and painting, and the paint requests from outside.
#include "skin/controls/TbsSkinScrollBox.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class ScrollBoxTest : public ControlTest {
protected:
    // A host 300 x H holding a vertical bar on the right (and, on request, a horizontal one at the bottom)
    // and a frameless unskinned box over the rest, with one child of the given size at the origin.
    void Build(int H, int ChildW, int ChildH, bool WithHBar = false) {
        Host = new TCustomControl(Form.get());
        Host->SetParent(Form.get());
        Host->SetBounds(0, 0, 300, H);
        VBar = new TbsSkinScrollBar(Form.get());
        VBar->SetKind(sbVertical);
        VBar->SetParent(Host);
        VBar->SetWidth(19);
        VBar->SetAlign(alRight);
        if (WithHBar) {
            HBar = new TbsSkinScrollBar(Form.get());
            HBar->SetParent(Host);
            HBar->SetHeight(19);
            HBar->SetAlign(alBottom);
        }
        Box = new TbsSkinScrollBox(Form.get());
        Box->SetParent(Host);
        Box->SetBorderStyle(TbsSkinBorderStyle::bvNone);
        Box->SetAlign(alClient);
        Child = new TCustomControl(Box);
        Child->SetParent(Box);
        Child->SetBounds(0, 0, ChildW, ChildH);
        Box->SetVScrollBar(VBar);
        if (HBar)
            Box->SetHScrollBar(HBar);
        Pump();
    }

    TCustomControl* Host = nullptr;
    TbsSkinScrollBar* VBar = nullptr;
    TbsSkinScrollBar* HBar = nullptr;
    TbsSkinScrollBox* Box = nullptr;
    TCustomControl* Child = nullptr;
};

TEST_F(ScrollBoxTest, ABoxWithoutChildrenHasEmptyRangesAndHiddenBars) {
    Build(200, 10, 10, true);
    delete Child;
    Box->UpDateScrollRange();
    for (TbsSkinScrollBar* Bar : {VBar, HBar}) {
        EXPECT_FALSE(Bar->Visible());
        EXPECT_EQ(Bar->Min(), 0);
        EXPECT_EQ(Bar->Max(), 0);
        EXPECT_EQ(Bar->Position(), 0);
        EXPECT_EQ(Bar->PageSize(), 0);
    }
}

TEST_F(ScrollBoxTest, ContentEndingAtTheClientEdgeFits) {
    Build(260, 100, 260);
    EXPECT_EQ(Box->ClientHeight(), 260);
    EXPECT_FALSE(VBar->Visible());
    Child->SetHeight(261);
    Box->UpDateScrollRange();
    EXPECT_TRUE(VBar->Visible());
    EXPECT_EQ(VBar->Max(), 260);
    EXPECT_EQ(VBar->PageSize(), 260);
}

TEST_F(ScrollBoxTest, AGrowingBoxPullsScrolledContentDownOnce) {
    Build(260, 100, 320);
    ASSERT_TRUE(VBar->Visible());
    EXPECT_EQ(VBar->Max(), 319);
    VBar->SetPosition(60); // scrolled to the end
    EXPECT_EQ(Child->Top(), -60);
    Host->SetHeight(300);
    Pump();
    EXPECT_EQ(VBar->Position(), 20);
    EXPECT_EQ(Child->Top(), -20);
    EXPECT_EQ(Child->Top() + Child->Height(), Box->ClientHeight());
    // The growth is used up: another update moves nothing.
    Box->UpDateScrollRange();
    EXPECT_EQ(VBar->Position(), 20);
    EXPECT_EQ(Child->Top(), -20);
    // Grown so far that everything fits: back to the origin, bar hidden.
    Host->SetHeight(400);
    Pump();
    EXPECT_EQ(Child->Top(), 0);
    EXPECT_FALSE(VBar->Visible());
}

TEST_F(ScrollBoxTest, AShrinkingChildClosesTheGapAtTheEnd) {
    Build(300, 100, 400);
    VBar->SetPosition(100);
    ASSERT_EQ(VBar->Position(), 100);
    ASSERT_EQ(VBar->Max(), 399);
    Child->SetHeight(380);
    Box->UpDateScrollRange();
    EXPECT_EQ(VBar->Position(), 80);
    EXPECT_EQ(Child->Top(), -80);
    EXPECT_EQ(VBar->Max(), 379);
}

TEST_F(ScrollBoxTest, ScrollingStopsOneShortVerticallyAndAtTheBarsLimitHorizontally) {
    // Content 401 x 401 in a client 100 x 100 gives both bars Max 400 and page 100.
    Build(119, 401, 401, true);
    Host->SetWidth(119);
    Pump();
    ASSERT_EQ(Box->ClientWidth(), 100);
    ASSERT_EQ(Box->ClientHeight(), 100);
    ASSERT_EQ(VBar->Max(), 400);
    ASSERT_EQ(HBar->Max(), 400);
    Box->VScroll(1000);
    Box->HScroll(1000);
    EXPECT_EQ(VBar->Position(), 300);
    EXPECT_EQ(HBar->Position(), 301);
    EXPECT_EQ(Child->Top(), -300);
    EXPECT_EQ(Child->Left(), -301);
}

TEST_F(ScrollBoxTest, TheCornerOfTheHorizontalBarFollowsTheVerticalBar) {
    Build(200, 600, 500, true);
    EXPECT_TRUE(VBar->Visible());
    EXPECT_TRUE(HBar->Both());
    Child->SetHeight(50);
    Box->UpDateScrollRange();
    EXPECT_FALSE(VBar->Visible());
    EXPECT_FALSE(HBar->Both());
    Child->SetHeight(500);
    Box->UpDateScrollRange();
    EXPECT_TRUE(HBar->Both());
}

class ScrollBoxFrameTest : public ControlTest {
protected:
    // A "scrollbox" record over the panel face of the test skin: 4-pixel sides, a 16-pixel top.
    void AddRecord(int BGPicture) {
        auto Rec = std::make_unique<TbsDataSkinScrollBoxControl>(u"scrollbox");
        Rec->PictureIndex = 7;
        Rec->SkinRect = Rect(0, 0, 40, 40);
        Rec->LTPoint = {4, 16};
        Rec->RTPoint = {36, 16};
        Rec->LBPoint = {4, 36};
        Rec->RBPoint = {36, 36};
        Rec->ClRect = Rect(4, 16, 36, 36);
        Rec->BGPictureIndex = BGPicture;
        Skin->CtrlList.push_back(std::move(Rec));
    }
    TbsSkinScrollBox* MakeBox(TbsSkinBorderStyle Style, bool Skinned) {
        auto* B = new TbsSkinScrollBox(Form.get());
        B->SetParent(Form.get());
        B->SetBounds(10, 10, 100, 80);
        if (Skinned)
            B->SetSkinData(Skin);
        B->SetBorderStyle(Style);
        Pump();
        return B;
    }
};

TEST_F(ScrollBoxFrameTest, FrameWidthsByRecordAndStyle) {
    AddRecord(-1);
    struct Case {
        TbsSkinBorderStyle Style;
        bool Skinned;
        int W, H;
    };
    const Case Cases[] = {
        {TbsSkinBorderStyle::bvFrame, false, 98, 78}, {TbsSkinBorderStyle::bvRaised, false, 98, 78},
        {TbsSkinBorderStyle::bvNone, false, 100, 80}, {TbsSkinBorderStyle::bvFrame, true, 92, 60},
        {TbsSkinBorderStyle::bvNone, true, 100, 80},
    };
    for (const Case& C : Cases) {
        TbsSkinScrollBox* B = MakeBox(C.Style, C.Skinned);
        EXPECT_EQ(B->ClientWidth(), C.W) << int(C.Style) << C.Skinned;
        EXPECT_EQ(B->ClientHeight(), C.H) << int(C.Style) << C.Skinned;
        delete B;
    }
}

TEST_F(ScrollBoxFrameTest, FramesAndClientAsTheUserSeesThem) {
    AddRecord(-1);
    TbsSkinScrollBox* Plain = MakeBox(TbsSkinBorderStyle::bvLowered, false);
    EXPECT_EQ(ScreenPixel(Plain, -1, -1), TColor(ColorToRGB(clBtnHighlight))); // top-left of the window
    EXPECT_EQ(ScreenPixel(Plain, 98, 78), TColor(ColorToRGB(clBtnShadow)));    // bottom-right
    EXPECT_EQ(ScreenPixel(Plain, 40, 40), TColor(ColorToRGB(Plain->Color())));
    delete Plain;
    TbsSkinScrollBox* Skinned = MakeBox(TbsSkinBorderStyle::bvFrame, true);
    EXPECT_EQ(ScreenPixel(Skinned, -2, 30), cPanelRing); // the left side, outside the client
    EXPECT_EQ(ScreenPixel(Skinned, 40, -8), cPanelBar);  // the top band
    EXPECT_EQ(ScreenPixel(Skinned, 40, 30), cPanelClient);
}

TEST_F(ScrollBoxFrameTest, ABackgroundPictureReplacesTheFrameAndCoversTheBox) {
    AddRecord(5); // scroll.bmp: 100 x 40, its top-left corner is the bar's arrow face
    TbsSkinScrollBox* B = MakeBox(TbsSkinBorderStyle::bvFrame, true);
    EXPECT_EQ(B->ClientWidth(), 100);
    EXPECT_EQ(B->ClientHeight(), 80);
    EXPECT_EQ(ScreenPixel(B, 0, 0), cBarArrow);
    EXPECT_EQ(ScreenPixel(B, 0, 40), cBarArrow);    // tiled: the second row
    EXPECT_EQ(B->Perform(0xB1C9, WPARAM(1), 0), 0); // no frame to paint
}

TEST_F(ScrollBoxFrameTest, PaintRequestsFromOutside) {
    TbsSkinScrollBox* B = MakeBox(TbsSkinBorderStyle::bvFrame, false);
    TBitmap Target(100, 80);
    Fill(Target, Rect(0, 0, 100, 80), clWhite);
    const WPARAM DC = WPARAM(Target.Canvas()->Handle());
    EXPECT_EQ(B->Perform(0xB1C9, DC, 0), 12851);
    EXPECT_EQ(Target.Canvas()->Pixels(0, 0), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(Target.Canvas()->Pixels(50, 40), clWhite);
    EXPECT_EQ(B->Perform(0xBC4B, DC, 16802), 16802);
    EXPECT_NE(B->Perform(0xBC4B, DC, 16803), 16802);
    B->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    EXPECT_EQ(B->Perform(0xB1C9, DC, 0), 0);
    EXPECT_EQ(B->Perform(0xBC4B, DC, 16802), 16802);
}

TEST_F(ScrollBoxFrameTest, OnlyAFocusableBoxTakesTheFocusOnAClick) {
    TbsSkinScrollBox* B = MakeBox(TbsSkinBorderStyle::bvFrame, false);
    int Downs = 0;
    B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
    ClickOn(B, 20, 20);
    EXPECT_FALSE(B->Focused());
    EXPECT_EQ(Downs, 1);
    B->SetCanFocused(true);
    ClickOn(B, 20, 20);
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Downs, 2);
}

} // namespace
