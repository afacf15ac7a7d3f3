#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "dib_builder.h"
#include "support/message_capture.h"
#include "support/png_reader.h"
#include "support/shared_dir.h"
#include "surface/cdadc.h"
#include "surface/dib_decode.h"
#include "surface/image_files.h"
#include "surface/packed_dib.h"

namespace {

std::vector<BYTE> Quads(std::initializer_list<int> greys) {
    std::vector<BYTE> out;
    for (int g : greys)
        out.insert(out.end(), {BYTE(g), BYTE(g), BYTE(g), 0});
    return out;
}

// The decoded picture as "r,g,b" texts, top row first.
std::vector<std::string> Decode(const DibSpec& filSpec, std::string* why = nullptr) {
    const auto bytes = PackedDib(filSpec);
    DecodedDib d;
    if (!DecodePackedDib({bytes.data(), bytes.size()}, &d, why)) return {};
    std::vector<std::string> out;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const BYTE* p = d.Pixel(x, y);
            out.push_back(std::to_string(p[2]) + "," + std::to_string(p[1]) + "," +
                          std::to_string(p[0]));
        }
    return out;
}

std::string Refusal(const DibSpec& filSpec) {
    std::string why;
    EXPECT_TRUE(Decode(filSpec, &why).empty());
    return why;
}

struct BlockFreer {
    void operator()(GlobalBlock* b) const { GlobalFree(b); }
};
using Block = std::unique_ptr<GlobalBlock, BlockFreer>;

Block ReadDib(std::vector<BYTE> file) {
    std::FILE* f = fmemopen(file.data(), file.size(), "rb");
    Block block(ReadDibFromFile(f));
    std::fclose(f);
    return block;
}

using V = std::vector<std::string>;

}  // namespace

TEST(ReadDibFromFile, PutsTheBitsRightAfterTheColourTable) {
    const auto dib = PackedDib(
        {.width = 2, .bitCount = 8, .clrUsed = 2, .palette = Quads({9, 1}), .bits = {1, 0, 0, 0}});
    const size_t tableEnd = 40 + 8;
    Block gap = ReadDib(BmpFile(dib, tableEnd, 30));
    ASSERT_NE(gap, nullptr);
    EXPECT_EQ(std::vector<BYTE>(gap->bytes.get(), gap->bytes.get() + GlobalSize(gap.get())), dib);

    // bfOffBits inside the table: the table keeps its bytes, the bits are those at bfOffBits.
    auto file = BmpFile(dib, tableEnd);
    PutLe(file, 10, 14 + 40 + 4, 4);
    Block overlap = ReadDib(file);
    ASSERT_NE(overlap, nullptr);
    ASSERT_EQ(GlobalSize(overlap.get()), dib.size() + 4);
    EXPECT_EQ(overlap->bytes[tableEnd], 1);  // the second colour's first byte
    EXPECT_EQ(overlap->bytes[tableEnd + 4], 1);

    PutLe(file, 10, 0, 4);  // an offset that points nowhere sound is ignored
    EXPECT_EQ(GlobalSize(ReadDib(file).get()), dib.size());
}

// The depths and header kinds are held to the shared suite's references;
// these are the cases it lacks.
TEST(DecodePackedDib, IndicesPastTheTableAreBlackAndWideFieldsScale) {
    EXPECT_EQ(Decode({.width = 3,
                      .bitCount = 4,
                      .clrUsed = 3,
                      .palette = Quads({1, 2, 3}),
                      .bits = {0x25, 0x10, 0, 0}}),
              (V{"3,3,3", "0,0,0", "2,2,2"}));
    // 10-bit fields: 512 scales to 128, with rounding.
    EXPECT_EQ(Decode({.bitCount = 32,
                      .compression = BI_BITFIELDS,
                      .masks = {0x3FF00000, 0x000FFC00, 0},
                      .bits = {0xFF, 0xFF, 0x0F, 0x20}}),
              V{"128,255,0"});
}

