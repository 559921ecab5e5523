#include "skin/core/TbsBitmap.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/base/SysUtils.h"
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
}

void TbsBitmap::FreeHandles() {
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
    FWidth = AWidth;
    FHeight = AHeight;
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
