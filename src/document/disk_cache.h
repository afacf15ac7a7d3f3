// The process-wide disk cache of rendered images: BMP files in the
// temporary folder, at most 32 in all; the least recently used one goes
// when a 33rd arrives.
#pragma once

#include <string>

class CDADC;

namespace DiskCache {

constexpr int kEntries = 32;

// "<temp folder>/<name>_<index>-<k>.BMP"; empty when the document has no
// name, the index is below 1 or k is not 1, 2 or 4.
std::string FileName(const std::string& docName, int index, int k);

// Whether new files may be written (the application turns this off when its
// disk is short of space). Reading is never refused.
void SetEnabled(bool enabled);
bool Enabled();

// Writes the surface, unless the file exists already; registers it.
void SaveToCache(CDADC* surface, const std::string& docName, int index, int k);
// The two halves of that. Writing touches no entry, so that a run's thread
// can write its picture (a camera-sized one takes a while); registering,
// which may remove the least recently used file, is the GUI thread's, and
// registers only a file that is there.
bool WriteCacheFile(CDADC& surface, const std::string& path);
void Register(const std::string& path, const std::string& docName);
// 1 when the file was there and has been read into the surface (which has
// the image's size already).
int ReadCached(CDADC* surface, const std::string& docName, int index, int k);
// Deletes every file of the document and frees its entries.
void RemoveDocCache(const std::string& docName);

// For tests: forget every entry without touching files.
void ResetForTests();
// The number of registered files.
int CountForTests();

}  // namespace DiskCache
