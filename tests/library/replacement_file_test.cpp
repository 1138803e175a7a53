#include "library/replacement_file.h"

#include "library/replacement_batch.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

using test::ReadFileText;
using test::WriteFileText;

int EntriesIn(const fs::path& folder) {
    return static_cast<int>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class ReplacementFileTest : public ::testing::Test {
  protected:
    fs::path In(const std::string& name) const { return temp_.Path() / name; }
    bool Replace(const std::string& name, const std::string& text) const {
        return ReplaceFileWith(In(name).string(), text, ".new");
    }

    test::TempDir temp_;
};

TEST_F(ReplacementFileTest, WritesWhereAChainOfLinksLeadsKeepingLinksAndPermissions) {
    VEXLOR_POSIX_ONLY("symbolic links");
    fs::create_directories(In("data/deeper"));
    WriteFileText(In("data/deeper/resdata.txt"), "old");
    const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(In("data/deeper/resdata.txt"), chosen);
    // An absolute link to a relative one, which counts from its own folder, not ours.
    fs::create_symlink("deeper/resdata.txt", In("data/relative"));
    fs::create_symlink(In("data/relative"), In("resdata.txt"));

    ASSERT_TRUE(Replace("resdata.txt", "new"));
    EXPECT_EQ(ReadFileText(In("data/deeper/resdata.txt")), "new");
    EXPECT_EQ(fs::status(In("data/deeper/resdata.txt")).permissions() & fs::perms::mask, chosen);
    EXPECT_EQ(fs::read_symlink(In("data/relative")), "deeper/resdata.txt");
    EXPECT_TRUE(fs::is_symlink(In("resdata.txt")));
    EXPECT_EQ(EntriesIn(In("data/deeper")), 1);

    // A dangling link gets its file, where the folder it names exists.
    fs::create_symlink("made.txt", In("link"));
    fs::create_symlink("nowhere/made.txt", In("lost"));
    WriteFileText(In("made.txt.new"), "left by another write");
    ASSERT_TRUE(Replace("link", "made"));
    EXPECT_EQ(ReadFileText(In("made.txt")), "made");
    EXPECT_EQ(ReadFileText(In("made.txt.new")), "left by another write");
    EXPECT_FALSE(Replace("lost", "x"));
}

TEST_F(ReplacementFileTest, WhatCannotBeReplacedStaysAsItWasWithNothingBeside) {
    VEXLOR_POSIX_ONLY("named pipes and symbolic links");
    WriteFileText(In("read-only"), "old");
    fs::permissions(In("read-only"), fs::perms::owner_read);
    fs::create_symlink("read-only", In("link to read-only"));
    fs::create_directory(In("folder"));
    fs::create_symlink("loop", In("loop"));
    const test::WaitingFifo pipe(In("pipe"));
    WriteFileText(In("target"), "old");
    fs::create_directory(In("target.new"));  // where the new file must go
    const int before = EntriesIn(temp_.Path());

    for (const char* name : {"link to read-only", "folder", "loop", "pipe", "target"}) {
        EXPECT_FALSE(Replace(name, "new")) << name;
    }
    EXPECT_EQ(ReadFileText(In("read-only")), "old");
    EXPECT_EQ(ReadFileText(In("target")), "old");
    EXPECT_EQ(fs::status(In("pipe")).type(), fs::file_type::fifo);
    EXPECT_EQ(EntriesIn(temp_.Path()), before);

    fs::remove(In("target.new"));
    {
        ReplacementFile abandoned(In("target").string(), ".new");
        ASSERT_TRUE(abandoned.Write("half"));
    }
    EXPECT_EQ(ReadFileText(In("target")), "old");
    EXPECT_EQ(EntriesIn(temp_.Path()), before - 1);
}

TEST_F(ReplacementFileTest, HardLinksAreNotBrokenSilently) {
    WriteFileText(In("SHIP.DAT"), "old");
    fs::create_hard_link(In("SHIP.DAT"), In("other name"));
    ReplacementFile refused(In("SHIP.DAT").string(), ".new");
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_EQ(refused.SystemError(), EMLINK);
    int systemError = 0;
    EXPECT_FALSE(ReplaceFileWith(In("SHIP.DAT").string(), "new", ".new", &systemError));
    EXPECT_EQ(systemError, EMLINK);
    EXPECT_EQ(ReadFileText(In("other name")), "old");
    EXPECT_EQ(EntriesIn(temp_.Path()), 2);
}

TEST_F(ReplacementFileTest, ALinkOfItsOwnIsReplacedNotFollowed) {
    VEXLOR_POSIX_ONLY("symbolic links");
    WriteFileText(In("elsewhere"), "keep");
    fs::create_symlink("elsewhere", In("picture.bmp"));
    ReplacementFile replacement(In("picture.bmp").string(), ".new",
                                ReplacementFile::Links::Replace);
    ASSERT_TRUE(replacement.Write("new") && replacement.Commit());
    EXPECT_FALSE(fs::is_symlink(In("picture.bmp")));
    EXPECT_EQ(ReadFileText(In("picture.bmp")), "new");
    EXPECT_EQ(ReadFileText(In("elsewhere")), "keep");
}

TEST_F(ReplacementFileTest, LeftoverNewFilesGoWhereTheLinksLead) {
    VEXLOR_POSIX_ONLY("symbolic links");
    fs::create_directory(In("data"));
    WriteFileText(In("data/SHIP.DAT"), "library");
    fs::create_symlink("data/SHIP.DAT", In("SHIP.DAT"));
    for (const char* name : {"SHIP.DAT.vexlor-new", "SHIP.DAT.vexlor-new-1",
                             "SHIP.DAT.vexlor-new-100", "SHIP.DAT.vexlor-new-x"}) {
        WriteFileText(In("data") / name, "left");
    }
    fs::create_symlink("SHIP.DAT", In("data/SHIP.DAT.vexlor-new-2"));
    fs::create_directory(In("data/SHIP.DAT.vexlor-new-3"));  // put there on purpose

    RemoveLeftoverNewFiles(In("SHIP.DAT").string(), ".vexlor-new");
    EXPECT_EQ(ReadFileText(In("data/SHIP.DAT")), "library");
    EXPECT_TRUE(fs::exists(In("data/SHIP.DAT.vexlor-new-x")));
    EXPECT_TRUE(fs::is_directory(In("data/SHIP.DAT.vexlor-new-3")));
    EXPECT_EQ(EntriesIn(In("data")), 3);
}

// A stopped writer's new file goes at the next write of that file; one that a writer is still
// filling stays with it, and a link at such a name goes as a link.
TEST_F(ReplacementFileTest, ItsOwnLeftoversGoUnlessAWriterStillHoldsThem) {
    VEXLOR_POSIX_ONLY("symbolic links");
    WriteFileText(In("LIB.DAT"), "old");
    WriteFileText(In("LIB.DAT.vexlor-new"), "left by a stopped write");
    WriteFileText(In("theirs"), "theirs");
    fs::create_symlink(In("theirs"), In("LIB.DAT.vexlor-new-1"));
    const std::string library = In("LIB.DAT").string();
    ReplacementFile running(library, ".vexlor-new");
    ASSERT_TRUE(running.IsOpen() && running.Write("first"));
    EXPECT_EQ(running.NewFilePath(), library + ".vexlor-new");
    EXPECT_FALSE(fs::exists(fs::symlink_status(In("LIB.DAT.vexlor-new-1"))));
    EXPECT_EQ(ReadFileText(In("theirs")), "theirs");

    ASSERT_TRUE(ReplaceFileWith(library, "second", ".vexlor-new"));
    EXPECT_TRUE(fs::exists(running.NewFilePath()));
    ASSERT_TRUE(running.Commit());
    EXPECT_EQ(ReadFileText(In("LIB.DAT")), "first");
    EXPECT_EQ(EntriesIn(temp_.Path()), 2);
}

TEST_F(ReplacementFileTest, AFolderOfManyFilesLosesOnlyItsLeftovers) {
    VEXLOR_POSIX_ONLY("symbolic links");
    fs::create_directory(In("out"));
    WriteFileText(In("theirs"), "theirs");
    for (const char* name : {"4700.png.vexlor-new", "4800.bmp.vexlor-new-3", "4900.png",
                             "5000.png.vexlor-new-x", "5100.png.vexlor-newer"}) {
        WriteFileText(In("out") / name, "x");
    }
    fs::create_symlink(In("theirs"), In("out/5200.png.vexlor-new"));
    RemoveLeftoverNewFilesIn(In("out").string(), ".vexlor-new");
    EXPECT_EQ(EntriesIn(In("out")), 3);
    EXPECT_TRUE(fs::exists(In("out/4900.png")));
    EXPECT_TRUE(fs::exists(In("out/5000.png.vexlor-new-x")));
    EXPECT_EQ(ReadFileText(In("theirs")), "theirs");
}

// Many files through one batch: flushed a few at a time, each whole under its name, a file that
// cannot be made failing alone, and nothing left behind by files never flushed.
TEST_F(ReplacementFileTest, ABatchReplacesEachFileWholeAndFailsOnlyThoseThatCannotBeMade) {
    WriteFileText(In("2.bmp"), "old");
    std::vector<std::size_t> numbers;
    {
        ReplacementBatch batch(".vexlor-new", ReplacementFile::Links::Replace, 2);
        for (const char* name : {"1.bmp", "2.bmp", "missing/3.bmp", "4.bmp", "5.bmp"}) {
            numbers.push_back(batch.Add(In(name).string(), std::string("new ") + name));
        }
        batch.Flush();
        EXPECT_TRUE(batch.Replaced(numbers[0]) && batch.Replaced(numbers[1]) &&
                    batch.Replaced(numbers[3]) && batch.Replaced(numbers[4]));
        EXPECT_FALSE(batch.Replaced(numbers[2]));
        EXPECT_FALSE(batch.Replaced(99));
    }
    EXPECT_EQ(ReadFileText(In("2.bmp")), "new 2.bmp");
    EXPECT_EQ(ReadFileText(In("5.bmp")), "new 5.bmp");
    EXPECT_EQ(EntriesIn(temp_.Path()), 4);  // the four pictures, no new file beside them

#if !defined(_WIN32)  // where every file is committed as it comes
    {
        ReplacementBatch unflushed(".vexlor-new", ReplacementFile::Links::Replace);
        EXPECT_FALSE(unflushed.Replaced(unflushed.Add(In("1.bmp").string(), "newer")));
    }
    EXPECT_EQ(ReadFileText(In("1.bmp")), "new 1.bmp");
    EXPECT_EQ(EntriesIn(temp_.Path()), 4);
#endif
}

}  // namespace
}  // namespace vexlor
