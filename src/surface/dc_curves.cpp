// Ellipses, arcs, rounded rectangles and Bézier curves: the outline is a
// polyline of pixel centres (curves_points.cpp), stroked with the pen like
// any other path; the interior is GDI's rounded-rectangle region.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "surface/curves_internal.h"
#include "surface/dc.h"
#include "surface/raster.h"

namespace {

// A shape's box in device pixels, right and bottom exclusive, in 64 bits so
// that pulling it in for an inside-frame pen cannot overflow.
struct Box {
    long long left;
    long long top;
    long long right;
    long long bottom;
    long long Width() const { return right - left; }
    long long Height() const { return bottom - top; }
    RECT Rect() const {
        return {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                static_cast<LONG>(bottom)};
    }
};

// The box GDI strokes for the given corners: ordered, and pulled in by half
// the pen's width when the pen is inside-frame. False for an empty box, which
// draws nothing.
bool PenBox(int left, int top, int right, int bottom, const PenAttributes& pen, Box& box) {
    box = {std::min(left, right), std::min(top, bottom), std::max(left, right),
           std::max(top, bottom)};
    if (box.Width() == 0 || box.Height() == 0) return false;
    if (pen.style == PS_INSIDEFRAME) {
        const long long width = std::max(pen.width, 1);
        box.left += width / 2;
        box.top += width / 2;
        box.right -= (width - 1) / 2;
        box.bottom -= (width - 1) / 2;
    }
    return true;
}

// True when nothing the pen or the brush could paint for the box reaches the
// surface, so that far-away shapes cost nothing.
bool OffSurface(const raster::Target& target, const Box& box, const PenAttributes& pen) {
    if (!target.bits) return true;
    const long long margin = std::max(pen.width, 1) + 1;
    return box.right + margin <= 0 || box.bottom + margin <= 0 ||
           box.left - margin >= target.width || box.top - margin >= target.height;
}

// A wide pen paints a dot at every vertex and a band along every segment.
// Along a run of equal king's moves the dots in the middle of the run lie
// inside the band and the dots at its ends, so the run can go as one
// segment: the same pixels for a fraction of the work.
std::vector<POINT> MergeStraightRuns(const std::vector<POINT>& points, bool closed) {
    std::vector<POINT> merged;
    merged.reserve(points.size());
    for (const POINT& p : points) {
        if (!merged.empty() && merged.back().x == p.x && merged.back().y == p.y) continue;
        const size_t n = merged.size();
        if (n >= 2) {
            const POINT& a = merged[n - 2];
            POINT& b = merged[n - 1];
            const long long dx = static_cast<long long>(b.x) - a.x;
            const long long dy = static_cast<long long>(b.y) - a.y;
            const bool kingsMove = std::llabs(dx) <= 1 && std::llabs(dy) <= 1;
            if (kingsMove && static_cast<long long>(p.x) - b.x == dx &&
                static_cast<long long>(p.y) - b.y == dy) {
                b = p;
                continue;
            }
        }
        merged.push_back(p);
    }
    if (closed && merged.size() > 2 && merged.back().x == merged.front().x &&
        merged.back().y == merged.front().y) {
        merged.pop_back();
    }
    return merged;
}

// Drops the inner points of every run that stays beyond one edge of the
// surface by more than the pen can reach: the shortcut from the run's first
// to its last point stays beyond that edge too, so nothing visible changes
// (as long as no dash pattern counts the path's length).
std::vector<POINT> TrimOffSurface(const std::vector<POINT>& points, const raster::Target& target,
                                  long long margin) {
    auto outside = [&](const POINT& p) {
        return (p.x < -margin ? 1u : 0u) | (p.x >= target.width + margin ? 2u : 0u) |
               (p.y < -margin ? 4u : 0u) | (p.y >= target.height + margin ? 8u : 0u);
    };
    std::vector<POINT> kept;
    for (size_t i = 0; i < points.size();) {
        unsigned common = outside(points[i]);
        size_t last = i;
        while (common != 0 && last + 1 < points.size() && (common & outside(points[last + 1]))) {
            common &= outside(points[++last]);
        }
        kept.push_back(points[i]);
        if (last > i) kept.push_back(points[last]);
        i = last + 1;
    }
    return kept;
}

void StrokeOutline(CDC& dc, std::vector<POINT> points, bool closed) {
    const PenAttributes& pen = dc.Pen();
    if (pen.style == PS_NULL || points.size() < 2) return;
    if (pen.width > 1 || pen.style == PS_SOLID || pen.style == PS_INSIDEFRAME) {
        points = TrimOffSurface(points, raster::TargetOf(dc), std::max(pen.width, 1) + 1);
    }
    if (pen.width > 1) points = MergeStraightRuns(points, closed);
    raster::StrokePolyline(dc, points.data(), static_cast<int>(points.size()), closed);
}

BOOL DrawRoundRect(CDC& dc, int left, int top, int right, int bottom, long long cornerW,
                   long long cornerH) {
    Box box;
    if (!PenBox(left, top, right, bottom, dc.Pen(), box)) return TRUE;
    cornerW = std::min(box.Width(), std::llabs(cornerW));
    cornerH = std::min(box.Height(), std::llabs(cornerH));
    // Corners this small (and boxes the pen has turned inside out) are
    // plain rectangles.
    if (cornerW <= 2 || cornerH <= 2) return dc.Rectangle(left, top, right, bottom);

    const raster::Target target = raster::TargetOf(dc);
    if (OffSurface(target, box, dc.Pen())) return TRUE;
    if (cornerW > curves::kMaxEllipseExtent || cornerH > curves::kMaxEllipseExtent) return FALSE;
    const RECT rect = box.Rect();
    const int w = static_cast<int>(cornerW);
    const int h = static_cast<int>(cornerH);

    // The interior first, so that a one-pixel outline lies on its edge pixels.
    const BrushAttributes& brush = dc.Brush();
    if (!brush.hollow) {
        raster::SpanList interior(target.width, target.height);
        raster::AddRoundRect(interior, rect.left, rect.top, rect.right + 1, rect.bottom + 1, w, h);
        raster::PaintSpans(target, interior, brush.colour);
    }
    StrokeOutline(dc, curves::RoundRectOutline(rect, w, h, dc.GetArcDirection() == AD_CLOCKWISE),
                  true);
    return TRUE;
}

}  // namespace

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    return DrawRoundRect(*this, left, top, right, bottom, static_cast<long long>(right) - left,
                         static_cast<long long>(bottom) - top);
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
              int yEnd) {
    Box box;
    if (!PenBox(left, top, right, bottom, pen_, box)) return TRUE;
    if (box.Width() < 1 || box.Height() < 1) return TRUE;
    if (OffSurface(raster::TargetOf(*this), box, pen_)) return TRUE;
    if (box.Width() > curves::kMaxEllipseExtent || box.Height() > curves::kMaxEllipseExtent) {
        return FALSE;
    }
    // The radials run from the centre pixel through the given points.
    const long long cx = box.left + box.Width() / 2;
    const long long cy = box.top + box.Height() / 2;
    StrokeOutline(*this,
                  curves::ArcPoints(box.Rect(), xStart - cx, yStart - cy, xEnd - cx, yEnd - cy,
                                    arcDirection_ == AD_CLOCKWISE),
                  false);
    return TRUE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int ellipseW, int ellipseH) {
    return DrawRoundRect(*this, left, top, right, bottom, ellipseW, ellipseH);
}

BOOL CDC::PolyBezier(const POINT* points, int count) {
    if (!points || count < 4 || (count - 1) % 3 != 0) return FALSE;
    StrokeOutline(*this, curves::FlattenBeziers(points, count), false);
    return TRUE;
}
