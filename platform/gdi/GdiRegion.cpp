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
    GdiRegion G;
    if (r.Right > r.Left && r.Bottom > r.Top)
        G.FBands.push_back(Band{r.Top, r.Bottom, {{r.Left, r.Right}}});
    return G;
}

GdiRegion GdiRegion::FromRects(const TRect* rects, int count) {
    // Sort the rectangles into rows by their edges, then join per band: cheaper than repeated unions.
    std::vector<int> Ys;
    for (int I = 0; I < count; ++I)
        if (!IsRectEmpty(rects[I])) {
            Ys.push_back(rects[I].Top);
            Ys.push_back(rects[I].Bottom);
        }
    std::sort(Ys.begin(), Ys.end());
    Ys.erase(std::unique(Ys.begin(), Ys.end()), Ys.end());
    GdiRegion G;
    std::vector<Span> Raw;
    for (size_t K = 0; K + 1 < Ys.size(); ++K) {
        int Y0 = Ys[K], Y1 = Ys[K + 1];
        Raw.clear();
        for (int I = 0; I < count; ++I) {
            const TRect& R = rects[I];
            if (!IsRectEmpty(R) && R.Top <= Y0 && R.Bottom >= Y1)
                Raw.push_back({R.Left, R.Right});
        }
        std::sort(Raw.begin(), Raw.end(), [](const Span& a, const Span& b) { return a.Left < b.Left; });
        std::vector<Span> Merged;
        for (const Span& S : Raw) {
            if (!Merged.empty() && S.Left <= Merged.back().Right)
                Merged.back().Right = std::max(Merged.back().Right, S.Right);
            else
                Merged.push_back(S);
        }
        G.AppendBand(Y0, Y1, std::move(Merged));
    }
    return G;
}

namespace {

// Half-width (in doubled units) of the ellipse row: the largest odd-aligned X with X^2 H^2 + Y^2 W^2 <= W^2 H^2,
// where X, Y are doubled offsets of pixel centres from the centre; -1 when the row is empty.
bool EllipseRow(int w, int h, int y, int& x0, int& x1) {
    // Box (0, 0, w, h); pixel y, columns 0..w-1.
    long long W = w, H = h;
    long long Y = 2LL * y + 1 - H;
    long long Rhs = W * W * H * H - Y * Y * W * W;
    if (Rhs < 0)
        return false;
    // Column x is inside when (2x + 1 - W)^2 * H^2 <= rhs.
    double Half = std::sqrt(double(Rhs)) / double(H); // max |X|
    int Xs = int(std::floor((W - 1 - Half) / 2.0)) - 1;
    if (Xs < 0)
        Xs = 0;
    auto Inside = [&](int x) {
        long long X = 2LL * x + 1 - W;
        return X * X * H * H <= Rhs;
    };
    while (Xs < w && !Inside(Xs))
        ++Xs;
    while (Xs > 0 && Inside(Xs - 1))
        --Xs;
    if (Xs >= w || !Inside(Xs))
        return false;
    x0 = Xs;
    x1 = w - Xs; // symmetric
    return true;
}

} // namespace

GdiRegion GdiRegion::Ellipse(const TRect& box) {
    GdiRegion G;
    int W = box.Width(), H = box.Height();
    if (W <= 0 || H <= 0)
        return G;
    for (int Y = 0; Y < H; ++Y) {
        int A, B;
        if (EllipseRow(W, H, Y, A, B))
            G.AppendBand(box.Top + Y, box.Top + Y + 1, {{box.Left + A, box.Left + B}});
    }
    return G;
}

