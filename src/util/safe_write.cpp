#include "util/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Symbolic links followed one by one, as the system would; a dangling last
// link names the file to create.
bool ResolveLinks(const std::string& path, std::string* target, std::string* why) {
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(current, ec);
        if (!fs::is_symlink(status)) {
            *target = current.string();
            return true;
        }
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) {
            *why = "cannot follow the link: " + ec.message();
            return false;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    *why = "too many levels of symbolic links";
    return false;
}

std::string TemporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> serial{0};
    // Appended piece by piece: GCC 12 at -O3 takes `"." + string` for an
    // overlapping copy.
    std::string name = ".";
    name.append(target.stem().string())
        .append(".part-")
        .append(std::to_string(getpid()))
        .append("-")
        .append(std::to_string(++serial))
        .append(target.extension().string());
    return (target.parent_path() / name).string();
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The finished file's bytes into a device or FIFO.
bool CopyInto(const std::string& from, const std::string& to, std::string* why) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *why = std::strerror(errno);
        return false;
    }
    // Non-blocking first, so that a FIFO without a reader is refused
    // instead of waiting for one forever.
    const int out = ::open(to.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (out < 0) {
        *why = errno == ENXIO ? "nothing reads from it" : std::strerror(errno);
        ::close(in);
        return false;
    }
    ::fcntl(out, F_SETFL, ::fcntl(out, F_GETFL) & ~O_NONBLOCK);
    char buffer[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || (n > 0 && !WriteAll(out, buffer, static_cast<size_t>(n)))) ok = false;
        if (n <= 0 || !ok) break;
    }
    if (!ok) *why = std::strerror(errno);
    ::close(in);
    ::close(out);
    return ok;
}

}  // namespace

SafeFileWrite::SafeFileWrite(const std::string& path) : path_(path) {
    std::string why;
    if (path.empty()) {
        error_ = "no file name given";
        return;
    }
    if (!ResolveLinks(path, &target_, &why)) {
        error_ = path + ": cannot be written: " + why;
        return;
    }
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            error_ = path + ": is a folder";
            return;
        }
        intoDevice_ = !S_ISREG(st.st_mode);
        mode_ = st.st_mode & 07777;
    }
    if (intoDevice_) {
        // No file can be made beside a device: the contents wait in the
        // system's temporary folder.
        std::error_code ec;
        const fs::path folder = fs::temp_directory_path(ec);
        temporary_ = TemporaryBeside((ec ? fs::path("/tmp") : folder) / fs::path(path).filename());
    } else {
        temporary_ = TemporaryBeside(target_);
    }
}

SafeFileWrite::~SafeFileWrite() {
    if (committed_ || temporary_.empty()) return;
    std::error_code ec;
    fs::remove(temporary_, ec);
}

bool SafeFileWrite::Commit(std::string* error) {
    if (!Ok()) {
        *error = error_;
        return false;
    }
    std::string why;
    if (intoDevice_) {
        if (!CopyInto(temporary_, target_, &why)) {
            *error = path_ + ": cannot be written: " + why;
            return false;
        }
        return true;  // the temporary file goes with this object
    }
    // The new file keeps the permissions of the one it replaces.
    if (mode_ != 0) ::chmod(temporary_.c_str(), mode_);
    std::error_code ec;
    fs::rename(temporary_, target_, ec);
    if (ec) {
        *error = path_ + ": cannot be written: " + ec.message();
        return false;
    }
    committed_ = true;
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    SafeFileWrite file(path);
    if (!file.Ok()) {
        *error = file.Error();
        return false;
    }
    const int fd = ::open(file.Path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int failure = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (!WriteAll(fd, text.data(), text.size())) failure = errno;
        if (::close(fd) != 0 && failure == 0) failure = errno;
    }
    if (failure != 0) {
        *error = path + ": cannot be written: " + std::strerror(failure);
        return false;
    }
    return file.Commit(error);
}
