#include "library/palette_sort.h"

#include <climits>
#include <utility>

namespace vexlor {

void SortPalette(tPAL& palette) {
    if (palette.size() >= 2 && palette.size() <= static_cast<std::size_t>(INT_MAX)) {
        QuickSortRange(palette, 0, static_cast<int>(palette.size()) - 1);
    }
}

void QuickSortRange(tPAL& palette, int lo, int hi) {
    if (lo < 0 || hi < 0 || static_cast<std::size_t>(hi) >= palette.size()) {
        return;
    }
    while (lo < hi) {
        const std::int32_t pivot = palette[static_cast<std::size_t>(lo + (hi - lo) / 2)];
        int i = lo;
        int j = hi;
        do {
            while (palette[static_cast<std::size_t>(i)] < pivot) {
                ++i;
            }
            while (palette[static_cast<std::size_t>(j)] > pivot) {
                --j;
            }
            if (i <= j) {
                std::swap(palette[static_cast<std::size_t>(i)],
                          palette[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The two parts are disjoint, so the order in which they are sorted does not change the
        // result; recursing into the smaller one only keeps the stack shallow on hostile input.
        if (j - lo < hi - i) {
            QuickSortRange(palette, lo, j);
            lo = i;
        } else {
            QuickSortRange(palette, i, hi);
            hi = j;
        }
    }
}

}  // namespace vexlor
