#include "xforms/swarm.h"

#include <algorithm>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kSticksMin = 100;
constexpr int kSticksMax = 30000;

constexpr char kOneSwitch[] = "Choose at least one of:\nAngle, Intensity, Size";

constexpr Field<SwarmParams> kSwarmFields[] = {
    Declare<&SwarmParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    // The edit takes any count the run can draw; the panel holds it to the
    // slider's range.
    Declare<&SwarmParams::sticks>({.name = "sticks",
                                   .label = "Number of sticks",
                                   .kind = ParamKind::Int,
                                   .min = kSticksMin,
                                   .max = kSticksMax,
                                   .control = ParamControl::Slider,
                                   .group = "Number of sticks",
                                   .editMin = 1,
                                   .editMax = 50000}),
    Declare<&SwarmParams::byIntensity>({.name = "byIntensity",
                                        .label = "&Intensity",
                                        .kind = ParamKind::Flag,
                                        .oneOfMessage = kOneSwitch}),
    Declare<&SwarmParams::bySize>(
        {.name = "bySize", .label = "&Size", .kind = ParamKind::Flag, .oneOfMessage = kOneSwitch}),
    Declare<&SwarmParams::byAngle>({.name = "byAngle",
                                    .label = "&Angle",
                                    .kind = ParamKind::Flag,
                                    .oneOfMessage = kOneSwitch}),
    Declare<&SwarmParams::foreground>({.name = "foreground",
                                       .label = "Foreground",
                                       .kind = ParamKind::Colour,
                                       .group = "Colors"}),
    Declare<&SwarmParams::backgroundColour>({.name = "backgroundColour",
                                             .label = "Background",
                                             .kind = ParamKind::Colour,
                                             .group = "Colors"}),
};

bool AnySwitch(const SwarmParams& p) {
    return p.byAngle != 0 || p.bySize != 0 || p.byIntensity != 0;
}

}  // namespace

// --- Validate -------------------------------------------------------------------------

int SwarmValidate(SwarmParams* params) {
    if (params == nullptr) return 0;
    params->sticks = std::clamp(params->sticks, kSticksMin, kSticksMax);
    if (AnySwitch(*params)) return 1;
    ErrorBox("%s", kOneSwitch);
    return 0;
}

// --- Wizard ------------------------------------------------------------------------------

void SwarmAutoChoose(SwarmParams* params) {
    if (params == nullptr) return;
    do {
        RandomColourPair(&params->foreground, &params->backgroundColour);
        params->sticks = RandomInt(15000, kSticksMax);
        params->byAngle = RandomChance() ? 1 : 0;
        params->byIntensity = RandomInt(0, 100) > 10 ? 1 : 0;
        params->bySize = RandomChance() ? 1 : 0;
    } while (!AnySwitch(*params));
}

// --- the run ----------------------------------------------------------------------------

int Swarm(const SwarmParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const int k = OutputScale(ctx);
    const int w = ctx->In->width;
    const int h = ctx->In->height;
    const int ow = ctx->Out->width;
    const int oh = ctx->Out->height;
    // Held to Validate's range: the count divides the percent, and one
    // below 1 would never be reached.
    const int sticks = std::clamp(params->sticks, kSticksMin, kSticksMax);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Laying eggs...");
    ForceField field = MakeForceField(ctx->In, &ctx->Selection);
    if (!field) return 0;
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);

    CDC* dc = ctx->Out->pDC;
    dc->FillSolidRect(0, 0, ow, oh, params->backgroundColour);
    SetStatusText("Swarming...");
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    SetPenAndBrush(&pen, PS_SOLID, k, params->foreground, &brush, params->backgroundColour, dc);

    const double base = RandomReal(0.0, kPi);
    // Stick lengths in Out pixels: 1 % and 1.5 % of the canvas's width plus height.
    const int fixedLength = 2 * (ow + oh) / 200;
    const int longest = 3 * (ow + oh) / 200;

    int placed = 0;
    do {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const int f = ForceAt(field.get(), x, y, w);
        // A place is kept with chance (f + 1) / 254.
        if (params->byIntensity != 0 && f < RandomInt(0, 253)) continue;
        CentredLine line;
        line.x = x * k;
        line.y = y * k;
        line.length = params->bySize != 0 ? RandomInt(1, longest) * f / 255 : fixedLength;
        // From base up to three quarters of a half turn beyond it.
        line.angle = params->byAngle != 0 ? f * kPi * 0.75 * 0.00392156862745098 + base
                                          : RandomReal(0.0, kPi);
        DrawCentredLine(&line, dc);
        if (Stopped()) break;
        ++placed;
        SetPercent(ctx->Progress, 20, 100, 100 * placed / sticks, nullptr);
    } while (placed < sticks);

    field.reset();
    RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<SwarmParams> kSwarmUnit = {
    .name = "Swarm",
    .panelTitle = "Swarm Xform Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kSwarmFields,
    .run = Swarm,
    .validate = [](SwarmParams& p, int, int) { return SwarmValidate(&p); },
    .wizard = [](SwarmParams& p, const CDADC&, AreaSelection&) { SwarmAutoChoose(&p); },
};
