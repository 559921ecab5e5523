// Raster operations, brushes on pixels, blits, DIB transfers, pixels and the rectangle routines.
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <cstring>

namespace gdi {

Pixel Rop3(BYTE code, Pixel p, Pixel s, Pixel d) {
    switch (code) {
    case 0xCC:
        return s;
    case 0xF0:
        return p;
    case 0x00:
        return 0;
    case 0xFF:
        return 0xFFFFFFFF;
    case 0x55:
        return ~d;
    case 0x88:
        return s & d;
    case 0xEE:
        return s | d;
    case 0x66:
        return s ^ d;
    case 0x33:
        return ~s;
    case 0x5A:
        return p ^ d;
    case 0xAA:
        return d;
    default: {
        Pixel r = 0;
        for (int i = 0; i < 8; ++i) {
            if (!(code & (1 << i)))
                continue;
            Pixel t = (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
            r |= t;
        }
        return r;
    }
    }
}

namespace {

bool UsesSource(BYTE code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
bool UsesPattern(BYTE code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}

bool HatchBit(int hatch, int px, int py) {
    switch (hatch) {
    case HS_HORIZONTAL:
        return py == 7;
    case HS_VERTICAL:
        return px == 7;
    case HS_FDIAGONAL:
        return px == py;
    case HS_BDIAGONAL:
        return px + py == 7;
    case HS_CROSS:
        return px == 7 || py == 7;
    default:
        return px == py || px + py == 7;
    }
}

int Mod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}

bool MonoDDB(const Bitmap& b) {
    return b.BitCount == 1 && !b.DibSection;
}

} // namespace

BrushSource MakeBrushSource(const DC& dc, const Brush* brush) {
    BrushSource bs;
    if (!brush || brush->Style == BS_NULL)
        return bs;
    bs.Null = false;
    bs.B = brush;
    bs.OrgX = dc.SurfaceOrigin.X + dc.S.BrushOrg.X;
    bs.OrgY = dc.SurfaceOrigin.Y + dc.S.BrushOrg.Y;
    static const Brush* dcBrush = Find<Brush>(GetStockObject(DC_BRUSH), OBJ_BRUSH).get();
    COLORREF c = brush == dcBrush ? dc.S.DCBrushColor : brush->Color;
    bs.Color = PixelFromColor(c);
    if (brush->Style == BS_HATCHED) {
        bs.Solid = false;
        bs.Fore = bs.Color;
        bs.Back = PixelFromColor(dc.S.BkColor);
        bs.Transparent = dc.S.BkMode == TRANSPARENT;
    } else if (brush->Style == BS_PATTERN && brush->Pattern) {
        bs.Solid = false;
        bs.Fore = PixelFromColor(dc.S.TextColor);
        bs.Back = PixelFromColor(dc.S.BkColor);
    }
    return bs;
}

Pixel BrushSource::At(int sx, int sy) const {
    if (Solid)
        return Color;
    if (B->Style == BS_HATCHED)
        return HatchBit(B->Hatch, Mod(sx - OrgX, 8), Mod(sy - OrgY, 8)) ? Fore : Back;
    const Bitmap& p = *B->Pattern;
    int px = Mod(sx - OrgX, p.Width), py = Mod(sy - OrgY, p.Height);
    if (MonoDDB(p)) {
        int bit = (p.Row(py)[px >> 3] >> (7 - (px & 7))) & 1;
        return bit ? Back : Fore;
    }
    return p.Get(px, py) & 0xFFFFFF;
}

bool BrushSource::Covers(int sx, int sy) const {
    if (Null)
        return false;
    if (Solid || !Transparent)
        return true;
    return HatchBit(B->Hatch, Mod(sx - OrgX, 8), Mod(sy - OrgY, 8));
}

void FillSurfaceRect(DC& dc, const TRect& r, const BrushSource& brush, BYTE rop3) {
    Bitmap* t = dc.Target();
    if (!t || IsRectEmpty(r))
        return;
    bool needP = UsesPattern(rop3);
    if (needP && brush.Null)
        return;
    for (int y = r.Top; y < r.Bottom; ++y) {
        ClipSpan(dc, y, r.Left, r.Right, [&](int x0, int x1) {
            if (t->BitCount == 32 && rop3 == 0xF0 && brush.Solid) {
                Pixel* row = reinterpret_cast<Pixel*>(t->Row(y));
                std::fill(row + x0, row + x1, brush.Color);
                return;
            }
            for (int x = x0; x < x1; ++x) {
                if (needP && !brush.Covers(x, y))
                    continue;
                Pixel p = needP ? brush.At(x, y) : 0;
                t->Set(x, y, Rop3(rop3, p, 0, t->Get(x, y)));
            }
        });
    }
}

void FillSurfaceRegion(DC& dc, const GdiRegion& rgn, const BrushSource& brush, int rop2) {
    Bitmap* t = dc.Target();
    if (!t || brush.Null)
        return;
    for (const auto& band : rgn.Bands())
        for (int y = band.Top; y < band.Bottom; ++y)
            for (const auto& s : band.Spans)
                ClipSpan(dc, y, s.Left, s.Right, [&](int x0, int x1) {
                    if (t->BitCount == 32 && rop2 == R2_COPYPEN && brush.Solid) {
                        Pixel* row = reinterpret_cast<Pixel*>(t->Row(y));
                        std::fill(row + x0, row + x1, brush.Color);
                        return;
                    }
                    for (int x = x0; x < x1; ++x)
                        if (brush.Covers(x, y))
                            t->Set(x, y, Rop2(rop2, brush.At(x, y), t->Get(x, y)));
                });
}

void PlotPixel(DC& dc, int sx, int sy, Pixel color, int rop2) {
    Bitmap* t = dc.Target();
    if (!t || !dc.Clip().Contains(sx, sy))
        return;
    t->Set(sx, sy, rop2 == R2_COPYPEN ? color : Rop2(rop2, color, t->Get(sx, sy)));
}

void BlendCoverage(Bitmap& bmp, int x, int y, Pixel c, int cov) {
    if (cov <= 0)
        return;
    if (cov >= 255) {
        bmp.Set(x, y, c);
        return;
    }
    Pixel d = bmp.Get(x, y);
    Pixel r = 0;
    for (int sh = 0; sh < 32; sh += 8) {
        int cc = (c >> sh) & 255, dd = (d >> sh) & 255;
        int v = (cc * cov + dd * (255 - cov) + 127) / 255;
        r |= Pixel(v) << sh;
    }
    bmp.Set(x, y, r);
}

} // namespace gdi

using namespace gdi;

namespace {

// Round-to-nearest a * b / 255.
inline int Mul255(int a, int b) {
    int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

enum class BlitKind { Rop, Alpha, Transparent };

struct BlitArgs {
    BlitKind Kind = BlitKind::Rop;
    BYTE Rop = 0xCC;
    BLENDFUNCTION Blend;
    Pixel Key = 0;
};

struct SourceView {
    const Bitmap* Bmp = nullptr;
    int OffX = 0, OffY = 0; // surface point of the source's logical (0, 0)
    COLORREF BkColor = RGB(255, 255, 255);
};

// Source pixel as seen by the destination: monochrome bitmaps take the destination's colours, and a colour
// source becomes white where it equals the source's background colour when the destination is monochrome.
inline Pixel SourcePixel(const SourceView& src, const Bitmap& dstBmp, const DC& dst, int x, int y) {
    const Bitmap& b = *src.Bmp;
    if (MonoDDB(b) && !MonoDDB(dstBmp)) {
        int bit = (b.Row(y)[x >> 3] >> (7 - (x & 7))) & 1;
        return PixelFromColor(bit ? dst.S.BkColor : dst.S.TextColor);
    }
    Pixel p = b.Get(x, y);
    if (MonoDDB(dstBmp) && !MonoDDB(b))
        return (p & 0xFFFFFF) == PixelFromColor(src.BkColor) ? 0xFFFFFF : 0;
    return p;
}

// Nearest-neighbour column/row table: destination index i of n reads source index floor((2i + 1) * m / 2n),
// reversed when mirrored.
void MapTable(std::vector<int>& out, int n, int m, bool mirror) {
    out.resize(n);
    for (int i = 0; i < n; ++i) {
        long long v = ((2LL * i + 1) * m) / (2LL * n);
        out[i] = mirror ? m - 1 - int(v) : int(v);
    }
}

// Negative extents mirror: the rectangles are made positive, and the source is read mirrored where its extent and
// the destination's differ in sign.
void NormalizeExtents(bool needSrc, int& dx, int& dy, int& dw, int& dh, int& sx, int& sy, int& sw, int& sh,
                      bool& mirrorX, bool& mirrorY) {
    mirrorX = mirrorY = false;
    if (needSrc) {
        mirrorX = (dw < 0) != (sw < 0);
        mirrorY = (dh < 0) != (sh < 0);
        if (sw < 0) {
            sx += sw;
            sw = -sw;
        }
        if (sh < 0) {
            sy += sh;
            sh = -sh;
        }
    }
    if (dw < 0) {
        dx += dw;
        dw = -dw;
    }
    if (dh < 0) {
        dy += dh;
        dh = -dh;
    }
}

// A copy of a bitmap, read from when a blit copies within one bitmap.
std::unique_ptr<Bitmap> SnapshotOf(const Bitmap& t) {
    auto snapshot = std::make_unique<Bitmap>();
    snapshot->Allocate(t.Width, t.Height, t.BitCount, t.TopDown);
    std::memcpy(snapshot->Bits, t.Bits, std::size_t(t.Stride) * t.Height);
    snapshot->Palette = t.Palette;
    snapshot->DibSection = t.DibSection;
    return snapshot;
}

inline void PutPixel(Bitmap* t, Pixel* drow, int x, int y, Pixel v) {
    if (drow)
        drow[x] = v;
    else
        t->Set(x, y, v);
}

// Source over destination with the blend function's constant alpha and, with AC_SRC_ALPHA, the source's
// premultiplied alpha; false where the destination stays as it is.
inline bool BlendPixel(Pixel s, Pixel d, const BLENDFUNCTION& bf, Pixel& r) {
    int sca = bf.SourceConstantAlpha;
    r = 0;
    if (bf.AlphaFormat & AC_SRC_ALPHA) {
        if (sca == 255 && (s >> 24) == 255) {
            r = s;
            return true;
        }
        if (sca == 255 && s == 0)
            return false;
        int sa = Mul255(int(s >> 24), sca);
        for (int shf = 0; shf < 32; shf += 8) {
            int sc = Mul255(int((s >> shf) & 255), sca);
            int dc = int((d >> shf) & 255);
            int v = std::min(255, sc + Mul255(dc, 255 - sa));
            r |= Pixel(v) << shf;
        }
        return true;
    }
    for (int shf = 0; shf < 32; shf += 8) {
        int sc = int((s >> shf) & 255), dc = int((d >> shf) & 255);
        r |= Pixel(Mul255(sc, sca) + Mul255(dc, 255 - sca)) << shf;
    }
    return true;
}

// One pass of a stretch: the destination rectangle (surface coordinates) with the tables that map it onto the
// source, and what each pixel combines.
struct StretchPass {
    DC& dst;
    Bitmap* t;
    const BlitArgs& a;
    TRect dr;
    bool needSrc = false, needP = false, fast32 = false, mirrorX = false;
    int sw = 0, dw = 0, srcX0 = 0, srcY0 = 0;
    std::vector<int> cols, rows;
    const Bitmap* sb = nullptr;
    SourceView sv;
    BrushSource brush;

    // Plain 32-bit copies: whole runs when unscaled, a gather through the column table otherwise.
    void CopySpan32(Pixel* drow, const Pixel* srow, int x0, int x1) const {
        if (!mirrorX && sw == dw) {
            int a0 = std::max(x0, dr.Left - srcX0), a1 = std::min(x1, dr.Left - srcX0 + sb->Width);
            if (a0 < a1)
                std::memmove(drow + a0, srow + srcX0 + (a0 - dr.Left), std::size_t(a1 - a0) * 4);
            return;
        }
        const int* col = cols.data() - dr.Left;
        for (int x = x0; x < x1; ++x) {
            int sxx = srcX0 + col[x];
            if (sxx >= 0 && sxx < sb->Width)
                drow[x] = srow[sxx];
        }
    }

    void RopPixel(Pixel* drow, int x, int y, Pixel s) const {
        if (a.Rop == 0xCC) {
            PutPixel(t, drow, x, y, s);
            return;
        }
        Pixel p = 0;
        if (needP) {
            if (!brush.Covers(x, y))
                return;
            p = brush.At(x, y);
        }
        Pixel d = drow ? drow[x] : t->Get(x, y);
        PutPixel(t, drow, x, y, Rop3(a.Rop, p, s, d));
    }

    void Span(int y, int syy, int x0, int x1) const {
        Pixel* drow = t->BitCount == 32 ? reinterpret_cast<Pixel*>(t->Row(y)) : nullptr;
        const Pixel* srow = fast32 ? reinterpret_cast<const Pixel*>(sb->Row(syy)) : nullptr;
        if (srow && a.Kind == BlitKind::Rop && a.Rop == 0xCC) {
            CopySpan32(drow, srow, x0, x1);
            return;
        }
        for (int x = x0; x < x1; ++x) {
            Pixel s = 0;
            if (needSrc) {
                int sxx = srcX0 + cols[x - dr.Left];
                if (sxx < 0 || sxx >= sb->Width)
                    continue;
                s = srow ? srow[sxx] : SourcePixel(sv, *t, dst, sxx, syy);
            }
            switch (a.Kind) {
            case BlitKind::Rop:
                RopPixel(drow, x, y, s);
                break;
            case BlitKind::Transparent:
                if ((s & 0xFFFFFF) != a.Key)
                    PutPixel(t, drow, x, y, s);
                break;
            case BlitKind::Alpha: {
                Pixel r;
                if (BlendPixel(s, drow ? drow[x] : t->Get(x, y), a.Blend, r))
                    PutPixel(t, drow, x, y, r);
                break;
            }
            }
        }
    }
};

BOOL StretchCore(DC& dst, int dx, int dy, int dw, int dh, const SourceView* src, int sx, int sy, int sw, int sh,
                 const BlitArgs& a) {
    Bitmap* t = dst.Target();
    if (!t)
        return false;
    if (dw == 0 || dh == 0)
        return true;
    bool needSrc = a.Kind != BlitKind::Rop || UsesSource(a.Rop);
    if (needSrc && (!src || !src->Bmp || sw == 0 || sh == 0))
        return false;
    bool mirrorX = false, mirrorY = false;
    NormalizeExtents(needSrc, dx, dy, dw, dh, sx, sy, sw, sh, mirrorX, mirrorY);
    TRect dr{dx + dst.OffX(), dy + dst.OffY(), 0, 0};
    dr.Right = dr.Left + dw;
    dr.Bottom = dr.Top + dh;
    StretchPass pass{dst, t, a, dr};
    pass.needSrc = needSrc;
    pass.needP = a.Kind == BlitKind::Rop && UsesPattern(a.Rop);
    pass.mirrorX = mirrorX;
    pass.sw = sw;
    pass.dw = dw;
    std::unique_ptr<Bitmap> snapshot;
    if (needSrc) {
        pass.sb = src->Bmp;
        pass.srcX0 = sx + src->OffX;
        pass.srcY0 = sy + src->OffY;
        MapTable(pass.cols, dw, sw, mirrorX);
        MapTable(pass.rows, dh, sh, mirrorY);
        if (pass.sb == t) {
            // Overlapping copy within one bitmap: read from a snapshot.
            snapshot = SnapshotOf(*t);
            pass.sb = snapshot.get();
        }
        pass.sv = *src;
        pass.sv.Bmp = pass.sb;
        pass.fast32 = t->BitCount == 32 && pass.sb->BitCount == 32;
    }
    if (pass.needP) {
        pass.brush = MakeBrushSource(dst, dst.S.SelBrush.Obj.get());
        if (pass.brush.Null)
            return true;
    }
    for (int y = dr.Top; y < dr.Bottom; ++y) {
        int syy = 0;
        if (needSrc) {
            syy = pass.srcY0 + pass.rows[y - dr.Top];
            if (syy < 0 || syy >= pass.sb->Height)
                continue;
        }
        ClipSpan(dst, y, dr.Left, dr.Right, [&](int x0, int x1) { pass.Span(y, syy, x0, x1); });
    }
    return true;
}

SourceView ViewOf(const DC& dc) {
    SourceView v;
    v.Bmp = dc.Target();
    v.OffX = dc.OffX();
    v.OffY = dc.OffY();
    v.BkColor = dc.S.BkColor;
    return v;
}

// A bitmap over memory that a caller owns (DIB transfers).
bool MakeDibView(Bitmap& v, const BITMAPINFO* bmi, const void* bits, int lines) {
    if (!bmi || !bits)
        return false;
    const auto& h = bmi->bmiHeader;
    int bc = h.biBitCount;
    if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 65536)
        return false;
    if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
        return false;
    v.Width = h.biWidth;
    v.Height = lines;
    v.BitCount = bc;
    v.TopDown = h.biHeight < 0;
    v.Stride = DibStride(h.biWidth, bc);
    v.DibSection = true;
    v.Bits = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(bits));
    if (bc <= 8) {
        int n = int(h.biClrUsed);
        if (n <= 0 || n > (1 << bc))
            n = 1 << bc;
        v.Palette.assign(bmi->bmiColors, bmi->bmiColors + n);
    }
    return lines > 0;
}

} // namespace

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    if (cx < 0 || cy < 0)
        return false;
    return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    auto dst = FindDC(hdc);
    if (!dst)
        return false;
    BlitArgs a;
    a.Rop = BYTE(rop >> 16);
    if (UsesSource(a.Rop))
        return false;
    return StretchCore(*dst, x, y, w, h, nullptr, 0, 0, 0, 0, a);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
    auto dst = FindDC(hdcDest);
    if (!dst)
        return false;
    BlitArgs a;
    a.Rop = BYTE(rop >> 16);
    if (!UsesSource(a.Rop))
        return StretchCore(*dst, xDest, yDest, wDest, hDest, nullptr, 0, 0, 0, 0, a);
    auto src = FindDC(hdcSrc);
    if (!src)
        return false;
    SourceView sv = ViewOf(*src);
    return StretchCore(*dst, xDest, yDest, wDest, hDest, &sv, xSrc, ySrc, wSrc, hSrc, a);
}

