#include "support/random_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "engine/toolkit.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

namespace {

// A value as the field's edit shows it: what a panel reads back unchanged.
double AsFormatted(const BoundField& field, double value) {
    char text[64];
    std::snprintf(text, sizeof text, field.format, value);
    return std::clamp(std::strtod(text, nullptr), field.min, field.max);
}

}  // namespace

void RandomFields(CFilSpec& filSpec, unsigned seed) {
    std::mt19937 random(seed);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (const BoundField& field : FindXform(filSpec.XformIndex)->fields) {
        const FieldRef value = field.At(filSpec);
        switch (field.kind) {
            case ParamKind::Flag:
                *std::get<int*>(value) = whole(0, 1);
                break;
            case ParamKind::Int:
                *std::get<int*>(value) =
                    whole(static_cast<int>(field.min), static_cast<int>(field.max));
                break;
            case ParamKind::Real:
                *std::get<double*>(value) = AsFormatted(field, uniform(field.min, field.max));
                break;
            case ParamKind::Colour:
                *std::get<COLORREF*>(value) = static_cast<COLORREF>(whole(0, 0xFFFFFF));
                break;
            case ParamKind::Choice:
                *std::get<int*>(value) =
                    field.choices[static_cast<size_t>(whole(0, int(field.choices.size()) - 1))]
                        .value;
                break;
            case ParamKind::Background:
                *std::get<Background*>(value) = {static_cast<COLORREF>(whole(0, 0xFFFFFF)),
                                                 whole(0, 1)};
                break;
            case ParamKind::Text: {
                const TextRef text = std::get<TextRef>(value);
                const size_t length =
                    static_cast<size_t>(whole(1, int(std::min<size_t>(text.capacity - 1, 20))));
                std::memset(text.text, 0, text.capacity);
                for (size_t i = 0; i < length; ++i)
                    text.text[i] = static_cast<char>('A' + whole(0, 25));
                break;
            }
            case ParamKind::Figure:
                break;
        }
    }
    // A set of switches of which one must be on keeps one on.
    const XformRow& row = *FindXform(filSpec.XformIndex);
    for (const BoundField& field : row.fields) {
        if (field.oneOfMessage == nullptr) continue;
        bool on = false;
        for (const BoundField& other : row.fields)
            on = on || (other.oneOfMessage != nullptr &&
                        std::strcmp(other.oneOfMessage, field.oneOfMessage) == 0 &&
                        *std::get<int*>(other.At(filSpec)) != 0);
        if (!on) *std::get<int*>(field.At(filSpec)) = 1;
    }
}
