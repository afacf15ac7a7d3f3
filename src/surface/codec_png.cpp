// PNG files through libpng. Read: every colour type and depth, interlaced
// or not; palette and grey pictures as 8-bit images, the rest as 24 bits;
// alpha is dropped and 16-bit samples keep their high byte. Written: 24-bit
// colour.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "surface/cdadc.h"
#include "surface/codec_internal.h"
#include "surface/image_files.h"

namespace vic {

namespace {

constexpr size_t kSignatureBytes = 8;
// Deflate turns one byte into at most 1032 (a run of 258 for every 2 bits).
constexpr size_t kDeflateMaxRatio = 1032;
// At one bit a pixel that is 8256 pixels a byte: a blank page of a few
// kilobytes can be 64 megapixels, honestly. Pictures up to this many
// pixels (a blank A4 page scanned at 300 dpi is 9 megapixels) may come
// from any file the deflate bound allows; larger ones need a byte for
// every kMaxPixelsPerByte pixels.
constexpr long long kFreePixels = 16'000'000;

uint32_t Be32(const BYTE* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The bytes of all IDAT chunks, as far as the file holds them.
size_t CompressedBytes(Bytes file) {
    size_t total = 0;
    for (size_t at = kSignatureBytes; file.size - at >= 12;) {
        const size_t length = Be32(file.data + at);
        const size_t available = std::min(length, file.size - at - 8);
        if (std::memcmp(file.data + at + 4, "IDAT", 4) == 0) total += available;
        if (length > file.size - at - 12) break;
        at += 12 + length;
    }
    return total;
}

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Bytes file;
    size_t offset = kSignatureBytes;
    char text[200] = "";
    std::vector<png_bytep> rows;

    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(text, 200, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, size_t count) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (r->file.size - r->offset < count) png_error(png, "the file ends early");
    std::memcpy(out, r->file.data + r->offset, count);
    r->offset += count;
}

// Opens the file and reads everything up to the pixel data; checks the size.
int ReadHeader(Bytes file, Reader* r) {
    if (file.size < kSignatureBytes || png_sig_cmp(file.data, 0, kSignatureBytes) != 0)
        return Fail(kVicNotThisFormat, "PNG: not a PNG file");
    r->file = file;
    r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r->text, OnError, OnWarning);
    if (!r->png) return Fail(kVicNoMemory, "PNG: no memory for the reader");
    r->info = png_create_info_struct(r->png);
    if (!r->info) return Fail(kVicNoMemory, "PNG: no memory for the reader");
    return kVicOk;
}

int CheckSize(Reader* r) {
    const long long width = png_get_image_width(r->png, r->info);
    const long long height = png_get_image_height(r->png, r->info);
    if (int code = CheckPictureSize("PNG", width, height)) return code;
    const long long bits = png_get_bit_depth(r->png, r->info) * png_get_channels(r->png, r->info);
    const long long raw = height * ((width * bits + 7) / 8);
    if (static_cast<unsigned long long>(raw) > kDeflateMaxRatio * CompressedBytes(r->file) + 64)
        return Fail(kVicTruncated,
                    "PNG: %lld x %lld pixels need more data than the file's %zu bytes hold", width,
                    height, r->file.size);
    if (width * height >
        std::max(kFreePixels, kMaxPixelsPerByte * static_cast<long long>(r->file.size)))
        return Fail(kVicTruncated, "PNG: %lld x %lld pixels are too many for a file of %zu bytes",
                    width, height, r->file.size);
    return kVicOk;
}

bool IsEightBit(int colourType) {
    return colourType == PNG_COLOR_TYPE_PALETTE || colourType == PNG_COLOR_TYPE_GRAY ||
           colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
}

// Runs inside the reader's setjmp frame: holds no objects of its own.
int Decode(Reader* r, VicImage* image) {
    png_set_read_fn(r->png, r, ReadData);
    png_set_sig_bytes(r->png, static_cast<int>(kSignatureBytes));
    png_read_info(r->png, r->info);
    if (int code = CheckSize(r)) return code;
    const int width = static_cast<int>(png_get_image_width(r->png, r->info));
    const int height = static_cast<int>(png_get_image_height(r->png, r->info));
    const int colourType = png_get_color_type(r->png, r->info);
    const int depth = png_get_bit_depth(r->png, r->info);
    const bool eightBit = IsEightBit(colourType);
    if (int code = CheckTarget(image, width, height, eightBit ? 8 : 24)) return code;

    if (depth == 16) png_set_strip_16(r->png);
    if (colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(r->png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(r->png);
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(r->png, r->info, &entries, &count) == PNG_INFO_PLTE) {
            for (int i = 0; i < count && i < 256; ++i)
                image->palette[i] = RGBQUAD{entries[i].blue, entries[i].green, entries[i].red, 0};
            image->colours = count;
        }
    } else if (eightBit) {
        if (depth < 8) png_set_expand_gray_1_2_4_to_8(r->png);
        SetGreyPalette(image);
    } else {
        png_set_bgr(r->png);
    }
    png_set_interlace_handling(r->png);
    png_read_update_info(r->png, r->info);
    if (png_get_rowbytes(r->png, r->info) != static_cast<size_t>(width) * (eightBit ? 1 : 3))
        return Fail(kVicUnsupported, "PNG: the rows do not come out as %d-bit pixels",
                    eightBit ? 8 : 24);
    for (int y = 0; y < height; ++y)
        r->rows[static_cast<size_t>(y)] = image->Row(y);
    png_read_image(r->png, r->rows.data());
    return kVicOk;
}

}  // namespace

