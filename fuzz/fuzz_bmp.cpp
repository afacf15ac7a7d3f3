// Feeds arbitrary bytes to the BMP reader, both as a whole file and as a
// packed DIB held in memory (the clipboard's form).
#include <cstdint>
#include <cstdio>

#include "surface/dib_decode.h"
#include "surface/global_memory.h"
#include "surface/packed_dib.h"
#include "util/error_box.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        SetReporter([](const Message&) { return Answer::No; });
        return true;
    }();
    (void)quiet;

    DecodedDib picture;
    DecodePackedDib({data, size}, &picture);

    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file) return 0;
    HGLOBAL dib = ReadDibFromFile(file);
    std::fclose(file);
    if (dib) {
        DecodePackedDib({dib->bytes.get(), GlobalSize(dib)}, &picture);
        GlobalFree(dib);
    }
    return 0;
}
