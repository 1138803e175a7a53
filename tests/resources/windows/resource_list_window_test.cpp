#include "resources/windows/resource_list_window.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include "platform/folders.h"
#include "tests/resources/resource_list_files.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

using test::Lines;
using test::LinesOf;

class ResourceListWindowTest : public ::testing::Test {
  protected:
    ResourceListWindowTest() {
        SetAppFolders({temp_.Path().string() + "/", temp_.Path().string() + "/"});
    }
    ~ResourceListWindowTest() override { SetAppFolders({}); }

    std::filesystem::path File() const { return temp_.Path() / "resdata.txt"; }
    void WriteFile(const std::string& text) const { test::WriteText(File(), text); }
    std::string ReadFile() const { return test::ReadText(File()); }
    // Types `text` where the user's cursor is, as the keyboard would.
    static void Type(ResourceListWindow& window, const QString& text) {
        window.TextArea()->textCursor().insertText(text);
    }

    test::TempDir temp_;
    test::FakeUserDialogs dialogs_;
};

TEST_F(ResourceListWindowTest, LooksAsTheToolWindowShould) {
    WriteFile("");
    ResourceListWindow window(dialogs_, nullptr);
    EXPECT_EQ(window.windowTitle(), "resdata.txt");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.size(), QSize(408, 317));
    EXPECT_EQ(window.ReloadButton()->geometry(), QRect(8, 8, 73, 25));
    EXPECT_EQ(window.ReloadButton()->text(), "Reload");
    EXPECT_EQ(window.SaveButton()->geometry(), QRect(328, 8, 73, 25));
    EXPECT_EQ(window.SaveButton()->text(), "Save");
    QPlainTextEdit* memo = window.TextArea();
    EXPECT_EQ(memo->geometry(), QRect(0, 40, 408, 277));
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->font().pixelSize(), 12);
    const QFontMetrics metrics(memo->font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
}

TEST_F(ResourceListWindowTest, CreationLoadsTheFileIntoTheTextArea) {
    WriteFile("Resdata\\HULL.DAT\nResdata\\MAP.DAT\r");
    ResourceListWindow window(dialogs_, nullptr);
    EXPECT_EQ(window.TextArea()->toPlainText(), "Resdata\\HULL.DAT\nResdata\\MAP.DAT\n");
    EXPECT_TRUE(window.TextArea()->isEnabled());
    EXPECT_FALSE(window.SaveButton()->isEnabled());
    EXPECT_EQ(dialogs_.beeps, 0);
}

TEST_F(ResourceListWindowTest, WithoutTheFileCreationBeepsOnceAndTheTextAreaStaysOff) {
    ResourceListWindow window(dialogs_, nullptr);
    EXPECT_EQ(dialogs_.events, QStringList{"beep"});
    EXPECT_FALSE(window.TextArea()->isEnabled());
    EXPECT_FALSE(window.SaveButton()->isEnabled());
    EXPECT_EQ(window.List().LineCount(), 0);
}

