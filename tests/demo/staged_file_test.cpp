#include "demo/staged_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor::demo {
namespace {

namespace fs = std::filesystem;

TEST(StagedFile, AMadeFilePutThroughALinkLandsWhereItLeadsAndTheLinkStays) {
    VEXLOR_POSIX_ONLY("symbolic links");
    test::TempDir temp;
    fs::create_directory(temp.Path() / "elsewhere");
    std::string problem;
    fs::create_symlink("elsewhere/HULL.DAT", temp.Path() / "HULL.DAT");
    const fs::path made = StagingPathOf(temp.Path() / "HULL.DAT");
    test::WriteFileBytes(made, {1, 2, 3});
    ASSERT_TRUE(PutInPlace(made, temp.Path() / "HULL.DAT", problem)) << problem;
    EXPECT_EQ(test::ReadFileBytes(temp.Path() / "elsewhere" / "HULL.DAT"), (test::Bytes{1, 2, 3}));
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "HULL.DAT"));
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace vexlor::demo
