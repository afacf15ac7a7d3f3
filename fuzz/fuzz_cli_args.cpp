// Feeds arbitrary command lines to render's argument reader, which holds
// every option parser of the command-line program: one argument a line.
// Figures named by --set are kept in a temporary folder of the fuzzer's own,
// emptied after every input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_internal.h"
#include "fuzz_figures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFigureFolder();
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    fabulor_cli::RenderOptions options;
    CFilSpec filSpec;
    try {
        fabulor_cli::ReadRenderOptions(args, options, filSpec);
    } catch (const fabulor_cli::UsageError&) {
    }
    EmptyFuzzFigureFolder();
    return 0;
}
