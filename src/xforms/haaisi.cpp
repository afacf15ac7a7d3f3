#include "xforms/haaisi.h"

#include <algorithm>
#include <cmath>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kDetailMin = 15;
constexpr int kDetailMax = 40;

enum : int {
    kDots = 0,
    kTrianglesOut = 1,
    kTrianglesIn = 2,
};

constexpr ParamChoice kShapes[] = {
    {kDots, "Dots"},
    {kTrianglesOut, "Triangles out"},
    {kTrianglesIn, "Triangles in"},
};

constexpr Field<HaaisiParams> kHaaisiFields[] = {
    Declare<&HaaisiParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&HaaisiParams::fore1>(
        {.name = "fore1", .label = "Fore 1...", .kind = ParamKind::Colour, .group = "Colors"}),
    Declare<&HaaisiParams::fore2>(
        {.name = "fore2", .label = "Fore 2...", .kind = ParamKind::Colour, .group = "Colors"}),
    Declare<&HaaisiParams::background>({.name = "background",
                                        .label = "Background...",
                                        .kind = ParamKind::Colour,
                                        .group = "Colors"}),
    Declare<&HaaisiParams::detail>({.name = "detail",
                                    .label = "Low----   Detail   ----High",
                                    .kind = ParamKind::Int,
                                    .min = kDetailMin,
                                    .max = kDetailMax,
                                    .control = ParamControl::Trackbar}),
    // Only the Wizard sets the shapes, and the spare colour, which nothing
    // reads but recipes carry all the same.
    Declare<&HaaisiParams::shapeMode>({.name = "shapeMode",
                                       .label = "Shapes",
                                       .kind = ParamKind::Choice,
                                       .choices = kShapes,
                                       .control = ParamControl::None}),
    Declare<&HaaisiParams::spareColour>({.name = "spareColour",
                                         .label = "Spare",
                                         .kind = ParamKind::Colour,
                                         .control = ParamControl::None}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int HaaisiValidate(HaaisiParams* params) {
    if (params == nullptr) return 0;
    params->detail = std::clamp(params->detail, kDetailMin, kDetailMax);
    params->shapeMode =
        std::clamp(params->shapeMode, static_cast<int>(kDots), static_cast<int>(kTrianglesIn));
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void HaaisiAutoChoose(HaaisiParams* params) {
    if (params == nullptr) return;
    params->detail = RandomInt(kDetailMin, kDetailMax);
    const bool opposite = RandomChance();
    COLORREF colour = 0, other = 0;
    RandomColourPair(&colour, &other);
    params->background = opposite ? other : colour;
    params->spareColour = opposite ? colour : other;
    RandomColourPair(&params->fore1, &params->fore2);
    params->shapeMode = RandomInt(kDots, kTrianglesIn);
}

// --- the run ----------------------------------------------------------------------------

namespace haaisi {

int ShapesOnRing(double ri, double ro) {
    return static_cast<int>(ri / (ro - ri) * TwoPi);
}

}  // namespace haaisi

namespace {

struct Run {
    const HaaisiParams& params;
    const BYTE* field;
    int w, h;  // In's size: the field's
    int k;
    int cx, cy;  // the centre of Out
    double jag;  // how far the shapes reach past their share of the ring
    CDC* dc;
};

POINT At(const Run& run, double angle, double radius) {
    return {static_cast<LONG>(std::cos(angle) * radius + run.cx),
            static_cast<LONG>(std::sin(angle) * radius + run.cy)};
}

// The shapes between the circles of radius ri and ro (Out pixels).
void Ring(const Run& run, double ri, double ro) {
    const double mid = (ri + ro) * 0.5;
    double width = ro - ri;
    int count = haaisi::ShapesOnRing(ri, ro);
    if (count < 1) {
        // The innermost ring, round the centre itself.
        width = RandomReal(0.5, 0.9) * width;
        count = RandomInt(3, 6);
    }
    const double step = TwoPi / count * run.jag;
    width = width * run.jag;

    CGdiObject* savedPen = run.dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = run.dc->GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    for (int e = 0; e < count; ++e) {
        const double a = e * TwoPi / count;
        const POINT p = At(run, a, mid);
        // Shapes past the picture's edge take the force at its border.
        const int sx = std::clamp(static_cast<int>(p.x / run.k), 0, run.w - 1);
        const int sy = std::clamp(static_cast<int>(p.y / run.k), 0, run.h - 1);
        const int f = ForceAt(run.field, sx, sy, run.w);
        const COLORREF fill = BlendColours(f / 255.0, run.params.fore1, run.params.fore2);
        const COLORREF outline =
            BlendColours((255 - f) / 255.0, run.params.fore1, run.params.fore2);
        SetPenAndBrush(&pen, PS_SOLID, run.k, outline, &brush, fill, run.dc);

        if (run.params.shapeMode == kTrianglesOut || run.params.shapeMode == kTrianglesIn) {
            // Standing on one circle with its tip on the other.
            const bool out = run.params.shapeMode == kTrianglesOut;
            const double base = out ? ri : ro;
            const double tip = out ? ro : ri;
            const POINT triangle[3] = {At(run, a - step * 0.5, base), At(run, a + step * 0.5, base),
                                       At(run, a, tip)};
            run.dc->Polygon(triangle, 3);
        } else {
            run.dc->Ellipse(
                static_cast<int>(p.x - width * 0.5), static_cast<int>(p.y - width * 0.5),
                static_cast<int>(p.x + width * 0.5), static_cast<int>(p.y + width * 0.5));
        }
        if (Stopped()) break;
    }
    RestorePenAndBrush(run.dc, savedPen, savedBrush, &pen, &brush);
}

}  // namespace

int Haaisi(const HaaisiParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr || !IsContextValid(ctx)) return 0;
    const int W = ctx->Out->width;
    const int H = ctx->Out->height;
    // Held to Validate's range for a block that skipped it: the percent
    // divides by n - 1, and n sets how many rings there are.
    const int n = std::clamp(params->detail, kDetailMin, kDetailMax);
    const double jag = RandomReal(0.95, 1.5);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("How alien...");
    const ForceField field = MakeForceField(ctx->In, &ctx->Selection);
    if (!field) return 0;

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    CDC* dc = ctx->Out->pDC;
    dc->FillSolidRect(0, 0, W, H, params->background);
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    const Run run = {
        *params, field.get(), ctx->In->width, ctx->In->height, OutputScale(ctx), W / 2, H / 2,
        jag,     dc};

    SetStatusText("Light years from here...");
    // Half the diagonal of Out: the last ring reaches past the corners.
    const double R = std::sqrt(H * double(H) * 0.25 + W * double(W) * 0.25);
    for (int i = 0; i <= n; ++i) {
        Ring(run, i * R / n, (i + 1) * R / n);
        // The last two rings would pass 100 %.
        SetPercent(ctx->Progress, 10, 100, std::min(i * 100 / (n - 1), 100), nullptr);
        if (Stopped()) break;
    }

    dc->SelectObject(savedPen);
    dc->SelectObject(savedBrush);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<HaaisiParams> kHaaisiUnit = {
    .name = "Haaisi",
    .panelTitle = "Haaisi Parameters",
    .helpText = "F1 for help on this dialog",
    .fields = kHaaisiFields,
    .run = Haaisi,
    .validate = [](HaaisiParams& p, int, int) { return HaaisiValidate(&p); },
    .wizard = [](HaaisiParams& p, const CDADC&, AreaSelection&) { HaaisiAutoChoose(&p); },
};
