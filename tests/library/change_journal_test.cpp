#include "library/change_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A "library" of text is enough here: the journal knows nothing of the format.
class Journal : public ::testing::Test {
  protected:
    void SetUp() override {
        library_ = dir_.File("LIB.DAT");
        journal_ = dir_.File("journal");
        test::WriteFileText(library_, std::string(100, 'a'));
    }
    std::string Text() const { return test::ReadFileText(library_); }
    JournalResult Change(const Splices& splices, const std::string& what = "append 1") {
        ChangeJournal journal(journal_, library_);
        const std::uint64_t size = fs::file_size(library_);
        return journal.Record(what, 0, splices, HowToMake(splices, size),
                              [&] { return MakeSplices(library_, size, splices); });
    }
    std::vector<fs::path> EntryFiles() const {
        std::vector<fs::path> files;
        for (const auto& folder : fs::directory_iterator(journal_)) {
            for (const auto& file : fs::directory_iterator(folder)) {
                if (file.path().filename().string().find('.') == 10) {
                    files.push_back(file.path());
                }
            }
        }
        return files;
    }

    // The library's own folder in the journal.
    fs::path Folder() const { return fs::directory_iterator(journal_)->path(); }
    // Gives the one entry in state `from` the state `to`, as a rename that failed leaves it.
    void PutBack(const std::string& from, const std::string& to) const {
        for (const fs::path& file : EntryFiles()) {
            if (file.extension() == "." + from) {
                fs::rename(file, fs::path(file).replace_extension(to));
                return;
            }
        }
        ADD_FAILURE() << "no entry " << from;
    }
    JournalResult UndoOnce() const {
        JournalEntry entry;
        return ChangeJournal(journal_, library_).Undo(entry);
    }
    JournalResult RedoOnce() const {
        JournalEntry entry;
        return ChangeJournal(journal_, library_).Redo(entry);
    }

    TempDir dir_;
    std::string library_;
    std::string journal_;
};

std::string WithLine(const std::string& text, const std::string& name, const std::string& line) {
    const auto start = text.find("\n" + name + " ") + 1;
    const auto end = text.find('\n', start);
    return text.substr(0, start) + line + text.substr(end + (line.empty() ? 1 : 0));
}

TEST_F(Journal, UndoAndRedoWalkBothWaysAndANewChangeClearsRedo) {
    const std::string first = Text();
    ASSERT_EQ(Change({{100, "", "tail"}}, "append 1"), JournalResult::Done);
    const std::string second = Text();
    ASSERT_EQ(Change({{10, "aaaa", ""}}, "delete 2"), JournalResult::Done);
    EXPECT_EQ(Text().size(), 100u);

    ChangeJournal journal(journal_, library_);
    ASSERT_EQ(journal.UndoList().size(), 2u);
    EXPECT_EQ(journal.UndoList().front().what, "delete 2");
    JournalEntry entry;
    ASSERT_EQ(journal.Undo(entry), JournalResult::Done);
    EXPECT_EQ(entry.what, "delete 2");
    EXPECT_EQ(Text(), second);
    ASSERT_EQ(journal.Undo(entry), JournalResult::Done);
    EXPECT_EQ(Text(), first);
    EXPECT_EQ(journal.Undo(entry), JournalResult::Nothing);
    ASSERT_EQ(journal.RedoList().size(), 2u);
    EXPECT_EQ(journal.RedoList().front().what, "append 1");
    ASSERT_EQ(journal.Redo(entry), JournalResult::Done);
    EXPECT_EQ(Text(), second);
    EXPECT_EQ(ChangeJournal(journal_, library_).RedoList().size(), 1u);
}

TEST_F(Journal, ANewChangeAfterUndoClearsWhatCouldBeRedone) {
    ASSERT_EQ(Change({{100, "", "x"}}), JournalResult::Done);
    JournalEntry entry;
    ASSERT_EQ(ChangeJournal(journal_, library_).Undo(entry), JournalResult::Done);
    ASSERT_EQ(Change({{100, "", "y"}}, "append 2"), JournalResult::Done);
    ChangeJournal journal(journal_, library_);
    EXPECT_TRUE(journal.RedoList().empty());
    EXPECT_EQ(journal.Redo(entry), JournalResult::Nothing);
}

