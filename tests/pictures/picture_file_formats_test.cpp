#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "editors/picture_import.h"
#include "library/byte_order.h"
#include "pictures/picture_files.h"
#include "tests/support/test_files.h"

// The same files through whichever readers the build has (Qt's image readers, or stb_image with
// libtiff and libwebp on Windows): the picture, and whether the file stores transparency, which
// decides whether the top-left colour is taken as transparent, must come out the same.

namespace vexlor {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

Rgba At(const RgbaPicture& picture, int x, int y) {
    const std::uint8_t* p = picture.Pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

struct FileCase {
    const char* name;
    bool hasAlpha;
};

class PictureFileFormats : public ::testing::TestWithParam<FileCase> {};

// make_files.py: 4 x 3 pixels, the top-left (10, 20, 30), the bottom-right transparent in the
// files that store transparency.
TEST_P(PictureFileFormats, ReadTheSamePixelsAndTransparency) {
    const FileCase file = GetParam();
    RgbaPicture picture;
    std::string error;
    ASSERT_TRUE(
        ReadPictureFile(std::string(VEXLOR_TEST_PICTURES) + "/" + file.name, picture, error))
        << error;
    ASSERT_EQ(picture.width, 4);
    ASSERT_EQ(picture.height, 3);
    EXPECT_EQ(picture.hasAlpha, file.hasAlpha);
    const std::string name = file.name;
    if (name.find("palette") == std::string::npos) {
        EXPECT_EQ(At(picture, 0, 0), (Rgba{10, 20, 30, 255}));
        EXPECT_EQ(At(picture, 1, 2), (Rgba{70, 160, 30, 255}));
    }
    EXPECT_EQ(At(picture, 3, 2)[3], file.hasAlpha && name != "opaque_rgba.png" ? 0 : 255);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PictureFileFormats,
    ::testing::Values(FileCase{"rgb.png", false}, FileCase{"rgba.png", true},
                      FileCase{"opaque_rgba.png", true}, FileCase{"palette_trns.png", true},
                      FileCase{"palette.gif", false}, FileCase{"palette_trns.gif", true},
                      FileCase{"rgb24.bmp", false}, FileCase{"rgba32.bmp", false},
                      FileCase{"rgb.tga", false}, FileCase{"rgba.tga", true},
                      FileCase{"rgb.tiff", false}, FileCase{"rgba.tiff", true},
                      FileCase{"rgb.webp", false}, FileCase{"rgba.webp", true}),
    [](const ::testing::TestParamInfo<FileCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            c = c == '.' ? '_' : c;
        }
        return name;
    });

TEST(PictureFileFormats, SixteenBitSamplesAreRoundedToEight) {
    RgbaPicture picture;
    std::string error;
    ASSERT_TRUE(ReadPictureFile(std::string(VEXLOR_TEST_PICTURES) + "/grey16.png", picture, error))
        << error;
    EXPECT_FALSE(picture.hasAlpha);
    EXPECT_EQ(At(picture, 2, 1), (Rgba{4, 4, 4, 255}));  // 1000 / 257 = 3.9
}

// A BMP whose header has an alpha mask stores transparency; one without keeps every pixel
// opaque whatever its fourth bytes hold.
TEST(PictureFileFormats, ThirtyTwoBitBitmapsHaveAlphaOnlyWithAnAlphaMask) {
    for (const bool masked : {true, false}) {
        std::vector<std::uint8_t> file(14 + 124 + 4, 0);
        file[0] = 'B';
        file[1] = 'M';
        PutU32(&file[2], static_cast<std::uint32_t>(file.size()));
        PutU32(&file[10], 14 + 124);
        PutU32(&file[14], 124);
        PutU32(&file[18], 1);
        PutU32(&file[22], 1);
        PutU16(&file[26], 1);
        PutU16(&file[28], 32);
        PutU32(&file[30], 3);  // bit fields
        PutU32(&file[54], 0x00FF0000);
        PutU32(&file[58], 0x0000FF00);
        PutU32(&file[62], 0x000000FF);
        PutU32(&file[66], masked ? 0xFF000000 : 0);
        PutU32(&file[14 + 124], 0x00112233);  // alpha 0
        RgbaPicture picture;
        std::string error;
        ASSERT_TRUE(ReadPictureBytes(file.data(), file.size(), picture, error)) << error;
        EXPECT_EQ(picture.hasAlpha, masked);
        EXPECT_EQ(At(picture, 0, 0), (Rgba{0x11, 0x22, 0x33, std::uint8_t(masked ? 0 : 255)}));
    }
}

// Where each file's picture ends: a GIF's trailer and a TGA's footer come after it.
struct CutCase {
    const char* name;
    std::size_t pictureEnd;
};

// Cut anywhere before its picture ends, a file is refused as cut short (once it is long enough
// to be known by its first bytes); cut after, it reads. The readers themselves would often fill
// the missing part with black.
TEST(PictureFileFormats, FilesCutShortAreRefusedAsSuch) {
    const test::TempDir dir;
    for (const CutCase& c :
         {CutCase{"rgb.png", 81}, CutCase{"palette_trns.png", 147}, CutCase{"grey16.png", 79},
          CutCase{"palette.gif", 90}, CutCase{"palette_trns.gif", 818}, CutCase{"rgb24.bmp", 90},
          CutCase{"rgba32.bmp", 102}, CutCase{"rgb.tga", 54}, CutCase{"rgba.tga", 66},
          CutCase{"rgb.tiff", 182}, CutCase{"rgba.tiff", 190}, CutCase{"rgb.webp", 68},
          CutCase{"rgba.webp", 70}, CutCase{"rgb.jpg", 688}}) {
        const test::Bytes whole =
            test::ReadFileBytes(std::string(VEXLOR_TEST_PICTURES) + "/" + c.name);
        ASSERT_GE(whole.size(), c.pictureEnd) << c.name;
        const std::string cut = (dir.Path() / c.name).string();
        for (std::size_t length = 1; length < c.pictureEnd; ++length) {
            test::WriteFileBytes(cut, test::Bytes(whole.begin(), whole.begin() + length));
            RgbaPicture picture;
            std::string error;
            ASSERT_FALSE(ReadPictureFile(cut, picture, error)) << c.name << " cut to " << length;
            if (length >= 4) {
                ASSERT_EQ(error, std::string("Cannot read the picture ") + c.name + ": " +
                                     "the file is cut short: it ends before its picture")
                    << length;
            }
        }
        test::WriteFileBytes(cut, test::Bytes(whole.begin(), whole.begin() + c.pictureEnd));
        RgbaPicture picture;
        std::string error;
        ASSERT_TRUE(ReadPictureFile(cut, picture, error)) << error;
        EXPECT_EQ(picture.width, 4) << c.name;
    }
}

// Only the decoded size is limited, not each side: a picture far longer than wide is read.
TEST(PictureFileFormats, APictureOfOneSideBeyondTheLibrariesLimitIsRead) {
    const test::TempDir dir;
    RgbaPicture tall(1, 30000);
    std::fill(tall.rgba.begin(), tall.rgba.end(), std::uint8_t{200});
    const std::string path = (dir.Path() / "tall.png").string();
    ASSERT_TRUE(WritePngFile(path, tall));
    RgbaPicture read;
    std::string error;
    ASSERT_TRUE(ReadPictureFile(path, read, error)) << error;
    EXPECT_EQ(read.width, 1);
    EXPECT_EQ(read.height, 30000);

    // Contained in a HULL's 32 x 32: one column, its odd margin split, the rest transparent.
    const PictureImport imported = ImportPictureFile(path, EditorKind::Hull, std::nullopt, {});
    ASSERT_TRUE(imported.converted) << imported.error;
    const RgbaPicture& fitted = imported.converted->fitted;
    ASSERT_EQ(fitted.width, 32);
    ASSERT_EQ(fitted.height, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(At(fitted, x, y)[3] >= 128, x == 15) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace vexlor
