// PCX files. Read: 1, 2, 4 and 8-bit indices, packed or spread over planes
// (up to 8 bits in all), with the header's 16-colour palette or the
// 256-colour palette at the end of the file, and 24-bit pictures in three
// planes (a fourth, alpha, is dropped); run-length coded or raw. Written:
// 8 bits, run-length coded, with the 256-colour palette at the end.
#include <algorithm>
#include <cstring>
#include <vector>

#include "surface/codec_internal.h"

namespace vic {

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kEndPaletteBytes = 769;  // the marker 12, then 256 red-green-blue triples
constexpr BYTE kEndPaletteMarker = 12;

struct PcxLayout {
    int width = 0;
    int height = 0;
    int bitsPerPlane = 0;
    int planes = 0;
    int bytesPerLine = 0;
    size_t promised = 0;  // decoded bytes the header's own line length asks for
    bool rle = false;
    bool endPalette = false;  // a 256-colour palette follows the pixel data
    size_t dataEnd = 0;

    bool TrueColour() const { return bitsPerPlane == 8 && planes >= 3; }
    int ImageBits() const { return TrueColour() ? 24 : 8; }
};

int ReadLayout(Bytes file, PcxLayout* t) {
    if (file.size < kHeaderBytes || file.data[0] != 10)
        return Fail(kVicNotThisFormat, "PCX: not a PCX file");
    const BYTE* h = file.data;
    if (h[2] > 1) return Fail(kVicUnsupported, "PCX: encoding %d is not read", h[2]);
    t->rle = h[2] == 1;
    t->bitsPerPlane = h[3];
    const int xMin = static_cast<int>(U16(h + 4));
    const int yMin = static_cast<int>(U16(h + 6));
    const int xMax = static_cast<int>(U16(h + 8));
    const int yMax = static_cast<int>(U16(h + 10));
    t->planes = h[65];
    t->bytesPerLine = static_cast<int>(U16(h + 66));
    t->width = xMax - xMin + 1;
    t->height = yMax - yMin + 1;

    const int bits = t->bitsPerPlane;
    const bool indexed = (bits == 1 || bits == 2 || bits == 4 || bits == 8) && t->planes >= 1 &&
                         bits * t->planes <= 8;
    const bool trueColour = bits == 8 && (t->planes == 3 || t->planes == 4);
    if (!indexed && !trueColour)
        return Fail(kVicUnsupported, "PCX: %d planes of %d bits are not read", t->planes, bits);
    if (int code = CheckPictureSize("PCX", t->width, t->height)) return code;
    // Some writers put a line length too short for the width: the lines are
    // then as long as the pixels need, made even as PCX lines should be.
    const auto needed = static_cast<int>((static_cast<long long>(t->width) * bits + 7) / 8);
    // What the header promises; only the padding after the last line's
    // pixels may be missing.
    t->promised = static_cast<size_t>(t->bytesPerLine) * static_cast<size_t>(t->planes) *
                      static_cast<size_t>(t->height) -
                  static_cast<size_t>(std::max(0, t->bytesPerLine - needed));
    if (t->bytesPerLine < needed) t->bytesPerLine = needed + needed % 2;

    t->endPalette = bits * t->planes == 8 && file.size >= kHeaderBytes + kEndPaletteBytes &&
                    file.data[file.size - kEndPaletteBytes] == kEndPaletteMarker;
    t->dataEnd = t->endPalette ? file.size - kEndPaletteBytes : file.size;
    // The least data that can describe the picture: raw, every byte; coded,
    // two bytes for every run of 63.
    const size_t total = static_cast<size_t>(t->bytesPerLine) * static_cast<size_t>(t->planes) *
                         static_cast<size_t>(t->height);
    const size_t least = t->rle ? (total + 62) / 63 * 2 : total;
    if (t->dataEnd - kHeaderBytes < least)
        return Fail(kVicTruncated,
                    "PCX: %d x %d pixels need at least %zu bytes of data; the file holds %zu",
                    t->width, t->height, least, t->dataEnd - kHeaderBytes);
    return kVicOk;
}

// Hands out the decoded bytes of the picture; runs may go on from one line
// into the next. Once the data are used up it gives zeros.
class RleStream {
  public:
    RleStream(const BYTE* begin, const BYTE* end, bool rle) : p_(begin), end_(end), rle_(rle) {}

    // The number of bytes that came from the data (count unless they ran out).
    size_t Fill(BYTE* out, size_t count) {
        size_t done = 0;
        while (done < count) {
            if (left_ == 0) {
                if (p_ >= end_) break;
                const BYTE b = *p_++;
                if (rle_ && (b & 0xC0) == 0xC0) {
                    if (p_ >= end_) break;
                    left_ = b & 0x3F;
                    value_ = *p_++;
                } else {
                    left_ = 1;
                    value_ = b;
                }
                continue;
            }
            const size_t n = std::min(left_, count - done);
            std::memset(out + done, value_, n);
            done += n;
            left_ -= n;
        }
        std::memset(out + done, 0, count - done);
        return done;
    }

