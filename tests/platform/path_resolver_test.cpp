#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path_resolver.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::ScopedCurrentFolder;
using test::TempDir;
using test::WriteText;

class ResolvePathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VEXLOR_POSIX_ONLY("a file system that tells letter case apart");
        base_ = dir_.Path().string() + "/";
        WriteText(dir_.Path() / "Resdata" / "HULL.DAT", "h");
        WriteText(dir_.Path() / "Resdata" / "map.dat", "m");
        fs::create_directories(dir_.Path() / "OutPut");
    }
    TempDir dir_;
    std::string base_;
};

TEST_F(ResolvePathTest, ComponentsTakeTheSpellingOfExistingEntries) {
    EXPECT_EQ(ResolvePath(base_, "resdata\\hull.dat"), base_ + "Resdata/HULL.DAT");
    EXPECT_EQ(ResolvePath(base_, "RESDATA/MAP.DAT"), base_ + "Resdata/map.dat");
    EXPECT_EQ(ResolvePath(base_, "Resdata\\HULL.DAT"), base_ + "Resdata/HULL.DAT");
    EXPECT_EQ(ResolvePath(base_, "Output\\hull_26000_4700.bmp"),
              base_ + "OutPut/hull_26000_4700.bmp");
}

TEST_F(ResolvePathTest, MissingComponentsAreTakenAsWritten) {
    EXPECT_EQ(ResolvePath(base_, "resdata\\New.Dat"), base_ + "Resdata/New.Dat");
    EXPECT_EQ(ResolvePath(base_, "Nowhere\\Sub/File.TXT"), base_ + "Nowhere/Sub/File.TXT");
    EXPECT_EQ(ResolvePath(base_ + "absent/", "Resdata\\HULL.DAT"),
              base_ + "absent/Resdata/HULL.DAT");
}

TEST_F(ResolvePathTest, BothSeparatorsAndRepeatedOnesAreAccepted) {
    EXPECT_EQ(ResolvePath(base_, "resdata/\\hull.dat"), base_ + "Resdata/HULL.DAT");
    EXPECT_EQ(ResolvePath(base_, "\\resdata\\hull.dat"), base_ + "Resdata/HULL.DAT");
}

TEST_F(ResolvePathTest, FinalSeparatorIsKeptAndEmptyRelativeGivesBase) {
    EXPECT_EQ(ResolvePath(base_, "output\\"), base_ + "OutPut/");
    EXPECT_EQ(ResolvePath(base_, ""), base_);
}

TEST_F(ResolvePathTest, BaseWithoutSeparatorGetsOne) {
    EXPECT_EQ(ResolvePath(dir_.Path().string(), "resdata\\hull.dat"), base_ + "Resdata/HULL.DAT");
}

TEST_F(ResolvePathTest, BaseIsUsedAsGiven) {
    // The base is not itself resolved: only the relative part is.
    const std::string upper = dir_.Path().string() + "/RESDATA/";
    EXPECT_EQ(ResolvePath(upper, "hull.dat"), upper + "hull.dat");
}

TEST_F(ResolvePathTest, ExactMatchWinsAndTiesAreBrokenByByteOrder) {
    WriteText(dir_.Path() / "Pair" / "a.txt", "1");
    WriteText(dir_.Path() / "Pair" / "A.TXT", "2");
    EXPECT_EQ(ResolvePath(base_, "pair\\a.txt"), base_ + "Pair/a.txt");
    EXPECT_EQ(ResolvePath(base_, "pair\\A.TXT"), base_ + "Pair/A.TXT");
    EXPECT_EQ(ResolvePath(base_, "pair\\A.txt"), base_ + "Pair/A.TXT");
}

TEST_F(ResolvePathTest, AFolderIsPreferredWhereThePathGoesOn) {
    WriteText(dir_.Path() / "Mixed" / "DATA", "a file");
    WriteText(dir_.Path() / "Mixed" / "data" / "x.bin", "in the folder");
    EXPECT_EQ(ResolvePath(base_, "mixed\\Data\\X.BIN"), base_ + "Mixed/data/x.bin");
    EXPECT_EQ(ResolvePath(base_, "mixed\\Data"), base_ + "Mixed/DATA");
}

TEST_F(ResolvePathTest, EmptyBaseSearchesTheCurrentFolder) {
    ScopedCurrentFolder here(dir_.Path());
    EXPECT_EQ(ResolvePath("", "RESDATA\\hull.dat"), "Resdata/HULL.DAT");
    EXPECT_EQ(ResolvePath("./", "output"), "./OutPut");
}

TEST_F(ResolvePathTest, UnreadableFolderLeavesTheRestAsWritten) {
    fs::create_directories(dir_.Path() / "Locked" / "Inner");
    fs::permissions(dir_.Path() / "Locked", fs::perms::owner_write | fs::perms::owner_exec);
    // Root reads it anyway; either way nothing throws and the known part is kept.
    const std::string result = ResolvePath(base_, "locked\\inner");
    EXPECT_TRUE(result == base_ + "Locked/Inner" || result == base_ + "Locked/inner") << result;
    fs::permissions(dir_.Path() / "Locked", fs::perms::owner_all);
}

}  // namespace
}  // namespace vexlor
