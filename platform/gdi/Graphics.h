// Graphics: the class library's colours, fonts, pens, brushes, canvas and picture classes.
//
// Public names: TColor and the cl* constants (system colours are 0xFF000000 + the system colour index),
// ColorToRGB, TFontStyle/TFontStyles, TFontPitch, TPenStyle, TPenMode, TBrushStyle, TPixelFormat,
// TTransparentMode, TAlphaFormat, TGraphicsObject, TFont, TPen, TBrush, TCanvas (Lock/Unlock for drawing from
// worker threads), TGraphic, TBitmap, TPicture, TIcon, TPngImage, TJPEGImage, TGIFImage; EInvalidGraphic,
// EInvalidGraphicOperation; cmSrcCopy and the other copy modes.
//
// TBitmap keeps its pixels in a bottom-up DIB section of the pixel format's depth (pfDevice is 32 bits, as the
// screen is): ScanLine(0) is the top row, stored last. Loaders check every size and offset against the bytes
// present and raise EInvalidGraphic for a truncated or hostile file.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

QV_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
QV_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
QV_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)

// The largest picture a file may declare: every loader refuses a larger size with its error before decoding, so a
// few hostile bytes cannot ask for gigabytes of pixels.
constexpr int MaxPictureSide = 16384;
constexpr std::int64_t MaxPicturePixels = std::int64_t(64) << 20;
// True for a size of at least one pixel that stays within both limits.
inline bool PictureSizeAllowed(std::int64_t Width, std::int64_t Height) {
    return Width > 0 && Height > 0 && Width <= MaxPictureSide && Height <= MaxPictureSide &&
           Width * Height <= MaxPicturePixels;
}

// ---- colours ----
using TColor = std::int32_t;
constexpr TColor clSystemColor = TColor(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR, clBackground = clSystemColor | COLOR_BACKGROUND,
                 clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION,
                 clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION, clMenu = clSystemColor | COLOR_MENU,
                 clWindow = clSystemColor | COLOR_WINDOW, clWindowFrame = clSystemColor | COLOR_WINDOWFRAME,
                 clMenuText = clSystemColor | COLOR_MENUTEXT, clWindowText = clSystemColor | COLOR_WINDOWTEXT,
                 clCaptionText = clSystemColor | COLOR_CAPTIONTEXT, clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER,
                 clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER,
                 clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE, clHighlight = clSystemColor | COLOR_HIGHLIGHT,
                 clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT, clBtnFace = clSystemColor | COLOR_BTNFACE,
                 clBtnShadow = clSystemColor | COLOR_BTNSHADOW, clGrayText = clSystemColor | COLOR_GRAYTEXT,
                 clBtnText = clSystemColor | COLOR_BTNTEXT,
                 clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT,
                 clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT, cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW,
                 cl3DLight = clSystemColor | COLOR_3DLIGHT, clInfoText = clSystemColor | COLOR_INFOTEXT,
                 clInfoBk = clSystemColor | COLOR_INFOBK, clHotLight = clSystemColor | COLOR_HOTLIGHT,
                 clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION,
                 clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION,
                 clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT, clMenuBar = clSystemColor | COLOR_MENUBAR;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clWhite = 0xFFFFFF, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0, clNone = 0x1FFFFFFF,
                 clDefault = 0x20000000;

// A system colour becomes its current value; any other colour keeps its low three bytes.
COLORREF ColorToRGB(TColor Color);

// ---- graphics objects ----
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, 4>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;
    // The font for the current attributes, created on first use and after each change; owned by the font.
    HFONT Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at 96 pixels per inch: Size = -Height * 72 / 96, rounded.
    int Size() const;
    void SetSize(int Value);
    const String& Name() const { return FName; }
    void SetName(const String& Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return FPixelsPerInch; }

protected:
    void Changed() override;

private:
    TColor FColor = clWindowText;
    int FHeight = -11;
    String FName = u"MS Sans Serif";
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch = 96;
    HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
public:
    ~TPen() override;
    void Assign(TPersistent* Source) override;
    HPEN Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

protected:
    void Changed() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    HPEN FHandle = nullptr;
};

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    HBRUSH Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned); nullptr for none.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

protected:
    void Changed() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = nullptr;
};

