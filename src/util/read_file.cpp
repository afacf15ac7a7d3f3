#include "util/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

// The kinds of file that are refused, in words; null for the kinds read.
const char* RefusedKind(mode_t mode) {
    if (S_ISDIR(mode)) return "the file is a folder, not a picture file";
    if (S_ISFIFO(mode)) return "the file is a FIFO (named pipe), not a picture file";
    if (S_ISSOCK(mode)) return "the file is a socket, not a picture file";
    return nullptr;
}

ReadFault Refuse(ReadFault fault, std::string text, std::string* why) {
    if (why) *why = std::move(text);
    return fault;
}

std::string MBytes(std::uint64_t bytes) {
    return std::to_string(bytes >> 20) + " MBytes";
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

ReadFault ReadFileBounded(const char* path, std::uint64_t limit, const ReadBuffer& buffer,
                          std::size_t* size, std::string* why) {
    *size = 0;
    if (!path) return Refuse(ReadFault::CannotOpen, "no file name", why);
    const std::string notOpen = "the file does not open: ";
    const std::string notRead = "the file cannot be read: ";
    struct stat info {};
    if (::stat(path, &info) != 0)
        return Refuse(ReadFault::CannotOpen, notOpen + std::strerror(errno), why);
    if (const char* kind = RefusedKind(info.st_mode)) return Refuse(ReadFault::NotAFile, kind, why);
    // O_NONBLOCK: should the name have become a FIFO since the stat, the
    // open does not wait for a writer, and a terminal does not wait for typing.
    Descriptor file{::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) return Refuse(ReadFault::CannotOpen, notOpen + std::strerror(errno), why);
    if (::fstat(file.fd, &info) != 0)
        return Refuse(ReadFault::CannotRead, notRead + std::strerror(errno), why);
    if (const char* kind = RefusedKind(info.st_mode)) return Refuse(ReadFault::NotAFile, kind, why);

    // A regular file says how long it is (a file of /proc says 0 and is read
    // to its end all the same); a device says nothing worth believing.
    const bool sized = S_ISREG(info.st_mode);
    limit = std::min<std::uint64_t>(limit, PTRDIFF_MAX / 2);
    const std::uint64_t bound = sized ? limit : std::min(limit, kMaxUnsizedReadBytes);
    const std::string tooLarge =
        (sized ? "the file is larger than " : "the file gives more than ") + MBytes(bound) +
        ", more than any picture file";
    const auto reported = static_cast<std::uint64_t>(info.st_size);
    if (sized && reported > bound) return Refuse(ReadFault::TooLarge, tooLarge, why);

    // One byte more than the reported size, to see the end in the first pass.
    std::size_t room = sized && reported > 0 ? static_cast<std::size_t>(reported) + 1 : kChunk;
    unsigned char* bytes = buffer(room);
    std::size_t have = 0;
    for (;;) {
        if (!bytes) return Refuse(ReadFault::CannotRead, "no memory to read the file", why);
        if (have == room) {
            if (have > bound) return Refuse(ReadFault::TooLarge, tooLarge, why);
            room = static_cast<std::size_t>(
                std::min<std::uint64_t>(bound + 1, have + std::max(kChunk, have / 2)));
            bytes = buffer(room);
            continue;
        }
        const ssize_t got = ::read(file.fd, bytes + have, room - have);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;  // nothing more to be had now
            return Refuse(ReadFault::CannotRead, notRead + std::strerror(errno), why);
        }
        have += static_cast<std::size_t>(got);
    }
    if (have > bound) return Refuse(ReadFault::TooLarge, tooLarge, why);
    *size = have;
    return ReadFault::None;
}

ReadFault ReadFileBounded(const char* path, std::uint64_t limit, std::vector<unsigned char>* bytes,
                          std::string* why) {
    bytes->clear();
    std::size_t size = 0;
    ReadFault fault = ReadFault::None;
    try {
        fault = ReadFileBounded(
            path, limit,
            [bytes](std::size_t room) {
                bytes->resize(room);
                return bytes->data();
            },
            &size, why);
    } catch (const std::bad_alloc&) {
        fault = Refuse(ReadFault::CannotRead, "no memory to read the file", why);
    }
    if (fault != ReadFault::None) {
        std::vector<unsigned char>().swap(*bytes);
        return fault;
    }
    bytes->resize(size);
    return fault;
}
