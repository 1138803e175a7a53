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
    QToolButton* ReloadButton() const { return reloadButton_; }
    QToolButton* SaveButton() const { return saveButton_; }
    QPlainTextEdit* TextArea() const { return textArea_; }

    // Asks whether to save the list's unsaved changes. Discard leaves them in place: whatever
    // asked is about to drop them itself, and may still be called off by another window.
    bool SettleUnsavedWork() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void LoadOnCreation();
    void HideInsteadOfClosing(QCloseEvent& event);
    void ReloadClick();
    void Reload();
    void SaveClick();
    void OnTextChanged();
    void ShowLines();
    void ShowState();
    void DescribeButtons();
    QString TextAreaText() const;

    ResourceList list_;
    UserDialogs& dialogs_;
    QToolButton* reloadButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QPlainTextEdit* textArea_ = nullptr;
    // True while the text area takes over the list's lines, which is no edit of the user's.
    bool showingLines_ = false;
};

}  // namespace vexlor