BOOL AlphaBlend(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws, int hs,
                BLENDFUNCTION ftn) {
    auto dst = FindDC(hdcDest);
    auto src = FindDC(hdcSrc);
    if (!dst || !src || wd < 0 || hd < 0 || ws < 0 || hs < 0 || ftn.BlendOp != AC_SRC_OVER)
        return false;
    SourceView sv = ViewOf(*src);
    if (!sv.Bmp)
        return false;
    if ((ftn.AlphaFormat & AC_SRC_ALPHA) && sv.Bmp->BitCount != 32)
        return false;
    // The source rectangle must lie inside the source bitmap.
    int l = xs + sv.OffX, t = ys + sv.OffY;
    if (l < 0 || t < 0 || l + ws > sv.Bmp->Width || t + hs > sv.Bmp->Height)
        return false;
    BlitArgs a;
    a.Kind = BlitKind::Alpha;
    a.Blend = ftn;
    return StretchCore(*dst, xd, yd, wd, hd, &sv, xs, ys, ws, hs, a);
}

BOOL TransparentBlt(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws, int hs,
                    UINT crTransparent) {
    auto dst = FindDC(hdcDest);
    auto src = FindDC(hdcSrc);
    if (!dst || !src || wd < 0 || hd < 0 || ws < 0 || hs < 0)
        return false;
    SourceView sv = ViewOf(*src);
    BlitArgs a;
    a.Kind = BlitKind::Transparent;
    a.Key = PixelFromColor(crTransparent & 0xFFFFFF);
    return StretchCore(*dst, xd, yd, wd, hd, &sv, xs, ys, ws, hs, a);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = FindDC(hdc);
    if (!dc || !dc->Target())
        return CLR_INVALID;
    int sx = x + dc->OffX(), sy = y + dc->OffY();
    if (!dc->Clip().Contains(sx, sy))
        return CLR_INVALID;
    Bitmap* t = dc->Target();
    t->Set(sx, sy, PixelFromColor(color & 0xFFFFFF));
    return ColorFromPixel(t->Get(sx, sy) & 0xFFFFFF);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = FindDC(hdc);
    if (!dc || !dc->Target())
        return CLR_INVALID;
    int sx = x + dc->OffX(), sy = y + dc->OffY();
    if (!dc->Clip().Contains(sx, sy))
        return CLR_INVALID;
    return ColorFromPixel(dc->Target()->Get(sx, sy) & 0xFFFFFF);
}

