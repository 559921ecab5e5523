// The skinned tool bar and status bar: the scroll buttons in the bar's non-client area, page steps and the held
// timer, widening a scrolled bar, what the bar passes to its children, the status bar's grip (its hit codes, the
// width it takes, a drag that sizes the form) and the faces of both bars.
#include "skin/controls/bsSkinCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class SkinBars : public ControlTest {
protected:
    static TColor Rgb(TColor C) { return TColor(ColorToRGB(C)); }
    // A scrolling bar 200 wide with six 100-pixel children side by side (600 pixels of content).
    TbsSkinToolBar* ScrollingBar() {
        auto* Bar = Make<TbsSkinToolBar>(u"", 10, 10, 200, 25);
        Bar->SetCanScroll(true);
        for (int I = 0; I < 6; ++I) {
            auto* B = new TbsSkinSpeedButton(Form.get());
            B->SetParent(Bar);
            B->SetBounds(I * 100, 0, 100, 25);
            Items.push_back(B);
        }
        Pump();
        return Bar;
    }
    // A press and release on a scroll button (0 left, 1 right), as the user makes it.
    void PressScroll(TbsSkinToolBar* Bar, int Index) {
        const TPoint P = Bar->ClientToScreen(Index == 0 ? TPoint{-6, 12} : TPoint{Bar->ClientWidth() + 6, 12});
        InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, true);
        Pump();
    }
    std::vector<TControl*> Items;
};

TEST_F(SkinBars, ScrollButtonsShowOnlyWhileTheChildrenDoNotFit) {
    auto* Bar = Make<TbsSkinToolBar>(u"", 10, 10, 200, 25);
    Bar->SetCanScroll(true);
    auto* A = new TbsSkinSpeedButton(Form.get());
    A->SetParent(Bar);
    A->SetBounds(0, 0, 150, 25);
    Pump();
    EXPECT_FALSE(Bar->ScrollButtonsVisible());
    EXPECT_EQ(Bar->ClientWidth(), 200);
    auto* B = new TbsSkinSpeedButton(Form.get());
    B->SetParent(Bar);
    B->SetBounds(180, 0, 40, 25);
    Pump();
    EXPECT_TRUE(Bar->ScrollButtonsVisible());
    EXPECT_EQ(Bar->ClientWidth(), 176);
    EXPECT_EQ(Bar->ScrollButtonRect(0), Rect(0, 0, 12, 25));
    EXPECT_EQ(Bar->ScrollButtonRect(1), Rect(188, 0, 200, 25));
    EXPECT_EQ(Bar->ScrollMax(), 219);
    EXPECT_EQ(Bar->ScrollPage(), 176);
    delete B;
    Pump();
    EXPECT_FALSE(Bar->ScrollButtonsVisible());
    EXPECT_EQ(Bar->ClientWidth(), 200);
}

TEST_F(SkinBars, AClickScrollsOneClientWidthOrTheScrollOffset) {
    TbsSkinToolBar* Bar = ScrollingBar();
    ASSERT_TRUE(Bar->ScrollButtonsVisible());
    PressScroll(Bar, 1);
    EXPECT_EQ(Bar->ScrollTimerMode(), 2);
    Release();
    EXPECT_EQ(Bar->ScrollTimerMode(), 0);
    EXPECT_EQ(Bar->ScrollPosition(), 176);
    EXPECT_EQ(Items[0]->Left(), -176);
    Bar->SetScrollOffset(50);
    PressScroll(Bar, 0);
    Release();
    EXPECT_EQ(Bar->ScrollPosition(), 126);
    EXPECT_EQ(Items[0]->Left(), -126);
}

TEST_F(SkinBars, HoldingScrollsOnTheTimerUntilTheEnd) {
    TbsSkinToolBar* Bar = ScrollingBar();
    PressScroll(Bar, 1);
    std::vector<int> Positions;
    for (int I = 0; I < 5; ++I) {
        Wait(50);
        Positions.push_back(Bar->ScrollPosition());
    }
    // SMax - SPage + 1 = 599 - 176 + 1: there the timer stops though the button is still held.
    EXPECT_EQ(Positions, (std::vector<int>{176, 352, 424, 424, 424}));
    EXPECT_EQ(Bar->ScrollTimerMode(), 0);
    Release();
    EXPECT_EQ(Bar->ScrollPosition(), 424);
    EXPECT_EQ(Items[5]->Left() + Items[5]->Width(), 176);
}

