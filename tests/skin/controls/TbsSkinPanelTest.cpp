// The skinned panel, paint panel and group box: the default look's caption bar geometry, the skinned faces and
// caption, roll-up and unroll (also across a skin change), the check box that enables the children, the
// transparent group-box outline, and faces without area.
#include "skin/controls/bsSkinCtrls.h"

#include "platform/gdi/WinText.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ctltest;

namespace {

class SkinPanel : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        RegisterFixedMetricFont(u"QvBlocks");
    }
    // A panel without a record, its caption in the block font (12 high: blocks 5 wide, 9 high, 6 apart).
    TbsSkinPanel* DefaultPanel(int W = 150, int H = 100) {
        auto* P = Make<TbsSkinPanel>(u"", 10, 10, W, H);
        P->DefaultFont()->SetName(u"QvBlocks");
        P->DefaultFont()->SetHeight(12);
        P->DefaultFont()->SetColor(clBlack);
        return P;
    }
    static TColor At(TBitmap& B, int X, int Y) { return Rgb(B.Canvas()->Pixels(X, Y)); }
    static TColor Rgb(TColor C) { return TColor(ColorToRGB(C)); }
    // How many pixels of Area differ from C.
    static int Others(TBitmap& B, TColor C, const TRect& Area) {
        int N = 0;
        for (int Y = Area.Top; Y < Area.Bottom; ++Y)
            for (int X = Area.Left; X < Area.Right; ++X)
                N += At(B, X, Y) != Rgb(C);
        return N;
    }
    // The bounding box of the pixels of colour C inside Area of B (empty when there are none).
    static TRect BoxOf(TBitmap& B, TColor C, const TRect& Area) {
        TRect R{Area.Right, Area.Bottom, Area.Left, Area.Top};
        for (int Y = Area.Top; Y < Area.Bottom; ++Y)
            for (int X = Area.Left; X < Area.Right; ++X)
                if (ColorToRGB(B.Canvas()->Pixels(X, Y)) == ColorToRGB(C)) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R.Right > R.Left ? R : TRect();
    }
    std::unique_ptr<TBitmap> Painted(TControl* C) { return uitest::PaintToBitmap(*C); }
};

