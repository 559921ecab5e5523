// The skinned page control on the headless screen: the strip offset and its clicks, hidden tabs and border,
// the tab scroller, close buttons (freeing, veto, a vetoed selection), wheel paging, and its painting against
// the control test skin's tab record: the taller selected tab, mirrored and turned tabs, close buttons, hot
// tabs and the pages' backgrounds.
#include "skin/controls/bsSkinTabs.h"

#include "skin/core/TbsDataSkinControl.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace ctltest;

namespace {

TColor Sys(TColor C) {
    return TColor(ColorToRGB(C));
}

class SkinPageControl : public ControlTest {
protected:
    // A page control at (10, 10) with Count pages "Tab1".."TabN"; skinned with the tab record unless Record is empty.
    TbsSkinPageControl* Pages(int Count, const String& Record = u"tab", int W = 300, int H = 200) {
        auto* P = new TbsSkinPageControl(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(10, 10, W, H);
        for (int I = 0; I < Count; ++I) {
            auto* S = new TbsSkinTabSheet(Form.get());
            S->SetPageControl(P);
            S->SetCaption(u"Tab" + IntToStr(I + 1));
        }
        if (!Record.empty()) {
            P->SetSkinDataName(Record);
            P->SetSkinData(Skin);
        }
        Pump();
        return P;
    }
    TbsSkinTabSheet* Sheet(TbsSkinPageControl* P, int I) { return static_cast<TbsSkinTabSheet*>(P->Pages(I)); }
    // Screen point of the centre of page I's close button.
    TPoint CloseButtonOf(TbsSkinPageControl* P, int I) {
        const TRect Tab = P->GetTabRect(Sheet(P, I)->TabIndex());
        const TRect& B = Sheet(P, I)->ButtonRect;
        return {Tab.Left + (B.Left + B.Right) / 2, Tab.Top + (B.Top + B.Bottom) / 2};
    }
    void ClickCloseButton(TbsSkinPageControl* P, int I) {
        const TPoint C = CloseButtonOf(P, I);
        MouseTo(P, C.X - 3, C.Y); // hot first, as a pointer comes in
        ClickOn(P, C.X, C.Y);
    }
};

// ---- geometry and behaviour ----

TEST_F(SkinPageControl, TheStripOffsetMovesTabsAndClicksBackByIt) {
    TbsSkinPageControl* P = Pages(3, u"tab", 400, 200);
    P->SetTabsInCenter(true); // refused while the tabs size themselves
    EXPECT_FALSE(P->TabsInCenter());
    EXPECT_EQ(P->CalcTabsOffset(), 0);

    P->SetTabWidth(80);
    P->SetTabsInCenter(true);
    Pump();
    ASSERT_TRUE(P->TabsInCenter());
    EXPECT_TRUE(P->TabsBGTransparent());
    EXPECT_EQ(P->CalcTabsOffset(), 80); // 200 - 3 * 80 / 2
    EXPECT_EQ(P->TCustomTabControl::TabRect(0).Left, 80);
    EXPECT_EQ(P->TCustomTabControl::TabRect(1).Left, 160);

    std::vector<int> Downs;
    P->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int) { Downs.push_back(X); };
    ClickOn(P, 170, 10); // the second tab, 90 along the native strip
    EXPECT_EQ(P->ActivePageIndex(), 1);
    ClickOn(P, 100, 10);
    EXPECT_EQ(Downs, (std::vector<int>{90, 20}));
    EXPECT_EQ(P->ActivePageIndex(), 0);
    ClickOn(P, 40, 10); // left of the strip: no tab
    EXPECT_EQ(P->ActivePageIndex(), 0);

