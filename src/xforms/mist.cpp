#include "xforms/mist.h"

#include <cmath>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

// The frequencies and the phase have no control: the defaults and the
// Wizard set them, and their ranges are the ones the Wizard draws from.
constexpr double kXFrequencyMin = 0.1;
constexpr double kXFrequencyMax = 1.1;
constexpr double kYFrequencyMin = 0.5 * kXFrequencyMin;
constexpr double kYFrequencyMax = 20.0 * kXFrequencyMax;
constexpr double kForcePhaseMin = 0.01;  // radians per force level
constexpr double kForcePhaseMax = 0.1;

constexpr Field<MistParams> kMistFields[] = {
    Declare<&MistParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&MistParams::colourA>(
        {.name = "colourA", .label = "Color A", .kind = ParamKind::Colour, .group = "Colors"}),
    Declare<&MistParams::colourB>(
        {.name = "colourB", .label = "Color B", .kind = ParamKind::Colour, .group = "Colors"}),
    Declare<&MistParams::xFrequency>({.name = "xFrequency",
                                      .label = "Frequency across",
                                      .kind = ParamKind::Real,
                                      .min = kXFrequencyMin,
                                      .max = kXFrequencyMax,
                                      .control = ParamControl::None}),
    Declare<&MistParams::yFrequency>({.name = "yFrequency",
                                      .label = "Frequency down",
                                      .kind = ParamKind::Real,
                                      .min = kYFrequencyMin,
                                      .max = kYFrequencyMax,
                                      .control = ParamControl::None}),
    Declare<&MistParams::forcePhase>({.name = "forcePhase",
                                      .label = "Phase per force level",
                                      .kind = ParamKind::Real,
                                      .min = kForcePhaseMin,
                                      .max = kForcePhaseMax,
                                      .control = ParamControl::None}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int MistValidate(MistParams* params) {
    // Any frequency and phase draw a mist: the range is found from the
    // values themselves.
    return params != nullptr ? 1 : 0;
}

// --- Wizard ------------------------------------------------------------------------------

void MistAutoChoose(MistParams* params) {
    if (params == nullptr) return;
    if (RandomInt(0, 100) > 30) {
        RandomColourPair(&params->colourA, &params->colourB);
    } else {
        params->colourA = 0xFFFFFF;
        params->colourB = 0;
    }
    params->xFrequency = RandomReal(kXFrequencyMin, kXFrequencyMax);
    params->yFrequency = RandomReal(0.5 * params->xFrequency, 20.0 * params->xFrequency);
    params->forcePhase = RandomReal(kForcePhaseMin, kForcePhaseMax);
}

// --- the run: the mist's waves -----------------------------------------------------------

namespace mist {

double RowFrequency(const MistParams& params, int y, int height) {
    return (static_cast<double>(y) / height + 1.0) * params.yFrequency * 0.5;
}

double MistValue(const MistParams& params, int width, int x, int y, double rowFrequency,
                 int force) {
    // Both coordinates are measured in widths.
    const double nx = static_cast<double>(x) / width;
    const double ny = static_cast<double>(y) / width;
    const double p = params.forcePhase * force;
    double f = rowFrequency;
    double m = params.xFrequency;
    double amp = 1.0;
    double a = 0.0;
    double b = 0.0;
    for (int i = 0; i < 5; ++i) {
        a = a + amp * std::sin(HalfPi * std::sin(0.5 * ny * f + p) + nx * m);
        b = b + amp * std::sin(ny * f + HalfPi * std::sin(0.5 * ny * m + p));
        m = m * 2.0;
        f = f * 2.0;
        amp = amp * 0.7071;
    }
    return a * b;
}

MistRow::MistRow(const MistParams& params, int width, int y, double rowFrequency)
    : params_(params),
      width_(width),
      ny_(static_cast<double>(y) / width),
      rowFrequency_(rowFrequency) {
    double m = params.xFrequency;
    double amp = 1.0;
    for (int i = 0; i < kOctaves; ++i) {
        columnFrequency_[i] = m;
        amplitude_[i] = amp;
        m = m * 2.0;
        amp = amp * 0.7071;
    }
}

void MistRow::Prepare(int force) {
    const double p = params_.forcePhase * force;
    double f = rowFrequency_;
    double b = 0.0;
    for (int i = 0; i < kOctaves; ++i) {
        const double m = columnFrequency_[i];
        warpA_[force][i] = HalfPi * std::sin(0.5 * ny_ * f + p);
        b = b + amplitude_[i] * std::sin(ny_ * f + HalfPi * std::sin(0.5 * ny_ * m + p));
        f = f * 2.0;
    }
    b_[force] = b;
    ready_[force] = true;
}

double MistRow::At(int x, int force) {
    if (!ready_[force]) Prepare(force);
    const double nx = static_cast<double>(x) / width_;
    double a = 0.0;
    for (int i = 0; i < kOctaves; ++i)
        a = a + amplitude_[i] * std::sin(warpA_[force][i] + nx * columnFrequency_[i]);
    return a * b_[force];
}

}  // namespace mist

// --- the run -------------------------------------------------------------------------------

int Mist(const MistParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const AreaSelection selection = ctx->Selection;
    const CDADC& in = *ctx->In;
    CDC* dc = ctx->Out->pDC;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Mystification...");
    const ForceField field = MakeForceField(&in, &selection);
    if (!field) return 0;
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);

    SetStatusText("Evaporation...");
    double maximum = -20000000.0;
    double minimum = 20000000.0;
    for (int y = 0; y < h; ++y) {
        mist::MistRow row(*params, w, y, mist::RowFrequency(*params, y, h));
        for (int x = 0; x < w; ++x) {
            const double v = row.At(x, ForceAt(field.get(), x, y, w));
            if (v > maximum) maximum = v;
            if (v < minimum) minimum = v;
        }
        SetPercent(ctx->Progress, 10, 55, 100 * y / h, nullptr);
        if (Stopped()) break;
    }
    const double range = maximum - minimum;

    SetStatusText("Condensation...");
    for (int y = 0; y < h; ++y) {
        mist::MistRow row(*params, w, y, mist::RowFrequency(*params, y, h));
        for (int x = 0; x < w; ++x) {
            const double v = row.At(x, ForceAt(field.get(), x, y, w));
            // A mist without range (every value the same, as on a picture
            // of one pixel) has nothing to blend: it shows colour A.
            const double t = range > 0 ? (v - minimum) / range : 1.0;
            dc->FillSolidRect(x * k, y * k, k, k,
                              BlendColours(t, params->colourA, params->colourB));
        }
        SetPercent(ctx->Progress, 55, 90, 100 * y / h, nullptr);
        if (Stopped()) break;
    }

    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<MistParams> kMistUnit = {
    .name = "Mist",
    .panelTitle = "Mist Formation Settings",
    .helpText = "F1 for help with this dialog",
    .fields = kMistFields,
    .run = Mist,
    .validate = [](MistParams& p, int, int) { return MistValidate(&p); },
    .wizard = [](MistParams& p, const CDADC&, AreaSelection&) { MistAutoChoose(&p); },
};
