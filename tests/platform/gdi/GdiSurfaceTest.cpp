#include "platform/gdi/WinGdi.h"

#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using gditest::Surface;

TEST(GdiSurface, DibSectionsOfEveryDepthAndRowOrder) {
    struct Case {
        int Bits;
        int Width;
        int Stride;
    } cases[] = {{1, 9, 4}, {4, 9, 8}, {8, 5, 8}, {24, 3, 12}, {24, 4, 12}, {32, 3, 12}};
    for (const auto& c : cases)
        for (bool topDown : {true, false}) {
            std::vector<RGBQUAD> pal;
            if (c.Bits <= 8)
                for (int i = 0; i < (1 << c.Bits); ++i)
                    pal.push_back(
                        {BYTE(i * 255 / ((1 << c.Bits) - 1)), 0, BYTE(255 - i * 255 / ((1 << c.Bits) - 1)), 0});
            Surface s(c.Width, 3, c.Bits, topDown, pal);
            ASSERT_NE(s.Bmp, nullptr) << c.Bits;
            DIBSECTION ds;
            ASSERT_EQ(GetObject(s.Bmp, sizeof ds, &ds), int(sizeof ds));
            EXPECT_EQ(ds.dsBm.bmBits, s.Bits);
            EXPECT_EQ(ds.dsBm.bmWidth, c.Width);
            EXPECT_EQ(ds.dsBm.bmWidthBytes, c.Stride);
            EXPECT_EQ(ds.dsBm.bmBitsPixel, c.Bits);
            EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -3 : 3);
            // GetObject of the bitmap selected into a DC, the way a caller finds a DC's pixels.
            BITMAP bm;
            ASSERT_EQ(GetObject(GetCurrentObject(s.DC, OBJ_BITMAP), sizeof bm, &bm), int(sizeof bm));
            EXPECT_EQ(bm.bmBits, s.Bits);
            EXPECT_EQ(bm.bmHeight, topDown ? -3 : 3);
            // A pixel set at the top row lands in the first or the last row of memory by the row order.
            COLORREF c0 =
                c.Bits <= 8 ? RGB(pal.back().rgbRed, pal.back().rgbGreen, pal.back().rgbBlue) : RGB(10, 20, 30);
            RECT all{0, 0, c.Width, 3};
            FillRect(s.DC, &all, static_cast<HBRUSH>(GetStockObject(c.Bits <= 8 ? NULL_BRUSH : BLACK_BRUSH)));
            std::memset(s.Bits, 0, std::size_t(c.Stride) * 3);
            SetPixel(s.DC, 0, 0, c0);
            EXPECT_EQ(GetPixel(s.DC, 0, 0), c0) << c.Bits;
            const auto* bytes = static_cast<const BYTE*>(s.Bits);
            int firstRow = topDown ? 0 : 2 * c.Stride;
            int otherRow = topDown ? 2 * c.Stride : 0;
            EXPECT_NE(bytes[firstRow], 0) << c.Bits << " " << topDown;
            EXPECT_EQ(bytes[otherRow], 0) << c.Bits << " " << topDown;
        }
}

TEST(GdiSurface, PixelsOfThirtyTwoBitSurfacesAreBlueGreenRedAlpha) {
    Surface s(2, 1);
    SetPixel(s.DC, 0, 0, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(s.Raw(0, 0), 0x00112233u);
    EXPECT_EQ(GetPixel(s.DC, 0, 0), RGB(0x11, 0x22, 0x33));
    // Outside the surface there is no pixel.
    EXPECT_EQ(GetPixel(s.DC, 2, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(s.DC, -1, 0, 0), CLR_INVALID);
}

TEST(GdiSurface, IndexedSurfacesTakeTheNearestPaletteColour) {
    std::vector<RGBQUAD> pal = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}};
    Surface s(2, 1, 8, true, pal);
    SetPixel(s.DC, 0, 0, RGB(200, 10, 10));
    SetPixel(s.DC, 1, 0, RGB(250, 250, 240));
    EXPECT_EQ(static_cast<const BYTE*>(s.Bits)[0], 1);
    EXPECT_EQ(static_cast<const BYTE*>(s.Bits)[1], 2);
    EXPECT_EQ(GetPixel(s.DC, 0, 0), RGB(255, 0, 0));
}

TEST(GdiSurface, DeviceCapsAndCompatibleObjects) {
    HDC screen = GetScreenDC();
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    HBITMAP b = CreateCompatibleBitmap(screen, 5, 4);
    BITMAP bm;
    ASSERT_EQ(GetObject(b, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 4);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(GetObjectType(b), OBJ_BITMAP);
    DeleteObject(b);
    // A new memory DC holds a 1 x 1 monochrome bitmap: bitmaps compatible with it are monochrome too.
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP mono = CreateCompatibleBitmap(mem, 3, 3);
    GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(mono);
    DeleteDC(mem);
}

TEST(GdiSurface, ImpossibleSizesGiveNoBitmap) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = 0;
    bi.bmiHeader.biHeight = 4;
    bi.bmiHeader.biBitCount = 32;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    bi.bmiHeader.biWidth = 4;
    bi.bmiHeader.biBitCount = 7;
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biWidth = 1 << 20;
    bi.bmiHeader.biHeight = 1 << 20;
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

} // namespace
