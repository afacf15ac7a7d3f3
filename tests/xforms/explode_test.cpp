#include "xforms/explode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kBackground = RGB(1, 2, 3);

Canvas Render(const CDADC& in, ExplodeParams p, int k, unsigned seed) {
    return RenderXform(Explode, in, p, k, seed, kUntouched);
}

using ExplodeTest = XformTest;

TEST_F(ExplodeTest, SizesFollowTheHalfDiagonal) {
    ExplodeParams p;  // 480 x 360: half-diagonal 300
    const explode::Sizes s = explode::SizesOf(p, 480, 360, 2);
    EXPECT_EQ(s.traces, 1500);
    EXPECT_DOUBLE_EQ(s.length, 8.25 * 0.01 * 300);
    EXPECT_DOUBLE_EQ(s.endWidth, 2.25 * 2 * 300 * 0.01);
    EXPECT_DOUBLE_EQ(s.sag, 50 * 2 * 360 * 0.0001);
    // A short trace on a small picture is raised to 5 In pixels; a recipe
    // that skipped Validate is held to its ranges.
    p.traceLength = std::nan("");
    p.traces = 0;
    p.gravity = 1000000;
    const explode::Sizes held = explode::SizesOf(p, 40, 30, 1);
    EXPECT_EQ(std::tie(held.length, held.traces), std::tuple(5.0, 500));
    EXPECT_DOUBLE_EQ(held.sag, 100 * 30 * 0.0001);
    // Away from the centre; the centre itself flies to the right.
    const POINT right = explode::EndOf(10, 10, 10, 10, 5.9);
    const POINT up = explode::EndOf(10, 2, 10, 10, 5.9);
    EXPECT_EQ(std::tie(right.x, right.y, up.x, up.y), std::tuple(15, 10, 10, -3));
}

// Ten 1-pixel segments of 10 pixels each, fading in steps of a tenth of the
// difference (truncated toward 0 both ways); the last never reaches c1.
// With sag the ends drop by 0, g ... 9 g.
TEST_F(ExplodeTest, TraceFadesInTenSegmentsAndSags) {
    const COLORREF c0 = RGB(0, 255, 100), c1 = RGB(200, 0, 49);
    CDADC canvas(140, 60);
    canvas.pDC->FillSolidRect(0, 0, 140, 60, kBackground);
    explode::DrawTrace(canvas.pDC, {10, 20}, {110, 20}, c0, c1, 0.0, 0.0);
    for (int s = 1; s <= 10; ++s) {
        const int t = s - 1;
        EXPECT_EQ(canvas.pDC->GetPixel(5 + 10 * s, 20),
                  RGB(20 * t, 255 - 255 * t / 10, 100 - 51 * t / 10))
            << "segment " << s;
    }
    EXPECT_EQ(canvas.pDC->GetPixel(110, 20), kBackground);
    EXPECT_EQ(canvas.pDC->GetPixel(15, 21), kBackground);

    explode::DrawTrace(canvas.pDC, {10, 30}, {110, 30}, c0, c1, 10.0, 2.5);
    const POINT end = canvas.pDC->GetCurrentPosition();
    EXPECT_EQ(std::tie(end.x, end.y), std::tuple(110, 30 + 22));
    // 11 pixels wide at the end.
    EXPECT_NE(canvas.pDC->GetPixel(105, 51 - 4), kBackground);
    EXPECT_EQ(canvas.pDC->GetPixel(105, 51 - 8), kBackground);
}

// Every trace uses up three draws, also one skipped because its end leaves
// the picture; such a trace reports no percent. Fixed colours at both
// ends: the last trace starts in the start colour.
TEST_F(ExplodeTest, TracesLeavingThePictureAreSkippedWithTheirDraws) {
    const auto in = UniformPicture(30, 20, RGB(90, 90, 90));
    ExplodeParams p;
    p.traces = 500;
    p.background = {kBackground, 0};
    p.startColour = RGB(250, 0, 0);
    p.endColour = RGB(250, 0, 0);
    HandLcg lcg{321};
    int lastDrawn = -1, lastX = 0, lastY = 0;
    const double length = explode::SizesOf(p, 30, 20, 1).length;
    for (int i = 0; i < 500; ++i) {
        lastX = lcg.Int(0, 29), lastY = lcg.Int(0, 19);
        const POINT e = explode::EndOf(lastX, lastY, 15, 10, lcg.Real(0.7, 1.0) * length);
        if (e.x >= 0 && e.x < 30 && e.y >= 0 && e.y < 20) lastDrawn = i;
    }
    ASSERT_LT(lastDrawn, 499);  // the seed's last trace leaves the picture

    Canvas c = Render(*in, p, 1, 321);
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(321), 1500);
    EXPECT_EQ(c.progress, lastDrawn * 100 / 500);

    p.endFromImage = 0;
    p.startFromImage = 0;
    c = Render(*in, p, 1, 321);
    EXPECT_EQ(c.progress, 99);
    EXPECT_EQ(c.At(lastX, lastY), RGB(250, 0, 0));
}

TEST_F(ExplodeTest, ConstructionDrawsASolidBackgroundAndTheWizardDrawsInOrder) {
    // Always the background a generator seeded with 1 draws first.
    HandLcg lcg{1};
    lcg.Int(0, 100);
    const int r = lcg.Int(0, 255), g = lcg.Int(0, 255), b = lcg.Int(0, 255);
    CrtSrand(42);
    const CFilSpec filSpec;
    EXPECT_EQ(filSpec.Explode.background, (Background{RGB(r, g, b), 0}));

    CrtSrand(9);
    COLORREF start = 0, end = 0;
    RandomColourPair(&start, &end);
    const int fromStart = RandomChance() ? 1 : 0;
    const int fromEnd = fromStart ? (RandomChance() ? 1 : 0) : 1;
    const int traces = RandomInt(500, 2500), gravity = RandomInt(0, 100);
    const double length = RandomReal(1.5, 15.0), width = RandomReal(0.5, 4.0);
    Background background;
    background.RandomBackground(0.5, 50);
    ExplodeParams p;
    CrtSrand(9);
    ExplodeAutoChoose(&p);
    EXPECT_EQ(std::tie(p.startColour, p.endColour, p.startFromImage, p.endFromImage),
              std::tuple(ScaleColour(start, 1.5), ScaleColour(end, 1.5), fromStart, fromEnd));
    EXPECT_EQ(std::tie(p.traces, p.gravity, p.traceLength, p.endWidth, p.background),
              std::tie(traces, gravity, length, width, background));
}

TEST_F(ExplodeTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when recorded: sparks in the picture's colours on dark blue.
    ExpectGoldenPictures(
        {{1, 16019780204551336629ull}, {2, 12047204449972837972ull}, {4, 1570755794942878222ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            ExplodeParams p;
            p.background = {RGB(10, 20, 60), 0};
            p.traces = 800;
            p.gravity = 30;
            return Render(flower, p, g.k, 1234);
        });
}

}  // namespace
