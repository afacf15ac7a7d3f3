#include "xforms/liquid_energy.h"

#include <algorithm>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

// Force levels per ripple. Below 2 a ripple would have no crest (its half
// is 0, and the height 0 / 0); the panel's trackbar runs over this range.
constexpr int kWidthMin = 10;
constexpr int kWidthMax = 100;

constexpr Field<LiquidEnergyParams> kLiquidEnergyFields[] = {
    Declare<&LiquidEnergyParams::wizardChooses>(
        {"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&LiquidEnergyParams::rippleWidth>({.name = "rippleWidth",
                                               .label = "Ripple Width",
                                               .kind = ParamKind::Int,
                                               .min = kWidthMin,
                                               .max = kWidthMax,
                                               .control = ParamControl::Slider,
                                               .editMin = 1,
                                               .editMax = 1000,
                                               .lowEndLabel = "Min",
                                               .highEndLabel = "Max"}),
    Declare<&LiquidEnergyParams::energy>(
        {.name = "energy", .label = "Energy", .kind = ParamKind::Colour, .group = "Colors"}),
    Declare<&LiquidEnergyParams::liquid>(
        {.name = "liquid", .label = "Liquid", .kind = ParamKind::Colour, .group = "Colors"}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int LiquidEnergyValidate(LiquidEnergyParams* params) {
    if (params == nullptr) return 0;
    params->rippleWidth = liquid_energy::HeldRippleWidth(params->rippleWidth);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void LiquidEnergyAutoChoose(LiquidEnergyParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->rippleWidth = RandomInt(kWidthMin, kWidthMax);
    // Drawn even without a selection to smooth, so that the draws stay in step.
    const int smoothing = RandomInt(3, 5);
    if (selection != nullptr) selection->SetSmoothing(smoothing);
    RandomColourPair(&params->energy, &params->liquid);
}

// --- the run ----------------------------------------------------------------------------

namespace liquid_energy {

int HeldRippleWidth(int rippleWidth) {
    return std::clamp(rippleWidth, kWidthMin, kWidthMax);
}

COLORREF RippleColour(const LiquidEnergyParams& params, int rippleWidth, int force) {
    const int half = rippleWidth / 2;
    int m = force % rippleWidth;
    if (m > half) m = rippleWidth - m;
    const double t = static_cast<double>(m) / half;
    return BlendColours(t * t, params.energy, params.liquid);
}

}  // namespace liquid_energy

int LiquidEnergy(const LiquidEnergyParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const AreaSelection selection = ctx->Selection;
    const CDADC& in = *ctx->In;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);
    // Held here too: a recipe that skipped Validate must not divide by 0.
    const int rippleWidth = liquid_energy::HeldRippleWidth(params->rippleWidth);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Splashing around...");
    const ForceField field = MakeForceField(&in, &selection);
    if (!field) return 0;

    // The colour depends on the force alone: one per level.
    COLORREF colours[256];
    for (int force = 0; force < 256; ++force)
        colours[force] = liquid_energy::RippleColour(*params, rippleWidth, force);

    CDC* dc = ctx->Out->pDC;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            dc->FillSolidRect(x * k, y * k, k, k, colours[ForceAt(field.get(), x, y, w)]);
        SetPercent(ctx->Progress, 10, 90, y * 100 / h, nullptr);
        SetStatusText("Energizing...");
        if (Stopped()) break;
    }

    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<LiquidEnergyParams> kLiquidEnergyUnit = {
    .name = "Liquid Energy",
    .panelTitle = "Liquid Energy Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kLiquidEnergyFields,
    .run = LiquidEnergy,
    .validate = [](LiquidEnergyParams& p, int, int) { return LiquidEnergyValidate(&p); },
    .wizard = [](LiquidEnergyParams& p, const CDADC&,
                 AreaSelection& selection) { LiquidEnergyAutoChoose(&p, &selection); },
};
