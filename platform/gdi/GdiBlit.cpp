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
        Pixel R = 0;
        for (int I = 0; I < 8; ++I) {
            if (!(code & (1 << I)))
                continue;
            Pixel T = (I & 4 ? p : ~p) & (I & 2 ? s : ~s) & (I & 1 ? d : ~d);
            R |= T;
        }
        return R;
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
    int R = a % m;
    return R < 0 ? R + m : R;
}

bool MonoDDB(const Bitmap& b) {
    return b.BitCount == 1 && !b.DibSection;
}

} // namespace

BrushSource MakeBrushSource(const DC& dc, const Brush* brush) {
    BrushSource Bs;
    if (!brush || brush->Style == BS_NULL)
        return Bs;
    Bs.Null = false;
    Bs.B = brush;
    Bs.OrgX = dc.SurfaceOrigin.X + dc.S.BrushOrg.X;
    Bs.OrgY = dc.SurfaceOrigin.Y + dc.S.BrushOrg.Y;
    static const Brush* DcBrush = Find<Brush>(GetStockObject(DC_BRUSH), OBJ_BRUSH).get();
    COLORREF C = brush == DcBrush ? dc.S.DCBrushColor : brush->Color;
    Bs.Color = PixelFromColor(C);
    if (brush->Style == BS_HATCHED) {
        Bs.Solid = false;
        Bs.Fore = Bs.Color;
        Bs.Back = PixelFromColor(dc.S.BkColor);
        Bs.Transparent = dc.S.BkMode == TRANSPARENT;
    } else if (brush->Style == BS_PATTERN && brush->Pattern) {
        Bs.Solid = false;
        Bs.Fore = PixelFromColor(dc.S.TextColor);
        Bs.Back = PixelFromColor(dc.S.BkColor);
    }
    return Bs;
}

Pixel BrushSource::At(int sx, int sy) const {
    if (Solid)
        return Color;
    if (B->Style == BS_HATCHED)
        return HatchBit(B->Hatch, Mod(sx - OrgX, 8), Mod(sy - OrgY, 8)) ? Fore : Back;
    const Bitmap& P = *B->Pattern;
    int Px = Mod(sx - OrgX, P.Width), Py = Mod(sy - OrgY, P.Height);
    if (MonoDDB(P)) {
        int Bit = (P.Row(Py)[Px >> 3] >> (7 - (Px & 7))) & 1;
        return Bit ? Back : Fore;
    }
    return P.Get(Px, Py) & 0xFFFFFF;
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
    bool NeedP = UsesPattern(rop3);
    if (NeedP && brush.Null)
        return;
    for (int y = r.Top; y < r.Bottom; ++y) {
        ClipSpan(dc, y, r.Left, r.Right, [&](int x0, int x1) {
            if (t->BitCount == 32 && rop3 == 0xF0 && brush.Solid) {
                Pixel* Row = reinterpret_cast<Pixel*>(t->Row(y));
                std::fill(Row + x0, Row + x1, brush.Color);
                return;
            }
            for (int X = x0; X < x1; ++X) {
                if (NeedP && !brush.Covers(X, y))
                    continue;
                Pixel P = NeedP ? brush.At(X, y) : 0;
                t->Set(X, y, Rop3(rop3, P, 0, t->Get(X, y)));
            }
        });
    }
}

void FillSurfaceRegion(DC& dc, const GdiRegion& rgn, const BrushSource& brush, int rop2) {
    Bitmap* t = dc.Target();
    if (!t || brush.Null)
        return;
    for (const auto& Band : rgn.Bands())
        for (int Y = Band.Top; Y < Band.Bottom; ++Y)
            for (const auto& S : Band.Spans)
                ClipSpan(dc, Y, S.Left, S.Right, [&](int x0, int x1) {
                    if (t->BitCount == 32 && rop2 == R2_COPYPEN && brush.Solid) {
                        Pixel* Row = reinterpret_cast<Pixel*>(t->Row(Y));
                        std::fill(Row + x0, Row + x1, brush.Color);
                        return;
                    }
                    for (int X = x0; X < x1; ++X)
                        if (brush.Covers(X, Y))
                            t->Set(X, Y, Rop2(rop2, brush.At(X, Y), t->Get(X, Y)));
                });
}

