// The recipe's own fields as JSON, for the files that hold recipes: a
// recipe file holds one beside the picture's name and the quality, a
// session one per idea of its sequence. Reading throws a Fault naming the
// field (recipe/strict_json.h).
#pragma once

#include <string>

#include "compose/mix_settings.h"
#include "engine/area_selection.h"
#include "recipe/json_values.h"
#include "recipe/recipe.h"
#include "recipe/strict_json.h"

// xform, seed, wizardAll, selection, finalMix, webFade and params, as an
// object of their own or added to j.
Json FilSpecToJson(const CFilSpec& filSpec);
void FilSpecMembersToJson(const CFilSpec& filSpec, Json& j);
// An object holding exactly those fields; faults are named under path.
CFilSpec ReadFilSpec(const Json& value, const std::string& path);
// Those fields out of a larger object, whose other members are the
// caller's to check.
void ReadFilSpecMembers(const Json& object, const std::string& path, CFilSpec& filSpec);

Json MixToJson(const MixSettings& mix);
MixSettings ReadMix(const Json& value, const std::string& path, bool webFade);
AreaSelection ReadSelection(const Json& value, const std::string& path);
