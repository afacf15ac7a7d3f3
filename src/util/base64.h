// Base64 (RFC 4648, with padding) for binary data inside text files.
#pragma once

#include <string>
#include <string_view>

std::string EncodeBase64(std::string_view bytes);
// false for anything but whole, padded base64 (no blanks or line breaks).
bool DecodeBase64(std::string_view text, std::string* bytes);