// ---- canvas ----
constexpr DWORD cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY, cmMergePaint = MERGEPAINT,
                cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE, cmPatCopy = PATCOPY, cmPatInvert = PATINVERT,
                cmPatPaint = PATPAINT, cmSrcAnd = SRCAND, cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE,
                cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;
using TCopyMode = DWORD;

class TGraphic;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context with the canvas's font, pen, brush and colours selected; a canvas without one asks
    // CreateHandle (EInvalidOperation "Canvas does not allow drawing" when it cannot have one).
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value);
    TRect ClipRect();
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    // Serialises drawing from several threads: the GUI thread and workers lock around their drawing.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(const std::vector<TPoint>& Points);
    void Polygon(const std::vector<TPoint>& Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    void TextOut(int X, int Y, const String& Text);
    // Text clipped to R; the rectangle is filled with the brush unless the brush is clear.
    void TextRect(const TRect& R, int X, int Y, const String& Text);
    TSize TextExtent(const String& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Copies Source of Bitmap to Dest with the pixels of Color replaced by the brush.
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
    // Drops the DC's selected objects so that the font, pen and brush handles may change.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle();
    virtual void Changing();
    virtual void Changed();
    // Selects the font, pen and brush and sets the colours and modes they need.
    void RequiredState();
    void DeselectHandles();

private:
    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TPen> FPen = std::make_unique<TPen>();
    std::unique_ptr<TBrush> FBrush = std::make_unique<TBrush>();
    TCopyMode FCopyMode = cmSrcCopy;
    HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
    std::recursive_mutex FLock;
    int FLockCount = 0;
};

// ---- pictures ----
class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

    TNotifyEvent OnChange;

    // Drawing entry used by TCanvas.Draw and StretchDraw.
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

protected:
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };
// What the fourth byte of a 32-bit bitmap means when it is drawn.
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void Assign(TPersistent* Source) override;
    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    // New pixels are white; pixels of the old picture that still fit are kept.
    void SetSize(int AWidth, int AHeight);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool Value) { SetPixelFormat(Value ? pf1bit : pfDevice); }
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat Value);
    HBITMAP Handle() const { return FHandle; }
    // Gives up the bitmap: the caller owns the handle; the TBitmap becomes empty.
    HBITMAP ReleaseHandle();
    TCanvas* Canvas();
    // Row Row of the picture (0 = top); EInvalidGraphicOperation "Scan line index out of range" outside it.
    void* ScanLine(int Row);
    int BitsPerPixel() const;

    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);
    // tmAuto: the bottom-left pixel's colour; tmFixed: the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);

    void LoadFromStream(TStream* Stream) override;
    // A BMP resource of the program (EResNotFound "Resource %s not found" when there is none).
    void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    // Writes a BMP file of the pixel format's depth (pfDevice as 32 bits), rows bottom-up.
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void Dormant() {}
    void FreeImage() {}

    // The palette of indexed formats (1, 4, 8 bits).
    std::vector<RGBQUAD> Palette() const;
    void SetPalette(const std::vector<RGBQUAD>& Value);

private:
    void Recreate(int AWidth, int AHeight, TPixelFormat Format, const std::vector<RGBQUAD>* Palette);
    friend class TBitmapCanvas;
    HBITMAP FHandle = nullptr;
    void* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TAlphaFormat FAlphaFormat = afIgnored;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override;
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* FBitmap;
    HDC FDC = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
};

// Icons: 32-bit pictures with straight alpha behind an HICON.
struct ICONINFO {
    BOOL fIcon = true;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;
    HBITMAP hbmColor = nullptr;
};
HICON CreateIconIndirect(const ICONINFO* piconinfo);
// Width x height pixels, 0xAARRGGBB straight alpha, rows top-down.
HICON CreateIconFromPixels(int width, int height, const std::uint32_t* pixels);
BOOL DestroyIcon(HICON hIcon);
HICON CopyIcon(HICON hIcon);
BOOL GetIconSize(HICON hIcon, int* cx, int* cy);
// CopyImage: the icon case only (IMAGE_ICON). The copy has cx x cy pixels (0 keeps the icon's own width or
// height), each the area average of the source pixels it covers, weighted by their alpha; other types, a handle
// that is no icon, or LR_COPYDELETEORG answer null. LR_COPYFROMRESOURCE is accepted: an icon here is its picture.
constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
constexpr UINT LR_COPYDELETEORG = 0x0008, LR_COPYFROMRESOURCE = 0x4000;
HANDLE CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags);
BOOL GetIconPixels(HICON hIcon, std::vector<std::uint32_t>& pixels);
constexpr UINT DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3;
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);

