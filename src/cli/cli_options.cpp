#include <strings.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "cli/cli_internal.h"
#include "recipe/field_kinds.h"
#include "recipe/mix_names.h"
#include "recipe/recipe_file.h"
#include "recipe/xform_registry.h"
#include "util/numbers.h"

namespace fabulor_cli {

namespace {

constexpr const char* kPictureTypes[] = {"bmp", "jpg", "png", "tga", "pcx"};

std::string FieldNames(const XformRow& row) {
    std::string names;
    for (const BoundField& field : row.fields) {
        if (!names.empty()) names += ", ";
        names += field.name;
    }
    return names;
}

}  // namespace

// --- arguments ----------------------------------------------------------------------

std::string ArgReader::Next() {
    std::string arg = args_[next_++];
    hasInlineValue_ = false;
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
        inlineValue_ = arg.substr(equals + 1);
        hasInlineValue_ = true;
        arg.resize(equals);
    }
    return arg;
}

std::string ArgReader::Value(const std::string& option) {
    // An option that takes one value takes it once: with two, which one the
    // user meant is a guess. --set is the one that adds up.
    const std::string name = option == "-o"             ? "--output"
                             : option == "--fade-color" ? "--fade-colour"
                                                        : option;
    if (name != "--set" && !given_.insert(name).second)
        throw UsageError{option + " is given more than once"};
    if (hasInlineValue_) {
        hasInlineValue_ = false;
        return inlineValue_;
    }
    if (Done()) throw UsageError{option + " needs a value"};
    return args_[next_++];
}

void ArgReader::TakeShared(const std::string& arg, int* quality, bool* quiet,
                           std::vector<std::string>* positional) {
    if (arg == "--quality") {
        *quality = ParseQuality(Value(arg));
    } else if (arg == "--quiet") {
        *quiet = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
        throw UsageError{"unknown option " + arg};
    } else {
        positional->push_back(arg);
    }
}

// --- values -------------------------------------------------------------------------

int ParseXform(const std::string& text) {
    long long index = 0;
    if (ParseWholeNumber(text, &index)) {
        if (index >= 0 && index < kXformCount && XformDraws(static_cast<int>(index)))
            return static_cast<int>(index);
    } else {
        for (const XformRow& row : XformRows())
            if (row.Draws() && FoldedName(text) == FoldedName(row.name)) return row.index;
    }
    throw UsageError{"--xform " + text + ": unknown Xform; allowed: " + XformListHelp()};
}

int ParseQuality(const std::string& text) {
    long long k = 0;
    if (!ParseWholeNumber(text, &k) || (k != 1 && k != 2 && k != 4))
        throw UsageError{"--quality " + text + ": allowed: 1, 2 or 4"};
    return static_cast<int>(k);
}

std::uint32_t ParseSeed(const std::string& text) {
    long long seed = 0;
    if (!ParseWholeNumber(text, &seed) || seed < 0 || seed > 0xFFFFFFFFLL)
        throw UsageError{"--seed " + text + ": allowed: a whole number 0 to 4294967295"};
    return static_cast<std::uint32_t>(seed);
}

int ParseInt(const std::string& option, const std::string& text, int lo, int hi) {
    long long v = 0;
    if (!ParseWholeNumber(text, &v) || v < lo || v > hi) {
        throw UsageError{option + " " + text + ": allowed: a whole number " + std::to_string(lo) +
                         " to " + std::to_string(hi)};
    }
    return static_cast<int>(v);
}

COLORREF ParseColour(const std::string& option, const std::string& text) {
    COLORREF colour = 0;
    if (!ColourFromHex(text, &colour))
        throw UsageError{option + " " + text + ": not a colour; allowed: RRGGBB (hexadecimal)"};
    return colour;
}

int ParseMixMode(const std::string& option, const std::string& text, bool webFade) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const int mode = MixModeFromName(lower, webFade);
    if (mode == 0)
        throw UsageError{option + " " + text +
                         ": unknown mode; allowed: " + AllowedMixModes(webFade)};
    return mode;
}

void ApplySet(CFilSpec& filSpec, int index, const std::string& assignment) {
    const std::string shown = "--set " + assignment;
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError{shown + ": expected field=value"};
    const std::string name = assignment.substr(0, equals);
    const std::string text = assignment.substr(equals + 1);
    const XformRow* row = FindXform(index);
    if (row == nullptr || row->fields.empty())
        throw UsageError{shown + ": " + XformName(index) + " has no fields that can be set"};
    const BoundField* field = row->Field(name.c_str());
    if (field == nullptr) {
        throw UsageError{shown + ": " + row->name + " has no field '" + name +
                         "'; allowed: " + FieldNames(*row)};
    }
    std::string why;
    if (!ParamFromText(*field, text, filSpec, &why)) throw UsageError{shown + ": " + why};
}

void ApplySelect(const std::string& option, const std::string& text, AreaSelection* selection) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(start, end - start);
        const size_t equals = item.find('=');
        const std::string shown = option + " " + item;
        if (equals == std::string::npos) {
            throw UsageError{
                shown + ": expected key=value; keys: invert, hue, saturation, value, smoothing"};
        }
        const std::string key = item.substr(0, equals);
        const std::string value = item.substr(equals + 1);
        Json j;
        long long whole = 0;
        double real = 0;
        if (ParseWholeNumber(value, &whole)) {
            j = whole;
        } else if (ParseRealNumber(value, &real)) {
            j = real;
        } else {
            j = value;
        }
        std::string why;
        if (!SelectionFieldFromJson(key, j, selection, &why)) {
            throw UsageError{shown + ": " + (why.rfind("is ", 0) == 0 ? "'" + key + "' " : "") +
                             why};
        }
        start = end + 1;
    }
}

std::string CheckPictureType(const std::string& option, const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* type : kPictureTypes)
        if (extension == type) return extension;
    throw UsageError{option + " " + path +
                     ": the picture type is chosen by the extension; allowed: .bmp, .jpg, "
                     ".png, .tga, .pcx"};
}

// --- help ---------------------------------------------------------------------------

std::string XformListHelp() {
    std::string list;
    for (const XformRow& row : XformRows()) {
        if (!row.Draws()) continue;
        if (!list.empty()) list += ", ";
        list += std::string(row.name) + " (" + std::to_string(row.index) + ")";
    }
    return list;
}

std::string XformTableHelp() {
    std::string table = "Xforms (NAME or INDEX):\n";
    int shown = 0;
    for (const XformRow& row : XformRows()) {
        if (!row.Draws()) continue;
        char cell[40];
        std::snprintf(cell, sizeof cell, "  %2d %-16s", row.index, row.name);
        table += cell;
        if (++shown % 3 == 0) {
            while (table.back() == ' ')
                table.pop_back();
            table += "\n";
        }
    }
    while (table.back() == ' ')
        table.pop_back();
    if (table.back() != '\n') table += "\n";
    return table;
}

std::string FieldsHelp() {
    CFilSpec defaults;
    std::string help;
    for (const XformRow& row : XformRows()) {
        if (!row.Draws()) continue;
        help += std::string("Fields of ") + row.name + " (--set FIELD=VALUE):\n";
        for (const BoundField& field : row.fields) {
            const FieldKind& kind = KindOf(field);
            char line[160];
            std::snprintf(line, sizeof line, "  %-18s %-10s default %s\n", field.name, kind.name,
                          kind.toText(field, field.At(defaults)).c_str());
            help += line;
            std::string label = field.label;
            std::erase(label, '&');
            help += "      " + label + "; allowed: " + kind.allowed(field) + "\n";
        }
    }
    return help;
}

}  // namespace fabulor_cli
