// Reading single values out of a recipe file's JSON, each checked for its
// type and range, with the reason in words when it is refused.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "surface/gdi_types.h"

using Json = nlohmann::ordered_json;

// A value as the file spells it, for messages: strings keep their quotes;
// lists and objects are named, not printed.
std::string Shown(const Json& value);
// "9 is out of range; allowed: 1 to 7"
std::string OutOfRange(const Json& value, const std::string& allowed);
// "expected a number, found "x""
std::string Expected(const char* what, const Json& value);
// "%g" of a number.
std::string Number(double value);

// Each stores the value after checking it; false with why and nothing stored.
bool FlagFromJson(const Json& value, int* flag, std::string* why);
bool IntFromJson(const Json& value, long long lo, long long hi, long long* result,
                 std::string* why);
bool RealFromJson(const Json& value, double lo, double hi, const std::string& allowed,
                  double* result, std::string* why);
bool ColourFromJson(const Json& value, COLORREF* colour, std::string* why);

// Colours are written "RRGGBB", red first as on the web; a leading '#' is
// taken too.
std::string ColourToHex(COLORREF colour);
bool ColourFromHex(std::string_view text, COLORREF* colour);
// What a colour looks like, for messages.
inline constexpr const char kColourForm[] =
    "a colour as six hexadecimal digits RRGGBB, red first (FF8000 is orange)";
