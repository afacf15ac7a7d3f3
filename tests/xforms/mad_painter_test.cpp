#include "xforms/mad_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

using mad_painter::kPaletteSize;
using mad_painter::Stroke;
using mad_painter::StrokeAt;

auto Points(const Stroke& s) {
    return std::make_tuple(s.points[0].x, s.points[0].y, s.points[1].x, s.points[1].y,
                           s.points[2].x, s.points[2].y, s.points[3].x, s.points[3].y);
}

using MadPainterTest = XformTest;

TEST_F(MadPainterTest, NearestColourSumsChannelDifferencesAndTiesGoLow) {
    const COLORREF palette[kPaletteSize] = {
        0, RGB(10, 10, 10),   RGB(100, 0, 0), RGB(90, 0, 10), RGB(10, 10, 10), 0, 0, 0,
        0, RGB(200, 200, 200)};
    EXPECT_EQ(mad_painter::NearestColour(palette, RGB(10, 10, 10)), 1);
    EXPECT_EQ(mad_painter::NearestColour(palette, RGB(95, 0, 5)), 2);  // 10 from 2 and 3
    EXPECT_EQ(mad_painter::NearestColour(palette, RGB(255, 255, 255)), 9);
    const COLORREF dark[kPaletteSize] = {};  // 765 from everything still finds one
    EXPECT_EQ(mad_painter::NearestColour(dark, RGB(255, 255, 255)), 0);
}

// Without madness a stroke is straight, of the average width and length
// (1.75 % and 4.25 % of 480: 8 and 20; of 100 at the smallest settings: 3
// and 6 at least), its control points 2/3 and 1/3 of the way from the
// first end; the seven draws are made all the same. Radial strokes point
// at the centre, the others run round it; pi taken as 3.14159 leaves the
// sine of the quarter turn a hair under 1, so half of 20 truncates to 9.
TEST_F(MadPainterTest, WithoutMadnessStrokesAreStraightBarsInTheirDirection) {
    MadPainterParams p;
    p.madness = 0.0;
    CrtSrand(5);
    const Stroke s = StrokeAt(p, {100, 50}, {0, 0}, 480);
    EXPECT_EQ(s.penWidth, 8);
    EXPECT_EQ(Points(s), std::make_tuple(100, 60, 100, 47, 100, 54, 100, 40));
    EXPECT_EQ(DrawsMade(5), 7);
    p.strokeWidth = 1.0;
    p.strokeLength = 0.5;
    const Stroke small = StrokeAt(p, {10, 10}, {0, 0}, 100);
    EXPECT_EQ(small.penWidth, 3);
    EXPECT_EQ(Points(small), std::make_tuple(10, 13, 10, 9, 10, 11, 10, 7));

    p = MadPainterParams{};
    p.madness = 0.0;
    const auto direction = [&](int mode, double angle, POINT at) {
        p.directionMode = mode;
        p.angle = angle;
        const Stroke d = StrokeAt(p, at, {200, 200}, 480);
        return std::make_pair(d.points[3].x - d.points[0].x, d.points[3].y - d.points[0].y);
    };
    EXPECT_EQ(direction(2, 0.0, {300, 200}), std::make_pair(-18, 0));
    EXPECT_EQ(direction(2, 0.0, {200, 300}), std::make_pair(0, -18));
    EXPECT_EQ(direction(3, 0.0, {300, 200}), std::make_pair(0, -20));
    EXPECT_EQ(direction(3, 0.0, {200, 300}), std::make_pair(20, 0));
    EXPECT_EQ(direction(2, HalfPi, {300, 200}), std::make_pair(0, 18));
    EXPECT_EQ(direction(1, 0.0, {300, 200}), std::make_pair(0, -20));  // the centre ignored
}

// The full stroke worked by hand from a seed, with all the madness there is;
// its bend is negative, so the jitter's sign turns.
TEST_F(MadPainterTest, AMadStrokeWorkedFromTheSeed) {
    MadPainterParams p;
    p.madness = 1.0;
    p.angle = 0.3;
    const unsigned seed = 424242;
    HandLcg lcg{seed};
    const double a = 0.3 + lcg.Real(0, 0.5);
    const int width = static_cast<int>((lcg.Real(-1, 1) * 0.5 + 1.0) * 8);
    const int length = static_cast<int>((lcg.Real(-1, 1) * 0.5 + 1.0) * 20);
    const int hx = static_cast<int>(std::sin(a) * length * 0.5);
    const int hy = static_cast<int>(std::cos(a) * length * 0.5);
    const double bend = (-2 * hx - 2 * hy) * 0.5;
    ASSERT_LT(bend, 0);
    int c[4] = {240 + hx + static_cast<int>(-2 * hx * (2.0 / 3.0)),
                180 + hy + static_cast<int>(-2 * hy * (2.0 / 3.0)),
                240 + hx + static_cast<int>(-2 * hx * (1.0 / 3.0)),
                180 + hy + static_cast<int>(-2 * hy * (1.0 / 3.0))};
    for (int& v : c)
        v += static_cast<int>(lcg.Real(-1, 1) * bend);

    CrtSrand(seed);
    const Stroke s = StrokeAt(p, {240, 180}, {0, 0}, 480);
    EXPECT_EQ(s.penWidth, std::max(width, 3));
    EXPECT_EQ(Points(s),
              std::make_tuple(240 + hx, 180 + hy, c[0], c[1], c[2], c[3], 240 - hx, 180 - hy));
}

