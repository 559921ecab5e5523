#include "platform/gdi/GdiRegion.h"

#include "platform/gdi/WinGdi.h"

#include <algorithm>
#include <cmath>

void GdiRegion::AppendBand(int top, int bottom, std::vector<Span>&& spans) {
    if (spans.empty() || top >= bottom)
        return;
    if (!FBands.empty() && FBands.back().Bottom == top && FBands.back().Spans == spans) {
        FBands.back().Bottom = bottom;
        return;
    }
    FBands.push_back(Band{top, bottom, std::move(spans)});
}

GdiRegion GdiRegion::FromRect(const TRect& r) {
    GdiRegion g;
    if (r.Right > r.Left && r.Bottom > r.Top)
        g.FBands.push_back(Band{r.Top, r.Bottom, {{r.Left, r.Right}}});
    return g;
}

GdiRegion GdiRegion::FromRects(const TRect* rects, int count) {
    // Sort the rectangles into rows by their edges, then join per band: cheaper than repeated unions.
    std::vector<int> ys;
    for (int i = 0; i < count; ++i)
        if (!IsRectEmpty(rects[i])) {
            ys.push_back(rects[i].Top);
            ys.push_back(rects[i].Bottom);
        }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    GdiRegion g;
    std::vector<Span> raw;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int y0 = ys[k], y1 = ys[k + 1];
        raw.clear();
        for (int i = 0; i < count; ++i) {
            const TRect& r = rects[i];
            if (!IsRectEmpty(r) && r.Top <= y0 && r.Bottom >= y1)
                raw.push_back({r.Left, r.Right});
        }
        std::sort(raw.begin(), raw.end(), [](const Span& a, const Span& b) { return a.Left < b.Left; });
        std::vector<Span> merged;
        for (const Span& s : raw) {
            if (!merged.empty() && s.Left <= merged.back().Right)
                merged.back().Right = std::max(merged.back().Right, s.Right);
            else
                merged.push_back(s);
        }
        g.AppendBand(y0, y1, std::move(merged));
    }
    return g;
}

namespace {

// Half-width (in doubled units) of the ellipse row: the largest odd-aligned X with X^2 H^2 + Y^2 W^2 <= W^2 H^2,
// where X, Y are doubled offsets of pixel centres from the centre; -1 when the row is empty.
bool EllipseRow(int w, int h, int y, int& x0, int& x1) {
    // Box (0, 0, w, h); pixel y, columns 0..w-1.
    long long W = w, H = h;
    long long Y = 2LL * y + 1 - H;
    long long rhs = W * W * H * H - Y * Y * W * W;
    if (rhs < 0)
        return false;
    // Column x is inside when (2x + 1 - W)^2 * H^2 <= rhs.
    double half = std::sqrt(double(rhs)) / double(H); // max |X|
    int xs = int(std::floor((W - 1 - half) / 2.0)) - 1;
    if (xs < 0)
        xs = 0;
    auto inside = [&](int x) {
        long long X = 2LL * x + 1 - W;
        return X * X * H * H <= rhs;
    };
    while (xs < w && !inside(xs))
        ++xs;
    while (xs > 0 && inside(xs - 1))
        --xs;
    if (xs >= w || !inside(xs))
        return false;
    x0 = xs;
    x1 = w - xs; // symmetric
    return true;
}

} // namespace

GdiRegion GdiRegion::Ellipse(const TRect& box) {
    GdiRegion g;
    int w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0)
        return g;
    for (int y = 0; y < h; ++y) {
        int a, b;
        if (EllipseRow(w, h, y, a, b))
            g.AppendBand(box.Top + y, box.Top + y + 1, {{box.Left + a, box.Left + b}});
    }
    return g;
}

