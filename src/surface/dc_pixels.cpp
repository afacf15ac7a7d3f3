// Pixel operations: GetPixel/SetPixel, FillSolidRect, BitBlt, StretchBlt.
#include "surface/dc.h"

COLORREF CDC::GetPixel(int, int) const {
    return CLR_INVALID;
}
COLORREF CDC::SetPixel(int, int, COLORREF) {
    return CLR_INVALID;
}
BOOL CDC::SetPixelV(int, int, COLORREF) {
    return FALSE;
}
void CDC::FillSolidRect(int, int, int, int, COLORREF) {}
void CDC::FillSolidRect(const RECT&, COLORREF) {}
BOOL CDC::BitBlt(int, int, int, int, const CDC*, int, int, DWORD) {
    return FALSE;
}
BOOL CDC::StretchBlt(int, int, int, int, const CDC*, int, int, int, int, DWORD) {
    return FALSE;
}
