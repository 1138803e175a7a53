#include "app/window_arrangement.h"

#include <algorithm>

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

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

// The smallest frame in which the window's buttons and lists still fit.
QSize SmallestSize(const QMdiSubWindow& window) {
    return window.minimumSizeHint().expandedTo(window.minimumSize());
}

int Along(QSize size, Direction direction) {
    return direction == Direction::Across ? size.width() : size.height();
}

int Crosswise(QSize size, Direction direction) {
    return direction == Direction::Across ? size.height() : size.width();
}

// Each strip is its share of the area, or the window's smallest length where that is more.
QList<int> StripLengths(const QList<QMdiSubWindow*>& windows, int length, Direction direction) {
    const int count = static_cast<int>(windows.size());
    const int step = length / count;
    QList<int> lengths;
    int start = 0;
    for (int i = 0; i < count; ++i) {
        // The last strip takes what the division leaves over.
        const int share = (i == count - 1) ? length - start : step;
        lengths.append(std::max(share, Along(SmallestSize(*windows.at(i)), direction)));
        start += lengths.last();
    }
    return lengths;
}

// The area as it is without the scroll bars that an earlier arrangement may have left showing.
QSize FullSpace(const QMdiArea& area) {
    QSize space = area.viewport()->size();
    if (area.horizontalScrollBar()->isVisible()) {
        space.rheight() += area.horizontalScrollBar()->height();
    }
    if (area.verticalScrollBar()->isVisible()) {
        space.rwidth() += area.verticalScrollBar()->width();
    }
    return space;
}

// When the strips run past the area, the frame shows a scroll bar across their ends; the strips
// are made shorter by it, so that they stay whole in view crosswise.
int CrosswiseSpace(const QMdiArea& area, QSize space, Direction direction, int total) {
    int crosswise = Crosswise(space, direction);
    if (total > Along(space, direction)) {
        crosswise -= area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area);
    }
    return crosswise;
}

void Tile(QMdiArea& area, Direction direction) {
    const QList<QMdiSubWindow*> windows = TileableWindows(area);
    if (windows.isEmpty()) {
        return;
    }
    const QSize space = FullSpace(area);
    const QList<int> lengths = StripLengths(windows, Along(space, direction), direction);
    int total = 0;
    for (const int length : lengths) {
        total += length;
    }
    const int crosswise = CrosswiseSpace(area, space, direction, total);
    int start = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        if (window->isMaximized()) {
            window->showNormal();
        }
        const int across = std::max(crosswise, Crosswise(SmallestSize(*window), direction));
        if (direction == Direction::Across) {
            window->setGeometry(start, 0, lengths.at(i), across);
        } else {
            window->setGeometry(0, start, across, lengths.at(i));
        }
        start += lengths.at(i);
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
