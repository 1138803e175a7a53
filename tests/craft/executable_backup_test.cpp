#include "craft/executable_backup.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/craft/craft_test_files.h"
#include "tests/support/posix_only.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

class ExecutableBackupTest : public ::testing::Test {
  protected:
    void SetUp() override { test::WriteFileBytes(exe_, original_); }
    Bytes Read(const std::string& path) const { return test::ReadFileBytes(path); }
    bool OnlyTheseFiles(std::size_t count) const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.Path()),
                                                      fs::directory_iterator())) == count;
    }

    test::TempDir dir_;
    std::string exe_ = dir_.File("xwingalliance.exe");
    std::string bak_ = dir_.File("xwingalliance.exe.bak");
    Bytes original_ = test::ExecutableBytes();
};

TEST_F(ExecutableBackupTest, ABackupIsMadeWholeOnceAndNeverOverwritten) {
    EXPECT_EQ(BackUpFile(exe_, bak_), BackupResult::Made);
    EXPECT_EQ(Read(bak_), original_);
    test::WriteFileBytes(exe_, Bytes{1, 2, 3});
    EXPECT_EQ(BackUpFile(exe_, bak_), BackupResult::AlreadyThere);
    EXPECT_EQ(Read(bak_), original_);
    EXPECT_TRUE(OnlyTheseFiles(2));

    // Nothing to copy, or a folder where the backup belongs: no backup, and nothing left over.
    fs::remove(bak_);
    EXPECT_EQ(BackUpFile(dir_.File("missing.exe"), bak_), BackupResult::Failed);
    fs::create_directory(bak_);
    EXPECT_EQ(BackUpFile(exe_, bak_), BackupResult::Failed);
    EXPECT_TRUE(OnlyTheseFiles(2));
}

// A copy that a stopped run left half made goes at the next run, also when the backup is there.
TEST_F(ExecutableBackupTest, ACopyLeftByAStoppedRunGoes) {
    EXPECT_EQ(BackUpFile(exe_, bak_), BackupResult::Made);
    test::WriteFileBytes(bak_ + ".new", Bytes{1, 2});
    EXPECT_EQ(BackUpFile(exe_, bak_), BackupResult::AlreadyThere);
    EXPECT_FALSE(fs::exists(bak_ + ".new"));
    EXPECT_EQ(Read(bak_), original_);
}

TEST_F(ExecutableBackupTest, RestoreReplacesTheWholeFileKeepingItsPermissions) {
    test::WriteFileBytes(bak_, Bytes{9, 8, 7});
    fs::permissions(exe_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
    ASSERT_TRUE(RestoreFileFrom(bak_, exe_));
    EXPECT_EQ(Read(exe_), (Bytes{9, 8, 7}));
    EXPECT_NE(fs::status(exe_).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_FALSE(RestoreFileFrom(dir_.File("missing.bak"), exe_));
    fs::permissions(exe_, fs::perms::owner_read);
    EXPECT_FALSE(RestoreFileFrom(bak_, exe_));
    fs::permissions(exe_, fs::perms::owner_all);
    EXPECT_EQ(Read(exe_), (Bytes{9, 8, 7}));
    EXPECT_TRUE(OnlyTheseFiles(2));
}

TEST_F(ExecutableBackupTest, RestoreThroughALinkWritesWhereItLeads) {
    VEXLOR_POSIX_ONLY("symbolic links");
    const fs::path link = dir_.File("linked.exe");
    fs::create_symlink(exe_, link);
    test::WriteFileBytes(bak_, Bytes{5, 5});
    ASSERT_TRUE(RestoreFileFrom(bak_, link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(exe_), (Bytes{5, 5}));
}

}  // namespace
}  // namespace vexlor
