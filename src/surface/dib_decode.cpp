#include "surface/dib_decode.h"

bool DecodePackedDib(PackedDibView, DecodedDib*, std::string* why) {
    if (why) *why = "not built yet";
    return false;
}
