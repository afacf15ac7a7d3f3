#include "xforms/wood.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

Canvas Render(const CDADC& in, WoodParams p, int k, unsigned seed) {
    return RenderXform(Wood, in, p, k, seed, kUntouched);
}

// The draws of a run worked by hand, for a picture whose bands are known:
// the palette's start, draws until one differs from the main band, the saw
// centre, then each try's place and, on the main band, the stroke's length.
struct Sawing {
    int start = 0;
    int draws = 0;
    std::vector<std::tuple<int, int, int>> strokes;  // x, y of In; length
};

Sawing WorkedRun(unsigned seed, int w, int h, int k, int strokes, int main, int (*bandAt)(int)) {
    HandLcg lcg{seed};
    Sawing s;
    auto draw = [&](int lo, int hi) { return ++s.draws, lcg.Int(lo, hi); };
    s.start = draw(0, 3);
    while (draw(0, 3) == main) {
    }
    draw(-w * k, 2 * w * k);
    draw(-h * k, 2 * h * k);
    int drawn = 1, tries = 0;
    do {
        const int x = draw(0, w - 1), y = draw(0, h - 1);
        if (bandAt(x) == main) s.strokes.emplace_back(x, y, draw(k, 5 * k)), ++drawn;
    } while (++tries <= 2000 * strokes && drawn < strokes);
    return s;
}

int RampBand(int x) {
    return (x % 32) / 8;
}

using WoodTest = XformTest;

TEST_F(WoodTest, BandsAreEightForceLevelsWideWithTheDefaults) {
    for (int f = 0; f < 256; ++f)
        ASSERT_EQ(wood::BandOf(f, 32, 4), (f % 32) / 8) << f;
    // A width below the range is held to 8 instead of dividing by 0.
    EXPECT_EQ(wood::BandOf(7, 0, 4), wood::BandOf(7, 8, 4));
    EXPECT_EQ(wood::BandOf(63, 64, 4), 3);
    const int tie[4] = {5, 9, 9, 2};
    EXPECT_EQ(wood::MainBand(tie, 4), 1);
}

// Grey x in column x gives force x: every band holds 64 columns and band 0
// is the main band. Every pixel is its band's colour of the rotated palette
// or the saw's; at angle 0 a stroke runs from (x - 1, y - length / 2) to
// (x + 1, y + length / 2), 3 pixels wide at k = 4 only.
TEST_F(WoodTest, RampIsPaintedInBandsAndSawnInTheMainBand) {
    const auto in = PaintedPicture(256, 40, [](int x, int) { return RGB(x, x, x); });
    const auto& colours = wood::kWoodTypes[0].colours;
    constexpr unsigned kSeed = 4711;
    for (int k : {1, 2, 4}) {
        WoodParams p;
        p.strokes = k == 1 ? 30 : 2;
        const Sawing s = WorkedRun(kSeed, 256, 40, k, p.strokes, 0, RampBand);
        ASSERT_EQ(s.strokes.size(), static_cast<size_t>(p.strokes - 1));
        const COLORREF saw = ScaleColour(colours[s.start], 0.5);
        const Canvas c = Render(*in, p, k, kSeed);
        ASSERT_EQ(c.result, 1);
        EXPECT_EQ(DrawsMade(kSeed), s.draws) << "k " << k;
        for (int y = 0; y < 40 * k; ++y) {
            for (int x = 0; x < 256 * k; ++x) {
                const COLORREF band = colours[(s.start + RampBand(x / k)) % 4];
                ASSERT_TRUE(c.At(x, y) == band || c.At(x, y) == saw) << x << "," << y;
            }
        }
        for (const auto& [x, y, length] : s.strokes) {
            if (x < 1 || y * k < length / 2) continue;
            EXPECT_EQ(c.At(x * k - 1, y * k - length / 2), saw) << x << "," << y;
            if (k > 1) {
                EXPECT_EQ(c.At(x * k - 2, y * k - length / 2) == saw, k == 4) << "k " << k;
            }
        }
    }
}

