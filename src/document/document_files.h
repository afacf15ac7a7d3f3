// What the document writes to files and reads back: the recipe of the image
// on show, as fabulor-cli writes it, and the whole document as a session.
#pragma once

#include <string>

#include "recipe/recipe_file.h"
#include "recipe/session_file.h"

class CDADC;
class CFabulorFilterDoc;

// The recipe file's record of an idea drawn over original at quality, the
// picture read from picturePath (may be empty: a pasted picture). The
// command line and the desktop program both write recipes through it.
Recipe RecipeOf(const CFilSpec& filSpec, int quality, const std::string& picturePath,
                const CDADC& original);

// The recipe of the image on show ("Save Recipe..."); false with error when
// the original is on show, which no recipe draws.
bool RecipeOfDocument(const CFabulorFilterDoc& doc, Recipe* recipe, std::string* error);

// The document as a session ("Save Session..."); false with error when it
// holds no picture yet.
bool SessionOfDocument(const CFabulorFilterDoc& doc, Session* session, std::string* error);
