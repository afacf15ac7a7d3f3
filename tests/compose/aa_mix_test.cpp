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

// The weight of the original at a few worked positions: even mixing, the
// plain ramps, a sharp ramp around the middle and the elliptical ones.
TEST_F(AAMix, WeightsAtWorkedPositions) {
    const struct {
        int mode, percent, x, y, w, h;
        double weight, within = 1e-9;
    } cases[] = {
        {kMixEven, 99, 3, 2, 10, 4, 0.99},
        // Sharpness 1: column x takes the original with weight x / W.
        {kMixLeftRight, 1, 0, 0, 10, 4, 0.0},
        {kMixLeftRight, 1, 3, 0, 10, 4, 0.3},
        {kMixLeftRight, 1, 9, 0, 10, 4, 0.9},
        // Sharpness 99: b = x / W, the ramp runs from 0.49 to 0.51.
        {kMixRightLeft, 99, 40, 0, 100, 10, 1.0, 0},
        {kMixRightLeft, 99, 49, 0, 100, 10, 1.0, 0},
        {kMixRightLeft, 99, 50, 0, 100, 10, 0.5, 0},
        {kMixRightLeft, 99, 51, 0, 100, 10, 0.0, 0},
        {kMixRightLeft, 99, 90, 0, 100, 10, 0.0, 0},
        // The elliptical centre-out keeps the original in the corners.
        {kMixCentreOutElliptical, 1, 0, 0, 100, 60, 1.0, 0},
        {kMixCentreOutElliptical, 1, 50, 30, 100, 60, 0.0, 0.01},
        {kMixOuterIn, 1, 50, 30, 100, 60, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(MixWeight(Mode(c.mode, c.percent), c.x, c.y, c.w, c.h, nullptr), c.weight,
                    c.within)
            << "mode " << c.mode << " at " << c.x << "," << c.y;
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
// the very numbers the pixel-by-pixel routine gives, for every mode and level
// (mode off: the plain k x k average, truncated).
TEST_F(AAMix, EveryModeAndLevelGivesThePixelByPixelResult) {
    const int w = 37, h = 23;
    CDADC original(w, h), draw(w, h);
    for (int k : {1, 2, 3, 4}) {
        CDADC canvas(w * k, h * k);
        Patterned(canvas, original);
        for (int mode = kMixModeOff; mode <= kMixHsv; ++mode) {
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
