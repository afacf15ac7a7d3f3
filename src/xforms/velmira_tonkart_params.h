// Velmira Tonkart's parameters: a poster of panels in a few inks.
#pragma once

struct VelmiraTonkartParams {
    int columns = 2;  // 1..8 panels across
    int rows = 2;     // 1..8 panels down
    int inks = 3;     // 2..5 tone levels
    int splodge = 3;  // 0..6, radius of the softening box
    int wizardChooses = 1;

    bool operator==(const VelmiraTonkartParams&) const = default;
};
