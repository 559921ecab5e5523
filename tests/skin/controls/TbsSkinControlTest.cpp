// The control bases: record lookup, resize modes and size rules, off-screen painting of the face and of the
// default look, the mask region, child rectangles and the skin-change hooks.
#include "skin/controls/bsSkinCtrls.h"

#include "platform/gdi/WinGdi.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class Counting : public TbsSkinCustomControl {
public:
    using TbsSkinCustomControl::TbsSkinCustomControl;
    void ChangeSkinData() override {
        ++Changes;
        TbsSkinCustomControl::ChangeSkinData();
    }
    int Changes = 0;
};

class SkinControlBase : public ControlTest {
protected:
    TbsDataSkinCustomControl* Face(const String& Name) { return dynamic_cast<TbsDataSkinCustomControl*>(Record(Name)); }
    // The off-screen face at the control's size, as WM_PAINT draws it into a bitmap's context.
    std::unique_ptr<TBitmap> Painted(TControl* C) { return uitest::PaintToBitmap(*C); }
};

TEST_F(SkinControlBase, ResizeModeFollowsTheCornerPoints) {
    struct Case {
        TPoint RT, LB, RB;
        TRect SkinRect;
        int Mode;
    } Cases[] = {
        {{16, 0}, {0, 16}, {16, 16}, Rect(0, 40, 20, 60), 1},
        {{16, 0}, {0, 16}, {0, 5}, Rect(0, 40, 20, 60), 2}, // RBPt (0,5) is not nine-part
        {{0, 0}, {0, 16}, {0, 5}, Rect(0, 40, 20, 60), 3},
        {{0, 0}, {0, 0}, {0, 5}, Rect(0, 40, 20, 60), 0},
        {{16, 0}, {0, 16}, {16, 16}, Rect(0, 40, 0, 60), -1},
        {{16, 0}, {0, 16}, {16, 16}, Rect(0, 40, 20, 40), -1},
    };
    auto* C = Make<TbsSkinCustomControl>(u"face1");
    for (const Case& K : Cases) {
        TbsDataSkinCustomControl* R = Face(u"face1");
        R->RTPoint = K.RT;
        R->LBPoint = K.LB;
        R->RBPoint = K.RB;
        R->SkinRect = K.SkinRect;
        C->GetSkinData();
        EXPECT_EQ(C->ResizeMode, K.Mode) << K.RB.X << "," << K.RB.Y << " rt " << K.RT.X;
    }
}

TEST_F(SkinControlBase, SetBoundsFollowsTheResizeRules) {
    struct Case {
        const char16_t* Name;
        int W, H;
        int WantW, WantH;
        TRect WantClient;
    } Cases[] = {
        {u"face0", 50, 40, 20, 20, Rect(4, 4, 16, 16)},    // fixed: always the skin size
        {u"face1", 50, 40, 50, 40, Rect(4, 4, 46, 36)},    // nine-part
        {u"face2", 50, 40, 50, 20, Rect(4, 4, 46, 16)},    // the height is refused
        {u"face3", 50, 40, 20, 40, Rect(4, 4, 16, 36)},    // the width is refused
        {u"nosuchface", 50, 40, 50, 40, Rect(0, 0, 0, 0)}, // no record: any size
    };
    for (const Case& K : Cases) {
        auto* C = Make<TbsSkinCustomControl>(K.Name, 10, 10, 30, 30);
        C->SetBounds(10, 10, K.W, K.H);
        EXPECT_EQ(C->Width(), K.WantW) << UTF8Encode(String(K.Name));
        EXPECT_EQ(C->Height(), K.WantH) << UTF8Encode(String(K.Name));
        if (C->FIndex != -1) {
            EXPECT_EQ(C->RealClientRect(), K.WantClient) << UTF8Encode(String(K.Name));
        }
        delete C;
    }
}

TEST_F(SkinControlBase, NinePartAndStripsMoveTheirNewPoints) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 50, 40);
    EXPECT_EQ(C->NewRTPoint, (TPoint{46, 4}));
    EXPECT_EQ(C->NewLBPoint, (TPoint{4, 36}));
    EXPECT_EQ(C->NewRBPoint, (TPoint{46, 36}));
    auto* H = Make<TbsSkinCustomControl>(u"face2", 10, 60, 50, 20);
    EXPECT_EQ(H->NewRTPoint, (TPoint{46, 0}));
}

TEST_F(SkinControlBase, ASameSizeRequestKeepsGeometryAndRegion) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 40, 30);
    HRGN Before = C->FRgn;
    ASSERT_NE(Before, nullptr);
    C->NewClRect = Rect(1, 2, 3, 4);
    C->SetBounds(20, 20, 40, 30);
    EXPECT_EQ(C->FRgn, Before);
    EXPECT_EQ(C->NewClRect, Rect(1, 2, 3, 4));
    EXPECT_EQ(C->Left(), 20);
}

