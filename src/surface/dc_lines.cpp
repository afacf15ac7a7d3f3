// Lines, polylines, polygons and rectangles with GDI's pen and fill rules.
#include "surface/dc.h"

POINT CDC::MoveTo(int x, int y) {
    POINT old = position_;
    position_ = {x, y};
    return old;
}
BOOL CDC::LineTo(int, int) {
    return FALSE;
}
BOOL CDC::Polyline(const POINT*, int) {
    return FALSE;
}
BOOL CDC::Polygon(const POINT*, int) {
    return FALSE;
}
BOOL CDC::Rectangle(int, int, int, int) {
    return FALSE;
}
