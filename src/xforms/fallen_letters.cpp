#include "xforms/fallen_letters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/numbers.h"
#include "util/utf8.h"

// --- the parameter block ---------------------------------------------------------

namespace {

constexpr int kCountMin = 100;
constexpr int kCountMax = 1000;
constexpr double kSizeMin = 1.0;  // percent of Out's width
constexpr double kSizeMax = 8.0;

constexpr ParamChoice kColourModes[] = {
    {kLettersSingleSolid, "Single Solid"},
    {kLettersBasedOnImage, "Based on Image"},
    {kLettersRandom, "Random"},
};

constexpr ParamChoice kBackgroundChoices[] = {
    {0, "&Solid color"},
    {1, "&Image"},
};

// OK refuses to leave both switches clear, before any other check.
constexpr char kOneSwitch[] = "You must choose at least one of\nIntensity Size";

constexpr Field<FallenLettersParams> kFallenLettersFields[] = {
    Declare<&FallenLettersParams::wizardChooses>(
        {"wizardChooses", "&Wizard Chooses", ParamKind::Flag}),
    Declare<&FallenLettersParams::letters>(
        {.name = "letters", .label = "Letters:", .kind = ParamKind::Text, .min = 1}),
    // The edit takes 0..4000 when the panel closes; the value is then held
    // to the trackbar's range.
    Declare<&FallenLettersParams::count>({.name = "count",
                                          .label = "Total Number of Letters",
                                          .kind = ParamKind::Int,
                                          .min = kCountMin,
                                          .max = kCountMax,
                                          .control = ParamControl::Slider,
                                          .editMin = 0,
                                          .editMax = 4000}),
    Declare<&FallenLettersParams::letterSize>({"letterSize",
                                               "Average Letter Size (% of x)",
                                               ParamKind::Real,
                                               kSizeMin,
                                               kSizeMax,
                                               {},
                                               ParamControl::Slider,
                                               "%6.2f"}),
    Declare<&FallenLettersParams::byIntensity>({.name = "byIntensity",
                                                .label = "&Intensity",
                                                .kind = ParamKind::Flag,
                                                .oneOfMessage = kOneSwitch}),
    Declare<&FallenLettersParams::bySize>(
        {.name = "bySize", .label = "&Size", .kind = ParamKind::Flag, .oneOfMessage = kOneSwitch}),
    Declare<&FallenLettersParams::colourMode>({.name = "colourMode",
                                               .label = "Letter Color",
                                               .kind = ParamKind::Choice,
                                               .choices = kColourModes,
                                               .control = ParamControl::List,
                                               .group = "Letter Color"}),
    // The one colour is of use only while the letters take it.
    Declare<&FallenLettersParams::letterColour>({.name = "letterColour",
                                                 .label = "Solid",
                                                 .kind = ParamKind::Colour,
                                                 .enabledBy = "colourMode",
                                                 .group = "Letter Color",
                                                 .enabledAt = kLettersSingleSolid}),
    Declare<&FallenLettersParams::background>({.name = "background",
                                               .label = "Solid",
                                               .kind = ParamKind::Background,
                                               .choices = kBackgroundChoices,
                                               .group = "Background color"}),
};

std::string_view TextOf(const char* text, std::size_t capacity) {
    return {text, strnlen(text, capacity)};
}

}  // namespace

// --- Validate -------------------------------------------------------------------------

int FallenLettersValidate(FallenLettersParams* params) {
    if (params == nullptr) return 0;
    // Blanks alone would draw nothing; the panel, recipe files and the
    // command line refuse them, a block filled by a program gets a letter.
    if (CountNonWhitespace(TextOf(params->letters, sizeof params->letters)) == 0) {
        std::memset(params->letters, 0, sizeof params->letters);
        params->letters[0] = 'A';
    }
    params->count = std::clamp(params->count, kCountMin, kCountMax);
    params->letterSize = HeldTo(params->letterSize, kSizeMin, kSizeMax);
    params->colourMode = std::clamp(params->colourMode, static_cast<int>(kLettersSingleSolid),
                                    static_cast<int>(kLettersRandom));
    return 1;
}

// --- Wizard ------------------------------------------------------------------------------

void FallenLettersAutoChoose(FallenLettersParams* params, AreaSelection* selection) {
    if (params == nullptr) return;
    // The picture under the letters 15 times in 100, else a random colour.
    params->background.RandomBackground(1.0, 15);
    params->colourMode = params->background.useImage ? kLettersBasedOnImage : RandomInt(0, 2);
    const bool invert = RandomChance();
    if (selection != nullptr) selection->invert = invert ? 1 : 0;
    do {
        params->byIntensity = RandomChance() ? 1 : 0;
        params->bySize = RandomChance() ? 1 : 0;
    } while (!params->byIntensity && !params->bySize);
    RandomColourPair(&params->letterColour, &params->background.colour);
    params->count = RandomInt(kCountMin, kCountMax);
    params->letterSize = RandomReal(kSizeMin, kSizeMax);
    // 'A' to 'z', the six signs between 'Z' and 'a' included.
    const int m = RandomInt(1, 10);
    std::memset(params->letters, 0, sizeof params->letters);
    for (int i = 0; i < m; ++i)
        params->letters[i] = static_cast<char>(RandomInt(65, 122));
}

// --- the run: letters ----------------------------------------------------------------------

