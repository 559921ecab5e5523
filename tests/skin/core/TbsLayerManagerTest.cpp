#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win/WinExtras.h"
#include "skin/core/TbsBitmap.h"
#include "skin/core/bsUtils.h"

namespace {

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        FOldClock = SetWinClock(std::make_unique<TTestClock>());
        // A 4 x 3 image, left half red and right half blue; the mask's top row is black (see-through).
        Image.SetPixelFormat(pf32bit);
        Image.SetSize(4, 3);
        Image.Canvas()->Brush()->SetColor(clRed);
        Image.Canvas()->FillRect(TRect{0, 0, 2, 3});
        Image.Canvas()->Brush()->SetColor(clBlue);
        Image.Canvas()->FillRect(TRect{2, 0, 4, 3});
        Mask.SetSize(4, 3);
        Mask.Canvas()->Brush()->SetColor(clWhite);
        Mask.Canvas()->FillRect(TRect{0, 0, 4, 3});
        Mask.Canvas()->Brush()->SetColor(clBlack);
        Mask.Canvas()->FillRect(TRect{0, 0, 4, 1});
    }
    void TearDown() override {
        BindUserEntries();
        ResetWindowManager();
        SetWinClock(std::move(FOldClock));
    }
    // Runs the fade timer tick by tick until it stops; the opacity after each tick.
    std::vector<int> Fade(TbsLayerManager& M) {
        std::vector<int> Steps;
        for (int I = 0; I < 300 && M.TimerEnabled(); ++I) {
            WinClock().AdvanceTo(WinClock().Current() + TbsLayerManager::TimerInterval);
            ProcessPendingMessages();
            if (Steps.empty() || Steps.back() != M.BeginAlphaBlendValue)
                Steps.push_back(M.BeginAlphaBlendValue);
        }
        return Steps;
    }
    TBitmap Image, Mask;

private:
    std::unique_ptr<TWinClock> FOldClock;
};

// The platform's premultiplied composition of one channel of an opaque source at constant alpha A over D.
int Over(int S, int D, int A) {
    const int SP = (S * A + 127) / 255;
    return SP + (D * (255 - A) + 127) / 255;
}

} // namespace

