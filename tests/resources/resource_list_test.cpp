#include "resources/resource_list.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/folders.h"
#include "tests/resources/resource_list_files.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

using test::Lines;

class ResourceListTest : public ::testing::Test {
  protected:
    ResourceListTest() {
        std::filesystem::create_directory(Game());
        SetAppFolders({temp_.Path().string() + "/", Game().string() + "/"});
        list_.SetOnLinesChanged([this] { ++linesShown_; });
    }
    ~ResourceListTest() override { SetAppFolders({}); }

    std::filesystem::path Game() const { return temp_.Path() / "game"; }
    std::filesystem::path File() const { return Game() / "resdata.txt"; }
    void WriteFile(const std::string& text) const { test::WriteText(File(), text); }
    std::string ReadFile() const { return test::ReadText(File()); }
    void Load(const std::string& text) {
        WriteFile(text);
        ASSERT_TRUE(list_.Reload());
    }
    Lines AllLines() const { return test::LinesOf(list_); }

    test::TempDir temp_;
    test::FakeUserDialogs dialogs_;
    ResourceList list_{dialogs_};
    int linesShown_ = 0;
};

TEST_F(ResourceListTest, ReloadTakesEveryKindOfLineBreak) {
    Load("Resdata\\HULL.DAT\nResdata\\MAP.DAT\rResdata\\SHIP.DAT\r\n");
    EXPECT_EQ(AllLines(), (Lines{"Resdata\\HULL.DAT", "Resdata\\MAP.DAT", "Resdata\\SHIP.DAT"}));
    EXPECT_TRUE(list_.TextAreaEnabled());
    EXPECT_FALSE(list_.SaveEnabled());
    EXPECT_EQ(dialogs_.beeps, 0);
    EXPECT_EQ(linesShown_, 1);
}

TEST_F(ResourceListTest, LoadingNeverEnablesSaveEvenWhenTheWindowReportsTheChange) {
    // The window reports its own text change while a load fills it.
    bool loadingSeen = false;
    list_.SetOnLinesChanged([this, &loadingSeen] {
        loadingSeen = list_.Loading();
        list_.OnTextChanged();
    });
    Load("a\r\n");
    EXPECT_TRUE(loadingSeen);
    EXPECT_FALSE(list_.SaveEnabled());
    EXPECT_FALSE(list_.Loading());
}

TEST_F(ResourceListTest, ReloadDiscardsEditsAndDisablesSave) {
    Load("a\r\n");
    list_.SetEditedText("changed\n");
    EXPECT_TRUE(list_.SaveEnabled());
    ASSERT_TRUE(list_.Reload());
    EXPECT_EQ(AllLines(), (Lines{"a"}));
    EXPECT_FALSE(list_.SaveEnabled());
}

TEST_F(ResourceListTest, FailedFirstLoadBeepsAndStaysNotLoaded) {
    EXPECT_FALSE(list_.Reload());
    EXPECT_EQ(dialogs_.events, QStringList{"beep"});
    EXPECT_FALSE(list_.TextAreaEnabled());
    EXPECT_FALSE(list_.SaveEnabled());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ResourceListTest, FailedReloadKeepsTextAndPendingSave) {
    Load("a\r\n");
    list_.SetEditedText("a\nb");
    std::filesystem::remove(File());
    EXPECT_FALSE(list_.Reload());
    EXPECT_EQ(dialogs_.beeps, 1);
    EXPECT_FALSE(list_.TextAreaEnabled());
    EXPECT_TRUE(list_.SaveEnabled());
    EXPECT_EQ(AllLines(), (Lines{"a", "b"}));
    // A save from this state writes the text that was kept.
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "a\r\nb\r\n");
    EXPECT_FALSE(list_.TextAreaEnabled());
}

TEST_F(ResourceListTest, AFolderInPlaceOfTheFileIsAFailedLoad) {
    std::filesystem::create_directory(File());
    EXPECT_FALSE(list_.Reload());
    EXPECT_EQ(dialogs_.beeps, 1);
}

TEST_F(ResourceListTest, APipeInPlaceOfTheFileIsAFailedLoadAndIsNotReplaced) {
    VEXLOR_POSIX_ONLY("named pipes");
    const test::WaitingFifo pipe(File());
    EXPECT_FALSE(list_.Reload());
    EXPECT_EQ(dialogs_.beeps, 1);
    EXPECT_FALSE(list_.TextAreaEnabled());
    list_.SetEditedText("a\r\n");
    EXPECT_FALSE(list_.Save());
    EXPECT_EQ(std::filesystem::status(File()).type(), std::filesystem::file_type::fifo);
}

TEST_F(ResourceListTest, ThroughLinksLoadAndSaveUseTheFileTheyLeadTo) {
    VEXLOR_POSIX_ONLY("symbolic links that any user may make");
    namespace fs = std::filesystem;
    fs::create_directories(temp_.Path() / "mods" / "lists");
    const fs::path real = temp_.Path() / "mods" / "lists" / "resdata.txt";
    test::WriteText(real, "Resdata\\HULL.DAT\r\n");
    fs::create_symlink("lists/resdata.txt", temp_.Path() / "mods" / "current");
    fs::create_symlink("../mods/current", File());

    ASSERT_TRUE(list_.Reload());
    list_.InsertFirstLine("Resdata\\MAP.DAT");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(test::ReadText(real), "Resdata\\MAP.DAT\r\nResdata\\HULL.DAT\r\n");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(std::distance(fs::directory_iterator(Game()), fs::directory_iterator()), 1);
}

