// The images menu: the grid's cell layout, placement in the work area, the events of a choice and of a close,
// the keys of the open grid, the selected item, and the grid's going (with the application's message event given
// back). Pictures of an open grid in two stored skins and the default look: artifacts/imagesmenu_<skin>.png.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/forms/bsSkinHint.h"
#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/controls/GalleryFixture.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class ImagesMenuTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Images = new TImageList(Form.get(), 16, 16);
        TBitmap Icon(16, 16);
        ctltest::Fill(Icon, Rect(0, 0, 16, 16), TColor(0x3080E0));
        for (int I = 0; I < 4; ++I)
            Images->Add(&Icon, nullptr);
        Menu = new TbsSkinImagesMenu(Form.get());
        Menu->SetImages(Images);
        Menu->OnMenuPopup = [this](TObject*) { Log.push_back("popup"); };
        Menu->OnMenuClose = [this](TObject*) { Log.push_back("close"); };
        Menu->OnItemClick = [this](TObject*) { Log.push_back("item click " + std::to_string(Menu->ItemIndex())); };
        Menu->OnChange = [this](TObject*) { Log.push_back("change"); };
    }
    TbsImagesMenuItem* AddItem(int Image = 0, bool Button = false, bool Header = false, const String& Caption = u"") {
        TbsImagesMenuItem* I = Menu->ImagesItems()->Add();
        I->ImageIndex = Image;
        I->Button = Button;
        I->Header = Header;
        I->Caption = Caption;
        const int N = I->Index();
        I->OnClick = [this, N](TObject*) { Log.push_back("click " + std::to_string(N)); };
        return I;
    }
    TbsSkinImagesMenuPopupWindow* Grid() { return Menu->PopupWindow(); }
    TRect GridRect() {
        RECT R;
        GetWindowRect(Grid()->Handle(), &R);
        return R;
    }
    TPoint CellPoint(int I) {
        const TRect R = Menu->ImagesItems()->Items(I)->ItemRect;
        const TRect G = GridRect();
        return TPoint{G.Left + (R.Left + R.Right) / 2, G.Top + (R.Top + R.Bottom) / 2};
    }
    void Press(UINT Vk) {
        InjectKeyPress(Vk);
        Application->ProcessMessages();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    TImageList* Images = nullptr;
    TbsSkinImagesMenu* Menu = nullptr;
    std::vector<std::string> Log;
};

TEST_F(ImagesMenuTest, CellsFillRowsOfTheColumnCountAndButtonsAndHeadersTakeWholeRows) {
    struct Case {
        std::vector<char> Kinds; // 'i' image cell, 'b' button item, 'h' header
        int Columns;
        std::vector<TPoint> TopLefts;
    };
    // Cells are 26 x 26 with one pixel between rows, from (5, 5) in the default look.
    const Case Cases[] = {
        {std::vector<char>(12, 'i'),
         5,
         {{5, 5},
          {31, 5},
          {57, 5},
          {83, 5},
          {109, 5},
          {5, 32},
          {31, 32},
          {57, 32},
          {83, 32},
          {109, 32},
          {5, 59},
          {31, 59}}},
        {{'i', 'i', 'b', 'i'}, 5, {{5, 5}, {31, 5}, {5, 32}, {5, 59}}},
        {{'h', 'i', 'i', 'i'}, 2, {{5, 5}, {5, 32}, {31, 32}, {5, 59}}},
    };
    for (const Case& C : Cases) {
        Menu->ImagesItems()->Clear();
        for (char K : C.Kinds)
            AddItem(0, K == 'b', K == 'h', K == 'i' ? u"" : u"Row");
        Menu->SetColumnsCount(C.Columns);
        Menu->Popup(300, 300);
        ASSERT_NE(Grid(), nullptr);
        std::vector<TPoint> Got;
        for (int I = 0; I < Menu->ImagesItems()->Count(); ++I) {
            const TRect R = Menu->ImagesItems()->Items(I)->ItemRect;
            Got.push_back(TPoint{R.Left, R.Top});
            const bool Wide = C.Kinds[std::size_t(I)] != 'i';
            EXPECT_EQ(R.Right - R.Left, Wide ? C.Columns * 26 : 26);
        }
        EXPECT_EQ(Got, C.TopLefts) << C.Kinds.size() << " items";
        EXPECT_EQ(GridRect().Right - GridRect().Left, C.Columns * 26 + 10);
        Menu->Hide();
    }
}

TEST_F(ImagesMenuTest, AColumnCountOutsideOneToFiftyIsIgnored) {
    Menu->SetColumnsCount(4);
    for (int Bad : {0, 51, -1})
        Menu->SetColumnsCount(Bad);
    EXPECT_EQ(Menu->ColumnsCount(), 4);
    Menu->SetColumnsCount(50);
    EXPECT_EQ(Menu->ColumnsCount(), 50);
}

