// fabulor-cli replay: a saved recipe drawn again, pixel for pixel.
#include <filesystem>
#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "recipe/recipe_file.h"
#include "surface/cdadc.h"

namespace fs = std::filesystem;

namespace fabulor_cli {

namespace {

constexpr const char* kReplayHelp =
    "usage: fabulor-cli replay RECIPE -o OUT [--picture P] [--quality K]\n"
    "Draws the idea saved in RECIPE (written by render --recipe or by wizard) again.\n"
    "The same recipe on the same picture gives the same pixels.\n"
    "\n"
    "  -o, --output OUT   the picture to write; its extension (.bmp, .jpg, .png, .tga,\n"
    "                     .pcx) chooses its type\n"
    "  --picture P        the picture to draw on (default: the recipe's own, from where\n"
    "                     it was read or beside the recipe)\n"
    "  --quality 1|2|4    overrides the recipe's quality\n"
    "  --quiet            no progress bar\n"
    "  -h, --help         this text\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line, 130 stopped by Ctrl+C,\n"
    "143 stopped by SIGTERM.\n";

// The recipe's picture: where it was read from, else beside the recipe.
std::string FindRecipePicture(const Recipe& recipe, const std::string& recipePath) {
    std::error_code ec;
    if (!recipe.picturePath.empty() && fs::is_regular_file(recipe.picturePath, ec))
        return recipe.picturePath;
    const fs::path beside = fs::path(recipePath).parent_path() / recipe.pictureName;
    if (!recipe.pictureName.empty() && fs::is_regular_file(beside, ec)) return beside.string();
    return "";
}

}  // namespace

int RunReplay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string recipePath, output, picturePath;
    int quality = 0;
    bool quiet = false;
    try {
        ArgReader reader(args);
        std::vector<std::string> positional;
        while (!reader.Done()) {
            const std::string arg = reader.Next();
            if (arg == "-h" || arg == "--help") {
                out << kReplayHelp;
                return kExitOk;
            } else if (arg == "-o" || arg == "--output") {
                output = reader.Value(arg);
            } else if (arg == "--picture") {
                picturePath = reader.Value(arg);
            } else {
                reader.TakeShared(arg, &quality, &quiet, &positional);
            }
        }
        if (positional.size() != 1) throw UsageError{"expected one RECIPE"};
        recipePath = positional[0];
        if (output.empty()) throw UsageError{"the picture to write is missing: -o OUT"};
        CheckPictureType("-o", output);
    } catch (const UsageError& error) {
        return UsageFailure("replay", error, err);
    }

    Recipe recipe;
    std::string error;
    if (!ReadRecipeFile(recipePath, &recipe, &error)) {
        err << "fabulor-cli: " << error << "\n";
        return kExitFailed;
    }
    if (quality != 0) recipe.quality = quality;
    if (picturePath.empty()) {
        picturePath = FindRecipePicture(recipe, recipePath);
        if (picturePath.empty()) {
            err << "fabulor-cli: " << recipePath << ": its picture \"" << recipe.pictureName
                << "\" is neither at \"" << recipe.picturePath
                << "\" nor beside the recipe; give it with --picture\n";
            return kExitFailed;
        }
    }

    MessageGuard messages;
    InterruptGuard interrupt;
    std::unique_ptr<CDADC> original = LoadPicture(picturePath, err);
    if (!original) return kExitFailed;
    if (original->width != recipe.pictureWidth || original->height != recipe.pictureHeight) {
        err << "fabulor-cli: note: " << picturePath << " is " << original->width << " x "
            << original->height << " pixels; the recipe was made on " << recipe.pictureWidth
            << " x " << recipe.pictureHeight << "\n";
    }
    CFilSpec& filSpec = recipe.filSpec;
    if (!filSpec.Validate(original->width, original->height)) return kExitFailed;

    CDADC picture(original->width, original->height);
    RunOutcome outcome =
        DrawIdea(filSpec, *original, recipe.quality, picture, !quiet, messages, err);
    if (outcome == RunOutcome::Finished) outcome = WritePicture(picture, output, err);
    return ExitStatus(outcome, err);
}

int ReplayCommand(int argc, char** argv) {
    return RunReplay(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}

}  // namespace fabulor_cli
