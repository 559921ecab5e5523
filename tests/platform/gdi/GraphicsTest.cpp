#include "platform/gdi/Graphics.h"
#include "platform/gdi/ImgList.h"
#include "platform/gdi/Resources.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

std::vector<Byte> Bytes(TMemoryStream& s) {
    auto* p = static_cast<const Byte*>(s.Memory());
    return std::vector<Byte>(p, p + s.Size());
}

TEST(Graphics, ColoursAndSystemColours) {
    EXPECT_EQ(std::uint32_t(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
}

TEST(Graphics, FontSizeHeightAndChangeEvents) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    f.SetSize(9);
    EXPECT_EQ(f.Height(), -12);
    HFONT h1 = f.Handle();
    f.SetStyle(TFontStyles{fsBold});
    HFONT h2 = f.Handle();
    EXPECT_NE(h1, h2);
    LOGFONTW lf;
    GetObject(h2, sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(changes, 2);
    TFont g;
    g.Assign(&f);
    EXPECT_EQ(g.Height(), -12);
    EXPECT_TRUE(g.Style().Contains(fsBold));
}

TEST(Graphics, BitmapRowsAreBottomUpAndScanLineZeroIsTheTop) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(3, 2);
    b.Canvas()->SetPixels(0, 0, clRed);
    auto* top = static_cast<std::uint32_t*>(b.ScanLine(0));
    EXPECT_EQ(top[0] & 0xFFFFFF, 0xFF0000u);
    BITMAP bm;
    GetObject(b.Handle(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmHeight, 2); // positive: bottom-up
    EXPECT_EQ(static_cast<Byte*>(bm.bmBits) + 12, static_cast<Byte*>(b.ScanLine(0)));
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
    // Growing keeps the picture; new pixels are white.
    b.SetSize(4, 3);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite);
}

TEST(Graphics, CanvasDrawsWithPenBrushAndFont) {
    TBitmap b(6, 4);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(0, 0, 6, 4));
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 1);
    c->LineTo(6, 1);
    EXPECT_EQ(c->Pixels(5, 1), clRed);
    EXPECT_EQ(c->Pixels(5, 2), clBlue);
    c->Pen()->SetMode(pmNot);
    c->MoveTo(0, 1);
    c->LineTo(2, 1);
    EXPECT_EQ(c->Pixels(0, 1), TColor(0xFFFF00)); // not red = cyan
    EXPECT_EQ(c->PenPos(), (TPoint{2, 1}));
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clWhite);
    EXPECT_GT(c->TextWidth(u"Quorvane"), 20);
    EXPECT_GT(c->TextHeight(u"Q"), 8);
}

TEST(Graphics, CanvasHandleCarriesTheCanvasState) {
    // Callers draw on Canvas.Handle directly: the brush, font and pen are in it.
    TBitmap b(4, 1);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    PatBlt(c->Handle(), 0, 0, 2, 1, PATCOPY);
    EXPECT_EQ(c->Pixels(1, 0), clRed);
    c->Pen()->SetColor(clBlue);
    MoveToEx(c->Handle(), 2, 0, nullptr);
    LineTo(c->Handle(), 4, 0);
    EXPECT_EQ(c->Pixels(3, 0), clBlue);
    c->Brush()->SetStyle(bsClear);
    EXPECT_EQ(GetBkMode(c->Handle()), TRANSPARENT);
    c->Font()->SetColor(clLime);
    EXPECT_EQ(GetTextColor(c->Handle()), ColorToRGB(clLime));
}

TEST(Graphics, CanvasLockSerialisesThreads) {
    TBitmap b(64, 1);
    TCanvas* c = b.Canvas();
    c->Handle();
    int inside = 0, overlaps = 0;
    auto work = [&](TColor col) {
        for (int i = 0; i < 50; ++i) {
            c->Lock();
            if (++inside > 1)
                ++overlaps;
            c->Brush()->SetColor(col);
            c->FillRect(Rect(0, 0, 64, 1));
            EXPECT_EQ(c->Pixels(10, 0), col);
            --inside;
            c->Unlock();
        }
    };
    std::thread t1(work, clRed), t2(work, clBlue);
    t1.join();
    t2.join();
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(c->LockCount(), 0);
}

