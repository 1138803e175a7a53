#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/qt_file_dialog.h"
#include "platform/qt_test_log.h"
#include "platform/qt_user_dialogs.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

// Runs `look` on the modal window that the next exec() shows, which `look` must close.
void WhenModalShows(std::function<void(QWidget&)> look) {
    QTimer::singleShot(0, [look] { look(*QApplication::activeModalWidget()); });
}

class RequestFileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_.Path() / "Sub");
        test::WriteFileBytes(dir_.Path() / "HULL.DAT", {1});
        test::WriteFileBytes(dir_.Path() / "hull2.dat", {1});
        test::WriteFileBytes(dir_.Path() / "MAP.DAT", {1});
        test::WriteFileBytes(dir_.Path() / "Sub" / "map.dat", {2});
    }
    FileDialogRequest Request(bool creating) const {
        FileDialogRequest request;
        request.folder = QString::fromStdString(At(""));
        request.filters = {{"All DAT", {"*.dat"}}, {"HULLs  (hull*.dat)", {"HULL*.dat"}}};
        request.filterIndex = 2;
        request.defaultSuffix = "dat";
        request.mustExist = !creating;
        request.confirmOverwrite = creating;
        return request;
    }
    // The path that the dialog gives for a typed name, when "Open" or "Save" can take it.
    std::optional<std::string> Type(const QString& name, bool creating) {
        RequestFileDialog dialog(Request(creating),
                                 creating ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen,
                                 nullptr);
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(name);
        const auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox");
        if (!box->buttons().constFirst()->isEnabled()) {
            return std::nullopt;
        }
        // A question that nobody expected is closed, so that the test fails instead of hanging.
        QTimer::singleShot(2000, &dialog, [] { QApplication::activeModalWidget()->close(); });
        static_cast<QDialog&>(dialog).accept();
        const std::optional<QString> chosen = dialog.ChosenPath();
        return chosen ? std::optional(chosen->toStdString()) : std::nullopt;
    }
    std::string At(const char* name) const { return (dir_.Path() / name).string(); }
    test::TempDir dir_;
};

// The names that the dialog lists, once it has read its folder.
QStringList ListedNames(const QFileDialog& dialog) {
    const auto* view = dialog.findChild<QListView*>("listView");
    QElapsedTimer clock;
    clock.start();
    while (view->model()->rowCount(view->rootIndex()) == 0 && !clock.hasExpired(5000)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    return names;
}

TEST_F(RequestFileDialogTest, ShowsTheLabelsAsGivenAndListsByTheChosenOne) {
    RequestFileDialog dialog(Request(false), QFileDialog::AcceptOpen, nullptr);
    dialog.show();
    const auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "All DAT");
    EXPECT_EQ(types->itemText(1), "HULLs  (hull*.dat)");
    EXPECT_EQ(types->currentIndex(), 1);
    EXPECT_EQ(ListedNames(dialog).size(), 3);  // Sub, HULL.DAT, hull2.dat
}

TEST_F(RequestFileDialogTest, OpenFindsTypedNamesInAnyLetterCase) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows finds a typed name in any letter case itself";
#endif
    EXPECT_EQ(Type("HULL", false), At("HULL.DAT"));
    EXPECT_EQ(Type("sub/MAP", false), At("Sub/map.dat"));
    EXPECT_EQ(Type(QString::fromStdString(At("SUB/Map.Dat")), false), At("Sub/map.dat"));
    EXPECT_EQ(Type("SHIP", false), std::nullopt);
}

TEST_F(RequestFileDialogTest, SaveAsksToReplaceTheMatchingFileOrNamesANewOne) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows finds a typed name in any letter case itself";
#endif
    QString question;
    WhenModalShows([&question](QWidget& box) {
        question = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(Type("hull", true), At("HULL.DAT"));
    EXPECT_TRUE(question.startsWith("HULL.DAT already exists")) << question.toStdString();
    EXPECT_EQ(Type("SUB/New", true), At("Sub/New.dat"));
}

TEST(QtUserDialogsTest, ModalDialogsStandOnTopAndMessageBoxesShowTheirCaption) {
    if (TestLogRequested()) {
        GTEST_SKIP() << "message boxes are only logged";
    }
    QtUserDialogs dialogs;
    const auto closeWhenOnTopAndWide = [](QWidget& box) {
        EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QFontMetrics caption(QApplication::font("QMdiSubWindowTitleBar"));
        EXPECT_GT(box.width(), caption.horizontalAdvance("Export") + 100);
        box.close();
    };
    WhenModalShows(closeWhenOnTopAndWide);
    dialogs.ShowMessage("Done", "Export");
    WhenModalShows(closeWhenOnTopAndWide);
    EXPECT_EQ(dialogs.AskUnsavedChanges("Save?", "Export"), UnsavedChangesAnswer::Cancel);
    WhenModalShows(closeWhenOnTopAndWide);
    EXPECT_FALSE(dialogs.Confirm("Replace?", "Export"));

    // What the dialog prepared before it is run stays: its place and its focused control.
    QDialog kindDialog;
    new QLineEdit(&kindDialog);
    auto* chosen = new QLineEdit(&kindDialog);
    chosen->setFocus();
    kindDialog.move(40, 30);
    WhenModalShows([chosen](QWidget& dialog) {
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(dialog.focusWidget(), chosen);
        EXPECT_EQ(dialog.pos(), QPoint(40, 30));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.RunModal(kindDialog), QDialog::Accepted);
    EXPECT_FALSE(kindDialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// Alt and the underlined letter answer the question, as Qt's own Yes and No do.
TEST(QtUserDialogsTest, EveryAnswerOfTheUnsavedChangesQuestionHasItsLetter) {
    if (TestLogRequested()) {
        GTEST_SKIP() << "questions are only logged";
    }
    QtUserDialogs dialogs;
    const struct {
        Qt::Key letter;
        UnsavedChangesAnswer answer;
    } answers[] = {{Qt::Key_S, UnsavedChangesAnswer::Save},
                   {Qt::Key_D, UnsavedChangesAnswer::Discard},
                   {Qt::Key_C, UnsavedChangesAnswer::Cancel}};
    for (const auto& [letter, answer] : answers) {
        bool unanswered = false;
        WhenModalShows([letter, &unanswered](QWidget& box) {
            box.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
            QTest::keyClick(&box, letter, Qt::AltModifier);
            // A letter that answers nothing leaves the box open; the test then fails, not hangs.
            QTimer::singleShot(2000, &box, [&box, &unanswered] {
                unanswered = true;
                box.close();
            });
        });
        EXPECT_EQ(dialogs.AskUnsavedChanges("Save?", "Export"), answer) << letter;
        EXPECT_FALSE(unanswered) << letter;
    }
}

}  // namespace
}  // namespace vexlor
