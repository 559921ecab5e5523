// List boxes: the window's messages (sorted insertion, find string, selection by message, scroll state)
// and TListBox driven by injected clicks and keys on the headless screen (which changes are reported,
// single and extended selection, owner drawing, rows and points).
#include "platform/ui/ListBoxes.h"
#include "UiTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ListBoxesTest : public uitest::FormTest {
protected:
    ListBoxesTest() : FormTest(400, 300) {}
    // A list of 16-pixel rows with a client area of 100 x 64 (four rows), at the form's client (20, 20).
    TListBox* Make(std::initializer_list<String> Items, bool Multi = false) {
        auto* L = new TListBox(Form.get());
        L->SetParent(Form.get());
        L->Font()->SetName(u"QvBlocks");
        L->Font()->SetHeight(-16);
        L->SetMultiSelect(Multi);
        L->SetBounds(20, 20, 121, 68);
        L->Items()->AddStrings(Items);
        L->OnClick = [this, L](TObject*) { Log.push_back("click " + std::to_string(L->ItemIndex())); };
        L->OnDblClick = [this](TObject*) { Log.push_back("dblclick"); };
        L->SetFocus();
        Pump();
        return L;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    // The screen point of row Index (its visible place).
    TPoint RowPoint(TListBox* L, int Index) {
        TRect R = L->ItemRect(Index);
        return L->ClientToScreen(TPoint{R.Left + 10, R.Top + 8});
    }
    static std::vector<int> SelectedRows(TListBox* L) {
        std::vector<int> R;
        for (int I = 0; I < L->Count(); ++I)
            if (L->Selected(I))
                R.push_back(I);
        return R;
    }
    std::vector<std::string> Log;
};

TEST_F(ListBoxesTest, SortedInsertionIgnoresCaseAndFindStringWrapsFromItsStart) {
    RegisterListBoxClass();
    HWND H = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | LBS_SORT, 0, 0, 100, 100, Form->Handle(),
                             nullptr, nullptr, nullptr);
    for (const char16_t* S : {u"delta", u"Alpha", u"charlie", u"Bravo", u"alpha", u"bravo two"})
        SendMessageW(H, LB_ADDSTRING, 0, LPARAM(S));
    std::vector<String> Order;
    for (int I = 0; I < SendMessageW(H, LB_GETCOUNT, 0, 0); ++I) {
        char16_t Buf[32];
        SendMessageW(H, LB_GETTEXT, WPARAM(I), LPARAM(Buf));
        Order.push_back(Buf);
    }
    // Equal texts keep the order they came in.
    EXPECT_EQ(Order, (std::vector<String>{u"Alpha", u"alpha", u"Bravo", u"bravo two", u"charlie", u"delta"}));
    struct Case {
        UINT Msg;
        int Start;
        const char16_t* Text;
        LRESULT Want;
    } Cases[] = {
        {LB_FINDSTRING, -1, u"b", 2},
        {LB_FINDSTRING, 2, u"B", 3},
        {LB_FINDSTRING, 3, u"BRAVO", 2}, // wraps past the end
        {LB_FINDSTRING, -1, u"ALPHA", 0},
        {LB_FINDSTRING, 0, u"alpha", 1},
        {LB_FINDSTRING, -1, u"echo", LB_ERR},
        {LB_FINDSTRING, 99, u"d", 5}, // a start past the end searches all
        {LB_FINDSTRINGEXACT, -1, u"BRAVO", 2},
        {LB_FINDSTRINGEXACT, 2, u"bravo", 2},
        {LB_FINDSTRINGEXACT, -1, u"bra", LB_ERR},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SendMessageW(H, C.Msg, WPARAM(C.Start), LPARAM(C.Text)), C.Want)
            << (C.Msg == LB_FINDSTRING ? "find " : "exact ") << C.Start << " " << UTF8Encode(String(C.Text));
}

