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
    std::int64_t n = Stream->Size() - Stream->Position();
    if (n < 0 || n > (std::int64_t(1) << 31))
        throw EInvalidGraphic(what);
    std::vector<Byte> d(static_cast<std::size_t>(n));
    if (n)
        Stream->ReadBuffer(d.data(), n);
    return d;
}

// 0xAARRGGBB straight-alpha pixels of any graphic, rows top-down.
std::vector<std::uint32_t> PixelsOf(TGraphic* g, int& w, int& h, bool& alpha) {
    w = g->Width();
    h = g->Height();
    alpha = false;
    if (auto* png = dynamic_cast<TPngImage*>(g)) {
        alpha = png->HasAlpha();
        return png->Pixels();
    }
    TBitmap tmp;
    tmp.Assign(g);
    if (auto* b = dynamic_cast<TBitmap*>(g))
        alpha = b->PixelFormat() == pf32bit && b->AlphaFormat() != afIgnored;
    else if (auto* gif = dynamic_cast<TGIFImage*>(g))
        alpha = gif->Bitmap()->AlphaFormat() != afIgnored;
    else if (dynamic_cast<TIcon*>(g))
        alpha = true;
    tmp.SetPixelFormat(pf32bit);
    std::vector<std::uint32_t> px(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(px.data() + std::size_t(y) * w, tmp.ScanLine(y), std::size_t(w) * 4);
    if (!alpha)
        for (auto& p : px)
            p |= 0xFF000000u;
    return px;
}

// A 32-bit bitmap with straight alpha from pixels.
void FillBitmap(TBitmap* b, int w, int h, const std::uint32_t* px, bool alpha) {
    b->SetSize(0, 0);
    b->SetPixelFormat(pf32bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        std::memcpy(b->ScanLine(y), px + std::size_t(y) * w, std::size_t(w) * 4);
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
    std::vector<std::uint32_t> px(std::size_t(FWidth) * FHeight);
    for (std::size_t i = 0; i < px.size(); ++i) {
        std::uint32_t a = FHasAlpha ? FAlpha[i] : 255;
        px[i] =
            (a << 24) | (std::uint32_t(FRGB[i * 3 + 2]) << 16) | (std::uint32_t(FRGB[i * 3 + 1]) << 8) | FRGB[i * 3];
    }
    return px;
}

void TPngImage::SetPixels(int AWidth, int AHeight, const std::uint32_t* px, bool WithAlpha) {
    FHasAlpha = WithAlpha;
    SetSize(AWidth, AHeight);
    for (std::size_t i = 0; i < std::size_t(AWidth) * AHeight; ++i) {
        FRGB[i * 3] = Byte(px[i]);
        FRGB[i * 3 + 1] = Byte(px[i] >> 8);
        FRGB[i * 3 + 2] = Byte(px[i] >> 16);
        if (WithAlpha)
            FAlpha[i] = Byte(px[i] >> 24);
    }
}

void TPngImage::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPngImage*>(Source)) {
        FWidth = p->FWidth;
        FHeight = p->FHeight;
        FHasAlpha = p->FHasAlpha;
        FRGB = p->FRGB;
        FAlpha = p->FAlpha;
        FTransparent = p->FTransparent;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        int w, h;
        bool alpha;
        auto px = PixelsOf(g, w, h, alpha);
        SetPixels(w, h, px.data(), alpha);
        return;
    }
    TGraphic::Assign(Source);
}

void TPngImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> d = ReadAll(Stream, u"PNG image is not valid");
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, d.data(), d.size()))
        throw EInvalidGraphic(Format(u"PNG image is not valid: %s", {UTF8ToString(img.message)}));
    bool alpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (img.width == 0 || img.height == 0 || std::size_t(img.width) * img.height > kMaxPixels) {
        png_image_free(&img);
        throw EInvalidGraphic(u"PNG image is not valid: invalid size");
    }
    img.format = PNG_FORMAT_BGRA; // 16-bit channels come back as 8 bits
    std::vector<std::uint32_t> px(std::size_t(img.width) * img.height);
    if (!png_image_finish_read(&img, nullptr, px.data(), 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image is not valid: %s", {UTF8ToString(img.message)}));
    SetPixels(int(img.width), int(img.height), px.data(), alpha);
}

void TPngImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = png_uint_32(FWidth);
    img.height = png_uint_32(FHeight);
    std::vector<std::uint32_t> px = Pixels();
    img.format = FHasAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGRA;
    std::vector<Byte> rgb;
    const void* buffer = px.data();
    if (!FHasAlpha) {
        img.format = PNG_FORMAT_BGR;
        buffer = FRGB.data();
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&img, nullptr, &size, 0, buffer, 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image cannot be written: %s", {UTF8ToString(img.message)}));
    std::vector<Byte> out(size);
    if (!png_image_write_to_memory(&img, out.data(), &size, 0, buffer, 0, nullptr))
        throw EInvalidGraphic(Format(u"PNG image cannot be written: %s", {UTF8ToString(img.message)}));
    Stream->WriteBuffer(out.data(), std::int64_t(size));
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty())
        return;
    TBitmap b;
    auto px = Pixels();
    FillBitmap(&b, FWidth, FHeight, px.data(), FHasAlpha);
    b.Draw(ACanvas, R);
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
    auto* e = reinterpret_cast<JpegError*>(c->err);
    (*c->err->format_message)(c, e->Message);
    std::longjmp(e->Jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// Decodes into pixels (blue, green, red); false with the library's message on failure. No object with a
// destructor is created after the jump point.
bool DecodeJpeg(const std::vector<Byte>& d, std::vector<Byte>& bgr, int& w, int& h, char* message) {
    jpeg_decompress_struct ci;
    JpegError err;
    ci.err = jpeg_std_error(&err.Pub);
    err.Pub.error_exit = JpegErrorExit;
    err.Pub.emit_message = JpegSilence;
    if (setjmp(err.Jump)) {
        std::strcpy(message, err.Message);
        jpeg_destroy_decompress(&ci);
        return false;
    }
    jpeg_create_decompress(&ci);
    jpeg_mem_src(&ci, d.data(), static_cast<unsigned long>(d.size()));
    jpeg_read_header(&ci, TRUE);
    ci.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&ci);
    w = int(ci.output_width);
    h = int(ci.output_height);
    if (w <= 0 || h <= 0 || std::size_t(w) * std::size_t(h) > kMaxPixels) {
        std::strcpy(message, "invalid size");
        jpeg_destroy_decompress(&ci);
        return false;
    }
    bgr.resize(std::size_t(w) * h * 3);
    while (ci.output_scanline < ci.output_height) {
        JSAMPROW row = bgr.data() + std::size_t(ci.output_scanline) * w * 3;
        jpeg_read_scanlines(&ci, &row, 1);
    }
    jpeg_finish_decompress(&ci);
    jpeg_destroy_decompress(&ci);
    return true;
}

bool EncodeJpeg(const std::vector<Byte>& bgr, int w, int h, int quality, bool gray, unsigned char** out,
                unsigned long* outSize, char* message) {
    jpeg_compress_struct ci;
    JpegError err;
    ci.err = jpeg_std_error(&err.Pub);
    err.Pub.error_exit = JpegErrorExit;
    if (setjmp(err.Jump)) {
        std::strcpy(message, err.Message);
        jpeg_destroy_compress(&ci);
        return false;
    }
    jpeg_create_compress(&ci);
    jpeg_mem_dest(&ci, out, outSize);
    ci.image_width = JDIMENSION(w);
    ci.image_height = JDIMENSION(h);
    ci.input_components = 3;
    ci.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&ci);
    if (gray)
        jpeg_set_colorspace(&ci, JCS_GRAYSCALE);
    jpeg_set_quality(&ci, quality, TRUE); // baseline tables
    jpeg_start_compress(&ci, TRUE);
    while (ci.next_scanline < ci.image_height) {
        JSAMPROW row = const_cast<Byte*>(bgr.data()) + std::size_t(ci.next_scanline) * w * 3;
        jpeg_write_scanlines(&ci, &row, 1);
    }
    jpeg_finish_compress(&ci);
    jpeg_destroy_compress(&ci);
    return true;
}

} // namespace

