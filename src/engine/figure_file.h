// Figure bitmaps: small pictures an Xform stamps instead of its plain shapes
// (Op Art's grid). Each lives in the temporary folder as
// "TEMPBITMAP<n>.BMP"; a recipe names it by "TEMPBITMAP<n>" alone, and a
// recipe file carries the file's bytes so that it can be put back.
#pragma once

#include <string>
#include <string_view>

class CDADC;

// The side of a new figure: a picture chosen for it is stretched over it.
constexpr int kFigureSide = 256;

// "<temporary folder>/<name>.BMP".
std::string FigurePath(const char* name);
// Whether name is one this program gives ("TEMPBITMAP" and a number): only
// such names are ever joined to the temporary folder from a recipe file.
bool IsFigureName(std::string_view name);

// The figure as a new surface; null when name is empty or the file is
// missing or unreadable (a damaged file may show the reader's messages).
CDADC* LoadFigure(const char* name);
// A new black kFigureSide square; null when memory is short.
CDADC* NewFigure();
// Loads the picture file (any type the program reads) and stretches it over
// the whole of figure, which keeps its size; false after the loader's
// messages when it does not load.
bool StretchPictureOnto(CDADC* figure, const char* path);

// Writes figure as a BMP file under the first free name "TEMPBITMAP<n>";
// *path is the file written or tried. false after the writer's messages.
bool StoreFigure(CDADC* figure, std::string* name, std::string* path);

// The bytes of a figure file, for a recipe file; false with why.
bool ReadFigureBytes(const char* name, std::string* bytes, std::string* why);
// Keeps bytes, a BMP file from a recipe file, as a figure: under preferred
// when that file already holds the same bytes, else under the name of any
// figure file that holds them, else under the first free name (*created is
// then true). false with why (and nothing left behind) when the bytes are
// not a BMP picture of at most kLargestFigureSide a side or cannot be
// written.
bool StoreFigureBytes(std::string_view bytes, const char* preferred, std::string* name,
                      bool* created, std::string* why);

// The largest side a figure file may have: a figure is stamped into cells
// of a picture, and one claiming a larger size is not honest.
constexpr int kLargestFigureSide = 4096;
// The most figure files the temporary folder keeps: storing one more
// removes the oldest.
constexpr int kMostFigureFiles = 256;
// For tests: another bound in place of kMostFigureFiles; 0 restores it.
void LimitFigureFilesForTests(int most);
