// Picture files: PNG through libpng, JPEG through libjpeg, GIF through giflib, and icon files.
#include "platform/gdi/Graphics.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <stdio.h> // jpeglib.h needs FILE

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <unordered_map>

namespace {

constexpr std::size_t kMaxPixels = std::size_t(1) << 28;

std::vector<Byte> ReadAll(TStream* Stream, const char16_t* what) {
    std::int64_t N = Stream->Size() - Stream->Position();
    if (N < 0 || N > (std::int64_t(1) << 31))
        throw EInvalidGraphic(what);
    std::vector<Byte> D(static_cast<std::size_t>(N));
    if (N)
        Stream->ReadBuffer(D.data(), N);
    return D;
}

// 0xAARRGGBB straight-alpha pixels of any graphic, rows top-down.
std::vector<std::uint32_t> PixelsOf(TGraphic* g, int& w, int& h, bool& alpha) {
    w = g->Width();
    h = g->Height();
    alpha = false;
    if (auto* Png = dynamic_cast<TPngImage*>(g)) {
        alpha = Png->HasAlpha();
        return Png->Pixels();
    }
    TBitmap Tmp;
    Tmp.Assign(g);
    if (auto* B = dynamic_cast<TBitmap*>(g))
        alpha = B->PixelFormat() == pf32bit && B->AlphaFormat() != afIgnored;
    else if (auto* Gif = dynamic_cast<TGIFImage*>(g))
        alpha = Gif->Bitmap()->AlphaFormat() != afIgnored;
    else if (dynamic_cast<TIcon*>(g))
        alpha = true;
    Tmp.SetPixelFormat(pf32bit);
    std::vector<std::uint32_t> Px(std::size_t(w) * h);
    for (int Y = 0; Y < h; ++Y)
        std::memcpy(Px.data() + std::size_t(Y) * w, Tmp.ScanLine(Y), std::size_t(w) * 4);
    if (!alpha)
        for (auto& P : Px)
            P |= 0xFF000000u;
    return Px;
}

// A 32-bit bitmap with straight alpha from pixels.
void FillBitmap(TBitmap* b, int w, int h, const std::uint32_t* px, bool alpha) {
    b->SetSize(0, 0);
    b->SetPixelFormat(pf32bit);
    b->SetSize(w, h);
    for (int Y = 0; Y < h; ++Y)
        std::memcpy(b->ScanLine(Y), px + std::size_t(Y) * w, std::size_t(w) * 4);
    b->SetAlphaFormat(alpha ? afDefined : afIgnored);
}

} // namespace

// ---- PNG ----

void TPngImage::SetSize(int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0 || std::size_t(AWidth) * std::size_t(AHeight) > kMaxPixels)
        throw EInvalidGraphicOperation(u"Invalid image size");
    FWidth = AWidth;
    FHeight = AHeight;
    FRGB.assign(std::size_t(AWidth) * AHeight * 3, 0);
    FAlpha.assign(FHasAlpha ? std::size_t(AWidth) * AHeight : 0, 255);
    Changed();
}

