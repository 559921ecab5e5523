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
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        FColor = F->FColor;
        FHeight = F->FHeight;
        FName = F->FName;
        FStyle = F->FStyle;
        FCharset = F->FCharset;
        FPitch = F->FPitch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTW Lf;
        Lf.lfHeight = FHeight;
        Lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        Lf.lfItalic = FStyle.Contains(fsItalic);
        Lf.lfUnderline = FStyle.Contains(fsUnderline);
        Lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        Lf.lfCharSet = FCharset;
        Lf.lfPitchAndFamily = BYTE(FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : 0);
        for (std::size_t I = 0; I < FName.size() && I < LF_FACESIZE - 1; ++I)
            Lf.lfFaceName[I] = FName[I];
        FHandle = CreateFontIndirectW(&Lf);
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
    long V = -long(FHeight) * 72;
    return int(V >= 0 ? (V + FPixelsPerInch / 2) / FPixelsPerInch : -((-V + FPixelsPerInch / 2) / FPixelsPerInch));
}
void TFont::SetSize(int Value) {
    long V = -long(Value) * FPixelsPerInch;
    SetHeight(int(V >= 0 ? (V + 36) / 72 : -((-V + 36) / 72)));
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
    if (auto* P = dynamic_cast<TPen*>(Source)) {
        FColor = P->FColor;
        FWidth = P->FWidth;
        FStyle = P->FStyle;
        FMode = P->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}
HPEN TPen::Handle() {
    if (!FHandle) {
        static const int Styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(Styles[FStyle], FWidth, ColorToRGB(FColor));
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
    if (auto* B = dynamic_cast<TBrush*>(Source)) {
        FColor = B->FColor;
        FStyle = B->FStyle;
        FBitmap = B->FBitmap;
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
            LOGBRUSH Lb{BS_NULL, 0, 0};
            FHandle = CreateBrushIndirect(&Lb);
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
    HDC Dc = FHandle;
    HGDIOBJ F = SelectObject(Dc, FFont->Handle());
    HGDIOBJ P = SelectObject(Dc, FPen->Handle());
    HGDIOBJ B = SelectObject(Dc, FBrush->Handle());
    if (!FOldFont) {
        FOldFont = F;
        FOldPen = P;
        FOldBrush = B;
    }
    SetTextColor(Dc, ColorToRGB(FFont->Color()));
    if (FBrush->Style() == bsSolid) {
        SetBkColor(Dc, ColorToRGB(FBrush->Color()));
        SetBkMode(Dc, OPAQUE);
    } else {
        // Hatches draw only their lines: the gaps show what is beneath.
        SetBkColor(Dc, ~ColorToRGB(FBrush->Color()) & 0xFFFFFF);
        SetBkMode(Dc, TRANSPARENT);
    }
    static const int Rop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(Dc, Rop2[FPen->Mode()]);
}

TPoint TCanvas::PenPos() {
    POINT P;
    GetCurrentPositionEx(Handle(), &P);
    return P;
}
void TCanvas::SetPenPos(const TPoint& Value) {
    MoveTo(Value.X, Value.Y);
}

TRect TCanvas::ClipRect() {
    RECT R;
    GetClipBox(Handle(), &R);
    return R;
}

TColor TCanvas::Pixels(int X, int Y) {
    COLORREF C = GetPixel(Handle(), X, Y);
    return C == CLR_INVALID ? TColor(-1) : TColor(C);
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
    UINT Options = ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutW(FHandle, X, Y, Options, &R, Text.c_str(), UINT(Text.size()), nullptr);
    Changed();
}
TSize TCanvas::TextExtent(const String& Text) {
    RequiredState();
    SIZE S{};
    GetTextExtentPoint32W(FHandle, Text.c_str(), int(Text.size()), &S);
    return S;
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
    TFileStream S(FileName, fmOpenRead);
    LoadFromStream(&S);
}
void TGraphic::SaveToFile(const String& FileName) {
    TFileStream S(FileName, fmCreate);
    SaveToStream(&S);
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
    HBITMAP B = CreateBitmap(1, 1, 1, UINT(bits), nullptr);
    std::vector<RGBQUAD> P;
    if (auto O = gdi::Find<gdi::Bitmap>(B, OBJ_BITMAP))
        P = O->Palette;
    DeleteObject(B);
    return P;
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
    HBITMAP Nb = nullptr;
    void* Bits = nullptr;
    int depth = DepthOf(Format);
    if (AWidth > 0 && AHeight > 0) {
        BITMAPINFO256 Bi{};
        Bi.bmiHeader.biWidth = AWidth;
        Bi.bmiHeader.biHeight = AHeight; // bottom-up, as the platform's bitmaps are
        Bi.bmiHeader.biBitCount = WORD(depth);
        std::vector<RGBQUAD> pal = Pal ? *Pal : (depth <= 8 ? StandardPalette(depth) : std::vector<RGBQUAD>());
        if (depth <= 8) {
            pal.resize(std::size_t(1) << depth);
            std::copy(pal.begin(), pal.end(), Bi.bmiColors);
        }
        Nb = CreateDIBSection(nullptr, Bi.Info(), DIB_RGB_COLORS, &Bits, nullptr, 0);
        if (!Nb)
            throw EOutOfResources(u"Out of system resources");
        ScopedDC D(Nb);
        // White, painted into one row and copied to the others: painting a large bitmap pixel by pixel costs
        // seconds.
        RECT Top{0, 0, AWidth, 1};
        ::FillRect(D.DC, &Top, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const std::size_t Stride = std::size_t(DibStride(AWidth, depth));
        auto* Rows = static_cast<Byte*>(Bits);
        const Byte* Painted = Rows + Stride * std::size_t(AHeight - 1); // bottom-up: the top row comes last
        for (int Row = 0; Row < AHeight - 1; ++Row)
            std::memcpy(Rows + Stride * std::size_t(Row), Painted, Stride);
        if (FHandle) {
            ScopedDC S(FHandle);
            BitBlt(D.DC, 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), S.DC, 0, 0, SRCCOPY);
        }
    }
    if (FCanvas)
        FCanvas->FreeContext();
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = Nb;
    FBits = Bits;
    FWidth = Nb ? AWidth : 0;
    FHeight = Nb ? AHeight : 0;
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
    HBITMAP H = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
    return H;
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

void* TBitmap::ScanLine(int Row) {
    if (!FHandle || Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation(u"Scan line index out of range");
    int Stride = DibStride(FWidth, BitsPerPixel());
    return static_cast<Byte*>(FBits) + std::ptrdiff_t(FHeight - 1 - Row) * Stride;
}

std::vector<RGBQUAD> TBitmap::Palette() const {
    if (!FHandle)
        return {};
    auto O = gdi::Find<gdi::Bitmap>(FHandle, OBJ_BITMAP);
    return O ? O->Palette : std::vector<RGBQUAD>();
}

void TBitmap::SetPalette(const std::vector<RGBQUAD>& Value) {
    auto O = gdi::Find<gdi::Bitmap>(FHandle, OBJ_BITMAP);
    if (!O || O->BitCount > 8)
        return;
    O->Palette = Value;
    O->Palette.resize(std::size_t(1) << O->BitCount);
    O->FLastPixel = 0xFFFFFFFF;
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
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        std::vector<RGBQUAD> pal = B->Palette();
        FWidth = FHeight = 0;
        if (FCanvas)
            FCanvas->FreeContext();
        if (FHandle)
            DeleteObject(FHandle);
        FHandle = nullptr;
        Recreate(B->FWidth, B->FHeight, B->FPixelFormat, pal.empty() ? nullptr : &pal);
        if (FHandle)
            std::memcpy(FBits, B->FBits, std::size_t(DibStride(FWidth, BitsPerPixel())) * FHeight);
        FAlphaFormat = B->FAlphaFormat;
        FTransparent = B->FTransparent;
        FTransparentMode = B->FTransparentMode;
        FTransparentColor = B->FTransparentColor;
        Changed();
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        Recreate(0, 0, pf32bit, nullptr);
        Recreate(G->Width(), G->Height(), pf32bit, nullptr);
        if (!Empty()) {
            if (auto* Png = dynamic_cast<TPngImage*>(G)) {
                // Keep the picture's alpha.
                auto Px = Png->Pixels();
                for (int Y = 0; Y < FHeight; ++Y)
                    std::memcpy(ScanLine(Y), Px.data() + std::size_t(Y) * FWidth, std::size_t(FWidth) * 4);
                FAlphaFormat = Png->HasAlpha() ? afDefined : afIgnored;
            } else {
                Canvas()->StretchDraw(Rect(0, 0, FWidth, FHeight), G);
            }
        }
        FTransparent = G->Transparent();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
    if (Empty())
        return;
    HDC Dst = ACanvas->Handle();
    HDC Src = Canvas()->Handle();
    if (FPixelFormat == pf32bit && FAlphaFormat != afIgnored) {
        BLENDFUNCTION Bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        if (FAlphaFormat == afPremultiplied) {
            AlphaBlend(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight, Bf);
            return;
        }
        // Straight alpha: premultiply a copy.
        TBitmap Tmp;
        Tmp.Assign(this);
        for (int Y = 0; Y < FHeight; ++Y) {
            auto* P = static_cast<std::uint32_t*>(Tmp.ScanLine(Y));
            for (int X = 0; X < FWidth; ++X) {
                std::uint32_t v = P[X], a = v >> 24;
                auto M = [&](int sh) { return ((((v >> sh) & 255) * a + 127) / 255) << sh; };
                P[X] = (a << 24) | M(16) | M(8) | M(0);
            }
        }
        AlphaBlend(Dst, R.Left, R.Top, R.Width(), R.Height(), Tmp.Canvas()->Handle(), 0, 0, FWidth, FHeight, Bf);
        return;
    }
    if (FTransparent) {
        TransparentBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight,
                       ColorToRGB(TransparentColor()));
        return;
    }
    SetStretchBltMode(Dst, COLORONCOLOR);
    StretchBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
}

TBitmapCanvas::~TBitmapCanvas() {
    FreeContext();
}

void TBitmapCanvas::FreeContext() {
    if (!FDC)
        return;
    HDC Dc = FDC;
    SetHandle(nullptr);
    SelectObject(Dc, FOldBitmap);
    DeleteDC(Dc);
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
    std::int64_t N = Stream->Size() - Stream->Position();
    if (N < 0 || N > (std::int64_t(1) << 31))
        throw EInvalidGraphic(u"Bitmap image is not valid");
    std::vector<Byte> D(static_cast<std::size_t>(N));
    if (N)
        Stream->ReadBuffer(D.data(), N);
    return D;
}

[[noreturn]] void BadBitmap() {
    throw EInvalidGraphic(u"Bitmap image is not valid");
}

int MaskShift(std::uint32_t m) {
    int S = 0;
    while (m && !(m & 1)) {
        m >>= 1;
        ++S;
    }
    return S;
}
int MaskBits(std::uint32_t m) {
    int N = 0;
    m >>= MaskShift(m);
    while (m & 1) {
        m >>= 1;
        ++N;
    }
    return N;
}
Byte Scale(std::uint32_t v, std::uint32_t mask) {
    if (!mask)
        return 0;
    int Bits = MaskBits(mask);
    std::uint32_t X = (v & mask) >> MaskShift(mask);
    std::uint32_t Max = (Bits >= 32) ? 0xFFFFFFFFu : ((1u << Bits) - 1);
    return Byte(Max ? (X * 255 + Max / 2) / Max : 0);
}

} // namespace

void TBitmap::LoadFromStream(TStream* Stream) {
    std::vector<Byte> D = ReadRest(Stream);
    Reader R{D};
    if (!R.Has(0, 18) || D[0] != 'B' || D[1] != 'M')
        BadBitmap();
    std::uint32_t OffBits = R.U32(10);
    std::uint32_t Hs = R.U32(14);
    if (Hs != 12 && Hs != 40 && Hs != 52 && Hs != 56 && Hs != 108 && Hs != 124)
        BadBitmap();
    if (!R.Has(14, Hs))
        BadBitmap();
    int W, H, Bits;
    std::uint32_t Compression = 0, ClrUsed = 0;
    if (Hs == 12) {
        W = R.U16(18);
        H = std::int16_t(R.U16(20));
        Bits = R.U16(24);
    } else {
        W = std::int32_t(R.U32(18));
        H = std::int32_t(R.U32(22));
        Bits = R.U16(28);
        Compression = R.U32(30);
        ClrUsed = R.U32(46);
    }
    bool TopDown = H < 0;
    if (H == std::int32_t(0x80000000))
        BadBitmap();
    H = H < 0 ? -H : H;
    if (!PictureSizeAllowed(W, H))
        BadBitmap();
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        BadBitmap();
    std::uint32_t Masks[4] = {0, 0, 0, 0};
    std::size_t AfterHeader = 14 + Hs;
    if (Compression == BI_BITFIELDS) {
        if (Bits != 16 && Bits != 32)
            BadBitmap();
        std::size_t At = Hs >= 52 ? 54 : AfterHeader;
        if (!R.Has(At, 12))
            BadBitmap();
        for (int I = 0; I < 3; ++I)
            Masks[I] = R.U32(At + 4 * I);
        if (Hs >= 56 && R.Has(66, 4))
            Masks[3] = R.U32(66);
        if (Hs == 40)
            AfterHeader += 12;
    } else if (Compression != BI_RGB) {
        BadBitmap(); // run-length files are not read
    } else if (Bits == 16) {
        Masks[0] = 0x7C00;
        Masks[1] = 0x03E0;
        Masks[2] = 0x001F;
    }
    std::vector<RGBQUAD> pal;
    if (Bits <= 8) {
        std::size_t N = ClrUsed ? ClrUsed : (std::size_t(1) << Bits);
        if (N > (std::size_t(1) << Bits))
            BadBitmap();
        std::size_t Entry = Hs == 12 ? 3 : 4;
        if (!R.Has(AfterHeader, N * Entry))
            BadBitmap();
        for (std::size_t I = 0; I < N; ++I) {
            std::size_t At = AfterHeader + I * Entry;
            pal.push_back({D[At], D[At + 1], D[At + 2], 0});
        }
    }
    std::size_t Stride = std::size_t(DibStride(W, Bits));
    if (OffBits == 0 || !R.Has(OffBits, Stride * std::size_t(H)))
        BadBitmap();
    TPixelFormat Fmt = Bits == 1    ? pf1bit
                       : Bits == 4  ? pf4bit
                       : Bits == 8  ? pf8bit
                       : Bits == 24 ? pf24bit
                       : Bits == 32 ? pf32bit
                                    : pf24bit;
    if (Bits == 16 || (Bits == 32 && Compression == BI_BITFIELDS))
        Fmt = Masks[3] ? pf32bit : (Bits == 16 ? pf24bit : pf32bit);
    Recreate(0, 0, Fmt, nullptr);
    Recreate(W, H, Fmt, pal.empty() ? nullptr : &pal);
    for (int Y = 0; Y < H; ++Y) {
        const Byte* Src = D.data() + OffBits + Stride * std::size_t(TopDown ? Y : H - 1 - Y);
        Byte* Dst = static_cast<Byte*>(ScanLine(Y));
        if (Bits != 16 && Compression == BI_RGB) {
            std::memcpy(Dst, Src, Stride);
            continue;
        }
        for (int X = 0; X < W; ++X) {
            std::uint32_t V = Bits == 16 ? std::uint32_t(Src[2 * X] | (Src[2 * X + 1] << 8))
                                         : std::uint32_t(Src[4 * X] | (Src[4 * X + 1] << 8) | (Src[4 * X + 2] << 16) |
                                                         (std::uint32_t(Src[4 * X + 3]) << 24));
            Byte Rr = Scale(V, Masks[0]), Gg = Scale(V, Masks[1]), Bb = Scale(V, Masks[2]);
            if (Fmt == pf24bit) {
                Dst[3 * X] = Bb;
                Dst[3 * X + 1] = Gg;
                Dst[3 * X + 2] = Rr;
            } else {
                Dst[4 * X] = Bb;
                Dst[4 * X + 1] = Gg;
                Dst[4 * X + 2] = Rr;
                Dst[4 * X + 3] = Masks[3] ? Scale(V, Masks[3]) : 0;
            }
        }
    }
    Changed();
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
    TResourceStream S(Instance, ResName);
    LoadFromStream(&S);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    LoadFromResourceName(Instance, u"#" + IntToStr(ResID));
}

void TBitmap::SaveToStream(TStream* Stream) {
    int Bits = Empty() ? 24 : BitsPerPixel();
    std::vector<RGBQUAD> pal = Bits <= 8 ? Palette() : std::vector<RGBQUAD>();
    std::uint32_t Stride = std::uint32_t(DibStride(FWidth, Bits));
    std::uint32_t ImageSize = Stride * std::uint32_t(FHeight);
    std::uint32_t Off = 14 + 40 + std::uint32_t(pal.size()) * 4;
    Byte Hdr[54] = {};
    auto Put32 = [&](int at, std::uint32_t v) {
        for (int I = 0; I < 4; ++I)
            Hdr[at + I] = Byte(v >> (8 * I));
    };
    auto Put16 = [&](int at, std::uint16_t v) {
        Hdr[at] = Byte(v);
        Hdr[at + 1] = Byte(v >> 8);
    };
    Hdr[0] = 'B';
    Hdr[1] = 'M';
    Put32(2, Off + ImageSize);
    Put32(10, Off);
    Put32(14, 40);
    Put32(18, std::uint32_t(FWidth));
    Put32(22, std::uint32_t(FHeight));
    Put16(26, 1);
    Put16(28, std::uint16_t(Bits));
    Put32(34, ImageSize);
    Put32(38, 3780); // 96 dpi
    Put32(42, 3780);
    Put32(46, std::uint32_t(pal.size()));
    Stream->WriteBuffer(Hdr, sizeof Hdr);
    if (!pal.empty())
        Stream->WriteBuffer(pal.data(), std::int64_t(pal.size() * sizeof(RGBQUAD)));
    if (ImageSize)
        Stream->WriteBuffer(FBits, ImageSize); // the section is bottom-up already
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
    auto O = std::make_shared<IconObj>();
    O->W = width;
    O->H = height;
    O->Px.assign(pixels, pixels + std::size_t(width) * height);
    return static_cast<HICON>(gdi::AddObject(O));
}

HICON CreateIconIndirect(const ICONINFO* ii) {
    if (!ii || !ii->hbmColor)
        return nullptr;
    auto C = gdi::Find<gdi::Bitmap>(ii->hbmColor, OBJ_BITMAP);
    auto M = gdi::Find<gdi::Bitmap>(ii->hbmMask, OBJ_BITMAP);
    if (!C)
        return nullptr;
    std::vector<std::uint32_t> Px(std::size_t(C->Width) * C->Height);
    bool AnyAlpha = false;
    if (C->BitCount == 32)
        for (int Y = 0; Y < C->Height && !AnyAlpha; ++Y)
            for (int X = 0; X < C->Width; ++X)
                if (C->Get(X, Y) >> 24) {
                    AnyAlpha = true;
                    break;
                }
    for (int Y = 0; Y < C->Height; ++Y)
        for (int X = 0; X < C->Width; ++X) {
            std::uint32_t V = C->Get(X, Y);
            if (!AnyAlpha) {
                bool Transparent = M && X < M->Width && Y < M->Height && (M->Get(X, Y) & 0xFFFFFF) != 0;
                V = (V & 0xFFFFFF) | (Transparent ? 0 : 0xFF000000u);
            }
            Px[std::size_t(Y) * C->Width + X] = V;
        }
    return CreateIconFromPixels(C->Width, C->Height, Px.data());
}

BOOL DestroyIcon(HICON h) {
    if (!FindIcon(h))
        return false;
    return DeleteObject(h);
}

HICON CopyIcon(HICON h) {
    auto O = FindIcon(h);
    return O ? CreateIconFromPixels(O->W, O->H, O->Px.data()) : nullptr;
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
    auto O = FindIcon(h);
    if (!O)
        return false;
    if (cx)
        *cx = O->W;
    if (cy)
        *cy = O->H;
    return true;
}

BOOL GetIconPixels(HICON h, std::vector<std::uint32_t>& pixels) {
    auto O = FindIcon(h);
    if (!O)
        return false;
    pixels = O->Px;
    return true;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON h, int cx, int cy, UINT, HBRUSH flicker, UINT flags) {
    auto O = FindIcon(h);
    if (!O)
        return false;
    if (cx <= 0)
        cx = O->W;
    if (cy <= 0)
        cy = O->H;
    if (flicker) {
        RECT R{x, y, x + cx, y + cy};
        FillRect(hdc, &R, flicker);
    }
    // The icon's pixels premultiplied in a 32-bit section, blended over the destination.
    BITMAPINFO Bi{};
    Bi.bmiHeader.biWidth = O->W;
    Bi.bmiHeader.biHeight = -O->H;
    Bi.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HBITMAP B = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!B)
        return false;
    auto* P = static_cast<std::uint32_t*>(Bits);
    for (std::size_t I = 0; I < O->Px.size(); ++I) {
        std::uint32_t v = O->Px[I], a = v >> 24;
        if ((flags & DI_NORMAL) == DI_MASK)
            v = a ? 0xFF000000u : 0; // the shape in black
        auto M = [&](int sh) { return ((((v >> sh) & 255) * a + 127) / 255) << sh; };
        P[I] = (a << 24) | M(16) | M(8) | M(0);
    }
    HDC Mem = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Mem, B);
    BLENDFUNCTION Bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(hdc, x, y, cx, cy, Mem, 0, 0, O->W, O->H, Bf);
    SelectObject(Mem, Old);
    DeleteDC(Mem);
    DeleteObject(B);
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
    if (auto* I = dynamic_cast<TIcon*>(Source)) {
        SetHandle(I->FHandle ? CopyIcon(I->FHandle) : nullptr);
        return;
    }
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    TGraphic::Assign(Source);
}
int TIcon::Width() const {
    int W = 0;
    GetIconSize(FHandle, &W, nullptr);
    return W;
}
int TIcon::Height() const {
    int H = 0;
    GetIconSize(FHandle, nullptr, &H);
    return H;
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
    HICON H = FHandle;
    FHandle = nullptr;
    return H;
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
    std::unique_ptr<TGraphic> Copy;
    if (dynamic_cast<TBitmap*>(Value))
        Copy = std::make_unique<TBitmap>();
    else if (dynamic_cast<TIcon*>(Value))
        Copy = std::make_unique<TIcon>();
    else if (dynamic_cast<TPngImage*>(Value))
        Copy = std::make_unique<TPngImage>();
    else if (dynamic_cast<TJPEGImage*>(Value))
        Copy = std::make_unique<TJPEGImage>();
    else if (dynamic_cast<TGIFImage*>(Value))
        Copy = std::make_unique<TGIFImage>();
    else
        Copy = std::make_unique<TBitmap>();
    Copy->Assign(Value);
    Take(std::move(Copy));
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
    if (auto* P = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(P->Graphic());
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(G);
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
    String E = LowerCase(Ext);
    if (!E.empty() && E[0] == u'.')
        E.erase(0, 1);
    if (E == u"bmp" || E == u"dib")
        return std::make_unique<TBitmap>();
    if (E == u"png")
        return std::make_unique<TPngImage>();
    if (E == u"jpg" || E == u"jpeg" || E == u"jpe")
        return std::make_unique<TJPEGImage>();
    if (E == u"gif")
        return std::make_unique<TGIFImage>();
    if (E == u"ico")
        return std::make_unique<TIcon>();
    return nullptr;
}

void TPicture::LoadFromFile(const String& FileName) {
    String Ext = ExtractFileExt(FileName);
    auto G = GraphicForExtension(Ext);
    if (!G)
        throw EInvalidGraphic(Format(u"Unknown picture file extension (.%s)", {Ext.empty() ? Ext : Ext.substr(1)}));
    G->LoadFromFile(FileName);
    Take(std::move(G));
}

void TPicture::SaveToFile(const String& FileName) {
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}
