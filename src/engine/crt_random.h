// The C runtime's rand/srand, one generator per thread. Pictures are drawn
// again exactly from their seed, so the sequence is the runtime's own:
// state = state × 214013 + 2531011 (mod 2^32), result = bits 16 to 30.
#pragma once

constexpr int kCrtRandMax = 0x7FFF;

// Seeds the calling thread's generator. A thread that never seeds starts as
// if seeded with 1.
void CrtSrand(unsigned seed);

// The next value 0..32767 of the calling thread's sequence.
int CrtRand();

// The calling thread's generator state, to put back after drawing from a
// sequence of one's own.
unsigned CrtState();
void CrtSetState(unsigned state);
