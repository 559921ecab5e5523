// The tray icon on a real X display (a virtual X server): the test plays the system tray itself. It owns the tray
// selection, takes in the icon window the dock request names and maps it, and then looks at what the icon drew,
// what it is called, and where the pointer on it ends up. It also lets the tray go and a new one come, and checks
// that without a tray nothing is docked and nothing is left on the display. The test runs itself again under
// xvfb-run.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/WinExtras.h"
#include "skin/forms/bsTrayIcon.h"
#include "tests/skin/forms/TestSystemTray.h"
#include "tests/support/UiFixture.h"
#include "tests/support/UnderDisplay.h"

namespace {

bool UnderDisplay() {
    return std::getenv("QV_TRAY_TEST_UNDER_DISPLAY") != nullptr;
}

// Runs one test of this program again under a virtual X server, where it must pass (not skip).
void RunSelfUnderDisplay(const std::string& Test) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is needed";
    const std::string Out = uitest::RunSelfUnderDisplay("QV_TRAY_TEST_UNDER_DISPLAY=1", Test);
    EXPECT_NE(Out.find("[  PASSED  ] 1 test"), std::string::npos) << Out;
}

// A 16 x 16 icon: a square of Colour with a transparent border of 4 pixels.
HICON SquareIcon(std::uint32_t Colour) {
    std::vector<std::uint32_t> Pixels(256, 0);
    for (int Y = 4; Y < 12; ++Y)
        for (int X = 4; X < 12; ++X)
            Pixels[std::size_t(Y * 16 + X)] = 0xFF000000u | Colour;
    return CreateIconFromPixels(16, 16, Pixels.data());
}

class TrayIconDesktopTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        if (!UnderDisplay())
            return;
        ASSERT_TRUE(UseDesktopBackend());
        Application->CreateForm(Main);
        Main->SetBounds(200, 100, 200, 150);
    }
    void TearDown() override {
        delete Tray;
        uitest::UiTest::TearDown();
    }
    void MakeIcon() {
        Tray = new TbsTrayIcon(Main);
        TIcon Red;
        Red.SetHandle(SquareIcon(0xFF0000));
        Tray->SetIcon(&Red);
        Tray->SetHint(u"Quorvane 转换");
        Tray->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState, int X, int Y) {
            Log.push_back("down " + std::to_string(int(B)) + " at " + std::to_string(X) + "," + std::to_string(Y));
        };
        Tray->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Log.push_back("up " + std::to_string(int(B)));
        };
        Tray->OnClick = [this](TObject*) { Log.push_back("click"); };
        Tray->OnDblClick = [this](TObject*) { Log.push_back("double click"); };
        // As a form built in its constructor loads it: the visible icon is added.
        Tray->BeginLoading();
        Tray->EndLoading();
    }
    // Runs both sides until Done holds (or about five seconds went by).
    bool PumpUntil(TTestSystemTray* TestTray, const std::function<bool()>& Done) {
        for (int I = 0; I < 500; ++I) {
            Pump();
            if (TestTray)
                TestTray->Serve();
            if (Done())
                return true;
            WaitForEvents(10);
        }
        return false;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }

    TForm* Main = nullptr;
    TbsTrayIcon* Tray = nullptr;
    std::vector<std::string> Log;
};