void TJPEGImage::SetCompressionQuality(int Value) {
    FCompressionQuality = std::clamp(Value, 1, 100);
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        FBitmap->Assign(j->FBitmap.get());
        FCompressionQuality = j->FCompressionQuality;
        FGrayscale = j->FGrayscale;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        int w, h;
        bool alpha;
        auto px = PixelsOf(g, w, h, alpha);
        FBitmap->SetSize(0, 0);
        FBitmap->SetPixelFormat(pf24bit);
        FBitmap->SetSize(w, h);
        for (int y = 0; y < h; ++y) {
            auto* row = static_cast<Byte*>(FBitmap->ScanLine(y));
            for (int x = 0; x < w; ++x) {
                std::uint32_t p = px[std::size_t(y) * w + x];
                row[3 * x] = Byte(p);
                row[3 * x + 1] = Byte(p >> 8);
                row[3 * x + 2] = Byte(p >> 16);
            }
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> d = ReadAll(Stream, u"JPEG image is not valid");
    std::vector<Byte> bgr;
    int w = 0, h = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(d, bgr, w, h, message))
        throw EInvalidGraphic(Format(u"JPEG image is not valid: %s", {UTF8ToString(message)}));
    FBitmap->SetSize(0, 0);
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        std::memcpy(FBitmap->ScanLine(y), bgr.data() + std::size_t(y) * w * 3, std::size_t(w) * 3);
    Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int w = Width(), h = Height();
    TBitmap tmp;
    tmp.Assign(FBitmap.get());
    tmp.SetPixelFormat(pf24bit);
    std::vector<Byte> bgr(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        std::memcpy(bgr.data() + std::size_t(y) * w * 3, tmp.ScanLine(y), std::size_t(w) * 3);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    bool ok = EncodeJpeg(bgr, w, h, FCompressionQuality, FGrayscale, &out, &size, message);
    if (ok)
        Stream->WriteBuffer(out, std::int64_t(size));
    free(out);
    if (!ok)
        throw EInvalidGraphic(Format(u"JPEG image cannot be written: %s", {UTF8ToString(message)}));
}

// ---- GIF ----

namespace {

struct MemoryReader {
    const std::vector<Byte>* Data;
    std::size_t Pos = 0;
};

int GifRead(GifFileType* g, GifByteType* buf, int n) {
    auto* m = static_cast<MemoryReader*>(g->UserData);
    std::size_t left = m->Data->size() - m->Pos;
    std::size_t k = std::min<std::size_t>(left, std::size_t(std::max(0, n)));
    std::memcpy(buf, m->Data->data() + m->Pos, k);
    m->Pos += k;
    return int(k);
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
    std::vector<Box> boxes{{0, colours.size()}};
    auto channel = [](std::uint32_t c, int ch) { return int((c >> (ch * 8)) & 255); };
    auto widest = [&](const Box& b, int& range) {
        int best = 0;
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (std::size_t i = b.Begin; i < b.End; ++i) {
                lo = std::min(lo, channel(colours[i].first, ch));
                hi = std::max(hi, channel(colours[i].first, ch));
            }
            if (hi - lo > range) {
                range = hi - lo;
                best = ch;
            }
        }
        return best;
    };
    while (int(boxes.size()) < maxColours) {
        // Split the box with the widest spread weighted by how many pixels it holds.
        int pick = -1;
        long long bestScore = 0;
        for (std::size_t k = 0; k < boxes.size(); ++k) {
            if (boxes[k].End - boxes[k].Begin < 2)
                continue;
            int range;
            widest(boxes[k], range);
            long long count = 0;
            for (std::size_t i = boxes[k].Begin; i < boxes[k].End; ++i)
                count += colours[i].second;
            long long score = (long long)range * count;
            if (score > bestScore) {
                bestScore = score;
                pick = int(k);
            }
        }
        if (pick < 0)
            break;
        Box b = boxes[pick];
        int range;
        int ch = widest(b, range);
        std::sort(colours.begin() + std::ptrdiff_t(b.Begin), colours.begin() + std::ptrdiff_t(b.End),
                  [&](const auto& x, const auto& y) { return channel(x.first, ch) < channel(y.first, ch); });
        long long total = 0, half = 0;
        for (std::size_t i = b.Begin; i < b.End; ++i)
            total += colours[i].second;
        std::size_t mid = b.Begin;
        while (mid < b.End - 1 && (half += colours[mid].second) < total / 2)
            ++mid;
        mid = std::clamp(mid + 1, b.Begin + 1, b.End - 1);
        boxes[pick] = {b.Begin, mid};
        boxes.push_back({mid, b.End});
    }
    std::vector<std::uint32_t> pal;
    for (const Box& b : boxes) {
        double sum[3] = {0, 0, 0}, n = 0;
        for (std::size_t i = b.Begin; i < b.End; ++i) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += double(channel(colours[i].first, ch)) * colours[i].second;
            n += colours[i].second;
        }
        std::uint32_t c = 0;
        for (int ch = 0; ch < 3; ++ch)
            c |= std::uint32_t(std::lround(sum[ch] / std::max(1.0, n))) << (ch * 8);
        pal.push_back(c);
    }
    return pal;
}

} // namespace

