#include "xforms/bubble.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlue = RGB(0, 0, 200);

// On a canvas of a colour no Xform uses, to see what it left alone.
Canvas Render(const CDADC& in, BubbleParams p, int k, unsigned seed) {
    return RenderXform(Bubble, in, p, k, seed, RGB(1, 2, 3));
}

struct Circle {
    int cx, cy, r;  // Out pixels
};

// The circles of the first chain on a picture whose force is full
// everywhere (every start is taken, every chain reaches the top), worked
// from the seed with the toolkit's own random routines.
std::vector<Circle> FirstChain(unsigned seed, int w, int h, int k, double radius) {
    CrtSrand(seed);
    const int x = RandomInt(0, w - 1);
    int row = RandomInt(0, h - 1);
    RandomInt(0, 253);
    int step = bubble::FirstStep(radius, k);
    if (RandomChance()) step *= 2;
    std::vector<Circle> circles;
    for (;;) {
        int r = static_cast<int>(RandomReal(0.9, 1.1) * radius);
        if (r < k) r = k;
        circles.push_back({x * k, row * k, r});
        row -= step;
        if (row < 0) break;
        step += 2;
    }
    return circles;
}

using BubbleTest = XformTest;

TEST_F(BubbleTest, RadiusAndFirstStepOfTheDefaults) {
    BubbleParams p;
    // 1.75 % of 480 is a diameter of 8.4 pixels; the step covers it plus one.
    EXPECT_DOUBLE_EQ(bubble::RadiusOf(p, 480), 4.2);
    EXPECT_EQ(bubble::FirstStep(4.2, 1), 9);
    // At k = 4 the radius grows fourfold and the step, in In pixels, stays.
    EXPECT_DOUBLE_EQ(bubble::RadiusOf(p, 1920), 16.8);
    EXPECT_EQ(bubble::FirstStep(16.8, 4), 9);
    // A size that skipped Validate is held to its range.
    p.size = 40.0;
    EXPECT_DOUBLE_EQ(bubble::RadiusOf(p, 100), 1.5);
    p.size = std::nan("");
    EXPECT_DOUBLE_EQ(bubble::RadiusOf(p, 100), 0.25);
}

TEST_F(BubbleTest, ArcEndsForEveryPositionAndNoneForStrayOnes) {
    const RECT box = {10, 20, 30, 40};
    const POINT L_T = {10, 20}, R_T = {30, 20}, L_B = {10, 40}, R_B = {30, 40};
    const struct {
        int position;
        POINT start, end;
    } table[] = {
        {kHighlightTopLeft, R_T, L_B},     {kHighlightTop, R_T, L_T},
        {kHighlightTopRight, R_B, L_T},    {kHighlightRight, R_B, R_T},
        {kHighlightBottomRight, L_B, R_T}, {kHighlightBottom, L_B, R_B},
        {kHighlightBottomLeft, L_T, R_B},  {kHighlightLeft, L_T, L_B},
    };
    for (const auto& row : table) {
        POINT s{}, e{};
        ASSERT_TRUE(bubble::ArcEnds(row.position, box, &s, &e)) << row.position;
        EXPECT_EQ(std::tie(s.x, s.y, e.x, e.y),
                  std::tie(row.start.x, row.start.y, row.end.x, row.end.y))
            << row.position;
    }
    for (int stray : {int{kHighlightOff}, 1099, 1109})
        EXPECT_FALSE(bubble::ArcEnds(stray, box, nullptr, nullptr)) << stray;
    // Validate holds a stray position to the nearest end of the range.
    CFilSpec filSpec;
    filSpec.XformIndex = kBubble;
    for (const auto& [given, held] : {std::pair{1099, 1100}, {1109, 1108}, {1104, 1104}}) {
        filSpec.Bubble.highlightPosition = given;
        EXPECT_EQ(filSpec.Validate(640, 480), 1);
        EXPECT_EQ(filSpec.Bubble.highlightPosition, held) << given;
    }
}

