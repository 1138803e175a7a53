#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "library/bmp_file.h"
#include "pictures/picture_files.h"
#include "tests/cli/cli_runner.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::RunCli;
using test::TempDir;

struct KindCase {
    const char* kind;
    int width;
    int height;
    const char* id;
    const char* stored;
};

// A picture in a few colours with a transparent border and a half-transparent corner.
RgbaPicture FewColours(int width, int height) {
    RgbaPicture picture(width, height);
    picture.hasAlpha = true;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture.Pixel(x, y);
            const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            p[0] = static_cast<std::uint8_t>(40 * (x % 5));
            p[1] = static_cast<std::uint8_t>(30 * (y % 7));
            p[2] = 0;  // black among the opaque colours
            p[3] = border ? 0 : (x < 3 && y < 3 ? 128 : 255);
        }
    }
    return picture;
}

class ImportCommand : public ::testing::TestWithParam<KindCase> {
  protected:
    void SetUp() override {
        library_ = dir_.File("LIB.DAT");
        ASSERT_EQ(RunCli({"create", GetParam().kind, library_}).status, 0);
    }
    std::vector<std::string> Import(const std::string& image, const std::string& id) {
        std::vector<std::string> args = {"import", GetParam().kind, library_, image, "--id", id};
        if (std::string(GetParam().kind) == "ship") {
            args.insert(args.end(), {"--tmp", dir_.File("SHIP.tmp")});
        }
        return args;
    }

    TempDir dir_;
    std::string library_;
};

// The picture goes in with its own colours and transparency, and Export PNG gives them back;
// HULL and MAP, which show each colour as a shade, as greys that follow the colours' brightness.
TEST_P(ImportCommand, ImportedPictureComesBackFromExportPng) {
    const KindCase& c = GetParam();
    const RgbaPicture picture = FewColours(c.width, c.height);
    const std::string png = dir_.File("in.png");
    ASSERT_TRUE(WritePngFile(png, picture));
    const auto imported = RunCli(Import(png, c.id));
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, std::string(c.stored) + "\n");
    EXPECT_EQ(RunCli({"check", library_}).out, "ok\n");
    // Recorded, and taken back, under the command's own name.
    EXPECT_NE(RunCli({"history", library_}).out.find(std::string("\"import ") + c.stored + "\""),
              std::string::npos);

    const auto exported = RunCli({"export", c.kind, library_, "--png", "--out", dir_.File("out")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    ASSERT_NE(exported.out.find(".png\n"), std::string::npos);
    RgbaPicture back;
    std::string error;
    ASSERT_TRUE(ReadPictureFile(exported.out.substr(0, exported.out.size() - 1), back, error));
    ASSERT_EQ(back.width, c.width);
    const bool keepsColours = std::string(c.kind) == "ship" || std::string(c.kind) == "mission";
    std::vector<std::pair<int, int>> brightnessAndLevel;
    int highestChannel = 0;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const std::uint8_t* want = picture.Pixel(x, y);
            const std::uint8_t* got = back.Pixel(x, y);
            ASSERT_EQ(got[3], want[3] < 128 ? 0 : 255) << x << "," << y;
            if (got[3] != 255) {
                continue;
            }
            if (keepsColours) {
                ASSERT_EQ(std::vector<int>(got, got + 3), std::vector<int>(want, want + 3));
                continue;
            }
            ASSERT_EQ(got[0], got[1]);
            ASSERT_EQ(got[0], got[2]);
            brightnessAndLevel.emplace_back(299 * want[0] + 587 * want[1] + 114 * want[2], got[0]);
            highestChannel = std::max({highestChannel, int{want[0]}, int{want[1]}, int{want[2]}});
        }
    }
    // HULL and MAP: greys in the order of the colours' brightness, the brightest at its level.
    std::sort(brightnessAndLevel.begin(), brightnessAndLevel.end());
    for (std::size_t i = 1; i < brightnessAndLevel.size(); ++i) {
        ASSERT_LE(brightnessAndLevel[i - 1].second, brightnessAndLevel[i].second) << i;
    }
    if (!keepsColours) {
        EXPECT_EQ(brightnessAndLevel.back().second, highestChannel);
    }
    const auto undone = RunCli({"undo", library_});
    EXPECT_EQ(undone.out, std::string("import ") + c.stored + "\n") << undone.err;
}

