#pragma once

#include "editors/windows/hull_map_editor_window.h"

namespace vexlor {

// The editor window of MAP libraries: 16 x 16 craft pictures.
class MapEditorWindow final : public HullMapEditorWindow {
    Q_OBJECT

  public:
    MapEditorWindow(const QString& libraryPath, UserDialogs& dialogs, QWidget* parent = nullptr)
        : HullMapEditorWindow(EditorKind::Map, libraryPath, dialogs, parent) {}
};

}  // namespace vexlor
