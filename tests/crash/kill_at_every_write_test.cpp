// Every writer of vexlor-cli, stopped at each of its write-like calls in turn (the interposer in
// interposer/ counts them) and made to fail at each of them: the files it changes must each be
// the old one or the new one, byte for byte, whatever call it was. A recorded change must also
// stay the journal's truth: one that exits 0 (or that a stop left made) is taken back byte for
// byte, and one that failed leaves the journal's earlier changes to undo as before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editors/ship_editor_logic.h"
#include "library/bmp_file.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::TempDir;

// A file the writer may change, and what it may hold besides its own old or new content.
struct Watched {
    std::string file;
    std::string orOldOf = {};  // the content another watched file had before the write
    bool orAbsent = false;
};

using Prepare = void (*)(const fs::path& folder);

struct Writer;
void PrintTo(const Writer& writer, std::ostream* out);

// "@" at the start of an argument stands for the folder that the writer works in.
struct Writer {
    std::string name;
    Prepare prepare;
    std::vector<std::string> arguments;
    std::vector<Watched> watched;
    // Commands run, unkilled, in the writer's own folder first: the changes that undo and redo
    // find in the journal there.
    std::vector<std::vector<std::string>> recordedFirst = {};
    // Files written each on its own (the pictures of an extraction): a writer that reports a
    // failure may have written some of them, each whole.
    bool filesApart = false;
};

void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.name;
}

struct Outcome {
    int exitStatus = -1;  // -1 when the process was stopped by a signal
    std::string err;
};

std::string Cli() {
    const char* program = std::getenv("VEXLOR_CLI");
    return program == nullptr ? std::string() : program;
}

std::string Interposer() {
    return VEXLOR_WRITE_INTERPOSER;
}

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& settings) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        if (settings.count(name) == 0 && name.rfind("VEXLOR_KILL", 0) != 0 &&
            name.rfind("VEXLOR_FAIL", 0) != 0 && name != "LD_PRELOAD") {
            entries.push_back(text);
        }
    }
    for (const auto& [name, value] : settings) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// vexlor-cli with `arguments`, its standard error kept, its output thrown away.
Outcome RunCli(std::vector<std::string> arguments,
               const std::map<std::string, std::string>& settings, const fs::path& scratch) {
    const std::string errPath = (scratch / "stderr").string();
    arguments.insert(arguments.begin(), Cli());
    std::vector<std::string> environment = EnvironmentWith(settings);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Outcome run;
    int wait = 0;
    if (spawned != 0 || ::waitpid(child, &wait, 0) != child) {
        run.err = "cannot run " + arguments[0];
        return run;
    }
    run.exitStatus = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    const Bytes err = test::ReadFileBytes(errPath);
    run.err.assign(err.begin(), err.end());
    return run;
}

std::vector<std::string> InFolder(const std::vector<std::string>& arguments,
                                  const fs::path& folder) {
    std::vector<std::string> placed;
    for (const std::string& argument : arguments) {
        placed.push_back(argument.rfind('@', 0) == 0 ? folder.string() + argument.substr(1)
                                                     : argument);
    }
    return placed;
}

// Fixture building runs the command plainly; a failure there is the fixture's, not a crash's.
void Cli(const std::vector<std::string>& arguments, const fs::path& folder) {
    const Outcome run =
        RunCli(InFolder(arguments, folder), {{"XDG_STATE_HOME", folder / "state"}}, folder);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
}

void Bmp(const fs::path& folder, const std::string& name, int width, int height,
         std::uint8_t background) {
    ASSERT_TRUE(
        WriteBmpFile((folder / name).string(), test::TestPicture(width, height, background)));
}

void HullWithPictures(const fs::path& folder) {
    Bmp(folder, "a.bmp", 32, 32, 0);
    Bmp(folder, "b.bmp", 32, 32, 3);
    Cli({"create", "hull", "@/HULL.DAT"}, folder);
    Cli({"append", "hull", "@/HULL.DAT", "@/a.bmp", "--id", "4700"}, folder);
    Cli({"append", "hull", "@/HULL.DAT", "@/a.bmp", "--id", "4800"}, folder);
}

void MapWithPictures(const fs::path& folder) {
    Bmp(folder, "a.bmp", 16, 16, 0);
    Bmp(folder, "b.bmp", 16, 16, 3);
    Cli({"create", "map", "@/MAP.DAT"}, folder);
    Cli({"append", "map", "@/MAP.DAT", "@/a.bmp", "--id", "17400"}, folder);
}

