#pragma once

class QWidget;

namespace vexlor {

// Puts a tool window at the right edge of the screen, its outer frame flush with the edge and
// its top at 80.
void PlaceAtRightEdge(QWidget& window);

}  // namespace vexlor
