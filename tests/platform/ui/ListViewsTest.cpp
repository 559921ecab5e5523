// List views and headers driven by injected input on the headless screen: selection events and their
// order, owner-data fetching and finding, scroll state per view, the header's divider hit test and
// drag, column clicks, label editing; and a PNG of a form with a list box and list views.
#include "platform/ui/ListViews.h"
#include "UiTestSupport.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ListBoxes.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class ListViewsTest : public uitest::FormTest {
protected:
    ListViewsTest() : FormTest(500, 360) {}
    // A report view of 300 x 150 (client 296 x 146: a 22-pixel header, 20-pixel rows, six rows a page)
    // with two columns and Rows rows "r0" ...; every selection event goes into Log.
    TListView* Make(int Rows, bool Multi = false) {
        auto* V = new TListView(Form.get());
        V->SetParent(Form.get());
        V->Font()->SetName(u"QvBlocks");
        V->Font()->SetHeight(-16);
        V->SetBounds(10, 10, 300, 150);
        V->SetViewStyle(vsReport);
        V->SetMultiSelect(Multi);
        V->SetRowSelect(true);
        TListColumn* C = V->AddColumn();
        C->SetCaption(u"Name");
        C->SetWidth(100);
        C = V->AddColumn();
        C->SetCaption(u"Size");
        C->SetWidth(80);
        for (int I = 0; I < Rows; ++I) {
            TListItem* It = V->Items()->Add();
            It->SetCaption(u"r" + IntToStr(I));
            It->SubItems()->Add(IntToStr(I * 10));
        }
        V->OnSelectItem = [this](TObject*, TListItem* Item, bool Selected) {
            Log.push_back((Selected ? "+" : "-") + std::to_string(Item->Index()));
        };
        V->SetFocus();
        Pump();
        return V;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    TPoint RowPoint(TListView* V, int Index) {
        TRect R = V->ItemRect(Index, drBounds);
        return V->ClientToScreen(TPoint{R.Left + 30, R.Top + 10});
    }
    std::vector<std::string> Log;
};

using TLog = std::vector<std::string>;

TEST_F(ListViewsTest, EveryRowThatGainsOrLosesTheSelectionIsReportedOldRowsFirst) {
    TListView* V = Make(8, true);
    struct Step {
        const char* What;
        std::function<void()> Act;
        TLog Events;
    } Steps[] = {
        {"code selects", [&] { V->SetItemIndex(1); }, {"+1"}},
        {"click another row", [&] { Click(RowPoint(V, 3)); }, {"-1", "+3"}},
        {"shift click extends", [&] { Click(RowPoint(V, 5), VK_SHIFT); }, {"+4", "+5"}},
        {"ctrl click toggles", [&] { Click(RowPoint(V, 4), VK_CONTROL); }, {"-4"}},
        {"shift down from the anchor", [&] { Key(VK_DOWN, VK_SHIFT); }, {"-3", "+4"}},
        {"ctrl down moves the focus only", [&] { Key(VK_DOWN, VK_CONTROL); }, {}},
        {"ctrl space toggles the focused row", [&] { Key(VK_SPACE, VK_CONTROL); }, {"+6"}},
        {"item selected from code", [&] { V->Items()->Item(0)->SetSelected(true); }, {"+0"}},
        {"plain key", [&] { Key(VK_HOME); }, {"-4", "-5", "-6"}},
        {"click on no row clears",
         [&] {
             Click(V->ClientToScreen(TPoint{250, 130}));
         },
         {"-0"}},
        {"code clears nothing more", [&] { V->ClearSelection(); }, {}},
    };
    for (const Step& S : Steps) {
        S.Act();
        EXPECT_EQ(Take(), S.Events) << S.What;
    }
    EXPECT_EQ(V->ItemFocused()->Index(), 0);
}

// The view's canvas measures text in the view's font, as columns sized in characters need.
TEST_F(ListViewsTest, TheCanvasMeasuresText) {
    TListView* V = Make(1);
    V->Canvas()->Font()->Assign(V->Font());
    EXPECT_EQ(V->Canvas()->TextWidth(u"XXXX"), 4 * 8);
}

// A job row's progress is written into its sub-items: each change is reported and shown.
TEST_F(ListViewsTest, AChangedSubItemIsReportedAndRepainted) {
    TListView* V = Make(3);
    TLog Changes;
    V->OnChange = [&](TObject*, TListItem* Item, TItemChange C) {
        Changes.push_back(std::to_string(Item->Index()) + (C == ctText ? " text" : " other"));
    };
    RECT Dirty;
    EXPECT_FALSE(GetUpdateRect(V->Handle(), &Dirty, FALSE));
    V->Items()->Item(1)->SubItems()->SetStrings(0, u"50%");
    V->Items()->Item(2)->SubItems()->Add(u"00:01:02");
    EXPECT_EQ(Changes, (TLog{"1 text", "2 text"}));
    EXPECT_TRUE(GetUpdateRect(V->Handle(), &Dirty, FALSE));
}

