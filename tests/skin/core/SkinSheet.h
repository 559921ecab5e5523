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
#include "tests/support/Pictures.h"

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
    static const qvtest::TLegend& Legend() {
        static const qvtest::TLegend L = {
            {'.', 0xFFFFFF}, {'r', 0x0000FF}, {'b', 0xFF0000}, {'g', 0x00FF00}, {'#', 0x000000}};
        return L;
    }
    std::vector<std::string> Picture() { return qvtest::PictureOf(qvtest::PixelsOf(Bmp), Legend()); }
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
        return BoxOf([&](COLORREF Colour) { return qvtest::CharOf(Legend(), Colour) == C; });
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
    qvtest::SaveFailedPicture(qvtest::PixelsOf(B), "skin_failed_" + Name);
}

// Compares the sheet with the expected character picture; a differing sheet is saved as a PNG.
inline void ExpectPicture(TSheet& Sheet, const std::vector<std::string>& Want, const std::string& Name) {
    qvtest::ExpectPicture(qvtest::PixelsOf(Sheet.Bmp), Want, TSheet::Legend(), "skin_failed_" + Name, __FILE__,
                          __LINE__);
}

} // namespace skintest
