// Packed DIBs of every depth drawn onto the 24-bit surface.
#include <algorithm>
#include <cstring>
#include <vector>

#include "surface/dc.h"
#include "surface/dib_decode.h"
#include "surface/pixel_blit.h"

namespace {

// What the header says about the layout, read before decoding.
struct DibShape {
    long long width = 0;
    long long height = 0;  // rows, always positive
    bool topDown = false;
    bool rle = false;
    bool core = false;  // OS/2 header: 16-bit sizes
};

bool ReadShape(PackedDibView dib, DibShape* shape) {
    if (!dib.data || dib.size < sizeof(BITMAPCOREHEADER)) return false;
    DWORD headerSize;
    std::memcpy(&headerSize, dib.data, 4);
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER h;
        std::memcpy(&h, dib.data, sizeof h);
        shape->width = h.bcWidth;
        shape->height = h.bcHeight;
        shape->core = true;
        return true;
    }
    if (headerSize < sizeof(BITMAPINFOHEADER) || dib.size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data, sizeof h);
    shape->width = h.biWidth;
    shape->topDown = h.biHeight < 0;
    shape->height = shape->topDown ? -static_cast<long long>(h.biHeight) : h.biHeight;
    shape->rle = h.biCompression == BI_RLE4 || h.biCompression == BI_RLE8;
    return true;
}

// Decodes the DIB as if its header promised only `rows` rows: the pixel
// bits a caller hands over for a band of scan lines hold just that band.
bool DecodeRows(PackedDibView dib, const DibShape& shape, long long rows, DecodedDib* out) {
    if (rows == shape.height) return DecodePackedDib(dib, out);
    std::vector<BYTE> copy(dib.data, dib.data + dib.size);
    if (shape.core) {
        const WORD h = static_cast<WORD>(rows);
        std::memcpy(copy.data() + 6, &h, 2);
    } else {
        const LONG h = static_cast<LONG>(shape.topDown ? -rows : rows);
        std::memcpy(copy.data() + 8, &h, 4);
    }
    return DecodePackedDib(PackedDibView{copy.data(), copy.size()}, out);
}

// Rows [first, first + count) of a decoded picture, top row first.
PixelView ViewOfRows(DecodedDib& d, int first, int count) {
    PixelView v;
    if (d.width < 1 || count < 1) return v;
    v.stride = static_cast<std::ptrdiff_t>(d.width) * 3;
    v.top = d.bgr.data() + first * v.stride;
    v.width = d.width;
    v.height = count;
    return v;
}

// A whole 24-bit DIB is read where it lies: its rows already hold the
// surface's own pixel layout, so decoding a copy first would only cost time.
bool DirectView(PackedDibView dib, PixelView* v) {
    DibLayout layout;
    if (!ReadDibLayout(dib, &layout) || layout.bitCount != 24 || layout.compression != BI_RGB) {
        return false;
    }
    const std::ptrdiff_t rowBytes = (static_cast<std::ptrdiff_t>(layout.width) * 3 + 3) / 4 * 4;
    BYTE* bits = const_cast<BYTE*>(dib.data) + layout.bitsOffset;
    v->width = layout.width;
    v->height = layout.height;
    v->stride = layout.topDown ? rowBytes : -rowBytes;
    v->top = layout.topDown ? bits : bits + (layout.height - 1) * rowBytes;
    return true;
}

}  // namespace

