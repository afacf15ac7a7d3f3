// Old Film: the picture redeveloped in greys from its force field, as a
// frame of old black-and-white film, optionally with sprocket bands at the
// sides, then dirtied with hairs (arcs), scratches (short lines) and dust
// (grey discs). With processing errors the greys come from a random area
// selection instead of the recipe's.
#pragma once

#include "engine/area_selection.h"
#include "xforms/old_film_params.h"
#include "xforms/xform_unit.h"

struct XformContext;
class CDADC;
class CDC;

// Draws the frame on ctx->Out. 1 when it was drawn to the end; 0 when the
// context is invalid, the force field cannot be made (the canvas untouched
// then) or a stop cut the run short.
int OldFilm(const OldFilmParams* params, XformContext* ctx);

// Holds dirtiness to 0..100; always 1.
int OldFilmValidate(OldFilmParams* params);

// New random parameters: dirtiness, sprockets, processing errors.
void OldFilmAutoChoose(OldFilmParams* params);

// The rounded holes of both sprocket bands, band pixels wide, on a canvas
// outWidth x outHeight, with the current pen and brush of dc.
void DrawSprocketHoles(CDC* dc, int band, int outWidth, int outHeight);

// The Xform as the recipe's registry sees it.
extern const XformUnit<OldFilmParams> kOldFilmUnit;
