// Packed DIBs and BMP files built byte by byte for the tests.
#pragma once

#include "support/scratch_dir.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "surface/gdi_types.h"

struct DibSpec {
    DWORD headerSize = 40;  // 12: OS/2 core header
    int width = 1;
    int height = 1;  // negative: top-down rows
    int bitCount = 24;
    DWORD compression = BI_RGB;
    DWORD clrUsed = 0;
    std::vector<BYTE> palette{};  // the table's bytes: 4 a colour (3 for a core header)
    std::vector<DWORD>
        masks{};  // red, green, blue: written after a 40-byte header, in a larger one
    std::vector<BYTE> bits{};
};

inline void PutLe(std::vector<BYTE>& out, size_t at, DWORD value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
}

inline std::vector<BYTE> PackedDib(const DibSpec& s) {
    std::vector<BYTE> out(s.headerSize == 12 ? 12 : std::max<DWORD>(s.headerSize, 40), 0);
    PutLe(out, 0, s.headerSize, 4);
    if (s.headerSize == 12) {
        PutLe(out, 4, static_cast<DWORD>(s.width), 2);
        PutLe(out, 6, static_cast<DWORD>(s.height), 2);
        PutLe(out, 8, 1, 2);
        PutLe(out, 10, static_cast<DWORD>(s.bitCount), 2);
    } else {
        PutLe(out, 4, static_cast<DWORD>(s.width), 4);
        PutLe(out, 8, static_cast<DWORD>(s.height), 4);
        PutLe(out, 12, 1, 2);
        PutLe(out, 14, static_cast<DWORD>(s.bitCount), 2);
        PutLe(out, 16, s.compression, 4);
        PutLe(out, 32, s.clrUsed, 4);
    }
    const size_t masksAt = s.headerSize == 40 ? out.size() : 40;
    // Reserved whole first: growing step by step makes GCC 12 at -O3 see
    // overflows that cannot happen.
    out.reserve(out.size() + 4 * s.masks.size() + s.palette.size() + s.bits.size());
    if (s.headerSize == 40) out.insert(out.end(), 4 * s.masks.size(), 0);
    for (size_t i = 0; i < s.masks.size(); ++i)
        PutLe(out, masksAt + 4 * i, s.masks[i], 4);
    out.insert(out.end(), s.palette.begin(), s.palette.end());
    out.insert(out.end(), s.bits.begin(), s.bits.end());
    return out;
}

// A BMP file of the packed DIB whose bits start at bitsAt, with gap bytes
// between the table and the bits (bfOffBits tells where they start).
inline std::vector<BYTE> BmpFile(const std::vector<BYTE>& packed, size_t bitsAt, size_t gap = 0) {
    std::vector<BYTE> out(14, 0);
    out.reserve(14 + packed.size() + gap);
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, static_cast<DWORD>(14 + packed.size() + gap), 4);
    PutLe(out, 10, static_cast<DWORD>(14 + bitsAt + gap), 4);
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<long>(bitsAt));
    out.insert(out.end(), gap, 0xEE);
    out.insert(out.end(), packed.begin() + static_cast<long>(bitsAt), packed.end());
    return out;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<BYTE> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
