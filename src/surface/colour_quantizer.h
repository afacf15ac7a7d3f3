// Reduces a 24-bit picture to a palette of at most a given number of
// colours by median cut: the colour cube of the picture's own colours is
// split, box by box, at the weighted median of the box's longest side until
// there are as many boxes as colours allowed; each box gives its pixels'
// mean colour, and every pixel takes the nearest palette colour. A picture
// with no more colours than allowed keeps them exactly.
#pragma once

#include <vector>

#include "surface/gdi_types.h"

struct QuantizerInput {
    const BYTE* bgr = nullptr;  // first row of pixels, blue, green, red
    int width = 0;
    int height = 0;
    long stride = 0;  // bytes from one row to the next (may be negative)
};

// Fills one index byte per pixel (rows indexStride apart, in the input's
// order) and the palette; false when maxColours is outside 1..256 or the
// input is empty.
bool QuantizeColours(const QuantizerInput& input, int maxColours, BYTE* indices, long indexStride,
                     std::vector<RGBQUAD>* palette);
