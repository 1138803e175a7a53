#include <gtest/gtest.h>

#include <filesystem>

#include "platform/typed_path.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteText;

constexpr TypedPathUse kOpen = TypedPathUse::Open;
constexpr TypedPathUse kSave = TypedPathUse::Save;

class MatchTypedPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteText(dir_.Path() / "Resdata" / "HULL.DAT", "h");
        WriteText(dir_.Path() / "Resdata" / "Sub" / "map.dat", "m");
        WriteText(dir_.Path() / "Twins" / "SHIP.DAT", "1");
        WriteText(dir_.Path() / "Twins" / "ship.dat", "2");
        WriteText(dir_.Path() / "Twins" / "Mis.dat", "3");
        WriteText(dir_.Path() / "Twins" / "mis.dat", "4");
        WriteText(dir_.Path() / "Twins" / "MIS.DAT", "5");
    }
    std::string At(const std::string& relative) const { return (dir_.Path() / relative).string(); }
    TempDir dir_;
};

TEST_F(MatchTypedPathTest, TheOnlyMatchGivesItsSpelling) {
    EXPECT_EQ(MatchTypedPath(At("Resdata/HULL.dat"), kOpen), At("Resdata/HULL.DAT"));
    EXPECT_EQ(MatchTypedPath(At("Resdata/hull.dat"), kSave), At("Resdata/HULL.DAT"));
    EXPECT_EQ(MatchTypedPath(At("resdata/sub/MAP.DAT"), kOpen), At("Resdata/Sub/map.dat"));
}

TEST_F(MatchTypedPathTest, AnExactNameStandsAndWinsOverOthers) {
    EXPECT_EQ(MatchTypedPath(At("Resdata/HULL.DAT"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Twins/ship.dat"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("twins/mis.dat"), kOpen), At("Twins/mis.dat"));
}

TEST_F(MatchTypedPathTest, SeveralMatchesOrNoneLeaveTheDialogsChoice) {
    EXPECT_EQ(MatchTypedPath(At("Twins/Ship.dat"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Twins/Ship.dat"), kSave), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Resdata/NONE.dat"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("nowhere/HULL.DAT"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("nowhere/HULL.DAT"), kSave), std::nullopt);
    EXPECT_EQ(MatchTypedPath("Resdata/HULL.dat", kOpen), std::nullopt);  // not absolute
}

TEST_F(MatchTypedPathTest, SavingMayNameANewFileInMatchedFolders) {
    EXPECT_EQ(MatchTypedPath(At("RESDATA/SUB/New.dat"), kSave), At("Resdata/Sub/New.dat"));
    EXPECT_EQ(MatchTypedPath(At("RESDATA/SUB/New.dat"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Resdata/New.dat"), kSave), std::nullopt);
}

TEST_F(MatchTypedPathTest, OnlyFoldersLeadOn) {
    // A file "RESDATA" beside the folder does not make the folder ambiguous.
    WriteText(dir_.Path() / "RESDATA", "not a folder");
    EXPECT_EQ(MatchTypedPath(At("resdata/hull.dat"), kOpen), At("Resdata/HULL.DAT"));
    EXPECT_EQ(MatchTypedPath(At("Resdata/hull.dat/x"), kOpen), std::nullopt);
}

}  // namespace
}  // namespace vexlor
