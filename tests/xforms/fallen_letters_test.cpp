#include "xforms/fallen_letters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "recipe/field_kinds.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

Canvas Render(const CDADC& in, FallenLettersParams p, int k, unsigned seed) {
    return RenderXform(FallenLetters, in, p, k, seed);
}

void SetLetters(FallenLettersParams& p, const char* letters) {
    std::memset(p.letters, 0, sizeof p.letters);
    std::strncpy(p.letters, letters, sizeof p.letters - 1);
}

using FallenLettersTest = XformTest;

TEST_F(FallenLettersTest, HeightAndShiftOfALetter) {
    // 4.5 % of 480 pixels: letters 21 pixels high, or by the force from 1
    // (no force) to twice that (full force).
    EXPECT_EQ(fallen_letters::Height(200, 21.6, false), 21);
    EXPECT_EQ(
        std::tuple(fallen_letters::Height(0, 21.6, true), fallen_letters::Height(127, 21.6, true),
                   fallen_letters::Height(255, 21.6, true)),
        std::tuple(1, 21, 43));
    // Unturned, a letter 10 wide moves 7 to the left; turned by 135 degrees
    // nearly its full width to the right (pi taken as 3.14159 keeps the
    // cosine just short of -1); by 45 degrees not at all.
    EXPECT_EQ(std::tuple(fallen_letters::Shift(0, 10), fallen_letters::Shift(135, 10),
                         fallen_letters::Shift(45, 10)),
              std::tuple(-7, 9, 0));
}

// The text holds UTF-8; the run draws its characters one by one in the
// drawing context's code page, '?' for those it lacks.
TEST_F(FallenLettersTest, LettersAreWholeCharactersOfTheTextTheStatusLineShows) {
    const char text[] =
        "\xC3\x84\xC3\x9F\xE2\x82\xAC\xE2\x98\x85"
        "a\xFF";  // Ä ß € ★ a, and a stray byte
    EXPECT_EQ(fallen_letters::Glyphs(text, sizeof text),
              (std::vector<char>{'\xC4', '\xDF', '\x80', '?', 'a', '?'}));
    EXPECT_EQ(fallen_letters::Glyphs("", 1), std::vector<char>{'A'});
    // Only the field's bytes count, even without a terminating zero.
    const char full[3] = {'X', 'Y', 'Z'};
    EXPECT_EQ(fallen_letters::Glyphs(full, 2), (std::vector<char>{'X', 'Y'}));
    // The status line shows the text itself, before the force field is made.
    FallenLettersParams p;
    SetLetters(p, "\u00C4BC");
    LimitForceFieldAllocations(0);
    EXPECT_EQ(Render(*UniformPicture(40, 30, 0x808080), p, 1, 1).result, 0);
    EXPECT_EQ(GetStatusText(), "\u00C4BC");
}

// Letters of full force land on the white right half and stand twice the
// base height; on the black left half only a draw of t = 0 takes one, one
// pixel high. The run's draws worked by hand: x, y, t (until one is taken),
// angle, letter.
TEST_F(FallenLettersTest, LettersFallWhereTheForceTakesThem) {
    const int w = 600, h = 300, k = 2;
    const auto in = PaintedPicture(w, h, [](int x, int) { return x < 300 ? 0 : 0xFFFFFF; });
    FallenLettersParams p;
    p.count = 100;
    p.bySize = 1;
    p.letterSize = 1.0;  // 12 pixels: letters of full force are 24 high
    p.letterColour = kRed;
    SetLetters(p, "HIT");
    const unsigned seed = 8086;

    HandLcg lcg{seed};
    std::vector<POINT> taken;
    int draws = 0, onBlack = 0;
    while (static_cast<int>(taken.size()) < p.count) {
        const int x = lcg.Int(0, w - 1), y = lcg.Int(0, h - 1);
        const int t = lcg.Int(0, 253);
        draws += 3;
        if ((x < 300 ? 0 : 255) < t) continue;
        lcg.Int(0, 359), lcg.Int(0, 2);
        draws += 2;
        taken.push_back({x * k, y * k});
        onBlack += x < 300;
    }
    EXPECT_LE(onBlack, 2);

    const Canvas c = Render(*in, p, k, seed);
    ASSERT_EQ(c.result, 1);
    EXPECT_EQ(DrawsMade(seed), draws);
    EXPECT_EQ(c.progress, 101) << "the run's end";
    // Every letter pixel within reach of a place taken (its height, half
    // again for the turn, and the shift by the width of a letter of the
    // context's own font, at most 12), and every letter of full force seen.
    const int reach = 24 * 3 / 2 + 12 + 2;
    auto near = [&](int px, int py, const POINT& at) {
        return std::abs(px - at.x) <= reach && std::abs(py - at.y) <= reach;
    };
    std::vector<bool> seen(taken.size(), false);
    for (int y = 0; y < h * k; ++y) {
        for (int x = 0; x < w * k; ++x) {
            const COLORREF got = c.At(x, y);
            if (got == 0) continue;
            ASSERT_EQ(got, kRed);
            bool reached = false;
            for (size_t i = 0; i < taken.size(); ++i) {
                if (!near(x, y, taken[i])) continue;
                reached = true;
                seen[i] = true;
            }
            ASSERT_TRUE(reached) << x << "," << y;
        }
    }
    for (size_t i = 0; i < taken.size(); ++i) {
        // Letters by the edge may turn off the canvas.
        const POINT& at = taken[i];
        if (at.x >= 300 * k && at.y >= reach && at.y < h * k - reach && at.x < w * k - reach) {
            EXPECT_TRUE(seen[i]) << "letter " << i;
        }
    }
    // The run leaves the context's text settings as it found them.
    EXPECT_EQ(c.out->pDC->GetTextColor(), 0u);
    EXPECT_EQ(c.out->pDC->GetBkMode(), OPAQUE);
}

