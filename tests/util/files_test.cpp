#include "util/files.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;

namespace {

class FolderTest : public ::testing::Test {
  protected:
    ScratchDir scratch_;
    std::string folder_ = scratch_.Path().string();
    void Touch(const std::string& name) { std::ofstream(folder_ + "/" + name) << "x"; }
    bool Exists(const std::string& name) const { return fs::exists(folder_ + "/" + name); }
};

TEST_F(FolderTest, RemoveFilesTakesMatchingFilesOnlyAndFindsNothingQuietly) {
    MessageCapture capture;
    EXPECT_FALSE(RemoveFiles(folder_.c_str(), "*.BMP"));
    Touch("keep.txt");
    EXPECT_FALSE(RemoveFiles(folder_.c_str(), "*.BMP"));
    EXPECT_FALSE(RemoveFiles((folder_ + "/none").c_str(), "*.BMP"));
    for (const char* name : {"doc_1-1.BMP", "doc_2-4.bmp", ".hidden.BMP", "BMP"})
        Touch(name);
    fs::create_directory(folder_ + "/sub.BMP");
    EXPECT_TRUE(RemoveFiles((folder_ + "/").c_str(), "*.BMP"));
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_FALSE(Exists("doc_1-1.BMP"));
    EXPECT_FALSE(Exists("doc_2-4.bmp"));  // matching ignores case
    for (const char* name : {"keep.txt", ".hidden.BMP", "BMP", "sub.BMP"})
        EXPECT_TRUE(Exists(name)) << name;
}

// Nobody, root included, may remove a file of /proc: a real failure for any user.
TEST(RemoveFiles, ReportsTheSameFullNameWithOrWithoutTrailingSlash) {
    if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
    MessageCapture capture;
    EXPECT_FALSE(RemoveFiles("/proc/self", "status"));
    EXPECT_FALSE(RemoveFiles("/proc/self/", "status"));
    EXPECT_EQ(capture.Texts(),
              std::vector<std::string>(2, "ERROR: could not remove(/proc/self/status)"));
}

TEST_F(FolderTest, DiskBytesAddUp) {
    std::uint64_t freeBytes = 1, usedBytes = 1, totalBytes = 1;
    EXPECT_TRUE(GetDiskBytes(folder_.c_str(), &freeBytes, &usedBytes, &totalBytes));
    EXPECT_GT(totalBytes, 0u);
    EXPECT_LE(freeBytes, totalBytes);
    EXPECT_EQ(usedBytes, totalBytes - freeBytes);
    EXPECT_TRUE(GetDiskBytes(folder_.c_str(), &freeBytes, nullptr, nullptr));

    MessageCapture capture;
    const std::string missing = folder_ + "/none/deeper";
    EXPECT_FALSE(GetDiskBytes(missing.c_str(), &freeBytes, &usedBytes, &totalBytes));
    EXPECT_EQ(freeBytes + usedBytes + totalBytes, 0u);
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0].kind, MessageKind::SystemError);
    EXPECT_EQ(capture.Messages()[0].caption, "GetDiskBytes");
    EXPECT_EQ(capture.Messages()[0].text.rfind("GetDiskFreeSpace (" + missing + ")", 0), 0u);
}

TEST(StringHelpers, WhitespaceAndEvenNumbersToTheEndsOfInt) {
    EXPECT_EQ(CountNonWhitespace(" a\tb  c "), 3);
    EXPECT_EQ(CountNonWhitespace("\n\v\f\r \t"), 0);
    char text[] = " x\ty\nz\xE9 ";  // a byte above 127 is not white space
    EXPECT_EQ(RemoveWhitespace(text), 4);
    EXPECT_STREQ(text, "xyz\xE9");
    EXPECT_EQ(RemoveWhitespace(nullptr), 0);

    for (int n : {-4, 0, INT_MIN})
        EXPECT_TRUE(IsEven(n)) << n;
    for (int n : {-3, 7, INT_MAX})
        EXPECT_FALSE(IsEven(n)) << n;
}

// Sets an environment variable for one test and puts it back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(AppFolders, DefaultFollowsTheXdgRulesAndSetFoldersWin) {
    ScopedEnv home("HOME", "/home/tester");
    {
        ScopedEnv data("XDG_DATA_HOME", "/data/");
        EXPECT_EQ(DefaultMainFolder(), "/data/Fabulor");
    }
    ScopedEnv data("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    const std::string homeDefault = "/home/tester/.local/share/Fabulor";
    SetMainFolder("");
    SetTempFolder("");
    EXPECT_EQ(MainFolder(), homeDefault);
    EXPECT_EQ(TempFolder(), homeDefault + "/FABULORTEMP");

    SetMainFolder("/srv/fab/");
    EXPECT_EQ(MainFolder(), "/srv/fab");
    EXPECT_EQ(TempFolder(), "/srv/fab/FABULORTEMP");
    SetTempFolder("/tmp/cache");
    SetMainFolder("/srv/other");
    EXPECT_EQ(TempFolder(), "/tmp/cache");
    SetTempFolder("");
    SetMainFolder("");
    EXPECT_EQ(TempFolder(), homeDefault + "/FABULORTEMP");
}

}  // namespace
