#include "app/main_window_projects.h"

#include <QMdiSubWindow>

#include "app/kind_dialog.h"
#include "app/main_window.h"
#include "editors/windows/editor_window_factory.h"
#include "editors/windows/library_editor_window.h"
#include "resources/windows/resource_list_window.h"

namespace vexlor {

MasterProjectWindows::MasterProjectWindows(TMaster& master, UserDialogs& dialogs)
    : master_(master), dialogs_(dialogs) {}

int MasterProjectWindows::AskLibraryKind(const QString& caption) {
    TCHOOSE* kindDialog = master_.KindDialog();
    return kindDialog != nullptr ? kindDialog->AskLibraryKind(caption) : 0;
}

QStringList MasterProjectWindows::EditorCaptions() const {
    return master_.EditorCaptions();
}

ResourceList* MasterProjectWindows::Resources() {
    auto* resourceListWindow = qobject_cast<TTOOL0*>(master_.ResourceListWindow());
    return resourceListWindow != nullptr ? &resourceListWindow->List() : nullptr;
}

void MasterProjectWindows::CreateEditor(EditorKind kind, const QString& path,
                                        const QString& caption) {
    newEditor_ = CreateEditorWindow(kind, path, dialogs_).release();
    newFrame_ = master_.AddEditorWindow(newEditor_);
    newEditor_->setWindowTitle(caption);
}

void MasterProjectWindows::RefreshNewEditor() {
    if (newEditor_ != nullptr) {
        newEditor_->Button1Click();
    }
}

void MasterProjectWindows::ShowNewEditor() {
    if (newFrame_ != nullptr) {
        newFrame_->show();
    }
}

void MasterProjectWindows::OpenBrowser(const QString& path) {
    master_.OpenBrowser(path);
}

}  // namespace vexlor