TEST_F(ListViewsTest, ChangingCanRefuseAndAnIndexOutsideTheListClears) {
    TListView* V = Make(4);
    V->SetItemIndex(2);
    Take();
    TLog Changes;
    V->OnChanging = [&](TObject*, TListItem* Item, TItemChange, bool& Allow) { Allow = Item->Index() != 2; };
    V->OnChange = [&](TObject*, TListItem* Item, TItemChange C) {
        Changes.push_back(std::to_string(Item->Index()) + (C == ctState ? "state" : "other"));
    };
    Click(RowPoint(V, 0));
    // Row 2 may not lose its selection; row 0 gains it all the same.
    EXPECT_EQ(Take(), (TLog{"+0"}));
    EXPECT_EQ(Changes, (TLog{"0state"}));
    V->OnChanging = nullptr;
    EXPECT_THROW(V->Items()->Item(9), EListError);
    EXPECT_EQ(V->SelCount(), 2);
    EXPECT_EQ(Take(), TLog{});
    V->SetItemIndex(4);
    EXPECT_EQ(V->SelCount(), 0);
    EXPECT_EQ(V->ItemIndex(), -1);
    V->SetItemIndex(1);
    V->SetItemIndex(-2);
    EXPECT_EQ(V->ItemIndex(), -1);
}

