// Recipe files: one image idea as JSON, enough to draw it again exactly.
// The Xform's parameter blocks are read and written through their
// declarations (engine/param_decl.h); the mixes, the selection, the seed,
// the quality and the picture's name and size are written here by hand.
// Every fault names the field it was found in.
#pragma once

#include <nlohmann/json.hpp>

#include <span>
#include <string>
#include <string_view>

#include "engine/recipe.h"

struct ParamField;

// Raised whenever the file's layout changes; older files keep being read.
constexpr int kRecipeFormatVersion = 1;
inline constexpr const char kRecipeFormatName[] = "fabulor-recipe";

struct Recipe {
    CFilSpec filSpec;         // the recipe proper; its Context is never written
    int quality = 1;          // the canvas is quality times the picture's size: 1, 2 or 4
    std::string pictureName;  // the picture's file name, without its folder
    std::string picturePath;  // where it was read from; may be empty
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// --- names shared with the command line ----------------------------------------------

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

// Colours are written "RRGGBB", red first as on the web; a leading '#' is
// taken too.
std::string ColourToHex(COLORREF colour);
bool ColourFromHex(std::string_view text, COLORREF* colour);

// A choice's name for the command line: its label without '&', lower case,
// other characters as '-' ("Rect. &and Circle" is "rect-and-circle"); ""
// for an unlabelled choice, which goes by its number only.
std::string ChoiceName(const char* label);
// What a field accepts, for help texts and errors: "1 to 7", "0 or 1",
// "1028 (rectangular), 1029 (circular), ...", "RRGGBB", "RRGGBB or picture".
std::string AllowedValues(const ParamField& field);
// The field's value in recipe files.
nlohmann::ordered_json ParamToJson(const ParamField& field, CFilSpec& filSpec);
// Stores value into the field after checking its type and range; false with
// why ("9 is out of range; allowed: 1 to 7") and the field unchanged.
bool ParamFromJson(const ParamField& field, const nlohmann::ordered_json& value, CFilSpec& filSpec,
                   std::string* why);

// The selection's fields: "invert", "hue", "saturation", "value",
// "smoothing". Stores one after checking it; false with why otherwise.
bool SelectionFieldFromJson(std::string_view key, const nlohmann::ordered_json& value,
                            AreaSelection* selection, std::string* why);
inline constexpr const char* kSelectionKeys[] = {"invert", "hue", "saturation", "value",
                                                 "smoothing"};

// --- writing a file whole -----------------------------------------------------------

// A name in path's folder for writing path's contents before they are
// complete: hidden, unique in the process, with path's extension kept (the
// picture writers choose the format by it).
std::string TemporaryPathBeside(const std::string& path);
// Renames the finished temporary file to path, replacing it; on failure the
// temporary file is removed and error says why.
bool CommitTemporary(const std::string& temporary, const std::string& path, std::string* error);

// --- whole recipes -------------------------------------------------------------------

nlohmann::ordered_json RecipeToJson(const Recipe& recipe);
std::string RecipeToText(const Recipe& recipe);
// false with error naming the field ("field \"finalMix.percent\": ..."); the
// recipe is then unchanged.
bool RecipeFromText(std::string_view text, Recipe* recipe, std::string* error);

// The file is written whole under a temporary name and then renamed, so a
// failure leaves no half-written recipe. Errors start with the file's name.
bool WriteRecipeFile(const std::string& path, const Recipe& recipe, std::string* error);
bool ReadRecipeFile(const std::string& path, Recipe* recipe, std::string* error);
