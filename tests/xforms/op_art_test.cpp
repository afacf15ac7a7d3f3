#include "xforms/op_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "engine/crt_random.h"
#include "engine/figure_file.h"
#include "engine/toolkit.h"
#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "support/shared_dir.h"
#include "support/xform_harness.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0;
constexpr COLORREF kRed = RGB(255, 0, 0);

Canvas Render(const CDADC& in, OpArtParams p, int k) {
    return RenderXform(OpArt, in, p, k, 1, RGB(1, 2, 3));
}

// Black on the left half, white on the right: force 0 and 255.
std::unique_ptr<CDADC> HalfBright(int w, int h) {
    return PaintedPicture(w, h, [w](int x, int) { return x < w / 2 ? kBlack : kWhite; });
}

void SetName(OpArtParams& p, const std::string& name) {
    std::memset(p.imageName, 0, sizeof p.imageName);
    std::memcpy(p.imageName, name.data(), name.size());
}

class OpArtTest : public XformTest {
  protected:
    void SetUp() override { SetTempFolder(folder_.string()); }
    void TearDown() override {
        XformTest::TearDown();
        SetTempFolder("");
    }

    // A figure file: a w x h picture of one colour.
    std::string StoreTestFigure(int w, int h, COLORREF colour) {
        CDADC figure(w, h);
        figure.pDC->FillSolidRect(0, 0, w, h, colour);
        std::string name, path;
        EXPECT_TRUE(StoreFigure(&figure, &name, &path));
        return name;
    }

    ScratchDir scratch_;
    const fs::path& folder_ = scratch_.Path();
};

// White on the left, black on the right, with one cell of the other in
// each half: cell (2, 5) dark among bright ones, cell (20, 5) bright among
// dark ones.
std::unique_ptr<CDADC> TwoOddCells() {
    return PaintedPicture(480, 360, [](int x, int y) {
        const bool oddRow = y >= 100 && y < 120;
        if (oddRow && x >= 40 && x < 60) return kBlack;
        if (oddRow && x >= 400 && x < 420) return kWhite;
        return x < 240 ? kWhite : kBlack;
    });
}

// The default idea on 480 x 360: cells of 20, 18 rows; a dark cell gives a
// tall sliver one pixel wide, a bright one a flat sliver one pixel high.
TEST_F(OpArtTest, DefaultsGiveTallSliversInTheDarkAndFlatOnesInTheLight) {
    const opart::Grid grid = opart::GridOf(480, 360, 24);
    const POINT centre = opart::CellCentre(grid, 480, 360, 2, 5);
    EXPECT_EQ(std::tie(grid.cell, grid.rows, centre.x, centre.y), std::tuple(20, 18, 50, 110));

    const Canvas c = Render(*TwoOddCells(), OpArtParams{}, 1);
    ASSERT_EQ(c.result, 1);
    // Force 0 at (50, 110): half-diagonal 14 straight down, x 50, y 97..123.
    // Force 255 at (410, 110): a quarter turn of this pi falls a hair short,
    // so the sliver spans 13 to the right and 12 to the left: x 398..422.
    const POINT lit[] = {{50, 97}, {50, 123}, {398, 110}, {422, 110}};
    const POINT dark[] = {{50, 96},   {50, 124},  {49, 110},  {51, 110},
                          {397, 110}, {423, 110}, {410, 109}, {410, 111}};
    for (const POINT p : lit)
        EXPECT_EQ(c.At(p.x, p.y), kWhite) << p.x << "," << p.y;
    for (const POINT p : dark)
        EXPECT_EQ(c.At(p.x, p.y), kBlack) << p.x << "," << p.y;
}

