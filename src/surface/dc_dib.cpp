// Packed DIBs of every depth drawn onto the 24-bit surface.
#include "surface/dc.h"

int CDC::SetDIBitsToDevice(int, int, DWORD, DWORD, int, int, UINT, UINT, PackedDibView, UINT) {
    return 0;
}
int CDC::StretchDIBits(int, int, int, int, int, int, int, int, PackedDibView, UINT, DWORD) {
    return 0;
}
