#include "xforms/haaisi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kFore1 = RGB(250, 40, 40);
constexpr COLORREF kFore2 = RGB(40, 40, 250);
constexpr COLORREF kBackground = RGB(20, 120, 20);

Canvas Render(const CDADC& in, HaaisiParams p, int k, unsigned seed) {
    return RenderXform(Haaisi, in, p, k, seed, kUntouched);
}

using HaaisiTest = XformTest;

TEST_F(HaaisiTest, EachRingHoldsAboutTwoPiTimesItsNumberOfShapes) {
    EXPECT_EQ(haaisi::ShapesOnRing(0, 10), 0) << "the innermost draws its own";
    EXPECT_EQ(std::tuple(haaisi::ShapesOnRing(10, 20), haaisi::ShapesOnRing(20, 30),
                         haaisi::ShapesOnRing(30, 40), haaisi::ShapesOnRing(390, 400)),
              std::tuple(6, 12, 18, 245));
}

// Only the jag and the innermost ring draw: its dots, worked by hand, lie
// round an empty centre; full force fills every dot with Fore 1 and rims it
// with Fore 2, no force the other way round.
TEST_F(HaaisiTest, InnermostRingAndForceColoursWorkedByHand) {
    const int w = 400, h = 300;
    const double R = 250, width = R / 15;  // half the diagonal; one ring's width
    for (const COLORREF grey : {RGB(128, 128, 128), RGB(0, 0, 0)}) {
        const bool full = grey != 0;
        const unsigned seed = 1234;
        HandLcg lcg{seed};
        const double jag = lcg.Real(0.95, 1.5);
        lcg.Real(0.5, 0.9);  // the dots' share of the ring's width
        const int count = lcg.Int(3, 6);

        HaaisiParams p;
        p.fore1 = kFore1, p.fore2 = kFore2, p.background = kBackground, p.detail = 15;
        const Canvas c = Render(*UniformPicture(w, h, grey), p, 1, seed);
        ASSERT_EQ(c.result, 1);
        EXPECT_EQ(DrawsMade(seed), 3);
        EXPECT_EQ(c.progress, 100) << "never past the end";
        EXPECT_EQ(c.At(200, 150), kBackground);
        const COLORREF fill = full ? kFore1 : kFore2;
        const COLORREF rim = full ? kFore2 : kFore1;
        for (int e = 0; e < count; ++e) {
            const double a = e * TwoPi / count;
            const int x = static_cast<int>(std::cos(a) * width * 0.5 + 200);
            const int y = static_cast<int>(std::sin(a) * width * 0.5 + 150);
            EXPECT_EQ(c.At(x, y), fill) << "dot " << e << " of " << count;
        }
        // Ring 5 (30 dots), its first dot straight right of the centre: the
        // rim on its inner edge.
        const int x = static_cast<int>(5.5 * width + 200);
        const int left = static_cast<int>(x - width * jag * 0.5);
        EXPECT_EQ(c.At(x, 150), fill);
        EXPECT_EQ(c.At(left, 150), rim);
    }
}

TEST_F(HaaisiTest, WizardDrawsInOrder) {
    HandLcg lcg{14};
    const int detail = lcg.Int(15, 40);
    ASSERT_TRUE(lcg.Int(1, 100) > 50) << "the background takes the opposite";
    const int g = lcg.Int(0, 255), b = lcg.Int(0, 255), r = lcg.Int(0, 255);
    const int g2 = lcg.Int(0, 255), b2 = lcg.Int(0, 255), r2 = lcg.Int(0, 255);
    const int mode = lcg.Int(0, 2);

    HaaisiParams p;
    CrtSrand(14);
    HaaisiAutoChoose(&p);
    EXPECT_EQ(std::tie(p.detail, p.shapeMode), std::tie(detail, mode));
    EXPECT_EQ(std::tie(p.background, p.spareColour),
              std::tuple(OppositeColour(RGB(r, g, b)), RGB(r, g, b)));
    EXPECT_EQ(std::tie(p.fore1, p.fore2),
              std::tuple(RGB(r2, g2, b2), OppositeColour(RGB(r2, g2, b2))));
}

TEST_F(HaaisiTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when taken; the drawing layer's ellipses and polygons and the
    // force field change them too. Cases 1 and 2: triangles out and in.
    ExpectGoldenPictures({{1, 17086682122574580605ull},
                          {2, 17679257266806193634ull},
                          {4, 3368558485647674572ull},
                          {2, 3532615062439551659ull, 1},
                          {2, 5152206166337500564ull, 2}},
                         [](const CDADC& flower, const GoldenPicture& g) {
                             HaaisiParams p;
                             p.detail = 33;
                             p.shapeMode = g.variant;
                             return Render(flower, p, g.k, 2112);
                         });
}

}  // namespace
