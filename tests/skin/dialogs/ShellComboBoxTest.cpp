#include "platform/shell/ShellTestTree.h"
#include "tests/support/UiFixture.h"

#include "platform/shell/ShellIcons.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

namespace {

class TTestShellCombo : public TbsSkinShellComboBox {
public:
    using TbsCustomShellComboBox::Click;
    using TbsSkinShellComboBox::TbsSkinShellComboBox;
};

class ShellComboBoxTest : public uitest::FormTest {
protected:
    ShellComboBoxTest() : uitest::FormTest(600, 400) {}
    void SetUp() override {
        uitest::FormTest::SetUp();
        TShellTestTree::MakeDir(Tree.Home + "/一/二/三");
        TShellTestTree::MakeDir(Tree.Home + "/other");
        Combo = new TTestShellCombo(Form.get());
        Combo->SetParent(Form.get());
        Combo->SetBounds(10, 10, 300, 22);
        Pump();
    }
    String Home(const std::string& Rest = {}) const { return UTF8ToString(Tree.Home + Rest); }
    std::vector<std::pair<String, int>> Entries() const {
        std::vector<std::pair<String, int>> V;
        for (int I = 0; I < Combo->ItemsEx()->Count(); ++I)
            V.emplace_back(Combo->ItemsEx()->Item(I)->Caption, Combo->ItemsEx()->Item(I)->Indent);
        return V;
    }
    // The leftmost column drawn on white.
    int LeftmostInk(int Index) {
        TBitmap B(200, 20);
        B.Canvas()->Brush()->SetColor(clWhite);
        B.Canvas()->FillRect(TRect(0, 0, 200, 20));
        Combo->DrawListItem(B.Canvas(), Index, 200, 20, TRect(0, 0, 200, 20), {});
        for (int X = 0; X < 200; ++X)
            for (int Y = 0; Y < 20; ++Y)
                if (B.Canvas()->Pixels(X, Y) != clWhite)
                    return X;
        return -1;
    }

    TShellTestTree Tree;
    TTestShellCombo* Combo = nullptr;
};

const std::vector<std::pair<String, int>> StandardEntries = {
    {u"Desktop", 0}, {u"Home", 1},    {u"Computer", 1}, {u"/", 2},      {u"USB STICK", 2},
    {u"disc", 2},    {u"my data", 2}, {u"nas", 2},      {u"backup", 2},
};

} // namespace

TEST_F(ShellComboBoxTest, ShowsTheDesktopItsChildrenAndTheDrivesIndented) {
    EXPECT_EQ(Entries(), StandardEntries);
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(Combo->Items()->Count(), Combo->ItemsEx()->Count());
    EXPECT_EQ(Combo->Items()->Strings(3), u"/");
    EXPECT_EQ(Combo->ItemsEx()->Item(2)->ImageIndex, int(siComputer));
    // 16-pixel icons: 8 pixels a level.
    EXPECT_EQ(Combo->ImageWidth(), 16);
    for (int I : {0, 1, 3})
        Combo->ItemsEx()->Item(I)->ImageIndex = siFolder;
    const int X0 = LeftmostInk(0);
    EXPECT_EQ(LeftmostInk(1) - X0, 8);
    EXPECT_EQ(LeftmostInk(3) - X0, 16);
    // Past the end: the last entry.
    EXPECT_EQ(Combo->GetFolder(99), Combo->ItemsEx()->Item(Combo->ItemsEx()->Count() - 1)->Data);
}

TEST_F(ShellComboBoxTest, AChainOfThreeFoldersIsInsertedAndRemovedAgain) {
    Combo->SetPath(Home("/一/二/三"));
    std::vector<std::pair<String, int>> Want = StandardEntries;
    Want.insert(Want.begin() + 2, {{u"一", 2}, {u"二", 3}, {u"三", 4}});
    EXPECT_EQ(Entries(), Want);
    EXPECT_EQ(Combo->ItemIndex(), 4);
    EXPECT_EQ(Combo->Path(), Home("/一/二/三"));
    EXPECT_EQ(Combo->Items()->Strings(4), u"三");

    Combo->SetPath(Home("/other"));
    Want = StandardEntries;
    Want.insert(Want.begin() + 2, {u"other", 2});
    EXPECT_EQ(Entries(), Want);
    Combo->SetPath(u"/");
    EXPECT_EQ(Entries(), StandardEntries);
    EXPECT_EQ(Combo->ItemIndex(), 3);
    EXPECT_THROW(Combo->SetPath(u"/no/such"), EInvalidPath);
}

TEST_F(ShellComboBoxTest, TheListAndTheComboFollowEachOther) {
    auto* List = new TbsSkinFileListView(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(10, 40, 500, 300);
    Pump();
    List->SetShellComboBox(Combo);
    EXPECT_EQ(Combo->ShellListView(), List);

    List->SetPath(Home("/一/二"));
    EXPECT_EQ(Combo->Path(), Home("/一/二"));
    EXPECT_EQ(Combo->Items()->Strings(Combo->ItemIndex()), u"二");

    // Choosing an entry moves the list; the list's move does not come back to the combo.
    int ListMoves = 0;
    List->OnPathChanged = [&](TObject*) { ++ListMoves; };
    const int Computer = Combo->Items()->IndexOf(u"Computer");
    Combo->SetItemIndex(Computer);
    EXPECT_EQ(List->Path(), Combo->Path());
    EXPECT_EQ(List->GetFolder(0)->DisplayName(), u"/");
    EXPECT_EQ(ListMoves, 1);
    EXPECT_EQ(Combo->ItemIndex(), Computer);

    // A click rebuilds the entries around the chosen one.
    Combo->SetItemIndex(1);
    Combo->Click();
    EXPECT_EQ(Entries(), StandardEntries);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(List->Path(), UTF8ToString(Tree.Home));

    // The list gone, the combo forgets it.
    delete List;
    EXPECT_EQ(Combo->ShellListView(), nullptr);
}

TEST_F(ShellComboBoxTest, MovingThroughTheOpenListMovesNoLink) {
    auto* List = new TbsSkinFileListView(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(10, 40, 500, 300);
    Pump();
    Combo->SetShellListView(List);
    const String Before = List->Path();
    Combo->ListBox()->SetBounds(0, 0, 300, 200);
    Combo->ListBox()->Show(Combo->ClientToScreen(TPoint(0, Combo->Height())));
    ASSERT_TRUE(Combo->IsPopupVisible());
    Combo->SetItemIndex(2);
    Combo->SetItemIndex(3);
    EXPECT_EQ(List->Path(), Before);
    Combo->ListBox()->Hide();
    Combo->SetItemIndex(3);
    EXPECT_EQ(List->Path(), u"/");
}

TEST_F(ShellComboBoxTest, ARootOfAPathListsNoDrives) {
    Combo->SetRoot(Home());
    EXPECT_EQ(Entries(), (std::vector<std::pair<String, int>>{{u"Home", 0}, {u"Desk", 1}, {u"other", 1}, {u"一", 1}}));
    // A root that names nothing keeps the old one.
    try {
        Combo->SetRoot(u"/no/such");
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), u"Error setting path: \"/no/such\"");
    }
    EXPECT_EQ(Combo->Root(), Home());
    EXPECT_EQ(Combo->ItemsEx()->Count(), 4);
}
