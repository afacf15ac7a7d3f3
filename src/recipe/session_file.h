// Session files (.fabulor): a whole document in one JSON file, so that it
// reopens on another machine: the original picture itself (a PNG inside),
// the document's name, the recipes of its sequence, the image on show, the
// quality and the current recipe's mix, web-fade and selection settings.
// The ideas are not kept as pixels: their recipes draw them again exactly.
//
//   Session s;                      // filled from the document
//   WriteSessionFile(path, s, &error);
//   Session back;
//   if (!ReadSessionFile(path, &back, &error)) show(error);  // nothing else changed
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compose/mix_settings.h"
#include "engine/area_selection.h"
#include "recipe/recipe.h"
#include "surface/cdadc.h"

// Raised whenever the file's layout changes; older files keep being read.
constexpr int kSessionFormatVersion = 1;
inline constexpr const char kSessionFormatName[] = "fabulor-session";
// The picture makes a session large; anything larger than this is no
// session (a 30000-pixel-wide photograph packs into far less).
constexpr std::size_t kLargestSession = std::size_t{256} << 20;

struct Session {
    std::unique_ptr<CDADC> picture;  // the original
    std::string name;                // the document's name: no '/', '.' or control characters
    // The sequence: element 0 belongs to the original, every later one is
    // an idea whose Xform can draw.
    std::vector<CFilSpec> sequence;
    int current = 0;  // the image on show, an index of sequence
    int quality = 1;  // 1, 2 or 4
    // The current recipe's settings, which may have been set without a new
    // idea being made from them yet.
    MixSettings finalMix;
    MixSettings webFade;
    AreaSelection selection;
};

// false with error ("field \"sequence[2]...\": ...") when the session
// cannot be written as it is; the text otherwise.
bool SessionToText(const Session& session, std::string* text, std::string* error);
// false with error naming the field; *session is then unchanged, and no
// figure bitmap the reading stored is left behind.
bool SessionFromText(std::string_view text, Session* session, std::string* error);

// The file is written whole (util/safe_write.h) and read with a bound of
// kLargestSession bytes, from any kind of file. Errors start with the
// file's name.
bool WriteSessionFile(const std::string& path, const Session& session, std::string* error);
bool ReadSessionFile(const std::string& path, Session* session, std::string* error);
