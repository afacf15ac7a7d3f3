// Hand-made checks of lines, polygons and rectangles beyond what the
// reference pictures (gdi_oracle_test.cpp) hold: symmetry, clipping, extreme
// coordinates, dashes, degenerate shapes and odd pen widths.
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

TEST(DcLines, ThinLineDrawnEitherWaySetsTheSamePixelsInEveryOctant) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-12, 52);
    CPen pen(PS_SOLID, 0, 0xFFFFFF);
    for (int i = 0; i < 400; ++i) {
        const POINT a{coord(rng), coord(rng)};
        const POINT b{coord(rng), coord(rng)};
        CDADC forward(40, 40), backward(40, 40);
        forward.pDC->SelectObject(&pen);
        backward.pDC->SelectObject(&pen);
        Line(forward.pDC, a, b);
        Line(backward.pDC, b, a);
        Pixels f = Lit(forward), r = Lit(backward);
        // Each direction has its own start and leaves out the other end.
        f.erase({a.x, a.y});
        r.erase({b.x, b.y});
        ASSERT_EQ(f, r) << "(" << a.x << "," << a.y << ") - (" << b.x << "," << b.y << ")";
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

TEST(DcLines, DashedThinPenPaintsGapsOnlyWithAnOpaqueBackground) {
    CDADC s(40, 2);
    CPen dash(PS_DASH, 1, 0xFFFFFF);
    s.pDC->SelectObject(&dash);
    s.pDC->SetBkColor(0x0000FF);
    Line(s.pDC, {0, 0}, {40, 0});
    s.pDC->SetBkMode(TRANSPARENT);
    Line(s.pDC, {0, 1}, {40, 1});
    for (int x = 0; x < 40; ++x) {
        const bool on = x % 24 < 18;
        EXPECT_EQ(SurfacePixel(s, x, 0), on ? 0xFFFFFFu : 0x0000FFu) << x;
        EXPECT_EQ(SurfacePixel(s, x, 1), on ? 0xFFFFFFu : 0u) << x;
    }
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
}

TEST(DcLines, NarrowPolygonsFillTheirLeftColumnOrNothing) {
    const struct {
        POINT corners[4];
        int columns;  // lit columns from x = 5, rows 5 to 14
    } cases[] = {{{{5, 5}, {6, 5}, {6, 15}, {5, 15}}, 1}, {{{5, 5}, {5, 5}, {5, 15}, {5, 15}}, 0}};
    for (const auto& c : cases) {
        CDADC s(20, 20);
        Tools white(s.pDC, PS_NULL, 1, 0, 0xFFFFFF);
        s.pDC->Polygon(c.corners, 4);
        Pixels expected;
        for (int y = 5; y < 15; ++y)
            for (int x = 5; x < 5 + c.columns; ++x)
                expected.insert({x, y});
        EXPECT_EQ(Lit(s), expected) << c.columns;
    }
}

// A five-pointed star drawn in one stroke: its centre is wound twice.
// Repeated points change nothing, in either mode.
TEST(DcLines, SelfCrossingPolygonFollowsTheFillModeAndIgnoresRepeatedPoints) {
    const POINT star[5] = {{20, 2}, {32, 36}, {2, 14}, {38, 14}, {8, 36}};
    const POINT repeated[8] = {{20, 2}, {20, 2},  {32, 36}, {2, 14},
                               {2, 14}, {38, 14}, {8, 36},  {20, 2}};
    for (int mode : {ALTERNATE, WINDING}) {
        CDADC a(40, 40), b(40, 40);
        Tools ta(a.pDC, PS_NULL, 1, 0, 0xFFFFFF), tb(b.pDC, PS_NULL, 1, 0, 0xFFFFFF);
        a.pDC->SetPolyFillMode(mode);
        b.pDC->SetPolyFillMode(mode);
        a.pDC->Polygon(star, 5);
        b.pDC->Polygon(repeated, 8);
        EXPECT_EQ(SurfacePixel(a, 20, 20), mode == WINDING ? 0xFFFFFFu : 0u);
        EXPECT_EQ(SurfacePixel(a, 20, 6), 0xFFFFFFu);  // a point of the star
        EXPECT_EQ(Lit(a), Lit(b)) << mode;
    }
}

TEST(DcLines, EmptyRectangleSucceedsAndAnOddWidePenLiesOnePixelEachSide) {
    CDADC s(20, 20);
    Tools tools(s.pDC, PS_SOLID, 3, 0xFFFFFF, 0x808080);
    EXPECT_TRUE(s.pDC->Rectangle(4, 4, 4, 9));
    EXPECT_TRUE(Lit(s).empty());
    EXPECT_TRUE(s.pDC->Rectangle(4, 4, 15, 12));  // path at x 4 and 14, y 4 and 11
    const struct {
        int x, y;
        COLORREF colour;
    } probes[] = {{9, 3, 0xFFFFFF},  {9, 5, 0xFFFFFF}, {9, 6, 0x808080},  {9, 2, 0},
                  {15, 8, 0xFFFFFF}, {16, 8, 0},       {9, 12, 0xFFFFFF}, {9, 13, 0}};
    for (const auto& p : probes)
        EXPECT_EQ(SurfacePixel(s, p.x, p.y), p.colour) << p.x << "," << p.y;
}

// --- span lists -------------------------------------------------------------------------

TEST(Raster, SpanListSubtractsRuns) {
    raster::SpanList a(10, 3), cut(10, 3);
    a.Add(1, 0, 10);
    a.Normalise();
    cut.Add(1, 2, 4);
    cut.Add(1, 6, 7);
    a.Subtract(cut);
    ASSERT_EQ(a.Spans().size(), 3u);
    EXPECT_EQ(a.Spans()[0].x1, 2);
    EXPECT_EQ(a.Spans()[1].x0, 4);
    EXPECT_EQ(a.Spans()[1].x1, 6);
    EXPECT_EQ(a.Spans()[2].x0, 7);
}

// Runs off the surface, empty, overlapping and touching: the list keeps
// exactly the pixels on the surface, sorted and merged.
TEST(Raster, SpanListNormalisesManyRunsToTheSamePixels) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> y(-2, 12), x(-5, 45), len(0, 9);
    for (int round = 0; round < 20; ++round) {
        raster::SpanList list(40, 10);
        std::set<std::pair<int, int>> expected;
        const int count = round < 10 ? 20 : 200;  // few runs and many
        for (int i = 0; i < count; ++i) {
            const int row = y(rng), x0 = x(rng), x1 = x0 + len(rng);
            list.Add(row, x0, x1);
            for (int px = std::max(x0, 0); px < std::min(x1, 40); ++px)
                if (row >= 0 && row < 10) expected.insert({px, row});
        }
        list.Normalise();
        std::set<std::pair<int, int>> got;
        const raster::Span* prev = nullptr;
        for (const raster::Span& s : list.Spans()) {
            if (prev) {
                ASSERT_TRUE(prev->y < s.y || prev->x1 < s.x0);  // sorted, apart
            }
            for (int px = s.x0; px < s.x1; ++px)
                got.insert({px, s.y});
            prev = &s;
        }
        EXPECT_EQ(got, expected);
    }
}
