// Net: a net of threads laid over a background, every point of a thread
// pushed sideways by the force field, so that the picture shows as bulges
// in a regular mesh. Vertical threads, horizontal ones or a grid, with an
// optional wide half-tone pass first as a soft shadow.
#pragma once

#include <atomic>

#include "surface/gdi_types.h"
#include "xforms/net_params.h"
#include "xforms/xform_unit.h"

class CDC;
struct XformContext;

// Lays the net on ctx->Out. 1 when the picture was made; 0 on an invalid
// context, a failed force field or a stop.
int Net(const NetParams* params, XformContext* ctx);

// Holds threads to 20..200 (fewer than 2 would divide by zero, very many
// would never end); always 1.
int NetValidate(NetParams* params);

// New random parameters for an original of width x height pixels.
void NetAutoChoose(NetParams* params, int width, int height);

// The Xform as the recipe's registry sees it.
extern const XformUnit<NetParams> kNetUnit;

// The pieces of a run, exposed for the tests.
namespace net {

// The mesh on an Out outWidth x outHeight: the number of threads each way
// and the largest push, in Out pixels.
struct Mesh {
    int vertical = 0;
    int horizontal = 0;
    int amp = 0;
};
Mesh MeshOf(int threads, int outWidth, int outHeight);

// One pass of the threads with the pen selected into dc, Out being
// outWidth x outHeight and the field width x height; the percent goes to
// progress within lo..hi.
void DrawThreads(CDC* dc, int outWidth, int outHeight, const BYTE* field, int width, int height,
                 const NetParams& params, int k, std::atomic<int>* progress, int lo, int hi);

}  // namespace net
