#include "surface/pixel_blit.h"

#include <algorithm>
#include <cstring>

PixelView ViewOf(const DibSection* bitmap) {
    PixelView v;
    if (!bitmap || !bitmap->bits || bitmap->width < 1 || bitmap->height < 1) return v;
    v.top = bitmap->bits + static_cast<std::ptrdiff_t>(bitmap->height - 1) * bitmap->rowBytes;
    v.stride = -static_cast<std::ptrdiff_t>(bitmap->rowBytes);
    v.width = bitmap->width;
    v.height = bitmap->height;
    return v;
}

namespace {

long long CeilDiv(long long a, long long b) {  // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The steps k in [0, length) whose pixel start + step * k lies in [0, limit),
// as an inclusive range; empty when first > last.
void VisibleSteps(long long start, long long length, int step, int limit, long long* first,
                  long long* last) {
    if (step > 0) {
        *first = std::max(0LL, -start);
        *last = std::min(length - 1, limit - 1 - start);
    } else {
        *first = std::max(0LL, start - (limit - 1));
        *last = std::min(length - 1, start);
    }
}

}  // namespace

// GDI walks the two runs like a Bresenham line between (source, destination)
// pixel centres: source pixel k (centre k + 1/2) lands on destination pixel
// ceil((k + 1/2) * dst / src) - 1 when shrinking, and destination pixel j
// takes source pixel ceil((j + 1/2) * src / dst) - 1 when enlarging or
// copying 1:1. In integers: floor(((2k + 1) * dst - 1) / (2 * src)).
AxisMapping MapAxis(long long dstStart, long long dstLength, long long srcStart,
                    long long srcLength, int dstLimit, int srcLimit, bool lastSourceWins) {
    AxisMapping map;
    const long long dx = srcLength < 0 ? -srcLength : srcLength;
    const long long dy = dstLength < 0 ? -dstLength : dstLength;
    if (dx == 0 || dy == 0 || dstLimit < 1 || srcLimit < 1) return map;
    const int srcStep = srcLength < 0 ? -1 : 1;
    const int dstStep = dstLength < 0 ? -1 : 1;

    long long kFirst, kLast, jFirst, jLast;
    VisibleSteps(srcStart, dx, srcStep, srcLimit, &kFirst, &kLast);
    VisibleSteps(dstStart, dy, dstStep, dstLimit, &jFirst, &jLast);
    if (kFirst > kLast || jFirst > jLast) return map;

    // Destination steps that receive a visible source form one run, because
    // the mapping only ever moves forward.
    long long jBegin = -1;
    std::vector<int> sources;
    for (long long j = jFirst; j <= jLast; ++j) {
        long long k;
        if (dx <= dy) {
            k = ((2 * j + 1) * dx - 1) / (2 * dy);
            if (k < kFirst || k > kLast) continue;
        } else {
            const long long lo = std::max({0LL, CeilDiv(2 * dx * j + 1 - dy, 2 * dy), kFirst});
            const long long hi =
                std::min({dx - 1, CeilDiv(2 * dx * (j + 1) + 1 - dy, 2 * dy) - 1, kLast});
            if (lo > hi) continue;
            k = lastSourceWins ? hi : lo;
        }
        if (jBegin < 0) jBegin = j;
        sources.push_back(static_cast<int>(srcStart + srcStep * k));
    }
    if (sources.empty()) return map;
    // Stored by ascending destination pixel.
    if (dstStep < 0) std::reverse(sources.begin(), sources.end());
    const long long jEnd = jBegin + static_cast<long long>(sources.size()) - 1;
    map.dstBegin = static_cast<int>(dstStep > 0 ? dstStart + jBegin : dstStart - jEnd);
    map.src = std::move(sources);
    return map;
}

void StretchPixels(const PixelView& dst, int x, int y, int w, int h, const PixelView& src, int xSrc,
                   int ySrc, int wSrc, int hSrc, BlitOp op) {
    if (dst.Empty() || src.Empty()) return;
    // Within a row the last source pixel of a shrunk run wins; between rows
    // the first source row does (GDI drops the later scans).
    const AxisMapping cols = MapAxis(x, w, xSrc, wSrc, dst.width, src.width, true);
    const AxisMapping rows = MapAxis(y, h, ySrc, hSrc, dst.height, src.height, false);
    if (cols.src.empty() || rows.src.empty()) return;

    const size_t n = cols.src.size();
    std::vector<size_t> offsets(n);
    bool unit = true;
    for (size_t i = 0; i < n; ++i) {
        offsets[i] = static_cast<size_t>(cols.src[i]) * 3;
        if (i > 0 && cols.src[i] != cols.src[i - 1] + 1) unit = false;
    }

    const BYTE* previousDst = nullptr;
    int previousSrcRow = -1;
    for (size_t r = 0; r < rows.src.size(); ++r) {
        BYTE* d =
            dst.Row(rows.dstBegin + static_cast<int>(r)) + static_cast<size_t>(cols.dstBegin) * 3;
        const int srcRow = rows.src[r];
        if (op == BlitOp::Copy && srcRow == previousSrcRow) {
            std::memcpy(d, previousDst, n * 3);
        } else {
            const BYTE* s = src.Row(srcRow);
            if (op == BlitOp::Copy && unit) {
                std::memcpy(d, s + offsets[0], n * 3);
            } else if (op == BlitOp::Copy) {
                for (size_t i = 0; i < n; ++i, d += 3) {
                    const BYTE* p = s + offsets[i];
                    d[0] = p[0];
                    d[1] = p[1];
                    d[2] = p[2];
                }
                d -= n * 3;
            } else {
                for (size_t i = 0; i < n; ++i, d += 3) {
                    const BYTE* p = s + offsets[i];
                    d[0] |= p[0];
                    d[1] |= p[1];
                    d[2] |= p[2];
                }
                d -= n * 3;
            }
        }
        previousSrcRow = srcRow;
        previousDst = d;
    }
}
