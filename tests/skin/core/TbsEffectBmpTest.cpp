#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/base/System.h"
#include "platform/win/WinExtras.h"
#include "skin/core/TbsEffectBmp.h"

namespace {

// Pixels are written as 0xRRGGBB.
void Fill(TbsEffectBmp& B, const std::function<std::uint32_t(int, int)>& F) {
    for (int y = 0; y < B.Height; ++y)
        for (int x = 0; x < B.Width; ++x)
            B.SetPixel(x, y, F(x, y));
}

void FillColor(TbsEffectBmp& B, std::uint32_t C) {
    Fill(B, [C](int, int) { return C; });
}

// The expected Mix(t) of two pixels, channel by channel.
std::uint32_t Mix(std::uint32_t Self, std::uint32_t Other, double t) {
    std::uint32_t R = 0;
    for (int S = 0; S < 24; S += 8) {
        const double V = t * ((Self >> S) & 0xFF) + (1 - t) * ((Other >> S) & 0xFF);
        R |= static_cast<std::uint32_t>(std::nearbyint(V)) << S;
    }
    return R;
}

// Asymmetric colours, so that swapped red and blue show.
constexpr std::uint32_t SelfColor = 0xC8320A;  // red 200, green 50, blue 10
constexpr std::uint32_t OtherColor = 0x1464F0; // red 20, green 100, blue 240

} // namespace

TEST(TbsEffectBmp, RowsArePaddedAndPixelsAreBlueGreenRed) {
    TbsEffectBmp B(5, 2);
    EXPECT_EQ(B.RowLength, 16); // 15 bytes rounded up to a multiple of 4
    EXPECT_EQ(B.Size, 32);
    B.SetPixel(1, 1, SelfColor);
    const std::uint8_t* P = B.GetRow(1) + 3;
    EXPECT_EQ(P[0], 10);
    EXPECT_EQ(P[1], 50);
    EXPECT_EQ(P[2], 200);
}

TEST(TbsEffectBmp, MorphBlendsByFactorAndClampsIt) {
    struct Case {
        double Kf;
        std::uint32_t Expected;
    };
    const Case Cases[] = {
        {0.2, 0x333333}, // Round(0.8 * 0 + 0.2 * 255) = 51 in every channel
        {-1, 0x000000},
        {2, 0xFFFFFF},
        {NAN, 0x000000},
    };
    for (const Case& C : Cases) {
        TbsEffectBmp A(3, 2), B(3, 2);
        FillColor(B, 0xFFFFFF);
        A.Morph(B, C.Kf);
        EXPECT_EQ(A.GetPixel(2, 1), C.Expected) << C.Kf;
    }
    TbsEffectBmp A(3, 2), B(3, 2);
    FillColor(A, SelfColor);
    FillColor(B, OtherColor);
    A.Morph(B, 0.3);
    EXPECT_EQ(A.GetPixel(0, 0), Mix(SelfColor, OtherColor, 0.7));
    // Images of different sizes are left alone.
    TbsEffectBmp C(4, 2);
    A.Morph(C, 1);
    EXPECT_EQ(A.GetPixel(0, 0), Mix(SelfColor, OtherColor, 0.7));
}

TEST(TbsEffectBmp, HorizontalGradientWidensFromTheCentre) {
    TbsEffectBmp A(100, 20), B(100, 20);
    FillColor(A, SelfColor);
    FillColor(B, OtherColor);
    A.MorphHGrad(B, 0.2); // band 40 .. 60, fading over 40 columns each side with step 0.025
    for (int x = 40; x <= 60; ++x)
        EXPECT_EQ(A.GetPixel(x, 7), OtherColor) << x;
    EXPECT_EQ(A.GetPixel(39, 7), Mix(SelfColor, OtherColor, 0.025));
    EXPECT_EQ(A.GetPixel(61, 7), Mix(SelfColor, OtherColor, 0.025));
    EXPECT_EQ(A.GetPixel(0, 0), SelfColor);
    double t = 0; // the step accumulates column by column from the band's edge
    for (int x = 60; x < 99; ++x)
        t = std::min(1.0, t + 0.025);
    EXPECT_EQ(A.GetPixel(99, 19), Mix(SelfColor, OtherColor, t));
}

