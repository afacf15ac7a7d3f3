#include "xforms/old_film.h"

#include <algorithm>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kDirtinessMin = 0;
constexpr int kDirtinessMax = 100;  // 4 specks each

constexpr Field<OldFilmParams> kOldFilmFields[] = {
    Declare<&OldFilmParams::wizardChooses>({"wizardChooses", "&Wizard Chooses", ParamKind::Flag}),
    Declare<&OldFilmParams::dirtiness>({.name = "dirtiness",
                                        .label = "Dirtiness of film",
                                        .kind = ParamKind::Int,
                                        .min = kDirtinessMin,
                                        .max = kDirtinessMax,
                                        .control = ParamControl::Slider,
                                        .editMin = -1000,
                                        .editMax = 1000}),
    Declare<&OldFilmParams::sprockets>({"sprockets", "Sprockets", ParamKind::Flag}),
    Declare<&OldFilmParams::processingErrors>(
        {"processingErrors", "Film processiong errors", ParamKind::Flag}),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int OldFilmValidate(OldFilmParams* params) {
    if (params == nullptr) return 0;
    params->dirtiness = std::clamp(params->dirtiness, kDirtinessMin, kDirtinessMax);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void OldFilmAutoChoose(OldFilmParams* params) {
    if (params == nullptr) return;
    params->dirtiness = RandomInt(kDirtinessMin, kDirtinessMax);
    params->sprockets = RandomChance() ? 1 : 0;
    params->processingErrors = RandomChance() ? 1 : 0;
}

// --- the run: sprocket holes -----------------------------------------------------------

namespace {

// The column of holes in a band, in Out pixels.
struct SprocketHoles {
    int height = 0;  // of a hole
    int gap = 0;     // between two holes
    int margin = 0;  // from the band's edges, and the size of the rounded corners
    int count = 0;   // holes per band
    int top = 0;     // of the first hole
};

SprocketHoles SprocketHolesOf(int band, int outHeight) {
    SprocketHoles holes;
    holes.height = std::max(band / 3, 2);
    holes.gap = std::max(holes.height / 2, 2);
    holes.margin = band / 5;
    holes.count = outHeight / (holes.height + holes.gap) + 1;
    holes.top = holes.gap / 2;
    return holes;
}

}  // namespace

void DrawSprocketHoles(CDC* dc, int band, int outWidth, int outHeight) {
    if (dc == nullptr) return;
    const SprocketHoles holes = SprocketHolesOf(band, outHeight);
    const int m = holes.margin;
    int top = holes.top;
    for (int i = 0; i < holes.count; ++i) {
        dc->RoundRect(m, top, band - m, top + holes.height, m, m);
        dc->RoundRect(outWidth - band + m, top, outWidth - m, top + holes.height, m, m);
        top = top + holes.height + holes.gap;
    }
}

// --- the run ----------------------------------------------------------------------------

namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kWhite = 0xFFFFFF;

COLORREF Grey(int v) {
    return RGB(v, v, v);
}

// Each pixel of In a k x k block of Out in the grey of its force.
void Develop(const XformContext& ctx, const BYTE* field, int k) {
    SetStatusText("Developing...");
    CDC* dc = ctx.Out->pDC;
    const int w = ctx.In->width;
    const int h = ctx.In->height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            dc->FillSolidRect(x * k, y * k, k, k, Grey(ForceAt(field, x, y, w)));
        SetPercent(ctx.Progress, 10, 70, 100 * y / h, nullptr);
        if (Stopped()) break;
    }
}

// White or black bands down both sides, with holes in the other colour.
void Sprockets(CDC* dc, int band, int ow, int oh, CPen** pen, CBrush** brush) {
    const bool white = RandomChance();
    const COLORREF strip = white ? kWhite : kBlack;
    const COLORREF hole = white ? kBlack : kWhite;
    dc->FillSolidRect(0, 0, band, oh, strip);
    // The width given is the right edge's x: the strip runs off the canvas,
    // which clips it to the band.
    dc->FillSolidRect(ow - band, 0, ow, oh, strip);
    // One pixel at every quality: the holes' outlines stay hairlines.
    SetPenAndBrush(pen, PS_SOLID, 1, hole, brush, hole, dc);
    DrawSprocketHoles(dc, band, ow, oh);
}

// Hairs, scratches and dust, 4 specks per step of dirtiness, each in a
// random grey outside the side bands.
void Dirt(const XformContext& ctx, int count, int band, int k, CPen** pen, CBrush** brush) {
    CDC* dc = ctx.Out->pDC;
    const int ow = ctx.Out->width;
    const int oh = ctx.Out->height;
    // Dust keeps the width of the last hair or scratch.
    int penWidth = k;
    for (int i = 0; i < count; ++i) {
        const int x = RandomInt(band, ow - band);
        const int y = RandomInt(0, oh - 1);
        if (RandomInt(0, 100) > 95) {
            // A hair: part of an ellipse up to 30 k across.
            const int a = RandomInt(4 * k, 30 * k);
            const int b = RandomInt(4 * k, 30 * k);
            const int startX = x + RandomInt(-a, a);
            const int startY = y + RandomInt(-a, a);
            const int endX = x + RandomInt(-a, a);
            const int endY = y + RandomInt(-a, a);
            const int v = RandomInt(16, 64);
            penWidth = RandomInt(ow / 550, ow / 300);
            SetPenAndBrush(pen, PS_SOLID, penWidth, Grey(v), brush, kBlack, dc);
            dc->Arc(x - a / 2, y - b / 2, x + a / 2, y + b / 2, startX, startY, endX, endY);
        } else if (RandomInt(0, 100) > 60) {
            // A scratch up to 8 k long each way.
            penWidth = RandomInt(ow / 550, ow / 300);
            const int v = RandomInt(16, 128);
            const int reach = 8 * k;
            const int endX = x + RandomInt(-reach, reach);
            const int endY = y + RandomInt(-reach, reach);
            SetPenAndBrush(pen, PS_SOLID, penWidth, Grey(v), brush, kBlack, dc);
            dc->MoveTo(x, y);
            dc->LineTo(endX, endY);
        } else {
            // Dust; of radius 0 (on canvases under 1550 pixels) it leaves no mark.
            const int r = RandomInt(ow / 1550, ow / 500);
            const int v = RandomInt(16, 128);
            SetPenAndBrush(pen, PS_SOLID, penWidth, Grey(v), brush, Grey(v), dc);
            dc->Ellipse(x - r, y - r, x + r, y + r);
        }
        SetPercent(ctx.Progress, 75, 100, 100 * i / count, nullptr);
        if (Stopped()) break;
    }
}

}  // namespace

