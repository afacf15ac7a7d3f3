#include "recipe/recipe_file.h"

#include "recipe/field_kinds.h"
#include "recipe/figure_json.h"
#include "recipe/mix_names.h"
#include "recipe/recipe_json.h"
#include "recipe/strict_json.h"
#include "util/safe_write.h"

namespace {

// A recipe is a few kilobytes (a figure bitmap adds some 260); anything far
// larger is not one.
constexpr std::size_t kLargestRecipe = 1 << 20;

// Picture sides beyond this are not pictures this program could open.
constexpr int kLargestSide = 1 << 20;

// --- reading a whole recipe --------------------------------------------------------

}  // namespace

AreaSelection ReadSelection(const Json& value, const std::string& path) {
    Object(value, path);
    OnlyKeys(value, path, {"invert", "hue", "saturation", "value", "smoothing"});
    AreaSelection selection;
    for (const char* key : kSelectionKeys) {
        std::string why;
        if (!SelectionFieldFromJson(key, Member(value, path, key), &selection, &why))
            throw Fault{Join(path, key), why};
    }
    return selection;
}

MixSettings ReadMix(const Json& value, const std::string& path, bool webFade) {
    Object(value, path);
    OnlyKeys(value, path, {"mode", "percent", "colour", "selection"});
    MixSettings mix;
    const std::string mode = TextMember(value, path, "mode");
    mix.Mode = MixModeFromName(mode, webFade);
    if (mix.Mode == 0) {
        throw Fault{Join(path, "mode"), "\"" + mode + "\" is not a mode of this mix; allowed: " +
                                            AllowedMixModes(webFade)};
    }
    mix.Percent = static_cast<int>(
        IntMember(value, path, "percent", MixPercentMin(webFade), MixPercentMax(webFade)));
    std::string why;
    if (!ColourFromJson(Member(value, path, "colour"), &mix.Colour, &why))
        throw Fault{Join(path, "colour"), why};
    mix.Selection = ReadSelection(Member(value, path, "selection"), Join(path, "selection"));
    return mix;
}

namespace {

std::string AllXformNames() {
    std::string names;
    for (int index = 0; index <= kXformCount; ++index) {
        if (index > 0) names += ", ";
        names += XformName(index);
    }
    return names;
}

int ReadXform(const Json& value, const std::string& path) {
    Object(value, path);
    OnlyKeys(value, path, {"name", "index"});
    const std::string name = TextMember(value, path, "name");
    int named = -1;
    for (int index = 0; index <= kXformCount; ++index)
        if (name == XformName(index)) named = index;
    if (named < 0) {
        throw Fault{Join(path, "name"),
                    "\"" + name + "\" is not an Xform; allowed: " + AllXformNames()};
    }
    const int index = static_cast<int>(IntMember(value, path, "index", 0, kXformCount));
    if (index != named) {
        throw Fault{Join(path, "index"), std::to_string(index) + " is not the index of \"" + name +
                                             "\" (" + std::to_string(named) + ")"};
    }
    return index;
}

void ReadParams(const Json& value, const std::string& path, CFilSpec& filSpec) {
    Object(value, path);
    for (auto it = value.begin(); it != value.end(); ++it) {
        const std::string blockPath = Join(path, it.key());
        int index = -1;
        for (int i = 0; i < kXformCount; ++i)
            if (it.key() == XformName(i)) index = i;
        if (index < 0) throw Fault{blockPath, "is not the name of an Xform"};
        const XformRow* row = FindXform(index);
        if (row == nullptr || row->fields.empty())
            throw Fault{blockPath, "is an Xform without fields to set"};

        const Json& block = Object(it.value(), blockPath);
        for (auto field = block.begin(); field != block.end(); ++field) {
            if (row->Field(field.key().c_str()) == nullptr)
                throw Fault{Join(blockPath, field.key()), "is not a field of " + it.key()};
        }
        for (const BoundField& field : row->fields) {
            std::string why;
            if (!ParamFromJson(field, Member(block, blockPath, field.name), filSpec, &why))
                throw Fault{Join(blockPath, field.name), why};
        }
    }
}

void ReadRecipe(const Json& root, Recipe& recipe) {
    if (!root.is_object()) throw Fault{"", "not a Fabulor recipe: " + Expected("an object", root)};
    auto format = root.find("format");
    if (format == root.end()) throw Fault{"format", "is missing: this is not a Fabulor recipe"};
    if (!format->is_string() || format->get<std::string>() != kRecipeFormatName) {
        throw Fault{"format", Shown(*format) + " is not \"" + kRecipeFormatName +
                                  "\": this is not a Fabulor recipe"};
    }
    const Json& version = Member(root, "", "version");
    if (version.is_number_integer() && version.get<long long>() > kRecipeFormatVersion) {
        throw Fault{"version", Shown(version) + " is newer than this program reads (" +
                                   std::to_string(kRecipeFormatVersion) + ")"};
    }
    IntMember(root, "", "version", 1, kRecipeFormatVersion);
    OnlyKeys(root, "",
             {"format", "version", "picture", "quality", "xform", "seed", "wizardAll", "selection",
              "finalMix", "webFade", "params"});

    const Json& picture = Object(Member(root, "", "picture"), "picture");
    OnlyKeys(picture, "picture", {"name", "path", "width", "height"});
    recipe.pictureName = TextMember(picture, "picture", "name");
    recipe.picturePath = picture.contains("path") ? TextMember(picture, "picture", "path") : "";
    recipe.pictureWidth = static_cast<int>(IntMember(picture, "picture", "width", 1, kLargestSide));
    recipe.pictureHeight =
        static_cast<int>(IntMember(picture, "picture", "height", 1, kLargestSide));

    const long long quality = IntMember(root, "", "quality", 1, 4);
    if (quality == 3) throw Fault{"quality", "3 is not a quality; allowed: 1, 2 or 4"};
    recipe.quality = static_cast<int>(quality);

    ReadFilSpecMembers(root, "", recipe.filSpec);
}

}  // namespace