    P->SetTabsInCenter(false);
    P->SetTabsOffset(30);
    EXPECT_EQ(P->CalcTabsOffset(), 30);
    EXPECT_EQ(P->TCustomTabControl::TabRect(0).Left, 30);
}

TEST_F(SkinPageControl, AnOffsetForcesOneLineOnTop) {
    TbsSkinPageControl* P = Pages(2);
    P->SetTabPosition(tpLeft);
    P->SetTabsOffset(10);
    EXPECT_EQ(P->TabPosition(), tpTop);
    EXPECT_FALSE(P->MultiLine());
    EXPECT_TRUE(P->TabsBGTransparent());
}

TEST_F(SkinPageControl, AHiddenBorderGivesPagesTheWholeControlFromTwoPixelsUp) {
    for (const String& Record : {String(u"tab"), String()}) {
        TbsSkinPageControl* P = Pages(2, Record);
        P->HideBorderAndTabs();
        Pump();
        EXPECT_EQ(P->DisplayRect(), Rect(0, -2, 300, 200));
        EXPECT_EQ(P->ActivePage()->BoundsRect(), Rect(0, -2, 300, 200));
        P->ShowBorderAndTabs();
        EXPECT_FALSE(P->BorderHidden());
        EXPECT_NE(P->DisplayRect().Top, -2);
        delete P;
    }
}

TEST_F(SkinPageControl, HidingTabsTwiceAndShowingOnceRestoresThem) {
    TbsSkinPageControl* P = Pages(3);
    P->SetTabPosition(tpLeft);
    P->SetTabHeight(24);
    ASSERT_TRUE(P->MultiLine());
    P->HideTabs();
    EXPECT_EQ(P->TabPosition(), tpTop);
    EXPECT_FALSE(P->MultiLine());
    EXPECT_EQ(P->TabHeight(), 1);
    P->HideTabs(); // already hidden: keeps what the first call saved
    P->ShowTabs();
    EXPECT_EQ(P->TabPosition(), tpLeft);
    EXPECT_TRUE(P->MultiLine());
    EXPECT_EQ(P->TabHeight(), 24);
    EXPECT_FALSE(P->TabsHidden());
    P->ShowTabs(); // nothing to restore
    EXPECT_EQ(P->TabHeight(), 24);

    // With no tab at all there is nothing to hide.
    TbsSkinPageControl* Empty = Pages(0);
    Empty->HideTabs();
    EXPECT_FALSE(Empty->TabsHidden());
}

TEST_F(SkinPageControl, ATabHeightLeftToTheControlStaysTheSkinsOrTheDefault) {
    // Without skin DefaultItemHeight; the test skin's tab face is 20 high.
    struct Case {
        const char16_t* Record;
        int Want;
    };
    for (const Case C : {Case{u"", 24}, Case{u"tab", 20}}) {
        TbsSkinPageControl* P = Pages(2, C.Record);
        P->SetDefaultItemHeight(24);
        const int Want = C.Want;
        EXPECT_EQ(GetRectHeight(P->GetTabRect(0)), Want);
        P->SetTabWidth(70); // a width alone keeps the height
        EXPECT_EQ(GetRectHeight(P->GetTabRect(0)), Want);
        EXPECT_EQ(GetRectWidth(P->TCustomTabControl::TabRect(1)), 70);
        P->HideTabs();
        P->ShowTabs();
        EXPECT_EQ(GetRectHeight(P->GetTabRect(0)), Want);
        delete P;
    }
}

TEST_F(SkinPageControl, ATabEndingTwoPixelsBeforeTheEdgeCountsAsCutOff) {
    struct Case {
        int Width;
        bool Scroller;
    };
    for (const Case C : {Case{302, true}, Case{303, false}}) {
        SCOPED_TRACE(C.Width);
        TbsSkinPageControl* P = Pages(3, u"tab", C.Width);
        P->SetTabWidth(100);
        Pump();
        EXPECT_EQ(P->GetTabRect(2).Right, 300);
        ASSERT_EQ(P->SkinUpDown() != nullptr, C.Scroller);
        if (C.Scroller) {
            TbsSkinUpDown* U = P->SkinUpDown();
            EXPECT_EQ(U->Max(), 1);
            EXPECT_EQ(U->Position(), 0);
            EXPECT_EQ(U->Left() + U->Width(), C.Width);
            EXPECT_EQ(U->Top(), 0);
            EXPECT_EQ(U->SkinDataName(), u"hupdown");
            // Its right arrow scrolls the strip by one tab.
            ClickOn(U, U->Buttons(TbsSkinUpDown::UpButton).R.Left + 5, 5);
            EXPECT_EQ(U->Position(), 1);
            EXPECT_EQ(P->FirstVisibleTab(), 1);
            EXPECT_EQ(P->GetScrolledTabCount(), 1);
            EXPECT_LE(P->GetTabRect(0).Right, 0);
        }
        delete P;
    }
}

TEST_F(SkinPageControl, TheScrollerFollowsTabsAddedLaterAndTheSelection) {
    TbsSkinPageControl* P = Pages(1, u"", 200);
    P->SetTabWidth(80);
    Pump();
    EXPECT_EQ(P->SkinUpDown(), nullptr);
    for (int I = 0; I < 3; ++I) {
        auto* S = new TbsSkinTabSheet(Form.get());
        S->SetPageControl(P);
    }
    Pump();
    ASSERT_NE(P->SkinUpDown(), nullptr);
    TbsSkinUpDown* U = P->SkinUpDown();
    EXPECT_EQ(U->Max(), 2);     // tabs 3 and 4 reach past 197
    EXPECT_EQ(U->Height(), 20); // sized from the tab height without skin
    EXPECT_EQ(U->Width(), 40);
    // Keys select the last tab; the strip scrolls and the scroller shows it.
    P->SetFocus();
    Key(VK_END);
    EXPECT_EQ(P->ActivePageIndex(), 3);
    EXPECT_EQ(U->Position(), P->GetScrolledTabCount());
    EXPECT_GT(U->Position(), 0);
    // Made multi-line, the tabs wrap and the scroller goes.
    P->SetMultiLine(true);
    P->UpDateTabs();
    EXPECT_EQ(P->SkinUpDown(), nullptr);
}

TEST_F(SkinPageControl, ClosingFreesThePageBeforeOnAfterClose) {
    struct Case {
        bool FreeOnClose;
        int PagesAfter;
    };
    for (const Case C : {Case{true, 2}, Case{false, 3}}) {
        TbsSkinPageControl* P = Pages(3);
        P->SetShowCloseButtons(true);
        P->SetFreeOnClose(C.FreeOnClose);
        Pump();
        std::vector<TObject*> Closing;
        int CountInAfterClose = -1;
        P->OnClose = [&](TObject* Sender, bool&) { Closing.push_back(Sender); };
        P->OnAfterClose = [&](TObject* Sender) {
            EXPECT_EQ(Sender, P);
            CountInAfterClose = P->PageCount();
        };
        TTabSheet* Second = P->Pages(1);
        ClickCloseButton(P, 1);
        EXPECT_EQ(Closing, std::vector<TObject*>{Second});
        EXPECT_EQ(CountInAfterClose, C.PagesAfter);
        if (!C.FreeOnClose) {
            EXPECT_FALSE(Second->TabVisible());
        }
        delete P;
    }
}

TEST_F(SkinPageControl, AVetoedCloseKeepsThePage) {
    TbsSkinPageControl* P = Pages(2);
    P->SetShowCloseButtons(true);
    Pump();
    bool After = false;
    P->OnClose = [](TObject*, bool& CanClose) { CanClose = false; };
    P->OnAfterClose = [&](TObject*) { After = true; };
    ClickCloseButton(P, 0);
    EXPECT_TRUE(P->Pages(0)->TabVisible());
    EXPECT_FALSE(After);
    // The pointer is still over the control: the button stays hot.
    EXPECT_TRUE(Sheet(P, 0)->ButtonMouseIn);
    EXPECT_FALSE(Sheet(P, 0)->ButtonMouseDown);
}

TEST_F(SkinPageControl, TheCloseButtonClosesThePageItWasOnEvenWhenTheSelectionWasVetoed) {
    TbsSkinPageControl* P = Pages(3);
    P->SetShowCloseButtons(true);
    Pump();
    P->OnChanging = [](TObject*, bool& Allow) { Allow = false; };
    std::vector<TObject*> Closing;
    P->OnClose = [&](TObject* Sender, bool&) { Closing.push_back(Sender); };
    TTabSheet* First = P->Pages(0);
    TTabSheet* Third = P->Pages(2);
    ClickCloseButton(P, 2);
    EXPECT_EQ(Closing, std::vector<TObject*>{Third});
    EXPECT_FALSE(Third->TabVisible());
    EXPECT_TRUE(First->TabVisible());
    EXPECT_EQ(P->ActivePage(), First);
}

TEST_F(SkinPageControl, TheWheelStepsThroughPagesWithTabsAndStopsAtTheEnds) {
    TbsSkinPageControl* P = Pages(4);
    P->Pages(2)->SetTabVisible(false);
    auto Wheel = [&](int Delta) { P->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(std::int16_t(Delta))), 0); };
    Wheel(-120);
    EXPECT_EQ(P->ActivePageIndex(), 0); // off by default
    P->SetMouseWheelSupport(true);
    Wheel(-120);
    EXPECT_EQ(P->ActivePageIndex(), 1);
    Wheel(-120);
    EXPECT_EQ(P->ActivePageIndex(), 3); // the page without a tab is passed
    Wheel(-120);
    EXPECT_EQ(P->ActivePageIndex(), 3); // the last page: nothing
    Wheel(120);
    EXPECT_EQ(P->ActivePageIndex(), 1);
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(P->ActivePageIndex(), 0);
}