void PlotPixel(DC& dc, int sx, int sy, Pixel color, int rop2) {
    Bitmap* T = dc.Target();
    if (!T || !dc.Clip().Contains(sx, sy))
        return;
    T->Set(sx, sy, rop2 == R2_COPYPEN ? color : Rop2(rop2, color, T->Get(sx, sy)));
}

void BlendCoverage(Bitmap& bmp, int x, int y, Pixel c, int cov) {
    if (cov <= 0)
        return;
    if (cov >= 255) {
        bmp.Set(x, y, c);
        return;
    }
    Pixel D = bmp.Get(x, y);
    Pixel R = 0;
    for (int Sh = 0; Sh < 32; Sh += 8) {
        int Cc = (c >> Sh) & 255, Dd = (D >> Sh) & 255;
        int V = (Cc * cov + Dd * (255 - cov) + 127) / 255;
        R |= Pixel(V) << Sh;
    }
    bmp.Set(x, y, R);
}

} // namespace gdi

using namespace gdi;

namespace {

// Round-to-nearest a * b / 255.
inline int Mul255(int a, int b) {
    int T = a * b + 128;
    return (T + (T >> 8)) >> 8;
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
    const Bitmap& B = *src.Bmp;
    if (MonoDDB(B) && !MonoDDB(dstBmp)) {
        int Bit = (B.Row(y)[x >> 3] >> (7 - (x & 7))) & 1;
        return PixelFromColor(Bit ? dst.S.BkColor : dst.S.TextColor);
    }
    Pixel P = B.Get(x, y);
    if (MonoDDB(dstBmp) && !MonoDDB(B))
        return (P & 0xFFFFFF) == PixelFromColor(src.BkColor) ? 0xFFFFFF : 0;
    return P;
}

// Nearest-neighbour column/row table: destination index i of n reads source index floor((2i + 1) * m / 2n),
// reversed when mirrored.
void MapTable(std::vector<int>& out, int n, int m, bool mirror) {
    out.resize(n);
    for (int I = 0; I < n; ++I) {
        long long V = ((2LL * I + 1) * m) / (2LL * n);
        out[I] = mirror ? m - 1 - int(V) : int(V);
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
    auto Snapshot = std::make_unique<Bitmap>();
    Snapshot->Allocate(t.Width, t.Height, t.BitCount, t.TopDown);
    std::memcpy(Snapshot->Bits, t.Bits, std::size_t(t.Stride) * t.Height);
    Snapshot->Palette = t.Palette;
    Snapshot->DibSection = t.DibSection;
    return Snapshot;
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
    int Sca = bf.SourceConstantAlpha;
    r = 0;
    if (bf.AlphaFormat & AC_SRC_ALPHA) {
        if (Sca == 255 && (s >> 24) == 255) {
            r = s;
            return true;
        }
        if (Sca == 255 && s == 0)
            return false;
        int Sa = Mul255(int(s >> 24), Sca);
        for (int Shf = 0; Shf < 32; Shf += 8) {
            int Sc = Mul255(int((s >> Shf) & 255), Sca);
            int Dc = int((d >> Shf) & 255);
            int V = std::min(255, Sc + Mul255(Dc, 255 - Sa));
            r |= Pixel(V) << Shf;
        }
        return true;
    }
    for (int Shf = 0; Shf < 32; Shf += 8) {
        int Sc = int((s >> Shf) & 255), Dc = int((d >> Shf) & 255);
        r |= Pixel(Mul255(Sc, Sca) + Mul255(Dc, 255 - Sca)) << Shf;
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
            int A0 = std::max(x0, dr.Left - srcX0), A1 = std::min(x1, dr.Left - srcX0 + sb->Width);
            if (A0 < A1)
                std::memmove(drow + A0, srow + srcX0 + (A0 - dr.Left), std::size_t(A1 - A0) * 4);
            return;
        }
        const int* Col = cols.data() - dr.Left;
        for (int X = x0; X < x1; ++X) {
            int Sxx = srcX0 + Col[X];
            if (Sxx >= 0 && Sxx < sb->Width)
                drow[X] = srow[Sxx];
        }
    }

    void RopPixel(Pixel* drow, int x, int y, Pixel s) const {
        if (a.Rop == 0xCC) {
            PutPixel(t, drow, x, y, s);
            return;
        }
        Pixel P = 0;
        if (needP) {
            if (!brush.Covers(x, y))
                return;
            P = brush.At(x, y);
        }
        Pixel D = drow ? drow[x] : t->Get(x, y);
        PutPixel(t, drow, x, y, Rop3(a.Rop, P, s, D));
    }

    void Span(int y, int syy, int x0, int x1) const {
        Pixel* Drow = t->BitCount == 32 ? reinterpret_cast<Pixel*>(t->Row(y)) : nullptr;
        const Pixel* Srow = fast32 ? reinterpret_cast<const Pixel*>(sb->Row(syy)) : nullptr;
        if (Srow && a.Kind == BlitKind::Rop && a.Rop == 0xCC) {
            CopySpan32(Drow, Srow, x0, x1);
            return;
        }
        for (int X = x0; X < x1; ++X) {
            Pixel S = 0;
            if (needSrc) {
                int Sxx = srcX0 + cols[X - dr.Left];
                if (Sxx < 0 || Sxx >= sb->Width)
                    continue;
                S = Srow ? Srow[Sxx] : SourcePixel(sv, *t, dst, Sxx, syy);
            }
            switch (a.Kind) {
            case BlitKind::Rop:
                RopPixel(Drow, X, y, S);
                break;
            case BlitKind::Transparent:
                if ((S & 0xFFFFFF) != a.Key)
                    PutPixel(t, Drow, X, y, S);
                break;
            case BlitKind::Alpha: {
                Pixel R;
                if (BlendPixel(S, Drow ? Drow[X] : t->Get(X, y), a.Blend, R))
                    PutPixel(t, Drow, X, y, R);
                break;
            }
            }
        }
    }
};

BOOL StretchCore(DC& dst, int dx, int dy, int dw, int dh, const SourceView* src, int sx, int sy, int sw, int sh,
                 const BlitArgs& a) {
    Bitmap* T = dst.Target();
    if (!T)
        return false;
    if (dw == 0 || dh == 0)
        return true;
    bool NeedSrc = a.Kind != BlitKind::Rop || UsesSource(a.Rop);
    if (NeedSrc && (!src || !src->Bmp || sw == 0 || sh == 0))
        return false;
    bool MirrorX = false, MirrorY = false;
    NormalizeExtents(NeedSrc, dx, dy, dw, dh, sx, sy, sw, sh, MirrorX, MirrorY);
    TRect Dr{dx + dst.OffX(), dy + dst.OffY(), 0, 0};
    Dr.Right = Dr.Left + dw;
    Dr.Bottom = Dr.Top + dh;
    StretchPass Pass{dst, T, a, Dr};
    Pass.needSrc = NeedSrc;
    Pass.needP = a.Kind == BlitKind::Rop && UsesPattern(a.Rop);
    Pass.mirrorX = MirrorX;
    Pass.sw = sw;
    Pass.dw = dw;
    std::unique_ptr<Bitmap> Snapshot;
    if (NeedSrc) {
        Pass.sb = src->Bmp;
        Pass.srcX0 = sx + src->OffX;
        Pass.srcY0 = sy + src->OffY;
        MapTable(Pass.cols, dw, sw, MirrorX);
        MapTable(Pass.rows, dh, sh, MirrorY);
        if (Pass.sb == T) {
            // Overlapping copy within one bitmap: read from a snapshot.
            Snapshot = SnapshotOf(*T);
            Pass.sb = Snapshot.get();
        }
        Pass.sv = *src;
        Pass.sv.Bmp = Pass.sb;
        Pass.fast32 = T->BitCount == 32 && Pass.sb->BitCount == 32;
    }
    if (Pass.needP) {
        Pass.brush = MakeBrushSource(dst, dst.S.SelBrush.Obj.get());
        if (Pass.brush.Null)
            return true;
    }
    for (int y = Dr.Top; y < Dr.Bottom; ++y) {
        int syy = 0;
        if (NeedSrc) {
            syy = Pass.srcY0 + Pass.rows[y - Dr.Top];
            if (syy < 0 || syy >= Pass.sb->Height)
                continue;
        }
        ClipSpan(dst, y, Dr.Left, Dr.Right, [&](int x0, int x1) { Pass.Span(y, syy, x0, x1); });
    }
    return true;
}

SourceView ViewOf(const DC& dc) {
    SourceView V;
    V.Bmp = dc.Target();
    V.OffX = dc.OffX();
    V.OffY = dc.OffY();
    V.BkColor = dc.S.BkColor;
    return V;
}

// A bitmap over memory that a caller owns (DIB transfers).
bool MakeDibView(Bitmap& v, const BITMAPINFO* bmi, const void* bits, int lines) {
    if (!bmi || !bits)
        return false;
    const auto& h = bmi->bmiHeader;
    int Bc = h.biBitCount;
    if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 65536)
        return false;
    if (Bc != 1 && Bc != 4 && Bc != 8 && Bc != 16 && Bc != 24 && Bc != 32)
        return false;
    v.Width = h.biWidth;
    v.Height = lines;
    v.BitCount = Bc;
    v.TopDown = h.biHeight < 0;
    v.Stride = DibStride(h.biWidth, Bc);
    v.DibSection = true;
    v.Bits = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(bits));
    if (Bc <= 8) {
        int N = int(h.biClrUsed);
        if (N <= 0 || N > (1 << Bc))
            N = 1 << Bc;
        v.Palette.assign(bmi->bmiColors, bmi->bmiColors + N);
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
    auto Dst = FindDC(hdc);
    if (!Dst)
        return false;
    BlitArgs A;
    A.Rop = BYTE(rop >> 16);
    if (UsesSource(A.Rop))
        return false;
    return StretchCore(*Dst, x, y, w, h, nullptr, 0, 0, 0, 0, A);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
    auto Dst = FindDC(hdcDest);
    if (!Dst)
        return false;
    BlitArgs A;
    A.Rop = BYTE(rop >> 16);
    if (!UsesSource(A.Rop))
        return StretchCore(*Dst, xDest, yDest, wDest, hDest, nullptr, 0, 0, 0, 0, A);
    auto Src = FindDC(hdcSrc);
    if (!Src)
        return false;
    SourceView Sv = ViewOf(*Src);
    return StretchCore(*Dst, xDest, yDest, wDest, hDest, &Sv, xSrc, ySrc, wSrc, hSrc, A);
}