GdiRegion GdiRegion::RoundRect(const TRect& box, int ew, int eh) {
    GdiRegion g;
    int w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0)
        return g;
    ew = std::clamp(std::abs(ew), 0, w);
    eh = std::clamp(std::abs(eh), 0, h);
    if (ew < 2 || eh < 2)
        return FromRect(box);
    for (int y = 0; y < h; ++y) {
        int ey = -1;
        if (y < eh / 2)
            ey = y;
        else if (h - 1 - y < eh / 2)
            ey = eh - (h - y);
        int a = 0, b = w;
        if (ey >= 0) {
            int ea, eb;
            if (!EllipseRow(ew, eh, ey, ea, eb))
                continue;
            a = ea;
            b = w - ea;
        }
        g.AppendBand(box.Top + y, box.Top + y + 1, {{box.Left + a, box.Left + b}});
    }
    return g;
}

GdiRegion GdiRegion::Polygon(const TPoint* pts, int count, int fillMode) {
    GdiRegion g;
    if (count < 3)
        return g;
    int ymin = pts[0].Y, ymax = pts[0].Y;
    for (int i = 1; i < count; ++i) {
        ymin = std::min(ymin, pts[i].Y);
        ymax = std::max(ymax, pts[i].Y);
    }
    struct Cross {
        double X;
        int Dir;
    };
    std::vector<Cross> xs;
    for (int y = ymin; y < ymax; ++y) {
        double yc = y + 0.5;
        xs.clear();
        for (int i = 0; i < count; ++i) {
            TPoint a = pts[i], b = pts[(i + 1) % count];
            if (a.Y == b.Y)
                continue;
            int dir = b.Y > a.Y ? 1 : -1;
            if (a.Y > b.Y)
                std::swap(a, b);
            if (yc < a.Y || yc >= b.Y)
                continue;
            xs.push_back({a.X + (yc - a.Y) * double(b.X - a.X) / double(b.Y - a.Y), dir});
        }
        std::sort(xs.begin(), xs.end(), [](const Cross& p, const Cross& q) { return p.X < q.X; });
        std::vector<Span> spans;
        auto add = [&](double xa, double xb) {
            // Columns whose centre x + 0.5 lies in [xa, xb).
            int c0 = int(std::ceil(xa - 0.5)), c1 = int(std::ceil(xb - 0.5));
            if (c0 >= c1)
                return;
            if (!spans.empty() && c0 <= spans.back().Right)
                spans.back().Right = std::max(spans.back().Right, c1);
            else
                spans.push_back({c0, c1});
        };
        if (fillMode == WINDING) {
            int wind = 0;
            for (size_t k = 0; k + 1 < xs.size(); ++k) {
                wind += xs[k].Dir;
                if (wind != 0)
                    add(xs[k].X, xs[k + 1].X);
            }
        } else {
            for (size_t k = 0; k + 1 < xs.size(); k += 2)
                add(xs[k].X, xs[k + 1].X);
        }
        g.AppendBand(y, y + 1, std::move(spans));
    }
    return g;
}

namespace {

bool Apply(int mode, bool a, bool b) {
    switch (mode) {
    case RGN_AND:
        return a && b;
    case RGN_OR:
        return a || b;
    case RGN_XOR:
        return a != b;
    case RGN_DIFF:
        return a && !b;
    default:
        return a;
    }
}

std::vector<GdiRegion::Span> CombineSpans(const std::vector<GdiRegion::Span>* a, const std::vector<GdiRegion::Span>* b,
                                          int mode) {
    static const std::vector<GdiRegion::Span> none;
    const auto& sa = a ? *a : none;
    const auto& sb = b ? *b : none;
    std::vector<int> xs;
    xs.reserve((sa.size() + sb.size()) * 2);
    for (const auto& s : sa) {
        xs.push_back(s.Left);
        xs.push_back(s.Right);
    }
    for (const auto& s : sb) {
        xs.push_back(s.Left);
        xs.push_back(s.Right);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<GdiRegion::Span> out;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
        int x0 = xs[k], x1 = xs[k + 1];
        while (ia < sa.size() && sa[ia].Right <= x0)
            ++ia;
        while (ib < sb.size() && sb[ib].Right <= x0)
            ++ib;
        bool inA = ia < sa.size() && sa[ia].Left <= x0;
        bool inB = ib < sb.size() && sb[ib].Left <= x0;
        if (Apply(mode, inA, inB)) {
            if (!out.empty() && out.back().Right == x0)
                out.back().Right = x1;
            else
                out.push_back({x0, x1});
        }
    }
    return out;
}

} // namespace

