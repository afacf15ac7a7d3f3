#include "xforms/star_dust.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kStarsMin = 100;
constexpr int kStarsMax = 8000;
constexpr double kThresholdMin = 90.0;  // percent of the full force
constexpr double kThresholdMax = 100.0;

constexpr Field<StarDustParams> kStarDustFields[] = {
    Declare<&StarDustParams::stars>({.name = "stars",
                                     .label = "# Stars",
                                     .kind = ParamKind::Int,
                                     .min = kStarsMin,
                                     .max = kStarsMax,
                                     .control = ParamControl::Slider,
                                     .editMin = 10,
                                     .editMax = 32000}),
    Declare<&StarDustParams::spikeThreshold>({"spikeThreshold",
                                              "Spike Thresh(%)",
                                              ParamKind::Real,
                                              kThresholdMin,
                                              kThresholdMax,
                                              {},
                                              ParamControl::Slider,
                                              "%6.2f"}),
    Declare<&StarDustParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int StarDustValidate(StarDustParams* params) {
    if (params == nullptr) return 0;
    params->stars = std::clamp(params->stars, kStarsMin, kStarsMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void StarDustAutoChoose(StarDustParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->stars = RandomInt(kStarsMin, kStarsMax);
    params->spikeThreshold = RandomReal(kThresholdMin, kThresholdMax);
    // Drawn even without a selection to turn, so that the draws stay in step.
    const bool invert = RandomChance();
    if (selection) selection->invert = invert ? 1 : 0;
}

// --- the run: sizes -------------------------------------------------------------------------

namespace star_dust {

namespace {
thread_local int allocationsLeft = -1;
}  // namespace

void LimitStarAllocations(int count) {
    allocationsLeft = count;
}

Sizes SizesOf(const StarDustParams& params, int width, int height, int k) {
    Sizes s;
    // Held to Validate's range, so that a block that skipped it can neither
    // ask for a huge allocation nor never finish placing its stars.
    s.stars = std::clamp(params.stars, kStarsMin, kStarsMax);
    // The program has always scaled percent to force by this double, one
    // step above 2.55: a threshold of 100 gives exactly 255. The threshold is
    // not validated: out of range it is held to where it makes no difference
    // (every force exceeds -1, none exceeds 255; NaN: no spikes).
    const double threshold = params.spikeThreshold * 2.5500000000000003;
    if (std::isnan(threshold) || threshold >= 255.0)
        s.threshold = 255;
    else
        s.threshold = threshold <= -1.0 ? -1 : static_cast<int>(threshold);
    const double diagonal =
        std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height);
    s.diagonal = k * static_cast<int>(diagonal);
    s.maxSpike = 3 * s.diagonal / 200;
    s.maxSize = 2 * s.diagonal / 200;
    s.spikeBudget = (255 - s.threshold) * s.stars / 255;
    return s;
}

}  // namespace star_dust

// --- the run: drawing -------------------------------------------------------------------------

namespace {

using star_dust::Sizes;
using star_dust::Star;

constexpr COLORREF kBlack = 0;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kStarWhite = 0xFFFAFA;  // a touch of blue in the spikes
constexpr int kGlowPasses = 6;
constexpr int kGlowStep = 18;  // level added per pass

COLORREF Blue(int level) {
    return static_cast<COLORREF>(level) << 16;
}

// Zeroed records; null when memory is short (or a test says so).
std::unique_ptr<Star[]> AllocateStars(int count) {
    int& left = star_dust::allocationsLeft;
    if (left == 0) return nullptr;
    if (left > 0) --left;
    return std::unique_ptr<Star[]>(new (std::nothrow) Star[static_cast<size_t>(count)]());
}

// A faint blue haze after the field, one k x k block per pixel of In,
// written straight into Out's bytes (blue, green, red).
void BackgroundEnergy(const XformContext& ctx, const BYTE* field, int k) {
    CDADC& out = *ctx.Out;
    const int width = ctx.In->width;
    const int height = ctx.In->height;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const int v = ForceAt(field, x, y, width) * 40 / 100;
            if (v <= 0) continue;
            for (int row = y * k; row < y * k + k; ++row) {
                BYTE* p = out.Row(row) + 3 * static_cast<size_t>(x) * static_cast<size_t>(k);
                for (int i = 0; i < k; ++i, p += 3) {
                    p[0] = static_cast<BYTE>(v);
                    p[1] = 0;
                    p[2] = 0;
                }
            }
        }
        if (Stopped()) break;
        SetPercent(ctx.Progress, 5, 40, 100 * x / width, nullptr);
    }
}

// Places the stars, a place kept with chance (force + 1) / 254.
void Coalescence(const XformContext& ctx, const BYTE* field, const Sizes& s, int k, Star* stars) {
    SetStatusText("Coallesce...");
    const int width = ctx.In->width;
    const int height = ctx.In->height;
    int spiked = 0;
    int placed = 0;
    while (placed < s.stars) {
        const int x = RandomInt(0, width - 1);
        const int y = RandomInt(0, height - 1);
        const int f = ForceAt(field, x, y, width);
        if (RandomInt(0, 253) > f) continue;

        Star& star = stars[placed];
        star.level = f * 40 / 100;
        star.x = k * x;
        star.y = k * y;
        if (spiked < s.spikeBudget && f > s.threshold) {
            star.spike = RandomInt(2, s.maxSpike);
            ++spiked;
        } else {
            star.spike = 0;
        }
        star.size = s.maxSize * f / 255;

        if (Stopped()) break;
        ++placed;
        SetPercent(ctx.Progress, 40, 50, 100 * placed / s.stars, nullptr);
    }
}

// Pass p draws, in blue 18 p, the discs of radius 6 size / (p + 1) of the
// stars dimmer than that blue: smaller and brighter rings pass by pass.
void StarBirth(const XformContext& ctx, const Star* stars, int count, CPen** pen, CBrush** brush) {
    SetStatusText("Star birth...");
    CDC* dc = ctx.Out->pDC;
    for (int p = 0; p < kGlowPasses; ++p) {
        const int level = kGlowStep * p;
        SetPenAndBrush(pen, PS_SOLID, 1, Blue(level), brush, Blue(level), dc);
        for (int i = 0; i < count; ++i) {
            const Star& star = stars[i];
            if (star.size >= 1 && star.level < level) {
                const int radius = 6 * star.size / (p + 1);
                dc->Ellipse(star.x - radius, star.y - radius, star.x + radius, star.y + radius);
            }
            SetPercent(ctx.Progress, 50, 90, 100 * i / (6 * count) + 100 * p / 6, nullptr);
            if (Stopped()) break;
        }
    }
}

// Every star a white point, or a four-pointed star when it has spikes.
void Mystification(const XformContext& ctx, const Star* stars, int count, int k, CPen** pen,
                   CBrush** brush) {
    CDC* dc = ctx.Out->pDC;
    SetPenAndBrush(pen, PS_SOLID, 1, kStarWhite, brush, kStarWhite, dc);
    SetStatusText("Mystification...");
    for (int i = 0; i < count; ++i) {
        const Star& star = stars[i];
        const int x = star.x;
        const int y = star.y;
        // Rays are whole multiples of k; one shorter than k (2 or 3 at k = 4)
        // would make a polygon of one point, which draws nothing: such a
        // star is stamped as a point instead of vanishing.
        const int s = (star.spike / k) * k;
        if (s != 0) {
            const int q = s / 6;
            const POINT rays[8] = {{x, y - s}, {x + q, y - q}, {x + s, y}, {x + q, y + q},
                                   {x, y + s}, {x - q, y + q}, {x - s, y}, {x - q, y - q}};
            dc->Polygon(rays, 8);
        } else if (k > 1) {
            dc->FillSolidRect((x / k) * k, (y / k) * k, k, k, kWhite);
        } else {
            dc->SetPixel(x, y, kWhite);
        }
        if (Stopped()) break;
        SetPercent(ctx.Progress, 90, 100, 100 * i / count, nullptr);
    }
}

}  // namespace

