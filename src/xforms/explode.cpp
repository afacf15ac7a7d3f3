#include "xforms/explode.h"

#include <algorithm>
#include <cmath>

#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kTracesMin = 500;
constexpr int kTracesMax = 2500;
constexpr int kGravityMin = 0;  // ten-thousandths of In's height per segment
constexpr int kGravityMax = 100;
constexpr double kLengthMin = 1.5;  // percent of the half-diagonal
constexpr double kLengthMax = 15.0;
constexpr double kWidthMin = 0.5;  // percent of the half-diagonal
constexpr double kWidthMax = 4.0;

constexpr ParamChoice kBackgroundChoices[] = {
    {0, "Solid color"},
    {1, "Image"},
};

constexpr Field<ExplodeParams> kExplodeFields[] = {
    Declare<&ExplodeParams::wizardChooses>({"wizardChooses", "&Wizard Chooses", ParamKind::Flag}),
    Declare<&ExplodeParams::startFromImage>(
        {"startFromImage", "Start from Image", ParamKind::Flag}),
    Declare<&ExplodeParams::endFromImage>({"endFromImage", "End from Image", ParamKind::Flag}),
    Declare<&ExplodeParams::startColour>({.name = "startColour",
                                          .label = "Start Color",
                                          .kind = ParamKind::Colour,
                                          .enabledBy = "startFromImage",
                                          .disabledAt = 1}),
    Declare<&ExplodeParams::endColour>({.name = "endColour",
                                        .label = "End Color",
                                        .kind = ParamKind::Colour,
                                        .enabledBy = "endFromImage",
                                        .disabledAt = 1}),
    Declare<&ExplodeParams::background>({.name = "background",
                                         .label = "Select",
                                         .kind = ParamKind::Background,
                                         .choices = kBackgroundChoices,
                                         .group = "Background"}),
    Declare<&ExplodeParams::traces>({.name = "traces",
                                     .label = "Number of traces",
                                     .kind = ParamKind::Int,
                                     .min = kTracesMin,
                                     .max = kTracesMax,
                                     .control = ParamControl::Slider,
                                     .group = "Number of traces",
                                     .editMin = 100,
                                     .editMax = 30000}),
    Declare<&ExplodeParams::traceLength>({.name = "traceLength",
                                          .label = "Trace length",
                                          .kind = ParamKind::Real,
                                          .min = kLengthMin,
                                          .max = kLengthMax,
                                          .control = ParamControl::Slider,
                                          .group = "Trace length"}),
    Declare<&ExplodeParams::endWidth>({.name = "endWidth",
                                       .label = "Trace ending width",
                                       .kind = ParamKind::Real,
                                       .min = kWidthMin,
                                       .max = kWidthMax,
                                       .control = ParamControl::Slider,
                                       .group = "Trace ending width"}),
    Declare<&ExplodeParams::gravity>({.name = "gravity",
                                      .label = "Gravity effect",
                                      .kind = ParamKind::Int,
                                      .min = kGravityMin,
                                      .max = kGravityMax,
                                      .control = ParamControl::Slider,
                                      .group = "Gravity effect",
                                      .editMin = kGravityMin,
                                      .editMax = kGravityMax}),
};

}  // namespace

// --- defaults and Validate ----------------------------------------------------------------

// The default background is a random one, but always the same: drawn from a
// sequence of its own, so that making a recipe never moves the thread's
// generator (the Wizard's ideas would otherwise depend on how many recipes
// happened to be made before them).
void ExplodeDefaults(ExplodeParams* params) {
    if (params == nullptr) return;
    const unsigned saved = CrtState();
    CrtSrand(1);
    params->background.RandomBackground(1.0, 0);
    CrtSetState(saved);
}

