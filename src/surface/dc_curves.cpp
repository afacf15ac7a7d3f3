// Ellipses, arcs, rounded rectangles and Bézier curves.
#include "surface/dc.h"

BOOL CDC::Ellipse(int, int, int, int) {
    return FALSE;
}
BOOL CDC::Arc(int, int, int, int, int, int, int, int) {
    return FALSE;
}
BOOL CDC::RoundRect(int, int, int, int, int, int) {
    return FALSE;
}
BOOL CDC::PolyBezier(const POINT*, int) {
    return FALSE;
}
