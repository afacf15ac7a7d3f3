// Banya: the picture as a tiled bath-house wall. A grid of diamonds, one per
// cell, blends between a background colour and its opposite by the force
// field; a second grid of diamonds on the cell corners alternates between an
// odd and an even colour in a chequer, and each corner diamond carries a
// small square or ellipse in a shape colour.
#pragma once

#include "xforms/banya_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Paints the whole of ctx->Out. 1 when the picture was made; 0 on an invalid
// context, a failed force field or a stop.
int Banya(const BanyaParams* params, XformContext* ctx);

// Holds shapeMode to 1..3, shapeSize to 0.4..0.8 and squares to 10..100;
// always 1.
int BanyaValidate(BanyaParams* params);

// New random parameters, with squares at most a tenth of pictureWidth where
// that can be found in 100 draws.
void BanyaAutoChoose(BanyaParams* params, int pictureWidth);

// The Xform as the recipe's registry sees it.
extern const XformUnit<BanyaParams> kBanyaUnit;

// The pieces of a run, exposed for the tests.
namespace banya {

// The rows of cells for squares cells across a picture w x h: as many as
// keep the cells about square, never fewer than 3 nor more than h (beyond 3).
int Rows(int squares, int w, int h);

}  // namespace banya
