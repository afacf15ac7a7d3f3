// How a finished idea is mixed with the original picture (the final mix) and
// faded toward a colour (the web fade).
#pragma once

#include "engine/area_selection.h"
#include "surface/gdi_types.h"

// The mix mode ids are the ids of the mix dialogs' radio buttons, 1064..1074.
constexpr int kMixModeOff = 1064;
constexpr int kMixEven = 1065;
constexpr int kMixLeftRight = 1066;
constexpr int kMixTopBottom = 1067;
constexpr int kMixRightLeft = 1068;
constexpr int kMixBottomTop = 1069;
constexpr int kMixCentreOut = 1070;
constexpr int kMixOuterIn = 1071;
constexpr int kMixCentreOutElliptical = 1072;
constexpr int kMixOuterInElliptical = 1073;
constexpr int kMixHsv = 1074;

struct MixSettings {
    int Mode = kMixModeOff;
    AreaSelection Selection;
    int Percent = 50;
    COLORREF Colour = 0xFFFFFF;

    bool operator==(const MixSettings&) const = default;
};
