#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "craft/craft_names.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::TempDir;

std::vector<std::string> NamesOf(const std::string& text) {
    TempDir dir;
    const std::string path = dir.File("strings.txt");
    test::WriteFileBytes(path, test::Bytes(text.begin(), text.end()));
    return LoadCraftNames(path);
}

std::string Formed(int craft) {
    return "*craft_" + std::to_string(craft);
}

TEST(CraftNames, MarkerLineNamesCraftOneAndTheLinesAfterItTheOthers) {
    const auto names = NamesOf(
        "header\r\nmore:junk\r\nSHIPS!KSPECXW!:X-wing\r\n1:Y-wing\r\nplain name\r\n"
        "ends with colon:\r\nTwo:colons: kept\r\n");
    ASSERT_EQ(names.size(), 218u);
    EXPECT_EQ(names[0], "X-wing");
    EXPECT_EQ(names[1], "Y-wing");
    EXPECT_EQ(names[2], "plain name");
    EXPECT_EQ(names[3], Formed(4));
    EXPECT_EQ(names[4], "colons: kept");
    // Past the end of the text every line is empty.
    EXPECT_EQ(names[5], Formed(6));
    EXPECT_EQ(names[217], Formed(218));
}

TEST(CraftNames, OnlyTheFirst218LinesFromTheMarkerCount) {
    std::string text = "!KSPECXW!:first\r\n";
    for (int craft = 2; craft <= 230; ++craft) {
        text += "n:craft " + std::to_string(craft) + "\r\n";
    }
    const auto names = NamesOf(text);
    ASSERT_EQ(names.size(), 218u);
    EXPECT_EQ(names[0], "first");
    EXPECT_EQ(names[217], "craft 218");
}

TEST(CraftNames, WithoutTheMarkerTheLastLineNamesCraftOne) {
    auto names = NamesOf("a:one\r\nb:two\r\n");
    EXPECT_EQ(names[0], "two");
    EXPECT_EQ(names[1], Formed(2));
    // The marker's letter case matters.
    names = NamesOf("!kspecxw!:lower\r\nlast line");
    EXPECT_EQ(names[0], "last line");
    // A text ending in an empty line ends with that empty line.
    names = NamesOf("a:one\r\n\r\n");
    EXPECT_EQ(names[0], Formed(1));
}

TEST(CraftNames, OnlyCarriageReturnEndsALine) {
    // A lone LF is part of the line; CR LF and a lone CR end it.
    auto names = NamesOf("!KSPECXW!:A\nB\r\nc:C\rd:D\r\r\ne:E");
    EXPECT_EQ(names[0], "A\nB");
    EXPECT_EQ(names[1], "C");
    EXPECT_EQ(names[2], "D");
    EXPECT_EQ(names[3], Formed(4));
    EXPECT_EQ(names[4], "E");
    EXPECT_EQ(names[5], Formed(6));
    // LF-only text is one long line.
    names = NamesOf("x:1\ny:2\n!KSPECXW!:3\n");
    EXPECT_EQ(names[0], "1\ny:2\n!KSPECXW!:3\n");
}

TEST(CraftNames, EndOfTextByteEndsTheText) {
    const auto names = NamesOf("!KSPECXW!:A\r\nb:B\x1A\r\nc:C\r\n");
    EXPECT_EQ(names[1], "B");
    EXPECT_EQ(names[2], Formed(3));
    // Before the marker, it hides the marker.
    EXPECT_EQ(NamesOf("a:one\x1A!KSPECXW!:two\r\n")[0], "one");
}

TEST(CraftNames, MissingOrEmptyFileGivesFormedNames) {
    TempDir dir;
    for (const auto& names : {LoadCraftNames(dir.File("missing.txt")), NamesOf(""),
                              LoadCraftNames(dir.Path().string())}) {
        ASSERT_EQ(names.size(), 218u);
        for (int craft = 1; craft <= 218; ++craft) {
            EXPECT_EQ(names[static_cast<std::size_t>(craft - 1)], Formed(craft));
        }
    }
}

TEST(CraftNames, HugeFileIsReadOnlyUpToTheCap) {
    TempDir dir;
    const std::string path = dir.File("strings.txt");
    test::WriteFileBytes(path, {'!', 'K', 'S', 'P', 'E', 'C', 'X', 'W', '!'});
    // Sparse: a gigabyte of zero bytes that takes no disk space, one line with no line end.
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
    const auto names = LoadCraftNames(path);
    ASSERT_EQ(names.size(), 218u);
    EXPECT_EQ(names[0].size(), std::size_t{16} * 1024 * 1024);
    EXPECT_EQ(names[1], Formed(2));
}

}  // namespace
}  // namespace vexlor
