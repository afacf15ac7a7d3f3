#include "util/numbers.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

bool ParseWholeNumber(const std::string& text, long long* value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    *value = v;
    return true;
}

bool ParseRealNumber(const std::string& text, double* value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

std::string FoldedName(const std::string& name) {
    std::string folded;
    for (char c : name) {
        const char d = c == '-' || c == '_' ? ' ' : c;
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(d)));
    }
    return folded;
}
