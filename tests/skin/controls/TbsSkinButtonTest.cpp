// The skinned push button driven by injected mouse and keys on the headless screen: click rules, groups,
// repetition and the hover transition on the tests' clock, default and cancel roles, actions, the faces of
// every state in the skinned and the default look, the mask and the glow frame.
#include "skin/controls/bsSkinCtrls.h"

#include "platform/ui/Edits.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class SkinButton : public ControlTest {
protected:
    TbsSkinButton* Button(const String& Record = u"button", int X = 10, int Y = 10) {
        auto* B = Make<TbsSkinButton>(Record, X, Y);
        B->SetName(u"B" + IntToStr(++Count));
        B->OnClick = [this, B](TObject* Sender) {
            EXPECT_EQ(Sender, B);
            Clicks.push_back(B->Name());
        };
        return B;
    }
    // A plain button without skin record.
    TbsSkinButton* DefaultButton(int X = 10, int Y = 10) { return Button(u"nosuchbutton", X, Y); }
    TColor Face(TbsSkinButton* B) { return ScreenPixel(B, 3, B->Height() / 2); }
    TColor FaceInside(TbsSkinButton* B) { return ScreenPixel(B, 8, 3); }

    std::vector<String> Clicks;
    int Count = 0;
};

TEST_F(SkinButton, AClickNeedsTheReleaseOverTheButton) {
    TbsSkinButton* B = Button();
    ClickOn(B, 30, 12);
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"});
    EXPECT_FALSE(B->Down());

    // Pressed, dragged off and released outside: no click, and the button is up.
    Press(B, 30, 12);
    EXPECT_TRUE(B->Down());
    MouseTo(B, 200, 150);
    Release();
    EXPECT_EQ(Clicks.size(), 1u);
    EXPECT_FALSE(B->Down());
}

TEST_F(SkinButton, GroupButtonsClickOnPressAndRaiseEachOther) {
    TbsSkinButton* A = Button(u"button", 10, 10);
    TbsSkinButton* B = Button(u"button", 100, 10);
    A->SetGroupIndex(1);
    B->SetGroupIndex(1);
    Press(A, 30, 12);
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"}); // at once, on the press
    Release();
    EXPECT_TRUE(A->Down());
    ClickOn(A, 30, 12); // pressed again while down: stays down, no click
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(Clicks.size(), 1u);
    ClickOn(B, 30, 12);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());

    // With AllowAllUp both may stay down, and a down button goes up on release with a click.
    A->SetAllowAllUp(true);
    B->SetAllowAllUp(true);
    ClickOn(A, 30, 12);
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(B->Down());
    Clicks.clear();
    Press(A, 30, 12);
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(Clicks.empty());
    Release();
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"});
}

TEST_F(SkinButton, AGroupButtonIsNotFocusable) {
    TbsSkinButton* B = Button();
    EXPECT_TRUE(B->TabStop());
    B->SetGroupIndex(2);
    EXPECT_FALSE(B->CanFocused());
    EXPECT_FALSE(B->TabStop());
}

TEST_F(SkinButton, HoldingRepeatsOnTheTimerAndClicksOnceMoreOnRelease) {
    TbsSkinButton* B = Button();
    B->SetRepeatMode(true);
    B->SetRepeatInterval(100);
    Press(B, 30, 12);
    EXPECT_TRUE(Clicks.empty()); // the press itself does not click
    for (int Ms = 0; Ms < 1000; Ms += 10)
        Wait(10);
    // 500 ms to start, then one click every 100 ms: at 600, 700, 800, 900 and 1000.
    EXPECT_EQ(Clicks.size(), 5u);
    Release();
    EXPECT_EQ(Clicks.size(), 6u);
    EXPECT_FALSE(B->RepeatRunning());
    Wait(500);
    EXPECT_EQ(Clicks.size(), 6u);
}

TEST_F(SkinButton, HoverMorphsToTheHotFaceInFiveSteps) {
    TbsSkinButton* B = Button(u"morphbutton");
    ASSERT_EQ(Face(B), cNormal);
    MouseTo(B, 30, 12);
    EXPECT_TRUE(B->MorphRunning());
    Wait(20);
    EXPECT_NEAR(B->MorphKf(), 0.2, 1e-9);
    // The first step blends the two faces, still nearer the normal one.
    const COLORREF Blend = ColorToRGB(Face(B));
    EXPECT_GT(GetRValue(Blend), 0);
    EXPECT_LT(GetRValue(Blend), 0xC0);
    EXPECT_GT(GetGValue(Blend), 0);
    EXPECT_LT(GetGValue(Blend), GetRValue(Blend));
    for (int Step = 2; Step <= 5; ++Step)
        Wait(20);
    EXPECT_NEAR(B->MorphKf(), 1.0, 1e-9);
    EXPECT_EQ(Face(B), cHot);
    Wait(20);
    EXPECT_EQ(B->MorphKf(), 1.0);
    EXPECT_FALSE(B->MorphRunning());
    MouseAway();
    // Back down in steps; the last one may pass 0 before the factor snaps to it.
    for (int Step = 0; Step < 7; ++Step)
        Wait(20);
    EXPECT_EQ(B->MorphKf(), 0.0);
    EXPECT_FALSE(B->MorphRunning());
    EXPECT_EQ(Face(B), cNormal);
}

