#include "xforms/banya.h"

#include <algorithm>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kShapeModeMin = 1;
constexpr int kShapeModeMax = 3;
constexpr int kEllipses = 2;  // the other modes draw squares
constexpr double kShapeSizeMin = 0.4;
constexpr double kShapeSizeMax = 0.8;
constexpr int kSquaresMin = 10;
constexpr int kSquaresMax = 100;

constexpr Field<BanyaParams> kBanyaFields[] = {
    Declare<&BanyaParams::wizardChooses>({"wizardChooses", "&Wizard Chooses", ParamKind::Flag}),
    // The edit takes 2..200 when the panel closes; the value is then held
    // to the trackbar's range.
    Declare<&BanyaParams::squares>({.name = "squares",
                                    .label = "Num. Squares",
                                    .kind = ParamKind::Int,
                                    .min = kSquaresMin,
                                    .max = kSquaresMax,
                                    .control = ParamControl::Slider,
                                    .editMin = 2,
                                    .editMax = 200}),
    Declare<&BanyaParams::shapeColour>({"shapeColour", "&ShapeColor", ParamKind::Colour}),
    Declare<&BanyaParams::backgroundColour>({"backgroundColour", "&Background", ParamKind::Colour}),
    Declare<&BanyaParams::oddColour>({"oddColour", "&Odd Color", ParamKind::Colour}),
    Declare<&BanyaParams::evenColour>({"evenColour", "&Even Color", ParamKind::Colour}),
    // Only the Wizard sets the corner shapes.
    Declare<&BanyaParams::shapeMode>({.name = "shapeMode",
                                      .label = "Shape",
                                      .kind = ParamKind::Int,
                                      .min = kShapeModeMin,
                                      .max = kShapeModeMax,
                                      .control = ParamControl::None}),
    Declare<&BanyaParams::shapeSize>({.name = "shapeSize",
                                      .label = "Shape Size",
                                      .kind = ParamKind::Real,
                                      .min = kShapeSizeMin,
                                      .max = kShapeSizeMax,
                                      .control = ParamControl::None}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int BanyaValidate(BanyaParams* params) {
    if (params == nullptr) return 0;
    // Fewer than one square across would divide by zero; a recipe file or
    // the command line may bring anything.
    params->squares = std::clamp(params->squares, kSquaresMin, kSquaresMax);
    params->shapeMode = std::clamp(params->shapeMode, kShapeModeMin, kShapeModeMax);
    params->shapeSize = HeldTo(params->shapeSize, kShapeSizeMin, kShapeSizeMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void BanyaAutoChoose(BanyaParams* params, int pictureWidth) {
    if (params == nullptr) return;
    params->shapeMode = RandomInt(kShapeModeMin, kShapeModeMax);
    params->shapeSize = RandomReal(kShapeSizeMin, kShapeSizeMax);
    params->backgroundColour = RandomColour();
    params->shapeColour = RandomColour();
    params->oddColour = RandomColour();
    params->evenColour = RandomColour();
    // Cells at least 10 pixels of the picture wide, if 100 draws find them.
    for (int draws = 1; draws <= 100; ++draws) {
        params->squares = RandomInt(kSquaresMin, kSquaresMax);
        if (pictureWidth / params->squares >= 10) break;
    }
}

// --- the run ----------------------------------------------------------------------------

namespace banya {

int Rows(int squares, int w, int h) {
    if (squares < 1 || w < 1) return 3;
    const long long rows = static_cast<long long>(squares) * h / w;
    // A picture narrower than squares pixels would ask for rows thinner than
    // a pixel, by the hundred thousand on a tall one; a pixel is enough.
    return static_cast<int>(std::clamp<long long>(rows, 3, std::max(3, h)));
}

}  // namespace banya

namespace {

// The sample points below stay inside the picture by their arithmetic; the
// clamp only guards a field read against a picture of a few pixels.
int ForceIn(const BYTE* field, int x, int y, int w, int h) {
    return ForceAt(field, std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1), w);
}

struct Pens {
    CDC* dc;
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    // Outlines are never drawn: each shape is its brush alone.
    void Fill(COLORREF colour) { SetPenAndBrush(&pen, PS_NULL, 1, colour, &brush, colour, dc); }
};

// The square or ellipse on a corner diamond p[0..3], blended by fN (0..1).
void CornerShape(const BanyaParams& params, double shapeSize, const POINT p[4], double fN,
                 Pens& pens) {
    POINT mid[4];
    for (int e = 0; e < 4; ++e) {
        const POINT& a = p[e];
        const POINT& b = p[(e + 1) % 4];
        mid[e] = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    const LONG cx = (p[0].x + p[1].x + p[2].x + p[3].x) / 4;
    const LONG cy = (p[0].y + p[1].y + p[2].y + p[3].y) / 4;
    LONG minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (int e = 1; e < 4; ++e) {
        minX = std::min(minX, p[e].x), maxX = std::max(maxX, p[e].x);
        minY = std::min(minY, p[e].y), maxY = std::max(maxY, p[e].y);
    }

    const COLORREF colour = BlendColours(fN, params.shapeColour, params.backgroundColour);
    pens.Fill(colour);
    if (params.shapeMode == kEllipses) {
        const auto rx = static_cast<int>((maxX - minX) * shapeSize * 0.4);
        const auto ry = static_cast<int>((maxY - minY) * shapeSize * 0.4);
        pens.dc->Ellipse(cx - rx, cy - ry, cx + rx, cy + ry);
    } else {
        // The edge midpoints: a rectangle of half the diamond's size.
        pens.dc->Polygon(mid, 4);
    }
}

}  // namespace

int Banya(const BanyaParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr) return 0;
    const AreaSelection selection = ctx->Selection;
    if (!IsContextValid(ctx)) return 0;
    const int w = ctx->In->width;
    const int h = ctx->In->height;
    const int W = ctx->Out->width;
    const int H = ctx->Out->height;
    const int k = OutputScale(ctx);
    // Held to Validate's ranges for a block that skipped it: no square across
    // would divide by zero, and a shape size that is not a number has no
    // radius.
    const int n = std::clamp(params->squares, kSquaresMin, kSquaresMax);
    const double shapeSize = HeldTo(params->shapeSize, kShapeSizeMin, kShapeSizeMax);
    const int rows = banya::Rows(n, w, h);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Preparing paper...");
    const ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) return 0;
    SetPercent(ctx->Progress, 0, 20, 100, nullptr);

    // Cell size in Out pixels.
    const int cw = W / n;
    const int ch = H / rows;
    CDC* dc = ctx->Out->pDC;
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    Pens pens{dc};

    SetStatusText("Preparing Glue...");
    const COLORREF opposite = OppositeColour(params->backgroundColour);
    dc->FillSolidRect(0, 0, W, H, BlendColours(0.5, params->backgroundColour, opposite));

    // One diamond per cell, reaching one pixel into its neighbours all round.
    SetStatusText("Sticky bits...");
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < rows; ++j) {
            const int sx = i * w / n + cw / (2 * k);
            const int sy = j * h / rows + ch / (2 * k);
            const int f = ForceIn(field.get(), sx, sy, w, h);
            pens.Fill(BlendColours(f / 255.0, params->backgroundColour, opposite));
            const int x0 = i * W / n - 1;
            const int yTop = j * H / rows - 1;
            const int yMid = j * H / rows + ch / 2;
            const POINT diamond[4] = {{x0, yMid},
                                      {x0 + cw / 2, yTop},
                                      {(i + 1) * W / n + 1, yMid},
                                      {x0 + cw / 2, (j + 1) * H / rows + 1}};
            dc->Polygon(diamond, 4);
        }
        SetPercent(ctx->Progress, 20, 50, i * 100 / n, nullptr);
    }

    // One diamond on every cell corner, the borders' included. Their force
    // is sampled on a grid one step finer than the corners' own, so that the
    // last column and row stay inside the picture.
    SetStatusText("Crayon...");
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= rows; ++j) {
            const int xc = i * W / n;
            const int yc = j * H / rows;
            const int sx = i * w / (n + 1) + cw / (2 * k);
            const int sy = j * h / (rows + 1) + ch / (2 * k);
            const double fN = ForceIn(field.get(), sx, sy, w, h) / 255.0;
            const bool even = (i + j) % 2 == 0;
            pens.Fill(even ? BlendColours(fN, params->evenColour, params->oddColour)
                           : BlendColours(fN, params->oddColour, params->evenColour));
            const POINT diamond[4] = {
                {xc - cw / 2, yc}, {xc, yc - ch / 2}, {xc + cw / 2, yc}, {xc, yc + ch / 2}};
            dc->Polygon(diamond, 4);
            CornerShape(*params, shapeSize, diamond, fN, pens);
        }
        SetPercent(ctx->Progress, 50, 100, i * 100 / n, nullptr);
        if (Stopped()) break;
    }

    RestorePenAndBrush(dc, savedPen, savedBrush, &pens.pen, &pens.brush);
    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<BanyaParams> kBanyaUnit = {
    .name = "Banya",
    .panelTitle = "Banya Object Xform Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kBanyaFields,
    .run = Banya,
    .validate = [](BanyaParams& p, int, int) { return BanyaValidate(&p); },
    .wizard = [](BanyaParams& p, const CDADC& original,
                 AreaSelection&) { BanyaAutoChoose(&p, original.width); },
};
