// Converts a packed DIB of any depth a BMP file can hold to 24-bit pixels:
// 1, 4 and 8 bits with colour tables, RLE4 and RLE8, 16 and 32 bits with or
// without bit fields, 24 bits; OS/2 core headers, v4 and v5 headers,
// top-down rows. This is what the platform did when a DIB was drawn.
#pragma once

#include <string>
#include <vector>

#include "surface/dc.h"
#include "surface/gdi_types.h"

struct DecodedDib {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bgr;  // top row first, 3 bytes a pixel (blue, green, red), no padding

    const BYTE* Pixel(int x, int y) const {
        return bgr.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

// False, with the reason in *why, when the header is unusable or the block
// cannot hold what the header promises. Pixel data cut short by a damaged
// file decode as far as they are sound; the rest stays black.
bool DecodePackedDib(PackedDibView dib, DecodedDib* out, std::string* why = nullptr);
