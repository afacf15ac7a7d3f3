// Feeds arbitrary bytes to the recipe reader, figure bitmaps included: the
// figures a recipe carries are kept in a temporary folder of the fuzzer's
// own, emptied after every input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_figures.h"
#include "recipe/recipe_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFigureFolder();
    Recipe recipe;
    std::string error;
    if (RecipeFromText(std::string_view(reinterpret_cast<const char*>(data), size), &recipe,
                       &error)) {
        // What was read can be written again.
        RecipeToText(recipe);
    }
    EmptyFuzzFigureFolder();
    return 0;
}
