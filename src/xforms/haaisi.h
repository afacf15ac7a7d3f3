// Haaisi: the picture repainted as concentric rings of small shapes round
// the centre of the canvas, dots or triangles pointing outwards or inwards,
// like an alien ornament. Each shape blends between two colours by the force
// field under it, its outline in the reverse blend.
#pragma once

#include "xforms/haaisi_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Paints the whole of ctx->Out. 1 when the picture was made; 0 on an invalid
// context, a failed force field or a stop.
int Haaisi(const HaaisiParams* params, XformContext* ctx);

// Holds detail to 15..40 and shapeMode to 0..2; always 1.
int HaaisiValidate(HaaisiParams* params);

// New random parameters.
void HaaisiAutoChoose(HaaisiParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<HaaisiParams> kHaaisiUnit;

// The pieces of a run, exposed for the tests.
namespace haaisi {

// The shapes on the ring between inner radius ri and outer radius ro (Out
// pixels) before the innermost ring's random count: 2 pi ri over the ring's
// width, so that the shapes stand about as far apart as the ring is wide.
int ShapesOnRing(double ri, double ro);

}  // namespace haaisi
