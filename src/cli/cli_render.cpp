// fabulor-cli render: one idea of one Xform, as "Create" makes it.
#include <iostream>
#include <optional>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "document/document_files.h"
#include "engine/crt_random.h"
#include "recipe/mix_names.h"
#include "recipe/recipe_file.h"
#include "surface/cdadc.h"

namespace fabulor_cli {

const char* const kCommandsSummary =
    "  render PICTURE -o OUT [options]\n"
    "                   draws one idea of an Xform over PICTURE into OUT\n"
    "  wizard PICTURE -n N -o DIR [options]\n"
    "                   lets the Wizard choose N ideas; writes each picture and its recipe\n"
    "  replay RECIPE -o OUT [--picture P] [--quality K]\n"
    "                   draws a saved recipe again, exactly\n"
    "Each command explains itself with --help.\n";

namespace {

constexpr const char* kRenderHelp =
    "usage: fabulor-cli render PICTURE -o OUT [options]\n"
    "Draws one idea of an Xform over PICTURE (BMP, JPG, PNG, TGA or PCX) and writes\n"
    "it to OUT; OUT's extension (.bmp, .jpg, .png, .tga, .pcx) chooses its type.\n"
    "\n"
    "  -o, --output OUT        the picture to write\n"
    "  --xform NAME|INDEX      the Xform (default Mosaic)\n"
    "  --seed N                the run's seed, 0 to 4294967295 (default: from the clock)\n"
    "  --quality 1|2|4         the canvas is 1, 2 or 4 times the picture's size; more is\n"
    "                          smoother and slower (default 1)\n"
    "  --wizard                the Xform's Wizard chooses its fields (from the seed);\n"
    "                          --set still overrides them\n"
    "  --set FIELD=VALUE       sets a field of the Xform (repeatable; fields below)\n"
    "  --select KEY=VALUE,...  where the Xform acts: hue (0 to 360), saturation (0 to 1),\n"
    "                          value (0 to 1), invert (0 or 1), smoothing (0 to 8)\n"
    "  --mix MODE              final mix with the picture: off, even, left-right,\n"
    "                          top-bottom, right-left, bottom-top, centre-out, outer-in,\n"
    "                          centre-out-elliptical, outer-in-elliptical, hsv (default off)\n"
    "  --mix-percent P         even: percent of the picture; others: sharpness; 1 to 99\n"
    "                          (default 50)\n"
    "  --mix-select KEY=V,...  the colour selection of the hsv mix, keys as --select\n"
    "  --fade MODE             web fade towards a colour: the mix modes except even and\n"
    "                          hsv (default off)\n"
    "  --fade-percent P        the fade's sharpness, 0 to 100 (default 50)\n"
    "  --fade-colour RRGGBB    the fade's colour (default FFFFFF)\n"
    "  --recipe FILE           also writes the idea's recipe (JSON) to FILE\n"
    "  --quiet                 no progress bar\n"
    "  -h, --help              this text\n"
    "\n"
    "Ctrl+C stops the run; nothing is written then.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line, 130 stopped by Ctrl+C,\n"
    "143 stopped by SIGTERM.\n";

}  // namespace

void ReadRenderOptions(const std::vector<std::string>& args, RenderOptions& opt,
                       CFilSpec& filSpec) {
    ArgReader reader(args);
    std::vector<std::string> positional;
    std::optional<std::string> mix, mixPercent, fade, fadePercent, fadeColour, select, mixSelect;
    while (!reader.Done()) {
        const std::string arg = reader.Next();
        if (arg == "-o" || arg == "--output") {
            opt.output = reader.Value(arg);
        } else if (arg == "--xform") {
            opt.xform = ParseXform(reader.Value(arg));
        } else if (arg == "--seed") {
            opt.seed = ParseSeed(reader.Value(arg));
        } else if (arg == "--wizard") {
            opt.wizard = true;
        } else if (arg == "--set") {
            opt.sets.push_back(reader.Value(arg));
        } else if (arg == "--select") {
            select = reader.Value(arg);
        } else if (arg == "--mix") {
            mix = reader.Value(arg);
        } else if (arg == "--mix-percent") {
            mixPercent = reader.Value(arg);
        } else if (arg == "--mix-select") {
            mixSelect = reader.Value(arg);
        } else if (arg == "--fade") {
            fade = reader.Value(arg);
        } else if (arg == "--fade-percent") {
            fadePercent = reader.Value(arg);
        } else if (arg == "--fade-colour" || arg == "--fade-color") {
            fadeColour = reader.Value(arg);
        } else if (arg == "--recipe") {
            opt.recipe = reader.Value(arg);
        } else {
            reader.TakeShared(arg, &opt.quality, &opt.quiet, &positional);
        }
    }
    if (positional.size() != 1) throw UsageError{"expected one PICTURE"};
    opt.picture = positional[0];
    if (opt.output.empty()) throw UsageError{"the picture to write is missing: -o OUT"};
    CheckPictureType("-o", opt.output);

    filSpec.XformIndex = opt.xform;
    filSpec.WizardAll = opt.wizard ? 1 : 0;
    if (int* flag = filSpec.WizardFlag(opt.xform)) *flag = opt.wizard ? 1 : 0;
    for (const std::string& set : opt.sets)
        ApplySet(filSpec, opt.xform, set);
    if (select) ApplySelect("--select", *select, &filSpec.Selection);
    if (mix) filSpec.FinalMix.Mode = ParseMixMode("--mix", *mix, false);
    if (mixPercent) {
        filSpec.FinalMix.Percent =
            ParseInt("--mix-percent", *mixPercent, MixPercentMin(false), MixPercentMax(false));
    }
    if (mixSelect) ApplySelect("--mix-select", *mixSelect, &filSpec.FinalMix.Selection);
    if (fade) filSpec.WebFade.Mode = ParseMixMode("--fade", *fade, true);
    if (fadePercent) {
        filSpec.WebFade.Percent =
            ParseInt("--fade-percent", *fadePercent, MixPercentMin(true), MixPercentMax(true));
    }
    if (fadeColour) filSpec.WebFade.Colour = ParseColour("--fade-colour", *fadeColour);
}

namespace {

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "-h" || arg == "--help") return true;
    return false;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (WantsHelp(args)) {
        out << kRenderHelp << "\n" << XformTableHelp() << "\n" << FieldsHelp();
        return kExitOk;
    }
    RenderOptions opt;
    CFilSpec filSpec;
    try {
        ReadRenderOptions(args, opt, filSpec);
    } catch (const UsageError& error) {
        return UsageFailure("render", error, err);
    }