// On a uniform picture every stroke takes the one nearest palette entry,
// jittered by up to 15 % a channel; the run makes the palette's 30 draws
// and 12 a stroke.
TEST_F(MadPainterTest, EveryStrokeTakesTheEntryNearestThePicture) {
    const COLORREF grey = RGB(128, 128, 128), blue = RGB(0, 0, 200);
    const unsigned seed = 99;
    HandLcg lcg{seed};
    COLORREF palette[kPaletteSize];
    for (COLORREF& c : palette) {
        const int r = lcg.Int(0, 255), g = lcg.Int(0, 255), b = lcg.Int(0, 255);
        c = RGB(r, g, b);
    }
    const COLORREF entry = palette[mad_painter::NearestColour(palette, grey)];
    MadPainterParams p;
    p.background.colour = blue;
    p.strokes = 3000;
    const Canvas c = RenderXform(MadPainter, *UniformPicture(80, 60, grey), p, 2, seed);
    ASSERT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(seed), 30 + 3000 * 12);
    EXPECT_EQ(c.progress, 89);
    const auto near = [](int v, int of) { return v >= of * 85 / 100 - 1 && v <= of * 115 / 100; };
    int painted = 0;
    for (int y = 0; y < c.out->height; ++y) {
        for (int x = 0; x < c.out->width; ++x) {
            const COLORREF v = c.At(x, y);
            if (v == blue) continue;
            ++painted;
            ASSERT_TRUE(near(GetRValue(v), GetRValue(entry)) &&
                        near(GetGValue(v), GetGValue(entry)) &&
                        near(GetBValue(v), GetBValue(entry)))
                << x << "," << y;
        }
    }
    EXPECT_GT(painted, c.out->width * c.out->height * 8 / 10);
}

// A block that skipped Validate paints as its validated copy does: a
// count that would never end, a madness that is not a number.
TEST_F(MadPainterTest, TheRunHoldsABlockThatSkippedValidate) {
    MadPainterParams wild;
    wild.strokes = std::numeric_limits<int>::max();
    wild.madness = std::nan("");
    wild.strokeLength = 1e9;
    wild.directionMode = 7;
    wild.centreX = -5;
    MadPainterParams held = wild;
    ASSERT_EQ(MadPainterValidate(&held), 1);
    const auto in = UniformPicture(40, 30, RGB(30, 60, 90));
    const Canvas a = RenderXform(MadPainter, *in, wild, 1, 3);
    ASSERT_EQ(a.result, 1);
    EXPECT_EQ(PictureHash(*a.out), PictureHash(*RenderXform(MadPainter, *in, held, 1, 3).out));
}

TEST_F(MadPainterTest, WizardDrawsInOrderAndPutsTheCentreOnThePicture) {
    CrtSrand(31);
    const int mode = RandomInt(1, 3), cx = RandomInt(0, 64), cy = RandomInt(0, 48);
    const double angle = RandomReal(0.0, kPi * 0.5);
    const int strokes = RandomInt(3000, 9000);
    const double width = RandomReal(1.0, 2.5), length = RandomReal(0.5, 8.0);
    const double madness = RandomReal(0.0, 1.0);
    const int useImage = RandomInt(0, 100) > 80 ? 1 : 0;
    const COLORREF colour = ScaleColour(RandomColour(), 2.5);

    CFilSpec filSpec;
    filSpec.XformIndex = kMadPainter;
    CDADC original(64, 48);
    CrtSrand(31);
    filSpec.AutoChoose(&original);
    const MadPainterParams& m = filSpec.MadPainter;
    EXPECT_EQ(std::tie(m.directionMode, m.centreX, m.centreY, m.angle, m.strokes, m.strokeWidth,
                       m.strokeLength, m.madness, m.background.useImage, m.background.colour),
              std::tie(mode, cx, cy, angle, strokes, width, length, madness, useImage, colour));
}

TEST_F(MadPainterTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when taken; the drawing layer's wide Beziers change them too.
    ExpectGoldenPictures(
        {{1, 17274726397237863229ull}, {2, 12105012389999363514ull}, {4, 3086246425160751051ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            MadPainterParams p;
            p.directionMode = 3;
            p.centreX = 240;
            p.centreY = 180;
            p.angle = 0.2;
            return RenderXform(MadPainter, flower, p, g.k, 2024);
        });
}

}  // namespace
