// What the Xforms share: random numbers and colours, colour arithmetic,
// pens and brushes, the background, the context check and two geometric
// helpers. Everything random draws from the calling thread's CrtRand, so the
// order of draws inside each routine is part of every picture.
#pragma once

#include <cstddef>

#include "surface/cdadc.h"
#include "surface/dc.h"
#include "surface/gdi_objects.h"
#include "surface/gdi_types.h"

struct XformContext;

// The program has always used this value of pi; pictures depend on it.
constexpr double kPi = 3.14159;
constexpr double TwoPi = kPi * 2;
constexpr double HalfPi = kPi * 0.5;
constexpr double RootTwo = 1.4142135623730951;  // sqrt(2), correctly rounded

// --- random numbers ---------------------------------------------------------

// lo..hi, each value possible, hi + 1 never.
int RandomInt(int lo, int hi);
// lo..hi, both ends included.
double RandomReal(double lo, double hi);
// One RandomInt (1, 100) draw: true a little under half the time.
bool RandomChance();

// --- colours (COLORREF: 0x00BBGGRR) ------------------------------------------

// Draws red, green, blue.
COLORREF RandomColour();
// Draws green, blue, red for colour; opposite is OppositeColour (colour).
void RandomColourPair(COLORREF* colour, COLORREF* opposite);
// Hue turned half way round, saturation and value mirrored.
COLORREF OppositeColour(COLORREF c);
// Each channel times a random factor in 1 - f .. 1 + f (red, green, blue);
// f outside 0..1 leaves the colour as it is and draws nothing.
COLORREF JitterColour(COLORREF c, double f);
// f of a and 1 - f of b.
COLORREF BlendColours(double f, COLORREF a, COLORREF b);
COLORREF ScaleColour(COLORREF c, double f);
// A channel value truncated toward zero and held to 0..255 (NaN gives 0).
int ChannelFromDouble(double x);

// Channels 0..1 to hue (degrees, 0 <= h < 360), saturation and value 0..1.
void RgbToHsv(double r, double g, double b, double* h, double* s, double* v);
// Hexcone conversion: hue in degrees (one turn either side of 0..360 is
// tolerated), saturation and value 0..1, to channels 0..1.
void HsvToRgb(double h, double s, double v, double* r, double* g, double* b);

// --- background ------------------------------------------------------------------

struct Background {
    COLORREF colour = 0;
    int useImage = 0;  // nonzero: the original picture instead of the colour

    // imagePercent: the chance in percent of laying the picture under the
    // drawing; factor scales the random colour otherwise.
    void RandomBackground(double factor, int imagePercent);
    bool operator==(const Background&) const = default;
};

// The background colour over the whole of out, or in stretched onto out.
void PaintBackground(CDADC* out, const CDADC* in, const Background* bg);

// Row y of colours (width of them) painted on out as k rows of k-pixel
// blocks: what one FillSolidRect (x k, y k, k, k) per pixel paints.
void PaintBlockRow(CDADC& out, int y, int k, const COLORREF* colours, int width);

// --- context ---------------------------------------------------------------------

// In, Out and Draw set and Out k times In's size with k 1, 2 or 4.
bool IsContextValid(const XformContext* context);
// k, or 1 when the sizes do not give a usable k.
int OutputScale(const XformContext* context);

// --- geometry --------------------------------------------------------------------

struct CentredLine {
    int x = 0;  // the centre
    int y = 0;
    double angle = 0.0;  // radians, 0 points down the y axis
    int length = 0;      // pixels
};

void DrawCentredLine(const CentredLine* line, CDC* dc);
// Radians; the x difference is taken p0 - p1.
double AngleBetween(POINT p0, POINT p1);

// --- pens and brushes -------------------------------------------------------------

// Makes and selects a new pen and solid brush, stores them through pen and
// brush, and deletes the ones these held before (null the first time).
void SetPenAndBrush(CPen** pen, int penStyle, int penWidth, COLORREF penColour, CBrush** brush,
                    COLORREF brushColour, CDC* dc);
// The end of a drawing: selects back what the context held before the first
// SetPenAndBrush (taken with GetCurrentObject) and deletes the last pen and
// brush, leaving both pointers null.
void RestorePenAndBrush(CDC* dc, CGdiObject* savedPen, CGdiObject* savedBrush, CPen** pen,
                        CBrush** brush);

// --- force field -------------------------------------------------------------------

// The weight at (x, y) of a field width pixels wide; no bounds check.
inline int ForceAt(const BYTE* field, int x, int y, int width) {
    return field[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
}
