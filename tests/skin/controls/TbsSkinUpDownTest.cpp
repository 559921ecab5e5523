// The skinned up-down driven by injected mouse input on the tests' clock: the setters' rules, the hit test on
// the shared edge, the repeat's pace with its pause off the button, the edge cases of Increment 0, Max and a
// release off the button, the skin's size and the faces of every state.
#include "skin/controls/TbsSkinUpDown.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class SkinUpDown : public ControlTest {
protected:
    // A control in the default look (no record of that name) unless a record is named.
    TbsSkinUpDown* UpDown(const String& Record = u"nosuchupdown", int W = 50, int H = 25) {
        auto* U = Make<TbsSkinUpDown>(Record, 10, 10, W, H);
        U->OnChange = [this, U](TObject*) { Changes.push_back(U->Position()); };
        U->OnUpButtonClick = [this](TObject*) { Clicks.push_back("up"); };
        U->OnDownButtonClick = [this](TObject*) { Clicks.push_back("down"); };
        return U;
    }
    // Waits in 10 ms slices until Ms have passed since Start.
    void WaitUntil(std::uint64_t Start, std::uint64_t Ms) {
        while (WinClock().Current() < Start + Ms)
            Wait(10);
    }

    std::vector<int> Changes;
    std::vector<std::string> Clicks;
};

TEST_F(SkinUpDown, StartsAsTheScrollerTheRecordNames) {
    TbsSkinUpDown U(nullptr);
    EXPECT_EQ(U.SkinDataName(), u"hupdown");
    EXPECT_TRUE(U.UseSkinSize());
    EXPECT_EQ(U.Min(), 0);
    EXPECT_EQ(U.Max(), 100);
    EXPECT_EQ(U.Increment(), 1);
    EXPECT_EQ(U.Position(), 0);
    EXPECT_EQ(U.Width(), 50);
    EXPECT_EQ(U.Height(), 25);
    EXPECT_EQ(U.Orientation(), udHorizontal);
    EXPECT_EQ(U.ActiveButton(), -1);
    EXPECT_EQ(U.CaptureButton(), -1);
}

TEST_F(SkinUpDown, SettersKeepPositionInsideTheRange) {
    TbsSkinUpDown* U = UpDown();
    U->SetPosition(40);
    U->SetPosition(40);  // the same value is reported again
    U->SetPosition(101); // outside: ignored
    U->SetPosition(-1);
    EXPECT_EQ(Changes, (std::vector<int>{40, 40}));
    U->SetMax(30); // pulls Position down without an event
    EXPECT_EQ(U->Position(), 30);
    U->SetMin(35); // and up
    EXPECT_EQ(U->Position(), 35);
    EXPECT_EQ(Changes.size(), 2u);
}

TEST_F(SkinUpDown, TheSharedEdgeBelongsToTheUpButton) {
    TbsSkinUpDown* U = UpDown();
    EXPECT_EQ(U->Buttons(TbsSkinUpDown::DownButton).R, Rect(0, 0, 25, 25));
    EXPECT_EQ(U->Buttons(TbsSkinUpDown::UpButton).R, Rect(25, 0, 50, 25));
    struct Case {
        int X;
        int Button;
        const char* Click;
        int Position;
    };
    const Case Cases[] = {{25, TbsSkinUpDown::UpButton, "up", 1},
                          {24, TbsSkinUpDown::DownButton, "down", 0},
                          {49, TbsSkinUpDown::UpButton, "up", 1}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.X);
        U->SetPosition(0);
        Clicks.clear();
        MouseTo(U, C.X, 12);
        EXPECT_EQ(U->ActiveButton(), C.Button);
        ClickOn(U, C.X, 12);
        EXPECT_EQ(Clicks, std::vector<std::string>{C.Click});
        EXPECT_EQ(U->Position(), C.Position);
    }
}

TEST_F(SkinUpDown, AHeldButtonRepeatsPausesOffTheButtonAndResumesFaster) {
    TbsSkinUpDown* U = UpDown();
    Press(U, 40, 12);
    const std::uint64_t T0 = WinClock().Current();
    EXPECT_EQ(U->TimerMode(), 2);
    EXPECT_TRUE(U->WaitMode());
    WaitUntil(T0, 590);
    EXPECT_TRUE(Changes.empty()); // 500 ms of waiting, then the 100 ms pace starts without a step
    WaitUntil(T0, 610);
    EXPECT_EQ(Changes, std::vector<int>{1});
    WaitUntil(T0, 810);
    EXPECT_EQ(Changes, (std::vector<int>{1, 2, 3}));

    // Off the button the repeat pauses; the button keeps its pressed state.
    MouseTo(U, 10, 12);
    const std::uint64_t T1 = WinClock().Current();
    WaitUntil(T1, 500);
    EXPECT_EQ(Changes.size(), 3u);
    EXPECT_TRUE(U->Buttons(TbsSkinUpDown::UpButton).Down);

    // Back on it, the steps come every 50 ms.
    MouseTo(U, 40, 12);
    const std::uint64_t T2 = WinClock().Current();
    WaitUntil(T2, 40);
    EXPECT_EQ(Changes.size(), 3u);
    WaitUntil(T2, 210);
    EXPECT_EQ(Changes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));

    // The release over the button adds one step and the click.
    Release();
    EXPECT_EQ(Changes.back(), 8);
    EXPECT_EQ(Clicks, std::vector<std::string>{"up"});
    EXPECT_EQ(U->TimerMode(), 0);
    Wait(500);
    EXPECT_EQ(U->Position(), 8);
}

