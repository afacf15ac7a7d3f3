// JPEG files through libjpeg-turbo. Read: baseline, progressive and
// arithmetic-coded files; grey pictures as 8-bit grey images, colour ones
// (YCbCr, RGB, CMYK and YCCK, Adobe's inverted CMYK included) as 24 bits.
// A file cut short gives what was decoded before its end, with a notice.
// Written: 24-bit colour, baseline, at the quality asked for.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "surface/codec_internal.h"

namespace vic {

namespace {

// A damaged progressive file can hold thousands of scans that each pass
// over the whole picture; beyond this many the file is refused.
constexpr int kMaxScans = 1000;

// The work of decoding: every scan of a progressive file passes over the
// picture (or one of its components), and a scan of a few bytes can pass
// over millions of blocks. Encoders write 6 to 13 scans; a picture may have
// this many passes over it, or any number up to kMaxScans as long as the
// scans times the pixels stay below the second number (a thousand scans of
// a megapixel, about a second's work).
constexpr long long kMaxPasses = 32;
constexpr long long kFreeScanPixels = 1LL << 30;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char text[JMSG_LENGTH_MAX];
    bool cutShort = false;  // the data ended before the picture did
    bool damaged = false;   // the coded data was damaged and decoding went on
};

[[noreturn]] void OnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->text);
    std::longjmp(errors->escape, 1);
}

// Trace messages are dropped; warnings of data that ended or was damaged
// are kept for a notice: the decoder goes on and fills in what is missing.
void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
            errors->cutShort = true;
            break;
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
            errors->damaged = true;
            break;
        default:
            break;  // such as extraneous bytes between segments: nothing is lost
    }
}

void OnProgress(j_common_ptr info) {
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (decoder->input_scan_number > kMaxScans) {
        std::snprintf(errors->text, sizeof errors->text, "more than %d scans", kMaxScans);
        std::longjmp(errors->escape, 1);
    }
    const long long pixels = static_cast<long long>(decoder->image_width) * decoder->image_height;
    if (decoder->input_scan_number * pixels > std::max(kFreeScanPixels, kMaxPasses * pixels)) {
        std::snprintf(errors->text, sizeof errors->text,
                      "%d scans over %u x %u pixels are more than a picture needs",
                      decoder->input_scan_number, decoder->image_width, decoder->image_height);
        std::longjmp(errors->escape, 1);
    }
}

// One decompressor over a file in memory; its state lives outside the
// setjmp frames so a jump back leaves nothing behind.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    std::vector<BYTE> inks;  // one row of CMYK samples

    Decoder() {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = OnError;
        errors.base.emit_message = OnMessage;
        progress.progress_monitor = OnProgress;
    }
    ~Decoder() { jpeg_destroy_decompress(&info); }
};

// Reads the header and checks the picture's size; kVicOk or a code.
int ReadHeader(Bytes file, Decoder* d) {
    jpeg_create_decompress(&d->info);
    d->info.progress = &d->progress;
    if (file.size == 0) return Fail(kVicNotThisFormat, "JPEG: the file is empty");
    jpeg_mem_src(&d->info, file.data, static_cast<unsigned long>(file.size));
    jpeg_read_header(&d->info, TRUE);
    const long long width = d->info.image_width;
    const long long height = d->info.image_height;
    if (int code = CheckPictureSize("JPEG", width, height)) return code;
    // Huffman coding spends at least one bit on every 8 × 8 block of the
    // first scan, so a file cannot describe more blocks than it has bits.
    const long long blockWidth = 8LL * d->info.max_h_samp_factor;
    const long long blockHeight = 8LL * d->info.max_v_samp_factor;
    const long long units =
        (width + blockWidth - 1) / blockWidth * ((height + blockHeight - 1) / blockHeight);
    if (!d->info.arith_code && units > 8LL * static_cast<long long>(file.size))
        return Fail(kVicTruncated,
                    "JPEG: %lld x %lld pixels need more data than the file's %zu bytes hold", width,
                    height, file.size);
    // Huffman coding spends at least a bit on every block of a scan, so a
    // complete file of the usual sampling holds at most 512 pixels a byte (a
    // grey progressive file of one flat colour); the check above allows a
    // file cut after its first scan. The arithmetic (QM) coder spends far
    // less than a bit on a block of a flat picture (a 4000 x 4000 one takes
    // 211 bytes): for it nothing sound bounds the pixels, and this does.
    if (width * height > kMaxPixelsPerByte * static_cast<long long>(file.size))
        return Fail(kVicTruncated,
                    "JPEG: %lld x %lld pixels are more than the file's %zu bytes can honestly hold",
                    width, height, file.size);
    switch (d->info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
        case JCS_CMYK:
        case JCS_YCCK:
            return kVicOk;
        default:
            return Fail(kVicUnsupported, "JPEG: the colour space of %d components is not read",
                        d->info.num_components);
    }
}

