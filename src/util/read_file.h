// Reading a whole file for a picture reader, whatever the name turns out to
// be: the size the system reports is only a hint, and some kinds of file have
// none. Every picture reader of the program reads its files through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

// The same into memory of the caller's own, for a caller that would
// otherwise copy the bytes once more (a copy of a large picture costs a
// page fault for every 4 KB). buffer(n) gives room for n bytes that holds
// the bytes read so far at its start, or null when memory is short; it is
// asked for the reported size and a byte more, then for more as the file
// goes on. *size gets the number of bytes read.
using ReadBuffer = std::function<unsigned char*(std::size_t bytes)>;
ReadFault ReadFileBounded(const char* path, std::uint64_t limit, const ReadBuffer& buffer,
                          std::size_t* size, std::string* why = nullptr);