void PaintPattern(TBitmap& b) {
    const TColor cols[] = {clRed, clLime, clBlue, clWhite, clBlack, clYellow};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Canvas()->SetPixels(x, y, cols[(x + 2 * y) % 6]);
}

TEST(Graphics, BmpRoundTripsAtEveryDepth) {
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
        TBitmap b;
        b.SetPixelFormat(f);
        b.SetSize(5, 3);
        if (f == pf1bit) {
            b.Canvas()->SetPixels(1, 0, clBlack);
            b.Canvas()->SetPixels(4, 2, clBlack);
        } else {
            PaintPattern(b);
        }
        TMemoryStream s;
        b.SaveToStream(&s);
        s.SetPosition(0);
        TBitmap c;
        c.LoadFromStream(&s);
        EXPECT_EQ(c.Width(), 5);
        EXPECT_EQ(c.Height(), 3);
        EXPECT_EQ(c.BitsPerPixel(), b.BitsPerPixel()) << f;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(c.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y)) << f << " " << x << "," << y;
    }
}

// A 2 x 2, 24-bit BMP file; rows given top first.
std::vector<Byte> MakeBmp(bool topDown) {
    std::vector<Byte> d(54 + 16, 0);
    d[0] = 'B';
    d[1] = 'M';
    d[2] = Byte(d.size());
    d[10] = 54;
    d[14] = 40;
    d[18] = 2;
    std::int32_t h = topDown ? -2 : 2;
    std::memcpy(&d[22], &h, 4);
    d[26] = 1;
    d[28] = 24;
    const Byte top[6] = {0, 0, 255, 0, 255, 0}, bottom[6] = {255, 0, 0, 255, 255, 255};
    std::memcpy(&d[54 + (topDown ? 0 : 8)], top, 6);
    std::memcpy(&d[54 + (topDown ? 8 : 0)], bottom, 6);
    return d;
}

TEST(Graphics, BmpFilesOfBothRowOrders) {
    for (bool topDown : {true, false}) {
        auto d = MakeBmp(topDown);
        TMemoryStream s;
        s.WriteBuffer(d.data(), std::int64_t(d.size()));
        s.SetPosition(0);
        TBitmap b;
        b.LoadFromStream(&s);
        EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed) << topDown;
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clLime);
        EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlue);
        EXPECT_EQ(b.Canvas()->Pixels(1, 1), clWhite);
    }
}

TEST(Graphics, TruncatedOrHostileBmpFilesAreRefused) {
    struct Case {
        const char* What;
        std::function<void(std::vector<Byte>&)> Spoil;
    } cases[] = {
        {"empty", [](std::vector<Byte>& d) { d.clear(); }},
        {"not BM", [](std::vector<Byte>& d) { d[0] = 'X'; }},
        {"pixels cut short", [](std::vector<Byte>& d) { d.resize(60); }},
        {"header cut short", [](std::vector<Byte>& d) { d.resize(30); }},
        {"offset past the end",
         [](std::vector<Byte>& d) {
             d[10] = 0xF0;
             d[11] = 0xFF;
         }},
        {"huge width", [](std::vector<Byte>& d) { d[21] = 0x7F; }},
        {"zero width", [](std::vector<Byte>& d) { d[18] = 0; }},
        {"odd depth", [](std::vector<Byte>& d) { d[28] = 7; }},
        {"unknown header size", [](std::vector<Byte>& d) { d[14] = 41; }},
        {"colour table larger than the depth allows",
         [](std::vector<Byte>& d) {
             d[28] = 8;
             d[46] = 0;
             d[47] = 2;
         }},
        {"run-length compression", [](std::vector<Byte>& d) { d[30] = 1; }},
    };
    for (const auto& c : cases) {
        auto d = MakeBmp(false);
        c.Spoil(d);
        TMemoryStream s;
        if (!d.empty())
            s.WriteBuffer(d.data(), std::int64_t(d.size()));
        s.SetPosition(0);
        TBitmap b;
        try {
            b.LoadFromStream(&s);
            ADD_FAILURE() << c.What << ": loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), u"Bitmap image is not valid") << c.What;
        }
    }
}