namespace fallen_letters {

namespace {
// Characters 0x80..0x9F of the code page in Unicode (0 where it has none).
constexpr char16_t kAnsiHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

char AnsiOf(std::string_view character) {
    const long code = Utf8CodePoint(character);
    if ((code >= 0 && code < 0x80) || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (int i = 0; i < 32; ++i) {
        if (code > 0xFF && kAnsiHigh[i] == code) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::vector<char> Glyphs(const char* letters, std::size_t capacity) {
    std::vector<char> glyphs;
    for (const std::string_view character : Utf8Characters(TextOf(letters, capacity)))
        glyphs.push_back(AnsiOf(character));
    if (glyphs.empty()) glyphs.push_back('A');
    return glyphs;
}

int Height(int f, double base, bool bySize) {
    if (!bySize) return static_cast<int>(base);
    // Force 127 gives the base height, full force about twice it.
    return std::max(1, static_cast<int>(f * base * (1.0 / 127)));
}

int Shift(int angle, int cx) {
    return -static_cast<int>(std::cos(TwoPi * (1.0 / 360) * (angle + 45)) * cx);
}

}  // namespace fallen_letters

// --- the run ----------------------------------------------------------------------------

namespace {

// Letter c at (x, y) of Out, height pixels high, turned by angle degrees.
void DrawLetter(CDC* dc, LOGFONT& logFont, char c, int x, int y, int height, int angle) {
    logFont.lfHeight = height;
    logFont.lfEscapement = angle * 10;  // tenths of a degree
    // Measured with the font the context holds, not the letter's own.
    const int cx = dc->GetTextExtent(&c, 1).cx;
    const int dx = fallen_letters::Shift(angle, cx);
    CFont font;
    if (!font.CreateFontIndirect(&logFont)) return;
    CFont* previous = dc->SelectObject(&font);
    dc->TextOut(x + dx, y, &c, 1);
    if (previous != nullptr) dc->SelectObject(previous);
    font.DeleteObject();
}

}  // namespace

int FallenLetters(const FallenLettersParams* params, XformContext* ctx) {
    if (params == nullptr || ctx == nullptr || !IsContextValid(ctx)) return 0;
    const AreaSelection selection = ctx->Selection;
    const int w = ctx->In->width;
    const int h = ctx->In->height;
    const int W = ctx->Out->width;
    const int k = OutputScale(ctx);
    // Held to Validate's ranges for a block that skipped it: the count ends
    // the loop and divides the percent, the size must be a number.
    const int count = std::clamp(params->count, kCountMin, kCountMax);
    const double letterSize = HeldTo(params->letterSize, kSizeMin, kSizeMax);
    const std::vector<char> glyphs =
        fallen_letters::Glyphs(params->letters, sizeof params->letters);
    const int L = static_cast<int>(glyphs.size());

    SetPercent(ctx->Progress, 0, 5, 100, nullptr);
    SetStatusText(std::string(TextOf(params->letters, sizeof params->letters)).c_str());
    PaintBackground(ctx->Out, ctx->In, &params->background);
    const ForceField field = MakeForceField(ctx->In, &selection);
    if (!field) return 0;

    LOGFONT logFont{};
    std::strcpy(logFont.lfFaceName, "Arial");
    logFont.lfWeight = 400;

    CDC* dc = ctx->Out->pDC;
    const COLORREF savedColour = dc->SetTextColor(params->letterColour);
    const int savedMode = dc->SetBkMode(TRANSPARENT);
    const double base = letterSize * W * 0.01;  // Out pixels

    int n = 0;
    while (n < count) {
        const int x = RandomInt(0, w - 1);
        const int y = RandomInt(0, h - 1);
        const int f = ForceAt(field.get(), x, y, w);
        if (params->byIntensity) {
            const int t = RandomInt(0, 253);
            if (f < t) continue;
        }
        const int height = fallen_letters::Height(f, base, params->bySize != 0);
        const int angle = RandomInt(0, 359);
        const int letter = L >= 2 ? RandomInt(0, L - 1) : 0;
        if (params->colourMode == kLettersBasedOnImage) {
            dc->SetTextColor(JitterColour(ctx->In->pDC->GetPixel(x, y), 0.1));
        } else if (params->colourMode == kLettersRandom) {
            dc->SetTextColor(RandomColour());
        }
        DrawLetter(dc, logFont, glyphs[static_cast<std::size_t>(letter)], x * k, y * k, height,
                   angle);
        if (Stopped()) break;
        n = n + 1;
        SetPercent(ctx->Progress, 20, 100, n * 100 / count, nullptr);
    }

    SetPercent(ctx->Progress, 0, 100, 101, nullptr);
    SetStatusText("");
    dc->SetTextColor(savedColour);
    dc->SetBkMode(savedMode);
    return Stopped() ? 0 : 1;
}

// --- the unit --------------------------------------------------------------------------

constinit const XformUnit<FallenLettersParams> kFallenLettersUnit = {
    .name = "Fallen Letters",
    .panelTitle = "Fallen Letters Settings",
    .helpText = "F1 for help on this dialog",
    .fields = kFallenLettersFields,
    .run = FallenLetters,
    .validate = [](FallenLettersParams& p, int, int) { return FallenLettersValidate(&p); },
    .wizard = [](FallenLettersParams& p, const CDADC&,
                 AreaSelection& selection) { FallenLettersAutoChoose(&p, &selection); },
};
