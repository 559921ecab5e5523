// Skinned menus and window states for a person to look at, in two stored skins and the default look: an open
// popup menu with its submenu, a checked, a radio, a disabled and a header row and the close glyph; the system
// menu; the top-left part of a maximized form and a rolled-up form. Saved as artifacts/menus_<skin>.png.
#include <gtest/gtest.h>

#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/controls/GalleryFixture.h"

namespace formtest {
namespace {

class MenuGalleryTest : public ctltest::GalleryTest {
protected:
    MenuGalleryTest() : ctltest::GalleryTest(360, 220) {}
    void SetUp() override {
        ctltest::GalleryTest::SetUp();
        Form->SetCaption(u"Menus 菜单");
        SkinForm = new TbsSkinForm(Form.get());
        if (GetParam() >= 0)
            SkinForm->SetSkinData(Skin);
        // The fixture showed the form before the component took it over.
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
    TRect LevelRect(int I) {
        RECT R;
        GetWindowRect(SkinForm->SkinMenu()->Levels(I)->Handle(), &R);
        return R;
    }
    void PasteLevel(int I, int X0, int Y0) {
        TRect R = LevelRect(I);
        PasteScreen(TPoint{R.Left, R.Top}, R.Right - R.Left, R.Bottom - R.Top, X0, Y0);
    }
    TbsSkinForm* SkinForm = nullptr;
};

TEST_P(MenuGalleryTest, PopupSystemMenuAndStates) {
    NewSheet(1000, 560);
    auto* Menu = new TbsSkinPopupMenu(Form.get());
    TMenuItem* Sub = Add(Menu->Items(), u"&Recent files");
    Add(Sub, u"clip-1.mp4");
    Add(Sub, u"clip-2.avi");
    Add(Menu->Items(), u"-Options-")->SetEnabled(false);
    TMenuItem* Checked = Add(Menu->Items(), u"&Preview while converting");
    Checked->SetChecked(true);
    TMenuItem* Radio = Add(Menu->Items(), u"&High quality");
    Radio->SetRadioItem(true);
    Radio->SetChecked(true);
    Add(Menu->Items(), u"&Disabled command")->SetEnabled(false);
    Add(Menu->Items(), u"-");
    TMenuItem* Exit = Add(Menu->Items(), u"E&xit 退出");
    Exit->SetName(u"BSF_CLOSE");
    Exit->SetShortCut(TextToShortCut(u"Alt+F4"));
    Menu->Popup(Form->Left() + 20, Form->Top() + 40);
    TbsSkinMenu* Stack = SkinForm->SkinMenu();
    ASSERT_EQ(Stack->LevelCount(), 1);
    Stack->Levels(0)->PopupKeyDown(VK_RIGHT);
    ASSERT_EQ(Stack->LevelCount(), 2);
    Pump();
    const TRect L0 = LevelRect(0), L1 = LevelRect(1);
    PasteScreen(TPoint{L0.Left, L0.Top}, L1.Right - L0.Left, std::max(L0.Bottom, L1.Bottom) - L0.Top, 10, 10);
    Stack->Hide();

    SkinForm->PopupSystemMenu(Form->Left() + 20, Form->Top() + 40);
    ASSERT_EQ(Stack->LevelCount(), 1);
    Pump();
    PasteLevel(0, 10, 300);
    Stack->Hide();

    SkinForm->SetRollUpState(true);
    Pump();
    PasteScreen(TPoint{Form->Left(), Form->Top()}, Form->Width(), Form->Height(), 500, 10);
    SkinForm->SetRollUpState(false);
    SkinForm->SetWindowState(wsMaximized);
    Pump();
    PasteScreen(TPoint{1920 - 480, 0}, 480, 200, 500, 80);
    SkinForm->SetWindowState(wsNormal);
    Pump();
    SaveSheet("menus");
}

INSTANTIATE_TEST_SUITE_P(Skins, MenuGalleryTest, ::testing::Values(-1, 0, 3));

} // namespace
} // namespace formtest
