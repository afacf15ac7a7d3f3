#include "document/recipe_file.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compose/aa_mix.h"
#include "engine/figure_file.h"
#include "engine/param_decl.h"
#include "engine/toolkit.h"
#include "util/base64.h"

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

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

// A recipe is a few kilobytes (a figure bitmap adds some 260); anything far
// larger is not one.
constexpr std::uintmax_t kLargestRecipe = 1 << 20;

// Picture sides beyond this are not pictures this program could open.
constexpr int kLargestSide = 1 << 20;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A value as the file spells it, for messages: strings keep their quotes.
std::string Shown(const Json& value) {
    // Lists and objects are named, not printed: printing recurses, and a
    // hostile file may nest them deeper than the stack goes.
    if (value.is_array()) return "a list";
    if (value.is_object()) return "an object";
    std::string text = value.is_number_float() ? Number(value.get<double>()) : value.dump();
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

std::string OutOfRange(const Json& value, const std::string& allowed) {
    return Shown(value) + " is out of range; allowed: " + allowed;
}

std::string Expected(const char* what, const Json& value) {
    return std::string("expected ") + what + ", found " + Shown(value);
}

bool FlagFromJson(const Json& value, int* flag, std::string* why) {
    if (value.is_boolean()) {
        *flag = value.get<bool>() ? 1 : 0;
        return true;
    }
    if (value.is_number_integer() && (value.get<long long>() == 0 || value.get<long long>() == 1)) {
        *flag = static_cast<int>(value.get<long long>());
        return true;
    }
    *why = Expected("true or false", value);
    return false;
}

bool IntFromJson(const Json& value, long long lo, long long hi, long long* result,
                 std::string* why) {
    if (!value.is_number_integer()) {
        *why = Expected("a whole number", value);
        return false;
    }
    const std::string allowed = std::to_string(lo) + " to " + std::to_string(hi);
    // Unsigned values beyond the signed range are beyond any range here.
    if (value.is_number_unsigned() &&
        value.get<unsigned long long>() > static_cast<unsigned long long>(hi)) {
        *why = OutOfRange(value, allowed);
        return false;
    }
    const long long v = value.get<long long>();
    if (v < lo || v > hi) {
        *why = OutOfRange(value, allowed);
        return false;
    }
    *result = v;
    return true;
}

bool RealFromJson(const Json& value, double lo, double hi, const std::string& allowed,
                  double* result, std::string* why) {
    if (!value.is_number()) {
        *why = Expected("a number", value);
        return false;
    }
    const double v = value.get<double>();
    if (!(v >= lo && v <= hi)) {
        *why = OutOfRange(value, allowed);
        return false;
    }
    *result = v;
    return true;
}

bool ColourFromJson(const Json& value, COLORREF* colour, std::string* why) {
    if (!value.is_string() || !ColourFromHex(value.get<std::string>(), colour)) {
        *why = Expected("a colour RRGGBB", value);
        return false;
    }
    return true;
}

const ParamChoice* FindChoice(const ParamField& field, long long value) {
    for (const ParamChoice& choice : field.choices)
        if (choice.value == value) return &choice;
    return nullptr;
}

// --- reading a whole recipe --------------------------------------------------------

// The fault of a recipe file: the field's dotted path and what is wrong.
struct Fault {
    std::string field;
    std::string why;
};

std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

const Json& Object(const Json& value, const std::string& path) {
    if (!value.is_object()) throw Fault{path, Expected("an object", value)};
    return value;
}

// The object's members must all be among keys (a misspelt or foreign field
// is reported, not ignored).
void OnlyKeys(const Json& object, const std::string& path,
              std::initializer_list<const char*> keys) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : keys)
            known = known || it.key() == key;
        if (!known) throw Fault{Join(path, it.key()), "is not a field of a recipe"};
    }
}

const Json& Member(const Json& object, const std::string& path, const char* key) {
    auto it = object.find(key);
    if (it == object.end()) throw Fault{Join(path, key), "is missing"};
    return *it;
}

long long IntMember(const Json& object, const std::string& path, const char* key, long long lo,
                    long long hi) {
    long long v = 0;
    std::string why;
    if (!IntFromJson(Member(object, path, key), lo, hi, &v, &why))
        throw Fault{Join(path, key), why};
    return v;
}

