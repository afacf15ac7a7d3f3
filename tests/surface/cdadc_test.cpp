#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "dib_builder.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"

using Texts = std::vector<std::string>;

namespace {

// Every pixel a different colour, so that any shift or flip shows.
void Paint(CDADC& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            BYTE* p = s.Row(y) + 3 * x;
            p[0] = static_cast<BYTE>(x * 7 + y);
            p[1] = static_cast<BYTE>(y * 13 + 1);
            p[2] = static_cast<BYTE>(x ^ y);
        }
}

std::vector<BYTE> Pixels(const CDADC& s) {
    return {s.pBits, s.pBits + s.imageBytes};
}

}  // namespace

// The file layout and header bytes are checked where the surface is written.
TEST(Cdadc, NewSurfacesHaveThePaddedBottomUpLayoutAndAreBlack) {
    CDADC five(5, 3);
    ASSERT_NE(five.pBits, nullptr);
    EXPECT_EQ(five.rowBytes, 16);
    EXPECT_EQ(five.imageBytes, 48);
    EXPECT_EQ(five.Row(0), five.pBits + 32);  // the top row is the last in memory
    EXPECT_TRUE(
        std::all_of(five.pBits, five.pBits + five.imageBytes, [](BYTE b) { return b == 0; }));
}

TEST(Cdadc, InitDataChecksInOrderAndLeavesAFailedSurfaceEmpty) {
    MessageCapture messages;
    BITMAPINFO header;
    CDADC::Make24BitHeader(&header);

    CDADC empty;
    header.bmiHeader.biWidth = 0;
    header.bmiHeader.biHeight = -4;
    EXPECT_EQ(empty.InitData(&header), 0);
    header.bmiHeader.biWidth = 3;
    EXPECT_EQ(empty.InitData(&header), 0);
    EXPECT_EQ(messages.Texts(),
              (Texts{"CDADC::InitData called width=0", "CDADC::InitData called height=-4"}));
    EXPECT_EQ(empty.pBits, nullptr);

    header.bmiHeader.biHeight = 2;
    ASSERT_EQ(empty.InitData(&header), 1);
    messages.Clear();
    EXPECT_EQ(empty.InitData(&header), 0);
    EXPECT_EQ(messages.Texts(), Texts{"CDADC::InitData called with non NULL hDib"});
    EXPECT_EQ(empty.width, 3);

    messages.Clear();
    CDADC failed(0, 5);
    EXPECT_EQ(failed.pBits, nullptr);
    EXPECT_EQ(messages.Texts(), (Texts{"CDADC::InitData called width=0",
                                       "CDADC::CDADC(0,5) constructor\ncannot InitData()"}));

    // More than any DIB section can hold: said plainly, with the picture's size.
    messages.Clear();
    CDADC huge(30000, 30000);
    EXPECT_EQ(huge.pBits, nullptr);
    EXPECT_EQ(huge.hDib, nullptr);
    ASSERT_EQ(messages.Messages().size(), 2u);
    const Message& m = messages.Messages()[0];
    EXPECT_EQ(m.kind, MessageKind::SystemError);
    EXPECT_EQ(m.caption, "CDADC::InitData()");
    EXPECT_EQ(m.text.rfind("The picture is too large for the memory available:\n"
                           "30000 by 30000 pixels need 2575 MBytes\n",
                           0),
              0u)
        << m.text;
}

TEST(Cdadc, WritesTheBmpLayoutByteForByte) {
    ScratchDir dir;
    CDADC s(2, 2);
    Paint(s);
    const auto name = dir / "two.bmp";
    ASSERT_EQ(s.WriteBmpFile(name.c_str()), 1);
    const auto bytes = ReadBytes(name);
    ASSERT_EQ(bytes.size(), 54u + 16u);
    const std::vector<BYTE> header{'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                   2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0,
                                   0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0};
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + 54), header);
    EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 54, bytes.end()), Pixels(s));

    // Several 32768-byte chunks and a short last one.
    CDADC big(300, 100);
    Paint(big);
    ASSERT_EQ(big.WriteBmpFile((dir / "big.bmp").c_str()), 1);
    const auto bigBytes = ReadBytes(dir / "big.bmp");
    ASSERT_EQ(bigBytes.size(), 54u + 90000u);
    EXPECT_EQ(std::vector<BYTE>(bigBytes.begin() + 54, bigBytes.end()), Pixels(big));
}

TEST(Cdadc, WriteFailuresAreReported) {
    MessageCapture messages;
    CDADC empty;
    EXPECT_EQ(empty.WriteBmpFile("x.bmp"), 0);
    CDADC s(1, 1);
    EXPECT_EQ(s.WriteBmpFile("/nonexistent-folder/x.bmp"), 0);
    EXPECT_EQ(messages.Texts(),
              (Texts{"CDADC::WriteBmpFile called with\nNULL pointers for x.bmp",
                     "Could not open /nonexistent-folder/x.bmp to\nwrite bitmap"}));

    // A full disk: the bytes fit the stream's buffer and fail only when it is flushed at close.
    messages.Clear();
    EXPECT_EQ(s.WriteBmpFile("/dev/full"), 0);
    EXPECT_EQ(messages.Texts(), Texts{"ERROR While writing BMP\nfile: </dev/full>"});

    ScratchDir dir;
    std::FILE* readOnly = std::fopen((dir / "r").c_str(), "w+");
    std::fclose(readOnly);
    readOnly = std::fopen((dir / "r").c_str(), "r");
    messages.Clear();
    EXPECT_EQ(s.WriteBitmap(readOnly), 0);
    CDADC big(300, 100);
    EXPECT_EQ(big.WriteBitmap(readOnly), 0);
    std::fclose(readOnly);
    EXPECT_EQ(messages.Texts(), (Texts{"WriteBitmap: ERROR at end\n",
                                       "CDADC::WriteBitmap(): ERROR in while loop\n"}));
}

