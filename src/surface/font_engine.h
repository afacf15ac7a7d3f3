// The bridge between font objects and the glyph renderer.
//
// A FontImpl is the resolved, immutable description of a LOGFONT: which face
// file, at which pixel size, with which text metrics. It is shared freely
// between threads. The FreeType objects that turn it into glyphs are not:
// each thread keeps its own library, faces and sizes (see font_engine.cpp),
// so the glyph functions below may be called from any thread at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "surface/gdi_types.h"

// What the text code needs to know of one face file, read once from its
// tables (sizes in font units).
struct FaceInfo {
    int id = 0;  // process-wide, never reused: the key of the per-thread caches
    std::string file;
    long index = 0;      // face within a collection file
    std::string family;  // as fontconfig names it: what GetTextFace reports
    int unitsPerEm = 2048;
    int ascent = 0;   // usWinAscent, or the hhea ascender without an OS/2 table
    int descent = 0;  // usWinDescent (as a positive distance)
    int hheaAscent = 0;
    int hheaDescent = 0;  // negative, below the baseline
    int lineGap = 0;
    int avgCharWidth = 0;
    int bboxWidth = 0;
    int weightClass = FW_NORMAL;
    bool bold = false;  // the face itself is a bold style
    bool italic = false;
};

struct FontImpl {
    std::shared_ptr<const FaceInfo> face;
    std::string faceName;  // GetTextFace
    int ppem = 16;         // the FreeType pixel size (em square in pixels)
    int escapement = 0;    // tenths of a degree, counter-clockwise; glyphs turn with it
    bool fakeBold = false;
    bool fakeItalic = false;
    TEXTMETRIC metrics;
    // The "System" stand-in: fixed advance widths for 0x20..0x7E (null for
    // real fonts); its glyphs are squeezed horizontally to fit them.
    const std::uint8_t* fixedAdvances = nullptr;
};

// The stand-in for the 16-pixel bold "System" font a new context starts with.
std::shared_ptr<const FontImpl> SystemFontImpl();

// Resolves a LOGFONT to a face and size; null when no face can be loaded.
std::shared_ptr<const FontImpl> ResolveFont(const LOGFONT& lf);

// The advance width of one character of the ANSI code page, in pixels along
// the baseline (rounded up to whole pixels, as GDI does).
int GlyphAdvance(const FontImpl& font, unsigned char ch);

// A monochrome glyph image: bit 7 of each byte is the leftmost pixel. Its
// top-left pixel lies `left` pixels right of and `top` pixels above the pen
// position. Valid until the next RenderGlyph call on the same thread.
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int pitch = 0;
    const std::uint8_t* bits = nullptr;
};

// Renders one character turned by the font's escapement; false when the
// character has no visible pixels or cannot be rendered.
bool RenderGlyph(const FontImpl& font, unsigned char ch, GlyphBitmap* out);
