#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "library/bmp_file.h"
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

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct KindCase {
    const char* kind;
    int width;
    int height;
    std::vector<const char*> ids;  // --id values of three appends
    std::vector<const char*> stored;
};

class ChangeCommands : public ::testing::TestWithParam<KindCase> {
  protected:
    void SetUp() override {
        const KindCase& c = GetParam();
        library_ = dir_.File("LIB.DAT");
        for (std::uint8_t k = 0; k < 3; ++k) {
            pictures_.push_back(dir_.File("p" + std::to_string(k) + ".bmp"));
            ASSERT_TRUE(WriteBmpFile(pictures_.back(), TestPicture(c.width, c.height, k)));
        }
        ASSERT_EQ(RunCli({"create", c.kind, library_}).status, 0);
    }
    test::CliResult Append(int k) {
        const KindCase& c = GetParam();
        std::vector<std::string> args = {"append", c.kind,
                                         library_, pictures_[static_cast<std::size_t>(k)],
                                         "--id",   c.ids[static_cast<std::size_t>(k)]};
        if (std::string(c.kind) == "ship") {
            args.insert(args.end(), {"--tmp", dir_.File("SHIP.tmp")});
        }
        return RunCli(args);
    }

    TempDir dir_;
    std::string library_;
    std::vector<std::string> pictures_;
};

