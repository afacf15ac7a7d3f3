// Mad Painter's parameters: curved brush strokes from a ten-colour palette.
#pragma once

#include "engine/toolkit.h"

struct MadPainterParams {
    int wizardChooses = 1;
    int directionMode = 1;  // 1: all strokes at angle; 2, 3: relative to the centre point
    double angle = 0.0;     // radians, 0..pi/2
    int centreX = 100;      // picture pixels, for modes 2 and 3
    int centreY = 100;
    Background background;
    int strokes = 6000;          // 3000..9000
    double strokeWidth = 1.75;   // 1.0..2.5, percent of the canvas width
    double strokeLength = 4.25;  // 0.5..8.0, percent of the canvas width
    double madness = 0.5;        // 0..1

    bool operator==(const MadPainterParams&) const = default;
};