TEST(DecodePackedDib, RleRunsEscapesAndDamage) {
    const auto palette = Quads({1, 2, 3, 4, 5, 6});
    // Bottom row: 2 × index 1, absolute 3, 4, 3 (padded), end of line; then a
    // jump 2 right and 1 up, 1 × index 5, end of bitmap. Unreached pixels are black.
    auto rle8 = Decode({.width = 6,
                        .height = 3,
                        .bitCount = 8,
                        .compression = BI_RLE8,
                        .clrUsed = 6,
                        .palette = palette,
                        .bits = {2, 1, 0, 3, 3, 4, 3, 0, 0, 0, 0, 2, 2, 1, 1, 5, 0, 1}});
    ASSERT_EQ(rle8.size(), 18u);
    EXPECT_EQ(V(rle8.begin(), rle8.begin() + 3), (V{"0,0,0", "0,0,0", "6,6,6"}));
    EXPECT_EQ(V(rle8.begin() + 12, rle8.end()),
              (V{"2,2,2", "2,2,2", "4,4,4", "5,5,5", "4,4,4", "0,0,0"}));

    // A run past the right edge is cut there, not wrapped; a stream cut short keeps what it had.
    EXPECT_EQ(Decode({.width = 2,
                      .height = 2,
                      .bitCount = 8,
                      .compression = BI_RLE8,
                      .clrUsed = 6,
                      .palette = palette,
                      .bits = {5, 1, 0, 6, 2}}),
              (V{"0,0,0", "0,0,0", "2,2,2", "2,2,2"}));
    EXPECT_EQ(Refusal({.height = -2, .bitCount = 8, .compression = BI_RLE8}),
              "an RLE bitmap cannot have top-down rows");
}

TEST(DecodePackedDib, RefusesHeadersThatDoNotAddUp) {
    EXPECT_EQ(Refusal({.width = 30001}), "the bitmap width 30001 is out of range");
    EXPECT_EQ(Refusal({.width = 25000, .height = -25000}),
              "the bitmap is too large: 25000 by 25000 pixels");
    EXPECT_EQ(Refusal({.headerSize = 20}), "unknown bitmap header size 20");
    EXPECT_EQ(Refusal({.bitCount = 24, .compression = BI_RLE8}),
              "24 bits per pixel with compression 1 are not supported");
    EXPECT_EQ(Refusal({.bitCount = 8, .bits = std::vector<BYTE>(4)}),
              "the colour table is cut short");
    // Three rows of 4 bytes need 8 + 3 bytes: the last row's padding may be missing, no more.
    EXPECT_EQ(Refusal({.height = 3, .bits = std::vector<BYTE>(10)}),
              "the pixel data is cut short: 10 bytes of 11");
    EXPECT_EQ(Decode({.height = 3, .bits = std::vector<BYTE>(11)}).size(), 3u);
}

// The shared BMP suite: every good file as its reference, every damaged one safe.
TEST(BmpSuite, GoodFilesLoadAsTheirReferences) {
    SKIP_WITHOUT_SHARED();
    const auto dir = SharedDir() / "testimages/bmp";
    std::ifstream map(dir / "reference/MAP.txt");
    std::string bmp, png;
    int files = 0;
    while (map >> bmp >> png) {
        SCOPED_TRACE(bmp);
        ++files;
        MessageCapture messages;
        std::unique_ptr<CDADC> surface(CDADC::LoadBmpFile((dir / "good" / bmp).c_str()));
        ASSERT_NE(surface, nullptr) << testing::PrintToString(messages.Texts());
        // The picture-file library reads it as the surface's own reader does.
        HGLOBAL dib = VicLoadImageFile((dir / "good" / bmp).c_str());
        std::unique_ptr<CDADC> viaLibrary(CDADC::CreateFromDib(dib));
        GlobalFree(dib);
        ASSERT_NE(viaLibrary, nullptr);
        EXPECT_TRUE(messages.Texts().empty()) << testing::PrintToString(messages.Texts());
        EXPECT_EQ(std::vector<BYTE>(viaLibrary->pBits, viaLibrary->pBits + viaLibrary->imageBytes),
                  std::vector<BYTE>(surface->pBits, surface->pBits + surface->imageBytes));
        if (bmp == "pal8nonsquare.bmp") {  // its reference is stretched
            EXPECT_EQ(surface->width, 127);
            EXPECT_EQ(surface->height, 32);
            continue;
        }
        PngPicture ref;
        ASSERT_TRUE(ReadPngFile(dir / "reference" / png, &ref));
        ASSERT_EQ(surface->width, ref.width);
        ASSERT_EQ(surface->height, ref.height);
        int wrong = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x) {
                const BYTE* p = surface->Row(y) + 3 * x;
                const std::uint8_t* r = ref.Pixel(x, y);
                wrong += p[2] != r[0] || p[1] != r[1] || p[0] != r[2];
            }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_GE(files, 27);
}

