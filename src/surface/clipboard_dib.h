// Pictures cross the clipboard as packed DIBs. Copy hands over a 24-bit
// packed DIB of the picture (bottom-up rows, no colour table); Paste takes a
// copy of whatever packed DIB arrives, which CDADC::CreateFromDib reads at
// any depth.
#pragma once

#include "surface/global_memory.h"

class CDADC;

// The picture as a new 24-bit packed DIB, owned by the caller; null after
// the message of the failing step.
HGLOBAL PictureToPackedDib(const CDADC* picture);
