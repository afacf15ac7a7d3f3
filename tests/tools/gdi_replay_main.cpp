// gdi-replay SCRIPT OUT.bmp: draws a script of the GDI reference format with
// the project's drawing layer and writes the surface as a 24-bit BMP file.
// The lines of extent and metrics operations go to standard output.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "surface/cdadc.h"
#include "tools/gdi_script.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gdi-replay SCRIPT OUT.bmp\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "gdi-replay: cannot open %s\n", argv[1]);
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();

    ReplayResult r = ReplayGdiScript(text.str());
    std::fputs(r.output.c_str(), stdout);
    if (!r.surface) {
        std::fprintf(stderr, "gdi-replay: %s: %s\n", argv[1], r.error.c_str());
        return 1;
    }
    // WriteBmpFile reports its own failures.
    if (!r.surface->WriteBmpFile(argv[2])) return 1;
    return 0;
}
