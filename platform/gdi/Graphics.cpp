// Colours, fonts, pens, brushes, the canvas, bitmaps with BMP files, icons and pictures.
#include "platform/gdi/Graphics.h"

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Resources.h"

#include <algorithm>
#include <cstring>

// ---- colours ----

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0)
        return GetSysColor(Color & 0xFF);
    return COLORREF(Color) & 0xFFFFFF;
}

// ---- graphics objects ----

void TGraphicsObject::Changed() {
    if (OnChange)
        OnChange(this);
}

TFont::TFont() = default;
TFont::~TFont() {
    if (FHandle)
        DeleteObject(FHandle);
}

void TFont::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        FColor = f->FColor;
        FHeight = f->FHeight;
        FName = f->FName;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTW lf;
        lf.lfHeight = FHeight;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic);
        lf.lfUnderline = FStyle.Contains(fsUnderline);
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        lf.lfCharSet = FCharset;
        lf.lfPitchAndFamily = BYTE(FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : 0);
        for (std::size_t i = 0; i < FName.size() && i < LF_FACESIZE - 1; ++i)
            lf.lfFaceName[i] = FName[i];
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}

void TFont::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        TGraphicsObject::Changed(); // the handle does not depend on the colour
    }
}
void TFont::SetHeight(int Value) {
    if (Value != FHeight) {
        FHeight = Value;
        Changed();
    }
}
int TFont::Size() const {
    long v = -long(FHeight) * 72;
    return int(v >= 0 ? (v + FPixelsPerInch / 2) / FPixelsPerInch : -((-v + FPixelsPerInch / 2) / FPixelsPerInch));
}
void TFont::SetSize(int Value) {
    long v = -long(Value) * FPixelsPerInch;
    SetHeight(int(v >= 0 ? (v + 36) / 72 : -((-v + 36) / 72)));
}
void TFont::SetName(const String& Value) {
    if (!Value.empty() && Value != FName) {
        FName = Value;
        Changed();
    }
}
void TFont::SetStyle(TFontStyles Value) {
    if (!(Value == FStyle)) {
        FStyle = Value;
        Changed();
    }
}
void TFont::SetCharset(TFontCharset Value) {
    if (Value != FCharset) {
        FCharset = Value;
        Changed();
    }
}
void TFont::SetPitch(TFontPitch Value) {
    if (Value != FPitch) {
        FPitch = Value;
        Changed();
    }
}

TPen::~TPen() {
    if (FHandle)
        DeleteObject(FHandle);
}
void TPen::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}
void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}
HPEN TPen::Handle() {
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}
void TPen::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}
void TPen::SetWidth(int Value) {
    if (Value >= 0 && Value != FWidth) {
        FWidth = Value;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}
void TPen::SetMode(TPenMode Value) {
    if (Value != FMode) {
        FMode = Value;
        TGraphicsObject::Changed();
    }
}

TBrush::~TBrush() {
    if (FHandle)
        DeleteObject(FHandle);
}
void TBrush::Changed() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    TGraphicsObject::Changed();
}
void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}
HBRUSH TBrush::Handle() {
    if (!FHandle) {
        if (FBitmap && !FBitmap->Empty())
            FHandle = CreatePatternBrush(FBitmap->Handle());
        else if (FStyle == bsSolid)
            FHandle = CreateSolidBrush(ColorToRGB(FColor));
        else if (FStyle == bsClear) {
            LOGBRUSH lb{BS_NULL, 0, 0};
            FHandle = CreateBrushIndirect(&lb);
        } else
            FHandle = CreateHatchBrush(int(FStyle) - int(bsHorizontal), ColorToRGB(FColor));
    }
    return FHandle;
}
void TBrush::SetColor(TColor Value) {
    if (Value != FColor || FStyle == bsClear) {
        FColor = Value;
        if (FStyle == bsClear)
            FStyle = bsSolid;
        Changed();
    }
}
void TBrush::SetStyle(TBrushStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}
void TBrush::SetBitmap(TBitmap* Value) {
    FBitmap = Value;
    Changed();
}

// ---- canvas ----

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() {
    DeselectHandles();
}

HDC TCanvas::Handle() {
    // The handle a caller draws on directly has the canvas's font, pen, brush and colours in it.
    RequiredState();
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (Value == FHandle)
        return;
    DeselectHandles();
    FHandle = Value;
}

