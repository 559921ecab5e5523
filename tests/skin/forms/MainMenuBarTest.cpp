// The skinned menu bar: keyboard menu mode (Alt, arrows with wrap-around, Enter and Down, accelerators), items
// run or opened by the mouse, the marker of the items that do not fit, greyed items, short cuts, the pressed
// look, and a maximized MDI child's buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class MainMenuBarTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Form->SetBounds(100, 100, 400, 200);
        Menu = new TbsSkinMainMenu(Form.get());
        File = Add(Menu->Items(), u"N1", u"&File");
        Add(File, u"N11", u"&Open");
        Add(File, u"N12", u"E&xit");
        Edit = Add(Menu->Items(), u"N2", u"&Edit");
        Add(Edit, u"N21", u"&Copy");
        Add(Edit, u"N22", u"&Paste");
        About = Add(Menu->Items(), u"N3", u"&About");
        Bar = new TbsSkinMainMenuBar(Form.get());
        Bar->SetParent(Form.get());
        Bar->SetSkinForm(Skin);
        Skin->SetMainMenuBar(Bar);
        Bar->SetMainMenu(Menu);
        Skin->OnMainMenuEnter = [this](TObject*) { Log.push_back("menu mode"); };
        Skin->OnMainMenuExit = [this](TObject*) { Log.push_back("menu mode ends"); };
        Skin->OnSkinMenuOpen = [this](TObject*) { Log.push_back("menu opens"); };
        Skin->OnSkinMenuClose = [this](TObject*) { Log.push_back("menu closes"); };
        Bar->OnItemMouseEnter = [this](TMenuItem* I) {
            Log.push_back("enter " + UTF8Encode(StripHotkey(I->Caption())));
        };
        Bar->OnItemMouseLeave = [this](TMenuItem* I) {
            Log.push_back("leave " + UTF8Encode(StripHotkey(I->Caption())));
        };
        Form->SetFocus();
        Pump();
        Bar->Repaint();
        Pump();
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Name, const String& Caption) {
        auto* Item = new TMenuItem(Form.get());
        Item->SetName(Name);
        Item->SetCaption(Caption);
        Item->OnClick = [this, Caption](TObject*) { Log.push_back("click " + UTF8Encode(StripHotkey(Caption))); };
        Parent->Add(Item);
        return Item;
    }
    // Keys go through the application's loop, where an open menu takes them.
    void Press(UINT Vk, UINT Modifier = 0) {
        if (Modifier)
            InjectKey(Modifier, true);
        InjectKeyPress(Vk);
        if (Modifier)
            InjectKey(Modifier, false);
        Application->ProcessMessages();
    }
    TbsSkinMainMenuBarItem* Item(TMenuItem* MI) { return Bar->ItemOf(MI); }
    TPoint ItemPoint(TMenuItem* MI) {
        const TRect& R = Item(MI)->ObjectRect;
        return Bar->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    void ClickOn(const TPoint& P) {
        InjectMouseMove(P.X, P.Y);
        Application->ProcessMessages();
        InjectMouseButton(0, true);
        InjectMouseButton(0, false);
        Application->ProcessMessages();
    }
    void MoveTo(const TPoint& P) {
        InjectMouseMove(P.X, P.Y);
        Application->ProcessMessages();
        Wait(50); // the bar's cursor poll
        Application->ProcessMessages();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    TbsSkinMenu* Stack() { return Skin->SkinMenu(); }
    // The opened submenu's rows.
    std::vector<std::string> OpenRows() {
        std::vector<std::string> Rows;
        if (Stack()->LevelCount() > 0)
            for (int I = 0; I < Stack()->Levels(0)->ItemCount(); ++I)
                Rows.push_back(UTF8Encode(Stack()->Levels(0)->Items(I)->MenuItem->Caption()));
        return Rows;
    }

    TbsSkinMainMenu* Menu = nullptr;
    TbsSkinMainMenuBar* Bar = nullptr;
    TMenuItem *File = nullptr, *Edit = nullptr, *About = nullptr;
    std::vector<std::string> Log;
};

TEST_F(MainMenuBarTest, TheWalkAltRightDownEnterRunsTheFirstRowOfTheSecondMenu) {
    Press(VK_MENU);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    ASSERT_EQ(OpenRows(), (std::vector<std::string>{"&Copy", "&Paste"}));
    EXPECT_EQ(Stack()->Levels(0)->ActiveItem, 0);
    Press(VK_RETURN);
    EXPECT_EQ(Take(), (std::vector<std::string>{"enter File", "menu mode", "leave File", "enter Edit", "menu opens",
                                                "menu closes", "menu mode ends", "click Copy"}));
    EXPECT_FALSE(Skin->InMainMenu);
    EXPECT_FALSE(Skin->InMenu);
    EXPECT_FALSE(Bar->MenuActive);
    EXPECT_FALSE(Item(Edit)->FDown);
    EXPECT_FALSE(Item(Edit)->Active);
}

TEST_F(MainMenuBarTest, ArrowsWrapAroundTheBarAndEscapeLeavesMenuMode) {
    struct Step {
        UINT Key;
        TMenuItem* Highlighted;
    };
    Press(VK_MENU);
    EXPECT_TRUE(Skin->InMainMenu);
    EXPECT_TRUE(Item(File)->Active);
    const Step Steps[] = {{VK_LEFT, About}, {VK_LEFT, Edit}, {VK_RIGHT, About}, {VK_RIGHT, File}};
    for (const Step& S : Steps) {
        Press(S.Key);
        for (TMenuItem* MI : {File, Edit, About})
            EXPECT_EQ(Item(MI)->Active, MI == S.Highlighted) << UTF8Encode(MI->Caption()) << " after key " << S.Key;
    }
    EXPECT_FALSE(Stack()->Visible());
    Press(VK_ESCAPE);
    EXPECT_FALSE(Skin->InMainMenu);
    EXPECT_FALSE(Item(File)->Active);
    // F10 enters as Alt does, and Alt again leaves.
    Press(VK_F10);
    EXPECT_TRUE(Skin->InMainMenu);
    Press(VK_MENU);
    EXPECT_FALSE(Skin->InMainMenu);
}

// Menu mode without an open submenu ends on a click elsewhere on the form, as on Escape.
TEST_F(MainMenuBarTest, AClickOnTheFormLeavesMenuMode) {
    Press(VK_MENU);
    ASSERT_TRUE(Skin->InMainMenu);
    Take();
    const TPoint P = Form->ClientToScreen(TPoint{150, 100});
    InjectClick(P.X, P.Y);
    Application->ProcessMessages();
    EXPECT_EQ(Take(), (std::vector<std::string>{"menu mode ends"}));
    EXPECT_FALSE(Skin->InMainMenu);
    EXPECT_FALSE(Bar->MenuActive);
    EXPECT_FALSE(Item(File)->Active);
    // The keys are the application's again.
    Press(VK_RIGHT);
    EXPECT_FALSE(Item(Edit)->Active);
}

TEST_F(MainMenuBarTest, WithASubmenuOpenTheArrowsOpenTheNeighboursAndEscapeStepsBack) {
    Press(VK_MENU);
    Press(VK_RETURN);
    ASSERT_EQ(OpenRows(), (std::vector<std::string>{"&Open", "E&xit"}));
    Press(VK_RIGHT);
    EXPECT_EQ(OpenRows(), (std::vector<std::string>{"&Copy", "&Paste"}));
    EXPECT_TRUE(Item(Edit)->FDown);
    EXPECT_FALSE(Item(File)->FDown);
    Press(VK_LEFT);
    EXPECT_EQ(OpenRows(), (std::vector<std::string>{"&Open", "E&xit"}));
    // Escape closes the submenu and keeps the highlight; a second one leaves menu mode.
    Press(VK_ESCAPE);
    EXPECT_FALSE(Stack()->Visible());
    EXPECT_TRUE(Skin->InMainMenu);
    EXPECT_TRUE(Item(File)->Active);
    EXPECT_FALSE(Item(File)->FDown);
    Press(VK_ESCAPE);
    EXPECT_FALSE(Skin->InMainMenu);
}

TEST_F(MainMenuBarTest, TheBarAndTheMenuWindowShowTheHintsOfTheirHighlightedItems) {
    File->SetHint(u"Files");
    File->Items(1)->SetHint(u"Leaves the program");
    Press(VK_MENU);
    EXPECT_EQ(Bar->Hint(), u"Files");
    Press(VK_RETURN);
    ASSERT_EQ(Stack()->LevelCount(), 1);
    Stack()->Levels(0)->PopupKeyDown(VK_DOWN);
    EXPECT_EQ(Stack()->Levels(0)->Hint(), u"Leaves the program");
    Stack()->Levels(0)->PopupKeyDown(VK_UP);
    EXPECT_EQ(Stack()->Levels(0)->Hint(), u"");
}

TEST_F(MainMenuBarTest, AltWithAnAcceleratorOpensItsItemOrRunsALeaf) {
    Press('E', VK_MENU);
    EXPECT_EQ(OpenRows(), (std::vector<std::string>{"&Copy", "&Paste"}));
    EXPECT_TRUE(Skin->InMainMenu);
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
    Take();
    Press('A', VK_MENU);
    EXPECT_EQ(Take(), (std::vector<std::string>{"enter About", "click About"}));
    EXPECT_FALSE(Skin->InMainMenu);
}

TEST_F(MainMenuBarTest, ALeafRunsOnTheFirstClickAndMovingAlongOpensTheNextSubmenu) {
    ClickOn(ItemPoint(File));
    ASSERT_EQ(OpenRows(), (std::vector<std::string>{"&Open", "E&xit"}));
    EXPECT_TRUE(Skin->InMainMenu);
    EXPECT_TRUE(Item(File)->FDown);
    MoveTo(ItemPoint(Edit));
    EXPECT_EQ(OpenRows(), (std::vector<std::string>{"&Copy", "&Paste"}));
    EXPECT_FALSE(Item(File)->FDown);
    EXPECT_TRUE(Item(Edit)->FDown);
    // A submenu opens below its item.
    RECT W;
    GetWindowRect(Stack()->Levels(0)->Handle(), &W);
    const TRect ItemOnScreen = Item(Edit)->ObjectRect;
    EXPECT_EQ(W.Left, Bar->ClientToScreen(TPoint{ItemOnScreen.Left, 0}).X);
    EXPECT_EQ(W.Top, Bar->ClientToScreen(TPoint{0, ItemOnScreen.Bottom}).Y);
    Take();
    ClickOn(ItemPoint(About));
    EXPECT_EQ(Take(), (std::vector<std::string>{"menu closes", "menu mode ends", "enter About", "click About"}));
    EXPECT_FALSE(Stack()->Visible());
    EXPECT_FALSE(Skin->InMainMenu);
}

TEST_F(MainMenuBarTest, ADisabledItemIsGreyedAndDoesNothing) {
    About->SetEnabled(false);
    Bar->UpDateEnabledItems();
    Pump();
    EXPECT_FALSE(Item(About)->Enabled);
    ClickOn(ItemPoint(About));
    EXPECT_EQ(Take(), std::vector<std::string>{});
    // Grey caption pixels and none in the text colour.
    const TRect R = Item(About)->ObjectRect;
    int Grey = 0, Black = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X) {
            const TPoint P = Bar->ClientToScreen(TPoint{X, Y});
            const COLORREF C = ScreenPixel(P.X, P.Y);
            Grey += C == ColorToRGB(clBtnShadow);
            Black += C == ColorToRGB(clBtnText);
        }
    EXPECT_GT(Grey, 5);
    EXPECT_EQ(Black, 0);
}

