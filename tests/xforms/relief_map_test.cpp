#include "xforms/relief_map.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "support/message_capture.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

using namespace relief_map;

constexpr COLORREF kRockColour = 0x40C1E1;

ReliefMapParams Levels(int sea, int hill, int rock, int snow) {
    ReliefMapParams p;
    p.seaLevel = sea, p.hillLevel = hill, p.rockLevel = rock, p.snowLine = snow;
    return p;
}

Terrain TerrainAt(const ReliefMapParams& p, int f, double* t = nullptr) {
    return TerrainOf(p, MidpointsOf(p), f, t);
}

using ReliefMapTest = XformTest;

TEST_F(ReliefMapTest, TerrainOfTheDefaultLevels) {
    const ReliefMapParams p;
    const Midpoints m = MidpointsOf(p);
    // m3 = 153 + (102 - 153) / 2 truncates -25.5 toward zero: 128, one above m2.
    EXPECT_EQ(std::tie(m.m1, m.m2, m.m3, m.m4), std::make_tuple(76, 127, 128, 178));
    const std::vector<std::pair<int, Terrain>> table = {
        {0, kWater},   {50, kWater},  {51, kLowland}, {101, kLowland}, {102, kHill}, {128, kHill},
        {129, kSlope}, {177, kSlope}, {178, kRock},   {204, kRock},    {205, kSnow}, {255, kSnow}};
    for (const auto& [f, terrain] : table)
        EXPECT_EQ(TerrainAt(p, f), terrain) << f;
    double t = 0;
    ASSERT_EQ(TerrainAt(p, 153, &t), kSlope);
    EXPECT_DOUBLE_EQ(t, 0.5);
    // All four at 128: the rock test comes before the hill test.
    const ReliefMapParams flat = Levels(128, 128, 128, 128);
    EXPECT_EQ(TerrainAt(flat, 127), kWater);
    EXPECT_EQ(TerrainAt(flat, 128), kRock);
    EXPECT_EQ(TerrainAt(flat, 129), kSnow);
}

TEST_F(ReliefMapTest, LightFromTheTopEdge) {
    const Midpoints m = MidpointsOf(ReliefMapParams{});
    // A fall of the full force going down: b = 1 - 6, raised to 0.1.
    EXPECT_EQ(ShadeRelief(kRock, 0, 255, kRockColour, m), RGB(22, 19, 6));
    // A rise: b = 7, every channel saturates.
    EXPECT_EQ(ShadeRelief(kRock, 255, 0, kRockColour, m), RGB(255, 255, 255));
    EXPECT_EQ(ShadeRelief(kSnow, 230, 230, 0x808080, m), 0x808080u);
    // Lowland below m1 is never shaded; between m1 and m2 the light fades in.
    EXPECT_EQ(ShadeRelief(kLowland, 75, 0, 0x505050, m), 0x505050u);
    const double g = (101.0 - 76) / (127 - 76);
    const int lit = static_cast<int>(0x50 * (g * 25 * 0.023529411764705882 + 1));
    EXPECT_EQ(ShadeRelief(kLowland, 101, 76, 0x505050, m), RGB(lit, lit, lit));
    // Sea and hill at one level and rock one above put m1 = m2 = the hill
    // level: land there is flat instead of 0 / 0, as the Wizard can draw.
    const ReliefMapParams steep = Levels(100, 100, 101, 200);
    const Midpoints s = MidpointsOf(steep);
    ASSERT_EQ(s.m1, s.m2);
    ASSERT_EQ(TerrainAt(steep, 100), kHill);
    EXPECT_EQ(ShadeRelief(kHill, 100, 0, 0x6AD775, s), 0x6AD775u);
    // Above them it is lit in full: a rise of 51 gives b = 2.2.
    EXPECT_EQ(ShadeRelief(kHill, 101, 50, 0x101010, s), RGB(35, 35, 35));
}

