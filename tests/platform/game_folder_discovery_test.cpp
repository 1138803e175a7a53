#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/game_folder_discovery.h"
#include "platform/ini_file.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using Status = RegistryValue::Status;
using test::ReadText;
using test::ScopedCurrentFolder;
using test::ScopedEnv;
using test::TempDir;
using test::WriteText;

// A registry stand-in that answers with a fixed value and counts its calls.
struct FakeRegistry {
    RegistryValue value;
    int calls = 0;
    std::function<RegistryValue()> Function() {
        return [this] {
            ++calls;
            return value;
        };
    }
};

RegistryValue Text(const std::string& text) {
    return {Status::Text, text};
}

std::string StoredGameFolder(const std::string& ini) {
    return ReadProfileString(ini, "Folders", "XWingAlliance", "<none>", 1024);
}

TEST(FolderPartOfTest, UpToTheLastSeparatorOrDriveColon) {
    EXPECT_EQ(FolderPartOf("C:\\Games\\XWA\\xwingalliance.exe"), "C:\\Games\\XWA\\");
    EXPECT_EQ(FolderPartOf("/opt/vexlor/bin/vexlor"), "/opt/vexlor/bin/");
    EXPECT_EQ(FolderPartOf("C:\\Games/XWA\\x.exe"), "C:\\Games/XWA\\");
    EXPECT_EQ(FolderPartOf("C:\\"), "C:\\");
    EXPECT_EQ(FolderPartOf("C:xwing.exe"), "C:");
    EXPECT_EQ(FolderPartOf("xwingalliance.exe"), "");
    EXPECT_EQ(FolderPartOf(""), "");
    // A colon elsewhere is part of a name, not a drive.
    EXPECT_EQ(FolderPartOf("/wine/dosdevices/c:/x.exe"), "/wine/dosdevices/c:/");
    EXPECT_EQ(FolderPartOf("name:with.colon"), "");
}

class DiscoveryTest : public ::testing::Test {
  protected:
    std::string Ini() const { return dir_.File("vexlor.ini"); }
    Folders Discover(FakeRegistry& registry) {
        return DiscoverFolders("/opt/vexlor/vexlor", Ini(), registry.Function());
    }
    TempDir dir_;
    // No Wine prefix unless a test makes one, whatever the machine has in $HOME/.wine.
    ScopedEnv noPrefix_{"WINEPREFIX", dir_.Path().string() + "/no-prefix"};
};

TEST_F(DiscoveryTest, ProgramFolderIsTheFolderPartOfTheProgramFile) {
    FakeRegistry registry;
    EXPECT_EQ(DiscoverFolders("/opt/vexlor/vexlor", Ini(), registry.Function()).program,
              "/opt/vexlor/");
    EXPECT_EQ(DiscoverFolders("C:\\Tools\\Vexlor.exe", Ini(), registry.Function()).program,
              "C:\\Tools\\");
    EXPECT_EQ(DiscoverFolders("vexlor", Ini(), registry.Function()).program, "./");
}

TEST_F(DiscoveryTest, NoIniAndRegistryValueMappedFromTheWinePrefix) {
    VEXLOR_POSIX_ONLY("a Wine prefix seen from its host");
    const std::string prefix = dir_.Path().string() + "/prefix";
    fs::create_directories(prefix + "/drive_c/Games/XWA");
    WriteText(prefix + "/system.reg",
              "WINE REGISTRY Version 2\n\n"
              "[Software\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0] 1\n"
              "\"Executable\"=\"C:\\\\Games\\\\XWA\\\\xwingalliance.exe\"\n");
    const Folders folders = DiscoverFolders("/opt/vexlor/vexlor", Ini(), [&prefix] {
        return ReadGameExecutableFromWinePrefix(prefix);
    });
    EXPECT_EQ(folders.game, prefix + "/drive_c/Games/XWA/");
    EXPECT_EQ(StoredGameFolder(Ini()), prefix + "/drive_c/Games/XWA/");
    EXPECT_EQ(ReadText(Ini()), "[Folders]\r\nXWingAlliance=" + prefix + "/drive_c/Games/XWA/\r\n");
}