TEST_F(OpArtTest, DrawRotatedImageCopiesAtZeroAndTurnsCounterClockwise) {
    CDADC bar(9, 3);
    bar.pDC->FillSolidRect(0, 0, 9, 3, kWhite);
    bar.pDC->FillSolidRect(7, 0, 2, 3, kRed);  // the right end

    // Unturned: the picture itself, centred, ORed over what was there.
    CDADC canvas(40, 40);
    canvas.pDC->FillSolidRect(0, 0, 40, 40, RGB(0, 0, 64));
    DrawRotatedImage(&canvas, &bar, 20, 20, 0.0);
    for (int y = 17; y <= 23; ++y)
        for (int x = 14; x <= 26; ++x) {
            COLORREF expected = RGB(0, 0, 64);
            if (x >= 16 && x <= 24 && y >= 19 && y <= 21)
                expected = x >= 23 ? RGB(255, 0, 64) : kWhite;
            EXPECT_EQ(canvas.pDC->GetPixel(x, y), expected) << x << "," << y;
        }

    // A quarter turn stands the bar up with its right end on top.
    CDADC turned(40, 40);
    DrawRotatedImage(&turned, &bar, 20, 20, HalfPi);
    int left = 40, right = -1, top = 40, bottom = -1, redTop = 40, redBottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const COLORREF px = turned.pDC->GetPixel(x, y);
            if (px == kBlack) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
            if (px == kRed) redTop = std::min(redTop, y), redBottom = std::max(redBottom, y);
        }
    EXPECT_LE(right - left + 1, 4);
    EXPECT_GE(bottom - top + 1, 9);
    EXPECT_LE(bottom - top + 1, 10);
    EXPECT_EQ(redTop, top);
    EXPECT_LT(redBottom, top + 3);
}

