#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "library/bmp_file.h"
#include "library/utf8_path.h"
#include "tests/cli/cli_runner.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::RunCli;
using test::TempDir;
using test::TestPicture;

// Names that no single ANSI code page holds together: on Windows they reach the program only
// through the wide command line and the system only through its wide calls.
const std::string kJapanese = "\u30e9\u30a4\u30d6\u30e9\u30ea";  // ライブラリ
const std::string kGreek =
    "\u0392\u03b9\u03b2\u03bb\u03b9\u03bf\u03b8\u03ae\u03ba\u03b7";  // Βιβλιοθήκη

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(path), error);
}

TEST(UnicodePaths, CreateAppendListExportAndUndoALibraryNamedInJapaneseAndGreek) {
    TempDir dir;
    const std::string folder = dir.File(kJapanese + " " + kGreek);
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
    const std::string library = folder + "/" + kJapanese + ".dat";
    const std::string picture = folder + "/" + kGreek + ".bmp";
    ASSERT_TRUE(WriteBmpFile(picture, TestPicture(32, 32, 1)));

    const auto created = RunCli({"create", "hull", library});
    ASSERT_EQ(created.status, 0) << created.err;
    ASSERT_TRUE(Exists(library));
    const Bytes empty = ReadFileBytes(PathFromUtf8(library));

    const auto appended = RunCli({"append", "hull", library, picture, "--id", "4700"});
    ASSERT_EQ(appended.status, 0) << appended.err;
    EXPECT_EQ(appended.out, "4700\n");
    EXPECT_NE(ReadFileBytes(PathFromUtf8(library)), empty);

    const auto listed = RunCli({"list", "hull", library});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find(R"({"row": 0, "caption": "4700")"), std::string::npos) << listed.out;

    const std::string out = folder + "/" + kGreek;
    const auto exported = RunCli({"export", "hull", library, "--out", out});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, out + "/hull_26000_4700.bmp\n") << "paths are printed as UTF-8";
    EXPECT_TRUE(Exists(out + "/hull_26000_4700.bmp"));

    const auto undone = RunCli({"undo", library});
    ASSERT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(library)), empty);
}

TEST(UnicodePaths, AMissingPictureIsNamedInUtf8AndChangesNothing) {
    TempDir dir;
    const std::string library = dir.File(kGreek + ".dat");
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);
    const Bytes empty = ReadFileBytes(PathFromUtf8(library));

    const auto refused =
        RunCli({"append", "hull", library, dir.File(kJapanese + ".bmp"), "--id", "4700"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(kJapanese + ".bmp"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(library)), empty);
    EXPECT_EQ(RunCli({"check", dir.File(kJapanese + ".dat")}).status, 1)
        << "a name that differs only outside ASCII is another file";
}

TEST(UnicodePaths, TheDemoGoesIntoAFolderNamedInGreekAndSaysWhere) {
    TempDir dir;
    const std::string folder = dir.File(kGreek);
    const auto made = RunCli({"demo", folder});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find(kGreek), std::string::npos) << made.out;
    EXPECT_TRUE(Exists(folder + "/vexlor.ini"));
    std::error_code error;
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder + "/XWA"), error));
}

}  // namespace
}  // namespace vexlor
