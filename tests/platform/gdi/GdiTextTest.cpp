#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"

#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gditest::Surface;

// The tests' own font: exact metrics whatever fonts are installed (cell height h: ascent h - h/4, characters h/2
// wide, CJK characters h wide, each glyph a solid block one column narrower than its advance).
constexpr const char16_t* kFixed = u"Quorvane Test Fixed";

struct FixedFont {
    HFONT Font;
    HGDIOBJ Old;
    HDC DC;
    FixedFont(HDC dc, int height, bool underline = false) : DC(dc) {
        RegisterFixedMetricFont(kFixed);
        Font = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, underline, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kFixed);
        Old = SelectObject(dc, Font);
    }
    ~FixedFont() {
        SelectObject(DC, Old);
        DeleteObject(Font);
    }
};

TEST(GdiText, FixedMetricFontMeasures) {
    Surface s(4, 4);
    FixedFont f(s.DC, 8);
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(s.DC, &tm));
    EXPECT_EQ(tm.tmHeight, 8);
    EXPECT_EQ(tm.tmAscent, 6);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmAveCharWidth, 4);
    SIZE sz;
    GetTextExtentPoint32W(s.DC, u"abc", 3, &sz);
    EXPECT_EQ(sz, (SIZE{12, 8}));
    GetTextExtentPoint32W(s.DC, u"中文a", 3, &sz);
    EXPECT_EQ(sz.cx, 20);
    int fit = 0, dx[4] = {};
    GetTextExtentExPointW(s.DC, u"abcd", 4, 10, &fit, dx, &sz);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[3], 16);
}

TEST(GdiText, TextOutDrawsGlyphsInTheTextColourAndFillsOpaqueCells) {
    Surface s(5, 4);
    FixedFont f(s.DC, 4); // glyphs 1 x 3, advance 2, cell 4 high
    SetBkMode(s.DC, TRANSPARENT);
    TextOutW(s.DC, 0, 0, u"ab", 2);
    EXPECT_PICTURE(s, "#.#..", "#.#..", "#.#..", ".....");
    Surface o(5, 4);
    FixedFont g(o.DC, 4);
    SetBkColor(o.DC, RGB(255, 0, 0));
    SetTextColor(o.DC, RGB(0, 0, 255));
    TextOutW(o.DC, 1, 0, u"a b", 3);
    EXPECT_PICTURE(o, ".brrr", ".brrr", ".brrr", ".rrrr");
}

TEST(GdiText, TextAlignmentAndCurrentPosition) {
    struct Case {
        UINT Align;
        int X, Y;
        std::vector<std::string> Pic;
    } cases[] = {
        {TA_LEFT | TA_TOP, 1, 0, {".#.#..", ".#.#..", ".#.#..", "......"}},
        {TA_RIGHT | TA_TOP, 6, 0, {"..#.#.", "..#.#.", "..#.#.", "......"}},
        {TA_CENTER | TA_TOP, 3, 0, {".#.#..", ".#.#..", ".#.#..", "......"}},
        {TA_LEFT | TA_BASELINE, 0, 4, {"......", "#.#...", "#.#...", "#.#..."}},
        {TA_LEFT | TA_BOTTOM, 0, 4, {"#.#...", "#.#...", "#.#...", "......"}},
    };
    for (const auto& c : cases) {
        Surface s(6, 4);
        FixedFont f(s.DC, 4);
        SetBkMode(s.DC, TRANSPARENT);
        SetTextAlign(s.DC, c.Align);
        TextOutW(s.DC, c.X, c.Y, u"ab", 2);
        EXPECT_EQ(gditest::Joined(s.Picture()), gditest::Joined(c.Pic)) << c.Align;
    }
    Surface s(8, 4);
    FixedFont f(s.DC, 4);
    SetBkMode(s.DC, TRANSPARENT);
    SetTextAlign(s.DC, TA_UPDATECP);
    MoveToEx(s.DC, 1, 0, nullptr);
    TextOutW(s.DC, 0, 0, u"a", 1);
    TextOutW(s.DC, 0, 0, u"b", 1);
    POINT cp;
    GetCurrentPositionEx(s.DC, &cp);
    EXPECT_EQ(cp, (POINT{5, 0}));
    EXPECT_PICTURE(s, ".#.#....", ".#.#....", ".#.#....", "........");
}

