#pragma once
// The anti-aliasing pass of a frame.
#include "view/ZemRaster.h"

namespace zem {

// Smooths the whole surface in place with the cubic B-spline taken at whole-pixel offsets, the weights
// 1/6, 4/6, 1/6 in each direction: edges and diagonal steps soften, flat areas stay exactly as they
// were. Alpha is filtered like the colours. Rows beyond the edges repeat the edge row.
void SmoothFrame(TBitmap32& Surface);

} // namespace zem
