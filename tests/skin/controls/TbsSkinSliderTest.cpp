#include "skin/controls/bsSkinCtrls.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include "platform/gdi/Resources.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

using Strings = std::vector<std::string>;

class Slider : public ControlTest {
protected:
    // A slider at (10, 10) in its constructed size, 150 x 40, logging its events.
    TbsSkinSlider* MakeSlider(const String& SkinName = u"") {
        auto* S = Make<TbsSkinSlider>(SkinName);
        S->OnChange = [this, S](TObject*) { Log.push_back("change " + std::to_string(S->Value())); };
        S->OnChanged = [this](TObject*) { Log.push_back("changed"); };
        return S;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    std::vector<std::string> Log;
};

TEST_F(Slider, NewSliderGeometryAndTicks) {
    auto* S = MakeSlider();
    EXPECT_EQ(S->Width(), 150);
    EXPECT_EQ(S->Height(), 40);
    EXPECT_EQ(S->Ruler()->Width(), 138);
    EXPECT_EQ(S->Ruler()->Height(), 8);
    EXPECT_EQ(S->RulerOrg(), (TPoint{6, 10}));
    EXPECT_EQ(S->ThumbRect(), Bounds(6, 6, 9, 17));
    EXPECT_EQ(S->GetRulerLength(), 129);
    EXPECT_EQ(S->PointsRect(), Rect(6, 24, 144, 39));
    EXPECT_TRUE(S->TabStop());
    EXPECT_EQ(S->SkinDataName(), u"slider");

    const COLORREF Face = ColorToRGB(S->Color());
    // Ticks hang from the band's top at the thumb's centre: 5 pixels at 0 and 100, 3 between (50 at
    // 6 + Round(64.5) + 4).
    struct Tick {
        int X, Length;
    } Ticks[] = {{10, 5}, {23, 3}, {74, 3}, {139, 5}};
    for (const Tick& T : Ticks) {
        EXPECT_EQ(ScreenPixel(S, T.X, 24 + T.Length - 1), ColorToRGB(clWindowText)) << T.X;
        EXPECT_EQ(ScreenPixel(S, T.X, 24 + T.Length), Face) << T.X;
    }
    // The ruler's groove (its transparent rows show the face) and the thumb over it.
    EXPECT_EQ(ScreenPixel(S, 60, 10), Face);
    EXPECT_EQ(ScreenPixel(S, 60, 12), RGB(128, 128, 128));
    EXPECT_EQ(ScreenPixel(S, 60, 13), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(S, 8, 8), RGB(192, 192, 192));
    EXPECT_EQ(ScreenPixel(S, 6, 22), Face); // the thumb's point leaves its corner transparent
}

TEST_F(Slider, VerticalGeometry) {
    auto* S = MakeSlider();
    S->SetOrientation(soVertical);
    S->SetBounds(10, 10, 40, 150);
    Pump();
    EXPECT_EQ(S->Ruler()->Width(), 8);
    EXPECT_EQ(S->Ruler()->Height(), 138);
    EXPECT_EQ(S->RulerOrg(), (TPoint{11, 6}));
    EXPECT_EQ(S->ThumbRect(), Bounds(6, 135, 19, 9)); // Value 0 at the bottom
    EXPECT_EQ(S->PointsRect(), Rect(26, 6, 39, 144));
    S->SetValue(100);
    EXPECT_EQ(S->ThumbRect(), Bounds(6, 6, 19, 9));
}

TEST_F(Slider, ValueRangeAndIncrement) {
    auto* S = MakeSlider();
    S->SetValue(150);
    EXPECT_EQ(S->Value(), 100);
    S->SetValue(100);
    EXPECT_EQ(Take(), Strings{"change 100"});
    EXPECT_EQ(S->ThumbRect().Left, 135);

    S->SetMaxValue(5); // the increment cannot exceed the range
    EXPECT_EQ(S->Increment(), 5);
    EXPECT_EQ(S->Value(), 5);
    S->SetIncrement(0);
    S->SetIncrement(-3);
    EXPECT_EQ(S->Increment(), 5);
    S->SetMaxValue(100);
    S->SetMinValue(100); // an empty range is refused
    S->SetMaxValue(0);
    EXPECT_EQ(S->MinValue(), 0);
    EXPECT_EQ(S->MaxValue(), 100);
}

TEST_F(Slider, KeysStepToMultiplesOfTheIncrement) {
    struct Case {
        TbsSliderOrientation Orientation;
        UINT Key, Modifier;
        int Want;
    } Cases[] = {
        {soHorizontal, VK_RIGHT, 0, 30}, // Round(1.5) = 2, the even neighbour
        {soHorizontal, VK_LEFT, 0, 10},  {soHorizontal, VK_HOME, 0, 0},          {soHorizontal, VK_END, 0, 100},
        {soHorizontal, VK_UP, 0, 15},    {soHorizontal, VK_RIGHT, VK_SHIFT, 15}, {soVertical, VK_UP, 0, 30},
        {soVertical, VK_DOWN, 0, 10},    {soVertical, VK_RIGHT, 0, 15},
    };
    for (const Case& C : Cases) {
        auto* S = MakeSlider();
        S->SetOrientation(C.Orientation);
        S->SetValue(15);
        S->SetFocus();
        Take();
        Key(C.Key, C.Modifier);
        EXPECT_EQ(S->Value(), C.Want) << C.Key;
        if (C.Want != 15)
            EXPECT_EQ(Take().back(), "changed");
        delete S;
    }
}

TEST_F(Slider, PressBesideTheThumbPagesEvery400MsUntilTheThumbReachesThePointer) {
    auto* S = MakeSlider();
    Press(S, 100, 14);
    EXPECT_EQ(S->Value(), 10);
    EXPECT_TRUE(S->Focused());
    Wait(399);
    EXPECT_EQ(S->Value(), 10);
    Wait(1);
    EXPECT_EQ(S->Value(), 20);
    for (int I = 0; I < 8; ++I)
        Wait(400);
    EXPECT_EQ(S->Value(), 70); // thumb 96..105 covers x 100: the steps pause
    MouseTo(S, 140, 14);
    Wait(400);
    EXPECT_EQ(S->Value(), 80); // beyond the thumb again
    Release();
    Wait(800);
    EXPECT_EQ(S->Value(), 80);
    EXPECT_EQ(Take().back(), "changed");

    // Vertical: a press above the thumb raises the value.
    S->SetOrientation(soVertical);
    S->SetBounds(10, 10, 40, 150);
    S->SetValue(0);
    ClickOn(S, 15, 50);
    EXPECT_EQ(S->Value(), 10);
}

TEST_F(Slider, DraggedThumbSnapsUnlessSmooth) {
    struct Case {
        TbsSliderOptions Options;
        int Want, WantLeft;
    } Cases[] = {
        {{soShowPoints}, 30, 45},           // 40 of 129 pixels is 31: the nearest step is 30, at 6 + 39
        {{soShowPoints, soSmooth}, 31, 46}, // 6 + Round(40.0)
    };
    for (const Case& C : Cases) {
        auto* S = MakeSlider();
        S->SetOptions(C.Options);
        Press(S, 10, 14); // 4 pixels into the thumb
        MouseTo(S, 50, 14);
        EXPECT_EQ(S->Value(), C.Want);
        EXPECT_EQ(S->ThumbRect().Left, C.WantLeft);
        EXPECT_EQ(ScreenPixel(S, C.WantLeft + 2, 8), ColorToRGB(clWhite)); // the pressed state's dither
        Release();
        EXPECT_EQ(S->Value(), C.Want);
        EXPECT_EQ(Take(), (Strings{"change " + std::to_string(C.Want), "changed"}));
        delete S;
    }
}

// The seek bar reads the value in its OnMouseUp: the drag or the stepping has ended before it.
TEST_F(Slider, MouseDownComesFirstAndMouseUpLastWithTheValueFinal) {
    auto* S = MakeSlider();
    S->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState, int, int) {
        Log.push_back("down " + std::to_string(int(B)) + " " + std::to_string(S->Value()));
    };
    S->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState, int, int) {
        Log.push_back("up " + std::to_string(int(B)) + " " + std::to_string(S->Value()) +
                      (S->FSliding || S->FTracking ? " busy" : ""));
    };
    Press(S, 10, 14);
    MouseTo(S, 80, 14);
    Release();
    EXPECT_EQ(Take(), (Strings{"down 0 0", "change 54", "changed", "up 0 54"}));
    Press(S, 140, 14);
    Release();
    EXPECT_EQ(Take(), (Strings{"down 0 54", "change 60", "changed", "up 0 60"}));
    TPoint P = S->ClientToScreen(TPoint{140, 14});
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(1, true);
    InjectMouseButton(1, false);
    Pump();
    EXPECT_EQ(Take(), (Strings{"down 1 60", "up 1 60"}));
}

