#include "xforms/banya.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

Canvas Render(const CDADC& in, BanyaParams p, int k, unsigned seed = 1) {
    return RenderXform(Banya, in, p, k, seed, kUntouched);
}

using BanyaTest = XformTest;

TEST_F(BanyaTest, RowsKeepTheCellsSquareButNeverFewerThanThree) {
    EXPECT_EQ(banya::Rows(10, 480, 360), 7);
    EXPECT_EQ(banya::Rows(100, 2000, 40), 3);
    // Rows thinner than a pixel of a narrow, tall picture are not asked for.
    EXPECT_EQ(banya::Rows(100, 20, 20000), 20000);
}

// A uniform grey picture has full force everywhere, black none: cell
// diamonds take the background colour or its opposite, corner diamonds
// show the chequer of even and odd colours (swapped at force 0), their
// squares the shape colour or the background.
TEST_F(BanyaTest, FullAndEmptyForceGiveTheEndsOfEveryBlend) {
    BanyaParams p;
    p.backgroundColour = RGB(200, 40, 40);
    const COLORREF opposite = OppositeColour(p.backgroundColour);
    for (const COLORREF grey : {RGB(128, 128, 128), RGB(0, 0, 0)}) {
        const bool full = grey != 0;
        // 10 cells across 200, 5 rows of 100: cells 20 x 20 at k = 1.
        const Canvas c = Render(*UniformPicture(200, 100, grey), p, 1);
        ASSERT_EQ(c.result, 1);
        for (int i = 0; i < 10; ++i) {
            for (int j = 0; j < 5; ++j) {
                SCOPED_TRACE(testing::Message() << "cell " << i << "," << j << " force " << full);
                EXPECT_EQ(c.At(i * 20 + 10, j * 20 + 10), full ? p.backgroundColour : opposite);
                const bool even = (i + j) % 2 == 0;
                const COLORREF corner = even == full ? p.evenColour : p.oddColour;
                EXPECT_EQ(c.At(i * 20 + 7, j * 20), corner);
                EXPECT_EQ(c.At(i * 20 + 4, j * 20 + 4), full ? p.shapeColour : p.backgroundColour);
                EXPECT_EQ(c.At(i * 20, j * 20 + 7), corner) << "outside the square";
            }
        }
    }
}

// A grey ramp whose force is x * 255 / 199: cells sample it half a cell in
// from their left edge, corners on a grid of n + 1 columns.
TEST_F(BanyaTest, CellsAndCornersSampleTheForceWhereTheyShould) {
    const auto ramp = PaintedPicture(200, 100, [](int x, int) { return RGB(x, x, x); });
    BanyaParams p;
    const COLORREF opposite = OppositeColour(p.backgroundColour);
    const Canvas c = Render(*ramp, p, 2);
    ASSERT_EQ(c.result, 1);
    for (int i = 0; i < 10; ++i) {
        const double cell = (20 * i + 10) * 255 / 199 / 255.0;
        EXPECT_EQ(c.At(i * 40 + 20, 60), BlendColours(cell, p.backgroundColour, opposite)) << i;
        // Corner (i, 1) is odd for even i.
        const double corner = (i * 200 / 11 + 10) * 255 / 199 / 255.0;
        const COLORREF want = i % 2 == 0 ? BlendColours(corner, p.oddColour, p.evenColour)
                                         : BlendColours(corner, p.evenColour, p.oddColour);
        EXPECT_EQ(c.At(i * 40 + 15, 40), want) << i;
    }
}

TEST_F(BanyaTest, ABlockThatSkippedValidateDrawsAsTheNearestValidOne) {
    const auto in = UniformPicture(120, 90, RGB(60, 60, 60));
    BanyaParams p;
    p.squares = 0;  // would divide by zero
    p.shapeSize = std::nan("");
    BanyaParams held = p;
    ASSERT_EQ(BanyaValidate(&held), 1);
    EXPECT_EQ(std::tie(held.squares, held.shapeSize), std::tuple(10, 0.4));
    const Canvas c = Render(*in, p, 1);
    ASSERT_EQ(c.result, 1);
    EXPECT_EQ(PictureHash(*c.out), PictureHash(*Render(*in, held, 1).out));
}

TEST_F(BanyaTest, WizardDrawsInOrderAndWantsCellsTenPixelsWide) {
    for (const int width : {300, 50}) {
        HandLcg lcg{4711};
        const int mode = lcg.Int(1, 3);
        const double size = lcg.Real(0.4, 0.8);
        COLORREF colours[4];
        for (COLORREF& c : colours) {
            const int r = lcg.Int(0, 255), g = lcg.Int(0, 255), b = lcg.Int(0, 255);
            c = RGB(r, g, b);
        }
        int squares = 0, draws = 0;
        do {
            squares = lcg.Int(10, 100);
        } while (++draws < 100 && width / squares < 10);
        if (width == 50) {
            EXPECT_EQ(draws, 100) << "no squares fit: the last draw stays";
        }

        BanyaParams p;
        CrtSrand(4711);
        BanyaAutoChoose(&p, width);
        EXPECT_EQ(DrawsMade(4711), 2 + 12 + draws);
        EXPECT_EQ(std::tie(p.shapeMode, p.shapeSize, p.squares), std::tie(mode, size, squares));
        EXPECT_EQ(std::tie(p.backgroundColour, p.shapeColour, p.oddColour, p.evenColour),
                  std::tie(colours[0], colours[1], colours[2], colours[3]));
    }
}

TEST_F(BanyaTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when taken; the drawing layer's polygons and ellipses and the
    // force field change them too.
    ExpectGoldenPictures(
        {{1, 15585807047328308370ull}, {2, 4426956867306359206ull}, {4, 18202856656334829800ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            BanyaParams p;
            p.squares = 24;
            p.shapeMode = 2;
            p.shapeSize = 0.7;
            p.backgroundColour = RGB(40, 90, 160);
            return Render(flower, p, g.k, 1967);
        });
}

}  // namespace
