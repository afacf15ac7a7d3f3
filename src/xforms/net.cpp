#include "xforms/net.h"

#include <algorithm>
#include <climits>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kThreadsMin = 20;
constexpr int kThreadsMax = 200;

// In the list's sorted order.
constexpr ParamChoice kGeometryChoices[] = {
    {kNetGrid, "Grid"},
    {kNetHorizontal, "Horizontal"},
    {kNetVertical, "Vertical"},
};

constexpr ParamChoice kBackgroundChoices[] = {
    {0, "&Solid color"},
    {1, "&Image"},
};

constexpr Field<NetParams> kNetFields[] = {
    Declare<&NetParams::wizardChooses>({"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&NetParams::threads>({.name = "threads",
                                  .label = "Number of vertical threads",
                                  .kind = ParamKind::Int,
                                  .min = kThreadsMin,
                                  .max = kThreadsMax,
                                  .control = ParamControl::Slider,
                                  .editMin = kThreadsMin,
                                  .editMax = 2000}),
    Declare<&NetParams::geometry>({.name = "geometry",
                                   .label = "Geometry:",
                                   .kind = ParamKind::Choice,
                                   .choices = kGeometryChoices,
                                   .control = ParamControl::List}),
    Declare<&NetParams::threadBlur>({"threadBlur", "Thread &Blur", ParamKind::Flag}),
    Declare<&NetParams::threadColour>({"threadColour", "Foreground", ParamKind::Colour}),
    Declare<&NetParams::background>({.name = "background",
                                     .label = "Select",
                                     .kind = ParamKind::Background,
                                     .choices = kBackgroundChoices,
                                     .group = "Background"}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int NetValidate(NetParams* params) {
    if (params == nullptr) return 0;
    params->threads = std::clamp(params->threads, kThreadsMin, kThreadsMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void NetAutoChoose(NetParams* params, int width, int height) {
    if (params == nullptr) return;
    // No more threads than a tenth of the width and height together, if 200
    // tries find such a count; a picture too small for that keeps the last.
    for (int attempt = 0; attempt < 200; ++attempt) {
        params->threads = RandomInt(kThreadsMin, kThreadsMax);
        if (width + height >= 10 * params->threads) break;
    }
    params->background.useImage = RandomInt(0, 100) > 80 ? 1 : 0;
    params->background.colour = ScaleColour(RandomColour(), 0.5);
    params->threadColour = ScaleColour(RandomColour(), 3.0);
    if (RandomInt(0, 100) <= 33) {
        params->geometry = RandomChance() ? kNetHorizontal : kNetVertical;
    } else {
        params->geometry = kNetGrid;
    }
    params->threadBlur = RandomChance() ? 1 : 0;
}

// --- the run: the threads ---------------------------------------------------------------

namespace net {

Mesh MeshOf(int threads, int outWidth, int outHeight) {
    Mesh mesh;
    // Held to Validate's range: fewer than 2 threads would divide by zero
    // below, very many would never end.
    mesh.vertical = std::clamp(threads, kThreadsMin, kThreadsMax);
    // So that the mesh stays roughly square. On a tall, narrow canvas that
    // asks for more threads than the canvas has rows; the ones past a thread
    // per row only repeat one another, and the points along a vertical
    // thread likewise, so the count stops there and the picture is the same.
    const long long horizontal = static_cast<long long>(outHeight) * mesh.vertical / outWidth;
    const long long rows = std::max(static_cast<long long>(outHeight) + 1, 4LL);
    mesh.horizontal = static_cast<int>(std::clamp<long long>(horizontal, 4, rows));
    mesh.amp = std::max(outWidth / mesh.vertical, 2);
    return mesh;
}

namespace {

// Point i of n spread from 0 to the whole extent, both ends included.
int Spread(int extent, int i, int n) {
    return static_cast<int>(static_cast<long long>(extent) * i / (n - 1));
}

// The source pixel under Out position v: the last one for the far edge.
int SourceOf(int v, int k, int size) {
    const int s = v / k;
    return s >= size ? s - 1 : s;
}

// The push of the force f, up to amp: integer, multiplied first.
int Push(int amp, int f) {
    return amp * f / 255;
}

}  // namespace

void DrawThreads(CDC* dc, int outWidth, int outHeight, const BYTE* field, int width, int height,
                 const NetParams& params, int k, std::atomic<int>* progress, int lo, int hi) {
    const Mesh mesh = MeshOf(params.threads, outWidth, outHeight);
    const int nV = mesh.vertical;
    const int nH = mesh.horizontal;
    int mid = 0;

    if (params.geometry == kNetVertical || params.geometry == kNetGrid) {
        SetStatusText("Knotting...");
        mid = params.geometry == kNetGrid ? hi + (lo - hi) / 2 : hi;
        for (int i = 0; i < nV; ++i) {
            const int x0 = Spread(outWidth, i, nV);
            const int sx = SourceOf(x0, k, width);
            for (int j = 0; j < nH; ++j) {
                const int y = Spread(outHeight, j, nH);
                const int f = ForceAt(field, sx, SourceOf(y, k, height), width);
                const int x = x0 + Push(mesh.amp, f);
                if (y == 0) {
                    dc->MoveTo(x, y);
                } else {
                    dc->LineTo(x, y);
                }
            }
            SetPercent(progress, lo, mid, 100 * i / nV, nullptr);
            if (Stopped()) break;
        }
        mid = lo + (hi - lo) / 2;
    }
    if (Stopped()) return;

    if (params.geometry == kNetHorizontal || params.geometry == kNetGrid) {
        SetStatusText("Pulling...");
        const int start = params.geometry == kNetGrid ? mid : lo;
        for (int j = 0; j < nH; ++j) {
            const int y0 = Spread(outHeight, j, nH);
            const int sy = SourceOf(y0, k, height);
            for (int i = 0; i < nV; ++i) {
                const int x = Spread(outWidth, i, nV);
                const int f = ForceAt(field, SourceOf(x, k, width), sy, width);
                const int y = y0 + Push(mesh.amp, f);
                if (x == 0) {
                    dc->MoveTo(x, y);
                } else {
                    dc->LineTo(x, y);
                }
            }
            SetPercent(progress, start, hi, 100 * j / nH, nullptr);
            if (Stopped()) break;
        }
    }
}

}  // namespace net

// --- the run ----------------------------------------------------------------------------

namespace {

// One pass of the threads in a solid pen of that width and colour.
void Pass(XformContext* ctx, const BYTE* field, const NetParams& params, int k, int penWidth,
          COLORREF colour, int lo, int hi) {
    CDADC& out = *ctx->Out;
    CPen pen(PS_SOLID, penWidth, colour);
    CPen* previous = out.pDC->SelectObject(&pen);
    net::DrawThreads(out.pDC, out.width, out.height, field, ctx->In->width, ctx->In->height, params,
                     k, ctx->Progress, lo, hi);
    out.pDC->SelectObject(previous);
}

}  // namespace

int Net(const NetParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const AreaSelection selection = ctx->Selection;
    const int k = OutputScale(ctx);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Knitting...");
    const ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) return 0;
    PaintBackground(ctx->Out, ctx->In, &params->background);

    if (params->threadBlur) {
        // Half way to the background colour, even when the picture lies
        // under the net.
        const COLORREF shadow = BlendColours(0.5, params->threadColour, params->background.colour);
        Pass(ctx, field.get(), *params, k, 5 * k, shadow, 10, 55);
    }
    if (StopRequested.load() == 0)
        Pass(ctx, field.get(), *params, k, k, params->threadColour, 55, 100);

    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    return StopRequested.load() != 0 ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<NetParams> kNetUnit = {
    .name = "Net",
    .panelTitle = "Net settings",
    .helpText = "F1 for help with this dialog",
    .fields = kNetFields,
    .run = Net,
    .validate = [](NetParams& p, int, int) { return NetValidate(&p); },
    .wizard = [](NetParams& p, const CDADC& original,
                 AreaSelection&) { NetAutoChoose(&p, original.width, original.height); },
};
