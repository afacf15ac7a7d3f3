#include "surface/dib_decode.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "surface/packed_dib.h"

namespace {

WORD ReadWord(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD ReadDword(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

bool Fail(std::string* why, const char* format, long long a = 0, long long b = 0) {
    if (why) {
        char text[160];
        std::snprintf(text, sizeof text, format, a, b);
        *why = text;
    }
    return false;
}

bool DepthFitsCompression(int bitCount, DWORD compression) {
    switch (compression) {
        case BI_RGB:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
        case BI_RLE8:
            return bitCount == 8;
        case BI_RLE4:
            return bitCount == 4;
        case BI_BITFIELDS:
            return bitCount == 16 || bitCount == 32;
        default:
            return false;
    }
}

// Bytes of one uncompressed row: whole DWORDs.
size_t Stride(int width, int bitCount) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32 * 4;
}

}  // namespace

bool ReadDibLayout(PackedDibView dib, DibLayout* out, std::string* why) {
    DibLayout d;
    if (!dib.data || dib.size < sizeof(DWORD))
        return Fail(why, "the data is too short for a bitmap header");
    const DWORD headerSize = ReadDword(dib.data);
    long long width, height;
    int planes;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        if (dib.size < headerSize) return Fail(why, "the bitmap header is cut short");
        d.core = true;
        width = ReadWord(dib.data + 4);
        height = ReadWord(dib.data + 6);
        planes = ReadWord(dib.data + 8);
        d.bitCount = ReadWord(dib.data + 10);
        if (d.bitCount == 16 || d.bitCount == 32)
            return Fail(why, "%lld bits per pixel do not go with an OS/2 header", d.bitCount);
    } else if (headerSize >= sizeof(BITMAPINFOHEADER)) {
        if (dib.size < headerSize) return Fail(why, "the bitmap header is cut short");
        width = static_cast<LONG>(ReadDword(dib.data + 4));
        height = static_cast<LONG>(ReadDword(dib.data + 8));
        planes = ReadWord(dib.data + 12);
        d.bitCount = ReadWord(dib.data + 14);
        d.compression = ReadDword(dib.data + 16);
    } else {
        return Fail(why, "unknown bitmap header size %lld", headerSize);
    }

    if (planes != 1) return Fail(why, "the bitmap has %lld planes instead of 1", planes);
    if (width < 1 || width > kMaxDibSide)
        return Fail(why, "the bitmap width %lld is out of range", width);
    d.topDown = height < 0;
    if (d.topDown) height = -height;
    if (height < 1 || height > kMaxDibSide)
        return Fail(why, "the bitmap height %lld is out of range", height);
    if (width * height > kMaxDibPixels)
        return Fail(why, "the bitmap is too large: %lld by %lld pixels", width, height);
    d.width = static_cast<int>(width);
    d.height = static_cast<int>(height);
    if (!DepthFitsCompression(d.bitCount, d.compression))
        return Fail(why, "%lld bits per pixel with compression %lld are not supported", d.bitCount,
                    d.compression);
    const bool rle = d.compression == BI_RLE8 || d.compression == BI_RLE4;
    if (rle && d.topDown) return Fail(why, "an RLE bitmap cannot have top-down rows");

