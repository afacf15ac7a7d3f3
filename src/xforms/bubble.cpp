#include "xforms/bubble.h"

#include <algorithm>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"
#include "xforms/highlight_choices.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kCountMin = 100;
constexpr int kCountMax = 5000;
constexpr double kSizeMin = 0.5;  // percent of Out's width
constexpr double kSizeMax = 3.0;

constexpr ParamChoice kBackgroundChoices[] = {
    {0, "Solid color"},
    {1, "Image"},
};

constexpr Field<BubbleParams> kBubbleFields[] = {
    Declare<&BubbleParams::count>({.name = "count",
                                   .label = "# Bubbles",
                                   .kind = ParamKind::Int,
                                   .min = kCountMin,
                                   .max = kCountMax,
                                   .control = ParamControl::Slider,
                                   .editMin = 10,
                                   .editMax = 60000}),
    Declare<&BubbleParams::size>({"size",
                                  "Size (% of x)",
                                  ParamKind::Real,
                                  kSizeMin,
                                  kSizeMax,
                                  {},
                                  ParamControl::Slider,
                                  "%6.2f"}),
    Declare<&BubbleParams::bubbleColour>({"bubbleColour", "Foreground", ParamKind::Colour}),
    Declare<&BubbleParams::background>({.name = "background",
                                        .label = "Select",
                                        .kind = ParamKind::Background,
                                        .choices = kBackgroundChoices,
                                        .group = "Background"}),
    Declare<&BubbleParams::highlightPosition>({.name = "highlightPosition",
                                               .label = "High Lighting",
                                               .kind = ParamKind::Choice,
                                               .min = kHighlightOff,
                                               .max = kHighlightLeft,
                                               .choices = kHighlightChoices,
                                               .group = "High Lighting",
                                               .columns = 3}),
    // No arc is drawn while the position is "Off", so its colour is off too.
    Declare<&BubbleParams::highlightColour>({.name = "highlightColour",
                                             .label = "High Light Color",
                                             .kind = ParamKind::Colour,
                                             .enabledBy = "highlightPosition",
                                             .disabledAt = kHighlightOff,
                                             .group = "High Lighting"}),
    Declare<&BubbleParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int BubbleValidate(BubbleParams* params) {
    if (params == nullptr) return 0;
    params->count = std::clamp(params->count, kCountMin, kCountMax);
    params->size = HeldTo(params->size, kSizeMin, kSizeMax);
    params->highlightPosition =
        std::clamp(params->highlightPosition, static_cast<int>(kHighlightOff),
                   static_cast<int>(kHighlightLeft));
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void BubbleAutoChoose(BubbleParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    params->count = RandomInt(kCountMin, kCountMax);
    params->highlightPosition = RandomInt(kHighlightTopLeft, kHighlightLeft);
    COLORREF opposite = 0;
    RandomColourPair(&params->bubbleColour, &opposite);
    params->background.useImage = 0;
    params->background.colour = ScaleColour(opposite, 0.25);
    params->highlightColour = ScaleColour(RandomColour(), 2.0);
    params->size = RandomReal(0.5, 1.5);
    // Drawn even without a selection to turn, so that the draws stay in step.
    const bool invert = RandomChance();
    if (selection) selection->invert = invert ? 1 : 0;
}

// --- the run: geometry ------------------------------------------------------------------

namespace bubble {

double RadiusOf(const BubbleParams& params, int outWidth) {
    // Held to Validate's range: a block that skipped it must not give a
    // radius that is not a number or overflows the circle's box.
    return HeldTo(params.size, kSizeMin, kSizeMax) * outWidth * 0.005;
}

bool ArcEnds(int highlightPosition, const RECT& box, POINT* start, POINT* end) {
    const LONG l = box.left, t = box.top, r = box.right, b = box.bottom;
    POINT s{}, e{};
    switch (highlightPosition) {
        case kHighlightTopLeft:
            s = {r, t}, e = {l, b};
            break;
        case kHighlightTop:
            s = {r, t}, e = {l, t};
            break;
        case kHighlightTopRight:
            s = {r, b}, e = {l, t};
            break;
        case kHighlightRight:
            s = {r, b}, e = {r, t};
            break;
        case kHighlightBottomRight:
            s = {l, b}, e = {r, t};
            break;
        case kHighlightBottom:
            s = {l, b}, e = {r, b};
            break;
        case kHighlightBottomLeft:
            s = {l, t}, e = {r, b};
            break;
        case kHighlightLeft:
            s = {l, t}, e = {l, b};
            break;
        default:
            return false;
    }
    if (start) *start = s;
    if (end) *end = e;
    return true;
}

int FirstStep(double radius, int k) {
    return static_cast<int>(radius * 2.0 / k + 1.0);
}

}  // namespace bubble

// --- the run: drawing ----------------------------------------------------------------------

namespace {

struct Run {
    const BYTE* field;
    int w;  // In's width: the field's
    int k;
    double radius;  // Out pixels
    int highlightPosition;
    CDC* dc;
    CPen* bubblePen;
    CPen* highlightPen;
};

// One chain rising from (x, y) of In while the force stays at or above t;
// the number of bubbles drawn.
int Chain(const Run& run, int x, int y, int t) {
    const int k = run.k;
    const int cx = x * k;
    int row = y;
    int drawn = 0;
    int step = bubble::FirstStep(run.radius, k);
    if (RandomChance()) step = step * 2;
    for (;;) {
        int r = static_cast<int>(RandomReal(0.9, 1.1) * run.radius);
        if (r < k) r = k;
        const RECT box = {cx - r, row * k - r, cx + r, row * k + r};
        run.dc->SelectObject(run.bubblePen);
        run.dc->Ellipse(box.left, box.top, box.right, box.bottom);
        POINT start, end;
        if (bubble::ArcEnds(run.highlightPosition, box, &start, &end)) {
            run.dc->SelectObject(run.highlightPen);
            run.dc->Arc(box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y);
        }
        row = row - step;
        ++drawn;
        if (row < 0) break;
        step = step + 2;
        if (ForceAt(run.field, x, row, run.w) < t) break;
    }
    return drawn;
}

}  // namespace

int Bubble(const BubbleParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr) return 0;
    const AreaSelection selection = ctx->Selection;
    if (!IsContextValid(ctx)) return 0;
    const int k = OutputScale(ctx);
    const double radius = bubble::RadiusOf(*params, ctx->Out->width);
    // Held to Validate's range, so that a block that skipped it still ends
    // and its percent cannot overflow.
    const int count = std::clamp(params->count, kCountMin, kCountMax);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Analysing soap...");
    ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) return 0;

    SetPercent(ctx->Progress, 0, 10, 100, nullptr);
    PaintBackground(ctx->Out, ctx->In, &params->background);
    SetStatusText("Blowing bubbles...");

    CDC* dc = ctx->Out->pDC;
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    CPen bubblePen(PS_SOLID, k, params->bubbleColour);
    CPen highlightPen(PS_SOLID, k, params->highlightColour);
    dc->SelectStockObject(NULL_BRUSH);

    const Run run = {field.get(), ctx->In->width, k, radius, params->highlightPosition, dc,
                     &bubblePen,  &highlightPen};
    const int w = ctx->In->width;
    const int h = ctx->In->height;
    int n = 0;
    while (n < count) {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const int f = ForceAt(field.get(), x, y, w);
        const int t = RandomInt(0, 253);
        if (t > f) continue;
        n = n + Chain(run, x, y, t);
        if (Stopped()) break;
        n = n + 1;
        SetPercent(ctx->Progress, 10, 100, ((n - 1) * 4 + 4) * 25 / count, nullptr);
    }

    field.reset();
    dc->SelectObject(savedPen);
    dc->SelectObject(savedBrush);
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<BubbleParams> kBubbleUnit = {
    .name = "Bubble",
    .panelTitle = "Bubble Xform settings",
    .helpText = "F1 for help on this dialog",
    .fields = kBubbleFields,
    .run = Bubble,
    .validate = [](BubbleParams& p, int, int) { return BubbleValidate(&p); },
    .wizard = [](BubbleParams& p, const CDADC&,
                 AreaSelection& selection) { BubbleAutoChoose(&p, &selection); },
};
