#include "library/shade.h"

#include <cmath>

#include <gtest/gtest.h>

namespace vexlor {
namespace {

TEST(Shade, BrightestChannelScaledByAlpha) {
    const Colour purple = MakeColour(100, 50, 200);
    EXPECT_EQ(GreyShade(purple, 255), 13158600u);
    EXPECT_EQ(GreyShade(purple, 128), MakeColour(100, 100, 100));
    EXPECT_EQ(GreenShade(purple, 128), MakeColour(0, 100, 0));
    EXPECT_EQ(YellowShade(purple, 128), MakeColour(100, 100, 0));
    EXPECT_EQ(GreyShade(purple | 0x5A000000u, 0), 0x5A000000u);
    EXPECT_EQ(GreenShade(MakeColour(255, 255, 255), 0), 0u);
    EXPECT_EQ(YellowShade(purple | 0x5A000000u, 0), 0u);
}

TEST(Shade, RoundsLikeTheFloatingPointFormula) {
    for (unsigned level = 0; level < 256; ++level) {
        for (unsigned alpha = 0; alpha < 256; ++alpha) {
            const auto expected = static_cast<unsigned>(std::lround(level * alpha / 255.0));
            ASSERT_EQ(GreyShade(MakeColour(0, level, 0), static_cast<std::uint8_t>(alpha)),
                      MakeColour(expected, expected, expected))
                << level << " " << alpha;
        }
    }
}

}  // namespace
}  // namespace vexlor
