// add, set, remove and rename on a library of several groups, as a user would run them: each
// leaves a library that check finds ok, and undo takes every one back byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/bmp_file.h"
#include "pictures/picture_files.h"
#include "tests/cli/cli_runner.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::RunCli;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Opaque red in the middle, its edge fading through soft alpha to a transparent border.
RgbaPicture SoftEdged(int width, int height) {
    RgbaPicture picture(width, height);
    picture.hasAlpha = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            pixel[0] = 200;
            pixel[1] = static_cast<std::uint8_t>(10 * x);
            pixel[3] = x == 0 ? 0 : x == 1 ? 77 : 255;
        }
    }
    return picture;
}

class AnyLibraryCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        library_ = dir_.File("HULL.DAT");
        bmp_ = dir_.File("a.bmp");
        png_ = dir_.File("soft.png");
        ASSERT_TRUE(WriteBmpFile(bmp_, test::TestPicture(32, 32, 1)));
        ASSERT_TRUE(WritePngFile(png_, SoftEdged(12, 6)));
        ASSERT_EQ(RunCli({"create", "hull", library_}).status, 0);
        ASSERT_EQ(RunCli({"append", "hull", library_, bmp_, "--id", "4700"}).status, 0);
        original_ = test::ReadFileBytes(library_);
    }
    void ExpectOk(const std::vector<std::string>& args, const std::string& printed) {
        const test::CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, printed + "\n");
        const test::CliResult check = RunCli({"check", library_});
        EXPECT_EQ(check.out, "ok\n") << args.front();
    }
    void ExpectRefused(const std::vector<std::string>& args, int status, const std::string& why) {
        const test::Bytes before = test::ReadFileBytes(library_);
        const test::CliResult result = RunCli(args);
        EXPECT_EQ(result.status, status) << result.err;
        EXPECT_TRUE(Contains(result.err, why)) << result.err;
        EXPECT_EQ(test::ReadFileBytes(library_), before);
    }

    test::TempDir dir_;
    std::string library_;
    std::string bmp_;
    std::string png_;
    test::Bytes original_;
};

TEST_F(AnyLibraryCommands, EachChangeLeavesItOkAndUndoGivesTheFirstFileBack) {
    ExpectOk({"add", library_, "300", "1", png_, "--format", "24"}, "300 1");
    ExpectOk({"add", library_, "300", "2", bmp_, "--size", "40", "20"}, "300 2");
    ExpectOk({"add", library_, "26000", "4800", png_, "--format", "23"}, "26000 4800");
    ExpectOk({"set", library_, "26000", "4700", png_, "--size", "64", "16", "--fit", "stretch"},
             "26000 4700");
    ExpectOk({"rename", library_, "300", "2", "26000", "4900"}, "26000 4900");
    ExpectOk({"remove", library_, "26000", "4800", "26000", "4700"}, "2");

    // The soft edge survived in the index-alpha record, and 300 1 was kept as it was.
    const auto extracted = RunCli({"extract", library_, "--png", "--out", dir_.File("out")});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    RgbaPicture back;
    std::string error;
    ASSERT_TRUE(ReadPictureFile(dir_.File("out/00300_00001.png"), back, error)) << error;
    EXPECT_EQ(back.Pixel(0, 2)[3], 0);
    EXPECT_EQ(back.Pixel(1, 2)[3], 77);
    EXPECT_EQ(back.Pixel(5, 2)[3], 255);

    const auto history = RunCli({"history", library_});
    EXPECT_TRUE(Contains(history.out, "\"what\": \"remove 26000 4800 26000 4700\"")) << history.out;
    EXPECT_TRUE(Contains(history.out, "\"what\": \"rename 300 2 26000 4900\""));
    EXPECT_TRUE(Contains(history.out, "\"what\": \"set 26000 4700\""));
    EXPECT_TRUE(Contains(history.out, "\"what\": \"add 300 1\""));
    for (int k = 0; k < 6; ++k) {
        ASSERT_EQ(RunCli({"undo", library_}).status, 0);
    }
    EXPECT_EQ(test::ReadFileBytes(library_), original_);
    EXPECT_EQ(RunCli({"redo", library_}).out, "add 300 1\n");
}

TEST_F(AnyLibraryCommands, MalformedArgumentsAreUsageErrors) {
    ExpectRefused({"add", library_, "x", "1", png_}, 2, "G must be a number");
    ExpectRefused({"add", library_, "1", "65536", png_}, 2, "P must be a number");
    ExpectRefused({"add", library_, "1", "1", png_, "--size", "0", "5"}, 2, "--size");
    ExpectRefused({"add", library_, "1", "1", png_, "--size", "16385", "5"}, 2, "--size");
    ExpectRefused({"set", library_, "26000", "4700", png_, "--size", "5"}, 2, "two values");
    ExpectRefused({"add", library_, "1", "1", png_, "--format", "25"}, 2, "--format");
    ExpectRefused({"add", library_, "1", "1", png_, "--dither", "2"}, 2, "--dither");
    ExpectRefused({"remove", library_, "26000", "4700", "26000"}, 2, "pairs");
    ExpectRefused({"rename", library_, "26000", "4700", "26000", "-1"}, 2, "P2 must be");
}

TEST_F(AnyLibraryCommands, RefusalsChangeNothing) {
    ExpectRefused({"add", library_, "26000", "4700", png_}, 1, "already has a record 26000 4700");
    ExpectRefused({"set", library_, "26000", "1", png_}, 1, "has no record 26000 1");
    ExpectRefused({"remove", library_, "26000", "4700", "26000", "4700"}, 1,
                  "named more than once");
    ExpectRefused({"rename", library_, "1", "1", "2", "2"}, 1, "has no record 1 1");
    ExpectRefused({"add", library_, "1", "1", dir_.File("none.png")}, 1, "none.png");

    // Alternate single pixels across 2,000 columns: too many operations for a run-length row.
    RgbaPicture striped(2000, 2);
    striped.hasAlpha = true;
    for (int x = 0; x < 2000; ++x) {
        striped.Pixel(x, 1)[3] = x % 2 == 0 ? 255 : 0;
        striped.Pixel(x, 0)[3] = 255;
    }
    const std::string stripes = dir_.File("stripes.png");
    ASSERT_TRUE(WritePngFile(stripes, striped));
    ExpectRefused({"add", library_, "5", "5", stripes, "--format", "23"}, 1, "format 24");
    ExpectOk({"add", library_, "5", "5", stripes, "--format", "24"}, "5 5");

    // A library that check does not find ok is refused with check's first line.
    test::Bytes damaged = test::ReadFileBytes(library_);
    damaged[12] = 9;  // the header's ImageCount
    test::WriteFileBytes(library_, damaged);
    const std::string first = RunCli({"check", library_}).out;
    ExpectRefused({"remove", library_, "5", "5"}, 1, first.substr(0, first.find('\n')));
    ExpectRefused({"remove", library_, "5", "5"}, 1, "repair it first");
}

}  // namespace
}  // namespace vexlor
