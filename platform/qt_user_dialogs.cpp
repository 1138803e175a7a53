#include "platform/qt_user_dialogs.h"

#include <algorithm>
#include <initializer_list>

#include "platform/qt_file_dialog.h"
#include "platform/qt_modal_stacking.h"
#include "platform/qt_test_log.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QProcess>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace vexlor {
namespace {

constexpr int kShellStartWaitMs = 2000;
constexpr int kShellAnswerWaitMs = 3000;

// Room for what a window frame puts beside the caption (icon and buttons), in lines of text,
// and the narrowest message box, in average characters.
constexpr int kCaptionFrameLines = 7;
constexpr int kMinimumBoxCharacters = 30;

// Runs a modal dialog above the tool windows.
int RunAboveToolWindows(QDialog& dialog) {
    const AboveToolWindows above(dialog);
    return dialog.exec();
}

// Qt sizes a message box by its text and leaves too little room for the caption beside the
// frame's buttons ("E...rt" for "Export"); an empty row as wide as the caption needs makes its
// own sizing leave enough. Called once the box is complete, as Qt lays it out anew on changes.
void WidenForCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont captionFont = QApplication::font("QMdiSubWindowTitleBar");
    captionFont.setBold(true);
    const QFontMetrics caption(captionFont);
    const int wanted = std::max(
        caption.horizontalAdvance(box.windowTitle()) + kCaptionFrameLines * caption.height(),
        kMinimumBoxCharacters * box.fontMetrics().averageCharWidth());
    const QMargins margins = grid->contentsMargins();
    const int width = wanted - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

struct ButtonText {
    QMessageBox::StandardButton button;
    QString text;
};

// Qt's own texts give Yes and No a mnemonic but not Save, Discard and Cancel; the words stay.
void GiveMnemonics(QMessageBox& box, std::initializer_list<ButtonText> texts) {
    for (const ButtonText& text : texts) {
        if (QAbstractButton* button = box.button(text.button)) {
            button->setText(text.text);
        }
    }
}

int RunMessageBox(QMessageBox& box) {
    WidenForCaption(box);
    return RunAboveToolWindows(box);
}

std::optional<QString> RunFileDialog(const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    RequestFileDialog dialog(request, mode, QApplication::activeWindow());
    RunAboveToolWindows(dialog);
    return dialog.ChosenPath();
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// Qt starts xdg-open and calls that success, but xdg-open itself finds out whether any program
// takes the file, and says so only through its exit code: a desktop with no program for text
// files exits 3 or 4 at once. So it is waited for a moment, the window still answering; one
// that is still running then has handed the file to a program that is in no hurry to return.
bool OpenWithXdgOpen(const QString& path) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        return false;
    }
    auto* process = new QProcess(qApp);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(xdgOpen, {path});
    if (!process->waitForStarted(kShellStartWaitMs)) {
        delete process;
        return false;
    }
    QEventLoop wait;
    QTimer::singleShot(kShellAnswerWaitMs, &wait, &QEventLoop::quit);
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // Signals arrive only through the event loop, so it cannot end unnoticed in between.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    process->deleteLater();
    return opened;
}
#endif

}  // namespace

QtUserDialogs::QtUserDialogs() : logOnly_(TestLogRequested()) {}

void QtUserDialogs::ShowMessage(const QString& text, const QString& caption) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("message: ") + caption + QStringLiteral(": ") + text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    RunMessageBox(box);
}

void QtUserDialogs::Beep() {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("beep"));
        return;
    }
    QApplication::beep();
}

UnsavedChangesAnswer QtUserDialogs::AskUnsavedChanges(const QString& text, const QString& caption) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("question: ") + caption + QStringLiteral(": ") + text);
        return UnsavedChangesAnswer::Cancel;
    }
    QMessageBox box(QMessageBox::Warning, caption, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    GiveMnemonics(box, {{QMessageBox::Save, QStringLiteral("&Save")},
                        {QMessageBox::Discard, QStringLiteral("&Discard")},
                        {QMessageBox::Cancel, QStringLiteral("&Cancel")}});
    switch (RunMessageBox(box)) {
        case QMessageBox::Save:
            return UnsavedChangesAnswer::Save;
        case QMessageBox::Discard:
            return UnsavedChangesAnswer::Discard;
        default:
            return UnsavedChangesAnswer::Cancel;
    }
}

bool QtUserDialogs::Confirm(const QString& text, const QString& caption) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("confirm: ") + caption + QStringLiteral(": ") + text);
        return false;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return RunMessageBox(box) == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::AskOpenFile(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtUserDialogs::AskSaveFile(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

// Qt's own dialog, as for files, so that it looks and behaves the same on every desktop.
std::optional<QString> QtUserDialogs::AskFolder(const FolderDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (RunAboveToolWindows(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

int QtUserDialogs::RunModal(QDialog& dialog) {
    return RunAboveToolWindows(dialog);
}

bool QtUserDialogs::OpenWithShell(const QString& path) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("open: ") + path);
        return true;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return OpenWithXdgOpen(path);
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

void QtUserDialogs::BeginBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserDialogs::EndBusy() {
    QApplication::restoreOverrideCursor();
}

}  // namespace vexlor