    MessageGuard messages;
    InterruptGuard interrupt;
    std::unique_ptr<CDADC> original = LoadPicture(opt.picture, err);
    if (!original) return kExitFailed;
    if (!filSpec.Validate(original->width, original->height)) return kExitFailed;
    if (opt.seed) {
        filSpec.Seed = *opt.seed;
    } else {
        filSpec.NewSeed();
    }
    if (opt.wizard) {
        // The Wizard draws on this thread; from the seed, so that a seed
        // given twice gives the same idea.
        CrtSrand(filSpec.Seed);
        filSpec.AutoChoose(original.get());
        try {
            for (const std::string& set : opt.sets)
                ApplySet(filSpec, opt.xform, set);
        } catch (const UsageError& error) {
            return UsageFailure("render", error, err);
        }
    }

    CDADC picture(original->width, original->height);
    RunOutcome outcome =
        DrawIdea(filSpec, *original, opt.quality, picture, !opt.quiet, messages, err);
    if (outcome == RunOutcome::Finished) outcome = WritePicture(picture, opt.output, err);
    if (outcome == RunOutcome::Finished && !opt.recipe.empty()) {
        std::string error;
        if (!WriteRecipeFile(opt.recipe, RecipeOf(filSpec, opt.quality, opt.picture, *original),
                             &error)) {
            err << "fabulor-cli: " << error << "\n";
            outcome = RunOutcome::Failed;
        }
    }
    return ExitStatus(outcome, err);
}

int RenderCommand(int argc, char** argv) {
    return RunRender(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}

}  // namespace fabulor_cli