TEST_F(ListViewsTest, OwnerDataRowsAreFetchedWhenShownAndFoundByTyping) {
    TListView* V = Make(0);
    V->SetOwnerData(true);
    std::vector<int> Fetched;
    V->OnData = [&](TObject*, TListItem* Item) {
        Fetched.push_back(Item->Index());
        Item->SetCaption(u"file" + IntToStr(Item->Index()));
        Item->SubItems()->Add(u"sub");
    };
    TLog Finds;
    V->OnDataFind = [&](TObject*, TItemFind Find, const String& S, const TPoint&, void*, int Start, TSearchDirection,
                        bool Wrap, int& Index) {
        Finds.push_back(std::to_string(int(Find)) + " " + UTF8Encode(S) + " from " + std::to_string(Start) +
                        (Wrap ? " wrap" : ""));
        Index = S == u"F" ? 7 : 42;
    };
    V->Items()->SetCount(1000);
    Fetched.clear();
    V->Repaint();
    // Only the rows on the page are asked for (a seventh, cut by the bottom edge, too).
    EXPECT_EQ(Fetched, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(V->Items()->Item(500)->Caption(), u"file500");
    V->SetItemIndex(3);
    Take();
    InjectKeyPress(VK_SHIFT); // typing starts with a key going down
    InjectChar(u'F');
    InjectChar(u'I');
    Pump();
    EXPECT_EQ(Finds, (TLog{"1 F from 4 wrap", "1 FI from 7 wrap"}));
    EXPECT_EQ(V->ItemIndex(), 42);
    EXPECT_EQ(Take(), (TLog{"-3", "+7", "-7", "+42"}));
    EXPECT_EQ(V->TopItem()->Index(), 37); // the found row came into view at the bottom
    // Rows redrawn with shorter text leave nothing of the old text behind.
    V->OnData = [](TObject*, TListItem* Item) { Item->SetCaption(u"f"); };
    SendMessageW(V->Handle(), LVM_REDRAWITEMS, 37, 40);
    Pump();
    TPoint Old = V->ClientToScreen(TPoint{30, 30});
    EXPECT_EQ(ScreenPixel(Old.X, Old.Y), ColorToRGB(clWindow));
}

TEST_F(ListViewsTest, ScrollStateFollowsTheViewStyle) {
    TListView* V = Make(10);
    HWND H = V->Handle();
    auto Info = [&](int Bar) {
        SCROLLINFO Si;
        Si.fMask = SIF_ALL;
        GetScrollInfo(H, Bar, &Si);
        return std::vector<int>{Si.nMin, Si.nMax, int(Si.nPage), Si.nPos};
    };
    EXPECT_EQ(SendMessageW(H, LVM_GETCOUNTPERPAGE, 0, 0), 6);
    EXPECT_EQ(Info(SB_VERT), (std::vector<int>{0, 9, 6, 0}));
    EXPECT_FALSE(GetWindowLongPtrW(H, GWL_STYLE) & WS_HSCROLL); // 180 pixels of columns fit
    Key(VK_END);
    EXPECT_EQ(Info(SB_VERT), (std::vector<int>{0, 9, 6, 4}));
    SendMessageW(H, LVM_SCROLL, 0, -3 * 20);
    EXPECT_EQ(V->TopItem()->Index(), 1);
    SendMessageW(H, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0);
    EXPECT_EQ(V->TopItem()->Index(), 2);
    EXPECT_EQ(V->ItemRect(3, drBounds), (TRect{0, 42, 180, 62}));
    EXPECT_EQ(V->GetItemAt(20, 45)->Index(), 3);
    EXPECT_EQ(V->SubItemRect(3, 1), (TRect{100, 42, 180, 62}));
    // Wider columns bring the horizontal bar, in pixels.
    V->Columns(1)->SetWidth(400);
    std::vector<int> Horz = Info(SB_HORZ);
    EXPECT_EQ(Horz[1], 500);
    EXPECT_EQ(Horz[2], V->ClientWidth() + 1);
    EXPECT_TRUE(GetWindowLongPtrW(H, GWL_STYLE) & WS_HSCROLL);
    // Icon view scrolls in pixels, a row of 76-pixel cells at a time.
    V->SetViewStyle(vsIcon);
    EXPECT_FALSE(IsWindowVisible(V->HeaderHandle()));
    int PerRow = V->ClientWidth() / 76;
    int CellH = 32 + 6 + 2 * 16 + 4;
    std::vector<int> Vert = Info(SB_VERT);
    EXPECT_EQ(Vert[1], ((10 + PerRow - 1) / PerRow) * CellH);
    EXPECT_EQ(Vert[2], V->ClientHeight() + 1);
    EXPECT_EQ(V->ItemRect(PerRow, drBounds), (TRect{0, CellH, 76, 2 * CellH}));
    // List view: columns of rows, scrolled sideways by columns.
    V->SetViewStyle(vsList);
    EXPECT_EQ(SendMessageW(H, LVM_GETCOUNTPERPAGE, 0, 0), (V->ClientHeight() / 20) * (V->ClientWidth() / 150));
}

TEST_F(ListViewsTest, HeaderDividersAreHitAndDraggedWithinTheColumnsLimits) {
    TListView* V = Make(3);
    TListColumn* Hidden = V->AddColumn(); // like the job list's settings columns
    Hidden->SetMaxWidth(1);
    Hidden->SetWidth(0);
    V->Columns(1)->SetMaxWidth(120);
    HWND Header = V->HeaderHandle();
    ASSERT_NE(Header, nullptr);
    struct Probe {
        int X;
        UINT Flags;
        int Item;
    } Probes[] = {{50, HHT_ONHEADER, 0},
                  {97, HHT_ONDIVIDER, 0},
                  {103, HHT_ONDIVIDER, 0},
                  {150, HHT_ONHEADER, 1},
                  {179, HHT_ONDIVIDER, 1},
                  {183, HHT_ONDIVIDER, 1},
                  {250, HHT_NOWHERE | HHT_TORIGHT, -1}};
    for (const Probe& P : Probes) {
        HDHITTESTINFO Hi;
        Hi.pt = POINT{P.X, 10};
        EXPECT_EQ(SendMessageW(Header, HDM_HITTEST, 0, LPARAM(&Hi)), P.Item) << P.X;
        EXPECT_EQ(Hi.flags, P.Flags) << P.X;
    }
    // Drag the first divider 30 pixels right, then the second past its column's maximum.
    TPoint A = V->ClientToScreen(TPoint{100, 10});
    InjectMouseMove(A.X, A.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(A.X + 10, A.Y);
    InjectMouseMove(A.X + 30, A.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(V->Columns(0)->Width(), 130);
    TPoint B = V->ClientToScreen(TPoint{210, 10});
    InjectMouseMove(B.X, B.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(B.X + 100, B.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(V->Columns(1)->Width(), 120);
    EXPECT_EQ(Hidden->Width(), 0);
    EXPECT_EQ(V->SubItemRect(0, 1), (TRect{130, 22, 250, 42}));
    // A click on a section is a column click.
    TLog Clicks;
    V->OnColumnClick = [&](TObject*, TListColumn* C) { Clicks.push_back(UTF8Encode(C->Caption())); };
    TPoint S = V->ClientToScreen(TPoint{180, 10});
    Click(S);
    EXPECT_EQ(Clicks, TLog{"Size"});
}

// Columns keep their indexes when the user drags them into another order; the rows are drawn in it.
TEST_F(ListViewsTest, FullDragLetsHeaderSectionsBeDraggedIntoANewOrder) {
    TListView* V = Make(3);
    V->AddColumn()->SetCaption(u"Type");
    V->Columns(2)->SetWidth(60);
    TLog Clicks;
    V->OnColumnClick = [&](TObject*, TListColumn* C) { Clicks.push_back(UTF8Encode(C->Caption())); };
    auto Drag = [&](int FromX, int ToX) {
        TPoint A = V->ClientToScreen(TPoint{FromX, 10});
        InjectMouseMove(A.X, A.Y);
        InjectMouseButton(0, true);
        InjectMouseMove(A.X + (ToX - FromX) / 2, A.Y);
        InjectMouseMove(A.X + ToX - FromX, A.Y);
        InjectMouseButton(0, false);
        Pump();
    };
    auto HeaderOrder = [&] {
        std::vector<int> Order(3);
        EXPECT_TRUE(SendMessageW(V->HeaderHandle(), HDM_GETORDERARRAY, 3, LPARAM(Order.data())));
        return Order;
    };
    // Without FullDrag a section cannot move, and a press let go elsewhere is no click.
    Drag(50, 150);
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{0, 1, 2}));
    V->SetFullDrag(true);
    // Name past the middle of Size (140), short of the middle of Type (210).
    Drag(50, 150);
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(HeaderOrder(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(V->SubItemRect(0, 1), (TRect{0, 22, 80, 42}));
    EXPECT_EQ(V->SubItemRect(0, 0), (TRect{80, 22, 180, 42}));
    EXPECT_EQ(V->ItemRect(0, drLabel).Left, 82);
    // The size "0" is drawn first (x 6 to 12), the caption "r0" after it (x 84 to 98).
    auto Ink = [&](int X) {
        TPoint P = V->ClientToScreen(TPoint{X, 30});
        return ScreenPixel(P.X, P.Y) == ColorToRGB(V->Font()->Color());
    };
    EXPECT_TRUE(Ink(8));
    EXPECT_FALSE(Ink(15));
    EXPECT_TRUE(Ink(85));
    EXPECT_TRUE(Ink(93));
    EXPECT_EQ(Clicks, TLog{});
    // Type to the far left; the order survives the window being made again and a column's removal.
    Drag(210, 2);
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{2, 1, 0}));
    V->SetShowColumnHeaders(false);
    V->SetShowColumnHeaders(true);
    Pump();
    EXPECT_EQ(HeaderOrder(), (std::vector<int>{2, 1, 0}));
    V->DeleteColumn(1);
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{1, 0}));
    std::vector<int> Order(2);
    EXPECT_TRUE(SendMessageW(V->Handle(), LVM_GETCOLUMNORDERARRAY, 2, LPARAM(Order.data())));
    EXPECT_EQ(Order, (std::vector<int>{1, 0}));
    EXPECT_FALSE(V->SetColumnOrder({1, 1}));
    EXPECT_FALSE(V->SetColumnOrder({0}));
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{1, 0}));
    // A short move is still a click.
    Drag(40, 42);
    EXPECT_EQ(Clicks, TLog{"Type"});
    // A refused move leaves a press, which let go elsewhere is no click.
    TWndMethod Previous = V->WindowProc();
    V->SetWindowProc([Previous](TMessage& M) {
        if (M.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(M.LParam)->code == HDN_BEGINDRAG) {
            M.Result = 1;
            return;
        }
        Previous(M);
    });
    Drag(40, 150);
    EXPECT_EQ(V->ColumnOrder(), (std::vector<int>{1, 0}));
    EXPECT_EQ(Clicks, TLog{"Type"});
}

