// Menus: short cut texts, accelerators, the item tree and its radio groups, commands, short cuts
// through key messages, merging of main menus, and the default popup window driven by injected input.
#include "platform/ui/Menus.h"
#include "UiTestFixture.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using MenusTest = UiTest;

// Adds an item with the caption under Parent; clicks append the caption to Log.
TMenuItem* AddItem(TMenuItem* Parent, const String& Caption, std::vector<String>* Log = nullptr) {
    auto* Item = new TMenuItem(nullptr);
    Item->SetCaption(Caption);
    if (Log)
        Item->OnClick = [Log, Item](TObject*) { Log->push_back(Item->Caption()); };
    Parent->Add(Item);
    return Item;
}

TMessage KeyMessage(Word Key, bool Alt = false) {
    return TMessage{Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, Key, Alt ? LPARAM(0x20000000) : 0, 0};
}

TEST(ShortCutText, NamesKeysWithTheirShiftPrefixesAndReadsThemBack) {
    struct Case {
        TShortCut Cut;
        const char16_t* Text;
    };
    const Case Cases[] = {
        {ShortCut('S', {ssCtrl}), u"Ctrl+S"},
        {ShortCut(VK_F1, {ssShift, ssCtrl}), u"Shift+Ctrl+F1"},
        {ShortCut(VK_RETURN, {ssAlt}), u"Alt+Enter"},
        {ShortCut(VK_DELETE, {}), u"Del"},
        {ShortCut(VK_F12, {ssShift, ssCtrl, ssAlt}), u"Shift+Ctrl+Alt+F12"},
        {ShortCut(VK_PRIOR, {}), u"PgUp"},
        {ShortCut(VK_OEM_PLUS, {ssCtrl}), u"Ctrl+="},
        {ShortCut(VK_NUMPAD0 + 5, {}), u"Num 5"},
        {ShortCut('7', {ssAlt}), u"Alt+7"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ShortCutToText(C.Cut), String(C.Text));
        EXPECT_EQ(TextToShortCut(C.Text), C.Cut) << std::string(C.Text, C.Text + 3);
    }
    // Letter case does not matter when reading, and the prefixes may come in any order.
    EXPECT_EQ(TextToShortCut(u"ctrl+shift+a"), ShortCut('A', {ssShift, ssCtrl}));
    // Texts that name no key, and keys without a name.
    for (const char16_t* Bad : {u"", u"Ctrl+", u"Ctrl", u"Ctrl+Foo", u"S+Ctrl", u"Hyper+A"})
        EXPECT_EQ(TextToShortCut(Bad), 0);
    EXPECT_EQ(ShortCutToText(scNone), u"");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_SHIFT, {ssCtrl})), u"");
    EXPECT_EQ(ShortCut(0x1234, {ssCtrl}), 0);
}

