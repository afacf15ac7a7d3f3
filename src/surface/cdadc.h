// CDADC: the one picture type. A 24-bit DIB section selected into its own
// drawing context; rows bottom-up, pixels blue-green-red, rows padded to a
// multiple of 4 bytes. A new surface is black. Not copyable.
#pragma once

#include <cstdio>

#include "surface/dc.h"
#include "surface/gdi_types.h"
#include "surface/global_memory.h"

class CDADC {
  public:
    CDADC();                       // the context only; InitData must follow
    CDADC(int width, int height);  // a black surface of that size
    ~CDADC();
    CDADC(const CDADC&) = delete;
    CDADC& operator=(const CDADC&) = delete;

    int InitData(const BITMAPINFO* header);
    int WriteBmpFile(const char* name);
    int WriteBitmap(std::FILE* stream);
    // jpegQuality (1 to 100) is used by JPEG files alone.
    int WriteImageFile(const char* name, int jpegQuality = 75);
    int ReadBmpFile(const char* name);

    // New surfaces, owned by the caller; null on failure.
    static CDADC* CreateFromDib(HGLOBAL dib);
    static CDADC* LoadBmpFile(const char* name);
    static CDADC* ScaledCopy(double factor, const CDADC* source);

    static int ThumbnailDivisor(const CDADC* surface);
    static void Make24BitHeader(BITMAPINFO* header);

    // The bytes of picture row y, counted from the top.
    BYTE* Row(int y) { return pBits + static_cast<size_t>(height - 1 - y) * rowBytes; }
    const BYTE* Row(int y) const { return pBits + static_cast<size_t>(height - 1 - y) * rowBytes; }

    CDC* pDC = nullptr;
    HBITMAP hDib = nullptr;
    BYTE* pBits = nullptr;
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    int imageBytes = 0;
    BITMAPINFO bmi{};
    BITMAPFILEHEADER fileHeader{};
    HBITMAP hOldBitmap = nullptr;
};
