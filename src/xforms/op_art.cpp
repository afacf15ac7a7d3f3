#include "xforms/op_art.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "engine/figure_file.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/vec_matrix.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kSquaresMin = 4;
constexpr int kSquaresMax = 128;

constexpr ParamChoice kGeometryChoices[] = {
    {kOpArtRotation, "&Rotation"},
    {kOpArtSize, "&Size"},
    {kOpArtRotationAndSize, "Rotation &And Size"},
    {kOpArtStretchAndSqueeze, "S&tretch, Squeeze"},
};

constexpr ParamChoice kSourceChoices[] = {
    {0, "Rectangle"},
    {1, "BitMap"},
};

constexpr Field<OpArtParams> kOpArtFields[] = {
    Declare<&OpArtParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&OpArtParams::squaresAcross>({.name = "squaresAcross",
                                          .label = "Num. Squares",
                                          .kind = ParamKind::Int,
                                          .min = kSquaresMin,
                                          .max = kSquaresMax,
                                          .control = ParamControl::Slider,
                                          .editMin = 1,
                                          .editMax = 1024}),
    Declare<&OpArtParams::geometry>({.name = "geometry",
                                     .label = "Geometry",
                                     .kind = ParamKind::Choice,
                                     .min = kOpArtRotation,
                                     .max = kOpArtStretchAndSqueeze,
                                     .choices = kGeometryChoices}),
    Declare<&OpArtParams::outlineOnly>({"outlineOnly", "&Outline Only", ParamKind::Flag}),
    // A figure bitmap ignores the pen, so its colour is off while one is chosen.
    Declare<&OpArtParams::foreground>({.name = "foreground",
                                       .label = "&Foreground",
                                       .kind = ParamKind::Colour,
                                       .enabledBy = "imageName",
                                       .disabledAt = 1}),
    Declare<&OpArtParams::background>(
        {.name = "background", .label = "&Background", .kind = ParamKind::Background}),
    Declare<&OpArtParams::imageName>({.name = "imageName",
                                      .label = "Source",
                                      .kind = ParamKind::Figure,
                                      .choices = kSourceChoices,
                                      .group = "Source"}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int OpArtValidate(OpArtParams* params, int width) {
    if (params == nullptr) return 0;
    params->squaresAcross = std::clamp(params->squaresAcross, kSquaresMin, kSquaresMax);
    while (params->squaresAcross > 1 && width / params->squaresAcross < 1)
        --params->squaresAcross;
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void OpArtAutoChoose(OpArtParams* params, int width) {
    if (params == nullptr) return;
    params->wizardChooses = 1;
    params->outlineOnly = RandomChance() ? 1 : 0;
    for (int tries = 0; tries < 100; ++tries) {
        params->squaresAcross = RandomInt(10, 50);
        if (width / params->squaresAcross >= 8) break;
    }
    params->geometry = kOpArtRotation + RandomInt(0, 3);
    params->foreground = RandomColour();
    params->background.RandomBackground(1.0, 0);
    RandomColourPair(&params->foreground, &params->background.colour);
    params->imageName[0] = '\0';
}

// --- DrawRotatedImage ----------------------------------------------------------------------

namespace {

int Trunc(double v) {
    return static_cast<int>(v);
}

// One shear pass: every pixel (x, y) of from goes to (x + dx(y), y + dy(x))
// of to. The callers size to so that every target lies inside it.
template <class DxOfY, class DyOfX>
void Shear(const CDADC& from, CDADC& to, DxOfY dx, DyOfX dy) {
    for (int y = 0; y < from.height; ++y) {
        const BYTE* src = from.Row(y);
        const int shift = dx(y);
        for (int x = 0; x < from.width; ++x) {
            BYTE* dst = to.Row(y + dy(x)) + 3 * static_cast<size_t>(x + shift);
            std::memcpy(dst, src + 3 * static_cast<size_t>(x), 3);
        }
    }
}

std::unique_ptr<CDADC> BlackSurface(int w, int h) {
    if (w < 1 || h < 1) return nullptr;
    auto surface = std::make_unique<CDADC>(w, h);
    return surface->pBits ? std::move(surface) : nullptr;
}

}  // namespace

void DrawRotatedImage(CDADC* canvas, const CDADC* image, int cx, int cy, double angle) {
    if (canvas == nullptr || canvas->pDC == nullptr || image == nullptr || image->pBits == nullptr)
        return;
    // 1. The shear factors.
    const double t = std::tan(angle * 0.5);
    const double s = std::sin(angle);
    const int w = image->width;
    const int h = image->height;
    auto alongX = [t](int y) { return Trunc(y * t); };
    auto none = [](int) { return 0; };

    // 2. Rows slide right with their depth.
    const auto a = BlackSurface(w + Trunc(h * t) + 1, h);
    if (!a) return;
    Shear(*image, *a, alongX, none);

    // 3. Columns slide down, the left ones most.
    const int bw = a->width;
    const auto b = BlackSurface(bw, h + Trunc(bw * s) + 1);
    if (!b) return;
    Shear(*a, *b, none, [bw, s](int x) { return Trunc((bw - x - 1) * s); });

    // 4. Rows slide right again.
    const auto c = BlackSurface(bw + Trunc(b->height * t) + 1, b->height);
    if (!c) return;
    Shear(*b, *c, alongX, none);

    // 5. The box of the turned corners (sheared with y - 1 along x).
    int minX = 30000, minY = 30000, maxX = -30000, maxY = -30000;
    const POINT corners[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}};
    for (POINT p : corners) {
        int x = p.x + Trunc((p.y - 1) * t);
        const int y = p.y + Trunc((bw - x - 1) * s);
        x = x + Trunc((y - 1) * t);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const int boxW = maxX - minX + 1;
    const int boxH = maxY - minY + 1;

    // 6. ORed on: the black margins change nothing.
    canvas->pDC->BitBlt(cx - boxW / 2, cy - boxH / 2, boxW, boxH, c->pDC, minX, minY, SRCPAINT);
}

// --- the run: geometry ------------------------------------------------------------------

namespace opart {

Grid GridOf(int width, int height, int squaresAcross) {
    Grid grid;
    if (width < 1 || height < 1) return grid;
    // The count is held to the canvas: no more cells across than it has
    // pixels, and enough that a cell is no taller than the canvas, so that
    // a thumbnail, a thin strip or a picture smaller than the Wizard's grid
    // still gets one row of cells of a pixel or more.
    int across = std::clamp(squaresAcross, 1, width);
    across = std::max(across, width / (height + 1) + 1);
    grid.cell = width / across;
    grid.columns = across;
    grid.rows = height / grid.cell;
    return grid;
}

POINT CellCentre(const Grid& grid, int width, int height, int c, int r) {
    return {width * c / grid.columns + grid.cell / 2, height * r / grid.rows + grid.cell / 2};
}

double AngleOf(int force) {
    return force * HalfPi * 0.00392156862745098;
}

}  // namespace opart

// --- the run: drawing ----------------------------------------------------------------------

namespace {

// The four corners of a square of half side h about (cx, cy), turned by alpha.
void TurnedSquare(CDC* dc, int h, int cx, int cy, double alpha) {
    CMatrix turn;
    turn.rotation(alpha, 2);
    const int corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    POINT points[4];
    for (int i = 0; i < 4; ++i) {
        const CVec d = turn.transformDirection(CVec(corners[i][0], corners[i][1], 0.0));
        points[i] = {Trunc(d[0] + cx), Trunc(d[1] + cy)};
    }
    dc->Polygon(points, 4);
}

// The plain figure of one cell.
void DrawShape(CDC* dc, int geometry, int cell, int f, int cx, int cy, double alpha) {
    switch (geometry) {
        case kOpArtRotation: {
            int h = Trunc(cell * 0.9 / (RootTwo * 2.0));
            if (h < 1) h = h + 2;
            TurnedSquare(dc, h, cx, cy, alpha);
            break;
        }
        case kOpArtSize: {
            int h = f * cell / 600;
            if (h <= 1) h = 1;
            dc->Rectangle(cx - h, cy - h, cx + h, cy + h);
            break;
        }
        case kOpArtRotationAndSize: {
            int h = Trunc(cell * 0.25 * RootTwo) * f / 255;
            if (h < 1) h = h + 1;
            TurnedSquare(dc, h, cx, cy, alpha);
            break;
        }
        case kOpArtStretchAndSqueeze: {
            const int d = Trunc(cell * 0.5 * RootTwo);
            const int dx = Trunc(std::sin(alpha) * d);
            const int dy = Trunc(std::cos(alpha) * d);
            dc->Rectangle(cx + dx, cy + dy, cx - dx + 1, cy - dy + 1);
            break;
        }
        default:
            break;
    }
}

// The bitmap figure of one cell, copied over what lies beneath.
void DrawBitmap(CDADC* out, const CDADC* image, int geometry, int cell, int f, int cx, int cy,
                double alpha) {
    CDC* dc = out->pDC;
    switch (geometry) {
        case kOpArtRotation:
            DrawRotatedImage(out, image, cx, cy, alpha);
            break;
        case kOpArtSize: {
            const int s = f * cell / 255;
            dc->StretchBlt(cx - s / 2, cy - s / 2, s, s, image->pDC, 0, 0, image->width,
                           image->height, SRCCOPY);
            break;
        }
        case kOpArtRotationAndSize: {
            const int s = f * cell / 255;
            if (s == 0) break;
            CDADC sized(s, s);
            if (!sized.pBits) break;
            sized.pDC->StretchBlt(0, 0, s, s, image->pDC, 0, 0, image->width, image->height,
                                  SRCCOPY);
            DrawRotatedImage(out, &sized, cx, cy, alpha);
            break;
        }
        case kOpArtStretchAndSqueeze: {
            const int w = Trunc(std::sin(alpha) * cell);
            const int h = Trunc(cell * std::cos(alpha));
            dc->StretchBlt(cx - w / 2, cy - h / 2, w, h, image->pDC, 0, 0, image->width,
                           image->height, SRCCOPY);
            break;
        }
        default:
            break;
    }
}

// The figure file scaled to the cell; null for plain shapes.
std::unique_ptr<CDADC> ScaledFigure(const char* name, int geometry, int cell) {
    std::unique_ptr<CDADC> loaded(LoadFigure(name));
    if (!loaded) return nullptr;
    double scale = static_cast<double>(cell) / loaded->width;
    if (geometry == kOpArtRotation || geometry == kOpArtRotationAndSize)
        scale = scale / std::sqrt(2.0) * 0.9;
    return std::unique_ptr<CDADC>(CDADC::ScaledCopy(scale, loaded.get()));
}

}  // namespace

int OpArt(const OpArtParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr) return 0;
    // 1. The context.
    const AreaSelection selection = ctx->Selection;
    if (!IsContextValid(ctx)) return 0;
    const int k = OutputScale(ctx);
    CDADC* out = ctx->Out;

    // 2. The cells; the count is held to the panel's range so that a block
    // that skipped Validate cannot divide by zero or loop for ever.
    const int across = std::clamp(params->squaresAcross, 1, kSquaresMax);
    const opart::Grid grid = opart::GridOf(out->width, out->height, across);
    if (grid.cell < 1 || grid.rows < 1) return 0;

    // 3, 4. The background.
    PaintBackground(out, ctx->In, &params->background);
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);

    // 5. The figure bitmap, if one is named and still there.
    const std::string name(params->imageName, strnlen(params->imageName, kOpArtImageNameSize));
    const std::unique_ptr<CDADC> figure = ScaledFigure(name.c_str(), params->geometry, grid.cell);

    // 6, 7.
    SetPercent(ctx->Progress, 0, 10, 100, "Off we go...");
    CDC* dc = out->pDC;
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    SetStatusText("Optical creation...");

    // 8. The pen and brush of the plain shapes.
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    SetPenAndBrush(&pen, PS_SOLID, k >= 2 ? 2 * k : 1, params->foreground, &brush,
                   params->outlineOnly ? params->background.colour : params->foreground, dc);

    // 9.
    ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) {
        RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
        return 0;
    }

    // 10. Column by column, each cell's figure.
    const int inWidth = ctx->In->width;
    for (int c = 0; c < grid.columns; ++c) {
        for (int r = 0; r < grid.rows; ++r) {
            const POINT centre = opart::CellCentre(grid, out->width, out->height, c, r);
            const int f = ForceAt(field.get(), centre.x / k, centre.y / k, inWidth);
            const double alpha = opart::AngleOf(f);
            if (figure) {
                DrawBitmap(out, figure.get(), params->geometry, grid.cell, f, centre.x, centre.y,
                           alpha);
            } else {
                DrawShape(dc, params->geometry, grid.cell, f, centre.x, centre.y, alpha);
            }
        }
        SetPercent(ctx->Progress, 10, 100, 100 * c / grid.columns, nullptr);
        if (Stopped()) break;
    }

    // 11. The clean-up.
    SetStatusText("Optical destruction...");
    field.reset();
    RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
    SetPercent(ctx->Progress, 10, 100, 101, nullptr);

    // 12.
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<OpArtParams> kOpArtUnit = {
    .name = "Op Art",
    .panelTitle = "Op Art Xform Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kOpArtFields,
    .run = OpArt,
    .validate = [](OpArtParams& p, int width, int) { return OpArtValidate(&p, width); },
    .wizard = [](OpArtParams& p, const CDADC& original,
                 AreaSelection&) { OpArtAutoChoose(&p, original.width); },
};
