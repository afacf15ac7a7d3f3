#include "engine/figure_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "surface/cdadc.h"
#include "surface/image_files.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;

namespace {

constexpr char kNamePrefix[] = "TEMPBITMAP";
// A figure file is a 256 x 256 picture; anything near a megabyte is not one.
constexpr std::uintmax_t kLargestFigureFile = 1 << 20;

std::string NameOf(int n) {
    return kNamePrefix + std::to_string(n);
}

// Creates the file of the first free name, failing rather than replacing a
// file another writer made meanwhile; -1 with errno set on failure.
int CreateFreeFigureFile(std::string* name, std::string* path) {
    std::error_code ec;
    fs::create_directories(TempFolder(), ec);
    for (int n = 0; n < 1000000; ++n) {
        *name = NameOf(n);
        *path = FigurePath(name->c_str());
        const int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The sizes a BMP file's header claims, read before anything is written or
// allocated for it.
bool HonestFigureHeader(std::string_view bytes, std::string* why) {
    const auto u16 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const auto i32 = [&](size_t at) {
        return static_cast<std::int32_t>(u16(at) | u16(at + 2) << 16);
    };
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') {
        *why = "is not a BMP picture";
        return false;
    }
    // OS/2 headers give 16-bit sizes, the others 32-bit ones.
    const bool core = i32(14) == 12;
    const long long width = core ? u16(18) : i32(18);
    const long long height = core ? u16(20) : (bytes.size() >= 26 ? i32(22) : 0);
    if (width < 1 || width > kLargestFigureSide || height == 0 || height > kLargestFigureSide ||
        height < -kLargestFigureSide) {
        *why = "claims a picture of " + std::to_string(width) + " x " +
               std::to_string(height < 0 ? -height : height) + " pixels; a figure has at most " +
               std::to_string(kLargestFigureSide) + " a side";
        return false;
    }
    return true;
}

bool FileHolds(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    if (fs::file_size(path, ec) != bytes.size() || ec) return false;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file && text.str() == bytes;
}

// The figure files of the temporary folder.
std::vector<fs::directory_entry> FigureFiles() {
    std::vector<fs::directory_entry> files;
    std::error_code ec;
    for (fs::directory_iterator it(TempFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string stem = it->path().stem().string();
        if (it->path().extension() == ".BMP" && IsFigureName(stem) && it->is_regular_file(ec))
            files.push_back(*it);
    }
    return files;
}

// A figure file that already holds bytes: a recipe replayed again and
// again brings the same figure each time.
bool FindFigureHolding(std::string_view bytes, std::string* name) {
    for (const fs::directory_entry& file : FigureFiles()) {
        std::error_code ec;
        if (file.file_size(ec) == bytes.size() && !ec && FileHolds(file.path().string(), bytes)) {
            *name = file.path().stem().string();
            return true;
        }
    }
    return false;
}

int mostFigureFiles = kMostFigureFiles;

// The oldest figure files go once there are too many; kept is never one of them.
void KeepFolderBounded(const std::string& kept) {
    std::vector<fs::directory_entry> files = FigureFiles();
    if (files.size() <= static_cast<size_t>(mostFigureFiles)) return;
    std::error_code ec;
    std::sort(files.begin(), files.end(), [&ec](const auto& a, const auto& b) {
        return a.last_write_time(ec) < b.last_write_time(ec);
    });
    size_t excess = files.size() - static_cast<size_t>(mostFigureFiles);
    for (const fs::directory_entry& file : files) {
        if (excess == 0) break;
        if (file.path().stem() == kept) continue;
        if (fs::remove(file.path(), ec)) --excess;
    }
}

}  // namespace

std::string FigurePath(const char* name) {
    return TempFolder() + "/" + name + ".BMP";
}

bool IsFigureName(std::string_view name) {
    const std::string_view prefix = kNamePrefix;
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 ||
        name.substr(0, prefix.size()) != prefix)
        return false;
    for (char c : name.substr(prefix.size()))
        if (c < '0' || c > '9') return false;
    return true;
}

CDADC* LoadFigure(const char* name) {
    if (name == nullptr || name[0] == '\0') return nullptr;
    return CDADC::LoadBmpFile(FigurePath(name).c_str());
}

CDADC* NewFigure() {
    auto figure = std::make_unique<CDADC>(kFigureSide, kFigureSide);
    return figure->pBits ? figure.release() : nullptr;
}

bool StretchPictureOnto(CDADC* figure, const char* path) {
    if (figure == nullptr || figure->pBits == nullptr) return false;
    HGLOBAL dib = VicLoadImageFile(path);
    if (dib == nullptr) return false;
    std::unique_ptr<CDADC> picture(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    if (!picture) return false;
    figure->pDC->StretchBlt(0, 0, figure->width, figure->height, picture->pDC, 0, 0, picture->width,
                            picture->height, SRCCOPY);
    return true;
}

bool StoreFigure(CDADC* figure, std::string* name, std::string* path) {
    std::error_code ec;
    fs::create_directories(TempFolder(), ec);
    for (int n = 0;; ++n) {
        *name = NameOf(n);
        *path = FigurePath(name->c_str());
        if (!fs::exists(*path, ec)) break;
    }
    if (figure != nullptr && figure->WriteBmpFile(path->c_str())) return true;
    fs::remove(*path, ec);
    return false;
}

bool ReadFigureBytes(const char* name, std::string* bytes, std::string* why) {
    const std::string path = FigurePath(name);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        *why = "the figure bitmap " + path + " cannot be read: " + ec.message();
        return false;
    }
    if (size > kLargestFigureFile) {
        *why = "the figure bitmap " + path + " is too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) {
        *why = "the figure bitmap " + path + " cannot be read: " + std::strerror(errno);
        return false;
    }
    *bytes = text.str();
    return true;
}

bool StoreFigureBytes(std::string_view bytes, const char* preferred, std::string* name,
                      bool* created, std::string* why) {
    *created = false;
    if (!HonestFigureHeader(bytes, why)) return false;
    if (preferred != nullptr && IsFigureName(preferred) &&
        FileHolds(FigurePath(preferred), bytes)) {
        *name = preferred;
        return true;
    }
    if (FindFigureHolding(bytes, name)) return true;

    std::string path;
    const int fd = CreateFreeFigureFile(name, &path);
    if (fd < 0) {
        *why = "cannot store the figure bitmap in " + TempFolder() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(path, ec);
        *why = "cannot write the figure bitmap " + path + ": " + std::strerror(error);
        return false;
    }
    std::unique_ptr<CDADC> check(CDADC::LoadBmpFile(path.c_str()));
    if (!check) {
        fs::remove(path, ec);
        *why = "is not a BMP picture this program reads";
        return false;
    }
    *created = true;
    KeepFolderBounded(*name);
    return true;
}

void LimitFigureFilesForTests(int most) {
    mostFigureFiles = most > 0 ? most : kMostFigureFiles;
}
