// A form with a page control (tabs on top, Chinese and Latin captions), a tab control with its tabs on
// the left and a tree view, in the classic look; its picture is saved as build/artifacts/tabs_tree_form.png.
#include "UiTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Tabs.h"
#include "platform/ui/TreeViews.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using TabsTreeFormTest = uitest::UiTest;

TEST_F(TabsTreeFormTest, PageControlTabControlAndTreeViewInTheClassicLook) {
    auto Form = std::make_unique<TForm>(nullptr);
    TForm* F = Form.get();
    F->SetBounds(120, 80, 560, 360);
    F->SetCaption(u"转换设置 Conversion settings");
    F->SetColor(clBtnFace);

    auto* Pages = new TPageControl(F);
    Pages->SetParent(F);
    Pages->SetBounds(8, 8, 300, 200);
    for (const char16_t* Caption : {u"常规 General", u"Video 视频", u"音频"}) {
        auto* Sheet = new TTabSheet(F);
        Sheet->SetCaption(Caption);
        Sheet->SetPageControl(Pages);
    }
    auto* Audio = new TCheckBox(F);
    Audio->SetParent(Pages->Pages(1));
    Audio->SetBounds(12, 12, 160, 20);
    Audio->SetCaption(u"保留音轨 Keep audio");
    Audio->SetChecked(true);
    auto* Note = new TLabel(F);
    Note->SetParent(Pages->Pages(1));
    Note->SetBounds(12, 44, 200, 20);
    Note->SetCaption(u"输出格式: MP4 (H.264)");
    Pages->SetActivePageIndex(1);

    auto* Side = new TTabControl(F);
    Side->SetParent(F);
    Side->SetBounds(8, 216, 300, 100);
    Side->SetTabPosition(tpLeft);
    for (const char16_t* Caption : {u"左 Left", u"Queue"})
        Side->Tabs()->Add(Caption);

    auto* Tree = new TTreeView(F);
    Tree->SetParent(F);
    Tree->SetBounds(320, 8, 220, 308);
    TTreeNodes* I = Tree->Items();
    TTreeNode* Desktop = I->Add(nullptr, u"桌面 Desktop");
    TTreeNode* Computer = I->AddChild(Desktop, u"我的电脑 Computer");
    I->AddChild(Computer, u"/ (系统)");
    TTreeNode* Home = I->AddChild(Computer, u"home");
    I->AddChild(Home, u"视频 Videos");
    I->AddChild(Home, u"Music");
    I->AddChild(Desktop, u"Documents");
    TTreeNode* Closed = I->AddChild(Desktop, u"收藏 Favourites");
    I->AddChild(Closed, u"hidden");
    Desktop->Expand(true);
    Closed->Collapse(false);
    Tree->SetSelected(Home);

    F->Show();
    Pump();
    Tree->SetFocus();
    Pump();

    // The page shows in the display rectangle with only the active sheet visible.
    EXPECT_TRUE(Pages->Pages(1)->Visible());
    EXPECT_FALSE(Pages->Pages(0)->Visible());
    EXPECT_EQ(Pages->Pages(1)->BoundsRect(), Pages->DisplayRect());
    // The focused tree's selected label is in the selection colour, its text in the selection's text colour.
    TRect Label = Home->DisplayRect(true);
    TPoint P = Tree->ClientToScreen(TPoint{Label.Left + 1, Label.Top + 2});
    EXPECT_EQ(ScreenPixel(P.X, P.Y), ColorToRGB(clHighlight));
    std::filesystem::create_directories("artifacts");
    EXPECT_TRUE(SaveWindowToPng(F->Handle(), "artifacts/tabs_tree_form.png"));
}

} // namespace