TEST_F(Slider, UserImagesAndTheirDefaults) {
    auto* S = MakeSlider();
    TBitmap User(30, 12);
    Fill(User, Rect(0, 0, 30, 12), clRed);
    S->SetImageHRuler(&User);
    EXPECT_TRUE(S->UserImages().Contains(siHRuler));
    EXPECT_EQ(S->Ruler()->Height(), 12);
    S->SetOptions(S->Options() + TbsSliderOptions{soRulerOpaque, soThumbOpaque});
    Pump();
    EXPECT_EQ(ScreenPixel(S, 60, 12), ColorToRGB(clRed));

    S->SetImageHRuler(nullptr);
    EXPECT_FALSE(S->UserImages().Contains(siHRuler));
    EXPECT_FALSE(S->Options().Contains(soRulerOpaque));
    EXPECT_TRUE(S->Options().Contains(soThumbOpaque));
    TBitmap Default;
    Default.LoadFromResourceName(HInstance, u"BS_HRL");
    ASSERT_EQ(S->ImageHRuler()->Width(), 10);
    ASSERT_EQ(S->ImageHRuler()->Height(), 8);
    EXPECT_EQ(S->ImageHRuler()->PixelFormat(), pf4bit);
    for (int Y = 0; Y < 8; ++Y)
        EXPECT_EQ(S->ImageHRuler()->Canvas()->Pixels(3, Y), Default.Canvas()->Pixels(3, Y));
    EXPECT_EQ(S->Ruler()->Height(), 8);

    struct Picture {
        const char16_t* Name;
        int W, H;
    } Pictures[] = {{u"BS_HTB", 18, 17}, {u"BS_HRL", 10, 8}, {u"BS_VTB", 38, 9}, {u"BS_VRL", 8, 10}};
    for (const Picture& P : Pictures) {
        TBitmap B;
        B.LoadFromResourceName(HInstance, P.Name);
        EXPECT_EQ(B.Width(), P.W);
        EXPECT_EQ(B.Height(), P.H);
        EXPECT_EQ(B.PixelFormat(), pf4bit);
    }
}