BOOL AlphaBlend(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws, int hs,
                BLENDFUNCTION ftn) {
    auto Dst = FindDC(hdcDest);
    auto Src = FindDC(hdcSrc);
    if (!Dst || !Src || wd < 0 || hd < 0 || ws < 0 || hs < 0 || ftn.BlendOp != AC_SRC_OVER)
        return false;
    SourceView Sv = ViewOf(*Src);
    if (!Sv.Bmp)
        return false;
    if ((ftn.AlphaFormat & AC_SRC_ALPHA) && Sv.Bmp->BitCount != 32)
        return false;
    // The source rectangle must lie inside the source bitmap.
    int L = xs + Sv.OffX, T = ys + Sv.OffY;
    if (L < 0 || T < 0 || L + ws > Sv.Bmp->Width || T + hs > Sv.Bmp->Height)
        return false;
    BlitArgs A;
    A.Kind = BlitKind::Alpha;
    A.Blend = ftn;
    return StretchCore(*Dst, xd, yd, wd, hd, &Sv, xs, ys, ws, hs, A);
}

BOOL TransparentBlt(HDC hdcDest, int xd, int yd, int wd, int hd, HDC hdcSrc, int xs, int ys, int ws, int hs,
                    UINT crTransparent) {
    auto Dst = FindDC(hdcDest);
    auto Src = FindDC(hdcSrc);
    if (!Dst || !Src || wd < 0 || hd < 0 || ws < 0 || hs < 0)
        return false;
    SourceView Sv = ViewOf(*Src);
    BlitArgs A;
    A.Kind = BlitKind::Transparent;
    A.Key = PixelFromColor(crTransparent & 0xFFFFFF);
    return StretchCore(*Dst, xd, yd, wd, hd, &Sv, xs, ys, ws, hs, A);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto Dc = FindDC(hdc);
    if (!Dc || !Dc->Target())
        return CLR_INVALID;
    int Sx = x + Dc->OffX(), Sy = y + Dc->OffY();
    if (!Dc->Clip().Contains(Sx, Sy))
        return CLR_INVALID;
    Bitmap* T = Dc->Target();
    T->Set(Sx, Sy, PixelFromColor(color & 0xFFFFFF));
    return ColorFromPixel(T->Get(Sx, Sy) & 0xFFFFFF);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto Dc = FindDC(hdc);
    if (!Dc || !Dc->Target())
        return CLR_INVALID;
    int Sx = x + Dc->OffX(), Sy = y + Dc->OffY();
    if (!Dc->Clip().Contains(Sx, Sy))
        return CLR_INVALID;
    return ColorFromPixel(Dc->Target()->Get(Sx, Sy) & 0xFFFFFF);
}

