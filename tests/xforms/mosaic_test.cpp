#include "xforms/mosaic.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

// Every pixel its own colour, so a tile's colour tells where it was sampled.
COLORREF Coded(int x, int y) {
    return RGB(x & 255, y & 255, ((x >> 8) << 4) | (y >> 8));
}

Canvas Render(const CDADC& in, MosaicParams p, int k, unsigned seed) {
    return RenderXform(Mosaic, in, p, k, seed);
}

constexpr COLORREF kBackground = RGB(1, 2, 3);

MosaicParams Defaults() {
    MosaicParams p;
    p.background.colour = kBackground;
    return p;
}

using MosaicTest = XformTest;

TEST_F(MosaicTest, DefaultGridOn400x300FollowsTheSeedAndTinyTilesGetAMinimum) {
    const mosaic::Layout l = mosaic::LayoutOf(Defaults(), 400, 400, 300, 1);
    EXPECT_EQ(std::tie(l.tileIn, l.pitch, l.half, l.pull, l.cols, l.rows, l.highlightScale),
              std::tuple(20, 20, 10, 2, 20, 15, 200));

    // Each tile shows the picture's colour within 2 pixels of its centre;
    // the grid's crossings stay background, all corners being pulled in.
    // The first tile's jitter and corner pulls are the run's first draws.
    constexpr unsigned kSeed = 20240611;
    HandLcg lcg{kSeed};
    const int jx = lcg.Int(-2, 2), jy = lcg.Int(-2, 2);
    int r[8];
    for (int& v : r)
        v = lcg.Int(1, 2);
    const auto in = PaintedPicture(400, 300, Coded);
    const Canvas c = Render(*in, Defaults(), 1, kSeed);
    ASSERT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(kSeed), 20 * 15 * 10);
    const COLORREF first = Coded(10 + jx, 10 + jy);
    const POINT corners[4] = {
        {r[0], r[1]}, {20 - r[2], r[3]}, {20 - r[4], 20 - r[5]}, {r[6], 20 - r[7]}};
    const POINT outward[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        const POINT p = corners[i];
        EXPECT_EQ(c.At(p.x, p.y), first) << "corner " << i;
        EXPECT_EQ(c.At(p.x + outward[i].x, p.y + outward[i].y), kBackground) << "corner " << i;
    }
    for (int row = 0; row < 15; ++row) {
        for (int col = 0; col < 20; ++col) {
            const int cx = 10 + 20 * col, cy = 10 + 20 * row;
            const COLORREF got = c.At(cx, cy);
            bool near = false;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    near |= got == Coded(cx + dx, cy + dy);
            EXPECT_TRUE(near) << "tile " << col << "," << row;
            EXPECT_EQ(c.At(20 * col, 20 * row), kBackground);
        }
    }
    EXPECT_EQ(GetStatusText(), "");

    // Tiny tiles get a minimum pitch (5 % of 40 pixels: 2 pixel tiles).
    MosaicParams p = Defaults();
    EXPECT_EQ(mosaic::LayoutOf(p, 20, 40, 40, 2).pitch, 4);
    p.geometry = kMosaicCircular;
    EXPECT_EQ(mosaic::LayoutOf(p, 10, 10, 10, 1).pitch, 2);
    // A pull of 0 still pulls by one pixel.
    p.spacing = 5;
    EXPECT_EQ(mosaic::LayoutOf(p, 100, 100, 100, 1).pull, 0);
}

TEST_F(MosaicTest, EdgeStrengthGrowsWithLengthFacingTheLight) {
    COLORREF lit = 0;
    // Full pitch straight on: the colour itself; half: half of it.
    ASSERT_TRUE(mosaic::EdgeHighlight(0xF5F0F0, 10, 0, {0, 0}, {20, 0}, 200, &lit));
    EXPECT_EQ(lit, 0xF5F0F0u);
    ASSERT_TRUE(mosaic::EdgeHighlight(0xF5F0F0, 10, 0, {0, 0}, {10, 0}, 200, &lit));
    EXPECT_EQ(lit, RGB(120, 120, 122));
    // Longer than a pitch: capped.
    ASSERT_TRUE(mosaic::EdgeHighlight(0x808080, 10, 0, {0, 0}, {40, 0}, 200, &lit));
    EXPECT_EQ(lit, 0xFFFFFFu);
    // The threshold: a dot product of exactly a quarter stays unlit.
    EXPECT_FALSE(mosaic::EdgeHighlight(0xFFFFFF, 10, 0, {0, 0}, {5, 0}, 200, nullptr));
    EXPECT_TRUE(mosaic::EdgeHighlight(0xFFFFFF, 10, 0, {0, 0}, {6, 0}, 200, nullptr));
    EXPECT_FALSE(mosaic::EdgeHighlight(0xFFFFFF, 10, 0, {20, 0}, {0, 0}, 200, nullptr));
    // No light, no lit edge.
    EXPECT_FALSE(mosaic::LightOf(kHighlightOff, nullptr, nullptr));
    EXPECT_FALSE(mosaic::LightOf(1099, nullptr, nullptr));
}