void MissionWithPictures(const fs::path& folder) {
    Bmp(folder, "a.bmp", 260, 260, 0);
    Bmp(folder, "b.bmp", 260, 260, 3);
    Cli({"create", "mission", "@/MISSION.DAT"}, folder);
    Cli({"append", "mission", "@/MISSION.DAT", "@/a.bmp", "--id", "5"}, folder);
}

// SHIP.tmp holds the library as it was before the last append, as the editor leaves it.
// One picture: a writer of several files goes on after one fails, which this test cannot tell
// from a failure reported wrongly.
void ShipWithOnePicture(const fs::path& folder) {
    Bmp(folder, "a.bmp", 180, 180, 0);
    Cli({"create", "ship", "@/SHIP.DAT"}, folder);
    Cli({"append", "ship", "@/SHIP.DAT", "@/a.bmp", "--id", "20001", "--tmp", "@/SHIP.tmp"},
        folder);
}

void ShipWithPictures(const fs::path& folder) {
    Bmp(folder, "a.bmp", 180, 180, 0);
    Bmp(folder, "b.bmp", 180, 180, 3);
    Cli({"create", "ship", "@/SHIP.DAT"}, folder);
    Cli({"append", "ship", "@/SHIP.DAT", "@/a.bmp", "--id", "20001", "--tmp", "@/SHIP.tmp"},
        folder);
    Cli({"append", "ship", "@/SHIP.DAT", "@/a.bmp", "--id", "20002", "--tmp", "@/SHIP.tmp"},
        folder);
}

// A library of two groups of either format, for the commands that edit any library.
void AnyWithGroups(const fs::path& folder) {
    HullWithPictures(folder);
    Cli({"add", "@/HULL.DAT", "300", "1", "@/a.bmp", "--format", "23", "--size", "40", "20"},
        folder);
}

void DemoGame(const fs::path& folder) {
    Cli({"demo", "@"}, folder);
}

const Watched kShipCopy{"SHIP.tmp", "SHIP.DAT", true};

