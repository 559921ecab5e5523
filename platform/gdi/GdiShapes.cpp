// Lines and shapes with pens and brushes, and the system colour table.
//
// Lines: a line of n = max(|dx|, |dy|) steps draws pixels k = 0 .. n - 1 (the end point is left out): pixel k
// lies k steps along the major axis and round(k * minorDelta / n) along the minor one, halves rounded towards
// the start. Pens wider than one pixel stamp a square of the pen width centred on each pixel; shape outlines of
// wide pens lie inside the shape's box. Dashed pens of width 0 or 1 follow the platform's dash lengths, the
// gaps painted in the background colour in opaque mode.
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <cstdlib>

using namespace gdi;

namespace {

struct PenState {
    bool Null = true;
    int Width = 1;
    int Style = PS_SOLID;
    Pixel Color = 0;
    Pixel Back = 0;
    bool OpaqueGaps = false;
    int Rop2 = R2_COPYPEN;
    int DashPos = 0;
};

PenState PenOf(const DC& dc) {
    PenState ps;
    const Pen* p = dc.S.SelPen.Obj.get();
    if (!p || p->Log.lopnStyle == PS_NULL)
        return ps;
    ps.Null = false;
    ps.Width = std::max(1, int(p->Log.lopnWidth.X));
    ps.Style = int(p->Log.lopnStyle);
    static const Pen* dcPen = Find<Pen>(GetStockObject(DC_PEN), OBJ_PEN).get();
    ps.Color = PixelFromColor(p == dcPen ? dc.S.DCPenColor : p->Log.lopnColor);
    ps.Back = PixelFromColor(dc.S.BkColor);
    ps.OpaqueGaps = dc.S.BkMode == OPAQUE;
    ps.Rop2 = dc.S.Rop2;
    return ps;
}

// Dash patterns as on/off run lengths.
bool DashOn(int style, int pos) {
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dashdot[] = {9, 6, 3, 6};
    static const int dashdotdot[] = {9, 3, 3, 3, 3, 3};
    const int* runs;
    int n;
    switch (style) {
    case PS_DASH:
        runs = dash;
        n = 2;
        break;
    case PS_DOT:
        runs = dot;
        n = 2;
        break;
    case PS_DASHDOT:
        runs = dashdot;
        n = 4;
        break;
    case PS_DASHDOTDOT:
        runs = dashdotdot;
        n = 6;
        break;
    default:
        return true;
    }
    int total = 0;
    for (int i = 0; i < n; ++i)
        total += runs[i];
    pos %= total;
    for (int i = 0; i < n; ++i) {
        if (pos < runs[i])
            return (i & 1) == 0;
        pos -= runs[i];
    }
    return true;
}

void PenPixel(DC& dc, PenState& ps, int sx, int sy) {
    bool dashed = ps.Style >= PS_DASH && ps.Style <= PS_DASHDOTDOT && ps.Width <= 1;
    Pixel c = ps.Color;
    if (dashed) {
        bool on = DashOn(ps.Style, ps.DashPos++);
        if (!on) {
            if (!ps.OpaqueGaps)
                return;
            c = ps.Back;
        }
    }
    if (ps.Width <= 1) {
        PlotPixel(dc, sx, sy, c, ps.Rop2);
        return;
    }
    int a = ps.Width / 2;
    for (int y = sy - a; y < sy - a + ps.Width; ++y)
        for (int x = sx - a; x < sx - a + ps.Width; ++x)
            PlotPixel(dc, x, y, c, ps.Rop2);
}

// Surface coordinates; the end point is not drawn.
void DrawLine(DC& dc, PenState& ps, int x0, int y0, int x1, int y1) {
    int dx = x1 - x0, dy = y1 - y0;
    int n = std::max(std::abs(dx), std::abs(dy));
    for (int k = 0; k < n; ++k) {
        int x, y;
        if (std::abs(dx) >= std::abs(dy)) {
            x = x0 + (dx > 0 ? k : -k);
            long long num = 2LL * k * std::abs(dy) + n - 1;
            int off = int(num / (2LL * n));
            y = y0 + (dy > 0 ? off : -off);
        } else {
            y = y0 + (dy > 0 ? k : -k);
            long long num = 2LL * k * std::abs(dx) + n - 1;
            int off = int(num / (2LL * n));
            x = x0 + (dx > 0 ? off : -off);
        }
        PenPixel(dc, ps, x, y);
    }
}

GdiRegion Erode(const GdiRegion& g, int w) {
    GdiRegion inner = g;
    for (int d : {-w, w}) {
        GdiRegion m = g;
        m.Offset(d, 0);
        inner = inner.Intersect(m);
        m = g;
        m.Offset(0, d);
        inner = inner.Intersect(m);
    }
    return inner;
}

// Fills shape (surface coordinates) with the brush and outlines it with the pen: the outline is the part of the
// shape within the pen width of its edge.
void PaintShape(DC& dc, const GdiRegion& shape, const GdiRegion& shapeNoPen) {
    PenState ps = PenOf(dc);
    BrushSource bs = MakeBrushSource(dc, dc.S.SelBrush.Obj.get());
    if (ps.Null) {
        FillSurfaceRegion(dc, shapeNoPen, bs, dc.S.Rop2);
        return;
    }
    GdiRegion inner = Erode(shape, ps.Width);
    FillSurfaceRegion(dc, inner, bs, dc.S.Rop2);
    BrushSource pen;
    pen.Null = false;
    pen.Color = ps.Color;
    FillSurfaceRegion(dc, shape.Subtract(inner), pen, ps.Rop2);
}

TRect SurfaceBox(const DC& dc, int l, int t, int r, int b) {
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    return {l + dc.OffX(), t + dc.OffY(), r + dc.OffX(), b + dc.OffY()};
}

} // namespace