TEST_F(MainMenuBarTest, AnItemsShortCutRunsIt) {
    Add(File, u"N13", u"&Help")->SetShortCut(TextToShortCut(u"F1"));
    Take();
    Press(VK_F1);
    EXPECT_EQ(Take(), std::vector<std::string>{"click Help"});
    Press(VK_F1);
    EXPECT_EQ(Take(), std::vector<std::string>{"click Help"}) << "a second press runs it again";
}

TEST_F(MainMenuBarTest, TheMarkerOpensTheItemsThatDoNotFit) {
    Bar->SetAlign(alNone);
    Bar->SetBounds(0, 0, 90, 22);
    Bar->Repaint();
    Pump();
    EXPECT_TRUE(Bar->Scroll);
    EXPECT_TRUE(Item(File)->Visible);
    EXPECT_FALSE(Item(About)->Visible);
    EXPECT_FALSE(Item(About)->Enabled) << "disabled while it does not fit";
    const int Fit = Item(Edit)->Visible ? 2 : 1;
    const TRect M = Bar->GetMarkerRect();
    EXPECT_EQ(M.Right, 88);
    ClickOn(Bar->ClientToScreen(TPoint{M.Left + 2, (M.Top + M.Bottom) / 2}));
    std::vector<std::string> Hidden;
    for (TMenuItem* MI : {File, Edit, About})
        if (MI->MenuIndex() >= Fit)
            Hidden.push_back(UTF8Encode(MI->Caption()));
    EXPECT_EQ(OpenRows(), Hidden);
    Stack()->Hide();
    // Wide enough again, the item comes back with its own state.
    Bar->SetBounds(0, 0, 400, 22);
    Bar->Repaint();
    Pump();
    EXPECT_TRUE(Item(About)->Visible);
    EXPECT_TRUE(Item(About)->Enabled);
    EXPECT_FALSE(Bar->Scroll);
}

