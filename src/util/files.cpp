#include "util/files.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "util/error_box.h"

namespace fs = std::filesystem;

int FileExists(const char* path) {
    struct stat info {};
    return path != nullptr && stat(path, &info) == 0 ? 1 : 0;
}

int IsDirectory(const char* path) {
    struct stat info {};
    if (path == nullptr || stat(path, &info) != 0) return 0;
    return S_ISDIR(info.st_mode) ? 1 : 0;
}

int GetDiskBytes(const char* path, std::uint64_t* freeBytes, std::uint64_t* usedBytes,
                 std::uint64_t* totalBytes) {
    std::uint64_t available = 0;
    std::uint64_t capacity = 0;
    std::error_code error;
    if (path == nullptr) {
        error = std::make_error_code(std::errc::invalid_argument);
    } else {
        const fs::space_info space = fs::space(path, error);
        if (!error) {
            available = space.available;
            capacity = space.capacity;
        }
    }
    if (error) available = capacity = 0;
    if (freeBytes != nullptr) *freeBytes = available;
    if (totalBytes != nullptr) *totalBytes = capacity;
    if (usedBytes != nullptr) *usedBytes = capacity - available;
    if (error) {
        // The box appends the system's text for errno.
        errno = error.value();
        SystemErrorBox("GetDiskBytes", "GetDiskFreeSpace (%s)", path != nullptr ? path : "(null)");
        return 0;
    }
    return 1;
}

int RemoveFiles(const char* folder, const char* pattern) {
    if (folder == nullptr || pattern == nullptr) return 0;

    // Names are collected first and removed in sorted order, so that a
    // failure always stops at the same file whatever order the folder lists.
    std::vector<std::string> names;
    bool found = false;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (fnmatch(pattern, name.c_str(), FNM_CASEFOLD) != 0) continue;
        found = true;
        std::error_code typeError;
        if (name[0] == '.' || it->is_directory(typeError)) continue;
        names.push_back(name);
    }
    if (!found) return 0;
    std::sort(names.begin(), names.end());

    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    for (const std::string& name : names) {
        const std::string fullName = prefix + name;
        if (std::remove(fullName.c_str()) != 0) {
            ErrorBox("ERROR: could not remove(%s)", fullName.c_str());
            return 0;
        }
    }
    return 1;
}

int CutAtFirstDot(char* name) {
    if (name == nullptr) return 0;
    char* dot = std::strchr(name, '.');
    if (dot == nullptr) return static_cast<int>(std::strlen(name));
    *dot = '\0';
    return static_cast<int>(dot - name);
}

int RemoveWhitespace(char* s) {
    if (s == nullptr) return 0;
    char* kept = s;
    for (const char* c = s; *c != '\0'; ++c) {
        if (std::isspace(static_cast<unsigned char>(*c)) == 0) *kept++ = *c;
    }
    *kept = '\0';
    return static_cast<int>(kept - s);
}

int CountNonWhitespace(const std::string& s) {
    std::string copy = s;
    return RemoveWhitespace(copy.data());
}

int IsEven(int n) {
    return n / 2 * 2 == n ? 1 : 0;
}
