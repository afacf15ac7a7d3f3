// What the Xforms' tests share: a fingerprint of a picture, the shared
// photographs, and the check that one recipe draws one picture.
#pragma once

#include <cstdint>
#include <memory>

struct CFilSpec;
class CDADC;

// FNV-1a over every byte of the pixel block, padding included.
std::uint64_t PictureHash(const CDADC& picture);

// A picture of the shared test images (for example "photos/flower.jpg"),
// loaded as the program loads it; null (with the reason added to the
// current test's failures) when it does not load.
std::unique_ptr<CDADC> LoadTestImage(const char* relativePath);

// Applies the recipe (its Xform, seed and parameters) to in at quality k
// twice on this thread and once on each of two threads at the same time:
// every canvas must be the same picture.
void ExpectOnePictureOnAnyThread(const CFilSpec& recipe, CDADC* in, int k);
