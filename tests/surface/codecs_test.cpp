// The imaging layer's codecs, driven through their memory readers and the
// file calls: TGA and PCX variants, JPEG colour spaces and damage, PNG
// kinds, and the fuzz regression files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on
#include <zlib.h>

#include "dib_builder.h"
#include "support/png_reader.h"
#include "support/scratch_dir.h"
#include "support/shared_dir.h"
#include "surface/codec_internal.h"
#include "surface/vic_image.h"

namespace fs = std::filesystem;

namespace {

using InfoFn = int (*)(vic::Bytes, VicFileInfo*);
using LoadFn = int (*)(vic::Bytes, VicImage*);

std::vector<BYTE> FromHex(const char* hex) {
    std::vector<BYTE> out;
    for (; hex[0] && hex[1]; hex += 2)
        out.push_back(static_cast<BYTE>(std::stoi(std::string(hex, 2), nullptr, 16)));
    return out;
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

// The reader's answer to a file it should refuse: 0 or a kVic code.
int Code(InfoFn infoFn, LoadFn loadFn, const std::vector<BYTE>& file) {
    Picture picture;
    Decode(infoFn, loadFn, file, &picture);
    return picture.code;
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
    h.reserve(18 + static_cast<size_t>(idLength) + 64);
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

TEST(TgaCodec, ReadsMappedRunsAcrossRowsAndKeepsWhatACutShortFileHad) {
    // Map of 15-bit entries starting at index 2 (two entries: red, green),
    // 16-bit indices, RLE: a run of 3 green then a raw packet of 1 red; the
    // run crosses from the bottom row into the top row. An ID field of 5
    // bytes comes first.
    auto mapped = TgaHeader(9, 2, 2, 16, 0, 2, 15, 5);
    mapped[3] = 2;  // first map entry
    Append(&mapped, {0x00, 0x7C, 0xE0, 0x03, 0x82, 3, 0, 0x00, 2, 0});
    EXPECT_EQ(Pixels(vic::TgaInfo, vic::TgaLoad, mapped), (Colours{kGreen, kRed, kGreen, kGreen}));

    auto cut = TgaHeader(10, 4, 1, 24, 0x20);
    Append(&cut, {0x81, 10, 20, 30, 0x81});  // two pixels, then a packet with no pixel
    EXPECT_EQ(Pixels(vic::TgaInfo, vic::TgaLoad, cut),
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
        EXPECT_EQ(Code(vic::TgaInfo, vic::TgaLoad, c.file), c.code) << VicLastError();
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

TEST(PcxCodec, ReadsEveryLayoutOfIndicesAndPlanes) {
    auto pcx = [](int bits, int planes, int width, int height, int bytesPerLine,
                  std::initializer_list<int> data) {
        auto file = PcxHeader(bits, planes, width, height, bytesPerLine);
        Append(&file, data);
        return file;
    };
    const struct {
        std::vector<BYTE> file;
        Colours expected;
    } cases[] = {
        // One bit, 3 bytes a line where 1 would do.
        {pcx(1, 1, 3, 2, 3, {0xA0, 0xC2, 0xFF, 0x40, 0xC2, 0x00}),
         {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}},
        // Four planes of one bit: pixel 0 = index 0b1010 = 10, pixel 1 = 0b0101 = 5.
        {pcx(1, 4, 2, 1, 2, {0x40, 0, 0x80, 0, 0x40, 0, 0x80, 0}),
         {HeaderColour(10), HeaderColour(5)}},
        {pcx(4, 1, 3, 1, 2, {0x3C, 0x70}), {HeaderColour(3), HeaderColour(12), HeaderColour(7)}},
        {pcx(2, 1, 4, 1, 2, {0x1B, 0x00}),
         {HeaderColour(0), HeaderColour(1), HeaderColour(2), HeaderColour(3)}},
        // 24 bits, each line R R G G B B; a run of 7 crosses into the second line.
        {pcx(8, 3, 2, 2, 2, {0xC7, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}),
         {RGB(0x10, 0x10, 0x10), RGB(0x10, 0x10, 0x10), RGB(0x10, 0x30, 0x50),
          RGB(0x20, 0x40, 0x60)}},
        // A run count without its value ends the data; no end palette: grey.
        // (The end palette is read back in image_files_test.cpp's round trips.)
        {pcx(8, 1, 4, 1, 4, {0x05, 0xC3}), {RGB(5, 5, 5), kBlack, kBlack, kBlack}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pixels(vic::PcxInfo, vic::PcxLoad, c.file), c.expected);
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
    for (const auto& [file, code] : cases)
        EXPECT_EQ(Code(vic::PcxInfo, vic::PcxLoad, file), code) << VicLastError();
}

// --- JPEG -----------------------------------------------------------------

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
    EXPECT_NE(Code(vic::JpegInfo, vic::JpegLoad, garbage), 0);
    EXPECT_STRNE(VicLastError(), "");
}

// An 8 × 8 JPEG of CMYK samples as Adobe's programs store them, inverted:
// 255 = no ink. Full magenta ink only.
const char* const kAdobeMagentaJpeg =
    "FFD8FFEE000E41646F626500640000000000FFDB00430001010101010101010101010101010101010101010101"
    "010101010101010101010101010101010101010101010101010101010101010101010101010101010101FFC000"
    "140800080008044311004D11005911004B1100FFC4001500010100000000000000000000000000000A0BFFC400"
    "14100100000000000000000000000000000000FFDA000E0443004D0059004B00003F007F09FF009FC1FC3FFFD9";

TEST(JpegCodec, AdobeCmykIsInvertedInk) {
    Picture picture;
    Decode(vic::JpegInfo, vic::JpegLoad, FromHex(kAdobeMagentaJpeg), &picture);
    ASSERT_EQ(picture.code, 0) << VicLastError();
    const COLORREF c = picture.At(4, 4);
    EXPECT_NEAR(GetRValue(c), 255, 3);
    EXPECT_NEAR(GetGValue(c), 0, 3);
    EXPECT_NEAR(GetBValue(c), 255, 3);
}

// A JPEG made by libjpeg itself: grey or colour, Huffman or arithmetic
// coded, baseline or progressive; sample(x, y) gives a pixel's level.
template <typename Sample>
std::vector<BYTE> EncodeJpeg(int width, int height, bool arithmetic, bool progressive, bool grey,
                             Sample sample) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    c.arith_code = arithmetic ? TRUE : FALSE;
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * c.input_components);
    while (c.next_scanline < c.image_height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<JSAMPLE>(sample(static_cast<int>(i) / c.input_components,
                                                 static_cast<int>(c.next_scanline)));
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<BYTE> file(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return file;
}

// The file with its frame header (after the SOFn marker) claiming size x size pixels.
std::vector<BYTE> ClaimingSize(std::vector<BYTE> file, int size) {
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF &&
            (file[i + 1] == 0xC0 || file[i + 1] == 0xC2 || file[i + 1] == 0xC9)) {
            for (size_t at : {i + 5, i + 7}) {
                file[at] = static_cast<BYTE>(size >> 8);
                file[at + 1] = static_cast<BYTE>(size & 0xFF);
            }
            return file;
        }
    ADD_FAILURE() << "no frame header";
    return file;
}

// A baseline file of 8 x 8 claiming 20000 x 20000 has fewer bits than
// blocks. An arithmetic-coded picture of one flat colour costs almost
// nothing a pixel: 16 x 16 such pixels claiming 8000 x 8000 are a file of a
// few hundred bytes that would fill 192 MB (or at 30000 x 16000, 1.4 GB).
TEST(JpegCodec, RefusesFilesClaimingMorePixelsThanTheyCanHold) {
    EXPECT_EQ(Code(vic::JpegInfo, vic::JpegLoad,
                   ClaimingSize(EncodeJpeg(8, 8, false, false, false, [](int, int) { return 0; }),
                                20000)),
              kVicTruncated);

    const auto flat =
        ClaimingSize(EncodeJpeg(16, 16, true, false, false, [](int, int) { return 128; }), 8000);
    EXPECT_EQ(Code(vic::JpegInfo, vic::JpegLoad, flat), kVicTruncated);
    EXPECT_EQ(std::string(VicLastError()), "JPEG: 8000 x 8000 pixels are more than the file's " +
                                               std::to_string(flat.size()) +
                                               " bytes can honestly hold");

    // Real arithmetic-coded pictures load, progressive ones too.
    for (bool progressive : {false, true}) {
        Picture real;
        Decode(vic::JpegInfo, vic::JpegLoad,
               EncodeJpeg(256, 256, true, progressive, false,
                          [](int x, int y) { return (x * 3 + y) % 256; }),
               &real);
        EXPECT_EQ(real.code, 0) << VicLastError();
        EXPECT_EQ(real.image.width, 256);
    }
}

// A progressive scan of a few bytes can pass over every block of the
// picture; a file of a thousand copies of one would take many seconds.
TEST(JpegCodec, RefusesProgressiveFilesWithMoreScansThanAPictureNeeds) {
    auto file = EncodeJpeg(4096, 4096, false, true, true,
                           [](int x, int y) { return (x / 16 * 7 + y / 16 * 3) % 256; });
    // The scans (SOS segments and their coded data); the last, a cheap
    // refinement of the AC coefficients, is repeated 100 times.
    size_t lastScan = 0, lastEnd = 0;
    for (size_t i = 2; i + 3 < file.size();) {
        if (file[i] != 0xFF) break;
        const int marker = file[i + 1];
        if (marker == 0xD9) break;
        size_t end = i + 2 + (file[i + 2] << 8 | file[i + 3]);
        if (marker == 0xDA) {
            while (end + 1 < file.size() && !(file[end] == 0xFF && file[end + 1] != 0 &&
                                              (file[end + 1] < 0xD0 || file[end + 1] > 0xD7)))
                ++end;
            lastScan = i;
            lastEnd = end;
        }
        i = end;
    }
    ASSERT_GT(lastEnd, lastScan);
    const std::vector<BYTE> scan(file.begin() + static_cast<long>(lastScan),
                                 file.begin() + static_cast<long>(lastEnd));
    for (int i = 0; i < 100; ++i)
        file.insert(file.begin() + static_cast<long>(lastEnd), scan.begin(), scan.end());
    EXPECT_EQ(Code(vic::JpegInfo, vic::JpegLoad, file), kVicBadData);
    EXPECT_STREQ(VicLastError(),
                 "JPEG: 65 scans over 4096 x 4096 pixels are more than a picture needs");
}

// --- PNG ------------------------------------------------------------------

// 5 × 3 of 4-bit palette indices; 5 × 3 of 2-bit grey, interlaced; 3 × 3 of
// 16-bit RGBA, interlaced, alpha 0.
const char* const kPalettePng =
    "89504E470D0A1A0A0000000D4948445200000005000000030403000000A918D8CB00000012504C544500FF0928"
    "D70950AF09788709A05F09C83709A94019FF000000144944415478DA6360547660507665607065540000073901"
    "331FD8281A0000000049454E44AE426082";
const char* const kGreyPng =
    "89504E470D0A1A0A0000000D494844520000000500000003020000000143EAB213000000144944415478DA6360"
    "0082060605860220946600000AA5019C1A134BB80000000049454E44AE426082";
const char* const kDeepPng =
    "89504E470D0A1A0A0000000D494844520000000300000003100600000171BF596A000000544944415478DA6360"
    "6060D4618A606060700B70AFF1580164CC71989B336F0603C3A3098FF73C79011450D65009516D0032F6671C98"
    "72F00090E1A7E0EF1350C1C050E8515452BC8081614AC1D439D34E30300000628218430271348C000000004945"
    "4E44AE426082";

TEST(PngCodec, ReadsPaletteGreySixteenBitAndInterlacedPictures) {
    // Every pixel as libpng itself expands it; palette pictures stay 8 bits.
    for (const auto& [hex, bits] : {std::pair{kPalettePng, 8}, {kGreyPng, 8}, {kDeepPng, 24}}) {
        const fs::path path = ProgramScratch() / "kind.png";
        WriteBytes(path, FromHex(hex));
        Picture picture;
        Decode(vic::PngInfo, vic::PngLoad, ReadBytes(path), &picture);
        ASSERT_EQ(picture.code, 0) << hex << ": " << VicLastError();
        EXPECT_EQ(picture.info.bitsPerPixel, bits) << hex;
        ExpectEqualsPng(picture, path);
    }
}

TEST(PngCodec, DamageFailsCleanly) {
    const auto whole = FromHex(kDeepPng);
    auto cut = whole;
    cut.resize(whole.size() - 30);  // within the compressed data
    auto flipped = whole;
    flipped[60] ^= 0xFF;  // inside the compressed data: its check sum fails
    auto huge = whole;
    huge[16] = huge[20] = 0x00;  // IHDR width and height: 0x00007530 = 30000
    huge[18] = huge[22] = 0x75;
    huge[19] = huge[23] = 0x30;
    for (const auto* file : {&cut, &flipped, &huge}) {
        EXPECT_NE(Code(vic::PngInfo, vic::PngLoad, *file), 0);
        EXPECT_STRNE(VicLastError(), "");
    }
}

// A grey PNG of one-bit pixels, all 0, as compact as deflate makes it.
std::vector<BYTE> BlankPng(unsigned width, unsigned height) {
    const size_t rowBytes = (width + 7) / 8;
    std::vector<BYTE> raw((rowBytes + 1) * height, 0);  // each row: filter 0, then its bytes
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<BYTE> packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9),
              Z_OK);
    packed.resize(packedSize);
    std::vector<BYTE> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&file](const char* type, const std::vector<BYTE>& data) {
        const size_t at = file.size();
        file.resize(at + 4);
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<size_t>(i)] = static_cast<BYTE>(data.size() >> (24 - 8 * i));
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), data.begin(), data.end());
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<BYTE>(crc >> (24 - 8 * i)));
    };
    std::vector<BYTE> header(13, 0);
    for (int i = 0; i < 4; ++i) {
        header[static_cast<size_t>(i)] = static_cast<BYTE>(width >> (24 - 8 * i));
        header[4 + static_cast<size_t>(i)] = static_cast<BYTE>(height >> (24 - 8 * i));
    }
    header[8] = 1;  // one bit, grey
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return file;
}

// Deflate is honest up to 8256 one-bit pixels a byte: 8 KB that unpack to
// 64 megapixels cost seconds and hundreds of megabytes, and are refused;
// a blank page of 16 megapixels still loads.
TEST(PngCodec, RefusesTinyFilesOfHugeFlatPicturesButTakesABlankPage) {
    const auto bomb = BlankPng(8000, 8000);
    ASSERT_LT(bomb.size(), 9000u);
    EXPECT_EQ(Code(vic::PngInfo, vic::PngLoad, bomb), kVicTruncated);
    EXPECT_EQ(std::string(VicLastError()), "PNG: 8000 x 8000 pixels are too many for a file of " +
                                               std::to_string(bomb.size()) + " bytes");

    Picture page;
    Decode(vic::PngInfo, vic::PngLoad, BlankPng(4000, 4000), &page);
    EXPECT_EQ(page.code, 0) << VicLastError();
    EXPECT_EQ(page.image.width, 4000);
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
        for (const auto& entry : fs::directory_iterator(folder))
            if (Code(reader.info, reader.load, ReadBytes(entry.path())) != 0) {
                EXPECT_STRNE(VicLastError(), "") << entry.path();
            }
    }
}

}  // namespace