int StarDust(const StarDustParams* params, XformContext* ctx) {
    if (params == nullptr) return 0;
    const int k = OutputScale(ctx);
    if (!IsContextValid(ctx)) return 0;
    const Sizes sizes = star_dust::SizesOf(*params, ctx->In->width, ctx->In->height, k);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Big banging...");
    ForceField field = MakeForceField(ctx->In, &ctx->Selection);
    if (!field) return 0;
    std::unique_ptr<Star[]> stars = AllocateStars(sizes.stars);
    if (!stars) {
        ErrorBox("Could not create memory for the stars ");
        return 0;
    }
    CDC* dc = ctx->Out->pDC;
    dc->FillSolidRect(0, 0, ctx->Out->width, ctx->Out->height, kBlack);

    SetStatusText("Background energy...");
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;

    BackgroundEnergy(*ctx, field.get(), k);
    Coalescence(*ctx, field.get(), sizes, k, stars.get());
    StarBirth(*ctx, stars.get(), sizes.stars, &pen, &brush);
    Mystification(*ctx, stars.get(), sizes.stars, k, &pen, &brush);

    stars.reset();
    field.reset();
    RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
    SetPercent(ctx->Progress, 0, 100, 100, nullptr);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<StarDustParams> kStarDustUnit = {
    .name = "StarDust",
    .panelTitle = "StarDust Xform Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kStarDustFields,
    .run = StarDust,
    .validate = [](StarDustParams& p, int, int) { return StarDustValidate(&p); },
    .wizard = [](StarDustParams& p, const CDADC&,
                 AreaSelection& selection) { StarDustAutoChoose(&p, &selection); },
};
