// What an Xform is made of, over its own parameter block only: its name and
// panel texts, its declared fields, the run, Validate and the Wizard. The
// recipe's registry makes one row of each unit; nothing else needs to know
// an Xform's block.
#pragma once

#include <span>

#include "xforms/param_decl.h"

class CDADC;
struct AreaSelection;
struct XformContext;

template <class Params>
struct XformUnit {
    const char* name;        // as menus, recipe files and the command line show it
    const char* panelTitle;  // the settings panel's caption
    const char* helpText;    // the panel's line about its help page; null: none
    std::span<const Field<Params>> fields;
    // Draws the idea on ctx->Out; nonzero when a picture was made, 0 on
    // failure or stop. The block is read only: a run never changes its recipe.
    int (*run)(const Params* params, XformContext* ctx);
    // Holds the block to its ranges for an original of width x height;
    // nonzero when it can be drawn.
    int (*validate)(Params& params, int width, int height);
    // New random parameters from the original; some Xforms also turn the
    // recipe's area selection.
    void (*wizard)(Params& params, const CDADC& original, AreaSelection& selection);
    // Defaults beyond the block's member initialisers; null: none.
    void (*defaults)(Params& params) = nullptr;
};
