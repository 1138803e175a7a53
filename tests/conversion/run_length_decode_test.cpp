#include <gtest/gtest.h>

#include "library/run_length.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::FromHex;

// Entry i is the colour (i, i, i) + 1, so that every entry differs from black and the others.
tPAL NumberedPalette(int entries) {
    tPAL palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back(static_cast<std::int32_t>(MakeColour(1 + i, 1 + i, 1 + i)));
    }
    return palette;
}

Colour EntryColour(int i) {
    return MakeColour(1 + i, 1 + i, 1 + i);
}

TEST(DrawRlePicture, CountsRowsUpToTheTerminator) {
    TrueColourImage out;
    EXPECT_FALSE(DrawRlePicture(4, 1, FromHex("00"), NumberedPalette(2), out));
    EXPECT_EQ(out.width, 4);  // the partly drawn picture comes back
    EXPECT_TRUE(DrawRlePicture(4, 1, FromHex("01 FF 00"), NumberedPalette(2), out));
    EXPECT_EQ(out.pixels, std::vector<Colour>(4, EntryColour(0)));
    // Rows beyond the height are read but dropped, and make the count wrong.
    EXPECT_FALSE(DrawRlePicture(4, 1, FromHex("01 FF 01 81 C7 01 00"), NumberedPalette(2), out));
    EXPECT_EQ(out.pixels, std::vector<Colour>(4, EntryColour(0)));
    // Without its terminator a picture is incomplete even when the row count matches.
    EXPECT_FALSE(DrawRlePicture(4, 1, FromHex("01 C1 01 C1"), NumberedPalette(2), out));
}

TEST(DrawRlePicture, ReadsAllThreeOperations) {
    TrueColourImage out;
    ASSERT_TRUE(
        DrawRlePicture(8, 2, FromHex("01 05 07 07 07 07 07 01 C3 00"), NumberedPalette(8), out));
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(out.Pixel(x, 0), EntryColour(x < 5 ? 7 : 0)) << x;
        EXPECT_EQ(out.Pixel(x, 1), EntryColour(0)) << x;
    }
    ASSERT_TRUE(DrawRlePicture(4, 1, FromHex("02 C1 82 C7 02 00 03 00"), NumberedPalette(3), out));
    EXPECT_EQ(out.pixels, (std::vector<Colour>{EntryColour(0), EntryColour(2), 0, EntryColour(0)}));
}

TEST(DrawRlePicture, DropsPixelsRightOfTheWidthAndStopsWhereTheDataEnds) {
    TrueColourImage out;
    EXPECT_TRUE(
        DrawRlePicture(2, 1, FromHex("02 C1 83 C7 01 C7 01 C7 01 00"), NumberedPalette(2), out));
    EXPECT_EQ(out.pixels, (std::vector<Colour>{EntryColour(0), EntryColour(1)}));
    // The run promises three pairs but the data holds one and a half.
    EXPECT_FALSE(DrawRlePicture(3, 1, FromHex("01 83 C7 01 C7"), NumberedPalette(2), out));
    EXPECT_EQ(out.pixels, (std::vector<Colour>{EntryColour(1), EntryColour(0), EntryColour(0)}));
}

TEST(RlePictureToBmp, ReadsTransparentAndPairRuns) {
    tPAL palette = NumberedPalette(10);
    IndexedImage out;
    ASSERT_TRUE(RlePictureToBmp(10, 1, FromHex("02 C5 83 C7 07 C7 08 C7 09 00"), palette, out));
    EXPECT_EQ(palette.size(), 256u);
    EXPECT_EQ(out.palette.size(), 256u);
    EXPECT_EQ(out.indices, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 7, 8, 9, 0, 0}));
}

TEST(RlePictureToBmp, ResynchronisesAfterBareIndexRuns) {
    tPAL palette = NumberedPalette(8);
    IndexedImage out;
    ASSERT_TRUE(RlePictureToBmp(8, 2, FromHex("01 05 07 07 07 07 07 01 C3 00"), palette, out));
    EXPECT_EQ(out.indices, std::vector<std::uint8_t>(16, 0));
    // No plausible row start after the bare run: decoding stops.
    EXPECT_FALSE(RlePictureToBmp(8, 2, FromHex("01 02 07 07 01 07"), palette, out));
}

TEST(RlePictureToBmp, StoresTheFirstEntryOfEachColour) {
    // Entry 2 repeats entry 1; index 9 is a black padding entry, like entry 0.
    tPAL palette = {0, static_cast<std::int32_t>(EntryColour(5)),
                    static_cast<std::int32_t>(EntryColour(5))};
    IndexedImage out;
    ASSERT_TRUE(RlePictureToBmp(3, 1, FromHex("01 83 C7 02 C7 01 C7 09 00"), palette, out));
    EXPECT_EQ(out.indices, (std::vector<std::uint8_t>{1, 1, 0}));
}

TEST(RlePictureDecoders, RefuseAbsurdSizes) {
    TrueColourImage drawn(1, 1);
    IndexedImage indexed(1, 1);
    tPAL palette = NumberedPalette(2);
    for (const auto& [width, height] :
         {std::pair{0, 1}, {1, 0}, {-5, 1}, {1, 20000}, {9000, 9000}}) {
        EXPECT_FALSE(DrawRlePicture(width, height, FromHex("00"), palette, drawn));
        EXPECT_FALSE(RlePictureToBmp(width, height, FromHex("00"), palette, indexed));
        EXPECT_TRUE(drawn.pixels.empty() && indexed.indices.empty());
    }
}

}  // namespace
}  // namespace vexlor
