#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/cli_runner.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::RunCli;
using test::SetEntry;
using test::TempDir;
namespace exe = test::exe;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    test::WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

// A game folder: an executable with known numbers for craft 1, 2 and 72, a strings.txt and a
// resource list naming HULL, MAP and SHIP libraries.
class CraftCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        exeBytes_ = test::ExecutableBytes();
        exeBytes_[exe::kBattle] = 3;
        exeBytes_[exe::kMission] = 4;
        exeBytes_[exe::kMissionLower] = 5;
        test::ClearShipSlots(exeBytes_);
        SetEntry(exeBytes_, exe::kHull, 1, 100);
        SetEntry(exeBytes_, exe::kMap, 1, 200);
        SetEntry(exeBytes_, exe::kShipSlots, 5, 1);
        SetEntry(exeBytes_, exe::kHull, 2, 65535);
        SetEntry(exeBytes_, exe::kMap, 2, 65501);
        SetEntry(exeBytes_, exe::kMap, 72, 200);
        SetEntry(exeBytes_, exe::kShipSlots, 9, 72);
        test::WriteFileBytes(Game("xwingalliance.exe"), exeBytes_);
        WriteText(Game("strings.txt"),
                  "x:junk\r\nCRAFT!KSPECXW!:X-wing\r\n:Y-wing\r\nno colon\r\n");

        std::filesystem::create_directory(Game("Resdata"));
        test::MakeHullLibrary(Game("Resdata/HULL.DAT"), {{100, 0xFF}});
        test::MakeMapLibrary(Game("Resdata/Map.dat"), {{200, 0xFF}});
        test::MakeShipLibrary(Game("Resdata/SHIP.DAT"), {{20005, 0xFF}, {20009, 0xFF}});
        WriteText(Game("resdata.txt"),
                  "Resdata\\Missing.dat\nResdata\\HULL.DAT\rRESDATA\\MAP.DAT"
                  "\r\nResdata\\SHIP.DAT\r\n");
    }

    std::string Game(const std::string& name) const { return dir_.File(name); }
    Bytes ExeNow() const { return test::ReadFileBytes(Game("xwingalliance.exe")); }

    TempDir dir_;
    std::string folder_ = dir_.Path().string();
    Bytes exeBytes_;
};

TEST_F(CraftCommands, ListPrintsSettingsAndEveryCraft) {
    for (const std::string& folder : {folder_, folder_ + "/"}) {
        const auto listed = RunCli({"craft", "list", folder});
        ASSERT_EQ(listed.status, 0) << listed.err;
        EXPECT_EQ(listed.out.rfind(R"({"EnabledBattle": 3, "EnabledMission": 4, )"
                                   R"("EnabledMissionLower": 5, "crafts": [{"n": 1, )"
                                   R"("name": "X-wing", "hull": 100, "map": 200, "ship": 20005}, )"
                                   R"({"n": 2, "name": "Y-wing", "hull": 65535, "map": 65501, )"
                                   R"("ship": null}, {"n": 3, "name": "no colon", )",
                                   0),
                  0u)
            << listed.out;
        EXPECT_TRUE(Contains(listed.out,
                             R"({"n": 72, "name": "*craft_72", "hull": null, "map": 200, )"
                             R"("ship": 20009})"));
        EXPECT_TRUE(Contains(listed.out, R"({"n": 218, "name": "*craft_218", "hull": null, )"));
        EXPECT_EQ(Occurrences(listed.out, R"({"n": )"), 218u);
        EXPECT_EQ(listed.out.substr(listed.out.size() - 3), "]}\n");
    }
}

TEST_F(CraftCommands, EveryCommandRefusesAnotherVersion) {
    Bytes other = exeBytes_;
    test::PutText(other, exe::kVersion, "2.01");
    test::WriteFileBytes(Game("xwingalliance.exe"), other);
    for (const auto& args : {std::vector<std::string>{"craft", "list", folder_},
                             {"craft", "find", folder_, "1"},
                             {"craft", "set", folder_, "1", "--map", "7"}}) {
        const auto refused = RunCli(args);
        EXPECT_EQ(refused.status, 1) << args[1];
        EXPECT_EQ(refused.err, "Need XWingAlliance 2.02\n");
        EXPECT_EQ(refused.out, "");
    }
    EXPECT_EQ(ExeNow(), other);
    std::filesystem::remove(Game("xwingalliance.exe"));
    EXPECT_EQ(RunCli({"craft", "list", folder_}).status, 1);
}

TEST_F(CraftCommands, FindSearchesTheResourceListsLibraries) {
    const auto found = RunCli({"craft", "find", folder_, "1"});
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, R"({"HULL": {"library": "HULL.DAT", "width": 32, "height": 32}, )"
                         R"("MAP": {"library": "MAP.DAT", "width": 16, "height": 16}, )"
                         R"("SHIP": {"library": "SHIP.DAT", "width": 180, "height": 180}})"
                         "\n");

    // Craft 72 wants no HULL picture; craft 2 has no slot and numbers found nowhere.
    EXPECT_EQ(RunCli({"craft", "find", folder_ + "/", "72"}).out,
              R"({"HULL": null, "MAP": {"library": "MAP.DAT", "width": 16, "height": 16}, )"
              R"("SHIP": {"library": "SHIP.DAT", "width": 180, "height": 180}})"
              "\n");
    EXPECT_EQ(RunCli({"craft", "find", folder_, "2"}).out,
              "{\"HULL\": null, \"MAP\": null, \"SHIP\": null}\n");

    std::filesystem::remove(Game("resdata.txt"));
    EXPECT_EQ(RunCli({"craft", "find", folder_, "1"}).out,
              "{\"HULL\": null, \"MAP\": null, \"SHIP\": null}\n");
}