// Six columns of known force at k = 2, the colours and the dots worked out
// from the seed: five random colours first, then a draw per land pixel
// (column by column) and two per dot of the chosen ones.
TEST_F(ReliefMapTest, ColoursAndDotsFollowTheSeed) {
    const int forces[6] = {0, 255, 80, 120, 153, 190};  // water, snow, lowland, hill, slope, rock
    const auto in =
        PaintedPicture(6, 3, [&](int x, int) { return RGB(forces[x], forces[x], forces[x]); });
    ReliefMapParams p;
    p.earthling = 0;
    constexpr unsigned kSeed = 8080;
    HandLcg lcg{kSeed};
    COLORREF palette[5];  // lowland, hill, rock, water, snow
    for (COLORREF& c : palette) {
        const int r = lcg.Int(0, 255), g = lcg.Int(0, 255), b = lcg.Int(0, 255);
        c = RGB(r, g, b);
    }
    const COLORREF colours[6] = {
        palette[3], palette[4], palette[0], palette[1], BlendColours(0.5, palette[2], palette[1]),
        palette[2]};
    std::vector<COLORREF> want(12 * 6);
    int dotted = 0;
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 3; ++y) {
            for (int i = 0; i < 4; ++i)
                want[static_cast<size_t>((y * 2 + i / 2) * 12 + x * 2 + i % 2)] = colours[x];
            if (x < 2 || lcg.Int(0, 100) <= 80) continue;
            ++dotted;
            for (int i = 0; i < 4; ++i) {
                const int dx = lcg.Int(0, 2), dy = lcg.Int(0, 2);
                if (dx < 2 && dy < 2)
                    want[static_cast<size_t>((y * 2 + dy) * 12 + x * 2 + dx)] =
                        ScaleColour(colours[x], 0.75);
            }
        }
    }
    ASSERT_GT(dotted, 0);
    const Canvas c = RenderXform(ReliefMap, *in, p, 2, kSeed);
    ASSERT_EQ(c.result, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(c.At(x, y), want[static_cast<size_t>(y * 12 + x)]) << x << "," << y;
    EXPECT_EQ(DrawsMade(kSeed), 15 + 12 + 8 * dotted);
}

TEST_F(ReliefMapTest, WizardDrawsRisingLevelsAndSmoothsTheSelection) {
    AreaSelection selection;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        HandLcg lcg{seed * 7919};
        const int sea = lcg.Int(0, 85);
        const int hill = lcg.Int(sea, 127);
        const int rock = lcg.Int(hill, 191);
        const int snow = lcg.Int(rock, 255);
        const int earthling = lcg.Int(0, 100) < 75;
        ReliefMapParams r;
        CrtSrand(seed * 7919);
        ReliefMapAutoChoose(&r, &selection);
        EXPECT_EQ(std::tie(r.seaLevel, r.hillLevel, r.rockLevel, r.snowLine, r.earthling),
                  std::tie(sea, hill, rock, snow, earthling));
        EXPECT_EQ(ReliefMapValidate(&r), 1);
    }
    EXPECT_EQ(selection.smoothing, 3);
}

TEST_F(ReliefMapTest, ValidateRefusesLevelsOutOfOrderAndMovesNone) {
    MessageCapture messages;
    CFilSpec filSpec;
    filSpec.XformIndex = kReliefMap;
    filSpec.ReliefMap = Levels(10, 10, 10, 10);
    EXPECT_EQ(filSpec.Validate(640, 480), 1);
    filSpec.ReliefMap = Levels(51, 153, 102, 204);
    const ReliefMapParams before = filSpec.ReliefMap;
    EXPECT_EQ(filSpec.Validate(640, 480), 0);
    EXPECT_EQ(filSpec.ReliefMap, before);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0],
              "The levels must rise in this order:\n"
              "Sea Level 51 <= Hill 153 <= Rock 102 <= Snow Line 204");
}

TEST_F(ReliefMapTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Recorded after looking at the pictures, in earth colours and (case 1)
    // in random ones. They change with the force field as well as with
    // Relief Map.
    ExpectGoldenPictures({{1, 437904796636075197ull, 0},
                          {2, 10758923948933978794ull, 0},
                          {4, 4692095222520097457ull, 0},
                          {2, 5747383282040260347ull, 1}},
                         [](const CDADC& flower, const GoldenPicture& g) {
                             ReliefMapParams p;
                             p.earthling = g.variant == 0;
                             return RenderXform(ReliefMap, flower, p, g.k, 1955u);
                         });
}

}  // namespace
