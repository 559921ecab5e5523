// Scripted drags on the default frame, with the messages that reach the form's previous procedure compared with
// the expected sequence: the caption moves the form, an edge and a corner size it down to its minimum size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

using TSeq = std::vector<std::string>;

class FrameDragTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Watched = {WM_NCLBUTTONDOWN, WM_ENTERSIZEMOVE, WM_MOVING, WM_SIZING, WM_SIZE, WM_EXITSIZEMOVE};
    }
    // From a window point, through screen offsets, with the button held.
    void Drag(TPoint From, const std::vector<TPoint>& Steps) {
        InjectMouseMove(Form->Left() + From.X, Form->Top() + From.Y);
        Pump();
        Reached.clear();
        int X0 = Form->Left() + From.X, Y0 = Form->Top() + From.Y;
        InjectMouseButton(0, true);
        for (TPoint D : Steps)
            InjectMouseMove(X0 + D.X, Y0 + D.Y);
        InjectMouseButton(0, false);
        Pump();
    }
    TSeq Names() const {
        TSeq S;
        for (UINT M : Reached)
            S.push_back(M == WM_NCLBUTTONDOWN     ? "NCLBUTTONDOWN"
                        : M == WM_ENTERSIZEMOVE   ? "ENTERSIZEMOVE"
                        : M == WM_MOVING          ? "MOVING"
                        : M == WM_SIZING          ? "SIZING"
                        : M == WM_SIZE            ? "SIZE"
                        : M == WM_NCLBUTTONDBLCLK ? "NCLBUTTONDBLCLK"
                                                  : "EXITSIZEMOVE");
        return S;
    }
};

TEST_F(FrameDragTest, TheCaptionMovesTheForm) {
    Drag({150, 10}, {{10, 5}, {50, 30}});
    EXPECT_EQ(Names(), (TSeq{"NCLBUTTONDOWN", "ENTERSIZEMOVE", "MOVING", "MOVING", "EXITSIZEMOVE"}));
    EXPECT_EQ(Form->BoundsRect(), Bounds(150, 130, 300, 200));
    EXPECT_FALSE(Skin->FSizeMove);
}

TEST_F(FrameDragTest, AnEdgeSizesTheFormEveryStepDownToItsMinimumWidth) {
    Drag({299, 100}, {{-50, 0}, {-100, 0}, {-250, 0}});
    EXPECT_EQ(Names(), (TSeq{"NCLBUTTONDOWN", "ENTERSIZEMOVE", "SIZING", "SIZE", "SIZING", "SIZE", "SIZING", "SIZE",
                             "EXITSIZEMOVE"}));
    EXPECT_EQ(Form->BoundsRect(), Bounds(100, 100, 120, 200));
    EXPECT_EQ(ClientInWindow(), Rect(3, 22, 117, 197)) << "the frame follows the new size";
    EXPECT_FALSE(Skin->FSizing);
}

TEST_F(FrameDragTest, ACornerSizesBothWaysDownToTheMinimumSize) {
    Drag({1, 1}, {{100, 60}, {400, 400}});
    EXPECT_EQ(Names(), (TSeq{"NCLBUTTONDOWN", "ENTERSIZEMOVE", "SIZING", "SIZE", "SIZING", "SIZE", "EXITSIZEMOVE"}));
    EXPECT_EQ(Form->BoundsRect(), Bounds(280, 275, 120, 25));
}

TEST_F(FrameDragTest, PressingAndReleasingTheCloseButtonClosesTheForm) {
    MouseAt(288, 12);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_TRUE(Form->Visible());
    InjectMouseButton(0, false);
    Pump();
    EXPECT_FALSE(Form->Visible());
}

TEST_F(FrameDragTest, ReleasingAwayFromTheCloseButtonDoesNothing) {
    MouseAt(288, 12);
    InjectMouseButton(0, true);
    Pump();
    MouseAt(150, 100);
    Wait(60); // the hover timer sees the mouse leave
    InjectMouseButton(0, false);
    Pump();
    EXPECT_TRUE(Form->Visible());
    auto* Close = Skin->Objects(Skin->GetIndex(u"closebutton"));
    EXPECT_FALSE(static_cast<TbsSkinButtonObject*>(Close)->Down());
}

// Two clicks on a sizeable form's caption, as the user makes them: the first starts and ends a move loop, the
// second arrives as a double click, which the skinned frame keeps for itself and answers with its own state.
TEST_F(FrameDragTest, ADoubleClickOnTheCaptionMaximizesThenRestores) {
    Watched.insert(WM_NCLBUTTONDBLCLK);
    const TSeq Expected{"NCLBUTTONDOWN", "ENTERSIZEMOVE", "EXITSIZEMOVE", "SIZE"};
    for (TWindowState Want : {wsMaximized, wsNormal}) {
        MouseAt(150, 10);
        Reached.clear();
        for (int I = 0; I < 2; ++I) {
            InjectMouseButton(0, true);
            InjectMouseButton(0, false);
        }
        Pump();
        EXPECT_EQ(Skin->WindowState(), Want);
        EXPECT_EQ(Names(), Expected);
    }
    EXPECT_EQ(Form->BoundsRect(), Bounds(100, 100, 300, 200));
}

} // namespace
} // namespace formtest
