// Explode: hundreds or thousands of short traces flying outwards from the
// centre of the picture, like the sparks of an explosion. Each starts at a
// random point, runs away from the centre, widens towards its end, fades
// from a start colour to an end colour (fixed, or the picture's at its two
// ends) and may sag under gravity. No force field: the picture alone.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/explode_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;
class CDC;

// Draws the traces on ctx->Out. 1 when the picture was made, also after a
// stop (the traces drawn so far stay); 0 on an invalid context.
int Explode(const ExplodeParams* params, XformContext* ctx);

// Holds traces to 500..2500, gravity to 0..100, traceLength to 1.5..15.0
// and endWidth to 0.5..4.0; always 1.
int ExplodeValidate(ExplodeParams* params);

// New random colours, traces, gravity, sizes and background.
void ExplodeAutoChoose(ExplodeParams* params);

// The default background: a solid random colour, drawn from the calling
// thread's generator when the recipe is made.
void ExplodeDefaults(ExplodeParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<ExplodeParams> kExplodeUnit;

// The pieces of a run, exposed for the tests.
namespace explode {

// Sizes of a run over an In picture w x h drawn at quality k.
struct Sizes {
    int traces = 0;       // held to 500..2500
    double length = 0;    // of a trace before its random 0.7..1.0, In pixels, at least 5
    double endWidth = 0;  // of the pen at a trace's end, Out pixels
    double sag = 0;       // drop per segment, Out pixels
};
Sizes SizesOf(const ExplodeParams& params, int w, int h, int k);

// The end of a trace of the given length from (x, y), away from the centre
// (cx, cy); the centre itself flies to the right.
POINT EndOf(int x, int y, int cx, int cy, double length);

// A trace from start to end in ten segments, its pen 1 pixel wide at the
// start and endWidth + 1 at the end, fading from c0 to 90 % of the way to
// c1, each segment's end lowered by sag more than the one before.
void DrawTrace(CDC* dc, POINT start, POINT end, COLORREF c0, COLORREF c1, double endWidth,
               double sag);

}  // namespace explode
