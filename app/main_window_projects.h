#pragma once

#include <QPointer>

#include "app/project_windows.h"

class QMdiSubWindow;

namespace vexlor {

class LibraryEditorWindow;
class TMaster;
class UserDialogs;

// The project commands' view of the main window: its kind dialog, its editor windows and the
// resource list editor beside it.
class MasterProjectWindows final : public ProjectWindows {
  public:
    MasterProjectWindows(TMaster& master, UserDialogs& dialogs);

    int AskLibraryKind(const QString& caption) override;
    QStringList EditorCaptions() const override;
    ResourceList* Resources() override;
    void CreateEditor(EditorKind kind, const QString& path, const QString& caption) override;
    void RefreshNewEditor() override;
    void ShowNewEditor() override;
    void OpenBrowser(const QString& path) override;

  private:
    TMaster& master_;
    UserDialogs& dialogs_;
    QPointer<LibraryEditorWindow> newEditor_;
    QPointer<QMdiSubWindow> newFrame_;
};

}  // namespace vexlor