    if (d.compression == BI_BITFIELDS) {
        // In a 40-byte header's block the masks follow it; larger headers hold them.
        if (headerSize > sizeof(BITMAPINFOHEADER) && headerSize < sizeof(BITMAPINFOHEADER) + 12)
            return Fail(why, "the bit fields do not fit the header of %lld bytes", headerSize);
        if (dib.size < sizeof(BITMAPINFOHEADER) + 12)
            return Fail(why, "the bit fields are cut short");
        for (int i = 0; i < 3; ++i)
            d.masks[i] = ReadDword(dib.data + sizeof(BITMAPINFOHEADER) + 4 * i);
    } else if (d.bitCount == 16) {
        d.masks[0] = 0x7C00;
        d.masks[1] = 0x03E0;
        d.masks[2] = 0x001F;
    } else if (d.bitCount == 32) {
        d.masks[0] = 0xFF0000;
        d.masks[1] = 0x00FF00;
        d.masks[2] = 0x0000FF;
    }

    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data);
    const size_t paletteBytes = static_cast<size_t>(GetDibPaletteBytes(header));
    d.paletteEntries = GetDibColourCount(header);
    d.paletteOffset =
        headerSize + paletteBytes -
        static_cast<size_t>(d.paletteEntries) * (d.core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD));
    d.bitsOffset = headerSize + paletteBytes;
    if (d.bitsOffset > dib.size) return Fail(why, "the colour table is cut short");
    d.bitsSize = dib.size - d.bitsOffset;

    if (!rle) {
        // The last row's padding may be missing: some writers leave it out.
        const size_t stride = Stride(d.width, d.bitCount);
        const size_t needed =
            stride * static_cast<size_t>(d.height - 1) +
            (static_cast<size_t>(d.width) * static_cast<size_t>(d.bitCount) + 7) / 8;
        if (d.bitsSize < needed)
            return Fail(why, "the pixel data is cut short: %lld bytes of %lld",
                        static_cast<long long>(d.bitsSize), static_cast<long long>(needed));
    } else if (!RleCanDescribe(d.width, d.height, d.bitsSize)) {
        if (why) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "%zu bytes of RLE data cannot describe a picture of %d by %d pixels",
                          d.bitsSize, d.width, d.height);
            *why = text;
        }
        return false;
    }
    *out = d;
    return true;
}

namespace {

using Palette = std::array<std::array<BYTE, 3>, 256>;  // blue, green, red

// Entries the table does not have are black.
Palette ReadPalette(PackedDibView dib, const DibLayout& d) {
    Palette palette{};
    const size_t entrySize = d.core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
    const int entries = std::min(d.paletteEntries, 256);
    for (int i = 0; i < entries; ++i) {
        const BYTE* e = dib.data + d.paletteOffset + static_cast<size_t>(i) * entrySize;
        palette[static_cast<size_t>(i)] = {e[0], e[1], e[2]};
    }
    return palette;
}

// One colour channel of a 16 or 32-bit pixel, as a contiguous run of mask bits.
struct Field {
    int shift = 0;
    int length = 0;

    explicit Field(DWORD mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        length = std::countr_one(mask >> shift);
    }

    // Scaled to 0..255 with rounding, so that a full field is 255.
    BYTE Get(DWORD pixel) const {
        if (length == 0) return 0;
        const std::uint64_t max = (std::uint64_t{1} << length) - 1;
        const std::uint64_t value = (pixel >> shift) & max;
        return static_cast<BYTE>((value * 255 + max / 2) / max);
    }
};

void DecodeRows(PackedDibView dib, const DibLayout& d, DecodedDib* out) {
    const Palette palette = ReadPalette(dib, d);
    const Field red(d.masks[0]), green(d.masks[1]), blue(d.masks[2]);
    const size_t stride = Stride(d.width, d.bitCount);
    const BYTE* bits = dib.data + d.bitsOffset;
    for (int r = 0; r < d.height; ++r) {
        const BYTE* src = bits + static_cast<size_t>(r) * stride;
        BYTE* dst =
            out->bgr.data() + static_cast<size_t>(d.topDown ? r : d.height - 1 - r) * d.width * 3;
        if (d.bitCount == 24) {
            std::memcpy(dst, src, static_cast<size_t>(d.width) * 3);
            continue;
        }
        for (int x = 0; x < d.width; ++x, dst += 3) {
            switch (d.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const size_t bit = static_cast<size_t>(x) * d.bitCount;
                    const int index =
                        (src[bit / 8] >> (8 - d.bitCount - bit % 8)) & ((1 << d.bitCount) - 1);
                    std::memcpy(dst, palette[static_cast<size_t>(index)].data(), 3);
                    break;
                }
                default: {
                    const DWORD pixel =
                        d.bitCount == 16 ? ReadWord(src + 2 * x) : ReadDword(src + 4 * x);
                    dst[0] = blue.Get(pixel);
                    dst[1] = green.Get(pixel);
                    dst[2] = red.Get(pixel);
                }
            }
        }
    }
}

