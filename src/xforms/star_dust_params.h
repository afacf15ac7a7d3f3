// StarDust's parameters: a night sky whose stars gather where the force is high.
#pragma once

#include "engine/area_selection.h"

struct StarDustParams {
    AreaSelection selection;       // carried along by the panel; the run uses the context's
    int stars = 4050;              // 100..8000
    double spikeThreshold = 98.5;  // 90..100, percent of full force a star needs for spikes
    int wizardChooses = 1;

    bool operator==(const StarDustParams&) const = default;
};
