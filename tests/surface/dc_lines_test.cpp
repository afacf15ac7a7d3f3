#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "surface/cdadc.h"
#include "surface/dc.h"
#include "surface/raster.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

COLORREF At(const CDADC& s, int x, int y) {
    const BYTE* p = s.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// The pixels that are not black.
Pixels Lit(const CDADC& s) {
    Pixels lit;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (At(s, x, y) != 0) lit.insert({x, y});
    return lit;
}

// Pixels lit on a larger surface that lie in the window (ox, oy, w, h),
// moved to the window's origin.
Pixels Window(const CDADC& s, int ox, int oy, int w, int h) {
    Pixels out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (At(s, x + ox, y + oy) != 0) out.insert({x, y});
    return out;
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

// --- one-pixel lines -----------------------------------------------------------

TEST(DcLines, ThinLineTakesTheBresenhamPixelsAndLeavesOutItsEnd) {
    CDADC s(8, 8);
    CPen pen(PS_SOLID, 1, 0xFFFFFF);
    s.pDC->SelectObject(&pen);
    Line(s.pDC, {0, 0}, {4, 2});
    EXPECT_EQ(Lit(s), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));

    CDADC t(8, 8);
    t.pDC->SelectObject(&pen);
    Line(t.pDC, {4, 2}, {0, 0});  // the reverse: same middle, other end left out
    EXPECT_EQ(Lit(t), (Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));

    CDADC u(8, 8);
    u.pDC->SelectObject(&pen);
    Line(u.pDC, {3, 3}, {3, 3});  // a line of no length sets nothing
    EXPECT_TRUE(Lit(u).empty());
    EXPECT_EQ(u.pDC->GetCurrentPosition().x, 3);
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
        ASSERT_EQ(Lit(small), Window(big, 60, 60, 40, 30)) << "shape " << i << " width " << w;
    }
}

