// Picture files by extension: the type codes, the exact message sequences
// of loading and writing, the BMP fallback, round trips in all five formats
// and the shared JPEG, PCX, TGA and photo pictures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dib_builder.h"
#include "support/message_capture.h"
#include "support/shared_dir.h"
#include "surface/cdadc.h"
#include "surface/image_files.h"
#include "tools/gdi_script.h"

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

namespace {

std::string Temp(const std::string& name) {
    return (ProgramScratch() / name).string();
}

std::unique_ptr<CDADC> Load(const std::string& name) {
    HGLOBAL dib = VicLoadImageFile(name.c_str());
    if (!dib) return nullptr;
    std::unique_ptr<CDADC> surface(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    return surface;
}

// The largest difference of one channel between two surfaces of one size.
int LargestDifference(const CDADC& a, const CDADC& b) {
    int largest = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width * 3; ++x)
            largest = std::max(largest, std::abs(a.Row(y)[x] - b.Row(y)[x]));
    return largest;
}

TEST(ImageFileType, CodesByExtensionAndTheMessagesOfBadNames) {
    MessageCapture capture;
    for (auto [name, code] : {std::pair{"a.jpg", 11},
                              {"A.JPG", 11},
                              {"x.Tga", 7},
                              {"x.pcx", 5},
                              {"x.BMP", 9},
                              {"x.png", 13},
                              {"photo.JPEG", 11},
                              {"photo.jpe", 11}})
        EXPECT_EQ(ImageFileType(name), code) << name;
    EXPECT_TRUE(capture.Texts().empty());

    for (auto [name, code] :
         {std::pair{"picture", 0}, {"dir.d/picture", 0}, {"a.tiff", 0}, {"a.gif", -1}})
        EXPECT_EQ(ImageFileType(name), code) << name;
    EXPECT_EQ(capture.Texts(),
              (Texts{"Missing extension from filename:\n'picture'",
                     "Missing extension from filename:\n'dir.d/picture'",
                     "File name has bad extension:\n'a.tiff'",
                     "Support for image files of type 'gif'\nnot yet implemented"}));
}

TEST(VicLoadImageFile, NamesThatCannotLoadAreReportedInOrder) {
    const std::string missing = Temp("missing.");
    const std::string kMissing =
        "the file does not open: No such file or directory\nCould not open imagefile:\n<";
    const std::pair<std::string, Texts> cases[] = {
        {"picture", {"Filename has no extension:<picture>"}},
        {"x.gif",
         {"Support for image files of type 'gif'\nnot yet implemented",
          "Could not open imagefile:\n<x.gif>"}},
        {"x.tiff",
         {"File name has bad extension:\n'x.tiff'", "bad image type: 0",
          "Could not open imagefile:\n<x.tiff>"}},
        // Missing files: each format's information message, where it has one,
        // then the reason and the file in one message.
        {missing + "tga", {"TGA data error: 3", kMissing + missing + "tga>"}},
        {missing + "jpg", {"Jpeg data error: 3", kMissing + missing + "jpg>"}},
        {missing + "bmp", {"BMP data error: 3", kMissing + missing + "bmp>"}},
        {missing + "png", {"PNG data error: 3", kMissing + missing + "png>"}},
        {missing + "pcx", {kMissing + missing + "pcx>"}},
    };
    for (const auto& [name, texts] : cases) {
        MessageCapture capture;
        EXPECT_EQ(VicLoadImageFile(name.c_str()), nullptr);
        EXPECT_EQ(capture.Texts(), texts) << name;
    }
}

TEST(VicLoadImageFile, ABmpTheLibraryRefusesIsHandedOnAsTheSurfacesReaderReadsIt) {
    // A complete file ("BM", every byte there) whose header promises a third row.
    CDADC picture(3, 2);
    const std::string name = Temp("short.bmp");
    ASSERT_TRUE(picture.WriteBmpFile(name.c_str()));
    std::vector<BYTE> bytes = ReadBytes(name);
    bytes[22] = 3;
    WriteBytes(name, bytes);
    MessageCapture capture;
    HGLOBAL dib = VicLoadImageFile(name.c_str());
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), bytes.size() - sizeof(BITMAPFILEHEADER));
    GlobalFree(dib);
    EXPECT_EQ(capture.Texts(), (Texts{"BMP data error: 9"}));
}