TEST_F(LayerTest, GlowFadesInOnTheScreen) {
    const COLORREF Desk = ScreenPixel(101, 51);
    TbsLayerManager M(nullptr);
    M.Show(100, 50, &Image, &Mask, 128);
    ASSERT_NE(M.LayerWindow, nullptr);
    HWND Wnd = M.LayerWindow->Handle();
    EXPECT_TRUE(M.IsVisible);
    EXPECT_TRUE(IsWindowVisible(Wnd));
    EXPECT_EQ(DWORD(GetWindowLongW(Wnd, GWL_STYLE)), WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(DWORD(GetWindowLongW(Wnd, GWL_EXSTYLE)),
              WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageW(Wnd, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    // Fully transparent at first.
    EXPECT_EQ(ScreenPixel(100, 51), Desk);

    EXPECT_EQ(Fade(M), (std::vector<int>{12, 24, 36, 48, 60, 72, 84, 96, 108, 120, 128}));
    EXPECT_FALSE(M.TimerEnabled());

    // Red on the left, blue on the right at opacity 128; the see-through top row adds nothing to the desktop.
    const COLORREF Left = ScreenPixel(101, 51), Right = ScreenPixel(102, 52);
    EXPECT_EQ(Left, RGB(BYTE(Over(255, GetRValue(Desk), 128)), BYTE(Over(0, GetGValue(Desk), 128)),
                        BYTE(Over(0, GetBValue(Desk), 128))));
    EXPECT_EQ(Right, RGB(BYTE(Over(0, GetRValue(Desk), 128)), BYTE(Over(0, GetGValue(Desk), 128)),
                         BYTE(Over(255, GetBValue(Desk), 128))));
    EXPECT_EQ(ScreenPixel(101, 50), Desk);
    EXPECT_EQ(ScreenPixel(103, 50), Desk);

    M.Hide();
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(M.LayerWindow, nullptr);
    EXPECT_EQ(M.Bmp, nullptr);
    EXPECT_FALSE(M.IsVisible);
    EXPECT_EQ(ScreenPixel(101, 51), Desk);
}

TEST_F(LayerTest, ShowTwiceKeepsOneLayerAndHideWhenIdleOnlyStopsTheTimer) {
    TbsLayerManager M(nullptr);
    M.Hide();
    EXPECT_FALSE(M.TimerEnabled());
    EXPECT_EQ(M.LayerWindow, nullptr);

    M.Show(10, 10, &Image, &Mask, 255);
    HWND First = M.LayerWindow->Handle();
    M.Show(20, 10, &Image, &Mask, 255);
    EXPECT_FALSE(IsWindow(First));
    ASSERT_NE(M.LayerWindow, nullptr);
    RECT R;
    GetWindowRect(M.LayerWindow->Handle(), &R);
    EXPECT_EQ(R, (TRect{20, 10, 24, 13}));
    EXPECT_EQ(M.BeginAlphaBlendValue, 0);
    EXPECT_EQ(Fade(M).back(), 255);
}

TEST_F(LayerTest, FaintTargetsAreStillReached) {
    TbsLayerManager M(nullptr);
    M.Show(10, 10, &Image, &Mask, 5);
    EXPECT_EQ(M.StepAlphaBlendValue, 1);
    EXPECT_EQ(Fade(M), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(LayerTest, WithoutPerPixelLayeringNothingShowsAndNothingFails) {
    const COLORREF Desk = ScreenPixel(101, 51);
    UserEntries().UpdateLayeredWindow = nullptr;
    UserEntries().SetLayeredWindowAttributes = nullptr;
    TbsLayerManager M(nullptr);
    M.Show(100, 50, &Image, &Mask, 200);
    ASSERT_NE(M.LayerWindow, nullptr);
    EXPECT_TRUE(IsWindow(M.LayerWindow->Handle()));
    Fade(M);
    EXPECT_EQ(ScreenPixel(101, 51), Desk);
    SetLayeredWindowAlpha(M.LayerWindow->Handle(), 50);
    BYTE Alpha = 0;
    DWORD Flags = 0;
    EXPECT_FALSE(GetLayeredWindowAttributes(M.LayerWindow->Handle(), nullptr, &Alpha, &Flags) && (Flags & LWA_ALPHA));
}

TEST_F(LayerTest, MergedImageTakesItsAlphaFromTheMask) {
    TbsBitmap Dest;
    MergeImageAndMask(&Image, &Mask, &Dest);
    EXPECT_EQ(*Dest.GetPixelPtr(0, 0), 0x00FF0000u);
    EXPECT_EQ(*Dest.GetPixelPtr(1, 1), 0xFFFF0000u);
    EXPECT_EQ(*Dest.GetPixelPtr(3, 2), 0xFF0000FFu);
}

TEST_F(LayerTest, SystemEntries) {
    WNDCLASSEXW Class;
    Class.lpfnWndProc = &DefWindowProcW;
    Class.lpszClassName = u"QvLayerTestWindow";
    RegisterClassExW(&Class);
    HWND Wnd = CreateWindowExW(WS_EX_LAYERED, u"QvLayerTestWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    SetLayeredWindowAlpha(Wnd, 77);
    BYTE Alpha = 0;
    DWORD Flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Wnd, nullptr, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 77);
    EXPECT_EQ(Flags, LWA_ALPHA);

    TRect Work, Full, Monitor;
    GetDesktopWorkArea(true, Work);
    GetDesktopWorkArea(false, Full);
    EXPECT_EQ(Full, (TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    RECT Spi;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Spi, 0);
    EXPECT_EQ(Work, Spi);
    GetMonitorWorkArea(Wnd, true, Monitor);
    EXPECT_EQ(Monitor, Work);
    EXPECT_FALSE(HasMultipleMonitors());

    struct Case {
        int Major, Minor;
        bool XP, W2000;
    };
    for (const Case& C : {Case{5, 0, false, true}, Case{5, 1, true, true}, Case{5, 2, false, true},
                          Case{6, 0, true, true}, Case{4, 10, false, false}})
        EXPECT_EQ((std::pair{IsWindowsXPOrLater(C.Major, C.Minor), IsWindows2000OrLater(C.Major, C.Minor)}),
                  (std::pair{C.XP, C.W2000}))
            << C.Major << "." << C.Minor;
    EXPECT_TRUE(IsWindowsVistaOrLater());
    EXPECT_TRUE(HasTransparentBlt());
}

// The scroll bar entry is bound by name and tells where a window's bar, arrows and thumb lie on the screen.
TEST_F(LayerTest, ScrollBarInfoEntry) {
    ASSERT_NE(UserEntries().GetScrollBarInfo, nullptr);
    WNDCLASSEXW Class;
    Class.lpfnWndProc = &DefWindowProcW;
    Class.lpszClassName = u"QvScrollInfoWindow";
    RegisterClassExW(&Class);
    HWND Wnd = CreateWindowExW(0, u"QvScrollInfoWindow", u"", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 30, 40, 100, 80,
                               nullptr, nullptr, nullptr, nullptr);
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Si.nMax = 99;
    Si.nPage = 10;
    SetScrollInfo(Wnd, SB_VERT, &Si, TRUE);

    const int Thick = GetSystemMetrics(SM_CXVSCROLL);
    const int Arrow = std::min(Thick, 40);
    const int Thumb = std::max((80 - 2 * Arrow) * 10 / 100, 8);
    SCROLLBARINFO Info;
    ASSERT_TRUE(UserEntries().GetScrollBarInfo(Wnd, OBJID_VSCROLL, &Info));
    EXPECT_EQ(Info.rcScrollBar, (RECT{130 - Thick, 40, 130, 120}));
    EXPECT_EQ(Info.dxyLineButton, Arrow);
    EXPECT_EQ(Info.xyThumbTop, Arrow);
    EXPECT_EQ(Info.xyThumbBottom, Arrow + Thumb);
    EXPECT_EQ(Info.rgstate[0], 0u);

    SetScrollPos(Wnd, SB_VERT, 90, TRUE);
    ASSERT_TRUE(UserEntries().GetScrollBarInfo(Wnd, OBJID_VSCROLL, &Info));
    EXPECT_EQ(Info.xyThumbBottom, 80 - Arrow);

    ASSERT_TRUE(UserEntries().GetScrollBarInfo(Wnd, OBJID_HSCROLL, &Info));
    EXPECT_EQ(Info.rgstate[0], STATE_SYSTEM_INVISIBLE);
    EXPECT_FALSE(UserEntries().GetScrollBarInfo(Wnd, OBJID_CLIENT, &Info));
}
