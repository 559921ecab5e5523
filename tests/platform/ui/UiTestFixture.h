// The fixture of the class library's tests: a fresh window manager on the tests' clock.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/ui/Controls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        SetWinClock(std::make_unique<TTestClock>(1000, 1));
    }
    void TearDown() override {
        ResetWindowManager();
        SetWinClock(nullptr);
    }
    // Runs what is queued (input, posted messages, painting, timers due).
    void Pump() { ProcessPendingMessages(); }
    // Moves the clock on and runs what fell due.
    void Wait(std::uint64_t Ms) {
        WinClock().AdvanceTo(WinClock().Current() + Ms);
        Pump();
    }
    // A key press, or a click at a screen point, with a modifier key (VK_SHIFT, VK_CONTROL) held.
    void Key(UINT Vk, UINT Modifier = 0) {
        if (Modifier)
            InjectKey(Modifier, true);
        InjectKeyPress(Vk);
        if (Modifier)
            InjectKey(Modifier, false);
        Pump();
    }
    void Click(TPoint P, UINT Modifier = 0) {
        if (Modifier)
            InjectKey(Modifier, true);
        InjectClick(P.X, P.Y);
        if (Modifier)
            InjectKey(Modifier, false);
        Pump();
    }
};

// Pictures of painted controls, one character per pixel in the classic colours: 'F' face, 'W' white,
// 'S' shadow, 'D' dark shadow, 'K' black, 'B' selection blue; '?' anything else.
namespace uitest {

inline char ClassicChar(COLORREF C) {
    switch (C) {
    case RGB(212, 208, 200):
        return 'F';
    case RGB(255, 255, 255):
        return 'W';
    case RGB(128, 128, 128):
        return 'S';
    case RGB(64, 64, 64):
        return 'D';
    case RGB(0, 0, 0):
        return 'K';
    case RGB(10, 36, 106):
        return 'B';
    }
    return '?';
}

// Sends the control WM_PAINT with a bitmap's DC in WParam, as a parent painting into its own DC does.
inline std::unique_ptr<TBitmap> PaintToBitmap(TControl& Control) {
    auto Bitmap = std::make_unique<TBitmap>(Control.Width(), Control.Height());
    Control.Perform(WM_PAINT, WPARAM(Bitmap->Canvas()->Handle()), 0);
    return Bitmap;
}

inline std::string PictureOf(TBitmap& Bitmap) {
    std::string S;
    for (int Y = 0; Y < Bitmap.Height(); ++Y) {
        for (int X = 0; X < Bitmap.Width(); ++X)
            S += ClassicChar(ColorToRGB(Bitmap.Canvas()->Pixels(X, Y)));
        S += "\n";
    }
    return S;
}

// Compares; on a difference the picture is saved as ui_failed_<line>.png for a person to look at.
inline void ExpectPicture(TBitmap& Bitmap, const std::vector<std::string>& Want, int Line) {
    std::string Expected;
    for (const std::string& Row : Want)
        Expected += Row + "\n";
    std::string Got = PictureOf(Bitmap);
    if (Got == Expected)
        return;
    ADD_FAILURE_AT(__FILE__, Line) << "picture differs\n got:\n" << Got << " want:\n" << Expected;
    std::vector<std::uint32_t> Pixels;
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
        for (int X = 0; X < Bitmap.Width(); ++X) {
            COLORREF C = ColorToRGB(Bitmap.Canvas()->Pixels(X, Y));
            Pixels.push_back(0xFF000000u | GetRValue(C) << 16 | GetGValue(C) << 8 | GetBValue(C));
        }
    TPngImage Png;
    Png.SetPixels(Bitmap.Width(), Bitmap.Height(), Pixels.data(), false);
    Png.SaveToFile(u"ui_failed_" + IntToStr(Line) + u".png");
}

} // namespace uitest
