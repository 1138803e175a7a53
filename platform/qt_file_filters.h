#pragma once

#include <QList>
#include <QStringList>

#include "platform/user_dialogs.h"

namespace vexlor {

// The type list of a Qt file dialog: "LABEL (PATTERNS)" per entry. The patterns stay as given:
// Qt's own dialog matches them without regard to letter case, as the game's names need.
// Meant for a dialog that shows the labels alone (see RequestFileDialog).
QStringList QtNameFilters(const QList<FileFilter>& filters);

}  // namespace vexlor
