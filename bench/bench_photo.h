// The picture the benchmarks work on: the shared 2000 × 1072 photograph when
// the checkout has it beside it, else a synthetic picture of the same size
// (smooth gradients with some noise, as photographs go).
#pragma once

#include <atomic>

#include "engine/xform_context.h"
#include "surface/cdadc.h"

// Built once; *isPhoto says which of the two it is.
CDADC& BenchPicture(bool* isPhoto = nullptr);
// The same synthetic picture, whatever the checkout has.
CDADC& SyntheticPicture();

// The context of one idea of in at quality k: the canvas, the result and
// the progress value, as a run has them.
struct IdeaContext {
    IdeaContext(CDADC& in, int k) : out(in.width * k, in.height * k), draw(in.width, in.height) {
        ctx.In = &in;
        ctx.Out = &out;
        ctx.Draw = &draw;
        ctx.Progress = &progress;
    }
    CDADC out;
    CDADC draw;
    std::atomic<int> progress{0};
    XformContext ctx;
};
