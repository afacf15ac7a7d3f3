// Texts typed by people and kept as UTF-8: whether they are, their
// characters one by one, and how many of those are more than blanks.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Every byte belongs to a well-formed character (no overlong forms, no
// surrogates, nothing past U+10FFFF).
bool IsUtf8(std::string_view text);

// The text cut into characters, each a view of its bytes. A byte that
// starts no well-formed character is a character of its own, so the views
// always cover the whole text and never part of a character.
std::vector<std::string_view> Utf8Characters(std::string_view text);

// The code point of a well-formed character; -1 for anything else.
long Utf8CodePoint(std::string_view character);

// The characters other than blanks (space, tab, line and page breaks).
std::size_t CountNonWhitespace(std::string_view text);
