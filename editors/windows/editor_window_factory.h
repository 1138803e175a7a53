#pragma once

#include <memory>

#include <QString>

#include "editors/kind_constants.h"

namespace vexlor {

class LibraryEditorWindow;
class UserDialogs;

// The editor window of a kind for a library: HullEditorWindow, MapEditorWindow, ShipEditorWindow or
// MissionEditorWindow.
std::unique_ptr<LibraryEditorWindow> CreateEditorWindow(EditorKind kind, const QString& libraryPath,
                                                        UserDialogs& dialogs);

// An editor's caption: the kind's prefix, the file name without its folder, ")".
QString EditorCaption(EditorKind kind, const QString& libraryPath);

}  // namespace vexlor
