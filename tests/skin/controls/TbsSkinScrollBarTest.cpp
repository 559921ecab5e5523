#include "skin/controls/bsSkinCtrls.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class ScrollBar : public ControlTest {
protected:
    // A default-look bar, 200 x 19 at (10, 10): down arrow (1, 1, 17, 18), track (17, 1, 183, 18), up arrow
    // (183, 1, 199, 18).
    TbsSkinScrollBar* MakeBar(const String& SkinName = u"") {
        auto* B = Make<TbsSkinScrollBar>(SkinName);
        B->OnChange = [this](TObject*) { Log.push_back("change"); };
        return B;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    std::vector<std::string> Log;
};

using Strings = std::vector<std::string>;

TEST_F(ScrollBar, SetRangeClampsByThePageAndRaisesNoEvent) {
    auto* B = MakeBar();
    B->SetRange(0, 99, 95, 10);
    EXPECT_EQ(B->Position(), 90);
    EXPECT_EQ(B->PageSize(), 10);
    EXPECT_TRUE(Take().empty());
    B->SetPosition(200);
    EXPECT_EQ(B->Position(), 90);
    EXPECT_TRUE(Take().empty()); // no change, no event
    B->SetPosition(-5);
    EXPECT_EQ(B->Position(), 0);
    EXPECT_EQ(Take(), Strings{"change"});
    B->SimplySetPosition(40);
    EXPECT_EQ(B->Position(), 40);
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScrollBar, RefusedPageSizeStillRepaints) {
    auto* B = MakeBar();
    B->SetRange(0, 100, 85, 10);
    uitest::TRecorder Paints;
    Paints.Watch(B, "bar", {WM_PAINT});
    B->SetPageSize(20);
    EXPECT_EQ(B->PageSize(), 10);
    EXPECT_EQ(Paints.Take(), Strings{"bar:15"});
    B->SetPageSize(16);
    EXPECT_EQ(B->PageSize(), 16);
}

// The page and the last position count from Min; with Min 0 the rules are those of a bar starting at 0.
TEST_F(ScrollBar, MaxAndPageSizeCountFromMin) {
    struct Case {
        int Min, Max, Position, PageSize, NewMax, WantPosition;
    } Cases[] = {
        {0, 100, 85, 10, 90, 81},   // Max - Min < PageSize + Position: the last page
        {0, 100, 50, 10, 90, 50},   // fits
        {10, 110, 95, 10, 100, 91}, // 100 - 10 + 1 = 91, the upper bound
        {10, 110, 85, 10, 100, 85}, // fits when counted from Min
        {10, 110, 10, 0, 5, 10},    // without a page: lowered to Max, then raised to Min
    };
    for (const Case& C : Cases) {
        auto* B = MakeBar();
        B->SetRange(C.Min, C.Max, C.Position, C.PageSize);
        B->SetMax(C.NewMax);
        EXPECT_EQ(B->Position(), C.WantPosition) << C.Min << ".." << C.NewMax;
        delete B;
    }
    auto* B = MakeBar();
    B->SetRange(10, 110, 85, 10);
    B->SetPageSize(26); // 85 - 10 + 26 = 101 = Max - Min + 1
    EXPECT_EQ(B->PageSize(), 26);
    B->SetPageSize(27);
    EXPECT_EQ(B->PageSize(), 26);
    B->SetMin(90);
    EXPECT_EQ(B->Position(), 90);
}

TEST_F(ScrollBar, DefaultGeometry) {
    auto* B = MakeBar();
    B->SetPosition(50);
    B->CalcRects();
    EXPECT_EQ(B->Part(TbsSkinScrollBar::DownPart).R, Rect(1, 1, 17, 18));
    EXPECT_EQ(B->Part(TbsSkinScrollBar::UpPart).R, Rect(183, 1, 199, 18));
    EXPECT_EQ(B->TrackRect(), Rect(17, 1, 183, 18));
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R, Rect(92, 1, 108, 18));
    // A page of 25 on 0..99 is Round(166 x 25 / 100) = 42 (Round(41.5) to even).
    B->SetRange(0, 99, 75, 25);
    B->CalcRects();
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R, Rect(141, 1, 183, 18));
    // Both leaves the corner square to the vertical bar.
    B->SetBoth(true);
    B->CalcRects();
    EXPECT_EQ(B->Part(TbsSkinScrollBar::UpPart).R, Rect(164, 1, 180, 18));
    Pump();
    EXPECT_EQ(ScreenPixel(B, 190, 10), ColorToRGB(clBtnFace));
    auto* V = MakeBar();
    V->SetKind(sbVertical);
    V->SetBounds(10, 40, 19, 150);
    V->CalcRects();
    EXPECT_EQ(V->Part(TbsSkinScrollBar::DownPart).R, Rect(1, 1, 18, 17));
    EXPECT_EQ(V->Part(TbsSkinScrollBar::UpPart).R, Rect(1, 133, 18, 149));
    EXPECT_EQ(V->Part(TbsSkinScrollBar::ThumbPart).R, Rect(1, 17, 18, 33));
}

