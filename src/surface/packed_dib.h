// Packed DIBs: a bitmap header (40 bytes or larger, or a 12-byte OS/2 core
// header), its colour table and its pixel bits in one memory block.
#pragma once

#include <cstdio>

#include "surface/dc.h"
#include "surface/gdi_types.h"
#include "surface/global_memory.h"

int GetDibWidth(const BITMAPINFOHEADER* header);
int GetDibHeight(const BITMAPINFOHEADER* header);  // rows: positive also for top-down DIBs
int GetDibColourCount(const BITMAPINFOHEADER* header);
int GetDibPaletteBytes(const BITMAPINFOHEADER* header);
const BYTE* GetDibBits(const BITMAPINFOHEADER* header);

// Draws the DIB of the block onto the context, 1:1 with SetDIBitsToDevice
// when the two rectangles have one size, else with StretchDIBits.
int DrawDib(CDC* dc, const RECT& dest, HGLOBAL dib, const RECT& source);

// Reads a whole BMP file (from its start) into a new packed DIB whose bits
// follow its colour table, wherever the file keeps them; null when it is not
// a BMP file or cannot be read whole. The DIB itself is not checked here.
HGLOBAL ReadDibFromFile(std::FILE* file);
