// vexlor-cli extract: every record of any library as a picture file, named by its identifiers.
#include <gtest/gtest.h>

#include <filesystem>

#include "library/bmp_file.h"
#include "pictures/picture_files.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/any_library.h"

namespace vexlor {
namespace {

using test::AnyRecord;
using test::RunCli;

class Extract : public ::testing::Test {
  protected:
    std::string Library() {
        AnyRecord other = test::RunLengthRow(9, {1});
        other.format = 25;
        AnyRecord broken = test::RunLengthRow(8, {1});
        broken.pixels.pop_back();  // no terminator: not one whole row
        const test::Bytes bytes = test::BuildAnyLibrary(
            9, {{26000, {test::RunLengthRow(4700, {1, 2, 3}), test::RunLengthRow(4700, {3})}},
                {14800, {test::IndexAlphaRow(1, 4), other, broken}}});
        const std::string path = dir_.File("any.dat");
        test::WriteFileBytes(path, bytes);
        return path;
    }
    std::string Out() const { return dir_.File("out"); }

    test::TempDir dir_;
};

TEST_F(Extract, WritesEachDrawableRecordAndNamesTheOthers) {
    const auto result = RunCli({"extract", Library(), "--out", Out(), "--png"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, Out() + "/26000_04700.png\n" + Out() + "/26000_04700_2.png\n" + Out() +
                              "/14800_00001.png\n");
    EXPECT_NE(result.err.find("14800_00009 at offset "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(": format 25 is not drawn"), std::string::npos);
    EXPECT_NE(result.err.find("14800_00008 at offset "), std::string::npos);

    RgbaPicture picture;
    std::string error;
    ASSERT_TRUE(ReadPictureFile(Out() + "/26000_04700.png", picture, error)) << error;
    ASSERT_EQ(picture.width, 5);
    EXPECT_EQ(picture.Pixel(0, 0)[3], 0);  // transparent run
    const std::uint8_t* blue = picture.Pixel(2, 0);
    EXPECT_EQ((std::vector<int>{blue[0], blue[1], blue[2], blue[3]}),
              (std::vector<int>{255, 0, 0, 255}));  // palette 0x0000FF is red 255
    ASSERT_TRUE(ReadPictureFile(Out() + "/14800_00001.png", picture, error));
    EXPECT_EQ(picture.Pixel(3, 0)[3], 180);  // the stored alpha byte
}

TEST_F(Extract, BitmapsKeepTheStoredIndicesAndPalette) {
    const std::string library = Library();
    struct BackToTheStart {
        std::filesystem::path start = std::filesystem::current_path();
        ~BackToTheStart() { std::filesystem::current_path(start); }
    } back;
    std::filesystem::current_path(dir_.Path());
    const auto result = RunCli({"extract", library});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.substr(0, 16), "26000_04700.bmp\n");
    BmpPicture bitmap;
    ASSERT_TRUE(ReadBmpFile(dir_.File("14800_00001.bmp"), bitmap));
    EXPECT_EQ(bitmap.bitsPerPixel, 8);
    EXPECT_EQ(bitmap.indexed.indices, (std::vector<std::uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(bitmap.indexed.palette.size(), 256u);
    EXPECT_EQ(bitmap.indexed.palette[1], 0x405060u);

    // A sound library extracts whole and exits 0.
    test::WriteFileBytes(dir_.File("sound.dat"),
                         test::BuildAnyLibrary(3, {{1, {test::RunLengthRow(2, {1})}}}));
    const auto sound = RunCli({"extract", dir_.File("sound.dat"), "--out", Out()});
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_EQ(sound.out, Out() + "/00001_00002.bmp\n");
}

}  // namespace
}  // namespace vexlor