TEST_F(ListViewsTest, SortedRowsFollowTheirSortTypeAndKeepTheirSelection) {
    TListView* V = Make(0, true);
    auto Captions = [&] {
        std::string S;
        for (int I = 0; I < V->Items()->Count(); ++I)
            S += UTF8Encode(V->Items()->Item(I)->Caption()) + " ";
        return S;
    };
    static int Weights[] = {3, 1, 2};
    for (const char16_t* Name : {u"b", u"输入", u"A"}) {
        TListItem* It = V->Items()->Add();
        It->SetCaption(Name);
    }
    EXPECT_EQ(Captions(), "b 输入 A ");
    V->Items()->Item(2)->SetSelected(true); // "A"
    V->Items()->Item(2)->SetFocused(true);
    V->SetSortType(stText);
    EXPECT_EQ(Captions(), "A b 输入 ");
    EXPECT_TRUE(V->Items()->Item(0)->Selected());
    EXPECT_TRUE(V->Items()->Item(0)->Focused());
    EXPECT_EQ(V->SelCount(), 1);
    // A new caption moves its row; new data does not, under stText.
    V->Items()->Item(0)->SetCaption(u"z");
    EXPECT_EQ(Captions(), "b z 输入 ");
    EXPECT_EQ(V->ItemIndex(), 1);
    for (int I = 0; I < 3; ++I)
        V->Items()->Item(I)->SetData(&Weights[I]);
    EXPECT_EQ(Captions(), "b z 输入 ");
    // Under stData the data moves its row, compared by OnCompare.
    V->OnCompare = [](TObject*, TListItem* A, TListItem* B, int, int& Compare) {
        Compare = *static_cast<int*>(A->Data()) - *static_cast<int*>(B->Data());
    };
    V->SetSortType(stData);
    EXPECT_EQ(Captions(), "z 输入 b ");
    static int Heaviest = 9;
    V->Items()->Item(0)->SetData(&Heaviest);
    EXPECT_EQ(Captions(), "输入 b z ");
    EXPECT_EQ(V->ItemIndex(), 2);
    // stNone leaves the rows where they are.
    V->SetSortType(stNone);
    V->Items()->Item(0)->SetData(&Weights[0]);
    EXPECT_EQ(Captions(), "输入 b z ");

    // A change during an update, or while a label is edited, sorts once that has ended; the edit goes
    // on, to its own row.
    V->OnCompare = nullptr;
    V->SetSortType(stText);
    EXPECT_EQ(Captions(), "b z 输入 ");
    V->Items()->BeginUpdate();
    V->Items()->Item(0)->SetCaption(u"y");
    EXPECT_EQ(Captions(), "y z 输入 ");
    V->Items()->EndUpdate();
    EXPECT_EQ(Captions(), "y z 输入 ");
    V->Items()->Item(2)->SetCaption(u"a");
    EXPECT_EQ(Captions(), "a y z ");
    V->Items()->Item(1)->EditCaption();
    ASSERT_TRUE(V->IsEditing());
    V->Items()->Item(2)->SetCaption(u"b");
    EXPECT_TRUE(V->IsEditing());
    EXPECT_EQ(Captions(), "a y b ");
    V->Items()->Delete(0);
    InjectKeyPress(VK_SHIFT);
    InjectChar(u'c');
    Key(VK_RETURN);
    EXPECT_EQ(Captions(), "b c ");
}

