#include "tools/gdi_script.h"

#include "surface/cdadc.h"

ReplayResult ReplayGdiScript(const std::string&) {
    ReplayResult r;
    r.error = "not built yet";
    return r;
}
