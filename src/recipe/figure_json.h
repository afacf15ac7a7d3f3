// Figure bitmaps inside recipe files: the figure file's bytes travel with
// the recipe as base64, since the temporary folder that holds them is
// emptied whenever the desktop program starts and ends.
#pragma once

#include <string>
#include <vector>

#include "recipe/field_kinds.h"

struct CFilSpec;

// The field kind of figures: {"name": "TEMPBITMAP<n>", "bmp": BMP file in
// base64}, or "" for none. --set takes a picture file, stretched over a new
// figure as the settings panel makes one, or "none".
extern const FieldKind kFigureKind;

// A figure of the recipe's own Xform must travel with it, or the recipe
// would draw another picture: false with error naming the field when one
// cannot be read.
bool FiguresTravel(const CFilSpec& filSpec, std::string* error);

// While one lives on a thread, the figure files that recipes read on that
// thread newly store are noted; unless Keep is called they are removed when
// it goes, so that a recipe refused for another field leaves nothing behind.
void NoteNewFigure(const std::string& name);

class NewFigures {
  public:
    NewFigures();
    ~NewFigures();
    NewFigures(const NewFigures&) = delete;
    NewFigures& operator=(const NewFigures&) = delete;
    void Keep() { files_.clear(); }

  private:
    friend void NoteNewFigure(const std::string& name);
    std::vector<std::string> files_;
    NewFigures* outer_;
};