TEST_F(SkinPanel, DefaultCaptionBarGeometry) {
    TbsSkinPanel* P = DefaultPanel();
    P->SetBorderStyle(TbsSkinBorderStyle::bvRaised);
    P->SetCaptionMode(true);
    P->SetCheckedMode(true);
    P->SetRollUpMode(true);
    P->SetChecked(true);
    P->SetCaption(u"AB");
    const int W = P->Width();
    auto B = Painted(P);
    // The bar's outer frame (1,1)-(W-1,22): shadow above and left, highlight below and right.
    EXPECT_EQ(At(*B, 1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(At(*B, 1, 20), Rgb(clBtnShadow));
    EXPECT_EQ(At(*B, 5, 21), Rgb(clBtnHighlight));
    EXPECT_EQ(At(*B, W - 2, 5), Rgb(clBtnHighlight));
    // Its inner frame (2,2)-(W-2,21), and the inside (3,3)-(W-3,20) in the face colour.
    EXPECT_EQ(At(*B, 6, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(At(*B, 6, 20), Rgb(clBtnShadow));
    EXPECT_EQ(At(*B, 22, 3), Rgb(clBtnFace));
    // The check box (5,4)-(19,18) framed in the shadow colour, its mark in the text colour.
    EXPECT_EQ(At(*B, 5, 4), Rgb(clBtnShadow));
    EXPECT_EQ(At(*B, 18, 17), Rgb(clBtnShadow));
    EXPECT_EQ(At(*B, 19, 11), Rgb(clBtnFace));
    EXPECT_FALSE(IsNullRect(BoxOf(*B, clBtnText, Rect(6, 5, 18, 17))));
    // The text starts at x 25 (3 + 20 + 2) and is centred on the inside: its 12-pixel line from y 5.
    EXPECT_EQ(BoxOf(*B, clBlack, Rect(20, 3, 60, 20)), Rect(25, 5, 36, 14));
    // The roll-up arrow lies in (W-13,3)-(W-3,20).
    const TRect Arrow = BoxOf(*B, clBtnText, Rect(W - 20, 3, W - 3, 20));
    ASSERT_FALSE(IsNullRect(Arrow));
    EXPECT_GE(Arrow.Left, W - 13);
    EXPECT_EQ(BoxOf(*B, clBtnText, Rect(W - 3, 0, W, 22)), TRect());
    // The client area lies below the bar, inside the border.
    EXPECT_EQ(P->GetSkinClientRect(), Rect(1, 23, W - 1, 99));
}

TEST_F(SkinPanel, DefaultLookOfTheBorderStyles) {
    struct Case {
        TbsSkinBorderStyle Style;
        TColor TopLeft, BottomRight;
        TRect Client;
    } Cases[] = {
        {TbsSkinBorderStyle::bvFrame, clBtnShadow, clBtnShadow, Rect(1, 1, 59, 39)},
        {TbsSkinBorderStyle::bvRaised, clBtnHighlight, clBtnShadow, Rect(1, 1, 59, 39)},
        {TbsSkinBorderStyle::bvLowered, clBtnShadow, clBtnHighlight, Rect(1, 1, 59, 39)},
        {TbsSkinBorderStyle::bvNone, clBtnFace, clBtnFace, Rect(0, 0, 60, 40)},
    };
    TbsSkinPanel* P = DefaultPanel(60, 40);
    for (const Case& K : Cases) {
        P->SetBorderStyle(K.Style);
        auto B = Painted(P);
        EXPECT_EQ(At(*B, 0, 0), Rgb(K.TopLeft)) << int(K.Style);
        EXPECT_EQ(At(*B, 59, 39), Rgb(K.BottomRight)) << int(K.Style);
        EXPECT_EQ(At(*B, 30, 20), Rgb(clBtnFace)) << int(K.Style);
        EXPECT_EQ(P->GetSkinClientRect(), K.Client) << int(K.Style);
    }
}

TEST_F(SkinPanel, SkinnedFaceAndCaption) {
    auto* P = Make<TbsSkinPanel>(u"panel", 10, 10, 120, 80);
    P->SetCaptionMode(true);
    P->SetCheckedMode(true);
    P->SetCaption(u"Caption");
    auto B = Painted(P);
    EXPECT_EQ(At(*B, 1, 40), cPanelRing);
    EXPECT_EQ(At(*B, 60, 50), cPanelClient);
    EXPECT_EQ(At(*B, 115, 10), cPanelBar);
    EXPECT_EQ(P->GetSkinClientRect(), Rect(4, 16, 116, 76));
    // The unchecked image at the caption's left, its key outline left out; the caption's text after it.
    EXPECT_EQ(At(*B, 4, 2), cPanelBar);
    EXPECT_EQ(At(*B, 8, 8), cMarkOff);
    EXPECT_GT(Others(*B, cPanelBar, Rect(18, 0, 116, 16)), 20);
    P->SetChecked(true);
    B = Painted(P);
    EXPECT_EQ(At(*B, 8, 8), cMarkOn);
    // A click on the caption unchecks it.
    ClickOn(P, 8, 8);
    EXPECT_FALSE(P->Checked());
}

TEST_F(SkinPanel, RollingUpAndDownGivesBackTheHeightChildrenAndConstraints) {
    TbsSkinPanel* P = DefaultPanel(150, 120);
    P->SetCaptionMode(true);
    P->SetRollUpMode(true);
    P->Constraints()->SetMinHeight(80);
    auto* Inner = new TbsSkinPanel(Form.get());
    Inner->SetParent(P);
    Inner->SetAlign(alClient);
    auto* Line = new TbsSkinBevel(Form.get());
    Line->SetParent(P);
    Line->SetBounds(5, 60, 50, 2);
    int Events = 0;
    P->OnChangeRollUpState = [&](TObject*) { ++Events; };
    Pump();
    ASSERT_EQ(Inner->BoundsRect(), Rect(1, 23, 149, 119));

    ClickOn(P, 40, 10);
    EXPECT_TRUE(P->RollUpState());
    EXPECT_EQ(P->Height(), 23);
    EXPECT_EQ(P->RealHeight(), 120);
    EXPECT_FALSE(Inner->Visible());
    EXPECT_FALSE(Line->Visible());
    EXPECT_EQ(P->Constraints()->MinHeight(), 0);

    ClickOn(P, 40, 10);
    EXPECT_FALSE(P->RollUpState());
    EXPECT_EQ(P->Height(), 120);
    EXPECT_EQ(P->RealHeight(), -1);
    EXPECT_TRUE(Inner->Visible());
    EXPECT_TRUE(Line->Visible());
    EXPECT_EQ(P->Constraints()->MinHeight(), 80);
    EXPECT_EQ(Events, 2);
    // Aligning works again: the client child follows a new size.
    P->SetWidth(200);
    EXPECT_EQ(Inner->BoundsRect(), Rect(1, 23, 199, 119));
}

TEST_F(SkinPanel, ASkinChangeWhileRolledUpKeepsTheFullHeightForUnrolling) {
    auto* P = Make<TbsSkinPanel>(u"panel", 10, 10, 150, 120);
    P->SetCaptionMode(true);
    P->SetRollUpMode(true);
    auto* Inner = new TbsSkinPanel(Form.get());
    Inner->SetParent(P);
    Inner->SetAlign(alClient);
    Pump();
    P->SetRollUpState(true);
    // The skinned caption-only height: the face's top band and bottom side.
    EXPECT_EQ(P->Height(), 20);
    P->BeforeChangeSkinData();
    P->SetSkinData(nullptr);
    P->ChangeSkinData();
    // Rolled up again for the default look: the bar and one pixel.
    EXPECT_EQ(P->Height(), 23);
    EXPECT_EQ(P->RealHeight(), 120);
    EXPECT_FALSE(Inner->Visible());
    P->SetSkinData(Skin);
    EXPECT_EQ(P->Height(), 20);
    P->SetRollUpState(false);
    EXPECT_EQ(P->Height(), 120);
    EXPECT_TRUE(Inner->Visible());
    EXPECT_EQ(Inner->BoundsRect(), Rect(4, 16, 146, 116));
}

TEST_F(SkinPanel, RollUpStateIsRefusedWithoutRollUpMode) {
    TbsSkinPanel* P = DefaultPanel(150, 120);
    P->SetCaptionMode(true);
    P->Constraints()->SetMinHeight(80);
    P->SetRollUpState(true);
    EXPECT_FALSE(P->RollUpState());
    EXPECT_EQ(P->Height(), 120);
    EXPECT_EQ(P->Constraints()->MinHeight(), 80);
    ClickOn(P, 40, 10);
    EXPECT_FALSE(P->RollUpState());
}

TEST_F(SkinPanel, CheckedEnablesEveryChildWithAutoEnabledControls) {
    TbsSkinPanel* P = DefaultPanel();
    P->SetCaptionMode(true);
    auto* Windowed = new TbsSkinButton(Form.get());
    Windowed->SetParent(P);
    Windowed->SetBounds(10, 40, 75, 25);
    auto* Windowless = new TbsSkinSpeedButton(Form.get());
    Windowless->SetParent(P);
    Windowless->SetBounds(10, 70, 25, 25);
    int Events = 0;
    P->OnChecked = [&](TObject*) { ++Events; };
    // Without the check box the children are left alone, but the event still comes.
    P->SetChecked(false);
    EXPECT_TRUE(Windowed->Enabled());
    EXPECT_EQ(Events, 1);
    P->SetCheckedMode(true);
    P->SetChecked(false);
    EXPECT_FALSE(Windowed->Enabled());
    EXPECT_FALSE(Windowless->Enabled());
    ClickOn(P, 10, 10);
    EXPECT_TRUE(P->Checked());
    EXPECT_TRUE(Windowed->Enabled());
    EXPECT_TRUE(Windowless->Enabled());
    P->SetAutoEnabledControls(false);
    P->SetChecked(false);
    EXPECT_TRUE(Windowed->Enabled());
    EXPECT_EQ(Events, 4);
}

TEST_F(SkinPanel, TransparentGroupBoxWithAnEmptyCaption) {
    Form->SetColor(TColor(0x00E0E0E0));
    auto* P = Make<TbsSkinPanel>(u"panel", 10, 10, 120, 80);
    P->SetTransparentMode(true);
    P->SetCaptionMode(true);
    P->DefaultFont()->SetName(u"QvBlocks");
    P->DefaultFont()->SetHeight(12);
    P->SetUseSkinFont(false);
    auto B = Painted(P);
    // The caption band is as high as the text plus 5; the top line runs at its middle.
    EXPECT_EQ(P->NewCaptionRect, Rect(5, 0, 120, 17));
    const TColor Line = Skin->SkinColors()->FcBtnShadow;
    EXPECT_EQ(At(*B, 0, 8), Rgb(Line));
    EXPECT_EQ(At(*B, 3, 8), Rgb(Line));
    // A gap of 3 after the caption's start at 5, then the top line to the right edge.
    EXPECT_EQ(At(*B, 6, 8), TColor(0xE0E0E0));
    EXPECT_EQ(At(*B, 8, 8), Rgb(Line));
    EXPECT_EQ(At(*B, 119, 40), Rgb(Line));
    EXPECT_EQ(At(*B, 60, 79), Rgb(Line));
    EXPECT_EQ(At(*B, 60, 40), TColor(0xE0E0E0));
    // With the check box the gap follows its image.
    P->SetCheckedMode(true);
    B = Painted(P);
    EXPECT_EQ(At(*B, 12 + 10 + 2, 8), TColor(0xE0E0E0));
    EXPECT_EQ(At(*B, 12 + 10 + 3, 8), Rgb(Line));
    EXPECT_EQ(At(*B, 9, 8), cMarkOff);
}

TEST_F(SkinPanel, FacesWithoutAreaDrawNothingAndEnd) {
    auto* P = Make<TbsSkinPanel>(u"panel", 10, 10, 120, 80);
    P->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    auto* Rec = dynamic_cast<TbsDataSkinPanelControl*>(Record(u"panel"));
    // A client part of no width: nothing to tile over the panel.
    Rec->ClRect = Rect(4, 16, 4, 36);
    P->Repaint();
    Painted(P);
    Rec->StretchEffect = true;
    Painted(P);
    // A background picture of no size.
    Skin->FActivePictures.push_back(std::make_unique<TBitmap>());
    auto* Bg = dynamic_cast<TbsDataSkinPanelControl*>(Record(u"bgpanel"));
    Bg->BGPictureIndex = int(Skin->FActivePictures.size()) - 1;
    auto* Q = Make<TbsSkinPanel>(u"bgpanel", 10, 10, 120, 80);
    Painted(Q);
    SUCCEED();
}

TEST_F(SkinPanel, ABackgroundPictureIsTiledOverTheWholePanel) {
    auto* P = Make<TbsSkinPanel>(u"bgpanel", 10, 10, 200, 100);
    auto B = Painted(P);
    // Picture 0 (controls.bmp, 160 x 80) repeated from (0, 0): its push-button normal face at each corner cell.
    EXPECT_EQ(At(*B, 5, 5), cNormal);
    EXPECT_EQ(At(*B, 165, 85), cNormal);
    EXPECT_EQ(At(*B, 25, 5), cHot);
    EXPECT_EQ(P->GetSkinClientRect(), Rect(0, 0, 200, 100));
}

TEST_F(SkinPanel, PaintPanelLetsTheApplicationPaintItsClientArea) {
    auto* P = Make<TbsSkinPaintPanel>(u"", 10, 10, 60, 40);
    std::vector<TRect> Rects;
    P->OnPanelPaint = [&](TCanvas* C, TRect& R) {
        Rects.push_back(R);
        C->Brush()->SetColor(clRed);
        C->FillRect(R);
    };
    auto B = Painted(P);
    ASSERT_FALSE(Rects.empty());
    EXPECT_EQ(Rects.back(), Rect(1, 1, 59, 39));
    EXPECT_EQ(At(*B, 30, 20), Rgb(clRed));
    EXPECT_EQ(At(*B, 0, 0), Rgb(clBtnShadow));
}

TEST_F(SkinPanel, GroupBoxLooksUpItsOwnRecordWithTheCaptionOn) {
    auto* G = Make<TbsSkinGroupBox>(u"", 10, 10, 100, 60);
    EXPECT_EQ(G->SkinDataName(), u"groupbox");
    EXPECT_TRUE(G->CaptionMode());
    G->SetSkinData(Skin);
    EXPECT_NE(G->FIndex, -1);
    EXPECT_EQ(G->GetSkinClientRect(), Rect(4, 16, 96, 56));
}

} // namespace
