#include "Pictures.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace qvtest {

char CharOf(const TLegend& Legend, COLORREF Colour) {
    for (const auto& [C, Of] : Legend)
        if (Of == Colour)
            return C;
    return '?';
}

COLORREF ColourOf(const TLegend& Legend, char C) {
    for (const auto& [Of, Colour] : Legend)
        if (Of == C)
            return Colour;
    ADD_FAILURE() << "no colour for '" << C << "' in the legend";
    return 0;
}

TPixels PixelsOf(TBitmap& Bitmap) {
    return {Bitmap.Width(), Bitmap.Height(),
            [&Bitmap](int X, int Y) { return COLORREF(Bitmap.Canvas()->Pixels(X, Y)) & 0xFFFFFF; }};
}

std::vector<std::string> PictureOf(const TPixels& Pixels, const TLegend& Legend) {
    std::vector<std::string> Rows;
    for (int Y = 0; Y < Pixels.Height; ++Y) {
        std::string Row;
        for (int X = 0; X < Pixels.Width; ++X)
            Row += CharOf(Legend, Pixels.At(X, Y));
        Rows.push_back(Row);
    }
    return Rows;
}

void SaveFailedPicture(const TPixels& Pixels, const std::string& Name) {
    std::vector<std::uint32_t> Argb;
    for (int Y = 0; Y < Pixels.Height; ++Y)
        for (int X = 0; X < Pixels.Width; ++X) {
            const COLORREF C = Pixels.At(X, Y);
            Argb.push_back(0xFF000000u | (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) |
                           GetBValue(C));
        }
    std::string File = Name + ".png";
    std::replace_if(
        File.begin(), File.end(), [](char C) { return C == ' ' || C == '/' || C == ','; }, '_');
    TPngImage Png;
    Png.SetPixels(Pixels.Width, Pixels.Height, Argb.data(), false);
    Png.SaveToFile(UTF8ToString(File));
}

namespace {

std::string Joined(const std::vector<std::string>& Rows) {
    std::string S;
    for (const std::string& Row : Rows)
        S += Row + "\n";
    return S;
}

} // namespace

bool ExpectPicture(const TPixels& Pixels, const std::vector<std::string>& Want, const TLegend& Legend,
                   const std::string& Name, const char* File, int Line) {
    const std::vector<std::string> Got = PictureOf(Pixels, Legend);
    if (Got == Want)
        return true;
    ADD_FAILURE_AT(File, Line) << Name << ": picture differs\n got:\n" << Joined(Got) << " want:\n" << Joined(Want);
    SaveFailedPicture(Pixels, Name);
    return false;
}

} // namespace qvtest
