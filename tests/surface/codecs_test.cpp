// The imaging layer's codecs, driven through their memory readers and the
// file calls: TGA and PCX variants, JPEG colour spaces and damage, PNG
// kinds, the colour quantizer, and the fuzz regression files.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dib_builder.h"
#include "support/png_reader.h"
#include "support/shared_dir.h"
#include "surface/codec_internal.h"
#include "surface/colour_quantizer.h"
#include "surface/vic_image.h"

namespace fs = std::filesystem;

namespace {

using InfoFn = int (*)(vic::Bytes, VicFileInfo*);
using LoadFn = int (*)(vic::Bytes, VicImage*);

fs::path TempFile(const std::string& name) {
    return fs::path(testing::TempDir()) / ("codecs_" + name);
}

// A loaded picture, always 24 bits, freed with the test.
struct Picture {
    VicImage image;
    int code = 0;
    VicFileInfo info;
    ~Picture() { freeimage(&image); }
    COLORREF At(int x, int y) const {
        const BYTE* p = image.Row(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
};

void Decode(InfoFn infoFn, LoadFn loadFn, const std::vector<BYTE>& file, Picture* out) {
    const vic::Bytes bytes{file.data(), file.size()};
    if ((out->code = infoFn(bytes, &out->info))) return;
    VicImage held;
    ASSERT_EQ(allocimage(&held, out->info.width, out->info.height, out->info.bitsPerPixel), 0);
    if ((out->code = loadFn(bytes, &held))) {
        freeimage(&held);
        return;
    }
    if (held.bitsPerPixel == 24) {
        out->image = held;
        return;
    }
    ASSERT_EQ(allocimage(&out->image, held.width, held.height, 24), 0);
    EXPECT_EQ(convertpaltorgb(&held, &out->image), 0);
    freeimage(&held);
}

// Every pixel of a file the reader must take, top row first.
std::vector<COLORREF> Pixels(InfoFn infoFn, LoadFn loadFn, const std::vector<BYTE>& file) {
    Picture picture;
    Decode(infoFn, loadFn, file, &picture);
    EXPECT_EQ(picture.code, 0) << VicLastError();
    std::vector<COLORREF> out;
    for (int y = 0; picture.code == 0 && y < picture.image.height; ++y)
        for (int x = 0; x < picture.image.width; ++x)
            out.push_back(picture.At(x, y));
    return out;
}

using Colours = std::vector<COLORREF>;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = 0;

// Every pixel against a reference PNG, alpha dropped.
void ExpectEqualsPng(const Picture& picture, const fs::path& reference) {
    PngPicture expected;
    std::string why;
    ASSERT_TRUE(ReadPngFile(reference, &expected, &why)) << why;
    ASSERT_EQ(picture.image.width, expected.width);
    ASSERT_EQ(picture.image.height, expected.height);
    int wrong = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const auto* p = expected.Pixel(x, y);
            if (picture.At(x, y) != RGB(p[0], p[1], p[2]) && ++wrong <= 3)
                ADD_FAILURE() << reference.filename() << " differs at " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0) << reference.filename();
}

// --- TGA ------------------------------------------------------------------

std::vector<BYTE> TgaHeader(int type, int width, int height, int bits, int descriptor,
                            int mapLength = 0, int mapBits = 0, int idLength = 0) {
    std::vector<BYTE> h(18);
    h[0] = static_cast<BYTE>(idLength);
    h[1] = mapLength ? 1 : 0;
    h[2] = static_cast<BYTE>(type);
    vic::PutU16(&h[5], static_cast<unsigned>(mapLength));
    h[7] = static_cast<BYTE>(mapBits);
    vic::PutU16(&h[12], static_cast<unsigned>(width));
    vic::PutU16(&h[14], static_cast<unsigned>(height));
    h[16] = static_cast<BYTE>(bits);
    h[17] = static_cast<BYTE>(descriptor);
    h.resize(h.size() + static_cast<size_t>(idLength), 'x');
    return h;
}

void Append(std::vector<BYTE>* file, std::initializer_list<int> bytes) {
    for (int b : bytes)
        file->push_back(static_cast<BYTE>(b));
}

// The TGA pictures of the shared suite against their PNG references, and
// the references (grey, grey and alpha, palette, RGB, RGBA) read by the PNG
// codec against themselves as libpng expands them.
TEST(TgaCodec, SharedPicturesEqualTheirReferences) {
    SKIP_WITHOUT_SHARED();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(SharedDir() / "testimages/tga")) {
        const bool tga = entry.path().extension() == ".tga";
        if (!tga && entry.path().extension() != ".png") continue;
        // 200x32_rgb_bl_raw.tga -> 200x32_rgb.png
        std::string stem = entry.path().stem().string();
        if (tga) stem = stem.substr(0, stem.rfind('_', stem.rfind('_') - 1));
        Picture picture;
        Decode(tga ? vic::TgaInfo : vic::PngInfo, tga ? vic::TgaLoad : vic::PngLoad,
               ReadBytes(entry.path()), &picture);
        ASSERT_EQ(picture.code, 0) << entry.path() << ": " << VicLastError();
        ExpectEqualsPng(picture, entry.path().parent_path() / (stem + ".png"));
        checked += tga;
    }
    EXPECT_EQ(checked, 24);
}

TEST(TgaCodec, ReadsSixteenBitColourFromTheRightHandTopOrigin) {
    // 2 × 2, origin top-right: the file's first pixel is the top right one.
    auto file = TgaHeader(2, 2, 2, 16, 0x30);
    Append(&file, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0x7F});  // blue, green, red, white
    EXPECT_EQ(Pixels(vic::TgaInfo, vic::TgaLoad, file), (Colours{kGreen, kBlue, kWhite, kRed}));
}