GdiRegion GdiRegion::Combine(const GdiRegion& a, const GdiRegion& b, int mode) {
    GdiRegion g;
    std::vector<int> ys;
    ys.reserve((a.FBands.size() + b.FBands.size()) * 2);
    for (const auto& band : a.FBands) {
        ys.push_back(band.Top);
        ys.push_back(band.Bottom);
    }
    for (const auto& band : b.FBands) {
        ys.push_back(band.Top);
        ys.push_back(band.Bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int y0 = ys[k], y1 = ys[k + 1];
        while (ia < a.FBands.size() && a.FBands[ia].Bottom <= y0)
            ++ia;
        while (ib < b.FBands.size() && b.FBands[ib].Bottom <= y0)
            ++ib;
        const std::vector<Span>* sa = ia < a.FBands.size() && a.FBands[ia].Top <= y0 ? &a.FBands[ia].Spans : nullptr;
        const std::vector<Span>* sb = ib < b.FBands.size() && b.FBands[ib].Top <= y0 ? &b.FBands[ib].Spans : nullptr;
        if (!sa && !sb)
            continue;
        g.AppendBand(y0, y1, CombineSpans(sa, sb, mode));
    }
    return g;
}

GdiRegion GdiRegion::Union(const GdiRegion& o) const {
    return Combine(*this, o, RGN_OR);
}
GdiRegion GdiRegion::Intersect(const GdiRegion& o) const {
    return Combine(*this, o, RGN_AND);
}
GdiRegion GdiRegion::Subtract(const GdiRegion& o) const {
    return Combine(*this, o, RGN_DIFF);
}
GdiRegion GdiRegion::Xor(const GdiRegion& o) const {
    return Combine(*this, o, RGN_XOR);
}

void GdiRegion::Offset(int dx, int dy) {
    for (auto& band : FBands) {
        band.Top += dy;
        band.Bottom += dy;
        for (auto& s : band.Spans) {
            s.Left += dx;
            s.Right += dx;
        }
    }
}

const GdiRegion::Band* GdiRegion::BandAt(int y) const {
    auto it = std::upper_bound(FBands.begin(), FBands.end(), y, [](int v, const Band& b) { return v < b.Bottom; });
    if (it == FBands.end() || it->Top > y)
        return nullptr;
    return &*it;
}

bool GdiRegion::Contains(int x, int y) const {
    const Band* b = BandAt(y);
    if (!b)
        return false;
    for (const auto& s : b->Spans)
        if (x >= s.Left && x < s.Right)
            return true;
    return false;
}

bool GdiRegion::Overlaps(const TRect& r) const {
    if (IsRectEmpty(r))
        return false;
    for (const auto& b : FBands) {
        if (b.Bottom <= r.Top || b.Top >= r.Bottom)
            continue;
        for (const auto& s : b.Spans)
            if (s.Right > r.Left && s.Left < r.Right)
                return true;
    }
    return false;
}

TRect GdiRegion::Bounds() const {
    if (FBands.empty())
        return {};
    TRect r{FBands.front().Spans.front().Left, FBands.front().Top, FBands.front().Spans.back().Right,
            FBands.back().Bottom};
    for (const auto& b : FBands) {
        r.Left = std::min(r.Left, b.Spans.front().Left);
        r.Right = std::max(r.Right, b.Spans.back().Right);
    }
    return r;
}

int GdiRegion::Kind() const {
    if (FBands.empty())
        return NULLREGION;
    if (FBands.size() == 1 && FBands[0].Spans.size() == 1)
        return SIMPLEREGION;
    return COMPLEXREGION;
}

std::vector<TRect> GdiRegion::Rects() const {
    std::vector<TRect> out;
    for (const auto& b : FBands)
        for (const auto& s : b.Spans)
            out.push_back({s.Left, b.Top, s.Right, b.Bottom});
    return out;
}
