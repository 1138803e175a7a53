#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ini_file.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::ScopedCurrentFolder;
using test::TempDir;
using test::WriteText;

std::string Read(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& fallback = "none", std::size_t size = 1024) {
    return ReadProfileString(path, section, key, fallback, size);
}

TEST(ReadProfileStringTest, NamesAreComparedWithoutRegardToCase) {
    TempDir dir;
    const auto path = dir.File("vexlor.ini");
    WriteText(path, "[folders]\r\nxwingalliance=C:\\Games\\XWA\\\r\n");
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance"), "C:\\Games\\XWA\\");
    EXPECT_EQ(Read(path, "FOLDERS", "XWINGALLIANCE"), "C:\\Games\\XWA\\");
    EXPECT_EQ(Read(path, " Folders ", " XWingAlliance "), "C:\\Games\\XWA\\");
}

TEST(ReadProfileStringTest, ValueIsTrimmedAndLosesMatchingQuotes) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path,
              "[S]\n"
              "  Plain  =   some value \t \n"
              "Double=\"  quoted  \"\n"
              "Single='x'\n"
              "Unmatched=\"abc\n"
              "Lone=\"\n"
              "Inner=a\"b\"\n"
              "Empty=\n"
              "Equals=a=b\n");
    EXPECT_EQ(Read(path, "S", "Plain"), "some value");
    EXPECT_EQ(Read(path, "S", "Double"), "  quoted  ");
    EXPECT_EQ(Read(path, "S", "Single"), "x");
    EXPECT_EQ(Read(path, "S", "Unmatched"), "\"abc");
    EXPECT_EQ(Read(path, "S", "Lone"), "\"");
    EXPECT_EQ(Read(path, "S", "Inner"), "a\"b\"");
    EXPECT_EQ(Read(path, "S", "Empty"), "");
    EXPECT_EQ(Read(path, "S", "Equals"), "a=b");
}

TEST(ReadProfileStringTest, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance", "fallback"), "fallback");
    WriteText(path, "[Other]\nXWingAlliance=1\n[Folders]\nSomething=2\n");
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance", "fallback"), "fallback");
    EXPECT_EQ(Read(path, "Absent", "Something", ""), "");
    // Windows removes trailing blanks of the default.
    EXPECT_EQ(Read(path, "Absent", "Something", "de fault   "), "de fault");
}

TEST(ReadProfileStringTest, KeysBelongOnlyToTheirSectionAndTheFirstMatchCounts) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path,
              "Key=before any section\n"
              "[A]\nKey=a1\nkey=a2\n"
              "[B]\nKey=b\n"
              "[a]\nKey=a3\n");
    EXPECT_EQ(Read(path, "A", "Key"), "a1");
    EXPECT_EQ(Read(path, "B", "Key"), "b");
    EXPECT_EQ(Read(path, "C", "Key"), "none");
}

TEST(ReadProfileStringTest, CommentsAndOddLinesAreNotEntries) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path,
              "; comment\n[S]\n;Key=commented\n  [ Spaced ]  \nKey=in spaced\n"
              "[Broken\nnot an entry\n=no name\n");
    EXPECT_EQ(Read(path, "S", "Key"), "none");
    EXPECT_EQ(Read(path, "Spaced", "Key"), "in spaced");
    // "[Broken" has no ']': it is no section header but an ordinary line of section "Spaced".
    EXPECT_EQ(Read(path, "Broken", "Key"), "none");
}

TEST(ReadProfileStringTest, ResultIsLimitedToBufferSizeMinusOne) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    const std::string longValue(2000, 'x');
    WriteText(path, "[S]\nLong=" + longValue + "\nQuoted=\"" + std::string(1023, 'q') + "\"\n");
    EXPECT_EQ(Read(path, "S", "Long"), std::string(1023, 'x'));
    EXPECT_EQ(Read(path, "S", "Quoted"), std::string(1023, 'q'));
    EXPECT_EQ(Read(path, "S", "Long", "none", 5), "xxxx");
    EXPECT_EQ(Read(path, "S", "Long", "none", 1), "");
    EXPECT_EQ(Read(path, "S", "Long", "none", 0), "");
    EXPECT_EQ(Read(path, "S", "Absent", "defaultvalue", 4), "def");
}

