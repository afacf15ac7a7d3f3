// The HSV colour selection from which the force field is built: where an
// Xform acts, and how strongly.
#pragma once

#include <cstdlib>

#include "surface/gdi_types.h"

struct AreaSelection {
    int invert = 0;           // 0: pixels near the colour weigh most; 1: pixels far from it
    double hue = 0.0;         // degrees, 0 <= hue < 360 after SetHsv
    double saturation = 0.0;  // 0..1
    double value = 1.0;       // 0..1
    int red = 255;            // the selection colour, derived from hue, saturation, value
    int green = 255;
    int blue = 255;
    int smoothing = 0;  // 0..8, box smoothing of the force field

    AreaSelection() { SetDefault(); }
    bool operator==(const AreaSelection&) const = default;
    void SetDefault();
    void SetHsv(double h, double s, double v);
    void SetSmoothing(int n);
    void SetFromColour(COLORREF colour);
    void Randomise();
    void GetRgb(int rgb[3]);
    COLORREF GetColour();
    bool IsPlainBrightness() const;
    // How strongly a pixel of this colour counts, 0..255. Inline: the force
    // field calls it once per pixel.
    int WeightOf(COLORREF pixel) const {
        int d = std::abs(GetRValue(pixel) - red) + std::abs(GetGValue(pixel) - green) +
                std::abs(GetBValue(pixel) - blue);
        if (invert == 0) d = 765 - d;
        const int w = d / 3;
        return smoothing == 0 ? w * w / 255 : w;
    }

  private:
    void RecomputeColour();
};
