#include <gtest/gtest.h>

#include <vector>

#include "platform/base/SysUtils.h"
#include "skin/core/TbsBitmap.h"

namespace {

std::vector<TbsColor> Pixels(const TbsBitmap& B) {
    return std::vector<TbsColor>(B.Bits(), B.Bits() + B.Width() * B.Height());
}

std::vector<TbsColor> Row(const TbsBitmap& B, int Y) {
    return std::vector<TbsColor>(B.GetRowPtr(Y), B.GetRowPtr(Y) + B.Width());
}

// A source whose pixel (x, y) is 0xFF000000 + 0x10000 * x + y: red tells the column, blue the row.
void FillCoordinates(TbsBitmap& B) {
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            B.PutPixel(X, Y, 0xFF000000u + 0x10000u * X + Y);
}

std::vector<int> SourceColumns(const std::vector<TbsColor>& R) {
    std::vector<int> Result;
    for (TbsColor P : R)
        Result.push_back(static_cast<int>((P >> 16) & 0xFF));
    return Result;
}

// A plain bottom-up 32-bit DIB section, as a window's back buffer is.
HBITMAP MakeDib(int W, int H, TbsColor*& Bits) {
    BITMAPINFO Info{};
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = H;
    Info.bmiHeader.biBitCount = 32;
    void* P = nullptr;
    HBITMAP Dib = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &P, nullptr, 0);
    Bits = static_cast<TbsColor*>(P);
    return Dib;
}

} // namespace

TEST(TbsBitmap, SetSizeRules) {
    TbsBitmap B;
    EXPECT_TRUE(B.Empty());
    B.SetSize(-10, 5);
    EXPECT_EQ(B.Width(), 10);
    EXPECT_EQ(B.Height(), 5);
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(50, 0));
    B.Clear(0x80C8640A);
    B.SetSize(0, 5);
    B.SetSize(5, 0);
    B.SetSize(10, 5);
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(50, 0x80C8640A));
    B.SetSize(5, 10);
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(50, 0));
}

TEST(TbsBitmap, AFailedSetSizeLeavesTheBitmapEmpty) {
    TbsBitmap B;
    B.SetSize(4, 4);
    try {
        B.SetSize(70000, 1);
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), u"Can't allocate the DIB handle");
    }
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(B.Width(), 0);
    EXPECT_EQ(B.Height(), 0);
    EXPECT_EQ(B.Bits(), nullptr);
    B.SetSize(4, 4); // usable again
    EXPECT_FALSE(B.Empty());
}

TEST(TbsBitmap, RegistryFindsBitmapsByTheirDC) {
    HDC Old;
    {
        TbsBitmap B;
        B.SetSize(2, 2);
        B.SetSize(3, 3);
        B.SetSize(4, 4);
        EXPECT_EQ(FindBitmapByDC(B.DC()), &B);
        Old = B.DC();
    }
    EXPECT_EQ(FindBitmapByDC(Old), nullptr);
    EXPECT_EQ(FindBitmapByDC(nullptr), nullptr);
}

TEST(TbsBitmap, AlphaAndKeyChecks) {
    TbsBitmap B;
    B.CheckingAlphaBlend();
    EXPECT_FALSE(B.AlphaBlend());
    B.SetSize(3, 1);
    B.PutPixel(0, 0, 0xFF102030);
    B.CheckingAlphaBlend();
    EXPECT_FALSE(B.AlphaBlend());
    B.PutPixel(1, 0, 0x80102030);
    B.CheckingAlphaBlend();
    EXPECT_TRUE(B.AlphaBlend());

    B.PutPixel(0, 0, 0xFFFA05FB); // (250, 5, 251): within 6 of magenta
    B.PutPixel(1, 0, 0xFFF900FF); // (249, 0, 255): red differs by 6
    B.PutPixel(2, 0, 0x00FF00FF);
    B.CheckingTransparent(0x00FF00FF);
    EXPECT_TRUE(B.Transparent());
    EXPECT_EQ(Row(B, 0), (std::vector<TbsColor>{0x007F007F, 0xFFF900FF, 0x007F007F}));
}

TEST(TbsBitmap, AssignCopiesOrEmpties) {
    TbsBitmap Src, Dst;
    Src.SetSize(2, 2);
    FillCoordinates(Src);
    Src.SetName(u"face");
    Src.SetAlphaBlend(true);
    Dst.Assign(Src);
    EXPECT_EQ(Pixels(Dst), Pixels(Src));
    EXPECT_EQ(Dst.Name(), u"face");
    EXPECT_TRUE(Dst.AlphaBlend());

    TbsBitmap None;
    Dst.Assign(None);
    EXPECT_TRUE(Dst.Empty());
    EXPECT_EQ(Dst.Width(), 0);
}

