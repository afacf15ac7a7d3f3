#include "surface/packed_dib.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace {

// A colour table longer than 256 entries is never used; like the platform,
// count no more (a damaged header may claim billions).
constexpr DWORD kMaxColourEntries = 256;

bool IsCoreHeader(const BITMAPINFOHEADER* header) {
    return header->biSize == sizeof(BITMAPCOREHEADER);
}

const BITMAPCOREHEADER* AsCore(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const BITMAPCOREHEADER*>(header);
}

}  // namespace

int GetDibWidth(const BITMAPINFOHEADER* header) {
    if (IsCoreHeader(header)) return AsCore(header)->bcWidth;
    return header->biWidth;
}

// The number of rows: a negative height only says that the rows run top-down.
int GetDibHeight(const BITMAPINFOHEADER* header) {
    if (IsCoreHeader(header)) return AsCore(header)->bcHeight;
    if (header->biHeight == std::numeric_limits<LONG>::min())
        return std::numeric_limits<int>::max();
    return header->biHeight < 0 ? -header->biHeight : header->biHeight;
}

int GetDibColourCount(const BITMAPINFOHEADER* header) {
    if (!IsCoreHeader(header) && header->biClrUsed != 0)
        return static_cast<int>(std::min(header->biClrUsed, kMaxColourEntries));
    switch (IsCoreHeader(header) ? AsCore(header)->bcBitCount : header->biBitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

// Everything between the header and the bits: the colour table, and for a
// plain 40-byte header with bit fields the three masks that precede it.
int GetDibPaletteBytes(const BITMAPINFOHEADER* header) {
    if (IsCoreHeader(header))
        return GetDibColourCount(header) * static_cast<int>(sizeof(RGBTRIPLE));
    const int masks =
        header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS
            ? 3 * static_cast<int>(sizeof(DWORD))
            : 0;
    return masks + GetDibColourCount(header) * static_cast<int>(sizeof(RGBQUAD));
}

const BYTE* GetDibBits(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const BYTE*>(header) + header->biSize + GetDibPaletteBytes(header);
}

int DrawDib(CDC* dc, const RECT& dest, HGLOBAL dib, const RECT& source) {
    if (!dib) return 0;
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    const PackedDibView view{bytes, GlobalSize(dib)};
    if (!bytes || view.size < sizeof(BITMAPCOREHEADER)) {
        GlobalUnlock(dib);
        return 0;
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    dc->SetStretchBltMode(COLORONCOLOR);
    const int destWidth = dest.right - dest.left;
    const int destHeight = dest.bottom - dest.top;
    const int sourceWidth = source.right - source.left;
    const int sourceHeight = source.bottom - source.top;
    int result;
    if (destWidth == sourceWidth && destHeight == sourceHeight) {
        const int dibHeight = GetDibHeight(header);
        // The source rectangle counts rows from the top; the DIB's scan lines from the bottom.
        result = dc->SetDIBitsToDevice(dest.left, dest.top, static_cast<DWORD>(destWidth),
                                       static_cast<DWORD>(destHeight), source.left,
                                       dibHeight - source.bottom, 0, static_cast<UINT>(dibHeight),
                                       view, DIB_RGB_COLORS);
    } else {
        result =
            dc->StretchDIBits(dest.left, dest.top, destWidth, destHeight, source.left, source.top,
                              sourceWidth, sourceHeight, view, DIB_RGB_COLORS, SRCCOPY);
    }
    GlobalUnlock(dib);
    return result;
}

namespace {

DWORD ReadDword(const BYTE* p) {
    DWORD v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Where the packed DIB in the block expects its bits: after the header and
// the colour table. 0 when the block cannot hold even those.
size_t ExpectedBitsOffset(HGLOBAL block) {
    const BYTE* bytes = block->bytes.get();
    if (block->size < sizeof(DWORD)) return 0;
    const DWORD headerSize = ReadDword(bytes);
    if (headerSize != sizeof(BITMAPCOREHEADER) && headerSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (headerSize > block->size) return 0;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    const size_t offset = size_t{headerSize} + static_cast<size_t>(GetDibPaletteBytes(header));
    return offset <= block->size ? offset : 0;
}

// A BMP file may keep a gap (or, damaged, an overlap) between the colour
// table and the bits; a packed DIB has its bits right after the table.
HGLOBAL RepackBits(HGLOBAL block, DWORD fileBitsOffset, size_t fileLength) {
    const size_t tableEnd = ExpectedBitsOffset(block);
    if (tableEnd == 0) return block;  // the header is unusable: left for the reader to refuse
    constexpr size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    // An offset into the header, or past the end of the file, says nothing.
    if (fileBitsOffset < kFileHeader + ReadDword(block->bytes.get()) || fileBitsOffset > fileLength)
        return block;
    const size_t bitsAt = fileBitsOffset - kFileHeader;
    if (bitsAt == tableEnd) return block;
    const size_t bitsBytes = block->size - bitsAt;
    if (bitsAt > tableEnd) {
        BYTE* bytes = block->bytes.get();
        std::memmove(bytes + tableEnd, bytes + bitsAt, bitsBytes);
        block->size = tableEnd + bitsBytes;
        return block;
    }
    // The table overlaps the bits: both keep the file's bytes they had.
    HGLOBAL repacked = GlobalAlloc(GHND, tableEnd + bitsBytes);
    if (repacked) {
        std::memcpy(repacked->bytes.get(), block->bytes.get(), tableEnd);
        std::memcpy(repacked->bytes.get() + tableEnd, block->bytes.get() + bitsAt, bitsBytes);
    }
    GlobalFree(block);
    return repacked;
}

}  // namespace

HGLOBAL DibFromBmpBytes(const BYTE* file, size_t size) {
    if (!file || size < sizeof(BITMAPFILEHEADER) || file[0] != 'B' || file[1] != 'M')
        return nullptr;
    const DWORD fileBitsOffset = ReadDword(file + offsetof(BITMAPFILEHEADER, bfOffBits));
    const size_t dibBytes = size - sizeof(BITMAPFILEHEADER);
    HGLOBAL block = GlobalAlloc(GHND, dibBytes);
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), file + sizeof(BITMAPFILEHEADER), dibBytes);
    GlobalUnlock(block);
    return RepackBits(block, fileBitsOffset, size);
}

HGLOBAL ReadDibFromFile(std::FILE* file) {
    if (!file) return nullptr;
    // From the start where the stream can go back there; then to its end,
    // rather than by a length from fseek/ftell, which means nothing for a
    // pipe or a device.
    std::fseek(file, 0, SEEK_SET);
    std::vector<BYTE> bytes;
    constexpr size_t kChunk = size_t{1} << 16;
    try {
        for (;;) {
            const size_t have = bytes.size();
            if (have > kMaxPictureFileBytes) return nullptr;
            bytes.resize(
                std::min<size_t>(kMaxPictureFileBytes + 1, have + std::max(kChunk, have / 2)));
            const size_t got = std::fread(bytes.data() + have, 1, bytes.size() - have, file);
            bytes.resize(have + got);
            if (got == 0) break;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (std::ferror(file)) return nullptr;
    return DibFromBmpBytes(bytes.data(), bytes.size());
}

HGLOBAL ReadDibFromPath(const char* name, ReadFault* fault, std::string* why) {
    // The file is read straight into the block that becomes the DIB.
    HGLOBAL block = nullptr;
    const ReadBuffer buffer = [&block](size_t room) -> unsigned char* {
        HGLOBAL larger = GlobalAlloc(GHND, room);
        if (!larger) return nullptr;
        if (block) std::memcpy(larger->bytes.get(), block->bytes.get(), block->size);
        GlobalFree(block);
        block = larger;
        return block->bytes.get();
    };
    size_t size = 0;
    *fault = ReadFileBounded(name, kMaxPictureFileBytes, buffer, &size, why);
    if (*fault != ReadFault::None) {
        GlobalFree(block);
        return nullptr;
    }
    BYTE* bytes = block->bytes.get();
    if (size < sizeof(BITMAPFILEHEADER) || bytes[0] != 'B' || bytes[1] != 'M') {
        GlobalFree(block);
        return nullptr;
    }
    // A packed DIB is the file after its file header.
    const DWORD fileBitsOffset = ReadDword(bytes + offsetof(BITMAPFILEHEADER, bfOffBits));
    std::memmove(bytes, bytes + sizeof(BITMAPFILEHEADER), size - sizeof(BITMAPFILEHEADER));
    block->size = size - sizeof(BITMAPFILEHEADER);
    return RepackBits(block, fileBitsOffset, size);
}
