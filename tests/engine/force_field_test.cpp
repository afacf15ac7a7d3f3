#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "support/message_capture.h"

namespace {

void FillRandom(CDADC& pic, unsigned seed) {
    std::mt19937 gen(seed);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            for (int c = 0; c < 3; ++c)
                pic.Row(y)[3 * x + c] = static_cast<BYTE>(gen() & 255);
}

// The field the slow, obvious way.
std::vector<int> Reference(const CDADC& pic, const AreaSelection& sel) {
    const int w = pic.width, h = pic.height;
    std::vector<int> v(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const BYTE* p = pic.pBits + static_cast<size_t>(h - 1 - y) * pic.rowBytes + 3 * x;
            v[static_cast<size_t>(y * w + x)] = sel.IsPlainBrightness()
                                                    ? (p[0] + p[1] + p[2]) / 3
                                                    : sel.WeightOf(RGB(p[2], p[1], p[0]));
        }
    }
    const int n = sel.smoothing;
    if (n >= 2) {
        std::vector<int> means(v.size());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int sum = 0, count = 0;
                for (int wy = y - (n - 1); wy <= y + (n - 1); ++wy) {
                    for (int wx = x - (n - 1); wx <= x + (n - 1); ++wx) {
                        if (wx < 0 || wy < 0 || wx >= w || wy >= h) continue;
                        sum += v[static_cast<size_t>(wy * w + wx)];
                        ++count;
                    }
                }
                means[static_cast<size_t>(y * w + x)] = sum / count;
            }
        }
        v = means;
    }
    int lo = *std::min_element(v.begin(), v.end());
    int hi = *std::max_element(v.begin(), v.end());
    if (lo == hi) lo = 0, hi = 1;
    for (int& e : v)
        e = std::min((e - lo) * 255 / (hi - lo), 255);
    return v;
}

// The field, top row first; empty when there is none.
std::vector<int> AsInts(const ForceField& field, const CDADC& pic) {
    if (!field) return {};
    return std::vector<int>(field.get(), field.get() + pic.width * pic.height);
}

AreaSelection Smoothed(int n) {
    AreaSelection sel;
    sel.SetSmoothing(n);
    return sel;
}

}  // namespace

// Null without a word, smoothed or not, for no picture or a stop.
TEST(ForceField, MissingOrEmptyPictureOrAStopGivesNull) {
    MessageCapture capture;
    AreaSelection plain, smooth = Smoothed(4);
    EXPECT_EQ(MakeForceField(nullptr, &plain), nullptr);
    CDADC empty, pic(8, 8);
    EXPECT_EQ(MakeForceField(&empty, &plain), nullptr);
    StopRequested = 1;
    EXPECT_EQ(MakeForceField(&pic, &plain), nullptr);
    EXPECT_EQ(MakeForceField(&pic, &smooth), nullptr);
    StopRequested = 0;
    EXPECT_TRUE(capture.Texts().empty());
}

// The small pictures are narrower or lower than the largest smoothing window;
// 1 × 1 is uniform.
TEST(ForceField, SelectionsMatchTheStraightforwardComputation) {
    AreaSelection coloured;  // squared distances to a colour, unsmoothed
    coloured.SetHsv(200, 0.6, 0.8);
    AreaSelection inverted = coloured;
    inverted.invert = 1;
    for (auto [w, h] : {std::pair(37, 23), std::pair(1, 1), std::pair(5, 3), std::pair(1, 20),
                        std::pair(20, 1)}) {
        CDADC pic(w, h);
        FillRandom(pic, 7);
        for (const AreaSelection& sel :
             {coloured, inverted, Smoothed(1), Smoothed(2), Smoothed(3), Smoothed(8)}) {
            EXPECT_EQ(AsInts(MakeForceField(&pic, &sel), pic), Reference(pic, sel))
                << w << "x" << h << ", smoothing " << sel.smoothing;
        }
    }
}

TEST(ForceField, ShortMemoryForSmoothingKeepsTheRawWeights) {
    MessageCapture capture;
    CDADC pic(6, 5);
    FillRandom(pic, 5);
    AreaSelection sel = Smoothed(3);

    LimitForceFieldAllocations(0);
    EXPECT_EQ(MakeForceField(&pic, &sel), nullptr);
    EXPECT_TRUE(capture.Texts().empty());

    LimitForceFieldAllocations(1);
    ForceField field = MakeForceField(&pic, &sel);
    LimitForceFieldAllocations(-1);
    EXPECT_EQ(capture.Texts(),
              std::vector<std::string>{"SFF:Could not created smoothed force field"});
    ASSERT_NE(field, nullptr);
    // Unsmoothed and not stretched.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const BYTE* p = pic.Row(y) + 3 * x;
            ASSERT_EQ(ForceAt(field.get(), x, y, 6), sel.WeightOf(RGB(p[2], p[1], p[0])));
        }
    }
}
