// The frame's geometry and hit codes in both looks, the sizes the form may take, its first placement and the
// snapping of a moved form to the work area's edges.
#include <gtest/gtest.h>

#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

using FrameGeometryTest = SkinFormTest;

TbsActiveSkinObject* Button(TbsSkinForm* S, const String& Name) {
    int I = S->GetIndex(Name);
    return I < 0 ? nullptr : S->Objects(I);
}

// The default frame painted into a bitmap first filled with lime: what stays lime is the client area.
TEST_F(FrameGeometryTest, TheDefaultLookOfASizeableForm) {
    EXPECT_EQ(ClientInWindow(), Rect(3, 22, 297, 197));
    TBitmap B;
    B.SetSize(300, 200);
    B.Canvas()->Brush()->SetColor(clLime);
    B.Canvas()->FillRect(Rect(0, 0, 300, 200));
    ASSERT_EQ(SendMessageW(Form->Handle(), WM_PAINTFRAMETODC, WPARAM(B.Canvas()->Handle()), 0), 12851);
    auto Px = [&B](int X, int Y) { return ColorToRGB(B.Canvas()->Pixels(X, Y)); };
    const COLORREF Lime = ColorToRGB(clLime);
    // The client part is left alone; the caption bitmap covers (3, 3) to (296, 21).
    EXPECT_EQ(Px(3, 22), Lime);
    EXPECT_EQ(Px(296, 196), Lime);
    EXPECT_NE(Px(150, 21), Lime);
    EXPECT_NE(Px(2, 22), Lime);
    EXPECT_NE(Px(297, 196), Lime);
    EXPECT_NE(Px(150, 197), Lime);
    // Three rings inward from the edge.
    EXPECT_EQ(Px(0, 100), ColorToRGB(cl3DLight));
    EXPECT_EQ(Px(299, 100), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Px(1, 100), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(298, 100), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(2, 100), ColorToRGB(clBtnFace));
    // Caption lines, highlight first, left of the centred text: 19 - 5 of them from y = 5.
    int Lines = 0;
    for (int Y = 3; Y < 22; ++Y) {
        COLORREF C = Px(24, Y);
        if (C == ColorToRGB(clBtnHighlight) || C == ColorToRGB(clBtnShadow)) {
            EXPECT_EQ(C, ColorToRGB(Lines % 2 == 0 ? clBtnHighlight : clBtnShadow)) << "y " << Y;
            ++Lines;
        }
    }
    EXPECT_EQ(Lines, 14);
    EXPECT_EQ(Px(24, 5), ColorToRGB(clBtnHighlight));
    // Six default buttons; four shown at the right end (close, maximize, minimize, roll-up), the system menu at
    // the left, tray hidden.
    ASSERT_EQ(Skin->ObjectCount(), 6);
    EXPECT_EQ(Button(Skin, u"closebutton")->ObjectRect, Rect(280, 4, 297, 21));
    EXPECT_EQ(Button(Skin, u"maxbutton")->ObjectRect, Rect(263, 4, 280, 21));
    EXPECT_EQ(Button(Skin, u"rollupbutton")->ObjectRect, Rect(229, 4, 246, 21));
    EXPECT_EQ(Button(Skin, u"sysmenubutton")->ObjectRect, Rect(3, 4, 20, 21));
    EXPECT_FALSE(Button(Skin, u"traybutton")->Visible);
    EXPECT_EQ(Skin->NewDefCaptionRect, Rect(20, 3, 229, 19));
}

TEST_F(FrameGeometryTest, AToolWindowHasASmallerCaptionAndButtons) {
    Form->SetBorderStyle(bsToolWindow);
    Pump();
    EXPECT_EQ(Skin->GetDefCaptionHeight(), 15);
    EXPECT_EQ(ClientInWindow(), Rect(3, 18, 297, 197));
    Skin->CalcDefRects();
    EXPECT_EQ(Button(Skin, u"closebutton")->ObjectRect, Rect(284, 4, 297, 17));
    EXPECT_EQ(Button(Skin, u"sysmenubutton")->ObjectRect, Rect(3, 4, 16, 17));
}

TEST_F(FrameGeometryTest, TheSystemMenuButtonShowsTheIconAtTheSmallIconSize) {
    Skin->SetShowIcon(true);
    Skin->CalcDefRects();
    EXPECT_EQ(Button(Skin, u"sysmenubutton")->ObjectRect, Rect(3, 4, 19, 20));
    EXPECT_EQ(Skin->NewDefCaptionRect.Left, 19);
}

