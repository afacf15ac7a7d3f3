#include "surface/cdadc.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "surface/dib_decode.h"
#include "surface/image_files.h"
#include "surface/packed_dib.h"
#include "util/error_box.h"

namespace {

constexpr DWORD kBmpBitsOffset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);  // 54
constexpr size_t kWriteChunk = 32768;

// A global block freed when it goes out of scope.
struct BlockOwner {
    HGLOBAL block;
    ~BlockOwner() { GlobalFree(block); }
};

}  // namespace

CDADC::CDADC() : pDC(new (std::nothrow) CDC) {
    if (!pDC) {
        ErrorBox("CDADC::CDADC() default constructor.\nOut of memory.");
        return;
    }
    pDC->SetStretchBltMode(COLORONCOLOR);
}

CDADC::CDADC(int w, int h) : pDC(new (std::nothrow) CDC) {
    if (!pDC) {
        ErrorBox("CDADC: constructor cannot\ncreate screen compatible DC(%d by %d).", w, h);
        return;
    }
    pDC->SetStretchBltMode(COLORONCOLOR);
    BITMAPINFO header;
    Make24BitHeader(&header);
    header.bmiHeader.biWidth = w;
    header.bmiHeader.biHeight = h;
    if (!InitData(&header)) ErrorBox("CDADC::CDADC(%d,%d) constructor\ncannot InitData()", w, h);
}

CDADC::~CDADC() {
    if (hOldBitmap) {
        HBITMAP dib = pDC->SelectObject(hOldBitmap);
        if (!DeleteObject(dib)) ErrorBox("Could not delete dib of DADC");
    }
    delete pDC;
    pDC = nullptr;
    hDib = nullptr;
    pBits = nullptr;
    width = height = rowBytes = imageBytes = 0;
}

int CDADC::InitData(const BITMAPINFO* header) {
    if (!pDC) {
        ErrorBox("CDADC::InitData called with NULL DC");
        return 0;
    }
    if (hDib) {
        ErrorBox("CDADC::InitData called with non NULL hDib");
        return 0;
    }
    if (pBits) {
        ErrorBox("CDADC::InitData called with non NULL pBits");
        return 0;
    }
    const BITMAPINFOHEADER& h = header->bmiHeader;
    if (h.biWidth < 1) {
        ErrorBox("CDADC::InitData called width=%d", h.biWidth);
        return 0;
    }
    if (h.biHeight < 1) {
        ErrorBox("CDADC::InitData called height=%d", h.biHeight);
        return 0;
    }

    void* bits = nullptr;
    hDib = CreateDIBSection(pDC, header, DIB_RGB_COLORS, &bits, nullptr, 0);
    pBits = static_cast<BYTE*>(bits);
    if (!hDib || !pBits) {
        // A picture's bytes must fit an int, like a DIB section's; within that
        // it is the memory the system has to give that runs out.
        const long long bytes = (static_cast<long long>(h.biWidth) * 3 + 3) / 4 * 4 * h.biHeight;
        errno = ENOMEM;
        SystemErrorBox("CDADC::InitData()",
                       "The picture is too large for the memory available:\n%d by %d pixels "
                       "need %lld MBytes",
                       h.biWidth, h.biHeight, (bytes + 1048575) / 1048576);
        if (hDib) DeleteObject(hDib);
        hDib = nullptr;
        pBits = nullptr;
        return 0;
    }

    width = h.biWidth;
    height = h.biHeight;
    hOldBitmap = pDC->SelectObject(hDib);
    if (!hOldBitmap) {
        ErrorBox("CDADC::InitData\ncould not select bitmap object\n%d pixels by %d", width, height);
        // Back to an empty surface rather than one holding a bitmap it never selected.
        DeleteObject(hDib);
        hDib = nullptr;
        pBits = nullptr;
        width = height = 0;
        return 0;
    }
    if (pDC->GetCurrentBitmap() != hDib) {
        ErrorBox("CDADC::InitData,GetBitmap failure");
        DeleteObject(pDC->SelectObject(hOldBitmap));
        hOldBitmap = nullptr;
        hDib = nullptr;
        pBits = nullptr;
        width = height = 0;
        return 0;
    }

    fileHeader.bfType = kBmpSignature;
    fileHeader.bfReserved1 = 0;
    fileHeader.bfReserved2 = 0;
    fileHeader.bfOffBits = kBmpBitsOffset;
    rowBytes = (width * 3 + 3) / 4 * 4;
    imageBytes = rowBytes * height;
    fileHeader.bfSize = static_cast<DWORD>(imageBytes) + kBmpBitsOffset;
    std::memcpy(&bmi, header, sizeof bmi);
    // A new DIB section is all zero, that is black: no pass over its pixels
    // here, so a large one is not touched before it is drawn on.
    return 1;
}

