// What hostile picture files found by fuzzing must get: a declared size beyond the limits is refused by every
// loader before it decodes, an empty GIF is refused cleanly, and the GIF reader decodes only the first image,
// interlaced or not.
#include "platform/gdi/Graphics.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

std::vector<Byte> Saved(TGraphic& Picture) {
    TMemoryStream S;
    Picture.SaveToStream(&S);
    auto* P = static_cast<const Byte*>(S.Memory());
    return std::vector<Byte>(P, P + S.Size());
}

// A small picture of two colours in the given format.
template <typename TPicture> std::vector<Byte> SmallFile(int W = 8, int H = 8) {
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(0x0000FF);
    B.Canvas()->FillRect(TRect{0, 0, W / 2, H});
    TPicture P;
    P.Assign(&B);
    return Saved(P);
}

template <typename TPicture> void Load(const std::vector<Byte>& Bytes, TPicture& Picture) {
    TMemoryStream S;
    if (!Bytes.empty())
        S.WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
    S.SetPosition(0);
    Picture.LoadFromStream(&S);
}

template <typename TPicture> String LoadError(const std::vector<Byte>& Bytes) {
    TPicture Picture;
    try {
        Load(Bytes, Picture);
    } catch (const EInvalidGraphic& E) {
        return E.Message();
    }
    return u"(loaded)";
}

void Put16LE(std::vector<Byte>& D, std::size_t At, int V) {
    D[At] = Byte(V);
    D[At + 1] = Byte(V >> 8);
}
void Put32LE(std::vector<Byte>& D, std::size_t At, std::int64_t V) {
    for (int I = 0; I < 4; ++I)
        D[At + I] = Byte(V >> (8 * I));
}
void Put16BE(std::vector<Byte>& D, std::size_t At, int V) {
    D[At] = Byte(V >> 8);
    D[At + 1] = Byte(V);
}
void Put32BE(std::vector<Byte>& D, std::size_t At, std::uint32_t V) {
    for (int I = 0; I < 4; ++I)
        D[At + I] = Byte(V >> (24 - 8 * I));
}

// The PNG header chunk's size, with its checksum written again so the library reads it.
std::vector<Byte> PngDeclaring(int W, int H) {
    std::vector<Byte> D = SmallFile<TPngImage>();
    Put32BE(D, 16, std::uint32_t(W));
    Put32BE(D, 20, std::uint32_t(H));
    Put32BE(D, 29, std::uint32_t(crc32(0, D.data() + 12, 17)));
    return D;
}

// The frame header of a JPEG file (after the FF C0 marker: length, precision, height, width).
std::vector<Byte> JpegDeclaring(int W, int H) {
    std::vector<Byte> D = SmallFile<TJPEGImage>();
    for (std::size_t I = 0; I + 9 < D.size(); ++I)
        if (D[I] == 0xFF && D[I + 1] == 0xC0) {
            Put16BE(D, I + 5, H);
            Put16BE(D, I + 7, W);
            return D;
        }
    ADD_FAILURE() << "no frame header";
    return D;
}

std::size_t GifImageDescAt(const std::vector<Byte>& D) {
    for (std::size_t I = 13; I < D.size(); ++I)
        if (D[I] == 0x2C)
            return I;
    ADD_FAILURE() << "no image descriptor";
    return 0;
}

