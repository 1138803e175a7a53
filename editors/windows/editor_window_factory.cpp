#include "editors/windows/editor_window_factory.h"

#include <QFileInfo>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/map_editor_window.h"
#include "editors/windows/mission_editor_window.h"
#include "editors/windows/ship_editor_window.h"

namespace vexlor {

std::unique_ptr<LibraryEditorWindow> CreateEditorWindow(EditorKind kind, const QString& libraryPath,
                                                        UserDialogs& dialogs) {
    switch (kind) {
        case EditorKind::Hull:
            return std::make_unique<HullEditorWindow>(libraryPath, dialogs);
        case EditorKind::Map:
            return std::make_unique<MapEditorWindow>(libraryPath, dialogs);
        case EditorKind::Ship:
            return std::make_unique<ShipEditorWindow>(libraryPath, dialogs);
        case EditorKind::Mission:
            break;
    }
    return std::make_unique<MissionEditorWindow>(libraryPath, dialogs);
}

QString EditorCaption(EditorKind kind, const QString& libraryPath) {
    return QString::fromLatin1(ConstantsOf(kind).captionPrefix) +
           QFileInfo(libraryPath).fileName() + QStringLiteral(")");
}

}  // namespace vexlor