TEST(GdiText, ExtTextOutClipsAndFillsTheRectangle) {
    Surface s(6, 4);
    FixedFont f(s.DC, 4);
    SetBkMode(s.DC, TRANSPARENT);
    SetBkColor(s.DC, RGB(255, 0, 0));
    RECT r{0, 1, 3, 3};
    ExtTextOutW(s.DC, 0, 0, ETO_CLIPPED | ETO_OPAQUE, &r, u"abc", 3, nullptr);
    EXPECT_PICTURE(s, "......", "#r#...", "#r#...", "......");
    Surface d(6, 4);
    FixedFont g(d.DC, 4);
    SetBkMode(d.DC, TRANSPARENT);
    int dx[] = {3, 1, 2};
    ExtTextOutW(d.DC, 0, 0, 0, nullptr, u"abc", 3, dx);
    EXPECT_PICTURE(d, "#..##.", "#..##.", "#..##.", "......");
}

TEST(GdiText, UnderlinedFontAndPrefixUnderline) {
    Surface s(6, 4);
    FixedFont f(s.DC, 4, true);
    SetBkMode(s.DC, TRANSPARENT);
    TextOutW(s.DC, 0, 0, u"ab", 2);
    EXPECT_PICTURE(s, "#.#...", "#.#...", "#.#...", "####..");

    Surface p(6, 4);
    FixedFont g(p.DC, 4);
    SetBkMode(p.DC, TRANSPARENT);
    RECT r{0, 0, 6, 4};
    DrawTextW(p.DC, u"a&bc", -1, &r, DT_SINGLELINE);
    EXPECT_PICTURE(p, "#.#.#.", "#.#.#.", "#.#.#.", "..##..");
    Surface n(8, 4);
    FixedFont h(n.DC, 4);
    SetBkMode(n.DC, TRANSPARENT);
    RECT rn{0, 0, 8, 4};
    DrawTextW(n.DC, u"a&bc", -1, &rn, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_PICTURE(n, "#.#.#.#.", "#.#.#.#.", "#.#.#.#.", "........");
}

TEST(GdiText, DrawTextCalcRectTable) {
    // Characters 4 wide, lines 8 high; the rectangle is 40 wide.
    struct Case {
        const char16_t* Text;
        UINT Flags;
        RECT Want;
        int Height;
    } cases[] = {
        {u"abc", DT_SINGLELINE, {0, 0, 12, 8}, 8},
        {u"", DT_SINGLELINE, {0, 0, 0, 0}, 0},
        {u"", 0, {0, 0, 0, 0}, 0},
        {u"abc\r\nde", 0, {0, 0, 12, 16}, 16},
        {u"abc\nde\rf", 0, {0, 0, 12, 24}, 24},
        {u"abc\r\n", 0, {0, 0, 12, 16}, 16}, // a final line break adds an empty line
        {u"abc\r\nde", DT_SINGLELINE, {0, 0, 20, 8}, 8},
        {u"a&bc", DT_SINGLELINE, {0, 0, 12, 8}, 8},
        {u"a&bc", DT_SINGLELINE | DT_NOPREFIX, {0, 0, 16, 8}, 8},
        {u"a&&b", DT_SINGLELINE, {0, 0, 12, 8}, 8},
        {u"a\tb", DT_SINGLELINE | DT_EXPANDTABS, {0, 0, 36, 8}, 8},
        {u"aaaa bbbb cccc", DT_WORDBREAK, {0, 0, 36, 16}, 16},
        {u"aaaa bbbb cccc", 0, {0, 0, 56, 8}, 8},
        {u"aaaaaaaaaaaa bb", DT_WORDBREAK, {0, 0, 48, 16}, 16},
        {u"aaaa bbbbb", DT_WORDBREAK, {0, 0, 40, 8}, 8},
        {u"aaaa bbbbbb", DT_WORDBREAK, {0, 0, 24, 16}, 16},
        {u"a\r\n\r\nb", DT_WORDBREAK, {0, 0, 4, 24}, 24},
        {u"abcdefghijklmn", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, 56, 8}, 8}, // measuring ignores ellipses
        {u"abc", DT_SINGLELINE | DT_CENTER | DT_VCENTER, {0, 0, 12, 8}, 8},
    };
    for (const auto& c : cases) {
        Surface s(2, 2);
        FixedFont f(s.DC, 8);
        RECT r{0, 0, 40, 100};
        EXPECT_EQ(DrawTextW(s.DC, c.Text, -1, &r, c.Flags | DT_CALCRECT), c.Height) << std::string(c.Text, c.Text + 3);
        EXPECT_EQ(r, c.Want) << std::string(c.Text, c.Text + 3) << " flags " << c.Flags;
    }
}

