// BMP files for the imaging layer. The file becomes a packed DIB through
// the surface's own file reader, so both roads into the program see the
// same DIB. Uncompressed pictures of 1, 4 and 8 bits are read as 8-bit
// palette images; every other kind goes through the surface's DIB decoder
// into 24 bits.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "surface/codec_internal.h"
#include "surface/dib_decode.h"
#include "surface/packed_dib.h"

namespace vic {

namespace {

struct BlockDeleter {
    void operator()(GlobalBlock* block) const { GlobalFree(block); }
};
using Block = std::unique_ptr<GlobalBlock, BlockDeleter>;

struct BmpLayout {
    Block dib;
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    DWORD compression = BI_RGB;
    int entries = 0;  // colour table entries the indices can reach
    int entryBytes = 4;
    size_t bitsOffset = 0;
    bool palettePath = false;

    const BYTE* Bytes() const { return dib->bytes.get(); }
};

size_t Stride(long long width, int bits) {
    return static_cast<size_t>((width * bits + 31) / 32 * 4);
}

int ReadLayout(Bytes file, BmpLayout* t) {
    if (file.size < 2 || file.data[0] != 'B' || file.data[1] != 'M')
        return Fail(kVicNotThisFormat, "BMP: not a BMP file");
    std::FILE* stream = fmemopen(const_cast<BYTE*>(file.data), file.size, "rb");
    if (!stream) return Fail(kVicNoMemory, "BMP: no memory to read the file");
    t->dib.reset(ReadDibFromFile(stream));
    std::fclose(stream);
    if (!t->dib) return Fail(kVicNotThisFormat, "BMP: not a complete BMP file");

    const size_t size = t->dib->size;
    const BYTE* h = t->Bytes();
    const DWORD headerBytes = size >= 4 ? U32(h) : 0;
    long long width = 0;
    long long height = 0;
    if (headerBytes == sizeof(BITMAPCOREHEADER) && size >= headerBytes) {
        width = U16(h + 4);
        height = U16(h + 6);
        t->bits = static_cast<int>(U16(h + 10));
        t->entryBytes = 3;
    } else if (headerBytes >= sizeof(BITMAPINFOHEADER) && headerBytes <= size) {
        width = static_cast<LONG>(U32(h + 4));
        height = static_cast<LONG>(U32(h + 8));
        t->bits = static_cast<int>(U16(h + 14));
        t->compression = U32(h + 16);
    } else {
        return Fail(kVicBadData, "BMP: a bitmap header of %u bytes is not known",
                    static_cast<unsigned>(headerBytes));
    }
    t->topDown = height < 0;
    if (t->topDown) height = -height;
    if (int code = CheckPictureSize("BMP", width, height)) return code;
    t->width = static_cast<int>(width);
    t->height = static_cast<int>(height);
    if (t->bits != 1 && t->bits != 4 && t->bits != 8 && t->bits != 16 && t->bits != 24 &&
        t->bits != 32)
        return Fail(kVicBadData, "BMP: %d bits a pixel is not a BMP depth", t->bits);

    const bool coded = t->compression == BI_RLE8 || t->compression == BI_RLE4;
    if (!coded && Stride(width, t->bits) * static_cast<size_t>(height) > size - headerBytes)
        return Fail(kVicTruncated,
                    "BMP: %lld x %lld pixels of %d bits need more than the file's %zu bytes", width,
                    height, t->bits, file.size);
    if (coded) {
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(h);
        const size_t tableEnd = headerBytes + static_cast<size_t>(GetDibPaletteBytes(header));
        const size_t data = tableEnd < size ? size - tableEnd : 0;
        if (!RleCanDescribe(width, height, data))
            return Fail(kVicTruncated,
                        "BMP: %zu bytes of run-length data cannot describe %lld x %lld pixels",
                        data, width, height);
    }

    if (t->compression == BI_RGB && t->bits <= 8) {
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(h);
        const long long table = GetDibPaletteBytes(header);
        t->bitsOffset = headerBytes + static_cast<size_t>(table);
        t->entries = std::clamp(GetDibColourCount(header), 0, 1 << t->bits);
        t->palettePath =
            table >= 0 && t->bitsOffset <= size &&
            Stride(width, t->bits) * static_cast<size_t>(height) <= size - t->bitsOffset;
    }
    return kVicOk;
}

}  // namespace

int BmpInfo(Bytes file, BITMAPINFOHEADER* info) {
    BmpLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    *info = BITMAPINFOHEADER{};
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = t.width;
    info->biHeight = t.height;
    info->biPlanes = 1;
    info->biBitCount = static_cast<WORD>(t.palettePath ? 8 : 24);
    info->biCompression = t.compression;
    info->biClrUsed = static_cast<DWORD>(t.entries);
    return kVicOk;
}

int BmpLoad(Bytes file, VicImage* image) {
    BmpLayout t;
    if (int code = ReadLayout(file, &t)) return code;
    if (int code = CheckTarget(image, t.width, t.height, t.palettePath ? 8 : 24)) return code;
    if (t.palettePath) {
        const auto* header = reinterpret_cast<const BYTE*>(t.Bytes());
        const BYTE* entry = header + U32(header);
        for (int i = 0; i < t.entries; ++i, entry += t.entryBytes)
            image->palette[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
        image->colours = t.entries;
        const size_t stride = Stride(t.width, t.bits);
        for (int r = 0; r < t.height; ++r) {
            const BYTE* row = t.Bytes() + t.bitsOffset + static_cast<size_t>(r) * stride;
            UnpackIndices(row, t.bits, t.width, image->Row(t.topDown ? r : t.height - 1 - r));
        }
        return kVicOk;
    }
    DecodedDib decoded;
    std::string why;
    if (!DecodePackedDib(PackedDibView{t.Bytes(), t.dib->size}, &decoded, &why))
        return Fail(kVicBadData, "BMP: %s", why.c_str());
    if (decoded.width != t.width || decoded.height != t.height)
        return Fail(kVicBadData, "BMP: the decoder made %d x %d pixels of a %d x %d picture",
                    decoded.width, decoded.height, t.width, t.height);
    for (int y = 0; y < t.height; ++y)
        std::memcpy(image->Row(y), decoded.Pixel(0, y), static_cast<size_t>(t.width) * 3);
    if (decoded.cutShort) Notice(kCutShortNotice);
    return kVicOk;
}

}  // namespace vic
