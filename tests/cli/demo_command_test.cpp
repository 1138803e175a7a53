#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::RunCli;
using test::TempDir;
namespace exe = test::exe;

const std::vector<std::string> kKinds = {"hull", "map", "ship", "mission"};

std::string LibraryFileOf(const std::string& kind) {
    const std::string name = kind == "hull"   ? "HULL"
                             : kind == "map"  ? "MAP"
                             : kind == "ship" ? "SHIP"
                                              : "MISSION";
    return name + ".DAT";
}

std::string ReadText(const fs::path& path) {
    const Bytes bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const fs::path& path, const std::string& text) {
    test::WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every first group of `pattern` in `text`, in order.
std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[1].str());
    }
    return found;
}

// A demo written into a folder that does not exist yet, two levels below a temporary one.
class DemoCommand : public ::testing::Test {
  protected:
    test::CliResult MakeDemo() const { return RunCli({"demo", dir_.string()}); }

    fs::path Game() const { return dir_ / "XWA"; }
    fs::path Library(const std::string& kind) const {
        return Game() / "Resdata" / LibraryFileOf(kind);
    }
    // The folder as the program names it: absolute, with the system's own separator last.
    std::string GameFolderText() const {
        return Game().string() + (fs::path::preferred_separator == '/' ? "/" : "\\");
    }

    TempDir temp_;
    fs::path dir_ = temp_.Path() / "new" / "demo";
};

TEST_F(DemoCommand, WritesAGameFolderAndTheIniThatNamesIt) {
    const auto made = MakeDemo();
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, GameFolderText() + "\n");
    EXPECT_EQ(ReadText(dir_ / "vexlor.ini"),
              "[Folders]\r\nXWingAlliance=" + GameFolderText() + "\r\n");
    EXPECT_EQ(ReadText(Game() / "resdata.txt"),
              "Resdata\\HULL.DAT\r\nResdata\\MAP.DAT\r\nResdata\\SHIP.DAT\r\n"
              "Resdata\\MISSION.DAT\r\n");
}

TEST_F(DemoCommand, EveryLibraryPassesTheCheckAndListsADozenPictures) {
    ASSERT_EQ(MakeDemo().status, 0);
    for (const std::string& kind : kKinds) {
        SCOPED_TRACE(kind);
        const auto checked = RunCli({"check", Library(kind).string()});
        EXPECT_EQ(checked.status, 0);
        EXPECT_EQ(checked.out, "ok\n");
        const auto listed = RunCli({"list", kind, Library(kind).string()});
        ASSERT_EQ(listed.status, 0) << listed.err;
        EXPECT_TRUE(Contains(listed.out, R"("editable": true)"));
        EXPECT_GE(AllMatches(listed.out, R"("row": (\d+))").size(), 12u);
    }
}

TEST_F(DemoCommand, PictureNumbersFollowEachKindsRule) {
    ASSERT_EQ(MakeDemo().status, 0);
    const auto captions = [&](const std::string& kind) {
        return AllMatches(RunCli({"list", kind, Library(kind).string()}).out,
                          R"re("caption": "(\d+)")re");
    };
    const auto hull = captions("hull");
    const auto map = captions("map");
    const auto ship = captions("ship");
    ASSERT_FALSE(hull.empty());
    ASSERT_FALSE(map.empty());
    ASSERT_FALSE(ship.empty());
    for (std::size_t i = 0; i < hull.size(); ++i) {
        EXPECT_EQ(hull[i], std::to_string(4700 + 100 * i));
    }
    for (std::size_t i = 0; i < map.size(); ++i) {
        EXPECT_EQ(map[i], std::to_string(17500 + 100 * i));
    }
    for (std::size_t i = 0; i < ship.size(); ++i) {
        EXPECT_EQ(ship[i], std::to_string(20001 + i));
    }
    const auto mission = RunCli({"list", "mission", Library("mission").string()}).out;
    for (const char* series : {R"("type": "BATTLE", "width": 510, "height": 260)",
                               R"("type": "MISSION", "width": 260, "height": 260)",
                               R"("type": "mission", "width": 100, "height": 75)"}) {
        EXPECT_TRUE(Contains(mission, series)) << series;
    }
}

