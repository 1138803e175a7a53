#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/cli/cli_runner.h"
#include "tests/cli/library_bytes.h"
#include "tests/support/test_files.h"

namespace vexlor::test {
namespace {

class LibraryCommands : public ::testing::Test {
  protected:
    std::string Library(const Bytes& bytes) {
        WriteFileBytes(path_, bytes);
        return path_;
    }

    TempDir dir_;
    std::string path_ = dir_.File("library.dat");
};

TEST_F(LibraryCommands, CreateWritesTheLibraryThatKindRecognises) {
    const std::pair<const char*, const char*> cases[] = {
        {"hull", "HULL yes\nMAP no\nSHIP no\nBATTLE/MISSION no\n"},
        {"map", "HULL no\nMAP yes\nSHIP no\nBATTLE/MISSION no\n"},
        {"ship", "HULL no\nMAP no\nSHIP yes\nBATTLE/MISSION no\n"},
        {"mission", "HULL no\nMAP no\nSHIP no\nBATTLE/MISSION yes\n"},
    };
    for (const auto& [word, kinds] : cases) {
        SCOPED_TRACE(word);
        const CliResult created = RunCli({"create", word, path_});
        EXPECT_EQ(created.status, 0) << created.err;
        EXPECT_EQ(created.out + created.err, "");
        const CliResult kind = RunCli({"kind", path_});
        EXPECT_EQ(kind.status, 0);
        EXPECT_EQ(kind.out, kinds);
    }
    const CliResult unwritable = RunCli({"create", "hull", dir_.File("no-folder/x.dat")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_NE(unwritable.err, "");
    EXPECT_EQ(RunCli({"kind", dir_.File("absent.dat")}).out,
              "HULL no\nMAP no\nSHIP no\nBATTLE/MISSION no\n");
}

TEST_F(LibraryCommands, InfoPrintsTheRecordsAsRead) {
    const CliResult empty = RunCli({"create", "hull", path_});
    ASSERT_EQ(empty.status, 0);
    EXPECT_EQ(RunCli({"info", path_}).out,
              R"({"header": {"signature": true, "GroupCount": 1, "ImageCount": 0, )"
              R"("ImageDataSize": 0, "ColourCount": 0, "LibraryKind": 1, "GroupDataSize": 24}, )"
              R"("groups": [{"GroupId": 26000, "ImageCount": 0, "ImageDataSize": 0, )"
              R"("ColourCount": 0, "DataOffset": 0}], "images": [], "problems": []})"
              "\n");

    // One SHIP picture, then the file cut inside its pixel data.
    Bytes ship = BuildLibrary(3, {{20005,
                                   {{.colours = 1,
                                     .pixelBytes = 10,
                                     .format = kRunLengthFormat,
                                     .width = 180,
                                     .height = 180}}}});
    ship.resize(ship.size() - 4);
    PatchU16(ship, 0, 0);  // no signature: info reports it without judging
    const CliResult info = RunCli({"info", Library(ship)});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out,
              R"({"header": {"signature": false, "GroupCount": 1, "ImageCount": 1, )"
              R"("ImageDataSize": 75, "ColourCount": 1, "LibraryKind": 3, "GroupDataSize": 24}, )"
              R"("groups": [{"GroupId": 20005, "ImageCount": 1, "ImageDataSize": 75, )"
              R"("ColourCount": 1, "DataOffset": 0}], "images": [{"offset": 58, )"
              R"("PictureFormat": 23, "Width": 180, "Height": 180, "GroupId": 20005, )"
              R"("PictureId": 1, "DataSize": 57, "PixelOffset": 47, "BlockWidth": 180, )"
              R"("BlockHeight": 180, "ColourCount": 1}], "problems": ["the file ends inside )"
              R"(the pixel data of image record 1 of 1 at offset 58"]})"
              "\n");
}

TEST_F(LibraryCommands, InfoFailsOnlyWithoutAHeader) {
    for (const std::string& path : {Library(Bytes(33, 0x57)), dir_.File("absent.dat")}) {
        SCOPED_TRACE(path);
        const CliResult info = RunCli({"info", path});
        EXPECT_EQ(info.status, 1);
        EXPECT_EQ(info.out, "");
        EXPECT_NE(info.err, "");
    }
}

TEST_F(LibraryCommands, CheckPrintsOneLinePerViolation) {
    Bytes hull = BuildLibrary(1, {{kHullGroupId, {{.pictureId = 100, .colours = 5}}}});
    PatchU32(hull, 58 + at::kRecordColourCount, 4);
    PatchU16(hull, 58 + at::kRecordGroupId, 14800);
    const CliResult check = RunCli({"check", Library(hull)});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out,
              "group 1 (GroupId 26000): ColourCount 5 differs from the sum over its records, 4\n"
              "image record 1 at offset 58: PixelOffset 59 differs from 44 + 3 x ColourCount = "
              "56\n"
              "image record 1 at offset 58: GroupId 14800 differs from the GroupId of group 1, "
              "26000\n");
    EXPECT_EQ(check.err, "");

    const CliResult shortFile = RunCli({"check", Library(Bytes(10, 0))});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_EQ(shortFile.out, "the file is 10 bytes long, shorter than the 34-byte header\n");

    const CliResult absent = RunCli({"check", dir_.File("absent.dat")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.out, "");
    EXPECT_NE(absent.err, "");
}

TEST_F(LibraryCommands, AbsurdCountsInATinyFileFinishAtOnce) {
    // 65535 groups and 65535 records, every size 0xFFFFFFFF, in 100 bytes.
    Bytes absurd(100, 0xFF);
    const Bytes hull = BuildLibrary(1, {{kHullGroupId, {}}});
    std::copy(hull.begin(), hull.begin() + 8, absurd.begin());
    for (const char* command : {"info", "check"}) {
        const CliResult result = RunCli({command, Library(absurd)});
        SCOPED_TRACE(command + result.err);
        EXPECT_NE(result.out.find("the file ends inside group record 3 of 65535 at offset 82"),
                  std::string::npos);
        EXPECT_NE(result.out.find("the file ends before image record 1 of 65535 at offset "
                                  "1572874"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace vexlor::test
