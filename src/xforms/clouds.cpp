#include "xforms/clouds.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr double kHorizonMin = 0.1;
constexpr double kHorizonMax = 0.7;
constexpr double kSkyMin = 0.25;
constexpr double kSkyMax = 0.75;

// Cloudiness is this much of the waves and the rest of the force field.
constexpr double kWeightNoise = 0.33;
constexpr double kWeightForce = 0.67;
// The rim and the dark cloud each take half of this much cloudiness.
constexpr double kEdgeWidth = 0.1;

constexpr Field<CloudsParams> kCloudsFields[] = {
    Declare<&CloudsParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&CloudsParams::highSky>({"highSky", "High Sky", ParamKind::Colour}),
    Declare<&CloudsParams::lowSky>({"lowSky", "Low Sky", ParamKind::Colour}),
    Declare<&CloudsParams::cloudLight>({"cloudLight", "Cloud Light", ParamKind::Colour}),
    Declare<&CloudsParams::cloudDark>({"cloudDark", "Cloud Dark", ParamKind::Colour}),
    Declare<&CloudsParams::backlight>({"backlight", "Backlight", ParamKind::Colour}),
    Declare<&CloudsParams::horizonEffect>({"horizonEffect",
                                           "Horizon Effect",
                                           ParamKind::Real,
                                           kHorizonMin,
                                           kHorizonMax,
                                           {},
                                           ParamControl::Slider,
                                           "%6.2f"}),
    Declare<&CloudsParams::skyQuantity>({"skyQuantity",
                                         "Quantity of Sky",
                                         ParamKind::Real,
                                         kSkyMin,
                                         kSkyMax,
                                         {},
                                         ParamControl::Slider,
                                         "%6.2f"}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int CloudsValidate(CloudsParams* params) {
    if (params == nullptr) return 0;
    // A recipe file or the command line can bring any number; past these
    // ranges the sky's thresholds overlap and the rim colours divide by 0.
    params->horizonEffect = HeldTo(params->horizonEffect, kHorizonMin, kHorizonMax);
    params->skyQuantity = HeldTo(params->skyQuantity, kSkyMin, kSkyMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void CloudsAutoChoose(CloudsParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->horizonEffect = RandomReal(kHorizonMin, kHorizonMax);
    params->skyQuantity = RandomReal(kSkyMin, kSkyMax);
    const clouds::Palette& palette = clouds::kPalettes[RandomInt(0, 2)];
    params->highSky = palette.highSky;
    params->lowSky = palette.lowSky;
    params->backlight = palette.backlight;
    params->cloudLight = palette.cloudLight;
    params->cloudDark = palette.cloudDark;
    const int invert = RandomChance() ? 1 : 0;
    if (selection != nullptr) selection->invert = invert;
}

// --- the run: waves and colours ---------------------------------------------------------

namespace clouds {

WaveSet DrawWaveSet(double horizonEffect) {
    WaveSet set;
    set.horizonEffect = horizonEffect;
    set.frequency = RandomReal(1.5, 4.0);
    set.baseFrequency = RandomReal(0.5, 40.0);
    set.phase = RandomReal(-HalfPi, HalfPi);
    set.octaves = RandomInt(4, 8);
    return set;
}

double Squeeze(const WaveSet& set, double u) {
    return std::tan(HalfPi * u) * 2.0 * set.horizonEffect * set.baseFrequency * u +
           (1 - set.horizonEffect) * set.baseFrequency;
}

WaveRow::WaveRow(const WaveSet& set, int y, double s, int width)
    : width_(width > 0 ? width : 1),
      octaves_(std::clamp(set.octaves, 0, kMaxOctaves)),
      phase_(set.phase) {
    // Both coordinates are measured in widths, so the waves keep their
    // shape whatever the picture's proportions.
    const double vy = static_cast<double>(y) / width_;
    double f = set.frequency;
    double t = s;
    double amplitude = 1.0;
    for (int i = 0; i < octaves_; ++i) {
        const double p = vy * t;
        warpA_[i] = std::sin(p * 0.5) * HalfPi;
        const double warpB = std::sin(vy * f * 0.5) * HalfPi;
        frequency_[i] = f;
        amplitude_[i] = amplitude;
        const double r = i == 0 ? p + phase_ : p;
        b_ = b_ + std::sin(warpB + r) * amplitude;
        f = f * 2.0;
        t = t * 2.0;
        amplitude = amplitude * 0.7071;
    }
}

double WaveRow::At(int x) const {
    const double ux = static_cast<double>(x) / width_;
    double a = 0.0;
    for (int i = 0; i < octaves_; ++i) {
        const double q = i == 0 ? ux * frequency_[i] + phase_ : ux * frequency_[i];
        a = a + std::sin(warpA_[i] + q) * amplitude_[i];
    }
    return a * b_;
}

COLORREF CloudColour(const CloudsParams& params, double skyMix, double force, double n) {
    const double c = kWeightNoise * n + kWeightForce * force;
    const double q = params.skyQuantity;
    const double e = kEdgeWidth * 0.5;
    const COLORREF sky = BlendColours(skyMix, params.highSky, params.lowSky);
    // Cloudiness off its scale (a stopped first pass leaves the waves'
    // range short) shows black.
    const auto blend = [](double t, COLORREF a, COLORREF b) -> COLORREF {
        return t >= 0.0 && t <= 1.0 ? BlendColours(t, a, b) : 0;
    };
    if (c <= q - e) return sky;
    if (c <= q) return blend((c - (q - e)) / e, params.backlight, sky);
    if (c <= q + e) return blend((c - q) / e, params.cloudDark, params.backlight);
    return blend((c - (q + e)) / (1 - (q + e)), params.cloudLight, params.cloudDark);
}

}  // namespace clouds

// --- the run ----------------------------------------------------------------------------

int Clouds(const CloudsParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const AreaSelection selection = ctx->Selection;
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Breeze...");
    const ForceField field = MakeForceField(&in, &selection);
    if (!field) return 0;

    const clouds::WaveSet set = clouds::DrawWaveSet(params->horizonEffect);
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);
    SetStatusText("Wind...");

    double minimum = 20000000.0;
    double maximum = -20000000.0;
    for (int y = 0; y < h; ++y) {
        const clouds::WaveRow waves(set, y, clouds::Squeeze(set, static_cast<double>(y) / h), w);
        for (int x = 0; x < w; ++x) {
            const double v = waves.At(x);
            if (v > maximum) maximum = v;
            if (v < minimum) minimum = v;
        }
        SetPercent(ctx->Progress, 10, 40, y * 100 / h, nullptr);
        if (Stopped()) break;
    }

    // Waves that never vary (a picture one pixel wide and high) would divide
    // 0 by 0; they count as the lowest cloudiness instead.
    const double range = maximum > minimum ? maximum - minimum : 1.0;
    SetStatusText("Blue sky...");

    std::vector<COLORREF> colours(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        const clouds::WaveRow waves(set, y, clouds::Squeeze(set, static_cast<double>(y) / h), w);
        const double skyMix = 1 - static_cast<double>(y) / h;
        for (int x = 0; x < w; ++x) {
            const double force = ForceAt(field.get(), x, y, w) / 255.0;
            const double n = (waves.At(x) - minimum) / range;
            colours[static_cast<size_t>(x)] = clouds::CloudColour(*params, skyMix, force, n);
        }
        PaintBlockRow(out, y, k, colours.data(), w);
        SetPercent(ctx->Progress, 40, 95, y * 100 / h, nullptr);
        if (Stopped()) break;
    }

    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<CloudsParams> kCloudsUnit = {
    .name = "Clouds",
    .panelTitle = "Cloud Formation Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kCloudsFields,
    .run = Clouds,
    .validate = [](CloudsParams& p, int, int) { return CloudsValidate(&p); },
    .wizard = [](CloudsParams& p, const CDADC&,
                 AreaSelection& selection) { CloudsAutoChoose(&p, &selection); },
};
