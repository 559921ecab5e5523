#include "platform/gdi/GdiRegion.h"
#include "platform/gdi/WinGdi.h"

#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace {

std::vector<TRect> RectsOf(HRGN h) {
    return GdiRegionOf(h).Rects();
}

TEST(GdiRegion, CombineModesOfTwoOverlappingRectangles) {
    // A = (0,0)-(4,4), B = (2,2)-(6,6).
    struct Case {
        int Mode;
        int Kind;
        std::vector<TRect> Rects;
    } cases[] = {
        {RGN_AND, SIMPLEREGION, {{2, 2, 4, 4}}},
        {RGN_OR, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}},
        {RGN_XOR, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}}},
        {RGN_DIFF, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
        {RGN_COPY, SIMPLEREGION, {{0, 0, 4, 4}}},
    };
    for (const auto& c : cases) {
        HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6), d = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Kind) << c.Mode;
        EXPECT_EQ(RectsOf(d), c.Rects) << c.Mode;
        DeleteObject(a);
        DeleteObject(b);
        DeleteObject(d);
    }
}

TEST(GdiRegion, DisjointAndEmptyResults) {
    HRGN a = CreateRectRgn(0, 0, 2, 2), b = CreateRectRgn(5, 5, 7, 7), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), NULLREGION);
    EXPECT_TRUE(RectsOf(d).empty());
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    // A destination may also be a source.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(RectsOf(a), (std::vector<TRect>{{0, 0, 2, 2}, {5, 5, 7, 7}}));
    // Touching rectangles join into one.
    HRGN c = CreateRectRgn(2, 0, 4, 2), e = CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(CombineRgn(d, e, c, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(RectsOf(d), (std::vector<TRect>{{0, 0, 4, 2}}));
    for (HRGN h : {a, b, c, d, e})
        DeleteObject(h);
    EXPECT_EQ(CombineRgn(nullptr, nullptr, nullptr, RGN_OR), ERROR);
}

TEST(GdiRegion, OffsetPointAndRectangleTests) {
    HRGN r = CreateRectRgn(1, 1, 3, 3);
    EXPECT_EQ(OffsetRgn(r, 10, 20), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{11, 21, 13, 23}));
    EXPECT_TRUE(PtInRegion(r, 11, 21));
    EXPECT_FALSE(PtInRegion(r, 13, 21)); // right edge is outside
    EXPECT_FALSE(PtInRegion(r, 11, 23)); // bottom edge is outside
    RECT touch{13, 21, 20, 30}, cross{12, 22, 20, 30};
    EXPECT_FALSE(RectInRegion(r, &touch));
    EXPECT_TRUE(RectInRegion(r, &cross));
    HRGN same = CreateRectRgn(11, 21, 13, 23);
    EXPECT_TRUE(EqualRgn(r, same));
    DeleteObject(r);
    DeleteObject(same);
}

TEST(GdiRegion, RegionDataRoundTripAndExtCreateRegion) {
    HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6);
    CombineRgn(a, a, b, RGN_XOR);
    DWORD size = GetRegionData(a, 0, nullptr);
    EXPECT_EQ(size, 32u + 4u * 16u);
    std::vector<char> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    EXPECT_EQ(GetRegionData(a, size, data), size);
    EXPECT_EQ(data->rdh.nCount, 4u);
    EXPECT_EQ(data->rdh.rcBound, (RECT{0, 0, 6, 6}));
    HRGN back = ExtCreateRegion(nullptr, size, data);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(EqualRgn(a, back));
    // Overlapping rectangles in the data are joined.
    struct {
        RGNDATAHEADER h;
        RECT r[2];
    } two{};
    two.h.nCount = 2;
    two.r[0] = {0, 0, 3, 1};
    two.r[1] = {2, 0, 5, 1};
    HRGN joined = ExtCreateRegion(nullptr, sizeof two, reinterpret_cast<RGNDATA*>(&two));
    EXPECT_EQ(RectsOf(joined), (std::vector<TRect>{{0, 0, 5, 1}}));
    for (HRGN h : {a, b, back, joined})
        DeleteObject(h);
}

TEST(GdiRegion, ExtCreateRegionRefusesDataShorterThanItsCount) {
    struct {
        RGNDATAHEADER h;
        RECT r[1];
    } d{};
    d.h.nCount = 1000; // claims far more rectangles than the bytes given
    d.r[0] = {0, 0, 1, 1};
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof d, reinterpret_cast<RGNDATA*>(&d)), nullptr);
    d.h.nCount = 1;
    d.h.dwSize = 12; // wrong header size
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof d, reinterpret_cast<RGNDATA*>(&d)), nullptr);
    EXPECT_EQ(ExtCreateRegion(nullptr, 8, reinterpret_cast<RGNDATA*>(&d)), nullptr);
}

TEST(GdiRegion, EllipseAndPolygonShapes) {
    gditest::Surface s(8, 6);
    HRGN e = CreateEllipticRgn(0, 0, 8, 6);
    FillRgn(s.DC, e, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_PICTURE(s, "..####..", ".######.", "########", "########", ".######.", "..####..");
    DeleteObject(e);

    gditest::Surface t(6, 6);
    POINT tri[] = {{0, 0}, {6, 0}, {0, 6}};
    HRGN p = CreatePolygonRgn(tri, 3, ALTERNATE);
    FillRgn(t.DC, p, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_PICTURE(t, "#####.", "####..", "###...", "##....", "#.....", "......");
    DeleteObject(p);
}

TEST(GdiRegion, PolygonFillModes) {
    // A square drawn twice around: alternate leaves the inside empty only where the winding count is even.
    POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
    HRGN alt = CreatePolygonRgn(pts, 8, ALTERNATE), wind = CreatePolygonRgn(pts, 8, WINDING);
    EXPECT_TRUE(RectsOf(alt).empty());
    EXPECT_EQ(RectsOf(wind), (std::vector<TRect>{{0, 0, 4, 4}}));
    DeleteObject(alt);
    DeleteObject(wind);
}

TEST(GdiRegion, SelectedClipRegionIsACopy) {
    gditest::Surface s(4, 1);
    HRGN r = CreateRectRgn(1, 0, 3, 1);
    SelectClipRgn(s.DC, r);
    // The caller's region changes and goes away; the DC keeps what was selected.
    SetRectRgn(r, 0, 0, 4, 1);
    DeleteObject(r);
    RECT all{0, 0, 4, 1};
    FillRect(s.DC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_PICTURE(s, ".##.");
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(s.DC, got), 1);
    EXPECT_EQ(RectsOf(got), (std::vector<TRect>{{1, 0, 3, 1}}));
    DeleteObject(got);
}

TEST(GdiRegion, DeletedHandlesAreRefusedAndNothingLeaks) {
    int before = GdiLiveObjectCount();
    HRGN r = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GdiLiveObjectCount(), before + 1);
    EXPECT_TRUE(DeleteObject(r));
    EXPECT_FALSE(DeleteObject(r));
    EXPECT_EQ(OffsetRgn(r, 1, 1), ERROR);
    EXPECT_EQ(GdiLiveObjectCount(), before);
}

} // namespace
