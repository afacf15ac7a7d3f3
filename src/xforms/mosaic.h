// Mosaic: the picture rebuilt from one-coloured tiles laid on a background,
// their corners pulled inward at random so that the background shows
// between them. Square tiles in a grid, wedge tiles in rings round the
// centre, or rings inside the largest centred circle with squares outside.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/mosaic_params.h"
#include "xforms/xform_unit.h"

struct XformContext;
class CDADC;

// Draws the mosaic on ctx->Out. 1 when a routine ran (also when a stop cut
// it short); 0 when In or Out is missing or the geometry is unknown (the
// background is painted then).
int Mosaic(const MosaicParams* params, XformContext* ctx);

// Holds tileSize to 1..7 and spacing to 5..40; always 1.
int MosaicValidate(MosaicParams* params);

// New random parameters for an original of width x height pixels.
void MosaicAutoChoose(MosaicParams* params, int width, int height);

// The Xform as the recipe's registry sees it.
extern const XformUnit<MosaicParams> kMosaicUnit;

// The geometry of a run, exposed for the tests.
namespace mosaic {

// Sizes on Out, in Out pixels unless said otherwise.
struct Layout {
    int k = 1;       // Out's size over In's
    int tileIn = 0;  // the tile edge in In pixels
    int pitch = 0;   // the tile edge on Out
    int half = 0;    // pitch / 2
    int pull = 0;    // the largest inward pull of a corner
    int cols = 0;    // grid columns and rows spread over Out
    int rows = 0;
    int highlightScale = 1;  // a lit edge's dot product that gives the full colour
};
Layout LayoutOf(const MosaicParams& params, int inWidth, int outWidth, int outHeight, int k);

// The light's direction (y down) for a highlight position; false for "Off"
// and any value that is not a position.
bool LightOf(int highlightPosition, int* dx, int* dy);

// The colour the edge from a to b is stroked in, or false when it is not
// lit: edges facing away from the light, and edges too short for it.
bool EdgeHighlight(COLORREF colour, int dx, int dy, POINT a, POINT b, int highlightScale,
                   COLORREF* lit);

// Ring j of the ring geometries (n rings of the circle of the given radius).
struct Ring {
    int inner = 0;       // radius of the tiles' inner edge
    int outer = 0;       // radius of the next ring's inner edge
    int count = 0;       // tiles round the ring; fewer than 4: the ring is skipped
    double depth = 0.0;  // a tile's radial depth
};
Ring RingOf(int j, int n, int radius, int pitch, int k);

// A square tile against the rings' circle (corners in tile order): false
// when it must not be drawn; otherwise corners inside the circle are pushed
// outward by half along their dominant axis from the centre.
bool FitOutsideCircle(POINT corners[4], POINT centre, int radius, int half);

}  // namespace mosaic