// ---- DIB transfers ----

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan, UINT cLines,
                      const void* bits, const BITMAPINFO* bmi, UINT) {
    auto dst = FindDC(hdc);
    if (!dst || !bmi)
        return 0;
    int H = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
    bool topDown = bmi->bmiHeader.biHeight < 0;
    int lines = int(std::min<UINT>(cLines, UINT(std::max(0, H - int(startScan)))));
    Bitmap view;
    if (!MakeDibView(view, bmi, bits, lines))
        return 0;
    // Source coordinates count from the bottom-left for bottom-up DIBs; the buffer holds scans
    // startScan .. startScan + lines - 1 of the picture.
    int top = topDown ? ySrc : H - (ySrc + int(h));
    int viewTop = topDown ? int(startScan) : H - int(startScan) - lines;
    SourceView sv;
    sv.Bmp = &view;
    sv.OffX = 0;
    sv.OffY = -viewTop;
    BlitArgs a;
    // Rows outside the scans held are skipped by the stretch core's bounds check.
    StretchCore(*dst, xDest, yDest, int(w), int(h), &sv, xSrc, top, int(w), int(h), a);
    return lines;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* bits, const BITMAPINFO* bmi, UINT, DWORD rop) {
    auto dst = FindDC(hdc);
    if (!dst || !bmi)
        return 0;
    int H = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
    bool topDown = bmi->bmiHeader.biHeight < 0;
    Bitmap view;
    if (!MakeDibView(view, bmi, bits, H))
        return 0;
    int top = topDown ? ySrc : H - (ySrc + SrcHeight);
    SourceView sv;
    sv.Bmp = &view;
    BlitArgs a;
    a.Rop = BYTE(rop >> 16);
    if (!StretchCore(*dst, xDest, yDest, DestWidth, DestHeight, &sv, xSrc, top, SrcWidth, SrcHeight, a))
        return 0;
    return H;
}

int GetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, void* bits, BITMAPINFO* bmi, UINT) {
    auto b = Find<Bitmap>(hbm, OBJ_BITMAP);
    if (!b || !bmi)
        return 0;
    auto& h = bmi->bmiHeader;
    if (!bits) {
        // Describe the bitmap: size, depth (unless asked for one) and image size.
        if (h.biBitCount == 0) {
            h.biWidth = b->Width;
            h.biHeight = b->Height;
            h.biPlanes = 1;
            h.biBitCount = WORD(b->BitCount);
            h.biCompression = BI_RGB;
            h.biSizeImage = DWORD(DibStride(b->Width, b->BitCount) * b->Height);
            return b->Height;
        }
        h.biSizeImage = DWORD(DibStride(h.biWidth, h.biBitCount) * (h.biHeight < 0 ? -h.biHeight : h.biHeight));
        return b->Height;
    }
    if (h.biWidth != b->Width || (h.biHeight != b->Height && h.biHeight != -b->Height))
        return 0;
    int bc = h.biBitCount;
    if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
        return 0;
    // Colour table of the result: the bitmap's own when the depth matches, else a standard one.
    if (bc <= 8) {
        std::vector<RGBQUAD> pal;
        if (b->BitCount == bc && !b->Palette.empty()) {
            pal = b->Palette;
        } else {
            Bitmap tmp;
            tmp.BitCount = bc;
            HBITMAP std = CreateBitmap(1, 1, 1, UINT(bc), nullptr);
            pal = Find<Bitmap>(std, OBJ_BITMAP)->Palette;
            DeleteObject(std);
        }
        pal.resize(std::size_t(1) << bc);
        for (std::size_t i = 0; i < pal.size(); ++i)
            bmi->bmiColors[i] = pal[i];
        h.biClrUsed = 0;
    }
    int H = b->Height;
    int lines = int(std::min<UINT>(cLines, UINT(std::max(0, H - int(start)))));
    if (lines <= 0)
        return 0;
    Bitmap view;
    if (!MakeDibView(view, bmi, bits, lines))
        return 0;
    bool topDown = h.biHeight < 0;
    int viewTop = topDown ? int(start) : H - int(start) - lines;
    for (int y = 0; y < lines; ++y)
        for (int x = 0; x < b->Width; ++x)
            view.Set(x, y, b->Get(x, viewTop + y));
    return lines;
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, const void* bits, const BITMAPINFO* bmi, UINT) {
    auto b = Find<Bitmap>(hbm, OBJ_BITMAP);
    if (!b || !bmi)
        return 0;
    const auto& h = bmi->bmiHeader;
    if (h.biWidth != b->Width || (h.biHeight != b->Height && h.biHeight != -b->Height))
        return 0;
    int H = b->Height;
    int lines = int(std::min<UINT>(cLines, UINT(std::max(0, H - int(start)))));
    Bitmap view;
    if (!MakeDibView(view, bmi, bits, lines))
        return 0;
    bool topDown = h.biHeight < 0;
    int viewTop = topDown ? int(start) : H - int(start) - lines;
    for (int y = 0; y < lines; ++y)
        for (int x = 0; x < b->Width; ++x)
            b->Set(x, viewTop + y, view.Get(x, y));
    return lines;
}