std::vector<Byte> WritePng(int w, int h, png_uint_32 format, const void* pixels, const void* colormap = nullptr,
                           int colours = 0) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = w;
    img.height = h;
    img.format = format;
    img.colormap_entries = png_uint_32(colours);
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, pixels, 0, colormap));
    std::vector<Byte> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&img, out.data(), &size, 0, pixels, 0, colormap));
    out.resize(size);
    return out;
}

TEST(Graphics, PngColourTypesTransparencyAndSixteenBitChannels) {
    struct Case {
        const char* What;
        std::vector<Byte> File;
        int ColourType;
        bool Alpha;
        std::uint32_t First, Second; // 0xAARRGGBB of pixels 0 and 1
    };
    const Byte gray[2] = {0, 200};
    const Byte ga[4] = {50, 255, 60, 0};
    const Byte rgb[6] = {255, 0, 0, 0, 0, 255};
    const Byte rgba[8] = {1, 2, 3, 255, 4, 5, 6, 128};
    const png_uint_16 gray16[2] = {0xFFFF, 0x8080};
    const Byte idx[2] = {0, 1};
    const Byte mapRGBA[8] = {255, 0, 0, 255, 0, 0, 255, 0}; // red, and a transparent blue (tRNS)
    std::vector<Case> cases = {
        {"gray", WritePng(2, 1, PNG_FORMAT_GRAY, gray), 0, false, 0xFF000000, 0xFFC8C8C8},
        {"gray+alpha", WritePng(2, 1, PNG_FORMAT_GA, ga), 4, true, 0xFF323232, 0x003C3C3C},
        {"rgb", WritePng(2, 1, PNG_FORMAT_RGB, rgb), 2, false, 0xFFFF0000, 0xFF0000FF},
        {"rgba", WritePng(2, 1, PNG_FORMAT_RGBA, rgba), 6, true, 0xFF010203, 0x80040506},
        {"palette with tRNS", WritePng(2, 1, PNG_FORMAT_RGBA_COLORMAP, idx, mapRGBA, 2), 3, true, 0xFFFF0000, 0},
        {"16-bit gray", WritePng(2, 1, PNG_FORMAT_LINEAR_Y, gray16), 0, false, 0xFFFFFFFF, 0xFF000000},
    };
    for (auto& c : cases) {
        ASSERT_GT(c.File.size(), 33u);
        EXPECT_EQ(c.File[25], c.ColourType) << c.What; // IHDR colour type byte
        TMemoryStream s;
        s.WriteBuffer(c.File.data(), std::int64_t(c.File.size()));
        s.SetPosition(0);
        TPngImage p;
        p.LoadFromStream(&s);
        EXPECT_EQ(p.Width(), 2) << c.What;
        EXPECT_EQ(p.HasAlpha(), c.Alpha) << c.What;
        auto px = p.Pixels();
        if (std::string(c.What) == "16-bit gray") {
            EXPECT_EQ(px[0], c.First);
            EXPECT_GT(px[1] & 0xFF, 0x80u); // linear 0x8080 is a light grey once reduced to 8 bits
            continue;
        }
        if (c.Second == 0)
            EXPECT_EQ(px[1] >> 24, 0u) << c.What;
        else
            EXPECT_EQ(px[1], c.Second) << c.What;
        EXPECT_EQ(px[0], c.First) << c.What;
    }
}

