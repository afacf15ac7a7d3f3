#include "engine/area_selection.h"

#include <algorithm>

#include "engine/toolkit.h"

void AreaSelection::SetDefault() {
    invert = 0;
    hue = 0.0;
    saturation = 0.0;
    value = 1.0;
    smoothing = 0;
    RecomputeColour();
}

void AreaSelection::SetHsv(double h, double s, double v) {
    // One step only: 730 stays 370.
    if (h >= 360)
        h -= 360;
    else if (h < 0)
        h += 360;
    hue = h;
    saturation = std::min(s, 1.0);
    value = std::min(v, 1.0);
    RecomputeColour();
}

void AreaSelection::SetSmoothing(int n) {
    smoothing = std::clamp(n, 0, 8);
}

void AreaSelection::SetFromColour(COLORREF colour) {
    RgbToHsv(GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0, &hue,
             &saturation, &value);
    RecomputeColour();
}

void AreaSelection::Randomise() {
    hue = RandomReal(0, 359);
    saturation = RandomReal(0, 1);
    value = RandomReal(0, 1);
    invert = RandomChance() ? 1 : 0;
    smoothing = RandomInt(0, 8);
    RecomputeColour();
}

void AreaSelection::GetRgb(int rgb[3]) {
    RecomputeColour();
    rgb[0] = red;
    rgb[1] = green;
    rgb[2] = blue;
}

COLORREF AreaSelection::GetColour() {
    RecomputeColour();
    return RGB(red, green, blue);
}

bool AreaSelection::IsPlainBrightness() const {
    return hue <= 0 && saturation <= 0 && value >= 1 && invert == 0 && smoothing == 0;
}

void AreaSelection::RecomputeColour() {
    double r = 0, g = 0, b = 0;
    HsvToRgb(hue, saturation, value, &r, &g, &b);
    // Held to 0..255: a negative saturation or a hue left out of range by
    // SetHsv's single step can give channels outside 0..1, and the weights
    // rely on 0..255.
    red = ChannelFromDouble(r * 255.0);
    green = ChannelFromDouble(g * 255.0);
    blue = ChannelFromDouble(b * 255.0);
}
