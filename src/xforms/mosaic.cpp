#include "xforms/mosaic.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/vec_matrix.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"
#include "xforms/highlight_choices.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr double kTileSizeMin = 1.0;  // percent of In's width
constexpr double kTileSizeMax = 7.0;
constexpr double kSpacingMin = 5.0;  // percent of the tile edge
constexpr double kSpacingMax = 40.0;

constexpr ParamChoice kGeometryChoices[] = {
    {kMosaicRectangular, "&Rectangular"},
    {kMosaicCircular, "&Circular"},
    {kMosaicCircleInGrid, "Rect. &and Circle"},
};

// The background has no picture choice here: the panel shows its colour only.
constexpr Field<MosaicParams> kMosaicFields[] = {
    Declare<&MosaicParams::tileSize>({.name = "tileSize",
                                      .label = "Tile size (% of x dimension)",
                                      .kind = ParamKind::Real,
                                      .min = kTileSizeMin,
                                      .max = kTileSizeMax,
                                      .control = ParamControl::Slider,
                                      .format = "%6.2f",
                                      .group = "Sizes"}),
    Declare<&MosaicParams::spacing>({.name = "spacing",
                                     .label = "Spacing (% of tile size)",
                                     .kind = ParamKind::Real,
                                     .min = kSpacingMin,
                                     .max = kSpacingMax,
                                     .control = ParamControl::Slider,
                                     .format = "%6.2f",
                                     .group = "Sizes"}),
    Declare<&MosaicParams::geometry>({"geometry", "Geometry", ParamKind::Choice, kMosaicRectangular,
                                      kMosaicCircleInGrid, kGeometryChoices}),
    Declare<&MosaicParams::background>({"background", "Background color", ParamKind::Background}),
    // Lit edges need a light: the colour is off while the position is "Off".
    Declare<&MosaicParams::highlightColour>({.name = "highlightColour",
                                             .label = "High Light Color",
                                             .kind = ParamKind::Colour,
                                             .enabledBy = "highlightPosition",
                                             .disabledAt = kHighlightOff,
                                             .group = "High Lighting"}),
    Declare<&MosaicParams::highlightPosition>({.name = "highlightPosition",
                                               .label = "High Lighting",
                                               .kind = ParamKind::Choice,
                                               .min = kHighlightOff,
                                               .max = kHighlightLeft,
                                               .choices = kHighlightChoices,
                                               .group = "High Lighting",
                                               .columns = 3}),
    Declare<&MosaicParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int MosaicValidate(MosaicParams* params) {
    if (params == nullptr) return 0;
    params->tileSize = HeldTo(params->tileSize, kTileSizeMin, kTileSizeMax);
    params->spacing = HeldTo(params->spacing, kSpacingMin, kSpacingMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void MosaicAutoChoose(MosaicParams* params, int width, int /*height*/) {
    if (params == nullptr) return;
    // A tile of at least 5 source pixels if 100 tries find one; a picture
    // too narrow for that keeps the last try.
    for (int attempt = 0; attempt < 100; ++attempt) {
        params->tileSize = RandomReal(1.0, 4.0);
        if (static_cast<int>(width * params->tileSize * 0.01) >= 5) break;
    }
    params->spacing = RandomReal(5.0, 40.0);
    params->geometry = RandomInt(kMosaicRectangular, kMosaicCircleInGrid);
    params->background.RandomBackground(0.5, 0);
    params->highlightColour = ScaleColour(RandomColour(), 2.0);
    params->highlightPosition = RandomInt(kHighlightTopLeft, kHighlightLeft);
}

// --- the run: geometry ------------------------------------------------------------------

namespace mosaic {

Layout LayoutOf(const MosaicParams& params, int inWidth, int outWidth, int outHeight, int k) {
    // Held to Validate's ranges, so that a block that skipped it cannot
    // overflow the geometry.
    const double tileSize = HeldTo(params.tileSize, kTileSizeMin, kTileSizeMax);
    const double spacing = HeldTo(params.spacing, kSpacingMin, kSpacingMax);

    Layout l;
    l.k = k;
    l.tileIn = static_cast<int>(inWidth * tileSize * 0.01);
    l.pitch = l.tileIn * k;
    if (params.geometry == kMosaicRectangular) {
        if (l.pitch <= 2) l.pitch = 4;
    } else if (l.pitch <= 1) {
        l.pitch = 2;
    }
    l.half = l.pitch / 2;
    l.pull = static_cast<int>(spacing * l.tileIn * 0.01 * k);
    l.cols = outWidth / l.pitch;
    l.rows = outHeight / l.pitch;
    l.highlightScale = l.pitch * 10;
    if (l.highlightScale == 0) l.highlightScale = 1;
    return l;
}

bool LightOf(int highlightPosition, int* dx, int* dy) {
    int x = 0, y = 0;
    switch (highlightPosition) {
        case kHighlightTopLeft:
            x = 7, y = -7;
            break;
        case kHighlightTop:
            x = 10, y = 0;
            break;
        case kHighlightTopRight:
            x = 7, y = 7;
            break;
        case kHighlightRight:
            x = 0, y = 10;
            break;
        case kHighlightBottomRight:
            x = -7, y = 7;
            break;
        case kHighlightBottom:
            x = -10, y = 0;
            break;
        case kHighlightBottomLeft:
            x = -7, y = -7;
            break;
        case kHighlightLeft:
            x = 0, y = -10;
            break;
        default:
            return false;
    }
    if (dx) *dx = x;
    if (dy) *dy = y;
    return true;
}

bool EdgeHighlight(COLORREF colour, int dx, int dy, POINT a, POINT b, int highlightScale,
                   COLORREF* lit) {
    // Tiles are wound clockwise on screen, so an edge faces the light when
    // it runs along the light's direction; the dot product grows with its
    // length.
    const long long dot = static_cast<long long>(dx) * (static_cast<long long>(b.x) - a.x) +
                          static_cast<long long>(dy) * (static_cast<long long>(b.y) - a.y);
    if (highlightScale < 1 || dot <= highlightScale / 4) return false;
    const auto strength = [&](int channel) {
        return static_cast<int>(std::min<long long>(255, channel * dot / highlightScale));
    };
    if (lit) {
        *lit = RGB(strength(GetRValue(colour)), strength(GetGValue(colour)),
                   strength(GetBValue(colour)));
    }
    return true;
}

Ring RingOf(int j, int n, int radius, int pitch, int k) {
    Ring ring;
    if (n < 1 || pitch < 1) return ring;
    ring.inner = static_cast<int>(static_cast<long long>(j) * radius / n);
    ring.outer = static_cast<int>(static_cast<long long>(j + 1) * radius / n);
    ring.depth = (ring.outer - ring.inner) * 0.95;
    ring.count = static_cast<int>(TwoPi * ring.inner / pitch);
    // The few wide wedges of an inner ring reach further out at their
    // corners, so they are made a little shallower.
    if (ring.count >= 4 && ring.count < 8) ring.depth = ring.depth - 2.0 * k;
    return ring;
}

bool FitOutsideCircle(POINT corners[4], POINT centre, int radius, int half) {
    const auto inside = [&](POINT p) {
        const long long x = static_cast<long long>(p.x) - centre.x;
        const long long y = static_cast<long long>(p.y) - centre.y;
        return x * x + y * y <= static_cast<long long>(radius) * radius;
    };
    int insideCount = 0;
    bool wasInside[4];
    for (int i = 0; i < 4; ++i) {
        wasInside[i] = inside(corners[i]);
        if (wasInside[i]) ++insideCount;
    }
    if (insideCount >= 3) return false;
    for (int i = 0; i < 4; ++i) {
        if (!wasInside[i]) continue;
        POINT& p = corners[i];
        const int x = p.x - centre.x;
        const int y = p.y - centre.y;
        if (std::abs(y) > std::abs(x)) {
            p.y += y > 0 ? half : -half;
        } else {
            p.x += x > 0 ? half : -half;
        }
        if (inside(p)) return false;
    }
    return true;
}

}  // namespace mosaic

// --- the run: drawing ----------------------------------------------------------------------

namespace {

using mosaic::Layout;

bool HasPicture(const CDADC* surface) {
    return surface != nullptr && surface->pDC != nullptr && surface->width > 0 &&
           surface->height > 0;
}

// i / n of size, the product in 64 bits.
int Share(int size, int i, int n) {
    return static_cast<int>(static_cast<long long>(size) * i / n);
}

// Draws the tiles of one run: each tile filled and outlined in one colour
// taken from In, then its lit edges stroked. Remembers the pen and brush
// Out held before the first tile and puts them back at the end.
class TilePainter {
  public:
    TilePainter(const XformContext& ctx, const MosaicParams& params, const Layout& layout)
        : in_(*ctx.In),
          dc_(ctx.Out->pDC),
          k_(layout.k),
          highlightScale_(layout.highlightScale),
          highlightColour_(params.highlightColour),
          savedPen_(dc_->GetCurrentObject(OBJ_PEN)),
          savedBrush_(dc_->GetCurrentObject(OBJ_BRUSH)) {
        lit_ = mosaic::LightOf(params.highlightPosition, &lightX_, &lightY_);
    }
    ~TilePainter() { RestorePenAndBrush(dc_, savedPen_, savedBrush_, &pen_, &brush_); }
    TilePainter(const TilePainter&) = delete;
    TilePainter& operator=(const TilePainter&) = delete;

    // (x, y) of In moved by up to d each way (x drawn first), held inside In.
    POINT Jittered(int x, int y, int d) const {
        x += RandomInt(-d, d);
        y += RandomInt(-d, d);
        return Clamped(x, y);
    }
    POINT Clamped(int x, int y) const {
        return {std::clamp(x, 0, in_.width - 1), std::clamp(y, 0, in_.height - 1)};
    }

    // The colour of In at p becomes the next tile's pen and brush.
    void TakeColourAt(POINT p) {
        const COLORREF colour = in_.pDC->GetPixel(p.x, p.y);
        SetPenAndBrush(&pen_, PS_SOLID, 1, colour, &brush_, colour, dc_);
    }

    void Draw(const POINT* corners, int count) {
        dc_->Polygon(corners, count);
        HighlightEdges(corners, count);
    }

  private:
    void HighlightEdges(const POINT* p, int count) {
        if (!lit_) return;
        CGdiObject* tilePen = dc_->GetCurrentObject(OBJ_PEN);
        CGdiObject* tileBrush = dc_->GetCurrentObject(OBJ_BRUSH);
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        for (int i = 0; i < count; ++i) {
            const POINT a = p[i];
            const POINT b = p[(i + 1) % count];
            COLORREF colour = 0;
            if (!mosaic::EdgeHighlight(highlightColour_, lightX_, lightY_, a, b, highlightScale_,
                                       &colour))
                continue;
            SetPenAndBrush(&pen, PS_SOLID, (3 * k_) / 2, colour, &brush, RGB(0, 0, 0), dc_);
            dc_->MoveTo(a.x, a.y);
            dc_->LineTo(b.x, b.y);
        }
        RestorePenAndBrush(dc_, tilePen, tileBrush, &pen, &brush);
    }

    const CDADC& in_;
    CDC* dc_;
    int k_;
    int highlightScale_;
    COLORREF highlightColour_;
    bool lit_ = false;
    int lightX_ = 0;
    int lightY_ = 0;
    CGdiObject* savedPen_;
    CGdiObject* savedBrush_;
    CPen* pen_ = nullptr;
    CBrush* brush_ = nullptr;
};

// The grid of square tiles spread evenly over Out, row by row. Every
// position samples its colour and pulls its corners (the same draws whether
// or not it is drawn); keep(corners) decides whether it is drawn and may
// move its corners. Percent runs over 0..stageTop; a stop ends the grid.
template <class Keep>
void SquareGrid(TilePainter& painter, const XformContext& ctx, const Layout& l, int stageTop,
                Keep keep) {
    const int width = ctx.Out->width;
    const int height = ctx.Out->height;
    const int h = l.half;
    for (int row = 0; row < l.rows; ++row) {
        const int cy = h + Share(height, row, l.rows);
        for (int col = 0; col < l.cols; ++col) {
            const int cx = h + Share(width, col, l.cols);
            painter.TakeColourAt(painter.Jittered(cx / l.k, cy / l.k, 2));
            int r[8];
            for (int& pull : r)
                pull = RandomInt(1, l.pull);
            POINT corners[4] = {{cx - h + r[0], cy - h + r[1]},
                                {cx + h - r[2], cy - h + r[3]},
                                {cx + h - r[4], cy + h - r[5]},
                                {cx - h + r[6], cy + h - r[7]}};
            if (keep(corners)) painter.Draw(corners, 4);
        }
        SetPercent(ctx.Progress, 0, stageTop, 100 * row / l.rows, nullptr);
        if (Stopped()) break;
    }
}

int Rectangular(const XformContext& ctx, const MosaicParams& params, const Layout& l) {
    SetPercent(ctx.Progress, 0, 100, 0, nullptr);
    SetStatusText("Making rectangular...");
    TilePainter painter(ctx, params, l);
    SquareGrid(painter, ctx, l, 100, [](POINT*) { return true; });
    return 1;
}

int Rings(const XformContext& ctx, const MosaicParams& params, const Layout& l) {
    const int width = ctx.Out->width;
    const int height = ctx.Out->height;
    const bool squaresOutside = params.geometry == kMosaicCircleInGrid;

    SetPercent(ctx.Progress, 0, 100, 0, nullptr);
    int radius = 0;
    if (squaresOutside) {
        SetStatusText("Making mosaic...");
        radius = height < width ? height / 2 : width / 2;
    } else {
        SetStatusText("Making circular...");
        // Half the diagonal: the rings reach the corners.
        radius = static_cast<int>(
            std::sqrt(static_cast<double>(height) * height + static_cast<double>(width) * width) *
            0.5);
    }
    const POINT centre = {width / 2, height / 2};
    const int m = radius / l.pitch;
    const int h = l.half;
    TilePainter painter(ctx, params, l);

    if (squaresOutside) {
        SquareGrid(painter, ctx, l, 50, [&](POINT* corners) {
            return mosaic::FitOutsideCircle(corners, centre, radius, h);
        });
    }

    const int n = m - 1;
    for (int j = 1; n > 1 && j <= n - 1; ++j) {
        const mosaic::Ring ring = mosaic::RingOf(j, n, radius, l.pitch, l.k);
        if (ring.count < 4) continue;
        const double w = ring.depth;
        // The wedge widens outward by s on each side: its sides point at the centre.
        const double s = std::sin(TwoPi / ring.count * 0.5) * w;
        // Standing on its inner edge (y = 0), reaching outward to y = -w;
        // clockwise on screen like the square tiles.
        const double hd = h;
        const double shape[4][2] = {{-(hd + s), -w}, {hd + s, -w}, {hd, 0}, {-hd, 0}};
        const double phase = RandomReal(0.01 * kPi, 0.05 * kPi);

        for (int t = 0; t < ring.count; ++t) {
            int r[8];
            for (int& pull : r)
                pull = RandomInt(1, l.pull);
            const double pulled[4][2] = {{shape[0][0] + r[0], shape[0][1] + r[1]},
                                         {shape[1][0] - r[2], shape[1][1] + r[3]},
                                         {shape[2][0] - r[4], shape[2][1] - r[5]},
                                         {shape[3][0] + r[6], shape[3][1] - r[7]}};
            // 0 is straight above the centre, growing clockwise on screen.
            const double theta = t * TwoPi / ring.count + phase;
            const int ax = static_cast<int>(std::sin(theta) * ring.inner) + centre.x;
            const int ay = centre.y - static_cast<int>(std::cos(theta) * ring.inner);
            CMatrix turn;
            turn.rotation(theta, 2);
            POINT corners[4];
            for (int i = 0; i < 4; ++i) {
                const CVec v = turn.transformDirection(CVec(pulled[i][0], pulled[i][1], 0.0));
                corners[i] = {static_cast<int>(v[0]) + ax, static_cast<int>(v[1]) + ay};
            }
            // Inside the circle of the combined geometry the anchor always
            // lies on the picture; the rings of the circular one reach past it.
            const POINT sample =
                squaresOutside ? POINT{ax / l.k, ay / l.k} : painter.Clamped(ax / l.k, ay / l.k);
            painter.TakeColourAt(sample);
            painter.Draw(corners, 4);
        }
        SetPercent(ctx.Progress, 50, 100, 100 * j / n, nullptr);
        if (Stopped()) break;
    }

    // The centre octagon, also after a stop. A circle smaller than one tile
    // (m = 0) is filled by the octagon alone.
    const int rho = m > 0 ? radius / m : radius;
    POINT octagon[8];
    for (int i = 0; i < 8; ++i) {
        const int pull = RandomInt(1, l.pull);
        const double a = i * TwoPi * 0.125;
        const int e = rho - pull;
        octagon[i] = {centre.x - static_cast<int>(std::sin(a) * e),
                      centre.y + static_cast<int>(e * std::cos(a))};
    }
    painter.TakeColourAt(painter.Jittered(centre.x / l.k, centre.y / l.k, 4));
    painter.Draw(octagon, 8);
    return 1;
}

}  // namespace

int Mosaic(const MosaicParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr) return 0;
    const int k = OutputScale(ctx);
    if (!HasPicture(ctx->In) || !HasPicture(ctx->Out)) return 0;
    PaintBackground(ctx->Out, ctx->In, &params->background);

    const Layout layout =
        mosaic::LayoutOf(*params, ctx->In->width, ctx->Out->width, ctx->Out->height, k);
    int result = 0;
    switch (params->geometry) {
        case kMosaicRectangular:
            result = Rectangular(*ctx, *params, layout);
            break;
        case kMosaicCircular:
        case kMosaicCircleInGrid:
            result = Rings(*ctx, *params, layout);
            break;
        default:
            break;
    }
    SetStatusText("");
    return result;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<MosaicParams> kMosaicUnit = {
    .name = "Mosaic",
    .panelTitle = "Mosaic settings",
    .helpText = "F1 for help with mosaics",
    .fields = kMosaicFields,
    .run = Mosaic,
    .validate = [](MosaicParams& p, int, int) { return MosaicValidate(&p); },
    .wizard = [](MosaicParams& p, const CDADC& original,
                 AreaSelection&) { MosaicAutoChoose(&p, original.width, original.height); },
};
