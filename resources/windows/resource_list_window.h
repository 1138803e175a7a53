#pragma once

#include <QWidget>

#include "platform/unsaved_work.h"
#include "resources/resource_list.h"

class QPlainTextEdit;
class QToolButton;

namespace vexlor {

class UserDialogs;

// The resource list editor: a tool window that shows the game's "resdata.txt" for editing. It
// lives for the whole run; closing it only hides it. The lines themselves live in List(), which
// the other windows use while this one shows them.
class ResourceListWindow : public QWidget, public UnsavedWork {
    Q_OBJECT

  public:
    ResourceListWindow(UserDialogs& dialogs, QWidget* parent);

    ResourceList& List() { return list_; }
    QToolButton* ReloadButton() const { return SpeedButton1; }
    QToolButton* SaveButton() const { return SpeedButton2; }
    QPlainTextEdit* TextArea() const { return Memo1; }

    // Asks whether to save the list's unsaved changes. Discard leaves them in place: whatever
    // asked is about to drop them itself, and may still be called off by another window.
    bool SettleUnsavedWork() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void FormCreate();
    void FormClose(QCloseEvent& event);
    void SpeedButton1Click();
    void Reload();
    void SpeedButton2Click();
    void Memo1Change();
    void ShowLines();
    void ShowState();
    void DescribeButtons();
    QString TextAreaText() const;

    ResourceList list_;
    UserDialogs& dialogs_;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    // True while the text area takes over the list's lines, which is no edit of the user's.
    bool showingLines_ = false;
};

}  // namespace vexlor
