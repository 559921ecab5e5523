// The desktop back-end under a virtual X server: a window opened through it shows its pixels in a
// screenshot of the display, and a window it owns goes and comes back with its minimised and restored
// owner. The test runs itself again under xvfb-run.
#include "WinTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnderDisplay.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <SDL.h>

namespace {

// A window painted all in one colour.
template <BYTE Red, BYTE Green, BYTE Blue> LRESULT SolidProc(HWND h, UINT M, WPARAM W, LPARAM L) {
    if (M == WM_PAINT) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(h, &Ps);
        RECT R;
        GetClientRect(h, &R);
        HBRUSH B = CreateSolidBrush(RGB(Red, Green, Blue));
        FillRect(Dc, &R, B);
        DeleteObject(B);
        EndPaint(h, &Ps);
        return 0;
    }
    return DefWindowProcW(h, M, W, L);
}

// Registers a window class whose windows paint all in one colour.
template <BYTE Red, BYTE Green, BYTE Blue> void RegisterSolidClass(const char16_t* Name) {
    WNDCLASSEXW K{};
    K.lpszClassName = Name;
    K.lpfnWndProc = &SolidProc<Red, Green, Blue>;
    RegisterClassExW(&K);
}

std::uint32_t Be32(const std::vector<unsigned char>& D, std::size_t At) {
    return (std::uint32_t(D[At]) << 24) | (std::uint32_t(D[At + 1]) << 16) | (std::uint32_t(D[At + 2]) << 8) |
           D[At + 3];
}

// The colour at (X, Y) of an X window dump of a 24- or 32-bit true-colour screen, as 0xRRGGBB.
bool XwdPixel(const std::string& File, int X, int Y, std::uint32_t& Rgb) {
    std::ifstream F(File, std::ios::binary);
    std::vector<unsigned char> D((std::istreambuf_iterator<char>(F)), std::istreambuf_iterator<char>());
    if (D.size() < 100) {
        std::fprintf(stderr, "xwd: %zu bytes\n", D.size());
        return false;
    }
    std::uint32_t HeaderSize = Be32(D, 0), Width = Be32(D, 16), Height = Be32(D, 20), ByteOrder = Be32(D, 28),
                  Bpp = Be32(D, 44), BytesPerLine = Be32(D, 48), RedMask = Be32(D, 56), GreenMask = Be32(D, 60),
                  BlueMask = Be32(D, 64), NColors = Be32(D, 76);
    std::uint32_t Bytes = Bpp / 8;
    std::size_t At = HeaderSize + std::size_t(NColors) * 12 + std::size_t(Y) * BytesPerLine + std::size_t(X) * Bytes;
    if ((Bytes != 3 && Bytes != 4) || std::uint32_t(X) >= Width || std::uint32_t(Y) >= Height || At + Bytes > D.size())
        return false;
    std::uint32_t P = 0;
    for (std::uint32_t I = 0; I < Bytes; ++I)
        P |= std::uint32_t(D[At + (ByteOrder == 0 ? I : Bytes - 1 - I)]) << (8 * I);
    auto Chan = [&](std::uint32_t Mask) {
        if (!Mask)
            return 0u;
        int Shift = 0;
        while (!((Mask >> Shift) & 1))
            ++Shift;
        return ((P & Mask) >> Shift) & 0xFF;
    };
    Rgb = (Chan(RedMask) << 16) | (Chan(GreenMask) << 8) | Chan(BlueMask);
    return true;
}