TEST(Graphics, PngRoundTripKeepsAlphaAndRefusesGarbage) {
    std::uint32_t px[4] = {0xFF112233, 0x80445566, 0x00000000, 0xFFFFFFFF};
    TPngImage p;
    p.SetPixels(2, 2, px, true);
    TMemoryStream s;
    p.SaveToStream(&s);
    s.SetPosition(0);
    TPngImage q;
    q.LoadFromStream(&s);
    EXPECT_EQ(q.Pixels(), std::vector<std::uint32_t>(px, px + 4));
    EXPECT_EQ(q.AlphaScanline(0)[1], 0x80);
    auto bytes = Bytes(s);
    bytes.resize(bytes.size() / 2);
    TMemoryStream t;
    t.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    t.SetPosition(0);
    EXPECT_THROW(q.LoadFromStream(&t), EInvalidGraphic);
}

TEST(Graphics, JpegRoundTripWithinToleranceAtQualityNinety) {
    TBitmap b(16, 16);
    b.Canvas()->Brush()->SetColor(TColor(0x3060C0));
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(8, 0, 16, 16));
    TJPEGImage j;
    EXPECT_EQ(j.CompressionQuality(), 90);
    j.Assign(&b);
    TMemoryStream s;
    j.SaveToStream(&s);
    auto bytes = Bytes(s);
    // Baseline: a start-of-frame 0 marker and no progressive one.
    bool sof0 = false, sof2 = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        sof0 |= bytes[i] == 0xFF && bytes[i + 1] == 0xC0;
        sof2 |= bytes[i] == 0xFF && bytes[i + 1] == 0xC2;
    }
    EXPECT_TRUE(sof0);
    EXPECT_FALSE(sof2);
    s.SetPosition(0);
    TJPEGImage k;
    k.LoadFromStream(&s);
    ASSERT_EQ(k.Width(), 16);
    for (auto [x, y] : {std::pair{2, 2}, std::pair{13, 13}}) {
        COLORREF want = ColorToRGB(b.Canvas()->Pixels(x, y)), got = ColorToRGB(k.Bitmap()->Canvas()->Pixels(x, y));
        for (int sh : {0, 8, 16})
            EXPECT_NEAR(int((want >> sh) & 255), int((got >> sh) & 255), 6) << x;
    }
    TMemoryStream bad;
    bad.WriteBuffer("\xFF\xD8\xFF\xE0garbage", 11);
    bad.SetPosition(0);
    EXPECT_THROW(k.LoadFromStream(&bad), EInvalidGraphic);
}

TEST(Graphics, GifRoundTripsExactlyWithFewColoursAndKeepsTransparency) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(6, 2);
    PaintPattern(b);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            static_cast<std::uint32_t*>(b.ScanLine(y))[x] |= 0xFF000000u;
    static_cast<std::uint32_t*>(b.ScanLine(1))[5] = 0; // transparent
    b.SetAlphaFormat(afDefined);
    TGIFImage g;
    g.Assign(&b);
    TMemoryStream s;
    g.SaveToStream(&s);
    s.SetPosition(0);
    TGIFImage h;
    h.LoadFromStream(&s);
    ASSERT_EQ(h.Width(), 6);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) {
            std::uint32_t want = static_cast<std::uint32_t*>(b.ScanLine(y))[x];
            std::uint32_t got = static_cast<std::uint32_t*>(h.Bitmap()->ScanLine(y))[x];
            if (want >> 24)
                EXPECT_EQ(got, want) << x << "," << y;
            else
                EXPECT_EQ(got >> 24, 0u);
        }
}

TEST(Graphics, GifReducesManyColoursSoundly) {
    // 64 x 64 of a smooth two-way gradient: 4096 colours, reduced to 256.
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            static_cast<std::uint32_t*>(b.ScanLine(y))[x] = 0xFF000000u | (x * 4 << 16) | (y * 4 << 8) | 128;
    TGIFImage g;
    g.Assign(&b);
    TMemoryStream s;
    g.SaveToStream(&s);
    s.SetPosition(0);
    TGIFImage h;
    h.LoadFromStream(&s);
    double err = 0;
    int worst = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint32_t a = static_cast<std::uint32_t*>(b.ScanLine(y))[x];
            std::uint32_t c = static_cast<std::uint32_t*>(h.Bitmap()->ScanLine(y))[x];
            for (int sh : {0, 8, 16}) {
                int d = std::abs(int((a >> sh) & 255) - int((c >> sh) & 255));
                err += d;
                worst = std::max(worst, d);
            }
        }
    EXPECT_LT(err / (64 * 64 * 3), 4.0);
    EXPECT_LE(worst, 16);
}