TEST(ReadProfileStringTest, ReadsLfCrLfAndUtf8BomFiles) {
    TempDir dir;
    const auto lf = dir.File("lf.ini");
    const auto crlf = dir.File("crlf.ini");
    const auto bom = dir.File("bom.ini");
    const auto last = dir.File("last.ini");
    WriteText(lf, "[S]\nK=v\n");
    WriteText(crlf, "[S]\r\nK=v\r\n");
    WriteText(bom, "\xEF\xBB\xBF[S]\r\nK=v\r\n");
    WriteText(last, "[S]\r\nK=v");
    for (const auto& path : {lf, crlf, bom, last}) {
        EXPECT_EQ(Read(path, "S", "K"), "v") << path;
    }
}

TEST(ReadProfileStringTest, BinaryHugeAndNonFilePathsGiveTheDefault) {
    TempDir dir;
    const auto binary = dir.File("binary.ini");
    WriteText(binary, std::string("[S]\nK=v\n\0\x01\x02", 11));
    EXPECT_EQ(Read(binary, "S", "K"), "none");

    const auto huge = dir.File("huge.ini");
    std::string big = "[S]\nK=v\n";
    big += std::string(kMaxProfileFileBytes, ';');
    WriteText(huge, big);
    EXPECT_EQ(Read(huge, "S", "K"), "none");

    const auto exact = dir.File("exact.ini");
    std::string limit = "[S]\nK=v\n;";
    limit += std::string(kMaxProfileFileBytes - limit.size(), 'c');
    WriteText(exact, limit);
    EXPECT_EQ(Read(exact, "S", "K"), "v");

    EXPECT_EQ(Read(dir.Path().string(), "S", "K"), "none");  // a folder
    EXPECT_EQ(Read("/dev/zero", "S", "K"), "none");
    EXPECT_EQ(Read("", "S", "K"), "none");
}

TEST(ReadProfileStringTest, GarbageTextNeverCrashes) {
    TempDir dir;
    const auto path = dir.File("garbage.ini");
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char c = static_cast<char>(1 + (seed >> 16) % 255);
        garbage.push_back(c);
    }
    garbage += "\n[S]\nK=found\n";
    WriteText(path, garbage);
    EXPECT_NO_THROW(Read(path, "S", "K"));
    EXPECT_NO_THROW(Read(path, "[", "="));
}

TEST(ReadProfileStringTest, BackslashesInThePathAreSeparators) {
    TempDir dir;
    WriteText(dir.Path() / "vexlor.ini", "[Folders]\nXWingAlliance=D:\\X\\\n");
    ScopedCurrentFolder here(dir.Path());
    EXPECT_EQ(Read(".\\vexlor.ini", "Folders", "XWingAlliance"), "D:\\X\\");
}

TEST(WriteProfileStringTest, CreatesTheFileWithCrLfLines) {
    TempDir dir;
    const auto path = dir.File("vexlor.ini");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", "C:\\Games\\XWA\\"));
    EXPECT_EQ(ReadText(path), "[Folders]\r\nXWingAlliance=C:\\Games\\XWA\\\r\n");
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance"), "C:\\Games\\XWA\\");
}

TEST(WriteProfileStringTest, EmptyValueIsWritten) {
    TempDir dir;
    const auto path = dir.File("vexlor.ini");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", ""));
    EXPECT_EQ(ReadText(path), "[Folders]\r\nXWingAlliance=\r\n");
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance"), "");
}

TEST(WriteProfileStringTest, ReplacesTheValueAndKeepsEverythingElse) {
    TempDir dir;
    const auto path = dir.File("vexlor.ini");
    WriteText(path,
              "; my settings\r\n"
              "[Other]\r\n"
              "Key = kept  \r\n"
              "\r\n"
              "[folders]\r\n"
              "  xwingalliance = C:\\Old\\\r\n"
              "Extra=1\r\n"
              "[Last]\r\n"
              "Z=9\r\n");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", "D:\\New\\"));
    EXPECT_EQ(ReadText(path),
              "; my settings\r\n"
              "[Other]\r\n"
              "Key = kept  \r\n"
              "\r\n"
              "[folders]\r\n"
              "  xwingalliance = D:\\New\\\r\n"
              "Extra=1\r\n"
              "[Last]\r\n"
              "Z=9\r\n");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", ""));
    EXPECT_NE(ReadText(path).find("  xwingalliance =\r\n"), std::string::npos);
}

TEST(WriteProfileStringTest, AddsTheKeyAfterTheLastLineOfItsSection) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path, "[Folders]\r\nOther=1\r\n\r\n[Next]\r\nA=2\r\n");
    ASSERT_TRUE(WriteProfileString(path, "FOLDERS", "XWingAlliance", "E:\\"));
    EXPECT_EQ(ReadText(path),
              "[Folders]\r\nOther=1\r\nXWingAlliance=E:\\\r\n\r\n[Next]\r\nA=2\r\n");
}

