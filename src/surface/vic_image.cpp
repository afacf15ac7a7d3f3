#include "surface/vic_image.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <sys/mman.h>

#include "surface/codec_internal.h"
#include "surface/colour_quantizer.h"
#include "surface/packed_dib.h"
#include "util/read_file.h"

namespace vic {

namespace {
thread_local std::string lastError;
thread_local std::string lastNotice;
}  // namespace

int Fail(int code, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    lastError = text;
    return code;
}

void ClearError() {
    lastError.clear();
}

const char* LastError() {
    return lastError.c_str();
}

void Notice(const char* text) {
    if (lastNotice.empty()) lastNotice = text;
}

void ClearNotice() {
    lastNotice.clear();
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

int ReadWholeFile(const char* name, std::vector<BYTE>* bytes) {
    std::string why;
    switch (ReadFileBounded(name, kMaxPictureFileBytes, bytes, &why)) {
        case ReadFault::None:
            return kVicOk;
        case ReadFault::CannotOpen:
        case ReadFault::NotAFile:
            return Fail(kVicCannotOpen, "%s", why.c_str());
        case ReadFault::TooLarge:
            return Fail(kVicTooLarge, "%s", why.c_str());
        case ReadFault::CannotRead:
        default:
            return Fail(kVicCannotRead, "%s", why.c_str());
    }
}

int WriteWholeFile(const char* name, const std::vector<BYTE>& bytes) {
    File file(std::fopen(name, "wb"), &std::fclose);
    if (!file) return Fail(kVicCannotOpen, "%s does not open for writing", name);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (std::fclose(file.release()) != 0 || !written) {
        std::remove(name);
        return Fail(kVicCannotWrite, "cannot write %s", name);
    }
    return kVicOk;
}

int CheckPictureSize(const char* format, long long width, long long height) {
    if (width < 1 || height < 1)
        return Fail(kVicBadSize, "%s: a picture of %lld x %lld pixels has no pixels", format, width,
                    height);
    if (width > kVicMaxSide || height > kVicMaxSide || width * height > kVicMaxPixels)
        return Fail(kVicTooLarge,
                    "%s: a picture of %lld x %lld pixels is larger than %d pixels a side or "
                    "%lld megapixels",
                    format, width, height, kVicMaxSide, kVicMaxPixels / 1000000);
    return kVicOk;
}

int CheckTarget(const VicImage* image, int width, int height, int bitsPerPixel) {
    if (!image || !image->pixels)
        return Fail(kVicBadArgument, "the image to load into is not allocated");
    if (image->width != width || image->height != height || image->bitsPerPixel != bitsPerPixel)
        return Fail(kVicBadArgument,
                    "the image is %d x %d at %d bits, the file needs %d x %d at %d bits",
                    image->width, image->height, image->bitsPerPixel, width, height, bitsPerPixel);
    return kVicOk;
}

void AskForHugePages(void* buffer, size_t bytes) {
    // A picture's buffer spans thousands of 4 KB pages, and a first touch of
    // each is a page fault; in a virtual machine those cost more than the
    // decoding. 2 MB pages need a few hundred times fewer. Only the whole
    // 4 KB pages inside the buffer can be advised.
    constexpr uintptr_t kPage = 4096;
    if (bytes < (4u << 20)) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(buffer) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kPage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void SetGreyPalette(VicImage* image) {
    for (int i = 0; i < 256; ++i) {
        BYTE v = static_cast<BYTE>(i);
        image->palette[i] = RGBQUAD{v, v, v, 0};
    }
    image->colours = 256;
}

void UnpackIndices(const BYTE* source, int bitsPerPixel, int count, BYTE* out) {
    if (bitsPerPixel == 8) {
        std::memcpy(out, source, static_cast<size_t>(count));
        return;
    }
    const int perByte = 8 / bitsPerPixel;
    const unsigned mask = (1u << bitsPerPixel) - 1;
    for (int i = 0; i < count; ++i) {
        int shift = 8 - bitsPerPixel * (i % perByte + 1);
        out[i] = static_cast<BYTE>(source[i / perByte] >> shift & mask);
    }
}

}  // namespace vic

using namespace vic;

const char* VicLastError() {
    return LastError();
}

const char* VicLastNotice() {
    return lastNotice.c_str();
}

int allocimage(VicImage* image, int width, int height, int bitsPerPixel) {
    if (!image) return Fail(kVicBadArgument, "allocimage: no image record");
    if (bitsPerPixel != 8 && bitsPerPixel != 24)
        return Fail(kVicBadArgument, "allocimage: images of %d bits are not made", bitsPerPixel);
    if (int code = CheckPictureSize("allocimage", width, height)) return code;
    const long long rowBytes = (static_cast<long long>(width) * bitsPerPixel + 31) / 32 * 4;
    const auto bytes = static_cast<size_t>(rowBytes * height);
    // calloc: fresh pages from the system come zeroed without a pass over them.
    auto* pixels = static_cast<BYTE*>(std::calloc(bytes, 1));
    if (!pixels)
        return Fail(kVicNoMemory, "allocimage: no memory for %d x %d pixels", width, height);
    AskForHugePages(pixels, bytes);
    *image = VicImage{};
    image->pixels = pixels;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bitsPerPixel;
    image->rowBytes = static_cast<int>(rowBytes);
    ClearError();
    return kVicOk;
}

void freeimage(VicImage* image) {
    if (!image) return;
    std::free(image->pixels);
    *image = VicImage{};
}

int bmpinfo(const char* name, BITMAPINFOHEADER* info) {
    return OnFile(name, &BmpInfo, info);
}
int jpeginfo(const char* name, VicFileInfo* info) {
    return OnFile(name, &JpegInfo, info);
}
int tgainfo(const char* name, VicFileInfo* info) {
    return OnFile(name, &TgaInfo, info);
}
int pcxinfo(const char* name, VicFileInfo* info) {
    return OnFile(name, &PcxInfo, info);
}
int pnginfo(const char* name, VicFileInfo* info) {
    return OnFile(name, &PngInfo, info);
}
int loadbmp(const char* name, VicImage* image) {
    return OnFile(name, &BmpLoad, image);
}
int loadjpg(const char* name, VicImage* image) {
    return OnFile(name, &JpegLoad, image);
}
int loadtga(const char* name, VicImage* image) {
    return OnFile(name, &TgaLoad, image);
}
int loadpcx(const char* name, VicImage* image) {
    return OnFile(name, &PcxLoad, image);
}
int loadpng(const char* name, VicImage* image) {
    return OnFile(name, &PngLoad, image);
}

int convertpaltorgb(const VicImage* source, VicImage* destination) {
    if (!source || !source->pixels || source->bitsPerPixel != 8)
        return Fail(kVicBadArgument, "convertpaltorgb: the source is not an 8-bit image");
    if (int code = CheckTarget(destination, source->width, source->height, 24)) return code;
    for (int y = 0; y < source->height; ++y) {
        const BYTE* in = source->Row(y);
        BYTE* out = destination->Row(y);
        for (int x = 0; x < source->width; ++x, out += 3) {
            const RGBQUAD& colour = source->palette[in[x]];
            out[0] = colour.rgbBlue;
            out[1] = colour.rgbGreen;
            out[2] = colour.rgbRed;
        }
    }
    ClearError();
    return kVicOk;
}

int convertrgbtopal(int maxColours, const VicImage* source, VicImage* destination) {
    if (maxColours < 2 || maxColours > 256)
        return Fail(kVicBadArgument, "convertrgbtopal: %d colours cannot be made", maxColours);
    if (!source || !source->pixels || source->bitsPerPixel != 24)
        return Fail(kVicBadArgument, "convertrgbtopal: the source is not a 24-bit image");
    if (int code = CheckTarget(destination, source->width, source->height, 8)) return code;
    std::vector<RGBQUAD> palette;
    QuantizerInput input{source->pixels, source->width, source->height, source->rowBytes};
    try {
        QuantizeColours(input, maxColours, destination->pixels, destination->rowBytes, &palette);
    } catch (const std::bad_alloc&) {
        return Fail(kVicNoMemory, "convertrgbtopal: no memory to count the colours");
    }
    std::memset(destination->palette, 0, sizeof destination->palette);
    std::memcpy(destination->palette, palette.data(), palette.size() * sizeof(RGBQUAD));
    destination->colours = static_cast<int>(palette.size());
    ClearError();
    return kVicOk;
}

int imagetodib(const VicImage* image, HGLOBAL* dib) {
    if (!dib) return Fail(kVicBadArgument, "imagetodib: nowhere to put the DIB");
    *dib = nullptr;
    if (!image || !image->pixels || (image->bitsPerPixel != 8 && image->bitsPerPixel != 24))
        return Fail(kVicBadArgument, "imagetodib: the image is not allocated");
    const size_t tableBytes = image->bitsPerPixel == 8 ? 256 * sizeof(RGBQUAD) : 0;
    const size_t pixelBytes = static_cast<size_t>(image->rowBytes) * image->height;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image->width;
    header.biHeight = image->height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(image->bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = image->bitsPerPixel == 8 ? 256 : 0;
    // Every byte of the block is written below, so it is not zero-filled
    // first as GlobalAlloc would: for a photograph that pass costs as much
    // as a tenth of its decoding.
    const size_t size = sizeof(BITMAPINFOHEADER) + tableBytes + pixelBytes;
    HGLOBAL block = new (std::nothrow) GlobalBlock;
    if (block) block->bytes.reset(new (std::nothrow) BYTE[size]);
    if (!block || !block->bytes) {
        delete block;
        return Fail(kVicNoMemory, "imagetodib: no memory for the DIB");
    }
    block->size = size;
    AskForHugePages(block->bytes.get(), size);
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    std::memcpy(bytes, &header, sizeof header);
    std::memcpy(bytes + sizeof header, image->palette, tableBytes);
    std::memcpy(bytes + sizeof header + tableBytes, image->pixels, pixelBytes);
    GlobalUnlock(block);
    *dib = block;
    ClearError();
    return kVicOk;
}