TEST_F(MosaicTest, CircularOn800x600) {
    MosaicParams p = Defaults();
    p.geometry = kMosaicCircular;
    const mosaic::Layout l = mosaic::LayoutOf(p, 800, 800, 600, 1);
    ASSERT_EQ(l.pitch, 40);
    // R = 500 (half the diagonal), m = 12, N = 11: rings 1..10.
    const mosaic::Ring first = mosaic::RingOf(1, 11, 500, 40, 1);
    EXPECT_EQ(std::tie(first.inner, first.outer, first.count), std::tuple(45, 90, 7));
    EXPECT_DOUBLE_EQ(first.depth, 45 * 0.95 - 2.0);  // under 8 tiles: shallower by 2k
    const mosaic::Ring last = mosaic::RingOf(10, 11, 500, 40, 1);
    EXPECT_EQ(std::tie(last.inner, last.outer, last.count), std::tuple(454, 500, 71));
    EXPECT_DOUBLE_EQ(last.depth, 46 * 0.95);
    // Rings of fewer than four tiles are skipped: 2 pi 11 / 20 = 3.46.
    EXPECT_EQ(mosaic::RingOf(1, 1, 11, 20, 1).count, 3);
    EXPECT_EQ(mosaic::RingOf(1, 1, 13, 20, 1).count, 4);
    EXPECT_EQ(mosaic::RingOf(1, 5, 10, 20, 1).count, 0);

    const auto in = UniformPicture(800, 600, RGB(0, 200, 0));
    const Canvas c = Render(*in, p, 1, 3);
    ASSERT_EQ(c.result, 1);
    // A phase per ring and eight pulls per tile, then the octagon's eight
    // pulls and its two jitters.
    int draws = 8 + 2;
    for (int j = 1; j <= 10; ++j)
        draws += 1 + 8 * static_cast<int>(TwoPi * (j * 500 / 11) / 40);
    EXPECT_EQ(DrawsMade(3), draws);
    // The octagon's radius is 41 less its pulls (1 to 4); the first ring
    // starts at 45.
    EXPECT_EQ(c.At(400, 300 + 36), RGB(0, 200, 0));
    EXPECT_EQ(c.At(400 + 43, 300), kBackground);
}

TEST_F(MosaicTest, SquaresMeetingTheCircleArePushedOutOrDropped) {
    const POINT c = {100, 100};
    auto fit = [&](std::vector<POINT> pts, int radius, std::vector<POINT>* after = nullptr) {
        POINT corners[4] = {pts[0], pts[1], pts[2], pts[3]};
        const bool kept = mosaic::FitOutsideCircle(corners, c, radius, 10);
        if (after) after->assign(corners, corners + 4);
        return kept;
    };
    std::vector<POINT> after;
    // Three corners inside: dropped.
    EXPECT_FALSE(fit({{120, 120}, {140, 120}, {140, 140}, {300, 300}}, 50));
    // One inside, x dominant: pushed right by half a pitch, now outside.
    ASSERT_TRUE(fit({{145, 110}, {165, 110}, {165, 130}, {145, 130}}, 50, &after));
    EXPECT_EQ(after[0].x, 155);
    EXPECT_EQ(after[0].y, 110);
    // Still inside after the push: dropped.
    EXPECT_FALSE(fit({{130, 105}, {160, 105}, {160, 125}, {130, 125}}, 50));
}

