#include "resources/file_replacement.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

using test::ReadFileText;
using test::WriteFileText;

TEST(ReplaceFileContents, ReplacesOrCreatesAndLeavesNothingBeside) {
    test::TempDir temp;
    const fs::path file = temp.Path() / "resdata.txt";
    ASSERT_TRUE(ReplaceFileContents(file.string(), "new\r\n"));
    EXPECT_EQ(ReadFileText(file), "new\r\n");
    WriteFileText(file, "a much longer old content\r\n");
    ASSERT_TRUE(ReplaceFileContents(file.string(), "b\r\n"));
    EXPECT_EQ(ReadFileText(file), "b\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

TEST(ReplaceFileContents, AFailedWriteLeavesTheOldFileWhole) {
    test::TempDir temp;
    const fs::path file = temp.Path() / "resdata.txt";
    WriteFileText(file, "old\r\n");
    fs::create_directory(temp.Path() / "resdata.txt.new");
    EXPECT_FALSE(ReplaceFileContents(file.string(), "new\r\n"));
    EXPECT_EQ(ReadFileText(file), "old\r\n");
}

TEST(ReplaceFileContents, AFolderInPlaceOfTheFileIsRefusedAndKept) {
    test::TempDir temp;
    const fs::path target = temp.Path() / "resdata.txt";
    fs::create_directory(target);
    WriteFileText(target / "inside", "x");
    EXPECT_FALSE(ReplaceFileContents(target.string(), "new\r\n"));
    EXPECT_FALSE(fs::exists(temp.Path() / "resdata.txt.new"));
    EXPECT_TRUE(fs::is_directory(target));
}

TEST(ReplaceFileContents, AReadOnlyFileIsRefusedAndKept) {
    test::TempDir temp;
    const fs::path file = temp.Path() / "resdata.txt";
    WriteFileText(file, "old\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(ReplaceFileContents(file.string(), "new\r\n"));
    EXPECT_EQ(ReadFileText(file), "old\r\n");
}

TEST(ReplaceFileContents, KeepsThePermissionsOfTheFileItReplaces) {
    VEXLOR_POSIX_ONLY("permission bits of owner, group and others");
    test::TempDir temp;
    const fs::path file = temp.Path() / "resdata.txt";
    WriteFileText(file, "old\r\n");
    const fs::perms chosen =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(file, chosen);
    ASSERT_TRUE(ReplaceFileContents(file.string(), "new\r\n"));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask, chosen);
}

TEST(ReadWholeFile, TellsAMissingFileOrAFolderFromAnEmptyFile) {
    test::TempDir temp;
    EXPECT_FALSE(ReadWholeFile((temp.Path() / "missing").string()).has_value());
    EXPECT_FALSE(ReadWholeFile(temp.Path().string()).has_value());
    WriteFileText(temp.Path() / "empty", "");
    EXPECT_EQ(ReadWholeFile((temp.Path() / "empty").string()), std::string());
}

TEST(ReadWholeFile, ReadsFilesLargerThanOneBuffer) {
    test::TempDir temp;
    std::string content(200000, 'x');
    content[199999] = '\0';
    WriteFileText(temp.Path() / "big", content);
    EXPECT_EQ(ReadWholeFile((temp.Path() / "big").string()), content);
}

}  // namespace
}  // namespace vexlor