TEST_P(ChangeCommands, DeleteReplaceUndoRedoAndHistory) {
    const KindCase& c = GetParam();
    const Bytes empty = ReadFileBytes(library_);
    std::vector<Bytes> states = {empty};
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(Append(k).status, 0);
        states.push_back(ReadFileBytes(library_));
    }
    const auto refused = RunCli({"delete", c.kind, library_, "0", "3"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(ReadFileBytes(library_), states.back()) << "a refused delete changes nothing";

    const auto deleted = RunCli({"delete", c.kind, library_, "2", "0"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "2\n");
    EXPECT_EQ(RunCli({"check", library_}).out, "ok\n");
    const auto list = RunCli({"list", c.kind, library_});
    EXPECT_TRUE(Contains(list.out, R"("count": 1)")) << list.out;
    EXPECT_TRUE(Contains(list.out, std::string(R"("caption": ")") + c.ids[1])) << list.out;
    const Bytes afterDelete = ReadFileBytes(library_);

    const auto replaced = RunCli({"replace", c.kind, library_, "0", pictures_[0]});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(RunCli({"check", library_}).out, "ok\n");
    EXPECT_NE(ReadFileBytes(library_), afterDelete);

    const auto history = RunCli({"history", library_});
    EXPECT_TRUE(
        Contains(history.out, std::string(R"({"undo": [{"what": "replace )") + c.stored[1] + "\""))
        << history.out;
    EXPECT_TRUE(Contains(history.out, std::string("\"delete ") + c.stored[0] + " " + c.stored[2]))
        << history.out;
    EXPECT_TRUE(Contains(history.out, R"("redo": []})")) << history.out;

    EXPECT_EQ(RunCli({"undo", library_}).out, std::string("replace ") + c.stored[1] + "\n");
    EXPECT_EQ(ReadFileBytes(library_), afterDelete);
    EXPECT_EQ(RunCli({"undo", library_}).status, 0);
    EXPECT_EQ(ReadFileBytes(library_), states.back());
    EXPECT_EQ(RunCli({"redo", library_}).status, 0);
    EXPECT_EQ(ReadFileBytes(library_), afterDelete);
    EXPECT_TRUE(Contains(RunCli({"history", library_}).out, R"("redo": [{"what": "replace)"));

    EXPECT_EQ(RunCli({"undo", library_}).status, 0);
    EXPECT_EQ(ReadFileBytes(library_), states.back());
    for (int k = 3; k-- > 0;) {
        const auto undone = RunCli({"undo", library_});
        EXPECT_EQ(undone.status, 0) << undone.err;
        EXPECT_EQ(ReadFileBytes(library_), states[static_cast<std::size_t>(k)]) << k;
    }
    const auto nothing = RunCli({"undo", library_});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(ReadFileBytes(library_), empty);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, ChangeCommands,
    ::testing::Values(
        KindCase{"hull", 32, 32, {"4700", "4800", "4900"}, {"4700", "4800", "4900"}},
        KindCase{"map", 16, 16, {"100", "200", "300"}, {"100", "200", "300"}},
        KindCase{"ship", 180, 180, {"20001", "20002", "20003"}, {"20001", "20002", "20003"}},
        KindCase{"mission", 260, 260, {"1", "2", "3"}, {"2", "3", "4"}}),
    [](const auto& kindCase) { return std::string(kindCase.param.kind); });

TEST(ChangeCommandsHistory, UndoRefusesALibraryChangedBehindItsBack) {
    TempDir dir;
    const std::string library = dir.File("HULL.DAT");
    const std::string bmp = dir.File("p.bmp");
    ASSERT_TRUE(WriteBmpFile(bmp, TestPicture(32, 32)));
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);
    EXPECT_EQ(RunCli({"history", library}).out, "{\"undo\": [], \"redo\": []}\n");
    ASSERT_EQ(RunCli({"append", "hull", library, bmp, "--id", "4700"}).status, 0);
    Bytes changed = ReadFileBytes(library);
    changed[40] ^= 1;  // the group's count, written by another program
    test::WriteFileBytes(library, changed);

    const auto undo = RunCli({"undo", library});
    EXPECT_EQ(undo.status, 1);
    EXPECT_TRUE(Contains(undo.err, "changed by another program")) << undo.err;
    EXPECT_EQ(ReadFileBytes(library), changed);
    EXPECT_EQ(RunCli({"redo", library}).status, 1);
}

// Twenty changes of every sort, undone one by one, give back the first library; redone, the
// last one.
TEST(ChangeCommandsHistory, TwentyMixedChangesUndoneGiveBackTheFirstLibrary) {
    TempDir dir;
    const std::string library = dir.File("HULL.DAT");
    std::vector<std::string> bmps;
    for (std::uint8_t k = 0; k < 4; ++k) {
        bmps.push_back(dir.File("p" + std::to_string(k) + ".bmp"));
        ASSERT_TRUE(WriteBmpFile(bmps.back(), TestPicture(32, 32, k)));
    }
    ASSERT_EQ(RunCli({"create", "hull", library}).status, 0);
    ASSERT_EQ(RunCli({"append", "hull", library, bmps[0], "--id", "100"}).status, 0);
    const Bytes first = ReadFileBytes(library);
    int changes = 0;
    int next = 200;
    while (changes < 20) {
        const std::string id = std::to_string(next);
        ASSERT_EQ(RunCli({"append", "hull", library, bmps[static_cast<std::size_t>(changes % 4)],
                          "--id", id})
                      .status,
                  0);
        const std::string renamed = std::to_string(next + 10000);
        ASSERT_EQ(RunCli({"renumber", "hull", library, "1", id, renamed}).status, 0);
        ASSERT_EQ(RunCli({"replace", "hull", library, "0", bmps[3]}).status, 0);
        ASSERT_EQ(RunCli({"delete", "hull", library, "0"}).status, 0);
        changes += 4;
        next += 100;
    }
    const Bytes last = ReadFileBytes(library);
    for (int k = 0; k < changes; ++k) {
        const auto undone = RunCli({"undo", library});
        ASSERT_EQ(undone.status, 0) << k << ": " << undone.err;
    }
    EXPECT_EQ(ReadFileBytes(library), first);
    for (int k = 0; k < changes; ++k) {
        ASSERT_EQ(RunCli({"redo", library}).status, 0) << k;
    }
    EXPECT_EQ(ReadFileBytes(library), last);
}

}  // namespace
}  // namespace vexlor

namespace vexlor {
namespace {

// Every writer leaves a library without write permission as it is, root included, with the one
// message; a library with other hard links is refused alike by the writers that change it in
// place and those that rewrite it.
TEST(ProtectedLibraries, EveryWriterRefusesThemWithOneMessage) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string hull = dir.File("HULL.DAT");
    const std::string ship = dir.File("SHIP.DAT");
    const std::string hullBmp = dir.File("hull.bmp");
    const std::string shipBmp = dir.File("ship.bmp");
    ASSERT_TRUE(WriteBmpFile(hullBmp, TestPicture(32, 32)));
    ASSERT_TRUE(WriteBmpFile(shipBmp, TestPicture(180, 180)));
    ASSERT_EQ(RunCli({"create", "hull", hull}).status, 0);
    ASSERT_EQ(RunCli({"create", "ship", ship}).status, 0);
    ASSERT_EQ(RunCli({"append", "hull", hull, hullBmp, "--id", "4700"}).status, 0);
    ASSERT_EQ(RunCli({"append", "hull", hull, hullBmp, "--id", "4800"}).status, 0);
    ASSERT_EQ(RunCli({"undo", hull}).status, 0);  // something to redo and to undo
    const std::string tmp = dir.File("SHIP.tmp");
    ASSERT_EQ(RunCli({"append", "ship", ship, shipBmp, "--id", "20001", "--tmp", tmp}).status, 0);
    const std::vector<std::vector<std::string>> writers = {
        {"append", "hull", hull, hullBmp, "--id", "4900"},
        {"import", "hull", hull, hullBmp, "--id", "4900"},
        {"renumber", "hull", hull, "0", "4700", "5300"},
        {"delete", "hull", hull, "0"},
        {"replace", "hull", hull, "0", hullBmp},
        {"undo", hull},
        {"redo", hull},
        {"create", "hull", hull},
        {"append", "ship", ship, shipBmp, "--id", "20002", "--tmp", tmp},
        {"renumber", "ship", ship, "0", "20001", "20007"},
        {"delete", "ship", ship, "0"},
    };
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    for (const std::string& library : {hull, ship}) {
        fs::permissions(library, readOnly);
    }
    // As the system keeps them: Windows knows only whether a file may be written.
    const fs::perms kept = fs::status(hull).permissions();
    const Bytes hullBefore = ReadFileBytes(hull);
    const Bytes shipBefore = ReadFileBytes(ship);
    const std::string history = RunCli({"history", hull}).out;
    for (const auto& writer : writers) {
        const auto run = RunCli(writer);
        const std::string name =
            fs::path(writer[0] == "undo" || writer[0] == "redo" ? writer[1] : writer[2])
                .filename()
                .string();
        EXPECT_EQ(run.status, 1) << writer[0];
        EXPECT_EQ(run.err, name +
                               " is read-only (it has no write permission), so it was not "
                               "changed\n")
            << writer[0];
    }
    EXPECT_EQ(ReadFileBytes(hull), hullBefore);
    EXPECT_EQ(ReadFileBytes(ship), shipBefore);
    EXPECT_EQ(fs::status(hull).permissions(), kept);
    EXPECT_EQ(fs::status(ship).permissions(), kept);
    EXPECT_EQ(RunCli({"history", hull}).out, history);

    fs::permissions(hull, fs::perms::owner_write, fs::perm_options::add);
    fs::create_hard_link(hull, dir.File("HULL.DAT.saved"));
    for (const auto& writer : {writers[0], writers[2], writers[3], writers[5]}) {
        const auto run = RunCli(writer);
        EXPECT_EQ(run.status, 1) << writer[0];
        EXPECT_EQ(run.err, "HULL.DAT has other hard links, so it was not changed\n") << writer[0];
    }
    EXPECT_EQ(ReadFileBytes(dir.File("HULL.DAT.saved")), hullBefore);
}

}  // namespace
}  // namespace vexlor
