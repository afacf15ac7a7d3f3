#include <gtest/gtest.h>

#include <climits>

#include "surface/cdadc.h"
#include "tools/gdi_script.h"

namespace {

int LitCount(const CDADC& s) {
    int n = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            n += SurfacePixel(s, x, y) != 0;
    return n;
}

}  // namespace

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

// An inside-frame pen keeps its whole width within the box.
TEST(DrawCurves, InsideFramePensStayInTheBox) {
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
