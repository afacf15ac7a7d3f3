// The one pixel-moving mechanism behind BitBlt, StretchBlt, SetDIBitsToDevice
// and StretchDIBits: GDI's nearest-pixel mapping of a source rectangle onto a
// destination rectangle, clipped to both pictures.
#pragma once

#include <cstddef>
#include <vector>

#include "surface/gdi_objects.h"
#include "surface/gdi_types.h"

// 24-bit blue-green-red pixels with rows addressed from the top, whatever
// their order in memory.
struct PixelView {
    BYTE* top = nullptr;        // first byte of the top row
    std::ptrdiff_t stride = 0;  // bytes from a row to the row below it; negative for bottom-up
    int width = 0;
    int height = 0;

    BYTE* Row(int y) const { return top + y * stride; }
    bool Empty() const { return top == nullptr || width < 1 || height < 1; }
};

// The view of a DIB section; empty for a bitmap without pixel memory.
PixelView ViewOf(const DibSection* bitmap);

// Larger extents are refused: they keep every product of the mapping inside
// 64 bits, and no picture comes near them.
constexpr long long kMaxBlitExtent = 1LL << 28;

// Along one axis: the destination pixels [dstBegin, dstBegin + src.size())
// that receive a source pixel, and for each the index of that pixel.
struct AxisMapping {
    int dstBegin = 0;
    std::vector<int> src;
};

// Maps the source run of srcLength pixels from srcStart onto the destination
// run of dstLength pixels from dstStart (negative lengths run leftward or
// upward from the start pixel, which mirrors). Only pixels inside
// [0, dstLimit) and sources inside [0, srcLimit) take part. When several
// sources fall on one destination pixel, lastSourceWins picks the last of
// them in the source's running order, else the first.
AxisMapping MapAxis(long long dstStart, long long dstLength, long long srcStart,
                    long long srcLength, int dstLimit, int srcLimit, bool lastSourceWins);

enum class BlitOp {
    Copy,  // SRCCOPY
    Or,    // SRCPAINT: destination OR source
};

// The blit of a raster operation; false for one the surface does not do.
inline bool RopToOp(DWORD rop, BlitOp* op) {
    if (rop == SRCCOPY) {
        *op = BlitOp::Copy;
    } else if (rop == SRCPAINT) {
        *op = BlitOp::Or;
    } else {
        return false;
    }
    return true;
}

// The blit for any stretch: equal sizes copy 1:1. Source and destination must
// not share pixel memory. The lengths must lie within kMaxBlitExtent.
void StretchPixels(const PixelView& dst, int x, int y, int w, int h, const PixelView& src, int xSrc,
                   int ySrc, int wSrc, int hSrc, BlitOp op);
