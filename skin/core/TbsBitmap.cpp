#include "skin/core/TbsBitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Resources.h"
#include "skin/core/bsUtils.h"

namespace {

std::vector<TbsBitmap*>& Registry() {
    static std::vector<TbsBitmap*> Bitmaps;
    return Bitmaps;
}

// The kernel table is filled before the first bitmap exists.
void EnsureKernels() {
    InitPixelKernels();
    InitBlitKernels();
}

int RoundToInt(double V) {
    return static_cast<int>(std::nearbyint(V));
}

int Clamp255(int V) {
    return V < 0 ? 0 : V > 255 ? 255 : V;
}

struct THSL {
    float H = 0, S = 0, L = 0;
};

THSL ToHSL(TbsColor C) {
    const float R = ((C >> 16) & 0xFF) / 255.0f, G = ((C >> 8) & 0xFF) / 255.0f, B = (C & 0xFF) / 255.0f;
    const float Max = std::max({R, G, B}), Min = std::min({R, G, B});
    THSL Result;
    Result.L = (Max + Min) / 2;
    if (Max == Min)
        return Result;
    const float D = Max - Min;
    Result.S = Result.L >= 0.5f ? D / (2 - Max - Min) : D / (Max + Min);
    float H;
    if (Max == R)
        H = (G - B) / D;
    else if (Max == G)
        H = (B - R) / D + 2;
    else
        H = (R - G) / D + 4;
    H /= 6;
    if (H < 0)
        H += 1;
    Result.H = H;
    return Result;
}

TbsColor FromHSL(const THSL& V, TbsColor Alpha) {
    int Ch[3];
    if (V.S == 0) {
        Ch[0] = Ch[1] = Ch[2] = RoundToInt(V.L * 255);
    } else {
        const float Q = V.L > 0.5f ? V.S + V.L - V.S * V.L : V.L * (1 + V.S);
        const float P = 2 * V.L - Q;
        const float T[3] = {V.H + 1.0f / 3, V.H, V.H - 1.0f / 3};
        for (int I = 0; I < 3; ++I) {
            const float F = T[I] - std::floor(T[I]);
            float Value;
            if (6 * F < 1)
                Value = P + (Q - P) * 6 * F;
            else if (2 * F < 1)
                Value = Q;
            else if (3 * F < 2)
                Value = P + (Q - P) * (2.0f / 3 - F) * 6;
            else
                Value = P;
            Ch[I] = RoundToInt(255 * Value);
        }
    }
    return (Alpha & 0xFF000000u) | (static_cast<TbsColor>(Clamp255(Ch[0])) << 16) |
           (static_cast<TbsColor>(Clamp255(Ch[1])) << 8) | static_cast<TbsColor>(Clamp255(Ch[2]));
}

// A value of 0..255 moved by Delta and wrapped the way the skin's colour adjustments wrap it.
float Shifted(float Value, int Delta) {
    int S = Delta + RoundToInt(Value * 255);
    if (S >= 256)
        S -= 255;
    else if (S < 0)
        S += 255;
    return S / 255.0f;
}

TRect ClipTo(const TRect& R, int Width, int Height) {
    return {std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Width), std::min(R.Bottom, Height)};
}

} // namespace

TbsBitmap::TbsBitmap() {
    EnsureKernels();
    FBitmapInfo.bmiHeader.biSize = 40;
    FBitmapInfo.bmiHeader.biPlanes = 1;
    FBitmapInfo.bmiHeader.biBitCount = 32;
    FBitmapInfo.bmiHeader.biCompression = BI_RGB;
}

TbsBitmap::~TbsBitmap() {
    RemoveFromRegistry();
    FreeHandles();
    FCanvas.reset();
}

void TbsBitmap::FreeHandles() {
    // The canvas lets go of the DC (its font, pen and brush deselected) before the DC goes.
    if (FCanvas)
        FCanvas->SetHandle(nullptr);
    if (FDC)
        DeleteDC(FDC);
    if (FHandle)
        DeleteObject(FHandle);
    FDC = nullptr;
    FHandle = nullptr;
    FBits = nullptr;
}

