// Bubble: chains of soap bubbles, outlined circles with an optional
// highlight arc, rising from random places of the picture where the force
// field is strong. The background is a colour or the picture itself.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/bubble_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Draws the bubbles on ctx->Out. 1 when the picture was made; 0 on an
// invalid context, a failed force field or a stop.
int Bubble(const BubbleParams* params, XformContext* ctx);

// Holds count to 100..5000, size to 0.5..3.0 and highlightPosition to
// 1100..1108; always 1.
int BubbleValidate(BubbleParams* params);

// New random parameters; selection (may be null) gets a random invert flag.
void BubbleAutoChoose(BubbleParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<BubbleParams> kBubbleUnit;

// The pieces of a run, exposed for the tests.
namespace bubble {

// The bubble radius on Out, in Out pixels, for an Out outWidth wide.
double RadiusOf(const BubbleParams& params, int outWidth);

// The start and end points of the highlight arc in the box L, T, R, B;
// false for "Off" and any value that is not a position.
bool ArcEnds(int highlightPosition, const RECT& box, POINT* start, POINT* end);

// The gap in In pixels between a chain's first two bubbles, before the
// chance of doubling it.
int FirstStep(double radius, int k);

}  // namespace bubble
