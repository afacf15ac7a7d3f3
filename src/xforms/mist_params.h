// Mist's parameters: a two-colour mist whose phase follows the force field.
#pragma once

#include "surface/gdi_types.h"

struct MistParams {
    int wizardChooses = 1;
    COLORREF colourA = 0xFFFFFF;  // where the mist is highest
    COLORREF colourB = 0;         // where it is lowest
    double xFrequency = 1.0;      // waves across the picture
    double yFrequency = 1.0;      // waves down the picture
    double forcePhase = 0.055;    // phase shift per force level

    bool operator==(const MistParams&) const = default;
};
