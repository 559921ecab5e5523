// The modal popup the shell context menu runs.
#include "platform/ui/UiTestFixture.h"

#include "platform/ui/Forms.h"
#include "platform/ui/TrackPopup.h"
#include "platform/win/WinExtras.h"

#include <memory>

namespace {

class TrackPopupTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Focus = std::make_unique<TWinControl>(nullptr);
        Focus->SetBounds(10, 10, 50, 50);
        SetFocus(Focus->Handle());
        Menu = std::make_unique<TPopupMenu>(nullptr);
        int Id = 1;
        for (const char16_t* Caption : {u"&Open", u"-", u"Rena&me", u"&Delete"}) {
            auto* Item = new TMenuItem(Menu.get());
            Item->SetCaption(Caption);
            Item->SetTag(Id++);
            Item->OnClick = [this, Caption](TObject*) { Clicked.push_back(Caption); };
            Menu->Items()->Add(Item);
        }
    }
    void TearDown() override {
        Menu.reset();
        Focus.reset();
        UiTest::TearDown();
    }
    std::unique_ptr<TWinControl> Focus;
    std::unique_ptr<TPopupMenu> Menu;
    std::vector<String> Clicked;
};

} // namespace

TEST_F(TrackPopupTest, ReturnsThePickedCommandWithoutRunningIt) {
    struct Case {
        const char* Name;
        std::vector<UINT> Keys;
        int Expected;
    };
    const Case Cases[] = {
        {"first item", {VK_DOWN, VK_RETURN}, 1},
        {"separator skipped", {VK_DOWN, VK_DOWN, VK_RETURN}, 3},
        {"accelerator", {'D'}, 4},
        {"escape", {VK_ESCAPE}, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (UINT K : C.Keys)
            InjectKeyPress(K);
        EXPECT_EQ(TrackPopupMenu(Menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, 100, 100, Focus->Handle()), C.Expected);
        EXPECT_EQ(Menu->PopupWindow(), nullptr);
        // The items are back in their menu.
        EXPECT_EQ(Menu->Items()->Count(), 4);
        EXPECT_EQ(Menu->Items()->Items(3)->GetParentMenu(), Menu.get());
    }
    EXPECT_TRUE(Clicked.empty());
}

TEST_F(TrackPopupTest, WithoutReturnCmdThePickedItemRuns) {
    InjectKeyPress('M');
    EXPECT_EQ(TrackPopupMenu(Menu.get(), 0, 100, 100, Focus->Handle()), 1);
    EXPECT_EQ(Clicked, (std::vector<String>{u"Rena&me"}));
    // A click outside the menu dismisses it.
    InjectClick(5, 400);
    EXPECT_EQ(TrackPopupMenu(Menu.get(), 0, 100, 100, Focus->Handle()), 0);
    EXPECT_EQ(Clicked.size(), 1u);
}