TEST(TbsEffectBmp, GradientsAtTheirLimits) {
    TbsEffectBmp A(100, 4), B(100, 4);
    FillColor(A, SelfColor);
    FillColor(B, OtherColor);
    A.MorphHGrad(B, 0.99);
    EXPECT_EQ(A.GetPixel(0, 1), SelfColor);
    EXPECT_EQ(A.GetPixel(1, 1), OtherColor);
    EXPECT_EQ(A.GetPixel(99, 1), OtherColor);

    TbsEffectBmp V(4, 100), W(4, 100);
    FillColor(V, SelfColor);
    FillColor(W, OtherColor);
    V.MorphGrad(W, 0.99); // taller than wide: the vertical form, whose zero step turns row 0 too
    EXPECT_EQ(V.GetPixel(2, 0), OtherColor);
    EXPECT_EQ(V.GetPixel(2, 99), OtherColor);

    // Factors far outside 0..1 keep every index inside the image.
    for (double Kf : {-3.0, 5.0, 1e300}) {
        A.MorphHGrad(B, Kf);
        V.MorphVGrad(W, Kf);
        A.MorphLeftGrad(B, Kf);
        A.MorphRightGrad(B, Kf);
        A.MorphPush(B, Kf);
        A.MorphLeftSlide(B, Kf);
        A.MorphRightSlide(B, Kf);
    }
}

TEST(TbsEffectBmp, SideGradients) {
    TbsEffectBmp A(10, 2), B(10, 2);
    FillColor(A, SelfColor);
    FillColor(B, OtherColor);
    A.MorphLeftGrad(B, 0); // at least one step: column 0 shows the other face, column 1 this one
    EXPECT_EQ(A.GetPixel(0, 1), OtherColor);
    EXPECT_EQ(A.GetPixel(1, 1), SelfColor);

    FillColor(A, SelfColor);
    A.MorphRightGrad(B, 0.5); // c = 5, step 0.2 from the right
    EXPECT_EQ(A.GetPixel(9, 0), OtherColor);
    EXPECT_EQ(A.GetPixel(8, 0), Mix(SelfColor, OtherColor, 0.2));
    EXPECT_EQ(A.GetPixel(5, 0), Mix(SelfColor, OtherColor, 0.8));
    EXPECT_EQ(A.GetPixel(4, 0), SelfColor);
}

TEST(TbsEffectBmp, PushAndSlides) {
    TbsEffectBmp A(5, 1), B(5, 1);
    Fill(A, [](int x, int) { return 0x100000u * (x + 1); });
    Fill(B, [](int x, int) { return 0x000010u * (x + 1); });
    auto Row = [](const TbsEffectBmp& E) {
        std::vector<std::uint32_t> R;
        for (int x = 0; x < E.Width; ++x)
            R.push_back(E.GetPixel(x, 0));
        return R;
    };
    TbsEffectBmp P(5, 1);
    P.CopyRect(A, Rect(0, 0, 4, 0), 0, 0);
    P.MorphPush(B, 1);
    EXPECT_EQ(Row(P), Row(B));

    P.CopyRect(A, Rect(0, 0, 4, 0), 0, 0);
    P.MorphPush(B, 0); // shifted by one column, column 0 shows the other face's last column
    EXPECT_EQ(Row(P), (std::vector<std::uint32_t>{0x50, 0x100000, 0x200000, 0x300000, 0x400000}));

    P.CopyRect(A, Rect(0, 0, 4, 0), 0, 0);
    P.MorphLeftSlide(B, 1); // the other face's last four columns cover the first four
    EXPECT_EQ(Row(P), (std::vector<std::uint32_t>{0x20, 0x30, 0x40, 0x50, 0x500000}));

    P.CopyRect(A, Rect(0, 0, 4, 0), 0, 0);
    P.MorphRightSlide(B, 0.4); // b = 2: the other face's first two columns cover the last two
    EXPECT_EQ(Row(P), (std::vector<std::uint32_t>{0x100000, 0x200000, 0x300000, 0x10, 0x20}));
}