// One row per writer.
// clang-format off
const std::vector<Writer>& Writers() {
    static const std::vector<Writer> writers = {
        {"AppendHull", HullWithPictures, {"append", "hull", "@/HULL.DAT", "@/b.bmp", "--id", "4900"}, {{"HULL.DAT"}}},
        {"AppendMap", MapWithPictures, {"append", "map", "@/MAP.DAT", "@/b.bmp", "--id", "17500"}, {{"MAP.DAT"}}},
        {"AppendMission", MissionWithPictures, {"append", "mission", "@/MISSION.DAT", "@/a.bmp", "--id", "6"}, {{"MISSION.DAT"}}},
        {"AppendShip", ShipWithPictures, {"append", "ship", "@/SHIP.DAT", "@/b.bmp", "--id", "20003", "--tmp", "@/SHIP.tmp"}, {{"SHIP.DAT"}, kShipCopy}},
        {"RenumberHull", HullWithPictures, {"renumber", "hull", "@/HULL.DAT", "1", "4800", "5300"}, {{"HULL.DAT"}}},
        {"RenumberShip", ShipWithPictures, {"renumber", "ship", "@/SHIP.DAT", "1", "20002", "20007"}, {{"SHIP.DAT"}}},
        {"DeleteHull", HullWithPictures, {"delete", "hull", "@/HULL.DAT", "0"}, {{"HULL.DAT"}}},
        {"DeleteShip", ShipWithPictures, {"delete", "ship", "@/SHIP.DAT", "0"}, {{"SHIP.DAT"}}},
        {"ReplaceMission", MissionWithPictures, {"replace", "mission", "@/MISSION.DAT", "0", "@/b.bmp"}, {{"MISSION.DAT"}}},
        {"ReplaceShip", ShipWithPictures, {"replace", "ship", "@/SHIP.DAT", "1", "@/b.bmp"}, {{"SHIP.DAT"}}},
        {"UndoAppendHull", HullWithPictures, {"undo", "@/HULL.DAT"}, {{"HULL.DAT"}}, {{"append", "hull", "@/HULL.DAT", "@/b.bmp", "--id", "4900"}}},
        {"UndoDeleteMap", MapWithPictures, {"undo", "@/MAP.DAT"}, {{"MAP.DAT"}}, {{"delete", "map", "@/MAP.DAT", "0"}}},
        {"RedoRenumberShip", ShipWithPictures, {"redo", "@/SHIP.DAT"}, {{"SHIP.DAT"}}, {{"renumber", "ship", "@/SHIP.DAT", "1", "20002", "20007"}, {"undo", "@/SHIP.DAT"}}},
        {"RedoReplaceHull", HullWithPictures, {"redo", "@/HULL.DAT"}, {{"HULL.DAT"}}, {{"replace", "hull", "@/HULL.DAT", "0", "@/b.bmp"}, {"undo", "@/HULL.DAT"}}},
        {"AddAnyInItsGroup", AnyWithGroups, {"add", "@/HULL.DAT", "300", "2", "@/b.bmp"}, {{"HULL.DAT"}}},
        {"AddAnyInANewGroup", AnyWithGroups, {"add", "@/HULL.DAT", "500", "1", "@/b.bmp", "--format", "24"}, {{"HULL.DAT"}}},
        {"SetAny", AnyWithGroups, {"set", "@/HULL.DAT", "26000", "4700", "@/b.bmp", "--size", "20", "10"}, {{"HULL.DAT"}}},
        {"RemoveAny", AnyWithGroups, {"remove", "@/HULL.DAT", "300", "1", "26000", "4800"}, {{"HULL.DAT"}}},
        {"RenameAny", AnyWithGroups, {"rename", "@/HULL.DAT", "26000", "4700", "300", "9"}, {{"HULL.DAT"}}},
        {"UndoRenameAny", AnyWithGroups, {"undo", "@/HULL.DAT"}, {{"HULL.DAT"}}, {{"rename", "@/HULL.DAT", "300", "1", "26000", "1"}}},
        {"CreateOverHull", HullWithPictures, {"create", "hull", "@/HULL.DAT"}, {{"HULL.DAT"}}},
        {"CreateOverShip", ShipWithPictures, {"create", "ship", "@/SHIP.DAT"}, {{"SHIP.DAT"}}},
        {"ExportHull", HullWithPictures, {"export", "hull", "@/HULL.DAT", "--out", "@/out", "1"}, {{"out/hull_26000_4800.bmp"}}},
        {"ImportHull", HullWithPictures, {"import", "hull", "@/HULL.DAT", "@/b.bmp", "--id", "4900", "--fit", "cover"}, {{"HULL.DAT"}}},
        {"ImportShip", ShipWithPictures, {"import", "ship", "@/SHIP.DAT", "@/b.bmp", "--id", "20003", "--tmp", "@/SHIP.tmp"}, {{"SHIP.DAT"}, kShipCopy}},
        {"ExportPngShip", ShipWithPictures, {"export", "ship", "@/SHIP.DAT", "--png", "--out", "@/out", "1"}, {{"out/ship_20002.png"}}},
        {"ExtractPngShip", ShipWithOnePicture, {"extract", "@/SHIP.DAT", "--png", "--out", "@/out"}, {{"out/20001_00001.png"}}},
        {"ExtractBmpShip", ShipWithOnePicture, {"extract", "@/SHIP.DAT", "--out", "@/out"}, {{"out/20001_00001.bmp"}}},
        {"ExtractHull", HullWithPictures, {"extract", "@/HULL.DAT", "--out", "@/out"}, {{"out/26000_04700.bmp"}, {"out/26000_04800.bmp"}}, {}, true},
        {"CraftSet", DemoGame, {"craft", "set", "@/XWA", "3", "--hull", "5300", "--map", "17900"}, {{"XWA/xwingalliance.exe"}}},
    };
    return writers;
}
// clang-format on

using Contents = std::map<std::string, std::optional<Bytes>>;

std::optional<Bytes> ContentOf(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        return std::nullopt;
    }
    return test::ReadFileBytes(file);
}

Contents Snapshot(const Writer& writer, const fs::path& folder) {
    Contents contents;
    for (const Watched& watched : writer.watched) {
        contents[watched.file] = ContentOf(folder / watched.file);
        if (!watched.orOldOf.empty()) {
            contents[watched.orOldOf] = ContentOf(folder / watched.orOldOf);
        }
    }
    return contents;
}

