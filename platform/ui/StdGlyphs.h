// The small glyphs of the classic look that menus and standard controls share, drawn pixel by pixel so
// that they come out the same at every size of the surrounding control.
#pragma once

#include "platform/gdi/Graphics.h"

#include <algorithm>
#include <cmath>

// Fills R with a colour (system colours included).
inline void FillColor(HDC DC, const RECT& R, TColor Color) {
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
}

// The contrast ratio of two colours (1 to 21), from their relative luminance as readability guidelines define it.
inline double ContrastRatio(TColor A, TColor B) {
    const auto Luminance = [](TColor C) {
        const COLORREF Rgb = ColorToRGB(C);
        const auto Channel = [](int V) {
            const double S = V / 255.0;
            return S <= 0.03928 ? S / 12.92 : std::pow((S + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * Channel(GetRValue(Rgb)) + 0.7152 * Channel(GetGValue(Rgb)) + 0.0722 * Channel(GetBValue(Rgb));
    };
    const double LA = Luminance(A), LB = Luminance(B);
    return (std::max(LA, LB) + 0.05) / (std::min(LA, LB) + 0.05);
}

// The text colour of a selection shown while its view has no focus, on the button face: the text's own colour
// while it reads there, else the button text colour, so the light text of a dark view does not vanish on it.
inline TColor InactiveSelectionTextColor(TColor Text) {
    return ContrastRatio(Text, clBtnFace) >= 4.5 ? Text : TColor(clBtnText);
}

// A tick 7 pixels wide and 7 high with its top-left corner at (X, Y).
inline void DrawCheckGlyph(HDC DC, int X, int Y, TColor Color) {
    // Three rows thick: down two steps, then up four.
    for (int I = 0; I < 7; ++I) {
        int Top = I < 3 ? Y + 2 + I : Y + 4 - (I - 2);
        FillColor(DC, RECT{X + I, Top, X + I + 1, Top + 3}, Color);
    }
}

// A check box's 13-pixel square at (X, Y): a sunken edge around a window-coloured face (button face
// when Dim), with a tick when Checked.
inline void DrawCheckSquare(HDC DC, int X, int Y, bool Checked, bool Dim, bool Grey = false) {
    RECT Edge{X, Y, X + 13, Y + 13};
    DrawEdge(DC, &Edge, EDGE_SUNKEN, BF_RECT);
    FillColor(DC, RECT{X + 2, Y + 2, X + 11, Y + 11}, Dim ? clBtnFace : clWindow);
    if (Checked)
        DrawCheckGlyph(DC, X + 3, Y + 3, Grey ? clBtnShadow : clWindowText);
}

// A round dot 6 pixels across with its top-left corner at (X, Y).
inline void DrawRadioDot(HDC DC, int X, int Y, TColor Color) {
    FillColor(DC, RECT{X + 1, Y, X + 5, Y + 6}, Color);
    FillColor(DC, RECT{X, Y + 1, X + 6, Y + 5}, Color);
}

// A solid triangle pointing right, 4 wide and 7 high, top-left corner at (X, Y).
inline void DrawRightArrow(HDC DC, int X, int Y, TColor Color) {
    for (int I = 0; I < 4; ++I)
        FillColor(DC, RECT{X + I, Y + I, X + I + 1, Y + 7 - I}, Color);
}

// Text in Color, or, when disabled, embossed: a light copy one pixel down and right under the text in
// the shadow colour.
inline void DrawStateText(HDC DC, const std::u16string& Text, RECT R, UINT Format, bool Enabled, TColor Color) {
    if (Enabled) {
        SetTextColor(DC, ColorToRGB(Color));
        DrawTextW(DC, Text.c_str(), int(Text.size()), &R, Format);
        return;
    }
    RECT Light{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
    SetTextColor(DC, ColorToRGB(clBtnHighlight));
    DrawTextW(DC, Text.c_str(), int(Text.size()), &Light, Format);
    SetTextColor(DC, ColorToRGB(clBtnShadow));
    DrawTextW(DC, Text.c_str(), int(Text.size()), &R, Format);
}