// ---- DIB transfers ----

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan, UINT cLines,
                      const void* bits, const BITMAPINFO* bmi, UINT) {
    auto Dst = FindDC(hdc);
    if (!Dst || !bmi)
        return 0;
    int H = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
    bool TopDown = bmi->bmiHeader.biHeight < 0;
    int Lines = int(std::min<UINT>(cLines, UINT(std::max(0, H - int(startScan)))));
    Bitmap View;
    if (!MakeDibView(View, bmi, bits, Lines))
        return 0;
    // Source coordinates count from the bottom-left for bottom-up DIBs; the buffer holds scans
    // startScan .. startScan + lines - 1 of the picture.
    int Top = TopDown ? ySrc : H - (ySrc + int(h));
    int ViewTop = TopDown ? int(startScan) : H - int(startScan) - Lines;
    SourceView Sv;
    Sv.Bmp = &View;
    Sv.OffX = 0;
    Sv.OffY = -ViewTop;
    BlitArgs A;
    // Rows outside the scans held are skipped by the stretch core's bounds check.
    StretchCore(*Dst, xDest, yDest, int(w), int(h), &Sv, xSrc, Top, int(w), int(h), A);
    return Lines;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* bits, const BITMAPINFO* bmi, UINT, DWORD rop) {
    auto Dst = FindDC(hdc);
    if (!Dst || !bmi)
        return 0;
    int H = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
    bool TopDown = bmi->bmiHeader.biHeight < 0;
    Bitmap View;
    if (!MakeDibView(View, bmi, bits, H))
        return 0;
    int Top = TopDown ? ySrc : H - (ySrc + SrcHeight);
    SourceView Sv;
    Sv.Bmp = &View;
    BlitArgs A;
    A.Rop = BYTE(rop >> 16);
    if (!StretchCore(*Dst, xDest, yDest, DestWidth, DestHeight, &Sv, xSrc, Top, SrcWidth, SrcHeight, A))
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
    int Bc = h.biBitCount;
    if (Bc != 1 && Bc != 4 && Bc != 8 && Bc != 16 && Bc != 24 && Bc != 32)
        return 0;
    // Colour table of the result: the bitmap's own when the depth matches, else a standard one.
    if (Bc <= 8) {
        std::vector<RGBQUAD> Pal;
        if (b->BitCount == Bc && !b->Palette.empty()) {
            Pal = b->Palette;
        } else {
            Bitmap Tmp;
            Tmp.BitCount = Bc;
            HBITMAP Std = CreateBitmap(1, 1, 1, UINT(Bc), nullptr);
            Pal = Find<Bitmap>(Std, OBJ_BITMAP)->Palette;
            DeleteObject(Std);
        }
        Pal.resize(std::size_t(1) << Bc);
        for (std::size_t I = 0; I < Pal.size(); ++I)
            bmi->bmiColors[I] = Pal[I];
        h.biClrUsed = 0;
    }
    int H = b->Height;
    int lines = int(std::min<UINT>(cLines, UINT(std::max(0, H - int(start)))));
    if (lines <= 0)
        return 0;
    Bitmap View;
    if (!MakeDibView(View, bmi, bits, lines))
        return 0;
    bool topDown = h.biHeight < 0;
    int viewTop = topDown ? int(start) : H - int(start) - lines;
    for (int Y = 0; Y < lines; ++Y)
        for (int X = 0; X < b->Width; ++X)
            View.Set(X, Y, b->Get(X, viewTop + Y));
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
    Bitmap View;
    if (!MakeDibView(View, bmi, bits, lines))
        return 0;
    bool topDown = h.biHeight < 0;
    int viewTop = topDown ? int(start) : H - int(start) - lines;
    for (int Y = 0; Y < lines; ++Y)
        for (int X = 0; X < b->Width; ++X)
            b->Set(X, viewTop + Y, View.Get(X, Y));
    return lines;
}

