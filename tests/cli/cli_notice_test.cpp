// A notice (a picture cut short) reaches the command line as a warning and
// fails nothing; faults still count.
#include <gtest/gtest.h>

#include <string>

#include "cli/cli_internal.h"
#include "util/error_box.h"

using namespace fabulor_cli;

TEST(CliMessages, NoticesArePrintedAsWarningsAndAreNoFaults) {
    const Reporter previous = SetReporter(nullptr);  // standard error, as in the program
    std::string printed;
    int errors = 0;
    {
        MessageGuard guard;
        testing::internal::CaptureStderr();
        NoticeBox("a.jpg: the picture is cut short; only the part that was read is shown");
        const int afterNotice = guard.Errors();
        ErrorBox("a fault");
        printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(afterNotice, 0);
        errors = guard.Errors();
    }
    SetReporter(previous);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(printed,
              "warning: a.jpg: the picture is cut short; only the part that was read is shown\n"
              "a fault\n");
}