// ---- rectangles with brushes ----

namespace {

TRect ToSurface(const DC& dc, const RECT& r) {
    return {r.Left + dc.OffX(), r.Top + dc.OffY(), r.Right + dc.OffX(), r.Bottom + dc.OffY()};
}

} // namespace

int FillRect(HDC hdc, const RECT* rc, HBRUSH hbr) {
    auto dc = FindDC(hdc);
    auto br = BrushOf(hbr);
    if (!dc || !rc || !br)
        return 0;
    FillSurfaceRect(*dc, ToSurface(*dc, *rc), MakeBrushSource(*dc, br.get()), 0xF0);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH hbr) {
    auto dc = FindDC(hdc);
    auto br = BrushOf(hbr);
    if (!dc || !rc || !br)
        return 0;
    TRect r = ToSurface(*dc, *rc);
    if (IsRectEmpty(r))
        return 1;
    BrushSource bs = MakeBrushSource(*dc, br.get());
    FillSurfaceRect(*dc, {r.Left, r.Top, r.Right, r.Top + 1}, bs, 0xF0);
    FillSurfaceRect(*dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bs, 0xF0);
    FillSurfaceRect(*dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, bs, 0xF0);
    FillSurfaceRect(*dc, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, bs, 0xF0);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
    auto dc = FindDC(hdc);
    if (!dc || !rc)
        return false;
    FillSurfaceRect(*dc, ToSurface(*dc, *rc), BrushSource{}, 0x55);
    return true;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
    auto dc = FindDC(hdc);
    if (!dc || !rc || !dc->Target())
        return false;
    TRect r = ToSurface(*dc, *rc);
    if (IsRectEmpty(r))
        return true;
    Bitmap* t = dc->Target();
    auto dot = [&](int x, int y) {
        if (((x - dc->SurfaceOrigin.X + y - dc->SurfaceOrigin.Y) & 1) == 0 && dc->Clip().Contains(x, y))
            t->Set(x, y, t->Get(x, y) ^ 0xFFFFFF);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    return true;
}

BOOL DrawEdge(HDC hdc, RECT* qrc, UINT edge, UINT flags) {
    auto dc = FindDC(hdc);
    if (!dc || !qrc)
        return false;
    RECT r = *qrc;
    auto ring = [&](int tl, int br) {
        BrushSource a = MakeBrushSource(*dc, BrushOf(GetSysColorBrush(tl)).get());
        BrushSource b = MakeBrushSource(*dc, BrushOf(GetSysColorBrush(br)).get());
        TRect s = ToSurface(*dc, r);
        if (IsRectEmpty(s))
            return;
        // Top and left in the light colour; bottom and right, corners included, in the dark one.
        if (flags & BF_TOP)
            FillSurfaceRect(*dc, {s.Left, s.Top, s.Right - 1, s.Top + 1}, a, 0xF0);
        if (flags & BF_LEFT)
            FillSurfaceRect(*dc, {s.Left, s.Top, s.Left + 1, s.Bottom - 1}, a, 0xF0);
        if (flags & BF_BOTTOM)
            FillSurfaceRect(*dc, {s.Left, s.Bottom - 1, s.Right, s.Bottom}, b, 0xF0);
        if (flags & BF_RIGHT)
            FillSurfaceRect(*dc, {s.Right - 1, s.Top, s.Right, s.Bottom}, b, 0xF0);
        if (flags & BF_LEFT)
            ++r.Left;
        if (flags & BF_TOP)
            ++r.Top;
        if (flags & BF_RIGHT)
            --r.Right;
        if (flags & BF_BOTTOM)
            --r.Bottom;
    };
    UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    if (flags & BF_MONO) {
        if (outer)
            ring(COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
        if (inner)
            ring(COLOR_WINDOW, COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        if (outer)
            ring(COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        if (inner)
            ring(COLOR_BTNFACE, COLOR_BTNFACE);
    } else {
        if (outer == BDR_RAISEDOUTER)
            ring(COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        else if (outer == BDR_SUNKENOUTER)
            ring(COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        if (inner == BDR_RAISEDINNER)
            ring(COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        else if (inner == BDR_SUNKENINNER)
            ring(COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }
    if (flags & BF_MIDDLE) {
        int face = (flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE;
        FillSurfaceRect(*dc, ToSurface(*dc, r), MakeBrushSource(*dc, BrushOf(GetSysColorBrush(face)).get()), 0xF0);
    }
    if (flags & BF_ADJUST)
        *qrc = r;
    return true;
}

// ---- regions painted ----

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto dc = FindDC(hdc);
    auto br = BrushOf(hbr);
    if (!dc || !br || !hrgn)
        return false;
    GdiRegion g = GdiRegionOf(hrgn);
    g.Offset(dc->OffX(), dc->OffY());
    FillSurfaceRegion(*dc, g, MakeBrushSource(*dc, br.get()), R2_COPYPEN);
    return true;
}

BOOL PaintRgn(HDC hdc, HRGN hrgn) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    return FillRgn(hdc, hrgn, static_cast<HBRUSH>(dc->S.SelBrush.Handle));
}

BOOL InvertRgn(HDC hdc, HRGN hrgn) {
    auto dc = FindDC(hdc);
    if (!dc || !hrgn)
        return false;
    GdiRegion g = GdiRegionOf(hrgn);
    g.Offset(dc->OffX(), dc->OffY());
    BrushSource white;
    white.Null = false;
    white.Color = 0xFFFFFF;
    FillSurfaceRegion(*dc, g, white, R2_XORPEN);
    return true;
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto dc = FindDC(hdc);
    auto br = BrushOf(hbr);
    if (!dc || !br || !hrgn || w < 0 || h < 0)
        return false;
    // The frame is the region minus the region shrunk by w, h (its copies moved inwards, intersected).
    GdiRegion g = GdiRegionOf(hrgn);
    GdiRegion inner = g;
    for (int dx : {-w, w}) {
        GdiRegion m = g;
        m.Offset(dx, 0);
        inner = inner.Intersect(m);
    }
    for (int dy : {-h, h}) {
        GdiRegion m = g;
        m.Offset(0, dy);
        inner = inner.Intersect(m);
    }
    GdiRegion frame = g.Subtract(inner);
    frame.Offset(dc->OffX(), dc->OffY());
    FillSurfaceRegion(*dc, frame, MakeBrushSource(*dc, br.get()), R2_COPYPEN);
    return true;
}
