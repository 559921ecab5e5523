#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/SkinSheet.h"
#include "skin/core/bsBlur.h"
#include "skin/core/bsUtils.h"

namespace {

// A white sheet with the block font in blue, so the glow (green) and the caption never mix up.
struct TGlowSheet : skintest::TSheet {
    TGlowSheet(int W, int H) : TSheet(W, H) { skintest::UseBlockFont(Canvas(), clBlue); }
    // The box of every pixel that is neither white nor the caption's blue.
    TRect GlowBox() {
        return BoxOf([](COLORREF C) { return C != 0xFFFFFF && C != 0xFF0000; });
    }
};

} // namespace

TEST(GlowText, WithoutBlurTheGlowIsTheTextMoved) {
    TGlowSheet S(20, 16);
    const int Height = DrawGlowText(S.Canvas(), TRect{2, 2, 18, 12}, u"a", 0, clLime, 2, DT_LEFT);
    EXPECT_EQ(Height, 8);
    // Caption block (2..4, 2..7) in blue over the glow block moved by (2, 2) in pure green.
    EXPECT_EQ(S.At(2, 2), 0xFF0000u);
    EXPECT_EQ(S.At(4, 5), 0xFF0000u);
    EXPECT_EQ(S.At(5, 4), 0x00FF00u);
    EXPECT_EQ(S.At(6, 9), 0x00FF00u);
    EXPECT_EQ(S.At(4, 9), 0x00FF00u);
    EXPECT_EQ(S.GlowBox(), (TRect{4, 4, 7, 10}));
}

TEST(GlowText, GlowReachesItsSizeAndStaysInTheGlowColour) {
    TGlowSheet S(24, 20);
    DrawGlowText(S.Canvas(), TRect{6, 6, 18, 14}, u"a", 3, clLime, 0, DT_LEFT);
    // The block (6..8, 6..11) blurred by 3: the glow ends 3 pixels out on every side.
    EXPECT_EQ(S.GlowBox(), (TRect{3, 3, 12, 15}));
    for (int Y = 3; Y < 15; ++Y)
        for (int X = 3; X < 12; ++X) {
            const COLORREF C = S.At(X, Y);
            if (C == 0xFF0000u)
                continue;
            // Green over white: green stays full, red and blue fade together.
            EXPECT_EQ(GetGValue(C), 255) << X << "," << Y;
            EXPECT_EQ(GetRValue(C), GetBValue(C)) << X << "," << Y;
        }
    // Symmetric about the block, and fainter further out.
    EXPECT_EQ(S.At(5, 8), S.At(9, 8));
    EXPECT_EQ(S.At(7, 5), S.At(7, 12));
    EXPECT_LT(GetRValue(S.At(5, 8)), GetRValue(S.At(4, 8)));
    EXPECT_LT(GetRValue(S.At(4, 8)), GetRValue(S.At(3, 8)));
    EXPECT_LT(GetRValue(S.At(3, 8)), 255);
}

TEST(GlowText, OutlineAndBoxGlows) {
    TGlowSheet Plain(24, 20), Outline(24, 20);
    DrawGlowText(Plain.Canvas(), TRect{6, 6, 18, 14}, u"a", 2, clLime, 0, DT_LEFT);
    DrawOutlineGlowText(Outline.Canvas(), TRect{6, 6, 18, 14}, u"a", 2, clLime, 0, DT_LEFT);
    // The outline thickens the coverage by a pixel each way before blurring; the glow's bitmap reaches only the
    // glow size beyond the rectangle, which cuts it on the left and top here.
    EXPECT_EQ(Plain.GlowBox(), (TRect{4, 4, 11, 14}));
    EXPECT_EQ(Outline.GlowBox(), (TRect{4, 4, 12, 15}));
    EXPECT_LT(GetRValue(Outline.At(5, 8)), GetRValue(Plain.At(5, 8)));

    TGlowSheet Vista(40, 40);
    EXPECT_EQ(DrawVistaGlowText(Vista.Canvas(), TRect{14, 14, 26, 22}, u"ab", clLime, DT_LEFT), 8);
    // A soft glow round the whole caption box, within its 12 pixels and the two blurs of 6.
    const TRect Box = Vista.GlowBox();
    EXPECT_GE(Box.Left, 14 - 12);
    EXPECT_LE(Box.Right, 26 + 12);
    EXPECT_LT(Box.Left, 14 - 3);
    EXPECT_GT(Box.Bottom, 22 + 3);
    EXPECT_EQ(Vista.At(14, 14), 0xFF0000u);

    // An empty caption or an empty rectangle shows no glow.
    TGlowSheet Empty(30, 30);
    DrawGlowText(Empty.Canvas(), TRect{10, 10, 20, 18}, u"", 3, clLime, 0, DT_LEFT);
    DrawVistaGlowText(Empty.Canvas(), TRect{15, 15, 15, 15}, u"ab", clLime, DT_LEFT);
    EXPECT_EQ(Empty.GlowBox().Right, -1);
}

TEST(GlowText, ReflectionFadesBelowTheCaption) {
    TGlowSheet S(20, 20);
    // Caption 8 high in a 12-high rectangle: rows 0 .. 8 carry coverage factors; the block's rows 3, 4 and 5
    // get 0.075, 0.2 and 0.325 of full coverage and, mirrored in the 12 rows and drawn from y = 4, land on rows
    // 12, 11 and 10.
    DrawReflectionText(S.Canvas(), TRect{0, 0, 20, 12}, u"a", clLime, 0, DT_LEFT);
    EXPECT_EQ(S.At(0, 0), 0xFF0000u);
    EXPECT_EQ(S.At(2, 5), 0xFF0000u);
    for (int Y : {6, 7, 8, 9, 13, 14})
        EXPECT_EQ(S.At(1, Y), 0xFFFFFFu) << Y;
    const COLORREF R10 = S.At(1, 10), R11 = S.At(1, 11), R12 = S.At(1, 12);
    for (COLORREF C : {R10, R11, R12}) {
        EXPECT_EQ(GetGValue(C), 255);
        EXPECT_EQ(GetRValue(C), GetBValue(C));
    }
    EXPECT_LT(GetRValue(R10), GetRValue(R11));
    EXPECT_LT(GetRValue(R11), GetRValue(R12));
    EXPECT_LT(GetRValue(R12), 255);
    EXPECT_EQ(S.At(3, 10), 0xFFFFFFu); // between the characters' columns nothing is mirrored
}
