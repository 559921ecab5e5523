#include "platform/gdi/WinGdi.h"

#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace {

using gditest::Brush;
using gditest::Surface;

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    Brush br(c);
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, br);
}

TEST(GdiDeviceContext, WindowAndViewportOriginsMapLogicalToDevice) {
    // device = logical - window origin + viewport origin
    struct Case {
        POINT Window, Viewport;
        const char* Row;
    } cases[] = {
        {{0, 0}, {0, 0}, "##......"}, {{0, 0}, {3, 0}, "...##..."}, {{-2, 0}, {0, 0}, "..##...."},
        {{2, 0}, {5, 0}, "...##..."}, {{1, 0}, {0, 0}, "#......."},
    };
    for (const auto& c : cases) {
        Surface s(8, 1);
        SetWindowOrgEx(s.DC, c.Window.X, c.Window.Y, nullptr);
        SetViewportOrgEx(s.DC, c.Viewport.X, c.Viewport.Y, nullptr);
        Fill(s.DC, 0, 0, 2, 1, RGB(0, 0, 0));
        EXPECT_PICTURE(s, c.Row);
        POINT p{0, 0};
        LPtoDP(s.DC, &p, 1);
        EXPECT_EQ(p.X, c.Viewport.X - c.Window.X);
    }
}

TEST(GdiDeviceContext, ClipRegionsIntersectExcludeAndFollowTheOrigins) {
    Surface s(8, 3);
    // The clip region is in device coordinates: moving the window origin afterwards moves the drawing, not the clip.
    IntersectClipRect(s.DC, 1, 0, 7, 3);
    ExcludeClipRect(s.DC, 3, 1, 5, 2);
    Fill(s.DC, 0, 0, 8, 3, RGB(0, 0, 0));
    EXPECT_PICTURE(s, ".######.", ".##..##.", ".######.");

    Surface t(8, 1);
    SetViewportOrgEx(t.DC, 2, 0, nullptr);
    // Logical rectangle (0,0)-(2,1) is device (2,0)-(4,1).
    IntersectClipRect(t.DC, 0, 0, 2, 1);
    SetViewportOrgEx(t.DC, 0, 0, nullptr);
    Fill(t.DC, 0, 0, 8, 1, RGB(0, 0, 0));
    EXPECT_PICTURE(t, "..##....");
    RECT box;
    EXPECT_EQ(GetClipBox(t.DC, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{2, 0, 4, 1}));
    SetWindowOrgEx(t.DC, 1, 0, nullptr);
    GetClipBox(t.DC, &box);
    EXPECT_EQ(box, (RECT{3, 0, 5, 1})); // the clip box comes back in logical coordinates
}

TEST(GdiDeviceContext, ExtSelectClipRgnModes) {
    struct Case {
        int Mode;
        const char* Row;
    } cases[] = {{RGN_AND, "..##...."},
                 {RGN_OR, ".####..."},
                 {RGN_XOR, ".#..#..."},
                 {RGN_DIFF, ".#......"},
                 {RGN_COPY, "..###..."}};
    for (const auto& c : cases) {
        Surface s(8, 1);
        HRGN first = CreateRectRgn(1, 0, 4, 1), second = CreateRectRgn(2, 0, 5, 1);
        SelectClipRgn(s.DC, first);
        ExtSelectClipRgn(s.DC, second, c.Mode);
        Fill(s.DC, 0, 0, 8, 1, RGB(0, 0, 0));
        SCOPED_TRACE(c.Mode);
        EXPECT_PICTURE(s, c.Row);
        DeleteObject(first);
        DeleteObject(second);
    }
    Surface s(4, 1);
    HRGN r = CreateRectRgn(1, 0, 2, 1);
    SelectClipRgn(s.DC, r);
    SelectClipRgn(s.DC, nullptr); // removes the clip region
    Fill(s.DC, 0, 0, 4, 1, RGB(0, 0, 0));
    EXPECT_PICTURE(s, "####");
    DeleteObject(r);
}

