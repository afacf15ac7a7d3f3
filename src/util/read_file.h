// Reading a whole file for a picture reader, whatever the name turns out to
// be: the size the system reports is only a hint, and some kinds of file have
// none. Every picture reader of the program reads its files through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ReadFault {
    None,
    CannotOpen,  // missing, no permission, ...
    NotAFile,    // a folder, a FIFO or a socket: refused without reading
    TooLarge,    // more bytes than the limit
    CannotRead,  // a read failed part way
};

// Devices and other files without a size give at most this many bytes, also
// when the caller's limit is larger: no picture comes from a device, and
// /dev/zero must not fill the memory.
constexpr std::uint64_t kMaxUnsizedReadBytes = std::uint64_t{16} << 20;

// Reads all of the file at path into *bytes, never more than limit bytes.
// Regular files and devices are read; a folder, a FIFO or a socket is
// refused after a stat, before it is opened, so that a FIFO with no writer
// cannot hang the caller (and the open itself does not block either, should
// the name change kind in between). On a fault *bytes is empty and *why
// (when given) holds the reason in one line ("the file is a folder, not a
// picture file"), without the file's name.
ReadFault ReadFileBounded(const char* path, std::uint64_t limit, std::vector<unsigned char>* bytes,
                          std::string* why = nullptr);
