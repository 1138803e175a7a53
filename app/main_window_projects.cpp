#include "app/main_window_projects.h"

#include <QMdiSubWindow>

#include "app/kind_dialog.h"
#include "app/main_window.h"
#include "editors/windows/editor_window_factory.h"
#include "editors/windows/library_editor_window.h"
#include "resources/windows/resource_list_window.h"

namespace vexlor {

MainWindowProjects::MainWindowProjects(MainWindow& mainWindow, UserDialogs& dialogs)
    : mainWindow_(mainWindow), dialogs_(dialogs) {}

int MainWindowProjects::AskLibraryKind(const QString& caption) {
    KindDialog* kindDialog = mainWindow_.KindChooser();
    return kindDialog != nullptr ? kindDialog->AskLibraryKind(caption) : 0;
}

QStringList MainWindowProjects::EditorCaptions() const {
    return mainWindow_.EditorCaptions();
}

ResourceList* MainWindowProjects::Resources() {
    auto* resourceListWindow = qobject_cast<ResourceListWindow*>(mainWindow_.ResourceListEditor());
    return resourceListWindow != nullptr ? &resourceListWindow->List() : nullptr;
}

void MainWindowProjects::CreateEditor(EditorKind kind, const QString& path,
                                      const QString& caption) {
    newEditor_ = CreateEditorWindow(kind, path, dialogs_).release();
    newFrame_ = mainWindow_.AddEditorWindow(newEditor_);
    newEditor_->setWindowTitle(caption);
}

void MainWindowProjects::RefreshNewEditor() {
    if (newEditor_ != nullptr) {
        newEditor_->RefreshClick();
    }
}

void MainWindowProjects::ShowNewEditor() {
    if (newFrame_ != nullptr) {
        newFrame_->show();
    }
}

void MainWindowProjects::OpenBrowser(const QString& path) {
    mainWindow_.OpenBrowser(path);
}

}  // namespace vexlor
