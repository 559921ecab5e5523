// The device-context, stretching and row entries of the kernel table.
#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/core/PixelKernels.h"
#include "skin/core/TbsBitmap.h"
#include "skin/core/bsUtils.h"

namespace {

enum class TKernelMode { Copy, Blend, Key };

void RowKernel(TKernelMode Mode, const TbsColor* Src, TbsColor* Dst, int Count) {
    switch (Mode) {
    case TKernelMode::Copy:
        PixelKernels.CopyRow(Src, Dst, Count);
        break;
    case TKernelMode::Blend:
        PixelKernels.BlendRow(Src, Dst, Count);
        break;
    case TKernelMode::Key:
        PixelKernels.TransparentCopyRow(Src, Dst, Count);
        break;
    }
}

bool SrcInside(const TbsBitmap& Src, const TRect& R) {
    return R.Left >= 0 && R.Top >= 0 && R.Right <= Src.Width() && R.Bottom <= Src.Height() && !Src.Empty();
}

TRect Intersect(const TRect& A, const TRect& B) {
    return {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
}

// Source column (or row) of destination index i: the middle one for a one-pixel span, else along the ratio
// (sw - 1) / (dw - 1) held in single precision, truncated for bitmaps and rounded for DC pixels.
std::vector<int> StretchTable(int Count, int Offset, int SrcLo, int SrcHi, int DstLen, bool RoundIt) {
    std::vector<int> T(static_cast<std::size_t>(Count));
    if (DstLen <= 1) {
        std::fill(T.begin(), T.end(), (SrcLo + SrcHi - 1) / 2);
        return T;
    }
    const double Ratio = static_cast<float>(static_cast<double>(SrcHi - SrcLo - 1) / (DstLen - 1));
    for (int i = 0; i < Count; ++i) {
        const double V = (i + Offset) * Ratio + SrcLo;
        const int S = RoundIt ? static_cast<int>(std::nearbyint(V)) : static_cast<int>(std::trunc(V));
        // The single-precision ratio may overshoot by a hair; the source is never read outside its rectangle.
        T[static_cast<std::size_t>(i)] = std::clamp(S, SrcLo, SrcHi - 1);
    }
    return T;
}

// Shared by the bitmap and the DC-pixel forms: Row(y) gives destination image row y.
template <class RowOf>
void Stretch(TKernelMode Mode, RowOf Row, const TRect& Bounds, const TRect& DstRect, const TRect& DstClip,
             const TbsBitmap& Src, const TRect& SrcRect, bool RoundIt) {
    if (SrcRect.Right - SrcRect.Left <= 0 || SrcRect.Bottom - SrcRect.Top <= 0)
        return;
    const TRect Clip = Intersect(Intersect(DstClip, Bounds), DstRect);
    const int cw = Clip.Right - Clip.Left;
    const int ch = Clip.Bottom - Clip.Top;
    if (cw <= 0 || ch <= 0 || !SrcInside(Src, SrcRect))
        return;
    const std::vector<int> X =
        StretchTable(cw, Clip.Left - DstRect.Left, SrcRect.Left, SrcRect.Right, DstRect.Right - DstRect.Left, RoundIt);
    const std::vector<int> Y =
        StretchTable(ch, Clip.Top - DstRect.Top, SrcRect.Top, SrcRect.Bottom, DstRect.Bottom - DstRect.Top, RoundIt);
    std::vector<TbsColor> Buffer(static_cast<std::size_t>(cw));
    int Gathered = -1;
    for (int j = 0; j < ch; ++j) {
        if (Y[j] != Gathered) {
            const TbsColor* SrcRow = Src.GetRowPtr(Y[j]);
            for (int i = 0; i < cw; ++i)
                Buffer[i] = SrcRow[X[i]];
            Gathered = Y[j];
        }
        RowKernel(Mode, Buffer.data(), Row(Clip.Top + j) + Clip.Left, cw);
    }
    EmmsIfMMX();
}

void StretchBitmap(TKernelMode Mode, TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                   const TRect& SrcRect) {
    if (Dst.Empty())
        return;
    const TRect Bounds{0, 0, Dst.Width(), Dst.Height()};
    const int sw = SrcRect.Right - SrcRect.Left, sh = SrcRect.Bottom - SrcRect.Top;
    if (sw == DstRect.Right - DstRect.Left && sh == DstRect.Bottom - DstRect.Top && sw > 0 && sh > 0) {
        const TRect Clip = Intersect(Intersect(DstClip, Bounds), DstRect);
        if (Clip.Right <= Clip.Left || Clip.Bottom <= Clip.Top || !SrcInside(Src, SrcRect))
            return;
        const int SrcX = SrcRect.Left + Clip.Left - DstRect.Left;
        const int SrcY = SrcRect.Top + Clip.Top - DstRect.Top;
        const TbsRowsKernel Rows = Mode == TKernelMode::Copy    ? PixelKernels.CopyRectRows
                                   : Mode == TKernelMode::Blend ? PixelKernels.BlendRectRows
                                                                : PixelKernels.TransparentRectRows;
        Rows(Dst, Clip, Src, SrcX, SrcY);
        return;
    }
    Stretch(
        Mode, [&](int y) { return Dst.GetRowPtr(y); }, Bounds, DstRect, DstClip, Src, SrcRect, false);
}

void StretchBits(TKernelMode Mode, TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                 const TbsBitmap& Src, const TRect& SrcRect) {
    if (!Bits || Width <= 0 || Height <= 0)
        return;
    // Rows of a DC's bitmap are stored bottom-up.
    auto Row = [&](int y) { return Bits + static_cast<std::ptrdiff_t>(Width) * (Height - 1 - y); };
    Stretch(Mode, Row, TRect{0, 0, Width, Height}, DstRect, DstClip, Src, SrcRect, true);
}

void RectRows(TKernelMode Mode, TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY) {
    const int cw = Clip.Right - Clip.Left;
    for (int r = 0; r < Clip.Bottom - Clip.Top; ++r)
        RowKernel(Mode, Src.GetPixelPtr(SrcX, SrcY + r), Dst.GetPixelPtr(Clip.Left, Clip.Top + r), cw);
    EmmsIfMMX();
}

// Blending and keyed drawing onto a DC: the destination area is copied out, drawn into and copied back.
void DrawThroughCopy(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                     int SrcH) {
    if (DstW <= 0 || DstH <= 0)
        return;
    TbsBitmap Temp;
    Temp.SetSize(DstW, DstH);
    BitBlt(Temp.DC(), 0, 0, DstW, DstH, DC, DstX, DstY, SRCCOPY);
    Src.Draw(Temp, TRect{0, 0, DstW, DstH}, TRect{SrcX, SrcY, SrcX + SrcW, SrcY + SrcH});
    BitBlt(DC, DstX, DstY, DstW, DstH, Temp.DC(), 0, 0, SRCCOPY);
}

} // namespace

void StretchCopyToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                     int SrcH) {
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, DstX, DstY, DstW, DstH, Src.DC(), SrcX, SrcY, SrcW, SrcH, SRCCOPY);
}

void BlendToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW, int SrcH) {
    DrawThroughCopy(DC, DstX, DstY, DstW, DstH, Src, SrcX, SrcY, SrcW, SrcH);
}

void TransparentToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                     int SrcH) {
    DrawThroughCopy(DC, DstX, DstY, DstW, DstH, Src, SrcX, SrcY, SrcW, SrcH);
}

void TransparentBltToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                        int SrcH) {
    TransparentBlt(DC, DstX, DstY, DstW, DstH, Src.DC(), SrcX, SrcY, SrcW, SrcH, 0x7F007F);
}

TbsColor* GetDCBitmapBits(HDC DC, int& Width, int& Height, int& BitsPerPixel) {
    Width = Height = BitsPerPixel = 0;
    HGDIOBJ Bmp = GetCurrentObject(DC, OBJ_BITMAP);
    DIBSECTION Section;
    if (!Bmp || GetObject(Bmp, sizeof(Section), &Section) != static_cast<int>(sizeof(Section)) || !Section.dsBm.bmBits)
        return nullptr;
    Width = Section.dsBmih.biWidth;
    Height = Section.dsBmih.biHeight;
    BitsPerPixel = Section.dsBmih.biBitCount;
    return static_cast<TbsColor*>(Section.dsBm.bmBits);
}

void StretchCopyBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                     const TbsBitmap& Src, const TRect& SrcRect) {
    StretchBits(TKernelMode::Copy, Bits, DstRect, DstClip, Width, Height, Src, SrcRect);
}

void StretchBlendBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                      const TbsBitmap& Src, const TRect& SrcRect) {
    StretchBits(TKernelMode::Blend, Bits, DstRect, DstClip, Width, Height, Src, SrcRect);
}

void StretchTransparentBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                            const TbsBitmap& Src, const TRect& SrcRect) {
    StretchBits(TKernelMode::Key, Bits, DstRect, DstClip, Width, Height, Src, SrcRect);
}

void CopyRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY) {
    RectRows(TKernelMode::Copy, Dst, Clip, Src, SrcX, SrcY);
}

void BlendRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY) {
    RectRows(TKernelMode::Blend, Dst, Clip, Src, SrcX, SrcY);
}

void TransparentRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY) {
    RectRows(TKernelMode::Key, Dst, Clip, Src, SrcX, SrcY);
}

void StretchCopyBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                       const TRect& SrcRect) {
    StretchBitmap(TKernelMode::Copy, Dst, DstRect, DstClip, Src, SrcRect);
}

void StretchBlendBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                        const TRect& SrcRect) {
    StretchBitmap(TKernelMode::Blend, Dst, DstRect, DstClip, Src, SrcRect);
}

void StretchTransparentBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                              const TRect& SrcRect) {
    StretchBitmap(TKernelMode::Key, Dst, DstRect, DstClip, Src, SrcRect);
}

void InitBlitKernels() {
    static bool Started = false;
    if (Started)
        return;
    Started = true;
    HDC Screen = GetScreenDC();
    const bool DeepScreen = GetDeviceCaps(Screen, BITSPIXEL) * GetDeviceCaps(Screen, PLANES) > 23;
    PixelKernels.TransparentToDC = HasTransparentBlt() && DeepScreen ? TransparentBltToDC : ::TransparentToDC;
}
