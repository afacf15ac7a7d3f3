// Zimbel's parameters: overlapping four-sided colour patches.
#pragma once

#include "engine/toolkit.h"

struct ZimbelParams {
    int wizardChooses = 1;
    int strokes = 30;             // 10..50 patches per row
    double colourFreedom = 0.25;  // 0..0.5, random variation of each patch's colour
    Background background;        // set only by the Wizard

    bool operator==(const ZimbelParams&) const = default;
};