std::string TextMember(const Json& object, const std::string& path, const char* key) {
    const Json& value = Member(object, path, key);
    if (!value.is_string()) throw Fault{Join(path, key), Expected("a text", value)};
    return value.get<std::string>();
}

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
        const XformDecl* decl = FindXformDecl(index);
        if (decl == nullptr) throw Fault{blockPath, "is an Xform without fields to set"};

        const Json& block = Object(it.value(), blockPath);
        for (auto field = block.begin(); field != block.end(); ++field) {
            if (FindParamField(*decl, field.key().c_str()) == nullptr)
                throw Fault{Join(blockPath, field.key()), "is not a field of " + it.key()};
        }
        for (const ParamField& field : decl->fields) {
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

    CFilSpec& filSpec = recipe.filSpec;
    filSpec.XformIndex = ReadXform(Member(root, "", "xform"), "xform");
    filSpec.Seed = static_cast<std::uint32_t>(IntMember(root, "", "seed", 0, 0xFFFFFFFFLL));
    std::string why;
    if (!FlagFromJson(Member(root, "", "wizardAll"), &filSpec.WizardAll, &why))
        throw Fault{"wizardAll", why};
    filSpec.Selection = ReadSelection(Member(root, "", "selection"), "selection");
    filSpec.FinalMix = ReadMix(Member(root, "", "finalMix"), "finalMix", false);
    filSpec.WebFade = ReadMix(Member(root, "", "webFade"), "webFade", true);
    ReadParams(Member(root, "", "params"), "params", filSpec);
}

std::string FigureNameAt(const ParamField& field, CFilSpec& filSpec) {
    const auto* text = static_cast<const char*>(field.at(filSpec));
    return std::string(text, strnlen(text, static_cast<size_t>(field.textCapacity)));
}

// "" clears the figure; a figure's bytes are put back into the temporary
// folder, under its own name when that file still holds them.
bool FigureFromJson(const ParamField& field, const Json& value, CFilSpec& filSpec,
                    std::string* why) {
    char* out = static_cast<char*>(field.at(filSpec));
    const size_t capacity = static_cast<size_t>(field.textCapacity);
    if (value.is_string() && value.get_ref<const std::string&>().empty()) {
        std::memset(out, 0, capacity);
        return true;
    }
    if (!value.is_object() || value.size() != 2 || !value.contains("name") ||
        !value.contains("bmp") || !value["name"].is_string() || !value["bmp"].is_string()) {
        *why =
            Expected("\"\" or {\"name\": \"TEMPBITMAP<n>\", \"bmp\": BMP file in base64}", value);
        return false;
    }
    std::string bytes;
    if (!DecodeBase64(value["bmp"].get_ref<const std::string&>(), &bytes)) {
        *why = "\"bmp\" is not base64";
        return false;
    }
    std::string name;
    if (!StoreFigureBytes(bytes, value["name"].get_ref<const std::string&>().c_str(), &name, why)) {
        *why = "\"bmp\" " + *why;
        return false;
    }
    std::memset(out, 0, capacity);
    std::memcpy(out, name.data(), std::min(name.size(), capacity - 1));
    return true;
}

// A figure of the recipe's own Xform must travel with it, or the recipe
// would draw another picture; false with error naming the field.
bool FiguresReadable(const Recipe& recipe, std::string* error) {
    const XformDecl* decl = FindXformDecl(recipe.filSpec.XformIndex);
    if (decl == nullptr) return true;
    CFilSpec filSpec = recipe.filSpec;
    for (const ParamField& field : decl->fields) {
        if (field.kind != ParamKind::Figure) continue;
        const std::string name = FigureNameAt(field, filSpec);
        std::string bytes, why;
        if (!name.empty() && !ReadFigureBytes(name.c_str(), &bytes, &why)) {
            *error = "field \"" + Join(Join("params", XformName(decl->index)), field.name) +
                     "\": " + why + "; the recipe could not draw its picture again";
            return false;
        }
    }
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

Json MixToJson(const MixSettings& mix) {
    Json j;
    const char* name = MixModeNameOf(mix.Mode);
    j["mode"] = name ? name : std::to_string(mix.Mode);
    j["percent"] = mix.Percent;
    j["colour"] = ColourToHex(mix.Colour);
    j["selection"] = SelectionToJson(mix.Selection);
    return j;
}

}  // namespace

// --- names ---------------------------------------------------------------------------

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

std::string ColourToHex(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

bool ColourFromHex(std::string_view text, COLORREF* colour) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return false;
    unsigned rgb = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        rgb = rgb * 16 + static_cast<unsigned>(digit);
    }
    *colour = RGB(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
    return true;
}

