#include "xforms/wood.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kStrokesMin = 1;  // the loop always makes one try
constexpr int kStrokesMax = 10000;
constexpr int kGrainMin = 8;  // force levels per colour cycle
constexpr int kGrainMax = 64;
constexpr int kWoodTypeCount = static_cast<int>(std::size(wood::kWoodTypes));

constexpr bool EveryTypeHasTwoColours() {
    for (const wood::WoodType& type : wood::kWoodTypes)
        if (type.count < 2 || type.count > 8) return false;
    return true;
}
// The saw's first draws repeat until one differs from the main band: a wood
// of one colour would never end them.
static_assert(EveryTypeHasTwoColours());

constexpr auto kWoodTypeChoices = [] {
    std::array<ParamChoice, std::size(wood::kWoodTypes)> choices{};
    for (std::size_t i = 0; i < choices.size(); ++i)
        choices[i] = {static_cast<int>(i), wood::kWoodTypes[i].name};
    return choices;
}();

constexpr ParamChoice kDirectionChoices[] = {
    {kWoodStrokesParallel, "Parallel"},
    {kWoodStrokesToCentre, "Radial"},
    {kWoodStrokesRoundCentre, "Round"},
};

constexpr Field<WoodParams> kWoodFields[] = {
    Declare<&WoodParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&WoodParams::grainWidth>({.name = "grainWidth",
                                      .label = "Grain Width",
                                      .kind = ParamKind::Int,
                                      .min = kGrainMin,
                                      .max = kGrainMax,
                                      .control = ParamControl::Slider,
                                      .editMin = 1,
                                      .editMax = kGrainMax,
                                      .lowEndLabel = "Min",
                                      .highEndLabel = "Max"}),
    Declare<&WoodParams::woodType>({.name = "woodType",
                                    .label = "Wood Type",
                                    .kind = ParamKind::Choice,
                                    .min = 0,
                                    .max = kWoodTypeCount - 1,
                                    .choices = kWoodTypeChoices,
                                    .control = ParamControl::List}),
    Declare<&WoodParams::strokes>({.name = "strokes",
                                   .label = "Saw strokes",
                                   .kind = ParamKind::Int,
                                   .min = kStrokesMin,
                                   .max = kStrokesMax,
                                   .control = ParamControl::None}),
    Declare<&WoodParams::strokeDirection>({.name = "strokeDirection",
                                           .label = "Stroke direction",
                                           .kind = ParamKind::Choice,
                                           .min = kWoodStrokesParallel,
                                           .max = kWoodStrokesRoundCentre,
                                           .choices = kDirectionChoices,
                                           .control = ParamControl::None}),
    Declare<&WoodParams::strokeAngle>({.name = "strokeAngle",
                                       .label = "Stroke angle (radians)",
                                       .kind = ParamKind::Real,
                                       .min = 0.0,
                                       .max = kPi,
                                       .control = ParamControl::None}),
};

// A type that is not in the table is the first.
const wood::WoodType& TypeOf(int woodType) {
    return wood::kWoodTypes[woodType >= 0 && woodType < kWoodTypeCount ? woodType : 0];
}

}  // namespace

// --- Validate -------------------------------------------------------------------------

