// The office list: layout and pixel scrolling, the keys that skip headers and disabled rows, the mouse,
// the bar that shows exactly while the rows overflow, and indices that are wrong or went stale.
#include "skin/controls/TbsSkinOfficeListBox.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ctltest;

namespace {

// A row: 'h' header, 'd' disabled, 'n' normal.
class OfficeListTest : public ControlTest {
protected:
    // An unskinned list 150 wide whose rows area is 100 high (the default look keeps 2 pixels each side).
    TbsSkinOfficeListBox* MakeList(const std::string& Rows, int Height = 104) {
        auto* L = Make<TbsSkinOfficeListBox>(u"", 10, 10, 150, Height);
        for (char K : Rows) {
            TbsSkinOfficeItem* I = L->Items()->Add();
            I->SetCaption(u"row");
            I->SetHeader(K == 'h');
            I->SetEnabled(K != 'd');
        }
        L->OnItemClick = [this, L](TObject*) { Log.push_back("item " + std::to_string(L->ItemIndex())); };
        Pump();
        return L;
    }
    // The screen point inside row I.
    TPoint RowPoint(TbsSkinOfficeListBox* L, int I) {
        L->CalcItemRects();
        const TRect R = L->Items()->Items(I)->ItemRect;
        return {R.Left + 5, R.Top + (R.Bottom - R.Top) / 2};
    }
    std::vector<std::string> Log;
};

TEST_F(OfficeListTest, SelectingTheRowUnderALeadingHeaderScrollsTheHeaderBackIntoView) {
    auto* L = MakeList("hnnnnnnnn");
    L->SetItemIndex(8);
    EXPECT_GT(L->ScrollOffset(), 0);
    L->SetItemIndex(1);
    EXPECT_EQ(L->ScrollOffset(), 0);
    EXPECT_EQ(L->Items()->Items(0)->ItemRect.Top, L->ItemsRect().Top);
    // Without a leading header the row itself goes to the top.
    auto* Plain = MakeList("nnnnnnnnn");
    Plain->SetItemIndex(8);
    Plain->SetItemIndex(2);
    EXPECT_EQ(Plain->ScrollOffset(), 60);
}

TEST_F(OfficeListTest, PageKeysStopOnTheFirstSelectableRowPastAHeader) {
    struct Case {
        const char* Rows;
        int From;
        bool Down;
        int Want;
    };
    // The page is 100 / 30 = 3 rows.
    const Case Cases[] = {
        {"nnhnnnn", 0, true, 3},  // across the header: the first row after it
        {"nnnnnnn", 0, true, 4},  // no header: the farthest row of the page
        {"nnhdnnn", 0, true, 4},  // a disabled row after the header is passed over
        {"nnnnnnn", 6, true, 6},  // at the end: stays
        {"nnnnhnn", 6, false, 3}, // up across the header
        {"nnnnnnn", 5, false, 1}, // farthest up
        {"hnnnnnn", 1, false, 1}, // nothing selectable above
    };
    for (const Case& C : Cases) {
        auto* L = MakeList(C.Rows);
        L->SetItemIndex(C.From);
        C.Down ? L->FindPageDown() : L->FindPageUp();
        EXPECT_EQ(L->ItemIndex(), C.Want) << C.Rows << " from " << C.From;
        delete L;
    }
}

TEST_F(OfficeListTest, KeysAndTheMouseNeverChooseHeadersOrDisabledRows) {
    auto* L = MakeList("hndnn", 164);
    L->SetFocus();
    L->SetItemIndex(1);
    Log.clear();
    Key(VK_DOWN);
    EXPECT_EQ(L->ItemIndex(), 3);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(L->ItemIndex(), 1);
    ClickOn(L, RowPoint(L, 0).X, RowPoint(L, 0).Y);
    ClickOn(L, RowPoint(L, 2).X, RowPoint(L, 2).Y);
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"item 3", "item 1"}));
    EXPECT_EQ(L->ItemAtPos(RowPoint(L, 0).X, RowPoint(L, 0).Y), 0); // a header is found, never taken
    EXPECT_EQ(L->ItemAtPos(RowPoint(L, 2).X, RowPoint(L, 2).Y), -1);
}

TEST_F(OfficeListTest, APressOnOneRowAndAReleaseOnAnotherSelectsTheRowUnderTheRelease) {
    auto* L = MakeList("nnn");
    Press(L, RowPoint(L, 0).X, RowPoint(L, 0).Y);
    EXPECT_EQ(L->ItemIndex(), 0);
    EXPECT_TRUE(Log.empty()); // the press only highlights
    MouseTo(L, RowPoint(L, 2).X, RowPoint(L, 2).Y);
    EXPECT_TRUE(L->Items()->Items(2)->Active);
    Release();
    EXPECT_EQ(L->ItemIndex(), 2);
    EXPECT_EQ(Log, (std::vector<std::string>{"item 2"}));
}