TEST(TbsBitmap, FlipAndReflection) {
    TbsBitmap B;
    B.SetSize(1, 4);
    for (int Y = 0; Y < 4; ++Y)
        B.PutPixel(0, Y, 0xFF000000u + Y);
    B.Reflection3();
    // Flipped, then alpha Round(k * 255) div 2 with k = 1, 0.5, 0, -0.5.
    EXPECT_EQ(Pixels(B), (std::vector<TbsColor>{0x7F000003, 0x40000002, 0x00000001, 0x00000000}));
}

TEST(TbsBitmap, FillRectPlainAndBlended) {
    TbsBitmap B;
    B.SetSize(3, 2);
    B.Clear(0xFF0000FF);
    B.FillRect(Rect(1, 1, 9, 9), 0xFFC86400);
    EXPECT_EQ(Pixels(B),
              (std::vector<TbsColor>{0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFFC86400, 0xFFC86400}));
    B.SetAlphaBlend(true);
    B.FillRect(Rect(0, 0, 1, 1), 0x80FF0000);
    // The default (vector) form blends the alpha too: 0xBF7F007F; the plain form gives 0xFF7F007F.
    EXPECT_EQ(*B.GetPixelPtr(0, 0), PixelKernels.BlendPixel(0x80FF0000, 0xFF0000FF));
    B.SetAlpha(0x10, Rect(2, 0, 5, 1));
    EXPECT_EQ(*B.GetPixelPtr(2, 0), 0x100000FFu);
    EXPECT_EQ(*B.GetPixelPtr(2, 1), 0xFFC86400u);
}

TEST(TbsBitmap, StretchMapsCornersToCorners) {
    TbsBitmap Src, Dst;
    Src.SetSize(3, 2);
    FillCoordinates(Src);
    Dst.SetSize(5, 1);
    Src.Draw(Dst, Rect(0, 0, 5, 1), Rect(0, 0, 3, 2));
    EXPECT_EQ(SourceColumns(Row(Dst, 0)), (std::vector<int>{0, 0, 1, 1, 2}));
    EXPECT_EQ(*Dst.GetPixelPtr(0, 0) & 0xFF, 0u); // one destination row reads the middle row (0 + 2 - 1) div 2

    Dst.Clear(0);
    Src.Draw(Dst, Rect(2, 0, 3, 1), Rect(0, 0, 3, 2)); // one column wide: the middle source column
    EXPECT_EQ(*Dst.GetPixelPtr(2, 0), 0xFF010000u);

    // Into the bottom-up pixels of a plain DIB the table rounds (ties to even): 0, 0, 1, 2, 2.
    TbsColor* P = nullptr;
    HBITMAP Dib = MakeDib(5, 2, P);
    ASSERT_TRUE(Dib);
    StretchCopyBits(P, Rect(0, 0, 5, 1), Rect(0, 0, 5, 2), 5, 2, Src, Rect(0, 0, 3, 1));
    // Image row 0 is the last stored row.
    EXPECT_EQ(SourceColumns(std::vector<TbsColor>(P + 5, P + 10)), (std::vector<int>{0, 0, 1, 2, 2}));
    EXPECT_EQ(std::vector<TbsColor>(P, P + 5), std::vector<TbsColor>(5, 0));
    DeleteObject(Dib);
}

TEST(TbsBitmap, ClippingAndSourceChecks) {
    TbsBitmap Src, Dst;
    Src.SetSize(4, 4);
    FillCoordinates(Src);
    Dst.SetSize(3, 3);
    Src.Draw(Dst, Rect(0, 0, 3, 3), Rect(2, 2, 5, 5)); // reaches outside the source: nothing
    EXPECT_EQ(Pixels(Dst), std::vector<TbsColor>(9, 0));
    Src.Draw(Dst, -2, -1, Rect(0, 0, 4, 4)); // partly outside the target: source offset by the clip
    EXPECT_EQ(*Dst.GetPixelPtr(0, 0), 0xFF020001u);
    EXPECT_EQ(*Dst.GetPixelPtr(1, 2), 0xFF030003u);
}

TEST(TbsBitmap, KeyedAndBlendedDrawing) {
    TbsBitmap Src, Dst;
    Src.SetSize(2, 1);
    Src.PutPixel(0, 0, 0x007F007F);
    Src.PutPixel(1, 0, 0x00123456);
    Src.SetTransparent(true);
    Dst.SetSize(2, 1);
    Dst.Clear(0xFF0000C8);
    Src.Draw(Dst, 0, 0);
    EXPECT_EQ(Row(Dst, 0), (std::vector<TbsColor>{0xFF0000C8, 0xFF123456}));

    Src.SetAlphaBlend(true); // blending wins over the key
    Src.PutPixel(0, 0, 0x80C8000A);
    Dst.Clear(0xFF0A00C8);
    Src.Draw(Dst, 0, 0);
    const TbsColor Expected = PixelKernels.BlendPixel(0x80C8000A, 0xFF0A00C8);
    EXPECT_EQ(*Dst.GetPixelPtr(0, 0), Expected);
    EXPECT_EQ(*Dst.GetPixelPtr(1, 0), 0xFF0A00C8u); // alpha 0 leaves the target
}

