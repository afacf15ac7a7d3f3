// The mix modes and the area selection as recipe files and the command line
// spell them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "recipe/json_values.h"

struct AreaSelection;

struct MixModeName {
    int mode;          // 1064..1074
    const char* name;  // as recipe files and the command line spell it
    bool inWebFade;    // the web fade offers every mode except even and hsv
};
std::span<const MixModeName> MixModeNames();
// null for a mode without a name.
const char* MixModeNameOf(int mode);
// 0 when the name is not one of the mix's (or the web fade's) modes.
int MixModeFromName(std::string_view name, bool webFade);
// "off, even, left-right, ..." for an error message.
std::string AllowedMixModes(bool webFade);
// The percent a mix may hold: 1..99 for the final mix, 0..100 for the web fade.
int MixPercentMin(bool webFade);
int MixPercentMax(bool webFade);

// The selection's fields: "invert", "hue", "saturation", "value",
// "smoothing". Stores one after checking it; false with why otherwise.
bool SelectionFieldFromJson(std::string_view key, const Json& value, AreaSelection* selection,
                            std::string* why);
inline constexpr const char* kSelectionKeys[] = {"invert", "hue", "saturation", "value",
                                                 "smoothing"};
Json SelectionToJson(const AreaSelection& selection);