int ExplodeValidate(ExplodeParams* params) {
    if (params == nullptr) return 0;
    // A recipe file or the command line can bring any number: past these
    // ranges a run can take hours, or its trace ends and pen widths leave
    // what a pixel position can hold.
    params->traces = std::clamp(params->traces, kTracesMin, kTracesMax);
    params->gravity = std::clamp(params->gravity, kGravityMin, kGravityMax);
    params->traceLength = HeldTo(params->traceLength, kLengthMin, kLengthMax);
    params->endWidth = HeldTo(params->endWidth, kWidthMin, kWidthMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void ExplodeAutoChoose(ExplodeParams* params) {
    if (params == nullptr) return;
    RandomColourPair(&params->startColour, &params->endColour);
    params->startColour = ScaleColour(params->startColour, 1.5);
    params->endColour = ScaleColour(params->endColour, 1.5);
    // At least one end always comes from the picture.
    params->startFromImage = RandomChance() ? 1 : 0;
    params->endFromImage = params->startFromImage != 0 ? (RandomChance() ? 1 : 0) : 1;
    params->traces = RandomInt(kTracesMin, kTracesMax);
    params->gravity = RandomInt(kGravityMin, kGravityMax);
    params->traceLength = RandomReal(kLengthMin, kLengthMax);
    params->endWidth = RandomReal(kWidthMin, kWidthMax);
    params->background.RandomBackground(0.5, 50);
}

// --- the run: sizes and traces ------------------------------------------------------------

namespace explode {

Sizes SizesOf(const ExplodeParams& params, int w, int h, int k) {
    Sizes s;
    // Held to Validate's ranges, for a recipe that skipped it.
    s.traces = std::clamp(params.traces, kTracesMin, kTracesMax);
    const int gravity = std::clamp(params.gravity, kGravityMin, kGravityMax);
    const double traceLength = HeldTo(params.traceLength, kLengthMin, kLengthMax);
    const double endWidth = HeldTo(params.endWidth, kWidthMin, kWidthMax);
    const double diagonal = std::sqrt((h * 0.5) * (h * 0.5) + (w * 0.5) * (w * 0.5));
    s.length = std::max(5.0, traceLength * 0.01 * diagonal);
    s.endWidth = endWidth * k * diagonal * 0.01;
    s.sag = gravity * k * h * 0.0001;
    return s;
}

POINT EndOf(int x, int y, int cx, int cy, double length) {
    // atan2 (0, 0) is 0: to the right.
    const double a = std::atan2(static_cast<double>(y - cy), static_cast<double>(x - cx));
    return {static_cast<LONG>(std::cos(a) * length + x),
            static_cast<LONG>(std::sin(a) * length + y)};
}

void DrawTrace(CDC* dc, POINT start, POINT end, COLORREF c0, COLORREF c1, double endWidth,
               double sag) {
    const int dx = end.x - start.x;
    const int dy = end.y - start.y;
    const int dR = GetRValue(c1) - GetRValue(c0);
    const int dG = GetGValue(c1) - GetGValue(c0);
    const int dB = GetBValue(c1) - GetBValue(c0);
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    dc->MoveTo(start.x, start.y);

    int ax = dx, ay = dy;
    int aR = 0, aG = 0, aB = 0;
    double drop = 0.0;
    for (int s = 1; s <= 10; ++s) {
        const int width = static_cast<int>(s * endWidth / 10.0) + 1;
        const int x = ax / 10 + start.x;
        const int y = ay / 10 + static_cast<int>(drop) + start.y;
        const COLORREF colour =
            RGB((GetRValue(c0) + aR / 10) & 255, (GetGValue(c0) + aG / 10) & 255,
                (GetBValue(c0) + aB / 10) & 255);
        SetPenAndBrush(&pen, PS_SOLID, width, colour, &brush, colour, dc);
        dc->LineTo(x, y);
        drop = drop + sag;
        aR += dR, aG += dG, aB += dB;
        ax += dx, ay += dy;
    }
    RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
}

}  // namespace explode

// --- the run ----------------------------------------------------------------------------

int Explode(const ExplodeParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);

    SetPercent(ctx->Progress, 0, 100, 100, nullptr);
    SetStatusText("Stand well back...");
    PaintBackground(&out, &in, &params->background);

    const int cx = w / 2;
    const int cy = h / 2;
    const explode::Sizes sizes = explode::SizesOf(*params, w, h, k);
    COLORREF c0 = params->startColour;
    COLORREF c1 = params->endColour;
    for (int i = 0; i < sizes.traces; ++i) {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const POINT end = explode::EndOf(x, y, cx, cy, RandomReal(0.7, 1.0) * sizes.length);
        const int ex = end.x;
        const int ey = end.y;
        if (params->startFromImage) c0 = in.pDC->GetPixel(x, y);
        if (params->endFromImage) {
            // A trace that leaves the picture has no end colour: it is not
            // drawn, though its index and draws are used up.
            if (ex < 0 || ex >= w || ey < 0 || ey >= h) continue;
            c1 = in.pDC->GetPixel(ex, ey);
        }
        explode::DrawTrace(out.pDC, {k * x, k * y}, {k * ex, k * ey}, c0, c1, sizes.endWidth,
                           sizes.sag);
        SetPercent(ctx->Progress, 0, 100, i * 100 / sizes.traces, nullptr);
        if (Stopped()) break;
    }

    SetStatusText("");
    return 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<ExplodeParams> kExplodeUnit = {
    .name = "Explode",
    .panelTitle = "Explode Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kExplodeFields,
    .run = Explode,
    .validate = [](ExplodeParams& p, int, int) { return ExplodeValidate(&p); },
    .wizard = [](ExplodeParams& p, const CDADC&, AreaSelection&) { ExplodeAutoChoose(&p); },
    .defaults = [](ExplodeParams& p) { ExplodeDefaults(&p); },
};
