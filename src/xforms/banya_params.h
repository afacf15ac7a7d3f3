// Banya's parameters: a tiled wall of diamonds.
#pragma once

#include "surface/gdi_types.h"

struct BanyaParams {
    int shapeMode = 1;       // 1..3; 2: the corner shapes are ellipses, else squares
    double shapeSize = 0.5;  // 0.4..0.8; ellipse radius, times 0.4 of a diamond's extent
    COLORREF backgroundColour = 0x0000FF;
    COLORREF shapeColour = 0xFF00FF;
    COLORREF oddColour = 0x00FF00;
    COLORREF evenColour = 0xFFFF00;
    int squares = 10;  // 10..100 cells across
    int wizardChooses = 1;

    bool operator==(const BanyaParams&) const = default;
};
