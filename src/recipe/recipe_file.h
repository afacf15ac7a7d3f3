// Recipe files: one image idea as JSON, enough to draw it again exactly.
// The Xforms' parameter blocks are read and written through their declared
// fields (recipe/field_kinds.h); the mixes, the selection, the seed, the
// quality and the picture's name and size are written here by hand. Every
// fault names the field it was found in.
#pragma once

#include <string>
#include <string_view>

#include "recipe/json_values.h"
#include "recipe/recipe.h"

// Raised whenever the file's layout changes; older files keep being read.
constexpr int kRecipeFormatVersion = 1;
inline constexpr const char kRecipeFormatName[] = "fabulor-recipe";

struct Recipe {
    CFilSpec filSpec;         // the recipe proper
    int quality = 1;          // the canvas is quality times the picture's size: 1, 2 or 4
    std::string pictureName;  // the picture's file name, without its folder
    std::string picturePath;  // where it was read from; may be empty
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// --- whole recipes -------------------------------------------------------------------

Json RecipeToJson(const Recipe& recipe);
std::string RecipeToText(const Recipe& recipe);
// false with error naming the field ("field \"finalMix.percent\": ..."); the
// recipe is then unchanged.
bool RecipeFromText(std::string_view text, Recipe* recipe, std::string* error);

// The file is written whole (util/safe_write.h), so a failure leaves no
// half-written recipe; it is read with a bound, from any kind of file.
// Errors start with the file's name.
bool WriteRecipeFile(const std::string& path, const Recipe& recipe, std::string* error);
bool ReadRecipeFile(const std::string& path, Recipe* recipe, std::string* error);
