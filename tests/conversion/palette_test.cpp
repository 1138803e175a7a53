#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "library/palette_lookup.h"
#include "library/palette_sort.h"

namespace vexlor {
namespace {

TEST(QuickSortRange, AgreesWithStdSort) {
    std::mt19937 random(7);
    for (int size = 0; size < 300; size += 7) {
        for (const std::int32_t spread : {3, 1000, INT32_MAX}) {
            tPAL palette(static_cast<std::size_t>(size));
            std::uniform_int_distribution<std::int32_t> value(-spread, spread);
            std::generate(palette.begin(), palette.end(), [&] { return value(random); });
            tPAL expected = palette;
            std::sort(expected.begin(), expected.end());
            SortPalette(palette);
            ASSERT_EQ(palette, expected) << size << " " << spread;
        }
    }
}

TEST(QuickSortRange, SortsOnlyItsRangeAndIgnoresBadRanges) {
    tPAL palette = {9, 8, 7, 6, 5, 4};
    QuickSortRange(palette, 1, 3);
    EXPECT_EQ(palette, (tPAL{9, 6, 7, 8, 5, 4}));
    QuickSortRange(palette, 2, 6);
    QuickSortRange(palette, -1, 3);
    QuickSortRange(palette, 4, 2);
    EXPECT_EQ(palette, (tPAL{9, 6, 7, 8, 5, 4}));
}

TEST(NearestPaletteEntry, SmallestSquaredDistanceThenLowestIndex) {
    const std::vector<Colour> palette = {MakeColour(0, 0, 0), MakeColour(10, 0, 0),
                                         MakeColour(0, 6, 8), MakeColour(10, 0, 0)};
    EXPECT_EQ(NearestPaletteEntry(palette, MakeColour(10, 0, 0) | 0x7F000000u), 1u);
    EXPECT_EQ(NearestPaletteEntry(palette, MakeColour(5, 0, 0)), 0u);  // tie 25 / 25
    EXPECT_EQ(NearestPaletteEntry(palette, MakeColour(9, 3, 4)), 1u);  // 26 against 106
    EXPECT_EQ(NearestPaletteEntry(palette, MakeColour(0, 7, 9)), 2u);
    EXPECT_EQ(NearestPaletteEntry({}, MakeColour(1, 1, 1)), 0u);
}

}  // namespace
}  // namespace vexlor
