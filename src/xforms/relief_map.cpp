#include "xforms/relief_map.h"

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kLevelMin = 0;  // levels are forces
constexpr int kLevelMax = 255;

// Four vertical trackbars side by side, each kept between its neighbours,
// with its level above it in percent of the full force.
constexpr ParamField Level(const char* name, const char* label, const char* atLeast,
                           const char* atMost) {
    return {.name = name,
            .label = label,
            .kind = ParamKind::Int,
            .min = kLevelMin,
            .max = kLevelMax,
            .control = ParamControl::VerticalTrackbar,
            .atLeast = atLeast,
            .atMost = atMost,
            .percentFormat = "%d%%"};
}

constexpr Field<ReliefMapParams> kReliefMapFields[] = {
    Declare<&ReliefMapParams::wizardChooses>({"wizardChooses", "Wizard chooses", ParamKind::Flag}),
    Declare<&ReliefMapParams::earthling>({"earthling", "Earthling", ParamKind::Flag}),
    Declare<&ReliefMapParams::seaLevel>(Level("seaLevel", "Sea Level", nullptr, "hillLevel")),
    Declare<&ReliefMapParams::hillLevel>(Level("hillLevel", "Hill", "seaLevel", "rockLevel")),
    Declare<&ReliefMapParams::rockLevel>(Level("rockLevel", "Rock", "hillLevel", "snowLine")),
    Declare<&ReliefMapParams::snowLine>(Level("snowLine", "Snow Line", "rockLevel", nullptr)),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int ReliefMapValidate(const ReliefMapParams* params) {
    if (params == nullptr) return 0;
    const ReliefMapParams& p = *params;
    if (p.seaLevel <= p.hillLevel && p.hillLevel <= p.rockLevel && p.rockLevel <= p.snowLine)
        return 1;
    ErrorBox(
        "The levels must rise in this order:\nSea Level %d <= Hill %d <= Rock %d <= Snow Line %d",
        p.seaLevel, p.hillLevel, p.rockLevel, p.snowLine);
    return 0;
}

// --- Wizard ------------------------------------------------------------------------------

void ReliefMapAutoChoose(ReliefMapParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->seaLevel = RandomInt(0, 85);
    params->hillLevel = RandomInt(params->seaLevel, 127);
    params->rockLevel = RandomInt(params->hillLevel, 191);
    params->snowLine = RandomInt(params->rockLevel, 255);
    if (selection != nullptr) selection->SetSmoothing(3);
    params->earthling = RandomInt(0, 100) < 75 ? 1 : 0;
}

// --- the run: terrain and light -------------------------------------------------------------

namespace relief_map {

namespace {
// Halfway from a towards b, truncated toward zero; wide enough for any two
// levels a block that skipped Validate may bring.
int Halfway(int a, int b) {
    return static_cast<int>(a + (static_cast<long long>(b) - a) / 2);
}
}  // namespace

Midpoints MidpointsOf(const ReliefMapParams& params) {
    Midpoints m;
    m.m1 = Halfway(params.seaLevel, params.hillLevel);
    m.m2 = Halfway(params.hillLevel, params.rockLevel);
    m.m3 = Halfway(params.rockLevel, params.hillLevel);
    m.m4 = Halfway(params.rockLevel, params.snowLine);
    return m;
}

Terrain TerrainOf(const ReliefMapParams& params, const Midpoints& m, int f, double* t) {
    if (f > params.snowLine) return kSnow;
    if (f < params.seaLevel) return kWater;
    if (f < params.hillLevel) return kLowland;
    if (f >= m.m4) return kRock;
    if (f <= m.m3) return kHill;
    // m3 < f < m4, so the two differ.
    if (t != nullptr) *t = static_cast<double>(f - m.m3) / (m.m4 - m.m3);
    return kSlope;
}

COLORREF ShadeRelief(Terrain terrain, int f, int fAbove, COLORREF colour, const Midpoints& m) {
    // A rise of the full force from one pixel to the next brightens six times over.
    const double s = (f - fAbove) * 0.023529411764705882;
    double g = 1.0;
    if (terrain == kLowland || terrain == kHill) {
        // Low land is flat: its light fades in between m1 and m2. Where the
        // two meet (sea, hill and nearly rock at one level) and f lies on
        // them, the land counts as flat rather than dividing 0 by 0.
        if (f > m.m2)
            g = 1.0;
        else if (f < m.m1 || m.m2 == m.m1)
            g = 0.0;
        else
            g = static_cast<double>(f - m.m1) / (m.m2 - m.m1);
    }
    double b = g * s + 1.0;
    if (b < 0.1) b = 0.1;
    return ScaleColour(colour, b);
}

}  // namespace relief_map

// --- the run ----------------------------------------------------------------------------

namespace {

using relief_map::Terrain;

// The five colours of a run in the order the random ones are drawn.
struct Palette {
    COLORREF lowland, hill, rock, water, snow;
};

Palette PaletteOf(bool earthling) {
    if (earthling) return {0x6AD775, 0x6AD775, 0x40C1E1, 0xE0CF3A, 0xFFFFFF};
    Palette p{};
    p.lowland = RandomColour();
    p.hill = RandomColour();
    p.rock = RandomColour();
    p.water = RandomColour();
    p.snow = RandomColour();
    return p;
}

COLORREF ColourOf(const Palette& palette, Terrain terrain, double t) {
    switch (terrain) {
        case relief_map::kWater:
            return palette.water;
        case relief_map::kLowland:
            return palette.lowland;
        case relief_map::kHill:
            return palette.hill;
        case relief_map::kSlope:
            return BlendColours(t, palette.rock, palette.hill);
        case relief_map::kRock:
            return palette.rock;
        case relief_map::kSnow:
            break;
    }
    return palette.snow;
}

}  // namespace

int ReliefMap(const ReliefMapParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const int k = OutputScale(ctx);
    const int w = ctx->In->width;
    const int h = ctx->In->height;
    const relief_map::Midpoints m = relief_map::MidpointsOf(*params);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Water Analysis...splosh...");
    ForceField field = MakeForceField(ctx->In, &ctx->Selection);
    if (!field) return 0;

    SetStatusText("Soil Analysis...");
    const Palette palette = PaletteOf(params->earthling != 0);

    CDC* dc = ctx->Out->pDC;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const int f = ForceAt(field.get(), x, y, w);
            double t = 0.0;
            const Terrain terrain = relief_map::TerrainOf(*params, m, f, &t);
            COLORREF colour = ColourOf(palette, terrain, t);
            if (terrain != relief_map::kWater) {
                const int fAbove = y > 0 ? ForceAt(field.get(), x, y - 1, w) : f;
                colour = relief_map::ShadeRelief(terrain, f, fAbove, colour, m);
            }
            dc->FillSolidRect(x * k, y * k, k, k, colour);
            if (terrain == relief_map::kWater || terrain == relief_map::kSnow) continue;
            if (RandomInt(0, 100) > 80) {
                // An offset of k lands on the next block, which paints it over
                // (or off the canvas): the dots still take their draws.
                const COLORREF dot = ScaleColour(colour, 0.75);
                for (int i = 0; i < k * k; ++i) {
                    const int dx = RandomInt(0, k);
                    const int dy = RandomInt(0, k);
                    dc->SetPixel(x * k + dx, y * k + dy, dot);
                }
            }
        }
        if (Stopped()) break;
        const int p = 100 * x / w;
        SetPercent(ctx->Progress, 5, 100, p, nullptr);
        if (p >= 81 && p <= 84) SetStatusText("Mountain growth...");
    }

    SetStatusText("Snowing...");
    field.reset();
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<ReliefMapParams> kReliefMapUnit = {
    .name = "Relief Map",
    .panelTitle = "Aerial View Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kReliefMapFields,
    .run = ReliefMap,
    .validate = [](ReliefMapParams& p, int, int) { return ReliefMapValidate(&p); },
    .wizard = [](ReliefMapParams& p, const CDADC&,
                 AreaSelection& selection) { ReliefMapAutoChoose(&p, &selection); },
};
