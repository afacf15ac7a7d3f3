#include "support/png_reader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* why = static_cast<std::string*>(png_get_error_ptr(png));
    if (why) *why = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything that lives across setjmp is set up before it, in plain storage.
bool Decode(std::FILE* file, PngPicture* out, std::string* why) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, why, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out->width = static_cast<int>(png_get_image_width(png, info));
    out->height = static_cast<int>(png_get_image_height(png, info));
    out->rgba.assign(static_cast<size_t>(out->width) * out->height * 4, 0);
    rows.resize(static_cast<size_t>(out->height));
    for (int y = 0; y < out->height; ++y)
        rows[static_cast<size_t>(y)] = out->rgba.data() + static_cast<size_t>(y) * out->width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

bool ReadPngFile(const std::filesystem::path& path, PngPicture* out, std::string* why) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (why) *why = "cannot open " + path.string();
        return false;
    }
    return Decode(file.get(), out, why);
}