TEST(BmpSuite, BadFilesLoadAsNullWithAMessageOrAsASoundPicture) {
    SKIP_WITHOUT_SHARED();
    std::set<std::string> refused;
    for (const auto& entry :
         std::filesystem::directory_iterator(SharedDir() / "testimages/bmp/bad")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        Block block = ReadDib(ReadBytes(entry.path()));
        DecodedDib dib;
        const bool decoded = block && DecodePackedDib({block->bytes.get(), block->size}, &dib);

        MessageCapture messages;
        if (HGLOBAL viaLibrary = VicLoadImageFile(entry.path().c_str())) {
            GlobalFree(viaLibrary);
        } else {
            ASSERT_FALSE(messages.Texts().empty());
            EXPECT_EQ(messages.Texts().back(),
                      "Could not open imagefile:\n<" + entry.path().string() + ">");
        }
        messages.Clear();
        std::unique_ptr<CDADC> surface(CDADC::LoadBmpFile(entry.path().c_str()));
        EXPECT_EQ(surface != nullptr, decoded);
        if (surface) {
            EXPECT_EQ(surface->width, dib.width);
            EXPECT_EQ(surface->height, dib.height);
        } else {
            refused.insert(name);
            EXPECT_EQ(messages.Texts().size(), 1u);
        }
    }
    // The others (damaged RLE, odd densities, sizes or palettes the picture
    // does not need) still describe a picture.
    EXPECT_EQ(refused, (std::set<std::string>{"badbitcount.bmp", "badplanes.bmp", "badwidth.bmp",
                                              "reallybig.bmp", "rletopdown.bmp", "shortfile.bmp"}));
}

// --- files that cannot be honest about their size ---------------------------

namespace {

// An RLE8 or RLE4 bitmap of the given size whose stream is `rows` end-of-line
// escapes and an end of bitmap: 2 × rows + 2 bytes.
std::vector<BYTE> RleDib(int width, int height, DWORD compression, int rows) {
    std::vector<BYTE> stream;
    for (int i = 0; i < rows; ++i)
        stream.insert(stream.end(), {0, 0});
    stream.insert(stream.end(), {0, 1});
    return PackedDib({.width = width,
                      .height = height,
                      .bitCount = compression == BI_RLE8 ? 8 : 4,
                      .compression = compression,
                      .clrUsed = 2,
                      .palette = Quads({0, 255}),
                      .bits = stream});
}

}  // namespace

// A 1 KB file claiming 30000 × 16000 pixels used to cost 3 GB and half a
// minute; every road into the program now refuses it before allocating.
TEST(HostileBmp, TinyRleFilesClaimingHugePicturesAreRefusedOnEveryPath) {
    ScratchDir dir;
    for (const DWORD compression : {DWORD{BI_RLE8}, DWORD{BI_RLE4}}) {
        SCOPED_TRACE(compression);
        const std::string why =
            "802 bytes of RLE data cannot describe a picture of 30000 by 16000 pixels";
        // The packed DIB, as the clipboard hands it over.
        const auto dib = RleDib(30000, 16000, compression, 400);
        DecodedDib decoded;
        std::string refusal;
        EXPECT_FALSE(DecodePackedDib({dib.data(), dib.size()}, &decoded, &refusal));
        EXPECT_EQ(refusal, why);

        const auto name = dir / "huge.bmp";
        WriteBytes(name, BmpFile(dib, 40 + 8));
        ASSERT_LT(ReadBytes(name).size(), 1024u);
        MessageCapture messages;
        EXPECT_EQ(CDADC::LoadBmpFile(name.c_str()), nullptr);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"CDADC::CBC: unusable DIB: " + why});

        // The imaging layer refuses it in its information call, before any
        // image is allocated; its fallback hands on a DIB the surface refuses.
        BITMAPINFOHEADER info{};
        EXPECT_EQ(bmpinfo(name.c_str(), &info), kVicTruncated);
        EXPECT_STREQ(VicLastError(),
                     "BMP: 802 bytes of run-length data cannot describe 30000 x 16000 pixels");
        messages.Clear();
        HGLOBAL fallback = VicLoadImageFile(name.c_str());
        EXPECT_EQ(CDADC::CreateFromDib(fallback), nullptr);
        GlobalFree(fallback);
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"BMP data error: 9",
                                                              "CDADC::CBC: unusable DIB: " + why}));

        // Reading into a surface of the file's size (the disk cache's road).
        WriteBytes(name, BmpFile(RleDib(2000, 1000, compression, 400), 40 + 8));
        CDADC surface(2000, 1000);
        messages.Clear();
        EXPECT_EQ(surface.ReadBmpFile(name.c_str()), 0);
        EXPECT_EQ(messages.Texts(),
                  std::vector<std::string>{
                      "***ERROR*** RBF:\n" + name.string() +
                      ": 802 bytes of RLE data cannot describe a picture of 2000 by 1000 pixels"});
    }
}