// The first watched file that holds neither what it may hold nor the state the other
// contents allow, described; empty when all are as they may be. `mayBeNew` false: only the old.
std::string TornFile(const Writer& writer, const fs::path& folder, const Contents& before,
                     const Contents& after, bool mayBeNew) {
    for (const Watched& watched : writer.watched) {
        const std::optional<Bytes> now = ContentOf(folder / watched.file);
        const bool isNew = now == after.at(watched.file);
        const bool whole = now == before.at(watched.file) || (mayBeNew && isNew) ||
                           (watched.orAbsent && !now) ||
                           (!watched.orOldOf.empty() && now == before.at(watched.orOldOf));
        if (whole) {
            continue;
        }
        if (isNew) {
            return watched.file + " is the new one although the writer reported a failure";
        }
        return watched.file +
               (now ? " holds " + std::to_string(now->size()) + " bytes"
                    : std::string(" is missing")) +
               ", neither the old nor the new one";
    }
    return {};
}

// What the interposer said it did to which call ("kill at 4: pwrite"), empty when it did not.
std::string InterposerNote(const std::string& err) {
    const std::string mark = "vexlor-write-interposer: ";
    const std::size_t at = err.find(mark);
    if (at == std::string::npos) {
        return {};
    }
    return err.substr(at + mark.size(), err.find('\n', at) - at - mark.size());
}

constexpr int kMostCalls = 5000;

// Whether the writer is one of those the journal records or moves.
bool IsRecorded(const Writer& writer) {
    static const std::vector<std::string> recorded = {"append",  "import", "renumber", "delete",
                                                      "replace", "undo",   "redo",     "add",
                                                      "set",     "remove", "rename"};
    return std::find(recorded.begin(), recorded.end(), writer.arguments.front()) != recorded.end();
}

std::string LibraryOf(const Writer& writer) {
    return "@/" + writer.watched.front().file;
}

// What takes the writer's change back: redo after an undo, undo after anything else.
std::vector<std::string> TakeBack(const Writer& writer) {
    return {writer.arguments.front() == "undo" ? "redo" : "undo", LibraryOf(writer)};
}

// The journal's own renames that the failures must have reached: the state an entry takes and
// the rewrite of `current`.
std::vector<std::string> JournalRenames(const Writer& writer) {
    if (writer.arguments.front() == "undo") {
        return {".undoing", ".undone", "/current"};
    }
    if (writer.arguments.front() == "redo") {
        return {".redoing", ".done", "/current"};
    }
    return {".pending", ".done", "/current"};
}

struct UndoOutcome {
    int exitStatus = -1;
    std::optional<Bytes> library;
};

class KillAtEveryWrite : public ::testing::TestWithParam<Writer> {
  protected:
    void SetUp() override {
        if (Cli().empty()) {
            GTEST_SKIP() << "VEXLOR_CLI names the program under test";
        }
        writer_ = GetParam();
        writer_.prepare(pristine_.Path());
        ASSERT_FALSE(HasFatalFailure());
        TempDir reference;
        const fs::path folder = Fresh(reference);
        before_ = Snapshot(writer_, folder);
        const Outcome run = RunCli(InFolder(writer_.arguments, folder), Plain(folder), folder);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        after_ = Snapshot(writer_, folder);
        const std::string& changed = writer_.watched.front().file;
        ASSERT_NE(before_.at(changed), after_.at(changed))
            << "a writer that leaves its file as it was cannot be told old from new";
        if (IsRecorded(writer_)) {
            TempDir undone;
            laterUndo_ = UndoIn(Fresh(undone), {"undo", LibraryOf(writer_)});
        }
    }

    UndoOutcome UndoIn(const fs::path& folder, const std::vector<std::string>& command) const {
        const Outcome run = RunCli(InFolder(command, folder), Plain(folder), folder);
        return {run.exitStatus, ContentOf(folder / writer_.watched.front().file)};
    }

