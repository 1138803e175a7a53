#pragma once

#include "library/images.h"

namespace vexlor {

// Scales `source` to width x height into `out` by nearest neighbour: target column x takes source
// column x * source.width / width, and rows likewise, so rows and columns are dropped or repeated
// and no colours are blended. False, with `out` empty, for an unacceptable target size or a
// source without pixels.
bool StretchPicture(const TrueColourImage& source, int width, int height, TrueColourImage& out);

}  // namespace vexlor
