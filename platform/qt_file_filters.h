#pragma once

#include <string>
#include <vector>

#include <QList>
#include <QStringList>

#include "platform/user_dialogs.h"

namespace vexlor {

// The type list of a Qt file dialog: "LABEL (PATTERNS)" per entry. The patterns stay as given:
// Qt's own dialog matches them without regard to letter case, as the game's names need.
// Meant for a dialog that shows the labels alone (see RequestFileDialog).
QStringList QtNameFilters(const QList<FileFilter>& filters);

// The types of a dialog that asks for a picture file: the readable patterns, then all files.
QList<FileFilter> PictureFileFilters(const std::vector<std::string>& readablePatterns);

}  // namespace vexlor
