#include "resources/line_text.h"

#include <gtest/gtest.h>

namespace vexlor {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, EachKindOfLineBreakEndsALine) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd").lines, (Lines{"a", "b", "c", "d"}));
    // CR LF is one break; LF CR and CR CR are two.
    EXPECT_EQ(SplitLines("a\n\rb").lines, (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\rb").lines, (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\r\nb").lines, (Lines{"a", "", "b"}));
}

TEST(SplitLines, AFinalBreakMakesNoEmptyLine) {
    for (const char* text : {"a\r\nb\r\n", "a\nb\n", "a\rb\r"}) {
        const LineText split = SplitLines(text);
        EXPECT_EQ(split.lines, (Lines{"a", "b"})) << text;
        EXPECT_TRUE(split.endsWithLineBreak) << text;
    }
    const LineText unended = SplitLines("a\r\nb");
    EXPECT_EQ(unended.lines, (Lines{"a", "b"}));
    EXPECT_FALSE(unended.endsWithLineBreak);
}

TEST(SplitLines, EmptyLinesAtTheEndAndAloneAreKept) {
    EXPECT_EQ(SplitLines("a\r\n\r\n").lines, (Lines{"a", ""}));
    EXPECT_EQ(SplitLines("\n").lines, (Lines{""}));
    EXPECT_TRUE(SplitLines("").lines.empty());
    EXPECT_FALSE(SplitLines("").endsWithLineBreak);
}

TEST(EqualIgnoringAsciiCase, FoldsOnlyTheLettersAToZ) {
    EXPECT_TRUE(EqualIgnoringAsciiCase("Resdata\\MIS9.DAT", "RESDATA\\mis9.dat"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("resdata\\a.dat", "resdata\\a.da"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("resdata/a.dat", "resdata\\a.dat"));
    // 8-bit letters stay as they are: the game's names are plain ASCII.
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xe9", "\xc9"));
    // '@' and '`' sit right beside the letters and are not letters.
    EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("[", "{"));
}

}  // namespace
}  // namespace vexlor
