// A contact sheet: pictures in a grid, each with a line of text under it,
// as one picture to keep beside a batch of ideas.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "surface/cdadc.h"

struct SheetEntry {
    std::shared_ptr<const CDADC> picture;  // shown at its own size
    std::string label;                     // one line, under the picture
};

// The entries row by row, columns to a row, each centred in a cell as
// wide as the widest picture or label; null when there is no memory for the
// sheet, or nothing to show.
std::unique_ptr<CDADC> DrawContactSheet(const std::vector<SheetEntry>& entries, int columns);
