#include "xforms/mad_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kStrokesMin = 3000;
constexpr int kStrokesMax = 9000;
constexpr double kWidthMin = 1.0;  // percent of Out's width
constexpr double kWidthMax = 2.5;
constexpr double kLengthMin = 0.5;  // percent of Out's width
constexpr double kLengthMax = 8.0;
constexpr double kMadnessMax = 1.0;
constexpr int kModeFixed = 1;   // every stroke at angle
constexpr int kModeRadial = 2;  // towards the centre point
constexpr int kModeAround = 3;  // around it
// The centre in picture pixels: beyond any picture the program reads.
constexpr int kCentreMax = 100000;

constexpr ParamChoice kBackgroundChoices[] = {
    {0, "Solid color"},
    {1, "Image"},
};

constexpr Field<MadPainterParams> kMadPainterFields[] = {
    Declare<&MadPainterParams::wizardChooses>(
        {"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&MadPainterParams::strokes>({.name = "strokes",
                                         .label = "Number of brush strokes",
                                         .kind = ParamKind::Int,
                                         .min = kStrokesMin,
                                         .max = kStrokesMax,
                                         .control = ParamControl::Slider}),
    Declare<&MadPainterParams::strokeWidth>({.name = "strokeWidth",
                                             .label = "Average stroke width (% x dim.)",
                                             .kind = ParamKind::Real,
                                             .min = kWidthMin,
                                             .max = kWidthMax,
                                             .control = ParamControl::Slider}),
    Declare<&MadPainterParams::strokeLength>({.name = "strokeLength",
                                              .label = "Average stroke length (% x dim.)",
                                              .kind = ParamKind::Real,
                                              .min = kLengthMin,
                                              .max = kLengthMax,
                                              .control = ParamControl::Slider}),
    Declare<&MadPainterParams::madness>({.name = "madness",
                                         .label = "Madness of painter",
                                         .kind = ParamKind::Real,
                                         .min = 0.0,
                                         .max = kMadnessMax,
                                         .control = ParamControl::Slider}),
    Declare<&MadPainterParams::background>({.name = "background",
                                            .label = "Select",
                                            .kind = ParamKind::Background,
                                            .choices = kBackgroundChoices,
                                            .group = "Background"}),
    // The direction of the strokes has no control: the Wizard sets it.
    Declare<&MadPainterParams::directionMode>({.name = "directionMode",
                                               .label = "Direction",
                                               .kind = ParamKind::Int,
                                               .min = kModeFixed,
                                               .max = kModeAround,
                                               .control = ParamControl::None}),
    Declare<&MadPainterParams::angle>({.name = "angle",
                                       .label = "Angle",
                                       .kind = ParamKind::Real,
                                       .min = 0.0,
                                       .max = HalfPi,
                                       .control = ParamControl::None}),
    Declare<&MadPainterParams::centreX>({.name = "centreX",
                                         .label = "Centre x",
                                         .kind = ParamKind::Int,
                                         .min = 0,
                                         .max = kCentreMax,
                                         .control = ParamControl::None}),
    Declare<&MadPainterParams::centreY>({.name = "centreY",
                                         .label = "Centre y",
                                         .kind = ParamKind::Int,
                                         .min = 0,
                                         .max = kCentreMax,
                                         .control = ParamControl::None}),
};

// The block held to its declared ranges, for a run that may have skipped
// Validate: a huge stroke count would never end, and a madness or size
// that is not a number would make coordinates of nothing.
MadPainterParams Held(const MadPainterParams& params) {
    MadPainterParams p = params;
    p.strokes = std::clamp(p.strokes, kStrokesMin, kStrokesMax);
    p.strokeWidth = HeldTo(p.strokeWidth, kWidthMin, kWidthMax);
    p.strokeLength = HeldTo(p.strokeLength, kLengthMin, kLengthMax);
    p.madness = HeldTo(p.madness, 0.0, kMadnessMax);
    // A mode the run does not know paints as the fixed angle does.
    if (p.directionMode < kModeFixed || p.directionMode > kModeAround) p.directionMode = kModeFixed;
    p.angle = HeldTo(p.angle, 0.0, HalfPi);
    p.centreX = std::clamp(p.centreX, 0, kCentreMax);
    p.centreY = std::clamp(p.centreY, 0, kCentreMax);
    return p;
}

}  // namespace

// --- Validate -------------------------------------------------------------------------

