// Pictures for pixel-exact drawing tests: pixels read as rows of characters through a legend, compared with the rows
// a test expects, and written as a PNG for a person to look at when they differ.
#pragma once

#include "platform/gdi/WinGdi.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TBitmap;

namespace qvtest {

// One character per colour; a colour the legend does not name reads as '?'.
using TLegend = std::vector<std::pair<char, COLORREF>>;

char CharOf(const TLegend& Legend, COLORREF Colour);
COLORREF ColourOf(const TLegend& Legend, char C);

// Pixels of a drawing, whatever holds them.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::function<COLORREF(int X, int Y)> At;
};

// The pixels of a bitmap, read through its canvas.
TPixels PixelsOf(TBitmap& Bitmap);

std::vector<std::string> PictureOf(const TPixels& Pixels, const TLegend& Legend);

// Writes the pixels as "<Name>.png" in the working directory (characters that cannot stand in a file name become
// '_').
void SaveFailedPicture(const TPixels& Pixels, const std::string& Name);

// Compares the pixels with the expected rows; a difference is a test failure at File:Line that shows both pictures,
// and the pixels are saved as "<Name>.png".
bool ExpectPicture(const TPixels& Pixels, const std::vector<std::string>& Want, const TLegend& Legend,
                   const std::string& Name, const char* File, int Line);

} // namespace qvtest