TEST(TgaCodec, ColourMapWithSixteenBitIndicesAndRunsAcrossRows) {
    // Map of 15-bit entries starting at index 2 (two entries: red, green),
    // 16-bit indices, RLE: a run of 3 green then a raw packet of 1 red; the
    // run crosses from the bottom row into the top row. An ID field of 5
    // bytes comes first.
    auto file = TgaHeader(9, 2, 2, 16, 0, 2, 15, 5);
    file[3] = 2;  // first map entry
    Append(&file, {0x00, 0x7C, 0xE0, 0x03});
    Append(&file, {0x82, 3, 0, 0x00, 2, 0});
    EXPECT_EQ(Pixels(vic::TgaInfo, vic::TgaLoad, file), (Colours{kGreen, kRed, kGreen, kGreen}));
}

TEST(TgaCodec, CutShortCodedDataKeepsWhatWasThere) {
    auto file = TgaHeader(10, 4, 1, 24, 0x20);
    Append(&file, {0x81, 10, 20, 30, 0x81});  // two pixels, then a packet with no pixel
    EXPECT_EQ(Pixels(vic::TgaInfo, vic::TgaLoad, file),
              (Colours{RGB(30, 20, 10), RGB(30, 20, 10), kBlack, kBlack}));
}

TEST(TgaCodec, RefusesHeadersTheFileCannotHold) {
    struct Case {
        std::vector<BYTE> file;
        int code;
    };
    auto raw = TgaHeader(2, 3, 3, 24, 0);
    raw.resize(raw.size() + 26);  // one byte short of 27
    auto big = TgaHeader(10, 40000, 2, 24, 0);
    big.resize(big.size() + 4000);
    auto colourMapNoMap = TgaHeader(1, 2, 2, 8, 0);
    colourMapNoMap.resize(colourMapNoMap.size() + 4);
    const Case cases[] = {
        {raw, kVicTruncated},
        {TgaHeader(2, 0, 5, 24, 0), kVicBadSize},
        {big, kVicTooLarge},
        {TgaHeader(10, 30000, 30000, 24, 0), kVicTooLarge},
        {TgaHeader(10, 20000, 20000, 24, 0), kVicTruncated},
        {TgaHeader(2, 1, 1, 12, 0), kVicUnsupported},
        {colourMapNoMap, kVicBadData},
        {std::vector<BYTE>(10), kVicNotThisFormat},
    };
    for (const Case& c : cases) {
        Picture picture;
        Decode(vic::TgaInfo, vic::TgaLoad, c.file, &picture);
        EXPECT_EQ(picture.code, c.code) << VicLastError();
        EXPECT_STRNE(VicLastError(), "");
    }
}