// The box goes before the icon; a press on it or the space bar ticks it without touching the selection.
TEST_F(ListViewsTest, CheckboxesAreTickedByMouseAndSpaceAndReportedAsStateChanges) {
    TListView* V = Make(3);
    V->SetCheckboxes(true);
    TLog States;
    bool Allow = true;
    V->OnChanging = [&](TObject*, TListItem*, TItemChange Change, bool& AllowChange) {
        if (Change == ctState)
            AllowChange = Allow;
    };
    V->OnChange = [&](TObject*, TListItem* Item, TItemChange Change) {
        if (Change == ctState)
            States.push_back(std::to_string(Item->Index()) + (Item->Checked() ? " ticked" : " clear"));
    };
    Pump();
    EXPECT_EQ(V->StateRect(1), (TRect{2, 44, 18, 60}));
    EXPECT_EQ(V->ItemRect(1, drIcon).Left, 18);
    LVHITTESTINFO Hi;
    Hi.pt = POINT{8, 50};
    EXPECT_EQ(SendMessageW(V->Handle(), LVM_HITTEST, 0, LPARAM(&Hi)), 1);
    EXPECT_EQ(Hi.flags, LVHT_ONITEMSTATEICON);

    auto Tick = [&](int Row) { // a pixel of the tick inside row Row's box
        TPoint P = V->ClientToScreen(TPoint{9, 22 + 20 * Row + 10});
        return ScreenPixel(P.X, P.Y);
    };
    EXPECT_EQ(Tick(1), ColorToRGB(clWindow));
    Click(V->ClientToScreen(TPoint{8, 50}));
    Pump();
    EXPECT_TRUE(V->Items()->Item(1)->Checked());
    EXPECT_EQ(Tick(1), ColorToRGB(clWindowText));
    EXPECT_EQ(Take(), TLog{}); // no row was selected
    V->Items()->Item(2)->SetFocused(true);
    Key(VK_SPACE);
    EXPECT_TRUE(V->Items()->Item(2)->Checked());
    Allow = false;
    Key(VK_SPACE);
    EXPECT_TRUE(V->Items()->Item(2)->Checked());
    EXPECT_EQ(States, (TLog{"1 ticked", "2 ticked"}));
    // New rows come with a clear box; without check boxes nothing reads as ticked.
    EXPECT_EQ(V->Items()->Add()->StateIndex(), 0);
    V->SetCheckboxes(false);
    EXPECT_FALSE(V->Items()->Item(1)->Checked());
    EXPECT_EQ(V->StateRect(1), TRect{});
    EXPECT_EQ(V->ItemRect(1, drIcon).Left, 2);
}

// Handlers colour rows and cells through the canvas, or draw a row themselves.
TEST_F(ListViewsTest, CustomDrawingColoursRowsAndCellsOrTakesThemOver) {
    TListView* V = Make(4);
    V->SetItemIndex(3);
    std::vector<TCustomDrawState> States(4);
    V->OnCustomDrawItem = [&](TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& Default) {
        States[std::size_t(Item->Index())] = State;
        if (Item->Index() == 1) {
            Sender->Canvas()->Font()->SetColor(clRed);
            Sender->Canvas()->Brush()->SetColor(clYellow);
        } else if (Item->Index() == 2) {
            Sender->Canvas()->Brush()->SetColor(clLime);
            Sender->Canvas()->FillRect(Item->DisplayRect(drBounds));
            Default = false;
        }
    };
    V->OnCustomDrawSubItem = [&](TCustomListView* Sender, TListItem* Item, int SubItem, TCustomDrawState, bool&) {
        if (Item->Index() == 0 && SubItem == 1)
            Sender->Canvas()->Font()->SetColor(clBlue);
    };
    V->Invalidate();
    Pump();
    auto At = [&](int X, int Row) {
        TPoint P = V->ClientToScreen(TPoint{X, 22 + 20 * Row + 8});
        return ScreenPixel(P.X, P.Y);
    };
    struct Probe {
        int X, Row;
        TColor Want;
    } Probes[] = {{5, 0, clBlack}, {107, 0, clBlue}, {5, 1, clRed},           {60, 1, clYellow},   {107, 1, clRed},
                  {5, 2, clLime},  {107, 2, clLime}, {5, 3, clHighlightText}, {60, 3, clHighlight}};
    for (const Probe& P : Probes)
        EXPECT_EQ(At(P.X, P.Row), ColorToRGB(P.Want)) << P.X << " " << P.Row;
    EXPECT_TRUE(States[3].Contains(cdsSelected));
    EXPECT_TRUE(States[3].Contains(cdsFocused));
    EXPECT_FALSE(States[0].Contains(cdsSelected));
    // The whole view left to its handler: no row is drawn.
    V->OnCustomDraw = [](TCustomListView*, const TRect&, bool& Default) { Default = false; };
    V->Invalidate();
    Pump();
    EXPECT_EQ(At(5, 0), ColorToRGB(clWindow));
}