void TbsBitmap::AddToRegistry() {
    if (FRegistered)
        return;
    Registry().push_back(this);
    FRegistered = true;
}

void TbsBitmap::RemoveFromRegistry() {
    if (!FRegistered)
        return;
    auto& R = Registry();
    R.erase(std::find(R.begin(), R.end(), this));
    FRegistered = false;
}

TbsBitmap* FindBitmapByDC(HDC DC) {
    if (!DC)
        return nullptr;
    for (TbsBitmap* B : Registry())
        if (B->DC() == DC)
            return B;
    return nullptr;
}

void TbsBitmap::SetSize(int AWidth, int AHeight) {
    AWidth = std::abs(AWidth);
    if (AWidth == 0)
        return;
    AHeight = std::abs(AHeight);
    if (AHeight == 0)
        return;
    if (AWidth == FWidth && AHeight == FHeight && !Empty())
        return;
    FreeHandles();
    // A failure leaves the bitmap empty in size too, so no caller walks rows that are gone.
    FWidth = 0;
    FHeight = 0;
    FBitmapInfo.bmiHeader.biWidth = AWidth;
    FBitmapInfo.bmiHeader.biHeight = -AHeight;
    void* Bits = nullptr;
    FHandle = CreateDIBSection(nullptr, &FBitmapInfo, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!FHandle || !Bits) {
        FreeHandles();
        throw Exception(u"Can't allocate the DIB handle");
    }
    FBits = static_cast<TbsColor*>(Bits);
    FDC = CreateCompatibleDC(nullptr);
    if (!FDC) {
        FreeHandles();
        throw Exception(u"Can't create compatible DC");
    }
    if (!SelectObject(FDC, FHandle)) {
        FreeHandles();
        throw Exception(u"Can't bslect an object into DC");
    }
    AddToRegistry();
    if (FCanvas)
        FCanvas->SetHandle(FDC);
    FWidth = AWidth;
    FHeight = AHeight;
}

TCanvas* TbsBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        FCanvas->SetHandle(FDC);
    }
    return FCanvas.get();
}

void TbsBitmap::Clear(TbsColor Color) {
    if (!Empty())
        PixelKernels.FillRow(FBits, FWidth * FHeight, Color);
}

void TbsBitmap::Assign(const TbsBitmap& Source) {
    if (&Source == this)
        return;
    if (Source.Empty()) {
        FreeHandles();
        FWidth = 0;
        FHeight = 0;
        return;
    }
    SetSize(Source.FWidth, Source.FHeight);
    if (Empty())
        return;
    if (Source.FWidth == FWidth && Source.FHeight == FHeight)
        PixelKernels.CopyRow(Source.FBits, FBits, FWidth * FHeight);
    FName = Source.FName;
    FTransparent = Source.FTransparent;
    FAlphaBlend = Source.FAlphaBlend;
}

void TbsBitmap::PutPixel(int X, int Y, TbsColor Value) {
    if (FBits && X >= 0 && X < FWidth && Y >= 0 && Y < FHeight)
        *GetPixelPtr(X, Y) = Value;
}

template <class F> void TbsBitmap::ForEachPixel(F&& Fn) {
    if (Empty())
        return;
    for (int I = 0; I < FWidth * FHeight; ++I)
        Fn(FBits[I]);
}

void TbsBitmap::CheckingAlphaBlend() {
    FAlphaBlend = false;
    ForEachPixel([this](TbsColor& P) {
        const TbsColor A = P >> 24;
        if (A != 0 && A != 255)
            FAlphaBlend = true;
    });
}

void TbsBitmap::CheckingAlphaBlend(const TRect&) {
    CheckingAlphaBlend();
}

