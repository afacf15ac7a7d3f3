#include <strings.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "cli/cli_internal.h"
#include "document/recipe_file.h"
#include "engine/figure_file.h"
#include "engine/param_decl.h"
#include "engine/toolkit.h"
#include "engine/xform_registry.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "util/base64.h"

using Json = nlohmann::ordered_json;

namespace fabulor_cli {

namespace {

constexpr const char* kPictureTypes[] = {"bmp", "jpg", "png", "tga", "pcx"};

bool WholeNumber(const std::string& text, long long* value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    *value = v;
    return true;
}

bool RealNumber(const std::string& text, double* value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

// Xform names compare without case, with '-' or '_' for the spaces.
std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        const char d = c == '-' || c == '_' ? ' ' : c;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(d)));
    }
    return folded;
}

// A figure for --set: "" or "none" for plain shapes, else a picture file
// stretched over a new figure, as the settings panel makes one.
Json FigureAsJson(const std::string& path, const std::string& shown) {
    if (path.empty() || Folded(path) == "none") return "";
    std::unique_ptr<CDADC> figure(NewFigure());
    if (!figure || !StretchPictureOnto(figure.get(), path.c_str()))
        throw UsageError{shown + ": the picture cannot be read"};
    std::string name, file, bytes, why;
    if (!StoreFigure(figure.get(), &name, &file) || !ReadFigureBytes(name.c_str(), &bytes, &why))
        throw UsageError{shown + ": the figure cannot be kept in " + TempFolder()};
    Json j;
    j["name"] = name;
    j["bmp"] = EncodeBase64(bytes);
    return j;
}

// A value of --set as the recipe file would hold it.
Json SetValueAsJson(const ParamField& field, CFilSpec& filSpec, const std::string& text,
                    const std::string& shown) {
    switch (field.kind) {
        case ParamKind::Flag: {
            const std::string t = Folded(text);
            if (t == "1" || t == "true" || t == "on" || t == "yes") return true;
            if (t == "0" || t == "false" || t == "off" || t == "no") return false;
            throw UsageError{shown + ": not a flag; allowed: 0 or 1"};
        }
        case ParamKind::Int: {
            long long v = 0;
            if (!WholeNumber(text, &v)) {
                throw UsageError{shown + ": not a whole number; allowed: " + AllowedValues(field)};
            }
            return v;
        }
        case ParamKind::Real: {
            double v = 0;
            if (!RealNumber(text, &v))
                throw UsageError{shown + ": not a number; allowed: " + AllowedValues(field)};
            return v;
        }
        case ParamKind::Choice: {
            long long v = 0;
            if (WholeNumber(text, &v)) return v;
            for (const ParamChoice& choice : field.choices) {
                const std::string name = ChoiceName(choice.label);
                if (!name.empty() && name == Folded(text)) return choice.value;
            }
            throw UsageError{shown + ": not one of the choices; allowed: " + AllowedValues(field)};
        }
        case ParamKind::Background: {
            const auto* current = static_cast<const Background*>(field.at(filSpec));
            Json j;
            const bool picture = Folded(text) == "picture";
            j["colour"] = picture ? ColourToHex(current->colour) : text;
            j["usePicture"] = picture;
            return j;
        }
        case ParamKind::Colour:
        case ParamKind::Text:
            return text;
        case ParamKind::Figure:
            return FigureAsJson(text, shown);
    }
    return text;
}

std::string FieldNames(const XformDecl& decl) {
    std::string names;
    for (const ParamField& field : decl.fields) {
        if (!names.empty()) names += ", ";
        names += field.name;
    }
    return names;
}

const char* KindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Flag:
            return "flag";
        case ParamKind::Int:
            return "integer";
        case ParamKind::Real:
            return "real";
        case ParamKind::Colour:
            return "colour";
        case ParamKind::Choice:
            return "choice";
        case ParamKind::Background:
            return "background";
        case ParamKind::Text:
            return "text";
        case ParamKind::Figure:
            return "figure";
    }
    return "";
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
    if (WholeNumber(text, &index)) {
        if (index >= 0 && index < kXformCount) return static_cast<int>(index);
    } else {
        for (int i = 0; i < kXformCount; ++i)
            if (Folded(text) == Folded(XformName(i))) return i;
    }
    throw UsageError{"--xform " + text + ": unknown Xform; allowed: " + XformListHelp()};
}

