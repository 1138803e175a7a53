#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/game_registry.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using Status = RegistryValue::Status;
using test::ScopedEnv;
using test::TempDir;
using test::WriteText;

const std::string kHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
    "#arch=win32\n\n";
const std::string kKey =
    "[Software\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0] 1234567890\n"
    "#time=1d8a0b5c3e4f123\n";
const std::string kWowKey =
    "[Software\\\\Wow6432Node\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0]"
    " 1234567890\n";

// A prefix with a system.reg and, unless told otherwise, drive_c holding the game.
class WinePrefixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VEXLOR_POSIX_ONLY("a Wine prefix seen from its host");
        prefix_ = dir_.Path().string() + "/prefix";
        fs::create_directories(prefix_ + "/drive_c/Games/XWA");
        WriteText(prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE", "exe");
    }
    void Registry(const std::string& text) { WriteText(prefix_ + "/system.reg", text); }
    RegistryValue Read() { return ReadGameExecutableFromWinePrefix(prefix_); }

    TempDir dir_;
    std::string prefix_;
};

TEST_F(WinePrefixTest, PlainStringIsMappedToDriveC) {
    Registry(kHeader + "[Software\\\\Other] 1\n\"Executable\"=\"C:\\\\nope.exe\"\n\n" + kKey +
             "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n"
             "\"Install Path\"=\"C:\\\\Games\\\\XWA\"\n");
    const RegistryValue value = Read();
    EXPECT_EQ(value.status, Status::Text);
    EXPECT_EQ(value.text, prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE");
}

TEST_F(WinePrefixTest, DosdevicesDriveIsPreferredAndOtherDrivesNeedIt) {
    fs::create_directories(prefix_ + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix_ + "/dosdevices/c:");
    fs::create_directories(dir_.Path() / "elsewhere" / "XWA");
    fs::create_directory_symlink(dir_.Path() / "elsewhere", prefix_ + "/dosdevices/d:");
    Registry(kHeader + kKey + "\"Executable\"=\"C:\\\\games\\\\xwa\\\\xwingalliance.exe\"\n");
    EXPECT_EQ(Read().text, prefix_ + "/dosdevices/c:/Games/XWA/XWINGALLIANCE.EXE");

    Registry(kHeader + kKey + "\"Executable\"=\"d:\\\\xwa\\\\xwingalliance.exe\"\n");
    EXPECT_EQ(Read().text, prefix_ + "/dosdevices/d:/XWA/xwingalliance.exe");

    // A drive without a folder in the prefix: the text stays as read.
    Registry(kHeader + kKey + "\"Executable\"=\"E:\\\\XWA\\\\xwingalliance.exe\"\n");
    EXPECT_EQ(Read().text, "E:\\XWA\\xwingalliance.exe");
}

TEST_F(WinePrefixTest, ExpandStringIsText) {
    Registry(kHeader + kKey +
             "\"Executable\"=str(2):\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n");
    const RegistryValue value = Read();
    EXPECT_EQ(value.status, Status::Text);
    EXPECT_EQ(value.text, prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE");
}

TEST_F(WinePrefixTest, StringInHexFormIsText) {
    // "C:\x.exe" as UTF-16LE without its terminating NUL, split over two lines.
    Registry(kHeader + kKey +
             "\"Executable\"=hex(2):43,00,3a,00,5c,00,\\\n  78,00,2e,00,65,00,78,00,65,00\n");
    const RegistryValue value = Read();
    EXPECT_EQ(value.status, Status::Text);
    EXPECT_EQ(value.text, prefix_ + "/drive_c/x.exe");
}

TEST_F(WinePrefixTest, Wow6432NodeIsFoundAndComesFirst) {
    Registry(kHeader + kWowKey + "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\wow.exe\"\n");
    EXPECT_EQ(Read().text, prefix_ + "/drive_c/Games/XWA/wow.exe");

    Registry(kHeader + kKey + "\"Executable\"=\"C:\\\\plain.exe\"\n\n" + kWowKey +
             "\"Executable\"=\"C:\\\\wow.exe\"\n");
    EXPECT_EQ(Read().text, prefix_ + "/drive_c/wow.exe");

    // A Wow6432Node key without the value leaves the choice to the plain key.
    Registry(kHeader + kKey + "\"Executable\"=\"C:\\\\plain.exe\"\n\n" + kWowKey +
             "\"Other\"=\"x\"\n");
    EXPECT_EQ(Read().text, prefix_ + "/drive_c/plain.exe");
}

TEST_F(WinePrefixTest, KeyAndValueNamesIgnoreCase) {
    Registry(kHeader +
             "[SOFTWARE\\\\lucasarts entertainment company llc\\\\X-WING ALLIANCE\\\\V1.0] 5\n"
             "\"EXECUTABLE\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n");
    EXPECT_EQ(Read().status, Status::Text);
}

TEST_F(WinePrefixTest, OtherTypesAreWrongType) {
    for (const std::string data : {"dword:00000001", "hex:01,02,03", "hex(7):41,00,00,00,00,00",
                                   "str(7):\"a\"", "hex(4):01,00,00,00"}) {
        Registry(kHeader + kKey + "\"Executable\"=" + data + "\n");
        const RegistryValue value = Read();
        EXPECT_EQ(value.status, Status::WrongType) << data;
        EXPECT_EQ(value.text, "") << data;
    }
}

TEST_F(WinePrefixTest, DefaultValueIsNotOurs) {
    Registry(kHeader + kKey + "@=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n");
    EXPECT_EQ(Read().status, Status::Missing);
}

TEST_F(WinePrefixTest, MissingKeyValueFileOrPrefix) {
    Registry(kHeader + "[Software\\\\Other] 1\n\"Executable\"=\"C:\\\\x.exe\"\n");
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + kKey + "\"Other\"=\"C:\\\\x.exe\"\n");
    EXPECT_EQ(Read().status, Status::Missing);

    // The value line must be inside the key: a later section ends it.
    Registry(kHeader + kKey + "\n[Software\\\\Else] 2\n\"Executable\"=\"C:\\\\x.exe\"\n");
    EXPECT_EQ(Read().status, Status::Missing);

    fs::remove(prefix_ + "/system.reg");
    EXPECT_EQ(Read().status, Status::Missing);
    EXPECT_EQ(ReadGameExecutableFromWinePrefix(prefix_ + "/absent").status, Status::Missing);
    EXPECT_EQ(ReadGameExecutableFromWinePrefix("").status, Status::Missing);
}

TEST_F(WinePrefixTest, EscapesAreDecoded) {
    Registry(kHeader + kKey +
             "\"Executable\"=\"C:\\\\Sp\\x00e9cial \\\"Q\\\" \\u00fc\\\\x\\x41.exe\"\n");
    const RegistryValue value = Read();
    EXPECT_EQ(value.status, Status::Text);
    // No such folder: the folder names are taken as written.
    EXPECT_EQ(value.text, prefix_ +
                              "/drive_c/Sp\xC3\xA9"
                              "cial \"Q\" \xC3\xBC/xA.exe");

    Registry(kHeader + kKey + "\"Executable\"=\"rel\\\\a\\tb\\101\\x20ac\\xd83d\\xde00\"\n");
    // Not a drive path: returned as read, in UTF-8.
    EXPECT_EQ(Read().text, "rel\\a\tbA\xE2\x82\xAC\xF0\x9F\x98\x80");

    Registry(kHeader + kKey + "\"Executable\"=\"xwingalliance.exe\"\n");
    EXPECT_EQ(Read().text, "xwingalliance.exe");

    Registry(kHeader + kKey + "\"Executable\"=\"\"\n");
    const RegistryValue empty = Read();
    EXPECT_EQ(empty.status, Status::Text);
    EXPECT_EQ(empty.text, "");
}

TEST_F(WinePrefixTest, CrLfLinesAreRead) {
    Registry(
        "WINE REGISTRY Version 2\r\n" +
        std::string(
            "[Software\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0] 1\r\n"
            "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\r\n"));
    EXPECT_EQ(Read().text, prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE");
}

TEST_F(WinePrefixTest, GarbageFilesGiveMissing) {
    const std::string good = kKey + "\"Executable\"=\"C:\\\\x.exe\"\n";
    Registry(good);  // no header line
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + std::string("\0\0\0", 3) + good);
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + std::string(3u << 20, 'z') + "\n" + good);  // a line over 1 MiB
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + kKey + "\"Executable\"=\"C:\\\\unterminated\n");
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + kKey + "\"Executable\"=hex(2):4\n");
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + kKey + "\"Executable\"=hex(2):41,00,\\\n");  // continuation at the end
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + kKey + "\"Executable\"=bogus\n\"Executable\"\n\"Exec");
    EXPECT_EQ(Read().status, Status::Missing);

    Registry(kHeader + "[Software\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance" +
             "\\\\v1.0\n\"Executable\"=\"C:\\\\x.exe\"\n");  // header without ']'
    EXPECT_EQ(Read().status, Status::Missing);

    fs::remove(prefix_ + "/system.reg");
    fs::create_directory(prefix_ + "/system.reg");
    EXPECT_EQ(Read().status, Status::Missing);

    std::string noise = "WINE REGISTRY Version 2\n";
    unsigned seed = 99;
    for (int i = 0; i < 300000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(1 + (seed >> 16) % 255));
    }
    fs::remove(prefix_ + "/system.reg");
    Registry(noise);
    EXPECT_NO_THROW(Read());
}