// Cyan, magenta, yellow and black to blue, green, red. Adobe's files hold
// the inverted inks, which are then the remaining light.
void CmykToBgr(const BYTE* cmyk, int width, bool inverted, BYTE* bgr) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = static_cast<BYTE>((y * k + 127) / 255);
        bgr[1] = static_cast<BYTE>((m * k + 127) / 255);
        bgr[2] = static_cast<BYTE>((c * k + 127) / 255);
    }
}

int Decode(Bytes file, Decoder* d, VicImage* image) {
    if (int code = ReadHeader(file, d)) return code;
    const bool grey = d->info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = d->info.jpeg_color_space == JCS_CMYK || d->info.jpeg_color_space == JCS_YCCK;
    const int width = static_cast<int>(d->info.image_width);
    const int height = static_cast<int>(d->info.image_height);
    if (int code = CheckTarget(image, width, height, grey ? 8 : 24)) return code;
    d->info.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (grey) SetGreyPalette(image);
    jpeg_start_decompress(&d->info);

    if (cmyk) d->inks.resize(static_cast<size_t>(width) * 4);
    while (d->info.output_scanline < d->info.output_height) {
        const int y = static_cast<int>(d->info.output_scanline);
        JSAMPROW row = cmyk ? d->inks.data() : image->Row(y);
        jpeg_read_scanlines(&d->info, &row, 1);
        if (cmyk) CmykToBgr(d->inks.data(), width, d->info.saw_Adobe_marker, image->Row(y));
    }
    jpeg_finish_decompress(&d->info);
    if (d->errors.cutShort)
        Notice(kCutShortNotice);
    else if (d->errors.damaged)
        Notice("the picture data is damaged; it is shown as far as it could be decoded");
    return kVicOk;
}

}  // namespace

int JpegInfo(Bytes file, VicFileInfo* info) {
    Decoder d;
    if (setjmp(d.errors.escape)) return Fail(kVicBadData, "JPEG: %s", d.errors.text);
    if (int code = ReadHeader(file, &d)) return code;
    const bool grey = d.info.jpeg_color_space == JCS_GRAYSCALE;
    info->width = static_cast<int>(d.info.image_width);
    info->height = static_cast<int>(d.info.image_height);
    info->bitsPerPixel = grey ? 8 : 24;
    info->fileBitsPerPixel = 8 * d.info.num_components;
    info->colours = grey ? 256 : 0;
    return kVicOk;
}

int JpegLoad(Bytes file, VicImage* image) {
    Decoder d;
    if (setjmp(d.errors.escape)) return Fail(kVicBadData, "JPEG: %s", d.errors.text);
    return Decode(file, &d, image);
}

}  // namespace vic

using namespace vic;

namespace {

struct Encoder {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    std::FILE* file = nullptr;

    Encoder() {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = OnError;
        errors.base.emit_message = OnMessage;
    }
    ~Encoder() {
        jpeg_destroy_compress(&info);
        if (file) std::fclose(file);
    }
};

int Encode(const char* name, const VicImage* image, int quality, Encoder* e) {
    jpeg_create_compress(&e->info);
    e->file = std::fopen(name, "wb");
    if (!e->file) return Fail(kVicCannotOpen, "%s does not open for writing", name);
    jpeg_stdio_dest(&e->info, e->file);
    e->info.image_width = static_cast<JDIMENSION>(image->width);
    e->info.image_height = static_cast<JDIMENSION>(image->height);
    e->info.input_components = 3;
    e->info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&e->info);
    jpeg_set_quality(&e->info, quality, TRUE);
    jpeg_start_compress(&e->info, TRUE);
    while (e->info.next_scanline < e->info.image_height) {
        JSAMPROW row = const_cast<BYTE*>(image->Row(static_cast<int>(e->info.next_scanline)));
        jpeg_write_scanlines(&e->info, &row, 1);
    }
    jpeg_finish_compress(&e->info);
    const bool written = std::ferror(e->file) == 0;
    const bool closed = std::fclose(e->file) == 0;
    e->file = nullptr;
    if (!written || !closed) return Fail(kVicCannotWrite, "cannot write %s", name);
    return kVicOk;
}

}  // namespace

int savejpg(const char* name, const VicImage* image, int quality) {
    if (!name || !image || !image->pixels || image->bitsPerPixel != 24)
        return Fail(kVicBadArgument, "savejpg: needs a file name and a 24-bit image");
    if (quality < 1 || quality > 100)
        return Fail(kVicBadArgument, "savejpg: quality %d is outside 1 to 100", quality);
    int code = kVicOk;
    {
        Encoder e;
        if (setjmp(e.errors.escape))
            code = Fail(kVicCannotWrite, "JPEG: %s", e.errors.text);
        else
            code = Encode(name, image, quality, &e);
    }
    if (code != kVicOk) {
        std::remove(name);
        return code;
    }
    ClearError();
    return kVicOk;
}
