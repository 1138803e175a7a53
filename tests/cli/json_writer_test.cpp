// The writer is part of the vexlor-cli program rather than a library, so its source is built
// into this test directly.
#include "cli/json_writer.cpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

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

// Handed on to a stream piece by piece, the text is the one built whole.
void WriteRows(JsonWriter& json) {
    json.BeginObject();
    json.Key("rows");
    json.BeginArray();
    for (int row = 0; row < 5000; ++row) {
        json.BeginObject();
        json.Field("row", row);
        json.Field("caption", std::to_string(-row));
        json.Field("big", std::numeric_limits<std::uint64_t>::max());
        json.Field("least", std::numeric_limits<std::int64_t>::min());
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

TEST(JsonWriter, AStreamGetsTheTextBuiltWhole) {
    JsonWriter whole;
    WriteRows(whole);
    EXPECT_NE(whole.Text().find(R"({"row": 7, "caption": "-7", "big": 18446744073709551615, )"
                                R"("least": -9223372036854775808}, {"row": 8)"),
              std::string::npos);
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    JsonWriter streamed(stream);
    WriteRows(streamed);
    streamed.Flush();
    EXPECT_TRUE(streamed.Text().empty());
    std::string text(static_cast<std::size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), stream), text.size());
    std::fclose(stream);
    EXPECT_EQ(text, whole.Text());
}

}  // namespace
}  // namespace vexlor::cli