TEST(TbsEffectBmp, WholeImageEffects) {
    struct Case {
        const char* Name;
        std::function<void(TbsEffectBmp&)> Effect;
        std::uint32_t In, Out;
    };
    const Case Cases[] = {
        {"gray green", [](TbsEffectBmp& B) { B.GrayScale(); }, 0x00FF00, 0x969696},
        {"gray blue", [](TbsEffectBmp& B) { B.GrayScale(); }, 0x0000FF, 0x1C1C1C},
        {"gray white", [](TbsEffectBmp& B) { B.GrayScale(); }, 0xFFFFFF, 0xFFFFFF},
        {"invert", [](TbsEffectBmp& B) { B.Invert(); }, SelfColor, 0x37CDF5},
        // Round(0.5 * c + 127.5): 200 -> 227.5 -> 228 (ties to even), 50 -> 152.5 -> 152, 10 -> 132.5 -> 132
        {"brightness", [](TbsEffectBmp& B) { B.ApplyInActiveEffect(ieBrightness); }, SelfColor, 0xE49884},
        // Round(0.7 * c): 140, 35, 7
        {"darkness", [](TbsEffectBmp& B) { B.ApplyInActiveEffect(ieDarkness); }, SelfColor, 0x8C2307},
        {"brightness clamps its factor", [](TbsEffectBmp& B) { B.ChangeBrightness(3); }, SelfColor, 0xFFFFFF},
    };
    for (const Case& C : Cases) {
        TbsEffectBmp B(2, 2);
        FillColor(B, C.In);
        C.Effect(B);
        EXPECT_EQ(B.GetPixel(1, 1), C.Out) << C.Name;
    }
}

TEST(TbsEffectBmp, RotationsAndFlipRestoreTheImage) {
    TbsEffectBmp A(3, 2);
    Fill(A, [](int x, int y) { return 0x010203u * (1 + x + 3 * y); });
    TbsEffectBmp R(2, 3), Back(3, 2), F(3, 2);
    A.Rotate90_1(R);
    EXPECT_EQ(R.GetPixel(0, 2), A.GetPixel(0, 0)); // a quarter turn counter-clockwise
    R.Rotate90_2(Back);
    A.FlipVert(F);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Back.GetPixel(x, y), A.GetPixel(x, y));
            EXPECT_EQ(F.GetPixel(x, 1 - y), A.GetPixel(x, y));
        }
}

TEST(TbsEffectBmp, BlursNeverReadOutsideTheImage) {
    // A one-pixel-high image and amounts beyond the image: the far neighbour stays inside.
    TbsEffectBmp A(3, 1);
    Fill(A, [](int x, int) { return 0x040404u * (x + 1); });
    A.SplitBlur(1);
    // Row 0 for both neighbours; columns 0 and 1 for pixel 0, then the already changed pixels.
    EXPECT_EQ(A.GetPixel(0, 0), 0x060606u);
    for (int Amount : {5, -5}) {
        TbsEffectBmp B(4, 3), M(4, 3);
        Fill(B, [](int x, int y) { return 0x102030u * (1 + (x + y) % 3); });
        B.SplitBlur(Amount);
        B.MaskBlur(M, Amount);
        B.MaskAntialiasing(M, Amount);
    }
}

TEST(TbsEffectBmp, MaskBlurSparesWhiteMaskPixels) {
    TbsEffectBmp B(4, 4), M(4, 4);
    Fill(B, [](int x, int) { return x < 2 ? 0x000000u : 0xFC0000u; });
    Fill(M, [](int x, int y) { return y == 0 ? 0xFFFFFFu : 0x000000u; });
    TbsEffectBmp Anti(4, 4);
    Anti.CopyRect(B, Rect(0, 0, 3, 3), 0, 0);
    B.MaskBlur(M, 1);
    EXPECT_EQ(B.GetPixel(1, 0), 0x000000u); // white mask: untouched
    EXPECT_EQ(B.GetPixel(1, 1), 0x7E0000u); // (0 + 0 + 252 + 252) / 4
    Anti.MaskAntialiasing(M, 1);
    EXPECT_EQ(Anti.GetPixel(1, 1), 0x7E0000u); // its upper neighbours lie on the white row: an edge pixel
    EXPECT_EQ(Anti.GetPixel(1, 3), 0x000000u); // no white neighbour: not an edge
}

TEST(TbsEffectBmp, NoiseStaysInItsRange) {
    RandSeed = 12345;
    TbsEffectBmp B(8, 8);
    FillColor(B, 0x808080);
    B.AddMonoNoise(50);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t P = B.GetPixel(x, y);
            const int R = (P >> 16) & 0xFF, G = (P >> 8) & 0xFF, Bl = P & 0xFF;
            EXPECT_EQ(R, G); // one draw for all three channels
            EXPECT_EQ(G, Bl);
            EXPECT_GE(R, 128 - 25);
            EXPECT_LE(R, 128 + 24);
        }
}

