#include "platform/gdi/WinGdi.h"

#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using gditest::Surface;

TEST(GdiBlit, StretchBltNearestNeighbourMapping) {
    // Destination pixel i of dw reads source pixel floor((2i + 1) * sw / 2dw).
    struct Case {
        int Dw;
        const char* Src;
        const char* Row;
    } cases[] = {
        {5, "rgb", "rrgbb"},  // grow 3 -> 5: 0, 0, 1, 2, 2
        {6, "rgb", "rrggbb"}, // grow by 2
        {2, "rgbyc", "gy"},   // shrink 5 -> 2: 1, 3
        {3, "rgbycm", "gym"}, // shrink 6 -> 3: 1, 3, 5
        {1, "rgbyc", "b"},    // one pixel reads the middle
    };
    for (const auto& c : cases) {
        int sw = int(std::strlen(c.Src));
        Surface src(sw, 1), dst(c.Dw, 1);
        src.Paint({c.Src});
        EXPECT_TRUE(StretchBlt(dst.DC, 0, 0, c.Dw, 1, src.DC, 0, 0, sw, 1, SRCCOPY));
        EXPECT_EQ(dst.Picture()[0], c.Row) << c.Src << " -> " << c.Dw;
    }
}

TEST(GdiBlit, StretchBltMirrorsWhenTheSignsDiffer) {
    Surface src(3, 2), dst(3, 2);
    src.Paint({"rgb", "ycm"});
    StretchBlt(dst.DC, 3, 0, -3, 2, src.DC, 0, 0, 3, 2, SRCCOPY);
    EXPECT_PICTURE(dst, "bgr", "mcy");
    StretchBlt(dst.DC, 0, 2, 3, -2, src.DC, 0, 0, 3, 2, SRCCOPY);
    EXPECT_PICTURE(dst, "ycm", "rgb");
}

TEST(GdiBlit, StretchBltVerticalAndClipped) {
    Surface src(1, 2), dst(3, 4);
    src.Paint({"r", "b"});
    IntersectClipRect(dst.DC, 0, 1, 2, 4);
    StretchBlt(dst.DC, 0, 0, 3, 4, src.DC, 0, 0, 1, 2, SRCCOPY);
    EXPECT_PICTURE(dst, "...", "rr.", "bb.", "bb.");
}

TEST(GdiBlit, AlphaBlendPremultipliedAndConstant) {
    struct Case {
        std::uint32_t Src, Dst;
        BYTE Sca;
        BYTE Format;
        std::uint32_t Want;
    } cases[] = {
        // premultiplied: d = s' + d * (255 - s'.a) / 255
        {0xFF102030, 0x00FFFFFF, 255, AC_SRC_ALPHA, 0xFF102030},
        {0x00000000, 0x00FFFFFF, 255, AC_SRC_ALPHA, 0x00FFFFFF},
        {0x80400000, 0x000000FF, 255, AC_SRC_ALPHA, 0x8040007F}, // blue 255 * 127 / 255 = 127
        {0xFF102030, 0x00000000, 128, AC_SRC_ALPHA, 0x80081018}, // s' = s * 128 / 255
        // constant only: d = (s * sca + d * (255 - sca)) / 255 on every byte
        {0x00FF0000, 0x000000FF, 51, AC_SRC_OVER, 0x003300CC},
    };
    for (const auto& c : cases) {
        Surface src(1, 1), dst(1, 1);
        *static_cast<std::uint32_t*>(src.Bits) = c.Src;
        *static_cast<std::uint32_t*>(dst.Bits) = c.Dst;
        BLENDFUNCTION bf{AC_SRC_OVER, 0, c.Sca, c.Format};
        EXPECT_TRUE(AlphaBlend(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, 1, 1, bf));
        EXPECT_EQ(dst.Raw(0, 0), c.Want) << std::hex << c.Src << " over " << c.Dst;
    }
}

