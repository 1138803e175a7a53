#include "library/index_alpha.h"

#include <gtest/gtest.h>

#include "tests/conversion/test_pictures.h"

namespace vexlor {
namespace {

const Colour kRed = MakeColour(200, 0, 0);
const Colour kGrey = MakeColour(80, 80, 80);
const auto kRedEntry = static_cast<std::int32_t>(kRed);
const auto kGreyEntry = static_cast<std::int32_t>(kGrey);

TEST(BmpToIndexAlphaPicture, PictureOfIndexZeroOnly) {
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(
        BmpToIndexAlphaPicture(IndexedImage(32, 32, {kRed, kGrey}), 32, 32, pixels, palette));
    EXPECT_EQ(palette, tPAL{kRedEntry});
    EXPECT_EQ(pixels, tPIX(2048, 0));
}

TEST(BmpToIndexAlphaPicture, FirstEqualEntryAndPaletteCutAfterHighest) {
    // Entry 3 repeats entry 1; index 9 lies beyond the palette and reads as black (entry 0).
    const IndexedImage image = test::ImageFromRows({"0139", "2222"}, {0, kRed, kGrey, kRed});
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(BmpToIndexAlphaPicture(image, 4, 2, pixels, palette));
    EXPECT_EQ(palette, (tPAL{0, kRedEntry, kGreyEntry}));
    EXPECT_EQ(pixels, (tPIX{0, 0, 1, 255, 1, 255, 0, 0, 2, 255, 2, 255, 2, 255, 2, 255}));

    EXPECT_FALSE(BmpToIndexAlphaPicture(image, 4, 3, pixels, palette));  // image too small
    EXPECT_TRUE(pixels.empty() && palette.empty());
}

TEST(DrawIndexAlphaPicture, DrawsWhatTheDataHolds) {
    // Three and a half pixels for a 2 x 2 picture; index 7 is beyond the palette.
    TrueColourImage out;
    ASSERT_TRUE(DrawIndexAlphaPicture(2, 2, GreenShade, {1, 255, 1, 128, 7, 255, 1},
                                      {kGreyEntry, kRedEntry}, out));
    EXPECT_EQ(out.pixels,
              (std::vector<Colour>{MakeColour(0, 200, 0), MakeColour(0, 100, 0), 0, kGrey}));
    ASSERT_TRUE(DrawIndexAlphaPicture(1, 1, GreyShade, {0, 0, 0, 255}, {kRedEntry}, out));
    EXPECT_EQ(out.pixels, std::vector<Colour>{0});
}

TEST(IndexAlphaPictureToBmp, ExtendsPaletteAndPicksNearestEntries) {
    tPAL palette = {0, static_cast<std::int32_t>(MakeColour(200, 200, 200)),
                    static_cast<std::int32_t>(MakeColour(90, 90, 90))};
    IndexedImage out;
    ASSERT_TRUE(IndexAlphaPictureToBmp(3, 1, GreyShade, {1, 255, 1, 128, 0, 0}, palette, out));
    EXPECT_EQ(palette.size(), 256u);
    EXPECT_EQ(out.palette.size(), 256u);
    EXPECT_EQ(out.indices, (std::vector<std::uint8_t>{1, 2, 0}));  // 200, 100 -> 90, black

    tPAL longPalette(300, kRedEntry);
    ASSERT_TRUE(IndexAlphaPictureToBmp(1, 1, GreyShade, {}, longPalette, out));
    EXPECT_EQ(longPalette.size(), 256u);
}

TEST(IndexAlphaPicture, DecodersRefuseAbsurdSizesAndMissingShade) {
    TrueColourImage drawn(1, 1);
    IndexedImage indexed(1, 1);
    tPAL palette = {1, 2};
    for (const auto& [width, height] : {std::pair{0, 1}, {1, -1}, {16385, 1}, {16384, 16384}}) {
        EXPECT_FALSE(DrawIndexAlphaPicture(width, height, GreyShade, {}, palette, drawn));
        EXPECT_FALSE(IndexAlphaPictureToBmp(width, height, GreyShade, {}, palette, indexed));
        EXPECT_TRUE(drawn.pixels.empty() && indexed.indices.empty());
    }
    EXPECT_FALSE(DrawIndexAlphaPicture(1, 1, nullptr, {}, palette, drawn));
    EXPECT_EQ(palette.size(), 2u);
}

}  // namespace
}  // namespace vexlor
