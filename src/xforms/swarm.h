// Swarm: the picture redrawn as a swarm of short sticks on a plain
// background. The force field decides, as the switches say, how many sticks
// land at a place (intensity), how long they are (size) and how they are
// turned (angle).
#pragma once

#include "xforms/swarm_params.h"
#include "xforms/xform_unit.h"

struct XformContext;

// Draws the swarm on ctx->Out. 1 when it was drawn to the end; 0 when the
// context is invalid, the force field cannot be made (the canvas untouched
// then) or a stop cut the run short.
int Swarm(const SwarmParams* params, XformContext* ctx);

// Holds sticks to 100..30000; 1 when angle, intensity or size is on,
// otherwise says so and gives 0.
int SwarmValidate(SwarmParams* params);

// New random colours (one the opposite of the other), count and switches,
// drawn again until a switch is on.
void SwarmAutoChoose(SwarmParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<SwarmParams> kSwarmUnit;
