#include "surface/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "surface/dc.h"

namespace raster {

namespace {

using i64 = long long;
__extension__ typedef __int128 i128;

// Polygon and wide-pen coordinates are held to ±2^28 so that every product
// in the edge arithmetic fits in 64 bits; the classic platform itself only
// promises 27-bit coordinates.
constexpr i64 kCoordLimit = i64{1} << 28;

i64 ClampCoord(i64 v) {
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

i64 FloorDiv(i64 a, i64 b) {  // b > 0
    i64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

i64 CeilDiv(i64 a, i64 b) {  // b > 0
    return -FloorDiv(-a, b);
}

// Nearest whole number, halves away from zero: how the wide-pen outline
// turns its half widths into whole pixels.
i64 RoundAway(double v) {
    return static_cast<i64>(v > 0 ? v + 0.5 : v - 0.5);
}

}  // namespace

// ---------------------------------------------------------------------------
// SpanList

void SpanList::Add(i64 y, i64 x0, i64 x1) {
    if (y < 0 || y >= height_) return;
    x0 = std::max<i64>(x0, 0);
    x1 = std::min<i64>(x1, width_);
    if (x0 >= x1) return;
    const Span s{static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)};
    if (!spans_.empty()) {
        const Span& last = spans_.back();
        if (s.y < last.y || (s.y == last.y && s.x0 < last.x0)) sorted_ = false;
    }
    spans_.push_back(s);
}

void SpanList::AddRect(i64 left, i64 top, i64 right, i64 bottom) {
    const i64 y0 = std::max<i64>(top, 0);
    const i64 y1 = std::min<i64>(bottom, height_);
    for (i64 y = y0; y < y1; ++y)
        Add(y, left, right);
}

namespace {

// Many short runs (a wide pen's dots and bands): a counting sort over the
// rows the spans occupy, then each row's spans by column.
void SortByRowThenColumn(std::vector<Span>& spans) {
    int top = spans.front().y;
    int bottom = top;
    for (const Span& s : spans) {
        top = std::min(top, s.y);
        bottom = std::max(bottom, s.y);
    }
    // Scratch kept per thread: freeing large blocks on every shape makes the
    // allocator hand memory back to the system and fetch it again.
    thread_local std::vector<size_t> start;
    thread_local std::vector<size_t> next;
    thread_local std::vector<Span> sorted;
    start.assign(static_cast<size_t>(bottom - top) + 2, 0);
    for (const Span& s : spans)
        ++start[static_cast<size_t>(s.y - top) + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    sorted.resize(spans.size());
    next.assign(start.begin(), start.end() - 1);
    for (const Span& s : spans)
        sorted[next[static_cast<size_t>(s.y - top)]++] = s;
    for (size_t r = 0; r + 1 < start.size(); ++r) {
        const auto first = sorted.begin() + static_cast<std::ptrdiff_t>(start[r]);
        const auto last = sorted.begin() + static_cast<std::ptrdiff_t>(start[r + 1]);
        if (last - first > 16) {
            std::sort(first, last, [](const Span& a, const Span& b) { return a.x0 < b.x0; });
            continue;
        }
        for (auto i = first; i != last; ++i) {
            const Span s = *i;
            auto j = i;
            for (; j != first && (j - 1)->x0 > s.x0; --j)
                *j = *(j - 1);
            *j = s;
        }
    }
    std::copy(sorted.begin(), sorted.end(), spans.begin());
}

}  // namespace

void SpanList::Normalise() {
    if (!sorted_) {
        const auto before = [](const Span& a, const Span& b) {
            return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
        };
        // Each shape adds its spans in order, so the list is a few sorted
        // runs: merging them is cheaper than sorting.
        std::vector<size_t> runs{0};
        for (size_t i = 1; i < spans_.size(); ++i)
            if (before(spans_[i], spans_[i - 1])) runs.push_back(i);
        if (runs.size() > 32) {
            SortByRowThenColumn(spans_);
        } else {
            runs.push_back(spans_.size());
            for (size_t width = 1; width + 1 < runs.size(); width *= 2) {
                for (size_t i = 0; i + width + 1 < runs.size(); i += 2 * width) {
                    const size_t end = std::min(i + 2 * width, runs.size() - 1);
                    std::inplace_merge(
                        spans_.begin() + static_cast<std::ptrdiff_t>(runs[i]),
                        spans_.begin() + static_cast<std::ptrdiff_t>(runs[i + width]),
                        spans_.begin() + static_cast<std::ptrdiff_t>(runs[end]), before);
                }
            }
        }
        sorted_ = true;
    }
    size_t out = 0;
    for (size_t i = 0; i < spans_.size(); ++i) {
        const Span& s = spans_[i];
        if (out > 0 && spans_[out - 1].y == s.y && spans_[out - 1].x1 >= s.x0) {
            spans_[out - 1].x1 = std::max(spans_[out - 1].x1, s.x1);
        } else {
            spans_[out++] = s;
        }
    }
    spans_.resize(out);
}

void SpanList::Subtract(SpanList& other) {
    Normalise();
    other.Normalise();
    std::vector<Span> result;
    result.reserve(spans_.size());
    const std::vector<Span>& cut = other.spans_;
    size_t j = 0;
    for (const Span& s : spans_) {
        while (j < cut.size() && (cut[j].y < s.y || (cut[j].y == s.y && cut[j].x1 <= s.x0)))
            ++j;
        int x = s.x0;
        for (size_t k = j; k < cut.size() && cut[k].y == s.y && cut[k].x0 < s.x1; ++k) {
            if (cut[k].x0 > x) result.push_back({s.y, x, cut[k].x0});
            x = std::max(x, cut[k].x1);
        }
        if (x < s.x1) result.push_back({s.y, x, s.x1});
    }
    spans_ = std::move(result);
}

// ---------------------------------------------------------------------------
// Painting

Target TargetOf(const CDC& dc) {
    Target t;
    const DibSection* dib = dc.GetCurrentBitmap();
    if (!dib || !dib->bits || dib->width <= 0 || dib->height <= 0) return t;
    t.bits = dib->bits;
    t.width = dib->width;
    t.height = dib->height;
    t.rowBytes = dib->rowBytes;
    return t;
}

namespace {

BYTE* PixelAt(const Target& t, int x, int y) {
    return t.bits + static_cast<size_t>(t.height - 1 - y) * static_cast<size_t>(t.rowBytes) +
           static_cast<size_t>(x) * 3;
}

void PutPixel(const Target& t, int x, int y, COLORREF colour) {
    BYTE* p = PixelAt(t, x, y);
    p[0] = static_cast<BYTE>(GetBValue(colour));
    p[1] = static_cast<BYTE>(GetGValue(colour));
    p[2] = static_cast<BYTE>(GetRValue(colour));
}

}  // namespace

void PaintSpan(const Target& t, int y, int x0, int x1, COLORREF colour) {
    if (!t.bits || y < 0 || y >= t.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, t.width);
    if (x0 >= x1) return;
    BYTE* p = PixelAt(t, x0, y);
    const int n = x1 - x0;
    // Four pixels make twelve bytes: a whole number of 32-bit words.
    BYTE block[12];
    for (int i = 0; i < 4; ++i) {
        block[3 * i] = static_cast<BYTE>(GetBValue(colour));
        block[3 * i + 1] = static_cast<BYTE>(GetGValue(colour));
        block[3 * i + 2] = static_cast<BYTE>(GetRValue(colour));
    }
    if (n <= 4) {
        std::memcpy(p, block, static_cast<size_t>(n) * 3);
        return;
    }
    // Long runs: copy the part already painted onto the rest, doubling it
    // each time, so that the copying runs in large blocks.
    const size_t total = static_cast<size_t>(n) * 3;
    std::memcpy(p, block, 12);
    size_t done = 12;
    while (done < total) {
        const size_t chunk = std::min(done, total - done);
        std::memcpy(p + done, p, chunk);
        done += chunk;
    }
}

void PaintSpans(const Target& t, const SpanList& spans, COLORREF colour) {
    for (const Span& s : spans.Spans())
        PaintSpan(t, s.y, s.x0, s.x1, colour);
}

// ---------------------------------------------------------------------------
// One-pixel lines
//
// The line steps along its major axis; pixel k (k = 0 .. length - 1) lies
// n_k steps along the minor axis with
//     n_k = floor((2 k minor + major + bias - 1) / (2 major)),
// the classic Bresenham choice with ties broken by the bias. The bias is 1
// for the octants whose direction points up-right of the anti-diagonal
// (octants 3, 5, 6 and 8 counted clockwise from +x, y downward), which is
// exactly what makes a line and its reverse set the same pixels.

namespace {

struct LineSetup {
    POINT start;
    bool xMajor = true;
    int xInc = 1;
    int yInc = 1;
    i64 major = 0;  // number of pixels: the end point is left out
    i64 minor = 0;
    i64 bias = 0;
};

// Very large coordinates are brought into range the way the reference does:
// such an end point is divided by 8, which keeps 64-bit products safe.
POINT CropPoint(POINT p) {
    constexpr LONG kLimit = 0x10000000;
    if (p.x >= kLimit || p.x <= -kLimit || p.y >= kLimit || p.y <= -kLimit) {
        p.x /= 8;
        p.y /= 8;
    }
    return p;
}

LineSetup SetUpLine(POINT a, POINT b) {
    if (a.x != b.x && a.y != b.y) {
        a = CropPoint(a);
        b = CropPoint(b);
    }
    LineSetup s;
    s.start = a;
    const i64 dx = i64{b.x} - a.x;
    const i64 dy = i64{b.y} - a.y;
    const i64 adx = std::llabs(dx);
    const i64 ady = std::llabs(dy);
    int octant;
    if (dy > 0) {
        if (dx > 0)
            octant = adx > ady ? 1 : 2;
        else
            octant = adx > ady ? 4 : 3;
    } else {
        if (dx < 0)
            octant = adx > ady ? 5 : 6;
        else
            octant = adx > ady ? 8 : 7;
    }
    s.bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    s.xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    s.xInc = dx >= 0 ? 1 : -1;
    s.yInc = dy > 0 ? 1 : -1;
    s.major = s.xMajor ? adx : ady;
    s.minor = s.xMajor ? ady : adx;
    return s;
}

// Calls put(k, x, y) for the pixels of the line inside width × height, in
// drawing order.
template <typename Put>
void WalkLine(const LineSetup& s, int width, int height, Put put) {
    if (s.major == 0) return;
    // Along the major and minor axes: start coordinate, step, extent.
    const i64 ma0 = s.xMajor ? s.start.x : s.start.y;
    const i64 mi0 = s.xMajor ? s.start.y : s.start.x;
    const int maInc = s.xMajor ? s.xInc : s.yInc;
    const int miInc = s.xMajor ? s.yInc : s.xInc;
    const i64 maSize = s.xMajor ? width : height;
    const i64 miSize = s.xMajor ? height : width;

    // k range from the major axis: 0 <= ma0 + k maInc < maSize.
    i64 kLo = 0;
    i64 kHi = s.major - 1;
    if (maInc > 0) {
        kLo = std::max(kLo, -ma0);
        kHi = std::min(kHi, maSize - 1 - ma0);
    } else {
        kLo = std::max(kLo, ma0 - (maSize - 1));
        kHi = std::min(kHi, ma0);
    }
    // n range from the minor axis, turned into a k range through n_k.
    const i64 nLo = miInc > 0 ? -mi0 : mi0 - (miSize - 1);
    const i64 nHi = miInc > 0 ? miSize - 1 - mi0 : mi0;
    const i64 twoMajor = 2 * s.major;
    const i64 twoMinor = 2 * s.minor;
    if (s.minor == 0) {
        if (nLo > 0 || nHi < 0) return;
    } else {
        kLo = std::max(kLo, CeilDiv(twoMajor * nLo - s.major - s.bias + 1, twoMinor));
        kHi = std::min(kHi, FloorDiv(twoMajor * (nHi + 1) - s.major - s.bias, twoMinor));
    }
    if (kLo > kHi) return;

    const i64 num = twoMinor * kLo + s.major + s.bias - 1;
    i64 n = FloorDiv(num, twoMajor);
    i64 err = num - n * twoMajor;  // 0 <= err < 2 major
    for (i64 k = kLo; k <= kHi; ++k) {
        const i64 ma = ma0 + k * maInc;
        const i64 mi = mi0 + n * miInc;
        if (s.xMajor)
            put(k, static_cast<int>(ma), static_cast<int>(mi));
        else
            put(k, static_cast<int>(mi), static_cast<int>(ma));
        err += twoMinor;
        if (err >= twoMajor) {
            err -= twoMajor;
            ++n;
        }
    }
}

// Dash patterns of one-pixel pens, in pixels: on, off, on, off, ...
struct DashPattern {
    int count;
    int lengths[6];
    int total;
};

const DashPattern* DashPatternOf(int style) {
    static const DashPattern kDash{2, {18, 6}, 24};
    static const DashPattern kDot{2, {3, 3}, 6};
    static const DashPattern kDashDot{4, {9, 6, 3, 6}, 24};
    static const DashPattern kDashDotDot{6, {9, 3, 3, 3, 3, 3}, 24};
    switch (style) {
        case PS_DASH:
            return &kDash;
        case PS_DOT:
            return &kDot;
        case PS_DASHDOT:
            return &kDashDot;
        case PS_DASHDOTDOT:
            return &kDashDotDot;
        default:
            return nullptr;
    }
}

bool DashIsOn(const DashPattern& p, i64 position) {
    int at = static_cast<int>(position % p.total);
    for (int i = 0; i < p.count; ++i) {
        if (at < p.lengths[i]) return i % 2 == 0;
        at -= p.lengths[i];
    }
    return false;
}

}  // namespace

void ThinLine(const Target& t, POINT a, POINT b, COLORREF colour) {
    if (!t.bits) return;
    WalkLine(SetUpLine(a, b), t.width, t.height,
             [&](i64, int x, int y) { PutPixel(t, x, y, colour); });
}

// ---------------------------------------------------------------------------
// Polygon regions
//
// Each non-horizontal edge covers the rows from its upper end (included) to
// its lower end (left out). On row y an edge stands at the smallest whole x
// not left of the exact crossing; a pixel is inside when the edges at or
// left of it give an odd count (ALTERNATE) or a non-zero sum of directions
// (WINDING).

namespace {

struct Edge {
    i64 yTop;
    i64 yBottom;
    i64 xTop;
    i64 dx;
    i64 dy;   // > 0
    int dir;  // +1 downward, -1 upward
    // Current row's x and the remainder: exact x = x - rem / dy.
    i64 x;
    i64 rem;
    i64 stepQ;
    i64 stepR;