void TbsBitmap::CheckingTransparent(TbsColor Color) {
    FTransparent = false;
    const int CR = (Color >> 16) & 0xFF, CG = (Color >> 8) & 0xFF, CB = Color & 0xFF;
    ForEachPixel([&](TbsColor& P) {
        const int R = (P >> 16) & 0xFF, G = (P >> 8) & 0xFF, B = P & 0xFF;
        if (std::abs(R - CR) < 6 && std::abs(G - CG) < 6 && std::abs(B - CB) < 6) {
            P = bsKeyColor;
            FTransparent = true;
        }
    });
}

void TbsBitmap::CheckingTransparent(const TRect&, TbsColor Color) {
    CheckingTransparent(Color);
}

void TbsBitmap::SetAlpha(std::uint8_t Alpha) {
    if (!Empty())
        PixelKernels.SetAlphaRow(FBits, FWidth * FHeight, Alpha);
}

void TbsBitmap::SetAlpha(std::uint8_t Alpha, const TRect& Rect) {
    const TRect R = ClipTo(Rect, FWidth, FHeight);
    if (Empty() || R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    PixelKernels.SetAlphaRect(FBits, FWidth, FHeight, R.Left, R.Top, R.Right - 1, R.Bottom - 1, Alpha);
}

void TbsBitmap::ChangeBitmapBrightness(int DeltaBrightness) {
    if (DeltaBrightness == 0)
        return;
    ForEachPixel([DeltaBrightness](TbsColor& P) {
        if ((P >> 24) == 0)
            return;
        const int R = Clamp255(static_cast<int>((P >> 16) & 0xFF) + DeltaBrightness);
        const int G = Clamp255(static_cast<int>((P >> 8) & 0xFF) + DeltaBrightness);
        const int B = Clamp255(static_cast<int>(P & 0xFF) + DeltaBrightness);
        P = (P & 0xFF000000u) | (static_cast<TbsColor>(R) << 16) | (static_cast<TbsColor>(G) << 8) |
            static_cast<TbsColor>(B);
    });
}

void TbsBitmap::SetBitmapHue(int Hue) {
    const float NewHue = Clamp255(Hue) / 255.0f;
    ForEachPixel([NewHue](TbsColor& P) {
        if ((P >> 24) == 0)
            return;
        THSL V = ToHSL(P);
        V.H = NewHue;
        P = FromHSL(V, P);
    });
}

void TbsBitmap::ChangeBitmapSat(int DeltaSat) {
    if (DeltaSat == 0)
        return;
    ForEachPixel([DeltaSat](TbsColor& P) {
        if ((P >> 24) == 0)
            return;
        THSL V = ToHSL(P);
        V.S = Shifted(V.S, DeltaSat);
        P = FromHSL(V, P);
    });
}

void TbsBitmap::ChangeBitmapHue(int DeltaHue) {
    if (DeltaHue == 0)
        return;
    ForEachPixel([DeltaHue](TbsColor& P) {
        if ((P >> 24) == 0)
            return;
        THSL V = ToHSL(P);
        V.H = Shifted(V.H, DeltaHue);
        P = FromHSL(V, P);
    });
}

void TbsBitmap::FlipVert() {
    if (Empty())
        return;
    for (int I = 0; I < FHeight / 2; ++I)
        std::swap_ranges(GetRowPtr(I), GetRowPtr(I) + FWidth, GetRowPtr(FHeight - 1 - I));
}

void TbsBitmap::ReflectionBy(int N) {
    FlipVert();
    if (Empty())
        return;
    double K = 1.0;
    const double Step = 2.0 / FHeight;
    for (int Y = 0; Y < FHeight; ++Y, K -= Step) {
        TbsColor* Row = GetRowPtr(Y);
        for (int X = 0; X < FWidth; ++X) {
            const int A = static_cast<int>(Row[X] >> 24);
            if (A > 0)
                Row[X] = (Row[X] & 0x00FFFFFF) | (static_cast<TbsColor>(std::max(0, RoundToInt(K * A) / N)) << 24);
        }
    }
}

void TbsBitmap::Reflection() {
    ReflectionBy(3);
}

void TbsBitmap::Reflection2() {
    ReflectionBy(4);
}

void TbsBitmap::Reflection3() {
    ReflectionBy(2);
}

void TbsBitmap::FillRect(const TRect& Rect, TbsColor Color) {
    const TRect R = ClipTo(Rect, FWidth, FHeight);
    if (Empty() || R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    if (FAlphaBlend) {
        std::vector<TbsColor> Row(static_cast<std::size_t>(R.Right - R.Left), Color);
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            PixelKernels.BlendRow(Row.data(), GetPixelPtr(R.Left, Y), R.Right - R.Left);
        EmmsIfMMX();
    } else {
        PixelKernels.FillRectPixels(FBits, FWidth, FHeight, R.Left, R.Top, R.Right - 1, R.Bottom - 1, Color);
    }
}

void TbsBitmap::Draw(HDC DC, int X, int Y) {
    Draw(DC, X, Y, TRect{0, 0, FWidth, FHeight});
}

void TbsBitmap::Draw(HDC DC, int X, int Y, const TRect& SrcRect) {
    Draw(DC, TRect{X, Y, X + SrcRect.Right - SrcRect.Left, Y + SrcRect.Bottom - SrcRect.Top}, SrcRect);
}

void TbsBitmap::Draw(HDC DC, const TRect& DstRect) {
    Draw(DC, DstRect, TRect{0, 0, FWidth, FHeight});
}

void TbsBitmap::Draw(HDC DC, const TRect& DstRect, const TRect& SrcRect) {
    if (TbsBitmap* Target = FindBitmapByDC(DC)) {
        POINT Origin;
        GetWindowOrgEx(DC, &Origin);
        TRect R = DstRect;
        OffsetRect(&R, -Origin.X, -Origin.Y);
        Draw(*Target, R, SrcRect);
        return;
    }
    const TbsDCKernel Kernel = FAlphaBlend    ? PixelKernels.BlendToDC
                               : FTransparent ? PixelKernels.TransparentToDC
                                              : PixelKernels.CopyToDC;
    Kernel(DC, DstRect.Left, DstRect.Top, DstRect.Right - DstRect.Left, DstRect.Bottom - DstRect.Top, *this,
           SrcRect.Left, SrcRect.Top, SrcRect.Right - SrcRect.Left, SrcRect.Bottom - SrcRect.Top);
}

void TbsBitmap::Draw(TbsBitmap& Bitmap, int X, int Y) {
    Draw(Bitmap, X, Y, TRect{0, 0, FWidth, FHeight});
}

void TbsBitmap::Draw(TbsBitmap& Bitmap, int X, int Y, const TRect& SrcRect) {
    Draw(Bitmap, TRect{X, Y, X + SrcRect.Right - SrcRect.Left, Y + SrcRect.Bottom - SrcRect.Top}, SrcRect);
}

void TbsBitmap::Draw(TbsBitmap& Bitmap, const TRect& DstRect) {
    Draw(Bitmap, DstRect, TRect{0, 0, FWidth, FHeight});
}

void TbsBitmap::Draw(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& SrcRect) {
    const TbsStretchKernel Kernel = FAlphaBlend    ? PixelKernels.StretchBlendBitmap
                                    : FTransparent ? PixelKernels.StretchTransparentBitmap
                                                   : PixelKernels.StretchCopyBitmap;
    Kernel(Bitmap, DstRect, DstRect, *this, SrcRect);
}

namespace {

// The cells of a tiling: whole copies of the source from the rectangle's top-left, the last ones cut at its far
// edges (the source is cut at its far end too).
template <class DrawCell> void ForEachTile(const TRect& DstRect, const TRect& SrcRect, DrawCell Cell) {
    const int sw = SrcRect.Right - SrcRect.Left, sh = SrcRect.Bottom - SrcRect.Top;
    if (sw <= 0 || sh <= 0)
        return;
    const int W = DstRect.Right - DstRect.Left, H = DstRect.Bottom - DstRect.Top;
    const int nx = W / sw + (W % sw != 0 ? 1 : 0);
    const int ny = H / sh + (H % sh != 0 ? 1 : 0);
    for (int i = 0; i <= nx; ++i)
        for (int j = 0; j <= ny; ++j) {
            const TRect Whole{DstRect.Left + i * sw, DstRect.Top + j * sh, DstRect.Left + (i + 1) * sw,
                              DstRect.Top + (j + 1) * sh};
            const TRect C{std::max(Whole.Left, DstRect.Left), std::max(Whole.Top, DstRect.Top),
                          std::min(Whole.Right, DstRect.Right), std::min(Whole.Bottom, DstRect.Bottom)};
            if (C.Right <= C.Left || C.Bottom <= C.Top)
                break;
            const TRect Part{SrcRect.Left, SrcRect.Top, SrcRect.Left + (C.Right - C.Left),
                             SrcRect.Top + (C.Bottom - C.Top)};
            Cell(C, Part);
        }
}

bool Intersects(const TRect& A, const TRect& B) {
    return std::max(A.Left, B.Left) < std::min(A.Right, B.Right) &&
           std::max(A.Top, B.Top) < std::min(A.Bottom, B.Bottom);
}

bool IsEmptyRect(const TRect& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}

} // namespace

void TbsBitmap::Tile(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& SrcRect) {
    ForEachTile(DstRect, SrcRect, [&](const TRect& Cell, const TRect& Part) { Draw(Bitmap, Cell, Part); });
}

void TbsBitmap::Tile(HDC DC, const TRect& DstRect, const TRect& SrcRect) {
    if (SrcRect.Right - SrcRect.Left <= 0 || SrcRect.Bottom - SrcRect.Top <= 0)
        return;
    TbsBitmap* Target = FindBitmapByDC(DC);
    int W = 0, H = 0, Bpp = 0;
    TbsColor* Bits = Target ? nullptr : PixelKernels.GetDCBitmapBits(DC, W, H, Bpp);
    POINT Origin;
    GetWindowOrgEx(DC, &Origin);
    const TbsBitsKernel BitsKernel = FAlphaBlend    ? PixelKernels.StretchBlendBits
                                     : FTransparent ? PixelKernels.StretchTransparentBits
                                                    : PixelKernels.StretchCopyBits;
    ForEachTile(DstRect, SrcRect, [&](const TRect& Cell, const TRect& Part) {
        TRect Moved = Cell;
        OffsetRect(&Moved, -Origin.X, -Origin.Y);
        if (Target)
            Draw(*Target, Moved, Part);
        else if (Bits && Bpp == 32 && H > 0)
            BitsKernel(Bits, Moved, Moved, W, H, *this, Part);
        else
            Draw(DC, Cell, Part);
    });
}

void TbsBitmap::TileClip(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect) {
    ForEachTile(DstRect, SrcRect, [&](const TRect& Cell, const TRect& Part) {
        if (IsEmptyRect(DstClip) || Intersects(Cell, DstClip))
            Draw(Bitmap, Cell, Part);
    });
}

void TbsBitmap::TileClip(HDC DC, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect) {
    ForEachTile(DstRect, SrcRect, [&](const TRect& Cell, const TRect& Part) {
        if (IsEmptyRect(DstClip) || Intersects(Cell, DstClip))
            Draw(DC, Cell, Part);
    });
}

void TbsBitmap::MergeDraw(const TbsBitmap& Bitmap, int X, int Y, const TRect& SrcRect) {
    if (Empty() || Bitmap.Empty())
        return;
    TRect R = SrcRect;
    if (R.Left < 0) {
        X -= R.Left;
        R.Left = 0;
    }
    if (R.Top < 0) {
        Y -= R.Top;
        R.Top = 0;
    }
    R.Right = std::min(R.Right, Bitmap.FWidth);
    R.Bottom = std::min(R.Bottom, Bitmap.FHeight);
    for (int SY = R.Top; SY < R.Bottom; ++SY)
        for (int SX = R.Left; SX < R.Right; ++SX) {
            const int DX = X + SX - R.Left, DY = Y + SY - R.Top;
            if (DX < 0 || DX >= FWidth || DY < 0 || DY >= FHeight)
                continue;
            TbsColor& D = *GetPixelPtr(DX, DY);
            const TbsColor S = *Bitmap.GetPixelPtr(SX, SY);
            const TbsColor A = D >> 24;
            if (A == 0)
                D = S;
            else if (A < 255)
                D = PixelKernels.BlendPixel(D, S);
        }
    EmmsIfMMX();
}

// ---- conversions from and to the class library's pictures ----

void TbsBitmap::Assign(TPersistent* Source) {
    if (auto* Skin = dynamic_cast<TbsBitmap*>(Source)) {
        Assign(*Skin);
    } else if (auto* Bitmap = dynamic_cast<TBitmap*>(Source)) {
        AssignBitmap(Bitmap);
    } else if (auto* Graphic = dynamic_cast<TGraphic*>(Source)) {
        AssignOpaqueGraphic(Graphic);
    } else if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
        // A picture's bitmap is always blitted, so even a 32-bit one comes out opaque.
        if (auto* PictureBitmap = dynamic_cast<TBitmap*>(Picture->Graphic()))
            CopyByBlit(PictureBitmap);
        else if (Picture->Graphic())
            AssignOpaqueGraphic(Picture->Graphic());
        else
            TPersistent::Assign(Source);
    } else {
        TPersistent::Assign(Source);
    }
}

void TbsBitmap::AssignBitmap(TBitmap* Source) {
    if (Source->PixelFormat() != pf32bit) {
        CopyByBlit(Source);
        return;
    }
    SetSize(Source->Width(), Source->Height());
    if (Empty() || Source->Width() != FWidth || Source->Height() != FHeight)
        return;
    for (int Y = 0; Y < FHeight; ++Y)
        PixelKernels.CopyRow(static_cast<const TbsColor*>(Source->ScanLine(Y)), GetRowPtr(Y), FWidth);
    CheckingAlphaBlend();
}

void TbsBitmap::CopyByBlit(TBitmap* Source) {
    SetSize(Source->Width(), Source->Height());
    if (Empty() || Source->Empty())
        return;
    BitBlt(FDC, 0, 0, FWidth, FHeight, Source->Canvas()->Handle(), 0, 0, SRCCOPY);
    SetAlpha(255);
}

void TbsBitmap::AssignOpaqueGraphic(TGraphic* Source) {
    SetSize(Source->Width(), Source->Height());
    if (Empty())
        return;
    DrawGraphic(Source, TRect{0, 0, FWidth, FHeight});
    SetAlpha(255);
}

void TbsBitmap::DrawGraphic(TGraphic* Graphic, const TRect& DstRect) {
    if (Empty() || !Graphic)
        return;
    // Magenta marks what the graphic leaves uncovered; those pixels keep this bitmap's earlier content.
    TBitmap Temp;
    Temp.SetPixelFormat(pf32bit);
    Temp.SetSize(FWidth, FHeight);
    TCanvas* C = Temp.Canvas();
    C->Brush()->SetColor(TColor(0xFF00FF));
    C->FillRect(TRect{-1, -1, FWidth + 1, FHeight + 1});
    C->StretchDraw(DstRect, Graphic);
    for (int Y = 0; Y < FHeight; ++Y) {
        const auto* Row = static_cast<const TbsColor*>(Temp.ScanLine(Y));
        for (int X = 0; X < FWidth; ++X)
            if ((Row[X] & 0xFFFFFF) != 0xFF00FF)
                PutPixel(X, Y, Row[X]);
    }
}

void TbsBitmap::AssignTo(TPersistent* Dest) {
    if (auto* Picture = dynamic_cast<TPicture*>(Dest))
        FillBitmap(Picture->Bitmap());
    else if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest))
        FillBitmap(Bitmap);
    else
        TPersistent::AssignTo(Dest);
}