// --- PCX ------------------------------------------------------------------

std::vector<BYTE> PcxHeader(int bits, int planes, int width, int height, int bytesPerLine,
                            bool rle = true) {
    std::vector<BYTE> h(128);
    h[0] = 10;
    h[1] = 5;
    h[2] = rle ? 1 : 0;
    h[3] = static_cast<BYTE>(bits);
    vic::PutU16(&h[8], static_cast<unsigned>(width - 1));
    vic::PutU16(&h[10], static_cast<unsigned>(height - 1));
    h[65] = static_cast<BYTE>(planes);
    vic::PutU16(&h[66], static_cast<unsigned>(bytesPerLine));
    // Header palette: entry i = (16 i, 0, 255 - 16 i)
    for (int i = 0; i < 16; ++i) {
        h[16 + 3 * i] = static_cast<BYTE>(16 * i);
        h[18 + 3 * i] = static_cast<BYTE>(255 - 16 * i);
    }
    return h;
}

COLORREF HeaderColour(int i) {
    return RGB(16 * i, 0, 255 - 16 * i);
}

TEST(PcxCodec, OneBitIsBlackAndWhiteWithOddLinePadding) {
    auto file = PcxHeader(1, 1, 3, 2, 3);  // 3 bytes a line where 1 would do
    Append(&file, {0xA0, 0xC2, 0xFF, 0x40, 0xC2, 0x00});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, file),
              (Colours{kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}));
}

TEST(PcxCodec, PlanarAndPackedSixteenColours) {
    // Four planes of one bit: pixel 0 = index 0b1010 = 10, pixel 1 = 0b0101 = 5.
    auto planar = PcxHeader(1, 4, 2, 1, 2);
    Append(&planar, {0x40, 0, 0x80, 0, 0x40, 0, 0x80, 0});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, planar),
              (Colours{HeaderColour(10), HeaderColour(5)}));
    // Packed 4 bits and packed 2 bits.
    auto packed4 = PcxHeader(4, 1, 3, 1, 2);
    Append(&packed4, {0x3C, 0x70});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, packed4),
              (Colours{HeaderColour(3), HeaderColour(12), HeaderColour(7)}));
    auto packed2 = PcxHeader(2, 1, 4, 1, 2);
    Append(&packed2, {0x1B, 0x00});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, packed2),
              (Colours{HeaderColour(0), HeaderColour(1), HeaderColour(2), HeaderColour(3)}));
}

TEST(PcxCodec, TwentyFourBitsInThreePlanesWithRunsAcrossLines) {
    // 2 × 2, 2 bytes a line: each line is R R G G B B. One run of 7 of 0x10
    // crosses from the first line into the second.
    auto file = PcxHeader(8, 3, 2, 2, 2);
    Append(&file, {0xC7, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, file),
              (Colours{RGB(0x10, 0x10, 0x10), RGB(0x10, 0x10, 0x10), RGB(0x10, 0x30, 0x50),
                       RGB(0x20, 0x40, 0x60)}));
}