TEST_F(SkinUpDown, IncrementZeroNeverStepsButStillClicks) {
    TbsSkinUpDown* U = UpDown();
    U->SetIncrement(0);
    Press(U, 5, 12);
    EXPECT_EQ(U->TimerMode(), 0);
    Wait(1000);
    Release();
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Clicks, std::vector<std::string>{"down"});
}

TEST_F(SkinUpDown, AtMaxTheHeldUpButtonStepsNothing) {
    TbsSkinUpDown* U = UpDown();
    U->SetMax(3);
    U->SetPosition(3);
    Changes.clear();
    Press(U, 40, 12);
    Wait(1000);
    EXPECT_EQ(U->TimerMode(), 2); // the timer keeps running
    Release();
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(U->Position(), 3);
    EXPECT_EQ(Clicks, std::vector<std::string>{"up"});
}

TEST_F(SkinUpDown, ReleasingOffTheButtonStepsNothing) {
    TbsSkinUpDown* U = UpDown();
    Press(U, 40, 12);
    MouseTo(U, 200, 100); // off the control altogether
    Wait(1000);
    Release();
    EXPECT_TRUE(Changes.empty());
    EXPECT_TRUE(Clicks.empty());
    const auto& Up = U->Buttons(TbsSkinUpDown::UpButton);
    EXPECT_FALSE(Up.Down);
    EXPECT_FALSE(Up.MouseIn);
    EXPECT_EQ(U->CaptureButton(), -1);
    EXPECT_EQ(ScreenPixel(U, 30, 5), TColor(ColorToRGB(clBtnFace)));
}

TEST_F(SkinUpDown, TheSkinSetsSizeAndButtonPlacesUnlessUseSkinSizeIsOff) {
    TbsSkinUpDown* U = UpDown(u"hupdown", 80, 30);
    EXPECT_EQ(U->Width(), 40);
    EXPECT_EQ(U->Height(), 20);
    EXPECT_EQ(U->Buttons(TbsSkinUpDown::UpButton).R, Rect(20, 0, 40, 20));

    TbsSkinUpDown* Free = Make<TbsSkinUpDown>(u"", 10, 60);
    Free->SetUseSkinSize(false);
    Free->SetSkinDataName(u"hupdown");
    Free->SetSkinData(Skin);
    Free->SetBounds(10, 60, 80, 30);
    Pump();
    EXPECT_EQ(Free->Width(), 80);
    EXPECT_EQ(Free->Height(), 30);
    EXPECT_EQ(Free->Buttons(TbsSkinUpDown::DownButton).R, Rect(0, 0, 40, 30));
    EXPECT_EQ(Free->Buttons(TbsSkinUpDown::UpButton).R, Rect(40, 0, 80, 30));
    // The faces come from the skin's "resizebutton" record, each with its arrow.
    EXPECT_EQ(ScreenPixel(Free, 50, 5), cScrollNormal);
    EXPECT_NE(ScreenPixel(Free, 60, 15), cScrollNormal);
}

TEST_F(SkinUpDown, SkinnedFacesOverlayTheHoveredAndPressedButton) {
    TbsSkinUpDown* U = UpDown(u"hupdown");
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDown);
    EXPECT_EQ(ScreenPixel(U, 30, 10), cUDUp);
    MouseTo(U, 30, 10);
    EXPECT_EQ(ScreenPixel(U, 30, 10), cUDUpHot);
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDown);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(ScreenPixel(U, 30, 10), cUDUpPressed);
    Release();
    MouseTo(U, 5, 10);
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDownHot);
    EXPECT_EQ(ScreenPixel(U, 30, 10), cUDUp);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDownPressed);
    Release();
    MouseAway();
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDown);
}

TEST_F(SkinUpDown, TheDefaultLookFramesEachButtonByItsState) {
    TbsSkinUpDown* U = UpDown(u"nosuchupdown", 40, 40);
    U->SetOrientation(udVertical);
    Pump();
    EXPECT_EQ(U->Buttons(TbsSkinUpDown::UpButton).R, Rect(0, 0, 40, 20));
    struct Probe {
        TColor Frame, Fill;
    };
    auto Look = [&](int Y0) { return Probe{ScreenPixel(U, 0, Y0 + 5), ScreenPixel(U, 3, Y0 + 5)}; };
    EXPECT_EQ(Look(0).Frame, TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(Look(0).Fill, TColor(ColorToRGB(clBtnFace)));
    MouseTo(U, 20, 5);
    EXPECT_EQ(Look(0).Frame, cNavy);
    EXPECT_EQ(Look(0).Fill, cHotFill);
    EXPECT_EQ(Look(20).Fill, TColor(ColorToRGB(clBtnFace)));
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(Look(0).Frame, cNavy);
    EXPECT_EQ(Look(0).Fill, cDownFill);
    // The up arrow points up: its tip row is one pixel wide at the centre.
    EXPECT_EQ(ScreenPixel(U, 20, 8), clBlack);
    EXPECT_EQ(ScreenPixel(U, 19, 8), cDownFill);
    EXPECT_EQ(ScreenPixel(U, 18, 11), clBlack);
    Release();
}

} // namespace
