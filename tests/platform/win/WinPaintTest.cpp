// Painting and composing on the headless screen: update areas and their messages, children and siblings
// clipped, window regions, layered windows, drop shadows, pictures saved as PNG.
#include "WinTestSupport.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

// Paints its client area in the colour kept in GWLP_USERDATA.
LRESULT ColourProc(HWND h, UINT M, WPARAM W, LPARAM L) {
    if (TMsgLog::Current)
        TMsgLog::Current->Record(h, M, W, L);
    if (M == WM_PAINT) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(h, &Ps);
        RECT R;
        GetClientRect(h, &R);
        HBRUSH B = CreateSolidBrush(COLORREF(GetWindowLongPtrW(h, GWLP_USERDATA)));
        FillRect(Dc, &R, B);
        DeleteObject(B);
        EndPaint(h, &Ps);
        return 0;
    }
    if (M == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(h, M, W, L);
}

class WinPaint : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        WNDCLASSEXW K;
        K.lpszClassName = u"Colour";
        K.lpfnWndProc = &ColourProc;
        RegisterClassExW(&K);
        K.lpszClassName = u"ColourShadow";
        K.style = CS_DROPSHADOW;
        RegisterClassExW(&K);
    }
    HWND Make(const std::string& Name, COLORREF C, DWORD Style, int X, int Y, int W, int H, HWND Parent = nullptr,
              DWORD Ex = 0, const char16_t* Class = u"Colour") {
        HWND h = CreateWindowExW(Ex, Class, u"", Style, X, Y, W, H, Parent, nullptr, nullptr, nullptr);
        Log.Names[h] = Name;
        SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(C));
        InvalidateRect(h, nullptr, TRUE);
        return h;
    }
    static constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0),
                              White = RGB(255, 255, 255), Black = RGB(0, 0, 0);
    COLORREF Desktop() const { return GetSysColor(COLOR_BACKGROUND); }
};

TEST_F(WinPaint, PaintMessagesInTheirOrder) {
    HWND A = Make("a", Red, WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 50, 50);
    Pump();
    Log.Clear();
    RECT R{5, 5, 10, 10};
    InvalidateRect(A, &R, TRUE);
    RedrawWindow(A, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASENOW);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_NCPAINT", "a:WM_ERASEBKGND"}));
    UpdateWindow(A);
    EXPECT_EQ(Log.Take(), (TSeq{"a:WM_PAINT"}));
    InvalidateRect(A, &R, FALSE);
    ValidateRect(A, nullptr);
    Pump();
    EXPECT_EQ(Log.Take(), TSeq{});
    InvalidateRect(A, &R, FALSE);
    RECT U;
    EXPECT_TRUE(GetUpdateRect(A, &U, FALSE));
    EXPECT_EQ(U, R);
}

// ReleaseDC gives back only what GetDC, GetDCEx and GetWindowDC handed out, once; a memory DC passed to it
// stays its owner's.
TEST_F(WinPaint, ReleaseDCGivesBackOnlyWhatTheGetCallsHandedOut) {
    HWND A = Make("a", Red, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    Pump();
    HDC Mem = CreateCompatibleDC(nullptr);
    EXPECT_EQ(ReleaseDC(A, Mem), 0);
    EXPECT_NE(SaveDC(Mem), 0);
    DeleteDC(Mem);
    for (HDC Dc : {GetDC(A), GetDCEx(A, nullptr, DCX_WINDOW), GetWindowDC(A), GetDC(nullptr)}) {
        ASSERT_NE(Dc, nullptr);
        EXPECT_EQ(ReleaseDC(A, Dc), 1);
        EXPECT_EQ(ReleaseDC(A, Dc), 0);
    }
}

// The update region is kept exactly as it was invalidated: painting reaches the invalidated parts
// and nothing between them, and validating a part takes just that part away.
TEST_F(WinPaint, TheUpdateRegionIsExactAndClipsPainting) {
    HWND A = Make("a", White, WS_POPUP | WS_VISIBLE, 0, 0, 10, 8);
    Pump();
    SetWindowLongPtrW(A, GWLP_USERDATA, LONG_PTR(Red));
    RECT Left{1, 1, 4, 4}, Right{6, 1, 9, 4};
    InvalidateRect(A, &Left, FALSE);
    InvalidateRect(A, &Right, FALSE);
    HRGN Lower = CreateRectRgn(3, 5, 7, 7);
    InvalidateRgn(A, Lower, FALSE);
    DeleteObject(Lower);
    ValidateRect(A, &Right);
    HRGN Update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(A, Update, FALSE), COMPLEXREGION);
    HRGN Expected = CreateRectRgn(1, 1, 4, 4);
    HRGN Part = CreateRectRgn(3, 5, 7, 7);
    CombineRgn(Expected, Expected, Part, RGN_OR);
    EXPECT_TRUE(EqualRgn(Update, Expected));
    DeleteObject(Part);
    DeleteObject(Expected);
    DeleteObject(Update);
    RECT Box;
    EXPECT_TRUE(GetUpdateRect(A, &Box, FALSE));
    EXPECT_EQ(Box, (RECT{1, 1, 7, 7}));
    Pump();
    const char* Picture[] = {
        "..........", //
        ".RRR......", //
        ".RRR......", //
        ".RRR......", //
        "..........", //
        "...RRRR...", //
        "...RRRR...", //
        "..........", //
    };
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 10; ++X)
            EXPECT_EQ(ScreenPixel(X, Y), Picture[Y][X] == 'R' ? Red : White) << X << "," << Y;
    EXPECT_FALSE(GetUpdateRect(A, &Box, FALSE));
}

