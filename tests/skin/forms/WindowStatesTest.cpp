// The window states of a skinned frame: the built-in system menu by border icons and state, maximize, roll-up
// and restore in either order, minimized forms side by side, the caption double click, and the system menu from
// Alt+Space, a right click on the caption and DisableSystemMenu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class WindowStatesTest : public SkinFormTest {
protected:
    std::vector<std::string> SystemMenu() {
        std::vector<std::string> Rows;
        TMenuItem* Items = Skin->GetSystemMenuItems();
        for (int I = 0; I < Items->Count(); ++I) {
            std::string Row = UTF8Encode(Items->Items(I)->Caption());
            if (Items->Items(I)->ShortCut() != scNone)
                Row += " " + UTF8Encode(ShortCutToText(Items->Items(I)->ShortCut()));
            Rows.push_back(Row);
        }
        return Rows;
    }
    TbsSkinMenu* Stack() { return Skin->SkinMenu(); }
    // The double click as the window layer reports it on the caption.
    void CaptionDoubleClick() {
        SendMessageW(Form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(Form->Left() + 150, Form->Top() + 10));
        Pump();
    }
    TRect FirstLevel() {
        RECT R;
        GetWindowRect(Stack()->Levels(0)->Handle(), &R);
        return R;
    }
};

TEST_F(WindowStatesTest, TheBuiltInSystemMenuFollowsTheBorderIconsAndTheState) {
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize});
    EXPECT_EQ(SystemMenu(), (std::vector<std::string>{"Mi&nimize", "-", "&Close Alt+F4"}));
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize, TbsBorderIcon::biMaximize, TbsBorderIcon::biRollUp,
                                        TbsBorderIcon::biMinimizeToTray});
    EXPECT_EQ(SystemMenu(), (std::vector<std::string>{"Mi&nimize", "Ma&ximize", "Ro&llUp", "Minimize to &Tray", "-",
                                                      "&Close Alt+F4"}));
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize, TbsBorderIcon::biMaximize, TbsBorderIcon::biRollUp});
    Skin->SetWindowState(wsMaximized);
    EXPECT_EQ(SystemMenu(), (std::vector<std::string>{"Mi&nimize", "&Restore", "Ro&llUp", "-", "&Close Alt+F4"}));
}

TEST_F(WindowStatesTest, MaximizeRollUpAndRestoreInEitherOrder) {
    const TRect Normal = Form->BoundsRect();
    Skin->SetWindowState(wsMaximized);
    EXPECT_EQ(Form->BoundsRect(), Rect(0, 0, 1920, 1040));
    EXPECT_EQ(HitAt(1, 1), HTOBJECT) << "no sizing once maximized";
    Skin->SetRollUpState(true);
    EXPECT_EQ(Form->Height(), Skin->GetMinHeight());
    EXPECT_TRUE(Skin->MaxRollUpState);
    Skin->SetWindowState(wsNormal);
    EXPECT_EQ(Form->BoundsRect(), Normal);
    EXPECT_FALSE(Skin->RollUpState());

    Skin->SetRollUpState(true);
    EXPECT_EQ(Form->Height(), 25) << "the default frame without client area";
    Skin->SetWindowState(wsMaximized);
    EXPECT_EQ(Form->BoundsRect(), Rect(0, 0, 1920, 1040));
    Skin->SetWindowState(wsNormal);
    EXPECT_TRUE(Skin->RollUpState());
    EXPECT_EQ(Form->BoundsRect(), Rect(Normal.Left, Normal.Top, Normal.Right, Normal.Top + 25));
    Skin->SetRollUpState(false);
    EXPECT_EQ(Form->BoundsRect(), Normal);

    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize});
    Skin->SetRollUpState(true);
    EXPECT_FALSE(Skin->RollUpState()) << "no roll-up without its border icon";
}

