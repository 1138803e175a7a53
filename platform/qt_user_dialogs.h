#pragma once

#include "platform/user_dialogs.h"

namespace vexlor {

// The real dialogs of the desktop. Every modal dialog run here stands above the stay-on-top
// tool windows while it is open, file dialogs are those of RequestFileDialog, and message
// boxes are wide enough to show their caption in full.
//
// Under the test hook of qt_test_log.h, message boxes, beeps and shell opens are written to
// standard error as single lines ("message: CAPTION: TEXT", "beep", "open: PATH") instead of
// reaching the user; questions are logged as "question: CAPTION: TEXT" and answered Cancel or
// No, which loses nothing. File dialogs and modal dialogs are not affected.
class QtUserDialogs final : public UserDialogs {
  public:
    QtUserDialogs();

    void ShowMessage(const QString& text, const QString& caption) override;
    void Beep() override;
    UnsavedChangesAnswer AskUnsavedChanges(const QString& text, const QString& caption) override;
    bool Confirm(const QString& text, const QString& caption) override;
    std::optional<QString> AskOpenFile(const FileDialogRequest& request) override;
    std::optional<QString> AskSaveFile(const FileDialogRequest& request) override;
    std::optional<QString> AskFolder(const FolderDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;
    bool OpenWithShell(const QString& path) override;

  protected:
    void BeginBusy() override;
    void EndBusy() override;

  private:
    bool logOnly_;
};

}  // namespace vexlor
