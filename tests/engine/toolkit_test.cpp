#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/area_selection.h"
#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "support/message_capture.h"

namespace {

// The seed whose first CrtRand is `first`: runs the generator's step
// backwards (214013 is odd, so it has an inverse modulo 2^32).
unsigned SeedGiving(int first) {
    std::uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    const std::uint32_t state = static_cast<std::uint32_t>(first) << 16;
    return (state - 2531011u) * inverse;
}

std::vector<int> Draws(unsigned seed, int count) {
    CrtSrand(seed);
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back(CrtRand());
    return values;
}

}  // namespace

TEST(CrtRandom, MatchesTheRuntimeSequenceAndIsPerThread) {
    EXPECT_EQ(Draws(1, 5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    // A thread that never seeds starts as if seeded with 1, and seeding on
    // one thread leaves the others' sequences alone.
    CrtSrand(777);
    std::vector<int> unseeded, a, b;
    std::thread([&] { unseeded.push_back(CrtRand()); }).join();
    std::thread t1([&] { a = Draws(12345, 1000); });
    std::thread t2([&] { b = Draws(12345, 1000); });
    t1.join();
    t2.join();
    EXPECT_EQ(unseeded, std::vector<int>{41});
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, Draws(12345, 1000));
}

// The generator's extreme draws, 0 and 32767, must give the ends of the range.
TEST(RandomNumbers, ExtremeDrawsReachTheEndsWithoutOverflow) {
    const struct {
        int draw, lo, hi, expected;
    } ints[] = {{32767, -5, 5, 5},
                {32767, 0, 1000000, 999970},  // no overflow of the product
                {0, -5, 5, -5}};
    for (const auto& c : ints) {
        CrtSrand(SeedGiving(c.draw));
        EXPECT_EQ(RandomInt(c.lo, c.hi), c.expected) << c.lo << ".." << c.hi;
    }
    CrtSrand(SeedGiving(32767));
    EXPECT_EQ(RandomReal(2, -2), -2.0);
    CrtSrand(SeedGiving(0));
    EXPECT_EQ(RandomReal(0, 1), 0.0);
}

TEST(RandomColours, DrawChannelsInTheirOwnOrder) {
    // Seed 1 draws 41, 18467, 6334: RandomInt (0, 255) gives 0, 144, 49.
    CrtSrand(1);
    EXPECT_EQ(RandomColour(), RGB(0, 144, 49));

    CrtSrand(1);
    COLORREF colour = 0, opposite = 0;
    RandomColourPair(&colour, &opposite);
    EXPECT_EQ(colour, RGB(49, 0, 144));
    EXPECT_EQ(opposite, OppositeColour(colour));
}

TEST(ColourArithmetic, OppositeBlendAndScaleTruncateAndStayInRange) {
    EXPECT_EQ(OppositeColour(RGB(0, 0, 0)), RGB(0, 255, 255));
    EXPECT_EQ(OppositeColour(RGB(200, 100, 50)), RGB(41, 50, 55));
    EXPECT_EQ(BlendColours(0.25, RGB(255, 0, 100), RGB(0, 255, 0)), RGB(63, 191, 25));
    EXPECT_EQ(ScaleColour(RGB(200, 100, 10), 1.5), RGB(255, 150, 15));
    EXPECT_EQ(ScaleColour(RGB(200, 100, 10), -1.0), RGB(0, 0, 0));
    EXPECT_EQ(BlendColours(2.0, RGB(200, 0, 0), RGB(0, 0, 0)), RGB(255, 0, 0));
}

// Jitter draws three numbers only for a factor in 0..1, and clamps.
TEST(ColourArithmetic, JitterDrawsOnlyForAFactorInRangeAndClamps) {
    for (double f : {1.5, -0.1}) {
        CrtSrand(1);
        EXPECT_EQ(JitterColour(RGB(10, 20, 30), f), RGB(10, 20, 30));
        EXPECT_EQ(CrtRand(), 41) << "no draw for f = " << f;
    }
    CrtSrand(1);
    EXPECT_EQ(JitterColour(RGB(10, 20, 30), 0.0), RGB(10, 20, 30));
    EXPECT_EQ(CrtRand(), 26500);  // three draws taken

    // Factor 2 at the top of the generator: 200 would become 400.
    CrtSrand(SeedGiving(32767));
    EXPECT_EQ(GetRValue(JitterColour(RGB(200, 0, 0), 1.0)), 255);
}

// The plain sectors are taken by the area selection and opposite colour
// tests; these are the wrap-arounds, the grey and hues beyond one turn,
// which are reported.
TEST(ColourConversion, HuesWrapAroundRed) {
    MessageCapture capture;
    double h = -1, s = -1, v = -1;
    RgbToHsv(1, 0, 1, &h, &s, &v);  // red leads: -60 wraps to 300
    EXPECT_EQ(std::vector<double>({h, s, v}), std::vector<double>({300, 1, 1}));
    RgbToHsv(0.5, 0.5, 0.5, &h, &s, &v);
    EXPECT_EQ(std::vector<double>({h, s, v}), std::vector<double>({0, 0, 0.5}));
    double r = -1, g = -1, b = -1;
    HsvToRgb(-10, 0.5, 1, &r, &g, &b);
    EXPECT_EQ(std::vector<double>({r, g, b}), std::vector<double>({1, 1 - 7.0 / 12, 0.5}));
    HsvToRgb(360, 1, 1, &r, &g, &b);
    EXPECT_EQ(std::vector<double>({r, g, b}), std::vector<double>({1, 0, 0}));
    EXPECT_TRUE(capture.Texts().empty());

    HsvToRgb(420, 1, 1, &r, &g, &b);
    EXPECT_EQ(std::vector<double>({r, g, b}), std::vector<double>({1, 0, 1}));
    HsvToRgb(-60, 1, 1, &r, &g, &b);
    HsvToRgb(1e300, 1, 1, &r, &g, &b);  // no undefined conversion
    ASSERT_EQ(capture.Texts().size(), 3u);
    EXPECT_EQ(capture.Texts()[0], "HsvToRgb(420.000, 1.000, 1.000) = (7)\n");
    EXPECT_EQ(capture.Texts()[1], "HsvToRgb(-60.000, 1.000, 1.000) = (-1)\n");
}

TEST(AreaSelection, SettersWrapClampAndRecomputeTheColour) {
    AreaSelection sel;
    sel.SetHsv(-10, 1, 1);
    EXPECT_EQ(sel.hue, 350.0);
    sel.SetHsv(730, 1.5, 1);  // one turn taken off only
    EXPECT_EQ(std::pair(sel.hue, sel.saturation), std::pair(370.0, 1.0));
    sel.SetHsv(120, 1, 1);
    EXPECT_EQ(sel.GetColour(), RGB(0, 255, 0));
    EXPECT_FALSE(sel.IsPlainBrightness());

    // Saturation is clamped only from above; the colour still stays 0..255.
    sel.SetHsv(0, -1, 1);
    EXPECT_EQ(sel.saturation, -1.0);
    int rgb[3];
    sel.GetRgb(rgb);
    EXPECT_EQ(std::vector<int>(rgb, rgb + 3), std::vector<int>(3, 255));

    sel.SetSmoothing(9);
    EXPECT_EQ(sel.smoothing, 8);
    sel.SetSmoothing(-1);
    EXPECT_EQ(sel.smoothing, 0);

    sel.SetFromColour(RGB(0, 0, 255));
    EXPECT_EQ(sel.hue, 240.0);
    EXPECT_EQ(sel.GetColour(), RGB(0, 0, 255));
}

TEST(AreaSelection, WeightIsSquaredOnlyWithoutSmoothing) {
    AreaSelection sel;  // white: distance 765 - 585 = 180, w = 60
    EXPECT_EQ(sel.WeightOf(RGB(30, 60, 90)), 60 * 60 / 255);
    sel.SetSmoothing(1);
    EXPECT_EQ(sel.WeightOf(RGB(30, 60, 90)), 60);
    sel.invert = 1;
    EXPECT_EQ(sel.WeightOf(RGB(30, 60, 90)), 195);
}

TEST(AreaSelection, RandomiseDrawsInOrder) {
    CrtSrand(1);  // 41, 18467, 6334, 26500, 19169
    AreaSelection sel;
    sel.Randomise();
    EXPECT_DOUBLE_EQ(sel.hue, 41 * 3.051850947599719e-5 * 359);
    EXPECT_DOUBLE_EQ(sel.saturation, 18467 * 3.051850947599719e-5);
    EXPECT_DOUBLE_EQ(sel.value, 6334 * 3.051850947599719e-5);
    EXPECT_EQ(sel.invert, 1);     // RandomInt (1, 100) = 81
    EXPECT_EQ(sel.smoothing, 5);  // RandomInt (0, 8)
}

TEST(Context, ScaleMustBeOneTwoOrFourInBothDirections) {
    CDADC in, out, draw;  // only the sizes are read
    in.width = 10, in.height = 8;
    XformContext ctx;
    ctx.In = &in;
    ctx.Out = &out;
    ctx.Draw = &draw;
    auto sized = [&](int w, int h) {
        out.width = w, out.height = h;
        return std::pair(IsContextValid(&ctx), OutputScale(&ctx));
    };
    EXPECT_EQ(sized(41, 35), std::pair(true, 4));
    EXPECT_EQ(sized(30, 24), std::pair(false, 1));
    EXPECT_EQ(sized(20, 32), std::pair(false, 1));
    out.width = 20, out.height = 16;
    ctx.Draw = nullptr;
    EXPECT_EQ(std::pair(IsContextValid(&ctx), OutputScale(&ctx)), std::pair(false, 2));
    in.width = 0;  // no division by it
    EXPECT_EQ(std::pair(IsContextValid(&ctx), OutputScale(&ctx)), std::pair(false, 1));
}

TEST(PenAndBrush, EachCallReplacesAndDeletesThePreviousObjects) {
    MessageCapture capture;
    CDC dc;
    CGdiObject* savedPen = dc.GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc.GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    SetPenAndBrush(&pen, PS_DASH, 3, RGB(1, 2, 3), &brush, RGB(4, 5, 6), &dc);
    SetPenAndBrush(&pen, PS_SOLID, 1, RGB(7, 8, 9), &brush, RGB(10, 11, 12), &dc);
    EXPECT_EQ(std::pair(dc.GetCurrentObject(OBJ_PEN), dc.GetCurrentObject(OBJ_BRUSH)),
              (std::pair<CGdiObject*, CGdiObject*>(pen, brush)));
    EXPECT_EQ(std::tuple(dc.Pen().style, dc.Pen().width, dc.Pen().colour, dc.Brush().colour),
              std::tuple(PS_SOLID, 1, RGB(7, 8, 9), RGB(10, 11, 12)));
    RestorePenAndBrush(&dc, savedPen, savedBrush, &pen, &brush);
    EXPECT_TRUE(pen == nullptr && brush == nullptr);
    EXPECT_EQ(std::pair(dc.GetCurrentObject(OBJ_PEN), dc.GetCurrentObject(OBJ_BRUSH)),
              std::pair(savedPen, savedBrush));
    EXPECT_TRUE(capture.Texts().empty());  // the first pair was deleted without complaint
}

TEST(PenAndBrush, ObjectsStillSelectedElsewhereAreReported) {
    MessageCapture capture;
    CDC dc, other;
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    SetPenAndBrush(&pen, PS_SOLID, 1, 0, &brush, 0, &dc);
    other.SelectObject(pen);
    other.SelectObject(brush);
    SetPenAndBrush(&pen, PS_SOLID, 1, 0, &brush, 0, &dc);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"SPAB:Could not delete a pen",
                                                         "SPAB:Could not delete a brush"}));
    EXPECT_EQ(other.GetCurrentObject(OBJ_PEN), nullptr);  // the deleted pen is forgotten
    dc.SelectStockObject(BLACK_PEN);
    dc.SelectStockObject(WHITE_BRUSH);
    delete pen;
    delete brush;
}