TEST_F(ResourceListWindowTest, TypingChangesTheListAndEnablesSave) {
    WriteFile("a\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.TextArea()->moveCursor(QTextCursor::End);
    Type(window, "b");
    EXPECT_EQ(LinesOf(window.List()), (Lines{"a", "b"}));
    EXPECT_TRUE(window.SaveButton()->isEnabled());
}

TEST_F(ResourceListWindowTest, ALineAddedByAnotherWindowShowsWithoutMovingTheUsersCursor) {
    WriteFile("Resdata\\HULL.DAT\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.TextArea()->moveCursor(QTextCursor::End);
    window.List().InsertFirstLine("Resdata\\MIS9.DAT");
    EXPECT_EQ(window.TextArea()->toPlainText(), "Resdata\\MIS9.DAT\nResdata\\HULL.DAT\n");
    EXPECT_TRUE(window.SaveButton()->isEnabled());
    EXPECT_TRUE(window.TextArea()->textCursor().atEnd());
    // The user's next keystroke lands after the added line and keeps it.
    Type(window, "x");
    EXPECT_EQ(LinesOf(window.List()), (Lines{"Resdata\\MIS9.DAT", "Resdata\\HULL.DAT", "x"}));
}

TEST_F(ResourceListWindowTest, SaveShowsTheAddedLineBreakAndWritesCrLf) {
    WriteFile("a\nb");
    ResourceListWindow window(dialogs_, nullptr);
    Type(window, "z");
    window.SaveButton()->click();
    EXPECT_EQ(ReadFile(), "za\r\nb\r\n");
    EXPECT_EQ(window.TextArea()->toPlainText(), "za\nb\n");
    EXPECT_FALSE(window.SaveButton()->isEnabled());
}

TEST_F(ResourceListWindowTest, EveryByteSurvivesAnEditInTheTextArea) {
    std::string line;
    for (int value = 1; value < 256; ++value) {
        if (value != '\r' && value != '\n') {
            line += static_cast<char>(value);
        }
    }
    line += '\0';
    WriteFile(line + "\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.TextArea()->moveCursor(QTextCursor::End);
    Type(window, "more");
    EXPECT_EQ(LinesOf(window.List()), (Lines{line, "more"}));
    window.SaveButton()->click();
    EXPECT_EQ(ReadFile(), line + "\r\nmore\r\n");
}

TEST_F(ResourceListWindowTest, FailedReloadDisablesTheTextAreaButKeepsItsText) {
    WriteFile("a\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    Type(window, "b");
    std::filesystem::remove(File());
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    window.ReloadButton()->click();
    EXPECT_FALSE(window.TextArea()->isEnabled());
    EXPECT_TRUE(window.SaveButton()->isEnabled());
    EXPECT_EQ(window.TextArea()->toPlainText(), "ba\n");
}

TEST_F(ResourceListWindowTest, ReloadAsksFirstWhenThereAreChanges) {
    WriteFile("a\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.ReloadButton()->click();
    EXPECT_TRUE(dialogs_.events.isEmpty());

    const QString question = "question: resdata.txt: resdata.txt has changes that are not saved.";
    Type(window, "b");
    window.ReloadButton()->click();  // unscripted: Cancel
    EXPECT_EQ(window.TextArea()->toPlainText(), "ba\n");
    EXPECT_TRUE(window.SaveButton()->isEnabled());

    WriteFile("c\r\n");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    window.ReloadButton()->click();
    EXPECT_EQ(window.TextArea()->toPlainText(), "c\n");
    EXPECT_FALSE(window.SaveButton()->isEnabled());

    Type(window, "d");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    window.ReloadButton()->click();
    EXPECT_EQ(ReadFile(), "dc\r\n");
    EXPECT_EQ(window.TextArea()->toPlainText(), "dc\n");
    EXPECT_FALSE(window.SaveButton()->isEnabled());
    EXPECT_EQ(dialogs_.events, (QStringList{question, question, question}));
}

TEST_F(ResourceListWindowTest, CtrlSSavesWhileTheWindowIsActive) {
    WriteFile("a\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.TextArea()->setFocus();
    QTest::keyClick(window.TextArea(), Qt::Key_B);
    QTest::keyClick(window.TextArea(), Qt::Key_S, Qt::ControlModifier);
    // A button's shortcut clicks it as the mouse would, after showing it pressed for a moment.
    EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.SaveButton()->isEnabled(); }, 5000));
    EXPECT_EQ(ReadFile(), "ba\r\n");
    EXPECT_TRUE(window.SaveButton()->toolTip().contains("Ctrl+S"));
    EXPECT_FALSE(window.ReloadButton()->toolTip().isEmpty());
}

TEST_F(ResourceListWindowTest, ClosingOnlyHidesAndKeepsTheEdits) {
    WriteFile("a\r\n");
    ResourceListWindow window(dialogs_, nullptr);
    window.show();
    Type(window, "b");
    window.close();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(window.TextArea()->toPlainText(), "ba\n");
    EXPECT_TRUE(window.SaveButton()->isEnabled());
}

}  // namespace
}  // namespace vexlor
