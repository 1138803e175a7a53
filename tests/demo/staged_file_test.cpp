#include "tools/demo/staged_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace vexlor::demo {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(StagedFile, FilesPutThroughALinkLandWhereItLeadsAndTheLinkStays) {
    test::TempDir temp;
    fs::create_directory(temp.Path() / "elsewhere");
    fs::create_symlink("elsewhere/resdata.txt", temp.Path() / "resdata.txt");
    std::string problem;
    ASSERT_TRUE(WriteFileReplacing(temp.Path() / "resdata.txt", "a\r\n", problem)) << problem;
    EXPECT_EQ(ReadText(temp.Path() / "elsewhere" / "resdata.txt"), "a\r\n");

    fs::create_symlink("elsewhere/HULL.DAT", temp.Path() / "HULL.DAT");
    const fs::path made = StagingPathOf(temp.Path() / "HULL.DAT");
    test::WriteFileBytes(made, {1, 2, 3});
    ASSERT_TRUE(PutInPlace(made, temp.Path() / "HULL.DAT", problem)) << problem;
    EXPECT_EQ(test::ReadFileBytes(temp.Path() / "elsewhere" / "HULL.DAT"), (test::Bytes{1, 2, 3}));
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "HULL.DAT"));
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 3);
}

TEST(StagedFile, AFileThatCannotBeReplacedIsNamedWithTheReason) {
    test::TempDir temp;
    fs::create_directory(temp.Path() / "resdata.txt");
    std::string problem;
    EXPECT_FALSE(WriteFileReplacing(temp.Path() / "resdata.txt", "a\r\n", problem));
    EXPECT_EQ(problem.rfind("cannot write " + (temp.Path() / "resdata.txt").string() + ": ", 0), 0u)
        << problem;
    EXPECT_TRUE(fs::is_directory(temp.Path() / "resdata.txt"));
}

}  // namespace
}  // namespace vexlor::demo
