// GdiRegion: an area of the plane as horizontal bands of disjoint spans, the value behind every HRGN; the window
// layer may use it directly for visible regions.
//
// Public names: GdiRegion (FromRect, FromRects, Ellipse, RoundRect, Polygon, Combine, Union, Intersect,
// Subtract, Xor, Offset, Contains, Overlaps, Bounds, IsEmpty, Rects, Kind, SpansInRow); GdiRegionOf(HRGN),
// CreateRgnFromRegion(GdiRegion).
#pragma once

#include "platform/gdi/WinDef.h"

#include <vector>

class GdiRegion {
public:
    struct Span {
        int Left;
        int Right; // exclusive
        friend bool operator==(const Span&, const Span&) = default;
    };
    struct Band {
        int Top;
        int Bottom;              // exclusive
        std::vector<Span> Spans; // sorted, disjoint, not touching
        friend bool operator==(const Band&, const Band&) = default;
    };

    GdiRegion() = default;
    static GdiRegion FromRect(const TRect& r);
    // The union of rectangles that may overlap.
    static GdiRegion FromRects(const TRect* rects, int count);
    // Pixels whose centres lie in the ellipse that fits the box (right and bottom exclusive).
    static GdiRegion Ellipse(const TRect& box);
    static GdiRegion RoundRect(const TRect& box, int ellipseWidth, int ellipseHeight);
    // Pixels whose centres lie inside the polygon by the fill mode (ALTERNATE or WINDING).
    static GdiRegion Polygon(const TPoint* points, int count, int fillMode);

    // Mode is RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF.
    static GdiRegion Combine(const GdiRegion& a, const GdiRegion& b, int mode);
    GdiRegion Union(const GdiRegion& o) const;
    GdiRegion Intersect(const GdiRegion& o) const;
    GdiRegion Subtract(const GdiRegion& o) const;
    GdiRegion Xor(const GdiRegion& o) const;
    void Offset(int dx, int dy);

    bool Contains(int x, int y) const;
    bool Overlaps(const TRect& r) const;
    TRect Bounds() const;
    bool IsEmpty() const { return FBands.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    // Rectangles in row-major order (top to bottom, then left to right), one per span of a band.
    std::vector<TRect> Rects() const;
    const std::vector<Band>& Bands() const { return FBands; }
    // The band holding row y, or nullptr.
    const Band* BandAt(int y) const;
    friend bool operator==(const GdiRegion&, const GdiRegion&) = default;

private:
    std::vector<Band> FBands; // sorted by Top, not overlapping; equal neighbours joined
    void AppendBand(int top, int bottom, std::vector<Span>&& spans);
};

// A copy of the region behind a handle (empty for an invalid handle).
GdiRegion GdiRegionOf(HRGN rgn);
HRGN CreateRgnFromRegion(const GdiRegion& region);