TEST_F(TrayIconDesktopTest, TheIconDocksDrawsAndTellsTheFormOfThePointer) {
    if (!UnderDisplay())
        return RunSelfUnderDisplay("TrayIconDesktopTest.TheIconDocksDrawsAndTellsTheFormOfThePointer");
    auto TestTray = std::make_unique<TTestSystemTray>();
    MakeIcon();
    ASSERT_TRUE(PumpUntil(TestTray.get(), [&] { return !TestTray->Docks.empty(); })) << "no dock request";
    const unsigned long Icon = TestTray->Docks[0];
    EXPECT_EQ(TestTray->EmbedInfo, (std::vector<long>{0, 1})) << "version 0, mapped by the tray";
    EXPECT_EQ(TestTray->Name(Icon), "Quorvane 转换");
    // Drawn in the middle, scaled to the tray's 24 pixels; the tray's grey shows through the transparent border.
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Pixel(12, 12) == 0xFF0000; }));
    EXPECT_EQ(TestTray->Pixel(1, 1), 0x808080u);

    // A click and a double click, as the display tells them, reach the form's events.
    TestTray->Button(Icon, true, 1, 5000, 21, 22);
    TestTray->Button(Icon, false, 1, 5050, 21, 22);
    ASSERT_TRUE(PumpUntil(TestTray.get(), [&] { return Log.size() == 2; }));
    Wait(GetDoubleClickTime() + 10);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down 0 at 21,22", "up 0", "click"}));
    TestTray->Button(Icon, true, 1, 9000, 20, 20);
    TestTray->Button(Icon, false, 1, 9050, 20, 20);
    TestTray->Button(Icon, true, 1, 9150, 21, 20);
    TestTray->Button(Icon, false, 1, 9200, 21, 20);
    TestTray->Button(Icon, true, 3, 12000, 20, 20);
    ASSERT_TRUE(PumpUntil(TestTray.get(), [&] { return Log.size() == 5; }));
    Wait(GetDoubleClickTime() + 10);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down 0 at 20,20", "up 0", "double click", "up 0", "down 1 at 20,20"}));

    // A new picture and a new tip show in the same window.
    TIcon Blue;
    Blue.SetHandle(SquareIcon(0x0000FF));
    Tray->SetIcon(&Blue);
    Tray->SetHint(u"Two");
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Pixel(12, 12) == 0x0000FF; }));
    EXPECT_EQ(TestTray->Name(Icon), "Two");

    // A balloon goes to the tray as the icon's message, and hiding it takes it back.
    EXPECT_TRUE(Tray->ShowBalloonHint(u"Done", u"All files converted: 转换完成", bsbitInfo));
    EXPECT_TRUE(Tray->HideBalloonHint());
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Messages.size() == 2; }));
    EXPECT_EQ(TestTray->Messages,
              (std::vector<std::string>{"show 1 for 10000: Done\nAll files converted: 转换完成", "cancel 1"}));

    // The tray goes: its icon leaves the display with it, and the area is absent.
    TestTray.reset();
    EXPECT_TRUE(PumpUntil(nullptr, [&] { return !Tray->Refresh(); }));
    EXPECT_TRUE(PumpUntil(nullptr, [&] { return TTestSystemTray::RootChildren().count(Icon) == 0; }))
        << "the icon was left on the root window";

    // A new tray: the icon docks again, with its latest picture and tip, and the application's window is told.
    UINT Created = 0;
    const UINT TaskbarCreated = RegisterWindowMessageW(u"TaskbarCreated");
    auto Link = std::make_shared<WNDPROC>(nullptr);
    *Link = SubclassWindowProc(Application->Handle(), [&, Link](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        if (Msg == TaskbarCreated)
            ++Created;
        return CallPrevWndProc(*Link, H, Msg, W, L);
    });
    TestTray = std::make_unique<TTestSystemTray>();
    ASSERT_TRUE(PumpUntil(TestTray.get(), [&] { return !TestTray->Docks.empty() && Created == 1; }));
    const unsigned long Again = TestTray->Docks[0];
    EXPECT_EQ(TestTray->Name(Again), "Two");
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Pixel(12, 12) == 0x0000FF; }));
    EXPECT_TRUE(Tray->Refresh());
    EXPECT_EQ(TestTray->Docks.size(), 1u) << "docked once, though the icon was added again on the notice";

    // An icon whose window went without deleting it goes when the pointer comes to it.
    NOTIFYICONDATAW Orphan;
    Orphan.hWnd = AllocateHWnd([](TMessage&) {});
    Orphan.uID = 7;
    Orphan.uFlags = NIF_MESSAGE | NIF_ICON;
    Orphan.uCallbackMessage = WM_USER + 7;
    Orphan.hIcon = Tray->Icon()->Handle();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &Orphan));
    ASSERT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Docks.size() == 2; }));
    DeallocateHWnd(Orphan.hWnd);
    TestTray->Button(TestTray->Docks[1], true, 1, 20000, 20, 20);
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Destroyed.count(TestTray->Docks[1]) > 0; }));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &Orphan)) << "forgotten with its window";

    // Deleting the icon destroys its window.
    Tray->SetIconVisible(false);
    EXPECT_TRUE(PumpUntil(TestTray.get(), [&] { return TestTray->Destroyed.count(Again) > 0; }));
    RemoveWindowProcLink(Application->Handle(), *Link);
}

TEST_F(TrayIconDesktopTest, WithoutATrayNothingIsDockedAndNothingIsLeftOnTheDisplay) {
    if (!UnderDisplay())
        return RunSelfUnderDisplay("TrayIconDesktopTest.WithoutATrayNothingIsDockedAndNothingIsLeftOnTheDisplay");
    ASSERT_TRUE(PumpUntil(nullptr, [] { return !TTestSystemTray::TrayRuns(); }));
    const std::set<unsigned long> Before = TTestSystemTray::RootChildren();
    MakeIcon();
    EXPECT_FALSE(Tray->AddIcon());
    EXPECT_FALSE(Tray->Refresh());
    EXPECT_FALSE(Tray->ShowBalloonHint(u"Done", u"All files converted", bsbitInfo));
    Pump();
    EXPECT_EQ(TTestSystemTray::RootChildren(), Before);
    EXPECT_FALSE(Tray->DeleteIcon());
}

} // namespace