TEST_F(ScrollBar, EmptyRangeAndWholePage) {
    auto* B = MakeBar();
    B->SetRange(5, 5, 5, 0);
    B->CalcRects();
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R, Rect(17, 1, 33, 18));
    Press(B, 25, 9);
    MouseTo(B, 120, 9);
    EXPECT_EQ(B->Position(), 5);
    Release();

    // A page covering 0..9: every position not below Min becomes Max - PageSize + 1.
    B->SetRange(0, 9, 3, 15);
    EXPECT_EQ(B->Position(), -5);
    B->CalcRects();
    // 166 x 15 / 10 = 249: the horizontal thumb ends with the track (an odd length loses a pixel).
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R.Right, 183);
    B->SetKind(sbVertical);
    B->SetBounds(10, 40, 19, 150);
    B->CalcRects();
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R.Top, 17);
}

TEST_F(ScrollBar, ArrowRepeatsAtThePressAfter550MsThenEvery50WhileOnTheArrow) {
    auto* B = MakeBar();
    Press(B, 190, 9); // up arrow
    EXPECT_EQ(B->Position(), 1);
    Wait(499);
    EXPECT_EQ(B->Position(), 1);
    Wait(1); // 500 ms: the wait ends, no step
    EXPECT_EQ(B->Position(), 1);
    Wait(50); // 550 ms
    EXPECT_EQ(B->Position(), 2);
    Wait(50);
    Wait(50);
    EXPECT_EQ(B->Position(), 4);
    MouseTo(B, 120, 9); // off the arrow: the repeat pauses
    Wait(200);
    EXPECT_EQ(B->Position(), 4);
    MouseTo(B, 190, 9); // back: again every 50 ms
    Wait(50);
    EXPECT_EQ(B->Position(), 5);
    Release();
    Wait(200);
    EXPECT_EQ(B->Position(), 5);
    EXPECT_EQ(B->TimerMode, 0);
}

TEST_F(ScrollBar, ArrowEventReplacesTheStep) {
    auto* B = MakeBar();
    B->SetPosition(50);
    Take();
    int Ups = 0, Downs = 0;
    B->OnUpButtonClick = [&](TObject*) { ++Ups; };
    B->OnDownButtonClick = [&](TObject*) { ++Downs; };
    Press(B, 190, 9);
    EXPECT_EQ(Ups, 1);
    Wait(500);
    EXPECT_EQ(Ups, 1);
    Wait(50);
    Wait(50);
    EXPECT_EQ(Ups, 3);
    Release();
    ClickOn(B, 5, 9);
    EXPECT_EQ(Downs, 1);
    EXPECT_EQ(B->Position(), 50);
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScrollBar, PagingStopsWhenTheThumbPassesThePointer) {
    auto* B = MakeBar();
    B->SetLargeChange(10);
    B->SetPosition(100); // thumb 167..183
    Take();
    int Pages = 0;
    B->OnPageUp = [&](TObject*) { ++Pages; };
    Press(B, 100, 9); // left of the thumb
    EXPECT_EQ(B->Position(), 90);
    Wait(500);
    Wait(50);
    EXPECT_EQ(B->Position(), 80);
    // Thumb centre at 25 + Round(150 x p / 100): it passes x 100 at 50 (thumb 92..108).
    for (int I = 0; I < 10; ++I)
        Wait(50);
    EXPECT_EQ(B->Position(), 50);
    EXPECT_EQ(B->TimerMode, 0);
    EXPECT_EQ(Pages, 5);
    Release();
}

TEST_F(ScrollBar, PagingTowardsMaxStopsWhenThePointerLeaves) {
    auto* B = MakeBar();
    B->SetLargeChange(10);
    Press(B, 150, 9);
    EXPECT_EQ(B->Position(), 10);
    Wait(500);
    Wait(50);
    EXPECT_EQ(B->Position(), 20);
    MouseTo(B, 150, 40); // off the bar
    Wait(50);
    Wait(50);
    EXPECT_EQ(B->Position(), 20);
    Release();

    // Towards Min the repeat goes on off the bar.
    B->SetPosition(100);
    Press(B, 20, 9);
    EXPECT_EQ(B->Position(), 90);
    MouseTo(B, 20, 40);
    Wait(500);
    Wait(50);
    EXPECT_EQ(B->Position(), 80);
    Release();
}