void TbsBitmap::FillBitmap(TBitmap* Dest) {
    Dest->SetPixelFormat(pf32bit);
    Dest->SetSize(FWidth, FHeight);
    if (Empty() || Dest->Empty())
        return;
    // A new picture starts black here, so a blending or keyed bitmap is composed over black.
    for (int Y = 0; Y < FHeight; ++Y)
        PixelKernels.FillRow(static_cast<TbsColor*>(Dest->ScanLine(Y)), FWidth, 0);
    Draw(Dest->Canvas(), 0, 0);
}

void TbsBitmap::Draw(TCanvas* Canvas, int X, int Y) {
    Draw(Canvas->Handle(), X, Y);
}

void TbsBitmap::Draw(TCanvas* Canvas, int X, int Y, const TRect& SrcRect) {
    Draw(Canvas->Handle(), X, Y, SrcRect);
}

void TbsBitmap::Draw(TCanvas* Canvas, const TRect& DstRect) {
    Draw(Canvas->Handle(), DstRect);
}

void TbsBitmap::Draw(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect) {
    Draw(Canvas->Handle(), DstRect, SrcRect);
}

// ---- resources and streams ----

namespace {

// ResFileName names the running program (by its full path or its file name).
bool IsProgramFile(const String& ResFileName) {
    std::error_code Error;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
    if (Error)
        return false;
    const String ExeName = UTF8ToString(Exe.string());
    return ResFileName == ExeName || ResFileName == ExtractFileName(ExeName);
}

} // namespace

