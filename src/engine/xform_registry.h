// The dispatch from an Xform index to the Xform's operations: one row per
// real Xform (indices 0..18). An operation a row does not have yet (null)
// is treated exactly like an index with no Xform. Index 19, "Null", has no
// row: CFilSpec handles it.
#pragma once

struct CFilSpec;
struct XformDecl;
class CDADC;

struct XformOps {
    // The block's defaults.
    void (*construct)(CFilSpec& filSpec) = nullptr;
    // Draws the idea from the block and filSpec.Context onto Context.Out; nonzero
    // when a picture was made, 0 on failure or stop.
    int (*run)(CFilSpec& filSpec) = nullptr;
    // Clamps the block into its ranges for an original of width x height;
    // nonzero when it can be used.
    int (*validate)(CFilSpec& filSpec, int width, int height) = nullptr;
    // New random parameters for the block (some Xforms also change the
    // recipe's Selection). Called only when the block's Wizard flag is set.
    void (*wizard)(CFilSpec& filSpec, const CDADC& original) = nullptr;
    // The modal settings panel of the desktop program, working on filSpec (a
    // copy): 1 on OK, 0 on Cancel. Filled in by the program that has panels.
    int (*settings)(CFilSpec& filSpec) = nullptr;
    // The block's fields, declared once (engine/param_decl.h).
    const XformDecl* decl = nullptr;
};

// The row of index 0..18; null for any other index.
const XformOps* FindXform(int index);
// The same row for changing: the desktop program sets its settings panels
// here, tests stand in their own operations.
XformOps* MutableXformRow(int index);