void TCanvas::CreateHandle() {}
void TCanvas::Changing() {
    if (OnChanging)
        OnChanging(this);
}
void TCanvas::Changed() {
    if (OnChange)
        OnChange(this);
}

void TCanvas::DeselectHandles() {
    if (!FHandle)
        return;
    if (FOldFont)
        SelectObject(FHandle, FOldFont);
    if (FOldPen)
        SelectObject(FHandle, FOldPen);
    if (FOldBrush)
        SelectObject(FHandle, FOldBrush);
    FOldFont = FOldPen = FOldBrush = nullptr;
}

void TCanvas::Refresh() {
    DeselectHandles();
}

void TCanvas::RequiredState() {
    if (!FHandle)
        CreateHandle();
    if (!FHandle)
        throw EInvalidOperation(u"Canvas does not allow drawing");
    HDC dc = FHandle;
    HGDIOBJ f = SelectObject(dc, FFont->Handle());
    HGDIOBJ p = SelectObject(dc, FPen->Handle());
    HGDIOBJ b = SelectObject(dc, FBrush->Handle());
    if (!FOldFont) {
        FOldFont = f;
        FOldPen = p;
        FOldBrush = b;
    }
    SetTextColor(dc, ColorToRGB(FFont->Color()));
    if (FBrush->Style() == bsSolid) {
        SetBkColor(dc, ColorToRGB(FBrush->Color()));
        SetBkMode(dc, OPAQUE);
    } else {
        // Hatches draw only their lines: the gaps show what is beneath.
        SetBkColor(dc, ~ColorToRGB(FBrush->Color()) & 0xFFFFFF);
        SetBkMode(dc, TRANSPARENT);
    }
    static const int rop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(dc, rop2[FPen->Mode()]);
}

TPoint TCanvas::PenPos() {
    POINT p;
    GetCurrentPositionEx(Handle(), &p);
    return p;
}
void TCanvas::SetPenPos(const TPoint& Value) {
    MoveTo(Value.X, Value.Y);
}

TRect TCanvas::ClipRect() {
    RECT r;
    GetClipBox(Handle(), &r);
    return r;
}

TColor TCanvas::Pixels(int X, int Y) {
    COLORREF c = GetPixel(Handle(), X, Y);
    return c == CLR_INVALID ? TColor(-1) : TColor(c);
}
void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    SetPixel(Handle(), X, Y, ColorToRGB(Value));
    Changed();
}

void TCanvas::Lock() {
    FLock.lock();
    ++FLockCount;
}
void TCanvas::Unlock() {
    --FLockCount;
    FLock.unlock();
}
bool TCanvas::TryLock() {
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}

void TCanvas::MoveTo(int X, int Y) {
    MoveToEx(Handle(), X, Y, nullptr);
}
void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState();
    ::LineTo(FHandle, X, Y);
    Changed();
}
void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    Changing();
    RequiredState();
    ::Polyline(FHandle, Points.data(), int(Points.size()));
    Changed();
}
void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    Changing();
    RequiredState();
    ::Polygon(FHandle, Points.data(), int(Points.size()));
    Changed();
}
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState();
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}
void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState();
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}
void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState();
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}
void TCanvas::FillRect(const TRect& R) {
    Changing();
    RequiredState();
    ::FillRect(FHandle, &R, FBrush->Handle());
    Changed();
}
void TCanvas::FrameRect(const TRect& R) {
    Changing();
    RequiredState();
    ::FrameRect(FHandle, &R, FBrush->Handle());
    Changed();
}
void TCanvas::DrawFocusRect(const TRect& R) {
    Changing();
    RequiredState();
    ::DrawFocusRect(FHandle, &R);
    Changed();
}
void TCanvas::TextOut(int X, int Y, const String& Text) {
    Changing();
    RequiredState();
    ExtTextOutW(FHandle, X, Y, 0, nullptr, Text.c_str(), UINT(Text.size()), nullptr);
    MoveTo(X + TextWidth(Text), Y);
    Changed();
}
void TCanvas::TextRect(const TRect& R, int X, int Y, const String& Text) {
    Changing();
    RequiredState();
    UINT options = ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutW(FHandle, X, Y, options, &R, Text.c_str(), UINT(Text.size()), nullptr);
    Changed();
}
TSize TCanvas::TextExtent(const String& Text) {
    RequiredState();
    SIZE s{};
    GetTextExtentPoint32W(FHandle, Text.c_str(), int(Text.size()), &s);
    return s;
}
void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState();
    Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
    Changed();
}
void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState();
    Graphic->Draw(this, R);
    Changed();
}
void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    Changing();
    RequiredState();
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->Handle(), Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
    Changed();
}
void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->Empty())
        return;
    Changing();
    RequiredState();
    ::FillRect(FHandle, &Dest, FBrush->Handle());
    TransparentBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Bitmap->Canvas()->Handle(), Source.Left,
                   Source.Top, Source.Width(), Source.Height(), ColorToRGB(Color));
    Changed();
}