TEST_F(SkinPageControl, ThePageControlAndItsPagesAnswerTheViewQuery) {
    TbsSkinPageControl* P = Pages(1);
    EXPECT_EQ(P->Perform(WM_BSPAGEQUERY, 0, 0), BSPAGEQUERYANSWER);
    EXPECT_EQ(P->Pages(0)->Perform(WM_BSPAGEQUERY, 0, 0), 12851);
}

TEST_F(SkinPageControl, CloseButtonsReserveRoomInEveryTab) {
    TbsSkinPageControl* P = Pages(2, u"");
    P->Pages(1)->SetImageIndex(-1); // a page without image gets the room too
    const int Plain0 = GetRectWidth(P->TCustomTabControl::TabRect(0));
    const int Plain1 = GetRectWidth(P->TCustomTabControl::TabRect(1));
    P->SetShowCloseButtons(true);
    EXPECT_EQ(GetRectWidth(P->TCustomTabControl::TabRect(0)), Plain0 + 14);
    EXPECT_EQ(GetRectWidth(P->TCustomTabControl::TabRect(1)), Plain1 + 14);
    // The skin's close button is 10 wide.
    P->SetSkinDataName(u"tab");
    P->SetSkinData(Skin);
    EXPECT_EQ(P->CloseSize(), 10);
    EXPECT_EQ(GetRectWidth(P->TCustomTabControl::TabRect(0)), Plain0 + 10);
    P->SetShowCloseButtons(false);
    EXPECT_EQ(GetRectWidth(P->TCustomTabControl::TabRect(0)), Plain0);
}