TEST(DcLines, CoordinatesFarOutsideAreClippedSafely) {
    CDADC s(50, 40);
    CPen pen(PS_SOLID, 1, 0xFFFFFF);
    s.pDC->SelectObject(&pen);
    Line(s.pDC, {-1000000, -1000000}, {1000000, 1000000});
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(At(s, i, i), 0xFFFFFFu) << i;
    EXPECT_EQ(Lit(s).size(), 40u);

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
    CPen none(PS_NULL, 1, 0);
    CBrush blue(0xFF0000);
    s.pDC->SelectObject(&none);
    s.pDC->SelectObject(&blue);
    const POINT cover[4] = {
        {-1000000, -1000000}, {1000000, -1000000}, {1000000, 1000000}, {-1000000, 1000000}};
    EXPECT_TRUE(s.pDC->Polygon(cover, 4));
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            ASSERT_EQ(At(s, x, y), 0xFF0000u);
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
        EXPECT_EQ(At(s, x, 0), on ? 0xFFFFFFu : 0x0000FFu) << x;
        EXPECT_EQ(At(s, x, 1), on ? 0xFFFFFFu : 0u) << x;
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

// --- wide pens --------------------------------------------------------------------

TEST(DcLines, WidePenIsCentredWithRoundEnds) {
    CDADC s(30, 20);
    CPen pen(PS_SOLID, 4, 0xFFFFFF);
    s.pDC->SelectObject(&pen);
    Line(s.pDC, {5, 10}, {25, 10});
    // Width 4 covers rows 8 to 11: the odd pixel goes above the path.
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(At(s, 15, y) != 0, y >= 8 && y <= 11) << y;
    // The round cap reaches width / 2 past each end.
    EXPECT_NE(At(s, 3, 10), 0u);
    EXPECT_EQ(At(s, 2, 10), 0u);
    EXPECT_NE(At(s, 26, 10), 0u);
    EXPECT_EQ(At(s, 27, 10), 0u);

    // A wide pen's line of no length is a round dot.
    CDADC d(12, 12);
    CPen five(PS_SOLID, 5, 0xFFFFFF);
    d.pDC->SelectObject(&five);
    Line(d.pDC, {6, 6}, {6, 6});
    EXPECT_EQ(Lit(d), (Pixels{{5, 4}, {6, 4}, {7, 4}, {4, 5}, {5, 5}, {6, 5}, {7, 5},
                              {8, 5}, {4, 6}, {5, 6}, {6, 6}, {7, 6}, {8, 6}, {4, 7},
                              {5, 7}, {6, 7}, {7, 7}, {8, 7}, {5, 8}, {6, 8}, {7, 8}}));
}

// --- polygons -----------------------------------------------------------------------

TEST(DcLines, PolygonFillTakesTopAndLeftEdgesOnly) {
    CDADC s(20, 20);
    CPen none(PS_NULL, 1, 0);
    CBrush white(0xFFFFFF);
    s.pDC->SelectObject(&none);
    s.pDC->SelectObject(&white);
    const POINT square[4] = {{2, 3}, {7, 3}, {7, 9}, {2, 9}};
    s.pDC->Polygon(square, 4);
    Pixels expected;
    for (int y = 3; y < 9; ++y)
        for (int x = 2; x < 7; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Lit(s), expected);

    // One pixel wide: the column of its left edge.
    CDADC t(20, 20);
    t.pDC->SelectObject(&none);
    t.pDC->SelectObject(&white);
    const POINT sliver[4] = {{5, 5}, {6, 5}, {6, 15}, {5, 15}};
    t.pDC->Polygon(sliver, 4);
    Pixels column;
    for (int y = 5; y < 15; ++y)
        column.insert({5, y});
    EXPECT_EQ(Lit(t), column);
    // No width at all: nothing.
    CDADC u(20, 20);
    u.pDC->SelectObject(&none);
    u.pDC->SelectObject(&white);
    const POINT flat[4] = {{5, 5}, {5, 5}, {5, 15}, {5, 15}};
    u.pDC->Polygon(flat, 4);
    EXPECT_TRUE(Lit(u).empty());
}

TEST(DcLines, SelfCrossingPolygonFollowsTheFillMode) {
    // A five-pointed star drawn in one stroke: its centre is wound twice.
    const POINT star[5] = {{20, 2}, {32, 36}, {2, 14}, {38, 14}, {8, 36}};
    CPen none(PS_NULL, 1, 0);
    CBrush white(0xFFFFFF);
    CDADC alt(40, 40), wind(40, 40);
    for (CDADC* s : {&alt, &wind}) {
        s->pDC->SelectObject(&none);
        s->pDC->SelectObject(&white);
    }
    wind.pDC->SetPolyFillMode(WINDING);
    alt.pDC->Polygon(star, 5);
    wind.pDC->Polygon(star, 5);
    EXPECT_EQ(At(alt, 20, 20), 0u);
    EXPECT_EQ(At(wind, 20, 20), 0xFFFFFFu);
    EXPECT_EQ(At(alt, 20, 6), 0xFFFFFFu);  // a point of the star
    EXPECT_EQ(At(wind, 20, 6), 0xFFFFFFu);

    // Repeated points change nothing, in either mode.
    const POINT repeated[8] = {{20, 2}, {20, 2},  {32, 36}, {2, 14},
                               {2, 14}, {38, 14}, {8, 36},  {20, 2}};
    for (int mode : {ALTERNATE, WINDING}) {
        CDADC a(40, 40), b(40, 40);
        for (CDADC* s : {&a, &b}) {
            s->pDC->SelectObject(&none);
            s->pDC->SelectObject(&white);
            s->pDC->SetPolyFillMode(mode);
        }
        a.pDC->Polygon(star, 5);
        b.pDC->Polygon(repeated, 8);
        EXPECT_EQ(Lit(a), Lit(b)) << mode;
    }
}

TEST(DcLines, PolygonOutlineIsDrawnOverTheFillAndHollowBrushFillsNothing) {
    CDADC s(20, 20);
    CPen red(PS_SOLID, 1, 0x0000FF);
    s.pDC->SelectObject(&red);
    s.pDC->SelectStockObject(NULL_BRUSH);
    const POINT tri[3] = {{2, 2}, {15, 2}, {2, 15}};
    s.pDC->Polygon(tri, 3);
    EXPECT_EQ(At(s, 5, 5), 0u);
    // The closing edge ends where the outline began: every vertex is set.
    EXPECT_EQ(At(s, 2, 2), 0x0000FFu);
    EXPECT_EQ(At(s, 15, 2), 0x0000FFu);
    EXPECT_EQ(At(s, 2, 15), 0x0000FFu);
}

// --- rectangles -----------------------------------------------------------------------

TEST(DcLines, RectangleLeavesOutRightAndBottomAndCentresWidePens) {
    CPen thin(PS_SOLID, 1, 0xFFFFFF), none(PS_NULL, 1, 0), wide(PS_SOLID, 3, 0xFFFFFF);
    CBrush grey(0x808080);
    auto draw = [&](CPen* pen, int l, int t, int r, int b) {
        auto s = std::make_unique<CDADC>(20, 20);
        s->pDC->SelectObject(pen);
        s->pDC->SelectObject(&grey);
        EXPECT_TRUE(s->pDC->Rectangle(l, t, r, b));
        return s;
    };
    auto box = [](int l, int t, int r, int b) {
        Pixels p;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                p.insert({x, y});
        return p;
    };

    auto s = draw(&thin, 2, 3, 9, 8);  // outline at x 2..8, y 3..7
    EXPECT_EQ(Lit(*s), box(2, 3, 9, 8));
    EXPECT_EQ(At(*s, 8, 7), 0xFFFFFFu);
    EXPECT_EQ(At(*s, 3, 4), 0x808080u);
    EXPECT_EQ(At(*s, 7, 6), 0x808080u);
    EXPECT_EQ(At(*s, 7, 7), 0xFFFFFFu);

    // Without a pen the fill still loses the last column and row.
    EXPECT_EQ(Lit(*draw(&none, 2, 3, 9, 8)), box(2, 3, 8, 7));
    // Corners given the other way round make the same rectangle.
    EXPECT_EQ(Lit(*draw(&none, 9, 8, 2, 3)), box(2, 3, 8, 7));
    // Empty rectangles draw nothing and succeed.
    EXPECT_TRUE(Lit(*draw(&thin, 4, 4, 4, 9)).empty());

    // Width 3 lies across the outline path: one pixel out, one pixel in.
    auto w = draw(&wide, 4, 4, 15, 12);  // path at x 4 and 14, y 4 and 11
    EXPECT_EQ(At(*w, 9, 3), 0xFFFFFFu);
    EXPECT_EQ(At(*w, 9, 5), 0xFFFFFFu);
    EXPECT_EQ(At(*w, 9, 6), 0x808080u);
    EXPECT_EQ(At(*w, 9, 2), 0u);
    EXPECT_EQ(At(*w, 15, 8), 0xFFFFFFu);
    EXPECT_EQ(At(*w, 16, 8), 0u);
    EXPECT_EQ(At(*w, 9, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*w, 9, 13), 0u);
}

// --- span lists -------------------------------------------------------------------------

TEST(Raster, SpanListClipsMergesAndSubtracts) {
    raster::SpanList a(10, 3);
    a.Add(1, 6, 20);
    a.Add(1, -5, 3);
    a.Add(1, 2, 7);
    a.Add(5, 0, 4);  // below the surface
    a.Add(0, 4, 4);  // empty
    a.Normalise();
    ASSERT_EQ(a.Spans().size(), 1u);
    EXPECT_EQ(a.Spans()[0].x0, 0);
    EXPECT_EQ(a.Spans()[0].x1, 10);

    raster::SpanList cut(10, 3);
    cut.Add(1, 2, 4);
    cut.Add(1, 6, 7);
    a.Subtract(cut);
    ASSERT_EQ(a.Spans().size(), 3u);
    EXPECT_EQ(a.Spans()[0].x1, 2);
    EXPECT_EQ(a.Spans()[1].x0, 4);
    EXPECT_EQ(a.Spans()[1].x1, 6);
    EXPECT_EQ(a.Spans()[2].x0, 7);
}

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