TEST(GdiDeviceContext, SaveAndRestoreBringBackStateClipAndObjects) {
    Surface s(6, 1);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(s.DC, red);
    SetTextColor(s.DC, RGB(1, 2, 3));
    int id = SaveDC(s.DC);
    EXPECT_EQ(id, 1);
    SetTextColor(s.DC, RGB(9, 9, 9));
    SetViewportOrgEx(s.DC, 4, 0, nullptr);
    IntersectClipRect(s.DC, 0, 0, 1, 1);
    SelectObject(s.DC, GetStockObject(BLACK_BRUSH));
    SaveDC(s.DC);
    SetBkMode(s.DC, TRANSPARENT);
    EXPECT_TRUE(RestoreDC(s.DC, -1));
    EXPECT_EQ(GetBkMode(s.DC), OPAQUE);
    EXPECT_TRUE(RestoreDC(s.DC, id));
    EXPECT_EQ(GetTextColor(s.DC), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(s.DC, OBJ_BRUSH), static_cast<HGDIOBJ>(red));
    POINT vp;
    GetViewportOrgEx(s.DC, &vp);
    EXPECT_EQ(vp, (POINT{0, 0}));
    PatBlt(s.DC, 0, 0, 6, 1, PATCOPY);
    EXPECT_PICTURE(s, "rrrrrr");
    EXPECT_FALSE(RestoreDC(s.DC, 1)); // nothing saved any more
    SelectObject(s.DC, oldBrush);
    DeleteObject(red);
}

TEST(GdiDeviceContext, BitBltRasterOperations) {
    // Source pixels: black, white, black, white; destination: black, black, white, white; brush: red.
    struct Case {
        DWORD Rop;
        const char* Row;
    } cases[] = {
        {SRCCOPY, "#.#."},    {SRCPAINT, "#..."},    {SRCAND, "###."},     {SRCINVERT, "#..#"}, {SRCERASE, "#.##"},
        {NOTSRCCOPY, ".#.#"}, {NOTSRCERASE, ".###"}, {MERGEPAINT, ".#.."}, {DSTINVERT, "..##"}, {BLACKNESS, "####"},
        {WHITENESS, "...."},  {PATCOPY, "rrrr"},     {PATINVERT, "rrcc"},  {MERGECOPY, "#r#r"}, {PATPAINT, ".r.."},
    };
    for (const auto& c : cases) {
        Surface src(4, 1), dst(4, 1);
        src.Paint({"#.#."});
        dst.Paint({"##.."});
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(dst.DC, red);
        EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 4, 1, src.DC, 0, 0, c.Rop));
        std::string got = dst.Picture()[0];
        SelectObject(dst.DC, old);
        DeleteObject(red);
        // Expected from the definition of each operation on the three inputs, channel by channel.
        auto expect = [&](int i) -> std::string {
            const char s = "#.#."[i], d = "##.."[i];
            unsigned S = s == '.' ? 0xFFFFFF : 0, D = d == '.' ? 0xFFFFFF : 0, P = 0xFF0000;
            BYTE code = BYTE(c.Rop >> 16);
            unsigned r = 0;
            for (int k = 0; k < 8; ++k)
                if (code & (1 << k))
                    r |= (k & 4 ? P : ~P) & (k & 2 ? S : ~S) & (k & 1 ? D : ~D);
            r &= 0xFFFFFF;
            return std::string(1, gditest::CharOf(RGB((r >> 16) & 255, (r >> 8) & 255, r & 255)));
        };
        std::string want;
        for (int i = 0; i < 4; ++i)
            want += expect(i);
        EXPECT_EQ(got, want) << std::hex << c.Rop;
        EXPECT_EQ(got, c.Row) << std::hex << c.Rop;
    }
}

