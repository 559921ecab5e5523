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
    PenState Ps;
    const Pen* P = dc.S.SelPen.Obj.get();
    if (!P || P->Log.lopnStyle == PS_NULL)
        return Ps;
    Ps.Null = false;
    Ps.Width = std::max(1, int(P->Log.lopnWidth.X));
    Ps.Style = int(P->Log.lopnStyle);
    static const Pen* DcPen = Find<Pen>(GetStockObject(DC_PEN), OBJ_PEN).get();
    Ps.Color = PixelFromColor(P == DcPen ? dc.S.DCPenColor : P->Log.lopnColor);
    Ps.Back = PixelFromColor(dc.S.BkColor);
    Ps.OpaqueGaps = dc.S.BkMode == OPAQUE;
    Ps.Rop2 = dc.S.Rop2;
    return Ps;
}

// Dash patterns as on/off run lengths.
bool DashOn(int style, int pos) {
    static const int Dash[] = {18, 6};
    static const int Dot[] = {3, 3};
    static const int Dashdot[] = {9, 6, 3, 6};
    static const int Dashdotdot[] = {9, 3, 3, 3, 3, 3};
    const int* Runs;
    int N;
    switch (style) {
    case PS_DASH:
        Runs = Dash;
        N = 2;
        break;
    case PS_DOT:
        Runs = Dot;
        N = 2;
        break;
    case PS_DASHDOT:
        Runs = Dashdot;
        N = 4;
        break;
    case PS_DASHDOTDOT:
        Runs = Dashdotdot;
        N = 6;
        break;
    default:
        return true;
    }
    int Total = 0;
    for (int I = 0; I < N; ++I)
        Total += Runs[I];
    pos %= Total;
    for (int I = 0; I < N; ++I) {
        if (pos < Runs[I])
            return (I & 1) == 0;
        pos -= Runs[I];
    }
    return true;
}

void PenPixel(DC& dc, PenState& ps, int sx, int sy) {
    bool Dashed = ps.Style >= PS_DASH && ps.Style <= PS_DASHDOTDOT && ps.Width <= 1;
    Pixel C = ps.Color;
    if (Dashed) {
        bool On = DashOn(ps.Style, ps.DashPos++);
        if (!On) {
            if (!ps.OpaqueGaps)
                return;
            C = ps.Back;
        }
    }
    if (ps.Width <= 1) {
        PlotPixel(dc, sx, sy, C, ps.Rop2);
        return;
    }
    int A = ps.Width / 2;
    for (int Y = sy - A; Y < sy - A + ps.Width; ++Y)
        for (int X = sx - A; X < sx - A + ps.Width; ++X)
            PlotPixel(dc, X, Y, C, ps.Rop2);
}

// Surface coordinates; the end point is not drawn.
void DrawLine(DC& dc, PenState& ps, int x0, int y0, int x1, int y1) {
    int Dx = x1 - x0, Dy = y1 - y0;
    int N = std::max(std::abs(Dx), std::abs(Dy));
    for (int K = 0; K < N; ++K) {
        int X, Y;
        if (std::abs(Dx) >= std::abs(Dy)) {
            X = x0 + (Dx > 0 ? K : -K);
            long long Num = 2LL * K * std::abs(Dy) + N - 1;
            int Off = int(Num / (2LL * N));
            Y = y0 + (Dy > 0 ? Off : -Off);
        } else {
            Y = y0 + (Dy > 0 ? K : -K);
            long long Num = 2LL * K * std::abs(Dx) + N - 1;
            int Off = int(Num / (2LL * N));
            X = x0 + (Dx > 0 ? Off : -Off);
        }
        PenPixel(dc, ps, X, Y);
    }
}

GdiRegion Erode(const GdiRegion& g, int w) {
    GdiRegion Inner = g;
    for (int D : {-w, w}) {
        GdiRegion M = g;
        M.Offset(D, 0);
        Inner = Inner.Intersect(M);
        M = g;
        M.Offset(0, D);
        Inner = Inner.Intersect(M);
    }
    return Inner;
}

