#include "xforms/clouds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

// The waves exactly as written out for the algorithm, one point at a time:
// the reference the row-at-a-time evaluation must match bit for bit.
double LiteralWaves(const clouds::WaveSet& set, int x, int y, double s, int w) {
    const double ux = static_cast<double>(x) / w;
    const double vy = static_cast<double>(y) / w;
    double f = set.frequency, t = s, amplitude = 1.0, a = 0, b = 0;
    for (int i = 0; i < set.octaves; ++i) {
        const double p = vy * t;
        const double warpA = std::sin(p * 0.5) * HalfPi;
        const double warpB = std::sin(vy * f * 0.5) * HalfPi;
        double q = ux * f;
        if (i == 0) q = q + set.phase;
        a = a + std::sin(warpA + q) * amplitude;
        double r = p;
        if (i == 0) r = r + set.phase;
        b = b + std::sin(warpB + r) * amplitude;
        f = f * 2.0;
        t = t * 2.0;
        amplitude = amplitude * 0.7071;
    }
    return a * b;
}

// The whole run worked out point by point from the seed's draws, for a
// picture whose force is the same everywhere.
std::vector<COLORREF> LiteralSky(const CloudsParams& params, unsigned seed, int w, int h,
                                 double force) {
    HandLcg lcg{seed};
    clouds::WaveSet set;
    set.horizonEffect = params.horizonEffect;
    set.frequency = lcg.Real(1.5, 4.0);
    set.baseFrequency = lcg.Real(0.5, 40.0);
    set.phase = lcg.Real(-HalfPi, HalfPi);
    set.octaves = lcg.Int(4, 8);
    std::vector<double> waves;
    for (int y = 0; y < h; ++y) {
        const double u = static_cast<double>(y) / h;
        const double squeeze =
            std::tan(HalfPi * u) * 2.0 * set.horizonEffect * set.baseFrequency * u +
            (1 - set.horizonEffect) * set.baseFrequency;
        for (int x = 0; x < w; ++x)
            waves.push_back(LiteralWaves(set, x, y, squeeze, w));
    }
    const auto [lo, hi] = std::minmax_element(waves.begin(), waves.end());
    std::vector<COLORREF> sky;
    for (size_t i = 0; i < waves.size(); ++i) {
        const double skyMix = 1 - static_cast<double>(static_cast<int>(i) / w) / h;
        sky.push_back(clouds::CloudColour(params, skyMix, force, (waves[i] - *lo) / (*hi - *lo)));
    }
    return sky;
}

Canvas Render(const CDADC& in, CloudsParams p, int k, unsigned seed, int stopAt = -1) {
    return RenderXform(Clouds, in, p, k, seed, 0, stopAt);
}

using CloudsTest = XformTest;

// Within one step per channel: cloudiness near a threshold is not exact in
// binary, and a channel a hair below a whole number truncates down.
::testing::AssertionResult Near(COLORREF got, COLORREF want) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((got >> shift) & 255) -
                     static_cast<int>((want >> shift) & 255)) > 1)
            return ::testing::AssertionFailure() << std::hex << got << " is not " << want;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(CloudsTest, CloudinessRunsFromSkyThroughTheRimToLightCloud) {
    CloudsParams p;  // sky quantity 0.5: rim 0.45..0.5, dark cloud 0.5..0.55
    // Force alone sets the cloudiness when n = 0: c = 0.67 force.
    const auto at = [&](double c, double skyMix = 1.0) {
        return clouds::CloudColour(p, skyMix, c / 0.67, 0.0);
    };
    EXPECT_EQ(at(0.0), p.highSky);
    EXPECT_EQ(at(0.0, 0.0), p.lowSky);
    EXPECT_EQ(at(0.0, 0.5), RGB(100, 100, 255));
    EXPECT_TRUE(Near(at(0.5), p.backlight));
    EXPECT_TRUE(Near(at(0.475), RGB(150, 75, 177)));  // half rim, half high sky
    EXPECT_TRUE(Near(at(0.525), RGB(152, 77, 77)));   // half dark cloud, half rim
    EXPECT_TRUE(Near(at(0.775), RGB(155, 155, 155)));
    EXPECT_EQ(clouds::CloudColour(p, 1.0, 1.0, 1.0), p.cloudLight);  // c = 1 exactly
    // Cloudiness past the top of the scale, or none at all, shows black.
    EXPECT_EQ(clouds::CloudColour(p, 1.0, 1.0, 1.5), 0u);
    EXPECT_EQ(clouds::CloudColour(p, 1.0, 1.0, NAN), 0u);
}

