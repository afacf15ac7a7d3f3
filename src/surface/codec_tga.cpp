// Targa files. Read: colour-mapped (8 or 16-bit indices into a map of 15,
// 16, 24 or 32-bit entries), true colour of 15, 16, 24 and 32 bits, grey of
// 8 bits and grey with alpha (16 bits), raw or run-length coded, from any of
// the four origins; alpha is dropped. Written: 24 bits, raw, bottom-left.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "surface/codec_internal.h"

namespace vic {

namespace {

constexpr size_t kHeaderBytes = 18;

struct TgaLayout {
    int width = 0;
    int height = 0;
    int pixelBits = 0;
    int pixelBytes = 0;
    bool rle = false;
    bool colourMapped = false;
    bool grey = false;
    bool rightToLeft = false;
    bool topToBottom = false;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    size_t mapOffset = 0;
    size_t dataOffset = 0;

    int ImageBits() const { return grey || (colourMapped && pixelBits == 8) ? 8 : 24; }
};

int ReadLayout(Bytes file, TgaLayout* t) {
    if (file.size < kHeaderBytes)
        return Fail(kVicNotThisFormat, "TGA: %zu bytes are too few for a Targa header", file.size);
    const BYTE* h = file.data;
    const int idLength = h[0];
    const int mapType = h[1];
    const int imageType = h[2];
    t->mapFirst = static_cast<int>(U16(h + 3));
    t->mapLength = static_cast<int>(U16(h + 5));
    t->mapEntryBits = h[7];
    t->width = static_cast<int>(U16(h + 12));
    t->height = static_cast<int>(U16(h + 14));
    t->pixelBits = h[16];
    t->rightToLeft = (h[17] & 0x10) != 0;
    t->topToBottom = (h[17] & 0x20) != 0;

    if (mapType > 1) return Fail(kVicNotThisFormat, "TGA: colour map type %d is unknown", mapType);
    t->rle = imageType >= 9;
    const int kind = imageType & 7;
    if ((imageType & ~8) < 1 || (imageType & ~8) > 3)
        return Fail(kVicUnsupported, "TGA: image type %d is not read", imageType);
    t->colourMapped = kind == 1;
    t->grey = kind == 3;

    size_t mapBytes = 0;
    if (mapType == 1) {
        if (t->mapEntryBits != 15 && t->mapEntryBits != 16 && t->mapEntryBits != 24 &&
            t->mapEntryBits != 32)
            return Fail(kVicUnsupported, "TGA: colour map entries of %d bits are not read",
                        t->mapEntryBits);
        mapBytes =
            static_cast<size_t>(t->mapLength) * static_cast<size_t>((t->mapEntryBits + 7) / 8);
    }
    bool depthOk = false;
    if (t->colourMapped) {
        if (mapType != 1 || t->mapLength == 0)
            return Fail(kVicBadData, "TGA: a colour-mapped picture without a colour map");
        depthOk = t->pixelBits == 8 || t->pixelBits == 16;
    } else if (t->grey) {
        depthOk = t->pixelBits == 8 || t->pixelBits == 16;
    } else {
        depthOk =
            t->pixelBits == 15 || t->pixelBits == 16 || t->pixelBits == 24 || t->pixelBits == 32;
    }
    if (!depthOk)
        return Fail(kVicUnsupported, "TGA: pixels of %d bits in an image of type %d are not read",
                    t->pixelBits, imageType);
    t->pixelBytes = (t->pixelBits + 7) / 8;
    if (int code = CheckPictureSize("TGA", t->width, t->height)) return code;

    t->mapOffset = kHeaderBytes + static_cast<size_t>(idLength);
    t->dataOffset = t->mapOffset + mapBytes;
    if (t->dataOffset > file.size)
        return Fail(kVicTruncated, "TGA: the file ends inside its colour map");
    // The least data that can describe the picture: raw, every pixel; coded,
    // one run packet (a count byte and one pixel) for every 128 pixels.
    const size_t pixels = static_cast<size_t>(t->width) * static_cast<size_t>(t->height);
    const size_t least = t->rle ? (pixels + 127) / 128 * (1 + static_cast<size_t>(t->pixelBytes))
                                : pixels * static_cast<size_t>(t->pixelBytes);
    if (file.size - t->dataOffset < least)
        return Fail(kVicTruncated,
                    "TGA: %d x %d pixels of %d bits need at least %zu bytes; the file holds %zu",
                    t->width, t->height, t->pixelBits, least, file.size - t->dataOffset);
    return kVicOk;
}

BYTE Expand5(unsigned value) {
    return static_cast<BYTE>(value << 3 | value >> 2);
}

// One colour (blue, green, red) from 15/16, 24 or 32-bit Targa bytes.
RGBQUAD Colour(const BYTE* p, int bits) {
    if (bits <= 16) {
        unsigned v = U16(p);
        return RGBQUAD{Expand5(v & 31), Expand5(v >> 5 & 31), Expand5(v >> 10 & 31), 0};
    }
    return RGBQUAD{p[0], p[1], p[2], 0};
}

// Hands out the file's pixels one by one, raw or through run-length
// packets; null once the data are used up.
class PixelStream {
  public:
    PixelStream(Bytes file, const TgaLayout& t)
        : p_(file.data + t.dataOffset),
          end_(file.data + file.size),
          size_(t.pixelBytes),
          rle_(t.rle) {}