TEST(PcxCodec, EightBitsUseTheEndPaletteAndAFinalCountWithoutValueStops) {
    auto file = PcxHeader(8, 1, 2, 1, 2);
    Append(&file, {0xC1, 0xC2, 0x01});  // index 0xC2, index 1
    file.push_back(12);
    for (int i = 0; i < 256; ++i)
        Append(&file, {i, 255 - i, 7});
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, file),
              (Colours{RGB(0xC2, 255 - 0xC2, 7), RGB(1, 254, 7)}));

    auto cut = PcxHeader(8, 1, 4, 1, 4);
    Append(&cut, {0x05, 0xC3});  // a run count with no value after it; no end palette: grey
    EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, cut),
              (Colours{RGB(5, 5, 5), kBlack, kBlack, kBlack}));
}

TEST(PcxCodec, RefusesImpossibleHeaders) {
    auto big = PcxHeader(8, 1, 30000, 30000, 30000);
    auto promise = PcxHeader(8, 1, 1000, 1000, 1000);
    promise.resize(1000);
    auto planes = PcxHeader(4, 3, 2, 2, 2);
    planes.resize(200);
    auto backwards = PcxHeader(8, 1, 2, 2, 2);
    vic::PutU16(&backwards[4], 5);  // xMin beyond xMax
    const std::pair<std::vector<BYTE>, int> cases[] = {
        {big, kVicTooLarge},
        {promise, kVicTruncated},
        {planes, kVicUnsupported},
        {backwards, kVicBadSize},
        {std::vector<BYTE>(100, 10), kVicNotThisFormat},
    };
    for (const auto& [file, code] : cases) {
        Picture picture;
        Decode(vic::PcxInfo, vic::PcxLoad, file, &picture);
        EXPECT_EQ(picture.code, code) << VicLastError();
    }
}

// --- JPEG -----------------------------------------------------------------

TEST(JpegCodec, GreyFileLoadsAsEightBitsAndStaysGrey) {
    SKIP_WITHOUT_SHARED();
    Picture grey;
    Decode(vic::JpegInfo, vic::JpegLoad, ReadBytes(SharedDir() / "testimages/jpg/hopper_gray.jpg"),
           &grey);
    ASSERT_EQ(grey.code, 0) << VicLastError();
    EXPECT_EQ(grey.info.bitsPerPixel, 8);
    for (int y = 0; y < grey.image.height; y += 7)
        for (int x = 0; x < grey.image.width; x += 5) {
            const COLORREF c = grey.At(x, y);
            ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
        }
}

TEST(JpegCodec, CutShortFileKeepsTheTopAndGarbageFails) {
    SKIP_WITHOUT_SHARED();
    auto whole = ReadBytes(SharedDir() / "testimages/photos/flower.jpg");
    Picture full;
    Decode(vic::JpegInfo, vic::JpegLoad, whole, &full);
    ASSERT_EQ(full.code, 0);
    auto half = whole;
    half.resize(whole.size() / 2);
    Picture cut;
    Decode(vic::JpegInfo, vic::JpegLoad, half, &cut);
    ASSERT_EQ(cut.code, 0) << VicLastError();
    EXPECT_EQ(0, std::memcmp(full.image.Row(0), cut.image.Row(0),
                             static_cast<size_t>(full.image.width) * 3));

    std::vector<BYTE> garbage(whole.begin(), whole.begin() + 400);
    for (size_t i = 200; i < garbage.size(); ++i)
        garbage[i] = static_cast<BYTE>(i * 7);
    Picture broken;
    Decode(vic::JpegInfo, vic::JpegLoad, garbage, &broken);
    EXPECT_NE(broken.code, 0);
    EXPECT_STRNE(VicLastError(), "");
}

// Writes a 16 × 16 JPEG of one CMYK sample value, as Adobe's programs store it.
std::vector<BYTE> CmykJpeg(BYTE c, BYTE m, BYTE y, BYTE k) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<BYTE> row;
    for (int x = 0; x < 16; ++x)
        row.insert(row.end(), {c, m, y, k});
    while (info.next_scanline < 16) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<BYTE> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