TEST_F(CloudsTest, AUniformPictureGivesTheWavesAloneOnEveryPixel) {
    // White: force 255, all cloud. Black: force 0, sky, except where a low
    // sky quantity lets the wave peaks through.
    struct Case {
        COLORREF colour;
        double force, skyQuantity;
        unsigned seed;
    } cases[] = {{RGB(255, 255, 255), 1.0, 0.5, 31}, {0, 0.0, 0.25, 32}};
    for (const Case& c : cases) {
        CloudsParams p;
        p.skyQuantity = c.skyQuantity;
        SetStatusText("x");
        const Canvas got = Render(*UniformPicture(64, 48, c.colour), p, 1, c.seed);
        ASSERT_EQ(got.result, 1);
        EXPECT_EQ(got.progress, 101);
        EXPECT_EQ(GetStatusText(), "");
        // Four draws: frequency, base frequency, phase, octaves.
        EXPECT_EQ(DrawsMade(c.seed), 4);

        const std::vector<COLORREF> want = LiteralSky(p, c.seed, 64, 48, c.force);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(got.At(x, y), want[static_cast<size_t>(y * 64 + x)]) << x << "," << y;
    }
    // One pixel: its waves have no range to spread over, and no 0 / 0.
    const Canvas dot = Render(*UniformPicture(1, 1, 0), CloudsParams{}, 2, 3);
    EXPECT_EQ(std::tuple(dot.result, dot.At(1, 1)), std::tuple(1, CloudsParams{}.highSky));
}

// A white picture (all cloud, never black) stopped from another thread
// once progress reaches stopAt: the rows painted before the stop.
int RowsPaintedWhenStoppedAt(int stopAt) {
    const Canvas c =
        Render(*UniformPicture(1000, 600, RGB(255, 255, 255)), CloudsParams{}, 1, 6, stopAt);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.progress, 101);
    EXPECT_EQ(GetStatusText(), "");
    int rows = 0;
    while (rows < 600 && c.At(500, rows) != 0u)
        ++rows;
    for (int y = rows; y < 600; y += 13)
        EXPECT_EQ(c.At(3, y), 0u) << y;
    return rows;
}

TEST_F(CloudsTest, AStopInTheFirstPassPaintsOneRowAndInTheSecondEndsItsRow) {
    EXPECT_EQ(RowsPaintedWhenStoppedAt(11), 1);
    const int rows = RowsPaintedWhenStoppedAt(42);
    EXPECT_GE(rows, 600 * 2 / 55);  // the row that reached 42 %
    EXPECT_LT(rows, 600);
}

TEST_F(CloudsTest, WizardDrawsTheRealsAPaletteAndTheSelectionsInversion) {
    HandLcg lcg{606};
    const double horizon = lcg.Real(0.1, 0.7);
    const double sky = lcg.Real(0.25, 0.75);
    const clouds::Palette& palette = clouds::kPalettes[lcg.Int(0, 2)];
    const int invert = lcg.Int(1, 100) > 50 ? 1 : 0;

    CFilSpec filSpec;
    filSpec.XformIndex = kClouds;
    filSpec.Selection.invert = 1 - invert;
    CDADC original(40, 30);
    CrtSrand(606);
    filSpec.AutoChoose(&original);
    const CloudsParams& c = filSpec.Clouds;
    EXPECT_EQ(std::tie(c.horizonEffect, c.skyQuantity, c.highSky, c.cloudDark),
              std::tie(horizon, sky, palette.highSky, palette.cloudDark));
    EXPECT_EQ(filSpec.Selection.invert, invert);
}

TEST_F(CloudsTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Recorded from the first implementation, after looking at the pictures.
    ExpectGoldenPictures(
        {{1, 15053396462175931876ull}, {2, 15383090942667198239ull}, {4, 13206338078786985939ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            CloudsParams p;
            p.skyQuantity = 0.4;
            p.horizonEffect = 0.3;
            return Render(flower, p, g.k, 31337);
        });
}

}  // namespace