TEST(VicWriteFile, MessagesOfNamesThatCannotBeWritten) {
    CDADC picture(2, 2);
    MessageCapture capture;
    EXPECT_EQ(VicWriteFile(&picture, Temp("out.gif").c_str()), 0);
    EXPECT_EQ(capture.Texts(),
              (Texts{"Support for image files of type 'gif'\nnot yet implemented"}));
    EXPECT_FALSE(fs::exists(Temp("out.gif")));

    // No writer runs for a name of no format, so none is named.
    capture.Clear();
    EXPECT_EQ(VicWriteFile(&picture, "out.tiff"), 0);
    EXPECT_EQ(capture.Texts(), (Texts{"File name has bad extension:\n'out.tiff'",
                                      "bad image file type: 0\nFilename = <out.tiff>"}));

    // Each format names its own writer.
    for (const auto& [name, text] : {std::pair{"/no such folder/x.pcx", "SavePCX, savepcx error 3"},
                                     {"/no such folder/x.tga", "SaveTGA, savetga error 3"},
                                     {"/no such folder/x.jpg", "SaveJPG, savejpg error 3"},
                                     {"/no such folder/x.png", "SavePNG, savepng error 3"}}) {
        capture.Clear();
        EXPECT_EQ(VicWriteFile(&picture, name), 0);
        EXPECT_EQ(capture.Texts(), (Texts{text})) << name;
    }

    capture.Clear();
    CDADC empty;
    EXPECT_EQ(VicWriteFile(&empty, Temp("empty.tga").c_str()), 0);
    EXPECT_EQ(capture.Texts(),
              (Texts{"VicWriteFile(" + Temp("empty.tga") + "),\nallocimage() error: 11"}));
}

// Names that are no regular file: a folder (the system reports a size of
// 8 EiB for some), a FIFO without a writer (a blocking open waits for ever)
// and a device without end. Every reader refuses them at once, saying why.
TEST(HostileFiles, FoldersFifosAndDevicesAreRefusedWithTheReason) {
    ScratchDir dir;
    fs::create_directory(dir / "folder.bmp");
    fs::create_directory(dir / "folder.jpg");
    ASSERT_EQ(mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "fifo.tga").c_str(), 0600), 0);
    const bool zero = fs::exists("/dev/zero");
    if (zero) fs::create_symlink("/dev/zero", dir / "zero.png");
    const std::string folder = "the file is a folder, not a picture file";
    const std::string fifo = "the file is a FIFO (named pipe), not a picture file";
    struct Case {
        const char* name;
        Texts texts;
    };
    std::vector<Case> cases = {
        {"folder.bmp", {"BMP data error: 3", folder}},
        {"folder.jpg", {"Jpeg data error: 3", folder}},
        {"fifo.bmp", {"BMP data error: 3", fifo}},
        {"fifo.tga", {"TGA data error: 3", fifo}},
    };
    if (zero)
        cases.push_back({"zero.png",
                         {"PNG data error: 8",
                          "the file gives more than 16 MBytes, more than any picture file"}});
    for (Case& c : cases) {
        const std::string name = (dir / c.name).string();
        c.texts.back() += "\nCould not open imagefile:\n<" + name + ">";
        MessageCapture capture;
        // The library's words live per thread: they are read on the thread that loads.
        std::string wordsLeft;
        auto load = std::async(std::launch::async, [&] {
            HGLOBAL dib = VicLoadImageFile(name.c_str());
            wordsLeft = VicLastError();
            return dib;
        });
        if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << name << ": the load waits";
            const int writer = ::open(name.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        EXPECT_EQ(load.get(), nullptr) << name;
        EXPECT_EQ(capture.Texts(), c.texts) << name;
        // Shown once: no caller repeats the reason.
        EXPECT_EQ(wordsLeft, "") << name;
    }

    // The surface's own reader: no message for a file that is not there, the
    // reason for a name that is no file.
    MessageCapture capture;
    EXPECT_EQ(CDADC::LoadBmpFile((dir / "missing.bmp").c_str()), nullptr);
    EXPECT_EQ(CDADC::LoadBmpFile((dir / "folder.bmp").c_str()), nullptr);
    CDADC surface(2, 2);
    EXPECT_EQ(surface.ReadBmpFile((dir / "fifo.bmp").c_str()), 0);
    EXPECT_EQ(capture.Texts(),
              (Texts{"CDADC::LoadBmpFile:\n" + (dir / "folder.bmp").string() + ": " + folder,
                     "***ERROR*** RBF:\n" + (dir / "fifo.bmp").string() + ": " + fifo}));
}