// ---- graphics ----

void TGraphic::SetTransparent(bool Value) {
    if (Value != FTransparent) {
        FTransparent = Value;
        Changed();
    }
}
void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}
void TGraphic::Changed() {
    FModified = true;
    if (OnChange)
        OnChange(this);
}
void TGraphic::LoadFromFile(const String& FileName) {
    TFileStream s(FileName, fmOpenRead);
    LoadFromStream(&s);
}
void TGraphic::SaveToFile(const String& FileName) {
    TFileStream s(FileName, fmCreate);
    SaveToStream(&s);
}

// ---- bitmaps ----

namespace {

int DepthOf(TPixelFormat f) {
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    default:
        return 32;
    }
}

std::vector<RGBQUAD> StandardPalette(int bits) {
    HBITMAP b = CreateBitmap(1, 1, 1, UINT(bits), nullptr);
    std::vector<RGBQUAD> p;
    if (auto o = gdi::Find<gdi::Bitmap>(b, OBJ_BITMAP))
        p = o->Palette;
    DeleteObject(b);
    return p;
}

// Memory DC with a bitmap selected, released at the end of the scope.
struct ScopedDC {
    HDC DC;
    HGDIOBJ Old;
    explicit ScopedDC(HBITMAP b) : DC(CreateCompatibleDC(nullptr)), Old(SelectObject(DC, b)) {}
    ~ScopedDC() {
        SelectObject(DC, Old);
        DeleteDC(DC);
    }
};

} // namespace

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int AWidth, int AHeight) {
    SetSize(AWidth, AHeight);
}
TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle)
        DeleteObject(FHandle);
}

int TBitmap::BitsPerPixel() const {
    return DepthOf(FPixelFormat);
}

void TBitmap::Recreate(int AWidth, int AHeight, TPixelFormat Format, const std::vector<RGBQUAD>* Pal) {
    if (AWidth < 0 || AHeight < 0)
        throw EInvalidGraphicOperation(u"Invalid image size");
    HBITMAP nb = nullptr;
    void* bits = nullptr;
    int depth = DepthOf(Format);
    if (AWidth > 0 && AHeight > 0) {
        BITMAPINFO256 bi{};
        bi.bmiHeader.biWidth = AWidth;
        bi.bmiHeader.biHeight = AHeight; // bottom-up, as the platform's bitmaps are
        bi.bmiHeader.biBitCount = WORD(depth);
        std::vector<RGBQUAD> pal = Pal ? *Pal : (depth <= 8 ? StandardPalette(depth) : std::vector<RGBQUAD>());
        if (depth <= 8) {
            pal.resize(std::size_t(1) << depth);
            std::copy(pal.begin(), pal.end(), bi.bmiColors);
        }
        nb = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!nb)
            throw EOutOfResources(u"Out of system resources");
        ScopedDC d(nb);
        RECT all{0, 0, AWidth, AHeight};
        ::FillRect(d.DC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (FHandle) {
            ScopedDC s(FHandle);
            BitBlt(d.DC, 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), s.DC, 0, 0, SRCCOPY);
        }
    }
    if (FCanvas)
        FCanvas->FreeContext();
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nb;
    FBits = bits;
    FWidth = nb ? AWidth : 0;
    FHeight = nb ? AHeight : 0;
    FPixelFormat = Format;
    Changed();
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    std::vector<RGBQUAD> pal = Palette();
    Recreate(AWidth, AHeight, FPixelFormat, pal.empty() ? nullptr : &pal);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat)
        return;
    if (Value == pfCustom)
        throw EInvalidGraphic(u"Invalid pixel format");
    Recreate(FWidth, FHeight, Value, nullptr);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
    if (Value != FAlphaFormat) {
        FAlphaFormat = Value;
        Changed();
    }
}

