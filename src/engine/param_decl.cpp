#include "engine/param_decl.h"

#include <cstring>

#include "engine/xform_registry.h"

const XformDecl* FindXformDecl(int index) {
    const XformOps* row = FindXform(index);
    return row ? row->decl : nullptr;
}

const ParamField* FindParamField(const XformDecl& decl, const char* name) {
    for (const ParamField& f : decl.fields) {
        if (std::strcmp(f.name, name) == 0) return &f;
    }
    return nullptr;
}
