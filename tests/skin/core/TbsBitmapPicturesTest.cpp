// The skin bitmap against the class library's pictures: its canvas, conversions both ways, its own stream
// format, PCX pictures and bitmap resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Resources.h"
#include "skin/core/TbsBitmap.h"

namespace {

std::vector<TbsColor> Pixels(const TbsBitmap& B) {
    return std::vector<TbsColor>(B.Bits(), B.Bits() + B.Width() * B.Height());
}

// A 3 x 2 picture of six different colours (0xAARRGGBB) with the alphas given.
const TbsColor Six[6] = {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0, 0x00D0E0F0, 0x00FF0001};

void FillBitmap(TBitmap& B, TPixelFormat Format, const std::vector<int>& Alphas) {
    B.SetPixelFormat(Format);
    B.SetSize(3, 2);
    for (int I = 0; I < 6; ++I) {
        const TbsColor C = Six[I];
        B.Canvas()->SetPixels(I % 3, I / 3, TColor(((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF)));
    }
    if (Format == pf32bit)
        for (int I = 0; I < 6; ++I)
            static_cast<TbsColor*>(B.ScanLine(I / 3))[I % 3] = Six[I] | (TbsColor(Alphas[I]) << 24);
}

std::vector<TbsColor> Colours(const std::vector<TbsColor>& P) {
    std::vector<TbsColor> Result;
    for (TbsColor C : P)
        Result.push_back(C & 0xFFFFFF);
    return Result;
}

std::vector<TbsColor> BitmapPixels(TBitmap& B) {
    std::vector<TbsColor> Result;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            Result.push_back(static_cast<TbsColor*>(B.ScanLine(Y))[X]);
    return Result;
}

} // namespace

TEST(TbsBitmapPictures, CanvasDrawsIntoThePixelsAndFollowsANewSize) {
    TbsBitmap B;
    B.SetSize(4, 3);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(TColor(0x0000FF)); // red
    C->FillRect(TRect{1, 1, 3, 2});
    EXPECT_EQ(Pixels(B), (std::vector<TbsColor>{0, 0, 0, 0, 0, 0xFF0000, 0xFF0000, 0, 0, 0, 0, 0}));
    EXPECT_EQ(B.GetDCCanvas(), C);

    B.SetSize(2, 2);
    C->Brush()->SetColor(TColor(0xFF0000)); // blue
    C->FillRect(TRect{0, 1, 2, 2});
    EXPECT_EQ(Pixels(B), (std::vector<TbsColor>{0, 0, 0x0000FF, 0x0000FF}));
}

TEST(TbsBitmapPictures, AssignFromTheClassLibrarysBitmaps) {
    struct Case {
        const char* What;
        TPixelFormat Format;
        std::vector<int> Alphas;
        std::vector<int> Expected; // alphas after the assignment
        bool AlphaBlend;
    };
    const Case Cases[] = {
        {"24-bit: opaque, flag untouched", pf24bit, {}, {255, 255, 255, 255, 255, 255}, true},
        {"32-bit with partial alpha", pf32bit, {0, 128, 255, 255, 7, 255}, {0, 128, 255, 255, 7, 255}, true},
        {"32-bit opaque", pf32bit, {255, 255, 255, 255, 255, 255}, {255, 255, 255, 255, 255, 255}, false},
    };
    for (const Case& C : Cases) {
        TBitmap Source;
        FillBitmap(Source, C.Format, C.Alphas);
        TbsBitmap B;
        B.SetAlphaBlend(true); // only a 32-bit source sets the flag
        B.Assign(&Source);
        ASSERT_EQ(B.Width(), 3) << C.What;
        std::vector<TbsColor> Expected;
        for (int I = 0; I < 6; ++I)
            Expected.push_back(Six[I] | (TbsColor(C.Expected[I]) << 24));
        EXPECT_EQ(Pixels(B), Expected) << C.What;
        EXPECT_EQ(B.AlphaBlend(), C.AlphaBlend) << C.What;
    }
}

TEST(TbsBitmapPictures, AssignToABitmapAndBackKeepsEveryPixel) {
    TBitmap Source;
    FillBitmap(Source, pf32bit, {255, 255, 255, 255, 255, 255});
    TbsBitmap B;
    B.Assign(&Source);
    B.SetName(u"face");

    TBitmap Back;
    B.AssignTo(&Back);
    EXPECT_EQ(Back.PixelFormat(), pf32bit);
    EXPECT_EQ(BitmapPixels(Back), Pixels(B));

    TPicture Picture;
    Picture.Assign(&B);
    EXPECT_EQ(BitmapPixels(*Picture.Bitmap()), Pixels(B));

    // A picture's bitmap is blitted: the same colours, opaque.
    TbsBitmap FromPicture;
    FromPicture.Assign(&Picture);
    EXPECT_EQ(Pixels(FromPicture), Pixels(B));
}

TEST(TbsBitmapPictures, ABlendingBitmapIsComposedOverBlack) {
    TbsBitmap B;
    B.SetSize(2, 1);
    B.PutPixel(0, 0, 0x80FF0000);
    B.PutPixel(1, 0, 0xFF00FF00);
    B.SetAlphaBlend(true);
    TBitmap Back;
    B.AssignTo(&Back);
    const std::vector<TbsColor> P = Colours(BitmapPixels(Back));
    EXPECT_EQ(P[1], 0x00FF00u);
    EXPECT_EQ(P[0] & 0xFFFF, 0u);
    EXPECT_NEAR(int(P[0] >> 16), 128, 1);
}

TEST(TbsBitmapPictures, OtherGraphicsAreDrawnOpaqueAndSeeThroughPartsKeepTheEarlierPixels) {
    // A PNG with a transparent pixel and a magenta one: both keep the black of the fresh bitmap.
    TPngImage Png;
    const std::uint32_t Source[4] = {0xFF112233, 0x00445566, 0xFFFF00FF, 0xFF778899};
    Png.SetPixels(2, 2, Source, true);
    TbsBitmap B;
    B.Assign(&Png);
    EXPECT_EQ(Pixels(B), (std::vector<TbsColor>{0xFF112233, 0xFF000000, 0xFF000000, 0xFF778899}));

    // DrawGraphic stretches into the rectangle and leaves the rest alone.
    B.Clear(0x11223344);
    const std::uint32_t Red = 0xFFFF0000;
    TPngImage Dot;
    Dot.SetPixels(1, 1, &Red, true);
    B.DrawGraphic(&Dot, TRect{1, 0, 2, 2});
    const std::vector<TbsColor> P = Pixels(B);
    EXPECT_EQ(P[0], 0x11223344u);
    EXPECT_EQ(P[2], 0x11223344u);
    EXPECT_EQ(P[1] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(P[3] & 0xFFFFFF, 0xFF0000u);
}

TEST(TbsBitmapPictures, UnsupportedPartnersRaiseTheConversionError) {
    TbsBitmap B;
    B.SetSize(2, 2);
    TFont Font;
    EXPECT_THROW(B.Assign(&Font), EConvertError);
    EXPECT_THROW(Font.Assign(&B), EConvertError);
    EXPECT_EQ(B.Width(), 2);
}

TEST(TbsBitmapPictures, StreamRoundTripAndBottomUpRows) {
    TbsBitmap B;
    B.SetSize(3, 2);
    for (int I = 0; I < 6; ++I)
        B.PutPixel(I % 3, I / 3, Six[I] | (TbsColor(I * 40) << 24));
    B.SetName(u"按钮 face");
    TMemoryStream S;
    B.SaveToStream(&S);
    EXPECT_EQ(S.Size(), 4 + 2 * 7 + 4 + 4 + 6 * 4);

    TbsBitmap C;
    C.SetAlphaBlend(true);
    S.SetPosition(0);
    C.LoadFromStream(&S);
    EXPECT_EQ(C.Name(), u"按钮 face");
    EXPECT_EQ(C.Width(), 3);
    EXPECT_EQ(Pixels(C), Pixels(B));
    EXPECT_TRUE(C.AlphaBlend()); // untouched

    // A negative height: rows stored bottom row first.
    auto* Bytes = static_cast<std::uint8_t*>(S.Memory());
    const std::int32_t Negative = -2;
    std::memcpy(Bytes + 4 + 14 + 4, &Negative, 4);
    S.SetPosition(0);
    C.LoadFromStream(&S);
    std::vector<TbsColor> Flipped = Pixels(B);
    std::rotate(Flipped.begin(), Flipped.begin() + 3, Flipped.end());
    EXPECT_EQ(Pixels(C), Flipped);
}

TEST(TbsBitmapPictures, ATruncatedStreamIsRefusedAndChangesNoPixels) {
    TbsBitmap B;
    B.SetSize(3, 2);
    B.Clear(0xFF010203);
    TMemoryStream Whole;
    B.SaveToStream(&Whole);
    const auto* Bytes = static_cast<const std::uint8_t*>(Whole.Memory());
    for (std::int64_t Cut : {std::int64_t(2), std::int64_t(10), std::int64_t(20), Whole.Size() - 1}) {
        TMemoryStream S;
        S.WriteBuffer(Bytes, Cut);
        S.SetPosition(0);
        TbsBitmap C;
        C.SetSize(1, 1);
        C.Clear(0xFFABCDEF);
        EXPECT_THROW(C.LoadFromStream(&S), EReadError) << Cut;
        EXPECT_EQ(Pixels(C), std::vector<TbsColor>{0xFFABCDEF}) << Cut;
    }
}

namespace {

// An 8-bit PCX picture of 3 x 2 (lines of 4 bytes) with a 256-colour palette at the end: indices 1, 2, 3 on the
// top row and 3, 3, 3 below, written as runs where the Part's kind of file has them.
std::string Pcx(int FirstByte = 10, int Version = 5, int Encoding = 1) {
    std::string H(128, '\0');
    H[0] = char(FirstByte);
    H[1] = char(Version);
    H[2] = char(Encoding);
    H[3] = 8;
    H[8] = 2;  // Xmax: width 3
    H[10] = 1; // Ymax: height 2
    H[65] = 1;
    H[66] = 4; // bytes per line
    std::string Data = Encoding == 1 ? std::string("\x01\x02\x03\x00\xC3\x03\x00", 7)
                                     : std::string("\x01\x02\x03\x00\x03\x03\x03\x00", 8);
    std::string Palette(769, '\0');
    Palette[0] = 12;
    const unsigned char Colours[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 200, 0}, {10, 20, 250}};
    for (int I = 0; I < 4; ++I)
        for (int C = 0; C < 3; ++C)
            Palette[1 + 3 * I + C] = char(Colours[I][C]);
    return H + Data + (Version == 3 ? std::string() : Palette);
}

void LoadPcx(TbsBitmap& B, const std::string& Bytes) {
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
    S.SetPosition(0);
    B.LoadFromPcxStream(&S);
}

} // namespace

TEST(TbsBitmapPictures, PcxPicturesLoadOpaqueThroughTheirPalette) {
    const std::vector<TbsColor> Expected{0xFFFF0000, 0xFF00C800, 0xFF0A14FA, 0xFF0A14FA, 0xFF0A14FA, 0xFF0A14FA};
    for (const std::string& File : {Pcx(10, 5, 1), Pcx(205, 5, 1), Pcx(10, 5, 0)}) {
        TbsBitmap B;
        LoadPcx(B, File);
        ASSERT_EQ(B.Width(), 3);
        ASSERT_EQ(B.Height(), 2);
        EXPECT_EQ(Pixels(B), Expected);
    }
    // Version 3 takes the standard 16 colours: index 1 is dark red, 3 dark yellow.
    TbsBitmap B;
    LoadPcx(B, Pcx(10, 3, 1));
    EXPECT_EQ(Pixels(B)[0], 0xFF800000u);
    EXPECT_EQ(Pixels(B)[2], 0xFF808000u);
}

TEST(TbsBitmapPictures, BrokenPcxPicturesChangeNothing) {
    const std::string Good = Pcx();
    std::string Narrow = Good;
    Narrow[66] = 2; // lines shorter than the width
    std::string Reversed = Good;
    Reversed[4] = 5; // Xmin beyond Xmax
    struct Case {
        const char* What;
        std::string Bytes;
        bool Raises;
    };
    const Case Cases[] = {
        {"not a PCX", Pcx(0x42), false},
        {"header cut", Good.substr(0, 100), true},
        {"no palette", Good.substr(0, 128 + 7 + 500), true},
        {"run without its value", Good.substr(0, 128 + 5) + Good.substr(Good.size() - 769), true},
        {"rows missing", Good.substr(0, 128 + 4) + Good.substr(Good.size() - 769), true},
        {"stored rows missing", Pcx(10, 5, 0).substr(0, 128 + 6) + Good.substr(Good.size() - 769), true},
        {"empty stream", std::string(), true},
        {"lines too short", Narrow, true},
        {"negative width", Reversed, true},
    };
    for (const Case& C : Cases) {
        TbsBitmap B;
        B.SetSize(1, 1);
        B.Clear(0x12345678);
        if (C.Raises)
            EXPECT_THROW(LoadPcx(B, C.Bytes), EInvalidGraphic) << C.What;
        else
            EXPECT_NO_THROW(LoadPcx(B, C.Bytes)) << C.What;
        EXPECT_EQ(Pixels(B), std::vector<TbsColor>{0x12345678}) << C.What;
    }
}

TEST(TbsBitmapPictures, BitmapResourcesOfTheProgram) {
    static std::vector<std::uint8_t> Bmp = [] {
        TBitmap Source;
        FillBitmap(Source, pf24bit, {});
        TMemoryStream S;
        Source.SaveToStream(&S);
        const auto* P = static_cast<const std::uint8_t*>(S.Memory());
        return std::vector<std::uint8_t>(P, P + S.Size());
    }();
    RegisterResource(u"QV_TEST_FACE", Bmp.data(), Bmp.size());

    TbsBitmap B;
    B.LoadFromResource(u"", u"QV_TEST_FACE");
    std::vector<TbsColor> Expected;
    for (TbsColor C : Six)
        Expected.push_back(C | 0xFF000000u);
    EXPECT_EQ(Pixels(B), Expected);

    // A resource or module that is not there leaves the bitmap as it was.
    B.Clear(0xFF000001);
    B.LoadFromResource(u"", u"QV_NO_SUCH_FACE");
    B.LoadFromResource(u"/usr/lib/other.dll", u"QV_TEST_FACE");
    EXPECT_EQ(Pixels(B), std::vector<TbsColor>(6, 0xFF000001));
}
