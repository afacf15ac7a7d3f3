#include "surface/global_memory.h"

#include <new>

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    // Every block is movable and zero-filled: the flags change nothing here.
    auto* block = new (std::nothrow) GlobalBlock;
    if (!block) return nullptr;
    block->bytes.reset(new (std::nothrow) BYTE[bytes]());
    if (!block->bytes) {
        delete block;
        return nullptr;
    }
    block->size = bytes;
    return block;
}

void* GlobalLock(HGLOBAL block) {
    if (!block) return nullptr;
    ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL block) {
    if (!block) return FALSE;
    if (block->locks > 0) --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    delete block;
    return nullptr;
}

size_t GlobalSize(HGLOBAL block) {
    return block ? block->size : 0;
}
