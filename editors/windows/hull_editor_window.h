#pragma once

#include "editors/windows/hull_map_editor_window.h"

namespace vexlor {

// The editor window of HULL libraries: 32 x 32 craft pictures.
class TfHULL final : public HullMapEditorWindow {
    Q_OBJECT

  public:
    TfHULL(const QString& libraryPath, UserDialogs& dialogs, QWidget* parent = nullptr)
        : HullMapEditorWindow(EditorKind::Hull, libraryPath, dialogs, parent) {}
};

}  // namespace vexlor