std::string ChoiceName(const char* label) {
    std::string name;
    bool gap = false;
    for (const char* p = label; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '&') continue;
        if (std::isalnum(c)) {
            if (gap && !name.empty()) name += '-';
            name += static_cast<char>(std::tolower(c));
            gap = false;
        } else {
            gap = true;
        }
    }
    return name;
}

std::string AllowedValues(const ParamField& field) {
    switch (field.kind) {
        case ParamKind::Flag:
            return "0 or 1";
        case ParamKind::Int:
        case ParamKind::Real:
            return Number(field.min) + " to " + Number(field.max);
        case ParamKind::Colour:
            return "RRGGBB";
        case ParamKind::Background:
            return "RRGGBB or picture";
        case ParamKind::Choice: {
            std::string allowed;
            for (const ParamChoice& choice : field.choices) {
                if (!allowed.empty()) allowed += ", ";
                allowed += std::to_string(choice.value);
                const std::string name = ChoiceName(choice.label);
                if (!name.empty()) allowed += " (" + name + ")";
            }
            return allowed;
        }
        case ParamKind::Text:
            return "a text of at most " + std::to_string(field.textCapacity - 1) + " bytes";
        case ParamKind::Figure:
            return "\"\" (none) or a figure: {\"name\": ..., \"bmp\": BMP file in base64}";
    }
    return "";
}

Json ParamToJson(const ParamField& field, CFilSpec& filSpec) {
    void* at = field.at(filSpec);
    switch (field.kind) {
        case ParamKind::Flag:
            return *static_cast<int*>(at) != 0;
        case ParamKind::Int:
        case ParamKind::Choice:
            return *static_cast<int*>(at);
        case ParamKind::Real:
            return *static_cast<double*>(at);
        case ParamKind::Colour:
            return ColourToHex(*static_cast<COLORREF*>(at));
        case ParamKind::Background: {
            const auto* background = static_cast<Background*>(at);
            Json j;
            j["colour"] = ColourToHex(background->colour);
            j["usePicture"] = background->useImage != 0;
            return j;
        }
        case ParamKind::Text: {
            const auto* text = static_cast<const char*>(at);
            return std::string(text, strnlen(text, static_cast<size_t>(field.textCapacity)));
        }
        case ParamKind::Figure: {
            // The file's bytes travel with the recipe: the temporary folder
            // is emptied when the desktop program starts and ends. A figure
            // that cannot be read is drawn as plain shapes, so it is written
            // as none (WriteRecipeFile refuses it for the recipe's own Xform).
            const std::string name = FigureNameAt(field, filSpec);
            std::string bytes, why;
            if (name.empty() || !ReadFigureBytes(name.c_str(), &bytes, &why)) return "";
            Json j;
            j["name"] = name;
            j["bmp"] = EncodeBase64(bytes);
            return j;
        }
    }
    return nullptr;
}

