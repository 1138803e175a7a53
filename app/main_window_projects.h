#pragma once

#include <QPointer>

#include "app/project_windows.h"

class QMdiSubWindow;

namespace vexlor {

class LibraryEditorWindow;
class MainWindow;
class UserDialogs;

// The project commands' view of the main window: its kind dialog, its editor windows and the
// resource list editor beside it.
class MainWindowProjects final : public ProjectWindows {
  public:
    MainWindowProjects(MainWindow& mainWindow, UserDialogs& dialogs);

    int AskLibraryKind(const QString& caption) override;
    QStringList EditorCaptions() const override;
    ResourceList* Resources() override;
    void CreateEditor(EditorKind kind, const QString& path, const QString& caption) override;
    void RefreshNewEditor() override;
    void ShowNewEditor() override;
    void OpenBrowser(const QString& path) override;

  private:
    MainWindow& mainWindow_;
    UserDialogs& dialogs_;
    QPointer<LibraryEditorWindow> newEditor_;
    QPointer<QMdiSubWindow> newFrame_;
};

}  // namespace vexlor
