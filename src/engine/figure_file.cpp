#include "engine/figure_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

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

bool FileHolds(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    if (fs::file_size(path, ec) != bytes.size() || ec) return false;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file && text.str() == bytes;
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
                      std::string* why) {
    if (preferred != nullptr && IsFigureName(preferred) &&
        FileHolds(FigurePath(preferred), bytes)) {
        *name = preferred;
        return true;
    }
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
    return true;
}