TEST_F(OpArtTest, BitmapFiguresSizeWithTheForceAndFallBackToShapes) {
    const auto in = HalfBright(480, 360);
    OpArtParams p;
    p.geometry = kOpArtSize;
    SetName(p, StoreTestFigure(32, 32, kRed));
    Canvas c = Render(*in, p, 1);
    ASSERT_EQ(c.result, 1);
    // Force 0 gives s = 0: nothing in the cell; force 255 the whole cell.
    EXPECT_EQ(c.At(50, 110), kBlack);
    for (int y = 100; y < 120; ++y)
        for (int x = 400; x < 420; ++x)
            ASSERT_EQ(c.At(x, y), kRed) << x << "," << y;

    // A figure file that has gone draws plain shapes, silently.
    MessageCapture messages;
    OpArtParams shapes;
    shapes.geometry = kOpArtSize;
    const Canvas plain = Render(*in, shapes, 1);
    fs::remove(FigurePath(p.imageName));
    c = Render(*in, p, 1);
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(PictureHash(*c.out), PictureHash(*plain.out));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(OpArtTest, TurnedFiguresLightenWhatLiesBeneath) {
    const auto in = HalfBright(480, 360);
    OpArtParams p;
    p.geometry = kOpArtRotation;
    p.background.colour = RGB(0, 0, 128);
    SetName(p, StoreTestFigure(64, 64, RGB(0, 200, 0)));
    const Canvas c = Render(*in, p, 1);
    ASSERT_EQ(c.result, 1);
    // The figure is scaled to 20 / sqrt 2 x 0.9 = 12 pixels and ORed on.
    EXPECT_EQ(c.At(50, 110), RGB(0, 200, 128));
    EXPECT_EQ(c.At(50 + 7, 110), RGB(0, 0, 128));
    EXPECT_EQ(c.At(410, 110), RGB(0, 200, 128));
}

// A grid finer or coarser than the canvas is held to it, so that every
// picture gets its figures: a count over the width gives cells of a pixel,
// a cell taller than the canvas gives way to one row.
TEST_F(OpArtTest, AGridThatDoesNotFitTheCanvasIsHeldToIt) {
    const int cases[][6] = {
        // width, height, across -> cell, columns, rows
        {60, 40, 128, 1, 60, 40},    {60, 40, 0, 30, 2, 1},      {2000, 30, 24, 30, 65, 1},
        {1, 10000, 50, 1, 1, 10000}, {10000, 1, 24, 1, 5001, 1}, {480, 360, 24, 20, 24, 18},
    };
    for (const auto& c : cases) {
        const opart::Grid grid = opart::GridOf(c[0], c[1], c[2]);
        EXPECT_EQ(std::tie(grid.cell, grid.columns, grid.rows), std::tie(c[3], c[4], c[5]))
            << c[0] << " x " << c[1] << ", " << c[2] << " across";
    }
    EXPECT_EQ(opart::GridOf(0, 40, 24).cell, 0);

    OpArtParams p;
    p.squaresAcross = 128;
    const Canvas c = Render(*UniformPicture(60, 40, RGB(50, 50, 50)), p, 1);
    EXPECT_EQ(c.result, 1);
    EXPECT_NE(c.At(30, 20), RGB(1, 2, 3));
}

TEST_F(OpArtTest, ValidateHoldsTheCountAndKeepsCellsAPixelWide) {
    const int cases[][3] = {{2, 640, 4}, {200, 640, 128}, {128, 100, 100}, {4, 3, 3}, {4, 0, 1}};
    for (const auto& c : cases) {
        OpArtParams p;
        p.squaresAcross = c[0];
        EXPECT_EQ(OpArtValidate(&p, c[1]), 1);
        EXPECT_EQ(p.squaresAcross, c[2]) << c[0] << " across " << c[1];
    }
}

TEST_F(OpArtTest, WizardDrawsInOrderAndKeepsItsHundredthTry) {
    for (int width : {640, 60}) {
        CrtSrand(4711);
        const int outline = RandomChance() ? 1 : 0;
        int across = 0;
        int tries = 0;
        do {
            across = RandomInt(10, 50);
            ++tries;
        } while (width / across < 8 && tries < 100);
        const int geometry = 1113 + RandomInt(0, 3);
        RandomColour();
        RandomInt(0, 100);
        RandomColour();
        COLORREF fg = 0, bg = 0;
        RandomColourPair(&fg, &bg);

        OpArtParams o;
        SetName(o, "TEMPBITMAP3");
        o.background.useImage = 1;
        CrtSrand(4711);
        OpArtAutoChoose(&o, width);
        EXPECT_EQ(std::tie(o.outlineOnly, o.squaresAcross, o.geometry, o.foreground, o.background),
                  std::tuple(outline, across, geometry, fg, Background{bg, 0}))
            << width;
        EXPECT_STREQ(o.imageName, "");
        if (width == 60) {
            EXPECT_EQ(tries, 100);
        }
    }
}

TEST_F(OpArtTest, GoldenPicturesOfTheFlower) {
    SKIP_WITHOUT_SHARED();
    std::unique_ptr<CDADC> figure(NewFigure());
    ASSERT_TRUE(
        StretchPictureOnto(figure.get(), (SharedDir() / "testimages/photos/flower.jpg").c_str()));
    std::string name, path;
    ASSERT_TRUE(StoreFigure(figure.get(), &name, &path));
    // Plain shapes in cases 0..2, the flower as the figure in 3..5.
    static constexpr int kGeometry[] = {kOpArtStretchAndSqueeze, kOpArtRotation,
                                        kOpArtRotationAndSize};
    // Taken from the first implementation (the commit that brought Op Art)
    // after looking at the pictures. They change with the drawing layer's
    // polygon and rectangle pixels and the force field as well as with Op Art.
    ExpectGoldenPictures(
        {
            {1, 11910779479471387875ull, 0},
            {2, 16947629583907551735ull, 1},
            {4, 1932317126355165835ull, 2},
            {1, 4441052006375994678ull, 4},
            {2, 4404439847417608295ull, 3},
            {4, 14776914850275238018ull, 5},
        },
        [&name](const CDADC& flower, const GoldenPicture& g) {
            OpArtParams p;
            p.geometry = kGeometry[g.variant % 3];
            p.foreground = RGB(250, 220, 40);
            p.background.colour = RGB(20, 10, 60);
            if (g.variant >= 3) SetName(p, name);
            return Render(flower, p, g.k);
        });
}

}  // namespace
