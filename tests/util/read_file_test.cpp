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
#include "util/error_box.h"

namespace fs = std::filesystem;

namespace {

class ReadFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "read_file_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(ReadFileTest, RegularFilesAreReadWholeWithinTheLimit) {
    const std::string name = Path("five");
    std::ofstream(name, std::ios::binary) << "12345";
    std::vector<unsigned char> bytes;
    std::string why;
    EXPECT_EQ(ReadFileBounded(name.c_str(), 5, &bytes, &why), ReadFault::None);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "12345");

    EXPECT_EQ(ReadFileBounded(name.c_str(), 4, &bytes, &why), ReadFault::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(why, "the file is larger than 0 MBytes, more than any picture file");

    std::ofstream(Path("empty"));
    EXPECT_EQ(ReadFileBounded(Path("empty").c_str(), 5, &bytes), ReadFault::None);
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(ReadFileBounded(Path("missing").c_str(), 5, &bytes, &why), ReadFault::CannotOpen);
    EXPECT_EQ(why, "the file does not open: No such file or directory");
}

// A file of /proc says it is empty and is not: it is read to its end.
TEST_F(ReadFileTest, AFileThatUnderstatesItsSizeIsReadToItsEnd) {
    if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBounded("/proc/self/status", 1 << 20, &bytes), ReadFault::None);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Name:"), std::string::npos);
}

TEST_F(ReadFileTest, FoldersAreRefused) {
    std::vector<unsigned char> bytes;
    std::string why;
    EXPECT_EQ(ReadFileBounded(folder_.c_str(), 1 << 20, &bytes, &why), ReadFault::NotAFile);
    EXPECT_EQ(why, "the file is a folder, not a picture file");
}

// A FIFO without a writer would keep a blocking open waiting for ever.
TEST_F(ReadFileTest, FifosAreRefusedWithoutWaitingForAWriter) {
    const std::string name = Path("fifo");
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

// A device has no size to believe: /dev/zero gives bytes without end.
TEST_F(ReadFileTest, DevicesAreReadNoFurtherThanTheBoundForFilesWithoutASize) {
    if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    std::vector<unsigned char> bytes;
    std::string why;
    EXPECT_EQ(ReadFileBounded("/dev/zero", std::uint64_t{1} << 40, &bytes, &why),
              ReadFault::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(why, "the file gives more than 16 MBytes, more than any picture file");
    // /dev/null is a device that ends at once.
    EXPECT_EQ(ReadFileBounded("/dev/null", 100, &bytes), ReadFault::None);
    EXPECT_TRUE(bytes.empty());
}

TEST(NoticeBox, GoesToTheReporterAsANoticeAndTheDefaultPrintsAWarning) {
    {
        MessageCapture capture;
        NoticeBox("%s: cut short", "a.jpg");
        ErrorBox("a fault");
        ASSERT_EQ(capture.Messages().size(), 2u);
        EXPECT_EQ(capture.Messages()[0].kind, MessageKind::Notice);
        EXPECT_EQ(capture.Messages()[0].caption, kAppTitle);
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