int ParseQuality(const std::string& text) {
    long long k = 0;
    if (!WholeNumber(text, &k) || (k != 1 && k != 2 && k != 4))
        throw UsageError{"--quality " + text + ": allowed: 1, 2 or 4"};
    return static_cast<int>(k);
}

std::uint32_t ParseSeed(const std::string& text) {
    long long seed = 0;
    if (!WholeNumber(text, &seed) || seed < 0 || seed > 0xFFFFFFFFLL)
        throw UsageError{"--seed " + text + ": allowed: a whole number 0 to 4294967295"};
    return static_cast<std::uint32_t>(seed);
}

int ParseInt(const std::string& option, const std::string& text, int lo, int hi) {
    long long v = 0;
    if (!WholeNumber(text, &v) || v < lo || v > hi) {
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
    const XformDecl* decl = FindXformDecl(index);
    if (decl == nullptr)
        throw UsageError{shown + ": " + XformName(index) + " has no fields that can be set"};
    const ParamField* field = FindParamField(*decl, name.c_str());
    if (field == nullptr) {
        throw UsageError{shown + ": " + XformName(index) + " has no field '" + name +
                         "'; allowed: " + FieldNames(*decl)};
    }
    std::string why;
    if (!ParamFromJson(*field, SetValueAsJson(*field, filSpec, text, shown), filSpec, &why))
        throw UsageError{shown + ": " + why};
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
        if (WholeNumber(value, &whole)) {
            j = whole;
        } else if (RealNumber(value, &real)) {
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
    for (int i = 0; i < kXformCount; ++i) {
        if (i > 0) list += ", ";
        list += std::string(XformName(i)) + " (" + std::to_string(i) + ")";
    }
    return list;
}

std::string XformTableHelp() {
    std::string table = "Xforms (NAME or INDEX; * draws in this version):\n";
    for (int i = 0; i < kXformCount; ++i) {
        const XformOps* row = FindXform(i);
        char cell[40];
        std::snprintf(cell, sizeof cell, "  %2d %s%-16s", i, row->run != nullptr ? "*" : " ",
                      XformName(i));
        table += cell;
        if (i % 3 == 2 || i == kXformCount - 1) {
            while (table.back() == ' ')
                table.pop_back();
            table += "\n";
        }
    }
    return table;
}

std::string FieldsHelp() {
    CFilSpec defaults;
    std::string help;
    for (int i = 0; i < kXformCount; ++i) {
        const XformDecl* decl = FindXformDecl(i);
        if (decl == nullptr) continue;
        help += std::string("Fields of ") + XformName(i) + " (--set FIELD=VALUE):\n";
        for (const ParamField& field : decl->fields) {
            char line[160];
            const Json value = ParamToJson(field, defaults);
            std::string shown = value.is_string() ? value.get<std::string>() : value.dump();
            if (field.kind == ParamKind::Background)
                shown = value["usePicture"].get<bool>() ? "picture"
                                                        : value["colour"].get<std::string>();
            if (field.kind == ParamKind::Figure && shown.empty()) shown = "none";
            std::snprintf(line, sizeof line, "  %-18s %-10s default %s\n", field.name,
                          KindName(field.kind), shown.c_str());
            help += line;
            std::string label = field.label;
            std::erase(label, '&');
            const std::string allowed =
                field.kind == ParamKind::Figure
                    ? "a picture file, stretched over a " + std::to_string(kFigureSide) + " x " +
                          std::to_string(kFigureSide) + " figure, or none for plain shapes"
                    : AllowedValues(field);
            help += "      " + label + "; allowed: " + allowed + "\n";
        }
    }
    if (help.empty()) help = "No Xform has fields that can be set yet.\n";
    return help;
}

}  // namespace fabulor_cli
