// A plain 24-bit image for transitions between two faces and whole-image effects.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/WinGdi.h"

enum TbsMorphKind : std::uint8_t {
    mkDefault,
    mkGradient,
    mkLeftGradient,
    mkRightGradient,
    mkLeftSlide,
    mkRightSlide,
    mkPush
};

enum TbsInActiveEffect : std::uint8_t { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };

class TbsEffectBmp {
public:
    TbsEffectBmp(int cx, int cy);
    TbsEffectBmp(const TbsEffectBmp&) = delete;
    TbsEffectBmp& operator=(const TbsEffectBmp&) = delete;
    ~TbsEffectBmp();

    static TbsEffectBmp* CreateCopy(const TbsEffectBmp& hBmp);
    // A 24-bit copy of a bitmap: its size from its description, its pixels fetched through the screen's DC.
    static TbsEffectBmp* CreateFromhWnd(HBITMAP hBmp);

    void GetScanLine(int y, void* Line) const;

    // The whole image at (x, y) of the DC, unscaled.
    void Draw(HDC hDC, int x, int y) const;
    // The whole image stretched to cx x cy at (x, y).
    void Stretch(HDC hDC, int x, int y, int cx, int cy) const;
    // The cx x cy part at (x, y) of the image drawn at (hx, hy).
    void DrawRect(HDC hDC, int hx, int hy, int x, int y, int cx, int cy) const;

    void Resize(TbsEffectBmp& Dst) const;
    void CopyRect(const TbsEffectBmp& BMP, const TRect& Rct, int StartX, int StartY);

    void Morph(const TbsEffectBmp& BMP, double Kf);
    void MorphRect(const TbsEffectBmp& BMP, double Kf, const TRect& Rct, int StartX, int StartY);
    void MorphHGrad(const TbsEffectBmp& BMP, double Kf);
    void MorphVGrad(const TbsEffectBmp& BMP, double Kf);
    void MorphGrad(const TbsEffectBmp& BMP, double Kf);
    void MorphLeftGrad(const TbsEffectBmp& BMP, double Kf);
    void MorphRightGrad(const TbsEffectBmp& BMP, double Kf);
    void MorphLeftSlide(const TbsEffectBmp& BMP, double Kf);
    void MorphRightSlide(const TbsEffectBmp& BMP, double Kf);
    void MorphPush(const TbsEffectBmp& BMP, double Kf);
    // The operation a skin's morph kind selects.
    void MorphByKind(TbsMorphKind Kind, const TbsEffectBmp& BMP, double Kf);

    void ChangeBrightness(double Kf);
    void ChangeDarkness(double Kf);
    void Invert();
    void GrayScale();
    void SplitBlur(int Amount);
    void Mosaic(int ASize);
    void AddMonoNoise(int Amount);
    void AddColorNoise(int Amount);
    void Rotate90_1(TbsEffectBmp& Dst) const;
    void Rotate90_2(TbsEffectBmp& Dst) const;
    void FlipVert(TbsEffectBmp& Dst) const;
    void Wave(int XDIV, int YDIV, int RatioVal);
    void MaskAntialiasing(const TbsEffectBmp& Msk, int Amount);
    void MaskBlur(const TbsEffectBmp& Msk, int Amount);
    // C is a platform colour already resolved to 0x00BBGGRR.
    void MaskFillColor(const TbsEffectBmp& Msk, std::uint32_t C, double kf);
    // The dimming an inactive form's parts get for a skin's inactive effect.
    void ApplyInActiveEffect(TbsInActiveEffect Effect);

    // Pixel (x, y) as blue in bits 0-7, green 8-15, red 16-23; no range checks.
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t Value);
    std::uint8_t* GetRow(int y) const {
        return static_cast<std::uint8_t*>(Bits) + static_cast<std::ptrdiff_t>(y) * RowLength;
    }

    // The bitmap section holding the pixels; 0 (and Bits nil) when it could not be made.
    HBITMAP Handle = nullptr;
    int Width = 0;
    int Height = 0;
    int Size = 0;
    int RowLength = 0;
    void* Bits = nullptr;
    // 24 bits, top-down rows; BmpInfo is what the drawing calls are given.
    BITMAPINFOHEADER BmpHeader;
    BITMAPINFO BmpInfo;

private:
    void SetScanLine(int y, const void* Line);
    bool SameSize(const TbsEffectBmp& BMP) const { return BMP.Width == Width && BMP.Height == Height; }
    void MaskFilter(const TbsEffectBmp& Msk, int Amount, bool EdgesOnly);
    void MorphSlide(const TbsEffectBmp& BMP, double Kf, bool FromLeft);
};