TEST_F(Slider, EdgeSizeMustLeaveAMiddlePiece) {
    auto* S = MakeSlider();
    for (int Refused : {-1, 5, 2})
        S->SetEdgeSize(Refused);
    EXPECT_EQ(S->EdgeSize(), 2);
    S->SetEdgeSize(4);
    EXPECT_EQ(S->EdgeSize(), 4);
    // A picture no longer than both ends has no middle piece: its start alone is drawn.
    TBitmap Short(8, 8);
    Fill(Short, Rect(0, 0, 8, 8), clRed);
    S->SetImageHRuler(&Short);
    Pump();
    EXPECT_EQ(S->Ruler()->Width(), 138);
}

TEST_F(Slider, EmptyRangeOrNoTravelMapsToTheStart) {
    auto* S = MakeSlider();
    Form->BeginLoading();
    S->SetMinValue(100); // stored properties are taken as they come
    Form->EndLoading();
    EXPECT_EQ(S->MinValue(), 100);
    EXPECT_EQ(S->MaxValue(), 100);
    S->SetValue(50);
    Pump();
    EXPECT_EQ(S->Value(), 100);
    EXPECT_EQ(S->ThumbRect().Left, 6);

    auto* Tiny = MakeSlider();
    Tiny->SetBounds(10, 60, 14, 40);
    Pump();
    EXPECT_LT(Tiny->GetRulerLength(), 0);
    EXPECT_EQ(Tiny->GetValueByOffset(40), 0);
    Press(Tiny, 12, 14);
    MouseTo(Tiny, 13, 14);
    Release();
    EXPECT_EQ(Tiny->Value(), 0);
}

TEST_F(Slider, SkinnedRulerThumbAndTicks) {
    auto* S = MakeSlider(u"slider");
    EXPECT_EQ(S->Ruler()->Height(), 6);
    EXPECT_EQ(S->RulerOrg(), (TPoint{6, 8}));
    EXPECT_EQ(S->ThumbRect(), Bounds(6, 6, 10, 10));
    EXPECT_EQ(S->PointsRect(), Rect(6, 17, 144, 39));
    EXPECT_EQ(ScreenPixel(S, 1, 1), cSliderBg);
    EXPECT_EQ(ScreenPixel(S, 60, 9), cSliderRuler);
    EXPECT_EQ(ScreenPixel(S, 8, 8), cSliderThumb);
    EXPECT_EQ(ScreenPixel(S, 6, 15), cSliderBg); // the thumb's keyed corner
    EXPECT_EQ(ScreenPixel(S, 11, 21), cSliderPoints);
    Press(S, 8, 8);
    EXPECT_EQ(ScreenPixel(S, 8, 8), cSliderThumbDown);
    Release();
    S->SetEnabled(false);
    Pump();
    EXPECT_EQ(ScreenPixel(S, 8, 8), cSliderThumbDown);
    // Without the skin's thumb the pictures' thumb rides the skin's ruler.
    S->SetEnabled(true);
    S->SetUseSkinThumb(false);
    Pump();
    EXPECT_EQ(S->ThumbRect(), Bounds(6, 6, 9, 17));
    EXPECT_EQ(ScreenPixel(S, 8, 8), RGB(192, 192, 192));
}

} // namespace
