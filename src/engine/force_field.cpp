#include "engine/force_field.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

#include "engine/progress.h"
#include "util/error_box.h"

namespace {

thread_local int allocationsLeft = -1;

// Not zero-filled: every byte is written before it is read.
template <typename T>
std::unique_ptr<T[]> Allocate(std::size_t count) {
    if (allocationsLeft == 0) return nullptr;
    if (allocationsLeft > 0) --allocationsLeft;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

// Running bounds of the weights; these starting values are the program's own.
struct Range {
    int lo = 10241024;
    int hi = 0;

    void Include(Range row) {
        lo = std::min(lo, row.lo);
        hi = std::max(hi, row.hi);
    }
    // A uniform field would otherwise divide by zero when stretched.
    void WidenIfFlat() {
        if (lo == hi) lo = 0, hi = 1;
    }
};

// The bounds of one row of weights.
Range RowRange(const BYTE* row, int width) {
    BYTE lo = 255, hi = 0;
    for (int x = 0; x < width; ++x) {
        lo = std::min(lo, row[x]);
        hi = std::max(hi, row[x]);
    }
    return {lo, hi};
}

// src: one picture row, blue-green-red.
void PlainBrightnessRow(const BYTE* src, BYTE* dst, int width) {
    for (int x = 0; x < width; ++x)
        dst[x] = static_cast<BYTE>((src[3 * x] + src[3 * x + 1] + src[3 * x + 2]) / 3);
}

void SelectionRow(const BYTE* src, BYTE* dst, int width, const AreaSelection& selection) {
    // A local copy: the byte stores below could otherwise alias its fields.
    const AreaSelection sel = selection;
    for (int x = 0; x < width; ++x)
        dst[x] = static_cast<BYTE>(sel.WeightOf(RGB(src[3 * x + 2], src[3 * x + 1], src[3 * x])));
}

// Stretches lo..hi over 0..255.
void Normalise(BYTE* field, std::size_t size, int height, Range range) {
    const int span = range.hi - range.lo;
    if (span < 1 || height < 1) return;
    BYTE table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<BYTE>(std::clamp((v - range.lo) * 255 / span, 0, 255));
    for (std::size_t i = 0; i < size; ++i)
        field[i] = table[field[i]];
}

// sum / count for the window sums here (sum <= 255 × count, count <= 225):
// multiplying by 2^24 / count + 1 and shifting back is exact while
// sum × count < 2^24, and much cheaper than a division per pixel.
constexpr int kMaxWindow = 15 * 15;
struct Reciprocals {
    std::uint32_t of[kMaxWindow + 1] = {};
    constexpr Reciprocals() {
        for (std::uint32_t c = 1; c <= kMaxWindow; ++c)
            of[c] = (1u << 24) / c + 1;
    }
};
constexpr Reciprocals kReciprocals;

inline BYTE MeanOf(std::uint32_t sum, int count) {
    return static_cast<BYTE>((static_cast<std::uint64_t>(sum) * kReciprocals.of[count]) >> 24);
}

// Each weight becomes the integer mean of the (2n - 1) × (2n - 1) window
// around it, clipped at the borders. Column sums over the window's rows and
// prefix sums of them along the row keep the cost independent of n.
//
// The means go back into the field itself: a window reaches at most n - 1
// rows below the row being written, and the rows above that still have to
// leave the column sums are kept in saved (n + 1 rows) before they are
// overwritten. Same result as a second field-sized array, without its
// allocation and first-touch cost.
//
// work holds 2 × width + 1 ints. Returns false on a stop.
bool SmoothInPlace(BYTE* field, BYTE* saved, int* work, int width, int height, int n,
                   Range* range) {
    const int r = n - 1;
    const int savedRows = r + 2;
    auto fieldRow = [&](int y) { return field + static_cast<std::size_t>(y) * width; };
    auto savedRow = [&](int y) { return saved + static_cast<std::size_t>(y % savedRows) * width; };
    int* columnSums = work;
    int* prefix = work + width;  // prefix[x] = columnSums[0] + ... + columnSums[x - 1]
    std::fill(columnSums, columnSums + width, 0);
    auto addRow = [&](const BYTE* row, int sign) {
        for (int x = 0; x < width; ++x)
            columnSums[x] += sign * row[x];
    };
    for (int y = 0; y <= std::min(r, height - 1); ++y)
        addRow(fieldRow(y), 1);

    // Columns whose window lies wholly inside the picture.
    const int innerBegin = std::min(r, width);
    const int innerEnd = std::max(innerBegin, width - r);

    for (int y = 0; y < height; ++y) {
        if (y > 0) {
            if (y + r < height) addRow(fieldRow(y + r), 1);
            if (y - r - 1 >= 0) addRow(savedRow(y - r - 1), -1);
        }
        const int rows = std::min(y + r, height - 1) - std::max(y - r, 0) + 1;
        prefix[0] = 0;
        for (int x = 0; x < width; ++x)
            prefix[x + 1] = prefix[x] + columnSums[x];

        BYTE* out = fieldRow(y);
        std::copy(out, out + width, savedRow(y));
        auto clippedMean = [&](int x) {
            const int x0 = std::max(x - r, 0);
            const int x1 = std::min(x + r, width - 1);
            return MeanOf(static_cast<std::uint32_t>(prefix[x1 + 1] - prefix[x0]),
                          (x1 - x0 + 1) * rows);
        };
        for (int x = 0; x < innerBegin; ++x)
            out[x] = clippedMean(x);
        const std::uint64_t reciprocal = kReciprocals.of[(2 * r + 1) * rows];
        for (int x = innerBegin; x < innerEnd; ++x) {
            const auto sum = static_cast<std::uint32_t>(prefix[x + r + 1] - prefix[x - r]);
            out[x] = static_cast<BYTE>((sum * reciprocal) >> 24);
        }
        for (int x = innerEnd; x < width; ++x)
            out[x] = clippedMean(x);

        range->Include(RowRange(out, width));
        if (Stopped()) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<BYTE[]> AllocateWorkBytes(std::size_t count) {
    std::unique_ptr<BYTE[]> bytes = Allocate<BYTE>(count);
    if (bytes) std::fill_n(bytes.get(), count, BYTE{0});
    return bytes;
}

void LimitForceFieldAllocations(int count) {
    allocationsLeft = count < 0 ? -1 : count;
}

ForceField MakeForceField(const CDADC* in, const AreaSelection* sel) {
    if (!in || !sel) return nullptr;
    const int width = in->width;
    const int height = in->height;
    if (width <= 0 || height <= 0 || !in->pBits || in->rowBytes < 3 * width) return nullptr;
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ForceField field = Allocate<BYTE>(size);
    if (!field) return nullptr;

    // The default selection weighs by plain brightness, unsquared. Any other
    // selection goes through WeightOf, pixel by pixel; GetPixel would return
    // the same bytes read here.
    const bool plain = sel->IsPlainBrightness();
    Range range;
    for (int y = 0; y < height; ++y) {
        BYTE* dst = field.get() + static_cast<std::size_t>(y) * width;
        if (plain)
            PlainBrightnessRow(in->Row(y), dst, width);
        else
            SelectionRow(in->Row(y), dst, width, *sel);
        range.Include(RowRange(dst, width));
        if (Stopped()) return nullptr;
    }
    range.WidenIfFlat();

    const int n = std::min(sel->smoothing, 8);
    if (n < 2) {
        Normalise(field.get(), size, height, range);
    } else {
        const auto w = static_cast<std::size_t>(width);
        std::unique_ptr<BYTE[]> saved = Allocate<BYTE>(static_cast<std::size_t>(n + 1) * w);
        std::unique_ptr<int[]> work = saved ? Allocate<int>(2 * w + 1) : nullptr;
        if (!saved || !work) {
            // The field stays as it is: unsmoothed and not stretched.
            ErrorBox("SFF:Could not created smoothed force field");
        } else {
            Range smoothRange;
            if (!SmoothInPlace(field.get(), saved.get(), work.get(), width, height, n,
                               &smoothRange)) {
                return nullptr;
            }
            smoothRange.WidenIfFlat();
            Normalise(field.get(), size, height, smoothRange);
        }
    }

    if (Stopped()) return nullptr;
    return field;
}