bool ParamFromJson(const ParamField& field, const Json& value, CFilSpec& filSpec,
                   std::string* why) {
    void* at = field.at(filSpec);
    switch (field.kind) {
        case ParamKind::Flag:
            return FlagFromJson(value, static_cast<int*>(at), why);
        case ParamKind::Int: {
            long long v = 0;
            if (!IntFromJson(value, static_cast<long long>(field.min),
                             static_cast<long long>(field.max), &v, why))
                return false;
            *static_cast<int*>(at) = static_cast<int>(v);
            return true;
        }
        case ParamKind::Real:
            return RealFromJson(value, field.min, field.max, AllowedValues(field),
                                static_cast<double*>(at), why);
        case ParamKind::Colour:
            return ColourFromJson(value, static_cast<COLORREF*>(at), why);
        case ParamKind::Choice: {
            if (!value.is_number_integer() ||
                FindChoice(field, value.get<long long>()) == nullptr) {
                *why =
                    Shown(value) + " is not one of the choices; allowed: " + AllowedValues(field);
                return false;
            }
            *static_cast<int*>(at) = static_cast<int>(value.get<long long>());
            return true;
        }
        case ParamKind::Background: {
            Background background;
            if (!value.is_object() || value.size() != 2 || !value.contains("colour") ||
                !value.contains("usePicture") ||
                !ColourFromJson(value["colour"], &background.colour, why) ||
                !FlagFromJson(value["usePicture"], &background.useImage, why)) {
                *why = Expected(R"({"colour": "RRGGBB", "usePicture": true or false})", value);
                return false;
            }
            *static_cast<Background*>(at) = background;
            return true;
        }
        case ParamKind::Text: {
            if (!value.is_string()) {
                *why = Expected("a text", value);
                return false;
            }
            const std::string text = value.get<std::string>();
            if (text.size() >= static_cast<size_t>(field.textCapacity) ||
                text.find('\0') != std::string::npos) {
                *why = Shown(value) + " is too long; allowed: " + AllowedValues(field);
                return false;
            }
            char* out = static_cast<char*>(at);
            std::memset(out, 0, static_cast<size_t>(field.textCapacity));
            std::memcpy(out, text.data(), text.size());
            return true;
        }
        case ParamKind::Figure:
            return FigureFromJson(field, value, filSpec, why);
    }
    *why = "has a kind this program does not know";
    return false;
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

// --- files ---------------------------------------------------------------------------

std::string TemporaryPathBeside(const std::string& path) {
    static std::atomic<unsigned> serial{0};
    const fs::path target(path);
    const std::string name = "." + target.stem().string() + ".part-" + std::to_string(getpid()) +
                             "-" + std::to_string(++serial) + target.extension().string();
    return (target.parent_path() / name).string();
}

bool CommitTemporary(const std::string& temporary, const std::string& path, std::string* error) {
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (!ec) return true;
    *error = path + ": cannot be written: " + ec.message();
    fs::remove(temporary, ec);
    return false;
}

// --- whole recipes -------------------------------------------------------------------

Json RecipeToJson(const Recipe& recipe) {
    // The declarations reach fields through a mutable recipe.
    CFilSpec filSpec = recipe.filSpec;
    Json j;
    j["format"] = kRecipeFormatName;
    j["version"] = kRecipeFormatVersion;
    Json& picture = j["picture"];
    picture["name"] = recipe.pictureName;
    if (!recipe.picturePath.empty()) picture["path"] = recipe.picturePath;
    picture["width"] = recipe.pictureWidth;
    picture["height"] = recipe.pictureHeight;
    j["quality"] = recipe.quality;
    j["xform"]["name"] = XformName(filSpec.XformIndex);
    j["xform"]["index"] = filSpec.XformIndex;
    j["seed"] = filSpec.Seed;
    j["wizardAll"] = filSpec.WizardAll != 0;
    j["selection"] = SelectionToJson(filSpec.Selection);
    j["finalMix"] = MixToJson(filSpec.FinalMix);
    j["webFade"] = MixToJson(filSpec.WebFade);
    Json& params = j["params"] = Json::object();
    for (int index = 0; index < kXformCount; ++index) {
        const XformDecl* decl = FindXformDecl(index);
        if (decl == nullptr) continue;
        Json& block = params[XformName(index)] = Json::object();
        for (const ParamField& field : decl->fields)
            block[field.name] = ParamToJson(field, filSpec);
    }
    return j;
}

std::string RecipeToText(const Recipe& recipe) {
    return RecipeToJson(recipe).dump(2) + "\n";
}

bool RecipeFromText(std::string_view text, Recipe* recipe, std::string* error) {
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        // The library's text without its "[json.exception...] " tag.
        const char* what = e.what();
        const char* tagEnd = std::strchr(what, ']');
        *error = std::string("not valid JSON: ") + (tagEnd ? tagEnd + 2 : what);
        return false;
    }
    Recipe result = *recipe;
    try {
        ReadRecipe(root, result);
    } catch (const Fault& fault) {
        // "field "x" is missing", "field "x": 9 is out of range; ..."
        const bool sentence = fault.why.rfind("is ", 0) == 0;
        *error = fault.field.empty()
                     ? fault.why
                     : "field \"" + fault.field + "\"" + (sentence ? " " : ": ") + fault.why;
        return false;
    }
    *recipe = result;
    return true;
}

bool WriteRecipeFile(const std::string& path, const Recipe& recipe, std::string* error) {
    if (!FiguresReadable(recipe, error)) {
        *error = path + ": " + *error;
        return false;
    }
    const std::string text = RecipeToText(recipe);
    const std::string temporary = TemporaryPathBeside(path);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file) file.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (file) file.close();
        if (!file) {
            *error = path + ": cannot be written: " + std::strerror(errno);
            std::error_code ec;
            fs::remove(temporary, ec);
            return false;
        }
    }
    return CommitTemporary(temporary, path, error);
}

bool ReadRecipeFile(const std::string& path, Recipe* recipe, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!ec && size > kLargestRecipe) {
        *error = path + ": is too large for a recipe (" + std::to_string(size) +
                 " bytes; at most " + std::to_string(kLargestRecipe) + ")";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!RecipeFromText(text.str(), recipe, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
