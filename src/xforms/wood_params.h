// Wood's parameters: grain rings from the force field, with saw strokes.
#pragma once

enum WoodStrokeDirection : int {
    kWoodStrokesParallel = 1,     // all at strokeAngle
    kWoodStrokesToCentre = 2,     // pointing at the saw centre
    kWoodStrokesRoundCentre = 3,  // running round it
};

struct WoodParams {
    int wizardChooses = 1;
    int strokes = 660;    // bound of the saw-stroke loop
    int grainWidth = 32;  // 8..64 force levels per colour cycle
    int woodType = 0;     // 0..6, index into the wood type table
    int strokeDirection = kWoodStrokesParallel;
    double strokeAngle = 0.0;  // radians, for parallel strokes

    bool operator==(const WoodParams&) const = default;
};
