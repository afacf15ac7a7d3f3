// The picture the benchmarks work on: the shared 2000 × 1072 photograph when
// the checkout has it beside it, else a synthetic picture of the same size
// (smooth gradients with some noise, as photographs go).
#pragma once

class CDADC;

// Built once; *isPhoto says which of the two it is.
CDADC& BenchPicture(bool* isPhoto = nullptr);
// The same synthetic picture, whatever the checkout has.
CDADC& SyntheticPicture();