TEST_F(WindowStatesTest, MinimizedFormsLineUpFromTheBottomLeft) {
    TForm Second(nullptr);
    Second.SetBounds(500, 100, 300, 200);
    auto* Skin2 = new TbsSkinForm(&Second);
    Second.Show();
    Pump();
    Skin->SetWindowState(wsMinimized);
    Skin2->SetWindowState(wsMinimized);
    EXPECT_EQ(Form->BoundsRect(), Rect(0, 1015, 120, 1040));
    EXPECT_EQ(Second.BoundsRect(), Rect(120, 1015, 240, 1040));
    Skin->SetWindowState(wsNormal);
    EXPECT_EQ(Form->BoundsRect(), Rect(100, 100, 400, 300));
}

TEST_F(WindowStatesTest, ACaptionDoubleClickMaximizesAndRestoresASizeableForm) {
    Watched = {WM_NCLBUTTONDBLCLK, WM_SIZE};
    auto DoubleClick = [this] { CaptionDoubleClick(); };
    DoubleClick();
    EXPECT_EQ(Skin->WindowState(), wsMaximized);
    EXPECT_EQ(Form->BoundsRect(), Rect(0, 0, 1920, 1040));
    DoubleClick();
    EXPECT_EQ(Skin->WindowState(), wsNormal);
    EXPECT_EQ(Form->BoundsRect(), Rect(100, 100, 400, 300));
    // The skinned frame keeps the double click from the previous procedure, which sees the two size changes.
    EXPECT_EQ(Reached, (std::vector<UINT>{WM_SIZE, WM_SIZE}));
}

TEST_F(WindowStatesTest, ACaptionDoubleClickOfAFixedFormRollsItUp) {
    Form->SetBorderStyle(bsSingle);
    Pump();
    const int H = Form->Height();
    const struct {
        TbsBorderIcons Icons;
        int Height;
    } Cases[] = {{TbsBorderIcons{TbsBorderIcon::biRollUp}, 25}, {TbsBorderIcons{TbsBorderIcon::biMinimize}, H}};
    for (const auto& C : Cases) {
        Skin->SetBorderIcons(C.Icons);
        CaptionDoubleClick();
        EXPECT_EQ(Form->Height(), C.Height);
        Skin->SetRollUpState(false);
    }
}

TEST_F(WindowStatesTest, TheSystemMenuOpensFromAltSpaceAndTheCaption) {
    Form->SetFocus();
    Pump();
    InjectKey(VK_MENU, true);
    InjectKeyPress(VK_SPACE);
    InjectKey(VK_MENU, false);
    Application->ProcessMessages();
    ASSERT_TRUE(Stack()->Visible());
    EXPECT_EQ(FirstLevel().Left, Form->Left() + 3) << "under the system-menu button";
    EXPECT_EQ(FirstLevel().Top, Form->Top() + 21);
    Stack()->Hide();

    InjectMouseMove(Form->Left() + 150, Form->Top() + 10);
    InjectMouseButton(1, true);
    InjectMouseButton(1, false);
    Application->ProcessMessages();
    ASSERT_TRUE(Stack()->Visible());
    EXPECT_EQ(FirstLevel().Left, Form->Left() + 150);
    Stack()->Hide();

    Skin->SetDisableSystemMenu(true);
    Skin->UpdateCaptionButtons();
    EXPECT_FALSE(Skin->Objects(Skin->GetIndex(u"sysmenubutton"))->Enabled);
    InjectMouseButton(1, true);
    InjectMouseButton(1, false);
    Application->ProcessMessages();
    EXPECT_FALSE(Stack()->Visible());
}

TEST_F(WindowStatesTest, TheSystemMenusCommandsRunTheStates) {
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize, TbsBorderIcon::biMaximize});
    Skin->PopupSystemMenu(300, 300);
    ASSERT_TRUE(Stack()->Visible());
    TbsSkinPopupWindow* W = Stack()->Levels(0);
    EXPECT_EQ(UTF8Encode(W->Items(1)->MenuItem->Caption()), "Ma&ximize");
    W->PopupKeyDown('X');
    EXPECT_EQ(Skin->WindowState(), wsMaximized);
    EXPECT_FALSE(Stack()->Visible());
}

} // namespace
} // namespace formtest