    // After a run that left the library new, taking the change back gives the old library; after
    // one that left it old, an undo does what it did before the run. A change that leaves the
    // library's bytes as they were is told made by its exit status alone; a stopped one, not at
    // all.
    void CheckTheJournal(const fs::path& folder, const std::string& note, bool stopped,
                         bool exitedZero) {
        const std::string& library = writer_.watched.front().file;
        const bool changes = before_.at(library) != after_.at(library);
        if (!IsRecorded(writer_) || (stopped && !changes)) {
            return;
        }
        const bool isNew = changes ? ContentOf(folder / library) == after_.at(library) : exitedZero;
        if (isNew) {
            const UndoOutcome back = UndoIn(folder, TakeBack(writer_));
            if (back.exitStatus != 0 || back.library != before_.at(library)) {
                Report(note + ": the change was made, but " + TakeBack(writer_).front() +
                       " then exits " + std::to_string(back.exitStatus) +
                       (back.library == before_.at(library) ? "" : " without the old library"));
            }
            return;
        }
        const UndoOutcome later = UndoIn(folder, {"undo", LibraryOf(writer_)});
        if (later.exitStatus != laterUndo_.exitStatus || later.library != laterUndo_.library) {
            Report(note + ": the change was not made, and a later undo exits " +
                   std::to_string(later.exitStatus) + " where it exited " +
                   std::to_string(laterUndo_.exitStatus) +
                   (later.library == laterUndo_.library ? "" : ", leaving another library"));
        }
    }

    // Each of the journal's own renames was among the calls that failed.
    void CheckJournalRenamesWereReached(const std::vector<std::string>& notes) {
        if (!IsRecorded(writer_)) {
            return;
        }
        for (const std::string& ending : JournalRenames(writer_)) {
            const bool reached = std::any_of(notes.begin(), notes.end(), [&](const auto& note) {
                return note.find("rename") != std::string::npos && note.size() >= ending.size() &&
                       note.compare(note.size() - ending.size(), ending.size(), ending) == 0;
            });
            EXPECT_TRUE(reached) << writer_.name << ": no rename to *" << ending << " failed";
        }
    }

    fs::path Fresh(const TempDir& scratch) const {
        const fs::path folder = scratch.Path() / "work";
        fs::copy(pristine_.Path(), folder, fs::copy_options::recursive);
        fs::create_directories(folder / "state");
        for (const auto& command : writer_.recordedFirst) {
            const Outcome run = RunCli(InFolder(command, folder), Plain(folder), folder);
            EXPECT_EQ(run.exitStatus, 0) << run.err;
        }
        return folder;
    }