// Fills shape (surface coordinates) with the brush and outlines it with the pen: the outline is the part of the
// shape within the pen width of its edge.
void PaintShape(DC& dc, const GdiRegion& shape, const GdiRegion& shapeNoPen) {
    PenState Ps = PenOf(dc);
    BrushSource Bs = MakeBrushSource(dc, dc.S.SelBrush.Obj.get());
    if (Ps.Null) {
        FillSurfaceRegion(dc, shapeNoPen, Bs, dc.S.Rop2);
        return;
    }
    GdiRegion Inner = Erode(shape, Ps.Width);
    FillSurfaceRegion(dc, Inner, Bs, dc.S.Rop2);
    BrushSource Pen;
    Pen.Null = false;
    Pen.Color = Ps.Color;
    FillSurfaceRegion(dc, shape.Subtract(Inner), Pen, Ps.Rop2);
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
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    PenState Ps = PenOf(*Dc);
    if (!Ps.Null)
        DrawLine(*Dc, Ps, Dc->S.CurPos.X + Dc->OffX(), Dc->S.CurPos.Y + Dc->OffY(), x + Dc->OffX(), y + Dc->OffY());
    Dc->S.CurPos = {x, y};
    return true;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
    auto Dc = FindDC(hdc);
    if (!Dc || !apt || cpt < 2)
        return false;
    PenState Ps = PenOf(*Dc);
    if (Ps.Null)
        return true;
    for (int I = 0; I + 1 < cpt; ++I)
        DrawLine(*Dc, Ps, apt[I].X + Dc->OffX(), apt[I].Y + Dc->OffY(), apt[I + 1].X + Dc->OffX(),
                 apt[I + 1].Y + Dc->OffY());
    return true;
}

BOOL PolylineTo(HDC hdc, const POINT* apt, int cpt) {
    auto Dc = FindDC(hdc);
    if (!Dc || !apt || cpt < 1)
        return false;
    for (int I = 0; I < cpt; ++I)
        LineTo(hdc, apt[I].X, apt[I].Y);
    return true;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
    auto Dc = FindDC(hdc);
    if (!Dc || !apt || cpt < 2)
        return false;
    std::vector<POINT> Pts(apt, apt + cpt);
    for (auto& P : Pts) {
        P.X += Dc->OffX();
        P.Y += Dc->OffY();
    }
    GdiRegion Fill = GdiRegion::Polygon(Pts.data(), cpt, Dc->S.PolyFillMode);
    FillSurfaceRegion(*Dc, Fill, MakeBrushSource(*Dc, Dc->S.SelBrush.Obj.get()), Dc->S.Rop2);
    PenState Ps = PenOf(*Dc);
    if (!Ps.Null)
        for (int I = 0; I < cpt; ++I) {
            const POINT& A = Pts[I];
            const POINT& B = Pts[(I + 1) % cpt];
            DrawLine(*Dc, Ps, A.X, A.Y, B.X, B.Y);
        }
    return true;
}

BOOL PolyPolygon(HDC hdc, const POINT* apt, const int* asz, int csz) {
    if (!apt || !asz)
        return false;
    for (int I = 0; I < csz; ++I) {
        Polygon(hdc, apt, asz[I]);
        apt += asz[I];
    }
    return true;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    TRect Box = SurfaceBox(*Dc, left, top, right, bottom);
    PenState Ps = PenOf(*Dc);
    GdiRegion Shape = GdiRegion::FromRect(Box);
    GdiRegion NoPen = GdiRegion::FromRect({Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1});
    if (!Ps.Null && Ps.Style >= PS_DASH && Ps.Style <= PS_DASHDOTDOT && Ps.Width <= 1) {
        // Dashed outline: interior in the brush, frame traced clockwise.
        FillSurfaceRegion(*Dc, GdiRegion::FromRect({Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1}),
                          MakeBrushSource(*Dc, Dc->S.SelBrush.Obj.get()), Dc->S.Rop2);
        int R = Box.Right - 1, B = Box.Bottom - 1;
        DrawLine(*Dc, Ps, Box.Left, Box.Top, R, Box.Top);
        DrawLine(*Dc, Ps, R, Box.Top, R, B);
        DrawLine(*Dc, Ps, R, B, Box.Left, B);
        DrawLine(*Dc, Ps, Box.Left, B, Box.Left, Box.Top);
        return true;
    }
    PaintShape(*Dc, Shape, NoPen);
    return true;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    TRect Box = SurfaceBox(*Dc, left, top, right, bottom);
    PaintShape(*Dc, GdiRegion::Ellipse(Box), GdiRegion::Ellipse({Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1}));
    return true;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    TRect Box = SurfaceBox(*Dc, left, top, right, bottom);
    PaintShape(*Dc, GdiRegion::RoundRect(Box, width, height),
               GdiRegion::RoundRect({Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1}, width, height));
    return true;
}

// ---- system colours: the classic platform scheme ----

DWORD GetSysColor(int i) {
    static const COLORREF Table[SystemColorCount] = {
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
    return Table[i];
}
