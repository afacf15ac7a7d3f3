// A plain owned memory block standing in for a global memory handle: the
// home of packed DIBs (loaded files, the clipboard). It knows its size, so
// every reader of a packed DIB can check the DIB against the block.
#pragma once

#include <cstddef>
#include <memory>

#include "surface/gdi_types.h"

struct GlobalBlock {
    std::unique_ptr<BYTE[]> bytes;
    size_t size = 0;
    int locks = 0;
};
using HGLOBAL = GlobalBlock*;

constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A zero-filled block of the given size; null when memory is short.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void* GlobalLock(HGLOBAL block);    // null for a null handle
BOOL GlobalUnlock(HGLOBAL block);   // TRUE while the block stays locked
HGLOBAL GlobalFree(HGLOBAL block);  // null on success
size_t GlobalSize(HGLOBAL block);   // 0 for a null handle
