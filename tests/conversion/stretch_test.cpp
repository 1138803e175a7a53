#include "library/stretch.h"

#include <numeric>

#include <gtest/gtest.h>

namespace vexlor {
namespace {

TrueColourImage Numbered(int width, int height) {
    TrueColourImage image(width, height);
    std::iota(image.pixels.begin(), image.pixels.end(), 0u);
    return image;
}

TEST(StretchPicture, RepeatsAndDropsWholeRowsAndColumns) {
    TrueColourImage out;
    ASSERT_TRUE(StretchPicture(Numbered(2, 2), 4, 3, out));
    EXPECT_EQ(out.pixels, (std::vector<Colour>{0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3}));
    ASSERT_TRUE(StretchPicture(Numbered(3, 3), 2, 1, out));
    EXPECT_EQ(out.pixels, (std::vector<Colour>{0, 1}));  // columns 0 * 3 / 2 and 1 * 3 / 2
}

TEST(StretchPicture, RefusesBadSizesAndEmptySources) {
    TrueColourImage out = Numbered(1, 1);
    EXPECT_FALSE(StretchPicture(TrueColourImage(), 4, 4, out));
    EXPECT_TRUE(out.pixels.empty());
    EXPECT_FALSE(StretchPicture(Numbered(2, 2), 0, 4, out));
    EXPECT_FALSE(StretchPicture(Numbered(2, 2), 16384, 16384, out));
}

}  // namespace
}  // namespace vexlor
