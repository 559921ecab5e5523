// A small white 32-bit bitmap for drawing tests of the skin routines, read back as characters or boxes, and the
// fixed-metric block font that makes text positions exact.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"

namespace skintest {

struct TSheet {
    TBitmap Bmp;
    TSheet(int W, int H) {
        Bmp.SetPixelFormat(pf32bit);
        Bmp.SetSize(W, H);
        Bmp.Canvas()->Brush()->SetColor(clWhite);
        Bmp.Canvas()->FillRect(TRect{0, 0, W, H});
    }
    TCanvas* Canvas() { return Bmp.Canvas(); }
    COLORREF At(int X, int Y) { return COLORREF(Canvas()->Pixels(X, Y)) & 0xFFFFFF; }
    // '.' white, 'r' red, 'b' blue, 'g' green, '#' black, '?' anything else.
    std::vector<std::string> Picture() {
        std::vector<std::string> Rows;
        for (int Y = 0; Y < Bmp.Height(); ++Y) {
            std::string Row;
            for (int X = 0; X < Bmp.Width(); ++X)
                switch (At(X, Y)) {
                case 0xFFFFFF:
                    Row += '.';
                    break;
                case 0x0000FF:
                    Row += 'r';
                    break;
                case 0xFF0000:
                    Row += 'b';
                    break;
                case 0x00FF00:
                    Row += 'g';
                    break;
                case 0x000000:
                    Row += '#';
                    break;
                default:
                    Row += '?';
                }
            Rows.push_back(Row);
        }
        return Rows;
    }
    // The smallest rectangle holding every pixel whose colour passes; Right -1 when none does.
    TRect BoxOf(const std::function<bool(COLORREF)>& Pass) {
        TRect R{1 << 20, 1 << 20, -1, -1};
        for (int Y = 0; Y < Bmp.Height(); ++Y)
            for (int X = 0; X < Bmp.Width(); ++X)
                if (Pass(At(X, Y)))
                    R = TRect{std::min(R.Left, X), std::min(R.Top, Y), std::max(R.Right, X + 1),
                              std::max(R.Bottom, Y + 1)};
        return R;
    }
    TRect Box(char C) {
        return BoxOf([&](COLORREF Colour) {
            const char Of = Colour == 0xFFFFFF   ? '.'
                            : Colour == 0x0000FF ? 'r'
                            : Colour == 0xFF0000 ? 'b'
                            : Colour == 0x00FF00 ? 'g'
                            : Colour == 0        ? '#'
                                                 : '?';
            return Of == C;
        });
    }
};

// Cell height 8, every character 4 wide, drawn as a 3 x 6 block from the cell top.
inline void UseBlockFont(TCanvas* Canvas, TColor Color) {
    RegisterFixedMetricFont(u"QvBlocks");
    Canvas->Font()->SetName(u"QvBlocks");
    Canvas->Font()->SetHeight(8);
    Canvas->Font()->SetColor(Color);
}

// Saves what was drawn as skin_failed_<name>.png in the working directory, for a person to look at.
inline void SaveFailedPicture(TBitmap& B, const std::string& Name) {
    std::vector<std::uint32_t> Pixels;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X) {
            const COLORREF C = COLORREF(B.Canvas()->Pixels(X, Y));
            Pixels.push_back(0xFF000000u | (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) |
                             GetBValue(C));
        }
    std::string File = "skin_failed_" + Name + ".png";
    std::replace_if(
        File.begin(), File.end(), [](char C) { return C == ' ' || C == '/' || C == ','; }, '_');
    TPngImage Png;
    Png.SetPixels(B.Width(), B.Height(), Pixels.data(), false);
    Png.SaveToFile(UTF8ToString(File));
}

// Compares the sheet with the expected character picture; a differing sheet is saved as a PNG.
inline void ExpectPicture(TSheet& Sheet, const std::vector<std::string>& Want, const std::string& Name) {
    const std::vector<std::string> Got = Sheet.Picture();
    EXPECT_EQ(Got, Want) << Name;
    if (Got != Want)
        SaveFailedPicture(Sheet.Bmp, Name);
}

} // namespace skintest