TEST_F(CraftCommands, CraftNumberOutsideTheListIsAUsageError) {
    for (const std::string n : {"0", "219", "-1", "x"}) {
        EXPECT_EQ(RunCli({"craft", "find", folder_, n}).status, 2) << n;
        EXPECT_EQ(RunCli({"craft", "set", folder_, n, "--map", "1"}).status, 2) << n;
    }
    EXPECT_EQ(ExeNow(), exeBytes_);
}

TEST_F(CraftCommands, SetWritesOnlyTheGivenValues) {
    const auto set = RunCli(
        {"craft", "set", folder_, "2", "--map", "4700", "--battle", "255", "--mission-lower", "0"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "");
    Bytes expected = exeBytes_;
    SetEntry(expected, exe::kMap, 2, 4700);
    expected[exe::kBattle] = 255;
    expected[exe::kMissionLower] = 0;
    // Craft 2's HULL number 65535 is above what a field holds, and stays as it was.
    EXPECT_EQ(ExeNow(), expected);

    ASSERT_EQ(RunCli({"craft", "set", folder_, "71", "--hull", "65500", "--mission", "9"}).status,
              0);
    SetEntry(expected, exe::kHull, 71, 65500);
    expected[exe::kMission] = 9;
    EXPECT_EQ(ExeNow(), expected);

    ASSERT_EQ(RunCli({"craft", "set", folder_, "3"}).status, 0);
    EXPECT_EQ(ExeNow(), expected);
}

TEST_F(CraftCommands, SetRefusesValuesTheFieldsCannotHold) {
    const std::vector<std::vector<std::string>> refused = {
        {"--hull", "65501"}, {"--map", "-1"},      {"--map", "abc"},
        {"--battle", "256"}, {"--mission", "1.5"}, {"--mission-lower", "99999999999"},
    };
    for (const auto& option : refused) {
        const auto result = RunCli({"craft", "set", folder_, "1", option[0], option[1]});
        EXPECT_EQ(result.status, 1) << option[0] << " " << option[1];
        EXPECT_TRUE(Contains(result.err, option[0] + " must be a whole number from 0 to"))
            << result.err;
    }
    const auto noHull = RunCli({"craft", "set", folder_, "72", "--hull", "5"});
    EXPECT_EQ(noHull.status, 1);
    EXPECT_TRUE(Contains(noHull.err, "no HULL picture number")) << noHull.err;
    EXPECT_EQ(ExeNow(), exeBytes_);
}

TEST_F(CraftCommands, SetRefusesAnExecutableTooShortForTheTables) {
    const Bytes shorter(exeBytes_.begin(), exeBytes_.begin() + exe::kMap + 100);
    test::WriteFileBytes(Game("xwingalliance.exe"), shorter);
    const auto result = RunCli({"craft", "set", folder_, "1", "--battle", "1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The craft tables could not be read whole from " +
                              Game("xwingalliance.exe") +
                              ", so it was not changed: what could not be read would be written "
                              "back as zeros\n");
    EXPECT_EQ(ExeNow(), shorter);
    EXPECT_FALSE(std::filesystem::exists(Game("xwingalliance.exe.bak")));
}

TEST_F(CraftCommands, SetRefusesAnExecutableWithOtherHardLinks) {
    std::filesystem::create_hard_link(Game("xwingalliance.exe"), Game("game.exe"));
    const auto result = RunCli({"craft", "set", folder_, "1", "--map", "200"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              Game("xwingalliance.exe") + " has other hard links, so it was not changed\n");
    EXPECT_EQ(test::ReadFileBytes(Game("game.exe")), exeBytes_);
}

TEST_F(CraftCommands, SetBacksTheExecutableUpBeforeItsFirstChange) {
    ASSERT_EQ(RunCli({"craft", "set", folder_, "1", "--map", "200"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(Game("xwingalliance.exe.bak")));
    const auto first = RunCli({"craft", "set", folder_, "1", "--map", "300"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out + first.err, "");
    ASSERT_EQ(RunCli({"craft", "set", folder_, "1", "--map", "400"}).status, 0);
    EXPECT_EQ(test::ReadFileBytes(Game("xwingalliance.exe.bak")), exeBytes_);

    std::filesystem::remove(Game("xwingalliance.exe.bak"));
    std::filesystem::create_directory(Game("xwingalliance.exe.bak"));
    const Bytes before = ExeNow();
    const auto refused = RunCli({"craft", "set", folder_, "1", "--map", "500"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Cannot make the backup " + Game("xwingalliance.exe.bak") +
                               ", so the executable was not changed\n");
    EXPECT_EQ(ExeNow(), before);
}

}  // namespace
}  // namespace vexlor
