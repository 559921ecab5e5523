// The skin library's 32-bit drawing surface with straight alpha, held in a DIB section with its own memory DC.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/gdi/WinGdi.h"
#include "skin/core/PixelKernels.h"

class TCanvas;
class TGraphic;
class TBitmap;

class TbsBitmap : public TPersistent {
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
    // From a skin bitmap, a TBitmap (a 32-bit one keeps its alphas), any other TGraphic or a TPicture (opaque);
    // anything else raises the class library's conversion error.
    void Assign(TPersistent* Source) override;
    // Fills a TPicture's bitmap or a TBitmap (32 bits, drawn with this bitmap's kernel choice over black);
    // anything else raises the conversion error.
    void AssignTo(TPersistent* Dest) override;
    // The canvas over the bitmap's own DC, made on first use; it follows the DC when the size changes.
    TCanvas* Canvas();
    TCanvas* GetDCCanvas() { return Canvas(); }
    // Draws Graphic stretched into DstRect; where the graphic is see-through the earlier pixels stay.
    void DrawGraphic(TGraphic* Graphic, const TRect& DstRect);
    // A bitmap resource of the program; ResFileName names the module (empty: the program itself). A module or
    // resource that is not there changes nothing.
    void LoadFromResource(const String& ResFileName, const String& ResName);
    // Name, width, height and the raw pixels; a negative stored height means bottom row first.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    // An 8-bit PCX picture (run-length or stored); a file whose first byte is not 10 or 205 loads nothing, a
    // truncated or inconsistent one raises EInvalidGraphic and leaves the bitmap unchanged.
    void LoadFromPcxStream(TStream* Stream);

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
    // A canvas stands for its DC.
    void Draw(TCanvas* Canvas, int X, int Y);
    void Draw(TCanvas* Canvas, int X, int Y, const TRect& SrcRect);
    void Draw(TCanvas* Canvas, const TRect& DstRect);
    void Draw(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect);

    // Declared drawing members that draw nothing (text and shape drawing goes through the canvas instead).
    void DrawBevel(const TRect&, TbsColor, int, bool) {}
    void DrawEdge(const TRect&, TbsColor, TbsColor) {}
    void DrawEllipse(const TRect&, TbsColor) {}
    void DrawFocusRect(const TRect&, TbsColor) {}
    void DrawLine(const TRect&, TbsColor) {}
    void DrawPolygon(const std::vector<TPoint>&) {}
    void DrawRect(const TRect&, TbsColor) {}
    void DrawRoundRect(const TRect&, int, TbsColor) {}
    int DrawText(const String&, TRect&, unsigned) { return 0; }
    void DrawText(const String&, int, int) {}
    void DrawVerticalText(const String&, const TRect&, unsigned, bool) {}
    void FillEllipse(const TRect&, TbsColor) {}
    void FillGradientRect(const TRect&, TbsColor, TbsColor, bool) {}
    void FillHalftonePolygon(const std::vector<TPoint>&) {}
    void FillHalftoneRect(const TRect&, TbsColor, TbsColor) {}
    void FillPolygon(const std::vector<TPoint>&) {}
    void FillRadialGradientRect(const TRect&, TbsColor, TbsColor, const TPoint&) {}
    void FillRoundRect(const TRect&, int, TbsColor) {}
    void LineTo(int, int, TbsColor) {}
    void MoveTo(int, int) {}
    int TextHeight(const String&) { return 0; }
    int TextWidth(const String&, unsigned = 0) { return 0; }

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
    void AssignBitmap(TBitmap* Source);
    void CopyByBlit(TBitmap* Source);
    void AssignOpaqueGraphic(TGraphic* Source);
    void FillBitmap(TBitmap* Dest);
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
    std::unique_ptr<TCanvas> FCanvas;
    bool FAlphaBlend = false;
    bool FTransparent = false;
    bool FNewFormat = false;
    bool FRegistered = false;
};

// The first registered bitmap whose memory DC is DC, or nullptr: drawing into such a DC works pixel to pixel.
TbsBitmap* FindBitmapByDC(HDC DC);
