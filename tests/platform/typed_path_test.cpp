#include <gtest/gtest.h>

#include "platform/typed_path.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

constexpr TypedPathUse kOpen = TypedPathUse::Open;
constexpr TypedPathUse kSave = TypedPathUse::Save;

class MatchTypedPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VEXLOR_POSIX_ONLY("a file system that tells letter case apart");
        for (const char* name :
             {"Resdata/HULL.DAT", "Resdata/Sub/map.dat", "RESDATA", "Twins/SHIP.DAT",
              "Twins/ship.dat", "Twins/mis.dat", "Twins/MIS.DAT"}) {
            test::WriteText(dir_.Path() / name, "x");
        }
    }
    std::string At(const std::string& relative) const { return (dir_.Path() / relative).string(); }
    test::TempDir dir_;
};

TEST_F(MatchTypedPathTest, TheOnlyMatchGivesItsSpellingInFoldersToo) {
    EXPECT_EQ(MatchTypedPath(At("Resdata/HULL.dat"), kOpen), At("Resdata/HULL.DAT"));
    EXPECT_EQ(MatchTypedPath(At("Resdata/hull.dat"), kSave), At("Resdata/HULL.DAT"));
    // Only folders lead on: the file RESDATA beside the folder Resdata does not count.
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
    EXPECT_EQ(MatchTypedPath(At("nowhere/HULL.DAT"), kSave), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Resdata/hull.dat/x"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath("Resdata/HULL.dat", kOpen), std::nullopt);  // not absolute
}

TEST_F(MatchTypedPathTest, SavingMayNameANewFileInMatchedFolders) {
    EXPECT_EQ(MatchTypedPath(At("RESDATA/SUB/New.dat"), kSave), At("Resdata/Sub/New.dat"));
    EXPECT_EQ(MatchTypedPath(At("RESDATA/SUB/New.dat"), kOpen), std::nullopt);
    EXPECT_EQ(MatchTypedPath(At("Resdata/New.dat"), kSave), std::nullopt);
}

}  // namespace
}  // namespace vexlor
