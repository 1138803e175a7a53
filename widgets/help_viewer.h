#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace vexlor {

class UserDialogs;

// A window of the program's own that shows a text file read-only, for where the desktop has no
// program to open it with. A find field searches the text.
class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    HelpViewer(UserDialogs& dialogs, QWidget* parent);

    // Reads the file anew and shows it from the top, with its file name as the caption. False
    // when it cannot be read; what was shown before stays.
    bool ShowFile(const QString& path);
    // The next place after the cursor where the find field's text stands, from the top again
    // past the end, scrolled into the middle of the text area; a beep when it is nowhere.
    void FindNext();

    QPlainTextEdit* TextArea() const { return text_; }
    QLineEdit* FindField() const { return find_; }

  private:
    void CreateControls();
    void CreateShortcuts();
    // The first place of `wanted` in the text, selected; false, the cursor kept, when none.
    bool FindFromTop(const QString& wanted);

    UserDialogs& dialogs_;
    QLineEdit* find_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace vexlor
