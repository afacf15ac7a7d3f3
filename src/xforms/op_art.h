// Op Art: an optical-art grid. The canvas is cut into square cells and each
// cell gets one figure, turned, sized or squeezed by the force field at its
// centre: a plain square drawn with a pen and brush, or a figure bitmap the
// user chose.
#pragma once

#include "xforms/op_art_params.h"
#include "xforms/xform_unit.h"

struct XformContext;
class CDADC;

// Draws the grid on ctx->Out. 1 when the picture was made; 0 on an invalid
// context, cells smaller than a pixel, a failed force field or a stop.
int OpArt(const OpArtParams* params, XformContext* ctx);

// Holds squaresAcross to 4..128, then lowers it until a cell of a picture
// width pixels wide is at least a pixel; always 1.
int OpArtValidate(OpArtParams* params, int width);

// New random parameters for a picture width pixels wide; always plain shapes.
void OpArtAutoChoose(OpArtParams* params, int width);

// Draws image turned counter-clockwise by angle (0..HalfPi) about its centre,
// centred on (cx, cy) of canvas, by three shears; ORed onto the canvas, so
// that its black margins leave the canvas as it was.
void DrawRotatedImage(CDADC* canvas, const CDADC* image, int cx, int cy, double angle);

// The Xform as the recipe's registry sees it.
extern const XformUnit<OpArtParams> kOpArtUnit;

// The pieces of a run, exposed for the tests.
namespace opart {

struct Grid {
    int cell = 0;  // Out pixels
    int columns = 0;
    int rows = 0;
};
// The cells of an Out width x height, squaresAcross of them held so that
// they fit: at least a pixel wide and no taller than the canvas. All 0 only
// for an empty canvas.
Grid GridOf(int width, int height, int squaresAcross);
// The centre of the cell at column c and row r, in Out pixels.
POINT CellCentre(const Grid& grid, int width, int height, int c, int r);
// The angle of a force 0..255: 0 to a quarter turn.
double AngleOf(int force);

}  // namespace opart
