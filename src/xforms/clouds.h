// Clouds: the whole picture repainted as a sky. Sine waves over a few
// octaves, tightening towards the bottom like a sky seen towards the
// horizon, are mixed with the force field: low values are sky (a gradient
// from the high-sky to the low-sky colour), rising ones pass through a lit
// rim into dark and then light cloud. Clouds form where the selection is
// strong.
#pragma once

#include "surface/gdi_types.h"
#include "xforms/clouds_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Paints every pixel of ctx->Out, each pixel of In as a k x k block. 1 when
// the sky is done; 0 on an invalid context, when the force field cannot be
// made, or after a stop.
int Clouds(const CloudsParams* params, XformContext* ctx);

// Holds horizonEffect to 0.1..0.7 and skyQuantity to 0.25..0.75; always 1
// for a block.
int CloudsValidate(CloudsParams* params);

// New random parameters: the two reals, one of the three palettes, and
// whether selection (the recipe's) is inverted.
void CloudsAutoChoose(CloudsParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<CloudsParams> kCloudsUnit;

// The pieces of a run, exposed for the tests.
namespace clouds {

// The colours of a palette, in the order of the block.
struct Palette {
    COLORREF highSky, lowSky, backlight, cloudLight, cloudDark;
};
inline constexpr Palette kPalettes[3] = {
    {0xFF3232, 0xFF9696, 0x6464FA, 0xFFFFFF, 0x373737},  // blue sky, white clouds
    {0x767D7C, 0xFF9696, 0xB9ECFC, 0x4D6A78, 0x2D343D},  // grey above, brown clouds
    {0x93C4F6, 0xA5E1F1, 0x95C0F1, 0x6C6E91, 0x504051},  // evening
};

// The waves of one run, drawn afresh every time.
struct WaveSet {
    double frequency = 0.0;      // of the first octave, across the width
    double baseFrequency = 0.0;  // of the vertical waves before the horizon squeezes them
    double phase = 0.0;          // radians, added in the first octave
    int octaves = 0;
    double horizonEffect = 0.5;  // the block's
};

// Draws frequency, baseFrequency, phase and octaves, in that order.
WaveSet DrawWaveSet(double horizonEffect);

// The vertical frequency at u = y / h (0..1): the base frequency, growing
// without bound towards the bottom by the horizon effect.
double Squeeze(const WaveSet& set, double u);

// The waves of row y (s = Squeeze (y / h)) of a picture width pixels wide.
// The vertical half of every octave is the same along a row, so it is
// worked out once per row.
class WaveRow {
  public:
    WaveRow(const WaveSet& set, int y, double s, int width);
    // The product of the A and B wave sums at column x; 0 without octaves.
    double At(int x) const;

    // Octaves past these are left out; a run draws at most 8.
    static constexpr int kMaxOctaves = 16;

  private:
    int width_ = 1;
    int octaves_ = 0;
    double phase_ = 0.0;
    double warpA_[kMaxOctaves] = {};  // the vertical warp of each octave's A wave
    double frequency_[kMaxOctaves] = {};
    double amplitude_[kMaxOctaves] = {};
    double b_ = 0.0;  // the sum of the B waves
};

// The colour at cloudiness 0.33 n + 0.67 force, on the sky that is skyMix
// of highSky (1 at the top row).
COLORREF CloudColour(const CloudsParams& params, double skyMix, double force, double n);

}  // namespace clouds
