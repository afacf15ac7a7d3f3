// The imaging library layer: picture files of every format are read into
// and written from the library's own in-memory images, which convert to
// packed DIBs. The calls keep the shape of the library the program was
// written against: each takes pointers, returns 0 for success or one of the
// VicError codes, and never reports to the user itself (the caller prints
// the code; VicLastError() tells what went wrong in words).
#pragma once

#include "surface/gdi_types.h"
#include "surface/global_memory.h"

enum VicError : int {
    kVicOk = 0,
    kVicBadArgument = 1,    // null pointer, unsupported depth, image of the wrong size
    kVicNoMemory = 2,       // the pixel buffer could not be allocated
    kVicCannotOpen = 3,     // the file does not open
    kVicCannotRead = 4,     // reading the file failed
    kVicCannotWrite = 5,    // writing the file failed
    kVicNotThisFormat = 6,  // the file is not of the format asked for
    kVicUnsupported = 7,    // a variant of the format that is not read
    kVicTooLarge = 8,       // a side above kVicMaxSide or more than kVicMaxPixels
    kVicTruncated = 9,      // the file cannot hold what its header promises
    kVicBadData = 10,       // pixel data too damaged to go on with
    kVicBadSize = 11,       // a width or height of zero or less
};

// Pictures above these sizes are refused before anything is allocated.
constexpr int kVicMaxSide = 30000;
constexpr long long kVicMaxPixels = 500'000'000;

// An image of the library: rows bottom-up, padded to a multiple of 4 bytes,
// exactly the rows of a packed DIB. 24-bit pixels are blue, green, red; an
// 8-bit image holds palette indices.
struct VicImage {
    BYTE* pixels = nullptr;  // owned; released by freeimage
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 8 or 24
    int rowBytes = 0;
    int colours = 0;  // palette entries in use (8-bit images)
    RGBQUAD palette[256]{};

    // Row y counted from the top of the picture.
    BYTE* Row(int y) { return pixels + static_cast<size_t>(height - 1 - y) * rowBytes; }
    const BYTE* Row(int y) const { return pixels + static_cast<size_t>(height - 1 - y) * rowBytes; }
};

// What the information calls of JPEG, TGA, PCX and PNG files report.
struct VicFileInfo {
    int width = 0;
    int height = 0;
    // The depth of the image that holds the file's pixels: 8 for palette and
    // grey pictures, 24 for everything else.
    int bitsPerPixel = 0;
    int fileBitsPerPixel = 0;  // as the file stores a pixel (all planes together)
    int colours = 0;           // palette entries of an 8-bit picture
};

// Words for the last failure of a call on this thread ("" after a success).
const char* VicLastError();
// Words for what the last load call on this thread could not read although
// it succeeded ("the picture is cut short; ..."); "" when it read the whole
// picture. The callers show it as a notice.
const char* VicLastNotice();

// A blank (zero-filled) image; bitsPerPixel is 8 or 24.
int allocimage(VicImage* image, int width, int height, int bitsPerPixel);
// Releases the pixel buffer; harmless on an image that holds none.
void freeimage(VicImage* image);

// bmpinfo fills a 40-byte header (OS/2 core headers are widened to one);
// its biBitCount is 8 for an uncompressed 1, 4 or 8-bit file and 24 for
// every other kind, which loadbmp converts to 24 bits itself.
int bmpinfo(const char* name, BITMAPINFOHEADER* info);
int jpeginfo(const char* name, VicFileInfo* info);
int tgainfo(const char* name, VicFileInfo* info);
int pcxinfo(const char* name, VicFileInfo* info);
int pnginfo(const char* name, VicFileInfo* info);

// Each loader needs an image allocated with the width, height and depth its
// information call reported.
int loadbmp(const char* name, VicImage* image);
int loadjpg(const char* name, VicImage* image);
int loadtga(const char* name, VicImage* image);
int loadpcx(const char* name, VicImage* image);
int loadpng(const char* name, VicImage* image);

// source: 8 bits; destination: 24 bits, the same size.
int convertpaltorgb(const VicImage* source, VicImage* destination);
// Reduces a 24-bit picture to at most maxColours colours (2 to 256); the
// colours are kept exactly when there are no more than that.
int convertrgbtopal(int maxColours, const VicImage* source, VicImage* destination);
// A packed DIB (40-byte header, colour table for 8 bits, the rows) in a new block.
int imagetodib(const VicImage* image, HGLOBAL* dib);

// quality: 1 to 100.
int savejpg(const char* name, const VicImage* image, int quality);
// kind: 1 = uncompressed true colour, the only kind written.
int savetga(const char* name, const VicImage* image, int kind);
// An 8-bit image, written with run-length coding and its palette.
int savepcx(const char* name, const VicImage* image);
int savepng(const char* name, const VicImage* image);
