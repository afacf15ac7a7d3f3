// Bubble's parameters: chains of soap bubbles.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"
#include "xforms/highlight_position.h"

struct BubbleParams {
    int wizardChooses = 1;
    COLORREF bubbleColour = 0xFFFFFF;     // outline pen
    COLORREF highlightColour = 0x00FF00;  // highlight arc pen
    Background background;
    int count = 2550;                       // 100..5000 bubbles
    int highlightPosition = kHighlightOff;  // 1100..1108: which part of a bubble gets the arc
    double size = 1.75;                     // 0.5..3.0, diameter in percent of the canvas width

    bool operator==(const BubbleParams&) const = default;
};
