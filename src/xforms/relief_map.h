// Relief Map: the force field read as a height map and painted as a
// landscape seen from the air, water below the sea level, lowland, hills,
// rock and snow above the snow line, lit from the top edge, with darker
// dots sprinkled on the land. Fixed earth colours or five random ones.
#pragma once

#include "engine/area_selection.h"
#include "surface/gdi_types.h"
#include "xforms/relief_map_params.h"
#include "xforms/xform_unit.h"

struct XformContext;
class CDADC;

// Draws the map on ctx->Out. 1 when it was drawn to the end; 0 when the
// context is invalid, the force field cannot be made (the canvas untouched
// then) or a stop cut the run short.
int ReliefMap(const ReliefMapParams* params, XformContext* ctx);

// 1 when seaLevel <= hillLevel <= rockLevel <= snowLine; otherwise says so
// and gives 0. Changes nothing.
int ReliefMapValidate(const ReliefMapParams* params);

// New random levels in order and the colour scheme; the recipe's stored
// selection (may be null) is smoothed, so the heights run smoothly.
void ReliefMapAutoChoose(ReliefMapParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<ReliefMapParams> kReliefMapUnit;

// The pieces of a run, exposed for the tests.
namespace relief_map {

enum Terrain { kWater, kLowland, kHill, kSlope, kRock, kSnow };

// The points between the levels where hills turn to rock and shading sets in.
struct Midpoints {
    int m1 = 0;  // between sea and hill: lowland below it is never shaded
    int m2 = 0;  // between hill and rock: lowland and hills above it are fully shaded
    int m3 = 0;  // m2 computed from the other side: hills end here
    int m4 = 0;  // between rock and snow: rock begins here
};
Midpoints MidpointsOf(const ReliefMapParams& params);

// The terrain of force f; for a slope *t (may be null) is how far it has
// risen from hill (0) to rock (1).
Terrain TerrainOf(const ReliefMapParams& params, const Midpoints& m, int f, double* t);

// The colour of terrain at force f lit from above, fAbove the force of the
// pixel above it.
COLORREF ShadeRelief(Terrain terrain, int f, int fAbove, COLORREF colour, const Midpoints& m);

}  // namespace relief_map
