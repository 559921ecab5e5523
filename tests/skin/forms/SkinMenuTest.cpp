// Skinned popup menus: opening, nesting, commands and their notices, the messages that close a menu, the choice
// of skin, the window's size, placement, scrolling and keys, and the rows' highlight and morph.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class SkinMenuTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Menu = new TbsSkinPopupMenu(Form.get());
        Ctrl = new uitest::TTestButton(Form.get());
        Ctrl->SetParent(Form.get());
        Pump();
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Caption, std::vector<std::string>* Clicks = nullptr) {
        auto* Item = new TMenuItem(Form.get());
        Item->SetCaption(Caption);
        if (Clicks)
            Item->OnClick = [Clicks, Caption](TObject*) { Clicks->push_back("click " + UTF8Encode(Caption)); };
        Parent->Add(Item);
        return Item;
    }
    void AddRows(int N) {
        for (int I = 0; I < N; ++I)
            Add(Menu->Items(), u"Row " + IntToStr(I));
    }
    // An empty skin: the default look, and skin data for the variants that need it.
    void GiveEmptySkin() { Skin->SetSkinData(new TbsSkinData(Form.get())); }
    TbsSkinMenu* Stack() { return Skin->SkinMenu(); }
    TbsSkinPopupWindow* Level(int I) { return Stack()->Levels(I); }
    TRect WindowRect(TbsSkinPopupWindow* W) {
        RECT R;
        GetWindowRect(W->Handle(), &R);
        return R;
    }
    // The screen point in the middle of a row of a level.
    TPoint RowPoint(TbsSkinPopupWindow* W, int Row) {
        TRect R = W->Items(Row)->ObjectRect;
        TRect WR = WindowRect(W);
        return TPoint{WR.Left + (R.Left + R.Right) / 2, WR.Top + (R.Top + R.Bottom) / 2};
    }
    void MoveTo(const TPoint& P) {
        InjectMouseMove(P.X, P.Y);
        Pump();
        Wait(50); // the window's cursor poll
    }

    TbsSkinPopupMenu* Menu = nullptr;
    uitest::TTestButton* Ctrl = nullptr;
};

TEST_F(SkinMenuTest, ExactlyTheseMessagesCloseAMenu) {
    std::vector<UINT> Closing;
    for (UINT Msg = 0; Msg < 0x400; ++Msg)
        if (IsMenuCloseMessage(Msg))
            Closing.push_back(Msg);
    EXPECT_EQ(Closing, (std::vector<UINT>{3, 5, 6, 8, 31, 33, 161, 164, 167, 513, 516, 519, 528}));
}

TEST_F(SkinMenuTest, ALeafClickClosesTheMenuThenRunsTheCommandThenTellsTheControl) {
    uitest::TRecorder Log;
    Log.Watch(Ctrl, "ctrl", {WM_SKINMENUCLOSED, WM_SKINMENUCOMMAND});
    Log.Watch(Form.get(), "form", {WM_SKINMENUCLOSED});
    Add(Menu->Items(), u"One");
    TMenuItem* Two = Add(Menu->Items(), u"Two");
    Two->OnClick = [&](TObject*) { Log.Log.push_back("click, levels " + std::to_string(Stack()->LevelCount())); };
    GiveEmptySkin();
    Menu->Popup2(Ctrl, 300, 300);
    ASSERT_EQ(Stack()->LevelCount(), 1);
    EXPECT_EQ(WindowRect(Level(0)).Left, 300);
    EXPECT_EQ(WindowRect(Level(0)).Top, 300);
    EXPECT_TRUE(Skin->InMenu);
    TPoint P = RowPoint(Level(0), 1);
    MoveTo(P);
    InjectMouseButton(0, true);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log.Take(), (std::vector<std::string>{"ctrl:1228", "form:1228", "click, levels 0", "ctrl:1229"}));
    EXPECT_FALSE(Stack()->Visible());
    EXPECT_FALSE(Skin->InMenu);
}

