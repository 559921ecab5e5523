#include "skin/controls/bsSkinCtrls.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

// The tree view's properties are published by its descendants; the tests use it as it is.
class TbsSkinTreeView : public TbsSkinCustomTreeView {
public:
    using TbsSkinCustomTreeView::TbsSkinCustomTreeView;
};

class Views : public ControlTest {
protected:
    // A report view at (10, 10), 200 x 120, with two columns (100 and 60 wide), its bars beside it; 16-pixel
    // pictures and a 12-pixel font make its rows 17 pixels high.
    TbsSkinListView* MakeReport(int Rows) {
        auto* L = new TbsSkinListView(Form.get());
        L->SetParent(Form.get());
        L->SetBounds(10, 10, 200, 120);
        L->SetViewStyle(vsReport);
        TFont Small;
        Small.Assign(L->DefaultFont());
        Small.SetHeight(12);
        L->SetDefaultFont(&Small);
        Images = new TCustomImageList(Form.get(), 16, 16);
        TBitmap Pic(16, 16);
        Fill(Pic, Rect(0, 0, 16, 16), cImage);
        Images->Add(&Pic, nullptr);
        L->SetSmallImages(Images);
        for (int W : {100, 60}) {
            TListColumn* C = L->AddColumn();
            C->SetWidth(W);
        }
        L->Columns(0)->SetCaption(u"文件名");
        L->Columns(1)->SetCaption(u"大小");
        for (int I = 0; I < Rows; ++I)
            L->Items()->Add()->SetCaption(u"row " + IntToStr(I));
        V = new TbsSkinScrollBar(Form.get());
        V->SetParent(Form.get());
        V->SetKind(sbVertical);
        V->SetBounds(210, 10, 19, 120);
        H = new TbsSkinScrollBar(Form.get());
        H->SetParent(Form.get());
        H->SetBounds(10, 130, 200, 19);
        L->SetVScrollBar(V);
        L->SetHScrollBar(H);
        Pump();
        return L;
    }
    static constexpr TColor cImage = 0x3399CC;
    TCustomImageList* Images = nullptr;
    TbsSkinScrollBar* V = nullptr;
    TbsSkinScrollBar* H = nullptr;
};