TEST_F(SkinBars, WideningAScrolledBarMovesTheChildrenBack) {
    TbsSkinToolBar* Bar = ScrollingBar();
    for (int I = 0; I < 3; ++I) {
        PressScroll(Bar, 1);
        Release();
    }
    ASSERT_EQ(Bar->ScrollPosition(), 424);
    Bar->SetWidth(300);
    EXPECT_EQ(Bar->ScrollPosition(), 324);
    EXPECT_EQ(Items[0]->Left(), -324);
    // Wide enough for everything: back to the start, no scroll buttons.
    Bar->SetWidth(700);
    EXPECT_EQ(Bar->ScrollPosition(), 0);
    EXPECT_EQ(Items[0]->Left(), 0);
    EXPECT_FALSE(Bar->ScrollButtonsVisible());
}

TEST_F(SkinBars, BadIntervalsAndOffsetsAreIgnored) {
    auto* Bar = Make<TbsSkinToolBar>(u"");
    for (int Bad : {0, -5})
        Bar->SetScrollTimerInterval(Bad);
    Bar->SetScrollOffset(-1);
    EXPECT_EQ(Bar->ScrollTimerInterval(), 50);
    EXPECT_EQ(Bar->ScrollOffset(), 0);
    Bar->SetScrollTimerInterval(20);
    Bar->SetScrollOffset(0);
    EXPECT_EQ(Bar->ScrollTimerInterval(), 20);
}

TEST_F(SkinBars, TheBarPassesSkinFlatnessAndCaptionsToItsChildrenAndCentresThem) {
    auto* Bar = Make<TbsSkinToolBar>(u"", 10, 10, 300, 40);
    auto* S = new TbsSkinSpeedButton(Form.get());
    S->SetParent(Bar);
    S->SetBounds(0, 0, 60, 20);
    auto* Bevel = new TbsSkinBevel(Form.get());
    Bevel->SetParent(Bar);
    Bevel->SetBounds(70, 0, 2, 10);
    auto* Plain = new TPanel(Form.get());
    Plain->SetParent(Bar);
    Plain->SetBounds(80, 0, 20, 16);
    // Moving the bar centres its other children too.
    Bar->SetBounds(10, 12, 300, 40);
    // Everything centred in the 40-pixel bar, whatever top it asked for.
    EXPECT_EQ(S->Top(), 10);
    EXPECT_EQ(Bevel->Top(), 15);
    EXPECT_EQ(Plain->Top(), 12);
    Bevel->SetBounds(70, 30, 2, 20);
    EXPECT_EQ(Bevel->Top(), 10);
    Bar->SetFlat(true);
    EXPECT_TRUE(S->Flat());
    Bar->SetSkinData(Skin);
    EXPECT_EQ(S->SkinData(), Skin);
    EXPECT_EQ(Bevel->SkinData(), Skin);
    Bar->SetAutoShowHideCaptions(true);
    Bar->SetWidthWithCaptions(300);
    Bar->SetWidthWithoutCaptions(120);
    Bar->SetShowCaptions(true);
    Bar->SetShowCaptions(false);
    EXPECT_FALSE(S->ShowCaption());
    EXPECT_EQ(Bar->Width(), 120);
}

TEST_F(SkinBars, SkinnedScrollButtonsShowTheResizeButtonFaces) {
    TbsSkinToolBar* Bar = ScrollingBar();
    Bar->SetSkinDataName(u"toolpanel");
    Bar->SetSkinData(Skin);
    Pump();
    ASSERT_TRUE(Bar->ScrollButtonsVisible());
    const TPoint Window = Bar->ClientToScreen(TPoint{0, 0});
    auto At = [&](int X, int Y) { return TColor(::ScreenPixel(Window.X - 12 + X, Window.Y + Y)); };
    EXPECT_EQ(At(1, 1), cScrollNormal);
    EXPECT_EQ(At(199, 1), cScrollNormal);
    const TPoint P = Bar->ClientToScreen(TPoint{Bar->ClientWidth() + 6, 12});
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_EQ(At(199, 1), cScrollHot);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(At(199, 1), cScrollDown);
    Release();
}

