#include "xforms/zimbel.h"

#include <algorithm>
#include <memory>
#include <new>

#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kStrokesMin = 10;  // patches per row
constexpr int kStrokesMax = 50;
constexpr double kFreedomMin = 0.0;
constexpr double kFreedomMax = 0.5;
constexpr int kLayers = 4;

constexpr Field<ZimbelParams> kZimbelFields[] = {
    Declare<&ZimbelParams::wizardChooses>({"wizardChooses", "&Wizard Chooses", ParamKind::Flag}),
    Declare<&ZimbelParams::strokes>({.name = "strokes",
                                     .label = "Number of strokes (width)",
                                     .kind = ParamKind::Int,
                                     .min = kStrokesMin,
                                     .max = kStrokesMax,
                                     .control = ParamControl::Slider,
                                     .editMin = 10,
                                     .editMax = 10000}),
    Declare<&ZimbelParams::colourFreedom>({"colourFreedom",
                                           "Zimbel Color Freedom",
                                           ParamKind::Real,
                                           kFreedomMin,
                                           kFreedomMax,
                                           {},
                                           ParamControl::Slider,
                                           "%6.2f"}),
    Declare<&ZimbelParams::background>({.name = "background",
                                        .label = "Background",
                                        .kind = ParamKind::Background,
                                        .control = ParamControl::None}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int ZimbelValidate(ZimbelParams* params) {
    if (params == nullptr) return 0;
    params->strokes = std::clamp(params->strokes, kStrokesMin, kStrokesMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void ZimbelAutoChoose(ZimbelParams* params) {
    if (params == nullptr) return;
    params->strokes = RandomInt(kStrokesMin, kStrokesMax);
    params->colourFreedom = RandomReal(kFreedomMin, kFreedomMax);
    params->background.useImage = RandomInt(0, 100) > 80 ? 1 : 0;
    params->background.colour = ScaleColour(RandomColour(), 2.5);
}

// --- the run: the grid ---------------------------------------------------------------------

namespace zimbel {

namespace {
thread_local int allocationsLeft = -1;
}  // namespace

void LimitGridAllocations(int count) {
    allocationsLeft = count;
}

Layout LayoutOf(int strokes, int width, int height) {
    Layout l;
    // Held to Validate's range: a recipe that skipped it must not divide by 0.
    l.columns = std::clamp(strokes, kStrokesMin, kStrokesMax);
    if (width <= 0 || height <= 0) return l;
    l.rows = static_cast<int>(static_cast<long long>(l.columns) * height / width);
    l.cell = width / l.columns;
    return l;
}

POINT CentreOf(const Layout& layout, int column, int row, int width, int height) {
    const auto x = static_cast<long long>(column) * width / layout.columns + layout.cell / 2;
    const auto y = static_cast<long long>(row) * height / layout.rows + layout.cell / 2;
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

}  // namespace zimbel

namespace {

// Zeroed; null when memory is short (or a test says so).
template <class T>
std::unique_ptr<T[]> Allocate(std::size_t count) {
    int& left = zimbel::allocationsLeft;
    if (left == 0) return nullptr;
    if (left > 0) --left;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// rows rows of columns bytes, each the layer 1..4 of its cell; the rows are
// all allocated before the first draw. Null when any allocation fails, the
// rows made so far released.
using Grid = std::unique_ptr<std::unique_ptr<BYTE[]>[]>;

Grid MakeGrid(const zimbel::Layout& l) {
    Grid grid = Allocate<std::unique_ptr<BYTE[]>>(static_cast<std::size_t>(l.rows));
    if (!grid) return nullptr;
    for (int j = 0; j < l.rows; ++j) {
        grid[j] = Allocate<BYTE>(static_cast<std::size_t>(l.columns));
        if (!grid[j]) return nullptr;
    }
    for (int j = 0; j < l.rows; ++j)
        for (int i = 0; i < l.columns; ++i)
            grid[j][i] = static_cast<BYTE>(RandomInt(1, kLayers));
    return grid;
}

// A patch of cell size s round (cx, cy): each corner 2..s / 4 pixels
// outside the cell's square, and by chance an inner patch in a close shade.
void Patch(CDC* dc, int cx, int cy, int s, COLORREF c) {
    CBrush brush(c);
    CGdiObject* previousBrush = dc->GetCurrentObject(OBJ_BRUSH);
    dc->SelectObject(&brush);

    const int q = s / 4;
    const int half = s / 2;
    int d[8];
    for (int& v : d)
        v = RandomInt(2, q);
    POINT corners[4] = {
        {cx - d[0] - half, cy - d[1] - half},  // top left
        {cx + d[2] + half, cy - d[3] - half},  // top right
        {cx + d[4] + half, cy + d[5] + half},  // bottom right
        {cx - d[6] - half, cy + d[7] + half},  // bottom left
    };
    dc->Polygon(corners, 4);

    // The chance is drawn for every patch, also where no inner patch fits.
    const int e = s / 5;
    if (RandomChance() && e > 0) {
        CBrush inner(JitterColour(c, 0.11));
        dc->SelectObject(&inner);
        const POINT inwards[4] = {{e, e}, {-e, e}, {-e, -e}, {e, -e}};
        for (int i = 0; i < 4; ++i) {
            corners[i].x += inwards[i].x;
            corners[i].y += inwards[i].y;
        }
        dc->Polygon(corners, 4);
        dc->SelectObject(&brush);
    }
    dc->SelectObject(previousBrush);
}

}  // namespace

int Zimbel(const ZimbelParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int width = out.width;
    const int height = out.height;
    const int k = OutputScale(ctx);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Orrin...");
    const zimbel::Layout l = zimbel::LayoutOf(params->strokes, width, height);
    Grid grid = MakeGrid(l);
    if (!grid) {
        // The whole generation stops: where a few bytes cannot be had, its
        // mix could not be made either.
        StopRequested = 1;
        return 0;
    }

    PaintBackground(&out, &in, &params->background);
    CDC* dc = out.pDC;
    CPen noOutline(PS_NULL, 1, 0);
    CGdiObject* previousPen = dc->GetCurrentObject(OBJ_PEN);
    dc->SelectObject(&noOutline);

    // A picture too flat for one row has no patches (and no percent to show).
    const long long patches = std::max(1LL, static_cast<long long>(l.rows) * l.columns);
    long long drawn = 0;
    for (int layer = 1; layer <= kLayers && !Stopped(); ++layer) {
        for (int i = 0; i < l.columns; ++i) {
            for (int j = 0; j < l.rows; ++j) {
                if (grid[j][i] != layer) continue;
                const POINT centre = zimbel::CentreOf(l, i, j, width, height);
                COLORREF colour = in.pDC->GetPixel(centre.x / k, centre.y / k);
                colour = JitterColour(colour, params->colourFreedom);
                Patch(dc, centre.x, centre.y, l.cell, colour);
                ++drawn;
            }
            SetPercent(ctx->Progress, 5, 100, static_cast<int>(drawn * 100 / patches), nullptr);
            if (Stopped()) break;
        }
    }

    SetStatusText("");
    dc->SelectObject(previousPen);
    grid.reset();
    return 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<ZimbelParams> kZimbelUnit = {
    .name = "Zimbel",
    .panelTitle = "Zimbel Xform Parameters",
    .helpText = "F1 for help on this dialog",
    .fields = kZimbelFields,
    .run = Zimbel,
    .validate = [](ZimbelParams& p, int, int) { return ZimbelValidate(&p); },
    .wizard = [](ZimbelParams& p, const CDADC&, AreaSelection&) { ZimbelAutoChoose(&p); },
};
