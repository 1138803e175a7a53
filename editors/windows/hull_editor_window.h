#pragma once

#include "editors/windows/hull_map_editor_window.h"

namespace vexlor {

// The editor window of HULL libraries: 32 x 32 craft pictures.
class HullEditorWindow final : public HullMapEditorWindow {
    Q_OBJECT

  public:
    HullEditorWindow(const QString& libraryPath, UserDialogs& dialogs, QWidget* parent = nullptr)
        : HullMapEditorWindow(EditorKind::Hull, libraryPath, dialogs, parent) {}
};

}  // namespace vexlor
