// Picture files of every format: the type a file name selects, loading any
// of them into a 24-bit packed DIB, and writing a surface as TGA, JPG, PCX
// or PNG (BMP files are the surface's own).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "surface/global_memory.h"
#include "surface/vic_image.h"

class CDADC;

// What ImageFileType gives for each extension.
enum ImageFileCode : int {
    kPcxFileType = 5,
    kTgaFileType = 7,
    kBmpFileType = 9,
    kJpgFileType = 11,
    kPngFileType = 13,
};

// The file-open dialog's filter and its patterns, in the same order.
inline constexpr const char kImageFileFilter[] =
    "Bitmap (*.BMP)|*.BMP|Targa  (*.TGA)|*.TGA|Jpeg   (*.JPG)|*.JPG|Pcx    (*.PCX)|*.PCX|"
    "Png (*.PNG)|*.PNG|";
inline constexpr const char* kImageFilePatterns[] = {"*.BMP", "*.TGA", "*.JPG", "*.PCX", "*.PNG"};

// The code of the name's extension (any case; "jpeg" and "jpe" are JPEG
// too); 0 for a missing or malformed extension, -1 for one that is not
// known. Both show their message.
int ImageFileType(const char* name);

// Any picture file as a new 24-bit packed DIB (a BMP file that only the
// surface's own reader takes may come back at its own depth); null after
// the messages of the failure, the last of which gives the imaging layer's
// reason, then "Could not open imagefile" and the name (VicLastError is
// empty afterwards: the reason has been shown). A picture loaded only in
// part (a file cut short) comes with a notice.
HGLOBAL VicLoadImageFile(const char* name);

// One format into a new 24-bit image; 1 on success, 0 after the messages.
int LoadBmpImage(VicImage* image, const char* name);
int LoadJpgImage(VicImage* image, const char* name);
int LoadTgaImage(VicImage* image, const char* name);
int LoadPcxImage(VicImage* image, const char* name);
int LoadPngImage(VicImage* image, const char* name);

// The quality of JPEG files written when none is asked for (1 to 100).
inline constexpr int kDefaultJpegQuality = 75;

// Writes the surface in the format of the name's extension; 1 on success.
// jpegQuality (1 to 100) is used by JPEG files alone.
int VicWriteFile(CDADC* surface, const char* name, int jpegQuality = kDefaultJpegQuality);

// The surface as the bytes of a 24-bit PNG file, for pictures kept inside
// other files; false after a failure (VicLastError says why).
bool EncodePng(const CDADC& surface, std::vector<BYTE>* bytes);
// PNG file bytes as a new surface, read as a PNG file is; null with why.
std::unique_ptr<CDADC> DecodePng(const BYTE* data, std::size_t size, std::string* why);