GdiRegion GdiRegion::RoundRect(const TRect& box, int ew, int eh) {
    GdiRegion G;
    int W = box.Width(), H = box.Height();
    if (W <= 0 || H <= 0)
        return G;
    ew = std::clamp(std::abs(ew), 0, W);
    eh = std::clamp(std::abs(eh), 0, H);
    if (ew < 2 || eh < 2)
        return FromRect(box);
    for (int Y = 0; Y < H; ++Y) {
        int Ey = -1;
        if (Y < eh / 2)
            Ey = Y;
        else if (H - 1 - Y < eh / 2)
            Ey = eh - (H - Y);
        int A = 0, B = W;
        if (Ey >= 0) {
            int Ea, Eb;
            if (!EllipseRow(ew, eh, Ey, Ea, Eb))
                continue;
            A = Ea;
            B = W - Ea;
        }
        G.AppendBand(box.Top + Y, box.Top + Y + 1, {{box.Left + A, box.Left + B}});
    }
    return G;
}

GdiRegion GdiRegion::Polygon(const TPoint* pts, int count, int fillMode) {
    GdiRegion G;
    if (count < 3)
        return G;
    int Ymin = pts[0].Y, Ymax = pts[0].Y;
    for (int I = 1; I < count; ++I) {
        Ymin = std::min(Ymin, pts[I].Y);
        Ymax = std::max(Ymax, pts[I].Y);
    }
    struct Cross {
        double X;
        int Dir;
    };
    std::vector<Cross> Xs;
    for (int Y = Ymin; Y < Ymax; ++Y) {
        double Yc = Y + 0.5;
        Xs.clear();
        for (int I = 0; I < count; ++I) {
            TPoint A = pts[I], B = pts[(I + 1) % count];
            if (A.Y == B.Y)
                continue;
            int Dir = B.Y > A.Y ? 1 : -1;
            if (A.Y > B.Y)
                std::swap(A, B);
            if (Yc < A.Y || Yc >= B.Y)
                continue;
            Xs.push_back({A.X + (Yc - A.Y) * double(B.X - A.X) / double(B.Y - A.Y), Dir});
        }
        std::sort(Xs.begin(), Xs.end(), [](const Cross& p, const Cross& q) { return p.X < q.X; });
        std::vector<Span> Spans;
        auto Add = [&](double xa, double xb) {
            // Columns whose centre x + 0.5 lies in [xa, xb).
            int C0 = int(std::ceil(xa - 0.5)), C1 = int(std::ceil(xb - 0.5));
            if (C0 >= C1)
                return;
            if (!Spans.empty() && C0 <= Spans.back().Right)
                Spans.back().Right = std::max(Spans.back().Right, C1);
            else
                Spans.push_back({C0, C1});
        };
        if (fillMode == WINDING) {
            int Wind = 0;
            for (size_t K = 0; K + 1 < Xs.size(); ++K) {
                Wind += Xs[K].Dir;
                if (Wind != 0)
                    Add(Xs[K].X, Xs[K + 1].X);
            }
        } else {
            for (size_t K = 0; K + 1 < Xs.size(); K += 2)
                Add(Xs[K].X, Xs[K + 1].X);
        }
        G.AppendBand(Y, Y + 1, std::move(Spans));
    }
    return G;
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
    static const std::vector<GdiRegion::Span> None;
    const auto& Sa = a ? *a : None;
    const auto& Sb = b ? *b : None;
    std::vector<int> Xs;
    Xs.reserve((Sa.size() + Sb.size()) * 2);
    for (const auto& S : Sa) {
        Xs.push_back(S.Left);
        Xs.push_back(S.Right);
    }
    for (const auto& S : Sb) {
        Xs.push_back(S.Left);
        Xs.push_back(S.Right);
    }
    std::sort(Xs.begin(), Xs.end());
    Xs.erase(std::unique(Xs.begin(), Xs.end()), Xs.end());
    std::vector<GdiRegion::Span> Out;
    size_t Ia = 0, Ib = 0;
    for (size_t K = 0; K + 1 < Xs.size(); ++K) {
        int X0 = Xs[K], X1 = Xs[K + 1];
        while (Ia < Sa.size() && Sa[Ia].Right <= X0)
            ++Ia;
        while (Ib < Sb.size() && Sb[Ib].Right <= X0)
            ++Ib;
        bool InA = Ia < Sa.size() && Sa[Ia].Left <= X0;
        bool InB = Ib < Sb.size() && Sb[Ib].Left <= X0;
        if (Apply(mode, InA, InB)) {
            if (!Out.empty() && Out.back().Right == X0)
                Out.back().Right = X1;
            else
                Out.push_back({X0, X1});
        }
    }
    return Out;
}

} // namespace

