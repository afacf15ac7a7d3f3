// Point generation for ellipses, arcs, rounded rectangles and Bézier curves.
#include <cstdlib>

#include "surface/curves_internal.h"

namespace curves {

namespace {

LONG ToLong(long long v) {
    return static_cast<LONG>(v);
}

}  // namespace

std::vector<POINT> EllipseQuadrant(int width, int height) {
    std::vector<POINT> quadrant;
    if (width < 1 || height < 1 || width > kMaxEllipseExtent || height > kMaxEllipseExtent) {
        return quadrant;
    }
    // Zingl's midpoint stepping for the ellipse through the centres of the
    // box's outer pixels: semi-axes a/2 and b/2, error terms kept in units
    // of a quarter so that odd sizes (centre between pixels) stay integral.
    const long long a = width - 1;
    const long long b = height - 1;
    const long long oddB = b % 2;
    long long errStepX = 4 * b * b * (1 - a);     // error change of the next step left
    long long errStepY = 4 * a * a * (1 + oddB);  // error change of the next step up
    long long err = errStepX + errStepY + a * a * oddB;
    long long x = a;
    long long y = height / 2;

    // Each round steps left, up or both, so the quarter has at most this many
    // points; the bound also guarantees the loop ends.
    const size_t limit = static_cast<size_t>(width - width / 2 + height - height / 2 + 1);
    quadrant.reserve(limit);
    while (x >= width / 2 && quadrant.size() < limit) {
        quadrant.push_back({ToLong(x), ToLong(y)});
        const long long e2 = 2 * err;
        if (e2 >= errStepX) {
            --x;
            errStepX += 8 * b * b;
            err += errStepX;
        }
        if (e2 <= errStepY) {
            ++y;
            errStepY += 8 * a * a;
            err += errStepY;
        }
    }
    return quadrant;
}

std::vector<POINT> RoundRectOutline(const RECT& box, int cornerW, int cornerH, bool clockwise) {
    std::vector<POINT> outline = EllipseQuadrant(cornerW, cornerH);
    if (outline.empty()) return outline;

    // The top-right corner (bottom-right when clockwise), from its right end.
    for (POINT& p : outline) {
        p.x = box.right - cornerW + p.x;
        p.y = clockwise ? box.bottom - cornerH + p.y : box.top + cornerH - 1 - p.y;
    }
    outline.reserve(outline.size() * 4);

    // The left half mirrors the right one, walked backwards. An ellipse of
    // odd width shares its middle pixel between the halves: keep it once.
    const long long boxW = static_cast<long long>(box.right) - box.left;
    const long long boxH = static_cast<long long>(box.bottom) - box.top;
    size_t n = outline.size();
    size_t from = (cornerW % 2 != 0 && cornerW == boxW) ? n - 1 : n;
    for (size_t i = from; i-- > 0;) {
        const POINT p = outline[i];
        outline.push_back({ToLong(static_cast<long long>(box.left) + box.right - 1 - p.x), p.y});
    }

    // The lower half mirrors the upper one the same way.
    n = outline.size();
    from = (cornerH % 2 != 0 && cornerH == boxH) ? n - 1 : n;
    for (size_t i = from; i-- > 0;) {
        const POINT p = outline[i];
        outline.push_back({p.x, ToLong(static_cast<long long>(box.top) + box.bottom - 1 - p.y)});
    }
    return outline;
}

namespace {

// Where the radial through (x, y) (relative to the centre, y pointing the way
// the arc's first quarter runs) leaves the ellipse: an index into the four
// quarters of n points each, quarter k holding indices k·n .. k·n + n - 1.
// Quarters 1 and 3 run through the quadrant's points backwards. rel are the
// quadrant's points relative to the centre.
long long RadialIndex(const std::vector<POINT>& rel, long long x, long long y) {
    const long long n = static_cast<long long>(rel.size());
    long long i = 0;
    if (y >= 0) {
        if (x >= 0) {
            while (i < n && rel[i].x * y > rel[i].y * x)
                ++i;
            return i;
        }
        while (i < n && rel[i].x * y >= rel[i].y * -x)
            ++i;
        return 2 * n - i;
    }
    if (x >= 0) {
        while (i < n && rel[i].x * -y > rel[i].y * x)
            ++i;
        return 4 * n - i;
    }
    while (i < n && rel[i].x * -y >= rel[i].y * -x)
        ++i;
    return 2 * n + i;
}

}  // namespace

std::vector<POINT> ArcPoints(const RECT& box, long long startX, long long startY, long long endX,
                             long long endY, bool clockwise) {
    std::vector<POINT> arc;
    const long long w = static_cast<long long>(box.right) - box.left;
    const long long h = static_cast<long long>(box.bottom) - box.top;
    if (w < 1 || h < 1 || w > kMaxEllipseExtent || h > kMaxEllipseExtent) return arc;
    std::vector<POINT> rel = EllipseQuadrant(static_cast<int>(w), static_cast<int>(h));
    for (POINT& p : rel) {
        p.x -= ToLong(w / 2);
        p.y -= ToLong(h / 2);
    }

    // The quarters are counted from the right-hand end of the horizontal axis
    // in the direction of drawing; with y upward that is counter-clockwise.
    if (!clockwise) {
        startY = -startY;
        endY = -endY;
    }
    const long long n = static_cast<long long>(rel.size());
    const long long first = RadialIndex(rel, startX, startY);
    long long last = RadialIndex(rel, endX, endY);
    if (last <= first) last += 4 * n;

    // Pixel columns right and left of the centre, rows below and above it.
    const long long rightX = box.left + w / 2;
    const long long leftX = box.right - 1 - w / 2;
    const long long lowerY = box.top + h / 2;
    const long long upperY = box.bottom - 1 - h / 2;
    arc.reserve(static_cast<size_t>(last - first));
    for (long long i = first; i < last; ++i) {
        const long long quarter = (i / n) % 4;
        const long long k = i % n;
        const POINT& p = rel[static_cast<size_t>(quarter % 2 == 0 ? k : n - 1 - k)];
        const bool right = quarter == 0 || quarter == 3;
        const bool below = (quarter <= 1) == clockwise;
        arc.push_back({ToLong(right ? rightX + p.x : leftX - p.x),
                       ToLong(below ? lowerY + p.y : upperY - p.y)});
    }
    return arc;
}

namespace {

// Bézier flattening works in sixteenths of a pixel.
constexpr long long kSub = 16;

struct SubPoint {
    long long x;
    long long y;
};

long long ToPixel(long long v) {
    return (v + kSub / 2) >> 4;  // nearest pixel, halves upward
}

// The midpoint rounded half up for positive sums; the division truncates
// towards zero, as the flattening has always done.
SubPoint Middle(SubPoint a, SubPoint b) {
    return {(a.x + b.x + 1) / 2, (a.y + b.y + 1) / 2};
}

// True when the curve may be drawn as the line from c[0] to c[3]: both
// control points lie between the ends along the line's major axis and
// within a pixel of the line across it.
bool IsFlat(const SubPoint c[4]) {
    const long long dx = c[3].x - c[0].x;
    const long long dy = c[3].y - c[0].y;
    const bool shallow = std::llabs(dy) <= std::llabs(dx);
    auto major = [&](const SubPoint& p) { return shallow ? p.x : p.y; };
    auto minor = [&](const SubPoint& p) { return shallow ? p.y : p.x; };
    for (int k = 1; k <= 2; ++k) {
        const bool outside =
            major(c[k]) < major(c[0]) ? major(c[k]) < major(c[3]) : major(c[k]) > major(c[3]);
        if (outside) return false;
    }
    const long long run = ToPixel(shallow ? dx : dy);
    if (run == 0) return true;
    // Slope in sixteenths per pixel, truncated.
    const long long slope = (shallow ? dy : dx) / run;
    for (int k = 1; k <= 2; ++k) {
        const long long off =
            minor(c[k]) - minor(c[0]) - slope * ToPixel(major(c[k]) - major(c[0]));
        if (std::llabs(off) > kSub) return false;
    }
    return true;
}

void Subdivide(SubPoint c[4], int depth, std::vector<POINT>& out) {
    if (depth == 0 || IsFlat(c)) {
        if (out.empty()) out.push_back({ToLong(ToPixel(c[0].x)), ToLong(ToPixel(c[0].y))});
        out.push_back({ToLong(ToPixel(c[3].x)), ToLong(ToPixel(c[3].y))});
        return;
    }
    // de Casteljau at t = 1/2, each midpoint rounded as it is made.
    SubPoint second[4];
    second[3] = c[3];
    second[2] = Middle(c[2], c[3]);
    const SubPoint hull = Middle(c[1], c[2]);
    second[1] = Middle(hull, second[2]);
    c[1] = Middle(c[0], c[1]);
    c[2] = Middle(c[1], hull);
    c[3] = Middle(c[2], second[1]);
    second[0] = c[3];
    Subdivide(c, depth - 1, out);
    Subdivide(second, depth - 1, out);
}

}  // namespace

std::vector<POINT> FlattenBeziers(const POINT* points, int count) {
    std::vector<POINT> out;
    if (!points || count < 4 || (count - 1) % 3 != 0) return out;
    constexpr int kMaxDepth = 8;
    for (int start = 0; start + 3 < count; start += 3) {
        SubPoint c[4];
        for (int k = 0; k < 4; ++k) {
            c[k] = {points[start + k].x * kSub, points[start + k].y * kSub};
        }
        Subdivide(c, kMaxDepth, out);
    }
    return out;
}

}  // namespace curves
