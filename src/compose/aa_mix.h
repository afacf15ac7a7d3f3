// The anti-aliased mix: reduces the k-times canvas to the picture's size with
// a k × k box average, mixes it with the original by the final-mix settings
// and with a colour by the web-fade settings, in one pass over the pixels.
#pragma once

#include <atomic>

#include "compose/mix_settings.h"
#include "surface/gdi_types.h"

class CDADC;

// The weight a of the old picture at (x, y) of a W × H result; the new one
// gets 1 - a. field is the force field for the HSV mode, or null.
double MixWeight(const MixSettings& mix, int x, int y, int width, int height, const BYTE* field);

// draw: the result, at the picture's size. canvas: k times its size (k = 1,
// 2 or 4). original: the picture, or null when the final mix is off.
void AAMixBlit(CDADC* draw, const CDADC* canvas, const CDADC* original, const MixSettings* finalMix,
               const MixSettings* webFade, std::atomic<int>* progress);
