#pragma once

#include <QList>
#include <QStringList>

#include "platform/user_dialogs.h"

namespace vexlor {

// The type list of a Qt file dialog: "LABEL (PATTERNS)" per entry. Where file names tell case
// apart, each pattern is spelled to match in any case ("HULL*" as "[Hh][Uu][Ll][Ll]*"), since
// the game's own names do not tell case apart. Meant for a dialog that hides these details, so
// the user reads the labels alone.
QStringList QtNameFilters(const QList<FileFilter>& filters);

}  // namespace vexlor
