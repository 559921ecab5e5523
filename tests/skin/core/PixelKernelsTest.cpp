#include <gtest/gtest.h>

#include <vector>

#include "skin/core/PixelKernels.h"
#include "skin/core/bsUtils.h"

TEST(PixelKernels, BlendRowPlainAndVectorForms) {
    struct Case {
        void (*Row)(const TbsColor*, TbsColor*, int);
        TbsColor Src, Dst, Expected;
    };
    const Case Cases[] = {
        // Half-transparent red over black: the plain form makes the result opaque.
        {BlendRow, 0x80FF0000, 0x00000000, 0xFF7F0000},
        // The vector form blends the alpha too: (0 * 128 + 128 * 128) >> 8 = 64 over a clear target.
        {BlendRowMMX, 0x80FF0000, 0x00000000, 0x407F0000},
        {BlendRowMMX, 0x80FF0000, 0xFF0000FF, 0xBF7F007F},
        // Asymmetric channels show any red/blue mix-up: red 200, green 100, blue 10 over red 10, blue 200.
        {BlendRow, 0x40C8640A, 0xFF0A00C8, 0xFF391997},
        {BlendRowMMX, 0x40C8640A, 0xFF0A00C8, 0xCF391998},
        // Alpha 0 leaves the target, alpha 255 replaces it, in both forms.
        {BlendRow, 0x00123456, 0x89ABCDEF, 0x89ABCDEF},
        {BlendRowMMX, 0x00123456, 0x89ABCDEF, 0x89ABCDEF},
        {BlendRow, 0xFF123456, 0x89ABCDEF, 0xFF123456},
        {BlendRowMMX, 0xFF123456, 0x89ABCDEF, 0xFF123456},
    };
    for (const Case& C : Cases) {
        TbsColor Dst = C.Dst;
        C.Row(&C.Src, &Dst, 1);
        EXPECT_EQ(Dst, C.Expected) << std::hex << C.Src << " over " << C.Dst;
    }
}

TEST(PixelKernels, BlendPixelKeepsEndsExact) {
    EXPECT_EQ(BlendPixel(0xFF102030, 0x80405060), 0xFF102030u);
    EXPECT_EQ(BlendPixel(0x00102030, 0x80405060), 0x80405060u);
    // The vector form has no special cases: at alpha 255 a channel is (d + 255 s) >> 8, so alpha 255 over 128
    // comes out as 254.
    EXPECT_EQ(BlendPixelMMX(0xFF102030, 0x80405060), 0xFE102030u);
}

TEST(PixelKernels, TransparentCopyRowSkipsKeyPixels) {
    const TbsColor Src[] = {0x007F007F, 0xFF7F007F, 0x00123456, 0x807F0080};
    TbsColor Dst[] = {0x11111111, 0x22222222, 0x33333333, 0x44444444};
    TransparentCopyRow(Src, Dst, 4);
    EXPECT_EQ(Dst[0], 0x11111111u);
    EXPECT_EQ(Dst[1], 0x22222222u);
    EXPECT_EQ(Dst[2], 0xFF123456u);
    EXPECT_EQ(Dst[3], 0xFF7F0080u);
}

TEST(PixelKernels, RectKernelsIncludeTheirEnds) {
    std::vector<TbsColor> Bits(4 * 3, 0x01020304);
    FillRectPixels(Bits.data(), 4, 3, 1, 0, 2, 1, 0xAABBCCDD);
    SetAlphaRect(Bits.data(), 4, 3, 2, 1, 3, 2, 0x40);
    const std::vector<TbsColor> Expected = {
        0x01020304, 0xAABBCCDD, 0xAABBCCDD, 0x01020304, //
        0x01020304, 0xAABBCCDD, 0x40BBCCDD, 0x40020304, //
        0x01020304, 0x01020304, 0x40020304, 0x40020304,
    };
    EXPECT_EQ(Bits, Expected);
    // An inverted rectangle does nothing.
    FillRectPixels(Bits.data(), 4, 3, 2, 0, 1, 2, 0);
    EXPECT_EQ(Bits, Expected);
}

TEST(PixelKernels, ColourConversionAndClamping) {
    EXPECT_EQ(ColorToBsColor(0x00C86432), 0xFF3264C8u);
    // System colours are not resolved: only the low three bytes are swapped.
    EXPECT_EQ(ColorToBsColor(0xFF00000F), 0xFF0F0000u);
    int R = 256, G = -1, B = 255;
    ClampRGB(R, G, B);
    EXPECT_EQ(R, 255);
    EXPECT_EQ(G, 0);
    EXPECT_EQ(B, 255);
    TbsColor Row[] = {0xFF123456, 0xFF654321};
    ClearAlphaOfColor(Row, 2, 0x00123456);
    EXPECT_EQ(Row[0], 0x00123456u);
    EXPECT_EQ(Row[1], 0xFF654321u);
}

TEST(PixelKernels, VectorFormIsTheDefaultOnMachinesWithMMX) {
    InitPixelKernels();
    EXPECT_EQ(PixelKernels.BlendRow == BlendRowMMX, CPUHasMMX());
}