int WoodValidate(WoodParams* params) {
    if (params == nullptr) return 0;
    if (params->woodType < 0 || params->woodType >= kWoodTypeCount) params->woodType = 0;
    // Not held by the panel nor the Wizard, but a recipe file or the command
    // line can bring any number: a grain width of 0 divides by 0, strokes of
    // 0 divide the percent by 0, and an angle that is not a number cannot
    // be drawn.
    params->grainWidth = std::clamp(params->grainWidth, kGrainMin, kGrainMax);
    params->strokes = std::clamp(params->strokes, kStrokesMin, kStrokesMax);
    params->strokeAngle = HeldTo(params->strokeAngle, 0.0, kPi);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void WoodAutoChoose(WoodParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->strokes = RandomInt(320, 1000);
    params->grainWidth = RandomInt(kGrainMin, kGrainMax);
    params->strokeDirection = RandomInt(kWoodStrokesParallel, kWoodStrokesRoundCentre);
    params->strokeAngle = RandomReal(0.0, kPi);
    params->woodType = RandomInt(0, kWoodTypeCount - 1);
    // Drawn even without a selection to turn, so that the draws stay in step.
    const int smoothing = RandomInt(2, 5);
    if (selection != nullptr) selection->SetSmoothing(smoothing);
}

// --- the run: bands and strokes -----------------------------------------------------------

namespace wood {

int BandOf(int force, int grainWidth, int n) {
    const int g = std::clamp(grainWidth, kGrainMin, kGrainMax);
    return ((force % g) * n) / g;
}

int MainBand(const int* counts, int n) {
    int best = -99;
    int band = 0;
    for (int i = 0; i < n; ++i) {
        if (counts[i] > best) {
            best = counts[i];
            band = i;
        }
    }
    return band;
}

double StrokeAngle(const WoodParams& params, int x, int y, int cx, int cy) {
    const POINT stroke = {x, y};
    const POINT centre = {cx, cy};
    switch (params.strokeDirection) {
        case kWoodStrokesToCentre:
            return AngleBetween(stroke, centre) + HalfPi;
        case kWoodStrokesRoundCentre:
            return AngleBetween(stroke, centre);
        default:
            return HeldTo(params.strokeAngle, 0.0, kPi);
    }
}

}  // namespace wood

// --- the run ----------------------------------------------------------------------------

int Wood(const WoodParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);
    const wood::WoodType& type = TypeOf(params->woodType);
    const int n = type.count;
    // Held to Validate's range: a recipe that skipped it must neither divide
    // by 0 nor overflow the try limit.
    const int grainWidth = std::clamp(params->grainWidth, kGrainMin, kGrainMax);
    const int strokes = std::clamp(params->strokes, kStrokesMin, kStrokesMax);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Seeding...");
    ForceField field = MakeForceField(&in, &ctx->Selection);
    if (!field) return 0;
    SetPercent(ctx->Progress, 0, 10, 100, nullptr);

    const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::unique_ptr<BYTE[]> bands(new (std::nothrow) BYTE[pixels]());
    if (!bands) return 0;

    COLORREF palette[8] = {};
    const int start = RandomInt(0, n - 1);
    for (int i = 0; i < n; ++i)
        palette[i] = type.colours[(start + i) % n];

    // Growing the tree: every pixel takes the colour of its band.
    SetStatusText("Growing tree...");
    int count[8] = {};
    auto colours = std::make_unique<COLORREF[]>(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        BYTE* bandRow = bands.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            const int band = wood::BandOf(ForceAt(field.get(), x, y, w), grainWidth, n);
            colours[static_cast<std::size_t>(x)] = palette[band];
            bandRow[x] = static_cast<BYTE>(band);
            ++count[band];
        }
        PaintBlockRow(out, y, k, colours.get(), w);
        SetPercent(ctx->Progress, 10, 90, 100 * y / h, nullptr);
        if (Stopped()) break;
    }
    colours.reset();
    field.reset();
    SetStatusText("Sawing...");

    const int main = wood::MainBand(count, n);
    // These draws only move the sequence on; pictures depend on them.
    while (RandomInt(0, n - 1) == main && !Stopped()) {
    }

    CDC* dc = out.pDC;
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CPen sawPen(PS_SOLID, k == 4 ? 3 : 1, ScaleColour(palette[main], 0.5));
    dc->SelectObject(&sawPen);

    // The saw centre may lie well outside the canvas.
    const int cx = RandomInt(-w * k, 2 * w * k);
    const int cy = RandomInt(-h * k, 2 * h * k);

    std::fill(std::begin(count), std::end(count), 0);
    // Long enough for any stroke count, as strokes is held to 10000.
    const long long maxTries = 2000LL * strokes;
    long long tries = 0;
    int drawn = 1;
    // The end is tested after each try: strokes 1 still draws a stroke when
    // the first try hits the main band, and otherwise strokes - 1 at most.
    do {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const int band = bands[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                               static_cast<std::size_t>(x)];
        ++count[band];
        if (band == main) {
            CentredLine line;
            line.x = x * k;
            line.y = y * k;
            line.length = RandomInt(k, 5 * k);
            line.angle = wood::StrokeAngle(*params, line.x, line.y, cx, cy);
            DrawCentredLine(&line, dc);
            ++drawn;
            // With strokes 1 a hit makes drawn 2: the percent stops at 100.
            SetPercent(ctx->Progress, 90, 100, std::min(100, 100 * drawn / strokes), nullptr);
        }
        if (Stopped()) break;
        ++tries;
    } while (tries <= maxTries && drawn < strokes);

    bands.reset();
    dc->SelectObject(savedPen);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<WoodParams> kWoodUnit = {
    .name = "Wood",
    .panelTitle = "Wood Xform Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kWoodFields,
    .run = Wood,
    .validate = [](WoodParams& p, int, int) { return WoodValidate(&p); },
    .wizard = [](WoodParams& p, const CDADC&,
                 AreaSelection& selection) { WoodAutoChoose(&p, &selection); },
};