TEST(GdiDeviceContext, BitBltCopiesAllFourBytesAndHandlesOverlap) {
    Surface s(5, 1);
    auto* px = static_cast<std::uint32_t*>(s.Bits);
    for (int i = 0; i < 5; ++i)
        px[i] = 0x80000000u | std::uint32_t(i);
    BitBlt(s.DC, 1, 0, 4, 1, s.DC, 0, 0, SRCCOPY); // overlapping move right
    EXPECT_EQ(px[0], 0x80000000u);
    EXPECT_EQ(px[1], 0x80000000u);
    EXPECT_EQ(px[2], 0x80000001u);
    EXPECT_EQ(px[4], 0x80000003u);
}

TEST(GdiDeviceContext, BitBltWithOriginsAndClipOnBothSides) {
    Surface src(4, 1), dst(6, 1);
    src.Paint({"rgby"});
    SetWindowOrgEx(src.DC, 1, 0, nullptr); // logical 1 is source pixel 0
    SetViewportOrgEx(dst.DC, 1, 0, nullptr);
    IntersectClipRect(dst.DC, 0, 0, 3, 1);
    BitBlt(dst.DC, 0, 0, 4, 1, src.DC, 2, 0, SRCCOPY);
    EXPECT_PICTURE(dst, ".gby..");
}

TEST(GdiDeviceContext, MonochromeConversionsUseTheColoursOfTheDCs) {
    // Colour to monochrome: the source's background colour becomes white, everything else black.
    Surface colour(3, 1);
    colour.Paint({"rgr"});
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP mbmp = CreateBitmap(3, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mono, mbmp);
    SetBkColor(colour.DC, RGB(255, 0, 0));
    BitBlt(mono, 0, 0, 3, 1, colour.DC, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0));
    // Monochrome to colour: 1 bits in the destination's background colour, 0 bits in its text colour.
    Surface out(3, 1);
    SetBkColor(out.DC, RGB(0, 0, 255));
    SetTextColor(out.DC, RGB(255, 255, 0));
    BitBlt(out.DC, 0, 0, 3, 1, mono, 0, 0, SRCCOPY);
    EXPECT_PICTURE(out, "byb");
    SelectObject(mono, old);
    DeleteObject(mbmp);
    DeleteDC(mono);
}

TEST(GdiDeviceContext, FillRectAcceptsSystemColourIndexPlusOne) {
    Surface s(2, 1);
    RECT r{0, 0, 2, 1};
    FillRect(s.DC, &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(GetPixel(s.DC, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(s.Raw(1, 0) >> 24, 0u); // drawing primitives leave alpha 0
}

TEST(GdiDeviceContext, PatternAndHatchBrushesAlignToTheDeviceOrigin) {
    HBITMAP pat = CreateBitmap(2, 1, 1, 1, nullptr);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, pat);
    SetPixel(m, 0, 0, RGB(255, 255, 255));
    SelectObject(m, old);
    DeleteDC(m);
    HBRUSH br = CreatePatternBrush(pat);
    DeleteObject(pat); // the brush keeps its own copy
    Surface s(5, 1);
    SetTextColor(s.DC, RGB(255, 0, 0));
    SetBkColor(s.DC, RGB(0, 0, 255));
    RECT r{0, 0, 5, 1};
    FillRect(s.DC, &r, br);
    EXPECT_PICTURE(s, "brbrb");
    SetViewportOrgEx(s.DC, 1, 0, nullptr); // pattern stays put on the device
    FillRect(s.DC, &r, br);
    EXPECT_PICTURE(s, "brbrb");
    DeleteObject(br);
}

TEST(GdiDeviceContext, SurfaceDCsDrawAtTheirOriginWithinTheVisibleRegion) {
    Surface back(6, 2);
    HRGN vis = CreateRectRgn(0, 0, 4, 2);
    HDC dc = CreateSurfaceDC(back.Bmp, POINT{2, 1}, vis);
    DeleteObject(vis); // copied
    Fill(dc, 0, 0, 10, 10, RGB(0, 0, 0));
    EXPECT_PICTURE(back, "......", "..##..");
    DeleteDC(dc);
}

} // namespace