TEST_F(ListBoxesTest, OnlyTheUsersChangesAreReported) {
    TListBox* L = Make({u"one", u"two", u"three", u"four", u"five", u"six"});
    struct Step {
        const char* What;
        std::function<void()> Act;
        std::vector<std::string> Events;
        int Index;
    } Steps[] = {
        {"code selects", [&] { L->SetItemIndex(2); }, {}, 2},
        {"click on row 1", [&] { Click(RowPoint(L, 1)); }, {"click 1"}, 1},
        {"second click on the same row", [&] { Click(RowPoint(L, 1)); }, {"dblclick"}, 1},
        {"down key", [&] { Key(VK_DOWN); }, {"click 2"}, 2},
        {"end key", [&] { Key(VK_END); }, {"click 5"}, 5},
        {"up at the top stays",
         [&] {
             Key(VK_HOME);
             Key(VK_UP);
         },
         {"click 0"},
         0},
        {"typed letter",
         [&] {
             InjectChar(u'T');
             Pump();
         },
         {"click 1"},
         1},
        {"same letter again",
         [&] {
             InjectChar(u't');
             Pump();
         },
         {"click 2"},
         2},
        {"message selects", [&] { SendMessageW(L->Handle(), LB_SETCURSEL, 4, 0); }, {}, 4},
        {"code clears", [&] { L->SetItemIndex(-1); }, {}, -1},
    };
    for (const Step& S : Steps) {
        S.Act();
        EXPECT_EQ(Take(), S.Events) << S.What;
        EXPECT_EQ(L->ItemIndex(), S.Index) << S.What;
    }
}

TEST_F(ListBoxesTest, AnIndexOutsideTheListClearsTheSelection) {
    TListBox* L = Make({u"a", u"b", u"c"});
    for (int Outside : {3, -2}) {
        L->SetItemIndex(1);
        L->SetItemIndex(Outside);
        EXPECT_EQ(L->ItemIndex(), -1) << Outside;
        // The window answers LB_ERR to the same and clears its selection too.
        L->SetItemIndex(1);
        EXPECT_EQ(SendMessageW(L->Handle(), LB_SETCURSEL, WPARAM(Outside), 0), LB_ERR);
        EXPECT_EQ(L->ItemIndex(), -1) << Outside;
    }
    // A row that does not exist has no selection state to read or set.
    EXPECT_THROW(L->SetSelected(7, true), EListError);
    EXPECT_THROW(L->Selected(-1), EListError);
    EXPECT_EQ(Take(), std::vector<std::string>{});
}

// The selection follows its row while the list has no window, and the items, the selection and the top
// row come back when a parent's window is made again.
TEST_F(ListBoxesTest, ItemsAndSelectionOutliveTheWindow) {
    auto* L = new TListBox(Form.get());
    L->Items()->AddStrings({u"b", u"c"});
    L->SetItemIndex(1);
    L->Items()->Insert(0, u"a");
    EXPECT_EQ(L->ItemIndex(), 2);
    L->Items()->Delete(0);
    EXPECT_EQ(L->ItemIndex(), 1);
    L->Items()->AddStrings({u"d", u"e", u"f", u"g", u"h"});

    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(10, 10, 200, 150);
    L->SetParent(Panel);
    L->Font()->SetName(u"QvBlocks");
    L->Font()->SetHeight(-16);
    L->SetBounds(0, 0, 121, 68);
    Pump();
    ASSERT_TRUE(L->HandleAllocated());
    EXPECT_EQ(L->ItemIndex(), 1);
    L->SetTopIndex(3);
    L->SetItemIndex(4);
    Panel->RecreateWnd();
    Pump();
    EXPECT_EQ(L->Items()->ToVector(), (std::vector<String>{u"b", u"c", u"d", u"e", u"f", u"g", u"h"}));
    EXPECT_EQ(L->ItemIndex(), 4);
    EXPECT_EQ(L->TopIndex(), 3);
}

TEST_F(ListBoxesTest, RowsAddedInAnUpdateAreDrawnOnceAtItsEnd) {
    TListBox* L = Make({u"a"});
    int Paints = 0;
    TWndMethod Old = L->WindowProc();
    L->SetWindowProc([&, Old](TMessage& M) {
        Paints += M.Msg == WM_PAINT;
        Old(M);
    });
    L->Items()->BeginUpdate();
    L->Items()->Add(u"b");
    Pump();
    L->Items()->Add(u"c");
    Pump();
    EXPECT_EQ(Paints, 0);
    L->Items()->EndUpdate();
    Pump();
    EXPECT_EQ(Paints, 1);
    EXPECT_EQ(L->Count(), 3);
}

