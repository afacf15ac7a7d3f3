#include "xforms/velmira_tonkart.h"

#include <algorithm>
#include <vector>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kPanelsMin = 1;
constexpr int kPanelsMax = 8;
constexpr int kInksMin = 2;
constexpr int kInksMax = 5;
constexpr int kSplodgeMin = 0;
constexpr int kSplodgeMax = 6;

// An integer trackbar with a tick at every value, whose edit checks the
// same range when the panel closes.
constexpr ParamField Count(const char* name, const char* label, int min, int max) {
    return {.name = name,
            .label = label,
            .kind = ParamKind::Int,
            .min = static_cast<double>(min),
            .max = static_cast<double>(max),
            .control = ParamControl::Slider,
            .editMin = min,
            .editMax = max,
            .tickStep = 1};
}

constexpr Field<VelmiraTonkartParams> kVelmiraTonkartFields[] = {
    Declare<&VelmiraTonkartParams::wizardChooses>(
        {"wizardChooses", "&Wizard chooses", ParamKind::Flag}),
    Declare<&VelmiraTonkartParams::columns>(
        Count("columns", "Horizontal images", kPanelsMin, kPanelsMax)),
    Declare<&VelmiraTonkartParams::rows>(Count("rows", "Vertical images", kPanelsMin, kPanelsMax)),
    Declare<&VelmiraTonkartParams::splodge>(Count("splodge", "Splodge", kSplodgeMin, kSplodgeMax)),
    Declare<&VelmiraTonkartParams::inks>(Count("inks", "Number of inks", kInksMin, kInksMax)),
};

}  // namespace

// --- Validate -------------------------------------------------------------------------

