// Explode's default background is drawn from the generator when a recipe is
// made, so a recipe file must carry it: replaying the file gives the
// rendered picture whatever recipes were made before.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "engine/crt_random.h"
#include "recipe/recipe.h"
#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "support/xform_harness.h"

namespace fs = std::filesystem;
using namespace fabulor_cli;

namespace {

std::string Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(ExplodeReplay, ARecipeFileCarriesTheBackgroundItWasDrawnOn) {
    ScratchDir folder;
    const std::string picture = (folder / "picture.bmp").string();
    ASSERT_TRUE(PaintedPicture(64, 48, [](int x, int y) {
                    return RGB(x * 4, y * 5, 90);
                })->WriteBmpFile(picture.c_str()));
    MessageCapture messages;
    std::ostringstream out, err;

    // The recipe render makes draws its background from this state.
    CrtSrand(11);
    ASSERT_EQ(
        RunRender({picture, "-o", (folder / "a.png").string(), "--xform", "Explode", "--seed", "3",
                   "--set", "endFromImage=0", "--recipe", (folder / "a.json").string(), "--quiet"},
                  out, err),
        kExitOk)
        << err.str();
    for (unsigned seed : {11u, 12u}) {
        CrtSrand(seed);
        const CFilSpec other;  // moves the generator on
        ASSERT_EQ(
            RunReplay({(folder / "a.json").string(), "-o", (folder / "b.png").string(), "--quiet"},
                      out, err),
            kExitOk)
            << err.str();
        EXPECT_EQ(Bytes(folder / "b.png"), Bytes(folder / "a.png")) << "seed " << seed;
    }
}

}  // namespace
