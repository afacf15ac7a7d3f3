// One fuzz step for a reader of the imaging layer: the information call,
// then the load and the conversion to 24 bits, all on the bytes as a file in
// memory. Whatever size the information call lets through is allocated, as
// the program does: run with -rss_limit_mb=512 and inputs of a few
// kilobytes (-max_len=8192), a picture that a small file claims but cannot
// hold is a finding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "surface/codec_internal.h"
#include "surface/vic_image.h"

inline int FuzzCodec(const std::uint8_t* data, std::size_t size,
                     int (*info)(vic::Bytes, VicFileInfo*), int (*load)(vic::Bytes, VicImage*)) {
    const vic::Bytes file{data, size};
    VicFileInfo picture;
    if (info(file, &picture) != kVicOk) return 0;
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