TEST(TbsBitmap, DrawingIntoABitmapsDCWorksPixelToPixel) {
    TbsBitmap Src, Dst;
    Src.SetSize(2, 2);
    FillCoordinates(Src);
    Dst.SetSize(4, 4);
    SetWindowOrgEx(Dst.DC(), 1, 1, nullptr);
    Src.Draw(Dst.DC(), 2, 2); // logical (2, 2) is pixel (1, 1)
    EXPECT_EQ(*Dst.GetPixelPtr(1, 1), 0xFF000000u);
    EXPECT_EQ(*Dst.GetPixelPtr(2, 2), 0xFF010001u);
}

TEST(TbsBitmap, BlendingOntoAPlainDCGoesThroughACopy) {
    TbsColor* P = nullptr;
    HBITMAP Dib = MakeDib(2, 1, P);
    HDC DC = CreateCompatibleDC(nullptr);
    SelectObject(DC, Dib);
    P[0] = P[1] = 0xFF0A00C8;
    TbsBitmap Src;
    Src.SetSize(1, 1);
    Src.PutPixel(0, 0, 0x80C8000A);
    Src.SetAlphaBlend(true);
    Src.Draw(DC, 1, 0);
    EXPECT_EQ(P[0], 0xFF0A00C8u);
    EXPECT_EQ(P[1], PixelKernels.BlendPixel(0x80C8000A, 0xFF0A00C8));
    DeleteDC(DC);
    DeleteObject(Dib);
}

TEST(TbsBitmap, TileCutsTheLastCell) {
    TbsBitmap Src, Dst;
    Src.SetSize(10, 10);
    FillCoordinates(Src);
    Dst.SetSize(25, 10);
    Src.Tile(Dst, Rect(0, 0, 25, 10), Rect(0, 0, 10, 10));
    std::vector<int> Expected;
    for (int X = 0; X < 25; ++X)
        Expected.push_back(X % 10);
    EXPECT_EQ(SourceColumns(Row(Dst, 9)), Expected);
    EXPECT_EQ(*Dst.GetPixelPtr(24, 9), 0xFF040009u);

    TbsBitmap Clipped;
    Clipped.SetSize(25, 10);
    Src.TileClip(Clipped, Rect(0, 0, 25, 10), Rect(21, 0, 22, 1), Rect(0, 0, 10, 10));
    EXPECT_EQ(*Clipped.GetPixelPtr(5, 0), 0u);           // cells apart from the clip are not drawn
    EXPECT_EQ(*Clipped.GetPixelPtr(24, 9), 0xFF040009u); // the cell under the clip is drawn whole
}

TEST(TbsBitmap, MergeDrawFillsSeeThroughPixels) {
    TbsBitmap Top, Under;
    Top.SetSize(3, 1);
    Top.PutPixel(0, 0, 0x00000000);
    Top.PutPixel(1, 0, 0x80FF0000);
    Top.PutPixel(2, 0, 0xFF00FF00);
    Under.SetSize(3, 1);
    Under.Clear(0xFF0000FF);
    Top.MergeDraw(Under, 0, 0, Rect(0, 0, 3, 1));
    EXPECT_EQ(Row(Top, 0),
              (std::vector<TbsColor>{0xFF0000FF, PixelKernels.BlendPixel(0x80FF0000, 0xFF0000FF), 0xFF00FF00}));
}

TEST(TbsBitmap, ColourAdjustments) {
    TbsBitmap B;
    B.SetSize(2, 1);
    B.PutPixel(0, 0, 0xFF00FF00);
    B.PutPixel(1, 0, 0x0000FF00);
    B.SetBitmapHue(0); // green turns red; see-through pixels stay
    EXPECT_EQ(Row(B, 0), (std::vector<TbsColor>{0xFFFF0000, 0x0000FF00}));
    B.PutPixel(0, 0, 0xFFFA0A05);
    B.ChangeBitmapBrightness(10);
    EXPECT_EQ(*B.GetPixelPtr(0, 0), 0xFFFF140Fu);
    B.ChangeBitmapBrightness(-20);
    EXPECT_EQ(*B.GetPixelPtr(0, 0), 0xFFEB0000u);
}
