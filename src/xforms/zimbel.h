// Zimbel: the picture repainted as a mosaic of irregular, slightly
// overlapping four-sided colour patches on a regular grid. Each patch takes
// the picture's colour at its centre, varied at random, and some get a
// smaller inner patch in a close shade. The patches are laid in four random
// layers, so that the overlaps vary. No force field: the picture alone.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/xform_unit.h"
#include "xforms/zimbel_params.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Draws the patches on ctx->Out. 1 when the picture was made, also after a
// stop (the patches drawn so far stay); 0 on an invalid context, or when
// the grid cannot be made (which also requests a stop of the generation).
int Zimbel(const ZimbelParams* params, XformContext* ctx);

// Holds strokes to 10..50; always 1.
int ZimbelValidate(ZimbelParams* params);

// New random strokes, colour freedom and background.
void ZimbelAutoChoose(ZimbelParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<ZimbelParams> kZimbelUnit;

// The pieces of a run, exposed for the tests.
namespace zimbel {

// The grid of a canvas width x height with strokes patches a row.
struct Layout {
    int columns = 0;  // strokes, held to 10..50
    int rows = 0;
    int cell = 0;  // the side of a cell, Out pixels
};
Layout LayoutOf(int strokes, int width, int height);

// The centre of cell (column, row), Out pixels.
POINT CentreOf(const Layout& layout, int column, int row, int width, int height);

// For tests: the calling thread's next `count` allocations of grid rows
// (and of the row table) succeed and the ones after fail; a negative count
// lifts the limit.
void LimitGridAllocations(int count);

}  // namespace zimbel