TEST(WriteProfileStringTest, AddsTheSectionAtTheEnd) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path, "[Next]\r\nA=2");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", "E:\\"));
    EXPECT_EQ(ReadText(path), "[Next]\r\nA=2\r\n\r\n[Folders]\r\nXWingAlliance=E:\\\r\n");
}

TEST(WriteProfileStringTest, LfFileComesBackWithCrLfAndUnchangedText) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path, "\xEF\xBB\xBF[Folders]\nXWingAlliance=old\n# note\n");
    ASSERT_TRUE(WriteProfileString(path, "Folders", "XWingAlliance", "new"));
    EXPECT_EQ(ReadText(path), "\xEF\xBB\xBF[Folders]\r\nXWingAlliance=new\r\n# note\r\n");
}

TEST(WriteProfileStringTest, RefusesWhatCannotBeStoredAndLeavesTheFile) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    const std::string original = "[S]\nK=v\n";
    WriteText(path, original);
    EXPECT_FALSE(WriteProfileString(path, "S", "K", "two\nlines"));
    EXPECT_FALSE(WriteProfileString(path, "S", "K", std::string("nul\0", 4)));
    EXPECT_FALSE(WriteProfileString(path, "S]", "K", "v"));
    EXPECT_FALSE(WriteProfileString(path, "S", "K=", "v"));
    EXPECT_FALSE(WriteProfileString(path, "S", "  ", "v"));
    EXPECT_FALSE(WriteProfileString(path, "S", ";K", "v"));
    EXPECT_EQ(ReadText(path), original);
}

TEST(WriteProfileStringTest, DoesNotRewriteHugeOrBinaryFiles) {
    TempDir dir;
    const auto huge = dir.File("huge.ini");
    const std::string big = "[S]\nK=v\n" + std::string(kMaxProfileFileBytes, ';');
    WriteText(huge, big);
    EXPECT_FALSE(WriteProfileString(huge, "S", "K", "w"));
    EXPECT_EQ(ReadText(huge), big);

    const auto binary = dir.File("binary.ini");
    const std::string bytes("[S]\nK=v\n\0\0", 10);
    WriteText(binary, bytes);
    EXPECT_FALSE(WriteProfileString(binary, "S", "K", "w"));
    EXPECT_EQ(ReadText(binary), bytes);

    EXPECT_FALSE(WriteProfileString(dir.Path().string(), "S", "K", "w"));
    EXPECT_FALSE(WriteProfileString(dir.File("no/such/folder/a.ini"), "S", "K", "w"));
}

TEST(WriteProfileStringTest, LeavesNoTemporaryFileBehind) {
    TempDir dir;
    const auto path = dir.File("a.ini");
    ASSERT_TRUE(WriteProfileString(path, "S", "K", "1"));
    ASSERT_TRUE(WriteProfileString(path, "S", "K", "2"));
    ASSERT_TRUE(WriteProfileString(path, "S", "L", "3"));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(ReadText(path), "[S]\r\nK=2\r\nL=3\r\n");
}

TEST(WriteProfileStringTest, KeepsPermissionsAndRespectsReadOnlyFiles) {
    VEXLOR_POSIX_ONLY("POSIX permissions");
    TempDir dir;
    const auto path = dir.File("a.ini");
    WriteText(path, "[S]\nK=v\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteProfileString(path, "S", "K", "w"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(WriteProfileString(path, "S", "K", "x"));
    EXPECT_EQ(Read(path, "S", "K"), "w");
    fs::permissions(path, fs::perms::owner_all);
}

TEST(WriteProfileStringTest, FollowsASymbolicLink) {
    VEXLOR_POSIX_ONLY("symbolic links");
    TempDir dir;
    const auto real = dir.Path() / "real.ini";
    const auto link = dir.Path() / "link.ini";
    WriteText(real, "[S]\nK=v\n");
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteProfileString(link.string(), "S", "K", "w"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "[S]\r\nK=w\r\n");
}

TEST(IniFileTest, APipeInPlaceOfTheFileIsNeitherReadNorReplaced) {
    VEXLOR_POSIX_ONLY("named pipes");
    TempDir dir;
    const auto path = dir.File("vexlor.ini");
    const test::WaitingFifo pipe(path);
    EXPECT_EQ(Read(path, "Folders", "XWingAlliance"), "none");
    EXPECT_FALSE(WriteProfileString(path, "Folders", "XWingAlliance", "C:\\G\\"));
    EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
}

}  // namespace
}  // namespace vexlor
