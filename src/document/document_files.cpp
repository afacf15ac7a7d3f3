#include "document/document_files.h"

#include <cstring>
#include <filesystem>

#include "document/fabulor_filter_doc.h"
#include "surface/cdadc.h"

Recipe RecipeOf(const CFilSpec& filSpec, int quality, const std::string& picturePath,
                const CDADC& original) {
    Recipe recipe;
    recipe.filSpec = filSpec;
    recipe.quality = quality;
    recipe.pictureName = std::filesystem::path(picturePath).filename().string();
    if (!picturePath.empty()) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(picturePath, ec);
        recipe.picturePath = ec ? picturePath : absolute.lexically_normal().string();
    }
    recipe.pictureWidth = original.width;
    recipe.pictureHeight = original.height;
    return recipe;
}

bool RecipeOfDocument(const CFabulorFilterDoc& doc, Recipe* recipe, std::string* error) {
    if (!doc.m_pOrgDC) {
        *error = "the document holds no picture";
        return false;
    }
    if (doc.m_iCurrent < 1 || doc.m_iCurrent >= doc.ImageCount()) {
        *error = "the original is on show: no recipe draws it";
        return false;
    }
    *recipe = RecipeOf(doc.m_Sequence[static_cast<size_t>(doc.m_iCurrent)], doc.m_iAALevel,
                       doc.m_szPicturePath, *doc.m_pOrgDC);
    // A pasted picture has no file: its recipe is named after the document.
    if (recipe->pictureName.empty()) recipe->pictureName = doc.m_szName;
    return true;
}

bool SessionOfDocument(const CFabulorFilterDoc& doc, Session* session, std::string* error) {
    const CDADC* original = doc.m_pOrgDC.get();
    if (original == nullptr || original->pBits == nullptr) {
        *error = "the document holds no picture";
        return false;
    }
    auto picture = std::make_unique<CDADC>(original->width, original->height);
    if (picture->pBits == nullptr) {
        *error = "no memory for a copy of the picture";
        return false;
    }
    std::memcpy(picture->pBits, original->pBits,
                static_cast<size_t>(original->rowBytes) * static_cast<size_t>(original->height));
    session->picture = std::move(picture);
    session->name = doc.m_szName;
    session->sequence = doc.m_Sequence;
    session->current = doc.m_iCurrent;
    session->quality = doc.m_iAALevel;
    session->finalMix = doc.m_Spec.FinalMix;
    session->webFade = doc.m_Spec.WebFade;
    session->selection = doc.m_Spec.Selection;
    return true;
}