void TbsBitmap::LoadFromResource(const String& ResFileName, const String& ResName) {
    // Resources live in the program itself: another module file cannot be loaded for its data here, and finds
    // nothing, as a module that does not load finds nothing.
    if (!ResFileName.empty() && !IsProgramFile(ResFileName))
        return;
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
    if (ResName.empty() || !FindResourceData(ResName.c_str(), Data, Size))
        return;
    TBitmap Bitmap;
    Bitmap.LoadFromResourceName(HInstance, ResName);
    Assign(&Bitmap);
}

void TbsBitmap::SaveToStream(TStream* Stream) const {
    WriteStreamString(Stream, FName);
    Stream->WriteValue<std::int32_t>(FWidth);
    Stream->WriteValue<std::int32_t>(FHeight);
    if (!Empty())
        Stream->WriteBuffer(FBits, std::int64_t(FWidth) * FHeight * 4);
}

void TbsBitmap::LoadFromStream(TStream* Stream) {
    String Name;
    ReadStreamString(Stream, Name);
    const std::int32_t W = Stream->ReadValue<std::int32_t>();
    std::int32_t H = Stream->ReadValue<std::int32_t>();
    FName = Name;
    const bool BottomUp = H < 0;
    H = H == INT32_MIN ? 0 : std::abs(H);
    if (W <= 0 || H == 0)
        return;
    // The size comes from the stream: pixels it cannot hold are refused before anything is allocated.
    const std::int64_t Bytes = std::int64_t(W) * H * 4;
    if (Bytes > Stream->Size() - Stream->Position())
        throw EReadError(u"Stream read error");
    SetSize(W, H);
    if (Empty() || FWidth != W || FHeight != H)
        return;
    Stream->ReadBuffer(FBits, Bytes);
    if (BottomUp)
        FlipVert();
}

