// The skin library's 32-bit drawing surface with straight alpha, held in a DIB section with its own memory DC.
#pragma once

#include <cstdint>

#include "platform/base/System.h"
#include "platform/gdi/WinGdi.h"
#include "skin/core/PixelKernels.h"

class TbsBitmap : public TObject {
public:
    TbsBitmap();
    TbsBitmap(const TbsBitmap&) = delete;
    TbsBitmap& operator=(const TbsBitmap&) = delete;
    ~TbsBitmap() override;

    // (Re)creates zero-filled pixels; the signs of the sizes are dropped, a zero size changes nothing. A failure
    // raises and leaves the bitmap empty.
    void SetSize(int AWidth, int AHeight);
    bool Empty() const { return FHandle == nullptr; }
    void Clear(TbsColor Color);

    // From another skin bitmap: its size, pixels, name and drawing flags. An empty source empties this bitmap.
    void Assign(const TbsBitmap& Source);

    TbsColor* GetRowPtr(int Y) const { return FBits + static_cast<std::ptrdiff_t>(Y) * FWidth; }
    TbsColor* GetPixelPtr(int X, int Y) const { return GetRowPtr(Y) + X; }
    void PutPixel(int X, int Y, TbsColor Value);

    // AlphaBlend := some pixel has an alpha other than 0 and 255. The rectangle form examines the whole bitmap too.
    void CheckingAlphaBlend();
    void CheckingAlphaBlend(const TRect& ARect);
    // Pixels within 6 of Color in each of red, green and blue become the colour key.
    void CheckingTransparent(TbsColor Color);
    void CheckingTransparent(const TRect& ARect, TbsColor Color);
    void SetAlpha(std::uint8_t Alpha);
    void SetAlpha(std::uint8_t Alpha, const TRect& Rect);
    void ChangeBitmapBrightness(int DeltaBrightness);
    void SetBitmapHue(int Hue);
    void ChangeBitmapSat(int DeltaSat);
    void ChangeBitmapHue(int DeltaHue);
    void FlipVert();
    void Reflection();
    void Reflection2();
    void Reflection3();
    void FillRect(const TRect& R, TbsColor Color);

    // Self is always the source. The kernel follows the flags: AlphaBlend blends, else Transparent keys, else copy.
    void Draw(HDC DC, int X, int Y);
    void Draw(HDC DC, int X, int Y, const TRect& SrcRect);
    void Draw(HDC DC, const TRect& DstRect);
    void Draw(HDC DC, const TRect& DstRect, const TRect& SrcRect);
    void Draw(TbsBitmap& Bitmap, int X, int Y);
    void Draw(TbsBitmap& Bitmap, int X, int Y, const TRect& SrcRect);
    void Draw(TbsBitmap& Bitmap, const TRect& DstRect);
    void Draw(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& SrcRect);
    void DrawToBitmap(TbsBitmap& Bitmap, int X, int Y) { Draw(Bitmap, X, Y); }

    void Tile(HDC DC, const TRect& DstRect, const TRect& SrcRect);
    void Tile(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& SrcRect);
    void TileClip(HDC DC, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect);
    void TileClip(TbsBitmap& Bitmap, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect);
    // Bitmap is the source here: its pixels go under this bitmap's see-through pixels.
    void MergeDraw(const TbsBitmap& Bitmap, int X, int Y, const TRect& SrcRect);

    HBITMAP Handle() const { return FHandle; }
    HDC DC() const { return FDC; }
    TbsColor* Bits() const { return FBits; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    bool NewFormat() const { return FNewFormat; }
    void SetNewFormat(bool Value) { FNewFormat = Value; }

private:
    void FreeHandles();
    void AddToRegistry();
    void RemoveFromRegistry();
    template <class F> void ForEachPixel(F&& Fn);
    void ReflectionBy(int N);

    TbsColor* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    String FName;
    BITMAPINFO FBitmapInfo;
    HBITMAP FHandle = nullptr;
    HDC FDC = nullptr;
    bool FAlphaBlend = false;
    bool FTransparent = false;
    bool FNewFormat = false;
    bool FRegistered = false;
};

// The first registered bitmap whose memory DC is DC, or nullptr: drawing into such a DC works pixel to pixel.
TbsBitmap* FindBitmapByDC(HDC DC);
