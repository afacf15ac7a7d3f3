// What the picture codecs of the imaging layer share. The readers work on
// a file held in memory, so the fuzz targets drive exactly the code that
// the file calls use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "surface/gdi_types.h"
#include "surface/vic_image.h"

namespace vic {

struct Bytes {
    const BYTE* data = nullptr;
    size_t size = 0;
};

inline unsigned U16(const BYTE* p) {
    return static_cast<unsigned>(p[0] | p[1] << 8);
}
inline uint32_t U32(const BYTE* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void PutU16(BYTE* p, unsigned value) {
    p[0] = static_cast<BYTE>(value);
    p[1] = static_cast<BYTE>(value >> 8);
}

// Records the words for VicLastError and returns code.
int Fail(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ClearError();
// Records the words for VicLastNotice: the load goes on, but the user should
// know. The first notice of a load is kept.
void Notice(const char* text);
void ClearNotice();

// Pixels a compressed file (JPEG, PNG) may describe for each of its bytes.
// Flat pictures compress far beyond this, so that a file of a few
// kilobytes could ask for gigabytes and seconds of work; real pictures
// stay far below it (photographs take 10 to 80 pixels a byte, a smooth
// gradient at JPEG quality 5 about 1600).
constexpr long long kMaxPixelsPerByte = 4096;

// What a loader says when the file ends before the picture does.
inline constexpr const char kCutShortNotice[] =
    "the picture is cut short; only the part that was read is shown";

// The whole file through the program's bounded reader (util/read_file.h):
// folders and FIFOs are refused, no file is read past kMaxPictureFileBytes.
int ReadWholeFile(const char* name, std::vector<BYTE>* bytes);
int WriteWholeFile(const char* name, const std::vector<BYTE>& bytes);

// kVicOk when a picture of that size may be allocated; format names the
// kind of file in the failure's words.
int CheckPictureSize(const char* format, long long width, long long height);
// kVicOk when the image is allocated with that size and depth.
int CheckTarget(const VicImage* image, int width, int height, int bitsPerPixel);
void SetGreyPalette(VicImage* image);
// Asks the system for 2 MB pages under a large pixel buffer not touched yet.
void AskForHugePages(void* buffer, size_t bytes);

// Expands count pixels of 1, 2, 4 or 8 bits, packed from the high bits of
// each byte down, to one byte each.
void UnpackIndices(const BYTE* source, int bitsPerPixel, int count, BYTE* out);

int BmpInfo(Bytes file, BITMAPINFOHEADER* info);
int BmpLoad(Bytes file, VicImage* image);
int JpegInfo(Bytes file, VicFileInfo* info);
int JpegLoad(Bytes file, VicImage* image);
int TgaInfo(Bytes file, VicFileInfo* info);
int TgaLoad(Bytes file, VicImage* image);
int PcxInfo(Bytes file, VicFileInfo* info);
int PcxLoad(Bytes file, VicImage* image);
int PngInfo(Bytes file, VicFileInfo* info);
int PngLoad(Bytes file, VicImage* image);

// Runs a memory reader on the whole file of that name.
template <typename Out>
int OnFile(const char* name, int (*reader)(Bytes, Out*), Out* out) {
    if (!name || !out) return Fail(kVicBadArgument, "no file name or no record");
    std::vector<BYTE> bytes;
    ClearNotice();
    if (int code = ReadWholeFile(name, &bytes)) return code;
    ClearError();
    return reader(Bytes{bytes.data(), bytes.size()}, out);
}

}  // namespace vic
