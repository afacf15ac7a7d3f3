#include "xforms/swarm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "support/message_capture.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0;

SwarmParams Switches(int angle, int intensity, int size, int sticks = 100) {
    SwarmParams p;
    p.byAngle = angle, p.byIntensity = intensity, p.bySize = size, p.sticks = sticks;
    return p;
}

struct Stick {
    int x, y;    // the centre, in In pixels
    int hx, hy;  // half extents, in Out pixels
};

// The sticks of a run on a picture of force f everywhere at quality k,
// without intensity, worked from the seed by hand.
std::vector<Stick> Sticks(unsigned seed, const SwarmParams& p, int w, int h, int k, int f) {
    HandLcg lcg{seed};
    const double base = lcg.Real(0.0, 3.14159);
    std::vector<Stick> sticks;
    for (int i = 0; i < p.sticks; ++i) {
        const int x = lcg.Int(0, w - 1);
        const int y = lcg.Int(0, h - 1);
        const int wh = k * (w + h);
        const int length = p.bySize ? lcg.Int(1, 3 * wh / 200) * f / 255 : 2 * wh / 200;
        const double angle =
            p.byAngle ? f * 3.14159 * 0.75 * 0.00392156862745098 + base : lcg.Real(0.0, 3.14159);
        int hx = static_cast<int>(std::sin(angle) * length) / 2;
        const int hy = static_cast<int>(std::cos(angle) * length) / 2;
        if (hx == 0 || hy == 0) hx += 1;
        sticks.push_back({x, y, hx, hy});
    }
    return sticks;
}

using SwarmTest = XformTest;

// Every stick's first end lies where the seed puts it. Angle on, a grey
// picture at k = 1: sticks 7 long (1400 / 200), all three quarters of a
// half turn past the base angle. Size on, a black picture at k = 2: no
// force, sticks two pixels across, their angle by chance: two draws more.
TEST_F(SwarmTest, SticksLieWhereTheSeedPutsThem) {
    const struct {
        SwarmParams p;
        COLORREF grey;
        int k, draws;
    } cases[] = {{Switches(1, 0, 0), RGB(200, 200, 200), 1, 1 + 2 * 100},
                 {Switches(0, 0, 1), kBlack, 2, 1 + 4 * 100}};
    for (auto [p, grey, k, draws] : cases) {
        p.foreground = RGB(250, 10, 10);
        p.backgroundColour = RGB(10, 10, 250);
        const std::vector<Stick> sticks = Sticks(5151, p, 400, 300, k, GetRValue(grey) ? 255 : 0);
        const Canvas c = RenderXform(Swarm, *UniformPicture(400, 300, grey), p, k, 5151);
        ASSERT_EQ(c.result, 1);
        EXPECT_EQ(DrawsMade(5151), draws) << "k " << k;
        for (const Stick& s : sticks) {
            const int x = k * s.x - s.hx, y = k * s.y - s.hy;
            if (x >= 0 && x < 400 * k && y >= 0 && y < 300 * k) {
                EXPECT_EQ(c.At(x, y), p.foreground) << x << "," << y << " k " << k;
            }
        }
        EXPECT_EQ(c.At(0, 300 * k - 1), p.backgroundColour) << "k " << k;
    }
}

TEST_F(SwarmTest, IntensityGathersTheSticksWhereTheForceIsHigh) {
    const auto in = PaintedPicture(400, 300, [](int x, int) { return x < 200 ? kBlack : kWhite; });
    const Canvas c = RenderXform(Swarm, *in, Switches(0, 1, 0, 2000), 1, 99);
    ASSERT_EQ(c.result, 1);
    int left = 0, right = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (c.At(x, y) == kWhite) (x < 196 ? left : right)++;
    EXPECT_GT(right, 2000 * 3);
    EXPECT_LT(left, right / 50);
    // With no force anywhere one place in 254 is kept: many more draws, and an end.
    const Canvas none =
        RenderXform(Swarm, *UniformPicture(40, 30, kBlack), Switches(0, 1, 0), 1, 3);
    EXPECT_EQ(none.result, 1);
}

// Any one switch will do; a block that skipped Validate draws at least 100 sticks.
TEST_F(SwarmTest, ValidateNeedsASwitch) {
    MessageCapture messages;
    SwarmParams none = Switches(0, 0, 0, 0);
    EXPECT_EQ(SwarmValidate(&none), 0);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Choose at least one of:\nAngle, Intensity, Size"});
    for (const auto& [angle, intensity, size] : {std::tuple{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}) {
        SwarmParams p = Switches(angle, intensity, size);
        EXPECT_EQ(SwarmValidate(&p), 1) << angle << intensity << size;
    }
    const Canvas c =
        RenderXform(Swarm, *UniformPicture(40, 30, kWhite), Switches(1, 0, 0, 0), 1, 8);
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(8), 1 + 2 * 100);
}

// A round without a switch is drawn again whole.
TEST_F(SwarmTest, WizardDrawsAgainUntilASwitchIsOn) {
    // Rounds of 7 draws: colours, count, then angle, intensity and size.
    const auto noSwitch = [](HandLcg lcg, int round) {
        for (int i = 0; i < 7 * round + 4; ++i)
            lcg.Next();
        return lcg.Int(1, 100) <= 50 && lcg.Int(0, 100) <= 10 && lcg.Int(1, 100) <= 50;
    };
    unsigned seed = 1;
    while (!noSwitch(HandLcg{seed}, 0) || noSwitch(HandLcg{seed}, 1))
        ++seed;
    HandLcg lcg{seed};
    for (int i = 0; i < 7; ++i)
        lcg.Next();
    const int g = lcg.Int(0, 255), b = lcg.Int(0, 255), r = lcg.Int(0, 255);
    const int sticks = lcg.Int(15000, 30000);
    const int angle = lcg.Int(1, 100) > 50;
    const int intensity = lcg.Int(0, 100) > 10;
    const int size = lcg.Int(1, 100) > 50;

    SwarmParams s;
    CrtSrand(seed);
    SwarmAutoChoose(&s);
    EXPECT_EQ(s.foreground, RGB(r, g, b));
    EXPECT_EQ(s.backgroundColour, OppositeColour(RGB(r, g, b)));
    EXPECT_EQ(std::tie(s.sticks, s.byAngle, s.byIntensity, s.bySize),
              std::tie(sticks, angle, intensity, size));
    EXPECT_EQ(DrawsMade(seed), 14);
}

TEST_F(SwarmTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Recorded after looking at the pictures: the defaults, and (case 1)
    // every switch on. They change with the drawing layer's wide lines and
    // with the force field as well as with Swarm.
    ExpectGoldenPictures({{1, 14310602469676592066ull, 0},
                          {2, 15510858812044603901ull, 0},
                          {4, 10101245624966312402ull, 0},
                          {2, 4993180597862147332ull, 1}},
                         [](const CDADC& flower, const GoldenPicture& g) {
                             const SwarmParams p =
                                 g.variant == 0 ? SwarmParams{} : Switches(1, 1, 1, 20000);
                             return RenderXform(Swarm, flower, p, g.k, 2112u);
                         });
}

}  // namespace
