#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/base/System.h"
#include "skin/core/bsBlur.h"

namespace {

// The filter written out directly, pass by pass, for comparison with the running sums.
std::vector<TbsColor> DirectBlur(const TbsBitmap& B, int r) {
    const int W = B.Width(), H = B.Height(), D = (r + 1) * (r + 1);
    std::vector<TbsColor> Out(static_cast<std::size_t>(W) * H, 0xFF000000u);
    for (int Shift = 0; Shift < 24; Shift += 8) {
        std::vector<int> Horz(static_cast<std::size_t>(W) * H);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                int Sum = 0;
                for (int k = -r; k <= r; ++k)
                    Sum += (r + 1 - std::abs(k)) *
                           static_cast<int>((*B.GetPixelPtr(std::clamp(X + k, 0, W - 1), Y) >> Shift) & 0xFF);
                Horz[Y * W + X] = Sum / D;
            }
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                int Sum = 0;
                for (int k = -r; k <= r; ++k)
                    Sum += (r + 1 - std::abs(k)) * Horz[std::clamp(Y + k, 0, H - 1) * W + X];
                Out[Y * W + X] |= static_cast<TbsColor>(Sum / D) << Shift;
            }
    }
    return Out;
}

std::vector<TbsColor> Pixels(const TbsBitmap& B) {
    return std::vector<TbsColor>(B.Bits(), B.Bits() + B.Width() * B.Height());
}

} // namespace

TEST(bsBlur, SingleWhitePixelWithRadiusOne) {
    TbsBitmap B;
    B.SetSize(5, 5);
    B.PutPixel(2, 2, 0x00FFFFFF);
    BlurBitmap(B, 1);
    EXPECT_EQ(*B.GetPixelPtr(2, 2), 0xFF3F3F3Fu); // 63
    EXPECT_EQ(*B.GetPixelPtr(1, 2), 0xFF1F1F1Fu); // 31
    EXPECT_EQ(*B.GetPixelPtr(2, 3), 0xFF1F1F1Fu);
    EXPECT_EQ(*B.GetPixelPtr(3, 3), 0xFF0F0F0Fu); // 15
    EXPECT_EQ(*B.GetPixelPtr(0, 0), 0xFF000000u);
}

TEST(bsBlur, RunningSumsEqualTheDirectFilter) {
    RandSeed = 2024;
    for (int Radius : {1, 2, 3, 6, 12}) {
        TbsBitmap B;
        B.SetSize(9, 7); // radius 12 reaches far past every edge
        for (int I = 0; I < 9 * 7; ++I)
            B.Bits()[I] = static_cast<TbsColor>(Random(256)) << 16 | static_cast<TbsColor>(Random(256)) << 8 |
                          static_cast<TbsColor>(Random(256)) | 0x12000000u;
        const std::vector<TbsColor> Expected = DirectBlur(B, Radius);
        BlurBitmap(B, Radius);
        EXPECT_EQ(Pixels(B), Expected) << Radius;
    }
}

TEST(bsBlur, UniformImagesAndRadiusZero) {
    TbsBitmap B;
    B.SetSize(4, 3);
    B.Clear(0x40C8640A);
    BlurBitmap(B, 0);
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(12, 0x40C8640A));
    BlurBitmap(B, 2);
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(12, 0xFFC8640A));
}

TEST(bsBlur, AlphaFromMask) {
    TbsBitmap B, M;
    B.SetSize(3, 1);
    B.Clear(0xFF123456);
    M.SetSize(2, 1);
    M.PutPixel(0, 0, 0x00FFFFFE);
    M.PutPixel(1, 0, 0xFF010100);
    SetAlphaFromMask(B, M);
    EXPECT_EQ(Pixels(B), (std::vector<TbsColor>{0xFE123456, 0x00123456, 0xFF123456}));
}