int CDADC::WriteBmpFile(const char* name) {
    if (!pBits || !pDC) {
        ErrorBox("CDADC::WriteBmpFile called with\nNULL pointers for %s", name);
        return 0;
    }
    std::FILE* file = std::fopen(name, "wb");
    if (!file) {
        ErrorBox("Could not open %s to\nwrite bitmap", name);
        return 0;
    }
    bool written = std::fwrite(&fileHeader.bfType, 2, 1, file) == 1 &&
                   std::fwrite(&fileHeader.bfSize, 4, 1, file) == 1 &&
                   std::fwrite(&fileHeader.bfReserved1, 2, 1, file) == 1 &&
                   std::fwrite(&fileHeader.bfReserved2, 2, 1, file) == 1 &&
                   std::fwrite(&fileHeader.bfOffBits, 4, 1, file) == 1 &&
                   std::fwrite(&bmi.bmiHeader, sizeof bmi.bmiHeader, 1, file) == 1;
    written = written && WriteBitmap(file);
    // Buffered bytes reach the disk only at fclose: a full disk shows there.
    written = std::fclose(file) == 0 && written;
    if (!written) {
        ErrorBox("ERROR While writing BMP\nfile: <%s>", name);
        return 0;
    }
    return 1;
}

int CDADC::WriteBitmap(std::FILE* stream) {
    const BYTE* p = pBits;
    size_t remaining = imageBytes > 0 ? static_cast<size_t>(imageBytes) : 0;
    while (remaining > kWriteChunk) {
        if (std::fwrite(p, kWriteChunk, 1, stream) != 1) {
            ErrorBox("CDADC::WriteBitmap(): ERROR in while loop\n");
            return 0;
        }
        p += kWriteChunk;
        remaining -= kWriteChunk;
    }
    if (std::fwrite(p, remaining, 1, stream) != 1) {
        ErrorBox("WriteBitmap: ERROR at end\n");
        return 0;
    }
    return 1;
}

int CDADC::WriteImageFile(const char* name, int jpegQuality) {
    // The extension is that of the file's own name, not of a folder above it.
    const char* fileName = std::strrchr(name, '/');
    const char* dot = std::strrchr(fileName ? fileName : name, '.');
    if (!dot) {
        ErrorBox("WriteImageFile has no extension:\n<%s>", name);
        return 0;
    }
    if (strcasecmp(dot + 1, "bmp") == 0) return WriteBmpFile(name);
    return VicWriteFile(this, name, jpegQuality);
}

