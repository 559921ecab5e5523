#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/base/SysUtils.h"
#include "skin/core/bsPngImageList.h"

namespace {

// A 2 x 2 PNG file written by libpng in the given format (grey, colour, colour with alpha, or colour-mapped with
// the given map), loaded into a skin PNG picture.
std::unique_ptr<TbsPngImage> MakePng(png_uint_32 Format, const std::vector<Byte>& Pixels,
                                     const std::vector<Byte>& ColorMap = {}, int MapEntries = 0) {
    png_image Img;
    std::memset(&Img, 0, sizeof Img);
    Img.version = PNG_IMAGE_VERSION;
    Img.width = 2;
    Img.height = 2;
    Img.format = Format;
    Img.colormap_entries = png_uint_32(MapEntries);
    png_alloc_size_t Size = 0;
    const void* Map = ColorMap.empty() ? nullptr : ColorMap.data();
    EXPECT_TRUE(png_image_write_to_memory(&Img, nullptr, &Size, 0, Pixels.data(), 0, Map));
    std::vector<Byte> File(Size);
    EXPECT_TRUE(png_image_write_to_memory(&Img, File.data(), &Size, 0, Pixels.data(), 0, Map));
    TMemoryStream M;
    M.WriteBuffer(File.data(), std::int64_t(Size));
    M.SetPosition(0);
    auto P = std::make_unique<TbsPngImage>();
    P->LoadFromStream(&M);
    return P;
}

std::vector<int> Alphas(TbsPngImage& P) {
    std::vector<int> Out;
    for (std::uint32_t Px : P.Pixels())
        Out.push_back(int(Px >> 24));
    return Out;
}

} // namespace

TEST(bsPngImageList, HalfTransparencyOfDisabledImages) {
    struct Case {
        const char* Name;
        std::unique_ptr<TbsPngImage> Png;
        int ColorType;
        std::vector<int> Alpha;
    };
    Case Cases[] = {
        // Opaque colour: Round(255 / 256 x 128) = 128.
        {"colour", MakePng(PNG_FORMAT_RGB, {255, 0, 0, 0, 0, 255, 10, 20, 30, 1, 2, 3}), 2, {128, 128, 128, 128}},
        // Alpha channel scaled: 200 -> 100, 0 stays 0, 1 -> Round(0.5) = 0 (ties to even).
        {"colour with alpha",
         MakePng(PNG_FORMAT_RGBA, {255, 0, 0, 255, 0, 0, 255, 200, 9, 9, 9, 0, 9, 9, 9, 1}),
         6,
         {128, 100, 0, 0}},
        // Grey and palette pictures: a uniform 127, and 0 on the palette's single transparent entry.
        {"grey", MakePng(PNG_FORMAT_GRAY, {0, 80, 160, 255}), 0, {127, 127, 127, 127}},
        {"palette",
         MakePng(PNG_FORMAT_RGBA_COLORMAP, {0, 1, 1, 2}, {0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 255}, 3),
         3,
         {0, 127, 127, 127}},
    };
    for (Case& C : Cases) {
        EXPECT_EQ(C.Png->ColorType(), C.ColorType) << C.Name;
        SetPngAlphaLevel(C.Png.get(), 127);
        EXPECT_EQ(Alphas(*C.Png), C.Alpha) << C.Name;
    }
}

TEST(bsPngImageList, ItemsKeepTheirPlaceholders) {
    TbsPngImageList List(nullptr);
    List.SetPngWidth(8);
    List.SetPngHeight(8);
    for (int I = 0; I < 3; ++I)
        List.PngImages()->Add();
    EXPECT_EQ(List.Count(), 3);
    EXPECT_EQ(List.PngImages()->Items(2)->Name(), u"PngImage2");
    EXPECT_EQ(List.PngImages()->Items(0)->DisplayName(), u"PngImage0");

    List.PngImages()->Delete(1);
    EXPECT_EQ(List.Count(), 2);
    EXPECT_EQ(List.PngImages()->Items(1)->Name(), u"PngImage2");

    List.SetPngWidth(8);
    EXPECT_EQ(List.PngImages()->Count(), 2);
    List.SetPngHeight(16);
    EXPECT_EQ(List.PngImages()->Count(), 0);
    EXPECT_EQ(List.Count(), 0);
}

TEST(bsPngImageList, DrawsItsPngItems) {
    TbsPngImageList List(nullptr);
    List.SetPngWidth(2);
    List.SetPngHeight(2);
    auto* Item = static_cast<TbsPngImageItem*>(List.PngImages()->Add());
    auto Png = MakePng(PNG_FORMAT_RGBA, {255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 9, 9, 9, 0});
    Item->SetPngImage(Png.get());

    TBitmap Sheet;
    Sheet.SetPixelFormat(pf32bit);
    Sheet.SetSize(4, 4);
    Sheet.Canvas()->Brush()->SetColor(clWhite);
    Sheet.Canvas()->FillRect(TRect{0, 0, 4, 4});
    List.Draw(Sheet.Canvas(), 1, 1, 0, true);
    auto At = [&](int X, int Y) { return COLORREF(Sheet.Canvas()->Pixels(X, Y)) & 0xFFFFFF; };
    EXPECT_EQ(At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(At(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(At(1, 2), RGB(0, 255, 0));
    EXPECT_EQ(At(2, 2), RGB(255, 255, 255)); // transparent pixel
    EXPECT_EQ(At(0, 0), RGB(255, 255, 255));

    // Disabled: about half opaque over white, the picture itself unchanged.
    Sheet.Canvas()->FillRect(TRect{0, 0, 4, 4});
    List.Draw(Sheet.Canvas(), 1, 1, 0, false);
    const COLORREF Half = At(1, 1);
    EXPECT_EQ(GetRValue(Half), 255);
    EXPECT_GT(GetGValue(Half), 100);
    EXPECT_LT(GetGValue(Half), 160);
    EXPECT_EQ(GetGValue(Half), GetBValue(Half));
    EXPECT_EQ(Alphas(*Item->PngImage()), (std::vector<int>{255, 255, 255, 0}));
}