// ---- PCX pictures ----

namespace {

constexpr int PcxHeaderSize = 128;
constexpr int PcxPaletteSize = 769; // a marker byte and 256 red-green-blue triplets

std::uint16_t Word16(const std::uint8_t* P) {
    return static_cast<std::uint16_t>(P[0] | (P[1] << 8));
}

[[noreturn]] void PcxTruncated() {
    throw EInvalidGraphic(u"The PCX picture is truncated");
}

// Run-length data expanded into exactly Size bytes: a byte with both top bits set repeats the next byte that
// many times (its low six bits). Data that runs out first is a truncated file.
std::vector<std::uint8_t> ExpandPcxRuns(const std::uint8_t* Data, std::size_t Count, std::size_t Size) {
    std::vector<std::uint8_t> Out;
    Out.reserve(Size);
    std::size_t I = 0;
    while (Out.size() < Size) {
        if (I >= Count)
            PcxTruncated();
        const std::uint8_t B = Data[I++];
        if (B >= 0xC0) {
            if (I >= Count)
                PcxTruncated();
            const std::size_t Run = std::min<std::size_t>(B & 0x3F, Size - Out.size());
            Out.insert(Out.end(), Run, Data[I++]);
        } else {
            Out.push_back(B);
        }
    }
    return Out;
}

} // namespace