TEST_F(ScrollBar, RightPressChangesNothing) {
    auto* B = MakeBar();
    int Downs = 0;
    B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
    TPoint P = B->ClientToScreen(TPoint{190, 9});
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(1, true);
    Pump();
    Wait(600);
    InjectMouseButton(1, false);
    Pump();
    EXPECT_EQ(Downs, 1);
    EXPECT_EQ(B->Position(), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScrollBar, ThumbDragFollowsThePointerAndEndsWithLastChange) {
    auto* B = MakeBar();
    int Last = 0;
    B->OnLastChange = [&](TObject*) { ++Last; };
    Press(B, 25, 9);    // thumb 17..33
    MouseTo(B, 100, 9); // 75 of 150
    EXPECT_EQ(B->Position(), 50);
    MouseTo(B, 400, 9);
    EXPECT_EQ(B->Position(), 100);
    EXPECT_EQ(Last, 0);
    Release();
    EXPECT_EQ(Last, 1);
    EXPECT_EQ(Take(), (Strings{"change", "change"}));
}

TEST_F(ScrollBar, KeysAndWheelOnlyWhenFocusable) {
    auto* B = MakeBar();
    ClickOn(B, 100, 9);
    EXPECT_FALSE(B->Focused());
    B->SetPosition(0);
    B->SetCanFocused(true);
    EXPECT_TRUE(B->TabStop());
    ClickOn(B, 25, 9); // on the thumb: takes the focus
    EXPECT_TRUE(B->Focused());
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(B->Position(), 2);
    Key(VK_LEFT);
    EXPECT_EQ(B->Position(), 1);
    B->Perform(WM_MOUSEWHEEL, WPARAM(-120) << 16, 0);
    EXPECT_EQ(B->Position(), 2);
    B->Perform(WM_MOUSEWHEEL, WPARAM(120) << 16, 0);
    EXPECT_EQ(B->Position(), 1);
    B->SetCanFocused(false);
    Key(VK_RIGHT);
    B->Perform(WM_MOUSEWHEEL, WPARAM(-120) << 16, 0);
    EXPECT_EQ(B->Position(), 1);
}

TEST_F(ScrollBar, DefaultLookPixels) {
    auto* B = MakeBar();
    B->SetPosition(50); // thumb 92..108
    Pump();
    EXPECT_EQ(ScreenPixel(B, 92, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ScreenPixel(B, 100, 4), ColorToRGB(clBtnFace));
    MouseTo(B, 100, 9);
    EXPECT_EQ(ScreenPixel(B, 92, 1), cNavy);
    EXPECT_EQ(ScreenPixel(B, 100, 4), cHotFill);
    Press(B, 100, 9);
    EXPECT_EQ(ScreenPixel(B, 100, 4), cDownFill);
    Release();
    MouseTo(B, 190, 3);
    EXPECT_EQ(ScreenPixel(B, 190, 3), cHotFill);
    // Disabled: arrows, no thumb.
    MouseAway();
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(ScreenPixel(B, 92, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(ScreenPixel(B, 183, 1), ColorToRGB(clBtnShadow));
}

TEST_F(ScrollBar, SkinnedPartsAndThumbFallbacks) {
    auto* B = MakeBar(u"hscrollbar");
    B->SetBounds(10, 10, 200, 19);
    Pump();
    EXPECT_EQ(B->Height(), 15);
    B->CalcRects();
    // The track and the up arrow move with the width; the thumb is the 20 x 15 face.
    EXPECT_EQ(B->TrackRect(), Rect(15, 0, 185, 15));
    EXPECT_EQ(B->Part(TbsSkinScrollBar::UpPart).R, Rect(185, 0, 200, 15));
    EXPECT_EQ(B->Part(TbsSkinScrollBar::ThumbPart).R, Rect(15, 0, 35, 15));
    EXPECT_EQ(ScreenPixel(B, 7, 7), cBarArrow);
    EXPECT_EQ(ScreenPixel(B, 192, 7), cBarArrow);
    EXPECT_EQ(ScreenPixel(B, 100, 7), cTrack);
    EXPECT_EQ(ScreenPixel(B, 25, 7), cThumb);
    MouseTo(B, 192, 7);
    EXPECT_EQ(ScreenPixel(B, 192, 7), cArrowHot);
    Press(B, 192, 7);
    EXPECT_EQ(ScreenPixel(B, 192, 7), cArrowDown);
    Release();
    MouseTo(B, 7, 7);
    EXPECT_EQ(ScreenPixel(B, 7, 7), cArrowHot);
    Press(B, 7, 7); // no pressed face for the down arrow: the hot one
    EXPECT_EQ(ScreenPixel(B, 7, 7), cArrowHot);
    Release();

    struct Case {
        const char16_t* Name;
        TColor Hot, Pressed;
    } Cases[] = {
        {u"downthumbscrollbar", cThumbHot, cThumbDown},
        {u"hscrollbar", cThumbHot, cThumbHot},
        {u"plainthumbscrollbar", cThumb, cThumb},
    };
    for (const Case& C : Cases) {
        auto* T = MakeBar(C.Name);
        T->SetBounds(10, 60, 200, 15);
        Pump();
        MouseTo(T, 25, 7);
        EXPECT_EQ(ScreenPixel(T, 25, 7), C.Hot);
        Press(T, 25, 7);
        EXPECT_EQ(ScreenPixel(T, 25, 7), C.Pressed);
        Release();
        MouseAway();
        T->SetEnabled(false);
        Pump();
        EXPECT_EQ(ScreenPixel(T, 25, 7), cTrack);
        delete T;
    }
}

} // namespace
