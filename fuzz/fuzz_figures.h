// The temporary folder of a fuzzer whose inputs bring figure bitmaps
// (recipes, sessions, --set imageName): made once, of the fuzzer's own, and
// emptied after every input so that the figure count never piles up, and
// removed when the fuzzer ends.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "util/app_folders.h"
#include "util/error_box.h"
#include "util/files.h"

inline const std::string& FuzzFigureFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fabulor-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) abort();
        SetTempFolder(pattern);
        std::atexit([] { std::filesystem::remove_all(TempFolder()); });
        // The readers' messages are not findings.
        SetReporter([](const Message&) { return Answer::No; });
        return pattern;
    }();
    return folder;
}

inline void EmptyFuzzFigureFolder() {
    RemoveFiles(FuzzFigureFolder().c_str(), "*.BMP");
}
