#include "bench_photo.h"

#include <filesystem>
#include <random>
#include <string>

#include "surface/cdadc.h"
#include "surface/image_files.h"

CDADC& SyntheticPicture() {
    static CDADC* picture = [] {
        auto* pic = new CDADC(2000, 1072);
        std::mt19937 gen(1);
        for (int y = 0; y < pic->height; ++y) {
            BYTE* row = pic->Row(y);
            for (int x = 0; x < pic->width; ++x) {
                const unsigned noise = gen() & 31;
                row[3 * x] = static_cast<BYTE>((x / 8 + noise) & 255);
                row[3 * x + 1] = static_cast<BYTE>((y / 5 + noise) & 255);
                row[3 * x + 2] = static_cast<BYTE>(((x + y) / 12 + noise) & 255);
            }
        }
        return pic;
    }();
    return *picture;
}

CDADC& BenchPicture(bool* isPhoto) {
    static CDADC* photo = []() -> CDADC* {
        const std::string name =
            std::string(FABULOR_SOURCE_DIR) + "/../shared/testimages/photos/xmp_test.jpg";
        if (!std::filesystem::exists(name)) return nullptr;
        HGLOBAL dib = VicLoadImageFile(name.c_str());
        if (!dib) return nullptr;
        CDADC* loaded = CDADC::CreateFromDib(dib);
        GlobalFree(dib);
        return loaded;
    }();
    if (isPhoto) *isPhoto = photo != nullptr;
    return photo ? *photo : SyntheticPicture();
}
