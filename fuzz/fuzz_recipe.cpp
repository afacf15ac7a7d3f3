// Feeds arbitrary bytes to the recipe reader, figure bitmaps included: the
// figures a recipe carries are kept in a temporary folder of the fuzzer's
// own, emptied after every input.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "recipe/recipe_file.h"
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
    Recipe recipe;
    std::string error;
    if (RecipeFromText(std::string_view(reinterpret_cast<const char*>(data), size), &recipe,
                       &error)) {
        // What was read can be written again.
        RecipeToText(recipe);
    }
    RemoveFiles(folder.c_str(), "*.BMP");
    return 0;
}