    void Start(i64 y) {
        const i64 num = xTop * dy + (y - yTop) * dx;
        x = CeilDiv(num, dy);
        rem = x * dy - num;
        stepQ = FloorDiv(dx, dy);
        stepR = dx - stepQ * dy;
    }
    void Step() {
        x += stepQ;
        rem -= stepR;
        if (rem < 0) {
            rem += dy;
            ++x;
        }
    }
};

struct Crossing {
    i64 x;
    int dir;
};

}  // namespace

void AddPolygon(SpanList& out, const POINT* pts, int count, int fillMode) {
    if (!pts || count < 2) return;
    std::vector<Edge> edges;
    edges.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const POINT& p = pts[i == 0 ? count - 1 : i - 1];
        const POINT& q = pts[i];
        const i64 px = ClampCoord(p.x), py = ClampCoord(p.y);
        const i64 qx = ClampCoord(q.x), qy = ClampCoord(q.y);
        if (py == qy) continue;
        Edge e{};
        if (py > qy) {
            e = {qy, py, qx, px - qx, py - qy, -1, 0, 0, 0, 0};
        } else {
            e = {py, qy, px, qx - px, qy - py, 1, 0, 0, 0, 0};
        }
        if (e.yTop >= out.Height() || e.yBottom <= 0) continue;
        edges.push_back(e);
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    i64 yEnd = 0;
    for (const Edge& e : edges)
        yEnd = std::max(yEnd, e.yBottom);
    yEnd = std::min<i64>(yEnd, out.Height());

    std::vector<Edge> active;
    std::vector<Crossing> cross;
    size_t next = 0;
    for (i64 y = std::max<i64>(edges.front().yTop, 0); y < yEnd; ++y) {
        for (; next < edges.size() && edges[next].yTop <= y; ++next) {
            active.push_back(edges[next]);
            active.back().Start(y);
        }
        std::erase_if(active, [y](const Edge& e) { return e.yBottom <= y; });
        if (active.empty()) {
            if (next == edges.size()) break;
            y = edges[next].yTop - 1;
            continue;
        }
        cross.clear();
        for (const Edge& e : active)
            cross.push_back({e.x, e.dir});
        // Few crossings per row: insertion sort.
        for (size_t i = 1; i < cross.size(); ++i) {
            const Crossing c = cross[i];
            size_t j = i;
            for (; j > 0 && cross[j - 1].x > c.x; --j)
                cross[j] = cross[j - 1];
            cross[j] = c;
        }
        if (fillMode == WINDING) {
            int winding = 0;
            i64 start = 0;
            for (const Crossing& c : cross) {
                const int before = winding;
                winding += c.dir;
                if (before == 0 && winding != 0) start = c.x;
                if (before != 0 && winding == 0) out.Add(y, start, c.x);
            }
        } else {
            for (size_t i = 0; i + 1 < cross.size(); i += 2)
                out.Add(y, cross[i].x, cross[i + 1].x);
        }
        for (Edge& e : active)
            e.Step();
    }
}

// ---------------------------------------------------------------------------
// Elliptic and round-rectangle regions
//
// The corner ellipse is traced by an integer midpoint walk (after Alois
// Zingl) from the middle row outward; each row keeps the inset of its first
// pixel. The region leaves out the rectangle's last column and row.

namespace {

struct RoundRectShape {
    i64 left = 0, top = 0, right = 0, bottom = 0;  // right and bottom left out
    int ellipseW = 0;
    int ellipseH = 0;
    std::vector<int> inset;  // per corner-ellipse row
};

RoundRectShape ShapeRoundRect(i64 left, i64 top, i64 right, i64 bottom, i64 ellipseW,
                              i64 ellipseH) {
    RoundRectShape s;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    s.left = left;
    s.top = top;
    s.right = right - 1;
    s.bottom = bottom - 1;
    // Corner ellipses wider or taller than kMaxEllipse pixels (far beyond
    // any canvas) are drawn that size, keeping the walk short.
    constexpr i64 kMaxEllipse = i64{1} << 20;
    const i64 ew = std::min({s.right - s.left, std::llabs(ellipseW), kMaxEllipse});
    const i64 eh = std::min({s.bottom - s.top, std::llabs(ellipseH), kMaxEllipse});
    if (ew < 2 || eh < 2) return s;  // a plain rectangle
    s.ellipseW = static_cast<int>(ew);
    s.ellipseH = static_cast<int>(eh);

    // The error terms grow as the cube of the size: 128 bits keep them.
    const i128 a = ew - 1;
    const i128 b = eh - 1;
    const i128 asq = 8 * a * a;
    const i128 bsq = 8 * b * b;
    i128 dx = 4 * b * b * (1 - a);
    i128 dy = 4 * a * a * (1 + (b % 2));
    i128 err = dx + dy + a * a * (b % 2);
    s.inset.assign(static_cast<size_t>(eh), -1);
    i64 x = 0;
    i64 y = eh / 2;
    s.inset[static_cast<size_t>(y)] = 0;
    while (x <= ew / 2) {
        const i128 e2 = 2 * err;
        if (e2 >= dx) {
            ++x;
            dx += bsq;
            err += dx;
        }
        if (e2 <= dy) {
            ++y;
            dy += asq;
            err += dy;
            if (y < eh) s.inset[static_cast<size_t>(y)] = static_cast<int>(x);
        }
    }
    for (i64 i = eh / 2 + 1; i < eh; ++i) {
        if (s.inset[static_cast<size_t>(i)] < 0)
            s.inset[static_cast<size_t>(i)] = s.inset[static_cast<size_t>(i - 1)];
    }
    for (i64 i = 0; i < eh / 2; ++i)
        s.inset[static_cast<size_t>(i)] = s.inset[static_cast<size_t>(eh - 1 - i)];
    return s;
}

void AddShape(SpanList& out, const RoundRectShape& s, i64 dx, i64 dy) {
    if (s.ellipseH == 0) {
        out.AddRect(s.left + dx, s.top + dy, s.right + dx, s.bottom + dy);
        return;
    }
    const int eh = s.ellipseH;
    for (int i = 0; i < eh; ++i) {
        const i64 inset = s.inset[static_cast<size_t>(i)];
        const i64 x0 = s.left + inset + dx;
        const i64 x1 = s.right - inset + dx;
        if (i < eh / 2) {
            out.Add(s.top + i + dy, x0, x1);
        } else if (i == eh / 2) {
            // The middle row stretches over the straight sides.
            out.AddRect(x0, s.top + i + dy, x1, s.bottom - eh + i + 1 + dy);
        } else {
            out.Add(s.bottom - eh + i + dy, x0, x1);
        }
    }
}

}  // namespace

void AddRoundRect(SpanList& out, int left, int top, int right, int bottom, int ellipseW,
                  int ellipseH, i64 dx, i64 dy) {
    AddShape(out, ShapeRoundRect(left, top, right, bottom, ellipseW, ellipseH), dx, dy);
}

// ---------------------------------------------------------------------------
// Wide pens
//
// The outline is the union of one piece per segment and a round dot of the
// pen's width at every vertex (the caps of an open path and the joins).
// Axis-parallel segments are rectangles from the smaller to the larger end
// (the larger left out), width / 2 above or left of the path. Slanted ones
// are quadrilaterals whose half widths across the path are rounded
// separately for the two sides, the wider half on the side that the
// direction of travel turns to.

namespace {

void AddWideSegment(SpanList& out, const POINT& p1, const POINT& p2, int width) {
    const i64 x1 = ClampCoord(p1.x), y1 = ClampCoord(p1.y);
    const i64 x2 = ClampCoord(p2.x), y2 = ClampCoord(p2.y);
    const i64 dx = x2 - x1;
    const i64 dy = y2 - y1;
    if (dx == 0 && dy == 0) return;
    if (dy == 0) {
        const i64 top = y1 - width / 2;
        out.AddRect(std::min(x1, x2), top, std::max(x1, x2), top + width);
        return;
    }
    if (dx == 0) {
        const i64 left = x1 - width / 2;
        out.AddRect(left, std::min(y1, y2), left + width, std::max(y1, y2));
        return;
    }
    const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
    const double widthX = width * static_cast<double>(std::llabs(dy)) / len;
    const double widthY = width * static_cast<double>(std::llabs(dx)) / len;
    i64 narrowX = RoundAway(widthX / 2);
    i64 narrowY = RoundAway(widthY / 2);
    i64 wideX = RoundAway((widthX + 1) / 2);
    i64 wideY = RoundAway((widthY + 1) / 2);
    if (dx < 0) {
        wideY = -wideY;
        narrowY = -narrowY;
    }
    if (dy < 0) {
        std::swap(narrowX, wideX);
        std::swap(narrowY, wideY);
        wideX = -wideX;
        narrowX = -narrowX;
    }
    const POINT quad[4] = {
        {static_cast<LONG>(x1 - narrowX), static_cast<LONG>(y1 + narrowY)},
        {static_cast<LONG>(x1 + wideX), static_cast<LONG>(y1 - wideY)},
        {static_cast<LONG>(x2 + wideX), static_cast<LONG>(y2 - wideY)},
        {static_cast<LONG>(x2 - narrowX), static_cast<LONG>(y2 + narrowY)},
    };
    AddPolygon(out, quad, 4, ALTERNATE);
}

}  // namespace

void AddWidePath(SpanList& out, const POINT* pts, int count, bool closed, int width) {
    if (!pts || count < 1 || width < 1) return;
    // The dot: the elliptic region of a width × width box around the vertex,
    // its extra pixel (for even widths) to the left and above.
    const RoundRectShape dot = ShapeRoundRect(-(width / 2), -(width / 2), (width + 1) / 2 + 1,
                                              (width + 1) / 2 + 1, width + 1, width + 1);
    for (int i = 0; i < count; ++i) {
        if (i + 1 < count) AddWideSegment(out, pts[i], pts[i + 1], width);
        AddShape(out, dot, ClampCoord(pts[i].x), ClampCoord(pts[i].y));
    }
    if (closed && count > 1) AddWideSegment(out, pts[count - 1], pts[0], width);
}

// ---------------------------------------------------------------------------
// The two entry points

void StrokePolyline(CDC& dc, const POINT* pts, int count, bool closed) {
    const PenAttributes& pen = dc.Pen();
    if (!pts || count < 2 || pen.style == PS_NULL) return;
    const Target t = TargetOf(dc);
    if (!t.bits) return;

    if (pen.width > 1) {
        SpanList outline(t.width, t.height);
        AddWidePath(outline, pts, count, closed, pen.width);
        outline.Normalise();
        PaintSpans(t, outline, pen.colour);
        return;
    }

    const int segments = closed ? count : count - 1;
    const DashPattern* dash = DashPatternOf(pen.style);
    if (!dash) {
        for (int i = 0; i < segments; ++i)
            ThinLine(t, pts[i], pts[(i + 1) % count], pen.colour);
        return;
    }
    // The pattern runs on along the path from its first point; the gaps take
    // the background colour when the background mode is opaque.
    const bool opaque = dc.GetBkMode() == OPAQUE;
    const COLORREF gap = dc.GetBkColor();
    i64 position = 0;
    for (int i = 0; i < segments; ++i) {
        const LineSetup s = SetUpLine(pts[i], pts[(i + 1) % count]);
        WalkLine(s, t.width, t.height, [&](i64 k, int x, int y) {
            if (DashIsOn(*dash, position + k))
                PutPixel(t, x, y, pen.colour);
            else if (opaque)
                PutPixel(t, x, y, gap);
        });
        position = (position + s.major) % dash->total;
    }
}

void FillPolygon(CDC& dc, const POINT* pts, int count, int fillMode) {
    const BrushAttributes& brush = dc.Brush();
    if (!pts || count < 2 || brush.hollow) return;
    const Target t = TargetOf(dc);
    if (!t.bits) return;
    SpanList interior(t.width, t.height);
    AddPolygon(interior, pts, count, fillMode);
    interior.Normalise();
    PaintSpans(t, interior, brush.colour);
}

void FillAndStroke(CDC& dc, SpanList& interior, const POINT* path, int count) {
    const PenAttributes& pen = dc.Pen();
    const BrushAttributes& brush = dc.Brush();
    const Target t = TargetOf(dc);
    if (!t.bits) return;
    if (pen.style == PS_NULL || pen.width <= 1) {
        if (!brush.hollow) {
            interior.Normalise();
            PaintSpans(t, interior, brush.colour);
        }
        StrokePolyline(dc, path, count, true);
        return;
    }
    SpanList outline(t.width, t.height);
    if (path && count >= 2) AddWidePath(outline, path, count, true, pen.width);
    if (!brush.hollow) {
        interior.Subtract(outline);
        PaintSpans(t, interior, brush.colour);
    }
    outline.Normalise();
    PaintSpans(t, outline, pen.colour);
}

}  // namespace raster
