#include "recipe/field_kinds.h"

#include <cctype>
#include <cstring>

#include "engine/toolkit.h"
#include "recipe/figure_json.h"
#include "util/numbers.h"
#include "util/utf8.h"

namespace {

std::string TextOf(TextRef text) {
    return std::string(text.text, strnlen(text.text, text.capacity));
}

// --- flags, numbers and choices -----------------------------------------------------

std::string FlagAllowed(const BoundField&) {
    return "0 or 1";
}

Json FlagToJson(const BoundField&, FieldRef value) {
    return *std::get<int*>(value) != 0;
}

bool FlagFromJson(const BoundField&, const Json& json, FieldRef value, std::string* why) {
    return ::FlagFromJson(json, std::get<int*>(value), why);
}

bool FlagFromText(const BoundField&, const std::string& text, FieldRef, Json* json,
                  std::string* why) {
    const std::string t = FoldedName(text);
    if (t == "1" || t == "true" || t == "on" || t == "yes") {
        *json = true;
    } else if (t == "0" || t == "false" || t == "off" || t == "no") {
        *json = false;
    } else {
        *why = "not a flag; allowed: 0 or 1";
        return false;
    }
    return true;
}

std::string FlagToText(const BoundField&, FieldRef value) {
    return *std::get<int*>(value) != 0 ? "1" : "0";
}

std::string RangeAllowed(const BoundField& field) {
    return Number(field.min) + " to " + Number(field.max);
}

Json IntToJson(const BoundField&, FieldRef value) {
    return *std::get<int*>(value);
}

bool IntFromJson(const BoundField& field, const Json& json, FieldRef value, std::string* why) {
    long long v = 0;
    if (!::IntFromJson(json, static_cast<long long>(field.min), static_cast<long long>(field.max),
                       &v, why))
        return false;
    *std::get<int*>(value) = static_cast<int>(v);
    return true;
}

bool IntFromText(const BoundField& field, const std::string& text, FieldRef, Json* json,
                 std::string* why) {
    long long v = 0;
    if (!ParseWholeNumber(text, &v)) {
        *why = "not a whole number; allowed: " + RangeAllowed(field);
        return false;
    }
    *json = v;
    return true;
}

std::string IntToText(const BoundField&, FieldRef value) {
    return std::to_string(*std::get<int*>(value));
}

Json RealToJson(const BoundField&, FieldRef value) {
    return *std::get<double*>(value);
}

bool RealFromJson(const BoundField& field, const Json& json, FieldRef value, std::string* why) {
    return ::RealFromJson(json, field.min, field.max, RangeAllowed(field), std::get<double*>(value),
                          why);
}

bool RealFromText(const BoundField& field, const std::string& text, FieldRef, Json* json,
                  std::string* why) {
    double v = 0;
    if (!ParseRealNumber(text, &v)) {
        *why = "not a number; allowed: " + RangeAllowed(field);
        return false;
    }
    *json = v;
    return true;
}

std::string RealToText(const BoundField&, FieldRef value) {
    return Number(*std::get<double*>(value));
}

std::string ChoiceAllowed(const BoundField& field) {
    std::string allowed;
    for (const ParamChoice& choice : field.choices) {
        if (!allowed.empty()) allowed += ", ";
        allowed += std::to_string(choice.value);
        const std::string name = ChoiceName(choice.label);
        if (!name.empty()) allowed += " (" + name + ")";
    }
    return allowed;
}

bool ChoiceFromJson(const BoundField& field, const Json& json, FieldRef value, std::string* why) {
    if (json.is_number_integer()) {
        for (const ParamChoice& choice : field.choices) {
            if (choice.value == json.get<long long>()) {
                *std::get<int*>(value) = choice.value;
                return true;
            }
        }
    }
    *why = Shown(json) + " is not one of the choices; allowed: " + ChoiceAllowed(field);
    return false;
}

bool ChoiceFromText(const BoundField& field, const std::string& text, FieldRef, Json* json,
                    std::string* why) {
    long long v = 0;
    if (ParseWholeNumber(text, &v)) {
        *json = v;
        return true;
    }
    for (const ParamChoice& choice : field.choices) {
        const std::string name = ChoiceName(choice.label);
        if (!name.empty() && name == FoldedName(text)) {
            *json = choice.value;
            return true;
        }
    }
    *why = "not one of the choices; allowed: " + ChoiceAllowed(field);
    return false;
}

// --- colours -----------------------------------------------------------------------

std::string ColourAllowed(const BoundField&) {
    return "RRGGBB";
}

Json ColourToJson(const BoundField&, FieldRef value) {
    return ColourToHex(*std::get<COLORREF*>(value));
}

bool ColourFromJson(const BoundField&, const Json& json, FieldRef value, std::string* why) {
    return ::ColourFromJson(json, std::get<COLORREF*>(value), why);
}

bool ColourFromText(const BoundField&, const std::string& text, FieldRef, Json* json,
                    std::string* why) {
    COLORREF colour = 0;
    if (!ColourFromHex(text, &colour)) {
        *why = std::string("not a colour; allowed: ") + kColourForm;
        return false;
    }
    *json = text;
    return true;
}

std::string ColourToText(const BoundField&, FieldRef value) {
    return ColourToHex(*std::get<COLORREF*>(value));
}

std::string BackgroundAllowed(const BoundField&) {
    return "RRGGBB or picture";
}

Json BackgroundToJson(const BoundField&, FieldRef value) {
    const Background* background = std::get<Background*>(value);
    Json j;
    j["colour"] = ColourToHex(background->colour);
    j["usePicture"] = background->useImage != 0;
    return j;
}

bool BackgroundFromJson(const BoundField&, const Json& json, FieldRef value, std::string* why) {
    Background background;
    if (!json.is_object() || json.size() != 2 || !json.contains("colour") ||
        !json.contains("usePicture")) {
        *why = Expected(R"({"colour": "RRGGBB", "usePicture": true or false})", json);
        return false;
    }
    if (!::ColourFromJson(json["colour"], &background.colour, why) ||
        !::FlagFromJson(json["usePicture"], &background.useImage, why))
        return false;
    *std::get<Background*>(value) = background;
    return true;
}

// "picture" keeps the colour the background has; a colour turns the picture off.
bool BackgroundFromText(const BoundField& field, const std::string& text, FieldRef value,
                        Json* json, std::string* why) {
    const bool picture = FoldedName(text) == "picture";
    Json colour;
    if (!picture && !ColourFromText(field, text, value, &colour, why)) {
        *why = std::string("not a colour nor \"picture\"; allowed: picture, or ") + kColourForm;
        return false;
    }
    (*json)["colour"] = picture ? ColourToHex(std::get<Background*>(value)->colour) : text;
    (*json)["usePicture"] = picture;
    return true;
}

std::string BackgroundToText(const BoundField&, FieldRef value) {
    const Background* background = std::get<Background*>(value);
    return background->useImage != 0 ? "picture" : ColourToHex(background->colour);
}

// --- texts -------------------------------------------------------------------------

std::string TextAllowed(const BoundField& field) {
    std::string allowed =
        "a text of at most " + std::to_string(field.textCapacity - 1) + " bytes of UTF-8";
    if (field.min >= 1) allowed += " with a character other than blanks";
    return allowed;
}

Json TextToJson(const BoundField&, FieldRef value) {
    const std::string text = TextOf(std::get<TextRef>(value));
    if (IsUtf8(text)) return text;
    // Only a block filled by a program can get here; a recipe file must
    // still be written, and must be UTF-8.
    std::string shown;
    for (const std::string_view character : Utf8Characters(text))
        shown += Utf8CodePoint(character) < 0 ? std::string_view("?") : character;
    return shown;
}

bool TextFromJson(const BoundField& field, const Json& json, FieldRef value, std::string* why) {
    if (!json.is_string()) {
        *why = Expected("a text", json);
        return false;
    }
    const std::string& text = json.get_ref<const std::string&>();
    const TextRef to = std::get<TextRef>(value);
    // Checked first: a text that is not UTF-8 cannot be shown in a message.
    if (!IsUtf8(text) || text.find('\0') != std::string::npos) {
        *why = "the text is not UTF-8 or holds a zero byte; allowed: " + TextAllowed(field);
        return false;
    }
    if (text.size() >= to.capacity) {
        *why = Shown(json) + " is too long; allowed: " + TextAllowed(field);
        return false;
    }
    if (static_cast<double>(CountNonWhitespace(text)) < field.min) {
        *why = Shown(json) + (text.empty() ? " is empty" : " holds only blanks") +
               "; allowed: " + TextAllowed(field);
        return false;
    }
    std::memset(to.text, 0, to.capacity);
    std::memcpy(to.text, text.data(), text.size());
    return true;
}

bool TextFromText(const BoundField&, const std::string& text, FieldRef, Json* json, std::string*) {
    *json = text;
    return true;
}

std::string TextToText(const BoundField&, FieldRef value) {
    return TextOf(std::get<TextRef>(value));
}

// Indexed by ParamKind.
const FieldKind kKinds[] = {
    {"flag", FlagAllowed, FlagToJson, FlagFromJson, FlagFromText, FlagToText},
    {"integer", RangeAllowed, IntToJson, IntFromJson, IntFromText, IntToText},
    {"real", RangeAllowed, RealToJson, RealFromJson, RealFromText, RealToText},
    {"colour", ColourAllowed, ColourToJson, ColourFromJson, ColourFromText, ColourToText},
    {"choice", ChoiceAllowed, IntToJson, ChoiceFromJson, ChoiceFromText, IntToText},
    {"background", BackgroundAllowed, BackgroundToJson, BackgroundFromJson, BackgroundFromText,
     BackgroundToText},
    {"text", TextAllowed, TextToJson, TextFromJson, TextFromText, TextToText},
    kFigureKind,
};
static_assert(std::size(kKinds) == static_cast<size_t>(ParamKind::Figure) + 1,
              "one handler per kind, in the order of ParamKind");

}  // namespace

const FieldKind& KindOf(const BoundField& field) {
    return kKinds[static_cast<size_t>(field.kind)];
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

std::string AllowedValues(const BoundField& field) {
    return KindOf(field).allowed(field);
}

Json ParamToJson(const BoundField& field, CFilSpec& filSpec) {
    return KindOf(field).toJson(field, field.At(filSpec));
}

bool ParamFromJson(const BoundField& field, const Json& value, CFilSpec& filSpec,
                   std::string* why) {
    return KindOf(field).fromJson(field, value, field.At(filSpec), why);
}

bool ParamFromText(const BoundField& field, const std::string& text, CFilSpec& filSpec,
                   std::string* why) {
    const FieldKind& kind = KindOf(field);
    Json json;
    return kind.fromText(field, text, field.At(filSpec), &json, why) &&
           kind.fromJson(field, json, field.At(filSpec), why);
}
