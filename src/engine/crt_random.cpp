#include "engine/crt_random.h"

#include <cstdint>

namespace {
thread_local std::uint32_t crtState = 1;
}

void CrtSrand(unsigned seed) {
    crtState = seed;
}

int CrtRand() {
    crtState = crtState * 214013u + 2531011u;
    return static_cast<int>((crtState >> 16) & 0x7FFF);
}

unsigned CrtState() {
    return crtState;
}

void CrtSetState(unsigned state) {
    crtState = state;
}
