// Inside the drawing layer: the objects behind the handles, the handle table, device-context state, clipping
// and the pixel helpers shared by the drawing files. Not for use outside platform/gdi.
#pragma once

#include "platform/gdi/GdiRegion.h"
#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace gdi {

struct Object {
    DWORD Type = 0;
    bool Stock = false;
    explicit Object(DWORD type) : Type(type) {}
    virtual ~Object() = default;
};

// Pixels are handled as 0xAARRGGBB values (bytes blue, green, red, alpha in memory).
using Pixel = std::uint32_t;
inline Pixel PixelFromColor(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF ColorFromPixel(Pixel p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

struct Bitmap : Object {
    int Width = 0;
    int Height = 0;
    int BitCount = 32;
    bool TopDown = true;
    int Stride = 0;
    bool DibSection = false;
    std::vector<RGBQUAD> Palette; // for 1, 4 and 8 bits
    std::unique_ptr<std::uint8_t[]> Storage;
    std::uint8_t* Bits = nullptr; // Storage, or memory that a caller owns (temporary DIB views)

    Bitmap() : Object(OBJ_BITMAP) {}
    // Zero-filled pixels; false when the size is not possible.
    bool Allocate(int width, int height, int bitCount, bool topDown);
    std::uint8_t* Row(int y) const { return Bits + std::ptrdiff_t(TopDown ? y : Height - 1 - y) * Stride; }
    Pixel Get(int x, int y) const;
    void Set(int x, int y, Pixel p);
    int NearestIndex(Pixel p) const;
    mutable Pixel FLastPixel = 0xFFFFFFFF;
    mutable int FLastIndex = 0;
};

struct Pen : Object {
    LOGPEN Log;
    Pen() : Object(OBJ_PEN) {}
};

struct Brush : Object {
    UINT Style = BS_SOLID;
    COLORREF Color = 0;
    int Hatch = 0;
    std::shared_ptr<Bitmap> Pattern;
    Brush() : Object(OBJ_BRUSH) {}
};

struct Font : Object {
    LOGFONTW Log;
    Font() : Object(OBJ_FONT) {}
};

struct Region : Object {
    GdiRegion Rgn;
    Region() : Object(OBJ_REGION) {}
};

struct Palette : Object {
    Palette() : Object(OBJ_PAL) {}
};

template <class T> struct Selected {
    HGDIOBJ Handle = nullptr;
    std::shared_ptr<T> Obj;
};

struct DCState {
    POINT WindowOrg;
    POINT ViewportOrg;
    std::optional<GdiRegion> ClipRgn; // device coordinates
    int BkMode = OPAQUE;
    COLORREF BkColor = RGB(255, 255, 255);
    COLORREF TextColor = 0;
    int StretchMode = BLACKONWHITE;
    int Rop2 = R2_COPYPEN;
    int PolyFillMode = ALTERNATE;
    POINT BrushOrg;
    POINT CurPos;
    UINT TextAlign = 0;
    COLORREF DCBrushColor = RGB(255, 255, 255);
    COLORREF DCPenColor = 0;
    Selected<Pen> SelPen;
    Selected<Brush> SelBrush;
    Selected<Font> SelFont;
    Selected<Bitmap> SelBitmap;
};

struct DC : Object {
    bool Memory = true;
    bool Screen = false;
    POINT SurfaceOrigin;
    std::optional<GdiRegion> VisRgn; // surface coordinates
    std::shared_ptr<Bitmap> Surface; // for a window DC; a memory DC draws into its selected bitmap
    DCState S;
    std::vector<DCState> Saved;

    DC() : Object(OBJ_MEMDC) {}
    Bitmap* Target() const { return Memory ? S.SelBitmap.Obj.get() : Surface.get(); }
    // Surface point of logical point (0, 0).
    int OffX() const { return S.ViewportOrg.X - S.WindowOrg.X + SurfaceOrigin.X; }
    int OffY() const { return S.ViewportOrg.Y - S.WindowOrg.Y + SurfaceOrigin.Y; }
    // The region drawing may touch, in surface coordinates.
    const GdiRegion& Clip() const;
    bool ClipIsRect() const {
        return Clip().Bands().size() <= 1 && (Clip().IsEmpty() || Clip().Bands()[0].Spans.size() == 1);
    }
    void InvalidateClip() { FClipValid = false; }

private:
    mutable GdiRegion FClip;
    mutable bool FClipValid = false;
};

HGDIOBJ AddObject(std::shared_ptr<Object> obj);
std::shared_ptr<Object> FindObject(HGDIOBJ h);
template <class T> std::shared_ptr<T> Find(HGDIOBJ h, DWORD type) {
    auto o = FindObject(h);
    if (!o || (o->Type != type && !(type == OBJ_DC && o->Type == OBJ_MEMDC)))
        return nullptr;
    return std::static_pointer_cast<T>(o);
}
std::shared_ptr<DC> FindDC(HDC hdc);
std::shared_ptr<Brush> BrushOf(HBRUSH h); // includes the system colour brushes 1..31
std::shared_ptr<Bitmap> DefaultBitmap();  // the 1 x 1 monochrome bitmap of a new memory DC

// Raster operations on whole pixels.
Pixel Rop3(BYTE code, Pixel p, Pixel s, Pixel d);
inline Pixel Rop2(int rop2, Pixel p, Pixel d) {
    switch (rop2) {
    case R2_COPYPEN:
        return p;
    case R2_NOT:
        return ~d;
    case R2_XORPEN:
        return p ^ d;
    case R2_NOP:
        return d;
    default: {
        unsigned idx = unsigned(rop2 - 1) & 15;
        Pixel r = 0;
        if (idx & 1)
            r |= ~p & ~d;
        if (idx & 2)
            r |= ~p & d;
        if (idx & 4)
            r |= p & ~d;
        if (idx & 8)
            r |= p & d;
        return r;
    }
    }
}

// Brush pixels for a target: solid colour, hatch or pattern, aligned to the brush origin in device space.
struct BrushSource {
    bool Null = true;
    bool Solid = true;
    Pixel Color = 0;
    const Brush* B = nullptr;
    Pixel Fore = 0, Back = 0; // for hatches and monochrome patterns
    bool Transparent = false; // hatch gaps with a transparent background
    int OrgX = 0, OrgY = 0;   // surface point where the pattern starts
    Pixel At(int sx, int sy) const;
    bool Covers(int sx, int sy) const; // false for hatch gaps in transparent mode
};
BrushSource MakeBrushSource(const DC& dc, const Brush* brush);

// Calls fn(x0, x1) for the parts of surface row y, columns [x0, x1), that the DC may paint.
template <class Fn> void ClipSpan(const DC& dc, int y, int x0, int x1, Fn&& fn) {
    if (x0 >= x1)
        return;
    const GdiRegion::Band* band = dc.Clip().BandAt(y);
    if (!band)
        return;
    for (const auto& s : band->Spans) {
        int a = s.Left > x0 ? s.Left : x0;
        int b = s.Right < x1 ? s.Right : x1;
        if (a < b)
            fn(a, b);
    }
}

// Fills surface rectangle r (clipped) with the brush and raster operation (rop3 with P = brush, D = dest).
void FillSurfaceRect(DC& dc, const TRect& r, const BrushSource& brush, BYTE rop3);
// Paints the region given in surface coordinates with the brush, ROP2 style.
void FillSurfaceRegion(DC& dc, const GdiRegion& rgn, const BrushSource& brush, int rop2);
// One pixel in the pen colour with the DC's ROP2 (surface coordinates, clipped).
void PlotPixel(DC& dc, int sx, int sy, Pixel color, int rop2);

// Shared with the text code: sets pixel with coverage 0..255 of colour c.
void BlendCoverage(Bitmap& bmp, int x, int y, Pixel c, int coverage);

} // namespace gdi
