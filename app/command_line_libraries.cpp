#include "app/command_line_libraries.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>

#include "app/tmaster.h"
#include "editors/windows/editor_window_factory.h"
#include "editors/windows/library_editor_window.h"
#include "library/creation.h"
#include "platform/user_dialogs.h"

namespace vexlor {
namespace {

std::optional<EditorKind> KindOfLibrary(const QString& path) {
    const std::string filePath = QFile::encodeName(path).toStdString();
    for (EditorKind kind :
         {EditorKind::Hull, EditorKind::Map, EditorKind::Ship, EditorKind::Mission}) {
        if (IsLibraryOfKind(ConstantsOf(kind).editableKind, filePath)) {
            return kind;
        }
    }
    return std::nullopt;
}

void OpenLibrary(TMaster& master, UserDialogs& dialogs, const QString& path) {
    const std::optional<EditorKind> kind = KindOfLibrary(path);
    if (!kind) {
        dialogs.Beep();
        dialogs.ShowMessage(
            QStringLiteral("Unexpected file format : ") + QFileInfo(path).fileName(),
            QStringLiteral("Error"));
        return;
    }
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    LibraryEditorWindow* editor = CreateEditorWindow(*kind, fullPath, dialogs).release();
    QMdiSubWindow* frame = master.AddEditorWindow(editor);
    editor->setWindowTitle(EditorCaption(*kind, fullPath));
    {
        BusyCursor busy(dialogs);
        editor->Button1Click();
    }
    frame->show();
}

}  // namespace

void OpenCommandLineLibraries(TMaster& master, UserDialogs& dialogs, const QStringList& paths) {
    for (const QString& path : paths) {
        OpenLibrary(master, dialogs, path);
    }
}

}  // namespace vexlor