void TbsBitmap::LoadFromPcxStream(TStream* Stream) {
    std::uint8_t Header[PcxHeaderSize];
    const std::int64_t Got = Stream->Read(Header, PcxHeaderSize);
    if (Got >= 1 && Header[0] != 10 && Header[0] != 205)
        return;
    if (Got < PcxHeaderSize)
        PcxTruncated();
    const int Version = Header[1], Encoding = Header[2];
    const int XMin = Word16(Header + 4), YMin = Word16(Header + 6), XMax = Word16(Header + 8),
              YMax = Word16(Header + 10);
    const int Planes = Header[65], BytesPerLine = Word16(Header + 66);
    const int W = XMax - XMin + 1, H = YMax - YMin + 1;
    const std::size_t L = static_cast<std::size_t>(Planes) * BytesPerLine;
    // A row reads its first W bytes from its line: a line shorter than that cannot hold the picture.
    if (W <= 0 || H <= 0 || L < static_cast<std::size_t>(W))
        throw EInvalidGraphic(u"The PCX picture has an invalid size");

    const std::int64_t Rest = std::max<std::int64_t>(0, Stream->Size() - Stream->Position());
    std::vector<std::uint8_t> Data(static_cast<std::size_t>(Rest));
    if (Rest > 0)
        Stream->ReadBuffer(Data.data(), Rest);

    std::vector<RGBQUAD> Palette;
    std::size_t ImageBytes = Data.size();
    if (Version == 3) {
        TBitmap Standard;
        Standard.SetPixelFormat(pf4bit);
        Standard.SetSize(1, 1);
        Palette = Standard.Palette();
    } else {
        if (Data.size() < PcxPaletteSize)
            PcxTruncated();
        ImageBytes -= PcxPaletteSize;
        const std::uint8_t* P = Data.data() + ImageBytes + 1;
        for (int I = 0; I < 256; ++I, P += 3)
            Palette.push_back(RGBQUAD{P[2], P[1], P[0], 0});
    }
    Palette.resize(256);

    const std::size_t Size = static_cast<std::size_t>(H) * L;
    std::vector<std::uint8_t> Lines;
    if (Encoding == 1) {
        // No byte expands to more than 63: data far too short is refused before anything is allocated.
        if (Size / 63 > ImageBytes)
            PcxTruncated();
        Lines = ExpandPcxRuns(Data.data(), ImageBytes, Size);
    } else {
        if (ImageBytes < Size)
            PcxTruncated();
        Lines.assign(Data.begin(), Data.begin() + static_cast<std::ptrdiff_t>(Size));
    }

    TBitmap Picture;
    Picture.SetPixelFormat(pf8bit);
    Picture.SetSize(W, H);
    Picture.SetPalette(Palette);
    for (int Y = 0; Y < H; ++Y)
        std::copy_n(Lines.data() + static_cast<std::size_t>(Y) * L, W, static_cast<std::uint8_t*>(Picture.ScanLine(Y)));
    CopyByBlit(&Picture);
}