TEST(TbsEffectBmp, CopyRectResizeAndMosaic) {
    TbsEffectBmp Src(4, 4);
    Fill(Src, [](int x, int y) { return 0x010000u * x + 0x000001u * y; });
    TbsEffectBmp Dst(3, 3);
    Dst.CopyRect(Src, Rect(1, 1, 5, 5), 2, 0); // both ends included, cut at the target's edge
    EXPECT_EQ(Dst.GetPixel(0, 0), 0u);
    EXPECT_EQ(Dst.GetPixel(1, 1), Src.GetPixel(2, 0));
    EXPECT_EQ(Dst.GetPixel(2, 2), Src.GetPixel(3, 1));

    TbsEffectBmp Big(7, 7);
    Src.Resize(Big); // factor 1.5: each pixel fills a 3 x 3 block at (Round(1.5 x), Round(1.5 y))
    EXPECT_EQ(Big.GetPixel(6, 6), Src.GetPixel(3, 3)); // Round(4.5) = 4, block 4 .. 6
    EXPECT_EQ(Big.GetPixel(3, 0), Src.GetPixel(2, 0)); // Round(1.5) = 2 covers 2 .. 4, then Round(3.0) = 3

    Src.Mosaic(3);
    EXPECT_EQ(Src.GetPixel(2, 2), 0u);
    EXPECT_EQ(Src.GetPixel(3, 1), 0x030000u);
}

// The image drawn on a window's DC (whole, stretched, one part) shows pixel for pixel on the headless screen,
// and a bitmap copied from that DC comes back as the same image.
TEST(TbsEffectBmp, DrawnOnAndCopiedFromAWindowsDC) {
    ResetWindowManager();
    WNDCLASSEXW K;
    K.lpszClassName = u"EffectHost";
    K.lpfnWndProc = &DefWindowProcW;
    K.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassExW(&K);
    HWND Host = CreateWindowExW(0, u"EffectHost", u"", WS_POPUP | WS_VISIBLE, 100, 50, 40, 20, nullptr, nullptr,
                                nullptr, nullptr);
    ProcessPendingMessages();

    TbsEffectBmp E(3, 2);
    const std::uint32_t Colours[2][3] = {{0xC8320A, 0x1464F0, 0x010203}, {0xFEFDFC, 0x7F007F, 0x00FF00}};
    Fill(E, [&](int x, int y) { return Colours[y][x]; });
    auto OnScreen = [](int X, int Y) {
        const COLORREF C = ScreenPixel(X, Y);
        return std::uint32_t(GetRValue(C)) << 16 | std::uint32_t(GetGValue(C)) << 8 | GetBValue(C);
    };

    HDC DC = GetDC(Host);
    E.Draw(DC, 1, 1);
    E.Stretch(DC, 10, 0, 6, 4);
    E.DrawRect(DC, 20, 5, 1, 0, 2, 2);
    ReleaseDC(Host, DC);
    ProcessPendingMessages();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(OnScreen(101 + x, 51 + y), Colours[y][x]) << x << "," << y;
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(OnScreen(110 + 2 * x + k % 2, 50 + 2 * y + k / 2), Colours[y][x]) << x << "," << y;
            if (x > 0) {
                EXPECT_EQ(OnScreen(120 + x - 1, 55 + y), Colours[y][x]) << x << "," << y;
            }
        }
    EXPECT_EQ(OnScreen(100, 50), 0xFFFFFFu);
    EXPECT_EQ(OnScreen(122, 55), 0xFFFFFFu);

    DC = GetDC(Host);
    HDC Mem = CreateCompatibleDC(DC);
    HBITMAP Copy = CreateCompatibleBitmap(DC, 3, 2);
    HGDIOBJ Old = SelectObject(Mem, Copy);
    BitBlt(Mem, 0, 0, 3, 2, DC, 1, 1, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteDC(Mem);
    ReleaseDC(Host, DC);
    std::unique_ptr<TbsEffectBmp> Back(TbsEffectBmp::CreateFromhWnd(Copy));
    DeleteObject(Copy);
    ASSERT_EQ(Back->Width, 3);
    ASSERT_EQ(Back->Height, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Back->GetPixel(x, y), Colours[y][x]) << x << "," << y;

    std::unique_ptr<TbsEffectBmp> None(TbsEffectBmp::CreateFromhWnd(nullptr));
    EXPECT_EQ(None->Bits, nullptr);
    EXPECT_EQ(None->Handle, nullptr);
    ResetWindowManager();
}