TEST_F(ImagesMenuTest, TheGridOpensBelowTheRectangleOrAboveItNearTheWorkAreasBottom) {
    for (int I = 0; I < 6; ++I)
        AddItem();
    Menu->SetColumnsCount(3);
    Menu->PopupFromRect(Rect(200, 300, 260, 320));
    EXPECT_EQ(GridRect().Left, 200);
    EXPECT_EQ(GridRect().Top, 320);
    const int H = GridRect().Bottom - GridRect().Top;
    Menu->PopupFromRect(Rect(200, 1020, 260, 1035));
    EXPECT_EQ(GridRect().Bottom, 1020) << "above the rectangle";
    EXPECT_EQ(GridRect().Top, 1020 - H);
    Menu->PopupFromRect(Rect(1900, 300, 1910, 310));
    EXPECT_EQ(GridRect().Right, 1920) << "moved left into the work area";
    Menu->Hide();
}

TEST_F(ImagesMenuTest, ChoosingTheSelectedItemAgainClicksButDoesNotChange) {
    for (int I = 0; I < 3; ++I)
        AddItem(I);
    Menu->SetItemIndex(1);
    Menu->Popup(300, 300);
    InjectClick(CellPoint(1).X, CellPoint(1).Y);
    Application->ProcessMessages();
    EXPECT_EQ(Take(), (std::vector<std::string>{"popup", "close", "click 1", "item click 1"}));
    EXPECT_EQ(Grid(), nullptr);

    Menu->Popup(300, 300);
    InjectClick(CellPoint(2).X, CellPoint(2).Y);
    Application->ProcessMessages();
    EXPECT_EQ(Take(), (std::vector<std::string>{"popup", "close", "click 2", "item click 2", "change"}));
    EXPECT_EQ(Menu->ItemIndex(), 2);
}

TEST_F(ImagesMenuTest, EscapeOrAClickOutsideClosesWithOnlyTheCloseEvent) {
    for (int I = 0; I < 3; ++I)
        AddItem(I);
    Menu->SetItemIndex(0);
    Menu->Popup(300, 300);
    Press(VK_RIGHT);
    Press(VK_ESCAPE);
    EXPECT_EQ(Take(), (std::vector<std::string>{"popup", "close"}));
    EXPECT_EQ(Grid(), nullptr);
    Menu->Popup(300, 300);
    InjectClick(800, 800);
    Application->ProcessMessages();
    EXPECT_EQ(Take(), (std::vector<std::string>{"popup", "close"}));
    EXPECT_EQ(Grid(), nullptr);
    EXPECT_EQ(Menu->ItemIndex(), 0);
}

TEST_F(ImagesMenuTest, TheArrowsWalkTheGridAndUpStaysInTheTopRow) {
    // Two rows of three cells, then a button row.
    for (int I = 0; I < 6; ++I)
        AddItem(I % 4);
    AddItem(0, true, false, u"More");
    Menu->SetColumnsCount(3);
    Menu->Popup(300, 300);
    struct Step {
        UINT Key;
        int Hover;
    };
    const Step Steps[] = {{VK_RIGHT, 0}, {VK_RIGHT, 1}, {VK_UP, 1},    {VK_DOWN, 4}, {VK_DOWN, 6},  {VK_UP, 3},
                          {VK_LEFT, 2},  {VK_RIGHT, 3}, {VK_LEFT, 2},  {VK_UP, 2},   {VK_RIGHT, 3}, {VK_RIGHT, 4},
                          {VK_RIGHT, 5}, {VK_RIGHT, 6}, {VK_RIGHT, 0}, {VK_LEFT, 6}};
    for (const Step& S : Steps) {
        Press(S.Key);
        EXPECT_EQ(Grid()->MouseInItem, S.Hover) << "after key " << S.Key;
    }
    Press(VK_RETURN);
    EXPECT_EQ(Menu->ItemIndex(), 6);
}

TEST_F(ImagesMenuTest, TheSelectedItemIsNullOutsideTheItems) {
    for (int I = 0; I < 3; ++I)
        AddItem(I);
    for (int Index : {-1, 3, 100}) {
        Menu->SetItemIndex(Index);
        EXPECT_EQ(Menu->SelectedItem(), nullptr) << Index;
    }
    Menu->SetItemIndex(2);
    EXPECT_EQ(Menu->SelectedItem(), Menu->ImagesItems()->Items(2));
}