TEST_F(SkinMenuTest, ASubmenuOpensAfterItsDelayUnlessTheMouseMovesOn) {
    TMenuItem* Sub = Add(Menu->Items(), u"Sub");
    Add(Sub, u"Inner 1");
    Add(Sub, u"Inner 2");
    Add(Menu->Items(), u"Leaf");
    Menu->Popup(300, 300);
    ASSERT_EQ(Stack()->LevelCount(), 1);
    EXPECT_EQ(Level(0)->ActiveItem, 0) << "the first row is highlighted at opening";
    MoveTo(RowPoint(Level(0), 0));
    Wait(400);
    EXPECT_EQ(Stack()->LevelCount(), 1);
    Wait(100);
    ASSERT_EQ(Stack()->LevelCount(), 2);
    EXPECT_TRUE(Level(0)->Items(0)->Down);
    // The submenu's first row lines up with the row that opened it, right beside the window.
    EXPECT_EQ(WindowRect(Level(1)).Top, WindowRect(Level(0)).Top);
    EXPECT_EQ(WindowRect(Level(1)).Left, WindowRect(Level(0)).Left + Level(0)->Items(0)->ObjectRect.Right + 1);

    Stack()->CloseLevels(1);
    Level(0)->Items(0)->Down = false;
    MoveTo(RowPoint(Level(0), 1));
    MoveTo(RowPoint(Level(0), 0));
    Wait(300);
    MoveTo(RowPoint(Level(0), 1)); // the wait is cancelled by the leaf
    Wait(600);
    EXPECT_EQ(Stack()->LevelCount(), 1);
}

TEST_F(SkinMenuTest, ASecondPopupClosesTheFirstAndDoesNotFadeIn) {
    AddRows(2);
    Skin->SetMenusAlphaBlend(true);
    Skin->SetMenusAlphaBlendValue(200);
    Skin->SetMenusAlphaBlendAnimation(true);
    uitest::TRecorder Log;
    Log.Watch(Ctrl, "ctrl", {WM_SKINMENUCLOSED});
    GiveEmptySkin();
    Menu->Popup2(Ctrl, 300, 300);
    TbsSkinPopupMenu Second(Form.get());
    Add(Second.Items(), u"Other");
    Second.Popup(500, 500);
    EXPECT_EQ(Log.Take(), (std::vector<std::string>{"ctrl:1228"}));
    ASSERT_EQ(Stack()->LevelCount(), 1);
    BYTE Alpha = 0;
    GetLayeredWindowAttributes(Level(0)->Handle(), nullptr, &Alpha, nullptr);
    EXPECT_EQ(Alpha, 200);
    EXPECT_EQ(WindowRect(Level(0)).Left, 500);
}

TEST_F(SkinMenuTest, TheSkinForMenusAndTheFormFoundThroughTheOwnersOwner) {
    AddRows(1);
    TbsSkinData A(Form.get()), B(Form.get());
    Skin->SetSkinData(&A);
    Skin->SetMenusSkinData(&B);
    Menu->Popup(300, 300);
    EXPECT_EQ(Menu->SkinData(), &B);
    EXPECT_EQ(Stack()->SkinData, &B);
    Stack()->Hide();
    Skin->SetMenusSkinData(nullptr);
    Menu->Popup(300, 300);
    EXPECT_EQ(Menu->SkinData(), &B) << "once chosen the skin stays";
    Stack()->Hide();

    // A menu owned by a component of the form (a frame) finds the form's component.
    auto* Frame = new TComponent(Form.get());
    auto* Owned = new TbsSkinPopupMenu(Frame);
    Add(Owned->Items(), u"Framed");
    Owned->Popup(320, 320);
    EXPECT_EQ(Stack()->LevelCount(), 1);
    Stack()->Hide();
}

TEST_F(SkinMenuTest, WithoutSkinDataPopup2ShowsNothingWhilePopupShowsTheDefaultLook) {
    AddRows(2);
    Menu->Popup2(Ctrl, 300, 300);
    EXPECT_EQ(Stack()->LevelCount(), 0);
    EXPECT_FALSE(Skin->InMenu);
    Menu->Popup(300, 300);
    ASSERT_EQ(Stack()->LevelCount(), 1);
    EXPECT_FALSE(Level(0)->Skinned());
}

