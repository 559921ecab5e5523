// Small surfaces for pixel-exact drawing tests: a 32-bit DIB section in a memory DC, and pictures written as
// rows of characters, one character per pixel.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/gdi/WinGdi.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gditest {

// Legend of the character pictures.
inline const std::map<char, COLORREF>& Legend() {
    static const std::map<char, COLORREF> m = {
        {'.', RGB(255, 255, 255)}, {'#', RGB(0, 0, 0)},     {'r', RGB(255, 0, 0)},
        {'g', RGB(0, 255, 0)},     {'b', RGB(0, 0, 255)},   {'y', RGB(255, 255, 0)},
        {'c', RGB(0, 255, 255)},   {'m', RGB(255, 0, 255)}, {'w', RGB(128, 128, 128)},
    };
    return m;
}

inline char CharOf(COLORREF c) {
    for (auto& [ch, col] : Legend())
        if (col == c)
            return ch;
    return '?';
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

    // The surface as character rows (reads through a plain DC, whatever the clip of DC).
    std::vector<std::string> Picture() const {
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(probe, Bmp);
        std::vector<std::string> rows;
        for (int y = 0; y < H; ++y) {
            std::string row;
            for (int x = 0; x < W; ++x)
                row += CharOf(GetPixel(probe, x, y));
            rows.push_back(row);
        }
        SelectObject(probe, old);
        DeleteDC(probe);
        return rows;
    }

    // Paints a picture given as character rows.
    void Paint(const std::vector<std::string>& rows) {
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(probe, Bmp);
        for (int y = 0; y < int(rows.size()); ++y)
            for (int x = 0; x < int(rows[y].size()); ++x)
                SetPixel(probe, x, y, Legend().at(rows[y][x]));
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
    std::string got = Joined(s.Picture());
    if (got == Joined(want))
        return;
    ADD_FAILURE_AT(file, line) << "picture differs\n got:\n" << got << " want:\n" << Joined(want);
    std::vector<std::uint32_t> px(std::size_t(s.W) * s.H);
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = s.W;
    bi.bmiHeader.biHeight = -s.H;
    bi.bmiHeader.biBitCount = 32;
    GetDIBits(s.DC, s.Bmp, 0, UINT(s.H), px.data(), &bi, DIB_RGB_COLORS);
    TPngImage png;
    png.SetPixels(s.W, s.H, px.data(), false);
    std::string name = file;
    name = name.substr(name.find_last_of('/') + 1);
    png.SaveToFile(UTF8ToString("gdi_failed_" + name + "_" + std::to_string(line) + ".png"));
}

} // namespace gditest

#define EXPECT_PICTURE(surface, ...)                                                                                   \
    gditest::ExpectPicture((surface), std::vector<std::string>{__VA_ARGS__}, __FILE__, __LINE__)