void ReadFilSpecMembers(const Json& object, const std::string& path, CFilSpec& filSpec) {
    filSpec.XformIndex = ReadXform(Member(object, path, "xform"), Join(path, "xform"));
    filSpec.Seed = static_cast<std::uint32_t>(IntMember(object, path, "seed", 0, 0xFFFFFFFFLL));
    std::string why;
    if (!FlagFromJson(Member(object, path, "wizardAll"), &filSpec.WizardAll, &why))
        throw Fault{Join(path, "wizardAll"), why};
    filSpec.Selection = ReadSelection(Member(object, path, "selection"), Join(path, "selection"));
    filSpec.FinalMix = ReadMix(Member(object, path, "finalMix"), Join(path, "finalMix"), false);
    filSpec.WebFade = ReadMix(Member(object, path, "webFade"), Join(path, "webFade"), true);
    ReadParams(Member(object, path, "params"), Join(path, "params"), filSpec);
}

CFilSpec ReadFilSpec(const Json& value, const std::string& path) {
    Object(value, path);
    OnlyKeys(value, path,
             {"xform", "seed", "wizardAll", "selection", "finalMix", "webFade", "params"});
    CFilSpec filSpec;
    ReadFilSpecMembers(value, path, filSpec);
    return filSpec;
}

namespace {}  // namespace

Json MixToJson(const MixSettings& mix) {
    Json j;
    const char* name = MixModeNameOf(mix.Mode);
    j["mode"] = name ? name : std::to_string(mix.Mode);
    j["percent"] = mix.Percent;
    j["colour"] = ColourToHex(mix.Colour);
    j["selection"] = SelectionToJson(mix.Selection);
    return j;
}

void FilSpecMembersToJson(const CFilSpec& recipe, Json& j) {
    // The declarations reach fields through a mutable recipe.
    CFilSpec filSpec = recipe;
    j["xform"]["name"] = XformName(filSpec.XformIndex);
    j["xform"]["index"] = filSpec.XformIndex;
    j["seed"] = filSpec.Seed;
    j["wizardAll"] = filSpec.WizardAll != 0;
    j["selection"] = SelectionToJson(filSpec.Selection);
    j["finalMix"] = MixToJson(filSpec.FinalMix);
    j["webFade"] = MixToJson(filSpec.WebFade);
    Json& params = j["params"] = Json::object();
    for (int index = 0; index < kXformCount; ++index) {
        const XformRow* row = FindXform(index);
        if (row->fields.empty()) continue;
        Json& block = params[row->name] = Json::object();
        for (const BoundField& field : row->fields)
            block[field.name] = ParamToJson(field, filSpec);
    }
}

Json FilSpecToJson(const CFilSpec& filSpec) {
    Json j = Json::object();
    FilSpecMembersToJson(filSpec, j);
    return j;
}

// --- whole recipes -------------------------------------------------------------------

Json RecipeToJson(const Recipe& recipe) {
    Json j;
    j["format"] = kRecipeFormatName;
    j["version"] = kRecipeFormatVersion;
    Json& picture = j["picture"];
    picture["name"] = recipe.pictureName;
    if (!recipe.picturePath.empty()) picture["path"] = recipe.picturePath;
    picture["width"] = recipe.pictureWidth;
    picture["height"] = recipe.pictureHeight;
    j["quality"] = recipe.quality;
    FilSpecMembersToJson(recipe.filSpec, j);
    return j;
}

std::string RecipeToText(const Recipe& recipe) {
    return RecipeToJson(recipe).dump(2) + "\n";
}

bool RecipeFromText(std::string_view text, Recipe* recipe, std::string* error) {
    Json root;
    if (!ParseStrictJson(text, "recipe", &root, error)) return false;
    Recipe result = *recipe;
    NewFigures figures;
    try {
        ReadRecipe(root, result);
    } catch (const Fault& fault) {
        *error = FaultText(fault);
        return false;
    }
    figures.Keep();
    *recipe = result;
    return true;
}

bool WriteRecipeFile(const std::string& path, const Recipe& recipe, std::string* error) {
    if (!FiguresTravel(recipe.filSpec, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return WriteTextFile(path, RecipeToText(recipe), error);
}

bool ReadRecipeFile(const std::string& path, Recipe* recipe, std::string* error) {
    std::string text;
    if (!ReadBounded(path, kLargestRecipe, "recipe", &text, error) ||
        !RecipeFromText(text, recipe, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