BOOL LineTo(HDC hdc, int x, int y) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    PenState ps = PenOf(*dc);
    if (!ps.Null)
        DrawLine(*dc, ps, dc->S.CurPos.X + dc->OffX(), dc->S.CurPos.Y + dc->OffY(), x + dc->OffX(), y + dc->OffY());
    dc->S.CurPos = {x, y};
    return true;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
    auto dc = FindDC(hdc);
    if (!dc || !apt || cpt < 2)
        return false;
    PenState ps = PenOf(*dc);
    if (ps.Null)
        return true;
    for (int i = 0; i + 1 < cpt; ++i)
        DrawLine(*dc, ps, apt[i].X + dc->OffX(), apt[i].Y + dc->OffY(), apt[i + 1].X + dc->OffX(),
                 apt[i + 1].Y + dc->OffY());
    return true;
}

BOOL PolylineTo(HDC hdc, const POINT* apt, int cpt) {
    auto dc = FindDC(hdc);
    if (!dc || !apt || cpt < 1)
        return false;
    for (int i = 0; i < cpt; ++i)
        LineTo(hdc, apt[i].X, apt[i].Y);
    return true;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
    auto dc = FindDC(hdc);
    if (!dc || !apt || cpt < 2)
        return false;
    std::vector<POINT> pts(apt, apt + cpt);
    for (auto& p : pts) {
        p.X += dc->OffX();
        p.Y += dc->OffY();
    }
    GdiRegion fill = GdiRegion::Polygon(pts.data(), cpt, dc->S.PolyFillMode);
    FillSurfaceRegion(*dc, fill, MakeBrushSource(*dc, dc->S.SelBrush.Obj.get()), dc->S.Rop2);
    PenState ps = PenOf(*dc);
    if (!ps.Null)
        for (int i = 0; i < cpt; ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % cpt];
            DrawLine(*dc, ps, a.X, a.Y, b.X, b.Y);
        }
    return true;
}