// AngleBetween takes the x difference backwards; centred lines widen an
// axis-parallel half length.
TEST(Geometry, AnglesAndCentredLines) {
    EXPECT_DOUBLE_EQ(AngleBetween({0, 0}, {-1, 0}), 0.0);
    EXPECT_DOUBLE_EQ(AngleBetween({5, 5}, {5, 9}), std::atan2(4.0, 0.0));

    CDADC pic(20, 20);
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    pic.pDC->SelectObject(&white);

    // Angle 0, length 10: hx 0 becomes 1, hy 5.
    CentredLine down{10, 10, 0.0, 10};
    DrawCentredLine(&down, pic.pDC);
    EXPECT_EQ(pic.pDC->GetCurrentPosition().x, 11);
    EXPECT_EQ(pic.pDC->GetCurrentPosition().y, 15);

    // sin (HalfPi) × 10 truncates to 9 with pi taken as 3.14159: hx 4, hy 0,
    // so hx becomes 5.
    CentredLine across{10, 3, HalfPi, 10};
    DrawCentredLine(&across, pic.pDC);
    EXPECT_EQ(pic.pDC->GetCurrentPosition().x, 15);
    EXPECT_EQ(pic.pDC->GetCurrentPosition().y, 3);
    pic.pDC->SelectStockObject(BLACK_PEN);
}

