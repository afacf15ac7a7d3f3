#include "recipe/json_values.h"

#include <cctype>
#include <cstdio>

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Shown(const Json& value) {
    // Printing recurses, and a hostile file may nest lists deeper than the
    // stack goes.
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
        *why = Shown(value) + " is not a colour; allowed: " + kColourForm;
        return false;
    }
    return true;
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
