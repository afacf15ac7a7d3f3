// Wood: the picture redrawn as a piece of wood. The force field is cut into
// repeating contour bands, each painted in one of the four colours of a wood
// type, so that the shapes of the picture show as grain rings; then short
// dark saw strokes are scattered over the most common band, all parallel,
// all pointing at a hidden centre, or all running round it.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/wood_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Draws the wood on ctx->Out. 1 when the picture was made; 0 on an invalid
// context, when the force field or the band map cannot be made, or after a
// stop.
int Wood(const WoodParams* params, XformContext* ctx);

// Holds strokes to 1..10000, grainWidth to 8..64 and strokeAngle to
// 0..3.14159; a woodType that is not in the table becomes 0. Always 1.
int WoodValidate(WoodParams* params);

// New random parameters; the grain follows a smoothed field, so selection
// (the recipe's) gets a smoothing of 2..5.
void WoodAutoChoose(WoodParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<WoodParams> kWoodUnit;

// The pieces of a run, exposed for the tests.
namespace wood {

struct WoodType {
    const char* name;
    int count;            // colours used, from the first
    COLORREF colours[8];  // 0x00BBGGRR
};

// The panel lists them in this order; woodType indexes it.
inline constexpr WoodType kWoodTypes[] = {
    {"Legno05", 4, {0x294069, 0x476897, 0x6287B3, 0x46618E}},
    {"Pav03", 4, {0x1F3D57, 0x2F5772, 0x315979, 0x15416C}},
    {"Legno04", 4, {0x082A87, 0x0F399E, 0x0E44AE, 0x134FBA}},
    {"Mahogany", 4, {0x202D83, 0x332D6E, 0x090C2B, 0x15134F}},
    {"Walnut", 4, {0x20332A, 0x35356B, 0x323988, 0x38699B}},
    {"Radica", 4, {0x0D1631, 0x1135A2, 0x124CD5, 0x0E66ED}},
    {"Pav07", 4, {0x64A0F6, 0x5FA5F6, 0x2E72C8, 0x3674BC}},
};

// The band (0..n - 1) of force f when the colours cycle every grainWidth
// force levels; grainWidth is held to 8..64 first.
int BandOf(int force, int grainWidth, int n);

// The band with the largest count, the first of a tie.
int MainBand(const int* counts, int n);

// The angle of a saw stroke at (x, y) of Out for a saw centre (cx, cy).
double StrokeAngle(const WoodParams& params, int x, int y, int cx, int cy);

}  // namespace wood