TEST_F(SkinButton, EachStateShowsItsFace) {
    TbsSkinButton* B = Button();
    TbsSkinButton* Other = Button(u"button", 10, 60);
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Face(B), cNormal);
    MouseTo(B, 30, 12);
    EXPECT_EQ(Face(B), cHot);
    Press(B, 30, 12);
    EXPECT_EQ(Face(B), cDown);
    Release();
    // The press took the focus: the focused face.
    EXPECT_EQ(Face(B), cFocused);
    MouseAway();
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(Face(B), cDisabled);
}

TEST_F(SkinButton, TheDefaultLookFramesEachState) {
    struct Probe {
        TColor Frame, Fill;
    };
    TbsSkinButton* B = DefaultButton();
    TbsSkinButton* Other = DefaultButton(10, 60);
    Other->SetFocus();
    Pump();
    auto Look = [&] { return Probe{ScreenPixel(B, 0, 0), ScreenPixel(B, 3, 3)}; };
    auto Expect = [&](Probe Want, const char* What) {
        Probe Got = Look();
        EXPECT_EQ(ColorToRGB(Got.Frame), ColorToRGB(Want.Frame)) << What;
        EXPECT_EQ(ColorToRGB(Got.Fill), ColorToRGB(Want.Fill)) << What;
    };
    Expect({clBtnShadow, clBtnFace}, "normal");
    MouseTo(B, 30, 12);
    Expect({cNavy, cHotFill}, "hot");
    Press(B, 30, 12);
    Expect({cNavy, cDownFill}, "pressed");
    Release();
    Expect({cNavy, cHotFill}, "focused");
}

TEST_F(SkinButton, APressOnTheCutCornerReachesTheParent) {
    TbsSkinButton* B = Button();
    std::vector<TPoint> FormPresses;
    Form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) { FormPresses.push_back({X, Y}); };
    ClickOn(B, 1, 1);
    EXPECT_TRUE(Clicks.empty());
    ASSERT_EQ(FormPresses.size(), 1u);
    EXPECT_EQ(FormPresses[0], (TPoint{11, 11}));
    ClickOn(B, 8, 8);
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(SkinButton, SpaceClicksOnlyAfterItsOwnPress) {
    TbsSkinButton* A = Button(u"button", 10, 10);
    TbsSkinButton* B = Button(u"button", 100, 10);
    A->SetFocus();
    Pump();
    Key(VK_SPACE);
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"});
    // Space goes down on A, the focus moves to B, Space comes up on B: nobody clicks.
    InjectKey(VK_SPACE, true);
    Pump();
    EXPECT_TRUE(A->Down());
    B->SetFocus();
    Pump();
    EXPECT_FALSE(A->Down());
    InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(SkinButton, EnterAndEscapeFollowTheDefaultAndCancelRoles) {
    TbsSkinButton* Ok = Button(u"button", 10, 10);
    TbsSkinButton* Cancel = Button(u"button", 100, 10);
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    auto* Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 60, 100, 20);
    Edit->SetFocus();
    Pump();
    // The default button looks hot while the focus is on the edit, and Enter clicks it once.
    EXPECT_TRUE(Ok->MouseIn());
    Key(VK_RETURN);
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"});
    EXPECT_EQ(Form->ModalResult(), mrOk);
    Key(VK_ESCAPE, VK_SHIFT);
    EXPECT_EQ(Clicks.size(), 1u);
    Key(VK_ESCAPE);
    EXPECT_EQ(Clicks, (std::vector<String>{u"B1", u"B2"}));
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    // The focused button answers Enter itself, once; the default one loses its hot look.
    Cancel->SetFocus();
    Pump();
    EXPECT_FALSE(Ok->MouseIn());
    Clicks.clear();
    Key(VK_RETURN);
    EXPECT_EQ(Clicks, std::vector<String>{u"B2"});
    Ok->SetFocus();
    Pump();
    Clicks.clear();
    Key(VK_RETURN);
    EXPECT_EQ(Clicks, std::vector<String>{u"B1"});
}

