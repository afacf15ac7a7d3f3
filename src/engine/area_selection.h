// The HSV colour selection from which the force field is built: where an
// Xform acts, and how strongly.
#pragma once

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
    void SetDefault();
    void SetHsv(double h, double s, double v);
    void SetSmoothing(int n);
    void SetFromColour(COLORREF colour);
    void Randomise();
    void GetRgb(int rgb[3]);
    COLORREF GetColour();
    bool IsPlainBrightness() const;
    int WeightOf(COLORREF pixel) const;

  private:
    void RecomputeColour();
};
