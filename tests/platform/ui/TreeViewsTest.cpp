// Tree view: node structure and navigation, expanding and collapsing with their vetoes and event order,
// selection by mouse and keys, hit testing, scroll state and label editing, driven by injected input on
// the headless screen.
#include "platform/ui/TreeViews.h"
#include "UiTestSupport.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Name(TTreeNode* N) {
    if (!N)
        return "nil";
    std::string S;
    for (char16_t C : N->Text())
        S += char(C);
    return S;
}

class TreeViewTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Tree = new TTreeView(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(10, 10, 200, 160);
    }
    void TearDown() override {
        Form.reset();
        uitest::UiTest::TearDown();
    }
    // A
    //   A1
    //     A1a
    //   A2
    // B
    // C
    //   C1
    void Build() {
        TTreeNodes* I = Tree->Items();
        A = I->Add(nullptr, u"A");
        A1 = I->AddChild(A, u"A1");
        A1a = I->AddChild(A1, u"A1a");
        A2 = I->AddChild(A, u"A2");
        B = I->Add(A, u"B");
        C = I->Add(nullptr, u"C");
        C1 = I->AddChild(C, u"C1");
    }
    void Watch() {
        Tree->OnExpanding = [this](TObject*, TTreeNode* N, bool& Allow) {
            Log.push_back("expanding " + Name(N));
            Allow = Name(N) != VetoExpand;
        };
        Tree->OnExpanded = [this](TObject*, TTreeNode* N) { Log.push_back("expanded " + Name(N)); };
        Tree->OnCollapsing = [this](TObject*, TTreeNode* N, bool& Allow) {
            Log.push_back("collapsing " + Name(N));
            Allow = Name(N) != VetoCollapse;
        };
        Tree->OnCollapsed = [this](TObject*, TTreeNode* N) { Log.push_back("collapsed " + Name(N)); };
        Tree->OnChanging = [this](TObject*, TTreeNode* N, bool& Allow) {
            Log.push_back("changing " + Name(Tree->Selected()) + ">" + Name(N));
            Allow = Name(N) != VetoChange;
        };
        Tree->OnChange = [this](TObject*, TTreeNode* N) { Log.push_back("change " + Name(N)); };
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    void Show() {
        Form->Show();
        Pump();
    }
    TPoint Screen(int X, int Y) { return Tree->ClientToScreen(TPoint{X, Y}); }
    void ClickAt(int X, int Y, int Button = 0) {
        TPoint P = Screen(X, Y);
        InjectClick(P.X, P.Y, Button);
        Pump();
    }
    void ClickLabel(TTreeNode* N, int Button = 0) {
        TRect R = N->DisplayRect(true);
        ClickAt(R.Left + 3, (R.Top + R.Bottom) / 2, Button);
    }
    void ClickButton(TTreeNode* N) {
        TRect R = N->DisplayRect(true);
        ClickAt(R.Left - Tree->Indent() / 2, (R.Top + R.Bottom) / 2);
    }
    void Keys(std::initializer_list<UINT> List) {
        for (UINT K : List)
            InjectKeyPress(K);
        Pump();
    }

    std::unique_ptr<TForm> Form;
    TTreeView* Tree = nullptr;
    TTreeNode *A = nullptr, *A1 = nullptr, *A1a = nullptr, *A2 = nullptr, *B = nullptr, *C = nullptr, *C1 = nullptr;
    std::vector<std::string> Log;
    std::string VetoExpand, VetoCollapse, VetoChange;
};

