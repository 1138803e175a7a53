#pragma once

#include <QString>

class QMimeData;

namespace vexlor {

// The one local picture file of a drop; empty when the drop holds anything else, such as
// library files, which the main window opens.
QString DroppedPicturePath(const QMimeData* data);

}  // namespace vexlor
