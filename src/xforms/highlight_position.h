// The nine highlight position buttons of the Bubble and Mosaic panels: a 3 x 3
// block whose centre is "Off". Their ids are stored as the parameter value.
#pragma once

enum HighlightPosition : int {
    kHighlightOff = 1100,
    kHighlightTopLeft = 1101,
    kHighlightTop = 1102,
    kHighlightTopRight = 1103,
    kHighlightRight = 1104,
    kHighlightBottomRight = 1105,
    kHighlightBottom = 1106,
    kHighlightBottomLeft = 1107,
    kHighlightLeft = 1108,
};
