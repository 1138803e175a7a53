#include "tests/support_qt/fake_user_dialogs.h"

#include <QDialog>

namespace vexlor::test {

void FakeUserDialogs::ShowMessage(const QString& text, const QString& caption) {
    messages.push_back({text, caption});
    events << QStringLiteral("message: ") + caption + QStringLiteral(": ") + text;
}

void FakeUserDialogs::Beep() {
    ++beeps;
    events << QStringLiteral("beep");
}

UnsavedChangesAnswer FakeUserDialogs::AskUnsavedChanges(const QString& text,
                                                        const QString& caption) {
    events << QStringLiteral("question: ") + caption + QStringLiteral(": ") + text;
    if (unsavedChangesAnswers.empty()) {
        return UnsavedChangesAnswer::Cancel;
    }
    const UnsavedChangesAnswer answer = unsavedChangesAnswers.front();
    unsavedChangesAnswers.pop_front();
    return answer;
}

bool FakeUserDialogs::Confirm(const QString& text, const QString& caption) {
    events << QStringLiteral("confirm: ") + caption + QStringLiteral(": ") + text;
    if (confirmAnswers.empty()) {
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeUserDialogs::AskOpenFile(const FileDialogRequest& request) {
    return AnswerFileDialog(QStringLiteral("open dialog: "), request);
}

std::optional<QString> FakeUserDialogs::AskSaveFile(const FileDialogRequest& request) {
    return AnswerFileDialog(QStringLiteral("save dialog: "), request);
}

std::optional<QString> FakeUserDialogs::AnswerFileDialog(const QString& kind,
                                                         const FileDialogRequest& request) {
    fileRequests.push_back(request);
    events << kind + request.title;
    return NextFileAnswer();
}

std::optional<QString> FakeUserDialogs::AskFolder(const FolderDialogRequest& request) {
    folderRequests.push_back(request);
    events << QStringLiteral("folder dialog: ") + request.title;
    return NextFileAnswer();
}

std::optional<QString> FakeUserDialogs::NextFileAnswer() {
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    const bool cancelled = !fileAnswers.front().has_value();
    const QString path = fileAnswers.front().value_or(QString());
    fileAnswers.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return path;
}

int FakeUserDialogs::RunModal(QDialog& dialog) {
    events << QStringLiteral("modal: ") + dialog.windowTitle();
    if (modalAnswers.empty()) {
        return QDialog::Rejected;
    }
    ModalAnswer answer = std::move(modalAnswers.front());
    modalAnswers.pop_front();
    return answer(dialog);
}

bool FakeUserDialogs::OpenWithShell(const QString& path) {
    shellOpens << path;
    events << QStringLiteral("open: ") + path;
    return shellOpenSucceeds;
}

void FakeUserDialogs::BeginBusy() {
    ++busyDepth;
    events << QStringLiteral("busy");
}

void FakeUserDialogs::EndBusy() {
    --busyDepth;
    events << QStringLiteral("idle");
}

}  // namespace vexlor::test
