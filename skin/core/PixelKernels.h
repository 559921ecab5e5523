// Per-pixel and per-row routines every skin bitmap draws through.
#pragma once

#include <cstdint>

#include "platform/gdi/WinDef.h"

class TbsBitmap;

// 0xAARRGGBB with straight alpha; in memory blue, green, red, alpha.
using TbsColor = std::uint32_t;
using PbsColorArray = TbsColor*;

// A pixel whose low 24 bits are this value is skipped by keyed drawing.
constexpr TbsColor bsKeyColor = 0x007F007F;

inline bool IsKeyPixel(TbsColor C) {
    return (C & 0x00FFFFFF) == (bsKeyColor & 0x00FFFFFF);
}

TbsColor BlendPixel(TbsColor Src, TbsColor Dst);
TbsColor BlendPixelMMX(TbsColor Src, TbsColor Dst);
void BlendRow(const TbsColor* Src, TbsColor* Dst, int Count);
void BlendRowMMX(const TbsColor* Src, TbsColor* Dst, int Count);
void TransparentCopyRow(const TbsColor* Src, TbsColor* Dst, int Count);
int CopyRow(const TbsColor* Src, TbsColor* Dst, int Count);
void FillRow(TbsColor* Dst, int Count, TbsColor Value);
// X2 and Y2 are inclusive; Height is not consulted.
void FillRectPixels(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2, TbsColor Value);
void SetAlphaRow(TbsColor* Dst, int Count, std::uint8_t Alpha);
void SetAlphaRect(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2, std::uint8_t Alpha);
void ClearAlphaOfColor(TbsColor* Dst, int Count, TbsColor Color);

void ClampRGB(int& R, int& G, int& B);
// A platform colour 0x00BBGGRR becomes the opaque pixel 0xFFRRGGBB; system colours are not resolved.
TbsColor ColorToBsColor(std::uint32_t Color);

// Drawing a part of Src onto a device context: destination X, Y, W, H, then the source part X, Y, W, H.
using TbsDCKernel = void (*)(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY,
                             int SrcW, int SrcH);
// Nearest-neighbour stretching into the bottom-up 32-bit pixels of a device context's bitmap.
using TbsBitsKernel = void (*)(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                               const TbsBitmap& Src, const TRect& SrcRect);
// Unscaled rows: the part of Src at (SrcX, SrcY) goes to Clip of Dst.
using TbsRowsKernel = void (*)(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY);
using TbsStretchKernel = void (*)(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                                  const TRect& SrcRect);

void StretchCopyToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                     int SrcH);
// Blending and keyed drawing onto a DC both go through a copy of the destination area.
void BlendToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW, int SrcH);
void TransparentToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                     int SrcH);
void TransparentBltToDC(HDC DC, int DstX, int DstY, int DstW, int DstH, TbsBitmap& Src, int SrcX, int SrcY, int SrcW,
                        int SrcH);
// The pixels of the bitmap selected into DC with its size and depth (Height positive for bottom-up rows); nullptr
// and zeros when DC holds no DIB section.
TbsColor* GetDCBitmapBits(HDC DC, int& Width, int& Height, int& BitsPerPixel);
void StretchCopyBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                     const TbsBitmap& Src, const TRect& SrcRect);
void StretchBlendBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                      const TbsBitmap& Src, const TRect& SrcRect);
void StretchTransparentBits(TbsColor* Bits, const TRect& DstRect, const TRect& DstClip, int Width, int Height,
                            const TbsBitmap& Src, const TRect& SrcRect);
void CopyRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY);
void BlendRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY);
void TransparentRectRows(TbsBitmap& Dst, const TRect& Clip, const TbsBitmap& Src, int SrcX, int SrcY);
void StretchCopyBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                       const TRect& SrcRect);
void StretchBlendBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                        const TRect& SrcRect);
void StretchTransparentBitmap(TbsBitmap& Dst, const TRect& DstRect, const TRect& DstClip, const TbsBitmap& Src,
                              const TRect& SrcRect);

// The kernel table every pixel of a skin bitmap passes through; the blend entries take the vector form on
// machines that have it.
struct TbsPixelKernels {
    TbsColor (*BlendPixel)(TbsColor Src, TbsColor Dst) = ::BlendPixel;
    void (*BlendRow)(const TbsColor* Src, TbsColor* Dst, int Count) = ::BlendRow;
    void (*TransparentCopyRow)(const TbsColor* Src, TbsColor* Dst, int Count) = ::TransparentCopyRow;
    int (*CopyRow)(const TbsColor* Src, TbsColor* Dst, int Count) = ::CopyRow;
    void (*FillRow)(TbsColor* Dst, int Count, TbsColor Value) = ::FillRow;
    void (*FillRectPixels)(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2,
                           TbsColor Value) = ::FillRectPixels;
    void (*SetAlphaRow)(TbsColor* Dst, int Count, std::uint8_t Alpha) = ::SetAlphaRow;
    void (*SetAlphaRect)(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2,
                         std::uint8_t Alpha) = ::SetAlphaRect;
    void (*ClearAlphaOfColor)(TbsColor* Dst, int Count, TbsColor Color) = ::ClearAlphaOfColor;
    TbsDCKernel CopyToDC = StretchCopyToDC;
    TbsDCKernel BlendToDC = ::BlendToDC;
    TbsDCKernel TransparentToDC = ::TransparentToDC;
    TbsColor* (*GetDCBitmapBits)(HDC DC, int& Width, int& Height, int& BitsPerPixel) = ::GetDCBitmapBits;
    TbsBitsKernel StretchCopyBits = ::StretchCopyBits;
    TbsBitsKernel StretchBlendBits = ::StretchBlendBits;
    TbsBitsKernel StretchTransparentBits = ::StretchTransparentBits;
    TbsRowsKernel CopyRectRows = ::CopyRectRows;
    TbsRowsKernel BlendRectRows = ::BlendRectRows;
    TbsRowsKernel TransparentRectRows = ::TransparentRectRows;
    TbsStretchKernel StretchCopyBitmap = ::StretchCopyBitmap;
    TbsStretchKernel StretchBlendBitmap = ::StretchBlendBitmap;
    TbsStretchKernel StretchTransparentBitmap = ::StretchTransparentBitmap;
};

extern TbsPixelKernels PixelKernels;

// Fill the table once each; a second call does nothing. The keyed DC entry is TransparentBlt only where it was
// bound before and the screen has 24 bits or more; in the start order it is not yet, so keyed drawing copies.
void InitPixelKernels();
void InitBlitKernels();
// Chooses the plain or the vector blend form (tests use this to run both).
void SelectBlendKernels(bool UseMMX);