TEST_F(SkinControlBase, AnEmptySkinIsStoredWithoutLookup) {
    auto* Empty = new TbsSkinData(Form.get());
    ASSERT_TRUE(Empty->Empty);
    auto* C = new Counting(Form.get());
    C->SetParent(Form.get());
    C->SetSkinDataName(u"face1");
    C->SetSkinData(Empty);
    EXPECT_EQ(C->SkinData(), Empty);
    EXPECT_EQ(C->Changes, 0);
    EXPECT_EQ(C->FIndex, -1);
    C->SetSkinData(Skin);
    EXPECT_EQ(C->Changes, 1);
    EXPECT_NE(C->FIndex, -1);
}

TEST_F(SkinControlBase, WithoutARecordTheDefaultLookAndSizeApply) {
    auto* C = Make<TbsSkinCustomControl>(u"", 10, 10, 30, 20);
    C->SetDefaultWidth(60);
    C->SetDefaultHeight(22);
    EXPECT_EQ(C->Width(), 60);
    EXPECT_EQ(C->Height(), 22);
    C->SetBounds(10, 10, 30, 20);
    C->SetSkinDataName(u"nosuchface");
    C->SetSkinData(Skin);
    EXPECT_EQ(C->FIndex, -1);
    EXPECT_EQ(C->Width(), 60);
    auto B = Painted(C);
    EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(0, 0)), ColorToRGB(clBtnFace));
    EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(59, 21)), ColorToRGB(clBtnFace));
}

TEST_F(SkinControlBase, TheFaceIsPaintedByItsResizeMode) {
    struct Probe {
        int X, Y;
        TColor Want;
    };
    struct Case {
        const char16_t* Name;
        int W, H;
        std::vector<Probe> Probes;
    } Cases[] = {
        {u"face1", 40, 30, {{0, 0, cRing}, {39, 29, cRing}, {3, 15, cRing}, {4, 4, cInner}, {35, 25, cInner}}},
        {u"face0", 20, 20, {{3, 3, cRing}, {4, 4, cInner}, {15, 15, cInner}, {16, 16, cRing}}},
        {u"face2", 40, 20, {{0, 0, cRing}, {39, 10, cRing}, {20, 2, cRing}, {20, 10, cInner}}},
        {u"face3", 20, 40, {{0, 0, cRing}, {10, 39, cRing}, {10, 20, cInner}, {2, 20, cRing}}},
    };
    for (const Case& K : Cases) {
        auto* C = Make<TbsSkinCustomControl>(K.Name, 10, 10, K.W, K.H);
        auto B = Painted(C);
        for (const Probe& P : K.Probes)
            EXPECT_EQ(B->Canvas()->Pixels(P.X, P.Y), P.Want)
                << UTF8Encode(String(K.Name)) << " at " << P.X << "," << P.Y;
        delete C;
    }
}

TEST_F(SkinControlBase, TheMaskGivesTheWindowItsCutCorner) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 40, 30);
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(C->Handle(), Rgn), ERROR);
    EXPECT_FALSE(PtInRegion(Rgn, 1, 1));
    EXPECT_TRUE(PtInRegion(Rgn, 6, 6));
    EXPECT_TRUE(PtInRegion(Rgn, 39, 29));
    DeleteObject(Rgn);
}

// A mask with an empty face takes the region away; the control keeps no handle it gave up.
TEST_F(SkinControlBase, AMaskWithAnEmptyFaceRemovesTheRegion) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 40, 30);
    ASSERT_NE(C->FRgn, nullptr);
    C->SetSkinDataName(u"faceempty");
    C->ChangeSkinData();
    EXPECT_EQ(C->ResizeMode, -1);
    EXPECT_EQ(C->FRgn, nullptr);
    HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(C->Handle(), Rgn), ERROR);
    DeleteObject(Rgn);
    // Going back to a masked face and away again, then freeing, deletes each region once.
    C->SetSkinDataName(u"face1");
    C->ChangeSkinData();
    EXPECT_NE(C->FRgn, nullptr);
    C->SetSkinDataName(u"nosuchface");
    C->ChangeSkinData();
    EXPECT_EQ(C->FRgn, nullptr);
    delete C;
}

TEST_F(SkinControlBase, AControlWithoutParentGetsNoRegion) {
    auto* C = new TbsSkinCustomControl(Form.get());
    C->SetSkinDataName(u"face1");
    C->SetSkinData(Skin);
    EXPECT_NE(C->FIndex, -1);
    EXPECT_EQ(C->FRgn, nullptr);
}

