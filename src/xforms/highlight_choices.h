// The panel's 3 x 3 block of highlight places, row by row, "Off" in the
// middle: the choices of Bubble's and Mosaic's highlight position.
#pragma once

#include "xforms/highlight_position.h"
#include "xforms/param_decl.h"

inline constexpr ParamChoice kHighlightChoices[] = {
    {kHighlightTopLeft, ""},    {kHighlightTop, "Top"},     {kHighlightTopRight, ""},
    {kHighlightLeft, ""},       {kHighlightOff, "Off"},     {kHighlightRight, ""},
    {kHighlightBottomLeft, ""}, {kHighlightBottom, "Bot."}, {kHighlightBottomRight, ""},
};
