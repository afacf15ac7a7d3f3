#include "surface/image_files.h"

#include "engine/error_box.h"

int VicWriteFile(CDADC*, const char* name) {
    ErrorBox("Support for writing '%s' is not yet implemented", name);
    return 0;
}
