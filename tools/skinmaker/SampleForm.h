// One sample form per skin, drawn from the loaded skin's own records with the skin library's drawing routines (a
// caption with its buttons, a menu bar, buttons in their states, check and radio boxes, a combo box, a list, a
// scroll bar, a slider and tabs), and a sheet that shows the nine skins' forms side by side.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "skin/core/bsSkinData.h"

namespace skinmaker {

// Text in R in the given font: centred, or from the left edge; vertically centred either way.
void DrawText(TCanvas* C, const TRect& R, const String& S, const String& Font, int Height, TColor Colour,
              TFontStyles Style = {}, bool Centre = true);
// The top W x H pixels of a 24-bit bitmap as a PNG file.
void SavePng(TBitmap& B, int W, int H, const String& FileName);

std::unique_ptr<TBitmap> DrawSampleForm(TbsSkinData& D);

void WriteSideBySide(const std::vector<std::pair<String, std::unique_ptr<TBitmap>>>& Forms, const String& FileName);

} // namespace skinmaker
