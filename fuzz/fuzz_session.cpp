// Feeds arbitrary bytes to the session reader: the JSON, every recipe of the
// sequence (figure bitmaps included) and the PNG picture inside. Figures go
// to a temporary folder of the fuzzer's own, emptied after every input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_figures.h"
#include "recipe/session_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFigureFolder();
    Session session;
    std::string error;
    if (SessionFromText(std::string_view(reinterpret_cast<const char*>(data), size), &session,
                        &error)) {
        // What was read can be written again.
        std::string text;
        if (!SessionToText(session, &text, &error)) abort();
    }
    EmptyFuzzFigureFolder();
    return 0;
}
