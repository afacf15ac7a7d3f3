// The force field: one weight 0..255 per pixel of a picture, built from an
// AreaSelection, telling an Xform how strongly to act at each place.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/area_selection.h"
#include "surface/cdadc.h"
#include "surface/gdi_types.h"

// width × height bytes, row-major, top row first; read with ForceAt.
using ForceField = std::unique_ptr<BYTE[]>;

// Null when in is null or empty, when memory is short for the field, or when
// a stop is requested while it is built. The field spans 0..255 (a uniform
// picture gives 255 everywhere, or 0 where every weight is 0).
ForceField MakeForceField(const CDADC* in, const AreaSelection* sel);

// An Xform's own working array of count bytes, zero-filled, one byte per
// pixel like the field and under the same allocation limit; null when
// memory is short.
std::unique_ptr<BYTE[]> AllocateWorkBytes(std::size_t count);

// For tests: the calling thread's next `count` field allocations (working
// arrays included) succeed and the ones after fail; a negative count lifts
// the limit.
void LimitForceFieldAllocations(int count);
