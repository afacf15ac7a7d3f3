// The point sets behind Ellipse, Arc, RoundRect and PolyBezier, kept apart
// from the drawing so that they can be checked on their own.
//
// Rectangles here are device rectangles: left/top inclusive, right/bottom
// exclusive, already ordered. Every generator works in 64-bit arithmetic
// and refuses boxes it cannot handle without overflow.
#pragma once

#include <vector>

#include "surface/gdi_types.h"

namespace curves {

// Largest width or height of an ellipse box that gets points: beyond it the
// error terms of the stepping would no longer fit in 64 bits, and the point
// lists would run to many megabytes.
constexpr long long kMaxEllipseExtent = 1 << 19;

// One quarter of a width × height ellipse (both at least 1): the pixels from
// the rightmost one at mid-height up to the topmost one at mid-width, as
// (x, y) in the box with x counted from the left and y from the bottom. Each
// point is a king's move from the one before.
std::vector<POINT> EllipseQuadrant(int width, int height);

// The closed outline of a rounded rectangle whose corners are quarters of a
// cornerW × cornerH ellipse (3 ≤ cornerW ≤ width, 3 ≤ cornerH ≤ height),
// from the right end of the top-right corner arc; counter-clockwise on the
// screen unless clockwise, then from the right end of the bottom-right arc.
// With the corner ellipse as large as the box this is the ellipse.
std::vector<POINT> RoundRectOutline(const RECT& box, int cornerW, int cornerH, bool clockwise);

// The outline points of the arc of the ellipse in box from the radial
// through start to the radial through end (both relative to the box's
// centre pixel (left + width / 2, top + height / 2)), counter-clockwise on
// the screen unless clockwise. Equal radials give the whole ellipse.
std::vector<POINT> ArcPoints(const RECT& box, long long startX, long long startY, long long endX,
                             long long endY, bool clockwise);

// The polyline GDI draws for a chain of cubic Bézier curves (count = 3n + 1
// points): each curve halved until it is flat to within a pixel, at most
// 256 segments a curve. Empty for any other count.
std::vector<POINT> FlattenBeziers(const POINT* points, int count);

}  // namespace curves
