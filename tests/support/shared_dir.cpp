#include "support/shared_dir.h"

std::filesystem::path SharedDir() {
    std::filesystem::path p = FABULOR_SHARED_DIR;
    std::error_code ec;
    if (std::filesystem::is_directory(p / "testimages", ec)) return p;
    return {};
}