TEST_F(MainMenuBarTest, APressedItemShowsTheDarkerFillWithItsCaptionMovedByAPixel) {
    const TRect R = Item(File)->ObjectRect;
    auto Pixel = [&](int X, int Y) {
        const TPoint P = Bar->ClientToScreen(TPoint{X, Y});
        return ScreenPixel(P.X, P.Y);
    };
    auto CaptionLeft = [&] {
        for (int X = R.Left + 1; X < R.Right - 1; ++X)
            for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y)
                if (Pixel(X, Y) == ColorToRGB(clBtnText))
                    return X;
        return -1;
    };
    const int Normal = CaptionLeft();
    EXPECT_EQ(Pixel(R.Left + 1, R.Top + 1), ColorToRGB(clBtnFace));
    ClickOn(ItemPoint(File));
    Pump();
    EXPECT_EQ(Pixel(R.Left, R.Top), ColorToRGB(clNavy));
    EXPECT_EQ(Pixel(R.Left + 1, R.Top + 1), COLORREF(RGB(133, 147, 181)));
    EXPECT_EQ(CaptionLeft(), Normal + 1);
    Stack()->Hide();
}

TEST_F(MainMenuBarTest, AMergedMenuTakesThePlaceOfTheSameGroupsInGroupOrder) {
    File->SetGroupIndex(0);
    Edit->SetGroupIndex(1);
    About->SetGroupIndex(5);
    auto* Child = new TMainMenu(Form.get());
    Add(Child->Items(), u"C1", u"&Window")->SetGroupIndex(3);
    Add(Child->Items(), u"C2", u"Edit &here")->SetGroupIndex(1);
    auto Captions = [&] {
        std::vector<std::string> L;
        for (int I = 0; I < Bar->ObjectCount(); ++I)
            L.push_back(UTF8Encode(static_cast<TbsSkinMainMenuBarItem*>(Bar->Objects(I))->MenuItem->Caption()));
        return L;
    };
    Bar->Merge(Child);
    EXPECT_TRUE(Bar->ChildMenuIn);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"&File", "Edit &here", "&Window", "&About"}));
    EXPECT_FALSE(Bar->ScrollMenu()) << "a bar showing a child's menu has no marker";
    Bar->UnMerge();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"&File", "&Edit", "&About"}));
}