TEST(Accelerators, TheCharacterAfterASingleAmpersand) {
    struct Case {
        const char16_t* Caption;
        const char16_t* Hotkey;
        const char16_t* Stripped;
    };
    const Case Cases[] = {
        {u"&File", u"F", u"File"},
        {u"Save &As...", u"A", u"Save As..."},
        {u"Fish && Chips", u"", u"Fish & Chips"},
        {u"&&Co &Ltd", u"L", u"&Co Ltd"},
        {u"Trailing&", u"", u"Trailing"},
        {u"打开(&O)", u"O", u"打开(O)"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(GetHotkey(C.Caption), String(C.Hotkey));
        EXPECT_EQ(StripHotkey(C.Caption), String(C.Stripped));
    }
    EXPECT_TRUE(IsAccel('F', u"&File"));
    EXPECT_TRUE(IsAccel(u'f', u"&File"));
    EXPECT_TRUE(IsAccel('O', u"打开(&O)"));
    EXPECT_FALSE(IsAccel('I', u"&File"));
    EXPECT_FALSE(IsAccel('C', u"Fish && Chips"));
}

TEST_F(MenusTest, TheItemTreeInsertsMovesAndRejectsWhatCannotBeThere) {
    TPopupMenu Menu(nullptr);
    TMenuItem* Root = Menu.Items();
    TMenuItem* A = AddItem(Root, u"A");
    TMenuItem* B = AddItem(Root, u"B");
    TMenuItem* Sub = AddItem(B, u"B1");
    auto* C = new TMenuItem(nullptr);
    C->SetCaption(u"C");
    Root->Insert(1, C);
    EXPECT_EQ(Root->Count(), 3);
    EXPECT_EQ(Root->Items(1), C);
    EXPECT_EQ(C->Parent(), Root);
    EXPECT_EQ(Sub->GetParentMenu(), &Menu);
    EXPECT_EQ(Root->Find(u"b"), B);

    C->SetMenuIndex(0);
    EXPECT_EQ(Root->IndexOf(C), 0);
    EXPECT_EQ(A->MenuIndex(), 1);

    EXPECT_THROW(Root->Insert(0, A), EMenuError); // already in a menu
    EXPECT_THROW(Sub->Add(B), EMenuError);        // its own ancestor
    auto* Loose = new TMenuItem(nullptr);
    EXPECT_THROW(Root->Insert(9, Loose), EMenuError);
    EXPECT_THROW(Root->Items(3), EMenuError);
    EXPECT_THROW(Root->Remove(Loose), EMenuError);

    // Delete takes the item out without freeing it; freeing an item takes it out of its parent.
    Root->Delete(0);
    EXPECT_EQ(C->Parent(), nullptr);
    EXPECT_EQ(C->GetParentMenu(), nullptr);
    delete C;
    delete Sub;
    EXPECT_EQ(B->Count(), 0);
    delete Loose;
    Root->Clear();
    EXPECT_EQ(Root->Count(), 0);
}

TEST_F(MenusTest, CheckingARadioItemUnchecksItsGroupOnly) {
    TPopupMenu Menu(nullptr);
    TMenuItem* Root = Menu.Items();
    std::vector<TMenuItem*> Items;
    // Group 1: three radio items; group 2: one radio item; a plain checked item in group 1.
    for (int I = 0; I < 5; ++I) {
        Items.push_back(AddItem(Root, u"R" + IntToStr(I)));
        Items.back()->SetRadioItem(I < 4);
        Items.back()->SetGroupIndex(I == 3 ? 2 : 1);
        Items.back()->SetChecked(true);
    }
    auto Checked = [&] {
        std::string S;
        for (TMenuItem* Item : Items)
            S += Item->Checked() ? '1' : '0';
        return S;
    };
    EXPECT_EQ(Checked(), "00111");
    Items[0]->SetChecked(true);
    EXPECT_EQ(Checked(), "10011");
    // Moving an item into the group of a checked one unchecks the other.
    Items[3]->SetGroupIndex(1);
    EXPECT_EQ(Checked(), "00011");
}

TEST_F(MenusTest, CommandsAreUniqueAndDispatchClicksOnlyEnabledItems) {
    TPopupMenu Menu(nullptr);
    TPopupMenu Other(nullptr);
    std::vector<String> Log;
    TMenuItem* File = AddItem(Menu.Items(), u"File", &Log);
    TMenuItem* Open = AddItem(File, u"Open", &Log);
    TMenuItem* Gone = AddItem(File, u"Gone", &Log);
    TMenuItem* Elsewhere = AddItem(Other.Items(), u"Elsewhere", &Log);
    EXPECT_NE(File->Command(), Open->Command());
    EXPECT_NE(Open->Command(), Elsewhere->Command());

    EXPECT_TRUE(Menu.DispatchCommand(Open->Command()));
    EXPECT_FALSE(Menu.DispatchCommand(Elsewhere->Command()));
    Open->SetEnabled(false);
    EXPECT_TRUE(Menu.DispatchCommand(Open->Command())); // found, but a disabled item does not run
    Word GoneCommand = Gone->Command();
    delete Gone;
    EXPECT_FALSE(Menu.DispatchCommand(GoneCommand));
    EXPECT_EQ(Menu.FindItem(File->Command(), fkCommand), File);
    EXPECT_EQ(Log, std::vector<String>{u"Open"});
}

TEST_F(MenusTest, ShortCutsOfKeyMessagesClickEnabledItems) {
    TPopupMenu Menu(nullptr);
    std::vector<String> Log;
    TMenuItem* Edit = AddItem(Menu.Items(), u"Edit", &Log);
    AddItem(Edit, u"Copy", &Log)->SetShortCut(ShortCut('C', {ssCtrl}));
    AddItem(Edit, u"Find", &Log)->SetShortCut(ShortCut(VK_F3, {}));
    AddItem(Edit, u"Props", &Log)->SetShortCut(ShortCut(VK_RETURN, {ssAlt}));
    TMenuItem* Hidden = AddItem(Edit, u"Hidden", &Log);
    Hidden->SetShortCut(ShortCut(VK_F5, {}));
    Hidden->SetVisible(false);

    TWinControl Window(nullptr);
    Window.SetBounds(10, 10, 50, 50);
    SetFocus(Window.Handle());
    TMessage F3 = KeyMessage(VK_F3);
    EXPECT_TRUE(Menu.IsShortCut(F3));
    TMessage PlainC = KeyMessage('C');
    EXPECT_FALSE(Menu.IsShortCut(PlainC));
    InjectKey(VK_CONTROL, true);
    Pump();
    TMessage CtrlC = KeyMessage('C');
    EXPECT_TRUE(Menu.IsShortCut(CtrlC));
    InjectKey(VK_CONTROL, false);
    Pump();
    TMessage AltEnter = KeyMessage(VK_RETURN, true);
    EXPECT_TRUE(Menu.IsShortCut(AltEnter));
    TMessage F5 = KeyMessage(VK_F5); // a hidden item keeps its short cut
    EXPECT_TRUE(Menu.IsShortCut(F5));
    // A disabled parent switches its items' short cuts off.
    Edit->SetEnabled(false);
    EXPECT_FALSE(Menu.IsShortCut(F3));
    TMessage Up{WM_KEYUP, VK_F3, 0, 0};
    Edit->SetEnabled(true);
    EXPECT_FALSE(Menu.IsShortCut(Up));
    EXPECT_EQ(Log, (std::vector<String>{u"Find", u"Copy", u"Props", u"Hidden"}));
}

TEST_F(MenusTest, RethinkLinesHidesSeparatorsAtTheEdgesAndInRows) {
    struct Case {
        const char* Items; // "-" a separator, "x" a hidden item, any other letter an item
        const char* Shown; // the captions that stay visible
    };
    const Case Cases[] = {
        {"-a-b-", "a-b"}, {"a--b", "a-b"}, {"a-x-b", "a-b"}, {"a-x", "a"}, {"--", ""}, {"ab", "ab"}, {"a-b-c", "a-b-c"},
    };
    for (const Case& C : Cases) {
        TPopupMenu Menu(nullptr);
        for (const char* P = C.Items; *P; ++P) {
            TMenuItem* Item = AddItem(Menu.Items(), *P == '-' ? u"-" : String(1, Char(*P)));
            Item->SetVisible(*P != 'x');
        }
        Menu.Items()->RethinkLines();
        std::string Shown;
        for (int I = 0; I < Menu.Items()->Count(); ++I)
            if (Menu.Items()->Items(I)->Visible())
                Shown += char(Menu.Items()->Items(I)->Caption()[0]);
        EXPECT_EQ(Shown, C.Shown) << C.Items;
        // A line comes back when the items around it show again.
        EXPECT_FALSE(Menu.Items()->RethinkLines());
    }
    TPopupMenu Menu(nullptr);
    TMenuItem* A = AddItem(Menu.Items(), u"a");
    TMenuItem* Line = AddItem(Menu.Items(), u"-");
    TMenuItem* B = AddItem(Menu.Items(), u"b");
    B->SetVisible(false);
    EXPECT_TRUE(Menu.Items()->RethinkLines());
    EXPECT_FALSE(Line->Visible());
    B->SetVisible(true);
    EXPECT_TRUE(Menu.Items()->RethinkLines());
    EXPECT_TRUE(Line->Visible());
    EXPECT_TRUE(A->Visible());
}

struct TTop {
    const char16_t* Caption;
    Byte Group;
};

std::vector<String> Captions(const std::vector<TMenuItem*>& Items) {
    std::vector<String> Result;
    for (TMenuItem* Item : Items)
        Result.push_back(Item->Caption());
    return Result;
}

TEST_F(MenusTest, MergingReplacesGroupsAndOrdersTheRowByGroupIndex) {
    struct Case {
        const char* Name;
        std::vector<TTop> Main, Child;
        std::vector<String> Expected;
    };
    const Case Cases[] = {
        {"a child group replaces the main menu's group of the same index",
         {{u"File", 0}, {u"Edit", 1}, {u"Window", 5}, {u"Help", 9}},
         {{u"ChildEdit", 1}},
         {u"File", u"ChildEdit", u"Window", u"Help"}},
        {"new groups go in by their index; a group keeps its order",
         {{u"File", 0}, {u"Window", 5}, {u"Help", 9}},
         {{u"Table", 3}, {u"Format", 3}, {u"Tools", 7}},
         {u"File", u"Table", u"Format", u"Window", u"Tools", u"Help"}},
        {"every item of a replaced group goes",
         {{u"File", 0}, {u"Open", 0}, {u"Help", 9}},
         {{u"Doc", 0}},
         {u"Doc", u"Help"}},
        {"a merged item comes after the main menu's items of a lower or equal group left standing",
         {{u"A", 2}, {u"B", 4}},
         {{u"C", 10}, {u"D", 1}},
         {u"D", u"A", u"B", u"C"}},
    };
    for (const Case& C : Cases) {
        TMainMenu Main(nullptr), Child(nullptr);
        for (const TTop& T : C.Main)
            AddItem(Main.Items(), T.Caption)->SetGroupIndex(T.Group);
        for (const TTop& T : C.Child)
            AddItem(Child.Items(), T.Caption)->SetGroupIndex(T.Group);
        Main.Merge(&Child);
        EXPECT_EQ(Captions(Main.MergedItems()), C.Expected) << C.Name;
        Main.Unmerge(&Child);
        EXPECT_EQ(Main.MergedItems().size(), C.Main.size()) << C.Name;
    }
}

TEST_F(MenusTest, AMergedMenuTakesPartInCommandsAndShortCutsAndLeavesWhenFreed) {
    TMainMenu Main(nullptr);
    auto* Child = new TMainMenu(nullptr);
    std::vector<String> Log;
    int Changes = 0;
    Main.OnChange = [&](TObject*, TMenuItem*, bool Rebuild) { Changes += Rebuild; };
    TMenuItem* Edit = AddItem(Main.Items(), u"Edit", &Log);
    Edit->SetGroupIndex(1);
    AddItem(Edit, u"MainCopy", &Log)->SetShortCut(ShortCut(VK_F2, {}));
    AddItem(Main.Items(), u"Help", &Log)->SetGroupIndex(9);
    AddItem(Main.Items()->Items(1), u"About", &Log)->SetShortCut(ShortCut(VK_F1, {}));
    TMenuItem* ChildEdit = AddItem(Child->Items(), u"ChildEdit", &Log);
    ChildEdit->SetGroupIndex(1);
    TMenuItem* ChildCopy = AddItem(ChildEdit, u"ChildCopy", &Log);
    ChildCopy->SetShortCut(ShortCut(VK_F2, {}));

    Changes = 0;
    Main.Merge(Child);
    EXPECT_EQ(Changes, 1);
    TMessage F2 = KeyMessage(VK_F2), F1 = KeyMessage(VK_F1);
    EXPECT_TRUE(Main.IsShortCut(F2)); // the child's item: the main menu's Edit group is replaced
    EXPECT_TRUE(Main.IsShortCut(F1));
    EXPECT_TRUE(Main.DispatchCommand(ChildCopy->Command()));
    delete Child;
    EXPECT_EQ(Main.Merged(), nullptr);
    EXPECT_EQ(Changes, 2);
    EXPECT_TRUE(Main.IsShortCut(F2));
    EXPECT_EQ(Log, (std::vector<String>{u"ChildCopy", u"About", u"ChildCopy", u"MainCopy"}));
}

// ---- the default popup window ----

class PopupMenuTest : public MenusTest {
protected:
    void SetUp() override {
        MenusTest::SetUp();
        Focus = std::make_unique<TWinControl>(nullptr);
        Focus->SetBounds(0, 0, 300, 300);
        SetFocus(Focus->Handle());
        Menu = std::make_unique<TPopupMenu>(nullptr);
        Menu->OnPopup = [this](TObject*) { Log.push_back(u"popup"); };
        Menu->OnClose = [this](TObject*) { Log.push_back(u"close"); };
        Open = AddItem(Menu->Items(), u"&Open", &Log);
        Save = AddItem(Menu->Items(), u"&Save", &Log);
        Save->SetShortCut(ShortCut('S', {ssCtrl}));
        AddItem(Menu->Items(), u"-");
        Recent = AddItem(Menu->Items(), u"&Recent", &Log);
        First = AddItem(Recent, u"&First", &Log);
        AddItem(Recent, u"Second", &Log);
        Off = AddItem(Menu->Items(), u"O&ff", &Log);
        Off->SetEnabled(false);
    }
    void TearDown() override {
        Menu.reset();
        Focus.reset();
        MenusTest::TearDown();
    }
    // The screen centre of a row of an open level.
    TPoint RowCentre(TMenuPopupWindow* W, int Row) {
        TRect R = W->RowRect(Row);
        return W->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    void Click(TPoint P) {
        InjectClick(P.X, P.Y);
        Pump();
    }
    void Key(UINT Vk) {
        InjectKeyPress(Vk);
        Pump();
    }

    std::unique_ptr<TWinControl> Focus;
    std::unique_ptr<TPopupMenu> Menu;
    std::vector<String> Log;
    TMenuItem *Open, *Save, *Recent, *First, *Off;
};

TEST_F(PopupMenuTest, AClickedItemClosesTheMenuThenRuns) {
    Menu->Popup(100, 120);
    TMenuPopupWindow* W = Menu->PopupWindow();
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->Left(), 100);
    EXPECT_EQ(W->Top(), 120);
    EXPECT_EQ(W->Rows().size(), 5u);
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    // The menu does not take the focus away.
    EXPECT_EQ(GetFocus(), Focus->Handle());

    Click(RowCentre(W, 1));
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<String>{u"popup", u"close", u"&Save"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PopupMenuTest, DisabledItemsSeparatorsAndClicksOutsideRunNothing) {
    Menu->Popup(100, 100);
    TMenuPopupWindow* W = Menu->PopupWindow();
    Click(RowCentre(W, 4)); // disabled
    Click(RowCentre(W, 2)); // separator
    EXPECT_EQ(Menu->PopupWindow(), W);
    Click(TPoint{20, 20});
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<String>{u"popup", u"close"}));
}

