// The bounded whole-file reader every picture reader uses, and the notice
// channel of the error reporting.
#include "util/read_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "util/error_box.h"

namespace fs = std::filesystem;

namespace {

// What each kind of name gives: its fault, the reason and the bytes read.
// /proc files say they are empty and are not: they are read to their end;
// a device has no size to believe (/dev/zero gives bytes without end), so it
// is read no further than the bound for files without a size.
TEST(ReadFileBounded, ReadsRegularFilesWholeWithinTheLimitAndRefusesTheRest) {
    ScratchDir dir;
    const std::string five = (dir / "five").string(), empty = (dir / "empty").string();
    std::ofstream(five, std::ios::binary) << "12345";
    std::ofstream{empty};
    const struct {
        std::string path;
        std::uint64_t limit;
        ReadFault fault;
        std::string why, bytes;
    } cases[] = {
        {five, 5, ReadFault::None, "", "12345"},
        {five, 4, ReadFault::TooLarge,
         "the file is larger than 0 MBytes, more than any picture file", ""},
        {empty, 5, ReadFault::None, "", ""},
        {(dir / "missing").string(), 5, ReadFault::CannotOpen,
         "the file does not open: No such file or directory", ""},
        {dir.Path().string(), 1 << 20, ReadFault::NotAFile,
         "the file is a folder, not a picture file", ""},
        {"/dev/zero", std::uint64_t{1} << 40, ReadFault::TooLarge,
         "the file gives more than 16 MBytes, more than any picture file", ""},
        {"/dev/null", 100, ReadFault::None, "", ""},
        {"/proc/self/status", 1 << 20, ReadFault::None, "", "Name:"},
    };
    for (const auto& c : cases) {
        if (!fs::exists(c.path) && c.fault != ReadFault::CannotOpen) continue;  // no /dev, /proc
        std::vector<unsigned char> bytes{'x'};
        std::string why;
        EXPECT_EQ(ReadFileBounded(c.path.c_str(), c.limit, &bytes, &why), c.fault) << c.path;
        EXPECT_EQ(why, c.why) << c.path;
        std::string read(bytes.begin(), bytes.end());
        if (c.path.starts_with("/proc")) read.resize(c.bytes.size());
        EXPECT_EQ(read, c.bytes) << c.path;
    }
}

// A FIFO without a writer would keep a blocking open waiting for ever.
TEST(ReadFileBounded, FifosAreRefusedWithoutWaitingForAWriter) {
    ScratchDir dir;
    const std::string name = (dir / "fifo").string();
    ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
    std::string why;
    auto read = std::async(std::launch::async, [&] {
        std::vector<unsigned char> bytes;
        return ReadFileBounded(name.c_str(), 1 << 20, &bytes, &why);
    });
    if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the read waits on the FIFO";
        // Let the reader go: a writer that comes and goes ends its wait.
        const int writer = ::open(name.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_EQ(read.get(), ReadFault::NotAFile);
    EXPECT_EQ(why, "the file is a FIFO (named pipe), not a picture file");
}

TEST(NoticeBox, GoesToTheReporterAsANoticeAndTheDefaultPrintsAWarning) {
    {
        MessageCapture capture;
        NoticeBox("%s: cut short", "a.jpg");
        ErrorBox("a fault");
        ASSERT_EQ(capture.Messages().size(), 2u);
        EXPECT_EQ(capture.Messages()[0].kind, MessageKind::Notice);
        EXPECT_EQ(capture.Notices(), std::vector<std::string>{"a.jpg: cut short"});
        EXPECT_EQ(capture.Faults(), std::vector<std::string>{"a fault"});
    }
    const Reporter previous = SetReporter(nullptr);  // the default
    testing::internal::CaptureStderr();
    NoticeBox("b.tga: cut short");
    ErrorBox("plain");
    const std::string printed = testing::internal::GetCapturedStderr();
    SetReporter(previous);
    EXPECT_EQ(printed, "warning: b.tga: cut short\nplain\n");
}

}  // namespace
