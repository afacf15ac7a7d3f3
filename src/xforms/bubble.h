// Bubble: chains of soap bubbles, outlined circles with an optional
// highlight arc, rising from random places of the picture where the force
// field is strong. The background is a colour or the picture itself.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/bubble_params.h"

struct AreaSelection;
struct CFilSpec;
struct XformContext;
struct XformDecl;
class CDADC;

// Draws the bubbles on ctx->Out. 1 when the picture was made; 0 on an
// invalid context, a failed force field or a stop.
int Bubble(BubbleParams* params, XformContext* ctx);

// Holds count to 100..5000, size to 0.5..3.0 and highlightPosition to
// 1100..1108; always 1.
int BubbleValidate(BubbleParams* params);

// New random parameters; selection (may be null) gets a random invert flag.
void BubbleAutoChoose(BubbleParams* params, AreaSelection* selection);

// The block's fields as the settings panel, the command line and recipe
// files see them.
extern const XformDecl kBubbleDecl;

// The block's operations as the Xform registry calls them.
int BubbleRunOp(CFilSpec& filSpec);
int BubbleValidateOp(CFilSpec& filSpec, int width, int height);
void BubbleWizardOp(CFilSpec& filSpec, const CDADC& original);

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
