// fabulor-cli wizard: "Wizard chooses" pressed N times on one picture.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "engine/crt_random.h"
#include "recipe/recipe_file.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"

namespace fs = std::filesystem;

namespace fabulor_cli {

namespace {

constexpr const char* kWizardHelp =
    "usage: fabulor-cli wizard PICTURE -n N -o DIR [options]\n"
    "Does what pressing \"Wizard chooses\" N times does: each time the least used\n"
    "Xform, a random final mix and selection, a new seed and the Wizard's fields.\n"
    "Writes DIR/NAME-001.png and its recipe DIR/NAME-001.json, and so on (NAME is\n"
    "the picture's name); DIR is made when missing.\n"
    "\n"
    "  -n N               how many ideas, 1 to 10000\n"
    "  -o, --output DIR   the folder to write to\n"
    "  --type TYPE        the pictures' type: png, bmp, jpg, tga or pcx (default png)\n"
    "  --quality 1|2|4    the canvas is 1, 2 or 4 times the picture's size (default 1)\n"
    "  --quiet            no progress bar\n"
    "  -h, --help         this text\n"
    "\n"
    "Ctrl+C stops the run; the ideas finished so far stay written.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line, 130 stopped by Ctrl+C,\n"
    "143 stopped by SIGTERM.\n";

constexpr int kMostIdeas = 10000;

// A count the least-used choice never reaches: the document keeps Mist at
// it, and an Xform that cannot draw yet gets it too, so that the Wizard
// only chooses Xforms that make pictures.
constexpr int kNeverChosen = 1000000;

}  // namespace

int RunWizard(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string picturePath, folder, type = "png";
    int count = 0;
    int quality = 1;
    bool quiet = false;
    try {
        ArgReader reader(args);
        std::vector<std::string> positional;
        while (!reader.Done()) {
            const std::string arg = reader.Next();
            if (arg == "-h" || arg == "--help") {
                out << kWizardHelp;
                return kExitOk;
            } else if (arg == "-n") {
                count = ParseInt(arg, reader.Value(arg), 1, kMostIdeas);
            } else if (arg == "-o" || arg == "--output") {
                folder = reader.Value(arg);
            } else if (arg == "--type") {
                type = CheckPictureType("--type", "x." + reader.Value(arg));
            } else {
                reader.TakeShared(arg, &quality, &quiet, &positional);
            }
        }
        if (positional.size() != 1) throw UsageError{"expected one PICTURE"};
        picturePath = positional[0];
        if (count == 0) throw UsageError{"how many ideas is missing: -n N"};
        if (folder.empty()) throw UsageError{"the folder to write to is missing: -o DIR"};
    } catch (const UsageError& error) {
        return UsageFailure("wizard", error, err);
    }

    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        err << "fabulor-cli: " << folder << ": cannot make the folder\n";
        return kExitFailed;
    }

    MessageGuard messages;
    InterruptGuard interrupt;
    std::unique_ptr<CDADC> original = LoadPicture(picturePath, err);
    if (!original) return kExitFailed;

    UsageCounts counts = NewUsageCounts();

    // The recipe carries over from one idea to the next, as the document's does.
    CFilSpec filSpec;
    // The user interface's generator, seeded once as the program does at its start.
    CrtSrand(static_cast<unsigned>(std::time(nullptr)));
    const std::string stem = fs::path(picturePath).stem().string();
    for (int i = 1; i <= count; ++i) {
        filSpec.RandomizeAll(counts);
        if (!filSpec.Validate(original->width, original->height)) return kExitFailed;
        filSpec.NewSeed();
        filSpec.AutoChoose(original.get());

        CDADC picture(original->width, original->height);
        RunOutcome outcome = DrawIdea(filSpec, *original, quality, picture, !quiet, messages, err);
        if (outcome != RunOutcome::Finished) return ExitStatus(outcome, err);
        ++counts[filSpec.XformIndex];

        char number[16];
        std::snprintf(number, sizeof number, "-%03d", i);
        const fs::path base = fs::path(folder) / (stem + number);
        const std::string picturePathOut = base.string() + "." + type;
        const std::string recipePath = base.string() + ".json";
        outcome = WritePicture(picture, picturePathOut, err);
        if (outcome != RunOutcome::Finished) return ExitStatus(outcome, err);
        std::string error;
        if (!WriteRecipeFile(recipePath, RecipeOf(filSpec, quality, picturePath, *original),
                             &error)) {
            err << "fabulor-cli: " << error << "\n";
            return kExitFailed;
        }
        out << picturePathOut << ": " << filSpec.GetName() << ", seed " << filSpec.Seed << "\n";
    }
    return kExitOk;
}

int WizardCommand(int argc, char** argv) {
    return RunWizard(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}

}  // namespace fabulor_cli
