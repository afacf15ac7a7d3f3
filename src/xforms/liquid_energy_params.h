// Liquid Energy's parameters: contour ripples of the force field.
#pragma once

#include "surface/gdi_types.h"

struct LiquidEnergyParams {
    int wizardChooses = 1;
    COLORREF energy = 0xFFFFFF;  // on the crests
    COLORREF liquid = 0xFF0000;  // in the troughs
    int rippleWidth = 64;        // 10..100 force levels per ripple

    bool operator==(const LiquidEnergyParams&) const = default;
};