Byte* TPngImage::Scanline(int Row) {
    if (Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation(u"Scan line index out of range");
    return FRGB.data() + std::size_t(Row) * FWidth * 3;
}

Byte* TPngImage::AlphaScanline(int Row) {
    if (!FHasAlpha)
        return nullptr;
    if (Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation(u"Scan line index out of range");
    return FAlpha.data() + std::size_t(Row) * FWidth;
}

void TPngImage::CreateAlpha() {
    if (!FHasAlpha) {
        FHasAlpha = true;
        FAlpha.assign(std::size_t(FWidth) * FHeight, 255);
    }
}

void TPngImage::RemoveAlpha() {
    FHasAlpha = false;
    FAlpha.clear();
}

std::vector<std::uint32_t> TPngImage::Pixels() const {
    std::vector<std::uint32_t> Px(std::size_t(FWidth) * FHeight);
    for (std::size_t I = 0; I < Px.size(); ++I) {
        std::uint32_t A = FHasAlpha ? FAlpha[I] : 255;
        Px[I] =
            (A << 24) | (std::uint32_t(FRGB[I * 3 + 2]) << 16) | (std::uint32_t(FRGB[I * 3 + 1]) << 8) | FRGB[I * 3];
    }
    return Px;
}

void TPngImage::SetPixels(int AWidth, int AHeight, const std::uint32_t* px, bool WithAlpha) {
    FHasAlpha = WithAlpha;
    SetSize(AWidth, AHeight);
    for (std::size_t I = 0; I < std::size_t(AWidth) * AHeight; ++I) {
        FRGB[I * 3] = Byte(px[I]);
        FRGB[I * 3 + 1] = Byte(px[I] >> 8);
        FRGB[I * 3 + 2] = Byte(px[I] >> 16);
        if (WithAlpha)
            FAlpha[I] = Byte(px[I] >> 24);
    }
}

void TPngImage::Assign(TPersistent* Source) {
    if (auto* P = dynamic_cast<TPngImage*>(Source)) {
        FWidth = P->FWidth;
        FHeight = P->FHeight;
        FHasAlpha = P->FHasAlpha;
        FRGB = P->FRGB;
        FAlpha = P->FAlpha;
        FTransparent = P->FTransparent;
        Changed();
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        int W, H;
        bool Alpha;
        auto Px = PixelsOf(G, W, H, Alpha);
        SetPixels(W, H, Px.data(), Alpha);
        return;
    }
    TGraphic::Assign(Source);
}

void TPngImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> D = ReadAll(Stream, u"PNG image is not valid");
    png_image Img;
    std::memset(&Img, 0, sizeof Img);
    Img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Img, D.data(), D.size()))
        throw EInvalidGraphic(Format(u"PNG image is not valid: %s", {UTF8ToString(Img.message)}));
    bool Alpha = (Img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (!PictureSizeAllowed(Img.width, Img.height)) {
        png_image_free(&Img);
        throw EInvalidGraphic(u"PNG image is not valid: invalid size");
    }
    Img.format = PNG_FORMAT_BGRA; // 16-bit channels come back as 8 bits
    std::vector<std::uint32_t> Px(std::size_t(Img.width) * Img.height);
    if (!png_image_finish_read(&Img, nullptr, Px.data(), 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image is not valid: %s", {UTF8ToString(Img.message)}));
    SetPixels(int(Img.width), int(Img.height), Px.data(), Alpha);
}

void TPngImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    png_image Img;
    std::memset(&Img, 0, sizeof Img);
    Img.version = PNG_IMAGE_VERSION;
    Img.width = png_uint_32(FWidth);
    Img.height = png_uint_32(FHeight);
    std::vector<std::uint32_t> Px = Pixels();
    Img.format = FHasAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGRA;
    std::vector<Byte> Rgb;
    const void* Buffer = Px.data();
    if (!FHasAlpha) {
        Img.format = PNG_FORMAT_BGR;
        Buffer = FRGB.data();
    }
    png_alloc_size_t Size = 0;
    if (!png_image_write_to_memory(&Img, nullptr, &Size, 0, Buffer, 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image cannot be written: %s", {UTF8ToString(Img.message)}));
    std::vector<Byte> Out(Size);
    if (!png_image_write_to_memory(&Img, Out.data(), &Size, 0, Buffer, 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image cannot be written: %s", {UTF8ToString(Img.message)}));
    Stream->WriteBuffer(Out.data(), std::int64_t(Size));
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty())
        return;
    TBitmap B;
    auto Px = Pixels();
    FillBitmap(&B, FWidth, FHeight, Px.data(), FHasAlpha);
    B.Draw(ACanvas, R);
}

// ---- pictures decoded into a bitmap ----

TBitmapBackedGraphic::TBitmapBackedGraphic(TPixelFormat Format) {
    FBitmap->SetPixelFormat(Format);
}

void TBitmapBackedGraphic::SetWidth(int Value) {
    FBitmap->SetWidth(Value);
    Changed();
}
void TBitmapBackedGraphic::SetHeight(int Value) {
    FBitmap->SetHeight(Value);
    Changed();
}
void TBitmapBackedGraphic::Draw(TCanvas* ACanvas, const TRect& R) {
    FBitmap->Draw(ACanvas, R);
}

// ---- JPEG ----

namespace {

struct JpegError {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr c) {
    auto* E = reinterpret_cast<JpegError*>(c->err);
    (*c->err->format_message)(c, E->Message);
    std::longjmp(E->Jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// Decodes into pixels (blue, green, red); false with the library's message on failure. No object with a
// destructor is created after the jump point.
bool DecodeJpeg(const std::vector<Byte>& d, std::vector<Byte>& bgr, int& w, int& h, char* message) {
    jpeg_decompress_struct Ci;
    JpegError Err;
    Ci.err = jpeg_std_error(&Err.Pub);
    Err.Pub.error_exit = JpegErrorExit;
    Err.Pub.emit_message = JpegSilence;
    if (setjmp(Err.Jump)) {
        std::strcpy(message, Err.Message);
        jpeg_destroy_decompress(&Ci);
        return false;
    }
    jpeg_create_decompress(&Ci);
    jpeg_mem_src(&Ci, d.data(), static_cast<unsigned long>(d.size()));
    jpeg_read_header(&Ci, TRUE);
    // The declared size is refused before the decoder allocates or decodes anything for it.
    if (!PictureSizeAllowed(Ci.image_width, Ci.image_height)) {
        std::strcpy(message, "invalid size");
        jpeg_destroy_decompress(&Ci);
        return false;
    }
    Ci.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&Ci);
    w = int(Ci.output_width);
    h = int(Ci.output_height);
    bgr.resize(std::size_t(w) * h * 3);
    while (Ci.output_scanline < Ci.output_height) {
        JSAMPROW Row = bgr.data() + std::size_t(Ci.output_scanline) * w * 3;
        jpeg_read_scanlines(&Ci, &Row, 1);
    }
    jpeg_finish_decompress(&Ci);
    jpeg_destroy_decompress(&Ci);
    return true;
}

bool EncodeJpeg(const std::vector<Byte>& bgr, int w, int h, int quality, bool gray, unsigned char** out,
                unsigned long* outSize, char* message) {
    jpeg_compress_struct Ci;
    JpegError Err;
    Ci.err = jpeg_std_error(&Err.Pub);
    Err.Pub.error_exit = JpegErrorExit;
    if (setjmp(Err.Jump)) {
        std::strcpy(message, Err.Message);
        jpeg_destroy_compress(&Ci);
        return false;
    }
    jpeg_create_compress(&Ci);
    jpeg_mem_dest(&Ci, out, outSize);
    Ci.image_width = JDIMENSION(w);
    Ci.image_height = JDIMENSION(h);
    Ci.input_components = 3;
    Ci.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&Ci);
    if (gray)
        jpeg_set_colorspace(&Ci, JCS_GRAYSCALE);
    jpeg_set_quality(&Ci, quality, TRUE); // baseline tables
    jpeg_start_compress(&Ci, TRUE);
    while (Ci.next_scanline < Ci.image_height) {
        JSAMPROW Row = const_cast<Byte*>(bgr.data()) + std::size_t(Ci.next_scanline) * w * 3;
        jpeg_write_scanlines(&Ci, &Row, 1);
    }
    jpeg_finish_compress(&Ci);
    jpeg_destroy_compress(&Ci);
    return true;
}

} // namespace

void TJPEGImage::SetCompressionQuality(int Value) {
    FCompressionQuality = std::clamp(Value, 1, 100);
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* J = dynamic_cast<TJPEGImage*>(Source)) {
        FBitmap->Assign(J->FBitmap.get());
        FCompressionQuality = J->FCompressionQuality;
        FGrayscale = J->FGrayscale;
        Changed();
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        int W, H;
        bool Alpha;
        auto Px = PixelsOf(G, W, H, Alpha);
        FBitmap->SetSize(0, 0);
        FBitmap->SetPixelFormat(pf24bit);
        FBitmap->SetSize(W, H);
        for (int Y = 0; Y < H; ++Y) {
            auto* Row = static_cast<Byte*>(FBitmap->ScanLine(Y));
            for (int X = 0; X < W; ++X) {
                std::uint32_t P = Px[std::size_t(Y) * W + X];
                Row[3 * X] = Byte(P);
                Row[3 * X + 1] = Byte(P >> 8);
                Row[3 * X + 2] = Byte(P >> 16);
            }
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> D = ReadAll(Stream, u"JPEG image is not valid");
    std::vector<Byte> Bgr;
    int W = 0, H = 0;
    char Message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(D, Bgr, W, H, Message))
        throw EInvalidGraphic(Format(u"JPEG image is not valid: %s", {UTF8ToString(Message)}));
    FBitmap->SetSize(0, 0);
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        std::memcpy(FBitmap->ScanLine(Y), Bgr.data() + std::size_t(Y) * W * 3, std::size_t(W) * 3);
    Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int W = Width(), H = Height();
    TBitmap Tmp;
    Tmp.Assign(FBitmap.get());
    Tmp.SetPixelFormat(pf24bit);
    std::vector<Byte> Bgr(std::size_t(W) * H * 3);
    for (int Y = 0; Y < H; ++Y)
        std::memcpy(Bgr.data() + std::size_t(Y) * W * 3, Tmp.ScanLine(Y), std::size_t(W) * 3);
    unsigned char* Out = nullptr;
    unsigned long Size = 0;
    char Message[JMSG_LENGTH_MAX] = {};
    bool Ok = EncodeJpeg(Bgr, W, H, FCompressionQuality, FGrayscale, &Out, &Size, Message);
    if (Ok)
        Stream->WriteBuffer(Out, std::int64_t(Size));
    free(Out);
    if (!Ok)
        throw EInvalidGraphic(Format(u"JPEG image cannot be written: %s", {UTF8ToString(Message)}));
}

// ---- GIF ----

namespace {

struct MemoryReader {
    const std::vector<Byte>* Data;
    std::size_t Pos = 0;
};

int GifRead(GifFileType* g, GifByteType* buf, int n) {
    auto* M = static_cast<MemoryReader*>(g->UserData);
    std::size_t Left = M->Data->size() - M->Pos;
    std::size_t K = std::min<std::size_t>(Left, std::size_t(std::max(0, n)));
    // An empty file has no bytes to copy from: memcpy with a null source is undefined even for 0 bytes.
    if (K)
        std::memcpy(buf, M->Data->data() + M->Pos, K);
    M->Pos += K;
    return int(K);
}

int GifWrite(GifFileType* g, const GifByteType* buf, int n) {
    static_cast<std::vector<Byte>*>(g->UserData)
        ->insert(static_cast<std::vector<Byte>*>(g->UserData)->end(), buf, buf + n);
    return n;
}

struct Box {
    std::size_t Begin, End; // range in the colour list
};

// Median cut over the distinct colours weighted by their counts.
std::vector<std::uint32_t> MedianCut(std::vector<std::pair<std::uint32_t, std::uint32_t>>& colours, int maxColours) {
    std::vector<Box> Boxes{{0, colours.size()}};
    auto Channel = [](std::uint32_t c, int ch) { return int((c >> (ch * 8)) & 255); };
    auto Widest = [&](const Box& b, int& range) {
        int Best = 0;
        range = -1;
        for (int Ch = 0; Ch < 3; ++Ch) {
            int Lo = 255, Hi = 0;
            for (std::size_t I = b.Begin; I < b.End; ++I) {
                Lo = std::min(Lo, Channel(colours[I].first, Ch));
                Hi = std::max(Hi, Channel(colours[I].first, Ch));
            }
            if (Hi - Lo > range) {
                range = Hi - Lo;
                Best = Ch;
            }
        }
        return Best;
    };
    while (int(Boxes.size()) < maxColours) {
        // Split the box with the widest spread weighted by how many pixels it holds.
        int Pick = -1;
        long long BestScore = 0;
        for (std::size_t K = 0; K < Boxes.size(); ++K) {
            if (Boxes[K].End - Boxes[K].Begin < 2)
                continue;
            int Range;
            Widest(Boxes[K], Range);
            long long Count = 0;
            for (std::size_t I = Boxes[K].Begin; I < Boxes[K].End; ++I)
                Count += colours[I].second;
            long long Score = (long long)Range * Count;
            if (Score > BestScore) {
                BestScore = Score;
                Pick = int(K);
            }
        }
        if (Pick < 0)
            break;
        Box B = Boxes[Pick];
        int Range;
        int ch = Widest(B, Range);
        std::sort(colours.begin() + std::ptrdiff_t(B.Begin), colours.begin() + std::ptrdiff_t(B.End),
                  [&](const auto& x, const auto& y) { return Channel(x.first, ch) < Channel(y.first, ch); });
        long long Total = 0, Half = 0;
        for (std::size_t I = B.Begin; I < B.End; ++I)
            Total += colours[I].second;
        std::size_t Mid = B.Begin;
        while (Mid < B.End - 1 && (Half += colours[Mid].second) < Total / 2)
            ++Mid;
        Mid = std::clamp(Mid + 1, B.Begin + 1, B.End - 1);
        Boxes[Pick] = {B.Begin, Mid};
        Boxes.push_back({Mid, B.End});
    }
    std::vector<std::uint32_t> Pal;
    for (const Box& B : Boxes) {
        double Sum[3] = {0, 0, 0}, N = 0;
        for (std::size_t I = B.Begin; I < B.End; ++I) {
            for (int Ch = 0; Ch < 3; ++Ch)
                Sum[Ch] += double(Channel(colours[I].first, Ch)) * colours[I].second;
            N += colours[I].second;
        }
        std::uint32_t C = 0;
        for (int Ch = 0; Ch < 3; ++Ch)
            C |= std::uint32_t(std::lround(Sum[Ch] / std::max(1.0, N))) << (Ch * 8);
        Pal.push_back(C);
    }
    return Pal;
}

} // namespace

void TGIFImage::Assign(TPersistent* Source) {
    if (auto* G = dynamic_cast<TGIFImage*>(Source)) {
        FBitmap->Assign(G->FBitmap.get());
        Changed();
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        int W, H;
        bool Alpha;
        auto Px = PixelsOf(G, W, H, Alpha);
        FillBitmap(FBitmap.get(), W, H, Px.data(), Alpha);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

namespace {

[[noreturn]] void BadGif(GifFileType* Gif, const char* Reason) {
    String Msg = UTF8ToString(Reason ? Reason : "no image");
    int Err = 0;
    DGifCloseFile(Gif, &Err);
    throw EInvalidGraphic(Format(u"GIF image is not valid: %s", {Msg}));
}

// Reads the records up to the first image: its descriptor, the control block of the extensions before it, and its
// pixels (interlaced rows put in their places). The image's size is checked before its pixels are allocated, and
// the frames after it are never decoded.
std::vector<GifByteType> ReadFirstGifImage(GifFileType* Gif, GraphicsControlBlock& Gcb) {
    for (;;) {
        GifRecordType Type;
        if (DGifGetRecordType(Gif, &Type) == GIF_ERROR)
            BadGif(Gif, GifErrorString(Gif->Error));
        if (Type == TERMINATE_RECORD_TYPE)
            BadGif(Gif, "no image");
        if (Type == EXTENSION_RECORD_TYPE) {
            int Code = 0;
            GifByteType* Block = nullptr;
            if (DGifGetExtension(Gif, &Code, &Block) == GIF_ERROR)
                BadGif(Gif, GifErrorString(Gif->Error));
            if (Code == GRAPHICS_EXT_FUNC_CODE && Block)
                DGifExtensionToGCB(Block[0], Block + 1, &Gcb);
            while (Block)
                if (DGifGetExtensionNext(Gif, &Block) == GIF_ERROR)
                    BadGif(Gif, GifErrorString(Gif->Error));
            continue;
        }
        if (Type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(Gif) == GIF_ERROR)
            BadGif(Gif, GifErrorString(Gif->Error));
        const GifImageDesc& Desc = Gif->Image;
        if (!PictureSizeAllowed(Desc.Width, Desc.Height))
            BadGif(Gif, "invalid size");
        std::vector<GifByteType> Raster(std::size_t(Desc.Width) * std::size_t(Desc.Height));
        auto Line = [&](int Y) {
            if (DGifGetLine(Gif, Raster.data() + std::size_t(Y) * Desc.Width, Desc.Width) == GIF_ERROR)
                BadGif(Gif, GifErrorString(Gif->Error));
        };
        if (Desc.Interlace) {
            // Four passes: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
            static const int First[] = {0, 4, 2, 1}, Step[] = {8, 8, 4, 2};
            for (int Pass = 0; Pass < 4; ++Pass)
                for (int Y = First[Pass]; Y < Desc.Height; Y += Step[Pass])
                    Line(Y);
        } else {
            for (int Y = 0; Y < Desc.Height; ++Y)
                Line(Y);
        }
        return Raster;
    }
}

} // namespace

void TGIFImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> D = ReadAll(Stream, u"GIF image is not valid");
    MemoryReader Reader{&D};
    int Err = 0;
    GifFileType* Gif = DGifOpen(&Reader, GifRead, &Err);
    if (!Gif)
        throw EInvalidGraphic(Format(u"GIF image is not valid: %s", {UTF8ToString(GifErrorString(Err))}));
    if (Gif->SWidth > 0 && Gif->SHeight > 0 && !PictureSizeAllowed(Gif->SWidth, Gif->SHeight))
        BadGif(Gif, "invalid size");
    GraphicsControlBlock Gcb;
    Gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    const std::vector<GifByteType> Raster = ReadFirstGifImage(Gif, Gcb);
    const GifImageDesc Im = Gif->Image;
    int Sw = Gif->SWidth > 0 ? Gif->SWidth : Im.Width;
    int Sh = Gif->SHeight > 0 ? Gif->SHeight : Im.Height;
    if (!PictureSizeAllowed(Sw, Sh))
        BadGif(Gif, "invalid size");
    // The colours as pixels, before the file is closed; an index without a colour shows as transparent.
    const ColorMapObject* Map = Im.ColorMap ? Im.ColorMap : Gif->SColorMap;
    std::uint32_t Colours[256] = {};
    bool Opaque[256] = {};
    for (int I = 0; Map && I < std::min(Map->ColorCount, 256); ++I) {
        if (I == Gcb.TransparentColor)
            continue;
        const GifColorType& C = Map->Colors[I];
        Colours[I] = 0xFF000000u | (std::uint32_t(C.Red) << 16) | (C.Green << 8) | C.Blue;
        Opaque[I] = true;
    }
    DGifCloseFile(Gif, &Err);
    // The screen goes straight into the bitmap's rows: a small file may declare a large screen, and a second
    // screen-sized copy would double its cost.
    TBitmap* B = FBitmap.get();
    B->SetSize(0, 0);
    B->SetPixelFormat(pf32bit);
    B->SetSize(Sw, Sh);
    bool Transparent = Im.Left != 0 || Im.Top != 0 || Im.Width != Sw || Im.Height != Sh;
    for (int Cy = 0; Cy < Sh; ++Cy) {
        auto* Row = static_cast<std::uint32_t*>(B->ScanLine(Cy));
        std::fill(Row, Row + Sw, 0u);
        const int Y = Cy - Im.Top;
        if (Y < 0 || Y >= Im.Height)
            continue;
        const GifByteType* Line = Raster.data() + std::size_t(Y) * Im.Width;
        for (int Cx = std::max(0, Im.Left), To = std::min(Sw, Im.Left + Im.Width); Cx < To; ++Cx) {
            const GifByteType Idx = Line[Cx - Im.Left];
            Row[Cx] = Colours[Idx];
            Transparent |= !Opaque[Idx];
        }
    }
    B->SetAlphaFormat(Transparent ? afDefined : afIgnored);
    FTransparent = Transparent;
    Changed();
}

void TGIFImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int W, H;
    bool Alpha;
    auto Px = PixelsOf(FBitmap.get(), W, H, Alpha);
    std::unordered_map<std::uint32_t, std::uint32_t> Counts;
    bool Transparent = false;
    for (auto P : Px) {
        if ((P >> 24) < 128) {
            Transparent = true;
            continue;
        }
        ++Counts[P & 0xFFFFFF];
    }
    int Room = Transparent ? 255 : 256;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Colours(Counts.begin(), Counts.end());
    std::sort(Colours.begin(), Colours.end());
    std::vector<std::uint32_t> pal;
    if (int(Colours.size()) <= Room)
        for (auto& C : Colours)
            pal.push_back(C.first);
    else
        pal = MedianCut(Colours, Room);
    int transparentIndex = Transparent ? int(pal.size()) : -1;
    if (Transparent)
        pal.push_back(0);
    int MapSize = 2;
    while (MapSize < int(pal.size()))
        MapSize *= 2;
    ColorMapObject* Map = GifMakeMapObject(MapSize, nullptr);
    for (int I = 0; I < MapSize; ++I) {
        std::uint32_t C = I < int(pal.size()) ? pal[I] : 0;
        Map->Colors[I] = {GifByteType(C >> 16), GifByteType(C >> 8), GifByteType(C)};
    }
    // Each colour goes to its nearest palette entry.
    std::unordered_map<std::uint32_t, int> nearest;
    auto IndexOf = [&](std::uint32_t p) {
        if ((p >> 24) < 128)
            return transparentIndex;
        p &= 0xFFFFFF;
        auto It = nearest.find(p);
        if (It != nearest.end())
            return It->second;
        int Best = 0;
        long BestD = -1;
        for (int I = 0; I < int(pal.size()) - (Transparent ? 1 : 0); ++I) {
            long Dr = long((p >> 16) & 255) - long((pal[I] >> 16) & 255);
            long Dg = long((p >> 8) & 255) - long((pal[I] >> 8) & 255);
            long Db = long(p & 255) - long(pal[I] & 255);
            long Dd = Dr * Dr + Dg * Dg + Db * Db;
            if (BestD < 0 || Dd < BestD) {
                BestD = Dd;
                Best = I;
            }
        }
        nearest[p] = Best;
        return Best;
    };
    std::vector<Byte> Out;
    int Err = 0;
    GifFileType* Gif = EGifOpen(&Out, GifWrite, &Err);
    if (!Gif) {
        GifFreeMapObject(Map);
        throw EInvalidGraphic(Format(u"GIF image cannot be written: %s", {UTF8ToString(GifErrorString(Err))}));
    }
    EGifSetGifVersion(Gif, true);
    bool Ok = EGifPutScreenDesc(Gif, W, H, 8, 0, Map) == GIF_OK;
    if (Ok && Transparent) {
        GraphicsControlBlock Gcb;
        Gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        Gcb.UserInputFlag = false;
        Gcb.DelayTime = 0;
        Gcb.TransparentColor = transparentIndex;
        GifByteType Ext[4];
        std::size_t Len = EGifGCBToExtension(&Gcb, Ext);
        Ok = EGifPutExtension(Gif, GRAPHICS_EXT_FUNC_CODE, int(Len), Ext) == GIF_OK;
    }
    Ok = Ok && EGifPutImageDesc(Gif, 0, 0, W, H, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> Line(static_cast<std::size_t>(W));
    for (int Y = 0; Ok && Y < H; ++Y) {
        for (int X = 0; X < W; ++X)
            Line[std::size_t(X)] = GifPixelType(IndexOf(Px[std::size_t(Y) * W + X]));
        Ok = EGifPutLine(Gif, Line.data(), W) == GIF_OK;
    }
    int CloseErr = 0;
    if (EGifCloseFile(Gif, &CloseErr) != GIF_OK)
        Ok = false;
    GifFreeMapObject(Map);
    if (!Ok)
        throw EInvalidGraphic(u"GIF image cannot be written");
    Stream->WriteBuffer(Out.data(), std::int64_t(Out.size()));
}

// ---- icon files ----

namespace {

[[noreturn]] void BadIcon() {
    throw EInvalidGraphic(u"Icon image is not valid");
}

std::uint32_t U32(const std::vector<Byte>& d, std::size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (std::uint32_t(d[at + 3]) << 24);
}
std::uint16_t U16(const std::vector<Byte>& d, std::size_t at) {
    return std::uint16_t(d[at] | (d[at + 1] << 8));
}

} // namespace

void TIcon::LoadFromStream(TStream* Stream) {
    std::vector<Byte> D = ReadAll(Stream, u"Icon image is not valid");
    if (D.size() < 6 || U16(D, 0) != 0 || (U16(D, 2) != 1 && U16(D, 2) != 2))
        BadIcon();
    int Count = U16(D, 4);
    if (Count < 1 || D.size() < 6 + std::size_t(Count) * 16)
        BadIcon();
    // The largest entry, then the deepest.
    int Pick = 0;
    long BestArea = -1;
    int BestBits = -1;
    for (int I = 0; I < Count; ++I) {
        std::size_t E = 6 + std::size_t(I) * 16;
        long W = D[E] ? D[E] : 256, H = D[E + 1] ? D[E + 1] : 256;
        int Bits = U16(D, E + 6);
        if (W * H > BestArea || (W * H == BestArea && Bits > BestBits)) {
            BestArea = W * H;
            BestBits = Bits;
            Pick = I;
        }
    }
    std::size_t E = 6 + std::size_t(Pick) * 16;
    std::uint32_t Size = U32(D, E + 8), Off = U32(D, E + 12);
    if (Off > D.size() || Size > D.size() - Off || Size < 40)
        BadIcon();
    std::vector<Byte> Img(D.begin() + Off, D.begin() + Off + Size);
    static const Byte PngSig[8] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    if (std::memcmp(Img.data(), PngSig, 8) == 0) {
        TMemoryStream Ms;
        Ms.WriteBuffer(Img.data(), std::int64_t(Img.size()));
        Ms.SetPosition(0);
        TPngImage Png;
        Png.LoadFromStream(&Ms);
        auto Px = Png.Pixels();
        SetHandle(CreateIconFromPixels(Png.Width(), Png.Height(), Px.data()));
        return;
    }
    std::uint32_t Hs = U32(Img, 0);
    if (Hs < 40 || Hs > Img.size())
        BadIcon();
    int W = std::int32_t(U32(Img, 4)), H2 = std::int32_t(U32(Img, 8)), Bits = U16(Img, 14);
    int H = H2 / 2;
    if (W <= 0 || H <= 0 || W > 1024 || H > 1024 || (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 24 && Bits != 32))
        BadIcon();
    std::size_t Colours = Bits <= 8 ? (U32(Img, 32) ? U32(Img, 32) : (1u << Bits)) : 0;
    if (Colours > 256)
        BadIcon();
    std::size_t PalAt = Hs, XorAt = PalAt + Colours * 4;
    std::size_t XorStride = std::size_t(DibStride(W, Bits)), AndStride = std::size_t(DibStride(W, 1));
    std::size_t AndAt = XorAt + XorStride * H;
    if (AndAt > Img.size() || XorStride * H > Img.size())
        BadIcon();
    bool HasMask = AndAt + AndStride * H <= Img.size();
    std::vector<std::uint32_t> Px(std::size_t(W) * H);
    bool AnyAlpha = false;
    for (int Y = 0; Y < H; ++Y) {
        const Byte* Row = Img.data() + XorAt + XorStride * std::size_t(H - 1 - Y);
        for (int X = 0; X < W; ++X) {
            std::uint32_t V;
            if (Bits == 32) {
                V = Row[4 * X] | (Row[4 * X + 1] << 8) | (Row[4 * X + 2] << 16) | (std::uint32_t(Row[4 * X + 3]) << 24);
                AnyAlpha = AnyAlpha || (V >> 24);
            } else if (Bits == 24) {
                V = Row[3 * X] | (Row[3 * X + 1] << 8) | (Row[3 * X + 2] << 16);
            } else {
                int Idx = Bits == 8   ? Row[X]
                          : Bits == 4 ? (Row[X / 2] >> ((X & 1) ? 0 : 4)) & 15
                                      : (Row[X / 8] >> (7 - X % 8)) & 1;
                if (std::size_t(Idx) >= Colours)
                    BadIcon();
                std::size_t P = PalAt + std::size_t(Idx) * 4;
                V = Img[P] | (Img[P + 1] << 8) | (Img[P + 2] << 16);
            }
            Px[std::size_t(Y) * W + X] = V;
        }
    }
    if (!AnyAlpha)
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                bool Clear = HasMask && ((Img[AndAt + AndStride * std::size_t(H - 1 - Y) + X / 8] >> (7 - X % 8)) & 1);
                auto& V = Px[std::size_t(Y) * W + X];
                V = (V & 0xFFFFFF) | (Clear ? 0 : 0xFF000000u);
            }
    SetHandle(CreateIconFromPixels(W, H, Px.data()));
}

void TIcon::SaveToStream(TStream* Stream) {
    std::vector<std::uint32_t> Px;
    if (!GetIconPixels(FHandle, Px))
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int W = Width(), H = Height();
    std::size_t AndStride = std::size_t(DibStride(W, 1));
    std::size_t ImgSize = 40 + std::size_t(W) * H * 4 + AndStride * H;
    std::vector<Byte> Out;
    auto Put16 = [&](std::uint32_t v) {
        Out.push_back(Byte(v));
        Out.push_back(Byte(v >> 8));
    };
    auto Put32 = [&](std::uint32_t v) {
        Put16(v & 0xFFFF);
        Put16(v >> 16);
    };
    Put16(0);
    Put16(1);
    Put16(1);
    Out.push_back(Byte(W >= 256 ? 0 : W));
    Out.push_back(Byte(H >= 256 ? 0 : H));
    Out.push_back(0);
    Out.push_back(0);
    Put16(1);
    Put16(32);
    Put32(std::uint32_t(ImgSize));
    Put32(22);
    Put32(40);
    Put32(std::uint32_t(W));
    Put32(std::uint32_t(H * 2));
    Put16(1);
    Put16(32);
    for (int I = 0; I < 6; ++I)
        Put32(0);
    for (int Y = H - 1; Y >= 0; --Y)
        for (int X = 0; X < W; ++X)
            Put32(Px[std::size_t(Y) * W + X]);
    for (int Y = H - 1; Y >= 0; --Y) {
        std::vector<Byte> Row(AndStride, 0);
        for (int X = 0; X < W; ++X)
            if ((Px[std::size_t(Y) * W + X] >> 24) < 128)
                Row[std::size_t(X / 8)] |= Byte(0x80 >> (X % 8));
        Out.insert(Out.end(), Row.begin(), Row.end());
    }
    Stream->WriteBuffer(Out.data(), std::int64_t(Out.size()));
}