    const BYTE* Next() {
        if (!rle_) return Take();
        if (left_ == 0) {
            if (p_ >= end_) return nullptr;
            const BYTE header = *p_++;
            left_ = (header & 0x7F) + 1;
            run_ = (header & 0x80) != 0;
            if (run_ && !(current_ = Take())) return nullptr;
        }
        --left_;
        return run_ ? current_ : Take();
    }

  private:
    const BYTE* Take() {
        if (static_cast<size_t>(end_ - p_) < size_) return nullptr;
        const BYTE* pixel = p_;
        p_ += size_;
        return pixel;
    }

    const BYTE* p_;
    const BYTE* end_;
    size_t size_;
    bool rle_;
    int left_ = 0;
    bool run_ = false;
    const BYTE* current_ = nullptr;
};

}  // namespace

int TgaInfo(Bytes file, VicFileInfo* info) {
    TgaLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    info->width = t.width;
    info->height = t.height;
    info->bitsPerPixel = t.ImageBits();
    info->fileBitsPerPixel = t.pixelBits;
    info->colours = t.ImageBits() == 8 ? 256 : 0;
    return kVicOk;
}

int TgaLoad(Bytes file, VicImage* image) {
    TgaLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    if (int code = CheckTarget(image, t.width, t.height, t.ImageBits())) return code;

    // The map as the indices address it: its first entry sits at mapFirst.
    std::vector<RGBQUAD> map;
    if (t.colourMapped) {
        map.resize(static_cast<size_t>(t.mapFirst) + static_cast<size_t>(t.mapLength));
        const int entryBytes = (t.mapEntryBits + 7) / 8;
        for (int i = 0; i < t.mapLength; ++i)
            map[static_cast<size_t>(t.mapFirst + i)] = Colour(
                file.data + t.mapOffset + static_cast<size_t>(i * entryBytes), t.mapEntryBits);
    }
    if (t.grey) {
        SetGreyPalette(image);
    } else if (t.ImageBits() == 8) {
        const size_t entries = std::min<size_t>(map.size(), 256);
        std::copy(map.begin(), map.begin() + static_cast<long>(entries), image->palette);
        image->colours = 256;
    }

    PixelStream stream(file, t);
    for (int row = 0; row < t.height; ++row) {
        BYTE* out = image->Row(t.topToBottom ? row : t.height - 1 - row);
        for (int column = 0; column < t.width; ++column) {
            const BYTE* p = stream.Next();
            if (!p) {  // a cut-short picture keeps what was there, and says so
                Notice(kCutShortNotice);
                return kVicOk;
            }
            const int x = t.rightToLeft ? t.width - 1 - column : column;
            if (t.ImageBits() == 8) {
                out[x] = p[0];  // an index or a grey level; alpha follows it
                continue;
            }
            RGBQUAD colour{};
            if (t.colourMapped) {
                const unsigned index = U16(p);
                if (index < map.size()) colour = map[index];
            } else {
                colour = Colour(p, t.pixelBits);
            }
            BYTE* pixel = out + 3 * x;
            pixel[0] = colour.rgbBlue;
            pixel[1] = colour.rgbGreen;
            pixel[2] = colour.rgbRed;
        }
    }
    return kVicOk;
}

}  // namespace vic

using namespace vic;

int savetga(const char* name, const VicImage* image, int kind) {
    if (!name || !image || !image->pixels || image->bitsPerPixel != 24)
        return Fail(kVicBadArgument, "savetga: needs a file name and a 24-bit image");
    if (kind != 1) return Fail(kVicBadArgument, "savetga: kind %d is not written", kind);
    const size_t rowPixelBytes = static_cast<size_t>(image->width) * 3;
    BYTE h[kHeaderBytes] = {};
    h[2] = 2;  // raw true colour
    PutU16(h + 12, static_cast<unsigned>(image->width));
    PutU16(h + 14, static_cast<unsigned>(image->height));
    h[16] = 24;
    h[17] = 0;  // bottom-left origin, no alpha bits
    std::FILE* file = std::fopen(name, "wb");
    if (!file) return Fail(kVicCannotOpen, "%s does not open for writing", name);
    bool written = std::fwrite(h, 1, kHeaderBytes, file) == kHeaderBytes;
    // The image's rows lie bottom-up already, as this origin wants them.
    for (int r = 0; written && r < image->height; ++r)
        written = std::fwrite(image->pixels + static_cast<size_t>(r) * image->rowBytes, 1,
                              rowPixelBytes, file) == rowPixelBytes;
    if (std::fclose(file) != 0 || !written) {
        std::remove(name);
        return Fail(kVicCannotWrite, "cannot write %s", name);
    }
    ClearError();
    return kVicOk;
}
