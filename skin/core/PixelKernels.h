// Per-pixel and per-row routines every skin bitmap draws through.
#pragma once

#include <cstdint>

// 0xAARRGGBB with straight alpha; in memory blue, green, red, alpha.
using TbsColor = std::uint32_t;
using PbsColorArray = TbsColor*;

// A pixel whose low 24 bits are this value is skipped by keyed drawing.
constexpr TbsColor bsKeyColor = 0x007F007F;

inline bool IsKeyPixel(TbsColor C) { return (C & 0x00FFFFFF) == (bsKeyColor & 0x00FFFFFF); }

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

// The per-pixel part of the kernel table; the blend entries take the vector form on machines that have it.
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
};

extern TbsPixelKernels PixelKernels;

// Fills the per-pixel entries once; a second call does nothing.
void InitPixelKernels();
// Chooses the plain or the vector blend form (tests use this to run both).
void SelectBlendKernels(bool UseMMX);