int CDADC::ReadBmpFile(const char* name) {
    // A file that does not open, or is no BMP file, fails without a message
    // of its own; a folder, a FIFO or a file too large to be a picture says so.
    ReadFault fault = ReadFault::None;
    std::string why;
    HGLOBAL dib = ReadDibFromPath(name, &fault, &why);
    if (!dib) {
        if (fault != ReadFault::None && fault != ReadFault::CannotOpen)
            ErrorBox("***ERROR*** RBF:\n%s: %s", name, why.c_str());
        return 0;
    }
    BlockOwner owner{dib};
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    DibLayout layout;
    // The header is read only once it is known to be whole and sound.
    if (!ReadDibLayout({bytes, GlobalSize(dib)}, &layout, &why)) {
        GlobalUnlock(dib);
        ErrorBox("***ERROR*** RBF:\n%s: %s", name, why.c_str());
        return 0;
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    if (GetDibWidth(header) != width) {
        GlobalUnlock(dib);
        ErrorBox("***ERROR*** RBF:\nx mismatch %d != %d", width, GetDibWidth(header));
        return 0;
    }
    if (GetDibHeight(header) != height) {
        GlobalUnlock(dib);
        ErrorBox("***ERROR*** RBF:\ny mismatch %d != %d", height, GetDibHeight(header));
        return 0;
    }
    const RECT whole{0, 0, width, height};
    const int drawn = DrawDib(pDC, whole, dib, whole);
    GlobalUnlock(dib);
    if (!drawn) {
        ErrorBox("***ERROR*** RBF:\ncould not draw %s", name);
        return 0;
    }
    return 1;
}

CDADC* CDADC::CreateFromDib(HGLOBAL dib) {
    if (!dib) {
        ErrorBox("CDADC::CBC: Bad DIB handle");
        return nullptr;
    }
    auto* surface = new (std::nothrow) CDADC;
    if (!surface || !surface->pDC) {
        delete surface;
        ErrorBox("CDADC::CBC: could not allocate CDADC");
        return nullptr;
    }
    surface->pDC->SetStretchBltMode(COLORONCOLOR);
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    if (!bytes) {
        SystemErrorBox("CDADC::CBC", "Could not lock handle:hBm=%u",
                       static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(dib)));
        delete surface;
        return nullptr;
    }
    // The header is checked against its block before any size is believed.
    std::string why;
    DibLayout layout;
    if (!ReadDibLayout({bytes, GlobalSize(dib)}, &layout, &why)) {
        delete surface;
        GlobalUnlock(dib);
        ErrorBox("CDADC::CBC: unusable DIB: %s", why.c_str());
        return nullptr;
    }

    BITMAPINFO header;
    Make24BitHeader(&header);
    header.bmiHeader.biWidth = layout.width;
    header.bmiHeader.biHeight = layout.height;
    if (!surface->InitData(&header)) {
        delete surface;
        GlobalUnlock(dib);
        ErrorBox("CBCDADC:InitData failure");
        return nullptr;
    }
    const RECT whole{0, 0, layout.width, layout.height};
    DrawDib(surface->pDC, whole, dib, whole);
    GlobalUnlock(dib);
    return surface;
}

CDADC* CDADC::LoadBmpFile(const char* name) {
    ReadFault fault = ReadFault::None;
    std::string why;
    HGLOBAL dib = ReadDibFromPath(name, &fault, &why);
    if (!dib) {
        if (fault != ReadFault::None && fault != ReadFault::CannotOpen)
            ErrorBox("CDADC::LoadBmpFile:\n%s: %s", name, why.c_str());
        return nullptr;
    }
    CDADC* surface = CreateFromDib(dib);
    GlobalFree(dib);
    return surface;
}

CDADC* CDADC::ScaledCopy(double factor, const CDADC* source) {
    if (!source || !source->pBits) {
        ErrorBox("CDADC::ScaledCopy called without a source picture");
        return nullptr;
    }
    // Sizes below one pixel (and NaN) become 1; sizes beyond any surface are
    // left for InitData to refuse.
    auto scaled = [factor](int size) {
        const double v = std::fabs(std::trunc(size * factor));
        if (!(v >= 1)) return 1;
        return v > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(v);
    };
    const int w = scaled(source->width);
    const int h = scaled(source->height);
    auto* copy = new (std::nothrow) CDADC(w, h);
    if (!copy) return nullptr;
    if (!copy->pBits) {
        delete copy;
        return nullptr;
    }
    copy->pDC->StretchBlt(0, 0, w, h, source->pDC, 0, 0, source->width, source->height, SRCCOPY);
    return copy;
}

// The smallest d with width / d <= 64, that is with width < 65 d.
int CDADC::ThumbnailDivisor(const CDADC* surface) {
    if (surface->width < 65) return 1;
    return surface->width / 65 + 1;
}

void CDADC::Make24BitHeader(BITMAPINFO* header) {
    BITMAPINFOHEADER& h = header->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = 0;
    h.biXPelsPerMeter = 0;
    h.biYPelsPerMeter = 0;
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    header->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
}
