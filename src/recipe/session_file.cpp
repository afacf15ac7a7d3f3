#include "recipe/session_file.h"

#include <algorithm>

#include "recipe/figure_json.h"
#include "recipe/mix_names.h"
#include "recipe/recipe_json.h"
#include "recipe/strict_json.h"
#include "recipe/xform_registry.h"
#include "surface/image_files.h"
#include "surface/vic_image.h"
#include "util/base64.h"
#include "util/safe_write.h"

namespace {

// The document's name, as the program keeps it.
constexpr std::size_t kLongestName = 255;

// The name becomes part of the disk cache's file names: a name from a file
// must not lead anywhere else. Names the program gives never hold these.
std::string NameFault(const std::string& name) {
    if (name.empty()) return "is empty; a document needs a name";
    if (name.size() > kLongestName)
        return "is longer than " + std::to_string(kLongestName) + " characters";
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '.' || static_cast<unsigned char>(c) < 0x20)
            return "\"" + name +
                   "\" holds characters no document name has ('/', '\\', '.' or "
                   "control characters)";
    }
    return "";
}

std::unique_ptr<CDADC> ReadPicture(const Json& root) {
    const Json& picture = Object(Member(root, "", "picture"), "picture");
    OnlyKeys(picture, "picture", {"width", "height", "png"}, "a session");
    const int width = static_cast<int>(IntMember(picture, "picture", "width", 1, kVicMaxSide));
    const int height = static_cast<int>(IntMember(picture, "picture", "height", 1, kVicMaxSide));
    const std::string text = TextMember(picture, "picture", "png");
    std::string bytes;
    if (!DecodeBase64(text, &bytes))
        throw Fault{"picture.png", "is not base64 (whole and padded, without line breaks)"};
    std::string why;
    std::unique_ptr<CDADC> surface =
        DecodePng(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), &why);
    if (!surface) throw Fault{"picture.png", "is not a picture this program reads: " + why};
    if (surface->width != width || surface->height != height) {
        throw Fault{"picture.png", "is a picture of " + std::to_string(surface->width) + " x " +
                                       std::to_string(surface->height) + " pixels, not " +
                                       std::to_string(width) + " x " + std::to_string(height)};
    }
    return surface;
}

std::vector<CFilSpec> ReadSequence(const Json& root) {
    const Json& list = Member(root, "", "sequence");
    if (!list.is_array() || list.empty())
        throw Fault{"sequence", Expected("a list of recipes, the original's first", list)};
    std::vector<CFilSpec> sequence;
    sequence.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string path = Element("sequence", i);
        CFilSpec filSpec = ReadFilSpec(list[i], path);
        // The original's element is never drawn; every idea must be.
        if (i > 0 && !XformDraws(filSpec.XformIndex)) {
            throw Fault{Join(path, "xform.name"), "\"" + std::string(filSpec.GetName()) +
                                                      "\" is an Xform that cannot draw here"};
        }
        sequence.push_back(filSpec);
    }
    return sequence;
}

void ReadSession(const Json& root, Session& session) {
    if (!root.is_object()) throw Fault{"", "not a Fabulor session: " + Expected("an object", root)};
    auto format = root.find("format");
    if (format == root.end()) throw Fault{"format", "is missing: this is not a Fabulor session"};
    if (!format->is_string() || format->get<std::string>() != kSessionFormatName) {
        throw Fault{"format", Shown(*format) + " is not \"" + kSessionFormatName +
                                  "\": this is not a Fabulor session"};
    }
    const Json& version = Member(root, "", "version");
    if (version.is_number_integer() && version.get<long long>() > kSessionFormatVersion) {
        throw Fault{"version", Shown(version) + " is newer than this program reads (" +
                                   std::to_string(kSessionFormatVersion) + ")"};
    }
    IntMember(root, "", "version", 1, kSessionFormatVersion);
    OnlyKeys(root, "", {"format", "version", "name", "picture", "quality", "current", "sequence"},
             "a session");

    session.name = TextMember(root, "", "name");
    if (const std::string why = NameFault(session.name); !why.empty()) throw Fault{"name", why};
    const long long quality = IntMember(root, "", "quality", 1, 4);
    if (quality == 3) throw Fault{"quality", "3 is not a quality; allowed: 1, 2 or 4"};
    session.quality = static_cast<int>(quality);
    session.sequence = ReadSequence(root);

    const Json& current = Object(Member(root, "", "current"), "current");
    OnlyKeys(current, "current", {"index", "finalMix", "webFade", "selection"}, "a session");
    session.current = static_cast<int>(IntMember(
        current, "current", "index", 0, static_cast<long long>(session.sequence.size()) - 1));
    session.finalMix = ReadMix(Member(current, "current", "finalMix"), "current.finalMix", false);
    session.webFade = ReadMix(Member(current, "current", "webFade"), "current.webFade", true);
    session.selection = ReadSelection(Member(current, "current", "selection"), "current.selection");

    // Last: the largest and slowest part, once everything else is known good.
    session.picture = ReadPicture(root);
}

}  // namespace

bool SessionToText(const Session& session, std::string* text, std::string* error) {
    if (!session.picture || session.picture->pBits == nullptr) {
        *error = "the session has no picture";
        return false;
    }
    if (const std::string why = NameFault(session.name); !why.empty()) {
        *error = FaultText(Fault{"name", why});
        return false;
    }
    if (session.sequence.empty() || session.current < 0 ||
        session.current >= static_cast<int>(session.sequence.size())) {
        *error = FaultText(Fault{"current.index", std::to_string(session.current) +
                                                      " is not an image of the sequence of " +
                                                      std::to_string(session.sequence.size())});
        return false;
    }
    std::vector<BYTE> png;
    if (!EncodePng(*session.picture, &png)) {
        *error = std::string("the picture cannot be packed: ") + VicLastError();
        return false;
    }

    Json j;
    j["format"] = kSessionFormatName;
    j["version"] = kSessionFormatVersion;
    j["name"] = session.name;
    j["quality"] = session.quality;
    Json& current = j["current"];
    current["index"] = session.current;
    current["finalMix"] = MixToJson(session.finalMix);
    current["webFade"] = MixToJson(session.webFade);
    current["selection"] = SelectionToJson(session.selection);
    Json& sequence = j["sequence"] = Json::array();
    for (std::size_t i = 0; i < session.sequence.size(); ++i) {
        std::string why;
        if (!FiguresTravel(session.sequence[i], &why)) {
            *error = Element("sequence", i) + ": " + why;
            return false;
        }
        sequence.push_back(FilSpecToJson(session.sequence[i]));
    }
    // The picture last, so that the recipes stay easy to find in the text.
    Json& picture = j["picture"];
    picture["width"] = session.picture->width;
    picture["height"] = session.picture->height;
    picture["png"] =
        EncodeBase64(std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    *text = j.dump(1) + "\n";
    return true;
}

bool SessionFromText(std::string_view text, Session* session, std::string* error) {
    Json root;
    if (!ParseStrictJson(text, "session", &root, error)) return false;
    Session result;
    NewFigures figures;
    try {
        ReadSession(root, result);
    } catch (const Fault& fault) {
        *error = FaultText(fault);
        return false;
    }
    figures.Keep();
    *session = std::move(result);
    return true;
}

bool WriteSessionFile(const std::string& path, const Session& session, std::string* error) {
    std::string text;
    if (!SessionToText(session, &text, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return WriteTextFile(path, text, error);
}

bool ReadSessionFile(const std::string& path, Session* session, std::string* error) {
    std::string text;
    if (!ReadBounded(path, kLargestSession, "session", &text, error) ||
        !SessionFromText(text, session, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