int PngInfo(Bytes file, VicFileInfo* info) {
    Reader r;
    if (int code = ReadHeader(file, &r)) return code;
    if (setjmp(png_jmpbuf(r.png))) return Fail(kVicBadData, "PNG: %s", r.text);
    png_set_read_fn(r.png, &r, ReadData);
    png_set_sig_bytes(r.png, static_cast<int>(kSignatureBytes));
    png_read_info(r.png, r.info);
    if (int code = CheckSize(&r)) return code;
    const int colourType = png_get_color_type(r.png, r.info);
    info->width = static_cast<int>(png_get_image_width(r.png, r.info));
    info->height = static_cast<int>(png_get_image_height(r.png, r.info));
    info->bitsPerPixel = IsEightBit(colourType) ? 8 : 24;
    info->fileBitsPerPixel = png_get_bit_depth(r.png, r.info) * png_get_channels(r.png, r.info);
    info->colours = IsEightBit(colourType) ? 256 : 0;
    return kVicOk;
}

int PngLoad(Bytes file, VicImage* image) {
    Reader r;
    if (int code = ReadHeader(file, &r)) return code;
    if (image && image->height > 0) r.rows.resize(static_cast<size_t>(image->height));
    if (setjmp(png_jmpbuf(r.png))) return Fail(kVicBadData, "PNG: %s", r.text);
    return Decode(&r, image);
}

}  // namespace vic

using namespace vic;

namespace {

struct Writer {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    char text[200] = "";

    ~Writer() {
        png_destroy_write_struct(&png, &info);
        if (file) std::fclose(file);
    }
};

void Encode(Writer* w, const VicImage* image) {
    if (w->file != nullptr) png_init_io(w->png, w->file);
    png_set_IHDR(w->png, w->info, static_cast<png_uint_32>(image->width),
                 static_cast<png_uint_32>(image->height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w->png, w->info);
    png_set_bgr(w->png);
    for (int y = 0; y < image->height; ++y)
        png_write_row(w->png, image->Row(y));
    png_write_end(w->png, nullptr);
}

}  // namespace

int savepng(const char* name, const VicImage* image) {
    if (!name || !image || !image->pixels || image->bitsPerPixel != 24)
        return Fail(kVicBadArgument, "savepng: needs a file name and a 24-bit image");
    int code = kVicOk;
    {
        Writer w;
        w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, w.text, OnError, OnWarning);
        if (w.png) w.info = png_create_info_struct(w.png);
        if (!w.png || !w.info) return Fail(kVicNoMemory, "PNG: no memory for the writer");
        w.file = std::fopen(name, "wb");
        if (!w.file) return Fail(kVicCannotOpen, "%s does not open for writing", name);
        if (setjmp(png_jmpbuf(w.png))) {
            code = Fail(kVicCannotWrite, "PNG: %s", w.text);
        } else {
            Encode(&w, image);
            const bool written = std::ferror(w.file) == 0;
            const bool closed = std::fclose(w.file) == 0;
            w.file = nullptr;
            if (!written || !closed) code = Fail(kVicCannotWrite, "cannot write %s", name);
        }
    }
    if (code != kVicOk) {
        std::remove(name);
        return code;
    }
    ClearError();
    return kVicOk;
}

