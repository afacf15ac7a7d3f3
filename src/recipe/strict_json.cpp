#include "recipe/strict_json.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// A message about a damaged file stays readable.
constexpr std::size_t kLongestFault = 240;

// Fabulor's files nest a few levels deep; a file nesting far deeper is not one.
constexpr std::size_t kDeepestNesting = 32;

}  // namespace

std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string Element(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

const Json& Object(const Json& value, const std::string& path) {
    if (!value.is_object()) throw Fault{path, Expected("an object", value)};
    return value;
}

void OnlyKeys(const Json& object, const std::string& path, std::initializer_list<const char*> keys,
              const char* what) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : keys)
            known = known || it.key() == key;
        if (!known) throw Fault{Join(path, it.key()), std::string("is not a field of ") + what};
    }
}

const Json& Member(const Json& object, const std::string& path, const char* key) {
    auto it = object.find(key);
    if (it == object.end()) throw Fault{Join(path, key), "is missing"};
    return *it;
}

long long IntMember(const Json& object, const std::string& path, const char* key, long long lo,
                    long long hi) {
    long long v = 0;
    std::string why;
    if (!IntFromJson(Member(object, path, key), lo, hi, &v, &why))
        throw Fault{Join(path, key), why};
    return v;
}

std::string TextMember(const Json& object, const std::string& path, const char* key) {
    const Json& value = Member(object, path, key);
    if (!value.is_string()) throw Fault{Join(path, key), Expected("a text", value)};
    return value.get<std::string>();
}

namespace {

// Builds the document while keeping the place it has reached, so that every
// fault (a number out of the range of a double as much as bad syntax) names
// its field, and refusing nesting deeper than Fabulor's files have before it costs
// anything.
class StrictParser {
  public:
    explicit StrictParser(const char* kind) : kind_(kind) {}

    using Number = Json::number_integer_t;
    using Unsigned = Json::number_unsigned_t;
    using Float = Json::number_float_t;

    bool null() { return Add(nullptr); }
    bool boolean(bool value) { return Add(value); }
    bool number_integer(Number value) { return Add(value); }
    bool number_unsigned(Unsigned value) { return Add(value); }
    bool number_float(Float value, const std::string&) { return Add(value); }
    bool string(std::string& value) { return Add(value); }
    bool binary(Json::binary_t&) { return Fail("binary data is not JSON text"); }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool key(std::string& key) {
        frames_.back().key = key;
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t, const std::string& token, const nlohmann::detail::exception& e) {
        // A number beyond a double's range is a value of the field being
        // read; a syntax error is placed by its line and column.
        if (dynamic_cast<const nlohmann::detail::out_of_range*>(&e) != nullptr)
            return Fail(token + " is out of range: no number is that large");
        // The library's text without its "[json.exception...] " tag.
        const char* what = e.what();
        const char* tagEnd = std::strchr(what, ']');
        return Fail(std::string("not valid JSON: ") + (tagEnd ? tagEnd + 2 : what), false);
    }

    Json root;
    std::string fault;  // set when parsing stopped

  private:
    struct Frame {
        Json* value;
        std::string key;  // the member being read, in an object
    };

    // Where the next value goes, as a field path through the objects and
    // lists of objects from the top ("sequence[2].seed"); a list of lists
    // is no field of these files, and the path ends there.
    std::string Place() const {
        std::string place;
        for (size_t i = 0; i < frames_.size(); ++i) {
            const Json& value = *frames_[i].value;
            if (value.is_object()) {
                place = Join(place, frames_[i].key);
                continue;
            }
            const bool inner = i + 1 < frames_.size();
            if (inner && !frames_[i + 1].value->is_object()) break;
            // An open inner object is the list's last element; a scalar not
            // yet added would be the next.
            place = Element(place, inner ? value.size() - 1 : value.size());
        }
        return place;
    }

    bool Fail(std::string why, bool named = true) {
        // The parser quotes what it last read, which may be a whole
        // picture's worth of base64.
        if (why.size() > kLongestFault) why = why.substr(0, kLongestFault - 3) + "...";
        const std::string place = named ? Place() : std::string();
        fault = place.empty() ? why : "field \"" + place + "\": " + why;
        return false;
    }

    Json* Put(Json value) {
        if (frames_.empty()) {
            root = std::move(value);
            return &root;
        }
        Json& parent = *frames_.back().value;
        if (parent.is_object()) {
            Json& slot = parent[frames_.back().key];
            slot = std::move(value);
            return &slot;
        }
        parent.push_back(std::move(value));
        return &parent.back();
    }

    bool Add(Json value) {
        Put(std::move(value));
        return true;
    }

    bool Open(Json container) {
        if (frames_.size() >= kDeepestNesting)
            return Fail("nests deeper than " + std::to_string(kDeepestNesting) +
                        " levels; this is not a Fabulor " + kind_);
        frames_.push_back({Put(std::move(container)), {}});
        return true;
    }

    bool Close() {
        frames_.pop_back();
        return true;
    }

    std::vector<Frame> frames_;
    std::string kind_;
};

}  // namespace

bool ParseStrictJson(std::string_view text, const char* kind, Json* root, std::string* error) {
    StrictParser parser(kind);
    bool parsed = false;
    try {
        parsed = Json::sax_parse(text.begin(), text.end(), &parser);
    } catch (const std::exception& e) {
        parser.fault = std::string("not valid JSON: ") + e.what();
    }
    if (!parsed) {
        *error = parser.fault.empty() ? "not valid JSON" : parser.fault;
        return false;
    }
    *root = std::move(parser.root);
    return true;
}

std::string FaultText(const Fault& fault) {
    // "field "x" is missing", "field "x": 9 is out of range; ..."
    const bool sentence = fault.why.rfind("is ", 0) == 0;
    return fault.field.empty()
               ? fault.why
               : "field \"" + fault.field + "\"" + (sentence ? " " : ": ") + fault.why;
}

bool ReadBounded(const std::string& path, std::size_t limit, const char* kind, std::string* text,
                 std::string* why) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *why = std::string("is a folder, not a ") + kind + " file";
        return false;
    }
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
        *why = "is not a regular file";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    text->clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        text->append(buffer, static_cast<size_t>(n));
        if (text->size() > limit) {
            *why = std::string("is too large for a ") + kind + " (at most " +
                   std::to_string(limit) + " bytes)";
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
}
