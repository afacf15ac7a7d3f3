// Replays drawing scripts of the GDI reference format on the project's own
// drawing layer: one operation a line, each turned into the CDC call it
// names, on a new black surface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "surface/gdi_types.h"

class CDADC;
class CDC;

// The lit pixels of one TextOut call: the rectangle [left, right) × [top,
// bottom) around the pixels the call changed; empty when it changed none.
struct TextBox {
    int line = 0;  // script line of the call
    RECT box;
    bool empty = true;
};

struct ReplayResult {
    std::unique_ptr<CDADC> surface;  // null when the script failed
    std::string output;              // lines printed by extent and metrics
    std::string error;               // why it failed, with the line number
    std::vector<TextBox> textBoxes;  // one per textout, in script order
};

ReplayResult ReplayGdiScript(const std::string& scriptText);

// The pixel (x, y) of a surface, counted from the top, as a COLORREF.
COLORREF SurfacePixel(const CDADC& surface, int x, int y);