TEST(PictureLimits, DeclaredSizesBeyondTheLimitsAreRefusedBeforeDecoding) {
    struct Case {
        const char* What;
        std::function<String()> Error;
        const char16_t* Expected;
    };
    const Case Cases[] = {
        {"BMP wider than 16384",
         [] {
             auto D = SmallFile<TBitmap>();
             Put32LE(D, 18, 16385);
             return LoadError<TBitmap>(D);
         },
         u"Bitmap image is not valid"},
        {"BMP of 16384 x 4097, beyond 64 megapixels",
         [] {
             auto D = SmallFile<TBitmap>();
             Put32LE(D, 18, 16384);
             Put32LE(D, 22, 4097);
             return LoadError<TBitmap>(D);
         },
         u"Bitmap image is not valid"},
        {"PNG higher than 16384", [] { return LoadError<TPngImage>(PngDeclaring(1, 16385)); },
         u"PNG image is not valid: invalid size"},
        {"PNG of 16384 x 16384", [] { return LoadError<TPngImage>(PngDeclaring(16384, 16384)); },
         u"PNG image is not valid: invalid size"},
        // A few hundred bytes declaring 75 megapixels, which the decoder would pad out to 226 MB.
        {"JPEG of 12288 x 6144", [] { return LoadError<TJPEGImage>(JpegDeclaring(12288, 6144)); },
         u"JPEG image is not valid: invalid size"},
        {"JPEG wider than 16384", [] { return LoadError<TJPEGImage>(JpegDeclaring(20000, 8)); },
         u"JPEG image is not valid: invalid size"},
        {"GIF screen wider than 16384",
         [] {
             auto D = SmallFile<TGIFImage>();
             Put16LE(D, 6, 16385);
             return LoadError<TGIFImage>(D);
         },
         u"GIF image is not valid: invalid size"},
        {"GIF image of 20000 x 20000 on a screen of no size",
         [] {
             auto D = SmallFile<TGIFImage>();
             Put16LE(D, 6, 0);
             Put16LE(D, 8, 0);
             const std::size_t At = GifImageDescAt(D);
             Put16LE(D, At + 5, 20000);
             Put16LE(D, At + 7, 20000);
             return LoadError<TGIFImage>(D);
         },
         u"GIF image is not valid: invalid size"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(C.Error(), C.Expected) << C.What;
}

TEST(PictureLimits, PicturesAtTheLimitStillLoad) {
    TBitmap Bmp;
    Load(SmallFile<TBitmap>(16384, 1), Bmp);
    EXPECT_EQ(Bmp.Width(), 16384);
    TPngImage Png;
    Load(SmallFile<TPngImage>(1, 16384), Png);
    EXPECT_EQ(Png.Height(), 16384);
}

TEST(PictureLimits, NewBitmapsAreWhiteInEveryDepth) {
    for (TPixelFormat Format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap B;
        B.SetPixelFormat(Format);
        B.SetSize(37, 5);
        for (int Y = 0; Y < 5; ++Y)
            for (int X : {0, 17, 36})
                EXPECT_EQ(B.Canvas()->Pixels(X, Y), 0xFFFFFF) << int(Format) << " at " << X << "," << Y;
    }
}

TEST(PictureLimits, AnEmptyOrHeaderOnlyGifIsRefused) {
    const std::vector<Byte> Gif = SmallFile<TGIFImage>();
    for (std::size_t Cut : {std::size_t(0), std::size_t(6), std::size_t(13), GifImageDescAt(Gif) + 4}) {
        const String Error = LoadError<TGIFImage>(std::vector<Byte>(Gif.begin(), Gif.begin() + Cut));
        EXPECT_TRUE(Error.starts_with(u"GIF image is not valid: ")) << Cut << ": " << UTF8Encode(Error);
    }
}

// A GIF written here: 4 x 10 pixels, row Y of colour Y, optionally interlaced, optionally followed by a second
// image whose data is cut off; the image may sit at Left, Top on a larger screen, with colour Transparent clear.
std::vector<Byte> StripedGif(bool Interlaced, bool BrokenSecondImage, int ScreenWidth = 4, int ScreenHeight = 10,
                             int Left = 0, int Top = 0, int Transparent = -1) {
    std::vector<Byte> Out;
    auto Write = [](GifFileType* G, const GifByteType* B, int N) {
        auto* V = static_cast<std::vector<Byte>*>(G->UserData);
        V->insert(V->end(), B, B + N);
        return N;
    };
    int Err = 0;
    GifFileType* G = EGifOpen(&Out, Write, &Err);
    ColorMapObject* Map = GifMakeMapObject(16, nullptr);
    for (int I = 0; I < 16; ++I)
        Map->Colors[I] = {GifByteType(I * 16), GifByteType(255 - I * 16), GifByteType(I)};
    EGifPutScreenDesc(G, ScreenWidth, ScreenHeight, 8, 0, Map);
    if (Transparent >= 0) {
        const GifByteType Control[4] = {1, 0, 0, GifByteType(Transparent)};
        EGifPutExtension(G, GRAPHICS_EXT_FUNC_CODE, 4, Control);
    }
    EGifPutImageDesc(G, Left, Top, 4, 10, Interlaced, nullptr);
    std::vector<int> Order;
    if (Interlaced) {
        for (int Y = 0; Y < 10; Y += 8)
            Order.push_back(Y);
        for (int Y = 4; Y < 10; Y += 8)
            Order.push_back(Y);
        for (int Y = 2; Y < 10; Y += 4)
            Order.push_back(Y);
        for (int Y = 1; Y < 10; Y += 2)
            Order.push_back(Y);
    } else {
        for (int Y = 0; Y < 10; ++Y)
            Order.push_back(Y);
    }
    for (int Y : Order) {
        GifPixelType Line[4] = {GifPixelType(Y), GifPixelType(Y), GifPixelType(Y), GifPixelType(Y)};
        EGifPutLine(G, Line, 4);
    }
    if (BrokenSecondImage) {
        EGifPutImageDesc(G, 0, 0, 4, 10, false, nullptr);
        GifPixelType Line[4] = {1, 2, 3, 4};
        EGifPutLine(G, Line, 4); // six rows short
    }
    EGifCloseFile(G, &Err);
    GifFreeMapObject(Map);
    return Out;
}

TEST(PictureLimits, GifShowsItsFirstImageInterlacedOrNot) {
    struct Case {
        bool Interlaced, BrokenSecondImage;
    };
    for (const Case C : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        TGIFImage Gif;
        Load(StripedGif(C.Interlaced, C.BrokenSecondImage), Gif);
        ASSERT_EQ(Gif.Width(), 4);
        ASSERT_EQ(Gif.Height(), 10);
        for (int Y = 0; Y < 10; ++Y)
            EXPECT_EQ(Gif.Bitmap()->Canvas()->Pixels(2, Y), TColor(Y * 16 | (255 - Y * 16) << 8 | Y << 16))
                << "row " << Y << (C.Interlaced ? " interlaced" : "") << (C.BrokenSecondImage ? " broken" : "");
    }
}

// The first image lies on a larger screen: the screen around it and its transparent colour stay clear.
TEST(PictureLimits, GifLaysItsImageOnTheScreenAndLeavesTheRestClear) {
    TGIFImage Gif;
    Load(StripedGif(false, false, 7, 13, 2, 1, 5), Gif);
    ASSERT_EQ(Gif.Width(), 7);
    ASSERT_EQ(Gif.Height(), 13);
    EXPECT_TRUE(Gif.Transparent());
    for (int Y = 0; Y < 13; ++Y)
        for (int X = 0; X < 7; ++X) {
            const auto Pixel = static_cast<const std::uint32_t*>(Gif.Bitmap()->ScanLine(Y))[X];
            const int Colour = Y - 1;
            const bool Inside = X >= 2 && X < 6 && Colour >= 0 && Colour < 10 && Colour != 5;
            const std::uint32_t Expected = Inside ? 0xFF000000u | std::uint32_t(Colour * 16) << 16 |
                                                        std::uint32_t(255 - Colour * 16) << 8 | std::uint32_t(Colour)
                                                  : 0u;
            EXPECT_EQ(Pixel, Expected) << X << "," << Y;
        }
}

} // namespace