TEST_F(DiscoveryTest, NoIniAndWindowsRegistryValue) {
    FakeRegistry registry{Text("C:\\Games\\XWA\\xwingalliance.exe")};
    const Folders folders = Discover(registry);
    EXPECT_EQ(registry.calls, 1);
    EXPECT_EQ(folders.game, "C:\\Games\\XWA\\");
    EXPECT_EQ(StoredGameFolder(Ini()), "C:\\Games\\XWA\\");
}

TEST_F(DiscoveryTest, ShortIniValueCountsAsMissingAndIsReplacedEvenByEmpty) {
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=C:\\\r\n");
    FakeRegistry found{Text("D:\\XWA\\xwingalliance.exe")};
    EXPECT_EQ(Discover(found).game, "D:\\XWA\\");
    EXPECT_EQ(found.calls, 1);
    EXPECT_EQ(StoredGameFolder(Ini()), "D:\\XWA\\");

    WriteText(Ini(), "[Folders]\r\nXWingAlliance=C:\\\r\n");
    FakeRegistry missing;
    EXPECT_EQ(Discover(missing).game, "");
    EXPECT_EQ(missing.calls, 1);
    EXPECT_EQ(ReadText(Ini()), "[Folders]\r\nXWingAlliance=\r\n");
}

TEST_F(DiscoveryTest, EmptyIniValueConsultsTheRegistry) {
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=\r\n");
    FakeRegistry registry{Text("E:\\X\\xwingalliance.exe")};
    EXPECT_EQ(Discover(registry).game, "E:\\X\\");
    EXPECT_EQ(registry.calls, 1);
}

TEST_F(DiscoveryTest, LongIniValueIsUsedWithoutTheRegistry) {
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=D:\\X\\\r\n");
    const std::string before = ReadText(Ini());
    FakeRegistry registry{Text("C:\\Games\\XWA\\xwingalliance.exe")};
    EXPECT_EQ(Discover(registry).game, "D:\\X\\");
    EXPECT_EQ(registry.calls, 0);
    EXPECT_EQ(ReadText(Ini()), before);
}

TEST_F(DiscoveryTest, LongIniValueNeedNotExist) {
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=/no/such/folder/\r\n");
    FakeRegistry registry;
    EXPECT_EQ(Discover(registry).game, "/no/such/folder/");
    EXPECT_EQ(registry.calls, 0);
}

TEST_F(DiscoveryTest, DecisionA_MissingFinalSeparatorIsAddedInMemoryOnly) {
    FakeRegistry registry;
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=D:\\X\r\n");
    const std::string before = ReadText(Ini());
    {
        ScopedEnv prefix("WINEPREFIX", dir_.Path().string() + "/no-prefix");
        EXPECT_EQ(Discover(registry).game, "D:\\X\\");
    }
    EXPECT_EQ(ReadText(Ini()), before);

    WriteText(Ini(), "[Folders]\r\nXWingAlliance=/games/xwa\r\n");
    EXPECT_EQ(Discover(registry).game, "/games/xwa/");
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=D:/Games\\XWA\r\n");
    {
        ScopedEnv prefix("WINEPREFIX", dir_.Path().string() + "/no-prefix");
        EXPECT_EQ(Discover(registry).game, "D:/Games\\XWA/");
    }
    EXPECT_EQ(registry.calls, 0);
}

TEST_F(DiscoveryTest, DecisionB_WindowsIniValueIsMappedIntoTheWinePrefix) {
    VEXLOR_POSIX_ONLY("a Wine prefix seen from its host");
    const std::string prefix = dir_.Path().string() + "/prefix";
    fs::create_directories(prefix + "/drive_c/GAMES/xwa");
    ScopedEnv env("WINEPREFIX", prefix);
    FakeRegistry registry;

    WriteText(Ini(), "[Folders]\r\nXWingAlliance=C:\\Games\\XWA\\\r\n");
    const std::string before = ReadText(Ini());
    EXPECT_EQ(Discover(registry).game, prefix + "/drive_c/GAMES/xwa/");
    EXPECT_EQ(ReadText(Ini()), before);

    WriteText(Ini(), "[Folders]\r\nXWingAlliance=C:\\Games\\XWA\r\n");  // and decision (a)
    EXPECT_EQ(Discover(registry).game, prefix + "/drive_c/GAMES/xwa/");

    // A drive that the prefix lacks: used as stored.
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=D:\\Games\\XWA\\\r\n");
    EXPECT_EQ(Discover(registry).game, "D:\\Games\\XWA\\");
    EXPECT_EQ(registry.calls, 0);
}