// ---- rectangles with brushes ----

namespace {

TRect ToSurface(const DC& dc, const RECT& r) {
    return {r.Left + dc.OffX(), r.Top + dc.OffY(), r.Right + dc.OffX(), r.Bottom + dc.OffY()};
}

} // namespace

int FillRect(HDC hdc, const RECT* rc, HBRUSH hbr) {
    auto Dc = FindDC(hdc);
    auto Br = BrushOf(hbr);
    if (!Dc || !rc || !Br)
        return 0;
    FillSurfaceRect(*Dc, ToSurface(*Dc, *rc), MakeBrushSource(*Dc, Br.get()), 0xF0);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH hbr) {
    auto Dc = FindDC(hdc);
    auto Br = BrushOf(hbr);
    if (!Dc || !rc || !Br)
        return 0;
    TRect R = ToSurface(*Dc, *rc);
    if (IsRectEmpty(R))
        return 1;
    BrushSource Bs = MakeBrushSource(*Dc, Br.get());
    FillSurfaceRect(*Dc, {R.Left, R.Top, R.Right, R.Top + 1}, Bs, 0xF0);
    FillSurfaceRect(*Dc, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, Bs, 0xF0);
    FillSurfaceRect(*Dc, {R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1}, Bs, 0xF0);
    FillSurfaceRect(*Dc, {R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}, Bs, 0xF0);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
    auto Dc = FindDC(hdc);
    if (!Dc || !rc)
        return false;
    FillSurfaceRect(*Dc, ToSurface(*Dc, *rc), BrushSource{}, 0x55);
    return true;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
    auto Dc = FindDC(hdc);
    if (!Dc || !rc || !Dc->Target())
        return false;
    TRect R = ToSurface(*Dc, *rc);
    if (IsRectEmpty(R))
        return true;
    Bitmap* t = Dc->Target();
    auto Dot = [&](int x, int y) {
        if (((x - Dc->SurfaceOrigin.X + y - Dc->SurfaceOrigin.Y) & 1) == 0 && Dc->Clip().Contains(x, y))
            t->Set(x, y, t->Get(x, y) ^ 0xFFFFFF);
    };
    for (int X = R.Left; X < R.Right; ++X) {
        Dot(X, R.Top);
        if (R.Bottom - 1 > R.Top)
            Dot(X, R.Bottom - 1);
    }
    for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y) {
        Dot(R.Left, Y);
        if (R.Right - 1 > R.Left)
            Dot(R.Right - 1, Y);
    }
    return true;
}

