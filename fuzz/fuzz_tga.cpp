// Feeds arbitrary bytes to the TGA reader of the imaging layer.
#include "fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzCodec(data, size, vic::TgaInfo, vic::TgaLoad);
}