int VelmiraTonkartValidate(VelmiraTonkartParams* params) {
    if (params == nullptr) return 0;
    // Fewer than 2 inks print a flat picture or nothing at all, and a
    // negative splodge would count no pixels in its box.
    *params = velmira_tonkart::Held(*params);
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void VelmiraTonkartAutoChoose(VelmiraTonkartParams* params) {
    if (params == nullptr) return;
    params->columns = RandomInt(kPanelsMin, kPanelsMax);
    // Mostly as many panels down as across.
    if (RandomInt(0, 100) < 90)
        params->rows = params->columns;
    else
        params->rows = RandomInt(kPanelsMin, kPanelsMax);
    params->splodge = RandomInt(kSplodgeMin, kSplodgeMax);
}

// --- the run: tones and inks -------------------------------------------------------------

namespace velmira_tonkart {

VelmiraTonkartParams Held(const VelmiraTonkartParams& params) {
    VelmiraTonkartParams held = params;
    held.columns = std::clamp(params.columns, kPanelsMin, kPanelsMax);
    held.rows = std::clamp(params.rows, kPanelsMin, kPanelsMax);
    held.inks = std::clamp(params.inks, kInksMin, kInksMax);
    held.splodge = std::clamp(params.splodge, kSplodgeMin, kSplodgeMax);
    return held;
}

std::array<BYTE, 256> InkOfTone(int smallest, int largest, int inks) {
    const int range = largest - smallest;
    std::array<BYTE, 256> ink{};
    for (int v = 0; v < 256; ++v) {
        int l = 0;
        while (l < inks && smallest + range * (l + 1) / inks < v)
            ++l;
        ink[static_cast<std::size_t>(v)] = static_cast<BYTE>(l < inks ? l : inks / 2);
    }
    return ink;
}

}  // namespace velmira_tonkart

// --- the run ----------------------------------------------------------------------------

namespace {

// The first pixel of panel i of n across length pixels; the panel ends
// where panel i + 1 starts, so panels differ by one pixel at most.
int PanelStart(int i, int n, int length) {
    return i * length / n;
}

// One row of the splodge: the integer mean of the (2 radius + 1)^2 box of
// tones around each pixel, clipped at the picture's edges. columnSums holds,
// for each column, the sum of the tones of the box's boxRows rows.
void SplodgeRow(const std::size_t* columnSums, int boxRows, int width, int radius, BYTE* levels) {
    // The column sums from x - radius to x + radius, slid along the row.
    std::size_t sum = 0;
    for (int x = 0; x < std::min(radius, width); ++x)
        sum += columnSums[x];
    for (int x = 0; x < width; ++x) {
        if (x + radius < width) sum += columnSums[x + radius];
        if (x - radius - 1 >= 0) sum -= columnSums[x - radius - 1];
        const int boxColumns = std::min(x + radius, width - 1) - std::max(x - radius, 0) + 1;
        levels[x] = static_cast<BYTE>(sum / static_cast<std::size_t>(boxColumns * boxRows));
    }
}

// Each panel's inks: palettes[column][row][ink].
using Palettes = std::array<std::array<std::array<COLORREF, kInksMax>, kPanelsMax>, kPanelsMax>;

}  // namespace

int VelmiraTonkart(const VelmiraTonkartParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr) return 0;
    const AreaSelection selection = ctx->Selection;
    if (!IsContextValid(ctx)) return 0;
    // Held here too, for a recipe that skipped Validate.
    const VelmiraTonkartParams p = velmira_tonkart::Held(*params);
    const CDADC& in = *ctx->In;
    CDADC& out = *ctx->Out;
    const int w = in.width;
    const int h = in.height;
    const int k = OutputScale(ctx);
    const int W = w * k;
    const int H = h * k;
    const auto at = [w](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
               static_cast<std::size_t>(x);
    };

    SetStatusText("Lirra Lirra...");
    SetPercent(ctx->Progress, 0, 100, 0, nullptr);
    const std::size_t size = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    const std::unique_ptr<BYTE[]> levels = AllocateWorkBytes(size);
    if (!levels) return 0;

    // Tones: the weight of every pixel under the selection (squared with
    // smoothing 0), reading the pixels GetPixel would give.
    SetStatusText("Creating...");
    std::unique_ptr<BYTE[]> tones = AllocateWorkBytes(size);
    if (!tones) return 0;
    int smallest = 10241024;
    int largest = -1;
    for (int y = 0; y < h; ++y) {
        const BYTE* pixel = in.Row(y);
        for (int x = 0; x < w; ++x, pixel += 3) {
            const int weight = selection.WeightOf(RGB(pixel[2], pixel[1], pixel[0]));
            tones[at(x, y)] = static_cast<BYTE>(weight);
            smallest = std::min(smallest, weight);
            largest = std::max(largest, weight);
        }
        if (Stopped()) break;
        SetPercent(ctx->Progress, 0, 25, y * 100 / h, nullptr);
    }
    if (largest == smallest) {
        if (!Stopped()) {
            ErrorBox(
                "Velmira Tonkart needs a picture of more than one tone;\n"
                "under the area selection every pixel of this one weighs the same.");
        }
        return 0;
    }

    // Splodge: a box mean over the tones, the box's column sums moving down
    // a row at a time.
    SetStatusText("Splodging...");
    const int radius = p.splodge;
    std::vector<std::size_t> columnSums(static_cast<std::size_t>(w), 0);
    const auto addRow = [&](int y) {
        for (int x = 0; x < w; ++x)
            columnSums[static_cast<std::size_t>(x)] += tones[at(x, y)];
    };
    const auto removeRow = [&](int y) {
        for (int x = 0; x < w; ++x)
            columnSums[static_cast<std::size_t>(x)] -= tones[at(x, y)];
    };
    for (int y = 0; y < std::min(radius, h); ++y)
        addRow(y);
    for (int y = 0; y < h; ++y) {
        if (y + radius < h) addRow(y + radius);
        if (y - radius - 1 >= 0) removeRow(y - radius - 1);
        const int boxRows = std::min(y + radius, h - 1) - std::max(y - radius, 0) + 1;
        SplodgeRow(columnSums.data(), boxRows, w, radius, &levels[at(0, y)]);
        if (Stopped()) break;
        SetPercent(ctx->Progress, 25, 50, y * 100 / h, nullptr);
    }
    tones.reset();

    // Quantise. A stop ends the row it comes in, and so every row after it:
    // their means stay, and the painting skips those of them that are no ink.
    const std::array<BYTE, 256> ink = velmira_tonkart::InkOfTone(smallest, largest, p.inks);
    for (int y = 0; y < h; ++y) {
        BYTE* level = &levels[at(0, y)];
        for (int x = 0; x < w; ++x) {
            if (Stopped()) break;
            level[x] = ink[level[x]];
        }
        SetPercent(ctx->Progress, 50, 75, y * 100 / h, nullptr);
    }

    // Palettes: inks colours for every panel, down each column of panels in turn.
    Palettes palettes{};
    for (int c = 0; c < p.columns; ++c)
        for (int r = 0; r < p.rows; ++r)
            for (int l = 0; l < p.inks; ++l)
                palettes[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]
                        [static_cast<std::size_t>(l)] = RandomColour();

    // Paint every panel with the whole picture, squeezed by columns across
    // and rows down. Out's bytes are written as SetPixel would write them.
    const int panels = p.columns * p.rows;
    int done = 0;
    bool stop = false;
    for (int r = 0; r < p.rows && !stop; ++r) {
        const int y0 = PanelStart(r, p.rows, H);
        const int y1 = PanelStart(r + 1, p.rows, H);
        for (int c = 0; c < p.columns && !stop; ++c) {
            const int x0 = PanelStart(c, p.columns, W);
            const int x1 = PanelStart(c + 1, p.columns, W);
            const auto& palette =
                palettes[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
            for (int y = y0; y < y1; ++y) {
                const int sy = (p.rows * (y - y0) / k) % h;
                const BYTE* source = &levels[at(0, sy)];
                BYTE* pixel = out.Row(y) + static_cast<std::size_t>(x0) * 3;
                for (int x = x0; x < x1; ++x, pixel += 3) {
                    const int l = source[((x - x0) * p.columns / k) % w];
                    if (l >= p.inks) break;
                    const COLORREF colour = palette[static_cast<std::size_t>(l)];
                    pixel[0] = static_cast<BYTE>(GetBValue(colour));
                    pixel[1] = static_cast<BYTE>(GetGValue(colour));
                    pixel[2] = static_cast<BYTE>(GetRValue(colour));
                }
            }
            ++done;
            SetPercent(ctx->Progress, 75, 100, done * 100 / panels, nullptr);
            stop = Stopped();
        }
    }

    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    return 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<VelmiraTonkartParams> kVelmiraTonkartUnit = {
    .name = "Velmira Tonkart",
    .panelTitle = "Velmira Tonkart Settings",
    .helpText = "F1 for help with Pockel",
    .fields = kVelmiraTonkartFields,
    .run = VelmiraTonkart,
    .validate = [](VelmiraTonkartParams& p, int, int) { return VelmiraTonkartValidate(&p); },
    .wizard = [](VelmiraTonkartParams& p, const CDADC&,
                 AreaSelection&) { VelmiraTonkartAutoChoose(&p); },
};