    static std::map<std::string, std::string> Plain(const fs::path& folder) {
        return {{"XDG_STATE_HOME", (folder / "state").string()},
                {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"}};
    }

    std::map<std::string, std::string> Interposed(const fs::path& folder, const std::string& name,
                                                  int n, const std::string& errnoName) const {
        auto settings = Plain(folder);
        settings["LD_PRELOAD"] = Interposer();
        settings[name] = std::to_string(n);
        if (!errnoName.empty()) {
            settings["VEXLOR_FAIL_ERRNO"] = errnoName;
        }
        return settings;
    }

    void Report(const std::string& what) { ADD_FAILURE() << writer_.name << ": " << what; }

    // Kills the writer at call 1, 2, ... until it runs to its end; after each kill `history`
    // gets its chance to finish or take back the change (its result does not matter).
    void KillEachCall() {
        for (int n = 1; n <= kMostCalls; ++n) {
            TempDir scratch;
            const fs::path folder = Fresh(scratch);
            const Outcome run = RunCli(InFolder(writer_.arguments, folder),
                                       Interposed(folder, "VEXLOR_KILL_AT", n, ""), scratch.Path());
            const std::string note = InterposerNote(run.err);
            if (note.empty()) {
                // A writer that changes files makes at least one such call: none seen means
                // the interposer was not in the way, and every pass above would be hollow.
                EXPECT_GT(n, 1) << writer_.name << ": no write-like call was seen";
                EXPECT_EQ(run.exitStatus, 0) << writer_.name << " unkilled: " << run.err;
                EXPECT_EQ(TornFile(writer_, folder, after_, after_, true), "")
                    << writer_.name << " unkilled";
                return;
            }
            RunCli(InFolder({"history", "@/" + writer_.watched.front().file}, folder),
                   Plain(folder), scratch.Path());
            const std::string torn = TornFile(writer_, folder, before_, after_, true);
            if (!torn.empty()) {
                Report(note + ": " + torn);
                continue;
            }
            CheckTheJournal(folder, note, true, false);
        }
        ADD_FAILURE() << writer_.name << " made more than " << kMostCalls << " calls";
    }

    // Fails call 1, 2, ... with `errnoName`: the writer says so with exit 1 and leaves the old
    // files, or overcomes it with exit 0 and the new ones.
    void FailEachCall(const std::string& errnoName) {
        std::vector<std::string> notes;
        for (int n = 1; n <= kMostCalls; ++n) {
            TempDir scratch;
            const fs::path folder = Fresh(scratch);
            const Outcome run =
                RunCli(InFolder(writer_.arguments, folder),
                       Interposed(folder, "VEXLOR_FAIL_AT", n, errnoName), scratch.Path());
            const std::string note = InterposerNote(run.err);
            if (note.empty()) {
                CheckJournalRenamesWereReached(notes);
                return;
            }
            notes.push_back(note);
            const bool succeeded = run.exitStatus == 0;
            if (!succeeded && run.exitStatus != 1) {
                Report(note + " (" + errnoName + "): exit status " +
                       std::to_string(run.exitStatus) + "\n" + run.err);
                continue;
            }
            const std::string torn =
                succeeded ? TornFile(writer_, folder, after_, after_, true)
                          : TornFile(writer_, folder, before_, after_, writer_.filesApart);
            if (!torn.empty()) {
                Report(note + " (" + errnoName + ", exit " + std::to_string(run.exitStatus) +
                       "): " + torn);
                continue;
            }
            CheckTheJournal(
                folder, note + " (" + errnoName + ", exit " + std::to_string(run.exitStatus) + ")",
                false, succeeded);
        }
        ADD_FAILURE() << writer_.name << " made more than " << kMostCalls << " calls";
    }

    Writer writer_;
    TempDir pristine_;
    Contents before_;
    Contents after_;
    UndoOutcome laterUndo_;  // what an undo does before the writer runs
};

TEST_P(KillAtEveryWrite, LeavesOldOrNew) {
    KillEachCall();
}

TEST_P(KillAtEveryWrite, FailsCleanlyOnAFullDisk) {
    FailEachCall("ENOSPC");
}

TEST_P(KillAtEveryWrite, FailsCleanlyOnAnInputOutputError) {
    FailEachCall("EIO");
}

// Planted links: every name the writer creates, truncates or renames to, found by a run under
// the interposer, gets a symbolic link planted at it before another run, leading to a file of
// someone else's or to nothing. The files the command names (a library, the game's executable)
// are the user's own, whose links lead to the file meant, and the journal's state folder is the
// user's private one: the others are names of the writer's own, which a link must never steer.

std::vector<std::string> Lines(const Bytes& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    return lines;
}

// The folder-relative names that a run of the writer wrote, each once, in the order first seen.
std::vector<std::string> WrittenNames(const fs::path& log, const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(log, error)) {
        return {};
    }
    const std::string prefix = folder.string() + "/";
    std::vector<std::string> names;
    for (const std::string& line : Lines(test::ReadFileBytes(log))) {
        if (line.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::string name = line.substr(prefix.size());
        if (name.rfind("state/", 0) != 0 &&
            std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    return names;
}

// The files that the command's arguments name (not its --tmp copy or --out folder), and the
// game's executable: links there are the user's, to be followed.
bool IsUsersOwn(const Writer& writer, const std::string& name) {
    if (name == "XWA/xwingalliance.exe") {
        return true;
    }
    for (std::size_t k = 0; k < writer.arguments.size(); ++k) {
        const bool ownCopy =
            k > 0 && (writer.arguments[k - 1] == "--tmp" || writer.arguments[k - 1] == "--out");
        if (!ownCopy && writer.arguments[k] == "@/" + name) {
            return true;
        }
    }
    return false;
}

struct PlantedLink {
    std::string name;
    bool dangling;
};

std::string Describe(const PlantedLink& link) {
    return (link.dangling ? "a dangling link at " : "a link to another file at ") + link.name;
}

TEST_P(KillAtEveryWrite, NeverWritesThroughAPlantedLink) {
    TempDir scratch;
    const fs::path folder = Fresh(scratch);
    auto logged = Plain(folder);
    logged["LD_PRELOAD"] = Interposer();
    logged["VEXLOR_WRITE_NAMES"] = (scratch.Path() / "names").string();
    ASSERT_EQ(RunCli(InFolder(writer_.arguments, folder), logged, scratch.Path()).exitStatus, 0);
    std::vector<PlantedLink> links;
    std::map<std::string, std::optional<Bytes>> leftAt;
    for (const std::string& name : WrittenNames(scratch.Path() / "names", folder)) {
        if (!IsUsersOwn(writer_, name)) {
            links.push_back({name, false});
            links.push_back({name, true});
            leftAt[name] = ContentOf(folder / name);
        }
    }
    const Bytes theirs = {'t', 'h', 'e', 'i', 'r', 's'};
    for (const PlantedLink& link : links) {
        TempDir run;
        const fs::path work = Fresh(run);
        const fs::path victim = run.Path() / "elsewhere" / "their file";
        fs::create_directories(victim.parent_path());
        if (!link.dangling) {
            test::WriteFileBytes(victim.string(), theirs);
        }
        const fs::path planted = work / link.name;
        fs::create_directories(planted.parent_path());
        fs::remove(planted);
        fs::create_symlink(victim, planted);
        const Outcome outcome = RunCli(InFolder(writer_.arguments, work), Plain(work), run.Path());
        const std::string what = writer_.name + " with " + Describe(link);
        EXPECT_TRUE(outcome.exitStatus == 0 || outcome.exitStatus == 1) << what << outcome.err;
        EXPECT_EQ(ContentOf(victim), link.dangling ? std::nullopt : std::optional<Bytes>(theirs))
            << what << ": the link's target was written";
        std::error_code error;
        const bool linkStays = fs::is_symlink(fs::symlink_status(planted, error)) &&
                               fs::read_symlink(planted, error) == victim;
        EXPECT_TRUE(linkStays || ContentOf(planted) == leftAt[link.name])
            << what << ": the name holds neither the link nor what the writer leaves there";
        EXPECT_EQ(TornFile(writer_, work, before_, after_, true), "") << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, KillAtEveryWrite, ::testing::ValuesIn(Writers()),
                         [](const ::testing::TestParamInfo<Writer>& row) {
                             return row.param.name;
                         });

// Vexlors whose journals are in state folders of their own share only the library's lock, and a
// SHIP append renames a new library into the name: eight of them appending to one library at
// once must lose none of the appends they report.
TEST(ConcurrentWriters, EightShipAppendersWithTheirOwnStateFoldersLoseNothing) {
    if (Cli().empty()) {
        GTEST_SKIP() << "VEXLOR_CLI names the program under test";
    }
    constexpr int kWriters = 8;
    constexpr int kAppendsEach = 10;
    TempDir dir;
    Bmp(dir.Path(), "a.bmp", 180, 180, 0);
    ASSERT_FALSE(HasFatalFailure());
    Cli({"create", "ship", "@/SHIP.DAT"}, dir.Path());
    std::vector<std::vector<int>> made(kWriters);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            const fs::path own = dir.Path() / ("writer-" + std::to_string(w));
            fs::create_directories(own);
            for (int k = 0; k < kAppendsEach; ++k) {
                const int id = 20001 + w * kAppendsEach + k;
                const Outcome run =
                    RunCli(InFolder({"append", "ship", "@/SHIP.DAT", "@/a.bmp", "--id",
                                     std::to_string(id), "--tmp", own.string() + "/SHIP.tmp"},
                                    dir.Path()),
                           {{"XDG_STATE_HOME", (own / "state").string()}}, own);
                if (run.exitStatus == 0) {
                    made[w].push_back(id);
                }
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const ShipEditorLogic logic((dir.Path() / "SHIP.DAT").string(),
                                (dir.Path() / "SHIP.tmp").string());
    const PictureList list = logic.LoadPictureList();
    ASSERT_TRUE(list.opened);
    std::vector<std::string> captions;
    for (const PictureEntry& entry : list.entries) {
        captions.push_back(logic.CaptionOf(entry.image));
    }
    std::size_t reported = 0;
    for (const auto& ids : made) {
        reported += ids.size();
        for (const int id : ids) {
            const bool kept =
                std::find(captions.begin(), captions.end(), std::to_string(id)) != captions.end();
            EXPECT_TRUE(kept) << id << " was reported appended and is not in the library";
        }
    }
    EXPECT_EQ(captions.size(), reported);
    EXPECT_GT(reported, std::size_t{kWriters}) << "the writers were mostly refused";
}

}  // namespace
}  // namespace vexlor
