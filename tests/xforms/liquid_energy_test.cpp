#include "xforms/liquid_energy.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

LiquidEnergyParams RedOnBlue(int rippleWidth) {
    LiquidEnergyParams p;
    p.energy = kRed;
    p.liquid = kBlue;
    p.rippleWidth = rippleWidth;
    return p;
}

Canvas Render(const CDADC& in, LiquidEnergyParams p, int k, unsigned seed, int stopAt = -1) {
    return RenderXform(LiquidEnergy, in, p, k, seed, kUntouched, stopAt);
}

// Grey x in column x: with the default selection the force field is x itself.
std::unique_ptr<CDADC> Ramp(int h) {
    return PaintedPicture(256, h, [](int x, int) { return RGB(x, x, x); });
}

using LiquidEnergyTest = XformTest;

TEST_F(LiquidEnergyTest, RipplesFoldTheForceIntoATriangleWave) {
    const LiquidEnergyParams p = RedOnBlue(64);
    // The crests at 32, 96, ... are seen on the ramp below.
    for (int trough : {0, 64, 128, 192})
        EXPECT_EQ(liquid_energy::RippleColour(p, 64, trough), kBlue) << trough;
    // Half way up a flank the height is 1/2, squared 1/4 of the energy.
    EXPECT_EQ(liquid_energy::RippleColour(p, 64, 16), RGB(63, 0, 191));
    EXPECT_EQ(liquid_energy::RippleColour(p, 64, 48), RGB(63, 0, 191));
    EXPECT_EQ(liquid_energy::RippleColour(p, 64, 255), liquid_energy::RippleColour(p, 64, 1));

    // Width 10: a crest every 10 levels, at 5, 15, ...
    for (int crest = 5; crest < 256; crest += 10)
        EXPECT_EQ(liquid_energy::RippleColour(p, 10, crest), kRed) << crest;
    EXPECT_EQ(liquid_energy::RippleColour(p, 10, 250), kBlue);
    // Width 11 has half 5: 6 folds to 5, a crest two levels wide.
    EXPECT_EQ(liquid_energy::RippleColour(p, 11, 5), kRed);
    EXPECT_EQ(liquid_energy::RippleColour(p, 11, 6), kRed);
    EXPECT_NE(liquid_energy::RippleColour(p, 11, 7), kRed);
}

// A smooth ramp: four ripples across it, every pixel of In one
// k x k block, and no random draw.
TEST_F(LiquidEnergyTest, ARampShowsFourRipplesInBlocksOfK) {
    const auto in = Ramp(3);
    const LiquidEnergyParams p = RedOnBlue(64);
    for (int k : {1, 2}) {
        SetStatusText("x");
        const Canvas c = Render(*in, p, k, 99);
        ASSERT_EQ(c.result, 1);
        EXPECT_EQ(GetStatusText(), "");
        EXPECT_EQ(c.progress, 10 + 80 * (2 * 100 / 3) / 100);  // the last row's
        EXPECT_EQ(DrawsMade(99), 0);
        std::vector<int> crests;
        for (int x = 0; x < 256 * k; ++x) {
            const COLORREF want = liquid_energy::RippleColour(p, 64, x / k);
            for (int y = 0; y < 3 * k; ++y)
                ASSERT_EQ(c.At(x, y), want) << x << "," << y << " k " << k;
            if (want == kRed && x % k == 0) crests.push_back(x / k);
        }
        EXPECT_EQ(crests, (std::vector<int>{32, 96, 160, 224}));
    }
}

// A width that would give a ripple without a crest (0 / 0, or a modulo by
// 0) in a recipe that skipped Validate is held to the range by the run.
TEST_F(LiquidEnergyTest, RippleWidthIsHeldToTenToAHundred) {
    const auto in = Ramp(2);
    const Canvas ten = Render(*in, RedOnBlue(10), 1, 1);
    const Canvas hundred = Render(*in, RedOnBlue(100), 1, 1);
    for (int wrong : {1, 0, -64, -2147483647 - 1}) {
        const Canvas c = Render(*in, RedOnBlue(wrong), 1, 1);
        ASSERT_EQ(c.result, 1) << wrong;
        EXPECT_EQ(PictureHash(*c.out), PictureHash(*ten.out)) << wrong;
    }
    EXPECT_EQ(PictureHash(*Render(*in, RedOnBlue(1000), 1, 1).out), PictureHash(*hundred.out));
}

TEST_F(LiquidEnergyTest, WizardDrawsWidthSmoothingAndAColourPair) {
    HandLcg lcg{4711};
    const int width = lcg.Int(10, 100);
    const int smoothing = lcg.Int(3, 5);
    const int g = lcg.Int(0, 255), b = lcg.Int(0, 255), r = lcg.Int(0, 255);

    CFilSpec filSpec;
    filSpec.XformIndex = kLiquidEnergy;
    CDADC original(40, 30);
    CrtSrand(4711);
    filSpec.AutoChoose(&original);
    const LiquidEnergyParams& p = filSpec.LiquidEnergy;
    EXPECT_EQ(std::tuple(p.rippleWidth, filSpec.Selection.smoothing, p.energy, p.liquid),
              std::tuple(width, smoothing, RGB(r, g, b), OppositeColour(RGB(r, g, b))));
    EXPECT_EQ(DrawsMade(4711), 5);
}

TEST_F(LiquidEnergyTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when taken; the force field changes them too.
    ExpectGoldenPictures(
        {{1, 17168963275574687371ull}, {2, 3963155139988347771ull}, {4, 17438949202585899011ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            LiquidEnergyParams p;
            p.rippleWidth = 40;
            p.energy = RGB(255, 230, 120);
            p.liquid = RGB(20, 40, 140);
            return Render(flower, p, g.k, 1);
        });
}

}  // namespace