TEST_F(MainMenuBarTest, InASkinAPressedItemShowsTheDownImageAndTheDownFontColour) {
    TbsCompressedSkinList List(nullptr);
    auto* Stored = static_cast<TbsSkinListItem*>(List.Skins()->Add());
    TMemoryStream Bytes;
    Bytes.WriteBuffer(StoredSkin(0).Data, static_cast<std::int64_t>(StoredSkin(0).Size));
    Stored->Skin()->LoadFromCompressStream(&Bytes);
    auto* SD = new TbsSkinData(Form.get());
    SD->SetSkinList(&List);
    SD->SetSkinIndex(0);
    Skin->SetSkinData(SD);
    Bar->SetSkinData(SD);
    Pump();
    TbsSkinMainMenuBarItem* I = Item(File);
    ASSERT_TRUE(I->FSkinSupport);
    ASSERT_NE(I->Picture, nullptr);
    ClickOn(ItemPoint(File));
    Pump();
    ASSERT_TRUE(I->FDown);
    const TRect R = I->ObjectRect;
    auto Pixel = [&](int X, int Y) {
        const TPoint P = Bar->ClientToScreen(TPoint{R.Left + X, R.Top + Y});
        return ScreenPixel(P.X, P.Y);
    };
    const int Mid = (R.Bottom - R.Top) / 2;
    EXPECT_EQ(Pixel(1, Mid), ColorToRGB(I->Picture->Canvas()->Pixels(I->DownRect.Left + 1, I->DownRect.Top + Mid)))
        << "the fixed left part of the down image";
    int Down = 0;
    for (int Y = 0; Y < R.Bottom - R.Top; ++Y)
        for (int X = 0; X < R.Right - R.Left; ++X)
            Down += Pixel(X, Y) == ColorToRGB(I->DownFontColor);
    EXPECT_GT(Down, 5) << "caption pixels in the down font colour";
    Stack()->Hide();
    Skin->SetSkinData(nullptr);
    Bar->SetSkinData(nullptr);
    SD->SetSkinList(nullptr);
}

