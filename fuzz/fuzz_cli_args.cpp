// Feeds arbitrary command lines to render's argument reader, which holds
// every option parser of the command-line program: one argument a line.
// Figures named by --set are kept in a temporary folder of the fuzzer's own,
// emptied after every input.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_internal.h"
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
        SetReporter([](const Message&) { return Answer::No; });
        return pattern;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = FigureFolder();
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
    RemoveFiles(folder.c_str(), "*.BMP");
    return 0;
}
