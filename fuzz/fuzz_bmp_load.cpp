// Feeds arbitrary bytes, as a .bmp file, to exactly what `fabulor-cli
// convert` and the document's Open do with it: VicLoadImageFile (the
// imaging layer's reader, then the surface's own reader as its fallback)
// and CDADC::CreateFromDib on what it gives.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "surface/cdadc.h"
#include "surface/global_memory.h"
#include "surface/image_files.h"
#include "util/error_box.h"

namespace {

// One file per fuzzing process, in memory where the system has a tmpfs.
std::string FileName() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/fabulor-fuzz-" + std::to_string(getpid()) + ".bmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string name = [] {
        SetReporter([](const Message&) { return Answer::No; });
        return FileName();
    }();

    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;
    if (HGLOBAL dib = VicLoadImageFile(name.c_str())) {
        std::unique_ptr<CDADC> surface(CDADC::CreateFromDib(dib));
        GlobalFree(dib);
    }
    return 0;
}