// A random background draws a colour only without the image; painting takes
// the colour or stretches the picture.
TEST(BackgroundTest, RandomisesAndPaints) {
    // Seed 1: RandomInt (0, 100) = 0, then the colour (144, 49, 207).
    CrtSrand(1);
    Background bg{RGB(1, 2, 3), 1};
    bg.RandomBackground(0.5, 0);
    EXPECT_EQ(bg.useImage, 0);
    EXPECT_EQ(bg.colour, RGB(72, 24, 103));

    CrtSrand(1);
    bg = Background{RGB(1, 2, 3), 0};
    bg.RandomBackground(0.5, 1);
    EXPECT_EQ(bg.useImage, 1);
    EXPECT_EQ(bg.colour, RGB(1, 2, 3));
    EXPECT_EQ(CrtRand(), 18467);

    CDADC in(2, 1), out(4, 2);
    in.pDC->SetPixel(0, 0, RGB(10, 20, 30));
    in.pDC->SetPixel(1, 0, RGB(40, 50, 60));
    bg.useImage = 0;
    PaintBackground(&out, &in, &bg);
    EXPECT_EQ(out.pDC->GetPixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(out.pDC->GetPixel(3, 1), RGB(1, 2, 3));

    bg.useImage = 1;
    PaintBackground(&out, &in, &bg);
    EXPECT_EQ(out.pDC->GetStretchBltMode(), COLORONCOLOR);
    EXPECT_EQ(out.pDC->GetPixel(1, 1), RGB(10, 20, 30));
    EXPECT_EQ(out.pDC->GetPixel(2, 0), RGB(40, 50, 60));
}
