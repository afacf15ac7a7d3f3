#include "util/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t Entries(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(SafeWrite, ReplacesAFileWholeKeepingItsPermissionsOrNotAtAll) {
    ScratchDir dir;
    const fs::path file = dir / "idea.json";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        SafeFileWrite unfinished(file.string());
        std::ofstream(unfinished.Path()) << "half";
    }  // never committed: the old file stays, the temporary one goes
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(Entries(dir.Path()), 1u);

    std::string error;
    ASSERT_TRUE(WriteTextFile(file.string(), "new", &error)) << error;
    EXPECT_EQ(Read(file), "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

// A link is written through, its target replaced in the target's own folder.
TEST(SafeWrite, FollowsSymbolicLinksAndKeepsThem) {
    ScratchDir dir;
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    std::ofstream(dir / "real/out.png") << "old";
    fs::create_symlink("../real/out.png", dir / "links/out.png");
    fs::create_symlink(dir / "real/new.png", dir / "links/dangling.png");
    std::string error;
    ASSERT_TRUE(WriteTextFile((dir / "links/out.png").string(), "new", &error)) << error;
    ASSERT_TRUE(WriteTextFile((dir / "links/dangling.png").string(), "made", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "links/out.png"));
    EXPECT_TRUE(fs::is_symlink(dir / "links/dangling.png"));
    EXPECT_EQ(Read(dir / "real/out.png"), "new");
    EXPECT_EQ(Read(dir / "real/new.png"), "made");
    EXPECT_EQ(Entries(dir / "real"), 2u);
    EXPECT_EQ(Entries(dir / "links"), 2u);
}

// Devices and FIFOs cannot be replaced: the contents are written into them,
// and what cannot take them says so without waiting for ever.
TEST(SafeWrite, WritesIntoDevicesAndFifosAndNeverReplacesThem) {
    ScratchDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(WriteTextFile(fifo.string(), "nobody", &error));
    EXPECT_EQ(error, fifo.string() + ": cannot be written: nothing reads from it");

    std::string received;
    std::thread reader([&] {
        std::ifstream in(fifo, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), {});
    });
    // The reader opens the FIFO when its thread gets there.
    bool written = false;
    for (int i = 0; i < 500 && !written; ++i) {
        written = WriteTextFile(fifo.string(), "through the pipe", &error);
        if (!written) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(written) << error;
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    EXPECT_TRUE(WriteTextFile("/dev/null", "gone", &error)) << error;
    EXPECT_FALSE(WriteTextFile("/dev/full", "too much", &error));
    EXPECT_EQ(error, "/dev/full: cannot be written: No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    EXPECT_FALSE(WriteTextFile(dir.Path().string(), "x", &error));
    EXPECT_EQ(error, dir.Path().string() + ": is a folder");
}

}  // namespace