TEST(GdiText, WordBreakLines) {
    // Lines read back from the pixels: each glyph is a block in the first column of its cell (cell 2 x 4).
    struct Case {
        const char16_t* Text;
        int Width;
        std::vector<int> Chars; // glyphs per line
    } cases[] = {
        {u"ab cd ef", 10, {5, 2}}, // "ab cd" fits 10 exactly; the blank at the break is dropped
        {u"ab cd ef", 9, {2, 2, 2}}, {u"abcdefgh ij", 6, {8, 2}}, // a long word stays whole
        {u"ab  cd", 4, {2, 2}},      {u"ab\ncd ef", 20, {2, 5}},
    };
    for (const auto& c : cases) {
        Surface s(20, 16);
        FixedFont f(s.DC, 4);
        SetBkMode(s.DC, TRANSPARENT);
        RECT r{0, 0, c.Width, 16};
        DrawTextW(s.DC, c.Text, -1, &r, DT_WORDBREAK | DT_NOCLIP);
        auto pic = s.Picture();
        std::vector<int> got;
        for (int line = 0; line < 4; ++line) {
            const std::string& row = pic[line * 4];
            int n = 0, last = -1;
            for (int x = 0; x < 20; x += 2)
                if (row[x] == '#') {
                    ++n;
                    last = x / 2;
                }
            if (n)
                got.push_back(last + 1);
        }
        EXPECT_EQ(got, c.Chars) << std::string(c.Text, c.Text + 5) << " width " << c.Width;
    }
}

TEST(GdiText, EllipsesShortenTheText) {
    struct Case {
        const char16_t* Text;
        UINT Flags;
        int Width;
        std::u16string Want;
    } cases[] = {
        {u"abcdefgh", DT_END_ELLIPSIS, 20, u"ab..."},
        {u"abcdefgh", DT_END_ELLIPSIS, 32, u"abcdefgh"},
        {u"abcdefgh", DT_END_ELLIPSIS, 8, u"..."},
        {u"c:\\dir\\sub\\file.txt", DT_PATH_ELLIPSIS, 60, u"c:\\...\\file.txt"},
        {u"c:\\dir\\sub\\file.txt", DT_PATH_ELLIPSIS, 48, u"...\\file.txt"},
        {u"/home/user/video.avi", DT_PATH_ELLIPSIS, 64, u"/ho.../video.avi"},
    };
    for (const auto& c : cases) {
        Surface s(2, 2);
        FixedFont f(s.DC, 8);
        std::u16string buf(c.Text);
        buf.resize(buf.size() + 4);
        RECT r{0, 0, c.Width, 8};
        DrawTextExW(s.DC, buf.data(), int(std::u16string(c.Text).size()), &r, DT_SINGLELINE | DT_MODIFYSTRING | c.Flags,
                    nullptr);
        EXPECT_EQ(std::u16string(buf.c_str()), c.Want) << std::string(c.Text, c.Text + 6) << " " << c.Width;
    }
}

