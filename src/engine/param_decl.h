// Each Xform declares its parameter block once, field by field: name, label,
// kind, range and the control its settings panel uses. That one declaration
// feeds the panel builder of the desktop program, the command line's --set
// and --help, and the reading and writing of recipe files.
#pragma once

#include <cstddef>
#include <span>

#include "engine/recipe.h"

enum class ParamKind {
    Flag,        // int 0/1: a check box
    Int,         // int in min..max
    Real,        // double in min..max
    Colour,      // COLORREF: a swatch with a colour button
    Choice,      // int holding one of choices[].value (radio buttons, often control ids)
    Background,  // the Background record: colour or the picture. choices: the labels
                 // of its colour and picture buttons (useImage 0 and 1); none: the
                 // panel shows the colour alone and leaves useImage as it is
    Text,        // char array of textCapacity bytes, zero-terminated
    Figure,      // char array of textCapacity bytes naming a figure bitmap of the
                 // temporary folder (engine/figure_file.h), empty for none. choices:
                 // the labels of the panel's two sources, plain shapes and bitmap
};

enum class ParamControl {
    Default,  // what the kind suggests: check box, edit, swatch, radio group...
    Slider,   // a trackbar with its edit beside it
    VerticalSlider,
    Edit,  // an edit box alone
};

struct ParamChoice {
    int value;
    const char* label;  // the button's text, exactly as the panel shows it ("" if unlabelled)
};

struct ParamField {
    const char* name;   // key in recipe files and for --set (the field's name in the block)
    const char* label;  // the panel's label for it, exactly
    ParamKind kind;
    // The field inside a recipe: a pointer to an int, double, COLORREF,
    // Background or char array as the kind says.
    void* (*at)(CFilSpec& filSpec);
    double min = 0;  // range of Int and Real
    double max = 0;
    std::span<const ParamChoice> choices = {};
    ParamControl control = ParamControl::Default;
    const char* format = "%6.2f";  // edit text of a Real
    int textCapacity = 0;          // Text: size of the array
    // The panel enables this control only while this flag field (by name) is
    // set; null: only the Wizard flag rules it.
    const char* enabledBy = nullptr;
    // With enabledBy naming a Choice field: enabled only while that field
    // differs from this value (0 keeps the flag rule above).
    int disabledAt = 0;
    // The group box the panel puts the control in; consecutive fields of one
    // group share it. A Choice without a group gets a box titled by its label.
    const char* group = nullptr;
    // A Choice's buttons in this many columns, row by row (0: one column).
    int columns = 0;
    // An Int whose edit takes the wider range editMin..editMax when the panel
    // closes, the value then being held to min..max (both 0: min..max).
    int editMin = 0;
    int editMax = 0;
};

struct XformDecl {
    int index;                // 0..18
    const char* panelTitle;   // the settings panel's caption
    const char* wizardField;  // the name of the block's "Wizard chooses" flag
    std::span<const ParamField> fields;
    // The panel's line about its help page ("F1 for help with ..."); null: none.
    const char* helpText = nullptr;
};

// The field of the block Block at member Member, for ParamField::at:
//   {"tileSize", "Tile size", ParamKind::Real, FieldOf<&CFilSpec::Mosaic, &MosaicParams::tileSize>,
//   1, 7}
template <auto Block, auto Member>
void* FieldOf(CFilSpec& filSpec) {
    return &((filSpec.*Block).*Member);
}

// The declaration of Xform index (the decl of its row in the Xform
// registry), or null while it has none.
const XformDecl* FindXformDecl(int index);
// The field of a declaration by name; null when there is none.
const ParamField* FindParamField(const XformDecl& decl, const char* name);
