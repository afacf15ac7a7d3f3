// The registry of the Xforms: one row per real Xform (indices 0..18), each
// made from its unit by one line of xform_registry.cpp. An Xform that is not
// built yet has a row with its name and defaults and nothing else: it does
// not draw, and nobody is offered it. Index 19, "Null", has no row: CFilSpec
// handles it.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "xforms/param_decl.h"

struct CFilSpec;
struct XformContext;
class CDADC;

// A declared field of some Xform, reached through a whole recipe.
struct BoundField : ParamField {
    // Text and Figure: the size of the char array; 0 for other kinds.
    std::size_t textCapacity = 0;
    // The field's value in filSpec (inside its Xform's block).
    FieldRef At(CFilSpec& filSpec) const { return reach(filSpec, index); }

    FieldRef (*reach)(CFilSpec& filSpec, std::size_t index) = nullptr;
    std::size_t index = 0;  // in the unit's declaration
};

struct XformRow {
    int index = 0;
    const char* name = "";
    const char* panelTitle = nullptr;
    const char* helpText = nullptr;
    // The block's defaults.
    void (*construct)(CFilSpec& filSpec) = nullptr;
    // Draws the idea from the block onto ctx.Out; nonzero when a picture was
    // made. Null while the Xform is not built.
    int (*run)(const CFilSpec& filSpec, XformContext& ctx) = nullptr;
    // Holds the block to its ranges for an original of width x height;
    // nonzero when it can be drawn.
    int (*validate)(CFilSpec& filSpec, int width, int height) = nullptr;
    // New random parameters for the block (some Xforms also turn the
    // recipe's Selection). Called only when the block's Wizard flag is set.
    void (*wizard)(CFilSpec& filSpec, const CDADC& original) = nullptr;
    // The block's "Wizard chooses" flag.
    int* (*wizardFlag)(CFilSpec& filSpec) = nullptr;
    // Copies the block alone from one recipe to another.
    void (*copyBlock)(CFilSpec& to, const CFilSpec& from) = nullptr;
    // The modal settings panel of the desktop program, working on filSpec (a
    // copy): 1 on OK, 0 on Cancel. Set by the program that has panels.
    int (*settings)(CFilSpec& filSpec) = nullptr;
    // The block's fields, declared once by its unit; empty while not built.
    std::vector<BoundField> fields;

    // Whether the Xform can draw: only such Xforms are offered anywhere.
    bool Draws() const { return run != nullptr; }
    // The field by name; null when there is none.
    const BoundField* Field(const char* fieldName) const;
};

// The row of index 0..18; null for any other index.
const XformRow* FindXform(int index);
// The same row for changing: the desktop program sets its settings panels
// here, tests stand in their own operations.
XformRow* MutableXformRow(int index);
// Every row, in index order.
std::span<const XformRow> XformRows();
