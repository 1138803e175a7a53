#pragma once

#include <optional>

#include <QList>

#include "editors/kind_constants.h"
#include "platform/user_dialogs.h"

namespace vexlor {

// How the project commands treat a library kind, as the kind dialog numbers it (1 to 4).
struct ProjectKind {
    LibraryKind library;  // what is created, and what the kind test accepts
    EditorKind editor;
    int filterIndex;  // the library dialogs' entry for the kind, counted from 1
};

// Nothing for a number outside 1..4, which includes the 0 of a cancelled kind dialog.
std::optional<ProjectKind> ProjectKindOf(int kindNumber);

// The caption of the editor window for the library file `fileName`: "HULL (", "MAP (",
// "SHIP (" or "MISSION (", the name, ")".
QString EditorCaptionOf(const ProjectKind& kind, const QString& fileName);

// The type list that both library dialogs offer: all libraries, then one entry per kind.
QList<FileFilter> LibraryDialogFilters();

}  // namespace vexlor
