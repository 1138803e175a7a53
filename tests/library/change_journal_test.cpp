#include "library/change_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

    TempDir dir_;
    std::string library_;
    std::string journal_;
};

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

TEST_F(Journal, AJournalThatCannotBeWrittenRefusesTheChange) {
    test::WriteFileText(journal_, "a file where the folder should be");
    ChangeJournal journal(journal_, library_);
    EXPECT_EQ(journal.Status(), JournalResult::CannotRecord);
    bool made = false;
    EXPECT_EQ(journal.Record("append 1", 0, {}, ChangeWrite::InPlace, [&] { return made = true; }),
              JournalResult::CannotRecord);
    EXPECT_FALSE(made);
}

}  // namespace
}  // namespace vexlor
