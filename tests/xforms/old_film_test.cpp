#include "xforms/old_film.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kWhite = 0xFFFFFF;

COLORREF Grey(int v) {
    return RGB(v, v, v);
}

// No dirt, no sprockets, the recipe's own selection.
OldFilmParams Clean() {
    OldFilmParams p;
    p.processingErrors = 0;
    p.dirtiness = 0;
    return p;
}

Canvas Render(const CDADC& in, OldFilmParams p, int k, unsigned seed) {
    return RenderXform(OldFilm, in, p, k, seed, kUntouched);
}

struct Speck {
    enum Kind { Hair, Scratch, Dust } kind;
    int x, y;
    int v;      // grey level
    int r;      // dust radius
    int draws;  // random numbers taken
};

// The specks of a run without sprockets or processing errors (their first
// draw is the first speck's), worked from the seed by hand.
std::vector<Speck> Specks(unsigned seed, int count, int ow, int oh, int k) {
    HandLcg lcg{seed};
    const int band = ow / 10;
    std::vector<Speck> specks;
    for (int i = 0; i < count; ++i) {
        Speck s{};
        s.x = lcg.Int(band, ow - band);
        s.y = lcg.Int(0, oh - 1);
        if (lcg.Int(0, 100) > 95) {
            // Box, start and end, grey, pen: not followed further.
            s.kind = Speck::Hair;
            s.draws = 11;
            for (int j = 0; j < 8; ++j)
                lcg.Next();
        } else if (lcg.Int(0, 100) > 60) {
            s.kind = Speck::Scratch;
            lcg.Int(ow / 550, ow / 300);
            s.v = lcg.Int(16, 128);
            lcg.Int(-8 * k, 8 * k);
            lcg.Int(-8 * k, 8 * k);
            s.draws = 8;
        } else {
            s.kind = Speck::Dust;
            s.r = lcg.Int(ow / 1550, ow / 500);
            s.v = lcg.Int(16, 128);
            s.draws = 6;
        }
        specks.push_back(s);
    }
    return specks;
}

// No other speck within reach of s (a hair spans up to 30 k each way).
bool Alone(const std::vector<Speck>& specks, const Speck& s, int reach) {
    int near = 0;
    for (const Speck& t : specks)
        near += std::abs(t.x - s.x) <= reach && std::abs(t.y - s.y) <= reach;
    return near == 1;
}

using OldFilmTest = XformTest;

// The band colour is the run's first draw, or the seventh after the six of
// the processing errors' random selection.
TEST_F(OldFilmTest, SprocketBandsInOneColourWithHolesInTheOther) {
    const auto in = PaintedPicture(400, 300, [](int x, int) { return x < 200 ? kBlack : kWhite; });
    int whiteBands = 0;
    for (int errors : {0, 1}) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            HandLcg lcg{seed};
            for (int i = 0; i < 6 * errors; ++i)
                lcg.Next();
            const bool white = lcg.Int(1, 100) > 50;
            whiteBands += white;
            const COLORREF band = white ? kWhite : kBlack;
            const COLORREF hole = white ? kBlack : kWhite;
            OldFilmParams p = Clean();
            p.sprockets = 1;
            p.processingErrors = errors;
            const Canvas c = Render(*in, p, 1, seed);
            ASSERT_EQ(c.result, 1);
            SCOPED_TRACE(testing::Message() << "seed " << seed << " errors " << errors);
            // Bands 40 wide on a canvas 300 high: holes 13 high, 6 apart, 8
            // from the band's edges, the first at y = 3.
            for (int x0 : {0, 360}) {
                EXPECT_EQ(c.At(x0 + 1, 1), band);
                EXPECT_EQ(c.At(x0 + 20, 9), hole);
                EXPECT_EQ(c.At(x0 + 20, 19), band);
                EXPECT_EQ(c.At(x0 + 20, 28), hole);
                EXPECT_EQ(c.At(x0 + 39, 150), band);
            }
            if (errors == 0) {
                EXPECT_EQ(c.At(40, 150), kBlack);
                EXPECT_EQ(c.At(359, 150), kWhite);
            }
            EXPECT_EQ(DrawsMade(seed), 1 + 6 * errors);
        }
    }
    EXPECT_GT(whiteBands, 0);
    EXPECT_LT(whiteBands, 8);
}

TEST_F(OldFilmTest, CleanFilmIsThePictureInGreysSpanningBlackToWhite) {
    // Brightness 40..230 stretched to 0..255; k x k blocks.
    const auto in = PaintedPicture(20, 10, [](int x, int) {
        const int v = 40 + x * 10;
        return RGB(v, v, v);
    });
    const Canvas c = Render(*in, Clean(), 2, 9);
    ASSERT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(9), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(c.At(x, y), Grey((x / 2) * 190 / 19 * 255 / 190)) << x << "," << y;
}

// On a 640-pixel canvas scratches are 1 or 2 wide and dust has radius 0
// or 1: dust of radius 0 leaves no mark but takes its draws.
TEST_F(OldFilmTest, SpecksLieWhereTheSeedPutsThem) {
    const auto in = UniformPicture(640, 480, kBlack);
    constexpr unsigned kSeed = 31337;
    OldFilmParams p = Clean();
    p.dirtiness = 25;
    const std::vector<Speck> specks = Specks(kSeed, 100, 640, 480, 1);
    const Canvas c = Render(*in, p, 1, kSeed);
    ASSERT_EQ(c.result, 1);
    int draws = 0;
    int seen[3] = {};
    for (const Speck& s : specks) {
        draws += s.draws;
        if (!Alone(specks, s, 32)) continue;
        switch (s.kind) {
            case Speck::Hair:
                continue;
            case Speck::Scratch:
                EXPECT_EQ(c.At(s.x, s.y), Grey(s.v)) << s.x << "," << s.y;
                break;
            case Speck::Dust:
                ASSERT_LE(s.r, 1);
                EXPECT_EQ(c.At(s.x - 1, s.y - 1), s.r == 0 ? kBlack : Grey(s.v))
                    << s.x << "," << s.y;
                EXPECT_EQ(c.At(s.x + 1, s.y + 1), kBlack) << s.x << "," << s.y;
                break;
        }
        ++seen[s.kind == Speck::Dust ? s.r + 1 : 0];
    }
    EXPECT_GT(seen[0], 0) << "scratches";
    EXPECT_GT(seen[1], 0) << "dust of radius 0";
    EXPECT_GT(seen[2], 0) << "dust of radius 1";
    EXPECT_EQ(DrawsMade(kSeed), draws);
}

TEST_F(OldFilmTest, WizardDrawsDirtinessSprocketsAndErrorsInOrder) {
    HandLcg lcg{2024};
    const int dirtiness = lcg.Int(0, 100);
    const int sprockets = lcg.Int(1, 100) > 50;
    const int errors = lcg.Int(1, 100) > 50;
    OldFilmParams o;
    CrtSrand(2024);
    OldFilmAutoChoose(&o);
    EXPECT_EQ(std::tie(o.dirtiness, o.sprockets, o.processingErrors),
              std::tie(dirtiness, sprockets, errors));
    EXPECT_EQ(DrawsMade(2024), 3);
}

TEST_F(OldFilmTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Recorded after looking at the pictures. They change with the drawing
    // layer's arcs, lines and ellipses and with the force field as well as
    // with Old Film.
    ExpectGoldenPictures(
        {{1, 15191670845912789523ull}, {2, 17000831348288843896ull}, {4, 2266230948718236815ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            OldFilmParams p;
            p.sprockets = 1;
            return Render(flower, p, g.k, 1895);
        });
}

}  // namespace
