// Pictures of the class library's controls painted in the classic colours, and the fixture of its tests.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/ui/Controls.h"
#include "platform/win/WinExtras.h"
#include "tests/support/Pictures.h"
#include "tests/support/UiFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Pictures of painted controls, one character per pixel in the classic colours: 'F' face, 'W' white,
// 'S' shadow, 'D' dark shadow, 'K' black, 'B' selection blue; '?' anything else.
namespace uitest {

inline const qvtest::TLegend& ClassicLegend() {
    static const qvtest::TLegend Legend = {{'F', RGB(212, 208, 200)}, {'W', RGB(255, 255, 255)},
                                           {'S', RGB(128, 128, 128)}, {'D', RGB(64, 64, 64)},
                                           {'K', RGB(0, 0, 0)},       {'B', RGB(10, 36, 106)}};
    return Legend;
}

// Sends the control WM_PAINT with a bitmap's DC in WParam, as a parent painting into its own DC does.
inline std::unique_ptr<TBitmap> PaintToBitmap(TControl& Control) {
    auto Bitmap = std::make_unique<TBitmap>(Control.Width(), Control.Height());
    Control.Perform(WM_PAINT, WPARAM(Bitmap->Canvas()->Handle()), 0);
    return Bitmap;
}

inline std::string PictureOf(TBitmap& Bitmap) {
    std::string S;
    for (const std::string& Row : qvtest::PictureOf(qvtest::PixelsOf(Bitmap), ClassicLegend()))
        S += Row + "\n";
    return S;
}

// Compares; on a difference the picture is saved as ui_failed_<line>.png for a person to look at.
inline void ExpectPicture(TBitmap& Bitmap, const std::vector<std::string>& Want, int Line) {
    qvtest::ExpectPicture(qvtest::PixelsOf(Bitmap), Want, ClassicLegend(), "ui_failed_" + std::to_string(Line),
                          __FILE__, Line);
}

} // namespace uitest
