// fabulor-cli: the engine without a window. Messages go to standard error;
// the exit status is 0 on success, 1 when the work failed, 2 for a wrong
// command line.
#include <cstdio>
#include <cstring>

#include "cli/cli_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: fabulor-cli COMMAND ...\n"
    "commands:\n"
    "  convert IN OUT   reads the picture IN (BMP, TGA, JPG, PCX or PNG) and writes it\n"
    "                   as OUT in the format of OUT's extension\n";

int Usage() {
    std::fputs(kUsage, stderr);
    std::fputs(fabulor_cli::kCommandsSummary, stderr);
    return 2;
}

int Help() {
    std::fputs(kUsage, stdout);
    std::fputs(fabulor_cli::kCommandsSummary, stdout);
    return 0;
}

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);  // the arguments after the command's name
};

constexpr Command kCommands[] = {
    {"convert", fabulor_cli::ConvertCommand},
    {"render", fabulor_cli::RenderCommand},
    {"wizard", fabulor_cli::WizardCommand},
    {"replay", fabulor_cli::ReplayCommand},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0)
        return Help();
    for (const Command& command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    std::fprintf(stderr, "fabulor-cli: unknown command '%s'\n", argv[1]);
    return Usage();
}