TEST_F(SkinMenuTest, AClickOnTheFormOrMovingItClosesTheMenu) {
    AddRows(2);
    Watched = {WM_SKINMENUCLOSED};
    for (UINT Msg : {UINT(WM_LBUTTONDOWN), UINT(WM_MOVE)}) {
        Reached.clear();
        Menu->Popup(300, 300);
        ASSERT_TRUE(Stack()->Visible());
        SendMessageW(Form->Handle(), Msg, 0, MAKELPARAM(10, 10));
        EXPECT_FALSE(Stack()->Visible()) << Msg;
        EXPECT_EQ(CountReached(WM_SKINMENUCLOSED), 1) << Msg;
        EXPECT_FALSE(Skin->InMenu);
    }
}

TEST_F(SkinMenuTest, AnItemLimitMakesAScrollingWindowAndTheKeysWrap) {
    AddRows(8);
    Skin->SetMaxMenuItemsInWindow(5);
    Menu->Popup(300, 300);
    TbsSkinPopupWindow* W = Level(0);
    EXPECT_EQ(W->Height(), 5 * 20 + 4 + 20);
    EXPECT_TRUE(W->Scroll);
    EXPECT_EQ(W->VisibleCount, 5);
    EXPECT_EQ(W->ActiveItem, 0);
    W->PopupKeyDown(VK_UP);
    EXPECT_EQ(W->ActiveItem, 7);
    EXPECT_EQ(W->VisibleStartIndex, 3) << "the last page shows";
    W->PopupKeyDown(VK_DOWN);
    EXPECT_EQ(W->ActiveItem, 0);
    EXPECT_EQ(W->VisibleStartIndex, 0);
    W->PopupKeyDown(VK_DOWN);
    EXPECT_EQ(W->ActiveItem, 1);
    EXPECT_TRUE(W->Items(1)->Active);
    EXPECT_FALSE(W->Items(0)->Active);
}

TEST_F(SkinMenuTest, AMenuLongerThanTheWorkAreaScrollsFromItsMarkers) {
    AddRows(60);
    Menu->Popup(300, 300);
    TbsSkinPopupWindow* W = Level(0);
    EXPECT_EQ(WindowRect(W), Rect(301, 0, 301 + W->Width(), 1040)) << "top of the work area, beside the anchor";
    EXPECT_TRUE(W->Scroll);
    EXPECT_FALSE(W->Scroll2);
    const int Shown = W->VisibleCount;
    MoveTo(TPoint{WindowRect(W).Left + 20, 1040 - 6}); // the lower marker
    EXPECT_EQ(W->ScrollCode, 2);
    for (int I = 1; I <= 3; ++I) {
        Wait(100);
        EXPECT_EQ(W->VisibleStartIndex, I);
    }
    EXPECT_EQ(W->VisibleCount, Shown);
    MoveTo(TPoint{WindowRect(W).Left + 20, 500});
    EXPECT_EQ(W->ScrollCode, 0);
    Wait(200);
    EXPECT_EQ(W->VisibleStartIndex, 3);
}

TEST_F(SkinMenuTest, PlacementInsideTheWorkArea) {
    AddRows(3);
    Menu->Popup(1900, 100);
    TRect R = WindowRect(Level(0));
    EXPECT_EQ(R.Right, 1920) << "shifted left to the work area's right edge";
    EXPECT_EQ(R.Top, 100);
    Stack()->Hide();
    Menu->Popup(100, 1030);
    R = WindowRect(Level(0));
    EXPECT_EQ(R.Bottom, 1030) << "opens upwards, ending at the point";
    EXPECT_EQ(R.Left, 100);
    Stack()->Hide();

    // A submenu in the lower half that would pass the bottom opens upwards, ending at its row's bottom.
    Menu->Items()->Clear();
    TMenuItem* Sub = Add(Menu->Items(), u"Sub");
    for (int I = 0; I < 6; ++I)
        Add(Sub, u"Inner");
    Menu->Popup(300, 1000 - 24);
    TbsSkinPopupWindow* W = Level(0);
    W->PopupKeyDown(VK_RIGHT);
    ASSERT_EQ(Stack()->LevelCount(), 2);
    TRect Row = W->Items(0)->ObjectRect;
    OffsetRect(Row, WindowRect(W).Left, WindowRect(W).Top);
    EXPECT_EQ(WindowRect(Level(1)).Bottom, Row.Bottom + 2);
}

