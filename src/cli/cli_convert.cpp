// fabulor-cli convert: a picture file in another format.
#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "surface/cdadc.h"

namespace fabulor_cli {

namespace {

constexpr const char* kConvertHelp =
    "usage: fabulor-cli convert IN OUT\n"
    "Reads the picture IN (BMP, TGA, JPG, PCX or PNG) and writes it as OUT in the\n"
    "format of OUT's extension. OUT is written whole: a failure or Ctrl+C leaves\n"
    "what was there before.\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line, 130 stopped by Ctrl+C,\n"
    "143 stopped by SIGTERM.\n";

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string in, output;
    try {
        if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
            out << kConvertHelp;
            return kExitOk;
        }
        if (args.size() != 2) throw UsageError{"expected IN and OUT"};
        in = args[0];
        output = args[1];
        CheckPictureType("OUT", output);
    } catch (const UsageError& error) {
        return UsageFailure("convert", error, err);
    }
    MessageGuard messages;
    InterruptGuard interrupt;
    std::unique_ptr<CDADC> picture = LoadPicture(in, err);
    if (!picture) return kExitFailed;
    return ExitStatus(WritePicture(*picture, output, err), err);
}

int ConvertCommand(int argc, char** argv) {
    return RunConvert(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}

}  // namespace fabulor_cli
