#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fabulor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no scratch folder: " << pattern;
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // A test may have taken its write permission away.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

const ScratchDir& ProgramScratch() {
    static const ScratchDir scratch;
    return scratch;
}