TEST_F(MosaicTest, CircleInGridKeepsTheCircleFreeOfSquares) {
    MosaicParams p = Defaults();
    p.geometry = kMosaicCircleInGrid;
    const auto in = UniformPicture(400, 300, RGB(200, 0, 0));
    const Canvas c = Render(*in, p, 1, 11);
    ASSERT_EQ(c.result, 1);
    // R = 150, pitch 20: m = 7, N = 6, rings 1..5 with the octagon of
    // radius 21 at the centre.
    int draws = 20 * 15 * 10 + 10;
    for (int j = 1; j <= 5; ++j)
        draws += 1 + 8 * static_cast<int>(TwoPi * (j * 150 / 6) / 20);
    EXPECT_EQ(DrawsMade(11), draws);
    EXPECT_EQ(c.At(200, 150), RGB(200, 0, 0));
    // The gap between the octagon and the first ring at 25: no square there.
    EXPECT_EQ(c.At(200 + 23, 150), kBackground);
    // Squares outside the circle.
    EXPECT_EQ(c.At(10, 10), RGB(200, 0, 0));
}

TEST_F(MosaicTest, AStopEndsTheGridAfterItsRowAndTheRingsAfterTheirRing) {
    const auto in = UniformPicture(400, 300, RGB(50, 60, 70));
    StopRequested = 1;
    const Canvas rect = Render(*in, Defaults(), 1, 8);
    EXPECT_EQ(rect.result, 1);
    EXPECT_EQ(DrawsMade(8), 20 * 10);  // the first row only
    EXPECT_EQ(rect.progress, 0);
    EXPECT_EQ(rect.At(10, 10), RGB(50, 60, 70));
    EXPECT_EQ(rect.At(10, 30), kBackground);

    MosaicParams p = Defaults();
    p.geometry = kMosaicCircleInGrid;
    const Canvas both = Render(*in, p, 1, 8);
    EXPECT_EQ(both.result, 1);
    // First grid row, first ring, and the octagon all the same.
    EXPECT_EQ(DrawsMade(8), 20 * 10 + 1 + 8 * 7 + 10);
    EXPECT_EQ(both.progress, 50 + 50 * (100 * 1 / 6) / 100);
    EXPECT_EQ(both.At(200, 150), RGB(50, 60, 70));
    EXPECT_EQ(both.At(10, 290), kBackground);
    EXPECT_EQ(GetStatusText(), "");
}

TEST_F(MosaicTest, WizardDrawsInOrder) {
    CrtSrand(42);
    const double tileSize = RandomReal(1.0, 4.0);  // any try gives 5 pixels of 640
    const double spacing = RandomReal(5.0, 40.0);
    const int geometry = RandomInt(kMosaicRectangular, kMosaicCircleInGrid);
    MosaicParams want;
    want.background.RandomBackground(0.5, 0);
    const COLORREF highlight = ScaleColour(RandomColour(), 2.0);
    const int position = RandomInt(kHighlightTopLeft, kHighlightLeft);
    MosaicParams p;
    p.background.useImage = 1;
    CrtSrand(42);
    MosaicAutoChoose(&p, 640, 480);
    EXPECT_EQ(std::tie(p.tileSize, p.spacing, p.geometry, p.background.colour,
                       p.background.useImage, p.highlightColour, p.highlightPosition),
              std::tie(tileSize, spacing, geometry, want.background.colour,
                       want.background.useImage, highlight, position));
}

TEST_F(MosaicTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when recorded, lit from the top left. They change with the
    // drawing layer's polygon and wide-pen pixels as well as with Mosaic.
    ExpectGoldenPictures(
        {
            {1, 11366744423444936827ull, kMosaicRectangular},
            {2, 14581655875083468410ull, kMosaicRectangular},
            {4, 8443322761651858648ull, kMosaicRectangular},
            {1, 2427774407710453584ull, kMosaicCircular},
            {2, 6196781211188827753ull, kMosaicCircular},
            {4, 16288477355237997442ull, kMosaicCircular},
            {1, 1988917679118687561ull, kMosaicCircleInGrid},
            {2, 9881109184662622852ull, kMosaicCircleInGrid},
            {4, 9788161093941863282ull, kMosaicCircleInGrid},
        },
        [](const CDADC& flower, const GoldenPicture& g) {
            MosaicParams p;
            p.background.colour = RGB(20, 30, 60);
            p.geometry = g.variant;
            p.tileSize = 3.5;
            p.spacing = 20;
            p.highlightPosition = kHighlightTopLeft;
            return Render(flower, p, g.k, 31337);
        });
}

}  // namespace
