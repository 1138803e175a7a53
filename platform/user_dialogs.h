#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class QDialog;

namespace vexlor {

// One entry of a file dialog's type list: what the user reads and the patterns it stands for.
struct FileFilter {
    QString label;
    QStringList patterns;  // such as "HULL*.dat"; matched without regard to letter case
};

struct FileDialogRequest {
    QString title;
    QString folder;    // where the dialog starts
    QString fileName;  // preset name, empty for none
    QList<FileFilter> filters;
    int filterIndex = 1;    // counted from 1, as the user sees the list
    QString defaultSuffix;  // added to a name typed without one, without the dot
    bool mustExist = false;
    bool confirmOverwrite = false;
    // The configuration file is found through the current folder, so no dialog may move it.
    bool changeCurrentFolder = false;
};

// A folder to choose, such as the one that extracted pictures go into.
struct FolderDialogRequest {
    QString title;
    QString folder;  // where the dialog starts
};

// The three answers to "there are changes that are not saved".
enum class UnsavedChangesAnswer { Save, Discard, Cancel };

// Everything through which the program talks to the user outside its own windows. Windows get
// one injected, so tests can answer dialogs from a script and read every message afterwards.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;

    // A message box with one OK button; returns when the user has closed it.
    virtual void ShowMessage(const QString& text, const QString& caption) = 0;
    virtual void Beep() = 0;
    // A question with Save, Discard and Cancel; closing the box is Cancel.
    virtual UnsavedChangesAnswer AskUnsavedChanges(const QString& text, const QString& caption) = 0;
    // A question with Yes and No, No being the default; closing the box is No.
    virtual bool Confirm(const QString& text, const QString& caption) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> AskOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> AskSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> AskFolder(const FolderDialogRequest& request) = 0;
    // Shows the dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& dialog) = 0;
    // The desktop's "open" action on a file; false when the desktop has no program for it.
    virtual bool OpenWithShell(const QString& path) = 0;

  protected:
    friend class BusyCursor;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// The busy cursor for as long as the guard lives.
class BusyCursor {
  public:
    explicit BusyCursor(UserDialogs& dialogs) : dialogs_(dialogs) { dialogs_.BeginBusy(); }
    ~BusyCursor() { dialogs_.EndBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    UserDialogs& dialogs_;
};

}  // namespace vexlor