TEST(GdiBlit, AlphaBlendRefusesASourceOutsideItsBitmap) {
    Surface src(2, 2), dst(4, 4);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 2, 2, src.DC, 1, 0, 2, 2, bf));
    EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, -2, 2, src.DC, 0, 0, 2, 2, bf));
    EXPECT_TRUE(AlphaBlend(dst.DC, 0, 0, 4, 4, src.DC, 0, 0, 2, 2, bf)); // stretched
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColour) {
    Surface src(4, 1), dst(4, 1);
    src.Paint({"rmgm"});
    dst.Paint({"####"});
    EXPECT_TRUE(TransparentBlt(dst.DC, 0, 0, 4, 1, src.DC, 0, 0, 4, 1, RGB(255, 0, 255)));
    EXPECT_PICTURE(dst, "r#g#");
    Surface wide(8, 1);
    wide.Paint({"########"});
    TransparentBlt(wide.DC, 0, 0, 8, 1, src.DC, 0, 0, 4, 1, RGB(255, 0, 255));
    EXPECT_PICTURE(wide, "rr##gg##");
}

BITMAPINFO256 Info(int w, int h, int bits) {
    BITMAPINFO256 bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biBitCount = WORD(bits);
    return bi;
}

TEST(GdiBlit, SetDIBitsToDeviceAndStretchDIBitsReadBothRowOrders) {
    // 2 x 2, 24 bits: rows "rg" over "by" in picture order.
    std::uint8_t topDown[2 * 8] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 0};
    std::uint8_t bottomUp[2 * 8];
    std::memcpy(bottomUp, topDown + 8, 8);
    std::memcpy(bottomUp + 8, topDown, 8);
    for (bool td : {true, false}) {
        auto bi = Info(2, td ? -2 : 2, 24);
        Surface s(2, 2);
        EXPECT_EQ(SetDIBitsToDevice(s.DC, 0, 0, 2, 2, 0, 0, 0, 2, td ? topDown : bottomUp, bi.Info(), DIB_RGB_COLORS),
                  2);
        EXPECT_PICTURE(s, "rg", "by");
        Surface big(4, 2);
        StretchDIBits(big.DC, 0, 0, 4, 2, 0, 0, 2, 2, td ? topDown : bottomUp, bi.Info(), DIB_RGB_COLORS, SRCCOPY);
        EXPECT_PICTURE(big, "rrgg", "bbyy");
    }
    // Source coordinates of a bottom-up DIB count from its bottom-left corner.
    auto bi = Info(2, 2, 24);
    Surface one(1, 1);
    SetDIBitsToDevice(one.DC, 0, 0, 1, 1, 1, 0, 0, 2, bottomUp, bi.Info(), DIB_RGB_COLORS);
    EXPECT_PICTURE(one, "y");
}

