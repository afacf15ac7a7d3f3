// Feeds arbitrary bytes to the session reader: the JSON, every recipe of the
// sequence (figure bitmaps included) and the PNG picture inside. Figures go
// to a temporary folder of the fuzzer's own, emptied after every input.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "recipe/session_file.h"
#include "util/app_folders.h"
#include "util/error_box.h"
#include "util/files.h"

namespace {

std::string FigureFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fabulor-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) abort();
        SetTempFolder(pattern);
        // The reader's messages are not findings.
        SetReporter([](const Message&) { return Answer::No; });
        return pattern;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = FigureFolder();
    Session session;
    std::string error;
    if (SessionFromText(std::string_view(reinterpret_cast<const char*>(data), size), &session,
                        &error)) {
        // What was read can be written again.
        std::string text;
        if (!SessionToText(session, &text, &error)) abort();
    }
    RemoveFiles(folder.c_str(), "*.BMP");
    return 0;
}