TEST_F(ListViewsTest, HotTrackingShowsTheRowUnderTheMouseAndRestingOnItSelectsIt) {
    TListView* V = Make(4);
    V->SetHotTrack(true);
    auto Caption = [&](int Row) { // a pixel of the row's caption
        TPoint P = V->ClientToScreen(TPoint{5, 22 + 20 * Row + 8});
        return ScreenPixel(P.X, P.Y);
    };
    auto Rest = [&](TPoint P) {
        InjectMouseMove(P.X, P.Y);
        Pump();
        Advance(500);
        Pump();
    };
    TPoint Row2 = RowPoint(V, 2);
    InjectMouseMove(Row2.X, Row2.Y);
    Pump();
    EXPECT_EQ(Caption(2), ColorToRGB(clHotLight));
    EXPECT_EQ(Caption(1), ColorToRGB(clBlack));
    EXPECT_EQ(Take(), TLog{});
    Advance(500);
    Pump();
    EXPECT_EQ(Take(), TLog{"+2"});
    // Leaving the view leaves nothing hot, and nothing more is selected.
    Rest(V->ClientToScreen(TPoint{-5, 50}));
    EXPECT_EQ(Caption(3), ColorToRGB(clBlack));
    EXPECT_EQ(Take(), TLog{});
    // Without hot tracking resting selects nothing.
    V->SetHotTrack(false);
    Rest(RowPoint(V, 1));
    EXPECT_EQ(Caption(1), ColorToRGB(clBlack));
    EXPECT_EQ(Take(), TLog{});
}

TEST_F(ListViewsTest, HeaderControlReportsTrackingAndResizing) {
    auto* H = new THeaderControl(Form.get());
    H->SetParent(Form.get());
    H->Font()->SetName(u"QvBlocks");
    H->Font()->SetHeight(-16);
    THeaderSection* First = H->AddSection(u"输入文件", 80);
    H->AddSection(u"视频时间", 70);
    First->SetMinWidth(40);
    Pump();
    TLog Log2;
    H->OnSectionTrack = [&](THeaderControl*, THeaderSection* S, int W, TSectionTrackState State) {
        Log2.push_back("track " + std::to_string(S->Index()) + " " + std::to_string(W) + " " +
                       std::to_string(int(State)));
    };
    H->OnSectionResize = [&](THeaderControl*, THeaderSection* S) {
        Log2.push_back("resize " + std::to_string(S->Index()) + " " + std::to_string(S->Width()));
    };
    TPoint D = H->ClientToScreen(TPoint{80, 5});
    InjectMouseMove(D.X, D.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(D.X - 20, D.Y);
    InjectMouseMove(D.X - 70, D.Y); // narrower than the minimum
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log2,
              (TLog{"track 0 80 0", "track 0 60 1", "resize 0 60", "track 0 40 1", "resize 0 40", "track 0 40 2"}));
}