// ---- painting ----

// The pixels of a screen rectangle of a control that pass Test, relative to the rectangle.
template <class Pred> std::set<std::pair<int, int>> PixelsWhere(TControl* Ctl, const TRect& R, Pred Test) {
    std::set<std::pair<int, int>> S;
    const TPoint O = Ctl->ClientToScreen(TPoint{R.Left, R.Top});
    std::vector<DWORD> Px = CaptureScreen(RECT{O.X, O.Y, O.X + GetRectWidth(R), O.Y + GetRectHeight(R)});
    for (int Y = 0; Y < GetRectHeight(R); ++Y)
        for (int X = 0; X < GetRectWidth(R); ++X) {
            const DWORD P = Px[std::size_t(Y * GetRectWidth(R) + X)];
            if (Test(COLORREF(RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF))))
                S.insert({X, Y});
        }
    return S;
}

std::set<std::pair<int, int>> PixelsOf(TControl* Ctl, const TRect& R, TColor C) {
    const COLORREF Want = ColorToRGB(C);
    return PixelsWhere(Ctl, R, [Want](COLORREF P) { return P == Want; });
}

// The shape moved to start at (0, 0).
std::set<std::pair<int, int>> Normalised(const std::set<std::pair<int, int>>& S) {
    int MX = 1 << 30, MY = 1 << 30;
    for (auto [X, Y] : S) {
        MX = std::min(MX, X);
        MY = std::min(MY, Y);
    }
    std::set<std::pair<int, int>> N;
    for (auto [X, Y] : S)
        N.insert({X - MX, Y - MY});
    return N;
}

