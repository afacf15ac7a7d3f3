#include "util/utf8.h"

namespace {

// The length of the well-formed character at the start of text, or 0.
std::size_t CharacterLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned long code = 0;
    unsigned long least = 0;  // the smallest code point this length may carry
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (at(i) & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool IsBlank(std::string_view character) {
    if (character.size() != 1) return false;
    switch (character[0]) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = CharacterLength(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::vector<std::string_view> Utf8Characters(std::string_view text) {
    std::vector<std::string_view> characters;
    while (!text.empty()) {
        const std::size_t length = CharacterLength(text);
        const std::size_t taken = length == 0 ? 1 : length;
        characters.push_back(text.substr(0, taken));
        text.remove_prefix(taken);
    }
    return characters;
}

long Utf8CodePoint(std::string_view character) {
    const std::size_t length = CharacterLength(character);
    if (length == 0 || length != character.size()) return -1;
    const auto lead = static_cast<unsigned char>(character[0]);
    if (length == 1) return lead;
    long code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
    return code;
}

std::size_t CountNonWhitespace(std::string_view text) {
    std::size_t count = 0;
    for (const std::string_view character : Utf8Characters(text))
        count += IsBlank(character) ? 0 : 1;
    return count;
}