TEST(Graphics, PictureLoadsByExtension) {
    std::string dir = ::testing::TempDir() + "qv_gdi_picture_" + std::to_string(::getpid());
    std::system(("mkdir -p '" + dir + "'").c_str());
    TBitmap b(3, 3);
    PaintPattern(b);
    TPngImage png;
    png.Assign(&b);
    String name = UTF8ToString(dir + "/图片.png");
    png.SaveToFile(name);
    TPicture p;
    p.LoadFromFile(name);
    ASSERT_NE(dynamic_cast<TPngImage*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Bitmap()->Empty(), true); // asking for a bitmap replaces another kind of graphic
    try {
        p.LoadFromFile(UTF8ToString(dir + "/x.tiff"));
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), u"Unknown picture file extension (.tiff)");
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(Graphics, TransparentBitmapUsesTheBottomLeftColourOrAFixedOne) {
    TBitmap src(3, 2);
    src.Canvas()->Brush()->SetColor(clFuchsia);
    src.Canvas()->FillRect(Rect(0, 0, 3, 2));
    src.Canvas()->SetPixels(1, 0, clRed);
    src.SetTransparent(true);
    EXPECT_EQ(src.TransparentColor(), clFuchsia);
    TBitmap dst(3, 2);
    dst.Canvas()->Brush()->SetColor(clBlue);
    dst.Canvas()->FillRect(Rect(0, 0, 3, 2));
    dst.Canvas()->Draw(0, 0, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clRed);
    src.SetTransparentColor(clRed);
    EXPECT_EQ(src.TransparentMode(), tmFixed);
    dst.Canvas()->Draw(0, 0, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clRed); // red pixel now skipped: the red from before stays
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clFuchsia);
}

TEST(Graphics, IconFileRoundTrip) {
    std::vector<std::uint32_t> px(4 * 4, 0xFF00FF00u);
    px[0] = 0;
    px[5] = 0x80FF0000u;
    TIcon i;
    i.SetHandle(CreateIconFromPixels(4, 4, px.data()));
    TMemoryStream s;
    i.SaveToStream(&s);
    s.SetPosition(0);
    TIcon j;
    j.LoadFromStream(&s);
    std::vector<std::uint32_t> back;
    ASSERT_TRUE(GetIconPixels(j.Handle(), back));
    EXPECT_EQ(back, px);
    EXPECT_THROW(j.SetWidth(8), EInvalidGraphicOperation);
}

