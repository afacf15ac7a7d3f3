// Mad Painter: the picture repainted with thousands of curved brush strokes
// from a palette of ten random colours, each stroke in the palette colour
// nearest to the picture where it lies. The strokes run in one direction,
// towards a centre point or around it; madness makes their direction,
// width, length and bend irregular.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/mad_painter_params.h"
#include "xforms/xform_unit.h"

struct XformContext;

// Paints the strokes on ctx->Out. 1 when the picture was made; 0 on an
// invalid context or a stop.
int MadPainter(const MadPainterParams* params, XformContext* ctx);

// Holds every number to its declared range; always 1.
int MadPainterValidate(MadPainterParams* params);

// New random parameters; the centre point lands on the original of width x
// height pixels.
void MadPainterAutoChoose(MadPainterParams* params, int width, int height);

// The Xform as the recipe's registry sees it.
extern const XformUnit<MadPainterParams> kMadPainterUnit;

// The pieces of a run, exposed for the tests.
namespace mad_painter {

constexpr int kPaletteSize = 10;

// The index of the palette entry nearest to colour (the sum of the channel
// differences); the lower index wins a tie.
int NearestColour(const COLORREF (&palette)[kPaletteSize], COLORREF colour);

// One stroke: a cubic Bezier and the width of its pen, both in Out pixels.
struct Stroke {
    POINT points[4];
    int penWidth = 0;
};

// The stroke centred at p on an Out outWidth pixels wide, with centre the
// centre point on Out. Makes the stroke's seven random draws: direction,
// width, length and four for the control points.
Stroke StrokeAt(const MadPainterParams& params, POINT p, POINT centre, int outWidth);

}  // namespace mad_painter