TEST(GdiText, DrawTextAlignmentAndClipping) {
    struct Case {
        UINT Flags;
        int X, Y; // top-left pixel of the glyph
    } cases[] = {
        {0, 0, 0},
        {DT_CENTER, 3, 0},
        {DT_RIGHT, 6, 0},
        {DT_SINGLELINE | DT_VCENTER, 0, 2},
        {DT_SINGLELINE | DT_BOTTOM, 0, 4},
        {DT_VCENTER, 0, 0}, // vertical placement needs a single line
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 3, 2},
    };
    for (const auto& c : cases) {
        Surface s(8, 8);
        FixedFont f(s.DC, 4);
        SetBkMode(s.DC, TRANSPARENT);
        RECT r{0, 0, 8, 8};
        int h = DrawTextW(s.DC, u"a", 1, &r, c.Flags);
        auto pic = s.Picture();
        int fx = -1, fy = -1;
        for (int y = 0; y < 8 && fy < 0; ++y)
            for (int x = 0; x < 8; ++x)
                if (pic[y][x] == '#') {
                    fx = x;
                    fy = y;
                    break;
                }
        EXPECT_EQ(fx, c.X) << c.Flags;
        EXPECT_EQ(fy, c.Y) << c.Flags;
        if (c.Flags & DT_VCENTER && c.Flags & DT_SINGLELINE)
            EXPECT_EQ(h, 6); // offset from the top to the text's bottom
    }
    Surface s(8, 4), n(8, 4);
    for (Surface* t : {&s, &n}) {
        FixedFont f(t->DC, 4);
        SetBkMode(t->DC, TRANSPARENT);
        RECT r{0, 0, 3, 4};
        DrawTextW(t->DC, u"abcd", 4, &r, DT_SINGLELINE | (t == &n ? DT_NOCLIP : 0));
    }
    EXPECT_EQ(s.Picture()[0], "#.#.....");
    EXPECT_EQ(n.Picture()[0], "#.#.#.#.");
}

TEST(GdiText, TabbedTextOutUsesTheTabStops) {
    Surface s(12, 4);
    FixedFont f(s.DC, 4);
    SetBkMode(s.DC, TRANSPARENT);
    int stops[] = {5};
    LONG ext = TabbedTextOutW(s.DC, 0, 0, u"a\tb\tc", 5, 1, stops, 0);
    EXPECT_EQ(LOWORD(ext), 12);
    EXPECT_EQ(HIWORD(ext), 4);
    EXPECT_EQ(s.Picture()[0], "#....#....#.");
}

TEST(GdiText, ChineseTextHasGlyphsInTheInstalledFonts) {
    const std::u16string sample = u"视频转换器：正在转换文件，请稍候。宋体预览播放完成";
    for (char16_t ch : sample)
        EXPECT_TRUE(FontHasGlyph(ch)) << int(ch);
    // Drawn with the platform's Chinese face name, the text leaves ink.
    Surface s(200, 20);
    HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, u"宋体");
    HGDIOBJ old = SelectObject(s.DC, font);
    TextOutW(s.DC, 0, 0, sample.c_str(), 6);
    int ink = 0;
    for (const auto& row : s.Picture())
        for (char c : row)
            ink += c != '.';
    EXPECT_GT(ink, 50);
    SIZE sz;
    GetTextExtentPoint32W(s.DC, sample.c_str(), 6, &sz);
    EXPECT_GE(sz.cx, 6 * 12);
    SelectObject(s.DC, old);
    DeleteObject(font);
}

TEST(GdiText, PlatformFaceNamesMapToInstalledFonts) {
    EXPECT_NE(std::string(FontFileFor(u"宋体")).find("wqy"), std::string::npos);
    EXPECT_NE(std::string(FontFileFor(u"SimSun")).find("wqy"), std::string::npos);
    for (const char16_t* latin : {u"Tahoma", u"Arial", u"MS Sans Serif"})
        EXPECT_NE(std::string(FontFileFor(latin)).find("LiberationSans"), std::string::npos);
}

TEST(GdiText, HeightsSelectCharacterOrCellHeight) {
    Surface s(2, 2);
    HFONT cell = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Arial");
    HFONT chr = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Arial");
    HFONT bold = CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Arial");
    TEXTMETRICW a, b;
    SelectObject(s.DC, cell);
    GetTextMetricsW(s.DC, &a);
    EXPECT_EQ(a.tmHeight, 16);
    SelectObject(s.DC, chr);
    GetTextMetricsW(s.DC, &b);
    EXPECT_EQ(b.tmHeight - b.tmInternalLeading, 16);
    EXPECT_GT(b.tmHeight, 16);
    SIZE normal, heavy;
    GetTextExtentPoint32W(s.DC, u"Quorvane", 8, &normal);
    SelectObject(s.DC, bold);
    GetTextExtentPoint32W(s.DC, u"Quorvane", 8, &heavy);
    EXPECT_GT(heavy.cx, normal.cx);
    SelectObject(s.DC, GetStockObject(SYSTEM_FONT));
    for (HFONT h : {cell, chr, bold})
        DeleteObject(h);
}

} // namespace