HBITMAP TBitmap::ReleaseHandle() {
    if (FCanvas)
        FCanvas->FreeContext();
    HBITMAP h = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
    return h;
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

void* TBitmap::ScanLine(int Row) {
    if (!FHandle || Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation(u"Scan line index out of range");
    int stride = DibStride(FWidth, BitsPerPixel());
    return static_cast<Byte*>(FBits) + std::ptrdiff_t(FHeight - 1 - Row) * stride;
}

std::vector<RGBQUAD> TBitmap::Palette() const {
    if (!FHandle)
        return {};
    auto o = gdi::Find<gdi::Bitmap>(FHandle, OBJ_BITMAP);
    return o ? o->Palette : std::vector<RGBQUAD>();
}

void TBitmap::SetPalette(const std::vector<RGBQUAD>& Value) {
    auto o = gdi::Find<gdi::Bitmap>(FHandle, OBJ_BITMAP);
    if (!o || o->BitCount > 8)
        return;
    o->Palette = Value;
    o->Palette.resize(std::size_t(1) << o->BitCount);
    o->FLastPixel = 0xFFFFFFFF;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value != FTransparentMode) {
        if (Value == tmAuto)
            FTransparentColor = clDefault;
        FTransparentMode = Value;
        Changed();
    }
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clDefault;
    return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this)
        return;
    if (!Source) {
        Recreate(0, 0, FPixelFormat, nullptr);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        std::vector<RGBQUAD> pal = b->Palette();
        FWidth = FHeight = 0;
        if (FCanvas)
            FCanvas->FreeContext();
        if (FHandle)
            DeleteObject(FHandle);
        FHandle = nullptr;
        Recreate(b->FWidth, b->FHeight, b->FPixelFormat, pal.empty() ? nullptr : &pal);
        if (FHandle)
            std::memcpy(FBits, b->FBits, std::size_t(DibStride(FWidth, BitsPerPixel())) * FHeight);
        FAlphaFormat = b->FAlphaFormat;
        FTransparent = b->FTransparent;
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        Recreate(0, 0, pf32bit, nullptr);
        Recreate(g->Width(), g->Height(), pf32bit, nullptr);
        if (!Empty()) {
            if (auto* png = dynamic_cast<TPngImage*>(g)) {
                // Keep the picture's alpha.
                auto px = png->Pixels();
                for (int y = 0; y < FHeight; ++y)
                    std::memcpy(ScanLine(y), px.data() + std::size_t(y) * FWidth, std::size_t(FWidth) * 4);
                FAlphaFormat = png->HasAlpha() ? afDefined : afIgnored;
            } else {
                Canvas()->StretchDraw(Rect(0, 0, FWidth, FHeight), g);
            }
        }
        FTransparent = g->Transparent();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty())
        return;
    HDC dst = ACanvas->Handle();
    HDC src = Canvas()->Handle();
    if (FPixelFormat == pf32bit && FAlphaFormat != afIgnored) {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        if (FAlphaFormat == afPremultiplied) {
            AlphaBlend(dst, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, FWidth, FHeight, bf);
            return;
        }
        // Straight alpha: premultiply a copy.
        TBitmap tmp;
        tmp.Assign(this);
        for (int y = 0; y < FHeight; ++y) {
            auto* p = static_cast<std::uint32_t*>(tmp.ScanLine(y));
            for (int x = 0; x < FWidth; ++x) {
                std::uint32_t v = p[x], a = v >> 24;
                auto m = [&](int sh) { return ((((v >> sh) & 255) * a + 127) / 255) << sh; };
                p[x] = (a << 24) | m(16) | m(8) | m(0);
            }
        }
        AlphaBlend(dst, R.Left, R.Top, R.Width(), R.Height(), tmp.Canvas()->Handle(), 0, 0, FWidth, FHeight, bf);
        return;
    }
    if (FTransparent) {
        TransparentBlt(dst, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, FWidth, FHeight,
                       ColorToRGB(TransparentColor()));
        return;
    }
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
}

