#pragma once

#include <QList>

class QMdiArea;
class QMdiSubWindow;

namespace vexlor {

// The editor windows that are not minimised, side by side, each the full height of the area or,
// where the area is too narrow for all of them side by side, in as few rows as show each whole.
// No window is made smaller than its minimum size: a window that needs more than its share gets
// it, the others share the rest. Where no number of rows shows them all, the area scrolls.
void TileSideBySide(QMdiArea& area);
// The same, one above another, in as few columns as show each whole.
void TileOneAboveAnother(QMdiArea& area);

// Windows opened together, such as the libraries named at start: each at its own size in a row
// where they fit, else side by side as TileSideBySide puts them, so that each shows its list and
// its buttons. Followed while the area settles its size at start.
void ArrangeOpenedTogether(QMdiArea& area, const QList<QMdiSubWindow*>& windows);

}  // namespace vexlor
