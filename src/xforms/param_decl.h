// Each Xform declares its parameter block once, field by field: name, label,
// kind, range and the control its settings panel uses, each field bound to
// a member of the block. That one declaration feeds the panel builder of
// the desktop program, the command line's --set and --help, and the reading
// and writing of recipe files.
#pragma once

#include <cstddef>
#include <span>
#include <type_traits>
#include <variant>

#include "surface/gdi_types.h"

struct Background;

enum class ParamKind {
    Flag,        // int 0/1: a check box
    Int,         // int in min..max
    Real,        // double in min..max
    Colour,      // COLORREF: a swatch with a colour button
    Choice,      // int holding one of choices[].value (radio buttons, often control ids)
    Background,  // the Background record: colour or the picture. choices: the labels
                 // of its colour and picture buttons (useImage 0 and 1); none: the
                 // panel shows the colour alone and leaves useImage as it is
    Text,        // a zero-terminated char array holding UTF-8, whole characters
                 // only. min: the fewest characters other than blanks it holds
    Figure,      // a char array naming a figure bitmap of the temporary folder
                 // (engine/figure_file.h), empty for none. choices: the labels of
                 // the panel's two sources, plain shapes and bitmap
};

enum class ParamControl {
    Default,  // what the kind suggests: check box, edit, swatch, radio group...
    Slider,   // a trackbar with its edit beside it
    VerticalSlider,
    Edit,              // an edit box alone
    VerticalTrackbar,  // a vertical trackbar alone, its top the high end
    Trackbar,          // an Int's trackbar alone, without its edit
    List,              // a Choice as a drop-down list, its choices in the declared order
    None,              // no control: only the defaults and the Wizard set it (recipe files
                       // and the command line still carry it)
};

struct ParamChoice {
    int value;
    const char* label;  // the button's text, exactly as the panel shows it ("" if unlabelled)
};

// A char array field: its bytes and their number, the terminating zero included.
struct TextRef {
    char* text;
    std::size_t capacity;
};

// Where a field's value lives, typed by what the field holds.
using FieldRef = std::variant<int*, double*, COLORREF*, Background*, TextRef>;

// What a field is, whatever block it belongs to.
struct ParamField {
    const char* name;   // key in recipe files and for --set
    const char* label;  // the panel's label for it, exactly
    ParamKind kind;
    double min = 0;  // range of Int and Real
    double max = 0;
    std::span<const ParamChoice> choices = {};
    ParamControl control = ParamControl::Default;
    const char* format = "%6.2f";  // edit text of a Real
    // The panel enables this control only while this flag field (by name) is
    // set; null: only the Wizard flag rules it.
    const char* enabledBy = nullptr;
    // Enabled only while the enabledBy field differs from this value: 0 keeps
    // the flag rule above, 1 enables while that flag is clear; for a Choice,
    // the value that disables.
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
    // Words the panel shows at the low and high ends of a trackbar (null: none).
    const char* lowEndLabel = nullptr;
    const char* highEndLabel = nullptr;
    // A trackbar with a tick mark every this many steps (0: none).
    int tickStep = 0;
    // While the panel edits this Int, it stays at or above the Int field
    // named atLeast and at or below the one named atMost (null: no such
    // bound); a slider moved past its neighbour snaps back to it.
    const char* atLeast = nullptr;
    const char* atMost = nullptr;
    // A label above the control shows value x 100 / max in this format
    // ("%d%%"), rewritten as the value changes; null: none.
    const char* percentFormat = nullptr;
    // A flag of a set of which one at least must be ticked when the panel
    // closes with OK: the set's flags share this text, which the panel shows
    // (and stays open) when none is ticked.
    const char* oneOfMessage = nullptr;
    // With enabledBy naming a Choice field: enabled only while that field
    // holds this value (-1: the rule of disabledAt instead).
    int enabledAt = -1;
};

// The name every block gives its "Wizard chooses" flag.
inline constexpr const char kWizardField[] = "wizardChooses";

// --- binding fields to a block's members ----------------------------------------

namespace param_decl_detail {
template <class>
struct MemberOf;
template <class Block, class Value>
struct MemberOf<Value Block::*> {
    using BlockType = Block;
};
}  // namespace param_decl_detail

// The block type a member pointer belongs to.
template <auto Member>
using BlockOf = typename param_decl_detail::MemberOf<decltype(Member)>::BlockType;

// The typed place of Member inside block.
template <auto Member>
FieldRef At(BlockOf<Member>& block) {
    auto& value = block.*Member;
    if constexpr (std::is_array_v<std::remove_reference_t<decltype(value)>>) {
        return TextRef{value, std::extent_v<std::remove_reference_t<decltype(value)>>};
    } else {
        return &value;
    }
}

// A field of Block: what it is and where it lives.
template <class Block>
struct Field {
    FieldRef (*at)(Block& block);
    ParamField info;
};

// {"tileSize", ...} bound to MosaicParams::tileSize:
//   Declare<&MosaicParams::tileSize>({.name = "tileSize", .label = ..., .kind = ...})
template <auto Member>
constexpr Field<BlockOf<Member>> Declare(const ParamField& info) {
    return {At<Member>, info};
}