// Turned a quarter counter-clockwise (as a left tab shows it) or clockwise, then normalised.
std::set<std::pair<int, int>> TurnedShape(const std::set<std::pair<int, int>>& S, bool Clockwise) {
    std::set<std::pair<int, int>> T;
    for (auto [X, Y] : S)
        T.insert(Clockwise ? std::pair{-Y, X} : std::pair{Y, -X});
    return Normalised(T);
}

int TopOf(const std::set<std::pair<int, int>>& S) {
    int Top = 1 << 30;
    for (auto [X, Y] : S)
        Top = std::min(Top, Y);
    return Top;
}

class SkinPageControlPaint : public SkinPageControl {
protected:
    TbsSkinPageControl* Fixed(int Count = 3, const String& Record = u"tab") {
        TbsSkinPageControl* P = Pages(Count, Record);
        P->SetTabWidth(60);
        P->SetTabHeight(20);
        Pump();
        return P;
    }
    // The caption's dark pixels in visible tab I (the faces and close buttons are all lighter).
    std::set<std::pair<int, int>> Caption(TbsSkinPageControl* P, int I) {
        return PixelsWhere(P, P->GetTabRect(I),
                           [](COLORREF C) { return GetRValue(C) + GetGValue(C) + GetBValue(C) < 150; });
    }
};

TEST_F(SkinPageControlPaint, TheSelectedTopTabIsTallerAndCoversTheFrameEdge) {
    TbsSkinPageControl* P = Fixed();
    EXPECT_EQ(P->GetTabRect(0), Rect(1, 0, 60, 20));
    EXPECT_EQ(P->DisplayRect(), Rect(4, 24, 296, 196));
    EXPECT_EQ(ScreenPixel(P, 30, 21), cTabActive); // the selected tab reaches 3 pixels into the frame
    EXPECT_EQ(ScreenPixel(P, 30, 22), cTabActive);
    EXPECT_EQ(ScreenPixel(P, 30, 23), cTabFrame);
    EXPECT_EQ(ScreenPixel(P, 90, 21), cTabFrame); // beside the other tabs the frame shows
    EXPECT_EQ(ScreenPixel(P, 64, 1), cTabEdge);
    EXPECT_EQ(ScreenPixel(P, 64, 10), cTab);
    EXPECT_EQ(ScreenPixel(P, 250, 10), cTabsBG);     // the strip beyond the tabs
    EXPECT_EQ(ScreenPixel(P, 150, 100), cTabClient); // the page shows the skin's client part
    EXPECT_EQ(ScreenPixel(P, 2, 100), cTabFrame);

    // The other tabs' content sits 2 pixels lower than it would with tabs of one height.
    auto* Images = new TImageList(Form.get(), 8, 8);
    TBitmap Image(8, 8);
    Fill(Image, Rect(0, 0, 8, 8), cGlow);
    Images->Add(&Image, nullptr);
    P->SetImages(Images);
    Pump();
    const int Shifted = TopOf(PixelsOf(P, P->GetTabRect(1), cGlow));
    EXPECT_EQ(Shifted, 20 / 2 - 8 / 2 + 2);
    auto* Rec = static_cast<TbsDataSkinTabControl*>(Record(u"tab"));
    Rec->ActiveTabRect = Rect(70, 40, 100, 60);
    P->Invalidate();
    Pump();
    EXPECT_EQ(ScreenPixel(P, 30, 21), cTabFrame);
    EXPECT_EQ(TopOf(PixelsOf(P, P->GetTabRect(1), cGlow)), Shifted - 2);
}

