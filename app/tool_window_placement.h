#pragma once

class QWidget;

namespace vexlor {

// Puts a tool window at the right edge of the screen, its outer frame flush with the edge and
// its top at 80. A window manager may frame the window only after it is shown, and so change
// its outer width: the placement is kept up while that happens, the first time the window is
// shown, and then left to the user.
void PlaceAtRightEdge(QWidget& window);

}  // namespace vexlor
