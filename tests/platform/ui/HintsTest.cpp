// Hints: timing on the tests' clock, the first part of the hint text, CM_HINTSHOW and OnShowHint.
#include "platform/ui/Hints.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class HintsTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        A = Add(10, u"Save|Saves the file");
        B = Add(100, u"Open");
        Plain = Add(190, u"");
        Form->Show();
        Pump();
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }
    TControl* Add(int Left, const String& Hint) {
        auto* C = new TControl(Form.get());
        C->SetBounds(Left, 10, 80, 30);
        C->SetHint(Hint);
        C->SetShowHint(true);
        C->SetParent(Form.get());
        return C;
    }
    void MoveOver(TControl* C) {
        TPoint P = uitest::CentreOf(C);
        InjectMouseMove(P.X, P.Y);
        Pump();
    }
    bool HintShown() { return Application->HintWindow() && Application->HintWindow()->IsShowing(); }
    String HintText() { return HintShown() ? Application->HintWindow()->Caption() : String(u"(none)"); }

    std::unique_ptr<TForm> Form;
    TControl* A = nullptr;
    TControl* B = nullptr;
    TControl* Plain = nullptr;
};

TEST_F(HintsTest, AHintShowsAfterThePauseHidesAfterTheHidePauseAndComesSoonerRightAfterAnother) {
    Application->SetHintPause(500);
    Application->SetHintShortPause(50);
    Application->SetHintHidePause(2500);
    MoveOver(A);
    EXPECT_FALSE(HintShown());
    Advance(400);
    EXPECT_FALSE(HintShown());
    Advance(200);
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(HintText(), u"Save");
    // Below the mouse, at its left.
    TPoint Mouse = uitest::CentreOf(A);
    TRect R = Application->HintWindow()->BoundsRect();
    EXPECT_EQ(R.Left, Mouse.X);
    EXPECT_GT(R.Top, Mouse.Y);
    // Moving on while it shows: the next one after the short pause.
    MoveOver(B);
    EXPECT_FALSE(HintShown());
    Advance(60);
    EXPECT_EQ(HintText(), u"Open");
    Advance(2400);
    EXPECT_TRUE(HintShown());
    Advance(200);
    EXPECT_FALSE(HintShown());
    // It stays away while the mouse stays; a control without a hint shows none.
    Advance(1000);
    EXPECT_FALSE(HintShown());
    MoveOver(Plain);
    Advance(1000);
    EXPECT_FALSE(HintShown());
    // A press puts the hint away.
    MoveOver(A);
    Advance(600);
    ASSERT_TRUE(HintShown());
    InjectMouseButton(0, true);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_FALSE(HintShown());
}

TEST_F(HintsTest, TheControlAndOnShowHintMayChangeOrCancelTheHint) {
    Application->SetHintPause(100);
    A->SetWindowProc([Previous = A->WindowProc()](TMessage& M) {
        if (M.Msg == CM_HINTSHOW) {
            M.Result = 1;
            return;
        }
        Previous(M);
    });
    MoveOver(A);
    Advance(200);
    EXPECT_FALSE(HintShown());
    Application->OnShowHint = [](String& HintStr, bool& CanShow, THintInfo& Info) {
        HintStr = u"<" + HintStr + u">";
        Info.HintPos = TPoint{5, 6};
    };
    MoveOver(B);
    Advance(200);
    EXPECT_EQ(HintText(), u"<Open>");
    EXPECT_EQ(Application->HintWindow()->Left(), 5);
    EXPECT_EQ(Application->HintWindow()->Top(), 6);
    // With hints off nothing shows.
    Application->SetShowHint(false);
    EXPECT_FALSE(HintShown());
    MoveOver(Plain);
    MoveOver(B);
    Advance(200);
    EXPECT_FALSE(HintShown());
}

TEST_F(HintsTest, TheHintWindowClassMakesTheWindow) {
    struct TMarked : THintWindow {
        using THintWindow::THintWindow;
    };
    int Made = 0;
    THintWindowClass Saved = HintWindowClass;
    HintWindowClass = [&](TComponent* Owner) {
        ++Made;
        return new TMarked(Owner);
    };
    Application->SetHintPause(100);
    MoveOver(A);
    Advance(200);
    HintWindowClass = Saved;
    EXPECT_EQ(Made, 1);
    EXPECT_NE(dynamic_cast<TMarked*>(Application->HintWindow()), nullptr);
    EXPECT_EQ(HintText(), u"Save");
}

} // namespace
