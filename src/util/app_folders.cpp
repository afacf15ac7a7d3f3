#include "util/app_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace {

// The folders are set on the user-interface thread and read by the
// generation thread too (Op Art's figure file).
std::mutex folderLock;
std::string mainFolder;     // empty: the default
std::string tempFolder;     // empty: follows the main folder
std::string pictureFolder;  // empty: the home folder

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* user = getpwuid(getuid());
    if (user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/') return user->pw_dir;
    return "/tmp";
}

}  // namespace

std::string DefaultMainFolder() {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the XDG rules ask.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string base = dataHome != nullptr && dataHome[0] == '/'
                           ? WithoutTrailingSlash(dataHome)
                           : WithoutTrailingSlash(HomeFolder()) + "/.local/share";
    if (base == "/") base.clear();
    return base + "/Fabulor";
}

std::string MainFolder() {
    std::lock_guard lock(folderLock);
    return mainFolder.empty() ? DefaultMainFolder() : mainFolder;
}

void SetMainFolder(const std::string& folder) {
    std::lock_guard lock(folderLock);
    mainFolder = WithoutTrailingSlash(folder);
}

std::string TempFolder() {
    std::lock_guard lock(folderLock);
    if (!tempFolder.empty()) return tempFolder;
    const std::string main = mainFolder.empty() ? DefaultMainFolder() : mainFolder;
    return (main == "/" ? "" : main) + "/" + kTempSubfolder;
}

void SetTempFolder(const std::string& folder) {
    std::lock_guard lock(folderLock);
    tempFolder = WithoutTrailingSlash(folder);
}

std::string PictureFolder() {
    std::lock_guard lock(folderLock);
    return pictureFolder.empty() ? HomeFolder() : pictureFolder;
}

void SetPictureFolder(const std::string& folder) {
    std::lock_guard lock(folderLock);
    pictureFolder = WithoutTrailingSlash(folder);
}
