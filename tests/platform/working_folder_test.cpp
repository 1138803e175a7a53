#include "platform/working_folder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "tests/platform/platform_test_util.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

class WorkingFolderTest : public ::testing::Test {
  protected:
    WorkingFolderTest() { fs::create_directory(Program()); }

    std::string Program() const { return (temp_.Path() / "program").string() + "/"; }
    std::string Home() const { return (temp_.Path() / "home").string(); }

    TempDir temp_;
    ScopedEnv home_{"HOME", Home()};
    ScopedEnv data_{"XDG_DATA_HOME", std::nullopt};
};

TEST_F(WorkingFolderTest, AWritableProgramFolderIsKeptAndTheTryLeavesNothing) {
    EXPECT_TRUE(CanCreateFileIn(Program()));
    EXPECT_EQ(WorkingFolder(Program()), Program());
    EXPECT_TRUE(fs::is_empty(Program()));
    EXPECT_FALSE(fs::exists(Home()));
}

#ifndef _WIN32
// The empty probe files that earlier versions left behind go; nothing else does.
TEST_F(WorkingFolderTest, ProbesThatEarlierVersionsLeftGo) {
    test::WriteFileText(Program() + ".vexlor-write-test-1234", "");
    test::WriteFileText(Program() + ".vexlor-write-test-5678", "");
    test::WriteFileText(Program() + ".vexlor-write-test-notes", "kept: not empty");
    test::WriteFileText(Program() + "vexlor-write-test-9", "");
    EXPECT_EQ(WorkingFolder(Program()), Program());
    EXPECT_FALSE(fs::exists(Program() + ".vexlor-write-test-1234"));
    EXPECT_FALSE(fs::exists(Program() + ".vexlor-write-test-5678"));
    EXPECT_TRUE(fs::exists(Program() + ".vexlor-write-test-notes"));
    EXPECT_TRUE(fs::exists(Program() + "vexlor-write-test-9"));
}
#endif

#ifdef _WIN32
// Windows programs keep their working folders beside them, as they always did.
TEST_F(WorkingFolderTest, OnWindowsTheProgramFolderStaysEvenWhenItTakesNoFile) {
    EXPECT_EQ(WorkingFolder(Program(), false), Program());
    EXPECT_FALSE(fs::exists(Home()));
}
#else
TEST_F(WorkingFolderTest, AFolderThatTakesNoFileIsToldApart) {
    EXPECT_FALSE(CanCreateFileIn((temp_.Path() / "missing").string() + "/"));
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only folder";
    }
    fs::permissions(Program(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool writable = CanCreateFileIn(Program());
    const std::string chosen = WorkingFolder(Program());
    fs::permissions(Program(), fs::perms::owner_all);
    EXPECT_FALSE(writable);
    EXPECT_EQ(chosen, Home() + "/.local/share/vexlor/");
}

TEST_F(WorkingFolderTest, AnUnwritableProgramFolderGivesTheUsersDataFolderMadeWhenMissing) {
    {
        ScopedEnv data("XDG_DATA_HOME", (temp_.Path() / "data").string());
        EXPECT_EQ(WorkingFolder(Program(), false), (temp_.Path() / "data/vexlor/").string());
        EXPECT_TRUE(fs::is_directory(temp_.Path() / "data/vexlor"));
        // Found again as it is.
        EXPECT_EQ(WorkingFolder(Program(), false), (temp_.Path() / "data/vexlor/").string());
    }
    // An empty or relative XDG_DATA_HOME counts as unset.
    for (const char* value : {"", "relative/data"}) {
        ScopedEnv data("XDG_DATA_HOME", std::string(value));
        EXPECT_EQ(WorkingFolder(Program(), false), Home() + "/.local/share/vexlor/") << value;
        EXPECT_TRUE(fs::is_directory(Home() + "/.local/share/vexlor"));
    }
    EXPECT_TRUE(fs::is_empty(Program()));
}

TEST_F(WorkingFolderTest, WithoutAUsableUserFolderTheProgramFolderStays) {
    {
        ScopedEnv home("HOME", std::nullopt);
        EXPECT_EQ(WorkingFolder(Program(), false), Program());
    }
    // A file where the folder would be made.
    test::WriteText(temp_.Path() / "data", "");
    ScopedEnv data("XDG_DATA_HOME", (temp_.Path() / "data").string());
    EXPECT_EQ(WorkingFolder(Program(), false), Program());
}
#endif

}  // namespace
}  // namespace vexlor