void TGIFImage::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TGIFImage*>(Source)) {
        FBitmap->Assign(g->FBitmap.get());
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        int w, h;
        bool alpha;
        auto px = PixelsOf(g, w, h, alpha);
        FillBitmap(FBitmap.get(), w, h, px.data(), alpha);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TGIFImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> d = ReadAll(Stream, u"GIF image is not valid");
    MemoryReader reader{&d};
    int err = 0;
    GifFileType* gif = DGifOpen(&reader, GifRead, &err);
    if (!gif)
        throw EInvalidGraphic(Format(u"GIF image is not valid: %s", {UTF8ToString(GifErrorString(err))}));
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        String msg = UTF8ToString(GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "no image");
        DGifCloseFile(gif, &err);
        throw EInvalidGraphic(Format(u"GIF image is not valid: %s", {msg}));
    }
    const SavedImage& im = gif->SavedImages[0];
    int sw = gif->SWidth > 0 ? gif->SWidth : im.ImageDesc.Width;
    int sh = gif->SHeight > 0 ? gif->SHeight : im.ImageDesc.Height;
    if (sw <= 0 || sh <= 0 || std::size_t(sw) * sh > kMaxPixels || !im.RasterBits) {
        DGifCloseFile(gif, &err);
        throw EInvalidGraphic(u"GIF image is not valid: invalid size");
    }
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock gcb;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, 0, &gcb);
    std::vector<std::uint32_t> px(std::size_t(sw) * sh, 0);
    bool transparent = false;
    for (int y = 0; y < im.ImageDesc.Height; ++y)
        for (int x = 0; x < im.ImageDesc.Width; ++x) {
            int cx = im.ImageDesc.Left + x, cy = im.ImageDesc.Top + y;
            if (cx < 0 || cy < 0 || cx >= sw || cy >= sh)
                continue;
            int idx = im.RasterBits[std::size_t(y) * im.ImageDesc.Width + x];
            if (idx == gcb.TransparentColor || !map || idx >= map->ColorCount) {
                transparent = true;
                continue;
            }
            const GifColorType& c = map->Colors[idx];
            px[std::size_t(cy) * sw + cx] = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (c.Green << 8) | c.Blue;
        }
    if (im.ImageDesc.Left != 0 || im.ImageDesc.Top != 0 || im.ImageDesc.Width != sw || im.ImageDesc.Height != sh)
        transparent = true;
    DGifCloseFile(gif, &err);
    FillBitmap(FBitmap.get(), sw, sh, px.data(), transparent);
    FTransparent = transparent;
    Changed();
}