// One letter needs no draw for which; the picture's colour three for its
// jitter, a random colour three.
TEST_F(FallenLettersTest, ColourModesTakeTheirDraws) {
    FallenLettersParams p;
    p.count = 100;
    p.byIntensity = 0;
    SetLetters(p, "W");
    for (const auto& [mode, perLetter] : {std::pair{0, 3}, {1, 6}, {2, 6}}) {
        p.colourMode = mode;
        ASSERT_EQ(Render(*UniformPicture(200, 150, 0x808080), p, 1, 99).result, 1);
        EXPECT_EQ(DrawsMade(99), 100 * perLetter) << "mode " << mode;
    }
}

// Blank letters are refused wherever a text comes in, and held by Validate
// and the run; a text is whole UTF-8 characters within 26 bytes.
TEST_F(FallenLettersTest, LettersNeedACharacterOtherThanBlanks) {
    CFilSpec filSpec;
    filSpec.XformIndex = kFallenLetters;
    const BoundField& letters = *FindXform(kFallenLetters)->Field("letters");
    const struct {
        std::string text;
        const char* why;  // null: taken
    } cases[] = {
        {"",
         "\"\" is empty; allowed: a text of at most 26 bytes of UTF-8 with a character other "
         "than blanks"},
        {"  \t", "holds only blanks"},
        {"AB\xFF", "the text is not UTF-8 or holds a zero byte"},
        {std::string(13, 'x') + std::string(8, ' ') + "\xC3\x84\xC3\x84\xC3\x84", "too long"},
        {"\xE2\x82\xAC" + std::string(23, 'x'), nullptr},
        {" a ", nullptr},
    };
    for (const auto& c : cases) {
        SetLetters(filSpec.FallenLetters, "KEEP");
        std::string why;
        EXPECT_EQ(ParamFromText(letters, c.text, filSpec, &why), c.why == nullptr) << c.text;
        if (c.why != nullptr) {
            EXPECT_NE(why.find(c.why), std::string::npos) << why;
            EXPECT_STREQ(filSpec.FallenLetters.letters, "KEEP");
        } else {
            EXPECT_EQ(filSpec.FallenLetters.letters, c.text);
        }
    }
    // A block filled by a program: blanks become "A" (and the fields after
    // them are still held), bytes that are not UTF-8 are written to a recipe
    // as '?'.
    for (const char* blank : {"", "   "}) {
        SetLetters(filSpec.FallenLetters, blank);
        filSpec.FallenLetters.count = 99;
        EXPECT_EQ(filSpec.Validate(640, 480), 1);
        EXPECT_STREQ(filSpec.FallenLetters.letters, "A");
        EXPECT_EQ(filSpec.FallenLetters.count, 100);
    }
    SetLetters(filSpec.FallenLetters, "A\377B");
    EXPECT_EQ(ParamToJson(letters, filSpec), "A?B");
}

TEST_F(FallenLettersTest, WizardDrawsInOrder) {
    HandLcg lcg{2718};
    const int r = lcg.Int(0, 100);  // >= 15: a colour, not the picture
    ASSERT_GE(r, 15);
    for (int i = 0; i < 3; ++i)
        lcg.Int(0, 255);
    const int mode = lcg.Int(0, 2);
    const int invert = lcg.Int(1, 100) > 50;
    int byIntensity = 0, bySize = 0;
    do {
        byIntensity = lcg.Int(1, 100) > 50;
        bySize = lcg.Int(1, 100) > 50;
    } while (!byIntensity && !bySize);
    const int g = lcg.Int(0, 255), b = lcg.Int(0, 255), red = lcg.Int(0, 255);
    const int count = lcg.Int(100, 1000);
    const double size = lcg.Real(1.0, 8.0);
    std::string letters(static_cast<size_t>(lcg.Int(1, 10)), ' ');
    for (char& ch : letters)
        ch = static_cast<char>(lcg.Int(65, 122));

    FallenLettersParams p;
    AreaSelection selection;
    CrtSrand(2718);
    FallenLettersAutoChoose(&p, &selection);
    EXPECT_EQ(std::tie(p.colourMode, selection.invert, p.byIntensity, p.bySize, p.count),
              std::tie(mode, invert, byIntensity, bySize, count));
    EXPECT_EQ(p.background.useImage, 0);
    EXPECT_EQ(p.letterColour, RGB(red, g, b));
    EXPECT_EQ(p.background.colour, OppositeColour(RGB(red, g, b)));
    EXPECT_EQ(p.letterSize, size);
    EXPECT_EQ(p.letters, letters);
}

TEST_F(FallenLettersTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    // Taken after looking at the pictures; they change with the fonts and
    // the drawing layer's glyphs and with the force field as well as with
    // Fallen Letters.
    ExpectGoldenPictures(
        {{1, 2973769009986450947ull}, {2, 15408374271864012975ull}, {4, 10689842508413070026ull}},
        [](const CDADC& flower, const GoldenPicture& g) {
            FallenLettersParams p;
            p.bySize = 1;
            p.colourMode = kLettersBasedOnImage;
            p.background.colour = RGB(20, 30, 40);
            SetLetters(p, "Fabel\xC3\xA9");
            return Render(flower, p, g.k, 4321);
        });
}

}  // namespace