TEST_F(SkinButton, AnOwnOnClickWinsOverTheActionsExecute) {
    TbsSkinButton* B = Button();
    auto* Action = new TAction(Form.get());
    int Executed = 0;
    Action->OnExecute = [&](TObject*) { ++Executed; };
    B->SetAction(Action);
    ClickOn(B, 30, 12);
    EXPECT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Executed, 0);
    // Without an OnClick of its own the button takes the action's and runs the action.
    TbsSkinButton* Plain = Make<TbsSkinButton>(u"button", 100, 10);
    Plain->SetAction(Action);
    ClickOn(Plain, 30, 12);
    EXPECT_EQ(Executed, 1);
    // The action's state reaches the button; a freed action leaves it without one.
    Action->SetEnabled(false);
    EXPECT_FALSE(Plain->Enabled());
    delete Action;
    EXPECT_EQ(Plain->Action(), nullptr);
}

TEST_F(SkinButton, FourGlyphsShowHotPressedAndDisabled) {
    // Frames of 8 x 8, one colour each; the bottom-left pixel is the transparent colour.
    const TColor Colours[] = {0x101010, 0x202020, 0x303030, 0x404040};
    TBitmap Strip(32, 8);
    for (int I = 0; I < 4; ++I)
        Fill(Strip, Bounds(I * 8, 0, 8, 8), Colours[I]);
    for (int I = 0; I < 4; ++I)
        Strip.Canvas()->SetPixels(I * 8, 7, clFuchsia);
    TbsSkinButton* B = Button();
    B->SetGlyph(&Strip);
    B->SetNumGlyphs(4);
    TbsSkinButton* Other = Button(u"button", 10, 60);
    Other->SetFocus();
    Pump();
    auto GlyphPixel = [&] { return ScreenPixel(B, B->Width() / 2, B->Height() / 2 - 2); };
    EXPECT_EQ(GlyphPixel(), Colours[0]);
    MouseTo(B, 10, 12);
    EXPECT_EQ(GlyphPixel(), Colours[3]);
    Press(B, 10, 12);
    // The pressed content moves one pixel; its middle still shows frame 3.
    EXPECT_EQ(GlyphPixel(), Colours[2]);
    Release();
    MouseAway();
    Other->SetFocus();
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(GlyphPixel(), Colours[1]);
}

TEST_F(SkinButton, AFreeSizeButtonStretchesItsFaceAndHasNoRegion) {
    auto* B = new TbsSkinButton(Form.get());
    B->SetParent(Form.get());
    B->SetUseSkinSize(false);
    B->SetBounds(10, 10, 90, 30);
    B->SetSkinData(Skin);
    Pump();
    EXPECT_EQ(B->Width(), 90);
    EXPECT_EQ(B->FRgn, nullptr);
    EXPECT_EQ(ScreenPixel(B, 1, 1), cNormal);
}

TEST_F(SkinButton, HoverShowsTheGlowFrameAndLeavingHidesIt) {
    TbsSkinButton* B = Button(u"glowbutton");
    ASSERT_NE(B->LayerManager(), nullptr);
    MouseTo(B, 30, 12);
    EXPECT_TRUE(B->LayerManager()->IsVisible);
    MouseAway();
    EXPECT_FALSE(B->LayerManager()->IsVisible);
    // A skin switch hides a glow that shows.
    MouseTo(B, 30, 12);
    ASSERT_TRUE(B->LayerManager()->IsVisible);
    B->BeforeChangeSkinData();
    EXPECT_FALSE(B->LayerManager()->IsVisible);
}

TEST_F(SkinButton, TheHotFacePlaysItsFramesForwardAndBack) {
    TbsSkinButton* B = Button(u"animbutton");
    MouseTo(B, 30, 12);
    EXPECT_TRUE(B->AnimationRunning());
    EXPECT_EQ(Face(B), cFrames[0]);
    Wait(50);
    EXPECT_EQ(Face(B), cFrames[1]);
    Wait(50);
    EXPECT_EQ(Face(B), cFrames[2]);
    Wait(50);
    EXPECT_FALSE(B->AnimationRunning());
    EXPECT_EQ(Face(B), cHot);
    // Leaving plays the frames back over the normal face.
    MouseAway();
    EXPECT_EQ(Face(B), cFrames[2]);
    for (int I = 0; I < 3; ++I)
        Wait(50);
    EXPECT_FALSE(B->AnimationRunning());
    EXPECT_EQ(Face(B), cNormal);
    // A press stops it.
    MouseTo(B, 30, 12);
    Press(B, 30, 12);
    EXPECT_FALSE(B->AnimationRunning());
    EXPECT_EQ(Face(B), cDown);
    Release();
}

TEST_F(SkinButton, DisabledTextTurnsGreyWhenTheSkinKeepsTheNormalColour) {
    TbsSkinButton* B = Button();
    // The test skin gives the disabled text the normal colour.
    EXPECT_EQ(B->DisabledFontColor, TColor(8421504));
}

} // namespace
