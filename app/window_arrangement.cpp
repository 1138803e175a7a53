#include "app/window_arrangement.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vexlor {
namespace {

enum class Direction { Across, Down };

QList<QMdiSubWindow*> TileableWindows(const QMdiArea& area) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden() && !window->isMinimized()) {
            windows.append(window);
        }
    }
    return windows;
}

// Splits the area into equal strips; the last strip takes what the division leaves over.
void Tile(QMdiArea& area, Direction direction) {
    const QList<QMdiSubWindow*> windows = TileableWindows(area);
    if (windows.isEmpty()) {
        return;
    }
    const QRect space = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    const int length = direction == Direction::Across ? space.width() : space.height();
    const int step = length / count;
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows.at(i);
        if (window->isMaximized()) {
            window->showNormal();
        }
        const int start = i * step;
        const int size = (i == count - 1) ? length - start : step;
        if (direction == Direction::Across) {
            window->setGeometry(start, 0, size, space.height());
        } else {
            window->setGeometry(0, start, space.width(), size);
        }
    }
}

}  // namespace

void TileSideBySide(QMdiArea& area) {
    Tile(area, Direction::Across);
}

void TileOneAboveAnother(QMdiArea& area) {
    Tile(area, Direction::Down);
}

}  // namespace vexlor