TEST_F(Views, ReportBarsFollowTheRows) {
    auto* L = MakeReport(3);
    EXPECT_FALSE(V->Visible());
    EXPECT_FALSE(H->Both());
    const int PerPage = int(L->Perform(LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(PerPage, 2);
    while (L->Items()->Count() <= PerPage)
        L->Items()->Add()->SetCaption(u"more");
    Pump();
    EXPECT_TRUE(V->Visible());
    EXPECT_EQ(V->PageSize(), PerPage);
    EXPECT_EQ(V->LargeChange(), PerPage);
    EXPECT_EQ(V->SmallChange(), 1);
    EXPECT_EQ(V->Max(), L->Items()->Count() - 1);
    EXPECT_TRUE(H->Both()); // the corner square goes to the vertical bar
    // The columns fit: no horizontal bar; wider columns show it.
    EXPECT_FALSE(H->Visible());
    L->Columns(1)->SetWidth(300);
    Pump();
    EXPECT_TRUE(H->Visible());

    L->Items()->Clear();
    L->Items()->Add();
    Pump();
    EXPECT_FALSE(V->Visible());
    EXPECT_FALSE(H->Both());

    L->SetViewStyle(vsReport);
    for (int I = 0; I < 40; ++I)
        L->Items()->Add();
    Pump();
    EXPECT_TRUE(V->Visible());
    L->SetViewStyle(vsList);
    Pump();
    EXPECT_FALSE(V->Visible());
}

TEST_F(Views, ATinyViewLeavesItsBarsAlone) {
    auto* L = MakeReport(0);
    L->SetBounds(10, 10, 200, 5);
    for (int I = 0; I < 40; ++I)
        L->Items()->Add();
    Pump();
    EXPECT_FALSE(V->Visible());
    EXPECT_EQ(V->Max(), 100); // never set
}

TEST_F(Views, BarDragScrollsTheViewByWholeRowsWithoutMovingTheBarBack) {
    auto* L = MakeReport(40);
    ASSERT_EQ(L->ItemRect(0, drBounds).Bottom - L->ItemRect(0, drBounds).Top, 17);
    std::vector<LPARAM> Scrolls;
    TWndMethod Previous = L->WindowProc();
    L->SetWindowProc([&](TMessage& M) {
        if (M.Msg == LVM_SCROLL) {
            Scrolls.push_back(M.LParam);
            EXPECT_EQ(V->Position(), 3); // the bar keeps the dragged position during the step
        }
        Previous(M);
    });
    V->SetPosition(3);
    Pump();
    EXPECT_EQ(Scrolls, std::vector<LPARAM>{51});
    EXPECT_EQ(L->TopItem()->Index(), 3);
    EXPECT_EQ(V->Position(), 3);
    EXPECT_EQ(L->FOldVScrollBarPos, 3);
}

TEST_F(Views, HeaderIsHookedWiderAndMadeAnew) {
    auto* L = MakeReport(2);
    ASSERT_NE(L->HeaderHandle(), nullptr);
    EXPECT_EQ(L->HookedHeader(), L->HeaderHandle());
    RECT R{};
    GetWindowRect(L->HeaderHandle(), &R);
    EXPECT_EQ(R.Right - R.Left, L->ClientWidth() + 25);
    L->SetShowColumnHeaders(false);
    L->SetShowColumnHeaders(true);
    Pump();
    ASSERT_NE(L->HeaderHandle(), nullptr);
    EXPECT_EQ(L->HookedHeader(), L->HeaderHandle());
    EXPECT_EQ(L->Perform(CM_BSCHECK, 0, 0), BSCHECK_ANSWER);
}

// A header point: section 0 starts at x 0 of the view, the header's top at y 0.
TEST_F(Views, HeaderLooks) {
    auto* L = MakeReport(2);
    struct Case {
        const char16_t* Name;
        TColor Face;
    } Cases[] = {
        {u"nosuchrecord", ColorToRGB(clBtnFace)}, // no record
        {u"face1", ColorToRGB(clBtnFace)},        // a record, but not a button's
        {u"button", cNormal},
    };
    L->SetSkinData(Skin);
    for (const Case& C : Cases) {
        L->SetHeaderSkinDataName(C.Name);
        Pump();
        EXPECT_EQ(ScreenPixel(L, 96, 3), C.Face) << int(C.Face);
        EXPECT_EQ(ScreenPixel(L, 180, 3), C.Face); // the open end right of the last section
    }
    L->SetHeaderSkinDataName(u"nosuchrecord");
    Pump();
    EXPECT_EQ(ScreenPixel(L, 0, 0), ColorToRGB(clBtnShadow));
    // Pressed: navy frame and the pressed fill.
    Press(L, 50, 5);
    EXPECT_EQ(ScreenPixel(L, 96, 3), cDownFill);
    Release();
    EXPECT_EQ(ScreenPixel(L, 96, 3), ColorToRGB(clBtnFace));
}

TEST_F(Views, SectionImageAlignsUnlessTheCaptionIsShortened) {
    auto* L = MakeReport(1);
    L->Columns(0)->SetImageIndex(0);
    L->Columns(0)->SetAlignment(taRightJustify);
    L->Columns(0)->SetCaption(u"ab");
    Pump();
    // Not shortened: right-aligned, the picture 10 pixels before the text.
    EXPECT_NE(ScreenPixel(L, 6, 8), cImage);
    L->Columns(0)->SetCaption(u"a caption much too long for its column");
    Pump();
    EXPECT_EQ(ScreenPixel(L, 6, 8), cImage); // shortened: at the left
    std::vector<String> Drawn;
    L->OnDrawHeaderSection = [&](TCanvas*, TListColumn* Column, bool, const TRect& R) {
        Drawn.push_back(Column->Caption() + u":" + IntToStr(R.Right));
    };
    RedrawWindow(L->HeaderHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    ASSERT_GE(Drawn.size(), 2u);
    EXPECT_EQ(Drawn[0], u"a caption much too long for its column:100");
}

TEST_F(Views, ReorderedHeaderKeepsCaptionsOverTheirColumns) {
    auto* L = MakeReport(1);
    L->SetFullDrag(true);
    ASSERT_TRUE(L->SetColumnOrder({1, 0}));
    std::vector<String> Drawn;
    L->OnDrawHeaderSection = [&](TCanvas*, TListColumn* Column, bool, const TRect& R) {
        Drawn.push_back(Column->Caption() + u":" + IntToStr(R.Right));
    };
    RedrawWindow(L->HeaderHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    ASSERT_GE(Drawn.size(), 2u);
    // Display position 0 is 60 wide and shows column 1.
    EXPECT_EQ(Drawn[0], u"大小:60");
    EXPECT_EQ(Drawn[1], u"文件名:100");
    EXPECT_EQ(L->GetSectionRect(0), Rect(0, 0, 60, L->GetSectionRect(0).Bottom));
}

TEST_F(Views, SkinColourAndDefaults) {
    auto* L = MakeReport(0);
    L->SetDefaultColor(clYellow);
    EXPECT_EQ(L->Color(), clYellow);
    L->SetSkinData(Skin); // no list-view record in the test skin
    EXPECT_EQ(L->FIndex, -1);
    EXPECT_EQ(L->Color(), clYellow);
    EXPECT_EQ(L->Font()->Name(), u"Arial");
}

TEST_F(Views, TreeBarsAndScrolling) {
    auto* T = new TbsSkinTreeView(Form.get());
    T->SetParent(Form.get());
    T->SetBounds(10, 10, 150, 100);
    auto* TV = new TbsSkinScrollBar(Form.get());
    TV->SetParent(Form.get());
    TV->SetKind(sbVertical);
    TV->SetBounds(160, 10, 19, 100);
    auto* TH = new TbsSkinScrollBar(Form.get());
    TH->SetParent(Form.get());
    TH->SetBounds(10, 110, 150, 19);
    T->SetVScrollBar(TV);
    T->SetHScrollBar(TH);
    T->Items()->Add(nullptr, u"one");
    Pump();
    EXPECT_FALSE(TV->Visible());
    EXPECT_FALSE(TH->Visible());
    for (int I = 0; I < 40; ++I)
        T->Items()->Add(nullptr, u"node " + IntToStr(I));
    Pump();
    EXPECT_TRUE(TV->Visible());
    EXPECT_EQ(TV->PageSize(), int(T->Perform(TVM_GETVISIBLECOUNT, 0, 0)));
    EXPECT_TRUE(TH->Both());
    TV->SetPosition(7);
    Pump();
    EXPECT_EQ(GetScrollPos(T->Handle(), SB_VERT), 7);
    T->Items()->Add(nullptr, u"a node whose caption is far wider than the tree view itself, so it scrolls");
    Pump();
    EXPECT_TRUE(TH->Visible());
    EXPECT_EQ(T->Perform(CM_BSCHECK, 0, 0), BSCHECK_ANSWER);
}

} // namespace