TEST_F(SkinMenuTest, KeysAccelerators_Escape_AndTheFirstUsableRow) {
    std::vector<std::string> Clicks;
    TMenuItem* Off = Add(Menu->Items(), u"&Off");
    Off->SetEnabled(false);
    Add(Menu->Items(), u"-");
    Add(Menu->Items(), u"&Alpha", &Clicks);
    TMenuItem* Sub = Add(Menu->Items(), u"&Sub");
    Add(Sub, u"&Inner", &Clicks);
    Add(Menu->Items(), u"&Beta", &Clicks);
    Menu->Popup(300, 300);
    TbsSkinPopupWindow* W = Level(0);
    EXPECT_EQ(W->ActiveItem, 2) << "the disabled row and the divider are skipped";
    EXPECT_TRUE(W->Items(2)->Active);

    // Keys reach the open menu through the application's message hook.
    InjectKeyPress(VK_DOWN);
    Application->ProcessMessages();
    EXPECT_EQ(W->ActiveItem, 3);
    InjectKeyPress(VK_RIGHT);
    Application->ProcessMessages();
    ASSERT_EQ(Stack()->LevelCount(), 2);
    InjectKeyPress(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_EQ(Stack()->LevelCount(), 1) << "Escape closes one level";
    EXPECT_FALSE(W->Items(3)->Down);
    EXPECT_TRUE(Stack()->Visible());

    InjectKeyPress('B');
    Application->ProcessMessages();
    EXPECT_EQ(Clicks, (std::vector<std::string>{"click &Beta"}));
    EXPECT_FALSE(Stack()->Visible());
    EXPECT_FALSE(Skin->FInAppHook);

    Menu->Popup(300, 300);
    InjectKeyPress(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_FALSE(Stack()->Visible()) << "Escape in the first level closes the menu";
    EXPECT_FALSE(Skin->InMenu);
}

TEST_F(SkinMenuTest, HoveringADividerHighlightsNothing) {
    AddRows(1);
    Add(Menu->Items(), u"-");
    AddRows(1);
    Menu->Popup(300, 300);
    TbsSkinPopupWindow* W = Level(0);
    MoveTo(RowPoint(W, 1));
    EXPECT_EQ(W->ActiveItem, 1);
    EXPECT_FALSE(W->Items(0)->Active);
    EXPECT_FALSE(W->Items(1)->Active);
    EXPECT_EQ(W->Items(1)->ObjectRect.Bottom - W->Items(1)->ObjectRect.Top, 4);
}

TEST_F(SkinMenuTest, TheWheelAndTheApplicationsMessageHandlerWaitWhileAMenuIsOpen) {
    AddRows(2);
    int Handled = 0;
    Application->OnMessage = [&Handled](MSG& M, bool&) { Handled += M.message == WM_MOUSEWHEEL; };
    Menu->Popup(300, 300);
    PostMessageW(Form->Handle(), WM_MOUSEWHEEL, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Handled, 0);
    Stack()->Hide();
    PostMessageW(Form->Handle(), WM_MOUSEWHEEL, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Handled, 1);

    // A component freed while its menu is open gives the handler back.
    Menu->Popup(300, 300);
    delete Skin;
    Skin = nullptr;
    PostMessageW(Form->Handle(), WM_MOUSEWHEEL, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Handled, 2);
    Application->OnMessage = nullptr;
}

} // namespace
} // namespace formtest