TEST_F(DemoCommand, ExecutableStandInIsDataWithTheVersionAndTables) {
    ASSERT_EQ(MakeDemo().status, 0);
    const Bytes bytes = test::ReadFileBytes(Game() / "xwingalliance.exe");
    ASSERT_GE(bytes.size(), exe::kShipSlots + 508);
    const std::string start(bytes.begin(), bytes.begin() + 64);
    EXPECT_EQ(start.rfind("Vexlor demo data: this is not a program.\r\n", 0), 0u) << start;
    EXPECT_EQ(std::string(bytes.begin() + exe::kVersion, bytes.begin() + exe::kVersion + 4),
              "2.02");
    EXPECT_EQ(test::EntryOf(bytes, exe::kHull, 1), 4700);
    EXPECT_EQ(test::EntryOf(bytes, exe::kMap, 1), 17500);
    EXPECT_EQ(test::EntryOf(bytes, exe::kShipSlots, 1), 1);
}

TEST_F(DemoCommand, CraftsHaveTheirOwnNamesAndPointAtDemoPictures) {
    ASSERT_EQ(MakeDemo().status, 0);
    const auto listed = RunCli({"craft", "list", Game().string()});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto names = AllMatches(listed.out, R"re("name": "([^"]*)")re");
    ASSERT_EQ(names.size(), 218u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 218u)
        << "two crafts share a name";
    EXPECT_FALSE(Contains(listed.out, "*craft_"));
    // The settings are the highest numbers of their series in MISSION.DAT.
    const auto highest = RunCli({"list", "mission", Library("mission").string()}).out;
    const auto battle = AllMatches(highest, R"("BATTLE": (\d+))");
    const auto mission = AllMatches(highest, R"("MISSION": (\d+))");
    const auto lower = AllMatches(highest, R"("mission": (\d+))");
    ASSERT_EQ(battle.size(), 1u);
    EXPECT_TRUE(Contains(listed.out, R"("EnabledBattle": )" + battle[0] + ","));
    EXPECT_TRUE(Contains(listed.out, R"("EnabledMission": )" + mission.at(0) + ","));
    EXPECT_TRUE(Contains(listed.out, R"("EnabledMissionLower": )" + lower.at(0) + ","));

    for (const int craft : {1, 2, 16}) {
        const auto found = RunCli({"craft", "find", Game().string(), std::to_string(craft)});
        ASSERT_EQ(found.status, 0) << found.err;
        EXPECT_EQ(found.out, R"({"HULL": {"library": "HULL.DAT", "width": 32, "height": 32}, )"
                             R"("MAP": {"library": "MAP.DAT", "width": 16, "height": 16}, )"
                             R"("SHIP": {"library": "SHIP.DAT", "width": 180, "height": 180}})"
                             "\n")
            << "craft " << craft;
    }
    // Every MAP entry, the last craft's included, names a picture that exists.
    const auto last = RunCli({"craft", "find", Game().string(), "218"});
    EXPECT_TRUE(Contains(last.out, R"("MAP": {"library": "MAP.DAT")")) << last.out;
}

TEST_F(DemoCommand, SecondRunRestoresTheDemoAndLeavesEverythingElse) {
    ASSERT_EQ(MakeDemo().status, 0);
    const Bytes hull = test::ReadFileBytes(Library("hull"));
    const Bytes ship = test::ReadFileBytes(Library("ship"));
    WriteText(dir_ / "notes.txt", "mine");
    WriteText(Game() / "Resdata" / "OWN.DAT", "mine too");
    WriteText(dir_ / "vexlor.ini",
              "[Window]\r\nLeft=10\r\n[Folders]\r\nXWingAlliance=C:\\XWA\\\r\n");
    WriteText(Library("hull"), "damaged");
    fs::remove(Library("ship"));

    const auto again = MakeDemo();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(test::ReadFileBytes(Library("hull")), hull);
    EXPECT_EQ(test::ReadFileBytes(Library("ship")), ship);
    EXPECT_EQ(ReadText(dir_ / "notes.txt"), "mine");
    EXPECT_EQ(ReadText(Game() / "Resdata" / "OWN.DAT"), "mine too");
    EXPECT_EQ(ReadText(dir_ / "vexlor.ini"),
              "[Window]\r\nLeft=10\r\n[Folders]\r\nXWingAlliance=" + GameFolderText() + "\r\n");
    // Nothing made on the way is left behind.
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"notes.txt", "vexlor.ini", "XWA", "xwingalliance.exe",
                                            "strings.txt", "resdata.txt", "Resdata", "HULL.DAT",
                                            "MAP.DAT", "SHIP.DAT", "MISSION.DAT", "OWN.DAT"}));
}

