// Lines, polylines, polygons and rectangles with GDI's pen and fill rules.
#include <algorithm>

#include "surface/dc.h"
#include "surface/raster.h"

POINT CDC::MoveTo(int x, int y) {
    POINT old = position_;
    position_ = {x, y};
    return old;
}

BOOL CDC::LineTo(int x, int y) {
    const POINT pts[2] = {position_, {x, y}};
    raster::StrokePolyline(*this, pts, 2, false);
    position_ = pts[1];
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    raster::StrokePolyline(*this, points, count, false);
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    const raster::Target t = raster::TargetOf(*this);
    raster::SpanList interior(t.width, t.height);
    if (!brush_.hollow) raster::AddPolygon(interior, points, count, fillMode_);
    raster::FillAndStroke(*this, interior, points, count);
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    long long l = std::min(left, right), r = std::max(left, right);
    long long t = std::min(top, bottom), b = std::max(top, bottom);
    if (l == r || t == b) return TRUE;
    const bool nullPen = pen_.style == PS_NULL;
    const int penWidth = nullPen ? 0 : std::max(pen_.width, 1);
    if (pen_.style == PS_INSIDEFRAME) {
        // The whole pen stays inside the box.
        l += penWidth / 2;
        t += penWidth / 2;
        r -= (penWidth - 1) / 2;
        b -= (penWidth - 1) / 2;
    }
    // The outline runs through the last column and row of the box. Edges
    // far outside any surface are pulled in to keep the arithmetic small.
    constexpr long long kFar = 1LL << 30;
    const auto L = static_cast<LONG>(std::clamp(l, -kFar, kFar));
    const auto T = static_cast<LONG>(std::clamp(t, -kFar, kFar));
    const auto R = static_cast<LONG>(std::clamp(r - 1, -kFar, kFar));
    const auto B = static_cast<LONG>(std::clamp(b - 1, -kFar, kFar));
    POINT corners[4] = {{R, T}, {L, T}, {L, B}, {R, B}};
    if (arcDirection_ == AD_CLOCKWISE) {
        corners[0] = {R, B};
        corners[1] = {L, B};
        corners[2] = {L, T};
        corners[3] = {R, T};
    }

    // A one-pixel outline is drawn inside the box and the interior stops
    // inside it; without a pen the box still loses its last column and row.
    // A wide pen's region is cut out of the whole box.
    const raster::Target target = raster::TargetOf(*this);
    raster::SpanList interior(target.width, target.height);
    const int in = penWidth <= 1 ? (penWidth + 1) / 2 : 0;
    if (!brush_.hollow) interior.AddRect(L + in, T + in, R, B);
    raster::FillAndStroke(*this, interior, corners, 4);
    return TRUE;
}