TEST_F(FrameGeometryTest, HitCodesOfTheDefaultLook) {
    const std::pair<TPoint, LRESULT> Cases[] = {
        {{1, 1}, HTTOPLEFT},    {{150, 1}, HTTOP},      {{150, 10}, HTCAPTION},   {{150, 100}, HTCLIENT},
        {{150, 198}, HTBOTTOM}, {{298, 1}, HTTOPRIGHT}, {{1, 198}, HTBOTTOMLEFT}, {{298, 198}, HTBOTTOMRIGHT},
        {{1, 100}, HTLEFT},     {{298, 100}, HTRIGHT},  {{288, 12}, HTOBJECT}};
    for (auto [P, Code] : Cases)
        EXPECT_EQ(HitAt(P.X, P.Y), Code) << P.X << "," << P.Y;

    Skin->FWindowState = wsMaximized; // run by the window-state commands
    EXPECT_EQ(HitAt(1, 1), HTOBJECT);
    EXPECT_EQ(HitAt(150, 10), HTCAPTION);
    Skin->FWindowState = wsNormal;

    Form->SetBorderStyle(bsSingle);
    Pump();
    for (auto [P, Code] : Cases)
        if (Code >= HTLEFT && Code <= HTBOTTOMRIGHT)
            EXPECT_EQ(HitAt(P.X, P.Y), HTOBJECT) << P.X << "," << P.Y;
    Skin->UpdateActiveObject(-1, -1, false); // the mouse left the button
    Skin->SetAlwaysResize(true);
    EXPECT_EQ(HitAt(1, 1), HTTOPLEFT);
    EXPECT_EQ(HitAt(150, 198), HTBOTTOM);
}

TEST_F(FrameGeometryTest, MinimumAndMaximumSizes) {
    EXPECT_EQ(Skin->GetMinWidth(), 120);
    EXPECT_EQ(Skin->GetMinHeight(), 25);
    Skin->SetMinWidth(200);
    Skin->SetMinHeight(100);
    EXPECT_EQ(Skin->GetMinWidth(), 200);
    EXPECT_EQ(Skin->GetMinHeight(), 100);
    Skin->FRollUpState = true; // a rolled-up form is exactly its frame high
    EXPECT_EQ(Skin->GetMinHeight(), 25);
    Skin->FRollUpState = false;
    EXPECT_EQ(Skin->GetMaxWidth(), 1920);
    EXPECT_EQ(Skin->GetMaxHeight(), 1040);
    Skin->SetMaximizeOnFullScreen(true);
    EXPECT_EQ(Skin->GetMaxHeight(), 1080);
    Skin->SetMaxWidth(500);
    EXPECT_EQ(Skin->GetMaxWidth(), 500);

    MINMAXINFO Info{};
    SendMessageW(Form->Handle(), WM_GETMINMAXINFO, 0, LPARAM(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.X, 200);
    EXPECT_EQ(Info.ptMinTrackSize.Y, 100);
    EXPECT_EQ(Info.ptMaxTrackSize.X, 500);
}

// A skin picture of 100 x 80 with its corner points, client part, caption and buttons rows and sizing zones; the
// form is 40 wider and 30 higher than the picture.
class SkinnedGeometryTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Data = new TbsSkinData(Form.get());
        Data->FPicture->SetSize(100, 80);
        Data->LTPoint = TPoint{10, 25};
        Data->RTPoint = TPoint{90, 25};
        Data->LBPoint = TPoint{10, 75};
        Data->RBPoint = TPoint{90, 75};
        Data->ClRect = Rect(5, 25, 95, 75);
        Data->CaptionRect = Rect(20, 3, 58, 22);
        Data->ButtonsRect = Rect(60, 5, 95, 20);
        Data->HitTestLTPoint = TPoint{8, 8};
        Data->HitTestRTPoint = TPoint{92, 8};
        Data->HitTestLBPoint = TPoint{8, 72};
        Data->HitTestRBPoint = TPoint{92, 72};
        Data->MaskRectArea = Rect(5, 5, 95, 75);
        Data->BorderW = 4;
        Data->Empty = false;
        Skin->SetSkinData(Data);
        Form->SetBounds(100, 100, 140, 110);
        Pump();
    }
    TbsSkinData* Data = nullptr;
};