TEST_F(SkinPageControlPaint, SideAndBottomTabsTurnTheirContent) {
    TbsSkinPageControl* P = Fixed();
    const auto Upright = Normalised(Caption(P, 1));
    ASSERT_GT(Upright.size(), 10u);

    P->SetTabPosition(tpBottom);
    Pump();
    const TRect B = P->GetTabRect(1);
    EXPECT_EQ(ScreenPixel(P, B.Left + 4, B.Bottom - 1), cTabEdge); // the face mirrored
    EXPECT_EQ(ScreenPixel(P, B.Left + 4, B.Top + 1), cTab);
    EXPECT_EQ(Normalised(Caption(P, 1)), Upright); // the text not

    // Level text needs tabs wide enough for it.
    struct Case {
        TTabPosition Pos;
        bool Horizontal;
        int Across;
        std::set<std::pair<int, int>> Want;
    };
    const Case Cases[] = {{tpLeft, false, 20, TurnedShape(Upright, false)},
                          {tpRight, false, 20, TurnedShape(Upright, true)},
                          {tpLeft, true, 40, Upright},
                          {tpRight, true, 40, Upright}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Pos) * 2 + C.Horizontal);
        P->SetTabPosition(C.Pos);
        P->SetTextInHorizontal(C.Horizontal);
        P->SetTabHeight(C.Across);
        Pump();
        EXPECT_EQ(GetRectWidth(P->GetTabRect(1)), C.Across);
        EXPECT_EQ(Normalised(Caption(P, 1)), C.Want);
    }
}

TEST_F(SkinPageControlPaint, ATabWithoutWidthDrawsNothing) {
    TbsSkinPageControl* P = Fixed();
    P->SetShowCloseButtons(true);
    Sheet(P, 1)->ButtonRect = Rect(1, 2, 3, 4);
    TBitmap B(40, 40);
    Fill(B, Rect(0, 0, 40, 40), clWhite);
    for (const TRect& R : {Rect(5, 5, 5, 25), Rect(5, 5, 25, 5)})
        P->DrawSkinTab(1, R, false, true, B.Canvas());
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 40; ++X)
            ASSERT_EQ(B.Canvas()->Pixels(X, Y), clWhite) << X << "," << Y;
    EXPECT_EQ(Sheet(P, 1)->ButtonRect, Rect(1, 2, 3, 4));
}

TEST_F(SkinPageControlPaint, ACaptionIsCentredInTheRoomTheCloseButtonLeaves) {
    // The room is the close button's size and 2 pixels, 3 more with skin.
    struct Case {
        const char16_t* Record;
        int Margin;
    };
    for (const Case C : {Case{u"tab", 2 + 3}, Case{u"", 2}}) {
        SCOPED_TRACE(C.Margin);
        TbsSkinPageControl* P = Fixed(2, C.Record);
        P->SetTabWidth(90);
        P->SetShowCloseButtons(true);
        Pump();
        const int Room = 90 - (P->CloseSize() + C.Margin);
        const auto Text = Caption(P, 1);
        int L = 1 << 30, Rt = -1;
        for (auto [X, Y] : Text)
            if (X < Room) {
                L = std::min(L, X);
                Rt = std::max(Rt, X);
            }
        ASSERT_LT(L, Rt);
        EXPECT_NEAR((L + Rt + 1) / 2.0, Room / 2.0, 1.5);
        delete P;
    }
}

TEST_F(SkinPageControlPaint, CloseButtonsAndTheHotTabShowTheirStates) {
    TbsSkinPageControl* P = Fixed();
    P->SetShowCloseButtons(true);
    Pump();
    const TPoint C = CloseButtonOf(P, 1);
    EXPECT_EQ(ScreenPixel(P, C.X, C.Y), cClose);
    MouseTo(P, P->GetTabRect(1).Left + 3, 10);
    EXPECT_EQ(P->ActiveTabIndex(), 1);
    EXPECT_EQ(ScreenPixel(P, P->GetTabRect(1).Left + 3, 10), cTabHot);
    MouseTo(P, C.X, C.Y);
    EXPECT_EQ(ScreenPixel(P, C.X, C.Y), cCloseHot);
    Press(P, C.X, C.Y);
    EXPECT_EQ(ScreenPixel(P, C.X, C.Y), cCloseDown);
    MouseTo(P, 200, 150); // off the button, then released: nothing closes
    Release();
    EXPECT_TRUE(P->Pages(1)->TabVisible());
    EXPECT_EQ(P->ActivePageIndex(), 1); // the press selected it
    MouseAway();
    EXPECT_EQ(ScreenPixel(P, C.X, C.Y), cClose);
    EXPECT_EQ(ScreenPixel(P, P->GetTabRect(0).Left + 3, 10), cTab);
}