TBitmapCanvas::~TBitmapCanvas() {
    FreeContext();
}

void TBitmapCanvas::FreeContext() {
    if (!FDC)
        return;
    HDC dc = FDC;
    SetHandle(nullptr);
    SelectObject(dc, FOldBitmap);
    DeleteDC(dc);
    FDC = nullptr;
    FOldBitmap = nullptr;
}

void TBitmapCanvas::CreateHandle() {
    FDC = CreateCompatibleDC(nullptr);
    FOldBitmap = FBitmap->FHandle ? SelectObject(FDC, FBitmap->FHandle) : nullptr;
    SetHandle(FDC);
}

// ---- BMP files ----

namespace {

struct Reader {
    const std::vector<Byte>& D;
    std::uint32_t U32(std::size_t at) const {
        return D[at] | (D[at + 1] << 8) | (D[at + 2] << 16) | (std::uint32_t(D[at + 3]) << 24);
    }
    std::uint16_t U16(std::size_t at) const { return std::uint16_t(D[at] | (D[at + 1] << 8)); }
    bool Has(std::size_t at, std::size_t n) const { return at <= D.size() && n <= D.size() - at; }
};

std::vector<Byte> ReadRest(TStream* Stream) {
    std::int64_t n = Stream->Size() - Stream->Position();
    if (n < 0 || n > (std::int64_t(1) << 31))
        throw EInvalidGraphic(u"Bitmap image is not valid");
    std::vector<Byte> d(static_cast<std::size_t>(n));
    if (n)
        Stream->ReadBuffer(d.data(), n);
    return d;
}

[[noreturn]] void BadBitmap() {
    throw EInvalidGraphic(u"Bitmap image is not valid");
}

int MaskShift(std::uint32_t m) {
    int s = 0;
    while (m && !(m & 1)) {
        m >>= 1;
        ++s;
    }
    return s;
}
int MaskBits(std::uint32_t m) {
    int n = 0;
    m >>= MaskShift(m);
    while (m & 1) {
        m >>= 1;
        ++n;
    }
    return n;
}
Byte Scale(std::uint32_t v, std::uint32_t mask) {
    if (!mask)
        return 0;
    int bits = MaskBits(mask);
    std::uint32_t x = (v & mask) >> MaskShift(mask);
    std::uint32_t max = (bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1);
    return Byte(max ? (x * 255 + max / 2) / max : 0);
}

} // namespace

