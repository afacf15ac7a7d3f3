// Op Art's parameters: a grid of figures turned, sized or squeezed by the force.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"

// The ids of the panel's geometry buttons, stored as the value.
enum OpArtGeometry : int {
    kOpArtRotation = 1113,
    kOpArtSize = 1114,
    kOpArtRotationAndSize = 1115,
    kOpArtStretchAndSqueeze = 1116,
};

constexpr int kOpArtImageNameSize = 256;

struct OpArtParams {
    int wizardChooses = 1;
    int outlineOnly = 0;     // shapes filled with the background colour: only outlines show
    int squaresAcross = 24;  // 4..128
    int geometry = kOpArtStretchAndSqueeze;
    COLORREF foreground = 0xFFFFFF;
    Background background;
    // "TEMPBITMAP<n>", the figure bitmap in the temporary folder without its
    // ".BMP"; empty: plain shapes.
    char imageName[kOpArtImageNameSize] = "";

    bool operator==(const OpArtParams&) const = default;
};
