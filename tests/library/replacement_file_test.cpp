#include "library/replacement_file.h"

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "library/byte_file.h"
#include "library/plain_file.h"
#include "tests/support/fifo.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const fs::path& path, const std::string& text) {
    test::WriteFileBytes(path, test::Bytes(text.begin(), text.end()));
}

int EntriesIn(const fs::path& folder) {
    return static_cast<int>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class ReplacementFileTest : public ::testing::Test {
  protected:
    fs::path In(const std::string& name) const { return temp_.Path() / name; }
    bool Replace(const fs::path& path, const std::string& text) const {
        return ReplaceFileWith(path.string(), text, ".new");
    }

    test::TempDir temp_;
};

TEST_F(ReplacementFileTest, WritesWhereAChainOfLinksLeadsAndKeepsTheLinks) {
    fs::create_directories(In("data/deeper"));
    WriteText(In("data/deeper/resdata.txt"), "old\r\n");
    // An absolute link to a relative one, which counts from its own folder, not ours.
    fs::create_symlink("deeper/resdata.txt", In("data/relative"));
    fs::create_symlink(In("data/relative"), In("resdata.txt"));

    ASSERT_TRUE(Replace(In("resdata.txt"), "new\r\n"));
    EXPECT_EQ(ReadText(In("data/deeper/resdata.txt")), "new\r\n");
    EXPECT_TRUE(fs::is_symlink(In("resdata.txt")));
    EXPECT_TRUE(fs::is_symlink(In("data/relative")));
    EXPECT_EQ(fs::read_symlink(In("data/relative")), "deeper/resdata.txt");
    EXPECT_EQ(EntriesIn(In("data/deeper")), 1);
    EXPECT_EQ(FinalLinkTarget(In("resdata.txt").string()),
              (In("data") / "deeper/resdata.txt").string());
}

TEST_F(ReplacementFileTest, ADanglingLinkGetsItsFileOnlyWhereTheFolderExists) {
    fs::create_symlink("made.txt", In("link"));
    ASSERT_TRUE(Replace(In("link"), "made\r\n"));
    EXPECT_EQ(ReadText(In("made.txt")), "made\r\n");
    EXPECT_TRUE(fs::is_symlink(In("link")));

    fs::create_symlink("nowhere/made.txt", In("lost"));
    EXPECT_FALSE(Replace(In("lost"), "x"));
    EXPECT_FALSE(fs::exists(In("nowhere")));
}

TEST_F(ReplacementFileTest, ALoopOfLinksIsRefused) {
    fs::create_symlink("b", In("a"));
    fs::create_symlink("a", In("b"));
    EXPECT_FALSE(FinalLinkTarget(In("a").string()).has_value());
    EXPECT_FALSE(Replace(In("a"), "x"));
    EXPECT_EQ(EntriesIn(temp_.Path()), 2);
}

TEST_F(ReplacementFileTest, TheReplacedFileKeepsItsPermissions) {
    WriteText(In("target"), "old");
    const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write |
                             fs::perms::group_read | fs::perms::others_exec;
    fs::permissions(In("target"), chosen);
    fs::create_symlink("target", In("link"));
    ASSERT_TRUE(Replace(In("link"), "new"));
    EXPECT_EQ(fs::status(In("target")).permissions() & fs::perms::mask, chosen);
}

TEST_F(ReplacementFileTest, WhatCannotBeReplacedStaysAsItWasWithNothingBeside) {
    WriteText(In("read-only"), "old");
    fs::permissions(In("read-only"), fs::perms::owner_read);
    fs::create_symlink("read-only", In("link to read-only"));
    fs::create_directory(In("folder"));
    const test::WaitingFifo pipe(In("pipe"));
    const int before = EntriesIn(temp_.Path());

    EXPECT_FALSE(Replace(In("link to read-only"), "new"));
    EXPECT_FALSE(Replace(In("folder"), "new"));
    EXPECT_FALSE(Replace(In("pipe"), "new"));
    EXPECT_EQ(ReadText(In("read-only")), "old");
    EXPECT_EQ(fs::status(In("pipe")).type(), fs::file_type::fifo);
    EXPECT_EQ(EntriesIn(temp_.Path()), before);
}

TEST_F(ReplacementFileTest, AnUncommittedOrFailedReplacementLeavesTheOldFileAndNoNewOne) {
    WriteText(In("target"), "old");
    {
        ReplacementFile abandoned(In("target").string(), ".new");
        ASSERT_TRUE(abandoned.IsOpen());
        ASSERT_TRUE(abandoned.Write("half"));
        EXPECT_TRUE(fs::exists(abandoned.NewFilePath()));
    }
    EXPECT_EQ(ReadText(In("target")), "old");
    EXPECT_EQ(EntriesIn(temp_.Path()), 1);

    // A folder where the new file must go: the one failure a test can make without a full disk.
    fs::create_directory(In("target.new"));
    ReplacementFile blocked(In("target").string(), ".new");
    EXPECT_FALSE(blocked.IsOpen());
    EXPECT_FALSE(blocked.Write("new"));
    EXPECT_FALSE(blocked.Commit());
    EXPECT_EQ(ReadText(In("target")), "old");
    EXPECT_TRUE(fs::is_directory(In("target.new")));
}

TEST_F(ReplacementFileTest, AStaleNewFileFromAnInterruptedWriteIsReplaced) {
    WriteText(In("target"), "old");
    WriteText(In("target.new"), "left over");
    ASSERT_TRUE(Replace(In("target"), "new"));
    EXPECT_EQ(ReadText(In("target")), "new");
    EXPECT_EQ(EntriesIn(temp_.Path()), 1);
}

TEST_F(ReplacementFileTest, OnlyPlainFilesOpenForReadingAndAPipeNeverWaits) {
    WriteText(In("plain"), "x");
    fs::create_symlink("plain", In("link"));
    fs::create_directory(In("folder"));
    const test::WaitingFifo pipe(In("pipe"));
    for (const char* name : {"plain", "link"}) {
        std::FILE* file = OpenPlainFile(In(name).string(), false);
        EXPECT_NE(file, nullptr) << name;
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    for (const char* name : {"folder", "pipe", "missing"}) {
        EXPECT_EQ(OpenPlainFile(In(name).string(), false), nullptr) << name;
        EXPECT_EQ(OpenPlainFile(In(name).string(), true), nullptr) << name;
        EXPECT_FALSE(ByteFile(In(name).string(), ByteFile::Mode::Read).IsOpen()) << name;
    }
}

}  // namespace
}  // namespace vexlor
