// Swarm's parameters: short sticks whose density, length or angle follow the
// force. The check asks for at least one of byAngle, byIntensity, bySize.
#pragma once

#include "surface/gdi_types.h"

struct SwarmParams {
    int wizardChooses = 1;
    COLORREF foreground = 0xFFFFFF;
    COLORREF backgroundColour = 0;
    int sticks = 5000;  // 100..30000
    int byAngle = 1;
    int byIntensity = 0;
    int bySize = 0;

    bool operator==(const SwarmParams&) const = default;
};
