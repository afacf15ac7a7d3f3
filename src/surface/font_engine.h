// The bridge between font objects and the glyph renderer.
#pragma once

#include <memory>

#include "surface/gdi_types.h"

struct FontImpl;

// The stand-in for the 16-pixel bold "System" font a new context starts with.
std::shared_ptr<const FontImpl> SystemFontImpl();

// Resolves a LOGFONT to a face and size; null when no face can be loaded.
std::shared_ptr<const FontImpl> ResolveFont(const LOGFONT& lf);