TEST_F(SkinBars, TheGripAnswersTheBottomRightBorderOnlyInsideIt) {
    auto* S = Make<TbsSkinStatusBar>(u"");
    S->SetSizeGrip(true);
    Pump();
    const int W = S->Width();
    ASSERT_EQ(S->Height(), 21);
    EXPECT_EQ(S->GetSkinClientRect(), Rect(0, 0, W - 21, 21));
    EXPECT_EQ(S->GetGripRect(), Rect(W - 19, 0, W, 19));
    struct Case {
        int X, Y;
        LRESULT Hit;
    } Cases[] = {
        {W - 19, 0, HTBOTTOMRIGHT}, {W, 19, HTBOTTOMRIGHT}, {W - 10, 10, HTBOTTOMRIGHT},
        {W - 20, 10, HTCLIENT},     {W - 10, 20, HTCLIENT}, {10, 10, HTCLIENT},
    };
    for (const Case& K : Cases) {
        const TPoint P = S->ClientToScreen(TPoint{K.X, K.Y});
        EXPECT_EQ(SendMessageW(S->Handle(), WM_NCHITTEST, 0, MAKELPARAM(P.X, P.Y)), K.Hit) << K.X << "," << K.Y;
    }
    S->SetShowGrip(false);
    EXPECT_EQ(S->GetSkinClientRect(), Rect(0, 0, W, 21));
    const TPoint P = S->ClientToScreen(TPoint{W - 10, 10});
    EXPECT_NE(SendMessageW(S->Handle(), WM_NCHITTEST, 0, MAKELPARAM(P.X, P.Y)), HTBOTTOMRIGHT);
}

TEST_F(SkinBars, ADragOnTheGripSizesTheForm) {
    auto* S = Make<TbsSkinStatusBar>(u"");
    S->SetSizeGrip(true);
    Pump();
    std::vector<std::string> Log;
    auto Watch = [&Log](TControl* C, const std::string& Name) {
        TWndMethod Old = C->WindowProc();
        C->SetWindowProc([&Log, Old, Name](TMessage& M) {
            switch (M.Msg) {
            case WM_NCLBUTTONDOWN:
                Log.push_back(Name + ":WM_NCLBUTTONDOWN(" + std::to_string(M.WParam) + ")");
                break;
            case WM_SYSCOMMAND:
                Log.push_back(Name + ":WM_SYSCOMMAND(" + std::to_string(M.WParam & 0xFFF0) + ")");
                break;
            case WM_ENTERSIZEMOVE:
                Log.push_back(Name + ":WM_ENTERSIZEMOVE");
                break;
            case WM_EXITSIZEMOVE:
                Log.push_back(Name + ":WM_EXITSIZEMOVE");
                break;
            case WM_SIZE:
                Log.push_back(Name + ":WM_SIZE");
                break;
            }
            Old(M);
        });
    };
    Watch(Form.get(), "form");
    Watch(S, "bar");
    const TRect Before = Form->BoundsRect();
    const TPoint P = S->ClientToScreen(TPoint{S->Width() - 5, 15});
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(P.X + 40, P.Y + 30);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Form->Width(), Before.Right - Before.Left + 40);
    EXPECT_EQ(Form->Height(), Before.Bottom - Before.Top + 30);
    // The bar stays at the form's bottom, as wide as its client area.
    EXPECT_EQ(S->Width(), Form->ClientWidth());
    EXPECT_EQ(S->Top() + S->Height(), Form->ClientHeight());
    EXPECT_EQ(Log, (std::vector<std::string>{"bar:WM_NCLBUTTONDOWN(17)", "form:WM_NCLBUTTONDOWN(17)",
                                             "form:WM_SYSCOMMAND(61440)", "form:WM_ENTERSIZEMOVE", "form:WM_SIZE",
                                             "bar:WM_SIZE", "form:WM_EXITSIZEMOVE"}));
}

TEST_F(SkinBars, TheStatusBarDrawsItsFaceAndGrip) {
    auto* S = Make<TbsSkinStatusBar>(u"statusbar");
    S->SetSizeGrip(true);
    Pump();
    const int W = S->Width();
    // The strip is 20 high; the grip image (10 x 10) stands right of the client part, at its bottom.
    EXPECT_EQ(S->Height(), 20);
    EXPECT_EQ(S->GetSkinClientRect(), Rect(2, 2, W - 12, 18));
    EXPECT_EQ(S->GetGripRect(), Rect(W - 12, 8, W - 2, 18));
    EXPECT_EQ(ScreenPixel(S, 20, 5), cStatus);
    EXPECT_EQ(ScreenPixel(S, W - 7, 13), cGrip);
    // Without a record: diagonal lines in the shadow and highlight colours.
    S->SetSkinDataName(u"nosuchbar");
    S->ChangeSkinData();
    Pump();
    auto B = uitest::PaintToBitmap(*S);
    const TRect G = S->GetGripRect();
    int Dark = 0, Light = 0;
    for (int Y = G.Top; Y < G.Bottom; ++Y)
        for (int X = G.Left; X < G.Right; ++X) {
            Dark += Rgb(B->Canvas()->Pixels(X, Y)) == Rgb(clBtnShadow);
            Light += Rgb(B->Canvas()->Pixels(X, Y)) == Rgb(clBtnHighlight);
        }
    EXPECT_GT(Dark, 10);
    EXPECT_GT(Light, 10);
}

} // namespace