TEST_F(ListViewsTest, LabelEditingCanBeRefusedCommittedOrCancelled) {
    TListView* V = Make(3);
    // Enter and Escape end the editing; the form's buttons never see them.
    auto* Ok = new uitest::TTestButton(V->Owner());
    Ok->SetParent(V->Parent());
    Ok->Default = true;
    auto* Cancel = new uitest::TTestButton(V->Owner());
    Cancel->SetParent(V->Parent());
    Cancel->SetLeft(100);
    Cancel->Cancel = true;
    TLog Edits;
    V->OnEditing = [&](TObject*, TListItem* Item, bool& Allow) { Allow = Item->Index() != 2; };
    V->OnEdited = [&](TObject*, TListItem* Item, String& S) {
        Edits.push_back(UTF8Encode(S));
        S += u".mp4";
    };
    V->SetItemIndex(2);
    Key(VK_F2);
    EXPECT_FALSE(V->IsEditing()); // refused
    V->SetItemIndex(1);
    Key(VK_F2);
    ASSERT_TRUE(V->IsEditing());
    InjectKeyPress(VK_SHIFT);
    for (Char C : String(u"clip"))
        InjectChar(C);
    Key(VK_RETURN);
    EXPECT_FALSE(V->IsEditing());
    EXPECT_EQ(Edits, TLog{"clip"});
    EXPECT_EQ(V->Items()->Item(1)->Caption(), u"clip.mp4");
    EXPECT_TRUE(V->Focused());
    V->Items()->Item(0)->EditCaption();
    InjectKeyPress(VK_SHIFT);
    InjectChar(u'x');
    Key(VK_ESCAPE);
    EXPECT_FALSE(V->IsEditing());
    EXPECT_EQ(V->Items()->Item(0)->Caption(), u"r0");
    EXPECT_EQ(Edits.size(), 1u);
    EXPECT_EQ(Ok->Clicks + Cancel->Clicks, 0);
    // A slow second press on the chosen row's label edits it; a first press or a double click does not.
    struct Step {
        const char* What;
        int Clicks;
        bool Editing;
    } Steps[] = {{"press choosing the row", 1, false}, {"second press", 1, true}, {"double click", 2, false}};
    for (const Step& S : Steps) {
        SCOPED_TRACE(S.What);
        Advance(1000);
        for (int I = 0; I < S.Clicks; ++I)
            Click(RowPoint(V, 0));
        Advance(1000);
        Pump();
        EXPECT_EQ(V->IsEditing(), S.Editing);
        if (V->IsEditing())
            Key(VK_ESCAPE);
    }
    // The focus moving elsewhere before the wait is over cancels the edit.
    Advance(1000);
    Click(RowPoint(V, 0));
    Ok->SetFocus();
    Advance(1000);
    Pump();
    EXPECT_FALSE(V->IsEditing());
    EXPECT_TRUE(Ok->Focused());
    V->SetFocus();
    V->SetReadOnly(true);
    Key(VK_F2);
    EXPECT_FALSE(V->IsEditing());
    Advance(1000);
    Click(RowPoint(V, 0));
    Advance(1000);
    Pump();
    EXPECT_FALSE(V->IsEditing());
}

TEST_F(ListViewsTest, TheHeaderIsMadeAsAChildTheParentHearsOf) {
    auto* V = new TListView(Form.get());
    V->SetViewStyle(vsReport);
    std::vector<std::u16string> Children;
    TWndMethod Old = V->WindowProc();
    V->SetWindowProc([&, Old](TMessage& M) {
        if (M.Msg == WM_PARENTNOTIFY && LOWORD(M.WParam) == WM_CREATE) {
            char16_t Name[80] = {};
            GetClassNameW(reinterpret_cast<HWND>(M.LParam), Name, 80);
            Children.push_back(Name);
        }
        Old(M);
    });
    V->SetParent(Form.get());
    V->HandleNeeded();
    EXPECT_EQ(Children, (std::vector<std::u16string>{u"SysHeader32"}));
    HWND Header = V->HeaderHandle();
    EXPECT_EQ(HWND(SendMessageW(V->Handle(), LVM_GETHEADER, 0, 0)), Header);
    // The other views hide the header and keep it.
    V->SetViewStyle(vsIcon);
    EXPECT_TRUE(IsWindow(Header));
    EXPECT_FALSE(IsWindowVisible(Header));
    V->SetViewStyle(vsReport);
    EXPECT_EQ(V->HeaderHandle(), Header);
    EXPECT_TRUE(IsWindowVisible(Header));
    EXPECT_EQ(Children.size(), 1u);
    // Switching the column headers makes the window, and with it a header, anew.
    V->SetShowColumnHeaders(false);
    V->SetShowColumnHeaders(true);
    EXPECT_EQ(Children, (std::vector<std::u16string>{u"SysHeader32", u"SysHeader32", u"SysHeader32"}));
    EXPECT_TRUE(IsWindowVisible(V->HeaderHandle()));
}

