#include "recipe/mix_names.h"

#include "compose/mix_settings.h"
#include "engine/area_selection.h"

namespace {

constexpr MixModeName kMixModes[] = {
    {kMixModeOff, "off", true},
    {kMixEven, "even", false},
    {kMixLeftRight, "left-right", true},
    {kMixTopBottom, "top-bottom", true},
    {kMixRightLeft, "right-left", true},
    {kMixBottomTop, "bottom-top", true},
    {kMixCentreOut, "centre-out", true},
    {kMixOuterIn, "outer-in", true},
    {kMixCentreOutElliptical, "centre-out-elliptical", true},
    {kMixOuterInElliptical, "outer-in-elliptical", true},
    {kMixHsv, "hsv", false},
};

}  // namespace

std::span<const MixModeName> MixModeNames() {
    return kMixModes;
}

const char* MixModeNameOf(int mode) {
    for (const MixModeName& m : kMixModes)
        if (m.mode == mode) return m.name;
    return nullptr;
}

int MixModeFromName(std::string_view name, bool webFade) {
    for (const MixModeName& m : kMixModes)
        if (name == m.name && (m.inWebFade || !webFade)) return m.mode;
    return 0;
}

std::string AllowedMixModes(bool webFade) {
    std::string names;
    for (const MixModeName& m : kMixModes) {
        if (webFade && !m.inWebFade) continue;
        if (!names.empty()) names += ", ";
        names += m.name;
    }
    return names;
}

int MixPercentMin(bool webFade) {
    return webFade ? 0 : 1;
}

int MixPercentMax(bool webFade) {
    return webFade ? 100 : 99;
}

bool SelectionFieldFromJson(std::string_view key, const Json& value, AreaSelection* selection,
                            std::string* why) {
    AreaSelection s = *selection;
    if (key == "invert") {
        if (!FlagFromJson(value, &s.invert, why)) return false;
    } else if (key == "hue") {
        // SetHsv keeps hues below 360: 360 itself would come back as 0.
        if (!RealFromJson(value, 0, 360, "0 to 360 (360 not included)", &s.hue, why)) return false;
        if (s.hue == 360) {
            *why = OutOfRange(value, "0 to 360 (360 not included)");
            return false;
        }
    } else if (key == "saturation") {
        if (!RealFromJson(value, 0, 1, "0 to 1", &s.saturation, why)) return false;
    } else if (key == "value") {
        if (!RealFromJson(value, 0, 1, "0 to 1", &s.value, why)) return false;
    } else if (key == "smoothing") {
        long long n = 0;
        if (!IntFromJson(value, 0, 8, &n, why)) return false;
        s.SetSmoothing(static_cast<int>(n));
    } else {
        *why =
            "is not a field of the selection; allowed: invert, hue, saturation, value, smoothing";
        return false;
    }
    // The selection colour follows from hue, saturation and value.
    s.SetHsv(s.hue, s.saturation, s.value);
    *selection = s;
    return true;
}

Json SelectionToJson(const AreaSelection& selection) {
    Json j;
    j["invert"] = selection.invert != 0;
    j["hue"] = selection.hue;
    j["saturation"] = selection.saturation;
    j["value"] = selection.value;
    j["smoothing"] = selection.smoothing;
    return j;
}
