// Converts a packed DIB of any depth a BMP file can hold to 24-bit pixels:
// 1, 4 and 8 bits with colour tables, RLE4 and RLE8, 16 and 32 bits with or
// without bit fields, 24 bits; OS/2 core headers, v4 and v5 headers,
// top-down rows. This is what the platform did when a DIB was drawn.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "surface/dc.h"
#include "surface/gdi_types.h"

struct DecodedDib {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bgr;  // top row first, 3 bytes a pixel (blue, green, red), no padding
    bool cutShort = false;  // an RLE stream ended before its picture did: the rest is black

    const BYTE* Pixel(int x, int y) const {
        return bgr.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

// Larger pictures are refused: no real file holds them, and a damaged header
// must not make the program ask for gigabytes.
constexpr int kMaxDibSide = 30000;
constexpr long long kMaxDibPixels = 500'000'000;

// How many pixels an RLE4 or RLE8 stream of `bytes` bytes may describe. A
// run command of two bytes paints at most 255 pixels, an absolute run fewer
// for its bytes, so a stream paints at most 127.5 pixels a byte. Its escapes
// (end of line, a jump, end of bitmap) may leave pixels unpainted, black,
// and nothing bounds how many: a stream of two bytes ends any bitmap. A
// picture painted less than half is no honest picture, so twice the painting
// capacity, 255 pixels a byte, is allowed; and any picture up to a megapixel
// (3 MB), whatever its stream, since such a size costs nothing to hold.
constexpr long long kRlePixelsPerByte = 255;
constexpr long long kRleFreePixels = 1 << 20;
inline bool RleCanDescribe(long long width, long long height, size_t bytes) {
    const long long pixels = width * height;
    return pixels <= kRleFreePixels ||
           static_cast<unsigned long long>(pixels / kRlePixelsPerByte) < bytes;
}

// What a packed DIB's header promises, checked against the block that holds it.
struct DibLayout {
    int width = 0;
    int height = 0;  // rows, always positive
    bool topDown = false;
    bool core = false;  // OS/2 header: three-byte colour-table entries
    int bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD masks[3] = {};  // red, green, blue: the pixel bits of each at 16 and 32 bits
    size_t paletteOffset = 0;
    int paletteEntries = 0;
    size_t bitsOffset = 0;
    size_t bitsSize = 0;  // bytes of the block from bitsOffset on
};

// False, with the reason in *why, when the header is unusable, the picture
// is too large, or the block cannot hold the header, the colour table or
// the pixel rows (uncompressed; the padding of the last row may be missing)
// or is too short for RLE data to describe the picture (RleCanDescribe).
bool ReadDibLayout(PackedDibView dib, DibLayout* out, std::string* why = nullptr);

// False, with the reason in *why, when ReadDibLayout refuses the DIB. An RLE
// stream that is cut short or damaged decodes as far as it is sound; pixels
// it does not reach stay black, and cutShort tells when it ran out of bytes
// before its end-of-bitmap escape and before its last row.
bool DecodePackedDib(PackedDibView dib, DecodedDib* out, std::string* why = nullptr);
