// The form component on MDI forms: a maximized child refits the parent's free client area, the parent hears
// that a child was maximized or left that state, and the lookups find the children's components.
#include <gtest/gtest.h>

#include "platform/ui/ExtCtrls.h"
#include "skin/forms/bsSkinForm.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

class FormMDITest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetBounds(100, 100, 640, 480);
        MainSkin = new TbsSkinForm(Main);
        auto* Bar = new TPanel(Main);
        Bar->SetParent(Main);
        Bar->SetAlign(alTop);
        Bar->SetHeight(30);
        Main->Show();
        Pump();
        Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->SetCaption(u"Child");
        Child->SetBounds(10, 10, 200, 150);
        ChildSkin = new TbsSkinForm(Child);
        Child->AfterConstruction();
        Pump();
    }
    TForm* Main = nullptr;
    TForm* Child = nullptr;
    TbsSkinForm* MainSkin = nullptr;
    TbsSkinForm* ChildSkin = nullptr;
};

TEST_F(FormMDITest, AMaximizedChildTakesTheFreeClientAreaAndTheParentHearsOfIt) {
    TRect Area = ChildSkin->GetMDIClientArea();
    EXPECT_EQ(Area, Rect(0, 30, Main->ClientWidth(), Main->ClientHeight()));
    EXPECT_EQ(GetActiveMDIChildForm(), ChildSkin);
    EXPECT_EQ(GetMaximizedMDIChildForm(), nullptr);

    ChildSkin->FWindowState = wsMaximized; // as the window-state commands leave it
    SendMessageW(Child->Handle(), WM_MDICHILDMOVE, 0, 0);
    EXPECT_EQ(Child->BoundsRect(), Rect(0, 0, Area.Right - Area.Left, Area.Bottom - Area.Top));
    SendMessageW(Main->Handle(), WM_MDICHILDMAX, 0, 0);
    EXPECT_TRUE(MainSkin->MDIChildMaximized());
    EXPECT_EQ(GetMaximizedMDIChildForm(), ChildSkin);
    EXPECT_EQ(MainSkin->FindMaximizedMDIChild(), Child);

    ChildSkin->FWindowState = wsNormal;
    SendMessageW(Main->Handle(), WM_MDICHILDRESTORE, 0, 0);
    EXPECT_FALSE(MainSkin->MDIChildMaximized());

    ChildSkin->FWindowState = wsMaximized;
    SendMessageW(Main->Handle(), WM_MDICHILDMAX, 0, 0);
    delete Child; // a child going away tells its parent
    Pump();
    EXPECT_FALSE(MainSkin->MDIChildMaximized());
}

} // namespace
