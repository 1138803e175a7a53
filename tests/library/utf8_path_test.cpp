#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "library/utf8_path.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

const std::string kJapanese = "\u30e9\u30a4\u30d6\u30e9\u30ea";
const std::string kGreek = "\u0392\u03b9\u03b2\u03bb\u03b9\u03bf\u03b8\u03ae\u03ba\u03b7";

TEST(Utf8Path, NamesOutsideAsciiRoundTripAndSplitAsTheSystemSeesThem) {
    const std::string text = "folder/" + kJapanese + "/" + kGreek + ".dat";
    const std::filesystem::path path = PathFromUtf8(text);
    EXPECT_EQ(Utf8Of(path), text);
    EXPECT_EQ(Utf8Of(path.filename()), kGreek + ".dat");
    EXPECT_EQ(Utf8Of(path.extension()), ".dat");
    EXPECT_EQ(Utf8Of(path.parent_path().filename()), kJapanese);
#ifdef _WIN32
    EXPECT_EQ(path.parent_path().filename().native(), L"\u30e9\u30a4\u30d6\u30e9\u30ea");
    EXPECT_EQ(WideFromUtf8(kGreek),
              L"\u0392\u03b9\u03b2\u03bb\u03b9\u03bf\u03b8\u03ae\u03ba\u03b7");
    EXPECT_EQ(Utf8FromWide(L"\U0001F680"), "\U0001F680") << "a pair of surrogates is one character";
#endif
}

TEST(Utf8Path, BytesThatAreNoUtf8NeitherThrowNorVanish) {
    const std::string bad =
        "a\xff\xfe"
        "b";
    const std::filesystem::path path = PathFromUtf8(bad);
#ifdef _WIN32
    EXPECT_EQ(path.native(), L"a\uFFFD\uFFFDb");
#else
    EXPECT_EQ(Utf8Of(path), bad) << "elsewhere the bytes pass unchanged";
#endif
    EXPECT_TRUE(PathFromUtf8("").empty());
    EXPECT_EQ(Utf8Of(std::filesystem::path()), "");
}

TEST(Utf8Path, OpensAFileByItsUtf8NameWhichTheFolderListsUnderThatName) {
    test::TempDir dir;
    const std::string name = kJapanese + kGreek + ".txt";
    std::FILE* file = OpenFileUtf8(Utf8Of(dir.Path()) + "/" + name, "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("x", file);
    std::fclose(file);
    std::vector<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        listed.push_back(Utf8Of(entry.path().filename()));
    }
    EXPECT_EQ(listed, std::vector<std::string>{name});
    EXPECT_EQ(OpenFileUtf8(Utf8Of(dir.Path()) + "/" + kJapanese, "rb"), nullptr);
}

}  // namespace
}  // namespace vexlor