TEST_F(TreeViewTest, NodesKnowTheirPlaceInTheTree) {
    Build();
    struct Case {
        TTreeNode* Node;
        std::string Next, Prev, NextSibling, Parent;
        int Level, Index, Absolute, Count;
    } Cases[] = {
        {A, "A1", "nil", "B", "nil", 0, 0, 0, 2},   {A1, "A1a", "A", "A2", "A", 1, 0, 1, 1},
        {A1a, "A2", "A1", "nil", "A1", 2, 0, 2, 0}, {A2, "B", "A1a", "nil", "A", 1, 1, 3, 0},
        {B, "C", "A2", "C", "nil", 0, 1, 4, 0},     {C, "C1", "B", "nil", "nil", 0, 2, 5, 1},
        {C1, "nil", "C", "nil", "C", 1, 0, 6, 0},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(Name(K.Node));
        EXPECT_EQ(Name(K.Node->GetNext()), K.Next);
        EXPECT_EQ(Name(K.Node->GetPrev()), K.Prev);
        EXPECT_EQ(Name(K.Node->getNextSibling()), K.NextSibling);
        EXPECT_EQ(Name(K.Node->Parent()), K.Parent);
        EXPECT_EQ(K.Node->Level(), K.Level);
        EXPECT_EQ(K.Node->Index(), K.Index);
        EXPECT_EQ(K.Node->AbsoluteIndex(), K.Absolute);
        EXPECT_EQ(K.Node->Count(), K.Count);
        EXPECT_EQ(K.Node->HasChildren(), K.Count > 0);
        EXPECT_EQ(Tree->Items()->Item(K.Absolute), K.Node);
    }
    EXPECT_EQ(Tree->Items()->Count(), 7);
    EXPECT_EQ(Tree->Perform(TVM_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(A->Item(1), A2);
    EXPECT_EQ(A->GetFirstChild(), A1);
    EXPECT_THROW(A->Item(2), EListError);
    EXPECT_THROW(Tree->Items()->Item(7), EListError);

    // Where each way of adding puts its node.
    TTreeNodes* I = Tree->Items();
    TTreeNode* First = I->AddFirst(B, u"0");
    TTreeNode* A0 = I->AddChildFirst(A, u"A0");
    TTreeNode* BeforeC = I->Insert(C, u"B2");
    TTreeNode* Last = I->AddChild(nullptr, u"D");
    std::string Order;
    for (TTreeNode* N = I->GetFirstNode(); N; N = N->GetNext())
        Order += Name(N) + " ";
    EXPECT_EQ(Order, "0 A A0 A1 A1a A2 B B2 C C1 D ");
    EXPECT_EQ(First->Index(), 0);
    EXPECT_EQ(A0->Parent(), A);
    EXPECT_EQ(BeforeC->getNextSibling(), C);
    EXPECT_EQ(Last->Level(), 0);
}

TEST_F(TreeViewTest, DeletingAnnouncesEveryNodeChildrenFirstAndMovesTheSelection) {
    Build();
    Watch();
    Tree->OnDeletion = [this](TObject*, TTreeNode* N) { Log.push_back("deletion " + Name(N)); };
    Tree->SetSelected(A1a);
    Take();
    A1->Delete();
    // The selection inside goes to the next sibling of the deleted node.
    EXPECT_EQ(Take(), (std::vector<std::string>{"change A2", "deletion A1a", "deletion A1"}));
    EXPECT_EQ(Tree->Selected(), A2);
    A2->Delete();
    EXPECT_EQ(Take(), (std::vector<std::string>{"change A", "deletion A2"}));
    EXPECT_FALSE(A->HasChildren());
    // HasChildren set by hand shows a button without children; a new child clears that.
    B->SetHasChildren(true);
    EXPECT_TRUE(B->HasChildren());
    C->SetHasChildren(false);
    EXPECT_FALSE(C->HasChildren());
    Tree->Items()->AddChild(C, u"C2");
    EXPECT_TRUE(C->HasChildren());
    Tree->Items()->Clear();
    EXPECT_EQ(Tree->Items()->Count(), 0);
    EXPECT_EQ(Tree->Selected(), nullptr);
    EXPECT_EQ(Take(), (std::vector<std::string>{"deletion C2", "deletion C1", "deletion C", "deletion B", "change nil",
                                                "deletion A"}));
}

TEST_F(TreeViewTest, ExpandingAndCollapsingAskFirstAndReportAfter) {
    Build();
    Watch();
    Show();
    struct Step {
        const char* What;
        std::function<void()> Act;
        std::vector<std::string> Log;
        bool AExpanded;
    };
    std::vector<Step> Steps = {
        {"expand from code", [&] { A->Expand(false); }, {"expanding A", "expanded A"}, true},
        {"again: nothing", [&] { A->SetExpanded(true); }, {}, true},
        {"collapse vetoed",
         [&] {
             VetoCollapse = "A";
             A->Collapse(false);
         },
         {"collapsing A"},
         true},
        {"button click collapses",
         [&] {
             VetoCollapse = "";
             ClickButton(A);
         },
         {"collapsing A", "collapsed A"},
         false},
        {"expand vetoed",
         [&] {
             VetoExpand = "A";
             ClickButton(A);
         },
         {"expanding A"},
         false},
        {"double click toggles",
         [&] {
             VetoExpand = "";
             TPoint P = Screen(A->DisplayRect(true).Left + 3, A->DisplayRect(true).Top + 3);
             InjectClick(P.X, P.Y);
             InjectClick(P.X, P.Y);
             Pump();
         },
         {"changing nil>A", "change A", "expanding A", "expanded A"},
         true},
        {"a leaf does not expand", [&] { B->Expand(false); }, {}, true},
    };
    for (Step& S : Steps) {
        SCOPED_TRACE(S.What);
        S.Act();
        EXPECT_EQ(Take(), S.Log);
        EXPECT_EQ(A->Expanded(), S.AExpanded);
    }
    // A node that says it has children is filled while it expands.
    B->SetHasChildren(true);
    Tree->OnExpanding = [&](TObject*, TTreeNode* N, bool&) {
        if (N->Count() == 0)
            Tree->Items()->AddChild(N, u"B1");
    };
    B->Expand(false);
    EXPECT_EQ(B->Count(), 1);
    EXPECT_TRUE(B->GetFirstChild()->IsVisible());
    // Expanding recursively opens the whole subtree.
    A->Collapse(true);
    A->Expand(true);
    EXPECT_TRUE(A1->Expanded());
    EXPECT_TRUE(A1a->IsVisible());
}

TEST_F(TreeViewTest, CollapsingAroundTheSelectionMovesItUpWithItsEvents) {
    Build();
    Tree->FullExpand();
    Tree->SetSelected(A1a);
    Watch();
    Show();
    VetoChange = "A";
    A->Collapse(false);
    // The selection cannot stay hidden: refused, it stays where it was but the branch still closes.
    EXPECT_EQ(Take(), (std::vector<std::string>{"collapsing A", "changing A1a>A", "collapsed A"}));
    VetoChange = "";
    A->Expand(false);
    Take();
    A->Collapse(false);
    EXPECT_EQ(Take(), (std::vector<std::string>{"collapsing A", "changing A1a>A", "change A", "collapsed A"}));
    EXPECT_EQ(Tree->Selected(), A);
}

TEST_F(TreeViewTest, ClicksAndKeysSelectAndTheChangeCanBeRefused) {
    Build();
    Watch();
    Show();
    ClickLabel(B);
    EXPECT_EQ(Tree->Selected(), B);
    EXPECT_TRUE(Tree->Focused());
    VetoChange = "C";
    ClickLabel(C);
    EXPECT_EQ(Tree->Selected(), B);
    VetoChange = "";
    // The right button selects only with RightClickSelect.
    ClickLabel(A, 1);
    EXPECT_EQ(Tree->Selected(), B);
    Tree->SetRightClickSelect(true);
    ClickLabel(A, 1);
    EXPECT_EQ(Tree->Selected(), A);
    // Beside a label (left of it, right of it) no selection changes; below the last row neither.
    ClickAt(190, B->DisplayRect(true).Top + 2);
    ClickAt(100, 150);
    EXPECT_EQ(Tree->Selected(), A);
    EXPECT_EQ(Take(),
              (std::vector<std::string>{"changing nil>B", "change B", "changing B>C", "changing B>A", "change A"}));

    struct Case {
        UINT Key;
        std::string Selected;
        bool AExpanded;
    } Cases[] = {
        {VK_DOWN, "B", false},  {VK_UP, "A", false},    {VK_RIGHT, "A", true},     {VK_RIGHT, "A1", true},
        {VK_RIGHT, "A1", true}, {VK_DOWN, "A1a", true}, {VK_LEFT, "A1", true},     {VK_LEFT, "A1", true},
        {VK_LEFT, "A", true},   {VK_LEFT, "A", false},  {VK_END, "C", false},      {VK_MULTIPLY, "C", false},
        {VK_END, "C1", false},  {VK_BACK, "C", false},  {VK_SUBTRACT, "C", false}, {VK_HOME, "A", false},
        {VK_ADD, "A", true},    {VK_NEXT, "C", true},   {VK_PRIOR, "A", true},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(std::to_string(K.Key) + " to " + K.Selected);
        Keys({K.Key});
        EXPECT_EQ(Name(Tree->Selected()), K.Selected);
        EXPECT_EQ(A->Expanded(), K.AExpanded);
    }
}

// Typing finds the next shown node by the start of its text; a pause starts a new search.
TEST_F(TreeViewTest, TypingSelectsTheNextShownNodeBeginningWithIt) {
    Build();
    Show();
    A->Expand(false); // rows A, A1, A2, B, C
    ClickLabel(A);
    struct Case {
        const char16_t* Typed;
        bool Pause;
        std::string Selected;
    } Cases[] = {
        {u"a", false, "A1"},  {u"a", false, "A2"}, {u"a", false, "A"}, // one letter again steps on, wrapping
        {u"C", true, "C"},    {u"a2", true, "A2"},                     // a longer prefix looks from the current node
        {u"a1a", true, "A1"},                                          // A1a is not shown
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(UTF8Encode(String(K.Typed)));
        if (K.Pause)
            Advance(1500);
        for (const char16_t* P = K.Typed; *P; ++P)
            InjectChar(*P);
        Pump();
        EXPECT_EQ(Name(Tree->Selected()), K.Selected);
    }
}

TEST_F(TreeViewTest, HitTestsNameThePartsOfARow) {
    Build();
    TImageList Images(nullptr, 16, 16);
    Tree->SetImages(&Images);
    Show();
    int H = Tree->ItemHeight();
    ASSERT_GE(H, 16);
    // Rows: A, B, C; with ShowRoot every level is indented once more.
    EXPECT_EQ(B->DisplayRect(false), Rect(0, H, Tree->ClientWidth(), 2 * H));
    TRect Label = B->DisplayRect(true);
    EXPECT_EQ(Label.Left, 19 + 16 + 1);
    EXPECT_EQ(Label.Top, H);
    int Y = H + H / 2;
    struct Case {
        int X, Y;
        THitTests Hit;
        TTreeNode* Node;
    } Cases[] = {
        {Label.Left + 1, Y, THitTests{htOnItem, htOnLabel}, B},
        {19 + 2, Y, THitTests{htOnItem, htOnIcon}, B},
        {9, H / 2, THitTests{htOnButton}, A},
        {9, Y, THitTests{htOnIndent}, B},
        {Label.Right + 1, Y, THitTests{htOnRight}, B},
        {10, 3 * H + 2, THitTests{htNowhere}, nullptr},
        {10, -5, THitTests{htAbove}, nullptr},
        {10, 500, THitTests{htBelow}, nullptr},
        {-3, 10, THitTests{htToLeft}, nullptr},
        {900, 10, THitTests{htToRight}, nullptr},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(std::to_string(K.X) + "," + std::to_string(K.Y));
        EXPECT_EQ(Tree->GetHitTestInfoAt(K.X, K.Y), K.Hit);
        EXPECT_EQ(Tree->GetNodeAt(K.X, K.Y), K.Node);
    }
    // Without ShowRoot top-level nodes have no indentation and no button.
    Tree->SetShowRoot(false);
    EXPECT_EQ(B->DisplayRect(true).Left, 16 + 1);
    EXPECT_EQ(A1->DisplayRect(true), TRect());
    EXPECT_EQ(Tree->GetHitTestInfoAt(2, H / 2), (THitTests{htOnItem, htOnIcon}));
    Tree->SetImages(nullptr);
}

TEST_F(TreeViewTest, ButtonsAndDottedLinesInTheClassicLook) {
    // Two top-level nodes, the first expanded with one child, the second collapsed; empty labels.
    Tree->SetBounds(0, 0, 34, 36);
    Tree->Font()->SetHeight(8);
    TImageList Images(nullptr, 1, 14);
    Tree->SetImages(&Images);
    Tree->SetIndent(10);
    TTreeNode* First = Tree->Items()->Add(nullptr, u"");
    Tree->Items()->AddChild(First, u"");
    Tree->Items()->AddChild(Tree->Items()->Add(nullptr, u""), u"");
    First->Expand(false);
    ASSERT_EQ(Tree->ItemHeight(), 14);
    auto Picture = uitest::PaintToBitmap(*Tree);
    uitest::ExpectPicture(*Picture,
                          {
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WSSSSSSSSSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSWKKKKKWSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSSSSSSSSSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWSWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWSWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWSWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWSWSWSWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWSWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "WSSSSSSSSSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWWWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSWWWKWWWSWWWWWWWWWWWWWWWWWWWWWWWW",
                              "WSWWWKWWWSWWWWWWWWWWWWWWWWWWWWWWWW", "WSWKKKKKWSWWWWWWWWWWWWWWWWWWWWWWWW",
                          },
                          __LINE__);
    Tree->SetImages(nullptr);
}

TEST_F(TreeViewTest, ScrollStateFollowsTheRowsAndTheWidestLabel) {
    TTreeNodes* I = Tree->Items();
    I->BeginUpdate();
    TTreeNode* Root = I->Add(nullptr, u"Root");
    std::vector<TTreeNode*> Nodes;
    for (int N = 0; N < 30; ++N)
        Nodes.push_back(I->AddChild(Root, u"Item " + IntToStr(N)));
    I->EndUpdate();
    Show();
    int Page = Tree->ClientHeight() / Tree->ItemHeight();
    ASSERT_GT(Page, 2);
    ASSERT_LT(Page, 31);
    EXPECT_EQ(Tree->Perform(TVM_GETVISIBLECOUNT, 0, 0), Page);
    using S = TCustomTreeView::TScrollState;
    // Everything fits: no range at all.
    EXPECT_EQ(Tree->ScrollState(1), (S{0, 0, 0, 0}));
    EXPECT_EQ(Tree->ScrollState(0), (S{0, 0, 0, 0}));
    Root->Expand(false);
    EXPECT_EQ(Tree->ScrollState(1), (S{0, 30, Page, 0}));
    // The window holds the same state, as the platform's calls read it.
    int Min = -1, Max = -1;
    EXPECT_TRUE(GetScrollRange(Tree->Handle(), SB_VERT, &Min, &Max));
    EXPECT_EQ(Max, 30);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), 0);
    Tree->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    EXPECT_EQ(Tree->TopItem(), Nodes[4]);
    EXPECT_EQ(Tree->ScrollState(1).Pos, 5);
    // Never past the last full page.
    Tree->Perform(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(Tree->ScrollState(1).Pos, 31 - Page);
    Tree->Perform(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
    EXPECT_EQ(Tree->ScrollState(1).Pos, 30 - Page);
    // Selecting scrolls the node into view.
    Tree->SetFocus();
    Keys({VK_HOME});
    EXPECT_EQ(Tree->ScrollState(1).Pos, 0);
    Keys({VK_END});
    EXPECT_EQ(Tree->TopItem(), Nodes[size_t(30 - Page)]);
    Tree->SetTopItem(Nodes[2]);
    EXPECT_EQ(Tree->ScrollState(1).Pos, 3);
    // A notch of the wheel towards the user scrolls three rows.
    TPoint Centre = uitest::CentreOf(Tree);
    InjectMouseMove(Centre.X, Centre.Y);
    InjectMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Tree->ScrollState(1).Pos, 6);
    // A label wider than the view: the horizontal range is the content's width, the page the view's.
    Nodes[3]->SetText(u"A label much too long for this narrow tree view, in 中文 too");
    S Horz = Tree->ScrollState(0);
    EXPECT_EQ(Horz.Max, Nodes[3]->DisplayRect(true).Right);
    EXPECT_EQ(Horz.Page, Tree->ClientWidth());
    Tree->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
    EXPECT_EQ(Tree->ScrollState(0).Pos, 30);
    EXPECT_EQ(Nodes[3]->DisplayRect(true).Left, 2 * 19 - 30);
    Root->Collapse(false);
    EXPECT_EQ(Tree->ScrollState(1), (S{0, 0, 0, 0}));
    EXPECT_EQ(Tree->ScrollState(0), (S{0, 0, 0, 0}));
}

TEST_F(TreeViewTest, LabelsAreEditedInPlace) {
    Build();
    Watch();
    Show();
    Tree->OnEditing = [this](TObject*, TTreeNode* N, bool& Allow) {
        Log.push_back("editing " + Name(N));
        Allow = N != C;
    };
    Tree->OnEdited = [this](TObject*, TTreeNode* N, String& S) {
        Log.push_back("edited " + Name(N));
        S += u"!";
    };
    ClickLabel(C);
    Keys({VK_F2});
    EXPECT_FALSE(Tree->IsEditing());
    ClickLabel(B);
    Take();
    Keys({VK_F2});
    ASSERT_TRUE(Tree->IsEditing());
    EXPECT_TRUE(Tree->EditControl()->Focused());
    // The whole text is selected: typing replaces it.
    InjectChar(u'新');
    InjectChar(u'X');
    Keys({VK_LEFT, VK_BACK, VK_RETURN});
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(B->Text(), u"X!");
    EXPECT_TRUE(Tree->Focused());
    // Escape keeps the old text; a click on the selected label edits once the double-click time passed.
    Wait(GetDoubleClickTime() + 1);
    ClickLabel(B);
    Wait(GetDoubleClickTime());
    ASSERT_TRUE(Tree->IsEditing());
    InjectChar(u'Y');
    Keys({VK_ESCAPE});
    EXPECT_EQ(B->Text(), u"X!");
    EXPECT_EQ(Take(), (std::vector<std::string>{"editing B", "edited B", "editing X!"}));
    // Leaving the editor keeps what was typed.
    B->EditText();
    InjectChar(u'Z');
    Pump();
    ClickLabel(A);
    EXPECT_EQ(B->Text(), u"Z!");
    EXPECT_EQ(Tree->Selected(), A);
}

} // namespace