TEST_F(Journal, AForeignWriteIsRefusedAndDropsTheHistoryAtTheNextChange) {
    ASSERT_EQ(Change({{100, "", "x"}}), JournalResult::Done);
    test::WriteFileText(library_, std::string(101, 'b'));
    JournalEntry entry;
    EXPECT_EQ(ChangeJournal(journal_, library_).Undo(entry), JournalResult::ChangedSince);
    EXPECT_EQ(Text(), std::string(101, 'b'));
    ASSERT_EQ(Change({{0, "b", "c"}}, "renumber 1 2"), JournalResult::Done);
    ChangeJournal journal(journal_, library_);
    ASSERT_EQ(journal.UndoList().size(), 1u);
    EXPECT_EQ(journal.UndoList().front().what, "renumber 1 2");
}

TEST_F(Journal, AFailedChangeIsTakenBackAndNotRecorded) {
    ChangeJournal journal(journal_, library_);
    const Splices splices = {{0, "aa", "zz"}};
    const auto result = journal.Record("renumber 1 2", 0, splices, ChangeWrite::InPlace, [&] {
        MakeSplices(library_, 100, splices);
        return false;  // as if a second write had failed after the first
    });
    EXPECT_EQ(result, JournalResult::WriteFailed);
    EXPECT_EQ(Text(), std::string(100, 'a'));
    EXPECT_TRUE(journal.UndoList().empty());
}

// A process stopped between its entry and the end of its write: the next journal finishes or
// takes back what it left.
TEST_F(Journal, AHalfDoneChangeIsSettledByTheNextWriter) {
    const std::string saved = dir_.File("saved-entry");
    std::string pending;
    {
        ChangeJournal journal(journal_, library_);
        const Splices splices = {{0, "aaaa", "head"}, {100, "", "tail"}};
        journal.Record("append 1", 0, splices, ChangeWrite::InPlace, [&] {
            pending = EntryFiles().front().string();
            fs::copy_file(pending, saved);
            return true;
        });
    }
    // Put the journal back as a stop after the first write leaves it: the entry pending, the
    // library's new end written, its header not yet.
    for (const auto& file : EntryFiles()) {
        fs::remove(file);
    }
    fs::rename(saved, pending);
    test::WriteFileText(library_, std::string(100, 'a') + "tail");
    ChangeJournal journal(journal_, library_);
    EXPECT_EQ(Text(), std::string(100, 'a'));
    EXPECT_TRUE(journal.UndoList().empty());
}

TEST_F(Journal, ASecondWriterWaitsAndIsRefused) {
    ChangeJournal first(journal_, library_);
    ChangeJournal second(journal_, library_, std::chrono::milliseconds(50));
    EXPECT_EQ(first.Status(), JournalResult::Done);
    EXPECT_EQ(second.Status(), JournalResult::Busy);
    JournalEntry entry;
    EXPECT_EQ(second.Undo(entry), JournalResult::Busy);
}

TEST_F(Journal, EntriesGrowWithTheTouchedBytesAndTheOldestGo) {
    test::WriteFileText(library_, std::string(1 << 20, 'a'));
    ASSERT_EQ(Change({{1 << 20, "", "x"}}), JournalResult::Done);
    ASSERT_EQ(EntryFiles().size(), 1u);
    EXPECT_LT(fs::file_size(EntryFiles().front()), 512u) << "an append keeps no copy";
    for (std::size_t k = 0; k < ChangeJournal::kMaxEntries + 5; ++k) {
        ASSERT_EQ(Change({{0, "a", "a"}}, "renumber " + std::to_string(k)), JournalResult::Done);
    }
    ChangeJournal journal(journal_, library_);
    EXPECT_EQ(journal.UndoList().size(), ChangeJournal::kMaxEntries);
    EXPECT_EQ(journal.UndoList().back().what, "renumber 5");
}

