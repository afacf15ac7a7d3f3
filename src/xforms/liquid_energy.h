// Liquid Energy: the force field as contour ripples. Every force level is
// folded into a triangle wave rippleWidth levels long; the wave's height,
// squared, blends from the liquid colour in the troughs to the energy
// colour on the crests, so the picture's tones become glowing contours.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/liquid_energy_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Paints every pixel of ctx->Out, each pixel of In as a k x k block. 1 when
// the ripples are done; 0 on an invalid context, when the force field cannot
// be made, or after a stop.
int LiquidEnergy(const LiquidEnergyParams* params, XformContext* ctx);

// Holds rippleWidth to 10..100; always 1 for a block.
int LiquidEnergyValidate(LiquidEnergyParams* params);

// New random parameters: the ripple width, the smoothing of selection (the
// recipe's; may be null) and the two colours, one the opposite of the other.
void LiquidEnergyAutoChoose(LiquidEnergyParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<LiquidEnergyParams> kLiquidEnergyUnit;

// The pieces of a run, exposed for the tests.
namespace liquid_energy {

// rippleWidth as a run uses it: held to 10..100.
int HeldRippleWidth(int rippleWidth);

// The colour of force level 0..255 for ripples rippleWidth levels long
// (already held): liquid at the troughs, energy on the crests.
COLORREF RippleColour(const LiquidEnergyParams& params, int rippleWidth, int force);

}  // namespace liquid_energy