TEST_F(WinePrefixTest, LargeRegistryIsReadLineByLine) {
    std::string big = kHeader;
    for (int i = 0; i < 40000; ++i) {
        big += "[Software\\\\Filler\\\\" + std::to_string(i) + "] 1\n\"Value\"=\"" +
               std::string(200, 'f') +
               "\"\n\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,\\\n"
               "  0a,0b\n\n";
    }
    big += kKey + "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n";
    Registry(big);
    EXPECT_GT(fs::file_size(prefix_ + "/system.reg"), 10u << 20);
    EXPECT_EQ(Read().text, prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE");
}

TEST_F(WinePrefixTest, ReadGameExecutableUsesWinePrefixThenHome) {
    Registry(kHeader + kKey + "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n");
    {
        ScopedEnv prefix("WINEPREFIX", prefix_);
        EXPECT_EQ(WinePrefixFolder(), prefix_);
        EXPECT_EQ(ReadGameExecutable().text, prefix_ + "/drive_c/Games/XWA/XWINGALLIANCE.EXE");
    }
    fs::rename(prefix_, dir_.Path() / ".wine");
    ScopedEnv unset("WINEPREFIX", std::nullopt);
    ScopedEnv home("HOME", dir_.Path().string());
    EXPECT_EQ(WinePrefixFolder(), dir_.Path().string() + "/.wine");
    EXPECT_EQ(ReadGameExecutable().text,
              dir_.Path().string() + "/.wine/drive_c/Games/XWA/XWINGALLIANCE.EXE");
    {
        ScopedEnv empty("WINEPREFIX", "");
        EXPECT_EQ(WinePrefixFolder(), dir_.Path().string() + "/.wine");
    }
    ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(WinePrefixFolder(), "");
    EXPECT_EQ(ReadGameExecutable().status, Status::Missing);
}

TEST_F(WinePrefixTest, MapWindowsPath) {
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_, "c:\\games\\xwa\\"),
              prefix_ + "/drive_c/Games/XWA/");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_ + "/", "C:/Games/XWA"),
              prefix_ + "/drive_c/Games/XWA");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_, "C:\\"), prefix_ + "/drive_c/");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_, "C:games"), "");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_, "\\\\server\\share\\x"), "");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_, "D:\\XWA\\"), "");
    EXPECT_EQ(MapWindowsPathToWinePrefix("", "C:\\XWA\\"), "");
    EXPECT_EQ(MapWindowsPathToWinePrefix(prefix_ + "/absent", "C:\\XWA\\"), "");
}

}  // namespace
}  // namespace vexlor