TEST_F(ResourceListTest, SaveEndsTheLastLineInTheTextItself) {
    Load("Resdata\\HULL.DAT\r\nResdata\\MAP.DAT");
    const int shownBefore = linesShown_;
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "Resdata\\HULL.DAT\r\nResdata\\MAP.DAT\r\n");
    EXPECT_TRUE(list_.Text().endsWithLineBreak);
    EXPECT_EQ(linesShown_, shownBefore + 1);
    EXPECT_FALSE(list_.SaveEnabled());
}

TEST_F(ResourceListTest, SaveWritesEndedTextUnchangedAndConvertsBreaksToCrLf) {
    Load("a\r\n\r\nb\r\n");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "a\r\n\r\nb\r\n");

    Load("a\nb\n");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "a\r\nb\r\n");

    Load("a\rb");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "a\r\nb\r\n");
}

TEST_F(ResourceListTest, EightBitBytesRoundTripExactly) {
    std::string line;
    for (int value = 0; value < 256; ++value) {
        if (value != '\r' && value != '\n') {
            line += static_cast<char>(value);
        }
    }
    Load(line + "\r\n" + line + "\r\n");
    ASSERT_EQ(list_.LineCount(), 2);
    EXPECT_EQ(list_.Line(0), line);
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), line + "\r\n" + line + "\r\n");
}

TEST_F(ResourceListTest, SavingAnEmptyTextWritesAnEmptyFile) {
    Load("a\r\n");
    list_.SetEditedText("");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "");
    EXPECT_EQ(list_.LineCount(), 0);
}

TEST_F(ResourceListTest, FailedSaveBeepsKeepsSaveAndTheAddedBreakAndTheOldFile) {
    Load("a\r\n");
    list_.SetEditedText("a\nb");
    // The new file cannot be made beside the old one.
    std::filesystem::create_directory(Game() / "resdata.txt.new");
    EXPECT_FALSE(list_.Save());
    EXPECT_EQ(dialogs_.events, QStringList{"beep"});
    EXPECT_TRUE(list_.SaveEnabled());
    EXPECT_TRUE(list_.Text().endsWithLineBreak);
    EXPECT_EQ(ReadFile(), "a\r\n");
}

TEST_F(ResourceListTest, SaveIntoAMissingGameFolderFails) {
    Load("a\r\n");
    list_.SetEditedText("b");
    std::filesystem::remove_all(Game());
    EXPECT_FALSE(list_.Save());
    EXPECT_EQ(dialogs_.beeps, 1);
    EXPECT_TRUE(list_.SaveEnabled());
}

TEST_F(ResourceListTest, TheFilePathFollowsTheGameFolderAtEachUse) {
    Load("first\r\n");
    const auto other = temp_.Path() / "other";
    std::filesystem::create_directory(other);
    test::WriteText(other / "resdata.txt", "second\r\n");
    SetAppFolders({temp_.Path().string() + "/", other.string() + "/"});
    ASSERT_TRUE(list_.Reload());
    EXPECT_EQ(AllLines(), (Lines{"second"}));
}

TEST_F(ResourceListTest, InsertedLineComesFirstAndWaitsForSave) {
    Load("Resdata\\HULL.DAT\r\n");
    const int shownBefore = linesShown_;
    list_.InsertFirstLine("Resdata\\MIS9.DAT");
    EXPECT_EQ(AllLines(), (Lines{"Resdata\\MIS9.DAT", "Resdata\\HULL.DAT"}));
    EXPECT_TRUE(list_.SaveEnabled());
    EXPECT_EQ(linesShown_, shownBefore + 1);
    EXPECT_EQ(ReadFile(), "Resdata\\HULL.DAT\r\n");
    ASSERT_TRUE(list_.Save());
    EXPECT_EQ(ReadFile(), "Resdata\\MIS9.DAT\r\nResdata\\HULL.DAT\r\n");
}

TEST_F(ResourceListTest, InsertIntoAnEmptyListBringsItsOwnLineBreak) {
    EXPECT_FALSE(list_.Reload());
    list_.InsertFirstLine("Resdata\\MIS9.DAT");
    EXPECT_EQ(list_.LineCount(), 1);
    EXPECT_EQ(JoinLines(list_.Text(), "\r\n"), "Resdata\\MIS9.DAT\r\n");
}

TEST_F(ResourceListTest, SearchIgnoresLetterCaseAndFindsTheFirstMatch) {
    Load("Resdata\\HULL.DAT\r\nRESDATA\\mis9.dat\r\nresdata\\MIS9.DAT\r\n");
    EXPECT_EQ(list_.IndexOfLine("resdata\\MIS9.dat"), 1);
    EXPECT_EQ(list_.IndexOfLine("resdata\\hull.dat"), 0);
    EXPECT_EQ(list_.IndexOfLine("resdata\\mis9"), -1);
    EXPECT_EQ(list_.IndexOfLine(""), -1);
    EXPECT_EQ(list_.Line(3), "");
    EXPECT_EQ(list_.Line(-1), "");
}

}  // namespace
}  // namespace vexlor
