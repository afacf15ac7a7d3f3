#include "compose/aa_mix.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"
#include "tools/gdi_script.h"

namespace {

void Fill(CDADC& s, const std::function<COLORREF(int, int)>& colourAt) {
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const COLORREF c = colourAt(x, y);
            BYTE* p = s.Row(y) + 3 * x;
            p[0] = static_cast<BYTE>(GetBValue(c));
            p[1] = static_cast<BYTE>(GetGValue(c));
            p[2] = static_cast<BYTE>(GetRValue(c));
        }
    }
}

MixSettings Mode(int mode, int percent = 50, COLORREF colour = 0xFFFFFF) {
    MixSettings m;
    m.Mode = mode;
    m.Percent = percent;
    m.Colour = colour;
    return m;
}

struct AAMix : ::testing::Test {
    std::atomic<int> progress{0};
    MixSettings off = Mode(kMixModeOff);
};

}  // namespace

TEST_F(AAMix, BoxAverageTruncates) {
    // Alternating black and white columns average to 127 at k = 2.
    CDADC canvas(8, 6), draw(4, 3);
    Fill(canvas, [](int x, int) { return x % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    AAMixBlit(&draw, &canvas, nullptr, &off, &off, &progress);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(SurfacePixel(draw, x, y), RGB(127, 127, 127));

    // At k = 4 a block of one black and three white columns: 765 / 4.
    CDADC big(8, 8), small(2, 2);
    Fill(big, [](int x, int) { return x % 4 ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    AAMixBlit(&small, &big, nullptr, &off, &off, &progress);
    EXPECT_EQ(SurfacePixel(small, 1, 1), RGB(191, 191, 191));
}

TEST_F(AAMix, EvenMixAndLeftRightRamp) {
    CDADC canvas(10, 4), draw(10, 4), original(10, 4);
    Fill(original, [](int, int) { return RGB(255, 255, 255); });
    MixSettings even = Mode(kMixEven, 99);
    AAMixBlit(&draw, &canvas, &original, &even, &off, &progress);
    EXPECT_EQ(SurfacePixel(draw, 3, 2), RGB(252, 252, 252));

    // Sharpness 1: column x takes the original with weight x / W.
    MixSettings ramp = Mode(kMixLeftRight, 1);
    AAMixBlit(&draw, &canvas, &original, &ramp, &off, &progress);
    for (int x = 0; x < 10; ++x) {
        // Within one step: the weight is computed as 1 - (1 - x / W), which may round down.
        EXPECT_NEAR(GetRValue(SurfacePixel(draw, x, 0)), 255 * x / 10.0, 1.0) << "column " << x;
    }
}

TEST_F(AAMix, SharpnessNarrowsTheRampAroundTheMiddle) {
    MixSettings sharp = Mode(kMixRightLeft, 99);  // b = x / W, ramp from 0.49 to 0.51
    for (auto [x, weight] : {std::pair{40, 1.0}, {49, 1.0}, {50, 0.5}, {51, 0.0}, {90, 0.0}})
        EXPECT_DOUBLE_EQ(MixWeight(sharp, x, 0, 100, 10, nullptr), weight) << x;
}

TEST_F(AAMix, EllipticalCentreOutKeepsTheOriginalInTheCorners) {
    MixSettings m = Mode(kMixCentreOutElliptical, 1);
    EXPECT_EQ(MixWeight(m, 0, 0, 100, 60, nullptr), 1.0);
    EXPECT_LT(MixWeight(m, 50, 30, 100, 60, nullptr), 0.01);
    MixSettings outer = Mode(kMixOuterIn, 1);
    EXPECT_NEAR(MixWeight(outer, 50, 30, 100, 60, nullptr), 1.0, 1e-12);
}

TEST_F(AAMix, BadSizesReportAndLeaveTheResultAlone) {
    MessageCapture capture;
    CDADC draw(4, 4);
    Fill(draw, [](int, int) { return RGB(9, 9, 9); });

    CDADC nonSquare(12, 8);
    AAMixBlit(&draw, &nonSquare, nullptr, &off, &off, &progress);
    CDADC five(20, 20);
    AAMixBlit(&draw, &five, nullptr, &off, &off, &progress);
    CDADC original(5, 4);
    MixSettings even = Mode(kMixEven);
    AAMixBlit(&draw, &draw, &original, &even, &off, &progress);
    AAMixBlit(&draw, &draw, &draw, nullptr, &off, &progress);

    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "AAMixBlit, non square pixel error",
                                   "AAMixBlit, Bad aa level (5)",
                                   "AAMB: Origin and destination\nx sizes are different...",
                                   "AAMB: insufficient mix data",
                               }));
    EXPECT_EQ(SurfacePixel(draw, 3, 3), RGB(9, 9, 9));
}

TEST_F(AAMix, ReportsProgressPerRow) {
    CDADC canvas(8, 8), draw(4, 4);
    progress = 0;
    AAMixBlit(&draw, &canvas, nullptr, &off, &off, &progress);
    EXPECT_EQ(progress.load(), 75);  // the last row reports 100 × 3 / 4
}

namespace {

// Every pixel of AAMixBlit's result against the weights taken one pixel at a
// time: the k x k average, mixed with the original, then faded.
void ExpectPixelByPixelResult(const CDADC& canvas, const CDADC& original, const CDADC& draw,
                              const MixSettings& mix, const MixSettings& fade, int k) {
    const int w = draw.width, h = draw.height;
    ForceField field;
    if (mix.Mode == kMixHsv) field = MakeForceField(&original, &mix.Selection);
    const int fadeChannel[3] = {GetBValue(fade.Colour), GetGValue(fade.Colour),
                                GetRValue(fade.Colour)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum[3] = {0, 0, 0};
            for (int j = 0; j < k; ++j) {
                for (int i = 0; i < k; ++i) {
                    const BYTE* p = canvas.Row(k * y + j) + 3 * (k * x + i);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c];
                }
            }
            const double a = MixWeight(mix, x, y, w, h, field.get());
            const double f = MixWeight(fade, x, y, w, h, field.get());
            const BYTE* q = original.Row(y) + 3 * x;
            const BYTE* o = draw.Row(y) + 3 * x;
            for (int c = 0; c < 3; ++c) {
                int v = sum[c] / (k * k);
                if (mix.Mode != kMixModeOff) v = static_cast<int>(v * (1.0 - a) + q[c] * a);
                if (fade.Mode != kMixModeOff)
                    v = static_cast<int>(v * f + fadeChannel[c] * (1.0 - f));
                ASSERT_EQ(o[c], v) << "mode " << mix.Mode << "/" << fade.Mode << " k " << k
                                   << " pixel " << x << "," << y << " channel " << c;
            }
        }
    }
}

