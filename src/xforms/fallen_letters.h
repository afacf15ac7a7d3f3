// Fallen Letters: letters of the user's choice scattered over the picture,
// each turned at random, as if they had dropped onto it. Where the force
// field is strong they fall more often, or larger, or both. Their colour is
// fixed, taken from the picture, or random.
#pragma once

#include <string_view>
#include <vector>

#include "xforms/fallen_letters_params.h"
#include "xforms/xform_unit.h"

struct AreaSelection;
struct XformContext;
class CDADC;

// Draws the letters on ctx->Out. 1 when the picture was made; 0 on an
// invalid context, a failed force field or a stop.
int FallenLetters(const FallenLettersParams* params, XformContext* ctx);

// Holds count to 100..1000, letterSize to 1.0..8.0 and colourMode to 0..2;
// letters with nothing but blanks become "A". Always 1.
int FallenLettersValidate(FallenLettersParams* params);

// New random parameters; selection gets a random invert flag.
void FallenLettersAutoChoose(FallenLettersParams* params, AreaSelection* selection);

// The Xform as the recipe's registry sees it.
extern const XformUnit<FallenLettersParams> kFallenLettersUnit;

// The pieces of a run, exposed for the tests.
namespace fallen_letters {

// The character of the ANSI code page (1252) that the drawing context draws
// for one UTF-8 character; '?' for a character the code page lacks.
char AnsiOf(std::string_view character);

// What the run draws: one ANSI character per character of the letters text
// (its first capacity bytes); "A" for a text without any.
std::vector<char> Glyphs(const char* letters, std::size_t capacity);

// A letter's height in Out pixels at force f (0..255) for a base height of
// base Out pixels.
int Height(int f, double base, bool bySize);

// How far a letter turned by angle degrees is moved along x, for a letter cx
// pixels wide, so that it turns roughly about its middle.
int Shift(int angle, int cx);

}  // namespace fallen_letters
