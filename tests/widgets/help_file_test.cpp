#include "widgets/help_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace vexlor {
namespace {

TEST(ReadHelpFile, ReadsOnlyAPlainFileAndOnlyUpToTheLimit) {
    test::TempDir temp;
    const std::filesystem::path file = temp.Path() / "Help.txt";
    test::WriteFileBytes(file, test::Bytes{'a', 'b', 'c', 'd'});
    const std::optional<HelpFileText> whole = ReadHelpFile(file.string(), 4);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(std::pair(whole->bytes, whole->cut), std::pair(std::string("abcd"), false));
    const std::optional<HelpFileText> start = ReadHelpFile(file.string(), 3);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(std::pair(start->bytes, start->cut), std::pair(std::string("abc"), true));

    EXPECT_FALSE(ReadHelpFile((temp.Path() / "missing.txt").string()).has_value());
    EXPECT_FALSE(ReadHelpFile(temp.Path().string()).has_value());
    EXPECT_FALSE(ReadHelpFile("/dev/zero").has_value());
}

}  // namespace
}  // namespace vexlor