TEST_F(OfficeListTest, TheBarAppearsExactlyWhenTheRowsOverflow) {
    auto* L = MakeList("");
    for (int N = 1; N <= 5; ++N) {
        L->Items()->Add();
        Pump();
        // Three rows of 30 fit into 100 pixels, a fourth does not.
        EXPECT_EQ(L->ScrollBar != nullptr, N >= 4) << N << " rows";
    }
    ASSERT_NE(L->ScrollBar, nullptr);
    EXPECT_EQ(L->ScrollBar->Max(), 150);
    EXPECT_EQ(L->ScrollBar->PageSize(), 100);
    EXPECT_EQ(L->ScrollBar->Left(), 150 - 2 - 19);
    EXPECT_EQ(L->ItemsRect().Right, 150 - 2 - 19);
    L->Items()->Delete(4);
    L->Items()->Delete(3);
    Pump();
    EXPECT_EQ(L->ScrollBar, nullptr);
}

TEST_F(OfficeListTest, TheWheelScrollsByARowOnlyWithABar) {
    // The wheel goes to the focused window.
    auto* Short = MakeList("nn");
    Short->SetFocus();
    MouseTo(Short, 20, 20);
    InjectMouseWheel(-120);
    Pump();
    EXPECT_EQ(Short->ScrollOffset(), 0);

    auto* Long = MakeList("nnnnnn");
    Long->SetFocus();
    MouseTo(Long, 20, 20);
    InjectMouseWheel(-120);
    Pump();
    EXPECT_EQ(Long->ScrollOffset(), 30);
    InjectMouseWheel(120);
    Pump();
    EXPECT_EQ(Long->ScrollOffset(), 0);
}

TEST_F(OfficeListTest, AWrongIndexIsRefusedBeforeAnythingChanges) {
    auto* L = MakeList("nn");
    L->SetItemIndex(1);
    Log.clear();
    EXPECT_THROW(L->SetItemIndex(2), EListError);
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_TRUE(L->Items()->Items(1)->Active);
    EXPECT_TRUE(Log.empty());
    // -1 reports -1 and leaves no row drawn as selected.
    L->SetItemIndex(-1);
    EXPECT_EQ(L->ItemIndex(), -1);
    EXPECT_FALSE(L->Items()->Items(1)->Active);
    // A row height below 1 is refused.
    L->SetItemHeight(0);
    EXPECT_EQ(L->ItemHeight(), 30);
}

TEST_F(OfficeListTest, TheIndexLeftByClearRaisesNowhere) {
    auto* L = MakeList("nnnnnn");
    L->SetItemIndex(5);
    L->SetFocus();
    L->Items()->Clear();
    EXPECT_EQ(L->ItemIndex(), 5);
    for (UINT K : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR})
        EXPECT_NO_THROW(Key(K));
    MouseTo(L, 20, 20);
    InjectMouseWheel(-120);
    EXPECT_NO_THROW(Pump());
    EXPECT_NO_THROW(L->Repaint());
    // Refilled with fewer rows: Up starts from the last one.
    L->Items()->Add();
    L->Items()->Add();
    L->FindUp();
    EXPECT_EQ(L->ItemIndex(), 1);
}

TEST_F(OfficeListTest, DefaultRowsShowHeaderSelectionAndLineColours) {
    auto* L = MakeList("hnn");
    L->SetShowLines(true);
    L->SetItemIndex(1);
    Pump();
    // Header 20 high at y 2, then rows of 30.
    EXPECT_EQ(ScreenPixel(L, 0, 0), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(ScreenPixel(L, 140, 10), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(ScreenPixel(L, 140, 30), TColor(ColorToRGB(clHighlight)));
    EXPECT_EQ(ScreenPixel(L, 140, 60), TColor(ColorToRGB(clWindow)));
    EXPECT_EQ(ScreenPixel(L, 140, 81), TColor(ColorToRGB(clBtnFace))); // the line under row 2
}

TEST_F(OfficeListTest, SkinnedRowsTakeTheListBoxRecordsFaces) {
    auto* L = Make<TbsSkinOfficeListBox>(u"listbox", 10, 10, 150, 104);
    for (char K : std::string("hnn"))
        L->Items()->Add()->SetHeader(K == 'h');
    L->SetItemIndex(1);
    Pump();
    // The rows area is the record's client part at this size: from (4, 22) to (146, 100).
    EXPECT_EQ(L->ItemsRect().Top, 22);
    EXPECT_EQ(ScreenPixel(L, 70, 30), cListClient); // the skin has no header record: nothing drawn
    EXPECT_EQ(ScreenPixel(L, 70, 57), cRowActive);
    EXPECT_EQ(ScreenPixel(L, 70, 85), cListClient); // a normal row shows the list's client part
    EXPECT_EQ(ScreenPixel(L, 2, 57), cListFrame);
    L->SetFocus();
    Pump();
    EXPECT_EQ(ScreenPixel(L, 70, 57), cRowFocus);
}

} // namespace