void RunUnderDisplay(const std::string& Dir) {
    ResetWindowManager();
    ASSERT_TRUE(UseDesktopBackend());
    RegisterSolidClass<255, 0, 0>(u"Red");
    HWND H = CreateWindowExW(0, u"Red", u"Quorvane", WS_POPUP | WS_VISIBLE, 100, 100, 120, 80, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(H);
    // A round window: its region becomes the host's shape.
    HWND Round =
        CreateWindowExW(0, u"Red", u"", WS_POPUP | WS_VISIBLE, 300, 100, 100, 100, nullptr, nullptr, nullptr, nullptr);
    SetWindowRgn(Round, CreateEllipticRgn(0, 0, 100, 100), TRUE);
    int Rounds = 0;
    for (; Rounds < 200 && !(DesktopWindowExposed(H) && DesktopWindowExposed(Round)); ++Rounds) {
        ProcessPendingMessages();
        WaitForEvents(50);
    }
    ASSERT_TRUE(DesktopWindowExposed(H));
    std::string Shot = Dir + "/screen.xwd";
    std::uint32_t Inside = 0, Outside = 0, RoundCentre = 0, RoundCorner = 0;
    bool Seen = false;
    for (int Try = 0; Try < 20 && !Seen; ++Try) {
        ProcessPendingMessages();
        WaitForEvents(20);
        ASSERT_EQ(std::system(("xwd -root -silent -out " + Shot).c_str()), 0);
        ASSERT_TRUE(XwdPixel(Shot, 160, 140, Inside));
        ASSERT_TRUE(XwdPixel(Shot, 20, 20, Outside));
        ASSERT_TRUE(XwdPixel(Shot, 350, 150, RoundCentre));
        ASSERT_TRUE(XwdPixel(Shot, 302, 102, RoundCorner));
        Seen = Inside == 0xFF0000 && RoundCentre == 0xFF0000;
    }
    EXPECT_EQ(RoundCentre, 0xFF0000u);
    EXPECT_NE(RoundCorner, 0xFF0000u);
    EXPECT_EQ(Inside, 0xFF0000u);
    EXPECT_NE(Outside, 0xFF0000u);

    // A window owned by the first leaves the display while its owner is minimised and comes back with it.
    HWND Owned =
        CreateWindowExW(0, u"Red", u"", WS_POPUP | WS_VISIBLE, 100, 300, 120, 80, H, nullptr, nullptr, nullptr);
    ASSERT_TRUE(Owned);
    auto OwnedShows = [&](bool Red) {
        std::uint32_t Pixel = 0;
        for (int Try = 0; Try < 100; ++Try) {
            ProcessPendingMessages();
            WaitForEvents(20);
            if (std::system(("xwd -root -silent -out " + Shot).c_str()) != 0 || !XwdPixel(Shot, 160, 340, Pixel))
                return false;
            if ((Pixel == 0xFF0000u) == Red)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(OwnedShows(true));
    ShowWindow(H, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(Owned));
    EXPECT_TRUE(OwnedShows(false));
    ShowWindow(H, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(Owned));
    EXPECT_TRUE(OwnedShows(true));
    DestroyWindow(H);
}

// A layered window's constant opacity reaches the display as the host window's opacity property; pictures with
// their own alpha per pixel are not offered, since the display has no compositor to blend them.
void RunOpacityUnderDisplay() {
    ResetWindowManager();
    ASSERT_TRUE(UseDesktopBackend());
    EXPECT_EQ(GetUserProcAddress("UpdateLayeredWindow"), nullptr);
    EXPECT_NE(GetUserProcAddress("SetLayeredWindowAttributes"), nullptr);
    RegisterSolidClass<255, 0, 0>(u"Red");
    HWND H = CreateWindowExW(WS_EX_LAYERED, u"Red", u"QuorvaneGlass", WS_POPUP | WS_VISIBLE, 100, 100, 120, 80, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_TRUE(H);
    SetLayeredWindowAttributes(H, 0, 128, LWA_ALPHA);
    for (int Rounds = 0; Rounds < 200 && !DesktopWindowExposed(H); ++Rounds) {
        ProcessPendingMessages();
        WaitForEvents(50);
    }
    ASSERT_TRUE(DesktopWindowExposed(H));
    // The property as xprop prints it: "_NET_WM_WINDOW_OPACITY(CARDINAL) = 2155905152", or "not found".
    auto Opacity = [] {
        std::string Out;
        FILE* P = popen("xprop -name QuorvaneGlass _NET_WM_WINDOW_OPACITY 2>&1", "r");
        if (!P)
            return Out;
        std::array<char, 256> Buf;
        while (std::fgets(Buf.data(), int(Buf.size()), P))
            Out += Buf.data();
        pclose(P);
        return Out;
    };
    // Painted and shown again on the display first: the opacity must outlive the host's first picture.
    InvalidateRect(H, nullptr, TRUE);
    UpdateWindow(H);
    ProcessPendingMessages();
    WaitForEvents(50);
    std::string Half = Opacity();
    auto Eq = Half.find("= ");
    ASSERT_NE(Eq, std::string::npos) << Half;
    const double Value = std::strtod(Half.c_str() + Eq + 2, nullptr);
    EXPECT_NEAR(Value / 4294967295.0, 128.0 / 255.0, 0.002) << Half;
    // No longer layered: opaque, and the property goes.
    SetWindowLongW(H, GWL_EXSTYLE, GetWindowLongW(H, GWL_EXSTYLE) & ~LONG(WS_EX_LAYERED));
    ProcessPendingMessages();
    WaitForEvents(20);
    EXPECT_NE(Opacity().find("not found"), std::string::npos);
    DestroyWindow(H);
}

// A drop-down over the active window: it stays above that window however often the window paints, and the
// keyboard stays with that window while the drop-down is open and after it closes (a display without a window
// manager gives the keyboard to each window it maps).
void RunPopupUnderDisplay(const std::string& Dir) {
    ResetWindowManager();
    ASSERT_TRUE(UseDesktopBackend());
    RegisterSolidClass<255, 0, 0>(u"Red");
    RegisterSolidClass<0, 0, 255>(u"Blue");
    HWND H = CreateWindowExW(0, u"Red", u"QuorvaneMain", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(H);
    SetActiveWindow(H);
    HWND Drop =
        CreateWindowExW(WS_EX_TOOLWINDOW, u"Blue", u"", WS_POPUP, 150, 150, 80, 60, H, nullptr, nullptr, nullptr);
    ASSERT_TRUE(Drop);
    auto Settle = [](int Rounds) {
        for (int I = 0; I < Rounds; ++I) {
            ProcessPendingMessages();
            WaitForEvents(20);
        }
    };
    for (int Rounds = 0; Rounds < 200 && !DesktopWindowExposed(H); ++Rounds)
        Settle(1);
    ASSERT_TRUE(DesktopWindowExposed(H));
    auto KeyboardWindow = [] {
        SDL_Window* W = SDL_GetKeyboardFocus();
        return std::string(W ? SDL_GetWindowTitle(W) : "(none)");
    };
    Settle(5);
    EXPECT_EQ(KeyboardWindow(), "QuorvaneMain");

    SetWindowPos(Drop, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    for (int Rounds = 0; Rounds < 200 && !DesktopWindowExposed(Drop); ++Rounds)
        Settle(1);
    ASSERT_TRUE(DesktopWindowExposed(Drop));
    for (int I = 0; I < 3; ++I) {
        InvalidateRect(H, nullptr, TRUE);
        UpdateWindow(H);
        Settle(5);
    }
    const std::string Shot = Dir + "/popup.xwd";
    std::uint32_t Over = 0;
    ASSERT_EQ(std::system(("xwd -root -silent -out " + Shot).c_str()), 0);
    ASSERT_TRUE(XwdPixel(Shot, 190, 180, Over));
    EXPECT_EQ(Over, 0x0000FFu);
    EXPECT_EQ(KeyboardWindow(), "QuorvaneMain");

    ShowWindow(Drop, SW_HIDE);
    Settle(10);
    EXPECT_EQ(KeyboardWindow(), "QuorvaneMain");
    DestroyWindow(Drop);
    DestroyWindow(H);
}

// Runs one test of this program again under a virtual X server, with Dir for its files.
void RunSelfUnderDisplay(const std::string& Dir, const std::string& Test) {
    uitest::RunSelfUnderDisplay("QV_DESKTOP_TEST_DIR=" + Dir, Test);
}

TEST(DesktopBackend, ConstantOpacityBecomesTheHostWindowsOpacity) {
    if (std::getenv("QV_DESKTOP_TEST_DIR")) {
        RunOpacityUnderDisplay();
        return;
    }
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run and xprop are needed";
    const TTempDir Temp;
    RunSelfUnderDisplay(Temp.Folder().string(), "DesktopBackend.ConstantOpacityBecomesTheHostWindowsOpacity");
}

TEST(DesktopBackend, ADropDownStaysAboveThePaintingActiveWindowWhichKeepsTheKeyboard) {
    if (const char* Dir = std::getenv("QV_DESKTOP_TEST_DIR")) {
        RunPopupUnderDisplay(Dir);
        return;
    }
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run and xwd are needed";
    const TTempDir Temp;
    RunSelfUnderDisplay(Temp.Folder().string(),
                        "DesktopBackend.ADropDownStaysAboveThePaintingActiveWindowWhichKeepsTheKeyboard");
}

TEST(DesktopBackend, WindowShowsInAScreenshotOfTheDisplay) {
    if (const char* Dir = std::getenv("QV_DESKTOP_TEST_DIR")) {
        RunUnderDisplay(Dir);
        return;
    }
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xwd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run and xwd are needed";
    const TTempDir Temp;
    RunSelfUnderDisplay(Temp.Folder().string(), "DesktopBackend.WindowShowsInAScreenshotOfTheDisplay");
}

} // namespace
