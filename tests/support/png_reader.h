// Reads reference PNG pictures for comparisons.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // top row first, red, green, blue, alpha

    const std::uint8_t* Pixel(int x, int y) const {
        return rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
    }
};

// Any PNG (grey, palette, RGB, with or without alpha, 1 to 16 bits) as 8-bit
// RGBA, with the stored values as they are: no gamma conversion. False, with
// the reason in *why, when the file cannot be read.
bool ReadPngFile(const std::filesystem::path& path, PngPicture* out, std::string* why = nullptr);
