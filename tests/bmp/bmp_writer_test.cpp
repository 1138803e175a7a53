#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "library/bmp_file.h"
#include "library/byte_order.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;

IndexedImage Pattern(int width, int height, std::size_t paletteSize, unsigned seed) {
    IndexedImage image(width, height);
    std::mt19937 random(seed);
    for (std::uint8_t& index : image.indices) {
        index = static_cast<std::uint8_t>(random());
    }
    for (std::size_t k = 0; k < paletteSize; ++k) {
        image.palette.push_back(random() & 0xFFFFFFu);
    }
    return image;
}

TEST(BmpWriter, WritesAnUncompressedBottomUp8BitFile) {
    IndexedImage image(3, 2, {MakeColour(0x11, 0x22, 0x33)});
    image.indices = {1, 2, 3, 4, 5, 6};
    const Bytes file = EncodeBmp8(image);
    ASSERT_EQ(file.size(), 14u + 40 + 1024 + 8);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(GetU32(&file[2]), file.size());
    EXPECT_EQ(GetU32(&file[10]), 1078u);
    const std::uint8_t* info = &file[14];
    EXPECT_EQ(GetU32(info), 40u);
    EXPECT_EQ(GetI32(info + 4), 3);
    EXPECT_EQ(GetI32(info + 8), 2);
    EXPECT_EQ(GetU16(info + 12), 1);
    EXPECT_EQ(GetU16(info + 14), 8);
    EXPECT_EQ(GetU32(info + 16), 0u);
    EXPECT_EQ(GetU32(info + 20), 8u);
    EXPECT_EQ(GetU32(info + 24), 2835u);
    EXPECT_EQ(GetU32(info + 28), 2835u);
    EXPECT_EQ(GetU32(info + 32), 256u);
    EXPECT_EQ(GetU32(info + 36), 0u);
    EXPECT_EQ(Bytes(&file[54], &file[62]), test::FromHex("33 22 11 00 00 00 00 00"));
    EXPECT_EQ(Bytes(&file[1078], &file[1086]), test::FromHex("04 05 06 00 01 02 03 00"));
}

TEST(BmpWriter, PadsOrCutsThePaletteTo256Entries) {
    BmpPicture picture;
    for (const std::size_t size : {0u, 1u, 255u, 256u, 300u}) {
        const IndexedImage image = Pattern(2, 2, size, 7);
        const Bytes file = EncodeBmp8(image);
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), picture));
        ASSERT_EQ(picture.indexed.palette.size(), 256u);
        for (std::size_t k = 0; k < 256; ++k) {
            EXPECT_EQ(picture.indexed.palette[k], k < size ? image.palette[k] : 0) << k;
        }
    }
}

TEST(BmpWriter, RoundTripsThroughTheReaderAtEveryRowPadding) {
    for (const auto& [width, height] :
         {std::pair{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 7}, {510, 260}}) {
        const IndexedImage image = Pattern(width, height, 256, static_cast<unsigned>(width));
        BmpPicture picture;
        const Bytes file = EncodeBmp8(image);
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), picture)) << width;
        EXPECT_EQ(picture.bitsPerPixel, 8);
        EXPECT_EQ(picture.indexed.width, width);
        EXPECT_EQ(picture.indexed.height, height);
        EXPECT_EQ(picture.indexed.indices, image.indices) << width;
        EXPECT_EQ(picture.indexed.palette, image.palette);
    }
}

TEST(BmpWriter, RefusesImagesItCannotDescribe) {
    IndexedImage mismatched(4, 4);
    mismatched.indices.pop_back();
    IndexedImage tooWide;
    tooWide.width = kBmpMaxDimension + 1;
    tooWide.height = 1;
    tooWide.indices.resize(static_cast<std::size_t>(tooWide.width));
    for (const IndexedImage& image : {IndexedImage(), IndexedImage(0, 5), mismatched, tooWide}) {
        EXPECT_TRUE(EncodeBmp8(image).empty()) << image.width;
    }
}

TEST(BmpFiles, APlantedLinkIsReplacedNotFollowed) {
    VEXLOR_POSIX_ONLY("symbolic links");
    test::TempDir dir;
    test::WriteFileBytes(dir.File("precious"), Bytes(10, 7));
    std::filesystem::create_symlink(dir.File("precious"), dir.File("hull_26000_4700.bmp"));
    const IndexedImage image = Pattern(7, 3, 256, 3);
    ASSERT_TRUE(WriteBmpFile(dir.File("hull_26000_4700.bmp"), image));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.File("hull_26000_4700.bmp")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("hull_26000_4700.bmp")), EncodeBmp8(image));
    EXPECT_EQ(test::ReadFileBytes(dir.File("precious")), Bytes(10, 7));
}

TEST(BmpFiles, WriteReplacesTheFileAndReadsBack) {
    test::TempDir dir;
    const std::string path = dir.File("picture.bmp");
    test::WriteFileBytes(path, Bytes(5000, 0xEE));
    const IndexedImage image = Pattern(7, 3, 256, 3);
    ASSERT_TRUE(WriteBmpFile(path, image));
    EXPECT_EQ(test::ReadFileBytes(path), EncodeBmp8(image));
    BmpPicture picture;
    ASSERT_TRUE(ReadBmpFile(path, picture));
    EXPECT_EQ(picture.indexed.indices, image.indices);
}

TEST(BmpFiles, ReportsFilesThatCannotBeWrittenOrRead) {
    VEXLOR_POSIX_ONLY("a limit on file sizes");
    test::TempDir dir;
    const IndexedImage image = Pattern(7, 3, 256, 3);
    EXPECT_FALSE(WriteBmpFile(dir.File("missing/picture.bmp"), image));
    EXPECT_FALSE(WriteBmpFile(dir.File("empty.bmp"), IndexedImage()));
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.bmp")));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WriteBmpFile("/dev/full", image));  // a disk that is full
    }
    {
        // A disk that fills up half-way: no cut-off picture under the name, nothing beside it.
        test::FileSizeLimit limit(100);
        EXPECT_FALSE(WriteBmpFile(dir.File("cut.bmp"), image));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    BmpPicture picture;
    EXPECT_FALSE(ReadBmpFile(dir.File("absent.bmp"), picture));
    EXPECT_FALSE(ReadBmpFile(dir.Path().string(), picture));
    test::WriteFileBytes(dir.File("text.bmp"), Bytes{'B', 'M', 'x'});
    EXPECT_FALSE(ReadBmpFile(dir.File("text.bmp"), picture));
}

}  // namespace
}  // namespace vexlor