// The bound: 255 pixels for each byte of the stream, and any picture up to
// a megapixel whatever its stream.
TEST(HostileBmp, RleStreamsThatCanPaintTheirPictureStillLoad) {
    // 2 000 000 pixels / 255 = 7843: a stream needs more bytes than that.
    std::vector<BYTE> stream(7843, 0);
    const DibSpec huge{.width = 2000,
                       .height = 1000,
                       .bitCount = 8,
                       .compression = BI_RLE8,
                       .clrUsed = 2,
                       .palette = Quads({0, 255}),
                       .bits = stream};
    EXPECT_EQ(Refusal(huge),
              "7843 bytes of RLE data cannot describe a picture of 2000 by 1000 pixels");
    DibSpec enough = huge;
    enough.bits.push_back(0);
    // A megapixel with a stream of two bytes: all of it left black.
    const DibSpec megapixel{.width = 1024,
                            .height = 1024,
                            .bitCount = 4,
                            .compression = BI_RLE4,
                            .clrUsed = 2,
                            .palette = Quads({0, 255}),
                            .bits = {0, 1}};
    for (const DibSpec* layout : {&std::as_const(enough), &megapixel}) {
        const auto dib = PackedDib(*layout);
        DecodedDib decoded;
        std::string why;
        EXPECT_TRUE(DecodePackedDib({dib.data(), dib.size()}, &decoded, &why)) << why;
        EXPECT_EQ(decoded.width, layout->width);
    }
}

// The fuzz findings of the BMP readers (tests/data/fuzz/bmp and bmp_load),
// each through every road a BMP file takes: the clipboard's packed DIB, the
// surface's own reader, and VicLoadImageFile with the surface built from
// what it gives. Each loads or is refused with a message.
TEST(BmpFuzzRegressions, EveryKeptInputFailsCleanlyOrLoads) {
    ScratchDir dir;
    const auto name = dir / "input.bmp";
    int replayed = 0;
    for (const char* folder : {"bmp", "bmp_load"}) {
        const auto path = std::filesystem::path(FABULOR_SOURCE_DIR) / "tests/data/fuzz" / folder;
        if (!std::filesystem::is_directory(path)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            SCOPED_TRACE(entry.path().string());
            ++replayed;
            const auto bytes = ReadBytes(entry.path());
            DecodedDib decoded;
            DecodePackedDib({bytes.data(), bytes.size()}, &decoded);

            WriteBytes(name, bytes);
            MessageCapture messages;
            std::unique_ptr<CDADC> surface(CDADC::LoadBmpFile(name.c_str()));
            if (surface) {
                EXPECT_NE(surface->pBits, nullptr);
            }
            HGLOBAL dib = VicLoadImageFile(name.c_str());
            std::unique_ptr<CDADC> viaLibrary(dib ? CDADC::CreateFromDib(dib) : nullptr);
            GlobalFree(dib);
            if (!viaLibrary) {
                EXPECT_FALSE(messages.Faults().empty());
            }
        }
    }
    EXPECT_GT(replayed, 0);
}
