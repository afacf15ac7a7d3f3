// Hand-made checks of lines, polygons and rectangles beyond what the
// reference pictures (gdi_oracle_test.cpp) hold: symmetry, clipping, extreme
// coordinates and dashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "surface/cdadc.h"
#include "surface/dc.h"
#include "surface/raster.h"
#include "tools/gdi_script.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels that are not black in the window (ox, oy, w, h), moved to the
// window's origin; the whole surface by default.
Pixels Lit(const CDADC& s, int ox = 0, int oy = 0, int w = -1, int h = -1) {
    Pixels lit;
    for (int y = 0; y < (h < 0 ? s.height : h); ++y)
        for (int x = 0; x < (w < 0 ? s.width : w); ++x)
            if (SurfacePixel(s, x + ox, y + oy) != 0) lit.insert({x, y});
    return lit;
}

struct Tools {
    CPen pen;
    CBrush brush;
    Tools(CDC* dc, int style, int width, COLORREF pen_colour, COLORREF brush_colour)
        : pen(style, width, pen_colour), brush(brush_colour) {
        dc->SelectObject(&pen);
        dc->SelectObject(&brush);
    }
};

void Line(CDC* dc, POINT a, POINT b) {
    dc->MoveTo(a.x, a.y);
    dc->LineTo(b.x, b.y);
}

}  // namespace

// Slope 1/2 passes halfway between two pixels at x = 1 and 3: the upper one
// is taken whichever way the line runs. The reference pictures have no ties.
TEST(DcLines, ThinLineOnATieTakesTheUpperPixelEitherWay) {
    CPen pen(PS_SOLID, 1, 0xFFFFFF);
    const std::tuple<POINT, POINT, Pixels> lines[] = {
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {{4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}}};
    for (const auto& [a, b, expected] : lines) {
        CDADC s(8, 8);
        s.pDC->SelectObject(&pen);
        Line(s.pDC, a, b);
        EXPECT_EQ(Lit(s), expected) << a.x << "," << a.y;
    }
}

TEST(DcLines, ClippedShapesMatchTheUnclippedOnes) {
    // The same drawing on a 40 × 30 surface and, moved by (60, 60), in the
    // middle of a 160 × 150 surface: clipping must not move a pixel.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-55, 95);
    std::uniform_int_distribution<int> width(0, 7);
    for (int i = 0; i < 100; ++i) {
        std::vector<POINT> pts(3 + i % 4);
        for (POINT& p : pts)
            p = {coord(rng), coord(rng)};
        const int w = width(rng);
        CDADC small(40, 30), big(160, 150);
        std::vector<POINT> moved = pts;
        for (POINT& p : moved)
            p = {p.x + 60, p.y + 60};
        Tools ts(small.pDC, PS_SOLID, w, 0x00FF00, 0x0000FF);
        Tools tb(big.pDC, PS_SOLID, w, 0x00FF00, 0x0000FF);
        if (i % 2) {
            small.pDC->Polyline(pts.data(), static_cast<int>(pts.size()));
            big.pDC->Polyline(moved.data(), static_cast<int>(moved.size()));
        } else {
            small.pDC->SetPolyFillMode(i % 4 ? WINDING : ALTERNATE);
            big.pDC->SetPolyFillMode(i % 4 ? WINDING : ALTERNATE);
            small.pDC->Polygon(pts.data(), static_cast<int>(pts.size()));
            big.pDC->Polygon(moved.data(), static_cast<int>(moved.size()));
        }
        ASSERT_EQ(Lit(small), Lit(big, 60, 60, 40, 30)) << "shape " << i << " width " << w;
    }
}

TEST(DcLines, CoordinatesFarOutsideAreClippedSafely) {
    CDADC s(50, 40);
    CPen pen(PS_SOLID, 1, 0xFFFFFF);
    s.pDC->SelectObject(&pen);
    Line(s.pDC, {-1000000, -1000000}, {1000000, 1000000});
    Pixels diagonal;
    for (int i = 0; i < 40; ++i)
        diagonal.insert({i, i});
    EXPECT_EQ(Lit(s), diagonal);

    // Extreme values must neither crash nor write outside the surface.
    const int big = 2147483647, small = -2147483647 - 1;
    Line(s.pDC, {small, small}, {big, big});
    Line(s.pDC, {small, 20}, {big, 21});
    Line(s.pDC, {25, small}, {26, big});
    CPen wide(PS_SOLID, 6, 0x00FF00);
    s.pDC->SelectObject(&wide);
    Line(s.pDC, {-1000000, 20}, {1000000, 25});
    Line(s.pDC, {small, small}, {big, big});
    const POINT huge[3] = {{small, small}, {big, 0}, {0, big}};
    s.pDC->Polygon(huge, 3);
    s.pDC->Rectangle(small, small, big, big);
    raster::SpanList ellipse(50, 40);
    raster::AddRoundRect(ellipse, small, small, big, big, big, big);
    ellipse.Normalise();
    EXPECT_EQ(ellipse.Spans().size(), 40u);  // the middle of a huge ellipse: every row
    // A polygon that covers the surface fills all of it.
    Tools blue(s.pDC, PS_NULL, 1, 0, 0xFF0000);
    const POINT cover[4] = {
        {-1000000, -1000000}, {1000000, -1000000}, {1000000, 1000000}, {-1000000, 1000000}};
    EXPECT_TRUE(s.pDC->Polygon(cover, 4));
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            ASSERT_EQ(SurfacePixel(s, x, y), 0xFF0000u);
}

TEST(DcLines, LineToMovesThePositionAndPolylineDoesNot) {
    CDADC s(10, 10);
    s.pDC->MoveTo(1, 1);
    EXPECT_TRUE(s.pDC->LineTo(5, 6));
    EXPECT_EQ(s.pDC->GetCurrentPosition().x, 5);
    EXPECT_EQ(s.pDC->GetCurrentPosition().y, 6);
    const POINT pts[2] = {{0, 0}, {9, 9}};
    EXPECT_TRUE(s.pDC->Polyline(pts, 2));
    EXPECT_EQ(s.pDC->GetCurrentPosition().x, 5);
    EXPECT_FALSE(s.pDC->Polyline(pts, 1));
    EXPECT_FALSE(s.pDC->Polygon(pts, 1));
    EXPECT_FALSE(s.pDC->Polygon(nullptr, 3));
    EXPECT_TRUE(s.pDC->Rectangle(4, 4, 4, 9));  // empty, yet a success
}