// The source rectangle's lower-left corner (xSrc, ySrc) is counted from the
// DIB's bottom row, and the bits handed over hold only the scan lines
// [startScan, startScan + scanLines), scan line 0 being the bottom row.
int CDC::SetDIBitsToDevice(int x, int y, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                           UINT scanLines, PackedDibView dib, UINT usage) {
    DibShape shape;
    if (usage != DIB_RGB_COLORS || !ReadShape(dib, &shape) || scanLines == 0) return 0;
    if (w > kMaxBlitExtent || h > kMaxBlitExtent) return 0;
    const long long cx = w, cy = h;
    long long start = startScan, lines = scanLines;
    // Run-length pictures always come whole.
    if (shape.rle) {
        start = 0;
        lines = shape.height;
    }
    if (start >= shape.height) return 0;
    if (!shape.topDown) lines = std::min(lines, shape.height - start);
    const long long heldRows = std::min(lines, shape.height);

    // The source's top row, counted down from the top of the band held.
    long long srcTop = start + lines - (ySrc + cy);
    long long skippedRows = 0;  // band rows above the source, left out
    if (srcTop > 0) {
        if (shape.topDown) {
            if (srcTop >= lines) return static_cast<int>(lines);
        } else {
            if (srcTop >= lines) return 0;
            lines -= srcTop;
            skippedRows = srcTop;
            srcTop = 0;
        }
    }
    const long long bandRows = shape.topDown ? std::min(lines, shape.height) : lines;
    if (xSrc >= shape.width || xSrc + cx <= 0 || srcTop >= bandRows || srcTop + cy <= 0) return 0;

    DecodedDib decoded;
    PixelView src;
    if (heldRows != shape.height || !DirectView(dib, &src)) {
        if (!DecodeRows(dib, shape, shape.rle ? shape.height : heldRows, &decoded)) return 0;
        src = ViewOfRows(decoded, 0, decoded.height);
    }
    src.top += skippedRows * src.stride;
    src.height = static_cast<int>(bandRows);
    StretchPixels(ViewOf(bitmap_), x, y, static_cast<int>(cx), static_cast<int>(cy), src, xSrc,
                  static_cast<int>(srcTop), static_cast<int>(cx), static_cast<int>(cy),
                  BlitOp::Copy);
    return static_cast<int>(lines);
}

// Samples exactly as StretchBlt does; ySrc counts from the DIB's bottom row.
int CDC::StretchDIBits(int x, int y, int w, int h, int xSrc, int ySrc, int wSrc, int hSrc,
                       PackedDibView dib, UINT usage, DWORD rop) {
    DibShape shape;
    BlitOp op;
    if (usage != DIB_RGB_COLORS || !RopToOp(rop, &op) || !ReadShape(dib, &shape)) return 0;
    for (long long v :
         {static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(w),
          static_cast<long long>(h), static_cast<long long>(xSrc), static_cast<long long>(ySrc),
          static_cast<long long>(wSrc), static_cast<long long>(hSrc)}) {
        if (v < -kMaxBlitExtent || v > kMaxBlitExtent) return 0;
    }
    const bool wholeFromOrigin = xSrc == 0 && ySrc == 0 && wSrc == w && hSrc == h;
    if (rop != SRCCOPY || wholeFromOrigin) {
        if (w == 1 && wSrc > 1) --wSrc;
        if (h == 1 && hSrc > 1) --hSrc;
    }
    // Mirrored both ways is no mirror, but the platform shifts such a blit
    // by one pixel for every raster operation except a plain copy.
    if (rop != SRCCOPY) {
        if (w < 0 && w == wSrc) {
            x += w;
            xSrc += wSrc;
            w = -w;
            wSrc = -wSrc;
        }
        if (h < 0 && h == hSrc) {
            y += h;
            ySrc += hSrc;
            h = -h;
            hSrc = -hSrc;
        }
    }
    const long long height = shape.height;
    long long srcTop = ySrc;
    if (!shape.topDown || (rop == SRCCOPY && !wholeFromOrigin)) srcTop = height - ySrc - hSrc;
    if (srcTop >= height && srcTop + hSrc + 1 < height) {
        srcTop = height - 1;
    } else if (srcTop > 0 && srcTop + hSrc + 1 < 0) {
        srcTop = -static_cast<long long>(hSrc) - 1;
    }
    // Nothing of the source inside the DIB: nothing drawn, and failure.
    const long long left = std::min<long long>(xSrc, static_cast<long long>(xSrc) + wSrc);
    const long long right = std::max<long long>(xSrc, static_cast<long long>(xSrc) + wSrc);
    const long long top = std::min(srcTop, srcTop + hSrc);
    const long long bottom = std::max(srcTop, srcTop + hSrc);
    if (wSrc == 0 || hSrc == 0 || right <= 0 || left >= shape.width || bottom <= 0 || top >= height)
        return 0;
    const int result = rop == SRCCOPY ? static_cast<int>(height)
                                      : static_cast<int>(shape.topDown ? -height : height);

    DecodedDib decoded;
    if (!DecodePackedDib(dib, &decoded)) return 0;
    StretchPixels(ViewOf(bitmap_), x, y, w, h, ViewOfRows(decoded, 0, decoded.height), xSrc,
                  static_cast<int>(srcTop), wSrc, hSrc, op);
    return result;
}