GdiRegion GdiRegion::Combine(const GdiRegion& a, const GdiRegion& b, int mode) {
    GdiRegion G;
    std::vector<int> Ys;
    Ys.reserve((a.FBands.size() + b.FBands.size()) * 2);
    for (const auto& band : a.FBands) {
        Ys.push_back(band.Top);
        Ys.push_back(band.Bottom);
    }
    for (const auto& band : b.FBands) {
        Ys.push_back(band.Top);
        Ys.push_back(band.Bottom);
    }
    std::sort(Ys.begin(), Ys.end());
    Ys.erase(std::unique(Ys.begin(), Ys.end()), Ys.end());
    size_t Ia = 0, Ib = 0;
    for (size_t K = 0; K + 1 < Ys.size(); ++K) {
        int Y0 = Ys[K], Y1 = Ys[K + 1];
        while (Ia < a.FBands.size() && a.FBands[Ia].Bottom <= Y0)
            ++Ia;
        while (Ib < b.FBands.size() && b.FBands[Ib].Bottom <= Y0)
            ++Ib;
        const std::vector<Span>* Sa = Ia < a.FBands.size() && a.FBands[Ia].Top <= Y0 ? &a.FBands[Ia].Spans : nullptr;
        const std::vector<Span>* Sb = Ib < b.FBands.size() && b.FBands[Ib].Top <= Y0 ? &b.FBands[Ib].Spans : nullptr;
        if (!Sa && !Sb)
            continue;
        G.AppendBand(Y0, Y1, CombineSpans(Sa, Sb, mode));
    }
    return G;
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
        for (auto& S : band.Spans) {
            S.Left += dx;
            S.Right += dx;
        }
    }
}

const GdiRegion::Band* GdiRegion::BandAt(int y) const {
    auto It = std::upper_bound(FBands.begin(), FBands.end(), y, [](int v, const Band& b) { return v < b.Bottom; });
    if (It == FBands.end() || It->Top > y)
        return nullptr;
    return &*It;
}

bool GdiRegion::Contains(int x, int y) const {
    const Band* B = BandAt(y);
    if (!B)
        return false;
    for (const auto& S : B->Spans)
        if (x >= S.Left && x < S.Right)
            return true;
    return false;
}

bool GdiRegion::Overlaps(const TRect& r) const {
    if (IsRectEmpty(r))
        return false;
    for (const auto& B : FBands) {
        if (B.Bottom <= r.Top || B.Top >= r.Bottom)
            continue;
        for (const auto& S : B.Spans)
            if (S.Right > r.Left && S.Left < r.Right)
                return true;
    }
    return false;
}

TRect GdiRegion::Bounds() const {
    if (FBands.empty())
        return {};
    TRect R{FBands.front().Spans.front().Left, FBands.front().Top, FBands.front().Spans.back().Right,
            FBands.back().Bottom};
    for (const auto& B : FBands) {
        R.Left = std::min(R.Left, B.Spans.front().Left);
        R.Right = std::max(R.Right, B.Spans.back().Right);
    }
    return R;
}

int GdiRegion::Kind() const {
    if (FBands.empty())
        return NULLREGION;
    if (FBands.size() == 1 && FBands[0].Spans.size() == 1)
        return SIMPLEREGION;
    return COMPLEXREGION;
}

std::vector<TRect> GdiRegion::Rects() const {
    std::vector<TRect> Out;
    for (const auto& B : FBands)
        for (const auto& S : B.Spans)
            Out.push_back({S.Left, B.Top, S.Right, B.Bottom});
    return Out;
}
