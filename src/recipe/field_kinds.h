// What each kind of declared field means outside its Xform: its value in
// recipe files, the text --set takes for it, and how --help describes it.
// One handler per kind; a new kind of field is one more row here (and one
// widget in the desktop program's panel builder).
#pragma once

#include <string>

#include "recipe/json_values.h"
#include "recipe/xform_registry.h"

struct CFilSpec;

struct FieldKind {
    const char* name;  // as --help shows it: "flag", "integer", ...
    // What --set takes for the field, for help texts and errors: "1 to 7",
    // "0 or 1", "1028 (rectangular), 1029 (circular), ...".
    std::string (*allowed)(const BoundField& field);
    // The value as recipe files hold it.
    Json (*toJson)(const BoundField& field, FieldRef value);
    // Stores json after checking its type and range; false with why ("9 is
    // out of range; allowed: 1 to 7") and the value unchanged.
    bool (*fromJson)(const BoundField& field, const Json& json, FieldRef value, std::string* why);
    // A --set text as the value a recipe file would hold (value: the
    // field's value now); false with why.
    bool (*fromText)(const BoundField& field, const std::string& text, FieldRef value, Json* json,
                     std::string* why);
    // The value as --set would take it, for --help's defaults.
    std::string (*toText)(const BoundField& field, FieldRef value);
};

const FieldKind& KindOf(const BoundField& field);

// A choice's name for the command line: its label without '&', lower case,
// other characters as '-' ("Rect. &and Circle" is "rect-and-circle"); ""
// for an unlabelled choice, which goes by its number only.
std::string ChoiceName(const char* label);

// The field of filSpec through its kind.
std::string AllowedValues(const BoundField& field);
Json ParamToJson(const BoundField& field, CFilSpec& filSpec);
bool ParamFromJson(const BoundField& field, const Json& value, CFilSpec& filSpec, std::string* why);
// A --set text, checked as the recipe file's value would be.
bool ParamFromText(const BoundField& field, const std::string& text, CFilSpec& filSpec,
                   std::string* why);
