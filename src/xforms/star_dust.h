// StarDust: the picture turned into a night sky. A faint blue haze follows
// the force field; stars gather where the force is high, each with a soft
// blue glow of up to five rings; every star ends as a white point, and the
// strongest get four-pointed spikes.
#pragma once

#include "engine/area_selection.h"
#include "xforms/star_dust_params.h"
#include "xforms/xform_unit.h"

struct XformContext;
class CDADC;

// Draws the sky on ctx->Out. 1 when it was drawn to the end; 0 when the
// context is invalid, the force field or the stars cannot be made (the
// canvas untouched then) or a stop cut the run short.
int StarDust(const StarDustParams* params, XformContext* ctx);

// Holds stars to 100..8000; always 1.
int StarDustValidate(StarDustParams* params);

// New random parameters; also turns the recipe's stored selection to follow
// either the bright or the dark parts of the picture.
void StarDustAutoChoose(StarDustParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<StarDustParams> kStarDustUnit;

// The pieces of a run, exposed for the tests.
namespace star_dust {

// One star, in Out pixels.
struct Star {
    int x = 0;
    int y = 0;
    int size = 0;   // glow size: the outermost ring's radius is 6 x size / 2
    int spike = 0;  // ray length, 0: none
    int level = 0;  // glow level 0..102: the star glows only in rings brighter than this
};

// The sizes of a run on an original of width x height at quality k.
struct Sizes {
    int stars = 0;        // held to 100..8000
    int threshold = 0;    // a star's force must exceed this to get spikes
    int diagonal = 0;     // of Out
    int maxSpike = 0;     // longest ray
    int maxSize = 0;      // glow size of full force
    int spikeBudget = 0;  // the most stars that get spikes
};
Sizes SizesOf(const StarDustParams& params, int width, int height, int k);

// For tests: the calling thread's next `count` star allocations succeed and
// the ones after fail; a negative count lifts the limit.
void LimitStarAllocations(int count);

}  // namespace star_dust
