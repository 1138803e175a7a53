// The writer is part of the vexlor-cli program rather than a library, so its source is built
// into this test directly.
#include "cli/json_writer.cpp"

#include <gtest/gtest.h>

namespace vexlor::cli {
namespace {

TEST(JsonWriter, EscapesWhatJsonForbidsAndRepairsBrokenUtf8) {
    EXPECT_EQ(JsonQuoted("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonQuoted("\n\t\r\b\f"), R"("\n\t\r\b\f")");
    EXPECT_EQ(JsonQuoted(std::string("\x01\x1f\0", 3)), R"("\u0001\u001f\u0000")");
    EXPECT_EQ(JsonQuoted("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"");
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(JsonQuoted("a\xFFz"), "\"a" + bad + "z\"");
    EXPECT_EQ(JsonQuoted("\xC0\xAF"), "\"" + bad + bad + "\"") << "overlong";
    EXPECT_EQ(JsonQuoted("\xED\xA0\x80"), "\"" + bad + bad + bad + "\"") << "surrogate";
    EXPECT_EQ(JsonQuoted("\xE2\x82"), "\"" + bad + bad + "\"") << "cut at the end";
}

}  // namespace
}  // namespace vexlor::cli
