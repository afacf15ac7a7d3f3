// Mosaic's parameters: tiles of the picture's colours on a background.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"
#include "xforms/highlight_position.h"

// The ids of the panel's geometry buttons, stored as the value.
enum MosaicGeometry : int {
    kMosaicRectangular = 1028,
    kMosaicCircular = 1029,
    kMosaicCircleInGrid = 1030,
};

struct MosaicParams {
    double tileSize = 5.0;  // 1..7, tile edge in percent of the original's width
    double spacing = 10.0;  // 5..40, largest inward pull of a corner in percent of the tile edge
    int geometry = kMosaicRectangular;
    Background background;
    COLORREF highlightColour = 0xF5F0F0;
    int highlightPosition = kHighlightOff;  // the light direction
    int wizardChooses = 1;

    bool operator==(const MosaicParams&) const = default;
};
