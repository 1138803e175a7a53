#pragma once

class QMdiArea;

namespace vexlor {

// The editor windows that are not minimised, each the full height of the area, side by side. No
// window is made smaller than its minimum size; where they do not all fit, the area scrolls.
void TileSideBySide(QMdiArea& area);
// The same, each the full width of the area, one above another.
void TileOneAboveAnother(QMdiArea& area);

}  // namespace vexlor
