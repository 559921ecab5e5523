// The tray icon over a recording notification area, on the tests' clock: the click decision, the disabled icon,
// the cuts of the tooltip and the balloon, the icon list and its cycling, the icon coming back with a new
// taskbar, the default item of the menu, showing the main form, and leaving the procedure chains.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/WinExtras.h"
#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"
#include "skin/forms/bsTrayIcon.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/skin/controls/ControlSkinFixture.h"

namespace {

class TrayIconTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        auto Recording = std::make_unique<TRecordingNotificationArea>();
        Area = Recording.get();
        Previous = SetNotificationArea(std::move(Recording));
        Application->CreateForm(Main);
        Main->SetBounds(100, 100, 300, 200);
        Main->Show();
        Pump();
        Tray = new TbsTrayIcon(Main);
        // As a form built in its constructor loads it: the visible icon is added.
        Tray->BeginLoading();
        Tray->EndLoading();
        Tray->OnClick = [this](TObject*) { Log.push_back("click"); };
        Tray->OnDblClick = [this](TObject*) { Log.push_back("double click"); };
        Tray->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Log.push_back("down " + std::to_string(int(B)));
        };
        Tray->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Log.push_back("up " + std::to_string(int(B)));
        };
    }
    void TearDown() override {
        SetNotificationArea(std::move(Previous));
        uitest::UiTest::TearDown();
    }
    // The notification area tells the icon's window of a mouse action.
    void Mouse(UINT Action) { SendMessageW(Tray->Handle(), WM_TRAYICONNOTIFY, 1, LPARAM(Action)); }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    const NOTIFYICONDATAW& Shown() { return Area->Icons.at({Tray->Handle(), 1u}); }
    TImageList* Icons(int N) {
        auto* L = new TImageList(Main, 16, 16);
        for (int I = 0; I < N; ++I) {
            TBitmap B(16, 16);
            ctltest::Fill(B, Rect(0, 0, 16, 16), TColor(0x101010 * (I + 1)));
            L->Add(&B, nullptr);
        }
        return L;
    }

    TRecordingNotificationArea* Area = nullptr;
    std::unique_ptr<TNotificationArea> Previous;
    TForm* Main = nullptr;
    TbsTrayIcon* Tray = nullptr;
    std::vector<std::string> Log;
};

TEST_F(TrayIconTest, AClickIsToldFromADoubleClickByTheDoubleClickTime) {
    const UINT T = GetDoubleClickTime();
    // A quick click fires when the click timer runs out.
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down 0", "up 0"}));
    Wait(T + 10);
    EXPECT_EQ(Take(), std::vector<std::string>{"click"});
    // Held past the double-click time, it fires at the release.
    Mouse(WM_LBUTTONDOWN);
    Wait(T + 10);
    EXPECT_EQ(Take(), std::vector<std::string>{"down 0"});
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(Take(), (std::vector<std::string>{"click", "up 0"}));
    // A double click fires only its own event.
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Mouse(WM_LBUTTONDBLCLK);
    Mouse(WM_LBUTTONUP);
    Wait(T + 10);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down 0", "up 0", "double click", "up 0"}));
}

TEST_F(TrayIconTest, ADisabledIconFiresNothingButKeepsItsTooltipAndBalloon) {
    Tray->SetEnabled(false);
    for (UINT A : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(WM_LBUTTONUP), UINT(WM_LBUTTONDBLCLK),
                   UINT(WM_RBUTTONDOWN), UINT(WM_RBUTTONUP), UINT(WM_MBUTTONDOWN), UINT(WM_MBUTTONUP)})
        Mouse(A);
    Wait(GetDoubleClickTime() + 10);
    EXPECT_EQ(Take(), std::vector<std::string>{});
    Tray->SetHint(u"Quorvane");
    EXPECT_EQ(NotifyText(Shown().szTip), u"Quorvane");
    EXPECT_TRUE(Tray->ShowBalloonHint(u"Done", u"All files converted", bsbitInfo));
    EXPECT_EQ(NotifyText(Shown().szInfo), u"All files converted");
}