int MadPainterValidate(MadPainterParams* params) {
    if (params == nullptr) return 0;
    *params = Held(*params);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void MadPainterAutoChoose(MadPainterParams* params, int width, int height) {
    if (params == nullptr) return;
    params->directionMode = RandomInt(kModeFixed, kModeAround);
    params->centreX = std::min(RandomInt(0, width), kCentreMax);
    params->centreY = std::min(RandomInt(0, height), kCentreMax);
    params->angle = RandomReal(0.0, kPi * 0.5);
    params->strokes = RandomInt(kStrokesMin, kStrokesMax);
    params->strokeWidth = RandomReal(kWidthMin, kWidthMax);
    params->strokeLength = RandomReal(kLengthMin, kLengthMax);
    params->madness = RandomReal(0.0, kMadnessMax);
    params->background.useImage = RandomInt(0, 100) > 80 ? 1 : 0;
    params->background.colour = ScaleColour(RandomColour(), 2.5);
}

// --- the run: colours and strokes ---------------------------------------------------------

namespace mad_painter {

int NearestColour(const COLORREF (&palette)[kPaletteSize], COLORREF colour) {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    int best = 640000;
    int nearest = 0;
    for (int i = 0; i < kPaletteSize; ++i) {
        const COLORREF c = palette[i];
        const int d =
            std::abs(r - GetRValue(c)) + std::abs(g - GetGValue(c)) + std::abs(b - GetBValue(c));
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

Stroke StrokeAt(const MadPainterParams& params, POINT p, POINT centre, int outWidth) {
    const double m = params.madness;
    double a = params.angle;
    if (params.directionMode == kModeRadial) {
        a = AngleBetween(p, centre) + kPi * 0.5 + params.angle;
    } else if (params.directionMode == kModeAround) {
        a = AngleBetween(p, centre) + params.angle;
    }
    a = a + RandomReal(0, m * 0.5);

    Stroke s;
    const int baseWidth = static_cast<int>(outWidth * params.strokeWidth * 0.01);
    s.penWidth = static_cast<int>((RandomReal(-m, m) * 0.5 + 1.0) * baseWidth);
    if (s.penWidth < 3) s.penWidth = 3;

    const int baseLength = static_cast<int>(outWidth * params.strokeLength * 0.01);
    int length = static_cast<int>((RandomReal(-m, m) * 0.5 + 1.0) * baseLength);
    if (length < 6) length = 6;

    const int hx = static_cast<int>(std::sin(a) * length * 0.5);
    const int hy = static_cast<int>(std::cos(a) * length * 0.5);
    const POINT p0 = {p.x + hx, p.y + hy};
    const POINT p3 = {p.x - hx, p.y - hy};

    // The bend is signed: strokes leaning one way bow to one side, the
    // others to the other, and a stroke with dx = -dy does not bow at all.
    const int dx = p3.x - p0.x;
    const int dy = p3.y - p0.y;
    const double bend = (dx + dy) * 0.5;
    s.points[0] = p0;
    for (int j = 1; j <= 2; ++j) {
        // 2/3 of the way for the first control point, 1/3 for the second.
        const double t = (3.0 - j) * (1.0 / 3.0);
        POINT c = {p0.x + static_cast<int>(dx * t), p0.y + static_cast<int>(dy * t)};
        c.x += static_cast<int>(RandomReal(-m, m) * bend);
        c.y += static_cast<int>(RandomReal(-m, m) * bend);
        s.points[j] = c;
    }
    s.points[3] = p3;
    return s;
}

}  // namespace mad_painter

// --- the run -------------------------------------------------------------------------------

namespace {

void Paint(CDC* dc, const mad_painter::Stroke& stroke, COLORREF colour) {
    CPen pen(PS_SOLID, stroke.penWidth, colour);
    CPen* previous = dc->SelectObject(&pen);
    dc->PolyBezier(stroke.points, 4);
    dc->SelectObject(previous);
}

}  // namespace

int MadPainter(const MadPainterParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const MadPainterParams p = Held(*params);
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);

    PaintBackground(&out, &in, &p.background);
    COLORREF palette[mad_painter::kPaletteSize];
    for (COLORREF& c : palette)
        c = RandomColour();
    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Drinking oh-ho...");

    const POINT centre = {p.centreX * k, p.centreY * k};
    for (int i = 0; i < p.strokes; ++i) {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const COLORREF source = in.pDC->GetPixel(x, y);
        const COLORREF colour =
            JitterColour(palette[mad_painter::NearestColour(palette, source)], 0.15);
        const POINT at = {x * k, y * k};
        Paint(out.pDC, mad_painter::StrokeAt(p, at, centre, out.width), colour);
        SetPercent(ctx->Progress, 5, 90, i * 100 / p.strokes, nullptr);
        if (StopRequested.load() != 0) return 0;
    }
    return 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<MadPainterParams> kMadPainterUnit = {
    .name = "Mad Painter",
    .panelTitle = "Mad Painter Settings",
    .helpText = "F1 for help with a mad painter",
    .fields = kMadPainterFields,
    .run = MadPainter,
    .validate = [](MadPainterParams& p, int, int) { return MadPainterValidate(&p); },
    .wizard = [](MadPainterParams& p, const CDADC& original,
                 AreaSelection&) { MadPainterAutoChoose(&p, original.width, original.height); },
};