TEST_F(DemoCommand, TwoDemosAreAlikeByteForByte) {
    ASSERT_EQ(MakeDemo().status, 0);
    const fs::path other = temp_.Path() / "other";
    ASSERT_EQ(RunCli({"demo", other.string()}).status, 0);
    for (const std::string& kind : kKinds) {
        EXPECT_EQ(test::ReadFileBytes(Library(kind)),
                  test::ReadFileBytes(other / "XWA" / "Resdata" / LibraryFileOf(kind)))
            << kind;
    }
    EXPECT_EQ(test::ReadFileBytes(Game() / "xwingalliance.exe"),
              test::ReadFileBytes(other / "XWA" / "xwingalliance.exe"));
}

// Refusals: exit 1 with a reason, nothing on standard output, nothing of the user's changed.
class DemoRefusal : public DemoCommand {
  protected:
    void ExpectRefused(const test::CliResult& result) const {
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(Contains(result.err, "demo could not be written")) << result.err;
    }
};

TEST_F(DemoRefusal, FolderThatCannotBeMade) {
    WriteText(temp_.Path() / "file", "x");
    const auto result = RunCli({"demo", (temp_.Path() / "file" / "demo").string()});
    ExpectRefused(result);
    EXPECT_TRUE(Contains(result.err, "file")) << result.err;
    EXPECT_EQ(ReadText(temp_.Path() / "file"), "x");
}

TEST_F(DemoRefusal, GameFolderOfARealGame) {
    fs::create_directories(Game());
    const Bytes game = test::ExecutableBytes();
    test::WriteFileBytes(Game() / "xwingalliance.exe", game);
    ExpectRefused(MakeDemo());
    EXPECT_EQ(test::ReadFileBytes(Game() / "xwingalliance.exe"), game);
    EXPECT_FALSE(fs::exists(Game() / "strings.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "vexlor.ini"));
}

TEST_F(DemoRefusal, GameFolderHoldingOtherFilesOrAFile) {
    fs::create_directories(Game());
    WriteText(Game() / "strings.txt", "the user's");
    ExpectRefused(MakeDemo());
    EXPECT_EQ(ReadText(Game() / "strings.txt"), "the user's");

    fs::remove_all(Game());
    WriteText(Game(), "a file named XWA");
    ExpectRefused(MakeDemo());
    EXPECT_EQ(ReadText(Game()), "a file named XWA");
}

TEST_F(DemoRefusal, IniThatCannotBeWritten) {
    fs::create_directories(dir_ / "vexlor.ini");
    const auto result = MakeDemo();
    ExpectRefused(result);
    EXPECT_TRUE(Contains(result.err, "vexlor.ini")) << result.err;
}

TEST_F(DemoRefusal, MissingOrEmptyFolderIsAUsageError) {
    EXPECT_EQ(RunCli({"demo"}).status, 2);
    EXPECT_EQ(RunCli({"demo", ""}).status, 2);
}

}  // namespace
}  // namespace vexlor
