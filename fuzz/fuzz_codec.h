// One fuzz step for a reader of the imaging layer: the information call,
// then, for a picture of a size the fuzzer's memory allows, the load and
// the conversion to 24 bits, all on the bytes as a file in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "surface/codec_internal.h"
#include "surface/vic_image.h"

// The readers accept 500 megapixels; the fuzzer runs in a few gigabytes.
constexpr long long kFuzzMaxPixels = 16'000'000;

inline int FuzzCodec(const std::uint8_t* data, std::size_t size,
                     int (*info)(vic::Bytes, VicFileInfo*), int (*load)(vic::Bytes, VicImage*)) {
    const vic::Bytes file{data, size};
    VicFileInfo picture;
    if (info(file, &picture) != kVicOk) return 0;
    if (static_cast<long long>(picture.width) * picture.height > kFuzzMaxPixels) return 0;
    VicImage image;
    if (allocimage(&image, picture.width, picture.height, picture.bitsPerPixel) != kVicOk) return 0;
    if (load(file, &image) == kVicOk && image.bitsPerPixel == 8) {
        VicImage colour;
        if (allocimage(&colour, image.width, image.height, 24) == kVicOk) {
            convertpaltorgb(&image, &colour);
            freeimage(&colour);
        }
    }
    freeimage(&image);
    return 0;
}
