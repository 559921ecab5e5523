// Small surfaces for pixel-exact drawing tests: a 32-bit DIB section in a memory DC, and pictures written as
// rows of characters, one character per pixel.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/gdi/WinGdi.h"
#include "tests/support/Pictures.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace gditest {

// Legend of the character pictures.
inline const qvtest::TLegend& Legend() {
    static const qvtest::TLegend m = {
        {'.', RGB(255, 255, 255)}, {'#', RGB(0, 0, 0)},     {'r', RGB(255, 0, 0)},
        {'g', RGB(0, 255, 0)},     {'b', RGB(0, 0, 255)},   {'y', RGB(255, 255, 0)},
        {'c', RGB(0, 255, 255)},   {'m', RGB(255, 0, 255)}, {'w', RGB(128, 128, 128)},
    };
    return m;
}

inline char CharOf(COLORREF c) {
    return qvtest::CharOf(Legend(), c);
}

// A memory DC with a top-down (or bottom-up) DIB section selected, filled white.
struct Surface {
    HDC DC = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
    void* Bits = nullptr;
    int W = 0, H = 0;

    Surface(int w, int h, int bitCount = 32, bool topDown = true, const std::vector<RGBQUAD>& palette = {})
        : W(w), H(h) {
        BITMAPINFO256 bi{};
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = topDown ? -h : h;
        bi.bmiHeader.biBitCount = WORD(bitCount);
        for (std::size_t i = 0; i < palette.size(); ++i)
            bi.bmiColors[i] = palette[i];
        bi.bmiHeader.biClrUsed = DWORD(palette.size());
        Bmp = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &Bits, nullptr, 0);
        DC = CreateCompatibleDC(nullptr);
        Old = SelectObject(DC, Bmp);
        RECT r{0, 0, w, h};
        FillRect(DC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Surface() {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bmp);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Raw pixel of a 32-bit top-down surface.
    std::uint32_t Raw(int x, int y) const { return static_cast<const std::uint32_t*>(Bits)[y * W + x]; }

    // The surface's pixels, read through a plain DC whatever the clip of DC.
    qvtest::TPixels Pixels() const {
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(probe, Bmp);
        auto px = std::make_shared<std::vector<COLORREF>>();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                px->push_back(GetPixel(probe, x, y));
        SelectObject(probe, old);
        DeleteDC(probe);
        return {W, H, [px, w = W](int x, int y) { return (*px)[std::size_t(y) * w + x]; }};
    }

    // The surface as character rows.
    std::vector<std::string> Picture() const { return qvtest::PictureOf(Pixels(), Legend()); }

    // Paints a picture given as character rows.
    void Paint(const std::vector<std::string>& rows) {
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(probe, Bmp);
        for (int y = 0; y < int(rows.size()); ++y)
            for (int x = 0; x < int(rows[y].size()); ++x)
                SetPixel(probe, x, y, qvtest::ColourOf(Legend(), rows[y][x]));
        SelectObject(probe, old);
        DeleteDC(probe);
    }
};

struct Brush {
    HBRUSH H;
    explicit Brush(COLORREF c) : H(CreateSolidBrush(c)) {}
    ~Brush() { DeleteObject(H); }
    operator HBRUSH() const { return H; }
};

struct Pen {
    HPEN H;
    Pen(int style, int width, COLORREF c) : H(CreatePen(style, width, c)) {}
    ~Pen() { DeleteObject(H); }
    operator HPEN() const { return H; }
};

inline std::string Joined(const std::vector<std::string>& rows) {
    std::string s;
    for (auto& r : rows)
        s += r + "\n";
    return s;
}

// Compares the surface with the expected picture; on a difference the surface is saved as
// gdi_failed_<file>_<line>.png in the working directory for a person to look at.
inline void ExpectPicture(const Surface& s, const std::vector<std::string>& want, const char* file, int line) {
    std::string name = file;
    name = name.substr(name.find_last_of('/') + 1);
    qvtest::ExpectPicture(s.Pixels(), want, Legend(), "gdi_failed_" + name + "_" + std::to_string(line), file, line);
}

} // namespace gditest

#define EXPECT_PICTURE(surface, ...)                                                                                   \
    gditest::ExpectPicture((surface), std::vector<std::string>{__VA_ARGS__}, __FILE__, __LINE__)