TEST(GdiBlit, GetDIBitsAndSetDIBitsConvertDepthAndOrder) {
    Surface s(3, 2);
    s.Paint({"r#.", "gb#"});
    BITMAPINFO256 q{};
    EXPECT_EQ(GetDIBits(s.DC, s.Bmp, 0, 2, nullptr, q.Info(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(q.bmiHeader.biWidth, 3);
    EXPECT_EQ(q.bmiHeader.biBitCount, 32);
    // Into 24 bits bottom-up: the first row in memory is the picture's bottom row.
    auto bi = Info(3, 2, 24);
    std::uint8_t buf[2 * 12] = {};
    EXPECT_EQ(GetDIBits(s.DC, s.Bmp, 0, 2, buf, bi.Info(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 255);      // green of (0, 1)
    EXPECT_EQ(buf[12 + 2], 255); // red of (0, 0)
    // Into a monochrome DIB: the colour table is black and white.
    auto mono = Info(3, -2, 1);
    std::uint8_t mbuf[8] = {};
    GetDIBits(s.DC, s.Bmp, 0, 2, mbuf, mono.Info(), DIB_RGB_COLORS);
    EXPECT_EQ(mono.bmiColors[1].rgbRed, 255);
    EXPECT_EQ(mbuf[0] & 0xE0, 0x20); // r -> black, # -> black, . -> white
    // Back into a bitmap.
    Surface t(3, 2);
    EXPECT_EQ(SetDIBits(t.DC, t.Bmp, 0, 2, buf, bi.Info(), DIB_RGB_COLORS), 2);
    EXPECT_PICTURE(t, "r#.", "gb#");
}

TEST(GdiBlit, LinesLeaveTheEndPointOut) {
    struct Case {
        POINT A, B;
        std::vector<std::string> Pic;
    } cases[] = {
        {{0, 0}, {4, 0}, {"####.", ".....", "....."}}, {{4, 2}, {0, 2}, {".....", ".....", ".####"}},
        {{0, 0}, {4, 2}, {"##...", "..##.", "....."}}, {{0, 0}, {2, 2}, {"#....", ".#...", "....."}},
        {{0, 2}, {0, 0}, {".....", "#....", "#...."}}, {{1, 1}, {1, 1}, {".....", ".....", "....."}},
    };
    for (const auto& c : cases) {
        Surface s(5, 3);
        MoveToEx(s.DC, c.A.X, c.A.Y, nullptr);
        LineTo(s.DC, c.B.X, c.B.Y);
        EXPECT_EQ(gditest::Joined(s.Picture()), gditest::Joined(c.Pic)) << c.A.X << "," << c.A.Y;
        POINT cur;
        GetCurrentPositionEx(s.DC, &cur);
        EXPECT_EQ(cur, c.B);
    }
}

TEST(GdiBlit, PolylineAndNotPenLines) {
    Surface s(4, 3);
    POINT pts[] = {{0, 0}, {3, 0}, {3, 2}};
    Polyline(s.DC, pts, 3);
    EXPECT_PICTURE(s, "####", "...#", "....");
    // R2_NOT inverts what is under the line: drawing twice restores the picture.
    Surface t(4, 1);
    t.Paint({"r#.."});
    SetROP2(t.DC, R2_NOT);
    MoveToEx(t.DC, 0, 0, nullptr);
    LineTo(t.DC, 3, 0);
    EXPECT_PICTURE(t, "c.#.");
    MoveToEx(t.DC, 0, 0, nullptr);
    LineTo(t.DC, 3, 0);
    EXPECT_PICTURE(t, "r#..");
    SetROP2(t.DC, R2_XORPEN);
    gditest::Pen red(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(t.DC, red);
    MoveToEx(t.DC, 0, 0, nullptr);
    LineTo(t.DC, 4, 0);
    EXPECT_PICTURE(t, "#rcc");
    SelectObject(t.DC, GetStockObject(BLACK_PEN));
}

TEST(GdiBlit, Rop2Table) {
    // Pen red over destination white and black.
    struct Case {
        int Rop2;
        const char* Row;
    } cases[] = {{R2_BLACK, "##"},   {R2_WHITE, ".."},     {R2_COPYPEN, "rr"},     {R2_NOTCOPYPEN, "cc"},
                 {R2_NOP, ".#"},     {R2_NOT, "#."},       {R2_XORPEN, "cr"},      {R2_MERGEPEN, ".r"},
                 {R2_MASKPEN, "r#"}, {R2_NOTXORPEN, "rc"}, {R2_MERGEPENNOT, "r."}, {R2_MASKPENNOT, "#r"}};
    for (const auto& c : cases) {
        Surface s(2, 1);
        s.Paint({".#"});
        gditest::Pen red(PS_SOLID, 1, RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(s.DC, red);
        SetROP2(s.DC, c.Rop2);
        MoveToEx(s.DC, 0, 0, nullptr);
        LineTo(s.DC, 2, 0);
        SelectObject(s.DC, old);
        SCOPED_TRACE(c.Rop2);
        EXPECT_PICTURE(s, c.Row);
    }
}

TEST(GdiBlit, RectangleEllipseRoundRectOutlinesAndFills) {
    gditest::Brush red(RGB(255, 0, 0));
    Surface s(6, 4);
    SelectObject(s.DC, red);
    Rectangle(s.DC, 0, 0, 5, 4);
    EXPECT_PICTURE(s, "#####.", "#rrr#.", "#rrr#.", "#####.");
    // With the null pen the filled area is one pixel smaller on the right and bottom.
    Surface n(4, 3);
    SelectObject(n.DC, red);
    SelectObject(n.DC, GetStockObject(NULL_PEN));
    Rectangle(n.DC, 0, 0, 4, 3);
    EXPECT_PICTURE(n, "rrr.", "rrr.", "....");
    // A wide pen draws inside the box.
    Surface w(5, 5);
    gditest::Pen wide(PS_SOLID, 2, RGB(0, 0, 255));
    SelectObject(w.DC, wide);
    SelectObject(w.DC, red);
    Rectangle(w.DC, 0, 0, 5, 5);
    EXPECT_PICTURE(w, "bbbbb", "bbbbb", "bbrbb", "bbbbb", "bbbbb");
    SelectObject(w.DC, GetStockObject(BLACK_PEN));

    Surface e(6, 6);
    SelectObject(e.DC, red);
    Ellipse(e.DC, 0, 0, 6, 6);
    // Pixels whose centres lie inside the ellipse; the outline is those with a neighbour outside.
    EXPECT_PICTURE(e, ".####.", "#rrrr#", "#rrrr#", "#rrrr#", "#rrrr#", ".####.");
    Surface r(7, 5);
    SelectObject(r.DC, red);
    RoundRect(r.DC, 0, 0, 7, 5, 4, 4);
    EXPECT_PICTURE(r, ".#####.", "#rrrrr#", "#rrrrr#", "#rrrrr#", ".#####.");
    for (Surface* x : {&s, &n, &e, &r})
        SelectObject(x->DC, GetStockObject(WHITE_BRUSH));
    SelectObject(w.DC, GetStockObject(WHITE_BRUSH));
}

TEST(GdiBlit, PolygonFillsThenOutlines) {
    Surface s(5, 5);
    gditest::Brush red(RGB(255, 0, 0));
    SelectObject(s.DC, red);
    POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    Polygon(s.DC, pts, 4);
    EXPECT_PICTURE(s, "#####", "#rrr#", "#rrr#", "#rrr#", "#####");
    SelectObject(s.DC, GetStockObject(WHITE_BRUSH));
}

TEST(GdiBlit, DashedPenGapsFollowTheBackgroundMode) {
    gditest::Pen dot(PS_DOT, 1, RGB(0, 0, 0));
    Surface s(8, 2);
    SelectObject(s.DC, dot);
    SetBkColor(s.DC, RGB(255, 0, 0));
    MoveToEx(s.DC, 0, 0, nullptr);
    LineTo(s.DC, 8, 0);
    SetBkMode(s.DC, TRANSPARENT);
    MoveToEx(s.DC, 0, 1, nullptr);
    LineTo(s.DC, 8, 1);
    EXPECT_PICTURE(s, "###rrr##", "###...##");
    SelectObject(s.DC, GetStockObject(BLACK_PEN));
}

TEST(GdiBlit, FrameFocusEdgeAndInvert) {
    Surface s(4, 3);
    gditest::Brush red(RGB(255, 0, 0));
    RECT r{0, 0, 4, 3};
    FrameRect(s.DC, &r, red);
    EXPECT_PICTURE(s, "rrrr", "r..r", "rrrr");
    Surface f(4, 3);
    DrawFocusRect(f.DC, &r);
    EXPECT_PICTURE(f, "#.#.", "...#", "#.#.");
    DrawFocusRect(f.DC, &r);
    EXPECT_PICTURE(f, "....", "....", "....");
    InvertRect(f.DC, &r);
    EXPECT_PICTURE(f, "####", "####", "####");

    Surface e(4, 4);
    RECT er{0, 0, 4, 4};
    EXPECT_TRUE(DrawEdge(e.DC, &er, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
    EXPECT_EQ(er, (RECT{2, 2, 2, 2}));
    EXPECT_EQ(GetPixel(e.DC, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(e.DC, 3, 0), GetSysColor(COLOR_BTNHIGHLIGHT)); // the right edge owns its corners
    EXPECT_EQ(GetPixel(e.DC, 1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(e.DC, 2, 2), GetSysColor(COLOR_3DLIGHT));
}

} // namespace