int OldFilm(const OldFilmParams* params, XformContext* ctx) {
    if (params == nullptr || !IsContextValid(ctx)) return 0;
    const int k = OutputScale(ctx);
    const int ow = ctx->Out->width;
    const int oh = ctx->Out->height;
    const int band = ow / 10;
    // Held to Validate's range, so that a block that skipped it still ends.
    const int count = 4 * std::clamp(params->dirtiness, kDirtinessMin, kDirtinessMax);

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText("Filming...");
    // The recipe's own selection stays as it is.
    AreaSelection selection = ctx->Selection;
    if (params->processingErrors != 0) {
        selection.Randomise();
        selection.SetSmoothing(RandomInt(0, 2));
    }
    ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) return 0;
    SetPercent(ctx->Progress, 0, 5, 100, nullptr);

    Develop(*ctx, field.get(), k);

    CDC* dc = ctx->Out->pDC;
    CGdiObject* savedPen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* savedBrush = dc->GetCurrentObject(OBJ_BRUSH);
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    if (params->sprockets != 0) Sprockets(dc, band, ow, oh, &pen, &brush);
    SetPenAndBrush(&pen, PS_SOLID, k, kBlack, &brush, kBlack, dc);
    Dirt(*ctx, count, band, k, &pen, &brush);

    RestorePenAndBrush(dc, savedPen, savedBrush, &pen, &brush);
    field.reset();
    SetStatusText("");
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<OldFilmParams> kOldFilmUnit = {
    .name = "Old Film",
    .panelTitle = "Old Film Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kOldFilmFields,
    .run = OldFilm,
    .validate = [](OldFilmParams& p, int, int) { return OldFilmValidate(&p); },
    .wizard = [](OldFilmParams& p, const CDADC&, AreaSelection&) { OldFilmAutoChoose(&p); },
};
