// The rasteriser behind the drawing context's lines, polygons and shapes:
// GDI's pixel rules for one-pixel lines, polygon regions, elliptic regions
// and wide pens, over the selected 24-bit bitmap.
//
// Coordinates are device pixels, y downward. Every routine clips to the
// bitmap; coordinates far outside it are fine.
#pragma once

#include <vector>

#include "surface/gdi_types.h"

class CDC;

namespace raster {

// Strokes the path with the context's current pen as GDI does. Null pen:
// nothing. Width 0 or 1: one-pixel lines, each segment leaving out its last
// point (a closed path thus sets every vertex). Wider: a geometric pen of
// that width centred on the path with round caps and joins, painted as one
// region. count < 2 draws nothing.
void StrokePolyline(CDC& dc, const POINT* pts, int count, bool closed);

// Fills the polygon's interior with the context's brush by GDI's region
// rule (a pixel is in when its top-left corner is inside, left and top
// edges included, right and bottom left out), ALTERNATE or WINDING.
// Hollow brush: nothing.
void FillPolygon(CDC& dc, const POINT* pts, int count, int fillMode);

// ---------------------------------------------------------------------------
// Shared machinery.

class SpanList;

// A closed shape: the interior (built by the caller on the context's
// surface size) painted with the brush unless it is hollow, and the closed
// path stroked with the pen over it. A wide pen's region is taken out of
// the interior first, so that no pixel is painted twice.
void FillAndStroke(CDC& dc, SpanList& interior, const POINT* path, int count);

// Pixels [x0, x1) of row y.
struct Span {
    int y;
    int x0;
    int x1;
};

// A set of pixels gathered from several shapes, clipped to a width × height
// surface as it is built. Normalise() sorts it by row and column and merges
// overlaps, so that every pixel is painted once.
class SpanList {
  public:
    SpanList(int width, int height) : width_(width), height_(height) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    // x0 and x1 may lie anywhere; the part inside the surface is kept.
    void Add(long long y, long long x0, long long x1);
    void AddRect(long long left, long long top, long long right, long long bottom);
    void Normalise();
    // Removes the pixels of other (both normalised first).
    void Subtract(SpanList& other);
    bool Empty() const { return spans_.empty(); }
    const std::vector<Span>& Spans() const { return spans_; }
    void Clear() { spans_.clear(); }

  private:
    int width_;
    int height_;
    bool sorted_ = true;
    std::vector<Span> spans_;
};

// The pixel memory a context draws on; bits is null when there is nothing
// to draw on (the 1 × 1 placeholder of a new context).
struct Target {
    BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    int rowBytes = 0;
};
Target TargetOf(const CDC& dc);

// Paints spans (already clipped to the target) in one colour.
void PaintSpans(const Target& target, const SpanList& spans, COLORREF colour);
// Paints one clipped span.
void PaintSpan(const Target& target, int y, int x0, int x1, COLORREF colour);

// A one-pixel line from a towards b with b left out; the pixels are the
// same whichever way the line is drawn.
void ThinLine(const Target& target, POINT a, POINT b, COLORREF colour);

// The region GDI makes of a polygon (CreatePolygonRgn), restricted to the
// list's surface.
void AddPolygon(SpanList& out, const POINT* pts, int count, int fillMode);

// The region GDI makes of an ellipse inscribed in left..right, top..bottom
// with rounded corners of ellipseW × ellipseH (CreateRoundRectRgn; with the
// full width and height, CreateEllipticRgn), moved by (dx, dy).
void AddRoundRect(SpanList& out, int left, int top, int right, int bottom, int ellipseW,
                  int ellipseH, long long dx = 0, long long dy = 0);

// The region a geometric pen of the given width (> 1) covers along the path.
void AddWidePath(SpanList& out, const POINT* pts, int count, bool closed, int width);

}  // namespace raster