TEST_F(PopupMenuTest, HoveringAnItemWithChildrenOpensItsLevelBesideIt) {
    Menu->Popup(100, 100);
    TMenuPopupWindow* W = Menu->PopupWindow();
    TPoint P = RowCentre(W, 3);
    InjectMouseMove(P.X, P.Y);
    Pump();
    TMenuPopupWindow* Sub = W->SubLevel();
    ASSERT_NE(Sub, nullptr);
    EXPECT_EQ(Sub->Item(), Recent);
    EXPECT_EQ(Sub->Left(), W->Left() + W->Width() - 3);
    EXPECT_EQ(Sub->Top(), W->Top() + W->RowRect(3).Top - 3);
    // Moving to another row of the first level closes it again.
    P = RowCentre(W, 0);
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_EQ(W->SubLevel(), nullptr);
    P = RowCentre(W, 3);
    InjectMouseMove(P.X, P.Y);
    Pump();
    Click(RowCentre(W->SubLevel(), 0));
    EXPECT_EQ(Log, (std::vector<String>{u"popup", u"close", u"&First"}));
}

TEST_F(PopupMenuTest, KeysOfTheFocusedWindowDriveTheMenu) {
    Menu->Popup(100, 100);
    TMenuPopupWindow* W = Menu->PopupWindow();
    Key(VK_DOWN);
    EXPECT_EQ(W->Selected(), 0);
    Key(VK_UP); // wraps to the last item
    EXPECT_EQ(W->Selected(), 4);
    Key(VK_UP);
    Key(VK_RIGHT);
    ASSERT_NE(W->SubLevel(), nullptr);
    EXPECT_EQ(W->SubLevel()->Selected(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(W->SubLevel(), nullptr);
    Key(VK_UP); // over the separator
    EXPECT_EQ(W->Selected(), 1);
    Key(VK_RETURN);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    // The focused window did not see the menu's keys.
    EXPECT_EQ(Log, (std::vector<String>{u"popup", u"close", u"&Save"}));

    Log.clear();
    Menu->Popup(100, 100);
    InjectChar(u'r'); // an accelerator with children opens its level with the first item selected
    Pump();
    InjectChar(u'f');
    Pump();
    Menu->Popup(100, 100);
    Key(VK_ESCAPE);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, (std::vector<String>{u"popup", u"close", u"&First", u"popup", u"close"}));
}

TEST_F(PopupMenuTest, TheWindowStaysInsideTheWorkArea) {
    RECT Work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    Menu->Popup(Work.Right - 5, Work.Bottom - 5);
    TMenuPopupWindow* W = Menu->PopupWindow();
    EXPECT_EQ(W->Left() + W->Width(), Work.Right - 5);
    EXPECT_EQ(W->Top() + W->Height(), Work.Bottom - 5);
    // A level that would pass the right edge opens on the left of its parent.
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_RIGHT);
    ASSERT_NE(W->SubLevel(), nullptr);
    EXPECT_EQ(W->SubLevel()->Left() + W->SubLevel()->Width(), W->Left() + 3);
}

TEST_F(PopupMenuTest, ChangingTheItemsWhileOpenClosesTheMenu) {
    Menu->Popup(100, 100);
    delete Save;
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    // An empty menu opens nothing, but its OnPopup runs.
    Menu->Items()->Clear();
    Log.clear();
    Menu->Popup(100, 100);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Log, std::vector<String>{u"popup"});
}

TEST_F(PopupMenuTest, AnItemMayFreeTheMenuInItsClick) {
    Open->OnClick = [this](TObject*) { Menu.reset(); };
    Menu->Popup(100, 100);
    Click(RowCentre(Menu->PopupWindow(), 0));
    EXPECT_EQ(Menu, nullptr);
}

} // namespace