TEST(JpegCodec, AdobeCmykIsInvertedInk) {
    Picture picture;
    // Stored inverted: 255 = no ink. Full magenta ink only.
    Decode(vic::JpegInfo, vic::JpegLoad, CmykJpeg(255, 0, 255, 255), &picture);
    ASSERT_EQ(picture.code, 0) << VicLastError();
    const COLORREF c = picture.At(8, 8);
    EXPECT_NEAR(GetRValue(c), 255, 3);
    EXPECT_NEAR(GetGValue(c), 0, 3);
    EXPECT_NEAR(GetBValue(c), 255, 3);
}

TEST(JpegCodec, RefusesMoreBlocksThanTheFileHasBits) {
    // A valid 8 × 8 baseline file whose frame header is rewritten to 20000 × 20000.
    VicImage image;
    ASSERT_EQ(allocimage(&image, 8, 8, 24), 0);
    const fs::path path = TempFile("small.jpg");
    ASSERT_EQ(savejpg(path.c_str(), &image, 75), 0);
    freeimage(&image);
    auto file = ReadBytes(path);
    for (size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = file[i + 7] = 20000 >> 8;
            file[i + 6] = file[i + 8] = 20000 & 0xFF;
        }
    Picture picture;
    Decode(vic::JpegInfo, vic::JpegLoad, file, &picture);
    EXPECT_EQ(picture.code, kVicTruncated);
}

// --- PNG ------------------------------------------------------------------

// A PNG of the given kind whose samples are made by value(x, y, sample).
void WritePng(const fs::path& path, int width, int height, int colourType, int depth,
              bool interlaced, int (*value)(int, int, int)) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[16];
        for (int i = 0; i < 16; ++i)
            palette[i] = {static_cast<png_byte>(i * 16), static_cast<png_byte>(255 - i * 16), 9};
        png_set_PLTE(png, info, palette, 16);
    }
    png_write_info(png, info);
    png_set_swap(png);  // the rows below hold 16-bit samples in little-endian order
    const int samples = png_get_channels(png, info);
    std::vector<BYTE> row(static_cast<size_t>(width * samples * 2));
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < width; ++x)
                for (int s = 0; s < samples; ++s) {
                    const int v = value(x, y, s);
                    const int i = x * samples + s;
                    if (depth == 16) {
                        row[static_cast<size_t>(2 * i)] = static_cast<BYTE>(v);
                        row[static_cast<size_t>(2 * i + 1)] = static_cast<BYTE>(v >> 8);
                    } else {
                        const int bit = i * depth;
                        row[static_cast<size_t>(bit / 8)] |=
                            static_cast<BYTE>(v << (8 - depth - bit % 8));
                    }
                }
            png_write_row(png, row.data());
        }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

TEST(PngCodec, ReadsPaletteGreySixteenBitAndInterlacedPictures) {
    const fs::path palette = TempFile("palette4.png");
    WritePng(palette, 5, 3, PNG_COLOR_TYPE_PALETTE, 4, false,
             [](int x, int y, int) { return (x + 5 * y) % 16; });
    const fs::path grey = TempFile("grey2.png");
    WritePng(grey, 5, 3, PNG_COLOR_TYPE_GRAY, 2, true, [](int x, int, int) { return x % 4; });
    const fs::path deep = TempFile("rgba16.png");
    WritePng(deep, 9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 16, true, [](int x, int y, int s) {
        return s == 3 ? 0 : (x * 1000 + y * 7000 + s * 30) & 0xFFFF;
    });

    // Every pixel as libpng itself expands it; palette pictures stay 8 bits.
    for (const auto& [path, bits] : {std::pair{palette, 8}, {grey, 8}, {deep, 24}}) {
        Picture picture;
        Decode(vic::PngInfo, vic::PngLoad, ReadBytes(path), &picture);
        ASSERT_EQ(picture.code, 0) << path << ": " << VicLastError();
        EXPECT_EQ(picture.info.bitsPerPixel, bits) << path;
        ExpectEqualsPng(picture, path);
    }
}

