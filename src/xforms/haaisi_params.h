// Haaisi's parameters: rings of small shapes round the centre.
#pragma once

#include "surface/gdi_types.h"

struct HaaisiParams {
    int wizardChooses = 1;
    int detail = 27;  // 15..40 rings
    COLORREF fore1 = 0xA469FF;
    COLORREF fore2 = 0xFF8730;
    COLORREF spareColour = 0x407DFF;  // the Wizard's unused colour; nothing reads it
    COLORREF background = 0xFF7D34;
    int shapeMode = 0;  // 0 dots, 1 triangles pointing out, 2 triangles pointing in

    bool operator==(const HaaisiParams&) const = default;
};
