// Clouds' parameters: a sky whose clouds form where the selection is strong.
#pragma once

#include "surface/gdi_types.h"

struct CloudsParams {
    int wizardChooses = 1;
    double horizonEffect = 0.5;      // 0.1..0.7: how much the waves tighten towards the bottom
    double skyQuantity = 0.5;        // 0.25..0.75: cloudiness below which the sky shows
    COLORREF highSky = 0xFF3232;     // the top row's sky
    COLORREF lowSky = 0xFF9696;      // the bottom row's sky
    COLORREF backlight = 0x6464FA;   // cloud rims
    COLORREF cloudLight = 0xFFFFFF;  // the densest cloud
    COLORREF cloudDark = 0x373737;   // between rim and dense cloud

    bool operator==(const CloudsParams&) const = default;
};