void TBitmap::LoadFromStream(TStream* Stream) {
    std::vector<Byte> d = ReadRest(Stream);
    Reader r{d};
    if (!r.Has(0, 18) || d[0] != 'B' || d[1] != 'M')
        BadBitmap();
    std::uint32_t offBits = r.U32(10);
    std::uint32_t hs = r.U32(14);
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124)
        BadBitmap();
    if (!r.Has(14, hs))
        BadBitmap();
    int w, h, bits;
    std::uint32_t compression = 0, clrUsed = 0;
    if (hs == 12) {
        w = r.U16(18);
        h = std::int16_t(r.U16(20));
        bits = r.U16(24);
    } else {
        w = std::int32_t(r.U32(18));
        h = std::int32_t(r.U32(22));
        bits = r.U16(28);
        compression = r.U32(30);
        clrUsed = r.U32(46);
    }
    bool topDown = h < 0;
    if (h == std::int32_t(0x80000000))
        BadBitmap();
    h = h < 0 ? -h : h;
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768)
        BadBitmap();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        BadBitmap();
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::size_t afterHeader = 14 + hs;
    if (compression == BI_BITFIELDS) {
        if (bits != 16 && bits != 32)
            BadBitmap();
        std::size_t at = hs >= 52 ? 54 : afterHeader;
        if (!r.Has(at, 12))
            BadBitmap();
        for (int i = 0; i < 3; ++i)
            masks[i] = r.U32(at + 4 * i);
        if (hs >= 56 && r.Has(66, 4))
            masks[3] = r.U32(66);
        if (hs == 40)
            afterHeader += 12;
    } else if (compression != BI_RGB) {
        BadBitmap(); // run-length files are not read
    } else if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    std::vector<RGBQUAD> pal;
    if (bits <= 8) {
        std::size_t n = clrUsed ? clrUsed : (std::size_t(1) << bits);
        if (n > (std::size_t(1) << bits))
            BadBitmap();
        std::size_t entry = hs == 12 ? 3 : 4;
        if (!r.Has(afterHeader, n * entry))
            BadBitmap();
        for (std::size_t i = 0; i < n; ++i) {
            std::size_t at = afterHeader + i * entry;
            pal.push_back({d[at], d[at + 1], d[at + 2], 0});
        }
    }
    std::size_t stride = std::size_t(DibStride(w, bits));
    if (offBits == 0 || !r.Has(offBits, stride * std::size_t(h)))
        BadBitmap();
    TPixelFormat fmt = bits == 1    ? pf1bit
                       : bits == 4  ? pf4bit
                       : bits == 8  ? pf8bit
                       : bits == 24 ? pf24bit
                       : bits == 32 ? pf32bit
                                    : pf24bit;
    if (bits == 16 || (bits == 32 && compression == BI_BITFIELDS))
        fmt = masks[3] ? pf32bit : (bits == 16 ? pf24bit : pf32bit);
    Recreate(0, 0, fmt, nullptr);
    Recreate(w, h, fmt, pal.empty() ? nullptr : &pal);
    for (int y = 0; y < h; ++y) {
        const Byte* src = d.data() + offBits + stride * std::size_t(topDown ? y : h - 1 - y);
        Byte* dst = static_cast<Byte*>(ScanLine(y));
        if (bits != 16 && compression == BI_RGB) {
            std::memcpy(dst, src, stride);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            std::uint32_t v = bits == 16 ? std::uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                         : std::uint32_t(src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                                         (std::uint32_t(src[4 * x + 3]) << 24));
            Byte rr = Scale(v, masks[0]), gg = Scale(v, masks[1]), bb = Scale(v, masks[2]);
            if (fmt == pf24bit) {
                dst[3 * x] = bb;
                dst[3 * x + 1] = gg;
                dst[3 * x + 2] = rr;
            } else {
                dst[4 * x] = bb;
                dst[4 * x + 1] = gg;
                dst[4 * x + 2] = rr;
                dst[4 * x + 3] = masks[3] ? Scale(v, masks[3]) : 0;
            }
        }
    }
    Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
    TResourceStream s(Instance, ResName);
    LoadFromStream(&s);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    LoadFromResourceName(Instance, u"#" + IntToStr(ResID));
}

void TBitmap::SaveToStream(TStream* Stream) {
    int bits = Empty() ? 24 : BitsPerPixel();
    std::vector<RGBQUAD> pal = bits <= 8 ? Palette() : std::vector<RGBQUAD>();
    std::uint32_t stride = std::uint32_t(DibStride(FWidth, bits));
    std::uint32_t imageSize = stride * std::uint32_t(FHeight);
    std::uint32_t off = 14 + 40 + std::uint32_t(pal.size()) * 4;
    Byte hdr[54] = {};
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            hdr[at + i] = Byte(v >> (8 * i));
    };
    auto put16 = [&](int at, std::uint16_t v) {
        hdr[at] = Byte(v);
        hdr[at + 1] = Byte(v >> 8);
    };
    hdr[0] = 'B';
    hdr[1] = 'M';
    put32(2, off + imageSize);
    put32(10, off);
    put32(14, 40);
    put32(18, std::uint32_t(FWidth));
    put32(22, std::uint32_t(FHeight));
    put16(26, 1);
    put16(28, std::uint16_t(bits));
    put32(34, imageSize);
    put32(38, 3780); // 96 dpi
    put32(42, 3780);
    put32(46, std::uint32_t(pal.size()));
    Stream->WriteBuffer(hdr, sizeof hdr);
    if (!pal.empty())
        Stream->WriteBuffer(pal.data(), std::int64_t(pal.size() * sizeof(RGBQUAD)));
    if (imageSize)
        Stream->WriteBuffer(FBits, imageSize); // the section is bottom-up already
}

// ---- icons ----

namespace {

constexpr DWORD OBJ_ICON_KIND = 0x100;

struct IconObj : gdi::Object {
    int W = 0, H = 0;
    std::vector<std::uint32_t> Px; // straight alpha, top-down
    IconObj() : gdi::Object(OBJ_ICON_KIND) {}
};

std::shared_ptr<IconObj> FindIcon(HICON h) {
    return gdi::Find<IconObj>(h, OBJ_ICON_KIND);
}

} // namespace

