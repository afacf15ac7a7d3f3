#include "document/disk_cache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;

namespace {

struct Cache : ::testing::Test {
    ScratchDir scratch;
    const fs::path& folder = scratch.Path();
    CDADC picture{3, 2};
    void SetUp() override {
        SetTempFolder(folder.string());
        DiskCache::ResetForTests();
        DiskCache::SetEnabled(true);
    }
    void TearDown() override {
        DiskCache::ResetForTests();
        DiskCache::SetEnabled(true);
        SetTempFolder("");
    }
};

}  // namespace

TEST_F(Cache, NamesAreFormedOnlyForNamedDocumentsRealImagesAndKnownLevels) {
    EXPECT_EQ(DiskCache::FileName("face", 3, 2), folder.string() + "/face_3-2.BMP");
    EXPECT_EQ(DiskCache::FileName("face", 0, 1), "");
    EXPECT_EQ(DiskCache::FileName("", 1, 1), "");
    EXPECT_EQ(DiskCache::FileName("face", 1, 3), "");
}

TEST_F(Cache, TheThirtyThirdFileEvictsTheLeastRecentlyUsed) {
    for (int i = 1; i <= 32; ++i)
        DiskCache::SaveToCache(&picture, "face", i, 1);
    EXPECT_EQ(DiskCache::CountForTests(), 32);
    // Reading image 1 makes image 2 the least recently used, even within one second.
    CDADC back(3, 2);
    EXPECT_EQ(DiskCache::ReadCached(&back, "face", 1, 1), 1);
    DiskCache::SaveToCache(&picture, "face", 33, 1);
    EXPECT_TRUE(fs::exists(folder / "face_1-1.BMP"));
    EXPECT_FALSE(fs::exists(folder / "face_2-1.BMP"));
    EXPECT_TRUE(fs::exists(folder / "face_33-1.BMP"));
    EXPECT_EQ(DiskCache::CountForTests(), 32);
}

TEST_F(Cache, DisabledCacheWritesNothingButStillReads) {
    DiskCache::SaveToCache(&picture, "face", 1, 4);
    DiskCache::SetEnabled(false);
    DiskCache::SaveToCache(&picture, "face", 2, 4);
    EXPECT_FALSE(fs::exists(folder / "face_2-4.BMP"));
    CDADC back(3, 2);
    EXPECT_EQ(DiskCache::ReadCached(&back, "face", 1, 4), 1);
    EXPECT_EQ(DiskCache::ReadCached(&back, "face", 2, 4), 0);
}

TEST_F(Cache, RemovingADocumentsFilesReportsOnesThatVanished) {
    MessageCapture capture;
    DiskCache::SaveToCache(&picture, "face", 1, 1);
    DiskCache::SaveToCache(&picture, "face", 2, 1);
    DiskCache::SaveToCache(&picture, "tree", 1, 1);
    fs::remove(folder / "face_2-1.BMP");
    DiskCache::RemoveDocCache("face");
    EXPECT_FALSE(fs::exists(folder / "face_1-1.BMP"));
    EXPECT_TRUE(fs::exists(folder / "tree_1-1.BMP"));
    EXPECT_EQ(capture.Texts(),
              std::vector<std::string>{"Cache image for doc <face> does not exist:\n<" +
                                       (folder / "face_2-1.BMP").string() + ">\n"});
    EXPECT_EQ(DiskCache::CountForTests(), 1);
}

TEST_F(Cache, AFileOfTheWrongSizeIsNotReadIntoTheSurface) {
    MessageCapture capture;
    DiskCache::SaveToCache(&picture, "face", 1, 1);
    CDADC wrong(4, 2);
    EXPECT_EQ(DiskCache::ReadCached(&wrong, "face", 1, 1), 0);
    ASSERT_EQ(capture.Texts().size(), 2u);
    EXPECT_EQ(capture.Texts()[1], "ERROR: Could not read cached image <" +
                                      (folder / "face_1-1.BMP").string() + ">\ninto CDADC\n");
}