TEST_F(ImagesMenuTest, WithoutImagesOrWithoutItemsOnlyThePopupEventFires) {
    AddItem();
    Images->Clear();
    Menu->Popup(300, 300);
    EXPECT_EQ(Grid(), nullptr);
    EXPECT_EQ(Take(), std::vector<std::string>{"popup"});

    TBitmap Icon(16, 16);
    Images->Add(&Icon, nullptr);
    Menu->ImagesItems()->Clear();
    Menu->Popup(300, 300);
    EXPECT_EQ(Grid(), nullptr);
    EXPECT_EQ(Take(), std::vector<std::string>{"popup"});
}

TEST_F(ImagesMenuTest, FreeingAnOpenMenuGivesTheApplicationsMessageEventBackAndCancelsItsHint) {
    AddItem()->Hint = u"Blue";
    auto* Hint = new TbsSkinHint(Form.get());
    Menu->SetSkinHint(Hint);
    int Seen = 0;
    Application->OnMessage = [&](MSG&, bool&) { ++Seen; };
    Menu->Popup(300, 300);
    ASSERT_NE(Grid(), nullptr);
    InjectMouseMove(CellPoint(0).X, CellPoint(0).Y);
    Application->ProcessMessages();
    EXPECT_TRUE(Hint->HintPending());
    const HWND Grid = Menu->PopupWindow()->Handle();
    delete Menu;
    Menu = nullptr;
    EXPECT_EQ(GetCapture(), nullptr);
    PostMessageW(Form->Handle(), WM_NULL, 0, 0);
    Application->ProcessMessages();
    EXPECT_GT(Seen, 0);
    EXPECT_FALSE(IsWindow(Grid));
    EXPECT_FALSE(Hint->HintPending());
    Application->OnMessage = nullptr;
}

TEST_F(ImagesMenuTest, ButtonItemsUseTheMenuAsAButtonsImagesMenu) {
    AddItem(0);
    AddItem(1, true, false, u"Second");
    TbsCustomImagesMenu* AsService = Menu;
    Menu->SetItemIndex(1);
    EXPECT_EQ(AsService->SelectedItem()->Caption, u"Second");
    EXPECT_EQ(AsService->Images(), Images);
    std::vector<std::string> Internal;
    Menu->FOnInternalMenuClose = [&](TObject*) { Internal.push_back("internal close"); };
    Menu->FOnInternalChange = [&](TObject*) { Internal.push_back("internal change"); };
    AsService->PopupFromRect(Rect(300, 300, 340, 320));
    InjectClick(CellPoint(0).X, CellPoint(0).Y);
    Application->ProcessMessages();
    EXPECT_EQ(Internal, (std::vector<std::string>{"internal close", "internal change"}));
}

// ---------------------------------------------------------------------------------------------
// Pictures

class ImagesMenuGalleryTest : public ctltest::GalleryTest {
protected:
    ImagesMenuGalleryTest() : ctltest::GalleryTest(300, 160) {}
};

TEST_P(ImagesMenuGalleryTest, AnOpenGrid) {
    NewSheet(420, 300);
    auto* Images = new TImageList(Form.get(), 16, 16);
    const TColor Colours[] = {TColor(0x3080E0), TColor(0x40B040), TColor(0x2020C0), TColor(0xC08020)};
    for (TColor C : Colours) {
        TBitmap Icon(16, 16);
        ctltest::Fill(Icon, Rect(0, 0, 16, 16), C);
        ctltest::Fill(Icon, Rect(4, 4, 12, 12), clWhite);
        Images->Add(&Icon, nullptr);
    }
    auto* Menu = new TbsSkinImagesMenu(Form.get());
    Menu->SetImages(Images);
    Menu->SetColumnsCount(4);
    if (GetParam() >= 0)
        Menu->SetSkinData(Skin);
    auto Add = [&](int Image, bool Button, bool Header, const String& Caption) {
        TbsImagesMenuItem* I = Menu->ImagesItems()->Add();
        I->ImageIndex = Image;
        I->Button = Button;
        I->Header = Header;
        I->Caption = Caption;
    };
    Add(-1, false, true, u"颜色 Colours");
    for (int I = 0; I < 6; ++I)
        Add(I % 4, false, false, u"");
    Add(2, true, false, u"更多 More...");
    Menu->SetItemIndex(2);
    Menu->Popup(Form->Left() + 20, Form->Top() + 30);
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    for (int I = 0; I < 3; ++I) // the hover on the cell after the selected one
        Menu->PopupWindow()->ProcessKey(VK_RIGHT);
    Pump();
    RECT R;
    GetWindowRect(Menu->PopupWindow()->Handle(), &R);
    PasteScreen(TPoint{R.Left, R.Top}, R.Right - R.Left, R.Bottom - R.Top, 10, 10);
    Menu->Hide();
    SaveSheet("imagesmenu");
}

INSTANTIATE_TEST_SUITE_P(Skins, ImagesMenuGalleryTest, ::testing::Values(-1, 0, 3));

} // namespace
} // namespace formtest