TEST_F(SkinControlBase, ChildRectanglesFollowTheFace) {
    struct Case {
        const char16_t* Name;
        TRect In, Want;
    } Cases[] = {
        // 40 x 30 against the 20 x 20 face: dW 20, dH 10 (strips keep the other side).
        {u"face1", Rect(0, 0, 3, 3), Rect(0, 0, 3, 3)},     // left-top corner stays
        {u"face1", Rect(17, 0, 19, 3), Rect(37, 0, 39, 3)}, // right-top corner moves right
        {u"face1", Rect(0, 17, 3, 19), Rect(0, 27, 3, 29)}, // left-bottom corner moves down
        {u"face1", Rect(17, 17, 19, 19), Rect(37, 27, 39, 29)},
        {u"face1", Rect(2, 2, 18, 18), Rect(2, 2, 38, 28)}, // spans the middle both ways
        {u"face1", Rect(2, 1, 17, 3), Rect(2, 1, 37, 3)},   // along the top edge
        {u"face2", Rect(2, 2, 18, 8), Rect(2, 2, 38, 8)},   // spans the middle
        {u"face2", Rect(16, 2, 19, 8), Rect(36, 2, 39, 8)}, // right of the middle
        {u"face2", Rect(1, 2, 3, 8), Rect(1, 2, 3, 8)},
        {u"face3", Rect(2, 17, 8, 19), Rect(2, 27, 8, 29)}, // wholly below LBPt.Y moves down
        {u"face3", Rect(2, 2, 8, 18), Rect(2, 2, 8, 28)},
        {u"face0", Rect(2, 17, 8, 19), Rect(2, 17, 8, 19)},
    };
    for (const Case& K : Cases) {
        auto* C = Make<TbsSkinCustomControl>(K.Name, 10, 10, 40, 30);
        // The strips refuse one side; measure against the requested size on the other.
        EXPECT_EQ(C->CalcChildRect(K.In), K.Want) << UTF8Encode(String(K.Name)) << " " << K.In.Left << "," << K.In.Top;
        delete C;
    }
}

TEST_F(SkinControlBase, SkinSwitchDropsAndRereadsTheRecord) {
    auto* C = Make<Counting>(u"face1", 10, 10, 40, 30);
    ASSERT_NE(C->FIndex, -1);
    C->BeforeChangeSkinData();
    EXPECT_EQ(C->FIndex, -1);
    C->ChangeSkinData();
    EXPECT_EQ(C->FIndex, Skin->GetControlIndex(u"face1"));
    // A record of another kind: fixed size, no pictures.
    C->SetSkinDataName(u"notcustom");
    C->ChangeSkinData();
    EXPECT_EQ(C->ResizeMode, 0);
    EXPECT_EQ(C->Picture, nullptr);
    EXPECT_EQ(C->MaskPicture, nullptr);
    // Freeing the skin data clears the reference; the control paints its default look.
    delete Skin;
    Skin = nullptr;
    EXPECT_EQ(C->SkinData(), nullptr);
    auto B = Painted(C);
    EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(5, 5)), ColorToRGB(clBtnFace));
}

// The border path fills the client from the skin's tile; a client without area has no tile and draws nothing.
TEST_F(SkinControlBase, BorderPathFillsTheClientAndSkipsAnEmptyTile) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 40, 30);
    C->SetForcebackGround(true);
    C->Repaint();
    Pump();
    EXPECT_EQ(ScreenPixel(C, 10, 1), cRing); // the top-left corner is cut by the mask
    EXPECT_EQ(ScreenPixel(C, 20, 15), cInner);
    EXPECT_EQ(ScreenPixel(C, 35, 25), cInner);
    Face(u"face1")->ClRect = Rect(4, 4, 4, 16);
    C->Repaint();
    Pump();
    EXPECT_EQ(ScreenPixel(C, 10, 1), cRing);
}

TEST_F(SkinControlBase, MouseEnterAndLeaveRaiseTheirEvents) {
    auto* C = Make<TbsSkinCustomControl>(u"face1", 10, 10, 40, 30);
    std::vector<std::string> Log;
    C->OnMouseEnter = [&](TObject* S) { Log.push_back(S == C ? "enter" : "?"); };
    C->OnMouseLeave = [&](TObject* S) { Log.push_back(S == C ? "leave" : "?"); };
    MouseTo(C, 20, 15);
    MouseAway();
    EXPECT_EQ(Log, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(SkinControlBase, TheGraphicTwinLooksUpAndSizesWithoutRegion) {
    auto* G = Make<TbsGraphicSkinCustomControl>(u"face2", 10, 10, 40, 40);
    EXPECT_EQ(G->ResizeMode, 2);
    EXPECT_EQ(G->Height(), 20);
    EXPECT_EQ(G->Width(), 40);
    auto* F = Make<TbsGraphicSkinCustomControl>(u"face1", 10, 50, 40, 30);
    Form->Repaint();
    Pump();
    EXPECT_EQ(ScreenPixel(F, 0, 0), cRing);
    EXPECT_EQ(ScreenPixel(F, 20, 15), cInner);
    F->BeforeChangeSkinData();
    EXPECT_EQ(F->FIndex, -1);
}

} // namespace
