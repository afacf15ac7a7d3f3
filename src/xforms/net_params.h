// Net's parameters: threads pushed sideways by the force field.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"

enum NetGeometry : int {
    kNetHorizontal = 0,
    kNetVertical = 1,
    kNetGrid = 2,
};

struct NetParams {
    int wizardChooses = 1;
    COLORREF threadColour = 0xFFFFFF;
    Background background;
    int threads = 110;  // 20..200 vertical threads
    int geometry = kNetGrid;
    int threadBlur = 1;  // a wide half-tone pass first, as a soft shadow

    bool operator==(const NetParams&) const = default;
};