TEST(Cdadc, WriteImageFileChoosesBmpByTheExtensionInAnyCase) {
    ScratchDir dir;
    MessageCapture messages;
    CDADC s(3, 2);
    ASSERT_EQ(s.WriteImageFile((dir / "UPPER.BMP").c_str()), 1);
    EXPECT_EQ(ReadBytes(dir / "UPPER.BMP").size(), 54u + 24u);

    const auto noDot = dir / "nodot";
    EXPECT_EQ(s.WriteImageFile(noDot.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(noDot));
    // A dot in a folder's name is not the file's extension.
    std::filesystem::create_directory(dir / "a.bmp");
    const auto inDottedFolder = dir / "a.bmp" / "picture";
    EXPECT_EQ(s.WriteImageFile(inDottedFolder.c_str()), 0);
    EXPECT_EQ(messages.Texts(),
              (Texts{"WriteImageFile has no extension:\n<" + noDot.string() + ">",
                     "WriteImageFile has no extension:\n<" + inDottedFolder.string() + ">"}));
}

TEST(Cdadc, ReadBmpFileNeedsTheSurfaceSizeAndLeavesItAloneOtherwise) {
    ScratchDir dir;
    CDADC source(5, 3);
    Paint(source);
    ASSERT_EQ(source.WriteBmpFile((dir / "five.bmp").c_str()), 1);

    MessageCapture messages;
    CDADC narrow(4, 3);
    Paint(narrow);
    const auto before = Pixels(narrow);
    EXPECT_EQ(narrow.ReadBmpFile((dir / "five.bmp").c_str()), 0);
    CDADC low(5, 2);
    EXPECT_EQ(low.ReadBmpFile((dir / "five.bmp").c_str()), 0);
    EXPECT_EQ(messages.Texts(), (Texts{"***ERROR*** RBF:\nx mismatch 4 != 5",
                                       "***ERROR*** RBF:\ny mismatch 2 != 3"}));
    EXPECT_EQ(Pixels(narrow), before);

    // Not a BMP file, or no file: 0 without a message of its own.
    messages.Clear();
    WriteBytes(dir / "text.bmp", std::vector<BYTE>(100, 'x'));
    EXPECT_EQ(narrow.ReadBmpFile((dir / "text.bmp").c_str()), 0);
    EXPECT_EQ(narrow.ReadBmpFile((dir / "missing.bmp").c_str()), 0);
    EXPECT_EQ(CDADC::LoadBmpFile((dir / "text.bmp").c_str()), nullptr);
    EXPECT_TRUE(messages.Texts().empty());

    CDADC same(5, 3);
    ASSERT_EQ(same.ReadBmpFile((dir / "five.bmp").c_str()), 1);
    EXPECT_EQ(Pixels(same), Pixels(source));
}

TEST(Cdadc, CreateFromDibRefusesMissingAndUnsoundDibs) {
    MessageCapture messages;
    EXPECT_EQ(CDADC::CreateFromDib(nullptr), nullptr);
    // A header that promises 20000 × 20000 pixels in a block of 44 bytes.
    const auto dib = PackedDib({.width = 20000, .height = 20000, .bits = {0, 0, 0, 0}});
    HGLOBAL block = GlobalAlloc(GHND, dib.size());
    std::copy(dib.begin(), dib.end(), static_cast<BYTE*>(GlobalLock(block)));
    GlobalUnlock(block);
    EXPECT_EQ(CDADC::CreateFromDib(block), nullptr);
    GlobalFree(block);
    EXPECT_EQ(
        messages.Texts(),
        (Texts{"CDADC::CBC: Bad DIB handle",
               "CDADC::CBC: unusable DIB: the pixel data is cut short: 4 bytes of 1200000000"}));
}

TEST(Cdadc, ScaledCopyAndThumbnailDivisor) {
    CDADC source(100, 100);
    std::unique_ptr<CDADC> tiny(CDADC::ScaledCopy(0.001, &source));
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->width, 1);
    EXPECT_EQ(tiny->height, 1);
    std::unique_ptr<CDADC> mirrored(CDADC::ScaledCopy(-0.255, &source));
    ASSERT_NE(mirrored, nullptr);
    EXPECT_EQ(mirrored->width, 25);

    for (auto [width, divisor] : {std::pair{1, 1}, {64, 1}, {65, 2}, {130, 3}, {6500, 101}}) {
        CDADC s(width, 1);
        EXPECT_EQ(CDADC::ThumbnailDivisor(&s), divisor) << width;
    }
}