// A uniform picture is all one band, so every try draws: strokes 1 draws
// one stroke, strokes 5 four.
TEST_F(WoodTest, StrokesBoundTheLoopThatTestsItsEndAfterDrawing) {
    const auto in = UniformPicture(50, 40, RGB(90, 90, 90));
    const int main = wood::BandOf(255, 32, 4);
    for (int strokes : {1, 5}) {
        WoodParams p;
        p.strokes = strokes;
        const Sawing s = WorkedRun(99, 50, 40, 1, strokes, main, [](int) { return 3; });
        EXPECT_EQ(s.strokes.size(), static_cast<size_t>(std::max(1, strokes - 1)));
        const Canvas c = Render(*in, p, 1, 99);
        EXPECT_EQ(DrawsMade(99), s.draws) << strokes;
        EXPECT_EQ(c.progress, 100) << strokes;
    }
}

// The saw centre straight to the right: AngleBetween gives pi. Pointing at
// it runs along x, round it along y.
TEST_F(WoodTest, StrokesPointAtTheSawCentreOrRunRoundIt) {
    WoodParams p;
    p.strokeAngle = 1.0;
    const double toCentre[] = {0.0, 1.0, kPi + HalfPi, kPi, 1.0};
    for (int direction : {1, 2, 3, 4}) {
        p.strokeDirection = direction;
        EXPECT_NEAR(wood::StrokeAngle(p, 0, 0, 10, 0), toCentre[direction], 1e-5) << direction;
    }
    p.strokeDirection = kWoodStrokesParallel;
    p.strokeAngle = std::nan("");
    EXPECT_EQ(wood::StrokeAngle(p, 0, 0, 10, 0), 0.0);
}

TEST_F(WoodTest, ValidateTurnsAStrangeWoodTypeIntoTheFirstAndTheRunHoldsTheRest) {
    WoodParams strange;
    strange.woodType = 9;
    EXPECT_EQ(WoodValidate(&strange), 1);
    EXPECT_EQ(strange.woodType, 0);

    // A block that skipped Validate draws what the held values draw.
    const auto in = PaintedPicture(90, 30, [](int x, int y) { return RGB(x, y, x); });
    WoodParams held;
    held.grainWidth = 8;
    held.strokes = 1;
    WoodParams wild = held;
    wild.grainWidth = 0;
    wild.strokes = -4;
    wild.woodType = 12;
    EXPECT_EQ(PictureHash(*Render(*in, wild, 1, 3).out), PictureHash(*Render(*in, held, 1, 3).out));
}

TEST_F(WoodTest, WizardDrawsInOrder) {
    CrtSrand(8);
    const int strokes = RandomInt(320, 1000);
    const int grain = RandomInt(8, 64);
    const int direction = RandomInt(1, 3);
    const double angle = RandomReal(0.0, 3.14159);
    const int type = RandomInt(0, 6);
    const int smoothing = RandomInt(2, 5);

    WoodParams w;
    AreaSelection selection;
    CrtSrand(8);
    WoodAutoChoose(&w, &selection);
    EXPECT_EQ(std::tie(w.strokes, w.grainWidth, w.strokeDirection, w.strokeAngle, w.woodType),
              std::tie(strokes, grain, direction, angle, type));
    EXPECT_EQ(selection.smoothing, smoothing);
}

TEST_F(WoodTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when recorded: Radica rings, strokes running round a centre.
    ExpectGoldenPictures(
        {{1, 10327142407125894503ull}, {2, 11574882868920546567ull}, {4, 5366827617521832099ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            WoodParams p;
            p.woodType = 5;
            p.grainWidth = 40;
            p.strokes = 3000;
            p.strokeDirection = kWoodStrokesRoundCentre;
            return Render(flower, p, g.k, 1618);
        });
}

}  // namespace
