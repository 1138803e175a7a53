#include "widgets/help_viewer.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

class HelpViewerTest : public ::testing::Test {
  protected:
    HelpViewerTest() { viewer_.show(); }

    bool Show(const std::string& text) {
        const std::string path = temp_.File("Help.txt");
        test::WriteFileBytes(path, test::Bytes(text.begin(), text.end()));
        const bool shown = viewer_.ShowFile(QString::fromStdString(path));
        QApplication::processEvents();
        return shown;
    }
    // How far the selected match stands from the middle of the text area, in lines.
    double LinesFromTheMiddle() const {
        const QPlainTextEdit& area = *viewer_.TextArea();
        const int middle = area.viewport()->height() / 2;
        return double(area.cursorRect().center().y() - middle) / area.cursorRect().height();
    }

    test::TempDir temp_;
    test::FakeUserDialogs dialogs_;
    HelpViewer viewer_{dialogs_, nullptr};
};

// The program's own help file reads without scrolling sideways at the size the viewer opens in.
TEST_F(HelpViewerTest, TheProgramsHelpFileFitsTheWidthThatTheViewerOpensIn) {
#ifdef _WIN32
    GTEST_SKIP() << "a Wine prefix has no fixed-pitch font to measure with; the Linux build "
                    "measures the same help file";
#endif
    const char* program = std::getenv("VEXLOR_PROGRAM");
    ASSERT_NE(program, nullptr);
    const QString help = QFileInfo(QString::fromLocal8Bit(program)).dir().filePath("Help.txt");
    ASSERT_TRUE(viewer_.ShowFile(help));
    QApplication::processEvents();
    const QPlainTextEdit& area = *viewer_.TextArea();
    ASSERT_GT(area.blockCount(), 1000);
    // The text area lays out only the lines it shows, so its scroll bar cannot tell yet.
    const int room = area.viewport()->width() - 2 * int(area.document()->documentMargin());
    for (QTextBlock line = area.document()->begin(); line.isValid(); line = line.next()) {
        EXPECT_LE(area.fontMetrics().horizontalAdvance(line.text()), room)
            << "line " << line.blockNumber() + 1;
    }
}

// A match at the edge of the text area, with nothing of what follows it, is easily missed.
TEST_F(HelpViewerTest, FindBringsEachMatchIntoTheMiddle) {
    std::string text;
    for (int line = 1; line <= 400; ++line) {
        text += (line == 150 || line == 300 ? "the wanted word" : "line " + std::to_string(line));
        text += "\r\n";
    }
    ASSERT_TRUE(Show(text));
    viewer_.FindField()->setText("wanted");
    for (int match : {150, 300, 150}) {
        viewer_.FindNext();
        EXPECT_EQ(viewer_.TextArea()->textCursor().blockNumber() + 1, match);
        EXPECT_LE(std::abs(LinesFromTheMiddle()), 1.0) << match;
    }
    viewer_.FindField()->setText("absent");
    viewer_.FindNext();
    EXPECT_EQ(dialogs_.beeps, 1);
    EXPECT_EQ(viewer_.TextArea()->textCursor().blockNumber() + 1, 150);
}

}  // namespace
}  // namespace vexlor
