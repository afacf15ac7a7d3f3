#include "document/disk_cache.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "util/error_box.h"
#include "util/files.h"

namespace DiskCache {
namespace {

struct Entry {
    // 0: free. Otherwise when the file was last written or read. A counter
    // rather than seconds, so that uses within one second keep their order.
    std::uint64_t stamp = 0;
    std::string path;
    std::string document;
};

std::array<Entry, kEntries> table;
std::uint64_t clock = 0;
bool enabled = true;

void Free(Entry& e) {
    e = Entry{};
}

void MakeRoom() {
    Entry* oldest = nullptr;
    for (Entry& e : table) {
        if (e.stamp == 0) return;
        if (!oldest || e.stamp < oldest->stamp) oldest = &e;
    }
    if (!FileExists(oldest->path.c_str())) {
        ErrorBox("Cache image does not exist:\n<%s>", oldest->path.c_str());
    } else if (std::remove(oldest->path.c_str()) != 0) {
        ErrorBox("Could not remove cache image:\n<%s>", oldest->path.c_str());
    }
    Free(*oldest);
}

}  // namespace

std::string FileName(const std::string& docName, int index, int k) {
    if (docName.empty() || index < 1 || (k != 1 && k != 2 && k != 4)) return {};
    return TempFolder() + "/" + docName + "_" + std::to_string(index) + "-" + std::to_string(k) +
           ".BMP";
}

void SetEnabled(bool on) {
    enabled = on;
}
bool Enabled() {
    return enabled;
}

void SaveToCache(CDADC* surface, const std::string& docName, int index, int k) {
    if (!enabled || !surface) return;
    const std::string path = FileName(docName, index, k);
    if (WriteCacheFile(*surface, path)) Register(path, docName);
}

bool WriteCacheFile(CDADC& surface, const std::string& path) {
    if (path.empty()) return false;
    if (FileExists(path.c_str())) return true;
    if (!surface.WriteBmpFile(path.c_str())) {
        ErrorBox("Could not save cache image:\n<%s>", path.c_str());
        return false;
    }
    return true;
}

void Register(const std::string& path, const std::string& docName) {
    if (path.empty() || !FileExists(path.c_str())) return;
    for (const Entry& e : table) {
        if (e.stamp != 0 && e.path == path) return;
    }
    MakeRoom();
    for (Entry& e : table) {
        if (e.stamp == 0) {
            e = {++clock, path, docName};
            return;
        }
    }
}

int ReadCached(CDADC* surface, const std::string& docName, int index, int k) {
    const std::string path = FileName(docName, index, k);
    if (path.empty() || !surface || !FileExists(path.c_str())) return 0;
    if (!surface->ReadBmpFile(path.c_str())) {
        ErrorBox("ERROR: Could not read cached image <%s>\ninto CDADC\n", path.c_str());
        return 0;
    }
    for (Entry& e : table) {
        if (e.stamp != 0 && e.path == path) e.stamp = ++clock;
    }
    return 1;
}

void RemoveDocCache(const std::string& docName) {
    for (Entry& e : table) {
        if (e.stamp == 0 || e.document != docName) continue;
        if (FileExists(e.path.c_str())) {
            if (std::remove(e.path.c_str()) != 0) {
                ErrorBox("Could not remove cache image:\n<%s>", e.path.c_str());
            }
        } else {
            ErrorBox("Cache image for doc <%s> does not exist:\n<%s>\n", docName.c_str(),
                     e.path.c_str());
        }
        Free(e);
    }
}

void ResetForTests() {
    for (Entry& e : table)
        Free(e);
}

int CountForTests() {
    int n = 0;
    for (const Entry& e : table)
        n += e.stamp != 0;
    return n;
}

}  // namespace DiskCache