BOOL PolyPolygon(HDC hdc, const POINT* apt, const int* asz, int csz) {
    if (!apt || !asz)
        return false;
    for (int i = 0; i < csz; ++i) {
        Polygon(hdc, apt, asz[i]);
        apt += asz[i];
    }
    return true;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    TRect box = SurfaceBox(*dc, left, top, right, bottom);
    PenState ps = PenOf(*dc);
    GdiRegion shape = GdiRegion::FromRect(box);
    GdiRegion noPen = GdiRegion::FromRect({box.Left, box.Top, box.Right - 1, box.Bottom - 1});
    if (!ps.Null && ps.Style >= PS_DASH && ps.Style <= PS_DASHDOTDOT && ps.Width <= 1) {
        // Dashed outline: interior in the brush, frame traced clockwise.
        FillSurfaceRegion(*dc, GdiRegion::FromRect({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}),
                          MakeBrushSource(*dc, dc->S.SelBrush.Obj.get()), dc->S.Rop2);
        int r = box.Right - 1, b = box.Bottom - 1;
        DrawLine(*dc, ps, box.Left, box.Top, r, box.Top);
        DrawLine(*dc, ps, r, box.Top, r, b);
        DrawLine(*dc, ps, r, b, box.Left, b);
        DrawLine(*dc, ps, box.Left, b, box.Left, box.Top);
        return true;
    }
    PaintShape(*dc, shape, noPen);
    return true;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    TRect box = SurfaceBox(*dc, left, top, right, bottom);
    PaintShape(*dc, GdiRegion::Ellipse(box), GdiRegion::Ellipse({box.Left, box.Top, box.Right - 1, box.Bottom - 1}));
    return true;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    TRect box = SurfaceBox(*dc, left, top, right, bottom);
    PaintShape(*dc, GdiRegion::RoundRect(box, width, height),
               GdiRegion::RoundRect({box.Left, box.Top, box.Right - 1, box.Bottom - 1}, width, height));
    return true;
}

// ---- system colours: the classic platform scheme ----

DWORD GetSysColor(int i) {
    static const COLORREF table[SystemColorCount] = {
        RGB(212, 208, 200), // COLOR_SCROLLBAR
        RGB(58, 110, 165),  // COLOR_BACKGROUND
        RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
        RGB(128, 128, 128), // COLOR_INACTIVECAPTION
        RGB(212, 208, 200), // COLOR_MENU
        RGB(255, 255, 255), // COLOR_WINDOW
        RGB(0, 0, 0),       // COLOR_WINDOWFRAME
        RGB(0, 0, 0),       // COLOR_MENUTEXT
        RGB(0, 0, 0),       // COLOR_WINDOWTEXT
        RGB(255, 255, 255), // COLOR_CAPTIONTEXT
        RGB(212, 208, 200), // COLOR_ACTIVEBORDER
        RGB(212, 208, 200), // COLOR_INACTIVEBORDER
        RGB(128, 128, 128), // COLOR_APPWORKSPACE
        RGB(10, 36, 106),   // COLOR_HIGHLIGHT
        RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
        RGB(212, 208, 200), // COLOR_BTNFACE
        RGB(128, 128, 128), // COLOR_BTNSHADOW
        RGB(128, 128, 128), // COLOR_GRAYTEXT
        RGB(0, 0, 0),       // COLOR_BTNTEXT
        RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
        RGB(64, 64, 64),    // COLOR_3DDKSHADOW
        RGB(212, 208, 200), // COLOR_3DLIGHT
        RGB(0, 0, 0),       // COLOR_INFOTEXT
        RGB(255, 255, 225), // COLOR_INFOBK
        RGB(181, 181, 181), // 25, unused
        RGB(0, 0, 128),     // COLOR_HOTLIGHT
        RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
        RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
        RGB(10, 36, 106),   // COLOR_MENUHILIGHT
        RGB(212, 208, 200), // COLOR_MENUBAR
    };
    if (i < 0 || i >= SystemColorCount)
        return 0;
    return table[i];
}
