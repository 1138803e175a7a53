#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/user_dialogs.h"

// A failed comparison of texts shows the texts, not their UTF-16 units one by one.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vexlor::test {

// Records everything the program tells the user and answers its questions from a script.
// Unscripted file dialogs and modal dialogs are answered as if cancelled.
class FakeUserDialogs final : public UserDialogs {
  public:
    struct Message {
        QString text;
        QString caption;
    };
    using ModalAnswer = std::function<int(QDialog&)>;

    void ShowMessage(const QString& text, const QString& caption) override;
    void Beep() override;
    UnsavedChangesAnswer AskUnsavedChanges(const QString& text, const QString& caption) override;
    bool Confirm(const QString& text, const QString& caption) override;
    std::optional<QString> AskOpenFile(const FileDialogRequest& request) override;
    std::optional<QString> AskSaveFile(const FileDialogRequest& request) override;
    // Answered from `fileAnswers` too.
    std::optional<QString> AskFolder(const FolderDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;
    bool OpenWithShell(const QString& path) override;

    // Every event in order: "beep", "message: CAPTION: TEXT", "open: PATH", "busy", "idle",
    // "open dialog: TITLE", "save dialog: TITLE",
    // "folder dialog: TITLE", "modal: TITLE", "question: CAPTION: TEXT",
    // "confirm: CAPTION: TEXT".
    QStringList events;
    std::vector<Message> messages;
    int beeps = 0;
    QStringList shellOpens;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<FolderDialogRequest> folderRequests;
    int busyDepth = 0;

    std::deque<std::optional<QString>> fileAnswers;
    std::deque<ModalAnswer> modalAnswers;
    // Unscripted questions are answered Cancel, confirmations No: neither loses anything.
    std::deque<UnsavedChangesAnswer> unsavedChangesAnswers;
    std::deque<bool> confirmAnswers;
    // What the desktop's "open" action reports.
    bool shellOpenSucceeds = true;

  protected:
    void BeginBusy() override;
    void EndBusy() override;

  private:
    std::optional<QString> AnswerFileDialog(const QString& kind, const FileDialogRequest& request);
    std::optional<QString> NextFileAnswer();
};

}  // namespace vexlor::test