HICON CreateIconFromPixels(int width, int height, const std::uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels)
        return nullptr;
    auto o = std::make_shared<IconObj>();
    o->W = width;
    o->H = height;
    o->Px.assign(pixels, pixels + std::size_t(width) * height);
    return static_cast<HICON>(gdi::AddObject(o));
}

HICON CreateIconIndirect(const ICONINFO* ii) {
    if (!ii || !ii->hbmColor)
        return nullptr;
    auto c = gdi::Find<gdi::Bitmap>(ii->hbmColor, OBJ_BITMAP);
    auto m = gdi::Find<gdi::Bitmap>(ii->hbmMask, OBJ_BITMAP);
    if (!c)
        return nullptr;
    std::vector<std::uint32_t> px(std::size_t(c->Width) * c->Height);
    bool anyAlpha = false;
    if (c->BitCount == 32)
        for (int y = 0; y < c->Height && !anyAlpha; ++y)
            for (int x = 0; x < c->Width; ++x)
                if (c->Get(x, y) >> 24) {
                    anyAlpha = true;
                    break;
                }
    for (int y = 0; y < c->Height; ++y)
        for (int x = 0; x < c->Width; ++x) {
            std::uint32_t v = c->Get(x, y);
            if (!anyAlpha) {
                bool transparent = m && x < m->Width && y < m->Height && (m->Get(x, y) & 0xFFFFFF) != 0;
                v = (v & 0xFFFFFF) | (transparent ? 0 : 0xFF000000u);
            }
            px[std::size_t(y) * c->Width + x] = v;
        }
    return CreateIconFromPixels(c->Width, c->Height, px.data());
}

BOOL DestroyIcon(HICON h) {
    if (!FindIcon(h))
        return false;
    return DeleteObject(h);
}

HICON CopyIcon(HICON h) {
    auto o = FindIcon(h);
    return o ? CreateIconFromPixels(o->W, o->H, o->Px.data()) : nullptr;
}

HANDLE CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags) {
    auto o = type == IMAGE_ICON ? FindIcon(static_cast<HICON>(h)) : nullptr;
    if (!o || (flags & LR_COPYDELETEORG) || cx < 0 || cy < 0)
        return nullptr;
    int w = cx ? cx : o->W, hgt = cy ? cy : o->H;
    std::vector<std::uint32_t> px(std::size_t(w) * hgt);
    // Each target pixel covers [x * W / w, (x + 1) * W / w) of the source (at least one pixel), in fixed point.
    for (int y = 0; y < hgt; ++y) {
        int y0 = y * o->H / hgt, y1 = std::max(y0 + 1, (y + 1) * o->H / hgt);
        for (int x = 0; x < w; ++x) {
            int x0 = x * o->W / w, x1 = std::max(x0 + 1, (x + 1) * o->W / w);
            std::uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    std::uint32_t v = o->Px[std::size_t(sy) * o->W + sx], va = v >> 24;
                    a += va;
                    r += ((v >> 16) & 255) * va;
                    g += ((v >> 8) & 255) * va;
                    b += (v & 255) * va;
                    ++n;
                }
            std::uint32_t out = 0;
            if (a) {
                auto ch = [a](std::uint64_t c) { return std::uint32_t((c + a / 2) / a); };
                out = std::uint32_t((a + n / 2) / n) << 24 | ch(r) << 16 | ch(g) << 8 | ch(b);
            }
            px[std::size_t(y) * w + x] = out;
        }
    }
    return CreateIconFromPixels(w, hgt, px.data());
}

BOOL GetIconSize(HICON h, int* cx, int* cy) {
    auto o = FindIcon(h);
    if (!o)
        return false;
    if (cx)
        *cx = o->W;
    if (cy)
        *cy = o->H;
    return true;
}