class TIcon : public TGraphic {
public:
    ~TIcon() override;
    void Assign(TPersistent* Source) override;
    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override;
    int Height() const override;
    // An icon's size comes from its picture: EInvalidGraphicOperation "Cannot change the size of an icon".
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    HICON Handle() const { return FHandle; }
    // Takes ownership of Value.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();
    // An .ico file: the largest image is taken (32-bit, 24/8/4/1-bit with mask, or PNG inside).
    void LoadFromStream(TStream* Stream) override;
    // Writes one 32-bit image with its mask.
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    HICON FHandle = nullptr;
};

// PNG pictures: 8 bits per channel after loading (16-bit channels reduced), colour types 0, 2, 3, 4 and 6,
// transparency from tRNS or the alpha channel.
class TPngImage : public TGraphic {
public:
    void Assign(TPersistent* Source) override;
    bool Empty() const override { return FWidth == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);
    // Blue, green, red triplets of row Row (0 = top).
    Byte* Scanline(int Row);
    // Alpha bytes of row Row, nullptr when the picture has no alpha channel.
    Byte* AlphaScanline(int Row);
    bool HasAlpha() const { return FHasAlpha; }
    void CreateAlpha();
    void RemoveAlpha();
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // The picture as straight-alpha 0xAARRGGBB pixels, rows top-down.
    std::vector<std::uint32_t> Pixels() const;
    void SetPixels(int AWidth, int AHeight, const std::uint32_t* Pixels, bool WithAlpha);

private:
    int FWidth = 0, FHeight = 0;
    bool FHasAlpha = false;
    std::vector<Byte> FRGB;   // 3 bytes per pixel, rows top-down without padding
    std::vector<Byte> FAlpha; // 1 byte per pixel when FHasAlpha
};

// A picture format decoded into a TBitmap: JPEG and GIF.
class TBitmapBackedGraphic : public TGraphic {
public:
    bool Empty() const override { return FBitmap->Empty(); }
    int Width() const override { return FBitmap->Width(); }
    int Height() const override { return FBitmap->Height(); }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // The decoded picture.
    TBitmap* Bitmap() const { return FBitmap.get(); }

protected:
    explicit TBitmapBackedGraphic(TPixelFormat Format);
    std::unique_ptr<TBitmap> FBitmap = std::make_unique<TBitmap>();
};

// JPEG pictures: baseline, written at CompressionQuality (90 unless set); decoded into 24 bits.
class TJPEGImage : public TBitmapBackedGraphic {
public:
    TJPEGImage() : TBitmapBackedGraphic(pf24bit) {}
    void Assign(TPersistent* Source) override;
    int CompressionQuality() const { return FCompressionQuality; }
    void SetCompressionQuality(int Value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value) { FGrayscale = Value; }
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

private:
    int FCompressionQuality = 90;
    bool FGrayscale = false;
};

// GIF pictures: the first image, decoded into 32 bits with straight alpha (transparent pixels have alpha 0);
// saving reduces to 256 colours by median cut (exact when the picture has no more than 256 colours) and keeps
// pixels with alpha below 128 transparent.
class TGIFImage : public TBitmapBackedGraphic {
public:
    TGIFImage() : TBitmapBackedGraphic(pf32bit) {}
    void Assign(TPersistent* Source) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
};

// A picture of any kind; files are read by their extension (.bmp, .png, .jpg/.jpeg, .gif, .ico).
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of Value (nullptr clears).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap: another kind of graphic is replaced by an empty TBitmap.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // EInvalidGraphic "Unknown picture file extension (.%s)" for another extension.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void Changed(TObject* Sender);
    void Take(std::unique_ptr<TGraphic> G);
    std::unique_ptr<TGraphic> FGraphic;
};

// A new graphic of the class that reads files with the extension (without the dot, any letter case); nullptr
// for an unknown one.
std::unique_ptr<TGraphic> GraphicForExtension(const String& Ext);
