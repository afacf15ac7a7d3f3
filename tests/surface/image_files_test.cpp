// Picture files by extension: the type codes, the exact message sequences
// of loading and writing, the BMP fallback, round trips in all five formats
// and the shared JPEG, PCX, TGA and photo pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

void Set(CDADC* s, int x, int y, COLORREF c) {
    BYTE* p = s->Row(y) + 3 * x;
    p[0] = static_cast<BYTE>(GetBValue(c));
    p[1] = static_cast<BYTE>(GetGValue(c));
    p[2] = static_cast<BYTE>(GetRValue(c));
}

void ExpectSamePixels(const CDADC& a, const CDADC& b, const std::string& what) {
    ASSERT_EQ(a.width, b.width) << what;
    ASSERT_EQ(a.height, b.height) << what;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            ASSERT_EQ(SurfacePixel(a, x, y), SurfacePixel(b, x, y))
                << what << " at " << x << "," << y;
}

TEST(ImageFileType, CodesByExtensionAndTheMessagesOfBadNames) {
    MessageCapture capture;
    for (auto [name, code] : {std::pair{"a.jpg", 11},
                              {"A.JPG", 11},
                              {"x.Tga", 7},
                              {"x.pcx", 5},
                              {"x.BMP", 9},
                              {"x.png", 13}})
        EXPECT_EQ(ImageFileType(name), code) << name;
    EXPECT_TRUE(capture.Texts().empty());

    for (auto [name, code] :
         {std::pair{"picture", 0}, {"dir.d/picture", 0}, {"a.jpeg", 0}, {"a.gif", -1}})
        EXPECT_EQ(ImageFileType(name), code) << name;
    EXPECT_EQ(capture.Texts(),
              (Texts{"Missing extension from filename:\n'picture'",
                     "Missing extension from filename:\n'dir.d/picture'",
                     "File name has bad extension:\n'a.jpeg'",
                     "Support for image files of type 'gif'\nnot yet implemented"}));
}

TEST(VicLoadImageFile, NamesThatCannotLoadAreReportedInOrder) {
    const std::string missing = Temp("missing.");
    const std::pair<std::string, Texts> cases[] = {
        {"picture", {"Filename has no extension:<picture>"}},
        {"x.gif",
         {"Support for image files of type 'gif'\nnot yet implemented",
          "Could not open imagefile:\n<x.gif>"}},
        {"x.jpeg",
         {"File name has bad extension:\n'x.jpeg'", "bad image type: 0",
          "Could not open imagefile:\n<x.jpeg>"}},
        // Missing files: each format's information message, where it has one.
        {missing + "tga", {"TGA data error: 3", "Could not open imagefile:\n<" + missing + "tga>"}},
        {missing + "jpg",
         {"Jpeg data error: 3", "Could not open imagefile:\n<" + missing + "jpg>"}},
        {missing + "bmp", {"BMP data error: 3", "Could not open imagefile:\n<" + missing + "bmp>"}},
        {missing + "png", {"PNG data error: 3", "Could not open imagefile:\n<" + missing + "png>"}},
        {missing + "pcx", {"Could not open imagefile:\n<" + missing + "pcx>"}},
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

    capture.Clear();
    EXPECT_EQ(VicWriteFile(&picture, "out.jpeg"), 0);
    EXPECT_EQ(capture.Texts(), (Texts{"File name has bad extension:\n'out.jpeg'",
                                      "bad image file type: 0\nFilename = <out.jpeg>",
                                      "SaveJPG, savejpg error -1"}));

    capture.Clear();
    EXPECT_EQ(VicWriteFile(&picture, "/no such folder/x.pcx"), 0);
    EXPECT_EQ(capture.Texts(), (Texts{"SaveJPG, savejpg error 3"}));

    capture.Clear();
    CDADC empty;
    EXPECT_EQ(VicWriteFile(&empty, Temp("empty.tga").c_str()), 0);
    EXPECT_EQ(capture.Texts(),
              (Texts{"VicWriteFile(" + Temp("empty.tga") + "),\nallocimage() error: 11"}));
}

// The largest difference of one channel between two surfaces.
int LargestDifference(const CDADC& a, const CDADC& b) {
    int largest = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width * 3; ++x)
            largest = std::max(largest, std::abs(a.Row(y)[x] - b.Row(y)[x]));
    return largest;
}

TEST(ImageFileRoundTrips, OneByOneAndFiveByThreeInAllFiveFormats) {
    // JPEG keeps a gentle picture within this many levels a channel.
    constexpr int kJpegBound = 12;
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 3}}) {
        CDADC picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(&picture, x, y, RGB(100 + 8 * x, 120 + 6 * y, 140 + 2 * x + 3 * y));
        for (const char* extension : {"bmp", "tga", "png", "pcx", "jpg"}) {
            const std::string name =
                Temp("trip" + std::to_string(width) + "." + std::string(extension));
            MessageCapture capture;
            ASSERT_TRUE(picture.WriteImageFile(name.c_str())) << name;
            std::unique_ptr<CDADC> back = Load(name);
            ASSERT_TRUE(back) << name;
            EXPECT_TRUE(capture.Texts().empty()) << name;
            if (std::string(extension) == "jpg") {
                EXPECT_EQ(back->width, width);
                EXPECT_EQ(back->height, height);
                EXPECT_LE(LargestDifference(picture, *back), kJpegBound) << name;
            } else {
                ExpectSamePixels(picture, *back, name);
            }
        }
    }
}

// The colour reduction keeps few colours exactly (above) and brings many
// down to a palette that stays close to them.
TEST(ImageFileRoundTrips, PcxOfManyColoursHoldsAtMost256) {
    CDADC picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            Set(&picture, x, y, RGB(4 * x, 4 * y, (x * y) % 256));
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
