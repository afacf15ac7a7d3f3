// What every Xform receives besides its parameter block.
#pragma once

#include <atomic>

#include "engine/area_selection.h"
#include "engine/progress.h"

class CDADC;

struct XformContext {
    AreaSelection Selection;    // the recipe's selection, refreshed before every run
    const CDADC* In = nullptr;  // the original picture
    CDADC* Out = nullptr;       // the canvas: k times In's size, k = 1, 2 or 4
    CDADC* Draw = nullptr;      // the picture on show; filled by the mix afterwards
    std::atomic<int>* Progress = &ApplicationProgress();
};
