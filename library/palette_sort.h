#pragma once

#include "library/images.h"

namespace vexlor {

// Sorts the whole palette ascending, comparing entries as signed 32-bit numbers.
void SortPalette(tPAL& palette);

// Sorts palette[lo..hi] (both included) ascending with a middle-pivot quicksort. A range that
// is empty or reaches outside the palette is left alone.
void QuickSortRange(tPAL& palette, int lo, int hi);

}  // namespace vexlor
