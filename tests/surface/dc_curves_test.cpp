#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "surface/cdadc.h"
#include "surface/curves_internal.h"
#include "tools/gdi_script.h"

// Internal linkage, yet found by argument-dependent lookup from std.
static bool operator==(const POINT& a, const POINT& b) {
    return a.x == b.x && a.y == b.y;
}

namespace {

// Rows of '#' (lit) and '.' (black) for the top-left corner of a surface.
std::vector<std::string> Lit(const CDADC& s, int width, int height) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += SurfacePixel(s, x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

int LitCount(const CDADC& s) {
    int n = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            n += SurfacePixel(s, x, y) != 0;
    return n;
}

struct Pens {
    CPen white{PS_SOLID, 1, RGB(255, 255, 255)};
    CBrush whiteBrush{RGB(255, 255, 255)};
};

}  // namespace

// --- point generation ------------------------------------------------------

TEST(CurvePoints, QuadrantRunsByKingsMovesFromMiddleRightToMiddleColumn) {
    for (int w = 1; w <= 70; ++w) {
        for (int h = 1; h <= 70; ++h) {
            const std::vector<POINT> q = curves::EllipseQuadrant(w, h);
            ASSERT_FALSE(q.empty());
            EXPECT_EQ(q.front(), (POINT{w - 1, h / 2})) << w << "x" << h;
            EXPECT_EQ(q.back().x, w / 2) << w << "x" << h;
            for (size_t i = 1; i < q.size(); ++i) {
                const int dx = q[i - 1].x - q[i].x;
                const int dy = q[i].y - q[i - 1].y;
                ASSERT_TRUE(dx >= 0 && dx <= 1 && dy >= 0 && dy <= 1 && dx + dy > 0)
                    << w << "x" << h << " point " << i;
            }
        }
    }
    EXPECT_EQ(curves::EllipseQuadrant(3, 3), (std::vector<POINT>{{2, 1}, {1, 2}}));
    EXPECT_TRUE(curves::EllipseQuadrant(0, 5).empty());
    EXPECT_TRUE(curves::EllipseQuadrant(5, curves::kMaxEllipseExtent + 1).empty());
}

TEST(CurvePoints, EllipseOutlineIsClosedAndKeepsSharedMiddlePixelsOnce) {
    // A 3 × 3 box: a plus sign, from the right end counter-clockwise.
    EXPECT_EQ(curves::RoundRectOutline({8, 1, 11, 4}, 3, 3, false),
              (std::vector<POINT>{{10, 2}, {9, 1}, {8, 2}, {9, 3}, {10, 2}}));
    // Clockwise starts at the same point and runs through the bottom first.
    EXPECT_EQ(curves::RoundRectOutline({8, 1, 11, 4}, 3, 3, true),
              (std::vector<POINT>{{10, 2}, {9, 3}, {8, 2}, {9, 1}, {10, 2}}));
    // A 4 × 4 box has no shared pixels: four quarters of two points.
    const std::vector<POINT> even = curves::RoundRectOutline({0, 0, 4, 4}, 4, 4, false);
    EXPECT_EQ(even.size(), 8u);
    // Rounded corners leave straight runs between the corner arcs.
    const std::vector<POINT> rr = curves::RoundRectOutline({0, 0, 20, 10}, 5, 5, false);
    EXPECT_EQ(rr.front(), (POINT{19, 2}));
    EXPECT_EQ(rr.back(), (POINT{19, 7}));
}

TEST(CurvePoints, ArcsTurnCounterClockwiseUnlessToldOtherwise) {
    const RECT box{0, 0, 21, 21};  // centre pixel (10, 10)
    // From the right radial to the top one: the upper right quarter only.
    const std::vector<POINT> ccw = curves::ArcPoints(box, 10, 0, 0, -10, false);
    ASSERT_FALSE(ccw.empty());
    EXPECT_EQ(ccw.front(), (POINT{20, 10}));
    for (const POINT& p : ccw)
        EXPECT_TRUE(p.x >= 10 && p.y <= 10) << p.x << "," << p.y;
    // Clockwise, the same radials take the other three quarters.
    const std::vector<POINT> cw = curves::ArcPoints(box, 10, 0, 0, -10, true);
    EXPECT_EQ(cw.front(), (POINT{20, 10}));
    EXPECT_GT(cw.size(), 2 * ccw.size());
    EXPECT_EQ(cw[1].y, 11);  // heads down first
    // Coincident radials, and radials of any length in the same direction,
    // give the whole ellipse once.
    const std::vector<POINT> whole = curves::ArcPoints(box, 10, 0, 10, 0, false);
    EXPECT_EQ(whole.size(), 4 * curves::EllipseQuadrant(21, 21).size());
    EXPECT_EQ(curves::ArcPoints(box, 1000000, 0, 3, 0, false), whole);
    EXPECT_EQ(curves::ArcPoints(box, 0, 0, 0, 0, false).size(), whole.size());
}

TEST(CurvePoints, BezierFlatteningSubdividesUntilFlat) {
    const POINT straight[4] = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};
    EXPECT_EQ(curves::FlattenBeziers(straight, 4), (std::vector<POINT>{{0, 0}, {30, 0}}));