void TGIFImage::SaveToStream(TStream* Stream) {
    if (Empty())
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int w, h;
    bool alpha;
    auto px = PixelsOf(FBitmap.get(), w, h, alpha);
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    bool transparent = false;
    for (auto p : px) {
        if ((p >> 24) < 128) {
            transparent = true;
            continue;
        }
        ++counts[p & 0xFFFFFF];
    }
    int room = transparent ? 255 : 256;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> colours(counts.begin(), counts.end());
    std::sort(colours.begin(), colours.end());
    std::vector<std::uint32_t> pal;
    if (int(colours.size()) <= room)
        for (auto& c : colours)
            pal.push_back(c.first);
    else
        pal = MedianCut(colours, room);
    int transparentIndex = transparent ? int(pal.size()) : -1;
    if (transparent)
        pal.push_back(0);
    int mapSize = 2;
    while (mapSize < int(pal.size()))
        mapSize *= 2;
    ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
    for (int i = 0; i < mapSize; ++i) {
        std::uint32_t c = i < int(pal.size()) ? pal[i] : 0;
        map->Colors[i] = {GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)};
    }
    // Each colour goes to its nearest palette entry.
    std::unordered_map<std::uint32_t, int> nearest;
    auto indexOf = [&](std::uint32_t p) {
        if ((p >> 24) < 128)
            return transparentIndex;
        p &= 0xFFFFFF;
        auto it = nearest.find(p);
        if (it != nearest.end())
            return it->second;
        int best = 0;
        long bestD = -1;
        for (int i = 0; i < int(pal.size()) - (transparent ? 1 : 0); ++i) {
            long dr = long((p >> 16) & 255) - long((pal[i] >> 16) & 255);
            long dg = long((p >> 8) & 255) - long((pal[i] >> 8) & 255);
            long db = long(p & 255) - long(pal[i] & 255);
            long dd = dr * dr + dg * dg + db * db;
            if (bestD < 0 || dd < bestD) {
                bestD = dd;
                best = i;
            }
        }
        nearest[p] = best;
        return best;
    };
    std::vector<Byte> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &err);
    if (!gif) {
        GifFreeMapObject(map);
        throw EInvalidGraphic(Format(u"GIF image cannot be written: %s", {UTF8ToString(GifErrorString(err))}));
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK;
    if (ok && transparent) {
        GraphicsControlBlock gcb;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        std::size_t len = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = 0; ok && y < h; ++y) {
        for (int x = 0; x < w; ++x)
            line[std::size_t(x)] = GifPixelType(indexOf(px[std::size_t(y) * w + x]));
        ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
    }
    int closeErr = 0;
    if (EGifCloseFile(gif, &closeErr) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    if (!ok)
        throw EInvalidGraphic(u"GIF image cannot be written");
    Stream->WriteBuffer(out.data(), std::int64_t(out.size()));
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
    std::vector<Byte> d = ReadAll(Stream, u"Icon image is not valid");
    if (d.size() < 6 || U16(d, 0) != 0 || (U16(d, 2) != 1 && U16(d, 2) != 2))
        BadIcon();
    int count = U16(d, 4);
    if (count < 1 || d.size() < 6 + std::size_t(count) * 16)
        BadIcon();
    // The largest entry, then the deepest.
    int pick = 0;
    long bestArea = -1;
    int bestBits = -1;
    for (int i = 0; i < count; ++i) {
        std::size_t e = 6 + std::size_t(i) * 16;
        long w = d[e] ? d[e] : 256, h = d[e + 1] ? d[e + 1] : 256;
        int bits = U16(d, e + 6);
        if (w * h > bestArea || (w * h == bestArea && bits > bestBits)) {
            bestArea = w * h;
            bestBits = bits;
            pick = i;
        }
    }
    std::size_t e = 6 + std::size_t(pick) * 16;
    std::uint32_t size = U32(d, e + 8), off = U32(d, e + 12);
    if (off > d.size() || size > d.size() - off || size < 40)
        BadIcon();
    std::vector<Byte> img(d.begin() + off, d.begin() + off + size);
    static const Byte pngSig[8] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    if (std::memcmp(img.data(), pngSig, 8) == 0) {
        TMemoryStream ms;
        ms.WriteBuffer(img.data(), std::int64_t(img.size()));
        ms.SetPosition(0);
        TPngImage png;
        png.LoadFromStream(&ms);
        auto px = png.Pixels();
        SetHandle(CreateIconFromPixels(png.Width(), png.Height(), px.data()));
        return;
    }
    std::uint32_t hs = U32(img, 0);
    if (hs < 40 || hs > img.size())
        BadIcon();
    int w = std::int32_t(U32(img, 4)), h2 = std::int32_t(U32(img, 8)), bits = U16(img, 14);
    int h = h2 / 2;
    if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        BadIcon();
    std::size_t colours = bits <= 8 ? (U32(img, 32) ? U32(img, 32) : (1u << bits)) : 0;
    if (colours > 256)
        BadIcon();
    std::size_t palAt = hs, xorAt = palAt + colours * 4;
    std::size_t xorStride = std::size_t(DibStride(w, bits)), andStride = std::size_t(DibStride(w, 1));
    std::size_t andAt = xorAt + xorStride * h;
    if (andAt > img.size() || xorStride * h > img.size())
        BadIcon();
    bool hasMask = andAt + andStride * h <= img.size();
    std::vector<std::uint32_t> px(std::size_t(w) * h);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const Byte* row = img.data() + xorAt + xorStride * std::size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            std::uint32_t v;
            if (bits == 32) {
                v = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) | (std::uint32_t(row[4 * x + 3]) << 24);
                anyAlpha = anyAlpha || (v >> 24);
            } else if (bits == 24) {
                v = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
            } else {
                int idx = bits == 8   ? row[x]
                          : bits == 4 ? (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15
                                      : (row[x / 8] >> (7 - x % 8)) & 1;
                if (std::size_t(idx) >= colours)
                    BadIcon();
                std::size_t p = palAt + std::size_t(idx) * 4;
                v = img[p] | (img[p + 1] << 8) | (img[p + 2] << 16);
            }
            px[std::size_t(y) * w + x] = v;
        }
    }
    if (!anyAlpha)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool clear = hasMask && ((img[andAt + andStride * std::size_t(h - 1 - y) + x / 8] >> (7 - x % 8)) & 1);
                auto& v = px[std::size_t(y) * w + x];
                v = (v & 0xFFFFFF) | (clear ? 0 : 0xFF000000u);
            }
    SetHandle(CreateIconFromPixels(w, h, px.data()));
}

void TIcon::SaveToStream(TStream* Stream) {
    std::vector<std::uint32_t> px;
    if (!GetIconPixels(FHandle, px))
        throw EInvalidGraphicOperation(u"Cannot save an empty picture");
    int w = Width(), h = Height();
    std::size_t andStride = std::size_t(DibStride(w, 1));
    std::size_t imgSize = 40 + std::size_t(w) * h * 4 + andStride * h;
    std::vector<Byte> out;
    auto put16 = [&](std::uint32_t v) {
        out.push_back(Byte(v));
        out.push_back(Byte(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0);
    put16(1);
    put16(1);
    out.push_back(Byte(w >= 256 ? 0 : w));
    out.push_back(Byte(h >= 256 ? 0 : h));
    out.push_back(0);
    out.push_back(0);
    put16(1);
    put16(32);
    put32(std::uint32_t(imgSize));
    put32(22);
    put32(40);
    put32(std::uint32_t(w));
    put32(std::uint32_t(h * 2));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            put32(px[std::size_t(y) * w + x]);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<Byte> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if ((px[std::size_t(y) * w + x] >> 24) < 128)
                row[std::size_t(x / 8)] |= Byte(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    Stream->WriteBuffer(out.data(), std::int64_t(out.size()));
}
