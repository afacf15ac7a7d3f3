// Velmira Tonkart: a poster. The picture's tones, softened by a box mean
// (the splodge), are cut into a few levels, one ink each, and the picture
// is printed again in every panel of a grid, squeezed to the panel's size,
// each panel in its own random inks.
#pragma once

#include <array>
#include <cstddef>

#include "surface/gdi_types.h"
#include "xforms/velmira_tonkart_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Paints the panels on ctx->Out. 1 when the poster is printed, also after a
// stop (the passes are then cut short); 0 on an invalid context, when memory
// is short, or for a picture of one tone under the selection (with a
// message unless a stop cut the tones short).
int VelmiraTonkart(const VelmiraTonkartParams* params, XformContext* ctx);

// Holds columns and rows to 1..8, inks to 2..5 and splodge to 0..6; always
// 1 for a block.
int VelmiraTonkartValidate(VelmiraTonkartParams* params);

// New random columns, rows and splodge; inks stay as they are.
void VelmiraTonkartAutoChoose(VelmiraTonkartParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<VelmiraTonkartParams> kVelmiraTonkartUnit;

// The pieces of a run, exposed for the tests.
namespace velmira_tonkart {

// The block as a run uses it: every field held to its range.
VelmiraTonkartParams Held(const VelmiraTonkartParams& params);

// The ink of every splodged tone 0..255, for tones that ran from smallest
// to largest: the lowest level l whose top, smallest + range (l + 1) /
// inks, reaches the tone; inks / 2 for a tone above them all.
std::array<BYTE, 256> InkOfTone(int smallest, int largest, int inks);

}  // namespace velmira_tonkart
