// Feeds arbitrary bytes to the surface's own BMP reader: as a packed DIB
// held in memory (the clipboard's form), and as a whole file made into a
// surface the way CDADC::LoadBmpFile does (which draws it through the
// drawing context). The imaging layer's road, the one VicLoadImageFile and
// `fabulor-cli convert` take, is fuzz_bmp_load.
#include <cstdint>
#include <memory>

#include "surface/cdadc.h"
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

    if (HGLOBAL dib = DibFromBmpBytes(data, size)) {
        std::unique_ptr<CDADC> surface(CDADC::CreateFromDib(dib));
        GlobalFree(dib);
    }
    return 0;
}