// A form with a list box and list views in all four views, with Latin and Chinese text, saved
// for a person to look at: build/artifacts/list_form.png.
TEST_F(ListViewsTest, AFormOfListBoxAndListViewsInTheClassicLook) {
    Form->SetBounds(100, 100, 640, 420);
    Form->SetCaption(u"列表 Lists");
    Form->SetColor(clBtnFace);
    auto Images = std::make_unique<TImageList>(nullptr, 16, 16);
    auto Large = std::make_unique<TImageList>(nullptr, 32, 32);
    for (TColor C : {clRed, clGreen, clBlue}) {
        TBitmap Small(16, 16), Big(32, 32);
        Small.Canvas()->Brush()->SetColor(C);
        Small.Canvas()->FillRect(TRect{2, 2, 14, 14});
        Images->Add(&Small, nullptr);
        Big.Canvas()->Brush()->SetColor(C);
        Big.Canvas()->FillRect(TRect{4, 4, 28, 28});
        Large->Add(&Big, nullptr);
    }
    auto* Box = new TListBox(Form.get());
    Box->SetParent(Form.get());
    Box->SetBounds(10, 10, 150, 170);
    Box->Items()->AddStrings({u"MP4 视频", u"AVI - Audio Video", u"3GP 手机视频", u"MP3 音频", u"FLV Flash",
                              u"WMV Windows Media", u"MOV QuickTime", u"RM RealMedia", u"OGG Vorbis", u"WAV 无损音频",
                              u"AAC Advanced Audio"});
    Box->SetItemIndex(2);
    auto* Report = new TListView(Form.get());
    Report->SetParent(Form.get());
    Report->SetBounds(170, 10, 450, 170);
    Report->SetViewStyle(vsReport);
    Report->SetRowSelect(true);
    Report->SetGridLines(true);
    Report->SetHideSelection(false);
    Report->SetSmallImages(Images.get());
    Report->SetCheckboxes(true);
    struct Col {
        const char16_t* Caption;
        int Width;
        TAlignment Align;
    } Cols[] = {{u"输入文件", 130, taLeftJustify},
                {u"视频时间", 80, taCenter},
                {u"文件大小", 80, taRightJustify},
                {u"输出文件", 130, taLeftJustify},
                {u"转换进度", 70, taLeftJustify}};
    for (const Col& C : Cols) {
        TListColumn* L = Report->AddColumn();
        L->SetCaption(C.Caption);
        L->SetWidth(C.Width);
        L->SetAlignment(C.Align);
    }
    const char16_t* Rows[][5] = {{u"C:\\视频\\旅行.avi", u"00:03:25", u"12.5MB", u"旅行.mp4", u"100%"},
                                 {u"C:\\Videos\\holiday.mov", u"01:02:05", u"1.5MB", u"holiday.mp4", u"45%"},
                                 {u"D:\\音乐\\歌曲.wav", u"00:04:10", u"3MB", u"歌曲.mp3", u""},
                                 {u"E:\\clips\\demo.flv", u"N/A", u"0.95MB", u"demo.mp4", u""},
                                 {u"E:\\clips\\long name of a file.mkv", u"00:00:00", u"700MB", u"long.mp4", u""},
                                 {u"F:\\录像\\会议.wmv", u"02:00:00", u"45MB", u"会议.mp4", u""},
                                 {u"G:\\more.mp4", u"00:01:00", u"2MB", u"more.mp4", u""}};
    int Image = 0;
    for (auto& R : Rows) {
        TListItem* It = Report->Items()->Add();
        It->SetCaption(R[0]);
        It->SetChecked(Image % 3 == 0);
        It->SetImageIndex(Image++ % 3);
        for (int I = 1; I < 5; ++I)
            It->SubItems()->Add(R[I]);
    }
    Report->SetItemIndex(1);
    // The device names in the icon view, then in the small-icon and list views.
    const char16_t* Names[] = {u"普通视频", u"Audio", u"手机 Phone", u"iPod",      u"PSP",
                               u"高清 HD",  u"DVD",   u"网络 Web",   u"MP3 播放器"};
    struct View {
        TViewStyle Style;
        TRect Bounds;
        int Selected;
    } Views[] = {
        {vsIcon, {10, 190, 620, 320}, 5}, {vsSmallIcon, {10, 326, 310, 382}, 2}, {vsList, {320, 326, 620, 382}, 2}};
    for (const View& K : Views) {
        auto* V = new TListView(Form.get());
        V->SetParent(Form.get());
        V->SetBounds(K.Bounds.Left, K.Bounds.Top, K.Bounds.Right - K.Bounds.Left, K.Bounds.Bottom - K.Bounds.Top);
        V->SetViewStyle(K.Style);
        if (K.Style == vsIcon)
            V->SetLargeImages(Large.get());
        else
            V->SetSmallImages(Images.get());
        V->SetHideSelection(false);
        Image = 0;
        for (const char16_t* N : Names) {
            TListItem* It = V->Items()->Add();
            It->SetCaption(N);
            It->SetImageIndex(Image++ % 3);
        }
        V->SetItemIndex(K.Selected);
    }
    Report->SetFocus();
    Pump();
    // The selected report row is drawn in the selection colour across its width.
    TRect Row = Report->ItemRect(1, drBounds);
    TPoint P = Report->ClientToScreen(TPoint{Row.Left + 400, Row.Top + 2});
    EXPECT_EQ(ScreenPixel(P.X, P.Y), ColorToRGB(clHighlight));
    RECT Area{100, 100, 740, 520};
    std::vector<DWORD> Pixels = CaptureScreen(Area);
    TPngImage Png;
    Png.SetPixels(Area.Right - Area.Left, Area.Bottom - Area.Top, reinterpret_cast<const std::uint32_t*>(Pixels.data()),
                  false);
    std::filesystem::create_directories("artifacts");
    Png.SaveToFile(u"artifacts/list_form.png");
    EXPECT_TRUE(std::filesystem::exists("artifacts/list_form.png"));
    Form.reset(); // the views go before the image lists they show
}

} // namespace