// CopyImage of an icon: each target pixel averages the pixels it covers, weighted by their alpha.
TEST(Graphics, CopyImageResizesAnIcon) {
    // 4 x 4: the left half opaque red, the right half see-through except one opaque blue pixel.
    std::vector<std::uint32_t> px(4 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            px[std::size_t(y) * 4 + x] = 0xFFFF0000u;
    px[3] = 0xFF0000FFu;
    HICON src = CreateIconFromPixels(4, 4, px.data());
    HICON half = static_cast<HICON>(CopyImage(src, IMAGE_ICON, 2, 2, LR_COPYFROMRESOURCE));
    std::vector<std::uint32_t> back;
    ASSERT_TRUE(GetIconPixels(half, back));
    EXPECT_EQ(back, (std::vector<std::uint32_t>{0xFFFF0000u, 0x400000FFu, 0xFFFF0000u, 0}));
    HICON twice = static_cast<HICON>(CopyImage(src, IMAGE_ICON, 8, 0, 0));
    int cx = 0, cy = 0;
    GetIconSize(twice, &cx, &cy);
    EXPECT_EQ(cx, 8);
    EXPECT_EQ(cy, 4);
    ASSERT_TRUE(GetIconPixels(twice, back));
    EXPECT_EQ(back[7], 0xFF0000FFu);
    EXPECT_EQ(CopyImage(src, IMAGE_BITMAP, 2, 2, 0), nullptr);
    EXPECT_EQ(CopyImage(src, IMAGE_ICON, 2, 2, LR_COPYDELETEORG), nullptr);
    EXPECT_EQ(CopyImage(nullptr, IMAGE_ICON, 2, 2, 0), nullptr);
    for (HICON h : {src, half, twice})
        DestroyIcon(h);
}

TEST(Graphics, ImageListCutsDrawsAndClearsOnResize) {
    TImageList list(nullptr, 2, 2);
    TBitmap strip(6, 2);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(Rect(0, 0, 6, 2));
    strip.Canvas()->SetPixels(0, 0, clRed);
    strip.Canvas()->SetPixels(2, 0, clBlack);
    strip.Canvas()->SetPixels(5, 1, clBlue);
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);
    TBitmap target(2, 2);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(1, 0), clWhite); // masked pixels leave the target
    list.SetBkColor(clLime);
    list.Draw(target.Canvas(), 0, 0, 2);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clBlue);
    list.SetBkColor(clNone);
    // Greyed: the dark shape in the shadow colour, its highlight one pixel down and right.
    TBitmap grey(3, 3);
    list.Draw(grey.Canvas(), 0, 0, 1, false);
    EXPECT_EQ(ColorToRGB(grey.Canvas()->Pixels(0, 0)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(grey.Canvas()->Pixels(1, 1)), ColorToRGB(clBtnHighlight));
    list.Delete(1);
    EXPECT_EQ(list.Count(), 2);
    TBitmap one(2, 2);
    one.Canvas()->SetPixels(1, 1, clYellow);
    list.Insert(0, &one, nullptr);
    EXPECT_EQ(list.ImagePixels(0)[3] & 0xFFFFFF, 0xFFFF00u);
    try {
        list.Delete(7);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"Invalid ImageList Index");
    }
    list.SetSize(4, 4);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace

namespace {

TEST(Graphics, ImageListHandlesOfThePlatform) {
    HIMAGELIST h = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 4, 4);
    ASSERT_NE(h, nullptr);
    TBitmap pic(4, 2);
    pic.Canvas()->Brush()->SetColor(clFuchsia);
    pic.Canvas()->FillRect(Rect(0, 0, 4, 2));
    pic.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(ImageList_AddMasked(h, pic.Handle(), RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(h), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(h, &cx, &cy));
    EXPECT_EQ(cx, 2);
    EXPECT_EQ(ImageList_SetBkColor(h, RGB(0, 0, 255)), CLR_NONE);
    TBitmap target(2, 2);
    EXPECT_TRUE(ImageList_DrawEx(h, 0, target.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite); // no background with CLR_NONE
    EXPECT_TRUE(ImageList_Draw(h, 0, target.Canvas()->Handle(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clBlue); // the list's background colour
    EXPECT_EQ(ImageList_AddIcon(h, LoadIconW(nullptr, IDI_HAND)), 2);
    EXPECT_TRUE(ImageList_Remove(h, -1));
    EXPECT_EQ(ImageList_GetImageCount(h), 0);
    EXPECT_TRUE(ImageList_Destroy(h));
    EXPECT_FALSE(ImageList_Destroy(h));
    HIMAGELIST own;
    {
        TImageList list(nullptr, 16, 16);
        own = list.Handle();
        EXPECT_EQ(ImageList_GetImageCount(own), 0);
        EXPECT_FALSE(ImageList_Destroy(own)); // the component owns itself
        int w = 0;
        ImageList_GetIconSize(own, &w, nullptr);
        EXPECT_EQ(w, 16);
    }
    EXPECT_FALSE(ImageList_GetIconSize(own, &cx, &cy)); // gone with the component
}

} // namespace