TEST_F(TrayIconTest, TheTooltipTheBalloonAndItsTitleAreCut) {
    Tray->SetHint(String(200, u'h'));
    EXPECT_EQ(NotifyText(Shown().szTip), String(127, u'h'));
    EXPECT_EQ(Shown().uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_TRUE(Tray->ShowBalloonHint(String(80, u't'), String(300, u'b'), bsbitWarning));
    const NOTIFYICONDATAW& Balloon = Area->Requests.back().Data;
    EXPECT_EQ(NotifyText(Balloon.szInfo), String(255, u'b'));
    EXPECT_EQ(NotifyText(Balloon.szInfoTitle), String(63, u't'));
    EXPECT_EQ(Balloon.dwInfoFlags, NIIF_WARNING);
    EXPECT_EQ(Balloon.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(Balloon.cbSize, 956u);
    EXPECT_EQ(Balloon.uCallbackMessage, 2048u);
    EXPECT_EQ(Tray->IconData().uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP)) << "set back after the balloon";
    Tray->SetShowHint(false);
    EXPECT_EQ(NotifyText(Shown().szTip), u"");
}

TEST_F(TrayIconTest, TheIconIndexStaysInTheListAndCyclingWrapsToTheFirstImage) {
    Tray->SetIconList(Icons(4));
    Tray->SetIconIndex(10);
    EXPECT_EQ(Tray->IconIndex(), 3);
    EXPECT_EQ(Shown().hIcon, Tray->Icon()->Handle());

    std::vector<int> Next;
    Tray->OnCycle = [&](TObject*, int N) { Next.push_back(N); };
    Tray->SetIconList(Icons(3));
    Tray->SetAnimateTimerInterval(100);
    Tray->SetCycleIcons(true);
    Tray->SetIconIndex(2);
    Wait(100);
    EXPECT_EQ(Next, std::vector<int>{0});
    EXPECT_EQ(Tray->IconIndex(), 0);
    Wait(100);
    EXPECT_EQ(Next, (std::vector<int>{0, 1}));
}

TEST_F(TrayIconTest, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    ASSERT_TRUE(Area->Icons.count({Tray->Handle(), 1u}));
    Area->Restart();
    SendMessageW(Application->Handle(), TbsTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(Area->Icons.count({Tray->Handle(), 1u}));
    Tray->SetIconVisible(false);
    Area->Restart();
    SendMessageW(Application->Handle(), TbsTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(Area->Icons.count({Tray->Handle(), 1u})) << "a hidden icon stays away";
}

TEST_F(TrayIconTest, ADoubleClickRunsTheFirstDefaultItemOfTheMenu) {
    new TbsSkinForm(Main);
    auto* Menu = new TbsSkinPopupMenu(Main);
    for (int I = 0; I < 6; ++I) {
        auto* Item = new TMenuItem(Main);
        Item->SetCaption(u"Item " + IntToStr(I));
        Item->SetDefault(I == 2 || I == 5);
        Item->OnClick = [this, I](TObject*) { Log.push_back("item " + std::to_string(I)); };
        Menu->Items()->Add(Item);
    }
    Tray->SetPopupMenu(Menu);
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Take(), (std::vector<std::string>{"double click", "item 2"}));
    Tray->SetPopupByLeftButton(true);
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Take(), std::vector<std::string>{"double click"});
}

TEST_F(TrayIconTest, ShowingAMinimizedMainFormRestoresItAndPostsItsNotice) {
    std::vector<UINT> Posted;
    TWndMethod Old = Main->WindowProc();
    Main->SetWindowProc([&, Old](TMessage& M) {
        if (M.Msg == 1426)
            Posted.push_back(M.Msg);
        Old(M);
    });
    Main->SetWindowState(wsMinimized);
    Tray->HideMainForm();
    EXPECT_FALSE(Main->Visible());
    EXPECT_EQ(Main->Tag(), -10000);
    Tray->ShowMainForm();
    EXPECT_TRUE(Main->Visible());
    EXPECT_EQ(Main->WindowState(), wsNormal);
    EXPECT_TRUE(Posted.empty()) << "posted, not sent";
    Pump();
    EXPECT_EQ(Posted, std::vector<UINT>{1426});
    Main->SetWindowProc(Old);
}

TEST_F(TrayIconTest, MinimizingTheApplicationHidesTheMainFormIntoTheTray) {
    Tray->SetIconVisible(false);
    Application->Minimize();
    Pump();
    EXPECT_FALSE(Main->Visible());
    EXPECT_TRUE(Tray->IconVisible());
    EXPECT_TRUE(Area->Icons.count({Tray->Handle(), 1u}));
}

TEST_F(TrayIconTest, ALaterHookOnTheFormAndTheApplicationWindowKeepsWorkingWhenTheIconGoes) {
    int FormSeen = 0, AppSeen = 0;
    TWndMethod Old = Main->WindowProc();
    Main->SetWindowProc([&, Old](TMessage& M) {
        if (M.Msg == WM_USER + 77)
            ++FormSeen;
        Old(M);
    });
    const HWND App = Application->Handle();
    auto Link = std::make_shared<WNDPROC>(nullptr);
    *Link = SubclassWindowProc(App, [&, Link](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        if (Msg == WM_USER + 77)
            ++AppSeen;
        return CallPrevWndProc(*Link, H, Msg, W, L);
    });
    delete Tray;
    Tray = nullptr;
    Main->Perform(WM_USER + 77, 0, 0);
    SendMessageW(App, WM_USER + 77, 0, 0);
    EXPECT_EQ(FormSeen, 1);
    EXPECT_EQ(AppSeen, 1);
    RemoveWindowProcLink(App, *Link);
    Main->SetWindowProc(Old);
}

TEST_F(TrayIconTest, WithoutADesktopAreaTheIconReportsFailureAndNothingElseChanges) {
    SetNotificationArea(nullptr); // the desktop's: absent
    EXPECT_FALSE(Tray->AddIcon());
    EXPECT_FALSE(Tray->ShowBalloonHint(u"t", u"x", bsbitError));
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Wait(GetDoubleClickTime() + 10);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down 0", "up 0", "click"}));
}

} // namespace
