// Numbers typed by people (on the command line, in --set and --select) and
// numbers held to a range.
#pragma once

#include <string>

// The whole text as a decimal integer (no blanks, no trailing characters,
// within long long); false otherwise.
bool ParseWholeNumber(const std::string& text, long long* value);
// The whole text as a finite real number; false otherwise.
bool ParseRealNumber(const std::string& text, double* value);
// Lower case, with '-' and '_' as spaces: "Op-Art" and "op art" are one name.
std::string FoldedName(const std::string& name);

// Above the top gives the top, below the bottom (or not a number) the bottom.
inline double HeldTo(double value, double lo, double hi) {
    if (!(value >= lo)) return lo;
    return value > hi ? hi : value;
}