INSTANTIATE_TEST_SUITE_P(Kinds, ImportCommand,
                         ::testing::Values(KindCase{"hull", 32, 32, "4800", "4800"},
                                           KindCase{"map", 16, 16, "100", "100"},
                                           KindCase{"ship", 180, 180, "20001", "20001"},
                                           KindCase{"mission", 100, 75, "5", "1005"}),
                         [](const auto& param) { return std::string(param.param.kind); });

TEST(ImportCommandOptions, MalformedOptionsAreUsageErrorsAndBadPicturesFailures) {
    TempDir dir;
    const std::string library = dir.File("HULL.DAT");
    const std::string png = dir.File("p.png");
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);
    ASSERT_TRUE(WritePngFile(png, FewColours(40, 20)));
    const auto before = test::ReadFileBytes(library);
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--dither", "1.5"},
                                                  {"--dither", "x"},
                                                  {"--fit", "fill"},
                                                  {"--series", "BATTLE"}}) {
        std::vector<std::string> args = {"import", "hull", library, png, "--id", "100"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(RunCli(args).status, 2) << extra[0] << " " << extra[1];
    }
    EXPECT_EQ(RunCli({"import", "hull", library, png, "--id", "ten"}).status, 2);
    EXPECT_EQ(RunCli({"import", "hull", library, png, "--id", "150"}).status, 1);
    const auto unreadable =
        RunCli({"import", "hull", library, dir.File("none.gif"), "--id", "100"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("none.gif"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(library), before);
    EXPECT_EQ(RunCli({"history", library}).out, "{\"undo\": [], \"redo\": []}\n");

    // A picture of another size is fitted; for mission the series follows its proportions.
    EXPECT_EQ(RunCli({"import", "hull", library, png, "--id", "100", "--fit", "cover"}).out,
              "100\n");
    const std::string mission = dir.File("MISSION.DAT");
    ASSERT_EQ(RunCli({"create", "mission", mission}).status, 0);
    EXPECT_EQ(RunCli({"import", "mission", mission, png, "--id", "3"}).out, "2003\n");
    EXPECT_EQ(RunCli({"import", "mission", mission, png, "--id", "3", "--series", "mission"}).out,
              "1003\n");
}

TEST(ReplaceCommand, AnyPictureIsFittedToTheReplacedRecord) {
    TempDir dir;
    const std::string library = dir.File("MISSION.DAT");
    const std::string bmp = dir.File("m.bmp");
    ASSERT_EQ(RunCli({"create", "mission", library}).status, 0);
    ASSERT_TRUE(WriteBmpFile(bmp, test::TestPicture(260, 260)));
    ASSERT_EQ(RunCli({"append", "mission", library, bmp, "--id", "7"}).status, 0);
    const std::string png = dir.File("wide.png");
    ASSERT_TRUE(WritePngFile(png, FewColours(510, 260)));
    EXPECT_EQ(RunCli({"replace", "mission", library, "0", png, "--series", "BATTLE"}).status, 1);
    const auto replaced = RunCli({"replace", "mission", library, "0", png, "--fit", "stretch"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    const std::string list = RunCli({"list", "mission", library}).out;
    EXPECT_NE(list.find("\"caption\": \"7\", \"type\": \"MISSION\", \"width\": 260"),
              std::string::npos)
        << list;
    EXPECT_EQ(RunCli({"undo", library}).out, "replace 8\n");  // MISSION 7 is stored as 8
}

}  // namespace
}  // namespace vexlor
