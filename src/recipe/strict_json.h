// Reading Fabulor's JSON files strictly (recipes, sessions): the text is
// parsed with its nesting bounded, and every fault found while the values
// are read is thrown as a Fault that names the field's path
// ("finalMix.percent", "sequence[2].seed"), to be turned into the message
// by FaultText where the reading began.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "recipe/json_values.h"

// The field's path and what is wrong with it.
struct Fault {
    std::string field;
    std::string why;
};

// "field \"x\" is missing", "field \"x\": 9 is out of range; ..."
std::string FaultText(const Fault& fault);

// path.key, or key at the top.
std::string Join(const std::string& path, const std::string& key);
// path[index]
std::string Element(const std::string& path, std::size_t index);

// Each throws a Fault naming path (or path.key) when the value is not what
// the file must hold there.
const Json& Object(const Json& value, const std::string& path);
// The object's members must all be among keys: a misspelt or foreign
// field is reported as "is not a field of <what>", not ignored.
void OnlyKeys(const Json& object, const std::string& path, std::initializer_list<const char*> keys,
              const char* what = "a recipe");
const Json& Member(const Json& object, const std::string& path, const char* key);
long long IntMember(const Json& object, const std::string& path, const char* key, long long lo,
                    long long hi);
std::string TextMember(const Json& object, const std::string& path, const char* key);

// Parses text into root; false with error ("not valid JSON: ...", or
// naming the field a number too large for a double was found in). kind
// ("recipe", "session") names what the file was meant to be.
bool ParseStrictJson(std::string_view text, const char* kind, Json* root, std::string* error);

// The file's bytes, at most limit of them, from a file of any kind: a device
// such as /dev/zero gives what the bound lets through, a folder or FIFO is
// refused without waiting on it. kind names the file in the messages
// ("is a folder, not a recipe file", "is too large for a recipe").
bool ReadBounded(const std::string& path, std::size_t limit, const char* kind, std::string* text,
                 std::string* why);
