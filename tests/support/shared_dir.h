// Where the shared reference material lives, and how tests skip without it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The shared folder beside the checkout, or an empty path when this checkout has none.
std::filesystem::path SharedDir();

// Skips the current test, saying why, when the shared folder is absent.
#define SKIP_WITHOUT_SHARED()                                                            \
    do {                                                                                 \
        if (SharedDir().empty())                                                         \
            GTEST_SKIP() << "../shared is not beside this checkout: reference pictures " \
                            "are only there in CI";                                      \
    } while (0)