    const POINT arch[7] = {{0, 0}, {0, 40}, {40, 40}, {40, 0}, {40, -40}, {80, -40}, {80, 0}};
    const std::vector<POINT> flat = curves::FlattenBeziers(arch, 7);
    ASSERT_GT(flat.size(), 8u);
    EXPECT_LE(flat.size(), 2u * 256 + 1);
    EXPECT_EQ(flat.front(), (POINT{0, 0}));
    EXPECT_EQ(flat.back(), (POINT{80, 0}));
    EXPECT_EQ(std::count(flat.begin(), flat.end(), (POINT{40, 0})), 1);  // the joint once

    EXPECT_TRUE(curves::FlattenBeziers(arch, 5).empty());
    EXPECT_TRUE(curves::FlattenBeziers(arch, 1).empty());
    EXPECT_TRUE(curves::FlattenBeziers(nullptr, 4).empty());

    // Coordinates near the ends of the range stay inside the control hull.
    const POINT far[4] = {
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}};
    for (const POINT& p : curves::FlattenBeziers(far, 4)) {
        EXPECT_GE(p.x, INT_MIN);
        EXPECT_LE(p.y, INT_MAX);
    }
}

// --- drawing -----------------------------------------------------------------

// The reference pictures hold boxes of 1 to 6 pixels; these are the boxes
// without width or height, one pixel wide, and given corner first.
TEST(DrawCurves, DegenerateEllipsesAndCornerOrder) {
    Pens p;
    auto draw = [&](int l, int t, int r, int b) {
        auto s = std::make_unique<CDADC>(8, 8);
        s->pDC->SelectObject(&p.white);
        s->pDC->SelectObject(&p.whiteBrush);
        EXPECT_TRUE(s->pDC->Ellipse(l, t, r, b));
        return Lit(*s, 8, 8);
    };
    const std::vector<std::string> none(8, "........");
    EXPECT_EQ(draw(1, 1, 1, 6), none);  // no width
    EXPECT_EQ(draw(1, 1, 6, 1), none);  // no height
    EXPECT_EQ(draw(1, 1, 2, 6),
              (std::vector<std::string>{"........", ".#......", ".#......", ".#......", ".#......",
                                        ".#......", "........", "........"}));
    EXPECT_EQ(draw(6, 6, 1, 1), draw(1, 1, 6, 6));
    EXPECT_EQ(draw(6, 1, 1, 6), draw(1, 1, 6, 6));
}

