#include <random>

#include <gtest/gtest.h>

#include "library/run_length.h"
#include "tests/conversion/test_pictures.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::FromHex;
using test::ImageFromRows;

const Colour kSky = MakeColour(0, 0, 255);
const Colour kA = MakeColour(30, 0, 0);
const Colour kB = MakeColour(20, 0, 0);

// Hexadecimal byte groups, each followed by how often it repeats.
tPIX Bytes(std::initializer_list<std::pair<const char*, int>> groups) {
    tPIX bytes;
    for (const auto& [hex, times] : groups) {
        const tPIX group = FromHex(hex);
        for (int i = 0; i < times; ++i) {
            bytes.insert(bytes.end(), group.begin(), group.end());
        }
    }
    return bytes;
}

TEST(BmpToRlePicture, TransparentAndOpaqueRunsOfARow) {
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(BmpToRlePicture(ImageFromRows({"00120"}, {kSky, kA, kB}), 5, 1, pixels, palette));
    // B sorts before A: a = 2, b = 1.
    EXPECT_EQ(palette, (tPAL{0, static_cast<std::int32_t>(kB), static_cast<std::int32_t>(kA)}));
    EXPECT_EQ(pixels, FromHex("03 C2 82 C7 02 C7 01 C1 00"));
}

TEST(BmpToRlePicture, FullyTransparentShipPicture) {
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(BmpToShipPicture(IndexedImage(180, 180, {kSky}), pixels, palette));
    EXPECT_EQ(palette, tPAL{0});
    EXPECT_EQ(pixels, Bytes({{"03 FF FF F6", 180}, {"00", 1}}));
}

TEST(BmpToRlePicture, OpaqueRunsStopAt63Pixels) {
    tPIX pixels;
    tPAL palette;
    IndexedImage image(130, 2, {kSky, kA});
    std::fill(image.indices.begin() + 130, image.indices.end(), 1);
    ASSERT_TRUE(BmpToRlePicture(image, 130, 2, pixels, palette));
    EXPECT_EQ(pixels, Bytes({{"03 FF FF C4 03 BF", 1},
                             {"C7 01", 63},
                             {"BF", 1},
                             {"C7 01", 63},
                             {"84", 1},
                             {"C7 01", 4},
                             {"00", 1}}));
}

TEST(BmpToRlePicture, TransparencyFollowsTheColourAndBlackCanBeOpaque) {
    // Index 3 repeats the top-left colour; index 9, beyond the palette, reads as black.
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(
        BmpToRlePicture(ImageFromRows({"01329"}, {kSky, 0, kA, kSky}), 5, 1, pixels, palette));
    EXPECT_EQ(palette, (tPAL{0, 0, static_cast<std::int32_t>(kA)}));
    EXPECT_EQ(pixels, FromHex("04 C1 81 C7 01 C1 82 C7 02 C7 01 00"));
}

TEST(BmpToRlePicture, RefusesRowsNeedingMoreThan255Operations) {
    IndexedImage image(510, 2, {kSky, kA});
    for (int x = 1; x < 510; x += 2) {
        image.SetIndex(x, 1, 1);
    }
    tPIX pixels{1, 2};
    tPAL palette{3};
    EXPECT_FALSE(BmpToRlePicture(image, 510, 2, pixels, palette));
    EXPECT_TRUE(pixels.empty() && palette.empty());
    // 255 operations still fit.
    ASSERT_TRUE(BmpToRlePicture(image, 255, 2, pixels, palette));
    EXPECT_EQ(pixels[6], 255);  // row 1 after row 0: 05 FF FF FF FF C3
}

TEST(BmpToRlePicture, RefusesSizesTheImageDoesNotCover) {
    tPIX pixels;
    tPAL palette;
    EXPECT_FALSE(BmpToShipPicture(IndexedImage(180, 179, {kSky}), pixels, palette));
    EXPECT_FALSE(BmpToRlePicture(IndexedImage(), 0, 0, pixels, palette));
    IndexedImage broken(4, 4, {kSky});
    broken.indices.pop_back();
    EXPECT_FALSE(BmpToRlePicture(broken, 2, 2, pixels, palette));
    EXPECT_TRUE(BmpToRlePicture(ImageFromRows({"01", "10"}, {kSky, kA}), 1, 1, pixels, palette));
    EXPECT_EQ(pixels, FromHex("01 C1 00"));
}

// Colour of a pixel after an encoding: transparent pixels come back as black.
Colour Expected(const IndexedImage& image, int x, int y) {
    const Colour colour = image.PixelColour(x, y);
    return colour == image.PixelColour(0, 0) ? 0 : colour;
}

TEST(RlePicture, RoundTripsThroughBothDecoders) {
    std::mt19937 random(11);
    for (const auto& [width, height] : {std::pair{180, 180}, {510, 260}, {100, 75}, {1, 1}}) {
        const IndexedImage image = test::RandomPicture(width, height, 200, random);
        tPIX pixels;
        tPAL palette;
        ASSERT_TRUE(BmpToRlePicture(image, width, height, pixels, palette));
        ASSERT_EQ(palette.front(), 0);
        ASSERT_TRUE(std::is_sorted(palette.begin(), palette.end()));
        TrueColourImage drawn;
        ASSERT_TRUE(DrawRlePicture(width, height, pixels, palette, drawn));
        IndexedImage decoded;
        ASSERT_TRUE(RlePictureToBmp(width, height, pixels, palette, decoded));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(drawn.Pixel(x, y), Expected(image, x, y)) << x << "," << y;
                ASSERT_EQ(decoded.PixelColour(x, y), Expected(image, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(RlePicture, EveryTruncationDecodesSafelyAndFails) {
    std::mt19937 random(5);
    const IndexedImage image = test::RandomPicture(40, 6, 30, random);
    tPIX pixels;
    tPAL palette;
    ASSERT_TRUE(BmpToRlePicture(image, 40, 6, pixels, palette));
    for (std::size_t length = 0; length < pixels.size(); ++length) {
        const tPIX cut(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(length));
        TrueColourImage drawn;
        IndexedImage decoded;
        EXPECT_FALSE(DrawRlePicture(40, 6, cut, palette, drawn)) << length;
        EXPECT_FALSE(RlePictureToBmp(40, 6, cut, palette, decoded)) << length;
    }
}

}  // namespace
}  // namespace vexlor
