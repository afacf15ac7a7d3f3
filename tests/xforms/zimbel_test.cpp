#include "xforms/zimbel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kBackground = RGB(1, 2, 3);

Canvas Render(const CDADC& in, ZimbelParams p, int k, unsigned seed) {
    p.background.colour = kBackground;
    return RenderXform(Zimbel, in, p, k, seed, kUntouched);
}

struct CountingLcg {
    HandLcg lcg;
    int draws = 0;
    int Int(int lo, int hi) { return ++draws, lcg.Int(lo, hi); }
    double Real(double lo, double hi) { return ++draws, lcg.Real(lo, hi); }
};

// A run with colour freedom 0 worked by hand: the grid's layers, then the
// patches layer by layer and column by column, each with its three jitter
// draws, eight corners and the chance of an inner patch in a shade of its
// colour, which then covers the centre. No other patch reaches a cell's
// centre (each reaches 3/4 of a cell from its own).
struct Worked {
    std::vector<COLORREF> centres;  // row by row
    int draws = 0;
};

Worked WorkedRun(unsigned seed, const CDADC& in, const zimbel::Layout& l, int k) {
    CountingLcg r{{seed}};
    std::vector<int> layer(static_cast<size_t>(l.rows * l.columns));
    for (int& v : layer)
        v = r.Int(1, 4);
    Worked w;
    w.centres.resize(layer.size());
    for (int L = 1; L <= 4; ++L) {
        for (int i = 0; i < l.columns; ++i) {
            for (int j = 0; j < l.rows; ++j) {
                const size_t cell = static_cast<size_t>(j * l.columns + i);
                if (layer[cell] != L) continue;
                const POINT c = zimbel::CentreOf(l, i, j, in.width * k, in.height * k);
                COLORREF colour = in.pDC->GetPixel(c.x / k, c.y / k);
                for (int n = 0; n < 3 + 8; ++n)
                    r.Int(0, 0);
                if (r.Int(1, 100) > 50 && l.cell / 5 > 0) {
                    int channel[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
                    for (int& v : channel)
                        v = std::min(255, static_cast<int>(v * r.Real(1 - 0.11, 1 + 0.11)));
                    colour = RGB(channel[0], channel[1], channel[2]);
                }
                w.centres[cell] = colour;
            }
        }
    }
    w.draws = r.draws;
    return w;
}

using ZimbelTest = XformTest;

TEST_F(ZimbelTest, TenStrokesOn400x300GiveSevenRowsOfFortyPixelCells) {
    const zimbel::Layout l = zimbel::LayoutOf(10, 400, 300);
    EXPECT_EQ(std::tie(l.columns, l.rows, l.cell), std::tuple(10, 7, 40));
    const POINT first = zimbel::CentreOf(l, 0, 0, 400, 300);
    const POINT last = zimbel::CentreOf(l, 9, 6, 400, 300);
    EXPECT_EQ(std::tie(first.x, first.y, last.x, last.y), std::tuple(20, 20, 380, 277));
    // A recipe that skipped Validate is held to its range.
    EXPECT_EQ(zimbel::LayoutOf(0, 400, 300).columns, 10);
    EXPECT_EQ(zimbel::LayoutOf(90, 400, 300).columns, 50);
}

// Colour freedom 0 keeps the picture's own colour at each centre, unless an
// inner patch shades it; the draws follow the worked run, at k = 1 and 2.
TEST_F(ZimbelTest, EachCellShowsThePictureAtItsCentreInDrawOrder) {
    const auto in = PaintedPicture(400, 300, [](int x, int y) { return RGB(x / 2, y, 200); });
    ZimbelParams p;
    p.strokes = 10;
    p.colourFreedom = 0.0;
    for (int k : {1, 2}) {
        const zimbel::Layout l = zimbel::LayoutOf(10, 400 * k, 300 * k);
        const Worked w = WorkedRun(606, *in, l, k);
        const Canvas c = Render(*in, p, k, 606);
        ASSERT_EQ(c.result, 1);
        EXPECT_EQ(DrawsMade(606), w.draws);
        EXPECT_EQ(c.progress, 100);
        for (int j = 0; j < l.rows; ++j) {
            for (int i = 0; i < l.columns; ++i) {
                const POINT centre = zimbel::CentreOf(l, i, j, 400 * k, 300 * k);
                EXPECT_EQ(c.At(centre.x, centre.y), w.centres[static_cast<size_t>(j * 10 + i)])
                    << "k " << k << " cell " << i << "," << j;
            }
        }
    }
    // Cells of 4 pixels: no inner patch, but its chance is still drawn.
    const auto small = UniformPicture(120, 90, RGB(40, 50, 60));
    p.strokes = 30;
    const Worked w = WorkedRun(7, *small, zimbel::LayoutOf(30, 120, 90), 1);
    Render(*small, p, 1, 7);
    EXPECT_EQ(DrawsMade(7), w.draws);
}

TEST_F(ZimbelTest, AGridThatCannotBeMadeStopsTheGenerationAndDrawsNothing) {
    const auto in = UniformPicture(100, 80, RGB(40, 50, 60));
    for (int allowed : {0, 3}) {
        zimbel::LimitGridAllocations(allowed);
        const Canvas c = Render(*in, ZimbelParams{}, 1, 5);
        EXPECT_EQ(c.result, 0);
        EXPECT_EQ(StopRequested.load(), 1);
        EXPECT_EQ(c.At(50, 40), kUntouched);
        EXPECT_EQ(DrawsMade(5), 0);
        StopRequested = 0;
    }
    zimbel::LimitGridAllocations(-1);
}

TEST_F(ZimbelTest, WizardDrawsInOrder) {
    CrtSrand(31);
    const int strokes = RandomInt(10, 50);
    const double freedom = RandomReal(0.0, 0.5);
    const int useImage = RandomInt(0, 100) > 80 ? 1 : 0;
    const COLORREF colour = ScaleColour(RandomColour(), 2.5);
    ZimbelParams p;
    CrtSrand(31);
    ZimbelAutoChoose(&p);
    EXPECT_EQ(std::tie(p.strokes, p.colourFreedom, p.background.useImage, p.background.colour),
              std::tie(strokes, freedom, useImage, colour));
}

TEST_F(ZimbelTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when recorded: 24 patches a row over the picture itself.
    ExpectGoldenPictures(
        {{1, 1178342119506987494ull}, {2, 9398645748550580389ull}, {4, 17480233101143669134ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            ZimbelParams p;
            p.strokes = 24;
            p.colourFreedom = 0.3;
            p.background.useImage = 1;
            return RenderXform(Zimbel, flower, p, g.k, 2718, kUntouched);
        });
}

}  // namespace