BOOL GetIconPixels(HICON h, std::vector<std::uint32_t>& pixels) {
    auto o = FindIcon(h);
    if (!o)
        return false;
    pixels = o->Px;
    return true;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON h, int cx, int cy, UINT, HBRUSH flicker, UINT flags) {
    auto o = FindIcon(h);
    if (!o)
        return false;
    if (cx <= 0)
        cx = o->W;
    if (cy <= 0)
        cy = o->H;
    if (flicker) {
        RECT r{x, y, x + cx, y + cy};
        FillRect(hdc, &r, flicker);
    }
    // The icon's pixels premultiplied in a 32-bit section, blended over the destination.
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = o->W;
    bi.bmiHeader.biHeight = -o->H;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!b)
        return false;
    auto* p = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < o->Px.size(); ++i) {
        std::uint32_t v = o->Px[i], a = v >> 24;
        if ((flags & DI_NORMAL) == DI_MASK)
            v = a ? 0xFF000000u : 0; // the shape in black
        auto m = [&](int sh) { return ((((v >> sh) & 255) * a + 127) / 255) << sh; };
        p[i] = (a << 24) | m(16) | m(8) | m(0);
    }
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, b);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(hdc, x, y, cx, cy, mem, 0, 0, o->W, o->H, bf);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(b);
    return true;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
}

TIcon::~TIcon() {
    if (FHandle)
        DestroyIcon(FHandle);
}
void TIcon::Assign(TPersistent* Source) {
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        SetHandle(i->FHandle ? CopyIcon(i->FHandle) : nullptr);
        return;
    }
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    TGraphic::Assign(Source);
}
int TIcon::Width() const {
    int w = 0;
    GetIconSize(FHandle, &w, nullptr);
    return w;
}
int TIcon::Height() const {
    int h = 0;
    GetIconSize(FHandle, nullptr, &h);
    return h;
}
void TIcon::SetWidth(int Value) {
    if (Value != Width())
        throw EInvalidGraphicOperation(u"Cannot change the size of an icon");
}
void TIcon::SetHeight(int Value) {
    if (Value != Height())
        throw EInvalidGraphicOperation(u"Cannot change the size of an icon");
}
void TIcon::SetHandle(HICON Value) {
    if (Value == FHandle)
        return;
    if (FHandle)
        DestroyIcon(FHandle);
    FHandle = Value;
    Changed();
}
HICON TIcon::ReleaseHandle() {
    HICON h = FHandle;
    FHandle = nullptr;
    return h;
}
void TIcon::Draw(TCanvas* ACanvas, const TRect& R) {
    if (FHandle)
        DrawIconEx(ACanvas->Handle(), R.Left, R.Top, FHandle, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
}

// ---- pictures ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
    if (OnChange)
        OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> G) {
    FGraphic = std::move(G);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (!Value) {
        Take(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<TBitmap*>(Value))
        copy = std::make_unique<TBitmap>();
    else if (dynamic_cast<TIcon*>(Value))
        copy = std::make_unique<TIcon>();
    else if (dynamic_cast<TPngImage*>(Value))
        copy = std::make_unique<TPngImage>();
    else if (dynamic_cast<TJPEGImage*>(Value))
        copy = std::make_unique<TJPEGImage>();
    else if (dynamic_cast<TGIFImage*>(Value))
        copy = std::make_unique<TGIFImage>();
    else
        copy = std::make_unique<TBitmap>();
    copy->Assign(Value);
    Take(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get()))
        Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(FGraphic.get()))
        Take(std::make_unique<TIcon>());
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (FGraphic && dynamic_cast<TGraphic*>(Dest)) {
        Dest->Assign(FGraphic.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

std::unique_ptr<TGraphic> GraphicForExtension(const String& Ext) {
    String e = LowerCase(Ext);
    if (!e.empty() && e[0] == u'.')
        e.erase(0, 1);
    if (e == u"bmp" || e == u"dib")
        return std::make_unique<TBitmap>();
    if (e == u"png")
        return std::make_unique<TPngImage>();
    if (e == u"jpg" || e == u"jpeg" || e == u"jpe")
        return std::make_unique<TJPEGImage>();
    if (e == u"gif")
        return std::make_unique<TGIFImage>();
    if (e == u"ico")
        return std::make_unique<TIcon>();
    return nullptr;
}

void TPicture::LoadFromFile(const String& FileName) {
    String ext = ExtractFileExt(FileName);
    auto g = GraphicForExtension(ext);
    if (!g)
        throw EInvalidGraphic(Format(u"Unknown picture file extension (.%s)", {ext.empty() ? ext : ext.substr(1)}));
    g->LoadFromFile(FileName);
    Take(std::move(g));
}

void TPicture::SaveToFile(const String& FileName) {
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}
