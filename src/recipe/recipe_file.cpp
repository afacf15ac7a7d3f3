#include "recipe/recipe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "recipe/field_kinds.h"
#include "recipe/figure_json.h"
#include "recipe/mix_names.h"
#include "util/safe_write.h"

namespace {

// A recipe is a few kilobytes (a figure bitmap adds some 260); anything far
// larger is not one.
constexpr std::size_t kLargestRecipe = 1 << 20;

// Picture sides beyond this are not pictures this program could open.
constexpr int kLargestSide = 1 << 20;

// A message about a damaged file stays readable.
constexpr std::size_t kLongestFault = 240;

// A recipe nests four levels deep; a file nesting far deeper is not one.
constexpr std::size_t kDeepestNesting = 32;

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

// --- parsing -------------------------------------------------------------------------

// Builds the document while keeping the place it has reached, so that every
// fault (a number out of the range of a double as much as bad syntax) names
// its field, and refusing nesting deeper than a recipe has before it costs
// anything.
class RecipeParser {
  public:
    using Number = Json::number_integer_t;
    using Unsigned = Json::number_unsigned_t;
    using Float = Json::number_float_t;

    bool null() { return Add(nullptr); }
    bool boolean(bool value) { return Add(value); }
    bool number_integer(Number value) { return Add(value); }
    bool number_unsigned(Unsigned value) { return Add(value); }
    bool number_float(Float value, const std::string&) { return Add(value); }
    bool string(std::string& value) { return Add(value); }
    bool binary(Json::binary_t&) { return Fail("binary data is not JSON text"); }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool key(std::string& key) {
        frames_.back().key = key;
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t, const std::string& token, const nlohmann::detail::exception& e) {
        // A number beyond a double's range is a value of the field being
        // read; a syntax error is placed by its line and column.
        if (dynamic_cast<const nlohmann::detail::out_of_range*>(&e) != nullptr)
            return Fail(token + " is out of range: no number is that large");
        // The library's text without its "[json.exception...] " tag.
        const char* what = e.what();
        const char* tagEnd = std::strchr(what, ']');
        return Fail(std::string("not valid JSON: ") + (tagEnd ? tagEnd + 2 : what), false);
    }

    Json root;
    std::string fault;  // set when parsing stopped

  private:
    struct Frame {
        Json* value;
        std::string key;  // the member being read, in an object
    };

    // Where the next value goes, as a dotted field path through the
    // objects from the top (a recipe's fields are never inside lists).
    std::string Place() const {
        std::string place;
        for (const Frame& frame : frames_) {
            if (!frame.value->is_object()) break;
            place += place.empty() ? frame.key : "." + frame.key;
        }
        return place;
    }

    bool Fail(std::string why, bool named = true) {
        // The parser quotes what it last read, which may be a whole
        // picture's worth of base64.
        if (why.size() > kLongestFault) why = why.substr(0, kLongestFault - 3) + "...";
        const std::string place = named ? Place() : std::string();
        fault = place.empty() ? why : "field \"" + place + "\": " + why;
        return false;
    }

    Json* Put(Json value) {
        if (frames_.empty()) {
            root = std::move(value);
            return &root;
        }
        Json& parent = *frames_.back().value;
        if (parent.is_object()) {
            Json& slot = parent[frames_.back().key];
            slot = std::move(value);
            return &slot;
        }
        parent.push_back(std::move(value));
        return &parent.back();
    }

    bool Add(Json value) {
        Put(std::move(value));
        return true;
    }

    bool Open(Json container) {
        if (frames_.size() >= kDeepestNesting)
            return Fail("nests deeper than " + std::to_string(kDeepestNesting) +
                        " levels; this is not a Fabulor recipe");
        frames_.push_back({Put(std::move(container)), {}});
        return true;
    }

    bool Close() {
        frames_.pop_back();
        return true;
    }

    std::vector<Frame> frames_;
};

bool ParseRecipeJson(std::string_view text, Json* root, std::string* error) {
    RecipeParser parser;
    bool parsed = false;
    try {
        parsed = Json::sax_parse(text.begin(), text.end(), &parser);
    } catch (const std::exception& e) {
        parser.fault = std::string("not valid JSON: ") + e.what();
    }
    if (!parsed) {
        *error = parser.fault.empty() ? "not valid JSON" : parser.fault;
        return false;
    }
    *root = std::move(parser.root);
    return true;
}

std::string FaultText(const Fault& fault) {
    // "field "x" is missing", "field "x": 9 is out of range; ..."
    const bool sentence = fault.why.rfind("is ", 0) == 0;
    return fault.field.empty()
               ? fault.why
               : "field \"" + fault.field + "\"" + (sentence ? " " : ": ") + fault.why;
}

// The file's bytes, at most kLargestRecipe of them, from a file of any kind:
// a device such as /dev/zero gives what the bound lets through, a folder or
// FIFO is refused without waiting on it.
bool ReadBounded(const std::string& path, std::string* text, std::string* why) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *why = "is a folder, not a recipe file";
        return false;
    }
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
        *why = "is not a regular file";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    text->clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        text->append(buffer, static_cast<size_t>(n));
        if (text->size() > kLargestRecipe) {
            *why =
                "is too large for a recipe (at most " + std::to_string(kLargestRecipe) + " bytes)";
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
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
        const XformRow* row = FindXform(index);
        if (row->fields.empty()) continue;
        Json& block = params[row->name] = Json::object();
        for (const BoundField& field : row->fields)
            block[field.name] = ParamToJson(field, filSpec);
    }
    return j;
}

std::string RecipeToText(const Recipe& recipe) {
    return RecipeToJson(recipe).dump(2) + "\n";
}

bool RecipeFromText(std::string_view text, Recipe* recipe, std::string* error) {
    Json root;
    if (!ParseRecipeJson(text, &root, error)) return false;
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
    if (!ReadBounded(path, &text, error) || !RecipeFromText(text, recipe, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