// Hollow white circles on the background colour, the first chain's worked
// out from the seed.
TEST_F(BubbleTest, FirstChainRisesFromItsStartToTheTopInHollowCircles) {
    const auto in = UniformPicture(200, 150, RGB(90, 90, 90));
    BubbleParams p;
    p.count = 100;
    p.size = 3.0;  // three bubbles a hundred across
    p.background.colour = kBlue;
    const unsigned seed = 7099993;  // starts at (113, 119)
    for (int k : {1, 4}) {
        const std::vector<Circle> chain =
            FirstChain(seed, 200, 150, k, bubble::RadiusOf(p, 200 * k));
        ASSERT_FALSE(chain.empty());
        const Canvas c = Render(*in, p, k, seed);
        ASSERT_EQ(c.result, 1);
        EXPECT_GT(chain.front().cx - chain.front().r, 0);
        // Centres stay background unless a later circle crosses them.
        int hollow = 0;
        for (const Circle& b : chain) {
            SCOPED_TRACE(testing::Message() << "k " << k << " y " << b.cy);
            // Outlined left and right; at k = 4 the 4 pixels wide pen is
            // centred on the outline.
            EXPECT_EQ(c.At(b.cx - b.r + (k - 1) / 2, b.cy), kWhite);
            EXPECT_EQ(c.At(b.cx + b.r - 1 - (k - 1) / 2, b.cy), kWhite);
            EXPECT_GE(b.r, k);
            hollow += c.At(b.cx, b.cy) == kBlue;
        }
        EXPECT_GT(hollow, 0);
        // Nothing but outlines: no fill, no highlight while it is off.
        for (int y = 0; y < 150 * k; ++y)
            for (int x = 0; x < 200 * k; ++x)
                ASSERT_TRUE(c.At(x, y) == kWhite || c.At(x, y) == kBlue) << x << "," << y;
    }
}

// With force only in a bright band, chains start in it and stop on leaving it.
TEST_F(BubbleTest, ChainsStayWhereTheForceIsStrong) {
    const auto in = PaintedPicture(200, 150, [](int, int y) { return y >= 100 ? kWhite : 0; });
    BubbleParams p;
    p.count = 500;
    p.size = 1.0;
    const Canvas c = Render(*in, p, 1, 4242);
    ASSERT_EQ(c.result, 1);
    int inside = 0, above = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            if (c.At(x, y) == kWhite) (y >= 90 ? inside : above)++;
    EXPECT_GT(inside, 0);
    EXPECT_LT(above, inside / 10);
}

TEST_F(BubbleTest, WizardDrawsInOrder) {
    CrtSrand(77);
    const int count = RandomInt(100, 5000);
    const int position = RandomInt(1101, 1108);
    COLORREF colour = 0, opposite = 0;
    RandomColourPair(&colour, &opposite);
    const COLORREF highlight = ScaleColour(RandomColour(), 2.0);
    const double size = RandomReal(0.5, 1.5);
    const int invert = RandomChance() ? 1 : 0;

    CFilSpec filSpec;
    filSpec.XformIndex = kBubble;
    filSpec.Bubble.background.useImage = 1;
    filSpec.Selection.invert = 1 - invert;
    CDADC original(64, 48);
    CrtSrand(77);
    filSpec.AutoChoose(&original);
    const BubbleParams& b = filSpec.Bubble;
    EXPECT_EQ(std::tie(b.count, b.highlightPosition, b.bubbleColour, b.highlightColour, b.size),
              std::tie(count, position, colour, highlight, size));
    EXPECT_EQ(b.background, (Background{ScaleColour(opposite, 0.25), 0}));
    EXPECT_EQ(filSpec.Selection.invert, invert);
}

TEST_F(BubbleTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Looked at when taken; the drawing layer's ellipses and arcs and the
    // force field change them too.
    ExpectGoldenPictures(
        {{1, 4028191751720413255ull}, {2, 17065003795800114726ull}, {4, 1621884358364270161ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            BubbleParams p;
            p.highlightPosition = kHighlightTopLeft;
            return Render(flower, p, g.k, 1618);
        });
}

}  // namespace