  private:
    const BYTE* p_;
    const BYTE* end_;
    bool rle_;
    size_t left_ = 0;
    BYTE value_ = 0;
};

void SetPalette(Bytes file, const PcxLayout& t, VicImage* image) {
    const int bits = t.bitsPerPlane * t.planes;
    if (bits == 1) {
        image->palette[1] = RGBQUAD{255, 255, 255, 0};
        image->colours = 2;
    } else if (bits <= 4) {
        const BYTE* p = file.data + 16;
        for (int i = 0; i < 16; ++i, p += 3)
            image->palette[i] = RGBQUAD{p[2], p[1], p[0], 0};
        image->colours = 1 << bits;
    } else if (t.endPalette) {
        const BYTE* p = file.data + file.size - kEndPaletteBytes + 1;
        for (int i = 0; i < 256; ++i, p += 3)
            image->palette[i] = RGBQUAD{p[2], p[1], p[0], 0};
        image->colours = 256;
    } else {
        SetGreyPalette(image);
    }
}

}  // namespace

int PcxInfo(Bytes file, VicFileInfo* info) {
    PcxLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    info->width = t.width;
    info->height = t.height;
    info->bitsPerPixel = t.ImageBits();
    info->fileBitsPerPixel = t.bitsPerPlane * t.planes;
    info->colours = t.TrueColour() ? 0 : 1 << std::min(8, t.bitsPerPlane * t.planes);
    return kVicOk;
}

int PcxLoad(Bytes file, VicImage* image) {
    PcxLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    if (int code = CheckTarget(image, t.width, t.height, t.ImageBits())) return code;
    if (!t.TrueColour()) SetPalette(file, t, image);

    const auto lineBytes = static_cast<size_t>(t.bytesPerLine);
    std::vector<BYTE> line(lineBytes * static_cast<size_t>(t.planes));
    std::vector<BYTE> plane(static_cast<size_t>(t.width));
    RleStream stream(file.data + kHeaderBytes, file.data + t.dataEnd, t.rle);
    size_t got = 0;
    for (int y = 0; y < t.height; ++y) {
        got += stream.Fill(line.data(), line.size());
        BYTE* out = image->Row(y);
        if (t.TrueColour()) {
            const BYTE* red = line.data();
            const BYTE* green = red + lineBytes;
            const BYTE* blue = green + lineBytes;
            for (int x = 0; x < t.width; ++x, out += 3) {
                out[0] = blue[x];
                out[1] = green[x];
                out[2] = red[x];
            }
        } else if (t.planes == 1) {
            UnpackIndices(line.data(), t.bitsPerPlane, t.width, out);
        } else {
            // Plane p holds bits p × bitsPerPlane upward of each index.
            std::memset(out, 0, static_cast<size_t>(t.width));
            for (int p = 0; p < t.planes; ++p) {
                UnpackIndices(line.data() + static_cast<size_t>(p) * lineBytes, t.bitsPerPlane,
                              t.width, plane.data());
                for (int x = 0; x < t.width; ++x)
                    out[x] = static_cast<BYTE>(out[x] | plane[static_cast<size_t>(x)]
                                                            << (p * t.bitsPerPlane));
            }
        }
    }
    // A header whose line length is too short for the width is believed for
    // how much data there must be, not for the length the lines are read with.
    if (got < t.promised) Notice(kCutShortNotice);
    return kVicOk;
}

}  // namespace vic

using namespace vic;

int savepcx(const char* name, const VicImage* image) {
    if (!name || !image || !image->pixels || image->bitsPerPixel != 8)
        return Fail(kVicBadArgument, "savepcx: needs a file name and an 8-bit image");
    const int bytesPerLine = (image->width + 1) / 2 * 2;  // PCX lines have an even length
    std::vector<BYTE> bytes(kHeaderBytes);
    BYTE* h = bytes.data();
    h[0] = 10;
    h[1] = 5;  // the version with a 256-colour palette
    h[2] = 1;
    h[3] = 8;
    PutU16(h + 8, static_cast<unsigned>(image->width - 1));
    PutU16(h + 10, static_cast<unsigned>(image->height - 1));
    PutU16(h + 12, 72);
    PutU16(h + 14, 72);
    for (int i = 0; i < 16; ++i) {
        h[16 + 3 * i] = image->palette[i].rgbRed;
        h[17 + 3 * i] = image->palette[i].rgbGreen;
        h[18 + 3 * i] = image->palette[i].rgbBlue;
    }
    h[65] = 1;
    PutU16(h + 66, static_cast<unsigned>(bytesPerLine));
    h[68] = 1;  // colour palette

    std::vector<BYTE> line(static_cast<size_t>(bytesPerLine));
    for (int y = 0; y < image->height; ++y) {
        std::memcpy(line.data(), image->Row(y), static_cast<size_t>(image->width));
        // Runs stay within a line and are at most 63 long; a lone byte
        // below 0xC0 stands for itself.
        for (int x = 0; x < bytesPerLine;) {
            int run = 1;
            while (x + run < bytesPerLine && run < 63 && line[x + run] == line[x])
                ++run;
            if (run > 1 || line[x] >= 0xC0) bytes.push_back(static_cast<BYTE>(0xC0 | run));
            bytes.push_back(line[x]);
            x += run;
        }
    }
    bytes.push_back(kEndPaletteMarker);
    for (const RGBQUAD& colour : image->palette) {
        bytes.push_back(colour.rgbRed);
        bytes.push_back(colour.rgbGreen);
        bytes.push_back(colour.rgbBlue);
    }
    if (int code = WriteWholeFile(name, bytes)) return code;
    ClearError();
    return kVicOk;
}
