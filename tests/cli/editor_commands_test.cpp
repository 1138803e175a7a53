#include <gtest/gtest.h>

#include <filesystem>

#include "library/bmp_file.h"
#include "tests/cli/cli_runner.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::RunCli;
using test::TempDir;
using test::TestPicture;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(EditorCommands, HullAppendListExportAndRenumber) {
    TempDir dir;
    const std::string library = dir.File("HULL.DAT");
    const std::string bmp = dir.File("pic.bmp");
    const std::string small = dir.File("small.bmp");
    ASSERT_TRUE(WriteBmpFile(bmp, TestPicture(32, 32)));
    ASSERT_TRUE(WriteBmpFile(small, TestPicture(16, 16)));
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);

    auto appended = RunCli({"append", "hull", library, bmp, "--id", "4700"});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "4700\n");
    auto refused = RunCli({"append", "hull", library, small, "--id", "4800"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Must be a valid 32 x 32 x 256 BMP\n");
    EXPECT_EQ(RunCli({"append", "hull", library, bmp, "--id", "4750"}).status, 1);

    const auto list = RunCli({"list", "hull", library});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(Contains(list.out, R"("editable": true)")) << list.out;
    EXPECT_TRUE(Contains(list.out, R"("count": 1)"));
    EXPECT_TRUE(Contains(
        list.out, R"({"row": 0, "caption": "4700", "type": "", "width": 32, "height": 32})"));
    EXPECT_TRUE(Contains(list.out, R"("suggested": 4800)"));

    const auto exported = RunCli({"export", "hull", library, "--out", dir.Path().string()});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, dir.File("hull_26000_4700.bmp") + "\n");
    EXPECT_EQ(RunCli({"export", "hull", library, "--out", dir.Path().string(), "3"}).status, 1);
    const auto fresh = RunCli({"export", "hull", library, "--out", dir.File("new/folder")});
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("new/folder/hull_26000_4700.bmp")));

    EXPECT_EQ(RunCli({"renumber", "hull", library, "0", "4700", "4750"}).status, 1);
    EXPECT_EQ(RunCli({"renumber", "hull", library, "0", "4700", "9900"}).status, 0);
    const auto stale = RunCli({"renumber", "hull", library, "0", "4700", "100"});
    EXPECT_EQ(stale.status, 1);
    EXPECT_TRUE(Contains(stale.err, "no longer carries 4700")) << stale.err;
    EXPECT_TRUE(Contains(RunCli({"list", "hull", library}).out, R"("caption": "9900")"));
}

TEST(EditorCommands, MissionNumbersStayInTheirSeries) {
    TempDir dir;
    const std::string library = dir.File("MISSION.DAT");
    const std::string square = dir.File("square.bmp");
    ASSERT_TRUE(WriteBmpFile(square, TestPicture(260, 260)));
    ASSERT_EQ(RunCli({"create", "mission", library}).status, 0);

    EXPECT_EQ(RunCli({"append", "mission", library, square, "--id", "999"}).status, 1);
    const auto appended = RunCli({"append", "mission", library, square, "--id", "5"});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "6\n");

    const auto list = RunCli({"list", "mission", library});
    EXPECT_TRUE(Contains(list.out, R"("caption": "5", "type": "MISSION")")) << list.out;
    EXPECT_TRUE(
        Contains(list.out, R"("highest": {"BATTLE": -2000, "MISSION": 5, "mission": -1000})"));
    EXPECT_EQ(RunCli({"renumber", "mission", library, "0", "5", "999"}).status, 1);
    EXPECT_EQ(RunCli({"renumber", "mission", library, "0", "5", "7"}).status, 0);
}

TEST(EditorCommands, ShipAppendKeepsTheNamedCopy) {
    TempDir dir;
    const std::string library = dir.File("SHIP.DAT");
    const std::string picture = dir.File("ship.bmp");
    ASSERT_TRUE(WriteBmpFile(picture, TestPicture(180, 180)));
    ASSERT_EQ(RunCli({"create", "ship", library}).status, 0);
    const auto appended = RunCli(
        {"append", "ship", library, picture, "--id", "20003", "--tmp", dir.File("copy.tmp")});
    EXPECT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "20003\n");
    EXPECT_EQ(std::filesystem::file_size(dir.File("copy.tmp")), 34u);
    EXPECT_EQ(
        RunCli({"append", "ship", library, picture, "--id", "20255", "--tmp", dir.File("copy.tmp")})
            .status,
        1);
    EXPECT_TRUE(Contains(RunCli({"list", "ship", library}).out, R"("suggested": 20004)"));

    std::filesystem::create_hard_link(library, dir.File("SHIP.DAT.saved"));
    const auto linked = RunCli(
        {"append", "ship", library, picture, "--id", "20004", "--tmp", dir.File("copy.tmp")});
    EXPECT_EQ(linked.status, 1);
    EXPECT_EQ(linked.err, "SHIP.DAT has other hard links, so it was not changed\n");
}

// The half-written files of an export that was stopped go with the next export into the folder.
TEST(EditorCommands, ExportRemovesWhatAStoppedExportLeft) {
    TempDir dir;
    const std::string library = dir.File("HULL.DAT");
    const std::string picture = dir.File("hull.bmp");
    ASSERT_TRUE(WriteBmpFile(picture, TestPicture(32, 32)));
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);
    ASSERT_EQ(RunCli({"append", "hull", library, picture, "--id", "4700"}).status, 0);
    std::filesystem::create_directory(dir.File("out"));
    for (const char* left :
         {"hull_26000_4800.png.vexlor-new", "hull_26000_4900.bmp.vexlor-new-2"}) {
        test::WriteFileBytes(dir.File("out/") + left, test::Bytes(7, 1));
    }
    const auto exported = RunCli({"export", "hull", library, "--png", "--out", dir.File("out")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("out")),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace vexlor