TEST_F(SkinPageControlPaint, TheDefaultLookFramesThePageAndMarksTheTabs) {
    TbsSkinPageControl* P = Fixed(3, u"");
    const TRect D = P->DisplayRect();
    EXPECT_EQ(ScreenPixel(P, 150, D.Top - 1), Sys(clBtnShadow));
    const TRect Sel = P->GetTabRect(0);
    EXPECT_EQ(ScreenPixel(P, Sel.Left, 10), cNavy);
    EXPECT_EQ(ScreenPixel(P, Sel.Left + 5, 10), cHotFill);
    const TRect Other = P->GetTabRect(1);
    EXPECT_EQ(ScreenPixel(P, Other.Left + 5, 10), Sys(clBtnFace));
    MouseTo(P, Other.Left + 5, 10);
    EXPECT_EQ(ScreenPixel(P, Other.Left + 5, 10), cHotFill);
    P->SetFocus();
    Pump();
    EXPECT_EQ(ScreenPixel(P, Sel.Left + 5, 10), cDownFill);
}

TEST_F(SkinPageControlPaint, AWallpaperSheetIgnoresTheSkin) {
    TbsSkinPageControl* P = Fixed(2);
    TBitmap Paper(8, 8);
    Fill(Paper, Rect(0, 0, 8, 8), cGlow);
    Sheet(P, 0)->SetWallPaper(&Paper);
    Sheet(P, 0)->Invalidate();
    Pump();
    EXPECT_EQ(ScreenPixel(P, 150, 100), cGlow);
    P->SetActivePageIndex(1);
    Pump();
    EXPECT_EQ(ScreenPixel(P, 150, 100), cTabClient);
}

TEST_F(SkinPageControlPaint, TheScrollerTakesTheSkinsUpDown) {
    TbsSkinPageControl* P = Pages(10);
    ASSERT_NE(P->SkinUpDown(), nullptr);
    TbsSkinUpDown* U = P->SkinUpDown();
    EXPECT_EQ(U->Width(), 40); // the up-down record's size
    EXPECT_EQ(U->Height(), 20);
    EXPECT_EQ(ScreenPixel(U, 30, 10), cUDUp);
    EXPECT_EQ(ScreenPixel(U, 5, 10), cUDDown);
}

TEST_F(SkinPageControlPaint, OnDrawSkinTabDrawsTheWholeContent) {
    TbsSkinPageControl* P = Fixed();
    struct Call {
        int Tab;
        TRect R;
        bool Active, MouseIn;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> Calls;
    P->OnDrawSkinTab = [&](int TabIndex, const TRect& Rct, bool Active, bool MouseIn, TCanvas* Cnvs) {
        Calls.push_back({TabIndex, Rct, Active, MouseIn});
        Cnvs->Brush()->SetColor(cGlow);
        Cnvs->FillRect(Rect(10, 5, 20, 10));
    };
    P->Invalidate();
    Pump();
    // The other tabs first, the selected one last on a bitmap 3 pixels taller; no caption is drawn.
    ASSERT_GE(Calls.size(), 3u);
    EXPECT_EQ(Calls[0], (Call{1, Rect(0, 0, 60, 20), false, false}));
    EXPECT_EQ(Calls[1], (Call{2, Rect(0, 0, 60, 20), false, false}));
    EXPECT_EQ(Calls[2], (Call{0, Rect(0, 0, 59, 23), true, false}));
    EXPECT_EQ(ScreenPixel(P, 60 + 15, 7), cGlow);
    EXPECT_TRUE(PixelsWhere(P, P->GetTabRect(1), [](COLORREF C) { return C == RGB(0, 0, 0); }).empty());
}

TEST_F(SkinPageControlPaint, WithoutPagesTheAreaShowsTheSkinsClientPart) {
    TbsSkinPageControl* P = Pages(0);
    EXPECT_EQ(ScreenPixel(P, 150, 100), cTabClient);
    EXPECT_EQ(ScreenPixel(P, 2, 100), cTabFrame);
}

} // namespace