TEST_F(SkinnedGeometryTest, TheFrameGrowsWithTheFormAndButtonsInTheRightHalfMove) {
    EXPECT_EQ(Skin->NewClRect, Rect(5, 25, 135, 105));
    EXPECT_EQ(ClientInWindow(), Rect(5, 25, 135, 105));
    EXPECT_EQ(Skin->NewCaptionRect, Rect(20, 3, 98, 22));
    EXPECT_EQ(Skin->NewButtonsRect, Rect(100, 5, 135, 20));
    EXPECT_EQ(Skin->NewRBPoint, (TPoint{130, 105}));
    EXPECT_EQ(Skin->NewHitTestRBPoint, (TPoint{132, 102}));
    Data->ButtonsRect = Rect(5, 5, 30, 20);
    Skin->CalcNewRects();
    EXPECT_EQ(Skin->NewButtonsRect, Rect(5, 5, 30, 20)) << "a buttons row in the left half stays";
    EXPECT_EQ(Skin->GetMinWidth(), 100);
    EXPECT_EQ(Skin->GetMinHeight(), 30);
}

TEST_F(SkinnedGeometryTest, HitCodesAtTheSkinsSizingZones) {
    const std::pair<TPoint, LRESULT> Cases[] = {
        {{1, 1}, HTTOPLEFT},  {{139, 1}, HTTOPRIGHT}, {{1, 109}, HTBOTTOMLEFT}, {{139, 109}, HTBOTTOMRIGHT},
        {{70, 1}, HTTOP},     {{70, 108}, HTBOTTOM},  {{1, 50}, HTLEFT},        {{138, 50}, HTRIGHT},
        {{70, 60}, HTCLIENT}, {{70, 15}, HTOBJECT}};
    for (auto [P, Code] : Cases)
        EXPECT_EQ(HitAt(P.X, P.Y), Code) << P.X << "," << P.Y;
    Form->SetBorderStyle(bsSingle);
    Pump();
    EXPECT_EQ(HitAt(1, 1), HTOBJECT);
}

TEST_F(FrameGeometryTest, AFormIsPlacedInTheMiddleOfItsMonitorWhenFirstShown) {
    TForm Other(nullptr);
    Other.SetBounds(0, 0, 400, 300);
    auto* S = new TbsSkinForm(&Other);
    EXPECT_EQ(S->GetPositionInMonitor(10, 20, 400, 300), (TPoint{10, 20}));
    S->SetPositionInMonitor(bspDesktopCenter);
    EXPECT_EQ(S->GetPositionInMonitor(0, 0, 400, 300), (TPoint{760, 370}));
    S->SetPositionInMonitor(bspScreenCenter);
    EXPECT_EQ(S->GetPositionInMonitor(0, 0, 400, 300), (TPoint{760, 390}));
    S->SetPositionInMonitor(bspDesktopCenter);
    Other.Show();
    Pump();
    EXPECT_EQ(Other.BoundsRect(), Bounds(760, 370, 400, 300));
    Other.SetBounds(5, 5, 400, 300);
    Other.Hide();
    Other.Show();
    Pump();
    EXPECT_EQ(Other.Left(), 5) << "only the first show places the form";
}

TEST_F(FrameGeometryTest, AMovedFormSnapsToTheWorkAreaEdgeAndBreaksFreeWithTheCursor) {
    auto Moving = [this](int CursorX, int Left, int Top) {
        InjectMouseMove(CursorX, 500);
        Pump();
        RECT R{Left, Top, Left + 300, Top + 200};
        SendMessageW(Form->Handle(), WM_MOVING, 0, LPARAM(&R));
        return TPoint{R.Left, R.Top};
    };
    EXPECT_EQ(Moving(500, 3, 300), (TPoint{3, 300})) << "Magnetic off leaves the rectangle";
    Skin->SetMagnetic(true);
    EXPECT_EQ(Moving(500, 3, 300), (TPoint{0, 300}));
    EXPECT_EQ(Moving(504, 7, 300), (TPoint{0, 300})) << "held while the cursor moved 5 or less";
    EXPECT_EQ(Moving(505, 8, 300), (TPoint{0, 300}));
    EXPECT_EQ(Moving(506, 9, 300), (TPoint{6, 300})) << "then it follows the cursor";
    EXPECT_EQ(Moving(600, 100, 838), (TPoint{100, 840})) << "the bottom edge";
    EXPECT_EQ(Moving(700, 1616, 837), (TPoint{1620, 840})) << "the right edge; the bottom holds";

    Skin->FWindowState = wsMaximized;
    EXPECT_EQ(Moving(600, 400, 400), (TPoint{Form->Left(), Form->Top()}));
}

} // namespace
} // namespace formtest