// An invalidation a worker asks for keeps its exact shape until the GUI thread applies it.
TEST_F(WinPaint, AWorkersRegionIsAppliedExactly) {
    HWND A = Make("a", White, WS_POPUP | WS_VISIBLE, 0, 0, 10, 8);
    Pump();
    SetWindowLongPtrW(A, GWLP_USERDATA, LONG_PTR(Red));
    std::thread Worker([A] {
        HRGN Two = CreateRectRgn(0, 0, 2, 2);
        HRGN Far = CreateRectRgn(8, 6, 10, 8);
        CombineRgn(Two, Two, Far, RGN_OR);
        InvalidateRgn(A, Two, FALSE);
        DeleteObject(Far);
        DeleteObject(Two);
    });
    Worker.join();
    Pump();
    EXPECT_EQ(ScreenPixel(1, 1), Red);
    EXPECT_EQ(ScreenPixel(9, 7), Red);
    EXPECT_EQ(ScreenPixel(5, 4), White);
}

TEST_F(WinPaint, ChildrenAndSiblingsAreClipped) {
    HWND P = Make("p", Red, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
    HWND Low = Make("low", Blue, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 50, 50, P);
    HWND High = Make("high", Green, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 30, 30, 50, 50, P);
    (void)High;
    Pump();
    EXPECT_EQ(ScreenPixel(5, 5), Red);
    EXPECT_EQ(ScreenPixel(15, 15), Blue);
    EXPECT_EQ(ScreenPixel(40, 40), Green);
    // Painting the lower sibling again leaves the upper one alone; so does painting the parent.
    InvalidateRect(Low, nullptr, TRUE);
    InvalidateRect(P, nullptr, TRUE);
    SetWindowLongPtrW(Low, GWLP_USERDATA, LONG_PTR(White));
    SetWindowLongPtrW(P, GWLP_USERDATA, LONG_PTR(Black));
    UpdateWindow(P);
    EXPECT_EQ(ScreenPixel(15, 15), White);
    EXPECT_EQ(ScreenPixel(40, 40), Green);
    EXPECT_EQ(ScreenPixel(90, 90), Black);
}

// A child hidden or moved in a parent with a caption and a border gives back exactly the area it covered: the
// sibling below shows whole and the parent's client area is painted again where the child was.
TEST_F(WinPaint, AHiddenOrMovedChildUncoversItsWholeArea) {
    HWND P = Make("p", Red, WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 120, 120);
    HWND Below = Make("below", Blue, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 50, 50, P);
    HWND Cover = Make("cover", Green, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 50, 50, P);
    HWND Beside = Make("beside", Green, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 62, 10, 40, 40, P);
    Pump();
    POINT Origin{0, 0};
    ClientToScreen(P, &Origin);
    ASSERT_GT(Origin.Y, 0);
    ASSERT_EQ(ScreenPixel(Origin.X + 59, Origin.Y + 59), Green);
    ShowWindow(Cover, SW_HIDE);
    SetWindowPos(Beside, nullptr, 62, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    int Wrong = 0;
    for (int Y = 10; Y < 60; ++Y)
        for (int X = 10; X < 60; ++X)
            Wrong += ScreenPixel(Origin.X + X, Origin.Y + Y) != Blue;
    EXPECT_EQ(Wrong, 0);
    EXPECT_EQ(ScreenPixel(Origin.X + 101, Origin.Y + 49), Red); // where Beside was
    EXPECT_EQ(ScreenPixel(Origin.X + 80, Origin.Y + 70), Green);
    (void)Below;
}

TEST_F(WinPaint, WindowRegionClipsPaintingAndInputAndIsCopied) {
    HWND Back = Make("back", Blue, WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND Round = Make("round", Red, WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    HRGN Rgn = CreateEllipticRgn(0, 0, 100, 100);
    EXPECT_TRUE(SetWindowRgn(Round, Rgn, TRUE));
    DeleteObject(Rgn); // the window has its own copy
    Pump();
    EXPECT_EQ(ScreenPixel(100, 100), Red); // centre
    EXPECT_EQ(ScreenPixel(52, 52), Blue);  // corner outside the ellipse
    EXPECT_EQ(WindowFromPoint(POINT{100, 100}), Round);
    EXPECT_EQ(WindowFromPoint(POINT{52, 52}), Back);
    HRGN Got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(Round, Got), COMPLEXREGION);
    DeleteObject(Got);
}

TEST_F(WinPaint, ConstantAlphaAndColourKey) {
    Make("back", Black, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND Glass = Make("glass", White, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, WS_EX_LAYERED);
    Pump();
    // Layered but without attributes: not shown yet.
    EXPECT_EQ(ScreenPixel(10, 10), Black);
    SetLayeredWindowAttributes(Glass, 0, 128, LWA_ALPHA);
    EXPECT_EQ(ScreenPixel(10, 10), RGB(128, 128, 128));
    SetLayeredWindowAttributes(Glass, White, 255, LWA_COLORKEY);
    EXPECT_EQ(ScreenPixel(10, 10), Black);
    // Removing the style makes it an ordinary opaque window again.
    SetWindowLongW(Glass, GWL_EXSTYLE, 0);
    Pump();
    EXPECT_EQ(ScreenPixel(10, 10), White);
}

TEST_F(WinPaint, PerPixelLayeredWindowBlendsAndPassesTheMouseWhereTransparent) {
    HWND Back = Make("back", Blue, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND Layer = CreateWindowExW(WS_EX_LAYERED, u"Colour", u"", WS_POPUP | WS_VISIBLE, 0, 0, 4, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    // Four premultiplied pixels: transparent, opaque red, half-transparent white, opaque green.
    BITMAPINFO Bi{};
    Bi.bmiHeader.biWidth = 4;
    Bi.bmiHeader.biHeight = -1;
    Bi.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HBITMAP Bmp = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    DWORD Px[4] = {0x00000000, 0xFFFF0000, 0x80808080, 0xFF00FF00};
    std::memcpy(Bits, Px, sizeof Px);
    HDC Mem = CreateCompatibleDC(nullptr);
    SelectObject(Mem, Bmp);
    POINT Src{0, 0};
    SIZE Sz{4, 1};
    BLENDFUNCTION Bf;
    Bf.SourceConstantAlpha = 255;
    Bf.AlphaFormat = AC_SRC_ALPHA;
    ASSERT_TRUE(UpdateLayeredWindow(Layer, nullptr, nullptr, &Sz, Mem, &Src, 0, &Bf, ULW_ALPHA));
    DeleteDC(Mem);
    DeleteObject(Bmp);
    Pump();
    EXPECT_EQ(ScreenPixel(0, 0), Blue);
    EXPECT_EQ(ScreenPixel(1, 0), Red);
    EXPECT_EQ(ScreenPixel(2, 0), RGB(128, 128, 255));
    EXPECT_EQ(ScreenPixel(3, 0), Green);
    EXPECT_EQ(WindowFromPoint(POINT{0, 0}), Back);
    EXPECT_EQ(WindowFromPoint(POINT{1, 0}), Layer);
}

TEST_F(WinPaint, DropShadowDarkensBelowAndRight) {
    Make("back", White, WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND Pop = Make("pop", Red, WS_POPUP | WS_VISIBLE, 50, 50, 50, 50, nullptr, 0, u"ColourShadow");
    Pump();
    COLORREF Right = ScreenPixel(100, 75);
    EXPECT_LT(GetRValue(Right), 255);
    EXPECT_EQ(GetRValue(Right), GetBValue(Right));
    EXPECT_EQ(ScreenPixel(75, 45), White); // nothing above
    SetClassLongPtrW(Pop, GCL_STYLE, 0);
    EXPECT_EQ(ScreenPixel(100, 75), White);
}

TEST_F(WinPaint, OptionalEntriesFollowTheBackEnd) {
    EXPECT_NE(GetUserProcAddress("UpdateLayeredWindow"), nullptr);
    EXPECT_NE(GetUserProcAddress("SetLayeredWindowAttributes"), nullptr);
    EXPECT_NE(GetUserProcAddress("GetMonitorInfoA"), nullptr);
    EXPECT_EQ(GetUserProcAddress("NoSuchEntry"), nullptr);
}

TEST_F(WinPaint, ScreenAndWindowSavedAsPng) {
    HWND A = Make("a", Red, WS_POPUP | WS_VISIBLE, 10, 10, 30, 20);
    Pump();
    const TTempDir Temp;
    const auto& Dir = Temp.Folder();
    std::string Screen = (Dir / "screen.png").string(), Win = (Dir / "win.png").string();
    ASSERT_TRUE(SaveScreenToPng(Screen));
    ASSERT_TRUE(SaveWindowToPng(A, Win));
    std::ifstream F(Win, std::ios::binary);
    char Sig[8] = {};
    F.read(Sig, 8);
    EXPECT_EQ(std::string(Sig + 1, 3), "PNG");
    char Ihdr[16];
    F.read(Ihdr, 16);
    auto Be = [&](int I) {
        return (BYTE(Ihdr[I]) << 24) | (BYTE(Ihdr[I + 1]) << 16) | (BYTE(Ihdr[I + 2]) << 8) | BYTE(Ihdr[I + 3]);
    };
    EXPECT_EQ(Be(8), 30);
    EXPECT_EQ(Be(12), 20);
}

} // namespace
