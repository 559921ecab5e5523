// The menu bar for a person to look at, in two stored skins and the default look: the form with its bar in
// keyboard menu mode and the second item's submenu open, and a narrow bar with its marker. Saved as
// artifacts/menubar_<skin>.png.
#include <gtest/gtest.h>

#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/controls/GalleryFixture.h"

namespace formtest {
namespace {

class MenuBarGalleryTest : public ctltest::GalleryTest {
protected:
    MenuBarGalleryTest() : ctltest::GalleryTest(420, 200) {}
    void SetUp() override {
        ctltest::GalleryTest::SetUp();
        Form->SetCaption(u"Menu bar 菜单栏");
        SkinForm = new TbsSkinForm(Form.get());
        Menu = new TbsSkinMainMenu(Form.get());
        const char16_t* Tops[] = {u"文件(&F)", u"功能(&G)", u"选项(&O)", u"帮助(&H)"};
        for (const char16_t* T : Tops)
            Add(Menu->Items(), T);
        TMenuItem* Functions = Menu->Items()->Items(1);
        Add(Functions, u"软件皮肤(&S)");
        Add(Functions, u"-");
        Add(Functions, u"转换(&C)")->SetShortCut(TextToShortCut(u"Ctrl+R"));
        Add(Functions, u"停止(&T)")->SetEnabled(false);
        Add(Menu->Items()->Items(0), u"退出(&X)");
        Bar = new TbsSkinMainMenuBar(Form.get());
        Bar->SetParent(Form.get());
        Bar->SetSkinForm(SkinForm);
        SkinForm->SetMainMenuBar(Bar);
        Bar->SetMainMenu(Menu);
        if (GetParam() >= 0) {
            SkinForm->SetSkinData(Skin);
            Bar->SetSkinData(Skin);
        }
        Form->Hide();
        Form->Show();
        Form->SetFocus();
        Pump();
    }
    TMenuItem* Add(TMenuItem* Parent, const String& Caption) {
        auto* Item = new TMenuItem(Form.get());
        Item->SetCaption(Caption);
        Parent->Add(Item);
        return Item;
    }
    void Press(UINT Vk) {
        InjectKeyPress(Vk);
        Application->ProcessMessages();
    }
    TbsSkinForm* SkinForm = nullptr;
    TbsSkinMainMenu* Menu = nullptr;
    TbsSkinMainMenuBar* Bar = nullptr;
};

TEST_P(MenuBarGalleryTest, KeyboardModeWithAnOpenSubmenu) {
    NewSheet(880, 330);
    Press(VK_MENU);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    TbsSkinMenu* Stack = SkinForm->SkinMenu();
    ASSERT_EQ(Stack->LevelCount(), 1);
    Pump();
    RECT L;
    GetWindowRect(Stack->Levels(0)->Handle(), &L);
    const int H = std::max(int(L.Bottom) - Form->Top(), Form->Height());
    PasteScreen(TPoint{Form->Left(), Form->Top()}, Form->Width(), H, 10, 10);
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
    EXPECT_FALSE(SkinForm->InMainMenu);

    // A narrow bar: the items that fit and the marker of the others, hovered.
    Bar->SetAlign(alNone);
    Bar->SetBounds(0, 0, 130, Bar->Height());
    Bar->Repaint();
    Pump();
    const TRect M = Bar->GetMarkerRect();
    const TPoint P = Bar->ClientToScreen(TPoint{M.Left + 2, (M.Top + M.Bottom) / 2});
    InjectMouseMove(P.X, P.Y);
    Pump();
    Wait(50);
    const TPoint B = Bar->ClientToScreen(TPoint{0, 0});
    PasteScreen(B, Bar->Width(), Bar->Height(), 450, 10);
    EXPECT_TRUE(Bar->Scroll);
    SaveSheet("menubar");
}

INSTANTIATE_TEST_SUITE_P(Skins, MenuBarGalleryTest, ::testing::Values(-1, 0, 3));

} // namespace
} // namespace formtest
