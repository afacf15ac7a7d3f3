#include "recipe/figure_json.h"

#include <cstring>
#include <filesystem>
#include <memory>

#include "engine/figure_file.h"
#include "recipe/recipe.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "util/base64.h"
#include "util/numbers.h"

namespace {

thread_local NewFigures* newFigures = nullptr;

std::string NameIn(TextRef text) {
    return std::string(text.text, strnlen(text.text, text.capacity));
}

void Store(TextRef to, const std::string& name) {
    std::memset(to.text, 0, to.capacity);
    std::memcpy(to.text, name.data(), std::min(name.size(), to.capacity - 1));
}

std::string FigureAllowed(const BoundField&) {
    return "a picture file, stretched over a " + std::to_string(kFigureSide) + " x " +
           std::to_string(kFigureSide) + " figure, or none for plain shapes";
}

// A figure that cannot be read is drawn as plain shapes, so it is written
// as none (FiguresTravel refuses it for the recipe's own Xform).
Json FigureToJson(const BoundField&, FieldRef value) {
    const std::string name = NameIn(std::get<TextRef>(value));
    std::string bytes, why;
    if (name.empty() || !ReadFigureBytes(name.c_str(), &bytes, &why)) return "";
    Json j;
    j["name"] = name;
    j["bmp"] = EncodeBase64(bytes);
    return j;
}

// "" clears the figure; a figure's bytes are put back into the temporary
// folder, under its own name when that file still holds them.
bool FigureFromJson(const BoundField&, const Json& json, FieldRef value, std::string* why) {
    const TextRef to = std::get<TextRef>(value);
    if (json.is_string() && json.get_ref<const std::string&>().empty()) {
        Store(to, "");
        return true;
    }
    if (!json.is_object() || json.size() != 2 || !json.contains("name") || !json.contains("bmp") ||
        !json["name"].is_string() || !json["bmp"].is_string()) {
        *why = Expected("\"\" or {\"name\": \"TEMPBITMAP<n>\", \"bmp\": BMP file in base64}", json);
        return false;
    }
    std::string bytes;
    if (!DecodeBase64(json["bmp"].get_ref<const std::string&>(), &bytes)) {
        *why = "\"bmp\" is not base64";
        return false;
    }
    std::string name;
    bool created = false;
    if (!StoreFigureBytes(bytes, json["name"].get_ref<const std::string&>().c_str(), &name,
                          &created, why)) {
        *why = "\"bmp\" " + *why;
        return false;
    }
    if (created) NoteNewFigure(name);
    Store(to, name);
    return true;
}

bool FigureFromText(const BoundField&, const std::string& text, FieldRef, Json* json,
                    std::string* why) {
    if (text.empty() || FoldedName(text) == "none") {
        *json = "";
        return true;
    }
    std::unique_ptr<CDADC> figure(NewFigure());
    if (!figure || !StretchPictureOnto(figure.get(), text.c_str())) {
        *why = "the picture cannot be read";
        return false;
    }
    std::string name, file, bytes;
    if (!StoreFigure(figure.get(), &name, &file) || !ReadFigureBytes(name.c_str(), &bytes, why)) {
        *why = "the figure cannot be kept in " + TempFolder();
        return false;
    }
    (*json)["name"] = name;
    (*json)["bmp"] = EncodeBase64(bytes);
    return true;
}

std::string FigureToText(const BoundField&, FieldRef value) {
    const std::string name = NameIn(std::get<TextRef>(value));
    return name.empty() ? "none" : name;
}

}  // namespace

constinit const FieldKind kFigureKind = {"figure",       FigureAllowed,  FigureToJson,
                                         FigureFromJson, FigureFromText, FigureToText};

bool FiguresTravel(const CFilSpec& recipe, std::string* error) {
    const XformRow* row = FindXform(recipe.XformIndex);
    if (row == nullptr) return true;
    CFilSpec filSpec = recipe;
    for (const BoundField& field : row->fields) {
        if (field.kind != ParamKind::Figure) continue;
        const std::string name = NameIn(std::get<TextRef>(field.At(filSpec)));
        std::string bytes, why;
        if (!name.empty() && !ReadFigureBytes(name.c_str(), &bytes, &why)) {
            *error = std::string("field \"params.") + row->name + "." + field.name + "\": " + why +
                     "; the recipe could not draw its picture again";
            return false;
        }
    }
    return true;
}

void NoteNewFigure(const std::string& name) {
    if (newFigures != nullptr) newFigures->files_.push_back(name);
}

NewFigures::NewFigures() : outer_(newFigures) {
    newFigures = this;
}

NewFigures::~NewFigures() {
    newFigures = outer_;
    for (const std::string& name : files_) {
        std::error_code ec;
        std::filesystem::remove(FigurePath(name.c_str()), ec);
    }
}