// The one-pass rewrite must record what the two-pass one records, whether the library's digest
// was known beforehand (a second change) or had to be learnt on the way (the first).
TEST_F(Journal, ARewriteInOnePassRecordsWhatTwoPassesRecord) {
    const auto entriesAfter = [&](bool onePass) {
        test::WriteFileText(library_, std::string(100, 'a'));
        fs::remove_all(journal_);
        for (const Splices& splices : {Splices{{0, "", "head"}}, Splices{{2, "ad", "x"}}}) {
            ChangeJournal journal(journal_, library_);
            const std::uint64_t size = fs::file_size(library_);
            const auto result =
                onePass ? journal.RecordRewrite("insert", 0, splices)
                        : journal.Record("insert", 0, splices, ChangeWrite::ByRename,
                                         [&] { return MakeSplices(library_, size, splices); });
            EXPECT_EQ(result, JournalResult::Done);
        }
        std::vector<std::string> texts;
        for (const fs::path& file : EntryFiles()) {
            texts.push_back(WithLine(test::ReadFileText(file.string()), "when", ""));
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    const auto twoPasses = entriesAfter(false);
    const auto onePass = entriesAfter(true);
    ASSERT_EQ(onePass.size(), 2u);
    EXPECT_EQ(onePass, twoPasses);
    EXPECT_EQ(Text(), "hex" + std::string(100, 'a'));
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    EXPECT_EQ(Text(), std::string(100, 'a'));
}

TEST_F(Journal, AJournalThatCannotBeWrittenRefusesTheChange) {
    test::WriteFileText(journal_, "a file where the folder should be");
    ChangeJournal journal(journal_, library_);
    EXPECT_EQ(journal.Status(), JournalResult::CannotRecord);
    bool made = false;
    EXPECT_EQ(journal.Record("append 1", 0, {}, ChangeWrite::InPlace, [&] { return made = true; }),
              JournalResult::CannotRecord);
    EXPECT_FALSE(made);
}

// A rename of the journal's own that failed leaves an entry pending, undoing or redoing, and
// `current` stale: the library's content decides, and a change that was made stays undoable.
TEST_F(Journal, AnEntryWhoseRenameFailedSettlesByWhatTheLibraryHolds) {
    const std::string before = Text();
    ASSERT_EQ(Change({{100, "", "tail"}}), JournalResult::Done);
    const std::string after = Text();
    PutBack("done", "pending");
    fs::remove(Folder() / "current");
    {
        ChangeJournal journal(journal_, library_);
        EXPECT_EQ(Text(), after) << "a change that was made is finished, not taken back";
        ASSERT_EQ(journal.UndoList().size(), 1u);
        JournalEntry entry;
        ASSERT_EQ(journal.Undo(entry), JournalResult::Done);
        EXPECT_EQ(Text(), before);
    }
    PutBack("undone", "undoing");
    EXPECT_EQ(ChangeJournal(journal_, library_).RedoList().size(), 1u);
    EXPECT_EQ(Text(), before) << "an undo that was made is not made again";
    ASSERT_EQ(RedoOnce(), JournalResult::Done);
    PutBack("done", "redoing");
    EXPECT_EQ(ChangeJournal(journal_, library_).UndoList().size(), 1u);
    EXPECT_EQ(Text(), after);
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    EXPECT_EQ(Text(), before);
}

TEST_F(Journal, TheContentNotTheTimesTellsWhetherAnotherProgramWroteTheLibrary) {
    ASSERT_EQ(Change({
                  {100, "", "tail"},
              }),
              JournalResult::Done);
    fs::last_write_time(library_, fs::last_write_time(library_) + std::chrono::hours(1));
    ASSERT_EQ(UndoOnce(), JournalResult::Done) << "touched";
    ASSERT_EQ(RedoOnce(), JournalResult::Done);
    const std::string same = Text();
    fs::remove(library_);
    test::WriteFileText(library_, same);
    ASSERT_EQ(UndoOnce(), JournalResult::Done) << "the same bytes copied back";
    ASSERT_EQ(RedoOnce(), JournalResult::Done);

    // The file system's clock moves in steps of a few milliseconds: a write within the step of
    // the journal's own would carry its change time.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto times = fs::last_write_time(library_);
    {
        std::fstream file(library_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(5);
        file.put('b');
    }
    fs::last_write_time(library_, times);
    EXPECT_EQ(UndoOnce(), JournalResult::ChangedSince) << "a byte changed, the times put back";
}

TEST_F(Journal, DamagedAndForeignEntriesAndALockThatIsNoFileSaySo) {
    ASSERT_EQ(Change({{100, "", "tail"}}), JournalResult::Done);
    const std::string after = Text();
    const fs::path entry = EntryFiles().front();
    const std::string whole = test::ReadFileText(entry);
    test::WriteFileText(entry, whole.substr(0, whole.size() - 6));
    EXPECT_EQ(UndoOnce(), JournalResult::Damaged);
    EXPECT_TRUE(ChangeJournal(journal_, library_).UndoList().empty());

    test::WriteFileText(entry, WithLine(whole, "library", "library /elsewhere/OTHER.DAT"));
    EXPECT_EQ(UndoOnce(), JournalResult::OtherLibrary);
    EXPECT_TRUE(ChangeJournal(journal_, library_).UndoList().empty());
    EXPECT_EQ(Text(), after);
    ASSERT_EQ(Change({{0, "a", "c"}}, "renumber 1 2"), JournalResult::Done);
    ASSERT_EQ(ChangeJournal(journal_, library_).UndoList().size(), 1u) << "the foreign one went";

    const fs::path lock = Folder() / "lock";
    fs::remove(lock);
    fs::create_directory(lock);
    EXPECT_EQ(ChangeJournal(journal_, library_).Status(), JournalResult::LockNotAFile);
#ifndef _WIN32  // where any user may make a symbolic link
    fs::remove(lock);
    fs::create_symlink(dir_.File("elsewhere"), lock);
    EXPECT_EQ(ChangeJournal(journal_, library_).Status(), JournalResult::LockNotAFile);
    EXPECT_FALSE(fs::exists(dir_.File("elsewhere")));
#endif
}

TEST_F(Journal, LinksPlantedInTheJournalAreReplacedNeverFollowed) {
    VEXLOR_POSIX_ONLY("symbolic links that any user may make");
    ASSERT_EQ(Change({{100, "", "tail"}}), JournalResult::Done);
    const fs::path folder = Folder();
    const std::string victim = dir_.File("victim");
    test::WriteFileText(victim, "keep");
    fs::remove(folder / "current");
    for (const char* name :
         {"current", "current.vexlor-new", "0000000002.pending", "0000000002.pending.vexlor-new"}) {
        fs::create_symlink(victim, folder / name);
    }
    ASSERT_EQ(Change({{104, "", "more"}}), JournalResult::Done);
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    EXPECT_EQ(Text(), std::string(100, 'a'));
    EXPECT_EQ(test::ReadFileText(victim), "keep");
    EXPECT_FALSE(fs::is_symlink(folder / "current"));

    fs::permissions(folder, fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(ChangeJournal(journal_, library_).Status(), JournalResult::NotOwnFolder);
    fs::permissions(folder, fs::perms::others_write, fs::perm_options::remove);
    const std::string moved = dir_.File("moved");
    fs::rename(folder, moved);
    fs::create_directory_symlink(moved, folder);
    EXPECT_EQ(ChangeJournal(journal_, library_).Status(), JournalResult::NotOwnFolder);
}

// Journals written before entries kept digests are still taken back, by the library's identity.
TEST_F(Journal, EntriesOfTheFirstVersionAreStillUndone) {
    ASSERT_EQ(Change({{100, "", "tail"}}), JournalResult::Done);
    const fs::path entry = EntryFiles().front();
    std::string old = test::ReadFileText(entry);
    old.replace(0, 16, "vexlor-change 1\n");
    for (const char* name : {"library", "before", "after"}) {
        old = WithLine(old, name, "");
    }
    test::WriteFileText(entry, old);
    const std::string current = test::ReadFileText(Folder() / "current");
    test::WriteFileText(Folder() / "current", current.substr(0, current.find("changed ")));
    ASSERT_EQ(UndoOnce(), JournalResult::Done);
    EXPECT_EQ(Text(), std::string(100, 'a'));
}

// Vexlors whose journals are in different state folders share only the library's own lock,
// which must move to the file that a rewrite renames into the library's name.
TEST_F(Journal, TheLibrarysLockMovesWithARewriteToTheNewFile) {
#ifdef _WIN32
    GTEST_SKIP() << "the library itself is locked only where a lock does not stop its rename";
#endif
    ChangeJournal first(journal_, library_);
    const Splices splices = {{10, "aaaa", ""}};
    ASSERT_EQ(HowToMake(splices, 100), ChangeWrite::ByRename);
    ASSERT_EQ(first.Record("delete 2", 0, splices, ChangeWrite::ByRename,
                           [&] { return MakeSplices(library_, 100, splices); }),
              JournalResult::Done);
    ChangeJournal second(dir_.File("other-journal"), library_, std::chrono::milliseconds(50));
    EXPECT_EQ(second.Status(), JournalResult::Busy);
}

}  // namespace
}  // namespace vexlor
