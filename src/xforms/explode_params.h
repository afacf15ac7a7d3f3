// Explode's parameters: sparks flying out from the centre.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"

struct ExplodeParams {
    int wizardChooses = 1;
    int startFromImage = 1;     // a trace starts in the picture's colour at its start
    int endFromImage = 1;       // and ends in the colour at its end
    int traces = 1500;          // 500..2500
    int gravity = 50;           // 0..100, downward offset per segment
    double traceLength = 8.25;  // 1.5..15.0, percent of the half-diagonal
    double endWidth = 2.25;     // 0.5..4.0, pen width at the end, percent of the half-diagonal
    COLORREF startColour = 0x0000FF;
    COLORREF endColour = 0xFF80FF;
    // Black until the recipe is constructed, which draws a random solid colour.
    Background background;

    bool operator==(const ExplodeParams&) const = default;
};