// ---------------------------------------------------------------------------------------------
// A maximized MDI child's buttons

class MenuBarMDITest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetBounds(100, 100, 500, 300);
        MainSkin = new TbsSkinForm(Main);
        Menu = new TbsSkinMainMenu(Main);
        auto* File = new TMenuItem(Main);
        File->SetCaption(u"&File");
        Menu->Items()->Add(File);
        Bar = new TbsSkinMainMenuBar(Main);
        Bar->SetParent(Main);
        Bar->SetSkinForm(MainSkin);
        MainSkin->SetMainMenuBar(Bar);
        Bar->SetMainMenu(Menu);
        Main->Show();
        Pump();
        Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->SetCaption(u"Child");
        Child->SetBounds(10, 10, 200, 150);
        ChildSkin = new TbsSkinForm(Child);
        Child->AfterConstruction();
        Pump();
        ChildSkin->SetWindowState(wsMaximized);
        Pump();
        Bar->Repaint();
        Pump();
    }
    TbsSkinMainMenuBarButton* Button(int I) { return static_cast<TbsSkinMainMenuBarButton*>(Bar->Objects(I)); }
    TPoint Centre(int I) {
        const TRect& R = Bar->Objects(I)->ObjectRect;
        return Bar->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    void Click(const TPoint& P) {
        InjectMouseMove(P.X, P.Y);
        Application->ProcessMessages();
        Wait(50);
        InjectMouseButton(0, true);
        Application->ProcessMessages();
        InjectMouseButton(0, false);
        Application->ProcessMessages();
    }
    TForm* Main = nullptr;
    TForm* Child = nullptr;
    TbsSkinForm* MainSkin = nullptr;
    TbsSkinForm* ChildSkin = nullptr;
    TbsSkinMainMenu* Menu = nullptr;
    TbsSkinMainMenuBar* Bar = nullptr;
};

TEST_F(MenuBarMDITest, TheSystemButtonSitsLeftAndCloseMaximizeMinimizeRight) {
    ASSERT_TRUE(Bar->FMDIChildMax);
    ASSERT_EQ(Bar->ButtonsCount, 4);
    const TbsStdCommand Order[] = {cmSysMenu, cmClose, cmMaximize, cmMinimize};
    for (int I = 0; I < 4; ++I)
        EXPECT_EQ(Button(I)->Command, Order[I]);
    // A square as high as the items' row (2..20) at each end, 2 pixels apart.
    const int W = Bar->Width();
    EXPECT_EQ(Button(0)->ObjectRect, Rect(2, 2, 20, 20));
    EXPECT_EQ(Button(1)->ObjectRect, Rect(W - 20, 2, W - 2, 20));
    EXPECT_EQ(Button(2)->ObjectRect, Rect(W - 40, 2, W - 22, 20));
    EXPECT_EQ(Button(3)->ObjectRect, Rect(W - 60, 2, W - 42, 20));
    EXPECT_EQ(Bar->Objects(4)->ObjectRect.Left, 22) << "the first item after the system button";
}

TEST_F(MenuBarMDITest, TheSystemButtonStaysPressedUntilItsMenuClosesAndMaximizeRestores) {
    Click(Centre(0));
    EXPECT_TRUE(Button(0)->FDown);
    ASSERT_TRUE(MainSkin->SkinMenu()->Visible());
    MainSkin->SkinMenu()->Hide(); // tells the bar with 1228
    EXPECT_FALSE(Button(0)->FDown);

    Click(Centre(2));
    EXPECT_EQ(ChildSkin->WindowState(), wsNormal);
    Pump();
    EXPECT_FALSE(Bar->FMDIChildMax);
    EXPECT_EQ(Bar->ButtonsCount, 0);
}

TEST_F(MenuBarMDITest, ADoubleClickOnTheSystemButtonClosesTheChild) {
    bool Closed = false;
    Child->OnClose = [&](TObject*, TCloseAction& Action) {
        Closed = true;
        Action = caNone;
    };
    const TPoint P = Centre(0);
    InjectMouseMove(P.X, P.Y);
    Application->ProcessMessages();
    InjectClick(P.X, P.Y);
    Application->ProcessMessages();
    InjectClick(P.X, P.Y);
    Application->ProcessMessages();
    EXPECT_TRUE(Closed);
    EXPECT_FALSE(MainSkin->SkinMenu()->Visible());
}

} // namespace
} // namespace formtest