TEST(DrawCurves, FarAwayAndHugeShapesAreClippedOrRefused) {
    CPen wide(PS_SOLID, 7, RGB(255, 255, 255));
    CPen thin(PS_SOLID, 1, RGB(255, 255, 255));
    CBrush brush(RGB(0, 0, 255));
    for (CPen* pen : {&thin, &wide}) {
        CDADC s(40, 30);
        CDC& dc = *s.pDC;
        dc.SelectObject(pen);
        dc.SelectObject(&brush);
        // Entirely outside: nothing drawn, and that is a success.
        EXPECT_TRUE(dc.Ellipse(1000000000, 1000000000, 1000000100, 1000000060));
        EXPECT_TRUE(dc.Ellipse(-2000000000, 5, -1999999000, 25));
        EXPECT_TRUE(dc.RoundRect(INT_MAX - 50, 0, INT_MAX, 20, INT_MAX, INT_MAX));
        EXPECT_TRUE(dc.Arc(INT_MIN, INT_MIN, INT_MIN + 80, INT_MIN + 80, INT_MAX, INT_MAX, 0, 0));
        EXPECT_EQ(LitCount(s), 0);
        // Too large to trace, though it crosses the surface: refused.
        EXPECT_FALSE(dc.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
        EXPECT_FALSE(dc.Arc(-2000000000, -10, 2000000000, 40, 0, 0, 0, 0));
        // Partly visible: the visible part is drawn.
        EXPECT_TRUE(dc.Ellipse(-30, -20, 60, 50));
        EXPECT_TRUE(dc.RoundRect(-20000, 10, 20000, 20, 80000, 8));
        EXPECT_TRUE(dc.Arc(-60, -60, 100, 100, INT_MAX, INT_MIN, INT_MIN, INT_MAX));
        const POINT far[4] = {
            {-2000000000, 15}, {20, -2000000000}, {20, 2000000000}, {2000000000, 15}};
        EXPECT_TRUE(dc.PolyBezier(far, 4));
        EXPECT_GT(LitCount(s), 0);
    }
}

TEST(DrawCurves, ShapesCutByTheEdgesShowWhatALargerSurfaceShows) {
    // Parts of an outline far beyond an edge are left out before stroking;
    // the visible pixels must not change. The large surface draws the same
    // shapes moved by (100, 100), except the Bézier curve, whose flattening
    // rounds negative coordinates differently: it only leaves the small
    // surface to the right and below.
    for (int width : {1, 2, 7}) {
        CPen pen(PS_SOLID, width, RGB(255, 255, 0));
        CBrush brush(RGB(0, 0, 255));
        CDADC small(40, 30), shapes(240, 230), curve(240, 230);
        for (CDADC* s : {&small, &shapes, &curve}) {
            s->pDC->SelectObject(&pen);
            s->pDC->SelectObject(&brush);
        }
        auto draw = [](CDC& dc, int d) {
            dc.Ellipse(-60 + d, -45 + d, 70 + d, 52 + d);
            dc.RoundRect(-90 + d, 12 + d, 30 + d, 100 + d, 50, 40);
            dc.Arc(15 + d, -70 + d, 95 + d, 20 + d, 15 + d, 0 + d, 95 + d, 0 + d);
            dc.Ellipse(5 + d, -3 + d, 35 + d, 20 + d);  // just over the top edge
        };
        draw(*small.pDC, 0);
        draw(*shapes.pDC, 100);
        const POINT bezier[4] = {{5, 5}, {120, 10}, {-20, 90}, {150, 200}};
        small.pDC->PolyBezier(bezier, 4);
        curve.pDC->PolyBezier(bezier, 4);
        int differing = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const COLORREF onTop = SurfacePixel(curve, x, y);
                const COLORREF expected = onTop ? onTop : SurfacePixel(shapes, x + 100, y + 100);
                differing += SurfacePixel(small, x, y) != expected;
            }
        }
        EXPECT_EQ(differing, 0) << "pen width " << width;
        EXPECT_GT(LitCount(small), 100);
    }
}

TEST(DrawCurves, RoundRectCornersAndInsideFramePens) {
    Pens p;
    CDADC a(30, 30), b(30, 30);
    for (CDADC* s : {&a, &b}) {
        s->pDC->SelectObject(&p.white);
        s->pDC->SelectObject(&p.whiteBrush);
    }
    // Corners of two pixels or less are square.
    EXPECT_TRUE(a.pDC->RoundRect(2, 3, 20, 15, 2, 40));
    EXPECT_TRUE(b.pDC->Rectangle(2, 3, 20, 15));
    EXPECT_EQ(Lit(a, 30, 30), Lit(b, 30, 30));

    // An inside-frame pen keeps its whole width within the box.
    CPen frame(PS_INSIDEFRAME, 5, RGB(255, 0, 0));
    CDADC c(30, 30);
    c.pDC->SelectObject(&frame);
    c.pDC->SelectStockObject(NULL_BRUSH);
    EXPECT_TRUE(c.pDC->Ellipse(4, 6, 24, 22));
    EXPECT_TRUE(c.pDC->Arc(4, 6, 24, 22, 0, 0, 0, 0));
    int outside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            outside += SurfacePixel(c, x, y) != 0 && (x < 4 || x >= 24 || y < 6 || y >= 22);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(LitCount(c), 100);
}

TEST(DrawCurves, PolyBezierRefusesCountsOtherThanThreeNPlusOne) {
    CDADC s(10, 10);
    const POINT pts[5] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    for (int count : {0, 1, 3, 5})
        EXPECT_FALSE(s.pDC->PolyBezier(pts, count)) << count;
    EXPECT_FALSE(s.pDC->PolyBezier(nullptr, 4));
    EXPECT_TRUE(s.pDC->PolyBezier(pts, 4));
}