TEST(PngCodec, DamageFailsCleanly) {
    const fs::path path = TempFile("damage.png");
    WritePng(path, 64, 64, PNG_COLOR_TYPE_RGB, 8, false,
             [](int x, int y, int s) { return (x * 3 + y * 5 + s * 80) & 255; });
    const auto whole = ReadBytes(path);
    auto cut = whole;
    cut.resize(whole.size() - 200);
    auto flipped = whole;
    flipped[60] ^= 0xFF;  // inside the compressed data: its check sum fails
    auto huge = whole;
    huge[16] = huge[20] = 0x00;  // IHDR width and height: 0x00007530 = 30000
    huge[18] = huge[22] = 0x75;
    huge[19] = huge[23] = 0x30;
    for (const auto* file : {&cut, &flipped, &huge}) {
        Picture picture;
        Decode(vic::PngInfo, vic::PngLoad, *file, &picture);
        EXPECT_NE(picture.code, 0);
        EXPECT_STRNE(VicLastError(), "");
    }
}

// --- colour reduction -----------------------------------------------------

TEST(ColourQuantizer, KeepsFewColoursExactlyAndReducesManyToThePalette) {
    std::vector<BYTE> bgr(64 * 64 * 3);
    for (int i = 0; i < 64 * 64; ++i) {
        bgr[static_cast<size_t>(3 * i)] = static_cast<BYTE>(i % 64 * 4);
        bgr[static_cast<size_t>(3 * i + 1)] = static_cast<BYTE>(i / 64 * 4);
        bgr[static_cast<size_t>(3 * i + 2)] = static_cast<BYTE>((i * 37) % 200);
    }
    std::vector<BYTE> indices(64 * 64);
    std::vector<RGBQUAD> palette;
    ASSERT_TRUE(QuantizeColours({bgr.data(), 64, 64, 64 * 3}, 256, indices.data(), 64, &palette));
    EXPECT_EQ(palette.size(), 256u);
    long error = 0;
    for (int i = 0; i < 64 * 64; ++i) {
        const RGBQUAD& c = palette[indices[static_cast<size_t>(i)]];
        error += std::abs(c.rgbBlue - bgr[static_cast<size_t>(3 * i)]) +
                 std::abs(c.rgbGreen - bgr[static_cast<size_t>(3 * i + 1)]) +
                 std::abs(c.rgbRed - bgr[static_cast<size_t>(3 * i + 2)]);
    }
    EXPECT_LT(error / (64 * 64), 40);  // mean error over three channels

    // 200 colours stay exactly what they were.
    std::vector<BYTE> few(200 * 3);
    for (int i = 0; i < 200; ++i)
        few[static_cast<size_t>(3 * i)] = static_cast<BYTE>(i);
    std::vector<BYTE> fewIndices(200);
    ASSERT_TRUE(QuantizeColours({few.data(), 200, 1, 600}, 256, fewIndices.data(), 200, &palette));
    EXPECT_EQ(palette.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(palette[fewIndices[static_cast<size_t>(i)]].rgbBlue, i);
}

// --- fuzz regressions -----------------------------------------------------

TEST(CodecFuzzRegressions, EveryKeptInputFailsCleanlyOrLoads) {
    const struct {
        const char* folder;
        InfoFn info;
        LoadFn load;
    } readers[] = {{"tga", vic::TgaInfo, vic::TgaLoad},
                   {"pcx", vic::PcxInfo, vic::PcxLoad},
                   {"jpeg", vic::JpegInfo, vic::JpegLoad},
                   {"png", vic::PngInfo, vic::PngLoad}};
    for (const auto& reader : readers) {
        const fs::path folder = fs::path(FABULOR_SOURCE_DIR) / "tests/data/fuzz" / reader.folder;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            Picture picture;
            Decode(reader.info, reader.load, ReadBytes(entry.path()), &picture);
            if (picture.code != 0) {
                EXPECT_STRNE(VicLastError(), "") << entry.path();
            }
        }
    }
}

}  // namespace
