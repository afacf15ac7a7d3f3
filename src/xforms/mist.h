// Mist: the picture replaced by a two-colour mist, five octaves of nested
// sine waves whose phase the force field shifts, so that the picture's
// outlines show as ripples and swirls. Nothing of its colours survives.
#pragma once

#include "xforms/mist_params.h"
#include "xforms/xform_unit.h"

struct XformContext;

// Paints the mist on ctx->Out. 1 when the picture was made; 0 on an invalid
// context, a failed force field or a stop.
int Mist(const MistParams* params, XformContext* ctx);

// Accepts every block as it is: 1.
int MistValidate(MistParams* params);

// New colours, frequencies and phase.
void MistAutoChoose(MistParams* params);

// The Xform as the recipe's registry sees it.
extern const XformUnit<MistParams> kMistUnit;

// The pieces of a run, exposed for the tests.
namespace mist {

// The frequency down the picture for source row y of height rows.
double RowFrequency(const MistParams& params, int y, int height);

// The mist at source pixel (x, y) of a picture width pixels wide, for row
// frequency rowFrequency and force 0..255, as written out term by term.
double MistValue(const MistParams& params, int width, int x, int y, double rowFrequency, int force);

// One row's mist, as MistValue gives it bit for bit: what depends on the
// row and the force alone is worked out once for each force met.
class MistRow {
  public:
    MistRow(const MistParams& params, int width, int y, double rowFrequency);
    double At(int x, int force);

  private:
    static constexpr int kOctaves = 5;
    static constexpr int kForces = 256;
    void Prepare(int force);

    const MistParams& params_;
    int width_;
    double ny_;
    double rowFrequency_;
    double columnFrequency_[kOctaves];
    double amplitude_[kOctaves];
    bool ready_[kForces] = {};
    double warpA_[kForces][kOctaves];
    double b_[kForces];
};

}  // namespace mist
