// Small file, folder and string helpers for the document, the disk cache and
// start-up. Paths use "/" separators.
#pragma once

#include <cstdint>
#include <string>

// The helpers answer 1 (TRUE) or 0 (FALSE), as the C-style callers expect.

// TRUE when path names a file or a folder.
int FileExists(const char* path);
// TRUE when path names a folder.
int IsDirectory(const char* path);

// Bytes free to this user, used (total - free) and total on the file system
// that holds path. 64-bit outputs: today's disks are far past 4 GB. Any
// output may be null. On failure all are 0, the failure is reported and the
// result is FALSE.
int GetDiskBytes(const char* path, std::uint64_t* freeBytes, std::uint64_t* usedBytes,
                 std::uint64_t* totalBytes);

// Deletes the files of folder (not its subfolders, not names starting with
// '.') whose names match pattern, such as "*.BMP". Matching ignores case, so
// "*.BMP" also takes "x.bmp": the patterns name file types, and a Linux
// folder may hold both spellings. FALSE without a message when nothing in
// the folder matches; FALSE with a message at the first file that cannot be
// removed (the rest are kept); TRUE when every match is gone.
int RemoveFiles(const char* folder, const char* pattern);

// Ends name at its first '.', returning the new length (the whole length
// when there is no dot); 0 for null.
int CutAtFirstDot(char* name);
// Removes, in place, every character isspace takes for white space; returns
// the new length, 0 for null.
int RemoveWhitespace(char* s);
// The number of characters of s that are not white space.
int CountNonWhitespace(const std::string& s);

int IsEven(int n);
