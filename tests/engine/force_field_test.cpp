#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "support/message_capture.h"

namespace {

// Picture row y lives in stored row height - 1 - y, blue-green-red.
void Put(CDADC& pic, int x, int y, int r, int g, int b) {
    BYTE* p = pic.pBits + static_cast<size_t>(pic.height - 1 - y) * pic.rowBytes + 3 * x;
    p[0] = static_cast<BYTE>(b);
    p[1] = static_cast<BYTE>(g);
    p[2] = static_cast<BYTE>(r);
}

void FillRandom(CDADC& pic, unsigned seed) {
    std::mt19937 gen(seed);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            Put(pic, x, y, gen() & 255, gen() & 255, gen() & 255);
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

TEST(ForceField, MissingOrEmptyPictureGivesNull) {
    MessageCapture capture;
    AreaSelection sel;
    EXPECT_EQ(MakeForceField(nullptr, &sel), nullptr);
    CDADC empty;
    EXPECT_EQ(MakeForceField(&empty, &sel), nullptr);
    EXPECT_TRUE(capture.Texts().empty());
}

TEST(ForceField, DefaultSelectionStretchesPlainBrightness) {
    CDADC pic(3, 2);
    Put(pic, 0, 0, 10, 10, 10);  // brightness 10: the darkest
    Put(pic, 1, 0, 30, 30, 31);  // 30 (integer mean)
    Put(pic, 2, 0, 110, 110, 110);
    Put(pic, 0, 1, 60, 0, 0);  // 20
    Put(pic, 1, 1, 60, 60, 60);
    Put(pic, 2, 1, 85, 85, 85);
    AreaSelection sel;
    ForceField field = MakeForceField(&pic, &sel);
    ASSERT_NE(field, nullptr);
    // (v - 10) × 255 / 100, top row first; not squared.
    EXPECT_EQ(AsInts(field, pic), (std::vector<int>{0, 51, 255, 25, 127, 191}));
}

TEST(ForceField, UniformPicturesGiveAUniformField) {
    CDADC black(4, 3);
    AreaSelection sel;
    EXPECT_EQ(AsInts(MakeForceField(&black, &sel), black), std::vector<int>(12, 0));
    CDADC grey(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            Put(grey, x, y, 128, 128, 128);
    EXPECT_EQ(AsInts(MakeForceField(&grey, &sel), grey), std::vector<int>(12, 255));
}

// The small pictures are narrower or lower than the largest smoothing window.
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

TEST(ForceField, StopGivesNull) {
    CDADC pic(8, 8);
    FillRandom(pic, 3);
    StopRequested = 1;
    AreaSelection plain, smooth = Smoothed(4);
    EXPECT_EQ(MakeForceField(&pic, &plain), nullptr);
    EXPECT_EQ(MakeForceField(&pic, &smooth), nullptr);
    StopRequested = 0;
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