BOOL DrawEdge(HDC hdc, RECT* qrc, UINT edge, UINT flags) {
    auto Dc = FindDC(hdc);
    if (!Dc || !qrc)
        return false;
    RECT r = *qrc;
    auto Ring = [&](int tl, int br) {
        BrushSource A = MakeBrushSource(*Dc, BrushOf(GetSysColorBrush(tl)).get());
        BrushSource B = MakeBrushSource(*Dc, BrushOf(GetSysColorBrush(br)).get());
        TRect S = ToSurface(*Dc, r);
        if (IsRectEmpty(S))
            return;
        // Top and left in the light colour; bottom and right, corners included, in the dark one.
        if (flags & BF_TOP)
            FillSurfaceRect(*Dc, {S.Left, S.Top, S.Right - 1, S.Top + 1}, A, 0xF0);
        if (flags & BF_LEFT)
            FillSurfaceRect(*Dc, {S.Left, S.Top, S.Left + 1, S.Bottom - 1}, A, 0xF0);
        if (flags & BF_BOTTOM)
            FillSurfaceRect(*Dc, {S.Left, S.Bottom - 1, S.Right, S.Bottom}, B, 0xF0);
        if (flags & BF_RIGHT)
            FillSurfaceRect(*Dc, {S.Right - 1, S.Top, S.Right, S.Bottom}, B, 0xF0);
        if (flags & BF_LEFT)
            ++r.Left;
        if (flags & BF_TOP)
            ++r.Top;
        if (flags & BF_RIGHT)
            --r.Right;
        if (flags & BF_BOTTOM)
            --r.Bottom;
    };
    UINT Outer = edge & BDR_OUTER, Inner = edge & BDR_INNER;
    if (flags & BF_MONO) {
        if (Outer)
            Ring(COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
        if (Inner)
            Ring(COLOR_WINDOW, COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        if (Outer)
            Ring(COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        if (Inner)
            Ring(COLOR_BTNFACE, COLOR_BTNFACE);
    } else {
        if (Outer == BDR_RAISEDOUTER)
            Ring(COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        else if (Outer == BDR_SUNKENOUTER)
            Ring(COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        if (Inner == BDR_RAISEDINNER)
            Ring(COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        else if (Inner == BDR_SUNKENINNER)
            Ring(COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }
    if (flags & BF_MIDDLE) {
        int Face = (flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE;
        FillSurfaceRect(*Dc, ToSurface(*Dc, r), MakeBrushSource(*Dc, BrushOf(GetSysColorBrush(Face)).get()), 0xF0);
    }
    if (flags & BF_ADJUST)
        *qrc = r;
    return true;
}

// ---- regions painted ----

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto Dc = FindDC(hdc);
    auto Br = BrushOf(hbr);
    if (!Dc || !Br || !hrgn)
        return false;
    GdiRegion G = GdiRegionOf(hrgn);
    G.Offset(Dc->OffX(), Dc->OffY());
    FillSurfaceRegion(*Dc, G, MakeBrushSource(*Dc, Br.get()), R2_COPYPEN);
    return true;
}

BOOL PaintRgn(HDC hdc, HRGN hrgn) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    return FillRgn(hdc, hrgn, static_cast<HBRUSH>(Dc->S.SelBrush.Handle));
}

BOOL InvertRgn(HDC hdc, HRGN hrgn) {
    auto Dc = FindDC(hdc);
    if (!Dc || !hrgn)
        return false;
    GdiRegion G = GdiRegionOf(hrgn);
    G.Offset(Dc->OffX(), Dc->OffY());
    BrushSource White;
    White.Null = false;
    White.Color = 0xFFFFFF;
    FillSurfaceRegion(*Dc, G, White, R2_XORPEN);
    return true;
}

BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto Dc = FindDC(hdc);
    auto Br = BrushOf(hbr);
    if (!Dc || !Br || !hrgn || w < 0 || h < 0)
        return false;
    // The frame is the region minus the region shrunk by w, h (its copies moved inwards, intersected).
    GdiRegion G = GdiRegionOf(hrgn);
    GdiRegion Inner = G;
    for (int Dx : {-w, w}) {
        GdiRegion M = G;
        M.Offset(Dx, 0);
        Inner = Inner.Intersect(M);
    }
    for (int Dy : {-h, h}) {
        GdiRegion M = G;
        M.Offset(0, Dy);
        Inner = Inner.Intersect(M);
    }
    GdiRegion Frame = G.Subtract(Inner);
    Frame.Offset(Dc->OffX(), Dc->OffY());
    FillSurfaceRegion(*Dc, Frame, MakeBrushSource(*Dc, Br.get()), R2_COPYPEN);
    return true;
}