TEST_F(DiscoveryTest, RegistryValueWithoutFolderGivesEmpty) {
    FakeRegistry registry{Text("xwingalliance.exe")};
    EXPECT_EQ(Discover(registry).game, "");
    EXPECT_EQ(StoredGameFolder(Ini()), "");
    EXPECT_TRUE(fs::exists(Ini()));
}

TEST_F(DiscoveryTest, MissingRegistryValueWritesAnEmptyValue) {
    FakeRegistry registry;
    EXPECT_EQ(Discover(registry).game, "");
    EXPECT_EQ(ReadText(Ini()), "[Folders]\r\nXWingAlliance=\r\n");
}

TEST_F(DiscoveryTest, WrongTypeGivesEmptyAndWritesNothing) {
    FakeRegistry registry{{Status::WrongType, ""}};
    EXPECT_EQ(Discover(registry).game, "");
    EXPECT_EQ(registry.calls, 1);
    EXPECT_FALSE(fs::exists(Ini()));

    WriteText(Ini(), "; keep\r\n[Folders]\r\nXWingAlliance=C:\r\n");
    const std::string before = ReadText(Ini());
    EXPECT_EQ(Discover(registry).game, "");
    EXPECT_EQ(ReadText(Ini()), before);
}

TEST_F(DiscoveryTest, NoRegistryFunctionCountsAsMissing) {
    EXPECT_EQ(DiscoverFolders("/opt/vexlor/vexlor", Ini(), nullptr).game, "");
    EXPECT_EQ(StoredGameFolder(Ini()), "");
}

TEST_F(DiscoveryTest, IniValueIsReadUpTo1023Characters) {
    const std::string longFolder = "/" + std::string(1100, 'g') + "/";
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=" + longFolder + "\r\n");
    FakeRegistry registry;
    const std::string game = Discover(registry).game;
    // 1023 characters read; decision (a) adds the separator the truncation cut off.
    EXPECT_EQ(game, longFolder.substr(0, 1023) + "/");
    EXPECT_EQ(registry.calls, 0);
}

TEST_F(DiscoveryTest, OtherCurrentFolderReadsAndWritesTheIniThere) {
    const fs::path work = dir_.Path() / "work";
    fs::create_directories(work);
    WriteText(Ini(), "[Folders]\r\nXWingAlliance=/from/program/folder/\r\n");
    ScopedCurrentFolder here(work);
    FakeRegistry registry{Text("C:\\Games\\XWA\\xwingalliance.exe")};
    const Folders folders =
        DiscoverFolders(dir_.File("vexlor"), "./vexlor.ini", registry.Function());
    EXPECT_EQ(folders.program, dir_.Path().string() + "/");
    EXPECT_EQ(folders.game, "C:\\Games\\XWA\\");
    EXPECT_EQ(registry.calls, 1);
    EXPECT_EQ(StoredGameFolder((work / "vexlor.ini").string()), "C:\\Games\\XWA\\");
    EXPECT_EQ(StoredGameFolder(Ini()), "/from/program/folder/");
}

TEST_F(DiscoveryTest, AppFoldersHoldWhatIsSet) {
    EXPECT_EQ(AppFolders().program, "./");
    EXPECT_EQ(AppFolders().game, "");
    SetAppFolders({"/opt/vexlor/", "/games/xwa/"});
    EXPECT_EQ(AppFolders().program, "/opt/vexlor/");
    EXPECT_EQ(AppFolders().game, "/games/xwa/");
    SetAppFolders(Folders{});
}

}  // namespace
}  // namespace vexlor