// RLE8 and RLE4 streams: runs of one index, absolute runs, and escapes for
// end of line, end of bitmap and a jump (delta) right and up. Rows count from
// the bottom. Pixels past the right edge are dropped; pixels the stream
// never reaches stay black.
void DecodeRle(PackedDibView dib, const DibLayout& d, DecodedDib* out) {
    const Palette palette = ReadPalette(dib, d);
    const bool rle4 = d.compression == BI_RLE4;
    const BYTE* s = dib.data + d.bitsOffset;
    const size_t n = d.bitsSize;
    int x = 0, row = 0;
    auto put = [&](int index) {
        if (x < d.width) {
            BYTE* dst =
                out->bgr.data() + (static_cast<size_t>(d.height - 1 - row) * d.width + x) * 3;
            std::memcpy(dst, palette[static_cast<size_t>(index)].data(), 3);
            ++x;
        }
    };
    size_t p = 0;
    // Every way out below but the end-of-bitmap escape and the last row is a stream cut short.
    out->cutShort = true;
    while (row < d.height && p + 2 <= n) {
        const int count = s[p];
        const int value = s[p + 1];
        p += 2;
        if (count > 0) {
            // A run of one colour (RLE4: two alternating), cut at the right
            // edge: the first two pixels, then doubled, a few copies a run.
            const size_t bytes = static_cast<size_t>(std::min(count, d.width - x)) * 3;
            BYTE* dst =
                out->bgr.data() + (static_cast<size_t>(d.height - 1 - row) * d.width + x) * 3;
            const BYTE pair[6] = {palette[static_cast<size_t>(rle4 ? value >> 4 : value)][0],
                                  palette[static_cast<size_t>(rle4 ? value >> 4 : value)][1],
                                  palette[static_cast<size_t>(rle4 ? value >> 4 : value)][2],
                                  palette[static_cast<size_t>(rle4 ? value & 0x0F : value)][0],
                                  palette[static_cast<size_t>(rle4 ? value & 0x0F : value)][1],
                                  palette[static_cast<size_t>(rle4 ? value & 0x0F : value)][2]};
            size_t done = std::min(bytes, sizeof pair);
            std::memcpy(dst, pair, done);
            while (done < bytes) {
                const size_t more = std::min(done / 6 * 6, bytes - done);
                std::memcpy(dst + done, dst, more);
                done += more;
            }
            x += static_cast<int>(bytes / 3);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            out->cutShort = false;
            return;
        } else if (value == 2) {
            if (p + 2 > n) return;
            x = std::min(x + s[p], d.width);
            row += s[p + 1];
            p += 2;
        } else {
            // An absolute run of `value` pixels, padded to a whole word.
            const size_t bytes =
                rle4 ? (static_cast<size_t>(value) + 1) / 2 : static_cast<size_t>(value);
            for (int i = 0; i < value; ++i) {
                const size_t at = p + (rle4 ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i));
                if (at >= n) return;
                put(rle4 ? (i % 2 == 0 ? s[at] >> 4 : s[at] & 0x0F) : s[at]);
            }
            p += bytes + bytes % 2;
        }
    }
    if (row >= d.height) out->cutShort = false;
}

}  // namespace

bool DecodePackedDib(PackedDibView dib, DecodedDib* out, std::string* why) {
    DibLayout layout;
    if (!ReadDibLayout(dib, &layout, why)) return false;
    out->width = 0;
    out->height = 0;
    out->cutShort = false;
    out->bgr.clear();
    try {
        out->bgr.assign(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height) * 3,
                        0);
    } catch (const std::bad_alloc&) {
        return Fail(why, "not enough memory for %lld by %lld pixels", layout.width, layout.height);
    }
    out->width = layout.width;
    out->height = layout.height;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4)
        DecodeRle(dib, layout, out);
    else
        DecodeRows(dib, layout, out);
    return true;
}