// A picture cut short loads as far as it goes, as before, and now says so;
// complete pictures say nothing (SharedPictures below).
TEST(HostileFiles, CutShortJpegAndTgaLoadWithANotice) {
    ScratchDir dir;
    const std::string notice = ": the picture is cut short; only the part that was read is shown";

    // A JPEG large enough for its coded data to outweigh its tables, cut at
    // two thirds (the codec's tests hold the rows it keeps).
    CDADC picture(320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            picture.pDC->SetPixel(x, y,
                                  RGB(60 + x / 2, 60 + y / 2, 100 + (x / 8 + y / 8) % 2 * 60));
    const fs::path jpeg = dir / "cut.jpg";
    ASSERT_TRUE(picture.WriteImageFile(jpeg.c_str()));
    auto bytes = ReadBytes(jpeg);
    bytes.resize(bytes.size() * 2 / 3);
    WriteBytes(jpeg, bytes);
    {
        MessageCapture capture;
        std::unique_ptr<CDADC> back = Load(jpeg.string());
        ASSERT_TRUE(back) << testing::PrintToString(capture.Texts());
        EXPECT_EQ(back->width, 320);
        EXPECT_EQ(capture.Faults(), Texts{});
        EXPECT_EQ(capture.Notices(), Texts{jpeg.string() + notice});
    }

    // A run-length Targa of 4 x 3, top row first, one run packet a row, cut
    // after two rows (a raw one cut short is refused: it cannot hold its pixels).
    std::vector<BYTE> tga(18, 0);
    tga[2] = 10;
    tga[12] = 4;
    tga[14] = 3;
    tga[16] = 24;
    tga[17] = 0x20;
    for (BYTE grey : {BYTE{10}, BYTE{20}})
        tga.insert(tga.end(), {0x83, grey, grey, grey});
    const fs::path targa = dir / "cut.tga";
    WriteBytes(targa, tga);
    {
        MessageCapture capture;
        std::unique_ptr<CDADC> back = Load(targa.string());
        ASSERT_TRUE(back) << testing::PrintToString(capture.Texts());
        EXPECT_EQ(capture.Faults(), Texts{});
        EXPECT_EQ(capture.Notices(), Texts{targa.string() + notice});
        EXPECT_EQ(SurfacePixel(*back, 3, 1), RGB(20, 20, 20));
        EXPECT_EQ(SurfacePixel(*back, 0, 2), RGB(0, 0, 0));
    }
}

TEST(ImageFileRoundTrips, OneByOneAndFiveByThreeInAllFiveFormats) {
    // JPEG keeps a gentle picture within this many levels a channel.
    constexpr int kJpegBound = 12;
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 3}}) {
        CDADC picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.pDC->SetPixel(x, y, RGB(100 + 8 * x, 120 + 6 * y, 140 + 2 * x + 3 * y));
        for (const char* extension : {"bmp", "tga", "png", "pcx", "jpg"}) {
            const std::string name =
                Temp("trip" + std::to_string(width) + "." + std::string(extension));
            MessageCapture capture;
            ASSERT_TRUE(picture.WriteImageFile(name.c_str())) << name;
            std::unique_ptr<CDADC> back = Load(name);
            ASSERT_TRUE(back) << name;
            EXPECT_TRUE(capture.Texts().empty()) << name;
            ASSERT_EQ(back->width, width) << name;
            ASSERT_EQ(back->height, height) << name;
            EXPECT_LE(LargestDifference(picture, *back),
                      std::string(extension) == "jpg" ? kJpegBound : 0)
                << name;
        }
    }
}

// The colour reduction keeps few colours exactly (above) and brings many
// down to a palette that stays close to them.
TEST(ImageFileRoundTrips, PcxOfManyColoursHoldsAtMost256) {
    CDADC picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.pDC->SetPixel(x, y, RGB(4 * x, 4 * y, (x * y) % 256));
    const std::string name = Temp("many.pcx");
    ASSERT_TRUE(picture.WriteImageFile(name.c_str()));
    std::unique_ptr<CDADC> back = Load(name);
    ASSERT_TRUE(back);
    std::set<COLORREF> colours;
    long error = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            colours.insert(SurfacePixel(*back, x, y));
            for (int c = 0; c < 3; ++c)
                error += std::abs(back->Row(y)[3 * x + c] - picture.Row(y)[3 * x + c]);
        }
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GT(colours.size(), 200u);
    EXPECT_LT(error / (64 * 64), 40);  // over the three channels
}

// The BMP suite is loaded through this library in bmp_files_test.cpp.
TEST(SharedPictures, JpegPcxAndPhotosLoadWithoutMessages) {
    SKIP_WITHOUT_SHARED();
    for (const char* folder : {"jpg", "pcx", "photos", "tga"})
        for (const auto& entry : fs::directory_iterator(SharedDir() / "testimages" / folder)) {
            if (entry.path().extension() == ".txt") continue;
            MessageCapture capture;
            EXPECT_TRUE(Load(entry.path().string())) << entry.path();
            EXPECT_TRUE(capture.Texts().empty()) << entry.path();
        }
}

}  // namespace