// Ctl3D chooses the frame: sunken by default, a flat line without. Children that follow their parent take
// its changes, and keep their items through the new window.
TEST_F(ListBoxesTest, Ctl3DChoosesTheFrameAndChildrenFollowTheirParent) {
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(10, 10, 200, 150);
    Panel->SetBorderStyle(bsSingle);
    TListBox* L = Make({u"a", u"b"});
    L->SetParent(Panel);
    auto Frame = [](TWinControl* C) {
        bool Sunken = GetWindowLongPtrW(C->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
        bool Line = GetWindowLongPtrW(C->Handle(), GWL_STYLE) & WS_BORDER;
        return std::string(Sunken ? "sunken" : "") + (Line ? "line" : "");
    };
    struct Step {
        const char* What;
        std::function<void()> Act;
        std::string Panel, List;
    } Steps[] = {
        {"default", [] {}, "sunken", "sunken"},
        {"panel flat", [&] { Panel->SetCtl3D(false); }, "line", "line"},
        {"list sunken", [&] { L->SetCtl3D(true); }, "line", "sunken"},
        {"the list no longer follows",
         [&] {
             Panel->SetCtl3D(true);
             Panel->SetCtl3D(false);
         },
         "line", "sunken"},
        {"it follows again", [&] { L->SetParentCtl3D(true); }, "line", "line"},
        {"panel without a frame", [&] { Panel->SetBorderStyle(bsNone); }, "", "line"},
    };
    for (const Step& S : Steps) {
        S.Act();
        EXPECT_EQ(Frame(Panel), S.Panel) << S.What;
        EXPECT_EQ(Frame(L), S.List) << S.What;
    }
    EXPECT_EQ(L->Items()->ToVector(), (std::vector<String>{u"a", u"b"}));
}

TEST_F(ListBoxesTest, ExtendedSelectionFollowsShiftAndCtrl) {
    TListBox* L = Make({u"r0", u"r1", u"r2", u"r3"}, true);
    struct Step {
        const char* What;
        std::function<void()> Act;
        std::vector<int> Selected;
        int Clicks;
    } Steps[] = {
        {"click", [&] { Click(RowPoint(L, 1)); }, {1}, 1},
        {"shift click", [&] { Click(RowPoint(L, 3), VK_SHIFT); }, {1, 2, 3}, 1},
        {"ctrl click toggles", [&] { Click(RowPoint(L, 2), VK_CONTROL); }, {1, 3}, 1},
        {"shift up from the anchor", [&] { Key(VK_UP, VK_SHIFT); }, {1, 2}, 1},
        {"ctrl down moves only the caret", [&] { Key(VK_DOWN, VK_CONTROL); }, {1, 2}, 0},
        {"ctrl space toggles the caret row", [&] { Key(VK_SPACE, VK_CONTROL); }, {1}, 1},
        {"plain key", [&] { Key(VK_HOME); }, {0}, 1},
        {"code selects all", [&] { L->SelectAll(); }, {0, 1, 2, 3}, 0},
    };
    for (const Step& S : Steps) {
        S.Act();
        EXPECT_EQ(SelectedRows(L), S.Selected) << S.What;
        EXPECT_EQ(int(Take().size()), S.Clicks) << S.What;
    }
    EXPECT_EQ(L->SelCount(), 4);
    int Items[8] = {};
    EXPECT_EQ(SendMessageW(L->Handle(), LB_GETSELITEMS, 2, LPARAM(Items)), 2);
    EXPECT_EQ(Items[1], 1);
}

TEST_F(ListBoxesTest, ScrollStateFollowsTheRowsAndTheTopRow) {
    TListBox* L = Make({u"1", u"2", u"3"});
    HWND H = L->Handle();
    EXPECT_FALSE(GetWindowLongPtrW(H, GWL_STYLE) & WS_VSCROLL); // all rows fit: no bar
    for (int I = 4; I <= 10; ++I)
        L->Items()->Add(IntToStr(I));
    struct Step {
        const char* What;
        std::function<void()> Act;
        int Top, ScrollPos;
    } Steps[] = {
        {"end key", [&] { Key(VK_END); }, 6, 6},
        {"line up", [&] { SendMessageW(H, WM_VSCROLL, SB_LINEUP, 0); }, 5, 5},
        {"page up", [&] { SendMessageW(H, WM_VSCROLL, SB_PAGEUP, 0); }, 2, 2},
        {"thumb", [&] { SendMessageW(H, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9), 0); }, 6, 6},
        {"top index", [&] { L->SetTopIndex(3); }, 3, 3},
        {"wheel towards the user", [&] { SendMessageW(H, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, 6, 6},
    };
    for (const Step& S : Steps) {
        S.Act();
        SCROLLINFO Si;
        Si.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(H, SB_VERT, &Si)) << S.What;
        EXPECT_EQ(L->TopIndex(), S.Top) << S.What;
        EXPECT_EQ(Si.nPos, S.ScrollPos) << S.What;
        EXPECT_EQ(Si.nMin, 0) << S.What;
        EXPECT_EQ(Si.nMax, 9) << S.What;
        // The bar took room, so the page is still four whole rows of the narrower client area.
        EXPECT_EQ(int(Si.nPage), 4) << S.What;
    }
    // The rows of the list are where the top row (6) puts them.
    EXPECT_EQ(L->ItemRect(6), (TRect{0, 0, L->ClientWidth(), 16}));
    EXPECT_EQ(L->ItemRect(8), (TRect{0, 32, L->ClientWidth(), 48}));
    // Only a point in the client area names a row, or below the rows the place of the next one.
    struct Point {
        TPoint P;
        int Existing, Next;
    } Points[] = {
        {{5, 40}, 8, 8}, {{5, 63}, 9, 9}, {{5, 64}, -1, -1}, {{-1, 5}, -1, -1}, {{L->ClientWidth(), 5}, -1, -1},
    };
    for (const Point& K : Points) {
        EXPECT_EQ(L->ItemAtPos(K.P, true), K.Existing) << K.P.X << "," << K.P.Y;
        EXPECT_EQ(L->ItemAtPos(K.P, false), K.Next) << K.P.X << "," << K.P.Y;
    }
    L->Items()->Clear();
    L->Items()->Add(u"only");
    EXPECT_EQ(L->ItemAtPos(TPoint{5, 40}, true), -1);
    EXPECT_EQ(L->ItemAtPos(TPoint{5, 40}, false), 1);
    EXPECT_FALSE(GetWindowLongPtrW(H, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ListBoxesTest, SeveralColumnsScrollSideways) {
    TListBox* L = Make({});
    L->SetColumns(2);
    for (int I = 0; I < 13; ++I)
        L->Items()->Add(IntToStr(I));
    Pump();
    HWND H = L->Handle();
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(H, SB_HORZ, &Si));
    // The horizontal bar takes room: two rows of 16 per column remain, seven columns of 13 rows.
    int Rows = L->ClientHeight() / 16;
    EXPECT_EQ(Rows, 2);
    EXPECT_EQ(Si.nMax, 6);
    EXPECT_EQ(int(Si.nPage), 2);
    int Cw = L->ClientWidth() / 2;
    EXPECT_EQ(L->ItemRect(5), (TRect{2 * Cw, 16, 3 * Cw, 32}));
    L->SetItemIndex(12);
    EXPECT_EQ(L->TopIndex(), 10); // the last row's column came into view as the second column
    EXPECT_EQ(GetScrollPos(H, SB_HORZ), 5);
}

TEST_F(ListBoxesTest, OwnerDrawnRowsAreDrawnByTheEvent) {
    TListBox* L = Make({u"a", u"b", u"c"});
    L->SetStyle(lbOwnerDrawFixed);
    L->SetItemHeight(20);
    std::vector<std::string> Drawn;
    L->OnDrawItem = [&](TWinControl*, int Index, TRect R, TOwnerDrawState State) {
        Drawn.push_back(std::to_string(Index) + "@" + std::to_string(R.Top) + (State.Contains(odSelected) ? "s" : "") +
                        (State.Contains(odFocused) ? "f" : ""));
    };
    L->SetItemIndex(1);
    L->SetFocus();
    L->Repaint();
    Pump();
    EXPECT_EQ(Drawn, (std::vector<std::string>{"0@0", "1@20sf", "2@40"}));
    EXPECT_EQ(L->Items()->Strings(2), u"c"); // the strings came through the window's re-creation
    EXPECT_EQ(L->ItemIndex(), 1);
}

} // namespace