void Patterned(CDADC& canvas, CDADC& original) {
    Fill(canvas, [](int x, int y) { return RGB(x * 7 + y, y * 3, (x ^ y) & 255); });
    Fill(original, [](int x, int y) { return RGB(255 - x % 256, y % 256, (x * y) % 200); });
}

}  // namespace

// The weights of a whole row come from tables of the columns: they must be
// the very numbers the pixel-by-pixel routine gives, for every mode and level.
TEST_F(AAMix, EveryModeAndLevelGivesThePixelByPixelResult) {
    const int w = 37, h = 23;
    CDADC original(w, h), draw(w, h);
    for (int k : {1, 2, 3, 4}) {
        CDADC canvas(w * k, h * k);
        Patterned(canvas, original);
        for (int mode = kMixEven; mode <= kMixHsv; ++mode) {
            const MixSettings mix = Mode(mode, 30);
            const MixSettings fade =
                Mode(mode == kMixEven || mode == kMixHsv ? kMixModeOff : mode, 70, RGB(9, 99, 199));
            AAMixBlit(&draw, &canvas, &original, &mix, &fade, &progress);
            ExpectPixelByPixelResult(canvas, original, draw, mix, fade, k);
        }
    }
}

TEST_F(AAMix, LargeCanvasesSplitIntoBandsGiveTheSamePixelsAsOnePass) {
    // Big enough to be shared between threads.
    const int w = 520, h = 520, k = 2;
    CDADC canvas(w * k, h * k), draw(w, h), original(w, h);
    Patterned(canvas, original);
    const MixSettings mix = Mode(kMixCentreOut, 30);
    const MixSettings fade = Mode(kMixOuterInElliptical, 60, RGB(10, 200, 30));
    AAMixBlit(&draw, &canvas, &original, &mix, &fade, &progress);
    ExpectPixelByPixelResult(canvas, original, draw, mix, fade, k);
}
