// Packed DIBs: a bitmap header (40 bytes or larger, or a 12-byte OS/2 core
// header), its colour table and its pixel bits in one memory block.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "surface/dc.h"
#include "surface/gdi_types.h"
#include "surface/global_memory.h"
#include "util/read_file.h"

int GetDibWidth(const BITMAPINFOHEADER* header);
int GetDibHeight(const BITMAPINFOHEADER* header);  // rows: positive also for top-down DIBs
int GetDibColourCount(const BITMAPINFOHEADER* header);
int GetDibPaletteBytes(const BITMAPINFOHEADER* header);
const BYTE* GetDibBits(const BITMAPINFOHEADER* header);

// Draws the DIB of the block onto the context, 1:1 with SetDIBitsToDevice
// when the two rectangles have one size, else with StretchDIBits.
int DrawDib(CDC* dc, const RECT& dest, HGLOBAL dib, const RECT& source);

// No picture file is read past this many bytes: 2 GiB holds a BMP of the
// largest picture any reader takes (500 megapixels at 32 bits) with room to spare.
constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{2} << 30;

// A BMP file held in memory as a new packed DIB whose bits follow its colour
// table, wherever the file keeps them; null when it does not start with a
// BMP file header or memory is short. The DIB itself is not checked here.
HGLOBAL DibFromBmpBytes(const BYTE* file, size_t size);

// Reads a whole BMP file (from its start where the stream can seek, to its
// end, and no further than kMaxPictureFileBytes) into a new packed DIB as
// DibFromBmpBytes does; null when it is not a BMP file or cannot be read whole.
HGLOBAL ReadDibFromFile(std::FILE* file);

// The same for the named file, read through the program's bounded reader
// (util/read_file.h). Null when it is not a BMP file, with *fault None; null
// when it cannot be read, with the fault and, in *why, the reason in words.
HGLOBAL ReadDibFromPath(const char* name, ReadFault* fault, std::string* why);