namespace {

struct Sink {
    std::vector<BYTE>* bytes;
    bool outOfMemory = false;
};

// No exception may pass through libpng's C frames: a failed append is noted
// and the rest of the picture goes nowhere.
void AppendData(png_structp png, png_bytep data, size_t count) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    if (sink->outOfMemory) return;
    try {
        sink->bytes->insert(sink->bytes->end(), data, data + count);
    } catch (const std::bad_alloc&) {
        sink->outOfMemory = true;
    }
}

void NoFlush(png_structp) {}

}  // namespace

bool EncodePng(const CDADC& surface, std::vector<BYTE>* bytes) {
    if (bytes == nullptr || surface.pBits == nullptr) {
        Fail(kVicBadArgument, "EncodePng: needs a picture and somewhere to put it");
        return false;
    }
    // The surface's rows are exactly an image's: a view of them, not owned.
    VicImage view;
    view.pixels = surface.pBits;
    view.width = surface.width;
    view.height = surface.height;
    view.bitsPerPixel = 24;
    view.rowBytes = surface.rowBytes;
    bytes->clear();
    Writer w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, w.text, OnError, OnWarning);
    if (w.png) w.info = png_create_info_struct(w.png);
    if (!w.png || !w.info) {
        Fail(kVicNoMemory, "PNG: no memory for the writer");
        return false;
    }
    if (setjmp(png_jmpbuf(w.png))) {
        Fail(kVicCannotWrite, "PNG: %s", w.text);
        bytes->clear();
        return false;
    }
    Sink sink{bytes};
    png_set_write_fn(w.png, &sink, AppendData, NoFlush);
    Encode(&w, &view);
    if (sink.outOfMemory) {
        Fail(kVicNoMemory, "PNG: no memory for the file's bytes");
        bytes->clear();
        return false;
    }
    ClearError();
    return true;
}

std::unique_ptr<CDADC> DecodePng(const BYTE* data, size_t size, std::string* why) {
    const Bytes file{data, size};
    VicFileInfo info;
    VicImage image;
    VicImage colour;
    std::unique_ptr<CDADC> surface;
    int code = PngInfo(file, &info);
    if (code == kVicOk) code = allocimage(&image, info.width, info.height, info.bitsPerPixel);
    if (code == kVicOk) code = PngLoad(file, &image);
    const VicImage* rows = &image;
    if (code == kVicOk && image.bitsPerPixel != 24) {
        code = allocimage(&colour, image.width, image.height, 24);
        if (code == kVicOk) code = convertpaltorgb(&image, &colour);
        rows = &colour;
    }
    if (code == kVicOk) {
        surface = std::make_unique<CDADC>(rows->width, rows->height);
        if (surface->pBits == nullptr) {
            code = Fail(kVicNoMemory, "no memory for a picture of %d x %d pixels", rows->width,
                        rows->height);
            surface.reset();
        } else {
            const size_t rowBytes =
                static_cast<size_t>(std::min(rows->rowBytes, surface->rowBytes));
            for (int y = 0; y < rows->height; ++y)
                std::memcpy(surface->Row(y), rows->Row(y), rowBytes);
        }
    }
    if (code != kVicOk && why != nullptr) *why = VicLastError();
    freeimage(&image);
    freeimage(&colour);
    return surface;
}
