#include "platform/qt_user_dialogs.h"

#include "platform/qt_file_filters.h"
#include "platform/qt_test_log.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace vexlor {
namespace {

// A starting folder that does not exist would end up as a file name in the dialog; like the
// system's own dialogs, start in the current folder instead.
QString StartingFolder(const QString& folder) {
    return QFileInfo(folder).isDir() ? folder : QDir::currentPath();
}

std::optional<QString> RunFileDialog(const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, StartingFolder(request.folder));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // Labels carry their own pattern text, such as "HULLs  (hull*.dat)".
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = QtNameFilters(request.filters);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    }
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QtUserDialogs::QtUserDialogs() : logOnly_(TestLogRequested()) {}

void QtUserDialogs::ShowMessage(const QString& text, const QString& caption) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("message: ") + caption + QStringLiteral(": ") + text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
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
    switch (box.exec()) {
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
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::AskOpenFile(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtUserDialogs::AskSaveFile(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

int QtUserDialogs::RunModal(QDialog& dialog) {
    return dialog.exec();
}

bool QtUserDialogs::OpenWithShell(const QString& path) {
    if (logOnly_) {
        WriteTestLog(QStringLiteral("open: ") + path);
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtUserDialogs::BeginBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserDialogs::EndBusy() {
    QApplication::restoreOverrideCursor();
}

}  // namespace vexlor
